// Internals of the SQLite engine shared by its source files: handle objects, statements, failures, values.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/db/dbiengine.h"
#include "host/db/dbirecbufs.h"
#include "host/db/filterexpr.h"
#include "host/rtl/sysutils.h"

namespace host {
struct DBICurObj;
struct DBIDbObj;
}

namespace host::dbi {

// An engine failure on its way to the public call's result code.
struct Failure {
    DBIResult Code;
    std::string Message;  // full message (code text, then SQLite's)
    int Native = 0;
};
void SetLastError(DBIResult Code, const std::string& Message, int Native);
int LastNative();
[[noreturn]] void Fail(DBIResult Code, const std::string& Detail = {});
// Raises the failure SQLite reported on Db for result Rc.
[[noreturn]] void FailSqlite(sqlite3* Db, int Rc);
DBIResult CodeForSqlite(int ExtendedRc);

// Runs Body as the engine function Name: injected failures, exceptions turned
// into result codes, the last-error record set on failure.
template <class F>
DBIResult Run(const char* Name, F&& Body);
DBIResult RunImpl(const char* Name, void (*Thunk)(void*), void* Ctx);
template <class F>
DBIResult Run(const char* Name, F&& Body) {
    return RunImpl(
        Name, [](void* C) { (*static_cast<F*>(C))(); }, &Body);
}

// A prepared statement, finalized on destruction.
struct StmtDeleter {
    void operator()(sqlite3_stmt* S) const { sqlite3_finalize(S); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;
Stmt Prepare(sqlite3* Db, const std::string& Sql, bool Persistent = false);
void Exec(sqlite3* Db, const std::string& Sql);
// Steps once: true for a row, false when done; raises on error.
bool Step(sqlite3* Db, sqlite3_stmt* S);
void BindValue(sqlite3_stmt* S, int Index, const DBIValue& V);
std::string QuoteIdent(const std::string& Name);   // "name" with "" doubled
std::string QuoteText(const std::string& Text);    // 'text' with '' doubled
using host::SameText;  // ASCII case-insensitive
std::string Lower(const std::string& S);

// A value as SQLite holds it, for keys and comparisons.
struct SqlVal {
    int Type = SQLITE_NULL;  // SQLITE_NULL, SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB
    int64_t I = 0;
    double F = 0;
    std::string S;
    static SqlVal FromColumn(sqlite3_stmt* St, int Col);
    bool IsNull() const { return Type == SQLITE_NULL; }
};
void BindSqlVal(sqlite3_stmt* S, int Index, const SqlVal& V);
// SQLite's ordering: NULL < numbers < text < blob; text by bytes or ASCII-folded.
int CompareSqlVal(const SqlVal& A, const SqlVal& B, bool NoCase);
SqlVal SqlValFromDBIValue(const DBIValue& V);

// Field types from and to declared SQL types.
std::string DeclForField(const FLDDesc& F);
FLDDesc FieldFromDecl(const std::string& Name, const std::string& Decl);
void LayoutFields(std::vector<FLDDesc>& Fields, uint32_t& RecSize, uint32_t& RecBufSize);
// Reads column Col of St into field F of RecBuf (blob fields: their length).
void ColumnToNative(sqlite3_stmt* St, int Col, const FLDDesc& F, uint8_t* RecBuf);
// Binds field F of RecBuf (null when blank) to parameter Index.
void NativeToBind(sqlite3_stmt* St, int Index, const FLDDesc& F, const uint8_t* RecBuf);
inline bool FieldBlank(const FLDDesc& F, const uint8_t* RecBuf) { return RecBuf[F.iNullOffset] != 0; }
inline int64_t BufRowid(const uint8_t* RecBuf, uint32_t RecSize) {
    int64_t R;
    std::memcpy(&R, RecBuf + RecSize, 8);
    return R;
}
inline void SetBufRowid(uint8_t* RecBuf, uint32_t RecSize, int64_t R) { std::memcpy(RecBuf + RecSize, &R, 8); }

// Date and time text as stored.
std::string DateText(int32_t Days);
std::string TimeText(int32_t Ms);
std::string TimestampText(double Ms);
bool ParseDateText(const char* S, size_t N, int32_t& Days);
bool ParseTimeText(const char* S, size_t N, int32_t& Ms);
bool ParseTimestampText(const char* S, size_t N, double& Ms);

// Handle registry: objects are registered while alive.
enum class Kind : uint8_t { Session, Database, Cursor, Filter, Xact };
void Register(const void* P, Kind K);
void Unregister(const void* P);
bool IsLive(const void* P, Kind K);

// Record buffers filled field by field. A registered buffer a move lands in
// only gets its row identifier at once, each field's null flag saying
// NotRead. A field read while the walk still stands on the row copies that
// column; once the walk has moved on, the first read fills the rest by
// reading the row again by its identifier. Every engine call that looks at a
// buffer completes it first, and every write completes all of them
// beforehand, so no caller ever sees a field that is not read.
constexpr uint8_t NotRead = DBIRECBUF_NOTREAD;
// Bumped by every write through any database of this process.
uint64_t WriteEpoch();
// Completes the pending buffers of every cursor (before a write).
void CompleteAllRecords();
// Counts a row read into a record buffer by cursor C.
void CountFetch(DBICurObj& C);

// Counters for the system information.
struct Counters {
    int Sessions = 0, Databases = 0, Cursors = 0;
};
Counters& Count();

// An advisory lock on a table, kept out by other processes and by other opens in
// this one: an open-file-description lock on one byte of a lock file.
class TableLock {
public:
    TableLock() = default;
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
    // False when another open holds a conflicting lock.
    bool Acquire(const std::string& LockFile, uint32_t Slot, bool Exclusive);
    void Release();

private:
    int FFd = -1;
};

}  // namespace host::dbi

namespace host::dbi {

// Shared between the database and cursor sources.
std::string BareTableName(const DBIDbObj* D, const std::string& Name);
void TableLockPlace(const DBIDbObj* D, const std::string& Table, std::string& File, uint32_t& Slot);
std::string ReadTableType(DBIDbObj* D, const std::string& QName, const std::string& Table);
std::vector<FLDDesc> ReadFields(DBIDbObj* D, const std::string& QName);
std::vector<IDXDesc> ReadIndexes(DBIDbObj* D, const std::string& QName, const std::vector<FLDDesc>& Fields);
std::unique_ptr<DBICurObj> Materialize(DBIDbObj* D, sqlite3_stmt* Q);
// Opens a cursor object on a table (Cols: the fields to show, empty = all).
std::unique_ptr<DBICurObj> OpenTableObj(DBIDbObj* D, const std::string& Table, const std::string& IndexName,
                                        const std::string& IndexFields, DBIOpenMode OpenMode, DBIShareMode ShareMode,
                                        const std::vector<std::string>& Cols);
// Hands a cursor object to its database and the handle table.
DBICurObj* RegisterCursor(std::unique_ptr<DBICurObj> C);
void CloseCursorObj(DBICurObj* C);
// Stops the cursor's running statement (its position stays).
void StopWalk(DBICurObj& C);
// Copies the current record's key out of the running statement when pending.
void CaptureKey(DBICurObj& C);

}  // namespace host::dbi

namespace host {

struct DBISesObj {
    std::string Name;
};

struct DBIFilterObj {
    DBICurObj* Cur = nullptr;
    uintptr_t ClientData = 0;
    uint16_t Priority = 0;
    bool CanAbort = false;
    std::shared_ptr<const TFilterExpr> Expr;
    pfGENFilter Callback = nullptr;
    bool Active = false;
    uint64_t Seq = 0;
};

struct DBIXactObj {
    DBIDbObj* Db = nullptr;
};

struct DBIDbObj {
    std::string Driver;
    bool Standard = false;
    std::string Path;  // directory (STANDARD) or file (SQLITE)
    bool ReadOnly = false;
    sqlite3* Db = nullptr;
    // STANDARD: table name (lower case) → attached schema and users.
    struct Attachment {
        std::string Schema;
        std::string Table;
        int Users = 0;
    };
    std::map<std::string, Attachment> Attached;
    int NextSchema = 1;
    uint64_t Generation = 1;  // bumped by every write through this database
    std::unique_ptr<DBIXactObj> Xact;
    std::vector<DBICurObj*> Cursors;
    int NextTemp = 1;

    // The schema-qualified name of a table ("main"."T" or "t3"."T"), attaching a
    // STANDARD table's file when needed (Use: count a user).
    std::string Qualified(const std::string& Table, bool Use);
    void ReleaseTable(const std::string& Table);
    // File holding the table.
    std::string TableFile(const std::string& Table) const;
    // Drops an attachment (before deleting or renaming the file).
    void Detach(const std::string& Table);
    bool TableExists(const std::string& Table);
    void Changed();
    // Resets every cursor's running statements (before transaction ends, DDL).
    void ResetStatements();
};

struct DBICurObj {
    DBIDbObj* Db = nullptr;
    std::string Table;      // table name; for a query copy the temp table's name
    std::string QName;      // qualified name for SQL
    bool TempCopy = false;  // a read-only copy of a query's rows
    bool Live = true;
    bool ReadOnly = false;
    bool Exclusive = false;
    std::string TableType;
    std::vector<FLDDesc> Fields;
    std::vector<std::string> Cols;  // column names in the table, per field
    uint32_t RecSize = 0, RecBufSize = 0;
    dbi::TableLock Lock;

    // Order: key parts (field index into Fields, or -1 = rowid), rowid last.
    struct Part {
        int Field = -1;
        bool Desc = false;
        bool NoCase = false;
    };
    std::vector<Part> Order;
    uint16_t KeyFields = 0;  // parts before the rowid
    std::string IndexName, IndexFields;

    // The view: base condition (live query), range, filters pushed to SQL.
    std::string BaseWhere;
    std::vector<DBIValue> BaseParams;
    int BaseParamCount = 0;  // parameter numbers the base condition takes
    std::string RangeWhere;
    std::vector<dbi::SqlVal> RangeParams;
    bool Ranged = false;
    std::vector<std::unique_ptr<DBIFilterObj>> Filters;
    uint64_t FilterSeq = 0;
    std::string FilterWhere;
    std::vector<DBIValue> FilterParams;
    std::vector<DBIFilterObj*> RecordFilters;  // run per record, in order

    // Position.
    enum class Pos : uint8_t { Bof, Eof, On, Crack };
    Pos Where = Pos::Bof;
    std::vector<dbi::SqlVal> Key;  // order-part values of the current record / crack
    int64_t Rowid = 0;
    // The walk stepped onto the current record without copying its key: Key is
    // read from the walk's row before the statement moves or resets.
    bool KeyPending = false;

    // The running statement (owned by Cache) and its direction (+1 forward,
    // -1 backward), and the statements still to run after it in that direction
    // (rows whose first key part is null are read by a second statement).
    struct Phase {
        std::string Sql;
        std::vector<dbi::SqlVal> Binds;
    };
    sqlite3_stmt* Walk = nullptr;
    int WalkDir = 0;
    uint64_t WalkGen = 0;
    std::vector<Phase> NextPhases;
    std::map<std::string, dbi::Stmt> Cache;

    // Counts: -1 = unknown. The sequence number is known when SeqKnown and
    // SeqGen is the database's generation; FromEnd: Seq counts from the last
    // record (-1 = last). On a crack Seq is the number of the record before it.
    int64_t CountCache = -1;
    uint64_t CountGen = 0;
    int64_t Seq = 0;
    bool SeqKnown = false;
    bool SeqFromEnd = false;
    uint64_t SeqGen = 0;

    std::map<std::pair<const uint8_t*, uint16_t>, std::string> PendingBlobs;
    std::vector<uint8_t> Scratch;

    // Record buffers registered for field-by-field filling (see NotRead).
    struct LazyBuf {
        uint8_t* Buf = nullptr;
        bool Pending = false;  // some fields are still NotRead
        int64_t Rowid = 0;
        uint64_t Epoch = 0;     // WriteEpoch() when the row was read
        uint32_t Version = 0;  // the file's data version when the row was read
    };
    std::vector<LazyBuf> Lazy;
    uint8_t* OnRowBuf = nullptr;  // the pending buffer whose row the walk stands on
    bool WalkVersionKnown = false;
    uint32_t WalkVersion = 0;
    std::string Schema;  // the schema holding the table, for its data version
    uint64_t Fetched = 0;  // rows read into record buffers

    ~DBICurObj();
};

}  // namespace host
