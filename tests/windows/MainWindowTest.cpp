// The Windows window, created in this process and driven with the messages Windows sends when
// the user works it: list selections, clicks, typed text, tab changes, menu commands and
// shortcuts. What counts is what the file holds afterwards, compared whole.
#include "win32/MainWindow.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "editor/ShareCommands.h"
#include "editor/WindowCommands.h"
#include "support/PatchReaders.h"
#include "support/TestSupport.h"
#include "win32/AboutWindow.h"
#include "win32/Clipboard.h"
#include "win32/ComparisonWindow.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

using test::Bytes;
using test::ReleaseOf;
using test::SyntheticRom;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        m_window.SetFileChooser([this](const MainWindow::FileRequest& request) {
            m_requests.push_back(request);
            return m_answer;
        });
        ::ShowWindow(m_window.Handle(), SW_SHOWNOACTIVATE);
    }

    HWND Find(const char* name) const {
        const HWND control = m_window.Control(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // What the list does when the user chooses entry `index`: the selection, then the
    // notification to its parent.
    void Choose(const char* list, int index) {
        const HWND control = Find(list);
        ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(::GetParent(control), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(control), LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(control));
    }

    void ShowTab(int page) {
        const HWND tab = Find("tab1");
        ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
        NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
        ::SendMessageW(m_window.Handle(), WM_NOTIFY, header.idFrom,
                       reinterpret_cast<LPARAM>(&header));
    }

    void Menu(WORD command) {
        ::SendMessageW(m_window.Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }

    // A shortcut as the message loop meets it: Ctrl (and Shift) held, the key pressed in the
    // control that has the keyboard.
    bool Shortcut(char key, bool shift = false, const char* focus = "lstTM") {
        BYTE keys[256] = {};
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG message{Find(focus), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
        const bool handled = m_window.PreTranslate(message);
        BYTE released[256] = {};
        ::SetKeyboardState(released);
        return handled;
    }

    void SetText(const char* name, const std::string& text) {
        ::SendMessageW(Find(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }

    std::string Text(HWND control) const { return WindowText(control); }

    bool MenuEnabled(WORD command) const {
        return (::GetMenuState(m_window.Menu(), command, MF_BYCOMMAND) & MF_GRAYED) == 0;
    }

    void OpenRom(const std::string& path) {
        m_answer = path;
        ASSERT_TRUE(Shortcut('O'));
        m_answer.clear();
    }

    test::TempDir m_dir;
    test::RecordingSink m_sink;
    MainWindow m_window{false};
    std::vector<MainWindow::FileRequest> m_requests;
    std::string m_answer;
};

TEST_F(MainWindowTest, StartsWithOnlyTheMenusToOperate) {
    EXPECT_EQ(Text(m_window.Handle()), "Brindlewick");
    EXPECT_EQ(::SendMessageW(Find("lstTM"), LB_GETCOUNT, 0, 0), 57);
    EXPECT_EQ(::SendMessageW(Find("lstAttack"), LB_GETCOUNT, 0, 0), 252);
    EXPECT_EQ(::SendMessageW(Find("List1"), LB_GETCOUNT, 0, 0), 251);
    EXPECT_EQ(Text(Find("chkTM01")), "TM01");
    EXPECT_EQ(Text(Find("chkHM07")), "HM07");
    EXPECT_EQ(Text(Find("Frame3")), "Technique Contained");
    EXPECT_EQ(Text(Find("Label1")), kCopyrightNotice);
    for (const char* name : {"tab1", "lstTM", "lstAttack", "frmROM", "Label4"}) {
        EXPECT_FALSE(::IsWindowEnabled(Find(name))) << name;
    }
    for (const WORD command : {kMenuSave, kMenuExport, kMenuImport, kMenuCheck, kMenuLearners,
                               kMenuCopyCompatibility, kMenuPasteCompatibility}) {
        EXPECT_FALSE(MenuEnabled(command)) << command;
    }
    EXPECT_TRUE(MenuEnabled(kMenuOpen));
    EXPECT_EQ(m_window.MachineIndex(), -1);
    EXPECT_EQ(m_window.SpeciesIndex(), -1);
    // Save by its shortcut before anything is open does nothing at all.
    Shortcut('S');
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_TRUE(m_requests.empty());
}

TEST_F(MainWindowTest, OpenEditAndSaveChangeExactlyTheEditedBytes) {
    const auto& release = ReleaseOf("AAXE");
    SyntheticRom rom(release);
    rom.Move(4, 33).Price(4, 1500).Compatible(24, {0, 5});
    // A name no ANSI code page holds.
    const std::string path =
        rom.WriteTo(m_dir, "Silver \u2606 \u0421\u0435\u0440\u0435\u0431\u0440\u043E.gbc");
    Bytes expected = rom.Data();

    OpenRom(path);
    ASSERT_EQ(m_requests.size(), 1u);
    EXPECT_FALSE(m_requests[0].save);
    EXPECT_EQ(m_requests[0].title, "Open Pok\u00E9mon Gold, Silver or Crystal ROM...");
    EXPECT_EQ(m_requests[0].filter, "GBC ROMs (*.gbc)|*.gb;*.gbc");
    EXPECT_EQ(m_requests[0].flags, 0x1804u);
    EXPECT_EQ(Text(m_window.Handle()), "AAXE - Brindlewick");
    EXPECT_EQ(Text(Find("code")), "AAXE");
    EXPECT_EQ(Text(Find("lang")), "English");
    EXPECT_TRUE(::IsWindowEnabled(Find("tab1")));
    EXPECT_TRUE(MenuEnabled(kMenuSave));

    // TM05: its move and price are shown, then changed.
    Choose("lstTM", 4);
    EXPECT_EQ(m_window.MoveIndex(), 33);
    EXPECT_EQ(Text(Find("txtPrice")), "1500");
    ::SendMessageW(Find("lstAttack"), LB_SETCURSEL, 57, 0);
    SetText("txtPrice", "3000");
    // Pikachu: its boxes are read, then TM01 is unticked and HM07 ticked by clicks.
    ShowTab(1);
    EXPECT_TRUE(::IsWindowVisible(Find("chkTM01")));
    EXPECT_FALSE(::IsWindowVisible(Find("lstTM")));
    Choose("List1", 24);
    EXPECT_TRUE(m_window.MachineChecked(0));
    EXPECT_TRUE(m_window.MachineChecked(5));
    EXPECT_FALSE(m_window.MachineChecked(56));
    ::SendMessageW(Find("chkTM01"), BM_CLICK, 0, 0);
    ::SendMessageW(Find("chkHM07"), BM_CLICK, 0, 0);
    ASSERT_TRUE(Shortcut('S', false, "List1"));

    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_EQ(m_sink.messages[0].text, "TM Information Successfully Changed!");
    expected[test::MoveAt(release, 4)] = 57;
    test::PutPrice(expected, test::PriceAt(release, 4), 3000);
    expected[test::MachineBitAt(release, 24, 0)] &= static_cast<std::uint8_t>(~test::MaskOf(0));
    expected[test::MachineBitAt(release, 24, 56)] |= test::MaskOf(56);
    EXPECT_EQ(test::ReadFileBytes(path), expected);
}

TEST_F(MainWindowTest, PriceFieldKeepsAWholeNumberUpTo65535) {
    OpenRom(SyntheticRom(ReleaseOf("AAUE")).WriteTo(m_dir));
    Choose("lstTM", 0);
    const HWND price = Find("txtPrice");
    SetText("txtPrice", "99999");
    EXPECT_EQ(Text(price), "65535");
    SetText("txtPrice", "");
    EXPECT_EQ(Text(price), "0");
    SetText("txtPrice", "12a3");
    EXPECT_EQ(Text(price), "123");
    // Typed: a letter is dropped, a digit and backspace reach the field.
    ::SendMessageW(price, EM_SETSEL, 3, 3);
    ::SendMessageW(price, WM_CHAR, 'x', 0);
    ::SendMessageW(price, WM_CHAR, '4', 0);
    EXPECT_EQ(Text(price), "1234");
    ::SendMessageW(price, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(Text(price), "123");
    // A paste brings its digits alone, up to the field's five.
    ASSERT_TRUE(SetClipboardText(m_window.Handle(), "12,345"));
    SetText("txtPrice", "");
    ::SendMessageW(price, EM_SETSEL, 0, -1);
    ::SendMessageW(price, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(price), "12345");
    // The arrows write their number into the field, within the same range.
    ::SendMessageW(Find("UpDown1"), UDM_SETPOS32, 0, 700);
    EXPECT_EQ(Text(price), "700");
}

// Export Patch asks for the clean ROM and then for the patch's name; Compare with shows the
// differences in a window whose lines copy as text; Fix Checksum writes the sum. Each file is
// compared whole afterwards.
TEST_F(MainWindowTest, ExportPatchCompareAndFixChecksumFromTheToolsMenu) {
    for (const WORD command : {kMenuExportPatch, kMenuCompare, kMenuFixChecksum}) {
        EXPECT_FALSE(MenuEnabled(command)) << command;
    }
    const auto& release = ReleaseOf("AAUE");
    const SyntheticRom clean(release);
    const std::string cleanPath = clean.WriteTo(m_dir, "clean.gbc");
    SyntheticRom modified(release);
    modified.Move(23, 53);
    const std::string romPath = modified.WriteTo(m_dir, "mine.gbc");
    const std::string patchPath = m_dir.File("mine.bps");
    OpenRom(romPath);
    for (const WORD command : {kMenuExportPatch, kMenuCompare, kMenuFixChecksum}) {
        EXPECT_TRUE(MenuEnabled(command)) << command;
    }
    m_sink.Clear();
    m_requests.clear();
    m_window.SetFileChooser([&](const MainWindow::FileRequest& request) {
        m_requests.push_back(request);
        return request.title == kExportPatchTitle ? patchPath : cleanPath;
    });

    Menu(kMenuExportPatch);
    ASSERT_EQ(m_requests.size(), 2u);
    EXPECT_EQ(m_requests[0].title, kCleanRomTitle);
    EXPECT_FALSE(m_requests[0].save);
    EXPECT_TRUE(m_requests[1].save);
    EXPECT_EQ(m_requests[1].fileName, "mine.bps");
    EXPECT_EQ(m_requests[1].filter, kPatchFilter);
    EXPECT_EQ(m_requests[1].defaultExtension, "bps");
    EXPECT_EQ(test::ApplyBps(clean.Data(), test::ReadFileBytes(patchPath)), modified.Data());
    EXPECT_EQ(test::ReadFileBytes(cleanPath), clean.Data());
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("It changes 1 byte"), std::string::npos);

    Menu(kMenuCompare);
    const ComparisonWindow* comparison = m_window.Comparison();
    ASSERT_NE(comparison, nullptr);
    EXPECT_EQ(Text(comparison->Handle()), "Comparison: clean.gbc \u2192 mine.gbc");
    ASSERT_EQ(::SendMessageW(comparison->List(), LB_GETCOUNT, 0, 0), 1);
    wchar_t line[128] = {};
    ::SendMessageW(comparison->List(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    const std::string first = Utf8(line);
    EXPECT_EQ(first.rfind("TM24: ", 0), 0u) << first;
    EXPECT_NE(first.find(" \u2192 Flamethrower"), std::string::npos) << first;
    EXPECT_NE(Text(comparison->Heading()).find("1 machine and 0 species differ"),
              std::string::npos);
    // Copy All, then Ctrl+C on the selected line.
    ::SendMessageW(comparison->CopyButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(ClipboardText(m_window.Handle()),
              "From \u201Cclean.gbc\u201D to \u201Cmine.gbc\u201D: 1 machine and 0 species "
              "differ.\n\n" +
                  first + "\n");
    ::SendMessageW(comparison->List(), LB_SETSEL, TRUE, 0);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG copy{comparison->List(), WM_KEYDOWN, 'C', 0, 0, {}};
    EXPECT_TRUE(m_window.PreTranslate(copy));
    BYTE released[256] = {};
    ::SetKeyboardState(released);
    EXPECT_EQ(ClipboardText(m_window.Handle()), first + "\n");

    Menu(kMenuFixChecksum);
    const Bytes fixed = test::ReadFileBytes(romPath);
    unsigned long sum = 0;
    for (std::size_t at = 0; at < fixed.size(); ++at) {
        sum += at == 0x14E || at == 0x14F ? 0 : fixed[at];
    }
    EXPECT_EQ(fixed[0x14E] << 8 | fixed[0x14F], static_cast<int>(sum & 0xFFFF));
    for (const std::size_t at : test::DifferingOffsets(modified.Data(), fixed)) {
        EXPECT_TRUE(at == 0x14E || at == 0x14F) << at;
    }
}

TEST_F(MainWindowTest, AboutDisablesTheMainWindowUntilItIsClosed) {
    Menu(kMenuAbout);
    HWND about = m_window.AboutHandle();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(Text(about), "About Brindlewick");
    EXPECT_EQ(Text(::GetDlgItem(about, AboutWindow::kLabel1)), "Brindlewick v" BRINDLEWICK_VERSION);
    EXPECT_FALSE(::IsWindowEnabled(m_window.Handle()));
    // The shortcuts wait while the About window is open.
    Shortcut('Q');
    EXPECT_TRUE(::IsWindow(m_window.Handle()));
    ::SendMessageW(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(m_window.AboutHandle(), nullptr);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_TRUE(::IsWindowEnabled(m_window.Handle()));

    // Its own close button enables the main window as well.
    Menu(kMenuAbout);
    about = m_window.AboutHandle();
    ASSERT_NE(about, nullptr);
    ::SendMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(about));
    EXPECT_TRUE(::IsWindowEnabled(m_window.Handle()));
}

TEST_F(MainWindowTest, ExitClosesEveryWindowWithoutSavingOrAsking) {
    const std::string path = SyntheticRom(ReleaseOf("BYTE")).WriteTo(m_dir);
    const Bytes before = test::ReadFileBytes(path);
    OpenRom(path);
    Choose("lstTM", 2);
    SetText("txtPrice", "42");
    ASSERT_TRUE(Shortcut('L'));
    const HWND learners = m_window.LearnersHandle();
    ASSERT_NE(learners, nullptr);
    ASSERT_TRUE(Shortcut('Q'));
    EXPECT_FALSE(::IsWindow(m_window.Handle()));
    EXPECT_FALSE(::IsWindow(learners));
    EXPECT_TRUE(m_sink.messages.empty());
    EXPECT_TRUE(m_sink.questions.empty());
    EXPECT_EQ(test::ReadFileBytes(path), before);
}

TEST_F(MainWindowTest, LearnersFollowTheMachineAndShowASpecies) {
    const auto& release = ReleaseOf("AAUE");
    SyntheticRom rom(release);
    for (int species = 0; species < test::kSpecies; ++species) {
        rom.Compatible(species, {});
    }
    rom.Compatible(0, {3}).Compatible(150, {3, 4}).Move(3, 92);
    OpenRom(rom.WriteTo(m_dir));
    // The box of TM04 tells the move it teaches.
    NMTTDISPINFOW tip{};
    tip.hdr.idFrom = reinterpret_cast<UINT_PTR>(Find("chkTM04"));
    tip.hdr.code = TTN_GETDISPINFOW;
    tip.hdr.hwndFrom = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    for (HWND candidate = tip.hdr.hwndFrom; candidate != nullptr;
         candidate = ::FindWindowExW(nullptr, candidate, TOOLTIPS_CLASSW, nullptr)) {
        if (::GetWindow(candidate, GW_OWNER) == m_window.Handle()) {
            tip.hdr.hwndFrom = candidate;
        }
    }
    ::SendMessageW(m_window.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_EQ(Utf8(tip.lpszText), "Toxic");

    Choose("lstTM", 3);
    ASSERT_TRUE(Shortcut('L'));
    const HWND learners = m_window.LearnersHandle();
    ASSERT_NE(learners, nullptr);
    EXPECT_EQ(Text(learners), "TM04 Toxic: 2 species");
    const HWND list = ::GetWindow(learners, GW_CHILD);
    ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    Choose("lstTM", 4);
    EXPECT_EQ(Text(learners).rfind("TM05 "), 0u);
    EXPECT_NE(Text(learners).find(": 1 species"), std::string::npos);

    // Choosing Mew there shows its boxes in the main window.
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SendMessageW(learners, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(m_window.SpeciesIndex(), 150);
    EXPECT_TRUE(::IsWindowVisible(Find("chkTM04")));
    EXPECT_TRUE(m_window.MachineChecked(3));
    EXPECT_TRUE(m_window.MachineChecked(4));
    EXPECT_FALSE(m_window.MachineChecked(0));
}

TEST_F(MainWindowTest, CompatibilityIsCopiedAndPastedAsText) {
    const auto& release = ReleaseOf("AAUE");
    OpenRom(SyntheticRom(release).Compatible(7, {0, 2, 56}).WriteTo(m_dir));
    Choose("List1", 7);
    ASSERT_TRUE(Shortcut('C', true));
    EXPECT_EQ(ClipboardText(m_window.Handle()), "TM01 TM03 HM07");

    ASSERT_TRUE(SetClipboardText(m_window.Handle(), "hm01, tm50"));
    ASSERT_TRUE(Shortcut('V', true));
    for (int machine = 0; machine < test::kMachines; ++machine) {
        EXPECT_EQ(m_window.MachineChecked(machine), machine == 49 || machine == 50) << machine;
    }
    EXPECT_EQ(::SendMessageW(Find("tab1"), TCM_GETCURSEL, 0, 0), 1);

    // Text that is no list of machines changes no box and says so.
    ASSERT_TRUE(SetClipboardText(m_window.Handle(), "Pikachu"));
    ASSERT_TRUE(Shortcut('V', true));
    EXPECT_TRUE(m_window.MachineChecked(49));
    ASSERT_EQ(m_sink.messages.size(), 1u);
    // The same answer as the Qt window's: what a list looks like, then the nearest moves.
    EXPECT_EQ(m_sink.messages[0].text.rfind(kNoMachineListMessage, 0), 0u);
    EXPECT_NE(m_sink.messages[0].text.find("did you mean"), std::string::npos);
}

TEST_F(MainWindowTest, ExportAndImportGoThroughTheirDialogs) {
    const auto& release = ReleaseOf("AAUE");
    const std::string path = SyntheticRom(release).Move(0, 15).WriteTo(m_dir, "Gold.gbc");
    OpenRom(path);
    const std::string csv = m_dir.File("Gold.csv");
    m_answer = csv;
    Menu(kMenuExport);
    ASSERT_EQ(m_requests.size(), 2u);
    EXPECT_TRUE(m_requests[1].save);
    EXPECT_EQ(m_requests[1].fileName, "Gold.csv");
    const std::u8string folder = m_dir.Path().u8string();
    EXPECT_EQ(m_requests[1].initDir, std::string(folder.begin(), folder.end()));
    EXPECT_EQ(m_requests[1].defaultExtension, "csv");
    ASSERT_EQ(m_sink.messages.size(), 1u);
    EXPECT_NE(m_sink.messages[0].text.find("\u201CGold.csv\u201D"), std::string::npos);

    // The export imported again, answered yes, changes no byte of the ROM.
    const Bytes before = test::ReadFileBytes(path);
    m_sink.answer = true;
    Menu(kMenuImport);
    ASSERT_EQ(m_requests.size(), 3u);
    EXPECT_FALSE(m_requests[2].save);
    EXPECT_EQ(m_requests[2].flags, 0x1804u);
    EXPECT_EQ(test::ReadFileBytes(path), before);
}

}  // namespace
}  // namespace brindlewick::win32
