// BinaryToHex over arbitrary text. Binary text gives one uppercase hex digit per group of four
// after zero-padding on the left, silently, and HexToBinary takes it back to the padded text.
// A character other than 0 or 1 gives "" and "NOT A BINARY NUMBER"; empty text gives "" and
// "Nothing Given..". Never both.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "convert/modConv.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = AsText(data, size);
    auto& sink = FreshMessages();

    const std::string hex = BinaryToHex(text);

    if (text.find_first_not_of("01") != std::string::npos) {
        FUZZ_REQUIRE(hex.empty());
        FUZZ_REQUIRE(IsOneConversionMessage(sink.messages, "NOT A BINARY NUMBER"));
        return 0;
    }
    if (text.empty()) {
        FUZZ_REQUIRE(hex.empty());
        FUZZ_REQUIRE(IsOneConversionMessage(sink.messages, "Nothing Given.."));
        return 0;
    }
    FUZZ_REQUIRE(sink.messages.empty());
    const std::string padded = std::string((4 - text.size() % 4) % 4, '0') + text;
    FUZZ_REQUIRE(hex.size() == padded.size() / 4);
    for (std::size_t group = 0; group < hex.size(); ++group) {
        int value = 0;
        for (std::size_t i = 4 * group; i < 4 * group + 4; ++i) {
            value = 2 * value + (padded[i] - '0');
        }
        FUZZ_REQUIRE(hex[group] == "0123456789ABCDEF"[value]);
    }
    FUZZ_REQUIRE(HexToBinary(hex) == padded);
    FUZZ_REQUIRE(sink.messages.empty());
    return 0;
}
