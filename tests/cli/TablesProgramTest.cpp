// Runs the built brindlewick-tables as a script would, and checks its exit status, what it
// prints and what it leaves in the files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/RomProfile.h"
#include "support/CartridgeImage.h"
#include "support/Fixtures.h"
#include "support/PatchReaders.h"
#include "support/TestSupport.h"
#include "tables/TableEdits.h"
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
    Outcome Start(const std::vector<std::string>& arguments) { return Start(arguments, {}); }

    // The same, with `output` as the shell's redirection of standard output in place of the
    // file the test reads it from (">> 'rom.gbc'", "> /dev/full", ">&-"); `out` is then empty.
    Outcome Start(const std::vector<std::string>& arguments, const std::string& output,
                  const std::string& error = {}) {
        std::string command = "'" BRINDLEWICK_TABLES_PROGRAM "'";
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        const fs::path out = m_dir.Path() / "stdout.txt";
        const fs::path err = m_dir.Path() / "stderr.txt";
        command += " </dev/null " + (output.empty() ? ">'" + out.string() + "'" : output) + " " +
                   (error.empty() ? "2>'" + err.string() + "'" : error);
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
    for (const char* word : {"check", "export", "import", "patch", "diff", "fix-checksum"}) {
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
                                               {"check", ""},
                                               {"patch", m_rom, m_rom},
                                               {"diff", m_rom},
                                               {"fix-checksum"}}) {
        const Outcome run = Start(usage);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(usage);
        EXPECT_FALSE(run.err.empty());
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_FALSE(fs::exists(m_csv));
}

TEST_F(TablesProgram, PatchDiffAndFixChecksum) {
    const RomProfile& crystal = *Identify("BYTE");
    const Bytes clean = RealLookingRomBytes(crystal);
    const std::string cleanPath = m_dir.File("clean.gbc");
    WriteFileBytes(cleanPath, clean);
    Bytes modified = clean;
    modified[static_cast<std::size_t>(crystal.TmMovesOffset + 23)] = 53;  // TM24 Flamethrower
    WriteFileBytes(m_rom, modified);

    // BPS by default, IPS by the name or by --format, whatever the name.
    const std::string bps = m_dir.File("rom.bps");
    const Outcome patch = Start({"patch", cleanPath, m_rom, bps});
    EXPECT_EQ(patch.status, 0) << patch.err;
    EXPECT_TRUE(patch.out.empty());
    EXPECT_NE(patch.err.find("It changes 1 byte: 1 in the machines' moves."), std::string::npos)
        << patch.err;
    ExpectMessageLines(patch, m_rom);
    EXPECT_EQ(ApplyBps(clean, ReadFileBytes(bps)), modified);
    const std::string ips = m_dir.File("rom.patch");
    EXPECT_EQ(Start({"patch", cleanPath, m_rom, ips, "--format", "ips"}).status, 0);
    EXPECT_EQ(ApplyIps(clean, ReadFileBytes(ips)), modified);
    EXPECT_EQ(Start({"patch", cleanPath, m_rom, ips, "--format", "ups"}).status, 2);

    // Onto a ROM, or of the same file twice: refused, nothing written.
    const Outcome ontoClean = Start({"patch", cleanPath, m_rom, cleanPath});
    EXPECT_EQ(ontoClean.status, 1);
    EXPECT_NE(ontoClean.err.find("this is one of the two ROMs"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(cleanPath), clean);
    EXPECT_EQ(Start({"patch", m_rom, m_rom, m_dir.File("none.bps")}).status, 1);
    EXPECT_FALSE(fs::exists(m_dir.File("none.bps")));

    // The differences on standard output, a line each; the count as a message.
    const Outcome diff = Start({"diff", cleanPath, m_rom});
    EXPECT_EQ(diff.status, 0) << diff.err;
    EXPECT_EQ(
        diff.out,
        "TM24: " + MoveExportName(clean[static_cast<std::size_t>(crystal.TmMovesOffset + 23)]) +
            " \u2192 Flamethrower\n");
    EXPECT_NE(diff.err.find("1 machine and 0 species differ"), std::string::npos) << diff.err;
    const Outcome same = Start({"diff", m_rom, m_rom});
    EXPECT_EQ(same.status, 0);
    EXPECT_TRUE(same.out.empty());
    EXPECT_EQ(Start({"diff", m_rom, m_dir.File("none.gbc")}).status, 1);

    // The checksum: written once, then already right; a read-only ROM is refused.
    const Outcome fixed = Start({"fix-checksum", m_rom});
    EXPECT_EQ(fixed.status, 0) << fixed.err;
    const Bytes after = ReadFileBytes(m_rom);
    for (const std::size_t at : DifferingOffsets(modified, after)) {
        EXPECT_TRUE(at == 0x14E || at == 0x14F) << at;
    }
    const Outcome again = Start({"fix-checksum", m_rom});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.err.find("is already right"), std::string::npos) << again.err;
    const std::string readOnly = m_dir.File("read-only.gbc");
    WriteFileBytes(readOnly, modified);
    fs::permissions(PathFromUtf8(readOnly), fs::perms::owner_read);
    const Outcome refused = Start({"fix-checksum", readOnly});
    EXPECT_EQ(refused.status, 1);
    ExpectMessageLines(refused, readOnly);
    fs::permissions(PathFromUtf8(readOnly), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadFileBytes(readOnly), modified);
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

// A French extract: check says where its names were found, export --names rom writes them,
// and an import reads them back, or a move named by them.
TEST_F(TablesProgram, TheRomsOwnNamesInCheckExportAndImport) {
    const auto fixture = LoadFixture("crystal-fr");
    if (!fixture) {
        GTEST_SKIP() << "the extracts of real builds are not at " << FixturesDir().string();
    }
    WriteFileBytes(m_rom, fixture->image);
    const Outcome check = Start({"check", m_rom});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find(m_rom + ": species names (French) at 0x053377, 10 bytes each\n"),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find(m_rom + ": move names at 0x1C9F96\n"), std::string::npos);
    EXPECT_NE(check.out.find(m_rom + ": 28 type names at 0x050971\n"), std::string::npos);

    const Outcome lists = Start({"export", m_rom});
    EXPECT_NE(lists.out.find("\nBulbasaur,"), std::string::npos);
    const Outcome rom = Start({"export", m_rom, "--names", "rom"});
    EXPECT_EQ(rom.status, 0) << rom.err;
    EXPECT_NE(rom.out.find("\nBULBIZARRE,"), std::string::npos);
    EXPECT_EQ(rom.out.find("Bulbasaur"), std::string::npos);
    EXPECT_EQ(Start({"export", m_rom, "--names", "french"}).status, 2);

    std::ofstream(m_csv, std::ios::binary) << rom.out;
    const Outcome same = Start({"import", m_rom, m_csv});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.err.find("already holds these tables"), std::string::npos) << same.err;

    // TM02 given Pound by its French name.
    std::string csv = rom.out;
    const auto row = csv.find("move,");
    const auto second = csv.find(',', row + 5);
    csv.replace(second + 1, csv.find(',', second + 1) - second - 1, "ecras'face");
    std::ofstream(m_csv, std::ios::binary | std::ios::trunc) << csv;
    const Bytes before = ReadFileBytes(m_rom);
    const Outcome changed = Start({"import", m_rom, m_csv});
    EXPECT_EQ(changed.status, 0) << changed.err;
    Bytes expected = before;
    expected[static_cast<std::size_t>(fixture->facts["places"]["move_list"].get<int>() + 1)] = 1;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
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

    // A dry run exits as the import would: refused without --force, written with it.
    const Outcome dryRun = Start({"import", m_rom, m_csv, "--dry-run"});
    EXPECT_EQ(dryRun.status, 1) << dryRun.err;
    EXPECT_NE(dryRun.err.find("would change 2 machines and 0 species: 3 bytes"), std::string::npos)
        << dryRun.err;
    EXPECT_NE(dryRun.err.find("TM01: price"), std::string::npos);
    EXPECT_NE(dryRun.err.find("An import asks before writing this."), std::string::npos);
    EXPECT_EQ(dryRun.err.find("Save all the same?"), std::string::npos);
    ExpectMessageLines(dryRun, m_rom);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    const Outcome forcedDryRun = Start({"import", m_rom, m_csv, "--dry-run", "--force"});
    EXPECT_EQ(forcedDryRun.status, 0) << forcedDryRun.err;
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

// The folder's names, sorted: what an export may leave behind.
std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteCsv(const std::string& path, const std::string& text) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary);
    out << text;
}

// An export of a modified game is refused with the findings; --force exports it with a
// warning. The CSV a refusal would have replaced is left as it was.
TEST_F(TablesProgram, ExportOfAModifiedGameIsRefusedUnlessForced) {
    const RomProfile& gold = *Identify("AAUE");
    Bytes moved = RealLookingRomBytes(gold);
    moved[static_cast<std::size_t>(gold.TmPricesOffset + 7 * 4 + 5)] = 4;  // a dummy record
    WriteFileBytes(m_rom, moved);
    WriteCsv(m_csv, "an older export\n");

    for (const bool toFile : {false, true}) {
        SCOPED_TRACE(toFile ? "to a file" : "to standard output");
        std::vector<std::string> arguments{"export", m_rom};
        if (toFile) {
            arguments.push_back(m_csv);
        }
        const Outcome refused = Start(arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.out.empty());
        EXPECT_NE(refused.err.find("item records"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
        EXPECT_EQ(ReadText(PathFromUtf8(m_csv)), "an older export\n");

        arguments.push_back("--force");
        const Outcome forced = Start(arguments);
        EXPECT_EQ(forced.status, 0) << forced.err;
        EXPECT_NE(forced.err.find("Exported all the same (--force)"), std::string::npos);
        const std::string csv = toFile ? ReadText(PathFromUtf8(m_csv)) : forced.out;
        EXPECT_EQ(csv, ExportCsv(Decode(moved, gold)));
    }
    EXPECT_EQ(ReadFileBytes(m_rom), moved);
    EXPECT_EQ(Listing(m_dir.Path()), (std::vector<std::string>{"rom.gbc", "tables.csv"}));

    // A dry run of an import into it exits as the import would: refused.
    const Outcome dryRun = Start({"import", m_rom, m_csv, "--dry-run"});
    EXPECT_EQ(dryRun.status, 1) << dryRun.err;
    EXPECT_EQ(ReadFileBytes(m_rom), moved);
}

// The ROM reached by any route as the export's target is refused, and so are a FIFO and a
// folder, at once; the ROM and the folder stay as they were.
TEST_F(TablesProgram, ExportNeverReplacesTheRomOrWaitsForAFifo) {
    const RomProfile& silver = *Identify("AAXE");
    const Bytes original = RealLookingRomBytes(silver);
    WriteFileBytes(m_rom, original);
    fs::create_directory(m_dir.Path() / "sub");
    fs::create_symlink(PathFromUtf8(m_rom), m_dir.Path() / "link.gbc");
    fs::create_hard_link(PathFromUtf8(m_rom), m_dir.Path() / "hard.gbc");
    ASSERT_EQ(::mkfifo(m_dir.File("fifo.csv").c_str(), 0644), 0);
    const auto listing = Listing(m_dir.Path());

    for (const std::string& target :
         {m_dir.File("sub/../rom.gbc"), m_dir.File("link.gbc"), m_dir.File("hard.gbc"),
          m_dir.File("fifo.csv"), m_dir.File("sub")}) {
        SCOPED_TRACE(target);
        const auto start = std::chrono::steady_clock::now();
        const Outcome run = Start({"export", m_rom, target});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(run.status, 1);
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(ReadFileBytes(m_rom), original);
        EXPECT_EQ(Listing(m_dir.Path()), listing);
    }
    EXPECT_TRUE(fs::is_fifo(m_dir.Path() / "fifo.csv"));
    EXPECT_TRUE(fs::is_symlink(m_dir.Path() / "link.gbc"));

    // A FIFO as the CSV to import, and as the ROM, is refused at once too.
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"import", m_rom, m_dir.File("fifo.csv")},
                                               {"import", m_dir.File("fifo.csv"), m_csv},
                                               {"export", m_dir.File("fifo.csv")}}) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Start(arguments).status, 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    EXPECT_EQ(ReadFileBytes(m_rom), original);
}

// Standard output is a target like a named one: the ROM itself, opened by the shell for
// appending or for reading and writing, is refused before a byte is written; a failed write
// is told; an empty name (an unset variable) is bad usage, as it is for import.
TEST_F(TablesProgram, StandardOutputThatIsTheRomOrFailsIsTold) {
    const RomProfile& silver = *Identify("AAXE");
    const Bytes original = RealLookingRomBytes(silver);
    WriteFileBytes(m_rom, original);
    for (const std::string& redirection : {">> '" + m_rom + "'", "1<> '" + m_rom + "'"}) {
        SCOPED_TRACE(redirection);
        const Outcome run = Start({"export", m_rom}, redirection);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "brindlewick-tables: " + m_rom +
                               ": standard output is the ROM itself; nothing was written. Send "
                               "the CSV to another file.\n");
        EXPECT_EQ(ReadFileBytes(m_rom), original);
    }

    const Outcome full = Start({"export", m_rom}, "> /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "brindlewick-tables: " + m_rom +
                            ": could not write the CSV to standard output: No space left on "
                            "device.\n");
    const Outcome closed = Start({"export", m_rom}, ">&-");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "brindlewick-tables: " + m_rom +
                              ": could not write the CSV to standard output: Bad file "
                              "descriptor.\n");

    const Outcome empty = Start({"export", m_rom, ""});
    EXPECT_EQ(empty.status, 2);
    EXPECT_TRUE(empty.out.empty());
    EXPECT_EQ(empty.err, "brindlewick-tables: a file name may not be empty\n");
    EXPECT_EQ(ReadFileBytes(m_rom), original);
}

// Started with standard output or error closed, the program opens no file in their place: a
// message meant for standard error never lands in the ROM that took its number.
TEST_F(TablesProgram, ClosedStandardStreamsAreNeverTheRom) {
    WriteFileBytes(m_rom, SyntheticRomBytes("BYTE"));
    const Bytes original = ReadFileBytes(m_rom);
    WriteCsv(m_csv, "species,TM01\nBulbasaur,x\n");
    for (const auto& [output, error] : std::vector<std::pair<std::string, std::string>>{
             {">&-", "2>&-"}, {"> /dev/null", "2>&-"}, {">&-", "2> /dev/null"}}) {
        SCOPED_TRACE(output + " " + error);
        EXPECT_EQ(Start({"import", m_rom, m_csv}, output, error).status, 1);
        EXPECT_EQ(Start({"check", m_rom}, output, error).status, 0);
        EXPECT_EQ(ReadFileBytes(m_rom), original);
    }
}

const Release& kGoldEnglish = ReleaseOf("AAUE");

class TablesProgramTwoWriters : public TablesProgram {
protected:
    void SetUp() override {
        WriteFileBytes(m_rom, m_original);
        TableValues first = Decode(m_original, m_gold);
        TableValues second = first;
        // The two CSVs change the same bytes to different values, and different bytes too.
        for (int k = 0; k < kMachineCount; ++k) {
            first.prices[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(1000 + k);
            second.prices[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(2000 + k);
        }
        for (int species = 0; species < kSpeciesCount; ++species) {
            auto& field =
                (species % 2 == 0 ? first : second).fields[static_cast<std::size_t>(species)];
            field[species % 2] ^= species % 2 == 0 ? 0x0F : 0xF0;
        }
        m_first = first;
        m_second = second;
        WriteCsv(m_dir.File("first.csv"), ExportCsv(first));
        WriteCsv(m_dir.File("second.csv"), ExportCsv(second));
    }

    const RomProfile& m_gold = *Identify("AAUE");
    const Bytes m_original = RealLookingRomBytes(m_gold);
    TableValues m_first;
    TableValues m_second;
};

// Another program holds the ROM's lock: the import waits a bounded time, then refuses with
// nothing written; once the lock is released in time, it writes.
TEST_F(TablesProgramTwoWriters, ImportWaitsForAnotherWritersLockThenRefuses) {
    {
        OpenFile other;
        ASSERT_FALSE(other.Open(m_rom, OpenFile::Access::ReadWrite));
        ASSERT_FALSE(other.Lock(std::chrono::milliseconds(0)));
        const auto start = std::chrono::steady_clock::now();
        const Outcome busy = Start({"import", m_rom, m_dir.File("first.csv")});
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(busy.status, 1);
        EXPECT_NE(busy.err.find("\u201Crom.gbc\u201D is being written by another program; "
                                "nothing was written."),
                  std::string::npos)
            << busy.err;
        EXPECT_GE(waited, std::chrono::seconds(2));
        EXPECT_LT(waited, std::chrono::seconds(10));
        EXPECT_EQ(ReadFileBytes(m_rom), m_original);
    }
    {
        // The other writer puts the second CSV's values in while the import waits for it; the
        // import then works out its plan from what the file holds and ends with exactly the
        // first CSV's values, not a mix.
        OpenFile other;
        ASSERT_FALSE(other.Open(m_rom, OpenFile::Access::ReadWrite));
        ASSERT_FALSE(other.Lock(std::chrono::milliseconds(0)));
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const Bytes second = [&] {
                Bytes bytes = m_original;
                for (int k = 0; k < kMachineCount; ++k) {
                    PutPrice(bytes, PriceAt(kGoldEnglish, k), m_second.prices[k]);
                }
                return bytes;
            }();
            static_cast<void>(other.WriteAt(0, second));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            static_cast<void>(other.Close());
        });
        const Outcome waited = Start({"import", m_rom, m_dir.File("first.csv")});
        release.join();
        EXPECT_EQ(waited.status, 0) << waited.err;
        EXPECT_EQ(Decode(ReadFileBytes(m_rom), m_gold), m_first);
        EXPECT_NE(waited.err.find("changed 57 machines and 126 species"), std::string::npos)
            << waited.err;
    }
}

// Two imports started together end with exactly one CSV's values, never a mix.
TEST_F(TablesProgramTwoWriters, TwoImportsAtOnceEndWithOneCsvsValues) {
    const std::string program = "'" BRINDLEWICK_TABLES_PROGRAM "'";
    const std::string command = "cd '" + m_dir.Path().string() + "' && (" + program +
                                " import rom.gbc first.csv >/dev/null 2>&1 & " + program +
                                " import rom.gbc second.csv >/dev/null 2>&1 & wait)";
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        WriteFileBytes(m_rom, m_original);
        ASSERT_EQ(std::system(command.c_str()), 0);
        const Bytes after = ReadFileBytes(m_rom);
        ASSERT_EQ(after.size(), m_original.size());
        const TableValues values = Decode(after, m_gold);
        EXPECT_TRUE(values == m_first || values == m_second);
        // Nothing outside the tables changed.
        Bytes expected = m_original;
        for (const std::size_t at : DifferingOffsets(m_original, after)) {
            expected[at] = after[at];
        }
        EXPECT_EQ(Decode(expected, m_gold), values);
    }
}

// ---------------------------------------------------------------------------------------
// Modified games whose code the program follows to their tables.

// The CSV's rows split into fields (the names of these tests hold no comma or quote).
std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(csv)) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, ',');) {
            fields.push_back(field);
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            text += (i == 0 ? "" : ",") + row[i];
        }
        text += '\n';
    }
    return text;
}

// Crystal with its three tables repointed to other banks and the old copies left in place
// with other values: check tells where the game keeps them, export writes the live tables,
// import writes there and never into the copies.
TEST_F(TablesProgram, FollowsTheGamesCodeToRepointedTables) {
    const Release& release = ReleaseOf("BYTE");
    Release moved = release;
    moved.moves = 0x12 * 0x4000 + 0x321;
    moved.baseStats = 0x7C * 0x4000 + 0x10;
    moved.prices = 0x11 * 0x4000 + 0x600;
    // The live tables differ from the stale copy in TM08; a plain image holds them where the
    // release keeps them.
    Bytes image = RepointedImage(release, moved, 0x12 * 0x4000 + 0x3000);
    image[MoveAt(moved, 7)] = 0x0F;
    Bytes plain = CartridgeImageBytes(LayoutOf(release));
    plain[MoveAt(release, 7)] = 0x0F;
    WriteFileBytes(m_rom, image);
    const std::string plainRom = m_dir.File("plain.gbc");
    WriteFileBytes(plainRom, plain);

    const Outcome check = Start({"check", m_rom});
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_NE(check.out.find("The game's code keeps its tables elsewhere: moves at 0x48321, base "
                             "stats at 0x1F0010, TM01's record at 0x44600 (this release keeps "
                             "them at 0x1167A, 0x51424, 0x6CF3)."),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("a copy of its base-stats table, item records and move list"),
              std::string::npos)
        << check.out;

    const Outcome exported = Start({"export", m_rom});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const Outcome expected = Start({"export", plainRom});
    ASSERT_EQ(expected.status, 0) << expected.err;
    EXPECT_EQ(exported.out, expected.out);

    // TM08 gets a move no machine teaches, TM30 a price, Celebi TM02: three places to write.
    const int freeMove = CartridgeFreeMoves().front();
    auto rows = CsvRows(exported.out);
    ASSERT_EQ(rows.size(), 254u);
    rows[1][8] = MoveListText(freeMove);
    rows[2][30] = "4321";
    rows[253][2] = rows[253][2] == "1" ? "0" : "1";
    std::ofstream(m_csv, std::ios::binary) << CsvText(rows);
    const Outcome imported = Start({"import", m_rom, m_csv});
    EXPECT_EQ(imported.status, 0) << imported.err;
    Bytes after = image;
    after[MoveAt(moved, 7)] = static_cast<std::uint8_t>(freeMove);
    after[PriceAt(moved, 29)] = 4321 & 0xFF;
    after[PriceAt(moved, 29) + 1] = 4321 >> 8;
    after[MachineBitAt(moved, 250, 1)] ^= MaskOf(1);
    EXPECT_EQ(ReadFileBytes(m_rom), after);
}

// Each extract of a real build: export writes its true tables, and an import into a copy
// changes exactly the bytes it should, where the game's code keeps them.
TEST_F(TablesProgram, ExportsAndImportsTheTablesOfRealBuilds) {
    for (const std::string_view name : kFixtureNames) {
        SCOPED_TRACE(std::string(name));
        BRINDLEWICK_LOAD_FIXTURE_OR_SKIP(fixture, name);
        WriteFileBytes(m_rom, fixture->image);
        const nlohmann::json& facts = fixture->facts;
        const auto moves = facts["machine_moves"].get<std::vector<int>>();
        const auto prices = facts["machine_prices"].get<std::vector<int>>();
        const auto fields = facts["compatibility_fields_hex"].get<std::vector<std::string>>();
        const auto& places = facts["places"];
        const auto movesAt = places["move_list"].get<std::size_t>();
        const auto tm01At = places["tm01_record"].get<std::size_t>();
        const auto baseStatsAt = places["base_stats"].get<std::size_t>();

        const Outcome exported = Start({"export", m_rom});
        ASSERT_EQ(exported.status, 0) << exported.err;
        auto rows = CsvRows(exported.out);
        ASSERT_EQ(rows.size(), 254u);
        for (int k = 0; k < kMachines; ++k) {
            const auto i = static_cast<std::size_t>(k);
            EXPECT_EQ(rows[1][i + 1], MoveListText(moves[i])) << k;
            EXPECT_EQ(rows[2][i + 1], std::to_string(prices[i])) << k;
        }
        for (int s = 0; s < kSpecies; ++s) {
            const std::string& hex = fields[static_cast<std::size_t>(s)];
            for (int k = 0; k < kMachines; ++k) {
                const int byte =
                    std::stoi(hex.substr(static_cast<std::size_t>(k / 8) * 2, 2), nullptr, 16);
                EXPECT_EQ(rows[static_cast<std::size_t>(s) + 3][static_cast<std::size_t>(k) + 1],
                          (byte >> (k % 8)) & 1 ? "1" : "0")
                    << "species " << s + 1 << ", " << MachineName(k);
            }
        }

        // TM01's move, TM01's price and Bulbasaur's TM01 bit change: four bytes at most.
        const int newMove = moves[0] == 1 ? 2 : 1;
        rows[1][1] = MoveListText(newMove);
        rows[2][1] = "1234";
        rows[3][1] = rows[3][1] == "1" ? "0" : "1";
        std::ofstream(m_csv, std::ios::binary) << CsvText(rows);
        const Outcome imported = Start({"import", m_rom, m_csv});
        EXPECT_EQ(imported.status, 0) << imported.err;
        Bytes expected = fixture->image;
        expected[movesAt] = static_cast<std::uint8_t>(newMove);
        expected[tm01At] = 1234 & 0xFF;
        expected[tm01At + 1] = 1234 >> 8;
        expected[baseStatsAt + 24] ^= 0x01;
        EXPECT_EQ(DifferingOffsets(fixture->image, ReadFileBytes(m_rom)),
                  DifferingOffsets(fixture->image, expected));
    }
}

}  // namespace
}  // namespace brindlewick::test
