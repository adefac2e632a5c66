// The open and save dialogs: what the system's dialog is given (title, filter, the file name
// proposed) and what comes back, with the dialog answered as it opens (a CBT hook of this
// thread) as the user would: a name typed, or Cancel.
#include "win32/CommonDialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "support/TestSupport.h"
#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

// The controls of the dialog, as the common dialogs number them.
constexpr int kFileTypes = 0x470;  // the "Files of type" list
constexpr int kFileName = 0x47C;   // the file name field
constexpr int kOldFileName = 0x480;

struct SeenDialog {
    std::string title;
    std::vector<std::string> fileTypes;
    std::string fileName;
};

SeenDialog g_seen;
std::function<void(HWND)> g_answer;
HHOOK g_hook = nullptr;
HWND g_dialog = nullptr;

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const HWND dialog = g_dialog;
    g_seen.title = WindowText(dialog);
    const HWND types = ::GetDlgItem(dialog, kFileTypes);
    const auto count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(types, CB_GETLBTEXTLEN, i, 0)),
                          L'\0');
        ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        g_seen.fileTypes.push_back(Utf8(text));
    }
    HWND name = ::GetDlgItem(dialog, kFileName);
    if (name == nullptr) {
        name = ::GetDlgItem(dialog, kOldFileName);
    }
    g_seen.fileName = WindowText(name);
    g_answer(dialog);
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_dialog == nullptr) {
        wchar_t name[16] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        if (std::wstring(name) == L"#32770") {
            g_dialog = reinterpret_cast<HWND>(wParam);
            ::SetTimer(nullptr, 0, 200, &AnswerDialog);
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

// Types `path` into the file name field and chooses Open (or Save).
std::function<void(HWND)> Choose(const std::string& path) {
    return [path](HWND dialog) {
        HWND name = ::GetDlgItem(dialog, kFileName);
        if (name == nullptr) {
            name = ::GetDlgItem(dialog, kOldFileName);
        }
        ::SetWindowTextW(name, Wide(path).c_str());
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

std::function<void(HWND)> Cancel() {
    return [](HWND dialog) {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
}

class CommonDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_hook = ::SetWindowsHookExW(WH_CBT, &WatchDialogs, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(g_hook, nullptr);
    }
    void TearDown() override { ::UnhookWindowsHookEx(g_hook); }

    void Expect(std::function<void(HWND)> answer) {
        g_seen = {};
        g_dialog = nullptr;
        g_answer = std::move(answer);
    }

    test::TempDir m_dir;
};

TEST_F(CommonDialogTest, OpenReturnsTheChosenFileAndRemembersItsFilter) {
    const std::string rom = m_dir.File("Gold \u2606 \u0413\u043E\u043B\u0434.gbc");
    test::WriteFileBytes(rom, test::Bytes(16, 0));
    CommonDialog dialog;
    Expect(Cancel());
    EXPECT_EQ(dialog.ShowOpen(nullptr, "Open Pok\u00E9mon ROM...", "",
                              "GBC ROMs (*.gbc)|*.gb;*.gbc|All Files (*.*)|*.*|"),
              "");
    EXPECT_EQ(g_seen.title, "Open Pok\u00E9mon ROM...");
    EXPECT_EQ(g_seen.fileTypes, (std::vector<std::string>{"GBC ROMs (*.gbc)", "All Files (*.*)"}));
    EXPECT_EQ(dialog.FilterIndex(), 0);

    Expect(Choose(rom));
    EXPECT_EQ(dialog.ShowOpen(nullptr, "Open", "", "GBC ROMs (*.gbc)|*.gb;*.gbc"), rom);
    EXPECT_EQ(dialog.FilterIndex(), 1);
}

TEST_F(CommonDialogTest, SaveProposesItsNameAndReturnsTheChosenOne) {
    CommonDialog dialog;
    const std::string csv = m_dir.File("tables.csv");
    Expect(Choose(csv));
    EXPECT_EQ(dialog.ShowSave(nullptr, "Export Tables", "Gold.csv", "", "CSV files (*.csv)|*.csv",
                              0x6, "csv"),
              csv);
    EXPECT_EQ(g_seen.title, "Export Tables");
    EXPECT_EQ(g_seen.fileName, "Gold.csv");
}

TEST(DialogFilterTest, FilterListsEndWithTwoNuls) {
    EXPECT_EQ(DialogFilter("GBC ROMs (*.gbc)|*.gb;*.gbc"),
              std::wstring(L"GBC ROMs (*.gbc)\0*.gb;*.gbc\0", 28));
    EXPECT_EQ(DialogFilter("All Files (*.*)|*.*|"), std::wstring(L"All Files (*.*)\0*.*\0", 20));
}

}  // namespace
}  // namespace brindlewick::win32
