// TableGrid: the table editor's grid on Windows, a control of its own: fixed row headers at the
// left and column headers at the top, cells of text or of check boxes drawn in the system's
// style and colours, a current cell and a block selection worked with the mouse (click, drag,
// Shift+click) and the keyboard (arrows, Shift+arrows, Home, End, Page Up and Down, Ctrl+Home
// and Ctrl+End). What the cells hold and what a key or click means comes from its owner.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brindlewick::win32 {

// What the grid shows, asked for as it paints.
class GridSource {
public:
    virtual ~GridSource() = default;
    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual std::wstring RowHeader(int row) const = 0;
    virtual std::wstring ColumnHeader(int column) const = 0;
    // The cell's text (text cells) or tick (check cells), and whether it holds a pending edit.
    virtual std::wstring CellText(int /*row*/, int /*column*/) const { return {}; }
    virtual bool CellChecked(int /*row*/, int /*column*/) const { return false; }
    virtual bool CellPending(int row, int column) const = 0;
    virtual bool RightAligned(int /*column*/) const { return false; }
};

// What the user does in the grid that its owner answers.
class GridEvents {
public:
    virtual ~GridEvents() = default;
    // A click on a check cell's box.
    virtual void CheckClicked(int row, int column) = 0;
    // Editing a text cell: F2, Enter or a double click (`typed` empty), or a character typed.
    virtual void EditRequested(int row, int column, wchar_t typed) = 0;
    // The context menu at `screen` (a point on the screen).
    virtual void ContextMenu(POINT screen) = 0;
    // The current cell or the selection moved.
    virtual void SelectionChanged() = 0;
};

class TableGrid {
public:
    enum class Cells { Text, Check };

    // A child of `parent`; `columnWidths` (text cells only) in pixels at 100 %.
    TableGrid(HWND parent, int id, Cells cells, const GridSource& source, GridEvents& events,
              std::vector<int> columnWidths = {});
    ~TableGrid();
    TableGrid(const TableGrid&) = delete;
    TableGrid& operator=(const TableGrid&) = delete;

    HWND Handle() const { return m_window; }
    // What the grid draws its headers and cells from.
    const GridSource& Source() const { return m_source; }

    // The rows or what they show changed: the grid paints again, the current cell kept within.
    void Refresh();
    // The headers' texts may be longer or shorter now: measured again, then Refresh.
    void Remeasure() {
        Measure();
        Refresh();
    }
    // The font and the sizes at a new DPI.
    void SetDpi(UINT dpi, HFONT font);

    int CurrentRow() const { return m_currentRow; }
    int CurrentColumn() const { return m_currentColumn; }
    // The current cell; -1 for none. The selection becomes that one cell (or none).
    void SetCurrent(int row, int column);
    // The selected cells, a rectangle from the anchor to the current cell (empty for none).
    std::vector<std::pair<int, int>> Selected() const;
    // The cell's rectangle in the grid's client area.
    RECT CellRect(int row, int column) const;
    // The width and height the grid needs to show every column and `rows` rows.
    SIZE SizeFor(int rows) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Measure();
    void Paint(HDC dc, const RECT& update);
    void PaintColumnHeader(HDC dc, int column, const RECT& rect, bool selected);
    void PaintCell(HDC dc, int row, int column, const RECT& rect, bool selected);
    void KeyDown(WPARAM key);
    void MouseDown(LPARAM at, bool shift);
    bool CellAt(POINT at, int& row, int& column) const;
    void MoveCurrent(int row, int column, bool extend);
    int ColumnWidth(int column) const;
    int ColumnLeft(int column) const;  // in the client area, for a column from the first shown
    void EnsureVisible(int row, int column);
    void UpdateScrollBars();
    void Scroll(int bar, int code, int delta = 0);
    int VisibleRows() const;
    int VisibleColumns() const;
    RECT CheckBoxRect(const RECT& cell) const;

    HWND m_window = nullptr;
    Cells m_cells;
    const GridSource& m_source;
    GridEvents& m_events;
    std::vector<int> m_columnWidths96;
    HFONT m_font = nullptr;  // the owner's
    HFONT m_boldFont = nullptr;
    HFONT m_upwardFont = nullptr;
    HANDLE m_theme = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    int m_rowHeight = 20;
    int m_rowHeaderWidth = 60;
    int m_columnHeaderHeight = 20;
    int m_checkWidth = 20;
    SIZE m_box{13, 13};
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_currentRow = -1;
    int m_currentColumn = -1;
    int m_anchorRow = -1;
    int m_anchorColumn = -1;
    bool m_dragging = false;
};

}  // namespace brindlewick::win32
