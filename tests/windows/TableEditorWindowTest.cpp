// The Windows table editor, opened from the main window and worked with the messages Windows
// sends when a person uses it: keys through the message loop's shortcuts and dialog keys, clicks
// on the grid, typed text, the clipboard. What counts is what the file holds afterwards. And a
// file dropped on the main window, with a real HDROP.
#include <shlobj.h>

#include <cstring>

#include <gtest/gtest.h>

#include "editor/WindowCommands.h"
#include "support/CartridgeImage.h"
#include "support/FixtureImages.h"
#include "support/TestSupport.h"
#include "win32/Clipboard.h"
#include "win32/MainWindow.h"
#include "win32/TableEditorWindow.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

using test::Bytes;
using test::FieldAt;
using test::ReleaseOf;

constexpr int kSurf = 57;

const test::Release& Gold() {
    return ReleaseOf("AAUE");
}

// A synthetic image whose first species learn no machine, so ticks are easy to follow.
Bytes KnownRom() {
    Bytes image = test::SyntheticRomBytes("AAUE");
    for (int species = 0; species < 30; ++species) {
        for (int j = 0; j < test::kFieldLength; ++j) {
            image[FieldAt(Gold(), species, j)] = 0;
        }
    }
    image[test::MoveAt(Gold(), 0)] = 5;
    test::PutPrice(image, test::PriceAt(Gold(), 0), 3000);
    return image;
}

// Runs the messages posted so far (the characters TranslateMessage makes of a key).
void Pump() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

class TableEditorWindowTest : public ::testing::Test {
protected:
    TableEditorWindowTest() {
        m_rom = m_dir.File("tables.gbc");
        test::WriteFileBytes(m_rom, KnownRom());
        m_window.SetFileChooser([this](const MainWindow::FileRequest&) { return m_answer; });
        ::ShowWindow(m_window.Handle(), SW_SHOW);
    }
    ~TableEditorWindowTest() override {
        BYTE released[256] = {};
        ::SetKeyboardState(released);
    }

    // A key as a person presses it where the keyboard is (or in `target`): through the
    // program's message loop, its shortcuts and dialog keys first.
    void Key(WORD key, bool control = false, bool shift = false, HWND target = nullptr) {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG message{target != nullptr ? target : ::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        if (!m_window.PreTranslate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        Pump();
        BYTE released[256] = {};
        ::SetKeyboardState(released);
    }

    // Characters typed where the keyboard is.
    void Type(const std::string& text) {
        for (const wchar_t c : Wide(text)) {
            ::SendMessageW(::GetFocus(), WM_CHAR, c, 0);
            Pump();
        }
    }

    // A click on the box of the grid's cell.
    void ClickCell(const TableGrid& grid, int row, int column, bool shift = false) {
        const RECT cell = grid.CellRect(row, column);
        const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        ::SendMessageW(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), at);
        ::SendMessageW(grid.Handle(), WM_LBUTTONUP, 0, at);
    }

    void OpenRom(const std::string& path) {
        m_answer = path;
        ::SendMessageW(m_window.Handle(), WM_COMMAND, MAKEWPARAM(kMenuOpen, 0), 0);
        m_answer.clear();
    }

    TableEditorWindow* OpenEditor() {
        if (!m_window.GetEditor().RomOpen()) {
            OpenRom(m_rom);
        }
        ::SetFocus(m_window.Control("lstTM"));
        Key('T', true);
        return m_window.TableEditor();
    }

    std::string Pending(const TableEditorWindow& editor) const {
        return WindowText(editor.Control("lblPending"));
    }

    void ShowCompatibility(TableEditorWindow& editor) {
        const HWND tab = editor.Control("tabTables");
        ::SendMessageW(tab, TCM_SETCURSEL, 1, 0);
        NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
        ::SendMessageW(editor.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
        ::SetFocus(editor.Control("tblCompatibility"));
    }

    test::TempDir m_dir;
    test::RecordingSink m_sink;
    MainWindow m_window{false};
    std::string m_rom;
    std::string m_answer;
};

TEST_F(TableEditorWindowTest, OpensFromToolsOnceARomIsOpenWithBothGrids) {
    const auto enabled = [this] {
        return (::GetMenuState(m_window.Menu(), kMenuTableEditor, MF_BYCOMMAND) & MF_GRAYED) == 0;
    };
    EXPECT_FALSE(enabled());
    Key('T', true, false, m_window.Handle());
    EXPECT_EQ(m_window.TableEditor(), nullptr);
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(enabled());
    EXPECT_EQ(WindowText(editor->Handle()), "tables.gbc (AAUE) - Table Editor - Brindlewick");
    EXPECT_EQ(Pending(*editor), "No edits pending");
    EXPECT_TRUE(::IsWindowEnabled(m_window.Handle())) << "the main window stays usable";
    EXPECT_EQ(::GetWindow(editor->Handle(), GW_OWNER), m_window.Handle());
    // Both grids are whole: 57 machines, 251 species by 57 machines, the names the core gives.
    EXPECT_EQ(::SendMessageW(editor->Control("tabTables"), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_FALSE(::IsWindowEnabled(editor->Control("btnReload")) &&
                 ::IsWindowVisible(editor->Control("btnReload")));
    ShowCompatibility(*editor);
    EXPECT_TRUE(::IsWindowVisible(editor->Control("tblCompatibility")));
    EXPECT_FALSE(::IsWindowVisible(editor->Control("tblMachines")));
    // The upward headers are as tall as the longest machine-and-move text, and a row is no
    // taller than a line of text and its air.
    const RECT first = editor->CompatibilityGrid().CellRect(0, 0);
    EXPECT_GT(first.top, 2 * (first.bottom - first.top));
    // Ctrl+T again brings the same window to the front.
    const HWND handle = editor->Handle();
    ::SetFocus(m_window.Control("lstTM"));
    Key('T', true);
    EXPECT_EQ(m_window.TableEditor()->Handle(), handle);
}

// The French extract in the Windows window: its grids name the species and moves as the game
// does, and the filter takes a type by its French name, from the texts both windows share.
TEST_F(TableEditorWindowTest, AFrenchRomShowsItsOwnNames) {
    const auto image = test::LoadFixtureImage("crystal-fr");
    if (!image) {
        GTEST_SKIP() << "the extracts of real builds are not at " << test::FixturesDir().string();
    }
    m_rom = m_dir.File("crystal-fr.gbc");
    test::WriteFileBytes(m_rom, *image);
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    const GridSource& species = editor->CompatibilityGrid().Source();
    EXPECT_EQ(species.RowHeader(0), L"001 BULBIZARRE");
    EXPECT_EQ(species.RowHeader(250), L"251 CELEBI");
    // TM01 teaches Dynamicpunch, DYNAMOPOING in French.
    EXPECT_EQ(species.ColumnHeader(0), L"TM01 DYNAMOPOING");
    EXPECT_EQ(editor->MachinesGrid().Source().CellText(0, 0), L"DYNAMOPOING");
    // The main window's lists keep their own entries.
    wchar_t pound[32] = {};
    ::SendMessageW(m_window.Control("lstAttack"), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(pound));
    EXPECT_EQ(std::wstring(pound), L"Pound");

    wchar_t cue[64] = {};
    ::SendMessageW(editor->Control("txtFilter"), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue),
                   64);
    EXPECT_EQ(std::wstring(cue), L"name, number or type:feu");
    ShowCompatibility(*editor);
    ::SetWindowTextW(editor->Control("txtFilter"), L"type:feu");
    Pump();
    // The 22 species with Fire as either type, Charmander's line first.
    EXPECT_EQ(species.RowCount(), 22);
    EXPECT_EQ(species.RowHeader(0), L"004 SALAMECHE");
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(TableEditorWindowTest, TicksFilterPasteUndoRedoAndSaveWriteExactlyTheirBytes) {
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    const TableGrid& grid = editor->CompatibilityGrid();
    ShowCompatibility(*editor);

    // A click ticks Bulbasaur's TM01; a block of Bulbasaur..Venusaur x TM01..TM02 made with
    // Shift+arrows takes the opposite of it with Space: one step.
    ClickCell(grid, 0, 0);
    EXPECT_EQ(Pending(*editor), "1 edit not saved");
    Key(VK_DOWN, false, true);
    Key(VK_DOWN, false, true);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(grid.Selected().size(), 6u);
    // The current cell, Venusaur's TM02, is clear: the whole block is ticked.
    Key(VK_SPACE);
    EXPECT_EQ(Pending(*editor), "6 edits not saved");
    EXPECT_NE(WindowText(editor->Handle()).find("tables.gbc*"), std::string::npos);

    // Filtered to Pikachu, a pasted row of three at TM04.
    Key('F', true);
    const HWND filter = editor->Control("txtFilter");
    EXPECT_EQ(::GetFocus(), filter);
    ::SetWindowTextW(filter, L"pika");
    Key(VK_RETURN);
    EXPECT_EQ(::GetFocus(), grid.Handle());
    EXPECT_EQ(grid.CurrentRow(), 0);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    ASSERT_TRUE(SetClipboardText(editor->Handle(), "1\t0\t1\r\n"));
    Key('V', true);
    EXPECT_EQ(Pending(*editor), "8 edits not saved");
    // A block too tall for the one row shown changes nothing and says why.
    ASSERT_TRUE(SetClipboardText(editor->Handle(), "1\n1\n"));
    Key('V', true);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("room for 1 row"), std::string::npos);
    EXPECT_EQ(Pending(*editor), "8 edits not saved");
    m_sink.Clear();
    // Copy gives the row back, as a spreadsheet takes it.
    Key(VK_RIGHT, false, true);
    Key(VK_RIGHT, false, true);
    Key('C', true);
    EXPECT_EQ(ClipboardText(editor->Handle()), "1\t0\t1\n");
    ::SetWindowTextW(filter, L"");

    // Undo takes the paste back as one step, Redo brings it again (both of its keys).
    Key('Z', true);
    EXPECT_EQ(Pending(*editor), "6 edits not saved");
    Key('Y', true);
    EXPECT_EQ(Pending(*editor), "8 edits not saved");
    Key('Z', true);
    Key('Z', true, true);
    EXPECT_EQ(Pending(*editor), "8 edits not saved");

    // TM01 teaches Surf, typed; TM05 costs 2000, its first digit opening the cell's editor.
    const HWND tab = editor->Control("tabTables");
    ::SendMessageW(tab, TCM_SETCURSEL, 0, 0);
    NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
    ::SendMessageW(editor->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    const HWND machines = editor->Control("tblMachines");
    ::SetFocus(machines);
    Key(VK_HOME, true);
    Key(VK_F2);
    const HWND cellEditor = editor->Control("txtCellEditor");
    EXPECT_EQ(::GetFocus(), cellEditor);
    EXPECT_EQ(WindowText(cellEditor), "Mega Punch");
    ::SetWindowTextW(cellEditor, L"");
    Type("sur");
    // The moves that contain the text are offered; Down and Enter take the first of them.
    const HWND completions = editor->Control("lstMoveCompletions");
    EXPECT_TRUE(::IsWindowVisible(completions));
    ASSERT_GE(::SendMessageW(completions, LB_GETCOUNT, 0, 0), 1);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(::IsWindowVisible(cellEditor));
    EXPECT_EQ(::GetFocus(), machines);
    EXPECT_EQ(editor->Session().Edits().Value({CellKind::Move, 0, 0}), kSurf);
    // A name that is no move is refused and said so; the cell keeps Surf.
    Key(VK_F2);
    ::SetWindowTextW(cellEditor, L"Surfing");
    Key(VK_RETURN);
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(editor->Session().Edits().Value({CellKind::Move, 0, 0}), kSurf);
    m_sink.Clear();
    for (int i = 0; i < 4; ++i) {
        Key(VK_DOWN);
    }
    Key(VK_RIGHT);
    Type("2");
    EXPECT_EQ(::GetFocus(), cellEditor);
    Type("000");
    Key(VK_RETURN);
    EXPECT_EQ(editor->Session().Edits().Value({CellKind::Price, 4, 0}), 2000);
    EXPECT_EQ(Pending(*editor), "10 edits not saved");
    EXPECT_EQ(test::ReadFileBytes(m_rom), KnownRom());

    // Ctrl+S writes every edit at once.
    Key('S', true);
    Bytes expected = KnownRom();
    for (int species = 0; species < 3; ++species) {
        expected[FieldAt(Gold(), species, 0)] = 0x03;
    }
    expected[FieldAt(Gold(), 24, 0)] = 0x28;  // Pikachu: TM04 and TM06
    expected[test::MoveAt(Gold(), 0)] = kSurf;
    test::PutPrice(expected, test::PriceAt(Gold(), 4), 2000);
    EXPECT_EQ(test::DifferingOffsets(expected, test::ReadFileBytes(m_rom)),
              std::vector<std::size_t>{});
    EXPECT_EQ(Pending(*editor), "No edits pending");
    EXPECT_EQ(WindowText(editor->Handle()).find('*'), std::string::npos);
    EXPECT_TRUE(m_sink.questions.empty());
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("changed 2 machines and 4 species: 7 bytes"),
              std::string::npos)
        << m_sink.messages[0].text;
    // The main window shows TM01 as the file now holds it.
    EXPECT_EQ(m_window.MoveIndex(), kSurf);
}

TEST_F(TableEditorWindowTest, KeyboardAloneReachesEveryPartAndSaves) {
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(::GetFocus(), editor->Control("tblMachines"));
    // Tab leaves the grid for the tabs, whose arrow brings the other page; Tab reaches the
    // filter and then the grid, where the arrows and Space work.
    Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), editor->Control("tabTables"));
    Key(VK_RIGHT);
    EXPECT_EQ(editor->CurrentPage(), 1);
    Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), editor->Control("txtFilter"));
    Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), editor->Control("tblCompatibility"));
    Key(VK_HOME, true);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    Key(VK_SPACE);
    Key('S', true);
    Bytes expected = KnownRom();
    expected[FieldAt(Gold(), 1, 0)] = 0x02;  // Ivysaur learns TM02
    EXPECT_EQ(test::DifferingOffsets(expected, test::ReadFileBytes(m_rom)),
              std::vector<std::size_t>{});
}

TEST_F(TableEditorWindowTest, PendingEditsAreAskedAboutBeforeTheyCouldBeLost) {
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    ShowCompatibility(*editor);
    ClickCell(editor->CompatibilityGrid(), 0, 0);

    // Cancel (the default) keeps the window and its edit: closing it, Exit, another ROM.
    ::SendMessageW(editor->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(m_sink.pendingQuestions.size(), 1u);
    ASSERT_NE(m_window.TableEditor(), nullptr);
    ::SendMessageW(m_window.Handle(), WM_COMMAND, MAKEWPARAM(kMenuExit, 0), 0);
    EXPECT_EQ(m_sink.pendingQuestions.size(), 2u);
    EXPECT_TRUE(::IsWindow(m_window.Handle()));
    ::SendMessageW(m_window.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(m_sink.pendingQuestions.size(), 3u);
    EXPECT_TRUE(::IsWindow(m_window.Handle()));
    const std::string other = test::SyntheticRom(ReleaseOf("AAXE")).WriteTo(m_dir, "other.gbc");
    OpenRom(other);
    EXPECT_EQ(m_sink.pendingQuestions.size(), 4u);
    EXPECT_EQ(WindowText(m_window.Handle()), "AAUE - Brindlewick");
    ASSERT_NE(m_window.TableEditor(), nullptr);
    EXPECT_TRUE(m_window.TableEditor()->Session().HasPendingEdits());
    EXPECT_EQ(test::ReadFileBytes(m_rom), KnownRom());

    // Save writes, then the other ROM opens and the editor of the first one closes.
    m_sink.pendingAnswer = PendingEditsAnswer::Save;
    OpenRom(other);
    Bytes expected = KnownRom();
    expected[FieldAt(Gold(), 0, 0)] = 0x01;
    EXPECT_EQ(test::ReadFileBytes(m_rom), expected);
    EXPECT_EQ(WindowText(m_window.Handle()), "AAXE - Brindlewick");
    EXPECT_EQ(m_window.TableEditor(), nullptr);

    // Discard closes without writing.
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    ShowCompatibility(*editor);
    ClickCell(editor->CompatibilityGrid(), 5, 5);
    const Bytes otherBefore = test::ReadFileBytes(other);
    m_sink.pendingAnswer = PendingEditsAnswer::Discard;
    ::SendMessageW(editor->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(m_window.TableEditor(), nullptr);
    EXPECT_EQ(test::ReadFileBytes(other), otherBefore);
}

TEST_F(TableEditorWindowTest, AChangeMadeElsewhereIsNoticedAndAskedAbout) {
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    ShowCompatibility(*editor);
    ClickCell(editor->CompatibilityGrid(), 0, 0);
    EXPECT_FALSE(::IsWindowVisible(editor->Control("lblNotice")));

    // Another program changes TM02's price; the editor notices when it is activated again.
    Bytes changed = test::ReadFileBytes(m_rom);
    test::PutPrice(changed, test::PriceAt(Gold(), 1), 4321);
    test::WriteFileBytes(m_rom, changed);
    ::SendMessageW(editor->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(::IsWindowVisible(editor->Control("lblNotice")));
    EXPECT_NE(WindowText(editor->Control("lblNotice")).find("changed by another program"),
              std::string::npos);
    EXPECT_TRUE(::IsWindowVisible(editor->Control("btnReload")));

    // The save asks before it would undo that change; declined, nothing is written.
    Key('S', true);
    EXPECT_EQ(m_sink.questions.size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(m_rom), changed);
    EXPECT_TRUE(editor->Session().HasPendingEdits());

    // Reloaded (F5 or the button), the edit stays on top of the other change and saves
    // without a question.
    ::SendMessageW(editor->Control("btnReload"), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(editor->Control("lblNotice")));
    EXPECT_EQ(editor->Session().Edits().Value({CellKind::Price, 1, 0}), 4321);
    m_sink.Clear();
    Key('S', true);
    EXPECT_TRUE(m_sink.questions.empty());
    Bytes expected = changed;
    expected[FieldAt(Gold(), 0, 0)] = 0x01;
    EXPECT_EQ(test::ReadFileBytes(m_rom), expected);
}

TEST_F(TableEditorWindowTest, AModifiedGameOpensReadOnlyWithTheReason) {
    test::CartridgeOptions moved;
    moved.baseStatsShift = 32;
    const std::string path =
        test::MakeCartridgeImage(m_dir, test::LayoutOf(Gold()), moved, "mod.gbc");
    const Bytes before = test::ReadFileBytes(path);
    OpenRom(path);
    m_sink.Clear();
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Session().ReadOnly());
    EXPECT_TRUE(::IsWindowVisible(editor->Control("lblNotice")));
    EXPECT_NE(WindowText(editor->Control("lblNotice")).find("base-stats"), std::string::npos);
    ShowCompatibility(*editor);
    ClickCell(editor->CompatibilityGrid(), 0, 0);
    Key(VK_SPACE);
    EXPECT_FALSE(editor->Session().HasPendingEdits());
    EXPECT_NE(
        ::GetMenuState(editor->Menu(), CommandId(TableCommand::Save), MF_BYCOMMAND) & MF_GRAYED,
        0u);
    EXPECT_EQ(test::ReadFileBytes(path), before);
}

// An HDROP as Explorer hands it over: DROPFILES and the wide paths, each ended by a zero, then
// one more zero.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& path : paths) {
        list += Wide(path);
        list += L'\0';
    }
    list += L'\0';
    const std::size_t size = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return memory;
}

TEST_F(TableEditorWindowTest, AFileDroppedOnTheMainWindowOpensAsTheCommandLineOpensIt) {
    const std::string other = test::SyntheticRom(ReleaseOf("AAXE")).WriteTo(m_dir, "other.gbc");
    const auto drop = [this](const std::vector<std::string>& paths) {
        // The window takes the drop's memory and lets it go, as it must with Explorer's.
        ::SendMessageW(m_window.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)),
                       0);
    };
    EXPECT_NE(::GetWindowLongPtrW(m_window.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    // Two files are refused as two on the command line are: nothing opens, nothing is said.
    drop({m_rom, other});
    EXPECT_EQ(WindowText(m_window.Handle()), "Brindlewick");
    EXPECT_TRUE(m_sink.messages.empty());
    drop({m_rom});
    EXPECT_EQ(WindowText(m_window.Handle()), "AAUE - Brindlewick");

    // A folder is refused by the open with its message; the ROM stays open.
    drop({m_dir.File("")});
    EXPECT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(WindowText(m_window.Handle()), "AAUE - Brindlewick");

    // With the table editor's edits pending, a drop asks first; Cancel keeps the ROM.
    TableEditorWindow* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    ShowCompatibility(*editor);
    ClickCell(editor->CompatibilityGrid(), 0, 0);
    drop({other});
    EXPECT_EQ(m_sink.pendingQuestions.size(), 1u);
    EXPECT_EQ(WindowText(m_window.Handle()), "AAUE - Brindlewick");
    m_sink.pendingAnswer = PendingEditsAnswer::Discard;
    drop({other});
    EXPECT_EQ(WindowText(m_window.Handle()), "AAXE - Brindlewick");
    EXPECT_EQ(test::ReadFileBytes(m_rom), KnownRom());
}

}  // namespace
}  // namespace brindlewick::win32
