#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace brindlewick::fuzz {

void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "\nProperty violated: %s\n  at %s:%d\n", condition, file, line);
    for (const Message& message : Recorder().messages) {
        std::fprintf(stderr, "  message shown: [%s] %s\n", message.title.c_str(),
                     message.text.c_str());
    }
    std::abort();
}

RecordingSink& Recorder() {
    static RecordingSink* const sink = [] {
        // Never destroyed, so that nothing shown while the process ends reaches a dead sink.
        auto* recorder = new RecordingSink;
        SetMessageSink(recorder);
        return recorder;
    }();
    return *sink;
}

RecordingSink& FreshMessages() {
    RecordingSink& sink = Recorder();
    sink.messages.clear();
    return sink;
}

bool IsOneConversionMessage(const std::vector<Message>& messages, std::string_view text) {
    return messages.size() == 1 && messages[0].text == text &&
           messages[0].icon == MessageIcon::Error && messages[0].title == kApplicationTitle;
}

bool IsOneFileFailure(const std::vector<Message>& messages) {
    if (messages.size() != 1) {
        return false;
    }
    const Message& message = messages[0];
    constexpr std::string_view kPrefix = "Error: ";
    const std::string_view title = message.title;
    if (message.icon != MessageIcon::None || message.text.empty() ||
        title.substr(0, kPrefix.size()) != kPrefix) {
        return false;
    }
    const std::string_view number = title.substr(kPrefix.size());
    return !number.empty() && number.size() <= 10 &&
           std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c >= 'a' ? c - 'a' : c - 'A') + 10;
}

bool IsHexText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

std::string AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace brindlewick::fuzz
