// Fuzz target for filter expressions: the parser must reject bad text with its own
// exception, and whatever it accepts must select the same records whether SQLite
// evaluates it or the engine does per record.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/db/dbiengine.h"
#include "host/db/filterexpr.h"

namespace {

using namespace host;

struct Sample {
    std::string Dir;
    hDBIDb Db = nullptr;
    hDBICur Cur = nullptr;

    Sample() {
        char T[] = "/tmp/ryx_fuzz_filter_XXXXXX";
        Dir = ::mkdtemp(T);
        Check(DbiOpenDatabase("SQLITE", {{"PATH", Dir + "/f.sqlite"}}, Db));
        CRTblDesc D;
        D.szTblName = "T";
        auto F = [](const char* N, uint16_t Type, int32_t Size = 0) {
            FLDDesc R;
            R.szName = N;
            R.iFldType = Type;
            R.iUnits1 = Size;
            return R;
        };
        D.Fields = {F("NAME", fldZSTRING, 12), F("ID", fldINT32), F("AMOUNT", fldFLOAT), F("ACTIVE", fldBOOL),
                    F("BORN", fldDATE), F("AT", fldTIME), F("Full Name", fldZSTRING, 8)};
        Check(DbiCreateTable(Db, false, D));
        int64_t Rows = 0;
        bool Live = false;
        hDBICur None = nullptr;
        Check(DbiQExec(Db,
                       "INSERT INTO T VALUES ('Smith', 1, 10.5, 1, '2020-01-31', '10:00:00.000', 'a'),"
                       "('smith', -5, NULL, 0, '1999-12-31', NULL, NULL), (NULL, NULL, 0, NULL, NULL, '23:59:59.999', ''),"
                       "('Sm*', 300, -2.25, 1, '2024-02-29', '00:00:00.000', 'Zed'), ('', 7, 1e10, 0, '0001-01-01', NULL, 'zz'),"
                       "('O''Brien', 2147483647, 3, 1, '2020-02-01', '12:30:00.000', 'O')",
                       {}, false, None, Rows, Live));
        Check(DbiOpenTable(Db, "T", "", "", dbiREADONLY, dbiOPENSHARED, Cur));
    }
    ~Sample() {
        DbiCloseDatabase(Db);
        std::filesystem::remove_all(Dir);
    }

    std::string Visible(const TFilterExpr* E, bool PerRecord) {
        hDBIFilter Cb = nullptr, Ex = nullptr;
        if (PerRecord) Check(DbiAddFilter(Cur, 0, 0, false, nullptr, [](uintptr_t, const uint8_t*, int32_t) { return 1; }, Cb));
        Check(DbiAddFilter(Cur, 0, 1, false, E, nullptr, Ex));
        Check(DbiActivateFilter(Cur, nullptr));
        std::string R;
        RECProps P;
        Check(DbiSetToBegin(Cur));
        while (DbiGetNextRecord(Cur, nullptr, &P) == DBIERR_NONE) R += std::to_string(P.iPhyRecNum) + ",";
        Check(DbiDropFilter(Cur, nullptr));
        return R;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Sample S;
    const std::string Text(reinterpret_cast<const char*>(data), size);
    const unsigned Options = static_cast<unsigned>(size % 4);
    std::shared_ptr<const TFilterExpr> E;
    try {
        E = TExprParser(S.Cur, Text, Options).Expr();
    } catch (const EExprParserError&) {
        return 0;
    }
    const std::string InSql = S.Visible(E.get(), false);
    const std::string PerRecord = S.Visible(E.get(), true);
    if (InSql != PerRecord) {
        std::fprintf(stderr, "'%s' options %u: SQL gives %s, records give %s\n", Text.c_str(), Options, InSql.c_str(),
                     PerRecord.c_str());
        std::abort();
    }
    return 0;
}
