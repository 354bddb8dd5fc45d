// Engine cursors: opening, keyset navigation over SQLite, record buffers, edits, blobs, bookmarks, keys, ranges, filters.
#include <algorithm>
#include <climits>

#include "host/db/engine_internal.h"
#include "host/db/enginestats.h"

namespace host {

using namespace dbi;

namespace {

uint64_t GWriteEpoch = 1;
uint64_t GRowsFetched = 0;

// Cursors with registered record buffers, for completing them before writes.
std::vector<DBICurObj*>& LazyCursors() {
    static std::vector<DBICurObj*> L;
    return L;
}

}  // namespace

DBICurObj::~DBICurObj() {
    if (!Lazy.empty()) {
        auto& L = LazyCursors();
        L.erase(std::remove(L.begin(), L.end(), this), L.end());
    }
    Walk = nullptr;
    Cache.clear();
}

void DBIDbObj::Changed() {
    ++Generation;
    ++GWriteEpoch;
}

namespace dbi {

uint64_t WriteEpoch() { return GWriteEpoch; }

void CountFetch(DBICurObj& C) {
    ++C.Fetched;
    ++GRowsFetched;
}

uint64_t RowsFetched() { return GRowsFetched; }
void ResetRowsFetched() { GRowsFetched = 0; }
uint64_t RowsFetched(const DBICurObj* Cursor) { return IsLive(Cursor, Kind::Cursor) ? Cursor->Fetched : 0; }

}  // namespace dbi

namespace {

DBICurObj* Cur(hDBICur H) {
    if (!IsLive(H, Kind::Cursor)) Fail(DBIERR_INVALIDHNDL, "Cursor handle");
    return H;
}

using Binds = std::vector<SqlVal>;

// ---------------------------------------------------------------------------
// SQL pieces.

std::string ColExpr(const DBICurObj& C, const DBICurObj::Part& P) {
    if (P.Field < 0) return "rowid";
    return QuoteIdent(C.Cols[static_cast<size_t>(P.Field)]) + (P.NoCase ? " COLLATE NOCASE" : "");
}

std::string SelectList(const DBICurObj& C) {
    std::string R;
    for (size_t I = 0; I < C.Fields.size(); ++I) {
        if (I) R += ", ";
        R += C.Fields[I].iFldType == fldBLOB ? "length(" + QuoteIdent(C.Cols[I]) + ")" : QuoteIdent(C.Cols[I]);
    }
    return R + (R.empty() ? "rowid" : ", rowid");
}

std::string OrderClause(const DBICurObj& C, int Dir) {
    std::string R = " ORDER BY ";
    for (size_t I = 0; I < C.Order.size(); ++I) {
        const bool Desc = C.Order[I].Desc != (Dir < 0);
        R += (I ? ", " : "") + ColExpr(C, C.Order[I]) + (Desc ? " DESC" : "");
    }
    return R;
}

// Record after (Later) or before V in the order of part P. Nulls are the
// smallest values; a descending part turns the comparison round.
std::string Beyond(const DBICurObj& C, const DBICurObj::Part& P, const SqlVal& V, bool Later, Binds& B) {
    const std::string K = ColExpr(C, P);
    if (Later != P.Desc) {  // towards larger values
        if (V.IsNull()) return "(" + K + " IS NOT NULL)";
        B.push_back(V);
        return "(" + K + " > ?)";
    }
    if (V.IsNull()) return "0";
    B.push_back(V);
    return "(" + K + " < ? OR " + K + " IS NULL)";
}

std::string Equal(const DBICurObj& C, const DBICurObj::Part& P, const SqlVal& V, Binds& B) {
    const std::string K = ColExpr(C, P);
    if (V.IsNull()) return "(" + K + " IS NULL)";
    B.push_back(V);
    return "(" + K + " = ?)";
}

enum class Rel { GT, GE, LT, LE, EQ };

// The condition "(parts From..N-1) Rel (V[From..N-1])" in the cursor's order.
std::string Tuple(const DBICurObj& C, const std::vector<SqlVal>& V, size_t From, size_t N, Rel R, Binds& B) {
    if (From >= N) return R == Rel::GE || R == Rel::LE || R == Rel::EQ ? "1" : "0";
    const auto& P = C.Order[From];
    if (R == Rel::EQ) {
        std::string S = Equal(C, P, V[From], B);
        for (size_t I = From + 1; I < N; ++I) S += " AND " + Equal(C, C.Order[I], V[I], B);
        return "(" + S + ")";
    }
    const bool Up = R == Rel::GT || R == Rel::GE;
    std::string S = "(";
    S += Beyond(C, P, V[From], Up, B);
    S += " OR (";
    S += Equal(C, P, V[From], B);
    S += " AND ";
    S += Tuple(C, V, From + 1, N, R, B);
    S += "))";
    return S;
}

// Bound on the first key part that lets SQLite start from an index position.
std::string LowBound(const DBICurObj& C, const SqlVal& V, Binds& B) {
    if (C.Order.size() < 2 || C.Order[0].Desc || V.IsNull()) return {};
    B.push_back(V);
    return ColExpr(C, C.Order[0]) + " >= ?";
}

struct Cond {
    std::string Sql;
    Binds B;
};

// WHERE clause of the view plus extra conditions; binds the view's values.
std::string WhereClause(const DBICurObj& C, const std::vector<std::string>& Extra) {
    std::vector<std::string> Parts;
    if (!C.BaseWhere.empty()) Parts.push_back("(" + C.BaseWhere + ")");
    if (!C.RangeWhere.empty()) Parts.push_back("(" + C.RangeWhere + ")");
    if (!C.FilterWhere.empty()) Parts.push_back("(" + C.FilterWhere + ")");
    for (const auto& E : Extra)
        if (!E.empty()) Parts.push_back("(" + E + ")");
    if (Parts.empty()) return {};
    std::string R = " WHERE ";
    for (size_t I = 0; I < Parts.size(); ++I) R += (I ? " AND " : "") + Parts[I];
    return R;
}

int BindView(const DBICurObj& C, sqlite3_stmt* S) {
    int Index = 1;
    for (int I = 0; I < C.BaseParamCount; ++I, ++Index) {
        if (static_cast<size_t>(I) < C.BaseParams.size()) BindValue(S, Index, C.BaseParams[static_cast<size_t>(I)]);
        else sqlite3_bind_null(S, Index);
    }
    for (const auto& V : C.RangeParams) BindSqlVal(S, Index++, V);
    for (const auto& V : C.FilterParams) BindValue(S, Index++, V);
    return Index;
}

sqlite3_stmt* Cached(DBICurObj& C, const std::string& Sql) {
    auto It = C.Cache.find(Sql);
    if (It == C.Cache.end()) {
        if (C.Cache.size() > 64) {
            if (C.Walk) StopWalk(C);
            C.Cache.clear();
        }
        It = C.Cache.emplace(Sql, Prepare(C.Db->Db, Sql, true)).first;
    }
    if (It->second.get() == C.Walk) StopWalk(C);
    sqlite3_reset(It->second.get());
    sqlite3_clear_bindings(It->second.get());
    return It->second.get();
}

// A statement over the view with extra conditions, bound and ready to step.
sqlite3_stmt* ViewStmt(DBICurObj& C, const std::string& Head, const std::vector<Cond>& Extra, const std::string& Tail) {
    std::vector<std::string> Texts;
    for (const auto& E : Extra) Texts.push_back(E.Sql);
    sqlite3_stmt* S = Cached(C, Head + WhereClause(C, Texts) + Tail);
    int Index = BindView(C, S);
    for (const auto& E : Extra)
        for (const auto& V : E.B) BindSqlVal(S, Index++, V);
    return S;
}

std::string SelectHead(const DBICurObj& C) { return "SELECT " + SelectList(C) + " FROM " + C.QName; }

// ---------------------------------------------------------------------------
// Rows.

int RowidCol(const DBICurObj& C) { return static_cast<int>(C.Fields.size()); }

// The registered buffer entry of Buf, or nullptr. The entry found moves to
// the front: a walk alternates between two buffers. (Entries move: hold the
// pointer only until the next lookup.)
DBICurObj::LazyBuf* LazyOf(DBICurObj& C, const uint8_t* Buf) {
    for (size_t I = 0; I < C.Lazy.size(); ++I)
        if (C.Lazy[I].Buf == Buf) {
            if (I > 0) std::swap(C.Lazy[I], C.Lazy[0]);
            return &C.Lazy[0];
        }
    return nullptr;
}

void ReadRow(DBICurObj& C, sqlite3_stmt* S, uint8_t* Buf) {
    for (size_t I = 0; I < C.Fields.size(); ++I) ColumnToNative(S, static_cast<int>(I), C.Fields[I], Buf);
    SetBufRowid(Buf, C.RecSize, sqlite3_column_int64(S, RowidCol(C)));
    CountFetch(C);
    // The whole record is there now.
    if (!C.Lazy.empty())
        if (auto* L = LazyOf(C, Buf)) {
            L->Pending = false;
            if (C.OnRowBuf == Buf) C.OnRowBuf = nullptr;
        }
}

// The data version of the cursor's database file: it changes when another
// connection commits to it (read inside a read transaction to compare).
uint32_t DataVersion(DBICurObj& C) {
    if (C.Schema.empty()) {
        // The schema part of the qualified name ("schema"."table").
        const std::string& Q = C.QName;
        const size_t End = Q.size() > 1 && Q[0] == '"' ? Q.find("\".", 1) : std::string::npos;
        C.Schema = End == std::string::npos ? "main" : Q.substr(1, End - 1);
    }
    unsigned V = 0;
    sqlite3_file_control(C.Db->Db, C.Schema.c_str(), SQLITE_FCNTL_DATA_VERSION, &V);
    return V;
}

// Fills the NotRead fields of a pending registered buffer (only field
// FieldNo when not 0 and the walk still stands on the row): from the walk
// when it still stands on the row, else by reading the row again. When the
// file may have changed since the row was read, every field is read again,
// so that the buffer holds one version of the record.
void Complete(DBICurObj& C, DBICurObj::LazyBuf& L, uint16_t FieldNo = 0) {
    if (!L.Pending) return;
    uint8_t* Buf = L.Buf;
    if (C.OnRowBuf == Buf && C.Walk) {
        if (FieldNo > 0 && FieldNo <= C.Fields.size()) {
            const FLDDesc& F = C.Fields[FieldNo - 1];
            if (Buf[F.iNullOffset] == NotRead) ColumnToNative(C.Walk, FieldNo - 1, F, Buf);
            return;  // others may still be NotRead
        }
        for (size_t I = 0; I < C.Fields.size(); ++I)
            if (Buf[C.Fields[I].iNullOffset] == NotRead) ColumnToNative(C.Walk, static_cast<int>(I), C.Fields[I], Buf);
    } else {
        bool Any = false;
        for (const auto& F : C.Fields) Any = Any || Buf[F.iNullOffset] == NotRead;
        if (!Any) {
            L.Pending = false;
            return;
        }
        sqlite3_stmt* S = Cached(C, SelectHead(C) + " WHERE rowid = ?");
        sqlite3_bind_int64(S, 1, L.Rowid);
        bool Found;
        try {
            Found = Step(C.Db->Db, S);
        } catch (...) {
            sqlite3_reset(S);
            throw;
        }
        const bool Same = Found && L.Epoch == WriteEpoch() && L.Version == DataVersion(C);
        for (size_t I = 0; I < C.Fields.size(); ++I) {
            const FLDDesc& F = C.Fields[I];
            if (Same && Buf[F.iNullOffset] != NotRead) continue;
            if (Found) ColumnToNative(S, static_cast<int>(I), F, Buf);
            else if (Buf[F.iNullOffset] == NotRead) {
                // Deleted elsewhere since: what was not read stays blank.
                std::memset(Buf + F.iOffset, 0, F.iLen);
                Buf[F.iNullOffset] = 1;
            }
        }
        sqlite3_reset(S);
    }
    L.Pending = false;
    if (C.OnRowBuf == Buf) C.OnRowBuf = nullptr;
}

// Completes Buf when it is a pending registered buffer of C.
void Ready(DBICurObj& C, const uint8_t* Buf) {
    if (C.Lazy.empty() || !Buf) return;
    if (auto* L = LazyOf(C, Buf)) Complete(C, *L);
}

// A registered buffer Buf is about to be overwritten whole.
void Overwritten(DBICurObj& C, const uint8_t* Buf) {
    if (C.Lazy.empty()) return;
    if (auto* L = LazyOf(C, Buf)) L->Pending = false;
    if (C.OnRowBuf == Buf) C.OnRowBuf = nullptr;
}

void ReadKey(DBICurObj& C, sqlite3_stmt* S) {
    C.KeyPending = false;
    C.Key.resize(C.Order.size());
    for (size_t I = 0; I < C.Order.size(); ++I) {
        const int Col = C.Order[I].Field < 0 ? RowidCol(C) : C.Order[I].Field;
        C.Key[I] = SqlVal::FromColumn(S, Col);
    }
    C.Rowid = sqlite3_column_int64(S, RowidCol(C));
}

bool Passes(const DBICurObj& C, const uint8_t* Buf, int64_t Rowid) {
    for (const DBIFilterObj* F : C.RecordFilters) {
        if (F->Expr) {
            if (!F->Expr->Evaluate(Buf)) return false;
        } else if (F->Callback) {
            const int32_t Phy = Rowid > INT32_MAX ? INT32_MAX : static_cast<int32_t>(Rowid);
            if (F->Callback(F->ClientData, Buf, Phy) == 0) return false;
        }
    }
    return true;
}

uint8_t* ScratchBuf(DBICurObj& C) {
    if (C.Scratch.size() != C.RecBufSize) C.Scratch.assign(C.RecBufSize, 0);
    return C.Scratch.data();
}

// Steps S to the next row that passes the record filters; reads it into Buf
// (when given) and the key. False when S is done.
// LazyKey: S is the walk, which stays on the row, so the key is copied only
// when needed (CaptureKey).
bool NextPassing(DBICurObj& C, sqlite3_stmt* S, uint8_t* Buf, bool LazyKey = false) {
    const bool Filtered = !C.RecordFilters.empty();
    uint8_t* Target = Buf ? Buf : (Filtered ? ScratchBuf(C) : nullptr);
    C.KeyPending = false;
    while (Step(C.Db->Db, S)) {
        if (Target) ReadRow(C, S, Target);
        if (Filtered && !Passes(C, Target, sqlite3_column_int64(S, RowidCol(C)))) continue;
        if (LazyKey) {
            C.Rowid = sqlite3_column_int64(S, RowidCol(C));
            C.KeyPending = true;
        } else ReadKey(C, S);
        return true;
    }
    return false;
}

void Invalidate(DBICurObj& C) {
    StopWalk(C);
    C.CountCache = -1;
    C.SeqKnown = false;
}

// ---------------------------------------------------------------------------
// Walks.

// The statements that read the records after (Dir > 0) or before the position.
std::vector<DBICurObj::Phase> PhasesFrom(const DBICurObj& C, int Dir) {
    std::vector<DBICurObj::Phase> R;
    const Rel Strict = Dir > 0 ? Rel::GT : Rel::LT;
    if (C.Order.size() == 1) {
        DBICurObj::Phase P;
        P.Sql = Tuple(C, C.Key, 0, 1, Strict, P.Binds);
        R.push_back(std::move(P));
        return R;
    }
    const auto& P1 = C.Order[0];
    const std::string K1 = ColExpr(C, P1);
    const bool Larger = (Dir > 0) != P1.Desc;  // moving to larger values of the first part
    const bool TowardNulls = !Larger;           // nulls are the smallest values
    DBICurObj::Phase A;
    if (!C.Key[0].IsNull()) {
        A.Binds.push_back(C.Key[0]);
        A.Binds.push_back(C.Key[0]);
        A.Binds.push_back(C.Key[0]);
        Binds Rest;
        const std::string RestSql = Tuple(C, C.Key, 1, C.Order.size(), Strict, Rest);
        A.Sql = K1 + (Larger ? " >= ?" : " <= ?") + " AND (" + K1 + (Larger ? " > ?" : " < ?") + " OR (" + K1 +
                " = ? AND " + RestSql + "))";
        A.Binds.insert(A.Binds.end(), Rest.begin(), Rest.end());
        R.push_back(std::move(A));
        if (TowardNulls) R.push_back({K1 + " IS NULL", {}});
    } else {
        A.Sql = K1 + " IS NULL AND " + Tuple(C, C.Key, 1, C.Order.size(), Strict, A.Binds);
        R.push_back(std::move(A));
        if (!TowardNulls) R.push_back({K1 + " IS NOT NULL", {}});
    }
    return R;
}

void StartPhase(DBICurObj& C) {
    C.WalkVersionKnown = false;
    DBICurObj::Phase P = std::move(C.NextPhases.front());
    C.NextPhases.erase(C.NextPhases.begin());
    std::vector<Cond> Extra;
    if (!P.Sql.empty()) Extra.push_back({P.Sql, std::move(P.Binds)});
    C.Walk = ViewStmt(C, SelectHead(C), Extra, OrderClause(C, C.WalkDir));
}

void StartWalk(DBICurObj& C, int Dir) {
    StopWalk(C);
    C.WalkDir = Dir;
    C.WalkGen = C.Db->Generation;
    if (C.Where == DBICurObj::Pos::Bof || C.Where == DBICurObj::Pos::Eof) C.NextPhases = {{std::string(), {}}};
    else C.NextPhases = PhasesFrom(C, Dir);
}

// Moves one visible record in Dir; false at the end (position then BOF/EOF).
bool Move(DBICurObj& C, int Dir, uint8_t* Buf) {
    if ((Dir > 0 && C.Where == DBICurObj::Pos::Eof) || (Dir < 0 && C.Where == DBICurObj::Pos::Bof)) return false;
    const bool Continuing = C.WalkDir == Dir && C.WalkGen == C.Db->Generation && (C.Walk || !C.NextPhases.empty());
    if (!Continuing) StartWalk(C, Dir);
    // The walk leaves its row: a buffer still pending on it is read again by
    // its row identifier when needed.
    C.OnRowBuf = nullptr;
    // Into a registered buffer (and no record filter needing the whole
    // record) only the row identifier is read now.
    DBICurObj::LazyBuf* Lazy = nullptr;
    bool WasPending = false;
    if (Buf && !C.Lazy.empty() && C.RecordFilters.empty()) {
        Lazy = LazyOf(C, Buf);
        if (Lazy) {
            WasPending = Lazy->Pending;
            Lazy->Pending = false;  // it is being overwritten
        }
    }
    uint8_t* const Target = Lazy ? nullptr : Buf;
    const auto WasWhere = C.Where;
    for (;;) {
        if (!C.Walk) {
            if (C.NextPhases.empty()) break;
            StartPhase(C);
        }
        if (NextPassing(C, C.Walk, Target, true)) {
            if (Lazy) {
                Lazy = LazyOf(C, Buf);
                if (!C.WalkVersionKnown) {
                    C.WalkVersion = DataVersion(C);
                    C.WalkVersionKnown = true;
                }
                const FLDDesc* First = C.Fields.empty() ? nullptr : &C.Fields.front();
                if (First) std::memset(Buf + First->iNullOffset, NotRead, C.Fields.size());
                SetBufRowid(Buf, C.RecSize, C.Rowid);
                Lazy->Pending = !C.Fields.empty();
                Lazy->Rowid = C.Rowid;
                Lazy->Epoch = WriteEpoch();
                Lazy->Version = C.WalkVersion;
                C.OnRowBuf = Buf;
                CountFetch(C);
            }
            // Sequence number: counted along while known.
            if ((Dir > 0 && WasWhere == DBICurObj::Pos::Bof) || (Dir < 0 && WasWhere == DBICurObj::Pos::Eof)) {
                C.SeqKnown = true;
                C.SeqFromEnd = Dir < 0;
                C.Seq = Dir > 0 ? 1 : -1;
                C.SeqGen = C.Db->Generation;
            } else if (C.SeqKnown && C.SeqGen == C.Db->Generation) {
                if (Dir > 0) C.Seq += 1;
                else if (WasWhere != DBICurObj::Pos::Crack) C.Seq -= 1;
            } else C.SeqKnown = false;
            C.Where = DBICurObj::Pos::On;
            return true;
        }
        sqlite3_reset(C.Walk);
        C.Walk = nullptr;
    }
    StopWalk(C);
    // Nothing was written into the buffer.
    if (Lazy)
        if (auto* L = LazyOf(C, Buf)) L->Pending = WasPending;
    C.KeyPending = false;
    C.Where = Dir > 0 ? DBICurObj::Pos::Eof : DBICurObj::Pos::Bof;
    C.SeqKnown = false;
    return false;
}

// Makes the record with that row identifier current (in the table, not
// necessarily visible); reads it into Buf when given.
bool PositionOnRowid(DBICurObj& C, int64_t Rowid, uint8_t* Buf) {
    StopWalk(C);
    sqlite3_stmt* S = Cached(C, SelectHead(C) + " WHERE rowid = ?");
    sqlite3_bind_int64(S, 1, Rowid);
    if (!Step(C.Db->Db, S)) {
        sqlite3_reset(S);
        return false;
    }
    if (Buf) ReadRow(C, S, Buf);
    ReadKey(C, S);
    sqlite3_reset(S);
    C.Where = DBICurObj::Pos::On;
    C.SeqKnown = false;
    return true;
}

void FillProps(const DBICurObj& C, RECProps* Props) {
    if (!Props) return;
    Props->iPhyRecNum = C.Rowid;
    Props->iSeqNum = 0;
    if (C.SeqKnown && C.SeqGen == C.Db->Generation && !C.SeqFromEnd) Props->iSeqNum = C.Seq;
}

int64_t CountVisible(DBICurObj& C) {
    if (C.CountCache >= 0 && C.CountGen == C.Db->Generation) return C.CountCache;
    int64_t N = 0;
    if (C.RecordFilters.empty()) {
        sqlite3_stmt* S = ViewStmt(C, "SELECT count(*) FROM " + C.QName, {}, "");
        Step(C.Db->Db, S);
        N = sqlite3_column_int64(S, 0);
        sqlite3_reset(S);
    } else {
        // Walk every row once with a statement of its own.
        Stmt S = Prepare(C.Db->Db, SelectHead(C) + WhereClause(C, {}));
        BindView(C, S.get());
        uint8_t* Buf = ScratchBuf(C);
        while (Step(C.Db->Db, S.get())) {
            ReadRow(C, S.get(), Buf);
            if (Passes(C, Buf, sqlite3_column_int64(S.get(), RowidCol(C)))) ++N;
        }
    }
    C.CountCache = N;
    C.CountGen = C.Db->Generation;
    return N;
}

// ---------------------------------------------------------------------------
// Keys.

std::vector<SqlVal> KeyValues(DBICurObj& C, const uint8_t* KeyBuf, size_t N) {
    Ready(C, KeyBuf);
    std::vector<SqlVal> V;
    for (size_t I = 0; I < N; ++I) {
        const FLDDesc& F = C.Fields[static_cast<size_t>(C.Order[I].Field)];
        if (FieldBlank(F, KeyBuf)) V.emplace_back();
        else V.push_back(SqlValFromDBIValue(DbiValueFromNative(F, KeyBuf + F.iOffset)));
    }
    return V;
}

size_t KeyCount(const DBICurObj& C, uint16_t FieldCount) {
    if (C.KeyFields == 0) Fail(DBIERR_NOSUCHINDEX, "The cursor has no index");
    if (FieldCount > C.KeyFields) Fail(DBIERR_INVALIDPARAM, "More key fields than the index has");
    return FieldCount ? FieldCount : C.KeyFields;
}

// ---------------------------------------------------------------------------
// Order.

void SetOrder(DBICurObj& C, const std::string& IndexName, const std::string& IndexFields) {
    std::vector<DBICurObj::Part> Parts;
    std::string Name, FieldsText;
    auto FieldIndex = [&](const std::string& N) -> int {
        for (size_t I = 0; I < C.Fields.size(); ++I)
            if (SameText(C.Fields[I].szName, N)) return static_cast<int>(I);
        Fail(DBIERR_NOSUCHFIELD, "Field '" + N + "'");
    };
    std::vector<IDXDesc> Indexes;
    if (!C.TempCopy) Indexes = ReadIndexes(C.Db, C.QName, ReadFields(C.Db, C.QName));
    auto UseIndex = [&](const IDXDesc& X) {
        size_t Start = 0;
        const std::string& K = X.szKeyFields;
        while (Start <= K.size()) {
            const size_t End = K.find(';', Start);
            const std::string F = K.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
            Parts.push_back({FieldIndex(F), X.bDescending, X.bCaseInsensitive});
            if (End == std::string::npos) break;
            Start = End + 1;
        }
        Name = X.szName;
        FieldsText = K;
    };
    if (!IndexName.empty()) {
        const IDXDesc* Found = nullptr;
        for (const auto& X : Indexes)
            if (SameText(X.szName, IndexName) || (X.bPrimary && SameText(IndexName, "PRIMARY"))) Found = &X;
        if (!Found) Fail(DBIERR_NOSUCHINDEX, "Index '" + IndexName + "'");
        UseIndex(*Found);
    } else if (!IndexFields.empty()) {
        // A field list: an index on exactly those fields lends its collation.
        std::string Norm;
        std::vector<std::string> Names;
        size_t Start = 0;
        while (Start <= IndexFields.size()) {
            const size_t End = IndexFields.find_first_of(";,", Start);
            std::string F = IndexFields.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
            while (!F.empty() && F.front() == ' ') F.erase(0, 1);
            while (!F.empty() && F.back() == ' ') F.pop_back();
            if (!F.empty()) Names.push_back(F);
            if (End == std::string::npos) break;
            Start = End + 1;
        }
        for (const auto& N : Names) Norm += (Norm.empty() ? "" : ";") + Lower(N);
        const IDXDesc* Match = nullptr;
        for (const auto& X : Indexes)
            if (Lower(X.szKeyFields) == Norm && !X.bDescending) Match = &X;
        for (const auto& N : Names) Parts.push_back({FieldIndex(N), false, Match && Match->bCaseInsensitive});
        FieldsText.clear();
        for (const auto& P : Parts) FieldsText += (FieldsText.empty() ? "" : ";") + C.Fields[static_cast<size_t>(P.Field)].szName;
    } else {
        for (const auto& X : Indexes)
            if (X.bPrimary) {
                UseIndex(X);
                break;
            }
    }
    for (const auto& P : Parts)
        if (C.Fields[static_cast<size_t>(P.Field)].iFldType == fldBLOB)
            Fail(DBIERR_INVALIDFIELDTYPE, "Field '" + C.Fields[static_cast<size_t>(P.Field)].szName + "' cannot be a key");
    C.KeyFields = static_cast<uint16_t>(Parts.size());
    Parts.push_back(DBICurObj::Part{});
    C.Order = std::move(Parts);
    C.IndexName = Name;
    C.IndexFields = FieldsText;
}

// ---------------------------------------------------------------------------
// Filters.

void RebuildFilters(DBICurObj& C) {
    std::vector<DBIFilterObj*> Active;
    for (const auto& F : C.Filters)
        if (F->Active) Active.push_back(F.get());
    std::stable_sort(Active.begin(), Active.end(), [](const DBIFilterObj* A, const DBIFilterObj* B) {
        return A->Priority != B->Priority ? A->Priority < B->Priority : A->Seq < B->Seq;
    });
    C.FilterWhere.clear();
    C.FilterParams.clear();
    C.RecordFilters.clear();
    size_t I = 0;
    // The leading expressions SQLite can evaluate go into the WHERE clause; from
    // the first one it cannot (or the first callback) on, filters run per record.
    for (; I < Active.size(); ++I) {
        const DBIFilterObj* F = Active[I];
        std::string W;
        std::vector<DBIValue> P;
        if (!F->Expr || !F->Expr->ToSQL(W, P)) break;
        C.FilterWhere += (C.FilterWhere.empty() ? "" : " AND ") + ("(" + W + ")");
        C.FilterParams.insert(C.FilterParams.end(), P.begin(), P.end());
    }
    for (; I < Active.size(); ++I) C.RecordFilters.push_back(Active[I]);
    Invalidate(C);
}

DBIFilterObj* FilterOf(DBICurObj& C, hDBIFilter H) {
    if (!IsLive(H, Kind::Filter) || H->Cur != &C) Fail(DBIERR_INVALIDHNDL, "Filter handle");
    return H;
}

// ---------------------------------------------------------------------------
// Blobs.

const FLDDesc& BlobField(const DBICurObj& C, uint16_t FieldNo) {
    if (FieldNo < 1 || FieldNo > C.Fields.size()) Fail(DBIERR_NOSUCHFIELD, "Field number " + std::to_string(FieldNo));
    const FLDDesc& F = C.Fields[FieldNo - 1];
    if (F.iFldType != fldBLOB) Fail(DBIERR_INVALIDFIELDTYPE, "Field '" + F.szName + "' is no BLOB");
    return F;
}

std::string StoredBlob(DBICurObj& C, const uint8_t* RecBuf, uint16_t FieldNo) {
    const FLDDesc& F = C.Fields[FieldNo - 1];
    const int64_t Rowid = BufRowid(RecBuf, C.RecSize);
    if (FieldBlank(F, RecBuf) || Rowid == 0) return {};
    sqlite3_stmt* S = Cached(C, "SELECT " + QuoteIdent(C.Cols[FieldNo - 1]) + " FROM " + C.QName + " WHERE rowid = ?");
    sqlite3_bind_int64(S, 1, Rowid);
    std::string R;
    if (Step(C.Db->Db, S)) {
        const void* P = sqlite3_column_blob(S, 0);
        const int N = sqlite3_column_bytes(S, 0);
        if (P && N > 0) R.assign(static_cast<const char*>(P), static_cast<size_t>(N));
    }
    sqlite3_reset(S);
    return R;
}

void BindBlob(sqlite3_stmt* S, int Index, const FLDDesc& F, const std::string& V) {
    if (F.iSubType == fldstMEMO || F.iSubType == fldstFMTMEMO)
        sqlite3_bind_text(S, Index, V.data(), static_cast<int>(V.size()), SQLITE_TRANSIENT);
    else sqlite3_bind_blob(S, Index, V.data(), static_cast<int>(V.size()), SQLITE_TRANSIENT);
}

void CheckWritable(const DBICurObj& C) {
    if (C.ReadOnly || !C.Live) Fail(DBIERR_TABLEREADONLY, C.TempCopy ? "The query's result is read only" : "Table " + C.Table);
}

void DropPending(DBICurObj& C, const uint8_t* RecBuf) {
    for (auto It = C.PendingBlobs.begin(); It != C.PendingBlobs.end();)
        It = It->first.first == RecBuf ? C.PendingBlobs.erase(It) : std::next(It);
}

}  // namespace

// ---------------------------------------------------------------------------

namespace dbi {

void CompleteAllRecords() {
    for (DBICurObj* C : LazyCursors())
        for (auto& L : C->Lazy) {
            try {
                Complete(*C, L);
            } catch (const Failure&) {
                // The write goes ahead; the buffer stays pending and, its
                // epoch being old, is read whole again when it is next read.
            }
        }
}

void CaptureKey(DBICurObj& C) {
    if (C.KeyPending && C.Walk) ReadKey(C, C.Walk);
    C.KeyPending = false;
}

void StopWalk(DBICurObj& C) {
    CaptureKey(C);
    C.OnRowBuf = nullptr;
    C.WalkVersionKnown = false;
    if (C.Walk) sqlite3_reset(C.Walk);
    C.Walk = nullptr;
    C.WalkDir = 0;
    C.NextPhases.clear();
}

std::unique_ptr<DBICurObj> OpenTableObj(DBIDbObj* D, const std::string& Table, const std::string& IndexName,
                                        const std::string& IndexFields, DBIOpenMode OpenMode, DBIShareMode ShareMode,
                                        const std::vector<std::string>& Cols) {
    if (!D->TableExists(Table)) Fail(DBIERR_NOSUCHTABLE, "Table: " + Table);
    auto C = std::make_unique<DBICurObj>();
    C->Db = D;
    C->Table = Table;
    C->Exclusive = ShareMode == dbiOPENEXCL;
    std::string LockFile;
    uint32_t Slot = 0;
    TableLockPlace(D, Table, LockFile, Slot);
    if (!C->Lock.Acquire(LockFile, Slot, C->Exclusive))
        Fail(DBIERR_FILELOCKED, "Table " + Table + (C->Exclusive ? " is open elsewhere" : " is open exclusively elsewhere"));
    C->QName = D->Qualified(Table, true);
    try {
        std::vector<FLDDesc> All = ReadFields(D, C->QName);
        if (Cols.empty()) C->Fields = All;
        else
            for (const auto& N : Cols) {
                const auto It = std::find_if(All.begin(), All.end(), [&](const FLDDesc& F) { return SameText(F.szName, N); });
                if (It == All.end()) Fail(DBIERR_NOSUCHFIELD, "Field '" + N + "'");
                C->Fields.push_back(*It);
            }
        for (const auto& F : C->Fields) C->Cols.push_back(F.szName);
        LayoutFields(C->Fields, C->RecSize, C->RecBufSize);
        C->ReadOnly = OpenMode == dbiREADONLY || D->ReadOnly;
        if (C->ReadOnly)
            for (auto& F : C->Fields) F.bReadOnly = true;
        C->TableType = ReadTableType(D, C->QName, Table);
        SetOrder(*C, IndexName, IndexFields);
    } catch (...) {
        D->ReleaseTable(Table);
        throw;
    }
    return C;
}

DBICurObj* RegisterCursor(std::unique_ptr<DBICurObj> C) {
    DBICurObj* P = C.release();
    P->Db->Cursors.push_back(P);
    Register(P, Kind::Cursor);
    ++Count().Cursors;
    return P;
}

void CloseCursorObj(DBICurObj* C) {
    DBIDbObj* D = C->Db;
    D->Cursors.erase(std::remove(D->Cursors.begin(), D->Cursors.end(), C), D->Cursors.end());
    for (const auto& F : C->Filters) Unregister(F.get());
    Unregister(C);
    --Count().Cursors;
    const bool Temp = C->TempCopy;
    const std::string Table = C->Table, QName = C->QName;
    delete C;  // finalizes its statements
    if (Temp) sqlite3_exec(D->Db, ("DROP TABLE IF EXISTS " + QName).c_str(), nullptr, nullptr, nullptr);
    else D->ReleaseTable(Table);
}

}  // namespace dbi

DBIResult DbiOpenTable(hDBIDb hDb, const std::string& TableName, const std::string& IndexName,
                       const std::string& IndexFields, DBIOpenMode OpenMode, DBIShareMode ShareMode, hDBICur& hCur) {
    hCur = nullptr;
    return Run("DbiOpenTable", [&] {
        if (!IsLive(hDb, Kind::Database)) Fail(DBIERR_INVALIDHNDL, "Database handle");
        const std::string Table = BareTableName(hDb, TableName);
        if (Table.empty()) Fail(DBIERR_INVALIDFILENAME, "No table name");
        hCur = RegisterCursor(OpenTableObj(hDb, Table, IndexName, IndexFields, OpenMode, ShareMode, {}));
    });
}

DBIResult DbiCloseCursor(hDBICur& hCur) {
    return Run("DbiCloseCursor", [&] {
        CloseCursorObj(Cur(hCur));
        hCur = nullptr;
    });
}

DBIResult DbiGetCursorProps(hDBICur hCur, CURProps& Props) {
    return Run("DbiGetCursorProps", [&] {
        DBICurObj* C = Cur(hCur);
        Props.szName = C->TempCopy ? std::string() : C->Table;
        Props.szTableType = C->TableType;
        Props.iFields = static_cast<uint16_t>(C->Fields.size());
        Props.iRecSize = C->RecSize;
        Props.iRecBufSize = C->RecBufSize;
        Props.iIndexes = C->TempCopy ? 0 : static_cast<uint16_t>(ReadIndexes(C->Db, C->QName, C->Fields).size());
        Props.iKeyFields = C->KeyFields;
        Props.szIndexName = C->IndexName;
        Props.szIndexFields = C->IndexFields;
        Props.iBookMarkSize = 8;
        Props.bBookMarkStable = true;
        Props.eOpenMode = C->ReadOnly ? dbiREADONLY : dbiREADWRITE;
        Props.eShareMode = C->Exclusive ? dbiOPENEXCL : dbiOPENSHARED;
        Props.bLive = C->Live && !C->ReadOnly;
        Props.bRanged = C->Ranged;
    });
}

DBIResult DbiGetFieldDescs(hDBICur hCur, std::vector<FLDDesc>& Fields) {
    return Run("DbiGetFieldDescs", [&] { Fields = Cur(hCur)->Fields; });
}

DBIResult DbiGetIndexDescs(hDBICur hCur, std::vector<IDXDesc>& Indexes) {
    return Run("DbiGetIndexDescs", [&] {
        DBICurObj* C = Cur(hCur);
        Indexes.clear();
        if (!C->TempCopy) Indexes = ReadIndexes(C->Db, C->QName, C->Fields);
    });
}

DBIResult DbiGetLdObj(hDBICur hCur, TLocale& Locale) {
    static const char kUtf8[] = "UTF-8";
    return Run("DbiGetLdObj", [&] {
        Cur(hCur);
        Locale = kUtf8;
    });
}

DBIResult DbiGetCursorDb(hDBICur hCur, hDBIDb& hDb) {
    return Run("DbiGetCursorDb", [&] { hDb = Cur(hCur)->Db; });
}

DBIResult DbiSwitchToIndex(hDBICur hCur, const std::string& IndexName, const std::string& IndexFields, bool KeepCurrent) {
    return Run("DbiSwitchToIndex", [&] {
        DBICurObj* C = Cur(hCur);
        const bool Keep = KeepCurrent && C->Where == DBICurObj::Pos::On;
        const int64_t Rowid = C->Rowid;
        SetOrder(*C, IndexName, IndexFields);
        C->RangeWhere.clear();
        C->RangeParams.clear();
        C->Ranged = false;
        Invalidate(*C);
        C->Where = DBICurObj::Pos::Bof;
        if (Keep) PositionOnRowid(*C, Rowid, nullptr);
    });
}

DBIResult DbiSetToBegin(hDBICur hCur) {
    return Run("DbiSetToBegin", [&] {
        DBICurObj* C = Cur(hCur);
        StopWalk(*C);
        C->Where = DBICurObj::Pos::Bof;
        C->SeqKnown = false;
    });
}

DBIResult DbiSetToEnd(hDBICur hCur) {
    return Run("DbiSetToEnd", [&] {
        DBICurObj* C = Cur(hCur);
        StopWalk(*C);
        C->Where = DBICurObj::Pos::Eof;
        C->SeqKnown = false;
    });
}

DBIResult DbiGetNextRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props) {
    return Run("DbiGetNextRecord", [&] {
        DBICurObj* C = Cur(hCur);
        if (!Move(*C, 1, RecBuf)) Fail(DBIERR_EOF);
        FillProps(*C, Props);
    });
}

DBIResult DbiGetPriorRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props) {
    return Run("DbiGetPriorRecord", [&] {
        DBICurObj* C = Cur(hCur);
        if (!Move(*C, -1, RecBuf)) Fail(DBIERR_BOF);
        FillProps(*C, Props);
    });
}

DBIResult DbiGetRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props) {
    return Run("DbiGetRecord", [&] {
        DBICurObj* C = Cur(hCur);
        if (C->Where != DBICurObj::Pos::On) Fail(DBIERR_NOCURRREC);
        if (RecBuf) {
            // Read it anew (other cursors may have changed it), leaving any walk as it is.
            sqlite3_stmt* S = Cached(*C, SelectHead(*C) + " WHERE rowid = ?");
            sqlite3_bind_int64(S, 1, C->Rowid);
            if (!Step(C->Db->Db, S)) {
                C->Where = DBICurObj::Pos::Crack;
                Fail(DBIERR_KEYORRECDELETED);
            }
            ReadRow(*C, S, RecBuf);
            sqlite3_reset(S);
        }
        FillProps(*C, Props);
    });
}

DBIResult DbiGetRelativeRecord(hDBICur hCur, int64_t Offset, uint8_t* RecBuf, RECProps* Props) {
    if (Offset == 0) return DbiGetRecord(hCur, RecBuf, Props);
    return Run("DbiGetRelativeRecord", [&] {
        DBICurObj* C = Cur(hCur);
        const int Dir = Offset > 0 ? 1 : -1;
        for (int64_t I = Offset > 0 ? Offset : -Offset; I > 0; --I)
            if (!Move(*C, Dir, I == 1 ? RecBuf : nullptr)) Fail(Dir > 0 ? DBIERR_EOF : DBIERR_BOF);
        FillProps(*C, Props);
    });
}

DBIResult DbiGetRecordCount(hDBICur hCur, int64_t& Count) {
    return Run("DbiGetRecordCount", [&] { Count = CountVisible(*Cur(hCur)); });
}

DBIResult DbiGetSeqNo(hDBICur hCur, int64_t& SeqNo) {
    return Run("DbiGetSeqNo", [&] {
        DBICurObj* C = Cur(hCur);
        if (C->Where != DBICurObj::Pos::On) Fail(DBIERR_NOCURRREC);
        if (!C->SeqKnown || C->SeqGen != C->Db->Generation) {
            CaptureKey(*C);
            int64_t N = 0;
            if (C->RecordFilters.empty()) {
                Cond Upto;
                Upto.Sql = Tuple(*C, C->Key, 0, C->Order.size(), Rel::LE, Upto.B);
                sqlite3_stmt* S = ViewStmt(*C, "SELECT count(*) FROM " + C->QName, {Upto}, "");
                Step(C->Db->Db, S);
                N = sqlite3_column_int64(S, 0);
                sqlite3_reset(S);
            } else {
                Stmt S = Prepare(C->Db->Db, SelectHead(*C) + WhereClause(*C, {}) + OrderClause(*C, 1));
                BindView(*C, S.get());
                uint8_t* Buf = ScratchBuf(*C);
                while (Step(C->Db->Db, S.get())) {
                    ReadRow(*C, S.get(), Buf);
                    const int64_t R = sqlite3_column_int64(S.get(), RowidCol(*C));
                    if (!Passes(*C, Buf, R)) continue;
                    ++N;
                    if (R == C->Rowid) break;
                }
            }
            C->Seq = N;
            C->SeqKnown = true;
            C->SeqFromEnd = false;
            C->SeqGen = C->Db->Generation;
        }
        SeqNo = C->SeqFromEnd ? CountVisible(*C) + C->Seq + 1 : C->Seq;
    });
}

DBIResult DbiSetToSeqNo(hDBICur hCur, int64_t SeqNo) {
    return Run("DbiSetToSeqNo", [&] {
        DBICurObj* C = Cur(hCur);
        if (SeqNo < 1) Fail(DBIERR_OUTOFRANGE, "Record number " + std::to_string(SeqNo));
        StopWalk(*C);
        if (C->RecordFilters.empty()) {
            sqlite3_stmt* S = ViewStmt(*C, SelectHead(*C), {}, OrderClause(*C, 1) + " LIMIT 1 OFFSET ?");
            sqlite3_bind_int64(S, sqlite3_bind_parameter_count(S), SeqNo - 1);
            const bool Found = Step(C->Db->Db, S);
            if (Found) ReadKey(*C, S);
            sqlite3_reset(S);
            if (!Found) {
                C->Where = DBICurObj::Pos::Eof;
                Fail(DBIERR_EOF);
            }
        } else {
            C->Where = DBICurObj::Pos::Bof;
            for (int64_t I = 0; I < SeqNo; ++I)
                if (!Move(*C, 1, nullptr)) Fail(DBIERR_EOF);
            StopWalk(*C);
        }
        C->Where = DBICurObj::Pos::On;
        C->Seq = SeqNo;
        C->SeqKnown = true;
        C->SeqFromEnd = false;
        C->SeqGen = C->Db->Generation;
    });
}

DBIResult DbiForceReread(hDBICur hCur) {
    return Run("DbiForceReread", [&] { Invalidate(*Cur(hCur)); });
}

// ---------------------------------------------------------------------------
// Record buffers.

DBIResult DbiInitRecord(hDBICur hCur, uint8_t* RecBuf) {
    return Run("DbiInitRecord", [&] {
        DBICurObj* C = Cur(hCur);
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        Overwritten(*C, RecBuf);
        std::memset(RecBuf, 0, C->RecBufSize);
        for (const auto& F : C->Fields) RecBuf[F.iNullOffset] = 1;
        DropPending(*C, RecBuf);
    });
}

DBIResult DbiGetField(hDBICur hCur, uint16_t FieldNo, const uint8_t* RecBuf, void* Dest, bool& Blank) {
    return Run("DbiGetField", [&] {
        DBICurObj* C = Cur(hCur);
        if (FieldNo < 1 || FieldNo > C->Fields.size()) Fail(DBIERR_NOSUCHFIELD, "Field number " + std::to_string(FieldNo));
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        const FLDDesc& F = C->Fields[FieldNo - 1];
        if (RecBuf[F.iNullOffset] == NotRead)
            if (auto* L = LazyOf(*C, RecBuf)) Complete(*C, *L, FieldNo);
        Blank = FieldBlank(F, RecBuf);
        if (Dest && !Blank) std::memcpy(Dest, RecBuf + F.iOffset, F.iLen);
    });
}

DBIResult DbiPutField(hDBICur hCur, uint16_t FieldNo, uint8_t* RecBuf, const void* Src) {
    return Run("DbiPutField", [&] {
        DBICurObj* C = Cur(hCur);
        if (FieldNo < 1 || FieldNo > C->Fields.size()) Fail(DBIERR_NOSUCHFIELD, "Field number " + std::to_string(FieldNo));
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        Ready(*C, RecBuf);
        const FLDDesc& F = C->Fields[FieldNo - 1];
        uint8_t* P = RecBuf + F.iOffset;
        if (!Src) {
            std::memset(P, 0, F.iLen);
            RecBuf[F.iNullOffset] = 1;
            C->PendingBlobs.erase({RecBuf, FieldNo});
            return;
        }
        std::memmove(P, Src, F.iLen);
        if (F.iFldType == fldZSTRING) P[F.iLen - 1] = 0;
        RecBuf[F.iNullOffset] = 0;
    });
}

DBIResult DbiInsertRecord(hDBICur hCur, uint8_t* RecBuf) {
    return Run("DbiInsertRecord", [&] {
        DBICurObj* C = Cur(hCur);
        CheckWritable(*C);
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        CompleteAllRecords();
        for (size_t I = 0; I < C->Fields.size(); ++I) {
            const FLDDesc& F = C->Fields[I];
            if (F.iSubType == fldstAUTOINC && FieldBlank(F, RecBuf)) {
                Stmt M = Prepare(C->Db->Db, "SELECT coalesce(max(" + QuoteIdent(C->Cols[I]) + "), 0) + 1 FROM " + C->QName);
                Step(C->Db->Db, M.get());
                const int32_t Next = static_cast<int32_t>(sqlite3_column_int64(M.get(), 0));
                std::memcpy(RecBuf + F.iOffset, &Next, 4);
                RecBuf[F.iNullOffset] = 0;
            }
        }
        std::string Cols, Marks;
        for (size_t I = 0; I < C->Fields.size(); ++I) {
            Cols += (I ? ", " : "") + QuoteIdent(C->Cols[I]);
            Marks += I ? ", ?" : "?";
        }
        StopWalk(*C);
        sqlite3_stmt* S = Cached(*C, "INSERT INTO " + C->QName + " (" + Cols + ") VALUES (" + Marks + ")");
        for (size_t I = 0; I < C->Fields.size(); ++I) {
            const FLDDesc& F = C->Fields[I];
            const int Index = static_cast<int>(I) + 1;
            if (F.iFldType != fldBLOB) NativeToBind(S, Index, F, RecBuf);
            else if (auto It = C->PendingBlobs.find({RecBuf, F.iFldNum}); It != C->PendingBlobs.end() && !FieldBlank(F, RecBuf))
                BindBlob(S, Index, F, It->second);
            else sqlite3_bind_null(S, Index);
        }
        Step(C->Db->Db, S);
        sqlite3_reset(S);
        const int64_t Rowid = sqlite3_last_insert_rowid(C->Db->Db);
        SetBufRowid(RecBuf, C->RecSize, Rowid);
        DropPending(*C, RecBuf);
        C->Db->Changed();
        Invalidate(*C);
        PositionOnRowid(*C, Rowid, nullptr);
    });
}

DBIResult DbiModifyRecord(hDBICur hCur, const uint8_t* RecBuf) {
    return Run("DbiModifyRecord", [&] {
        DBICurObj* C = Cur(hCur);
        CheckWritable(*C);
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        if (C->Where != DBICurObj::Pos::On) Fail(DBIERR_NOCURRREC);
        CompleteAllRecords();
        std::string Set;
        std::vector<size_t> Bound;
        for (size_t I = 0; I < C->Fields.size(); ++I) {
            const FLDDesc& F = C->Fields[I];
            if (F.iSubType == fldstAUTOINC) continue;
            if (F.iFldType == fldBLOB && !FieldBlank(F, RecBuf) && !C->PendingBlobs.count({RecBuf, F.iFldNum})) continue;
            Set += (Set.empty() ? "" : ", ") + QuoteIdent(C->Cols[I]) + " = ?";
            Bound.push_back(I);
        }
        StopWalk(*C);
        const std::vector<SqlVal> OldKey = C->Key;
        const int64_t Rowid = C->Rowid;
        if (!Set.empty()) {
            sqlite3_stmt* S = Cached(*C, "UPDATE " + C->QName + " SET " + Set + " WHERE rowid = ?");
            int Index = 1;
            for (size_t I : Bound) {
                const FLDDesc& F = C->Fields[I];
                if (F.iFldType != fldBLOB) NativeToBind(S, Index, F, RecBuf);
                else if (FieldBlank(F, RecBuf)) sqlite3_bind_null(S, Index);
                else BindBlob(S, Index, F, C->PendingBlobs[{RecBuf, F.iFldNum}]);
                ++Index;
            }
            sqlite3_bind_int64(S, Index, Rowid);
            Step(C->Db->Db, S);
            sqlite3_reset(S);
            if (sqlite3_changes(C->Db->Db) == 0) Fail(DBIERR_KEYORRECDELETED);
        }
        DropPending(*C, RecBuf);
        const bool SeqStays = C->SeqKnown && C->SeqGen == C->Db->Generation;
        const int64_t Seq = C->Seq;
        const bool FromEnd = C->SeqFromEnd;
        const int64_t Count = C->CountGen == C->Db->Generation ? C->CountCache : -1;
        C->Db->Changed();
        Invalidate(*C);
        PositionOnRowid(*C, Rowid, nullptr);
        // The record kept its place when its key did not change and no filter
        // can have hidden it.
        bool SameKey = OldKey.size() == C->Key.size();
        for (size_t I = 0; SameKey && I < OldKey.size(); ++I)
            SameKey = CompareSqlVal(OldKey[I], C->Key[I], false) == 0 && OldKey[I].Type == C->Key[I].Type;
        if (SameKey && C->FilterWhere.empty() && C->RecordFilters.empty() && C->RangeWhere.empty() && C->BaseWhere.empty()) {
            C->SeqKnown = SeqStays;
            C->Seq = Seq;
            C->SeqFromEnd = FromEnd;
            C->SeqGen = C->Db->Generation;
            C->CountCache = Count;
            C->CountGen = C->Db->Generation;
        }
    });
}

DBIResult DbiDeleteRecord(hDBICur hCur) {
    return Run("DbiDeleteRecord", [&] {
        DBICurObj* C = Cur(hCur);
        CheckWritable(*C);
        if (C->Where != DBICurObj::Pos::On) Fail(DBIERR_NOCURRREC);
        CompleteAllRecords();
        StopWalk(*C);
        sqlite3_stmt* S = Cached(*C, "DELETE FROM " + C->QName + " WHERE rowid = ?");
        sqlite3_bind_int64(S, 1, C->Rowid);
        Step(C->Db->Db, S);
        sqlite3_reset(S);
        if (sqlite3_changes(C->Db->Db) == 0) Fail(DBIERR_KEYORRECDELETED);
        const bool SeqStays = C->SeqKnown && C->SeqGen == C->Db->Generation;
        const bool CountStays = C->CountCache >= 0 && C->CountGen == C->Db->Generation;
        C->Db->Changed();
        C->Where = DBICurObj::Pos::Crack;
        // The record before the crack: one less from the start, the same from the end.
        if (SeqStays) {
            if (!C->SeqFromEnd) C->Seq -= 1;
            C->SeqGen = C->Db->Generation;
        }
        if (CountStays) {
            C->CountCache -= 1;
            C->CountGen = C->Db->Generation;
        }
    });
}

DBIResult DbiEmptyCursorTable(hDBICur hCur) {
    return Run("DbiEmptyCursorTable", [&] {
        DBICurObj* C = Cur(hCur);
        CheckWritable(*C);
        C->Db->ResetStatements();
        Exec(C->Db->Db, "DELETE FROM " + C->QName);
        C->Db->Changed();
        Invalidate(*C);
        C->Where = DBICurObj::Pos::Bof;
    });
}

DBIResult DbiSaveChanges(hDBICur hCur) {
    return Run("DbiSaveChanges", [&] { Cur(hCur); });
}

// ---------------------------------------------------------------------------
// Blobs.

DBIResult DbiGetBlobSize(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo, int64_t& Size) {
    return Run("DbiGetBlobSize", [&] {
        DBICurObj* C = Cur(hCur);
        const FLDDesc& F = BlobField(*C, FieldNo);
        Ready(*C, RecBuf);
        if (auto It = C->PendingBlobs.find({RecBuf, FieldNo}); It != C->PendingBlobs.end()) {
            Size = static_cast<int64_t>(It->second.size());
            return;
        }
        if (FieldBlank(F, RecBuf)) {
            Size = 0;
            return;
        }
        uint32_t N = 0;
        std::memcpy(&N, RecBuf + F.iOffset, 4);
        Size = N;
    });
}

DBIResult DbiGetBlob(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo, int64_t Offset, int64_t Len, void* Dest,
                     int64_t& Read) {
    Read = 0;
    return Run("DbiGetBlob", [&] {
        DBICurObj* C = Cur(hCur);
        BlobField(*C, FieldNo);
        if (Offset < 0 || Len < 0) Fail(DBIERR_INVALIDPARAM, "Negative BLOB offset or length");
        Ready(*C, RecBuf);
        std::string Stored;
        const std::string* Src = nullptr;
        if (auto It = C->PendingBlobs.find({RecBuf, FieldNo}); It != C->PendingBlobs.end()) Src = &It->second;
        else {
            Stored = StoredBlob(*C, RecBuf, FieldNo);
            Src = &Stored;
        }
        if (Offset > static_cast<int64_t>(Src->size())) Fail(DBIERR_ENDOFBLOB);
        Read = std::min<int64_t>(Len, static_cast<int64_t>(Src->size()) - Offset);
        if (Read > 0 && Dest) std::memcpy(Dest, Src->data() + Offset, static_cast<size_t>(Read));
    });
}

DBIResult DbiPutBlob(hDBICur hCur, uint8_t* RecBuf, uint16_t FieldNo, int64_t Offset, int64_t Len, const void* Src) {
    return Run("DbiPutBlob", [&] {
        DBICurObj* C = Cur(hCur);
        const FLDDesc& F = BlobField(*C, FieldNo);
        CheckWritable(*C);
        if (Offset < 0 || Len < 0 || (Len > 0 && !Src)) Fail(DBIERR_INVALIDPARAM, "Bad BLOB write");
        Ready(*C, RecBuf);
        auto It = C->PendingBlobs.find({RecBuf, FieldNo});
        if (It == C->PendingBlobs.end())
            It = C->PendingBlobs.emplace(std::make_pair(RecBuf, FieldNo), StoredBlob(*C, RecBuf, FieldNo)).first;
        std::string& V = It->second;
        if (static_cast<size_t>(Offset + Len) > V.size()) V.resize(static_cast<size_t>(Offset + Len));
        if (Len) std::memcpy(V.data() + Offset, Src, static_cast<size_t>(Len));
        RecBuf[F.iNullOffset] = 0;
        const uint32_t N = static_cast<uint32_t>(V.size());
        std::memcpy(RecBuf + F.iOffset, &N, 4);
    });
}

DBIResult DbiTruncateBlob(hDBICur hCur, uint8_t* RecBuf, uint16_t FieldNo, int64_t Len) {
    return Run("DbiTruncateBlob", [&] {
        DBICurObj* C = Cur(hCur);
        const FLDDesc& F = BlobField(*C, FieldNo);
        CheckWritable(*C);
        if (Len < 0) Fail(DBIERR_INVALIDPARAM, "Negative BLOB length");
        Ready(*C, RecBuf);
        auto It = C->PendingBlobs.find({RecBuf, FieldNo});
        if (It == C->PendingBlobs.end())
            It = C->PendingBlobs.emplace(std::make_pair(RecBuf, FieldNo), StoredBlob(*C, RecBuf, FieldNo)).first;
        if (static_cast<size_t>(Len) < It->second.size()) It->second.resize(static_cast<size_t>(Len));
        RecBuf[F.iNullOffset] = 0;
        const uint32_t N = static_cast<uint32_t>(It->second.size());
        std::memcpy(RecBuf + F.iOffset, &N, 4);
    });
}

DBIResult DbiFreeBlob(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo) {
    return Run("DbiFreeBlob", [&] {
        DBICurObj* C = Cur(hCur);
        if (FieldNo == 0) DropPending(*C, RecBuf);
        else C->PendingBlobs.erase({RecBuf, FieldNo});
    });
}

// ---------------------------------------------------------------------------
// Bookmarks.

namespace {

int64_t BookmarkRowid(const uint8_t* B) {
    if (!B) Fail(DBIERR_INVALIDBOOKMARK);
    int64_t R;
    std::memcpy(&R, B, 8);
    return R;
}

bool KeyOf(DBICurObj& C, int64_t Rowid, std::vector<SqlVal>& Key) {
    sqlite3_stmt* S = Cached(C, SelectHead(C) + " WHERE rowid = ?");
    sqlite3_bind_int64(S, 1, Rowid);
    const bool Found = Step(C.Db->Db, S);
    if (Found) {
        Key.resize(C.Order.size());
        for (size_t I = 0; I < C.Order.size(); ++I)
            Key[I] = SqlVal::FromColumn(S, C.Order[I].Field < 0 ? RowidCol(C) : C.Order[I].Field);
    }
    sqlite3_reset(S);
    return Found;
}

}  // namespace

DBIResult DbiGetBookMark(hDBICur hCur, uint8_t* BookMark) {
    return Run("DbiGetBookMark", [&] {
        DBICurObj* C = Cur(hCur);
        if (!BookMark) Fail(DBIERR_INVALIDPARAM, "No bookmark buffer");
        if (C->Where != DBICurObj::Pos::On) Fail(DBIERR_NOCURRREC);
        std::memcpy(BookMark, &C->Rowid, 8);
    });
}

DBIResult DbiSetToBookMark(hDBICur hCur, const uint8_t* BookMark) {
    return Run("DbiSetToBookMark", [&] {
        DBICurObj* C = Cur(hCur);
        const int64_t Rowid = BookmarkRowid(BookMark);
        StopWalk(*C);
        if (!PositionOnRowid(*C, Rowid, nullptr)) Fail(DBIERR_KEYORRECDELETED);
    });
}

DBIResult DbiCompareBookMarks(hDBICur hCur, const uint8_t* BookMark1, const uint8_t* BookMark2, CMPBkMkRslt& Result) {
    return Run("DbiCompareBookMarks", [&] {
        DBICurObj* C = Cur(hCur);
        const int64_t A = BookmarkRowid(BookMark1), B = BookmarkRowid(BookMark2);
        if (A == B) {
            Result = CMPEql;
            return;
        }
        StopWalk(*C);
        std::vector<SqlVal> KA, KB;
        const bool HA = KeyOf(*C, A, KA), HB = KeyOf(*C, B, KB);
        int R = 0;
        if (HA && HB)
            for (size_t I = 0; I < C->Order.size() && R == 0; ++I) {
                R = CompareSqlVal(KA[I], KB[I], C->Order[I].NoCase);
                if (C->Order[I].Desc) R = -R;
            }
        else R = A < B ? -1 : 1;
        Result = R < 0 ? CMPLess : R > 0 ? CMPGtr : CMPEql;
    });
}

DBIResult DbiBookMarkValid(hDBICur hCur, const uint8_t* BookMark, bool& Valid) {
    Valid = false;
    return Run("DbiBookMarkValid", [&] {
        DBICurObj* C = Cur(hCur);
        const int64_t Rowid = BookmarkRowid(BookMark);
        StopWalk(*C);
        sqlite3_stmt* S = ViewStmt(*C, SelectHead(*C), {{"rowid = ?", {[&] { SqlVal V; V.Type = SQLITE_INTEGER; V.I = Rowid; return V; }()}}}, "");
        if (Step(C->Db->Db, S)) {
            uint8_t* Buf = ScratchBuf(*C);
            ReadRow(*C, S, Buf);
            Valid = Passes(*C, Buf, Rowid);
        }
        sqlite3_reset(S);
    });
}

// ---------------------------------------------------------------------------
// Keys and ranges.

DBIResult DbiSetToKey(hDBICur hCur, DBISearchCond Cond_, const uint8_t* KeyBuf, uint16_t FieldCount) {
    return Run("DbiSetToKey", [&] {
        DBICurObj* C = Cur(hCur);
        if (!KeyBuf) Fail(DBIERR_INVALIDPARAM, "No key buffer");
        const size_t N = KeyCount(*C, FieldCount);
        const std::vector<SqlVal> V = KeyValues(*C, KeyBuf, N);
        StopWalk(*C);
        Cond Bound, Match;
        Bound.Sql = LowBound(*C, V[0], Bound.B);
        Match.Sql = Tuple(*C, V, 0, N, Cond_ == keySEARCHGT ? Rel::GT : Rel::GE, Match.B);
        sqlite3_stmt* S = ViewStmt(*C, SelectHead(*C), {Bound, Match}, OrderClause(*C, 1));
        const bool Found = NextPassing(*C, S, nullptr);
        sqlite3_reset(S);
        C->SeqKnown = false;
        if (!Found) {
            C->Where = DBICurObj::Pos::Eof;
            Fail(DBIERR_RECNOTFOUND);
        }
        bool Equal = true;
        for (size_t I = 0; I < N && Equal; ++I) Equal = CompareSqlVal(C->Key[I], V[I], C->Order[I].NoCase) == 0;
        // A crack just before the record found: the next read returns it.
        C->Where = DBICurObj::Pos::Crack;
        C->Key.back().Type = SQLITE_INTEGER;
        C->Key.back().I = C->Rowid - 1;
        if (Cond_ == keySEARCHEQ && !Equal) Fail(DBIERR_RECNOTFOUND);
    });
}

DBIResult DbiGetRecordForKey(hDBICur hCur, const uint8_t* KeyBuf, uint16_t FieldCount, uint8_t* RecBuf, RECProps* Props) {
    return Run("DbiGetRecordForKey", [&] {
        DBICurObj* C = Cur(hCur);
        if (!KeyBuf) Fail(DBIERR_INVALIDPARAM, "No key buffer");
        const size_t N = KeyCount(*C, FieldCount);
        const std::vector<SqlVal> V = KeyValues(*C, KeyBuf, N);
        StopWalk(*C);
        const auto SavedKey = C->Key;
        const auto SavedWhere = C->Where;
        const int64_t SavedRowid = C->Rowid;
        Cond Match;
        Match.Sql = Tuple(*C, V, 0, N, Rel::EQ, Match.B);
        sqlite3_stmt* S = ViewStmt(*C, SelectHead(*C), {Match}, OrderClause(*C, 1));
        const bool Found = NextPassing(*C, S, RecBuf);
        sqlite3_reset(S);
        if (!Found) {
            C->Key = SavedKey;
            C->Where = SavedWhere;
            C->Rowid = SavedRowid;
            Fail(DBIERR_RECNOTFOUND);
        }
        C->Where = DBICurObj::Pos::On;
        C->SeqKnown = false;
        FillProps(*C, Props);
    });
}

DBIResult DbiSetRange(hDBICur hCur, uint16_t LowFields, const uint8_t* LowKey, bool LowIncl, uint16_t HighFields,
                      const uint8_t* HighKey, bool HighIncl) {
    return Run("DbiSetRange", [&] {
        DBICurObj* C = Cur(hCur);
        std::string W;
        Binds B;
        if (LowKey) {
            const size_t N = KeyCount(*C, LowFields);
            const auto V = KeyValues(*C, LowKey, N);
            const std::string Bound = LowBound(*C, V[0], B);
            W = (Bound.empty() ? "" : Bound + " AND ") + Tuple(*C, V, 0, N, LowIncl ? Rel::GE : Rel::GT, B);
        }
        if (HighKey) {
            const size_t N = KeyCount(*C, HighFields);
            const auto V = KeyValues(*C, HighKey, N);
            W += (W.empty() ? "" : " AND ") + Tuple(*C, V, 0, N, HighIncl ? Rel::LE : Rel::LT, B);
        }
        C->RangeWhere = W;
        C->RangeParams = std::move(B);
        C->Ranged = LowKey || HighKey;
        Invalidate(*C);
        C->Where = DBICurObj::Pos::Bof;
    });
}

DBIResult DbiResetRange(hDBICur hCur) {
    return Run("DbiResetRange", [&] {
        DBICurObj* C = Cur(hCur);
        C->RangeWhere.clear();
        C->RangeParams.clear();
        C->Ranged = false;
        Invalidate(*C);
        C->Where = DBICurObj::Pos::Bof;
    });
}

// ---------------------------------------------------------------------------
// Filters.

DBIResult DbiAddFilter(hDBICur hCur, uintptr_t ClientData, uint16_t Priority, bool CanAbort, const TFilterExpr* Expr,
                       pfGENFilter Callback, hDBIFilter& hFilter) {
    hFilter = nullptr;
    return Run("DbiAddFilter", [&] {
        DBICurObj* C = Cur(hCur);
        if (!Expr == !Callback) Fail(DBIERR_INVALIDFILTER, "A filter is an expression or a callback");
        auto F = std::make_unique<DBIFilterObj>();
        F->Cur = C;
        F->ClientData = ClientData;
        F->Priority = Priority;
        F->CanAbort = CanAbort;
        F->Callback = Callback;
        if (Expr) {
            const auto& EF = Expr->Fields();
            bool Same = EF.size() == C->Fields.size();
            for (size_t I = 0; Same && I < EF.size(); ++I)
                Same = EF[I].iOffset == C->Fields[I].iOffset && EF[I].iFldType == C->Fields[I].iFldType &&
                       EF[I].iNullOffset == C->Fields[I].iNullOffset && SameText(EF[I].szName, C->Fields[I].szName);
            if (!Same) Fail(DBIERR_INVALIDFILTER, "The expression was compiled for other fields");
            F->Expr = Expr->shared_from_this();
        }
        F->Seq = ++C->FilterSeq;
        hFilter = F.get();
        Register(hFilter, Kind::Filter);
        C->Filters.push_back(std::move(F));
    });
}

namespace {
void SetFilterActive(DBICurObj& C, hDBIFilter H, bool Active) {
    if (H) FilterOf(C, H)->Active = Active;
    else
        for (auto& F : C.Filters) F->Active = Active;
    RebuildFilters(C);
}
}  // namespace

DBIResult DbiActivateFilter(hDBICur hCur, hDBIFilter hFilter) {
    return Run("DbiActivateFilter", [&] { SetFilterActive(*Cur(hCur), hFilter, true); });
}

DBIResult DbiDeactivateFilter(hDBICur hCur, hDBIFilter hFilter) {
    return Run("DbiDeactivateFilter", [&] { SetFilterActive(*Cur(hCur), hFilter, false); });
}

DBIResult DbiRegisterRecBuf(hDBICur hCur, uint8_t* RecBuf) {
    return Run("DbiRegisterRecBuf", [&] {
        DBICurObj* C = Cur(hCur);
        if (!RecBuf) Fail(DBIERR_INVALIDPARAM, "No record buffer");
        if (LazyOf(*C, RecBuf)) return;
        if (C->Lazy.empty()) LazyCursors().push_back(C);
        DBICurObj::LazyBuf L;
        L.Buf = RecBuf;
        C->Lazy.push_back(L);
    });
}

DBIResult DbiUnregisterRecBuf(hDBICur hCur, const uint8_t* RecBuf) {
    return Run("DbiUnregisterRecBuf", [&] {
        DBICurObj* C = Cur(hCur);
        const auto It = std::find_if(C->Lazy.begin(), C->Lazy.end(), [&](const DBICurObj::LazyBuf& L) { return L.Buf == RecBuf; });
        if (It == C->Lazy.end()) return;
        C->Lazy.erase(It);
        if (C->OnRowBuf == RecBuf) C->OnRowBuf = nullptr;
        if (C->Lazy.empty()) {
            auto& L = LazyCursors();
            L.erase(std::remove(L.begin(), L.end(), C), L.end());
        }
    });
}

bool DbiReadFieldOnRow(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo) noexcept {
    DBICurObj* C = hCur;
    if (!C || !RecBuf || C->OnRowBuf != RecBuf || !C->Walk || FieldNo == 0 || FieldNo > C->Fields.size()) return false;
    const FLDDesc& F = C->Fields[FieldNo - 1];
    if (RecBuf[F.iNullOffset] == NotRead) ColumnToNative(C->Walk, FieldNo - 1, F, C->OnRowBuf);
    return true;
}

DBIResult DbiCompleteRecBuf(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo) {
    return Run("DbiCompleteRecBuf", [&] {
        DBICurObj* C = Cur(hCur);
        if (C->Lazy.empty() || !RecBuf) return;
        if (auto* L = LazyOf(*C, RecBuf)) Complete(*C, *L, FieldNo);
    });
}

DBIResult DbiDropFilter(hDBICur hCur, hDBIFilter hFilter) {
    return Run("DbiDropFilter", [&] {
        DBICurObj* C = Cur(hCur);
        if (hFilter) FilterOf(*C, hFilter);
        for (auto It = C->Filters.begin(); It != C->Filters.end();) {
            if (!hFilter || It->get() == hFilter) {
                Unregister(It->get());
                It = C->Filters.erase(It);
            } else ++It;
        }
        RebuildFilters(*C);
    });
}

}  // namespace host
