// Win32MessageSink: the program's messages as Windows message boxes, owned by the window the
// user is working in.
#pragma once

#include "platform/Messages.h"

namespace brindlewick::win32 {

class Win32MessageSink final : public MessageSink {
public:
    // A box with the message's title, its text, the icon it names (none, information or
    // error) and an OK button.
    void Show(const Message& message) override;
    // A box with OK and Cancel whose default is Cancel: Enter and Escape both go back.
    bool Confirm(const Message& question) override;
};

}  // namespace brindlewick::win32
