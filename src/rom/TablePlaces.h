// TablePlaces: where one file keeps its three tables, and how that was learned. A release as
// it was sold keeps them where its row of the release table says; a modified game may keep
// them anywhere its own code points (see GameCodeSearch.h). Everything that addresses a table
// takes this value, so nothing else knows a fixed offset.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rom/RomTables.h"

namespace brindlewick {

struct RomProfile;

inline constexpr int kMaxDummyItems = static_cast<int>(kReleaseDummyItems.size());

// How the places were learned.
enum class PlacesSource {
    ReleaseRow,  // the release's row: a file whose code was not (or could not be) followed
    GameCode,    // the game's own code, followed to them
};

// A few bytes of the game's code that lead to a table, as they were when the places were
// found: a write checks that they still hold them.
struct CodeSite {
    std::int32_t offset = 0;
    std::vector<std::uint8_t> bytes;

    bool operator==(const CodeSite&) const = default;
};

struct TablePlaces {
    const RomProfile* release = nullptr;  // the release the game code names
    std::int32_t moves = 0;               // the machine move list: TM01's byte
    std::int32_t baseStats = 0;           // the base-stats record of species 1
    std::int32_t tm01Record = 0;          // TM01's 7-byte item record
    std::uint8_t tm01Item = kReleaseTm01Item;
    // The dummy items among the machines, in rising order; `dummyCount` of them are used.
    std::array<std::uint8_t, kMaxDummyItems> dummyItems = kReleaseDummyItems;
    int dummyCount = kMaxDummyItems;
    PlacesSource source = PlacesSource::ReleaseRow;
    std::vector<CodeSite> code;  // the routines read, for GameCode places

    // Same places and item numbering (not necessarily learned the same way).
    bool SamePlaces(const TablePlaces& other) const {
        return moves == other.moves && baseStats == other.baseStats &&
               tm01Record == other.tm01Record && tm01Item == other.tm01Item &&
               dummyCount == other.dummyCount && dummyItems == other.dummyItems;
    }
    bool operator==(const TablePlaces&) const = default;
};

// The places the release's row gives, with the releases' item numbering.
TablePlaces RowPlaces(const RomProfile& release);

// The item number of machine k in the file's numbering (see RomTables.h).
int MachineItem(const TablePlaces& places, int machine);

// The highest item number of the machines (HM07's), and how many 7-byte records lie from TM01's
// record to HM07's, both included: 59 in every release, 57 without the dummy items.
int MachineRecordSpan(const TablePlaces& places);

// The byte offsets of one machine's values and of a species' compatibility field byte.
std::int32_t MoveByteOffset(const TablePlaces& places, int machine);
std::int32_t PriceOffset(const TablePlaces& places, int machine);
std::int32_t CompatibilityByteOffset(const TablePlaces& places, int species, int fieldByte);

// Whether the file is Crystal, whose move list carries the move tutor's three moves after HM07.
bool IsCrystal(const TablePlaces& places);
// Bytes from the move list's start up to and including its end: 58, or 61 in Crystal.
std::int32_t MoveListLength(const TablePlaces& places);

// One past the highest byte the editor reads or writes in the three tables.
std::int64_t TablesEnd(const TablePlaces& places);

// "0x1167A": an offset as the messages write it.
std::string OffsetText(std::int64_t offset);

}  // namespace brindlewick
