#include "platform/FileAccess.h"

#include <cerrno>

#include "platform/Messages.h"
#include "platform/NativeFile.h"

namespace brindlewick {

namespace {

class FileFailureCategoryImpl final : public std::error_category {
public:
    const char* name() const noexcept override { return "brindlewick"; }

    // Worded like the system's own descriptions (no closing full stop), so that a message
    // reads the same whichever kind of failure it names.
    std::string message(int value) const override {
        switch (static_cast<FileFailure>(value)) {
            case FileFailure::NotHexadecimal:
                return "The text to write is not a string of hexadecimal digit pairs";
            case FileFailure::OffsetOutOfRange:
                return "The file position is out of range";
            case FileFailure::ReadPastEnd:
                return "The file ends before the bytes to read";
            case FileFailure::WritePastEnd:
                return "The file ends before the bytes to write; it is never extended";
            case FileFailure::NotAFile:
                return "The path does not name a file";
            case FileFailure::NoFileName:
                return "No file name was given";
            case FileFailure::FileTooShort:
                return "The file is too short to hold the ROM's tables";
            case FileFailure::ReadOnly:
                return "The file is read-only";
            case FileFailure::TransferFailed:
                return "The file could not be read or written";
            case FileFailure::RomReplaced:
                return "The file no longer holds the ROM that was opened; open it again";
            case FileFailure::OtherFileInPlace:
                return "Another file has taken the ROM's place since the save began";
            case FileFailure::Busy:
                return "The file is being written by another program";
            case FileFailure::TargetIsRom:
                return "The file is the ROM itself";
            case FileFailure::DeclinedMakeWritable:
                return "The file is read-only, and it was not to be made writable";
            case FileFailure::ZeroInName:
                return "The file name holds a zero byte, which no file's name can";
            case FileFailure::CutWhileWriting:
                return "Another program cut the file short while it was being written";
        }
        return "Unknown file failure";
    }
};

const char* Verb(FileAction action) {
    switch (action) {
        case FileAction::Open:
            return "open";
        case FileAction::Read:
            return "read";
        case FileAction::Write:
            return "write to";
        case FileAction::Save:
            return "save into";
    }
    return "use";
}

bool Is(const std::error_code& error, FileFailure failure) {
    return error == MakeErrorCode(failure);
}
// By meaning, not by number: a Windows error number of the system category is "no such file"
// as much as ENOENT is.
bool Is(const std::error_code& error, std::errc condition) {
    return error == condition;
}

// Out of space, or over the user's quota where the system tells the two apart.
bool IsOutOfSpace(const std::error_code& error) {
#ifdef EDQUOT
    if (error == std::error_code(EDQUOT, std::generic_category())) {
        return true;
    }
#endif
    return Is(error, std::errc::no_space_on_device);
}

// What the user can do about a failure, where there is something; "" otherwise.
std::string Advice(FileAction action, const std::error_code& error) {
    const bool writing = action == FileAction::Write || action == FileAction::Save;
    if (Is(error, std::errc::no_such_file_or_directory) || Is(error, std::errc::not_a_directory)) {
        return "It may have been moved, renamed or deleted; open it again from where it is now.";
    }
    if (Is(error, std::errc::read_only_file_system)) {
        return "Its disk is read-only: copy the file to a folder you can write to, open the "
               "copy and save again.";
    }
    if (writing && (Is(error, FileFailure::ReadOnly) || Is(error, std::errc::permission_denied) ||
                    Is(error, std::errc::operation_not_permitted))) {
        return "Make it writable and save again.";
    }
    if (!writing && Is(error, std::errc::permission_denied)) {
        return "Make it readable for you and open it again.";
    }
    if (IsOutOfSpace(error)) {
        return "Free some space on its disk and save again.";
    }
    if (Is(error, FileFailure::OtherFileInPlace)) {
        return "Open the ROM again and save again.";
    }
    return {};
}

}  // namespace

const std::error_category& FileFailureCategory() {
    static const FileFailureCategoryImpl category;
    return category;
}

std::error_code MakeErrorCode(FileFailure failure) {
    return {static_cast<int>(failure), FileFailureCategory()};
}

std::string DisplayName(const std::string& fileName) {
#ifdef _WIN32
    // Windows takes either separator.
    const auto slash = fileName.find_last_of("/\\");
#else
    const auto slash = fileName.find_last_of('/');
#endif
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string DescribeFileFailure(FileAction action, const std::string& fileName,
                                const std::error_code& error) {
    // A zero byte is shown as the sign for it, so that the name reads as it was given.
    std::string name;
    for (const char c : DisplayName(fileName)) {
        name += c == '\0' ? std::string("\u2400") : std::string(1, c);
    }
    // Another program's lock: nothing of ours went wrong, the file is simply taken.
    if (error == MakeErrorCode(FileFailure::Busy) && !name.empty()) {
        return "“" + name +
               "” is being written by another program; nothing was written. Try again once "
               "it is done.";
    }
    std::string text = std::string("Could not ") + Verb(action) +
                       (name.empty() ? std::string(" the file") : " “" + name + "”") + ": " +
                       error.message() + ".";
    if (const std::string advice = Advice(action, error); !advice.empty()) {
        text += " " + advice;
    }
    return text;
}

void ReportFileFailure(FileAction action, const std::string& fileName, const std::error_code& error,
                       const std::string& more) {
    std::string text = DescribeFileFailure(action, fileName, error);
    if (!more.empty()) {
        text += " " + more;
    }
    ShowMessage(text, MessageIcon::None, "Error: " + std::to_string(error.value()));
}

void ReportFileFailure(const std::error_code& error) {
    ShowMessage(error.message() + ".", MessageIcon::None,
                "Error: " + std::to_string(error.value()));
}

std::error_code CheckFileName(const std::string& fileName) {
    if (fileName.empty()) {
        return MakeErrorCode(FileFailure::NoFileName);
    }
    if (fileName.find('\0') != std::string::npos) {
        return MakeErrorCode(FileFailure::ZeroInName);
    }
    return {};
}

std::filesystem::path PathFromUtf8(const std::string& fileName) {
    // std::filesystem takes char strings in the native narrow encoding, which is not UTF-8
    // everywhere; a char8_t string is always read as UTF-8.
    return std::filesystem::path(std::u8string(fileName.begin(), fileName.end()));
}

std::error_code RegularFileSize(const std::string& fileName, std::uintmax_t& size) {
    FileFacts facts;
    if (auto error = StatPath(fileName, facts)) {
        return error;
    }
    if (!facts.regular) {
        return MakeErrorCode(FileFailure::NotAFile);
    }
    size = facts.size;
    return {};
}

std::error_code MakeWritable(const std::string& fileName) {
    FileFacts facts;
    if (auto error = StatPath(fileName, facts)) {
        return error;
    }
    if (!facts.regular) {
        return MakeErrorCode(FileFailure::NotAFile);
    }
    // A file its owner may already write is left alone: changing the mode of a file on a
    // read-only medium fails even when there is nothing to change, and the ROM can still be
    // viewed there (a save is then refused by the write itself).
    if (facts.ownerWritable) {
        return {};
    }
    return AddOwnerWrite(fileName, facts);
}

std::error_code CheckWritableFile(const std::string& fileName, std::uintmax_t requiredSize) {
    FileFacts facts;
    if (auto error = StatPath(fileName, facts)) {
        return error;
    }
    if (!facts.regular) {
        return MakeErrorCode(FileFailure::NotAFile);
    }
    // The permission bits are checked rather than trying an open: an administrator's open
    // would succeed on a file its owner marked read-only.
    if (!facts.ownerWritable) {
        return MakeErrorCode(FileFailure::ReadOnly);
    }
    if (facts.size < requiredSize) {
        return MakeErrorCode(FileFailure::FileTooShort);
    }
    return {};
}

std::error_code LastSystemError(FileFailure fallback) {
    // The standard streams leave the reason for a failure in errno on the platforms we build
    // for; when they did not record one, our own failure stands in.
    if (errno != 0) {
        return {errno, std::generic_category()};
    }
    return MakeErrorCode(fallback);
}

}  // namespace brindlewick
