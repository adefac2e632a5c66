// RomModel: what a cartridge image must hold, worked out independently of the program. The
// release offsets are typed in here and every address is computed from the table layout, so
// a mistake in the program's own address functions cannot hide behind a shared helper.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/TestSupport.h"

namespace brindlewick::test {

inline constexpr int kModelMachines = 57;
inline constexpr int kModelSpecies = 251;
inline constexpr int kModelMoves = 252;
inline constexpr int kModelMaxPrice = 65535;
inline constexpr std::size_t kCodeAt = 0x13F;

struct ModelRelease {
    const char* code;
    std::size_t moves;      // machine move table: one byte per machine
    std::size_t baseStats;  // 32-byte species records, compatibility field at +24
    std::size_t prices;     // 7-byte price records, little-endian price in the first two
    const char* gameName;
    const char* language;
};

const std::array<ModelRelease, 18>& ModelReleases();
const ModelRelease* FindModelRelease(std::string_view code);

std::size_t ModelMoveAddress(const ModelRelease& release, int machine);
// Records 4 and 29 belong to no machine.
std::size_t ModelPriceAddress(const ModelRelease& release, int machine);
std::size_t ModelFieldAddress(const ModelRelease& release, int species, int fieldByte);
// The highest byte a save of (machine, species) touches, the move byte included or not.
std::size_t ModelHighestSavedAddress(const ModelRelease& release, int machine, int species,
                                     bool withMove);

// The game code of an image, or nothing when it ends before the code field.
std::optional<std::string> ModelGameCode(const Bytes& bytes);

// What the window shows for one machine and one species, and what a save writes from it.
struct ModelShown {
    int move = -1;  // -1: no entry of the move list selected
    int price = 0;
    std::array<bool, kModelMachines> checks{};
};

// `bytes` after a successful save of `shown` for (machine, species): the move byte (unless no
// move is selected), the eight field bytes with bits 1..7 of the last kept, and the price.
void ModelApplySave(Bytes& bytes, const ModelRelease& release, int machine, int species,
                    const ModelShown& shown);

// The price-field rule: only ASCII digits stay, nothing becomes "0", above 65535 "65535".
std::string ModelPriceRule(const std::string& text);

}  // namespace brindlewick::test
