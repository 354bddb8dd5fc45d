// Engine databases: drivers, connections, transactions, table and index definitions, SQL execution, stored procedures.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "host/db/engine_internal.h"

namespace host {

using namespace dbi;

namespace {

constexpr int kMaxAttached = 10;

bool IsDir(const std::string& P) {
    struct stat St {};
    return ::stat(P.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool IsFile(const std::string& P) {
    struct stat St {};
    return ::stat(P.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

// Reads the schema's file through a memory map (up to 1 GiB) instead of a read call
// per page: walks over large tables then cost no copy per page. SQLite falls back to
// plain reads where mapping is not possible.
void MapFile(sqlite3* Db, const std::string& Schema) {
    sqlite3_exec(Db, ("PRAGMA " + Schema + ".mmap_size=1073741824").c_str(), nullptr, nullptr, nullptr);
}

DBIDbObj* Db(hDBIDb H) {
    if (!IsLive(H, Kind::Database)) Fail(DBIERR_INVALIDHNDL, "Database handle");
    return H;
}

void CheckTableName(const std::string& Name) {
    if (Name.empty() || Name.find('/') != std::string::npos || Name.find('\0') != std::string::npos ||
        Name.find('\\') != std::string::npos || Name == "." || Name == "..")
        Fail(DBIERR_INVALIDFILENAME, "Table name: '" + Name + "'");
}

std::string SchemaOf(const std::string& QName) { return QName.substr(0, QName.find("\".\"") + 1); }

}  // namespace

// Table names may carry the STANDARD driver's extension.
// A STANDARD table's file is found without regard to case when no file has
// exactly its name.
std::string dbi::BareTableName(const DBIDbObj* D, const std::string& Name) {
    if (!D->Standard) return Name;
    std::string Bare = Name;
    if (Bare.size() > 3 && SameText(Bare.substr(Bare.size() - 3), ".db")) Bare.resize(Bare.size() - 3);
    if (Bare.empty() || Bare.find('/') != std::string::npos || IsFile(D->Path + "/" + Bare + ".db")) return Bare;
    if (DIR* Dir = ::opendir(D->Path.c_str())) {
        while (dirent* E = ::readdir(Dir)) {
            const std::string N = E->d_name;
            if (N.size() == Bare.size() + 3 && SameText(N, Bare + ".db")) {
                Bare = N.substr(0, N.size() - 3);
                break;
            }
        }
        ::closedir(Dir);
    }
    return Bare;
}

std::string DBIDbObj::TableFile(const std::string& Table) const {
    return Standard ? Path + "/" + Table + ".db" : Path;
}

bool DBIDbObj::TableExists(const std::string& Table) {
    if (Standard) return IsFile(TableFile(Table));
    Stmt S = Prepare(Db, "SELECT 1 FROM main.sqlite_master WHERE type='table' AND name=? COLLATE NOCASE");
    sqlite3_bind_text(S.get(), 1, Table.c_str(), -1, SQLITE_TRANSIENT);
    return Step(Db, S.get());
}

std::string DBIDbObj::Qualified(const std::string& Table, bool Use) {
    if (!Standard) return "\"main\"." + QuoteIdent(Table);
    const std::string Key = Lower(Table);
    auto It = Attached.find(Key);
    if (It == Attached.end()) {
        if (!IsFile(TableFile(Table))) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        if (static_cast<int>(Attached.size()) >= kMaxAttached) {
            for (auto J = Attached.begin(); J != Attached.end(); ++J)
                if (J->second.Users == 0) {
                    Exec(Db, "DETACH DATABASE " + QuoteIdent(J->second.Schema));
                    Attached.erase(J);
                    break;
                }
            if (static_cast<int>(Attached.size()) >= kMaxAttached) Fail(DBIERR_DBLIMIT, "Table: " + Table);
        }
        const std::string Schema = "t" + std::to_string(NextSchema++);
        Stmt A = Prepare(Db, "ATTACH DATABASE ? AS " + QuoteIdent(Schema));
        sqlite3_bind_text(A.get(), 1, TableFile(Table).c_str(), -1, SQLITE_TRANSIENT);
        Step(Db, A.get());
        A.reset();
        if (!ReadOnly) sqlite3_exec(Db, ("PRAGMA " + QuoteIdent(Schema) + ".journal_mode=WAL").c_str(), nullptr, nullptr, nullptr);
        MapFile(Db, QuoteIdent(Schema));
        // The table inside the file may differ in case from the name asked for.
        std::string Inner = Table;
        {
            Stmt Q = Prepare(Db, "SELECT name FROM " + QuoteIdent(Schema) +
                                     ".sqlite_master WHERE type='table' AND name NOT LIKE '\\_ryx\\_%' ESCAPE '\\' "
                                     "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name=? COLLATE NOCASE DESC");
            sqlite3_bind_text(Q.get(), 1, Table.c_str(), -1, SQLITE_TRANSIENT);
            if (Step(Db, Q.get())) Inner = reinterpret_cast<const char*>(sqlite3_column_text(Q.get(), 0));
        }
        It = Attached.emplace(Key, Attachment{Schema, Inner, 0}).first;
    }
    if (Use) ++It->second.Users;
    return QuoteIdent(It->second.Schema) + "." + QuoteIdent(It->second.Table);
}

void DBIDbObj::ReleaseTable(const std::string& Table) {
    if (!Standard) return;
    const auto It = Attached.find(Lower(Table));
    if (It != Attached.end() && It->second.Users > 0) --It->second.Users;
}

void DBIDbObj::Detach(const std::string& Table) {
    if (!Standard) return;
    const auto It = Attached.find(Lower(Table));
    if (It == Attached.end()) return;
    if (It->second.Users > 0) Fail(DBIERR_FILELOCKED, "Table " + Table + " is open");
    Exec(Db, "DETACH DATABASE " + QuoteIdent(It->second.Schema));
    Attached.erase(It);
}

void DBIDbObj::ResetStatements() {
    CompleteAllRecords();
    for (DBICurObj* C : Cursors) StopWalk(*C);
}

namespace dbi {

// The lock file and slot that guard a table against exclusive opens.
void TableLockPlace(const DBIDbObj* D, const std::string& Table, std::string& File, uint32_t& Slot) {
    if (D->Standard) {
        File = D->Path + "/" + Table + ".lck";
        Slot = 0;
        return;
    }
    File = D->Path + ".lck";
    uint32_t H = 2166136261u;
    for (char C : Lower(Table)) H = (H ^ static_cast<uint8_t>(C)) * 16777619u;
    Slot = H & 0xFFFFF;
}

// Holds an exclusive lock on a table for the length of a definition change.
void LockForChange(DBIDbObj* D, const std::string& Table, TableLock& L) {
    std::string File;
    uint32_t Slot = 0;
    TableLockPlace(D, Table, File, Slot);
    if (!L.Acquire(File, Slot, true)) Fail(DBIERR_FILELOCKED, "Table " + Table + " is in use");
}

std::string MetaKey(const DBIDbObj* D, const std::string& Table) {
    return D->Standard ? std::string("TableType") : "TableType:" + Lower(Table);
}

std::string ReadTableType(DBIDbObj* D, const std::string& QName, const std::string& Table) {
    const std::string Schema = SchemaOf(QName);
    sqlite3_stmt* Raw = nullptr;
    const std::string Sql = "SELECT value FROM " + Schema + ".\"_ryx_meta\" WHERE key=?";
    if (sqlite3_prepare_v2(D->Db, Sql.c_str(), -1, &Raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(Raw);
        return {};
    }
    Stmt S(Raw);
    const std::string K = MetaKey(D, Table);
    sqlite3_bind_text(S.get(), 1, K.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(S.get()) == SQLITE_ROW) return reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 0));
    return {};
}

std::vector<FLDDesc> ReadFields(DBIDbObj* D, const std::string& QName) {
    const std::string Schema = SchemaOf(QName);
    const std::string Table = QName.substr(Schema.size() + 1);
    Stmt S = Prepare(D->Db, "PRAGMA " + Schema + ".table_info(" + Table + ")");
    std::vector<FLDDesc> Fields;
    while (Step(D->Db, S.get())) {
        const char* Name = reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 1));
        const char* Type = reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 2));
        FLDDesc F = FieldFromDecl(Name ? Name : "", Type ? Type : "");
        F.bRequired = sqlite3_column_int(S.get(), 3) != 0;
        Fields.push_back(std::move(F));
    }
    uint32_t R = 0, B = 0;
    LayoutFields(Fields, R, B);
    return Fields;
}

std::vector<IDXDesc> ReadIndexes(DBIDbObj* D, const std::string& QName, const std::vector<FLDDesc>& Fields) {
    const std::string Schema = SchemaOf(QName);
    const std::string Table = QName.substr(Schema.size() + 1);
    std::vector<IDXDesc> Result;
    Stmt L = Prepare(D->Db, "PRAGMA " + Schema + ".index_list(" + Table + ")");
    std::vector<std::tuple<std::string, bool, std::string>> Names;
    while (Step(D->Db, L.get()))
        Names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(L.get(), 1)),
                           sqlite3_column_int(L.get(), 2) != 0,
                           reinterpret_cast<const char*>(sqlite3_column_text(L.get(), 3)));
    L.reset();
    uint16_t Id = 0;
    for (const auto& [Stored, Unique, Origin] : Names) {
        IDXDesc X;
        const size_t Dollar = Stored.find('$');
        X.szName = Dollar == std::string::npos ? Stored : Stored.substr(Dollar + 1);
        X.bPrimary = (Dollar != std::string::npos && X.szName.empty()) || Origin == "pk";
        if (Origin == "pk") X.szName.clear();
        X.bUnique = Unique;
        X.iIndexId = ++Id;
        Stmt I = Prepare(D->Db, "PRAGMA " + Schema + ".index_xinfo(" + QuoteIdent(Stored) + ")");
        bool Usable = true;
        while (Step(D->Db, I.get())) {
            if (sqlite3_column_int(I.get(), 5) == 0) continue;  // not a key column
            if (sqlite3_column_int(I.get(), 1) < 0) {
                Usable = false;
                continue;
            }
            const std::string Col = reinterpret_cast<const char*>(sqlite3_column_text(I.get(), 2));
            const char* Coll = reinterpret_cast<const char*>(sqlite3_column_text(I.get(), 4));
            if (sqlite3_column_int(I.get(), 3)) X.bDescending = true;
            if (Coll && SameText(Coll, "NOCASE")) X.bCaseInsensitive = true;
            for (const auto& F : Fields)
                if (SameText(F.szName, Col)) X.aiKeyFld.push_back(F.iFldNum);
            X.szKeyFields += (X.szKeyFields.empty() ? "" : ";") + Col;
        }
        if (!Usable) continue;
        Result.push_back(std::move(X));
    }
    // The primary index first, as the framework lists it.
    std::stable_sort(Result.begin(), Result.end(), [](const IDXDesc& A, const IDXDesc& B) { return A.bPrimary > B.bPrimary; });
    return Result;
}

// Turns a query's rows into a read-only cursor over a temporary table.
std::unique_ptr<DBICurObj> Materialize(DBIDbObj* D, sqlite3_stmt* Q) {
    const int N = sqlite3_column_count(Q);
    auto C = std::make_unique<DBICurObj>();
    C->Db = D;
    C->TempCopy = true;
    C->Live = false;
    C->ReadOnly = true;
    C->Table = "_ryx_q" + std::to_string(D->NextTemp++);
    C->QName = "\"temp\"." + QuoteIdent(C->Table);
    std::vector<std::string> Decl(static_cast<size_t>(N));
    std::string Create = "CREATE TEMP TABLE " + QuoteIdent(C->Table) + " (";
    std::string Insert = "INSERT INTO " + C->QName + " VALUES (";
    for (int I = 0; I < N; ++I) {
        std::string Name = sqlite3_column_name(Q, I) ? sqlite3_column_name(Q, I) : "";
        if (Name.empty()) Name = "COLUMN" + std::to_string(I + 1);
        std::string Unique = Name;
        for (int K = 1; std::any_of(C->Cols.begin(), C->Cols.end(), [&](const std::string& X) { return SameText(X, Unique); }); ++K)
            Unique = Name + "_" + std::to_string(K);
        C->Cols.push_back(Unique);
        const char* T = sqlite3_column_decltype(Q, I);
        Decl[static_cast<size_t>(I)] = T ? T : "";
        Create += (I ? ", " : "") + QuoteIdent(Unique) + " " + Decl[static_cast<size_t>(I)];
        Insert += I ? ",?" : "?";
    }
    Exec(D->Db, Create + ")");
    Stmt Ins = Prepare(D->Db, Insert + ")");
    struct Seen {
        bool Int = false, Real = false, Text = false, Blob = false;
        int MaxLen = 0;
    };
    std::vector<Seen> Obs(static_cast<size_t>(N));
    while (Step(D->Db, Q)) {
        for (int I = 0; I < N; ++I) {
            sqlite3_bind_value(Ins.get(), I + 1, sqlite3_column_value(Q, I));
            Seen& S = Obs[static_cast<size_t>(I)];
            switch (sqlite3_column_type(Q, I)) {
                case SQLITE_INTEGER: S.Int = true; break;
                case SQLITE_FLOAT: S.Real = true; break;
                case SQLITE_TEXT:
                    S.Text = true;
                    S.MaxLen = std::max(S.MaxLen, sqlite3_column_bytes(Q, I));
                    break;
                case SQLITE_BLOB: S.Blob = true; break;
                default: break;
            }
        }
        Step(D->Db, Ins.get());
        sqlite3_reset(Ins.get());
    }
    for (int I = 0; I < N; ++I) {
        const Seen& S = Obs[static_cast<size_t>(I)];
        FLDDesc F;
        if (!Decl[static_cast<size_t>(I)].empty()) F = FieldFromDecl(C->Cols[static_cast<size_t>(I)], Decl[static_cast<size_t>(I)]);
        else {
            F.szName = C->Cols[static_cast<size_t>(I)];
            if (S.Blob) {
                F.iFldType = fldBLOB;
                F.iSubType = fldstBINARY;
            } else if (S.Text) {
                F.iFldType = fldZSTRING;
                F.iUnits1 = std::max(S.MaxLen, 1);
            } else if (S.Real) F.iFldType = fldFLOAT;
            else if (S.Int) F.iFldType = fldINT64;
            else {
                F.iFldType = fldZSTRING;
                F.iUnits1 = 1;
            }
        }
        F.bReadOnly = true;
        C->Fields.push_back(std::move(F));
    }
    LayoutFields(C->Fields, C->RecSize, C->RecBufSize);
    C->Order = {DBICurObj::Part{}};
    return C;
}

}  // namespace dbi

// ---------------------------------------------------------------------------

DBIResult DbiOpenDatabase(const std::string& Driver, const TDbiParams& Params, hDBIDb& hDb) {
    hDb = nullptr;
    return Run("DbiOpenDatabase", [&] {
        auto D = std::make_unique<DBIDbObj>();
        if (SameText(Driver, "STANDARD")) D->Standard = true;
        else if (!SameText(Driver, "SQLITE")) Fail(DBIERR_UNKNOWNDRIVER, "Driver: " + Driver);
        D->Driver = D->Standard ? "STANDARD" : "SQLITE";
        D->Path = DbiParamValue(Params, "PATH");
        if (D->Path.empty()) D->Path = DbiParamValue(Params, "DATABASE NAME");
        if (D->Path.empty()) D->Path = DbiParamValue(Params, "DATABASE");
        for (char& C : D->Path)
            if (C == '\\') C = '/';
        while (D->Standard && D->Path.size() > 1 && D->Path.back() == '/') D->Path.pop_back();
        D->ReadOnly = SameText(DbiParamValue(Params, "OPEN MODE"), "READ ONLY");
        if (D->Path.empty()) Fail(DBIERR_INVALIDPARAM, "No PATH given");
        int Flags = SQLITE_OPEN_NOMUTEX;
        std::string File;
        if (D->Standard) {
            if (!IsDir(D->Path)) Fail(DBIERR_DIRNOACCESS, "Directory: " + D->Path);
            File = ":memory:";
            Flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;  // (an in-memory flag would make attached files in-memory too)
        } else {
            File = D->Path;
            Flags |= D->ReadOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        }
        const int Rc = sqlite3_open_v2(File.c_str(), &D->Db, Flags, nullptr);
        if (Rc != SQLITE_OK) {
            const std::string Msg = D->Db ? sqlite3_errmsg(D->Db) : sqlite3_errstr(Rc);
            const int Ext = D->Db ? sqlite3_extended_errcode(D->Db) : Rc;
            sqlite3_close_v2(D->Db);
            D->Db = nullptr;
            throw Failure{CodeForSqlite(Ext), DbiErrorText(CodeForSqlite(Ext)) + ".\n" + Msg + ": " + D->Path, Ext};
        }
        sqlite3_extended_result_codes(D->Db, 1);
        sqlite3_limit(D->Db, SQLITE_LIMIT_ATTACHED, 125);
        const std::string Busy = DbiParamValue(Params, "BUSY TIMEOUT");
        sqlite3_busy_timeout(D->Db, Busy.empty() ? 2000 : std::atoi(Busy.c_str()));
        try {
            if (D->ReadOnly) Exec(D->Db, "PRAGMA query_only=1");
            if (!D->Standard) {
                // Reads the schema: a file that is no database fails here.
                Exec(D->Db, "SELECT count(*) FROM main.sqlite_master");
                if (!D->ReadOnly) sqlite3_exec(D->Db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
                MapFile(D->Db, "main");
            }
        } catch (...) {
            sqlite3_close_v2(D->Db);
            D->Db = nullptr;
            throw;
        }
        hDb = D.release();
        Register(hDb, Kind::Database);
        ++Count().Databases;
    });
}

DBIResult DbiCloseDatabase(hDBIDb& hDb) {
    return Run("DbiCloseDatabase", [&] {
        DBIDbObj* D = Db(hDb);
        while (!D->Cursors.empty()) {
            hDBICur C = D->Cursors.back();
            CloseCursorObj(C);
        }
        if (D->Xact) {
            Unregister(D->Xact.get());
            D->Xact.reset();
        }
        Unregister(D);
        --Count().Databases;
        sqlite3_close_v2(D->Db);  // rolls back an open transaction
        delete D;
        hDb = nullptr;
    });
}

DBIResult DbiGetDatabaseDesc(hDBIDb hDb, DBDesc& Desc) {
    return Run("DbiGetDatabaseDesc", [&] {
        DBIDbObj* D = Db(hDb);
        Desc.szDriver = D->Driver;
        Desc.szPath = D->Path;
        Desc.bSQLBased = !D->Standard;
        Desc.bReadOnly = D->ReadOnly;
    });
}

DBIResult DbiBeginTran(hDBIDb hDb, eXILType Isolation, hDBIXact& hXact) {
    hXact = nullptr;
    return Run("DbiBeginTran", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->Xact) Fail(DBIERR_ACTIVETRAN);
        if (D->Standard && Isolation != xilDIRTYREAD)
            Fail(DBIERR_NOTSUPPORTED, "Local tables allow only dirty-read transactions");
        D->ResetStatements();
        Exec(D->Db, "BEGIN");
        D->Xact = std::make_unique<DBIXactObj>();
        D->Xact->Db = D;
        hXact = D->Xact.get();
        Register(hXact, Kind::Xact);
    });
}

DBIResult DbiEndTran(hDBIDb hDb, hDBIXact hXact, eXEnd End) {
    return Run("DbiEndTran", [&] {
        DBIDbObj* D = Db(hDb);
        if (!D->Xact) Fail(DBIERR_NOACTIVETRAN);
        if (hXact && hXact != D->Xact.get()) Fail(DBIERR_INVALIDHNDL, "Transaction handle");
        D->ResetStatements();
        if (!sqlite3_get_autocommit(D->Db)) Exec(D->Db, End == xendCOMMIT ? "COMMIT" : "ROLLBACK");
        Unregister(D->Xact.get());
        D->Xact.reset();
        D->Changed();
    });
}

DBIResult DbiInTransaction(hDBIDb hDb, bool& InTran) {
    return Run("DbiInTransaction", [&] { InTran = Db(hDb)->Xact != nullptr; });
}

DBIResult DbiGetTableNames(hDBIDb hDb, const std::string& Pattern, bool System, std::vector<std::string>& Names) {
    return Run("DbiGetTableNames", [&] {
        DBIDbObj* D = Db(hDb);
        Names.clear();
        std::string Pat = Pattern.empty() ? "*" : BareTableName(D, Pattern);
        auto Keep = [&](const std::string& N) {
            if (!System && (N.rfind("_ryx_", 0) == 0 || N.rfind("sqlite_", 0) == 0)) return;
            if (fnmatch(Pat.c_str(), N.c_str(), FNM_CASEFOLD) == 0) Names.push_back(N);
        };
        if (D->Standard) {
            DIR* Dir = ::opendir(D->Path.c_str());
            if (!Dir) Fail(DBIERR_DIRNOACCESS, "Directory: " + D->Path);
            while (dirent* E = ::readdir(Dir)) {
                const std::string N = E->d_name;
                if (N.size() > 3 && N.compare(N.size() - 3, 3, ".db") == 0 && IsFile(D->Path + "/" + N))
                    Keep(N.substr(0, N.size() - 3));
            }
            ::closedir(Dir);
        } else {
            Stmt S = Prepare(D->Db, "SELECT name FROM main.sqlite_master WHERE type='table'");
            while (Step(D->Db, S.get())) Keep(reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 0)));
        }
        std::sort(Names.begin(), Names.end(), [](const std::string& A, const std::string& B) { return Lower(A) < Lower(B); });
    });
}

// ---------------------------------------------------------------------------
// Definitions.

namespace {

std::string IndexColumns(const IDXDesc& X, const std::vector<FLDDesc>& Fields) {
    std::vector<std::string> Cols;
    if (!X.szKeyFields.empty()) {
        size_t Start = 0;
        while (Start <= X.szKeyFields.size()) {
            const size_t End = X.szKeyFields.find(';', Start);
            std::string Name = X.szKeyFields.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
            while (!Name.empty() && Name.front() == ' ') Name.erase(0, 1);
            while (!Name.empty() && Name.back() == ' ') Name.pop_back();
            if (!Name.empty()) Cols.push_back(Name);
            if (End == std::string::npos) break;
            Start = End + 1;
        }
    } else {
        for (uint16_t No : X.aiKeyFld) {
            if (No < 1 || No > Fields.size()) Fail(DBIERR_NOSUCHFIELD, "Field number " + std::to_string(No));
            Cols.push_back(Fields[No - 1].szName);
        }
    }
    if (Cols.empty()) Fail(DBIERR_INVALIDPARAM, "Index without fields");
    std::string R;
    for (const auto& C : Cols) {
        const auto It = std::find_if(Fields.begin(), Fields.end(), [&](const FLDDesc& F) { return SameText(F.szName, C); });
        if (It == Fields.end()) Fail(DBIERR_NOSUCHFIELD, "Field '" + C + "'");
        if (It->iFldType == fldBLOB) Fail(DBIERR_INVALIDFIELDTYPE, "Field '" + C + "' cannot be indexed");
        R += (R.empty() ? "" : ", ") + QuoteIdent(It->szName) + (X.bCaseInsensitive ? " COLLATE NOCASE" : "") +
             (X.bDescending ? " DESC" : "");
    }
    return R;
}

// CREATE INDEX for X on Table; Schema "" for the connection's main database.
std::string IndexSql(const std::string& Schema, const std::string& Table, const IDXDesc& X,
                     const std::vector<FLDDesc>& Fields) {
    const std::string Name = X.bPrimary ? std::string() : X.szName;
    if (!X.bPrimary && Name.empty()) Fail(DBIERR_INVALIDINDEXNAME, "An index needs a name");
    return std::string("CREATE ") + (X.bUnique || X.bPrimary ? "UNIQUE " : "") + "INDEX " +
           (Schema.empty() ? "" : Schema + ".") + QuoteIdent(Table + "$" + Name) + " ON " + QuoteIdent(Table) + " (" +
           IndexColumns(X, Fields) + ")";
}

void CreateIndex(DBIDbObj* D, const std::string& QName, const IDXDesc& X,
                 const std::vector<FLDDesc>& Fields) {
    const std::string Schema = SchemaOf(QName);
    const std::string Inner = QName.substr(Schema.size() + 2, QName.size() - Schema.size() - 3);
    for (const auto& Have : ReadIndexes(D, QName, Fields))
        if ((X.bPrimary && Have.bPrimary) || (!X.bPrimary && SameText(Have.szName, X.szName)))
            Fail(DBIERR_NAMEEXISTS, "Index '" + (X.bPrimary ? std::string("primary") : X.szName) + "'");
    Exec(D->Db, IndexSql(Schema, Inner, X, Fields));
}

}  // namespace

DBIResult DbiCreateTable(hDBIDb hDb, bool Overwrite, const CRTblDesc& Desc) {
    return Run("DbiCreateTable", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Table = BareTableName(D, Desc.szTblName);
        CheckTableName(Table);
        if (Desc.Fields.empty()) Fail(DBIERR_INVALIDPARAM, "A table needs fields");
        if (D->TableExists(Table)) {
            if (!Overwrite) Fail(DBIERR_FILEEXISTS, "Table: " + Table);
            Check(DbiDeleteTable(hDb, Table));
        }
        std::string Cols;
        for (size_t I = 0; I < Desc.Fields.size(); ++I) {
            const FLDDesc& F = Desc.Fields[I];
            if (F.szName.empty()) Fail(DBIERR_INVALIDPARAM, "Field without a name");
            for (size_t J = 0; J < I; ++J)
                if (SameText(Desc.Fields[J].szName, F.szName)) Fail(DBIERR_NAMEEXISTS, "Field '" + F.szName + "'");
            if ((F.iFldType == fldZSTRING && F.iSubType != fldstGUID) || F.iFldType == fldBYTES || F.iFldType == fldVARBYTES)
                if (F.iUnits1 <= 0 || F.iUnits1 > 65000) Fail(DBIERR_INVALIDPARAM, "Field '" + F.szName + "': bad size");
            Cols += (I ? ", " : "") + QuoteIdent(F.szName) + " " + DeclForField(F) + (F.bRequired ? " NOT NULL" : "");
        }
        std::vector<FLDDesc> Fields = Desc.Fields;
        uint32_t R = 0, B = 0;
        LayoutFields(Fields, R, B);
        D->ResetStatements();
        std::string QName;
        if (D->Standard) {
            // Make the file and define the table inside it.
            sqlite3* F = nullptr;
            const std::string Path = D->TableFile(Table);
            if (sqlite3_open_v2(Path.c_str(), &F, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
                const std::string Msg = F ? sqlite3_errmsg(F) : "cannot open";
                sqlite3_close_v2(F);
                Fail(DBIERR_DIRNOACCESS, Msg + ": " + Path);
            }
            try {
                Exec(F, "PRAGMA journal_mode=WAL");
                Exec(F, "BEGIN");
                Exec(F, "CREATE TABLE " + QuoteIdent(Table) + " (" + Cols + ")");
                Exec(F, "CREATE TABLE \"_ryx_meta\" (key TEXT PRIMARY KEY, value TEXT)");
                Exec(F, "INSERT INTO \"_ryx_meta\" VALUES ('TableType', " + QuoteText(Desc.szTblType) + ")");
                // The whole definition is made here, apart from any transaction of the database.
                for (const auto& X : Desc.Indexes) Exec(F, IndexSql("", Table, X, Fields));
                Exec(F, "COMMIT");
            } catch (...) {
                sqlite3_close_v2(F);
                std::remove(Path.c_str());
                throw;
            }
            sqlite3_close_v2(F);
            D->Changed();
            return;
        } else {
            Exec(D->Db, "SAVEPOINT ryx_create");
            try {
                Exec(D->Db, "CREATE TABLE main." + QuoteIdent(Table) + " (" + Cols + ")");
                Exec(D->Db, "CREATE TABLE IF NOT EXISTS main.\"_ryx_meta\" (key TEXT PRIMARY KEY, value TEXT)");
                Exec(D->Db, "INSERT OR REPLACE INTO main.\"_ryx_meta\" VALUES (" + QuoteText(MetaKey(D, Table)) + ", " +
                                QuoteText(Desc.szTblType) + ")");
                QName = D->Qualified(Table, false);
                for (const auto& X : Desc.Indexes) CreateIndex(D, QName, X, Fields);
                Exec(D->Db, "RELEASE ryx_create");
            } catch (...) {
                sqlite3_exec(D->Db, "ROLLBACK TO ryx_create; RELEASE ryx_create", nullptr, nullptr, nullptr);
                throw;
            }
            D->Changed();
        }
    });
}

DBIResult DbiDeleteTable(hDBIDb hDb, const std::string& TableName) {
    return Run("DbiDeleteTable", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Table = BareTableName(D, TableName);
        CheckTableName(Table);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        TableLock L;
        LockForChange(D, Table, L);
        D->ResetStatements();
        if (D->Standard) {
            D->Detach(Table);
            const std::string P = D->TableFile(Table);
            if (std::remove(P.c_str()) != 0) Fail(DBIERR_FILENOACCESS, "Cannot delete " + P);
            std::remove((P + "-wal").c_str());
            std::remove((P + "-shm").c_str());
            std::remove((D->Path + "/" + Table + ".lck").c_str());
        } else {
            const std::string QName = D->Qualified(Table, false);
            Exec(D->Db, "DROP TABLE " + QName);
            sqlite3_exec(D->Db, ("DELETE FROM main.\"_ryx_meta\" WHERE key=" + QuoteText(MetaKey(D, Table))).c_str(),
                         nullptr, nullptr, nullptr);
        }
        D->Changed();
    });
}

DBIResult DbiRenameTable(hDBIDb hDb, const std::string& OldName, const std::string& NewName) {
    return Run("DbiRenameTable", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Old = BareTableName(D, OldName), New = BareTableName(D, NewName);
        CheckTableName(Old);
        CheckTableName(New);
        if (!D->TableExists(Old)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Old);
        if (!SameText(Old, New) && D->TableExists(New)) Fail(DBIERR_FILEEXISTS, "Table: " + New);
        TableLock L;
        LockForChange(D, Old, L);
        D->ResetStatements();
        if (D->Standard) {
            D->Detach(Old);
            const std::string From = D->TableFile(Old), To = D->TableFile(New);
            if (std::rename(From.c_str(), To.c_str()) != 0) Fail(DBIERR_FILENOACCESS, "Cannot rename " + From);
            std::remove((From + "-wal").c_str());
            std::remove((From + "-shm").c_str());
            std::remove((D->Path + "/" + Old + ".lck").c_str());
            const std::string QName = D->Qualified(New, false);
            Exec(D->Db, "ALTER TABLE " + QName + " RENAME TO " + QuoteIdent(New));
            D->Detach(New);
        } else {
            Exec(D->Db, "ALTER TABLE " + D->Qualified(Old, false) + " RENAME TO " + QuoteIdent(New));
            sqlite3_exec(D->Db, ("UPDATE main.\"_ryx_meta\" SET key=" + QuoteText(MetaKey(D, New)) + " WHERE key=" +
                                 QuoteText(MetaKey(D, Old))).c_str(), nullptr, nullptr, nullptr);
        }
        D->Changed();
    });
}

DBIResult DbiEmptyTable(hDBIDb hDb, const std::string& TableName) {
    return Run("DbiEmptyTable", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        TableLock L;
        LockForChange(D, Table, L);
        D->ResetStatements();
        Exec(D->Db, "DELETE FROM " + D->Qualified(Table, false));
        D->Changed();
    });
}

DBIResult DbiAddIndex(hDBIDb hDb, const std::string& TableName, const IDXDesc& Index) {
    return Run("DbiAddIndex", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        D->ResetStatements();
        const std::string QName = D->Qualified(Table, false);
        CreateIndex(D, QName, Index, ReadFields(D, QName));
        D->Changed();
    });
}

DBIResult DbiDeleteIndex(hDBIDb hDb, const std::string& TableName, const std::string& IndexName) {
    return Run("DbiDeleteIndex", [&] {
        DBIDbObj* D = Db(hDb);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        const std::string QName = D->Qualified(Table, false);
        const std::string Schema = SchemaOf(QName);
        Stmt L = Prepare(D->Db, "PRAGMA " + Schema + ".index_list(" + QName.substr(Schema.size() + 1) + ")");
        std::string Stored;
        while (Step(D->Db, L.get())) {
            const std::string S = reinterpret_cast<const char*>(sqlite3_column_text(L.get(), 1));
            const size_t Dollar = S.find('$');
            const std::string Name = Dollar == std::string::npos ? S : S.substr(Dollar + 1);
            if (SameText(Name, IndexName) || (IndexName.empty() && Dollar != std::string::npos && Name.empty())) Stored = S;
        }
        L.reset();
        if (Stored.empty()) Fail(DBIERR_NOSUCHINDEX, "Index '" + IndexName + "'");
        D->ResetStatements();
        Exec(D->Db, "DROP INDEX " + Schema + "." + QuoteIdent(Stored));
        D->Changed();
    });
}

DBIResult DbiGetIndexList(hDBIDb hDb, const std::string& TableName, std::vector<IDXDesc>& Indexes) {
    return Run("DbiGetIndexList", [&] {
        DBIDbObj* D = Db(hDb);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        const std::string QName = D->Qualified(Table, false);
        Indexes = ReadIndexes(D, QName, ReadFields(D, QName));
    });
}

DBIResult DbiGetFieldList(hDBIDb hDb, const std::string& TableName, std::vector<FLDDesc>& Fields) {
    return Run("DbiGetFieldList", [&] {
        DBIDbObj* D = Db(hDb);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        Fields = ReadFields(D, D->Qualified(Table, false));
    });
}

DBIResult DbiGetTableType(hDBIDb hDb, const std::string& TableName, std::string& TableType) {
    return Run("DbiGetTableType", [&] {
        DBIDbObj* D = Db(hDb);
        const std::string Table = BareTableName(D, TableName);
        if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
        TableType = ReadTableType(D, D->Qualified(Table, false), Table);
    });
}

// ---------------------------------------------------------------------------
// SQL.

namespace {

// Prepares SQL; for STANDARD databases a table named in it is attached from its
// file when SQLite does not know it yet.
Stmt PrepareQuery(DBIDbObj* D, const std::string& Sql) {
    for (int Tries = 0;; ++Tries) {
        sqlite3_stmt* S = nullptr;
        const int Rc = sqlite3_prepare_v2(D->Db, Sql.c_str(), static_cast<int>(Sql.size()), &S, nullptr);
        if (Rc == SQLITE_OK) {
            if (!S) Fail(DBIERR_QRYEMPTY);
            return Stmt(S);
        }
        sqlite3_finalize(S);
        const std::string Msg = sqlite3_errmsg(D->Db);
        const std::string Prefix = "no such table: ";
        if (D->Standard && Tries < 12 && Msg.rfind(Prefix, 0) == 0) {
            std::string Name = Msg.substr(Prefix.size());
            const size_t Dot = Name.rfind('.');
            if (Dot != std::string::npos) Name = Name.substr(Dot + 1);
            if (IsFile(D->TableFile(Name))) {
                D->Qualified(Name, false);
                continue;
            }
        }
        const DBIResult Code = (sqlite3_extended_errcode(D->Db) & 0xFF) == SQLITE_ERROR ? DBIERR_QRYSYNTAX
                                                                                        : CodeForSqlite(sqlite3_extended_errcode(D->Db));
        throw Failure{Code, DbiErrorText(Code) + ".\n" + Msg, sqlite3_extended_errcode(D->Db)};
    }
}

// Runs a statement that returns no rows; the rows it changed.
int64_t RunToEnd(DBIDbObj* D, sqlite3_stmt* S) {
    const bool Writes = !sqlite3_stmt_readonly(S);
    if (Writes) CompleteAllRecords();
    while (Step(D->Db, S)) {
    }
    if (!Writes) return 0;
    D->Changed();
    return sqlite3_changes64(D->Db);
}

void BindAll(sqlite3_stmt* S, const std::vector<DBIValue>& Params) {
    const int N = sqlite3_bind_parameter_count(S);
    for (int I = 1; I <= N; ++I) {
        if (static_cast<size_t>(I) <= Params.size()) BindValue(S, I, Params[static_cast<size_t>(I - 1)]);
        else sqlite3_bind_null(S, I);
    }
}

// "SELECT * | a, b FROM t [WHERE ...] [ORDER BY a [ASC|DESC], ...]": the parts
// of a statement whose result can be a live cursor over one table.
struct LiveSelect {
    std::string Table;
    std::vector<std::string> Cols;  // empty = all
    std::string Where;
    std::vector<std::pair<std::string, bool>> OrderBy;  // field, descending
};

struct Tok {
    std::string Text;  // identifier (unquoted), keyword in upper case, or punctuation
    bool Ident = false;
    size_t Begin = 0, End = 0;
};

std::vector<Tok> Tokenize(const std::string& S) {
    std::vector<Tok> R;
    size_t I = 0;
    while (I < S.size()) {
        const char C = S[I];
        if (std::isspace(static_cast<unsigned char>(C))) {
            ++I;
            continue;
        }
        Tok T;
        T.Begin = I;
        if (std::isalpha(static_cast<unsigned char>(C)) || C == '_') {
            while (I < S.size() && (std::isalnum(static_cast<unsigned char>(S[I])) || S[I] == '_' || S[I] == '$')) ++I;
            T.Text = S.substr(T.Begin, I - T.Begin);
            T.Ident = true;
        } else if (C == '"' || C == '[' || C == '`') {
            const char Close = C == '[' ? ']' : C;
            ++I;
            while (I < S.size() && S[I] != Close) T.Text += S[I++];
            if (I >= S.size()) return {};
            ++I;
            T.Ident = true;
            T.Text = "\x01" + T.Text;  // quoted: never a keyword
        } else if (C == '\'') {
            ++I;
            while (I < S.size()) {
                if (S[I] == '\'') {
                    if (I + 1 < S.size() && S[I + 1] == '\'') {
                        I += 2;
                        continue;
                    }
                    break;
                }
                ++I;
            }
            if (I >= S.size()) return {};
            ++I;
            T.Text = "'";
        } else if (C == '-' && I + 1 < S.size() && S[I + 1] == '-') {
            return {};  // comments: not worth the trouble
        } else {
            T.Text = std::string(1, C);
            ++I;
        }
        T.End = I;
        R.push_back(std::move(T));
    }
    return R;
}

bool IsKw(const Tok& T, const char* K) { return T.Ident && T.Text[0] != '\x01' && SameText(T.Text, K); }
std::string IdentName(const Tok& T) { return T.Text[0] == '\x01' ? T.Text.substr(1) : T.Text; }

bool ParseLiveSelect(const std::string& Sql, LiveSelect& L) {
    std::vector<Tok> T = Tokenize(Sql);
    while (!T.empty() && T.back().Text == ";") T.pop_back();
    size_t I = 0;
    auto At = [&](size_t K) -> const Tok* { return K < T.size() ? &T[K] : nullptr; };
    if (!At(I) || !IsKw(*At(I), "SELECT")) return false;
    ++I;
    if (At(I) && At(I)->Text == "*") ++I;
    else {
        for (;;) {
            if (!At(I) || !At(I)->Ident || IsKw(*At(I), "FROM") || IsKw(*At(I), "DISTINCT")) return false;
            L.Cols.push_back(IdentName(*At(I++)));
            if (At(I) && At(I)->Text == ",") {
                ++I;
                continue;
            }
            break;
        }
    }
    if (!At(I) || !IsKw(*At(I), "FROM")) return false;
    ++I;
    if (!At(I) || !At(I)->Ident) return false;
    L.Table = IdentName(*At(I++));
    if (At(I) && IsKw(*At(I), "WHERE")) {
        const size_t WBegin = ++I;
        int Depth = 0;
        while (At(I) && !(Depth == 0 && IsKw(*At(I), "ORDER"))) {
            const Tok& K = *At(I);
            if (K.Text == "(") ++Depth;
            if (K.Text == ")") --Depth;
            for (const char* Bad : {"SELECT", "GROUP", "HAVING", "UNION", "LIMIT", "JOIN", "EXCEPT", "INTERSECT"})
                if (IsKw(K, Bad)) return false;
            ++I;
        }
        if (WBegin == I) return false;
        L.Where = Sql.substr(T[WBegin].Begin, T[I - 1].End - T[WBegin].Begin);
    }
    if (At(I) && IsKw(*At(I), "ORDER")) {
        ++I;
        if (!At(I) || !IsKw(*At(I), "BY")) return false;
        ++I;
        for (;;) {
            if (!At(I) || !At(I)->Ident) return false;
            std::string F = IdentName(*At(I++));
            bool Desc = false;
            if (At(I) && (IsKw(*At(I), "ASC") || IsKw(*At(I), "DESC"))) Desc = IsKw(*At(I++), "DESC");
            L.OrderBy.emplace_back(F, Desc);
            if (At(I) && At(I)->Text == ",") {
                ++I;
                continue;
            }
            break;
        }
    }
    return I == T.size();
}

}  // namespace

DBIResult DbiQExec(hDBIDb hDb, const std::string& SQL, const std::vector<DBIValue>& Params, bool RequestLive,
                   hDBICur& hCur, int64_t& RowsAffected, bool& Live) {
    hCur = nullptr;
    RowsAffected = 0;
    Live = false;
    return Run("DbiQExec", [&] {
        DBIDbObj* D = Db(hDb);
        size_t First = SQL.find_first_not_of(" \t\r\n;");
        if (First == std::string::npos) Fail(DBIERR_QRYEMPTY);
        D->ResetStatements();
        Stmt S = PrepareQuery(D, SQL);
        BindAll(S.get(), Params);
        if (sqlite3_column_count(S.get()) == 0) {
            RowsAffected = RunToEnd(D, S.get());
            return;
        }
        LiveSelect L;
        if (RequestLive && ParseLiveSelect(SQL, L) && D->TableExists(BareTableName(D, L.Table))) {
            std::string OrderFields;
            bool AnyDesc = false;
            for (const auto& [F, Desc] : L.OrderBy) {
                OrderFields += (OrderFields.empty() ? "" : ";") + F;
                AnyDesc = AnyDesc || Desc;
            }
            auto C = OpenTableObj(D, BareTableName(D, L.Table), "", OrderFields, dbiREADWRITE, dbiOPENSHARED, L.Cols);
            for (size_t K = 0; K < L.OrderBy.size(); ++K) C->Order[K].Desc = L.OrderBy[K].second;
            (void)AnyDesc;
            C->BaseWhere = L.Where;
            C->BaseParams.assign(Params.begin(), Params.begin() + std::min<size_t>(Params.size(), static_cast<size_t>(sqlite3_bind_parameter_count(S.get()))));
            C->BaseParamCount = sqlite3_bind_parameter_count(S.get());
            S.reset();
            hCur = RegisterCursor(std::move(C));
            Live = true;
            return;
        }
        hCur = RegisterCursor(Materialize(D, S.get()));
    });
}

// ---------------------------------------------------------------------------
// Stored procedures.

namespace {

void NeedSQLBased(DBIDbObj* D) {
    if (D->Standard) Fail(DBIERR_NOTSUPPORTED, "Stored procedures need an SQL database");
}

bool ProcTableExists(DBIDbObj* D) {
    Stmt S = Prepare(D->Db, "SELECT 1 FROM main.sqlite_master WHERE type='table' AND name='_ryx_procs'");
    return Step(D->Db, S.get());
}

std::string EncodeParams(const std::vector<SPParamDesc>& Ps) {
    std::string R;
    for (const auto& P : Ps) {
        if (P.szName.empty() || P.szName.find_first_of("\t\n") != std::string::npos)
            Fail(DBIERR_INVALIDPARAM, "Parameter name: '" + P.szName + "'");
        R += P.szName + "\t" + std::to_string(P.iFldType) + "\t" + std::to_string(P.iSubType) + "\t" +
             std::to_string(P.iUnits1) + "\t" + std::to_string(P.iUnits2) + "\t" + std::to_string(P.eParamType) + "\n";
    }
    return R;
}

std::vector<SPParamDesc> DecodeParams(const std::string& S) {
    std::vector<SPParamDesc> R;
    size_t Start = 0;
    while (Start < S.size()) {
        const size_t End = S.find('\n', Start);
        const std::string Line = S.substr(Start, End - Start);
        Start = End == std::string::npos ? S.size() : End + 1;
        std::vector<std::string> Parts;
        size_t P = 0;
        for (;;) {
            const size_t Tab = Line.find('\t', P);
            Parts.push_back(Line.substr(P, Tab - P));
            if (Tab == std::string::npos) break;
            P = Tab + 1;
        }
        if (Parts.size() != 6) continue;
        SPParamDesc D;
        D.szName = Parts[0];
        D.iFldType = static_cast<uint16_t>(std::atoi(Parts[1].c_str()));
        D.iSubType = static_cast<uint16_t>(std::atoi(Parts[2].c_str()));
        D.iUnits1 = std::atoi(Parts[3].c_str());
        D.iUnits2 = std::atoi(Parts[4].c_str());
        D.eParamType = static_cast<STMTParamType>(std::atoi(Parts[5].c_str()));
        R.push_back(D);
    }
    return R;
}

bool LoadSP(DBIDbObj* D, const std::string& Name, SPDesc& Desc) {
    if (!ProcTableExists(D)) return false;
    Stmt S = Prepare(D->Db, "SELECT name, sql, params FROM main.\"_ryx_procs\" WHERE name=?");
    sqlite3_bind_text(S.get(), 1, Name.c_str(), -1, SQLITE_TRANSIENT);
    if (!Step(D->Db, S.get())) return false;
    Desc.szName = reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 0));
    Desc.szSQL = reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 1));
    Desc.Params = DecodeParams(reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 2)));
    return true;
}

DBIValue ValueOfType(const SqlVal& V, const SPParamDesc& P) {
    DBIValue R;
    if (V.IsNull()) return R;
    FLDDesc F;
    F.iFldType = P.iFldType;
    F.iSubType = P.iSubType;
    F.iUnits1 = P.iUnits1 > 0 ? P.iUnits1 : 255;
    F.iLen = DbiNativeSize(F.iFldType, F.iSubType, F.iUnits1);
    DBIValue Src;
    Src.bNull = false;
    switch (V.Type) {
        case SQLITE_INTEGER: Src = DBIValue::Int(V.I); break;
        case SQLITE_FLOAT: Src = DBIValue::Float(V.F); break;
        case SQLITE_BLOB: Src = DBIValue::Bytes(V.S); break;
        default: Src = DBIValue::Text(V.S); break;
    }
    if (F.iFldType == fldBLOB || F.iLen == 0) {
        Src.iFldType = F.iFldType;
        Src.iSubType = F.iSubType;
        if (V.Type == SQLITE_INTEGER || V.Type == SQLITE_FLOAT) Src.sVal = V.Type == SQLITE_INTEGER ? std::to_string(V.I) : std::to_string(V.F);
        return Src;
    }
    std::vector<uint8_t> Buf(F.iLen);
    if (!DbiValueToNative(F, Src, Buf.data())) Fail(DBIERR_INVALIDFIELDTYPE, "Output parameter '" + P.szName + "'");
    return DbiValueFromNative(F, Buf.data());
}

}  // namespace

DBIResult DbiCreateSP(hDBIDb hDb, const SPDesc& Desc, bool Overwrite) {
    return Run("DbiCreateSP", [&] {
        DBIDbObj* D = Db(hDb);
        NeedSQLBased(D);
        if (D->ReadOnly) Fail(DBIERR_READONLYDB);
        if (Desc.szName.empty()) Fail(DBIERR_INVALIDPARAM, "A stored procedure needs a name");
        // The SQL must compile now, not at the first call.
        { Stmt Check = PrepareQuery(D, Desc.szSQL); }
        D->ResetStatements();
        Exec(D->Db, "CREATE TABLE IF NOT EXISTS main.\"_ryx_procs\" (name TEXT PRIMARY KEY COLLATE NOCASE, sql TEXT NOT NULL, params TEXT NOT NULL)");
        SPDesc Have;
        if (LoadSP(D, Desc.szName, Have) && !Overwrite) Fail(DBIERR_NAMEEXISTS, "Stored procedure '" + Desc.szName + "'");
        Stmt S = Prepare(D->Db, "INSERT OR REPLACE INTO main.\"_ryx_procs\" VALUES (?, ?, ?)");
        const std::string Enc = EncodeParams(Desc.Params);
        sqlite3_bind_text(S.get(), 1, Desc.szName.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(S.get(), 2, Desc.szSQL.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(S.get(), 3, Enc.c_str(), -1, SQLITE_TRANSIENT);
        Step(D->Db, S.get());
        D->Changed();
    });
}

DBIResult DbiDropSP(hDBIDb hDb, const std::string& Name) {
    return Run("DbiDropSP", [&] {
        DBIDbObj* D = Db(hDb);
        NeedSQLBased(D);
        SPDesc Have;
        if (!LoadSP(D, Name, Have)) Fail(DBIERR_OBJNOTFOUND, "Stored procedure '" + Name + "'");
        D->ResetStatements();
        Stmt S = Prepare(D->Db, "DELETE FROM main.\"_ryx_procs\" WHERE name=?");
        sqlite3_bind_text(S.get(), 1, Name.c_str(), -1, SQLITE_TRANSIENT);
        Step(D->Db, S.get());
        D->Changed();
    });
}

DBIResult DbiGetSPNames(hDBIDb hDb, std::vector<std::string>& Names) {
    return Run("DbiGetSPNames", [&] {
        DBIDbObj* D = Db(hDb);
        NeedSQLBased(D);
        Names.clear();
        if (!ProcTableExists(D)) return;
        Stmt S = Prepare(D->Db, "SELECT name FROM main.\"_ryx_procs\" ORDER BY name COLLATE NOCASE");
        while (Step(D->Db, S.get())) Names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(S.get(), 0)));
    });
}

DBIResult DbiGetSPDesc(hDBIDb hDb, const std::string& Name, SPDesc& Desc) {
    return Run("DbiGetSPDesc", [&] {
        DBIDbObj* D = Db(hDb);
        NeedSQLBased(D);
        if (!LoadSP(D, Name, Desc)) Fail(DBIERR_OBJNOTFOUND, "Stored procedure '" + Name + "'");
    });
}

DBIResult DbiExecSP(hDBIDb hDb, const std::string& Name, std::vector<DBIValue>& Values, hDBICur& hCur,
                    int64_t& RowsAffected) {
    hCur = nullptr;
    RowsAffected = 0;
    return Run("DbiExecSP", [&] {
        DBIDbObj* D = Db(hDb);
        NeedSQLBased(D);
        SPDesc Desc;
        if (!LoadSP(D, Name, Desc)) Fail(DBIERR_OBJNOTFOUND, "Stored procedure '" + Name + "'");
        if (Values.size() != Desc.Params.size())
            Fail(DBIERR_INVALIDPARAM, "Stored procedure '" + Name + "' takes " + std::to_string(Desc.Params.size()) + " parameters");
        D->ResetStatements();
        Stmt S = PrepareQuery(D, Desc.szSQL);
        const int N = sqlite3_bind_parameter_count(S.get());
        for (int I = 1; I <= N; ++I) {
            const char* PName = sqlite3_bind_parameter_name(S.get(), I);
            size_t Which = static_cast<size_t>(I - 1);
            if (PName && *PName) {
                Which = Desc.Params.size();
                for (size_t K = 0; K < Desc.Params.size(); ++K)
                    if (SameText(Desc.Params[K].szName, PName + 1)) Which = K;
            }
            if (Which < Desc.Params.size() &&
                (Desc.Params[Which].eParamType == paramIN || Desc.Params[Which].eParamType == paramINOUT ||
                 Desc.Params[Which].eParamType == paramUNKNOWN))
                BindValue(S.get(), I, Values[Which]);
            else sqlite3_bind_null(S.get(), I);
        }
        if (sqlite3_column_count(S.get()) == 0) {
            RowsAffected = RunToEnd(D, S.get());
            return;
        }
        auto C = Materialize(D, S.get());
        S.reset();
        // Output parameters from the first row's columns of the same name.
        Stmt F = Prepare(D->Db, "SELECT * FROM " + C->QName + " ORDER BY rowid LIMIT 1");
        const bool Row = Step(D->Db, F.get());
        for (size_t K = 0; K < Desc.Params.size(); ++K) {
            const auto& P = Desc.Params[K];
            if (P.eParamType != paramOUT && P.eParamType != paramINOUT && P.eParamType != paramRET) continue;
            Values[K] = DBIValue::Null();
            if (!Row) continue;
            for (int Col = 0; Col < sqlite3_column_count(F.get()); ++Col)
                if (SameText(C->Cols[static_cast<size_t>(Col)], P.szName))
                    Values[K] = ValueOfType(SqlVal::FromColumn(F.get(), Col), P);
        }
        F.reset();
        hCur = RegisterCursor(std::move(C));
    });
}

}  // namespace host
