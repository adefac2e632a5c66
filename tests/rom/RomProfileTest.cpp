#include "rom/RomProfile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "rom/GameCode.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

// The program's table against the tests' model of the releases (support/Cartridge.h), which
// every other test takes its addresses from.
TEST(SupportedRoms, EveryRowMatchesThePublishedTable) {
    const auto& roms = SupportedRoms();
    ASSERT_EQ(test::kReleases.size(), roms.size());
    for (std::size_t i = 0; i < roms.size(); ++i) {
        const test::Release& expected = test::kReleases[i];
        SCOPED_TRACE(std::string(expected.code));
        EXPECT_EQ(roms[i].gameCode, expected.code);
        EXPECT_EQ(roms[i].gameName, expected.gameName);
        EXPECT_EQ(roms[i].language, expected.language);
        EXPECT_EQ(roms[i].windowTitle, expected.windowTitle);
        EXPECT_EQ(roms[i].windowTitle, std::string(expected.code) + " - Brindlewick");
        EXPECT_EQ(static_cast<std::size_t>(roms[i].TmMovesOffset), expected.moves);
        EXPECT_EQ(static_cast<std::size_t>(roms[i].BaseStatsOffset), expected.baseStats);
        EXPECT_EQ(static_cast<std::size_t>(roms[i].TmPricesOffset), expected.prices);
    }
}

TEST(SupportedRoms, RegularitiesOfTheTable) {
    const auto& roms = SupportedRoms();
    const std::map<char, std::string> languages{{'E', "English"},  {'S', "Spanish"},
                                                {'J', "Japanese"}, {'D', "German"},
                                                {'F', "French"},   {'I', "Italian"}};
    constexpr std::size_t kLanguageRows = 18;
    ASSERT_EQ(roms.size(), kLanguageRows + 1);
    std::set<std::string> codes;
    for (std::size_t i = 0; i < kLanguageRows; i += 3) {
        const RomProfile& gold = roms[i];
        const RomProfile& silver = roms[i + 1];
        const RomProfile& crystal = roms[i + 2];
        SCOPED_TRACE(gold.gameCode);
        EXPECT_EQ(gold.gameCode.substr(0, 3), "AAU");
        EXPECT_EQ(silver.gameCode.substr(0, 3), "AAX");
        EXPECT_EQ(gold.TmMovesOffset, silver.TmMovesOffset);
        EXPECT_EQ(gold.BaseStatsOffset, silver.BaseStatsOffset);
        EXPECT_NE(gold.TmPricesOffset, silver.TmPricesOffset);
        EXPECT_NE(crystal.TmMovesOffset, gold.TmMovesOffset);
        EXPECT_NE(crystal.BaseStatsOffset, gold.BaseStatsOffset);
        EXPECT_NE(crystal.TmPricesOffset, gold.TmPricesOffset);
        for (const RomProfile* rom : {&gold, &silver, &crystal}) {
            EXPECT_EQ(rom->language, languages.at(rom->gameCode[3]));
        }
    }
    for (const RomProfile& rom : roms) {
        SCOPED_TRACE(rom.gameCode);
        EXPECT_EQ(rom.gameCode.size(), 4u);
        EXPECT_EQ(rom.gameName[0], ' ');
        EXPECT_LT(rom.TmPricesOffset, 0x8000);
        codes.insert(rom.gameCode);
    }
    EXPECT_EQ(codes.size(), roms.size());
    EXPECT_EQ(Identify("BXTJ")->TmMovesOffset, 0x11614);
    EXPECT_EQ(Identify("AAUI")->TmMovesOffset, Identify("AAUF")->TmMovesOffset);
    EXPECT_EQ(Identify("AAUI")->BaseStatsOffset, Identify("AAUS")->BaseStatsOffset);
    EXPECT_EQ(Identify("BYTF")->TmMovesOffset, Identify("BYTI")->TmMovesOffset);
    EXPECT_NE(Identify("BYTF")->BaseStatsOffset, Identify("BYTI")->BaseStatsOffset);
}

// The Australian Crystal comes last and keeps the English Crystal's tables, so that the rows
// of the 18 keep their places and their numbers.
TEST(SupportedRoms, AustralianCrystalFollowsTheEighteen) {
    const auto& roms = SupportedRoms();
    const RomProfile& australian = roms.back();
    const RomProfile* english = Identify("BYTE");
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(&australian, Identify("BYTU"));
    EXPECT_EQ(australian.gameName, english->gameName);
    EXPECT_EQ(australian.language, "English (Australia)");
    EXPECT_EQ(australian.windowTitle, "BYTU - Brindlewick");
    EXPECT_EQ(australian.TmMovesOffset, english->TmMovesOffset);
    EXPECT_EQ(australian.BaseStatsOffset, english->BaseStatsOffset);
    EXPECT_EQ(australian.TmPricesOffset, english->TmPricesOffset);
    EXPECT_EQ(english - roms.data(), 2);
    EXPECT_EQ(Identify("BYTI") - roms.data(), 17);
}

TEST(Identify, MatchesExactlyAndCaseSensitively) {
    for (const auto& rom : SupportedRoms()) {
        EXPECT_EQ(Identify(rom.gameCode), &rom);
    }
    const auto* silver = Identify("AAXE");
    ASSERT_NE(silver, nullptr);
    EXPECT_EQ(silver->TmMovesOffset, 0x11A66);
    EXPECT_EQ(silver->BaseStatsOffset, 0x51B0B);
    EXPECT_EQ(silver->TmPricesOffset, 0x6D98);
    EXPECT_EQ(Identify("BXTJ")->windowTitle, "BXTJ - Brindlewick");
    for (const char* refused :
         {"aaue", "AAUe", "BYTJ", "AAUX", "AAU", "AAUEE", "", "AAU ", "bytu", "BYTA"}) {
        EXPECT_EQ(Identify(refused), nullptr) << refused;
    }
    EXPECT_EQ(Identify(std::string_view("AAU\0", 4)), nullptr);
}

TEST(ReadGameCode, ReadsTheFourHeaderBytes) {
    test::TempDir dir;
    test::RecordingSink sink;
    std::string code;
    EXPECT_EQ(ReadGameCode(test::MakeSyntheticRom(dir, "BXTJ"), code), GameCodeRead::Read);
    EXPECT_EQ(code, "BXTJ");
    // Exactly long enough: the code field is the last four bytes.
    EXPECT_EQ(ReadGameCode(test::MakeSyntheticRom(dir, "AAUE", "exact.gb", 0x143), code),
              GameCodeRead::Read);
    EXPECT_EQ(code, "AAUE");
    EXPECT_TRUE(sink.messages.empty());
}

TEST(ReadGameCode, ShortFilesAreNotSupportedAndMissingFilesFail) {
    test::TempDir dir;
    test::RecordingSink sink;
    std::string code = "keep";
    EXPECT_EQ(ReadGameCode(test::MakeSyntheticRom(dir, "AAUE", "short.gb", 0x142), code),
              GameCodeRead::TooShort);
    EXPECT_EQ(ReadGameCode(test::MakeSyntheticRom(dir, "", "empty.gb", 0), code),
              GameCodeRead::TooShort);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(ReadGameCode(dir.File("missing.gbc"), code), GameCodeRead::Failed);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].title.rfind("Error: ", 0), 0u);
    EXPECT_EQ(code, "keep");
}

}  // namespace
}  // namespace brindlewick
