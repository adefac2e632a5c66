#include "rom/SelfCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rom/GameRules.h"
#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

using test::Bytes;
using test::CartridgeImageBytes;
using test::CartridgeLayout;
using test::CartridgeOptions;

// The layout comes from the tests' model of the releases, not from the program's table.
CartridgeLayout LayoutOf(const RomProfile& rom) {
    return test::LayoutOf(test::ReleaseOf(rom.gameCode));
}

// The check of the file through ReadHexBytes, compared with the check of the same bytes in
// memory: both must find the same.
SelfCheckResult CheckBoth(const Bytes& image, const RomProfile& rom) {
    test::TempDir dir;
    const auto path = dir.File("rom.gbc");
    test::WriteFileBytes(path, image);
    test::RecordingSink sink;
    SelfCheckResult fromFile = CheckRomTables(path, rom);
    const SelfCheckResult inMemory = CheckRomTables(std::span<const std::uint8_t>(image), rom);
    EXPECT_TRUE(sink.messages.empty()) << sink.messages.front().text;
    EXPECT_EQ(fromFile.realCartridge, inMemory.realCartridge);
    EXPECT_EQ(fromFile.findings, inMemory.findings);
    EXPECT_EQ(fromFile.mismatches, inMemory.mismatches);
    return fromFile;
}

// Only `table` differs, every finding names it, and the findings are bounded.
void ExpectOnlyTableFails(const SelfCheckResult& result, CheckedTable table) {
    EXPECT_TRUE(result.realCartridge);
    EXPECT_FALSE(result.SafeToWrite());
    EXPECT_GT(result.Mismatches(table), 0) << TableName(table);
    ASSERT_FALSE(result.findings.empty());
    EXPECT_LE(result.findings.size(), static_cast<std::size_t>(kMaxFindingsPerTable));
    for (const auto& finding : result.findings) {
        EXPECT_EQ(finding.table, table) << finding.expected << " / " << finding.found;
    }
    for (const auto other :
         {CheckedTable::BaseStats, CheckedTable::ItemRecords, CheckedTable::MoveList}) {
        if (other != table) {
            EXPECT_EQ(result.Mismatches(other), 0) << TableName(other);
        }
    }
}

TEST(CartridgeImage, HoldsTheRecordsOfTheRealGames) {
    const RomProfile& crystal = *Identify("BXTJ");
    const Bytes image = CartridgeImageBytes(LayoutOf(crystal));
    const auto record = [&](int r) {
        const auto at = static_cast<std::size_t>(crystal.TmPricesOffset + 7 * r);
        return Bytes(image.begin() + static_cast<std::ptrdiff_t>(at),
                     image.begin() + static_cast<std::ptrdiff_t>(at + 7));
    };
    const int tm05Price = test::CartridgePrice(4);
    EXPECT_EQ(record(5),
              (Bytes{static_cast<std::uint8_t>(tm05Price & 0xFF),
                     static_cast<std::uint8_t>(tm05Price >> 8), 0x00, 0x00, 0x40, 0x04, 0x50}));
    EXPECT_EQ(record(4), (Bytes{0x99, 0x99, 0x00, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(record(29), record(4));
    EXPECT_EQ(record(58), (Bytes{0x00, 0x00, 0x00, 0x00, 0xC0, 0x04, 0x50}));
    const auto list = static_cast<std::size_t>(crystal.TmMovesOffset + kMachineCount);
    EXPECT_EQ(Bytes(image.begin() + static_cast<std::ptrdiff_t>(list),
                    image.begin() + static_cast<std::ptrdiff_t>(list + 4)),
              (Bytes{0x35, 0x55, 0x3A, 0x00}));
    int tutorBits = 0;
    for (int s = 0; s < kSpeciesCount; ++s) {
        const std::uint8_t last = image[CompatibilityByteOffset(crystal.BaseStatsOffset, s, 7)];
        EXPECT_EQ(last & 0xF0, 0) << s;
        tutorBits |= last & 0x0E;
        EXPECT_EQ(image[static_cast<std::size_t>(crystal.BaseStatsOffset + 32 * s)], s + 1);
    }
    EXPECT_EQ(tutorBits, 0x0E);
    EXPECT_EQ(std::string(image.begin() + 0x13F, image.begin() + 0x143), "BXTJ");
    EXPECT_TRUE(HasValidHeaderChecksum(std::span(image).subspan(0x134, 26)));
    EXPECT_EQ(image.size(), test::kRomSize);
}

TEST(HeaderChecksum, FollowsTheBootRule) {
    // x = x - b - 1 over 25 bytes: 25 zero bytes give -25, that is 0xE7.
    const Bytes zeros(kHeaderChecksumLength, 0);
    EXPECT_EQ(HeaderChecksum(zeros), 0xE7);
    Bytes header(zeros);
    header.push_back(0xE7);
    EXPECT_TRUE(HasValidHeaderChecksum(header));
    header.back() = 0xE8;
    EXPECT_FALSE(HasValidHeaderChecksum(header));
    header[0] = 1;  // the first covered byte counts
    EXPECT_EQ(HeaderChecksum(std::span(header).first(kHeaderChecksumLength)), 0xE6);
    EXPECT_FALSE(HasValidHeaderChecksum(header));
    header.back() = 0xE6;
    EXPECT_TRUE(HasValidHeaderChecksum(header));
    EXPECT_FALSE(HasValidHeaderChecksum(std::span(header).first(kHeaderChecksumLength)));
}

TEST(SelfCheck, UntouchedCartridgeOfEveryReleasePasses) {
    for (const RomProfile& rom : SupportedRoms()) {
        SCOPED_TRACE(rom.gameCode);
        const SelfCheckResult result = CheckBoth(CartridgeImageBytes(LayoutOf(rom)), rom);
        EXPECT_TRUE(result.realCartridge);
        EXPECT_FALSE(result.readFailed);
        EXPECT_TRUE(result.findings.empty());
        EXPECT_TRUE(result.SafeToWrite());
    }
}

TEST(SelfCheck, ShiftedBaseStatsFailOnTheBaseStatsTable) {
    for (const RomProfile& rom : SupportedRoms()) {
        SCOPED_TRACE(rom.gameCode);
        CartridgeOptions options;
        options.baseStatsShift = 12;
        const SelfCheckResult result = CheckBoth(CartridgeImageBytes(LayoutOf(rom), options), rom);
        ExpectOnlyTableFails(result, CheckedTable::BaseStats);
        EXPECT_GT(result.Mismatches(CheckedTable::BaseStats), 240);
        EXPECT_LE(result.Mismatches(CheckedTable::BaseStats), kSpeciesCount);
        EXPECT_EQ(result.findings.front().offset, rom.BaseStatsOffset);
        EXPECT_EQ(result.findings.front().expected, "species number 1");
    }
}

TEST(SelfCheck, ItemRecordsShiftedByOneRecordFailOnTheItemRecords) {
    for (const RomProfile& rom : SupportedRoms()) {
        SCOPED_TRACE(rom.gameCode);
        CartridgeOptions options;
        options.itemRecordsShifted = true;
        const SelfCheckResult result = CheckBoth(CartridgeImageBytes(LayoutOf(rom), options), rom);
        ExpectOnlyTableFails(result, CheckedTable::ItemRecords);
        // At least records 4, 5, 29 and 30 swap between machine and dummy.
        EXPECT_GE(result.Mismatches(CheckedTable::ItemRecords), 4);
    }
}

TEST(SelfCheck, MovedMoveListFailsOnTheMoveList) {
    for (const RomProfile& rom : SupportedRoms()) {
        for (const std::int32_t shift : {1, 3, -1, -4, 40}) {
            SCOPED_TRACE(rom.gameCode + " moved by " + std::to_string(shift));
            CartridgeOptions options;
            options.moveListShift = shift;
            const SelfCheckResult result =
                CheckBoth(CartridgeImageBytes(LayoutOf(rom), options), rom);
            ExpectOnlyTableFails(result, CheckedTable::MoveList);
        }
    }
}

TEST(SelfCheck, WrongHeaderChecksumMeansNoCheck) {
    for (const RomProfile& rom : SupportedRoms()) {
        SCOPED_TRACE(rom.gameCode);
        CartridgeOptions options;
        options.breakHeaderChecksum = true;
        options.baseStatsShift = 12;
        options.itemRecordsShifted = true;
        options.moveListShift = 5;
        const SelfCheckResult result = CheckBoth(CartridgeImageBytes(LayoutOf(rom), options), rom);
        EXPECT_FALSE(result.realCartridge);
        EXPECT_TRUE(result.findings.empty());
        EXPECT_TRUE(result.SafeToWrite());
    }
    // A plain synthetic image is no cartridge either.
    const RomProfile& gold = *Identify("AAUE");
    EXPECT_FALSE(CheckBoth(test::SyntheticRomBytes("AAUE"), gold).realCartridge);
}

TEST(SelfCheck, EditsThisEditorCanMakeStillPass) {
    // Machines without a move, shared and tutor moves, prices and every compatibility bit the
    // editor writes: none of them moves a table.
    for (const char* code : {"AAUE", "BYTE", "BXTJ"}) {
        SCOPED_TRACE(code);
        const RomProfile& rom = *Identify(code);
        Bytes image = CartridgeImageBytes(LayoutOf(rom));
        image[MoveByteOffset(rom.TmMovesOffset, 4)] = 0;
        image[MoveByteOffset(rom.TmMovesOffset, 56)] = 0;  // HM07, right before the end
        image[MoveByteOffset(rom.TmMovesOffset, 10)] = image[MoveByteOffset(rom.TmMovesOffset, 3)];
        image[MoveByteOffset(rom.TmMovesOffset, 20)] = 0x35;
        image[MoveByteOffset(rom.TmMovesOffset, 30)] = 251;
        for (int k = 0; k < kMachineCount; ++k) {
            image[PriceOffset(rom.TmPricesOffset, k)] = 0xFF;
            image[PriceOffset(rom.TmPricesOffset, k) + 1] = 0xFF;
        }
        for (int s = 0; s < kSpeciesCount; ++s) {
            for (int j = 0; j < kCompatibilityFieldLength; ++j) {
                image[CompatibilityByteOffset(rom.BaseStatsOffset, s, j)] = j == 7 ? 0 : 0xFF;
            }
        }
        const SelfCheckResult result = CheckBoth(image, rom);
        EXPECT_TRUE(result.realCartridge);
        EXPECT_TRUE(result.SafeToWrite());
    }
}

// A move list must be one: 57 bytes each naming no move or a move, not all of them none.
// Bytes of 0xFF (which name no move) or zeros with the right end after them are no list.
TEST(SelfCheck, MachineBytesMustBeMovesAndNotAllNone) {
    for (const char* code : {"AAUE", "BYTE"}) {
        SCOPED_TRACE(code);
        const RomProfile& rom = *Identify(code);
        for (const std::uint8_t filler : {std::uint8_t{0xFF}, std::uint8_t{0x00}}) {
            Bytes image = CartridgeImageBytes(LayoutOf(rom));
            std::fill_n(image.begin() + rom.TmMovesOffset, kMachineCount, filler);
            const SelfCheckResult result = CheckBoth(image, rom);
            ExpectOnlyTableFails(result, CheckedTable::MoveList);
            EXPECT_EQ(result.findings.front().offset, rom.TmMovesOffset);
        }
        // One machine byte above 251 is enough to tell it is no move list.
        Bytes image = CartridgeImageBytes(LayoutOf(rom));
        image[MoveByteOffset(rom.TmMovesOffset, 12)] = 0xFC;
        const SelfCheckResult result = CheckBoth(image, rom);
        ExpectOnlyTableFails(result, CheckedTable::MoveList);
        EXPECT_EQ(result.findings.front().found, "0xFC");
    }
}

TEST(SelfCheck, CrystalKeepsItsEndAfterTheTutorMoves) {
    const RomProfile& crystal = *Identify("BYTE");
    const std::int32_t end = crystal.TmMovesOffset + kMachineCount + 3;
    // Other tutor moves, as a modified game may choose, leave the list where it was.
    Bytes image = CartridgeImageBytes(LayoutOf(crystal));
    image[static_cast<std::size_t>(end - 2)] = 0x01;
    EXPECT_TRUE(CheckBoth(image, crystal).SafeToWrite());
    // A list that ends right after HM07, as Gold's does, is not Crystal's list.
    image[static_cast<std::size_t>(crystal.TmMovesOffset + kMachineCount)] = 0;
    SelfCheckResult result = CheckBoth(image, crystal);
    ExpectOnlyTableFails(result, CheckedTable::MoveList);
    EXPECT_EQ(result.findings.front().offset, crystal.TmMovesOffset + kMachineCount);
    // Gold's end in a Crystal-sized list: the byte after HM07 is all Gold looks at.
    const RomProfile& gold = *Identify("AAUE");
    image = CartridgeImageBytes(LayoutOf(gold));
    image[static_cast<std::size_t>(gold.TmMovesOffset + kMachineCount)] = 0x35;
    result = CheckBoth(image, gold);
    ExpectOnlyTableFails(result, CheckedTable::MoveList);
    EXPECT_EQ(result.findings.front().offset, gold.TmMovesOffset + kMachineCount);
    EXPECT_EQ(result.findings.front().found, "0x35");
}

TEST(SelfCheck, CartridgeThatEndsInsideATableFailsWithoutAReadError) {
    const RomProfile& gold = *Identify("AAUE");
    Bytes image = CartridgeImageBytes(LayoutOf(gold));
    image.resize(static_cast<std::size_t>(gold.BaseStatsOffset + 100));
    const SelfCheckResult result = CheckBoth(image, gold);
    ExpectOnlyTableFails(result, CheckedTable::BaseStats);
    EXPECT_NE(result.findings.front().found.find("ends"), std::string::npos);
    // Too short for a header: no cartridge image, nothing to report.
    image.resize(0x14D);
    EXPECT_FALSE(CheckBoth(image, gold).realCartridge);
}

TEST(SelfCheck, ReadFailureIsReportedOnceAndForbidsWriting) {
    const RomProfile& gold = *Identify("AAUE");
    test::TempDir dir;
    for (const auto& path : {dir.File("missing.gbc"), dir.File("")}) {
        test::RecordingSink sink;
        const SelfCheckResult result = CheckRomTables(path, gold);
        EXPECT_TRUE(result.readFailed);
        EXPECT_FALSE(result.SafeToWrite());
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages.front().title.rfind("Error: ", 0), 0u);
        EXPECT_FALSE(DescribeFailedCheck(result, gold).empty());
    }
}

TEST(SelfCheck, MessageNamesTheTablesAndTheRefusal) {
    const RomProfile& crystal = *Identify("BYTE");
    CartridgeOptions options;
    options.baseStatsShift = 12;
    SelfCheckResult result = CheckBoth(CartridgeImageBytes(LayoutOf(crystal), options), crystal);
    std::string text = DescribeFailedCheck(result, crystal);
    EXPECT_NE(text.find("base-stats table does not lie where this release keeps it"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("English Pokémon Crystal (BYTE)"), std::string::npos) << text;
    EXPECT_NE(text.find("modified game"), std::string::npos) << text;
    EXPECT_NE(text.find("will not save into it"), std::string::npos) << text;
    EXPECT_NE(text.find("expected species number 1"), std::string::npos) << text;
    EXPECT_EQ(text.find("move list"), std::string::npos) << text;

    options.moveListShift = 2;
    options.itemRecordsShifted = true;
    result = CheckBoth(CartridgeImageBytes(LayoutOf(crystal), options), crystal);
    text = DescribeFailedCheck(result, crystal);
    EXPECT_NE(text.find("base-stats table, its item records and its move list do not lie where "
                        "this release keeps them"),
              std::string::npos)
        << text;
    EXPECT_LE(result.findings.size(), static_cast<std::size_t>(3 * kMaxFindingsPerTable));
}

}  // namespace
}  // namespace brindlewick
