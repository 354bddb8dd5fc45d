// Filter expressions: every error text, evaluation rules, and SQL translation agreeing with evaluation on a table.
#include "host/db/filterexpr.h"

#include <set>

#include "host/db/dbi_test_util.h"

using namespace dbitest;
using host::Check;

namespace {

// NAME string(20), ID int, AMOUNT float, ACTIVE bool, BORN date, NOTE memo.
std::vector<FLDDesc> Fields() {
    static std::vector<FLDDesc> F = [] {
        TempDir D;
        hDBIDb Db = OpenDb("SQLITE", D.Path);
        CRTblDesc T;
        T.szTblName = "T";
        T.Fields = {Fld("NAME", fldZSTRING, 20), Fld("ID", fldINT16), Fld("AMOUNT", fldFLOAT), Fld("ACTIVE", fldBOOL),
                    Fld("BORN", fldDATE), Fld("NOTE", fldBLOB, 0, fldstMEMO), Fld("Last Name", fldZSTRING, 10)};
        Check(DbiCreateTable(Db, false, T));
        std::vector<FLDDesc> R;
        Check(DbiGetFieldList(Db, "T", R));
        Check(DbiCloseDatabase(Db));
        return R;
    }();
    return F;
}

std::string ErrorOf(const std::string& Text, unsigned Options = 0) {
    try {
        TExprParser P(Fields(), Text, Options);
        return "";
    } catch (const EExprParserError& E) {
        return E.Message();
    }
}

struct ErrorCase {
    const char* Text;
    const char* Message;
};

}  // namespace

TEST(FilterExprErrors, EveryCatalogueText) {
    const ErrorCase Cases[] = {
        {"NAME = 'a' ID = 1", "Filter expression incorrectly terminated"},
        {"[NAME = 'a'", "Unterminated field name"},
        {"NAME = 'abc", "Unterminated string constant"},
        {"NAME # 'a'", "Invalid filter expression character: '#'"},
        {"NAME = 'a' & ID = 1", "Invalid filter expression character: '&'"},
        {"(NAME = 'a'", "')' expected but nothing found"},
        {"(NAME = 'a' OR ID = 1 ID", "')' expected but ID found"},
        {"", "Expression expected but nothing found"},
        {"NAME = 'a' AND", "Expression expected but nothing found"},
        {"= 5", "Expression expected but = found"},
        {"NAME = ID", "Relational operators require a field and a constant"},
        {"1 = 2", "Relational operators require a field and a constant"},
        {"COLOR = 'red'", "Field 'COLOR' cannot be used in a filter expression"},
        {"NOTE = 'x'", "Field 'NOTE' cannot be used in a filter expression"},
        {"NAME > NULL", "NULL only allowed with '=' and '<>'"},
        {"ID = 40000", "Constant out of range"},
        {"ID = 'abc'", "Constant out of range"},
        {"BORN > 'not a date'", "Constant out of range"},
        {"NAME", "Field 'NAME' is not of type Boolean"},
        {"NOT ID", "Field 'ID' is not of type Boolean"},
        {"'abc'", "Incorrectly formed filter expression"},
        {"NAME IS 5", "Incorrectly formed filter expression"},
    };
    for (const auto& C : Cases) EXPECT_EQ(ErrorOf(C.Text), C.Message) << C.Text;
    // Accepted forms.
    for (const char* Ok : {"[Last Name] = 'x'", "ACTIVE", "NOT ACTIVE AND (ID > -3 OR AMOUNT <= 1.5e2)", "NAME IS NOT NULL",
                           "NULL = NAME", "5 < ID", "BORN >= '2020-01-31'", "ACTIVE = TRUE", "name = \"it\"\"s\""})
        EXPECT_EQ(ErrorOf(Ok), "") << Ok;
}

namespace {

// A sample table whose rows exercise nulls, case, prefixes, bounds and dates.
class FilterTable : public ::testing::Test {
protected:
    TempDir Dir;
    hDBIDb Db = nullptr;
    hDBICur Cur = nullptr;
    void SetUp() override {
        Db = OpenDb("SQLITE", Dir.Path);
        CRTblDesc T;
        T.szTblName = "T";
        T.Fields = Fields();
        Check(DbiCreateTable(Db, false, T));
        Check(DbiOpenTable(Db, "T", "", "", dbiREADWRITE, dbiOPENSHARED, Cur));
        const char* Names[] = {"Smith", "smith", "Smithers", "Sm", nullptr, "Jones", "jONES", "O'Brien", "", "Zed"};
        const char* Dates[] = {"2020-01-31", "1999-12-31", nullptr, "2024-02-29", "2020-01-31",
                               "1899-12-30", "0001-01-01", "2020-02-01", nullptr, "2021-06-15"};
        for (int I = 0; I < 10; ++I) {
            Rec R(Cur);
            if (Names[I]) R.SetText("NAME", Names[I]);
            if (I != 3) R.SetInt("ID", I * 7 - 20);
            if (I != 6) R.Set("AMOUNT", DBIValue::Float(I * 12.5 - 30));
            if (I % 4 != 2) R.SetInt("ACTIVE", I % 3 == 0);
            if (Dates[I]) R.SetText("BORN", Dates[I]);
            R.Insert();
        }
    }
    void TearDown() override {
        DbiCloseCursor(Cur);
        DbiCloseDatabase(Db);
    }
    // Row ids visible through one filter, either per record (behind a
    // pass-everything callback) or pushed into SQL.
    std::set<int64_t> Visible(const std::string& Text, unsigned Options, bool PerRecord) {
        TExprParser P(Cur, Text, Options);
        hDBIFilter Cb = nullptr, Ex = nullptr;
        if (PerRecord) Check(DbiAddFilter(Cur, 0, 0, false, nullptr, [](uintptr_t, const uint8_t*, int32_t) { return 1; }, Cb));
        Check(DbiAddFilter(Cur, 0, 1, false, P.FilterData(), nullptr, Ex));
        Check(DbiActivateFilter(Cur, nullptr));
        std::set<int64_t> R;
        RECProps Props;
        Check(DbiSetToBegin(Cur));
        while (DbiGetNextRecord(Cur, nullptr, &Props) == DBIERR_NONE) R.insert(Props.iPhyRecNum);
        Check(DbiDropFilter(Cur, nullptr));
        return R;
    }
};

}  // namespace

TEST_F(FilterTable, SqlTranslationAgreesWithEvaluation) {
    const struct {
        const char* Text;
        unsigned Options;
        size_t Expected;
    } Cases[] = {
        {"NAME = 'Smith'", 0, 1},
        {"NAME = 'smith'", fxoCaseInsensitive, 2},
        {"NAME = 'Smi*'", 0, 2},
        {"NAME = 'smi*'", fxoCaseInsensitive, 3},
        {"NAME = 'Smi*'", fxoNoPartialCompare, 0},
        {"NAME <> 'Sm*'", 0, 6},
        {"NAME = '*'", 0, 9},
        {"NAME = NULL", 0, 1},
        {"NAME <> NULL", 0, 9},
        {"NAME = ''", 0, 1},
        {"NAME > 'M' AND NAME < 'T'", 0, 4},
        {"NAME >= 'jones'", fxoCaseInsensitive, 8},
        {"NAME = 'O''Brien'", 0, 1},
        {"ID > 0", 0, 6},
        {"ID <= -6 OR ID IS NULL", 0, 4},
        {"NOT (ID > 0)", 0, 3},
        {"AMOUNT >= 20 AND AMOUNT < 70.5", 0, 4},
        {"ACTIVE", 0, 3},
        {"NOT ACTIVE", 0, 5},
        {"ACTIVE = FALSE OR ACTIVE IS NULL", 0, 7},
        {"BORN > '2020-01-31'", 0, 3},
        {"BORN = '2020-01-31'", 0, 2},
        {"BORN < '1900-01-01' AND NOT (NAME = 'J*')", fxoCaseInsensitive, 0},
        {"[Last Name] IS NULL", 0, 10},
    };
    for (const auto& C : Cases) {
        const auto InSql = Visible(C.Text, C.Options, false);
        const auto PerRecord = Visible(C.Text, C.Options, true);
        EXPECT_EQ(InSql, PerRecord) << C.Text;
        EXPECT_EQ(InSql.size(), C.Expected) << C.Text;
    }
    // The SQL text and its parameters.
    TExprParser P(Cur, "NAME = 'ab*' AND ID >= 3", fxoCaseInsensitive);
    std::string Where;
    std::vector<DBIValue> Params;
    ASSERT_TRUE(P.FilterData()->ToSQL(Where, Params));
    EXPECT_EQ(Where, "((substr(\"NAME\", 1, 2) COLLATE NOCASE = ?) AND (\"ID\" >= ?))");
    ASSERT_EQ(Params.size(), 2u);
    EXPECT_EQ(Params[0].sVal, "ab");
    EXPECT_EQ(Params[1].iVal, 3);
    EXPECT_EQ(P.FilterData()->FieldsUsed(), (std::vector<uint16_t>{1, 2}));
}
