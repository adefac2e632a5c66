// The save's plan, without a file: which bytes a save writes, where, with what value, in what
// order, and what each belongs to. Addresses come from the test's own layout of the tables.
#include <gtest/gtest.h>

#include <vector>

#include "editor/EditorFixture.h"
#include "editor/SavePlan.h"
#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"

namespace brindlewick::test {
namespace {

const RomProfile& Gold() {
    return *Identify("AAUE");
}

SaveRequest Request(int machine, int species, int move, int price) {
    SaveRequest request;
    request.machine = machine;
    request.species = species;
    request.move = move;
    request.price = price;
    return request;
}

std::vector<PlannedWrite> Expected(const Release& layout, const SaveRequest& request,
                                   const Bytes& field, bool withMove) {
    std::vector<PlannedWrite> writes;
    if (withMove) {
        writes.push_back({SavePart::Move,
                          static_cast<std::int32_t>(MoveAt(layout, request.machine)),
                          static_cast<std::uint8_t>(request.move)});
    }
    for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
        writes.push_back({SavePart::SpeciesField,
                          static_cast<std::int32_t>(FieldAt(layout, request.species, fieldByte)),
                          field[static_cast<std::size_t>(fieldByte)]});
    }
    const auto price = static_cast<std::int32_t>(PriceAt(layout, request.machine));
    writes.push_back({SavePart::Price, price, static_cast<std::uint8_t>(request.price & 0xFF)});
    writes.push_back({SavePart::Price, price + 1, static_cast<std::uint8_t>(request.price >> 8)});
    return writes;
}

TEST(SavePlan, MoveThenFieldThenPriceLowByteFirst) {
    const Release& crystal = ReleaseOf("BYTE");
    const struct {
        const RomProfile& profile;
        const Release& layout;
    } releases[] = {{Gold(), kGoldEnglish}, {*Identify("BYTE"), crystal}};
    for (const auto& release : releases) {
        SCOPED_TRACE(std::string(release.layout.code));
        SaveRequest request = Request(4, 250, 0x42, 3000);     // TM05, Celebi
        for (const int machine : {0, 8, 9, 48, 49, 55, 56}) {  // TM01 TM09 TM10 TM49 TM50 HM06 HM07
            request.checked[machine] = true;
        }
        const Bytes field{0x01, 0x03, 0, 0, 0, 0, 0x83, 0x01};
        EXPECT_EQ(PlanSave(RowPlaces(release.profile), request),
                  Expected(release.layout, request, field, true));
    }
}

TEST(SavePlan, NoMoveShownWritesNoMoveByte) {
    for (const int move : {-1, 252, 255}) {
        SCOPED_TRACE(move);
        const SaveRequest request = Request(56, 0, move, 0);
        const auto plan = PlanSave(RowPlaces(Gold()), request);
        ASSERT_EQ(plan.size(), 10u);
        EXPECT_EQ(plan, Expected(kGoldEnglish, request, Bytes(8, 0), false));
    }
    // The ends of the move list are written.
    EXPECT_EQ(PlanSave(RowPlaces(Gold()), Request(0, 0, 0, 0)).front(),
              (PlannedWrite{SavePart::Move, 72294, 0x00}));
    EXPECT_EQ(PlanSave(RowPlaces(Gold()), Request(56, 0, 251, 0)).front(),
              (PlannedWrite{SavePart::Move, 72294 + 56, 0xFB}));
}

// Bits 1..7 of the last field byte are taken from the file as it holds them; only HM07's bit
// 0 follows the box.
TEST(SavePlan, LastFieldByteKeepsTheStoredSpareBits) {
    const struct {
        std::uint8_t stored;
        bool hm07;
        std::uint8_t written;
    } rows[] = {{0xFF, false, 0xFE}, {0xFE, true, 0xFF},  {0x00, true, 0x01},
                {0x01, false, 0x00}, {0x0E, false, 0x0E}, {0x81, true, 0x81}};
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.stored));
        SaveRequest request = Request(0, 3, 1, 0);
        request.checked[56] = row.hm07;
        request.storedLastFieldByte = row.stored;
        const auto plan = PlanSave(RowPlaces(Gold()), request);
        EXPECT_EQ(plan[8], (PlannedWrite{SavePart::SpeciesField,
                                         static_cast<std::int32_t>(FieldAt(kGoldEnglish, 3, 7)),
                                         row.written}));
    }
}

TEST(SavePlan, PriceBytesAndRecords) {
    const struct {
        int machine;
        int price;
        std::size_t lowByte;  // from the start of the price table
        std::uint8_t low, high;
    } rows[] = {{3, 0, 21, 0x00, 0x00},      {4, 1, 35, 0x01, 0x00},
                {27, 255, 196, 0xFF, 0x00},  {28, 256, 210, 0x00, 0x01},
                {50, 3000, 364, 0xB8, 0x0B}, {56, 65535, 406, 0xFF, 0xFF}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.machine);
        const auto plan = PlanSave(RowPlaces(Gold()), Request(row.machine, 0, 1, row.price));
        const auto at = static_cast<std::int32_t>(kGoldEnglish.prices + row.lowByte);
        ASSERT_EQ(plan.size(), 11u);
        EXPECT_EQ(plan[9], (PlannedWrite{SavePart::Price, at, row.low}));
        EXPECT_EQ(plan[10], (PlannedWrite{SavePart::Price, at + 1, row.high}));
    }
}

}  // namespace
}  // namespace brindlewick::test
