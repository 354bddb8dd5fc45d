// Engine cursors on real SQLite files: navigation, record layout, bookmarks, keys, ranges, index switching, queries.
#include <cmath>
#include <cstring>

#include "host/db/dbi_test_util.h"
#include "host/rtl/dates.h"

using namespace dbitest;
using host::Check;

using Strings = std::vector<std::string>;

class DbiCursor : public ::testing::TestWithParam<const char*> {
protected:
    TempDir Dir;
    hDBIDb Db = nullptr;
    hDBICur Cur = nullptr;
    void SetUp() override {
        Db = OpenDb(GetParam(), Dir.Path);
        CreatePeople(Db);
    }
    void TearDown() override {
        if (Cur) DbiCloseCursor(Cur);
        DbiCloseDatabase(Db);
    }
    void Open(const std::string& Index = "", const std::string& Fields = "") {
        Check(DbiOpenTable(Db, "PEOPLE", Index, Fields, dbiREADWRITE, dbiOPENSHARED, Cur));
    }
    int64_t SeqNo() {
        int64_t N = 0;
        Check(DbiGetSeqNo(Cur, N));
        return N;
    }
    int64_t Count() {
        int64_t N = 0;
        Check(DbiGetRecordCount(Cur, N));
        return N;
    }
};

TEST_P(DbiCursor, NavigatesEmptyTableAndBothEnds) {
    Open();
    Rec R(Cur);
    EXPECT_EQ(DbiGetNextRecord(Cur, R.Buf(), nullptr), DBIERR_EOF);
    EXPECT_EQ(DbiGetPriorRecord(Cur, R.Buf(), nullptr), DBIERR_BOF);
    EXPECT_EQ(DbiGetRecord(Cur, R.Buf(), nullptr), DBIERR_NOCURRREC);
    EXPECT_EQ(Count(), 0);

    FillPeople(Cur);
    // Primary order by default, both ways.
    EXPECT_EQ(Walk(Cur, "ID"), (Strings{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(Walk(Cur, "ID", -1), (Strings{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
    EXPECT_EQ(Count(), 10);

    // Sequence numbers follow the moves: from the start, from the end, after jumps.
    Check(DbiSetToBegin(Cur));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(SeqNo(), 2);
    Check(DbiGetRelativeRecord(Cur, 3, R.Buf(), nullptr));
    EXPECT_EQ(R.Int("ID"), 5);
    EXPECT_EQ(SeqNo(), 5);
    Check(DbiGetPriorRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(SeqNo(), 4);
    Check(DbiSetToEnd(Cur));
    Check(DbiGetPriorRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(SeqNo(), 10);
    EXPECT_EQ(DbiGetRelativeRecord(Cur, 5, R.Buf(), nullptr), DBIERR_EOF);
    Check(DbiSetToSeqNo(Cur, 7));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Int("ID"), 7);
    // Next after a jump continues from there.
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Int("ID"), 8);
    EXPECT_EQ(SeqNo(), 8);

    // Deleting leaves a crack: the next record follows, numbers stay right.
    Check(DbiDeleteRecord(Cur));
    EXPECT_EQ(DbiGetRecord(Cur, R.Buf(), nullptr), DBIERR_NOCURRREC);
    EXPECT_EQ(Count(), 9);
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Int("ID"), 9);
    EXPECT_EQ(SeqNo(), 8);
}

TEST_P(DbiCursor, OrdersByIndexWithNullsAndDescending) {
    Open("ByName");
    FillPeople(Cur);
    // Case-insensitive index; the record without a name comes first; equal keys by row.
    EXPECT_EQ(Walk(Cur, "NAME"),
              (Strings{"<null>", "adams", "Baker", "Baker", "Clark", "Evans", "Smith", "Smithers", "smyth", "Young"}));
    EXPECT_EQ(Walk(Cur, "NAME", -1),
              (Strings{"Young", "smyth", "Smithers", "Smith", "Evans", "Clark", "Baker", "Baker", "adams", "<null>"}));
    // Direction changes in the middle, through the null key.
    Rec R(Cur);
    Check(DbiSetToBegin(Cur));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    Check(DbiGetPriorRecord(Cur, R.Buf(), nullptr));
    EXPECT_TRUE(R.Get("NAME").bNull);
    EXPECT_EQ(DbiGetPriorRecord(Cur, R.Buf(), nullptr), DBIERR_BOF);
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "adams");

    // A descending index built on the open table.
    Check(DbiAddIndex(Db, "PEOPLE", Idx("ByAmountDesc", "AMOUNT", false, false, true)));
    Check(DbiSwitchToIndex(Cur, "ByAmountDesc", "", false));
    EXPECT_EQ(Walk(Cur, "ID"), (Strings{"7", "3", "6", "5", "4", "8", "1", "10", "9", "2"}));
    // Field lists need no index.
    Check(DbiSwitchToIndex(Cur, "", "CITY;ID", false));
    EXPECT_EQ(Walk(Cur, "ID"), (Strings{"6", "1", "2", "10", "3", "5", "8", "4", "9", "7"}));
    EXPECT_EQ(DbiSwitchToIndex(Cur, "NoSuch", "", false), DBIERR_NOSUCHINDEX);
}

TEST_P(DbiCursor, SwitchingIndexKeepsTheCurrentRecord) {
    Open();
    FillPeople(Cur);
    Rec R(Cur);
    Check(DbiSetToSeqNo(Cur, 4));  // ID 4, Clark
    Check(DbiSwitchToIndex(Cur, "ByName", "", true));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Clark");
    EXPECT_EQ(SeqNo(), 5);
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Evans");
    CURProps P;
    Check(DbiGetCursorProps(Cur, P));
    EXPECT_EQ(P.szIndexName, "ByName");
    EXPECT_EQ(P.iKeyFields, 1);
    EXPECT_EQ(P.szTableType, "PARADOX");
}

TEST_P(DbiCursor, BookmarksSurviveEditsOfOtherRecords) {
    Open("ByName");
    FillPeople(Cur);
    Rec R(Cur);
    Check(DbiSetToSeqNo(Cur, 5));  // Clark
    uint8_t Mark[8], Other[8];
    Check(DbiGetBookMark(Cur, Mark));
    Check(DbiSetToSeqNo(Cur, 2));  // adams
    Check(DbiGetBookMark(Cur, Other));
    CMPBkMkRslt Cmp;
    Check(DbiCompareBookMarks(Cur, Other, Mark, Cmp));
    EXPECT_EQ(Cmp, CMPLess);
    Check(DbiCompareBookMarks(Cur, Mark, Mark, Cmp));
    EXPECT_EQ(Cmp, CMPEql);

    // Edit, delete and insert other records.
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    R.SetText("NAME", "Zimmer");
    Check(DbiModifyRecord(Cur, R.Buf()));
    Check(DbiSetToSeqNo(Cur, 2));
    Check(DbiDeleteRecord(Cur));
    AddPerson(Cur, 11, "Aaron", "Miami", 1, true);

    Check(DbiSetToBookMark(Cur, Mark));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Clark");
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Evans");
    bool Valid = false;
    Check(DbiBookMarkValid(Cur, Mark, Valid));
    EXPECT_TRUE(Valid);
    // The edited record moved to the end of the order.
    Check(DbiCompareBookMarks(Cur, Other, Mark, Cmp));
    EXPECT_EQ(Cmp, CMPGtr);
    // A deleted record's bookmark is no longer valid.
    Check(DbiSetToBookMark(Cur, Mark));
    Check(DbiDeleteRecord(Cur));
    Check(DbiBookMarkValid(Cur, Mark, Valid));
    EXPECT_FALSE(Valid);
    EXPECT_EQ(DbiSetToBookMark(Cur, Mark), DBIERR_KEYORRECDELETED);
}

TEST_P(DbiCursor, KeySeeksAndRanges) {
    Open("ByCity");
    FillPeople(Cur);
    Rec K(Cur), R(Cur);
    // Exact and nearest seeks on a partial key.
    K.SetText("CITY", "Boston");
    Check(DbiGetRecordForKey(Cur, K.Buf(), 1, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Baker");
    K.SetText("CITY", "Bz");
    EXPECT_EQ(DbiGetRecordForKey(Cur, K.Buf(), 1, R.Buf(), nullptr), DBIERR_RECNOTFOUND);
    Check(DbiSetToKey(Cur, keySEARCHGEQ, K.Buf(), 1));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("CITY"), "Chicago");
    Check(DbiGetPriorRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "smyth");  // last of Boston
    K.SetText("CITY", "Boston").SetText("NAME", "Baker");
    Check(DbiSetToKey(Cur, keySEARCHGT, K.Buf(), 2));
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Text("NAME"), "Smith");
    EXPECT_EQ(DbiSetToKey(Cur, keySEARCHEQ, K.Buf(), 3), DBIERR_INVALIDPARAM);

    // Inclusive range on a partial key.
    Rec Lo(Cur), Hi(Cur);
    Lo.SetText("CITY", "Austin");
    Hi.SetText("CITY", "Boston");
    Check(DbiSetRange(Cur, 1, Lo.Buf(), true, 1, Hi.Buf(), true));
    EXPECT_EQ(Walk(Cur, "ID"), (Strings{"2", "10", "1", "3", "5", "8"}));
    EXPECT_EQ(Count(), 6);
    // Exclusive ends.
    Check(DbiSetRange(Cur, 1, Lo.Buf(), false, 1, Hi.Buf(), false));
    EXPECT_EQ(Count(), 0);
    // Two-field keys, exclusive low end.
    Lo.SetText("NAME", "Baker");
    Hi.SetText("CITY", "Chicago").SetText("NAME", "Clark");
    Check(DbiSetRange(Cur, 2, Lo.Buf(), false, 2, Hi.Buf(), true));
    EXPECT_EQ(Walk(Cur, "NAME"), (Strings{"adams", "Baker", "Smith", "smyth", "Clark"}));
    // A prefix padded with byte 255 takes every text starting with the prefix.
    Check(DbiSwitchToIndex(Cur, "ByName", "", false));
    Rec P1(Cur), P2(Cur);
    P1.SetText("NAME", "Smi");
    P2.SetText("NAME", std::string("Smi") + std::string(10, '\xFF'));
    Check(DbiSetRange(Cur, 1, P1.Buf(), true, 1, P2.Buf(), true));
    EXPECT_EQ(Walk(Cur, "NAME"), (Strings{"Smith", "Smithers"}));
    Check(DbiResetRange(Cur));
    EXPECT_EQ(Count(), 10);
}

TEST_P(DbiCursor, RecordBufferLayoutPerType) {
    CRTblDesc T;
    T.szTblName = "TYPES";
    T.Fields = {Fld("S", fldZSTRING, 5),        Fld("I16", fldINT16),          Fld("U16", fldUINT16),
                Fld("I32", fldINT32),           Fld("I64", fldINT64),          Fld("B", fldBOOL),
                Fld("F", fldFLOAT),             Fld("M", fldFLOAT, 0, fldstMONEY), Fld("D", fldDATE),
                Fld("T", fldTIME),              Fld("TS", fldTIMESTAMP),       Fld("BY", fldBYTES, 3),
                Fld("VB", fldVARBYTES, 4),      Fld("MEMO", fldBLOB, 0, fldstMEMO), Fld("AI", fldINT32, 0, fldstAUTOINC)};
    Check(DbiCreateTable(Db, false, T));
    Check(DbiOpenTable(Db, "TYPES", "", "", dbiREADWRITE, dbiOPENSHARED, Cur));
    std::vector<FLDDesc> F;
    Check(DbiGetFieldDescs(Cur, F));
    const uint32_t Sizes[] = {6, 2, 2, 4, 8, 2, 8, 8, 4, 4, 8, 3, 6, 8, 4};
    uint32_t Off = 0;
    for (size_t I = 0; I < F.size(); ++I) {
        EXPECT_EQ(F[I].iLen, Sizes[I]) << F[I].szName;
        EXPECT_EQ(F[I].iOffset, Off) << F[I].szName;
        EXPECT_EQ(F[I].iNullOffset, 77 + I) << F[I].szName;
        Off += F[I].iLen;
    }
    EXPECT_EQ(F[14].iSubType, fldstAUTOINC);
    CURProps P;
    Check(DbiGetCursorProps(Cur, P));
    EXPECT_EQ(P.iRecSize, 77u + 15u);
    EXPECT_EQ(P.iRecBufSize, P.iRecSize + 8);

    Rec R(Cur);
    const host::TDateTime When = host::EncodeDate(2024, 2, 29) + host::EncodeTime(13, 45, 30, 250);
    R.SetText("S", "héllo").SetInt("I16", -12345).SetInt("U16", 65000).SetInt("I32", -2000000000);
    R.SetInt("I64", 9000000000000LL).SetInt("B", 1).Set("F", DBIValue::Float(3.25)).Set("M", DBIValue::Float(19.99));
    R.SetText("D", "2024-02-29").SetText("T", "13:45:30.250").SetText("TS", "2024-02-29 13:45:30.250");
    R.Set("BY", DBIValue::Bytes("ab")).Set("VB", DBIValue::Bytes("xyz"));
    Check(DbiPutBlob(Cur, R.Buf(), 14, 0, 7, "a memo!"));
    Check(DbiInsertRecord(Cur, R.Buf()));
    Rec Blank(Cur);
    Blank.Insert();

    Rec G(Cur);
    Check(DbiSetToBegin(Cur));
    Check(DbiGetNextRecord(Cur, G.Buf(), nullptr));
    EXPECT_EQ(G.Text("S"), "héll");  // five bytes: the é is two, never split
    EXPECT_EQ(G.Int("I16"), -12345);
    EXPECT_EQ(G.Int("U16"), 65000);
    EXPECT_EQ(G.Int("I32"), -2000000000);
    EXPECT_EQ(G.Int("I64"), 9000000000000LL);
    EXPECT_EQ(G.Int("B"), 1);
    EXPECT_DOUBLE_EQ(G.Get("F").fVal, 3.25);
    EXPECT_DOUBLE_EQ(G.Get("M").fVal, 19.99);
    EXPECT_EQ(G.Int("D"), static_cast<int64_t>(host::EncodeDate(2024, 2, 29)) + host::DateDelta);
    EXPECT_EQ(G.Int("T"), ((13 * 60 + 45) * 60 + 30) * 1000 + 250);
    EXPECT_DOUBLE_EQ(G.Get("TS").fVal, std::floor((When + host::DateDelta) * host::MSecsPerDay + 0.5));
    EXPECT_EQ(G.Get("BY").sVal, std::string("ab\0", 3));
    EXPECT_EQ(G.Get("VB").sVal, "xyz");
    EXPECT_EQ(G.Int("AI"), 1);
    int64_t Size = 0, Read = 0;
    Check(DbiGetBlobSize(Cur, G.Buf(), 14, Size));
    EXPECT_EQ(Size, 7);
    char Memo[16] = {};
    Check(DbiGetBlob(Cur, G.Buf(), 14, 2, 100, Memo, Read));
    EXPECT_EQ(std::string(Memo, static_cast<size_t>(Read)), "memo!");

    Check(DbiGetNextRecord(Cur, G.Buf(), nullptr));
    for (uint16_t No = 1; No <= 14; ++No) {
        bool IsBlank = false;
        Check(DbiGetField(Cur, No, G.Buf(), nullptr, IsBlank));
        EXPECT_TRUE(IsBlank) << No;
    }
    EXPECT_EQ(G.Int("AI"), 2);
    bool Unused = false;
    EXPECT_EQ(DbiGetField(Cur, 16, G.Buf(), nullptr, Unused), DBIERR_NOSUCHFIELD);
}

TEST_P(DbiCursor, QueriesLiveAndCopied) {
    Open();
    FillPeople(Cur);
    hDBICur Q = nullptr;
    int64_t Rows = 0;
    bool Live = false;
    // A simple SELECT is live: edits reach the table.
    Check(DbiQExec(Db, "SELECT ID, NAME FROM PEOPLE WHERE AMOUNT > :a ORDER BY NAME DESC", {DBIValue::Float(100)},
                   true, Q, Rows, Live));
    ASSERT_TRUE(Live);
    EXPECT_EQ(Walk(Q, "NAME"), (Strings{"Young", "Smith", "Evans", "Clark", "Baker"}));
    Rec R(Q);
    Check(DbiSetToBegin(Q));
    Check(DbiGetNextRecord(Q, R.Buf(), nullptr));
    R.SetText("NAME", "Yves");
    Check(DbiModifyRecord(Q, R.Buf()));
    Check(DbiCloseCursor(Q));
    // Joins and aggregates come back as read-only copies.
    Check(DbiQExec(Db, "SELECT CITY, count(*) AS N, max(NAME) AS Top FROM PEOPLE GROUP BY CITY ORDER BY CITY", {},
                   true, Q, Rows, Live));
    EXPECT_FALSE(Live);
    EXPECT_EQ(Walk(Q, "N"), (Strings{"1", "3", "3", "2", "1"}));
    EXPECT_EQ(Walk(Q, "Top"), (Strings{"Evans", "adams", "smyth", "Smithers", "Yves"}));
    Rec C(Q);
    EXPECT_EQ(DbiInsertRecord(Q, C.Buf()), DBIERR_TABLEREADONLY);
    Check(DbiCloseCursor(Q));
    // Statements without rows report what they changed.
    Check(DbiQExec(Db, "UPDATE PEOPLE SET ACTIVE = 0 WHERE CITY = ?", {DBIValue::Text("Boston")}, false, Q, Rows, Live));
    EXPECT_EQ(Q, nullptr);
    EXPECT_EQ(Rows, 3);
    EXPECT_EQ(DbiQExec(Db, "SELEKT nonsense", {}, false, Q, Rows, Live), DBIERR_QRYSYNTAX);
    EXPECT_NE(DbiLastErrorMessage().find("syntax error"), std::string::npos);
}

TEST_P(DbiCursor, BlobEditsAndPositionsUnderCallbackFilters) {
    CRTblDesc T;
    T.szTblName = "NOTES";
    T.Fields = {Fld("ID", fldINT32), Fld("BODY", fldBLOB, 0, fldstMEMO), Fld("PIC", fldBLOB, 0, fldstGRAPHIC)};
    Check(DbiCreateTable(Db, false, T));
    Check(DbiOpenTable(Db, "NOTES", "", "", dbiREADWRITE, dbiOPENSHARED, Cur));
    for (int I = 1; I <= 6; ++I) {
        Rec R(Cur);
        R.SetInt("ID", I);
        const std::string Body = "note " + std::to_string(I);
        Check(DbiPutBlob(Cur, R.Buf(), 2, 0, static_cast<int64_t>(Body.size()), Body.data()));
        Check(DbiPutBlob(Cur, R.Buf(), 3, 0, 4, "\x89PNG"));
        Check(DbiInsertRecord(Cur, R.Buf()));
    }
    // Appending to a stored memo, clearing a picture; other fields stay.
    Rec R(Cur);
    Check(DbiSetToSeqNo(Cur, 3));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    Check(DbiPutBlob(Cur, R.Buf(), 2, 6, 6, " more!"));
    Check(DbiPutField(Cur, 3, R.Buf(), nullptr));
    Check(DbiModifyRecord(Cur, R.Buf()));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    char Text[32] = {};
    int64_t Read = 0, Size = 0;
    Check(DbiGetBlob(Cur, R.Buf(), 2, 0, sizeof Text, Text, Read));
    EXPECT_EQ(std::string(Text, static_cast<size_t>(Read)), "note 3 more!");
    Check(DbiGetBlobSize(Cur, R.Buf(), 3, Size));
    EXPECT_EQ(Size, 0);
    Check(DbiGetBlobSize(Cur, R.Buf(), 2, Size));
    EXPECT_EQ(Size, 12);
    EXPECT_EQ(DbiGetBlob(Cur, R.Buf(), 1, 0, 1, Text, Read), DBIERR_INVALIDFIELDTYPE);

    // Record numbers and counts follow a callback filter (even ids only).
    hDBIFilter F = nullptr;
    Check(DbiAddFilter(Cur, 0, 0, false, nullptr,
                       [](uintptr_t, const uint8_t* B, int32_t) {
                           int32_t Id;
                           std::memcpy(&Id, B, 4);
                           return static_cast<int>(Id % 2 == 0);
                       },
                       F));
    Check(DbiActivateFilter(Cur, F));
    EXPECT_EQ(Count(), 3);
    Check(DbiSetToSeqNo(Cur, 2));
    Check(DbiGetRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(R.Int("ID"), 4);
    Check(DbiGetNextRecord(Cur, R.Buf(), nullptr));
    EXPECT_EQ(SeqNo(), 3);
    Check(DbiSwitchToIndex(Cur, "", "ID", true));
    EXPECT_EQ(SeqNo(), 3);
    EXPECT_EQ(DbiGetNextRecord(Cur, R.Buf(), nullptr), DBIERR_EOF);
    Check(DbiEmptyCursorTable(Cur));
    EXPECT_EQ(Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DbiCursor, ::testing::Values("STANDARD", "SQLITE"));
