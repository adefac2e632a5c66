#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileAccess.h"

#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"
#include "support/CartridgeImage.h"
#include "support/TestSupport.h"
#include "tables/TableEdits.h"
#include "tables/TablesFile.h"
#include "tables/TablesTestImages.h"

namespace brindlewick::test {
namespace {

// Every species from `first` to `last` in order, as a grid shows them unfiltered.
std::vector<int> SpeciesRange(int first, int last) {
    std::vector<int> species;
    for (int s = first; s <= last; ++s) {
        species.push_back(s);
    }
    return species;
}

TableValues SomeValues() {
    TableValues values;
    for (std::size_t k = 0; k < values.moves.size(); ++k) {
        values.moves[k] = static_cast<std::uint8_t>(k + 10);
        values.prices[k] = static_cast<std::uint16_t>(1000 + 100 * k);
    }
    for (std::size_t s = 0; s < values.fields.size(); ++s) {
        values.fields[s] = {static_cast<std::uint8_t>(s),
                            0x55,
                            0,
                            0,
                            0,
                            0,
                            0xF0,
                            static_cast<std::uint8_t>(s % 2 == 0 ? 0x0F : 0x0E)};
    }
    return values;
}

TEST(TableEdits, EditsArePendingUntilUndoneAndEachIsOneStep) {
    const TableValues read = SomeValues();
    TableEdits edits(read);
    EXPECT_FALSE(edits.HasPending());
    EXPECT_FALSE(edits.SetMove(4, 14)) << "the value it has already is no edit";
    EXPECT_FALSE(edits.SetMove(4, 252)) << "no move has number 252";
    EXPECT_FALSE(edits.SetPrice(4, 65536));

    EXPECT_TRUE(edits.SetMove(4, 57));
    EXPECT_TRUE(edits.SetPrice(56, 65535));
    EXPECT_TRUE(edits.SetLearns(250, 56, false));
    EXPECT_EQ(edits.PendingCount(), 3);
    EXPECT_TRUE(edits.Changed({CellKind::Move, 4, 0}));
    EXPECT_FALSE(edits.Changed({CellKind::Price, 4, 0}));
    EXPECT_TRUE(edits.LearnsChanged(250, 56));
    EXPECT_EQ(edits.Target().moves[4], 57);
    EXPECT_EQ(edits.Target().prices[56], 65535);
    // HM07 cleared; the bits beside it (the tutor's in Crystal) stay as read.
    EXPECT_EQ(edits.Target().fields[250][7], 0x0E);
    EXPECT_EQ(edits.AsRead(), read);

    // A block is one step, and only its cells that change are in it.
    EXPECT_TRUE(edits.SetLearns({{0, 0}, {0, 1}, {1, 0}, {1, 1}}, true));
    EXPECT_EQ(edits.PendingCount(), 3 + 3);  // Ivysaur learns TM01 already
    EXPECT_TRUE(edits.Undo());
    EXPECT_EQ(edits.PendingCount(), 3);
    EXPECT_TRUE(edits.Redo());
    EXPECT_EQ(edits.PendingCount(), 6);

    // Revert drops everything as one step, which Undo brings back.
    const TableValues edited = edits.Target();
    EXPECT_TRUE(edits.Revert());
    EXPECT_FALSE(edits.HasPending());
    EXPECT_EQ(edits.Target(), read);
    EXPECT_TRUE(edits.Undo());
    EXPECT_EQ(edits.Target(), edited);

    // Undoing everything comes back to the file; a new edit after an undo drops the redo.
    while (edits.Undo()) {
    }
    EXPECT_EQ(edits.Target(), read);
    EXPECT_TRUE(edits.CanRedo());
    EXPECT_TRUE(edits.SetPrice(0, 1));
    EXPECT_FALSE(edits.CanRedo());
}

TEST(TableEdits, SpaceGivesTheBlockTheOppositeOfTheCurrentCell) {
    TableValues read{};
    read.fields[3][0] = 0x01;  // Charmander learns TM01
    TableEdits edits(read);
    const std::vector<LearnsCell> block{{2, 0}, {3, 0}, {4, 0}, {2, 1}, {3, 1}, {4, 1}};
    ASSERT_TRUE(edits.Toggle(block, {3, 0}));
    for (const LearnsCell& cell : block) {
        EXPECT_FALSE(edits.Learns(cell.species, cell.machine));
    }
    EXPECT_EQ(edits.PendingCount(), 1);
    ASSERT_TRUE(edits.Toggle(block, {3, 0}));
    for (const LearnsCell& cell : block) {
        EXPECT_TRUE(edits.Learns(cell.species, cell.machine));
    }
    EXPECT_EQ(edits.PendingCount(), 5);
}

TEST(TableEdits, CopiedBlockPastesBackAndSpreadsheetFormsAreRead) {
    TableEdits edits(SomeValues());
    // Bulbasaur (field byte 0 = 0x00, byte 1 = 0x55) and Ivysaur (0x01, 0x55), TM08..TM10.
    EXPECT_EQ(edits.CopyBlock({0, 1}, 7, 9), "0\t1\t0\n0\t1\t0\n");
    EXPECT_EQ(edits.CopyBlock({1}, 0, 0), "1\n");

    // As Excel puts it (CRLF), at TM08 of the rows Chikorita, Bayleef (a filtered grid).
    RecordingSink sink;
    ASSERT_TRUE(edits.PasteBlock("1\t0\t1\r\n0\t0\t1\r\n", {151, 152, 153}, 7));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(edits.CopyBlock({151, 152}, 7, 9), "1\t0\t1\n0\t0\t1\n");
    EXPECT_TRUE(edits.Undo());
    // LibreOffice Calc's ticks, one pasted block being one step.
    ASSERT_TRUE(edits.PasteBlock("TRUE\tFALSE\ntrue\tfalse", {5, 6}, 55));
    EXPECT_EQ(edits.CopyBlock({5, 6}, 55, 56), "1\t0\n1\t0\n");
    EXPECT_TRUE(edits.Undo());
    EXPECT_EQ(edits.Target(), SomeValues());
}

TEST(TableEdits, WrongBlocksChangeNothingAndSayWhy) {
    TableEdits edits(SomeValues());
    RecordingSink sink;
    const struct {
        const char* text;
        std::vector<int> species;
        int machine;
        const char* why;
    } cases[] = {
        {"1\t0\n1\n", SpeciesRange(0, 10), 0, "line 2 has 1 cell, line 1 has 2"},
        {"1\t2\n", SpeciesRange(0, 10), 0, "cell 2 holds \u201C2\u201D"},
        {"1\tyes\n", SpeciesRange(0, 10), 0, "\u201Cyes\u201D"},
        {"1\t\t0\n", SpeciesRange(0, 10), 0, "cell 2 holds \u201C\u201D"},
        {"1\t0\n", SpeciesRange(0, 10), 56, "room for 11 rows by 1 column"},
        {"1\n1\n1\n", SpeciesRange(249, 250), 0, "3 rows by 1 column"},
        {"", SpeciesRange(0, 10), 0, "no block"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        sink.Clear();
        EXPECT_FALSE(edits.PasteBlock(c.text, c.species, c.machine));
        ASSERT_EQ(sink.messages.size(), 1U);
        EXPECT_NE(sink.messages[0].text.find(c.why), std::string::npos) << sink.messages[0].text;
        EXPECT_FALSE(edits.HasPending());
        EXPECT_FALSE(edits.CanUndo());
    }
}

TEST(TableEdits, RebaseKeepsTheEditsOnTopOfWhatTheFileNowHolds) {
    const TableValues read = SomeValues();
    TableEdits edits(read);
    ASSERT_TRUE(edits.SetPrice(0, 5));
    ASSERT_TRUE(edits.SetLearns(10, 2, true));
    ASSERT_TRUE(edits.SetMove(1, 99));

    TableValues fresh = read;
    fresh.prices[2] = 7;         // changed elsewhere, not edited here
    fresh.moves[1] = 99;         // changed elsewhere to what the edit says
    fresh.fields[10][7] = 0x00;  // tutor bits cleared elsewhere
    edits.Rebase(fresh);
    EXPECT_EQ(edits.AsRead(), fresh);
    EXPECT_EQ(edits.PendingCount(), 2);
    EXPECT_EQ(edits.Target().prices[0], 5);
    EXPECT_EQ(edits.Target().prices[2], 7);
    EXPECT_TRUE(edits.Learns(10, 2));
    EXPECT_EQ(edits.Target().fields[10][7], 0x00);
}

class TableEditsSave : public ::testing::Test {
protected:
    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom = m_dir.File("rom.gbc");
};

TEST_F(TableEditsSave, WritesExactlyTheEditedBytesOnEveryRelease) {
    for (const Release& release : kReleases) {
        SCOPED_TRACE(std::string(release.code));
        const RomProfile& profile = *Identify(release.code);
        const Bytes original = CartridgeImageBytes(LayoutOf(release));
        WriteFileBytes(m_rom, original);
        const auto read = ReadCheckedTables(m_rom, RowPlaces(profile));
        ASSERT_TRUE(read);
        ASSERT_TRUE(read->check.SafeToWrite());
        ASSERT_EQ(read->values, Decode(original, profile));
        TableEdits edits(read->values);

        // TM05 teaches Karate Chop (2, which no machine of the image teaches); TM29 costs 3000;
        // HM07 costs 65535; Celebi loses HM07 and learns TM01..TM03 (one block); Bulbasaur
        // learns HM07 by a paste.
        ASSERT_TRUE(edits.SetMove(4, 2));
        ASSERT_TRUE(edits.SetPrice(28, 3000));
        ASSERT_TRUE(edits.SetPrice(56, 65535));
        edits.SetLearns({{250, 0}, {250, 1}, {250, 2}}, true);
        edits.SetLearns(250, 56, false);
        edits.PasteBlock("1", {0}, 56);

        Bytes expected = original;
        expected[MoveAt(release, 4)] = 2;
        PutPrice(expected, PriceAt(release, 28), 3000);
        PutPrice(expected, PriceAt(release, 56), 65535);
        expected[FieldAt(release, 250, 0)] |= 0x07;
        // HM07 is bit 0 of the last byte; the tutor bits beside it are kept.
        expected[FieldAt(release, 250, 7)] &= 0xFE;
        expected[FieldAt(release, 0, 7)] |= 0x01;

        EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Written);
        EXPECT_EQ(ReadFileBytes(m_rom), expected);
        EXPECT_FALSE(edits.HasPending());
        EXPECT_EQ(edits.AsRead(), Decode(expected, profile));
        EXPECT_TRUE(m_sink.questions.empty());
        ASSERT_FALSE(m_sink.messages.empty());
        EXPECT_NE(m_sink.messages.back().text.find("changed 3 machines and "), std::string::npos)
            << m_sink.messages.back().text;
        m_sink.Clear();
    }
}

TEST_F(TableEditsSave, EveryBitOfEverySpeciesInOneSave) {
    const Release& release = ReleaseOf("BYTE");
    const RomProfile& profile = *Identify(release.code);
    const Bytes original = CartridgeImageBytes(LayoutOf(release));
    WriteFileBytes(m_rom, original);
    TableEdits edits(*ReadTables(m_rom, RowPlaces(profile)));
    std::vector<LearnsCell> all;
    for (int s = 0; s < kSpeciesCount; ++s) {
        for (int k = 0; k < kMachineCount; ++k) {
            all.push_back({s, k});
        }
    }
    // Every bit the other way round.
    for (const LearnsCell& cell : all) {
        edits.SetLearns(cell.species, cell.machine, !edits.Learns(cell.species, cell.machine));
    }
    EXPECT_EQ(edits.PendingCount(), kSpeciesCount * kMachineCount);
    Bytes expected = original;
    for (int s = 0; s < kSpeciesCount; ++s) {
        for (int j = 0; j < kFieldLength; ++j) {
            expected[FieldAt(release, s, j)] ^= j == 7 ? 0x01 : 0xFF;
        }
    }
    // One handle for the whole save, one write per species' field.
    int opens = 0;
    std::vector<std::int64_t> writes;
    FileLayerTestHooks watching;
    watching.beforeOpen = [&](const std::string&, bool) { ++opens; };
    watching.beforeWrite = [&](const std::string&, std::int64_t offset) {
        writes.push_back(offset);
    };
    {
        ScopedFileHooks hooks(std::move(watching));
        EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Written);
    }
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
    EXPECT_EQ(opens, 1);
    ASSERT_EQ(writes.size(), static_cast<std::size_t>(kSpeciesCount));
    for (int s = 0; s < kSpeciesCount; ++s) {
        EXPECT_EQ(writes[static_cast<std::size_t>(s)],
                  static_cast<std::int64_t>(FieldAt(release, s, 0)));
    }
    EXPECT_FALSE(edits.HasPending());
    EXPECT_EQ(edits.AsRead(), Decode(expected, profile));
}

TEST_F(TableEditsSave, AChangeMadeElsewhereIsAskedAboutBeforeItIsOverwritten) {
    const Release& release = ReleaseOf("AAUE");
    const RomProfile& profile = *Identify(release.code);
    const Bytes original = CartridgeImageBytes(LayoutOf(release));
    WriteFileBytes(m_rom, original);
    TableEdits edits(*ReadTables(m_rom, RowPlaces(profile)));
    ASSERT_TRUE(edits.SetPrice(0, 1234));
    EXPECT_FALSE(ChangedElsewhere(m_rom, RowPlaces(profile), edits));

    // Another program changes TM02's price.
    Bytes changed = original;
    PutPrice(changed, PriceAt(release, 1), 4321);
    WriteFileBytes(m_rom, changed);
    ASSERT_TRUE(ChangedElsewhere(m_rom, RowPlaces(profile), edits));

    // Declined: nothing written, the edit kept.
    EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Refused);
    ASSERT_EQ(m_sink.questions.size(), 1U);
    const std::string change =
        "TM02: price " + std::to_string(Decode(original, profile).prices[1]) + " -> 4321";
    EXPECT_NE(m_sink.questions[0].text.find(change), std::string::npos) << m_sink.questions[0].text;
    EXPECT_EQ(ReadFileBytes(m_rom), changed);
    EXPECT_EQ(edits.PendingCount(), 1);

    // Reloaded first, both changes are kept and nothing is asked.
    m_sink.Clear();
    edits.Rebase(*ChangedElsewhere(m_rom, RowPlaces(profile), edits));
    EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Written);
    EXPECT_TRUE(m_sink.questions.empty());
    Bytes expected = changed;
    PutPrice(expected, PriceAt(release, 0), 1234);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);

    // Answered yes, what the editor shows replaces the other change.
    TableEdits stale(Decode(original, profile));
    ASSERT_TRUE(stale.SetMove(0, 2));
    m_sink.answer = true;
    EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), stale), ImportStatus::Written);
    expected = original;
    expected[MoveAt(release, 0)] = 2;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

// A save stopped part of the way says what writes the rest: saving the tables again, not an
// import of a CSV the table editor never had.
TEST_F(TableEditsSave, APartialSaveAdvisesSavingAgain) {
    const Release& release = ReleaseOf("AAUE");
    const RomProfile& profile = *Identify(release.code);
    const Bytes original = CartridgeImageBytes(LayoutOf(release));
    WriteFileBytes(m_rom, original);
    TableEdits edits(*ReadTables(m_rom, RowPlaces(profile)));
    // 40 runs of changed bytes, more than the writes between two looks at the ROM's path.
    for (int species = 0; species < 40 * 6; species += 6) {
        ASSERT_TRUE(edits.SetLearns(species, 0, !edits.Learns(species, 0)));
    }
    // A copy of the file is put in the ROM's place after the first write; the writes of that
    // group still go into the file the save opened, and then the save stops.
    const std::string copy = m_dir.File("copy.gbc");
    {
        const ScopedFileHooks hooks(BeforeWrite(2, [&] {
            WriteFileBytes(copy, ReadFileBytes(m_rom));
            std::filesystem::rename(PathFromUtf8(copy), PathFromUtf8(m_rom));
        }));
        EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Failed);
    }
    ASSERT_EQ(m_sink.messages.size(), 1U);
    const std::string& text = m_sink.messages[0].text;
    EXPECT_NE(text.find("Only 32 of the 40 changed bytes"), std::string::npos) << text;
    EXPECT_NE(text.find("Saving the tables again writes the rest."), std::string::npos) << text;
    EXPECT_EQ(text.find("CSV"), std::string::npos) << text;
    EXPECT_TRUE(edits.HasPending());
}

TEST_F(TableEditsSave, ModifiedGameIsNeverWritten) {
    const Release& release = ReleaseOf("AAXE");
    const RomProfile& profile = *Identify(release.code);
    CartridgeOptions options;
    options.baseStatsShift = 32;
    const Bytes original = CartridgeImageBytes(LayoutOf(release), options);
    WriteFileBytes(m_rom, original);
    const auto read = ReadCheckedTables(m_rom, RowPlaces(profile));
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->check.SafeToWrite());
    TableEdits edits(read->values);
    ASSERT_TRUE(edits.SetPrice(0, 1));
    EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_TRUE(edits.HasPending());
}

TEST_F(TableEditsSave, AMoveListTheGameCannotUseIsAskedAbout) {
    const Release& release = ReleaseOf("BYTE");
    const RomProfile& profile = *Identify(release.code);
    const Bytes original = CartridgeImageBytes(LayoutOf(release));
    WriteFileBytes(m_rom, original);
    TableEdits edits(*ReadTables(m_rom, RowPlaces(profile)));
    // TM02 teaches TM01's move: the game would use TM01's bit for it.
    ASSERT_TRUE(edits.SetMove(1, edits.Target().moves[0]));
    EXPECT_EQ(SaveTableEdits(m_rom, RowPlaces(profile), edits), ImportStatus::Refused);
    EXPECT_EQ(m_sink.questions.size(), 1U);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_TRUE(edits.HasPending());
}

}  // namespace
}  // namespace brindlewick::test
