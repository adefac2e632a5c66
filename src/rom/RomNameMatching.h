// RomNameMatching: finds a move or a species by a name as a person writes it, among the lists'
// names (NameMatching.h) and the names the ROM holds (RomNames.h) alike. The ROM's names are
// compared as NameMatching compares the lists' (case, blanks and punctuation ignored), with
// hiragana and katakana taken as the same letters. A name that stands for one entry in the
// lists and another in the ROM names neither: only its number can tell.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brindlewick {

struct RomNames;

// `name` with every hiragana letter turned into its katakana (U+3041..U+3096 to U+30A1..U+30F6).
std::string FoldKana(std::string_view name);

// The form a ROM's name is compared in: NormalizedName of FoldKana.
std::string RomNameKey(std::string_view name);

// The entries each compared form of a list of names stands for.
class NameIndex {
public:
    NameIndex() = default;
    // `names[i]` is the name of entry `first + i`; an empty name, or one without a letter
    // or digit that counts, is no name to match.
    NameIndex(std::span<const std::string> names, int first);

    // The entries a name stands for: none, one, or more (it is ambiguous).
    std::span<const int> Holders(std::string_view name) const;

private:
    std::map<std::string, std::vector<int>, std::less<>> m_holders;
};

// Both lists' names and the ROM's, for one ROM.
class GameNameMatcher {
public:
    GameNameMatcher() = default;  // the lists' names alone
    explicit GameNameMatcher(const RomNames& names);

    struct Match {
        std::optional<int> index;  // the one entry the name stands for
        bool ambiguous = false;    // it stands for more than one
    };
    Match MatchMove(std::string_view name) const;     // move number 0..251
    Match MatchSpecies(std::string_view name) const;  // species index 0..250

    // Whether `name` written for move m (species s) is read back as that entry and no other.
    bool ReadsBackAsMove(std::string_view name, int move) const;
    bool ReadsBackAsSpecies(std::string_view name, int species) const;

private:
    NameIndex m_moves;
    NameIndex m_species;
};

}  // namespace brindlewick
