#include "ui/Form1.h"

#include <string_view>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "editor/MachineListText.h"
#include "editor/ShareCommands.h"
#include "editor/StartupArguments.h"
#include "editor/TableCommands.h"
#include "editor/WindowCommands.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "ui/Artwork.h"
#include "ui/ComparisonWindow.h"
#include "ui/Form2.h"
#include "ui/LearnersWindow.h"
#include "ui/ListBox.h"
#include "ui/MachineToolTips.h"
#include "ui/PriceKeyFilter.h"
#include "ui/PricePasteFilter.h"
#include "ui/TableEditor.h"
#include "ui/UpDownSpinner.h"
#include "ui/WrappedLabel.h"
#include "ui/clsCommonDialog.h"

namespace brindlewick {
namespace {

constexpr QSize kClientSize{547, 504};
constexpr QSize kBannerSize{547, 115};

// A command of `menu` with its caption and shortcut.
QAction* AddCommand(QMenu* menu, const CommandText& command) {
    QAction* action = menu->addAction(QString::fromUtf8(command.caption));
    action->setShortcut(QKeySequence::fromString(QString::fromLatin1(command.shortcut),
                                                 QKeySequence::PortableText));
    return action;
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QGroupBox* MakeFrame(const QString& name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

ListBox* MakeList(const QString& name, QWidget* parent) {
    auto* list = new ListBox(parent);
    list->setObjectName(name);
    return list;
}

// The bytes of a local file's name as the address spells them (a file manager writes a name
// that is no UTF-8 as %E9 and the like), not their decoding to text, which would turn such a
// byte into another character, and so another file.
std::string LocalFileName(const QUrl& url) {
#ifdef Q_OS_WIN
    return url.toLocalFile().toStdString();
#else
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return {path.constData(), static_cast<std::size_t>(path.size())};
#endif
}

// The file a drag carries when the command line's rule takes it (one local file), else "".
// Several files, a web address or plain text are not taken: the window opens one ROM.
std::string DraggedRomPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return {};
    }
    // A file of another machine has no local path: an empty name, which the rule refuses.
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        paths.push_back(url.isLocalFile() ? LocalFileName(url) : std::string());
    }
    const StartupArguments dropped = ParseDroppedFiles(paths);
    return dropped.refused ? std::string() : dropped.file;
}

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent), m_editor(*this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(WindowIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildBanner());

    auto* body = new QVBoxLayout;
    body->setContentsMargins(4, 4, 4, 4);
    body->setSpacing(4);
    body->addWidget(BuildRomInformation());
    m_tab1 = new QTabWidget(central);
    m_tab1->setObjectName(QStringLiteral("tab1"));
    m_tab1->addTab(BuildTechniquesPage(), QString::fromUtf8(kTechniquesTab));
    m_tab1->addTab(BuildCompatibilityPage(), QString::fromUtf8(kCompatibilityTab));
    m_tab1->setCurrentIndex(0);
    body->addWidget(m_tab1, 1);
    body->addWidget(BuildNotice());
    layout->addLayout(body, 1);
    setCentralWidget(central);

    BuildMenus();
    SetTabOrder();
    BuildMachineToolTips();

    // Until a ROM is open nothing but the menus can be operated; opening one enables these.
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_frmROM, m_Label2, m_Label3, m_Label5, m_tab1, m_Frame2,
                                         m_lstTM, m_Frame3, m_lstAttack, m_Frame5, m_Label4}) {
        control->setEnabled(false);
    }
    m_mnuSave->setEnabled(false);
    for (QAction* command : std::as_const(m_romCommands)) {
        command->setEnabled(false);
    }

    // A fixed window of its own size, or larger where the platform's font needs more room.
    central->setFixedSize(kClientSize.expandedTo(central->minimumSizeHint()));
    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
    // A window of fixed size offers no maximize button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}

Form1::~Form1() {
    delete m_about;
}

QWidget* Form1::BuildBanner() {
    const QPixmap picture = ArtworkPixmap(QStringLiteral("banner"), devicePixelRatioF());
    auto* banner = MakeLabel(QStringLiteral("Image1"), QString(), this);
    banner->setFixedHeight(kBannerSize.height());
    banner->setMinimumWidth(kBannerSize.width());
    banner->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    banner->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    banner->setPixmap(picture);
    // Where the platform's font makes the window wider than the picture, the strip beside
    // it takes the colour of the picture's right edge, so the banner still spans the window.
    const QImage image = picture.toImage();
    if (!image.isNull()) {
        QPalette palette = banner->palette();
        palette.setColor(QPalette::Window, image.pixelColor(image.width() - 1, image.height() / 2));
        banner->setPalette(palette);
        banner->setAutoFillBackground(true);
    }
    return banner;
}

QGroupBox* Form1::BuildRomInformation() {
    m_frmROM = MakeFrame(QStringLiteral("frmROM"), QString::fromUtf8(kRomInformationCaption), this);
    m_Label2 = MakeLabel(QStringLiteral("Label2"), QString::fromUtf8(kGameNameLabel), m_frmROM);
    m_headr = MakeLabel(QStringLiteral("headr"), QString(), m_frmROM);
    m_Label3 = MakeLabel(QStringLiteral("Label3"), QString::fromUtf8(kGameCodeLabel), m_frmROM);
    m_code = MakeLabel(QStringLiteral("code"), QString(), m_frmROM);
    m_Label5 = MakeLabel(QStringLiteral("Label5"), QString::fromUtf8(kLanguageLabel), m_frmROM);
    m_lang = MakeLabel(QStringLiteral("lang"), QString(), m_frmROM);

    auto* row = new QHBoxLayout(m_frmROM);
    row->setContentsMargins(8, 2, 8, 4);
    row->setSpacing(4);
    // The value fields share the room by the length of what they show.
    row->addWidget(m_Label2);
    row->addWidget(m_headr, 5);
    row->addSpacing(6);
    row->addWidget(m_Label3);
    row->addWidget(m_code, 2);
    row->addSpacing(6);
    row->addWidget(m_Label5);
    row->addWidget(m_lang, 3);
    return m_frmROM;
}

QWidget* Form1::BuildTechniquesPage() {
    auto* page = new QWidget(this);

    m_Frame2 = MakeFrame(QStringLiteral("Frame2"), QString::fromUtf8(kMachineFrame), page);
    m_lstTM = MakeList(QStringLiteral("lstTM"), m_Frame2);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        m_lstTM->addItem(QString::fromStdString(MachineName(machine)));
    }
    (new QVBoxLayout(m_Frame2))->addWidget(m_lstTM);

    m_Frame3 = MakeFrame(QStringLiteral("Frame3"), QString::fromUtf8(kMoveFrame), page);
    m_lstAttack = MakeList(QStringLiteral("lstAttack"), m_Frame3);
    for (const std::string_view move : MoveEntries()) {
        m_lstAttack->addItem(FromUtf8(move));
    }
    (new QVBoxLayout(m_Frame3))->addWidget(m_lstAttack);

    m_Frame5 = MakeFrame(QStringLiteral("Frame5"), QString::fromUtf8(kPriceFrame), page);
    m_txtPrice = new QLineEdit(m_Frame5);
    m_txtPrice->setObjectName(QStringLiteral("txtPrice"));
    m_txtPrice->setAlignment(Qt::AlignCenter);
    m_txtPrice->setMaxLength(kPriceDigits);
    // Room for five digits with some air, plus the field's frame and inner margins.
    m_txtPrice->setFixedWidth(
        m_txtPrice->fontMetrics().horizontalAdvance(QString(kPriceDigits + 2, QLatin1Char('0'))) +
        12);
    m_txtPrice->installEventFilter(new PriceKeyFilter(m_txtPrice));
    new PricePasteFilter(m_txtPrice);
    connect(m_txtPrice, &QLineEdit::textChanged, this, &Form1::PriceTextChanged);
    m_UpDown1 = new UpDownSpinner(m_txtPrice, m_Frame5);
    m_UpDown1->setObjectName(QStringLiteral("UpDown1"));
    m_UpDown1->setFixedHeight(m_txtPrice->sizeHint().height());
    auto* priceRow = new QHBoxLayout(m_Frame5);
    priceRow->setSpacing(0);
    priceRow->addStretch(1);
    priceRow->addWidget(m_txtPrice);
    priceRow->addWidget(m_UpDown1);
    priceRow->addStretch(1);

    m_Label4 = new WrappedLabel(QString::fromUtf8(kPriceNote), page);
    m_Label4->setObjectName(QStringLiteral("Label4"));
    m_Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    auto* side = new QVBoxLayout;
    side->addWidget(m_Frame5);
    side->addSpacing(8);
    side->addWidget(m_Label4);
    side->addStretch(1);

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_Frame2, 2);
    layout->addWidget(m_Frame3, 4);
    layout->addLayout(side, 4);

    connect(m_lstTM, &ListBox::Chosen, this, [this] {
        m_editor.MachineSelected();
        RefreshLearners();
    });
    return page;
}

QWidget* Form1::BuildCompatibilityPage() {
    auto* page = new QWidget(this);
    m_List1 = MakeList(QStringLiteral("List1"), page);
    for (const std::string_view species : SpeciesEntries()) {
        m_List1->addItem(FromUtf8(species));
    }
    connect(m_List1, &ListBox::Chosen, this, [this] { m_editor.SpeciesSelected(); });

    // Wide enough for the longest name beside the scroll bar, so no name is cut short.
    m_List1->setFixedWidth(m_List1->WidestEntryWidth() +
                           m_List1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                           2 * m_List1->frameWidth());

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(0);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const QString name = QString::fromStdString(MachineName(machine));
        auto* check = new QCheckBox(name, page);
        check->setObjectName(QStringLiteral("chk") + name);
        m_machineChecks[static_cast<std::size_t>(machine)] = check;
        const auto [row, column] = CheckBoxCell(machine);
        grid->addWidget(check, row, column);
    }

    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_List1);
    layout->addLayout(grid, 1);
    return page;
}

QGroupBox* Form1::BuildNotice() {
    auto* frame = MakeFrame(QStringLiteral("Frame1"), QString(), this);
    auto* notice = MakeLabel(QStringLiteral("Label1"), CopyrightNotice(), frame);
    notice->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(notice);
    return frame;
}

void Form1::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QString::fromUtf8(kFileMenu));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* open = AddCommand(file, kOpenRomCommand);
    open->setObjectName(QStringLiteral("mnuOpen"));
    connect(open, &QAction::triggered, this, [this] {
        m_editor.OpenRom();
        AfterOpen();
    });
    setAcceptDrops(true);

    m_mnuSave = AddCommand(file, kSaveRomCommand);
    m_mnuSave->setObjectName(QStringLiteral("mnuSave"));
    connect(m_mnuSave, &QAction::triggered, this, &Form1::SaveRom);

    file->addSeparator()->setObjectName(QStringLiteral("mnuBreak"));

    QAction* exit = AddCommand(file, kExitCommand);
    exit->setObjectName(QStringLiteral("mnuExit"));
    // Every window closes and the program ends; unsaved edits are dropped without a prompt.
    connect(exit, &QAction::triggered, this, [] { QApplication::closeAllWindows(); });

    BuildEditMenu();
    BuildToolsMenu();

    QMenu* help = menuBar()->addMenu(QString::fromUtf8(kHelpMenu));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* about = AddCommand(help, kAboutCommand);
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &Form1::ShowAbout);
}

void Form1::BuildEditMenu() {
    QMenu* edit = menuBar()->addMenu(QString::fromUtf8(kEditMenu));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    QAction* copy = AddCommand(edit, kCopyCompatibilityCommand);
    copy->setObjectName(QStringLiteral("mnuCopyCompatibility"));
    connect(copy, &QAction::triggered, this, &Form1::CopyCompatibility);
    QAction* paste = AddCommand(edit, kPasteCompatibilityCommand);
    paste->setObjectName(QStringLiteral("mnuPasteCompatibility"));
    connect(paste, &QAction::triggered, this, &Form1::PasteCompatibility);
    m_romCommands << copy << paste;
}

void Form1::BuildToolsMenu() {
    QMenu* tools = menuBar()->addMenu(QString::fromUtf8(kToolsMenu));
    tools->setObjectName(QStringLiteral("mnuTools"));
    QAction* exportTables = AddCommand(tools, kExportCommand);
    exportTables->setObjectName(QStringLiteral("mnuExport"));
    connect(exportTables, &QAction::triggered, this, &Form1::ExportTablesToCsv);
    QAction* importTables = AddCommand(tools, kImportCommand);
    importTables->setObjectName(QStringLiteral("mnuImport"));
    connect(importTables, &QAction::triggered, this, &Form1::ImportTablesFromCsv);
    QAction* check = AddCommand(tools, kCheckCommand);
    check->setObjectName(QStringLiteral("mnuCheck"));
    connect(check, &QAction::triggered, this, &Form1::CheckOpenRom);
    m_romCommands << exportTables << importTables << check;
    tools->addSeparator();
    QAction* exportPatch = AddCommand(tools, kExportPatchCommand);
    exportPatch->setObjectName(QStringLiteral("mnuExportPatch"));
    connect(exportPatch, &QAction::triggered, this, &Form1::ExportPatchOfRom);
    QAction* compare = AddCommand(tools, kCompareCommand);
    compare->setObjectName(QStringLiteral("mnuCompare"));
    connect(compare, &QAction::triggered, this, &Form1::CompareWithRom);
    QAction* fixChecksum = AddCommand(tools, kFixChecksumCommand);
    fixChecksum->setObjectName(QStringLiteral("mnuFixChecksum"));
    connect(fixChecksum, &QAction::triggered, this, &Form1::FixChecksumOfRom);
    m_romCommands << exportPatch << compare << fixChecksum;
    tools->addSeparator();
    QAction* learners = AddCommand(tools, kLearnersCommand);
    learners->setObjectName(QStringLiteral("mnuLearners"));
    connect(learners, &QAction::triggered, this, &Form1::ShowLearners);
    QAction* tableEditor = AddCommand(tools, kTableEditorCommand);
    tableEditor->setObjectName(QStringLiteral("mnuTableEditor"));
    connect(tableEditor, &QAction::triggered, this, &Form1::ShowTableEditor);
    m_romCommands << learners << tableEditor;
}

void Form1::BuildMachineToolTips() {
    auto* tips = new MachineToolTips(
        [this](int machine) { return QString::fromStdString(MachineToolTip(m_editor, machine)); },
        this);
    tips->AddList(m_lstTM);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        tips->AddControl(m_machineChecks[static_cast<std::size_t>(machine)], machine);
    }
}

void Form1::SetTabOrder() {
    QList<QWidget*> order{m_tab1, m_lstTM, m_lstAttack, m_txtPrice, m_UpDown1, m_List1};
    for (QCheckBox* check : m_machineChecks) {
        order.append(check);
    }
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order.at(i), order.at(i + 1));
    }
}

void Form1::PriceTextChanged() {
    // The rule may replace the text, which raises this signal again; the replacement already
    // passes the rule, so that inner round has nothing to do.
    if (m_applyingPriceRule) {
        return;
    }
    const QScopedValueRollback<bool> guard(m_applyingPriceRule, true);
    const QString before = m_txtPrice->text();
    m_editor.PriceTextChanged();
    // A text the rule put in place is selected, so that the next digit typed replaces it:
    // after emptying the field, typing 12345 gives 12345, not "01234".
    if (m_txtPrice->text() != before) {
        m_txtPrice->selectAll();
    }
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The About window is transient for this one, which keeps it in front under a window
    // manager that follows that hint. Where this disabled window is activated all the same,
    // the About window, the one that takes input, comes back to the front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isEnabled() &&
        m_about != nullptr && m_about->isVisible()) {
        m_about->raise();
        m_about->activateWindow();
    }
}

void Form1::OpenRomPath(const std::string& path) {
    if (!SettleTableEditorBefore(path)) {
        return;
    }
    m_editor.OpenRomPath(path);
    AfterOpen();
}

bool Form1::SettleTableEditorBefore(const std::string& path) {
    const TableEditorSession* session =
        m_tableEditor != nullptr ? m_tableEditor->Session() : nullptr;
    return !TableEditorSettlesBefore(session, path) || m_tableEditor->SettlePendingEdits();
}

void Form1::AfterOpen() {
    // The table editor's edits were settled before the new file was taken; it belongs to the
    // file opened before.
    if (TableEditorBelongsElsewhere(m_tableEditor != nullptr ? m_tableEditor->Session() : nullptr,
                                    m_editor.State().RomPath)) {
        m_tableEditor->close();
    }
    RefreshLearners();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DraggedRomPath(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
    if (!DraggedRomPath(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event) {
    const std::string path = DraggedRomPath(event->mimeData());
    if (path.empty()) {
        return;
    }
    event->acceptProposedAction();
    // The file manager waits for the drop to end; the open, with any message box it shows,
    // runs once the drop has been answered.
    QTimer::singleShot(0, this, [this, path] { OpenRomPath(path); });
}

void Form1::closeEvent(QCloseEvent* event) {
    // The table editor's pending edits are asked about first; Cancel keeps the program open.
    if (m_tableEditor != nullptr && !m_tableEditor->close()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void Form1::ShowAbout() {
    // A closed About window lingers until its deletion is processed; only an open one counts.
    if (m_about != nullptr && m_about->isVisible()) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new Form2(this);
    m_about->move(frameGeometry().center() - m_about->rect().center());
    m_about->show();
    setEnabled(false);
}

void Form1::SaveRom() {
    m_editor.SaveRom();
    RefreshLearners();
}

void Form1::CopyCompatibility() {
    QGuiApplication::clipboard()->setText(
        QString::fromStdString(FormatMachineList(CheckedMachines(*this))));
}

void Form1::PasteCompatibility() {
    if (PasteMachineList(m_editor, *this, QGuiApplication::clipboard()->text().toStdString())) {
        m_tab1->setCurrentIndex(1);
    }
}

void Form1::ShowLearners() {
    if (m_learners == nullptr) {
        m_learners = new LearnersWindow(this);
        connect(m_learners, &LearnersWindow::SpeciesActivated, this, &Form1::ShowSpecies);
        // Beside the main window and as tall as it.
        m_learners->resize(m_learners->width(), height());
        m_learners->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    RefreshLearners();
    m_learners->show();
    m_learners->raise();
    m_learners->activateWindow();
}

void Form1::RefreshLearners() {
    if (m_learners == nullptr) {
        return;
    }
    if (const std::optional<LearnersList> learners = DescribeLearners(m_editor, *this)) {
        m_learners->ShowLearners(*learners);
    }
}

void Form1::ExportTablesToCsv() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string& romPath = m_editor.State().RomPath;
    clsCommonDialog dialog;
    const std::string csvPath =
        dialog.ShowSave(this, kExportTitle, ProposedCsvName(romPath), FolderOf(romPath), kCsvFilter,
                        kExportDialogFlags, kCsvExtension);
    if (!csvPath.empty()) {
        ExportRomTables(romPath, csvPath);
    }
}

void Form1::ImportTablesFromCsv() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string romPath = m_editor.State().RomPath;
    clsCommonDialog dialog;
    const std::string csvPath =
        dialog.ShowOpen(this, kImportTitle, FolderOf(romPath), kCsvFilter, kImportDialogFlags);
    if (!csvPath.empty() && ImportTablesIntoWindow(m_editor, csvPath)) {
        RefreshLearners();
    }
}

void Form1::CheckOpenRom() {
    if (m_editor.RomOpen()) {
        CheckRom(m_editor.State().RomPath);
    }
}

void Form1::ExportPatchOfRom() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string romPath = m_editor.State().RomPath;
    const std::string cleanPath = clsCommonDialog().ShowOpen(
        this, kCleanRomTitle, FolderOf(romPath), kOpenRomFilter, kOpenRomDialogFlags);
    if (cleanPath.empty() || !CheckCleanRom(cleanPath, romPath)) {
        return;
    }
    const std::string patchPath = clsCommonDialog().ShowSave(
        this, kExportPatchTitle, ProposedPatchName(romPath), FolderOf(romPath), kPatchFilter,
        kExportDialogFlags, kPatchExtension);
    if (!patchPath.empty()) {
        ExportPatch(cleanPath, romPath, patchPath);
    }
}

void Form1::CompareWithRom() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string romPath = m_editor.State().RomPath;
    const std::string otherPath = clsCommonDialog().ShowOpen(this, kCompareTitle, FolderOf(romPath),
                                                             kOpenRomFilter, kOpenRomDialogFlags);
    if (otherPath.empty()) {
        return;
    }
    // From the file chosen to the one open: what the open file changed, when the one chosen is
    // its clean image.
    const std::optional<RomComparison> comparison = CompareRoms(otherPath, romPath);
    if (!comparison) {
        return;
    }
    if (m_comparison == nullptr) {
        m_comparison = new ComparisonWindow(this);
        m_comparison->move(frameGeometry().topRight() + QPoint(8, 0));
    }
    m_comparison->ShowComparison(*comparison);
    m_comparison->show();
    m_comparison->raise();
    m_comparison->activateWindow();
}

void Form1::FixChecksumOfRom() {
    if (m_editor.RomOpen()) {
        FixChecksum(m_editor.State().RomPath);
    }
}

void Form1::ShowSpecies(int species) {
    // As if the user had chosen the species in the list: its boxes are read from the file.
    m_tab1->setCurrentIndex(1);
    SetSpeciesIndex(species);
    m_editor.SpeciesSelected();
    activateWindow();
}

void Form1::ShowTableEditor() {
    if (!m_editor.RomOpen()) {
        return;
    }
    if (m_tableEditor == nullptr || !m_tableEditor->isVisible()) {
        const EditorState& state = m_editor.State();
        m_tableEditor = TableEditor::Open(state.RomPath, state.Tables, state.Names, this);
        if (m_tableEditor == nullptr) {
            return;
        }
        connect(m_tableEditor, &TableEditor::TablesSaved, this, &Form1::TablesSaved);
    }
    m_tableEditor->show();
    m_tableEditor->raise();
    m_tableEditor->activateWindow();
}

void Form1::TablesSaved() {
    // The machine and the species shown here are read from the file again, as after an
    // import.
    m_editor.ReloadSelection();
    RefreshLearners();
}

int Form1::MachineIndex() const {
    return m_lstTM->SelectedIndex();
}

void Form1::SetMachineIndex(int machine) {
    m_lstTM->SelectSilently(machine);
}

int Form1::MoveIndex() const {
    return m_lstAttack->SelectedIndex();
}

void Form1::SetMoveIndex(int move) {
    m_lstAttack->SelectSilently(move);
}

int Form1::SpeciesIndex() const {
    return m_List1->SelectedIndex();
}

void Form1::SetSpeciesIndex(int species) {
    m_List1->SelectSilently(species);
}

std::string Form1::PriceText() const {
    return m_txtPrice->text().toStdString();
}

void Form1::SetPriceText(const std::string& text) {
    m_txtPrice->setText(QString::fromStdString(text));
}

bool Form1::MachineChecked(int machine) const {
    return machine >= 0 && machine < kMachineCount &&
           m_machineChecks[static_cast<std::size_t>(machine)]->isChecked();
}

void Form1::SetMachineChecked(int machine, bool checked) {
    if (machine >= 0 && machine < kMachineCount) {
        m_machineChecks[static_cast<std::size_t>(machine)]->setChecked(checked);
    }
}

void Form1::ShowRomInformation(const std::string& gameName, const std::string& gameCode,
                               const std::string& language) {
    m_headr->setText(QString::fromStdString(gameName));
    m_code->setText(QString::fromStdString(gameCode));
    m_lang->setText(QString::fromStdString(language));
}

void Form1::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void Form1::EnableEditing() {
    for (QWidget* control : std::initializer_list<QWidget*>{m_lstTM, m_lstAttack, m_tab1}) {
        control->setEnabled(true);
    }
    m_mnuSave->setEnabled(true);
    for (QAction* command : std::as_const(m_romCommands)) {
        command->setEnabled(true);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_Label2, m_Label3, m_Label5, m_frmROM, m_Frame2, m_Frame3, m_Frame5, m_Label4}) {
        control->setEnabled(true);
    }
    // The keyboard starts in a list, where the new ROM's first entry is selected, so the
    // arrow keys work at once: the machine list, or the species list when a reopen finds the
    // species page in front (the page in front stays as it is).
    (m_tab1->currentIndex() == 0 ? m_lstTM : m_List1)->setFocus(Qt::OtherFocusReason);
}

std::string Form1::AskForRomPath() {
    // A new dialog object every time, so nothing it remembers carries over to the next open.
    clsCommonDialog dialog;
    const std::string path =
        dialog.ShowOpen(this, kOpenRomTitle, std::string(), kOpenRomFilter, kOpenRomDialogFlags);
    return SettleTableEditorBefore(path) ? path : std::string();
}

}  // namespace brindlewick
