// The database engine's error codes, EDBEngineError carrying them, and Check.
#pragma once

#include <cstdint>
#include <string>

#include "host/rtl/exceptions.h"

namespace host {

// Every engine call returns a DBIResult: 0 (DBIERR_NONE) on success, else an
// error code built as category base + sub code, the classic engine's scheme.
using DBIResult = uint16_t;

inline constexpr DBIResult DBIERR_NONE = 0;

inline constexpr DBIResult ERRBASE_SYSTEM = 0x2100;
inline constexpr DBIResult ERRBASE_NOTFOUND = 0x2200;
inline constexpr DBIResult ERRBASE_DATACORRUPT = 0x2300;
inline constexpr DBIResult ERRBASE_IO = 0x2400;
inline constexpr DBIResult ERRBASE_LIMIT = 0x2500;
inline constexpr DBIResult ERRBASE_INTEGRITY = 0x2600;
inline constexpr DBIResult ERRBASE_INVALIDREQ = 0x2700;
inline constexpr DBIResult ERRBASE_LOCKCONFL = 0x2800;
inline constexpr DBIResult ERRBASE_SEC = 0x2900;
inline constexpr DBIResult ERRBASE_INVALIDCONTEXT = 0x2A00;
inline constexpr DBIResult ERRBASE_OS = 0x2B00;
inline constexpr DBIResult ERRBASE_QUERY = 0x2E00;
inline constexpr DBIResult ERRBASE_CAPABILITY = 0x3000;
inline constexpr DBIResult ERRBASE_CONFIG = 0x3100;
inline constexpr DBIResult ERRBASE_OTHER = 0x3300;
inline constexpr DBIResult ERRBASE_DRIVER = 0x3E00;

// System
inline constexpr DBIResult DBIERR_NOMEMORY = ERRBASE_SYSTEM + 0x01;
inline constexpr DBIResult DBIERR_SYSFILEIO = ERRBASE_SYSTEM + 0x03;
// Not found / cursor position
inline constexpr DBIResult DBIERR_BOF = ERRBASE_NOTFOUND + 0x01;
inline constexpr DBIResult DBIERR_EOF = ERRBASE_NOTFOUND + 0x02;
inline constexpr DBIResult DBIERR_RECMOVED = ERRBASE_NOTFOUND + 0x03;
inline constexpr DBIResult DBIERR_KEYORRECDELETED = ERRBASE_NOTFOUND + 0x04;
inline constexpr DBIResult DBIERR_NOCURRREC = ERRBASE_NOTFOUND + 0x05;
inline constexpr DBIResult DBIERR_RECNOTFOUND = ERRBASE_NOTFOUND + 0x06;
inline constexpr DBIResult DBIERR_ENDOFBLOB = ERRBASE_NOTFOUND + 0x07;
inline constexpr DBIResult DBIERR_OBJNOTFOUND = ERRBASE_NOTFOUND + 0x08;
inline constexpr DBIResult DBIERR_NOSUCHTABLE = ERRBASE_NOTFOUND + 0x0A;
inline constexpr DBIResult DBIERR_NOSUCHINDEX = ERRBASE_NOTFOUND + 0x0D;
inline constexpr DBIResult DBIERR_NOSUCHFILE = ERRBASE_NOTFOUND + 0x12;
inline constexpr DBIResult DBIERR_UNKNOWNDB = ERRBASE_NOTFOUND + 0x1D;
inline constexpr DBIResult DBIERR_OBJNOTFOUND_ALIAS = ERRBASE_NOTFOUND + 0x1E;
// Data corruption
inline constexpr DBIResult DBIERR_HEADERCORRUPT = ERRBASE_DATACORRUPT + 0x01;
inline constexpr DBIResult DBIERR_FILECORRUPT = ERRBASE_DATACORRUPT + 0x02;
// Input/output
inline constexpr DBIResult DBIERR_READERR = ERRBASE_IO + 0x01;
inline constexpr DBIResult DBIERR_WRITEERR = ERRBASE_IO + 0x02;
inline constexpr DBIResult DBIERR_DIRNOACCESS = ERRBASE_IO + 0x03;
inline constexpr DBIResult DBIERR_FILENOACCESS = ERRBASE_IO + 0x05;
// Limits
inline constexpr DBIResult DBIERR_TOOMANYFILTERS = ERRBASE_LIMIT + 0x1E;
inline constexpr DBIResult DBIERR_DBLIMIT = ERRBASE_LIMIT + 0x2A;
// Integrity
inline constexpr DBIResult DBIERR_KEYVIOL = ERRBASE_INTEGRITY + 0x01;
inline constexpr DBIResult DBIERR_REQDERR = ERRBASE_INTEGRITY + 0x04;
inline constexpr DBIResult DBIERR_FOREIGNKEYERR = ERRBASE_INTEGRITY + 0x05;
inline constexpr DBIResult DBIERR_CONSTRAINTERR = ERRBASE_INTEGRITY + 0x0A;
// Invalid request
inline constexpr DBIResult DBIERR_OUTOFRANGE = ERRBASE_INVALIDREQ + 0x01;
inline constexpr DBIResult DBIERR_INVALIDPARAM = ERRBASE_INVALIDREQ + 0x02;
inline constexpr DBIResult DBIERR_INVALIDFILENAME = ERRBASE_INVALIDREQ + 0x03;
inline constexpr DBIResult DBIERR_NOSUCHFIELD = ERRBASE_INVALIDREQ + 0x04;
inline constexpr DBIResult DBIERR_INVALIDHNDL = ERRBASE_INVALIDREQ + 0x06;
inline constexpr DBIResult DBIERR_INVALIDFIELDTYPE = ERRBASE_INVALIDREQ + 0x0A;
inline constexpr DBIResult DBIERR_INVALIDBOOKMARK = ERRBASE_INVALIDREQ + 0x1A;
inline constexpr DBIResult DBIERR_INVALIDFILTER = ERRBASE_INVALIDREQ + 0x3A;
inline constexpr DBIResult DBIERR_INVALIDINDEXNAME = ERRBASE_INVALIDREQ + 0x36;
inline constexpr DBIResult DBIERR_TABLEREADONLY = ERRBASE_INVALIDREQ + 0x0B;
inline constexpr DBIResult DBIERR_NOTABLESUPPORT = ERRBASE_INVALIDREQ + 0x60;
inline constexpr DBIResult DBIERR_NAMEEXISTS = ERRBASE_INVALIDREQ + 0x61;
inline constexpr DBIResult DBIERR_ALIASEXISTS = ERRBASE_INVALIDREQ + 0x62;
// Lock conflicts
inline constexpr DBIResult DBIERR_LOCKED = ERRBASE_LOCKCONFL + 0x01;
inline constexpr DBIResult DBIERR_FILEBUSY = ERRBASE_LOCKCONFL + 0x03;
inline constexpr DBIResult DBIERR_FILELOCKED = ERRBASE_LOCKCONFL + 0x04;
inline constexpr DBIResult DBIERR_TABLELOCKED = ERRBASE_LOCKCONFL + 0x05;
// Security
inline constexpr DBIResult DBIERR_NOTSUFFTABLERIGHTS = ERRBASE_SEC + 0x03;
inline constexpr DBIResult DBIERR_READONLYDB = ERRBASE_SEC + 0x0B;
// Invalid context
inline constexpr DBIResult DBIERR_NOTABLEOPEN = ERRBASE_INVALIDCONTEXT + 0x01;
inline constexpr DBIResult DBIERR_ACTIVETRAN = ERRBASE_INVALIDCONTEXT + 0x06;
inline constexpr DBIResult DBIERR_NOACTIVETRAN = ERRBASE_INVALIDCONTEXT + 0x07;
inline constexpr DBIResult DBIERR_NOTINITIALIZED = ERRBASE_INVALIDCONTEXT + 0x10;
inline constexpr DBIResult DBIERR_NOTEXCLUSIVE = ERRBASE_INVALIDCONTEXT + 0x11;
// Operating system
inline constexpr DBIResult DBIERR_OSEACCES = ERRBASE_OS + 0x05;
inline constexpr DBIResult DBIERR_OSENOENT = ERRBASE_OS + 0x02;
// Query
inline constexpr DBIResult DBIERR_QRYSYNTAX = ERRBASE_QUERY + 0x01;
inline constexpr DBIResult DBIERR_QRYEMPTY = ERRBASE_QUERY + 0x6E;
// Capability
inline constexpr DBIResult DBIERR_NOTSUPPORTED = ERRBASE_CAPABILITY + 0x04;
inline constexpr DBIResult DBIERR_NOTIMPLEMENTED = ERRBASE_CAPABILITY + 0x05;
// Configuration
inline constexpr DBIResult DBIERR_INVALIDCFGPARAM = ERRBASE_CONFIG + 0x03;
inline constexpr DBIResult DBIERR_UNKNOWNDRIVER = ERRBASE_CONFIG + 0x0A;
// Other
inline constexpr DBIResult DBIERR_FILEEXISTS = ERRBASE_OTHER + 0x01;
inline constexpr DBIResult DBIERR_INJECTED = ERRBASE_OTHER + 0x7F;
// Driver: a failure SQLite reported that fits no category above.
inline constexpr DBIResult DBIERR_SQLITE = ERRBASE_DRIVER + 0x01;

// The text for an error code ("At end of table", ...). Unknown codes give
// "Engine error $XXXX".
std::string DbiErrorText(DBIResult Code);

// The most recent failure of an engine call on this thread: its code and the
// full message (the code's text, and for SQLite failures SQLite's own message
// after it). Cleared by no call: read it right after the failing call.
DBIResult DbiLastErrorCode();
const std::string& DbiLastErrorMessage();

// One entry of an engine error, the framework's TDBError.
struct TDBError {
    DBIResult ErrorCode = 0;
    uint8_t Category() const { return static_cast<uint8_t>(ErrorCode >> 8); }
    uint8_t SubCode() const { return static_cast<uint8_t>(ErrorCode & 0xFF); }
    int NativeError = 0;  // SQLite's extended result code, 0 when none
    std::string Message;
};

// Raised for an engine failure: the code, SQLite's extended result code when
// SQLite failed, and the message (code text + SQLite's message).
class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(DBIResult Code, std::string Msg, int NativeError = 0);
    const char* ClassName() const noexcept override { return "EDBEngineError"; }
    bool InheritsFrom(const char* className) const noexcept override;

    int ErrorCount() const { return 1; }
    const TDBError& Errors(int Index) const;
    DBIResult ErrorCode() const { return FError.ErrorCode; }
    int NativeError() const { return FError.NativeError; }

private:
    TDBError FError;
};

// Raises EDBEngineError for a non-zero code. When the code is the last
// failure's code on this thread, the message is that failure's full message;
// otherwise the code's text.
void Check(DBIResult Status);
[[noreturn]] void DbiError(DBIResult Status);

}  // namespace host
