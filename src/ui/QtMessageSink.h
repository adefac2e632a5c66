// QtMessageSink: shows every message of the program as a modal message box with a single OK
// button, and every question as one with Save and Cancel, Cancel the default. The application
// installs it; tests install a recording sink instead.
#pragma once

#include "platform/Messages.h"

namespace brindlewick {

class QtMessageSink final : public MessageSink {
public:
    void Show(const Message& message) override;
    bool Confirm(const Message& question) override;
};

}  // namespace brindlewick
