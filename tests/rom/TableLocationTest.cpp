// Where a file keeps its tables: the game's code followed in real-looking images that carry
// the five routines, for every release, with tables in the release's places, moved within
// their banks and to other banks, repointed with stale copies left behind, without the dummy
// items, and with code that cannot be followed or leads to no table. Every case is decided
// the same through a file handle (read in blocks) and over the bytes in memory.
#include "rom/TableLocation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/OpenFile.h"
#include "rom/CodePattern.h"
#include "rom/GameCodeSearch.h"
#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

using test::Bytes;
using test::CartridgeImageBytes;
using test::CartridgeLayout;
using test::CartridgeOptions;
using test::GameCodeLayout;

CartridgeLayout LayoutOf(std::string_view code) {
    return test::LayoutOf(test::ReleaseOf(code));
}

CartridgeOptions WithCode(GameCodeLayout code = {}) {
    CartridgeOptions options;
    options.code = code;
    return options;
}

// The decision through a handle on a file of `image` and over the bytes, which must agree.
LocatedTables Locate(const Bytes& image, std::string_view code) {
    const RomProfile& release = *Identify(code);
    test::TempDir dir;
    const std::string path = dir.File("rom.gbc");
    test::WriteFileBytes(path, image);
    test::RecordingSink sink;
    OpenFile rom;
    EXPECT_FALSE(rom.Open(path, OpenFile::Access::Read));
    std::optional<LocatedTables> fromFile = LocateTables(rom, release);
    const LocatedTables inMemory = LocateTables(std::span<const std::uint8_t>(image), release);
    EXPECT_TRUE(sink.messages.empty());
    if (!fromFile) {
        ADD_FAILURE() << "the file could not be read";
        return inMemory;
    }
    EXPECT_EQ(fromFile->places, inMemory.places);
    EXPECT_EQ(fromFile->code, inMemory.code);
    EXPECT_EQ(fromFile->notFollowed, inMemory.notFollowed);
    EXPECT_EQ(fromFile->proof.findings, inMemory.proof.findings);
    EXPECT_EQ(fromFile->staleCopies, inMemory.staleCopies);
    return *fromFile;
}

void ExpectPlaces(const TablePlaces& places, std::int64_t moves, std::int64_t baseStats,
                  std::int64_t tm01Record) {
    EXPECT_EQ(places.moves, moves);
    EXPECT_EQ(places.baseStats, baseStats);
    EXPECT_EQ(places.tm01Record, tm01Record);
}

TEST(TableLocation, EveryReleaseAsSoldIsFollowedToItsRowsPlaces) {
    for (const test::Release& release : test::kReleases) {
        SCOPED_TRACE(std::string(release.code));
        const LocatedTables located =
            Locate(CartridgeImageBytes(test::LayoutOf(release), WithCode()), release.code);
        EXPECT_EQ(located.code, CodeFollowed::Followed) << located.notFollowed;
        EXPECT_EQ(located.places.source, PlacesSource::GameCode);
        ExpectPlaces(located.places, release.moves, release.baseStats, release.prices);
        EXPECT_TRUE(located.SafeToWrite());
        EXPECT_FALSE(located.Elsewhere());
        EXPECT_TRUE(DescribeElsewhere(located).empty());
        // The price records shift after TM04 and TM28, as the release's rule says.
        for (int machine = 0; machine < kMachineCount; ++machine) {
            EXPECT_EQ(static_cast<std::size_t>(PriceOffset(located.places, machine)),
                      test::PriceAt(release, machine));
        }
        // The five routines are kept, to be read again before a write.
        EXPECT_EQ(located.places.code.size(), 5u);
    }
}

TEST(TableLocation, ImagesWithoutAValidHeaderChecksumGoByTheirGameCode) {
    CartridgeOptions options = WithCode();
    options.breakHeaderChecksum = true;
    CartridgeLayout layout = LayoutOf("BYTE");
    GameCodeLayout code;
    code.moves = layout.TmMovesOffset + 5;
    options.code = code;
    const LocatedTables located = Locate(CartridgeImageBytes(layout, options), "BYTE");
    EXPECT_EQ(located.code, CodeFollowed::NotLooked);
    EXPECT_EQ(located.places, RowPlaces(*Identify("BYTE")));
    EXPECT_FALSE(located.proof.realCartridge);
    EXPECT_TRUE(located.SafeToWrite());
}

// Tables moved within their banks (padding before them) and to other banks, the code pointing
// at the new places; the release's places hold nothing of them.
TEST(TableLocation, MovedTablesAreFoundWhereTheCodePoints) {
    const struct {
        std::string_view code;
        std::int32_t moves, baseStats, tm01Record;
    } cases[] = {
        {"BYTE", 0x1167A + 5, 0x51424 + 0x40, 0x6CF3 + 0x2A},  // within their banks
        {"AAXE", 0x11A66 + 0x100, 0x7C * 0x4000 + 0x10, 0x11 * 0x4000 + 0x532},  // other banks
        {"BXTJ", 0x3D * 0x4000 + 0x3FC3, 0x20 * 0x4000, 0x3 * 0x4000 + 0x2000},  // end of a bank
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(std::string(each.code));
        const CartridgeLayout row = LayoutOf(each.code);
        CartridgeLayout moved = row;
        moved.TmMovesOffset = each.moves;
        moved.BaseStatsOffset = each.baseStats;
        moved.TmPricesOffset = each.tm01Record;
        GameCodeLayout code;
        code.tmHmMove = static_cast<std::size_t>(each.moves) / 0x4000 * 0x4000 + 0x100;
        CartridgeOptions options = WithCode(code);
        options.zeroBackground = true;
        const LocatedTables located = Locate(CartridgeImageBytes(moved, options), each.code);
        EXPECT_EQ(located.code, CodeFollowed::Followed) << located.notFollowed;
        ExpectPlaces(located.places, each.moves, each.baseStats, each.tm01Record);
        EXPECT_TRUE(located.SafeToWrite()) << DescribeRefusal(located);
        EXPECT_TRUE(located.Elsewhere());
        EXPECT_TRUE(located.staleCopies.empty());
        const std::string text = DescribeElsewhere(located);
        EXPECT_NE(text.find("The game's code keeps its tables elsewhere: moves at " +
                            OffsetText(each.moves) + ", base stats at " +
                            OffsetText(each.baseStats) + ", TM01's record at " +
                            OffsetText(each.tm01Record) + " (this release keeps them at " +
                            OffsetText(row.TmMovesOffset) + ", " + OffsetText(row.BaseStatsOffset) +
                            ", " + OffsetText(row.TmPricesOffset) + ")."),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find("copy"), std::string::npos) << text;
    }
}

// A modified game that repointed its code at new copies and left the old tables in place: the
// old ones pass the proof too, but they are a copy the game does not read.
TEST(TableLocation, RepointedTablesLeaveStaleCopiesThatAreNamed) {
    const CartridgeLayout row = LayoutOf("AAUE");
    CartridgeLayout moved = row;
    moved.TmMovesOffset = 0x12 * 0x4000 + 0x200;
    moved.BaseStatsOffset = 0x70 * 0x4000;
    Bytes image = CartridgeImageBytes(row);
    const Bytes copies = CartridgeImageBytes(moved);
    // The new copies of the move list and base stats beside the old ones.
    for (const auto& [start, length] :
         {std::pair<std::size_t, std::size_t>{0x12 * 0x4000 + 0x200, 58},
          {0x70 * 0x4000, 251 * 32}}) {
        std::copy_n(copies.begin() + static_cast<std::ptrdiff_t>(start), length,
                    image.begin() + static_cast<std::ptrdiff_t>(start));
    }
    GameCodeLayout code;
    code.moves = moved.TmMovesOffset;
    code.baseStats = moved.BaseStatsOffset;
    code.tmHmMove = 0x12 * 0x4000 + 0x3000;
    test::WriteGameCode(image, row, code);
    const LocatedTables located = Locate(image, "AAUE");
    EXPECT_EQ(located.code, CodeFollowed::Followed);
    ExpectPlaces(located.places, moved.TmMovesOffset, moved.BaseStatsOffset, row.TmPricesOffset);
    EXPECT_TRUE(located.SafeToWrite());
    EXPECT_EQ(located.staleCopies,
              (std::vector<CheckedTable>{CheckedTable::BaseStats, CheckedTable::MoveList}));
    const std::string text = DescribeElsewhere(located);
    EXPECT_NE(text.find("a copy of its base-stats table and move list that the game does not "
                        "read; Brindlewick never writes into them."),
              std::string::npos)
        << text;
}

TEST(TableLocation, AGameWithoutTheDummyItemsHasItsMachineRecordsInARow) {
    CartridgeLayout layout = LayoutOf("BYTE");
    layout.dummyItems = false;
    const LocatedTables located = Locate(CartridgeImageBytes(layout, WithCode()), "BYTE");
    ASSERT_EQ(located.code, CodeFollowed::Followed) << located.notFollowed;
    EXPECT_TRUE(located.SafeToWrite()) << DescribeRefusal(located);
    EXPECT_EQ(located.places.tm01Item, 0xC3);
    EXPECT_EQ(located.places.dummyCount, 0);
    EXPECT_EQ(MachineRecordSpan(located.places), kMachineCount);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        EXPECT_EQ(PriceOffset(located.places, machine), layout.TmPricesOffset + 7 * machine);
    }
    // Only the item numbering differs from the release's: said so, and where.
    EXPECT_TRUE(located.Elsewhere());
    EXPECT_NE(DescribeElsewhere(located).find("no dummy items"), std::string::npos);
}

// The code cannot be followed where a routine is missing, found twice, or the two routines
// that name the move list disagree: the release's places are used and proved as before.
TEST(TableLocation, CodeThatCannotBeFollowedFallsBackToTheRowsPlaces) {
    const CartridgeLayout layout = LayoutOf("BYTE");
    const Bytes withCode = CartridgeImageBytes(layout, WithCode());
    const GameCodeLayout code;
    const std::size_t tmHmMove = test::TmHmMoveAt(layout, code);

    Bytes twice = withCode;  // GetTMHMMove a second time, elsewhere in its bank
    std::copy_n(withCode.begin() + static_cast<std::ptrdiff_t>(tmHmMove), test::kGetTmHmMoveLength,
                twice.begin() + 0x13000);
    Bytes missing = withCode;  // GetItemAttr's first byte changed
    missing[code.itemAttr] = 0x00;
    Bytes disagreeing = withCode;  // GetEggMove's machine loop names another bank
    disagreeing[code.eggMoveLoop + 4] = 0x05;

    const struct {
        const char* name;
        const Bytes* image;
        const char* reason;
    } cases[] = {
        {"twice", &twice, "GetTMHMMove was found 2 times"},
        {"missing", &missing, "GetItemAttr was not found"},
        {"disagreeing", &disagreeing,
         "GetEggMove's machine loop leads to the move list at 05:567A"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const LocatedTables located = Locate(*each.image, "BYTE");
        EXPECT_EQ(located.code, CodeFollowed::NotFollowed);
        EXPECT_NE(located.notFollowed.find(each.reason), std::string::npos) << located.notFollowed;
        EXPECT_EQ(located.places, RowPlaces(*Identify("BYTE")));
        EXPECT_TRUE(located.SafeToWrite());
        EXPECT_NE(DescribeHowFound(located).find("could not be followed"), std::string::npos);
    }

    // The row's places are proved the same way: a routine found twice in a game whose tables
    // moved is refused, not written at the row's places.
    CartridgeOptions options;
    options.baseStatsShift = 0x20;
    Bytes moved = CartridgeImageBytes(layout, options);
    test::WriteGameCode(moved, layout, code);
    std::copy_n(moved.begin() + static_cast<std::ptrdiff_t>(code.baseData),
                test::kGetBaseDataLength, moved.begin() + 0x2000);
    const LocatedTables refused = Locate(moved, "BYTE");
    EXPECT_EQ(refused.code, CodeFollowed::NotFollowed);
    EXPECT_FALSE(refused.SafeToWrite());
    EXPECT_NE(DescribeRefusal(refused).find("does not lie where this release keeps it"),
              std::string::npos);
}

// The code leads to places that fail the proof: refused, with the findings there, although the
// release's places hold the tables.
TEST(TableLocation, FollowedPlacesThatFailTheProofAreRefused) {
    const CartridgeLayout layout = LayoutOf("AAUE");
    GameCodeLayout code;
    code.baseStats = layout.BaseStatsOffset + 32;  // one record on: species 2 where 1 should be
    const LocatedTables located = Locate(CartridgeImageBytes(layout, WithCode(code)), "AAUE");
    EXPECT_EQ(located.code, CodeFollowed::Followed);
    EXPECT_FALSE(located.SafeToWrite());
    EXPECT_GT(located.proof.Mismatches(CheckedTable::BaseStats), 0);
    const std::string text = DescribeRefusal(located);
    EXPECT_NE(text.find("The game's code points to its tables"), std::string::npos) << text;
    EXPECT_NE(text.find("base stats at " + OffsetText(layout.BaseStatsOffset + 32)),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("will not save into it"), std::string::npos) << text;

    // A pointer outside its bank, or past the file's end, leads to no table at all.
    GameCodeLayout outside;
    outside.baseStats = 0x14 * 0x4000 + 0x3F00;  // 8032 bytes do not fit before the bank's end
    const LocatedTables nowhere = Locate(CartridgeImageBytes(layout, WithCode(outside)), "AAUE");
    EXPECT_EQ(nowhere.code, CodeFollowed::Followed);
    EXPECT_FALSE(nowhere.SafeToWrite());
    ASSERT_FALSE(nowhere.proof.findings.empty());
    EXPECT_NE(nowhere.proof.findings.front().expected.find("inside one bank"), std::string::npos);
    EXPECT_EQ(nowhere.proof.findings.front().found, "14:7F00");
}

TEST(TableLocation, BankedOffsetsFollowTheCartridgesBanks) {
    constexpr std::uint64_t kFile = 0x200000;
    EXPECT_EQ(BankedOffset(0x14, 0x5424, 8032, kFile), 0x51424);
    EXPECT_EQ(BankedOffset(0x00, 0x3000, 0x100, kFile), 0x3000);  // bank 0
    EXPECT_EQ(BankedOffset(0x05, 0x3000, 0x100, kFile), 0x3000);  // below 0x4000: bank 0 still
    EXPECT_EQ(BankedOffset(0x7F, 0x7F00, 0x100, kFile), 0x1FFF00);
    EXPECT_FALSE(BankedOffset(0x00, 0x4000, 1, kFile));  // a switched address needs a bank
    EXPECT_FALSE(BankedOffset(0x01, 0x8000, 1, kFile));  // not cartridge memory
    EXPECT_FALSE(BankedOffset(0x01, 0x7FFF, 2, kFile));  // past the bank's end
    EXPECT_FALSE(BankedOffset(0x00, 0x3FFF, 2, kFile));  // past bank 0's end
    EXPECT_FALSE(BankedOffset(0x80, 0x4000, 1, kFile));  // past the file's end
}

// The scan reads the file in blocks: a routine across two blocks is found once, one at the
// very end of the file too.
TEST(CodePattern, ScanFindsRoutinesAcrossBlocksOnce) {
    const CodePattern pattern("test", "3E bb CD 2B .. C9");
    Bytes image(3 * kScanBlockSize + 100, 0);
    const std::size_t places[] = {kScanBlockSize - 3, 2 * kScanBlockSize - 1, image.size() - 6};
    for (const std::size_t at : places) {
        const std::uint8_t bytes[] = {0x3E, 0x12, 0xCD, 0x2B, 0x00, 0xC9};
        std::copy(std::begin(bytes), std::end(bytes),
                  image.begin() + static_cast<std::ptrdiff_t>(at));
    }
    test::TempDir dir;
    const std::string path = dir.File("scan.bin");
    test::WriteFileBytes(path, image);
    OpenFile file;
    ASSERT_FALSE(file.Open(path, OpenFile::Access::Read));
    const CodePattern* patterns[] = {&pattern};
    std::vector<PatternHits> hits;
    ASSERT_FALSE(ScanFile(file, patterns, hits));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].count, 3);
    EXPECT_EQ(hits[0].offset, static_cast<std::int64_t>(places[0]));
    EXPECT_EQ(hits[0].Byte(pattern, "bb"), 0x12);
    EXPECT_EQ(ScanImage(image, patterns)[0].count, 3);
}

}  // namespace
}  // namespace brindlewick
