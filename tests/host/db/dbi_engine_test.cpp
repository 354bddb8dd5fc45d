// The engine beyond cursors: transactions, exclusive opens across processes, filters, errors, system information, aliases, stored procedures.
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <cstring>
#include <fstream>

#include "host/db/dbi_test_util.h"
#include "host/db/filterexpr.h"

using namespace dbitest;
using host::Check;

using Strings = std::vector<std::string>;

namespace {

int64_t CountOf(hDBICur C) {
    int64_t N = 0;
    Check(DbiGetRecordCount(C, N));
    return N;
}

// Runs Child in a forked process; returns its exit status.
template <class F>
int InChild(F Child) {
    const pid_t Pid = fork();
    if (Pid == 0) _exit(Child());
    int Status = 0;
    waitpid(Pid, &Status, 0);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

}  // namespace

class DbiEngine : public ::testing::TestWithParam<const char*> {
protected:
    TempDir Dir;
};

TEST_P(DbiEngine, TransactionsCommitRollBackAndSurviveAKilledWriter) {
    hDBIDb Db = OpenDb(GetParam(), Dir.Path);
    CreatePeople(Db);
    hDBICur C = nullptr;
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    const bool Local = std::string(GetParam()) == "STANDARD";
    hDBIXact X = nullptr;
    EXPECT_EQ(DbiBeginTran(Db, xilREADCOMMITTED, X), Local ? DBIERR_NOTSUPPORTED : DBIERR_NONE);
    if (X) Check(DbiEndTran(Db, X, xendCOMMIT));
    Check(DbiBeginTran(Db, xilDIRTYREAD, X));
    EXPECT_EQ(DbiBeginTran(Db, xilDIRTYREAD, X), DBIERR_ACTIVETRAN);
    AddPerson(C, 1, "One", "A", 1, true);
    AddPerson(C, 2, "Two", "A", 2, true);
    EXPECT_EQ(CountOf(C), 2);
    Check(DbiEndTran(Db, X, xendABORT));
    EXPECT_EQ(CountOf(C), 0);
    Check(DbiBeginTran(Db, xilDIRTYREAD, X));
    AddPerson(C, 3, "Three", "A", 3, true);
    Check(DbiEndTran(Db, X, xendCOMMIT));
    EXPECT_EQ(DbiEndTran(Db, X, xendCOMMIT), DBIERR_NOACTIVETRAN);
    Check(DbiCloseCursor(C));
    Check(DbiCloseDatabase(Db));

    // A child writes 500 records inside a transaction and is killed before it
    // commits: the table keeps exactly what it had.
    int Pipe[2];
    ASSERT_EQ(pipe(Pipe), 0);
    const std::string Driver = GetParam(), Path = Dir.Path;
    const pid_t Pid = fork();
    if (Pid == 0) {
        hDBIDb D = OpenDb(Driver, Path);
        hDBICur K = nullptr;
        hDBIXact T = nullptr;
        if (DbiOpenTable(D, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, K) || DbiBeginTran(D, xilDIRTYREAD, T)) _exit(1);
        for (int I = 100; I < 600; ++I) AddPerson(K, I, "Child", "B", I, false);
        const char Done = 'x';
        if (write(Pipe[1], &Done, 1) != 1) _exit(2);
        pause();
        _exit(0);
    }
    char Got = 0;
    ASSERT_EQ(read(Pipe[0], &Got, 1), 1);
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    close(Pipe[0]);
    close(Pipe[1]);
    Db = OpenDb(GetParam(), Dir.Path);
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    EXPECT_EQ(Walk(C, "ID"), (Strings{"3"}));
    Check(DbiCloseCursor(C));
    Check(DbiCloseDatabase(Db));
}

TEST_P(DbiEngine, ExclusiveOpenKeepsOthersOutAcrossProcesses) {
    hDBIDb Db = OpenDb(GetParam(), Dir.Path);
    CreatePeople(Db);
    CreatePeople(Db, "OTHER");
    hDBICur Excl = nullptr, Shared = nullptr;
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENEXCL, Excl));
    const std::string Driver = GetParam(), Path = Dir.Path;
    auto TryOpen = [&](const char* Table, DBIShareMode Mode) {
        return InChild([&] {
            hDBIDb D = OpenDb(Driver, Path);
            hDBICur K = nullptr;
            return static_cast<int>(DbiOpenTable(D, Table, "", "", dbiREADWRITE, Mode, K) == DBIERR_FILELOCKED);
        });
    };
    EXPECT_EQ(TryOpen("PEOPLE", dbiOPENSHARED), 1);
    EXPECT_EQ(TryOpen("OTHER", dbiOPENSHARED), 0);  // other tables stay free
    // In this process too, through the same database.
    EXPECT_EQ(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, Shared), DBIERR_FILELOCKED);
    EXPECT_NE(DbiLastErrorMessage().find("Table is busy"), std::string::npos);
    EXPECT_EQ(DbiDeleteTable(Db, "PEOPLE"), DBIERR_FILELOCKED);
    Check(DbiCloseCursor(Excl));
    EXPECT_EQ(TryOpen("PEOPLE", dbiOPENSHARED), 0);
    // A shared open keeps an exclusive one out.
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, Shared));
    EXPECT_EQ(TryOpen("PEOPLE", dbiOPENEXCL), 1);
    Check(DbiCloseCursor(Shared));
    Check(DbiCloseDatabase(Db));
}

namespace {

// Records which callback saw which record.
std::vector<std::string> gCalls;
int RejectOdd(uintptr_t Tag, const uint8_t* Rec, int32_t) {
    int32_t Id;
    std::memcpy(&Id, Rec, 4);
    gCalls.push_back(std::to_string(Tag) + ":" + std::to_string(Id));
    return Id % 2 == 0;
}
int PassAll(uintptr_t Tag, const uint8_t* Rec, int32_t) {
    int32_t Id;
    std::memcpy(&Id, Rec, 4);
    gCalls.push_back(std::to_string(Tag) + ":" + std::to_string(Id));
    return 1;
}

}  // namespace

TEST_P(DbiEngine, FiltersLifecycleAndOrder) {
    hDBIDb Db = OpenDb(GetParam(), Dir.Path);
    CreatePeople(Db);
    hDBICur C = nullptr;
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    FillPeople(C);

    TExprParser Active(C, "ACTIVE", 0);
    hDBIFilter FExpr = nullptr, FOdd = nullptr, FAll = nullptr;
    Check(DbiAddFilter(C, 0, 5, false, Active.FilterData(), nullptr, FExpr));
    EXPECT_EQ(CountOf(C), 10);  // added filters start inactive
    Check(DbiActivateFilter(C, FExpr));
    EXPECT_EQ(Walk(C, "ID"), (Strings{"3", "5", "6", "7", "8", "9"}));

    // Two callbacks: priority first, then the order added; the first rejection stops the rest.
    Check(DbiAddFilter(C, 2, 9, false, nullptr, PassAll, FAll));
    Check(DbiAddFilter(C, 1, 7, false, nullptr, RejectOdd, FOdd));
    Check(DbiActivateFilter(C, nullptr));
    gCalls.clear();
    EXPECT_EQ(Walk(C, "ID"), (Strings{"6", "8"}));
    EXPECT_EQ(gCalls, (Strings{"1:3", "1:5", "1:6", "2:6", "1:7", "1:8", "2:8", "1:9"}));
    EXPECT_EQ(CountOf(C), 2);

    // A callback of lower priority than the expression sees every record first.
    Check(DbiDropFilter(C, FOdd));
    Check(DbiDropFilter(C, FAll));
    Check(DbiAddFilter(C, 3, 1, false, nullptr, PassAll, FAll));
    Check(DbiActivateFilter(C, FAll));
    gCalls.clear();
    EXPECT_EQ(CountOf(C), 6);
    EXPECT_EQ(gCalls.size(), 10u);

    Check(DbiDeactivateFilter(C, FExpr));
    EXPECT_EQ(CountOf(C), 10);
    Check(DbiDropFilter(C, nullptr));
    EXPECT_EQ(DbiActivateFilter(C, FExpr), DBIERR_INVALIDHNDL);
    EXPECT_EQ(DbiAddFilter(C, 0, 0, false, nullptr, nullptr, FExpr), DBIERR_INVALIDFILTER);

    // An expression compiled for another cursor's fields is refused.
    hDBICur Q = nullptr;
    int64_t Rows;
    bool Live;
    Check(DbiQExec(Db, "SELECT NAME FROM PEOPLE", {}, false, Q, Rows, Live));
    TExprParser Other(Q, "NAME = 'x'", 0);
    EXPECT_EQ(DbiAddFilter(C, 0, 0, false, Other.FilterData(), nullptr, FExpr), DBIERR_INVALIDFILTER);
    Check(DbiCloseCursor(Q));
    Check(DbiCloseCursor(C));
    Check(DbiCloseDatabase(Db));
}

TEST_P(DbiEngine, ErrorsInjectionCorruptAndReadOnlyFiles) {
    // Injected failures hit the Nth call only.
    SYSInfo Info;
    DbiInjectFailure("DbiGetSysInfo", 2, DBIERR_NOMEMORY);
    EXPECT_EQ(DbiGetSysInfo(Info), DBIERR_NONE);
    EXPECT_EQ(DbiGetSysInfo(Info), DBIERR_NOMEMORY);
    EXPECT_EQ(DbiGetSysInfo(Info), DBIERR_NONE);
    DbiInjectFailure("DbiAddFilter", 1, DBIERR_TOOMANYFILTERS);
    try {
        hDBIFilter F;
        Check(DbiAddFilter(nullptr, 0, 0, false, nullptr, PassAll, F));
        ADD_FAILURE();
    } catch (const EDBEngineError& E) {
        EXPECT_EQ(E.ErrorCode(), DBIERR_TOOMANYFILTERS);
        EXPECT_STREQ(E.ClassName(), "EDBEngineError");
        EXPECT_TRUE(E.InheritsFrom("EDatabaseError"));
    }
    DbiClearInjectedFailures();

    hDBIDb Db = OpenDb(GetParam(), Dir.Path);
    CreatePeople(Db);
    hDBICur C = nullptr;
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    AddPerson(C, 1, "A", "X", 1, true);
    Rec R(C);
    R.SetInt("ID", 1);
    try {
        Check(DbiInsertRecord(C, R.Buf()));
        ADD_FAILURE();
    } catch (const EDBEngineError& E) {
        EXPECT_EQ(E.ErrorCode(), DBIERR_KEYVIOL);
        EXPECT_NE(E.Message().find("UNIQUE constraint failed"), std::string::npos) << E.Message();
    }
    Rec Empty(C);
    EXPECT_EQ(DbiInsertRecord(C, Empty.Buf()), DBIERR_REQDERR);
    EXPECT_EQ(DbiOpenTable(Db, "NOSUCH", "", "", dbiREADWRITE, dbiOPENSHARED, C), DBIERR_NOSUCHTABLE);
    int64_t Unused = 0;
    EXPECT_EQ(DbiGetRecordCount(reinterpret_cast<hDBICur>(&Info), Unused), DBIERR_INVALIDHNDL);
    Check(DbiCloseDatabase(Db));  // closes the cursor too
    EXPECT_EQ(DbiCloseCursor(C), DBIERR_INVALIDHNDL);

    // A database opened read-only: reads work, writes fail with SQLite's message.
    const std::string DbPath = std::string(GetParam()) == "SQLITE" ? Dir.Path + "/data.sqlite" : Dir.Path;
    Check(DbiOpenDatabase(GetParam(), {{"PATH", DbPath}, {"OPEN MODE", "READ ONLY"}}, Db));
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    EXPECT_EQ(CountOf(C), 1);
    int64_t Rows = 0;
    bool Live = false;
    hDBICur None = nullptr;
    EXPECT_EQ(DbiQExec(Db, "DELETE FROM PEOPLE", {}, false, None, Rows, Live), DBIERR_READONLYDB);
    EXPECT_NE(DbiLastErrorMessage().find("readonly"), std::string::npos) << DbiLastErrorMessage();
    Check(DbiCloseDatabase(Db));

    // A read-only file (not for root, whom permissions do not stop).
    const bool Local = std::string(GetParam()) == "STANDARD";
    const std::string File = Local ? Dir.Path + "/PEOPLE.db" : Dir.Path + "/data.sqlite";
    ASSERT_EQ(chmod(File.c_str(), 0444), 0);
    if (geteuid() != 0) {
        Db = OpenDb(GetParam(), Dir.Path);
        Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
        EXPECT_EQ(CountOf(C), 1);
        Rec W(C);
        W.SetInt("ID", 2);
        const DBIResult Rc = DbiInsertRecord(C, W.Buf());
        EXPECT_NE(Rc, DBIERR_NONE);
        EXPECT_NE(DbiLastErrorMessage().find("readonly"), std::string::npos) << DbiLastErrorMessage();
        Check(DbiCloseDatabase(Db));
    }
    chmod(File.c_str(), 0644);

    // A corrupt file.
    const std::string Bad = Local ? Dir.Path + "/BAD.db" : Dir.Path + "/bad.sqlite";
    std::ofstream(Bad) << std::string(4096, 'J');
    try {
        if (Local) {
            Db = OpenDb(GetParam(), Dir.Path);
            hDBICur K = nullptr;
            const DBIResult Rc = DbiOpenTable(Db, "BAD", "", "", dbiREADWRITE, dbiOPENSHARED, K);
            DbiCloseDatabase(Db);
            Check(Rc);
        } else {
            hDBIDb D = nullptr;
            Check(DbiOpenDatabase("SQLITE", {{"PATH", Bad}}, D));
        }
        ADD_FAILURE();
    } catch (const EDBEngineError& E) {
        EXPECT_NE(E.Message().find("file is not a database"), std::string::npos) << E.Message();
    }
}

TEST_P(DbiEngine, StoredProceduresEveryDirection) {
    hDBIDb Db = OpenDb(GetParam(), Dir.Path);
    CreatePeople(Db);
    hDBICur C = nullptr;
    Check(DbiOpenTable(Db, "PEOPLE", "", "", dbiREADWRITE, dbiOPENSHARED, C));
    FillPeople(C);
    SPDesc P;
    P.szName = "CityTotal";
    P.szSQL = "SELECT count(*) AS N, sum(AMOUNT) AS Total, :Factor * 2 AS Factor FROM PEOPLE WHERE CITY = :City";
    P.Params = {{"City", fldZSTRING, 0, 20, 0, paramIN}, {"N", fldINT32, 0, 0, 0, paramOUT},
                {"Factor", fldINT32, 0, 0, 0, paramINOUT}, {"Total", fldFLOAT, 0, 0, 0, paramRET}};
    std::vector<std::string> Names;
    if (std::string(GetParam()) == "STANDARD") {
        EXPECT_EQ(DbiCreateSP(Db, P, false), DBIERR_NOTSUPPORTED);
        EXPECT_EQ(DbiGetSPNames(Db, Names), DBIERR_NOTSUPPORTED);
        EXPECT_EQ(DbiErrorText(DBIERR_NOTSUPPORTED), "Capability not supported");
        Check(DbiCloseDatabase(Db));
        return;
    }
    Check(DbiCreateSP(Db, P, false));
    EXPECT_EQ(DbiCreateSP(Db, P, false), DBIERR_NAMEEXISTS);
    SPDesc Rows{"Rich", "SELECT NAME FROM PEOPLE WHERE AMOUNT >= :Min ORDER BY NAME", {{"Min", fldFLOAT, 0, 0, 0, paramIN}}};
    Check(DbiCreateSP(Db, Rows, false));
    Check(DbiGetSPNames(Db, Names));
    EXPECT_EQ(Names, (Strings{"CityTotal", "Rich"}));
    SPDesc Got;
    Check(DbiGetSPDesc(Db, "citytotal", Got));
    ASSERT_EQ(Got.Params.size(), 4u);
    EXPECT_EQ(Got.Params[2].eParamType, paramINOUT);

    std::vector<DBIValue> V = {DBIValue::Text("Boston"), {}, DBIValue::Int(21), {}};
    hDBICur Out = nullptr;
    int64_t Affected = 0;
    Check(DbiExecSP(Db, "CityTotal", V, Out, Affected));
    EXPECT_EQ(V[1].iVal, 3);
    EXPECT_EQ(V[2].iVal, 42);
    EXPECT_DOUBLE_EQ(V[3].fVal, 520);
    Check(DbiCloseCursor(Out));
    std::vector<DBIValue> M = {DBIValue::Float(250)};
    Check(DbiExecSP(Db, "Rich", M, Out, Affected));
    EXPECT_EQ(Walk(Out, "NAME"), (Strings{"Baker", "Evans", "Young"}));
    Check(DbiCloseCursor(Out));
    EXPECT_EQ(DbiExecSP(Db, "Rich", V, Out, Affected), DBIERR_INVALIDPARAM);
    Check(DbiDropSP(Db, "Rich"));
    EXPECT_EQ(DbiExecSP(Db, "Rich", M, Out, Affected), DBIERR_OBJNOTFOUND);
    Check(DbiCloseDatabase(Db));
}

INSTANTIATE_TEST_SUITE_P(Drivers, DbiEngine, ::testing::Values("STANDARD", "SQLITE"));

TEST(DbiSystem, InformationAliasesAndTables) {
    TempDir Dir;
    std::string User;
    Check(DbiGetNetUserName(User));
    EXPECT_EQ(User, getpwuid(getuid())->pw_name);
    char Buf[DBIMAXNAMELEN + 1];
    Check(DbiGetNetUserName(Buf));
    EXPECT_EQ(std::string(Buf), User.substr(0, DBIMAXNAMELEN));
    DbiInjectFailure("DbiGetNetUserName", 1, DBIERR_NOTINITIALIZED);
    EXPECT_EQ(DbiGetNetUserName(Buf), DBIERR_NOTINITIALIZED);

    Check(DbiCfgSetPath(Dir.Path + "/cfg/dbi.cfg"));
    hDBIDb Db = OpenDb("STANDARD", Dir.Path);
    CreatePeople(Db);
    CreatePeople(Db, "ORDERS");
    hDBICur C = nullptr;
    Check(DbiOpenTable(Db, "people.db", "", "", dbiREADONLY, dbiOPENSHARED, C));
    SYSInfo Info;
    Check(DbiGetSysInfo(Info));
    EXPECT_EQ(Info.iDrivers, 2);
    EXPECT_GE(Info.iDatabases, 1);
    EXPECT_GE(Info.iCursors, 1);
    SYSConfig Cfg;
    Check(DbiGetSysConfig(Cfg));
    EXPECT_EQ(Cfg.szUserName, User);
    EXPECT_EQ(Cfg.szIniFile, Dir.Path + "/cfg/dbi.cfg");
    SYSVersion Ver;
    Check(DbiGetSysVersion(Ver));
    EXPECT_EQ(Ver.szSQLiteVersion, sqlite3_libversion());
    EXPECT_GT(Ver.dateVer, 40000);
    CLIENTInfo Client;
    Check(DbiGetClientInfo(Client));
    EXPECT_FALSE(Client.szWorkDir.empty());
    Rec R(C);
    EXPECT_EQ(DbiInsertRecord(C, R.Buf()), DBIERR_TABLEREADONLY);

    std::vector<std::string> Names;
    Check(DbiGetTableNames(Db, "", false, Names));
    EXPECT_EQ(Names, (Strings{"ORDERS", "PEOPLE"}));
    Check(DbiGetTableNames(Db, "p*", false, Names));
    EXPECT_EQ(Names, (Strings{"PEOPLE"}));
    Check(DbiRenameTable(Db, "ORDERS", "SALES"));
    std::string Type;
    Check(DbiGetTableType(Db, "SALES", Type));
    EXPECT_EQ(Type, "PARADOX");
    std::vector<IDXDesc> Idx;
    Check(DbiGetIndexList(Db, "SALES", Idx));
    ASSERT_EQ(Idx.size(), 3u);
    EXPECT_TRUE(Idx[0].bPrimary);
    EXPECT_EQ(Idx[0].szKeyFields, "ID");
    Check(DbiDeleteIndex(Db, "SALES", "ByName"));
    Check(DbiGetIndexList(Db, "SALES", Idx));
    EXPECT_EQ(Idx.size(), 2u);
    Check(DbiDeleteTable(Db, "SALES"));
    Check(DbiGetTableNames(Db, "", false, Names));
    EXPECT_EQ(Names, (Strings{"PEOPLE"}));
    // Ten tables of a local database may be open at once; closing one frees a place.
    std::vector<hDBICur> Open;
    for (int I = 0; I < 10; ++I) {
        CreatePeople(Db, "T" + std::to_string(I));
        hDBICur K = nullptr;
        if (I < 9) Check(DbiOpenTable(Db, "T" + std::to_string(I), "", "", dbiREADWRITE, dbiOPENSHARED, K));
        if (K) Open.push_back(K);
    }
    hDBICur K = nullptr;
    EXPECT_EQ(DbiOpenTable(Db, "T9", "", "", dbiREADWRITE, dbiOPENSHARED, K), DBIERR_DBLIMIT);
    Check(DbiCloseCursor(Open.back()));
    Check(DbiOpenTable(Db, "T9", "", "", dbiREADWRITE, dbiOPENSHARED, K));

    // Aliases round-trip through the configuration file.
    Check(DbiCfgAddAlias("Local", "standard", {{"PATH", Dir.Path}}));
    Check(DbiCfgAddAlias("Shop", "SQLITE", {{"PATH", Dir.Path + "/shop.sqlite"}, {"OPEN MODE", "READ/WRITE"}}));
    EXPECT_EQ(DbiCfgAddAlias("shop", "SQLITE", {}), DBIERR_ALIASEXISTS);
    EXPECT_EQ(DbiCfgAddAlias("Bad", "ORACLE", {}), DBIERR_UNKNOWNDRIVER);
    Check(DbiCfgModifyAlias("Shop", {{"OPEN MODE", "READ ONLY"}}));
    Check(DbiCfgSave());
    Check(DbiCfgDeleteAlias("Local"));
    Check(DbiCfgReload());
    Check(DbiCfgGetAliasNames(Names));
    EXPECT_EQ(Names, (Strings{"Local", "Shop"}));
    TDbiParams P;
    Check(DbiCfgGetAliasParams("SHOP", P));
    EXPECT_EQ(DbiParamValue(P, "driver"), "SQLITE");
    EXPECT_EQ(DbiParamValue(P, "open mode"), "READ ONLY");
    EXPECT_EQ(DbiCfgGetAliasParams("None", P), DBIERR_OBJNOTFOUND_ALIAS);
    Check(DbiCloseDatabase(Db));
    Check(DbiCfgSetPath(""));
}
