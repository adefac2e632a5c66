#include "win32/MainWindow.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/PriceField.h"
#include "editor/ShareCommands.h"
#include "editor/StartupArguments.h"
#include "editor/TableCommands.h"
#include "editor/TableEditorSession.h"
#include "editor/WindowCommands.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "win32/AboutWindow.h"
#include "win32/Accelerators.h"
#include "win32/Clipboard.h"
#include "win32/CommonDialog.h"
#include "win32/ComparisonWindow.h"
#include "win32/LearnersWindow.h"
#include "win32/Pictures.h"
#include "win32/Resource.h"
#include "win32/Scale.h"
#include "win32/TableEditorWindow.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"BrindlewickForm1";
constexpr const wchar_t* kPageClass = L"BrindlewickPage";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The client area and the bands of the window, in pixels at 100 %.
constexpr int kClientWidth = 547;
constexpr int kClientHeight = 504;
constexpr int kBannerHeight = 115;
constexpr int kMargin = 6;

// Control numbers, for the WM_COMMAND notifications of the lists, the field and the boxes.
enum ControlId : int {
    kIdMachines = 100,
    kIdMoves,
    kIdSpecies,
    kIdPrice,
    kIdUpDown,
    kIdTab,
    kIdFirstCheck = 200,  // + machine index
};

struct Placement {
    const char* name;
    int x, y, width, height;
};

// The price field takes digits and backspace from the keyboard; shortcuts (paste, copy,
// select all) are the field's business, and what they bring in still goes through the price
// rule when the text changes.
LRESULT CALLBACK PriceFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    // A paste brings its digits alone, so that the five-character limit counts digits only:
    // "12,345" arrives as 12345 rather than cut to "12,34" first.
    if (message == WM_PASTE) {
        if (::IsWindowEnabled(window)) {
            const std::wstring digits = Wide(KeepDigits(ClipboardText(window)));
            ::SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(digits.c_str()));
        }
        return 0;
    }
    if (message == WM_CHAR && wParam >= 0x20 && (::GetKeyState(VK_CONTROL) & 0x8000) == 0 &&
        !PriceKeyAccepted(static_cast<char32_t>(wParam))) {
        return 0;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance, WNDPROC windowProc, WNDPROC pageProc) {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_BRINDLEWICK),
                                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_BRINDLEWICK), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
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

MainWindow::MainWindow(bool endsProgram) : m_endsProgram(endsProgram), m_editor(*this) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterClasses(instance, &MainWindow::WindowProc, &MainWindow::PageProc);
    m_banner = std::make_unique<Picture>(IDR_BANNER);
    m_banner2x = std::make_unique<Picture>(IDR_BANNER_2X);
    m_bannerEdge = ::CreateSolidBrush(RightEdgeColour(*m_banner));

    // A file dropped from Explorer is opened as one named on the command line.
    m_window = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kWindowClass,
                                 Wide(kApplicationTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 600, 600, nullptr, nullptr, instance, this);
    m_dpi = ::GetDpiForWindow(m_window);
    m_font = CreateMessageFont(m_dpi);
    BuildMenus();
    BuildControls();
    ApplyDpi(m_dpi);
}

MainWindow::~MainWindow() {
    m_tableEditor.reset();
    m_learners.reset();
    m_about.reset();
    if (::IsWindow(m_window)) {
        m_endsProgram = false;
        ::DestroyWindow(m_window);
    }
    if (m_accelerators != nullptr) {
        ::DestroyAcceleratorTable(m_accelerators);
    }
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
    ::DeleteObject(m_bannerEdge);
}

HWND MainWindow::Add(const char* name, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                     HWND parent, int id, DWORD exStyle) {
    const HWND control = ::CreateWindowExW(exStyle, windowClass, text, WS_CHILD | style, 0, 0, 0, 0,
                                           parent, reinterpret_cast<HMENU>(INT_PTR{id}),
                                           ::GetModuleHandleW(nullptr), nullptr);
    m_controls[name] = control;
    return control;
}

void MainWindow::BuildControls() {
    const DWORD visible = WS_VISIBLE;
    const DWORD group = WS_VISIBLE | BS_GROUPBOX;
    const DWORD label = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    const DWORD list = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

    // The ROM information.
    Add("frmROM", WC_BUTTONW, Wide(kRomInformationCaption).c_str(), group, m_window);
    Add("Label2", WC_STATICW, Wide(kGameNameLabel).c_str(), label, m_window);
    Add("headr", WC_STATICW, L"", label, m_window);
    Add("Label3", WC_STATICW, Wide(kGameCodeLabel).c_str(), label, m_window);
    Add("code", WC_STATICW, L"", label, m_window);
    Add("Label5", WC_STATICW, Wide(kLanguageLabel).c_str(), label, m_window);
    Add("lang", WC_STATICW, L"", label, m_window);

    // The tab control and its two pages. The pages are children of the tab control, so they
    // are drawn on its own background and disabled with it.
    const HWND tab =
        Add("tab1", WC_TABCONTROLW, L"", visible | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
            m_window, kIdTab, WS_EX_CONTROLPARENT);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring caption = Wide(kTechniquesTab);
    item.pszText = caption.data();
    TabCtrl_InsertItem(tab, 0, &item);
    caption = Wide(kCompatibilityTab);
    item.pszText = caption.data();
    TabCtrl_InsertItem(tab, 1, &item);
    for (std::size_t page = 0; page < m_pages.size(); ++page) {
        // The species page clips its children: its background, erased whenever the page is
        // shown or moved, never paints over a box that has already drawn itself. Without that,
        // under Wine the page's erase could come after the last boxes' first paint and wipe
        // them (HM06, HM07 or the whole last columns, depending on when the layout's moves
        // landed). The machines page keeps its labels on its own background and needs no clip.
        const DWORD clip = page == 1 ? WS_CLIPCHILDREN : 0;
        m_pages[page] =
            ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | clip, 0, 0, 0, 0,
                              tab, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(m_pages[page], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    const HWND techniques = m_pages[0];
    const HWND compatibility = m_pages[1];

    // Tab 0: the machines, the moves, the price and the note about descriptions.
    Add("Frame2", WC_BUTTONW, Wide(kMachineFrame).c_str(), group, techniques);
    const HWND machines =
        Add("lstTM", WC_LISTBOXW, L"", list, techniques, kIdMachines, WS_EX_CLIENTEDGE);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        ::SendMessageW(machines, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Wide(MachineName(machine)).c_str()));
    }
    Add("Frame3", WC_BUTTONW, Wide(kMoveFrame).c_str(), group, techniques);
    const HWND moves =
        Add("lstAttack", WC_LISTBOXW, L"", list, techniques, kIdMoves, WS_EX_CLIENTEDGE);
    for (const std::string_view move : MoveEntries()) {
        ::SendMessageW(moves, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Wide(std::string(move)).c_str()));
    }
    Add("Frame5", WC_BUTTONW, Wide(kPriceFrame).c_str(), group, techniques);
    const HWND price =
        Add("txtPrice", WC_EDITW, L"", visible | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
            techniques, kIdPrice, WS_EX_CLIENTEDGE);
    ::SendMessageW(price, EM_LIMITTEXT, kPriceDigits, 0);
    ::SetWindowSubclass(price, &PriceFieldProc, 1, 0);
    // Attached to the field: its arrows put the next number into the field's text, which then
    // goes through the price rule like a typed change.
    const HWND upDown =
        Add("UpDown1", UPDOWN_CLASSW, L"",
            visible | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
            techniques, kIdUpDown);
    ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(price), 0);
    ::SendMessageW(upDown, UDM_SETRANGE32, 0, 65535);
    Add("Label4", WC_STATICW, Wide(kPriceNote).c_str(), visible | SS_CENTER | SS_NOPREFIX,
        techniques);

    // Tab 1: the species and one check box per machine.
    const HWND species =
        Add("List1", WC_LISTBOXW, L"", list, compatibility, kIdSpecies, WS_EX_CLIENTEDGE);
    for (const std::string_view name : SpeciesEntries()) {
        ::SendMessageW(species, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(Wide(std::string(name)).c_str()));
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const std::string name = MachineName(machine);
        m_checks[static_cast<std::size_t>(machine)] =
            Add(("chk" + name).c_str(), WC_BUTTONW, Wide(name).c_str(),
                visible | WS_TABSTOP | BS_AUTOCHECKBOX, compatibility, kIdFirstCheck + machine);
    }

    // The maker's notice at the bottom.
    Add("Frame1", WC_BUTTONW, L"", group, m_window);
    Add("Label1", WC_STATICW, Wide(kCopyrightNotice).c_str(), label | SS_CENTER, m_window);

    // Until a ROM is open nothing but the menus can be operated; opening one enables these.
    for (const char* name : {"frmROM", "Label2", "Label3", "Label5", "tab1", "Frame2", "lstTM",
                             "Frame3", "lstAttack", "Frame5", "Label4"}) {
        ::EnableWindow(Control(name), FALSE);
    }
    for (const HWND page : m_pages) {
        ::EnableWindow(page, FALSE);
    }
    ShowPage(0);
    BuildToolTips();
}

void MainWindow::BuildToolTips() {
    // The move a machine teaches, on its list entry and on its box, asked for when shown.
    m_toolTips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    const auto add = [this](HWND control) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = ::GetParent(control);
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    add(Control("lstTM"));
    for (const HWND check : m_checks) {
        add(check);
    }
    // The list is one tool for all its entries: moving to another entry takes the tip down,
    // so that the next one asks for its own text.
    ::SetWindowSubclass(
        Control("lstTM"),
        [](HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
           DWORD_PTR data) -> LRESULT {
            if (message == WM_MOUSEMOVE) {
                auto* self = reinterpret_cast<MainWindow*>(data);
                const int entry = self->EntryUnderMouse();
                if (entry != self->m_toolTipEntry) {
                    self->m_toolTipEntry = entry;
                    ::SendMessageW(self->m_toolTips, TTM_POP, 0, 0);
                }
            }
            return ::DefSubclassProc(list, message, wParam, lParam);
        },
        2, reinterpret_cast<DWORD_PTR>(this));
}

int MainWindow::EntryUnderMouse() const {
    const HWND list = Control("lstTM");
    POINT point{};
    ::GetCursorPos(&point);
    ::ScreenToClient(list, &point);
    const auto found = ::SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    return HIWORD(found) == 0 ? static_cast<int>(LOWORD(found)) : -1;
}

void MainWindow::ToolTipText(NMTTDISPINFOW& request) {
    const auto control = reinterpret_cast<HWND>(request.hdr.idFrom);
    int machine = -1;
    if (control == Control("lstTM")) {
        machine = EntryUnderMouse();
    }
    for (int k = 0; k < kMachineCount; ++k) {
        if (m_checks[static_cast<std::size_t>(k)] == control) {
            machine = k;
        }
    }
    m_toolTipText = machine >= 0 ? Wide(MachineToolTip(m_editor, machine)) : std::wstring();
    request.lpszText = m_toolTipText.data();
}

void MainWindow::BuildMenus() {
    m_menu = ::CreateMenu();
    std::vector<ACCEL> keys;
    const auto popup = [this](const char* caption) {
        const HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), Wide(caption).c_str());
        return menu;
    };
    // A command with its shortcut shown beside it; the shortcut of a greyed command does
    // nothing, as its entry does.
    const auto add = [&keys](HMENU menu, WORD id, const CommandText& command, bool enabled) {
        std::string caption = command.caption;
        if (*command.shortcut != '\0') {
            caption += std::string("\t") + command.shortcut;
            keys.push_back(Accelerator(command.shortcut, id));
        }
        ::AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), id, Wide(caption).c_str());
    };
    const HMENU file = popup(kFileMenu);
    add(file, kMenuOpen, kOpenRomCommand, true);
    add(file, kMenuSave, kSaveRomCommand, false);
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    add(file, kMenuExit, kExitCommand, true);
    const HMENU edit = popup(kEditMenu);
    add(edit, kMenuCopyCompatibility, kCopyCompatibilityCommand, false);
    add(edit, kMenuPasteCompatibility, kPasteCompatibilityCommand, false);
    const HMENU tools = popup(kToolsMenu);
    add(tools, kMenuExport, kExportCommand, false);
    add(tools, kMenuImport, kImportCommand, false);
    add(tools, kMenuCheck, kCheckCommand, false);
    ::AppendMenuW(tools, MF_SEPARATOR, 0, nullptr);
    add(tools, kMenuExportPatch, kExportPatchCommand, false);
    add(tools, kMenuCompare, kCompareCommand, false);
    add(tools, kMenuFixChecksum, kFixChecksumCommand, false);
    ::AppendMenuW(tools, MF_SEPARATOR, 0, nullptr);
    add(tools, kMenuLearners, kLearnersCommand, false);
    add(tools, kMenuTableEditor, kTableEditorCommand, false);
    add(popup(kHelpMenu), kMenuAbout, kAboutCommand, true);
    ::SetMenu(m_window, m_menu);
    m_accelerators = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void MainWindow::ApplyDpi(UINT dpi) {
    m_dpi = dpi;
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
    m_font = CreateMessageFont(dpi);
    SetFontOfChildren(m_window, m_font);
    const SIZE size =
        WindowSizeFor(kClientWidth, kClientHeight, kWindowStyle, WS_EX_CONTROLPARENT, true, dpi);
    ::SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

void MainWindow::Layout() {
    const auto scaled = [this](int pixels) { return Scale(pixels, m_dpi); };
    const auto place = [&](const Placement& at) {
        ::MoveWindow(Control(at.name), scaled(at.x), scaled(at.y), scaled(at.width),
                     scaled(at.height), TRUE);
    };
    const int width = kClientWidth - 2 * kMargin;
    for (const Placement& at : std::initializer_list<Placement>{
             {"frmROM", kMargin, 117, width, 42},
             {"tab1", kMargin, 163, width, 290},
             {"Frame1", kMargin, 455, width, 43},
             {"Label1", 14, 473, width - 16, 17},
         }) {
        place(at);
    }

    LayoutRomInformation();

    // The pages fill the tab control's display area.
    const HWND tab = Control("tab1");
    RECT area{};
    ::GetClientRect(tab, &area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (const HWND page : m_pages) {
        ::MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     TRUE);
    }
    // The pages' own size in pixels at 100 %.
    const int pageWidth =
        ::MulDiv(area.right - area.left, USER_DEFAULT_SCREEN_DPI, static_cast<int>(m_dpi));
    const int pageHeight =
        ::MulDiv(area.bottom - area.top, USER_DEFAULT_SCREEN_DPI, static_cast<int>(m_dpi));
    const int side = 276;
    for (const Placement& at : std::initializer_list<Placement>{
             {"Frame2", 4, 2, 86, pageHeight - 6},
             {"lstTM", 12, 20, 70, pageHeight - 30},
             {"Frame3", 96, 2, 172, pageHeight - 6},
             {"lstAttack", 104, 20, 156, pageHeight - 30},
             {"Frame5", side, 2, pageWidth - side - 4, 54},
             {"txtPrice", side + (pageWidth - side - 4 - 80) / 2, 22, 80, 23},
             {"Label4", side + 4, 68, pageWidth - side - 12, 80},
             {"List1", 4, 4, 120, pageHeight - 8},
         }) {
        place(at);
    }
    // The arrows take their place at the field's right edge again.
    ::SendMessageW(Control("UpDown1"), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control("txtPrice")),
                   0);
    const int gridLeft = 132;
    const int columnWidth = (pageWidth - gridLeft - 4) / 7;
    const int rowHeight = (pageHeight - 8) / kCheckRows;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        const auto [row, column] = CheckBoxCell(machine);
        ::MoveWindow(m_checks[static_cast<std::size_t>(machine)],
                     scaled(gridLeft + column * columnWidth),
                     scaled(4 + row * rowHeight + (rowHeight - 20) / 2), scaled(columnWidth - 4),
                     scaled(20), TRUE);
    }
    ::InvalidateRect(m_window, nullptr, TRUE);
}

void MainWindow::LayoutRomInformation() {
    // One row: each label as wide as its text in the window's font, the value fields sharing
    // the rest by the length of what they show.
    const HDC dc = ::GetDC(m_window);
    const HGDIOBJ previous = ::SelectObject(dc, m_font);
    const auto textWidth = [dc](HWND label) {
        const std::wstring text = Wide(WindowText(label));
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    };
    struct Field {
        const char* label;
        const char* value;
        int share;
    };
    constexpr Field kFields[] = {
        {"Label2", "headr", 5}, {"Label3", "code", 2}, {"Label5", "lang", 3}};
    const int gap = Scale(6, m_dpi);
    const int left = Scale(14, m_dpi);
    const int right = Scale(kClientWidth - 14, m_dpi);
    const int top = Scale(136, m_dpi);
    const int height = Scale(17, m_dpi);
    int labels = 0;
    for (const Field& field : kFields) {
        labels += textWidth(Control(field.label)) + 2 * gap;
    }
    const int room = std::max(0, right - left - labels);
    int x = left;
    for (const Field& field : kFields) {
        const int labelWidth = textWidth(Control(field.label)) + gap / 2;
        ::MoveWindow(Control(field.label), x, top, labelWidth, height, TRUE);
        x += labelWidth + gap / 2;
        const int valueWidth = room * field.share / 10;
        ::MoveWindow(Control(field.value), x, top, valueWidth, height, TRUE);
        x += valueWidth + gap;
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(m_window, dc);
}

void MainWindow::ShowPage(int page) {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        ::ShowWindow(m_pages[i], static_cast<int>(i) == page ? SW_SHOW : SW_HIDE);
    }
}

void MainWindow::Paint() {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_window, &paint);
    RECT client{};
    ::GetClientRect(m_window, &client);
    RECT banner{0, 0, client.right, Scale(kBannerHeight, m_dpi)};
    // Where the window is wider than the picture, the strip beside it continues the picture's
    // right edge.
    ::FillRect(dc, &banner, m_bannerEdge);
    RECT picture{0, 0, Scale(kClientWidth, m_dpi), banner.bottom};
    DrawPicture(dc, picture, *m_banner, *m_banner2x, m_dpi);
    ::EndPaint(m_window, &paint);
}

HWND MainWindow::Control(std::string_view name) const {
    const auto found = m_controls.find(std::string(name));
    return found == m_controls.end() ? nullptr : found->second;
}

HWND MainWindow::AboutHandle() const {
    return m_about != nullptr ? m_about->Handle() : nullptr;
}

HWND MainWindow::LearnersHandle() const {
    return m_learners != nullptr ? m_learners->Handle() : nullptr;
}

TableEditorWindow* MainWindow::TableEditor() const {
    return m_tableEditor != nullptr && m_tableEditor->Handle() != nullptr ? m_tableEditor.get()
                                                                          : nullptr;
}

HWND MainWindow::ComparisonHandle() const {
    return m_comparison != nullptr ? m_comparison->Handle() : nullptr;
}

const ComparisonWindow* MainWindow::Comparison() const {
    return ComparisonHandle() != nullptr ? m_comparison.get() : nullptr;
}

bool MainWindow::PreTranslate(MSG& message) {
    if (const HWND about = AboutHandle(); about != nullptr && ::IsDialogMessageW(about, &message)) {
        return true;
    }
    if (const HWND learners = LearnersHandle()) {
        if (m_learners->PreTranslate(message)) {
            return true;
        }
    }
    if (TableEditorWindow* tables = TableEditor();
        tables != nullptr && tables->PreTranslate(message)) {
        return true;
    }
    if (ComparisonHandle() != nullptr && m_comparison->PreTranslate(message)) {
        return true;
    }
    // The shortcuts work wherever the keyboard is in the main window, and only while it takes
    // input (not while the About window is open).
    if (::IsWindowEnabled(m_window) &&
        (message.hwnd == m_window || ::IsChild(m_window, message.hwnd)) &&
        ::TranslateAcceleratorW(m_window, m_accelerators, &message) != 0) {
        return true;
    }
    return ::IsDialogMessageW(m_window, &message) != 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
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
        case WM_CTLCOLORBTN:
            // A box on the clipped species page paints its own background: the theme's
            // (themed boxes draw their parent's background themselves) or the page's colour.
            if (!::IsAppThemed()) {
                ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            [[fallthrough]];
        case WM_CTLCOLORSTATIC:
            // Labels, frames and check boxes draw their text on the page's background. A field
            // keeps its own.
            if (self != nullptr && reinterpret_cast<HWND>(lParam) != self->Control("txtPrice")) {
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

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == Control("tab1") && header->code == TCN_SELCHANGE) {
                ShowPage(TabCtrl_GetCurSel(header->hwndFrom));
            } else if (header->hwndFrom == m_toolTips && header->code == TTN_GETDISPINFOW) {
                ToolTipText(*reinterpret_cast<NMTTDISPINFOW*>(lParam));
            }
            return 0;
        }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyDpi(HIWORD(wParam));
            return 0;
        }
        case WM_DROPFILES:
            DropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_CLOSE:
            // The table editor's pending edits are asked about first; Cancel keeps the program.
            if (CloseTableEditor()) {
                ::DestroyWindow(m_window);
            }
            return 0;
        case WM_DESTROY:
            m_tableEditor.reset();
            m_comparison.reset();
            m_learners.reset();
            m_about.reset();
            if (m_endsProgram) {
                ::PostQuitMessage(0);
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

void MainWindow::Command(WORD id, WORD code, HWND control) {
    if (control != nullptr) {
        if (id == kIdMachines && code == LBN_SELCHANGE) {
            m_editor.MachineSelected();
            RefreshLearners();
        } else if (id == kIdSpecies && code == LBN_SELCHANGE) {
            m_editor.SpeciesSelected();
        } else if (id == kIdPrice && code == EN_CHANGE) {
            PriceTextChanged();
        }
        return;
    }
    // A command of a greyed menu entry does nothing, whichever way it arrives.
    const UINT state = ::GetMenuState(m_menu, id, MF_BYCOMMAND);
    if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0) {
        return;
    }
    switch (id) {
        case kMenuOpen:
            m_editor.OpenRom();
            AfterOpen();
            break;
        case kMenuSave:
            SaveRom();
            break;
        case kMenuExit:
            Exit();
            break;
        case kMenuCopyCompatibility:
            CopyCompatibility();
            break;
        case kMenuPasteCompatibility:
            PasteCompatibility();
            break;
        case kMenuExport:
            ExportTables();
            break;
        case kMenuImport:
            ImportTables();
            break;
        case kMenuCheck:
            CheckOpenRom();
            break;
        case kMenuLearners:
            ShowLearners();
            break;
        case kMenuTableEditor:
            ShowTableEditor();
            break;
        case kMenuAbout:
            ShowAbout();
            break;
        case kMenuExportPatch:
            ExportPatchOfRom();
            break;
        case kMenuCompare:
            CompareWithRom();
            break;
        case kMenuFixChecksum:
            FixChecksumOfRom();
            break;
        default:
            break;
    }
}

void MainWindow::PriceTextChanged() {
    // The rule may replace the text, which raises the change again; the replacement already
    // passes the rule, so that inner round has nothing to do.
    if (m_applyingPriceRule) {
        return;
    }
    m_applyingPriceRule = true;
    const std::string before = PriceText();
    m_editor.PriceTextChanged();
    // A text the rule put in place is selected, so that the next digit typed replaces it.
    if (PriceText() != before) {
        ::SendMessageW(Control("txtPrice"), EM_SETSEL, 0, -1);
    }
    m_applyingPriceRule = false;
}

void MainWindow::SaveRom() {
    m_editor.SaveRom();
    RefreshLearners();
}

void MainWindow::Exit() {
    // Every window closes and the program ends; unsaved edits of this window are dropped
    // without a prompt, the table editor's are asked about (Cancel keeps the program).
    if (!CloseTableEditor()) {
        return;
    }
    m_comparison.reset();
    m_learners.reset();
    m_about.reset();
    ::EnableWindow(m_window, TRUE);
    ::DestroyWindow(m_window);
}

void MainWindow::ShowAbout() {
    if (m_about != nullptr && m_about->Handle() != nullptr) {
        ::SetForegroundWindow(m_about->Handle());
        return;
    }
    m_about = std::make_unique<AboutWindow>(m_window);
}

void MainWindow::CopyCompatibility() {
    SetClipboardText(m_window, FormatMachineList(CheckedMachines(*this)));
}

void MainWindow::PasteCompatibility() {
    if (PasteMachineList(m_editor, *this, ClipboardText(m_window))) {
        TabCtrl_SetCurSel(Control("tab1"), 1);
        ShowPage(1);
    }
}

void MainWindow::ShowLearners() {
    if (m_learners == nullptr || m_learners->Handle() == nullptr) {
        m_learners = std::make_unique<LearnersWindow>(
            m_window, [this](int species) { ShowSpecies(species); });
    }
    RefreshLearners();
    m_learners->Show();
}

void MainWindow::RefreshLearners() {
    if (m_learners == nullptr || m_learners->Handle() == nullptr) {
        return;
    }
    if (const std::optional<LearnersList> learners = DescribeLearners(m_editor, *this)) {
        m_learners->ShowLearners(*learners);
    }
}

void MainWindow::ShowSpecies(int species) {
    // As if the user had chosen the species in the list: its boxes are read from the file.
    TabCtrl_SetCurSel(Control("tab1"), 1);
    ShowPage(1);
    SetSpeciesIndex(species);
    m_editor.SpeciesSelected();
    ::SetForegroundWindow(m_window);
}

void MainWindow::ExportTables() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string& romPath = m_editor.State().RomPath;
    const std::string csvPath = ChooseFile(BesideRomRequest(kExportTitle, ProposedCsvName(romPath),
                                                            romPath, kCsvFilter, kCsvExtension));
    if (!csvPath.empty()) {
        ExportRomTables(romPath, csvPath);
    }
}

void MainWindow::ImportTables() {
    if (!m_editor.RomOpen()) {
        return;
    }
    FileRequest request;
    request.title = kImportTitle;
    request.initDir = FolderOf(m_editor.State().RomPath);
    request.filter = kCsvFilter;
    request.flags = kImportDialogFlags;
    const std::string csvPath = ChooseFile(request);
    if (!csvPath.empty() && ImportTablesIntoWindow(m_editor, csvPath)) {
        RefreshLearners();
    }
}

void MainWindow::OpenRomPath(const std::string& path) {
    if (!SettleTableEditorBefore(path)) {
        return;
    }
    m_editor.OpenRomPath(path);
    AfterOpen();
}

void MainWindow::OpenDroppedFiles(const std::vector<std::string>& paths) {
    const StartupArguments dropped = ParseDroppedFiles(paths);
    if (!dropped.refused && !dropped.file.empty()) {
        OpenRomPath(dropped.file);
    }
}

void MainWindow::DropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Utf8(path));
    }
    // Explorer is let go before the open, with any message box it shows.
    ::DragFinish(drop);
    OpenDroppedFiles(paths);
}

bool MainWindow::SettleTableEditorBefore(const std::string& path) {
    TableEditorWindow* tables = TableEditor();
    return !TableEditorSettlesBefore(tables != nullptr ? tables->SessionPointer() : nullptr,
                                     path) ||
           tables->SettlePendingEdits();
}

bool MainWindow::CloseTableEditor() {
    if (TableEditorWindow* tables = TableEditor(); tables != nullptr && !tables->Close()) {
        return false;
    }
    m_tableEditor.reset();
    return true;
}

void MainWindow::AfterOpen() {
    // The table editor's edits were settled before the new file was taken; it belongs to the
    // file opened before.
    TableEditorWindow* tables = TableEditor();
    if (TableEditorBelongsElsewhere(tables != nullptr ? tables->SessionPointer() : nullptr,
                                    m_editor.State().RomPath)) {
        CloseTableEditor();
    }
    RefreshLearners();
}

void MainWindow::ShowTableEditor() {
    if (!m_editor.RomOpen()) {
        return;
    }
    if (TableEditor() == nullptr) {
        const EditorState& state = m_editor.State();
        m_tableEditor = TableEditorWindow::Open(m_window, state.RomPath, state.Tables, state.Names,
                                                [this] { TablesSaved(); });
        if (m_tableEditor == nullptr) {
            return;
        }
    }
    m_tableEditor->Show();
}

void MainWindow::TablesSaved() {
    // The machine and the species shown here are read from the file again, as after an
    // import.
    m_editor.ReloadSelection();
    RefreshLearners();
}

void MainWindow::CheckOpenRom() {
    if (m_editor.RomOpen()) {
        CheckRom(m_editor.State().RomPath);
    }
}

MainWindow::FileRequest MainWindow::BesideRomRequest(const char* title, const std::string& fileName,
                                                     const std::string& romPath, const char* filter,
                                                     const char* extension) {
    FileRequest request;
    request.save = true;
    request.title = title;
    request.fileName = fileName;
    request.initDir = FolderOf(romPath);
    request.filter = filter;
    request.flags = kExportDialogFlags;
    request.defaultExtension = extension;
    return request;
}

MainWindow::FileRequest MainWindow::OtherRomRequest(const char* title, const std::string& romPath) {
    FileRequest request;
    request.title = title;
    request.initDir = FolderOf(romPath);
    request.filter = kOpenRomFilter;
    request.flags = kOpenRomDialogFlags;
    return request;
}

void MainWindow::ExportPatchOfRom() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string romPath = m_editor.State().RomPath;
    const std::string cleanPath = ChooseFile(OtherRomRequest(kCleanRomTitle, romPath));
    if (cleanPath.empty() || !CheckCleanRom(cleanPath, romPath)) {
        return;
    }
    const std::string patchPath = ChooseFile(BesideRomRequest(
        kExportPatchTitle, ProposedPatchName(romPath), romPath, kPatchFilter, kPatchExtension));
    if (!patchPath.empty()) {
        ExportPatch(cleanPath, romPath, patchPath);
    }
}

void MainWindow::CompareWithRom() {
    if (!m_editor.RomOpen()) {
        return;
    }
    const std::string romPath = m_editor.State().RomPath;
    const std::string otherPath = ChooseFile(OtherRomRequest(kCompareTitle, romPath));
    if (otherPath.empty()) {
        return;
    }
    // From the file chosen to the one open, as the Qt window compares.
    const std::optional<RomComparison> comparison = CompareRoms(otherPath, romPath);
    if (!comparison) {
        return;
    }
    if (ComparisonHandle() == nullptr) {
        m_comparison = std::make_unique<ComparisonWindow>(m_window);
    }
    m_comparison->ShowComparison(*comparison);
    m_comparison->Show();
}

void MainWindow::FixChecksumOfRom() {
    if (m_editor.RomOpen()) {
        FixChecksum(m_editor.State().RomPath);
    }
}

std::string MainWindow::ChooseFile(const FileRequest& request) {
    if (m_chooseFile) {
        return m_chooseFile(request);
    }
    // A new dialog object every time, so nothing it remembers carries over to the next one.
    CommonDialog dialog;
    if (request.save) {
        return dialog.ShowSave(m_window, request.title, request.fileName, request.initDir,
                               request.filter, request.flags, request.defaultExtension);
    }
    return dialog.ShowOpen(m_window, request.title, request.initDir, request.filter, request.flags);
}

int MainWindow::MachineIndex() const {
    return static_cast<int>(::SendMessageW(Control("lstTM"), LB_GETCURSEL, 0, 0));
}

void MainWindow::SetMachineIndex(int machine) {
    ::SendMessageW(Control("lstTM"), LB_SETCURSEL, static_cast<WPARAM>(machine), 0);
}

int MainWindow::MoveIndex() const {
    return static_cast<int>(::SendMessageW(Control("lstAttack"), LB_GETCURSEL, 0, 0));
}

void MainWindow::SetMoveIndex(int move) {
    ::SendMessageW(Control("lstAttack"), LB_SETCURSEL, static_cast<WPARAM>(move), 0);
}

int MainWindow::SpeciesIndex() const {
    return static_cast<int>(::SendMessageW(Control("List1"), LB_GETCURSEL, 0, 0));
}

void MainWindow::SetSpeciesIndex(int species) {
    ::SendMessageW(Control("List1"), LB_SETCURSEL, static_cast<WPARAM>(species), 0);
}

std::string MainWindow::PriceText() const {
    return WindowText(Control("txtPrice"));
}

void MainWindow::SetPriceText(const std::string& text) {
    ::SetWindowTextW(Control("txtPrice"), Wide(text).c_str());
}

bool MainWindow::MachineChecked(int machine) const {
    return machine >= 0 && machine < kMachineCount &&
           ::SendMessageW(m_checks[static_cast<std::size_t>(machine)], BM_GETCHECK, 0, 0) ==
               BST_CHECKED;
}

void MainWindow::SetMachineChecked(int machine, bool checked) {
    if (machine >= 0 && machine < kMachineCount) {
        ::SendMessageW(m_checks[static_cast<std::size_t>(machine)], BM_SETCHECK,
                       checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void MainWindow::ShowRomInformation(const std::string& gameName, const std::string& gameCode,
                                    const std::string& language) {
    ::SetWindowTextW(Control("headr"), Wide(gameName).c_str());
    ::SetWindowTextW(Control("code"), Wide(gameCode).c_str());
    ::SetWindowTextW(Control("lang"), Wide(language).c_str());
}

void MainWindow::SetCaption(const std::string& caption) {
    ::SetWindowTextW(m_window, Wide(caption).c_str());
}

void MainWindow::EnableEditing() {
    for (const auto& [name, control] : m_controls) {
        ::EnableWindow(control, TRUE);
    }
    for (const HWND page : m_pages) {
        ::EnableWindow(page, TRUE);
    }
    for (const WORD command : {kMenuSave, kMenuCopyCompatibility, kMenuPasteCompatibility,
                               kMenuExport, kMenuImport, kMenuCheck, kMenuExportPatch, kMenuCompare,
                               kMenuFixChecksum, kMenuLearners, kMenuTableEditor}) {
        ::EnableMenuItem(m_menu, command, MF_BYCOMMAND | MF_ENABLED);
    }
    ::DrawMenuBar(m_window);
    // The keyboard starts in a list, where the new ROM's first entry is selected, so the arrow
    // keys work at once: the machine list, or the species list when the species page is in
    // front.
    ::SetFocus(Control(TabCtrl_GetCurSel(Control("tab1")) == 0 ? "lstTM" : "List1"));
}

std::string MainWindow::AskForRomPath() {
    FileRequest request;
    request.title = kOpenRomTitle;
    request.filter = kOpenRomFilter;
    request.flags = kOpenRomDialogFlags;
    const std::string path = ChooseFile(request);
    return SettleTableEditorBefore(path) ? path : std::string();
}

}  // namespace brindlewick::win32
