// List boxes, combo boxes, list views and scroll bars driven through the input simulator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app/clipbrd.h"
#include "host/controls/lists.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "tests/host/controls/test_controls.h"

namespace {

using namespace host;
using ctltest::Make;
using ctltest::Rgb;

class ListsTest : public ctltest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterListClasses();
        form = new TForm(nullptr);
        form->SetName("Main");
        form->SetBounds(40, 40, 420, 320);
    }
    void TearDown() override {
        delete form;
        ControlsTest::TearDown();
    }
    static void ClickAt(TControl* C, int X, int Y) {
        TPoint p = C->ClientToScreen(TPoint{X, Y});
        Input::Click(p.x, p.y);
        Input::ProcessAll();
    }
    static void Press(int Key) {
        Input::Key(Key);
        Input::ProcessAll();
    }
    static void WithKey(int Modifier, int Key) {
        Input::KeyDown(Modifier);
        Input::Key(Key);
        Input::KeyUp(Modifier);
        Input::ProcessAll();
    }
    static TPoint Center(const TRect& R) { return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2}; }
    TForm* form = nullptr;
};

TEST_F(ListsTest, ComboDropDownPicksWithTheMouseAndKeyboard) {
    auto* combo = Make<TComboBox>(form, form, 20, 20, 150, 21, "Combo");
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("Red,Green,Blue,Black");
    std::vector<std::string> log;
    combo->OnChange = [&](TObject*) { log.push_back("change:" + combo->Text()); };
    combo->OnClick = [&](TObject*) { log.push_back("click"); };
    combo->OnSelect = [&](TObject*) { log.push_back("select"); };
    combo->OnDropDown = [&](TObject*) { log.push_back("dropdown"); };
    combo->OnCloseUp = [&](TObject*) { log.push_back("closeup"); };
    form->Show();
    Input::ProcessAll();

    // Setting the index in code fires nothing.
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "Green");
    EXPECT_TRUE(log.empty());

    ClickAt(combo, 140, 10);
    ASSERT_TRUE(combo->DroppedDown());
    TCustomListBox* list = combo->DropDownList();
    ASSERT_NE(list, nullptr);
    HWND popup = list->Handle();
    LONG_PTR style = GetWindowLongA(popup, GWL_STYLE), ex = GetWindowLongA(popup, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(popup));
    RECT cr{}, lr{};
    GetWindowRect(combo->Handle(), &cr);
    GetWindowRect(popup, &lr);
    EXPECT_EQ(lr.top, cr.bottom);  // right below the combo
    EXPECT_EQ(lr.left, cr.left);
    EXPECT_EQ(form->Handle(), GetActiveWindow());  // the form stays active
    EXPECT_EQ(log, (std::vector<std::string>{"dropdown"}));

    TPoint p = Center(list->ItemRect(2));
    ClickAt(list, p.x, p.y);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Blue");
    EXPECT_EQ(log, (std::vector<std::string>{"dropdown", "change:Blue", "click", "select", "closeup"}));

    // A press outside closes the list without a choice; Escape does the same.
    log.clear();
    WithKey(VK_MENU, VK_DOWN);
    ASSERT_TRUE(combo->DroppedDown());
    Input::Click(5, 5);
    Input::ProcessAll();
    EXPECT_FALSE(combo->DroppedDown());
    Press(VK_F4);
    EXPECT_TRUE(combo->DroppedDown());
    Press(VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"dropdown", "closeup", "dropdown", "closeup"}));

    // Arrows change the item without opening; a letter jumps to the next item starting with it.
    log.clear();
    combo->SetFocus();
    Press(VK_DOWN);
    EXPECT_EQ(combo->Text(), "Black");
    Press(VK_DOWN);  // at the end: nothing
    Press(VK_HOME);
    EXPECT_EQ(combo->Text(), "Red");
    Input::Type("b");
    Input::ProcessAll();
    EXPECT_EQ(combo->Text(), "Blue");
    EXPECT_EQ(log, (std::vector<std::string>{"change:Black", "click", "select", "change:Red", "click", "select",
                                             "change:Blue", "click", "select"}));
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_THROW(combo->SetItemIndex(9), EListError);
}

TEST_F(ListsTest, ComboEditStylesTypeTextAndSortCaseInsensitively) {
    auto* combo = Make<TComboBox>(form, form, 20, 20, 150, 21, "Combo");
    combo->SetSorted(true);
    combo->Items()->Add("delta");
    combo->Items()->Add("Alpha");
    combo->Items()->Add("charlie");
    combo->Items()->Add("Bravo");
    EXPECT_EQ(combo->Items()->CommaText(), "Alpha,Bravo,charlie,delta");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetMaxLength(5);
    combo->SetCharCase(ecUpperCase);
    form->Show();
    combo->SetFocus();
    Input::Type("abcdefg");
    Input::ProcessAll();
    EXPECT_EQ(combo->Text(), "ABCDE");  // MaxLength, CharCase
    EXPECT_EQ(changes, 5);
    Press(VK_BACK);
    EXPECT_EQ(combo->Text(), "ABCD");
    combo->SetSelStart(1);
    combo->SetSelLength(2);
    EXPECT_EQ(combo->SelText(), "BC");
    combo->SetSelText("x");
    EXPECT_EQ(combo->Text(), "AXD");
    // Setting Text in code fires nothing; a matching item becomes the current one.
    changes = 0;
    combo->SetCharCase(ecNormal);
    combo->SetText("Bravo");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 0);

    // csSimple shows its list below the field; clicking an item chooses it.
    combo->SetStyle(csSimple);
    combo->SetBounds(20, 20, 150, 120);
    Input::ProcessAll();
    EXPECT_FALSE(combo->DroppedDown());
    combo->SetDroppedDown(true);  // a simple combo has nothing to drop down
    EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(ListsTest, ComboEditPartTypesSelectsCopiesPastesAndUndoes) {
    auto* before = Make<TEdit>(form, form, 20, 60, 100, 21, "Before");
    auto* combo = Make<TComboBox>(form, form, 20, 20, 150, 21, "Combo");
    auto* after = Make<TEdit>(form, form, 20, 100, 100, 21, "After");
    before->SetTabOrder(0);
    combo->SetTabOrder(1);
    combo->Items()->SetCommaText("north,south");
    std::vector<std::string> log;
    combo->OnChange = [&](TObject*) { log.push_back(combo->Text()); };
    form->Show();
    ClickAt(combo, 10, 10);
    TCustomEdit* edit = combo->EditControl();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->Focused());
    Input::Type("hel");
    Input::ProcessAll();
    EXPECT_EQ(log, (std::vector<std::string>{"h", "he", "hel"}));
    Press(VK_LEFT);
    WithKey(VK_SHIFT, VK_HOME);  // the caret and selection are the edit's
    EXPECT_EQ(combo->SelStart(), 0);
    EXPECT_EQ(combo->SelText(), "he");
    WithKey(VK_CONTROL, 'C');
    EXPECT_EQ(Clipboard()->AsText(), "he");
    Press(VK_END);
    WithKey(VK_CONTROL, 'V');
    EXPECT_EQ(combo->Text(), "helhe");
    WithKey(VK_CONTROL, 'Z');
    EXPECT_EQ(combo->Text(), "hel");
    combo->SetSelStart(0);
    combo->SetSelLength(1);
    combo->Perform(WM_CUT, 0, 0);  // the clipboard messages of the combo reach its edit
    EXPECT_EQ(combo->Text(), "el");
    EXPECT_EQ(Clipboard()->AsText(), "h");

    // The list keys still belong to the combo; a chosen item is shown selected.
    log.clear();
    Press(VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->SelText(), "north");
    Press(VK_F4);
    EXPECT_TRUE(combo->DroppedDown());
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->Text(), "south");
    EXPECT_EQ(log, (std::vector<std::string>{"north", "south"}));
    combo->SetText("west");  // code fires nothing and shows the text in the edit
    EXPECT_EQ(edit->Text(), "west");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(log.size(), 2u);

    // Tab and Shift+Tab move on from the combo, not into or out of its inner edit only.
    Press(VK_TAB);
    EXPECT_TRUE(after->Focused());
    WithKey(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(edit->Focused());
    WithKey(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(before->Focused());

    // The list styles have no edit part.
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->EditControl(), nullptr);
    EXPECT_EQ(combo->SelText(), "");
    combo->SetStyle(csSimple);
    ASSERT_NE(combo->EditControl(), nullptr);
    EXPECT_EQ(combo->EditControl()->Parent(), combo);
}

TEST_F(ListsTest, ListBoxSelectsWithMouseKeyboardShiftAndCtrl) {
    auto* lb = Make<TListBox>(form, form, 10, 10, 150, 120, "List");
    for (const char* s : {"pear", "Apple", "fig", "banana", "Cherry", "date", "grape", "kiwi", "lemon", "mango",
                          "orange", "plum"})
        lb->Items()->Add(s);
    lb->SetSorted(true);
    EXPECT_EQ(lb->Items()->Strings(0), "Apple");
    EXPECT_EQ(lb->Items()->Strings(1), "banana");
    lb->Items()->Add("Avocado");  // a sorted insert
    EXPECT_EQ(lb->Items()->IndexOf("Avocado"), 1);
    int clicks = 0, dbl = 0;
    lb->OnClick = [&](TObject*) { ++clicks; };
    lb->OnDblClick = [&](TObject*) { ++dbl; };
    form->Show();
    Input::ProcessAll();

    lb->SetItemIndex(3);
    EXPECT_EQ(clicks, 0);
    TPoint p = Center(lb->ItemRect(2));
    ClickAt(lb, p.x, p.y);
    EXPECT_EQ(lb->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    // The selected row is painted in the highlight colour.
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(lb->Handle(), lb->ClientWidth() - 3, p.y), Rgb(clHighlight));
    Press(VK_DOWN);
    EXPECT_EQ(lb->ItemIndex(), 3);
    Press(VK_END);
    EXPECT_EQ(lb->ItemIndex(), 12);
    EXPECT_GT(lb->TopIndex(), 0);  // scrolled into view
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(lb->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nPos, lb->TopIndex());
    Press(VK_HOME);
    EXPECT_EQ(lb->TopIndex(), 0);
    Input::Type("m");
    Input::ProcessAll();
    EXPECT_EQ(lb->Items()->Strings(lb->ItemIndex()), "mango");
    EXPECT_EQ(clicks, 5);
    TPoint q = Center(lb->ItemRect(0));
    TPoint s = lb->ClientToScreen(q);
    Input::DoubleClick(s.x, s.y);
    Input::ProcessAll();
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(lb->ItemAtPos(TPoint{5, 1000}, true), -1);
    EXPECT_EQ(lb->ItemAtPos(TPoint{5, 1000}, false), lb->Items()->Count());

    // Extended multiple selection: click, Shift+click, Ctrl+click, drag.
    lb->SetTopIndex(0);
    lb->SetMultiSelect(true);
    ClickAt(lb, 10, Center(lb->ItemRect(1)).y);
    Input::KeyDown(VK_SHIFT);
    ClickAt(lb, 10, Center(lb->ItemRect(4)).y);
    Input::KeyUp(VK_SHIFT);
    EXPECT_EQ(lb->SelCount(), 4);
    Input::KeyDown(VK_CONTROL);
    ClickAt(lb, 10, Center(lb->ItemRect(2)).y);
    ClickAt(lb, 10, Center(lb->ItemRect(6)).y);
    Input::KeyUp(VK_CONTROL);
    EXPECT_EQ(lb->SelCount(), 4);
    EXPECT_FALSE(lb->Selected(2));
    EXPECT_TRUE(lb->Selected(6));
    Input::KeyDown(VK_SHIFT);
    Press(VK_DOWN);
    Input::KeyUp(VK_SHIFT);
    EXPECT_TRUE(lb->Selected(6));
    EXPECT_TRUE(lb->Selected(7));
    EXPECT_FALSE(lb->Selected(1));  // Shift+arrow starts over from the anchor
    int before = clicks;
    Input::Drag(lb->ClientToScreen(Center(lb->ItemRect(0))), lb->ClientToScreen(Center(lb->ItemRect(3))));
    Input::ProcessAll();
    EXPECT_EQ(lb->SelCount(), 4);
    EXPECT_TRUE(lb->Selected(3));
    EXPECT_EQ(clicks, before + 2);  // one for the press, one for the whole drag
    lb->SetSelected(9, true);
    EXPECT_TRUE(lb->Selected(9));
    EXPECT_THROW(lb->SetSelected(99, true), EListError);
    lb->Clear();
    EXPECT_EQ(lb->ItemIndex(), -1);
}

TEST_F(ListsTest, OwnerDrawnListsMeasureAndDrawEachItem) {
    auto* lb = Make<TListBox>(form, form, 10, 10, 150, 120, "List");
    lb->SetStyle(lbOwnerDrawVariable);
    lb->Items()->SetCommaText("a,b,c,d");
    std::vector<int> measured;
    std::vector<std::pair<int, bool>> drawn;
    lb->OnMeasureItem = [&](TWinControl*, int Index, int& H) {
        measured.push_back(Index);
        H = 10 + Index * 5;
    };
    lb->OnDrawItem = [&](TWinControl* C, int Index, const TRect& R, TOwnerDrawState St) {
        drawn.emplace_back(Index, St.Contains(odSelected));
        auto* canvas = static_cast<TListBox*>(C)->Canvas();
        canvas->Brush()->SetColor(St.Contains(odSelected) ? clRed : clLime);
        canvas->FillRect(R);
    };
    form->Show();
    Input::ProcessAll();
    EXPECT_EQ(lb->ItemRect(2).top, 10 + 15);
    EXPECT_EQ(lb->ItemRect(2).bottom - lb->ItemRect(2).top, 20);
    EXPECT_FALSE(measured.empty());
    drawn.clear();
    ClickAt(lb, 20, lb->ItemRect(1).top + 3);
    EXPECT_EQ(lb->ItemIndex(), 1);
    Input::ProcessAll();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), std::make_pair(1, true)), drawn.end());
    EXPECT_EQ(wintest::ClientPixel(lb->Handle(), 40, lb->ItemRect(1).top + 5), Rgb(clRed));
    EXPECT_EQ(wintest::ClientPixel(lb->Handle(), 40, lb->ItemRect(3).top + 5), Rgb(clLime));

    // An owner-drawn combo draws its items in the drop-down through the same event.
    auto* combo = Make<TComboBox>(form, form, 200, 10, 150, 21, "Combo");
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetItemHeight(18);
    combo->Items()->SetCommaText("x,y");
    std::vector<int> comboDrawn;
    combo->OnDrawItem = [&](TWinControl* C, int Index, const TRect& R, TOwnerDrawState) {
        comboDrawn.push_back(Index);
        static_cast<TComboBox*>(C)->Canvas()->FillRect(R);
    };
    combo->SetDroppedDown(true);
    Input::ProcessAll();
    EXPECT_NE(std::find(comboDrawn.begin(), comboDrawn.end(), 1), comboDrawn.end());
    EXPECT_EQ(combo->DropDownList()->ItemRect(1).top, 18);
    combo->SetDroppedDown(false);
}

TEST_F(ListsTest, ListViewEditsCaptionsInPlaceAndSizesColumns) {
    auto* lv = Make<TListView>(form, form, 10, 10, 300, 200, "View");
    lv->SetViewStyle(vsReport);
    for (const char* c : {"Name", "Size"}) {
        TListColumn* col = lv->Columns()->Add();
        col->SetCaption(c);
        col->SetWidth(100);
    }
    for (const char* n : {"alpha", "beta", "gamma"}) lv->Items()->Add()->SetCaption(n);
    std::vector<std::string> log;
    bool allow = true;
    lv->OnEditing = [&](TObject*, TListItem* It, bool& Allow) {
        log.push_back("editing:" + It->Caption());
        Allow = allow;
    };
    lv->OnEdited = [&](TObject*, TListItem*, std::string& S) {
        log.push_back("edited:" + S);
        S += "!";
    };
    form->Show();
    TListItem* beta = lv->Items()->Item(1);
    TPoint cap = Center(beta->DisplayRect());
    cap.x = 20;
    ClickAt(lv, cap.x, cap.y);  // selects; a first click never edits
    Input::Wait(1000);
    Input::ProcessAll();
    EXPECT_FALSE(lv->IsEditing());
    ClickAt(lv, cap.x, cap.y);  // a click on the selected caption edits after the double-click time
    EXPECT_FALSE(lv->IsEditing());
    Input::Wait(600);
    Input::ProcessAll();
    ASSERT_TRUE(lv->IsEditing());
    EXPECT_TRUE(lv->EditControl()->Focused());
    EXPECT_EQ(lv->EditControl()->SelText(), "beta");
    Input::Type("delta");
    Press(VK_RETURN);  // Enter keeps the text through OnEdited, which may change it
    EXPECT_FALSE(lv->IsEditing());
    EXPECT_EQ(beta->Caption(), "delta!");
    EXPECT_TRUE(lv->Focused());
    Press(VK_F2);  // F2 edits the focused item; Escape drops the typed text
    ASSERT_TRUE(lv->IsEditing());
    Input::Type("zzz");
    Press(VK_ESCAPE);
    EXPECT_FALSE(lv->IsEditing());
    EXPECT_EQ(beta->Caption(), "delta!");
    allow = false;  // OnEditing refuses
    Press(VK_F2);
    EXPECT_FALSE(lv->IsEditing());
    lv->SetReadOnly(true);
    allow = true;
    EXPECT_FALSE(beta->EditCaption());
    EXPECT_EQ(log, (std::vector<std::string>{"editing:beta", "edited:delta", "editing:delta!", "editing:delta!"}));
    lv->SetReadOnly(false);

    // Dragging the edge between the headings sizes the first column; a double click fits it.
    std::vector<int> resized;
    lv->OnColumnResize = [&](TObject*, TListColumn* C) { resized.push_back(C->Width()); };
    Input::Drag(lv->ClientToScreen(TPoint{100, 5}), lv->ClientToScreen(TPoint{160, 5}));
    Input::ProcessAll();
    EXPECT_EQ(lv->Columns()->Items(0)->Width(), 160);
    EXPECT_EQ(resized, (std::vector<int>{160}));
    EXPECT_EQ(lv->ScrollLeft(), 0);
    // Now the columns (260 + a wide one) outgrow the view: it scrolls sideways.
    lv->Columns()->Items(1)->SetWidth(300);
    lv->Scroll(1000, 0);
    int maxScroll = 460 - lv->ClientWidth();
    EXPECT_EQ(lv->ScrollLeft(), maxScroll);
    TPoint row0 = Center(lv->Items()->Item(0)->DisplayRect());
    EXPECT_EQ(lv->Items()->Item(0)->DisplayRect().left, -maxScroll);
    ClickAt(lv, lv->ClientWidth() - 10, row0.y);  // still hits the row
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(0));
    lv->Scroll(-1000, 0);
    TPoint edge = lv->ClientToScreen(TPoint{160, 5});
    Input::DoubleClick(edge.x, edge.y);
    Input::ProcessAll();
    int fitted = lv->Columns()->Items(0)->Width();
    EXPECT_LT(fitted, 100);  // the widest text ("delta!", the heading) is far narrower
    EXPECT_GT(fitted, 30);
    EXPECT_EQ(resized.back(), fitted);
}

TEST_F(ListsTest, ListViewReportColumnsSelectionAndSorting) {
    auto* lv = Make<TListView>(form, form, 10, 10, 300, 200, "View");
    lv->SetViewStyle(vsReport);
    lv->SetRowSelect(true);
    TListColumn* c0 = lv->Columns()->Add();
    c0->SetCaption("Name");
    c0->SetWidth(100);
    TListColumn* c1 = lv->Columns()->Add();
    c1->SetCaption("Size");
    c1->SetWidth(80);
    c1->SetAlignment(taRightJustify);
    for (const char* n : {"zeta", "Alpha", "mu"}) {
        TListItem* it = lv->Items()->Add();
        it->SetCaption(n);
        it->SubItems()->Add(std::to_string(std::string(n).size() * 10));
    }
    std::vector<std::string> log;
    lv->OnSelectItem = [&](TObject*, TListItem* I, bool S) { log.push_back(I->Caption() + (S ? "+" : "-")); };
    lv->OnColumnClick = [&](TObject*, TListColumn* C) { log.push_back("col:" + C->Caption()); };
    form->Show();
    Input::ProcessAll();

    TRect r1 = lv->Items()->Item(1)->DisplayRect();
    EXPECT_GT(r1.top, 0);  // below the headings
    ClickAt(lv, 150, Center(r1).y);  // the sub-item column selects the row with RowSelect
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
    EXPECT_EQ(lv->ItemFocused(), lv->Items()->Item(1));
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(lv->Handle(), 150, Center(r1).y), Rgb(clHighlight));
    Press(VK_DOWN);
    EXPECT_EQ(lv->Selected()->Caption(), "mu");
    EXPECT_EQ(log, (std::vector<std::string>{"Alpha+", "Alpha-", "mu+"}));

    // Ctrl+click adds with MultiSelect; a heading click reports its column.
    log.clear();
    lv->SetMultiSelect(true);
    Input::KeyDown(VK_CONTROL);
    ClickAt(lv, 20, Center(lv->Items()->Item(0)->DisplayRect()).y);
    Input::KeyUp(VK_CONTROL);
    EXPECT_EQ(lv->SelCount(), 2);
    ClickAt(lv, 120, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"zeta+", "col:Size"}));

    lv->AlphaSort();
    EXPECT_EQ(lv->Items()->Item(0)->Caption(), "Alpha");
    EXPECT_EQ(lv->Items()->Item(2)->Caption(), "zeta");
    EXPECT_TRUE(lv->Items()->Item(2)->Selected());  // selection travels with the item
    lv->CustomSort([](TListItem* A, TListItem* B, int) { return static_cast<int>(B->Caption().size()) - static_cast<int>(A->Caption().size()); }, 0);
    EXPECT_EQ(lv->Items()->Item(0)->Caption(), "Alpha");
    EXPECT_EQ(lv->Items()->Item(2)->Caption(), "mu");
    lv->Items()->Delete(1);
    EXPECT_EQ(lv->Items()->Count(), 2);
    EXPECT_THROW(lv->Items()->Item(5), EListError);

    // The icon layout puts items side by side.
    lv->SetViewStyle(vsIcon);
    TRect a = lv->Items()->Item(0)->DisplayRect(), b = lv->Items()->Item(1)->DisplayRect();
    EXPECT_EQ(a.top, b.top);
    EXPECT_GT(b.left, a.left);
    EXPECT_EQ(lv->GetItemAt(Center(b).x, Center(b).y), lv->Items()->Item(1));
}

TEST_F(ListsTest, ScrollBarArrowsPagesAndThumbDrag) {
    auto* sb = Make<TScrollBar>(form, form, 10, 10, 200, 17, "Bar");
    sb->SetParams(0, 0, 100);
    sb->SetLargeChange(10);
    sb->SetSmallChange(2);
    std::vector<std::pair<TScrollCode, int>> scrolls;
    int changes = 0;
    sb->OnScroll = [&](TObject*, TScrollCode C, int& P) { scrolls.emplace_back(C, P); };
    sb->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Input::ProcessAll();

    ClickAt(sb, 200 - 8, 8);  // the right arrow
    EXPECT_EQ(sb->Position(), 2);
    ClickAt(sb, 150, 8);  // the page area right of the thumb
    EXPECT_EQ(sb->Position(), 12);
    ASSERT_GE(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0].first, scLineDown);
    EXPECT_EQ(scrolls[1].first, scEndScroll);
    EXPECT_EQ(changes, 2);

    // Drag the thumb from its centre to the far right: Position follows to Max.
    scrolls.clear();
    int thumbX = 17 + (200 - 34 - 17) * 12 / 100 + 8;
    Input::Drag(sb->ClientToScreen(TPoint{thumbX, 8}), sb->ClientToScreen(TPoint{400, 8}), 6);
    Input::ProcessAll();
    EXPECT_EQ(sb->Position(), 100);
    ASSERT_FALSE(scrolls.empty());
    EXPECT_EQ(scrolls.front().first, scTrack);
    EXPECT_EQ(scrolls[scrolls.size() - 2].first, scPosition);
    EXPECT_EQ(scrolls.back().first, scEndScroll);

    // A handler may hold the position back.
    sb->OnScroll = [&](TObject*, TScrollCode, int& P) { P = std::min(P, 50); };
    sb->SetPosition(40);
    sb->SetFocus();
    Press(VK_NEXT);
    Press(VK_NEXT);
    EXPECT_EQ(sb->Position(), 50);
    Press(VK_HOME);
    EXPECT_EQ(sb->Position(), 0);

    sb->SetPageSize(20);
    sb->SetPosition(100);
    EXPECT_EQ(sb->Position(), 81);  // Max - PageSize + 1
    EXPECT_THROW(sb->SetParams(0, 10, 5), EInvalidOperation);
    EXPECT_THROW(sb->SetPageSize(500), EInvalidOperation);
    EXPECT_EQ(sb->Max(), 100);
    sb->SetKind(sbVertical);
    EXPECT_EQ(sb->Width(), 17);
    EXPECT_EQ(sb->Height(), 200);
}

TEST_F(ListsTest, FormFileRoundTrip) {
    auto* lb = Make<TListBox>(form, form, 10, 10, 120, 100, "List");
    lb->Items()->SetCommaText("one,two,three");
    lb->SetMultiSelect(true);
    lb->SetStyle(lbOwnerDrawFixed);
    lb->SetItemHeight(20);
    auto* combo = Make<TComboBox>(form, form, 150, 10, 120, 21, "Combo");
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("a,b,c");
    combo->SetItemIndex(2);
    combo->SetDropDownCount(5);
    auto* sb = Make<TScrollBar>(form, form, 10, 150, 17, 100, "Bar");
    sb->SetKind(sbVertical);
    sb->SetParams(30, 10, 60);
    auto* lv = Make<TListView>(form, form, 150, 50, 200, 100, "View");
    lv->SetViewStyle(vsReport);
    lv->Columns()->Add()->SetCaption("Name");
    TListItem* it = lv->Items()->Add();
    it->SetCaption("row");
    it->SubItems()->Add("sub");

    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("Style = csDropDownList"), std::string::npos) << text;
    EXPECT_EQ(text.find("DropDownCount = 8"), std::string::npos) << text;  // defaults stay out

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* lb2 = static_cast<TListBox*>(copy->FindComponent("List"));
    auto* combo2 = static_cast<TComboBox*>(copy->FindComponent("Combo"));
    auto* sb2 = static_cast<TScrollBar*>(copy->FindComponent("Bar"));
    auto* lv2 = static_cast<TListView*>(copy->FindComponent("View"));
    ASSERT_TRUE(lb2 && combo2 && sb2 && lv2);
    EXPECT_EQ(lb2->Items()->CommaText(), "one,two,three");
    EXPECT_TRUE(lb2->MultiSelect());
    EXPECT_EQ(lb2->Style(), lbOwnerDrawFixed);
    EXPECT_EQ(lb2->ItemHeight(), 20);
    EXPECT_EQ(combo2->ItemIndex(), 2);
    EXPECT_EQ(combo2->Text(), "c");
    EXPECT_EQ(combo2->DropDownCount(), 5);
    EXPECT_EQ(sb2->Kind(), sbVertical);
    EXPECT_EQ(sb2->Min(), 10);
    EXPECT_EQ(sb2->Max(), 60);
    EXPECT_EQ(sb2->Position(), 30);
    EXPECT_EQ(sb2->Height(), 100);
    EXPECT_EQ(lv2->ViewStyle(), vsReport);
    ASSERT_EQ(lv2->Columns()->Count(), 1);
    EXPECT_EQ(lv2->Columns()->Items(0)->Caption(), "Name");
    ASSERT_EQ(lv2->Items()->Count(), 1);
    EXPECT_EQ(lv2->Items()->Item(0)->Caption(), "row");
    EXPECT_EQ(lv2->Items()->Item(0)->SubItems()->Strings(0), "sub");
    delete copy;
}

}  // namespace
