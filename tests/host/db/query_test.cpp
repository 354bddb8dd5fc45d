// Tests of TQuery and TStoredProc on the sample database: parameters, master parameters, live results, every parameter direction.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db_fixture.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

class QueryTest : public dbtest::TDbTemp {
protected:
    void SetUp() override {
        TDbTemp::SetUp();
        CreateSampleDatabase(Path("sample.db"));
    }
    std::unique_ptr<TQuery> Query(const std::string& Sql) {
        auto q = std::make_unique<TQuery>(nullptr);
        q->SetDatabaseName(Path("sample.db"));
        q->SQL()->SetText(Sql);
        return q;
    }
    int Scalar(const std::string& Sql) {
        auto q = Query(Sql);
        q->Open();
        return q->Fields(0)->AsInteger();
    }
};

}  // namespace

TEST_F(QueryTest, ParametersBindByNameAndRerunWithNewValues) {
    auto q = Query("select OrderNo, CustNo, ItemsTotal from ORDERS where CustNo = :Cust and ItemsTotal >= :Min "
                   "-- :NotAParam\n order by OrderNo");
    ASSERT_EQ(q->ParamCount(), 2);
    EXPECT_EQ(q->Params()->Items(0)->Name(), "Cust");
    EXPECT_EQ(q->Text().find(":Cust"), std::string::npos);
    EXPECT_THROW(q->Open(), EDatabaseError);  // no values yet
    q->ParamByName("Cust")->SetAsInteger(1001);
    q->ParamByName("Min")->SetAsFloat(0);
    q->Open();
    const int n1001 = q->RecordCount();
    EXPECT_EQ(n1001, Scalar("select count(*) from ORDERS where CustNo = 1001"));
    for (q->First(); !q->Eof(); q->Next()) EXPECT_EQ(q->FieldByName("CustNo")->AsInteger(), 1001);
    EXPECT_FALSE(q->CanModify());
    q->Close();
    q->ParamByName("Cust")->SetAsString("1002");
    q->Open();
    EXPECT_EQ(q->RecordCount(), Scalar("select count(*) from ORDERS where CustNo = 1002"));

    // Changing the text keeps the values of parameters that stay.
    q->SQL()->SetText("select count(*) from ORDERS where CustNo = :Cust");
    EXPECT_EQ(q->ParamCount(), 1);
    q->Open();
    EXPECT_EQ(q->Fields(0)->AsInteger(), Scalar("select count(*) from ORDERS where CustNo = 1002"));

    // A syntax error comes from the engine with SQLite's message.
    auto bad = Query("select * form ORDERS");
    try {
        bad->Open();
        FAIL() << "no error";
    } catch (const EDBEngineError& e) {
        EXPECT_NE(e.Message().find("syntax"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(bad->Active());
}

TEST_F(QueryTest, ExecSqlCountsRowsAndLiveResultsWrite) {
    auto upd = Query("update PARTS set OnOrder = OnOrder + 1 where VendorNo = :V");
    upd->ParamByName("V")->SetAsInteger(5003);
    upd->ExecSQL();
    EXPECT_EQ(upd->RowsAffected(), Scalar("select count(*) from PARTS where VendorNo = 5003"));
    EXPECT_GT(upd->RowsAffected(), 0);

    auto live = Query("select * from PARTS where VendorNo = 5003");
    live->SetRequestLive(true);
    live->Open();
    ASSERT_TRUE(live->CanModify());
    const int part = live->FieldByName("PartNo")->AsInteger();
    live->Edit();
    live->FieldByName("Description")->SetAsString("Changed through a query");
    live->Post();
    EXPECT_EQ(Scalar("select count(*) from PARTS where Description = 'Changed through a query' and PartNo = " +
                     std::to_string(part)),
              1);

    auto joined = Query("select p.PartNo, i.Qty from PARTS p join ITEMS i on i.PartNo = p.PartNo");
    joined->SetRequestLive(true);
    joined->Open();
    EXPECT_FALSE(joined->CanModify());
    EXPECT_THROW(joined->Edit(), EDatabaseError);
}

TEST_F(QueryTest, DataSourceGivesMasterParameters) {
    TTable customers(nullptr);
    customers.SetDatabaseName(Path("sample.db"));
    customers.SetTableName("CUSTOMER");
    customers.Open();
    TDataSource source(nullptr);
    source.SetDataSet(&customers);
    auto q = Query("select * from ORDERS where CustNo = :CustNo");
    q->SetDataSource(&source);
    q->Open();
    for (int i = 0; i < 3; ++i) {
        const int cust = customers.FieldByName("CustNo")->AsInteger();
        EXPECT_EQ(q->RecordCount(), Scalar("select count(*) from ORDERS where CustNo = " + std::to_string(cust)));
        for (q->First(); !q->Eof(); q->Next()) EXPECT_EQ(q->FieldByName("CustNo")->AsInteger(), cust);
        customers.Next();
    }
}

TEST_F(QueryTest, StoredProceduresInEveryDirection) {
    // The sample's procedure: input CustNo, outputs OrderCount and Total.
    TStoredProc sp(nullptr);
    sp.SetDatabaseName(Path("sample.db"));
    sp.SetStoredProcName("CUSTOMER_TOTALS");
    EXPECT_TRUE(sp.DescriptionsAvailable());
    sp.Prepare();
    ASSERT_EQ(sp.ParamCount(), 3);
    EXPECT_EQ(sp.ParamByName("CustNo")->ParamType(), ptInput);
    EXPECT_EQ(sp.ParamByName("Total")->ParamType(), ptOutput);
    sp.ParamByName("CustNo")->SetAsInteger(1001);
    sp.ExecProc();
    EXPECT_EQ(sp.ParamByName("OrderCount")->AsInteger(), Scalar("select count(*) from ORDERS where CustNo = 1001"));
    EXPECT_GT(sp.ParamByName("Total")->AsFloat(), 0);

    // Bound by number: the values go by position.
    sp.SetParamBindMode(pbByNumber);
    sp.Params()->Items(0)->SetAsInteger(1008);  // a customer without orders
    sp.ExecProc();
    EXPECT_EQ(sp.Params()->Items(1)->AsInteger(), 0);

    // A procedure with input/output and result parameters that returns rows.
    hDBIDb db = nullptr;
    ASSERT_EQ(DbiOpenDatabase("SQLITE", {{"PATH", Path("sample.db")}}, db), DBIERR_NONE);
    SPDesc d;
    d.szName = "SCALE";
    d.szSQL = "select :X * 2 as X, :X + 1 as Result, PartNo from PARTS where PartNo < 1000 + :X order by PartNo";
    d.Params = {{"X", fldINT32, fldstNONE, 0, 0, paramINOUT}, {"Result", fldINT32, fldstNONE, 0, 0, paramRET}};
    ASSERT_EQ(DbiCreateSP(db, d, true), DBIERR_NONE);
    DbiCloseDatabase(db);
    TStoredProc rows(nullptr);
    rows.SetDatabaseName(Path("sample.db"));
    rows.SetStoredProcName("SCALE");
    rows.RefreshParams();
    EXPECT_EQ(rows.ParamByName("X")->ParamType(), ptInputOutput);
    EXPECT_EQ(rows.ParamByName("Result")->ParamType(), ptResult);
    rows.ParamByName("X")->SetAsInteger(5);
    rows.Open();
    EXPECT_EQ(rows.RecordCount(), 5);
    EXPECT_EQ(rows.ParamByName("X")->AsInteger(), 10);
    EXPECT_EQ(rows.ParamByName("Result")->AsInteger(), 6);
    rows.Close();

    TStringList names;
    Session->GetStoredProcNames(Path("sample.db"), &names);
    EXPECT_GE(names.IndexOf("CUSTOMER_TOTALS"), 0);
    EXPECT_GE(names.IndexOf("SCALE"), 0);

    TStoredProc missing(nullptr);
    missing.SetDatabaseName(Path("sample.db"));
    missing.SetStoredProcName("NOPE");
    EXPECT_FALSE(missing.DescriptionsAvailable());
    EXPECT_THROW(missing.ExecProc(), EDatabaseError);
}

TEST_F(QueryTest, DatasetsStreamTheirPublishedProperties) {
    TQuery q(nullptr);
    q.SetName("OrdersQuery");
    q.SetDatabaseName(Path("sample.db"));
    q.SQL()->SetText("select * from ORDERS where CustNo = :CustNo");
    q.SetRequestLive(true);
    TMemoryStream s;
    s.WriteComponent(&q);
    const std::string text =
        ObjectBinaryToTextString(std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())));
    EXPECT_NE(text.find("object OrdersQuery: TQuery"), std::string::npos) << text;
    EXPECT_NE(text.find("RequestLive = True"), std::string::npos) << text;
    s.SetPosition(0);
    TQuery back(nullptr);
    s.ReadComponent(&back);
    EXPECT_EQ(back.DatabaseName(), Path("sample.db"));
    EXPECT_TRUE(back.RequestLive());
    EXPECT_EQ(back.ParamCount(), 1);
    back.ParamByName("CustNo")->SetAsInteger(1001);
    back.Open();
    EXPECT_EQ(back.RecordCount(), Scalar("select count(*) from ORDERS where CustNo = 1001"));

    TTable t(nullptr);
    t.SetName("Parts");
    t.SetDatabaseName(Path("sample.db"));
    t.SetTableName("PARTS");
    t.SetIndexName("ByDescription");
    t.SetTableType(ttParadox);
    TMemoryStream ts;
    ts.WriteComponent(&t);
    ts.SetPosition(0);
    TTable t2(nullptr);
    ts.ReadComponent(&t2);
    EXPECT_EQ(t2.TableName(), "PARTS");
    EXPECT_EQ(t2.IndexName(), "ByDescription");
    EXPECT_EQ(t2.TableType(), ttParadox);
}
