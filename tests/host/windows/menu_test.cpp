// Tests of the menu calls: handles, items and states, pop-up tracking by mouse and keyboard, owner drawing and the menu bar.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "host/gdi/gdi.h"
#include "host/gdi/imagefile.h"
#include "host/windows/menu.h"
#include "tests/host/windows/wintest_util.h"

namespace wintests {
namespace {

class Menus : public WinFixture {
protected:
    HWND Owner() { return Top(100, 100, 300, 200); }
    // A pop-up: "&Open"(1), "&Recent" > {"&a.txt"(11), "&b.txt"(12)}, separator, "&Gray"(2, grayed), "E&xit"(3).
    HMENU Sample(HMENU* SubOut = nullptr) {
        HMENU sub = CreatePopupMenu();
        AppendMenuA(sub, MF_STRING, 11, "&a.txt");
        AppendMenuA(sub, MF_STRING, 12, "&b.txt");
        HMENU m = CreatePopupMenu();
        AppendMenuA(m, MF_STRING, 1, "&Open\tCtrl+O");
        AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Recent");
        AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(m, MF_STRING | MF_GRAYED, 2, "&Gray");
        AppendMenuA(m, MF_STRING, 3, "E&xit");
        if (SubOut) *SubOut = sub;
        return m;
    }
    // Queues: when the loop gets there, move to the middle of item Pos of Menu and go on with Then.
    static void At(HWND Owner, HMENU Menu, int Pos, std::function<void()> Then) {
        Input::Call([=] {
            RECT r{};
            ASSERT_TRUE(GetMenuItemRect(Owner, Menu, UINT(Pos), &r)) << "item " << Pos << " is not on screen";
            Input::MouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            if (Then) Then();
        });
    }
};

TEST_F(Menus, HandlesItemsAndStates) {
    HMENU sub = nullptr;
    HMENU m = Sample(&sub);
    int live = MenuHandleCount();
    EXPECT_EQ(GetMenuItemCount(m), 5);
    EXPECT_EQ(GetMenuItemID(m, 0), 1u);
    EXPECT_EQ(GetMenuItemID(m, 1), UINT(-1));  // a submenu has no command
    EXPECT_EQ(GetSubMenu(m, 1), sub);
    EXPECT_EQ(GetMenuStringStr(m, 12, MF_BYCOMMAND), "&b.txt");  // by command searches submenus
    char buf[4];
    EXPECT_EQ(GetMenuStringA(m, 0, buf, sizeof buf, MF_BYPOSITION), 3);
    EXPECT_STREQ(buf, "&Op");
    EXPECT_EQ(GetMenuState(m, 1, MF_BYPOSITION), UINT(MF_POPUP | (2 << 8)));
    EXPECT_EQ(GetMenuState(m, 2, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(m, 99, MF_BYCOMMAND), UINT(-1));

    EXPECT_EQ(CheckMenuItem(m, 11, MF_CHECKED), DWORD(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m, 11, MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(EnableMenuItem(m, 2, MF_ENABLED), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND), UINT(MF_ENABLED));
    // Radio items: one dot in the range; a check outside the range is refused.
    ASSERT_TRUE(CheckMenuRadioItem(sub, 0, 1, 1, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(sub, 12, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
    MENUITEMINFOA info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(sub, 12, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    ASSERT_TRUE(CheckMenuRadioItem(sub, 0, 1, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(sub, 12, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_FALSE(CheckMenuRadioItem(sub, 0, 0, 1, MF_BYPOSITION));
    // Default item.
    ASSERT_TRUE(SetMenuDefaultItem(m, 3, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), 3u);
    EXPECT_EQ(GetMenuDefaultItem(m, TRUE, 0), 4u);
    ASSERT_TRUE(SetMenuDefaultItem(m, UINT(-1), FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), UINT(-1));

    // Insert before a command (inside the submenu), modify, item info round trip.
    ASSERT_TRUE(InsertMenuA(m, 12, MF_BYCOMMAND | MF_STRING, 13, "&c.txt"));
    EXPECT_EQ(GetMenuItemID(sub, 1), 13u);
    ASSERT_TRUE(ModifyMenuA(m, 13, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 14, "&d.txt"));
    EXPECT_EQ(GetMenuItemID(sub, 1), 14u);
    EXPECT_EQ(GetMenuState(sub, 1, MF_BYPOSITION), UINT(MF_CHECKED));
    MENUITEMINFOA set;
    set.fMask = MIIM_STRING | MIIM_DATA | MIIM_ID;
    char text[] = "Re&name";
    set.dwTypeData = text;
    set.dwItemData = 4242;
    set.wID = 21;
    ASSERT_TRUE(SetMenuItemInfoA(m, 0, TRUE, &set));
    MENUITEMINFOA get;
    char out[16];
    get.fMask = MIIM_STRING | MIIM_DATA | MIIM_ID | MIIM_SUBMENU;
    get.dwTypeData = out;
    get.cch = sizeof out;
    ASSERT_TRUE(GetMenuItemInfoA(m, 21, FALSE, &get));
    EXPECT_STREQ(out, "Re&name");
    EXPECT_EQ(get.cch, 7u);
    EXPECT_EQ(get.dwItemData, 4242u);
    EXPECT_EQ(get.hSubMenu, nullptr);

    // A menu never becomes its own submenu (that would loop for ever).
    EXPECT_FALSE(AppendMenuA(sub, MF_POPUP, reinterpret_cast<UINT_PTR>(m), "Loop"));
    EXPECT_FALSE(AppendMenuA(m, MF_POPUP, reinterpret_cast<UINT_PTR>(m), "Self"));
    MENUITEMINFOA loop;
    loop.fMask = MIIM_SUBMENU;
    loop.hSubMenu = m;
    EXPECT_FALSE(SetMenuItemInfoA(sub, 0, TRUE, &loop));

    // RemoveMenu keeps the submenu alive, DeleteMenu destroys it.
    ASSERT_TRUE(RemoveMenu(m, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    ASSERT_TRUE(InsertMenuA(m, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Recent"));
    ASSERT_TRUE(DeleteMenu(m, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(MenuHandleCount(), live - 1);

    // Stale handles fail and change nothing.
    ASSERT_TRUE(DestroyMenu(m));
    EXPECT_FALSE(DestroyMenu(m));
    EXPECT_EQ(GetMenuItemCount(m), -1);
    EXPECT_FALSE(AppendMenuA(m, MF_STRING, 5, "x"));
    EXPECT_EQ(CheckMenuItem(m, 1, MF_CHECKED), DWORD(-1));
    EXPECT_EQ(GetSubMenu(m, 0), nullptr);
    EXPECT_EQ(GetMenuStringStr(m, 0, MF_BYPOSITION), "");
    EXPECT_EQ(MenuHandleCount(), live - 2);
    HWND w = Owner();
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, w, nullptr), 0);
}

TEST_F(Menus, PopupTrackedWithTheMouse) {
    HWND w = Owner();
    HMENU sub = nullptr;
    HMENU m = Sample(&sub);
    int windows = wintest::LiveWindowCount();
    // Open the submenu by hovering, then click its second item.
    At(w, m, 1, [=] { At(w, sub, 1, [] { Input::Click(); }); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, 150, 150, 0, w, nullptr), 12);
    EXPECT_EQ(wintest::LiveWindowCount(), windows);  // the pop-up windows are gone
    // The owner heard the loop in order, and no WM_COMMAND with TPM_RETURNCMD.
    std::vector<UINT> msgs = MsgsOf(w, {WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND});
    EXPECT_EQ(msgs, (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_INITMENUPOPUP,
                                       WM_EXITMENULOOP}));
    bool sawSubSelect = false;
    for (auto& e : Rec().Log)
        if (e.Wnd == w && e.Msg == WM_MENUSELECT && LOWORD(e.WParam) == 12 && HIWORD(e.WParam) & MF_HILITE &&
            reinterpret_cast<HMENU>(e.LParam) == sub)
            sawSubSelect = true;
    EXPECT_TRUE(sawSubSelect);

    // Without TPM_RETURNCMD the choice arrives as a posted WM_COMMAND.
    Rec().Log.clear();
    At(w, m, 0, [] { Input::Click(); });
    EXPECT_EQ(TrackPopupMenu(m, TPM_LEFTBUTTON, 150, 150, 0, w, nullptr), TRUE);
    EXPECT_EQ(CountOf(w, WM_COMMAND), 0);
    Input::ProcessAll();
    ASSERT_EQ(CountOf(w, WM_COMMAND), 1);
    for (auto& e : Rec().Log)
        if (e.Msg == WM_COMMAND) {
            EXPECT_EQ(e.WParam, WPARAM(1));
        }

    // A grayed item and a separator do not choose; a press outside cancels.
    At(w, m, 3, [=] {
        Input::Click();
        At(w, m, 2, [] {
            Input::Click();
            Input::Click(5, 5);
        });
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, w, nullptr), 0);
    // An empty script ends the loop instead of hanging it.
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 150, 150, 0, w, nullptr), 0);
    EXPECT_EQ(wintest::LiveWindowCount(), windows);
    DestroyMenu(m);
}

TEST_F(Menus, PopupTrackedWithTheKeyboard) {
    HWND w = Owner();
    HMENU sub = nullptr;
    HMENU m = Sample(&sub);
    // Down to "Recent" (first Down selects Open), Right opens it on its first item, Down, Enter.
    for (int k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) Input::Key(k);
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 50, 50, 0, w, nullptr), 12);
    // Up wraps past the separator and the grayed item is skipped by nothing: Up, Up = Gray; Enter does nothing;
    // Escape from the root cancels.
    for (int k : {VK_UP, VK_UP, VK_RETURN, VK_ESCAPE}) Input::Key(k);
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 50, 50, 0, w, nullptr), 0);
    // Escape closes only the submenu; then the accelerator of Exit chooses it.
    for (int k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE}) Input::Key(k);
    Input::Type("x");
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 50, 50, 0, w, nullptr), 3);
    // An accelerator of a submenu opens it; its item's accelerator picks.
    Input::Type("ra");
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 50, 50, 0, w, nullptr), 11);
    // Placement: right-aligned and bottom-aligned at the point, pushed inside the screen.
    Input::Call([=] {
        RECT r;
        ASSERT_TRUE(GetMenuItemRect(w, m, 0, &r));
        EXPECT_LT(r.right, 400 + 1);
        EXPECT_LT(r.top, 300);
        Input::Key(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 400, 300, 0, w, nullptr), 0);
    DestroyMenu(m);
}

TEST_F(Menus, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
    HWND w = Owner();
    std::vector<DRAWITEMSTRUCT> drawn;
    Rec().Handlers[w] = [&](HWND, UINT Msg, WPARAM, LPARAM L) -> std::optional<LRESULT> {
        if (Msg == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(L);
            EXPECT_EQ(mis->CtlType, UINT(ODT_MENU));
            EXPECT_EQ(mis->itemData, 77u);
            mis->itemWidth = 90;
            mis->itemHeight = 30;
            return TRUE;
        }
        if (Msg == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(L));
            return TRUE;
        }
        return std::nullopt;
    };
    HMENU m = CreatePopupMenu();
    AppendMenuA(m, MF_OWNERDRAW, 5, reinterpret_cast<const char*>(uintptr_t(77)));
    AppendMenuA(m, MF_STRING, 6, "Plain");
    Input::Call([&] {
        RECT r;
        ASSERT_TRUE(GetMenuItemRect(w, m, 0, &r));
        EXPECT_EQ(r.bottom - r.top, 30);
        Input::MouseMove(r.left + 5, r.top + 5);
        Input::Call([&] {
            ASSERT_FALSE(drawn.empty());
            EXPECT_TRUE(drawn.back().itemState & ODS_SELECTED);
            Input::Click();
        });
    });
    EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 20, 20, 0, w, nullptr), 5);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front().CtlType, UINT(ODT_MENU));
    EXPECT_EQ(drawn.front().itemID, 5u);
    EXPECT_EQ(drawn.front().hwndItem, reinterpret_cast<HWND>(m));
    DestroyMenu(m);
}

TEST_F(Menus, MenuBarTakesFrameSpaceWrapsAndTracks) {
    HWND w = Top(100, 100, 400, 200);
    RECT before;
    GetClientRect(w, &before);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_STRING, 102, "&Save");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    for (const char* t : {"&Edit", "&View", "&Tools", "&Window", "&Help"}) AppendMenuA(bar, MF_STRING, 200, t);
    ASSERT_TRUE(SetMenu(w, bar));
    RECT with;
    GetClientRect(w, &with);
    int row = GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(before.bottom - with.bottom, row);
    // Narrow: the titles wrap onto a second line.
    SetWindowPos(w, nullptr, 0, 0, 120, 200, SWP_NOMOVE | SWP_NOZORDER);
    RECT narrow;
    GetClientRect(w, &narrow);
    EXPECT_GE(with.bottom - narrow.bottom, row);
    SetWindowPos(w, nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER);
    UpdateAllWindows();

    // The bar's background is the menu colour; its title is a hit on HTMENU.
    RECT title;
    ASSERT_TRUE(GetMenuItemRect(w, bar, 0, &title));
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(title.left + 3, title.top + 3)), HTMENU);
    TPixelImage img;
    ASSERT_TRUE(wintest::CaptureDesktop(img));
    COLORREF menu = GetSysColor(COLOR_MENU);
    uint32_t px = img.Pixels[size_t(title.top + 2) * size_t(img.Width) + size_t(title.right + 150)] & 0xFFFFFF;
    EXPECT_EQ(px, uint32_t((GetRValue(menu) << 16) | (GetGValue(menu) << 8) | GetBValue(menu)));

    // Click "File", then "Save": WM_COMMAND 102 is posted to the window.
    Input::Click((title.left + title.right) / 2, (title.top + title.bottom) / 2);
    At(w, file, 1, [&] {
        Input::Click();
    });
    Input::ProcessAll();
    std::vector<WPARAM> commands;
    for (auto& e : Rec().Log)
        if (e.Wnd == w && e.Msg == WM_COMMAND) commands.push_back(e.WParam);
    EXPECT_EQ(commands, std::vector<WPARAM>{102});

    // The keyboard: Alt+F (as the system command) opens File on its first item; Down, Enter picks Save.
    Rec().Log.clear();
    Input::Key(VK_DOWN);
    Input::Key(VK_RETURN);
    SendMessageA(w, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    Input::ProcessAll();
    EXPECT_EQ(CountOf(w, WM_COMMAND), 1);
    // Alt alone selects the first title; Right moves along; Esc leaves the bar.
    Rec().Log.clear();
    Input::Key(VK_RIGHT);
    Input::Key(VK_ESCAPE);
    SendMessageA(w, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(CountOf(w, WM_COMMAND), 0);
    EXPECT_EQ(CountOf(w, WM_EXITMENULOOP), 1);
    // A destroyed bar menu leaves an empty bar and no crash.
    DestroyMenu(bar);
    EXPECT_FALSE(DrawMenuBar(reinterpret_cast<HWND>(uintptr_t(12345))));
    EXPECT_TRUE(DrawMenuBar(w));
    UpdateAllWindows();
}

}  // namespace
}  // namespace wintests
