// Engine error texts, the last-failure record, EDBEngineError and Check.
#include "host/db/dbierrors.h"

#include <cstdio>
#include <cstring>

namespace host {

namespace {

struct ErrorText {
    DBIResult Code;
    const char* Text;
};

constexpr ErrorText kTexts[] = {
    {DBIERR_NOMEMORY, "Insufficient memory for this operation"},
    {DBIERR_SYSFILEIO, "I/O error on a system file"},
    {DBIERR_BOF, "At beginning of table"},
    {DBIERR_EOF, "At end of table"},
    {DBIERR_RECMOVED, "Record moved because key value changed"},
    {DBIERR_KEYORRECDELETED, "Record/Key deleted"},
    {DBIERR_NOCURRREC, "No current record"},
    {DBIERR_RECNOTFOUND, "Could not find record"},
    {DBIERR_ENDOFBLOB, "End of BLOB"},
    {DBIERR_OBJNOTFOUND, "Could not find object"},
    {DBIERR_NOSUCHTABLE, "Table does not exist"},
    {DBIERR_NOSUCHINDEX, "Index does not exist"},
    {DBIERR_NOSUCHFILE, "Could not find file"},
    {DBIERR_UNKNOWNDB, "Unknown database"},
    {DBIERR_OBJNOTFOUND_ALIAS, "Unknown alias"},
    {DBIERR_HEADERCORRUPT, "Corrupt table/index header"},
    {DBIERR_FILECORRUPT, "Corrupt file - other than header"},
    {DBIERR_READERR, "Read failure"},
    {DBIERR_WRITEERR, "Write failure"},
    {DBIERR_DIRNOACCESS, "Directory is not accessible"},
    {DBIERR_FILENOACCESS, "Cannot access file"},
    {DBIERR_TOOMANYFILTERS, "Too many filters"},
    {DBIERR_DBLIMIT, "Too many open tables in this database"},
    {DBIERR_KEYVIOL, "Key violation"},
    {DBIERR_REQDERR, "Field value required"},
    {DBIERR_FOREIGNKEYERR, "Master record missing"},
    {DBIERR_CONSTRAINTERR, "Constraint failed"},
    {DBIERR_OUTOFRANGE, "Number is out of range"},
    {DBIERR_INVALIDPARAM, "Invalid parameter"},
    {DBIERR_INVALIDFILENAME, "Invalid file name"},
    {DBIERR_NOSUCHFIELD, "Field does not exist"},
    {DBIERR_INVALIDHNDL, "Invalid handle to the function"},
    {DBIERR_INVALIDFIELDTYPE, "Invalid field type"},
    {DBIERR_INVALIDBOOKMARK, "Invalid bookmark"},
    {DBIERR_INVALIDFILTER, "Invalid filter"},
    {DBIERR_INVALIDINDEXNAME, "Invalid index name"},
    {DBIERR_TABLEREADONLY, "Table is read only"},
    {DBIERR_NOTABLESUPPORT, "Operation not applicable to this table"},
    {DBIERR_NAMEEXISTS, "Name already exists"},
    {DBIERR_ALIASEXISTS, "Alias already exists"},
    {DBIERR_LOCKED, "Record locked by another user"},
    {DBIERR_FILEBUSY, "Database is busy"},
    {DBIERR_FILELOCKED, "Table is busy"},
    {DBIERR_TABLELOCKED, "Table is locked"},
    {DBIERR_NOTSUFFTABLERIGHTS, "Insufficient table rights for operation"},
    {DBIERR_READONLYDB, "Database or file is read only"},
    {DBIERR_NOTABLEOPEN, "Table not open"},
    {DBIERR_ACTIVETRAN, "A user transaction is already in progress"},
    {DBIERR_NOACTIVETRAN, "No user transaction is currently in progress"},
    {DBIERR_NOTINITIALIZED, "Engine not initialized"},
    {DBIERR_NOTEXCLUSIVE, "Table must be opened exclusively"},
    {DBIERR_OSEACCES, "Permission denied"},
    {DBIERR_OSENOENT, "File or directory does not exist"},
    {DBIERR_QRYSYNTAX, "Invalid SQL statement"},
    {DBIERR_QRYEMPTY, "Query string is empty"},
    {DBIERR_NOTSUPPORTED, "Capability not supported"},
    {DBIERR_NOTIMPLEMENTED, "Not implemented yet"},
    {DBIERR_INVALIDCFGPARAM, "Invalid configuration parameter"},
    {DBIERR_UNKNOWNDRIVER, "Unknown driver"},
    {DBIERR_FILEEXISTS, "Table already exists"},
    {DBIERR_INJECTED, "Injected failure"},
    {DBIERR_SQLITE, "General SQL error"},
};

struct LastError {
    DBIResult Code = 0;
    std::string Message;
    int Native = 0;
};

LastError& Last() {
    thread_local LastError L;
    return L;
}

}  // namespace

std::string DbiErrorText(DBIResult Code) {
    for (const auto& T : kTexts)
        if (T.Code == Code) return T.Text;
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "Engine error $%04X", static_cast<unsigned>(Code));
    return Buf;
}

DBIResult DbiLastErrorCode() { return Last().Code; }
const std::string& DbiLastErrorMessage() { return Last().Message; }

namespace dbi {
void SetLastError(DBIResult Code, const std::string& Message, int Native) {
    Last().Code = Code;
    Last().Message = Message;
    Last().Native = Native;
}
int LastNative() { return Last().Native; }
}  // namespace dbi

EDBEngineError::EDBEngineError(DBIResult Code, std::string Msg, int NativeError) : EDatabaseError(Msg) {
    FError.ErrorCode = Code;
    FError.NativeError = NativeError;
    FError.Message = std::move(Msg);
}

bool EDBEngineError::InheritsFrom(const char* className) const noexcept {
    return std::strcmp(className, "EDBEngineError") == 0 || EDatabaseError::InheritsFrom(className);
}

const TDBError& EDBEngineError::Errors(int Index) const {
    if (Index != 0) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FError;
}

void DbiError(DBIResult Status) {
    if (Status == Last().Code && !Last().Message.empty()) throw EDBEngineError(Status, Last().Message, dbi::LastNative());
    throw EDBEngineError(Status, DbiErrorText(Status));
}

void Check(DBIResult Status) {
    if (Status != DBIERR_NONE) DbiError(Status);
}

}  // namespace host
