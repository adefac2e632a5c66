// Messages: the one way the program tells the user something. Helpers report a failure
// where it happens and carry on; the sink decides how the message reaches the user
// (standard error by default, a message box in the application, a recorder in tests).
#pragma once

#include <string>

namespace brindlewick {

enum class MessageIcon { None, Information, Error };

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// The answer to the question asked before pending edits would be lost.
enum class PendingEditsAnswer { Save, Discard, Cancel };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Show(const Message& message) = 0;
    // A question with a way on and a way back; true: go on. The default declines, so a sink
    // that knows no questions is safe.
    virtual bool Confirm(const Message& /*question*/) { return false; }
    // Save, Discard or Cancel pending edits. The default cancels, which keeps the edits and
    // whatever holds them, so a sink that knows no such question loses nothing.
    virtual PendingEditsAnswer AskAboutPendingEdits(const Message& /*question*/) {
        return PendingEditsAnswer::Cancel;
    }
};

// The application's title, shown on every message that has no title of its own.
inline constexpr const char* kApplicationTitle = "Brindlewick";

// Installs `sink` (nullptr restores the default, which writes to standard error) and
// returns the sink that was installed before.
MessageSink* SetMessageSink(MessageSink* sink);

// Shows one message through the installed sink and returns once it has been shown.
// An empty title reaches the sink as the application's title.
void ShowMessage(const std::string& text, MessageIcon icon, const std::string& title = {});

// Asks one question through the installed sink and returns its answer: true to go on. An
// empty title reaches the sink as the application's title; a question carries no icon.
bool ConfirmMessage(const std::string& text, const std::string& title = {});

// Asks whether to save pending edits, drop them, or go back and keep them; the same title rule.
PendingEditsAnswer AskAboutPendingEdits(const std::string& text, const std::string& title = {});

// Holds every message back while it lives, and declines every question: for a look at the file
// that the user did not ask for (a tooltip, a check on activation), which must not raise a box.
class SilentMessages final : public MessageSink {
public:
    SilentMessages() : m_previous(SetMessageSink(this)) {}
    ~SilentMessages() override { SetMessageSink(m_previous); }
    SilentMessages(const SilentMessages&) = delete;
    SilentMessages& operator=(const SilentMessages&) = delete;
    void Show(const Message& /*message*/) override {}

private:
    MessageSink* m_previous;
};

}  // namespace brindlewick
