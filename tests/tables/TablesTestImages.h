// Test images for the tables: synthetic images that look like real cartridges, and the three
// tables decoded straight from an image's bytes.
#pragma once

#include "rom/RomProfile.h"
#include "support/TestSupport.h"
#include "tables/TableValues.h"

namespace brindlewick::test {

// The shared real-looking image of the release of `profile`: a valid header checksum, species
// numbers, item records of type 4 with two dummies among them, 57 distinct machine moves
// (none a tutor move) and the list's end where the release keeps it.
Bytes RealLookingRomBytes(const RomProfile& profile);

// What the file holds, decoded from the bytes at the addresses of the tests' own model rather
// than through the code under test: the move byte, the little-endian price, the 8-byte field.
TableValues Decode(const Bytes& bytes, const RomProfile& profile);

}  // namespace brindlewick::test
