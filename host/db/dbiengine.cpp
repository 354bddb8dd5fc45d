// Engine plumbing: call wrapper and failure injection, handles, statements, values, native layouts, locks.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <cstdio>
#include <new>
#include <unordered_map>

#include "host/db/engine_internal.h"
#include "host/rtl/dates.h"

namespace host::dbi {

// ---------------------------------------------------------------------------
// Failures and the call wrapper.

namespace {

struct Injection {
    std::string Function;
    int Left;
    DBIResult Code;
};
std::vector<Injection>& Injections() {
    static std::vector<Injection> L;
    return L;
}

DBIResult TakeInjected(const char* Name) {
    auto& L = Injections();
    if (L.empty()) return 0;
    DBIResult Hit = 0;
    for (size_t I = 0; I < L.size();) {
        if (L[I].Function == Name && --L[I].Left <= 0) {
            if (!Hit) Hit = L[I].Code;
            L.erase(L.begin() + static_cast<std::ptrdiff_t>(I));
            continue;
        }
        ++I;
    }
    return Hit;
}

}  // namespace

void Fail(DBIResult Code, const std::string& Detail) {
    std::string Msg = DbiErrorText(Code);
    if (!Detail.empty()) Msg += ".\n" + Detail;
    throw Failure{Code, std::move(Msg), 0};
}

DBIResult CodeForSqlite(int Rc) {
    switch (Rc) {
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_ROWID: return DBIERR_KEYVIOL;
        case SQLITE_CONSTRAINT_NOTNULL: return DBIERR_REQDERR;
        case SQLITE_CONSTRAINT_FOREIGNKEY: return DBIERR_FOREIGNKEYERR;
        default: break;
    }
    switch (Rc & 0xFF) {
        case SQLITE_CONSTRAINT: return DBIERR_CONSTRAINTERR;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return DBIERR_FILEBUSY;
        case SQLITE_READONLY: return DBIERR_READONLYDB;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return DBIERR_FILECORRUPT;
        case SQLITE_CANTOPEN: return DBIERR_NOSUCHFILE;
        case SQLITE_PERM:
        case SQLITE_AUTH: return DBIERR_NOTSUFFTABLERIGHTS;
        case SQLITE_NOMEM: return DBIERR_NOMEMORY;
        case SQLITE_IOERR:
        case SQLITE_FULL: return DBIERR_WRITEERR;
        case SQLITE_RANGE: return DBIERR_OUTOFRANGE;
        case SQLITE_MISMATCH: return DBIERR_INVALIDFIELDTYPE;
        default: return DBIERR_SQLITE;
    }
}

void FailSqlite(sqlite3* Db, int Rc) {
    const int Ext = Db ? sqlite3_extended_errcode(Db) : Rc;
    const DBIResult Code = CodeForSqlite(Ext ? Ext : Rc);
    std::string Msg = DbiErrorText(Code) + ".\n" + (Db ? sqlite3_errmsg(Db) : sqlite3_errstr(Rc));
    throw Failure{Code, std::move(Msg), Ext};
}

DBIResult RunImpl(const char* Name, void (*Thunk)(void*), void* Ctx) {
    if (const DBIResult Injected = TakeInjected(Name)) {
        SetLastError(Injected, DbiErrorText(Injected) + ".\n" + Name, 0);
        return Injected;
    }
    try {
        Thunk(Ctx);
        return DBIERR_NONE;
    } catch (const Failure& F) {
        SetLastError(F.Code, F.Message, F.Native);
        return F.Code;
    } catch (const std::bad_alloc&) {
        SetLastError(DBIERR_NOMEMORY, DbiErrorText(DBIERR_NOMEMORY), 0);
        return DBIERR_NOMEMORY;
    } catch (const Exception& E) {
        SetLastError(DBIERR_INVALIDPARAM, E.Message(), 0);
        return DBIERR_INVALIDPARAM;
    }
}

// ---------------------------------------------------------------------------
// Statements.

Stmt Prepare(sqlite3* Db, const std::string& Sql, bool Persistent) {
    sqlite3_stmt* S = nullptr;
    const int Rc = sqlite3_prepare_v3(Db, Sql.c_str(), static_cast<int>(Sql.size()),
                                      Persistent ? SQLITE_PREPARE_PERSISTENT : 0, &S, nullptr);
    if (Rc != SQLITE_OK) {
        sqlite3_finalize(S);
        FailSqlite(Db, Rc);
    }
    return Stmt(S);
}

void Exec(sqlite3* Db, const std::string& Sql) {
    char* Err = nullptr;
    const int Rc = sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, &Err);
    if (Rc != SQLITE_OK) {
        sqlite3_free(Err);
        FailSqlite(Db, Rc);
    }
}

bool Step(sqlite3* Db, sqlite3_stmt* S) {
    const int Rc = sqlite3_step(S);
    if (Rc == SQLITE_ROW) return true;
    if (Rc == SQLITE_DONE) return false;
    sqlite3_reset(S);
    FailSqlite(Db, Rc);
}

namespace {
// Q + Text + Q with every Q inside doubled.
std::string Quoted(const std::string& Text, char Q) {
    std::string R(1, Q);
    for (char C : Text) {
        if (C == Q) R += Q;
        R += C;
    }
    return R + Q;
}
}  // namespace

std::string QuoteIdent(const std::string& Name) { return Quoted(Name, '"'); }
std::string QuoteText(const std::string& Text) { return Quoted(Text, '\''); }

std::string Lower(const std::string& S) {
    std::string R = S;
    for (char& C : R)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return R;
}

// ---------------------------------------------------------------------------
// Dates and times as stored.

std::string DateText(int32_t Days) {
    int Y = 0, M = 0, D = 0;
    DecodeDate(static_cast<TDateTime>(Days - DateDelta), Y, M, D);
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%04d-%02d-%02d", Y, M, D);
    return Buf;
}

std::string TimeText(int32_t Ms) {
    if (Ms < 0) Ms = 0;
    char Buf[20];
    std::snprintf(Buf, sizeof Buf, "%02d:%02d:%02d.%03d", Ms / 3600000, Ms / 60000 % 60, Ms / 1000 % 60, Ms % 1000);
    return Buf;
}

std::string TimestampText(double Ms) {
    const double Rounded = std::floor(Ms + 0.5);
    const int64_t Total = static_cast<int64_t>(Rounded);
    int64_t Days = Total / MSecsPerDay;
    int64_t Rest = Total % MSecsPerDay;
    if (Rest < 0) {
        Rest += MSecsPerDay;
        --Days;
    }
    return DateText(static_cast<int32_t>(Days)) + " " + TimeText(static_cast<int32_t>(Rest));
}

namespace {
bool Digits(const char* S, size_t N, size_t At, size_t Count, int& V) {
    if (At + Count > N) return false;
    V = 0;
    for (size_t I = At; I < At + Count; ++I) {
        if (S[I] < '0' || S[I] > '9') return false;
        V = V * 10 + (S[I] - '0');
    }
    return true;
}
}  // namespace

bool ParseDateText(const char* S, size_t N, int32_t& Days) {
    int Y = 0, M = 0, D = 0;
    if (N < 10 || !Digits(S, N, 0, 4, Y) || S[4] != '-' || !Digits(S, N, 5, 2, M) || S[7] != '-' ||
        !Digits(S, N, 8, 2, D))
        return false;
    TDateTime T = 0;
    if (!TryEncodeDate(Y, M, D, T)) return false;
    Days = static_cast<int32_t>(std::lround(T)) + DateDelta;
    return true;
}

bool ParseTimeText(const char* S, size_t N, int32_t& Ms) {
    int H = 0, Mi = 0, Sec = 0, Z = 0;
    if (!Digits(S, N, 0, 2, H) || N < 5 || S[2] != ':' || !Digits(S, N, 3, 2, Mi)) return false;
    size_t At = 5;
    if (N > At && S[At] == ':') {
        if (!Digits(S, N, At + 1, 2, Sec)) return false;
        At += 3;
        if (N > At && S[At] == '.') {
            size_t Count = 0;
            int Frac = 0;
            while (At + 1 + Count < N && Count < 3 && S[At + 1 + Count] >= '0' && S[At + 1 + Count] <= '9') {
                Frac = Frac * 10 + (S[At + 1 + Count] - '0');
                ++Count;
            }
            if (Count == 0) return false;
            while (Count++ < 3) Frac *= 10;
            Z = Frac;
        }
    }
    if (H > 23 || Mi > 59 || Sec > 59) return false;
    Ms = ((H * 60 + Mi) * 60 + Sec) * 1000 + Z;
    return true;
}

bool ParseTimestampText(const char* S, size_t N, double& Ms) {
    int32_t Days = 0, T = 0;
    if (!ParseDateText(S, N, Days)) return false;
    if (N > 10) {
        if (S[10] != ' ' && S[10] != 'T') return false;
        if (!ParseTimeText(S + 11, N - 11, T)) return false;
    }
    Ms = static_cast<double>(Days) * MSecsPerDay + T;
    return true;
}

// ---------------------------------------------------------------------------
// Field declarations and layouts.

std::string DeclForField(const FLDDesc& F) {
    const std::string N1 = std::to_string(F.iUnits1);
    switch (F.iFldType) {
        case fldZSTRING:
            if (F.iSubType == fldstFIXED) return "CHAR(" + N1 + ")";
            if (F.iSubType == fldstUNICODE) return "NVARCHAR(" + N1 + ")";
            if (F.iSubType == fldstGUID) return "GUID";
            return "VARCHAR(" + N1 + ")";
        case fldINT16: return "SMALLINT";
        case fldUINT16: return "WORD";
        case fldINT32: return F.iSubType == fldstAUTOINC ? "AUTOINC" : "INTEGER";
        case fldUINT32: return "LONGWORD";
        case fldINT64: return "LARGEINT";
        case fldBOOL: return "BOOLEAN";
        case fldFLOAT: return F.iSubType == fldstMONEY ? "MONEY" : "FLOAT";
        case fldBCD: return "DECIMAL(" + N1 + "," + std::to_string(F.iUnits2) + ")";
        case fldDATE: return "DATE";
        case fldTIME: return "TIME";
        case fldTIMESTAMP: return "TIMESTAMP";
        case fldBYTES: return "BYTES(" + N1 + ")";
        case fldVARBYTES: return "VARBYTES(" + N1 + ")";
        case fldBLOB:
            if (F.iSubType == fldstMEMO) return "MEMO TEXT";
            if (F.iSubType == fldstFMTMEMO) return "FMTMEMO TEXT";
            if (F.iSubType == fldstGRAPHIC) return "GRAPHIC";
            return "BLOB";
        default: Fail(DBIERR_INVALIDFIELDTYPE, "Field '" + F.szName + "'");
    }
}

FLDDesc FieldFromDecl(const std::string& Name, const std::string& Decl) {
    FLDDesc F;
    F.szName = Name;
    std::string U;
    for (char C : Decl) U += static_cast<char>((C >= 'a' && C <= 'z') ? C - 'a' + 'A' : C);
    size_t WordEnd = 0;
    while (WordEnd < U.size() && (std::isalnum(static_cast<unsigned char>(U[WordEnd])) || U[WordEnd] == '_')) ++WordEnd;
    const std::string W = U.substr(0, WordEnd);
    int N1 = -1, N2 = 0;
    const size_t Paren = U.find('(');
    if (Paren != std::string::npos) {
        N1 = std::atoi(U.c_str() + Paren + 1);
        const size_t Comma = U.find(',', Paren);
        if (Comma != std::string::npos) N2 = std::atoi(U.c_str() + Comma + 1);
    }
    auto Str = [&](uint16_t Sub, int Def) {
        F.iFldType = fldZSTRING;
        F.iSubType = Sub;
        F.iUnits1 = N1 > 0 ? N1 : Def;
    };
    auto Blob = [&](uint16_t Sub) {
        F.iFldType = fldBLOB;
        F.iSubType = Sub;
    };
    if (W == "VARCHAR" || W == "CHARACTER" || W == "VARYING" || W == "STRING") Str(fldstNONE, 255);
    else if (W == "CHAR") Str(fldstFIXED, 1);
    else if (W == "NVARCHAR" || W == "NCHAR" || W == "WIDESTRING") Str(fldstUNICODE, 255);
    else if (W == "GUID") Str(fldstGUID, 38);
    else if (W == "TEXT" && N1 > 0) Str(fldstNONE, N1);
    else if (W == "TEXT" || W == "MEMO" || W == "CLOB") Blob(fldstMEMO);
    else if (W == "FMTMEMO") Blob(fldstFMTMEMO);
    else if (W == "GRAPHIC") Blob(fldstGRAPHIC);
    else if (W == "BLOB" || W == "BINARY") Blob(fldstBINARY);
    else if (W == "SMALLINT") F.iFldType = fldINT16;
    else if (W == "WORD") F.iFldType = fldUINT16;
    else if (W == "AUTOINC") {
        F.iFldType = fldINT32;
        F.iSubType = fldstAUTOINC;
        F.bReadOnly = true;
    } else if (W == "INTEGER" || W == "INT" || W == "MEDIUMINT" || W == "TINYINT") F.iFldType = fldINT32;
    else if (W == "LONGWORD") F.iFldType = fldUINT32;
    else if (W == "LARGEINT" || W == "BIGINT" || W == "INT64") F.iFldType = fldINT64;
    else if (W == "BOOLEAN" || W == "BOOL" || W == "BIT") F.iFldType = fldBOOL;
    else if (W == "FLOAT" || W == "REAL" || W == "DOUBLE") F.iFldType = fldFLOAT;
    else if (W == "MONEY" || W == "CURRENCY") {
        F.iFldType = fldFLOAT;
        F.iSubType = fldstMONEY;
    } else if (W == "DECIMAL" || W == "NUMERIC" || W == "BCD") {
        F.iFldType = fldBCD;
        F.iUnits1 = N1 > 0 ? N1 : 32;
        F.iUnits2 = N2;
    } else if (W == "DATE") F.iFldType = fldDATE;
    else if (W == "TIME") F.iFldType = fldTIME;
    else if (W == "TIMESTAMP" || W == "DATETIME") F.iFldType = fldTIMESTAMP;
    else if (W == "BYTES") {
        F.iFldType = fldBYTES;
        F.iUnits1 = N1 > 0 ? N1 : 1;
    } else if (W == "VARBYTES") {
        F.iFldType = fldVARBYTES;
        F.iUnits1 = N1 > 0 ? N1 : 1;
    } else if (U.find("INT") != std::string::npos) F.iFldType = fldINT64;
    else if (U.find("CHAR") != std::string::npos || U.find("CLOB") != std::string::npos) Str(fldstNONE, 255);
    else if (U.find("TEXT") != std::string::npos) Blob(fldstMEMO);
    else if (U.find("BLOB") != std::string::npos) Blob(fldstBINARY);
    else if (U.empty()) Str(fldstNONE, 255);
    else F.iFldType = fldFLOAT;
    return F;
}

}  // namespace host::dbi

namespace host {

uint32_t DbiNativeSize(uint16_t FldType, uint16_t SubType, int32_t Units1) {
    switch (FldType) {
        case fldZSTRING: return SubType == fldstGUID ? 39u : static_cast<uint32_t>(std::max(Units1, 0)) + 1;
        case fldINT16:
        case fldUINT16:
        case fldBOOL: return 2;
        case fldINT32:
        case fldUINT32:
        case fldDATE:
        case fldTIME: return 4;
        case fldINT64:
        case fldFLOAT:
        case fldBCD:
        case fldTIMESTAMP:
        case fldBLOB: return 8;
        case fldBYTES: return static_cast<uint32_t>(std::max(Units1, 0));
        case fldVARBYTES: return static_cast<uint32_t>(std::max(Units1, 0)) + 2;
        default: return 0;
    }
}

}  // namespace host

namespace host::dbi {

void LayoutFields(std::vector<FLDDesc>& Fields, uint32_t& RecSize, uint32_t& RecBufSize) {
    uint32_t Off = 0;
    uint16_t No = 1;
    for (auto& F : Fields) {
        if (F.iFldType == fldZSTRING && F.iSubType == fldstGUID) F.iUnits1 = 38;
        F.iFldNum = No++;
        F.iLen = DbiNativeSize(F.iFldType, F.iSubType, F.iUnits1);
        F.iOffset = Off;
        Off += F.iLen;
    }
    for (auto& F : Fields) F.iNullOffset = Off++;
    RecSize = Off;
    RecBufSize = Off + 8;
}

namespace {

// Copies at most Max bytes of UTF-8 text, never splitting a character.
size_t Utf8Fit(const unsigned char* S, size_t N, size_t Max) {
    if (N <= Max) return N;
    size_t K = Max;
    while (K > 0 && (S[K] & 0xC0) == 0x80) --K;
    return K;
}

template <class T>
void Put(uint8_t* P, T V) {
    std::memcpy(P, &V, sizeof V);
}
template <class T>
T Get(const uint8_t* P) {
    T V;
    std::memcpy(&V, P, sizeof V);
    return V;
}

}  // namespace

void ColumnToNative(sqlite3_stmt* St, int Col, const FLDDesc& F, uint8_t* RecBuf) {
    uint8_t* P = RecBuf + F.iOffset;
    // One column fetch, then the value's own accessors: they skip the
    // statement's per-call checks.
    sqlite3_value* Val = sqlite3_column_value(St, Col);
    const int Type = sqlite3_value_type(Val);
    if (Type == SQLITE_NULL) {
        RecBuf[F.iNullOffset] = 1;
        std::memset(P, 0, F.iLen);
        return;
    }
    RecBuf[F.iNullOffset] = 0;
    switch (F.iFldType) {
        case fldZSTRING: {
            const auto* T = sqlite3_value_text(Val);
            const size_t N = static_cast<size_t>(sqlite3_value_bytes(Val));
            const size_t K = Utf8Fit(T, N, F.iLen - 1);
            std::memcpy(P, T, K);
            std::memset(P + K, 0, F.iLen - K);
            break;
        }
        case fldINT16: Put<int16_t>(P, static_cast<int16_t>(sqlite3_value_int64(Val))); break;
        case fldUINT16: Put<uint16_t>(P, static_cast<uint16_t>(sqlite3_value_int64(Val))); break;
        case fldBOOL: Put<uint16_t>(P, sqlite3_value_int64(Val) != 0 ? 1 : 0); break;
        case fldINT32: Put<int32_t>(P, static_cast<int32_t>(sqlite3_value_int64(Val))); break;
        case fldUINT32: Put<uint32_t>(P, static_cast<uint32_t>(sqlite3_value_int64(Val))); break;
        case fldINT64: Put<int64_t>(P, sqlite3_value_int64(Val)); break;
        case fldFLOAT:
        case fldBCD: Put<double>(P, sqlite3_value_double(Val)); break;
        case fldDATE:
        case fldTIME:
        case fldTIMESTAMP: {
            bool Ok = true;
            if (Type == SQLITE_TEXT) {
                const char* T = reinterpret_cast<const char*>(sqlite3_value_text(Val));
                const size_t N = static_cast<size_t>(sqlite3_value_bytes(Val));
                if (F.iFldType == fldDATE) {
                    int32_t D = 0;
                    Ok = ParseDateText(T, N, D);
                    Put<int32_t>(P, D);
                } else if (F.iFldType == fldTIME) {
                    int32_t Ms = 0;
                    Ok = ParseTimeText(T, N, Ms);
                    Put<int32_t>(P, Ms);
                } else {
                    double Ms = 0;
                    Ok = ParseTimestampText(T, N, Ms);
                    Put<double>(P, Ms);
                }
            } else {
                // A number: a TDateTime.
                const double V = sqlite3_value_double(Val);
                if (F.iFldType == fldDATE) Put<int32_t>(P, static_cast<int32_t>(std::floor(V)) + DateDelta);
                else if (F.iFldType == fldTIME)
                    Put<int32_t>(P, static_cast<int32_t>(std::lround((V - std::floor(V)) * MSecsPerDay)));
                else Put<double>(P, (V + DateDelta) * MSecsPerDay);
            }
            if (!Ok) {
                RecBuf[F.iNullOffset] = 1;
                std::memset(P, 0, F.iLen);
            }
            break;
        }
        case fldBYTES: {
            const auto* B = static_cast<const uint8_t*>(sqlite3_value_blob(Val));
            const size_t N = std::min<size_t>(static_cast<size_t>(sqlite3_value_bytes(Val)), F.iLen);
            if (N) std::memcpy(P, B, N);
            std::memset(P + N, 0, F.iLen - N);
            break;
        }
        case fldVARBYTES: {
            const auto* B = static_cast<const uint8_t*>(sqlite3_value_blob(Val));
            const size_t N = std::min<size_t>(static_cast<size_t>(sqlite3_value_bytes(Val)), F.iLen - 2);
            Put<uint16_t>(P, static_cast<uint16_t>(N));
            if (N) std::memcpy(P + 2, B, N);
            std::memset(P + 2 + N, 0, F.iLen - 2 - N);
            break;
        }
        case fldBLOB:
            // The walk selects length(column) for blobs.
            Put<uint32_t>(P, static_cast<uint32_t>(sqlite3_value_int64(Val)));
            Put<uint32_t>(P + 4, 0);
            break;
        default: std::memset(P, 0, F.iLen); break;
    }
}

void NativeToBind(sqlite3_stmt* St, int Index, const FLDDesc& F, const uint8_t* RecBuf) {
    if (FieldBlank(F, RecBuf)) {
        sqlite3_bind_null(St, Index);
        return;
    }
    const uint8_t* P = RecBuf + F.iOffset;
    switch (F.iFldType) {
        case fldZSTRING: {
            const size_t N = strnlen(reinterpret_cast<const char*>(P), F.iLen);
            sqlite3_bind_text(St, Index, reinterpret_cast<const char*>(P), static_cast<int>(N), SQLITE_TRANSIENT);
            break;
        }
        case fldINT16: sqlite3_bind_int64(St, Index, Get<int16_t>(P)); break;
        case fldUINT16: sqlite3_bind_int64(St, Index, Get<uint16_t>(P)); break;
        case fldBOOL: sqlite3_bind_int64(St, Index, Get<uint16_t>(P) != 0 ? 1 : 0); break;
        case fldINT32: sqlite3_bind_int64(St, Index, Get<int32_t>(P)); break;
        case fldUINT32: sqlite3_bind_int64(St, Index, Get<uint32_t>(P)); break;
        case fldINT64: sqlite3_bind_int64(St, Index, Get<int64_t>(P)); break;
        case fldFLOAT:
        case fldBCD: sqlite3_bind_double(St, Index, Get<double>(P)); break;
        case fldDATE: sqlite3_bind_text(St, Index, DateText(Get<int32_t>(P)).c_str(), -1, SQLITE_TRANSIENT); break;
        case fldTIME: sqlite3_bind_text(St, Index, TimeText(Get<int32_t>(P)).c_str(), -1, SQLITE_TRANSIENT); break;
        case fldTIMESTAMP:
            sqlite3_bind_text(St, Index, TimestampText(Get<double>(P)).c_str(), -1, SQLITE_TRANSIENT);
            break;
        case fldBYTES: sqlite3_bind_blob(St, Index, P, static_cast<int>(F.iLen), SQLITE_TRANSIENT); break;
        case fldVARBYTES: {
            const uint16_t N = std::min<uint16_t>(Get<uint16_t>(P), static_cast<uint16_t>(F.iLen - 2));
            sqlite3_bind_blob(St, Index, P + 2, N, SQLITE_TRANSIENT);
            break;
        }
        default: sqlite3_bind_null(St, Index); break;
    }
}

// ---------------------------------------------------------------------------
// Values.

SqlVal SqlVal::FromColumn(sqlite3_stmt* St, int Col) {
    SqlVal V;
    V.Type = sqlite3_column_type(St, Col);
    switch (V.Type) {
        case SQLITE_INTEGER: V.I = sqlite3_column_int64(St, Col); break;
        case SQLITE_FLOAT: V.F = sqlite3_column_double(St, Col); break;
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const void* P = V.Type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_column_text(St, Col))
                                                  : sqlite3_column_blob(St, Col);
            const int N = sqlite3_column_bytes(St, Col);
            if (P && N > 0) V.S.assign(static_cast<const char*>(P), static_cast<size_t>(N));
            break;
        }
        default: break;
    }
    return V;
}

void BindSqlVal(sqlite3_stmt* S, int Index, const SqlVal& V) {
    switch (V.Type) {
        case SQLITE_INTEGER: sqlite3_bind_int64(S, Index, V.I); break;
        case SQLITE_FLOAT: sqlite3_bind_double(S, Index, V.F); break;
        case SQLITE_TEXT:
            sqlite3_bind_text(S, Index, V.S.data(), static_cast<int>(V.S.size()), SQLITE_TRANSIENT);
            break;
        case SQLITE_BLOB:
            sqlite3_bind_blob(S, Index, V.S.data(), static_cast<int>(V.S.size()), SQLITE_TRANSIENT);
            break;
        default: sqlite3_bind_null(S, Index); break;
    }
}

int CompareSqlVal(const SqlVal& A, const SqlVal& B, bool NoCase) {
    auto Rank = [](int T) { return T == SQLITE_NULL ? 0 : (T == SQLITE_INTEGER || T == SQLITE_FLOAT) ? 1 : T == SQLITE_TEXT ? 2 : 3; };
    const int RA = Rank(A.Type), RB = Rank(B.Type);
    if (RA != RB) return RA < RB ? -1 : 1;
    if (RA == 0) return 0;
    if (RA == 1) {
        if (A.Type == SQLITE_INTEGER && B.Type == SQLITE_INTEGER) return A.I < B.I ? -1 : A.I > B.I ? 1 : 0;
        const double X = A.Type == SQLITE_INTEGER ? static_cast<double>(A.I) : A.F;
        const double Y = B.Type == SQLITE_INTEGER ? static_cast<double>(B.I) : B.F;
        return X < Y ? -1 : X > Y ? 1 : 0;
    }
    const std::string& X = (NoCase && RA == 2) ? Lower(A.S) : A.S;
    const std::string& Y = (NoCase && RA == 2) ? Lower(B.S) : B.S;
    const int C = X.compare(Y);
    return C < 0 ? -1 : C > 0 ? 1 : 0;
}

SqlVal SqlValFromDBIValue(const DBIValue& V) {
    SqlVal R;
    if (V.bNull) return R;
    switch (V.iFldType) {
        case fldINT16:
        case fldUINT16:
        case fldINT32:
        case fldUINT32:
        case fldINT64:
            R.Type = SQLITE_INTEGER;
            R.I = V.iVal;
            break;
        case fldBOOL:
            R.Type = SQLITE_INTEGER;
            R.I = V.iVal != 0;
            break;
        case fldFLOAT:
        case fldBCD:
            R.Type = SQLITE_FLOAT;
            R.F = V.fVal;
            break;
        case fldDATE:
            R.Type = SQLITE_TEXT;
            R.S = DateText(static_cast<int32_t>(V.iVal));
            break;
        case fldTIME:
            R.Type = SQLITE_TEXT;
            R.S = TimeText(static_cast<int32_t>(V.iVal));
            break;
        case fldTIMESTAMP:
            R.Type = SQLITE_TEXT;
            R.S = TimestampText(V.fVal);
            break;
        case fldBYTES:
        case fldVARBYTES:
            R.Type = SQLITE_BLOB;
            R.S = V.sVal;
            break;
        case fldBLOB:
            R.Type = V.iSubType == fldstMEMO || V.iSubType == fldstFMTMEMO ? SQLITE_TEXT : SQLITE_BLOB;
            R.S = V.sVal;
            break;
        default:
            R.Type = SQLITE_TEXT;
            R.S = V.sVal;
            break;
    }
    return R;
}

void BindValue(sqlite3_stmt* S, int Index, const DBIValue& V) { BindSqlVal(S, Index, SqlValFromDBIValue(V)); }

// ---------------------------------------------------------------------------
// Handles and counters.

namespace {
std::unordered_map<const void*, Kind>& Handles() {
    static std::unordered_map<const void*, Kind> M;
    return M;
}
}  // namespace

namespace {
// The handle checked last, so that a walk's calls on one cursor skip the table.
const void* gLastLive = nullptr;
Kind gLastKind = Kind::Session;
}  // namespace

void Register(const void* P, Kind K) { Handles()[P] = K; }
void Unregister(const void* P) {
    if (P == gLastLive) gLastLive = nullptr;
    Handles().erase(P);
}
bool IsLive(const void* P, Kind K) {
    if (!P) return false;
    if (P == gLastLive) return gLastKind == K;
    const auto It = Handles().find(P);
    if (It == Handles().end() || It->second != K) return false;
    gLastLive = P;
    gLastKind = K;
    return true;
}

Counters& Count() {
    static Counters C;
    return C;
}

// ---------------------------------------------------------------------------
// Table locks.

TableLock::~TableLock() { Release(); }

bool TableLock::Acquire(const std::string& LockFile, uint32_t Slot, bool Exclusive) {
    Release();
    int Fd = ::open(LockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (Fd < 0) Fd = ::open(LockFile.c_str(), O_RDONLY | O_CLOEXEC);
    // No lock file can be made (a read-only directory): nobody can write the
    // table there either, so the open goes ahead unlocked.
    if (Fd < 0) return true;
    struct flock L {};
    L.l_type = static_cast<short>(Exclusive ? F_WRLCK : F_RDLCK);
    L.l_whence = SEEK_SET;
    L.l_start = static_cast<off_t>(Slot);
    L.l_len = 1;
    L.l_pid = 0;
    if (::fcntl(Fd, F_OFD_SETLK, &L) != 0) {
        ::close(Fd);
        return false;
    }
    FFd = Fd;
    return true;
}

void TableLock::Release() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
}

}  // namespace host::dbi

namespace host {

using namespace dbi;

DBIValue DbiValueFromNative(const FLDDesc& F, const void* Native) {
    const auto* P = static_cast<const uint8_t*>(Native);
    DBIValue V;
    V.iFldType = F.iFldType;
    V.iSubType = F.iSubType;
    V.bNull = false;
    switch (F.iFldType) {
        case fldZSTRING: V.sVal.assign(reinterpret_cast<const char*>(P), strnlen(reinterpret_cast<const char*>(P), F.iLen)); break;
        case fldINT16: V.iVal = Get<int16_t>(P); break;
        case fldUINT16: V.iVal = Get<uint16_t>(P); break;
        case fldBOOL: V.iVal = Get<uint16_t>(P) != 0; break;
        case fldINT32:
        case fldDATE:
        case fldTIME: V.iVal = Get<int32_t>(P); break;
        case fldUINT32: V.iVal = Get<uint32_t>(P); break;
        case fldINT64: V.iVal = Get<int64_t>(P); break;
        case fldFLOAT:
        case fldBCD:
        case fldTIMESTAMP: V.fVal = Get<double>(P); break;
        case fldBYTES: V.sVal.assign(reinterpret_cast<const char*>(P), F.iLen); break;
        case fldVARBYTES: V.sVal.assign(reinterpret_cast<const char*>(P + 2), std::min<size_t>(Get<uint16_t>(P), F.iLen - 2)); break;
        default: V.bNull = true; break;
    }
    return V;
}

namespace {

bool ValueAsInt(const DBIValue& V, int64_t& R) {
    switch (V.iFldType) {
        case fldFLOAT:
        case fldBCD:
            if (!std::isfinite(V.fVal) || std::fabs(V.fVal) > 9.2e18) return false;
            R = static_cast<int64_t>(std::llround(V.fVal));
            return true;
        case fldZSTRING:
        case fldUNKNOWN: {
            char* End = nullptr;
            errno = 0;
            const long long X = std::strtoll(V.sVal.c_str(), &End, 10);
            if (V.sVal.empty() || *End || errno) return false;
            R = X;
            return true;
        }
        case fldTIMESTAMP: R = static_cast<int64_t>(V.fVal); return true;
        default: R = V.iVal; return true;
    }
}

bool ValueAsFloat(const DBIValue& V, double& R) {
    switch (V.iFldType) {
        case fldFLOAT:
        case fldBCD:
        case fldTIMESTAMP: R = V.fVal; return true;
        case fldZSTRING:
        case fldUNKNOWN: {
            char* End = nullptr;
            R = std::strtod(V.sVal.c_str(), &End);
            return !V.sVal.empty() && !*End;
        }
        default: R = static_cast<double>(V.iVal); return true;
    }
}

std::string ValueAsText(const DBIValue& V) {
    switch (V.iFldType) {
        case fldZSTRING:
        case fldUNKNOWN:
        case fldBYTES:
        case fldVARBYTES:
        case fldBLOB: return V.sVal;
        case fldFLOAT:
        case fldBCD: {
            char Buf[40];
            std::snprintf(Buf, sizeof Buf, "%.15g", V.fVal);
            return Buf;
        }
        case fldDATE: return DateText(static_cast<int32_t>(V.iVal));
        case fldTIME: return TimeText(static_cast<int32_t>(V.iVal));
        case fldTIMESTAMP: return TimestampText(V.fVal);
        default: return std::to_string(V.iVal);
    }
}

template <class T>
bool PutInt(uint8_t* P, int64_t X) {
    if (X < static_cast<int64_t>(std::numeric_limits<T>::min()) || X > static_cast<int64_t>(std::numeric_limits<T>::max()))
        return false;
    Put<T>(P, static_cast<T>(X));
    return true;
}

}  // namespace

bool DbiValueToNative(const FLDDesc& F, const DBIValue& V, void* Native) {
    auto* P = static_cast<uint8_t*>(Native);
    if (V.bNull) {
        std::memset(P, 0, F.iLen);
        return true;
    }
    int64_t I = 0;
    double D = 0;
    switch (F.iFldType) {
        case fldZSTRING: {
            const std::string T = ValueAsText(V);
            const size_t K = Utf8Fit(reinterpret_cast<const unsigned char*>(T.data()), T.size(), F.iLen - 1);
            std::memcpy(P, T.data(), K);
            std::memset(P + K, 0, F.iLen - K);
            return true;
        }
        case fldINT16: return ValueAsInt(V, I) && PutInt<int16_t>(P, I);
        case fldUINT16: return ValueAsInt(V, I) && PutInt<uint16_t>(P, I);
        case fldINT32: return ValueAsInt(V, I) && PutInt<int32_t>(P, I);
        case fldUINT32: return ValueAsInt(V, I) && PutInt<uint32_t>(P, I);
        case fldINT64: return ValueAsInt(V, I) && (Put<int64_t>(P, I), true);
        case fldBOOL:
            if (V.iFldType == fldZSTRING || V.iFldType == fldUNKNOWN) {
                if (SameText(V.sVal, "true")) I = 1;
                else if (SameText(V.sVal, "false")) I = 0;
                else if (!ValueAsInt(V, I)) return false;
            } else if (!ValueAsInt(V, I)) return false;
            Put<uint16_t>(P, I != 0);
            return true;
        case fldFLOAT:
        case fldBCD: return ValueAsFloat(V, D) && (Put<double>(P, D), true);
        case fldDATE: {
            int32_t Days = 0;
            if (V.iFldType == fldDATE) Days = static_cast<int32_t>(V.iVal);
            else if (V.iFldType == fldTIMESTAMP) Days = static_cast<int32_t>(std::floor(V.fVal / MSecsPerDay));
            else if (!ParseDateText(V.sVal.data(), V.sVal.size(), Days)) return false;
            Put<int32_t>(P, Days);
            return true;
        }
        case fldTIME: {
            int32_t Ms = 0;
            if (V.iFldType == fldTIME) Ms = static_cast<int32_t>(V.iVal);
            else if (V.iFldType == fldTIMESTAMP) Ms = static_cast<int32_t>(std::fmod(V.fVal, MSecsPerDay));
            else if (!ParseTimeText(V.sVal.data(), V.sVal.size(), Ms)) return false;
            Put<int32_t>(P, Ms);
            return true;
        }
        case fldTIMESTAMP: {
            double Ms = 0;
            if (V.iFldType == fldTIMESTAMP) Ms = V.fVal;
            else if (V.iFldType == fldDATE) Ms = static_cast<double>(V.iVal) * MSecsPerDay;
            else if (!ParseTimestampText(V.sVal.data(), V.sVal.size(), Ms)) return false;
            Put<double>(P, Ms);
            return true;
        }
        case fldBYTES: {
            const size_t N = std::min<size_t>(V.sVal.size(), F.iLen);
            std::memcpy(P, V.sVal.data(), N);
            std::memset(P + N, 0, F.iLen - N);
            return true;
        }
        case fldVARBYTES: {
            const size_t N = std::min<size_t>(V.sVal.size(), F.iLen - 2);
            Put<uint16_t>(P, static_cast<uint16_t>(N));
            std::memcpy(P + 2, V.sVal.data(), N);
            return true;
        }
        default: return false;
    }
}

std::string DbiParamValue(const TDbiParams& Params, const std::string& Name) {
    for (const auto& [K, V] : Params)
        if (SameText(K, Name)) return V;
    return {};
}

void NativeToAnsiBuf(TLocale, const char* Source, char* Dest, size_t Len) {
    if (Len && Source != Dest) std::memmove(Dest, Source, Len);
}
void AnsiToNativeBuf(TLocale, const char* Source, char* Dest, size_t Len) {
    if (Len && Source != Dest) std::memmove(Dest, Source, Len);
}

void DbiInjectFailure(const std::string& Function, int Nth, DBIResult Code) {
    Injections().push_back({Function, std::max(Nth, 1), Code});
}
void DbiClearInjectedFailures() { Injections().clear(); }

DBIResult DbiStartSession(const std::string& Name, hDBISes& hSes) {
    hSes = nullptr;
    return Run("DbiStartSession", [&] {
        auto S = std::make_unique<DBISesObj>();
        S->Name = Name;
        hSes = S.release();
        Register(hSes, Kind::Session);
        ++Count().Sessions;
    });
}

DBIResult DbiCloseSession(hDBISes& hSes) {
    return Run("DbiCloseSession", [&] {
        if (!IsLive(hSes, Kind::Session)) Fail(DBIERR_INVALIDHNDL);
        Unregister(hSes);
        std::unique_ptr<DBISesObj> Gone(hSes);
        hSes = nullptr;
        --Count().Sessions;
    });
}

}  // namespace host
