#include "platform/FileAccess.h"

#include <cerrno>

#include "platform/Messages.h"

namespace brindlewick {
namespace fs = std::filesystem;

namespace {

class FileFailureCategoryImpl final : public std::error_category {
public:
    const char* name() const noexcept override { return "brindlewick"; }

    std::string message(int value) const override {
        switch (static_cast<FileFailure>(value)) {
            case FileFailure::NotHexadecimal:
                return "The text to write is not a string of hexadecimal digit pairs.";
            case FileFailure::OffsetOutOfRange:
                return "The file position is out of range.";
            case FileFailure::ReadPastEnd:
                return "The file ends before the bytes to read.";
            case FileFailure::WritePastEnd:
                return "The file ends before the bytes to write; it is never extended.";
            case FileFailure::NotAFile:
                return "The path does not name a file.";
            case FileFailure::NoFileName:
                return "No file name was given.";
            case FileFailure::FileTooShort:
                return "The file is too short to hold the ROM's tables.";
            case FileFailure::ReadOnly:
                return "The file is read-only.";
            case FileFailure::TransferFailed:
                return "The file could not be read or written.";
            case FileFailure::RomReplaced:
                return "The file no longer holds the ROM that was opened; open it again.";
        }
        return "Unknown file failure.";
    }
};

}  // namespace

const std::error_category& FileFailureCategory() {
    static const FileFailureCategoryImpl category;
    return category;
}

std::error_code MakeErrorCode(FileFailure failure) {
    return {static_cast<int>(failure), FileFailureCategory()};
}

void ReportFileFailure(const std::error_code& error) {
    ShowMessage(error.message(), MessageIcon::None, "Error: " + std::to_string(error.value()));
}

fs::path PathFromUtf8(const std::string& fileName) {
    // std::filesystem takes char strings in the native narrow encoding, which is not UTF-8
    // everywhere; a char8_t string is always read as UTF-8.
    return fs::path(std::u8string(fileName.begin(), fileName.end()));
}

std::error_code RegularFileSize(const std::string& fileName, std::uintmax_t& size) {
    if (fileName.empty()) {
        return MakeErrorCode(FileFailure::NoFileName);
    }
    std::error_code error;
    const auto path = PathFromUtf8(fileName);
    const auto status = fs::status(path, error);
    if (error) {
        return error;
    }
    if (!fs::is_regular_file(status)) {
        return MakeErrorCode(FileFailure::NotAFile);
    }
    size = fs::file_size(path, error);
    return error;
}

std::error_code MakeWritable(const std::string& fileName) {
    std::uintmax_t size = 0;
    if (auto error = RegularFileSize(fileName, size)) {
        return error;
    }
    std::error_code error;
    const auto path = PathFromUtf8(fileName);
    const auto status = fs::status(path, error);
    if (error) {
        return error;
    }
    // A file its owner may already write is left alone: changing the mode of a file on a
    // read-only medium fails even when there is nothing to change, and the ROM can still be
    // viewed there (a save is then refused by the write itself).
    if ((status.permissions() & fs::perms::owner_write) != fs::perms::none) {
        return {};
    }
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    return error;
}

std::error_code CheckWritableFile(const std::string& fileName, std::uintmax_t requiredSize) {
    std::uintmax_t size = 0;
    if (auto error = RegularFileSize(fileName, size)) {
        return error;
    }
    std::error_code error;
    const auto status = fs::status(PathFromUtf8(fileName), error);
    if (error) {
        return error;
    }
    // The permission bits are checked rather than trying an open: an administrator's open
    // would succeed on a file its owner marked read-only.
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return MakeErrorCode(FileFailure::ReadOnly);
    }
    if (size < requiredSize) {
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
