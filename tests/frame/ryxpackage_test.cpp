// The package module: the unit table's order and counters, Initialize/Finalize, the language file at module attach, and the host's package loader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frame/ryxnpcon.h"
#include "frame/ryxpackage.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/packages.h"
#include "host/rtl/resstrings.h"
#include "services/ryxcurlb.h"
#include "support/tempdir.h"

using namespace ryx;

TEST(RyxPackageTest, TableHoldsEveryUnitInDependencyOrder) {
    host::PackageInfo table = GetPackageInfoTable();
    ASSERT_EQ(table->UnitCount, 194);
    int packageUnits = 0;
    for (int k = 0; k < table->UnitCount; ++k) {
        EXPECT_NE(table->UnitInfo[k].Init, nullptr);
        EXPECT_NE(table->UnitInfo[k].FInit, nullptr);
        packageUnits += ryxUnitInfo(k).PackageUnit;
    }
    EXPECT_EQ(packageUnits, 124);
    EXPECT_STREQ(ryxUnitInfo(0).Name, "System");
    EXPECT_STREQ(ryxUnitInfo(193).Name, "Ryxmdtab");
    // Each pair: the first unit starts before the second.
    const std::vector<std::pair<const char*, const char*>> before = {
        {"Ryxfblot", "Ryxnpcon"}, {"Ryxnpcon", "Ryxda"}, {"Ryxda", "Ryxfact"}, {"Ryxfact", "Ryxffltr"},
        {"Ryxda", "Ryxdabde"},    {"Ryxufxa", "Ryxufx"}, {"Ryxnpfac", "Ryxfnpdg"}, {"Ryxfnpsg", "Ryxnp"},
        {"DB", "Ryxnpcon"},       {"Forms", "Ryxfblot"}, {"DBTables", "Ryxdabde"}, {"Clipbrd", "Ryxmem"}};
    for (const auto& [a, b] : before) EXPECT_LT(ryxUnitIndex(a), ryxUnitIndex(b)) << a << " " << b;
    EXPECT_EQ(ryxUnitIndex("ryxsplit"), ryxUnitIndex("Ryxsplit"));
    EXPECT_EQ(ryxUnitIndex("Nothing"), -1);
    EXPECT_THROW(ryxUnitInfo(194), host::ERangeError);
}

TEST(RyxPackageTest, UnitsStartOnceAndStopOnceHoweverOftenTheTableRuns) {
    const int npcon = ryxUnitIndex("Ryxnpcon");
    ASSERT_EQ(ryxUnitStartCounter(npcon), 0);
    Initialize();
    Initialize();
    EXPECT_EQ(ryxUnitStartCounter(npcon), -2);
    EXPECT_TRUE(ryxnpconNameTablesFilled());
    ASSERT_NE(ryxCurrencyWords(), nullptr);
    EXPECT_EQ(ryxCurrencyWords()->Count(), 10 + 10 + 9 + 4);
    EXPECT_EQ(ryxCurrencyWords()->Strings(12), "twelve");
    Finalize();
    EXPECT_TRUE(ryxnpconNameTablesFilled());
    Finalize();
    EXPECT_FALSE(ryxnpconNameTablesFilled());
    EXPECT_EQ(ryxCurrencyWords(), nullptr);
    for (int k = 0; k < ryxUnitCount; ++k) EXPECT_EQ(ryxUnitStartCounter(k), 0);
}

TEST(RyxPackageTest, ModuleAttachLoadsTheLanguageFile) {
    testsupport::TTempDir dir;
    std::string lang = dir.File("ryx.de");
    std::ofstream(lang) << "_sryxCurrUnits=null;eins;zwei;drei;vier;fuenf;sechs;sieben;acht;neun\n";
    setenv("RYX_LANGUAGE_FILE", lang.c_str(), 1);
    {
        TryxPackageLoader loader;
        EXPECT_EQ(ryxLanguageFile(), lang);
        EXPECT_TRUE(host::IsModuleRegistered(ryxModuleHandle()));
        EXPECT_EQ(ryxCurrencyWords()->Strings(2), "zwei");
    }
    unsetenv("RYX_LANGUAGE_FILE");
    EXPECT_EQ(host::LoadResString(_sryxCurrUnits).substr(0, 4), "zero");
    EXPECT_FALSE(host::IsModuleRegistered(host::HInstance));
    EXPECT_EQ(ryxCurrencyWords(), nullptr);
}

namespace {
std::vector<std::string> Trail;
void InitA() { Trail.push_back("+A"); }
void FinalA() { Trail.push_back("-A"); }
void InitB() { throw host::EInvalidOperation("B cannot start"); }
void FinalB() { Trail.push_back("-B"); }
void InitC() { Trail.push_back("+C"); }
void FinalC() { throw host::EInvalidOperation("C cannot stop"); }
}  // namespace

TEST(RyxPackageTest, HostLoaderUndoesAFailedStartAndFinalisesEveryUnit) {
    const host::PackageUnitEntry failing[] = {{InitA, FinalA}, {InitB, FinalB}, {InitC, FinalC}};
    host::PackageInfoTable table{3, failing};
    Trail.clear();
    EXPECT_THROW(host::PackageLoad(&table), host::EInvalidOperation);
    EXPECT_EQ(Trail, (std::vector<std::string>{"+A", "-A"}));

    const host::PackageUnitEntry stopping[] = {{InitA, FinalA}, {InitC, FinalC}, {nullptr, nullptr}};
    host::PackageInfoTable table2{3, stopping};
    Trail.clear();
    host::PackageLoad(&table2);
    EXPECT_THROW(host::PackageUnload(&table2), host::EInvalidOperation);
    EXPECT_EQ(Trail, (std::vector<std::string>{"+A", "+C", "-A"}));

    const char* oldLang = std::getenv("LANG");
    const std::string saved = oldLang ? oldLang : "";
    setenv("LANG", "de_DE.UTF-8", 1);
    const char* all = std::getenv("LC_ALL");
    const char* messages = std::getenv("LC_MESSAGES");
    std::vector<std::string> candidates;
    if (!all && !messages) candidates = host::ResourceModuleCandidates("/opt/app/ryxdemo");
    oldLang ? setenv("LANG", saved.c_str(), 1) : unsetenv("LANG");
    if (all || messages) GTEST_SKIP() << "the environment chooses the language through LC_ALL or LC_MESSAGES";
    EXPECT_EQ(candidates, (std::vector<std::string>{"/opt/app/ryxdemo.de_DE", "/opt/app/ryxdemo.de"}));
}
