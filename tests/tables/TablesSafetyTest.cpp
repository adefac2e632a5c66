// What another program can do to an import or an export at exactly the wrong moment, made to
// happen through the file layer's test seam and the message sink's open questions: a change
// while a question is open, a file that became a modified game, a size changed during the
// writes, a failing flush or the ROM swapped in before an export's rename. Every case compares
// whole files and the folder's listing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <utility>

#include "convert/HexDigits.h"

#include "editor/TableCommands.h"
#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "rom/RomProfile.h"
#include "rom/TablePlaces.h"
#include "support/TestSupport.h"
#include "tables/ImportPlan.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"
#include "tables/TablesTestImages.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

const Release& kGoldEnglish = ReleaseOf("AAUE");

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(PathFromUtf8(path), std::ios::binary);
    out << text;
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string AllMessages(const RecordingSink& sink) {
    std::string text;
    for (const Message& message : sink.messages) {
        text += message.title + ": " + message.text + "\n";
    }
    return text;
}

class TablesSafety : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(m_rom, m_original);
        m_wanted = Decode(m_original, m_gold);
        m_wanted.prices[4] = 4321;
        m_wanted.fields[0][0] ^= 0x01;
        WriteText(m_csv, ExportCsv(m_wanted));
        m_expected = m_original;
        PutPrice(m_expected, PriceAt(kGoldEnglish, 4), 4321);
        m_expected[FieldAt(kGoldEnglish, 0, 0)] ^= 0x01;
    }

    // Another program's edit of TM10's price, straight into the file.
    void EditElsewhere() {
        Bytes bytes = ReadFileBytes(m_rom);
        PutPrice(bytes, PriceAt(kGoldEnglish, 9), 777);
        WriteFileBytes(m_rom, bytes);
    }

    static Bytes WithTm05Price(Bytes bytes, int price) {
        PutPrice(bytes, PriceAt(kGoldEnglish, 4), price);
        return bytes;
    }

    TempDir m_dir;
    RecordingSink m_sink;
    std::string m_rom = m_dir.File("rom.gbc");
    std::string m_csv = m_dir.File("tables.csv");
    const RomProfile& m_gold = *Identify("AAUE");
    const Bytes m_original = RealLookingRomBytes(m_gold);
    TableValues m_wanted;
    Bytes m_expected;
};

// A change made while the window's question is open is told and asked about again with the
// plan worked out anew: the other program's change is written over only after that second
// question, and stays when it is declined.
TEST_F(TablesSafety, WindowImportAsksAgainAboutAChangeMadeWhileItsQuestionWasOpen) {
    m_sink.answer = true;
    m_sink.whileAsking = [&](std::size_t question) {
        if (question == 1) {
            EditElsewhere();
        }
    };
    EXPECT_EQ(ImportRomTables(m_rom, m_csv), ImportStatus::Written) << AllMessages(m_sink);
    ASSERT_EQ(m_sink.questions.size(), 2u);
    const std::string& again = m_sink.questions[1].text;
    EXPECT_NE(again.find("was changed by another program while the question was open"),
              std::string::npos)
        << again;
    EXPECT_NE(again.find("TM10: price 777 -> "), std::string::npos) << again;
    // The CSV sets TM10's price back: the new plan says so.
    EXPECT_NE(again.find("TM10: price 777 -> " + std::to_string(m_wanted.prices[9])),
              std::string::npos)
        << again;
    EXPECT_EQ(ReadFileBytes(m_rom), m_expected);

    // Declined the second time: the other program's change stays, nothing of the CSV lands.
    WriteFileBytes(m_rom, m_original);
    m_sink.Clear();
    m_sink.whileAsking = [&](std::size_t question) {
        m_sink.answer = question == 1;
        if (question == 1) {
            EditElsewhere();
        }
    };
    EXPECT_EQ(ImportRomTables(m_rom, m_csv), ImportStatus::Refused);
    Bytes edited = m_original;
    PutPrice(edited, PriceAt(kGoldEnglish, 9), 777);
    EXPECT_EQ(ReadFileBytes(m_rom), edited);
}

// Where no one can be asked again (the command line), a change made during a question is
// refused with what changed, and nothing is written.
TEST_F(TablesSafety, ImportWithoutAQuestionSinkRefusesAChangeMadeWhileAsking) {
    ImportOptions options;
    options.confirmChanges = [&](const ImportPlan&) {
        EditElsewhere();
        return true;
    };
    const ImportResult result = ImportTables(m_rom, m_csv, options);
    EXPECT_EQ(result.status, ImportStatus::Refused);
    Bytes edited = m_original;
    PutPrice(edited, PriceAt(kGoldEnglish, 9), 777);
    EXPECT_EQ(ReadFileBytes(m_rom), edited);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("TM10: price " + std::to_string(m_wanted.prices[9]) +
                                           " -> 777"),
              std::string::npos)
        << m_sink.messages[0].text;
    EXPECT_NE(m_sink.messages[0].text.find("Nothing was written"), std::string::npos);
}

// A file that became a modified game while the question was open gets no byte: the
// self-check runs again through the handle that writes.
TEST_F(TablesSafety, SelfCheckIsReadAgainRightBeforeTheFirstWrite) {
    Bytes modified = m_original;
    modified[PriceRecordAt(kGoldEnglish, 4) + 5] = 4;  // a dummy record made a machine's
    ImportOptions options;
    options.confirmChanges = [&](const ImportPlan&) {
        WriteFileBytes(m_rom, modified);
        return true;
    };
    EXPECT_EQ(ImportTables(m_rom, m_csv, options).status, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), modified);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("changed while the question was open"),
              std::string::npos);
    EXPECT_NE(m_sink.messages[0].text.find("item records"), std::string::npos);
}

// Another program grows or cuts the file during the writes: the import says what happened,
// with the size before and after, and claims no success.
TEST_F(TablesSafety, SizeChangedDuringTheWritesIsToldExactly) {
    const std::uint64_t size = m_original.size();
    {
        const ScopedFileHooks hooks(BeforeWrite(2, [&] {
            std::ofstream grow(PathFromUtf8(m_rom), std::ios::binary | std::ios::app);
            grow << "tail";
        }));
        EXPECT_EQ(ImportTables(m_rom, m_csv, {}).status, ImportStatus::Failed);
    }
    Bytes grown = m_expected;
    grown.insert(grown.end(), {'t', 'a', 'i', 'l'});
    EXPECT_EQ(ReadFileBytes(m_rom), grown);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("another program made the file longer: it held " +
                                           std::to_string(size) + " bytes before and holds " +
                                           std::to_string(size + 4) + " bytes now"),
              std::string::npos)
        << m_sink.messages[0].text;
    EXPECT_EQ(m_sink.messages[0].text.find("never extended"), std::string::npos);

    // Cut short before the second write: the second run is refused, never extending it.
    WriteFileBytes(m_rom, m_original);
    m_sink.Clear();
    const std::size_t cut = FieldAt(kGoldEnglish, 0, 0);
    {
        const ScopedFileHooks hooks(
            BeforeWrite(2, [&] { fs::resize_file(PathFromUtf8(m_rom), cut); }));
        EXPECT_EQ(ImportTables(m_rom, m_csv, {}).status, ImportStatus::Failed);
    }
    Bytes cutShort = m_original;
    PutPrice(cutShort, PriceAt(kGoldEnglish, 4), 4321);
    cutShort.resize(cut);
    EXPECT_EQ(ReadFileBytes(m_rom), cutShort);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("another program cut the file short: it held " +
                                           std::to_string(size) + " bytes before and holds " +
                                           std::to_string(cut) + " bytes now"),
              std::string::npos)
        << m_sink.messages[0].text;
}

// Another program cuts the file short after the size check of the first write and before its
// bytes go, so that the write extends the cut file: the import stops there, and the message
// tells the cut, the write, the size it made and which bytes hold what, and advises no
// import of the rest.
TEST_F(TablesSafety, CutBetweenTheCheckAndTheWriteIsToldAsItHappened) {
    Bytes image = m_original;
    // Bytes before the tables that are not zero, so that the file shows where it was cut.
    std::fill(image.begin() + 0x150, image.begin() + 0x6000, std::uint8_t{0xA5});
    WriteFileBytes(m_rom, image);
    constexpr std::size_t kCut = 4096;
    FileLayerTestHooks cutter;
    bool done = false;
    cutter.afterSizeCheck = [&](const std::string&, std::int64_t) {
        if (!std::exchange(done, true)) {
            fs::resize_file(PathFromUtf8(m_rom), kCut);
        }
    };
    {
        const ScopedFileHooks hooks(std::move(cutter));
        EXPECT_EQ(ImportTables(m_rom, m_csv, {}).status, ImportStatus::Failed);
    }
    // The first run of changed bytes is TM05's price.
    Bytes wanted = image;
    PutPrice(wanted, PriceAt(kGoldEnglish, 4), 4321);
    const std::vector<std::size_t> changed = DifferingOffsets(image, wanted);
    ASSERT_FALSE(changed.empty());
    const std::size_t end = changed.back() + 1;
    Bytes expected(image.begin(), image.begin() + kCut);
    expected.resize(changed.front(), 0);
    expected.insert(expected.end(), wanted.begin() + static_cast<std::ptrdiff_t>(changed.front()),
                    wanted.begin() + static_cast<std::ptrdiff_t>(end));
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    const std::string& text = m_sink.messages[0].text;
    EXPECT_EQ(m_sink.messages[0].title, "Error: 1014");
    const std::string wrote = std::to_string(changed.size()) + " bytes at offset 0x" +
                              HexText(static_cast<unsigned>(changed.front()), 6);
    for (const std::string& said :
         {"While this program wrote " + wrote + ", another program cut the file short: it held " +
              std::to_string(image.size()) + " bytes before; it was cut to 4096 bytes",
          "this program's write then made it " + std::to_string(end) + " bytes long",
          std::string("holds the ROM's bytes before offset 0x001000, zeros from there up to the "
                      "write"),
          "the ROM's last " + std::to_string(image.size() - end) + " bytes are gone"}) {
        EXPECT_NE(text.find(said), std::string::npos) << said << "\n" << text;
    }
    EXPECT_EQ(text.find("never extended"), std::string::npos) << text;
    EXPECT_EQ(text.find("again"), std::string::npos) << text;
}

// Another holder of the ROM's lock: the import waits a bounded time, then refuses.
TEST_F(TablesSafety, ImportRefusesWhileAnotherWriterHoldsTheLock) {
    const auto wait = RomLockWait();
    SetRomLockWait(std::chrono::milliseconds(200));
    OpenFile other;
    ASSERT_FALSE(other.Open(m_rom, OpenFile::Access::ReadWrite));
    ASSERT_FALSE(other.Lock(std::chrono::milliseconds(0)));
    const ImportResult result = ImportTables(m_rom, m_csv, {});
    SetRomLockWait(wait);
    EXPECT_EQ(result.status, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), m_original);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_EQ(m_sink.messages[0].title, "Error: 1012");
    EXPECT_EQ(m_sink.messages[0].text.rfind("\u201Crom.gbc\u201D is being written by another "
                                            "program; nothing was written.",
                                            0),
              0u);
}

// The window's export of a modified game asks first, Cancel the answer by default; the CSV
// it would have replaced stays.
TEST_F(TablesSafety, WindowExportOfAModifiedGameAsks) {
    Bytes modified = m_original;
    modified[PriceRecordAt(kGoldEnglish, 4) + 5] = 4;
    WriteFileBytes(m_rom, modified);
    WriteText(m_csv, "older\n");
    EXPECT_FALSE(ExportRomTables(m_rom, m_csv));
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_NE(m_sink.questions[0].text.find("item records"), std::string::npos);
    EXPECT_TRUE(m_sink.messages.empty()) << AllMessages(m_sink);
    EXPECT_EQ(ReadText(m_csv), "older\n");

    m_sink.answer = true;
    EXPECT_TRUE(ExportRomTables(m_rom, m_csv));
    EXPECT_EQ(ReadText(m_csv), ExportCsv(Decode(modified, m_gold)));
    EXPECT_EQ(ReadFileBytes(m_rom), modified);
}

// An export that fails (a full disk at the flush) or finds the ROM swapped into its target's
// place right before the rename leaves the old CSV, the ROM and the folder as they were.
TEST_F(TablesSafety, FailedExportLeavesTheOldCsvAndNoOtherFile) {
    WriteText(m_csv, "older\n");
    const auto listing = Listing(m_dir.Path());
    FileLayerTestHooks fullDisk;
    fullDisk.flushFailure = std::make_error_code(std::errc::no_space_on_device);
    {
        const ScopedFileHooks hooks(std::move(fullDisk));
        EXPECT_FALSE(ExportTablesToFile(m_rom, m_csv));
    }
    EXPECT_EQ(ReadText(m_csv), "older\n");
    EXPECT_EQ(Listing(m_dir.Path()), listing);
    ASSERT_EQ(m_sink.messages.size(), 1u) << AllMessages(m_sink);
    EXPECT_NE(m_sink.messages[0].text.find("Could not write to \u201Ctables.csv\u201D"),
              std::string::npos);

    // The ROM moved into the target's place between the check and the rename.
    m_sink.Clear();
    FileLayerTestHooks swap;
    swap.beforeRename = [&](const std::string&, const std::string&) {
        fs::rename(PathFromUtf8(m_rom), PathFromUtf8(m_csv));
    };
    {
        const ScopedFileHooks hooks(std::move(swap));
        EXPECT_FALSE(ExportTablesToFile(m_rom, m_csv));
    }
    EXPECT_EQ(ReadFileBytes(m_csv), m_original);
    EXPECT_EQ(Listing(m_dir.Path()), std::vector<std::string>{"tables.csv"});
}

// The one writer a table editor shares with the import: it writes a plan only where every
// byte still holds what the plan was worked out from.
TEST_F(TablesSafety, PlanIsWrittenOnlyOverTheBytesItWasWorkedOutFrom) {
    const ImportPlan plan = PlanImport(RowPlaces(m_gold), Decode(m_original, m_gold), m_wanted);
    ASSERT_EQ(plan.changes.size(), 3u);
    EditElsewhere();
    // TM10's price is not in the plan: written, and the other change kept.
    EXPECT_EQ(ApplyImportPlan(m_rom, RowPlaces(m_gold), plan), ImportStatus::Written)
        << AllMessages(m_sink);
    Bytes expected = m_expected;
    PutPrice(expected, PriceAt(kGoldEnglish, 9), 777);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);

    // TM05's price changed elsewhere: the plan would write over it, so nothing is written.
    WriteFileBytes(m_rom, WithTm05Price(m_original, 1));
    m_sink.Clear();
    EXPECT_EQ(ApplyImportPlan(m_rom, RowPlaces(m_gold), plan), ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), WithTm05Price(m_original, 1));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("changed since it was read"), std::string::npos);
}

// In Crystal, HM07 given no move cuts off the tutor's moves that follow it: the import asks,
// and without an answer (the program without --force) it is refused.
TEST_F(TablesSafety, CrystalHm07WithoutAMoveIsAskedAbout) {
    const RomProfile& crystal = *Identify("BYTE");
    const Bytes original = RealLookingRomBytes(crystal);
    WriteFileBytes(m_rom, original);
    TableValues values = Decode(original, crystal);
    values.moves[kMachineCount - 1] = 0;
    WriteText(m_csv, ExportCsv(values));
    EXPECT_EQ(ImportTables(m_rom, m_csv, {}).status, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), original);

    std::string asked;
    ImportOptions options;
    options.confirm = [&](const std::string& question) {
        asked = question;
        return true;
    };
    EXPECT_EQ(ImportTables(m_rom, m_csv, options).status, ImportStatus::Written);
    EXPECT_NE(asked.find("the move tutor would teach none of its three moves"), std::string::npos)
        << asked;
    Bytes expected = original;
    expected[MoveAt(ReleaseOf("BYTE"), kMachineCount - 1)] = 0;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

// A FIFO as the CSV to import is refused at once, in the window as in the program.
TEST_F(TablesSafety, FifoAsTheCsvIsRefusedAtOnce) {
    fs::remove(PathFromUtf8(m_csv));
    ASSERT_EQ(::mkfifo(m_csv.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ReadCsvFile(m_csv));
    EXPECT_EQ(ImportRomTables(m_rom, m_csv), ImportStatus::Refused);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ReadFileBytes(m_rom), m_original);
    EXPECT_TRUE(fs::is_fifo(PathFromUtf8(m_csv)));
}

}  // namespace
}  // namespace brindlewick::test
