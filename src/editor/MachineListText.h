// MachineListText: the machines a species can learn as plain text, "TM01 TM03 HM07", for the
// clipboard. The same text read back ticks exactly those machines.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "rom/RomTables.h"

namespace brindlewick {

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

}  // namespace brindlewick
