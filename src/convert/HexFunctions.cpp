#include "convert/HexFunctions.h"

#include <cerrno>
#include <fstream>
#include <limits>
#include <system_error>
#include <vector>

#include "convert/HexDigits.h"
#include "platform/FileAccess.h"

namespace brindlewick {
namespace {

std::string PadToWholeBytes(const std::string& hexText) {
    return hexText.size() % 2 == 0 ? hexText : "0" + hexText;
}

// Checks that the `count` bytes from `offset` lie within the 32-bit range of file positions
// and within the existing file; reports and returns false otherwise.
bool CheckRange(const std::string& fileName, std::int32_t offset, std::int64_t count,
                FileFailure pastEnd) {
    const std::int64_t end = static_cast<std::int64_t>(offset) + count;
    if (offset < 0 || end > std::numeric_limits<std::int32_t>::max()) {
        ReportFileFailure(MakeErrorCode(FileFailure::OffsetOutOfRange));
        return false;
    }
    std::uintmax_t size = 0;
    if (const auto error = RegularFileSize(fileName, size)) {
        ReportFileFailure(error);
        return false;
    }
    if (static_cast<std::uintmax_t>(end) > size) {
        ReportFileFailure(MakeErrorCode(pastEnd));
        return false;
    }
    return true;
}

}  // namespace

std::string ReadHexBytes(const std::string& fileName, std::int32_t offset, std::int32_t length) {
    const std::int32_t count = length > 0 ? length : 0;
    if (!CheckRange(fileName, offset, count, FileFailure::ReadPastEnd)) {
        return {};
    }
    if (count == 0) {
        return {};
    }
    errno = 0;
    std::ifstream file(PathFromUtf8(fileName), std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(count));
    if (file) {
        file.seekg(offset);
    }
    if (file) {
        file.read(bytes.data(), count);
    }
    if (!file) {
        ReportFileFailure(LastSystemError(FileFailure::TransferFailed));
        return {};
    }
    std::string hexText;
    hexText.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        hexText += HexDigit(value >> 4);
        hexText += HexDigit(value);
    }
    return hexText;
}

bool TryWriteHexBytes(const std::string& fileName, std::int32_t offset,
                      const std::string& hexText) {
    const std::string digits = PadToWholeBytes(hexText);
    const auto count = static_cast<std::int64_t>(digits.size() / 2);
    if (!CheckRange(fileName, offset, count, FileFailure::WritePastEnd)) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    errno = 0;
    // in|out opens an existing file for update and never creates one.
    std::fstream file(PathFromUtf8(fileName), std::ios::binary | std::ios::in | std::ios::out);
    if (!file) {
        ReportFileFailure(LastSystemError(FileFailure::TransferFailed));
        return false;
    }
    // Bytes go one at a time in ascending order; a bad digit pair stops the write there and
    // leaves the bytes before it written.
    for (std::int64_t i = 0; i < count; ++i) {
        const auto high = HexDigitValue(digits[static_cast<std::size_t>(2 * i)]);
        const auto low = HexDigitValue(digits[static_cast<std::size_t>(2 * i + 1)]);
        if (high < 0 || low < 0) {
            file.close();
            ReportFileFailure(MakeErrorCode(FileFailure::NotHexadecimal));
            return false;
        }
        file.seekp(offset + i);
        file.put(static_cast<char>(high * 16 + low));
        if (!file) {
            ReportFileFailure(LastSystemError(FileFailure::TransferFailed));
            return false;
        }
    }
    file.close();
    if (!file) {
        ReportFileFailure(LastSystemError(FileFailure::TransferFailed));
        return false;
    }
    return true;
}

void WriteHexBytes(const std::string& fileName, std::int32_t offset, const std::string& hexText) {
    // The failure has been shown to the user; this form gives the caller no other sign.
    static_cast<void>(TryWriteHexBytes(fileName, offset, hexText));
}

std::string ReverseHexBytes(const std::string& hexText) {
    const std::string digits = PadToWholeBytes(hexText);
    std::string reversed;
    reversed.reserve(digits.size());
    for (std::size_t pair = digits.size(); pair >= 2; pair -= 2) {
        reversed.append(digits, pair - 2, 2);
    }
    return reversed;
}

}  // namespace brindlewick
