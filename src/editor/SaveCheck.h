// SaveCheck: the check a save makes before its first write, and again after its questions.
// Through the handle the save writes with, it learns what the file holds where the save is
// about to write, and whether a real cartridge image still passes the self-check, so that the
// save can ask before undoing a change made elsewhere and never writes into a file that has
// become a modified game.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/NativeFile.h"
#include "rom/RomTables.h"
#include "rom/SelfCheck.h"

namespace brindlewick {

struct TablePlaces;

// The machine move list: the 57 machine moves, Crystal's three tutor moves and the terminating
// 0 (Gold and Silver end one byte after HM07, and the rest stays 0).
inline constexpr int kCheckedMoveListLength = kMachineCount + 4;

struct SaveCheckResult {
    FileIdentity identity;  // the file the check read; every write must reach the same one
    std::string gameCode;   // the four header bytes at 0x13F
    std::array<std::uint8_t, kCheckedMoveListLength> moveList{};
    std::array<std::uint8_t, kPriceLength> price{};               // the machine's price bytes
    std::array<std::uint8_t, kCompatibilityFieldLength> field{};  // the species' field
    SelfCheckResult selfCheck;                                    // of the file as it is now

    // The same bytes where the save reads and writes, and the same self-check outcome.
    bool SameAs(const SaveCheckResult& other) const {
        return identity == other.identity && gameCode == other.gameCode &&
               moveList == other.moveList && price == other.price && field == other.field &&
               selfCheck.findings == other.selfCheck.findings;
    }
};

class OpenFile;

// Reads the game code, the move list, the machine's price and the species' field through
// `rom`, the handle the whole save reads and writes with (opened by OpenRomForWriting, which
// checked that it is a writable regular file), checks that the file is long enough for them
// and still the release of `places`, and runs the self-check (which also checks that the game's
// code still leads to `places`) through the same handle. A failure
// is reported, naming the file, and gives no result; a failed self-check is no failure here
// (see selfCheck).
std::optional<SaveCheckResult> CheckOpenFileForSave(const OpenFile& rom, const TablePlaces& places,
                                                    int machine, int species);

}  // namespace brindlewick
