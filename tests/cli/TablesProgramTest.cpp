// Runs the built brindlewick-tables as a script would, and checks its exit status, what it
// prints and what it leaves in the files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/FileAccess.h"
#include "rom/RomProfile.h"
#include "support/TestSupport.h"
#include "tables/TablesCsv.h"
#include "tables/TablesTestImages.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class TablesProgram : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_rom = m_dir.File("rom.gbc");
    std::string m_csv = m_dir.File("tables.csv");

    // Runs the program with `arguments` (single-quoted for the shell) from the test folder.
    Outcome Start(const std::vector<std::string>& arguments) {
        std::string command = "'" BRINDLEWICK_TABLES_PROGRAM "'";
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        const fs::path out = m_dir.Path() / "stdout.txt";
        const fs::path err = m_dir.Path() / "stderr.txt";
        command += " </dev/null >'" + out.string() + "' 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
        fs::remove(out);
        fs::remove(err);
        return run;
    }

    // Every message is one line that names the program and one of the command's files: by
    // its path in front, or, for a failing file access, in the description ("Could not read
    // “rom.gbc”: …"), and then only there.
    static void ExpectMessageLines(const Outcome& run, const std::string& file) {
        const std::string name = fs::path(file).filename().string();
        for (const std::string& line : Lines(run.err)) {
            if (line.starts_with("brindlewick-tables: Could not ")) {
                EXPECT_NE(line.find("\u201C" + name + "\u201D: "), std::string::npos) << line;
                EXPECT_EQ(line.find(file), std::string::npos) << line;
            } else {
                EXPECT_EQ(line.rfind("brindlewick-tables: " + file + ": ", 0), 0u) << line;
            }
        }
    }
};

TEST_F(TablesProgram, VersionHelpAndBadUsage) {
    const Outcome version = Start({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "brindlewick-tables " BRINDLEWICK_VERSION "\n");

    const Outcome help = Start({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"check", "export", "import"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const Outcome importHelp = Start({"import", "--help"});
    EXPECT_EQ(importHelp.status, 0);
    EXPECT_NE(importHelp.out.find("--dry-run"), std::string::npos);
    EXPECT_NE(importHelp.out.find("--force"), std::string::npos);

    WriteFileBytes(m_rom, SyntheticRomBytes("AAUE"));
    const Bytes original = ReadFileBytes(m_rom);
    for (const std::vector<std::string>& usage :
         std::vector<std::vector<std::string>>{{},
                                               {"fix", m_rom},
                                               {"check"},
                                               {"import", m_rom},
                                               {"import", m_rom, m_csv, "--quick"},
                                               {"export", m_rom, m_csv, "extra"},
                                               {"check", ""}}) {
        const Outcome run = Start(usage);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(usage);
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_FALSE(fs::exists(m_csv));
}

TEST_F(TablesProgram, CheckTellsTheReleaseAndTheFindings) {
    const RomProfile& crystal = *Identify("BYTS");
    WriteFileBytes(m_rom, RealLookingRomBytes(crystal));
    const Outcome sound = Start({"check", m_rom});
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_NE(sound.out.find("Pokémon Crystal, Spanish (BYTS)"), std::string::npos) << sound.out;
    EXPECT_NE(sound.out.find("lie where this release keeps them"), std::string::npos);

    Bytes moved = RealLookingRomBytes(crystal);
    moved[static_cast<std::size_t>(crystal.TmPricesOffset + 7 * 4 + 5)] = 4;  // a dummy record
    WriteFileBytes(m_rom, moved);
    const Outcome modified = Start({"check", m_rom});
    EXPECT_EQ(modified.status, 1);
    EXPECT_NE(modified.out.find("item records at 0x006D33"), std::string::npos) << modified.out;

    WriteFileBytes(m_rom, SyntheticRomBytes("BYTS"));
    const Outcome synthetic = Start({"check", m_rom});
    EXPECT_EQ(synthetic.status, 0);
    EXPECT_NE(synthetic.out.find("tables not checked"), std::string::npos);

    WriteFileBytes(m_rom, SyntheticRomBytes("ZZZZ"));
    const Outcome unsupported = Start({"check", m_rom});
    EXPECT_EQ(unsupported.status, 1);
    EXPECT_EQ(Lines(unsupported.err).size(), 1u);
    ExpectMessageLines(unsupported, m_rom);

    const Outcome missing = Start({"check", m_dir.File("none.gbc")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(Lines(missing.err).size(), 1u) << missing.err;
    ExpectMessageLines(missing, m_dir.File("none.gbc"));
    EXPECT_EQ(missing.err.rfind("brindlewick-tables: Could not open \u201Cnone.gbc\u201D: ", 0), 0u)
        << missing.err;
    EXPECT_FALSE(fs::exists(m_dir.File("none.gbc")));
}

TEST_F(TablesProgram, ExportToStandardOutputOrAFile) {
    const RomProfile& silver = *Identify("AAXD");
    const Bytes original = RealLookingRomBytes(silver);
    WriteFileBytes(m_rom, original);
    const Outcome toOutput = Start({"export", m_rom});
    EXPECT_EQ(toOutput.status, 0) << toOutput.err;
    EXPECT_EQ(toOutput.out, ExportCsv(Decode(original, silver)));
    EXPECT_TRUE(toOutput.err.empty());

    const Outcome toFile = Start({"export", m_rom, m_csv});
    EXPECT_EQ(toFile.status, 0);
    EXPECT_TRUE(toFile.out.empty());
    EXPECT_EQ(ReadText(PathFromUtf8(m_csv)), toOutput.out);

    const Outcome ontoRom = Start({"export", m_rom, m_rom});
    EXPECT_EQ(ontoRom.status, 1);
    ExpectMessageLines(ontoRom, m_rom);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
}

TEST_F(TablesProgram, ImportDryRunForceAndRefusals) {
    const RomProfile& gold = *Identify("AAUI");
    const Bytes original = RealLookingRomBytes(gold);
    WriteFileBytes(m_rom, original);
    TableValues values = Decode(original, gold);
    // TM02 teaches TM01's move: a change the game cannot use.
    values.moves[1] = values.moves[0];
    values.prices[0] = 1234;
    {
        std::ofstream out(PathFromUtf8(m_csv), std::ios::binary);
        out << ExportCsv(values);
    }

    const Outcome dryRun = Start({"import", m_rom, m_csv, "--dry-run"});
    EXPECT_EQ(dryRun.status, 0) << dryRun.err;
    EXPECT_NE(dryRun.err.find("would change 2 machines and 0 species: 3 bytes"), std::string::npos)
        << dryRun.err;
    EXPECT_NE(dryRun.err.find("TM01: price"), std::string::npos);
    EXPECT_NE(dryRun.err.find("An import asks before writing this."), std::string::npos);
    EXPECT_EQ(dryRun.err.find("Save all the same?"), std::string::npos);
    ExpectMessageLines(dryRun, m_rom);
    EXPECT_EQ(ReadFileBytes(m_rom), original);

    const Outcome refused = Start({"import", m_rom, m_csv});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    ExpectMessageLines(refused, m_rom);
    EXPECT_EQ(ReadFileBytes(m_rom), original);

    const Outcome forced = Start({"import", "--force", m_rom, m_csv});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(forced.err.find("changed 2 machines and 0 species: 3 bytes"), std::string::npos);
    Bytes expected = original;
    expected[static_cast<std::size_t>(gold.TmMovesOffset + 1)] =
        original[static_cast<std::size_t>(gold.TmMovesOffset)];
    expected[static_cast<std::size_t>(gold.TmPricesOffset)] = 0xD2;  // 1234, low byte first
    expected[static_cast<std::size_t>(gold.TmPricesOffset + 1)] = 0x04;
    EXPECT_EQ(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});

    const Outcome again = Start({"import", m_rom, m_csv});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.err.find("nothing to change"), std::string::npos);
}

TEST_F(TablesProgram, MalformedCsvIsRefusedLineByLine) {
    WriteFileBytes(m_rom, SyntheticRomBytes("BYTE"));
    const Bytes original = ReadFileBytes(m_rom);
    std::string csv = ExportCsv(Decode(original, *Identify("BYTE")));
    csv += "Bulbasaur,x\nnobody,1\n";
    {
        std::ofstream out(PathFromUtf8(m_csv), std::ios::binary);
        out << csv;
    }
    const Outcome run = Start({"import", m_rom, m_csv});
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_GE(lines.size(), 4u) << run.err;
    ExpectMessageLines(run, m_csv);
    EXPECT_NE(run.err.find("line 255, column 1: Bulbasaur has a row already, on line 4"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("line 255, column 3: 2 columns, expected 58: the line ends early"),
              std::string::npos);
    EXPECT_NE(run.err.find("line 256, column 1: no species is called \"nobody\""),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
}

}  // namespace
}  // namespace brindlewick::test
