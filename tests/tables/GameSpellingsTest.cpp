// Importing names as the games spell them: the same bytes as the lists' own entries, on every
// release, and an unknown name answered with the nearest names.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/FileAccess.h"
#include "rom/RomProfile.h"
#include "support/Cartridge.h"
#include "support/TestSupport.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"
#include "tables/TablesTestImages.h"

namespace brindlewick::test {
namespace {

// A move or species with its list entry, and the games' name of it as a person might type it.
struct TwoSpellings {
    int index;
    const char* entry;
    const char* games;
};

// Move numbers.
const std::vector<TwoSpellings> kMoves = {
    {14, "words Dance", "SWORDS DANCE"}, {18, "Whirl Wind", "whirlwind"},
    {29, "Head Butt", "Headbutt"},       {38, "Double Edge", "double-edge"},
    {41, "Twin Edle", "Twineedle"},      {117, "Hide", "Bide"},
    {153, "Exposion", "EXPLOSION"},      {189, "Mud - Slap", "Mud-Slap"},
};

// Species indexes (species number - 1).
const std::vector<TwoSpellings> kSpecies = {
    {28, "Nidoran (f)", "Nidoran\u2640"},
    {31, "Nidoran (m)", "NIDORAN \u2642"},
    {37, "Ninetails", "Ninetales"},
    {133, "Vapereon", "vaporeon"},
    {167, "Araidos", "Ariados"},
    {219, "Sniwub", "SWINUB"},
    {249, "Ho-oh", "Ho-Oh"},
};

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary);
    out << text;
}

// A CSV that gives TM01 to TM08 the eight moves and the seven species each its own machines,
// naming them by `entry` or by `games`. The machines' other moves are kept, swapped where one
// of the eight is taught already, so that no move is taught twice.
std::string Csv(const TableValues& before, bool games, TableValues& expected) {
    expected = before;
    for (std::size_t i = 0; i < kMoves.size(); ++i) {
        const auto move = static_cast<std::uint8_t>(kMoves[i].index);
        for (auto& other : expected.moves) {
            if (other == move) {
                other = expected.moves[i];
            }
        }
        expected.moves[i] = move;
    }
    std::string csv = "species";
    for (int k = 0; k < kMachineCount; ++k) {
        csv += ',' + std::string(k < 50 ? "TM" : "HM") + (k % 50 < 9 ? "0" : "") +
               std::to_string(k % 50 + 1);
    }
    csv += "\nmove";
    for (std::size_t k = 0; k < kMachineCount; ++k) {
        csv += ',';
        if (k < kMoves.size()) {
            csv += games ? kMoves[k].games : kMoves[k].entry;
        } else {
            csv += std::to_string(expected.moves[k]);
        }
    }
    csv += "\nprice";
    for (const std::uint16_t price : before.prices) {
        csv += ',' + std::to_string(price);
    }
    csv += '\n';
    for (std::size_t i = 0; i < kSpecies.size(); ++i) {
        csv += games ? kSpecies[i].games : kSpecies[i].entry;
        CompatibilityField& field = expected.fields[static_cast<std::size_t>(kSpecies[i].index)];
        for (int k = 0; k < kMachineCount; ++k) {
            const bool learns = (k + static_cast<int>(i)) % 3 == 0;
            SetLearns(field, k, learns);
            csv += learns ? ",1" : ",0";
        }
        csv += '\n';
    }
    return csv;
}

TEST(GameSpellings, ImportWritesTheSameBytesAsTheListsEntriesOnEveryRelease) {
    TempDir dir;
    RecordingSink sink;
    for (const Release& release : kReleases) {
        SCOPED_TRACE(std::string(release.code));
        const RomProfile& profile = *Identify(release.code);
        const Bytes original = RealLookingRomBytes(profile);
        const TableValues before = Decode(original, profile);
        std::vector<Bytes> results;
        TableValues expected;
        for (const bool games : {false, true}) {
            const std::string rom = dir.File(games ? "games.gbc" : "entries.gbc");
            const std::string csv = dir.File("tables.csv");
            WriteFileBytes(rom, original);
            WriteText(csv, Csv(before, games, expected));
            const ImportResult result = ImportTables(rom, csv, {});
            ASSERT_EQ(result.status, ImportStatus::Written);
            results.push_back(ReadFileBytes(rom));
        }
        EXPECT_EQ(DifferingOffsets(results[0], results[1]), std::vector<std::size_t>{});

        // Both wrote exactly the values asked for, at the model's addresses.
        Bytes wanted = original;
        for (int k = 0; k < kMachines; ++k) {
            wanted[MoveAt(release, k)] = expected.moves[static_cast<std::size_t>(k)];
        }
        for (const TwoSpellings& species : kSpecies) {
            for (int j = 0; j < kFieldLength; ++j) {
                wanted[FieldAt(release, species.index, j)] =
                    expected.fields[static_cast<std::size_t>(species.index)]
                                   [static_cast<std::size_t>(j)];
            }
        }
        EXPECT_EQ(DifferingOffsets(wanted, results[1]), std::vector<std::size_t>{});
        EXPECT_NE(DifferingOffsets(original, results[1]), std::vector<std::size_t>{});
        EXPECT_TRUE(sink.messages.size() >= 2u);  // what each import wrote
        sink.Clear();
    }
}

TEST(GameSpellings, ExportKeepsWritingTheListsEntries) {
    TableValues values{};
    values.moves[0] = 14;
    values.moves[1] = 117;
    const std::string csv = ExportCsv(values);
    EXPECT_NE(csv.find("\nmove,words Dance,Hide,N/A,"), std::string::npos);
    EXPECT_NE(csv.find("\nNidoran (f),0,"), std::string::npos);
    EXPECT_NE(csv.find("\nVapereon,0,"), std::string::npos);
    EXPECT_EQ(csv.find("Swords"), std::string::npos);
}

TEST(GameSpellings, AnUnknownNameIsAnsweredWithTheNearestNames) {
    TableValues current{};
    std::string csv = ExportCsv(current);
    csv.replace(csv.find("move,N/A"), 8, "move,Sword Dance");
    csv.replace(csv.find("\nVapereon,"), 10, "\nVaporean,");
    csv.replace(csv.find("\nCelebi,"), 8, "\nQwxz,");
    CsvProblems problems;
    EXPECT_FALSE(ParseTablesCsv(csv, current, problems));
    ASSERT_EQ(problems.Total(), 3u) << problems.Describe();
    EXPECT_EQ(problems.Reported()[0].text,
              "TM01: no move is called \"Sword Dance\"; did you mean \"Swords Dance\"?");
    EXPECT_EQ(problems.Reported()[1].text,
              "no species is called \"Vaporean\"; did you mean \"Vaporeon\"?");
    // However far off, one to three names are offered.
    const std::string& far = problems.Reported()[2].text;
    EXPECT_EQ(far.rfind("no species is called \"Qwxz\"; did you mean \"", 0), 0u) << far;
}

// Suggestions are worked out only for the problems that are told one by one; each of those
// has its own.
TEST(GameSpellings, EveryToldProblemHasItsSuggestion) {
    TableValues current{};
    const std::string csv = ExportCsv(current);
    std::string rows;
    for (std::size_t i = 0; i < kMaxReportedProblems + 5; ++i) {
        rows += "Bulbasaurus" + std::to_string(i);
        for (int k = 0; k < kMachineCount; ++k) {
            rows += ",0";
        }
        rows += "\n";
    }
    CsvProblems problems;
    EXPECT_FALSE(ParseTablesCsv(csv + rows, current, problems));
    EXPECT_EQ(problems.Total(), kMaxReportedProblems + 5);
    for (const CsvProblem& problem : problems.Reported()) {
        EXPECT_NE(problem.text.find("did you mean \"Bulbasaur\"?"), std::string::npos)
            << problem.text;
    }
}

}  // namespace
}  // namespace brindlewick::test
