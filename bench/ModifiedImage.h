// ModifiedImage: the 2 MiB image of a modified game that the figures of finding the tables
// work on: English Gold with a valid header checksum, its three tables moved to other banks
// and the game's code pointing there, the rest of the file the irregular pattern of the tests'
// synthetic images.
#pragma once

#include <cstdint>
#include <vector>

namespace brindlewick::bench {

struct ModifiedImage {
    std::vector<unsigned char> bytes;
    std::int32_t moves;  // where the moved move list begins
};

ModifiedImage MakeModifiedImage();

}  // namespace brindlewick::bench
