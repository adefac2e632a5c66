// TablesCsv: the CSV layout of the three tables, one grid a spreadsheet shows as it is and
// a diff reads line by line.
//   row 1      species, TM01 ... TM50, HM01 ... HM07
//   row 2      move, then each machine's move as its move-list entry
//   row 3      price, then each machine's price in decimal
//   rows 4...  one species a line: its species-list entry, then 1 or 0 for each machine
// Names are written trimmed; an entry whose text another entry of its list shares, and a
// stored move byte that names no move, are written as numbers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tables/Csv.h"
#include "tables/TableValues.h"

namespace brindlewick {

class GameNameMatcher;
struct RomNames;

// species + the 57 machines.
inline constexpr int kCsvColumns = 1 + kMachineCount;

std::string ExportCsv(const TableValues& values);
// The same with the moves and species named as the ROM holds them (RomNames.h), where they
// could be read; a name that would not read back as its own entry is written as its number.
std::string ExportCsv(const TableValues& values, const RomNames& names);

// A move (0 to 251) and a species (0 to 250) as the export writes them: the list's entry
// trimmed, or its number where another entry of its list shares its name.
std::string MoveExportName(std::size_t move);
std::string SpeciesExportName(std::size_t species);

// The values the CSV asks for, starting from `current` (what the file holds): moves and
// prices from rows 2 and 3, and the machine bits of each species that has a row. Species
// that have no row, and the bits of a field that stand for no machine, keep their current
// values. Names are matched as NameMatching.h compares them (the list's entry or the games'
// spelling, ignoring case, blanks and punctuation), a move also by its number (0 to 251) and a
// species also by its number (1 to 251); an entry whose name its list holds twice only by
// number. An unknown name's problem names the nearest names. A number above 251 is taken for a move
// only where the file already holds it, so that an exported file reads back unchanged. Every
// problem is added to `problems` and the result is then empty.
std::optional<TableValues> ParseTablesCsv(std::string_view text, const TableValues& current,
                                          CsvProblems& problems);
// The same, a name matched among the ROM's names as well (RomNameMatching.h).
std::optional<TableValues> ParseTablesCsv(std::string_view text, const TableValues& current,
                                          const GameNameMatcher& matcher, CsvProblems& problems);

}  // namespace brindlewick
