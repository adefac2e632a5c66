// The machine list text of the clipboard and the learners of one machine.
#include <gtest/gtest.h>

#include "editor/Learners.h"
#include "editor/MachineListText.h"
#include "support/TestSupport.h"

namespace brindlewick::test {
namespace {

MachineSet Only(std::initializer_list<int> machines) {
    MachineSet set{};
    for (const int machine : machines) {
        set[static_cast<std::size_t>(machine)] = true;
    }
    return set;
}

TEST(MachineListText, NamesTheMachinesInOrder) {
    // A species that learns nothing is copied as a word that pastes back to no machines.
    EXPECT_EQ(FormatMachineList(Only({})), "none");
    EXPECT_EQ(ParseMachineList(FormatMachineList(Only({}))), Only({}));
    EXPECT_EQ(ParseMachineList(" None\n"), Only({}));
    EXPECT_EQ(FormatMachineList(Only({56, 0, 2})), "TM01 TM03 HM07");
    MachineSet all{};
    all.fill(true);
    const std::string text = FormatMachineList(all);
    EXPECT_EQ(text.rfind("TM01 TM02 ", 0), 0u);
    EXPECT_EQ(text.size(), 57u * 5 - 1);
    EXPECT_EQ(ParseMachineList(text), all);
}

TEST(MachineListText, ReadsNamesInAnyCaseOrderAndSeparation) {
    EXPECT_EQ(ParseMachineList("TM01 TM03 HM07"), Only({0, 2, 56}));
    EXPECT_EQ(ParseMachineList("hm07,tm03;\r\n\tTm01  TM01"), Only({0, 2, 56}));
    EXPECT_EQ(ParseMachineList("TM50 HM01"), Only({49, 50}));
}

// Nothing to paste (no text, blanks alone) and text far longer than any list are no list.
TEST(MachineListText, NothingToPasteAndHugeTextAreNoList) {
    for (const char* text : {"", " \n\t,", "none TM01"}) {
        EXPECT_EQ(ParseMachineList(text), std::nullopt) << text;
    }
    std::string huge;
    while (huge.size() <= kMaxMachineListText) {
        huge += "TM01 ";
    }
    EXPECT_EQ(ParseMachineList(huge), std::nullopt);
}

TEST(MachineListText, RefusesTextThatIsNotAListOfMachines) {
    for (const char* text : {"TM51", "HM08", "TM00", "TM1", "TM01 Bulbasaur", "TM01TM02", "TM-01",
                             "12", "TM01 HM07 x"}) {
        EXPECT_EQ(ParseMachineList(text), std::nullopt) << text;
    }
}

// Moves as the open ROM teaches them: TM01 Headbutt (29), TM02 and HM05 Swords Dance (14),
// HM07 Surf (57); the others teach nothing anyone names here.
MachineMoves SomeMoves() {
    MachineMoves moves{};
    moves.fill(-1);
    moves[0] = 29;
    moves[1] = 14;
    moves[54] = 14;
    moves[56] = 57;
    return moves;
}

TEST(MachineListText, MachinesMayBeNamedByTheirMovesAsTheGamesSpellThem) {
    const MachineMoves moves = SomeMoves();
    EXPECT_EQ(ReadMachineList("Headbutt, SWORDS DANCE", moves).machines, Only({0, 1, 54}));
    EXPECT_EQ(ReadMachineList("head butt\nHM07", moves).machines, Only({0, 56}));
    EXPECT_EQ(ReadMachineList("TM03 TM04; surf", moves).machines, Only({2, 3, 56}));
    EXPECT_EQ(ReadMachineList("TM01 TM03 HM07", moves).machines, Only({0, 2, 56}));
    // Separators alone are nothing to paste, not a list of no machines ("none" is that).
    EXPECT_EQ(ReadMachineList(" ; ", moves).machines, std::nullopt);
    EXPECT_EQ(ReadMachineList("", moves).machines, std::nullopt);
    EXPECT_EQ(ReadMachineList("none", moves).machines, Only({}));

    const MachineListReading unknown = ReadMachineList("TM01, Sword Dance", moves);
    EXPECT_EQ(unknown.machines, std::nullopt);
    EXPECT_EQ(unknown.problem,
              "\u201CSword Dance\u201D is neither a machine nor a move; did you mean "
              "\"Swords Dance\"?");
    const MachineListReading untaught = ReadMachineList("Explosion", moves);
    EXPECT_EQ(untaught.machines, std::nullopt);
    EXPECT_EQ(untaught.problem, "No machine teaches Explosion in this ROM.");
    // Blanks still separate machine names only: a move and a machine in one part are neither.
    EXPECT_EQ(ReadMachineList("Surf TM01", moves).machines, std::nullopt);
}

TEST(Learners, AreTheSpeciesWhoseFieldHasTheMachinesBit) {
    const TempDir dir;
    const Release& gold = ReleaseOf("AAUE");
    const auto kBaseStats = static_cast<std::int32_t>(gold.baseStats);
    Bytes image = SyntheticRomBytes(gold.code);
    // Clear every field, then give HM07 (bit 0 of byte 7) to species 0 and 250 and TM10 (bit 1
    // of byte 1) to species 3; a neighbouring bit of HM07's byte set for species 5 must not
    // count.
    for (int species = 0; species < 251; ++species) {
        for (int j = 0; j < 8; ++j) {
            image[FieldAt(gold, species, j)] = 0;
        }
    }
    image[FieldAt(gold, 0, 7)] = 0x01;
    image[FieldAt(gold, 250, 7)] = 0x0F;
    image[FieldAt(gold, 3, 1)] = 0x02;
    image[FieldAt(gold, 5, 7)] = 0x02;
    const std::string rom = dir.File("rom.gbc");
    WriteFileBytes(rom, image);

    EXPECT_EQ(ReadLearners(rom, kBaseStats, 56), (std::vector<int>{0, 250}));
    EXPECT_EQ(ReadLearners(rom, kBaseStats, 9), (std::vector<int>{3}));
    EXPECT_EQ(ReadLearners(rom, kBaseStats, 0), (std::vector<int>{}));
    EXPECT_EQ(ReadFileBytes(rom), image);
}

TEST(Learners, NothingWhenTheTableCannotBeRead) {
    const TempDir dir;
    const RecordingSink sink;
    EXPECT_EQ(ReadLearners(dir.File("gone.gbc"), 334603, 0), std::nullopt);
    EXPECT_EQ(sink.messages.size(), 1u);
    const std::string shortRom = MakeSyntheticRom(dir, "AAUE", "short.gbc", 300000);
    EXPECT_EQ(ReadLearners(shortRom, 334603, 0), std::nullopt);
    EXPECT_EQ(ReadLearners(shortRom, 0, 57), std::nullopt);
}

}  // namespace
}  // namespace brindlewick::test
