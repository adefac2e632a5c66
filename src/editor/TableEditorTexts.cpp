#include "editor/TableEditorTexts.h"

#include <algorithm>
#include <cctype>

#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomTables.h"
#include "tables/TableEdits.h"

namespace brindlewick {
namespace {

constexpr std::array<TableCommandText, 12> kCommandTexts{{
    {"actSaveTables", "&Save Tables", "Ctrl+S", "", false},
    {"actReload", "Re&load from File", "F5", "", false},
    {"actRevert", "Re&vert All Edits", "", "", false},
    {"actCloseTables", "&Close", "Ctrl+W", "", false},
    {"actUndo", "&Undo", "Ctrl+Z", "", false},
    {"actRedo", "&Redo", "Ctrl+Y", "Ctrl+Shift+Z", false},
    {"actTick", "&Tick", "", "", false},
    {"actClear", "C&lear", "", "", false},
    {"actToggle", "Toggle", "Space", "", true},
    {"actCopy", "&Copy", "Ctrl+C", "", true},
    {"actPaste", "&Paste", "Ctrl+V", "", true},
    {"actFilter", "&Filter Species", "Ctrl+F", "", false},
}};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

std::string ThreeDigits(int number) {
    std::string text = std::to_string(number);
    text.insert(0, 3 - std::min<std::size_t>(text.size(), 3), '0');
    return text;
}

// The form a filter or a completion compares in: ASCII letters in lower case, hiragana as
// katakana.
std::string Searchable(std::string_view text) {
    return Lower(FoldKana(text));
}

std::optional<int> TypeNumber(std::string_view text) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(std::string(text));
}

}  // namespace

const TableCommandText& TextOf(TableCommand command) {
    const auto index = static_cast<std::size_t>(command);
    static constexpr TableCommandText kNone{"", "", "", "", false};
    return index < kCommandTexts.size() ? kCommandTexts[index] : kNone;
}

std::string TableEditorTitle(const std::string& romPath, const std::string& gameCode,
                             std::string_view mark) {
    return DisplayName(romPath) + std::string(mark) + " (" + gameCode + ") - Table Editor - " +
           kApplicationTitle;
}

std::string PendingEditsText(int pending) {
    if (pending == 0) {
        return "No edits pending";
    }
    return pending == 1 ? "1 edit not saved" : std::to_string(pending) + " edits not saved";
}

std::string PendingEditsQuestion(int pending, const std::string& romPath) {
    return "The table editor has " +
           (pending == 1 ? std::string("1 edit") : std::to_string(pending) + " edits") +
           " to \u201C" + DisplayName(romPath) + "\u201D that " + (pending == 1 ? "is" : "are") +
           " not saved. Save them, discard them, or cancel and keep them?";
}

std::string ChangedElsewhereText(const std::string& romPath) {
    return "\u201C" + DisplayName(romPath) +
           "\u201D has been changed by another program or window since the table editor read "
           "it. Your edits are kept; Reload reads the file again and keeps your edits on top of "
           "it, and Save asks before it replaces the other changes.";
}

std::string MachineRowText(int machine) {
    return MachineName(machine);
}

TableTexts::TableTexts() : TableTexts(RomNames{}) {}

TableTexts::TableTexts(RomNames names) : m_names(std::move(names)), m_matcher(m_names) {
    m_species.reserve(kSpeciesCount);
    m_speciesRows.reserve(kSpeciesCount);
    m_speciesToolTips.reserve(kSpeciesCount);
    m_speciesTypes.reserve(kSpeciesCount);
    m_searchable.reserve(kSpeciesCount);
    for (int s = 0; s < kSpeciesCount; ++s) {
        std::string name = SpeciesNameOf(m_names, s);
        std::string row = ThreeDigits(s + 1) + " " + name;
        std::string types = SpeciesTypesText(m_names, s);
        m_speciesToolTips.push_back(types.empty() ? row : row + " (" + types + ")");
        m_speciesRows.push_back(std::move(row));
        m_speciesTypes.push_back(std::move(types));
        // The list's name is searched too: "pika" finds PIKACHU in every language that keeps
        // the name, and the English name helps in the others.
        m_searchable.push_back(Searchable(name) + '\n' +
                               Searchable(Trimmed(SpeciesEntries()[static_cast<std::size_t>(s)])));
        m_species.push_back(std::move(name));
    }
    m_moves.reserve(kMoveCount);
    m_searchableMoves.reserve(kMoveCount);
    for (int m = 0; m < kMoveCount; ++m) {
        m_moves.push_back(MoveNameOf(m_names, m));
        m_searchableMoves.push_back(Searchable(m_moves.back()));
    }
}

const std::string& TableTexts::Species(int species) const {
    return m_species.at(static_cast<std::size_t>(species));
}

const std::string& TableTexts::SpeciesRow(int species) const {
    return m_speciesRows.at(static_cast<std::size_t>(species));
}

const std::string& TableTexts::SpeciesRowToolTip(int species) const {
    return m_speciesToolTips.at(static_cast<std::size_t>(species));
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

std::string TableTexts::MachineColumn(const TableEdits& edits, int machine) const {
    return MachineHeader(machine, edits.Value({CellKind::Move, machine, 0}));
}

std::string TableTexts::MachineCell(const TableEdits& edits, const TableCell& cell) const {
    const int value = edits.Value(cell);
    return cell.kind == CellKind::Move ? Move(value) : std::to_string(value);
}

std::string TableTexts::MachineCellToolTip(const TableEdits& edits, const TableCell& cell) const {
    if (!edits.Changed(cell)) {
        return {};
    }
    const int before = edits.ValueAsRead(cell);
    return "Not saved; the file holds " +
           (cell.kind == CellKind::Move ? Move(before) : std::to_string(before));
}

std::string TableTexts::LearnsCellToolTip(const TableEdits& edits, int species, int machine) const {
    const std::string& types = SpeciesTypes(species);
    return Species(species) + (types.empty() ? "" : " (" + types + ")") + ", " +
           MachineColumn(edits, machine) +
           (edits.LearnsChanged(species, machine) ? " (not saved)" : "");
}

std::vector<int> TableTexts::MoveCompletions(std::string_view typed) const {
    const std::string needle = Searchable(Trimmed(typed));
    std::vector<int> moves;
    for (std::size_t move = 0; move < m_searchableMoves.size(); ++move) {
        if (needle.empty() || m_searchableMoves[move].find(needle) != std::string::npos) {
            moves.push_back(static_cast<int>(move));
        }
    }
    return moves;
}

std::vector<int> TableTexts::TypesNamed(std::string_view type) const {
    std::vector<int> types;
    if (const auto number = TypeNumber(type)) {
        types.push_back(*number);
        return types;
    }
    // Compared as names are (case, blanks and punctuation ignored, hiragana as katakana), so
    // that the Japanese names' padding is no part of them.
    const std::string key = RomNameKey(type);
    if (key.empty()) {
        return types;
    }
    for (std::size_t t = 0; t < m_names.types.size(); ++t) {
        if (RomNameKey(m_names.types[t]) == key) {
            types.push_back(static_cast<int>(t));
        }
    }
    return types;
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
           ThreeDigits(number).find(needle) != std::string::npos;
}

std::vector<int> TableTexts::SpeciesShownFor(std::string_view text) const {
    std::vector<int> species;
    species.reserve(kSpeciesCount);
    for (int s = 0; s < kSpeciesCount; ++s) {
        if (SpeciesShown(s, text)) {
            species.push_back(s);
        }
    }
    return species;
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

std::string TableTexts::FilterPlaceholder() const {
    return "name, number or " + TypeFilterExample();
}

}  // namespace brindlewick
