// Identify over arbitrary code bytes: a release is found if and only if the bytes are one of
// the 19 game codes exactly (case, length and embedded zero bytes included), and then it is
// that code's own row, with the game, language and caption its letters stand for.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "../tests/support/Cartridge.h"
#include "FuzzSupport.h"
#include "rom/RomProfile.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

// The codes come from the tests' model of the releases, kept apart from the table under test.
using brindlewick::test::kReleases;

std::string_view GameFor(std::string_view code) {
    if (code.substr(0, 3) == "AAU") {
        return " Pokémon Gold";
    }
    if (code.substr(0, 3) == "AAX") {
        return " Pokémon Silver";
    }
    return " Pokémon Crystal";
}

std::string_view LanguageFor(char letter) {
    switch (letter) {
        case 'E':
            return "English";
        case 'S':
            return "Spanish";
        case 'J':
            return "Japanese";
        case 'D':
            return "German";
        case 'F':
            return "French";
        case 'U':
            return "English (Australia)";
        default:
            return "Italian";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string code = AsText(data, size);
    auto& sink = FreshMessages();

    const RomProfile* profile = Identify(code);

    FUZZ_REQUIRE(sink.messages.empty());
    std::size_t row = 0;
    while (row < kReleases.size() && kReleases[row].code != code) {
        ++row;
    }
    if (row == kReleases.size()) {
        FUZZ_REQUIRE(profile == nullptr);
        return 0;
    }
    FUZZ_REQUIRE(profile == &SupportedRoms()[row]);
    FUZZ_REQUIRE(profile->gameCode == code);
    FUZZ_REQUIRE(profile->gameName == GameFor(code));
    FUZZ_REQUIRE(profile->language == LanguageFor(code[3]));
    FUZZ_REQUIRE(profile->windowTitle == code + " - Brindlewick");
    FUZZ_REQUIRE(profile->TmPricesOffset > 0 && profile->TmPricesOffset < 0x8000);
    FUZZ_REQUIRE(profile->TmMovesOffset > 0 && profile->BaseStatsOffset > profile->TmMovesOffset);
    return 0;
}
