// FileAccess: the file-system facts the core needs beyond plain reads and writes, and the
// failures of our own that file access can meet. Every path is UTF-8 text; this is the one
// place that turns it into a native path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace brindlewick {

// Failures the program detects itself, with fixed numbers that cannot be mistaken for the
// operating system's error numbers. Shown as "Error: N" like the system's own.
enum class FileFailure {
    NotHexadecimal = 1001,
    OffsetOutOfRange = 1002,
    ReadPastEnd = 1003,
    WritePastEnd = 1004,
    NotAFile = 1005,
    NoFileName = 1006,
    FileTooShort = 1007,
    ReadOnly = 1008,
    TransferFailed = 1009,
    RomReplaced = 1010,
    OtherFileInPlace = 1011,
    Busy = 1012,
    TargetIsRom = 1013,
    CutWhileWriting = 1014,
    ZeroInName = 1015,
    DeclinedMakeWritable = 1016,
};

const std::error_category& FileFailureCategory();
std::error_code MakeErrorCode(FileFailure failure);

// What the program was doing with a file when it failed; it opens the message.
enum class FileAction {
    Open,   // "Could not open “rom.gbc”: …"
    Read,   // "Could not read …"
    Write,  // "Could not write to …"
    Save,   // "Could not save into …"
};

// The text of a failing file access: what was done, the file's name (not its folder) in curly
// quotes, the failure's description, then what the user can do about it where there is
// something: "Could not read “Gold copy.gbc”: No such file or directory. …"
std::string DescribeFileFailure(FileAction action, const std::string& fileName,
                                const std::error_code& error);

// Shows a failing file access: DescribeFileFailure as the text, followed by `more` when given,
// "Error: N" as the title, no icon.
void ReportFileFailure(FileAction action, const std::string& fileName, const std::error_code& error,
                       const std::string& more = {});

// Shows a failure that concerns no particular file: its description alone.
void ReportFileFailure(const std::error_code& error);

// The last part of a path, as the user knows the file: "Gold copy.gbc".
std::string DisplayName(const std::string& fileName);

// Whether `fileName` can name a file at all: NoFileName when it is empty, ZeroInName when it
// holds a zero byte (a dropped address with %00), which the system's calls would take as its
// end and so reach another file. Every call of the native sides by path asks this first.
[[nodiscard]] std::error_code CheckFileName(const std::string& fileName);

std::filesystem::path PathFromUtf8(const std::string& fileName);

// The size of the regular file `fileName` (one stat), or a failure: no name, no such file,
// or a path that names a folder or something else that is not a regular file.
[[nodiscard]] std::error_code RegularFileSize(const std::string& fileName, std::uintmax_t& size);

// Makes a file writable for its owner (on Windows: clears its read-only attribute, no other),
// once the user has said yes to that. One stat; a change only where the owner's write bit is
// missing.
[[nodiscard]] std::error_code MakeWritable(const std::string& fileName);

// Succeeds when `fileName` is an existing regular file that its owner may write and that
// holds at least `requiredSize` bytes.
[[nodiscard]] std::error_code CheckWritableFile(const std::string& fileName,
                                                std::uintmax_t requiredSize);

// The operating system's last error for a failed stream operation, or `fallback` when the
// system recorded none.
std::error_code LastSystemError(FileFailure fallback);

}  // namespace brindlewick
