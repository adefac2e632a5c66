// HexToBinary over arbitrary text. Hex text of either case gives four binary digits per hex
// digit, most significant first, silently, and BinaryToHex takes the result back to the
// uppercase text; anything else gives "" and the one "not in Hex format" message.
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

    const std::string binary = HexToBinary(text);

    if (!IsHexText(text)) {
        FUZZ_REQUIRE(binary.empty());
        FUZZ_REQUIRE(IsOneConversionMessage(sink.messages, "Number given is not in Hex format"));
        return 0;
    }
    FUZZ_REQUIRE(sink.messages.empty());
    FUZZ_REQUIRE(binary.size() == 4 * text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int value = HexDigitValue(text[i]);
        for (int bit = 0; bit < 4; ++bit) {
            const char expected = ((value >> (3 - bit)) & 1) != 0 ? '1' : '0';
            FUZZ_REQUIRE(binary[4 * i + static_cast<std::size_t>(bit)] == expected);
        }
    }
    if (!text.empty()) {
        FUZZ_REQUIRE(BinaryToHex(binary) == ToUpperAscii(text));
        FUZZ_REQUIRE(sink.messages.empty());
    }
    return 0;
}
