#include <gtest/gtest.h>

#include <filesystem>

#include "editor/EditorFixture.h"

namespace brindlewick::test {
namespace {

class MachineTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        OpenRom();
        m_sink.Clear();
    }
};

// The price record of a machine, given as the distance of its low byte from the price table.
struct PriceRecordRow {
    const char* machineName;
    int machine;
    std::size_t lowByte;
};
const PriceRecordRow kPriceRecords[] = {
    {"TM01", 0, 0},    {"TM04", 3, 21},   {"TM05", 4, 35},   {"TM28", 27, 196},
    {"TM29", 28, 210}, {"TM50", 49, 357}, {"HM01", 50, 364}, {"HM07", 56, 406},
};

TEST_F(MachineTest, ShowsThePriceOfTheMachinesOwnRecord) {
    // Every record of the table holds a different price, the unused records 4 and 29 too.
    for (int record = 0; record <= 58; ++record) {
        Poke(kGoldEnglish.prices + 7 * record,
             {static_cast<std::uint8_t>(record), static_cast<std::uint8_t>(0x10 + record)});
    }
    for (const auto& row : kPriceRecords) {
        ASSERT_EQ(PriceAt(kGoldEnglish, row.machine), kGoldEnglish.prices + row.lowByte)
            << row.machineName;
    }
    for (int machine = 0; machine < kMachineCount; ++machine) {
        SelectMachine(machine);
        const auto record =
            static_cast<int>((PriceAt(kGoldEnglish, machine) - kGoldEnglish.prices) / 7);
        EXPECT_EQ(m_view.shown.price, std::to_string((0x10 + record) * 256 + record))
            << MachineName(machine);
    }
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(MachineTest, SavesThePriceIntoTheMachinesOwnRecordOnly) {
    Bytes expected = ReadFileBytes(m_rom);
    for (const auto& row : kPriceRecords) {
        SCOPED_TRACE(row.machineName);
        SelectMachine(row.machine);
        const auto price = static_cast<std::uint8_t>(row.machine);
        m_view.shown.price = std::to_string(0x1200 + price);
        Save();
        ExpectOnlySuccessMessage();
        EXPECT_EQ(Peek(kGoldEnglish.prices + row.lowByte, 2), (Bytes{price, 0x12}));
        expected[kGoldEnglish.prices + row.lowByte] = price;
        expected[kGoldEnglish.prices + row.lowByte + 1] = 0x12;
    }
    // The move bytes and fields were written back as shown: only the prices differ.
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

TEST_F(MachineTest, PricesTravelLittleEndianBothWays) {
    const struct {
        int price;
        std::uint8_t low, high;
    } rows[] = {{0, 0x00, 0x00},   {1, 0x01, 0x00},    {255, 0xFF, 0x00},
                {256, 0x00, 0x01}, {3000, 0xB8, 0x0B}, {65535, 0xFF, 0xFF}};
    const std::size_t at = PriceAt(kGoldEnglish, 12);
    m_sink.answer = true;  // the bytes poked after the read are changes made elsewhere
    for (const auto& row : rows) {
        SCOPED_TRACE(row.price);
        Poke(at, {row.low, row.high});
        SelectMachine(12);
        EXPECT_EQ(m_view.shown.price, std::to_string(row.price));

        Poke(at, {0x5A, 0xA5});
        m_view.shown.price = std::to_string(row.price);
        Save();
        EXPECT_EQ(Peek(at, 2), (Bytes{row.low, row.high}));
    }
    m_view.shown.price = "007";  // leading zeros kept in the field are no part of the price
    Save();
    EXPECT_EQ(Peek(at, 2), (Bytes{0x07, 0x00}));
}

TEST_F(MachineTest, MoveByteIsTheMoveListPositionBothWays) {
    const std::size_t at = MoveAt(kGoldEnglish, 30);
    m_sink.answer = true;  // the byte poked after the read is a change made elsewhere
    for (const int move : {0 /* N/A */, 1, 0x50, 251 /* Beat Up */}) {
        SCOPED_TRACE(move);
        Poke(at, {static_cast<std::uint8_t>(move)});
        SelectMachine(30);
        EXPECT_EQ(m_view.shown.move, move);

        Poke(at, {0xEE});
        m_view.shown.move = move;
        Save();
        EXPECT_EQ(Peek(at, 1), Bytes{static_cast<std::uint8_t>(move)});
    }
}

// 252..255 name no move of the list: nothing is selected, and a save must not turn the
// stored byte into whatever the list happened to show.
TEST_F(MachineTest, StoredByteWithoutMoveShowsNoSelectionAndIsKept) {
    const std::size_t at = MoveAt(kGoldEnglish, 56);
    for (const int stored : {252, 253, 254, 255}) {
        SCOPED_TRACE(stored);
        const auto storedByte = static_cast<std::uint8_t>(stored);
        Poke(at, {storedByte});
        m_sink.Clear();
        SelectMachine(56);
        EXPECT_EQ(m_view.shown.move, -1);
        EXPECT_TRUE(m_sink.messages.empty());

        Save();
        ExpectOnlySuccessMessage();
        EXPECT_EQ(Peek(at, 1), Bytes{storedByte});
    }
    const Bytes before = ReadFileBytes(m_rom);
    m_view.shown.move = 5;  // once the user picks a move, it is written
    Save();
    Bytes expected = before;
    expected[at] = 0x05;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

TEST_F(MachineTest, SelectingAnotherMachineDropsUnsavedEdits) {
    Poke(MoveAt(kGoldEnglish, 0), {0x21});
    Poke(PriceAt(kGoldEnglish, 0), {0xE8, 0x03});
    const Bytes before = ReadFileBytes(m_rom);
    SelectMachine(0);
    m_view.shown.move = 99;
    m_view.shown.price = "5";
    SelectMachine(1);
    SelectMachine(0);
    EXPECT_EQ(m_view.shown.move, 0x21);
    EXPECT_EQ(m_view.shown.price, "1000");
    EXPECT_EQ(ReadFileBytes(m_rom), before);
}

TEST_F(MachineTest, FailedReadsShowNaAndAZeroPrice) {
    std::filesystem::remove(PathFromUtf8(m_rom));
    m_view.shown.move = 40;
    SelectMachine(3);
    EXPECT_EQ(m_view.shown.move, 0);
    EXPECT_EQ(m_view.shown.price, "0");
    // The move read, the two blanks it leaves, the price read; nothing more.
    ASSERT_EQ(m_sink.messages.size(), 3u);
    EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(m_sink.messages[1].text, "Number given is not in Hex format");
    EXPECT_EQ(m_sink.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(m_sink.messages[2].icon, MessageIcon::None);
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(m_rom)));
}

TEST_F(MachineTest, PriceThatIsNoWholeNumberInRangeWritesNothing) {
    for (const char* text : {"70000", "12a", ""}) {
        SCOPED_TRACE(text);
        m_view.shown.price = text;
        const Bytes before = ReadFileBytes(m_rom);
        Save();
        EXPECT_EQ(ReadFileBytes(m_rom), before);
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::Error);
    }
}

}  // namespace
}  // namespace brindlewick::test
