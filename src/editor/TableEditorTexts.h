// TableEditorTexts: what the table editor shows and which commands it has, written once for
// every window system: the commands with their captions and shortcuts, the menus, the tool bar
// and the context menu they appear in, the pages' captions and hints, and the texts of the
// grids' headers and cells, named as the ROM holds its species, moves and types where they could
// be read (RomNames.h) and as the lists name them otherwise; and the species filter. The Qt and
// the Windows table editors only draw them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/RomNameMatching.h"
#include "rom/RomNames.h"

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
// The filter's word for a type: "type:fire".
inline constexpr std::string_view kTypeFilterPrefix = "type:";
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

// The row header of the machines grid: "TM01".
std::string MachineRowText(int machine);

// The names one table editor shows, worked out once when it opens: the ROM's own where they
// could be read, the lists' otherwise. Every text of a grid that names a species or a move.
class TableTexts {
public:
    TableTexts();  // the lists' names alone
    explicit TableTexts(RomNames names);

    const RomNames& Names() const { return m_names; }
    // The lists' names and the ROM's, for matching what is typed (RomNameMatching.h).
    const GameNameMatcher& Matcher() const { return m_matcher; }

    // "PIKACHU" (or the list's "Pikachu"), the compatibility grid's row header "025 PIKACHU"
    // and its tooltip with the species' types, "025 PIKACHU (ELECTRIC)".
    const std::string& Species(int species) const;
    const std::string& SpeciesRow(int species) const;
    const std::string& SpeciesRowToolTip(int species) const;
    // "ELECTRIC", "GRASS/POISON"; "" where the types are not known.
    const std::string& SpeciesTypes(int species) const;
    // A move byte's name; "byte FC" for one that names no move.
    std::string Move(int move) const;
    // "TM01 MEGA PUNCH": a machine and the move it teaches; the compatibility grid's column
    // header is the machine with its pending edit's move.
    std::string MachineHeader(int machine, int move) const;
    std::string MachineColumn(const TableEdits& edits, int machine) const;

    // The machines grid's cells: the move's name, the price's digits; and their tooltip, which
    // tells what the file holds under a pending edit ("" for none).
    std::string MachineCell(const TableEdits& edits, const TableCell& cell) const;
    std::string MachineCellToolTip(const TableEdits& edits, const TableCell& cell) const;
    // "PIKACHU (ELECTRIC), TM01 MEGA PUNCH (not saved)".
    std::string LearnsCellToolTip(const TableEdits& edits, int species, int machine) const;

    // The move field's list (every move's name, by its number) and the moves it offers for what
    // has been typed: those whose name contains the text, case ignored and hiragana taken for
    // katakana; every move for none.
    const std::vector<std::string>& MoveChoices() const { return m_moves; }
    std::vector<int> MoveCompletions(std::string_view typed) const;

    // Whether species s is shown for the filter `text`: an empty filter shows all; "type:" and
    // a type shows the species with that type as either of their two (the type by the ROM's
    // own name, compared as names are, or by its number); any other text, the species whose
    // name (the ROM's or the list's, case ignored, hiragana and katakana alike) or number
    // (also as "025") contains it.
    bool SpeciesShown(int species, std::string_view text) const;
    // The species the compatibility grid shows for the filter text, in order.
    std::vector<int> SpeciesShownFor(std::string_view text) const;

    // The filter field's placeholder, "name, number or type:feu" with an example of a type in
    // the ROM's own words (the type of its fourth species, Charmander in the releases);
    // "type:fire" without type names.
    std::string FilterPlaceholder() const;
    std::string TypeFilterExample() const;

    // What the window says about names it could not read (DescribeNamesFallback), or "".
    std::string NamesNotice() const { return DescribeNamesFallback(m_names); }

private:
    // The type numbers a filter's type text names.
    std::vector<int> TypesNamed(std::string_view type) const;

    RomNames m_names;
    GameNameMatcher m_matcher;
    std::vector<std::string> m_species;
    std::vector<std::string> m_speciesRows;
    std::vector<std::string> m_speciesToolTips;
    std::vector<std::string> m_speciesTypes;
    std::vector<std::string> m_searchable;  // per species: what a name filter searches
    std::vector<std::string> m_moves;
    std::vector<std::string> m_searchableMoves;  // per move: what a completion searches
};

}  // namespace brindlewick
