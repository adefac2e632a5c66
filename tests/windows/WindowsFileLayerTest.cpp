// The Windows side of the file layer, under the conditions only Windows has: a folder refused
// at the open, devices, the read-only attribute, a lock that also keeps other handles from the
// bytes, names outside the ANSI code page and paths beyond MAX_PATH, and the system's own
// error numbers and texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"
#include "support/TestSupport.h"

namespace brindlewick {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ScopedFileHooks;
using test::TempDir;

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class WindowsFileLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.File("rom.gbc");
        m_bytes = test::SyntheticRomBytes("", 64);
        test::WriteFileBytes(m_path, m_bytes);
    }

    TempDir m_dir;
    std::string m_path;
    Bytes m_bytes;
};

TEST_F(WindowsFileLayerTest, WritesAtOffsetsAndNeverExtends) {
    OpenFile file;
    ASSERT_FALSE(file.Open(m_path, OpenFile::Access::ReadWrite));
    EXPECT_TRUE(file.Facts().regular);
    EXPECT_TRUE(file.Facts().ownerWritable);
    EXPECT_EQ(file.Facts().size, 64u);
    const std::uint8_t two[] = {0xAB, 0xCD};
    ASSERT_FALSE(file.WriteAt(62, two));
    EXPECT_EQ(file.WriteAt(63, two), MakeErrorCode(FileFailure::WritePastEnd));
    std::uint8_t back[2] = {};
    ASSERT_FALSE(file.ReadAt(62, back));
    EXPECT_EQ(back[0], 0xAB);
    EXPECT_EQ(back[1], 0xCD);
    EXPECT_EQ(file.ReadAt(63, back), MakeErrorCode(FileFailure::ReadPastEnd));
    ASSERT_FALSE(file.Flush());
    ASSERT_FALSE(file.Close());
    Bytes expected = m_bytes;
    expected[62] = 0xAB;
    expected[63] = 0xCD;
    EXPECT_EQ(test::ReadFileBytes(m_path), expected);
}

// The identity is the volume serial number and the file index: every name of one file has it,
// another file has another.
TEST_F(WindowsFileLayerTest, IdentityFollowsTheFileNotTheName) {
    const std::string hardlink = m_dir.File("hard.gbc");
    const std::string other = m_dir.File("other.gbc");
    fs::create_hard_link(PathFromUtf8(m_path), PathFromUtf8(hardlink));
    test::WriteFileBytes(other, m_bytes);
    FileFacts rom;
    FileFacts link;
    FileFacts copy;
    ASSERT_FALSE(StatPath(m_path, rom));
    ASSERT_FALSE(StatPath(hardlink, link));
    ASSERT_FALSE(StatPath(other, copy));
    EXPECT_EQ(rom.identity, link.identity);
    EXPECT_NE(rom.identity, copy.identity);
    OpenFile file;
    ASSERT_FALSE(file.Open(hardlink, OpenFile::Access::Read));
    EXPECT_EQ(file.Facts().identity, rom.identity);
}

TEST_F(WindowsFileLayerTest, FolderDeviceAndMissingFileAreRefusedAtOnce) {
    OpenFile file;
    const std::string folder = m_dir.File("");
    for (const auto access : {OpenFile::Access::Read, OpenFile::Access::ReadWrite}) {
        EXPECT_EQ(file.Open(folder, access), MakeErrorCode(FileFailure::NotAFile));
        EXPECT_EQ(file.Open("NUL", access), MakeErrorCode(FileFailure::NotAFile));
    }
    const std::error_code missing = file.Open(m_dir.File("missing.gbc"), OpenFile::Access::Read);
    EXPECT_EQ(missing, std::error_code(ERROR_FILE_NOT_FOUND, std::system_category()));
    EXPECT_TRUE(missing == std::errc::no_such_file_or_directory);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(fs::exists(PathFromUtf8(m_dir.File("missing.gbc"))));
    // The system's number and its own text, and the advice that goes with it.
    const std::string text =
        DescribeFileFailure(FileAction::Open, m_dir.File("missing.gbc"), missing);
    EXPECT_EQ(text.rfind("Could not open \u201Cmissing.gbc\u201D: ", 0), 0u) << text;
    EXPECT_NE(text.find("open it again from where it is now"), std::string::npos) << text;
}

// Making a file writable clears its read-only attribute and no other: a hidden ROM stays
// hidden.
TEST_F(WindowsFileLayerTest, ReadOnlyAttributeIsSeenAndClearedAlone) {
    const std::wstring native = PathFromUtf8(m_path).wstring();
    ASSERT_TRUE(::SetFileAttributesW(
        native.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    FileFacts facts;
    ASSERT_FALSE(StatPath(m_path, facts));
    EXPECT_FALSE(facts.ownerWritable);
    EXPECT_EQ(CheckWritableFile(m_path, 64), MakeErrorCode(FileFailure::ReadOnly));
    ASSERT_FALSE(MakeWritable(m_path));
    EXPECT_EQ(::GetFileAttributesW(native.c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(CheckWritableFile(m_path, 64));
    OpenFile file;
    EXPECT_FALSE(file.Open(m_path, OpenFile::Access::ReadWrite));
}

TEST_F(WindowsFileLayerTest, SecondHandleWaitsForTheLockThenGivesUp) {
    OpenFile first;
    OpenFile second;
    ASSERT_FALSE(first.Open(m_path, OpenFile::Access::ReadWrite));
    ASSERT_FALSE(second.Open(m_path, OpenFile::Access::Read));
    ASSERT_FALSE(first.Lock(std::chrono::milliseconds(0)));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.Lock(std::chrono::milliseconds(200)), MakeErrorCode(FileFailure::Busy));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    const std::uint8_t one[] = {0x11};
    ASSERT_FALSE(first.WriteAt(0, one));
    ASSERT_FALSE(first.Close());
    EXPECT_FALSE(second.Lock(std::chrono::milliseconds(0)));
    Bytes expected = m_bytes;
    expected[0] = 0x11;
    EXPECT_EQ(test::ReadFileBytes(m_path), expected);
}

// A name outside every ANSI code page, in a folder whose path is longer than MAX_PATH.
TEST_F(WindowsFileLayerTest, UnicodeNamesAndLongPaths) {
    std::string folder = m_dir.File("");
    while (folder.size() < 300) {
        folder += "\u30D5\u30A9\u30EB\u30C0-folder-name-long-enough\\";
        ASSERT_TRUE(
            ::CreateDirectoryW((L"\\\\?\\" + PathFromUtf8(folder).wstring()).c_str(), nullptr));
    }
    const std::string path = folder + "\u0422\u0435\u0441\u0442 \U0001F3AE.gbc";
    ASSERT_FALSE(ReplaceFileContents(path, m_bytes, nullptr));
    FileFacts facts;
    ASSERT_FALSE(StatPath(path, facts));
    EXPECT_EQ(facts.size, 64u);
    const Bytes two{0x12, 0x34};
    ASSERT_FALSE(WriteFileBytesAt(path, 10, two, {.flush = true}));
    std::vector<std::uint8_t> read;
    ASSERT_FALSE(ReadFileRange(path, 0, 64, read, facts));
    Bytes expected = m_bytes;
    expected[10] = 0x12;
    expected[11] = 0x34;
    EXPECT_EQ(read, expected);
    EXPECT_EQ(DisplayName(path), "\u0422\u0435\u0441\u0442 \U0001F3AE.gbc");
    EXPECT_EQ(DisplayName("C:/Games/gold.gbc"), "gold.gbc");
}

TEST_F(WindowsFileLayerTest, ReplacementIsAllOrNothingAndNeverTheRom) {
    const std::string csv = m_dir.File("tables.csv");
    test::WriteFileBytes(csv, Bytes{'o', 'l', 'd'});
    FileFacts rom;
    ASSERT_FALSE(StatPath(m_path, rom));
    const Bytes next{'n', 'e', 'w', '\n'};

    ASSERT_FALSE(ReplaceFileContents(csv, next, &rom.identity));
    EXPECT_EQ(test::ReadFileBytes(csv), next);

    const std::string hardlink = m_dir.File("hard.csv");
    fs::create_hard_link(PathFromUtf8(m_path), PathFromUtf8(hardlink));
    for (const std::string& target : {m_path, hardlink}) {
        EXPECT_EQ(ReplaceFileContents(target, next, &rom.identity),
                  MakeErrorCode(FileFailure::TargetIsRom))
            << target;
    }
    EXPECT_EQ(ReplaceFileContents(m_dir.File(""), next, nullptr),
              MakeErrorCode(FileFailure::NotAFile));
    EXPECT_EQ(test::ReadFileBytes(m_path), m_bytes);

    // A flush that fails leaves the old file and no new one behind.
    FileLayerTestHooks failing;
    failing.flushFailure = std::error_code(ERROR_DISK_FULL, std::system_category());
    {
        ScopedFileHooks hooks(std::move(failing));
        EXPECT_EQ(ReplaceFileContents(csv, Bytes{'x'}, &rom.identity),
                  std::error_code(ERROR_DISK_FULL, std::system_category()));
    }
    EXPECT_EQ(test::ReadFileBytes(csv), next);

    // The ROM swapped in under the target's name between the write and the rename.
    FileLayerTestHooks swapping;
    swapping.beforeRename = [&](const std::string&, const std::string& target) {
        fs::remove(PathFromUtf8(target));
        fs::create_hard_link(PathFromUtf8(m_path), PathFromUtf8(target));
    };
    {
        ScopedFileHooks hooks(std::move(swapping));
        EXPECT_EQ(ReplaceFileContents(csv, Bytes{'x'}, &rom.identity),
                  MakeErrorCode(FileFailure::TargetIsRom));
    }
    EXPECT_EQ(test::ReadFileBytes(m_path), m_bytes);
    EXPECT_EQ(Listing(m_dir.Path()),
              (std::vector<std::string>{"hard.csv", "rom.gbc", "tables.csv"}));
}

}  // namespace
}  // namespace brindlewick
