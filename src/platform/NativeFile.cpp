#include "platform/NativeFile.h"

#include <random>
#include <utility>

#include "platform/FileAccess.h"
#include "platform/OpenFile.h"

namespace brindlewick {
namespace {

FileLayerTestHooks g_hooks;

bool Holds(const FileFacts& facts, std::int64_t offset, std::size_t count) {
    return offset >= 0 && static_cast<std::uint64_t>(offset) + count <= facts.size;
}

}  // namespace

// The handle's ownership and the reads of several blocks are the same on every system; the
// native sides open, inspect, read, write, lock, flush and close.
OpenFile::~OpenFile() {
    static_cast<void>(Close());
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)),
      m_fileName(std::move(other.m_fileName)),
      m_facts(other.m_facts) {}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        static_cast<void>(Close());
        m_handle = std::exchange(other.m_handle, -1);
        m_fileName = std::move(other.m_fileName);
        m_facts = other.m_facts;
    }
    return *this;
}

std::error_code OpenFile::ReadBlocks(std::span<const FileBlock> blocks) const {
    FileFacts now;
    if (auto error = Inspect(now)) {
        return error;
    }
    for (const FileBlock& block : blocks) {
        if (!Holds(now, block.offset, block.bytes.size())) {
            return MakeErrorCode(FileFailure::ReadPastEnd);
        }
    }
    for (const FileBlock& block : blocks) {
        if (auto error = ReadAt(block.offset, block.bytes)) {
            return error;
        }
    }
    return {};
}

std::error_code OpenFile::WriteAt(std::int64_t offset, std::span<const std::uint8_t> bytes) const {
    if (!IsOpen()) {
        return WriteWhole(offset, bytes);  // the native side's own answer for a closed handle
    }
    if (offset < 0) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    if (FileLayerHooks().beforeWrite) {
        FileLayerHooks().beforeWrite(m_fileName, offset);
    }
    // The size is asked on the handle right before the write, so a file that another program
    // cut short since the open is not extended by it.
    FileFacts now;
    if (auto error = SizeNow(now.size)) {
        return error;
    }
    if (!Holds(now, offset, bytes.size())) {
        return MakeErrorCode(FileFailure::WritePastEnd);
    }
    if (FileLayerHooks().afterSizeCheck) {
        FileLayerHooks().afterSizeCheck(m_fileName, offset);
    }
    if (auto error = WriteWhole(offset, bytes)) {
        return error;
    }
    // No system call writes "only within the file": a cut that falls between the check and the
    // write is extended by the write. It can only be seen afterwards, and is told as such.
    std::uint64_t after = 0;
    if (!SizeNow(after) && after < now.size) {
        return MakeErrorCode(FileFailure::CutWhileWriting);
    }
    return {};
}

std::error_code ReadFileBlocks(const std::string& fileName, std::span<const FileBlock> blocks,
                               FileFacts& facts) {
    OpenFile file;
    const std::error_code error = file.Open(fileName, OpenFile::Access::Read);
    facts = file.Facts();
    if (error) {
        return error;
    }
    // The open has just inspected the handle: the blocks are checked against that, not
    // against a second inspection.
    for (const FileBlock& block : blocks) {
        if (!Holds(facts, block.offset, block.bytes.size())) {
            return MakeErrorCode(FileFailure::ReadPastEnd);
        }
    }
    for (const FileBlock& block : blocks) {
        if (auto readError = file.ReadAt(block.offset, block.bytes)) {
            return readError;
        }
    }
    return file.Close();
}

std::error_code ReadFileRange(const std::string& fileName, std::int64_t offset, std::size_t count,
                              std::vector<std::uint8_t>& bytes, FileFacts& facts) {
    OpenFile file;
    const std::error_code error = file.Open(fileName, OpenFile::Access::Read);
    facts = file.Facts();
    if (error) {
        return error;
    }
    // The buffer is sized only once the handle has shown that the file holds the bytes.
    if (!Holds(facts, offset, count)) {
        return MakeErrorCode(FileFailure::ReadPastEnd);
    }
    bytes.resize(count);
    if (auto readError = file.ReadAt(offset, bytes)) {
        return readError;
    }
    return file.Close();
}

std::error_code WriteFileBytesAt(const std::string& fileName, std::int64_t offset,
                                 std::span<const std::uint8_t> bytes, const WriteChecks& checks) {
    if (offset < 0) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    if (checks.written != nullptr) {
        *checks.written = false;
    }
    OpenFile file;
    const std::error_code error = file.Open(fileName, OpenFile::Access::ReadWrite);
    // Every check is made on the handle that is written through, so no rename, link or
    // truncation by path can slip in between the check and the write. The identity is checked
    // first: another file in the ROM's place is named as such, whatever it is.
    const bool inspected = !error || error == MakeErrorCode(FileFailure::NotAFile);
    if (checks.sameFileAs != nullptr && inspected && file.Facts().identity != *checks.sameFileAs) {
        return MakeErrorCode(FileFailure::OtherFileInPlace);
    }
    if (error) {
        return error;
    }
    if (!Holds(file.Facts(), offset, bytes.size()) || file.Facts().size < checks.mustHold) {
        return MakeErrorCode(FileFailure::WritePastEnd);
    }
    if (auto writeError = file.WriteAt(offset, bytes)) {
        if (checks.written != nullptr &&
            writeError == MakeErrorCode(FileFailure::CutWhileWriting)) {
            *checks.written = true;
        }
        return writeError;
    }
    if (checks.written != nullptr) {
        *checks.written = true;
    }
    if (checks.flush) {
        if (auto flushError = file.Flush()) {
            return flushError;
        }
    }
    return file.Close();
}

std::string NewFileName() {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = ".brindlewick-";
    for (int i = 0; i < 8; ++i) {
        name += kDigits[random() % 36];
    }
    return name + ".new";
}

FileLayerTestHooks SetFileLayerTestHooks(FileLayerTestHooks hooks) {
    return std::exchange(g_hooks, std::move(hooks));
}

const FileLayerTestHooks& FileLayerHooks() {
    return g_hooks;
}

}  // namespace brindlewick
