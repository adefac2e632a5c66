#include "win32/OwnedWindow.h"

#include <set>
#include <string>

namespace brindlewick::win32 {

void RegisterOwnedWindowClass(const wchar_t* name, WNDPROC procedure) {
    static std::set<std::wstring> registered;
    if (!registered.insert(name).second) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    windowClass.lpfnWndProc = procedure;
    ::RegisterClassExW(&windowClass);
}

void DestroyOwnedWindow(HWND& window) {
    const HWND closing = window;
    window = nullptr;
    ::DestroyWindow(closing);
}

}  // namespace brindlewick::win32
