#include "patch/PatchFormats.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace brindlewick {
namespace {

constexpr std::string_view kBpsMagic = "BPS1";
constexpr std::uint64_t kBpsSourceRead = 0;
constexpr std::uint64_t kBpsTargetRead = 1;

constexpr std::string_view kIpsMagic = "PATCH";
constexpr std::string_view kIpsEnd = "EOF";
constexpr std::uint64_t kIpsMaxRecordLength = 0xFFFF;
// The offset whose three bytes spell the end marker: a record there would end the patch.
constexpr std::uint64_t kIpsEndAsOffset = 0x454F46;

// Equal bytes are skipped a block at a time: memcmp compares far faster than a byte loop.
constexpr std::size_t kCompareBlock = 64;

// Room for the bytes of every run and `perRun` bytes more for each of them and each record of
// at most 65535 bytes, so that the patch is not moved while it grows.
constexpr std::size_t kBpsActionAtMost = 2 * 10;  // a SourceRead and a TargetRead number
constexpr std::size_t kBpsHeaderAtMost = 4 + 3 * 10;
constexpr std::size_t kBpsFooter = 12;
constexpr std::size_t kIpsRecordHeader = 5 + 1;  // and the byte before 0x454F46
std::size_t PatchSizeAtMost(std::span<const ByteRun> runs, std::size_t perRun) {
    std::size_t size = 0;
    for (const ByteRun& run : runs) {
        size += static_cast<std::size_t>(run.length) +
                perRun * (1 + static_cast<std::size_t>(run.length / kIpsMaxRecordLength));
    }
    return size;
}

void Append(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void Append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendBpsNumber(std::vector<std::uint8_t>& out, std::uint64_t number) {
    for (;;) {
        const auto group = static_cast<std::uint8_t>(number & 0x7F);
        number >>= 7;
        if (number == 0) {
            out.push_back(static_cast<std::uint8_t>(0x80 | group));
            return;
        }
        out.push_back(group);
        --number;
    }
}

void AppendBpsAction(std::vector<std::uint8_t>& out, std::uint64_t kind, std::uint64_t length) {
    AppendBpsNumber(out, ((length - 1) << 2) | kind);
}

void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

}  // namespace

std::vector<ByteRun> DifferingRuns(std::span<const std::uint8_t> source,
                                   std::span<const std::uint8_t> target) {
    std::vector<ByteRun> runs;
    const std::size_t common = std::min(source.size(), target.size());
    const std::uint8_t* a = source.data();
    const std::uint8_t* b = target.data();
    std::size_t at = 0;
    while (at < common) {
        while (at + kCompareBlock <= common && std::memcmp(a + at, b + at, kCompareBlock) == 0) {
            at += kCompareBlock;
        }
        while (at < common && a[at] == b[at]) {
            ++at;
        }
        if (at == common) {
            break;
        }
        const std::size_t start = at;
        while (at < common && a[at] != b[at]) {
            ++at;
        }
        runs.push_back({start, at - start});
    }
    if (target.size() > common) {
        // Bytes after the source's end: a run of their own, or the last run's continuation.
        if (!runs.empty() && runs.back().offset + runs.back().length == common) {
            runs.back().length += target.size() - common;
        } else {
            runs.push_back({common, target.size() - common});
        }
    }
    return runs;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
}

std::vector<std::uint8_t> MakeBpsPatch(std::span<const std::uint8_t> source,
                                       std::span<const std::uint8_t> target,
                                       std::span<const ByteRun> runs) {
    std::vector<std::uint8_t> patch(kBpsMagic.begin(), kBpsMagic.end());
    patch.reserve(PatchSizeAtMost(runs, kBpsActionAtMost) + kBpsHeaderAtMost + kBpsFooter);
    AppendBpsNumber(patch, source.size());
    AppendBpsNumber(patch, target.size());
    AppendBpsNumber(patch, 0);
    // The target is written from its first byte to its last: the bytes between two runs are
    // the source's own, at the same place.
    std::uint64_t at = 0;
    for (const ByteRun& run : runs) {
        if (run.offset > at) {
            AppendBpsAction(patch, kBpsSourceRead, run.offset - at);
        }
        AppendBpsAction(patch, kBpsTargetRead, run.length);
        Append(patch, target.subspan(static_cast<std::size_t>(run.offset),
                                     static_cast<std::size_t>(run.length)));
        at = run.offset + run.length;
    }
    if (at < target.size()) {
        AppendBpsAction(patch, kBpsSourceRead, target.size() - at);
    }
    AppendLittleEndian32(patch, Crc32(source));
    AppendLittleEndian32(patch, Crc32(target));
    AppendLittleEndian32(patch, Crc32(patch));
    return patch;
}

std::optional<std::vector<std::uint8_t>> MakeIpsPatch(std::span<const std::uint8_t> source,
                                                      std::span<const std::uint8_t> target,
                                                      std::span<const ByteRun> runs) {
    if (target.size() < source.size()) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> patch(kIpsMagic.begin(), kIpsMagic.end());
    patch.reserve(PatchSizeAtMost(runs, kIpsRecordHeader) + kIpsEnd.size());
    for (const ByteRun& run : runs) {
        std::uint64_t offset = run.offset;
        const std::uint64_t end = run.offset + run.length;
        while (offset < end) {
            // A record that would begin at the end marker's offset begins one byte earlier,
            // taking the target's byte there along (it is the source's, or the previous
            // record's last).
            if (offset == kIpsEndAsOffset) {
                --offset;
            }
            if (offset > kIpsMaxOffset) {
                return std::nullopt;
            }
            const std::uint64_t length = std::min(end - offset, kIpsMaxRecordLength);
            AppendBigEndian(patch, offset, 3);
            AppendBigEndian(patch, length, 2);
            Append(patch, target.subspan(static_cast<std::size_t>(offset),
                                         static_cast<std::size_t>(length)));
            offset += length;
        }
    }
    Append(patch, kIpsEnd);
    return patch;
}

}  // namespace brindlewick
