// ComparisonWindow: the differences between the tables of two ROMs (Compare with...), a line
// each in a list, in a window of its own beside the main window, as the Qt window shows them.
// Ctrl+C in the list copies the selected lines; Copy All copies the whole comparison.
#pragma once

#include <windows.h>

#include "editor/ShareCommands.h"

namespace brindlewick::win32 {

class ComparisonWindow {
public:
    explicit ComparisonWindow(HWND mainWindow);
    ~ComparisonWindow();
    ComparisonWindow(const ComparisonWindow&) = delete;
    ComparisonWindow& operator=(const ComparisonWindow&) = delete;

    // The window while it is open; nullptr once closed.
    HWND Handle() const { return m_window; }
    HWND Heading() const { return m_heading; }
    HWND List() const { return m_list; }
    HWND CopyButton() const { return m_copy; }

    void ShowComparison(const RomComparison& comparison);
    void Show();
    // Ctrl+C in the list; true: handled.
    bool PreTranslate(const MSG& message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout(int width, int height);
    void CopySelected();

    HWND m_window = nullptr;
    HWND m_heading = nullptr;
    HWND m_list = nullptr;
    HWND m_copy = nullptr;
    HFONT m_font = nullptr;
    RomComparison m_comparison;
};

}  // namespace brindlewick::win32
