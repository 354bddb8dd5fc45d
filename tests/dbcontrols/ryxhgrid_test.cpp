// The hierarchical grid over the sample customers and their orders: detail rows under the current customer, row-enter events, clicks on detail rows, read-only use and a screenshot.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dbcontrols/ryxhgrid.h"
#include "host/app/app.h"
#include "host/controls/forms.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/clock.h"
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

}  // namespace
