// WindowCommands: what the main window's commands do beyond the four workflows, and the texts
// the windows show, written once for every window system. The Qt window and the Windows window
// only wire their controls to these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/MachineListText.h"

namespace brindlewick {

class Editor;
class EditorView;

// The open dialog of "Open ROM...": its title, its one filter (whose description names "*.gbc"
// while its patterns admit "*.gb" as well) and its options.
inline constexpr const char* kOpenRomTitle = "Open Pokémon Gold, Silver or Crystal ROM...";
inline constexpr const char* kOpenRomFilter = "GBC ROMs (*.gbc)|*.gb;*.gbc";

// Option bits of the open and save dialogs, as the Windows common dialogs number them.
inline constexpr std::uint32_t kDialogOverwritePrompt = 0x2;
inline constexpr std::uint32_t kDialogHideReadOnly = 0x4;  // no read-only choice is offered
inline constexpr std::uint32_t kDialogPathMustExist = 0x800;
inline constexpr std::uint32_t kDialogFileMustExist = 0x1000;
// Only an existing file in an existing folder is accepted, and no read-only choice is offered:
// the open makes the file writable anyway.
inline constexpr std::uint32_t kOpenRomDialogFlags =
    kDialogFileMustExist | kDialogPathMustExist | kDialogHideReadOnly;
inline constexpr std::uint32_t kImportDialogFlags = kOpenRomDialogFlags;
inline constexpr std::uint32_t kExportDialogFlags = kDialogOverwritePrompt | kDialogHideReadOnly;
inline constexpr const char* kExportTitle = "Export Tables";
inline constexpr const char* kImportTitle = "Import Tables";
inline constexpr const char* kCsvExtension = "csv";

// Where machine k's box sits on the species page: TM01..TM50 fill columns 0 to 5 from the top,
// nine to a column; the seven HMs have the last column to themselves.
inline constexpr int kCheckRows = 9;
struct GridCell {
    int row;
    int column;
};
GridCell CheckBoxCell(int machine);

// The price field takes at most five digits.
inline constexpr int kPriceDigits = 5;

// The main window's captions.
inline constexpr const char* kRomInformationCaption = "ROM Information";
inline constexpr const char* kGameNameLabel = "Game Name:";
inline constexpr const char* kGameCodeLabel = "Game Code:";
inline constexpr const char* kLanguageLabel = "Language:";
inline constexpr const char* kTechniquesTab = "Techniques Contained";
inline constexpr const char* kCompatibilityTab = "Compatible Pokémon";
inline constexpr const char* kMachineFrame = "TM";
inline constexpr const char* kMoveFrame = "Technique Contained";
inline constexpr const char* kPriceFrame = "Price";

// The menus ("&" marks the letter that opens one with the keyboard) and their commands, each
// with its shortcut in the portable text form ("Ctrl+Shift+C"; "" for none).
struct CommandText {
    const char* caption;
    const char* shortcut;
};
inline constexpr const char* kFileMenu = "&File";
inline constexpr CommandText kOpenRomCommand{"Open ROM...", "Ctrl+O"};
inline constexpr CommandText kSaveRomCommand{"Save ROM", "Ctrl+S"};
inline constexpr CommandText kExitCommand{"Exit", "Ctrl+Q"};
inline constexpr const char* kEditMenu = "&Edit";
inline constexpr CommandText kCopyCompatibilityCommand{"Copy Compatibility", "Ctrl+Shift+C"};
inline constexpr CommandText kPasteCompatibilityCommand{"Paste Compatibility", "Ctrl+Shift+V"};
inline constexpr const char* kToolsMenu = "&Tools";
inline constexpr CommandText kExportCommand{"Export Tables...", ""};
inline constexpr CommandText kImportCommand{"Import Tables...", ""};
inline constexpr CommandText kCheckCommand{"Check ROM", ""};
inline constexpr CommandText kExportPatchCommand{"Export Patch...", ""};
inline constexpr CommandText kCompareCommand{"Compare with...", ""};
inline constexpr CommandText kFixChecksumCommand{"Fix Checksum", ""};
inline constexpr CommandText kLearnersCommand{"Machine Learners", "Ctrl+L"};
inline constexpr CommandText kTableEditorCommand{"Table Editor...", "Ctrl+T"};
inline constexpr const char* kHelpMenu = "&Help";
inline constexpr CommandText kAboutCommand{"About", ""};

// The texts of the main window and the About window.
inline constexpr const char* kCopyrightNotice = "Copyright © 2026 The Brindlewick developers";
inline constexpr const char* kPriceNote =
    "Description of attack contained within TM, shown in the bag and in PokéMarts, is "
    "automatically adjusted when the TM is edited.";
inline constexpr const char* kAboutCaption = "About Brindlewick";
inline constexpr const char* kAboutDescription =
    "A tool to edit the attacks contained within all 50 TMs and which Pokémon the TMs are "
    "compatible with in Gold, Silver and Crystal ROMs of all languages.";
inline constexpr const char* kAboutCredits =
    "With thanks to the hex-functions module's author, our reviewers and our testers.";
inline constexpr const char* kNoMachineListMessage =
    "The clipboard holds no list of machines such as “TM01 TM03 HM07”.";
inline constexpr const char* kLearnersCaption = "Machine Learners";

// "Brindlewick v1.0.1".
std::string ProductLine(const std::string& version);

// The machines whose boxes are ticked in the window.
MachineSet CheckedMachines(const EditorView& view);

// "Paste Compatibility": ticks exactly the machines `clipboardText` names, as if the user had
// ticked them (Save writes them). Machines may also be named by the moves they teach in the
// open ROM. False, with the boxes unchanged, after telling the user that the text is no list
// of machines (and why, where a name was not found).
bool PasteMachineList(const Editor& editor, EditorView& view, const std::string& clipboardText);

// What the learners window shows for the machine selected in the window: its caption ("TM01
// DYNAMICPUNCH: 3 species", or that the machine could not be read) and the species, named as
// the ROM holds them where it could be read, else as the lists name them.
struct LearnersList {
    std::string caption;
    std::vector<int> species;
    std::vector<std::string> names;  // of each of `species`, as the ROM holds them
};
// Nothing when no ROM is open or no machine is selected (the window keeps what it shows).
std::optional<LearnersList> DescribeLearners(const Editor& editor, const EditorView& view);

// The tooltip of machine k's entry and box: the move it teaches as the file holds it now, named
// as the ROM holds it, or "" when no ROM is open or the byte could not be read or names no move.
std::string MachineToolTip(const Editor& editor, int machine);

// A species list entry without its trailing blank: "Bulbasaur".
std::string SpeciesName(int species);

// The name of species s and move m in the open ROM: as it holds them, where they could be read,
// else as the lists name them (RomNames.h).
std::string RomSpeciesName(const Editor& editor, int species);
std::string RomMoveName(const Editor& editor, int move);

// "Import Tables..." once the CSV is chosen: the import, then, where it may have changed the
// file, what the window shows read from the file again as if the user had chosen the machine
// and the species anew. True when it may have changed the file.
bool ImportTablesIntoWindow(Editor& editor, const std::string& csvPath);

}  // namespace brindlewick
