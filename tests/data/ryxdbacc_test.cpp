// The local database components: the application directory, LocalPath against DatabaseName, streaming, a streamed connected database, and the idle flush.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "adapters_fixture.h"
#include "data/ryxdbacc.h"
#include "host/app/app.h"
#include "host/db/dbierrors.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "services/ryxapp.h"

using namespace host;
using namespace ryx;

namespace {

class LocalDatabaseTest : public adtest::TAdapterTest {
protected:
    void SetUp() override {
        TAdapterTest::SetUp();
        ryxAppFinalization();
        RecreateApplication();
        Application->SetExeName(Path("bin/app"));
        ForceDirectories(Path("bin"));
    }
    void TearDown() override {
        ryxAppFinalization();
        ryxSetDesignProjectFile("");
        TAdapterTest::TearDown();
    }
    template <class T>
    static std::string AsText(T& Component) {
        TMemoryStream s;
        s.WriteComponent(&Component);
        return ObjectBinaryToTextString(std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())));
    }
    static void ReadText(const std::string& Text, TComponent* Into) {
        TStringStream s(ObjectTextToBinaryString(Text));
        s.ReadComponent(Into);
    }
};

}  // namespace

TEST_F(LocalDatabaseTest, TablesAndQueriesFollowTheApplicationDirectory) {
    const std::string bin = Path("bin");
    TryxLocalTable t(nullptr);
    t.SetName("Local");
    EXPECT_TRUE(t.LocalPath());
    EXPECT_EQ(t.DatabaseName(), bin);
    EXPECT_EQ(AsText(t).find("DatabaseName"), std::string::npos) << AsText(t);

    t.SetDatabaseName(Path("p.db"));
    EXPECT_FALSE(t.LocalPath());
    const std::string text = AsText(t);
    EXPECT_NE(text.find("DatabaseName = '" + Path("p.db") + "'"), std::string::npos) << text;
    EXPECT_NE(text.find("LocalPath = False"), std::string::npos) << text;
    TryxLocalTable back(nullptr);
    ReadText(text, &back);
    EXPECT_FALSE(back.LocalPath());
    EXPECT_EQ(back.DatabaseName(), Path("p.db"));
    t.SetLocalPath(true);
    EXPECT_EQ(t.DatabaseName(), bin);

    // Local tables in the application's directory open through the default path.
    People(bin, Crowd()).reset();
    t.SetTableName("PEOPLE");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 6);
    t.Close();

    TryxLocalQuery q(nullptr);
    EXPECT_EQ(q.DatabaseName(), bin);
    q.SQL()->SetText("select * from PEOPLE where Age > 30");
    q.Open();
    EXPECT_EQ(q.RecordCount(), 3);
    q.Close();
    q.SetDatabaseName(Path("other"));
    EXPECT_FALSE(q.LocalPath());
    q.SetLocalPath(true);
    EXPECT_EQ(q.DatabaseName(), bin);

    // While designed, the directory is the current project's.
    ryxSetDesignProjectFile(Path("proj/demo.dpr"));
    TryxLocalTable designed(nullptr);
    designed.SetDesigning(true);
    designed.SetLocalPath(false);
    designed.SetLocalPath(true);
    EXPECT_EQ(designed.DatabaseName(), Path("proj"));
}

TEST_F(LocalDatabaseTest, DatabaseSetsItsPathBeforeAStreamedConnectionOpens) {
    People(Path("bin"), Crowd()).reset();
    TryxLocalDatabase fresh(nullptr);
    EXPECT_TRUE(fresh.LocalPath());
    EXPECT_EQ(fresh.DriverName(), "STANDARD");
    EXPECT_EQ(fresh.Params()->Text(), "Path=" + Path("bin") + "\n");

    TryxLocalDatabase db(nullptr);
    ReadText("object LocalDB: TryxLocalDatabase\n"
             "  Connected = True\n"
             "  DatabaseName = 'LOC'\n"
             "  LoginPrompt = False\n"
             "end\n",
             &db);
    ASSERT_TRUE(db.Connected());
    EXPECT_FALSE(db.IsSQLBased());
    TTable t(nullptr);
    t.SetDatabaseName("LOC");
    t.SetTableName("PEOPLE");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 6);
    t.Close();
    // Switching the path off keeps the connection's settings as they are.
    db.Close();
    db.SetLocalPath(false);
    EXPECT_EQ(db.DriverName(), "STANDARD");
    db.SetAliasName("Elsewhere");
    db.SetLocalPath(true);
    EXPECT_EQ(db.DriverName(), "STANDARD");
    EXPECT_EQ(db.AliasName(), "");
    // A connected database cannot switch its driver: the switch fails and changes nothing.
    db.Open();
    db.SetLocalPath(false);
    EXPECT_THROW(db.SetLocalPath(true), EDatabaseError);
    EXPECT_FALSE(db.LocalPath());
}

TEST_F(LocalDatabaseTest, IdleTimeFlushesModifiableDatasetsThenCallsOnIdle) {
    auto table = People(Path("p.db"), Crowd());
    TQuery query(nullptr);
    query.SetDatabaseName(Path("p.db"));
    query.SQL()->SetText("select * from PEOPLE");
    query.Open();

    int idles = 0;
    {
        TryxDBIdleTime idle(nullptr);
        idle.OnIdle = [&idles](TObject* Sender, bool& Done) {
            ++idles;
            EXPECT_EQ(Sender, Application);
            Done = false;
        };
        bool done = true;
        Application->OnIdle(Application, done);
        EXPECT_EQ(idles, 1);
        EXPECT_FALSE(done);

        // The engine is asked for the table only: one failing call reaches it,
        // and the handler does not run after a failed flush.
        DbiInjectFailure("DbiSaveChanges", 1, DBIERR_NOMEMORY);
        EXPECT_THROW(Application->OnIdle(Application, done), EDBEngineError);
        EXPECT_EQ(idles, 1);
        table->Close();
        DbiInjectFailure("DbiSaveChanges", 1, DBIERR_NOMEMORY);
        Application->OnIdle(Application, done);  // only the read-only query is open
        EXPECT_EQ(idles, 2);
        DbiClearInjectedFailures();
    }
    // Destroyed: unregistered from the application's idle events.
    bool done = true;
    Application->OnIdle(Application, done);
    EXPECT_EQ(idles, 2);
}
