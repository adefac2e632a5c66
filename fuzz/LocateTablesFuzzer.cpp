// LocateTables over arbitrary images of a real cartridge (a valid header checksum is given to
// every input, so that the game's code is always looked for): it never reports anything for
// bytes in memory, code that cannot be followed leaves the release's places, and places it
// accepts lie inside the file, each table inside one bank, as the game can read them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "rom/GameCodeSearch.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TableLocation.h"

using namespace brindlewick;
using namespace brindlewick::fuzz;

namespace {

constexpr std::size_t kHeaderEnd = 0x150;
constexpr std::size_t kMaxImage = 512 * 1024;

// Whether [offset, offset + length) lies in one bank of the cartridge.
bool InOneBank(std::int64_t offset, std::int64_t length) {
    return offset >= 0 && offset / kBankSize == (offset + length - 1) / kBankSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const RomProfile& release = SupportedRoms()[data[0] % SupportedRoms().size()];
    std::vector<std::uint8_t> image(data + 1, data + std::min(size, kMaxImage));
    image.resize(std::max(image.size(), kHeaderEnd));
    std::copy(release.gameCode.begin(), release.gameCode.end(), image.begin() + 0x13F);
    image[kHeaderChecksumOffset] =
        HeaderChecksum(std::span(image).subspan(kHeaderChecksumStart, kHeaderChecksumLength));
    auto& sink = FreshMessages();

    const LocatedTables located = LocateTables(image, release);

    FUZZ_REQUIRE(sink.messages.empty());
    FUZZ_REQUIRE(located.places.release == &release);
    FUZZ_REQUIRE(located.proof.realCartridge);
    if (located.code == CodeFollowed::NotFollowed) {
        FUZZ_REQUIRE(!located.notFollowed.empty());
        FUZZ_REQUIRE(located.places == RowPlaces(release));
        return 0;
    }
    FUZZ_REQUIRE(located.code == CodeFollowed::Followed);
    FUZZ_REQUIRE(located.places.source == PlacesSource::GameCode);
    FUZZ_REQUIRE(located.places.code.size() == 5);
    if (!located.SafeToWrite()) {
        FUZZ_REQUIRE(!located.proof.findings.empty());
        FUZZ_REQUIRE(!DescribeRefusal(located).empty());
        return 0;
    }
    const TablePlaces& places = located.places;
    FUZZ_REQUIRE(TablesEnd(places) <= static_cast<std::int64_t>(image.size()));
    FUZZ_REQUIRE(InOneBank(places.baseStats, kSpeciesCount * kSpeciesRecordSize));
    FUZZ_REQUIRE(InOneBank(places.moves, MoveListLength(places)));
    FUZZ_REQUIRE(InOneBank(places.tm01Record, kPriceRecordSize * MachineRecordSpan(places)));
    for (int machine = 1; machine < kMachineCount; ++machine) {
        FUZZ_REQUIRE(PriceOffset(places, machine) > PriceOffset(places, machine - 1));
    }
    for (int species = 0; species < kSpeciesCount; ++species) {
        FUZZ_REQUIRE(image[static_cast<std::size_t>(places.baseStats) +
                           static_cast<std::size_t>(species) * kSpeciesRecordSize] == species + 1);
    }
    FUZZ_REQUIRE(located.Elsewhere() == !places.SamePlaces(RowPlaces(release)));
    return 0;
}
