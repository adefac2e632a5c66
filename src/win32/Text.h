// Text: the program's UTF-8 strings and the UTF-16 strings of the Windows calls.
#pragma once

#include <string>

namespace brindlewick::win32 {

std::wstring Wide(const std::string& text);
std::string Utf8(const std::wstring& text);

// The text of a window or control, as UTF-8.
std::string WindowText(void* window);

}  // namespace brindlewick::win32
