// Commands: the commands of brindlewick-tables over the core. Each returns the
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

// The CSV to standard output, or to the file `csvPath` when it is not empty; either is refused
// when it is the ROM itself. `force` exports a real cartridge image that fails the self-check,
// with a warning; without it such an image is refused with the findings. `romNames` names moves
// and species as the ROM holds them.
int ExportCommand(const std::string& romPath, const std::string& csvPath, bool force,
                  bool romNames);

// `force` writes a change the game cannot use; without it such a change is refused. A dry run
// exits as the import would: 1 where it would be refused.
int ImportCommand(const std::string& romPath, const std::string& csvPath, bool dryRun, bool force);

// The patch that turns `cleanPath` into `romPath`, written to `patchPath` as `format` ("bps",
// "ips", or "" for the one the name asks for); what it changes is told as a message.
int PatchCommand(const std::string& cleanPath, const std::string& romPath,
                 const std::string& patchPath, const std::string& format);

// The differences between the tables of `fromPath` and `toPath` to `out`, one a line; how many
// differ, and any warning, as messages. 0 whether or not they differ: 1 means the comparison
// could not be made.
int DiffCommand(const std::string& fromPath, const std::string& toPath, std::ostream& out);

// Puts the global checksum of `romPath` right, or says it already was.
int FixChecksumCommand(const std::string& romPath);

}  // namespace brindlewick
