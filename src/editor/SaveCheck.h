// SaveCheck: the check a save makes before its first write. Through one open handle it
// learns which file the ROM's path now reaches and what that file holds where the save is
// about to write, so that the writes can insist on that same file and the save can ask before
// undoing a change made elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/NativeFile.h"
#include "rom/RomTables.h"

namespace brindlewick {

struct RomProfile;

// The machine move list from TmMovesOffset: the 57 machine moves, Crystal's three tutor moves
// and the terminating 0 (Gold and Silver end one byte after HM07; the rest is read all the
// same, so that one length serves every release).
inline constexpr int kCheckedMoveListLength = kMachineCount + 4;

struct SaveCheckResult {
    FileIdentity identity;  // the file the check read; every write must reach the same one
    std::string gameCode;   // the four header bytes at 0x13F
    std::array<std::uint8_t, kCheckedMoveListLength> moveList{};
    std::array<std::uint8_t, kPriceLength> price{};               // the machine's price bytes
    std::array<std::uint8_t, kCompatibilityFieldLength> field{};  // the species' field
};

// Reads the game code, the move list, the machine's price and the species' field of the file
// at `romPath` through one open handle, and checks that it is a regular file its owner may
// write, long enough for what the save writes, and still a `profile` release. A failure is
// reported, naming the file, and gives no result.
std::optional<SaveCheckResult> CheckFileForSave(const std::string& romPath,
                                                const RomProfile& profile, int machine,
                                                int species);

}  // namespace brindlewick
