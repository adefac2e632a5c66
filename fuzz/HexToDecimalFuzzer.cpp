// HexToDecimal over arbitrary text. Hex text of either case gives its value, silently: exactly
// for up to 13 significant digits (52 bits, exact in a double), within rounding for longer
// text, and never NaN. Anything else gives 0 and the one "not in Hex format" message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "FuzzSupport.h"
#include "convert/modConv.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// Rounding bound for long text: the core sums digit × weight, the reference uses Horner's rule
// in wider precision, so the two agree only to a few units in the last place of a double.
constexpr long double kRelativeTolerance = 1e-12L;

bool AgreesWithinRounding(double result, long double reference) {
    const long double largest = std::numeric_limits<double>::max();
    if (std::isinf(result)) {
        // Beyond the range of a double the value may round to infinity.
        return reference >= largest * (1 - kRelativeTolerance);
    }
    if (reference > largest) {
        return result >= largest * (1 - kRelativeTolerance);
    }
    return std::fabs(static_cast<long double>(result) - reference) <=
           reference * kRelativeTolerance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = AsText(data, size);
    auto& sink = FreshMessages();

    const double value = HexToDecimal(text);

    if (!IsHexText(text)) {
        FUZZ_REQUIRE(value == 0);
        FUZZ_REQUIRE(IsOneConversionMessage(sink.messages, "Number given is not in Hex format"));
        return 0;
    }
    FUZZ_REQUIRE(sink.messages.empty());
    FUZZ_REQUIRE(!std::isnan(value));
    FUZZ_REQUIRE(value >= 0);

    const std::size_t firstSignificant = text.find_first_not_of('0');
    const std::string significant =
        firstSignificant == std::string::npos ? std::string() : text.substr(firstSignificant);
    if (significant.size() <= 13) {
        std::uint64_t exact = 0;
        for (const char digit : significant) {
            exact = 16 * exact + static_cast<std::uint64_t>(HexDigitValue(digit));
        }
        FUZZ_REQUIRE(value == static_cast<double>(exact));
        return 0;
    }
    long double reference = 0;
    for (const char digit : significant) {
        reference = 16 * reference + HexDigitValue(digit);
    }
    FUZZ_REQUIRE(AgreesWithinRounding(value, reference));
    return 0;
}
