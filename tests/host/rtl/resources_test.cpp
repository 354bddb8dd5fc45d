// Resources and the message catalogue: lookup by name, number and type, modules, faults, language files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"
#include "host/rtl/resstrings.h"

using namespace host;

// Records of this test program; their identifiers lie below the package's range.
namespace restest {
extern const host::TResStringRec _testResGreeting;
extern const host::TResStringRec _testResFarewell;
const host::TResStringRec _testResGreeting{"_testResGreeting", 60001, "Hello"};
const host::TResStringRec _testResFarewell{"_testResFarewell", 60002, "Good bye"};
}  // namespace restest

namespace {

using namespace restest;

std::string BlobText(const TResourceBlob& b) { return std::string(reinterpret_cast<const char*>(b.Data), b.Size); }

class ResourceTest : public ::testing::Test {
protected:
    void TearDown() override { ClearResourceFault(); }
};

TEST_F(ResourceTest, CompiledInBlobByNameIgnoringCase) {
    TResourceBlob blob;
    ASSERT_TRUE(FindResourceBlob(HInstance, "RCDATA", "RYXTESTBLOB", blob));
    ASSERT_EQ(blob.Size, 17u);
    EXPECT_EQ(std::memcmp(blob.Data, "ryx-test-blob\0\x01\x02\xff", 17), 0);
    EXPECT_EQ(blob.Data[17], 0);  // a zero byte follows every blob

    for (const char* type : {"rcdata", "RcData", "#10", "10", "RT_RCDATA"}) {
        TResourceBlob other;
        ASSERT_TRUE(FindResourceBlob(HInstance, type, "RyxTestBlob", other)) << type;
        EXPECT_EQ(other.Data, blob.Data) << type;
    }
    TResourceBlob viaZero;
    ASSERT_TRUE(FindResourceBlob(0, "RCDATA", "ryxtestblob", viaZero));
    EXPECT_EQ(viaZero.Data, blob.Data);
}

TEST_F(ResourceTest, NumberedTypeAndName) {
    TResourceBlob blob;
    ASSERT_TRUE(FindResourceBlob(HInstance, "#99", "#7", blob));
    EXPECT_EQ(BlobText(blob), "numbered");
    EXPECT_TRUE(FindResourceBlob(HInstance, "99", "7", blob));
    EXPECT_TRUE(FindResourceBlob(HInstance, "#99", "#007", blob));
    EXPECT_TRUE(FindResourceBlob(HInstance, ResourceId(99), ResourceId(7), blob));
    EXPECT_EQ(ResourceId(7), "#7");
    int id = 0;
    EXPECT_TRUE(IsResourceId("#42", id));
    EXPECT_EQ(id, 42);
    EXPECT_FALSE(IsResourceId("#4x", id));
    EXPECT_FALSE(IsResourceId("#", id));
    EXPECT_EQ(NormalizeResourceType("#2"), "BITMAP");
    EXPECT_EQ(NormalizeResourceType("group_icon"), "GROUP_ICON");
    EXPECT_EQ(NormalizeResourceType("#99"), "99");
    EXPECT_EQ(NormalizeResourceName("#007"), "7");
}

TEST_F(ResourceTest, EveryCompiledInResourceIsFound) {
    int count = 0;
    for (const detail::TBuiltinResource* r = detail::BuiltinResources(); r->Type; ++r, ++count) {
        TResourceBlob blob;
        EXPECT_TRUE(FindResourceBlob(HInstance, r->Type, r->Name, blob)) << r->Type << "/" << r->Name;
    }
    EXPECT_GE(count, 2);
}

TEST_F(ResourceTest, MissingResourcesSetTheLastError) {
    TResourceBlob blob;
    EXPECT_FALSE(FindResourceBlob(HInstance, "RCDATA", "NO_SUCH_THING", blob));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_FALSE(FindResourceBlob(HInstance, "#98", "RYXTESTBLOB", blob));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_FALSE(FindResourceBlob(12345, "RCDATA", "RYXTESTBLOB", blob));
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(FindResource(HInstance, "NO_SUCH_THING", RT_RCDATA), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    SetLastError(0);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST_F(ResourceTest, Win32CallsFindLoadLockAndSize) {
    HRSRC res = FindResource(HInstance, "ryxtestblob", RT_RCDATA);
    ASSERT_NE(res, 0u);
    EXPECT_EQ(FindResource(0, "RYXTESTBLOB", "RCDATA"), res);
    EXPECT_EQ(SizeofResource(HInstance, res), 17u);
    HGLOBAL global = LoadResource(HInstance, res);
    ASSERT_NE(global, nullptr);
    const void* data = LockResource(global);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::memcmp(data, "ryx-test-blob", 13), 0);
    EXPECT_EQ(FreeResource(global), 0);

    EXPECT_EQ(LoadResource(HInstance, 0), nullptr);
    EXPECT_EQ(LoadResource(HInstance, res + 100000), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(res)), nullptr);  // a resource handle is not a loaded one
    EXPECT_EQ(SizeofResource(HInstance, 0), 0u);
}

TEST_F(ResourceTest, InjectedFaultsFailEachStage) {
    SetResourceFault(ERROR_RESOURCE_NAME_NOT_FOUND);
    TResourceBlob blob;
    EXPECT_FALSE(FindResourceBlob(HInstance, "RCDATA", "RYXTESTBLOB", blob));
    EXPECT_EQ(FindResource(HInstance, "RYXTESTBLOB", RT_RCDATA), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    ClearResourceFault();
    EXPECT_TRUE(FindResourceBlob(HInstance, "RCDATA", "RYXTESTBLOB", blob));

    SetResourceFault(ERROR_MOD_NOT_FOUND, rsfFind, 1);
    EXPECT_EQ(FindResource(HInstance, "RYXTESTBLOB", RT_RCDATA), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    HRSRC res = FindResource(HInstance, "RYXTESTBLOB", RT_RCDATA);
    EXPECT_NE(res, 0u);

    SetResourceFault(8, rsfLoad);
    EXPECT_NE(FindResource(HInstance, "RYXTESTBLOB", RT_RCDATA), 0u);
    EXPECT_EQ(LoadResource(HInstance, res), nullptr);
    EXPECT_EQ(GetLastError(), 8u);

    SetResourceFault(9, rsfLock);
    HGLOBAL global = LoadResource(HInstance, res);
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(LockResource(global), nullptr);
    EXPECT_EQ(GetLastError(), 9u);
    ClearResourceFault();
    EXPECT_NE(LockResource(global), nullptr);
}

// A module over a map, recording the normal forms it is asked for.
class TMapModule : public TResourceModule {
public:
    TMapModule(bool* Destroyed, std::string* LastAsked) : FDestroyed(Destroyed), FLastAsked(LastAsked) {}
    ~TMapModule() override { *FDestroyed = true; }
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        *FLastAsked = Type + "/" + Name;
        auto it = FItems.find(Type + "/" + Name);
        if (it == FItems.end()) return false;
        Out = TResourceBlob{reinterpret_cast<const unsigned char*>(it->second.data()), it->second.size()};
        return true;
    }
    bool HasType(const std::string& Type) const override { return Type == "RCDATA" || Type == "BITMAP"; }

private:
    std::map<std::string, std::string> FItems{{"RCDATA/BLOB1", "first"}, {"BITMAP/5", "five"}};
    bool* FDestroyed;
    std::string* FLastAsked;
};

TEST_F(ResourceTest, RegisteredModule) {
    EXPECT_THROW(RegisterResourceModule(nullptr), EInvalidOperation);

    bool destroyed = false;
    std::string asked;
    HMODULE h = RegisterResourceModule(std::make_unique<TMapModule>(&destroyed, &asked));
    EXPECT_GE(h, 32u);
    EXPECT_NE(h, HInstance);
    EXPECT_TRUE(IsResourceModule(h));

    TResourceBlob blob;
    ASSERT_TRUE(FindResourceBlob(h, "#10", "blob1", blob));
    EXPECT_EQ(asked, "RCDATA/BLOB1");
    EXPECT_EQ(BlobText(blob), "first");
    ASSERT_TRUE(FindResourceBlob(h, "bitmap", "#5", blob));
    EXPECT_EQ(BlobText(blob), "five");
    EXPECT_FALSE(FindResourceBlob(h, "RCDATA", "RYXTESTBLOB", blob));  // the module's own resources only
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_FALSE(FindResourceBlob(h, "ICON", "BLOB1", blob));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);

    HRSRC res = FindResource(h, "Blob1", RT_RCDATA);
    ASSERT_NE(res, 0u);
    EXPECT_EQ(SizeofResource(h, res), 5u);
    HGLOBAL global = LoadResource(h, res);
    EXPECT_EQ(std::memcmp(LockResource(global), "first", 5), 0);

    UnregisterResourceModule(h);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsResourceModule(h));
    EXPECT_FALSE(FindResourceBlob(h, "RCDATA", "BLOB1", blob));
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LockResource(global), nullptr);  // handles into the module died with it
    EXPECT_EQ(LoadResource(h, res), nullptr);
    UnregisterResourceModule(h);  // a second time does nothing

    HMODULE again = RegisterResourceModule(std::make_unique<TMapModule>(&destroyed, &asked));
    EXPECT_NE(again, h);
    UnregisterResourceModule(again);
}

// ---- the message catalogue ----

class ResStringTest : public ::testing::Test {
protected:
    void TearDown() override {
        UnloadLanguageFile();
        for (const std::string& f : FFiles) std::filesystem::remove(f);
    }
    std::string WriteFile(const std::string& Content) {
        std::string name = (std::filesystem::temp_directory_path() /
                            ("ryx_lang_" + std::to_string(::getpid()) + "_" + std::to_string(FFiles.size()) + ".txt"))
                               .string();
        std::ofstream(name, std::ios::binary) << Content;
        FFiles.push_back(name);
        return name;
    }

private:
    std::vector<std::string> FFiles;
};

TEST_F(ResStringTest, RecordsRegisterThemselves) {
    const auto& all = ResStringCatalogue();
    EXPECT_NE(std::find(all.begin(), all.end(), &_testResGreeting), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), &_testResFarewell), all.end());
    EXPECT_EQ(FindResString(60001), &_testResGreeting);
    EXPECT_EQ(FindResString("_TESTRESFAREWELL"), &_testResFarewell);
    EXPECT_EQ(FindResString(59999), nullptr);
    EXPECT_EQ(FindResString("_noSuchString"), nullptr);

    EXPECT_EQ(_testResGreeting.Text(), "Hello");
    std::string viaConversion = _testResFarewell;
    EXPECT_EQ(viaConversion, "Good bye");
    EXPECT_EQ(LoadResString(_testResGreeting), "Hello");
    EXPECT_EQ(LoadStr(60002), "Good bye");
    EXPECT_EQ(LoadStr(59999), "");
}

TEST_F(ResStringTest, TheCatalogueHasNoClashes) {
    for (const TResStringClash& c : ResStringClashes())
        ADD_FAILURE() << c.First->Name << " (" << c.First->Identifier << ") clashes with " << c.Second->Name << " ("
                      << c.Second->Identifier << ")";
}

TEST_F(ResStringTest, ClashesAreDetectedAndRecordsLeaveWhenDestroyed) {
    size_t before = ResStringCatalogue().size();
    {
        TResStringRec a{"_testClashA", 60010, "A"};
        TResStringRec b{"_testClashB", 60010, "B"};
        TResStringRec c{"_testclasha", 60011, "C"};
        EXPECT_EQ(ResStringCatalogue().size(), before + 3);
        EXPECT_EQ(FindResString(60010), &a);
        EXPECT_EQ(FindResString("_TestClashA"), &a);
        auto clashes = ResStringClashes();
        ASSERT_EQ(clashes.size(), 2u);
        EXPECT_EQ(clashes[0].First, &a);
        EXPECT_EQ(clashes[0].Second, &b);
        EXPECT_EQ(clashes[1].Second, &c);
    }
    EXPECT_EQ(ResStringCatalogue().size(), before);
    EXPECT_EQ(FindResString(60010), nullptr);
    EXPECT_TRUE(ResStringClashes().empty());
}

TEST_F(ResStringTest, LanguageFileOverridesTexts) {
    std::string path = WriteFile(
        "; a test language\n"
        "\n"
        "60001=Bonjour\n"
        "_testResFarewell=Au revoir\\tet\\nadieu \\\\o/\n"
        "60003=Only in the file\n");
    EXPECT_EQ(LoadLanguageFile(path), 3);
    EXPECT_EQ(LanguageFileName(), path);
    EXPECT_EQ(_testResGreeting.Text(), "Bonjour");
    EXPECT_EQ(_testResFarewell.Text(), "Au revoir\tet\nadieu \\o/");
    EXPECT_EQ(LoadStr(60001), "Bonjour");
    EXPECT_EQ(LoadStr(60003), "Only in the file");

    // A second file replaces the first entirely.
    EXPECT_EQ(LoadLanguageFile(WriteFile("60002=Ciao\n")), 1);
    EXPECT_EQ(_testResGreeting.Text(), "Hello");
    EXPECT_EQ(_testResFarewell.Text(), "Ciao");

    UnloadLanguageFile();
    EXPECT_EQ(_testResFarewell.Text(), "Good bye");
    EXPECT_EQ(LanguageFileName(), "");
}

TEST_F(ResStringTest, UnreadableFileRaisesAndChangesNothing) {
    LoadLanguageFile(WriteFile("60001=Hallo\n"));
    std::string missing = (std::filesystem::temp_directory_path() / "ryx_no_such_language_file.txt").string();
    EXPECT_THROW(LoadLanguageFile(missing), EFOpenError);
    EXPECT_THROW(LoadLanguageFile(std::filesystem::temp_directory_path().string()), EFOpenError);
    EXPECT_EQ(_testResGreeting.Text(), "Hallo");
    try {
        LoadLanguageFile(missing);
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find(missing), std::string::npos);
    }
}

TEST_F(ResStringTest, MalformedLinesAreSkipped) {
    int taken = LoadLanguageText(
        "no equals sign\n"        // 1
        "=empty key\n"            // 2
        "70000=number too big\n"  // 3
        "bad key!=x\n"            // 4
        "60001=bad \\q escape\n"  // 5
        "60001=trailing \\\n"     // 6
        "60002=ok\n"              // 7
        "   ; indented comment\n" // 8
        "   \t\n");               // 9
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(LanguageFileSkippedLines(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(_testResGreeting.Text(), "Hello");
    EXPECT_EQ(_testResFarewell.Text(), "ok");
}

TEST_F(ResStringTest, LineDetails) {
    // Byte-order mark, CR LF endings, '=' inside the text, blanks kept, a key
    // padded with blanks.
    LoadLanguageText("\xEF\xBB\xBF 60001 =a=b\r\n60002=  two blanks\r\n");
    EXPECT_EQ(_testResGreeting.Text(), "a=b");
    EXPECT_EQ(_testResFarewell.Text(), "  two blanks");

    // Of two lines for one string, by identifier and by name, the later wins.
    LoadLanguageText("60001=by number\n_testResGreeting=by name\n");
    EXPECT_EQ(_testResGreeting.Text(), "by name");
    LoadLanguageText("_testresgreeting=by name\n60001=by number\n");
    EXPECT_EQ(_testResGreeting.Text(), "by number");
    EXPECT_EQ(LoadStr(60001), "by number");

    LoadLanguageText("60001=\n");
    EXPECT_EQ(_testResGreeting.Text(), "");  // an empty text is a text
}

}  // namespace
