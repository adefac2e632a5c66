#include "tables/TableTexts.h"

#include <algorithm>

#include "rom/Names.h"

namespace brindlewick {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The form a name filter compares in: ASCII letters in lower case, hiragana as katakana.
std::string Searchable(std::string_view text) {
    return Lower(FoldKana(text));
}

std::string Padded(int number) {
    std::string text = std::to_string(number);
    text.insert(0, 3 - std::min<std::size_t>(text.size(), 3), '0');
    return text;
}

std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(std::string(text));
}

}  // namespace

TableTexts::TableTexts() : TableTexts(RomNames{}) {}

TableTexts::TableTexts(RomNames names) : m_names(std::move(names)), m_matcher(m_names) {
    m_species.reserve(kSpeciesCount);
    m_speciesRows.reserve(kSpeciesCount);
    m_speciesTypes.reserve(kSpeciesCount);
    m_searchable.reserve(kSpeciesCount);
    for (int s = 0; s < kSpeciesCount; ++s) {
        std::string name = SpeciesNameOf(m_names, s);
        m_speciesRows.push_back(Padded(s + 1) + " " + name);
        m_speciesTypes.push_back(SpeciesTypesText(m_names, s));
        // The list's name is searched too: "pika" finds PIKACHU in every language that
        // keeps the name, and the English name helps in the others.
        std::string list(SpeciesEntries()[static_cast<std::size_t>(s)]);
        m_searchable.push_back(Searchable(name) + '\n' + Searchable(Trimmed(list)));
        m_species.push_back(std::move(name));
    }
    m_moves.reserve(kMoveCount);
    for (int m = 0; m < kMoveCount; ++m) {
        m_moves.push_back(MoveNameOf(m_names, m));
    }
}

const std::string& TableTexts::Species(int species) const {
    return m_species.at(static_cast<std::size_t>(species));
}

const std::string& TableTexts::SpeciesRow(int species) const {
    return m_speciesRows.at(static_cast<std::size_t>(species));
}

const std::string& TableTexts::SpeciesTypes(int species) const {
    return m_speciesTypes.at(static_cast<std::size_t>(species));
}

std::string TableTexts::Move(int move) const {
    if (move >= 0 && move < kMoveCount) {
        return m_moves[static_cast<std::size_t>(move)];
    }
    return MoveNameOf(m_names, move);
}

std::string TableTexts::MachineHeader(int machine, int move) const {
    return MachineName(machine) + " " + Move(move);
}

std::optional<int> TableTexts::MatchMove(std::string_view typed) const {
    const std::string wanted = Searchable(Trimmed(typed));
    for (std::size_t m = 0; m < m_moves.size(); ++m) {
        if (Searchable(m_moves[m]) == wanted) {
            return static_cast<int>(m);
        }
    }
    return m_matcher.MatchMove(Trimmed(typed)).index;
}

std::vector<int> TableTexts::TypesNamed(std::string_view type) const {
    std::vector<int> types;
    if (const auto number = WholeNumber(type)) {
        types.push_back(*number);
        return types;
    }
    const std::string key = RomNameKey(type);
    for (std::size_t t = 0; t < m_names.types.size(); ++t) {
        const std::string& name = m_names.types[t];
        // A name of which no letter counts for the comparison (kana, where names are compared
        // by their Latin letters alone) is compared as it is written, its padding left out.
        const bool same = !key.empty() ? RomNameKey(name) == key
                                       : Searchable(Trimmed(name)) == Searchable(type) ||
                                             Searchable(name) == Searchable(type) + "\u3000";
        if (same && !name.empty()) {
            types.push_back(static_cast<int>(t));
        }
    }
    return types;
}

std::string TableTexts::TypeFilterExample() const {
    constexpr int kExampleSpecies = 3;
    std::string type = SpeciesTypes(kExampleSpecies);
    type = type.substr(0, type.find('/'));
    if (!m_names.TypesRead() || type.empty()) {
        return std::string(kTypeFilterPrefix) + "fire";
    }
    return std::string(kTypeFilterPrefix) + Lower(type);
}

bool TableTexts::SpeciesShown(int species, std::string_view text) const {
    if (species < 0 || species >= kSpeciesCount) {
        return false;
    }
    const std::string_view filter = Trimmed(text);
    if (filter.empty()) {
        return true;
    }
    if (Lower(filter.substr(0, std::min(filter.size(), kTypeFilterPrefix.size()))) ==
        kTypeFilterPrefix) {
        const std::string_view type = Trimmed(filter.substr(kTypeFilterPrefix.size()));
        if (type.empty()) {
            return true;
        }
        if (static_cast<std::size_t>(species) >= m_names.speciesTypes.size()) {
            return false;
        }
        const auto& own = m_names.speciesTypes[static_cast<std::size_t>(species)];
        const std::vector<int> named = TypesNamed(type);
        return std::any_of(named.begin(), named.end(),
                           [&](int t) { return own[0] == t || own[1] == t; });
    }
    const int number = species + 1;
    const std::string needle = Searchable(filter);
    return m_searchable[static_cast<std::size_t>(species)].find(needle) != std::string::npos ||
           std::to_string(number).find(needle) != std::string::npos ||
           Padded(number).find(needle) != std::string::npos;
}

}  // namespace brindlewick
