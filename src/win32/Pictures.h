// Pictures: the program's artwork, kept in the executable as binary PPM resources (the same
// files the Qt window uses), turned into bitmaps and drawn at the window's scale.
#pragma once

#include <windows.h>

namespace brindlewick::win32 {

class Picture {
public:
    // The PPM resource `id` of the executable; an empty picture when it is missing or broken.
    explicit Picture(int id);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool Empty() const { return m_bitmap == nullptr; }
    SIZE Size() const { return m_size; }
    HBITMAP Bitmap() const { return m_bitmap; }

private:
    HBITMAP m_bitmap = nullptr;
    SIZE m_size{0, 0};
};

// Draws the picture into `target`, from the larger one where the window is scaled beyond 100 %
// so that it stays sharp.
void DrawPicture(HDC dc, const RECT& target, const Picture& small, const Picture& large, UINT dpi);

// The colour of the picture's right edge, half-way down: what continues a banner.
COLORREF RightEdgeColour(const Picture& picture);

}  // namespace brindlewick::win32
