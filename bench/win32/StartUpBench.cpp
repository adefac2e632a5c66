// brindlewick_win32_bench: the Windows window's start-up to its first paint, against a bare
// Win32 window with the same controls (a menu bar, a tab control with two pages, three lists
// with their entries, a field with an up-down control and 57 check boxes). Run by hand under
// Wine or on Windows, never as a test:
//
//   brindlewick_win32_bench.exe [--runs N]
//
// Each figure is the median of N runs of a child process that makes its window, shows it and
// ends at its first paint; the child reports its own processor time (user and kernel) and the
// wall clock since its creation, so the program start is counted as well. The table editor's
// figures follow, timed in this process (TableEditorBench.h).
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Measure.h"
#include "TableEditorBench.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomTables.h"
#include "win32/MainWindow.h"
#include "win32/Text.h"
#include "win32/Win32MessageSink.h"

namespace {

using brindlewick::win32::Wide;

double Milliseconds(const FILETIME& time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e4;  // 100 ns units
}

// Prints "processor wall" in milliseconds, as the parent reads them.
void ReportFirstPaint() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimePreciseAsFileTime(&now);
    std::printf("%.3f %.3f\n", Milliseconds(kernel) + Milliseconds(user),
                Milliseconds(now) - Milliseconds(created));
    std::fflush(stdout);
}

// Ends the message loop right after the window's first paint has been done.
LRESULT CALLBACK AfterFirstPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR /*data*/) {
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        ::RemoveWindowSubclass(window, &AfterFirstPaint, id);
        ReportFirstPaint();
        ::PostQuitMessage(0);
    }
    return result;
}

int RunLoop(HWND window) {
    ::SetWindowSubclass(window, &AfterFirstPaint, 1, 0);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

int MainWindowChild() {
    brindlewick::win32::Win32MessageSink sink;
    brindlewick::SetMessageSink(&sink);
    brindlewick::win32::MainWindow window;
    return RunLoop(window.Handle());
}

int BareWindowChild() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DESTROY) {
            ::PostQuitMessage(0);
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    };
    ::RegisterClassExW(&windowClass);
    const HMENU menu = ::CreateMenu();
    for (const wchar_t* name : {L"&File", L"&Edit", L"&Tools", L"&Help"}) {
        const HMENU popup = ::CreatePopupMenu();
        ::AppendMenuW(popup, MF_STRING, 1, L"Command");
        ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), name);
    }
    const HWND window =
        ::CreateWindowExW(0, L"BareWindow", L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                          CW_USEDEFAULT, 560, 560, nullptr, menu, instance, nullptr);
    const auto add = [&](const wchar_t* type, const wchar_t* text, DWORD style, int x, int y,
                         int width, int height) {
        return ::CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 window, nullptr, instance, nullptr);
    };
    const HWND tab = add(WC_TABCONTROLW, L"", 0, 6, 160, 535, 290);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring caption = L"Page 1";
    item.pszText = caption.data();
    TabCtrl_InsertItem(tab, 0, &item);
    caption = L"Page 2";
    TabCtrl_InsertItem(tab, 1, &item);
    const auto fill = [](HWND list, auto entries) {
        for (const auto& entry : entries) {
            ::SendMessageW(list, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(Wide(std::string(entry)).c_str()));
        }
    };
    std::vector<std::string> machines;
    for (int machine = 0; machine < brindlewick::kMachineCount; ++machine) {
        machines.push_back(brindlewick::MachineName(machine));
    }
    fill(add(L"LISTBOX", L"", WS_VSCROLL, 20, 200, 70, 230), machines);
    fill(add(L"LISTBOX", L"", WS_VSCROLL, 100, 200, 150, 230), brindlewick::MoveEntries());
    fill(add(L"LISTBOX", L"", WS_VSCROLL, 260, 200, 120, 230), brindlewick::SpeciesEntries());
    const HWND field = add(L"EDIT", L"", WS_BORDER, 400, 200, 80, 22);
    ::SendMessageW(add(UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 0, 0),
                   UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
    for (int machine = 0; machine < brindlewick::kMachineCount; ++machine) {
        add(L"BUTTON", Wide(machines[static_cast<std::size_t>(machine)]).c_str(), BS_AUTOCHECKBOX,
            400 + (machine % 2) * 60, 230 + (machine / 2) * 7, 58, 18);
    }
    return RunLoop(window);
}

struct Figures {
    double processor = 0;
    double wall = 0;
};

// Runs this program as a child for `window` and reads what it reports.
bool RunChild(const std::wstring& self, const wchar_t* window, Figures& figures) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return false;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + self + L"\" --child " + window;
    const BOOL started = ::CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                          0, nullptr, nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        return false;
    }
    std::string text;
    char buffer[128];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    ::CloseHandle(readEnd);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return std::sscanf(text.c_str(), "%lf %lf", &figures.processor, &figures.wall) == 2;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc == 3 && std::wstring(argv[1]) == L"--child") {
        return std::wstring(argv[2]) == L"main" ? MainWindowChild() : BareWindowChild();
    }
    int runs = 15;
    if (argc == 3 && std::wstring(argv[1]) == L"--runs") {
        runs = std::max(1, _wtoi(argv[2]));
    }
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring self(path, length);
    std::vector<double> mainProcessor, bareProcessor, mainWall, bareWall;
    for (int run = 0; run < runs; ++run) {
        Figures main, bare;
        if (!RunChild(self, L"main", main) || !RunChild(self, L"bare", bare)) {
            std::fprintf(stderr, "brindlewick_win32_bench: a child failed\n");
            return 1;
        }
        mainProcessor.push_back(main.processor);
        bareProcessor.push_back(bare.processor);
        mainWall.push_back(main.wall);
        bareWall.push_back(bare.wall);
    }
    const auto report = [runs](const char* what, double ours, double baseline) {
        std::printf("%-22s %8.1f ms   bare window %8.1f ms   %.2fx   (%d runs of each, medians)\n",
                    what, ours, baseline, baseline > 0 ? ours / baseline : 0.0, runs);
    };
    report("start-up", brindlewick::bench::Median(mainProcessor),
           brindlewick::bench::Median(bareProcessor));
    report("start-up, wall", brindlewick::bench::Median(mainWall),
           brindlewick::bench::Median(bareWall));
    return brindlewick::bench::RunWin32TableEditor(runs) ? 0 : 1;
}
