// RomProfile: the supported releases of Gold, Silver and Crystal (six languages each, and the
// Australian Crystal), and how a file is recognised by the four-character game code of its
// cartridge header.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindlewick {

struct RomProfile {
    std::string gameCode, gameName, language, windowTitle;
    std::int32_t TmMovesOffset, BaseStatsOffset, TmPricesOffset;
};

// The supported releases, in the order in which their codes are tested: the 18 of the six
// languages, then BYTU. Code that counts them reads the array's size.
const std::array<RomProfile, 19>& SupportedRoms();

// The release whose game code equals `gameCode` byte for byte, or nullptr when the file is
// not supported.
const RomProfile* Identify(std::string_view gameCode);

}  // namespace brindlewick
