// SavePlan: what a save writes, worked out without touching the file. A save covers the
// machine and the species selected in the window: the machine's move byte, the species' eight
// compatibility bytes and the machine's two price bytes, in that order, one byte per write.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rom/RomTables.h"

namespace brindlewick {

struct TablePlaces;

// What a planned write belongs to; a failure part-way through a save is told in these terms.
enum class SavePart { Move, SpeciesField, Price };

struct PlannedWrite {
    SavePart part;
    std::int32_t offset;  // 0-based file offset
    std::uint8_t value;

    bool operator==(const PlannedWrite&) const = default;
};

// What the window shows for the save, with the one byte the plan takes from the file.
struct SaveRequest {
    int machine = 0;  // machine index k, 0..56
    int species = 0;  // species index s, 0..250
    int move = -1;    // move number 0..251; anything else (no move shown) writes no move byte
    int price = 0;    // 0..65535
    std::array<bool, kMachineCount> checked{};
    // Field byte 7 as the file holds it: its bits 1..7 stand for no machine (the move tutor in
    // Crystal) and are written back unchanged.
    std::uint8_t storedLastFieldByte = 0;
};

// The writes of a save, in the order they are made: the move byte (unless no move is shown),
// field bytes 0 to 7, the price's low byte, then its high byte.
std::vector<PlannedWrite> PlanSave(const TablePlaces& places, const SaveRequest& request);

}  // namespace brindlewick
