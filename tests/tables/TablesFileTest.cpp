#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <functional>
#include <memory>

#include "platform/FileAccess.h"
#include "platform/NativeFile.h"
#include "rom/GameRules.h"
#include "rom/RomProfile.h"
#include "rom/SelfCheck.h"
#include "rom/TablePlaces.h"
#include "support/TestSupport.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"
#include "tables/TablesTestImages.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary);
    out << text;
}

// Replaces the whole line that begins with `start` (the first of its kind) by `line`.
std::string ReplaceLine(std::string csv, const std::string& start, const std::string& line) {
    const std::size_t at = csv.find("\n" + start) + 1;
    const std::size_t end = csv.find('\n', at);
    return csv.replace(at, end - at, line);
}

// 57 cells of 0: a species that learns no machine.
std::string NoneLearned() {
    std::string cells;
    for (int k = 0; k < kMachineCount; ++k) {
        cells += ",0";
    }
    return cells;
}

// Every price of the price row, with `machine` costing `price`.
std::string PriceRow(const TableValues& values, int machine, int price) {
    std::string row = "price";
    for (int k = 0; k < kMachineCount; ++k) {
        row +=
            "," + std::to_string(k == machine ? price : values.prices[static_cast<std::size_t>(k)]);
    }
    return row;
}

// Every move of the move row as numbers, with `machine` teaching `move`.
std::string MoveRow(const TableValues& values, int machine, int move) {
    std::string row = "move";
    for (int k = 0; k < kMachineCount; ++k) {
        row +=
            "," + std::to_string(k == machine ? move : values.moves[static_cast<std::size_t>(k)]);
    }
    return row;
}

std::string AllMessages(const RecordingSink& sink) {
    std::string text;
    for (const Message& message : sink.messages) {
        text += message.text + "\n";
    }
    return text;
}

class TablesFile : public ::testing::Test {
protected:
    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom = m_dir.File("rom.gbc");
    std::string m_csv = m_dir.File("tables.csv");

    ImportResult Import(const std::string& text, ImportOptions options = {}) {
        WriteText(m_csv, text);
        return ImportTables(m_rom, m_csv, options);
    }
};

TEST_F(TablesFile, ExportShowsTheFileAndImportingItBackChangesNoByte) {
    for (const RomProfile& profile : SupportedRoms()) {
        for (const bool real : {false, true}) {
            SCOPED_TRACE(profile.gameCode + (real ? " real-looking" : " synthetic"));
            const Bytes original =
                real ? RealLookingRomBytes(profile) : SyntheticRomBytes(profile.gameCode);
            WriteFileBytes(m_rom, original);
            const auto csv = ExportTables(m_rom);
            ASSERT_TRUE(csv);
            // Read back over a blank start, the CSV gives every value the file holds; only
            // the bits that stand for no machine, and moves that name none, are not in it.
            const TableValues decoded = Decode(original, profile);
            TableValues blank{};
            TableValues expected = decoded;
            for (std::size_t k = 0; k < kMachineCount; ++k) {
                blank.moves[k] = decoded.moves[k] < kMoveCount ? 0 : decoded.moves[k];
            }
            for (auto& field : expected.fields) {
                field[7] &= 1;
            }
            CsvProblems problems;
            EXPECT_EQ(ParseTablesCsv(*csv, blank, problems), expected) << problems.Describe();
            const ImportResult result = Import(*csv);
            EXPECT_EQ(result.status, ImportStatus::Unchanged) << AllMessages(m_sink);
            EXPECT_EQ(ReadFileBytes(m_rom), original);
            m_sink.Clear();
        }
    }
}

TEST_F(TablesFile, ExportedValuesAreTheFileBytes) {
    const RomProfile& profile = *Identify("BYTD");
    const Bytes original = SyntheticRomBytes(profile.gameCode);
    WriteFileBytes(m_rom, original);
    const auto values = ReadTables(m_rom, RowPlaces(profile));
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, Decode(original, profile));
}

TEST_F(TablesFile, NamedEditsLandOnExactlyTheirBytes) {
    for (const RomProfile& profile : SupportedRoms()) {
        SCOPED_TRACE(profile.gameCode);
        Bytes original = RealLookingRomBytes(profile);
        // Celebi's last field byte: HM07 clear, the tutor bits set.
        const auto celebiLast = static_cast<std::size_t>(profile.BaseStatsOffset + 32 * 250 + 31);
        original[celebiLast] = 0x0E;
        WriteFileBytes(m_rom, original);
        std::string csv = *ExportTables(m_rom);

        // TM05 teaches Karate Chop (2, which no machine of the image teaches), TM29 costs 3000,
        // HM07 65535; Celebi learns HM07 and Bulbasaur only TM01.
        const TableValues before = Decode(original, profile);
        std::string moveRow = "move";
        std::string priceRow = "price";
        for (int k = 0; k < kMachineCount; ++k) {
            moveRow += "," + (k == 4 ? std::string("karate chop")
                                     : std::to_string(before.moves[static_cast<std::size_t>(k)]));
            priceRow +=
                "," + std::to_string(k == 28   ? 3000
                                     : k == 56 ? 65535
                                               : before.prices[static_cast<std::size_t>(k)]);
        }
        csv = ReplaceLine(csv, "move,", moveRow);
        csv = ReplaceLine(csv, "price,", priceRow);
        std::string bulbasaur = "Bulbasaur,1";
        std::string celebi = "celebi";
        for (int k = 1; k < kMachineCount; ++k) {
            bulbasaur += ",0";
        }
        for (int k = 0; k < kMachineCount; ++k) {
            celebi += Learns(before.fields[250], k) || k == 56 ? ",1" : ",0";
        }
        csv = ReplaceLine(csv, "Bulbasaur,", bulbasaur);
        csv = ReplaceLine(csv, "Celebi,", celebi);

        const ImportResult result = Import(csv);
        ASSERT_EQ(result.status, ImportStatus::Written) << AllMessages(m_sink);

        Bytes expected = original;
        expected[static_cast<std::size_t>(profile.TmMovesOffset + 4)] = 2;
        const auto tm29 = static_cast<std::size_t>(profile.TmPricesOffset + 7 * 30);
        expected[tm29] = 0xB8;
        expected[tm29 + 1] = 0x0B;
        const auto hm07 = static_cast<std::size_t>(profile.TmPricesOffset + 7 * 58);
        expected[hm07] = 0xFF;
        expected[hm07 + 1] = 0xFF;
        const auto bulbasaurField = static_cast<std::size_t>(profile.BaseStatsOffset + 24);
        expected[bulbasaurField] = 0x01;
        for (std::size_t j = 1; j < 7; ++j) {
            expected[bulbasaurField + j] = 0;
        }
        // The tutor bits of byte 7 stay as they were.
        expected[bulbasaurField + 7] =
            static_cast<std::uint8_t>(original[bulbasaurField + 7] & 0xFE);
        expected[celebiLast] = 0x0F;
        EXPECT_EQ(DifferingOffsets(expected, ReadFileBytes(m_rom)), std::vector<std::size_t>{});
        EXPECT_EQ(result.plan.changes.size(), DifferingOffsets(original, expected).size());
        m_sink.Clear();
    }
}

struct Malformed {
    const char* what;
    std::string text;
    std::string said;  // a part of the message
};

TEST_F(TablesFile, MalformedInputIsRefusedAndTheFileKeptByteForByte) {
    const Bytes original = SyntheticRomBytes("AAXS");
    WriteFileBytes(m_rom, original);
    const std::string csv = *ExportTables(m_rom);
    const std::string header = csv.substr(0, csv.find("\nBulbasaur") + 1);
    const std::vector<Malformed> cases = {
        {"empty file", "", "the file is empty"},
        {"binary file",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0",
                     10) +
             std::string(5000, '\0'),
         "line 1, column 1: a zero byte"},
        {"a line of a million commas", header + std::string(1'000'000, ','),
         "line 4, column 59: 1000001 columns"},
        {"a bad cell", header + "Pikachu,1,0,2" + NoneLearned().substr(6) + "\n",
         "line 4, column 4: TM03: expected 1 or 0"},
        {"a species twice", header + "Pichu" + NoneLearned() + "\npichu " + NoneLearned() + "\n",
         "line 5, column 1: Pichu has a row already, on line 4"},
        {"no header", "Bulbasaur,1\n", "line 1, column 1: expected the header row"},
    };
    for (const Malformed& bad : cases) {
        SCOPED_TRACE(bad.what);
        m_sink.Clear();
        const ImportResult result = Import(bad.text);
        EXPECT_EQ(result.status, ImportStatus::Refused);
        EXPECT_EQ(ReadFileBytes(m_rom), original);
        ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
        EXPECT_EQ(m_sink.messages[0].text.rfind(m_csv + ": ", 0), 0u) << m_sink.messages[0].text;
        EXPECT_NE(m_sink.messages[0].text.find(bad.said), std::string::npos)
            << m_sink.messages[0].text;
    }
}

TEST_F(TablesFile, FarTooLargeFileIsRefusedBeforeItIsRead) {
    WriteFileBytes(m_rom, SyntheticRomBytes("AAUE"));
    { std::ofstream create(PathFromUtf8(m_csv)); }
    fs::resize_file(PathFromUtf8(m_csv), 100 * 1024 * 1024);  // sparse: costs no disk
    EXPECT_FALSE(ReadCsvFile(m_csv));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("larger than"), std::string::npos);
    fs::resize_file(PathFromUtf8(m_csv), kMaxCsvBytes + 1);
    EXPECT_FALSE(ReadCsvFile(m_csv));
    fs::resize_file(PathFromUtf8(m_csv), kMaxCsvBytes);
    EXPECT_TRUE(ReadCsvFile(m_csv));
}

TEST_F(TablesFile, DryRunSaysWhatWouldChangeAndWritesNothing) {
    const Bytes original = SyntheticRomBytes("BYTE");
    WriteFileBytes(m_rom, original);
    std::string mew = "Mew";
    for (int k = 0; k < kMachineCount; ++k) {
        mew += ",1";
    }
    const std::string csv = ReplaceLine(*ExportTables(m_rom), "Mew,", mew);
    ImportOptions options;
    options.dryRun = true;
    const ImportResult result = Import(csv, options);
    EXPECT_EQ(result.status, ImportStatus::DryRun);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    EXPECT_EQ(result.plan.speciesChanged, 1);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("would change 0 machines and 1 species"),
              std::string::npos);
    EXPECT_NE(m_sink.messages[0].text.find("\nMew: now learns"), std::string::npos);
}

TEST_F(TablesFile, RealCartridgeWhoseTablesMovedIsRefused) {
    for (const RomProfile& profile : SupportedRoms()) {
        SCOPED_TRACE(profile.gameCode);
        Bytes moved = RealLookingRomBytes(profile);
        const auto base = moved.begin() + profile.BaseStatsOffset;
        std::rotate(base, base + 8032 - 12, base + 8032);  // the table 12 bytes further on
        WriteFileBytes(m_rom, moved);
        const std::string csv = ExportCsv(Decode(moved, profile));
        m_sink.Clear();
        const std::string changed =
            ReplaceLine(csv, "price,", PriceRow(Decode(moved, profile), 0, 1));
        const ImportResult result = Import(changed);
        EXPECT_EQ(result.status, ImportStatus::Refused);
        EXPECT_EQ(ReadFileBytes(m_rom), moved);
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_NE(m_sink.messages[0].text.find("base-stats"), std::string::npos)
            << m_sink.messages[0].text;
    }
}

TEST_F(TablesFile, AChangeTheGameCannotUseIsAskedAbout) {
    const RomProfile& crystal = *Identify("BYTE");
    const Bytes original = RealLookingRomBytes(crystal);
    const TableValues values = Decode(original, crystal);
    const std::string csv = ExportCsv(values);
    struct Case {
        int machine;
        int move;
        BreachKind kind;
    };
    // TM02 takes TM01's move; TM10 no move while later ones teach; TM20 the Flamethrower tutor.
    for (const Case c : {Case{1, values.moves[0], BreachKind::SharedMove},
                         Case{9, 0, BreachKind::CutOff}, Case{19, 0x35, BreachKind::TutorMove}}) {
        for (const bool answer : {false, true}) {
            WriteFileBytes(m_rom, original);
            m_sink.Clear();
            std::vector<std::string> questions;
            ImportOptions options;
            options.confirm = [&](const std::string& question) {
                questions.push_back(question);
                return answer;
            };
            const ImportResult result =
                Import(ReplaceLine(csv, "move,", MoveRow(values, c.machine, c.move)), options);
            ASSERT_EQ(questions.size(), 1u);
            EXPECT_NE(questions[0].find(MachineName(c.machine)), std::string::npos) << questions[0];
            Bytes expected = original;
            if (answer) {
                expected[static_cast<std::size_t>(crystal.TmMovesOffset + c.machine)] =
                    static_cast<std::uint8_t>(c.move);
            }
            EXPECT_EQ(result.status, answer ? ImportStatus::Written : ImportStatus::Refused);
            EXPECT_EQ(ReadFileBytes(m_rom), expected);
        }
    }
}

TEST_F(TablesFile, NoQuestionWhenTheFileAlreadyHasItOrIsNoCartridge) {
    const RomProfile& gold = *Identify("AAUE");
    int questions = 0;
    ImportOptions options;
    options.confirm = [&](const std::string&) {
        ++questions;
        return false;
    };
    // TM02 already teaches TM01's move: changing a price asks nothing.
    Bytes shared = RealLookingRomBytes(gold);
    shared[static_cast<std::size_t>(gold.TmMovesOffset + 1)] =
        shared[static_cast<std::size_t>(gold.TmMovesOffset)];
    WriteFileBytes(m_rom, shared);
    const TableValues sharedValues = Decode(shared, gold);
    EXPECT_EQ(Import(ReplaceLine(ExportCsv(sharedValues), "price,", PriceRow(sharedValues, 5, 1)),
                     options)
                  .status,
              ImportStatus::Written)
        << AllMessages(m_sink);

    // An image without a valid header checksum is written as the tables say.
    const Bytes synthetic = SyntheticRomBytes("AAUE");
    WriteFileBytes(m_rom, synthetic);
    const TableValues values = Decode(synthetic, gold);
    EXPECT_EQ(Import(ReplaceLine(ExportCsv(values), "move,", MoveRow(values, 2, values.moves[0])),
                     options)
                  .status,
              ImportStatus::Written)
        << AllMessages(m_sink);
    EXPECT_EQ(questions, 0);
}

TEST_F(TablesFile, ReadOnlyRomIsRefused) {
    const Bytes original = SyntheticRomBytes("AAXF");
    WriteFileBytes(m_rom, original);
    const std::string csv = ReplaceLine(*ExportTables(m_rom), "move,",
                                        MoveRow(Decode(original, *Identify("AAXF")), 0, 1));
    fs::permissions(PathFromUtf8(m_rom),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const ImportResult result = Import(csv);
    fs::permissions(PathFromUtf8(m_rom), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(result.status, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_EQ(
        m_sink.messages[0].text.rfind(
            "Could not write to \u201Crom.gbc\u201D: The file is read-only. Make it writable", 0),
        0u)
        << m_sink.messages[0].text;
}

// A copy of the ROM put in its place (a new file, as a copy and rename leaves it): the import
// read and checked the old file and must not write into another; it stops at once.
TEST_F(TablesFile, FileReplacedBetweenCheckAndWriteIsNotWrittenAndTheMessageSaysWhatItHolds) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows refuses to rename a file over one the import holds open, so no "
                    "other file can take the ROM's place during the writes";
#endif
    const RomProfile& profile = *Identify("AAUE");
    const Bytes original = SyntheticRomBytes("AAUE");
    const TableValues values = Decode(original, profile);
    // Two writes: TM29's price, then TM01's move further on.
    const std::string csv =
        ReplaceLine(ReplaceLine(*ExportTables((WriteFileBytes(m_rom, original), m_rom)), "move,",
                                MoveRow(values, 0, values.moves[0] == 1 ? 2 : 1)),
                    "price,", PriceRow(values, 28, values.prices[28] == 3000 ? 3100 : 3000));
    const std::string copy = m_dir.File("copy.gbc");
    const auto replace = [&] {
        WriteFileBytes(copy, original);
        fs::rename(PathFromUtf8(copy), PathFromUtf8(m_rom));
    };

    for (const int n : {1, 2}) {
        SCOPED_TRACE(n == 1 ? "before the first write" : "before the second write");
        WriteFileBytes(m_rom, original);
        m_sink.Clear();
        ImportResult result;
        {
            const ScopedFileHooks hooks(BeforeWrite(n, replace));
            result = Import(csv);
        }
        EXPECT_EQ(result.status, ImportStatus::Failed);
        ASSERT_EQ(result.plan.changes.size(), 3u);
        // The file now in the ROM's place is never written.
        EXPECT_EQ(ReadFileBytes(m_rom), original);
        ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
        const Message& message = m_sink.messages[0];
        EXPECT_NE(message.text.find("Could not write to \u201Crom.gbc\u201D"), std::string::npos)
            << message.text;
        EXPECT_EQ(message.title,
                  "Error: " + std::to_string(static_cast<int>(FileFailure::OtherFileInPlace)));
        // The import's one handle wrote into the file it opened (the path is looked at after
        // each group of runs, and these two runs are one group), which the message tells apart
        // from the file now at that name.
        EXPECT_NE(message.text.find("Every changed byte was written"), std::string::npos)
            << message.text;
        EXPECT_NE(message.text.find("the file now there was not written"), std::string::npos)
            << message.text;
    }

    // Many runs: the writes stop at the end of the group in which the file was replaced, and
    // the message says how far they went.
    {
        TableValues many = values;
        for (std::size_t s = 0; s < 40; ++s) {
            many.fields[s * 6][0] ^= 0x01;  // 40 runs of one byte, far enough apart
        }
        const std::string manyCsv = m_dir.File("many.csv");
        const std::string text = ExportCsv(many);
        WriteFileBytes(manyCsv, Bytes(text.begin(), text.end()));
        WriteFileBytes(m_rom, original);
        m_sink.Clear();
        ImportResult result;
        {
            const ScopedFileHooks hooks(BeforeWrite(3, replace));
            result = ImportTables(m_rom, manyCsv, {});
        }
        EXPECT_EQ(result.status, ImportStatus::Failed);
        EXPECT_EQ(ReadFileBytes(m_rom), original);
        ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
        EXPECT_NE(m_sink.messages[0].text.find("Only 32 of the 40 changed bytes"),
                  std::string::npos)
            << m_sink.messages[0].text;
        EXPECT_NE(m_sink.messages[0].text.find("Importing the same CSV again writes the rest"),
                  std::string::npos);
    }

    // A flush that fails after every byte was written says so, and is no success.
    WriteFileBytes(m_rom, original);
    m_sink.Clear();
    FileLayerTestHooks failingDisk;
    failingDisk.flushFailure = std::make_error_code(std::errc::io_error);
    ImportResult result;
    {
        const ScopedFileHooks hooks(std::move(failingDisk));
        result = Import(csv);
    }
    EXPECT_EQ(result.status, ImportStatus::Failed);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("Every changed byte was written"), std::string::npos)
        << m_sink.messages[0].text;
}

TEST_F(TablesFile, ExportToAFileCreatesOnlyThatFileAndNeverTheRom) {
    WriteFileBytes(m_rom, SyntheticRomBytes("BXTJ"));
    const Bytes original = ReadFileBytes(m_rom);
    const auto csv = ExportTables(m_rom);
    ASSERT_TRUE(csv);
    EXPECT_FALSE(WriteCsvFile(m_rom, *csv, m_rom));
    EXPECT_EQ(ReadFileBytes(m_rom), original);
    ASSERT_TRUE(WriteCsvFile(m_csv, *csv, m_rom));
    EXPECT_EQ(ReadCsvFile(m_csv), csv);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"rom.gbc", "tables.csv"}));
    // No ROM is ever created.
    EXPECT_FALSE(ExportTables(m_dir.File("missing.gbc")));
    EXPECT_FALSE(fs::exists(PathFromUtf8(m_dir.File("missing.gbc"))));
}

}  // namespace
}  // namespace brindlewick::test
