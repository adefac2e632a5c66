#include "tables/TableEdits.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "convert/HexDigits.h"
#include "platform/FileAccess.h"
#include "platform/Messages.h"
#include "rom/Names.h"
#include "rom/RomProfile.h"
#include "tables/TypedInput.h"

namespace brindlewick {
namespace {

constexpr std::size_t kMaxListedChanges = 8;

bool IsMachine(int machine) {
    return machine >= 0 && machine < kMachineCount;
}
bool IsSpecies(int species) {
    return species >= 0 && species < kSpeciesCount;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// A pasted cell: 1 or 0, or the TRUE and FALSE a spreadsheet copies for a tick.
std::optional<bool> PastedTick(std::string_view cell) {
    constexpr std::size_t kLongestTick = 5;  // "FALSE"
    if (Trimmed(cell).size() > kLongestTick) {
        return std::nullopt;
    }
    const std::string value = Lower(Trimmed(cell));
    if (value == "1" || value == "true") {
        return true;
    }
    if (value == "0" || value == "false") {
        return false;
    }
    return std::nullopt;
}

// The lines of a pasted block; the line break after the last line (spreadsheets add one) and
// carriage returns are dropped.
std::vector<std::vector<std::string_view>> SplitBlock(std::string_view text) {
    std::vector<std::vector<std::string_view>> rows;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::vector<std::string_view> cells;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            cells.push_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos) {
                break;
            }
            start = tab + 1;
        }
        rows.push_back(std::move(cells));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return rows;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void TableEdits::Load(const TableValues& asRead) {
    m_asRead = asRead;
    m_target = asRead;
    m_undo.clear();
    m_redo.clear();
}

void TableEdits::Rebase(const TableValues& fresh) {
    TableValues target = fresh;
    for (int k = 0; k < kMachineCount; ++k) {
        for (const CellKind kind : {CellKind::Move, CellKind::Price}) {
            const TableCell cell{kind, k, 0};
            if (Changed(cell)) {
                Put(target, cell, Value(cell));
            }
        }
    }
    for (int s = 0; s < kSpeciesCount; ++s) {
        // A species without a pending edit keeps the fresh field as it is.
        if (m_target.fields[static_cast<std::size_t>(s)] ==
            m_asRead.fields[static_cast<std::size_t>(s)]) {
            continue;
        }
        for (int k = 0; k < kMachineCount; ++k) {
            if (LearnsChanged(s, k)) {
                brindlewick::SetLearns(target.fields[static_cast<std::size_t>(s)], k, Learns(s, k));
            }
        }
    }
    m_asRead = fresh;
    m_target = target;
}

int TableEdits::Get(const TableValues& values, const TableCell& cell) const {
    const auto k = static_cast<std::size_t>(cell.machine);
    switch (cell.kind) {
        case CellKind::Move:
            return values.moves[k];
        case CellKind::Price:
            return values.prices[k];
        case CellKind::Learns:
            return brindlewick::Learns(values.fields[static_cast<std::size_t>(cell.species)],
                                       cell.machine)
                       ? 1
                       : 0;
    }
    return 0;
}

void TableEdits::Put(TableValues& values, const TableCell& cell, int value) const {
    const auto k = static_cast<std::size_t>(cell.machine);
    switch (cell.kind) {
        case CellKind::Move:
            values.moves[k] = static_cast<std::uint8_t>(value);
            break;
        case CellKind::Price:
            values.prices[k] = static_cast<std::uint16_t>(value);
            break;
        case CellKind::Learns:
            brindlewick::SetLearns(values.fields[static_cast<std::size_t>(cell.species)],
                                   cell.machine, value != 0);
            break;
    }
}

int TableEdits::Value(const TableCell& cell) const {
    return Get(m_target, cell);
}

int TableEdits::ValueAsRead(const TableCell& cell) const {
    return Get(m_asRead, cell);
}

bool TableEdits::Learns(int species, int machine) const {
    return brindlewick::Learns(m_target.fields[static_cast<std::size_t>(species)], machine);
}

bool TableEdits::LearnsChanged(int species, int machine) const {
    const auto s = static_cast<std::size_t>(species);
    return brindlewick::Learns(m_target.fields[s], machine) !=
           brindlewick::Learns(m_asRead.fields[s], machine);
}

int TableEdits::PendingCount() const {
    int count = 0;
    for (std::size_t k = 0; k < m_target.moves.size(); ++k) {
        count += m_target.moves[k] != m_asRead.moves[k] ? 1 : 0;
        count += m_target.prices[k] != m_asRead.prices[k] ? 1 : 0;
    }
    for (int s = 0; s < kSpeciesCount; ++s) {
        if (m_target.fields[static_cast<std::size_t>(s)] ==
            m_asRead.fields[static_cast<std::size_t>(s)]) {
            continue;
        }
        for (int k = 0; k < kMachineCount; ++k) {
            count += LearnsChanged(s, k) ? 1 : 0;
        }
    }
    return count;
}

bool TableEdits::Apply(Step step) {
    std::erase_if(step, [this](CellChange& change) {
        change.before = Value(change.cell);
        return change.before == change.after;
    });
    if (step.empty()) {
        return false;
    }
    for (const CellChange& change : step) {
        Put(m_target, change.cell, change.after);
    }
    m_undo.push_back(std::move(step));
    m_redo.clear();
    return true;
}

bool TableEdits::SetMove(int machine, int move) {
    if (!IsMachine(machine) || move < 0 || move >= kMoveCount) {
        return false;
    }
    return Apply({{{CellKind::Move, machine, 0}, 0, move}});
}

bool TableEdits::SetPrice(int machine, int price) {
    if (!IsMachine(machine) || price < 0 || price > kMaxPrice) {
        return false;
    }
    return Apply({{{CellKind::Price, machine, 0}, 0, price}});
}

bool TableEdits::SetLearns(int species, int machine, bool learns) {
    return SetLearns(std::vector<LearnsCell>{{species, machine}}, learns);
}

bool TableEdits::SetLearns(const std::vector<LearnsCell>& cells, bool learns) {
    Step step;
    step.reserve(cells.size());
    for (const LearnsCell& cell : cells) {
        if (IsSpecies(cell.species) && IsMachine(cell.machine)) {
            step.push_back({{CellKind::Learns, cell.machine, cell.species}, 0, learns ? 1 : 0});
        }
    }
    return Apply(std::move(step));
}

bool TableEdits::Toggle(const std::vector<LearnsCell>& cells, LearnsCell current) {
    if (!IsSpecies(current.species) || !IsMachine(current.machine)) {
        return false;
    }
    return SetLearns(cells, !Learns(current.species, current.machine));
}

bool TableEdits::Revert() {
    Step step;
    for (int k = 0; k < kMachineCount; ++k) {
        for (const CellKind kind : {CellKind::Move, CellKind::Price}) {
            const TableCell cell{kind, k, 0};
            if (Changed(cell)) {
                step.push_back({cell, 0, ValueAsRead(cell)});
            }
        }
    }
    for (int s = 0; s < kSpeciesCount; ++s) {
        for (int k = 0; k < kMachineCount; ++k) {
            if (LearnsChanged(s, k)) {
                step.push_back({{CellKind::Learns, k, s}, 0, Learns(s, k) ? 0 : 1});
            }
        }
    }
    return Apply(std::move(step));
}

bool TableEdits::Undo() {
    if (m_undo.empty()) {
        return false;
    }
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    for (const CellChange& change : step) {
        Put(m_target, change.cell, change.before);
    }
    m_redo.push_back(std::move(step));
    return true;
}

bool TableEdits::Redo() {
    if (m_redo.empty()) {
        return false;
    }
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    for (const CellChange& change : step) {
        Put(m_target, change.cell, change.after);
    }
    m_undo.push_back(std::move(step));
    return true;
}

std::string TableEdits::CopyBlock(const std::vector<int>& species, int firstMachine,
                                  int lastMachine) const {
    std::string text;
    for (const int s : species) {
        if (!IsSpecies(s)) {
            continue;
        }
        for (int k = std::max(firstMachine, 0); k <= std::min(lastMachine, kMachineCount - 1);
             ++k) {
            text += k == std::max(firstMachine, 0) ? "" : "\t";
            text += Learns(s, k) ? '1' : '0';
        }
        text += '\n';
    }
    return text;
}

bool TableEdits::PasteBlock(std::string_view text, const std::vector<int>& species,
                            int firstMachine) {
    const auto refuse = [](const std::string& why) {
        ShowMessage("Nothing was pasted: " + why, MessageIcon::Information);
        return false;
    };
    if (const std::string refusal = PastedBlockSizeRefusal(text.size()); !refusal.empty()) {
        ShowMessage(refusal, MessageIcon::Information);
        return false;
    }
    const auto rows = SplitBlock(text);
    if (rows.empty()) {
        return refuse("the clipboard holds no block of 1 and 0.");
    }
    const std::size_t columns = rows.front().size();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != columns) {
            return refuse("the block is not a rectangle: line " + std::to_string(r + 1) + " has " +
                          Plural(rows[r].size(), "cell", "cells") + ", line 1 has " +
                          std::to_string(columns) + ".");
        }
    }
    std::vector<LearnsCell> cells;
    std::vector<bool> values;
    const std::size_t roomColumns =
        IsMachine(firstMachine) ? static_cast<std::size_t>(kMachineCount - firstMachine) : 0;
    if (rows.size() > species.size() || columns > roomColumns) {
        return refuse("the block is " + Plural(rows.size(), "row", "rows") + " by " +
                      Plural(columns, "column", "columns") + ", and from the current cell there " +
                      "is room for " + Plural(species.size(), "row", "rows") + " by " +
                      Plural(roomColumns, "column", "columns") + ".");
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            const auto tick = PastedTick(rows[r][c]);
            if (!tick) {
                return refuse("line " + std::to_string(r + 1) + ", cell " + std::to_string(c + 1) +
                              " holds \u201C" + InputExcerpt(rows[r][c]) +
                              "\u201D; only 1 and 0 can be pasted.");
            }
            cells.push_back({species[r], firstMachine + static_cast<int>(c)});
            values.push_back(*tick);
        }
    }
    Step step;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (IsSpecies(cells[i].species)) {
            step.push_back(
                {{CellKind::Learns, cells[i].machine, cells[i].species}, 0, values[i] ? 1 : 0});
        }
    }
    Apply(std::move(step));
    // A block that matches what the grid shows already is pasted all the same: nothing to do.
    return true;
}

std::string MoveListText(int move) {
    if (move >= 0 && move < kMoveCount) {
        return std::string(Trimmed(MoveEntries()[static_cast<std::size_t>(move)]));
    }
    return "byte " + HexText(static_cast<std::uint32_t>(move), 2);
}

namespace {

// `field` with the bits that stand for no machine as `from` holds them.
void TakeSpareBits(CompatibilityField& field, const CompatibilityField& from) {
    CompatibilityField kept = from;
    for (int k = 0; k < kMachineCount; ++k) {
        SetLearns(kept, k, Learns(field, k));
    }
    field = kept;
}

std::string ListedDetails(const ImportPlan& plan) {
    std::string list;
    const auto& details = plan.details;
    for (std::size_t i = 0; i < details.size() && i < kMaxListedChanges; ++i) {
        list += "\n" + details[i];
    }
    if (details.size() > kMaxListedChanges) {
        list += "\n(and " + std::to_string(details.size() - kMaxListedChanges) + " more)";
    }
    return list;
}

}  // namespace

ImportStatus SaveTableEdits(const std::string& romPath, const TablePlaces& places,
                            TableEdits& edits) {
    ImportOptions options;
    options.expectedCurrent = &edits.AsRead();
    options.confirmOverwrite = [&romPath](const ImportPlan& overwritten,
                                          const ImportPlan& changedElsewhere) {
        std::string text = "\u201C" + DisplayName(romPath) +
                           "\u201D has been changed since the table editor read it, by another "
                           "program or window:" +
                           ListedDetails(changedElsewhere);
        if (overwritten.details.size() < changedElsewhere.details.size()) {
            text += "\nSaving replaces these of them with what the table editor shows:" +
                    ListedDetails(overwritten) + "\nThe others are kept as the file holds them.";
        } else {
            text += "\nSaving replaces that with what the table editor shows.";
        }
        return ConfirmMessage(text + " Save all the same?");
    };
    options.confirm = [](const std::string& question) { return ConfirmMessage(question); };
    options.confirmMakeWritable = [](const std::string& question) {
        return ConfirmMessage(question);
    };
    // The editor never edits the bits of a field that stand for no machine (Crystal's move
    // tutor): they are written as the file holds them at the save, whatever another program
    // put there since the editor read it.
    TableValues written;
    const ImportResult result = WriteTablesPlan(
        romPath, places,
        [&edits, &written](const TableValues& current) {
            written = edits.Target();
            for (std::size_t s = 0; s < written.fields.size(); ++s) {
                TakeSpareBits(written.fields[s], current.fields[s]);
            }
            return std::optional(written);
        },
        options);
    if (result.status == ImportStatus::Written || result.status == ImportStatus::Unchanged) {
        // The grid shows the file from now on. The file's tables are exactly what was written:
        // every byte that differed was written and flushed through the one locked handle (or
        // none differed). Not opening the file again keeps the save to that one handle, and a
        // change another program makes afterwards is noticed as one, not taken as what was
        // saved.
        edits.Rebase(written);
    }
    return result.status;
}

std::optional<TableValues> ChangedElsewhere(const std::string& romPath, const TablePlaces& places,
                                            const TableEdits& edits) {
    const SilentMessages silent;
    auto fresh = ReadTables(romPath, places);
    if (!fresh || *fresh == edits.AsRead()) {
        return std::nullopt;
    }
    return fresh;
}

}  // namespace brindlewick
