#include "rom/CodePattern.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/OpenFile.h"

namespace brindlewick {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// How often a byte turns up in the games' code and data, roughly: a scan looks first for the
// least common literal of a pattern, so that it stops at few places. 0x00 and 0xFF fill the
// unused parts of a bank; the others are the most frequent instructions.
int Commonness(std::uint8_t byte) {
    if (byte == 0x00 || byte == 0xFF) {
        return 2;
    }
    constexpr std::uint8_t kFrequent[] = {
        0x01, 0x06, 0x0E, 0x11, 0x18, 0x20, 0x21, 0x23, 0x28, 0x3C, 0x3D, 0x3E, 0x4F, 0x7E, 0xA7,
        0xAF, 0xC1, 0xC5, 0xC9, 0xCD, 0xD1, 0xD5, 0xE1, 0xE5, 0xEA, 0xF0, 0xF1, 0xF5, 0xFA, 0xFE};
    return std::find(std::begin(kFrequent), std::end(kFrequent), byte) != std::end(kFrequent) ? 1
                                                                                              : 0;
}

// Finds the patterns in the buffers fed to it in file order. A buffer may begin with the end
// of the one before it, so that a routine across two blocks is found; a place is looked at
// once however often it is fed.
class Scanner {
public:
    explicit Scanner(std::span<const CodePattern* const> patterns)
        : m_patterns(patterns), m_hits(patterns.size()), m_next(patterns.size(), 0) {}

    // `buffer` holds the file's bytes from `start` on.
    void Feed(std::int64_t start, std::span<const std::uint8_t> buffer) {
        for (std::size_t p = 0; p < m_patterns.size(); ++p) {
            const CodePattern& pattern = *m_patterns[p];
            const std::size_t length = pattern.Length();
            if (buffer.size() < length) {
                continue;
            }
            const std::size_t anchor = pattern.AnchorPosition();
            // Places already looked at in an earlier buffer are skipped.
            const std::size_t first =
                static_cast<std::size_t>(std::max<std::int64_t>(0, m_next[p] - start));
            const std::size_t last = buffer.size() - length;  // the last place that fits
            const std::uint8_t* data = buffer.data();
            std::size_t at = first;
            while (at <= last) {
                const void* found =
                    std::memchr(data + at + anchor, pattern.AnchorByte(), last - at + 1);
                if (found == nullptr) {
                    break;
                }
                const auto place =
                    static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data) -
                    anchor;
                if (pattern.Matches(buffer.subspan(place, length))) {
                    PatternHits& hits = m_hits[p];
                    if (hits.count++ == 0) {
                        hits.offset = start + static_cast<std::int64_t>(place);
                        hits.bytes.assign(data + place, data + place + length);
                    }
                }
                at = place + 1;
            }
            m_next[p] = start + static_cast<std::int64_t>(last) + 1;
        }
    }

    std::vector<PatternHits> Hits() && { return std::move(m_hits); }

private:
    std::span<const CodePattern* const> m_patterns;
    std::vector<PatternHits> m_hits;
    std::vector<std::int64_t> m_next;  // per pattern: the first place not yet looked at
};

}  // namespace

CodePattern::CodePattern(std::string_view routine, std::string_view text) : m_routine(routine) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view token = text.substr(at, end - at);
        if (token == "..") {
            m_bytes.push_back(-1);
        } else if (token.size() == 2 && HexDigit(token[0]) >= 0 && HexDigit(token[1]) >= 0) {
            m_bytes.push_back(
                static_cast<std::int16_t>(HexDigit(token[0]) * 16 + HexDigit(token[1])));
        } else {
            m_names.emplace_back(std::string(token), static_cast<int>(m_bytes.size()));
            m_bytes.push_back(-1);
        }
        at = end;
    }
    int best = 3;
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        if (m_bytes[i] < 0) {
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(m_bytes[i]);
        if (Commonness(byte) < best) {
            best = Commonness(byte);
            m_anchorByte = byte;
            m_anchorPosition = i;
        }
    }
    if (best == 3) {
        throw std::logic_error("a code pattern needs a literal byte: " + m_routine);
    }
}

bool CodePattern::Matches(std::span<const std::uint8_t> bytes) const {
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        if (m_bytes[i] >= 0 && bytes[i] != m_bytes[i]) {
            return false;
        }
    }
    return true;
}

int CodePattern::Position(std::string_view name) const {
    for (const auto& [each, position] : m_names) {
        if (each == name) {
            return position;
        }
    }
    return -1;
}

std::uint8_t PatternHits::Byte(const CodePattern& pattern, std::string_view name) const {
    const int position = pattern.Position(name);
    if (position < 0 || static_cast<std::size_t>(position) >= bytes.size()) {
        throw std::logic_error("no byte " + std::string(name) + " in " + pattern.Routine());
    }
    return bytes[static_cast<std::size_t>(position)];
}

int PatternHits::Word(const CodePattern& pattern, std::string_view low,
                      std::string_view high) const {
    return Byte(pattern, low) | (Byte(pattern, high) << 8);
}

std::vector<PatternHits> ScanImage(std::span<const std::uint8_t> image,
                                   std::span<const CodePattern* const> patterns) {
    Scanner scanner(patterns);
    scanner.Feed(0, image);
    return std::move(scanner).Hits();
}

std::error_code ScanFile(const OpenFile& rom, std::span<const CodePattern* const> patterns,
                         std::vector<PatternHits>& hits) {
    FileFacts facts;
    if (auto error = rom.Inspect(facts)) {
        return error;
    }
    std::size_t longest = 1;
    for (const CodePattern* pattern : patterns) {
        longest = std::max(longest, pattern->Length());
    }
    // Each block is read behind the last bytes of the one before, so that a routine that
    // straddles two blocks is seen whole.
    const std::size_t carried = longest - 1;
    std::vector<std::uint8_t> buffer(carried + kScanBlockSize);
    Scanner scanner(patterns);
    std::size_t held = 0;
    for (std::uint64_t offset = 0; offset < facts.size;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kScanBlockSize, facts.size - offset));
        if (auto error = rom.ReadAt(static_cast<std::int64_t>(offset),
                                    std::span(buffer).subspan(held, count))) {
            return error;
        }
        const std::size_t filled = held + count;
        scanner.Feed(static_cast<std::int64_t>(offset - held), std::span(buffer).first(filled));
        offset += count;
        held = std::min(carried, filled);
        std::memmove(buffer.data(), buffer.data() + filled - held, held);
    }
    hits = std::move(scanner).Hits();
    return {};
}

}  // namespace brindlewick
