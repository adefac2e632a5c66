// Editor: the editor state and the four workflows the user runs on a ROM: open, machine
// selection, species selection and save. It reads and sets the window only through
// EditorView and touches the file only through ReadHexBytes / WriteHexBytes.
#pragma once

#include <cstdint>
#include <string>

#include "editor/EditorView.h"

namespace brindlewick {

// The state the main window keeps for all workflows. The path and the three offsets are
// set together, only once a file has been identified as a supported release.
struct EditorState {
    std::string RomPath;
    std::string GameCode;  // the four header bytes last read
    std::int16_t SelectedSpecies = 0;
    std::int32_t TmMovesOffset = 0;
    std::int32_t BaseStatsOffset = 0;
    std::int32_t TmPricesOffset = 0;
};

inline constexpr const char* kOpenDialogTitle = "Open Pokémon Gold, Silver or Crystal ROM...";
inline constexpr const char* kOpenDialogFilter = "GBC ROMs (*.gbc)|*.gb;*.gbc";
// File must exist (0x1000), path must exist (0x800), hide read-only (0x4).
inline constexpr unsigned kOpenDialogFlags = 0x1804;
inline constexpr const char* kUnsupportedRomMessage = "Unsupported ROM";
inline constexpr const char* kSaveSucceededMessage = "TM Information Successfully Changed!";

class Editor {
public:
    explicit Editor(EditorView& view);

    void OpenRom();           // "Open ROM..."
    void MachineSelected();   // selection in lstTM
    void SpeciesSelected();   // selection in List1
    void PriceTextChanged();  // any change of txtPrice's text
    void SaveRom();           // "Save ROM"

    // The move number machine k teaches as the file holds it now, read through ReadHexBytes,
    // or -1 when no ROM is open, the read fails or the byte names no move (252..255). It is
    // asked for by tooltips, so a failed read shows no message: resting the mouse on a
    // control must not raise a box; the next selection or save reports the failure.
    int MachineMove(int machine) const;

    bool RomOpen() const { return !m_state.RomPath.empty(); }
    const EditorState& State() const { return m_state; }

private:
    EditorView& m_view;
    EditorState m_state;
};

}  // namespace brindlewick
