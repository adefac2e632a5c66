// SelfCheck: whether a real cartridge image holds the three tables where its release keeps
// them. Many modified games keep the original game code but move the tables; writing the
// original addresses into such a file would corrupt it. A file whose header checksum does not
// match is no bootable image (a synthetic test image, or no cartridge at all) and is not
// checked: for it the editor goes by the game code alone.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brindlewick {

struct RomProfile;

// Header bytes 0x134..0x14C (title, game code, flags, version) are covered by the checksum at
// 0x14D: x = 0; for each byte b: x = x - b - 1; low 8 bits. The boot ROM refuses an image
// whose checksum is wrong.
inline constexpr std::int32_t kHeaderChecksumStart = 0x134;
inline constexpr std::int32_t kHeaderChecksumOffset = 0x14D;
inline constexpr std::int32_t kHeaderChecksumLength = kHeaderChecksumOffset - kHeaderChecksumStart;

// The checksum of the 25 header bytes 0x134..0x14C.
std::uint8_t HeaderChecksum(std::span<const std::uint8_t> headerBytes);

// `header` holds the 26 bytes 0x134..0x14D: true when the last one is the checksum of the
// others, which every image that boots has.
bool HasValidHeaderChecksum(std::span<const std::uint8_t> header);

enum class CheckedTable { BaseStats, ItemRecords, MoveList };

// One place where a table does not hold what the release keeps there.
struct SelfCheckFinding {
    CheckedTable table;
    std::int32_t offset;   // 0-based file offset of the byte that was looked at
    std::string expected;  // what the release keeps there, in words ("species number 1")
    std::string found;     // what the file holds there, in words ("0x3C")
};

struct SelfCheckResult {
    bool realCartridge = false;  // the header checksum matches; only then are tables checked
    bool readFailed = false;     // a read failed and has been reported; nothing is known
    std::vector<SelfCheckFinding> findings;

    // A file the editor may write into: no real cartridge image (it goes by the game code
    // alone), or one whose tables all lie where its release keeps them.
    bool SafeToWrite() const { return !readFailed && findings.empty(); }
};

// Reads the header and, for a real cartridge image, one block per table through ReadHexBytes,
// and checks: each of the 251 base-stats records begins with its species number; each of the
// 57 machines' item records has item type 4 (TM/HM) and the two records between them do not;
// the move list's terminating 0 lies where the release keeps it (after HM07 in Gold and
// Silver, after the three tutor moves in Crystal).
SelfCheckResult CheckRomTables(const std::string& fileName, const RomProfile& profile);

// The same check over bytes already in memory: `image` is the whole file (or at least up to
// the end of its tables).
SelfCheckResult CheckRomTables(std::span<const std::uint8_t> image, const RomProfile& profile);

// The table's name as a user reads it: "base-stats table", "item records", "move list".
std::string TableName(CheckedTable table);

// The one message shown at open when the check fails: which tables do not lie where this
// release keeps them, that the file is probably a modified game, and that it can be viewed
// but will not be saved into.
std::string DescribeFailedCheck(const SelfCheckResult& result, const RomProfile& profile);

}  // namespace brindlewick
