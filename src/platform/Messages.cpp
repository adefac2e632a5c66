#include "platform/Messages.h"

#include <iostream>

namespace brindlewick {
namespace {

class StandardErrorSink final : public MessageSink {
public:
    void Show(const Message& message) override {
        std::cerr << message.title << ": " << message.text << '\n';
    }
    // Nobody is there to answer: the question is shown and declined.
    bool Confirm(const Message& question) override {
        std::cerr << question.title << ": " << question.text << " (declined)\n";
        return false;
    }
    PendingEditsAnswer AskAboutPendingEdits(const Message& question) override {
        std::cerr << question.title << ": " << question.text << " (cancelled)\n";
        return PendingEditsAnswer::Cancel;
    }
};

StandardErrorSink g_defaultSink;
MessageSink* g_sink = nullptr;

MessageSink& Sink() {
    return g_sink != nullptr ? *g_sink : static_cast<MessageSink&>(g_defaultSink);
}

}  // namespace

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void ShowMessage(const std::string& text, MessageIcon icon, const std::string& title) {
    Sink().Show({text, title.empty() ? std::string(kApplicationTitle) : title, icon});
}

bool ConfirmMessage(const std::string& text, const std::string& title) {
    return Sink().Confirm(
        {text, title.empty() ? std::string(kApplicationTitle) : title, MessageIcon::None});
}

PendingEditsAnswer AskAboutPendingEdits(const std::string& text, const std::string& title) {
    return Sink().AskAboutPendingEdits(
        {text, title.empty() ? std::string(kApplicationTitle) : title, MessageIcon::None});
}

}  // namespace brindlewick
