// TablesComparison: the differences between the three tables of two ROMs, machine by machine
// and species by species, in words; and in which of the three tables the bytes lie at which two
// images differ.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "patch/PatchFormats.h"
#include "tables/TableValues.h"

namespace brindlewick {

class OpenFile;
struct LocatedTables;
struct TablePlaces;

// The names a comparison gives the moves and species of one file.
struct ComparisonNames {
    std::array<std::string, 256> moves;  // by stored byte; a byte above 251 is "move 252"
    std::array<std::string, kSpeciesCount> species;
};

// The names of the file read through `rom`, whose tables are `located`: the one place that
// decides them. They are the ROM's own (RomNames.h) where they could be read, and the lists'
// names as the CSV export writes them otherwise.
ComparisonNames NamesForComparison(const OpenFile& rom, const LocatedTables& located);

// One line per difference from `from` to `to`: machines first, TM01 to HM07, each its move and
// then its price ("TM24: Dragonbreath → Flamethrower", "HM05 price 0 → 500"), then species in
// species order, the machines each learns now and those it no longer learns ("Charmander learns
// TM24 now", "Charmander no longer learns TM01 and HM05"), and the bits of the field that stand
// for no machine (`tutorBits`: both files are Crystal, where they are the move tutor's). A move
// is named by its file's names, a species by the names of `to`.
struct TablesDifferences {
    std::vector<std::string> lines;
    int machines = 0;  // machines whose move or price differs
    int species = 0;   // species whose field differs
};
TablesDifferences CompareTables(const TableValues& from, const TableValues& to,
                                const ComparisonNames& fromNames, const ComparisonNames& toNames,
                                bool tutorBits);

// How many of the bytes at which two images differ lie in each of the three tables at
// `places`, and the runs of those that lie in none.
struct ChangedBytes {
    std::uint64_t moves = 0;
    std::uint64_t prices = 0;
    std::uint64_t compatibility = 0;
    std::uint64_t outside = 0;
    std::vector<ByteRun> outsideRuns;

    std::uint64_t Total() const { return moves + prices + compatibility + outside; }
};
ChangedBytes ChangedBytesByTable(const TablePlaces& places, std::span<const ByteRun> runs);

}  // namespace brindlewick
