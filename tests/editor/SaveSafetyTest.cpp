// The save's one handle: it holds the ROM's lock from its check to its last write, runs the
// self-check through that handle, reads the file again after its questions, and tells what
// another program did to the file's size. Every case compares whole files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "editor/EditorFixture.h"
#include "editor/TableCommands.h"
#include "platform/OpenFile.h"
#include "rom/TablePlaces.h"
#include "support/CartridgeImage.h"
#include "tables/TablesCsv.h"
#include "tables/TablesFile.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

constexpr int kMachine = 4;    // TM05
constexpr int kSpecies = 250;  // Celebi

class SaveSafety : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        m_lockWait = RomLockWait();
        SetRomLockWait(std::chrono::milliseconds(200));
    }
    void TearDown() override { SetRomLockWait(m_lockWait); }

    // Opens `image` as the ROM and shows an edit of TM05's price.
    void OpenWithEdit(const Bytes& image) {
        WriteFileBytes(m_rom, image);
        OpenRom();
        SelectMachine(kMachine);
        SelectSpecies(kSpecies);
        m_view.shown.price = "4242";
        m_sink.Clear();
    }

    // `image` with the price of TM05 set to `price`.
    static Bytes WithPrice(Bytes image, int price) {
        PutPrice(image, PriceAt(kGoldEnglish, kMachine), price);
        return image;
    }

    std::chrono::milliseconds m_lockWait{};
};

// A real cartridge image that became a modified game after the window opened it gets no
// byte, and the message says why; later saves are refused as at the open.
TEST_F(SaveSafety, FileThatBecameAModifiedGameSinceItWasOpenedGetsNoByte) {
    const Bytes image = CartridgeImageBytes(LayoutOf(kGoldEnglish));
    OpenWithEdit(image);
    CartridgeOptions moved;
    moved.itemRecordsShifted = true;
    const Bytes modified = CartridgeImageBytes(LayoutOf(kGoldEnglish), moved);
    WriteFileBytes(m_rom, modified);

    for (int attempt = 0; attempt < 2; ++attempt) {
        Save();
        EXPECT_TRUE(m_sink.questions.empty());
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].text.rfind(kSaveRefusedPrefix, 0), 0u);
        EXPECT_NE(m_sink.messages[0].text.find("item records"), std::string::npos)
            << m_sink.messages[0].text;
        EXPECT_EQ(ReadFileBytes(m_rom), modified);
        if (attempt == 0) {
            EXPECT_NE(m_sink.messages[0].text.find("has changed since it was opened"),
                      std::string::npos);
        }
    }
}

// The file changes again while the question about a change made elsewhere is open: the user
// is asked again with the value the file holds now, and only that answer writes.
TEST_F(SaveSafety, ChangeWhileTheQuestionIsOpenIsAskedAboutAgain) {
    const Bytes image = ReadFileBytes(m_rom);
    for (const bool secondAnswer : {false, true}) {
        SCOPED_TRACE(secondAnswer ? "saved" : "declined");
        OpenWithEdit(image);
        WriteFileBytes(m_rom, WithPrice(image, 1111));  // another program's save
        m_sink.answer = true;
        m_sink.whileAsking = [&](std::size_t question) {
            if (question == 1) {
                WriteFileBytes(m_rom, WithPrice(image, 2222));
            }
            m_sink.answer = question == 1 || secondAnswer;
        };
        Save();
        ASSERT_EQ(m_sink.questions.size(), 2u);
        EXPECT_NE(m_sink.questions[0].text.find("the price of TM05 (now 1111)"), std::string::npos);
        EXPECT_NE(m_sink.questions[1].text.find("the price of TM05 (now 2222)"), std::string::npos)
            << m_sink.questions[1].text;
        EXPECT_EQ(ReadFileBytes(m_rom), WithPrice(image, secondAnswer ? 4242 : 2222));
        m_sink.whileAsking = nullptr;
        m_sink.answer = false;
    }
}

// Another writer holds the ROM's lock: the save waits a bounded time and refuses with
// nothing written. While the window's own question is open it holds the lock, and an import
// then refuses in turn.
TEST_F(SaveSafety, SaveAndImportNeverWriteAtOnce) {
    const Bytes image = ReadFileBytes(m_rom);
    OpenWithEdit(image);
    {
        OpenFile other;
        ASSERT_FALSE(other.Open(m_rom, OpenFile::Access::ReadWrite));
        ASSERT_FALSE(other.Lock(std::chrono::milliseconds(0)));
        Save();
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].title, "Error: 1012");
        EXPECT_EQ(m_sink.messages[0].text.rfind("\u201Crom.gbc\u201D is being written by another "
                                                "program; nothing was written.",
                                                0),
                  0u)
            << m_sink.messages[0].text;
        EXPECT_EQ(ReadFileBytes(m_rom), image);
    }

    // An import tried while the save's question is open.
    const std::string csv = m_dir.File("tables.csv");
    {
        std::ofstream out(PathFromUtf8(csv), std::ios::binary);
        out << ExportCsv([&] {
            auto values = ReadTables(m_rom, m_editor.State().Tables.places);
            values->prices[0] = 9;
            return *values;
        }());
    }
    WriteFileBytes(m_rom, WithPrice(image, 1111));
    ImportStatus during = ImportStatus::Written;
    m_sink.answer = true;
    m_sink.whileAsking = [&](std::size_t) { during = ImportTables(m_rom, csv, {}).status; };
    Save();
    EXPECT_EQ(during, ImportStatus::Refused);
    EXPECT_EQ(ReadFileBytes(m_rom), WithPrice(image, 4242));
}

// Success is told only once the file is closed and its lock let go: another writer (on
// Windows, any reader) is not kept waiting behind an open message box.
TEST_F(SaveSafety, SuccessIsToldWithTheLockLetGo) {
    const Bytes image = ReadFileBytes(m_rom);
    OpenWithEdit(image);
    const auto lockFree = [&] {
        OpenFile other;
        return !other.Open(m_rom, OpenFile::Access::ReadWrite) &&
               !other.Lock(std::chrono::milliseconds(0));
    };
    std::vector<bool> freeWhileShown;
    m_sink.whileShowing = [&](const Message&) { freeWhileShown.push_back(lockFree()); };
    Save();
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].text, kSaveSucceededMessage);
    EXPECT_EQ(freeWhileShown, std::vector<bool>{true});

    // The import's report likewise.
    const std::string csv = m_dir.File("tables.csv");
    {
        std::ofstream out(PathFromUtf8(csv), std::ios::binary);
        auto values = ReadTables(m_rom, m_editor.State().Tables.places);
        values->prices[0] = 9;
        out << ExportCsv(*values);
    }
    m_sink.Clear();
    freeWhileShown.clear();
    EXPECT_EQ(ImportTables(m_rom, csv, {}).status, ImportStatus::Written);
    EXPECT_EQ(freeWhileShown, std::vector<bool>{true});
}

// Another program grows the file while the save writes: no success, and the sizes are told.
TEST_F(SaveSafety, SizeChangedDuringTheSaveIsTold) {
    const Bytes image = ReadFileBytes(m_rom);
    OpenWithEdit(image);
    {
        const ScopedFileHooks hooks(BeforeWrite(1, [&] {
            std::ofstream grow(PathFromUtf8(m_rom), std::ios::binary | std::ios::app);
            grow << "xy";
        }));
        Save();
    }
    Bytes expected = WithPrice(image, 4242);
    expected.insert(expected.end(), {'x', 'y'});
    EXPECT_EQ(DifferingOffsets(ReadFileBytes(m_rom), expected), std::vector<std::size_t>{});
    EXPECT_EQ(ReadFileBytes(m_rom).size(), expected.size());
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find(
                  "another program made the file longer: it held " + std::to_string(image.size()) +
                  " bytes before and holds " + std::to_string(image.size() + 2) + " bytes now."),
              std::string::npos)
        << m_sink.messages[0].text;
    EXPECT_NE(m_sink.messages[0].text, kSaveSucceededMessage);
}

}  // namespace
}  // namespace brindlewick::test
