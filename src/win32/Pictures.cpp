#include "win32/Pictures.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace brindlewick::win32 {
namespace {

// Reads one number of a PPM header, skipping blanks and comments.
bool HeaderNumber(std::string_view& text, int& number) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\r' ||
                             text.front() == '\t' || text.front() == '#')) {
        if (text.front() == '#') {
            const auto end = text.find('\n');
            text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        } else {
            text.remove_prefix(1);
        }
    }
    number = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits < 6) {
        number = number * 10 + (text[digits] - '0');
        ++digits;
    }
    text.remove_prefix(digits);
    return digits > 0;
}

}  // namespace

Picture::Picture(int id) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return;
    }
    std::string_view text(static_cast<const char*>(data), ::SizeofResource(module, resource));
    int width = 0;
    int height = 0;
    int maximum = 0;
    if (text.substr(0, 2) != "P6") {
        return;
    }
    text.remove_prefix(2);
    if (!HeaderNumber(text, width) || !HeaderNumber(text, height) || !HeaderNumber(text, maximum) ||
        maximum != 255 || text.empty()) {
        return;
    }
    text.remove_prefix(1);  // the one blank after the header
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (width <= 0 || height <= 0 || text.size() < pixels * 3) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as in the file
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_bitmap == nullptr) {
        return;
    }
    auto* out = static_cast<std::uint8_t*>(bits);
    for (std::size_t i = 0; i < pixels; ++i) {
        out[i * 4 + 0] = static_cast<std::uint8_t>(text[i * 3 + 2]);
        out[i * 4 + 1] = static_cast<std::uint8_t>(text[i * 3 + 1]);
        out[i * 4 + 2] = static_cast<std::uint8_t>(text[i * 3 + 0]);
        out[i * 4 + 3] = 0xFF;
    }
    m_size = {width, height};
}

Picture::~Picture() {
    if (m_bitmap != nullptr) {
        ::DeleteObject(m_bitmap);
    }
}

void DrawPicture(HDC dc, const RECT& target, const Picture& small, const Picture& large, UINT dpi) {
    const Picture& picture = dpi > USER_DEFAULT_SCREEN_DPI && !large.Empty() ? large : small;
    if (picture.Empty()) {
        return;
    }
    const HDC source = ::CreateCompatibleDC(dc);
    const HGDIOBJ previous = ::SelectObject(source, picture.Bitmap());
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (width == picture.Size().cx && height == picture.Size().cy) {
        ::BitBlt(dc, target.left, target.top, width, height, source, 0, 0, SRCCOPY);
    } else {
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, target.left, target.top, width, height, source, 0, 0, picture.Size().cx,
                     picture.Size().cy, SRCCOPY);
    }
    ::SelectObject(source, previous);
    ::DeleteDC(source);
}

COLORREF RightEdgeColour(const Picture& picture) {
    if (picture.Empty()) {
        return ::GetSysColor(COLOR_BTNFACE);
    }
    const HDC source = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(source, picture.Bitmap());
    const COLORREF colour = ::GetPixel(source, picture.Size().cx - 1, picture.Size().cy / 2);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
    return colour;
}

}  // namespace brindlewick::win32
