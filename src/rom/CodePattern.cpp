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

// How often a byte turns up in the games' code and data, roughly: of two pairs of literals a
// scan may look for first, it takes the less common, so that it stops at few places. 0x00 and 0xFF
// fill the unused parts of a bank; the others are the most frequent instructions.
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

// The places in `data` where one of the `pairs` begins (two neighbouring bytes, the first in
// the high half), `kWidth` places a step with the compiler's vector types: one register of
// bytes compared with one value in every lane. Four pairs a sweep, their values held in
// registers; the places that are left at the end (fewer than a step) are returned for the
// caller to look at one by one.
template <std::size_t kWidth>
struct VectorOf {
    // A typedef of its own: an alias template would drop the attribute.
    typedef std::uint8_t Lanes __attribute__((vector_size(kWidth)));
};

template <std::size_t kWidth>
[[gnu::always_inline]] inline std::size_t SweepWith(const std::uint8_t* data, std::size_t size,
                                                    const std::vector<std::uint16_t>& pairs,
                                                    std::vector<std::size_t>& found) {
    using Lanes = typename VectorOf<kWidth>::Lanes;
    constexpr std::size_t kPairsPerSweep = 4;
    std::size_t at = 0;
    for (std::size_t group = 0; group < pairs.size(); group += kPairsPerSweep) {
        // A group short of four repeats its first pair, which finds nothing new.
        Lanes firsts[kPairsPerSweep] = {};
        Lanes seconds[kPairsPerSweep] = {};
        for (std::size_t p = 0; p < kPairsPerSweep; ++p) {
            const std::uint16_t pair = pairs[group + p < pairs.size() ? group + p : group];
            // A scalar added to a vector goes to every lane.
            firsts[p] += static_cast<std::uint8_t>(pair >> 8);
            seconds[p] += static_cast<std::uint8_t>(pair & 0xFF);
        }
        for (at = 0; at + kWidth + 1 <= size; at += kWidth) {
            Lanes first;
            Lanes second;
            std::memcpy(&first, data + at, kWidth);
            std::memcpy(&second, data + at + 1, kWidth);
            const auto hit = ((first == firsts[0]) & (second == seconds[0])) |
                             ((first == firsts[1]) & (second == seconds[1])) |
                             ((first == firsts[2]) & (second == seconds[2])) |
                             ((first == firsts[3]) & (second == seconds[3]));
            std::uint64_t words[kWidth / 8];
            std::memcpy(words, &hit, sizeof words);
            std::uint64_t any = 0;
            for (const std::uint64_t word : words) {
                any |= word;
            }
            if (any == 0) {
                continue;
            }
            for (std::size_t lane = 0; lane < kWidth; ++lane) {
                if (hit[lane] != 0) {
                    found.push_back(at + lane);
                }
            }
        }
    }
    return at;
}

#if defined(__x86_64__) || defined(__i386__)
// Where the processor has them, 32 lanes a step with AVX2; the 16 of SSE2 otherwise.
[[gnu::target("avx2")]] std::size_t SweepAvx2(const std::uint8_t* data, std::size_t size,
                                              const std::vector<std::uint16_t>& pairs,
                                              std::vector<std::size_t>& found) {
    return SweepWith<32>(data, size, pairs, found);
}
#endif

std::size_t Sweep(const std::uint8_t* data, std::size_t size,
                  const std::vector<std::uint16_t>& pairs, std::vector<std::size_t>& found) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        return SweepAvx2(data, size, pairs, found);
    }
#endif
    return SweepWith<16>(data, size, pairs, found);
}

// Finds the patterns in the buffers fed to it in file order. A buffer may begin with the end
// of the one before it, so that a routine across two blocks is found; a place is counted once
// however often it is fed.
//
// The sweep looks for the patterns' anchor pairs many places at a time and checks a whole
// pattern only where its pair stands: in the games' code and data a pair of two given bytes is
// rare, so the scan costs little more than reading the file.
class Scanner {
public:
    explicit Scanner(std::span<const CodePattern* const> patterns)
        : m_patterns(patterns),
          m_hits(patterns.size()),
          m_next(patterns.size(), 0),
          m_anchors(patterns.size()) {
        ChooseAnchors();
    }

    // `buffer` holds the file's bytes from `start` on.
    void Feed(std::int64_t start, std::span<const std::uint8_t> buffer) {
        const std::uint8_t* data = buffer.data();
        const std::size_t size = buffer.size();
        m_candidates.clear();
        const std::size_t swept = Sweep(data, size, m_pairs, m_candidates);
        for (const std::size_t anchor : m_candidates) {
            Candidate(start, buffer, anchor);
        }
        std::size_t at = swept;
        for (; at + 1 < size; ++at) {
            Candidate(start, buffer, at);
        }
        for (std::size_t p = 0; p < m_patterns.size(); ++p) {
            const std::size_t length = m_patterns[p]->Length();
            if (size >= length) {
                m_next[p] =
                    std::max(m_next[p], start + static_cast<std::int64_t>(size - length) + 1);
            }
        }
    }

    std::vector<PatternHits> Hits() && { return std::move(m_hits); }

private:
    // Each register compared costs every step, so the patterns share anchor pairs where they
    // can: the pair that most patterns not yet anchored hold is taken first (the least common
    // of equals), until every pattern has one.
    void ChooseAnchors() {
        std::vector<bool> anchored(m_patterns.size(), false);
        for (;;) {
            std::uint16_t bestPair = 0;
            int bestCount = 0;
            int bestCommonness = 0;
            for (std::size_t p = 0; p < m_patterns.size(); ++p) {
                if (anchored[p]) {
                    continue;
                }
                for (const auto& [pair, position, commonness] : m_patterns[p]->LiteralPairs()) {
                    int count = 0;
                    for (std::size_t q = 0; q < m_patterns.size(); ++q) {
                        count += !anchored[q] && m_patterns[q]->Holds(pair) ? 1 : 0;
                    }
                    if (count > bestCount || (count == bestCount && commonness < bestCommonness)) {
                        bestPair = pair;
                        bestCount = count;
                        bestCommonness = commonness;
                    }
                }
            }
            if (bestCount == 0) {
                return;
            }
            m_pairs.push_back(bestPair);
            for (std::size_t p = 0; p < m_patterns.size(); ++p) {
                if (!anchored[p] && m_patterns[p]->Holds(bestPair)) {
                    anchored[p] = true;
                    m_anchors[p] = {bestPair, m_patterns[p]->PositionOf(bestPair)};
                }
            }
        }
    }

    // The pair at `anchor` in `buffer`: every pattern anchored on it is checked whole there.
    void Candidate(std::int64_t start, std::span<const std::uint8_t> buffer, std::size_t anchor) {
        const auto pair = static_cast<std::uint16_t>(buffer[anchor] << 8 | buffer[anchor + 1]);
        for (std::size_t p = 0; p < m_patterns.size(); ++p) {
            const CodePattern& pattern = *m_patterns[p];
            if (m_anchors[p].pair != pair || anchor < m_anchors[p].position) {
                continue;
            }
            const std::size_t place = anchor - m_anchors[p].position;
            if (place + pattern.Length() > buffer.size() ||
                start + static_cast<std::int64_t>(place) < m_next[p] ||
                !pattern.Matches(buffer.subspan(place, pattern.Length()))) {
                continue;
            }
            PatternHits& hits = m_hits[p];
            if (hits.count++ == 0) {
                hits.offset = start + static_cast<std::int64_t>(place);
                hits.bytes.assign(
                    buffer.begin() + static_cast<std::ptrdiff_t>(place),
                    buffer.begin() + static_cast<std::ptrdiff_t>(place + pattern.Length()));
            }
        }
    }

    std::span<const CodePattern* const> m_patterns;
    std::vector<PatternHits> m_hits;
    std::vector<std::int64_t> m_next;  // per pattern: the first place not yet looked at
    struct Anchor {
        std::uint16_t pair = 0;
        std::size_t position = 0;
    };
    std::vector<Anchor> m_anchors;          // per pattern
    std::vector<std::uint16_t> m_pairs;     // the distinct anchor pairs
    std::vector<std::size_t> m_candidates;  // anchor places of the buffer being fed
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
    for (std::size_t i = 0; i + 1 < m_bytes.size(); ++i) {
        if (m_bytes[i] >= 0 && m_bytes[i + 1] >= 0) {
            const auto first = static_cast<std::uint8_t>(m_bytes[i]);
            const auto second = static_cast<std::uint8_t>(m_bytes[i + 1]);
            m_pairs.push_back({static_cast<std::uint16_t>(first << 8 | second), i,
                               Commonness(first) + Commonness(second)});
        }
    }
    if (m_pairs.empty()) {
        throw std::logic_error("a code pattern needs two neighbouring literal bytes: " + m_routine);
    }
}

bool CodePattern::Holds(std::uint16_t pair) const {
    return std::any_of(m_pairs.begin(), m_pairs.end(),
                       [pair](const LiteralPair& each) { return each.pair == pair; });
}

std::size_t CodePattern::PositionOf(std::uint16_t pair) const {
    for (const LiteralPair& each : m_pairs) {
        if (each.pair == pair) {
            return each.position;
        }
    }
    return 0;
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
