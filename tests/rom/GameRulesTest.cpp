#include "rom/GameRules.h"

#include <gtest/gtest.h>

#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"

namespace brindlewick {
namespace {

using Moves = std::array<std::uint8_t, kMachineCount>;

const RomProfile& Gold() {
    return *Identify("AAUE");
}
const RomProfile& Crystal() {
    return *Identify("BYTE");
}

// The made-up moves of the test images: distinct, nonzero, no tutor move.
Moves Original() {
    return test::CartridgeMoves();
}

// A move no machine of `moves` teaches and no tutor move.
std::uint8_t UnusedMove(const Moves& moves) {
    for (int move = 1;; ++move) {
        const auto m = static_cast<std::uint8_t>(move);
        if (std::find(moves.begin(), moves.end(), m) == moves.end() &&
            std::find(kCrystalTutorMoves.begin(), kCrystalTutorMoves.end(), m) ==
                kCrystalTutorMoves.end()) {
            return m;
        }
    }
}

TEST(GameRules, ReleasesAndTheirListLengths) {
    int crystals = 0;
    for (const RomProfile& rom : SupportedRoms()) {
        const bool crystal = rom.gameName == " Pokémon Crystal";
        EXPECT_EQ(IsCrystal(rom), crystal) << rom.gameCode;
        EXPECT_EQ(MoveListLength(rom), crystal ? 61 : 58) << rom.gameCode;
        crystals += crystal ? 1 : 0;
    }
    EXPECT_EQ(crystals, 7);  // six languages and the Australian release
}

TEST(GameRules, AListTheGameCanUseHasNoBreach) {
    for (const RomProfile& rom : SupportedRoms()) {
        EXPECT_TRUE(FindBreaches(rom, Original()).empty()) << rom.gameCode;
    }
    // Machines without a move at the end of the list cut nothing off.
    Moves moves = Original();
    for (int k = 50; k < kMachineCount; ++k) {
        moves[k] = 0;
    }
    EXPECT_TRUE(FindBreaches(Gold(), moves).empty());
}

TEST(GameRules, MachineWithoutAMoveCutsOffTheMachinesAfterIt) {
    Moves moves = Original();
    moves[4] = 0;
    EXPECT_EQ(FindBreaches(Gold(), moves),
              (std::vector<GameRuleBreach>{{BreachKind::CutOff, 4, -1, 0}}));
    // Zeros up to HM06 cut off only because HM07 still teaches a move.
    moves = Original();
    for (int k = 50; k < kMachineCount - 1; ++k) {
        moves[k] = 0;
    }
    const auto breaches = FindBreaches(Gold(), moves);
    ASSERT_EQ(breaches.size(), 6u);
    EXPECT_EQ(breaches.front(), (GameRuleBreach{BreachKind::CutOff, 50, -1, 0}));
    EXPECT_EQ(breaches.back(), (GameRuleBreach{BreachKind::CutOff, 55, -1, 0}));
    moves[kMachineCount - 1] = 0;
    EXPECT_TRUE(FindBreaches(Gold(), moves).empty());
}

// In Crystal the tutor's moves follow HM07: a 0 anywhere cuts them off, HM07's included, and
// is asked about once, however many machines are 0.
TEST(GameRules, CrystalsTutorMovesAreCutOffByAnyMachineWithoutAMove) {
    Moves moves = Original();
    moves[kMachineCount - 1] = 0;
    EXPECT_TRUE(FindBreaches(Gold(), moves).empty());
    EXPECT_EQ(FindBreaches(Crystal(), moves),
              (std::vector<GameRuleBreach>{{BreachKind::TutorCutOff, kMachineCount - 1}}));
    EXPECT_EQ(NewBreaches(Crystal(), Original(), moves),
              (std::vector<GameRuleBreach>{{BreachKind::TutorCutOff, kMachineCount - 1}}));
    const std::string question = DescribeBreaches(NewBreaches(Crystal(), Original(), moves));
    EXPECT_NE(question.find("HM07 would teach nothing (N/A), and the move tutor would teach none "
                            "of its three moves"),
              std::string::npos)
        << question;

    // A 0 further up while the tutor is cut off already brings about only the machines' cut-off.
    Moves earlier = moves;
    earlier[20] = 0;
    EXPECT_EQ(NewBreaches(Crystal(), moves, earlier),
              (std::vector<GameRuleBreach>{{BreachKind::CutOff, 20}}));
    // From a list the game can use, both are told in one question.
    const auto both = NewBreaches(Crystal(), Original(), earlier);
    EXPECT_EQ(both, (std::vector<GameRuleBreach>{{BreachKind::CutOff, 20},
                                                 {BreachKind::TutorCutOff, 20}}));
    EXPECT_NE(DescribeBreaches(both).find("The move tutor would teach none of its three moves "
                                          "either"),
              std::string::npos);
}

TEST(GameRules, SharedMoveNamesTheFirstMachineWithIt) {
    Moves moves = Original();
    moves[10] = moves[3];
    moves[40] = moves[3];
    EXPECT_EQ(FindBreaches(Gold(), moves),
              (std::vector<GameRuleBreach>{{BreachKind::SharedMove, 10, 3, moves[3]},
                                           {BreachKind::SharedMove, 40, 3, moves[3]}}));
}

TEST(GameRules, TutorMovesBreachOnlyInCrystal) {
    Moves moves = Original();
    moves[7] = 0x55;   // Thunderbolt
    moves[52] = 0x3A;  // Ice Beam on HM03
    const std::vector<GameRuleBreach> expected{{BreachKind::TutorMove, 7, -1, 0x55},
                                               {BreachKind::TutorMove, 52, -1, 0x3A}};
    for (const RomProfile& rom : SupportedRoms()) {
        EXPECT_EQ(FindBreaches(rom, moves),
                  IsCrystal(rom) ? expected : std::vector<GameRuleBreach>{})
            << rom.gameCode;
    }
}

TEST(GameRules, NewBreachesIgnoreWhatTheFileAlreadyHas) {
    Moves before = Original();
    before[4] = 0;           // already cut off
    before[12] = before[2];  // already shared
    before[30] = 0x35;       // already a tutor move
    Moves after = before;
    after[20] = UnusedMove(before);  // a change that breaks nothing new
    EXPECT_TRUE(NewBreaches(Crystal(), before, after).empty());
    EXPECT_TRUE(NewBreaches(Crystal(), before, before).empty());

    after[9] = 0;
    after[33] = after[31];
    after[44] = 0x3A;
    EXPECT_EQ(NewBreaches(Crystal(), before, after),
              (std::vector<GameRuleBreach>{{BreachKind::CutOff, 9, -1, 0},
                                           {BreachKind::SharedMove, 33, 31, after[31]},
                                           {BreachKind::TutorMove, 44, -1, 0x3A}}));
    // Gold has no tutor: the same save brings only the first two about.
    EXPECT_EQ(NewBreaches(Gold(), before, after).size(), 2u);
    // Mending a breach brings nothing about.
    EXPECT_TRUE(NewBreaches(Crystal(), after, before).empty());
}

TEST(GameRules, QuestionNamesMachinesMovesAndConsequence) {
    Moves moves = Original();
    moves[4] = 0;
    moves[51] = 57;  // HM02 gets Surf ...
    moves[0] = 57;   // ... which TM01 teaches first
    moves[34] = 0x35;
    const std::string text = DescribeBreaches(FindBreaches(Crystal(), moves));
    EXPECT_NE(text.find("TM05 would teach nothing"), std::string::npos) << text;
    EXPECT_NE(text.find("every machine after it"), std::string::npos) << text;
    EXPECT_NE(text.find("HM02 would teach Surf, as TM01 does"), std::string::npos) << text;
    EXPECT_NE(text.find("TM01's compatibility"), std::string::npos) << text;
    EXPECT_NE(text.find("TM35 would teach Flamethrower, one of the move tutor's moves"),
              std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("Save all the same?")) << text;
}

TEST(GameRules, QuestionStaysShortForManyBreaches) {
    Moves moves{};
    moves.fill(33);  // every machine teaches Tackle: 56 share TM01's move
    const auto breaches = FindBreaches(Gold(), moves);
    ASSERT_EQ(breaches.size(), 56u);
    const std::string text = DescribeBreaches(breaches);
    EXPECT_NE(text.find("and 52 more machines"), std::string::npos) << text;
    EXPECT_EQ(text.find("HM07"), std::string::npos) << text;
    EXPECT_LT(text.size(), 1000u);
}

}  // namespace
}  // namespace brindlewick
