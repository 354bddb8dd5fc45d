// Tests of the message queue: posting, filters, WM_QUIT, retrieval order, translation and registered messages.
#include "wintest_util.h"

#include "host/rtl/exceptions.h"

namespace wintests {
namespace {

using MsgQueue = WinFixture;

TEST_F(MsgQueue, PeekFiltersRangesAndQuitWhateverTheFilter) {
    HWND a = Top(0, 0, 100, 100, WS_POPUP);
    HWND b = Top(0, 0, 100, 100, WS_POPUP);
    HWND bc = Child(b, 0, 0, 10, 10);
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(bc, WM_USER + 2, 2, 0);
    PostMessageA(a, WM_USER + 3, 3, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP, 4, 0);
    MSG m;
    // Range filter: only WM_USER+2..+3, in posting order.
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.hwnd, bc);
    // Window filter: the window and its children.
    EXPECT_FALSE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE | PM_NOYIELD));
    EXPECT_EQ(m.wParam, 1u);
    // (HWND)-1: thread messages only.
    ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(intptr_t(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_APP));
    EXPECT_EQ(m.hwnd, nullptr);
    // WM_QUIT comes whatever the filter once nothing else matches, after the posted messages.
    PostQuitMessage(42);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 3u);
    ASSERT_TRUE(PeekMessageA(&m, a, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 42u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    // GetMessage: 0 on WM_QUIT, -1 for a bad window filter.
    PostQuitMessage(3);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(uintptr_t(0x123450)), 0, 0), -1);
    // Messages of a window destroyed while queued are dropped; posting to it fails.
    PostMessageA(bc, WM_USER, 0, 0);
    DestroyWindow(b);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(bc, WM_USER, 0, 0));
}

TEST_F(MsgQueue, RetrievalOrderPostedInputQuitPaintTimer) {
    HWND w = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    Input::ProcessAll();  // the first paint
    InvalidateRect(w, nullptr, TRUE);
    Input::MouseMove(10, 10);
    PostMessageA(w, WM_USER, 0, 0);
    std::vector<UINT> got;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        got.push_back(m.message);
        DispatchMessageA(&m);
        if (got.size() > 10) break;
    }
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_PAINT}));
    // WM_PAINT stays until the window is validated, and is not removed by PM_REMOVE.
    InvalidateRect(w, nullptr, FALSE);
    Rec().Handlers[w] = [](HWND, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_PAINT) return 0;  // neither paints nor validates
        return std::nullopt;
    };
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessageA(&m);  // a procedure that does not validate still ends the paint
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(MsgQueue, RegisteredMessagesAndTranslation) {
    UINT a = RegisterWindowMessageA("RyxMsg");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("ryxmsg"), a);
    EXPECT_NE(RegisterWindowMessageA("Other"), a);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);

    HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    SetFocus(w);
    Input::Type("aB1!");
    Input::Key(VK_CAPITAL);
    Input::Type("c");
    Input::KeyDown(VK_CONTROL);
    Input::Key('C');
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    std::string chars;
    for (auto& e : Rec().Log)
        if (e.Wnd == w && e.Msg == WM_CHAR) chars += char(e.WParam);
    EXPECT_EQ(chars, std::string("aB1!C\x03"));
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_GE(CountOf(w, WM_KEYDOWN), 6);
    EXPECT_EQ(CountOf(w, WM_KEYDOWN), CountOf(w, WM_KEYUP));
    // Alt+key gives system messages.
    Rec().Log.clear();
    Input::KeyDown(VK_MENU);
    Input::Key('X');
    Input::KeyUp(VK_MENU);
    Input::ProcessAll();
    EXPECT_EQ(CountOf(w, WM_SYSKEYDOWN), 2);
    EXPECT_EQ(CountOf(w, WM_SYSCHAR), 1);
    EXPECT_EQ(CountOf(w, WM_CHAR), 0);
}

TEST_F(MsgQueue, ScriptRunningOutEndsPrivateLoops) {
    HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    Input::ProcessAll();
    SetCapture(w);
    MSG m;
    // Nothing queued: the mode is cancelled and the loop gets WM_NULL instead of blocking.
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_NULL));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MsgsOf(w, {WM_CANCELMODE, WM_CAPTURECHANGED}), (std::vector<UINT>{WM_CANCELMODE, WM_CAPTURECHANGED}));
    {
        TModalLoopScope modal;
        EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
        EXPECT_TRUE(ModalScriptRanOut());
    }
    EXPECT_FALSE(ModalScriptRanOut());
    // WaitMessage: TRUE while something is there, FALSE (with the mode cancelled) when nothing can come.
    PostMessageA(w, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage());
    PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
    SetCapture(w);
    {
        TModalLoopScope modal;
        EXPECT_FALSE(WaitMessage());
        EXPECT_TRUE(ModalScriptRanOut());
    }
    EXPECT_EQ(GetCapture(), nullptr);
    // A loop that never looks at its exit condition fails instead of hanging.
    EXPECT_THROW(
        {
            for (int i = 0; i < 20000; ++i) GetMessageA(&m, nullptr, 0, 0);
        },
        EInvalidOperation);
}

}  // namespace
}  // namespace wintests
