// Tests of TDataSet over the in-memory dataset: navigation, states and events, posting failures, bookmarks, searching, filters and calculated fields.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/db/db.h"
#include "host/rtl/formtext.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "memdataset.h"

using namespace host;

namespace {

// People: ID (autoinc), NAME string(20), AGE integer, CITY string(20).
std::unique_ptr<TMemDataSet> MakePeople(const std::vector<std::tuple<std::string, int, std::string>>& Rows) {
    auto ds = std::make_unique<TMemDataSet>(nullptr);
    ds->FieldDefs()->Add("ID", ftAutoInc);
    ds->FieldDefs()->Add("NAME", ftString, 20);
    ds->FieldDefs()->Add("AGE", ftInteger);
    ds->FieldDefs()->Add("CITY", ftString, 20);
    ds->Open();
    for (const auto& [name, age, city] : Rows) ds->AppendRecord({Variant(), Variant(name), Variant(age), Variant(city)});
    ds->First();
    return ds;
}

std::unique_ptr<TMemDataSet> FivePeople() {
    return MakePeople({{"Ann", 31, "Oslo"},
                       {"bob", 25, "Rome"},
                       {"Carl", 40, "Oslo"},
                       {"Dora", 25, "Paris"},
                       {"Eve", 52, "Rome"}});
}

std::string Names(TDataSet* ds) {
    std::string out;
    ds->First();
    while (!ds->Eof()) {
        if (!out.empty()) out += ",";
        out += ds->FieldByName("NAME")->AsString();
        ds->Next();
    }
    return out;
}

// Records every event of a dataset as "Name(state)".
struct EventLog {
    std::vector<std::string> Log;
    void Hook(TDataSet* ds) {
        auto add = [this](const char* name) {
            return TDataSetNotifyEvent([this, name](TDataSet* d) {
                Log.push_back(std::string(name) + "(" + std::to_string(static_cast<int>(d->State())) + ")");
            });
        };
        ds->BeforeOpen = add("BeforeOpen");
        ds->AfterOpen = add("AfterOpen");
        ds->BeforeClose = add("BeforeClose");
        ds->AfterClose = add("AfterClose");
        ds->BeforeInsert = add("BeforeInsert");
        ds->AfterInsert = add("AfterInsert");
        ds->BeforeEdit = add("BeforeEdit");
        ds->AfterEdit = add("AfterEdit");
        ds->BeforePost = add("BeforePost");
        ds->AfterPost = add("AfterPost");
        ds->BeforeCancel = add("BeforeCancel");
        ds->AfterCancel = add("AfterCancel");
        ds->BeforeDelete = add("BeforeDelete");
        ds->AfterDelete = add("AfterDelete");
        ds->BeforeScroll = add("BeforeScroll");
        ds->AfterScroll = add("AfterScroll");
        ds->BeforeRefresh = add("BeforeRefresh");
        ds->AfterRefresh = add("AfterRefresh");
        ds->OnNewRecord = add("OnNewRecord");
    }
    std::string Take() {
        std::string s;
        for (auto& e : Log) s += (s.empty() ? "" : " ") + e;
        Log.clear();
        return s;
    }
};

TEST(DataSetNavigation, BothEndsEmptyAndCounts) {
    auto ds = FivePeople();
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->RecordCount(), 5);
    EXPECT_EQ(ds->RecNo(), 1);
    ds->Prior();  // on the first record: stays, BOF
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Ann");
    ds->Next();
    EXPECT_FALSE(ds->Bof());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");
    EXPECT_EQ(ds->MoveBy(10), 3);
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Eve");
    ds->Next();  // on the last: stays, EOF
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 5);
    EXPECT_EQ(ds->MoveBy(-2), -2);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Carl");
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 5);
    ds->SetRecNo(2);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");
    EXPECT_EQ(Names(ds.get()), "Ann,bob,Carl,Dora,Eve");

    auto empty = MakePeople({});
    EXPECT_TRUE(empty->Bof());
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_TRUE(empty->FieldByName("NAME")->IsNull());
    EXPECT_EQ(empty->FieldByName("NAME")->AsString(), "");
    empty->Next();
    empty->Last();
    EXPECT_TRUE(empty->Eof() && empty->Bof());
    EXPECT_THROW(empty->Delete(), EDatabaseError);
    empty->Edit();  // editing an empty dataset inserts
    EXPECT_EQ(empty->State(), dsInsert);
    empty->Cancel();
    EXPECT_EQ(empty->State(), dsBrowse);
    EXPECT_TRUE(empty->IsEmpty());

    ds->Close();
    EXPECT_EQ(ds->State(), dsInactive);
    EXPECT_EQ(ds->FieldCount(), 0);  // default fields go with the cursor
    EXPECT_THROW(ds->Next(), EDatabaseError);
    ds->Open();
    EXPECT_EQ(ds->FieldCount(), 4);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Ann");
}

TEST(DataSetNavigation, MovesFetchOnlyNewRecordsWithABigRing) {
    std::vector<std::tuple<std::string, int, std::string>> rows;
    for (int i = 0; i < 200; ++i) rows.emplace_back("N" + std::to_string(i), i, "X");
    auto ds = MakePeople(rows);
    TDataSource src(nullptr);
    src.SetDataSet(ds.get());
    struct GridLink : TDataLink {};
    GridLink grid;
    grid.SetBufferCount(10);
    grid.SetDataSource(&src);
    EXPECT_EQ(ds->BufferCount(), 10);
    EXPECT_EQ(grid.RecordCount(), 10);
    ds->First();
    int before = ds->FetchCount();
    for (int i = 0; i < 150; ++i) ds->Next();
    // 9 moves inside the ring, then one fetch per move.
    EXPECT_LE(ds->FetchCount() - before, 150);
    EXPECT_EQ(ds->FieldByName("AGE")->AsInteger(), 150);
    EXPECT_EQ(grid.ActiveRecord(), 9);
    for (int i = 0; i < 5; ++i) ds->Prior();
    EXPECT_EQ(ds->FieldByName("AGE")->AsInteger(), 145);
    EXPECT_EQ(grid.ActiveRecord(), 4);
}

TEST(DataSetEditing, StatesAndEventsInOrder) {
    auto ds = std::make_unique<TMemDataSet>(nullptr);
    ds->FieldDefs()->Add("ID", ftAutoInc);
    ds->FieldDefs()->Add("NAME", ftString, 20);
    EventLog log;
    log.Hook(ds.get());
    ds->Open();
    EXPECT_EQ(log.Take(), "BeforeOpen(0) AfterOpen(1)");

    ds->Append();
    EXPECT_EQ(ds->State(), dsInsert);
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(log.Take(), "BeforeInsert(1) BeforeScroll(1) OnNewRecord(3) AfterInsert(3) AfterScroll(3)");
    ds->FieldByName("NAME")->SetAsString("Ann");
    EXPECT_TRUE(ds->Modified());
    ds->Post();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(log.Take(), "BeforePost(3) AfterPost(1)");
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1);

    ds->Edit();
    EXPECT_EQ(log.Take(), "BeforeEdit(1) AfterEdit(2)");
    ds->FieldByName("NAME")->SetAsString("Anne");
    EXPECT_EQ(ds->FieldByName("NAME")->OldValue().AsString(), "Ann");
    ds->Cancel();
    EXPECT_EQ(log.Take(), "BeforeCancel(2) AfterCancel(1)");
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Ann");

    ds->Insert();  // before Ann
    ds->FieldByName("NAME")->SetAsString("Zed");
    ds->Post();
    log.Take();
    EXPECT_EQ(Names(ds.get()), "Zed,Ann");
    ds->First();
    log.Take();
    ds->Delete();
    EXPECT_EQ(log.Take(), "BeforeDelete(1) BeforeScroll(1) AfterDelete(1) AfterScroll(1)");
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Ann");

    // Moving while editing posts a modified record and cancels an unmodified one.
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("Anna");
    ds->Append();
    log.Take();
    ds->Cancel();
    EXPECT_EQ(log.Take(), "BeforeCancel(3) BeforeScroll(3) AfterCancel(1) AfterScroll(1)");
    EXPECT_EQ(Names(ds.get()), "Anna");

    log.Take();
    ds->Refresh();
    EXPECT_EQ(log.Take(), "BeforeRefresh(1) AfterRefresh(1)");
    ds->Close();
    EXPECT_EQ(log.Take(), "BeforeClose(1) AfterClose(0)");

    // Writing outside an editing state fails with the framework's text.
    ds->Open();
    try {
        ds->FieldByName("NAME")->SetAsString("x");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Dataset not in edit or insert mode");
    }
    ds->SetReadOnly(true);
    try {
        ds->Edit();
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Cannot modify a read-only dataset");
    }
    EXPECT_EQ(ds->State(), dsBrowse);
}

TEST(DataSetEditing, FailedPostKeepsTheEditAndErrorActions) {
    auto ds = FivePeople();
    ds->SetUniqueField("NAME");
    ds->SetRecNo(2);
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("Carl");  // taken by record 3
    ds->FieldByName("AGE")->SetAsInteger(99);
    int calls = 0;
    ds->OnPostError = [&](TDataSet*, EDatabaseError& e, TDataAction& action) {
        ++calls;
        EXPECT_EQ(e.Message(), "Key violation");
        action = daFail;
    };
    EXPECT_THROW(ds->Post(), EDatabaseError);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Carl");
    EXPECT_EQ(ds->FieldByName("AGE")->AsInteger(), 99);
    EXPECT_TRUE(ds->Modified());

    // daAbort: a silent abort, still editing.
    ds->OnPostError = [](TDataSet*, EDatabaseError&, TDataAction& action) { action = daAbort; };
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(ds->State(), dsEdit);

    // daRetry after the handler mends the value.
    ds->OnPostError = [](TDataSet* d, EDatabaseError&, TDataAction& action) {
        d->FieldByName("NAME")->SetAsString("Bobby");
        action = daRetry;
    };
    ds->Post();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(Names(ds.get()), "Ann,Bobby,Carl,Dora,Eve");

    // Cancel recovers from a failed insert with nothing stored.
    ds->OnPostError = nullptr;
    ds->Append();
    ds->FieldByName("NAME")->SetAsString("Eve");
    EXPECT_THROW(ds->Post(), EDatabaseError);
    EXPECT_EQ(ds->State(), dsInsert);
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 5);

    // Required fields are checked before storing.
    ds->FieldByName("CITY")->SetRequired(true);
    ds->Append();
    ds->FieldByName("NAME")->SetAsString("Fay");
    try {
        ds->Post();
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'CITY' must have a value");
    }
    EXPECT_EQ(ds->State(), dsInsert);
    ds->FieldByName("CITY")->SetAsString("Kyiv");
    ds->Post();
    EXPECT_EQ(ds->StoredCount(), 6);
}

TEST(DataSetBookmarks, SurviveOtherEditsAndCompare) {
    auto ds = FivePeople();
    ds->SetRecNo(4);
    TBookmark dora = ds->GetBookmark();
    EXPECT_EQ(ds->Bookmark(), dora);
    ds->First();
    TBookmark ann = ds->GetBookmark();
    ds->Delete();                            // Ann goes
    ds->Append();
    ds->FieldByName("NAME")->SetAsString("Fay");
    ds->Post();
    ds->First();
    ds->Insert();
    ds->FieldByName("NAME")->SetAsString("Abe");
    ds->Post();
    ds->GotoBookmark(dora);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Dora");
    EXPECT_TRUE(ds->BookmarkValid(dora));
    EXPECT_FALSE(ds->BookmarkValid(ann));
    EXPECT_THROW(ds->GotoBookmark(ann), EDatabaseError);
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->First();
    TBookmark first = ds->GetBookmark();
    EXPECT_LT(ds->CompareBookmarks(first, dora), 0);
    EXPECT_GT(ds->CompareBookmarks(dora, first), 0);
    EXPECT_EQ(ds->CompareBookmarks(dora, TBookmark(dora)), 0);
    EXPECT_EQ(ds->CompareBookmarks(TBookmark(), TBookmark()), 0);
    ds->SetBookmark(dora);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Dora");
    ds->FreeBookmark(dora);
    EXPECT_TRUE(dora.empty());
}

TEST(DataSetSearch, LocateLookupAndFind) {
    auto ds = FivePeople();
    EXPECT_TRUE(ds->Locate("NAME", Variant("BOB"), {loCaseInsensitive}));
    EXPECT_EQ(ds->FieldByName("AGE")->AsInteger(), 25);
    EXPECT_FALSE(ds->Locate("NAME", Variant("BOB"), {}));
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");  // not found: stays
    EXPECT_TRUE(ds->Locate("NAME", Variant("Do"), {loPartialKey}));
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Dora");
    EXPECT_TRUE(ds->Locate("AGE;CITY", VarArrayOf({Variant(25), Variant("Rome")}), {}));
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");
    EXPECT_TRUE(ds->Locate("AGE", Variant("52"), {}));  // text keys convert
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Eve");
    EXPECT_THROW(ds->Locate("NOPE", Variant(1), {}), EDatabaseError);

    ds->First();
    EXPECT_EQ(ds->Lookup("NAME", Variant("Carl"), "AGE").AsInteger(), 40);
    Variant both = ds->Lookup("CITY", Variant("Paris"), "NAME;AGE");
    EXPECT_EQ(both[0].AsString(), "Dora");
    EXPECT_EQ(both[1].AsInteger(), 25);
    EXPECT_TRUE(VarIsNull(ds->Lookup("NAME", Variant("Zed"), "AGE")));
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Ann");  // Lookup does not move

    // FindFirst/FindNext use OnFilterRecord without Filtered.
    ds->OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("CITY")->AsString() == "Rome"; };
    EXPECT_TRUE(ds->FindFirst());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");
    EXPECT_TRUE(ds->FindNext());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Eve");
    EXPECT_FALSE(ds->FindNext());
    EXPECT_FALSE(ds->Found());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Eve");
    EXPECT_TRUE(ds->FindPrior());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "bob");
    EXPECT_TRUE(ds->FindLast());
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "Eve");
}

TEST(DataSetFilter, OnFilterRecordLimitsTheView) {
    auto ds = FivePeople();
    int calls = 0;
    ds->SetOnFilterRecord([&](TDataSet* d, bool& accept) {
        ++calls;
        EXPECT_EQ(d->State(), dsFilter);
        accept = d->FieldByName("AGE")->AsInteger() < 35;
    });
    EXPECT_EQ(calls, 0);  // not filtered yet
    ds->SetFiltered(true);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(Names(ds.get()), "Ann,bob,Dora");
    EXPECT_EQ(ds->RecordCount(), 3);
    ds->Last();
    EXPECT_EQ(ds->RecNo(), 3);
    EXPECT_TRUE(ds->Locate("NAME", Variant("Dora"), {}));
    EXPECT_FALSE(ds->Locate("NAME", Variant("Eve"), {}));
    // A record edited out of the filter leaves the view after Post.
    ds->First();
    ds->Edit();
    ds->FieldByName("AGE")->SetAsInteger(80);
    ds->Post();
    EXPECT_EQ(Names(ds.get()), "bob,Dora");
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 5);
    // A handler that raises leaves the dataset usable.
    ds->SetOnFilterRecord([](TDataSet*, bool&) { throw EDatabaseError("bad filter"); });
    EXPECT_THROW(ds->SetFiltered(true), EDatabaseError);
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->SetOnFilterRecord(nullptr);
    EXPECT_EQ(Names(ds.get()), "Ann,bob,Carl,Dora,Eve");
}

TEST(DataSetCalcFields, CalculatedAndLookupFields) {
    // Cities: CODE, TITLE.
    TMemDataSet cities(nullptr);
    cities.FieldDefs()->Add("CODE", ftString, 10);
    cities.FieldDefs()->Add("TITLE", ftString, 30);
    cities.Open();
    cities.AppendRecord({Variant("Oslo"), Variant("Oslo, Norway")});
    cities.AppendRecord({Variant("Rome"), Variant("Rome, Italy")});

    TMemDataSet people(nullptr);
    people.FieldDefs()->Add("NAME", ftString, 20);
    people.FieldDefs()->Add("AGE", ftInteger);
    people.FieldDefs()->Add("CITY", ftString, 20);
    // Persistent fields: the data fields, a calculated field and a lookup field.
    auto* name = new TStringField(&people);
    name->SetFieldName("NAME");
    name->SetDataSet(&people);
    auto* age = new TIntegerField(&people);
    age->SetFieldName("AGE");
    age->SetDataSet(&people);
    auto* city = new TStringField(&people);
    city->SetFieldName("CITY");
    city->SetDataSet(&people);
    auto* months = new TIntegerField(&people);
    months->SetFieldName("MONTHS");
    months->SetFieldKind(fkCalculated);
    months->SetDataSet(&people);
    auto* title = new TStringField(&people);
    title->SetFieldName("CITYTITLE");
    title->SetSize(30);
    title->SetFieldKind(fkLookup);
    title->SetKeyFields("CITY");
    title->SetLookupDataSet(&cities);
    title->SetLookupKeyFields("CODE");
    title->SetLookupResultField("TITLE");
    title->SetDataSet(&people);
    int calcCalls = 0;
    people.OnCalcFields = [&](TDataSet* d) {
        ++calcCalls;
        EXPECT_EQ(d->State(), dsCalcFields);
        if (!d->FieldByName("AGE")->IsNull())
            d->FieldByName("MONTHS")->SetAsInteger(d->FieldByName("AGE")->AsInteger() * 12);
    };
    people.Open();
    EXPECT_FALSE(people.DefaultFields());
    EXPECT_EQ(people.FieldCount(), 5);
    EXPECT_EQ(months->FieldNo(), -1);
    people.AppendRecord({Variant("Ann"), Variant(2), Variant("Rome")});
    people.AppendRecord({Variant("Bob"), Variant(3), Variant("Paris")});
    people.First();
    EXPECT_EQ(months->AsInteger(), 24);
    EXPECT_EQ(title->AsString(), "Rome, Italy");
    people.Next();
    EXPECT_EQ(months->AsInteger(), 36);
    EXPECT_TRUE(title->IsNull());
    // AutoCalcFields: editing a data field recalculates at once.
    people.Edit();
    age->SetAsInteger(10);
    EXPECT_EQ(months->AsInteger(), 120);
    city->SetAsString("Oslo");
    EXPECT_EQ(title->AsString(), "Oslo, Norway");
    people.Post();
    EXPECT_EQ(title->AsString(), "Oslo, Norway");
    // Writing a data field during OnCalcFields is refused.
    people.OnCalcFields = [](TDataSet* d) { d->FieldByName("AGE")->SetAsInteger(1); };
    EXPECT_THROW(people.First(), EDatabaseError);
    people.OnCalcFields = nullptr;
    EXPECT_GT(calcCalls, 0);

    // A cached lookup reads its list once.
    title->SetLookupCache(true);
    people.Close();
    people.Open();
    EXPECT_EQ(title->LookupList()->Count(), 2);
    people.Last();
    EXPECT_EQ(title->AsString(), "Oslo, Norway");

    // Lookup information must be complete.
    people.Close();
    title->SetLookupResultField("");
    try {
        people.Open();
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Lookup information for field 'CITYTITLE' is incomplete");
    }
    EXPECT_FALSE(people.Active());
}

TEST(DataSetFields, PersistentFieldsAndDefinitions) {
    TMemDataSet ds(nullptr);
    ds.FieldDefs()->Add("A", ftInteger);
    ds.FieldDefs()->Add("B", ftString, 5);
    EXPECT_THROW(ds.FieldDefs()->Add("a", ftString, 3), EDatabaseError);
    auto* wrong = new TStringField(&ds);
    wrong->SetFieldName("A");
    wrong->SetDataSet(&ds);
    try {
        ds.Open();
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Type mismatch for field 'A', expecting: String actual: Integer");
    }
    delete wrong;
    EXPECT_EQ(ds.FieldCount(), 0);
    ds.Open();
    TStringList names;
    ds.GetFieldNames(&names);
    EXPECT_EQ(names.CommaText(), "A,B");
    EXPECT_EQ(ds.FieldByName("b")->FieldNo(), 2);
    EXPECT_EQ(ds.FieldByName("B")->Size(), 5);
    EXPECT_EQ(ds.Fields(0)->ClassName(), "TIntegerField");
    try {
        ds.FieldByName("C");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'C' not found");
    }
    EXPECT_EQ(ds.FindField("C"), nullptr);
    auto* extra = new TStringField(nullptr);
    EXPECT_THROW(extra->SetDataSet(&ds), EDatabaseError);  // the dataset is open
    delete extra;
    ds.AppendRecord({Variant(1), Variant("abcdefgh")});
    EXPECT_EQ(ds.FieldValues("B").AsString(), "abcde");  // truncated to Size
    ds.Edit();
    ds.SetFieldValues("A;B", VarArrayOf({Variant(7), Variant("xy")}));
    ds.Post();
    Variant v = ds.FieldValues("A;B");
    EXPECT_EQ(v[0].AsInteger(), 7);
    EXPECT_EQ(v[1].AsString(), "xy");
}

// A container that stores the components it owns, as a data module does.
class TTestModule : public TComponent {
    HOST_CLASS(TTestModule, TComponent)
public:
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
        (void)Root;
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent()) Proc(Components(i));
    }
};

TEST(DataSetStreaming, FieldsAndSourcesInFormFiles) {
    RegisterClasses({TTestModule::StaticClass(), TMemDataSet::StaticClass()});
    TTestModule module(nullptr);
    module.SetName("Module");
    auto* ds = new TMemDataSet(&module);
    ds->SetName("People");
    ds->SetFilter("AGE > 3");
    auto* name = new TStringField(&module);
    name->SetName("PeopleNAME");
    name->SetFieldName("NAME");
    name->SetSize(12);
    name->SetDisplayLabel("Full name");
    name->SetDataSet(ds);
    auto* months = new TIntegerField(&module);
    months->SetName("PeopleMONTHS");
    months->SetFieldName("MONTHS");
    months->SetFieldKind(fkCalculated);
    months->SetDataSet(ds);
    auto* src = new TDataSource(&module);
    src->SetName("Src");
    src->SetDataSet(ds);
    src->SetAutoEdit(false);

    TMemoryStream bin;
    bin.WriteComponent(&module);
    std::string text = ObjectBinaryToTextString(
        std::string(static_cast<const char*>(bin.Memory()), static_cast<size_t>(bin.Size())));
    EXPECT_NE(text.find("  object People: TMemDataSet\n    Filter = 'AGE > 3'\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    object PeopleNAME: TStringField\n      DisplayLabel = 'Full name'\n"
                        "      FieldName = 'NAME'\n      Size = 12\n    end\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("      FieldKind = fkCalculated\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    AutoEdit = False\n    DataSet = People\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Alignment"), std::string::npos);  // defaults are left out

    TTestModule copy(nullptr);
    bin.SetPosition(0);
    bin.ReadComponent(&copy);
    auto* ds2 = dynamic_cast<TMemDataSet*>(copy.FindComponent("People"));
    ASSERT_NE(ds2, nullptr);
    ASSERT_EQ(ds2->FieldCount(), 2);
    EXPECT_EQ(ds2->Fields(0)->FieldName(), "NAME");
    EXPECT_EQ(ds2->Fields(0)->Size(), 12);
    EXPECT_EQ(ds2->Fields(0)->DisplayLabel(), "Full name");
    EXPECT_EQ(ds2->Fields(1)->FieldKind(), fkCalculated);
    EXPECT_EQ(ds2->Filter(), "AGE > 3");
    auto* src2 = dynamic_cast<TDataSource*>(copy.FindComponent("Src"));
    ASSERT_NE(src2, nullptr);
    EXPECT_EQ(src2->DataSet(), ds2);
    EXPECT_FALSE(src2->AutoEdit());
    // The persistent fields work once the dataset opens.
    ds2->FieldDefs()->Add("NAME", ftString, 12);
    ds2->Open();
    ds2->AppendRecord({Variant("Ann")});
    EXPECT_EQ(ds2->FieldByName("NAME")->AsString(), "Ann");
    EXPECT_EQ(src2->State(), dsBrowse);
}

}  // namespace
