// Dataset information reports of the base and engine adapters, each compared byte for byte with a golden text file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/ryxda.h"
#include "data/ryxdabde.h"
#include "frame/ryxpackage.h"
#include "host/db/db_fixture.h"
#include "host/db/dbtables.h"
#include "host/db/memdataset.h"
#include "host/rtl/dates.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

using namespace host;
using ryx::TryxDatasetAdapter;

namespace {

using TReportFn = void (TryxDatasetAdapter::*)(TStrings*);

const std::string kGoldenDir = std::string(RYX_TEST_DATA_DIR) + "/golden/";

// Compares Text with golden/<Name>.txt. RYX_UPDATE_GOLDEN=1 writes the file
// instead; a mismatch leaves the text in the temporary folder for a diff.
void ExpectGolden(const std::string& Name, const std::string& Text) {
    const std::string path = kGoldenDir + Name + ".txt";
    if (const char* u = std::getenv("RYX_UPDATE_GOLDEN"); u != nullptr && std::string(u) == "1") {
        std::ofstream(path, std::ios::binary) << Text;
        return;
    }
    std::ostringstream expected;
    expected << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(expected.str(), Text) << "golden file " << path;
    if (expected.str() != Text)
        std::ofstream(std::filesystem::temp_directory_path() / ("report-" + Name + ".actual.txt")) << Text;
}

// Text with the value of each line "<indent>Label<value>" whose label is in
// Labels replaced by "#"; Found receives the first such value.
std::string MaskValues(const std::string& Text, const std::vector<std::string>& Labels, std::string* Found = nullptr) {
    std::istringstream in(Text);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        for (const std::string& label : Labels)
            if (line.find_first_not_of(' ') == line.find(label) && line.find(label) != std::string::npos) {
                const size_t end = line.find(label) + label.size();
                if (Found != nullptr && Found->empty()) *Found = line.substr(end);
                line = line.substr(0, end) + "#";
                break;
            }
        out += line + "\n";
    }
    return out;
}

// The value of the first line "<indent>Label<value>" in Text.
std::string ValueOf(const std::string& Text, const std::string& Label) {
    std::string value;
    MaskValues(Text, {Label}, &value);
    return value;
}

class ReportTest : public dbtest::TDbTemp {
protected:
    void SetUp() override {
        TDbTemp::SetUp();
        ryx::Initialize();
        (void)Sessions->Count();  // the session list exists before the test's session joins it
        FSession = std::make_unique<TSession>(nullptr);
        FSession->SetSessionName("RP");
        FDb = std::make_unique<TDatabase>(nullptr);
        FDb->SetName("RpDatabase");
        FDb->SetSessionName("RP");
        FDb->SetDatabaseName("RPDB");
        FDb->SetDriverName("SQLITE");
        FDb->Params()->Add("PATH=" + Path("rp.db"));
        FDb->SetLoginPrompt(false);
        FDb->Open();
        MakePeople();
    }
    void TearDown() override {
        FOwned.clear();
        FAliasDb.reset();
        FDb.reset();
        FSession.reset();
        ryx::Finalize();
        TDbTemp::TearDown();
    }

    // PEOPLE (Id primary, Name required with a case-insensitive index, Age)
    // with three rows, and PETS (no index) with one.
    void MakePeople() {
        TTable t(nullptr);
        t.SetSessionName("RP");
        t.SetDatabaseName("RPDB");
        t.SetTableName("PEOPLE");
        t.FieldDefs()->Add("Id", ftInteger, 0, true);
        t.FieldDefs()->Add("Name", ftString, 20, true);
        t.FieldDefs()->Add("Age", ftInteger);
        t.IndexDefs()->Add("", "Id", {ixPrimary, ixUnique});
        t.IndexDefs()->Add("ByName", "Name", {ixCaseInsensitive});
        t.IndexDefs()->Add("ByAge", "Age", {});
        t.CreateTable();
        t.Open();
        t.AppendRecord({1, "Ann", 31});
        t.AppendRecord({2, "Bob", 42});
        t.AppendRecord({3, "Cy", 27});
        t.Close();
        TTable p(nullptr);
        p.SetSessionName("RP");
        p.SetDatabaseName("RPDB");
        p.SetTableName("PETS");
        p.FieldDefs()->Add("Pet", ftString, 10);
        p.FieldDefs()->Add("Born", ftDate);
        p.CreateTable();
        p.Open();
        p.AppendRecord({"Rex", EncodeDate(2020, 5, 17)});
    }

    // A STANDARD alias of the configuration in the folder Folder, a database
    // component "LocalDatabase" named DatabaseName over it, and a table T in it.
    void MakeAliasDatabase(const std::string& Alias, const std::string& Folder, const std::string& DatabaseName) {
        std::filesystem::create_directory(Path(Folder));
        TStringList params;
        params.Add("PATH=" + Path(Folder));
        FSession->AddAlias(Alias, "STANDARD", &params);
        FAliasDb = std::make_unique<TDatabase>(nullptr);
        FAliasDb->SetName("LocalDatabase");
        FAliasDb->SetSessionName("RP");
        FAliasDb->SetDatabaseName(DatabaseName);
        FAliasDb->SetAliasName(Alias);
        FAliasDb->SetLoginPrompt(false);
        FAliasDb->SetTransIsolation(tiDirtyRead);
        TTable make(nullptr);
        make.SetSessionName("RP");
        make.SetDatabaseName(DatabaseName);
        make.SetTableName("T");
        make.FieldDefs()->Add("Line", ftString, 40);
        make.CreateTable();
    }

    template <class T>
    T* Own(std::unique_ptr<T> Dataset) {
        T* raw = Dataset.get();
        FOwned.push_back(std::move(Dataset));
        return raw;
    }
    TTable* OpenTable(const std::string& Name, const std::string& DatabaseName = "RPDB") {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetName("Tbl" + Name);
        t->SetSessionName("RP");
        t->SetDatabaseName(DatabaseName);
        t->SetTableName(Name);
        t->Open();
        return Own(std::move(t));
    }

    // The report Fn of the adapter the factory makes for Dataset, with the
    // test's folder written as <DIR>.
    std::string Report(TDataSet* Dataset, TReportFn Fn) {
        auto adapter = ryx::ryxDSAdapterFactory()->CreateAdapter(Dataset);
        TStringList list;
        (adapter.get()->*Fn)(&list);
        return StringReplace(list.Text(), Dir, "<DIR>", {rfReplaceAll});
    }

    std::unique_ptr<TSession> FSession;
    std::unique_ptr<TDatabase> FDb;
    std::unique_ptr<TDatabase> FAliasDb;
    std::vector<std::unique_ptr<TDataSet>> FOwned;
};

}  // namespace

TEST_F(ReportTest, PlainDatasetGetsTheBaseReportsOnly) {
    TMemDataSet m(nullptr);
    m.SetName("Members");
    m.FieldDefs()->Add("MemberNo", ftInteger, 0, true);
    m.FieldDefs()->Add("FullName", ftString, 24);
    m.FieldDefs()->Add("Paid", ftBoolean);
    m.Open();
    m.AppendRecord({7, "Dora Diaz", true});
    m.AppendRecord({8, "Eli Ek", false});
    m.First();
    m.FieldByName("FullName")->SetDisplayLabel("Full name");
    m.FieldByName("Paid")->SetReadOnly(true);

    auto adapter = ryx::ryxDSAdapterFactory()->CreateAdapter(&m);
    EXPECT_STREQ(adapter->ClassName().c_str(), "TryxDatasetAdapter");
    ExpectGolden("base_dataset", Report(&m, &TryxDatasetAdapter::GetDatasetInfo));
    ExpectGolden("base_fields", Report(&m, &TryxDatasetAdapter::GetFieldInfo));
    for (TReportFn fn : {&TryxDatasetAdapter::GetIndexInfo, &TryxDatasetAdapter::GetParamInfo,
                         &TryxDatasetAdapter::GetDatabaseInfo, &TryxDatasetAdapter::GetSessionInfo,
                         &TryxDatasetAdapter::GetDBEngineInfo})
        EXPECT_EQ(Report(&m, fn), "");

    // Without fields the report ends after the state and one blank line; a
    // closed engine table reports no record count instead of raising.
    TMemDataSet none(nullptr);
    none.SetName("Nothing");
    TStringList list;
    ryx::ryxDSAdapterFactory()->CreateAdapter(&none)->GetDatasetInfo(&list);
    ASSERT_EQ(list.Count(), 16);
    EXPECT_EQ(list.Strings(14), "  State = dsInactive");
    EXPECT_EQ(list.Strings(15), "");
    TTable closed(nullptr);
    closed.SetSessionName("RP");
    closed.SetDatabaseName("RPDB");
    closed.SetTableName("PEOPLE");
    const std::string text = Report(&closed, &TryxDatasetAdapter::GetDatasetInfo);
    EXPECT_EQ(ValueOf(text, "RecordCount = "), "-1");
    EXPECT_EQ(ValueOf(text, "KeyExclusive"), "  cannot be read in current State.");
}

TEST_F(ReportTest, TableReportsWithAndWithoutIndexes) {
    TTable* people = OpenTable("PEOPLE");
    people->SetIndexName("ByName");
    people->Next();
    ExpectGolden("table_dataset", Report(people, &TryxDatasetAdapter::GetDatasetInfo));
    ExpectGolden("table_fields", Report(people, &TryxDatasetAdapter::GetFieldInfo));
    ExpectGolden("table_indexes", Report(people, &TryxDatasetAdapter::GetIndexInfo));
    EXPECT_EQ(Report(people, &TryxDatasetAdapter::GetParamInfo), "");

    // The key properties are read while the key buffer exists.
    people->SetKey();
    people->SetKeyExclusive(true);
    people->SetKeyFieldCount(1);
    std::string text = Report(people, &TryxDatasetAdapter::GetDatasetInfo);
    EXPECT_EQ(ValueOf(text, "State = "), "dsSetKey");
    EXPECT_EQ(ValueOf(text, "KeyExclusive = "), "True");
    EXPECT_EQ(ValueOf(text, "KeyFieldCount = "), "1");
    people->Cancel();
    people->Edit();
    text = Report(people, &TryxDatasetAdapter::GetDatasetInfo);
    EXPECT_NE(text.find("    KeyExclusive  cannot be read in current State.\n"
                        "    KeyFieldCount cannot be read in current State.\n"),
              std::string::npos);
    people->Cancel();

    // A detail table names its master's data source in both places.
    TDataSource source(nullptr);
    source.SetName("PeopleSource");
    source.SetDataSet(people);
    TTable* detail = OpenTable("PEOPLE");
    detail->SetMasterSource(&source);
    detail->SetMasterFields("Id");
    text = Report(detail, &TryxDatasetAdapter::GetDatasetInfo);
    EXPECT_EQ(ValueOf(text, "DataSource = "), "PeopleSource");
    EXPECT_EQ(ValueOf(text, "MasterSource = "), "PeopleSource");
    EXPECT_EQ(ValueOf(text, "MasterFields = "), "Id");
    detail->SetMasterSource(nullptr);

    TTable* pets = OpenTable("PETS");
    ExpectGolden("table_noindex_dataset", Report(pets, &TryxDatasetAdapter::GetDatasetInfo));
    ExpectGolden("table_noindex_indexes", Report(pets, &TryxDatasetAdapter::GetIndexInfo));
}

TEST_F(ReportTest, QueryAndStoredProcedureWithParameters) {
    auto q = std::make_unique<TQuery>(nullptr);
    q->SetName("OlderThan");
    q->SetSessionName("RP");
    q->SetDatabaseName("RPDB");
    q->SQL()->Add("select Id, Name from PEOPLE");
    q->SQL()->Add("where Age > :MinAge and Name <> :Skip order by Id");
    q->ParamByName("MinAge")->SetAsInteger(30);
    TQuery* query = Own(std::move(q));
    ExpectGolden("query_params_unbound", Report(query, &TryxDatasetAdapter::GetParamInfo));
    query->ParamByName("Skip")->SetAsString("Bob");
    query->Open();
    ExpectGolden("query_dataset", Report(query, &TryxDatasetAdapter::GetDatasetInfo));
    ExpectGolden("query_params", Report(query, &TryxDatasetAdapter::GetParamInfo));
    EXPECT_EQ(Report(query, &TryxDatasetAdapter::GetIndexInfo), "");

    SPDesc sp;
    sp.szName = "AGE_OF";
    sp.szSQL = "SELECT Age FROM PEOPLE WHERE Id = :Id";
    sp.Params = {{"Id", fldINT32, fldstNONE, 0, 0, paramIN}, {"Age", fldINT32, fldstNONE, 0, 0, paramOUT}};
    ASSERT_EQ(DbiCreateSP(FDb->Handle(), sp, true), DBIERR_NONE);
    auto p = std::make_unique<TStoredProc>(nullptr);
    p->SetName("AgeOf");
    p->SetSessionName("RP");
    p->SetDatabaseName("RPDB");
    p->SetStoredProcName("AGE_OF");
    TStoredProc* proc = Own(std::move(p));
    proc->Prepare();
    proc->SetParamBindMode(pbByNumber);
    proc->ParamByName("Id")->SetAsInteger(2);
    ExpectGolden("proc_dataset", Report(proc, &TryxDatasetAdapter::GetDatasetInfo));
    proc->ExecProc();
    ExpectGolden("proc_params", Report(proc, &TryxDatasetAdapter::GetParamInfo));
}

TEST_F(ReportTest, DatabaseReportsOfSqlLocalAndTemporaryDatabases) {
    TTable* people = OpenTable("PEOPLE");
    SPDesc sp;
    sp.szName = "COUNT_PEOPLE";
    sp.szSQL = "SELECT COUNT(*) AS N FROM PEOPLE";
    ASSERT_EQ(DbiCreateSP(FDb->Handle(), sp, true), DBIERR_NONE);
    ExpectGolden("database_sqlite", Report(people, &TryxDatasetAdapter::GetDatabaseInfo));

    // A local database through an alias of the configuration.
    MakeAliasDatabase("RPLOCAL", "local", "LOCALDB");
    ExpectGolden("database_standard", Report(OpenTable("T", "LOCALDB"), &TryxDatasetAdapter::GetDatabaseInfo));

    // A database file named by path: a temporary connection, no alias, no driver.
    TTable* direct = OpenTable("PETS", Path("rp.db"));
    ExpectGolden("database_temporary", Report(direct, &TryxDatasetAdapter::GetDatabaseInfo));

    TTable closed(nullptr);
    closed.SetSessionName("RP");
    closed.SetDatabaseName("RPDB");
    closed.SetTableName("PEOPLE");
    EXPECT_EQ(Report(&closed, &TryxDatasetAdapter::GetDatabaseInfo), "Database\n  Database is nil.\n\n");
}

TEST_F(ReportTest, DatabaseReportTurnsListFailuresIntoLines) {
    TTable* people = OpenTable("PEOPLE");
    DbiInjectFailure("DbiGetSPNames", 1, DBIERR_INJECTED);
    DbiInjectFailure("DbiGetDriverParams", 1, DBIERR_INJECTED);
    std::string text = Report(people, &TryxDatasetAdapter::GetDatabaseInfo);
    EXPECT_NE(text.find("Stored Procedure Names:\n    Injected failure. DbiGetSPNames\n\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Driver Params:\n    Exception: Injected failure. DbiGetDriverParams\n\n\n"),
              std::string::npos)
        << text;

    MakeAliasDatabase("RPALIAS", "alias", "ALIASDB");
    TTable* t = OpenTable("T", "ALIASDB");
    DbiInjectFailure("DbiCfgGetAliasParams", 1, DBIERR_INJECTED);
    text = Report(t, &TryxDatasetAdapter::GetDatabaseInfo);
    EXPECT_NE(text.find("Alias Params:\n    Injected failure. DbiCfgGetAliasParams\n\n"), std::string::npos) << text;

    // The table names are not guarded: the report stops and the error reaches the caller.
    DbiInjectFailure("DbiGetTableNames", 1, DBIERR_INJECTED);
    auto adapter = ryx::ryxDSAdapterFactory()->CreateAdapter(people);
    TStringList list;
    EXPECT_THROW(adapter->GetDatabaseInfo(&list), EDBEngineError);
    EXPECT_EQ(list.Strings(list.Count() - 1), "  Table Names:");
}

TEST_F(ReportTest, SessionReportWithAndWithoutAliases) {
    TTable* people = OpenTable("PEOPLE");
    ExpectGolden("session", Report(people, &TryxDatasetAdapter::GetSessionInfo));
    TStringList params;
    params.Add("PATH=" + Path("x"));
    FSession->AddAlias("ZETA", "SQLITE", &params);
    FSession->AddAlias("ALPHA", "STANDARD", &params);
    std::filesystem::create_directory(Path("net"));
    FSession->SetNetFileDir(Path("net"));
    ExpectGolden("session_aliases", Report(people, &TryxDatasetAdapter::GetSessionInfo));
}

TEST_F(ReportTest, EngineReportDecodesTheVersionDateAndReportsEachFailure) {
    TTable* people = OpenTable("PEOPLE");
    const std::string text = Report(people, &TryxDatasetAdapter::GetDBEngineInfo);
    // The engine's release date and time come out as a real date and time of
    // this build, not as day numbers taken for dates.
    TDateTime date = 0, time = 0;
    ASSERT_TRUE(TryStrToDate(ValueOf(text, "Version date = "), date)) << text;
    ASSERT_TRUE(TryStrToTime(ValueOf(text, "Version time = "), time)) << text;
    int y = 0, mo = 0, d = 0;
    DecodeDate(date, y, mo, d);
    EXPECT_GE(y, 2024);
    EXPECT_LE(date, Now());
    EXPECT_TRUE(time >= 0 && time < 1);
    // Counts, sizes, names and folders vary from machine to machine and run to run.
    ExpectGolden("engine", MaskValues(text, {"BufferSpace = ", "HeapSpace = ", "Sessions = ", "Databases = ",
                                             "Cursors = ", "Name = ", "WorkDir = ", "UserName = ",
                                             "Version date = ", "Version time = "}));

    for (const char* fn : {"DbiGetSysInfo", "DbiGetClientInfo", "DbiGetSysConfig", "DbiGetSysVersion"})
        DbiInjectFailure(fn, 1, DBIERR_NOTSUPPORTED);
    ExpectGolden("engine_errors", Report(people, &TryxDatasetAdapter::GetDBEngineInfo));
}
