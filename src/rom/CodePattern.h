// CodePattern: the bytes of one of the game's routines, as the facts about the game's code
// write them: "3E bb CD .. .." is the literal byte 0x3E, a byte named `bb` that the routine
// holds (a bank, a pointer's half, an item number), the literal 0xCD and two bytes that differ
// between builds. A scan finds where each of several patterns occurs in a file, reading it
// once in blocks and holding no copy of it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace brindlewick {

class OpenFile;

class CodePattern {
public:
    // `text`: tokens separated by blanks. Two upper-case hexadecimal digits are a literal
    // byte, ".." is any byte, and any other token names the byte at its place.
    CodePattern(std::string_view routine, std::string_view text);

    const std::string& Routine() const { return m_routine; }
    std::size_t Length() const { return m_bytes.size(); }
    bool Matches(std::span<const std::uint8_t> bytes) const;  // `bytes` of at least Length()
    // The position of the byte named `name` in the pattern, or -1.
    int Position(std::string_view name) const;

    // Two neighbouring literals (the first in the high byte), where the first lies in the
    // pattern, and how common such bytes are in the games: what a scan may look for first.
    struct LiteralPair {
        std::uint16_t pair;
        std::size_t position;
        int commonness;
    };
    const std::vector<LiteralPair>& LiteralPairs() const { return m_pairs; }
    bool Holds(std::uint16_t pair) const;
    std::size_t PositionOf(std::uint16_t pair) const;  // of the first such pair

private:
    std::string m_routine;
    std::vector<std::int16_t> m_bytes;  // a literal 0..255, or -1 for any byte
    std::vector<std::pair<std::string, int>> m_names;
    std::vector<LiteralPair> m_pairs;
};

// Where a pattern occurs: how often, and the first place with the bytes found there.
struct PatternHits {
    int count = 0;
    std::int64_t offset = -1;
    std::vector<std::uint8_t> bytes;  // the pattern's length of bytes at `offset`

    // The byte named `name` in the first place found.
    std::uint8_t Byte(const CodePattern& pattern, std::string_view name) const;
    // The little-endian 16-bit word whose low byte is named `low` and high byte `high`.
    int Word(const CodePattern& pattern, std::string_view low, std::string_view high) const;
};

// The hits of every pattern in `image`, in the patterns' order.
std::vector<PatternHits> ScanImage(std::span<const std::uint8_t> image,
                                   std::span<const CodePattern* const> patterns);

// The same through `rom`, read from start to end in blocks of kScanBlockSize.
inline constexpr std::size_t kScanBlockSize = 64 * 1024;
[[nodiscard]] std::error_code ScanFile(const OpenFile& rom,
                                       std::span<const CodePattern* const> patterns,
                                       std::vector<PatternHits>& hits);

}  // namespace brindlewick
