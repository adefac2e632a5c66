#include "win32/Clipboard.h"

#include <cstring>

#include "win32/Text.h"

namespace brindlewick::win32 {

std::string ClipboardText(HWND owner) {
    std::wstring text;
    if (!::OpenClipboard(owner)) {
        return {};
    }
    if (const HANDLE memory = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(::GlobalLock(memory))) {
            text = characters;
            ::GlobalUnlock(memory);
        }
    }
    ::CloseClipboard();
    return Utf8(text);
}

bool SetClipboardText(HWND owner, const std::string& text) {
    const std::wstring wide = Wide(text);
    if (!::OpenClipboard(owner)) {
        return false;
    }
    ::EmptyClipboard();
    bool placed = false;
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(::GlobalLock(memory), wide.c_str(), bytes);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed) {
            ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
    return placed;
}

}  // namespace brindlewick::win32
