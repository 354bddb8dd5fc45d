// The tree view driven as a person would: expanding with the mouse and keys, lazy children, selection, deletion, moving, sorting, label editing, hit tests, painting and form files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/controls/treeview.h"
#include "host/graphics/imglist.h"
#include "host/os/keyboard.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

using Log = std::vector<std::string>;

std::string Name(TTreeNode* N) { return N ? N->Text() : std::string("nil"); }

class TreeViewTest : public ControlsTest {
protected:
    TForm* Form = nullptr;
    TTreeView* Tree = nullptr;
    Log Events;

    void SetUp() override {
        ControlsTest::SetUp();
        RegisterTreeViewClasses();
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(20, 30, 300, 260);
        Tree = Make<TTreeView>(Form, Form, 10, 10, 200, 200, "Tree");
        Form->Show();
        Tree->SetFocus();
        Tree->OnExpanding = [this](TObject*, TTreeNode* N, bool&) { Events.push_back("expanding " + Name(N)); };
        Tree->OnExpanded = [this](TObject*, TTreeNode* N) { Events.push_back("expanded " + Name(N)); };
        Tree->OnCollapsing = [this](TObject*, TTreeNode* N, bool&) { Events.push_back("collapsing " + Name(N)); };
        Tree->OnCollapsed = [this](TObject*, TTreeNode* N) { Events.push_back("collapsed " + Name(N)); };
        Tree->OnChange = [this](TObject*, TTreeNode* N) { Events.push_back("change " + Name(N)); };
    }
    void TearDown() override {
        delete Form;
        ControlsTest::TearDown();
    }
    // A (A1, A2 (A21)), B, C
    void Fill() {
        TTreeNodes* items = Tree->Items();
        TTreeNode* a = items->Add(nullptr, "A");
        items->AddChild(a, "A1");
        TTreeNode* a2 = items->AddChild(a, "A2");
        items->AddChild(a2, "A21");
        items->Add(a, "B");
        items->Add(nullptr, "C");
    }
    TTreeNode* Node(const std::string& Text) {
        for (int i = 0; i < Tree->Items()->Count(); ++i)
            if (Tree->Items()->Item(i)->Text() == Text) return Tree->Items()->Item(i);
        return nullptr;
    }
    TPoint Screen(int X, int Y) { return Tree->ClientToScreen(TPoint{X, Y}); }
    // A single click (after the double-click time, so that it never pairs with the last).
    void ClickAt(TPoint P) {
        Clock::Advance(GetDoubleClickTime() + 1);
        TPoint s = Screen(P.x, P.y);
        Input::Click(s.x, s.y);
        Input::ProcessAll();
    }
    // The first point of the node's row that the hit test calls Kind.
    TPoint Find(TTreeNode* N, THitTest Kind) {
        TRect r = N->DisplayRect(false);
        int y = (r.top + r.bottom) / 2;
        for (int x = 0; x < Tree->ClientWidth(); ++x)
            if (Tree->GetHitTestInfoAt(x, y).Contains(Kind)) return TPoint{x, y};
        ADD_FAILURE() << "no such place on " << N->Text();
        return TPoint{0, y};
    }
    void Key(int VK) {
        Input::Key(VK);
        Input::ProcessAll();
    }
    std::string SelectedText() { return Name(Tree->Selected()); }
};

TEST_F(TreeViewTest, ButtonClickExpandsAndCollapsesWithEventsAndRefusal) {
    Fill();
    TTreeNode* a = Node("A");
    ASSERT_FALSE(a->Expanded());
    EXPECT_EQ(Node("B")->DisplayRect(false).top, a->DisplayRect(false).bottom);  // B is the next row

    ClickAt(Find(a, htOnButton));
    EXPECT_EQ(Events, (Log{"expanding A", "expanded A"}));
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(Tree->Selected(), nullptr);  // the button does not select
    EXPECT_EQ(Node("A1")->DisplayRect(false).top, a->DisplayRect(false).bottom);

    // A refusal leaves the node as it was.
    Events.clear();
    Tree->OnCollapsing = [this](TObject*, TTreeNode* N, bool& Allow) {
        Events.push_back("collapsing " + Name(N));
        Allow = false;
    };
    ClickAt(Find(a, htOnButton));
    EXPECT_EQ(Events, (Log{"collapsing A"}));
    EXPECT_TRUE(a->Expanded());

    Tree->OnCollapsing = nullptr;
    Events.clear();
    ClickAt(Find(a, htOnButton));
    EXPECT_EQ(Events, (Log{"collapsed A"}));
    EXPECT_FALSE(a->Expanded());

    // Expanding refused in code and through the keyboard.
    Tree->OnExpanding = [this](TObject*, TTreeNode* N, bool& Allow) {
        Events.push_back("expanding " + Name(N));
        Allow = false;
    };
    Events.clear();
    a->Expand(false);
    EXPECT_FALSE(a->Expanded());
    EXPECT_FALSE(a->CanExpand());
    EXPECT_EQ(Events, (Log{"expanding A", "expanding A"}));

    // A double click on the label toggles the node and fires OnDblClick.
    Tree->OnExpanding = nullptr;
    int dbl = 0;
    Tree->OnDblClick = [&](TObject*) {
        ++dbl;
        EXPECT_TRUE(a->Expanded());  // the toggle comes first, as the control itself does it
    };
    TPoint p = Screen(Find(a, htOnLabel).x, Find(a, htOnLabel).y);
    Input::DoubleClick(p.x, p.y);
    Input::ProcessAll();
    EXPECT_EQ(dbl, 1);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(SelectedText(), "A");

    // Recursive expansion, then a full collapse.
    Tree->FullExpand();
    EXPECT_TRUE(Node("A2")->Expanded());
    EXPECT_TRUE(Node("A21")->IsVisible());
    Tree->FullCollapse();
    EXPECT_FALSE(a->Expanded());
    EXPECT_FALSE(Node("A21")->IsVisible());
}

TEST_F(TreeViewTest, LazyChildrenAppearWhenExpanded) {
    TTreeNode* root = Tree->Items()->Add(nullptr, "Lazy");
    TTreeNode* empty = Tree->Items()->Add(nullptr, "Empty");
    root->SetHasChildren(true);
    empty->SetHasChildren(true);
    EXPECT_EQ(root->Count(), 0);
    EXPECT_TRUE(Tree->GetHitTestInfoAt(Find(root, htOnButton).x, Find(root, htOnButton).y).Contains(htOnButton));

    int loads = 0;
    Tree->OnExpanding = [&](TObject*, TTreeNode* N, bool&) {
        if (N == root && N->Count() == 0) {
            ++loads;
            Tree->Items()->AddChildObject(N, "child 1", &loads);
            Tree->Items()->AddChildObject(N, "child 2", &loads);
        }
    };
    ClickAt(Find(root, htOnButton));
    EXPECT_TRUE(root->Expanded());
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Data(), &loads);
    EXPECT_EQ(root->Item(1)->Level(), 1);
    root->Collapse(false);
    root->Expand(false);
    EXPECT_EQ(loads, 1);  // loaded once

    // A node that stays empty loses its button.
    ClickAt(Find(empty, htOnButton));
    EXPECT_FALSE(empty->Expanded());
    EXPECT_FALSE(empty->HasChildren());
    TRect r = empty->DisplayRect(false);
    for (int x = 0; x < Tree->ClientWidth(); ++x)
        EXPECT_FALSE(Tree->GetHitTestInfoAt(x, (r.top + r.bottom) / 2).Contains(htOnButton));

    // Deleting the children takes the button away too.
    root->DeleteChildren();
    EXPECT_FALSE(root->HasChildren());
    EXPECT_FALSE(root->Expanded());
}

TEST_F(TreeViewTest, KeyboardNavigation) {
    Fill();
    Key(VK_DOWN);  // nothing selected: the first row
    EXPECT_EQ(SelectedText(), "A");
    Key(VK_RIGHT);  // expands
    EXPECT_TRUE(Node("A")->Expanded());
    EXPECT_EQ(SelectedText(), "A");
    Key(VK_RIGHT);  // goes to the first child
    EXPECT_EQ(SelectedText(), "A1");
    Key(VK_DOWN);
    EXPECT_EQ(SelectedText(), "A2");
    Input::Type("+");
    Input::ProcessAll();
    EXPECT_TRUE(Node("A2")->Expanded());
    Key(VK_DOWN);
    EXPECT_EQ(SelectedText(), "A21");
    Key(VK_LEFT);  // a leaf: to the parent
    EXPECT_EQ(SelectedText(), "A2");
    Key(VK_LEFT);  // expanded: collapses
    EXPECT_FALSE(Node("A2")->Expanded());
    EXPECT_EQ(SelectedText(), "A2");
    Key(VK_END);
    EXPECT_EQ(SelectedText(), "C");
    Key(VK_UP);
    EXPECT_EQ(SelectedText(), "B");
    Key(VK_HOME);
    EXPECT_EQ(SelectedText(), "A");
    Input::Type("-");
    Input::ProcessAll();
    EXPECT_FALSE(Node("A")->Expanded());
    Input::Type("*");
    Input::ProcessAll();
    EXPECT_TRUE(Node("A2")->Expanded());
    Input::Type("c");  // the next row starting with the letter
    Input::ProcessAll();
    EXPECT_EQ(SelectedText(), "C");

    // Paging through a long list scrolls so the selection stays in view.
    for (int i = 0; i < 40; ++i) Tree->Items()->Add(nullptr, "Item " + std::to_string(i));
    Key(VK_NEXT);
    Key(VK_NEXT);
    TTreeNode* sel = Tree->Selected();
    ASSERT_NE(sel, nullptr);
    EXPECT_GT(sel->AbsoluteIndex(), Node("C")->AbsoluteIndex() + 10);
    TRect r = sel->DisplayRect(false);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, Tree->ClientHeight());
    EXPECT_NE(Tree->TopItem(), Node("A"));
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Tree->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMax, 46 - 1);  // every row that shows
    Key(VK_HOME);
    EXPECT_EQ(Tree->TopItem(), Node("A"));
    // The scroll bar and the wheel move the rows, not the selection.
    Tree->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Tree->TopItem(), Node("A1"));
    Tree->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Tree->TopItem()->AbsoluteIndex() + (Tree->ClientHeight() / Tree->ItemHeight()), 46);
    TPoint c = Screen(50, 50);
    Input::MouseMove(c.x, c.y);
    Input::Wheel(120);
    Input::ProcessAll();
    EXPECT_EQ(Tree->TopItem()->AbsoluteIndex() + (Tree->ClientHeight() / Tree->ItemHeight()), 43);
    EXPECT_EQ(SelectedText(), "A");
    Tree->SetTopItem(Node("B"));
    EXPECT_EQ(Tree->TopItem(), Node("B"));
    // The tree asks for the arrow keys, so the form's navigation leaves them alone.
    EXPECT_NE(Tree->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
}

TEST_F(TreeViewTest, SelectionEventsAndRefusal) {
    Fill();
    Log changing;
    bool refuse = false;
    Tree->OnChanging = [&](TObject*, TTreeNode* N, bool& Allow) {
        changing.push_back(Name(N));
        Allow = !refuse;
    };
    ClickAt(Find(Node("B"), htOnLabel));
    EXPECT_EQ(SelectedText(), "B");
    EXPECT_TRUE(Node("B")->Selected());
    EXPECT_TRUE(Node("B")->Focused());
    EXPECT_EQ(changing, (Log{"B"}));
    EXPECT_EQ(Events, (Log{"change B"}));

    refuse = true;
    ClickAt(Find(Node("C"), htOnLabel));
    EXPECT_EQ(SelectedText(), "B");
    Key(VK_DOWN);
    EXPECT_EQ(SelectedText(), "B");
    EXPECT_EQ(changing, (Log{"B", "C", "C"}));
    EXPECT_EQ(Events, (Log{"change B"}));

    // Clicking right of a label selects nothing, unless the whole row selects.
    refuse = false;
    ClickAt(Find(Node("C"), htOnRight));
    EXPECT_EQ(SelectedText(), "B");
    Tree->SetRowSelect(true);
    ClickAt(Find(Node("C"), htOnRight));
    EXPECT_EQ(SelectedText(), "C");

    // Selecting a hidden node in code expands its ancestors.
    Events.clear();
    Node("A21")->SetSelected(true);
    EXPECT_TRUE(Node("A")->Expanded());
    EXPECT_TRUE(Node("A2")->Expanded());
    EXPECT_EQ(Events, (Log{"expanding A", "expanded A", "expanding A2", "expanded A2", "change A21"}));
    // Collapsing an ancestor of the selection moves it to that ancestor.
    Events.clear();
    Node("A")->Collapse(false);
    EXPECT_EQ(SelectedText(), "A");
    EXPECT_EQ(Events, (Log{"collapsing A", "change A", "collapsed A"}));
}

TEST_F(TreeViewTest, DeletionAnnouncesEveryNodeWithItsData) {
    Fill();
    std::vector<int> values(6);
    for (int i = 0; i < Tree->Items()->Count(); ++i) {
        values[static_cast<size_t>(i)] = i * 10;
        Tree->Items()->Item(i)->SetData(&values[static_cast<size_t>(i)]);
    }
    std::vector<std::pair<std::string, int>> deleted;
    Tree->OnDeletion = [&](TObject*, TTreeNode* N) {
        EXPECT_TRUE(N->Deleting());
        deleted.emplace_back(N->Text(), *static_cast<int*>(N->Data()));
    };
    Node("A2")->SetSelected(true);
    Events.clear();
    Node("A")->Delete();  // children first, then the node
    EXPECT_EQ(deleted, (std::vector<std::pair<std::string, int>>{{"A1", 10}, {"A21", 30}, {"A2", 20}, {"A", 0}}));
    EXPECT_EQ(Tree->Items()->Count(), 2);
    EXPECT_EQ(SelectedText(), "B");  // the selection moved to the next node that stays
    EXPECT_EQ(Events, (Log{"change B"}));
    EXPECT_EQ(Node("B")->Index(), 0);
    EXPECT_TRUE(Node("B")->IsFirstNode());

    deleted.clear();
    Tree->Items()->Delete(Node("C"));
    EXPECT_EQ(deleted.size(), 1u);
    EXPECT_THROW(Tree->Items()->Item(1), EListError);

    // Items left when the tree goes are announced too.
    Tree->Items()->AddChildObject(nullptr, "last", &values[5]);
    deleted.clear();
    delete Tree;
    Tree = nullptr;
    EXPECT_EQ(deleted, (std::vector<std::pair<std::string, int>>{{"B", 40}, {"last", 50}}));
}

TEST_F(TreeViewTest, StructureOrderAndMoves) {
    Fill();
    TTreeNodes* items = Tree->Items();
    std::string order;
    for (int i = 0; i < items->Count(); ++i) order += items->Item(i)->Text() + " ";
    EXPECT_EQ(order, "A A1 A2 A21 B C ");
    EXPECT_EQ(Node("A21")->AbsoluteIndex(), 3);
    EXPECT_EQ(Node("A21")->GetNext(), Node("B"));
    EXPECT_EQ(Node("B")->GetPrev(), Node("A21"));
    EXPECT_EQ(Node("A")->getLastChild(), Node("A2"));
    EXPECT_EQ(Node("A2")->getPrevSibling(), Node("A1"));
    EXPECT_EQ(Node("A21")->Parent()->Parent(), Node("A"));
    EXPECT_EQ(Node("A")->GetNextVisible(), Node("B"));  // collapsed
    EXPECT_TRUE(Node("A21")->HasAsParent(Node("A")));

    items->AddFirst(Node("B"), "Z");
    items->AddChildFirst(Node("A"), "A0");
    items->Insert(Node("C"), "BC");
    order.clear();
    for (int i = 0; i < items->Count(); ++i) order += items->Item(i)->Text() + " ";
    EXPECT_EQ(order, "Z A A0 A1 A2 A21 B BC C ");

    Node("C")->MoveTo(Node("A1"), naAddChild);
    EXPECT_EQ(Node("C")->Parent(), Node("A1"));
    EXPECT_EQ(Node("C")->Level(), 2);
    Node("A2")->MoveTo(Node("Z"), naInsert);
    EXPECT_EQ(items->GetFirstNode(), Node("A2"));
    EXPECT_EQ(Node("A21")->Level(), 1);  // the children go along
    Node("Z")->MoveTo(Node("A"), naAddChildFirst);
    EXPECT_EQ(Node("A")->getFirstChild(), Node("Z"));
    Node("BC")->MoveTo(Node("A2"), naAddFirst);
    EXPECT_EQ(items->GetFirstNode(), Node("BC"));
    Node("BC")->MoveTo(Node("B"), naAdd);
    EXPECT_EQ(Node("B")->getNextSibling(), Node("BC"));
    EXPECT_EQ(Node("BC")->getNextSibling(), nullptr);
    order.clear();
    for (int i = 0; i < items->Count(); ++i) order += items->Item(i)->Text() + " ";
    EXPECT_EQ(order, "A2 A21 A Z A0 A1 C B BC ");

    // A node cannot go inside itself.
    EXPECT_THROW(Node("A")->MoveTo(Node("C"), naAddChild), ETreeViewError);
    EXPECT_THROW(Node("A")->MoveTo(Node("A"), naAddChild), ETreeViewError);
    EXPECT_EQ(Node("C")->Parent(), Node("A1"));

    // Sorting: by text, or by the caller's order.
    Tree->AlphaSort();
    order.clear();
    for (int i = 0; i < items->Count(); ++i) order += items->Item(i)->Text() + " ";
    EXPECT_EQ(order, "A A0 A1 C Z A2 A21 B BC ");
    Tree->CustomSort([](TTreeNode* a, TTreeNode* b, intptr_t) { return b->Text().compare(a->Text()); }, 0);
    EXPECT_EQ(items->GetFirstNode()->Text(), "BC");
    Tree->SetSortType(stText);
    EXPECT_EQ(items->GetFirstNode()->Text(), "A");
    items->Add(nullptr, "AA");
    items->Add(nullptr, "0");
    EXPECT_EQ(items->GetFirstNode()->Text(), "0");
    EXPECT_EQ(Node("A2")->getNextSibling(), Node("AA"));  // character order: '2' < 'A'
    Node("0")->SetText("ZZ");
    EXPECT_EQ(Node("ZZ")->getNextSibling(), nullptr);
}

TEST_F(TreeViewTest, HitTestsAndImages) {
    auto* images = new TImageList(Form, 16, 16);
    TBitmap bmp(16, 16);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&bmp, nullptr);
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&bmp, nullptr);
    Tree->SetImages(images);
    Fill();
    TTreeNode* a = Node("A");
    a->SetImageIndex(0);
    a->SetSelectedIndex(1);
    Tree->Items()->Item(0)->Expand(false);
    TTreeNode* a1 = Node("A1");
    int h = Tree->ItemHeight();
    EXPECT_GE(h, 18);  // room for the images

    TRect row = a1->DisplayRect(false);
    TRect label = a1->DisplayRect(true);
    int y = (row.top + row.bottom) / 2;
    EXPECT_EQ(label.left, 2 * Tree->Indent() + 2 + 18);
    EXPECT_EQ(Tree->GetHitTestInfoAt(5, y), THitTests{htOnIndent});
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.left - 18 - 5, y), THitTests{htOnIndent});  // a leaf: no button
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.left - 10, y), (THitTests{htOnItem, htOnIcon}));
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.left + 3, y), (THitTests{htOnItem, htOnLabel}));
    EXPECT_EQ(Tree->GetHitTestInfoAt(label.right + 3, y), THitTests{htOnRight});
    TRect arow = a->DisplayRect(false);
    EXPECT_EQ(Tree->GetHitTestInfoAt(Tree->Indent() / 2 + 2, (arow.top + arow.bottom) / 2), THitTests{htOnButton});
    EXPECT_EQ(Tree->GetHitTestInfoAt(5, Tree->ClientHeight() - 2), THitTests{htNowhere});
    EXPECT_EQ(Tree->GetNodeAt(5, y), a1);
    EXPECT_EQ(Tree->GetNodeAt(5, Tree->ClientHeight() - 2), nullptr);
    EXPECT_TRUE(Tree->GetHitTestInfoAt(-1, 5).Contains(htToLeft));
    EXPECT_TRUE(Tree->GetHitTestInfoAt(5, -1).Contains(htAbove));
    EXPECT_TRUE(Tree->GetHitTestInfoAt(5, Tree->ClientHeight() + 4).Contains(htBelow));
    EXPECT_TRUE(Tree->GetHitTestInfoAt(Tree->ClientWidth() + 4, 5).Contains(htToRight));

    // The images: the image index, then the selected index once selected, asked first.
    int asked = 0;
    Tree->OnGetImageIndex = [&](TObject*, TTreeNode*) { ++asked; };
    TRect alabel = a->DisplayRect(true);
    int iy = (alabel.top + alabel.bottom) / 2;
    EXPECT_EQ(wintest::ClientPixel(Tree->Handle(), alabel.left - 9, iy), 0xFF0000u);
    EXPECT_GT(asked, 0);
    a->SetSelected(true);
    EXPECT_EQ(wintest::ClientPixel(Tree->Handle(), alabel.left - 9, iy), 0x0000FFu);
    // Removing the image list takes the icon column away.
    delete images;
    EXPECT_EQ(Tree->Images(), nullptr);
    EXPECT_EQ(a1->DisplayRect(true).left, 2 * Tree->Indent() + 2);
}

TEST_F(TreeViewTest, PaintingSelectionButtonsAndLines) {
    Fill();
    TTreeNode* a = Node("A");
    a->Expand(false);
    Node("A1")->SetSelected(true);
    HWND wnd = Tree->Handle();
    TRect label = Node("A1")->DisplayRect(true);
    EXPECT_EQ(wintest::ClientPixel(wnd, label.left + 1, label.top + 2), Rgb(clHighlight));
    // Without the focus the selection disappears (HideSelection) or turns grey.
    auto* other = Make<TProbe>(Form, Form, 220, 10, 40, 40, "Other");
    other->SetFocus();
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(wnd, label.left + 1, label.top + 2), Rgb(clWindow));
    Tree->SetHideSelection(false);
    EXPECT_EQ(wintest::ClientPixel(wnd, label.left + 1, label.top + 2), Rgb(clBtnFace));

    // The expand box of A: a grey frame with a minus sign (no vertical stroke).
    TRect arow = a->DisplayRect(false);
    int mid = arow.top + (arow.bottom - arow.top) / 2;
    int cx = Tree->Indent() / 2 + 2;
    EXPECT_EQ(wintest::ClientPixel(wnd, cx - 4, mid), Rgb(clGrayText));
    EXPECT_EQ(wintest::ClientPixel(wnd, cx, mid), Rgb(clWindowText));
    EXPECT_EQ(wintest::ClientPixel(wnd, cx, mid - 2), Rgb(clWindow));
    a->Collapse(false);
    EXPECT_EQ(wintest::ClientPixel(wnd, cx, mid - 2), Rgb(clWindowText));  // now a plus
    // Dotted lines join B's row to its sibling C below.
    TRect brow = Node("B")->DisplayRect(false);
    int dots = 0;
    for (int yy = brow.bottom - 3; yy < brow.bottom; ++yy)
        if (wintest::ClientPixel(wnd, cx, yy) == Rgb(clGrayText)) ++dots;
    EXPECT_GE(dots, 1);
    Tree->SetShowLines(false);
    dots = 0;
    for (int yy = brow.bottom - 3; yy < brow.bottom; ++yy)
        if (wintest::ClientPixel(wnd, cx, yy) == Rgb(clGrayText)) ++dots;
    EXPECT_EQ(dots, 0);
    Tree->SetShowLines(true);
    // A horizontal scroll bar appears once a label is wider than the tree.
    Tree->Items()->Add(nullptr, std::string(80, 'W'));
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(wnd, SB_HORZ, &si));
    EXPECT_GT(si.nMax, static_cast<int>(si.nPage));
    // A larger font makes taller rows.
    int h0 = Tree->ItemHeight();
    Tree->Font()->SetSize(16);
    EXPECT_GT(Tree->ItemHeight(), h0 + 5);
    EXPECT_EQ(Node("B")->DisplayRect(false).top, Tree->ItemHeight());
}

TEST_F(TreeViewTest, LabelEditing) {
    Fill();
    Log edited;
    Tree->OnEdited = [&](TObject*, TTreeNode* N, std::string& S) {
        edited.push_back(N->Text() + "->" + S);
        if (S == "upper") S = "UPPER";
    };
    Node("B")->SetSelected(true);
    Key(VK_F2);
    ASSERT_TRUE(Tree->IsEditing());
    ASSERT_NE(Tree->EditControl(), nullptr);
    Input::Type("upper");
    Key(VK_RETURN);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(edited, (Log{"B->upper"}));
    EXPECT_EQ(Node("UPPER"), Tree->Selected());
    EXPECT_TRUE(Tree->Focused());

    // Escape cancels.
    Key(VK_F2);
    Input::Type("zzz");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Tree->Selected()->Text(), "UPPER");
    EXPECT_EQ(edited.size(), 1u);

    // A click on the selected label starts editing once the double-click time passes;
    // backspace and the arrows edit inside the text.
    ClickAt(Find(Tree->Selected(), htOnLabel));
    EXPECT_FALSE(Tree->IsEditing());
    Clock::Advance(GetDoubleClickTime() + 10);
    Input::ProcessAll();
    ASSERT_TRUE(Tree->IsEditing());
    Key(VK_END);
    Key(VK_LEFT);
    Key(VK_BACK);
    Input::Type("x");
    Key(VK_RETURN);
    EXPECT_EQ(Tree->Selected()->Text(), "UPPxR");

    // OnEditing refuses; ReadOnly refuses.
    Tree->OnEditing = [](TObject*, TTreeNode*, bool& Allow) { Allow = false; };
    EXPECT_FALSE(Tree->Selected()->EditText());
    Tree->OnEditing = nullptr;
    Tree->SetReadOnly(true);
    Key(VK_F2);
    EXPECT_FALSE(Tree->IsEditing());
    Tree->SetReadOnly(false);
    // Deleting the node being edited ends the edit without a change.
    ASSERT_TRUE(Node("C")->EditText());
    Node("C")->Delete();
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(edited.size(), 2u);
}

TEST_F(TreeViewTest, ItemsStreamThroughFormFiles) {
    Fill();
    Node("A2")->SetImageIndex(3);
    Node("A2")->SetSelectedIndex(4);
    Node("A2")->SetStateIndex(1);
    Node("A2")->SetOverlayIndex(2);
    std::string longText(300, 'x');
    longText += "\xC3\xA9nd";
    Tree->Items()->AddChild(Node("C"), longText);
    Tree->SetIndent(25);
    Tree->SetShowLines(false);
    Tree->SetSortType(stNone);

    TStringStream out("");
    out.WriteComponent(Form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("Items.Data = {"), std::string::npos) << text;
    EXPECT_NE(text.find("Indent = 25"), std::string::npos);
    EXPECT_EQ(text.find("ShowButtons"), std::string::npos);  // defaults are not written

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* t2 = static_cast<TTreeView*>(copy->FindComponent("Tree"));
    ASSERT_NE(t2, nullptr);
    EXPECT_EQ(t2->Indent(), 25);
    EXPECT_FALSE(t2->ShowLines());
    ASSERT_EQ(t2->Items()->Count(), 7);
    std::string order;
    for (int i = 0; i < t2->Items()->Count(); ++i)
        order += t2->Items()->Item(i)->Text().substr(0, 3) + "/" + std::to_string(t2->Items()->Item(i)->Level()) + " ";
    EXPECT_EQ(order, "A/0 A1/1 A2/1 A21/2 B/0 C/0 xxx/1 ");
    TTreeNode* a2 = t2->Items()->Item(2);
    EXPECT_EQ(a2->ImageIndex(), 3);
    EXPECT_EQ(a2->SelectedIndex(), 4);
    EXPECT_EQ(a2->StateIndex(), 1);
    EXPECT_EQ(a2->OverlayIndex(), 2);
    EXPECT_EQ(t2->Items()->Item(6)->Text(), longText);  // long texts are kept whole
    EXPECT_EQ(t2->Items()->Item(0)->ImageIndex(), -1);
    delete copy;

    // Broken node data raises and leaves the nodes as they were.
    TStringStream bad(std::string("\x02\x00\x00\x00\xFF\xFF", 6));
    EXPECT_THROW(Tree->Items()->ReadData(&bad), EReadError);
    std::string huge = std::string("\x01\x00\x00\x00", 4) + std::string(24, '\0');
    huge[20 + 4] = '\x7F';  // the child count of the first node: far more than the data holds
    TStringStream bad2(huge + std::string(1, '\0'));
    EXPECT_THROW(Tree->Items()->ReadData(&bad2), EReadError);
    EXPECT_EQ(Tree->Items()->Count(), 7);
}

}  // namespace
}  // namespace ctltest
