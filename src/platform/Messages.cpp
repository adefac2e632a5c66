#include "platform/Messages.h"

#include <iostream>

namespace brindlewick {
namespace {

class StandardErrorSink final : public MessageSink {
public:
    void Show(const Message& message) override {
        std::cerr << message.title << ": " << message.text << '\n';
    }
};

StandardErrorSink g_defaultSink;
MessageSink* g_sink = nullptr;

}  // namespace

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void ShowMessage(const std::string& text, MessageIcon icon, const std::string& title) {
    const Message message{text, title.empty() ? std::string(kApplicationTitle) : title, icon};
    (g_sink != nullptr ? *g_sink : static_cast<MessageSink&>(g_defaultSink)).Show(message);
}

}  // namespace brindlewick
