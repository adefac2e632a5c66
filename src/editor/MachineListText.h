// MachineListText: the machines a species can learn as plain text, "TM01 TM03 HM07", for the
// clipboard. The same text read back ticks exactly those machines; read against the open ROM,
// a machine may also be named by the move it teaches ("Headbutt, Swords Dance").
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "rom/RomTables.h"

namespace brindlewick {

class GameNameMatcher;

using MachineSet = std::array<bool, kMachineCount>;

// What a species that learns no machine is copied as: a text that pastes back to no machines.
inline constexpr const char* kNoMachinesText = "none";

// No list of machines is this long (all 57 take under 300 bytes); longer text is refused
// before it is looked at.
inline constexpr std::size_t kMaxMachineListText = 64 * 1024;

// The names of the machines in `machines`, in machine order, separated by one blank;
// kNoMachinesText when there are none.
std::string FormatMachineList(const MachineSet& machines);

// The machines named in `text`: names as FormatMachineList writes them, in any case and order,
// separated by blanks, tabs, line ends, commas or semicolons; kNoMachinesText alone (in any
// case) names none. Nothing when any word is not a machine's name, when there is no word at
// all (empty text, blanks alone: nothing to paste), or when the text is longer than
// kMaxMachineListText.
std::optional<MachineSet> ParseMachineList(const std::string& text);

// The move number each machine teaches in the open ROM; -1 where it is not known.
using MachineMoves = std::array<int, kMachineCount>;

struct MachineListReading {
    std::optional<MachineSet> machines;
    std::string problem;  // without machines: the first part not understood, and why
};

// As ParseMachineList, and a part between commas, semicolons, tabs or line ends that is not
// machine names may name a move, as NameMatching finds it: it stands for every machine that
// teaches that move in `moves`. A move that no machine teaches, or a name that is neither,
// gives no machines and a problem naming it (with the nearest move names).
MachineListReading ReadMachineList(const std::string& text, const MachineMoves& moves);
// The same, a move matched among the ROM's own names too.
MachineListReading ReadMachineList(const std::string& text, const MachineMoves& moves,
                                   const GameNameMatcher& matcher);

}  // namespace brindlewick
