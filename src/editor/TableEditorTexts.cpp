#include "editor/TableEditorTexts.h"

#include <cctype>

#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/NameMatching.h"
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

std::string SpeciesRowText(int species) {
    return ThreeDigits(species + 1) + " " + SpeciesListText(species);
}

std::string MachineColumnText(const TableEdits& edits, int machine) {
    return MachineName(machine) + " " + MoveListText(edits.Value({CellKind::Move, machine, 0}));
}

std::string MachineCellText(const TableEdits& edits, const TableCell& cell) {
    const int value = edits.Value(cell);
    return cell.kind == CellKind::Move ? MoveListText(value) : std::to_string(value);
}

std::string MachineCellToolTip(const TableEdits& edits, const TableCell& cell) {
    if (!edits.Changed(cell)) {
        return {};
    }
    const int before = edits.ValueAsRead(cell);
    return "Not saved; the file holds " +
           (cell.kind == CellKind::Move ? MoveListText(before) : std::to_string(before));
}

std::string LearnsCellToolTip(const TableEdits& edits, int species, int machine) {
    return SpeciesListText(species) + ", " + MachineColumnText(edits, machine) +
           (edits.LearnsChanged(species, machine) ? " (not saved)" : "");
}

const std::vector<std::string>& MoveChoices() {
    static const std::vector<std::string> choices = [] {
        std::vector<std::string> names;
        names.reserve(kMoveCount);
        for (int move = 0; move < kMoveCount; ++move) {
            names.push_back(MoveListText(move));
        }
        return names;
    }();
    return choices;
}

std::vector<int> MoveCompletions(std::string_view typed) {
    const std::string needle = Lower(Trimmed(typed));
    std::vector<int> moves;
    const auto& choices = MoveChoices();
    for (std::size_t move = 0; move < choices.size(); ++move) {
        if (needle.empty() || Lower(choices[move]).find(needle) != std::string::npos) {
            moves.push_back(static_cast<int>(move));
        }
    }
    return moves;
}

}  // namespace brindlewick
