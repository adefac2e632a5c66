// TableEditorWindow: the table editor on Windows, beside the main window: a Machines page and a
// Compatibility page, each a TableGrid, with the menus, tool bar, filter, notice and status line
// of the Qt table editor. It is wiring over the core's TableEditorSession, which decides what
// every command does, says and asks; the texts and shortcuts are the core's too.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/TableEditorSession.h"
#include "win32/TableGrid.h"

namespace brindlewick::win32 {

// The command number of a table editor command in its menus, tool bar and accelerators.
inline constexpr WORD kTableCommandBase = 2000;
inline WORD CommandId(TableCommand command) {
    return static_cast<WORD>(kTableCommandBase + static_cast<WORD>(command));
}

class TableEditorWindow final : private GridEvents {
public:
    // The window for the ROM's tables where `located` says, shown, its species and moves named
    // as `names` holds them; nullptr after a reported failure. `tablesSaved` is called after
    // every save that wrote the file.
    static std::unique_ptr<TableEditorWindow> Open(HWND owner, const std::string& romPath,
                                                   const LocatedTables& located,
                                                   const RomNames& names,
                                                   std::function<void()> tablesSaved);
    ~TableEditorWindow() override;
    TableEditorWindow(const TableEditorWindow&) = delete;
    TableEditorWindow& operator=(const TableEditorWindow&) = delete;

    // The window while it is open; nullptr once closed.
    HWND Handle() const { return m_window; }
    // A control by its name ("tblCompatibility", "txtFilter", "lblPending" ...); nullptr if none.
    HWND Control(std::string_view name) const;
    HMENU Menu() const { return m_menu; }
    const TableEditorSession& Session() const { return *m_session; }
    TableEditorSession* SessionPointer() { return m_session.get(); }
    // The grids, for the tests that look at their current cell and selection.
    const TableGrid& MachinesGrid() const { return *m_machinesGrid; }
    const TableGrid& CompatibilityGrid() const { return *m_compatibilityGrid; }
    int CurrentPage() const;

    void Show();
    // Before the edits would be lost: a cell being typed is taken, then Save / Discard /
    // Cancel is asked when any are pending. True when nothing is left to lose.
    bool SettlePendingEdits();
    // Closes the window after settling its edits; false when Cancel kept it open.
    bool Close();
    // The keyboard before the message is dispatched: the shortcuts and Tab. True: handled.
    bool PreTranslate(MSG& message);

private:
    class MachinesSource;
    class CompatibilitySource;

    TableEditorWindow(HWND owner, std::unique_ptr<TableEditorSession> session,
                      std::function<void()> tablesSaved);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Add(const char* name, const wchar_t* windowClass, const std::string& text, DWORD style,
             HWND parent, int id = 0, DWORD exStyle = 0);
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    void ApplyDpi(UINT dpi);
    void Layout();
    void ShowPage(int page);

    void Run(TableCommand command);
    void EditsChanged();
    void ShowNotice();
    void MoveFocus(bool backwards);
    void FilterChanged();
    void FilterEntered();
    GridSelection Selection() const;

    // The cell editor of the Machines page: a field over the cell and, for a move, the list of
    // the moves that contain what has been typed.
    void BeginEdit(int row, int column, wchar_t typed);
    void CommitEdit();
    void CancelEdit();
    void FillCompletions();
    static LRESULT CALLBACK CellEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK FilterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);

    // GridEvents
    void CheckClicked(int row, int column) override;
    void EditRequested(int row, int column, wchar_t typed) override;
    void ContextMenu(POINT screen) override;
    void SelectionChanged() override {}

    HWND m_window = nullptr;
    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
    HACCEL m_accelerators = nullptr;
    HACCEL m_gridAccelerators = nullptr;
    HFONT m_font = nullptr;
    HBRUSH m_noticeBrush = nullptr;
    RECT m_noticeRect{};
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::unique_ptr<TableEditorSession> m_session;
    std::vector<int> m_shownSpecies;
    std::unique_ptr<MachinesSource> m_machinesSource;
    std::unique_ptr<CompatibilitySource> m_compatibilitySource;
    std::unique_ptr<TableGrid> m_machinesGrid;
    std::unique_ptr<TableGrid> m_compatibilityGrid;
    std::array<HWND, 2> m_pages{};
    std::unordered_map<std::string, HWND> m_controls;
    // The cell being typed, while its editor is open.
    bool m_editing = false;
    int m_editRow = -1;
    int m_editColumn = -1;
};

}  // namespace brindlewick::win32
