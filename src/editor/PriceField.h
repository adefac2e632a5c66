// PriceField: the rules that keep the price field a whole number from 0 to 65535.
#pragma once

#include <optional>
#include <string>

namespace brindlewick {

// A typed character passes when it is a decimal digit or backspace (code 8).
bool PriceKeyAccepted(char32_t character);

// The ASCII digits of `text`, in order; everything else is dropped.
std::string KeepDigits(const std::string& text);

// The text the price field holds after a change: characters that are not digits (pasted
// text) are dropped, an empty text becomes "0" and a value above 65535 becomes "65535".
// Text within range keeps its leading zeros ("007").
std::string ApplyPriceRule(const std::string& text);

// The price a field text stands for, or nothing when it is not a whole number 0..65535.
std::optional<int> ParsePrice(const std::string& text);

}  // namespace brindlewick
