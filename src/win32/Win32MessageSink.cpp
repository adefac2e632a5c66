#include "win32/Win32MessageSink.h"

#include <windows.h>

#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Error:
            return MB_ICONERROR;
        case MessageIcon::None:
            break;
    }
    return 0;
}

// The active window of this program owns the box, so it is centred on the window the user is
// working in and blocks it until the box is closed.
HWND Owner() {
    return ::GetActiveWindow();
}

}  // namespace

void Win32MessageSink::Show(const Message& message) {
    ::MessageBoxW(Owner(), Wide(message.text).c_str(), Wide(message.title).c_str(),
                  MB_OK | IconStyle(message.icon));
}

bool Win32MessageSink::Confirm(const Message& question) {
    return ::MessageBoxW(Owner(), Wide(question.text).c_str(), Wide(question.title).c_str(),
                         MB_OKCANCEL | MB_DEFBUTTON2 | IconStyle(question.icon)) == IDOK;
}

}  // namespace brindlewick::win32
