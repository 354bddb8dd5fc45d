// The adapter factory (exact classes, newest first, double registration) and the base adapter (Locate, the dataset's own filter, harmless no-ops).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "adapters_fixture.h"
#include "data/ryxda.h"
#include "data/ryxdabde.h"
#include "data/ryxdbacc.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"

using namespace host;
using namespace ryx;

namespace {

// An application's own adapter for tables, registered after the package's.
class TTestTableAdapter : public TryxTableAdapter {
    RYX_ADAPTER_CLASS(TTestTableAdapter, TryxTableAdapter, host::TTable)
public:
    using TryxTableAdapter::TryxTableAdapter;
    std::string GetDescription() override { return "mine"; }
};

// Inherits its parent's DatasetClass without declaring one.
class TUndeclaredAdapter : public TryxQueryAdapter {
    HOST_CLASS(TUndeclaredAdapter, TryxQueryAdapter)
public:
    using TryxQueryAdapter::TryxQueryAdapter;
};

class DatasetAdapterTest : public adtest::TAdapterTest {};

}  // namespace

TEST_F(DatasetAdapterTest, FactoryMatchesExactClassesNewestFirst) {
    auto table = People(Path("p.db"), Crowd());
    TryxLocalTable local(nullptr);  // a descendant of TTable
    TQuery query(nullptr);
    TryxDSAdapterFactory factory;

    // Nothing registered: the base adapter for every dataset.
    EXPECT_EQ(factory.CreateAdapter(table.get())->ClassType(), TryxDatasetAdapter::StaticClass());
    EXPECT_EQ(factory.GetAdapterClass(TTable::StaticClass()), nullptr);

    factory.RegisterAdapter(TryxDBDatasetAdapter::StaticClass());
    factory.RegisterAdapter(TryxQueryAdapter::StaticClass());
    factory.RegisterAdapter(TryxTableAdapter::StaticClass());
    ASSERT_EQ(factory.Count(), 3);
    EXPECT_EQ(factory.AdapterClasses(0), TryxTableAdapter::StaticClass());
    EXPECT_EQ(factory.DatasetClasses(0), TTable::StaticClass());
    EXPECT_EQ(factory.DatasetClasses(2), TDBDataSet::StaticClass());

    auto a = factory.CreateAdapter(table.get());
    EXPECT_EQ(a->ClassType(), TryxTableAdapter::StaticClass());
    EXPECT_EQ(a->Dataset(), table.get());
    EXPECT_EQ(factory.CreateAdapter(&query)->ClassType(), TryxQueryAdapter::StaticClass());
    // A descendant of a registered dataset class does not match it.
    EXPECT_EQ(factory.CreateAdapter(&local)->ClassType(), TryxDatasetAdapter::StaticClass());
    EXPECT_EQ(factory.GetAdapterClassDefault(TryxLocalTable::StaticClass()), TryxDatasetAdapter::StaticClass());

    // The newest registration for a dataset class wins; unregistering it
    // brings the older one back.
    factory.RegisterAdapter(TTestTableAdapter::StaticClass());
    EXPECT_EQ(factory.CreateAdapter(table.get())->GetDescription(), "mine");
    factory.UnRegisterAdapter(TTestTableAdapter::StaticClass());
    EXPECT_EQ(factory.CreateAdapter(table.get())->GetDescription(), "PEOPLE");

    // Twice registered, once unregistered: still in force.
    factory.RegisterAdapter(TTestTableAdapter::StaticClass());
    factory.RegisterAdapter(TTestTableAdapter::StaticClass());
    factory.UnRegisterAdapter(TTestTableAdapter::StaticClass());
    EXPECT_EQ(factory.GetAdapterClass(TTable::StaticClass()), TTestTableAdapter::StaticClass());
    factory.UnRegisterAdapter(TTestTableAdapter::StaticClass());
    EXPECT_EQ(factory.GetAdapterClass(TTable::StaticClass()), TryxTableAdapter::StaticClass());

    // An adapter class without a declaration of its own answers its parent's dataset class.
    EXPECT_EQ(AdapterDatasetClass(TUndeclaredAdapter::StaticClass()), TQuery::StaticClass());
    factory.RegisterAdapter(TUndeclaredAdapter::StaticClass());
    EXPECT_EQ(factory.CreateAdapter(&query)->ClassType(), TUndeclaredAdapter::StaticClass());

    // Unregistering everything returns to the base adapter; unknown classes are ignored.
    for (TClass c : {TUndeclaredAdapter::StaticClass(), TryxTableAdapter::StaticClass(),
                     TryxQueryAdapter::StaticClass(), TryxDBDatasetAdapter::StaticClass(),
                     TryxStoredProcAdapter::StaticClass()})
        factory.UnRegisterAdapter(c);
    EXPECT_EQ(factory.Count(), 0);
    EXPECT_EQ(factory.CreateAdapter(&query)->ClassType(), TryxDatasetAdapter::StaticClass());

    // Bad input raises instead of storing a class that cannot make adapters.
    EXPECT_THROW(factory.RegisterAdapter(TTable::StaticClass()), EInvalidOperation);
    EXPECT_THROW(factory.RegisterAdapter(nullptr), EInvalidOperation);
    EXPECT_THROW(factory.CreateAdapter(nullptr), EInvalidOperation);
    EXPECT_EQ(factory.Count(), 0);
}

TEST_F(DatasetAdapterTest, TheProcessWideFactoryIsMadeOnDemandAndFreed) {
    ryxFreeDSAdapterFactory();
    EXPECT_FALSE(ryxDSAdapterFactoryExists());
    TryxDSAdapterFactory* f = ryxDSAdapterFactory();
    EXPECT_EQ(ryxDSAdapterFactory(), f);
    EXPECT_TRUE(ryxDSAdapterFactoryExists());
    ryxFreeDSAdapterFactory();
    EXPECT_FALSE(ryxDSAdapterFactoryExists());
}

TEST_F(DatasetAdapterTest, BaseAdapterLocatesAndFiltersThroughTheDatasetItself) {
    auto table = People(Path("p.db"), Crowd(), "ByName");
    TryxDatasetAdapter a(table.get());

    EXPECT_EQ(a.GetDescription(), "");  // the component has no name
    table->SetName("People");
    EXPECT_EQ(a.GetDescription(), "People");
    EXPECT_TRUE(a.IsLocateEnabled());
    EXPECT_EQ(a.GetSearchMethod(), rsmLocate);
    EXPECT_TRUE(a.Locate("Name;Age", VarArrayOf({"Bob", 25}), {}));
    EXPECT_EQ(table->FieldByName("Id")->AsInteger(), 3);
    EXPECT_TRUE(a.Locate("Name", "ev", TLocateOptions{loCaseInsensitive, loPartialKey}));
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Eve");
    EXPECT_FALSE(a.Locate("Name", "Zed", {}));

    // The filter operations are the dataset's own Filter, Filtered, options and handler.
    EXPECT_TRUE(a.IsFilterEnabled());
    EXPECT_TRUE(a.IsSingleFilter());
    a.SetFilterText("Age > 30");
    a.SetFilterOptions(TFilterOptions{foCaseInsensitive});
    a.SetFiltered(true);
    EXPECT_EQ(table->Filter(), "Age > 30");
    EXPECT_TRUE(table->Filtered());
    EXPECT_TRUE(a.GetFiltered());
    EXPECT_EQ(a.GetFilterOptions(), TFilterOptions{foCaseInsensitive});
    EXPECT_EQ(table->RecordCount(), 3);
    int calls = 0;
    a.SetOnFilterRecord([&calls](TDataSet* D, bool& Accept) {
        ++calls;
        Accept = D->FieldByName("Name")->AsString() != "Bob";
    });
    EXPECT_TRUE(a.GetOnFilterRecord().Assigned());
    table->First();
    std::vector<std::string> names;
    for (; !table->Eof(); table->Next()) names.push_back(table->FieldByName("Name")->AsString());
    EXPECT_EQ(names, (std::vector<std::string>{"Cid", "Eve"}));
    EXPECT_GT(calls, 0);
    a.SetFiltered(false);
    EXPECT_EQ(table->RecordCount(), 6);

    // The base keeps no priority.
    a.SetFilterPriority(7);
    EXPECT_EQ(a.GetFilterPriority(), 0);
}

TEST_F(DatasetAdapterTest, BaseAdapterOffersNothingElseAndNeverRaises) {
    auto table = People(Path("p.db"), Crowd());
    TQuery query(nullptr);
    query.SetDatabaseName(Path("p.db"));
    query.SQL()->SetText("select * from PEOPLE where Age > :Min");
    TryxDatasetAdapter onTable(table.get());
    TryxDatasetAdapter onQuery(&query);

    // Parameters exist on the query, but the base adapter does not offer them.
    EXPECT_FALSE(onQuery.IsParamsEnabled());
    EXPECT_EQ(onQuery.GetParams(), nullptr);
    // Operations of groups it does not offer leave the table as it was.
    TStringList list;
    list.Add("kept");
    onTable.GetIndexNames(&list);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_NO_THROW({
        onTable.EmptyTable();
        onTable.StartTransaction();
        onTable.SetKey();
        onTable.SetRange(1, 3);
        onTable.FindNearest(2);
    });
    EXPECT_FALSE(onTable.FindKey(1));
    EXPECT_EQ(table->RecordCount(), 6);
    EXPECT_EQ(table->State(), dsBrowse);

    // Read-only means "cannot be modified": a table can, a non-live query cannot.
    EXPECT_FALSE(onTable.GetReadOnly());
    query.ParamByName("Min")->SetAsInteger(30);
    query.Open();
    EXPECT_TRUE(onQuery.GetReadOnly());
}

TEST(AddStrIndentTest, IndentsByLevelWithTwoBlanks) {
    TStringList list;
    TryxDatasetAdapter::AddStrIndent("top", 0, &list);
    TryxDatasetAdapter::AddStrIndent("neg", -3, &list);
    TryxDatasetAdapter::AddStrIndent("two", 2, &list);
    TryxDatasetAdapter::AddStrIndent("", 1, &list);
    TryxDatasetAdapter::AddStrIndent("ignored", 1, nullptr);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Strings(0), "top");
    EXPECT_EQ(list.Strings(1), "neg");
    EXPECT_EQ(list.Strings(2), "    two");
    EXPECT_EQ(list.Strings(3), "  ");
}
