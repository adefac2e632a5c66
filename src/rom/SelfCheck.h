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

// Header bytes 0x134..0x14C (title, game code, flags, version) are covered by the checksum at
// 0x14D: x = 0; for each byte b: x = x - b - 1; low 8 bits. The boot ROM refuses an image
// whose checksum is wrong.
inline constexpr std::int32_t kHeaderChecksumStart = 0x134;
inline constexpr std::int32_t kHeaderChecksumOffset = 0x14D;
inline constexpr std::int32_t kHeaderChecksumLength = kHeaderChecksumOffset - kHeaderChecksumStart;

// Byte 0 of every 32-byte base-stats record is the species number, 1 (Bulbasaur) to 251.
inline constexpr std::int32_t kSpeciesNumberByte = 0;

// The item records from TmPricesOffset: 57 machine records with two dummy items among them
// (records 4 and 29), 59 records of 7 bytes in all. Byte 5 of a record is the item type; 4 is
// a TM or HM.
inline constexpr int kItemRecordCount = 59;
inline constexpr std::array<int, 2> kDummyItemRecords{4, 29};
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

    // A file the editor may write into: no real cartridge image (it goes by the game code
    // alone), or one whose tables all lie where its release keeps them.
    bool SafeToWrite() const { return !readFailed && findings.empty(); }
    // The number of places in `table` that differ from what the release keeps there.
    int Mismatches(CheckedTable table) const { return mismatches[static_cast<int>(table)]; }
};

// Reads the header and, for a real cartridge image, one block per table through ReadHexBytes,
// and checks: each of the 251 base-stats records begins with its species number; each of the
// 57 machines' item records has item type 4 (TM/HM) and the two records between them do not;
// the move list ends where the release keeps its end (see CheckRomTables below). A file too
// short for its header is no cartridge image; a real one that ends inside a table fails the
// check for that table. A failing file access is reported and gives readFailed.
SelfCheckResult CheckRomTables(const std::string& fileName, const RomProfile& profile);

// The same check through `rom`, a handle held for a whole operation: one read of a few KB
// per table, so that it can run again right before a write.
SelfCheckResult CheckRomTables(const OpenFile& rom, const RomProfile& profile);

// The same check over bytes already in memory: `image` is the whole file (or at least up to
// the end of its tables).
//
// The move list: the editor writes the 57 machine bytes, and a machine may legitimately be
// given no move (0), so the first 0 of the list may lie among them in a file this editor has
// saved. The bytes after HM07 are never written by the editor: there the release keeps its
// end. Gold and Silver: the byte after HM07 is 0. Crystal: the three bytes after HM07 each
// hold a move (1..251) and the byte after them is 0. Which moves the tutor teaches is left
// unchecked: a modified game may change them without moving the list.
SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const RomProfile& profile);

// The table's name as a user reads it: "base-stats table", "item records", "move list".
std::string TableName(CheckedTable table);

// The one message shown at open when the check fails: which tables do not lie where this
// release keeps them, that the file is probably a modified game, and that it can be viewed
// but will not be saved into. The first finding of each table follows as a detail.
std::string DescribeFailedCheck(const SelfCheckResult& result, const RomProfile& profile);

}  // namespace brindlewick
