// OwnedWindow: what the program's windows beside the main one share: a window class registered
// once, and the window procedure that hands each message to the object its window was created
// for (passed as CreateWindowExW's last argument).
#pragma once

#include <windows.h>

namespace brindlewick::win32 {

// Registers the class `name` with `procedure`, the arrow cursor and the dialogs' background;
// a second call for the same name does nothing.
void RegisterOwnedWindowClass(const wchar_t* name, WNDPROC procedure);

// Closes a window of this kind: its object lets go of it first (`window` becomes nullptr), so
// that none of the messages its destruction sends reaches the object, then it is destroyed.
void DestroyOwnedWindow(HWND& window);

// The body of a window procedure for `Window`: at WM_NCCREATE its object learns its window
// (`handle`); each message of that window then goes to `handler`, and any other (after the
// object let go of its window, say) to DefWindowProcW.
template <typename Window>
LRESULT ForwardToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        HWND Window::*handle, LRESULT (Window::*handler)(UINT, WPARAM, LPARAM)) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->*handle = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->*handle != window) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return (self->*handler)(message, wParam, lParam);
}

}  // namespace brindlewick::win32
