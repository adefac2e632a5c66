#include "TableEditorBench.h"

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "EveryBit.h"
#include "Measure.h"
#include "platform/Messages.h"
#include "rom/RomNames.h"
#include "rom/RomProfile.h"
#include "rom/RomTables.h"
#include "rom/TableLocation.h"
#include "rom/TablePlaces.h"
#include "tables/ImportPlan.h"
#include "tables/TableEdits.h"
#include "win32/TableEditorWindow.h"
#include "win32/TableGrid.h"
#include "win32/Text.h"

namespace brindlewick::bench {
namespace {

using win32::TableEditorWindow;

// Each timed batch uses at least this much processor time: Wine counts a thread's time in
// ticks of the kernel's clock (10 ms), so a batch spans many ticks.
constexpr double kMinimumBatchMilliseconds = 300;

// The processor time this thread has used, in the kernel included, in milliseconds.
double ThreadMilliseconds() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& time) {
        ULARGE_INTEGER whole{};
        whole.LowPart = time.dwLowDateTime;
        whole.HighPart = time.dwHighDateTime;
        return static_cast<double>(whole.QuadPart) / 1e4;  // 100 ns units
    };
    return value(kernel) + value(user);
}

// How many repetitions of `once` make a batch of kMinimumBatchMilliseconds; false when one
// failed.
std::optional<int> BatchSize(const std::function<bool()>& once) {
    for (int repetitions = 1;; repetitions *= 2) {
        const double start = ThreadMilliseconds();
        for (int i = 0; i < repetitions; ++i) {
            if (!once()) {
                return std::nullopt;
            }
        }
        if (ThreadMilliseconds() - start >= kMinimumBatchMilliseconds) {
            return repetitions;
        }
    }
}

// Milliseconds per repetition of one batch; nothing when one failed.
std::optional<double> TimeBatch(const std::function<bool()>& once, int repetitions) {
    const double start = ThreadMilliseconds();
    for (int i = 0; i < repetitions; ++i) {
        if (!once()) {
            return std::nullopt;
        }
    }
    return (ThreadMilliseconds() - start) / repetitions;
}

// Alternating batches of `ours` and `baseline`, which share whatever else the machine does.
bool Compare(const char* figure, const std::function<bool()>& ours, const char* baselineName,
             const std::function<bool()>& baseline, const char* unit, double scale, int runs,
             const std::string& note) {
    const auto oursBatch = BatchSize(ours);
    const auto baselineBatch = BatchSize(baseline);
    if (!oursBatch || !baselineBatch) {
        return false;
    }
    std::vector<double> oursTimes;
    std::vector<double> baselineTimes;
    for (int run = 0; run < runs; ++run) {
        const auto one = TimeBatch(ours, *oursBatch);
        const auto other = TimeBatch(baseline, *baselineBatch);
        if (!one || !other) {
            return false;
        }
        oursTimes.push_back(*one * scale);
        baselineTimes.push_back(*other * scale);
    }
    Report(figure, Median(oursTimes), baselineName, Median(baselineTimes), unit,
           std::to_string(runs) + " batches of each, medians" + note);
    return true;
}

// A scratch copy of a 2 MiB image of English Crystal (zeros and the game code), removed at
// the end.
class ScratchImage {
public:
    ScratchImage() {
        wchar_t folder[MAX_PATH];
        wchar_t name[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        ::GetTempFileNameW(folder, L"bwb", 0, name);
        m_path = name;
        std::vector<unsigned char> bytes(2 * 1024 * 1024, 0);
        std::copy_n("AAUE", 4, bytes.begin() + 0x13F);
        const HANDLE file = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        m_ok =
            file != INVALID_HANDLE_VALUE &&
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
        if (file != INVALID_HANDLE_VALUE) {
            m_ok = ::CloseHandle(file) && m_ok;
        }
    }
    ~ScratchImage() { ::DeleteFileW(m_path.c_str()); }
    ScratchImage(const ScratchImage&) = delete;
    ScratchImage& operator=(const ScratchImage&) = delete;

    bool Ok() const { return m_ok; }
    const std::wstring& WidePath() const { return m_path; }
    std::string Path() const { return win32::Utf8(m_path); }

private:
    std::wstring m_path;
    bool m_ok = false;
};

// Dispatches messages until `painted` holds (or 10 s passed); false when it never did.
bool PumpUntil(const bool& painted) {
    const ULONGLONG until = ::GetTickCount64() + 10000;
    MSG message{};
    while (!painted && ::GetTickCount64() < until) {
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        } else {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return painted;
}

// Notes, in the flag `data` points at, that `window` has finished a paint.
LRESULT CALLBACK NotePaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                           DWORD_PTR data) {
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        ::RemoveWindowSubclass(window, &NotePaint, id);
        *reinterpret_cast<bool*>(data) = true;
    }
    return result;
}

// How the editor showed its compatibility grid, so that the bare window is shown alike.
struct GridShape {
    SIZE window{};
    RECT grid{};  // in the window's client area
    SIZE cell{};
    int rowHeader = 0;
    int columnHeader = 0;
};

// From opening the table editor to the end of its compatibility grid's first paint.
bool EditorFirstPaint(const std::string& romPath, const LocatedTables& located, GridShape& shape) {
    // The synthetic image holds no names: the lists' names, as the window shows them then.
    auto editor = TableEditorWindow::Open(nullptr, romPath, located, RomNames{}, {});
    if (editor == nullptr) {
        return false;
    }
    const HWND tab = editor->Control("tabTables");
    const HWND grid = editor->Control("tblCompatibility");
    ::SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
    ::SendMessageW(editor->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    bool painted = false;
    ::SetWindowSubclass(grid, &NotePaint, 1, reinterpret_cast<DWORD_PTR>(&painted));
    editor->Show();
    const bool ok = PumpUntil(painted);
    RECT window{};
    ::GetWindowRect(editor->Handle(), &window);
    shape.window = {window.right - window.left, window.bottom - window.top};
    ::GetClientRect(grid, &shape.grid);
    ::MapWindowPoints(grid, editor->Handle(), reinterpret_cast<POINT*>(&shape.grid), 2);
    const RECT first = editor->CompatibilityGrid().CellRect(0, 0);
    shape.cell = {first.right - first.left, first.bottom - first.top};
    shape.rowHeader = first.left;
    shape.columnHeader = first.top;
    editor.reset();
    return ok;
}

// A grid with nothing behind it: header cells and unticked check cells of the editor's
// sizes, drawn off screen with the calls the editor's grid makes for them.
class BareGrid {
public:
    explicit BareGrid(const GridShape& shape) : m_shape(shape) {}

    void Paint(HWND window) const {
        PAINTSTRUCT paint{};
        const HDC dc = ::BeginPaint(window, &paint);
        RECT client{};
        ::GetClientRect(window, &client);
        const HDC memory = ::CreateCompatibleDC(dc);
        const HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                                        std::max<LONG>(client.bottom, 1));
        const HGDIOBJ previous = ::SelectObject(memory, bitmap);
        const HTHEME theme = ::OpenThemeData(window, L"BUTTON");
        Fill(memory, client, ::GetSysColor(COLOR_WINDOW));
        SIZE box{13, 13};
        if (theme != nullptr) {
            ::GetThemePartSize(theme, memory, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_TRUE,
                               &box);
        }
        const std::wstring rowText = L"Bulbasaur";
        const std::wstring columnText = L"TM01";
        for (int y = m_shape.columnHeader; y < client.bottom; y += m_shape.cell.cy) {
            for (int x = m_shape.rowHeader; x < client.right; x += m_shape.cell.cx) {
                const RECT cell{x, y, x + m_shape.cell.cx, y + m_shape.cell.cy};
                Fill(memory, cell, ::GetSysColor(COLOR_WINDOW));
                Fill(memory, {cell.right - 1, cell.top, cell.right, cell.bottom},
                     ::GetSysColor(COLOR_BTNFACE));
                Fill(memory, {cell.left, cell.bottom - 1, cell.right, cell.bottom},
                     ::GetSysColor(COLOR_BTNFACE));
                RECT check{x + (m_shape.cell.cx - box.cx) / 2, y + (m_shape.cell.cy - box.cy) / 2,
                           0, 0};
                check.right = check.left + box.cx;
                check.bottom = check.top + box.cy;
                if (theme != nullptr) {
                    ::DrawThemeBackground(theme, memory, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, &check,
                                          nullptr);
                } else {
                    ::DrawFrameControl(memory, &check, DFC_BUTTON, DFCS_BUTTONCHECK);
                }
            }
            RECT header{0, y, m_shape.rowHeader, y + m_shape.cell.cy};
            Fill(memory, header, ::GetSysColor(COLOR_BTNFACE));
            ::SetBkMode(memory, TRANSPARENT);
            ::DrawTextW(memory, rowText.c_str(), static_cast<int>(rowText.size()), &header,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
            ::SetBkMode(memory, OPAQUE);
        }
        for (int x = m_shape.rowHeader; x < client.right; x += m_shape.cell.cx) {
            const RECT header{x, 0, x + m_shape.cell.cx, m_shape.columnHeader};
            Fill(memory, header, ::GetSysColor(COLOR_BTNFACE));
            ::SetBkMode(memory, TRANSPARENT);
            ::ExtTextOutW(memory, x, header.bottom - 2, ETO_CLIPPED, &header, columnText.c_str(),
                          static_cast<UINT>(columnText.size()), nullptr);
            ::SetBkMode(memory, OPAQUE);
        }
        if (theme != nullptr) {
            ::CloseThemeData(theme);
        }
        ::BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top,
                 paint.rcPaint.right - paint.rcPaint.left, paint.rcPaint.bottom - paint.rcPaint.top,
                 memory, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::EndPaint(window, &paint);
    }

private:
    static void Fill(HDC dc, const RECT& rect, COLORREF colour) {
        ::SetBkColor(dc, colour);
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    }

    GridShape m_shape;
};

LRESULT CALLBACK BareGridProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        reinterpret_cast<const BareGrid*>(::GetWindowLongPtrW(window, GWLP_USERDATA))
            ->Paint(window);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// From creating a bare window of the editor's size to the end of its grid's first paint.
bool BareFirstPaint(const GridShape& shape) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static const bool registered = [instance] {
        WNDCLASSEXW frame{};
        frame.cbSize = sizeof frame;
        frame.hInstance = instance;
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = L"BareFrame";
        frame.lpfnWndProc = ::DefWindowProcW;
        WNDCLASSEXW grid = frame;
        grid.hbrBackground = nullptr;
        grid.lpszClassName = L"BareGrid";
        grid.lpfnWndProc = BareGridProc;
        return ::RegisterClassExW(&frame) != 0 && ::RegisterClassExW(&grid) != 0;
    }();
    if (!registered) {
        return false;
    }
    const BareGrid painter(shape);
    const HWND window = ::CreateWindowExW(0, L"BareFrame", L"Bare", WS_OVERLAPPEDWINDOW,
                                          CW_USEDEFAULT, CW_USEDEFAULT, shape.window.cx,
                                          shape.window.cy, nullptr, nullptr, instance, nullptr);
    const HWND grid =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, L"BareGrid", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                          shape.grid.left, shape.grid.top, shape.grid.right - shape.grid.left,
                          shape.grid.bottom - shape.grid.top, window, nullptr, instance, nullptr);
    if (window == nullptr || grid == nullptr) {
        return false;
    }
    ::SetWindowLongPtrW(grid, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&painter));
    bool painted = false;
    ::SetWindowSubclass(grid, &NotePaint, 1, reinterpret_cast<DWORD_PTR>(&painted));
    ::ShowWindow(window, SW_SHOW);
    const bool ok = PumpUntil(painted);
    ::DestroyWindow(window);
    return ok;
}

bool MeasureFirstPaint(const ScratchImage& image, const RomProfile& profile, int runs) {
    LocatedTables located;
    located.places = RowPlaces(profile);
    GridShape shape;
    // The first window loads what every later one shares (fonts, theme); it is not timed.
    if (!EditorFirstPaint(image.Path(), located, shape) || !BareFirstPaint(shape)) {
        return false;
    }
    const int cells =
        ((shape.grid.right - shape.grid.left - shape.rowHeader) / shape.cell.cx + 1) *
        ((shape.grid.bottom - shape.grid.top - shape.columnHeader) / shape.cell.cy + 1);
    return Compare(
        "table editor first paint", [&] { return EditorFirstPaint(image.Path(), located, shape); },
        "bare grid", [&] { return BareFirstPaint(shape); }, "ms", 1, runs,
        ", " + std::to_string(shape.window.cx) + "x" + std::to_string(shape.window.cy) + ", ~" +
            std::to_string(cells) + " cells");
}

// The least a write of `runs` takes on Windows, straight on the system's calls.
bool WriteRunsFloor(const std::wstring& path, const std::vector<FileRun>& runs) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    for (const FileRun& run : runs) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(run.offset);
        DWORD written = 0;
        ok = ::WriteFile(file, run.bytes.data(), static_cast<DWORD>(run.bytes.size()), &written,
                         &at) &&
             written == run.bytes.size() && ok;
    }
    ok = ::FlushFileBuffers(file) && ok;
    return ::CloseHandle(file) && ok;
}

bool MeasureSave(const ScratchImage& image, const RomProfile& profile, int runs) {
    const TablePlaces places = RowPlaces(profile);
    const auto first = FlipEveryBit(image.Path(), places);
    if (!first) {
        return false;
    }
    const ImportPlan plan = PlanImport(places, first->AsRead(), first->Target());
    const std::vector<FileRun> changedRuns = ChangedRuns(plan);
    if (plan.machinesChanged != 0 || plan.speciesChanged != kSpeciesCount) {
        return false;
    }
    // Each save makes its edits first; their time, measured alone, is taken off again, so that
    // the figure is the save's.
    const auto saveOnly = [&] {
        auto edits = FlipEveryBit(image.Path(), places);
        return edits && SaveTableEdits(image.Path(), places, *edits) == ImportStatus::Written &&
               !edits->HasPending();
    };
    const auto floor = [&] { return WriteRunsFloor(image.WidePath(), changedRuns); };
    const auto editsOnly = [&] { return FlipEveryBit(image.Path(), places).has_value(); };
    const auto editBatch = BatchSize(editsOnly);
    const auto editTime = editBatch ? TimeBatch(editsOnly, *editBatch) : std::nullopt;
    if (!editTime) {
        return false;
    }
    const auto saveBatch = BatchSize(saveOnly);
    const auto floorBatch = BatchSize(floor);
    if (!saveBatch || !floorBatch) {
        return false;
    }
    std::vector<double> saveTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < runs; ++run) {
        const auto saves = TimeBatch(saveOnly, *saveBatch);
        const auto floors = TimeBatch(floor, *floorBatch);
        if (!saves || !floors) {
            return false;
        }
        saveTimes.push_back((*saves - *editTime) * 1000);
        floorTimes.push_back(*floors * 1000);
    }
    Report("table editor save of every bit", Median(saveTimes), "floor", Median(floorTimes), "us",
           std::to_string(changedRuns.size()) + " runs of bytes, " + std::to_string(runs) +
               " batches of each, medians");
    return true;
}

// Answers every question no and keeps the last message, so that a failure can be told.
class QuietSink final : public MessageSink {
public:
    void Show(const Message& message) override { last = message.text; }
    std::string last;
};

}  // namespace

bool RunWin32TableEditor(int runs) {
    const RomProfile* profile = Identify("AAUE");
    const ScratchImage image;
    if (profile == nullptr || !image.Ok()) {
        std::fprintf(stderr, "brindlewick_win32_bench: no scratch image\n");
        return false;
    }
    QuietSink sink;
    MessageSink* const previous = SetMessageSink(&sink);
    const bool ok = MeasureFirstPaint(image, *profile, runs) && MeasureSave(image, *profile, runs);
    SetMessageSink(previous);
    if (!ok) {
        std::fprintf(stderr, "brindlewick_win32_bench: a table editor figure failed: %s\n",
                     sink.last.c_str());
    }
    return ok;
}

}  // namespace brindlewick::bench
