// Grids driven as a person would: editing cells with Tab and Esc, range selection, column sizing and moving, refusing cells, drawing, scrolling, row and column views, form files and pixels.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/controls/edits.h"
#include "host/controls/grids.h"
#include "host/os/keyboard.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "test_controls.h"

namespace ctltest {
namespace {

// A string grid that lets the test delete columns and rows.
class TOpenGrid : public TStringGrid {
public:
    explicit TOpenGrid(TComponent* AOwner) : TStringGrid(AOwner) {}
    using TStringGrid::DeleteColumn;
    using TStringGrid::DeleteRow;
};

class GridsTest : public ControlsTest {
protected:
    TForm* form = nullptr;
    TStringGrid* grid = nullptr;

    void SetUp() override {
        ControlsTest::SetUp();
        RegisterGridClasses();
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 420, 320);
        grid = Make<TStringGrid>(form, form, 10, 10, 340, 200, "Grid");
        form->Show();
        grid->SetFocus();
        Input::ProcessAll();
    }
    void TearDown() override {
        delete form;
        ControlsTest::TearDown();
    }
    // The screen point at the middle of a cell.
    POINT CellPoint(int ACol, int ARow) {
        TRect r = grid->CellRect(ACol, ARow);
        return grid->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    void Keys(std::initializer_list<int> Vks) {
        for (int k : Vks) Input::Key(k);
        Input::ProcessAll();
    }
    void ShiftKey(int Vk) {
        Input::KeyDown(VK_SHIFT);
        Input::Key(Vk);
        Input::KeyUp(VK_SHIFT);
        Input::ProcessAll();
    }
};

TEST_F(GridsTest, EditingCellsWithTypingTabEnterEscapeAndF2) {
    std::vector<std::string> sets;
    grid->OnSetEditText = [&](TObject*, int C, int R, const std::string& V) {
        sets.push_back(std::to_string(C) + "," + std::to_string(R) + "=" + V);
    };
    grid->SetOptions(grid->Options() + TGridOptions{goEditing, goTabs});
    grid->SetCells(2, 1, "old");

    // Typing a character opens the editor with that character in place of the text.
    Input::Type("abc");
    Input::ProcessAll();
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    EXPECT_EQ(grid->Cells(1, 1), "abc");  // every change reaches the cell
    Keys({VK_TAB});
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Cells(1, 1), "abc");
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(sets.back(), "1,1=abc");

    // Esc puts the old text back and closes the editor.
    Input::Type("xy");
    Input::ProcessAll();
    EXPECT_EQ(grid->Cells(2, 1), "xy");
    Keys({VK_ESCAPE});
    EXPECT_EQ(grid->Cells(2, 1), "old");
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_FALSE(grid->EditorMode());

    // F2 edits with the caret at the end; Enter closes; Enter again reopens.
    Keys({VK_F2});
    Input::Type("Z");
    Keys({VK_RETURN});
    EXPECT_EQ(grid->Cells(2, 1), "oldZ");
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    Keys({VK_RETURN});
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "oldZ");
    Keys({VK_DOWN});  // arrows up and down leave the editor for the next row
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());

    // Tab wraps from the last column to the next row; Shift+Tab wraps back.
    grid->SetCol(4);
    Keys({VK_TAB});
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 3);
    ShiftKey(VK_TAB);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Selection(), (TGridRect{4, 2, 4, 2}));  // Shift+Tab selects no range

    // A column without a tab stop is passed over.
    grid->SetTabStops(1, false);
    Keys({VK_TAB});
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);

    // With goAlwaysShowEditor the editor follows the current cell.
    grid->SetOptions(grid->Options() + TGridOptions{goAlwaysShowEditor});
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    Input::Type("q");
    Keys({VK_TAB});
    EXPECT_EQ(grid->Cells(2, 3), "q");
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->InplaceEditor()->Left(), grid->CellRect(3, 3).left);

    // A click on the current cell of a focused grid opens the editor.
    grid->SetOptions(grid->Options() - TGridOptions{goAlwaysShowEditor});
    Keys({VK_ESCAPE});
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    Input::Click(CellPoint(3, 3).x, CellPoint(3, 3).y);
    Input::ProcessAll();
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
}

TEST_F(GridsTest, RangeSelectionByKeysAndMouse) {
    ShiftKey(VK_RIGHT);
    ShiftKey(VK_DOWN);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));
    EXPECT_EQ(grid->Col(), 2);
    Keys({VK_RIGHT});  // an arrow without Shift collapses the range
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));

    Input::Drag(CellPoint(1, 1), CellPoint(3, 3));
    Input::ProcessAll();
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 3}));
    EXPECT_EQ(grid->Col(), 1);  // the cell pressed stays current
    EXPECT_EQ(grid->Row(), 1);

    Input::Click(CellPoint(2, 2).x, CellPoint(2, 2).y);
    Input::ProcessAll();
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 2, 2}));
    Input::Click(CellPoint(0, 3).x, CellPoint(0, 3).y);  // fixed cells are not selected
    Input::ProcessAll();
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 2, 2, 2}));

    grid->SetOptions(grid->Options() - TGridOptions{goRangeSelect});
    ShiftKey(VK_RIGHT);
    EXPECT_EQ(grid->Selection(), (TGridRect{3, 2, 3, 2}));

    grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 4, 2}));
    Keys({VK_DOWN});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 3, 4, 3}));
    EXPECT_THROW(grid->SetSelection(TGridRect{0, 1, 9, 1}), EInvalidOperation);
}

TEST_F(GridsTest, ColumnSizingAndMovingByMouseAndFormFileRoundTrip) {
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing, goColMoving});
    for (int i = 0; i < 5; ++i) grid->SetCells(i, 2, "c" + std::to_string(i));
    // Drag the line after column 1 (in the fixed row) 30 pixels to the right.
    TRect r1 = grid->CellRect(1, 0);
    POINT from = grid->ClientToScreen(TPoint{r1.right, (r1.top + r1.bottom) / 2});
    Input::Drag(from, POINT{from.x + 30, from.y + 40});
    Input::ProcessAll();
    EXPECT_EQ(grid->ColWidths(1), 94);
    EXPECT_EQ(grid->ColWidths(2), 64);

    // Dragging the header of column 3 onto column 1 moves the column with its data.
    std::vector<std::pair<int, int>> moves;
    grid->OnColumnMoved = [&](TObject*, int F, int T) { moves.emplace_back(F, T); };
    TRect body = grid->CellRect(1, 3);
    uint32_t midDrag = 0;
    POINT p3 = CellPoint(3, 0), p1 = CellPoint(1, 0);
    Input::MouseMove(p3.x, p3.y);
    Input::MouseDown();
    Input::MouseMove(p1.x + 5, p1.y);
    Input::MouseMove(p1.x, p1.y);
    Input::Call([&] { midDrag = wintest::ClientPixel(grid->Handle(), body.left, body.top + 5); });
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(midDrag, 0x000000u);  // the inverted line where the column will land
    EXPECT_EQ(wintest::ClientPixel(grid->Handle(), body.left, body.top + 5), Rgb(clWindow));
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{3, 1}}));
    EXPECT_EQ(grid->Rows(2)->CommaText(), "c0,c3,c1,c2,c4");
    EXPECT_EQ(grid->ColWidths(2), 94);  // the width went along

    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("ColWidths = ("), std::string::npos) << text;
    EXPECT_EQ(text.find("RowHeights"), std::string::npos) << text;
    EXPECT_NE(text.find("goColMoving"), std::string::npos) << text;

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* g2 = static_cast<TStringGrid*>(copy->FindComponent("Grid"));
    ASSERT_NE(g2, nullptr);
    EXPECT_EQ(g2->ColWidths(2), 94);
    EXPECT_EQ(g2->ColWidths(1), 64);
    EXPECT_EQ(g2->Options(), grid->Options());
    delete copy;

    // A damaged file with more widths than columns loads what fits; defaults write nothing.
    std::string bad = "object F: TForm\n  object G: TStringGrid\n    ColCount = 2\n    ColWidths = (\n      10\n"
                      "      20\n      30\n      40)\n  end\nend\n";
    auto* f3 = new TForm(nullptr);
    TStringStream in3(ObjectTextToBinaryString(bad));
    in3.ReadComponent(f3);
    auto* g3 = static_cast<TStringGrid*>(f3->FindComponent("G"));
    ASSERT_NE(g3, nullptr);
    EXPECT_EQ(g3->ColWidths(0), 10);
    EXPECT_EQ(g3->ColWidths(1), 20);
    g3->SetDefaultColWidth(50);
    TStringStream out3("");
    out3.WriteComponent(f3);
    EXPECT_EQ(ObjectBinaryToTextString(out3.DataString()).find("ColWidths"), std::string::npos);
    delete f3;
}

TEST_F(GridsTest, SelectCellRefusesAndDrawCellSeesOnlyVisibleCells) {
    grid->OnSelectCell = [](TObject*, int C, int, bool& Can) { Can = C != 3; };
    Keys({VK_RIGHT, VK_RIGHT});
    EXPECT_EQ(grid->Col(), 2);
    Keys({VK_RIGHT});
    EXPECT_EQ(grid->Col(), 2);  // refused
    Input::Click(CellPoint(3, 2).x, CellPoint(3, 2).y);
    Input::ProcessAll();
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 1);
    grid->SetCol(4);
    EXPECT_EQ(grid->Col(), 4);

    grid->SetRowCount(1000);
    grid->SetColCount(40);
    std::set<std::pair<int, int>> drawn;
    int fixedDrawn = 0;
    grid->OnDrawCell = [&](TObject*, int C, int R, TRect, TGridDrawState S) {
        drawn.insert({C, R});
        if (S.Contains(gdFixed)) ++fixedDrawn;
        EXPECT_EQ(S.Contains(gdFixed), C == 0 || R == 0);
    };
    grid->SetTopRow(500);
    grid->SetLeftCol(20);
    grid->Repaint();
    Input::ProcessAll();
    ASSERT_FALSE(drawn.empty());
    int maxCol = 0, maxRow = 0;
    for (auto [c, r] : drawn) {
        EXPECT_TRUE(c == 0 || (c >= 20 && c <= 20 + grid->VisibleColCount())) << c;
        EXPECT_TRUE(r == 0 || (r >= 500 && r <= 500 + grid->VisibleRowCount())) << r;
        maxCol = std::max(maxCol, c);
        maxRow = std::max(maxRow, r);
    }
    EXPECT_GE(maxCol, 20 + grid->VisibleColCount() - 1);
    EXPECT_GE(maxRow, 500 + grid->VisibleRowCount() - 1);
    EXPECT_GT(fixedDrawn, 0);
    EXPECT_EQ(grid->CellRect(5, 5), TRect{});  // scrolled away
}

TEST_F(GridsTest, KeysWheelAndScrollBarsKeepTheCurrentCellInView) {
    grid->SetRowCount(50);
    int tops = 0;
    grid->OnTopLeftChanged = [&](TObject*) { ++tops; };
    int visible = grid->VisibleRowCount();
    ASSERT_GT(visible, 2);
    for (int i = 0; i < visible; ++i) Input::Key(VK_DOWN);
    Input::ProcessAll();
    EXPECT_EQ(grid->Row(), 1 + visible);
    EXPECT_EQ(grid->TopRow(), 2);  // scrolled by one: the current row is the last whole one
    EXPECT_EQ(tops, 1);
    Keys({VK_NEXT});
    EXPECT_EQ(grid->Row(), 1 + 2 * visible);
    EXPECT_EQ(grid->TopRow(), 2 + visible);
    Input::KeyDown(VK_CONTROL);
    Input::Key(VK_END);
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(grid->Row(), 49);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->TopRow(), 50 - visible);
    int lo = 0, hi = 0;
    GetScrollRange(grid->Handle(), SB_VERT, &lo, &hi);
    EXPECT_NE(lo, hi);
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), grid->TopRow() - 1);
    Input::KeyDown(VK_CONTROL);
    Input::Key(VK_HOME);
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);

    // The scroll bar moves the view, not the current cell.
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(grid->TopRow(), 1 + visible);
    EXPECT_EQ(grid->Row(), 1);
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid->TopRow(), 50 - visible);

    // The wheel moves the current row, scrolling it back into view.
    POINT p = CellPoint(2, 1);
    Input::MouseMove(p.x, p.y);
    Input::Wheel(-2 * WHEEL_DELTA);
    Input::ProcessAll();
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->TopRow(), 3);

    // Rows that fit leave no vertical range.
    grid->SetRowCount(3);
    GetScrollRange(grid->Handle(), SB_VERT, &lo, &hi);
    EXPECT_EQ(lo, hi);
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_THROW(grid->SetFixedRows(3), EInvalidOperation);
    EXPECT_THROW(grid->SetRow(7), EInvalidOperation);
}

TEST_F(GridsTest, RowsAndColsAreViewsOfTheCells) {
    grid->Rows(1)->SetCommaText("a,b,c");
    EXPECT_EQ(grid->Cells(0, 1), "a");
    EXPECT_EQ(grid->Cells(2, 1), "c");
    grid->Rows(0)->SetCommaText(",Name,City");  // an empty first field keeps its cell
    EXPECT_EQ(grid->Cells(0, 0), "");
    EXPECT_EQ(grid->Cells(1, 0), "Name");
    EXPECT_EQ(grid->Cells(2, 0), "City");
    EXPECT_EQ(grid->Rows(1)->Count(), 5);
    EXPECT_EQ(grid->Cols(2)->Strings(1), "c");
    EXPECT_EQ(grid->Cols(2)->Count(), 5);
    grid->Cols(4)->Put(3, "x");
    EXPECT_EQ(grid->Cells(4, 3), "x");

    TStringList src;
    src.SetCommaText("1,2,3,4,5,6,7");  // more than fit: the rest is dropped
    grid->SetCols(0, &src);
    EXPECT_EQ(grid->Cols(0)->CommaText(), "1,2,3,4,5");
    TObject marker;
    grid->SetObjects(3, 3, &marker);
    EXPECT_EQ(grid->Rows(3)->Objects(3), &marker);
    grid->Rows(3)->Clear();
    EXPECT_EQ(grid->Objects(3, 3), nullptr);
    EXPECT_EQ(grid->Cells(4, 3), "");
    EXPECT_EQ(grid->Rows(1)->Add("more"), 3);  // Add fills the first empty cell
    EXPECT_EQ(grid->Rows(1)->Add("full"), 4);
    EXPECT_EQ(grid->Rows(1)->Add("none"), -1);
    EXPECT_EQ(grid->Rows(1)->CommaText(), "2,b,c,more,full");
    EXPECT_THROW(grid->Rows(1)->Insert(0, "x"), EInvalidOperation);
    EXPECT_THROW(grid->Cols(1)->Delete(0), EInvalidOperation);
    EXPECT_THROW(grid->Rows(9), EInvalidOperation);

    // Moving a row moves its cells; shrinking and growing the grid keeps them.
    grid->SetCells(1, 2, "r2");
    grid->SetOptions(grid->Options() + TGridOptions{goRowMoving});
    Input::Drag(CellPoint(0, 2), CellPoint(0, 4));
    Input::ProcessAll();
    EXPECT_EQ(grid->Cells(1, 4), "r2");
    EXPECT_EQ(grid->Cells(0, 4), "3");
    EXPECT_EQ(grid->Cells(0, 3), "5");
    grid->SetRowCount(2);
    grid->SetRowCount(5);
    EXPECT_EQ(grid->Cells(1, 4), "r2");

    // Deleting takes the cells along: growing again shows empty ones.
    auto* og = Make<TOpenGrid>(form, form, 10, 220, 300, 90);
    og->Rows(2)->SetCommaText("a,b,c,d,e");
    og->Rows(3)->SetCommaText("f,g,h,i,j");
    og->DeleteRow(2);
    EXPECT_EQ(og->RowCount(), 4);
    EXPECT_EQ(og->Cells(0, 2), "f");
    og->SetRowCount(5);
    EXPECT_EQ(og->Rows(4)->CommaText(), ",,,,");
    og->DeleteColumn(1);
    EXPECT_EQ(og->Rows(2)->CommaText(), "f,h,i,j");
    og->SetColCount(5);
    EXPECT_EQ(og->Cells(4, 2), "");
}

TEST_F(GridsTest, PaintsFixedCellsSelectionLinesAndFocus) {
    grid->SetCells(1, 1, "Hello");
    grid->SetCells(0, 1, "Row");
    grid->SetOptions(grid->Options() + TGridOptions{goDrawFocusSelected});
    ShiftKey(VK_RIGHT);
    Input::ProcessAll();
    HWND h = grid->Handle();
    TRect fixedCell = grid->CellRect(0, 2);
    TRect sel = grid->CellRect(2, 1);
    TRect plain = grid->CellRect(3, 3);
    EXPECT_EQ(wintest::ClientPixel(h, fixedCell.left + 20, fixedCell.top + 10), Rgb(clBtnFace));
    EXPECT_EQ(wintest::ClientPixel(h, fixedCell.left, fixedCell.top + 10), Rgb(clBtnHighlight));  // raised edge
    EXPECT_EQ(wintest::ClientPixel(h, fixedCell.right, fixedCell.top + 10), Rgb(clWindowText));   // fixed line
    EXPECT_EQ(wintest::ClientPixel(h, sel.left + 30, sel.top + 12), Rgb(clHighlight));
    EXPECT_EQ(wintest::ClientPixel(h, plain.left + 30, plain.top + 12), Rgb(clWindow));
    EXPECT_EQ(wintest::ClientPixel(h, plain.right, plain.top + 5), Rgb(clBtnFace));  // body line
    // Text sits 2 pixels in from the cell's corner: something dark near there, nothing before it.
    TRect hello = grid->CellRect(1, 1);
    bool ink = false;
    for (int x = hello.left + 2; x < hello.left + 30; ++x)
        for (int y = hello.top + 2; y < hello.top + 16; ++y)
            if (wintest::ClientPixel(h, x, y) != Rgb(clHighlight)) ink = true;
    EXPECT_TRUE(ink);
    // Without lines the gap takes the cells' colour.
    grid->SetOptions(grid->Options() - TGridOptions{goVertLine});
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(h, plain.right, plain.top + 5), Rgb(clWindow));
    grid->SetOptions(grid->Options() + TGridOptions{goVertLine, goEditing});
    grid->SetRowCount(30);
    grid->SetColCount(8);
    grid->SetColWidths(2, 90);
    Input::Type("Editing");
    Input::ProcessAll();
    // The focused cell without goDrawFocusSelected: the window colour inside a dotted focus rectangle.
    Keys({VK_ESCAPE, VK_DOWN});
    grid->SetOptions(grid->Options() - TGridOptions{goDrawFocusSelected});
    Input::ProcessAll();
    TRect cur = grid->CellRect(grid->Col(), grid->Row());
    EXPECT_EQ(wintest::ClientPixel(h, cur.left + 6, cur.top + 6), Rgb(clWindow));
    int dots = 0;
    for (int y = cur.top + 1; y < cur.top + 11; ++y) dots += wintest::ClientPixel(h, cur.left, y) != Rgb(clWindow);
    EXPECT_GE(dots, 4);
    Keys({VK_ESCAPE});
    grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
    Input::ProcessAll();
}


// A string grid with rules of its own: no 'x' typed anywhere, row 3 read-only.
class TRuledGrid : public TStringGrid {
    HOST_CLASS(TRuledGrid, TStringGrid)
public:
    explicit TRuledGrid(TComponent* AOwner) : TStringGrid(AOwner) {}

protected:
    bool CanEditAcceptKey(char Key) override { return Key != 'x'; }
    bool CanEditModify() override { return Row() != 3; }
    int GetEditLimit() override { return 4; }
};

TEST_F(GridsTest, DrawGridEditsThroughEventsWithMasksAndEditRules) {
    auto* dg = Make<TDrawGrid>(form, form, 10, 220, 340, 90, "DG");
    dg->SetOptions(dg->Options() + TGridOptions{goEditing});
    std::vector<std::string> log;
    dg->OnGetEditText = [](TObject*, int C, int R, std::string& V) { V = "v" + std::to_string(C) + std::to_string(R); };
    dg->OnGetEditMask = [](TObject*, int C, int, std::string& M) {
        if (C == 2) M = "000;1;_";
    };
    dg->OnSetEditText = [&](TObject*, int C, int R, const std::string& V) {
        log.push_back(std::to_string(C) + std::to_string(R) + "=" + V);
    };
    dg->SetFocus();
    Keys({VK_F2});
    ASSERT_NE(dg->InplaceEditor(), nullptr);
    EXPECT_EQ(dg->InplaceEditor()->Text(), "v11");
    Input::Type("!");
    Keys({VK_RIGHT, VK_RIGHT});  // without goAlwaysShowEditor the arrows stay in the text
    EXPECT_TRUE(dg->InplaceEditor()->Visible());
    Keys({VK_RETURN});
    EXPECT_EQ(log.back(), "11=v11!");
    Keys({VK_RIGHT});
    Input::Type("4a56");  // the mask takes digits only
    Input::ProcessAll();
    EXPECT_EQ(dg->InplaceEditor()->EditMask(), "000;1;_");
    EXPECT_EQ(log.back(), "21=456");
    Keys({VK_ESCAPE});
    EXPECT_EQ(log.back(), "21=v21");  // Esc hands the old text back

    delete dg;
    auto* rg = Make<TRuledGrid>(form, form, 10, 220, 340, 90, "RG");
    rg->SetOptions(rg->Options() + TGridOptions{goEditing});
    rg->SetFocus();
    int beeps = wintest::BeepCount();
    Input::Type("axbcdef");
    Input::ProcessAll();
    EXPECT_EQ(rg->Cells(1, 1), "abcd");  // 'x' refused with a beep; the limit is 4
    EXPECT_GT(wintest::BeepCount(), beeps);
    Keys({VK_RETURN});
    rg->SetRow(3);
    rg->SetCells(1, 3, "fix");
    Input::Type("zz");
    Input::ProcessAll();
    EXPECT_EQ(rg->Cells(1, 3), "fix");
    Keys({VK_DELETE, VK_BACK});
    EXPECT_EQ(rg->Cells(1, 3), "fix");
}

TEST_F(GridsTest, DialogCodesFocusAndLeavingTheEditor) {
    auto* edit = Make<TEdit>(form, form, 10, 230, 100, 21, "Next");
    auto code = [this] { return SendMessageA(grid->Handle(), WM_GETDLGCODE, 0, 0); };
    EXPECT_EQ(code(), DLGC_WANTARROWS);
    grid->SetOptions(grid->Options() + TGridOptions{goTabs, goEditing});
    EXPECT_EQ(code(), DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS);
    grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
    EXPECT_EQ(code(), DLGC_WANTARROWS);
    grid->SetOptions(grid->Options() - TGridOptions{goRowSelect, goTabs});

    // Without goTabs, Tab goes to the next control; the text typed stays in the cell.
    std::string pressed, downs;
    grid->OnKeyPress = [&](TObject*, char& K) { pressed += K; };
    grid->OnKeyDown = [&](TObject*, WORD& K, TShiftState) { downs += char(K); };
    Input::Type("kept");
    Input::ProcessAll();
    EXPECT_EQ(pressed, "kept");  // the grid hears the editor's characters and keys
    EXPECT_EQ(downs, "KEPT");
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    Keys({VK_TAB});
    EXPECT_TRUE(edit->Focused());
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->Cells(1, 1), "kept");
    EXPECT_EQ(grid->Col(), 1);

    // A click into the grid focuses it and selects the cell.
    Input::Click(CellPoint(3, 2).x, CellPoint(3, 2).y);
    Input::ProcessAll();
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);

    // Setting the current cell's text in code shows in the open editor.
    Keys({VK_F2});
    grid->SetCells(3, 2, "from code");
    EXPECT_EQ(grid->InplaceEditor()->Text(), "from code");
    grid->SetEditorMode(false);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridsTest, RowSizingThumbTrackingPagingAndDragScrolling) {
    grid->SetRowCount(40);
    grid->SetColCount(12);
    grid->SetOptions(grid->Options() + TGridOptions{goRowSizing});
    TRect r2 = grid->CellRect(0, 2);
    POINT from = grid->ClientToScreen(TPoint{(r2.left + r2.right) / 2, r2.bottom});
    Input::Drag(from, POINT{from.x, from.y + 16});
    Input::ProcessAll();
    EXPECT_EQ(grid->RowHeights(2), 40);
    EXPECT_EQ(grid->RowHeights(3), 24);

    SendMessageA(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
    EXPECT_EQ(grid->TopRow(), 1);  // tracking only with goThumbTracking
    SendMessageA(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
    EXPECT_EQ(grid->TopRow(), 11);
    grid->SetOptions(grid->Options() + TGridOptions{goThumbTracking});
    SendMessageA(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4), 0);
    EXPECT_EQ(grid->TopRow(), 5);
    SendMessageA(grid->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(grid->Row(), 1);

    // End and Home move along the row; Ctrl+Right pages the view and the cell together.
    grid->SetTopRow(1);
    grid->SetLeftCol(1);
    Keys({VK_END});
    EXPECT_EQ(grid->Col(), 11);
    EXPECT_EQ(grid->LeftCol() + grid->VisibleColCount() - 1, 11);
    Keys({VK_HOME});
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->LeftCol(), 1);
    int page = grid->VisibleColCount();
    Input::KeyDown(VK_CONTROL);
    Input::Key(VK_RIGHT);
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(grid->Col(), 1 + page);
    EXPECT_EQ(grid->LeftCol(), 1 + page);

    // Dragging a selection past the bottom edge scrolls a row at a time.
    grid->SetLeftCol(1);
    grid->SetCol(1);
    TRect client = grid->ClientRect();
    POINT start = CellPoint(1, 1);
    Input::MouseMove(start.x, start.y);
    Input::MouseDown();
    Input::MouseMove(start.x, grid->ClientToScreen(TPoint{0, client.bottom + 5}).y);
    int topAfterMove = 0;
    Input::Call([&] { topAfterMove = grid->TopRow(); });
    for (int i = 0; i < 8; ++i) Input::Wait(60);  // held still below the grid: the timer scrolls on
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_LE(topAfterMove, 3);
    EXPECT_GE(grid->TopRow(), topAfterMove + 5);
    EXPECT_EQ(grid->Selection().Top, 1);
    EXPECT_GT(grid->Selection().Bottom, grid->VisibleRowCount());
}

}  // namespace
}  // namespace ctltest
