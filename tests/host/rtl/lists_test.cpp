// Tests of TList, TStrings and TStringList: order, duplicates, text forms, values, updates and files.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

std::vector<std::string> Items(const TStrings& List) {
    std::vector<std::string> r;
    for (int i = 0; i < List.Count(); ++i) r.push_back(List.Strings(i));
    return r;
}

using Strs = std::vector<std::string>;

template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "<no exception>";
}

// Counts the notifications a list sends for the items that enter and leave it.
class TCountingList : public TList {
public:
    ~TCountingList() override { Clear(); }
    int Added = 0, Extracted = 0, Deleted = 0;

protected:
    void Notify(void*, TListNotification Action) override {
        (Action == lnAdded ? Added : Action == lnExtracted ? Extracted : Deleted)++;
    }
};

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

}  // namespace

// ---- TList ----

TEST(ListTest, InsertDeleteAndIndexErrors) {
    TList list;
    list.Add(P(1));
    list.Add(P(3));
    list.Insert(1, P(2));
    list.Insert(3, P(4));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(1), P(2));
    EXPECT_EQ(list.First(), P(1));
    EXPECT_EQ(list.Last(), P(4));
    EXPECT_EQ(list.IndexOf(P(3)), 2);
    EXPECT_EQ(list.IndexOf(P(9)), -1);
    EXPECT_EQ(list.Remove(P(3)), 2);
    EXPECT_EQ(list.Remove(P(3)), -1);
    EXPECT_EQ(MessageOf<EListError>([&] { list.Items(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(5, nullptr); }), "List index out of bounds (5)");
    TList empty;
    EXPECT_THROW(empty.First(), EListError);
}

TEST(ListTest, MoveExchangePackAndCount) {
    TList list;
    for (intptr_t i = 1; i <= 5; ++i) list.Add(P(i));
    list.Move(0, 3);  // 2 3 4 1 5
    list.Move(4, 1);  // 2 5 3 4 1
    list.Exchange(0, 4);
    std::vector<void*> got(list.List(), list.List() + list.Count());
    EXPECT_EQ(got, (std::vector<void*>{P(1), P(5), P(3), P(4), P(2)}));
    EXPECT_THROW(list.Move(0, 5), EListError);
    EXPECT_THROW(list.Exchange(0, 5), EListError);

    list.SetCount(7);
    EXPECT_EQ(list.Items(6), nullptr);
    list.Put(1, nullptr);
    list.Pack();
    EXPECT_EQ(list.Count(), 4);
    list.SetCount(2);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Last(), P(3));
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(1); }), "List capacity out of bounds (1)");
    EXPECT_THROW(list.SetCount(-1), EListError);
}

TEST(ListTest, NotificationsForNonNullItems) {
    TCountingList list;
    list.Add(P(1));
    list.Add(nullptr);
    list.Add(P(2));
    list.Put(0, P(3));  // one out, one in
    EXPECT_EQ(list.Extract(P(2)), P(2));
    EXPECT_EQ(list.Extract(P(2)), nullptr);
    list.Delete(0);
    EXPECT_EQ(list.Added, 3);
    EXPECT_EQ(list.Extracted, 1);
    EXPECT_EQ(list.Deleted, 2);
    list.Add(P(4));
    list.Clear();
    EXPECT_EQ(list.Deleted, 3);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ListTest, SortIsStable) {
    struct Rec {
        int key, order;
    };
    std::vector<Rec> recs{{3, 0}, {1, 1}, {3, 2}, {2, 3}, {1, 4}};
    TList list;
    for (auto& r : recs) list.Add(&r);
    list.Sort([](void* a, void* b) { return static_cast<Rec*>(a)->key - static_cast<Rec*>(b)->key; });
    std::vector<int> order;
    for (int i = 0; i < list.Count(); ++i) order.push_back(static_cast<Rec*>(list.Items(i))->order);
    EXPECT_EQ(order, (std::vector<int>{1, 4, 3, 0, 2}));
}

// ---- TStringList: order, duplicates, case ----

TEST(StringListTest, BasicEditingAndObjects) {
    TStringList list;
    TObject marker;
    list.Add("b");
    list.AddObject("c", &marker);
    list.Insert(0, "a");
    list.Append("d");
    EXPECT_EQ(Items(list), (Strs{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Objects(2), &marker);
    EXPECT_EQ(list.IndexOfObject(&marker), 2);
    list.Move(2, 0);
    EXPECT_EQ(Items(list), (Strs{"c", "a", "b", "d"}));
    EXPECT_EQ(list.Objects(0), &marker);
    list.Exchange(0, 3);
    EXPECT_EQ(list.Objects(3), &marker);
    list.Put(1, "x");
    list.Delete(0);
    EXPECT_EQ(Items(list), (Strs{"x", "b", "c"}));
    EXPECT_EQ(list.IndexOf("B"), 1);  // not case-sensitive by default
    EXPECT_EQ(list.IndexOf("zz"), -1);

    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Strings(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Objects(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(4, "q"); }), "List index out of bounds (4)");
    EXPECT_THROW(list.Delete(3), EStringListError);
    EXPECT_THROW(list.Put(3, ""), EStringListError);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.SetCapacity(2); }), "List capacity out of bounds (2)");
}

TEST(StringListTest, SortedInsertionAndDuplicates) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("m"), 0);
    EXPECT_EQ(list.Add("c"), 0);
    EXPECT_EQ(list.Add("x"), 2);
    EXPECT_EQ(list.Add("M"), 1);  // dupIgnore: the existing index, nothing added
    EXPECT_EQ(Items(list), (Strs{"c", "m", "x"}));

    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(0, "a"); }),
              "Operation not allowed on sorted string list");
    EXPECT_THROW(list.Move(0, 1), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    EXPECT_EQ(Items(list), (Strs{"c", "m", "x"}));

    list.SetDuplicates(dupError);
    EXPECT_EQ(MessageOf<EStringListError>([&] { list.Add("X"); }), "String list does not allow duplicates");
    list.SetDuplicates(dupAccept);
    list.Add("m");
    EXPECT_EQ(Items(list), (Strs{"c", "m", "m", "x"}));

    // Put keeps a sorted list only when the string stays in place.
    list.Put(0, "b");
    EXPECT_THROW(list.Put(0, "z"), EStringListError);
    EXPECT_EQ(Items(list), (Strs{"b", "m", "m", "x"}));
}

TEST(StringListTest, FindGivesIndexOrInsertionPoint) {
    TStringList list;
    list.SetCommaText("d,b,f");
    list.SetSorted(true);
    int index = -1;
    EXPECT_TRUE(list.Find("D", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("c", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find("g", index));
    EXPECT_EQ(index, 3);
    TStringList empty;
    EXPECT_FALSE(empty.Find("a", index));
    EXPECT_EQ(index, 0);
}

TEST(StringListTest, CaseSensitivityAndResorting) {
    TStringList list;
    list.SetCommaText("b,B,a,_,A");
    list.Sort();
    // ASCII letters fold to upper case, so "_" sorts after every letter; equal
    // strings keep their order.
    EXPECT_EQ(Items(list), (Strs{"a", "A", "b", "B", "_"}));
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    EXPECT_EQ(Items(list), (Strs{"A", "B", "_", "a", "b"}));
    EXPECT_EQ(list.IndexOf("a"), 3);
    EXPECT_EQ(list.IndexOf("Z"), -1);
    list.SetCaseSensitive(false);  // sorted again under the new comparison
    EXPECT_EQ(Items(list), (Strs{"A", "a", "B", "b", "_"}));
    EXPECT_LE(list.IndexOf("a"), 1);
    // Bytes above 127 (UTF-8) are not folded and sort after ASCII.
    TStringList utf;
    utf.SetCommaText("\xC3\xA9,z,E");
    utf.SetSorted(true);
    EXPECT_EQ(Items(utf), (Strs{"E", "z", "\xC3\xA9"}));
}

TEST(StringListTest, CustomSortSeesTheListWhileSorting) {
    TStringList list;
    list.SetCommaText("10,9,100,1,55");
    list.CustomSort([](TStringList* l, int i, int j) {
        return std::stoi(l->Strings(i)) - std::stoi(l->Strings(j));
    });
    EXPECT_EQ(Items(list), (Strs{"1", "9", "10", "55", "100"}));
}

// Many insertions and deletions at random places, checked against a plain vector:
// exercises the splitting and joining of the store's blocks.
TEST(StringListTest, LargeListMatchesAReferenceModel) {
    std::mt19937 rng(12345);
    TStringList list;
    std::vector<std::string> model;
    for (int step = 0; step < 20000; ++step) {
        int op = static_cast<int>(rng() % 10);
        if (op < 6 || model.empty()) {
            int at = static_cast<int>(rng() % (model.size() + 1));
            std::string s = std::to_string(rng() % 100000);
            list.Insert(at, s);
            model.insert(model.begin() + at, s);
        } else if (op < 9) {
            int at = static_cast<int>(rng() % model.size());
            list.Delete(at);
            model.erase(model.begin() + at);
        } else {
            int a = static_cast<int>(rng() % model.size()), b = static_cast<int>(rng() % model.size());
            list.Move(a, b);
            std::string s = model[a];
            model.erase(model.begin() + a);
            model.insert(model.begin() + b, s);
        }
    }
    ASSERT_EQ(Items(list), model);
    for (int i = static_cast<int>(model.size()) - 1; i >= 0; i -= 7) ASSERT_EQ(list.Strings(i), model[i]);

    // Sorted adds of random strings land in order; IndexOf finds each by binary search.
    TStringList sorted;
    sorted.SetSorted(true);
    sorted.SetDuplicates(dupAccept);
    std::vector<std::string> all;
    for (int i = 0; i < 30000; ++i) {
        std::string s = "k" + std::to_string(rng() % 50000);
        sorted.Add(s);
        all.push_back(s);
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(Items(sorted), all);
    for (int i = 0; i < 30000; i += 997) EXPECT_EQ(sorted.Strings(sorted.IndexOf(all[i])), all[i]);
    while (sorted.Count() > 10) sorted.Delete(static_cast<int>(rng() % sorted.Count()));
    std::vector<std::string> rest = Items(sorted);
    EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end()));
}

// ---- text forms ----

TEST(StringListTextTest, TextSplitsAtAnyLineBreakAndJoinsWithLf) {
    TStringList list;
    list.SetText("a\r\nb\rc\nd");
    EXPECT_EQ(Items(list), (Strs{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Text(), "a\nb\nc\nd\n");
    list.SetText("a\n\nb\n");
    EXPECT_EQ(Items(list), (Strs{"a", "", "b"}));
    list.SetText("\n");
    EXPECT_EQ(Items(list), (Strs{""}));
    list.SetText("x\r\r\ny");  // CR, then CR LF: one empty line between
    EXPECT_EQ(Items(list), (Strs{"x", "", "y"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringListTextTest, CommaTextQuotesWhatNeedsIt) {
    TStringList list;
    for (const char* s : {"plain", "with space", "a,b", "say \"hi\"", "", "tab\there"}) list.Add(s);
    EXPECT_EQ(list.CommaText(), "plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",,\"tab\there\"");
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), Items(list));

    TStringList one;
    one.Add("");
    EXPECT_EQ(one.CommaText(), "\"\"");
    back.SetCommaText("\"\"");
    EXPECT_EQ(Items(back), (Strs{""}));
    TStringList none;
    EXPECT_EQ(none.CommaText(), "");
}

TEST(StringListTextTest, CommaTextReadingRules) {
    TStringList list;
    list.SetCommaText("a b, c ,d");  // blanks split outside quotes
    EXPECT_EQ(Items(list), (Strs{"a", "b", "c", "d"}));
    list.SetCommaText("a,,b");
    EXPECT_EQ(Items(list), (Strs{"a", "", "b"}));
    list.SetCommaText("a,");
    EXPECT_EQ(Items(list), (Strs{"a", ""}));
    list.SetCommaText(",");
    EXPECT_EQ(Items(list), (Strs{"", ""}));
    list.SetCommaText("  ");
    EXPECT_EQ(list.Count(), 0);
    list.SetCommaText("\"x y\"z,\"unterminated \"\" rest");
    EXPECT_EQ(Items(list), (Strs{"x y", "z", "unterminated \" rest"}));
}

TEST(StringListTextTest, DelimitedTextWithOtherCharacters) {
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.SetDelimitedText("one;'t;w''o';three four");
    EXPECT_EQ(Items(list), (Strs{"one", "t;w'o", "three", "four"}));
    EXPECT_EQ(list.DelimitedText(), "one;'t;w''o';three;four");
    EXPECT_EQ(list.CommaText(), "one,t;w'o,three,four");  // CommaText ignores the settings
    list.SetStrictDelimiter(true);
    list.SetDelimitedText(" a b ;c");
    EXPECT_EQ(Items(list), (Strs{" a b ", "c"}));
    EXPECT_EQ(list.DelimitedText(), " a b ;c");
    EXPECT_EQ(list.Delimiter(), ';');
}

// ---- name=value ----

TEST(StringListValuesTest, NamesValuesAndDeletion) {
    TStringList list;
    list.SetText("Host=example\nPort=80\nnoseparator\nEmpty=");
    EXPECT_EQ(list.Names(0), "Host");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("port"), "80");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.ValueFromIndex(1), "80");
    EXPECT_EQ(list.ValueFromIndex(2), "");
    EXPECT_EQ(list.IndexOfName("EMPTY"), 3);
    EXPECT_EQ(list.IndexOfName("noseparator"), -1);

    list.SetValues("Port", "8080");
    list.SetValues("User", "me");
    EXPECT_EQ(list.Strings(1), "Port=8080");
    EXPECT_EQ(list.Strings(4), "User=me");
    list.SetValues("Host", "");
    EXPECT_EQ(list.IndexOfName("Host"), -1);
    EXPECT_EQ(list.Count(), 4);
    list.SetValueFromIndex(0, "1=2");
    EXPECT_EQ(list.Strings(0), "Port=1=2");
    EXPECT_EQ(list.Values("Port"), "1=2");

    list.SetNameValueSeparator(':');
    list.SetValues("Key", "v");
    EXPECT_EQ(list.Strings(list.Count() - 1), "Key:v");
    EXPECT_EQ(list.Values("key"), "v");
}

TEST(StringListValuesTest, ValuesOnASortedList) {
    TStringList list;
    list.SetSorted(true);
    list.SetValues("b", "2");
    list.SetValues("a", "1");
    list.SetValues("b", "20");
    EXPECT_EQ(Items(list), (Strs{"a=1", "b=20"}));
}

// ---- updates and events ----

TEST(StringListUpdateTest, EventsFireOncePerChangeOrOutermostUpdate) {
    TStringList list;
    std::vector<std::string> log;
    list.OnChanging = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &list);
        log.push_back("changing");
    };
    list.OnChange = [&](TObject*) { log.push_back("change:" + std::to_string(list.Count())); };

    list.Add("a");
    EXPECT_EQ(log, (Strs{"changing", "change:1"}));
    log.clear();

    list.BeginUpdate();
    list.Add("b");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(log, (Strs{"changing"}));
    list.Add("c");
    list.EndUpdate();
    EXPECT_EQ(log, (Strs{"changing", "change:2"}));
    log.clear();

    list.EndUpdate();  // unbalanced: ignored
    list.SetText("x\ny\nz");
    EXPECT_EQ(log, (Strs{"changing", "change:3"}));
    log.clear();

    TStringList other;
    other.SetCommaText("1,2");
    list.Assign(&other);
    EXPECT_EQ(log, (Strs{"changing", "change:2"}));
    log.clear();

    list.SetSorted(true);  // sorting is one change
    EXPECT_EQ(log.size(), 2u);
    log.clear();
    list.Clear();
    list.Clear();  // nothing to clear: no events
    EXPECT_EQ(log, (Strs{"changing", "change:0"}));
}

TEST(StringListUpdateTest, AssignCopiesStringsObjectsAndSettings) {
    TStringList src;
    TObject o;
    src.AddObject("one", &o);
    src.Add("two");
    src.SetDelimiter('|');
    TStringList dst;
    dst.Add("old");
    dst.Assign(&src);
    EXPECT_EQ(Items(dst), (Strs{"one", "two"}));
    EXPECT_EQ(dst.Objects(0), &o);
    EXPECT_EQ(dst.Delimiter(), '|');
    EXPECT_TRUE(dst.Equals(&src));
    dst.Put(1, "TWO");
    EXPECT_FALSE(dst.Equals(&src));  // Equals is case-sensitive

    dst.AddStrings(&dst);  // adding a list to itself doubles it once
    EXPECT_EQ(dst.Count(), 4);
    TPersistent notStrings;
    EXPECT_THROW(dst.Assign(&notStrings), EConvertError);
}

// ---- files and streams ----

class StringListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ryx-lists-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        FDir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    std::string Path(const std::string& Name) const { return FDir + "/" + Name; }
    static void WriteRaw(const std::string& Path, const std::string& Bytes) {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }
    static std::string ReadRaw(const std::string& Path) {
        std::ifstream in(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string FDir;
};

TEST_F(StringListFileTest, SaveAndLoadRoundTrip) {
    TStringList list;
    list.SetText("first\n\xC3\xA9t\xC3\xA9\n\nlast");
    list.SaveToFile(Path("out.txt"));
    EXPECT_EQ(ReadRaw(Path("out.txt")), "first\n\xC3\xA9t\xC3\xA9\n\nlast\n");
    TStringList back;
    back.Add("stale");
    back.LoadFromFile(Path("out.txt"));
    EXPECT_EQ(Items(back), Items(list));
}

TEST_F(StringListFileTest, LoadsForeignLineBreaksAndAMissingLastBreak) {
    WriteRaw(Path("dos.txt"), "\xEF\xBB\xBFone\r\ntwo\r\nthree");
    TStringList list;
    list.LoadFromFile(Path("dos.txt"));
    EXPECT_EQ(Items(list), (Strs{"one", "two", "three"}));
}

TEST_F(StringListFileTest, LoadFromStreamStartsAtThePosition) {
    TStringStream stream("skip\nkeep\nthis");
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(&stream);
    EXPECT_EQ(Items(list), (Strs{"keep", "this"}));
    TStringStream out;
    list.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "keep\nthis\n");
}

TEST_F(StringListFileTest, MissingFileNamesTheFile) {
    TStringList list;
    std::string name = Path("absent.txt");
    std::string msg = MessageOf<EFOpenError>([&] { list.LoadFromFile(name); });
    EXPECT_EQ(msg.rfind("Cannot open file \"" + name + "\". ", 0), 0u) << msg;
}

TEST_F(StringListFileTest, BigFileLoadsLinearly) {
    // 200 000 lines (a few megabytes): a quadratic load would take far too long.
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line number " + std::to_string(i) + "\n";
    WriteRaw(Path("big.txt"), text);
    TStringList list;
    list.LoadFromFile(Path("big.txt"));
    ASSERT_EQ(list.Count(), 200000);
    EXPECT_EQ(list.Strings(123456), "line number 123456");
    EXPECT_EQ(list.Text(), text);
}
