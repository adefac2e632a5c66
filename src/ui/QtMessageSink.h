// QtMessageSink: shows every message of the program as a modal message box with a single OK
// button. The application installs it; tests install a recording sink instead.
#pragma once

#include "platform/Messages.h"

namespace brindlewick {

class QtMessageSink final : public MessageSink {
public:
    void Show(const Message& message) override;
};

}  // namespace brindlewick
