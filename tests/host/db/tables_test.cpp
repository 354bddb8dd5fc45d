// Tests of TTable over real SQLite files: navigation, editing and events, bookmarks, keys, ranges, indexes, master-detail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db_fixture.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

// Records what a data link is told.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Log;

protected:
    void ActiveChanged() override { Log.push_back("active"); }
    void DataSetChanged() override { Log.push_back("changed"); }
    void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + std::to_string(Distance)); }
    void EditingChanged() override { Log.push_back("editing"); }
};

class TableTest : public dbtest::TDbTemp {
protected:
    // A table of the sample database (one database file, made once per test).
    std::unique_ptr<TTable> Sample(const std::string& Name, const std::string& Index = "") {
        if (!FMade) {
            CreateSampleDatabase(Path("sample.db"));
            FMade = true;
        }
        return OpenTable(Path("sample.db"), Name, Index);
    }
    std::unique_ptr<TTable> OpenTable(const std::string& Db, const std::string& Name, const std::string& Index = "") {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(Db);
        t->SetTableName(Name);
        if (!Index.empty()) t->SetIndexName(Index);
        t->Open();
        return t;
    }
    // PEOPLE (Id primary, Name, Age; index ByName) with the given rows, in Db.
    std::unique_ptr<TTable> People(const std::string& Db, const std::vector<std::pair<std::string, int>>& Rows) {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(Db);
        t->SetTableName("PEOPLE");
        t->FieldDefs()->Add("Id", ftInteger, 0, true);
        t->FieldDefs()->Add("Name", ftString, 20);
        t->FieldDefs()->Add("Age", ftInteger);
        t->IndexDefs()->Add("", "Id", {ixPrimary});
        t->IndexDefs()->Add("ByName", "Name", {});
        t->CreateTable();
        t->Open();
        int id = 1;
        for (const auto& r : Rows) {
            t->Append();
            t->FieldByName("Id")->SetAsInteger(id++);
            t->FieldByName("Name")->SetAsString(r.first);
            t->FieldByName("Age")->SetAsInteger(r.second);
            t->Post();
        }
        t->First();
        return t;
    }
    std::vector<std::string> Names(TDataSet* T) {
        std::vector<std::string> out;
        for (T->First(); !T->Eof(); T->Next()) out.push_back(T->FieldByName("Name")->AsString());
        return out;
    }
    bool FMade = false;
};

}  // namespace

TEST_F(TableTest, NavigatesBothEndsAndEmptyTables) {
    auto t = Sample("CUSTOMER");
    const auto counts = SampleDatabaseCounts();
    EXPECT_EQ(t->RecordCount(), counts.Customers);
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1001);
    EXPECT_EQ(t->RecNo(), 1);
    t->Next();
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1002);
    EXPECT_EQ(t->RecNo(), 2);
    t->Last();
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1000 + counts.Customers);
    EXPECT_EQ(t->RecNo(), counts.Customers);
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1000 + counts.Customers);
    EXPECT_EQ(t->MoveBy(-5), -5);
    EXPECT_EQ(t->RecNo(), counts.Customers - 5);
    t->SetRecNo(10);
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1010);
    t->First();
    t->Prior();
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->FieldByName("CustNo")->AsInteger(), 1001);

    auto e = People(Path("empty.db"), {});
    EXPECT_TRUE(e->Bof());
    EXPECT_TRUE(e->Eof());
    EXPECT_TRUE(e->IsEmpty());
    EXPECT_EQ(e->RecordCount(), 0);
    e->Next();
    e->Prior();
    e->Last();
    EXPECT_TRUE(e->Bof() && e->Eof());
    EXPECT_TRUE(e->FieldByName("Name")->IsNull());
}

TEST_F(TableTest, EditingStatesRaiseTheirEventsAndPersist) {
    auto t = People(Path("p.db"), {{"Ann", 30}, {"Bob", 40}});
    std::vector<std::string> log;
    auto rec = [&](const char* what) { return TDataSetNotifyEvent([&log, what](TDataSet*) { log.push_back(what); }); };
    t->BeforeInsert = rec("BeforeInsert");
    t->AfterInsert = rec("AfterInsert");
    t->BeforeEdit = rec("BeforeEdit");
    t->AfterEdit = rec("AfterEdit");
    t->BeforePost = rec("BeforePost");
    t->AfterPost = rec("AfterPost");
    t->BeforeCancel = rec("BeforeCancel");
    t->AfterCancel = rec("AfterCancel");
    t->BeforeDelete = rec("BeforeDelete");
    t->AfterDelete = rec("AfterDelete");
    t->OnNewRecord = rec("OnNewRecord");

    t->Insert();
    EXPECT_EQ(t->State(), dsInsert);
    t->FieldByName("Id")->SetAsInteger(3);
    t->FieldByName("Name")->SetAsString("Cid");
    t->Post();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Cid");
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeInsert", "OnNewRecord", "AfterInsert", "BeforePost", "AfterPost"}));

    log.clear();
    t->First();
    t->Edit();
    EXPECT_EQ(t->State(), dsEdit);
    t->FieldByName("Age")->SetAsInteger(31);
    EXPECT_EQ(t->FieldByName("Age")->OldValue().AsInteger(), 30);
    t->Cancel();
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), 30);
    t->Edit();
    t->FieldByName("Age")->SetAsInteger(32);
    t->Post();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel", "BeforeEdit",
                                             "AfterEdit", "BeforePost", "AfterPost"}));
    log.clear();
    t->Last();
    t->Delete();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeDelete", "AfterDelete"}));
    EXPECT_EQ(t->RecordCount(), 2);

    // What was posted is in the file: a second table sees it.
    auto other = OpenTable(Path("p.db"), "PEOPLE");
    EXPECT_EQ(other->RecordCount(), 2);
    EXPECT_EQ(other->FieldByName("Age")->AsInteger(), 32);
    EXPECT_EQ(Names(other.get()), (std::vector<std::string>{"Ann", "Bob"}));
}

TEST_F(TableTest, FailedPostKeepsTheEditAndItsValues) {
    auto t = People(Path("p.db"), {{"Ann", 30}});
    t->Append();
    t->FieldByName("Id")->SetAsInteger(1);  // the primary key is taken
    t->FieldByName("Name")->SetAsString("Dup");
    EXPECT_THROW(t->Post(), EDatabaseError);
    EXPECT_EQ(t->State(), dsInsert);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Dup");
    t->FieldByName("Id")->SetAsInteger(2);
    t->Post();
    EXPECT_EQ(t->RecordCount(), 2);

    // A required field left empty fails before the engine; Cancel recovers.
    t->Append();
    t->FieldByName("Name")->SetAsString("NoId");
    EXPECT_THROW(t->Post(), EDatabaseError);
    EXPECT_EQ(t->State(), dsInsert);
    t->Cancel();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), 2);
}

TEST_F(TableTest, BookmarksSurviveEditsOfOtherRecords) {
    auto t = People(Path("p.db"), {{"Ann", 1}, {"Bob", 2}, {"Cid", 3}, {"Dan", 4}});
    t->SetRecNo(3);
    const TBookmark mark = t->GetBookmark();
    t->First();
    t->Delete();  // Ann
    t->Edit();
    t->FieldByName("Age")->SetAsInteger(20);
    t->Post();
    t->Append();
    t->FieldByName("Id")->SetAsInteger(9);
    t->FieldByName("Name")->SetAsString("Eve");
    t->Post();
    EXPECT_TRUE(t->BookmarkValid(mark));
    t->GotoBookmark(mark);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Cid");
    t->First();
    const TBookmark first = t->GetBookmark();
    EXPECT_LT(t->CompareBookmarks(first, mark), 0);
    EXPECT_EQ(t->CompareBookmarks(mark, mark), 0);
    t->GotoBookmark(mark);
    t->Delete();
    EXPECT_FALSE(t->BookmarkValid(mark));
}

TEST_F(TableTest, KeysFindExactNearestAndPartial) {
    auto t = People(Path("p.db"), {{"Adams", 1}, {"Baker", 2}, {"Bakerson", 3}, {"Clark", 4}});
    t->SetIndexName("ByName");
    EXPECT_TRUE(t->FindKey({Variant("Baker")}));
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), 2);
    EXPECT_FALSE(t->FindKey({Variant("Bak")}));
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), 2);  // stays
    t->FindNearest({Variant("Bb")});
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Clark");
    t->FindNearest({Variant("Zzz")});
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Clark");

    t->SetKey();
    EXPECT_EQ(t->State(), dsSetKey);
    t->FieldByName("Name")->SetAsString("Bakerson");
    EXPECT_TRUE(t->GotoKey());
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), 3);
    t->EditKey();
    t->SetKeyExclusive(true);
    t->FieldByName("Name")->SetAsString("Baker");
    t->GotoNearest();
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Bakerson");

    // The primary key with an integer given as text; nonsense raises EConvertError.
    t->SetIndexName("");
    EXPECT_TRUE(t->FindKey({Variant("4")}));
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Clark");
    EXPECT_THROW(t->FindKey({Variant("four")}), EConvertError);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Clark");

    // Locate and Lookup, through the index and by walking.
    EXPECT_TRUE(t->Locate("Name", Variant("bak"), {loCaseInsensitive, loPartialKey}));
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Baker");
    EXPECT_FALSE(t->Locate("Name", Variant("Nobody"), {}));
    EXPECT_TRUE(t->Locate("Id", Variant(3), {}));
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Bakerson");
    EXPECT_EQ(t->Lookup("Name", Variant("Clark"), "Age").AsInteger(), 4);
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Bakerson");  // Lookup does not move
    EXPECT_TRUE(t->Lookup("Name", Variant("Nobody"), "Age").IsNull());
}

TEST_F(TableTest, RangesInclusiveExclusivePartialAndPrefix) {
    auto t = People(Path("p.db"), {{"Adams", 1}, {"Baker", 2}, {"Bakerson", 3}, {"Bell", 4}, {"Clark", 5}});
    t->SetIndexName("ByName");
    t->SetRange({Variant("Baker")}, {Variant("Bell")});
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Baker", "Bakerson", "Bell"}));
    EXPECT_EQ(t->RecordCount(), 3);

    t->SetRangeStart();
    t->FieldByName("Name")->SetAsString("Baker");
    t->SetKeyExclusive(true);
    t->SetRangeEnd();
    t->FieldByName("Name")->SetAsString("Bell");
    t->SetKeyExclusive(true);
    t->ApplyRange();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Bakerson"}));

    // A prefix range: the end padded with the byte 255 sorts after every text that starts with "Bak".
    t->SetRange({Variant("Bak")}, {Variant(std::string("Bak") + std::string(3, '\xff'))});
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Baker", "Bakerson"}));

    t->CancelRange();
    EXPECT_EQ(t->RecordCount(), 5);

    // Partial keys: only the first KeyFieldCount fields of a two-field index.
    auto c = Sample("CUSTOMER", "ByState");
    c->SetRangeStart();
    c->SetKeyFieldCount(1);
    c->FieldByName("State")->SetAsString("CA");
    c->SetRangeEnd();
    c->SetKeyFieldCount(1);
    c->FieldByName("State")->SetAsString("CA");
    c->ApplyRange();
    ASSERT_GT(c->RecordCount(), 0);
    for (c->First(); !c->Eof(); c->Next()) EXPECT_EQ(c->FieldByName("State")->AsString(), "CA");
    c->SetRangeStart();
    c->CancelRange();
    EXPECT_EQ(c->State(), dsBrowse);
    EXPECT_EQ(c->RecordCount(), SampleDatabaseCounts().Customers);
}

TEST_F(TableTest, IndexesSwitchWhileOpenKeepingTheRecord) {
    auto t = People(Path("p.db"), {{"Cid", 1}, {"Ann", 2}, {"Bob", 3}});
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Cid", "Ann", "Bob"}));
    t->Locate("Name", Variant("Ann"), {});
    t->SetIndexName("ByName");
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Ann");
    EXPECT_EQ(t->IndexFieldCount(), 1);
    EXPECT_EQ(t->IndexFields(0)->FieldName(), "Name");
    EXPECT_TRUE(t->FieldByName("Name")->IsIndexField());
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
    t->SetIndexFieldNames("Age");
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Cid", "Ann", "Bob"}));

    TStringList names;
    t->GetIndexNames(&names);
    EXPECT_EQ(names.IndexOf("ByName"), 0);
    t->IndexDefs()->Update();
    EXPECT_EQ(t->IndexDefs()->Count(), 2);
    t->Close();
    t->AddIndex("ByAge", "Age", {ixDescending});
    t->SetIndexName("ByAge");
    t->Open();
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Bob", "Ann", "Cid"}));
    t->Close();
    t->SetIndexName("");
    t->DeleteIndex("ByAge");
    t->GetIndexNames(&names);
    EXPECT_EQ(names.IndexOf("ByAge"), -1);
}

TEST_F(TableTest, MasterDetailFollowsTheMaster) {
    auto customers = Sample("CUSTOMER");
    TDataSource source(nullptr);
    source.SetDataSet(customers.get());
    auto orders = std::make_unique<TTable>(nullptr);
    orders->SetDatabaseName(Path("sample.db"));
    orders->SetTableName("ORDERS");
    orders->SetIndexName("ByCustNo");
    orders->SetMasterSource(&source);
    orders->SetMasterFields("CustNo");
    orders->Open();
    for (int i = 0; i < 12; ++i) {
        const int cust = customers->FieldByName("CustNo")->AsInteger();
        int n = 0;
        for (orders->First(); !orders->Eof(); orders->Next(), ++n)
            EXPECT_EQ(orders->FieldByName("CustNo")->AsInteger(), cust);
        EXPECT_EQ(orders->RecordCount(), n);
        // Every tenth customer from the eighth on has no orders.
        EXPECT_EQ(n == 0, (cust - 1001) % 10 == 7) << cust;
        customers->Next();
    }
    // A new detail record takes the master's key.
    orders->Append();
    EXPECT_EQ(orders->FieldByName("CustNo")->AsInteger(), customers->FieldByName("CustNo")->AsInteger());
    orders->Cancel();
    orders->SetMasterSource(nullptr);
    EXPECT_EQ(orders->RecordCount(), SampleDatabaseCounts().Orders);
}

TEST_F(TableTest, FiltersByExpressionAndCallback) {
    auto t = People(Path("p.db"), {{"Ann", 30}, {"Bob", 45}, {"Cid", 50}, {"Dan", 20}});
    t->SetFilter("Age >= 30 AND Name <> 'Cid'");
    t->SetFiltered(true);
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(t->RecordCount(), 2);
    t->SetFilter("Name = 'c*'");
    t->SetFilterOptions({foCaseInsensitive});
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Cid"}));
    EXPECT_THROW(t->SetFilter("Age >"), EDatabaseError);
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Cid"}));
    t->SetFilter("");
    int calls = 0;
    t->SetOnFilterRecord([&](TDataSet* D, bool& Accept) {
        ++calls;
        Accept = D->FieldByName("Age")->AsInteger() < 46;
    });
    EXPECT_EQ(Names(t.get()), (std::vector<std::string>{"Ann", "Bob", "Dan"}));
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(t->Locate("Name", Variant("Dan"), {}));
    EXPECT_FALSE(t->Locate("Name", Variant("Cid"), {}));
    t->SetFiltered(false);
    EXPECT_EQ(t->RecordCount(), 4);
    // FindFirst/FindNext use the filter even while it is off.
    EXPECT_TRUE(t->FindFirst());
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Ann");
    EXPECT_TRUE(t->FindNext());
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Bob");
    EXPECT_TRUE(t->FindNext());
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Dan");
    EXPECT_FALSE(t->FindNext());
    EXPECT_TRUE(t->FindLast());
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "Dan");
}

TEST_F(TableTest, TableOperationsAndExclusiveOpens) {
    auto t = People(Path("p.db"), {{"Ann", 1}, {"Bob", 2}});
    t->Close();
    EXPECT_TRUE(t->Exists());
    t->RenameTable("FOLKS");
    EXPECT_EQ(t->TableName(), "FOLKS");
    t->Open();
    EXPECT_EQ(t->RecordCount(), 2);
    t->EmptyTable();
    EXPECT_TRUE(t->IsEmpty());
    t->Close();
    t->DeleteTable();
    EXPECT_FALSE(t->Exists());
    EXPECT_THROW(t->Open(), EDatabaseError);
    EXPECT_FALSE(t->Active());

    auto a = People(Path("x.db"), {{"Ann", 1}});
    a->Close();
    a->SetExclusive(true);
    a->Open();
    TTable b(nullptr);
    b.SetDatabaseName(Path("x.db"));
    b.SetTableName("PEOPLE");
    EXPECT_THROW(b.Open(), EDBEngineError);
    a->Close();
    b.Open();
    EXPECT_EQ(b.RecordCount(), 1);

    // Read-only tables refuse edits.
    b.Close();
    b.SetReadOnly(true);
    b.Open();
    EXPECT_FALSE(b.CanModify());
    EXPECT_THROW(b.Edit(), EDatabaseError);
}

TEST_F(TableTest, BlobsAndDataLinksThroughTheTable) {
    auto t = Sample("CUSTOMER", "ByState");
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    TRecordingLink link;
    link.SetDataSource(&source);
    EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
    link.Log.clear();
    t->Next();
    EXPECT_EQ(link.Log, (std::vector<std::string>{"scrolled 1"}));
    link.Log.clear();
    t->SetRange({Variant("HI")}, {Variant("HI")});
    EXPECT_EQ(link.Log.back(), "changed");
    link.Log.clear();
    t->Locate("CustNo", Variant(t->FieldByName("CustNo")->AsInteger()), {});
    EXPECT_EQ(link.Log, (std::vector<std::string>{"changed"}));
    link.Log.clear();
    t->Edit();
    EXPECT_EQ(link.Log.front(), "editing");

    // A memo written through a blob stream is stored with the record.
    TMemoryStream text;
    const std::string note = "Line one\nLine two";
    text.WriteBuffer(note.data(), int64_t(note.size()));
    text.SetPosition(0);
    static_cast<TBlobField*>(t->FieldByName("Notes"))->LoadFromStream(&text);
    const int cust = t->FieldByName("CustNo")->AsInteger();
    t->Post();
    auto other = Sample("CUSTOMER");
    ASSERT_TRUE(other->Locate("CustNo", Variant(cust), {}));
    EXPECT_EQ(other->FieldByName("Notes")->AsString(), note);
    t->CancelRange();
    t->Close();
    EXPECT_EQ(link.Log.back(), "active");
}
