// Tests of windows: creation, positions, z-order, show states, hit tests, subclassing and destruction.
#include "wintest_util.h"

namespace wintests {
namespace {

using WinTree = WinFixture;

TEST_F(WinTree, CreationMessagesGeometryAndDestructionOrder) {
    HWND top = Top(100, 50, 300, 200, WS_OVERLAPPEDWINDOW);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(MsgsOf(top, {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
    RECT wr, cr;
    GetWindowRect(top, &wr);
    GetClientRect(top, &cr);
    EXPECT_EQ(wr, (RECT{100, 50, 400, 250}));
    // Thick frame 4, caption 19.
    EXPECT_EQ(cr, (RECT{0, 0, 300 - 8, 200 - 8 - 19}));
    POINT p{0, 0};
    ClientToScreen(top, &p);
    EXPECT_EQ(p, (POINT{104, 73}));
    EXPECT_EQ(GetWindowTextStr(top), "Top");

    HWND a = Child(top, 10, 10, 100, 80, WS_BORDER);
    HWND b = Child(a, 5, 6, 20, 20);
    EXPECT_EQ(GetParent(b), a);
    EXPECT_TRUE(IsChild(top, b));
    ShowWindow(top, SW_SHOW);
    POINT q{1, 2};
    MapWindowPoints(b, nullptr, &q, 1);
    EXPECT_EQ(q, (POINT{104 + 10 + 1 + 5 + 1, 73 + 10 + 1 + 6 + 2}));
    EXPECT_EQ(WindowFromPoint(q), b);
    EXPECT_EQ(FindWindowA("rec", "Top"), top);  // class names ignore case
    EXPECT_EQ(FindWindowA(nullptr, "nothing"), nullptr);
    EXPECT_EQ(wintest::LiveWindowCount(), 3);

    Rec().Log.clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (auto& e : Rec().Log)
        if (e.Msg == WM_DESTROY || e.Msg == WM_NCDESTROY) order.push_back({e.Wnd, e.Msg});
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{top, WM_DESTROY}, {a, WM_DESTROY}, {b, WM_DESTROY},
                                                         {b, WM_NCDESTROY}, {a, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(wintest::LiveWindowCount(), 0);
    // Every call on a dead handle fails and does nothing.
    EXPECT_EQ(SendMessageA(top, WM_USER, 1, 2), 0);
    EXPECT_FALSE(PostMessageA(b, WM_USER, 0, 0));
    EXPECT_FALSE(SetWindowPos(a, nullptr, 0, 0, 1, 1, 0));
    EXPECT_EQ(GetWindowTextStr(top), "");
    EXPECT_EQ(GetDC(b), nullptr);
    EXPECT_EQ(SetTimer(a, 1, 100, nullptr), 0u);
    EXPECT_EQ(CreateWindowExA(0, "Rec", "", WS_CHILD, 0, 0, 1, 1, top, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST_F(WinTree, SetWindowPosAppliesTheEditedRecordAndReports) {
    HWND top = Top(0, 0, 400, 300);
    HWND c = Child(top, 10, 10, 50, 50);
    Rec().Handlers[c] = [](HWND, UINT M, WPARAM, LPARAM L) -> std::optional<LRESULT> {
        if (M == WM_WINDOWPOSCHANGING) {
            auto* wp = reinterpret_cast<WINDOWPOS*>(L);
            if (!(wp->flags & SWP_NOSIZE)) wp->cx = std::min(wp->cx, 80);  // a width limit
            wp->y = 33;
        }
        return std::nullopt;
    };
    Rec().Log.clear();
    EXPECT_TRUE(SetWindowPos(c, nullptr, 20, 25, 200, 60, SWP_NOZORDER));
    RECT r;
    GetWindowRect(c, &r);
    POINT o{0, 0};
    ClientToScreen(top, &o);
    OffsetRect(&r, -o.x, -o.y);
    EXPECT_EQ(r, (RECT{20, 33, 100, 93}));
    EXPECT_EQ(MsgsOf(c, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    for (auto& e : Rec().Log) {
        if (e.Wnd == c && e.Msg == WM_SIZE) {
            EXPECT_EQ(e.LParam, MAKELPARAM(80, 60));
        }
        if (e.Wnd == c && e.Msg == WM_MOVE) {
            EXPECT_EQ(e.LParam, MAKELPARAM(20, 33));
        }
    }
    // Nothing changes: no WM_MOVE or WM_SIZE.
    Rec().Log.clear();
    SetWindowPos(c, nullptr, 20, 33, 80, 60, SWP_NOZORDER | SWP_NOSENDCHANGING);
    EXPECT_EQ(CountOf(c, WM_SIZE) + CountOf(c, WM_MOVE), 0);
}

TEST_F(WinTree, ZOrderTopmostOwnedAndSiblings) {
    HWND a = Top(0, 0, 100, 100);
    HWND b = Top(10, 10, 100, 100);
    HWND c = Top(20, 20, 100, 100);
    EXPECT_EQ(GetTopWindow(nullptr), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
    EXPECT_EQ(GetActiveWindow(), c);
    SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(GetWindowLongA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BringWindowToTop(b);
    EXPECT_EQ(GetTopWindow(nullptr), a);  // topmost windows stay above
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);
    // An owned popup stays above its owner when the owner comes up.
    HWND popup = CreateWindowExA(0, "Rec", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, a, nullptr, 0, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), a);
    EXPECT_EQ(GetParent(popup), a);
    BringWindowToTop(a);
    EXPECT_EQ(GetTopWindow(nullptr), popup);
    EXPECT_EQ(GetWindow(popup, GW_HWNDNEXT), a);
    // Destroying the owner destroys the popup first.
    DestroyWindow(a);
    EXPECT_FALSE(IsWindow(popup));

    HWND p = Top(0, 0, 200, 200);
    HWND k1 = Child(p, 0, 0, 10, 10), k2 = Child(p, 0, 0, 10, 10), k3 = Child(p, 0, 0, 10, 10);
    EXPECT_EQ(GetWindow(p, GW_CHILD), k3);  // new children go on top
    SetWindowPos(k3, k1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(k2, GW_HWNDNEXT), k1);
    EXPECT_EQ(GetWindow(k1, GW_HWNDNEXT), k3);
}

TEST_F(WinTree, ShowStatesMaximiseMinimiseRestore) {
    HWND w = Top(100, 100, 300, 200, WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(ShowWindow(w, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), w);
    Rec().Log.clear();
    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(w));
    RECT r;
    GetWindowRect(w, &r);
    // The work area (1024 x 738) with the frame outside it.
    EXPECT_EQ(r, (RECT{-4, -4, 1028, 742}));
    bool sawMax = false;
    for (auto& e : Rec().Log)
        if (e.Wnd == w && e.Msg == WM_SIZE && e.WParam == SIZE_MAXIMIZED) sawMax = true;
    EXPECT_TRUE(sawMax);
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    WINDOWPLACEMENT wp;
    GetWindowPlacement(w, &wp);
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
    EXPECT_EQ(wp.rcNormalPosition, (RECT{100, 100, 400, 300}));
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsIconic(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(r, (RECT{100, 100, 400, 300}));
    Rec().Log.clear();
    EXPECT_TRUE(ShowWindow(w, SW_HIDE));
    EXPECT_EQ(MsgsOf(w, {WM_SHOWWINDOW}).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // A child with a hidden parent is not visible though it has WS_VISIBLE.
    HWND c = Child(w, 0, 0, 10, 10);
    EXPECT_TRUE(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(c));
}

struct THit {
    int X, Y;
    LRESULT Code;
};

TEST_F(WinTree, NonClientHitTestsGiveEveryCode) {
    HWND w = Top(100, 100, 400, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL);
    SetMenu(w, reinterpret_cast<HMENU>(uintptr_t(1)));
    // Frame 4, caption 19 (buttons 16 x 14 at y 2), menu 19, scroll bars 16.
    const THit hits[] = {
        {50, 50, HTCLIENT},       {-5, 50, HTNOWHERE},     {1, 150, HTLEFT},          {398, 150, HTRIGHT},
        {200, 1, HTTOP},          {200, 298, HTBOTTOM},    {1, 1, HTTOPLEFT},         {398, 1, HTTOPRIGHT},
        {1, 298, HTBOTTOMLEFT},   {398, 298, HTBOTTOMRIGHT}, {1, 20, HTTOPLEFT},     {150, 10, HTCAPTION},
        {8, 12, HTSYSMENU},       {385, 12, HTCLOSE},      {365, 12, HTMAXBUTTON},    {349, 12, HTMINBUTTON},
        {150, 30, HTMENU},        {390, 100, HTVSCROLL},   {100, 290, HTHSCROLL},     {390, 290, HTBOTTOMRIGHT},
    };
    for (const THit& h : hits) {
        LRESULT code = SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(100 + h.X, 100 + h.Y));
        EXPECT_EQ(code, h.Code) << "at " << h.X << "," << h.Y;
    }
    // A child with a thin border and a client edge: HTBORDER on both; a dialog frame gives HTBORDER.
    HWND c = Child(w, 10, 10, 100, 50, WS_BORDER, "Rec", WS_EX_CLIENTEDGE);
    POINT o{10, 10};
    ClientToScreen(w, &o);
    EXPECT_EQ(SendMessageA(c, WM_NCHITTEST, 0, MAKELPARAM(o.x, o.y)), HTBORDER);
    EXPECT_EQ(SendMessageA(c, WM_NCHITTEST, 0, MAKELPARAM(o.x + 2, o.y + 2)), HTBORDER);
    EXPECT_EQ(SendMessageA(c, WM_NCHITTEST, 0, MAKELPARAM(o.x + 3, o.y + 3)), HTCLIENT);
    HWND dlg = Top(500, 500, 200, 100, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, "Dlg");
    EXPECT_EQ(SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(501, 550)), HTBORDER);
    SetWindowLongA(dlg, GWL_EXSTYLE, WS_EX_CONTEXTHELP);
    EXPECT_EQ(SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(500 + 200 - 3 - 2 - 16 - 2 - 8, 500 + 12)), HTHELP);
    // AdjustWindowRectEx matches the client rectangle of WM_NCCALCSIZE.
    RECT want{0, 0, 100, 100};
    AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(want, (RECT{-6, -44, 106, 106}));
}

// ---- subclassing ----

class TSubclasser : public TObject {
    HOST_CLASS(TSubclasser, TObject)
public:
    std::string Tag;
    std::vector<std::string>* Trace = nullptr;
    HWND Wnd = nullptr;
    WNDPROC Old = nullptr;
    WNDPROC Inst = nullptr;
    void Install(HWND H) {
        Wnd = H;
        Inst = MakeObjectInstance(TWndMethod(this, &TSubclasser::WndProc));
        Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(H, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Inst)));
    }
    void WndProc(TMessage& M) {
        if (M.Msg == WM_USER) Trace->push_back(Tag);
        M.Result = CallWindowProcA(Old, Wnd, M.Msg, M.WParam, M.LParam);
    }
};

TEST_F(WinTree, SubclassChainsRemovedInAnyOrder) {
    HWND w = Top(0, 0, 50, 50, WS_POPUP);
    std::vector<std::string> trace;
    Rec().Handlers[w] = [&](HWND, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_USER) {
            trace.push_back("base");
            return 7;
        }
        return std::nullopt;
    };
    TSubclasser a, b, c;
    for (auto* s : {&a, &b, &c}) s->Trace = &trace;
    a.Tag = "a";
    b.Tag = "b";
    c.Tag = "c";
    a.Install(w);
    b.Install(w);
    c.Install(w);
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(trace, (std::vector<std::string>{"c", "b", "a", "base"}));

    // The middle link goes first: the chain skips it, c's saved pointer forwards to a.
    FreeObjectInstance(b.Inst);
    trace.clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(trace, (std::vector<std::string>{"c", "a", "base"}));
    // Calling the freed instance directly for another window does nothing.
    EXPECT_EQ(CallWindowProcA(b.Inst, nullptr, WM_USER, 0, 0), 0);

    // a removes itself the classic way (restoring what it replaced) while c is still above it.
    SetWindowLongPtrA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(a.Old));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWL_WNDPROC)), c.Inst);
    trace.clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(trace, (std::vector<std::string>{"c", "base"}));
    FreeObjectInstance(a.Inst);

    // The top goes last: the window is back to its class procedure.
    SetWindowLongPtrA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(c.Old));
    FreeObjectInstance(c.Inst);
    trace.clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(trace, (std::vector<std::string>{"base"}));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWL_WNDPROC)),
              reinterpret_cast<WNDPROC>(GetClassLongPtrA(w, GCLP_WNDPROC)));

    // Freeing the top instance without unsubclassing leaves a working window.
    TSubclasser d;
    d.Trace = &trace;
    d.Tag = "d";
    d.Install(w);
    FreeObjectInstance(d.Inst);
    trace.clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(trace, (std::vector<std::string>{"base"}));
}

TEST_F(WinTree, DestroyFromInsideItsOwnHandlerAndDataCalls) {
    HWND w = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND c = Child(w, 0, 0, 10, 10);
    bool afterDestroy = false;
    LRESULT sendAfter = -1;
    Rec().Handlers[c] = [&](HWND H, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M == WM_USER) {
            DestroyWindow(GetParent(H));
            afterDestroy = !IsWindow(H);
            sendAfter = SendMessageA(H, WM_USER + 1, 0, 0);
            return 5;
        }
        return std::nullopt;
    };
    EXPECT_EQ(SendMessageA(c, WM_USER, 0, 0), 5);
    EXPECT_TRUE(afterDestroy);
    EXPECT_EQ(sendAfter, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(CountOf(c, WM_USER + 1), 0);

    HWND t = Top(0, 0, 100, 100, WS_POPUP);
    SetWindowLongPtrA(t, GWL_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtrA(t, GWL_USERDATA), 1234);
    EXPECT_TRUE(SetPropA(t, "Ctl", &afterDestroy));
    EXPECT_EQ(GetPropA(t, "CTL"), &afterDestroy);
    EXPECT_EQ(RemovePropA(t, "ctl"), &afterDestroy);
    EXPECT_EQ(GetPropA(t, "Ctl"), nullptr);
    SetWindowTextA(t, "Hello");
    char buf[4];
    EXPECT_EQ(GetWindowTextA(t, buf, 4), 3);
    EXPECT_STREQ(buf, "Hel");
    EXPECT_EQ(GetWindowTextLengthA(t), 5);
    char cls[16];
    EXPECT_EQ(GetClassNameA(t, cls, 16), 3);
    EXPECT_STREQ(cls, "Rec");
    EXPECT_FALSE(UnregisterClassA("Rec", 0));  // windows of it exist
    DestroyWindow(t);
    EXPECT_TRUE(UnregisterClassA("Rec", 0));
    EXPECT_EQ(Top(0, 0, 1, 1), nullptr);
}

TEST_F(WinTree, CreateRefusedByWmCreateAndParentChanges) {
    HWND w = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    // A window whose WM_CREATE answers -1 is destroyed and creation returns 0.
    auto cls = WNDCLASSA{};
    cls.lpfnWndProc = +[](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
        if (M == WM_CREATE) return -1;
        return DefWindowProcA(H, M, W, L);
    };
    cls.lpszClassName = "Refuse";
    RegisterClassA(&cls);
    HWND refused = CreateWindowExA(0, "Refuse", "", WS_CHILD, 0, 0, 10, 10, w, nullptr, 0, nullptr);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(wintest::LiveWindowCount(), 1);

    HWND c = Child(w, 30, 40, 10, 10);
    HWND other = Top(300, 300, 100, 100, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(SetParent(c, other), w);
    EXPECT_EQ(GetParent(c), other);
    EXPECT_EQ(SetParent(other, c), nullptr);  // no cycles
    // The child keeps its position, now in the new parent's client area.
    POINT p{0, 0};
    ClientToScreen(c, &p);
    EXPECT_EQ(p, (POINT{330, 340}));
}

}  // namespace
}  // namespace wintests
