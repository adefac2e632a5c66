// PatchFormats: the two formats people share their changes to a cartridge image in, each a
// file that turns the clean image (the source) into theirs (the target), written from the two
// images in memory.
//
// BPS: "BPS1"; the source size, the target size and the size of the metadata (none) as
// numbers; then actions, each a number (length - 1) << 2 | kind: kind 0 copies `length` bytes
// of the source from where the target stands (SourceRead), kind 1 takes the next `length`
// bytes of the patch (TargetRead). It closes with three CRC-32s, each four bytes low byte
// first: of the source, of the target and of the patch up to them. A number is written seven
// bits at a time, lowest first, the last group marked by bit 7, and one is subtracted after
// each group that is not the last, so that every number has exactly one encoding.
//
// IPS: "PATCH"; records of a 3-byte offset and a 2-byte length, both high byte first, and that
// many bytes to put at the offset; then "EOF". A record of length 0 would be a run of one byte
// value (not written here), so a record holds 1 to 65535 bytes; an offset reaches 16 MiB, and
// a record may not begin at 0x454F46, whose three bytes read "EOF".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace brindlewick {

enum class PatchFormat { Bps, Ips };

// A run of bytes at which two images differ.
struct ByteRun {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;

    bool operator==(const ByteRun&) const = default;
};

// The runs at which `target` differs from `source`, in file order. Bytes of the target beyond
// the source's end differ from nothing; bytes of the source beyond the target's end are no run.
std::vector<ByteRun> DifferingRuns(std::span<const std::uint8_t> source,
                                   std::span<const std::uint8_t> target);

// The CRC-32 of ISO-HDLC (polynomial 0x04C11DB7, reflected, the one of ZIP and PNG), zlib's.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The BPS patch from `source` to `target`; `runs` are their DifferingRuns.
std::vector<std::uint8_t> MakeBpsPatch(std::span<const std::uint8_t> source,
                                       std::span<const std::uint8_t> target,
                                       std::span<const ByteRun> runs);

// The highest offset an IPS record can name.
inline constexpr std::uint64_t kIpsMaxOffset = 0xFFFFFF;

// The IPS patch from `source` to `target`; `runs` are their DifferingRuns. Nothing where IPS
// cannot say it: a target shorter than its source, or a change beyond kIpsMaxOffset.
std::optional<std::vector<std::uint8_t>> MakeIpsPatch(std::span<const std::uint8_t> source,
                                                      std::span<const std::uint8_t> target,
                                                      std::span<const ByteRun> runs);

}  // namespace brindlewick
