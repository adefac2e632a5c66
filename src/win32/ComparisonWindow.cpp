#include "win32/ComparisonWindow.h"

#include <algorithm>
#include <vector>

#include "win32/Clipboard.h"
#include "win32/OwnedWindow.h"
#include "win32/Scale.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"BrindlewickComparison";
constexpr int kListId = 1;
constexpr int kCopyId = 2;
// The heading's room: what differs in all and up to three warnings, wrapped.
constexpr int kHeadingHeight = 64;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;
constexpr int kMargin = 8;

std::string Joined(const std::vector<std::string>& lines, const char* end) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + end;
    }
    return text;
}

}  // namespace

ComparisonWindow::ComparisonWindow(HWND mainWindow) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterOwnedWindowClass(kWindowClass, &ComparisonWindow::WindowProc);
    // Beside the main window and as tall as it.
    RECT main{};
    ::GetWindowRect(mainWindow, &main);
    const UINT dpi = ::GetDpiForWindow(mainWindow);
    m_window =
        ::CreateWindowExW(0, kWindowClass, Wide(kComparisonCaption).c_str(), WS_OVERLAPPEDWINDOW,
                          main.right + Scale(8, dpi), main.top, Scale(460, dpi),
                          main.bottom - main.top, mainWindow, nullptr, instance, this);
    m_heading = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0,
                                  m_window, nullptr, instance, nullptr);
    m_list = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                                   LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
                               0, 0, 0, 0, m_window, reinterpret_cast<HMENU>(INT_PTR{kListId}),
                               instance, nullptr);
    m_copy =
        ::CreateWindowExW(0, L"BUTTON", Wide(kCopyComparisonCaption).c_str(),
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, m_window,
                          reinterpret_cast<HMENU>(INT_PTR{kCopyId}), instance, nullptr);
    m_font = CreateMessageFont(dpi);
    SetFontOfChildren(m_window, m_font);
    RECT client{};
    ::GetClientRect(m_window, &client);
    Layout(client.right, client.bottom);
}

ComparisonWindow::~ComparisonWindow() {
    if (m_window != nullptr) {
        ::DestroyWindow(m_window);
    }
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
}

void ComparisonWindow::ShowComparison(const RomComparison& comparison) {
    m_comparison = comparison;
    ::SetWindowTextW(m_window,
                     Wide(std::string(kComparisonCaption) + ": " + comparison.caption).c_str());
    ::SetWindowTextW(m_heading, Wide(Joined(comparison.heading, "\r\n")).c_str());
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    // The list scrolls sideways as far as its longest line needs.
    const HDC context = ::GetDC(m_list);
    const HGDIOBJ oldFont = ::SelectObject(context, m_font);
    LONG widest = 0;
    for (const std::string& line : comparison.lines) {
        const std::wstring text = Wide(line);
        ::SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size{};
        ::GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, size.cx);
    }
    ::SelectObject(context, oldFont);
    ::ReleaseDC(m_list, context);
    ::SendMessageW(m_list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void ComparisonWindow::Show() {
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    ::SetFocus(m_list);
}

bool ComparisonWindow::PreTranslate(const MSG& message) {
    if (message.hwnd == m_list && message.message == WM_KEYDOWN && message.wParam == 'C' &&
        (::GetKeyState(VK_CONTROL) & 0x8000) != 0) {
        CopySelected();
        return true;
    }
    return m_window != nullptr && ::IsDialogMessageW(m_window, const_cast<MSG*>(&message)) != 0;
}

void ComparisonWindow::CopySelected() {
    // In the list's order; nothing selected copies the whole comparison.
    const auto count = ::SendMessageW(m_list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) {
        SetClipboardText(m_window, ComparisonText(m_comparison));
        return;
    }
    std::vector<int> rows(static_cast<std::size_t>(count));
    ::SendMessageW(m_list, LB_GETSELITEMS, static_cast<WPARAM>(count),
                   reinterpret_cast<LPARAM>(rows.data()));
    std::vector<std::string> lines;
    for (const int row : rows) {
        if (row >= 0 && static_cast<std::size_t>(row) < m_comparison.lines.size()) {
            lines.push_back(m_comparison.lines[static_cast<std::size_t>(row)]);
        }
    }
    SetClipboardText(m_window, Joined(lines, "\n"));
}

void ComparisonWindow::Layout(int width, int height) {
    if (m_list == nullptr) {
        return;
    }
    const UINT dpi = ::GetDpiForWindow(m_window);
    const int margin = Scale(kMargin, dpi);
    const int heading = Scale(kHeadingHeight, dpi);
    const int buttonWidth = Scale(kButtonWidth, dpi);
    const int buttonHeight = Scale(kButtonHeight, dpi);
    ::MoveWindow(m_heading, margin, margin, width - 2 * margin, heading, TRUE);
    const int listTop = 2 * margin + heading;
    ::MoveWindow(m_list, margin, listTop, width - 2 * margin,
                 std::max(0, height - listTop - 2 * margin - buttonHeight), TRUE);
    ::MoveWindow(m_copy, width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth,
                 buttonHeight, TRUE);
}

LRESULT CALLBACK ComparisonWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    return ForwardToWindow(window, message, wParam, lParam, &ComparisonWindow::m_window,
                           &ComparisonWindow::Handle);
}

LRESULT ComparisonWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCopyId && HIWORD(wParam) == BN_CLICKED) {
                SetClipboardText(m_window, ComparisonText(m_comparison));
            }
            return 0;
        case WM_SIZE:
            Layout(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_CLOSE:
            DestroyOwnedWindow(m_window);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace brindlewick::win32
