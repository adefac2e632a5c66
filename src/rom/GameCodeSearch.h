// GameCodeSearch: finds the three tables the way the game itself does. Five short routines of
// the game hold a pointer (and a bank) to each table: GetBaseData to the base stats,
// GetTMHMMove and the machine loop of GetEggMove to the machine move list, GetItemAttr to the
// item records, and GetTMHMNumber gives the item numbers of TM01 and of the dummy items. Each
// is found by its bytes, whose parts that differ between builds are wildcards; every one must
// occur exactly once in the file, or the code cannot be followed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rom/NameCode.h"
#include "rom/SelfCheck.h"
#include "rom/TablePlaces.h"

namespace brindlewick {

class OpenFile;
struct RomProfile;

// The cartridge is cut into banks of 0x4000 bytes: bank 0 is always at addresses
// 0x0000..0x3FFF, another bank n is switched in at 0x4000..0x7FFF.
inline constexpr std::int32_t kBankSize = 0x4000;

// The file offset of `length` bytes at `bank`:`address` as the game reads them, or nothing
// where the game cannot read them so: a pointer into a switched bank must be 0x4000..0x7FFF
// with a bank of 1 or more, and the bytes must lie in that bank and inside a file of
// `fileSize` bytes.
std::optional<std::int32_t> BankedOffset(int bank, int address, std::int32_t length,
                                         std::uint64_t fileSize);

// What following the code gave.
struct FollowedCode {
    enum class Outcome {
        Followed,     // every routine found once: `places` are where the code points
        NotFollowed,  // a routine missing or found more than once: `reason` says which
        NoTable,      // followed, but a pointer leads where no table can lie: `findings`
    };
    Outcome outcome = Outcome::NotFollowed;
    std::string reason;
    TablePlaces places;                      // Followed and NoTable: what the code gives
    std::vector<SelfCheckFinding> findings;  // NoTable: each pointer that leads nowhere
    // The routines that lead to the names, found in the same pass over the file.
    NameCodeHits names;
};

// Reads the whole file through `rom` in blocks, holding no copy of it, and follows the code;
// the routines that lead to the names are looked for in the same pass.
// A failing read is reported and gives nothing.
std::optional<FollowedCode> FollowGameCode(const OpenFile& rom, const RomProfile& release);

// The same over bytes in memory (the whole file).
FollowedCode FollowGameCode(std::span<const std::uint8_t> image, const RomProfile& release);

}  // namespace brindlewick
