// MachineListText: the machines a species can learn as plain text, "TM01 TM03 HM07", for the
// clipboard. The same text read back ticks exactly those machines.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "rom/RomTables.h"

namespace brindlewick {

using MachineSet = std::array<bool, kMachineCount>;

// The names of the machines in `machines`, in machine order, separated by one blank; "" when
// there are none.
std::string FormatMachineList(const MachineSet& machines);

// The machines named in `text`: names as FormatMachineList writes them, in any case and order,
// separated by blanks, tabs, line ends, commas or semicolons. Text of blanks alone names no
// machine. Nothing when any word is not a machine's name.
std::optional<MachineSet> ParseMachineList(const std::string& text);

}  // namespace brindlewick
