#include "rom/NameMatching.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "rom/Names.h"

namespace brindlewick {
namespace {

struct OfficialSpelling {
    int index;
    std::string_view name;
};

// The games' English names of the moves whose list entry spells them otherwise. Entries that
// differ from the games only in capitals or blanks run together ("Double Slap" for DoubleSlap,
// "Sand Attack" for Sand-Attack) need no line here: the compared form leaves those out. The
// four whose letters differ are the ones a name typed from the games would miss; the other
// four are here so that a suggestion shows the name as the games write it.
constexpr std::array<OfficialSpelling, 8> kOfficialMoves{{
    {14, "Swords Dance"},
    {18, "Whirlwind"},
    {29, "Headbutt"},
    {38, "Double-Edge"},
    {41, "Twineedle"},
    {117, "Bide"},
    {153, "Explosion"},
    {189, "Mud-Slap"},
}};

// The same for the species list.
constexpr std::array<OfficialSpelling, 7> kOfficialSpecies{{
    {28, "Nidoran\u2640"},
    {31, "Nidoran\u2642"},
    {37, "Ninetales"},
    {133, "Vaporeon"},
    {167, "Ariados"},
    {219, "Swinub"},
    {249, "Ho-Oh"},
}};

// The longest name of either list has 12 letters. A name far longer than that is no near
// miss of any of them, and comparing it would only cost time (a cell of a CSV may be long).
constexpr std::size_t kLongestComparedName = 40;

// The female and male signs, which the species list writes as "(f)" and "(m)".
constexpr char32_t kFemaleSign = 0x2640;
constexpr char32_t kMaleSign = 0x2642;

// The code point of the UTF-8 sequence at `i`, and `i` moved past it. A byte that begins no
// well-formed sequence is taken as a character of its own (U+FFFD), so nothing is skipped.
char32_t NextCharacter(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t character = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        character = (character << 6) | (next & 0x3F);
    }
    i += length;
    return character;
}

struct Range {
    char32_t first;
    char32_t last;
};

// Blanks and invisible separators beyond ASCII (the Unicode White_Space characters, the zero
// widths, the byte-order mark, the soft hyphen), and the punctuation (Unicode's P categories)
// of the Latin, general, CJK and fullwidth blocks, where a person copying a name is likely to
// meet it. Punctuation of other scripts is not listed: a name holding it matches nothing and
// is refused with suggestions, which is the safe side.
constexpr std::array<Range, 36> kLeftOut{{
    {0x0085, 0x0085}, {0x00A0, 0x00A1}, {0x00A7, 0x00A7}, {0x00AB, 0x00AB}, {0x00AD, 0x00AD},
    {0x00B6, 0x00B7}, {0x00BB, 0x00BB}, {0x00BF, 0x00BF}, {0x037E, 0x037E}, {0x0387, 0x0387},
    {0x1680, 0x1680}, {0x2000, 0x2027}, {0x2028, 0x202F}, {0x2030, 0x2043}, {0x2045, 0x2051},
    {0x2053, 0x2064}, {0x2308, 0x230B}, {0x2329, 0x232A}, {0x2768, 0x2775}, {0x27E6, 0x27EF},
    {0x2E00, 0x2E4F}, {0x3000, 0x3003}, {0x3008, 0x3011}, {0x3014, 0x301F}, {0x3030, 0x3030},
    {0x303D, 0x303D}, {0x30A0, 0x30A0}, {0x30FB, 0x30FB}, {0xFE10, 0xFE19}, {0xFE30, 0xFE52},
    {0xFE54, 0xFE61}, {0xFE63, 0xFE63}, {0xFE68, 0xFE68}, {0xFE6A, 0xFE6B}, {0xFEFF, 0xFEFF},
    {0xFF5F, 0xFF65},
}};

bool LeftOut(char32_t character) {
    return std::any_of(kLeftOut.begin(), kLeftOut.end(), [character](const Range& range) {
        return character >= range.first && character <= range.last;
    });
}

// The compatibility form of one character as ASCII text, where Unicode's compatibility
// normalisation (NFKC) gives it one: fullwidth forms, superscript, subscript, circled and
// mathematical digits, the ligatures of Latin letters. A character left out (above) gives
// nothing; the signs ♀ and ♂ give "f" and "m", as the list's "Nidoran (f)" has them. False
// for any other character, which stays as it is. A small table of our own rather than a
// Unicode library: the characters that can stand for the ASCII of the names are these few,
// and no such library is built for Windows by Debian.
bool CompatibilityForm(char32_t character, std::string& form) {
    const auto ascii = [&form](char32_t c) { form += static_cast<char>(c); };
    if (character < 0x80) {
        ascii(character);
    } else if (LeftOut(character)) {
        // nothing
    } else if (character == kFemaleSign) {
        form += 'f';
    } else if (character == kMaleSign) {
        form += 'm';
    } else if (character >= 0xFF01 && character <= 0xFF5E) {
        ascii(character - 0xFF01 + 0x21);  // fullwidth ASCII, as Japanese input types it
    } else if (character == 0x00B9) {
        form += '1';
    } else if (character == 0x00B2 || character == 0x00B3) {
        ascii('2' + (character - 0x00B2));
    } else if (character == 0x2070 || (character >= 0x2074 && character <= 0x2079)) {
        ascii(character == 0x2070 ? '0' : '4' + (character - 0x2074));
    } else if (character >= 0x2080 && character <= 0x2089) {
        ascii('0' + (character - 0x2080));
    } else if (character >= 0x2460 && character <= 0x2473) {
        form += std::to_string(character - 0x2460 + 1);  // ① to ⑳
    } else if (character == 0x24EA) {
        form += '0';
    } else if (character >= 0x1D7CE && character <= 0x1D7FF) {
        ascii('0' + (character - 0x1D7CE) % 10);  // the mathematical digits
    } else if (character >= 0xFB00 && character <= 0xFB06) {
        static constexpr std::array<std::string_view, 7> kLigatures{"ff",  "fi", "fl", "ffi",
                                                                    "ffl", "st", "st"};
        form += kLigatures[character - 0xFB00];
    } else {
        return false;
    }
    return true;
}

std::string_view TrimmedEntry(std::string_view entry) {
    while (!entry.empty() && entry.back() == ' ') {
        entry.remove_suffix(1);
    }
    return entry;
}

// Edits between two names: insertions, deletions, substitutions, and two neighbouring letters
// swapped ("Araidos" for Ariados), each counting one.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> before(b.size() + 1);
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

// One list's names: each entry's compared form and, where the games spell it otherwise, the
// compared form of that spelling too.
class NameList {
public:
    template <std::size_t N, std::size_t M>
    NameList(const std::array<std::string_view, N>& entries,
             const std::array<OfficialSpelling, M>& officials)
        : m_display(N), m_keys(N) {
        for (std::size_t i = 0; i < N; ++i) {
            m_display[i] = TrimmedEntry(entries[i]);
            m_keys[i].push_back(NormalizedName(entries[i]));
        }
        for (const OfficialSpelling& official : officials) {
            const auto i = static_cast<std::size_t>(official.index);
            m_display[i] = official.name;
            std::string key = NormalizedName(official.name);
            if (key != m_keys[i].front()) {
                m_keys[i].push_back(std::move(key));
            }
        }
        for (std::size_t i = 0; i < N; ++i) {
            for (const std::string& key : m_keys[i]) {
                std::vector<int>& holders = m_holders[key];
                if (std::find(holders.begin(), holders.end(), static_cast<int>(i)) ==
                    holders.end()) {
                    holders.push_back(static_cast<int>(i));
                }
            }
        }
    }

    std::optional<int> Match(std::string_view name) const {
        const auto found = m_holders.find(NormalizedName(name));
        if (found == m_holders.end() || found->second.size() != 1) {
            return std::nullopt;
        }
        return found->second.front();
    }

    bool NamesMoreThanOne(std::string_view name) const {
        const auto found = m_holders.find(NormalizedName(name));
        return found != m_holders.end() && found->second.size() > 1;
    }

    bool EntryShared(int index) const {
        return !IsIndex(index) || KeyShared(m_keys[static_cast<std::size_t>(index)].front());
    }

    std::string_view DisplayName(int index) const {
        return IsIndex(index) ? m_display[static_cast<std::size_t>(index)] : std::string_view();
    }

    std::vector<int> Nearest(std::string_view name, std::size_t most) const {
        const std::string typed = NormalizedName(name);
        if (typed.empty() || typed.size() > kLongestComparedName || most == 0) {
            return {};
        }
        std::vector<std::pair<std::size_t, int>> ranked;
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            std::optional<std::size_t> nearest;
            for (const std::string& key : m_keys[i]) {
                // A name that only the entry's number picks out is no help as a suggestion.
                if (KeyShared(key)) {
                    continue;
                }
                std::size_t distance = EditDistance(typed, key);
                // The start of a name ("hydro" for Hydro Pump) is as near as one slip.
                constexpr std::size_t kShortestPrefix = 3;
                if (typed.size() >= kShortestPrefix && key.starts_with(typed)) {
                    distance = std::min<std::size_t>(distance, 1);
                }
                nearest = std::min(nearest.value_or(distance), distance);
            }
            if (nearest) {
                ranked.emplace_back(*nearest, static_cast<int>(i));
            }
        }
        std::sort(ranked.begin(), ranked.end());
        std::vector<int> chosen;
        for (const auto& [distance, index] : ranked) {
            if (chosen.size() == most || distance > ranked.front().first + 1) {
                break;
            }
            chosen.push_back(index);
        }
        return chosen;
    }

private:
    bool IsIndex(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < m_keys.size();
    }
    bool KeyShared(const std::string& key) const {
        const auto found = m_holders.find(key);
        return found != m_holders.end() && found->second.size() > 1;
    }

    std::vector<std::string_view> m_display;
    std::vector<std::vector<std::string>> m_keys;
    // Which entries each compared form names; more than one: the form is ambiguous.
    std::map<std::string, std::vector<int>> m_holders;
};

const NameList& Moves() {
    static const NameList list(MoveEntries(), kOfficialMoves);
    return list;
}

const NameList& Species() {
    static const NameList list(SpeciesEntries(), kOfficialSpecies);
    return list;
}

}  // namespace

std::string NormalizedName(std::string_view name) {
    std::string normalized;
    std::string folded;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t start = i;
        const char32_t character = NextCharacter(name, i);
        folded.clear();
        if (!CompatibilityForm(character, folded)) {
            // A character with no compatibility form of its own, kept as it was written; a
            // byte that is no UTF-8 is kept as the replacement character.
            folded.assign(character == 0xFFFD ? std::string_view("\uFFFD")
                                              : name.substr(start, i - start));
        }
        for (std::size_t j = 0; j < folded.size(); ++j) {
            const char c = folded[j];
            if (c >= 'A' && c <= 'Z') {
                normalized += static_cast<char>(c - 'A' + 'a');
            } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
                normalized += c;
            } else if (static_cast<unsigned char>(c) >= 0x80) {
                // Only blanks and punctuation are left out: any other character that is not
                // ASCII stays, so a name that holds one matches no entry rather than the
                // entry without it.
                normalized += c;
            }
        }
    }
    return normalized;
}

std::optional<int> MatchMove(std::string_view name) {
    return Moves().Match(name);
}

std::optional<int> MatchSpecies(std::string_view name) {
    return Species().Match(name);
}

bool NamesMoreThanOneMove(std::string_view name) {
    return Moves().NamesMoreThanOne(name);
}

bool NamesMoreThanOneSpecies(std::string_view name) {
    return Species().NamesMoreThanOne(name);
}

bool MoveEntryShared(int move) {
    return Moves().EntryShared(move);
}

bool SpeciesEntryShared(int species) {
    return Species().EntryShared(species);
}

std::string_view MoveDisplayName(int move) {
    return Moves().DisplayName(move);
}

std::string_view SpeciesDisplayName(int species) {
    return Species().DisplayName(species);
}

std::vector<int> NearestMoves(std::string_view name, std::size_t most) {
    return Moves().Nearest(name, most);
}

std::vector<int> NearestSpecies(std::string_view name, std::size_t most) {
    return Species().Nearest(name, most);
}

std::string DidYouMean(const std::vector<std::string_view>& names) {
    if (names.empty()) {
        return {};
    }
    std::string text = "did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " or " : ", ";
        }
        text += '"';
        text += names[i];
        text += '"';
    }
    return text + "?";
}

}  // namespace brindlewick
