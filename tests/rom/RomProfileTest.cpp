#include "rom/RomProfile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "rom/GameCode.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

struct ExpectedRow {
    const char* code;
    const char* name;
    const char* language;
    std::int32_t moves, baseStats, prices;
};

// The releases as published for users, digit by digit, in the order they are tested.
constexpr ExpectedRow kExpected[] = {
    {"AAUE", " Pokémon Gold", "English", 0x11A66, 0x51B0B, 0x6DD2},
    {"AAXE", " Pokémon Silver", "English", 0x11A66, 0x51B0B, 0x6D98},
    {"BYTE", " Pokémon Crystal", "English", 0x1167A, 0x51424, 0x6CF3},
    {"AAUS", " Pokémon Gold", "Spanish", 0x11A79, 0x51B19, 0x6E1A},
    {"AAXS", " Pokémon Silver", "Spanish", 0x11A79, 0x51B19, 0x6DE2},
    {"BYTS", " Pokémon Crystal", "Spanish", 0x1168D, 0x5142D, 0x6D12},
    {"AAUJ", " Pokémon Gold", "Japanese", 0x11A00, 0x51AA9, 0x70C5},
    {"AAXJ", " Pokémon Silver", "Japanese", 0x11A00, 0x51AA9, 0x708A},
    {"BXTJ", " Pokémon Crystal", "Japanese", 0x11614, 0x514BA, 0x6F2C},
    {"AAUD", " Pokémon Gold", "German", 0x11A5D, 0x51B00, 0x6E09},
    {"AAXD", " Pokémon Silver", "German", 0x11A5D, 0x51B00, 0x6DD0},
    {"BYTD", " Pokémon Crystal", "German", 0x11671, 0x5140E, 0x6D14},
    {"AAUF", " Pokémon Gold", "French", 0x11A65, 0x51B10, 0x6E07},
    {"AAXF", " Pokémon Silver", "French", 0x11A65, 0x51B10, 0x6DCD},
    {"BYTF", " Pokémon Crystal", "French", 0x11679, 0x51417, 0x6D0D},
    {"AAUI", " Pokémon Gold", "Italian", 0x11A65, 0x51B19, 0x6E04},
    {"AAXI", " Pokémon Silver", "Italian", 0x11A65, 0x51B19, 0x6DCA},
    {"BYTI", " Pokémon Crystal", "Italian", 0x11679, 0x51433, 0x6D0C},
};

TEST(SupportedRoms, EveryRowMatchesThePublishedTable) {
    const auto& roms = SupportedRoms();
    ASSERT_EQ(std::size(kExpected), roms.size());
    for (std::size_t i = 0; i < roms.size(); ++i) {
        SCOPED_TRACE(kExpected[i].code);
        EXPECT_EQ(roms[i].gameCode, kExpected[i].code);
        EXPECT_EQ(roms[i].gameName, kExpected[i].name);
        EXPECT_EQ(roms[i].language, kExpected[i].language);
        EXPECT_EQ(roms[i].windowTitle, std::string(kExpected[i].code) + " - Brindlewick");
        EXPECT_EQ(roms[i].TmMovesOffset, kExpected[i].moves);
        EXPECT_EQ(roms[i].BaseStatsOffset, kExpected[i].baseStats);
        EXPECT_EQ(roms[i].TmPricesOffset, kExpected[i].prices);
    }
}

TEST(SupportedRoms, RegularitiesOfTheTable) {
    const auto& roms = SupportedRoms();
    const std::map<char, std::string> languages{{'E', "English"},  {'S', "Spanish"},
                                                {'J', "Japanese"}, {'D', "German"},
                                                {'F', "French"},   {'I', "Italian"}};
    std::set<std::string> codes;
    for (std::size_t i = 0; i < roms.size(); i += 3) {
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
            EXPECT_EQ(rom->gameCode.size(), 4u);
            EXPECT_EQ(rom->language, languages.at(rom->gameCode[3]));
            EXPECT_EQ(rom->gameName[0], ' ');
            EXPECT_LT(rom->TmPricesOffset, 0x8000);
            codes.insert(rom->gameCode);
        }
    }
    EXPECT_EQ(codes.size(), 18u);
    EXPECT_EQ(Identify("BXTJ")->TmMovesOffset, 0x11614);
    EXPECT_EQ(Identify("AAUI")->TmMovesOffset, Identify("AAUF")->TmMovesOffset);
    EXPECT_EQ(Identify("AAUI")->BaseStatsOffset, Identify("AAUS")->BaseStatsOffset);
    EXPECT_EQ(Identify("BYTF")->TmMovesOffset, Identify("BYTI")->TmMovesOffset);
    EXPECT_NE(Identify("BYTF")->BaseStatsOffset, Identify("BYTI")->BaseStatsOffset);
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
    for (const char* refused : {"aaue", "AAUe", "BYTJ", "AAUX", "AAU", "AAUEE", "", "AAU "}) {
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
