#include "win32/Scale.h"

namespace brindlewick::win32 {

HFONT CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        metrics.lfMessageFont = LOGFONTW{};
        metrics.lfMessageFont.lfHeight = -Scale(12, dpi);
        metrics.lfMessageFont.lfWeight = FW_NORMAL;
        ::lstrcpynW(metrics.lfMessageFont.lfFaceName, L"Segoe UI", LF_FACESIZE);
    }
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

void SetFontOfChildren(HWND window, HFONT font) {
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM value) -> BOOL {
            ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(value), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font));
}

SIZE WindowSizeFor(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
    RECT rect{0, 0, Scale(width, dpi), Scale(height, dpi)};
    ::AdjustWindowRectExForDpi(&rect, style, menu ? TRUE : FALSE, exStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace brindlewick::win32
