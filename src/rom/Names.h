// Names: the entries of the main window's move and species lists. They belong to the
// window's definition: nothing adds, removes, renames or sorts them, and the program uses only
// the selection index (the machine list is built from MachineName).
#pragma once

#include <array>
#include <string_view>

#include "rom/RomTables.h"

namespace brindlewick {

// lstAttack: entry m is move number m, entry 0 "N/A".
const std::array<std::string_view, kMoveCount>& MoveEntries();

// List1: entry s is species number s + 1, from "Bulbasaur " to "Celebi".
const std::array<std::string_view, kSpeciesCount>& SpeciesEntries();

}  // namespace brindlewick
