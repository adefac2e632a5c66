#include "robust/RomModel.h"

#include <algorithm>

namespace brindlewick::test {

std::size_t ModelHighestSavedAddress(const Release& release, int machine, int species,
                                     bool withMove) {
    std::size_t highest = std::max(PriceAt(release, machine) + 1, FieldAt(release, species, 7));
    if (withMove) {
        highest = std::max(highest, MoveAt(release, machine));
    }
    return highest;
}

std::optional<std::string> ModelGameCode(const Bytes& bytes) {
    if (bytes.size() < kGameCodeAt + 4) {
        return std::nullopt;
    }
    return std::string(bytes.begin() + kGameCodeAt, bytes.begin() + kGameCodeAt + 4);
}

void ModelApplySave(Bytes& bytes, const Release& release, int machine, int species,
                    const ModelShown& shown) {
    if (shown.move >= 0) {
        bytes.at(MoveAt(release, machine)) = static_cast<std::uint8_t>(shown.move);
    }
    for (int fieldByte = 0; fieldByte < 8; ++fieldByte) {
        std::uint8_t value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int box = fieldByte * 8 + bit;
            if (box < kMachines && shown.checks[static_cast<std::size_t>(box)]) {
                value = static_cast<std::uint8_t>(value | (1u << bit));
            }
        }
        std::uint8_t& stored = bytes.at(FieldAt(release, species, fieldByte));
        // The last byte carries HM07 in bit 0; its other bits stay as the file holds them.
        stored = fieldByte == 7 ? static_cast<std::uint8_t>((stored & 0xFE) | value) : value;
    }
    const std::size_t price = PriceAt(release, machine);
    bytes.at(price) = static_cast<std::uint8_t>(shown.price & 0xFF);
    bytes.at(price + 1) = static_cast<std::uint8_t>(shown.price >> 8);
}

std::string ModelPriceRule(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    if (digits.empty()) {
        return "0";
    }
    const auto significant = digits.find_first_not_of('0');
    if (significant != std::string::npos) {
        const std::string value = digits.substr(significant);
        if (value.size() > 5 || (value.size() == 5 && value > "65535")) {
            return "65535";
        }
    }
    return digits;
}

}  // namespace brindlewick::test
