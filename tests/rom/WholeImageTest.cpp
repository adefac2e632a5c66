// The global checksum summed a block at a time: however the blocks fall around 0x14E-0x14F,
// the sum is that of every other byte of the image.
#include "rom/WholeImage.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace brindlewick::test {
namespace {

// Computed here byte by byte: every byte but 0x14E and 0x14F, the low 16 bits of the sum.
std::uint16_t Independent(const Bytes& image) {
    unsigned long sum = 0;
    for (std::size_t at = 0; at < image.size(); ++at) {
        if (at != 0x14E && at != 0x14F) {
            sum += image[at];
        }
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

TEST(GlobalChecksum, LeavesOutItsOwnTwoBytesWhereverTheBlocksEnd) {
    Bytes image = SyntheticRomBytes("BYTE", 0x8000);
    image[0x14E] = 0xFF;
    image[0x14F] = 0xFF;
    const std::uint16_t expected = Independent(image);
    // Blocks that end before, at, between and after the two bytes, and one block for all.
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{0x14E}, std::size_t{0x14F},
          std::size_t{0x150}, std::size_t{4096}, image.size()}) {
        std::uint16_t sum = 0;
        for (std::size_t at = 0; at < image.size(); at += block) {
            const std::size_t length = std::min(block, image.size() - at);
            sum = AddToGlobalChecksum(sum, at, std::span(image).subspan(at, length));
        }
        EXPECT_EQ(sum, expected) << "blocks of " << block;
    }
    // Changing the stored checksum changes no sum.
    image[0x14E] = 0;
    EXPECT_EQ(AddToGlobalChecksum(0, 0, image), expected);
}

TEST(GlobalChecksum, IsStoredHighByteFirst) {
    Bytes header(0x150, 0);
    header[0x14E] = 0x12;
    header[0x14F] = 0x34;
    EXPECT_EQ(StoredGlobalChecksum(header), 0x1234);
}

}  // namespace
}  // namespace brindlewick::test
