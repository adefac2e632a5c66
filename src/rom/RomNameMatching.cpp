#include "rom/RomNameMatching.h"

#include <algorithm>

#include "rom/NameMatching.h"
#include "rom/RomNames.h"

namespace brindlewick {
namespace {

// Hiragana ぁ..ゖ (U+3041..U+3096) are E3 81 81 .. E3 82 96 in UTF-8; their katakana lie 0x60
// code points higher.
constexpr unsigned kFirstHiragana = 0x3041;
constexpr unsigned kLastHiragana = 0x3096;
constexpr unsigned kKatakanaShift = 0x60;

GameNameMatcher::Match Combine(std::optional<int> fromList, bool listAmbiguous,
                               std::span<const int> fromRom) {
    GameNameMatcher::Match match;
    if (listAmbiguous) {
        match.ambiguous = true;
        return match;
    }
    std::vector<int> candidates(fromRom.begin(), fromRom.end());
    if (fromList &&
        std::find(candidates.begin(), candidates.end(), *fromList) == candidates.end()) {
        candidates.push_back(*fromList);
    }
    if (candidates.size() == 1) {
        match.index = candidates.front();
    }
    match.ambiguous = candidates.size() > 1;
    return match;
}

}  // namespace

std::string FoldKana(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i + 2 < folded.size(); ++i) {
        const auto lead = static_cast<unsigned char>(folded[i]);
        if (lead != 0xE3) {
            continue;
        }
        const unsigned codePoint = ((lead & 0x0Fu) << 12) |
                                   ((static_cast<unsigned char>(folded[i + 1]) & 0x3Fu) << 6) |
                                   (static_cast<unsigned char>(folded[i + 2]) & 0x3Fu);
        if (codePoint >= kFirstHiragana && codePoint <= kLastHiragana) {
            const unsigned katakana = codePoint + kKatakanaShift;
            folded[i + 1] = static_cast<char>(0x80 | ((katakana >> 6) & 0x3F));
            folded[i + 2] = static_cast<char>(0x80 | (katakana & 0x3F));
        }
        i += 2;
    }
    return folded;
}

std::string RomNameKey(std::string_view name) {
    return NormalizedName(FoldKana(name));
}

NameIndex::NameIndex(std::span<const std::string> names, int first) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string key = RomNameKey(names[i]);
        if (key.empty()) {
            continue;
        }
        m_holders[std::move(key)].push_back(first + static_cast<int>(i));
    }
}

std::span<const int> NameIndex::Holders(std::string_view name) const {
    const std::string key = RomNameKey(name);
    if (key.empty()) {
        return {};
    }
    const auto found = m_holders.find(key);
    return found == m_holders.end() ? std::span<const int>() : std::span<const int>(found->second);
}

GameNameMatcher::GameNameMatcher(const RomNames& names) {
    if (names.MovesRead()) {
        // Move 0 has no name in the game.
        m_moves = NameIndex(std::span(names.moves).subspan(1), 1);
    }
    if (names.SpeciesRead()) {
        m_species = NameIndex(names.species, 0);
    }
}

GameNameMatcher::Match GameNameMatcher::MatchMove(std::string_view name) const {
    return Combine(brindlewick::MatchMove(name), NamesMoreThanOneMove(name), m_moves.Holders(name));
}

GameNameMatcher::Match GameNameMatcher::MatchSpecies(std::string_view name) const {
    return Combine(brindlewick::MatchSpecies(name), NamesMoreThanOneSpecies(name),
                   m_species.Holders(name));
}

bool GameNameMatcher::ReadsBackAsMove(std::string_view name, int move) const {
    return MatchMove(name).index == move;
}

bool GameNameMatcher::ReadsBackAsSpecies(std::string_view name, int species) const {
    return MatchSpecies(name).index == species;
}

}  // namespace brindlewick
