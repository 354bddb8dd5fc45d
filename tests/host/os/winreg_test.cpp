// The registry stand-in: the Reg* calls, the store file, and the registry classes over them.
#include "host/os/winreg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/app/registry.h"
#include "host/rtl/lists.h"
#include "support/tempdir.h"

using namespace host;

namespace {

class Registry : public ::testing::Test {
protected:
    testsupport::TTempDir Dir;
    std::string Store = Dir.File("cfg/registry");
    void SetUp() override { regstore::SetFileName(Store); }
    void TearDown() override { regstore::SetFileName(""); }

    std::string Slurp() {
        std::ifstream f(Store, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void Put(const std::string& Bytes) {
        std::ofstream f(Store, std::ios::binary | std::ios::trunc);
        f << Bytes;
    }
};

std::string Joined(TStrings& S) {
    std::string out;
    for (int i = 0; i < S.Count(); ++i) out += (i ? "|" : "") + S.Strings(i);
    return out;
}

}  // namespace

TEST_F(Registry, CallsStoreTypedValuesAndWriteTheFile) {
    HKEY k = 0;
    DWORD disp = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Acme\\\\App", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                              &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, REG_CREATED_NEW_KEY);
    const DWORD n = 10;
    EXPECT_EQ(RegSetValueExA(k, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(k, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("def"), 4), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(k, "Quote", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\"b\n"), 5), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(k, "Blob", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x00\xff"), 2), ERROR_SUCCESS);
    EXPECT_EQ(Slurp(), std::string("; registry store, version 1\n\n[HKEY_CURRENT_USER\\Software]\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Acme]\n\n") +
                            "[HKEY_CURRENT_USER\\Software\\Acme\\App]\n\"Count\"=dword:0000000a\n@=\"def\"\n"
                        "\"Quote\"=\"a\\\"b\\n\"\n\"Blob\"=hex:00,ff\n");

    // Size negotiation: no buffer gives the size, a small one ERROR_MORE_DATA.
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(k, "quote", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 5u);
    char small[2];
    size = 2;
    EXPECT_EQ(RegQueryValueExA(k, "Quote", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    char value[16];
    LONG cb = sizeof value;
    EXPECT_EQ(RegQueryValueA(HKEY_CURRENT_USER, "Software\\Acme\\App", value, &cb), ERROR_SUCCESS);
    EXPECT_STREQ(value, "def");
    EXPECT_EQ(RegQueryValueExA(k, "Nope", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // Enumeration and key information.
    char name[32];
    DWORD cch = sizeof name;
    EXPECT_EQ(RegEnumValueA(k, 3, name, &cch, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Blob");
    EXPECT_EQ(cch, 4u);
    cch = sizeof name;
    EXPECT_EQ(RegEnumValueA(k, 4, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    DWORD values = 0, maxData = 0;
    EXPECT_EQ(RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, &maxData,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 4u);
    EXPECT_EQ(maxData, 5u);
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(k, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, AccessRightsDeletedKeysAndOtherWriters) {
    HKEY w = 0, r = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "A\\B", &w), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "a\\b", 0, KEY_READ, &r), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(r, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A\\C", 0, KEY_READ, &r), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "A"), ERROR_ACCESS_DENIED);  // still has B
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "A\\B"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(w, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_KEY_DELETED);
    RegCloseKey(w);

    // Another writer changes the file: the next call sees it; unreadable lines survive our
    // next write.
    Put("; registry store, version 1\n[HKEY_CURRENT_USER\\X]\n\"s\"=\"from outside\"\nnot a value\n"
        "[SOMEWHERE\\Else]\n\"k\"=\"v\"\n");
    HKEY x = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "X", &x), ERROR_SUCCESS);
    char buf[32];
    DWORD size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(x, "S", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "from outside");
    EXPECT_EQ(RegDeleteValueA(x, "s"), ERROR_SUCCESS);
    RegCloseKey(x);
    EXPECT_EQ(Slurp(),
              "; registry store, version 1\n[SOMEWHERE\\Else]\n\"k\"=\"v\"\n\n[HKEY_CURRENT_USER\\X]\nnot a value\n");

    // A store that is not a file we may write fails the write and changes nothing.
    regstore::SetFileName(Dir.Path());  // a directory
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Y", &x), ERROR_WRITE_FAULT);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Y", &x), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, RegistryClass) {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("Software\\Demo", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Demo");
    reg.WriteString("Name", "Ann");
    reg.WriteInteger("Age", 41);
    reg.WriteBool("Ok", true);
    reg.WriteFloat("Ratio", 0.25);
    const unsigned char bytes[3] = {1, 2, 3};
    reg.WriteBinaryData("Raw", bytes, 3);
    EXPECT_EQ(reg.ReadString("Name"), "Ann");
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_EQ(reg.ReadInteger("Age"), 41);
    EXPECT_TRUE(reg.ReadBool("Ok"));
    EXPECT_DOUBLE_EQ(reg.ReadFloat("Ratio"), 0.25);
    unsigned char out[3] = {};
    EXPECT_EQ(reg.ReadBinaryData("Raw", out, 3), 3);
    EXPECT_EQ(out[2], 3);
    EXPECT_THROW(reg.ReadBinaryData("Raw", out, 2), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Age"), ERegistryException);
    EXPECT_EQ(reg.GetDataType("Age"), rdInteger);
    EXPECT_EQ(reg.GetDataSize("Name"), 4);
    EXPECT_EQ(reg.GetDataSize("Missing"), -1);
    reg.RenameValue("Name", "Person");
    EXPECT_FALSE(reg.ValueExists("Name"));
    EXPECT_EQ(reg.ReadString("Person"), "Ann");

    ASSERT_TRUE(reg.OpenKey("Child\\Deep", true));  // relative to the current key
    EXPECT_EQ(reg.CurrentPath(), "Software\\Demo\\Child\\Deep");
    reg.WriteString("x", "1");
    ASSERT_TRUE(reg.OpenKey("\\Software\\Demo", false));  // absolute
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList l;
    reg.GetValueNames(&l);
    EXPECT_EQ(Joined(l), "Age|Ok|Ratio|Raw|Person");
    reg.MoveKey("Child", "Moved", true);
    reg.GetKeyNames(&l);
    EXPECT_EQ(Joined(l), "Moved");
    EXPECT_TRUE(reg.KeyExists("Moved\\Deep"));
    EXPECT_TRUE(reg.DeleteKey("Moved"));  // with everything below it
    EXPECT_FALSE(reg.KeyExists("Moved"));

    TRegistry ro;
    ASSERT_TRUE(ro.OpenKeyReadOnly("Software\\Demo"));
    EXPECT_EQ(ro.ReadInteger("Age"), 41);
    EXPECT_THROW(ro.WriteInteger("Age", 1), ERegistryException);
    EXPECT_FALSE(ro.OpenKey("Nowhere", false));
    EXPECT_EQ(ro.CurrentPath(), "Software\\Demo");  // a failed open keeps the current key
}

TEST_F(Registry, IniFileInterfaces) {
    {
        TRegIniFile ini("Software\\Tool");
        ini.WriteString("Bars", "Left", "12");
        ini.WriteInteger("Bars", "Top", 30);
        ini.WriteBool("Bars", "Visible", false);
        EXPECT_EQ(ini.ReadInteger("Bars", "Left", 0), 12);
        EXPECT_EQ(ini.ReadInteger("bars", "top", 0), 30);
        EXPECT_FALSE(ini.ReadBool("Bars", "Visible", true));
        EXPECT_EQ(ini.ReadString("Nowhere", "x", "def"), "def");
        EXPECT_EQ(ini.CurrentPath(), "Software\\Tool");  // sections leave the current key alone
    }
    // An integer value written natively reads too.
    HKEY k = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Tool\\Bars", &k), ERROR_SUCCESS);
    const DWORD w = 640;
    RegSetValueExA(k, "Width", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&w), 4);
    RegCloseKey(k);

    TRegistryIniFile ini("Software\\Tool");
    EXPECT_EQ(ini.ReadInteger("Bars", "Width", 0), 640);
    TStringList l;
    ini.ReadSections(&l);
    EXPECT_EQ(Joined(l), "Bars");
    ini.ReadSectionValues("Bars", &l);
    EXPECT_EQ(Joined(l), "Left=12|Top=30|Visible=0|Width=640");
    ini.DeleteKey("Bars", "Top");
    EXPECT_FALSE(ini.ValueExists("Bars", "Top"));
    ini.EraseSection("Bars");
    EXPECT_FALSE(ini.SectionExists("Bars"));
}
