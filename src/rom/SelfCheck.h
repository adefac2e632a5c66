// SelfCheck: whether a real cartridge image holds the three tables where its release keeps
// them. Many modified games keep the original game code but move the tables; writing the
// original addresses into such a file would corrupt it. A file whose header checksum does not
// match is no bootable image (a synthetic test image, or no cartridge at all) and is not
// checked: for it the editor goes by the game code alone.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brindlewick {

class OpenFile;
struct RomProfile;
struct TablePlaces;

// Header bytes 0x134..0x14C (title, game code, flags, version) are covered by the checksum at
// 0x14D: x = 0; for each byte b: x = x - b - 1; low 8 bits. The boot ROM refuses an image
// whose checksum is wrong.
inline constexpr std::int32_t kHeaderChecksumStart = 0x134;
inline constexpr std::int32_t kHeaderChecksumOffset = 0x14D;
inline constexpr std::int32_t kHeaderChecksumLength = kHeaderChecksumOffset - kHeaderChecksumStart;

// Byte 0 of every 32-byte base-stats record is the species number, 1 (Bulbasaur) to 251.
inline constexpr std::int32_t kSpeciesNumberByte = 0;

// Byte 5 of an item record is the item type; 4 is a TM or HM, which every machine's record
// holds and a dummy item's among them does not.
inline constexpr std::int32_t kItemTypeByte = 5;
inline constexpr std::uint8_t kMachineItemType = 4;

// The checksum of the 25 header bytes 0x134..0x14C.
std::uint8_t HeaderChecksum(std::span<const std::uint8_t> headerBytes);

// `header` holds the 26 bytes 0x134..0x14D: true when the last one is the checksum of the
// others, which every image that boots has.
bool HasValidHeaderChecksum(std::span<const std::uint8_t> header);

enum class CheckedTable { BaseStats, ItemRecords, MoveList };
inline constexpr int kCheckedTableCount = 3;

// One place where a table does not hold what the release keeps there.
struct SelfCheckFinding {
    CheckedTable table;
    std::int32_t offset;   // 0-based file offset of the byte that was looked at
    std::string expected;  // what the release keeps there, in words ("species number 1")
    std::string found;     // what the file holds there, in words ("0x3C")

    bool operator==(const SelfCheckFinding&) const = default;
};

// A moved table differs in nearly every place; the findings keep the first few of each table
// and the counts say how many places differ in all.
inline constexpr int kMaxFindingsPerTable = 3;

struct SelfCheckResult {
    bool realCartridge = false;  // the header checksum matches; only then are tables checked
    bool readFailed = false;     // a read failed and has been reported; nothing is known
    std::vector<SelfCheckFinding> findings;            // at most kMaxFindingsPerTable per table
    std::array<int, kCheckedTableCount> mismatches{};  // places that differ, per table
    // The places were found through the game's code, and the bytes of that code that lead to
    // them are no longer what they were: the file is not the game whose tables were found.
    bool codeChanged = false;

    // A file the editor may write into: no real cartridge image (it goes by the game code
    // alone), or one whose tables all lie where they were looked for.
    bool SafeToWrite() const { return !readFailed && !codeChanged && findings.empty(); }
    // The number of places in `table` that differ from what the release keeps there.
    int Mismatches(CheckedTable table) const { return mismatches[static_cast<int>(table)]; }
};

// The proof that `places` hold the three tables, for a real cartridge image (an image whose
// header checksum does not match is not checked: realCartridge stays false). What a table must
// hold to be one:
// - base stats: byte 0 of the 251 records of 32 bytes is the species number, 1 to 251;
// - item records: every machine's record has item type 4 (TM/HM), a dummy item's among them
//   has another;
// - move list: 57 bytes, each 0 (no move) or a move 1..251, not all 0; then the game's own end,
//   in Gold and Silver a 0, in Crystal the move tutor's three moves (1..251) and a 0. Which
//   moves the tutor teaches is left open: a modified game may change them.
// A file too short for its header is no cartridge image; a real one that ends inside a table
// fails the check for that table. A failing file access is reported and gives readFailed.
// Through ReadHexBytes, one block per table:
SelfCheckResult CheckRomTables(const std::string& fileName, const TablePlaces& places);
// Through `rom`, a handle held for a whole operation: one read of a few KB per table, so that
// it can run again right before a write.
SelfCheckResult CheckRomTables(const OpenFile& rom, const TablePlaces& places);
// Over bytes already in memory: `image` is the whole file.
SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const TablePlaces& places);
// The same at the places the release's row gives.
SelfCheckResult CheckRomTables(const std::string& fileName, const RomProfile& release);
SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const RomProfile& release);

// The table's name as a user reads it: "base-stats table", "item records", "move list".
std::string TableName(CheckedTable table);

// The one message shown at open when the check fails: which tables do not lie where this
// release keeps them, that the file is probably a modified game, and that it can be viewed
// but will not be saved into. The first finding of each table follows as a detail.
std::string DescribeFailedCheck(const SelfCheckResult& result, const RomProfile& profile);

// The tables that fail the check, as a message names them: "base-stats table, its item records
// and its move list" (`plural` for the verb), and a line per table with its first finding.
struct FailedTables {
    std::string names;
    bool plural = false;
    std::string details;  // "\nmove list at 0x1167A: expected …, found … (3 places differ)"
};
FailedTables DescribeFailedTables(const SelfCheckResult& result);

// "English Pokémon Crystal (BYTE)".
std::string ReleaseText(const RomProfile& release);

// Ends every message about a file that is shown but never written.
inline constexpr const char* kShownNotSaved =
    "Brindlewick will show it, but will not save into it.";

}  // namespace brindlewick
