// Filtered walks over 100,000 records through the engine filter object, against the same walks through the dataset's own filter.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench.h"
#include "data/ryxfiltr.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"

namespace {

using namespace host;

constexpr int kRows = 100000;
const char* const kExpr = "Amount >= 500";

// FLT (Id primary, Name, Amount) in a temporary SQLITE file, built once per run.
class TFilterTable {
public:
    TFilterTable() {
        char tmpl[] = "/tmp/ryx_filter_bench_XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a temporary folder");
        FDir = tmpl;
        FFile = FDir + "/filter.db";
        hDBIDb db = nullptr;
        Check(DbiOpenDatabase("SQLITE", {{"PATH", FFile}}, db));
        CRTblDesc d;
        d.szTblName = "FLT";
        const std::pair<const char*, uint16_t> fields[] = {{"Id", fldINT32}, {"Name", fldZSTRING}, {"Amount", fldINT32}};
        for (const auto& [name, type] : fields) {
            FLDDesc f;
            f.szName = name;
            f.iFldType = type;
            f.iUnits1 = type == fldZSTRING ? 20 : 0;
            d.Fields.push_back(f);
        }
        IDXDesc pk;
        pk.szKeyFields = "Id";
        pk.bPrimary = pk.bUnique = true;
        d.Indexes = {pk};
        Check(DbiCreateTable(db, true, d));
        Check(DbiCloseDatabase(db));
        // The rows go in through SQLite directly: building the table is not what is measured.
        sqlite3* s = nullptr;
        if (sqlite3_open(FFile.c_str(), &s) != SQLITE_OK) throw std::runtime_error("cannot open filter.db");
        sqlite3_exec(s, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(s, "INSERT INTO FLT (Id, Name, Amount) VALUES (?, ?, ?)", -1, &ins, nullptr);
        char name[32];
        for (int i = 1; i <= kRows; ++i) {
            std::snprintf(name, sizeof name, "Name %06d", i);
            sqlite3_bind_int(ins, 1, i);
            sqlite3_bind_text(ins, 2, name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(ins, 3, int((int64_t(i) * 37) % 1000));
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(s, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(s);
    }
    ~TFilterTable() {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    const std::string& File() const { return FFile; }

private:
    std::string FDir, FFile;
};

TFilterTable& Data() {
    static TFilterTable table;
    return table;
}

std::unique_ptr<TTable> OpenTable() {
    auto t = std::make_unique<TTable>(nullptr);
    t->SetDatabaseName(Data().File());
    t->SetTableName("FLT");
    t->Open();
    return t;
}

int64_t Walk(TDataSet* T) {
    int64_t sum = 0;
    TField* id = T->FieldByName("Id");
    for (T->First(); !T->Eof(); T->Next()) sum += id->AsInteger();
    return sum;
}

// What to filter by: the expression, a record handler (odd identifiers), or both.
enum class TKind { Expr, Callback, Both };

void Run(bench::TCase& c, TKind kind) {
    auto ours = OpenTable();
    auto base = OpenTable();
    ryx::TryxBDEFilterObject filter(ours.get());
    filter.SetGoToFirst(false);
    const bool expr = kind != TKind::Callback;
    const bool callback = kind != TKind::Expr;
    if (expr) filter.SetFilter(kExpr);
    if (callback)
        filter.SetOnFilterRecord(
            [&](TDataSet*, bool& Accept) { Accept = (filter.ParamByName("Id")->AsInteger() & 1) != 0; });
    filter.Activate();

    if (expr) base->SetFilter(kExpr);
    if (callback)
        base->SetOnFilterRecord([](TDataSet* D, bool& Accept) { Accept = (D->FieldByName("Id")->AsInteger() & 1) != 0; });
    base->SetFiltered(true);
    if (Walk(ours.get()) != Walk(base.get())) throw std::runtime_error("the two filtered walks differ");
    c.Compare([&] { bench::DoNotOptimize(Walk(ours.get())); }, [&] { bench::DoNotOptimize(Walk(base.get())); });
}

RYX_BENCH("filter.walk.expr", c) { Run(c, TKind::Expr); }
RYX_BENCH("filter.walk.callback", c) { Run(c, TKind::Callback); }
RYX_BENCH("filter.walk.both", c) { Run(c, TKind::Both); }

}  // namespace
