// RomFiles: what is done with a ROM file as a whole rather than with its three tables: a
// supported image read whole (for a patch), a patch written beside the ROMs it was made from,
// and the header's global checksum put right through the one-handle writer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/NativeFile.h"

namespace brindlewick {

struct RomProfile;

// A supported image read whole through one handle, which is closed again.
struct WholeRom {
    const RomProfile* release = nullptr;
    std::vector<std::uint8_t> bytes;
    FileIdentity identity;  // of the handle the bytes were read through
};

// Reads `romPath` whole: a regular file with a supported game code, no larger than a cartridge
// (kMaxImageSize), and no other size after the read than before it. Reports why not, naming
// the file, and gives nothing.
std::optional<WholeRom> ReadWholeRom(const std::string& romPath);

// Writes `patch` to `patchPath`, replacing that one file atomically; a path that reaches either
// of `roms` by any route is refused. False after a reported refusal or failure, with nothing
// left behind.
[[nodiscard]] bool WritePatchFile(const std::string& patchPath, std::span<const std::uint8_t> patch,
                                  std::span<const FileIdentity> roms);

enum class ChecksumFixStatus {
    Written,       // the checksum was wrong and has been written
    AlreadyRight,  // nothing written
    Refused,       // no supported ROM, read-only, locked by another program (reported)
    Failed,        // a file access failed (reported, with what the file now holds)
};

struct ChecksumFix {
    ChecksumFixStatus status = ChecksumFixStatus::Failed;
    std::uint16_t stored = 0;    // what the file held at 0x14E-0x14F
    std::uint16_t computed = 0;  // the sum of its other bytes, now written there
};

// Puts the global checksum of `romPath` right: opens it once for writing with its lock, checks
// that it is a supported release long enough for a header, sums every byte but the checksum's
// own through that handle, and where the stored checksum differs writes only the bytes of it
// that differ, as every write into a ROM is written (WriteChangesThrough). The header checksum
// at 0x14D is never touched. Failures and refusals are reported; the outcome is the caller's
// to tell.
ChecksumFix FixGlobalChecksum(const std::string& romPath);

}  // namespace brindlewick
