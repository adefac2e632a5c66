#include "rom/RomProfile.h"

#include <algorithm>

namespace brindlewick {
namespace {

// The game names keep the leading blank with which they are shown. In each language Gold
// and Silver share their move and base-stats tables and differ only in the price records;
// Crystal moved all three.
const std::array<RomProfile, 19> kSupportedRoms{{
    {"AAUE", " Pokémon Gold", "English", "AAUE - Brindlewick", 0x11A66, 0x51B0B, 0x6DD2},
    {"AAXE", " Pokémon Silver", "English", "AAXE - Brindlewick", 0x11A66, 0x51B0B, 0x6D98},
    {"BYTE", " Pokémon Crystal", "English", "BYTE - Brindlewick", 0x1167A, 0x51424, 0x6CF3},
    {"AAUS", " Pokémon Gold", "Spanish", "AAUS - Brindlewick", 0x11A79, 0x51B19, 0x6E1A},
    {"AAXS", " Pokémon Silver", "Spanish", "AAXS - Brindlewick", 0x11A79, 0x51B19, 0x6DE2},
    {"BYTS", " Pokémon Crystal", "Spanish", "BYTS - Brindlewick", 0x1168D, 0x5142D, 0x6D12},
    {"AAUJ", " Pokémon Gold", "Japanese", "AAUJ - Brindlewick", 0x11A00, 0x51AA9, 0x70C5},
    {"AAXJ", " Pokémon Silver", "Japanese", "AAXJ - Brindlewick", 0x11A00, 0x51AA9, 0x708A},
    {"BXTJ", " Pokémon Crystal", "Japanese", "BXTJ - Brindlewick", 0x11614, 0x514BA, 0x6F2C},
    {"AAUD", " Pokémon Gold", "German", "AAUD - Brindlewick", 0x11A5D, 0x51B00, 0x6E09},
    {"AAXD", " Pokémon Silver", "German", "AAXD - Brindlewick", 0x11A5D, 0x51B00, 0x6DD0},
    {"BYTD", " Pokémon Crystal", "German", "BYTD - Brindlewick", 0x11671, 0x5140E, 0x6D14},
    {"AAUF", " Pokémon Gold", "French", "AAUF - Brindlewick", 0x11A65, 0x51B10, 0x6E07},
    {"AAXF", " Pokémon Silver", "French", "AAXF - Brindlewick", 0x11A65, 0x51B10, 0x6DCD},
    {"BYTF", " Pokémon Crystal", "French", "BYTF - Brindlewick", 0x11679, 0x51417, 0x6D0D},
    {"AAUI", " Pokémon Gold", "Italian", "AAUI - Brindlewick", 0x11A65, 0x51B19, 0x6E04},
    {"AAXI", " Pokémon Silver", "Italian", "AAXI - Brindlewick", 0x11A65, 0x51B19, 0x6DCA},
    {"BYTI", " Pokémon Crystal", "Italian", "BYTI - Brindlewick", 0x11679, 0x51433, 0x6D0C},
    // The Australian Crystal is the English one under its own code: the same three tables at
    // the same addresses. It follows the 18, so their rows keep their places.
    {"BYTU", " Pokémon Crystal", "English (Australia)", "BYTU - Brindlewick", 0x1167A, 0x51424,
     0x6CF3},
}};

}  // namespace

const std::array<RomProfile, 19>& SupportedRoms() {
    return kSupportedRoms;
}

const RomProfile* Identify(std::string_view gameCode) {
    // Exact and case-sensitive over the four bytes; the first matching row wins.
    const auto row =
        std::find_if(kSupportedRoms.begin(), kSupportedRoms.end(),
                     [gameCode](const RomProfile& p) { return p.gameCode == gameCode; });
    return row == kSupportedRoms.end() ? nullptr : &*row;
}

}  // namespace brindlewick
