// TDatabase, TSession and the session list: connections, transactions, aliases and the engine's lists.
#include <algorithm>

#include "host/db/dbtables.h"
#include "host/db/dbtables_internal.h"
#include "host/db/sqlparams.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace dbtables;

namespace {

TLoginDialogProc& LoginDialog() {
    static TLoginDialogProc proc;
    return proc;
}

// "NAME=VALUE" lines of a string list as engine parameters.
TDbiParams ParamsOf(TStrings* List) {
    TDbiParams out;
    if (List == nullptr) return out;
    for (int i = 0; i < List->Count(); ++i) {
        const std::string line = List->Strings(i);
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        out.emplace_back(Trim(line.substr(0, eq)), line.substr(eq + 1));
    }
    return out;
}

void SetParam(TDbiParams& Params, const std::string& Name, const std::string& Value) {
    for (auto& p : Params)
        if (SameText(p.first, Name)) {
            p.second = Value;
            return;
        }
    Params.emplace_back(Name, Value);
}

void ListParams(const TDbiParams& Params, TStrings* List) {
    List->BeginUpdate();
    List->Clear();
    for (const auto& p : Params) List->Add(p.first + "=" + p.second);
    List->EndUpdate();
}

void ListNames(std::vector<std::string> Names, TStrings* List) {
    std::sort(Names.begin(), Names.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    Names.erase(std::unique(Names.begin(), Names.end(), [](const std::string& a, const std::string& b) { return SameText(a, b); }),
                Names.end());
    List->BeginUpdate();
    List->Clear();
    for (const auto& n : Names) List->Add(n);
    List->EndUpdate();
}

bool CfgAliasExists(const std::string& Name) {
    std::string driver;
    return DbiCfgGetAliasDriver(Name, driver) == DBIERR_NONE;
}

// True while the session list is alive (it goes at process exit).
bool gSessionListAlive = false;

}  // namespace

void SetLoginDialogProc(TLoginDialogProc Proc) { LoginDialog() = std::move(Proc); }

// ---------------------------------------------------------------------------
// TDatabase

TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner), FParams(std::make_unique<TStringList>()) {
    AttachSession();
}

TDatabase::~TDatabase() {
    Destroying();
    try {
        Close();
    } catch (...) {
    }
    // Datasets still pointing here (closed ones) forget this database.
    for (TDBDataSet* ds : std::vector<TDBDataSet*>(FDataSets))
        if (ds->FDatabase == this) ds->FDatabase = nullptr;
    FDataSets.clear();
    if (FSession != nullptr && gSessionListAlive) FSession->RemoveDatabase(this);
}

void TDatabase::AttachSession() {
    TSession* s = FSessionName.empty() ? DefaultSession() : Sessions->FindSession(FSessionName);
    if (s == nullptr) DatabaseError("Session '" + FSessionName + "' not found", this);
    if (s == FSession) return;
    if (FSession != nullptr) FSession->RemoveDatabase(this);
    FSession = s;
    FSession->AddDatabase(this);
}

void TDatabase::SetSessionName(const std::string& Value) {
    if (Value == FSessionName) return;
    CheckInactive();
    const std::string old = FSessionName;
    FSessionName = Value;
    if (ComponentState().Contains(csLoading)) return;
    try {
        AttachSession();
    } catch (...) {
        FSessionName = old;
        throw;
    }
}

void TDatabase::CheckActive() const {
    if (FHandle == nullptr) DatabaseError("Cannot perform this operation on a closed database", const_cast<TDatabase*>(this));
}

void TDatabase::CheckInactive() const {
    if (FHandle != nullptr) DatabaseError("Cannot perform this operation on an open database", const_cast<TDatabase*>(this));
}

void TDatabase::CheckDatabaseName() const {
    if (Trim(FDatabaseName).empty()) DatabaseError("Missing DatabaseName property", const_cast<TDatabase*>(this));
}

void TDatabase::ValidateName(const std::string& Name) {
    if (Name.empty() || FSession == nullptr) return;
    TDatabase* other = FSession->FindDatabase(Name);
    if (other == nullptr || other == this) return;
    // An idle temporary connection gives its name up.
    if (!other->Temporary() || other->FRefCount != 0 || !other->FDataSets.empty())
        DatabaseError("Duplicate database name '" + Name + "'", this);
    delete other;
}

void TDatabase::SetDatabaseName(const std::string& Value) {
    if (Value == FDatabaseName) return;
    CheckInactive();
    if (!ComponentState().Contains(csLoading)) ValidateName(Value);
    FDatabaseName = Value;
}

void TDatabase::SetAliasName(const std::string& Value) {
    CheckInactive();
    FAliasName = Value;
    if (!Value.empty()) FDriverName.clear();
}

const std::string& TDatabase::DriverName() const { return FDriverName; }

void TDatabase::SetDriverName(const std::string& Value) {
    CheckInactive();
    FDriverName = Value;
    if (!Value.empty()) FAliasName.clear();
}

TStrings* TDatabase::Params() const { return FParams.get(); }

void TDatabase::SetParams(TStrings* Value) { FParams->Assign(Value); }

void TDatabase::SetKeepConnection(bool Value) {
    FKeepConnection = Value;
    if (!Value && FRefCount == 0 && FDataSets.empty() && !ComponentState().Contains(csLoading)) Close();
}

void TDatabase::SetTransIsolation(TTransIsolation Value) {
    if (InTransaction()) DatabaseError("Cannot change the isolation level of a transaction in progress", this);
    FTransIsolation = Value;
}

void TDatabase::SetReadOnly(bool Value) {
    CheckInactive();
    FReadOnly = Value;
}

std::string TDatabase::Directory() const {
    if (FHandle != nullptr) {
        DBDesc d;
        if (DbiGetDatabaseDesc(FHandle, d) == DBIERR_NONE) return d.szPath;
    }
    return FParams->Values("PATH");
}

void TDatabase::SetDirectory(const std::string& Value) {
    CheckInactive();
    FParams->SetValues("PATH", Value);
}

TDBDataSet* TDatabase::DataSets(int Index) const {
    if (Index < 0 || Index >= int(FDataSets.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FDataSets[size_t(Index)];
}

void TDatabase::AddDataSet(TDBDataSet* DataSet) {
    if (std::find(FDataSets.begin(), FDataSets.end(), DataSet) == FDataSets.end()) FDataSets.push_back(DataSet);
}

void TDatabase::RemoveDataSet(TDBDataSet* DataSet) {
    FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), DataSet), FDataSets.end());
}

void TDatabase::ResolveConnection(std::string& Driver, TDbiParams& Params) const {
    Params.clear();
    std::string alias = FAliasName;
    if (alias.empty() && FDriverName.empty() && FSession != nullptr) {
        // A dataset's DatabaseName may name an alias directly.
        if (FSession->FindSessionAlias(FDatabaseName) != nullptr || CfgAliasExists(FDatabaseName)) alias = FDatabaseName;
    }
    if (!alias.empty()) {
        if (auto* a = FSession != nullptr ? FSession->FindSessionAlias(alias) : nullptr) {
            Driver = a->Driver;
            Params = a->Params;
        } else {
            Check(DbiCfgGetAliasDriver(alias, Driver));
            Check(DbiCfgGetAliasParams(alias, Params));
            Params.erase(std::remove_if(Params.begin(), Params.end(),
                                        [](const auto& p) { return SameText(p.first, "DRIVER"); }),
                         Params.end());
        }
    } else if (!FDriverName.empty()) {
        Driver = FDriverName;
    } else {
        // A directory of local tables, or one database file (a name with an extension).
        CheckDatabaseName();
        const bool isFile = !DirectoryExists(FDatabaseName) && !ExtractFileExt(FDatabaseName).empty();
        Driver = isFile ? "SQLITE" : "STANDARD";
        Params.emplace_back("PATH", FDatabaseName);
    }
    for (const auto& p : ParamsOf(FParams.get())) SetParam(Params, p.first, p.second);
    if (FReadOnly) SetParam(Params, "OPEN MODE", "READ ONLY");
}

void TDatabase::Login(std::string& Driver, TDbiParams& Params) {
    (void)Driver;
    TStringList login;
    login.Add("USER NAME=" + DbiParamValue(Params, "USER NAME"));
    login.Add("PASSWORD=" + DbiParamValue(Params, "PASSWORD"));
    if (OnLogin.Assigned()) {
        OnLogin(this, &login);
    } else if (LoginDialog()) {
        std::string user = login.Values("USER NAME"), password = login.Values("PASSWORD");
        if (!LoginDialog()(FDatabaseName, user, password))
            DatabaseError("Cannot connect to database '" + FDatabaseName + "'", this);
        login.SetValues("USER NAME", user);
        login.SetValues("PASSWORD", password);
    } else {
        return;  // nobody to ask, and the drivers need no password
    }
    for (const auto& p : ParamsOf(&login)) SetParam(Params, p.first, p.second);
}

void TDatabase::Open() {
    if (FHandle != nullptr) return;
    BeforeConnect(this);
    std::string driver;
    TDbiParams params;
    ResolveConnection(driver, params);
    if (FLoginPrompt && !SameText(driver, "STANDARD")) Login(driver, params);
    hDBIDb h = nullptr;
    Check(DbiOpenDatabase(driver, params, h));
    DBDesc desc;
    if (DbiGetDatabaseDesc(h, desc) == DBIERR_NONE) FSQLBased = desc.bSQLBased;
    else FSQLBased = !SameText(driver, "STANDARD");
    FHandle = h;
    AfterConnect(this);
}

void TDatabase::Close() {
    if (FHandle == nullptr) return;
    BeforeDisconnect(this);
    CloseDataSets();
    if (InTransaction() && FXact != nullptr) DbiEndTran(FHandle, FXact, xendABORT);
    FXact = nullptr;
    DbiCloseDatabase(FHandle);
    FHandle = nullptr;
    AfterDisconnect(this);
}

void TDatabase::SetConnected(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedConnected = Value;
        return;
    }
    if (Value) Open();
    else Close();
}

void TDatabase::Loaded() {
    inherited::Loaded();
    try {
        if (!FSessionName.empty()) AttachSession();
        if (FStreamedConnected) Open();
    } catch (const Exception&) {
        if (ComponentState().Contains(csDesigning)) return;
        throw;
    }
}

void TDatabase::CloseDataSets() {
    for (TDBDataSet* ds : std::vector<TDBDataSet*>(FDataSets)) ds->Close();
}

bool TDatabase::InTransaction() const {
    if (FHandle == nullptr) return false;
    bool in = false;
    return DbiInTransaction(FHandle, in) == DBIERR_NONE && in;
}

bool TDatabase::IsSQLBased() const {
    if (FHandle != nullptr) return FSQLBased;
    std::string driver;
    TDbiParams params;
    try {
        ResolveConnection(driver, params);
    } catch (const Exception&) {
        return false;
    }
    return !SameText(driver, "STANDARD");
}

void TDatabase::StartTransaction() {
    CheckActive();
    if (InTransaction()) DatabaseError("Attempt to nest a transaction", this);
    for (TDBDataSet* ds : FDataSets)
        if (ds->Active()) ds->CheckBrowseMode();
    Check(DbiBeginTran(FHandle, eXILType(FTransIsolation), FXact));
}

void TDatabase::Commit() {
    CheckActive();
    if (!InTransaction()) DatabaseError("No transaction is active", this);
    for (TDBDataSet* ds : FDataSets)
        if (ds->Active()) ds->CheckBrowseMode();
    Check(DbiEndTran(FHandle, FXact, xendCOMMIT));
    FXact = nullptr;
}

void TDatabase::Rollback() {
    CheckActive();
    if (!InTransaction()) DatabaseError("No transaction is active", this);
    for (TDBDataSet* ds : FDataSets)
        if (ds->Active()) ds->Cancel();
    Check(DbiEndTran(FHandle, FXact, xendABORT));
    FXact = nullptr;
    // The open datasets show the data as it is again.
    for (TDBDataSet* ds : std::vector<TDBDataSet*>(FDataSets))
        if (ds->Active()) ds->FetchAll();
}

int TDatabase::Execute(const std::string& SQL, TParams* Params) {
    Open();
    std::vector<DBIValue> values;
    const auto names = SqlParamNames(SQL);
    for (size_t i = 0; i < names.size(); ++i) {
        TParam* p = Params != nullptr ? Params->FindParam(names[i]) : nullptr;
        if (p == nullptr && Params != nullptr && int(i) < Params->Count()) p = Params->Items(int(i));
        if (p == nullptr) DatabaseError("No value for parameter '" + names[i] + "'", this);
        values.push_back(ParamToValue(p));
    }
    hDBICur cur = nullptr;
    int64_t rows = 0;
    bool live = false;
    Check(DbiQExec(FHandle, ReplaceSqlParams(SQL), values, false, cur, rows, live));
    if (cur != nullptr) DbiCloseCursor(cur);
    return int(rows);
}

// ---------------------------------------------------------------------------
// TSession

TSession::TSession(TComponent* AOwner) : TComponent(AOwner) {
    if (gSessionListAlive) SessionList()->Add(this);
}

TSession::~TSession() {
    Destroying();
    // The temporary databases belong to the session; the others are only told.
    for (TDatabase* db : std::vector<TDatabase*>(FDatabases)) {
        try {
            db->Close();
        } catch (...) {
        }
        db->FSession = nullptr;
    }
    FDatabases.clear();
    if (FHandle != nullptr) DbiCloseSession(FHandle);
    if (gSessionListAlive) SessionList()->Remove(this);
}

void TSession::SetActive(bool Value) {
    if (Value) Open();
    else Close();
}

void TSession::Open() {
    if (FHandle != nullptr) return;
    Check(DbiStartSession(FSessionName, FHandle));
    OnStartup(this);
}

void TSession::Close() {
    if (FHandle == nullptr) return;
    for (TDatabase* db : std::vector<TDatabase*>(FDatabases)) {
        db->Close();
        if (db->Temporary()) delete db;
    }
    DbiCloseSession(FHandle);
    FHandle = nullptr;
}

hDBISes TSession::Handle() {
    Open();
    return FHandle;
}

void TSession::SetSessionName(const std::string& Value) {
    if (Value == FSessionName) return;
    if (Active()) DatabaseError("Cannot perform this operation on an active session", this);
    if (!Value.empty() && gSessionListAlive) {
        TSession* other = SessionList()->FindSession(Value);
        if (other != nullptr && other != this) DatabaseError("Duplicate session name '" + Value + "'", this);
    }
    FSessionName = Value;
}

void TSession::SetAutoSessionName(bool Value) {
    FAutoSessionName = Value;
    if (Value && FSessionName.empty()) {
        for (int n = 1;; ++n) {
            const std::string name = (Name().empty() ? std::string("Session") : Name()) + "_" + IntToStr(n);
            if (SessionList()->FindSession(name) == nullptr) {
                FSessionName = name;
                break;
            }
        }
    }
}

void TSession::SetKeepConnections(bool Value) {
    FKeepConnections = Value;
    if (!Value) DropConnections();
}

void TSession::SetNetFileDir(const std::string& Value) {
    if (!Value.empty() && !DirectoryExists(Value)) DatabaseError("Directory '" + Value + "' does not exist", this);
    FNetFileDir = Value;
}

void TSession::SetPrivateDir(const std::string& Value) {
    if (!Value.empty() && !DirectoryExists(Value)) DatabaseError("Directory '" + Value + "' does not exist", this);
    FPrivateDir = Value;
}

void TSession::AddDatabase(TDatabase* Database) {
    if (std::find(FDatabases.begin(), FDatabases.end(), Database) == FDatabases.end()) FDatabases.push_back(Database);
}

void TSession::RemoveDatabase(TDatabase* Database) {
    FDatabases.erase(std::remove(FDatabases.begin(), FDatabases.end(), Database), FDatabases.end());
}

TDatabase* TSession::Databases(int Index) const {
    if (Index < 0 || Index >= int(FDatabases.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FDatabases[size_t(Index)];
}

TDatabase* TSession::FindDatabase(const std::string& DatabaseName) const {
    for (TDatabase* db : FDatabases)
        if (SameText(db->DatabaseName(), DatabaseName)) return db;
    return nullptr;
}

TDatabase* TSession::DoOpenDatabase(const std::string& DatabaseName, TComponent* AOwner) {
    TDatabase* db = FindDatabase(DatabaseName);
    bool made = false;
    if (db == nullptr) {
        if (Trim(DatabaseName).empty()) DatabaseError("Missing DatabaseName property", this);
        db = new TDatabase(AOwner);  // owned by the session (a temporary connection)
        made = true;
        try {
            if (db->FSession != nullptr && db->FSession != this) db->FSession->RemoveDatabase(db);
            db->FSession = this;
            db->FSessionName = FSessionName;
            AddDatabase(db);
            db->SetDatabaseName(DatabaseName);
            db->SetTemporary(true);
            db->SetKeepConnection(FKeepConnections);
        } catch (...) {
            delete db;
            throw;
        }
    }
    try {
        Open();
        db->Open();
    } catch (...) {
        if (made) delete db;
        throw;
    }
    ++db->FRefCount;
    return db;
}

TDatabase* TSession::OpenDatabase(const std::string& DatabaseName) { return DoOpenDatabase(DatabaseName, this); }

void TSession::CloseDatabase(TDatabase* Database) {
    if (Database == nullptr) return;
    if (Database->FRefCount > 0) --Database->FRefCount;
    if (Database->FRefCount > 0 || !Database->FDataSets.empty()) return;
    const bool keep = Database->Temporary() ? FKeepConnections : Database->KeepConnection();
    if (keep) return;
    if (Database->Temporary()) delete Database;
    else Database->Close();
}

void TSession::DropConnections() {
    for (TDatabase* db : std::vector<TDatabase*>(FDatabases))
        if (db->Temporary() && db->FRefCount == 0 && db->FDataSets.empty()) delete db;
}

TSession::TSessionAlias* TSession::FindSessionAlias(const std::string& Name) {
    for (auto& a : FSessionAliases)
        if (SameText(a.Name, Name)) return &a;
    return nullptr;
}

void TSession::CheckConfigMode(TConfigMode Mode) const {
    if ((FConfigMode & Mode) == 0) DatabaseError("This operation is not allowed in the session's configuration mode");
}

bool TSession::IsAlias(const std::string& Name) {
    return ((FConfigMode & cmSession) && FindSessionAlias(Name) != nullptr) ||
           ((FConfigMode & cmPersistent) && CfgAliasExists(Name));
}

void TSession::AddAlias(const std::string& Name, const std::string& Driver, TStrings* List) {
    if (!IsValidIdent(Name) && Trim(Name).empty()) DatabaseError("Invalid alias name", this);
    if (FindSessionAlias(Name) != nullptr || CfgAliasExists(Name))
        DatabaseError("Alias '" + Name + "' already exists", this);
    std::vector<std::string> drivers;
    Check(DbiGetDriverNames(drivers));
    if (std::none_of(drivers.begin(), drivers.end(), [&](const std::string& d) { return SameText(d, Driver); }))
        DatabaseError("Unknown driver: " + Driver, this);
    if (FConfigMode & cmPersistent) {
        Check(DbiCfgAddAlias(Name, UpperCase(Driver), ParamsOf(List)));
    } else {
        CheckConfigMode(cmSession);
        FSessionAliases.push_back({Name, UpperCase(Driver), ParamsOf(List)});
    }
}

void TSession::AddStandardAlias(const std::string& Name, const std::string& Path, const std::string& DefaultDriver) {
    TStringList params;
    params.Add("PATH=" + Path);
    if (!DefaultDriver.empty()) params.Add("DEFAULT DRIVER=" + DefaultDriver);
    AddAlias(Name, "STANDARD", &params);
}

void TSession::DeleteAlias(const std::string& Name) {
    for (size_t i = 0; i < FSessionAliases.size(); ++i)
        if (SameText(FSessionAliases[i].Name, Name)) {
            FSessionAliases.erase(FSessionAliases.begin() + std::ptrdiff_t(i));
            return;
        }
    CheckConfigMode(cmPersistent);
    Check(DbiCfgDeleteAlias(Name));
}

void TSession::ModifyAlias(const std::string& Name, TStrings* List) {
    if (auto* a = FindSessionAlias(Name)) {
        for (const auto& p : ParamsOf(List)) SetParam(a->Params, p.first, p.second);
        return;
    }
    CheckConfigMode(cmPersistent);
    Check(DbiCfgModifyAlias(Name, ParamsOf(List)));
}

void TSession::SaveConfigFile() { Check(DbiCfgSave()); }

void TSession::GetAliasNames(TStrings* List) {
    std::vector<std::string> names;
    if (FConfigMode & cmPersistent) Check(DbiCfgGetAliasNames(names));
    if (FConfigMode & cmSession)
        for (const auto& a : FSessionAliases) names.push_back(a.Name);
    ListNames(std::move(names), List);
}

void TSession::GetAliasParams(const std::string& AliasName, TStrings* List) {
    if (auto* a = FindSessionAlias(AliasName)) {
        ListParams(a->Params, List);
        return;
    }
    TDbiParams params;
    Check(DbiCfgGetAliasParams(AliasName, params));
    params.erase(std::remove_if(params.begin(), params.end(), [](const auto& p) { return SameText(p.first, "DRIVER"); }),
                 params.end());
    ListParams(params, List);
}

std::string TSession::GetAliasDriverName(const std::string& AliasName) {
    if (auto* a = FindSessionAlias(AliasName)) return a->Driver;
    std::string driver;
    Check(DbiCfgGetAliasDriver(AliasName, driver));
    return driver;
}

void TSession::GetDriverNames(TStrings* List) {
    std::vector<std::string> names;
    Check(DbiGetDriverNames(names));
    ListNames(std::move(names), List);
}

void TSession::GetDriverParams(const std::string& DriverName, TStrings* List) {
    TDbiParams params;
    Check(DbiGetDriverParams(DriverName, params));
    ListParams(params, List);
}

void TSession::GetDatabaseNames(TStrings* List) {
    std::vector<std::string> names;
    TStringList aliases;
    GetAliasNames(&aliases);
    for (int i = 0; i < aliases.Count(); ++i) names.push_back(aliases.Strings(i));
    for (TDatabase* db : FDatabases)
        if (!db->Temporary() && !db->DatabaseName().empty()) names.push_back(db->DatabaseName());
    ListNames(std::move(names), List);
}

void TSession::GetTableNames(const std::string& DatabaseName, const std::string& Pattern, bool Extensions,
                             bool SystemTables, TStrings* List) {
    TDatabase* db = OpenDatabase(DatabaseName);
    std::vector<std::string> names;
    try {
        std::string pattern = Pattern;
        const bool local = !db->IsSQLBased();
        // Local tables are files "<name>.db": a pattern may carry the extension.
        if (local && SameText(ExtractFileExt(pattern), ".db")) pattern = ChangeFileExt(pattern, "");
        Check(DbiGetTableNames(db->Handle(), pattern, SystemTables, names));
        if (local && Extensions)
            for (auto& n : names) n += ".db";
    } catch (...) {
        CloseDatabase(db);
        throw;
    }
    CloseDatabase(db);
    List->BeginUpdate();
    List->Clear();
    for (const auto& n : names) List->Add(n);
    List->EndUpdate();
}

void TSession::GetStoredProcNames(const std::string& DatabaseName, TStrings* List) {
    TDatabase* db = OpenDatabase(DatabaseName);
    std::vector<std::string> names;
    try {
        if (db->IsSQLBased()) Check(DbiGetSPNames(db->Handle(), names));
    } catch (...) {
        CloseDatabase(db);
        throw;
    }
    CloseDatabase(db);
    ListNames(std::move(names), List);
}

// ---------------------------------------------------------------------------
// TSessionList and the default session

TSessionList::TSessionList() { gSessionListAlive = true; }

TSessionList::~TSessionList() {
    // Sessions made here (the default one and OpenSession's) go with the list;
    // their databases close, so the files are released before the engine goes.
    std::vector<TSession*> own;
    for (TSession* s : FSessions)
        if (s->Owner() == nullptr) own.push_back(s);
    for (TSession* s : own) delete s;
    gSessionListAlive = false;
    FSessions.clear();
}

void TSessionList::Add(TSession* Session) { FSessions.push_back(Session); }

void TSessionList::Remove(TSession* Session) {
    FSessions.erase(std::remove(FSessions.begin(), FSessions.end(), Session), FSessions.end());
    if (FCurrent == Session) FCurrent = FSessions.empty() ? nullptr : FSessions.front();
}

TSession* TSessionList::Sessions(int Index) const {
    if (Index < 0 || Index >= int(FSessions.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FSessions[size_t(Index)];
}

TSession* TSessionList::FindSession(const std::string& SessionName) const {
    if (SessionName.empty()) return FSessions.empty() ? DefaultSession() : FSessions.front();
    for (TSession* s : FSessions)
        if (SameText(s->SessionName(), SessionName)) return s;
    return nullptr;
}

void TSessionList::GetSessionNames(TStrings* List) const {
    List->BeginUpdate();
    List->Clear();
    for (TSession* s : FSessions) List->Add(s->SessionName());
    List->EndUpdate();
}

TSession* TSessionList::OpenSession(const std::string& SessionName) {
    TSession* s = FindSession(SessionName);
    if (s == nullptr) {
        s = new TSession(nullptr);  // owned by the list
        s->SetSessionName(SessionName);
    }
    s->Open();
    FCurrent = s;
    return s;
}

TSessionList* SessionList() {
    // Never freed: at exit the engine's per-thread state is already gone, so
    // the connections of the sessions made here are left to the process's end
    // (SQLite's files are consistent at every commit).
    static TSessionList* const list = new TSessionList;
    return list;
}

TSession* DefaultSession() {
    TSessionList* list = SessionList();
    if (list->FSessions.empty()) {
        TSession* s = new TSession(nullptr);  // owned by the list
        s->SetSessionName("Default");
        list->FCurrent = s;
    }
    return list->FSessions.front();
}

}  // namespace host
