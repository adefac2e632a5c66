// What another program or a failing disk can do to a save at exactly the wrong moment, made to
// happen through the file layer's test seam: a file renamed over the ROM after the first
// write, a truncation between the check and a write, a FIFO in the ROM's place, a flush that
// fails, and another window that saved in between. Every case compares whole files.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <memory>

#include <chrono>
#include <filesystem>
#include <functional>

#include "convert/HexDigits.h"
#include "editor/EditorFixture.h"
#include "platform/NativeFile.h"

namespace brindlewick::test {
namespace {

namespace fs = std::filesystem;

// A Gold image that differs from the synthetic one in every byte but the game code.
Bytes OtherGoldBytes() {
    Bytes bytes = SyntheticRomBytes("AAUE");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i < 0x13F || i >= 0x143) {
            bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ 0x5A);
        }
    }
    return bytes;
}

constexpr int kMachine = 4;    // TM05
constexpr int kSpecies = 250;  // Celebi

class SaveFaultsTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        OpenRom();
        SelectMachine(kMachine);
        SelectSpecies(kSpecies);
        m_view.shown.move = 0x42;
        m_view.shown.price = "4242";
        m_view.shown.checked.fill(true);
        m_before = ReadFileBytes(m_rom);
        m_sink.Clear();
    }

    // The image with the first `writes` bytes of the save above written.
    Bytes AfterWrites(Bytes bytes, int writes) const {
        const std::size_t at[] = {
            MoveAt(kGoldEnglish, kMachine),     FieldAt(kGoldEnglish, kSpecies, 0),
            FieldAt(kGoldEnglish, kSpecies, 1), FieldAt(kGoldEnglish, kSpecies, 2),
            FieldAt(kGoldEnglish, kSpecies, 3), FieldAt(kGoldEnglish, kSpecies, 4),
            FieldAt(kGoldEnglish, kSpecies, 5), FieldAt(kGoldEnglish, kSpecies, 6),
            FieldAt(kGoldEnglish, kSpecies, 7), PriceAt(kGoldEnglish, kMachine),
            PriceAt(kGoldEnglish, kMachine) + 1};
        for (int i = 0; i < writes; ++i) {
            std::uint8_t value = 0xFF;
            if (i == 0) {
                value = 0x42;
            } else if (i == 8) {
                value = static_cast<std::uint8_t>(bytes[at[i]] | 0x01);
            } else if (i == 9) {
                value = 4242 & 0xFF;
            } else if (i == 10) {
                value = 4242 >> 8;
            }
            bytes[at[i]] = value;
        }
        return bytes;
    }

    void ExpectOneFailure(const std::string& title, const std::string& text) const {
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].title, title);
        EXPECT_EQ(m_sink.messages[0].text, text);
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::None);
    }

    Bytes m_before;
};

// The save checks the file, writes the move byte, and then another program renames a file of
// the same release over the ROM: the file now at that name gets no byte, and the save stops
// after the write that was under way (into the file it opened, whose bytes the message tells).
TEST_F(SaveFaultsTest, NoByteReachesAFileRenamedOverTheRom) {
    const std::string original = m_dir.File("original.gbc");
    fs::create_hard_link(PathFromUtf8(m_rom), PathFromUtf8(original));
    const std::string other = m_dir.File("other.gbc");
    WriteFileBytes(other, OtherGoldBytes());
    {
        ScopedFileHooks hooks(
            BeforeWrite(2, [&] { fs::rename(PathFromUtf8(other), PathFromUtf8(m_rom)); }));
        Save();
    }
    ExpectOneFailure("Error: 1011",
                     "Could not save into “rom.gbc”: Another file has taken the ROM's place "
                     "since the save began. Open the ROM again and save again. Of this save, the "
                     "move was written, the species' field only in part (1 of its 8 bytes), and "
                     "the price was not. Saving again writes all of it. (This is in the file "
                     "that was opened, which that name no longer reaches; the file now there was "
                     "not written.)");
    EXPECT_EQ(ReadFileBytes(m_rom), OtherGoldBytes());
    EXPECT_EQ(ReadFileBytes(original), AfterWrites(m_before, 2));
}

// A truncation after a write's check and before its byte goes, which the write then extends:
// the save stops there and says what happened and what the file holds.
TEST_F(SaveFaultsTest, TruncationTheWriteExtendsIsToldAsItHappened) {
    constexpr std::size_t kCut = 4096;
    FileLayerTestHooks cutter;
    auto count = std::make_shared<int>(0);
    cutter.afterSizeCheck = [&, count](const std::string&, std::int64_t) {
        if (++*count == 5) {
            fs::resize_file(PathFromUtf8(m_rom), kCut);
        }
    };
    {
        ScopedFileHooks hooks(std::move(cutter));
        Save();
    }
    const std::size_t at = FieldAt(kGoldEnglish, kSpecies, 3);
    const Bytes written = AfterWrites(m_before, 5);
    Bytes expected(written.begin(), written.begin() + kCut);
    expected.resize(at, 0);
    expected.push_back(written[at]);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
    std::size_t cut = kCut;
    while (cut > 0 && m_before[cut - 1] == 0) {
        --cut;
    }
    ASSERT_EQ(m_sink.messages.size(), 1u);
    const std::string& text = m_sink.messages[0].text;
    EXPECT_EQ(m_sink.messages[0].title, "Error: 1014");
    EXPECT_NE(text.find("While this program wrote 1 byte at offset 0x" +
                        HexText(static_cast<unsigned>(at), 6) +
                        ", another program cut the file short: it held 2097152 bytes before; it "
                        "was cut to " +
                        std::to_string(cut) +
                        " bytes (as far as its bytes show), and this "
                        "program's write then made it " +
                        std::to_string(at + 1) + " bytes long."),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("never extended"), std::string::npos) << text;
}

// A truncation between the check and a write: the write refuses, the file keeps its new
// length, and the message says what of the save is in the file and what happened to its size.
TEST_F(SaveFaultsTest, TruncationBeforeAWriteNeverExtendsTheFile) {
    const std::size_t cut = FieldAt(kGoldEnglish, kSpecies, 3);
    {
        ScopedFileHooks hooks(BeforeWrite(5, [&] { fs::resize_file(PathFromUtf8(m_rom), cut); }));
        Save();
    }
    ExpectOneFailure("Error: 1004",
                     "Could not save into “rom.gbc”: The file ends before the bytes to write; it "
                     "is never extended. Of this save, the move was written, the species' field "
                     "only in part (3 of its 8 bytes), and the price was not. Saving again writes "
                     "all of it. While it was being written, another program cut the file short: "
                     "it held 2097152 bytes before and holds " +
                         std::to_string(cut) + " bytes now.");
    const Bytes written = AfterWrites(m_before, 4);
    EXPECT_EQ(ReadFileBytes(m_rom), Bytes(written.begin(), written.begin() + cut));
}

// The ROM deleted right before the last write (the price's high byte): the save's handle
// still writes into the file it opened, and the message says that no name reaches it now.
TEST_F(SaveFaultsTest, RomDeletedBeforeTheLastWriteIsToldAndNoSuccess) {
    {
        ScopedFileHooks hooks(BeforeWrite(11, [&] { fs::remove(PathFromUtf8(m_rom)); }));
        Save();
    }
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].title, "Error: 2");
    EXPECT_NE(m_sink.messages[0].text.find("Every byte of this save went into the file that "
                                           "was opened, which that name no longer reaches."),
              std::string::npos)
        << m_sink.messages[0].text;
}

// A flush that fails: no success is claimed, and the user learns that the bytes may not be
// on the disk.
TEST_F(SaveFaultsTest, NoSuccessAfterAFailedFlush) {
    FileLayerTestHooks failing;
    failing.flushFailure = std::error_code(EIO, std::generic_category());
    {
        ScopedFileHooks hooks(std::move(failing));
        Save();
    }
    ExpectOneFailure("Error: " + std::to_string(EIO),
                     "Could not save into “rom.gbc”: " + std::generic_category().message(EIO) +
                         ". Every byte of this save was written, but it may not have reached the "
                         "disk. Saving again writes all of it.");
    // The bytes themselves went through (the seam fails only the flush).
    EXPECT_EQ(ReadFileBytes(m_rom), AfterWrites(m_before, 11));

    m_sink.Clear();
    Save();
    ExpectOnlySuccessMessage();
}

// A FIFO put in the ROM's place is refused at once, at a selection and at a save; nothing
// waits for a writer that never comes.
TEST_F(SaveFaultsTest, FifoInPlaceOfTheRomIsRefusedAtOnce) {
    fs::remove(PathFromUtf8(m_rom));
    ASSERT_EQ(::mkfifo(m_rom.c_str(), 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    SelectMachine(7);
    SelectSpecies(3);
    Save();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    ExpectOneFailure("Error: 1005",
                     "Could not save into “rom.gbc”: The path does not name a file.");
    EXPECT_TRUE(fs::is_fifo(PathFromUtf8(m_rom)));
    // Opening it is refused at once as well, and the open ROM stays in force.
    m_sink.Clear();
    Open(m_rom);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].title, "Error: 1005");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    fs::remove(PathFromUtf8(m_rom));
}

// The file's name, and what the user can do, in a failure's message.
TEST_F(SaveFaultsTest, MessagesNameTheFileAndTheWayOut) {
    const std::string copy = MakeSyntheticRom(m_dir, "AAUE", "Gold copy.gbc");
    Open(copy);
    m_sink.Clear();
    fs::permissions(PathFromUtf8(copy), fs::perms::owner_read);
    Save();
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(m_sink.questions[0].text,
              "“Gold copy.gbc” is marked read-only. Make it writable and save?");
    EXPECT_TRUE(m_sink.messages.empty());

    m_sink.Clear();
    fs::remove(PathFromUtf8(copy));
    SelectSpecies(0);
    ASSERT_EQ(m_sink.messages.size(), 8u);
    EXPECT_EQ(m_sink.messages[0].title, "Error: " + std::to_string(ENOENT));
    EXPECT_EQ(m_sink.messages[0].text,
              "Could not read “Gold copy.gbc”: No such file or directory. It may have been moved, "
              "renamed or deleted; open it again from where it is now.");
}

// Two windows on one file: the second's save would silently undo the first's.
class TwoWindowsTest : public EditorTest {
protected:
    FakeView m_otherView;
    Editor m_other{m_otherView};
};

TEST_F(TwoWindowsTest, AskBeforeOverwritingAnotherWindowsSave) {
    Poke(PriceAt(kGoldEnglish, kMachine), {0xB8, 0x0B});  // 3000
    OpenRom();
    SelectMachine(kMachine);
    m_otherView.answers.push_back(m_rom);
    m_other.OpenRom();
    m_otherView.shown.machine = kMachine;
    m_other.MachineSelected();
    ASSERT_EQ(m_otherView.shown.price, "3000");

    // Window A saves 1111; window B, still showing 3000, saves.
    m_view.shown.price = "1111";
    Save();
    ExpectOnlySuccessMessage();
    EXPECT_TRUE(m_sink.questions.empty());
    const Bytes afterFirst = ReadFileBytes(m_rom);

    m_sink.Clear();
    m_other.SaveRom();
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(m_sink.questions[0].title, "Brindlewick");
    EXPECT_EQ(m_sink.questions[0].text,
              "“rom.gbc” has been changed since this window read it, by another program or "
              "window: the price of TM05 (now 1111). Saving replaces that with what this window "
              "shows. Save all the same?");
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_rom), afterFirst);

    // Accepted: written, and from then on what it wrote is what it remembers.
    m_sink.Clear();
    m_sink.answer = true;
    m_other.SaveRom();
    EXPECT_EQ(m_sink.questions.size(), 1u);
    ExpectOnlySuccessMessage();
    Bytes expected = afterFirst;
    expected[PriceAt(kGoldEnglish, kMachine)] = 0xB8;
    expected[PriceAt(kGoldEnglish, kMachine) + 1] = 0x0B;
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
    m_sink.Clear();
    m_other.SaveRom();
    EXPECT_TRUE(m_sink.questions.empty());

    // Window A has not seen B's save; it is asked in turn.
    m_sink.Clear();
    m_sink.answer = false;
    Save();
    EXPECT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(ReadFileBytes(m_rom), expected);
}

TEST_F(TwoWindowsTest, QuestionNamesEveryChangeAndOnlyRealOnes) {
    OpenRom();
    SelectMachine(kMachine);
    SelectSpecies(kSpecies);
    // Spare bits of the last field byte are kept by a save, so a change there undoes nothing.
    const std::size_t last = FieldAt(kGoldEnglish, kSpecies, 7);
    const Bytes lastByte = Peek(last, 1);
    Poke(last, {static_cast<std::uint8_t>(lastByte[0] ^ 0xF0)});
    Save();
    ExpectOnlySuccessMessage();
    EXPECT_TRUE(m_sink.questions.empty());

    Poke(MoveAt(kGoldEnglish, kMachine), {0x55});
    Poke(PriceAt(kGoldEnglish, kMachine), {0x01, 0x00});
    Poke(FieldAt(kGoldEnglish, kSpecies, 2),
         {static_cast<std::uint8_t>(~Peek(FieldAt(kGoldEnglish, kSpecies, 2), 1)[0])});
    const Bytes changed = ReadFileBytes(m_rom);
    Save();
    ASSERT_EQ(m_sink.questions.size(), 1u);
    EXPECT_NE(m_sink.questions[0].text.find(
                  "the move of TM05 (the file now holds Thunderbolt), the price of TM05 (now 1) "
                  "and the machines Celebi can learn."),
              std::string::npos)
        << m_sink.questions[0].text;
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_EQ(ReadFileBytes(m_rom), changed);
}

}  // namespace
}  // namespace brindlewick::test
