// TableEdits: the table editor's model, without any window. It holds the three tables as the
// file held them when they were read, the values with the user's pending edits, and the undo
// history. A bulk edit (a block ticked, cleared, toggled or pasted, or a revert) is one step.
// The bits of a compatibility field that stand for no machine (Crystal's move tutor) are never
// edited: they stay as the file holds them. Nothing here touches the file; SaveTableEdits
// writes the pending edits through the tables' one writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/ImportPlan.h"
#include "tables/TableValues.h"
#include "tables/TablesFile.h"

namespace brindlewick {

struct TablePlaces;

// One editable value: the move or the price of a machine, or whether a species learns it.
enum class CellKind : std::uint8_t { Move, Price, Learns };

struct TableCell {
    CellKind kind = CellKind::Move;
    int machine = 0;  // machine index k, 0..56
    int species = 0;  // species index s, 0..250; only for Learns

    bool operator==(const TableCell&) const = default;
};

// A species' learning of one machine, the cell of the compatibility grid.
struct LearnsCell {
    int species = 0;
    int machine = 0;
};

class TableEdits {
public:
    TableEdits() = default;
    explicit TableEdits(const TableValues& asRead) { Load(asRead); }

    // Starts over from what the file holds: no pending edit, no history.
    void Load(const TableValues& asRead);
    // Takes `fresh` as what the file holds now and keeps every pending edit on top of it; an
    // edit whose value the file now holds is no longer pending. The history is kept.
    void Rebase(const TableValues& fresh);

    const TableValues& AsRead() const { return m_asRead; }
    // What the file holds with every pending edit: what a save writes.
    const TableValues& Target() const { return m_target; }

    // The value of a cell with its pending edit: the move byte, the price, or 1/0.
    int Value(const TableCell& cell) const;
    int ValueAsRead(const TableCell& cell) const;
    bool Changed(const TableCell& cell) const { return Value(cell) != ValueAsRead(cell); }
    bool Learns(int species, int machine) const;
    bool LearnsChanged(int species, int machine) const;

    // The cells that differ from the file.
    int PendingCount() const;
    bool HasPending() const { return !(m_target == m_asRead); }

    // Each of these is one step of the history; a change that changes nothing adds none and
    // returns false. A move above 251 and a price above 65535 are refused (false).
    bool SetMove(int machine, int move);
    bool SetPrice(int machine, int price);
    bool SetLearns(int species, int machine, bool learns);
    bool SetLearns(const std::vector<LearnsCell>& cells, bool learns);
    // Space: every cell of the block takes the opposite of `current`'s value.
    bool Toggle(const std::vector<LearnsCell>& cells, LearnsCell current);
    // Drops every pending edit, as one step that Undo brings back.
    bool Revert();

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    bool Undo();
    bool Redo();

    // The block as tab-separated 1 and 0, one line per species of `species` (in that order),
    // from `firstMachine` to `lastMachine`, each line ending in a line break as spreadsheets
    // copy them.
    std::string CopyBlock(const std::vector<int>& species, int firstMachine, int lastMachine) const;
    // Pastes a block of tab-separated 1 and 0 (TRUE and FALSE too, as LibreOffice Calc copies
    // ticks) with its top-left cell at `firstMachine` of the first species of `species`, the
    // rows going down `species` (the rows the grid shows from the current one on). A block
    // with rows of different lengths, another value, or more rows or columns than there is
    // room for changes nothing and says why (reported); false then.
    bool PasteBlock(std::string_view text, const std::vector<int>& species, int firstMachine);

private:
    struct CellChange {
        TableCell cell;
        int before;
        int after;
    };
    using Step = std::vector<CellChange>;

    void Put(TableValues& values, const TableCell& cell, int value) const;
    int Get(const TableValues& values, const TableCell& cell) const;
    // Applies the changes of `step` that change something and records them as one step.
    bool Apply(Step step);

    TableValues m_asRead{};
    TableValues m_target{};
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
};

// The move name of a move byte; "byte FC" for one that names no move.
std::string MoveListText(int move);

// Writes the pending edits of `edits` into `romPath` through the tables' one writer: only the
// bytes that change, after the same checks and questions as an import, and a question when the
// file no longer holds what the edits were made on. On success the edits are rebased on what
// the file now holds (so none is pending); on anything else they are kept as they are.
ImportStatus SaveTableEdits(const std::string& romPath, const TablePlaces& places,
                            TableEdits& edits);

// What a changed file means to the table editor: the tables as the file holds them now, when
// they differ from `edits.AsRead()`. Read without any message; nothing when they are the same
// or the read failed.
std::optional<TableValues> ChangedElsewhere(const std::string& romPath, const TablePlaces& places,
                                            const TableEdits& edits);

}  // namespace brindlewick
