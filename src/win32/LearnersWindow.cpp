#include "win32/LearnersWindow.h"

#include "win32/OwnedWindow.h"
#include "win32/Scale.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"BrindlewickLearners";
constexpr int kListId = 1;

}  // namespace

LearnersWindow::LearnersWindow(HWND mainWindow, std::function<void(int species)> showSpecies)
    : m_showSpecies(std::move(showSpecies)) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterOwnedWindowClass(kWindowClass, &LearnersWindow::WindowProc);
    // Beside the main window and as tall as it.
    RECT main{};
    ::GetWindowRect(mainWindow, &main);
    const UINT dpi = ::GetDpiForWindow(mainWindow);
    m_window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, Wide(kLearnersCaption).c_str(),
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                 main.right + Scale(8, dpi), main.top, Scale(300, dpi),
                                 main.bottom - main.top, mainWindow, nullptr, instance, this);
    m_list = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
        0, 0, m_window, reinterpret_cast<HMENU>(INT_PTR{kListId}), instance, nullptr);
    m_font = CreateMessageFont(dpi);
    ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    RECT client{};
    ::GetClientRect(m_window, &client);
    ::MoveWindow(m_list, Scale(4, dpi), Scale(4, dpi), client.right - Scale(8, dpi),
                 client.bottom - Scale(8, dpi), FALSE);
}

LearnersWindow::~LearnersWindow() {
    if (m_window != nullptr) {
        ::DestroyWindow(m_window);
    }
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
}

void LearnersWindow::ShowLearners(const LearnersList& learners) {
    ::SetWindowTextW(m_window, Wide(learners.caption).c_str());
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < learners.species.size(); ++i) {
        const auto at = ::SendMessageW(m_list, LB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(Wide(learners.names[i]).c_str()));
        ::SendMessageW(m_list, LB_SETITEMDATA, static_cast<WPARAM>(at), learners.species[i]);
    }
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void LearnersWindow::Show() {
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    ::SetFocus(m_list);
}

bool LearnersWindow::PreTranslate(const MSG& message) {
    if (message.hwnd == m_list && message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        Activate();
        return true;
    }
    return false;
}

void LearnersWindow::Activate() {
    const auto at = ::SendMessageW(m_list, LB_GETCURSEL, 0, 0);
    if (at != LB_ERR && m_showSpecies) {
        m_showSpecies(static_cast<int>(::SendMessageW(m_list, LB_GETITEMDATA, at, 0)));
    }
}

LRESULT CALLBACK LearnersWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    return ForwardToWindow(window, message, wParam, lParam, &LearnersWindow::m_window,
                           &LearnersWindow::Handle);
}

LRESULT LearnersWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK) {
                Activate();
            }
            return 0;
        case WM_SIZE:
            if (m_list != nullptr) {
                const UINT dpi = ::GetDpiForWindow(m_window);
                ::MoveWindow(m_list, Scale(4, dpi), Scale(4, dpi), LOWORD(lParam) - Scale(8, dpi),
                             HIWORD(lParam) - Scale(8, dpi), TRUE);
            }
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
