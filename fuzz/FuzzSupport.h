// FuzzSupport: what every fuzz target shares. A message sink that records instead of printing,
// checks of the message forms the core promises, and FUZZ_REQUIRE, which stops the run on a
// broken property so that libFuzzer reports and saves the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Messages.h"

// The condition's text and place are printed before the abort; libFuzzer adds the input.
#define FUZZ_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : ::brindlewick::fuzz::Fail(#condition, __FILE__, __LINE__))

namespace brindlewick::fuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line);

class RecordingSink final : public MessageSink {
public:
    void Show(const Message& message) override { messages.push_back(message); }

    std::vector<Message> messages;
};

// The recorder of this process, installed on first use, so that a fuzz run prints nothing per
// message.
RecordingSink& Recorder();

// The recorder, emptied: each input's checks see only the messages of that input.
RecordingSink& FreshMessages();

// Exactly one message from a conversion helper: `text`, the error icon, the application's title.
bool IsOneConversionMessage(const std::vector<Message>& messages, std::string_view text);

// Exactly one failing file access: a description, no icon, "Error: " and a decimal number.
bool IsOneFileFailure(const std::vector<Message>& messages);

bool IsHexDigit(char c);
// The value of a hex digit of either case; call only with IsHexDigit(c).
int HexDigitValue(char c);
bool IsHexText(std::string_view text);
std::string ToUpperAscii(std::string_view text);
std::string AsText(const std::uint8_t* data, std::size_t size);

}  // namespace brindlewick::fuzz
