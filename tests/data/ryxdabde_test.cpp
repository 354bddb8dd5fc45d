// The engine adapters on SQLite and local tables: start-up registration, keys and ranges, GetIndexValue, EmptyTable, transactions, parameters, engine filters.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "adapters_fixture.h"
#include "data/ryxda.h"
#include "data/ryxdabde.h"
#include "data/ryxfiltr.h"
#include "frame/ryxpackage.h"
#include "host/db/sampledb.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

using namespace host;
using namespace ryx;

namespace {

class EngineAdapterTest : public adtest::TAdapterTest {
protected:
    static std::vector<std::string> Column(TDataSet* D, const std::string& Field) {
        std::vector<std::string> out;
        for (D->First(); !D->Eof(); D->Next()) out.push_back(D->FieldByName(Field)->AsString());
        return out;
    }
};

}  // namespace

TEST_F(EngineAdapterTest, StartUpRegistersInOrderAndShutDownRemoves) {
    Initialize();
    ASSERT_TRUE(ryxDSAdapterFactoryExists());
    TryxDSAdapterFactory* f = ryxDSAdapterFactory();
    ASSERT_EQ(f->Count(), 4);
    // Registered DB dataset, stored procedure, query, table: the newest stands first.
    EXPECT_EQ(f->AdapterClasses(0), TryxTableAdapter::StaticClass());
    EXPECT_EQ(f->AdapterClasses(1), TryxQueryAdapter::StaticClass());
    EXPECT_EQ(f->AdapterClasses(2), TryxStoredProcAdapter::StaticClass());
    EXPECT_EQ(f->AdapterClasses(3), TryxDBDatasetAdapter::StaticClass());
    EXPECT_EQ(ryxParamTypeName(ptInputOutput), "ptInputOutput");
    EXPECT_THROW(ryxParamTypeName(5), ERangeError);

    auto table = People(Path("p.db"), Crowd());
    TStoredProc proc(nullptr);
    EXPECT_EQ(f->CreateAdapter(table.get())->ClassType(), TryxTableAdapter::StaticClass());
    EXPECT_EQ(f->CreateAdapter(&proc)->ClassType(), TryxStoredProcAdapter::StaticClass());

    // Shut-down takes exactly the package's four out and frees the factory.
    ryxdabdeFinalize();
    EXPECT_EQ(f->Count(), 0);
    ryxdabdeInitialize();
    Finalize();
    EXPECT_FALSE(ryxDSAdapterFactoryExists());
    EXPECT_EQ(ryxTransIsolationName(tiDirtyRead), "tiDirtyRead");  // still answers from the catalogue
}

TEST_F(EngineAdapterTest, KeysFromSingleValuesAndArrays) {
    auto t = People(Path("p.db"), Crowd(), "ByNameAge");
    TryxTableAdapter a(t.get());
    EXPECT_TRUE(a.FindKey(VarArrayOf({"Bob", 40})));
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 2);
    EXPECT_EQ(a.GetIndexValue(), "Bob;40");
    // A single value sets only the first index field.
    EXPECT_TRUE(a.FindKey("Cid"));
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 4);
    EXPECT_FALSE(a.FindKey(VarArrayOf({"Bob", 41})));
    a.FindNearest(VarArrayOf({"Bob", 26}));
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 2);
    a.FindNearest("Cat");
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Cid");
    // Extra array elements past the index's fields are ignored.
    EXPECT_TRUE(a.FindKey(VarArrayOf({"Eve", 33, "extra"})));

    // Too few values, or values that do not convert: the table is never left
    // in the key state and stays where it was.
    EXPECT_THROW(a.FindKey(VarArrayOf({"Bob"})), EVariantError);
    EXPECT_THROW(a.FindNearest(VarArrayOf({"Bob"})), EVariantError);
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_THROW(a.FindKey(VarArrayOf({"Bob", "forty"})), Exception);
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Eve");

    // A table in its natural order has no index fields: a key value has nowhere to go.
    auto bare = std::make_unique<TTable>(nullptr);
    bare->SetDatabaseName(Path("p.db"));
    bare->SetTableName("BARE");
    bare->FieldDefs()->Add("Name", ftString, 10);
    bare->CreateTable();
    bare->Open();
    TryxTableAdapter b(bare.get());
    EXPECT_EQ(b.GetIndexFieldCount(), 0);
    EXPECT_EQ(b.GetIndexValue(), "");
    EXPECT_THROW(b.FindKey("x"), EDatabaseError);
    EXPECT_EQ(bare->State(), dsBrowse);
}

TEST_F(EngineAdapterTest, RangesInclusiveAndExclusive) {
    auto t = People(Path("p.db"), Crowd());
    TryxTableAdapter a(t.get());
    ASSERT_TRUE(a.IsRangeEnabled());
    a.SetRange(2, 4);
    EXPECT_EQ(Column(t.get(), "Id"), (std::vector<std::string>{"2", "3", "4"}));
    a.EditRangeStart();
    a.SetKeyExclusive(true);
    EXPECT_TRUE(a.GetKeyExclusive());
    a.EditRangeEnd();
    a.SetKeyExclusive(true);
    a.ApplyRange();
    EXPECT_EQ(Column(t.get(), "Id"), (std::vector<std::string>{"3"}));
    a.CancelRange();
    EXPECT_EQ(t->RecordCount(), 6);

    // Array bounds on a two-field index; a short array raises before any range state.
    t->SetIndexName("ByNameAge");
    a.SetRange(VarArrayOf({"Bob", 30}), VarArrayOf({"Dan", 99}));
    EXPECT_EQ(Column(t.get(), "Name"), (std::vector<std::string>{"Bob", "Cid", "Dan"}));
    // Single values bound the first field only.
    a.SetRange("Bob", "Cid");
    EXPECT_EQ(Column(t.get(), "Name"), (std::vector<std::string>{"Bob", "Bob", "Cid"}));
    EXPECT_THROW(a.SetRange(VarArrayOf({"Ann", 0}), VarArrayOf({"Bob"})), EVariantError);
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), 3);  // the range in force is untouched
}

TEST_F(EngineAdapterTest, IndexValueJoinsWhatFitsIn255Characters) {
    auto t = std::make_unique<TTable>(nullptr);
    t->SetDatabaseName(Path("w.db"));
    t->SetTableName("WIDE");
    t->FieldDefs()->Add("A", ftString, 300);
    t->FieldDefs()->Add("B", ftString, 300);
    t->IndexDefs()->Add("AB", "A;B", {});
    t->CreateTable();
    t->SetIndexName("AB");
    t->Open();
    auto add = [&](const std::string& A, const std::string& B) {
        t->Append();
        t->FieldByName("A")->SetAsString(A);
        t->FieldByName("B")->SetAsString(B);
        t->Post();
    };
    add(std::string(200, 'a'), std::string(55, 'b'));  // 200 + ";" + 55 = 256: B does not fit
    add(std::string(100, 'c'), std::string(100, 'd'));
    add(std::string(256, 'e'), "f");                     // the first value alone is too long
    TryxTableAdapter a(t.get());
    t->First();
    EXPECT_EQ(a.GetIndexValue(), std::string(200, 'a'));
    t->Next();
    EXPECT_EQ(a.GetIndexValue(), std::string(100, 'c') + ";" + std::string(100, 'd'));
    t->Next();
    EXPECT_EQ(a.GetIndexValue(), "");
}

TEST_F(EngineAdapterTest, EmptyTableOnlyWhenExclusiveAndReadOnlySwitch) {
    const std::string db = Path("p.db");
    auto t = People(db, Crowd());
    TryxTableAdapter a(t.get());
    EXPECT_FALSE(a.IsEmptyTableEnabled());
    a.EmptyTable();
    EXPECT_EQ(CountRows(db, "PEOPLE"), 6);

    t->Close();
    t->SetExclusive(true);
    t->Open();
    EXPECT_TRUE(a.IsEmptyTableEnabled());
    a.EmptyTable();
    EXPECT_EQ(t->RecordCount(), 0);
    t->Close();
    EXPECT_EQ(CountRows(db, "PEOPLE"), 0);

    EXPECT_TRUE(a.IsReadOnlyEnabled());
    EXPECT_FALSE(a.GetReadOnly());
    a.SetReadOnly(true);
    EXPECT_TRUE(t->ReadOnly());
    t->Open();
    EXPECT_TRUE(a.GetReadOnly());
    EXPECT_FALSE(t->CanModify());

    t->SetName("PeopleTable");
    EXPECT_EQ(a.GetDescription(), "PEOPLE");
    ryx_UseTableComponentNames = true;
    EXPECT_EQ(a.GetDescription(), "PeopleTable");
    ryx_UseTableComponentNames = false;
}

TEST_F(EngineAdapterTest, TransactionMatrix) {
    struct TCase {
        const char* Target;
        const char* Driver;
        TTransIsolation Isolation;
        bool Enabled;
    };
    const TCase cases[] = {{"tx.db", "SQLITE", tiReadCommitted, true},
                           {"local", "STANDARD", tiDirtyRead, true},
                           {"local2", "STANDARD", tiReadCommitted, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Target);
        const std::string target = Path(c.Target);
        if (std::string(c.Driver) == "STANDARD") ForceDirectories(target);
        People(target, Crowd()).reset();
        TDatabase db(nullptr);
        db.SetDatabaseName("TXDB");
        db.SetDriverName(c.Driver);
        db.Params()->Add("PATH=" + target);
        db.SetLoginPrompt(false);
        db.SetTransIsolation(c.Isolation);
        TTable t(nullptr);
        t.SetDatabaseName("TXDB");
        t.SetTableName("PEOPLE");
        TryxTableAdapter a(&t);
        EXPECT_FALSE(a.IsTransactionEnabled());  // no database before the table opens
        t.Open();
        EXPECT_EQ(a.IsTransactionEnabled(), c.Enabled);
        EXPECT_EQ(a.IsStartTransactionEnabled(), c.Enabled);
        EXPECT_FALSE(a.IsCommitEnabled() || a.IsRollbackEnabled());
        a.Commit();  // nothing to commit: no effect, no error
        a.StartTransaction();
        EXPECT_EQ(db.InTransaction(), c.Enabled);
        EXPECT_EQ(a.IsCommitEnabled(), c.Enabled);
        EXPECT_EQ(a.IsRollbackEnabled(), c.Enabled);
        EXPECT_FALSE(a.IsStartTransactionEnabled());
        t.Append();
        t.FieldByName("Id")->SetAsInteger(7);
        t.Post();
        a.Rollback();
        EXPECT_FALSE(db.InTransaction());
        t.Refresh();
        EXPECT_EQ(t.RecordCount(), c.Enabled ? 6 : 7);
        a.StartTransaction();
        t.Append();
        t.FieldByName("Id")->SetAsInteger(8);
        t.Post();
        a.Commit();
        EXPECT_FALSE(db.InTransaction());
        t.Close();
        db.Close();
        EXPECT_EQ(CountRows(target, "PEOPLE"), c.Enabled ? 7 : 8);
    }
}

TEST_F(EngineAdapterTest, QueryAndStoredProcedureParameters) {
    CreateSampleDatabase(Path("sample.db"));
    TQuery q(nullptr);
    q.SetDatabaseName(Path("sample.db"));
    q.SQL()->SetText("select * from ORDERS where CustNo = :Cust and ItemsTotal >= :Min");
    TryxQueryAdapter qa(&q);
    ASSERT_TRUE(qa.IsParamsEnabled());
    EXPECT_EQ(qa.GetParams(), q.Params());
    EXPECT_EQ(qa.GetParamCount(), 2);
    TParams values(nullptr);
    values.CreateParam(ftInteger, "Cust", ptInput)->SetAsInteger(1001);
    values.CreateParam(ftFloat, "Min", ptInput)->SetAsFloat(0);
    qa.SetParams(&values);
    qa.SetParams(nullptr);  // no list: nothing to copy
    EXPECT_EQ(q.ParamByName("Cust")->AsInteger(), 1001);
    q.Open();
    EXPECT_GT(q.RecordCount(), 0);
    // Read-only: true for a result that cannot be modified; SetReadOnly(false) asks for a live one.
    EXPECT_TRUE(qa.IsReadOnlyEnabled());
    EXPECT_TRUE(qa.GetReadOnly());
    q.Close();
    qa.SetReadOnly(false);
    EXPECT_TRUE(q.RequestLive());
    q.SQL()->SetText("select * from ORDERS");
    q.Open();
    EXPECT_FALSE(qa.GetReadOnly());
    q.Close();
    qa.SetReadOnly(true);
    EXPECT_FALSE(q.RequestLive());

    TStoredProc sp(nullptr);
    sp.SetDatabaseName(Path("sample.db"));
    sp.SetStoredProcName("CUSTOMER_TOTALS");
    sp.Prepare();
    TryxStoredProcAdapter sa(&sp);
    EXPECT_TRUE(sa.IsParamsEnabled());
    EXPECT_FALSE(sa.IsReadOnlyEnabled());
    EXPECT_EQ(sa.GetParamCount(), 3);
    EXPECT_EQ(sa.GetParams(), sp.Params());
    TParams spValues(nullptr);
    spValues.CreateParam(ftInteger, "CustNo", ptInput)->SetAsInteger(1001);
    sa.SetParams(&spValues);
    sp.ExecProc();
    EXPECT_GT(sp.ParamByName("OrderCount")->AsInteger(), 0);
}

TEST_F(EngineAdapterTest, EngineFiltersLeaveTheDatasetsOwnFilterAlone) {
    auto t = People(Path("p.db"), Crowd());
    TryxTableAdapter a(t.get());
    EXPECT_FALSE(a.IsSingleFilter());
    EXPECT_FALSE(a.HasFilterObject());
    a.SetFilterText("Age > 30");
    a.SetFilterPriority(3);
    a.SetFiltered(true);
    EXPECT_TRUE(a.HasFilterObject());
    EXPECT_EQ(a.FilterObject()->Filter(), "Age > 30");
    EXPECT_EQ(a.GetFilterPriority(), 3);
    EXPECT_TRUE(a.GetFiltered());
    EXPECT_EQ(t->Filter(), "");
    EXPECT_FALSE(t->Filtered());
    EXPECT_EQ(Column(t.get(), "Id"), (std::vector<std::string>{"2", "4", "6"}));
    // The dataset's own filter works on top of the engine filter.
    t->SetFilter("Name <> 'Cid'");
    t->SetFiltered(true);
    EXPECT_EQ(Column(t.get(), "Id"), (std::vector<std::string>{"2", "6"}));
    t->SetFiltered(false);
    a.SetFiltered(false);
    EXPECT_EQ(t->RecordCount(), 6);
}

TEST_F(EngineAdapterTest, NetUserNameAndFlushBuffers) {
    auto t = People(Path("p.db"), Crowd());
    TryxDBDatasetAdapter a(t.get());
    std::string expected;
    ASSERT_EQ(DbiGetNetUserName(expected), DBIERR_NONE);
    EXPECT_EQ(a.GetNetUserName(), expected);
    DbiInjectFailure("DbiGetNetUserName", 1, DBIERR_NOMEMORY);
    EXPECT_EQ(a.GetNetUserName(), "");

    t->Edit();
    t->FieldByName("Name")->SetAsString("Zoe");
    a.FlushBuffers();
    EXPECT_EQ(t->State(), dsBrowse);
    TQuery q(nullptr);
    q.SetDatabaseName(Path("p.db"));
    q.SQL()->SetText("select Name from PEOPLE where Id = 1");
    q.Open();
    EXPECT_EQ(q.Fields(0)->AsString(), "Zoe");
}
