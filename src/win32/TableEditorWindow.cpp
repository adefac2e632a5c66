#include "win32/TableEditorWindow.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "rom/RomTables.h"
#include "rom/TableLocation.h"
#include "win32/Accelerators.h"
#include "win32/Clipboard.h"
#include "win32/Resource.h"
#include "win32/Scale.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"BrindlewickTableEditor";
constexpr const wchar_t* kPageClass = L"BrindlewickTablesPage";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

enum ControlId : int {
    kIdTab = 100,
    kIdMachines,
    kIdCompatibility,
    kIdFilter,
    kIdReload,
    kIdCellEditor,
    kIdCompletions,
};

// The column widths of the Machines grid at 100 %: a long move's name, a five-digit price.
constexpr int kMoveWidth = 150;
constexpr int kPriceWidth = 80;
constexpr int kMargin = 6;

// A menu's or button's caption without its "&" marks.
std::string Plain(const char* caption) {
    std::string text;
    for (const char* c = caption; *c != '\0'; ++c) {
        if (*c != '&') {
            text += *c;
        }
    }
    return text;
}

void RegisterClasses(WNDPROC windowProc, WNDPROC pageProc) {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_BRINDLEWICK),
                                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.lpfnWndProc = windowProc;
    ::RegisterClassExW(&windowClass);
    WNDCLASSEXW pageClass{};
    pageClass.cbSize = sizeof pageClass;
    pageClass.hInstance = instance;
    pageClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    pageClass.lpszClassName = kPageClass;
    pageClass.lpfnWndProc = pageProc;
    ::RegisterClassExW(&pageClass);
}

}  // namespace

// The Machines grid: a row per machine, its move and its price.
class TableEditorWindow::MachinesSource final : public GridSource {
public:
    explicit MachinesSource(const TableEditorSession& session) : m_session(session) {}
    int RowCount() const override { return kMachineCount; }
    int ColumnCount() const override { return 2; }
    std::wstring RowHeader(int row) const override { return Wide(MachineRowText(row)); }
    std::wstring ColumnHeader(int column) const override {
        return Wide(column == 0 ? kMoveColumn : kPriceColumn);
    }
    std::wstring CellText(int row, int column) const override {
        return Wide(m_session.Texts().MachineCell(m_session.Edits(), Cell(row, column)));
    }
    bool CellPending(int row, int column) const override {
        return m_session.Edits().Changed(Cell(row, column));
    }
    bool RightAligned(int column) const override { return column == 1; }
    static TableCell Cell(int row, int column) {
        return {column == 0 ? CellKind::Move : CellKind::Price, row, 0};
    }

private:
    const TableEditorSession& m_session;
};

// The Compatibility grid: a row per species the filter shows, a check cell per machine.
class TableEditorWindow::CompatibilitySource final : public GridSource {
public:
    CompatibilitySource(const TableEditorSession& session, const std::vector<int>& shown)
        : m_session(session), m_shown(shown) {}
    int RowCount() const override { return static_cast<int>(m_shown.size()); }
    int ColumnCount() const override { return kMachineCount; }
    std::wstring RowHeader(int row) const override {
        return Wide(m_session.Texts().SpeciesRow(Species(row)));
    }
    std::wstring ColumnHeader(int column) const override {
        return Wide(m_session.Texts().MachineColumn(m_session.Edits(), column));
    }
    bool CellChecked(int row, int column) const override {
        return m_session.Edits().Learns(Species(row), column);
    }
    bool CellPending(int row, int column) const override {
        return m_session.Edits().LearnsChanged(Species(row), column);
    }
    int Species(int row) const { return m_shown[static_cast<std::size_t>(row)]; }

private:
    const TableEditorSession& m_session;
    const std::vector<int>& m_shown;
};

std::unique_ptr<TableEditorWindow> TableEditorWindow::Open(HWND owner, const std::string& romPath,
                                                           const LocatedTables& located,
                                                           const RomNames& names,
                                                           std::function<void()> tablesSaved) {
    std::unique_ptr<TableEditorSession> session = TableEditorSession::Open(romPath, located, names);
    if (session == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<TableEditorWindow>(
        new TableEditorWindow(owner, std::move(session), std::move(tablesSaved)));
}

TableEditorWindow::TableEditorWindow(HWND owner, std::unique_ptr<TableEditorSession> session,
                                     std::function<void()> tablesSaved)
    : m_owner(owner), m_session(std::move(session)) {
    m_session->SetTablesSaved(std::move(tablesSaved));
    m_shownSpecies = m_session->Texts().SpeciesShownFor("");
    m_machinesSource = std::make_unique<MachinesSource>(*m_session);
    m_compatibilitySource = std::make_unique<CompatibilitySource>(*m_session, m_shownSpecies);
    RegisterClasses(&TableEditorWindow::WindowProc, &TableEditorWindow::PageProc);
    // The pending edits' tint, a little lighter.
    m_noticeBrush = ::CreateSolidBrush(RGB(255, std::min(255, kPendingEditTint.green + 16),
                                           std::min(255, kPendingEditTint.blue + 60)));
    m_window = ::CreateWindowExW(
        WS_EX_CONTROLPARENT, kWindowClass, Wide(m_session->Title("")).c_str(), kWindowStyle,
        CW_USEDEFAULT, CW_USEDEFAULT, 900, 600, owner, nullptr, ::GetModuleHandleW(nullptr), this);
    m_dpi = ::GetDpiForWindow(m_window);
    BuildMenus();
    BuildControls();
    ApplyDpi(m_dpi);

    // Wide enough for every machine where the screen allows, and never larger than the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(
        ::MonitorFromWindow(owner != nullptr ? owner : m_window, MONITOR_DEFAULTTONEAREST),
        &monitor);
    const RECT& work = monitor.rcWork;
    const SIZE grid = m_compatibilityGrid->SizeFor(0);
    RECT frame{0, 0, grid.cx + Scale(4 * kMargin, m_dpi), Scale(640, m_dpi)};
    ::AdjustWindowRectExForDpi(&frame, kWindowStyle, TRUE, WS_EX_CONTROLPARENT, m_dpi);
    const int width = std::clamp<int>(frame.right - frame.left, Scale(480, m_dpi),
                                      (work.right - work.left) * 9 / 10);
    const int height = std::clamp<int>(frame.bottom - frame.top, Scale(360, m_dpi),
                                       (work.bottom - work.top) * 9 / 10);
    ::SetWindowPos(m_window, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ShowNotice();
    EditsChanged();
    m_machinesGrid->SetCurrent(0, 0);
}

TableEditorWindow::~TableEditorWindow() {
    if (::IsWindow(m_window)) {
        ::DestroyWindow(m_window);
    }
    for (const HACCEL table : {m_accelerators, m_gridAccelerators}) {
        if (table != nullptr) {
            ::DestroyAcceleratorTable(table);
        }
    }
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
    ::DeleteObject(m_noticeBrush);
}

HWND TableEditorWindow::Add(const char* name, const wchar_t* windowClass, const std::string& text,
                            DWORD style, HWND parent, int id, DWORD exStyle) {
    const HWND control = ::CreateWindowExW(
        exStyle, windowClass, Wide(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(INT_PTR{id}), ::GetModuleHandleW(nullptr), nullptr);
    m_controls[name] = control;
    return control;
}

HWND TableEditorWindow::Control(std::string_view name) const {
    if (name == "tblMachines") {
        return m_machinesGrid->Handle();
    }
    if (name == "tblCompatibility") {
        return m_compatibilityGrid->Handle();
    }
    const auto found = m_controls.find(std::string(name));
    return found == m_controls.end() ? nullptr : found->second;
}

void TableEditorWindow::BuildMenus() {
    m_menu = ::CreateMenu();
    std::vector<ACCEL> keys;
    std::vector<ACCEL> gridKeys;
    for (int i = 0; i < static_cast<int>(TableCommand::Separator); ++i) {
        const TableCommandText& text = TextOf(static_cast<TableCommand>(i));
        for (const char* shortcut : {text.shortcut, text.otherShortcut}) {
            if (*shortcut != '\0') {
                (text.gridKeys ? gridKeys : keys)
                    .push_back(Accelerator(shortcut, CommandId(static_cast<TableCommand>(i))));
            }
        }
    }
    const auto popup = [this](const char* caption, const auto& commands) {
        const HMENU menu = ::CreatePopupMenu();
        for (const TableCommand command : commands) {
            if (command == TableCommand::Separator) {
                ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const TableCommandText& text = TextOf(command);
            std::string caption = text.caption;
            if (*text.shortcut != '\0') {
                caption += std::string("\t") + text.shortcut;
            }
            ::AppendMenuW(menu, MF_STRING, CommandId(command), Wide(caption).c_str());
        }
        ::AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), Wide(caption).c_str());
    };
    popup(kTablesMenu, kTablesMenuCommands);
    popup(kTablesEditMenu, kTablesEditMenuCommands);
    ::SetMenu(m_window, m_menu);
    m_accelerators = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    m_gridAccelerators =
        ::CreateAcceleratorTableW(gridKeys.data(), static_cast<int>(gridKeys.size()));
}

void TableEditorWindow::BuildToolBar() {
    const HWND bar =
        Add("barTables", TOOLBARCLASSNAMEW, "",
            WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP | CCS_NODIVIDER, m_window);
    ::SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    ::SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    static std::vector<std::wstring> captions;
    captions.clear();
    captions.reserve(kTablesToolBarCommands.size());
    std::vector<TBBUTTON> buttons;
    for (const TableCommand command : kTablesToolBarCommands) {
        TBBUTTON button{};
        if (command == TableCommand::Separator) {
            button.fsStyle = BTNS_SEP;
        } else {
            captions.push_back(Wide(Plain(TextOf(command).caption)));
            button.iBitmap = I_IMAGENONE;
            button.idCommand = CommandId(command);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT | BTNS_BUTTON;
            button.iString = reinterpret_cast<INT_PTR>(captions.back().c_str());
        }
        buttons.push_back(button);
    }
    ::SendMessageW(bar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageW(bar, TB_AUTOSIZE, 0, 0);
}

void TableEditorWindow::BuildControls() {
    BuildToolBar();
    const DWORD visible = WS_VISIBLE;
    Add("lblNotice", WC_STATICW, "", SS_LEFT | SS_NOPREFIX, m_window);
    Add("btnReload", WC_BUTTONW, kReloadButton, WS_TABSTOP | BS_PUSHBUTTON, m_window, kIdReload);

    const HWND tab = Add("tabTables", WC_TABCONTROLW, "",
                         visible | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, m_window, kIdTab,
                         WS_EX_CONTROLPARENT);
    for (const char* caption : {kMachinesPage, kCompatibilityPage}) {
        std::wstring text = Wide(caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        TabCtrl_InsertItem(tab, TabCtrl_GetItemCount(tab), &item);
    }
    for (HWND& page : m_pages) {
        page = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD, 0, 0, 0, 0, tab,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    m_machinesGrid = std::make_unique<TableGrid>(m_pages[0], kIdMachines, TableGrid::Cells::Text,
                                                 *m_machinesSource, static_cast<GridEvents&>(*this),
                                                 std::vector<int>{kMoveWidth, kPriceWidth});
    Add("lblMachinesHint", WC_STATICW, kMachinesHint, visible | SS_LEFT | SS_NOPREFIX, m_pages[0]);
    const HWND editor =
        Add("txtCellEditor", WC_EDITW, "", WS_BORDER | ES_AUTOHSCROLL, m_pages[0], kIdCellEditor);
    ::SetWindowSubclass(editor, &TableEditorWindow::CellEditorProc, 1,
                        reinterpret_cast<DWORD_PTR>(this));
    Add("lstMoveCompletions", WC_LISTBOXW, "",
        WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, m_pages[0], kIdCompletions);

    Add("lblFilter", WC_STATICW, kFilterLabel, visible | SS_LEFT, m_pages[1]);
    const HWND filter = Add("txtFilter", WC_EDITW, "", visible | WS_TABSTOP | ES_AUTOHSCROLL,
                            m_pages[1], kIdFilter, WS_EX_CLIENTEDGE);
    ::SendMessageW(filter, EM_SETCUEBANNER, TRUE,
                   reinterpret_cast<LPARAM>(Wide(m_session->Texts().FilterPlaceholder()).c_str()));
    ::SetWindowSubclass(filter, &TableEditorWindow::FilterProc, 1,
                        reinterpret_cast<DWORD_PTR>(this));
    m_compatibilityGrid =
        std::make_unique<TableGrid>(m_pages[1], kIdCompatibility, TableGrid::Cells::Check,
                                    *m_compatibilitySource, static_cast<GridEvents&>(*this));
    Add("lblCompatibilityHint", WC_STATICW, kCompatibilityHint, visible | SS_LEFT | SS_NOPREFIX,
        m_pages[1]);

    Add("lblPending", STATUSCLASSNAMEW, "", visible | SBARS_SIZEGRIP, m_window);
    ShowPage(0);
}

void TableEditorWindow::ApplyDpi(UINT dpi) {
    m_dpi = dpi;
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
    m_font = CreateMessageFont(dpi);
    SetFontOfChildren(m_window, m_font);
    m_machinesGrid->SetDpi(dpi, m_font);
    m_compatibilityGrid->SetDpi(dpi, m_font);
    Layout();
}

void TableEditorWindow::Layout() {
    if (m_compatibilityGrid == nullptr) {
        return;
    }
    const auto scaled = [this](int pixels) { return Scale(pixels, m_dpi); };
    RECT client{};
    ::GetClientRect(m_window, &client);
    const HWND bar = Control("barTables");
    ::SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    RECT barRect{};
    ::GetWindowRect(bar, &barRect);
    const HWND status = Control("lblPending");
    ::SendMessageW(status, WM_SIZE, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    int top = barRect.bottom - barRect.top;
    const int bottom = client.bottom - (statusRect.bottom - statusRect.top);
    const int margin = scaled(kMargin);

    // The notice: as tall as its text wrapped to the window's width.
    const std::wstring notice = Wide(m_session->Notice());
    m_noticeRect = {};
    if (!notice.empty()) {
        const bool reload = m_session->OffersReload();
        const int buttonWidth = reload ? scaled(88) : 0;
        RECT text{0, 0, client.right - 4 * margin - buttonWidth, 0};
        const HDC dc = ::GetDC(m_window);
        const HGDIOBJ previous = ::SelectObject(dc, m_font);
        ::DrawTextW(dc, notice.c_str(), static_cast<int>(notice.size()), &text,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, previous);
        ::ReleaseDC(m_window, dc);
        const int height = std::max<int>(text.bottom, scaled(24)) + 2 * margin;
        m_noticeRect = {margin, top + margin, client.right - margin, top + margin + height};
        ::MoveWindow(Control("lblNotice"), 2 * margin, top + 2 * margin,
                     client.right - 4 * margin - buttonWidth - (reload ? margin : 0),
                     height - 2 * margin, TRUE);
        ::MoveWindow(Control("btnReload"), client.right - 2 * margin - buttonWidth,
                     top + 2 * margin, buttonWidth, scaled(24), TRUE);
        top += height + margin;
    }
    const HWND tab = Control("tabTables");
    ::MoveWindow(tab, margin, top + margin, client.right - 2 * margin,
                 std::max(0, bottom - top - 2 * margin), TRUE);
    RECT area{};
    ::GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (const HWND page : m_pages) {
        ::MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     TRUE);
    }
    const int pageWidth = area.right - area.left;
    const int pageHeight = area.bottom - area.top;

    // Machines: the grid as wide as its columns, the hint beside it.
    const SIZE machines = m_machinesGrid->SizeFor(kMachineCount);
    const int gridWidth = std::min<int>(machines.cx, pageWidth - 2 * margin);
    ::MoveWindow(m_machinesGrid->Handle(), margin, margin, gridWidth, pageHeight - 2 * margin,
                 TRUE);
    ::MoveWindow(Control("lblMachinesHint"), 2 * margin + gridWidth, margin,
                 std::min(scaled(260), std::max(0, pageWidth - gridWidth - 3 * margin)),
                 scaled(120), TRUE);

    // Compatibility: the filter's row, the grid, the hint below.
    const int row = scaled(23);
    const HDC dc = ::GetDC(m_window);
    const HGDIOBJ previous = ::SelectObject(dc, m_font);
    SIZE label{};
    const std::wstring labelText = Wide(Plain(kFilterLabel));
    ::GetTextExtentPoint32W(dc, labelText.c_str(), static_cast<int>(labelText.size()), &label);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(m_window, dc);
    ::MoveWindow(Control("lblFilter"), margin, margin + (row - metrics.tmHeight) / 2,
                 label.cx + margin, metrics.tmHeight, TRUE);
    ::MoveWindow(Control("txtFilter"), 2 * margin + label.cx, margin, scaled(180), row, TRUE);
    const int hintHeight = 2 * metrics.tmHeight + margin;
    const int gridTop = 2 * margin + row;
    ::MoveWindow(m_compatibilityGrid->Handle(), margin, gridTop, pageWidth - 2 * margin,
                 std::max(0, pageHeight - gridTop - hintHeight - 2 * margin), TRUE);
    ::MoveWindow(Control("lblCompatibilityHint"), margin, pageHeight - hintHeight - margin,
                 pageWidth - 2 * margin, hintHeight, TRUE);
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void TableEditorWindow::ShowPage(int page) {
    if (m_editing && page != 0) {
        CommitEdit();
    }
    TabCtrl_SetCurSel(Control("tabTables"), page);
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        ::ShowWindow(m_pages[i], static_cast<int>(i) == page ? SW_SHOW : SW_HIDE);
    }
}

int TableEditorWindow::CurrentPage() const {
    return TabCtrl_GetCurSel(Control("tabTables"));
}

void TableEditorWindow::Show() {
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    ::SetFocus(CurrentPage() == 0 ? m_machinesGrid->Handle() : m_compatibilityGrid->Handle());
}

void TableEditorWindow::Run(TableCommand command) {
    if (command == TableCommand::Separator || !m_session->Enabled(command)) {
        return;
    }
    switch (command) {
        case TableCommand::Close:
            Close();
            return;
        case TableCommand::Filter: {
            ShowPage(1);
            const HWND filter = Control("txtFilter");
            ::SetFocus(filter);
            ::SendMessageW(filter, EM_SETSEL, 0, -1);
            return;
        }
        case TableCommand::Save:
        case TableCommand::Undo:
        case TableCommand::Redo:
            // A cell being typed is an edit once its editor closes; it is taken first.
            CommitEdit();
            break;
        default:
            break;
    }
    std::string copied;
    const bool changed = m_session->Perform(
        command, Selection(), [this] { return ClipboardText(m_window); }, copied);
    if (!copied.empty()) {
        SetClipboardText(m_window, copied);
    }
    if (changed) {
        ShowNotice();
        EditsChanged();
    }
}

void TableEditorWindow::EditsChanged() {
    if (::IsWindow(m_window) == FALSE) {
        return;
    }
    m_machinesGrid->Refresh();
    m_compatibilityGrid->Remeasure();
    ::SetWindowTextW(m_window,
                     Wide(m_session->Title(m_session->HasPendingEdits() ? "*" : "")).c_str());
    ::SetWindowTextW(Control("lblPending"), Wide(m_session->StatusText()).c_str());
    const HWND bar = Control("barTables");
    for (int i = 0; i < static_cast<int>(TableCommand::Separator); ++i) {
        const auto command = static_cast<TableCommand>(i);
        const bool enabled = m_session->Enabled(command);
        ::EnableMenuItem(m_menu, CommandId(command),
                         MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        ::SendMessageW(bar, TB_ENABLEBUTTON, CommandId(command),
                       MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
    ::DrawMenuBar(m_window);
}

void TableEditorWindow::ShowNotice() {
    const bool shown = !m_session->Notice().empty();
    ::SetWindowTextW(Control("lblNotice"), Wide(m_session->Notice()).c_str());
    ::ShowWindow(Control("lblNotice"), shown ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Control("btnReload"), shown && m_session->OffersReload() ? SW_SHOW : SW_HIDE);
    Layout();
}

void TableEditorWindow::FilterChanged() {
    const int species =
        m_compatibilityGrid->CurrentRow() >= 0 &&
                static_cast<std::size_t>(m_compatibilityGrid->CurrentRow()) < m_shownSpecies.size()
            ? m_shownSpecies[static_cast<std::size_t>(m_compatibilityGrid->CurrentRow())]
            : -1;
    const int column = m_compatibilityGrid->CurrentColumn();
    m_shownSpecies = m_session->Texts().SpeciesShownFor(WindowText(Control("txtFilter")));
    // The current species stays current where the filter still shows it.
    const auto at = std::find(m_shownSpecies.begin(), m_shownSpecies.end(), species);
    m_compatibilityGrid->SetCurrent(
        at == m_shownSpecies.end() ? -1 : static_cast<int>(at - m_shownSpecies.begin()), column);
    m_compatibilityGrid->Refresh();
    if (CurrentPage() != 1) {
        ShowPage(1);
    }
}

void TableEditorWindow::FilterEntered() {
    // Enter takes the keyboard from the filter to the first species it shows.
    ShowPage(1);
    if (!m_shownSpecies.empty() && m_compatibilityGrid->CurrentRow() < 0) {
        m_compatibilityGrid->SetCurrent(0, 0);
    }
    ::SetFocus(m_compatibilityGrid->Handle());
}

GridSelection TableEditorWindow::Selection() const {
    GridSelection grid;
    grid.shownSpecies = m_shownSpecies;
    grid.currentRow = m_compatibilityGrid->CurrentRow();
    grid.currentColumn = m_compatibilityGrid->CurrentColumn();
    grid.selected = m_compatibilityGrid->Selected();
    return grid;
}

void TableEditorWindow::CheckClicked(int row, int column) {
    const int species = m_compatibilitySource->Species(row);
    if (m_session->SetLearns(species, column, !m_session->Edits().Learns(species, column))) {
        EditsChanged();
    }
}

void TableEditorWindow::EditRequested(int row, int column, wchar_t typed) {
    if (m_session->ReadOnly()) {
        return;
    }
    BeginEdit(row, column, typed);
}

void TableEditorWindow::ContextMenu(POINT screen) {
    const HMENU menu = ::CreatePopupMenu();
    for (const TableCommand command : kCompatibilityMenuCommands) {
        if (command == TableCommand::Separator) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuW(menu, MF_STRING | (m_session->Enabled(command) ? MF_ENABLED : MF_GRAYED),
                          CommandId(command), Wide(TextOf(command).caption).c_str());
        }
    }
    const auto chosen = static_cast<WORD>(::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_window, nullptr));
    ::DestroyMenu(menu);
    if (chosen >= kTableCommandBase) {
        Run(static_cast<TableCommand>(chosen - kTableCommandBase));
    }
}

void TableEditorWindow::BeginEdit(int row, int column, wchar_t typed) {
    const HWND editor = Control("txtCellEditor");
    m_editing = true;
    m_editRow = row;
    m_editColumn = column;
    RECT cell = m_machinesGrid->CellRect(row, column);
    ::MapWindowPoints(m_machinesGrid->Handle(), m_pages[0], reinterpret_cast<POINT*>(&cell), 2);
    ::SetWindowLongPtrW(editor, GWL_STYLE,
                        (::GetWindowLongPtrW(editor, GWL_STYLE) & ~(ES_RIGHT | ES_LEFT)) |
                            (column == 1 ? ES_RIGHT : ES_LEFT));
    ::SetWindowPos(editor, HWND_TOP, cell.left, cell.top, cell.right - cell.left,
                   cell.bottom - cell.top, SWP_SHOWWINDOW);
    const std::wstring text = typed != 0
                                  ? std::wstring(1, typed)
                                  : Wide(m_session->Texts().MachineCell(
                                        m_session->Edits(), MachinesSource::Cell(row, column)));
    ::SetWindowTextW(editor, text.c_str());
    const HWND list = Control("lstMoveCompletions");
    if (column == 0) {
        const int height = Scale(160, m_dpi);
        ::SetWindowPos(list, HWND_TOP, cell.left, cell.bottom,
                       cell.right - cell.left + Scale(40, m_dpi), height, SWP_NOACTIVATE);
    }
    ::SetFocus(editor);
    if (typed != 0) {
        ::SendMessageW(editor, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
        FillCompletions();
    } else {
        ::SendMessageW(editor, EM_SETSEL, 0, -1);
        ::ShowWindow(list, SW_HIDE);
    }
}

void TableEditorWindow::FillCompletions() {
    const HWND list = Control("lstMoveCompletions");
    if (!m_editing || m_editColumn != 0) {
        ::ShowWindow(list, SW_HIDE);
        return;
    }
    const std::string typed = WindowText(Control("txtCellEditor"));
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const TableTexts& texts = m_session->Texts();
    const std::vector<int> moves =
        typed.empty() ? std::vector<int>{} : texts.MoveCompletions(typed);
    for (const int move : moves) {
        const auto at =
            ::SendMessageW(list, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(
                               Wide(texts.MoveChoices()[static_cast<std::size_t>(move)]).c_str()));
        ::SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), move);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::ShowWindow(list, moves.empty() ? SW_HIDE : SW_SHOWNA);
    ::InvalidateRect(list, nullptr, TRUE);
}

void TableEditorWindow::CommitEdit() {
    if (!m_editing) {
        return;
    }
    m_editing = false;
    const HWND editor = Control("txtCellEditor");
    const HWND list = Control("lstMoveCompletions");
    std::string text = WindowText(editor);
    // Enter takes the completion chosen in the list, where one is.
    const auto chosen = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (m_editColumn == 0 && ::IsWindowVisible(list) && chosen != LB_ERR) {
        text = m_session->Texts().MoveChoices()[static_cast<std::size_t>(
            ::SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(chosen), 0))];
    }
    ::ShowWindow(list, SW_HIDE);
    ::ShowWindow(editor, SW_HIDE);
    ::SetFocus(m_machinesGrid->Handle());
    const bool changed = m_editColumn == 0 ? m_session->TypeMove(m_editRow, text)
                                           : m_session->TypePrice(m_editRow, text);
    if (changed) {
        EditsChanged();
    }
}

void TableEditorWindow::CancelEdit() {
    if (!m_editing) {
        return;
    }
    m_editing = false;
    ::ShowWindow(Control("lstMoveCompletions"), SW_HIDE);
    ::ShowWindow(Control("txtCellEditor"), SW_HIDE);
    ::SetFocus(m_machinesGrid->Handle());
}

LRESULT CALLBACK TableEditorWindow::CellEditorProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<TableEditorWindow*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            // Enter, Escape and Tab end the edit rather than work the window.
            return DLGC_WANTALLKEYS | ::DefSubclassProc(window, message, wParam, lParam);
        case WM_KEYDOWN: {
            const HWND list = self->Control("lstMoveCompletions");
            switch (wParam) {
                case VK_RETURN:
                case VK_TAB:
                    self->CommitEdit();
                    return 0;
                case VK_ESCAPE:
                    self->CancelEdit();
                    return 0;
                case VK_DOWN:
                case VK_UP:
                    if (::IsWindowVisible(list)) {
                        const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
                        auto at = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
                        at = wParam == VK_DOWN ? std::min<LRESULT>(at + 1, count - 1)
                                               : std::max<LRESULT>(at - 1, -1);
                        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
                        return 0;
                    }
                    break;
                default:
                    break;
            }
            break;
        }
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB) {
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            // The keyboard leaving for anywhere but the list of moves takes what was typed.
            if (reinterpret_cast<HWND>(wParam) != self->Control("lstMoveCompletions")) {
                self->CommitEdit();
            }
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TableEditorWindow::FilterProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
    auto* self = reinterpret_cast<TableEditorWindow*>(data);
    if (message == WM_GETDLGCODE && lParam != 0 &&
        reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
        reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTMESSAGE | ::DefSubclassProc(window, message, wParam, lParam);
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        self->FilterEntered();
        return 0;
    }
    if (message == WM_CHAR && wParam == VK_RETURN) {
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

bool TableEditorWindow::SettlePendingEdits() {
    CommitEdit();
    if (!m_session->HasPendingEdits()) {
        return true;
    }
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    const bool settled = m_session->SettlePendingEdits();
    if (::IsWindow(m_window) != FALSE) {
        ShowNotice();
        EditsChanged();
    }
    return settled;
}

bool TableEditorWindow::Close() {
    if (m_window == nullptr) {
        return true;
    }
    if (!SettlePendingEdits()) {
        return false;
    }
    const HWND window = m_window;
    m_window = nullptr;
    ::DestroyWindow(window);
    if (m_owner != nullptr && ::IsWindow(m_owner)) {
        ::SetForegroundWindow(m_owner);
    }
    return true;
}

void TableEditorWindow::MoveFocus(bool backwards) {
    // The tabs are a stop of their own (the dialog keys would only look into their pages),
    // then what the page in front holds, with the notice's button first where it shows.
    std::vector<HWND> stops;
    if (::IsWindowVisible(Control("btnReload"))) {
        stops.push_back(Control("btnReload"));
    }
    stops.push_back(Control("tabTables"));
    if (CurrentPage() == 0) {
        stops.push_back(m_machinesGrid->Handle());
    } else {
        stops.push_back(Control("txtFilter"));
        stops.push_back(m_compatibilityGrid->Handle());
    }
    const auto at = std::find(stops.begin(), stops.end(), ::GetFocus());
    std::size_t next = 0;
    if (at != stops.end()) {
        const auto index = static_cast<std::size_t>(at - stops.begin());
        next = backwards ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
    }
    ::SetFocus(stops[next]);
    if (stops[next] == Control("txtFilter")) {
        ::SendMessageW(stops[next], EM_SETSEL, 0, -1);
    }
}

bool TableEditorWindow::PreTranslate(MSG& message) {
    if (m_window == nullptr || (message.hwnd != m_window && !::IsChild(m_window, message.hwnd))) {
        return false;
    }
    // The grid's own keys (Space, Ctrl+C, Ctrl+V) only where the compatibility grid has the
    // keyboard; the others wherever it is in the window.
    if (message.hwnd == m_compatibilityGrid->Handle() &&
        ::TranslateAcceleratorW(m_window, m_gridAccelerators, &message) != 0) {
        return true;
    }
    if (::TranslateAcceleratorW(m_window, m_accelerators, &message) != 0) {
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
        message.hwnd != Control("txtCellEditor")) {
        MoveFocus((::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    }
    return ::IsDialogMessageW(m_window, &message) != 0;
}

LRESULT CALLBACK TableEditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TableEditorWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TableEditorWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_window != window) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK TableEditorWindow::PageProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<TableEditorWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT: {
            // The tab control's own background, so the page looks like part of it.
            const HDC dc = reinterpret_cast<HDC>(wParam);
            if (::IsAppThemed()) {
                ::DrawThemeParentBackground(window, dc, nullptr);
            } else {
                RECT rect{};
                ::GetClientRect(window, &rect);
                ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
            }
            return 1;
        }
        case WM_CTLCOLORSTATIC:
            if (self != nullptr && reinterpret_cast<HWND>(lParam) != self->Control("txtFilter")) {
                ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            }
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
            if (self != nullptr) {
                return self->Handle(message, wParam, lParam);
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TableEditorWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            if (lParam == 0 || reinterpret_cast<HWND>(lParam) == Control("barTables")) {
                if (id >= kTableCommandBase && id < CommandId(TableCommand::Separator)) {
                    Run(static_cast<TableCommand>(id - kTableCommandBase));
                }
            } else if (id == kIdFilter && code == EN_CHANGE) {
                FilterChanged();
            } else if (id == kIdReload && code == BN_CLICKED) {
                Run(TableCommand::Reload);
            } else if (id == kIdCellEditor && code == EN_CHANGE) {
                FillCompletions();
            } else if (id == kIdCompletions && code == LBN_SELCHANGE) {
                // A move chosen in the list with the mouse is taken at once.
                CommitEdit();
            }
            return 0;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == Control("tabTables") && header->code == TCN_SELCHANGE) {
                ShowPage(TabCtrl_GetCurSel(header->hwndFrom));
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            const auto control = reinterpret_cast<HWND>(lParam);
            if (control == Control("lblNotice")) {
                // The notice stands out in the pending edits' tint, its text always dark.
                ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
                ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<LRESULT>(m_noticeBrush);
            }
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(m_window, &paint);
            if (!::IsRectEmpty(&m_noticeRect)) {
                ::FillRect(dc, &m_noticeRect, m_noticeBrush);
            }
            ::EndPaint(m_window, &paint);
            return 0;
        }
        case WM_SIZE:
            Layout();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && m_session->CheckFile()) {
                ShowNotice();
            }
            break;
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyDpi(HIWORD(wParam));
            return 0;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            m_window = nullptr;
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace brindlewick::win32
