// ReverseHexBytes over arbitrary text: the digit pairs come back in reverse order after an odd
// text gets its leading "0", reversing twice gives the padded text, and nothing is shown.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "convert/HexFunctions.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = AsText(data, size);
    const std::string padded = text.size() % 2 == 0 ? text : "0" + text;
    auto& sink = FreshMessages();

    const std::string reversed = ReverseHexBytes(text);

    FUZZ_REQUIRE(reversed.size() == padded.size());
    for (std::size_t pair = 0; pair < padded.size(); pair += 2) {
        FUZZ_REQUIRE(reversed.compare(pair, 2, padded, padded.size() - 2 - pair, 2) == 0);
    }
    FUZZ_REQUIRE(ReverseHexBytes(reversed) == padded);
    FUZZ_REQUIRE(sink.messages.empty());
    return 0;
}
