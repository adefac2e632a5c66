// The Windows message sink: the boxes it shows, caught as they open (a CBT hook of this
// thread), read and answered with their default button, as Enter would.
#include "win32/Win32MessageSink.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "win32/Text.h"

namespace brindlewick::win32 {
namespace {

struct SeenBox {
    std::string title;
    std::string text;
    bool hasIcon = false;
    int defaultButton = 0;
    int buttons = 0;
};

SeenBox g_seen;
HHOOK g_hook = nullptr;

// The message box's text, as Windows numbers it.
constexpr int kTextId = 0xFFFF;

HWND g_box = nullptr;

// Once the box is up (its own message loop runs the timer): what it shows, then its default
// button, the one Enter chooses.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const HWND box = g_box;
    g_seen.title = WindowText(box);
    g_seen.text = WindowText(::GetDlgItem(box, kTextId));
    g_seen.hasIcon = false;
    g_seen.buttons = 0;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        const auto style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
        if (std::wstring(name) == L"Static" && (style & SS_TYPEMASK) == SS_ICON &&
            ::SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            g_seen.hasIcon = true;
        }
        if (std::wstring(name) == L"Button") {
            ++g_seen.buttons;
            // The default button: the one Enter chooses.
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                g_seen.defaultButton = ::GetDlgCtrlID(child);
            }
        }
    }
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(g_seen.defaultButton, BN_CLICKED), 0);
}

LRESULT CALLBACK WatchBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[16] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        if (std::wstring(name) == L"#32770") {
            g_box = reinterpret_cast<HWND>(wParam);
            ::SetTimer(nullptr, 0, 50, &AnswerBox);
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

class MessageSinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = {};
        g_hook = ::SetWindowsHookExW(WH_CBT, &WatchBoxes, nullptr, ::GetCurrentThreadId());
        ASSERT_NE(g_hook, nullptr);
    }
    void TearDown() override { ::UnhookWindowsHookEx(g_hook); }

    Win32MessageSink m_sink;
};

TEST_F(MessageSinkTest, ShowsTitleTextAndTheIconItNames) {
    m_sink.Show({"Could not open \u201CGold.gbc\u201D.", "Error: 2", MessageIcon::None});
    EXPECT_EQ(g_seen.title, "Error: 2");
    EXPECT_EQ(g_seen.text, "Could not open \u201CGold.gbc\u201D.");
    EXPECT_FALSE(g_seen.hasIcon);
    EXPECT_EQ(g_seen.buttons, 1);

    m_sink.Show({"TM Information Successfully Changed!", "Brindlewick", MessageIcon::Information});
    EXPECT_TRUE(g_seen.hasIcon);
    m_sink.Show({"Unsupported ROM", "Brindlewick", MessageIcon::Error});
    EXPECT_TRUE(g_seen.hasIcon);
}

TEST_F(MessageSinkTest, QuestionsGoBackUnlessTheWayOnIsChosen) {
    EXPECT_FALSE(m_sink.Confirm({"Overwrite the changes?", "Brindlewick", MessageIcon::None}));
    EXPECT_EQ(g_seen.defaultButton, IDCANCEL);
    EXPECT_EQ(g_seen.buttons, 2);
    EXPECT_EQ(g_seen.title, "Brindlewick");
}

}  // namespace
}  // namespace brindlewick::win32
