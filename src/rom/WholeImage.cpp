#include "rom/WholeImage.h"

#include <numeric>

namespace brindlewick {
namespace {

std::uint16_t Sum(std::uint16_t sum, std::span<const std::uint8_t> bytes) {
    // Summed in 32 bits, which cannot overflow within a cartridge's 8 MiB; the checksum keeps
    // the low 16 bits.
    return static_cast<std::uint16_t>(
        std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{sum}));
}

}  // namespace

std::uint16_t AddToGlobalChecksum(std::uint16_t sum, std::uint64_t offset,
                                  std::span<const std::uint8_t> block) {
    constexpr auto kFirst = static_cast<std::uint64_t>(kGlobalChecksumOffset);
    constexpr auto kEnd = kFirst + kGlobalChecksumLength;
    const std::uint64_t end = offset + block.size();
    if (end <= kFirst || offset >= kEnd) {
        return Sum(sum, block);
    }
    // The block holds one or both of the checksum's bytes: the bytes before and after them.
    const std::uint64_t before = kFirst > offset ? kFirst - offset : 0;
    const std::uint64_t after = kEnd > offset ? kEnd - offset : 0;
    sum = Sum(sum, block.first(static_cast<std::size_t>(before)));
    if (after < block.size()) {
        sum = Sum(sum, block.subspan(static_cast<std::size_t>(after)));
    }
    return sum;
}

std::uint16_t StoredGlobalChecksum(std::span<const std::uint8_t> image) {
    const auto at = static_cast<std::size_t>(kGlobalChecksumOffset);
    return static_cast<std::uint16_t>((image[at] << 8) | image[at + 1]);
}

}  // namespace brindlewick
