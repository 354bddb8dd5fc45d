// Tests of input: clicks and activation, double clicks, capture and drags through private loops, focus order, keys, cursors.
#include "wintest_util.h"

namespace wintests {
namespace {

using InputRouting = WinFixture;

TEST_F(InputRouting, ClickActivatesAndRoutesInClientCoordinates) {
    HWND a = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    HWND b = Top(300, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    HWND bc = Child(b, 20, 30, 50, 50);
    EXPECT_EQ(GetActiveWindow(), b);
    SetActiveWindow(a);
    Rec().Log.clear();
    Input::Click(300 + 25, 35);
    Input::ProcessAll();
    EXPECT_EQ(GetActiveWindow(), b);
    // WM_SETCURSOR and WM_MOUSEACTIVATE to the child before its button message; the
    // parent is asked about both first by the default procedure.
    EXPECT_EQ(MsgsOf(bc, {WM_SETCURSOR, WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_SETCURSOR, WM_SETCURSOR, WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_SETCURSOR,
                                 WM_LBUTTONUP}));
    for (auto& e : Rec().Log)
        if (e.Wnd == bc && e.Msg == WM_LBUTTONDOWN) {
            EXPECT_EQ(e.LParam, MAKELPARAM(5, 5));
            EXPECT_EQ(e.WParam, MK_LBUTTON);
        }
    EXPECT_GE(CountOf(b, WM_MOUSEACTIVATE), 1);
    // Activation order: the old window hears it first.
    std::vector<std::pair<HWND, UINT>> act;
    for (auto& e : Rec().Log)
        if (e.Msg == WM_NCACTIVATE || e.Msg == WM_ACTIVATE || e.Msg == WM_KILLFOCUS || e.Msg == WM_SETFOCUS)
            act.push_back({e.Wnd, e.Msg});
    EXPECT_EQ(act, (std::vector<std::pair<HWND, UINT>>{{a, WM_NCACTIVATE}, {a, WM_ACTIVATE}, {b, WM_NCACTIVATE},
                                                       {b, WM_ACTIVATE}, {a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
    EXPECT_EQ(GetFocus(), b);
    // Disabled windows take no input.
    EnableWindow(bc, FALSE);
    Rec().Log.clear();
    Input::Click(300 + 25, 35);
    Input::ProcessAll();
    EXPECT_EQ(CountOf(bc, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(CountOf(b, WM_LBUTTONDOWN), 1);  // the parent gets the point of a disabled child
    EnableWindow(b, FALSE);
    Rec().Log.clear();
    Input::Click(300 + 100, 150);
    Input::ProcessAll();
    EXPECT_EQ(CountOf(b, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(wintest::BeepCount(), 1);
}

TEST_F(InputRouting, DoubleClicksOnlyForClassesThatAskForThem) {
    HWND plain = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND dbl = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE, "Dbl", "RecDbl");
    Input::DoubleClick(50, 50);
    Input::DoubleClick(250, 50);
    Input::ProcessAll();
    EXPECT_EQ(MsgsOf(plain, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(MsgsOf(dbl, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    // Too slow, or too far apart: two single clicks.
    Rec().Log.clear();
    Input::Click(250, 50);
    Input::Wait(GetDoubleClickTime() + 1);
    Input::Click(250, 50);
    Input::Click(250, 50);  // this one pairs with the second
    Input::Click(260, 60);
    Input::ProcessAll();
    EXPECT_EQ(MsgsOf(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(InputRouting, DragThroughPrivateGetMessageLoop) {
    HWND w = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    std::vector<POINT> seen;
    bool endedByUp = false, endedByRunOut = false;
    Rec().Handlers[w] = [&](HWND H, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_LBUTTONDOWN) return std::nullopt;
        // A drag loop of its own, as tool windows and splitters run them.
        SetCapture(H);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0)) {
            if (GetCapture() != H) {
                endedByRunOut = true;
                break;
            }
            if (m.message == WM_MOUSEMOVE) seen.push_back(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)});
            if (m.message == WM_LBUTTONUP) {
                endedByUp = true;
                ReleaseCapture();
                break;
            }
            DispatchMessageA(&m);
        }
        return 0;
    };
    Input::Drag(POINT{10, 10}, POINT{400, 50}, 3);
    Input::ProcessAll();
    EXPECT_TRUE(endedByUp);
    // The captured moves arrive in client coordinates, even outside the window.
    EXPECT_EQ(seen.size(), 3u);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), (POINT{400, 50}));
    // A script that ends with the button still down ends the loop instead of hanging it.
    seen.clear();
    Rec().Log.clear();
    Input::MouseMove(20, 20);
    Input::MouseDown();
    Input::MouseMove(30, 30);
    Input::ProcessAll();
    EXPECT_TRUE(endedByRunOut);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MsgsOf(w, {WM_CANCELMODE, WM_CAPTURECHANGED}), (std::vector<UINT>{WM_CANCELMODE, WM_CAPTURECHANGED}));
    Input::MouseUp();
    Input::ProcessAll();
}

TEST_F(InputRouting, DestroyDuringCaptureAndCaptionDrag) {
    HWND w = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND c = Child(w, 0, 0, 100, 100);
    Rec().Handlers[c] = [&](HWND H, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_LBUTTONDOWN) SetCapture(H);
        if (M == WM_MOUSEMOVE && GetCapture() == H) DestroyWindow(GetParent(H));
        return std::nullopt;
    };
    Input::Drag(POINT{10, 10}, POINT{50, 50}, 5);
    Input::ProcessAll();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(GetCapture(), nullptr);

    // Dragging a caption moves the window through the default move loop; Esc puts it back.
    HWND f = Top(100, 100, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Input::Drag(POINT{200, 110}, POINT{260, 150}, 4);
    Input::ProcessAll();
    RECT r;
    GetWindowRect(f, &r);
    EXPECT_EQ(r, (RECT{160, 140, 460, 340}));
    EXPECT_GE(CountOf(f, WM_ENTERSIZEMOVE), 1);
    Input::MouseMove(300, 150);
    Input::MouseDown();
    Input::MouseMove(350, 200);
    Input::Key(VK_ESCAPE);
    Input::MouseUp();
    Input::ProcessAll();
    GetWindowRect(f, &r);
    EXPECT_EQ(r, (RECT{160, 140, 460, 340}));
    // Dragging the bottom-right corner sizes it, limited by WM_GETMINMAXINFO.
    Rec().Handlers[f] = [](HWND, UINT M, WPARAM, LPARAM L) -> std::optional<LRESULT> {
        if (M == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(L)->ptMaxTrackSize = POINT{350, 250};
        return std::nullopt;
    };
    Input::Drag(POINT{459, 339}, POINT{600, 500}, 2);
    Input::ProcessAll();
    GetWindowRect(f, &r);
    EXPECT_EQ(r, (RECT{160, 140, 510, 390}));
    // The close button sends SC_CLOSE → WM_CLOSE → destroyed.
    Input::Click(510 - 4 - 2 - 8, 140 + 4 + 9);
    Input::ProcessAll();
    EXPECT_FALSE(IsWindow(f));
}

TEST_F(InputRouting, FocusKeysWheelAndCursors) {
    HWND w = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND e1 = Child(w, 0, 0, 100, 100);
    HWND e2 = Child(w, 100, 0, 100, 100);
    SetFocus(e1);
    Rec().Log.clear();
    EXPECT_EQ(SetFocus(e2), e1);
    std::vector<TLogEntry> f;
    for (auto& e : Rec().Log)
        if (e.Msg == WM_KILLFOCUS || e.Msg == WM_SETFOCUS) f.push_back(e);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].Wnd, e1);
    EXPECT_EQ(f[0].Msg, UINT(WM_KILLFOCUS));
    EXPECT_EQ(reinterpret_cast<HWND>(f[0].WParam), e2);
    EXPECT_EQ(f[1].Wnd, e2);
    EXPECT_EQ(reinterpret_cast<HWND>(f[1].WParam), e1);
    // Keys go to the focus; the wheel goes to the focus and up to its parent by default.
    Rec().Log.clear();
    Input::Key(VK_RETURN);
    Input::Wheel(-WHEEL_DELTA);
    Input::ProcessAll();
    EXPECT_EQ(CountOf(e2, WM_KEYDOWN), 1);
    EXPECT_EQ(CountOf(e2, WM_MOUSEWHEEL), 1);
    EXPECT_EQ(CountOf(w, WM_MOUSEWHEEL), 1);
    for (auto& e : Rec().Log) {
        if (e.Msg == WM_MOUSEWHEEL) {
            EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(e.WParam), -WHEEL_DELTA);
        }
    }
    // Destroying the focus moves it to the parent; disabling it takes it away.
    DestroyWindow(e2);
    EXPECT_EQ(GetFocus(), w);
    SetFocus(e1);
    EnableWindow(e1, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(e1), nullptr);
    // The key state: toggles flip on each press; keybd_event changes it at once.
    keybd_event(VK_NUMLOCK, 0, 0, 0);
    keybd_event(VK_NUMLOCK, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK), 1);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    // Cursors: the class cursor over the client, sizing cursors on a frame.
    HWND framed = Top(400, 400, 200, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Input::MouseMove(500, 500);
    Input::ProcessAll();
    EXPECT_EQ(wintest::CurrentCursor(), LoadCursorA(0, IDC_ARROW));
    Input::MouseMove(401, 500);
    Input::ProcessAll();
    EXPECT_EQ(wintest::CurrentCursor(), LoadCursorA(0, IDC_SIZEWE));
    Input::MouseMove(599, 599);
    Input::ProcessAll();
    EXPECT_EQ(wintest::CurrentCursor(), LoadCursorA(0, IDC_SIZENWSE));
    ICONINFO ii;
    ASSERT_TRUE(GetIconInfo(LoadCursorA(0, IDC_SIZENWSE), &ii));
    EXPECT_FALSE(ii.fIcon);
    EXPECT_EQ(ii.xHotspot, 16u);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyCursor(LoadCursorA(0, IDC_ARROW));  // system cursors stay
    ASSERT_TRUE(GetIconInfo(LoadCursorA(0, IDC_ARROW), &ii));
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    EXPECT_NE(LoadCursorA(0, IDC_ARROW), LoadCursorA(0, IDC_IBEAM));
    EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(1)), nullptr);
    (void)framed;
}

TEST_F(InputRouting, AppActivationBroadcastsToEveryTopLevel) {
    HWND a = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND hidden = Top(0, 0, 100, 100, WS_POPUP);
    Rec().Log.clear();
    wintest::SetAppActive(false);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(CountOf(a, WM_ACTIVATEAPP), 1);
    EXPECT_EQ(CountOf(hidden, WM_ACTIVATEAPP), 1);
    EXPECT_EQ(GetFocus(), nullptr);
    Rec().Log.clear();
    wintest::SetAppActive(true);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(MsgsOf(a, {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}),
              (std::vector<UINT>{WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
}

}  // namespace
}  // namespace wintests
