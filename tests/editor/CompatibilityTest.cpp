#include <gtest/gtest.h>

#include <filesystem>

#include "editor/EditorFixture.h"

namespace brindlewick::test {
namespace {

constexpr int kCelebi = 250;

class CompatibilityTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        OpenRom();
        m_sink.Clear();
    }

    void PokeField(int species, const Bytes& field) {
        Poke(FieldAt(kGoldEnglish, species, 0), field);
    }
};

// The field with only machine k's bit set, or with every bit but machine k's.
Bytes FieldWithOnly(int machine) {
    Bytes field(8, 0x00);
    field[FieldByteOf(machine)] = MaskOf(machine);
    return field;
}
Bytes FieldWithAllBut(int machine) {
    Bytes field(8, 0xFF);
    field[FieldByteOf(machine)] &= static_cast<std::uint8_t>(~MaskOf(machine));
    return field;
}

TEST_F(CompatibilityTest, EachFieldBitTicksExactlyItsOwnBox) {
    ASSERT_EQ(FieldAt(kGoldEnglish, kCelebi, 0), 334603u + 8024u);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        SCOPED_TRACE(MachineName(machine));
        std::array<bool, kMachineCount> only{};
        only[machine] = true;
        PokeField(kCelebi, FieldWithOnly(machine));
        SelectSpecies(kCelebi);
        EXPECT_EQ(m_view.shown.checked, only);

        std::array<bool, kMachineCount> allBut;
        allBut.fill(true);
        allBut[machine] = false;
        PokeField(kCelebi, FieldWithAllBut(machine));
        SelectSpecies(kCelebi);
        EXPECT_EQ(m_view.shown.checked, allBut);
    }
    EXPECT_EQ(m_editor.State().SelectedSpecies, kCelebi);
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(CompatibilityTest, EachBoxSetsExactlyItsOwnFieldBit) {
    const std::size_t field = FieldAt(kGoldEnglish, kCelebi, 0);
    Bytes expectedFile = ReadFileBytes(m_rom);
    const std::uint8_t spareBits = expectedFile[field + 7] & 0xFE;
    SelectSpecies(kCelebi);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        SCOPED_TRACE(MachineName(machine));
        m_view.CheckOnly(machine);
        Save();
        ExpectOnlySuccessMessage();
        Bytes expected = FieldWithOnly(machine);
        expected[7] |= spareBits;
        EXPECT_EQ(Peek(field, 8), expected);
        std::copy(expected.begin(), expected.end(),
                  expectedFile.begin() + static_cast<std::ptrdiff_t>(field));
    }
    // Nothing but the field changed on the way.
    EXPECT_EQ(ReadFileBytes(m_rom), expectedFile);

    // The same mapping written out by hand for the ends of each byte.
    const struct {
        int machine;
        int fieldByte;
        std::uint8_t value;
    } anchors[] = {{0, 0, 0x01},  {7, 0, 0x80},  {48, 6, 0x01}, {49, 6, 0x02},
                   {50, 6, 0x04}, {55, 6, 0x80}, {56, 7, 0x01}};
    PokeField(kCelebi, Bytes(8, 0x00));
    m_sink.answer = true;  // the field poked after the read is a change made elsewhere
    for (const auto& anchor : anchors) {
        m_view.CheckOnly(anchor.machine);
        Save();
        Bytes expected(8, 0x00);
        expected[anchor.fieldByte] = anchor.value;
        EXPECT_EQ(Peek(field, 8), expected) << MachineName(anchor.machine);
    }
}

TEST_F(CompatibilityTest, AllOrNoBoxesFillOrClearTheMachineBits) {
    PokeField(0, Bytes(8, 0x00));
    m_sink.answer = true;  // the field poked after the read is a change made elsewhere
    m_view.shown.checked.fill(true);
    Save();
    EXPECT_EQ(Peek(FieldAt(kGoldEnglish, 0, 0), 8),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
    m_view.shown.checked.fill(false);
    Save();
    EXPECT_EQ(Peek(FieldAt(kGoldEnglish, 0, 0), 8), Bytes(8, 0x00));
}

// Bits 1..7 of the last byte belong to no machine but hold other data of the game (the move
// tutor in Crystal): a save keeps them and sets only the HM07 bit.
TEST_F(CompatibilityTest, LastFieldByteKeepsItsSpareBits) {
    const struct {
        std::uint8_t stored;
        bool hm07Shown;
        bool hm07Ticked;
        std::uint8_t written;
    } rows[] = {{0xFE, false, false, 0xFE}, {0xFE, false, true, 0xFF}, {0x01, true, false, 0x00},
                {0xFF, true, true, 0xFF},   {0x00, false, true, 0x01}, {0x81, true, false, 0x80}};
    const std::size_t at = FieldAt(kGoldEnglish, 3, 7);
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.stored));
        Poke(at, {row.stored});
        SelectSpecies(3);
        EXPECT_EQ(m_view.shown.checked[56], row.hm07Shown);
        m_view.shown.checked[56] = row.hm07Ticked;
        Save();
        EXPECT_EQ(Peek(at, 1), Bytes{row.written});
    }
}

TEST_F(CompatibilityTest, SelectingAnotherSpeciesDropsUnsavedTicks) {
    PokeField(10, FieldWithOnly(20));
    SelectSpecies(10);
    m_view.shown.checked.fill(true);
    SelectSpecies(11);
    SelectSpecies(10);
    std::array<bool, kMachineCount> expected{};
    expected[20] = true;
    EXPECT_EQ(m_view.shown.checked, expected);
}

TEST_F(CompatibilityTest, BoxesOfAByteThatCannotBeReadShowClear) {
    PokeField(kCelebi, Bytes(8, 0xFF));
    // The file now ends in the middle of Celebi's field: bytes 0..3 remain.
    std::filesystem::resize_file(PathFromUtf8(m_rom), FieldAt(kGoldEnglish, kCelebi, 4));
    m_view.shown.checked.fill(true);
    SelectSpecies(kCelebi);
    for (int machine = 0; machine < kMachineCount; ++machine) {
        EXPECT_EQ(m_view.shown.checked[machine], machine < 32) << MachineName(machine);
    }
    EXPECT_EQ(m_sink.messages.size(), 4u);  // one per failed read
}

}  // namespace
}  // namespace brindlewick::test
