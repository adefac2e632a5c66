// HexDigits: single hexadecimal digits and zero-padded hexadecimal text, shared by the byte
// I/O, the digit-string conversions and the editor's writers.
#pragma once

#include <cstddef>
#include <string>

namespace brindlewick {

// The value of a hexadecimal digit of either case, or -1 for any other character.
int HexDigitValue(char digit);

// The uppercase digit of `value` (0..15).
char HexDigit(unsigned value);

// `value` in uppercase hexadecimal, left-padded with "0" to at least `width` digits.
std::string HexText(unsigned value, std::size_t width);

}  // namespace brindlewick
