// NameCode: where the game's own code keeps the names of its species, moves and types. Seven
// short routines lead there: GetPokemonName to the species names (with their fixed width),
// GetName and its list look-up to the table of name pointers, GetMoveName to the entry of that
// table that holds the move names, the routine that skips names to count them, and
// GetTypeName to the table of type-name pointers. They are found by their bytes in the same
// pass over the file as the tables' routines (GameCodeSearch.h); each must occur exactly once,
// and they must lead to one another, or the names are not looked for there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rom/CodePattern.h"

namespace brindlewick {

// The patterns of the routines, in the order their hits are kept.
std::span<const CodePattern* const> NameCodePatterns();

// What the pass over the file found of them.
struct NameCodeHits {
    bool looked = false;            // the file's code was searched (a real cartridge image)
    std::vector<PatternHits> hits;  // one per pattern of NameCodePatterns()
};

// Where the code leads, as file offsets; each part is known or has a reason why not.
struct NameRoutes {
    // The species names: 251 entries of `speciesWidth` bytes from `species`.
    std::int32_t species = -1;
    int speciesWidth = 0;
    std::string speciesProblem;
    // The entry of the name pointer table that holds the move names (3 bytes: bank, address),
    // and the table's species entry, which must lead to the species names.
    std::int32_t movePointer = -1;
    std::int32_t speciesPointer = -1;
    std::string movesProblem;
    // The type-name pointers, 2-byte addresses in the bank `typeBank`.
    std::int32_t typePointers = -1;
    int typeBank = 0;
    std::string typesProblem;
};

// Follows the routines' hits; `fileSize` bounds every place.
NameRoutes FollowNameCode(const NameCodeHits& code, std::uint64_t fileSize);

}  // namespace brindlewick
