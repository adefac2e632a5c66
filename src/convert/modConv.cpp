#include "convert/modConv.h"

#include <algorithm>

#include "convert/HexDigits.h"
#include "platform/Messages.h"

namespace brindlewick {
namespace {

constexpr const char* kNotHexMessage = "Number given is not in Hex format";
constexpr const char* kNotBinaryMessage = "NOT A BINARY NUMBER";
constexpr const char* kNothingGivenMessage = "Nothing Given..";

std::string ToUpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return text;
}

// The uppercase form of `hexText`, or false after the one message for its first bad digit.
bool NormaliseHex(const std::string& hexText, std::string& upper) {
    upper = ToUpperAscii(hexText);
    if (std::any_of(upper.begin(), upper.end(), [](char c) { return HexDigitValue(c) < 0; })) {
        ShowMessage(kNotHexMessage, MessageIcon::Error);
        return false;
    }
    return true;
}

}  // namespace

double HexToDecimal(const std::string& hexText) {
    std::string upper;
    if (!NormaliseHex(hexText, upper)) {
        return 0;
    }
    // Horner's rule from the leftmost digit: a separate weight would overflow to infinity
    // after 256 digits, and a leading zero times infinity would turn the value into NaN.
    double total = 0;
    for (const char digit : upper) {
        total = total * 16 + HexDigitValue(digit);
    }
    return total;
}

std::string HexToBinary(const std::string& hexText) {
    std::string upper;
    if (!NormaliseHex(hexText, upper)) {
        return {};
    }
    std::string binary;
    binary.reserve(upper.size() * 4);
    for (const char digit : upper) {
        const int value = HexDigitValue(digit);
        for (int bit = 3; bit >= 0; --bit) {
            binary += ((value >> bit) & 1) != 0 ? '1' : '0';
        }
    }
    return binary;
}

std::string BinaryToHex(const std::string& binaryText) {
    if (std::any_of(binaryText.begin(), binaryText.end(),
                    [](char c) { return c != '0' && c != '1'; })) {
        ShowMessage(kNotBinaryMessage, MessageIcon::Error);
        return {};
    }
    if (binaryText.empty()) {
        ShowMessage(kNothingGivenMessage, MessageIcon::Error);
        return {};
    }
    const std::string padded = std::string((4 - binaryText.size() % 4) % 4, '0') + binaryText;
    std::string hex;
    hex.reserve(padded.size() / 4);
    for (std::size_t group = 0; group < padded.size(); group += 4) {
        int value = 0;
        for (std::size_t i = group; i < group + 4; ++i) {
            value = value * 2 + (padded[i] - '0');
        }
        hex += HexDigit(static_cast<unsigned>(value));
    }
    return hex;
}

}  // namespace brindlewick
