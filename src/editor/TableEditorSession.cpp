#include "editor/TableEditorSession.h"

#include <algorithm>
#include <new>

#include "editor/Editor.h"
#include "editor/MachineListText.h"
#include "platform/Messages.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "rom/TableLocation.h"
#include "tables/TypedInput.h"

namespace brindlewick {
namespace {

// A flag held for the length of one of the session's own questions or writes.
class BusyWhile {
public:
    explicit BusyWhile(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~BusyWhile() { m_flag = m_before; }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    bool& m_flag;
    bool m_before;
};

}  // namespace

std::unique_ptr<TableEditorSession> TableEditorSession::Open(const std::string& romPath,
                                                             const LocatedTables& located,
                                                             const RomNames& names) {
    const auto tables = ReadCheckedTables(romPath, located.places);
    if (!tables) {
        return nullptr;
    }
    std::unique_ptr<TableEditorSession> session(new TableEditorSession(romPath, located, names));
    session->m_edits.Load(tables->values);
    session->TakeCheck(*tables);
    session->SetNotice({}, false);
    return session;
}

TableEditorSession::TableEditorSession(const std::string& romPath, const LocatedTables& located,
                                       const RomNames& names)
    : m_romPath(romPath),
      m_gameCode(located.places.release != nullptr ? located.places.release->gameCode
                                                   : std::string()),
      m_places(located.places),
      m_placesNote(DescribeElsewhere(located)),
      m_texts(names) {
    if (const std::string notice = m_texts.NamesNotice(); !notice.empty()) {
        m_placesNote += (m_placesNote.empty() ? "" : "\n\n") + notice;
    }
}

void TableEditorSession::TakeCheck(const CheckedTables& tables) {
    m_readOnlyReason =
        tables.check.SafeToWrite() ? std::string() : DescribeRefusal(m_places, tables.check);
}

void TableEditorSession::SetNotice(const std::string& changedText, bool offerReload) {
    // Where the game keeps its tables stays said for as long as the window is open.
    std::string text = m_placesNote;
    const auto add = [&text](const std::string& part) {
        text += (text.empty() ? "" : "\n\n") + part;
    };
    if (ReadOnly()) {
        add("Read-only: " + m_readOnlyReason);
    }
    if (!changedText.empty()) {
        add(changedText);
    }
    m_notice = text;
    m_offerReload = offerReload;
}

bool TableEditorSession::Enabled(TableCommand command) const {
    const bool writable = !ReadOnly();
    switch (command) {
        case TableCommand::Save:
        case TableCommand::Revert:
            return writable && m_edits.HasPending();
        case TableCommand::Undo:
            return writable && m_edits.CanUndo();
        case TableCommand::Redo:
            return writable && m_edits.CanRedo();
        case TableCommand::Tick:
        case TableCommand::Clear:
        case TableCommand::Toggle:
        case TableCommand::Paste:
            return writable;
        case TableCommand::Reload:
        case TableCommand::Close:
        case TableCommand::Copy:
        case TableCommand::Filter:
            return true;
        case TableCommand::Separator:
            break;
    }
    return false;
}

bool TableEditorSession::SetMove(int machine, int move) {
    return !ReadOnly() && m_edits.SetMove(machine, move);
}

bool TableEditorSession::SetPrice(int machine, int price) {
    return !ReadOnly() && m_edits.SetPrice(machine, price);
}

bool TableEditorSession::TypeMove(int machine, std::string_view typed) {
    // An empty field is no answer: the cell keeps its move without a word.
    if (ReadOnly() || typed.find_first_not_of(" \t") == std::string_view::npos) {
        return false;
    }
    return TakeTyped(ReadTypedMove(typed),
                     [&](int move) { return m_edits.SetMove(machine, move); });
}

TypedValue TableEditorSession::ReadTypedMove(std::string_view typed) const {
    return ParseTypedMove(typed, m_texts.Matcher(), m_texts.MoveChoices());
}

bool TableEditorSession::TypePrice(int machine, std::string_view typed) {
    if (ReadOnly()) {
        return false;
    }
    return TakeTyped(ParseTypedPrice(typed),
                     [&](int price) { return m_edits.SetPrice(machine, price); });
}

bool TableEditorSession::TakeTyped(const TypedValue& typed, const std::function<bool(int)>& take) {
    // What names no move or is no price is refused, saying why; the cell keeps its value.
    if (!typed.value) {
        ShowMessage(typed.refusal, MessageIcon::Error);
        return false;
    }
    return take(*typed.value);
}

bool TableEditorSession::SetLearns(int species, int machine, bool learns) {
    return !ReadOnly() && m_edits.SetLearns(species, machine, learns);
}

std::vector<LearnsCell> TableEditorSession::SelectedCells(const GridSelection& grid) const {
    const auto shown = [&grid](int row) {
        return row >= 0 && static_cast<std::size_t>(row) < grid.shownSpecies.size();
    };
    std::vector<LearnsCell> cells;
    cells.reserve(grid.selected.size());
    for (const auto& [row, column] : grid.selected) {
        if (shown(row)) {
            cells.push_back({grid.shownSpecies[static_cast<std::size_t>(row)], column});
        }
    }
    // The current cell belongs to the block even where nothing is selected.
    if (cells.empty() && shown(grid.currentRow)) {
        cells.push_back(
            {grid.shownSpecies[static_cast<std::size_t>(grid.currentRow)], grid.currentColumn});
    }
    return cells;
}

bool TableEditorSession::SetSelection(const GridSelection& grid, bool learns) {
    return !ReadOnly() && m_edits.SetLearns(SelectedCells(grid), learns);
}

bool TableEditorSession::ToggleSelection(const GridSelection& grid) {
    if (ReadOnly() || grid.currentRow < 0 ||
        static_cast<std::size_t>(grid.currentRow) >= grid.shownSpecies.size()) {
        return false;
    }
    return m_edits.Toggle(
        SelectedCells(grid),
        {grid.shownSpecies[static_cast<std::size_t>(grid.currentRow)], grid.currentColumn});
}

std::string TableEditorSession::CopySelection(const GridSelection& grid) const {
    std::vector<std::pair<int, int>> cells = grid.selected;
    if (cells.empty() && grid.currentRow >= 0) {
        cells.emplace_back(grid.currentRow, grid.currentColumn);
    }
    if (cells.empty()) {
        return {};
    }
    // The rectangle around the selection, in the rows the grid shows.
    int top = static_cast<int>(grid.shownSpecies.size());
    int bottom = -1;
    int left = kMachineCount;
    int right = -1;
    for (const auto& [row, column] : cells) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        left = std::min(left, column);
        right = std::max(right, column);
    }
    std::vector<int> species;
    for (int row = std::max(top, 0);
         row <= bottom && static_cast<std::size_t>(row) < grid.shownSpecies.size(); ++row) {
        species.push_back(grid.shownSpecies[static_cast<std::size_t>(row)]);
    }
    return m_edits.CopyBlock(species, left, right);
}

bool TableEditorSession::PasteAtCurrent(const GridSelection& grid, std::string_view clipboardText) {
    if (ReadOnly() || grid.currentRow < 0 ||
        static_cast<std::size_t>(grid.currentRow) >= grid.shownSpecies.size()) {
        return false;
    }
    if (const std::string refusal = PastedBlockSizeRefusal(clipboardText.size());
        !refusal.empty()) {
        ShowMessage(refusal, MessageIcon::Information);
        return false;
    }
    const std::vector<int> rows(
        grid.shownSpecies.begin() + static_cast<std::ptrdiff_t>(grid.currentRow),
        grid.shownSpecies.end());
    return m_edits.PasteBlock(clipboardText, rows, grid.currentColumn);
}

bool TableEditorSession::Undo() {
    return !ReadOnly() && m_edits.Undo();
}

bool TableEditorSession::Redo() {
    return !ReadOnly() && m_edits.Redo();
}

bool TableEditorSession::Revert() {
    return !ReadOnly() && m_edits.Revert();
}

bool TableEditorSession::Perform(TableCommand command, const GridSelection& grid,
                                 const std::function<std::string()>& clipboardText,
                                 std::string& copied) {
    switch (command) {
        case TableCommand::Save:
            Save();
            return true;
        case TableCommand::Reload:
            Reload();
            return true;
        case TableCommand::Revert:
            return Revert();
        case TableCommand::Undo:
            return Undo();
        case TableCommand::Redo:
            return Redo();
        case TableCommand::Tick:
        case TableCommand::Clear:
            return SetSelection(grid, command == TableCommand::Tick);
        case TableCommand::Toggle:
            return ToggleSelection(grid);
        case TableCommand::Copy:
            copied = CopySelection(grid);
            return false;
        case TableCommand::Paste:
            // Whatever the clipboard holds, the pending edits outlive it.
            try {
                return PasteAtCurrent(grid, clipboardText());
            } catch (const std::bad_alloc&) {
                ShowMessage("Nothing was pasted: the clipboard's text is too large to read.",
                            MessageIcon::Information);
                return false;
            }
        case TableCommand::Close:
        case TableCommand::Filter:
        case TableCommand::Separator:
            break;
    }
    return false;
}

bool TableEditorSession::Save() {
    if (ReadOnly()) {
        ShowMessage(kSaveRefusedPrefix + m_readOnlyReason, MessageIcon::Error);
        return false;
    }
    if (!m_edits.HasPending()) {
        return false;
    }
    ImportStatus status{};
    {
        const BusyWhile busy(m_busy);
        status = SaveTableEdits(m_romPath, m_places, m_edits);
    }
    if (status != ImportStatus::Written && status != ImportStatus::Unchanged) {
        return false;
    }
    SetNotice({}, false);
    if (m_tablesSaved) {
        m_tablesSaved();
    }
    return true;
}

void TableEditorSession::Reload() {
    const BusyWhile busy(m_busy);
    const auto tables = ReadCheckedTables(m_romPath, m_places);
    if (tables) {
        m_edits.Rebase(tables->values);
        TakeCheck(*tables);
        SetNotice({}, false);
    }
}

bool TableEditorSession::CheckFile() {
    if (m_busy) {
        return false;
    }
    const BusyWhile busy(m_busy);
    const std::string before = m_notice;
    const bool offeredBefore = m_offerReload;
    if (ChangedElsewhere(m_romPath, m_places, m_edits)) {
        SetNotice(ChangedElsewhereText(m_romPath), true);
    } else {
        SetNotice({}, false);
    }
    return m_notice != before || m_offerReload != offeredBefore;
}

bool TableEditorSession::SettlePendingEdits() {
    if (!m_edits.HasPending()) {
        return true;
    }
    PendingEditsAnswer answer = PendingEditsAnswer::Cancel;
    {
        const BusyWhile busy(m_busy);
        answer = AskAboutPendingEdits(PendingEditsQuestion(m_edits.PendingCount(), m_romPath));
    }
    switch (answer) {
        case PendingEditsAnswer::Save:
            Save();
            return !m_edits.HasPending();
        case PendingEditsAnswer::Discard:
            m_edits.Revert();
            return true;
        case PendingEditsAnswer::Cancel:
            break;
    }
    return false;
}

bool TableEditorSettlesBefore(const TableEditorSession* session, const std::string& path) {
    return !path.empty() && session != nullptr && path != session->RomPath();
}

bool TableEditorBelongsElsewhere(const TableEditorSession* session, const std::string& romPath) {
    return session != nullptr && session->RomPath() != romPath;
}

}  // namespace brindlewick
