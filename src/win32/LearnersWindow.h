// LearnersWindow: the species that can learn the machine selected in the main window, in a
// small tool window beside it. Double-clicking a species, or Enter on it, shows that species
// in the main window.
#pragma once

#include <windows.h>

#include <functional>

#include "editor/WindowCommands.h"

namespace brindlewick::win32 {

class LearnersWindow {
public:
    LearnersWindow(HWND mainWindow, std::function<void(int species)> showSpecies);
    ~LearnersWindow();
    LearnersWindow(const LearnersWindow&) = delete;
    LearnersWindow& operator=(const LearnersWindow&) = delete;

    // The window while it is open; nullptr once closed.
    HWND Handle() const { return m_window; }
    HWND List() const { return m_list; }

    void ShowLearners(const LearnersList& learners);
    void Show();
    // Enter in the list; true: handled.
    bool PreTranslate(const MSG& message);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Activate();

    HWND m_window = nullptr;
    HWND m_list = nullptr;
    HFONT m_font = nullptr;
    std::function<void(int)> m_showSpecies;
};

}  // namespace brindlewick::win32
