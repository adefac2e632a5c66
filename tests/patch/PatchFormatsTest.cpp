// The BPS and IPS writers: each patch applied by the tests' own readers gives the target byte
// for byte, the bytes of small patches are those the formats define, and what a format cannot
// say is refused rather than written wrong.
#include "patch/PatchFormats.h"

#include <gtest/gtest.h>

#include <string_view>

#include "support/PatchReaders.h"
#include "support/TestSupport.h"

namespace brindlewick::test {
namespace {

Bytes Of(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Bps(const Bytes& source, const Bytes& target) {
    return MakeBpsPatch(source, target, DifferingRuns(source, target));
}

std::optional<Bytes> Ips(const Bytes& source, const Bytes& target) {
    return MakeIpsPatch(source, target, DifferingRuns(source, target));
}

// Both patches of `source` to `target`, each applied to `source`, give `target` again.
void ExpectBothApply(const Bytes& source, const Bytes& target) {
    const auto bps = ApplyBps(source, Bps(source, target));
    ASSERT_TRUE(bps.has_value());
    EXPECT_EQ(DifferingOffsets(*bps, target), std::vector<std::size_t>{});
    EXPECT_EQ(bps->size(), target.size());
    const auto ips = Ips(source, target);
    ASSERT_TRUE(ips.has_value());
    const auto applied = ApplyIps(source, *ips);
    ASSERT_TRUE(applied.has_value());
    EXPECT_EQ(*applied == target, true);
}

TEST(DifferingRuns, FindsEveryRunWhereverTheCompareBlocksEnd) {
    Bytes source = SyntheticRomBytes("AAUE", 4096);
    Bytes target = source;
    // The first byte, a run across the 64-byte block at 60..67, one in the middle of a block,
    // and the last byte.
    target[0] ^= 1;
    for (std::size_t at = 60; at < 68; ++at) {
        target[at] ^= 0xFF;
    }
    target[1000] ^= 0x10;
    target[4095] ^= 0x80;
    EXPECT_EQ(DifferingRuns(source, target),
              (std::vector<ByteRun>{{0, 1}, {60, 8}, {1000, 1}, {4095, 1}}));
    EXPECT_TRUE(DifferingRuns(source, source).empty());

    // Bytes beyond the source's end differ; those beyond the target's end are no run.
    Bytes longer = target;
    longer.push_back(7);
    EXPECT_EQ(DifferingRuns(source, longer).back(), (ByteRun{4095, 2}));
    Bytes shorter(source.begin(), source.end() - 10);
    EXPECT_TRUE(DifferingRuns(source, shorter).empty());
}

TEST(Crc32, IsTheCrcOfZipAndPng) {
    // The check value of CRC-32/ISO-HDLC.
    EXPECT_EQ(Crc32(Of("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
}

TEST(BpsPatch, HoldsTheBytesTheFormatDefines) {
    const Bytes source = Of("AB");
    const Bytes target = Of("AC");
    const Bytes patch = Bps(source, target);
    // "BPS1", sizes 2 and 2 and no metadata (each one group with bit 7), SourceRead of 1
    // ((1 - 1) << 2 | 0), TargetRead of 1 ((1 - 1) << 2 | 1) and its byte.
    const Bytes body = {'B', 'P', 'S', '1', 0x82, 0x82, 0x80, 0x80, 0x81, 'C'};
    ASSERT_EQ(patch.size(), body.size() + 12);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), patch.begin()));
    const auto crc = [&](std::size_t at) {
        return static_cast<std::uint32_t>(patch[at] | patch[at + 1] << 8 | patch[at + 2] << 16 |
                                          patch[at + 3] << 24);
    };
    EXPECT_EQ(crc(body.size()), Crc32(source));
    EXPECT_EQ(crc(body.size() + 4), Crc32(target));
    EXPECT_EQ(crc(body.size() + 8), Crc32(Bytes(patch.begin(), patch.end() - 4)));
}

TEST(BpsPatch, NumbersOfMoreThanOneGroupHaveTheirOneEncoding) {
    // A TargetRead of 33 bytes: (33 - 1) << 2 | 1 = 129 = 1 + (0 + 1) * 128, two groups.
    const Bytes source(40, 0);
    Bytes target = source;
    for (std::size_t at = 0; at < 33; ++at) {
        target[at] = 1;
    }
    const Bytes patch = Bps(source, target);
    EXPECT_EQ(Bytes(patch.begin() + 4, patch.begin() + 9), (Bytes{0xA8, 0xA8, 0x80, 0x01, 0x80}));
    // A 2 MiB image's size: 2097152 = 0 + (127 + 1) * 128 + (126 + 1) * 16384, three groups.
    const Bytes image = SyntheticRomBytes("AAUE");
    Bytes changed = image;
    changed[0x150] ^= 1;
    const Bytes big = Bps(image, changed);
    EXPECT_EQ(Bytes(big.begin() + 4, big.begin() + 10),
              (Bytes{0x00, 0x7F, 0xFE, 0x00, 0x7F, 0xFE}));
}

TEST(BpsPatch, TurnsTheSourceIntoTheTargetByteForByte) {
    const Bytes source = SyntheticRomBytes("BYTE");
    // One byte; the first and the last byte; a run longer than an IPS record holds; the
    // whole image.
    Bytes one = source;
    one[0x51424 + 24] ^= 0x04;
    Bytes ends = source;
    ends[0] ^= 1;
    ends[kRomSize - 1] ^= 1;
    Bytes longRun = source;
    for (std::size_t at = 0x10000; at < 0x10000 + 3 * 0xFFFF + 5; ++at) {
        longRun[at] = static_cast<std::uint8_t>(~longRun[at]);
    }
    Bytes everything = source;
    for (std::uint8_t& byte : everything) {
        byte = static_cast<std::uint8_t>(byte + 1);
    }
    for (const Bytes* target : {&one, &ends, &longRun, &everything}) {
        ExpectBothApply(source, *target);
    }
    // A patch of equal files is a single SourceRead.
    EXPECT_EQ(ApplyBps(source, Bps(source, source)), source);
}

TEST(BpsPatch, TargetOfAnotherSize) {
    const Bytes source = SyntheticRomBytes("AAXE", 5000);
    Bytes longer = source;
    longer.insert(longer.end(), 300, 0xAB);
    longer[10] ^= 1;
    Bytes shorter(source.begin(), source.begin() + 4000);
    shorter[3999] ^= 1;
    EXPECT_EQ(ApplyBps(source, Bps(source, longer)), longer);
    EXPECT_EQ(ApplyBps(source, Bps(source, shorter)), shorter);
}

TEST(BpsPatch, AppliesOnlyToItsOwnSource) {
    const Bytes source = SyntheticRomBytes("AAUE", 4096);
    Bytes target = source;
    target[100] ^= 1;
    const Bytes patch = Bps(source, target);
    Bytes other = source;
    other[2000] ^= 1;
    // The reader checks the source's CRC-32, as patchers do: the patch names its clean image.
    EXPECT_FALSE(ApplyBps(other, patch).has_value());
    Bytes damaged = patch;
    damaged[9] ^= 1;
    EXPECT_FALSE(ApplyBps(source, damaged).has_value());
}

TEST(IpsPatch, HoldsTheBytesTheFormatDefines) {
    Bytes source(0x20000, 0);
    Bytes target = source;
    target[0x012345] = 0xAA;
    target[0x012346] = 0xBB;
    const auto patch = Ips(source, target);
    ASSERT_TRUE(patch.has_value());
    EXPECT_EQ(*patch, (Bytes{'P', 'A', 'T', 'C', 'H', 0x01, 0x23, 0x45, 0x00, 0x02, 0xAA, 0xBB, 'E',
                             'O', 'F'}));
}

TEST(IpsPatch, SplitsRunsLongerThanARecordHolds) {
    Bytes source(0x40000, 0x11);
    Bytes target = source;
    for (std::size_t at = 0x100; at < 0x100 + 0xFFFF + 0xFFFF + 3; ++at) {
        target[at] = static_cast<std::uint8_t>(at % 255 + 0x12);  // never the source's 0x11
    }
    const auto patch = Ips(source, target);
    ASSERT_TRUE(patch.has_value());
    // Three records: 65535, 65535 and 3 bytes, none of length 0 (which would be a run).
    EXPECT_EQ(patch->size(), 5 + 3 * 5 + 0xFFFF + 0xFFFF + 3 + 3);
    EXPECT_EQ(ApplyIps(source, *patch), target);
}

TEST(IpsPatch, NoRecordBeginsWhereItsOffsetReadsEof) {
    // 0x454F46 is "EOF": a record there would end the patch, so it begins a byte earlier.
    Bytes source(0x460000, 0);
    Bytes target = source;
    target[0x454F46] = 1;
    target[0x454F47] = 2;
    const auto patch = Ips(source, target);
    ASSERT_TRUE(patch.has_value());
    EXPECT_EQ(Bytes(patch->begin() + 5, patch->begin() + 10),
              (Bytes{0x45, 0x4F, 0x45, 0x00, 0x03}));
    EXPECT_EQ(ApplyIps(source, *patch), target);

    // The same where a long run's second record would begin there.
    Bytes run = source;
    for (std::size_t at = 0x454F46 - 0xFFFF; at < 0x454F46 + 10; ++at) {
        run[at] = 0x5A;
    }
    const auto split = Ips(source, run);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(ApplyIps(source, *split), run);
}

TEST(IpsPatch, RefusesWhatItCannotSay) {
    // A change beyond its 24-bit offsets, and a target shorter than its source.
    Bytes source(0x1000010, 0);
    Bytes target = source;
    target[0x1000001] = 1;
    EXPECT_FALSE(Ips(source, target).has_value());
    target[0x1000001] = 0;
    target[0xFFFFFF] = 1;  // still reachable: the last offset a record can name
    EXPECT_TRUE(Ips(source, target).has_value());
    const Bytes shorter(source.begin(), source.begin() + 100);
    EXPECT_FALSE(Ips(source, shorter).has_value());
    // A longer one grows the file.
    Bytes longer(300, 0);
    longer[299] = 9;
    const Bytes small(200, 0);
    EXPECT_EQ(ApplyIps(small, *Ips(small, longer)), longer);
}

}  // namespace
}  // namespace brindlewick::test
