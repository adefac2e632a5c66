// Scale: the windows are laid out in pixels at 96 dots per inch (100 %) and scaled to the
// monitor's setting, with the system's own message font at that setting.
#pragma once

#include <windows.h>

namespace brindlewick::win32 {

inline int Scale(int pixels, UINT dpi) {
    return ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// The font of message boxes and dialogs at `dpi` ("Segoe UI" 9 point on Windows 10 and 11).
// The caller deletes it.
HFONT CreateMessageFont(UINT dpi);

// Gives every child of `window` the font `font`.
void SetFontOfChildren(HWND window, HFONT font);

// The size a window of `style` needs around a client area of `width` × `height` at `dpi`.
SIZE WindowSizeFor(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi);

}  // namespace brindlewick::win32
