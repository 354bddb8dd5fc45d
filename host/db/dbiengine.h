// The database engine over SQLite: sessions, databases, cursors with record buffers, filters, keys, ranges, transactions, configuration.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/db/dbierrors.h"

namespace host {

class TFilterExpr;

// ---------------------------------------------------------------------------
// Handles. Opaque, pointer-sized; a stale or foreign handle makes a call fail
// with DBIERR_INVALIDHNDL, never touch freed memory.
struct DBISesObj;
struct DBIDbObj;
struct DBICurObj;
struct DBIFilterObj;
struct DBIXactObj;
using hDBISes = DBISesObj*;
using hDBIDb = DBIDbObj*;
using hDBICur = DBICurObj*;
using hDBIFilter = DBIFilterObj*;
using hDBIXact = DBIXactObj*;
// The language driver of a cursor or database: character data is UTF-8 on both
// sides, so every locale is the same identity conversion.
using TLocale = const void*;

inline constexpr int DBIMAXNAMELEN = 31;
inline constexpr int DBIMAXPATHLEN = 260;

// ---------------------------------------------------------------------------
// Field types (logical) and subtypes, the classic engine's numbering.
inline constexpr uint16_t fldUNKNOWN = 0;
inline constexpr uint16_t fldZSTRING = 1;
inline constexpr uint16_t fldDATE = 2;
inline constexpr uint16_t fldBLOB = 3;
inline constexpr uint16_t fldBOOL = 4;
inline constexpr uint16_t fldINT16 = 5;
inline constexpr uint16_t fldINT32 = 6;
inline constexpr uint16_t fldFLOAT = 7;
inline constexpr uint16_t fldBCD = 8;
inline constexpr uint16_t fldBYTES = 9;
inline constexpr uint16_t fldTIME = 10;
inline constexpr uint16_t fldTIMESTAMP = 11;
inline constexpr uint16_t fldUINT16 = 12;
inline constexpr uint16_t fldUINT32 = 13;
inline constexpr uint16_t fldVARBYTES = 15;
inline constexpr uint16_t fldINT64 = 18;

inline constexpr uint16_t fldstNONE = 0;
inline constexpr uint16_t fldstMONEY = 21;       // fldFLOAT
inline constexpr uint16_t fldstMEMO = 22;        // fldBLOB
inline constexpr uint16_t fldstBINARY = 23;      // fldBLOB
inline constexpr uint16_t fldstFMTMEMO = 24;     // fldBLOB
inline constexpr uint16_t fldstGRAPHIC = 26;     // fldBLOB
inline constexpr uint16_t fldstAUTOINC = 29;     // fldINT32
inline constexpr uint16_t fldstFIXED = 31;       // fldZSTRING
inline constexpr uint16_t fldstUNICODE = 32;     // fldZSTRING (wide string, stored as UTF-8)
inline constexpr uint16_t fldstGUID = 38;        // fldZSTRING, 38 characters

// ---------------------------------------------------------------------------
// Record buffers.
//
// A record buffer is CURProps::iRecBufSize bytes. Fields lie one after the
// other from offset 0 (FLDDesc::iOffset, FLDDesc::iLen bytes each, no
// alignment padding: read and write them with memcpy), then one null
// indicator byte per field (FLDDesc::iNullOffset; 1 = blank, 0 = has a value),
// then an 8-byte trailer holding the record's row identifier (the physical
// record number; 0 for a record not yet stored). Native layout per type:
//
//   type / subtype            iLen        native value
//   fldZSTRING                units1 + 1  UTF-8 bytes, NUL-terminated; units1 = size in bytes
//     fldstFIXED              units1 + 1  the same (fixed char; stored without trailing blanks)
//     fldstUNICODE            units1 + 1  the same (wide string, UTF-8)
//     fldstGUID               39          "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" + NUL
//   fldINT16                  2           int16_t
//   fldUINT16                 2           uint16_t
//   fldINT32                  4           int32_t
//     fldstAUTOINC            4           int32_t, assigned by the engine on insert
//   fldINT64                  8           int64_t
//   fldBOOL                   2           uint16_t, 0 = false, 1 = true
//   fldFLOAT                  8           double
//     fldstMONEY              8           double
//   fldBCD                    8           double (units1 = precision, units2 = scale)
//   fldDATE                   4           int32_t days since 0001-01-01, that day being 1
//                                         (TDateTime + 693594)
//   fldTIME                   4           int32_t milliseconds since midnight
//   fldTIMESTAMP              8           double milliseconds since 0001-01-01 00:00
//                                         ((TDateTime + 693594) * 86400000)
//   fldBYTES                  units1      the bytes
//   fldVARBYTES               units1 + 2  uint16_t length, then up to units1 bytes
//   fldBLOB (any subtype)     8           uint32_t stored size in bytes, uint32_t 0;
//                                         the contents through DbiOpenBlob/DbiGetBlob/DbiPutBlob
//
// In the SQLite file the values are stored as: strings TEXT; integers and
// Booleans INTEGER; floats, money and BCD REAL; dates TEXT 'YYYY-MM-DD';
// times TEXT 'HH:MM:SS.zzz'; timestamps TEXT 'YYYY-MM-DD HH:MM:SS.zzz';
// bytes, varbytes and blobs BLOB (memos TEXT). So SQL and filter expressions
// compare dates as text in that form.

struct FLDDesc {
    uint16_t iFldNum = 0;          // 1-based field number
    std::string szName;
    uint16_t iFldType = fldUNKNOWN;
    uint16_t iSubType = fldstNONE;
    int32_t iUnits1 = 0;           // size of strings and bytes; precision of BCD
    int32_t iUnits2 = 0;           // scale of BCD
    uint32_t iOffset = 0;          // offset in the record buffer
    uint32_t iLen = 0;             // bytes in the record buffer
    uint32_t iNullOffset = 0;      // offset of the null indicator byte
    bool bRequired = false;        // NOT NULL
    bool bReadOnly = false;        // autoincrement fields; every field of a read-only cursor
};

// Bytes a field of that type takes in a record buffer.
uint32_t DbiNativeSize(uint16_t FldType, uint16_t SubType, int32_t Units1);

enum DBIOpenMode : uint8_t { dbiREADWRITE = 0, dbiREADONLY = 1 };
enum DBIShareMode : uint8_t { dbiOPENSHARED = 0, dbiOPENEXCL = 1 };

struct CURProps {
    std::string szName;            // table name, or "" for a query result
    std::string szTableType;       // "PARADOX", "DBASE", "FOXPRO", "ASCIIDRV" or "" (default)
    uint16_t iFields = 0;
    uint32_t iRecSize = 0;         // data + null indicators
    uint32_t iRecBufSize = 0;      // iRecSize + the 8-byte row identifier trailer
    uint16_t iIndexes = 0;
    uint16_t iKeyFields = 0;       // fields of the current index (0 = row order)
    std::string szIndexName;       // current index ("" = row order or a field list)
    std::string szIndexFields;     // fields of the current order, "A;B"
    uint16_t iBookMarkSize = 8;
    bool bBookMarkStable = true;   // bookmarks survive edits of other records
    DBIOpenMode eOpenMode = dbiREADWRITE;
    DBIShareMode eShareMode = dbiOPENSHARED;
    bool bLive = true;             // records can be inserted, modified, deleted
    bool bRanged = false;          // a range is in force
};

// The record number of the current record and its physical identifier.
struct RECProps {
    int64_t iSeqNum = 0;           // 1-based position among the visible records; 0 = unknown
    int64_t iPhyRecNum = 0;        // the row identifier
};

struct IDXDesc {
    std::string szName;            // "" for the primary key
    uint16_t iIndexId = 0;
    std::vector<uint16_t> aiKeyFld; // field numbers of the key, in order
    std::string szKeyFields;       // the same as names, "A;B"
    bool bPrimary = false;
    bool bUnique = false;
    bool bDescending = false;
    bool bCaseInsensitive = false;
    bool bExpIdx = false;          // never: expression indexes are not made
};

// A value handed to the engine outside a record buffer: query and stored
// procedure parameters. The type says how it is stored (see the table above).
struct DBIValue {
    uint16_t iFldType = fldUNKNOWN; // fldUNKNOWN: stored as the C++ value says
    uint16_t iSubType = fldstNONE;
    bool bNull = true;
    int64_t iVal = 0;              // integers, Booleans, dates (days), times (ms)
    double fVal = 0;               // floats, money, BCD, timestamps (ms)
    std::string sVal;              // strings (UTF-8) and bytes

    static DBIValue Null() { return {}; }
    static DBIValue Int(int64_t V) { DBIValue R; R.iFldType = fldINT64; R.bNull = false; R.iVal = V; return R; }
    static DBIValue Float(double V) { DBIValue R; R.iFldType = fldFLOAT; R.bNull = false; R.fVal = V; return R; }
    static DBIValue Text(std::string V) { DBIValue R; R.iFldType = fldZSTRING; R.bNull = false; R.sVal = std::move(V); return R; }
    static DBIValue Bytes(std::string V) { DBIValue R; R.iFldType = fldBLOB; R.iSubType = fldstBINARY; R.bNull = false; R.sVal = std::move(V); return R; }
};

// Converts between a native value (record-buffer layout of Fld) and a DBIValue.
DBIValue DbiValueFromNative(const FLDDesc& Fld, const void* Native);
// Writes V into Native in Fld's layout; false when V does not convert
// (text that is no number for a numeric field, ...).
bool DbiValueToNative(const FLDDesc& Fld, const DBIValue& V, void* Native);

// Parameters of drivers, aliases and databases: name → value, in order.
// Names compare without regard to ASCII case.
using TDbiParams = std::vector<std::pair<std::string, std::string>>;
std::string DbiParamValue(const TDbiParams& Params, const std::string& Name);

// ---------------------------------------------------------------------------
// Engine and sessions.

// Sessions are counted for the system information; databases are opened
// without naming one.
DBIResult DbiStartSession(const std::string& Name, hDBISes& hSes);
DBIResult DbiCloseSession(hDBISes& hSes);

// ---------------------------------------------------------------------------
// Configuration: aliases and driver parameters.
//
// The configuration file is an ini-like text file:
//   [ALIAS:<name>]         one section per alias
//   DRIVER=STANDARD|SQLITE
//   PATH=<directory or file>
//   <other parameters>=<value>
// Its path is $RYX_DBI_CONFIG, else $XDG_CONFIG_HOME/ryx/dbi.cfg, else
// ~/.config/ryx/dbi.cfg; DbiCfgSetPath changes it (tests) and reloads.
// Changes are kept in memory until DbiCfgSave writes the file (atomically:
// a temporary file renamed over the old one).
DBIResult DbiCfgSetPath(const std::string& Path);
std::string DbiCfgGetPath();
DBIResult DbiCfgReload();
DBIResult DbiCfgSave();
DBIResult DbiCfgGetAliasNames(std::vector<std::string>& Names);
// The alias's parameters, DRIVER first (as "TYPE" in the classic lists, here "DRIVER").
DBIResult DbiCfgGetAliasParams(const std::string& Alias, TDbiParams& Params);
DBIResult DbiCfgGetAliasDriver(const std::string& Alias, std::string& Driver);
DBIResult DbiCfgAddAlias(const std::string& Alias, const std::string& Driver, const TDbiParams& Params);
DBIResult DbiCfgModifyAlias(const std::string& Alias, const TDbiParams& Params);
DBIResult DbiCfgDeleteAlias(const std::string& Alias);
// "STANDARD" and "SQLITE".
DBIResult DbiGetDriverNames(std::vector<std::string>& Names);
// Default parameters of a driver (PATH, and for SQLITE "OPEN MODE", ...).
DBIResult DbiGetDriverParams(const std::string& Driver, TDbiParams& Params);

// ---------------------------------------------------------------------------
// Databases.
//
// Driver "STANDARD": the parameter PATH names a directory; each table is one
// SQLite file <PATH>/<TableName>.db holding one table of that name and a
// metadata table "_ryx_meta" (key TEXT, value TEXT) recording its TableType.
// Not SQL-based: transactions only with xilDIRTYREAD; no stored procedures.
// At most 10 tables of one STANDARD database are open at once (SQLite's
// attachment limit); closing the last cursor on a table frees its place.
//
// Driver "SQLITE": the parameter PATH (or DATABASE NAME) names one SQLite
// file holding every table; SQL-based. Stored procedures live in its table
// "_ryx_procs".
//
// Common parameters: "OPEN MODE" = "READ/WRITE" (default) or "READ ONLY".
DBIResult DbiOpenDatabase(const std::string& Driver, const TDbiParams& Params, hDBIDb& hDb);
DBIResult DbiCloseDatabase(hDBIDb& hDb);

struct DBDesc {
    std::string szDriver;          // "STANDARD" or "SQLITE"
    std::string szPath;
    bool bSQLBased = false;
    bool bReadOnly = false;
};
DBIResult DbiGetDatabaseDesc(hDBIDb hDb, DBDesc& Desc);

enum eXILType : uint8_t { xilDIRTYREAD = 0, xilREADCOMMITTED = 1, xilREPEATABLEREAD = 2 };
enum eXEnd : uint8_t { xendCOMMIT = 0, xendABORT = 1 };
// One transaction at a time per database. STANDARD accepts only xilDIRTYREAD
// (DBIERR_NOTSUPPORTED otherwise); SQLite's transactions are serialisable,
// which satisfies every level.
DBIResult DbiBeginTran(hDBIDb hDb, eXILType Isolation, hDBIXact& hXact);
DBIResult DbiEndTran(hDBIDb hDb, hDBIXact hXact, eXEnd End);
DBIResult DbiInTransaction(hDBIDb hDb, bool& InTran);

// Table names (without extension for STANDARD), sorted; Pattern uses '*' and
// '?' ("" = all); System adds the engine's own tables (_ryx_*).
DBIResult DbiGetTableNames(hDBIDb hDb, const std::string& Pattern, bool System, std::vector<std::string>& Names);

// ---------------------------------------------------------------------------
// Tables: create, delete, rename, empty, indexes.

struct CRTblDesc {
    std::string szTblName;
    std::string szTblType;         // recorded and reported; "" = default
    std::vector<FLDDesc> Fields;   // name, type, subtype, units1, units2, bRequired
    std::vector<IDXDesc> Indexes;  // by szKeyFields (names) or aiKeyFld
};
DBIResult DbiCreateTable(hDBIDb hDb, bool Overwrite, const CRTblDesc& Desc);
DBIResult DbiDeleteTable(hDBIDb hDb, const std::string& TableName);
DBIResult DbiRenameTable(hDBIDb hDb, const std::string& OldName, const std::string& NewName);
DBIResult DbiEmptyTable(hDBIDb hDb, const std::string& TableName);
DBIResult DbiAddIndex(hDBIDb hDb, const std::string& TableName, const IDXDesc& Index);
DBIResult DbiDeleteIndex(hDBIDb hDb, const std::string& TableName, const std::string& IndexName);
DBIResult DbiGetIndexList(hDBIDb hDb, const std::string& TableName, std::vector<IDXDesc>& Indexes);
DBIResult DbiGetFieldList(hDBIDb hDb, const std::string& TableName, std::vector<FLDDesc>& Fields);
DBIResult DbiGetTableType(hDBIDb hDb, const std::string& TableName, std::string& TableType);

// ---------------------------------------------------------------------------
// Cursors.

// Opens a table. The order: IndexName (an index's name; "PRIMARY" also names
// the primary index), else IndexFields ("A;B": a field list, which need not
// match an index; an index on exactly those fields lends its case rule), else
// the primary index when the table has one, else row order.
// dbiOPENEXCL keeps every other open of the table out, from this process and
// others, until this cursor closes (DBIERR_FILELOCKED for the loser); a shared
// open fails the same way while an exclusive one holds the table. The locks
// live in a lock file beside the table file (<Path>/<Table>.lck for STANDARD,
// <file>.lck for SQLITE); where none can be made (read-only directory) the
// open goes ahead unlocked.
DBIResult DbiOpenTable(hDBIDb hDb, const std::string& TableName, const std::string& IndexName,
                       const std::string& IndexFields, DBIOpenMode OpenMode, DBIShareMode ShareMode,
                       hDBICur& hCur);
DBIResult DbiCloseCursor(hDBICur& hCur);

// Runs SQL with parameters bound in order (":name" and "?" placeholders by
// position; DBIValue names are not used). A statement that returns rows gives
// a cursor (hCur; nullptr otherwise). With RequestLive, a simple single-table
// "SELECT * | col, ... FROM table [WHERE ...] [ORDER BY col, ...]" gives a live
// cursor over the table (Live = true); other results are read-only copies.
// RowsAffected: changed rows of INSERT/UPDATE/DELETE, else 0.
DBIResult DbiQExec(hDBIDb hDb, const std::string& SQL, const std::vector<DBIValue>& Params, bool RequestLive,
                   hDBICur& hCur, int64_t& RowsAffected, bool& Live);

DBIResult DbiGetCursorProps(hDBICur hCur, CURProps& Props);
DBIResult DbiGetFieldDescs(hDBICur hCur, std::vector<FLDDesc>& Fields);
DBIResult DbiGetIndexDescs(hDBICur hCur, std::vector<IDXDesc>& Indexes);
DBIResult DbiGetLdObj(hDBICur hCur, TLocale& Locale);
// The cursor's database.
DBIResult DbiGetCursorDb(hDBICur hCur, hDBIDb& hDb);

// Changes the order. With KeepCurrent the cursor stays on the record it was
// on; else it goes before the first record.
DBIResult DbiSwitchToIndex(hDBICur hCur, const std::string& IndexName, const std::string& IndexFields,
                           bool KeepCurrent);

// Positioning. The cursor sits on a record, before the first (BOF), after the
// last (EOF), or on a crack where a deleted record was.
DBIResult DbiSetToBegin(hDBICur hCur);
DBIResult DbiSetToEnd(hDBICur hCur);
// Reads the next/prior visible record into RecBuf (may be nullptr) and makes
// it current; DBIERR_EOF/DBIERR_BOF at the ends (the cursor then sits at EOF/BOF).
DBIResult DbiGetNextRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props);
DBIResult DbiGetPriorRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props);
// Moves Offset visible records (negative = backward) and reads that record.
DBIResult DbiGetRelativeRecord(hDBICur hCur, int64_t Offset, uint8_t* RecBuf, RECProps* Props);
// Reads the current record (DBIERR_NOCURRREC off a record). Re-reads from the
// file, so changes by other cursors show.
DBIResult DbiGetRecord(hDBICur hCur, uint8_t* RecBuf, RECProps* Props);
// Visible records (filters and range applied). Counted once; kept until the
// cursor's view or the data changes.
DBIResult DbiGetRecordCount(hDBICur hCur, int64_t& Count);
// 1-based position of the current record among the visible records;
// constant time after the first call while the data is unchanged.
DBIResult DbiGetSeqNo(hDBICur hCur, int64_t& SeqNo);
DBIResult DbiSetToSeqNo(hDBICur hCur, int64_t SeqNo);
// Drops cached counts and statements so the next read sees the file anew.
DBIResult DbiForceReread(hDBICur hCur);

// Record buffers.
// Blanks every field of RecBuf (null indicators set, data zeroed, trailer 0).
DBIResult DbiInitRecord(hDBICur hCur, uint8_t* RecBuf);
// Copies field FieldNo (1-based) out of RecBuf in its native layout into Dest
// (may be nullptr to ask only for Blank). Blank tells whether it is null.
DBIResult DbiGetField(hDBICur hCur, uint16_t FieldNo, const uint8_t* RecBuf, void* Dest, bool& Blank);
// Writes Src (native layout; nullptr = blank) into field FieldNo of RecBuf.
DBIResult DbiPutField(hDBICur hCur, uint16_t FieldNo, uint8_t* RecBuf, const void* Src);
// Appends RecBuf as a new record (autoincrement fields assigned and written
// back into RecBuf with the new row identifier) and makes it current.
DBIResult DbiInsertRecord(hDBICur hCur, uint8_t* RecBuf);
// Replaces the current record with RecBuf; it stays current.
DBIResult DbiModifyRecord(hDBICur hCur, const uint8_t* RecBuf);
// Deletes the current record; the cursor sits on its crack, so the next
// DbiGetNextRecord reads the record that followed it.
DBIResult DbiDeleteRecord(hDBICur hCur);
// Deletes every record of the cursor's table.
DBIResult DbiEmptyCursorTable(hDBICur hCur);
// Writes pending changes to the file. The engine writes through on every
// change (or at commit), so this has nothing to flush and reports success.
DBIResult DbiSaveChanges(hDBICur hCur);

// Blobs of the record in RecBuf. Reads come from pending writes made through
// this RecBuf, else from the stored record (the row identifier in the trailer).
// Writes are kept with the cursor, keyed by (RecBuf, FieldNo), until
// DbiInsertRecord/DbiModifyRecord with the same RecBuf stores them or
// DbiFreeBlob drops them.
DBIResult DbiGetBlobSize(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo, int64_t& Size);
DBIResult DbiGetBlob(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo, int64_t Offset, int64_t Len,
                     void* Dest, int64_t& Read);
DBIResult DbiPutBlob(hDBICur hCur, uint8_t* RecBuf, uint16_t FieldNo, int64_t Offset, int64_t Len,
                     const void* Src);
DBIResult DbiTruncateBlob(hDBICur hCur, uint8_t* RecBuf, uint16_t FieldNo, int64_t Len);
DBIResult DbiFreeBlob(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo);

// Bookmarks: CURProps::iBookMarkSize bytes (the row identifier). They stay
// valid while other records are edited, inserted or deleted.
enum CMPBkMkRslt : int8_t { CMPLess = -1, CMPEql = 0, CMPGtr = 1, CMPKeyEql = 2 };
DBIResult DbiGetBookMark(hDBICur hCur, uint8_t* BookMark);
DBIResult DbiSetToBookMark(hDBICur hCur, const uint8_t* BookMark);
// Order of two bookmarks in the current order (row order for equal keys).
DBIResult DbiCompareBookMarks(hDBICur hCur, const uint8_t* BookMark1, const uint8_t* BookMark2,
                              CMPBkMkRslt& Result);
// Valid: the record still exists and is visible (filters, range).
DBIResult DbiBookMarkValid(hDBICur hCur, const uint8_t* BookMark, bool& Valid);

// Keys. A key is given as a record buffer with the current order's first
// FieldCount fields set (0 = all of them). String keys compare byte by byte
// (case-insensitively for a case-insensitive index), so a value padded with
// the byte 255 sorts after every text that starts with it.
enum DBISearchCond : uint8_t { keySEARCHEQ = 0, keySEARCHGT = 1, keySEARCHGEQ = 2 };
// Positions the cursor just before the first record meeting Cond, so that
// DbiGetNextRecord reads it. DBIERR_RECNOTFOUND: none (the cursor sits at EOF).
DBIResult DbiSetToKey(hDBICur hCur, DBISearchCond Cond, const uint8_t* KeyBuf, uint16_t FieldCount);
// Finds the first record equal to the key and makes it current, reading it
// into RecBuf (may be nullptr). DBIERR_RECNOTFOUND when there is none (the
// position is kept).
DBIResult DbiGetRecordForKey(hDBICur hCur, const uint8_t* KeyBuf, uint16_t FieldCount, uint8_t* RecBuf,
                             RECProps* Props);
// Restricts the cursor to the records between two keys of the current order
// (each a record buffer with the first N fields set, nullptr = open end),
// inclusive or exclusive per end; the cursor goes before the first record.
DBIResult DbiSetRange(hDBICur hCur, uint16_t LowFields, const uint8_t* LowKey, bool LowIncl, uint16_t HighFields,
                      const uint8_t* HighKey, bool HighIncl);
DBIResult DbiResetRange(hDBICur hCur);

// ---------------------------------------------------------------------------
// Filters.
//
// A cursor holds any number of filters; each is an expression (a compiled
// TFilterExpr, shared with the caller) or a record callback. Filters are added
// inactive. A record is visible when every active filter passes it. Filters
// run in this order: priority ascending, then the order they were added; the
// first filter that rejects a record stops the others (short-circuit), so a
// callback after a rejecting filter is not called for that record. The
// leading run of expressions SQLite can evaluate (all of them when there is no
// callback) becomes part of the cursor's SQL WHERE clause; from the first
// callback on, the filters run per fetched record in the order above.
// CanAbort is recorded; a callback cannot abort the walk here.
using pfGENFilter = int (*)(uintptr_t ClientData, const uint8_t* RecBuf, int32_t PhyRecNo);
// Expr (from TExprParser::FilterData or TFilterExpr::Compile) must have been
// compiled against this cursor's fields; the engine keeps its own reference.
DBIResult DbiAddFilter(hDBICur hCur, uintptr_t ClientData, uint16_t Priority, bool CanAbort,
                       const TFilterExpr* Expr, pfGENFilter Callback, hDBIFilter& hFilter);
// Activate/deactivate one filter (hFilter) or, with nullptr, all of the cursor's.
DBIResult DbiActivateFilter(hDBICur hCur, hDBIFilter hFilter);
DBIResult DbiDeactivateFilter(hDBICur hCur, hDBIFilter hFilter);
DBIResult DbiDropFilter(hDBICur hCur, hDBIFilter hFilter);

// ---------------------------------------------------------------------------
// Stored procedures: named, parameterised SQL stored in an SQLITE database.
// The SQL names its parameters ":Name". A procedure whose SQL returns rows
// gives a cursor; output, input/output and result parameters take the values
// of the first row's columns of the same name (case ignored).

enum STMTParamType : uint8_t { paramUNKNOWN = 0, paramIN = 1, paramOUT = 2, paramINOUT = 3, paramRET = 4 };
struct SPParamDesc {
    std::string szName;
    uint16_t iFldType = fldZSTRING;
    uint16_t iSubType = fldstNONE;
    int32_t iUnits1 = 0;
    int32_t iUnits2 = 0;
    STMTParamType eParamType = paramIN;
};
struct SPDesc {
    std::string szName;
    std::string szSQL;
    std::vector<SPParamDesc> Params;
};
DBIResult DbiCreateSP(hDBIDb hDb, const SPDesc& Desc, bool Overwrite);
DBIResult DbiDropSP(hDBIDb hDb, const std::string& Name);
DBIResult DbiGetSPNames(hDBIDb hDb, std::vector<std::string>& Names);
DBIResult DbiGetSPDesc(hDBIDb hDb, const std::string& Name, SPDesc& Desc);
// Values: one per declared parameter, in order; input values are read, output
// values written. hCur: the rows, or nullptr when the SQL returns none.
DBIResult DbiExecSP(hDBIDb hDb, const std::string& Name, std::vector<DBIValue>& Values, hDBICur& hCur,
                    int64_t& RowsAffected);

// ---------------------------------------------------------------------------
// System information. Every value describes this engine truthfully.

struct SYSInfo {
    int32_t iBufferSpace = 0;      // KB of SQLite page cache in use
    int32_t iHeapSpace = 0;        // KB of memory SQLite holds
    int32_t iDrivers = 0;          // 2
    int32_t iClients = 0;          // 1 (this process)
    int32_t iSessions = 0;         // sessions started and not closed
    int32_t iDatabases = 0;        // open databases
    int32_t iCursors = 0;          // open cursors
};
struct CLIENTInfo {
    std::string szName;            // the program's name
    int32_t iSessions = 0;
    std::string szWorkDir;         // current directory
    std::string szLang;            // "UTF-8"
};
struct SYSConfig {
    bool bLocalShare = true;       // tables may be shared with other processes (file locks)
    int32_t iNetProtocol = 0;      // none
    bool bNetShare = false;
    std::string szNetType;         // "None"
    std::string szUserName;        // the login name
    std::string szIniFile;         // the configuration file's path
    std::string szLangDriver;      // "UTF-8"
};
struct SYSVersion {
    uint16_t iVersion = 0;         // engine version, major*100 + minor
    uint16_t iIntfLevel = 0;       // interface level
    double dateVer = 0;            // TDateTime of the engine's release date
    double timeVer = 0;            // TDateTime fraction of its release time
    std::string szSQLiteVersion;   // the SQLite library in use
};
DBIResult DbiGetSysInfo(SYSInfo& Info);
DBIResult DbiGetClientInfo(CLIENTInfo& Info);
DBIResult DbiGetSysConfig(SYSConfig& Config);
DBIResult DbiGetSysVersion(SYSVersion& Version);
// The operating-system login name (getpwuid of the real user id, else
// getlogin, else $USER).
DBIResult DbiGetNetUserName(std::string& UserName);
// The same into a buffer of at least DBIMAXNAMELEN + 1 bytes (truncated, NUL-terminated).
DBIResult DbiGetNetUserName(char* UserName);

// Character conversion between the engine and the application: both are
// UTF-8, so this copies Len bytes.
void NativeToAnsiBuf(TLocale Locale, const char* Source, char* Dest, size_t Len);
void AnsiToNativeBuf(TLocale Locale, const char* Source, char* Dest, size_t Len);

// ---------------------------------------------------------------------------
// Failure injection for tests: the Nth call (1-based, counted from now) of the
// engine function named Function ("DbiGetSysInfo", "DbiAddFilter", ...) fails
// with Code without doing anything. Several may be pending.
void DbiInjectFailure(const std::string& Function, int Nth, DBIResult Code);
void DbiClearInjectedFailures();

}  // namespace host
