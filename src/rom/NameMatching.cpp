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

// The UTF-8 encodings of the female and male signs.
constexpr std::string_view kFemaleSign = "\u2640";
constexpr std::string_view kMaleSign = "\u2642";

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
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c >= 'A' && c <= 'Z') {
            normalized += static_cast<char>(c - 'A' + 'a');
        } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            normalized += c;
        } else if (name.substr(i).starts_with(kFemaleSign)) {
            normalized += 'f';
            i += kFemaleSign.size() - 1;
        } else if (name.substr(i).starts_with(kMaleSign)) {
            normalized += 'm';
            i += kMaleSign.size() - 1;
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
