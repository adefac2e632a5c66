// The tables' writers on a modified game whose code leads elsewhere: the table editor's save
// and an import write exactly where the game reads, and neither writes into a file whose code
// was changed to point elsewhere meanwhile, while a question was open or after the tables
// were read.
#include <gtest/gtest.h>

#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"
#include "support/TestSupport.h"
#include "tables/TableEdits.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"

namespace brindlewick::test {
namespace {

class GameCodeTables : public ::testing::Test {
protected:
    void SetUp() override {
        m_moved.moves = 0x10 * 0x4000 + 0x80;
        m_moved.baseStats = 0x60 * 0x4000 + 0x1000;
        m_moved.prices = 0x02 * 0x4000 + 0x1000;
        CartridgeOptions options;
        options.zeroBackground = true;
        GameCodeLayout code;
        code.tmHmMove = 0x10 * 0x4000 + 0x2000;
        options.code = code;
        m_image = CartridgeImageBytes(LayoutOf(m_moved), options);
        WriteFileBytes(m_rom, m_image);
        const auto located = LocateRomTables(m_rom);
        ASSERT_TRUE(located);
        ASSERT_TRUE(located->Elsewhere());
        m_places = located->places;
    }

    // The code changed so that GetTMHMMove leads one byte further on.
    Bytes Repointed() const {
        Bytes bytes = ReadFileBytes(m_rom);
        ++bytes[0x10 * 0x4000 + 0x2000 + 5];
        return bytes;
    }

    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom = m_dir.File("hack.gbc");
    Release m_moved = ReleaseOf("AAUE");
    Bytes m_image;
    TablePlaces m_places;
};

TEST_F(GameCodeTables, TheTableEditorsSaveWritesWhereTheGameReads) {
    const auto asRead = ReadTables(m_rom, m_places);
    ASSERT_TRUE(asRead);
    TableEdits edits(*asRead);
    const int move = CartridgeFreeMoves().front();
    ASSERT_TRUE(edits.SetMove(40, move));
    ASSERT_TRUE(edits.SetPrice(40, 777));
    ASSERT_TRUE(edits.SetLearns(0, 0, !edits.Learns(0, 0)));
    ASSERT_TRUE(edits.SetLearns(250, 56, !edits.Learns(250, 56)));
    EXPECT_EQ(SaveTableEdits(m_rom, m_places, edits), ImportStatus::Written);
    Bytes expected = m_image;
    expected[MoveAt(m_moved, 40)] = static_cast<std::uint8_t>(move);
    expected[PriceAt(m_moved, 40)] = 777 & 0xFF;
    expected[PriceAt(m_moved, 40) + 1] = 777 >> 8;
    expected[MachineBitAt(m_moved, 0, 0)] ^= MaskOf(0);
    expected[MachineBitAt(m_moved, 250, 56)] ^= MaskOf(56);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

TEST_F(GameCodeTables, NoWriteIntoAFileWhoseCodeNowLeadsElsewhere) {
    // The table editor read the tables; then another program repointed the code.
    const auto asRead = ReadTables(m_rom, m_places);
    ASSERT_TRUE(asRead);
    TableEdits edits(*asRead);
    ASSERT_TRUE(edits.SetPrice(3, 1));
    const Bytes repointed = Repointed();
    WriteFileBytes(m_rom, repointed);
    EXPECT_EQ(SaveTableEdits(m_rom, m_places, edits), ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), repointed);
    ASSERT_FALSE(m_sink.messages.empty());
    EXPECT_NE(m_sink.messages.back().text.find("no longer the game that was opened"),
              std::string::npos)
        << m_sink.messages.back().text;

    // An import whose question is open while the code is repointed.
    WriteFileBytes(m_rom, m_image);
    TableValues wanted = *asRead;
    wanted.prices[3] = 1;
    const std::string csv = m_dir.File("tables.csv");
    const std::string text = ExportCsv(wanted);
    WriteFileBytes(csv, Bytes(text.begin(), text.end()));
    m_sink.Clear();
    ImportOptions options;
    options.confirmChanges = [&](const ImportPlan&) {
        WriteFileBytes(m_rom, repointed);
        return true;
    };
    EXPECT_EQ(ImportTables(m_rom, csv, options).status, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), repointed);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("no longer the game that was opened"), std::string::npos)
        << m_sink.messages[0].text;

    // The import itself, with nothing changed meanwhile, writes at the moved price record.
    WriteFileBytes(m_rom, m_image);
    m_sink.Clear();
    EXPECT_EQ(ImportTables(m_rom, csv, {}).status, ImportStatus::Written);
    Bytes expected = m_image;
    expected[PriceAt(m_moved, 3)] = 1;
    expected[PriceAt(m_moved, 3) + 1] = 0;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

}  // namespace
}  // namespace brindlewick::test
