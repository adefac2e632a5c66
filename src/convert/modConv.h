// modConv: conversions between hexadecimal, binary and decimal digit strings. Bad input
// is reported with an error-icon message and answered with "" (or 0).
#pragma once

#include <string>

namespace brindlewick {

// The value of a hexadecimal digit string (either case); 0 after "Number given is not in
// Hex format". The empty string is 0.
double HexToDecimal(const std::string& hexText);

// Four binary digits per hex digit, most significant first; "" after "Number given is not
// in Hex format".
std::string HexToBinary(const std::string& hexText);

// One uppercase hex digit per group of four binary digits, after left-padding to a multiple
// of four; "" after "NOT A BINARY NUMBER" or "Nothing Given..".
std::string BinaryToHex(const std::string& binaryText);

}  // namespace brindlewick
