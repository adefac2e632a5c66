#include "tables/TablesTestImages.h"

#include "rom/GameRules.h"
#include "rom/SelfCheck.h"

namespace brindlewick::test {

Bytes RealLookingRomBytes(const RomProfile& profile) {
    Bytes bytes = SyntheticRomBytes(profile.gameCode);
    for (int species = 0; species < kSpeciesCount; ++species) {
        bytes[static_cast<std::size_t>(profile.BaseStatsOffset + 32 * species)] =
            static_cast<std::uint8_t>(species + 1);
    }
    for (int record = 0; record < kItemRecordCount; ++record) {
        const bool dummy = record == 4 || record == 29;
        bytes[static_cast<std::size_t>(profile.TmPricesOffset + 7 * record + 5)] = dummy ? 1 : 4;
    }
    auto move = bytes.begin() + profile.TmMovesOffset;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        *move++ = static_cast<std::uint8_t>(100 + machine);
    }
    if (IsCrystal(profile)) {
        for (const std::uint8_t tutor : kCrystalTutorMoves) {
            *move++ = tutor;
        }
    }
    *move = 0;
    std::uint8_t checksum = 0;
    for (std::size_t at = kHeaderChecksumStart; at < kHeaderChecksumOffset; ++at) {
        checksum = static_cast<std::uint8_t>(checksum - bytes[at] - 1);
    }
    bytes[kHeaderChecksumOffset] = checksum;
    return bytes;
}

TableValues Decode(const Bytes& bytes, const RomProfile& profile) {
    TableValues values;
    for (int k = 0; k < kMachineCount; ++k) {
        const int record = k < 4 ? k : k < 28 ? k + 1 : k + 2;
        const auto at = static_cast<std::size_t>(profile.TmPricesOffset + 7 * record);
        values.moves[static_cast<std::size_t>(k)] =
            bytes[static_cast<std::size_t>(profile.TmMovesOffset + k)];
        values.prices[static_cast<std::size_t>(k)] =
            static_cast<std::uint16_t>(bytes[at] + 256 * bytes[at + 1]);
    }
    for (int s = 0; s < kSpeciesCount; ++s) {
        for (int j = 0; j < 8; ++j) {
            values.fields[static_cast<std::size_t>(s)][static_cast<std::size_t>(j)] =
                bytes[static_cast<std::size_t>(profile.BaseStatsOffset + 32 * s + 24 + j)];
        }
    }
    return values;
}

}  // namespace brindlewick::test
