// The brindlewick program on Windows: shows the main window and runs until it is closed.
#include <windows.h>

#include "platform/Messages.h"
#include "win32/MainWindow.h"
#include "win32/Win32MessageSink.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int show) {
    brindlewick::win32::Win32MessageSink messageSink;
    brindlewick::SetMessageSink(&messageSink);

    int status = 0;
    {
        brindlewick::win32::MainWindow mainWindow;
        ::ShowWindow(mainWindow.Handle(), show);
        ::UpdateWindow(mainWindow.Handle());
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
