// NativeFile: the file functions of the core by path. Every access opens the file once (an
// OpenFile), checks on the open handle what it is, moves its bytes and closes it; nothing stays
// open between calls. Opens never block: a FIFO, socket or device put where a ROM was is opened
// without waiting for a partner and then refused as not a regular file. Symbolic links are
// followed, as any editor follows them. The operating system's own calls live only in the
// native sides of OpenFile (FileSystemPosix.cpp and its Windows twin), together with StatPath
// and AddOwnerWrite.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace brindlewick {

// Which file a handle reaches, whatever path led to it: device and inode (on Windows the
// volume serial number and the file index).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};

// What one fstat of an open handle (or one stat of a path) says.
struct FileFacts {
    bool regular = false;           // a plain file: not a folder, FIFO, socket or device
    bool ownerWritable = false;     // the owner's write permission bit
    std::uint32_t permissions = 0;  // the permission bits (07777)
    std::uint64_t size = 0;
    FileIdentity identity;
};

// One block of a file to read: `bytes.size()` bytes from 0-based `offset`.
struct FileBlock {
    std::int64_t offset;
    std::span<std::uint8_t> bytes;
};

// Reads every block through one open handle: open for reading, one fstat, one pread per
// block, close. Fails, reading nothing, unless the handle reaches a regular file that holds
// every block. `facts` receives what the fstat said, also when the file was refused after it.
[[nodiscard]] std::error_code ReadFileBlocks(const std::string& fileName,
                                             std::span<const FileBlock> blocks, FileFacts& facts);

// Reads the `count` bytes from 0-based `offset` into `bytes` the same way, through one open
// handle. The buffer is sized only once the fstat has shown that the file holds them, so a
// length far beyond the file costs no memory.
[[nodiscard]] std::error_code ReadFileRange(const std::string& fileName, std::int64_t offset,
                                            std::size_t count, std::vector<std::uint8_t>& bytes,
                                            FileFacts& facts);

// What a write checks on its open handle beyond the file being regular and long enough.
struct WriteChecks {
    // When set, the handle must reach this file, or nothing is written (OtherFileInPlace).
    const FileIdentity* sameFileAs = nullptr;
    // After the bytes, flush the file's data to the disk on the same handle (fdatasync).
    bool flush = false;
    // The file must hold at least this many bytes, even where that is beyond the bytes written
    // (a caller that writes only part of what it was asked to).
    std::uint64_t mustHold = 0;
    // When given, set to whether the bytes were written, so that a failure of the flush or the
    // close that follows can be told from one that wrote nothing.
    bool* written = nullptr;
};

// Writes `bytes` from 0-based `offset` through one open handle: open for reading and writing
// (never creating), one fstat, one pwrite, the flush if asked for, close. Nothing is written
// to anything but a regular file that already holds every byte of the range: a file is never
// created or extended.
[[nodiscard]] std::error_code WriteFileBytesAt(const std::string& fileName, std::int64_t offset,
                                               std::span<const std::uint8_t> bytes,
                                               const WriteChecks& checks = {});

// One stat of the path (links followed); for a file that is only looked at, not opened.
[[nodiscard]] std::error_code StatPath(const std::string& fileName, FileFacts& facts);

// Adds the owner's write permission to the file at `fileName`, whose other permission bits
// `facts` gives (from StatPath).
[[nodiscard]] std::error_code AddOwnerWrite(const std::string& fileName, const FileFacts& facts);

// Standard input, output and error that the program was started without (closed) are opened
// on the null device, so that no file the program opens later takes their place: a message
// written to a closed standard error must not land in a ROM opened in its stead. Call once,
// first thing; the program is told whether standard output was closed.
void GuardStandardStreams();

// What standard output is, for a program that writes its result there: one inspection of it.
// `facts.regular` with its identity when it is a file on a disk (the shell's `> file`); a
// terminal, pipe or device is no regular file. Fails (bad file descriptor) when the program
// was started with it closed.
[[nodiscard]] std::error_code InspectStandardOutput(FileFacts& facts);

// Writes every byte to standard output, bypassing any buffer, and reports the system's answer
// (a full disk, a closed pipe).
[[nodiscard]] std::error_code WriteStandardOutput(std::span<const std::uint8_t> bytes);

// The name of a new file that ReplaceFileContents writes beside its target before renaming
// it over it: ".brindlewick-" and eight random letters and digits, then ".new". For the native
// sides of this layer.
std::string NewFileName();

// Test seam: what another program or a failing disk could do at exactly the wrong moment.
// `beforeOpen` runs just before every open by path of this layer, with the path and whether
// the open is for writing; `beforeWrite` just before every write through an OpenFile, with its
// path and offset; `afterSizeCheck` in the same write after the file's size was checked,
// right before the bytes go (where another program's cut cannot be seen any more);
// `beforeRename` just before ReplaceFileContents renames its new file over the target. A set
// `flushFailure` is what every flush reports instead of flushing. The program never sets any
// of them.
struct FileLayerTestHooks {
    std::function<void(const std::string& fileName, bool forWriting)> beforeOpen;
    std::function<void(const std::string& fileName, std::int64_t offset)> beforeWrite;
    std::function<void(const std::string& fileName, std::int64_t offset)> afterSizeCheck;
    std::function<void(const std::string& newFile, const std::string& target)> beforeRename;
    std::error_code flushFailure;
};

// Installs `hooks` (an empty value removes them) and returns those installed before.
FileLayerTestHooks SetFileLayerTestHooks(FileLayerTestHooks hooks);

// The hooks installed now, for the native sides of this layer.
const FileLayerTestHooks& FileLayerHooks();

}  // namespace brindlewick
