// Tests of the sample database: the same rows every time, in both kinds of database, with its memo, pictures and procedure.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db_fixture.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/graphics/graphics.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

class SampleDbTest : public dbtest::TDbTemp {};

int Count(const std::string& Db, const std::string& Table) {
    TTable t(nullptr);
    t.SetDatabaseName(Db);
    t.SetTableName(Table);
    t.Open();
    return t.RecordCount();
}

}  // namespace

TEST_F(SampleDbTest, FileDatabaseHoldsEveryTableAndTheProcedure) {
    const TSampleDbCounts c = CreateSampleDatabase(Path("sample.db"));
    const TSampleDbCounts expected = SampleDatabaseCounts();
    EXPECT_EQ(c.Customers, expected.Customers);
    EXPECT_EQ(c.Items, expected.Items);
    EXPECT_GE(c.Customers + c.Orders + c.Items + c.Parts + c.Employees, 2000);
    EXPECT_EQ(Count(Path("sample.db"), "CUSTOMER"), c.Customers);
    EXPECT_EQ(Count(Path("sample.db"), "ORDERS"), c.Orders);
    EXPECT_EQ(Count(Path("sample.db"), "ITEMS"), c.Items);
    EXPECT_EQ(Count(Path("sample.db"), "PARTS"), c.Parts);
    EXPECT_EQ(Count(Path("sample.db"), "EMPLOYEE"), c.Employees);

    TTable t(nullptr);
    t.SetDatabaseName(Path("sample.db"));
    t.SetTableName("CUSTOMER");
    t.Open();
    EXPECT_EQ(t.FieldByName("Notes")->DataType(), ftMemo);
    EXPECT_EQ(t.FieldByName("Logo")->DataType(), ftGraphic);
    EXPECT_NE(t.FieldByName("Notes")->AsString().find("buys from us"), std::string::npos);
    // The logo is a picture the painter can load.
    TMemoryStream s;
    static_cast<TBlobField*>(t.FieldByName("Logo"))->SaveToStream(&s);
    ASSERT_GT(s.Size(), 0);
    s.SetPosition(0);
    TBitmap bmp;
    bmp.LoadFromStream(&s);
    EXPECT_EQ(bmp.Width(), 32);
    EXPECT_EQ(bmp.Height(), 24);
    TStringList indexes;
    t.GetIndexNames(&indexes);
    EXPECT_GE(indexes.IndexOf("ByCompany"), 0);
    EXPECT_GE(indexes.IndexOf("ByState"), 0);

    // Every order's total is the sum of its items at list price less discount.
    TQuery q(nullptr);
    q.SetDatabaseName(Path("sample.db"));
    q.SQL()->SetText(
        "select count(*) from ORDERS o where abs(o.ItemsTotal - (select sum(round(p.ListPrice * i.Qty * (100 - "
        "i.Discount) / 100, 6)) from ITEMS i join PARTS p on p.PartNo = i.PartNo where i.OrderNo = o.OrderNo)) > 0.011");
    q.Open();
    EXPECT_EQ(q.Fields(0)->AsInteger(), 0);

    TStringList procs;
    Session->GetStoredProcNames(Path("sample.db"), &procs);
    EXPECT_GE(procs.IndexOf("CUSTOMER_TOTALS"), 0);
}

TEST_F(SampleDbTest, SameContentEveryTimeAndInLocalTables) {
    CreateSampleDatabase(Path("a.db"));
    CreateSampleDatabase(Path("a.db"));  // replaces, does not add
    CreateSampleDatabase(Path("local"));
    EXPECT_EQ(Count(Path("a.db"), "ORDERS"), SampleDatabaseCounts().Orders);
    EXPECT_EQ(Count(Path("local"), "ORDERS"), SampleDatabaseCounts().Orders);
    TTable a(nullptr), b(nullptr);
    a.SetDatabaseName(Path("a.db"));
    b.SetDatabaseName(Path("local"));
    for (TTable* t : {&a, &b}) {
        t->SetTableName("CUSTOMER");
        t->Open();
    }
    for (int i = 0; i < 50; ++i, a.Next(), b.Next())
        for (const char* f : {"CustNo", "Company", "City", "State", "Phone", "Notes"})
            EXPECT_EQ(a.FieldByName(f)->AsString(), b.FieldByName(f)->AsString()) << f;
    EXPECT_THROW(CreateSampleDatabase(""), EDatabaseError);
}
