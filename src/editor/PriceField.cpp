#include "editor/PriceField.h"

#include <algorithm>
#include <string_view>

#include "rom/RomTables.h"

namespace brindlewick {
namespace {

constexpr char32_t kBackspace = 8;

bool IsDigit(char character) {
    return character >= '0' && character <= '9';
}

// Compares digit strings as text, so that no length of input can overflow a number.
bool AboveMaxPrice(std::string_view digits) {
    const auto firstSignificant = digits.find_first_not_of('0');
    if (firstSignificant == std::string_view::npos) {
        return false;
    }
    digits.remove_prefix(firstSignificant);
    const std::string maxPrice = std::to_string(kMaxPrice);
    if (digits.size() != maxPrice.size()) {
        return digits.size() > maxPrice.size();
    }
    return digits > std::string_view(maxPrice);
}

}  // namespace

bool PriceKeyAccepted(char32_t character) {
    return (character >= U'0' && character <= U'9') || character == kBackspace;
}

std::string KeepDigits(const std::string& text) {
    // Bytes of UTF-8 sequences are never ASCII digits, so they all go.
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), IsDigit);
    return digits;
}

std::string ApplyPriceRule(const std::string& text) {
    // Typed keys are filtered already; whatever else arrives (pasted text) keeps only its
    // digits.
    const std::string digits = KeepDigits(text);
    if (digits.empty()) {
        return "0";
    }
    if (AboveMaxPrice(digits)) {
        return std::to_string(kMaxPrice);
    }
    return digits;
}

std::optional<int> ParsePrice(const std::string& text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit) || AboveMaxPrice(text)) {
        return std::nullopt;
    }
    int price = 0;
    for (const char digit : text) {
        price = price * 10 + (digit - '0');
    }
    return price;
}

}  // namespace brindlewick
