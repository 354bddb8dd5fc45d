// The hierarchical grid over the sample customers and their orders: detail rows under the current customer, row-enter events, clicks on detail rows, read-only use, row sizing by drag, word wrap, right-justified titles and its options in form files.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "dbcontrols/ryxhgrid.h"
#include "host/app/app.h"
#include "host/controls/forms.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/clock.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/windows/inputsim.h"
#include "host/windows/wintest.h"
#include "support/tempdir.h"

using namespace host;

namespace {

class HDBGridTest : public ::testing::Test {
protected:
    testsupport::TTempDir FTemp;
    std::string FOldCfg;
    TForm* form = nullptr;
    TTable* customers = nullptr;
    TTable* orders = nullptr;
    TDataSource* custSource = nullptr;
    TDataSource* orderSource = nullptr;
    ryx::TryxHDBGrid* grid = nullptr;

    void SetUp() override {
        wintest::Reset();
        RecreateApplication();
        Clock::UseVirtual();
        FOldCfg = DbiCfgGetPath();
        DbiCfgSetPath(FTemp.File("dbi.cfg"));
        ryx::RegisterHDBGridClasses();
        std::string db = FTemp.File("sample.db");
        CreateSampleDatabase(db);
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(10, 10, 560, 320);
        customers = new TTable(form);
        customers->SetDatabaseName(db);
        customers->SetTableName("CUSTOMER");
        custSource = new TDataSource(form);
        custSource->SetDataSet(customers);
        orders = new TTable(form);
        orders->SetDatabaseName(db);
        orders->SetTableName("ORDERS");
        orders->SetIndexName("ByCustNo");
        orders->SetMasterSource(custSource);
        orders->SetMasterFields("CustNo");
        orderSource = new TDataSource(form);
        orderSource->SetDataSet(orders);
        grid = new ryx::TryxHDBGrid(form);
        grid->SetParent(form);
        grid->SetAlign(alClient);
        grid->SetDataSource(custSource);
        grid->SetDetailDataSource(orderSource);
        customers->Open();
        orders->Open();
        form->Show();
        grid->SetFocus();
        Input::ProcessAll();
    }
    void TearDown() override {
        delete form;
        Input::Clear();
        RecreateApplication();
        wintest::Reset();
        Clock::UseReal();
        DbiCfgSetPath(FOldCfg);
    }
    void Keys(std::initializer_list<int> Vks) {
        for (int k : Vks) Input::Key(k);
        Input::ProcessAll();
    }
    // Drags from one client point of the grid to another with the left button.
    void DragIn(int X0, int Y0, int X1, int Y1) {
        POINT from = grid->ClientToScreen(TPoint{X0, Y0}), to = grid->ClientToScreen(TPoint{X1, Y1});
        Input::Drag(from, to);
        Input::Wait(1000);  // the next press is not a double click
        Input::ProcessAll();
    }
    // The x range of dark (text) pixels inside a client rectangle; {-1, -1} when there are none.
    std::pair<int, int> InkSpan(const TRect& R) {
        std::pair<int, int> span{-1, -1};
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) {
                uint32_t p = wintest::ClientPixel(grid->Handle(), x, y);
                if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 3 * 100) continue;
                if (span.first < 0 || x < span.first) span.first = x;
                span.second = std::max(span.second, x);
            }
        return span;
    }
    // How many orders the current customer has, counted through a fresh query.
    int OrdersOfCurrent() {
        TQuery q(nullptr);
        q.SetDatabaseName(FTemp.File("sample.db"));
        q.SQL()->SetText("select count(*) from ORDERS where CustNo = " + customers->FieldByName("CustNo")->AsString());
        q.Open();
        return q.Fields(0)->AsInteger();
    }
};

TEST_F(HDBGridTest, DetailRowsFollowTheCurrentMasterRecord) {
    int entered = 0;
    grid->OnRowEnter = [&](TObject* Sender) {
        EXPECT_EQ(Sender, grid);
        ++entered;
    };
    int details = std::min(OrdersOfCurrent(), grid->MaxDetailRows());
    ASSERT_GT(details, 0);
    EXPECT_EQ(grid->DetailRowCount(), details);
    int masters = grid->DataLink()->RecordCount();
    EXPECT_EQ(grid->RowCount(), 1 + masters + details);
    // The master window leaves room for the detail rows.
    EXPECT_LE(grid->RowCount() - 1, grid->VisibleRowCount());

    // The detail rows sit right under the current customer, in the detail colour.
    TRect detailCell = grid->CellRect(2, 2);
    EXPECT_EQ(wintest::ClientPixel(grid->Handle(), detailCell.right - 3, detailCell.bottom - 3),
              0xFFFFE1u /* the info background */);

    Keys({VK_DOWN});
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(grid->Row(), 2);  // the first customer no longer has detail rows under it
    EXPECT_EQ(grid->DetailRowCount(), std::min(OrdersOfCurrent(), grid->MaxDetailRows()));
    EXPECT_EQ(grid->SelectedField(), customers->FieldByName("CustNo"));
    Keys({VK_RIGHT});
    EXPECT_EQ(grid->SelectedField(), customers->FieldByName("Company"));

    // A click on the second detail row makes that order current; the customer stays.
    if (grid->DetailRowCount() >= 2) {
        std::string cust = customers->FieldByName("CustNo")->AsString();
        TRect r = grid->CellRect(2, grid->Row() + 2);
        POINT p = grid->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        orders->First();
        std::string firstOrder = orders->FieldByName("OrderNo")->AsString();
        Input::Click(p.x, p.y);
        Input::ProcessAll();
        EXPECT_EQ(customers->FieldByName("CustNo")->AsString(), cust);
        EXPECT_NE(orders->FieldByName("OrderNo")->AsString(), firstOrder);
        EXPECT_EQ(entered, 1);
    }

    // Without details the grid is a plain data grid.
    grid->SetShowDetails(false);
    EXPECT_EQ(grid->RowCount(), 1 + grid->DataLink()->RecordCount());
    grid->SetShowDetails(true);
}

TEST_F(HDBGridTest, ReadOnlyGridRefusesEditsAndClosingTheDetailDropsItsRows) {
    grid->SetReadOnly(true);
    Keys({VK_RIGHT});
    Input::Type("Changed");
    Input::ProcessAll();
    EXPECT_EQ(customers->State(), dsBrowse);
    orders->Close();
    EXPECT_EQ(grid->DetailRowCount(), 0);
    EXPECT_EQ(grid->RowCount(), 1 + grid->DataLink()->RecordCount());
    orders->Open();
    EXPECT_GT(grid->DetailRowCount(), 0);
    // The data source goes away before the grid: the grid lets go of it.
    delete orderSource;
    EXPECT_EQ(grid->DetailDataSource(), nullptr);
    EXPECT_EQ(grid->DetailRowCount(), 0);
}

TEST_F(HDBGridTest, DraggingARowLineSizesEveryDataRowAndTheTitlesStay) {
    int fontRows = grid->RowHeight();
    int title = grid->RowHeights(0);
    int window = grid->DataLink()->BufferCount();
    int x = grid->CellRect(0, 1).left + 5;
    // Without the option a drag in the indicator column sizes nothing.
    DragIn(x, grid->CellRect(0, 1).bottom, x, grid->CellRect(0, 1).bottom + 20);
    EXPECT_EQ(grid->RowHeight(), fontRows);

    grid->SetOptionsEx({ryx::hgoRowSizing});
    TRect first = grid->CellRect(0, 1);
    DragIn(x, first.bottom, x, first.bottom + 24);
    EXPECT_EQ(grid->RowHeight(), first.bottom - first.top + 24);
    for (int r = 1; r < grid->RowCount(); ++r) EXPECT_EQ(grid->RowHeights(r), grid->RowHeight()) << r;
    EXPECT_EQ(grid->RowHeights(0), title);
    EXPECT_LT(grid->DataLink()->BufferCount(), window);  // fewer, taller rows fit
    EXPECT_LE(grid->RowCount() - 1, grid->VisibleRowCount());
    // A layout change (options, font) keeps the height the user gave.
    int tall = grid->RowHeight();
    grid->SetOptions(grid->Options() - dgColLines);
    grid->Font()->SetStyle(TFontStyles{fsBold});
    EXPECT_EQ(grid->RowHeight(), tall);
    EXPECT_EQ(grid->DefaultRowHeight(), tall);
    // The titles' line does not size the titles; dragging upwards stops at one line of text.
    TRect head = grid->CellRect(0, 0);
    DragIn(x, head.bottom - 1, x, head.bottom + 30);
    EXPECT_EQ(grid->RowHeights(0), title);
    first = grid->CellRect(0, 1);
    DragIn(x, first.bottom, x, first.top + 2);
    EXPECT_EQ(grid->RowHeight(), fontRows);
}

TEST_F(HDBGridTest, WordWrapAndRightJustifiedTitlesPaintAsAsked) {
    grid->SetShowDetails(false);
    grid->SetRowHeight(3 * grid->RowHeight());
    grid->Columns()->RebuildColumns();  // the columns keep what is set on them
    TColumn* company = grid->Columns()->Items(1);
    company->SetWidth(70);  // too narrow for most company names on one line
    Input::ProcessAll();
    UpdateWindow(grid->Handle());
    // The last row is a master record that is not current, in the window colour.
    int row = grid->RowCount() - 1;
    TRect cell = grid->CellRect(2, row);
    int line = cell.top + grid->Canvas()->TextHeight("Wg") + 2;
    TRect below{cell.left, line + 1, cell.right, cell.bottom - 1};
    EXPECT_EQ(InkSpan(below).first, -1);  // one line, clipped
    grid->SetOptionsEx({ryx::hgoWordWrap});
    UpdateWindow(grid->Handle());
    EXPECT_GE(InkSpan(below).first, cell.left);  // the words that did not fit moved below
    EXPECT_LT(InkSpan(below).second, cell.right);

    // Titles: left-justified by default, all right-justified with the option, unless a
    // column's own title alignment says otherwise.
    TRect titleCell = grid->CellRect(3, 0);
    auto leftInk = InkSpan(titleCell);
    ASSERT_GE(leftInk.first, 0);
    EXPECT_LE(leftInk.first, titleCell.left + 4);
    grid->SetOptionsEx({ryx::hgoWordWrap, ryx::hgoTitlesRightJustify});
    UpdateWindow(grid->Handle());
    auto rightInk = InkSpan(titleCell);
    EXPECT_GE(rightInk.second, titleCell.right - 6);
    EXPECT_GT(rightInk.first, leftInk.first);
    EXPECT_EQ(grid->Columns()->Items(0)->Title()->Alignment(), taRightJustify);
    grid->Columns()->Items(2)->Title()->SetAlignment(taLeftJustify);
    UpdateWindow(grid->Handle());
    EXPECT_EQ(InkSpan(titleCell).first, leftInk.first);
}

TEST_F(HDBGridTest, ExtraOptionsAndRowHeightGoThroughAFormFile) {
    auto* src = new TForm(nullptr);
    auto* g = new ryx::TryxHDBGrid(src);
    g->SetName("HDBGrid1");
    g->SetParent(src);
    g->SetOptionsEx({ryx::hgoRowSizing, ryx::hgoWordWrap, ryx::hgoTitlesRightJustify});
    g->SetRowHeight(40);
    TStringStream out("");
    out.WriteComponent(src);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("OptionsEx = [hgoRowSizing, hgoWordWrap, hgoTitlesRightJustify]"), std::string::npos) << text;
    EXPECT_NE(text.find("RowHeight = 40"), std::string::npos) << text;
    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* g2 = static_cast<ryx::TryxHDBGrid*>(copy->FindComponent("HDBGrid1"));
    ASSERT_NE(g2, nullptr);
    EXPECT_EQ(g2->OptionsEx(), g->OptionsEx());
    EXPECT_EQ(g2->RowHeight(), 40);
    delete copy;
    delete src;
}

}  // namespace
