// Tab controls, page controls, notebooks, status bars, header controls and progress bars driven through the input simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/comctrls.h"
#include "host/os/keyboard.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

using Log = std::vector<std::string>;

class ComCtrlsTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterComCtrlClasses();
    }
    static std::unique_ptr<TForm> NewForm(int W = 400, int H = 300) {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBounds(20, 20, W, H);
        form->Show();
        return form;
    }
    // Clicks a control at client point (X, Y) and lets the messages run.
    static void ClickAt(TControl* C, int X, int Y) {
        TPoint p = C->ClientToScreen(TPoint{X, Y});
        Input::Click(p.x, p.y);
        Input::ProcessAll();
    }
    static TPoint Centre(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    static void CtrlTab(bool Shift) {
        Input::KeyDown(VK_CONTROL);
        if (Shift) Input::KeyDown(VK_SHIFT);
        Input::Key(VK_TAB);
        if (Shift) Input::KeyUp(VK_SHIFT);
        Input::KeyUp(VK_CONTROL);
        Input::ProcessAll();
    }
    static std::string RoundTrip(TForm* Form, std::unique_ptr<TForm>& Copy) {
        TStringStream out("");
        out.WriteComponent(Form);
        Copy = std::make_unique<TForm>(nullptr);
        TStringStream in(out.DataString());
        in.ReadComponent(Copy.get());
        return ObjectBinaryToTextString(out.DataString());
    }
};

TEST_F(ComCtrlsTest, TabControlMouseAndKeyboard) {
    auto form = NewForm();
    auto* tabs = Make<TTabControl>(form.get(), form.get(), 10, 10, 300, 200, "Tabs");
    tabs->Tabs()->SetCommaText("One,Two,Three");
    EXPECT_EQ(tabs->TabIndex(), 0);  // the first tab is selected once there are tabs
    Log log;
    bool allow = true;
    tabs->OnChanging = [&](TObject*, bool& Allow) { log.push_back("changing"); Allow = allow; };
    tabs->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(tabs->TabIndex())); };

    // Tabs sit in one row above the display area, left to right.
    TRect r0 = tabs->TabRect(0), r1 = tabs->TabRect(1), r2 = tabs->TabRect(2);
    EXPECT_LE(r0.right, r1.left);
    EXPECT_LE(r1.right, r2.left);
    EXPECT_LE(r0.bottom, tabs->DisplayRect().top);
    EXPECT_EQ(tabs->IndexOfTabAt(Centre(r1).x, Centre(r1).y), 1);
    EXPECT_EQ(tabs->IndexOfTabAt(150, 150), -1);

    ClickAt(tabs, Centre(r1).x, Centre(r1).y);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_TRUE(tabs->Focused());
    EXPECT_EQ(log, (Log{"changing", "change 1"}));

    // OnChanging refuses: nothing moves and OnChange stays quiet.
    log.clear();
    allow = false;
    ClickAt(tabs, Centre(r2).x, Centre(r2).y);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(log, (Log{"changing"}));
    allow = true;

    // Arrows move one tab and stop at the ends; Ctrl+Tab wraps round.
    log.clear();
    Input::Key(VK_RIGHT);
    Input::Key(VK_RIGHT);
    Input::ProcessAll();
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(log, (Log{"changing", "change 2"}));
    CtrlTab(false);
    EXPECT_EQ(tabs->TabIndex(), 0);
    CtrlTab(true);
    EXPECT_EQ(tabs->TabIndex(), 2);
    Input::Key(VK_LEFT);
    Input::ProcessAll();
    EXPECT_EQ(tabs->TabIndex(), 1);

    // Setting the index in code fires nothing; an index out of range is ignored.
    log.clear();
    tabs->SetTabIndex(0);
    tabs->SetTabIndex(7);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_TRUE(log.empty());

    // Deleting the selected last tab keeps a valid selection.
    tabs->SetTabIndex(2);
    tabs->Tabs()->Delete(2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    tabs->Tabs()->Clear();
    EXPECT_EQ(tabs->TabIndex(), -1);

    // MultiLine: tabs too many for a row wrap, and the selected row touches the page.
    for (int i = 0; i < 12; ++i) tabs->Tabs()->Add("Tab number " + std::to_string(i));
    tabs->SetMultiLine(true);
    EXPECT_GT(tabs->RowCount(), 1);
    tabs->SetTabIndex(0);
    EXPECT_EQ(tabs->TabRect(0).bottom, tabs->DisplayRect().top - 4);
    tabs->SetTabPosition(tpBottom);
    EXPECT_EQ(tabs->TabRect(0).top, tabs->DisplayRect().bottom + 4);
}

TEST_F(ComCtrlsTest, TabControlPaintsTheSelectedTabRaisedAndJoined) {
    auto form = NewForm();
    auto* tabs = Make<TTabControl>(form.get(), form.get(), 10, 10, 300, 120, "Tabs");
    tabs->Tabs()->SetCommaText("Alpha,Beta");
    tabs->SetTabIndex(1);
    HWND h = tabs->Handle();
    TRect sel = tabs->TabRect(1), other = tabs->TabRect(0);
    int frameTop = tabs->DisplayRect().top - 4;
    // The unselected tab's top edge is a highlight line at its top; the selected one's
    // is two pixels higher.
    EXPECT_EQ(wintest::ClientPixel(h, Centre(other).x, other.top), Rgb(clBtnHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, Centre(sel).x, sel.top - 2), Rgb(clBtnHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, Centre(other).x, other.top - 1), Rgb(clBtnFace));
    // The frame's top edge runs under the unselected tab but not under the selected one.
    EXPECT_EQ(wintest::ClientPixel(h, Centre(other).x, frameTop), Rgb(clBtnHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, Centre(sel).x + 5, frameTop), Rgb(clBtnFace));
    wintest::SaveWindowPng(form->Handle(), "/tmp/pg/tabs.png");

    // Tabs, the selection and the layout properties stream.
    tabs->SetMultiLine(true);
    tabs->SetTabHeight(22);
    tabs->SetHotTrack(true);
    std::unique_ptr<TForm> copy;
    std::string text = RoundTrip(form.get(), copy);
    auto* t2 = static_cast<TTabControl*>(copy->FindComponent("Tabs"));
    ASSERT_NE(t2, nullptr);
    EXPECT_EQ(t2->Tabs()->CommaText(), "Alpha,Beta") << text;
    EXPECT_EQ(t2->TabIndex(), 1);
    EXPECT_TRUE(t2->MultiLine());
    EXPECT_TRUE(t2->HotTrack());
    EXPECT_EQ(t2->TabHeight(), 22);
    EXPECT_EQ(t2->TabRect(0).bottom - t2->TabRect(0).top, 22);
}

TEST_F(ComCtrlsTest, SideTabsStackDownTheEdgeAndHitTest) {
    auto form = NewForm();
    auto* pc = Make<TPageControl>(form.get(), form.get(), 10, 10, 300, 200, "Pages");
    for (const char* c : {"General", "Fonts", "Colours"}) {
        auto* sheet = new TTabSheet(form.get());
        sheet->SetPageControl(pc);
        sheet->SetCaption(c);
    }
    pc->SetActivePageIndex(0);
    for (TTabPosition pos : {tpLeft, tpRight}) {
        pc->SetTabPosition(pos);
        TRect t0 = pc->TabRect(0), t1 = pc->TabRect(1), d = pc->DisplayRect();
        // One column, one tab under the other, all as wide as the widest caption.
        EXPECT_EQ(t1.top, t0.bottom);
        EXPECT_EQ(t1.left, t0.left);
        EXPECT_EQ(t1.right - t1.left, t0.right - t0.left);
        EXPECT_GT(t0.right - t0.left, 40);
        // The pages sit beside the column, not under it.
        if (pos == tpLeft) EXPECT_EQ(d.left, t0.right + 4);
        else EXPECT_EQ(d.right, t0.left - 4);
        EXPECT_EQ(d.top, 4);
        EXPECT_EQ(pc->ActivePage()->BoundsRect().left, d.left);
        // Hit testing follows: clicking the third tab shows its sheet.
        EXPECT_EQ(pc->IndexOfTabAt(Centre(t1).x, Centre(t1).y), 1);
        EXPECT_EQ(pc->IndexOfTabAt(Centre(t1).x, d.top + 150), -1);
        ClickAt(pc, Centre(pc->TabRect(2)).x, Centre(pc->TabRect(2)).y);
        EXPECT_EQ(pc->ActivePageIndex(), 2);
        // The selected tab is raised over the frame's edge: its face covers the frame line.
        TRect sel = pc->TabRect(2);
        int frameEdge = pos == tpLeft ? sel.right : sel.left - 1;
        EXPECT_EQ(wintest::ClientPixel(pc->Handle(), frameEdge, Centre(sel).y), Rgb(clBtnFace));
        EXPECT_EQ(wintest::ClientPixel(pc->Handle(), frameEdge, Centre(pc->TabRect(0)).y),
                  Rgb(pos == tpLeft ? clBtnHighlight : cl3DDkShadow));
        pc->SetActivePageIndex(0);
    }
}

TEST_F(ComCtrlsTest, PageControlSheetsAndSwitching) {
    auto form = NewForm();
    auto* pc = Make<TPageControl>(form.get(), form.get(), 10, 10, 300, 200, "Pages");
    std::vector<TTabSheet*> sheets;
    std::vector<TProbe*> probes;
    for (int i = 0; i < 3; ++i) {
        auto* s = new TTabSheet(form.get());
        s->SetName("Sheet" + std::to_string(i));
        s->SetCaption("Page " + std::to_string(i));
        s->SetPageControl(pc);
        sheets.push_back(s);
        probes.push_back(Make<TProbe>(form.get(), s, 10, 10, 40, 20, "Probe" + std::to_string(i)));
    }
    ASSERT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->Visible());
    EXPECT_FALSE(sheets[1]->Visible());
    // A sheet fills the display area.
    EXPECT_EQ(sheets[0]->BoundsRect(), pc->DisplayRect());

    Log log;
    pc->OnChanging = [&](TObject*, bool&) { log.push_back("changing " + pc->ActivePage()->Name()); };
    pc->OnChange = [&](TObject*) { log.push_back("change " + pc->ActivePage()->Name()); };
    TPoint t2 = Centre(pc->TabRect(2));
    ClickAt(pc, t2.x, t2.y);
    EXPECT_EQ(pc->ActivePage(), sheets[2]);
    EXPECT_EQ(pc->ActivePageIndex(), 2);
    EXPECT_FALSE(sheets[0]->Visible());
    EXPECT_TRUE(sheets[2]->Visible());
    EXPECT_EQ(log, (Log{"changing Sheet0", "change Sheet2"}));

    // A hidden tab drops out of the tabs and of keyboard switching.
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(pc->TabIndex(), 1);
    EXPECT_EQ(pc->FindNextPage(sheets[0], true, true), sheets[2]);
    EXPECT_EQ(pc->FindNextPage(sheets[0], true, false), sheets[1]);
    EXPECT_EQ(pc->FindNextPage(sheets[0], false, true), sheets[2]);

    // Ctrl+Tab with the focus on a sheet moves to the next sheet and takes the focus along.
    probes[2]->SetFocus();
    CtrlTab(false);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
    EXPECT_TRUE(probes[0]->Focused());
    sheets[1]->SetTabVisible(true);
    pc->SelectNextPage(false);
    EXPECT_EQ(pc->ActivePage(), sheets[2]);

    // Moving and removing sheets.
    sheets[2]->SetPageIndex(0);
    EXPECT_EQ(pc->Pages(0), sheets[2]);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
    EXPECT_EQ(pc->TabIndex(), 0);
    delete sheets[2];  // the active one: the next sheet takes over
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->Visible());
    sheets[1]->SetPageControl(nullptr);
    EXPECT_EQ(pc->PageCount(), 1);
    EXPECT_THROW(pc->Pages(1), EListError);
    pc->SetActivePageIndex(-1);
    EXPECT_EQ(pc->ActivePage(), nullptr);
    EXPECT_EQ(pc->TabIndex(), -1);
    delete sheets[1];
}

TEST_F(ComCtrlsTest, PageControlFormFileRoundTrip) {
    auto form = NewForm();
    auto* pc = Make<TPageControl>(form.get(), form.get(), 10, 10, 300, 200, "Pages");
    pc->SetTabPosition(tpBottom);
    for (int i = 0; i < 3; ++i) {
        auto* s = new TTabSheet(form.get());
        s->SetName("Sheet" + std::to_string(i));
        s->SetCaption("Page " + std::to_string(i));
        s->SetPageControl(pc);
    }
    static_cast<TTabSheet*>(form->FindComponent("Sheet0"))->SetTabVisible(false);
    auto* bar = Make<TProgressBar>(form.get(), static_cast<TWinControl*>(form->FindComponent("Sheet2")), 5, 5, 100,
                                   16, "Bar");
    bar->SetPosition(40);
    pc->SetActivePage(static_cast<TTabSheet*>(form->FindComponent("Sheet2")));

    std::unique_ptr<TForm> copy;
    std::string text = RoundTrip(form.get(), copy);
    EXPECT_NE(text.find("ActivePage = Sheet2"), std::string::npos) << text;
    EXPECT_NE(text.find("object Sheet1: TTabSheet"), std::string::npos) << text;
    auto* pc2 = static_cast<TPageControl*>(copy->FindComponent("Pages"));
    ASSERT_NE(pc2, nullptr);
    ASSERT_EQ(pc2->PageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pc2->Pages(i)->Name(), "Sheet" + std::to_string(i));
        EXPECT_EQ(pc2->Pages(i)->Caption(), "Page " + std::to_string(i));
    }
    EXPECT_EQ(pc2->ActivePage(), pc2->Pages(2));
    EXPECT_TRUE(pc2->Pages(2)->Visible());
    EXPECT_FALSE(pc2->Pages(1)->Visible());
    EXPECT_FALSE(pc2->Pages(0)->TabVisible());
    EXPECT_EQ(pc2->TabIndex(), 1);
    EXPECT_EQ(pc2->TabPosition(), tpBottom);
    auto* bar2 = static_cast<TProgressBar*>(copy->FindComponent("Bar"));
    ASSERT_NE(bar2, nullptr);
    EXPECT_EQ(bar2->Parent(), pc2->Pages(2));
    EXPECT_EQ(bar2->Position(), 40);
}

TEST_F(ComCtrlsTest, NotebooksSwitchPagesAndStream) {
    auto form = NewForm();
    auto* nb = Make<TNotebook>(form.get(), form.get(), 10, 10, 150, 100, "Book");
    ASSERT_EQ(nb->Pages()->Count(), 1);
    EXPECT_EQ(nb->ActivePage(), "Default");
    nb->Pages()->Add("Second");
    nb->Pages()->Add("Third");
    ASSERT_EQ(nb->PageCount(), 3);
    EXPECT_EQ(nb->PageIndex(), 0);
    int changed = 0;
    nb->OnPageChanged = [&](TObject*) { ++changed; };
    nb->SetActivePage("third");  // names match without regard to case
    EXPECT_EQ(nb->PageIndex(), 2);
    EXPECT_TRUE(nb->PageObjects(2)->Visible());
    EXPECT_FALSE(nb->PageObjects(0)->Visible());
    nb->SetActivePage("nowhere");
    nb->SetPageIndex(9);
    nb->SetPageIndex(2);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(nb->PageIndex(), 2);
    EXPECT_EQ(nb->Pages()->Objects(1), nb->PageObjects(1));
    Make<TProgressBar>(form.get(), nb->PageObjects(1), 5, 5, 80, 16, "OnSecond");
    nb->Pages()->Delete(0);  // pages after the active one shift down
    EXPECT_EQ(nb->PageIndex(), 1);
    EXPECT_EQ(nb->ActivePage(), "Third");
    nb->Pages()->Strings(0);
    nb->Pages()->Put(0, "Renamed");

    auto* tn = Make<TTabbedNotebook>(form.get(), form.get(), 170, 10, 220, 180, "Tabbed");
    tn->Pages()->SetCommaText("Red,Green,Blue");
    tn->SetTabsPerRow(2);
    EXPECT_EQ(tn->RowCount(), 2);
    EXPECT_EQ(tn->PageIndex(), 0);
    Log log;
    bool allow = false;
    tn->OnChange = [&](TObject*, int NewTab, bool& Allow) { log.push_back("change " + std::to_string(NewTab)); Allow = allow; };
    tn->OnClick = [&](TObject*) { log.push_back("click " + std::to_string(tn->PageIndex())); };
    TPoint blue = Centre(tn->TabRect(2));
    ClickAt(tn, blue.x, blue.y);
    EXPECT_EQ(tn->PageIndex(), 0);
    allow = true;
    ClickAt(tn, blue.x, blue.y);
    EXPECT_EQ(tn->PageIndex(), 2);
    EXPECT_EQ(tn->ActivePage(), "Blue");
    EXPECT_TRUE(tn->PageObjects(2)->Visible());
    EXPECT_FALSE(tn->PageObjects(0)->Visible());
    EXPECT_EQ(log, (Log{"change 2", "change 2", "click 2"}));
    EXPECT_EQ(tn->GetIndexForPage("GREEN"), 1);

    std::unique_ptr<TForm> copy;
    std::string text = RoundTrip(form.get(), copy);
    auto* nb2 = static_cast<TNotebook*>(copy->FindComponent("Book"));
    auto* tn2 = static_cast<TTabbedNotebook*>(copy->FindComponent("Tabbed"));
    ASSERT_TRUE(nb2 && tn2) << text;
    EXPECT_EQ(nb2->Pages()->CommaText(), "Renamed,Third");
    EXPECT_EQ(nb2->PageIndex(), 1);
    EXPECT_TRUE(nb2->PageObjects(1)->Visible());
    EXPECT_FALSE(nb2->PageObjects(0)->Visible());
    auto* onSecond = static_cast<TControl*>(copy->FindComponent("OnSecond"));
    ASSERT_NE(onSecond, nullptr);
    EXPECT_EQ(onSecond->Parent(), nb2->PageObjects(0));
    EXPECT_EQ(tn2->Pages()->CommaText(), "Red,Green,Blue");
    EXPECT_EQ(tn2->PageIndex(), 2);
    EXPECT_EQ(tn2->TabsPerRow(), 2);
    EXPECT_EQ(tn2->TabIndex(), 2);
}

TEST_F(ComCtrlsTest, StatusBarPanelsOwnerDrawAndHints) {
    auto form = NewForm();
    auto* sb = new TStatusBar(form.get());
    sb->SetName("Status");
    sb->SetParent(form.get());
    EXPECT_EQ(sb->Align(), alBottom);
    EXPECT_EQ(sb->Top() + sb->Height(), form->ClientHeight());
    EXPECT_EQ(sb->Width(), form->ClientWidth());
    TStatusPanel* p0 = sb->Panels()->Add();
    p0->SetText("Ready");
    p0->SetWidth(100);
    TStatusPanel* p1 = sb->Panels()->Add();
    p1->SetStyle(psOwnerDraw);
    p1->SetWidth(80);
    TStatusPanel* p2 = sb->Panels()->Add();
    p2->SetText("Last");
    p2->SetAlignment(taRightJustify);
    p2->SetBevel(pbRaised);
    std::vector<const TStatusPanel*> drawn;
    sb->OnDrawPanel = [&](TStatusBar* Bar, TStatusPanel* Panel, const TRect& R) {
        drawn.push_back(Panel);
        Bar->Canvas()->Brush()->SetColor(clRed);
        Bar->Canvas()->FillRect(R);
    };
    TRect r1 = sb->PanelRect(1), r2 = sb->PanelRect(2);
    EXPECT_GE(r1.left, sb->PanelRect(0).right);
    // The last panel takes the rest, up to the size grip.
    EXPECT_GT(r2.right - r2.left, 100);
    HWND h = sb->Handle();
    EXPECT_EQ(wintest::ClientPixel(h, Centre(r1).x, Centre(r1).y), Rgb(clRed));
    EXPECT_EQ(drawn, (std::vector<const TStatusPanel*>{p1}));
    EXPECT_NE(wintest::ClientPixel(h, Centre(r2).x, Centre(r2).y), Rgb(clRed));
    // A lowered panel: shadow on its top edge, highlight on its bottom edge.
    TRect r0 = sb->PanelRect(0);
    EXPECT_EQ(wintest::ClientPixel(h, r0.left + 5, r0.top - 1), Rgb(clBtnShadow));
    EXPECT_EQ(wintest::ClientPixel(h, r0.left + 5, r0.bottom), Rgb(clBtnHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, r2.left + 5, r2.top - 1), Rgb(clBtnHighlight));
    wintest::SaveWindowPng(form->Handle(), "/tmp/pg/status.png");

    // Dragging the size grip sizes the form.
    int formW = form->Width(), formH = form->Height();
    TPoint grip = sb->ClientToScreen(TPoint{sb->ClientWidth() - 4, sb->ClientHeight() - 4});
    Input::Drag(grip, TPoint{grip.x + 30, grip.y + 20}, 3);
    Input::ProcessAll();
    EXPECT_EQ(form->Width(), formW + 30);
    EXPECT_EQ(form->Height(), formH + 20);
    EXPECT_EQ(sb->Top() + sb->Height(), form->ClientHeight());

    // AutoHint: the application's hint shows as the simple panel until it is empty.
    EXPECT_FALSE(ShowHintInStatusBars("nobody listens"));
    sb->SetAutoHint(true);
    EXPECT_TRUE(ShowHintInStatusBars("Opens a file"));
    EXPECT_TRUE(sb->SimplePanel());
    EXPECT_EQ(sb->SimpleText(), "Opens a file");
    ShowHintInStatusBars("");
    EXPECT_FALSE(sb->SimplePanel());

    std::unique_ptr<TForm> copy;
    std::string text = RoundTrip(form.get(), copy);
    auto* sb2 = static_cast<TStatusBar*>(copy->FindComponent("Status"));
    ASSERT_NE(sb2, nullptr);
    ASSERT_EQ(sb2->Panels()->Count(), 3) << text;
    EXPECT_EQ(sb2->Panels()->Items(0)->Text(), "Ready");
    EXPECT_EQ(sb2->Panels()->Items(0)->Width(), 100);
    EXPECT_EQ(sb2->Panels()->Items(1)->Style(), psOwnerDraw);
    EXPECT_EQ(sb2->Panels()->Items(2)->Alignment(), taRightJustify);
    EXPECT_EQ(sb2->Panels()->Items(2)->Bevel(), pbRaised);
    EXPECT_TRUE(sb2->AutoHint());
    EXPECT_EQ(text.find("Align ="), std::string::npos) << text;  // alBottom is the default
}

TEST_F(ComCtrlsTest, HeaderDividerDragAndSectionClicks) {
    auto form = NewForm();
    auto* hc = new THeaderControl(form.get());
    hc->SetName("Header");
    hc->SetParent(form.get());
    EXPECT_EQ(hc->Align(), alTop);
    for (int w : {80, 60, 100}) {
        THeaderSection* s = hc->Sections()->Add();
        s->SetWidth(w);
        s->SetText("Col " + std::to_string(w));
    }
    hc->Sections()->Items(0)->SetMinWidth(30);
    hc->Sections()->Items(2)->SetAllowClick(false);
    Log log;
    hc->OnSectionTrack = [&](THeaderControl*, THeaderSection* S, int W, TSectionTrackState State) {
        log.push_back("track " + std::to_string(S->Index()) + " " + std::to_string(W) + " " +
                      std::to_string(int(State)));
    };
    hc->OnSectionResize = [&](THeaderControl*, THeaderSection* S) { log.push_back("resize " + std::to_string(S->Index())); };
    hc->OnSectionClick = [&](THeaderControl*, THeaderSection* S) { log.push_back("click " + std::to_string(S->Index())); };

    TPoint from = hc->ClientToScreen(TPoint{80, 8}), to = hc->ClientToScreen(TPoint{120, 8});
    Input::Drag(from, to, 2);
    Input::ProcessAll();
    EXPECT_EQ(hc->Sections()->Items(0)->Width(), 120);
    EXPECT_EQ(hc->Sections()->Items(1)->Left(), 120);
    EXPECT_EQ(log, (Log{"track 0 80 0", "track 0 100 1", "track 0 120 1", "track 0 120 2", "resize 0"}));

    // MinWidth holds the section however far left the divider goes.
    log.clear();
    Input::Drag(hc->ClientToScreen(TPoint{120, 8}), hc->ClientToScreen(TPoint{5, 8}), 1);
    Input::ProcessAll();
    EXPECT_EQ(hc->Sections()->Items(0)->Width(), 30);

    // A click shows the section pushed while the button is down and fires on release.
    log.clear();
    TPoint mid = hc->ClientToScreen(TPoint{30 + 30, 8});
    int pressedMidway = -2;
    Input::MouseMove(mid.x, mid.y);
    Input::MouseDown();
    Input::Call([&] { pressedMidway = hc->PressedSection(); });
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(pressedMidway, 1);
    EXPECT_EQ(hc->PressedSection(), -1);
    EXPECT_EQ(log, (Log{"click 1"}));
    // Released elsewhere, or on a section without AllowClick: no click.
    log.clear();
    Input::Drag(mid, hc->ClientToScreen(TPoint{60, 100}), 2);
    ClickAt(hc, 30 + 60 + 50, 8);
    Input::ProcessAll();
    EXPECT_TRUE(log.empty());

    std::unique_ptr<TForm> copy;
    RoundTrip(form.get(), copy);
    auto* hc2 = static_cast<THeaderControl*>(copy->FindComponent("Header"));
    ASSERT_NE(hc2, nullptr);
    ASSERT_EQ(hc2->Sections()->Count(), 3);
    EXPECT_EQ(hc2->Sections()->Items(0)->Width(), 30);
    EXPECT_EQ(hc2->Sections()->Items(0)->MinWidth(), 30);
    EXPECT_FALSE(hc2->Sections()->Items(2)->AllowClick());
    EXPECT_EQ(hc2->Sections()->Items(1)->Text(), "Col 60");
}

TEST_F(ComCtrlsTest, HeaderSectionsDragToANewPlace) {
    auto form = NewForm();
    auto* hc = Make<THeaderControl>(form.get(), form.get(), 0, 0, 400, 20, "Header");
    for (const char* t : {"A", "B", "C"}) {
        THeaderSection* s = hc->Sections()->Add();
        s->SetText(t);
        s->SetWidth(100);
    }
    auto order = [&] {
        std::string o;
        for (int i = 0; i < hc->Sections()->Count(); ++i) o += hc->Sections()->Items(i)->Text();
        return o;
    };
    Log log;
    bool allow = true;
    hc->OnSectionDrag = [&](TObject*, THeaderSection* From, THeaderSection* To, bool& Allow) {
        log.push_back("drag " + From->Text() + ">" + To->Text());
        Allow = allow;
    };
    hc->OnSectionEndDrag = [&](TObject*) { log.push_back("end"); };
    hc->OnSectionClick = [&](THeaderControl*, THeaderSection* S) { log.push_back("click " + S->Text()); };
    // Without DragReorder a drag is only a press that ends elsewhere.
    Input::Drag(hc->ClientToScreen(TPoint{50, 8}), hc->ClientToScreen(TPoint{250, 8}));
    Input::ProcessAll();
    EXPECT_EQ(order(), "ABC");
    EXPECT_TRUE(log.empty());

    hc->SetDragReorder(true);
    int draggedMidway = -2;
    TPoint a = hc->ClientToScreen(TPoint{50, 8}), c = hc->ClientToScreen(TPoint{250, 8});
    Input::MouseMove(a.x, a.y);
    Input::MouseDown();
    Input::MouseMove(a.x + 100, a.y);
    Input::Call([&] { draggedMidway = hc->DraggedSection(); });
    Input::MouseMove(c.x, c.y);
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(draggedMidway, 0);
    EXPECT_EQ(order(), "BCA");
    EXPECT_EQ(hc->Sections()->Items(2)->Left(), 200);
    // Refused: the order stays; a small wobble is still a click.
    allow = false;
    Input::Drag(hc->ClientToScreen(TPoint{250, 8}), hc->ClientToScreen(TPoint{20, 8}));
    Input::ProcessAll();
    EXPECT_EQ(order(), "BCA");
    Input::Drag(hc->ClientToScreen(TPoint{150, 8}), hc->ClientToScreen(TPoint{152, 8}));
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"drag A>C", "end", "drag A>B", "end", "click C"}));

    std::unique_ptr<TForm> copy;
    RoundTrip(form.get(), copy);
    EXPECT_TRUE(static_cast<THeaderControl*>(copy->FindComponent("Header"))->DragReorder());
}

TEST_F(ComCtrlsTest, ProgressBarStepsWrapsAndPaints) {
    auto form = NewForm();
    auto* pb = Make<TProgressBar>(form.get(), form.get(), 10, 10, 202, 18, "Bar");
    EXPECT_EQ(pb->Min(), 0);
    EXPECT_EQ(pb->Max(), 100);
    EXPECT_EQ(pb->Step(), 10);
    pb->SetPosition(90);
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 100);  // reaching Max is not past it
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 10);  // past Max it starts again from Min
    pb->SetStep(-25);
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 85);  // and below Min from Max
    pb->StepBy(50);
    EXPECT_EQ(pb->Position(), 100);
    pb->StepBy(-500);
    EXPECT_EQ(pb->Position(), 0);
    pb->SetPosition(1000);
    EXPECT_EQ(pb->Position(), 100);
    EXPECT_THROW(pb->SetMin(200), EInvalidOperation);
    EXPECT_EQ(pb->Min(), 0);
    pb->SetMin(20);
    pb->SetPosition(0);
    EXPECT_EQ(pb->Position(), 20);

    // Half way: blocks of the highlight colour over the first half, face beyond.
    pb->SetMin(0);
    pb->SetPosition(50);
    HWND h = pb->Handle();
    int w = pb->ClientWidth();
    EXPECT_EQ(wintest::ClientPixel(h, 2, 8), Rgb(clHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, w * 3 / 4, 8), Rgb(clBtnFace));
    bool gap = false;
    for (int x = 1; x < w / 2 - 12; ++x) gap |= wintest::ClientPixel(h, x, 8) == Rgb(clBtnFace);
    EXPECT_TRUE(gap);  // blocks, not a solid bar
    pb->SetSmooth(true);
    gap = false;
    for (int x = 1; x < w / 2 - 2; ++x) gap |= wintest::ClientPixel(h, x, 8) != Rgb(clHighlight);
    EXPECT_FALSE(gap);
    pb->SetOrientation(pbVertical);
    EXPECT_EQ(pb->Width(), 18);
    EXPECT_EQ(pb->Height(), 202);
    int ch = pb->ClientHeight();
    EXPECT_EQ(wintest::ClientPixel(h, 8, ch - 3), Rgb(clHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, 8, 3), Rgb(clBtnFace));

    // A range above the default Max reads back from a form file.
    pb->SetMax(300);
    pb->SetMin(200);
    pb->SetPosition(250);
    std::unique_ptr<TForm> copy;
    RoundTrip(form.get(), copy);
    auto* pb2 = static_cast<TProgressBar*>(copy->FindComponent("Bar"));
    ASSERT_NE(pb2, nullptr);
    EXPECT_EQ(pb2->Min(), 200);
    EXPECT_EQ(pb2->Max(), 300);
    EXPECT_EQ(pb2->Position(), 250);
    EXPECT_EQ(pb2->Orientation(), pbVertical);
    EXPECT_TRUE(pb2->Smooth());
}

TEST_F(ComCtrlsTest, OverflowingRowSheetEventsAndOwnerDrawing) {
    auto form = NewForm();
    // A single row too long for the control scrolls to keep the selected tab in view;
    // the arrow at the right end brings the earlier tabs back.
    auto* tabs = Make<TTabControl>(form.get(), form.get(), 10, 10, 160, 80, "Narrow");
    for (int i = 0; i < 8; ++i) tabs->Tabs()->Add("Tab " + std::to_string(i));
    tabs->SetTabIndex(7);
    TRect last = tabs->TabRect(7);
    EXPECT_GT(last.right, last.left);
    EXPECT_LE(last.right, tabs->ClientWidth());
    EXPECT_EQ(tabs->TabRect(0).right, tabs->TabRect(0).left);  // scrolled out
    int arrow = std::max(8, last.bottom - last.top - 2);
    for (int i = 0; i < 8; ++i) ClickAt(tabs, tabs->ClientWidth() - 2 - arrow - arrow / 2, last.bottom - arrow / 2 - 1);
    EXPECT_GT(tabs->TabRect(0).right, tabs->TabRect(0).left);
    EXPECT_EQ(tabs->TabIndex(), 7);  // scrolling the row does not select

    // Sheets tell when they are shown and hidden; their image index feeds the tabs.
    auto* pc = Make<TPageControl>(form.get(), form.get(), 180, 10, 200, 120, "Pages");
    Log log;
    std::vector<TTabSheet*> sheets;
    for (int i = 0; i < 2; ++i) {
        auto* s = new TTabSheet(form.get());
        s->SetName("S" + std::to_string(i));
        s->OnShow = [&log, s](TObject*) { log.push_back("show " + s->Name()); };
        s->OnHide = [&log, s](TObject*) { log.push_back("hide " + s->Name()); };
        s->SetPageControl(pc);
        sheets.push_back(s);
    }
    log.clear();
    pc->SetActivePage(sheets[1]);
    EXPECT_EQ(log, (Log{"show S1", "hide S0"}));
    sheets[0]->SetCaption("Renamed");
    EXPECT_EQ(sheets[0]->TabIndex(), 0);
    EXPECT_GT(pc->TabRect(1).left, pc->TabRect(0).left + 20);  // the tab grew with its caption

    // A header's owner-drawn section is handed its rectangle and pressed state.
    auto* hc = Make<THeaderControl>(form.get(), form.get(), 10, 150, 300, 20, "Head");
    hc->SetAlign(alNone);
    THeaderSection* sec = hc->Sections()->Add();
    sec->SetStyle(hsOwnerDraw);
    sec->SetWidth(100);
    std::vector<bool> pressed;
    hc->OnDrawSection = [&](THeaderControl* H, THeaderSection*, const TRect& R, bool Pressed) {
        pressed.push_back(Pressed);
        H->Canvas()->Brush()->SetColor(clLime);
        H->Canvas()->FillRect(R);
    };
    EXPECT_EQ(wintest::ClientPixel(hc->Handle(), 50, 10), Rgb(clLime));
    TPoint at = hc->ClientToScreen(TPoint{50, 10});
    Input::MouseMove(at.x, at.y);
    Input::MouseDown();
    Input::Call([&] { UpdateWindow(hc->Handle()); });
    Input::MouseUp();
    Input::ProcessAll();
    UpdateWindow(hc->Handle());
    ASSERT_GE(pressed.size(), 3u);
    EXPECT_TRUE(std::find(pressed.begin(), pressed.end(), true) != pressed.end());
    EXPECT_FALSE(pressed.back());

    // A simple status bar shows its text across and leaves the panels undrawn.
    auto* sb = Make<TStatusBar>(form.get(), form.get(), 0, 0, 100, 19, "Bar");
    sb->Panels()->Add()->SetStyle(psOwnerDraw);
    int panelsDrawn = 0;
    sb->OnDrawPanel = [&](TStatusBar*, TStatusPanel*, const TRect&) { ++panelsDrawn; };
    UpdateWindow(sb->Handle());
    EXPECT_EQ(panelsDrawn, 1);
    sb->SetSimpleText("Busy");
    sb->SetSimplePanel(true);
    UpdateWindow(sb->Handle());
    EXPECT_EQ(panelsDrawn, 1);
    EXPECT_EQ(sb->PanelRect(3), (TRect{0, 0, 0, 0}));
}

}  // namespace
}  // namespace ctltest
