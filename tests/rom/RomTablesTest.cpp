#include "rom/RomTables.h"
#include "rom/TablePlaces.h"

#include <gtest/gtest.h>

#include <set>

#include "rom/RomProfile.h"

namespace brindlewick {
namespace {

TEST(RomTables, AddressesOfEnglishGold) {
    const RomProfile& gold = *Identify("AAUE");
    EXPECT_EQ(MoveByteOffset(gold.TmMovesOffset, 0), 72294);
    EXPECT_EQ(MoveByteOffset(gold.TmMovesOffset, 4), 72298);
    EXPECT_EQ(MoveByteOffset(gold.TmMovesOffset, 56), 72294 + 56);
    EXPECT_EQ(PriceOffset(gold.TmPricesOffset, 4), 28149);  // TM05: record 5
    EXPECT_EQ(CompatibilityByteOffset(gold.BaseStatsOffset, 0, 0), 334627);
    EXPECT_EQ(CompatibilityByteOffset(gold.BaseStatsOffset, 0, 7), 334634);
    EXPECT_EQ(CompatibilityByteOffset(gold.BaseStatsOffset, 250, 0), 342627);
    EXPECT_EQ(CompatibilityByteOffset(gold.BaseStatsOffset, 250, 7), 342634);
}

TEST(RomTables, PriceRecordsSkipRecordsFourAndTwentyNine) {
    const std::pair<int, int> cases[] = {{0, 0},   {3, 3},   {4, 5},   {27, 28},
                                         {28, 30}, {49, 51}, {50, 52}, {56, 58}};
    for (const auto& [machine, record] : cases) {
        EXPECT_EQ(PriceRecord(machine), record) << MachineName(machine);
        EXPECT_EQ(PriceOffset(1000, machine), 1000 + 7 * record);
    }
    std::set<int> used;
    for (int k = 0; k < kMachineCount; ++k) {
        used.insert(PriceRecord(k));
        if (k > 0) {
            EXPECT_GT(PriceRecord(k), PriceRecord(k - 1));
        }
    }
    EXPECT_EQ(used.size(), 57u);
    EXPECT_EQ(used.count(4), 0u);
    EXPECT_EQ(used.count(29), 0u);
    EXPECT_EQ(*used.rbegin(), 58);  // the highest byte touched is TmPricesOffset + 407
}

TEST(RomTables, MachineBitsCoverTheFieldInOrder) {
    // Machine n is bit (n - 1) mod 8 of field byte (n - 1) div 8.
    const std::tuple<const char*, int, int> named[] = {
        {"TM01", 0, 0}, {"TM08", 0, 7}, {"TM09", 1, 0}, {"TM49", 6, 0},
        {"TM50", 6, 1}, {"HM01", 6, 2}, {"HM06", 6, 7}, {"HM07", 7, 0},
    };
    for (const auto& [name, fieldByte, bit] : named) {
        int machine = 0;
        while (MachineName(machine) != name) {
            ++machine;
        }
        EXPECT_EQ(BitOfMachine(machine).fieldByte, fieldByte) << name;
        EXPECT_EQ(BitOfMachine(machine).bit, bit) << name;
    }
    std::set<int> bits;
    for (int k = 0; k < kMachineCount; ++k) {
        bits.insert(BitOfMachine(k).fieldByte * 8 + BitOfMachine(k).bit);
    }
    EXPECT_EQ(bits.size(), 57u);
    EXPECT_EQ(*bits.rbegin(), 56);
}

TEST(RomTables, MachineNames) {
    EXPECT_EQ(MachineName(0), "TM01");
    EXPECT_EQ(MachineName(9), "TM10");
    EXPECT_EQ(MachineName(49), "TM50");
    EXPECT_EQ(MachineName(50), "HM01");
    EXPECT_EQ(MachineName(56), "HM07");
}

TEST(RomTables, TablesEndAfterTheLastSpeciesField) {
    // English Gold: Celebi's last field byte lies at 342634.
    EXPECT_EQ(TablesEnd(RowPlaces(*Identify("AAUE"))), 342635);
    for (const auto& rom : SupportedRoms()) {
        EXPECT_EQ(TablesEnd(RowPlaces(rom)),
                  CompatibilityByteOffset(rom.BaseStatsOffset, 250, 7) + 1);
    }
}

TEST(RomTables, EveryAddressOfEveryReleaseFitsInAnImage) {
    for (const auto& rom : SupportedRoms()) {
        EXPECT_LT(PriceOffset(rom.TmPricesOffset, 56) + 1, rom.TmMovesOffset);
        EXPECT_LT(MoveByteOffset(rom.TmMovesOffset, 56), rom.BaseStatsOffset);
        EXPECT_LT(CompatibilityByteOffset(rom.BaseStatsOffset, 250, 7), 2 * 1024 * 1024);
    }
}

}  // namespace
}  // namespace brindlewick
