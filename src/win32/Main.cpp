// The brindlewick program on Windows: shows the main window and runs until it is closed.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>
#include <vector>

#include "editor/StartupArguments.h"
#include "platform/Messages.h"
#include "win32/MainWindow.h"
#include "win32/Text.h"
#include "win32/Win32MessageSink.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int show) {
    brindlewick::win32::Win32MessageSink messageSink;
    brindlewick::SetMessageSink(&messageSink);

    // The command line as UTF-8, read by the rule every window shares; a refused one is
    // answered in a box, as a program without a console has no other way to say it.
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count); wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            arguments.push_back(brindlewick::win32::Utf8(wide[i]));
        }
        ::LocalFree(wide);
    }
    const brindlewick::StartupArguments startup = brindlewick::ParseStartupArguments(arguments);
    if (startup.refused) {
        brindlewick::ShowMessage(brindlewick::kStartupUsage, brindlewick::MessageIcon::Error);
        brindlewick::SetMessageSink(nullptr);
        return brindlewick::kStartupUsageStatus;
    }

    int status = 0;
    {
        brindlewick::win32::MainWindow mainWindow;
        ::ShowWindow(mainWindow.Handle(), show);
        ::UpdateWindow(mainWindow.Handle());
        if (!startup.file.empty()) {
            mainWindow.OpenRomPath(startup.file);
        }
        MSG message{};
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!mainWindow.PreTranslate(message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        status = static_cast<int>(message.wParam);
    }

    brindlewick::SetMessageSink(nullptr);
    return status;
}
