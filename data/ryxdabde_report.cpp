// The engine adapters' information reports: table, query and procedure sections, indexes, parameters, database, session and engine.
#include <string>

#include "data/ryxda_report.h"
#include "data/ryxdabde.h"
#include "frame/ryxnpcon.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace ryx {

namespace {

using host::LoadResString;
using report::TReportLines;

// An exception's message on one line: each run of line breaks becomes a blank.
std::string OneLine(const std::string& Message) {
    std::string Result;
    bool Break = false;
    for (char c : Message) {
        if (c == '\r' || c == '\n') {
            Break = true;
            continue;
        }
        if (Break && !Result.empty()) Result += ' ';
        Break = false;
        Result += c;
    }
    return Result;
}

// Adds every string of Strings as one line each.
void AddAll(TReportLines& r, const host::TStrings& Strings) {
    for (int i = 0; i < Strings.Count(); ++i) r.Line(Strings.Strings(i));
}

// The parameter report: the count, for a stored procedure its bind mode, then
// one block per parameter.
void ParamReport(host::TStrings* List, host::TParams* Params, int ParamCount, const host::TParamBindMode* BindMode) {
    TReportLines r(List);
    r.Line(_sryxnpiParams);
    r.Blank();
    r.SetLevel(1);
    r.Value(_sryxnpiParamCount, ParamCount);
    if (BindMode != nullptr) r.Value(_sryxnpiParamBindMode, ryxParamBindModeName(int(*BindMode)));
    r.SetLevel(2);
    for (int i = 0; i < Params->Count(); ++i) {
        const host::TParam* p = Params->Items(i);
        r.Blank();
        r.Value(_sryxnpiNameEq, p->Name());
        r.Value(_sryxnpiDataType, ryxnpFieldTypeName(int(p->DataType())));
        r.Value(_sryxnpiBound, p->Bound());
        r.Value(_sryxnpiIsNull, p->IsNull());
        r.Value(_sryxnpiParamType, ryxParamTypeName(int(p->ParamType())));
        r.Value(_sryxnpiText, p->AsString());
    }
    r.Blank();
}

// A line holding an engine error: the block's error text and the code.
std::string EngineError(const host::TResStringRec& Text, host::DBIResult Code) {
    return LoadResString(Text) + host::IntToStr(int64_t(Code));
}

}  // namespace

// ---------------------------------------------------------------------------
// TryxDBDatasetAdapter: database, session and engine.

void TryxDBDatasetAdapter::GetDatabaseInfo(host::TStrings* List) {
    TReportLines r(List);
    r.Line(_sryxnpiDatabase);
    r.SetLevel(1);
    host::TDatabase* db = DBDataset()->Database();
    if (db == nullptr) {
        r.Line(_sryxnpiDBNil);
        r.Blank();
        return;
    }
    r.Value(_sryxnpiDBCompName, db->Name());
    r.Value(_sryxnpiDBName, db->DatabaseName());
    r.Value(_sryxnpiAlias, db->AliasName());
    r.Value(_sryxnpiConnected, db->Connected());
    r.Value(_sryxnpiDSCount, db->DataSetCount());
    r.Value(_sryxnpiDriver, db->DriverName());
    r.Value(_sryxnpiSQLBased, db->IsSQLBased());
    r.Value(_sryxnpiKeepConn, db->KeepConnection());
    r.Value(_sryxnpiLogin, db->LoginPrompt());
    r.Value(_sryxnpiTemp, db->Temporary());
    r.Value(_sryxnpiTransIsol, ryxTransIsolationName(int(db->TransIsolation())));
    r.Blank();

    r.Line(_sryxnpiParams);
    r.SetLevel(2);
    if (db->Params()->Count() == 0)
        r.Line(_sryxnpiParamsEmpty);
    else
        AddAll(r, *db->Params());
    r.SetLevel(1);
    r.Blank();

    host::TSession* session = db->Session();
    r.Line(_sryxnpiTBNames);
    r.SetLevel(2);
    {
        host::TStringList names;
        session->GetTableNames(db->DatabaseName(), "", true, true, &names);
        AddAll(r, names);
    }
    r.SetLevel(1);
    r.Blank();

    r.Line(_sryxnpiSPNames);
    r.SetLevel(2);
    if (db->IsSQLBased()) {
        host::TStringList names;
        try {
            session->GetStoredProcNames(db->DatabaseName(), &names);
            AddAll(r, names);
        } catch (const host::Exception& E) {
            r.Line(OneLine(E.Message()));
        }
    } else {
        r.Line(_sryxnpiNotSupported);
    }
    r.SetLevel(1);
    r.Blank();

    if (!db->AliasName().empty()) {
        r.Line(_sryxnpiAliasParams);
        r.SetLevel(2);
        host::TStringList params;
        try {
            session->GetAliasParams(db->AliasName(), &params);
            AddAll(r, params);
        } catch (const host::Exception& E) {
            r.Line(OneLine(E.Message()));
        }
        r.SetLevel(1);
        r.Blank();
    }

    if (!db->DriverName().empty()) {
        r.Line(_sryxnpiDriverParams);
        r.SetLevel(2);
        host::TStringList params;
        try {
            session->GetDriverParams(db->DriverName(), &params);
            AddAll(r, params);
        } catch (const host::Exception& E) {
            r.Value(_sryxnpiException, OneLine(E.Message()));
        }
        r.Blank();
    }
    r.Blank();
}

void TryxDBDatasetAdapter::GetSessionInfo(host::TStrings* List) {
    host::TSession* session = DBDataset()->DBSession();
    TReportLines r(List);
    r.Line(_sryxnpiSession);
    r.SetLevel(1);
    r.Value(_sryxnpiDatabaseCount, session->DatabaseCount());
    r.Line(_sryxnpiDatabaseNames);
    r.SetLevel(2);
    {
        host::TStringList names;
        session->GetDatabaseNames(&names);
        AddAll(r, names);
    }
    r.SetLevel(1);
    r.Value(_sryxnpiKeepConnections, session->KeepConnections());
    r.Value(_sryxnpiNetFileDir, session->NetFileDir());
    r.Value(_sryxnpiPrivateDir, session->PrivateDir());
    r.Line(_sryxnpiBDEDriverNames);
    r.SetLevel(2);
    {
        host::TStringList names;
        session->GetDriverNames(&names);
        AddAll(r, names);
    }
    r.Blank();
}

void TryxDBDatasetAdapter::GetDBEngineInfo(host::TStrings* List) {
    TReportLines r(List);
    r.Line(_sryxnpiBDE);
    r.SetLevel(1);
    r.Blank();

    r.Line(_sryxnpiSysInfo);
    r.SetLevel(2);
    host::SYSInfo sys;
    if (const host::DBIResult rc = host::DbiGetSysInfo(sys); rc != host::DBIERR_NONE) {
        r.Line(EngineError(_sryxnpiDBIErrStatus, rc));
    } else {
        r.Value(_sryxnpiBufferSpace, int(sys.iBufferSpace));
        r.Value(_sryxnpiHeapSpace, int(sys.iHeapSpace));
        r.Value(_sryxnpiDrivers, int(sys.iDrivers));
        r.Value(_sryxnpiClients, int(sys.iClients));
        r.Value(_sryxnpiSessions, int(sys.iSessions));
        r.Value(_sryxnpiDatabases, int(sys.iDatabases));
        r.Value(_sryxnpiCursors, int(sys.iCursors));
    }
    r.SetLevel(1);
    r.Blank();

    r.Line(_sryxnpiClientInfo);
    r.SetLevel(2);
    host::CLIENTInfo client;
    if (const host::DBIResult rc = host::DbiGetClientInfo(client); rc != host::DBIERR_NONE) {
        r.Line(EngineError(_sryxnpiDBIErrClientStatus, rc));
    } else {
        r.Value(_sryxnpiNameEq, client.szName);
        r.Value(_sryxnpiSessions, int(client.iSessions));
        r.Value(_sryxnpiWorkDir, client.szWorkDir);
        r.Value(_sryxnpiLang, client.szLang);
    }
    r.SetLevel(1);
    r.Blank();

    r.Line(_sryxnpiConfigInfo);
    r.SetLevel(2);
    host::SYSConfig config;
    if (const host::DBIResult rc = host::DbiGetSysConfig(config); rc != host::DBIERR_NONE) {
        r.Line(EngineError(_sryxnpiDBIErrConfig, rc));
    } else {
        r.Value(_sryxnpiLocalShare, config.bLocalShare);
        r.Value(_sryxnpiNetProtocol, int(config.iNetProtocol));
        r.Value(_sryxnpiNetShare, config.bNetShare);
        r.Value(_sryxnpiNetType, config.szNetType);
        r.Value(_sryxnpiUserName, config.szUserName);
        r.Value(_sryxnpiIniFile, config.szIniFile);
        r.Value(_sryxnpiLangDriver, config.szLangDriver);
    }
    r.SetLevel(1);
    r.Blank();

    r.Line(_sryxnpiVersionInfo);
    r.SetLevel(2);
    host::SYSVersion version;
    if (const host::DBIResult rc = host::DbiGetSysVersion(version); rc != host::DBIERR_NONE) {
        r.Line(EngineError(_sryxnpiDBIErrSysVersion, rc));
    } else {
        r.Value(_sryxnpiEngineversion, int(version.iVersion));
        r.Value(_sryxnpiClientInterfacelevel, int(version.iIntfLevel));
        // The engine gives its release date and time as date-time values
        // (whole days and a day fraction): format them as such.
        r.Value(_sryxnpiVersiondate, host::DateToStr(version.dateVer));
        r.Value(_sryxnpiVersiontime, host::TimeToStr(version.timeVer));
    }
    r.Blank();
}

// ---------------------------------------------------------------------------
// TryxTableAdapter: table section and index report.

void TryxTableAdapter::GetDatasetInfo(host::TStrings* List) {
    TryxDBDatasetAdapter::GetDatasetInfo(List);
    host::TTable* t = Table();
    TReportLines r(List, 1);
    r.Line(_sryxnpiTableProps);
    r.Blank();
    r.SetLevel(2);
    r.Value(_sryxnpiTBName, t->TableName());
    r.Value(_sryxnpiTBType, ryxTableTypeName(int(t->TableType())));
    r.Value(_sryxnpiIxFieldCount, t->IndexFieldCount());
    // The key properties describe the key buffer being edited, which exists
    // only while the table is in dsSetKey.
    if (t->State() == host::dsSetKey) {
        r.Value(_sryxnpiKeyExcl, t->KeyExclusive());
        r.Value(_sryxnpiKeyFieldCount, t->KeyFieldCount());
    } else {
        r.Line(_sryxnpiNoKeyExcl);
        r.Line(_sryxnpiNoKeyFieldCount);
    }
    r.Value(_sryxnpiExcl, t->Exclusive());
    r.Value(_sryxnpiIndexFieldNames, t->IndexFieldNames());
    r.Value(_sryxnpiIndexName, t->IndexName());
    r.Value(_sryxnpiMasterFields, t->MasterFields());
    if (host::TDataSource* master = t->MasterSource())
        r.Value(_sryxnpiMasterSource, master->Name());
    else
        r.Line(_sryxnpiMasterSourceNil);
    r.Value(_sryxnpiReadOnly, t->ReadOnly());
    r.Value(_sryxnpiUpdateMode, ryxUpdateModeName(int(t->UpdateMode())));
    r.Blank();
}

void TryxTableAdapter::GetIndexInfo(host::TStrings* List) {
    host::TTable* t = Table();
    TReportLines r(List);
    r.Line(_sryxnpiIndexes);
    r.Blank();
    r.SetLevel(1);
    t->IndexDefs()->Update();
    r.Value(_sryxnpiCurrentIndexName, t->IndexName());
    r.Value(_sryxnpiCurrentIndexFieldNames, t->IndexFieldNames());
    r.Blank();
    r.Line(_sryxnpiCurrentIndexDefs);
    r.Blank();
    r.SetLevel(2);
    host::TIndexDefs* defs = t->IndexDefs();
    if (defs->Count() == 0) {
        r.Line(_sryxnpiNoIndexDefs);
        r.Blank();
        return;
    }
    static const struct {
        host::TIndexOption Option;
        const host::TResStringRec* Name;
    } kOptionNames[] = {{host::ixPrimary, &_sryxnpiixPrimary},
                        {host::ixUnique, &_sryxnpiixUnique},
                        {host::ixDescending, &_sryxnpiixDescending},
                        {host::ixCaseInsensitive, &_sryxnpiixCaseInsensitive},
                        {host::ixExpression, &_sryxnpiixExpression}};
    for (int i = 0; i < defs->Count(); ++i) {
        const host::TIndexDef* def = defs->Items(i);
        r.Value(_sryxnpiNameEq, def->Name());
        r.Value(_sryxnpiExpression, def->Expression());
        r.Value(_sryxnpiFieldsEq, def->Fields());
        std::string options;
        for (const auto& o : kOptionNames)
            if (def->Options().Contains(o.Option)) options += LoadResString(_sryxnpiSep) + LoadResString(*o.Name);
        if (!options.empty())
            options = LoadResString(_sryxnpiLeftBr) + options.substr(LoadResString(_sryxnpiSep).size()) +
                      LoadResString(_sryxnpiRightBr);
        r.Value(_sryxnpiOptions, options);
        r.Blank();
    }
    r.Blank();
}

// ---------------------------------------------------------------------------
// TryxQueryAdapter: query section and parameter report.

void TryxQueryAdapter::GetDatasetInfo(host::TStrings* List) {
    TryxDBDatasetAdapter::GetDatasetInfo(List);
    host::TQuery* q = Query();
    TReportLines r(List, 1);
    r.Line(_sryxnpiQueryProps);
    r.Blank();
    r.SetLevel(2);
    r.Line(_sryxnpiSQL);
    r.SetLevel(3);
    AddAll(r, *q->SQL());
    r.SetLevel(2);
    r.Blank();

    r.Line(_sryxnpiSQLText);
    r.SetLevel(3);
    const std::string text = q->Text();
    if (!text.empty()) {
        host::TStringList lines;
        lines.SetText(text);
        AddAll(r, lines);
    } else {
        r.Line(_sryxnpiTextEmpty);
    }
    r.SetLevel(2);
    r.Blank();

    if (host::TDataSource* src = q->DataSource())
        r.Value(_sryxnpiDSEq, src->Name());
    else
        r.Line(_sryxnpiDSNil);
    r.Value(_sryxnpiLocal, q->Local());
    r.Value(_sryxnpiParamCount, q->ParamCount());
    r.Value(_sryxnpiPrepared, q->Prepared());
    r.Value(_sryxnpiRequestLive, q->RequestLive());
    r.Value(_sryxnpiUniDirectional, q->UniDirectional());
    r.Value(_sryxnpiUpdateMode, ryxUpdateModeName(int(q->UpdateMode())));
    r.Blank();
}

void TryxQueryAdapter::GetParamInfo(host::TStrings* List) {
    ParamReport(List, Query()->Params(), Query()->ParamCount(), nullptr);
}

// ---------------------------------------------------------------------------
// TryxStoredProcAdapter: procedure section and parameter report with bind mode.

void TryxStoredProcAdapter::GetDatasetInfo(host::TStrings* List) {
    TryxDBDatasetAdapter::GetDatasetInfo(List);
    host::TStoredProc* sp = StoredProc();
    TReportLines r(List, 1);
    r.Line(_sryxnpiSPProps);
    r.Blank();
    r.SetLevel(2);
    r.Value(_sryxnpiSPName, sp->StoredProcName());
    r.Value(_sryxnpiDescAvail, sp->DescriptionsAvailable());
    r.Value(_sryxnpiOverload, int(sp->Overload()));
    r.Value(_sryxnpiParamBindMode, ryxParamBindModeName(int(sp->ParamBindMode())));
    r.Value(_sryxnpiParamCount, sp->ParamCount());
    r.Value(_sryxnpiPrepared, sp->Prepared());
}

void TryxStoredProcAdapter::GetParamInfo(host::TStrings* List) {
    const host::TParamBindMode mode = StoredProc()->ParamBindMode();
    ParamReport(List, StoredProc()->Params(), StoredProc()->ParamCount(), &mode);
}

}  // namespace ryx
