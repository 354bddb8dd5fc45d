// Tests of TDatabase and TSession: connections, login, transactions on both drivers, aliases through the configuration file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "db_fixture.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/sysutils.h"

using namespace host;

namespace {

class DatabaseTest : public dbtest::TDbTemp {
protected:
    int Count(TDatabase* Db, const std::string& Table) {
        TQuery q(nullptr);
        q.SetDatabaseName(Db->DatabaseName());
        q.SQL()->SetText("select count(*) from " + Table);
        q.Open();
        return q.Fields(0)->AsInteger();
    }
    int CountTable(const std::string& DbName, const std::string& Table) {
        TTable t(nullptr);
        t.SetDatabaseName(DbName);
        t.SetTableName(Table);
        t.Open();
        return t.RecordCount();
    }
    void AddRow(TTable& T, int Id) {
        T.Append();
        T.FieldByName("Id")->SetAsInteger(Id);
        T.Post();
    }
    void MakeTable(const std::string& DbName) {
        TTable t(nullptr);
        t.SetDatabaseName(DbName);
        t.SetTableName("T");
        t.FieldDefs()->Add("Id", ftInteger, 0, true);
        t.IndexDefs()->Add("", "Id", {ixPrimary});
        t.CreateTable();
    }
};

}  // namespace

TEST_F(DatabaseTest, ConnectsThroughDriverParamsAndLogsIn) {
    TDatabase db(nullptr);
    db.SetDatabaseName("Work");
    db.SetDriverName("SQLITE");
    db.Params()->Add("PATH=" + Path("work.db"));
    std::string seenUser;
    db.OnLogin = [&](TDatabase*, TStrings* Login) {
        seenUser = Login->Values("USER NAME");
        Login->SetValues("PASSWORD", "secret");
    };
    db.Params()->Add("USER NAME=alice");
    EXPECT_TRUE(db.IsSQLBased());
    db.Open();
    EXPECT_TRUE(db.Connected());
    EXPECT_EQ(seenUser, "alice");
    EXPECT_EQ(db.Execute("create table T (Id integer primary key, Name varchar(10))"), 0);
    TParams params;
    params.CreateParam(ftInteger, "Id", ptInput)->SetAsInteger(7);
    params.CreateParam(ftString, "Name", ptInput)->SetAsString("seven");
    EXPECT_EQ(db.Execute("insert into T values (:Id, :Name)", &params), 1);

    // Datasets naming the database by its DatabaseName use this connection.
    TTable t(nullptr);
    t.SetDatabaseName("Work");
    t.SetTableName("T");
    t.Open();
    EXPECT_EQ(t.Database(), &db);
    EXPECT_EQ(db.DataSetCount(), 1);
    EXPECT_EQ(db.DataSets(0), &t);
    EXPECT_EQ(t.FieldByName("Name")->AsString(), "seven");
    db.CloseDataSets();
    EXPECT_FALSE(t.Active());
    db.Close();
    EXPECT_FALSE(db.Connected());

    // A login handler that refuses stops the connection.
    db.OnLogin = [](TDatabase*, TStrings*) { throw EAbort("cancelled"); };
    EXPECT_THROW(db.Open(), EAbort);
    EXPECT_FALSE(db.Connected());
    db.SetLoginPrompt(false);
    db.Open();
    EXPECT_TRUE(db.Connected());
}

TEST_F(DatabaseTest, TransactionsOnBothDrivers) {
    for (const std::string& name : {Path("tx.db"), Path("txdir")}) {
        SCOPED_TRACE(name);
        if (ExtractFileExt(name).empty()) ForceDirectories(name);
        MakeTable(name);
        TDatabase db(nullptr);
        db.SetDatabaseName(name);
        db.SetLoginPrompt(false);
        const bool sql = ExtractFileExt(name) == ".db";
        if (!sql) db.SetTransIsolation(tiDirtyRead);
        db.Open();
        EXPECT_EQ(db.IsSQLBased(), sql);
        TTable t(nullptr);
        t.SetDatabaseName(name);
        t.SetTableName("T");
        t.Open();
        AddRow(t, 1);

        db.StartTransaction();
        EXPECT_TRUE(db.InTransaction());
        EXPECT_THROW(db.StartTransaction(), EDatabaseError);
        AddRow(t, 2);
        AddRow(t, 3);
        db.Rollback();
        EXPECT_FALSE(db.InTransaction());
        EXPECT_EQ(t.RecordCount(), 1);

        db.StartTransaction();
        AddRow(t, 4);
        db.Commit();
        EXPECT_EQ(t.RecordCount(), 2);
        EXPECT_THROW(db.Commit(), EDatabaseError);
        t.Close();
        db.Close();
        EXPECT_EQ(CountTable(name, "T"), 2);

        // Local tables know only dirty reads.
        if (!sql) {
            db.SetTransIsolation(tiReadCommitted);
            db.Open();
            EXPECT_THROW(db.StartTransaction(), EDatabaseError);
            db.Close();
        }
    }
}

TEST_F(DatabaseTest, SessionsKeepAliasesInTheConfigurationFile) {
    CreateSampleDatabase(Path("sample.db"));
    TStringList params;
    params.Add("PATH=" + Path("sample.db"));
    Session->AddAlias("SampleAlias", "SQLITE", &params);
    Session->AddStandardAlias("LocalAlias", Path("local"), "PARADOX");
    EXPECT_TRUE(Session->IsAlias("SampleAlias"));
    TStringList names;
    Session->GetAliasNames(&names);
    EXPECT_GE(names.IndexOf("SampleAlias"), 0);
    EXPECT_GE(names.IndexOf("LocalAlias"), 0);
    EXPECT_THROW(Session->AddAlias("SampleAlias", "SQLITE", &params), EDatabaseError);
    EXPECT_THROW(Session->AddAlias("Other", "NODRIVER", &params), EDatabaseError);
    Session->SaveConfigFile();

    // The file holds them: reading it again finds them with their parameters.
    DbiCfgReload();
    TStringList got;
    Session->GetAliasParams("SampleAlias", &got);
    EXPECT_EQ(got.Values("PATH"), Path("sample.db"));
    EXPECT_EQ(Session->GetAliasDriverName("SampleAlias"), "SQLITE");
    TStringList changed;
    changed.Add("PATH=" + Path("other.db"));
    Session->ModifyAlias("LocalAlias", &changed);
    Session->GetAliasParams("LocalAlias", &got);
    EXPECT_EQ(got.Values("PATH"), Path("other.db"));
    Session->DeleteAlias("LocalAlias");
    Session->SaveConfigFile();
    DbiCfgReload();
    EXPECT_FALSE(Session->IsAlias("LocalAlias"));

    // Tables through the alias; the session's lists.
    TTable t(nullptr);
    t.SetDatabaseName("SampleAlias");
    t.SetTableName("PARTS");
    t.Open();
    EXPECT_EQ(t.RecordCount(), SampleDatabaseCounts().Parts);
    t.Close();
    Session->GetTableNames("SampleAlias", "", false, false, &names);
    EXPECT_EQ(names.Count(), 5);
    EXPECT_EQ(names.IndexOf("CUSTOMER") >= 0 && names.IndexOf("ORDERS") >= 0, true);
    Session->GetTableNames("SampleAlias", "*S", false, false, &names);
    EXPECT_EQ(names.Count(), 3);  // ITEMS, ORDERS, PARTS
    Session->GetTableNames("SampleAlias", "", false, true, &names);
    EXPECT_GT(names.Count(), 5);
    Session->GetDatabaseNames(&names);
    EXPECT_GE(names.IndexOf("SampleAlias"), 0);
    Session->GetDriverNames(&names);
    EXPECT_GE(names.IndexOf("STANDARD"), 0);
    EXPECT_GE(names.IndexOf("SQLITE"), 0);
    Session->GetDriverParams("STANDARD", &names);
    EXPECT_GE(names.IndexOfName("PATH"), 0);

    // Session-only aliases are not written to the file.
    Session->SetConfigMode(cmSession);
    Session->AddAlias("Temp", "SQLITE", &params);
    Session->SetConfigMode(cmAll);
    Session->SaveConfigFile();
    DbiCfgReload();
    Session->GetAliasNames(&names);
    EXPECT_GE(names.IndexOf("Temp"), 0);
    Session->SetConfigMode(cmPersistent);
    Session->GetAliasNames(&names);
    EXPECT_EQ(names.IndexOf("Temp"), -1);
    Session->SetConfigMode(cmAll);
    Session->DeleteAlias("Temp");
    Session->DeleteAlias("SampleAlias");
    Session->SaveConfigFile();
}

TEST_F(DatabaseTest, SessionsAndTemporaryDatabases) {
    CreateSampleDatabase(Path("sample.db"));
    EXPECT_EQ(Sessions->FindSession(""), static_cast<TSession*>(Session));
    EXPECT_EQ(Session->SessionName(), "Default");
    TSession* s = Sessions->OpenSession("Second");
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->Active());
    EXPECT_EQ(Sessions->FindSession("second"), s);

    TTable t(nullptr);
    t.SetSessionName("Second");
    t.SetDatabaseName(Path("sample.db"));
    t.SetTableName("EMPLOYEE");
    t.Open();
    EXPECT_EQ(t.DBSession(), s);
    TDatabase* temp = s->FindDatabase(Path("sample.db"));
    ASSERT_NE(temp, nullptr);
    EXPECT_TRUE(temp->Temporary());
    EXPECT_EQ(Session->FindDatabase(Path("sample.db")), nullptr);
    s->SetKeepConnections(false);
    t.Close();
    EXPECT_EQ(s->FindDatabase(Path("sample.db")), nullptr);  // freed with its last dataset

    EXPECT_THROW(s->SetPrivateDir(Path("missing")), EDatabaseError);
    s->SetPrivateDir(Dir);
    EXPECT_EQ(s->PrivateDir(), Dir);
    s->SetNetFileDir(Dir);
    EXPECT_EQ(s->NetFileDir(), Dir);
    delete s;
    EXPECT_EQ(Sessions->FindSession("Second"), nullptr);
}
