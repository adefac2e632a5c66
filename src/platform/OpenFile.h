// OpenFile: one file opened once for a whole operation. What is checked (identity, size, that
// it is a regular file), the lock, every read and write and the final flush all go through the
// one handle, so no rename, link or replacement by path can slip in between a check and a write.
// This is the one type behind which the operating system's file calls live: a POSIX side
// (FileSystemPosix.cpp) and a Windows side implement it.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <system_error>

#include "platform/NativeFile.h"

namespace brindlewick {

class OpenFile {
public:
    enum class Access { Read, ReadWrite };

    OpenFile() = default;
    ~OpenFile();  // closes a handle still open; a failure of that close is not reported
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;

    // Opens `fileName` (UTF-8) without blocking and without ever creating it, and inspects the
    // handle once. A FIFO, socket, device or folder is refused as NotAFile without waiting for
    // a partner. On success Facts() holds what the inspection said.
    [[nodiscard]] std::error_code Open(const std::string& fileName, Access access);

    bool IsOpen() const;
    const std::string& FileName() const { return m_fileName; }
    const FileFacts& Facts() const { return m_facts; }  // as inspected at the open

    // Inspects the handle again (the size after the writes, say).
    [[nodiscard]] std::error_code Inspect(FileFacts& facts) const;
    // The size on the handle now, in one system call: what the checks around each write need.
    [[nodiscard]] std::error_code SizeNow(std::uint64_t& size) const;

    // Reads every block; refuses, reading nothing, when the file as it is now does not hold
    // every one of them (ReadPastEnd).
    [[nodiscard]] std::error_code ReadBlocks(std::span<const FileBlock> blocks) const;
    [[nodiscard]] std::error_code ReadAt(std::int64_t offset, std::span<std::uint8_t> bytes) const;

    // Writes `bytes` from 0-based `offset`. A range beyond the file's current end is refused
    // (WritePastEnd) before any byte is written. Should another program cut the file short
    // between that check and the write, which then extends it, or during the write, the bytes
    // have been written and the answer is CutWhileWriting.
    [[nodiscard]] std::error_code WriteAt(std::int64_t offset,
                                          std::span<const std::uint8_t> bytes) const;

    // Takes an exclusive advisory lock on the whole file, held until Close: an open-file
    // description lock on POSIX (F_OFD_SETLK), LockFileEx on Windows. Another holder is waited
    // for up to `wait`, then the answer is FileFailure::Busy.
    [[nodiscard]] std::error_code Lock(std::chrono::milliseconds wait);

    // Flushes the file's data to the disk (fdatasync, FlushFileBuffers).
    [[nodiscard]] std::error_code Flush() const;

    // Closes the handle, releasing the lock. Some file systems report a failed write only here.
    [[nodiscard]] std::error_code Close();

private:
    // The native side's write of every byte at `offset`, with no check of its own.
    [[nodiscard]] std::error_code WriteWhole(std::int64_t offset,
                                             std::span<const std::uint8_t> bytes) const;

    std::intptr_t m_handle = -1;  // a descriptor on POSIX, a HANDLE on Windows; -1: closed
    std::string m_fileName;
    FileFacts m_facts;
};

// How long a writer waits for another program's lock on the ROM before it gives up.
inline constexpr std::chrono::milliseconds kLockWait{3000};

// Replaces the whole content of `target` with `bytes`, atomically: the bytes go to a new file
// created exclusively in the target's folder, are flushed, and that file is renamed over the
// target. A target that exists must be a regular file and must not be one of `protectedFiles`
// (the ROMs, reached by any route: the same path, a symbolic or a hard link); otherwise nothing
// is created. On any failure the target is left as it was and the new file is removed.
[[nodiscard]] std::error_code ReplaceFileContents(const std::string& target,
                                                  std::span<const std::uint8_t> bytes,
                                                  std::span<const FileIdentity> protectedFiles);

// The same with one protected file, or none for nullptr.
[[nodiscard]] inline std::error_code ReplaceFileContents(const std::string& target,
                                                         std::span<const std::uint8_t> bytes,
                                                         const FileIdentity* protectedFile) {
    return ReplaceFileContents(target, bytes,
                               protectedFile == nullptr
                                   ? std::span<const FileIdentity>()
                                   : std::span<const FileIdentity>(protectedFile, 1));
}

}  // namespace brindlewick
