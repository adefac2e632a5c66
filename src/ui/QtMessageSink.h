// QtMessageSink: shows every message of the program as a modal message box with a single OK
// button, every question as one with Save and Cancel, Cancel the default, and the question
// about pending edits with Save, Discard and Cancel. The application
// installs it; tests install a recording sink instead.
#pragma once

#include "platform/Messages.h"

namespace brindlewick {

class QtMessageSink final : public MessageSink {
public:
    void Show(const Message& message) override;
    bool Confirm(const Message& question) override;
    // Save, Discard and Cancel; Cancel, which keeps the edits, is the default.
    PendingEditsAnswer AskAboutPendingEdits(const Message& question) override;
};

}  // namespace brindlewick
