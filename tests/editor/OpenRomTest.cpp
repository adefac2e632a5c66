#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "editor/EditorFixture.h"
#include "rom/RomProfile.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

// Everything of the editor state but the game code, which records the last file read.
auto Tie(const EditorState& state) {
    return std::tie(state.RomPath, state.SelectedSpecies, state.Profile);
}

using OpenRomTest = EditorTest;

TEST_F(OpenRomTest, ShowsTheReleaseAndLoadsTheFirstMachineAndSpecies) {
    Poke(MoveAt(kGoldEnglish, 0), {0x0F});
    Poke(PriceAt(kGoldEnglish, 0), {0xB8, 0x0B});
    Poke(FieldAt(kGoldEnglish, 0, 0), {0x05, 0, 0, 0, 0, 0, 0x04, 0x01});

    OpenRom();

    EXPECT_EQ(m_view.dialogsShown, 1);

    Shown expected;
    expected.gameName = " Pokémon Gold";
    expected.gameCode = "AAUE";
    expected.language = "English";
    expected.caption = "AAUE - Brindlewick";
    expected.machine = 0;
    expected.move = 0x0F;
    expected.price = "3000";
    expected.species = 0;
    for (const int machine : {0, 2, 50, 56}) {  // TM01, TM03, HM01, HM07
        expected.checked[machine] = true;
    }
    expected.editingEnabled = true;
    EXPECT_EQ(m_view.shown, expected);

    const EditorState& state = m_editor.State();
    EXPECT_EQ(state.GameCode, "AAUE");
    ASSERT_NE(state.Profile, nullptr);
    EXPECT_EQ(state.Profile->gameCode, "AAUE");
    EXPECT_EQ(state.Profile->TmMovesOffset, 72294);
    EXPECT_EQ(state.Profile->BaseStatsOffset, 334603);
    EXPECT_EQ(state.Profile->TmPricesOffset, 28114);
    EXPECT_EQ(state.SelectedSpecies, 0);
}

// Nothing that stops an open may disturb what is shown or the file being edited, whether or
// not a ROM was open before.
TEST_F(OpenRomTest, CancelledRefusedOrFailedOpenChangesNothing) {
    const std::string unsupported = MakeSyntheticRom(m_dir, "AAUX", "other.gbc");
    const std::string lowerCase = MakeSyntheticRom(m_dir, "aaue", "lower.gbc");
    const std::string japaneseTypo = MakeSyntheticRom(m_dir, "BYTJ", "bytj.gb");
    const std::string tooShort = MakeSyntheticRom(m_dir, "AAUE", "short.gbc", 0x142);
    // Identified, but Celebi's field (the last byte of English Gold's tables) is missing.
    const std::string cutShort = MakeSyntheticRom(m_dir, "AAUE", "cut.gbc", 342634);
    const std::string folder = m_dir.File("folder.gbc");
    fs::create_directory(PathFromUtf8(folder));
    const Message unsupportedMessage{"Unsupported ROM", "Brindlewick", MessageIcon::Information};

    const struct {
        const char* what;
        std::string answer;
        const char* gameCodeAfter;  // nullptr: unchanged
        std::function<void(const std::vector<Message>&)> checkMessages;
    } rows[] = {
        {"cancelled", "", nullptr, [](auto& m) { EXPECT_TRUE(m.empty()); }},
        {"unsupported", unsupported, "AAUX",
         [&](auto& m) {
             ASSERT_EQ(m.size(), 1u);
             EXPECT_EQ(m[0].text, unsupportedMessage.text);
             EXPECT_EQ(m[0].title, unsupportedMessage.title);
             EXPECT_EQ(m[0].icon, unsupportedMessage.icon);
         }},
        {"lower case", lowerCase, "aaue", [](auto& m) { ASSERT_EQ(m.size(), 1u); }},
        {"BYTJ", japaneseTypo, "BYTJ", [](auto& m) { ASSERT_EQ(m.size(), 1u); }},
        {"too short", tooShort, nullptr,
         [&](auto& m) {
             ASSERT_EQ(m.size(), 1u);
             EXPECT_EQ(m[0].text, unsupportedMessage.text);
         }},
        {"tables cut short", cutShort, "AAUE",
         [](auto& m) {
             ASSERT_EQ(m.size(), 1u);
             EXPECT_EQ(m[0].title, "Error: 1007");
             EXPECT_EQ(m[0].icon, MessageIcon::None);
         }},
        {"vanished", m_dir.File("gone.gbc"), nullptr,
         [](auto& m) {
             ASSERT_EQ(m.size(), 1u);
             EXPECT_EQ(m[0].title.rfind("Error: ", 0), 0u);
         }},
        {"folder", folder, nullptr,
         [](auto& m) {
             ASSERT_EQ(m.size(), 1u);
             EXPECT_EQ(m[0].title.rfind("Error: ", 0), 0u);
         }},
    };
    for (const bool romOpenBefore : {false, true}) {
        if (romOpenBefore) {
            m_sink.Clear();
            OpenRom();
            m_view.shown.move = 7;  // an unsaved edit survives a failed open as well
        }
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.what) + (romOpenBefore ? " after a ROM" : " first"));
            const Shown shownBefore = m_view.shown;
            const EditorState stateBefore = m_editor.State();
            m_sink.Clear();

            Open(row.answer);

            row.checkMessages(m_sink.messages);
            EXPECT_EQ(m_view.shown, shownBefore);
            EXPECT_EQ(Tie(m_editor.State()), Tie(stateBefore));
            EXPECT_EQ(m_editor.State().GameCode,
                      row.gameCodeAfter ? row.gameCodeAfter : stateBefore.GameCode);
        }
    }
}

// An open changes nothing of a file, its read-only mark included, whether or not it is
// supported; a save into a read-only ROM asks first, and only a yes makes it writable.
TEST_F(OpenRomTest, ReadOnlyStaysSoUntilASaveIsAllowedToChangeIt) {
    const std::string refused = MakeSyntheticRom(m_dir, "ZZZZ", "refused.gbc");
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read;
    for (const std::string& path : {refused, m_rom}) {
        fs::permissions(PathFromUtf8(path), readOnly);
        const auto before = fs::status(PathFromUtf8(path)).permissions();
        Open(path);
        EXPECT_EQ(fs::status(PathFromUtf8(path)).permissions(), before) << path;
    }
    const Bytes original = ReadFileBytes(m_rom);
    m_view.shown.price = "4242";
    const auto before = fs::status(PathFromUtf8(m_rom)).permissions();
    m_sink.Clear();
    m_editor.SaveRom();
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(m_sink.questions[0].text,
              "\u201Crom.gbc\u201D is marked read-only. Make it writable and save?");
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_EQ(fs::status(PathFromUtf8(m_rom)).permissions(), before);

    m_sink.Clear();
    m_sink.answer = true;
    m_editor.SaveRom();
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].text, kSaveSucceededMessage);
    EXPECT_NE(fs::status(PathFromUtf8(m_rom)).permissions() & fs::perms::owner_write,
              fs::perms::none);
    Bytes expected = original;
    PutPrice(expected, PriceAt(kGoldEnglish, 0), 4242);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

TEST_F(OpenRomTest, SecondOpenReplacesEverythingAndReloadsFromTheNewFile) {
    OpenRom();
    const Release& crystal = ReleaseOf("BYTE");
    const std::string second = MakeSyntheticRom(m_dir, crystal.code, "crystal.gbc");
    {
        std::fstream file(PathFromUtf8(second), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(MoveAt(crystal, 0)).put(char{33});
        file.seekp(PriceAt(crystal, 0)).put(char{0x2C}).put(char{0x01});
        for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
            file.seekp(FieldAt(crystal, 0, fieldByte)).put(char{0});
        }
        file.seekp(FieldAt(crystal, 0, 1)).put(char{0x02});  // TM10
    }
    // Unsaved edits while TM01 and the first species are still selected.
    m_view.shown.move = 200;
    m_view.shown.price = "12";
    m_view.shown.checked.fill(true);

    Open(second);

    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(m_view.shown.caption, "BYTE - Brindlewick");
    EXPECT_EQ(m_view.shown.gameName, " Pokémon Crystal");
    EXPECT_EQ(m_view.shown.gameCode, "BYTE");
    EXPECT_EQ(m_view.shown.language, "English");
    EXPECT_EQ(m_editor.State().RomPath, second);
    ASSERT_NE(m_editor.State().Profile, nullptr);
    EXPECT_EQ(static_cast<std::size_t>(m_editor.State().Profile->TmMovesOffset), crystal.moves);
    EXPECT_EQ(static_cast<std::size_t>(m_editor.State().Profile->BaseStatsOffset),
              crystal.baseStats);
    EXPECT_EQ(static_cast<std::size_t>(m_editor.State().Profile->TmPricesOffset), crystal.prices);
    EXPECT_EQ(m_view.shown.move, 33);
    EXPECT_EQ(m_view.shown.price, "300");
    std::array<bool, kMachineCount> expectedChecks{};
    expectedChecks[9] = true;
    EXPECT_EQ(m_view.shown.checked, expectedChecks);
}

// A file chosen without the dialog (the command line, a drop) runs the rest of the same
// workflow: the dialog is not shown, the release is applied, a refusal says the same.
TEST_F(OpenRomTest, OpenRomPathIsTheWorkflowAfterItsDialog) {
    const Release& australian = ReleaseOf("BYTU");
    const std::string rom = MakeSyntheticRom(m_dir, australian.code, "australia.gbc");
    m_editor.OpenRomPath(rom);
    EXPECT_EQ(m_view.dialogsShown, 0);
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(m_view.shown.caption, "BYTU - Brindlewick");
    EXPECT_EQ(m_view.shown.language, "English (Australia)");
    EXPECT_EQ(m_editor.State().RomPath, rom);
    EXPECT_TRUE(m_view.shown.editingEnabled);

    m_editor.OpenRomPath(MakeSyntheticRom(m_dir, "AAUX", "other.gbc"));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].text, "Unsupported ROM");
    EXPECT_EQ(m_editor.State().RomPath, rom);
    EXPECT_EQ(m_view.shown.caption, "BYTU - Brindlewick");
}

}  // namespace
}  // namespace brindlewick::test
