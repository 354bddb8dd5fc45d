// The datasets over SQLite on a 1,000,000-row table, against raw SQLite calls over the same rows.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "host/db/db.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"

namespace {

using namespace host;

constexpr int kRows = 1000000;
constexpr int kSeeks = 2000;

// The benchmark table: BIG (Id primary, Code unique-indexed, Name, State, Amount)
// in one SQLITE database file in a temporary folder, built once per run.
class TBigTable {
public:
    TBigTable() {
        char tmpl[] = "/tmp/ryx_db_bench_XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a temporary folder");
        FDir = tmpl;
        FFile = FDir + "/bench.db";
        Build();
    }
    ~TBigTable() {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    const std::string& File() const { return FFile; }
    // The Code of row I (1-based): a permutation of 1..kRows.
    static int CodeOf(int I) { return int((int64_t(I) * 7919) % kRows) + 1; }

private:
    void Build() {
        hDBIDb db = nullptr;
        Check(DbiOpenDatabase("SQLITE", {{"PATH", FFile}}, db));
        CRTblDesc d;
        d.szTblName = "BIG";
        auto field = [&](const char* name, uint16_t type, int32_t units) {
            FLDDesc f;
            f.szName = name;
            f.iFldType = type;
            f.iUnits1 = units;
            d.Fields.push_back(f);
        };
        field("Id", fldINT32, 0);
        field("Code", fldINT32, 0);
        field("Name", fldZSTRING, 20);
        field("State", fldZSTRING, 2);
        field("Amount", fldFLOAT, 0);
        IDXDesc pk;
        pk.szKeyFields = "Id";
        pk.bPrimary = pk.bUnique = true;
        IDXDesc byCode;
        byCode.szName = "ByCode";
        byCode.szKeyFields = "Code";
        byCode.bUnique = true;
        d.Indexes = {pk, byCode};
        Check(DbiCreateTable(db, true, d));
        Check(DbiCloseDatabase(db));

        // The rows go in through SQLite directly: building the table is not what is measured.
        sqlite3* s = nullptr;
        if (sqlite3_open(FFile.c_str(), &s) != SQLITE_OK) throw std::runtime_error("cannot open bench.db");
        sqlite3_exec(s, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* ins = nullptr;
        sqlite3_prepare_v2(s, "INSERT INTO BIG (Id, Code, Name, State, Amount) VALUES (?, ?, ?, ?, ?)", -1, &ins,
                           nullptr);
        static const char* const states[] = {"CA", "NY", "TX", "FL", "WA", "OR", "HI", "NV", "AZ", "CO"};
        char name[32];
        for (int i = 1; i <= kRows; ++i) {
            std::snprintf(name, sizeof name, "Name %07d", i);
            sqlite3_bind_int(ins, 1, i);
            sqlite3_bind_int(ins, 2, CodeOf(i));
            sqlite3_bind_text(ins, 3, name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(ins, 4, states[(i * 3) % 10], 2, SQLITE_STATIC);
            sqlite3_bind_double(ins, 5, double((int64_t(i) * 37) % 1000) + 0.5);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        sqlite3_finalize(ins);
        sqlite3_exec(s, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(s);
    }

    std::string FDir, FFile;
};

TBigTable& Big() {
    static TBigTable table;
    return table;
}

// A raw SQLite connection on the benchmark file, for the baselines.
class TRaw {
public:
    TRaw() {
        if (sqlite3_open_v2(Big().File().c_str(), &FDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open bench.db");
    }
    ~TRaw() { sqlite3_close(FDb); }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(FDb, sql, -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(FDb));
        return st;
    }
    // Steps through every row of Sql, reading an integer and a float column.
    double Walk(const char* sql) {
        sqlite3_stmt* st = Prepare(sql);
        double sum = 0;
        while (sqlite3_step(st) == SQLITE_ROW) sum += double(sqlite3_column_int(st, 0)) + sqlite3_column_double(st, 1);
        sqlite3_finalize(st);
        return sum;
    }

private:
    sqlite3* FDb = nullptr;
};

std::unique_ptr<TTable> OpenBig(const std::string& IndexName = "") {
    auto t = std::make_unique<TTable>(nullptr);
    t->SetDatabaseName(Big().File());
    t->SetTableName("BIG");
    if (!IndexName.empty()) t->SetIndexName(IndexName);
    t->Open();
    return t;
}

// Walks the dataset reading Id and Amount of each record.
double WalkTable(TDataSet* T) {
    TField* id = T->FieldByName("Id");
    TField* amount = T->FieldByName("Amount");
    double sum = 0;
    T->First();
    while (!T->Eof()) {
        sum += double(id->AsInteger()) + amount->AsFloat();
        T->Next();
    }
    return sum;
}

RYX_BENCH("db.next_walk_1m", c) {
    auto t = OpenBig();
    TRaw raw;
    c.Compare([&] { bench::DoNotOptimize(WalkTable(t.get())); },
              [&] { bench::DoNotOptimize(raw.Walk("SELECT Id, Amount FROM BIG ORDER BY Id")); });
}

RYX_BENCH("db.recno_after_move", c) {
    auto t = OpenBig();
    t->RecordCount();
    auto walkRecNo = [&] {
        int64_t sum = 0;
        t->First();
        while (!t->Eof()) {
            sum += t->RecNo() + t->RecordCount();
            t->Next();
        }
        bench::DoNotOptimize(sum);
    };
    auto walkPlain = [&] {
        int64_t n = 0;
        t->First();
        while (!t->Eof()) {
            ++n;
            t->Next();
        }
        bench::DoNotOptimize(n);
    };
    c.Compare(walkRecNo, walkPlain);
}

// kSeeks searches on the indexed Code, each by Seek, against one indexed SELECT each.
void CompareSeeks(bench::TCase& c, const std::function<bool(TTable*, int)>& Seek) {
    auto t = OpenBig("ByCode");
    TRaw raw;
    sqlite3_stmt* st = raw.Prepare("SELECT Id, Amount FROM BIG WHERE Code = ?");
    c.Compare(
        [&] {
            for (int i = 1; i <= kSeeks; ++i) {
                if (!Seek(t.get(), TBigTable::CodeOf(i * 397 % kRows + 1))) throw std::runtime_error("seek missed");
                bench::DoNotOptimize(t->Fields(0)->AsInteger());
            }
        },
        [&] {
            for (int i = 1; i <= kSeeks; ++i) {
                sqlite3_bind_int(st, 1, TBigTable::CodeOf(i * 397 % kRows + 1));
                if (sqlite3_step(st) != SQLITE_ROW) throw std::runtime_error("SELECT missed");
                bench::DoNotOptimize(sqlite3_column_int(st, 0));
                sqlite3_reset(st);
            }
        });
    sqlite3_finalize(st);
}

RYX_BENCH("db.locate_indexed", c) {
    CompareSeeks(c, [](TTable* T, int Code) { return T->Locate("Code", Variant(Code), {}); });
}

RYX_BENCH("db.findkey_indexed", c) {
    CompareSeeks(c, [](TTable* T, int Code) { return T->FindKey({Variant(Code)}); });
}

// A walk of the filtered table against the same condition as SQL.
void CompareFilteredWalk(bench::TCase& c, TTable* T) {
    TRaw raw;
    c.Compare([&] { bench::DoNotOptimize(WalkTable(T)); },
              [&] {
                  bench::DoNotOptimize(
                      raw.Walk("SELECT Id, Amount FROM BIG WHERE Amount > 100 AND State = 'CA' ORDER BY Id"));
              });
}

RYX_BENCH("db.filter_expr_walk", c) {
    auto t = OpenBig();
    t->SetFilter("Amount > 100 AND State = 'CA'");
    t->SetFiltered(true);
    CompareFilteredWalk(c, t.get());
}

RYX_BENCH("db.filter_callback_walk", c) {
    auto t = OpenBig();
    TField* amount = t->FieldByName("Amount");
    TField* state = t->FieldByName("State");
    t->SetOnFilterRecord([&](TDataSet*, bool& Accept) {
        Accept = amount->AsFloat() > 100 && state->AsString() == "CA";
    });
    t->SetFiltered(true);
    CompareFilteredWalk(c, t.get());
}

// Resident memory of the process in KB.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

RYX_BENCH("db.open_1m", c) {
    Big();
    TRaw raw;
    c.Compare(
        [&] {
            auto t = OpenBig();
            bench::DoNotOptimize(t->Fields(0)->AsInteger());
        },
        [&] {
            sqlite3_stmt* st = raw.Prepare("SELECT * FROM BIG ORDER BY Id");
            sqlite3_step(st);
            bench::DoNotOptimize(sqlite3_column_int(st, 0));
            sqlite3_finalize(st);
        });
    // Memory: what an open table with a counted cursor holds, against a list
    // of 8-byte row identifiers for every row.
    const long before = ResidentKb();
    auto t = OpenBig();
    t->Last();
    bench::DoNotOptimize(t->RecordCount());
    const long grown = ResidentKb() - before;
    c.Ratio("memory_kb", double(grown), double(kRows) * 8 / 1024);
}

}  // namespace
