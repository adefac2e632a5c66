// TableEditorTexts: what the table editor shows and which commands it has, written once for
// every window system: the commands with their captions and shortcuts, the menus, the tool bar
// and the context menu they appear in, the pages' captions and hints, and the texts of the
// grids' headers and cells. The Qt and the Windows table editors only draw them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brindlewick {

class TableEdits;
struct TableCell;

// The commands of the table editor. Separator stands between groups of a menu.
enum class TableCommand : std::uint8_t {
    Save,
    Reload,
    Revert,
    Close,
    Undo,
    Redo,
    Tick,
    Clear,
    Toggle,
    Copy,
    Paste,
    Filter,
    Separator,
};

struct TableCommandText {
    const char* name;      // the object name a test finds it by ("actSaveTables")
    const char* caption;   // "&" marks the letter that chooses it in a menu
    const char* shortcut;  // in the portable text form ("Ctrl+Shift+Z"); "" for none
    const char* otherShortcut;
    // Its keys work only where the compatibility grid has the keyboard (a field keeps its own
    // Ctrl+C and Ctrl+V, and its own Space).
    bool gridKeys;
};
const TableCommandText& TextOf(TableCommand command);

inline constexpr const char* kTablesMenu = "&Tables";
inline constexpr const char* kTablesEditMenu = "&Edit";
inline constexpr std::array kTablesMenuCommands{TableCommand::Save, TableCommand::Reload,
                                                TableCommand::Revert, TableCommand::Separator,
                                                TableCommand::Close};
inline constexpr std::array kTablesEditMenuCommands{
    TableCommand::Undo,  TableCommand::Redo,      TableCommand::Separator,
    TableCommand::Tick,  TableCommand::Clear,     TableCommand::Copy,
    TableCommand::Paste, TableCommand::Separator, TableCommand::Filter};
inline constexpr std::array kTablesToolBarCommands{
    TableCommand::Save,   TableCommand::Separator, TableCommand::Undo,  TableCommand::Redo,
    TableCommand::Revert, TableCommand::Separator, TableCommand::Reload};
// The compatibility grid's context menu.
inline constexpr std::array kCompatibilityMenuCommands{TableCommand::Tick, TableCommand::Clear,
                                                       TableCommand::Separator, TableCommand::Copy,
                                                       TableCommand::Paste};

// The window and its pages.
inline constexpr const char* kMachinesPage = "Machines";
inline constexpr const char* kCompatibilityPage = "Compatibility";
inline constexpr const char* kMoveColumn = "Move";
inline constexpr const char* kPriceColumn = "Price";
inline constexpr const char* kFilterLabel = "&Filter species:";
inline constexpr const char* kFilterPlaceholder = "name or number";
inline constexpr const char* kReloadButton = "&Reload";
inline constexpr const char* kMachinesHint =
    "Type a move's name (any part of it) or a price to change it; F2 or a double click edits "
    "the cell as it is. Enter keeps the value, Escape drops it.";
inline constexpr const char* kCompatibilityHint =
    "Space sets the selected cells to the opposite of the current one; Ctrl+C and Ctrl+V copy "
    "and paste blocks of 1 and 0 with a spreadsheet; the context menu ticks and clears.";

// The tint behind a cell whose value differs from the file (its text is bold as well).
struct Tint {
    std::uint8_t red, green, blue;
};
inline constexpr Tint kPendingEditTint{255, 226, 140};

// "Gold.gbc* (AAUE) - Table Editor - Brindlewick": `mark` stands after the file's name, "*"
// while edits are pending ("" otherwise), or a window system's own placeholder for it.
std::string TableEditorTitle(const std::string& romPath, const std::string& gameCode,
                             std::string_view mark);

// The status line: "No edits pending", "1 edit not saved", "14 edits not saved".
std::string PendingEditsText(int pending);

// The question before pending edits would be lost (Save / Discard / Cancel).
std::string PendingEditsQuestion(int pending, const std::string& romPath);

// The notice of a file changed by another program or window since the editor read it.
std::string ChangedElsewhereText(const std::string& romPath);

// The row header of the machines grid ("TM01") and of the compatibility grid ("025 Pikachu"),
// and the compatibility grid's column header: the machine and the move it teaches with its
// pending edit ("TM01 Mega Punch").
std::string MachineRowText(int machine);
std::string SpeciesRowText(int species);
std::string MachineColumnText(const TableEdits& edits, int machine);

// The machines grid's cells: the move's name, the price's digits; and their tooltip, which
// tells what the file holds under a pending edit ("" for none).
std::string MachineCellText(const TableEdits& edits, const TableCell& cell);
std::string MachineCellToolTip(const TableEdits& edits, const TableCell& cell);
// "Pikachu, TM01 Mega Punch (not saved)".
std::string LearnsCellToolTip(const TableEdits& edits, int species, int machine);

// The move field's list (every move's name, by its number) and the moves it offers for what
// has been typed: those whose name contains the text, case ignored; every move for none.
const std::vector<std::string>& MoveChoices();
std::vector<int> MoveCompletions(std::string_view typed);

}  // namespace brindlewick
