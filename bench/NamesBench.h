// NamesBench: reading the names and types of a real extract at open (the ROM's species, move
// and type names and the species' types) against its floor: one read of the bytes of each
// name table and of the base-stats table, through the same open handle. And the image with
// names the table editor's first paint is measured on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brindlewick::bench {

// The extract of a real build with its names (the French Crystal), or nothing when the
// extracts are not beside the project.
struct NamedImage {
    std::string name;
    std::vector<std::uint8_t> bytes;
};
std::optional<NamedImage> LoadNamedImage();

// Prints one line; returns false when the figure or its floor failed. Without the extract the
// figure is left out, saying why.
bool RunNames(int runs);

}  // namespace brindlewick::bench
