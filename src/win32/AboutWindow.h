// AboutWindow: the About window (Form2) on Windows. While it is open the main window is
// disabled; OK, Enter, Escape or its close button enable the main window again and close it.
#pragma once

#include <windows.h>

#include <memory>

namespace brindlewick::win32 {

class Picture;

class AboutWindow {
public:
    // Opens the window, centred on `mainWindow`, and disables the main window.
    explicit AboutWindow(HWND mainWindow);
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // The window while it is open; nullptr once closed.
    HWND Handle() const { return m_window; }
    HWND Control(int id) const { return ::GetDlgItem(m_window, id); }

    // Control numbers: the labels Label1 .. Label4, Line1 and the OK button Command1.
    static constexpr int kLabel1 = 11;
    static constexpr int kLabel2 = 12;
    static constexpr int kLabel3 = 13;
    static constexpr int kLabel4 = 14;
    static constexpr int kLine1 = 15;
    static constexpr int kCommand1 = IDOK;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    void Close();

    HWND m_window = nullptr;
    HWND m_mainWindow;
    HFONT m_font = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::unique_ptr<Picture> m_picture;
    std::unique_ptr<Picture> m_picture2x;
};

}  // namespace brindlewick::win32
