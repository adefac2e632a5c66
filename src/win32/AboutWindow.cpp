#include "win32/AboutWindow.h"

#include <algorithm>
#include <string>

#include "editor/WindowCommands.h"
#include "win32/OwnedWindow.h"
#include "win32/Pictures.h"
#include "win32/Resource.h"
#include "win32/Scale.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"BrindlewickForm2";
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 377;
constexpr int kClientHeight = 203;
constexpr RECT kPicture{8, 8, 8 + 62, 8 + 121};

struct Placement {
    int id;
    int x, y, width, height;
};

// The controls' places inside the client area, at 100 %.
constexpr Placement kPlacements[] = {
    {AboutWindow::kLabel1, 80, 16, 289, 17},  {AboutWindow::kLabel2, 80, 48, 289, 17},
    {AboutWindow::kLabel3, 80, 80, 289, 49},  {AboutWindow::kLine1, 8, 144, 360, 2},
    {AboutWindow::kLabel4, 16, 152, 249, 49}, {AboutWindow::kCommand1, 272, 160, 97, 25},
};

}  // namespace

AboutWindow::AboutWindow(HWND mainWindow) : m_mainWindow(mainWindow) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterOwnedWindowClass(kWindowClass, &AboutWindow::WindowProc);
    m_picture = std::make_unique<Picture>(IDR_ABOUT);
    m_picture2x = std::make_unique<Picture>(IDR_ABOUT_2X);
    // Owned by the main window: it stays in front of it, and the two are one program in the
    // task bar.
    m_window = ::CreateWindowExW(kWindowExStyle, kWindowClass, Wide(kAboutCaption).c_str(),
                                 kWindowStyle, 0, 0, 100, 100, mainWindow, nullptr, instance, this);
    const auto add = [&](int id, const wchar_t* windowClass, const std::string& text, DWORD style) {
        ::CreateWindowExW(0, windowClass, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                          0, 0, m_window, reinterpret_cast<HMENU>(INT_PTR{id}), instance, nullptr);
    };
    add(kLabel1, L"STATIC", ProductLine(BRINDLEWICK_VERSION), SS_LEFT | SS_NOPREFIX);
    add(kLabel2, L"STATIC", kCopyrightNotice, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    add(kLabel3, L"STATIC", kAboutDescription, SS_LEFT | SS_NOPREFIX);
    add(kLine1, L"STATIC", "", SS_ETCHEDHORZ);
    add(kLabel4, L"STATIC", kAboutCredits, SS_LEFT | SS_NOPREFIX);
    add(kCommand1, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON);

    m_dpi = ::GetDpiForWindow(m_window);
    Layout();
    // Centred on the main window.
    RECT main{};
    RECT own{};
    ::GetWindowRect(mainWindow, &main);
    ::GetWindowRect(m_window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    ::SetWindowPos(m_window, nullptr, main.left + (main.right - main.left - width) / 2,
                   main.top + (main.bottom - main.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(m_window, SW_SHOW);
    ::EnableWindow(mainWindow, FALSE);
    // The OK button is the one control that takes the keyboard.
    ::SetFocus(Control(kCommand1));
}

AboutWindow::~AboutWindow() {
    if (m_window != nullptr) {
        ::DestroyWindow(m_window);
    }
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
}

void AboutWindow::Layout() {
    if (m_font != nullptr) {
        ::DeleteObject(m_font);
    }
    m_font = CreateMessageFont(m_dpi);
    SetFontOfChildren(m_window, m_font);
    // The two wrapped texts take three lines in the window's own font; where the system's font
    // needs more, everything below them moves down and the window grows.
    const HDC dc = ::GetDC(m_window);
    const HGDIOBJ previous = ::SelectObject(dc, m_font);
    const auto extraHeight = [&](int id, int width, int height) {
        const std::wstring text = Wide(WindowText(Control(id)));
        RECT needed{0, 0, Scale(width, m_dpi), 0};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return std::max(0, static_cast<int>(needed.bottom) - Scale(height, m_dpi));
    };
    int below = 0;  // how far the controls below Label3 move down
    int extra = 0;  // how far those below Label4 move down
    for (const Placement& at : kPlacements) {
        if (at.id == kLabel3) {
            below = extraHeight(at.id, at.width, at.height);
        } else if (at.id == kLabel4) {
            extra = extraHeight(at.id, at.width, at.height);
        }
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(m_window, dc);
    for (const Placement& at : kPlacements) {
        int top = Scale(at.y, m_dpi);
        int height = Scale(at.height, m_dpi);
        if (at.id == kLabel3) {
            height += below;
        } else if (at.y > kPlacements[2].y) {
            top += below;
            if (at.id == kLabel4) {
                height += extra;
            }
        }
        ::MoveWindow(Control(at.id), Scale(at.x, m_dpi), top, Scale(at.width, m_dpi), height, TRUE);
    }
    SIZE size =
        WindowSizeFor(kClientWidth, kClientHeight, kWindowStyle, kWindowExStyle, false, m_dpi);
    size.cy += below + extra;
    ::SetWindowPos(m_window, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::Close() {
    // The main window first, so that it is the one activated when this one goes.
    ::EnableWindow(m_mainWindow, TRUE);
    DestroyOwnedWindow(m_window);
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ForwardToWindow(window, message, wParam, lParam, &AboutWindow::m_window,
                           &AboutWindow::Handle);
}

LRESULT AboutWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                Close();
            }
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(m_window, &paint);
            const RECT target{Scale(kPicture.left, m_dpi), Scale(kPicture.top, m_dpi),
                              Scale(kPicture.right, m_dpi), Scale(kPicture.bottom, m_dpi)};
            DrawPicture(dc, target, *m_picture, *m_picture2x, m_dpi);
            ::EndPaint(m_window, &paint);
            return 0;
        }
        case WM_DPICHANGED: {
            m_dpi = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Layout();
            ::InvalidateRect(m_window, nullptr, TRUE);
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace brindlewick::win32
