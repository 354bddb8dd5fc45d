// Tests of the engine filter object and the filter components on SQLite tables: lifecycle, priorities, the record callback, stream form, data links.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../host/db/db_fixture.h"
#include "data/ryxda.h"
#include "data/ryxdabde.h"
#include "data/ryxfiltr.h"
#include "host/app/app.h"
#include "host/controls/forms.h"
#include "host/rtl/formtext.h"
#include "host/db/dbtables.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

using namespace host;
using namespace ryx;

namespace {

// A table class of its own: no adapter is registered for it, so it gets the base adapter.
class TPlainTable : public TTable {
    HOST_CLASS(TPlainTable, TTable)
public:
    using TTable::TTable;
};

std::vector<std::string>* GOrder = nullptr;
int ProbeFilter(uintptr_t, const uint8_t*, int32_t) {
    if (GOrder != nullptr) GOrder->push_back("probe");
    return 1;
}

class FilterTest : public dbtest::TDbTemp {
protected:
    void SetUp() override {
        TDbTemp::SetUp();
        ryxDSAdapterFactory()->RegisterAdapter(TryxTableAdapter::StaticClass());
        Table = MakeTable<TTable>();
    }
    void TearDown() override {
        Table.reset();
        ryxDSAdapterFactory()->UnRegisterAdapter(TryxTableAdapter::StaticClass());
        TDbTemp::TearDown();
    }
    // PEOPLE: Ann 25, Bob 31, Cid 40, Dee 35, Eve 19; Note is 300 characters long for Cid.
    template <class T>
    std::unique_ptr<T> MakeTable() {
        auto t = std::make_unique<T>(nullptr);
        t->SetDatabaseName(Path("people.db"));
        t->SetTableName("PEOPLE");
        if (!FMade) {
            t->FieldDefs()->Add("Id", ftInteger, 0, true);
            t->FieldDefs()->Add("Name", ftString, 20);
            t->FieldDefs()->Add("Age", ftInteger);
            t->FieldDefs()->Add("Note", ftString, 400);
            t->FieldDefs()->Add("Memo", ftMemo);
            t->IndexDefs()->Add("", "Id", {ixPrimary});
            t->CreateTable();
            t->Open();
            const std::vector<std::pair<std::string, int>> rows{{"Ann", 25}, {"Bob", 31}, {"Cid", 40}, {"Dee", 35},
                                                                 {"Eve", 19}};
            int id = 1;
            for (const auto& r : rows) {
                t->Append();
                t->FieldByName("Id")->SetAsInteger(id++);
                t->FieldByName("Name")->SetAsString(r.first);
                t->FieldByName("Age")->SetAsInteger(r.second);
                t->FieldByName("Note")->SetAsString(std::string(r.first == "Cid" ? 300 : 3, 'n'));
                t->FieldByName("Memo")->SetAsString(r.first + " memo");
                t->Post();
            }
            FMade = true;
        } else {
            t->Open();
        }
        return t;
    }
    static std::string Names(TDataSet* T) {
        std::string out;
        for (T->First(); !T->Eof(); T->Next()) out += T->FieldByName("Name")->AsString() + " ";
        return out;
    }
    std::unique_ptr<TTable> Table;
    bool FMade = false;
};

std::string MessageOf(const std::function<void()>& Body) {
    try {
        Body();
    } catch (Exception& E) {
        return std::string(E.ClassName()) + ": " + E.Message();
    }
    return "";
}

}  // namespace

TEST_F(FilterTest, EngineFilterLifecycleWithBothKindsAndPriorities) {
    TryxBDEFilterObject none(nullptr);
    EXPECT_EQ(MessageOf([&] { none.DoDbiAddFilter(); }), "EryxInvalidFilterOperation: DataSet required");
    TryxBDEFilterObject f(Table.get());
    EXPECT_EQ(MessageOf([&] { f.DoDbiAddFilter(); }), "EryxInvalidFilterOperation: Filter expression is empty");
    EXPECT_EQ(MessageOf([&] { f.DoDbiActivateFilter(); }),
              "EryxInvalidFilterOperation: Invalid filter handle.  Filter must be prepared before use");

    int activations = 0;
    f.OnActivate = [&](TObject* Sender) { activations += Sender == &f; };
    f.SetFilter("Age >= 30");
    EXPECT_TRUE(f.HandleAllocated());
    EXPECT_FALSE(f.Active());
    EXPECT_EQ(Names(Table.get()), "Ann Bob Cid Dee Eve ");
    Table->Last();
    f.Activate();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "Bob");  // GoToFirst
    EXPECT_EQ(Names(Table.get()), "Bob Cid Dee ");
    EXPECT_FALSE(Table->Filtered());

    // A handler assigned while the expression filter is in place joins at the next activation.
    std::vector<std::string> order;
    GOrder = &order;
    f.SetOnFilterRecord([&](TDataSet*, bool& Accept) {
        order.push_back("handler");
        Accept = f.ParamByName("Name")->AsString() != "Cid";
    });
    f.Deactivate();
    f.Activate();
    EXPECT_EQ(Names(Table.get()), "Bob Dee ");
    EXPECT_THROW(f.ParamByName("Name"), EryxInvalidFilterOperation);  // outside the callback

    // Expression at P, callback at P + 1: a probe at P runs before the handler, one at P + 1 after it.
    for (uint16_t p : {uint16_t(1), uint16_t(2)}) {
        hDBIFilter probe = nullptr;
        ASSERT_EQ(DbiAddFilter(Table->Handle(), 0, p, false, nullptr, &ProbeFilter, probe), DBIERR_NONE);
        DbiActivateFilter(Table->Handle(), probe);
        order.clear();
        Table->Refresh();
        Names(Table.get());
        ASSERT_GE(order.size(), 2u);
        EXPECT_EQ(order[0], p == 1 ? "probe" : "handler") << p;
        DbiDropFilter(Table->Handle(), probe);
    }
    // A new priority re-adds the filters and keeps them active.
    f.SetPriority(7);
    EXPECT_TRUE(f.Active());
    hDBIFilter probe = nullptr;
    DbiAddFilter(Table->Handle(), 0, 7, false, nullptr, &ProbeFilter, probe);
    DbiActivateFilter(Table->Handle(), probe);
    order.clear();
    Names(Table.get());
    EXPECT_EQ(order[0], "probe");
    DbiDropFilter(Table->Handle(), probe);
    GOrder = nullptr;
    EXPECT_THROW(f.SetPriority(65535), ERangeError);
    EXPECT_EQ(f.Priority(), 7);

    // An empty text on a deactivated filter drops the expression for good.
    f.Deactivate();
    f.SetFilter("");
    f.Activate();
    EXPECT_EQ(Names(Table.get()), "Ann Bob Dee Eve ");
    f.SetOnFilterRecord(nullptr);
    EXPECT_FALSE(f.Active());
    f.DoDbiDropFilter();
    EXPECT_FALSE(f.HandleAllocated());
    EXPECT_THROW(f.ParamByName("Name"), EryxInvalidFilterOperation);

    // An empty text on an active expression-only filter drops it; a bad text changes nothing.
    f.SetFilter("Age < 30");
    f.Activate();
    EXPECT_THROW(f.SetFilter("Age <"), Exception);
    EXPECT_EQ(Names(Table.get()), "Ann Eve ");
    f.SetFilter("");
    EXPECT_FALSE(f.Active());
    EXPECT_EQ(Names(Table.get()), "Ann Bob Cid Dee Eve ");
}

TEST_F(FilterTest, FailedCallbackFilterLeavesNothingBehind) {
    TryxBDEFilterObject f(Table.get());
    f.SetFilter("Age >= 30");
    f.SetOnFilterRecord([](TDataSet*, bool& Accept) { Accept = false; });
    DbiInjectFailure("DbiAddFilter", 2, DBIERR_NOTSUPPORTED);
    EXPECT_THROW(f.Activate(), EDBEngineError);
    EXPECT_FALSE(f.HandleAllocated());
    EXPECT_FALSE(f.Active());
    EXPECT_EQ(Names(Table.get()), "Ann Bob Cid Dee Eve ");

    const TFilterRecordEvent handler = f.OnFilterRecord();
    f.SetOnFilterRecord(nullptr);
    f.SetPriority(65535);
    f.SetOnFilterRecord(handler);  // no room for the record filter: refused before anything is added
    EXPECT_THROW(f.Activate(), ERangeError);
    EXPECT_FALSE(f.HandleAllocated());
    EXPECT_EQ(Names(Table.get()), "Ann Bob Cid Dee Eve ");
}

TEST_F(FilterTest, CallbackReadsLongValuesAndReportsItsExceptions) {
    TryxBDEFilterObject f(Table.get());
    std::vector<std::string> seen;
    f.SetOnFilterRecord([&](TDataSet*, bool& Accept) {
        const std::string name = f.ParamByName("Name")->AsString();
        seen.push_back(name + ":" + std::to_string(f.ParamByName("Note")->AsString().size()) + ":" +
                       f.ParamByName("Memo")->AsString());
        if (name == "Bob") throw EConvertError("Bob cannot be judged");
        Accept = f.ParamByName("Age")->AsInteger() > 30;
    });
    if (Application == nullptr) RecreateApplication();
    std::vector<std::string> reported;
    Application->OnException = [&](TObject* Sender, Exception& E) {
        reported.push_back(std::string(Sender == &f ? "filter: " : "other: ") + E.Message());
    };
    f.Activate();
    const std::string names = Names(Table.get());
    Application->OnException = nullptr;
    EXPECT_EQ(names, "Bob Cid Dee ");  // Bob passes: the handler failed on him
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported[0], "filter: Bob cannot be judged");
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Cid:300:Cid memo"), seen.end());
}

TEST_F(FilterTest, FilterTextStreamForm) {
    for (size_t len : {size_t(255), size_t(300)}) {
        TryxDBFilter f(nullptr);
        f.SetFilter(std::string(len, 'x'));
        const std::string file = Path("filter" + std::to_string(len) + ".flt");
        f.SaveToFile(file);
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(file, bytes));
        if (len == 255) {
            ASSERT_EQ(bytes.size(), 257u);
            EXPECT_EQ(uint8_t(bytes[0]), 6);
            EXPECT_EQ(uint8_t(bytes[1]), 255);
        } else {
            ASSERT_EQ(bytes.size(), 305u);
            EXPECT_EQ(bytes.substr(0, 5), std::string("\x0c\x2c\x01\x00\x00", 5));
        }
        EXPECT_EQ(bytes.substr(bytes.size() - len), std::string(len, 'x'));
        TryxDBFilter g(nullptr);
        g.LoadFromFile(file);
        EXPECT_EQ(g.Filter(), f.Filter());
    }
    // A cut stream raises and keeps the text.
    TryxDBFilter g(nullptr);
    g.SetFilter("Age > 1");
    TMemoryStream cut;
    cut.Write("\x0c\x2c\x01\x00\x00xx", 7);
    cut.SetPosition(0);
    EXPECT_THROW(g.LoadFromStream(&cut), Exception);
    EXPECT_EQ(g.Filter(), "Age > 1");
}

TEST_F(FilterTest, DataLinkFilterFollowsCloseReopenAndSourceChanges) {
    TDataSource source(nullptr);
    source.SetDataSet(Table.get());
    auto filter = std::make_unique<TryxDBFilter>(nullptr);
    int activations = 0;
    filter->OnActivate = [&](TObject*) { ++activations; };
    filter->SetDataSource(&source);
    filter->SetFilter("Age >= 30");
    EXPECT_TRUE(filter->Active());
    EXPECT_EQ(Names(Table.get()), "Bob Cid Dee ");
    EXPECT_EQ(Table->Filter(), "");  // the engine filter leaves the dataset's own alone

    Table->Close();
    Table->Open();
    EXPECT_TRUE(filter->Active());
    EXPECT_EQ(Names(Table.get()), "Bob Cid Dee ");
    EXPECT_EQ(activations, 2);

    // A data source switched to another open dataset: the filter follows it.
    auto other = MakeTable<TTable>();
    source.SetDataSet(other.get());
    other->First();
    EXPECT_EQ(Names(other.get()), "Bob Cid Dee ");
    EXPECT_EQ(filter->DataSet(), other.get());
    EXPECT_EQ(Names(Table.get()), "Ann Bob Cid Dee Eve ");

    // The dataset goes first, then the component.
    other.reset();
    EXPECT_EQ(filter->DataSet(), nullptr);
    filter.reset();
}

TEST_F(FilterTest, SingleFilterDatasetAndEdit) {
    auto plain = MakeTable<TPlainTable>();
    TryxDBDataSetFilter f(nullptr);
    f.SetFilterOptions({foCaseInsensitive});
    f.SetFilter("Name = 'c*'");
    f.SetDataSet(plain.get());
    EXPECT_TRUE(f.Active());
    EXPECT_TRUE(plain->Filtered());
    EXPECT_EQ(plain->Filter(), "Name = 'c*'");
    EXPECT_EQ(Names(plain.get()), "Cid ");
    f.SetDataSet(nullptr);  // let go: unfiltered
    EXPECT_FALSE(plain->Filtered());
    EXPECT_EQ(Names(plain.get()), "Ann Bob Cid Dee Eve ");

    // Edit without a dialog says no; with one it takes the text and both flags.
    f.SetDataSet(plain.get());
    EXPECT_FALSE(f.Edit());
    static bool inPartial = false, inCase = false;
    ryxSetFilterDialogProcs(nullptr, [](TDataSet*, TryxDatasetAdapter*, std::string& Text, bool& CaseInsensitive,
                                        bool& Partial, bool, THelpContext) {
        inPartial = Partial;
        inCase = CaseInsensitive;
        Text = "Name = 'B*'";
        CaseInsensitive = false;
        Partial = false;
        return true;
    });
    EXPECT_TRUE(f.Edit());
    ryxSetFilterDialogProcs(nullptr, nullptr);
    EXPECT_TRUE(inPartial);
    EXPECT_TRUE(inCase);
    EXPECT_EQ(f.FilterOptions(), TFilterOptions{foNoPartialCompare});
    EXPECT_EQ(Names(plain.get()), "");  // 'B*' is literal now
}

TEST_F(FilterTest, FilterComponentStreamsWithItsForm) {
    RegisterClasses({TTable::StaticClass(), TDataSource::StaticClass(), TryxDBFilter::StaticClass()});
    Table->Close();
    const std::string text = "object DM: TDataModule\n"
                             "  object T: TTable\n"
                             "    Active = True\n"
                             "    DatabaseName = '" + Path("people.db") + "'\n"
                             "    TableName = 'PEOPLE'\n"
                             "  end\n"
                             "  object DS: TDataSource\n    DataSet = T\n  end\n"
                             "  object F: TryxDBFilter\n"
                             "    DataSource = DS\n"
                             "    Filter = 'Name = ''c*'''\n"
                             "    FilterOptions = [foCaseInsensitive]\n"
                             "  end\n"
                             "end\n";
    TDataModule dm(nullptr, 0);
    TStringStream in(ObjectTextToBinaryString(text));
    in.ReadComponent(&dm);
    auto* t = static_cast<TTable*>(dm.FindComponent("T"));
    auto* f = static_cast<TryxDBFilter*>(dm.FindComponent("F"));
    ASSERT_TRUE(t != nullptr && f != nullptr);
    EXPECT_EQ(f->DataSet(), t);
    EXPECT_TRUE(f->Active());
    EXPECT_EQ(Names(t), "Cid ");

    TMemoryStream out;
    out.WriteComponent(f);
    const std::string written =
        ObjectBinaryToTextString(std::string(static_cast<const char*>(out.Memory()), size_t(out.Size())));
    EXPECT_NE(written.find("FilterOptions = [foCaseInsensitive]"), std::string::npos) << written;
    EXPECT_NE(written.find("DataSource = DM.DS"), std::string::npos) << written;
    EXPECT_EQ(written.find("AutoActivate"), std::string::npos) << written;
}
