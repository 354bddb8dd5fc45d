// Tests of the general routines for strings, lists, file names, temporary files, drives, show-window styles and class look-ups.
#include "frame/ryxutilf.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/persistent.h"

namespace fs = std::filesystem;
using namespace ryx;

namespace {
std::vector<std::string> Items(host::TStringList& L) {
    std::vector<std::string> r;
    for (int i = 0; i < L.Count(); ++i) r.push_back(L.Strings(i));
    return r;
}
using V = std::vector<std::string>;
}  // namespace

TEST(RyxUtilF, ParseStringToList) {
    host::TStringList L;
    ryxParseStringToList("a;;b", ";", &L, true);
    EXPECT_EQ(Items(L), (V{"a", "", "b"}));
    L.Clear();
    ryxParseStringToList("a;;b", ";", &L, false);
    EXPECT_EQ(Items(L), (V{"a", "b"}));
    L.Clear();
    ryxParseStringToList("", ";", &L, true);
    EXPECT_EQ(Items(L), (V{""}));
    ryxParseStringToList("", ";", &L, false);
    EXPECT_EQ(L.Count(), 1);  // appends, never clears; nothing added here
    // A multi-character separator resumes after the whole separator.
    L.Clear();
    ryxParseStringToList("one, two, , three", ", ", &L, false);
    EXPECT_EQ(Items(L), (V{"one", "two", "three"}));
    L.Clear();
    ryxParseStringToList("x<>y<><>z", "<>", &L, true);
    EXPECT_EQ(Items(L), (V{"x", "y", "", "z"}));
}

TEST(RyxUtilF, TrimAndShorten) {
    EXPECT_EQ(ryxLTrim("  a b \t "), "a b \t ");
    EXPECT_EQ(ryxRTrim("\t a b  "), "\t a b");
    EXPECT_EQ(ryxLRTrim("   "), "");
    EXPECT_EQ(ryxLRTrim("  x  "), "x");
    EXPECT_EQ(ryxStripTrailingReturns("ab\r\n\r\n\n"), "ab");
    EXPECT_EQ(ryxStripTrailingReturns("a\r\nb"), "a\r\nb");
    std::string s = "abc";
    EXPECT_EQ(ryxShorten(s, 3), 0);
    EXPECT_EQ(s, "");
    s = "abcdef";
    EXPECT_EQ(ryxShorten(s, 2), 4);
    EXPECT_EQ(s, "abcd");
    EXPECT_EQ(ryxShorten(s, 10), 0);
    s = "abc";
    EXPECT_EQ(ryxShorten(s, -2), 3);
    EXPECT_EQ(s, "abc");
}

TEST(RyxUtilF, CaseAndReplacing) {
    EXPECT_EQ(ryxProperCase("HELLO o'neil-smith"), "Hello O'neil-smith");
    EXPECT_EQ(ryxProperCase("  two  words"), "  Two  Words");
    EXPECT_EQ(ryxReplaceStr("cat", "dog", "a Cat and a cat", true), "a Cat and a dog");
    EXPECT_EQ(ryxReplaceStr("cat", "dog", "a Cat and a cat", false), "a dog and a cat");
    EXPECT_EQ(ryxReplaceStr("zz", "y", "abc", false), "abc");
    EXPECT_EQ(ryxReplaceStr("", "y", "abc", false), "abc");
    int n = -1;
    EXPECT_EQ(ryxReplaceAllCount("aa", "a", "aaaaa", true, n), "aaa");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ryxReplaceAllCount("X", "xx", "xXx", false, n), "xxxxxx");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(ryxReplaceAll("b", "", "abcb", true), "ac");
    EXPECT_TRUE(ryxLastCharIs("path/", '/'));
    EXPECT_FALSE(ryxLastCharIs("", '/'));
    host::TSet<char> seps{'/', '\\'};
    EXPECT_TRUE(ryxLastCharInSet("C:\\", seps));
    EXPECT_FALSE(ryxLastCharInSet("C:", seps));
    EXPECT_FALSE(ryxLastCharInSet("", seps));
}

TEST(RyxUtilF, FileNames) {
    EXPECT_EQ(ryxReplaceFileExt("C:\\App\\Prog.exe", ".INI"), "C:\\App\\Prog.INI");
    EXPECT_EQ(ryxReplaceFileExt("C:\\v1.2\\Prog.exe", ".INI"), "C:\\v1.2\\Prog.INI");
    EXPECT_EQ(ryxReplaceFileExt("C:\\App\\Prog", ".INI"), "C:\\App\\Prog");
    EXPECT_EQ(ryxReplaceFileExt("/opt/v1.2/prog", ".ini"), "/opt/v1.2/prog");
    EXPECT_EQ(ryxReplaceFileExt("/opt/v1.2/data.tar.gz", ".zip"), "/opt/v1.2/data.zip");
    EXPECT_EQ(ryxReplaceFileExt("a.txt", ".bak"), "a.bak");
    EXPECT_EQ(ryxFileNamePart("/opt/v1.2/report.final.txt"), "report");
    EXPECT_EQ(ryxFileNamePart("C:\\App\\Prog.exe"), "Prog");
    EXPECT_EQ(ryxFileNamePart("noext"), "noext");
}

TEST(RyxUtilF, TempFilesAndFileLists) {
    std::string dir = ryxGetWinTempPath();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::is_directory(dir));
    std::set<std::string> names;
    for (int i = 0; i < 5; ++i) {
        std::string f = ryxGetWinTempFile();
        EXPECT_EQ(f.rfind(dir, 0), 0u) << f;
        EXPECT_TRUE(fs::is_regular_file(f));
        EXPECT_EQ(fs::file_size(f), 0u);
        names.insert(f);
    }
    EXPECT_EQ(names.size(), 5u);
    for (const auto& f : names) fs::remove(f);

    fs::path work = fs::path(dir) / ("ryxutilf_" + std::to_string(::getpid()));
    fs::create_directories(work / "sub.txt");  // a folder matching the mask is not listed
    for (const char* n : {"b.txt", "A.TXT", "c.csv", "d.txt.bak", "e.log"}) std::ofstream(work / n) << "x";
    host::TStringList L;
    ryxGetFileNames(work.string(), "*.txt", &L);
    EXPECT_EQ(Items(L), (V{"A.TXT", "b.txt"}));
    L.Clear();
    ryxGetFileNames(work.string(), "*.csv; *.log", &L, true);
    EXPECT_EQ(Items(L), (V{(work / "c.csv").string(), (work / "e.log").string()}));
    L.Clear();
    ryxGetOneFileSpec((work / "?.csv").string(), &L);
    EXPECT_EQ(Items(L), (V{"c.csv"}));

    EXPECT_FALSE(ryxDriveIsReadOnly(work.string()));
    EXPECT_TRUE(fs::is_empty(work / "sub.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), 6);  // no .tmp left
    EXPECT_TRUE(ryxDriveIsReadOnly((work / "missing").string()));
    EXPECT_GT(ryxDriveFreeBytes(work.string()), 0);
    EXPECT_EQ(ryxDriveFreeBytes((work / "missing").string()), -1);
    EXPECT_GE(ryxRunningDriveFreeBytes(), 0);
    fs::remove_all(work);
}

TEST(RyxUtilF, ShowWindowStylesAndClassNames) {
    EXPECT_EQ(ryxASWEnumToSW_CONST(rswHide), 0);
    EXPECT_EQ(ryxASWEnumToSW_CONST(rswRestore), 9);
    EXPECT_EQ(ryxASWEnumToSW_CONST(rswShowDefault), 10);
    EXPECT_EQ(ryxASWEnumToSW_CONST(rswShowMinimized), 2);
    EXPECT_EQ(ryxASWEnumToSW_CONST(rswShowNormal), 1);
    EXPECT_EQ(static_cast<int>(rswShowNormal), 11);

    host::TStringList L;
    EXPECT_TRUE(ryxDescendsFromClassByName(&L, "tstrings"));
    EXPECT_TRUE(ryxDescendsFromClassByName(&L, "TObject"));
    EXPECT_TRUE(ryxDescendsFromClassByName(&L, "TSTRINGLIST"));
    EXPECT_FALSE(ryxDescendsFromClassByName(&L, "TComponent"));
    EXPECT_FALSE(ryxDescendsFromClassByName(static_cast<const host::TObject*>(nullptr), "TObject"));
}
