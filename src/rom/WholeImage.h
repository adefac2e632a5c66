// WholeImage: what concerns a cartridge image as a whole rather than its three tables: the
// largest image a cartridge holds, and the header's global checksum.
#pragma once

#include <cstdint>
#include <span>

namespace brindlewick {

// The largest cartridge of the Game Boy Color: 512 banks of 16 KiB (MBC5). A larger file is
// no cartridge image, and is never read whole.
inline constexpr std::uint64_t kMaxImageSize = 8 * 1024 * 1024;

// The global checksum: the 16-bit sum of every byte of the image but its own two, stored at
// 0x14E-0x14F with the high byte first. Neither the hardware nor the games check it, but
// emulators warn about a wrong one. It covers the header checksum at 0x14D too.
inline constexpr std::int32_t kGlobalChecksumOffset = 0x14E;
inline constexpr std::int32_t kGlobalChecksumLength = 2;

// `sum` with the bytes of `block` added, `block` being the image's bytes from 0-based `offset`;
// the checksum's own two bytes are left out. Over the blocks of a whole image from a sum of 0,
// it gives the global checksum.
std::uint16_t AddToGlobalChecksum(std::uint16_t sum, std::uint64_t offset,
                                  std::span<const std::uint8_t> block);

// The checksum as the image stores it: the two bytes at kGlobalChecksumOffset, high byte
// first. `image` must hold them.
std::uint16_t StoredGlobalChecksum(std::span<const std::uint8_t> image);

}  // namespace brindlewick
