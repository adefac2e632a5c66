// Commands: the three commands of brindlewick-tables over the core. Each returns the
// program's exit status: 0 success, 1 refused or failed with nothing written.
#pragma once

#include <ostream>
#include <string>

namespace brindlewick {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// The release, and each finding of the self-check, to `out`.
int CheckCommand(const std::string& romPath, std::ostream& out);

// The CSV to `out`, or to the file `csvPath` when it is not empty. `force` exports a real
// cartridge image that fails the self-check, with a warning; without it such an image is
// refused with the findings. `romNames` names moves and species as the ROM holds them.
int ExportCommand(const std::string& romPath, const std::string& csvPath, bool force, bool romNames,
                  std::ostream& out);

// `force` writes a change the game cannot use; without it such a change is refused. A dry run
// exits as the import would: 1 where it would be refused.
int ImportCommand(const std::string& romPath, const std::string& csvPath, bool dryRun, bool force);

}  // namespace brindlewick
