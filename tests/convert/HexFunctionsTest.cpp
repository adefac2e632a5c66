#include "convert/HexFunctions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>

#include "platform/FileAccess.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

using test::Bytes;
using test::RecordingSink;
using test::TempDir;

class HexFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.File("data.bin");
        m_before = test::SyntheticRomBytes("", 64);
        m_before[10] = 0x05;
        m_before[11] = 0xFF;
        m_before[12] = 0xD2;
        m_before[13] = 0x06;
        test::WriteFileBytes(m_path, m_before);
    }

    // The whole file after the call, compared with what it held before, except `changes`.
    void ExpectFileIs(const std::vector<std::pair<std::size_t, std::uint8_t>>& changes) {
        Bytes expected = m_before;
        for (const auto& [offset, value] : changes) {
            expected[offset] = value;
        }
        EXPECT_EQ(test::ReadFileBytes(m_path), expected);
    }

    void ExpectOneFileFailure(FileFailure failure) {
        ASSERT_EQ(m_sink.messages.size(), 1u);
        EXPECT_EQ(m_sink.messages[0].title, "Error: " + std::to_string(static_cast<int>(failure)));
        // "Could not read “data.bin”: <description>." (or "write to"), naming the file only.
        const std::string& text = m_sink.messages[0].text;
        const std::string named = "“data.bin”: " + MakeErrorCode(failure).message() + ".";
        EXPECT_TRUE(text.starts_with("Could not read ") || text.starts_with("Could not write to "))
            << text;
        EXPECT_NE(text.find(named), std::string::npos) << text;
        EXPECT_EQ(m_sink.messages[0].icon, MessageIcon::None);
    }

    TempDir m_dir;
    std::string m_path;
    Bytes m_before;
    RecordingSink m_sink;
};

TEST_F(HexFileTest, ReadsTwoUppercaseDigitsPerByteInFileOrder) {
    EXPECT_EQ(ReadHexBytes(m_path, 10, 1), "05");
    EXPECT_EQ(ReadHexBytes(m_path, 11, 1), "FF");
    EXPECT_EQ(ReadHexBytes(m_path, 12, 2), "D206");
    EXPECT_EQ(ReadHexBytes(m_path, 10, 4), "05FFD206");
    EXPECT_EQ(ReadHexBytes(m_path, 63, 1).size(), 2u);  // the last byte of the file
    EXPECT_EQ(ReadHexBytes(m_path, 10, 0), "");
    EXPECT_EQ(ReadHexBytes(m_path, 10, -3), "");
    EXPECT_TRUE(m_sink.messages.empty());
    ExpectFileIs({});
}

TEST_F(HexFileTest, WritesEachDigitPairAsOneByte) {
    WriteHexBytes(m_path, 20, "7");    // one digit: 0x07
    WriteHexBytes(m_path, 30, "ABC");  // odd length: 0x0A, 0xBC
    WriteHexBytes(m_path, 40, "ff");   // lowercase
    WriteHexBytes(m_path, 50, "");     // nothing
    WriteHexBytes(m_path, 0, "0102");
    WriteHexBytes(m_path, 63, "EE");  // the last byte of the file
    EXPECT_TRUE(m_sink.messages.empty());
    ExpectFileIs(
        {{20, 0x07}, {30, 0x0A}, {31, 0xBC}, {40, 0xFF}, {0, 0x01}, {1, 0x02}, {63, 0xEE}});
    EXPECT_EQ(ReadHexBytes(m_path, 30, 2), "0ABC");
}

TEST_F(HexFileTest, BadDigitPairStopsTheWriteThere) {
    EXPECT_FALSE(TryWriteHexBytes(m_path, 20, "12G4"));
    ExpectOneFileFailure(FileFailure::NotHexadecimal);
    ExpectFileIs({{20, 0x12}});
    // The file was closed: the next call works.
    EXPECT_TRUE(TryWriteHexBytes(m_path, 21, "34"));
    ExpectFileIs({{20, 0x12}, {21, 0x34}});
}

TEST_F(HexFileTest, ReadPastTheEndFailsWithEmptyResult) {
    EXPECT_EQ(ReadHexBytes(m_path, 63, 2), "");
    ExpectOneFileFailure(FileFailure::ReadPastEnd);
    m_sink.Clear();
    EXPECT_EQ(ReadHexBytes(m_path, 64, 1), "");
    ExpectOneFileFailure(FileFailure::ReadPastEnd);
    m_sink.Clear();
    // The largest length there is, on a file of 64 bytes: refused on the file's size, before
    // any buffer of that length is made.
    EXPECT_EQ(ReadHexBytes(m_path, 0, std::numeric_limits<std::int32_t>::max()), "");
    ExpectOneFileFailure(FileFailure::ReadPastEnd);
    ExpectFileIs({});
}

TEST_F(HexFileTest, WriteThatWouldExtendTheFileWritesNothing) {
    for (const auto& [offset, text] : {std::pair{64, "00"}, {63, "0102"}, {1000, "FF"}}) {
        m_sink.Clear();
        EXPECT_FALSE(TryWriteHexBytes(m_path, offset, text)) << offset;
        ExpectOneFileFailure(FileFailure::WritePastEnd);
    }
    EXPECT_EQ(std::filesystem::file_size(PathFromUtf8(m_path)), 64u);
    ExpectFileIs({});
}

TEST_F(HexFileTest, OffsetsOutsideTheThirtyTwoBitRangeFail) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(ReadHexBytes(m_path, -1, 1), "");
    ExpectOneFileFailure(FileFailure::OffsetOutOfRange);
    m_sink.Clear();
    EXPECT_EQ(ReadHexBytes(m_path, kMax, kMax), "");
    ExpectOneFileFailure(FileFailure::OffsetOutOfRange);
    m_sink.Clear();
    EXPECT_FALSE(TryWriteHexBytes(m_path, std::numeric_limits<std::int32_t>::min(), "00"));
    ExpectOneFileFailure(FileFailure::OffsetOutOfRange);
    m_sink.Clear();
    EXPECT_FALSE(TryWriteHexBytes(m_path, kMax, "0000"));
    ExpectOneFileFailure(FileFailure::OffsetOutOfRange);
    ExpectFileIs({});
}

TEST(HexFunctionsPaths, MissingFilesAreReportedAndNeverCreated) {
    TempDir dir;
    RecordingSink sink;
    const std::string missing = dir.File("missing.gbc");
    const std::string inMissingFolder = dir.File("no-such-folder/rom.gbc");
    for (const auto& path : {missing, inMissingFolder}) {
        EXPECT_EQ(ReadHexBytes(path, 0, 1), "");
        EXPECT_EQ(ReadHexBytes(path, 0, 0), "");
        EXPECT_FALSE(TryWriteHexBytes(path, 0, "FF"));
        EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(path)));
    }
#ifdef _WIN32
    // Windows tells a missing folder (ERROR_PATH_NOT_FOUND) from a missing file.
    constexpr int kMissingFolder = 3;
#else
    constexpr int kMissingFolder = ENOENT;
#endif
    ASSERT_EQ(sink.messages.size(), 6u);
    for (std::size_t i = 0; i < sink.messages.size(); ++i) {
        const Message& message = sink.messages[i];
        EXPECT_EQ(message.title, "Error: " + std::to_string(i < 3 ? ENOENT : kMissingFolder));
        EXPECT_EQ(message.icon, MessageIcon::None);
        EXPECT_FALSE(message.text.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(dir.File("no-such-folder"))));
}

TEST(HexFunctionsPaths, EmptyNameAndFoldersAreNotFiles) {
    TempDir dir;
    RecordingSink sink;
    EXPECT_EQ(ReadHexBytes("", 0, 1), "");
    EXPECT_FALSE(TryWriteHexBytes("", 0, "00"));
    EXPECT_EQ(ReadHexBytes(dir.File(""), 0, 1), "");
    EXPECT_FALSE(TryWriteHexBytes(dir.File(""), 0, "00"));
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[0].title, "Error: 1006");
    EXPECT_EQ(sink.messages[1].title, "Error: 1006");
    EXPECT_EQ(sink.messages[2].title, "Error: 1005");
    EXPECT_EQ(sink.messages[3].title, "Error: 1005");
}

TEST(HexFunctionsPaths, NonAsciiFileNamesWork) {
    TempDir dir;
    RecordingSink sink;
    const std::string path = dir.File("Pokémon ポケモン.gbc");
    test::WriteFileBytes(path, Bytes(8, 0x00));
    WriteHexBytes(path, 3, "5A");
    EXPECT_EQ(ReadHexBytes(path, 2, 3), "005A00");
    EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
}  // namespace brindlewick
