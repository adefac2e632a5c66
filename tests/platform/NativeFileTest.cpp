// The file layer: every check is made on the open handle it reads or writes through, nothing
// blocks, nothing is created or extended, and the test seam does what it says.
#include "platform/NativeFile.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
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

class NativeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.File("data.bin");
        m_bytes = test::SyntheticRomBytes("", 64);
        test::WriteFileBytes(m_path, m_bytes);
    }

    TempDir m_dir;
    std::string m_path;
    Bytes m_bytes;
};

TEST_F(NativeFileTest, ReadsSeveralBlocksThroughOneHandle) {
    std::array<std::uint8_t, 2> first{};
    std::array<std::uint8_t, 3> second{};
    const FileBlock blocks[] = {{10, first}, {61, second}};
    int opens = 0;
    FileLayerTestHooks counting;
    counting.beforeOpen = [&](const std::string& name, bool forWriting) {
        EXPECT_EQ(name, m_path);
        EXPECT_FALSE(forWriting);
        ++opens;
    };
    ScopedFileHooks hooks(std::move(counting));
    FileFacts facts;
    ASSERT_FALSE(ReadFileBlocks(m_path, blocks, facts));
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(first, (std::array<std::uint8_t, 2>{m_bytes[10], m_bytes[11]}));
    EXPECT_EQ(second, (std::array<std::uint8_t, 3>{m_bytes[61], m_bytes[62], m_bytes[63]}));
    EXPECT_TRUE(facts.regular);
    EXPECT_EQ(facts.size, 64u);
    FileFacts byPath;
    ASSERT_FALSE(StatPath(m_path, byPath));
    EXPECT_EQ(facts.identity, byPath.identity);
}

TEST_F(NativeFileTest, ABlockPastTheEndReadsNothing) {
    std::array<std::uint8_t, 1> first{0xEE};
    std::array<std::uint8_t, 2> last{};
    const FileBlock blocks[] = {{0, first}, {63, last}};
    FileFacts facts;
    EXPECT_EQ(ReadFileBlocks(m_path, blocks, facts), MakeErrorCode(FileFailure::ReadPastEnd));
    EXPECT_EQ(first[0], 0xEE);
    EXPECT_EQ(facts.size, 64u);
}

// The identity is checked on the handle the write goes through: a file renamed over the path
// just before the open gets nothing.
TEST_F(NativeFileTest, WriteToAnotherFileInPlaceWritesNothing) {
    FileFacts facts;
    ASSERT_FALSE(StatPath(m_path, facts));
    const std::string other = m_dir.File("other.bin");
    const Bytes otherBytes(64, 0x11);
    test::WriteFileBytes(other, otherBytes);
    FileLayerTestHooks renaming;
    renaming.beforeOpen = [&](const std::string&, bool) {
        fs::rename(PathFromUtf8(other), PathFromUtf8(m_path));
    };
    const std::array<std::uint8_t, 1> byte{0x99};
    bool written = true;
    WriteChecks checks;
    checks.sameFileAs = &facts.identity;
    checks.written = &written;
    {
        ScopedFileHooks hooks(std::move(renaming));
        EXPECT_EQ(WriteFileBytesAt(m_path, 5, byte, checks),
                  MakeErrorCode(FileFailure::OtherFileInPlace));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(test::ReadFileBytes(m_path), otherBytes);
}

TEST_F(NativeFileTest, WritesNeitherExtendNorCreate) {
    const std::array<std::uint8_t, 2> bytes{0x01, 0x02};
    EXPECT_EQ(WriteFileBytesAt(m_path, 63, bytes), MakeErrorCode(FileFailure::WritePastEnd));
    WriteChecks checks;
    checks.mustHold = 65;
    EXPECT_EQ(WriteFileBytesAt(m_path, 0, bytes, checks), MakeErrorCode(FileFailure::WritePastEnd));
    EXPECT_EQ(WriteFileBytesAt(m_path, -1, bytes), MakeErrorCode(FileFailure::OffsetOutOfRange));
    EXPECT_EQ(test::ReadFileBytes(m_path), m_bytes);
    const std::string missing = m_dir.File("missing.bin");
    EXPECT_EQ(WriteFileBytesAt(missing, 0, bytes),
              std::make_error_code(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(fs::exists(PathFromUtf8(missing)));
    EXPECT_EQ(WriteFileBytesAt(m_dir.File(""), 0, bytes), MakeErrorCode(FileFailure::NotAFile));
    EXPECT_EQ(WriteFileBytesAt("", 0, bytes), MakeErrorCode(FileFailure::NoFileName));
}

TEST_F(NativeFileTest, FailedFlushIsReportedAfterTheBytes) {
    const std::array<std::uint8_t, 1> byte{0x77};
    FileLayerTestHooks failing;
    failing.flushFailure = std::make_error_code(std::errc::io_error);
    bool written = false;
    WriteChecks checks;
    checks.flush = true;
    checks.written = &written;
    {
        ScopedFileHooks hooks(std::move(failing));
        EXPECT_EQ(WriteFileBytesAt(m_path, 3, byte, checks),
                  std::make_error_code(std::errc::io_error));
    }
    EXPECT_TRUE(written);
    EXPECT_FALSE(WriteFileBytesAt(m_path, 4, byte, checks));  // a real flush succeeds
    Bytes expected = m_bytes;
    expected[3] = expected[4] = 0x77;
    EXPECT_EQ(test::ReadFileBytes(m_path), expected);
}

// A FIFO (with no writer), a socket and a device are refused at once, for reading and for
// writing; none of them is waited on.
TEST_F(NativeFileTest, FifoSocketAndDeviceAreRefusedAtOnce) {
    const std::string fifo = m_dir.File("fifo.gbc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = m_dir.File("socket.gbc");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {fifo, socketPath, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        std::array<std::uint8_t, 1> byte{};
        const FileBlock block{0, byte};
        FileFacts facts;
        EXPECT_EQ(ReadFileBlocks(path, {&block, 1}, facts), MakeErrorCode(FileFailure::NotAFile));
        if (path != "/dev/zero") {
            EXPECT_EQ(WriteFileBytesAt(path, 0, byte), MakeErrorCode(FileFailure::NotAFile));
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ::close(listener);
}

TEST_F(NativeFileTest, MakeWritableAddsOnlyTheOwnersWriteBit) {
    fs::permissions(PathFromUtf8(m_path), fs::perms(0444));
    ASSERT_FALSE(MakeWritable(m_path));
    EXPECT_EQ(fs::status(PathFromUtf8(m_path)).permissions(), fs::perms(0644));
    ASSERT_FALSE(MakeWritable(m_path));
    EXPECT_EQ(fs::status(PathFromUtf8(m_path)).permissions(), fs::perms(0644));
    EXPECT_EQ(MakeWritable(m_dir.File("")), MakeErrorCode(FileFailure::NotAFile));
}

}  // namespace
}  // namespace brindlewick
