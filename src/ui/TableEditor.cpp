#include "ui/TableEditor.h"

#include <algorithm>
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
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "editor/Editor.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "ui/Artwork.h"
#include "ui/TableModels.h"

namespace brindlewick {
namespace {

QString FromStd(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                    QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setObjectName(name);
    if (!key.isEmpty()) {
        action->setShortcut(key);
    }
    return action;
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

}  // namespace

TableEditor* TableEditor::Open(const std::string& romPath, const LocatedTables& located,
                               const RomNames& names, QWidget* parent) {
    const auto tables = ReadCheckedTables(romPath, located.places);
    if (!tables) {
        return nullptr;
    }
    auto* editor = new TableEditor(romPath, located, names, parent);
    editor->Load(*tables);
    return editor;
}

TableEditor::TableEditor(const std::string& romPath, const LocatedTables& located,
                         const RomNames& names, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      m_romPath(romPath),
      m_places(located.places),
      m_placesNote(DescribeElsewhere(located)),
      m_texts(names) {
    // Names that could not be read are said to be the lists' for as long as the window is open.
    if (const std::string notice = m_texts.NamesNotice(); !notice.empty()) {
        m_placesNote += (m_placesNote.empty() ? "" : "\n\n") + notice;
    }
    setObjectName(QStringLiteral("TableEditor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(WindowIcon());
    setWindowTitle(QStringLiteral("%1[*] (%2) - Table Editor - %3")
                       .arg(FromStd(DisplayName(romPath)), FromStd(m_places.release->gameCode),
                            QString::fromLatin1(kApplicationTitle)));

    m_machines = new MachinesModel(m_edits, m_texts, this);
    m_compatibility = new CompatibilityModel(m_edits, m_texts, this);
    m_filter = new SpeciesFilterModel(m_texts, this);
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
    m_pages->addTab(BuildMachinesPage(), QStringLiteral("Machines"));
    m_pages->addTab(BuildCompatibilityPage(), QStringLiteral("Compatibility"));
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
    m_tblMachines->setFocus(Qt::OtherFocusReason);
}

TableEditor::~TableEditor() = default;

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
    m_btnReload = new QPushButton(QStringLiteral("&Reload"), m_notice);
    m_btnReload->setObjectName(QStringLiteral("btnReload"));
    connect(m_btnReload, &QPushButton::clicked, this, &TableEditor::Reload);
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
    m_tblMachines->setItemDelegate(new MachineDelegate(m_texts, m_tblMachines));
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
    auto* hint = new QLabel(QStringLiteral("Type a move's name (any part of it) or a price to "
                                           "change it; F2 or a double click edits the cell "
                                           "as it is. Enter keeps the value, Escape drops it."),
                            page);
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
    auto* filterLabel = new QLabel(QStringLiteral("&Filter species:"), page);
    m_txtFilter = new QLineEdit(page);
    m_txtFilter->setObjectName(QStringLiteral("txtFilter"));
    m_txtFilter->setPlaceholderText(QStringLiteral("name, number or ") +
                                    FromStd(m_texts.TypeFilterExample()));
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
    // A check indicator with a little air on each side.
    const int indicator = m_tblCompatibility->style()->pixelMetric(QStyle::PM_IndicatorWidth,
                                                                   nullptr, m_tblCompatibility);
    m_tblCompatibility->horizontalHeader()->setDefaultSectionSize(
        std::max(indicator + 12, m_tblCompatibility->fontMetrics().height() + 8));
    m_tblCompatibility->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tblCompatibility->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblCompatibility->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tblCompatibility->installEventFilter(this);
    connect(m_tblCompatibility, &QWidget::customContextMenuRequested, this,
            &TableEditor::ShowCompatibilityMenu);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(filterRow);
    layout->addWidget(m_tblCompatibility);
    auto* hint =
        new QLabel(QStringLiteral("Space sets the selected cells to the opposite of the current "
                                  "one; Ctrl+C and Ctrl+V copy and paste blocks of 1 and 0 "
                                  "with a spreadsheet; the context menu ticks and clears."),
                   page);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return page;
}

void TableEditor::BuildActions() {
    m_actSave = MakeAction(QStringLiteral("actSaveTables"), QStringLiteral("&Save Tables"),
                           QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(m_actSave, &QAction::triggered, this, &TableEditor::Save);
    m_actUndo = MakeAction(QStringLiteral("actUndo"), QStringLiteral("&Undo"),
                           QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(m_actUndo, &QAction::triggered, this, &TableEditor::Undo);
    m_actRedo =
        MakeAction(QStringLiteral("actRedo"), QStringLiteral("&Redo"), QKeySequence(), this);
    m_actRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_actRedo, &QAction::triggered, this, &TableEditor::Redo);
    m_actRevert = MakeAction(QStringLiteral("actRevert"), QStringLiteral("Re&vert All Edits"),
                             QKeySequence(), this);
    connect(m_actRevert, &QAction::triggered, this, &TableEditor::Revert);
    QAction* reload = MakeAction(QStringLiteral("actReload"), QStringLiteral("Re&load from File"),
                                 QKeySequence(Qt::Key_F5), this);
    connect(reload, &QAction::triggered, this, &TableEditor::Reload);
    QAction* close = MakeAction(QStringLiteral("actCloseTables"), QStringLiteral("&Close"),
                                QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction* find = MakeAction(QStringLiteral("actFilter"), QStringLiteral("&Filter Species"),
                               QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QAction::triggered, this, [this] {
        m_pages->setCurrentIndex(1);
        m_txtFilter->setFocus(Qt::ShortcutFocusReason);
        m_txtFilter->selectAll();
    });

    // The block commands belong to the compatibility grid: their keys work where it has the
    // keyboard, and its context menu offers them.
    m_actTick =
        MakeAction(QStringLiteral("actTick"), QStringLiteral("&Tick"), QKeySequence(), this);
    connect(m_actTick, &QAction::triggered, this, [this] { SetSelection(true); });
    m_actClear =
        MakeAction(QStringLiteral("actClear"), QStringLiteral("C&lear"), QKeySequence(), this);
    connect(m_actClear, &QAction::triggered, this, [this] { SetSelection(false); });
    m_actCopy = MakeAction(QStringLiteral("actCopy"), QStringLiteral("&Copy"),
                           QKeySequence(QKeySequence::Copy), this);
    m_actCopy->setShortcutContext(Qt::WidgetShortcut);
    connect(m_actCopy, &QAction::triggered, this, &TableEditor::CopySelection);
    m_actPaste = MakeAction(QStringLiteral("actPaste"), QStringLiteral("&Paste"),
                            QKeySequence(QKeySequence::Paste), this);
    m_actPaste->setShortcutContext(Qt::WidgetShortcut);
    connect(m_actPaste, &QAction::triggered, this, &TableEditor::PasteAtCurrent);
    m_tblCompatibility->addAction(m_actCopy);
    m_tblCompatibility->addAction(m_actPaste);

    QMenu* tables = menuBar()->addMenu(QStringLiteral("&Tables"));
    tables->addAction(m_actSave);
    tables->addAction(reload);
    tables->addAction(m_actRevert);
    tables->addSeparator();
    tables->addAction(close);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(m_actUndo);
    edit->addAction(m_actRedo);
    edit->addSeparator();
    edit->addAction(m_actTick);
    edit->addAction(m_actClear);
    edit->addAction(m_actCopy);
    edit->addAction(m_actPaste);
    edit->addSeparator();
    edit->addAction(find);

    QToolBar* bar = addToolBar(QStringLiteral("Tables"));
    bar->setObjectName(QStringLiteral("barTables"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(m_actSave);
    bar->addSeparator();
    bar->addAction(m_actUndo);
    bar->addAction(m_actRedo);
    bar->addAction(m_actRevert);
    bar->addSeparator();
    bar->addAction(reload);
}

void TableEditor::Load(const CheckedTables& tables) {
    m_edits.Load(tables.values);
    m_readOnlyReason =
        tables.check.SafeToWrite() ? std::string() : DescribeRefusal(m_places, tables.check);
    m_machines->SetReadOnly(ReadOnly());
    m_compatibility->SetReadOnly(ReadOnly());
    ShowNotice(QString(), false);
    EditsChanged();
}

void TableEditor::EditsChanged() {
    m_machines->Refresh();
    m_compatibility->Refresh();
    m_compatibility->RefreshHeaders();
    const int pending = m_edits.PendingCount();
    setWindowModified(pending > 0);
    m_pending->setText(pending == 0   ? QStringLiteral("No edits pending")
                       : pending == 1 ? QStringLiteral("1 edit not saved")
                                      : QStringLiteral("%1 edits not saved").arg(pending));
    const bool writable = !ReadOnly();
    m_actSave->setEnabled(writable && pending > 0);
    m_actUndo->setEnabled(writable && m_edits.CanUndo());
    m_actRedo->setEnabled(writable && m_edits.CanRedo());
    m_actRevert->setEnabled(writable && pending > 0);
    for (QAction* action : {m_actTick, m_actClear, m_actPaste}) {
        action->setEnabled(writable);
    }
}

void TableEditor::ShowNotice(const QString& changedText, bool offerReload) {
    // Where the game keeps its tables stays said at the top for as long as the window is open.
    QString text = FromStd(m_placesNote);
    if (ReadOnly()) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                QStringLiteral("Read-only: ") + FromStd(m_readOnlyReason);
    }
    if (!changedText.isEmpty()) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + changedText;
    }
    m_noticeText->setText(text);
    m_btnReload->setVisible(offerReload);
    m_notice->setVisible(!text.isEmpty());
}

void TableEditor::CheckFile() {
    if (m_checking) {
        return;
    }
    m_checking = true;
    if (ChangedElsewhere(m_romPath, m_places, m_edits)) {
        ShowNotice(QStringLiteral("\u201C%1\u201D has been changed by another program or window "
                                  "since the table editor read it. Your edits are kept; Reload "
                                  "reads the file again and keeps your edits on top of it, and "
                                  "Save asks before it replaces the other changes.")
                       .arg(FromStd(DisplayName(m_romPath))),
                   true);
    } else {
        ShowNotice(QString(), false);
    }
    m_checking = false;
}

void TableEditor::Reload() {
    m_checking = true;
    const auto tables = ReadCheckedTables(m_romPath, m_places);
    if (tables) {
        m_edits.Rebase(tables->values);
        m_readOnlyReason =
            tables->check.SafeToWrite() ? std::string() : DescribeRefusal(m_places, tables->check);
        m_machines->SetReadOnly(ReadOnly());
        m_compatibility->SetReadOnly(ReadOnly());
        ShowNotice(QString(), false);
    }
    EditsChanged();
    m_checking = false;
}

void TableEditor::Save() {
    if (ReadOnly()) {
        ShowMessage(kSaveRefusedPrefix + m_readOnlyReason, MessageIcon::Error);
        return;
    }
    CommitOpenEditor();
    if (!m_edits.HasPending()) {
        return;
    }
    m_checking = true;
    const ImportStatus status = SaveTableEdits(m_romPath, m_places, m_edits);
    m_checking = false;
    EditsChanged();
    if (status == ImportStatus::Written || status == ImportStatus::Unchanged) {
        ShowNotice(QString(), false);
        emit TablesSaved();
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

void TableEditor::Undo() {
    if (!ReadOnly() && m_edits.Undo()) {
        EditsChanged();
    }
}

void TableEditor::Redo() {
    if (!ReadOnly() && m_edits.Redo()) {
        EditsChanged();
    }
}

void TableEditor::Revert() {
    if (!ReadOnly() && m_edits.Revert()) {
        EditsChanged();
    }
}

bool TableEditor::SettlePendingEdits() {
    CommitOpenEditor();
    if (!m_edits.HasPending()) {
        return true;
    }
    raise();
    activateWindow();
    const int pending = m_edits.PendingCount();
    const std::string question =
        "The table editor has " +
        (pending == 1 ? std::string("1 edit") : std::to_string(pending) + " edits") + " to \u201C" +
        DisplayName(m_romPath) + "\u201D that " + (pending == 1 ? "is" : "are") +
        " not saved. Save them, discard them, or cancel and keep them?";
    m_checking = true;
    const PendingEditsAnswer answer = AskAboutPendingEdits(question);
    m_checking = false;
    switch (answer) {
        case PendingEditsAnswer::Save:
            Save();
            return !m_edits.HasPending();
        case PendingEditsAnswer::Discard:
            m_edits.Revert();
            EditsChanged();
            return true;
        case PendingEditsAnswer::Cancel:
            break;
    }
    return false;
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

bool TableEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tblCompatibility && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            ToggleSelection();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

std::vector<LearnsCell> TableEditor::SelectedCells() const {
    std::vector<LearnsCell> cells;
    const QModelIndexList selected = m_tblCompatibility->selectionModel()->selectedIndexes();
    cells.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        const QModelIndex source = m_filter->mapToSource(index);
        cells.push_back({source.row(), source.column()});
    }
    // The current cell belongs to the block even where nothing is selected.
    const QModelIndex current = m_filter->mapToSource(m_tblCompatibility->currentIndex());
    if (cells.empty() && current.isValid()) {
        cells.push_back({current.row(), current.column()});
    }
    return cells;
}

std::vector<int> TableEditor::RowsFromCurrent() const {
    std::vector<int> rows;
    const QModelIndex current = m_tblCompatibility->currentIndex();
    if (!current.isValid()) {
        return rows;
    }
    for (int row = current.row(); row < m_filter->rowCount(); ++row) {
        rows.push_back(m_filter->mapToSource(m_filter->index(row, 0)).row());
    }
    return rows;
}

void TableEditor::SetSelection(bool learns) {
    if (!ReadOnly() && m_edits.SetLearns(SelectedCells(), learns)) {
        EditsChanged();
    }
}

void TableEditor::ToggleSelection() {
    const QModelIndex current = m_filter->mapToSource(m_tblCompatibility->currentIndex());
    if (ReadOnly() || !current.isValid()) {
        return;
    }
    if (m_edits.Toggle(SelectedCells(), {current.row(), current.column()})) {
        EditsChanged();
    }
}

void TableEditor::CopySelection() {
    const QModelIndexList selected = m_tblCompatibility->selectionModel()->selectedIndexes();
    QModelIndexList cells = selected;
    if (cells.isEmpty() && m_tblCompatibility->currentIndex().isValid()) {
        cells.append(m_tblCompatibility->currentIndex());
    }
    if (cells.isEmpty()) {
        return;
    }
    // The rectangle around the selection, in the rows the grid shows.
    int top = m_filter->rowCount();
    int bottom = -1;
    int left = kMachineCount;
    int right = -1;
    for (const QModelIndex& index : std::as_const(cells)) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    std::vector<int> species;
    for (int row = top; row <= bottom; ++row) {
        species.push_back(m_filter->mapToSource(m_filter->index(row, 0)).row());
    }
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(m_edits.CopyBlock(species, left, right)));
}

void TableEditor::PasteAtCurrent() {
    const QModelIndex current = m_tblCompatibility->currentIndex();
    if (ReadOnly() || !current.isValid()) {
        return;
    }
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (m_edits.PasteBlock(text, RowsFromCurrent(), current.column())) {
        EditsChanged();
    }
}

void TableEditor::ShowCompatibilityMenu(const QPoint& at) {
    QMenu menu(this);
    menu.addAction(m_actTick);
    menu.addAction(m_actClear);
    menu.addSeparator();
    menu.addAction(m_actCopy);
    menu.addAction(m_actPaste);
    menu.exec(m_tblCompatibility->viewport()->mapToGlobal(at));
}

}  // namespace brindlewick
