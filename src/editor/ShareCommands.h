// ShareCommands: Export Patch..., Compare with... and Fix Checksum, for both windows and the
// command line: what each does, its rules and what it tells the user through the message seam.
// The windows only choose the files and show the comparison.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "patch/PatchFormats.h"

namespace brindlewick {

// The dialogs: the clean ROM's (an open dialog like Open ROM's), the patch's (a save dialog) and
// the other ROM of a comparison's.
inline constexpr const char* kCleanRomTitle = "Export Patch: the Clean ROM";
inline constexpr const char* kExportPatchTitle = "Export Patch";
inline constexpr const char* kPatchFilter = "BPS patches (*.bps)|*.bps|IPS patches (*.ips)|*.ips";
inline constexpr const char* kPatchExtension = "bps";
inline constexpr const char* kCompareTitle = "Compare with";

// The comparison's window: its caption before a comparison and its copy button.
inline constexpr const char* kComparisonCaption = "Comparison";
inline constexpr const char* kCopyComparisonCaption = "&Copy All";

// The name an export proposes: the ROM's name with ".bps" ("Gold.bps").
std::string ProposedPatchName(const std::string& romPath);

// The format a patch file's name asks for: IPS for a name ending in ".ips" (in any case), BPS
// for any other.
PatchFormat PatchFormatOfName(const std::string& patchPath);

// Whether `cleanPath` can be the clean image of `romPath`: both supported, the same release
// (game code) and the same size. Says why not, naming both files.
bool CheckCleanRom(const std::string& cleanPath, const std::string& romPath);

// Writes the patch that turns `cleanPath` into `romPath` to `patchPath`, as `format` or, without
// one, as the name asks (PatchFormatOfName). Both ROMs are only read, each whole through one
// handle; the patch goes to a new file beside `patchPath` that is then renamed over it, and a
// path that reaches either ROM is refused. Refuses another release or size, and two files that
// do not differ. Afterwards says how many bytes the patch changes and in which of the three
// tables of `romPath` they lie. False after a reported refusal or failure, with no file left.
bool ExportPatch(const std::string& cleanPath, const std::string& romPath,
                 const std::string& patchPath, std::optional<PatchFormat> format = std::nullopt);

// The differences between the tables of two ROMs, from `fromPath` to `toPath`.
struct RomComparison {
    std::string caption;               // "clean.gbc → mine.gbc"
    std::vector<std::string> heading;  // what differs in all, then any warning
    std::vector<std::string> lines;    // one difference a line (TablesComparison.h)
};

// Reads the tables of both files, each through one handle, and compares them machine by machine
// and species by species, also for two different releases (with a warning). Nothing after a
// reported failure.
std::optional<RomComparison> CompareRoms(const std::string& fromPath, const std::string& toPath);

// The comparison as text to copy: the heading, a blank line and the differences, a line each.
std::string ComparisonText(const RomComparison& comparison);

// Puts the global checksum of `romPath` right (FixGlobalChecksum) and says what it was and is,
// or that it already was right. False after a reported refusal or failure.
bool FixChecksum(const std::string& romPath);

}  // namespace brindlewick
