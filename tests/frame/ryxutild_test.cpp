// Ryxutild: the dataset routines on real SQLite tables and queries.
#include <gtest/gtest.h>

#include "../host/db/db_fixture.h"
#include "data/ryxdabde.h"
#include "frame/ryxutild.h"
#include "host/rtl/dates.h"
#include "host/rtl/lists.h"

using namespace host;
using namespace ryx;

namespace {

class RyxUtilDTest : public dbtest::TDbTemp {
protected:
    std::unique_ptr<TTable> People() {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetName("tblPeople");
        t->SetDatabaseName(Path("people.db"));
        t->SetTableName("PEOPLE");
        t->FieldDefs()->Add("Id", ftInteger, 0, true);
        t->FieldDefs()->Add("Name", ftString, 20);
        t->IndexDefs()->Add("", "Id", {ixPrimary});
        t->CreateTable();
        return t;
    }
};

}  // namespace

TEST_F(RyxUtilDTest, ReadOnlyFollowsWhatTheDataSetAllows) {
    EXPECT_TRUE(ryxDataSetReadOnly(nullptr));
    auto t = People();
    EXPECT_FALSE(ryxDataSetReadOnly(t.get()));
    t->SetReadOnly(true);
    EXPECT_TRUE(ryxDataSetReadOnly(t.get()));
    t->Open();
    EXPECT_TRUE(ryxDataSetReadOnly(t.get()));
    t->Close();
    t->SetReadOnly(false);
    t->Open();
    EXPECT_FALSE(ryxDataSetReadOnly(t.get()));
    t->Append();
    t->FieldByName("Id")->SetAsInteger(1);
    t->FieldByName("Name")->SetAsString("Ann");
    t->Post();
    t->Close();

    TQuery q(nullptr);
    q.SetDatabaseName(Path("people.db"));
    q.SQL()->Add("SELECT Id, Name");
    q.SQL()->Add("  FROM PEOPLE  ");
    EXPECT_TRUE(ryxDataSetReadOnly(&q));  // a dead result
    q.Open();
    EXPECT_TRUE(ryxDataSetReadOnly(&q));
    q.Close();
    q.SetRequestLive(true);
    EXPECT_FALSE(ryxDataSetReadOnly(&q));
    TStoredProc proc(nullptr);
    EXPECT_TRUE(ryxDataSetReadOnly(&proc));
}

TEST_F(RyxUtilDTest, DescriptionsAndMasks) {
    auto t = People();
    EXPECT_EQ(ryxGetDataSetDesc(t.get()), "PEOPLE");
    ryx_UseTableComponentNames = true;
    EXPECT_EQ(ryxGetDataSetDesc(t.get()), "tblPeople");
    ryx_UseTableComponentNames = false;

    TQuery q(nullptr);
    q.SetName("qryAll");
    EXPECT_EQ(ryxGetDataSetDesc(&q), "qryAll");
    q.SQL()->Add("SELECT *");
    q.SQL()->Add("");
    q.SQL()->Add("   FROM PEOPLE ");
    EXPECT_EQ(ryxGetDataSetDesc(&q), "SELECT * FROM PEOPLE");
    TStoredProc proc(nullptr);
    proc.SetStoredProcName("ADD_PERSON");
    EXPECT_EQ(ryxGetDataSetDesc(&proc), "ADD_PERSON");
    EXPECT_EQ(ryxGetDataSetDesc(nullptr), "");

    EXPECT_EQ(ryxGetTableTypeMask(ttParadox), "*.db");
    EXPECT_EQ(ryxGetTableTypeMask(ttFoxPro), "*.dbf");
    EXPECT_EQ(ryxGetTableTypeMask(ttDefault), "*.db;*.dbf;*.txt");
}

TEST(RyxUtilDMaxTest, LargestValuesOfFieldTypes) {
    EXPECT_EQ(ryxMaxFieldType(ftString), std::string(255, '\xFF'));
    EXPECT_EQ(ryxMaxFieldType(ftSmallint), "32767");
    EXPECT_EQ(ryxMaxFieldType(ftInteger), "2147483647");
    EXPECT_EQ(ryxMaxFieldType(ftWord), "65535");
    EXPECT_EQ(ryxMaxFieldType(ftBoolean), "1");
    EXPECT_EQ(ryxMaxFieldType(ftBCD), "1.7E308");
    EXPECT_EQ(StrToDate(ryxMaxFieldType(ftDate)), EncodeDate(9999, 12, 31));
    EXPECT_EQ(ryxMaxFieldType(ftDateTime), ryxMaxFieldType(ftDate) + " " + ryxMaxFieldType(ftTime));
    EXPECT_EQ(ryxMaxFieldType(ftBlob), "");
}
