// The table editor's session as both windows use it: what it reads from typed text, what the
// grid's selection means for a block, what a paste accepts, when it asks and what it writes.
#include <gtest/gtest.h>

#include "editor/TableEditorSession.h"
#include "rom/RomTables.h"
#include "support/TestSupport.h"
#include "tables/TablesFile.h"
#include "tables/TypedInput.h"

namespace brindlewick::test {
namespace {

class TableEditorSessionTest : public ::testing::Test {
protected:
    TableEditorSessionTest() {
        SyntheticRom rom(ReleaseOf("AAUE"));
        rom.Move(0, 5).Price(0, 3000).Compatible(0, {}).Compatible(1, {}).Compatible(24, {});
        m_path = rom.WriteTo(m_dir);
        m_before = ReadFileBytes(m_path);
        const auto found = LocateRomTablesAndNames(m_path);
        EXPECT_TRUE(found.has_value());
        m_session = TableEditorSession::Open(m_path, found->tables, found->names);
        EXPECT_NE(m_session, nullptr);
    }

    // The unfiltered grid with the block from (top, left) to (bottom, right), current at its
    // top-left.
    static GridSelection Block(int top, int left, int bottom, int right) {
        GridSelection grid;
        grid.shownSpecies = TableTexts().SpeciesShownFor("");
        grid.currentRow = top;
        grid.currentColumn = left;
        for (int row = top; row <= bottom; ++row) {
            for (int column = left; column <= right; ++column) {
                grid.selected.emplace_back(row, column);
            }
        }
        return grid;
    }

    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_path;
    Bytes m_before;
    std::unique_ptr<TableEditorSession> m_session;
};

TEST(TableEditorTexts, TypedMovesAndPricesAreReadOrRefused) {
    EXPECT_EQ(ParseTypedMove("surf").value, 57);
    EXPECT_EQ(ParseTypedMove("  SWORDS-DANCE ").value, 14);
    EXPECT_EQ(ParseTypedMove("Surfing").value, std::nullopt);
    EXPECT_EQ(ParseTypedMove("").value, std::nullopt);
    EXPECT_EQ(ParseTypedPrice(" 65535 ").value, 65535);
    EXPECT_EQ(ParseTypedPrice("0").value, 0);
    for (const char* refused : {"65536", "", "-1", "12a", "1 000", "1e3", "70000"}) {
        EXPECT_EQ(ParseTypedPrice(refused).value, std::nullopt) << refused;
    }
    // Completion offers every move whose name holds the text, in the list's order.
    const TableTexts lists;
    const std::vector<int> thunder = lists.MoveCompletions("THUNDER");
    ASSERT_FALSE(thunder.empty());
    for (const int move : thunder) {
        EXPECT_NE(lists.MoveChoices()[static_cast<std::size_t>(move)].find("hunder"),
                  std::string::npos);
    }
    EXPECT_TRUE(std::is_sorted(thunder.begin(), thunder.end()));
    EXPECT_EQ(lists.MoveCompletions("").size(), static_cast<std::size_t>(kMoveCount));
}

TEST(TableEditorTexts, FilterMatchesNameOrNumber) {
    const TableTexts lists;
    const auto shown = [&lists](std::string_view text) {
        std::vector<int> numbers;
        for (const int s : lists.SpeciesShownFor(text)) {
            numbers.push_back(s + 1);
        }
        return numbers;
    };
    EXPECT_EQ(shown("").size(), 251U);
    EXPECT_EQ(shown("pikachu"), std::vector<int>{25});
    EXPECT_EQ(shown(" PIKA "), std::vector<int>{25});
    EXPECT_EQ(shown("025"), std::vector<int>{25});
    EXPECT_EQ(shown("251"), std::vector<int>{251});
    // "25" is in these numbers and in none of the names.
    EXPECT_EQ(shown("25"), (std::vector<int>{25, 125, 225, 250, 251}));
    EXPECT_TRUE(shown("zzz").empty());
    EXPECT_FALSE(lists.SpeciesShown(kSpeciesCount, ""));
}

TEST(TableEditorTexts, CommandsHaveOneTextAndShortcutEach) {
    EXPECT_STREQ(TextOf(TableCommand::Save).shortcut, "Ctrl+S");
    EXPECT_STREQ(TextOf(TableCommand::Redo).otherShortcut, "Ctrl+Shift+Z");
    EXPECT_STREQ(TextOf(TableCommand::Toggle).shortcut, "Space");
    EXPECT_TRUE(TextOf(TableCommand::Paste).gridKeys);
    EXPECT_FALSE(TextOf(TableCommand::Undo).gridKeys);
    EXPECT_EQ(PendingEditsText(0), "No edits pending");
    EXPECT_EQ(PendingEditsText(1), "1 edit not saved");
    EXPECT_EQ(PendingEditsText(14), "14 edits not saved");
    EXPECT_EQ(TableEditorTitle("/x/Gold.gbc", "AAUE", "*"),
              "Gold.gbc* (AAUE) - Table Editor - Brindlewick");
}

TEST_F(TableEditorSessionTest, TypedCellsAreTakenOrRefusedWithTheirReason) {
    EXPECT_TRUE(m_session->TypeMove(0, "Surf"));
    EXPECT_FALSE(m_session->TypeMove(1, "Surfing"));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("No move is called"), std::string::npos);
    EXPECT_FALSE(m_session->TypeMove(1, "  ")) << "an empty field is no answer";
    EXPECT_EQ(m_sink.messages.size(), 1u);
    EXPECT_FALSE(m_session->TypePrice(2, std::string(500, '9')));
    ASSERT_EQ(m_sink.messages.size(), 2u);
    // A long text is quoted in part only.
    EXPECT_LT(m_sink.messages[1].text.size(), 200u);
    EXPECT_TRUE(m_session->TypePrice(2, "123"));
    EXPECT_EQ(m_session->StatusText(), "2 edits not saved");
    const TableTexts& texts = m_session->Texts();
    EXPECT_EQ(texts.MachineColumn(m_session->Edits(), 0), "TM01 Surf");
    EXPECT_EQ(texts.MachineCellToolTip(m_session->Edits(), {CellKind::Move, 0, 0}),
              "Not saved; the file holds Mega Punch");
}

TEST_F(TableEditorSessionTest, BlocksFollowTheRowsTheGridShows) {
    // Ticked, then Space over the same block clears it (its current cell is ticked).
    EXPECT_TRUE(m_session->SetSelection(Block(0, 0, 1, 1), true));
    EXPECT_EQ(m_session->CopySelection(Block(0, 0, 1, 2)), "1\t1\t0\n1\t1\t0\n");
    EXPECT_TRUE(m_session->ToggleSelection(Block(0, 0, 0, 2)));
    EXPECT_EQ(m_session->CopySelection(Block(0, 0, 1, 2)), "0\t0\t0\n1\t1\t0\n");

    // Filtered to Pikachu: a paste goes to its row alone; one row too many changes nothing.
    GridSelection pikachu;
    pikachu.shownSpecies = m_session->Texts().SpeciesShownFor("pika");
    pikachu.currentRow = 0;
    pikachu.currentColumn = 3;
    EXPECT_TRUE(m_session->PasteAtCurrent(pikachu, "1\t0\t1\r\n"));
    EXPECT_TRUE(m_session->Edits().Learns(24, 3));
    EXPECT_TRUE(m_session->Edits().Learns(24, 5));
    const int pending = m_session->Edits().PendingCount();
    EXPECT_FALSE(m_session->PasteAtCurrent(pikachu, "1\n1\n"));
    EXPECT_FALSE(m_session->PasteAtCurrent(pikachu, std::string(257 * 1024, '1')));
    EXPECT_EQ(m_sink.messages.size(), 2u);
    EXPECT_NE(m_sink.messages[1].text.find("at most 256 KB"), std::string::npos);
    EXPECT_EQ(m_session->Edits().PendingCount(), pending);
    EXPECT_TRUE(m_session->Enabled(TableCommand::Save));
    EXPECT_TRUE(m_session->Undo());
    EXPECT_FALSE(m_session->Edits().Learns(24, 3));
    EXPECT_TRUE(m_session->Redo());
    EXPECT_TRUE(m_session->Edits().Learns(24, 3));
}

TEST_F(TableEditorSessionTest, PendingEditsAreAskedAboutAndSavedOnce) {
    int saved = 0;
    m_session->SetTablesSaved([&saved] { ++saved; });
    EXPECT_TRUE(m_session->SettlePendingEdits()) << "nothing pending, nothing asked";
    EXPECT_TRUE(m_sink.pendingQuestions.empty());
    EXPECT_FALSE(TableEditorSettlesBefore(m_session.get(), m_path));
    EXPECT_TRUE(TableEditorSettlesBefore(m_session.get(), m_dir.File("other.gbc")));
    EXPECT_FALSE(TableEditorSettlesBefore(nullptr, m_dir.File("other.gbc")));

    ASSERT_TRUE(m_session->SetLearns(24, 0, true));
    EXPECT_FALSE(m_session->SettlePendingEdits()) << "Cancel keeps the edits";
    ASSERT_EQ(m_sink.pendingQuestions.size(), 1u);
    EXPECT_NE(m_sink.pendingQuestions[0].text.find("1 edit to \u201Crom.gbc\u201D"),
              std::string::npos);
    EXPECT_TRUE(m_session->HasPendingEdits());
    EXPECT_EQ(ReadFileBytes(m_path), m_before);

    m_sink.pendingAnswer = PendingEditsAnswer::Save;
    EXPECT_TRUE(m_session->SettlePendingEdits());
    EXPECT_EQ(saved, 1);
    Bytes expected = m_before;
    expected[FieldAt(ReleaseOf("AAUE"), 24, 0)] |= 0x01;
    EXPECT_EQ(ReadFileBytes(m_path), expected);
    EXPECT_FALSE(m_session->HasPendingEdits());

    // Another program changes the file: the notice says so and offers Reload, which keeps the
    // edits on top of it.
    ASSERT_TRUE(m_session->SetPrice(3, 777));
    Bytes changed = expected;
    PutPrice(changed, PriceAt(ReleaseOf("AAUE"), 1), 4321);
    WriteFileBytes(m_path, changed);
    EXPECT_TRUE(m_session->CheckFile());
    EXPECT_TRUE(m_session->OffersReload());
    EXPECT_NE(m_session->Notice().find("changed by another program"), std::string::npos);
    m_session->Reload();
    EXPECT_FALSE(m_session->OffersReload());
    EXPECT_EQ(m_session->Edits().Value({CellKind::Price, 1, 0}), 4321);
    EXPECT_EQ(m_session->Edits().Value({CellKind::Price, 3, 0}), 777);
}

}  // namespace
}  // namespace brindlewick::test
