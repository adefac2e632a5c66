#include "convert/HexDigits.h"

namespace brindlewick {

int HexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return -1;
}

char HexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0x0F];
}

std::string HexText(unsigned value, std::size_t width) {
    std::string text;
    do {
        text.insert(text.begin(), HexDigit(value));
        value /= 16;
    } while (value != 0);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

}  // namespace brindlewick
