// Clipboard: the system clipboard's text, as UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace brindlewick::win32 {

// The clipboard's text; "" when it holds none or cannot be opened.
std::string ClipboardText(HWND owner);

// Puts `text` on the clipboard in place of what it held; false when it could not.
bool SetClipboardText(HWND owner, const std::string& text);

}  // namespace brindlewick::win32
