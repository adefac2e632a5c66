// ReverseString over arbitrary text: the characters come back last first, reversing twice is
// the identity, and nothing is shown.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "convert/ReverseString.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = AsText(data, size);
    auto& sink = FreshMessages();

    const std::string reversed = ReverseString(text);

    FUZZ_REQUIRE(reversed.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        FUZZ_REQUIRE(reversed[i] == text[text.size() - 1 - i]);
    }
    FUZZ_REQUIRE(ReverseString(reversed) == text);
    FUZZ_REQUIRE(sink.messages.empty());
    return 0;
}
