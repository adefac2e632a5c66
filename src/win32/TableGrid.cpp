#include "win32/TableGrid.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>

#include "editor/TableEditorTexts.h"
#include "win32/Scale.h"

namespace brindlewick::win32 {
namespace {

constexpr const wchar_t* kGridClass = L"BrindlewickTableGrid";
constexpr int kPadding = 6;

COLORREF Mix(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

COLORREF PendingColour() {
    return RGB(kPendingEditTint.red, kPendingEditTint.green, kPendingEditTint.blue);
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

TableGrid::TableGrid(HWND parent, int id, Cells cells, const GridSource& source, GridEvents& events,
                     std::vector<int> columnWidths)
    : m_cells(cells),
      m_source(source),
      m_events(events),
      m_columnWidths96(std::move(columnWidths)) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kGridClass;
        windowClass.lpfnWndProc = &TableGrid::WindowProc;
        ::RegisterClassExW(&windowClass);
    }
    m_window =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, kGridClass, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                          parent, reinterpret_cast<HMENU>(INT_PTR{id}), instance, this);
    if (m_cells == Cells::Check) {
        m_theme = ::OpenThemeData(m_window, L"BUTTON");
    }
}

TableGrid::~TableGrid() {
    if (m_theme != nullptr) {
        ::CloseThemeData(m_theme);
    }
    for (const HFONT font : {m_boldFont, m_upwardFont}) {
        if (font != nullptr) {
            ::DeleteObject(font);
        }
    }
    if (::IsWindow(m_window)) {
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        ::DestroyWindow(m_window);
    }
}

void TableGrid::SetDpi(UINT dpi, HFONT font) {
    m_dpi = dpi;
    m_font = font;
    LOGFONTW logical{};
    ::GetObjectW(font, sizeof logical, &logical);
    for (HFONT* owned : {&m_boldFont, &m_upwardFont}) {
        if (*owned != nullptr) {
            ::DeleteObject(*owned);
        }
    }
    LOGFONTW bold = logical;
    bold.lfWeight = FW_BOLD;
    m_boldFont = ::CreateFontIndirectW(&bold);
    LOGFONTW upward = logical;
    upward.lfEscapement = 900;
    upward.lfOrientation = 900;
    m_upwardFont = ::CreateFontIndirectW(&upward);
    Measure();
    Refresh();
}

void TableGrid::Measure() {
    const HDC dc = ::GetDC(m_window);
    const HGDIOBJ previous = ::SelectObject(dc, m_font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const auto width = [dc](const std::wstring& text) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    m_rowHeight = static_cast<int>(metrics.tmHeight) + Scale(kPadding, m_dpi);
    // Measured in bold, as the header of a selected row draws its text.
    ::SelectObject(dc, m_boldFont);
    int widest = 0;
    for (int row = 0; row < m_source.RowCount(); ++row) {
        widest = std::max(widest, width(m_source.RowHeader(row)));
    }
    m_rowHeaderWidth = widest + 2 * Scale(kPadding, m_dpi);
    ::SelectObject(dc, m_font);
    if (m_cells == Cells::Check) {
        m_box = {Scale(13, m_dpi), Scale(13, m_dpi)};
        if (m_theme != nullptr) {
            SIZE themed{};
            if (SUCCEEDED(::GetThemePartSize(m_theme, dc, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr,
                                             TS_TRUE, &themed)) &&
                themed.cx > 0) {
                m_box = themed;
            }
        }
        // A box with a little air on each side; at least as wide as a line of text is tall.
        m_checkWidth = std::max(static_cast<int>(m_box.cx) + 2 * Scale(kPadding, m_dpi),
                                static_cast<int>(metrics.tmHeight) + Scale(8, m_dpi));
        // Measured in bold, as the header of a selected column draws its text.
        ::SelectObject(dc, m_boldFont);
        int tallest = 0;
        for (int column = 0; column < m_source.ColumnCount(); ++column) {
            tallest = std::max(tallest, width(m_source.ColumnHeader(column)));
        }
        m_columnHeaderHeight = tallest + 2 * Scale(kPadding, m_dpi);
    } else {
        m_columnHeaderHeight = m_rowHeight;
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(m_window, dc);
}

int TableGrid::ColumnWidth(int column) const {
    if (m_cells == Cells::Check) {
        return m_checkWidth;
    }
    const auto index = static_cast<std::size_t>(column);
    return Scale(index < m_columnWidths96.size() ? m_columnWidths96[index] : 80, m_dpi);
}

int TableGrid::ColumnLeft(int column) const {
    int x = m_rowHeaderWidth;
    for (int c = m_firstColumn; c < column; ++c) {
        x += ColumnWidth(c);
    }
    for (int c = column; c < m_firstColumn; ++c) {
        x -= ColumnWidth(c);
    }
    return x;
}

RECT TableGrid::CellRect(int row, int column) const {
    const int left = ColumnLeft(column);
    const int top = m_columnHeaderHeight + (row - m_firstRow) * m_rowHeight;
    return {left, top, left + ColumnWidth(column), top + m_rowHeight};
}

SIZE TableGrid::SizeFor(int rows) const {
    int width = m_rowHeaderWidth;
    for (int column = 0; column < m_source.ColumnCount(); ++column) {
        width += ColumnWidth(column);
    }
    RECT rect{0, 0, width, m_columnHeaderHeight + rows * m_rowHeight};
    ::AdjustWindowRectExForDpi(&rect, WS_CHILD | WS_VSCROLL, FALSE, WS_EX_CLIENTEDGE, m_dpi);
    return {rect.right - rect.left + ::GetSystemMetricsForDpi(SM_CXVSCROLL, m_dpi),
            rect.bottom - rect.top};
}

RECT TableGrid::CheckBoxRect(const RECT& cell) const {
    const int left = cell.left + (cell.right - cell.left - m_box.cx) / 2;
    const int top = cell.top + (cell.bottom - cell.top - m_box.cy) / 2;
    return {left, top, left + m_box.cx, top + m_box.cy};
}

int TableGrid::VisibleRows() const {
    RECT client{};
    ::GetClientRect(m_window, &client);
    return std::max(
        1, static_cast<int>(client.bottom - m_columnHeaderHeight) / std::max(1, m_rowHeight));
}

int TableGrid::VisibleColumns() const {
    RECT client{};
    ::GetClientRect(m_window, &client);
    int x = m_rowHeaderWidth;
    int count = 0;
    for (int column = m_firstColumn; column < m_source.ColumnCount(); ++column) {
        x += ColumnWidth(column);
        if (x > client.right) {
            break;
        }
        ++count;
    }
    return std::max(1, count);
}

void TableGrid::Refresh() {
    const int rows = m_source.RowCount();
    const int columns = m_source.ColumnCount();
    if (rows == 0) {
        m_currentRow = m_anchorRow = -1;
    } else if (m_currentRow >= rows || m_anchorRow >= rows) {
        m_currentRow = std::min(m_currentRow, rows - 1);
        m_anchorRow = std::min(m_anchorRow, rows - 1);
    }
    if (m_currentRow >= 0 && m_currentColumn < 0) {
        m_currentColumn = m_anchorColumn = 0;
    }
    m_currentColumn = std::min(m_currentColumn, columns - 1);
    m_firstRow = std::clamp(m_firstRow, 0, std::max(0, rows - VisibleRows()));
    UpdateScrollBars();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

void TableGrid::SetCurrent(int row, int column) {
    if (row < 0 || column < 0 || m_source.RowCount() == 0) {
        m_currentRow = m_currentColumn = m_anchorRow = m_anchorColumn = -1;
        ::InvalidateRect(m_window, nullptr, FALSE);
        m_events.SelectionChanged();
        return;
    }
    MoveCurrent(row, column, false);
}

std::vector<std::pair<int, int>> TableGrid::Selected() const {
    std::vector<std::pair<int, int>> cells;
    if (m_currentRow < 0 || m_anchorRow < 0) {
        return cells;
    }
    const int top = std::min(m_anchorRow, m_currentRow);
    const int bottom = std::max(m_anchorRow, m_currentRow);
    const int left = std::min(m_anchorColumn, m_currentColumn);
    const int right = std::max(m_anchorColumn, m_currentColumn);
    cells.reserve(static_cast<std::size_t>((bottom - top + 1) * (right - left + 1)));
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            cells.emplace_back(row, column);
        }
    }
    return cells;
}

void TableGrid::MoveCurrent(int row, int column, bool extend) {
    const int rows = m_source.RowCount();
    const int columns = m_source.ColumnCount();
    if (rows == 0 || columns == 0) {
        return;
    }
    m_currentRow = std::clamp(row, 0, rows - 1);
    m_currentColumn = std::clamp(column, 0, columns - 1);
    if (!extend || m_anchorRow < 0) {
        m_anchorRow = m_currentRow;
        m_anchorColumn = m_currentColumn;
    }
    EnsureVisible(m_currentRow, m_currentColumn);
    ::InvalidateRect(m_window, nullptr, FALSE);
    m_events.SelectionChanged();
}

void TableGrid::EnsureVisible(int row, int column) {
    const int rows = VisibleRows();
    if (row < m_firstRow) {
        m_firstRow = row;
    } else if (row >= m_firstRow + rows) {
        m_firstRow = row - rows + 1;
    }
    if (column < m_firstColumn) {
        m_firstColumn = column;
    } else {
        while (column >= m_firstColumn + VisibleColumns() && m_firstColumn < column) {
            ++m_firstColumn;
        }
    }
    UpdateScrollBars();
}

void TableGrid::UpdateScrollBars() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(0, m_source.RowCount() - 1);
    info.nPage = static_cast<UINT>(VisibleRows());
    info.nPos = m_firstRow;
    ::SetScrollInfo(m_window, SB_VERT, &info, TRUE);
    info.nMax = std::max(0, m_source.ColumnCount() - 1);
    info.nPage = static_cast<UINT>(VisibleColumns());
    info.nPos = m_firstColumn;
    ::SetScrollInfo(m_window, SB_HORZ, &info, TRUE);
}

void TableGrid::Scroll(int bar, int code, int delta) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_window, bar, &info);
    int position = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (code) {
        case SB_LINEUP:
            --position;
            break;
        case SB_LINEDOWN:
            ++position;
            break;
        case SB_PAGEUP:
            position -= page;
            break;
        case SB_PAGEDOWN:
            position += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            position += delta;
            break;
    }
    position = std::clamp(position, 0, std::max(0, info.nMax - page + 1));
    (bar == SB_VERT ? m_firstRow : m_firstColumn) = position;
    UpdateScrollBars();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

bool TableGrid::CellAt(POINT at, int& row, int& column) const {
    if (at.x < m_rowHeaderWidth || at.y < m_columnHeaderHeight) {
        return false;
    }
    row = m_firstRow + (at.y - m_columnHeaderHeight) / m_rowHeight;
    column = -1;
    int x = m_rowHeaderWidth;
    for (int c = m_firstColumn; c < m_source.ColumnCount(); ++c) {
        x += ColumnWidth(c);
        if (at.x < x) {
            column = c;
            break;
        }
    }
    return row < m_source.RowCount() && column >= 0;
}

void TableGrid::MouseDown(LPARAM at, bool shift) {
    ::SetFocus(m_window);
    const POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    const int rows = m_source.RowCount();
    const int columns = m_source.ColumnCount();
    int row = 0;
    int column = 0;
    if (CellAt(point, row, column)) {
        const RECT box = CheckBoxRect(CellRect(row, column));
        const bool onBox = m_cells == Cells::Check && !shift && ::PtInRect(&box, point);
        MoveCurrent(row, column, shift);
        m_dragging = true;
        ::SetCapture(m_window);
        if (onBox) {
            m_events.CheckClicked(row, column);
        }
        return;
    }
    if (rows == 0) {
        return;
    }
    // A header chooses its whole column or row.
    if (point.y < m_columnHeaderHeight && point.x >= m_rowHeaderWidth) {
        CellAt({point.x, m_columnHeaderHeight}, row, column);
        if (column >= 0) {
            m_anchorRow = rows - 1;
            m_anchorColumn = column;
            m_currentRow = m_firstRow;
            m_currentColumn = column;
        }
    } else if (point.x < m_rowHeaderWidth && point.y >= m_columnHeaderHeight) {
        row = m_firstRow + (point.y - m_columnHeaderHeight) / m_rowHeight;
        if (row < rows) {
            m_anchorRow = row;
            m_anchorColumn = columns - 1;
            m_currentRow = row;
            m_currentColumn = m_firstColumn;
        }
    }
    ::InvalidateRect(m_window, nullptr, FALSE);
    m_events.SelectionChanged();
}

void TableGrid::KeyDown(WPARAM key) {
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const int rows = m_source.RowCount();
    const int columns = m_source.ColumnCount();
    if (rows == 0) {
        return;
    }
    int row = std::max(m_currentRow, 0);
    int column = std::max(m_currentColumn, 0);
    if (m_currentRow < 0) {
        MoveCurrent(0, 0, false);
        return;
    }
    switch (key) {
        case VK_UP:
            --row;
            break;
        case VK_DOWN:
            ++row;
            break;
        case VK_LEFT:
            --column;
            break;
        case VK_RIGHT:
            ++column;
            break;
        case VK_PRIOR:
            row -= VisibleRows();
            break;
        case VK_NEXT:
            row += VisibleRows();
            break;
        case VK_HOME:
            column = 0;
            row = control ? 0 : row;
            break;
        case VK_END:
            column = columns - 1;
            row = control ? rows - 1 : row;
            break;
        case VK_F2:
        case VK_RETURN:
            if (m_cells == Cells::Text) {
                m_events.EditRequested(m_currentRow, m_currentColumn, 0);
            }
            return;
        default:
            return;
    }
    MoveCurrent(row, column, shift);
}

void TableGrid::PaintColumnHeader(HDC dc, int column, const RECT& rect, bool selected) {
    Fill(dc, rect, ::GetSysColor(COLOR_BTNFACE));
    RECT edge{rect.right - 1, rect.top, rect.right, rect.bottom};
    Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
    edge = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
    Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
    const std::wstring text = m_source.ColumnHeader(column);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    const int padding = Scale(kPadding, m_dpi);
    if (m_cells == Cells::Check) {
        // Upwards from the bottom, centred across the column.
        ::SelectObject(dc, m_upwardFont);
        if (selected) {
            ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        }
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        const int x = rect.left + (rect.right - rect.left - metrics.tmHeight) / 2;
        ::ExtTextOutW(dc, x, rect.bottom - padding, ETO_CLIPPED, &rect, text.c_str(),
                      static_cast<UINT>(text.size()), nullptr);
    } else {
        ::SelectObject(dc, selected ? m_boldFont : m_font);
        RECT inner{rect.left + padding, rect.top, rect.right - padding, rect.bottom};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                        (m_source.RightAligned(column) ? DT_RIGHT : DT_LEFT));
    }
    ::SetBkMode(dc, OPAQUE);
}

void TableGrid::PaintCell(HDC dc, int row, int column, const RECT& rect, bool selected) {
    const bool focused = ::GetFocus() == m_window;
    const bool pending = m_source.CellPending(row, column);
    COLORREF background = pending ? PendingColour() : ::GetSysColor(COLOR_WINDOW);
    if (selected) {
        const COLORREF highlight = ::GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        background = pending ? Mix(highlight, PendingColour()) : highlight;
    }
    Fill(dc, rect, background);
    RECT line{rect.right - 1, rect.top, rect.right, rect.bottom};
    Fill(dc, line, ::GetSysColor(COLOR_BTNFACE));
    line = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
    Fill(dc, line, ::GetSysColor(COLOR_BTNFACE));
    if (m_cells == Cells::Check) {
        RECT box = CheckBoxRect(rect);
        const bool checked = m_source.CellChecked(row, column);
        if (m_theme != nullptr) {
            ::DrawThemeBackground(m_theme, dc, BP_CHECKBOX,
                                  checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, &box, nullptr);
        } else {
            ::DrawFrameControl(dc, &box, DFC_BUTTON,
                               DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
        }
    } else {
        const std::wstring text = m_source.CellText(row, column);
        ::SelectObject(dc, pending ? m_boldFont : m_font);
        ::SetTextColor(dc,
                       ::GetSysColor(selected && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::SetBkMode(dc, TRANSPARENT);
        const int padding = Scale(kPadding, m_dpi);
        RECT inner{rect.left + padding, rect.top, rect.right - padding, rect.bottom};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                        (m_source.RightAligned(column) ? DT_RIGHT : DT_LEFT));
        ::SetBkMode(dc, OPAQUE);
    }
    if (focused && row == m_currentRow && column == m_currentColumn) {
        RECT focus = rect;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc, &focus);
    }
}

void TableGrid::Paint(HDC dc, const RECT& update) {
    RECT client{};
    ::GetClientRect(m_window, &client);
    Fill(dc, client, ::GetSysColor(COLOR_WINDOW));
    const int rows = m_source.RowCount();
    const int columns = m_source.ColumnCount();
    const int top = std::min(m_anchorRow, m_currentRow);
    const int bottom = std::max(m_anchorRow, m_currentRow);
    const int left = std::min(m_anchorColumn, m_currentColumn);
    const int right = std::max(m_anchorColumn, m_currentColumn);
    const bool anySelected = m_currentRow >= 0 && m_anchorRow >= 0;
    const auto rowSelected = [&](int row) { return anySelected && row >= top && row <= bottom; };
    const auto columnSelected = [&](int column) {
        return anySelected && column >= left && column <= right;
    };
    const HGDIOBJ previousFont = ::SelectObject(dc, m_font);

    // The cells, then the row headers over their left edge, then the column headers.
    for (int row = m_firstRow; row < rows; ++row) {
        const int y = m_columnHeaderHeight + (row - m_firstRow) * m_rowHeight;
        if (y >= client.bottom) {
            break;
        }
        if (y + m_rowHeight <= update.top || y >= update.bottom) {
            continue;
        }
        int x = m_rowHeaderWidth;
        for (int column = m_firstColumn; column < columns && x < client.right; ++column) {
            const int width = ColumnWidth(column);
            const RECT cell{x, y, x + width, y + m_rowHeight};
            if (cell.right > update.left && cell.left < update.right) {
                PaintCell(dc, row, column, cell, rowSelected(row) && columnSelected(column));
            }
            x += width;
        }
        const RECT header{0, y, m_rowHeaderWidth, y + m_rowHeight};
        Fill(dc, header, ::GetSysColor(COLOR_BTNFACE));
        RECT edge{header.right - 1, header.top, header.right, header.bottom};
        Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
        edge = {header.left, header.bottom - 1, header.right, header.bottom};
        Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
        const std::wstring text = m_source.RowHeader(row);
        ::SelectObject(dc, rowSelected(row) ? m_boldFont : m_font);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::SetBkMode(dc, TRANSPARENT);
        const int padding = Scale(kPadding, m_dpi);
        RECT inner{header.left + padding, header.top, header.right - padding, header.bottom};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
        ::SetBkMode(dc, OPAQUE);
    }
    if (update.top < m_columnHeaderHeight) {
        int x = m_rowHeaderWidth;
        for (int column = m_firstColumn; column < columns && x < client.right; ++column) {
            const int width = ColumnWidth(column);
            PaintColumnHeader(dc, column, {x, 0, x + width, m_columnHeaderHeight},
                              columnSelected(column));
            x += width;
        }
        const RECT corner{0, 0, m_rowHeaderWidth, m_columnHeaderHeight};
        Fill(dc, corner, ::GetSysColor(COLOR_BTNFACE));
        RECT edge{corner.right - 1, 0, corner.right, corner.bottom};
        Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
        edge = {0, corner.bottom - 1, corner.right, corner.bottom};
        Fill(dc, edge, ::GetSysColor(COLOR_BTNSHADOW));
    }
    ::SelectObject(dc, previousFont);
}

LRESULT CALLBACK TableGrid::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TableGrid*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TableGrid*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TableGrid::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(m_window, &paint);
            // Drawn off screen first, so that nothing flickers.
            RECT client{};
            ::GetClientRect(m_window, &client);
            const HDC memory = ::CreateCompatibleDC(dc);
            const HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                            std::max<LONG>(client.bottom, 1));
            const HGDIOBJ previous = ::SelectObject(memory, bitmap);
            Paint(memory, paint.rcPaint);
            ::BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top,
                     paint.rcPaint.right - paint.rcPaint.left,
                     paint.rcPaint.bottom - paint.rcPaint.top, memory, paint.rcPaint.left,
                     paint.rcPaint.top, SRCCOPY);
            ::SelectObject(memory, previous);
            ::DeleteObject(bitmap);
            ::DeleteDC(memory);
            ::EndPaint(m_window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Refresh();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(m_window, nullptr, FALSE);
            return 0;
        case WM_GETDLGCODE: {
            // The arrows and characters are the grid's; Enter too, which edits a text cell.
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending != nullptr && pending->message == WM_KEYDOWN &&
                pending->wParam == VK_RETURN && m_cells == Cells::Text) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            KeyDown(wParam);
            return 0;
        case WM_CHAR:
            if (m_cells == Cells::Text && wParam >= 0x20 && wParam != 0x7F && m_currentRow >= 0 &&
                (::GetKeyState(VK_CONTROL) & 0x8000) == 0) {
                m_events.EditRequested(m_currentRow, m_currentColumn, static_cast<wchar_t>(wParam));
            }
            return 0;
        case WM_LBUTTONDOWN:
            MouseDown(lParam, (wParam & MK_SHIFT) != 0);
            return 0;
        case WM_MOUSEMOVE:
            if (m_dragging) {
                POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                RECT client{};
                ::GetClientRect(m_window, &client);
                point.x = std::clamp<LONG>(point.x, m_rowHeaderWidth, client.right - 1);
                point.y = std::clamp<LONG>(point.y, m_columnHeaderHeight, client.bottom - 1);
                int row = 0;
                int column = 0;
                if (CellAt(point, row, column) &&
                    (row != m_currentRow || column != m_currentColumn)) {
                    MoveCurrent(row, column, true);
                }
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (m_dragging) {
                m_dragging = false;
                if (message == WM_LBUTTONUP) {
                    ::ReleaseCapture();
                }
            }
            return 0;
        case WM_LBUTTONDBLCLK: {
            int row = 0;
            int column = 0;
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (CellAt(point, row, column)) {
                MoveCurrent(row, column, false);
                if (m_cells == Cells::Text) {
                    m_events.EditRequested(row, column, 0);
                } else if (const RECT box = CheckBoxRect(CellRect(row, column));
                           ::PtInRect(&box, point)) {
                    // The second click of a double click on a box is a click of its own.
                    m_events.CheckClicked(row, column);
                }
            }
            return 0;
        }
        case WM_RBUTTONDOWN: {
            ::SetFocus(m_window);
            int row = 0;
            int column = 0;
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const auto selected = Selected();
            if (CellAt(point, row, column) && std::find(selected.begin(), selected.end(),
                                                        std::pair(row, column)) == selected.end()) {
                MoveCurrent(row, column, false);
            }
            return 0;
        }
        case WM_CONTEXTMENU: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (at.x == -1 && at.y == -1) {
                // From the keyboard: at the current cell.
                const RECT cell =
                    m_currentRow >= 0 ? CellRect(m_currentRow, m_currentColumn) : RECT{0, 0, 0, 0};
                at = {cell.left + (cell.right - cell.left) / 2, cell.bottom};
                ::ClientToScreen(m_window, &at);
            }
            m_events.ContextMenu(at);
            return 0;
        }
        case WM_MOUSEWHEEL:
            Scroll(SB_VERT, -1, -3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
            return 0;
        case WM_MOUSEHWHEEL:
            Scroll(SB_HORZ, -1, 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
            return 0;
        case WM_VSCROLL:
            Scroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            Scroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_THEMECHANGED:
            if (m_theme != nullptr) {
                ::CloseThemeData(m_theme);
                m_theme = ::OpenThemeData(m_window, L"BUTTON");
            }
            Measure();
            Refresh();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace brindlewick::win32
