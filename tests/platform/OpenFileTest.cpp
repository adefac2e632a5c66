// OpenFile and ReplaceFileContents: one handle from the check to the last write, a lock that a
// second handle waits for and then gives up on, and a replacement that is all or nothing.
#include "platform/OpenFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/FileAccess.h"
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
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class OpenFileTest : public ::testing::Test {
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

TEST_F(OpenFileTest, WritesThroughOneHandleAndNeverExtends) {
    OpenFile file;
    ASSERT_FALSE(file.Open(m_path, OpenFile::Access::ReadWrite));
    EXPECT_EQ(file.Facts().size, 64u);
    const std::uint8_t two[] = {0xAB, 0xCD};
    ASSERT_FALSE(file.WriteAt(62, two));
    EXPECT_EQ(file.WriteAt(63, two), MakeErrorCode(FileFailure::WritePastEnd));
    // Another program cuts the file short behind the open handle: the write is refused.
    ASSERT_EQ(::truncate(m_path.c_str(), 32), 0);
    EXPECT_EQ(file.WriteAt(40, two), MakeErrorCode(FileFailure::WritePastEnd));
    FileFacts now;
    ASSERT_FALSE(file.Inspect(now));
    EXPECT_EQ(now.size, 32u);
    ASSERT_FALSE(file.Close());
    Bytes expected(m_bytes.begin(), m_bytes.begin() + 32);
    EXPECT_EQ(test::ReadFileBytes(m_path), expected);
}

TEST_F(OpenFileTest, SecondHandleWaitsForTheLockThenGivesUp) {
    OpenFile first;
    OpenFile second;
    ASSERT_FALSE(first.Open(m_path, OpenFile::Access::ReadWrite));
    ASSERT_FALSE(second.Open(m_path, OpenFile::Access::ReadWrite));
    ASSERT_FALSE(first.Lock(std::chrono::milliseconds(0)));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(second.Lock(std::chrono::milliseconds(200)), MakeErrorCode(FileFailure::Busy));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    ASSERT_FALSE(first.Close());
    EXPECT_FALSE(second.Lock(std::chrono::milliseconds(0)));
}

TEST_F(OpenFileTest, FifoFolderAndMissingFileAreRefusedAtOnce) {
    const std::string fifo = m_dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    OpenFile file;
    EXPECT_EQ(file.Open(fifo, OpenFile::Access::Read), MakeErrorCode(FileFailure::NotAFile));
    EXPECT_EQ(file.Open(fifo, OpenFile::Access::ReadWrite), MakeErrorCode(FileFailure::NotAFile));
    EXPECT_EQ(file.Open(m_dir.Path().string(), OpenFile::Access::ReadWrite),
              MakeErrorCode(FileFailure::NotAFile));
    EXPECT_EQ(file.Open(m_dir.File("missing"), OpenFile::Access::Read),
              std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(fs::exists(m_dir.File("missing")));
}

TEST_F(OpenFileTest, ReplacementIsAllOrNothingAndNeverTheRom) {
    const std::string csv = m_dir.File("tables.csv");
    test::WriteFileBytes(csv, Bytes{'o', 'l', 'd'});
    FileFacts rom;
    ASSERT_FALSE(StatPath(m_path, rom));
    const Bytes next{'n', 'e', 'w', '\n'};

    ASSERT_FALSE(ReplaceFileContents(csv, next, &rom.identity));
    EXPECT_EQ(test::ReadFileBytes(csv), next);

    // The ROM by its own path, through a symbolic link and through a hard link.
    const std::string symlink = m_dir.File("link.csv");
    const std::string hardlink = m_dir.File("hard.csv");
    fs::create_symlink(m_path, symlink);
    fs::create_hard_link(m_path, hardlink);
    for (const std::string& target : {m_path, symlink, hardlink}) {
        EXPECT_EQ(ReplaceFileContents(target, next, &rom.identity),
                  MakeErrorCode(FileFailure::TargetIsRom))
            << target;
    }
    EXPECT_EQ(test::ReadFileBytes(m_path), m_bytes);

    // A flush that fails leaves the old file and no new one behind.
    FileLayerTestHooks failing;
    failing.flushFailure = std::make_error_code(std::errc::no_space_on_device);
    {
        ScopedFileHooks hooks(std::move(failing));
        EXPECT_EQ(ReplaceFileContents(csv, Bytes{'x'}, &rom.identity),
                  std::make_error_code(std::errc::no_space_on_device));
    }
    EXPECT_EQ(test::ReadFileBytes(csv), next);

    // The ROM swapped in under the target's name between the write and the rename.
    FileLayerTestHooks swapping;
    swapping.beforeRename = [&](const std::string&, const std::string& target) {
        fs::remove(target);
        fs::create_hard_link(m_path, target);
    };
    {
        ScopedFileHooks hooks(std::move(swapping));
        EXPECT_EQ(ReplaceFileContents(csv, Bytes{'x'}, &rom.identity),
                  MakeErrorCode(FileFailure::TargetIsRom));
    }
    EXPECT_EQ(test::ReadFileBytes(m_path), m_bytes);
    EXPECT_EQ(Listing(m_dir.Path()),
              (std::vector<std::string>{"hard.csv", "link.csv", "rom.gbc", "tables.csv"}));
}

}  // namespace
}  // namespace brindlewick
