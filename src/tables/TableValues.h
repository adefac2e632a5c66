// TableValues: the three edited tables of one image, as plain values. Export writes them as
// CSV, import turns a CSV into the values to write and compares them with what the file holds.
#pragma once

#include <array>
#include <cstdint>

#include "rom/RomTables.h"

namespace brindlewick {

using CompatibilityField = std::array<std::uint8_t, kCompatibilityFieldLength>;

struct TableValues {
    // The stored move bytes; a byte above 251 names no move and is kept as it is.
    std::array<std::uint8_t, kMachineCount> moves{};
    std::array<std::uint16_t, kMachineCount> prices{};
    // The whole 8-byte field of each species, bits that stand for no machine included, so
    // that a write can keep them.
    std::array<CompatibilityField, kSpeciesCount> fields{};

    bool operator==(const TableValues&) const = default;
};

bool Learns(const CompatibilityField& field, int machine);
void SetLearns(CompatibilityField& field, int machine, bool learns);

}  // namespace brindlewick
