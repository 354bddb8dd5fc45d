// Tests of the menu components: the item tree and its handles, shortcuts, a form's menu bar, popup menus and streaming.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/app/responders.h"
#include "host/controls/menus.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "tests/host/controls/test_controls.h"

namespace {

using namespace host;
using ctltest::Make;
using ctltest::TProbe;

class MenusTest : public ctltest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterMenuClasses();
        RegisterClasses({TProbe::StaticClass()});
    }
    // A form with File > {Open (Ctrl+O), -, Save (Ctrl+S), Recent > {One, Two}}, Edit > {Undo}.
    TForm* MakeForm(std::vector<std::string>* Log) {
        auto* f = new TForm(nullptr, 0);
        f->SetBounds(100, 100, 320, 200);
        auto click = [Log](const char* What) { return TNotifyEvent([Log, What](TObject*) { Log->push_back(What); }); };
        auto* menu = NewMenu(f, "MainMenu1",
            {NewSubMenu(f, "&File", 0, "FileMenu",
                        {NewItem(f, "&Open", ShortCut('O', {ssCtrl}), false, true, click("open"), 0, "OpenItem"),
                         NewLine(f),
                         NewItem(f, "&Save", ShortCut('S', {ssCtrl}), false, true, click("save"), 0, "SaveItem"),
                         NewSubMenu(f, "&Recent", 0, "RecentMenu",
                                    {NewItem(f, "One", 0, false, true, click("one"), 0, "One"),
                                     NewItem(f, "Two", 0, false, true, click("two"), 0, "Two")})}),
             NewSubMenu(f, "&Edit", 0, "EditMenu",
                        {NewItem(f, "&Undo", ShortCut('Z', {ssCtrl}), false, false, click("undo"), 0, "UndoItem")})});
        f->SetMenu(menu);
        return f;
    }
    static TPoint Mid(const RECT& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    // When the loop gets there: move to item Pos of the menu handle and go on.
    static void At(HWND Owner, HMENU Menu, int Pos, std::function<void()> Then) {
        Input::Call([=] {
            RECT r{};
            ASSERT_TRUE(GetMenuItemRect(Owner, Menu, UINT(Pos), &r));
            Input::MouseMove(Mid(r).x, Mid(r).y);
            if (Then) Then();
        });
    }
};

TEST_F(MenusTest, ItemTreeRadioGroupsAndHandles) {
    TComponent owner(nullptr);
    auto* pm = new TPopupMenu(&owner);
    auto* a = new TMenuItem(&owner);
    auto* b = new TMenuItem(&owner);
    auto* c = new TMenuItem(&owner);
    a->SetCaption("&Alpha");
    b->SetCaption("&Beta");
    c->SetCaption("Gamma && Co");
    pm->Items()->Add({a, b});
    pm->Items()->Insert(1, c);
    EXPECT_EQ(pm->Items()->Count(), 3);
    EXPECT_EQ(c->MenuIndex(), 1);
    EXPECT_EQ(pm->Items()->IndexOf(b), 2);
    EXPECT_EQ(pm->Items()->Find("alpha"), a);
    EXPECT_EQ(pm->Items()->Find("gamma && co"), c);
    EXPECT_EQ(a->GetParentMenu(), pm);
    EXPECT_EQ(a->GetParentComponent(), pm);
    EXPECT_THROW(pm->Items()->Add(a), EMenuError);       // already in the tree
    EXPECT_THROW(pm->Items()->Insert(9, new TMenuItem(&owner)), EMenuError);
    EXPECT_THROW(pm->Items()->Items(3), EMenuError);
    a->Add(new TMenuItem(&owner));
    EXPECT_THROW(a->Items(0)->Add(a), EMenuError);        // an item inside itself
    b->SetMenuIndex(0);
    EXPECT_EQ(pm->Items()->Items(0), b);

    // The handle follows the tree: invisible items are left out, the shortcut is shown.
    HMENU h = pm->Handle();
    EXPECT_EQ(GetMenuItemCount(h), 3);
    c->SetShortCut(ShortCut(VK_DELETE, {ssShift}));
    c->SetEnabled(false);
    EXPECT_EQ(GetMenuStringStr(h, 2, MF_BYPOSITION), "Gamma && Co\tShift+Del");
    EXPECT_EQ(GetMenuState(h, 2, MF_BYPOSITION) & MF_GRAYED, UINT(MF_GRAYED));
    b->SetVisible(false);
    EXPECT_EQ(pm->Handle(), h);  // rebuilt in place
    EXPECT_EQ(GetMenuItemCount(h), 2);
    EXPECT_EQ(GetSubMenu(h, 0), a->Handle());
    EXPECT_EQ(pm->FindItem(reinterpret_cast<uintptr_t>(a->Handle()), fkHandle), a);
    EXPECT_EQ(pm->FindItem(c->Command(), fkCommand), c);
    EXPECT_EQ(pm->FindItem(ShortCut(VK_DELETE, {ssShift}), fkShortCut), c);

    // Radio items: checking one unchecks the others of its group only.
    auto* r1 = new TMenuItem(&owner);
    auto* r2 = new TMenuItem(&owner);
    auto* r3 = new TMenuItem(&owner);
    for (auto* r : {r1, r2, r3}) r->SetRadioItem(true);
    r3->SetGroupIndex(2);
    a->Add({r1, r2, r3});
    r1->SetChecked(true);
    r3->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_TRUE(r3->Checked());
    MENUITEMINFOA mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(h, r2->Command(), FALSE, &mii));
    EXPECT_TRUE(mii.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(mii.fState & MFS_CHECKED);

    // Commands are unique and freed with their items; deleting leaves no stale entry.
    WORD cmd = r1->Command();
    EXPECT_NE(cmd, r2->Command());
    delete r1;
    EXPECT_EQ(pm->FindItem(cmd, fkCommand), nullptr);
    EXPECT_EQ(a->Count(), 3);
    a->Clear();
    EXPECT_EQ(a->Count(), 0);

    // An action gives the item its caption, shortcut, state and click; its removal unlinks.
    auto* act = new TAction(&owner);
    act->SetCaption("&Run");
    act->SetShortCut(ShortCut(VK_F9, {}));
    int runs = 0;
    act->OnExecute = TNotifyEvent([&](TObject*) { ++runs; });
    auto* linked = new TMenuItem(&owner);
    pm->Items()->Add(linked);
    linked->SetAction(act);
    EXPECT_EQ(linked->Caption(), "&Run");
    EXPECT_EQ(pm->FindItem(ShortCut(VK_F9, {}), fkShortCut), linked);
    act->SetEnabled(false);
    EXPECT_FALSE(linked->Enabled());
    linked->Click();
    act->SetEnabled(true);
    linked->Click();
    EXPECT_EQ(runs, 1);
    delete act;
    EXPECT_EQ(linked->Action(), nullptr);

    // The shortcut routines.
    EXPECT_EQ(ShortCut('S', {ssCtrl}), TShortCut(scCtrl | 'S'));
    EXPECT_EQ(ShortCutToText(ShortCut('S', {ssCtrl})), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, {})), "F5");
    EXPECT_EQ(TextToShortCut("Shift+Del"), ShortCut(VK_DELETE, {ssShift}));
    EXPECT_EQ(TextToShortCut("Ctrl+Alt+F2"), ShortCut(VK_F2, {ssCtrl, ssAlt}));
    WORD key;
    TShiftState shift;
    ShortCutToKey(TShortCut(scAlt | scShift | 'Q'), key, shift);
    EXPECT_EQ(key, 'Q');
    EXPECT_EQ(shift, (TShiftState{ssAlt, ssShift}));
    EXPECT_EQ(StripHotkey("&Save && Exit"), "Save & Exit");
    EXPECT_EQ(GetHotkey("Save && E&xit"), 'x');
}

TEST_F(MenusTest, MainMenuBarByMouseKeyboardAndShortcuts) {
    std::vector<std::string> log;
    TForm* f = MakeForm(&log);
    auto* probe = Make<TProbe>(f, f, 10, 10, 100, 50, "Probe");
    f->Show();
    probe->SetFocus();
    Input::ProcessAll();
    HWND h = f->Handle();
    auto* menu = f->Menu();
    ASSERT_EQ(GetMenu(h), menu->Handle());
    RECT file;
    ASSERT_TRUE(GetMenuItemRect(h, menu->Handle(), 0, &file));
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(Mid(file).x, Mid(file).y)), HTMENU);

    // Click File, then Open.
    HMENU fileMenu = static_cast<TMenuItem*>(f->FindComponent("FileMenu"))->Handle();
    Input::Click(Mid(file).x, Mid(file).y);
    At(h, fileMenu, 0, [] { Input::Click(); });
    Input::ProcessAll();
    EXPECT_EQ(log, std::vector<std::string>{"open"});

    // Into a submenu with the mouse: File > Recent > Two.
    log.clear();
    HMENU recent = static_cast<TMenuItem*>(f->FindComponent("RecentMenu"))->Handle();
    Input::Click(Mid(file).x, Mid(file).y);
    At(h, fileMenu, 3, [=] {
        At(h, recent, 1, [=] {
            Input::Click();
        });
    });
    Input::ProcessAll();
    EXPECT_EQ(log, std::vector<std::string>{"two"});

    // Alt+F opens File on Open; Down skips the separator to Save; Enter.
    log.clear();
    Input::KeyDown(VK_MENU);
    Input::Key('F');
    Input::KeyUp(VK_MENU);
    Input::Key(VK_DOWN);
    Input::Key(VK_RETURN);
    Input::ProcessAll();
    EXPECT_EQ(log, std::vector<std::string>{"save"});

    // F10 enters the bar; Right to Edit; Down opens it; Esc, Esc leaves. Alt alone then Esc.
    log.clear();
    for (int k : {VK_F10, VK_RIGHT, VK_DOWN, VK_ESCAPE, VK_ESCAPE, VK_MENU, VK_ESCAPE}) Input::Key(k);
    Input::ProcessAll();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(GetCapture(), nullptr);

    // Shortcuts: Ctrl+S runs Save from the focused control; a disabled item's does nothing;
    // the key does not reach the control.
    int keys = 0;
    probe->OnKeyDown = TKeyEvent([&](TObject*, WORD&, TShiftState) { ++keys; });
    Input::KeyDown(VK_CONTROL);
    Input::Key('S');
    Input::Key('Z');
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(log, std::vector<std::string>{"save"});
    EXPECT_EQ(keys, 2);  // Ctrl itself and the unused Ctrl+Z
    // Hints of items reach the application while they are selected.
    static_cast<TMenuItem*>(f->FindComponent("OpenItem"))->SetHint("Opens a file|Opens a file from disk");
    std::vector<std::string> hints;
    Application->OnHint = TNotifyEvent([&](TObject*) { hints.push_back(Application->Hint()); });
    Input::Click(Mid(file).x, Mid(file).y);
    At(h, fileMenu, 0, [] {
        Input::Key(VK_ESCAPE);
        Input::Key(VK_ESCAPE);
    });
    Input::ProcessAll();
    EXPECT_NE(std::find(hints.begin(), hints.end(), "Opens a file from disk"), hints.end());
    EXPECT_EQ(Application->Hint(), "");

    // Another caption updates the bar; a narrow form wraps the bar and loses client height.
    int ch = f->ClientHeight();
    static_cast<TMenuItem*>(f->FindComponent("EditMenu"))->SetCaption("&Edit everything here");
    f->SetWidth(90);
    EXPECT_LT(f->ClientHeight(), ch);
    // Another form may not take a menu that is in use; removing the menu removes the bar.
    TForm other(nullptr, 0);
    other.HandleNeeded();
    EXPECT_THROW(other.SetMenu(menu), EInvalidOperation);
    delete menu;
    EXPECT_EQ(f->Menu(), nullptr);
    EXPECT_EQ(GetMenu(h), nullptr);
    delete f;
}

TEST_F(MenusTest, PopupMenusOnRightClickAndThroughResponders) {
    std::vector<std::string> log;
    auto* f = new TForm(nullptr, 0);
    f->SetBounds(100, 100, 300, 200);
    auto* probe = Make<TProbe>(f, f, 20, 20, 120, 80, "Probe");
    auto click = [&](const char* What) { return TNotifyEvent([&log, What](TObject*) { log.push_back(What); }); };
    auto* pm = NewPopupMenu(f, "Pop", paLeft, true,
                            {NewItem(f, "&Copy", 0, false, true, click("copy"), 0, "CopyItem"), NewLine(f),
                             NewSubMenu(f, "&More", 0, "More", {NewItem(f, "&Deep", 0, false, true, click("deep"), 0, "")}),
                             NewItem(f, "&Off", 0, false, false, click("off"), 0, "")});
    pm->OnPopup = TNotifyEvent([&](TObject*) { log.push_back("popup"); });
    probe->SetPopupMenu(pm);
    f->Show();
    Input::ProcessAll();

    // A responder clicks by caption (ignoring '&'); it sees the visible captions.
    TPoint at = probe->ClientToScreen(TPoint{30, 40});
    {
        TDialogResponder r;
        std::vector<std::string> buttons;
        r.Expect(dkPopupMenu, "", [&](TDialogInfo& Info) {
            buttons = Info.Buttons;
            EXPECT_EQ(Info.Object, pm);
            Info.Click("Copy");
            return mrNone;
        });
        Input::Click(at.x, at.y, Input::Button::Right);
        Input::ProcessAll();
        EXPECT_EQ(buttons, (std::vector<std::string>{"&Copy", "&More", "&Off"}));
        EXPECT_EQ(log, (std::vector<std::string>{"popup", "copy"}));
        EXPECT_EQ(pm->PopupComponent(), probe);
        EXPECT_EQ(pm->PopupPoint(), at);
        // Items of submenus are found too; an unknown caption is an error for the test.
        log.clear();
        r.Then([](TDialogInfo& Info) {
            Info.Click("deep");
            return mrNone;
        });
        pm->Popup(10, 10);
        EXPECT_EQ(log, (std::vector<std::string>{"popup", "deep"}));
        r.Then([](TDialogInfo& Info) {
            EXPECT_FALSE(Info.HasButton("Nothing"));
            return mrCancel;
        });
        log.clear();
        pm->Popup(10, 10);
        EXPECT_EQ(log, (std::vector<std::string>{"popup"}));
    }

    // The real loop, driven by the mouse: More > Deep. OnContextPopup may take the click instead.
    log.clear();
    {
        TDialogResponder r;
        r.Always([](const TDialogInfo& I) { return I.Kind == dkPopupMenu; }, [](TDialogInfo&) { return mrNone; });
        HMENU more = static_cast<TMenuItem*>(f->FindComponent("More"))->Handle();
        Input::Click(at.x, at.y, Input::Button::Right);
        At(pm->WindowHandle(), pm->Handle(), 2, [=] {
            At(pm->WindowHandle(), more, 0, [] {
                Input::Click();
            });
        });
        Input::ProcessAll();
        EXPECT_EQ(log, (std::vector<std::string>{"popup", "deep"}));
        // The disabled item does nothing; Esc closes.
        log.clear();
        Input::Click(at.x, at.y, Input::Button::Right);
        At(pm->WindowHandle(), pm->Handle(), 3, [] {
            Input::Click();
            Input::Key(VK_ESCAPE);
        });
        Input::ProcessAll();
        EXPECT_EQ(log, (std::vector<std::string>{"popup"}));
    }
    log.clear();
    bool handled = true;
    probe->OnContextPopup = TContextPopupEvent([&](TObject*, TPoint P, bool& H) {
        EXPECT_EQ(P, (TPoint{30, 40}));
        H = handled;
    });
    Input::Click(at.x, at.y, Input::Button::Right);
    Input::ProcessAll();
    EXPECT_TRUE(log.empty());
    probe->OnContextPopup = nullptr;
    // The context-menu key and Shift+F10 open it at the focused control's centre.
    {
        TDialogResponder r;
        r.Expect(dkPopupMenu, "", mrCancel).Expect(dkPopupMenu, "", mrCancel);
        probe->SetFocus();
        Input::Key(VK_APPS);
        Input::KeyDown(VK_SHIFT);
        Input::Key(VK_F10);
        Input::KeyUp(VK_SHIFT);
        Input::ProcessAll();
        EXPECT_EQ(pm->PopupPoint(), probe->ClientToScreen(TPoint{60, 40}));
        EXPECT_EQ(r.Pending(), 0);
    }
    log.clear();
    // Without AutoPopup the right click shows nothing (a shown popup would be logged by the recorder).
    pm->SetAutoPopup(false);
    ClearDialogLog();
    Input::Click(at.x, at.y, Input::Button::Right);
    Input::ProcessAll();
    EXPECT_TRUE(DialogLog().empty());
    // A popup menu's shortcut works from its control.
    static_cast<TMenuItem*>(f->FindComponent("CopyItem"))->SetShortCut(ShortCut(VK_INSERT, {ssCtrl}));
    probe->SetFocus();
    Input::KeyDown(VK_CONTROL);
    Input::Key(VK_INSERT);
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(log, std::vector<std::string>{"copy"});
    delete f;
}

TEST_F(MenusTest, MenuTreesRoundTripThroughFormFiles) {
    std::vector<std::string> log;
    TForm* f = MakeForm(&log);
    f->SetName("MenuForm");
    auto* probe = Make<TProbe>(f, f, 10, 10, 100, 50, "Probe");
    auto* pm = NewPopupMenu(f, "Pop", paRight, false, {NewItem(f, "&Cut", 0, true, true, nullptr, 7, "CutItem")});
    pm->SetTrackButton(tbLeftButton);
    probe->SetPopupMenu(pm);
    auto* save = static_cast<TMenuItem*>(f->FindComponent("SaveItem"));
    save->SetRadioItem(true);
    save->SetGroupIndex(3);
    save->SetBreak(mbBarBreak);
    save->SetHint("Save it");
    static_cast<TMenuItem*>(f->FindComponent("UndoItem"))->SetDefault(true);

    TStringStream out("");
    out.WriteComponent(f);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("Menu = MainMenu1"), std::string::npos) << text;
    EXPECT_NE(text.find("ShortCut = 16467"), std::string::npos) << text;  // Ctrl+S
    EXPECT_NE(text.find("object RecentMenu: TMenuItem"), std::string::npos) << text;

    auto* copy = new TForm(nullptr, 0);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* menu = copy->Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Name(), "MainMenu1");
    ASSERT_EQ(menu->Items()->Count(), 2);
    TMenuItem* fileMenu = menu->Items()->Items(0);
    EXPECT_EQ(fileMenu->Caption(), "&File");
    ASSERT_EQ(fileMenu->Count(), 4);
    EXPECT_TRUE(fileMenu->Items(1)->IsLine());
    TMenuItem* save2 = fileMenu->Items(2);
    EXPECT_EQ(save2->Name(), "SaveItem");
    EXPECT_EQ(save2->ShortCut(), ShortCut('S', {ssCtrl}));
    EXPECT_TRUE(save2->RadioItem());
    EXPECT_EQ(save2->GroupIndex(), 3);
    EXPECT_EQ(save2->Break(), mbBarBreak);
    EXPECT_EQ(save2->Hint(), "Save it");
    EXPECT_EQ(fileMenu->Items(3)->Count(), 2);
    EXPECT_EQ(fileMenu->Items(3)->Items(1)->Caption(), "Two");
    TMenuItem* undo = menu->Items()->Items(1)->Items(0);
    EXPECT_FALSE(undo->Enabled());
    EXPECT_TRUE(undo->Default());
    auto* probe2 = static_cast<TProbe*>(copy->FindComponent("Probe"));
    ASSERT_NE(probe2, nullptr);
    auto* pm2 = probe2->PopupMenu();
    ASSERT_NE(pm2, nullptr);
    EXPECT_EQ(pm2->Name(), "Pop");
    EXPECT_EQ(pm2->Alignment(), paRight);
    EXPECT_FALSE(pm2->AutoPopup());
    EXPECT_EQ(pm2->TrackButton(), tbLeftButton);
    ASSERT_EQ(pm2->Items()->Count(), 1);
    EXPECT_TRUE(pm2->Items()->Items(0)->Checked());
    EXPECT_EQ(pm2->Items()->Items(0)->HelpContext(), 7);
    // The copy's bar works once shown, and the bar does not eat the designed client area.
    copy->Show();
    EXPECT_EQ(GetMenuItemCount(GetMenu(copy->Handle())), 2);
    EXPECT_EQ(copy->ClientHeight(), f->ClientHeight());
    delete copy;
    delete f;
}

}  // namespace
