// Text in and out with the ROM's own names: the CSV written with them reads back as the same
// tables on every real extract, the import and Paste Compatibility take them, the default
// export keeps the lists' spellings, and the table editor's texts and filter follow the ROM.
#include <gtest/gtest.h>

#include "editor/MachineListText.h"
#include "editor/TableCommands.h"
#include "editor/TableEditorTexts.h"
#include "rom/NameMatching.h"
#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/TableLocation.h"
#include "support/CartridgeImage.h"
#include "support/Fixtures.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"
#include "tables/TypedInput.h"

namespace brindlewick {
namespace {

struct Extract {
    test::Fixture fixture;
    LocatedTables located;
    RomNames names;
    TableValues values;
};

std::optional<Extract> Open(std::string_view name) {
    auto fixture = test::LoadFixture(name);
    if (!fixture) {
        return std::nullopt;
    }
    const RomProfile* release = Identify(fixture->facts["game_code"].get<std::string>());
    Extract extract{std::move(*fixture), {}, {}, {}};
    extract.located = LocateTables(extract.fixture.image, *release);
    extract.names = ReadRomNames(extract.fixture.image, extract.located);
    const auto moves = extract.fixture.facts["machine_moves"].get<std::vector<int>>();
    for (std::size_t k = 0; k < moves.size(); ++k) {
        extract.values.moves[k] = static_cast<std::uint8_t>(moves[k]);
    }
    return extract;
}

#define OPEN_OR_SKIP(extract, name)                                                               \
    const std::optional<Extract> extract = Open(name);                                            \
    if (!extract) {                                                                               \
        GTEST_SKIP() << "the extracts of real builds are not at " << test::FixturesDir().string() \
                     << " (fixture " << (name) << ")";                                            \
    }

std::vector<std::string> CsvLines(const std::string& csv) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < csv.size()) {
        const auto end = csv.find('\n', at);
        lines.push_back(csv.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

TEST(RomNamesCsv, WrittenWithTheRomsNamesItReadsBackUnchangedOnEveryExtract) {
    for (const std::string_view name : test::kFixtureNames) {
        SCOPED_TRACE(std::string(name));
        OPEN_OR_SKIP(extract, name);
        TableValues values = extract->values;
        // Every move in some machine, so that every move name is written and read back.
        for (std::size_t k = 0; k < values.moves.size(); ++k) {
            values.moves[k] = static_cast<std::uint8_t>(1 + (k * 4) % 251);
        }
        const std::string csv = ExportCsv(values, extract->names);
        const GameNameMatcher matcher(extract->names);
        CsvProblems problems;
        TableValues other{};  // the current values differ everywhere the CSV speaks
        const auto back = ParseTablesCsv(csv, other, matcher, problems);
        ASSERT_TRUE(back) << problems.Describe();
        EXPECT_EQ(back->moves, values.moves);
        EXPECT_EQ(back->fields, values.fields);
        // The species rows name the species as the ROM does, or by number where a name could
        // not be read back as that one species.
        const auto species =
            extract->fixture.facts["species_names"].get<std::vector<std::string>>();
        const std::vector<std::string> lines = CsvLines(csv);
        const std::string first = lines[3].substr(0, lines[3].find(','));
        EXPECT_TRUE(first == species[0] || first == "1") << first;
    }
}

TEST(RomNamesCsv, TheDefaultExportKeepsTheListsSpellings) {
    OPEN_OR_SKIP(extract, "crystal-fr");
    const std::vector<std::string> lines = CsvLines(ExportCsv(extract->values));
    EXPECT_EQ(lines[3].substr(0, lines[3].find(',')), "Bulbasaur");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(',', 5)), "move,Dynamicpunch");
    const std::vector<std::string> rom = CsvLines(ExportCsv(extract->values, extract->names));
    EXPECT_EQ(rom[3].substr(0, rom[3].find(',')), "BULBIZARRE");
    EXPECT_EQ(rom[0], lines[0]);
}

TEST(RomNamesCsv, AnImportTakesTheRomsNamesAsNamesAreMatched) {
    OPEN_OR_SKIP(extract, "crystal-fr");
    const GameNameMatcher matcher(extract->names);
    // ECRAS'FACE is Pound (1), written in other cases and blanks; the lists' names still work.
    EXPECT_EQ(matcher.MatchMove("ecras face").index, 1);
    EXPECT_EQ(matcher.MatchMove("Ecras'Face").index, 1);
    EXPECT_EQ(matcher.MatchMove("Pound").index, 1);
    EXPECT_EQ(matcher.MatchMove("Swords Dance").index, 14);
    EXPECT_EQ(matcher.MatchSpecies("bulbizarre").index, 0);
    EXPECT_EQ(matcher.MatchSpecies("Bulbasaur").index, 0);
    EXPECT_FALSE(matcher.MatchMove("no such move").index);

    // The same in a whole CSV: the French names of TM01's move and of Bulbasaur.
    std::string csv = ExportCsv(extract->values);
    csv.replace(csv.find("Dynamicpunch"), std::string("Dynamicpunch").size(), "ECRAS'FACE");
    csv.replace(csv.find("Bulbasaur"), std::string("Bulbasaur").size(), "Bulbizarre");
    CsvProblems problems;
    const auto target = ParseTablesCsv(csv, extract->values, matcher, problems);
    ASSERT_TRUE(target) << problems.Describe();
    EXPECT_EQ(target->moves[0], 1);
    // Without the ROM's names the French name is no move.
    CsvProblems without;
    EXPECT_FALSE(ParseTablesCsv(csv, extract->values, without));
    EXPECT_NE(without.Describe().find("no move is called \"ECRAS'FACE\""), std::string::npos);
}

// Paste Compatibility takes a move by the ROM's name too: every machine that teaches it.
TEST(RomNamesCsv, PasteCompatibilityNamesAMoveAsTheRomDoes) {
    OPEN_OR_SKIP(extract, "crystal-fr");
    const auto moves = extract->fixture.facts["machine_moves"].get<std::vector<int>>();
    const auto names = extract->fixture.facts["move_names"].get<std::vector<std::string>>();
    MachineMoves taught{};
    std::copy(moves.begin(), moves.end(), taught.begin());
    const std::string tm05 = names[static_cast<std::size_t>(moves[4] - 1)];
    const MachineListReading reading =
        ReadMachineList("TM01; " + tm05, taught, GameNameMatcher(extract->names));
    ASSERT_TRUE(reading.machines) << reading.problem;
    MachineSet expected{};
    expected[0] = expected[4] = true;
    EXPECT_EQ(*reading.machines, expected);
}

// A modified game whose ROM names clash with the lists': a name that the lists give one move
// and the ROM another is taken by neither, and is written as a number.
TEST(RomNamesCsv, ANameTheListsAndTheRomGiveDifferentEntriesIsTakenByNeither) {
    RomNames names;
    names.looked = true;
    names.moves.assign(kMoveCount, "");
    for (int m = 1; m < kMoveCount; ++m) {
        names.moves[static_cast<std::size_t>(m)] = "M" + std::to_string(m);
    }
    names.moves[1] = "TACKLE";  // the lists' Tackle is move 33
    names.moves[2] = "SAME";
    names.moves[3] = "SAME";
    const GameNameMatcher matcher(names);
    EXPECT_TRUE(matcher.MatchMove("Tackle").ambiguous);
    EXPECT_FALSE(matcher.MatchMove("Tackle").index);
    EXPECT_TRUE(matcher.MatchMove("same").ambiguous);
    EXPECT_EQ(matcher.MatchMove("m33").index, 33);
    TableValues values{};
    values.moves[0] = 1;
    values.moves[1] = 2;
    values.moves[2] = 33;
    const std::vector<std::string> lines = CsvLines(ExportCsv(values, names));
    EXPECT_TRUE(lines[1].starts_with("move,1,2,M33,N/A,")) << lines[1];
}

// A modified game that gave move 1 the name the lists give move 33: typed alone, the name is
// refused as naming two moves; picked from the editor's list, where no other move shows it, it
// is move 1.
TEST(TableEditorTexts, AMoveNamePickedFromTheListIsThatMove) {
    RomNames names;
    names.moves.assign(kMoveCount, "");
    names.moves[1] = "TACKLE";
    names.moves[33] = "HEADBUTT2";
    const TableTexts texts(names);
    const TypedValue alone = ParseTypedMove("Tackle", texts.Matcher());
    EXPECT_FALSE(alone.value);
    EXPECT_NE(alone.refusal.find("names more than one move"), std::string::npos);
    EXPECT_EQ(ParseTypedMove("tackle", texts.Matcher(), texts.MoveChoices()).value, 1);
    EXPECT_EQ(ParseTypedMove("headbutt2", texts.Matcher(), texts.MoveChoices()).value, 33);
    // Two moves shown by one name are neither.
    names.moves[2] = "TACKLE";
    const TableTexts twice(names);
    EXPECT_FALSE(ParseTypedMove("tackle", twice.Matcher(), twice.MoveChoices()).value);
}

TEST(RomNamesCsv, HiraganaAndKatakanaMatchAlike) {
    EXPECT_EQ(FoldKana("ひとかげ ヒトカゲ abc"), "ヒトカゲ ヒトカゲ abc");
    RomNames names;
    names.species.assign(kSpeciesCount, "");
    names.species[3] = "ヒトカゲ";
    names.species[4] = "リザード";
    names.moves.assign(kMoveCount, "");
    names.moves[52] = "ひのこ";
    const GameNameMatcher matcher(names);
    EXPECT_EQ(matcher.MatchSpecies("ひとかげ").index, 3);
    EXPECT_EQ(matcher.MatchSpecies("ヒトカゲ").index, 3);
    EXPECT_EQ(matcher.MatchSpecies(" ひと・かげ ").index, 3);
    EXPECT_EQ(matcher.MatchMove("ヒノコ").index, 52);
    // Another name in kana is no match: kana count as letters, they are not dropped.
    EXPECT_FALSE(matcher.MatchSpecies("ひとかげた").index);
    EXPECT_FALSE(matcher.MatchSpecies("とかげ").index);
    EXPECT_EQ(ParseTypedMove("ひのこ", matcher).value, 52);
    EXPECT_FALSE(ParseTypedMove("ひのこの", matcher).value);
}

// Check ROM says where the names were read, and for a game whose names cannot be, why and that
// the lists' names stand for them.
TEST(RomNamesCsv, CheckRomTellsWhereTheNamesWereRead) {
    OPEN_OR_SKIP(extract, "gold-ja");
    const test::TempDir dir;
    const std::string path = dir.File("gold-ja.gbc");
    test::WriteFileBytes(path, extract->fixture.image);
    const std::string text = DescribeRomCheck(path);
    EXPECT_NE(text.find("The species names were read from the game in Japanese at 0x53A09 (5 "
                        "bytes each). The move names were read at 0x4163E. The 28 type names "
                        "were read at 0x50A9E."),
              std::string::npos)
        << text;
    test::Bytes broken = extract->fixture.image;
    broken[static_cast<std::size_t>(extract->names.speciesAt)] = 0x00;
    test::WriteFileBytes(path, broken);
    EXPECT_NE(DescribeRomCheck(path).find("The species names could not be read (the name of "
                                          "species 1 at 0x53A09 holds the byte 0x00, which "
                                          "Japanese does not define): the list's names stand "
                                          "for them."),
              std::string::npos)
        << DescribeRomCheck(path);
}

TEST(TableEditorTexts, RowsHeadersAndTheFilterFollowTheRom) {
    OPEN_OR_SKIP(extract, "crystal-fr");
    const TableTexts texts(extract->names);
    EXPECT_EQ(texts.SpeciesRow(24), "025 PIKACHU");
    EXPECT_EQ(texts.SpeciesTypes(0), "PLANTE/POISON");
    EXPECT_EQ(texts.SpeciesTypes(3), "FEU");
    EXPECT_EQ(texts.Move(1), "ECRAS'FACE");
    EXPECT_EQ(texts.Move(0), "N/A");
    EXPECT_EQ(texts.Move(0xFC), "byte FC");
    EXPECT_EQ(texts.MachineHeader(0, 1), "TM01 ECRAS'FACE");
    EXPECT_EQ(texts.MoveChoices().size(), 252u);
    const auto typed = [&texts](std::string_view move) {
        return ParseTypedMove(move, texts.Matcher(), texts.MoveChoices()).value;
    };
    EXPECT_EQ(typed("ecras'face"), 1);
    EXPECT_EQ(typed("pound"), 1);
    EXPECT_EQ(texts.SpeciesRowToolTip(0), "001 BULBIZARRE (PLANTE/POISON)");
    EXPECT_EQ(texts.FilterPlaceholder(), "name, number or type:feu");
    // Names and numbers as before, the ROM's name or the list's.
    EXPECT_TRUE(texts.SpeciesShown(0, "bulbi"));
    EXPECT_TRUE(texts.SpeciesShown(0, "bulba"));
    EXPECT_TRUE(texts.SpeciesShown(24, "025"));
    EXPECT_FALSE(texts.SpeciesShown(24, "bulbi"));
    // A type by the ROM's name or its number; another language's name is no type here.
    EXPECT_TRUE(texts.SpeciesShown(3, "type:feu"));
    EXPECT_TRUE(texts.SpeciesShown(3, "Type: FEU"));
    EXPECT_TRUE(texts.SpeciesShown(3, "type:20"));
    EXPECT_FALSE(texts.SpeciesShown(3, "type:fire"));
    EXPECT_TRUE(texts.SpeciesShown(0, "type:poison"));
    EXPECT_TRUE(texts.SpeciesShown(0, "type:plante"));
    EXPECT_FALSE(texts.SpeciesShown(0, "type:feu"));
    EXPECT_TRUE(texts.SpeciesShown(0, "type:"));
    EXPECT_EQ(texts.TypeFilterExample(), "type:feu");
    EXPECT_EQ(TableTexts().TypeFilterExample(), "type:fire");
}

TEST(TableEditorTexts, RenumberedTypesAndUnreadableNames) {
    RomNames names;
    names.looked = true;
    names.types = {"NORMAL", "FAIRY"};
    names.speciesTypes.assign(kSpeciesCount, {0, 0});
    names.speciesTypes[34] = {1, 1};
    const TableTexts texts(names);
    EXPECT_TRUE(texts.SpeciesShown(34, "type:fairy"));
    EXPECT_FALSE(texts.SpeciesShown(33, "type:fairy"));
    EXPECT_EQ(texts.SpeciesTypes(34), "FAIRY");
    // The lists name what could not be read, and the window is told so.
    EXPECT_EQ(texts.SpeciesRow(133), "134 Vapereon");
    EXPECT_EQ(texts.Move(14), "words Dance");
    EXPECT_NE(texts.NamesNotice().find("species names could not be read"), std::string::npos);

    // Without type names, a type is only taken by its number.
    RomNames noTypes = names;
    noTypes.types.clear();
    const TableTexts numbered(noTypes);
    EXPECT_FALSE(numbered.SpeciesShown(34, "type:fairy"));
    EXPECT_TRUE(numbered.SpeciesShown(34, "type:1"));
    EXPECT_EQ(numbered.SpeciesTypes(34), "type 1");
}

}  // namespace
}  // namespace brindlewick
