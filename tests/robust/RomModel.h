// RomModel: what a cartridge image must hold after a save, worked out independently of the
// program from the tests' model of the cartridge (support/Cartridge.h), so that a mistake in
// the program's own address functions cannot hide behind a shared helper.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/TestSupport.h"

namespace brindlewick::test {

inline constexpr int kModelMaxPrice = 65535;

// The highest byte a save of (machine, species) touches, the move byte included or not.
std::size_t ModelHighestSavedAddress(const Release& release, int machine, int species,
                                     bool withMove);

// The game code of an image, or nothing when it ends before the code field.
std::optional<std::string> ModelGameCode(const Bytes& bytes);

// What the window shows for one machine and one species, and what a save writes from it.
struct ModelShown {
    int move = -1;  // -1: no entry of the move list selected
    int price = 0;
    std::array<bool, kMachines> checks{};
};

// `bytes` after a successful save of `shown` for (machine, species): the move byte (unless no
// move is selected), the eight field bytes with bits 1..7 of the last kept, and the price.
void ModelApplySave(Bytes& bytes, const Release& release, int machine, int species,
                    const ModelShown& shown);

// The price-field rule: only ASCII digits stay, nothing becomes "0", above 65535 "65535".
std::string ModelPriceRule(const std::string& text);

}  // namespace brindlewick::test
