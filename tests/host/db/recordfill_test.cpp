// Tests of record buffers filled on first read: values after every kind of move, several buffers, writes, and the fetched-rows count.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "db_fixture.h"
#include "host/db/dbirecbufs.h"
#include "host/db/dbtables.h"
#include "host/db/enginestats.h"

using namespace host;

namespace {

class RecordFillTest : public dbtest::TDbTemp {
protected:
    static constexpr int kRows = 40;
    static std::string NameOf(int Id) { return "N" + std::to_string(Id * 7); }
    static int AgeOf(int Id) { return 100 + Id; }

    // ROWS (Id primary, Name, Age, Note; index ByAge) with kRows rows.
    std::unique_ptr<TTable> Rows() {
        auto t = Open();
        t->FieldDefs()->Add("Id", ftInteger, 0, true);
        t->FieldDefs()->Add("Name", ftString, 20);
        t->FieldDefs()->Add("Age", ftInteger);
        t->FieldDefs()->Add("Note", ftString, 10);
        t->IndexDefs()->Add("", "Id", {ixPrimary});
        t->IndexDefs()->Add("ByAge", "Age", {});
        t->CreateTable();
        t->Open();
        for (int id = 1; id <= kRows; ++id) {
            t->Append();
            t->FieldByName("Id")->SetAsInteger(id);
            t->FieldByName("Name")->SetAsString(NameOf(id));
            t->FieldByName("Age")->SetAsInteger(AgeOf(id));
            if (id % 3 == 0) t->FieldByName("Note")->SetAsString("third");
            t->Post();
        }
        t->First();
        return t;
    }
    std::unique_ptr<TTable> Open() {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(Path("rows.db"));
        t->SetTableName("ROWS");
        return t;
    }
    // The current record agrees with its Id in every field.
    static void ExpectWhole(TDataSet* T) {
        const int id = T->FieldByName("Id")->AsInteger();
        EXPECT_EQ(T->FieldByName("Name")->AsString(), NameOf(id)) << "Id " << id;
        EXPECT_EQ(T->FieldByName("Age")->AsInteger(), AgeOf(id)) << "Id " << id;
        EXPECT_EQ(T->FieldByName("Note")->IsNull(), id % 3 != 0) << "Id " << id;
    }
};

}  // namespace

TEST_F(RecordFillTest, FieldsReadInAnyOrderAfterEveryKindOfMove) {
    auto t = Rows();
    // A walk reading one field, another, or none on each record.
    int n = 0;
    for (t->First(); !t->Eof(); t->Next(), ++n) {
        if (n % 3 == 0) {
            EXPECT_EQ(t->FieldByName("Age")->AsInteger(), AgeOf(n + 1));
        } else if (n % 3 == 1) {
            EXPECT_EQ(t->FieldByName("Name")->AsString(), NameOf(n + 1));
        }
    }
    EXPECT_EQ(n, kRows);
    // The last record, not read before the walk met the end, then after Prior.
    t->Last();
    t->Next();
    EXPECT_TRUE(t->Eof());
    ExpectWhole(t.get());
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), kRows);
    t->Prior();
    t->Prior();
    ExpectWhole(t.get());
    // A bookmark taken on a record never read, then a jump back to it.
    t->First();
    t->MoveBy(5);
    const TBookmark mark = t->GetBookmark();
    t->MoveBy(10);
    t->GotoBookmark(mark);
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 6);
    ExpectWhole(t.get());
    // Locate, a key search and an index switch.
    ASSERT_TRUE(t->Locate("Name", Variant(NameOf(17)), {}));
    ExpectWhole(t.get());
    t->SetIndexName("ByAge");
    ASSERT_TRUE(t->FindKey({Variant(AgeOf(23))}));
    ExpectWhole(t.get());
    t->Last();
    t->Prior();
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), AgeOf(kRows - 1));
    // A filter by expression, and one by event that reads other fields.
    t->SetFilter("Age > 130");
    t->SetFiltered(true);
    std::vector<int> ids;
    for (t->First(); !t->Eof(); t->Next()) {
        ExpectWhole(t.get());
        ids.push_back(t->FieldByName("Id")->AsInteger());
    }
    EXPECT_EQ(ids.size(), size_t(kRows - 30));
    t->SetFiltered(false);
    t->SetFilter("");
    t->OnFilterRecord = [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("Note")->AsString() == "third"; };
    t->SetFiltered(true);
    n = 0;
    for (t->First(); !t->Eof(); t->Next(), ++n) ExpectWhole(t.get());
    EXPECT_EQ(n, kRows / 3);
}

TEST_F(RecordFillTest, EditsPostsAndCalculatedFieldsSeeWholeRecords) {
    Rows().reset();
    auto t = Open();
    // Persistent fields, with a calculated one reading two data fields of the
    // record being fetched.
    auto field = [&](TField* F, const char* Name, int Size) {
        F->SetFieldName(Name);
        if (Size) F->SetSize(Size);
        F->SetDataSet(t.get());
        return F;
    };
    field(new TIntegerField(t.get()), "Id", 0);
    field(new TStringField(t.get()), "Name", 20);
    field(new TIntegerField(t.get()), "Age", 0);
    field(new TStringField(t.get()), "Note", 10);
    auto* calc = new TStringField(t.get());
    calc->SetFieldKind(fkCalculated);
    field(calc, "Label", 40);
    t->OnCalcFields = [](TDataSet* D) {
        D->FieldByName("Label")->SetAsString(D->FieldByName("Name")->AsString() + "/" +
                                             D->FieldByName("Age")->AsString());
    };
    t->Open();
    for (t->First(); !t->Eof(); t->Next()) {
        const int id = t->FieldByName("Id")->AsInteger();
        EXPECT_EQ(calc->AsString(), NameOf(id) + "/" + std::to_string(AgeOf(id)));
    }
    // Edit and Post one field of a record no field of which was read: the
    // others keep their values in the file and in the dataset.
    t->First();
    t->MoveBy(7);
    t->Edit();
    t->FieldByName("Note")->SetAsString("edited");
    t->Post();
    EXPECT_EQ(t->FieldByName("Name")->AsString(), NameOf(8));
    t->Next();
    t->Prior();
    EXPECT_EQ(t->FieldByName("Note")->AsString(), "edited");
    EXPECT_EQ(t->FieldByName("Age")->AsInteger(), AgeOf(8));
    EXPECT_EQ(calc->AsString(), NameOf(8) + "/" + std::to_string(AgeOf(8)));
    // Delete and Insert next to unread records.
    t->Next();
    t->Delete();
    ExpectWhole(t.get());
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 10);
    t->Insert();
    t->FieldByName("Id")->SetAsInteger(9);
    t->FieldByName("Name")->SetAsString("back");
    t->Post();
    t->Next();
    ExpectWhole(t.get());
    t->Close();
}

TEST_F(RecordFillTest, SeveralBuffersKeepTheirRecordsAcrossWritesElsewhere) {
    auto t = Rows();
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    TDataLink link;
    link.SetDataSource(&source);
    link.SetBufferCount(10);
    t->First();
    t->MoveBy(12);  // the window now ends at record 13 and starts at record 4
    // Another table (another connection to the file) changes records of the
    // window that nothing read yet: the window still shows them as fetched.
    auto other = Open();
    other->Open();
    ASSERT_TRUE(other->Locate("Id", Variant(6), {}));
    other->Edit();
    other->FieldByName("Name")->SetAsString("changed");
    other->Post();
    const int first = 13 - link.RecordCount() + 1;
    for (int i = 0; i < link.RecordCount(); ++i) {
        link.SetActiveRecord(i);
        EXPECT_EQ(t->FieldByName("Id")->AsInteger(), first + i);
        ExpectWhole(t.get());
    }
    link.SetActiveRecord(link.RecordCount() - 1);
    // Scrolling back through the window and beyond it.
    for (int i = 0; i < 12; ++i) t->Prior();
    EXPECT_EQ(t->FieldByName("Id")->AsInteger(), 1);
    ExpectWhole(t.get());
    t->Refresh();
    ASSERT_TRUE(t->Locate("Id", Variant(6), {}));
    EXPECT_EQ(t->FieldByName("Name")->AsString(), "changed");
    link.SetDataSource(nullptr);
}

TEST_F(RecordFillTest, EngineBuffersAreCompleteForEveryCall) {
    auto t = Rows();
    t->Close();
    hDBIDb db = nullptr;
    Check(DbiOpenDatabase("SQLITE", {{"PATH", Path("rows.db")}}, db));
    hDBICur cur = nullptr;
    Check(DbiOpenTable(db, "ROWS", "", "", dbiREADWRITE, dbiOPENSHARED, cur));
    CURProps props;
    Check(DbiGetCursorProps(cur, props));
    std::vector<uint8_t> a(props.iRecBufSize), b(props.iRecBufSize), c(props.iRecBufSize);
    Check(DbiRegisterRecBuf(cur, a.data()));
    Check(DbiRegisterRecBuf(cur, b.data()));
    auto age = [&](std::vector<uint8_t>& Buf) {
        int32_t v = 0;
        bool blank = true;
        Check(DbiGetField(cur, 3, Buf.data(), &v, blank));
        return blank ? -1 : v;
    };
    Check(DbiGetNextRecord(cur, a.data(), nullptr));
    Check(DbiGetNextRecord(cur, b.data(), nullptr));
    EXPECT_EQ(age(a), AgeOf(1));  // read again by its row, the walk being on row 2
    EXPECT_EQ(age(b), AgeOf(2));  // from the walk
    // A record modified from a buffer never read whole keeps its other fields.
    Check(DbiGetNextRecord(cur, a.data(), nullptr));
    const int32_t newAge = 999;
    Check(DbiPutField(cur, 3, a.data(), &newAge));
    Check(DbiModifyRecord(cur, a.data()));
    Check(DbiGetRecord(cur, c.data(), nullptr));
    char name[21] = {};
    bool blank = true;
    Check(DbiGetField(cur, 2, c.data(), name, blank));
    EXPECT_EQ(std::string(name), NameOf(3));
    // Another program changes rows 4 and 5 after the walk has passed them:
    // a buffer then holds one version of its record, never a mix.
    Check(DbiGetNextRecord(cur, a.data(), nullptr));
    EXPECT_EQ(age(a), AgeOf(4));
    Check(DbiGetNextRecord(cur, b.data(), nullptr));
    Check(DbiSetToEnd(cur));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(Path("rows.db").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "UPDATE ROWS SET Age = -Age, Name = 'x' || Name WHERE Id IN (4, 5)", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    Check(DbiGetField(cur, 2, b.data(), name, blank));
    EXPECT_EQ(std::string(name), "x" + NameOf(5));
    EXPECT_EQ(age(b), -AgeOf(5));
    // A buffer no longer registered is filled whole by moves, as any other.
    Check(DbiUnregisterRecBuf(cur, a.data()));
    Check(DbiSetToBegin(cur));
    Check(DbiGetNextRecord(cur, a.data(), nullptr));
    EXPECT_EQ(a[props.iRecSize - 4 + 2], 0);  // the third field's null flag: read
    Check(DbiCloseCursor(cur));
    Check(DbiCloseDatabase(db));
}

TEST_F(RecordFillTest, RowsFetchedCountsWhatTheEngineRead) {
    auto t = Rows();
    dbi::ResetRowsFetched();
    const uint64_t before = dbi::RowsFetched(t->Handle());
    for (t->First(); !t->Eof(); t->Next()) t->FieldByName("Name")->AsString();
    EXPECT_EQ(dbi::RowsFetched(), uint64_t(kRows));
    EXPECT_EQ(dbi::RowsFetched(t->Handle()) - before, uint64_t(kRows));
    // A Locate on an indexed field reads a few rows, not the table.
    t->SetIndexName("ByAge");
    dbi::ResetRowsFetched();
    ASSERT_TRUE(t->Locate("Age", Variant(AgeOf(30)), {}));
    EXPECT_GE(dbi::RowsFetched(), 1u);
    EXPECT_LE(dbi::RowsFetched(), 4u);
    // A filter by event reads every row it passes over.
    t->OnFilterRecord = [](TDataSet* D, bool& Accept) { Accept = D->FieldByName("Id")->AsInteger() % 10 == 0; };
    t->SetFiltered(true);
    dbi::ResetRowsFetched();
    int n = 0;
    for (t->First(); !t->Eof(); t->Next()) ++n;
    EXPECT_EQ(n, kRows / 10);
    EXPECT_GE(dbi::RowsFetched(), uint64_t(kRows));
    EXPECT_LE(dbi::RowsFetched(), uint64_t(kRows + kRows / 10 + 2));
    EXPECT_EQ(dbi::RowsFetched(nullptr), 0u);
}
