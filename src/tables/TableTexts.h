// TableTexts: the texts a table editor shows for one ROM, worked out once, for every window
// system: the species rows, the machines' column headers, the move cells and the moves offered
// while typing, each species' types, the filter (a name, a number, or "type:" and a type's
// name), and what a typed move stands for. Names are the ROM's own where they could be read
// (RomNames.h), the lists' otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"

namespace brindlewick {

// The filter's word for a type: "type:fire".
inline constexpr std::string_view kTypeFilterPrefix = "type:";

class TableTexts {
public:
    TableTexts();  // the lists' names alone
    explicit TableTexts(RomNames names);

    const RomNames& Names() const { return m_names; }

    // "PIKACHU" (or the list's "Pikachu"), and the row header "025 PIKACHU".
    const std::string& Species(int species) const;
    const std::string& SpeciesRow(int species) const;
    // "ELECTRIC", "GRASS/POISON"; "" where the types are not known.
    const std::string& SpeciesTypes(int species) const;
    // A move byte's name; "byte FC" for one that names no move.
    std::string Move(int move) const;
    // "TM01 DYNAMICPUNCH": a machine column's header, for the move it teaches.
    std::string MachineHeader(int machine, int move) const;
    // The 252 moves as a move cell offers them, by move number.
    const std::vector<std::string>& MoveChoices() const { return m_moves; }

    // The move a typed text stands for: a choice's text exactly (case ignored), else the move
    // a name stands for in the lists or the ROM (RomNameMatching.h); nothing for a text that
    // names no move or more than one.
    std::optional<int> MatchMove(std::string_view typed) const;

    // Whether species s is shown for the filter `text`: an empty filter shows all; "type:" and
    // a type shows the species with that type as either of their two (the type by the ROM's
    // own name, compared as names are, or by its number); any other text, the species whose
    // name (the ROM's or the list's, case ignored, hiragana and katakana alike) or number
    // (also as "025") contains it.
    bool SpeciesShown(int species, std::string_view text) const;

    // An example of the filter in the ROM's own words: "type:feu" in a French game, the type
    // of its fourth species (Charmander in the releases); "type:fire" without type names.
    std::string TypeFilterExample() const;

    // What a window says about names it could not read (DescribeNamesFallback), or "".
    std::string NamesNotice() const { return DescribeNamesFallback(m_names); }

private:
    // The type numbers a filter's type text names.
    std::vector<int> TypesNamed(std::string_view type) const;

    RomNames m_names;
    GameNameMatcher m_matcher;
    std::vector<std::string> m_species;
    std::vector<std::string> m_speciesRows;
    std::vector<std::string> m_speciesTypes;
    std::vector<std::string> m_searchable;  // per species: what a name filter searches
    std::vector<std::string> m_moves;
};

}  // namespace brindlewick
