// Editor: the editor state and the four workflows the user runs on a ROM: open, machine
// selection, species selection and save. It reads and sets the window only through
// EditorView. The selections read the file through ReadHexBytes; a save opens it once (an
// OpenFile), locks it, checks it and writes its bytes through that one handle.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/EditorView.h"
#include "editor/SavePlan.h"
#include "rom/RomNames.h"
#include "rom/RomTables.h"
#include "rom/TableLocation.h"

namespace brindlewick {

class OpenFile;
struct RomProfile;
struct SaveCheckResult;

// The state the main window keeps for all workflows. The path, the profile and the places of
// the tables are set together, only once a file has been identified as a supported release
// and its tables have been located; every read and write addresses the tables through them.
struct EditorState {
    std::string RomPath;
    std::string GameCode;  // the four header bytes last read
    std::int16_t SelectedSpecies = 0;
    const RomProfile* Profile = nullptr;  // the release RomPath was identified as
    // Where RomPath keeps its tables, and how that was learned: the release's row, or the
    // game's own code followed and proved.
    LocatedTables Tables;
    // Set with the path at open: the header checksum matches, so the file is a cartridge
    // image that boots, and the game's own rules for the move list apply to it.
    bool RealCartridge = false;
    // Set with the path at open when the file's tables could not be proved where they were
    // looked for: why the file is shown but never saved into. Empty: saves may write.
    std::string SaveRefusal;
    // The names of the species, moves and types as the ROM holds them, and the species'
    // types, read at open through the same handle; what could not be read says why.
    RomNames Names;
};

// The bytes behind what the window shows for the selected machine and species, as they were
// read (or last written by a save): 11 bytes, not a copy of the ROM. A byte whose read failed
// is not known.
struct ValuesAsRead {
    int machine = -1;
    std::optional<std::uint8_t> move;
    std::array<std::optional<std::uint8_t>, kPriceLength> price;
    int species = -1;
    std::array<std::optional<std::uint8_t>, kCompatibilityFieldLength> field;
};

inline constexpr const char* kUnsupportedRomMessage = "Unsupported ROM";
inline constexpr const char* kSaveSucceededMessage = "TM Information Successfully Changed!";
// Begins the message of a save refused because the file's tables do not lie where its release
// keeps them; the reason found at open follows.
inline constexpr const char* kSaveRefusedPrefix = "Nothing was saved. ";

class Editor {
public:
    explicit Editor(EditorView& view);

    void OpenRom();  // "Open ROM...": asks for a file, then OpenRomPath
    // The open workflow after its dialog, for a file chosen any other way (the command line, a
    // drop on the window): the same messages, the same refusals.
    void OpenRomPath(const std::string& path);
    void MachineSelected();   // selection in lstTM
    void SpeciesSelected();   // selection in List1
    void PriceTextChanged();  // any change of txtPrice's text
    void SaveRom();           // "Save ROM"
    // Reads what the window shows for the selected machine and species from the file again,
    // as a new selection of both would; after the file was written elsewhere in the program.
    void ReloadSelection();

    // The move number machine k teaches as the file holds it now, read through ReadHexBytes,
    // or -1 when no ROM is open, the read fails or the byte names no move (252..255). It is
    // asked for by tooltips, so a failed read shows no message: resting the mouse on a
    // control must not raise a box; the next selection or save reports the failure.
    int MachineMove(int machine) const;

    bool RomOpen() const { return m_state.Profile != nullptr; }
    const EditorState& State() const { return m_state; }
    const ValuesAsRead& AsRead() const { return m_asRead; }

private:
    // The steps of a save after its check: questions that may stop it before anything is
    // written (false: stop), the writes, and what they leave remembered.
    bool ConfirmBeforeWriting(const SaveCheckResult& check,
                              const std::vector<PlannedWrite>& plan) const;
    bool ConfirmOverwrite(const SaveCheckResult& check,
                          const std::vector<PlannedWrite>& plan) const;
    bool ConfirmGameRules(const SaveCheckResult& check,
                          const std::vector<PlannedWrite>& plan) const;
    bool StillSafeToWrite(const SaveCheckResult& check);
    bool WritePlan(const OpenFile& rom, const std::vector<PlannedWrite>& plan);
    void Remember(const PlannedWrite& write);

    EditorView& m_view;
    EditorState m_state;
    ValuesAsRead m_asRead;
};

}  // namespace brindlewick
