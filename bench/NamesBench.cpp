#include "NamesBench.h"

#include <cstdio>
#include <fstream>
#include <functional>

#include "Measure.h"
#include "Support.h"
#include "platform/OpenFile.h"
#include "rom/GameCodeSearch.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "support/FixtureImages.h"

namespace brindlewick::bench {
namespace {

constexpr const char* kExtract = "crystal-fr";

// One past the 0x50 that ends the name at `at`.
std::int64_t AfterName(const std::vector<std::uint8_t>& bytes, std::int64_t at) {
    while (at < static_cast<std::int64_t>(bytes.size()) &&
           bytes[static_cast<std::size_t>(at)] != kEndOfName) {
        ++at;
    }
    return at + 1;
}

}  // namespace

std::optional<NamedImage> LoadNamedImage() {
    auto bytes = test::LoadFixtureImage(kExtract);
    if (!bytes) {
        return std::nullopt;
    }
    return NamedImage{kExtract, std::move(*bytes)};
}

bool RunNames(int runs) {
    const std::string figure = "names and types at open";
    const auto named = LoadNamedImage();
    if (!named) {
        std::printf("%-30s left out: the extracts of real builds are not at %s\n", figure.c_str(),
                    BRINDLEWICK_FIXTURES_DIR);
        return true;
    }
    ScratchImage image;
    std::ofstream(image.Path(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(named->bytes.data()),
               static_cast<std::streamsize>(named->bytes.size()));
    const RomProfile* release =
        Identify(std::string(named->bytes.begin() + 0x13F, named->bytes.begin() + 0x143));
    OpenFile rom;
    if (release == nullptr || rom.Open(image.Path(), OpenFile::Access::Read)) {
        std::fprintf(stderr, "brindlewick_bench: %s: the extract cannot be opened\n",
                     figure.c_str());
        return false;
    }
    // The routines that lead to the names are found in the pass that locates the tables; that
    // pass is the open's anyway and is not timed here.
    const auto located = LocateTables(rom, *release);
    const auto first = located ? ReadRomNames(rom, *located) : std::nullopt;
    if (!first || !first->AllRead()) {
        std::fprintf(stderr, "brindlewick_bench: %s: the names could not be read\n",
                     figure.c_str());
        return false;
    }

    // The floor: the bytes of each table read once, exactly: the species names, the move names
    // up to the last one's end, the type-name pointers and names, and the base-stats records.
    const auto& bytes = named->bytes;
    std::int64_t movesEnd = first->movesAt;
    for (int m = 1; m < kMoveCount; ++m) {
        movesEnd = AfterName(bytes, movesEnd);
    }
    std::int64_t typesEnd = first->typesAt;
    const int typeBank = first->typesAt / kBankSize;
    for (std::size_t t = 0; t < first->types.size(); ++t) {
        const auto at = static_cast<std::size_t>(first->typesAt) + 2 * t;
        const int address = bytes[at] | (bytes[at + 1] << 8);
        const std::int64_t name =
            static_cast<std::int64_t>(typeBank) * kBankSize + address - kBankSize;
        typesEnd = std::max(typesEnd, AfterName(bytes, name));
    }
    std::vector<std::uint8_t> species(static_cast<std::size_t>(251 * first->speciesWidth));
    std::vector<std::uint8_t> moves(static_cast<std::size_t>(movesEnd - first->movesAt));
    std::vector<std::uint8_t> types(static_cast<std::size_t>(typesEnd - first->typesAt));
    std::vector<std::uint8_t> baseStats(kSpeciesCount * kSpeciesRecordSize);
    const FileBlock blocks[] = {{first->speciesAt, species},
                                {first->movesAt, moves},
                                {first->typesAt, types},
                                {located->places.baseStats, baseStats}};

    bool ok = true;
    const std::function<void()> ours = [&] { ok = ReadRomNames(rom, *located).has_value() && ok; };
    const std::function<void()> floor = [&] { ok = !rom.ReadBlocks(blocks) && ok; };
    const int oursBatch = BatchSize(ours);
    const int floorBatch = BatchSize(floor);
    std::vector<double> oursTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < runs; ++run) {
        oursTimes.push_back(TimeBatch(ours, oursBatch));
        floorTimes.push_back(TimeBatch(floor, floorBatch));
    }
    if (!ok) {
        std::fprintf(stderr, "brindlewick_bench: %s or its floor failed while timed\n",
                     figure.c_str());
        return false;
    }
    Report(figure, Median(oursTimes), "floor", Median(floorTimes), "us",
           named->name + ": 4 reads, " +
               std::to_string(species.size() + moves.size() + types.size() + baseStats.size()) +
               " bytes");
    return true;
}

}  // namespace brindlewick::bench
