#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"
#include "tables/ImportPlan.h"
#include "tables/TablesCsv.h"

namespace brindlewick {
namespace {

// Every value a file may hold: moves that name no move, and field bits that stand for no
// machine, included.
TableValues RandomValues(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    TableValues values;
    for (auto& move : values.moves) {
        move = static_cast<std::uint8_t>(byte(random));
    }
    for (auto& price : values.prices) {
        price = static_cast<std::uint16_t>(byte(random) * 256 + byte(random));
    }
    for (auto& field : values.fields) {
        for (auto& fieldByte : field) {
            fieldByte = static_cast<std::uint8_t>(byte(random));
        }
    }
    return values;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The three header rows of `values`, as export writes them.
std::string HeaderRows(const TableValues& values) {
    const std::vector<std::string> lines = Lines(ExportCsv(values));
    return lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n";
}

std::string Bits(const std::vector<int>& learned) {
    std::string bits;
    for (int machine = 0; machine < kMachineCount; ++machine) {
        bits += std::find(learned.begin(), learned.end(), machine) != learned.end() ? ",1" : ",0";
    }
    return bits;
}

std::optional<TableValues> Parse(const std::string& text, const TableValues& current,
                                 CsvProblems& problems) {
    return ParseTablesCsv(text, current, problems);
}

TEST(TablesCsv, ExportLayout) {
    TableValues values{};
    values.moves[0] = 15;    // Cut
    values.moves[56] = 255;  // names no move
    values.prices[0] = 3000;
    values.prices[56] = 65535;
    values.fields[0] = {0x05, 0, 0, 0, 0, 0, 0, 0xFF};    // TM01, TM03, HM07 and the tutor bits
    values.fields[250] = {0, 0, 0, 0, 0, 0, 0x04, 0xFE};  // HM01; the tutor bits are no machine
    const std::vector<std::string> lines = Lines(ExportCsv(values));
    ASSERT_EQ(lines.size(), 3u + kSpeciesCount);
    std::string header = "species";
    for (int machine = 0; machine < kMachineCount; ++machine) {
        header += "," + MachineName(machine);
    }
    EXPECT_EQ(lines[0], header);
    EXPECT_EQ(lines[1].substr(0, 17), "move,Cut,N/A,N/A,");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), ",255");
    EXPECT_EQ(lines[2].substr(0, 12), "price,3000,0");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 6), ",65535");
    // Names are trimmed: the list's "Bulbasaur " is written without its blank.
    EXPECT_EQ(lines[3], "Bulbasaur" + Bits({0, 2, 56}));
    EXPECT_EQ(lines[4], "Ivysaur" + Bits({}));
    EXPECT_EQ(lines[253], "Celebi" + Bits({50}));
}

TEST(TablesCsv, ExportThenParseGivesTheSameValues) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const TableValues values = RandomValues(seed);
        CsvProblems problems;
        const auto parsed = Parse(ExportCsv(values), values, problems);
        ASSERT_TRUE(parsed) << problems.Describe();
        EXPECT_EQ(*parsed, values) << "seed " << seed;
    }
}

TEST(TablesCsv, NamesAreTakenTrimmedCaselessOrByNumber) {
    const TableValues current = RandomValues(7);
    std::vector<std::string> lines = Lines(ExportCsv(current));
    // TM01 to TM04 by other spellings of the same moves, TM05 by number.
    std::string move = "move, surf ,FLY,\"thunder punch\",0,251";
    std::string rest = lines[1];
    for (int skipped = 0; skipped < 6; ++skipped) {
        rest = rest.substr(rest.find(',') + 1);
    }
    lines[1] = move + "," + rest;
    std::string csv = lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n";
    csv += "  MR. MIME " + Bits({1}) + "\r\n";
    csv += "251" + Bits({56}) + "\r\n";
    csv += "nidoran (f)" + Bits({0, 49}) + "\r\n";
    CsvProblems problems;
    const auto parsed = Parse(csv, current, problems);
    ASSERT_TRUE(parsed) << problems.Describe();
    EXPECT_EQ(parsed->moves[0], 57);   // Surf
    EXPECT_EQ(parsed->moves[1], 19);   // Fly
    EXPECT_EQ(parsed->moves[2], 9);    // Thunder Punch
    EXPECT_EQ(parsed->moves[3], 0);    // N/A
    EXPECT_EQ(parsed->moves[4], 251);  // Beat Up
    for (std::size_t k = 5; k < kMachineCount; ++k) {
        EXPECT_EQ(parsed->moves[k], current.moves[k]) << k;
    }
    EXPECT_EQ(parsed->prices, current.prices);

    // Only the machine bits of the species with a row change; bits 1..7 of byte 7 are kept.
    for (std::size_t s = 0; s < kSpeciesCount; ++s) {
        if (s == 121 || s == 250 || s == 28) {
            continue;
        }
        EXPECT_EQ(parsed->fields[s], current.fields[s]) << s;
    }
    const auto expectField = [&](std::size_t species, std::vector<int> learned) {
        CompatibilityField field{};
        for (const int machine : learned) {
            SetLearns(field, machine, true);
        }
        field[7] = static_cast<std::uint8_t>((current.fields[species][7] & 0xFE) | field[7]);
        EXPECT_EQ(parsed->fields[species], field) << species;
    };
    expectField(121, {1});
    expectField(250, {56});
    expectField(28, {0, 49});
}

// A name written with fullwidth or superscript digits is the name with ASCII digits, as a
// Japanese input method types it; a name with any other character is refused with the
// nearest names, never taken for the entry without that character.
TEST(TablesCsv, LookAlikeNamesAreTheirAsciiAndNoCharacterIsDropped) {
    const TableValues current{};
    std::string header = HeaderRows(current);
    header.replace(header.find("move,N/A"), 8, "move,Conversion\uFF12");
    for (const char* name : {"Porygon\uFF12", "Porygon\u00B2"}) {
        CsvProblems problems;
        const auto parsed = Parse(header + name + Bits({0}) + "\n", current, problems);
        ASSERT_TRUE(parsed) << problems.Describe();
        EXPECT_EQ(parsed->moves[0], 176);  // Conversion2, not Conversion
        EXPECT_TRUE(Learns(parsed->fields[232], 0)) << name;
        EXPECT_FALSE(Learns(parsed->fields[136], 0)) << name;
    }
    CsvProblems problems;
    EXPECT_FALSE(Parse(header + "Pikach\u00FC" + Bits({0}) + "\n", current, problems));
    EXPECT_EQ(problems.Describe(),
              "line 4, column 1: no species is called \"Pikach\u00FC\"; did you mean "
              "\"Pikachu\"?");
}

// A spreadsheet saved in a German, French, Spanish or Italian setting separates its fields with
// semicolons, and some copy them with tabs: the first line shows which, and the file reads as
// the same tables. A first line that fits no reading says what was expected.
TEST(TablesCsv, SemicolonsAndTabsAreReadWhereTheFirstLineShowsThem) {
    const TableValues values = RandomValues(3);
    const std::string csv = ExportCsv(values);
    ASSERT_EQ(csv.find('"'), std::string::npos);
    for (const char separator : {';', '\t'}) {
        std::string other = csv;
        std::replace(other.begin(), other.end(), ',', separator);
        CsvProblems problems;
        const auto parsed = Parse(other, TableValues{}, problems);
        ASSERT_TRUE(parsed) << problems.Describe();
        EXPECT_EQ(parsed->moves, values.moves);
        EXPECT_EQ(parsed->prices, values.prices);
        for (int species = 0; species < kSpeciesCount; ++species) {
            for (int machine = 0; machine < kMachineCount; ++machine) {
                ASSERT_EQ(Learns(parsed->fields[species], machine),
                          Learns(values.fields[species], machine));
            }
        }
    }
    const std::vector<std::string> lines = Lines(csv);
    std::string mixed = lines[0];
    mixed[mixed.find(',')] = ';';
    CsvProblems problems;
    EXPECT_FALSE(Parse(mixed + "\n" + lines[1] + "\n" + lines[2] + "\n", values, problems));
    ASSERT_FALSE(problems.Reported().empty());
    EXPECT_EQ(problems.Reported()[0].text,
              "2 columns separated by semicolons, as the first line shows; expected 58 (species, "
              "TM01 ... HM07), each row separated the same way");
    std::string piped = csv;
    std::replace(piped.begin(), piped.end(), ',', '|');
    problems = {};
    EXPECT_FALSE(Parse(piped, values, problems));
    EXPECT_EQ(problems.Reported()[0].text.rfind(
                  "expected the header row (species, TM01 ... HM07) with its fields separated by "
                  "commas, semicolons or tabs, found \"species|TM01|",
                  0),
              0u)
        << problems.Reported()[0].text;
}

struct BadCell {
    int line;
    int column;
    std::string replacement;  // the new text of that cell
    std::string said;         // a part of the problem's text
};

// Replaces the field at 1-based `column` of 1-based `line`.
std::string WithCell(const std::string& csv, int line, int column, const std::string& text) {
    std::vector<std::string> lines = Lines(csv);
    std::string& target = lines[static_cast<std::size_t>(line - 1)];
    std::size_t start = 0;
    for (int c = 1; c < column; ++c) {
        start = target.find(',', start) + 1;
    }
    const std::size_t end = std::min(target.find(',', start), target.size());
    target.replace(start, end - start, text);
    std::string out;
    for (const std::string& l : lines) {
        out += l + "\n";
    }
    return out;
}

TEST(TablesCsv, EachBadCellIsPointedAtByLineAndColumn) {
    const TableValues current = RandomValues(3);
    const std::string csv = ExportCsv(current);
    const std::vector<BadCell> cases = {
        {1, 1, "kind", "expected the header row"},
        {1, 3, "TM03", "expected TM02"},
        {2, 1, "moves", "expected move"},
        {2, 2, "Surfing", "no move is called \"Surfing\""},
        {2, 58, "252", "no move has the number 252"},
        {2, 10, "-1", "no move is called"},
        {3, 2, "65536", "not a whole number from 0 to 65535"},
        {3, 5, "12.5", "not a whole number"},
        {3, 6, "", "not a whole number"},
        {4, 1, "Bulbasaurus", "no species is called"},
        {5, 1, "0", "no species has the number 0"},
        {6, 1, "252", "no species has the number 252"},
        {7, 3, "yes", "expected 1 or 0"},
        {254, 58, "2", "HM07: expected 1 or 0"},
    };
    for (const BadCell& bad : cases) {
        TableValues probe = current;
        // A move number above 251 is accepted only where the file holds it already.
        probe.moves[56] = 15;
        CsvProblems problems;
        const auto parsed =
            Parse(WithCell(bad.line == 2 && bad.column == 58 ? ExportCsv(probe) : csv, bad.line,
                           bad.column, bad.replacement),
                  probe, problems);
        EXPECT_FALSE(parsed);
        ASSERT_EQ(problems.Total(), 1u) << bad.replacement << ": " << problems.Describe();
        EXPECT_EQ(problems.Reported()[0].line, bad.line) << bad.replacement;
        EXPECT_EQ(problems.Reported()[0].column, bad.column) << bad.replacement;
        EXPECT_NE(problems.Reported()[0].text.find(bad.said), std::string::npos)
            << problems.Reported()[0].text;
    }
}

TEST(TablesCsv, RowsMayBeLeftOutButNotRepeated) {
    const TableValues current = RandomValues(4);
    CsvProblems none;
    const auto headerOnly = Parse(HeaderRows(current), current, none);
    ASSERT_TRUE(headerOnly) << none.Describe();
    EXPECT_EQ(*headerOnly, current);

    const std::string csv =
        HeaderRows(current) + "Pikachu" + Bits({}) + "\n" + "25" + Bits({1}) + "\n";
    CsvProblems problems;
    EXPECT_FALSE(Parse(csv, current, problems));
    ASSERT_EQ(problems.Total(), 1u);
    EXPECT_EQ(problems.Reported()[0].line, 5);
    EXPECT_NE(problems.Reported()[0].text.find("on line 4"), std::string::npos);
}

TEST(TablesCsv, ColumnCountAndMissingRowsAreRefused) {
    const TableValues current = RandomValues(5);
    const std::string header = HeaderRows(current);
    CsvProblems shortRow;
    EXPECT_FALSE(Parse(header + "Pikachu,1,0\n", current, shortRow));
    ASSERT_EQ(shortRow.Total(), 1u);
    EXPECT_EQ(shortRow.Reported()[0].line, 4);
    EXPECT_EQ(shortRow.Reported()[0].column, 4);

    CsvProblems longRow;
    EXPECT_FALSE(Parse(header + "Pikachu" + Bits({}) + std::string(1'000, ','), current, longRow));
    ASSERT_EQ(longRow.Total(), 1u);
    EXPECT_EQ(longRow.Reported()[0].column, 59);
    EXPECT_NE(longRow.Reported()[0].text.find("1058 columns"), std::string::npos);

    CsvProblems missing;
    EXPECT_FALSE(Parse(Lines(header)[0] + "\n", current, missing));
    EXPECT_EQ(missing.Total(), 2u);  // the move row and the price row

    CsvProblems empty;
    EXPECT_FALSE(Parse("\r\n\n", current, empty));
    EXPECT_EQ(empty.Total(), 1u);
}

TEST(TablesCsv, EveryProblemIsFoundNotOnlyTheFirst) {
    const TableValues current = RandomValues(6);
    std::string csv = HeaderRows(current);
    for (int species = 1; species <= 30; ++species) {
        csv += std::to_string(species) + Bits({}).replace(1, 1, "x") + "\n";
    }
    CsvProblems problems;
    EXPECT_FALSE(Parse(csv, current, problems));
    EXPECT_EQ(problems.Total(), 30u);
    EXPECT_EQ(problems.Reported().size(), kMaxReportedProblems);
    EXPECT_NE(problems.Describe().find("... and 10 more problems"), std::string::npos);
}

// A CSV built to hurt: a quoted field of a million line ends, a name of a megabyte, a row of
// very many bad cells. The answer comes quickly, names at most 20 problems, quotes at most 40
// characters of a field and keeps every problem on one line.
TEST(TablesCsv, HostileFieldsGiveBoundedProblems) {
    const TableValues current{};
    const std::string header = HeaderRows(current);
    const std::vector<std::string> lines = Lines(ExportCsv(current));
    std::string badMoves = "move";
    for (int k = 0; k < kMachineCount; ++k) {
        badMoves += ",\xE2\x80\xA6" + std::string(5000, 'x');
    }
    const std::vector<std::string> hostile{
        header + "\"" + std::string(kMaxCsvBytes / 2, '\n') + "\"" + Bits({}) + "\n",
        header + std::string(kMaxCsvBytes - header.size() - 200, 'N') + Bits({}) + "\n",
        lines[0] + "\n" + badMoves + "\n" + lines[2] + "\n",
    };
    for (const std::string& text : hostile) {
        SCOPED_TRACE(text.size());
        const auto start = std::chrono::steady_clock::now();
        CsvProblems problems;
        EXPECT_FALSE(ParseTablesCsv(text, current, problems));
        const std::string described = problems.Describe();
        // Bounded work, not speed (the bench measures that), also under the sanitizers.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        ASSERT_FALSE(problems.Reported().empty());
        EXPECT_LE(problems.Reported().size(), kMaxReportedProblems);
        for (const CsvProblem& problem : problems.Reported()) {
            EXPECT_LE(problem.text.size(), 200u) << problem.text.substr(0, 300);
            EXPECT_EQ(problem.text.find('\n'), std::string::npos);
        }
        EXPECT_LE(described.size(), 21u * 240u);
    }
}

TEST(ImportPlan, OnlyChangedBytesAtTheirOffsets) {
    const RomProfile& crystal = *Identify("BYTE");
    const TableValues current = RandomValues(8);
    TableValues target = current;
    EXPECT_TRUE(PlanImport(RowPlaces(crystal), current, target).Empty());

    target.moves[4] = static_cast<std::uint8_t>(current.moves[4] ^ 1);            // TM05
    target.prices[28] = static_cast<std::uint16_t>(current.prices[28] ^ 0x0100);  // TM29 high
    SetLearns(target.fields[250], 56, !Learns(current.fields[250], 56));          // Celebi HM07
    const ImportPlan plan = PlanImport(RowPlaces(crystal), current, target);
    const std::vector<ByteChange> expected = {
        {crystal.TmMovesOffset + 4, current.moves[4], target.moves[4]},
        {crystal.TmPricesOffset + 7 * 30 + 1, static_cast<std::uint8_t>(current.prices[28] >> 8),
         static_cast<std::uint8_t>(target.prices[28] >> 8)},
        {crystal.BaseStatsOffset + 32 * 250 + 31, current.fields[250][7], target.fields[250][7]},
    };
    std::vector<ByteChange> sorted = expected;
    std::sort(sorted.begin(), sorted.end(),
              [](const ByteChange& a, const ByteChange& b) { return a.offset < b.offset; });
    EXPECT_EQ(plan.changes, sorted);
    EXPECT_EQ(plan.machinesChanged, 2);
    EXPECT_EQ(plan.speciesChanged, 1);
    EXPECT_EQ(SummarizePlan(plan), "2 machines and 1 species: 3 bytes");
    ASSERT_EQ(plan.details.size(), 3u);
    EXPECT_EQ(plan.details[2].rfind("Celebi: ", 0), 0u);
}

}  // namespace
}  // namespace brindlewick
