#include "ui/TableEditor.h"

#include <algorithm>
#include <new>
#include <set>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "rom/RomTables.h"
#include "tables/TypedInput.h"
#include "ui/Artwork.h"
#include "ui/TableModels.h"

namespace brindlewick {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A grid whose rows all have one height and whose headers stay where they are: the views never
// measure 14,307 cells.
void MakeUniform(QTableView& view) {
    const int rowHeight = view.fontMetrics().height() + 6;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(rowHeight);
    view.verticalHeader()->setMinimumSectionSize(rowHeight);
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Tab leaves the grid for the next control; the arrows move within it.
    view.setTabKeyNavigation(false);
    view.setWordWrap(false);
}

// The row headers as wide as the widest of all `rows` texts of `model`, in bold as a selected
// row shows it, with a little air: measured once over every row (Qt's own measure looks at the
// first and last hundred only), so that no name is cut and filtering never moves the grid.
void FixRowHeaderWidth(QTableView& view, const QAbstractItemModel& model, int rows) {
    QHeaderView& header = *view.verticalHeader();
    QFont bold = header.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (int row = 0; row < rows; ++row) {
        widest = std::max(
            widest, metrics.horizontalAdvance(model.headerData(row, Qt::Vertical).toString()));
    }
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    header.setFixedWidth(widest + 2 * margin + metrics.averageCharWidth());
}

}  // namespace

TableEditor* TableEditor::Open(const std::string& romPath, const LocatedTables& located,
                               const RomNames& names, QWidget* parent) {
    std::unique_ptr<TableEditorSession> session = TableEditorSession::Open(romPath, located, names);
    if (session == nullptr) {
        return nullptr;
    }
    return new TableEditor(std::move(session), parent);
}

TableEditor::TableEditor(std::unique_ptr<TableEditorSession> session, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_session(std::move(session)) {
    setObjectName(QStringLiteral("TableEditor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    // Qt puts its "*" where the placeholder stands while the window is modified.
    setWindowTitle(FromStd(m_session->Title("[*]")));
    m_session->SetTablesSaved([this] { emit TablesSaved(); });

    m_machines = new MachinesModel(*m_session, this);
    m_compatibility = new CompatibilityModel(*m_session, this);
    m_filter = new SpeciesFilterModel(m_session->Texts(), this);
    m_filter->setDynamicSortFilter(false);
    m_filter->setSourceModel(m_compatibility);
    connect(m_machines, &MachinesModel::Edited, this, &TableEditor::EditsChanged);
    connect(m_compatibility, &CompatibilityModel::Edited, this, &TableEditor::EditsChanged);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(BuildNotice());

    m_pages = new QTabWidget(central);
    m_pages->setObjectName(QStringLiteral("tabTables"));
    m_pages->addTab(BuildMachinesPage(), QString::fromUtf8(kMachinesPage));
    m_pages->addTab(BuildCompatibilityPage(), QString::fromUtf8(kCompatibilityPage));
    layout->addWidget(m_pages, 1);
    setCentralWidget(central);

    m_pending = new QLabel(this);
    m_pending->setObjectName(QStringLiteral("lblPending"));
    statusBar()->addPermanentWidget(m_pending);

    BuildActions();

    connect(m_txtFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->SetFilterText(text);
        m_pages->setCurrentIndex(1);
    });
    // Enter takes the keyboard from the filter to the first species it shows.
    connect(m_txtFilter, &QLineEdit::returnPressed, this, [this] {
        m_pages->setCurrentIndex(1);
        if (m_filter->rowCount() > 0 && !m_tblCompatibility->currentIndex().isValid()) {
            m_tblCompatibility->setCurrentIndex(m_filter->index(0, 0));
        }
        m_tblCompatibility->setFocus(Qt::TabFocusReason);
    });

    // Wide enough for every machine where the screen allows, and never larger than the screen.
    const QSize wanted(m_tblCompatibility->horizontalHeader()->length() +
                           m_tblCompatibility->verticalHeader()->sizeHint().width() + 40,
                       fontMetrics().height() * 40);
    const QSize room = parent != nullptr && parent->screen() != nullptr
                           ? parent->screen()->availableGeometry().size() * 9 / 10
                           : QSize(1100, 700);
    resize(wanted.boundedTo(room).expandedTo(QSize(480, 360)));
    ShowNotice();
    EditsChanged();
    m_tblMachines->setFocus(Qt::OtherFocusReason);
}

TableEditor::~TableEditor() {
    // The grids ask their models, and the models the session, for as long as they live; the
    // base class would destroy them (and hide them, which asks the headers' sizes) only after
    // the session is gone. So the grids and their models go first, while it is still there.
    delete centralWidget();
    delete m_filter;
    delete m_compatibility;
    delete m_machines;
}

QWidget* TableEditor::BuildNotice() {
    m_notice = new QWidget(this);
    m_notice->setObjectName(QStringLiteral("barNotice"));
    m_notice->setAutoFillBackground(true);
    QPalette palette = m_notice->palette();
    palette.setColor(QPalette::Window, PendingEditColour().lighter(112));
    palette.setColor(QPalette::WindowText, Qt::black);
    m_notice->setPalette(palette);
    m_noticeText = new QLabel(m_notice);
    m_noticeText->setObjectName(QStringLiteral("lblNotice"));
    m_noticeText->setWordWrap(true);
    m_noticeText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_btnReload = new QPushButton(QString::fromUtf8(kReloadButton), m_notice);
    m_btnReload->setObjectName(QStringLiteral("btnReload"));
    connect(m_btnReload, &QPushButton::clicked, this, [this] { Run(TableCommand::Reload); });
    auto* row = new QHBoxLayout(m_notice);
    row->setContentsMargins(8, 6, 8, 6);
    row->addWidget(m_noticeText, 1);
    row->addWidget(m_btnReload, 0, Qt::AlignTop);
    m_notice->hide();
    return m_notice;
}

QWidget* TableEditor::BuildMachinesPage() {
    auto* page = new QWidget(this);
    m_tblMachines = new QTableView(page);
    m_tblMachines->setObjectName(QStringLiteral("tblMachines"));
    m_tblMachines->setModel(m_machines);
    m_tblMachines->setItemDelegate(new MachineDelegate(*m_session, m_tblMachines));
    MakeUniform(*m_tblMachines);
    m_tblMachines->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tblMachines->setEditTriggers(QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    const QFontMetrics metrics = m_tblMachines->fontMetrics();
    m_tblMachines->setColumnWidth(MachinesModel::MoveColumn,
                                  metrics.horizontalAdvance(QStringLiteral("DynamicPunchMMMMMM")));
    m_tblMachines->setColumnWidth(MachinesModel::PriceColumn,
                                  metrics.horizontalAdvance(QStringLiteral("6553500000")));
    m_tblMachines->setCurrentIndex(m_machines->index(0, 0));
    // As wide as its columns: the grid never scrolls sideways.
    m_tblMachines->setFixedWidth(m_tblMachines->verticalHeader()->sizeHint().width() +
                                 m_tblMachines->horizontalHeader()->length() +
                                 m_tblMachines->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                 2 * m_tblMachines->frameWidth() + 2);
    m_tblMachines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(m_tblMachines);
    auto* hint = new QLabel(QString::fromUtf8(kMachinesHint), page);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    hint->setMaximumWidth(metrics.horizontalAdvance(QLatin1Char('M')) * 22);
    layout->addWidget(hint);
    layout->addStretch(1);
    return page;
}

QWidget* TableEditor::BuildCompatibilityPage() {
    auto* page = new QWidget(this);
    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(QString::fromUtf8(kFilterLabel), page);
    m_txtFilter = new QLineEdit(page);
    m_txtFilter->setObjectName(QStringLiteral("txtFilter"));
    m_txtFilter->setPlaceholderText(FromStd(m_session->Texts().FilterPlaceholder()));
    m_txtFilter->setClearButtonEnabled(true);
    m_txtFilter->setMaximumWidth(m_txtFilter->fontMetrics().horizontalAdvance(QLatin1Char('M')) *
                                 20);
    filterLabel->setBuddy(m_txtFilter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_txtFilter, 1);
    filterRow->addStretch(2);

    m_tblCompatibility = new QTableView(page);
    m_tblCompatibility->setObjectName(QStringLiteral("tblCompatibility"));
    m_tblCompatibility->setHorizontalHeader(new UpwardHeader(m_tblCompatibility));
    m_tblCompatibility->setModel(m_filter);
    MakeUniform(*m_tblCompatibility);
    FixRowHeaderWidth(*m_tblCompatibility, *m_compatibility, kSpeciesCount);
    // A check indicator with a little air on each side.
    const int indicator = m_tblCompatibility->style()->pixelMetric(QStyle::PM_IndicatorWidth,
                                                                   nullptr, m_tblCompatibility);
    m_tblCompatibility->horizontalHeader()->setDefaultSectionSize(
        std::max(indicator + 12, m_tblCompatibility->fontMetrics().height() + 8));
    m_tblCompatibility->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tblCompatibility->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblCompatibility->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tblCompatibility, &QWidget::customContextMenuRequested, this,
            &TableEditor::ShowCompatibilityMenu);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(filterRow);
    layout->addWidget(m_tblCompatibility);
    auto* hint = new QLabel(QString::fromUtf8(kCompatibilityHint), page);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return page;
}

void TableEditor::BuildActions() {
    m_actions.assign(static_cast<std::size_t>(TableCommand::Separator), nullptr);
    for (std::size_t i = 0; i < m_actions.size(); ++i) {
        const auto command = static_cast<TableCommand>(i);
        const TableCommandText& text = TextOf(command);
        auto* action = new QAction(QString::fromUtf8(text.caption), this);
        action->setObjectName(QString::fromLatin1(text.name));
        QList<QKeySequence> keys;
        for (const char* shortcut : {text.shortcut, text.otherShortcut}) {
            if (*shortcut != '\0') {
                keys.append(QKeySequence::fromString(QString::fromLatin1(shortcut),
                                                     QKeySequence::PortableText));
            }
        }
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
        if (text.gridKeys) {
            // Its keys work where the compatibility grid has the keyboard.
            action->setShortcutContext(Qt::WidgetShortcut);
            m_tblCompatibility->addAction(action);
        } else {
            addAction(action);
        }
        m_actions[i] = action;
    }
    const auto fill = [this](auto* into, const auto& commands) {
        for (const TableCommand command : commands) {
            if (command == TableCommand::Separator) {
                into->addSeparator();
            } else {
                into->addAction(m_actions[static_cast<std::size_t>(command)]);
            }
        }
    };
    fill(menuBar()->addMenu(QString::fromUtf8(kTablesMenu)), kTablesMenuCommands);
    fill(menuBar()->addMenu(QString::fromUtf8(kTablesEditMenu)), kTablesEditMenuCommands);
    QToolBar* bar = addToolBar(QStringLiteral("Tables"));
    bar->setObjectName(QStringLiteral("barTables"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    fill(bar, kTablesToolBarCommands);
}

void TableEditor::Run(TableCommand command) {
    switch (command) {
        case TableCommand::Close:
            close();
            return;
        case TableCommand::Filter:
            m_pages->setCurrentIndex(1);
            m_txtFilter->setFocus(Qt::ShortcutFocusReason);
            m_txtFilter->selectAll();
            return;
        case TableCommand::Save:
            CommitOpenEditor();
            break;
        default:
            break;
    }
    std::string copied;
    const bool changed = m_session->Perform(
        command, Selection(), [] { return QGuiApplication::clipboard()->text().toStdString(); },
        copied);
    if (!copied.empty()) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(copied));
    }
    if (changed) {
        ShowNotice();
        EditsChanged();
    }
}

void TableEditor::EditsChanged() {
    m_machines->Refresh();
    m_compatibility->Refresh();
    m_compatibility->RefreshHeaders();
    setWindowModified(m_session->HasPendingEdits());
    m_pending->setText(FromStd(m_session->StatusText()));
    for (std::size_t i = 0; i < m_actions.size(); ++i) {
        m_actions[i]->setEnabled(m_session->Enabled(static_cast<TableCommand>(i)));
    }
}

void TableEditor::ShowNotice() {
    m_noticeText->setText(FromStd(m_session->Notice()));
    m_btnReload->setVisible(m_session->OffersReload());
    m_notice->setVisible(!m_session->Notice().empty());
}

void TableEditor::CheckFile() {
    if (m_session->CheckFile()) {
        ShowNotice();
    }
}

void TableEditor::CommitOpenEditor() {
    // A move or price being typed is not an edit until its cell editor closes; a save or a
    // question about pending edits takes it as the user sees it.
    const QModelIndex current = m_tblMachines->currentIndex();
    QWidget* editor = current.isValid() ? m_tblMachines->indexWidget(current) : nullptr;
    if (editor != nullptr) {
        QAbstractItemDelegate* delegate = m_tblMachines->itemDelegate();
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor);
    }
}

bool TableEditor::SettlePendingEdits() {
    CommitOpenEditor();
    if (!m_session->HasPendingEdits()) {
        return true;
    }
    raise();
    activateWindow();
    const bool settled = m_session->SettlePendingEdits();
    ShowNotice();
    EditsChanged();
    return settled;
}

void TableEditor::closeEvent(QCloseEvent* event) {
    if (SettlePendingEdits()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TableEditor::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        CheckFile();
    }
}

GridSelection TableEditor::Selection() const {
    GridSelection grid;
    const int rows = m_filter->rowCount();
    grid.shownSpecies.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        grid.shownSpecies.push_back(m_filter->mapToSource(m_filter->index(row, 0)).row());
    }
    const QModelIndex current = m_tblCompatibility->currentIndex();
    if (current.isValid()) {
        grid.currentRow = current.row();
        grid.currentColumn = current.column();
    }
    const QModelIndexList selected = m_tblCompatibility->selectionModel()->selectedIndexes();
    grid.selected.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        grid.selected.emplace_back(index.row(), index.column());
    }
    return grid;
}

void TableEditor::ShowCompatibilityMenu(const QPoint& at) {
    QMenu menu(this);
    for (const TableCommand command : kCompatibilityMenuCommands) {
        if (command == TableCommand::Separator) {
            menu.addSeparator();
        } else {
            menu.addAction(m_actions[static_cast<std::size_t>(command)]);
        }
    }
    menu.exec(m_tblCompatibility->viewport()->mapToGlobal(at));
}

}  // namespace brindlewick
