// Real-looking cartridge images in the editor: an untouched one opens and saves as any other
// file; one whose tables lie elsewhere (a modified game with the original game code) is shown
// but never saved into; and a save that would give the game a move list it cannot use is asked
// about first. Files without a valid header checksum go by the game code alone, as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "editor/EditorFixture.h"
#include "rom/GameRules.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "support/CartridgeImage.h"

namespace brindlewick::test {
namespace {

// What the window is made to show before a save: one machine and one species with edits.
struct Edit {
    int machine = 4;
    int species = 250;
    int move = 0;
    int price = 4242;
    std::uint64_t bits = 0x0155'5555'5555'5555;  // machine k ticked when bit k is set
};

// A move whose giving to a machine breaks none of the game's rules.
int FreeMove() {
    return CartridgeFreeMoves().front();
}

// `image` with exactly the 11 bytes of a save of `edit` changed, at the model's addresses.
Bytes Saved(Bytes image, const Release& release, const Edit& edit) {
    image[MoveAt(release, edit.machine)] = static_cast<std::uint8_t>(edit.move);
    image[PriceAt(release, edit.machine)] = static_cast<std::uint8_t>(edit.price & 0xFF);
    image[PriceAt(release, edit.machine) + 1] = static_cast<std::uint8_t>(edit.price >> 8);
    for (int fieldByte = 0; fieldByte < kFieldLength; ++fieldByte) {
        const auto value = static_cast<std::uint8_t>(edit.bits >> (8 * fieldByte));
        std::uint8_t& stored = image[FieldAt(release, edit.species, fieldByte)];
        // Bits 1..7 of the last byte (the tutor flags in Crystal) are written back as stored.
        stored = fieldByte < kFieldLength - 1 ? value
                                              : static_cast<std::uint8_t>((stored & 0xFE) | value);
    }
    return image;
}

Shown Identified(const Release& release) {
    Shown shown;
    shown.gameName = std::string(release.gameName);
    shown.gameCode = std::string(release.code);
    shown.language = std::string(release.language);
    shown.caption = std::string(release.windowTitle);
    shown.editingEnabled = true;
    return shown;
}

class RealCartridge : public EditorTest {
protected:
    // Writes `image` as the ROM and opens it; the messages of the open stay recorded.
    void OpenImage(const Bytes& image) {
        m_rom = m_dir.File("cartridge.gbc");
        WriteFileBytes(m_rom, image);
        m_sink.Clear();
        Open(m_rom);
    }
    void SaveEdit(const Edit& edit) {
        SelectMachine(edit.machine);
        SelectSpecies(edit.species);
        m_view.shown.move = edit.move;
        m_view.shown.price = std::to_string(edit.price);
        for (int box = 0; box < kMachineCount; ++box) {
            m_view.shown.checked[box] = ((edit.bits >> box) & 1u) != 0;
        }
        Save();
    }
    void ExpectSaveRefused() const {
        EXPECT_TRUE(m_sink.questions.empty());
        ASSERT_EQ(m_sink.messages.size(), 1u);
        const Message& message = m_sink.messages[0];
        EXPECT_EQ(message.text.rfind(kSaveRefusedPrefix, 0), 0u) << message.text;
        EXPECT_NE(message.text.find("will not save into it"), std::string::npos) << message.text;
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }
};

class EveryReleaseImage : public RealCartridge, public ::testing::WithParamInterface<Release> {};

// An untouched image passes the check: it opens without a message and a save writes exactly
// the 11 bytes, as for any other file.
TEST_P(EveryReleaseImage, UntouchedImageOpensAndSavesAsBefore) {
    const Release& release = GetParam();
    const Bytes image = CartridgeImageBytes(LayoutOf(release));
    OpenImage(image);
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_TRUE(m_editor.State().RealCartridge);
    EXPECT_EQ(m_view.shown.caption, release.windowTitle);

    Edit edit;
    edit.machine = 56;
    edit.move = FreeMove();
    SaveEdit(edit);
    EXPECT_TRUE(m_sink.questions.empty());
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(image, release, edit));
}

// A table that does not lie where the release keeps it: the file is identified and shown as
// usual, with one message saying why it will not be saved into; then every save is refused
// with that reason and leaves the file byte-identical.
TEST_P(EveryReleaseImage, MovedTableIsShownButNeverSavedInto) {
    const Release& release = GetParam();
    CartridgeOptions baseStats;
    baseStats.baseStatsShift = 12;
    CartridgeOptions items;
    items.itemRecordsShifted = true;
    CartridgeOptions moves;
    moves.moveListShift = 16;
    const struct {
        const char* what;
        CartridgeOptions options;
        CheckedTable table;
    } rows[] = {
        {"base stats moved by 12 bytes", baseStats, CheckedTable::BaseStats},
        {"item records moved by one record", items, CheckedTable::ItemRecords},
        {"move list moved", moves, CheckedTable::MoveList},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes image = CartridgeImageBytes(LayoutOf(release), row.options);
        OpenImage(image);

        ASSERT_EQ(m_sink.messages.size(), 1u);
        const Message& message = m_sink.messages[0];
        EXPECT_EQ(message.icon, MessageIcon::Information);
        EXPECT_EQ(message.title, "Brindlewick");
        EXPECT_NE(message.text.find(TableName(row.table)), std::string::npos) << message.text;
        EXPECT_NE(message.text.find("modified game"), std::string::npos) << message.text;
        EXPECT_TRUE(m_sink.questions.empty());

        // Identified and shown as any other file of the release: the selections read the file.
        Shown expected = Identified(release);
        expected.machine = 0;
        expected.species = 0;
        expected.move = m_view.shown.move;
        expected.price = m_view.shown.price;
        expected.checked = m_view.shown.checked;
        EXPECT_EQ(m_view.shown, expected);
        EXPECT_EQ(m_editor.State().RomPath, m_rom);

        // Refused without edits, with edits and after another selection, before anything of
        // the save's own checks (a bad price would otherwise be reported instead).
        Save();
        ExpectSaveRefused();
        SaveEdit(Edit{});
        ExpectSaveRefused();
        m_view.shown.price = "";
        Save();
        ExpectSaveRefused();
        EXPECT_EQ(ReadFileBytes(m_rom), image);
    }
}

INSTANTIATE_TEST_SUITE_P(Releases, EveryReleaseImage, ::testing::ValuesIn(kReleases),
                         [](const auto& info) { return std::string(info.param.code); });

// Without a valid header checksum the file is no image that boots: it goes by its game code
// alone, so even a moved table opens without a message and a save writes as asked.
TEST_F(RealCartridge, FileWithoutValidHeaderBehavesAsBefore) {
    CartridgeOptions options;
    options.breakHeaderChecksum = true;
    options.baseStatsShift = 12;
    const Bytes image = CartridgeImageBytes(LayoutOf(kGoldEnglish), options);
    OpenImage(image);
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_FALSE(m_editor.State().RealCartridge);

    Edit edit;
    edit.move = FreeMove();
    SaveEdit(edit);
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(image, kGoldEnglish, edit));
}

// After a refused file, opening a sound one lifts the refusal: it belongs to the file opened.
TEST_F(RealCartridge, RefusalBelongsToTheFileOpened) {
    CartridgeOptions options;
    options.baseStatsShift = 12;
    OpenImage(CartridgeImageBytes(LayoutOf(kGoldEnglish), options));
    ASSERT_EQ(m_sink.messages.size(), 1u);

    const Bytes sound = CartridgeImageBytes(LayoutOf(kGoldEnglish));
    const std::string other = m_dir.File("sound.gbc");
    WriteFileBytes(other, sound);
    m_sink.Clear();
    Open(other);
    EXPECT_TRUE(m_sink.messages.empty());
    m_rom = other;
    Edit edit;
    edit.move = FreeMove();
    SaveEdit(edit);
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(other), Saved(sound, kGoldEnglish, edit));
}

// One of the game's rules for the move list, as a save can break it.
struct RuleCase {
    const char* what;
    const char* code;
    int machine;
    int move;
    GameRuleBreach breach;  // what the question must name
};

void PrintTo(const RuleCase& rule, std::ostream* out) {
    *out << rule.what;
}

std::vector<RuleCase> RuleCases() {
    const auto& moves = CartridgeMoves();
    return {
        {"a machine without a move cuts off those after it",
         "AAXE",
         10,
         0,
         {BreachKind::CutOff, 10, -1, 0}},
        {"a move already taught by an earlier machine",
         "AAUD",
         20,
         moves[5],
         {BreachKind::SharedMove, 20, 5, moves[5]}},
        {"a tutor move given to a machine in Crystal",
         "BYTE",
         30,
         0x55,
         {BreachKind::TutorMove, 30, -1, 0x55}},
    };
}

class GameRuleQuestion : public RealCartridge, public ::testing::WithParamInterface<RuleCase> {
protected:
    Edit EditOf(const RuleCase& rule) const {
        Edit edit;
        edit.machine = rule.machine;
        edit.move = rule.move;
        return edit;
    }
};

// Asked once, naming the machines, when the save brings the breach about; Cancel writes
// nothing and shows nothing more, Save writes the 11 bytes.
TEST_P(GameRuleQuestion, AskedWhenTheSaveBringsItAbout) {
    const RuleCase& rule = GetParam();
    const Release& release = ReleaseOf(rule.code);
    const Bytes image = CartridgeImageBytes(LayoutOf(release));
    OpenImage(image);
    ASSERT_TRUE(m_sink.messages.empty());

    m_sink.answer = false;
    SaveEdit(EditOf(rule));
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(m_sink.questions[0].text, DescribeBreaches({rule.breach}));
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_rom), image);

    m_sink.answer = true;
    SaveEdit(EditOf(rule));
    EXPECT_EQ(m_sink.questions.size(), 1u);
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(image, release, EditOf(rule)));

    // The file has it now: saving the same again asks nothing.
    SaveEdit(EditOf(rule));
    EXPECT_TRUE(m_sink.questions.empty());
    ExpectOnlySuccessMessage();
}

// Not asked when the file already breaks the rule in the same way, nor for a file without a
// valid header checksum, which goes by its game code alone.
TEST_P(GameRuleQuestion, NotAskedWhenTheFileHasItOrHasNoValidHeader) {
    const RuleCase& rule = GetParam();
    const Release& release = ReleaseOf(rule.code);
    m_sink.answer = false;

    Bytes already = CartridgeImageBytes(LayoutOf(release));
    already[MoveAt(release, rule.machine)] = static_cast<std::uint8_t>(rule.move);
    OpenImage(already);
    ASSERT_TRUE(m_sink.messages.empty());  // the check leaves the machines' moves alone
    SaveEdit(EditOf(rule));
    EXPECT_TRUE(m_sink.questions.empty());
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(already, release, EditOf(rule)));

    CartridgeOptions options;
    options.breakHeaderChecksum = true;
    const Bytes synthetic = CartridgeImageBytes(LayoutOf(release), options);
    OpenImage(synthetic);
    ASSERT_TRUE(m_sink.messages.empty());
    SaveEdit(EditOf(rule));
    EXPECT_TRUE(m_sink.questions.empty());
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(synthetic, release, EditOf(rule)));
}

INSTANTIATE_TEST_SUITE_P(Rules, GameRuleQuestion, ::testing::ValuesIn(RuleCases()),
                         [](const auto& info) { return std::to_string(info.index); });

// Gold and Silver have no tutor moves in the list: giving a machine one is no breach there.
TEST_F(RealCartridge, TutorMoveIsFreeOutsideCrystal) {
    const Bytes image = CartridgeImageBytes(LayoutOf(kGoldEnglish));
    OpenImage(image);
    Edit edit;
    edit.machine = 30;
    edit.move = 0x55;
    SaveEdit(edit);
    EXPECT_TRUE(m_sink.questions.empty());
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(image, kGoldEnglish, edit));
}

// When the file was also changed elsewhere, that is asked first; declining it asks nothing
// more, and going on through both questions writes the save.
TEST_F(RealCartridge, ChangeElsewhereIsAskedBeforeTheGameRule) {
    const Bytes image = CartridgeImageBytes(LayoutOf(kGoldEnglish));
    OpenImage(image);
    Edit edit;
    edit.machine = 10;
    edit.move = 0;
    SelectMachine(edit.machine);
    SelectSpecies(edit.species);
    Bytes changed = image;
    changed[PriceAt(kGoldEnglish, edit.machine)] ^= 0x01;
    Poke(PriceAt(kGoldEnglish, edit.machine), {changed[PriceAt(kGoldEnglish, edit.machine)]});

    const auto saveWithoutReloading = [&] {
        m_view.shown.move = edit.move;
        m_view.shown.price = std::to_string(edit.price);
        for (int box = 0; box < kMachineCount; ++box) {
            m_view.shown.checked[box] = ((edit.bits >> box) & 1u) != 0;
        }
        Save();
    };
    m_sink.answer = false;
    saveWithoutReloading();
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_NE(m_sink.questions[0].text.find("has been changed"), std::string::npos);
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_rom), changed);

    m_sink.answer = true;
    saveWithoutReloading();
    ASSERT_EQ(m_sink.questions.size(), 2u);
    EXPECT_EQ(m_sink.questions[1].text, DescribeBreaches({{BreachKind::CutOff, 10, -1, 0}}));
    ExpectOnlySuccessMessage();
    EXPECT_EQ(ReadFileBytes(m_rom), Saved(changed, kGoldEnglish, edit));
}

}  // namespace
}  // namespace brindlewick::test
