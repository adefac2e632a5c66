#include "tables/TablesTestImages.h"

#include "support/CartridgeImage.h"

namespace brindlewick::test {

Bytes RealLookingRomBytes(const RomProfile& profile) {
    return CartridgeImageBytes(LayoutOf(ReleaseOf(profile.gameCode)));
}

TableValues Decode(const Bytes& bytes, const RomProfile& profile) {
    const Release& release = ReleaseOf(profile.gameCode);
    TableValues values;
    for (int k = 0; k < kMachineCount; ++k) {
        const std::size_t price = PriceAt(release, k);
        values.moves[static_cast<std::size_t>(k)] = bytes[MoveAt(release, k)];
        values.prices[static_cast<std::size_t>(k)] =
            static_cast<std::uint16_t>(bytes[price] + 256 * bytes[price + 1]);
    }
    for (int s = 0; s < kSpeciesCount; ++s) {
        for (int j = 0; j < kCompatibilityFieldLength; ++j) {
            values.fields[static_cast<std::size_t>(s)][static_cast<std::size_t>(j)] =
                bytes[FieldAt(release, s, j)];
        }
    }
    return values;
}

}  // namespace brindlewick::test
