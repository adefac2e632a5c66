// TableEditorSession: everything the table editor does between its window and the file, once
// for every window system. It holds the ROM's tables with the pending edits (TableEdits), knows
// whether the file may be written and why not, says which commands can be used, what the
// notice above the pages tells, and runs the commands: the edits of cells and blocks, the
// clipboard's blocks, Undo and Redo, Save, Reload, the look at a file changed elsewhere and the
// question before pending edits would be lost. The window shows what it says and hands it the
// grids' selection.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/TableEditorTexts.h"
#include "rom/TablePlaces.h"
#include "tables/TableEdits.h"
#include "tables/TypedInput.h"

namespace brindlewick {

struct LocatedTables;
struct RomNames;

// The compatibility grid as the window shows it: the species of its rows in order (the
// filter's), the current cell and the selected cells, as (shown row, machine column).
struct GridSelection {
    std::vector<int> shownSpecies;
    int currentRow = -1;
    int currentColumn = -1;
    std::vector<std::pair<int, int>> selected;
};

class TableEditorSession {
public:
    // The tables of `romPath` read where `located` says, or nothing after a reported failure.
    // A real cartridge image whose tables fail their proof opens read-only, the reason in the
    // notice; one whose game's code keeps them elsewhere says so there. Species and moves are
    // named as `names` (read from the ROM at its open) holds them; where a table of them could
    // not be read, the notice says so.
    static std::unique_ptr<TableEditorSession> Open(const std::string& romPath,
                                                    const LocatedTables& located,
                                                    const RomNames& names);

    const std::string& RomPath() const { return m_romPath; }
    const std::string& GameCode() const { return m_gameCode; }
    const TableEdits& Edits() const { return m_edits; }
    // The texts of the grids, in the ROM's names.
    const TableTexts& Texts() const { return m_texts; }
    bool ReadOnly() const { return !m_readOnlyReason.empty(); }
    bool HasPendingEdits() const { return m_edits.HasPending(); }
    bool Enabled(TableCommand command) const;

    std::string Title(std::string_view modifiedMark) const {
        return TableEditorTitle(m_romPath, m_gameCode, modifiedMark);
    }
    std::string StatusText() const { return PendingEditsText(m_edits.PendingCount()); }
    // The notice above the pages ("" for none) and whether it offers Reload.
    const std::string& Notice() const { return m_notice; }
    bool OffersReload() const { return m_offerReload; }

    // Told after every save that wrote the file: whoever shows the tables from the file reads
    // them again.
    void SetTablesSaved(std::function<void()> tablesSaved) {
        m_tablesSaved = std::move(tablesSaved);
    }

    // Each of these is true when the edits changed (the window draws them again).
    bool SetMove(int machine, int move);
    bool SetPrice(int machine, int price);
    // A move or price as typed, read by the rules of tables/TypedInput.h (a move by the ROM's
    // names too); what is refused is said and leaves the cell as it was.
    bool TypeMove(int machine, std::string_view typed);
    // What a typed move comes to, as TypeMove reads it (a window asks before it commits).
    TypedValue ReadTypedMove(std::string_view typed) const;
    bool TypePrice(int machine, std::string_view typed);
    bool SetLearns(int species, int machine, bool learns);
    // Tick and Clear: the selected cells, or the current one where none is selected.
    bool SetSelection(const GridSelection& grid, bool learns);
    // Space: the selected cells take the opposite of the current cell's value.
    bool ToggleSelection(const GridSelection& grid);
    // Copy: the rectangle around the selection, in the rows the grid shows; "" for no cell.
    std::string CopySelection(const GridSelection& grid) const;
    // Paste: a block of 1 and 0 at the current cell, down the rows the grid shows from there.
    // Text over kMaxPastedBlockBytes or of the wrong shape changes nothing and says why.
    bool PasteAtCurrent(const GridSelection& grid, std::string_view clipboardText);
    bool Undo();
    bool Redo();
    bool Revert();
    // A command of the list on the edits or the file, as both windows run it: true when the
    // edits or the notice changed. Copy puts its block in `copied`; Paste reads the clipboard
    // through `clipboardText`. Close and Filter are the window's own and do nothing here.
    bool Perform(TableCommand command, const GridSelection& grid,
                 const std::function<std::string()>& clipboardText, std::string& copied);

    // Save Tables: the pending edits through the tables' one writer, with its checks and
    // questions. True when the file was written (or already held them).
    bool Save();
    // Reads the file again, the pending edits kept on top of it.
    void Reload();
    // Looks whether the file still holds what the editor read, and says so in the notice when
    // not. Not while one of the session's own questions or writes is under way. True when the
    // notice changed.
    bool CheckFile();
    // Before the edits would be lost: asks Save / Discard / Cancel when any are pending. True
    // when nothing is left to lose (saved, discarded or none); Cancel keeps them (false).
    bool SettlePendingEdits();

private:
    bool TakeTyped(const TypedValue& typed, const std::function<bool(int)>& take);
    TableEditorSession(const std::string& romPath, const LocatedTables& located,
                       const RomNames& names);
    void TakeCheck(const CheckedTables& tables);
    void SetNotice(const std::string& changedText, bool offerReload);
    std::vector<LearnsCell> SelectedCells(const GridSelection& grid) const;

    std::string m_romPath;
    std::string m_gameCode;
    TablePlaces m_places;
    // Where the game's code keeps the tables, when not the release's, and which of the ROM's
    // names could not be read: said for as long as the window is open.
    std::string m_placesNote;
    TableTexts m_texts;
    std::string m_readOnlyReason;
    TableEdits m_edits;
    std::string m_notice;
    bool m_offerReload = false;
    bool m_busy = false;  // a question or a write of the session's own is under way
    std::function<void()> m_tablesSaved;
};

// Before the main window takes `path` (any way it comes: the dialog, the command line, a drop):
// whether the table editor's edits are to be settled first (SettlePendingEdits; Cancel keeps
// them, and the ROM open now). The same file opened again keeps the editor as it is.
bool TableEditorSettlesBefore(const TableEditorSession* session, const std::string& path);

// After the main window opened a file: whether the open table editor belongs to the file
// opened before and is to be closed.
bool TableEditorBelongsElsewhere(const TableEditorSession* session, const std::string& romPath);

}  // namespace brindlewick
