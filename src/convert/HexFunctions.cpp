#include "convert/HexFunctions.h"

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

// The `count` bytes from `offset` must lie within the 32-bit range of file positions.
bool InPositionRange(std::int32_t offset, std::int64_t count) {
    const std::int64_t end = static_cast<std::int64_t>(offset) + count;
    return offset >= 0 && end <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::string ReadHexBytes(const std::string& fileName, std::int32_t offset, std::int32_t length) {
    const std::int32_t count = length > 0 ? length : 0;
    if (!InPositionRange(offset, count)) {
        ReportFileFailure(FileAction::Read, fileName, MakeErrorCode(FileFailure::OffsetOutOfRange));
        return {};
    }
    // A length of 0 still opens the file, so that a file that is missing or no file says so.
    std::vector<std::uint8_t> bytes;
    FileFacts facts;
    if (const auto error =
            ReadFileRange(fileName, offset, static_cast<std::size_t>(count), bytes, facts)) {
        ReportFileFailure(FileAction::Read, fileName, error);
        return {};
    }
    std::string hexText;
    hexText.reserve(bytes.size() * 2);
    for (const std::uint8_t value : bytes) {
        hexText += HexDigit(value >> 4);
        hexText += HexDigit(value);
    }
    return hexText;
}

std::error_code WriteHexBytesChecked(const std::string& fileName, std::int32_t offset,
                                     const std::string& hexText, WriteChecks checks) {
    const std::string digits = PadToWholeBytes(hexText);
    const auto count = static_cast<std::int64_t>(digits.size() / 2);
    if (!InPositionRange(offset, count)) {
        return MakeErrorCode(FileFailure::OffsetOutOfRange);
    }
    // The bytes up to the first digit pair that is not hexadecimal are written; the file must
    // hold all the bytes the text spells all the same.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(count));
    bool allHex = true;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int high = HexDigitValue(digits[i]);
        const int low = HexDigitValue(digits[i + 1]);
        if (high < 0 || low < 0) {
            allHex = false;
            break;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    checks.mustHold = static_cast<std::uint64_t>(offset + count);
    if (const auto error = WriteFileBytesAt(fileName, offset, bytes, checks)) {
        return error;
    }
    return allHex ? std::error_code() : MakeErrorCode(FileFailure::NotHexadecimal);
}

bool TryWriteHexBytes(const std::string& fileName, std::int32_t offset,
                      const std::string& hexText) {
    if (const auto error = WriteHexBytesChecked(fileName, offset, hexText, {})) {
        ReportFileFailure(FileAction::Write, fileName, error);
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
