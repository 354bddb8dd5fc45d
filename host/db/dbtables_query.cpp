// TQuery and TStoredProc: SQL statements and stored procedures with parameters.
#include "host/db/dbtables.h"
#include "host/db/dbtables_internal.h"
#include "host/db/sqlparams.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace dbtables;

namespace {

// The link of a query to the dataset that gives its parameters' values: the
// query runs again when the master moves to another record.
class TQueryDataLink : public TDataLink {
public:
    explicit TQueryDataLink(TQuery* Query) : FQuery(Query) {}

protected:
    void ActiveChanged() override { Rerun(); }
    void RecordChanged(TField* Field) override {
        if (Field == nullptr) Rerun();
    }
    void CheckBrowseMode() override {
        if (FQuery->Active()) FQuery->CheckBrowseMode();
    }
    TDataSource* GetDetailDataSource() const override { return FQuery->DataSource(); }

private:
    void Rerun() {
        if (!FQuery->Active() || DataSet() == nullptr || !DataSet()->Active() || DataSet()->State() == dsSetKey) return;
        FQuery->DisableControls();
        try {
            FQuery->Close();
            FQuery->Open();
        } catch (...) {
            FQuery->EnableControls();
            throw;
        }
        FQuery->EnableControls();
    }
    TQuery* FQuery;
};

// The values of Params for the placeholders Names: by name, else by position.
// An unbound parameter takes the value of the master's field of its name.
std::vector<DBIValue> BindValues(const std::vector<std::string>& Names, TParams* Params, bool ByName,
                                 TDataSet* Master, TComponent* Owner) {
    std::vector<DBIValue> values;
    TParams fromMaster;
    for (size_t i = 0; i < Names.size(); ++i) {
        TParam* p = ByName ? Params->FindParam(Names[i]) : nullptr;
        if (p == nullptr && int(i) < Params->Count()) p = Params->Items(int(i));
        if ((p == nullptr || !p->Bound()) && Master != nullptr && Master->Active()) {
            if (TField* f = Master->FindField(p != nullptr ? p->Name() : Names[i])) {
                TParam* m = fromMaster.CreateParam(ftUnknown, f->FieldName(), ptInput);
                m->AssignField(f);
                p = m;
            }
        }
        if (p == nullptr || (!p->Bound() && p->DataType() == ftUnknown && p->IsNull()))
            DatabaseError("No value for parameter '" + Names[i] + "'", Owner);
        values.push_back(ParamToValue(p));
    }
    return values;
}

}  // namespace

// ---------------------------------------------------------------------------
// TQuery

TQuery::TQuery(TComponent* AOwner)
    : TDBDataSet(AOwner), FSQL(std::make_unique<TStringList>()), FParams(std::make_unique<TParams>(this)) {
    FDataLink = std::make_unique<TQueryDataLink>(this);
    FSQL->OnChange = TNotifyEvent(this, &TQuery::QueryChanged);
}

TQuery::~TQuery() {
    try {
        Close();
    } catch (...) {
    }
    FDataLink->SetDataSource(nullptr);
}

TStrings* TQuery::SQL() const { return FSQL.get(); }
void TQuery::SetSQL(TStrings* Value) { FSQL->Assign(Value); }

std::string TQuery::Text() const { return FText; }

void TQuery::QueryChanged(TObject* Sender) {
    (void)Sender;
    if (!ComponentState().Contains(csLoading)) {
        Close();
        UnPrepare();
    }
    FText = ReplaceSqlParams(FSQL->Text());
    if (FParamCheck) RefreshParams(nullptr);
}

// Makes one parameter per placeholder name, keeping the values of those that stay.
void TQuery::RefreshParams(TObject* Sender) {
    (void)Sender;
    TParams old;
    old.Assign(FParams.get());
    FParams->Clear();
    for (const auto& name : SqlParamNames(FSQL->Text())) {
        TParam* p = FParams->CreateParam(ftUnknown, name, ptInput);
        if (TParam* was = old.FindParam(name)) p->Assign(was);
    }
}

void TQuery::SetParams(TParams* Value) { FParams->AssignValues(Value); }
int TQuery::ParamCount() const { return FParams->Count(); }
TParam* TQuery::ParamByName(const std::string& Value) const { return FParams->ParamByName(Value); }

void TQuery::SetParamsList(TParams* List) {
    for (int i = 0; i < List->Count() && i < FParams->Count(); ++i) {
        TParam* p = FParams->Items(i);
        const std::string name = p->Name();
        p->Assign(List->Items(i));
        p->SetName(name);
    }
}

void TQuery::PSSetParams(TParams* AParams) {
    if (AParams != nullptr && AParams->Count() > 0) FParams->AssignValues(AParams);
    Close();
}

void TQuery::SetPrepared(bool Value) {
    if (Value) Prepare();
    else UnPrepare();
}

void TQuery::Prepare() {
    if (FPrepared) return;
    if (Trim(FSQL->Text()).empty()) DatabaseError("No SQL statement available", this);
    NeedDBHandle();
    FPrepared = true;
}

void TQuery::UnPrepare() {
    if (!FPrepared) return;
    FPrepared = false;
    if (!Active() && Database() != nullptr) CloseDatabase(Database());
}

void TQuery::SetRequestLive(bool Value) {
    CheckInactive();
    FRequestLive = Value;
}

void TQuery::SetUniDirectional(bool Value) {
    CheckInactive();
    FUniDirectional = Value;
}

bool TQuery::Local() const {
    TDatabase* db = Database();
    if (db == nullptr) db = DBSession()->FindDatabase(DatabaseName());
    return db != nullptr ? !db->IsSQLBased() : false;
}

void TQuery::SetDataSource(TDataSource* Value) {
    if (Value != nullptr && IsLinkedTo(Value)) DatabaseError("Circular datalinks are not allowed", this);
    if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
    FDataLink->SetDataSource(Value);
    if (Value != nullptr) Value->FreeNotification(this);
}

TDataSource* TQuery::GetDataSource() const { return FDataLink->DataSource(); }

void TQuery::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TQuery::Loaded() {
    FText = ReplaceSqlParams(FSQL->Text());
    inherited::Loaded();
}

std::vector<DBIValue> TQuery::ParamValues() {
    TDataSource* ds = FDataLink->DataSource();
    return BindValues(SqlParamNames(FSQL->Text()), FParams.get(), FParamCheck, ds != nullptr ? ds->DataSet() : nullptr,
                      this);
}

hDBICur TQuery::Execute(bool WantRows, int64_t& Rows) {
    if (Trim(FSQL->Text()).empty()) DatabaseError("No SQL statement available", this);
    hDBIDb db = NeedDBHandle();
    const auto values = ParamValues();
    hDBICur cur = nullptr;
    bool live = false;
    Rows = 0;
    Check(DbiQExec(db, ReplaceSqlParams(FSQL->Text()), values, FRequestLive && WantRows, cur, Rows, live));
    FLive = live && cur != nullptr;
    return cur;
}

hDBICur TQuery::CreateHandle() {
    SetUniDirectional(FUniDirectional);
    inherited::SetUniDirectional(FUniDirectional);
    int64_t rows = 0;
    hDBICur cur = Execute(true, rows);
    if (cur == nullptr) DatabaseError("Cursor not returned from Query", this);
    FRowsAffected = int(rows);
    return cur;
}

void TQuery::ExecSQL() {
    CheckInactive();
    int64_t rows = 0;
    hDBICur cur = nullptr;
    try {
        cur = Execute(false, rows);
    } catch (...) {
        if (!FPrepared && Database() != nullptr) CloseDatabase(Database());
        throw;
    }
    if (cur != nullptr) DbiCloseCursor(cur);
    FRowsAffected = int(rows);
    if (!FPrepared && Database() != nullptr) CloseDatabase(Database());
}

bool TQuery::GetCanModify() { return FLive && inherited::GetCanModify(); }

// ---------------------------------------------------------------------------
// TStoredProc

TStoredProc::TStoredProc(TComponent* AOwner) : TDBDataSet(AOwner), FParams(std::make_unique<TParams>(this)) {}

TStoredProc::~TStoredProc() {
    try {
        Close();
    } catch (...) {
    }
}

void TStoredProc::SetStoredProcName(const std::string& Value) {
    if (Value == FProcName) return;
    CheckInactive();
    FProcName = Value;
    FHaveDesc = false;
    FPrepared = false;
    if (!ComponentState().Contains(csLoading)) FParams->Clear();
}

void TStoredProc::SetOverload(uint16_t Value) {
    CheckInactive();
    FOverload = Value;
    FHaveDesc = false;
}

void TStoredProc::SetParams(TParams* Value) { FParams->Assign(Value); }
int TStoredProc::ParamCount() const { return FParams->Count(); }
TParam* TStoredProc::ParamByName(const std::string& Value) const { return FParams->ParamByName(Value); }

void TStoredProc::SetPrepared(bool Value) {
    if (Value) Prepare();
    else UnPrepare();
}

bool TStoredProc::DescriptionsAvailable() {
    if (Trim(FProcName).empty()) return false;
    hDBIDb db = NeedDBHandle();
    SPDesc d;
    if (DbiGetSPDesc(db, FProcName, d) != DBIERR_NONE) return false;
    FDesc = d;
    FHaveDesc = true;
    return true;
}

void TStoredProc::RefreshParams() {
    if (!DescriptionsAvailable()) {
        hDBIDb db = NeedDBHandle();
        SPDesc d;
        Check(DbiGetSPDesc(db, FProcName, d));
    }
    TParams old;
    old.Assign(FParams.get());
    FParams->Clear();
    for (const SPParamDesc& pd : FDesc.Params) {
        TParam* p = FParams->CreateParam(FieldTypeOfEngine(pd.iFldType, pd.iSubType), pd.szName,
                                         ParamTypeFromEngine(pd.eParamType));
        if (TParam* was = old.FindParam(pd.szName); was != nullptr && !was->IsNull()) p->SetValue(was->Value());
    }
}

void TStoredProc::Prepare() {
    if (FPrepared) return;
    if (Trim(FProcName).empty()) DatabaseError("Missing StoredProcName property", this);
    if (FParams->Count() == 0) RefreshParams();
    else if (!FHaveDesc && !DescriptionsAvailable()) Check(DbiGetSPDesc(NeedDBHandle(), FProcName, FDesc));
    FPrepared = true;
}

void TStoredProc::UnPrepare() {
    if (!FPrepared) return;
    FPrepared = false;
    if (!Active() && Database() != nullptr) CloseDatabase(Database());
}

void TStoredProc::SetParamsList(TParams* List) {
    for (int i = 0; i < List->Count() && i < FParams->Count(); ++i) {
        TParam* p = FParams->Items(i);
        if (List->Items(i)->IsNull()) {
            const TFieldType type = p->DataType();
            p->Clear();
            p->SetDataType(type);
        } else {
            p->SetValue(List->Items(i)->Value());
        }
        p->SetBound(true);
    }
}

void TStoredProc::CopyParams(TParams* Value) { Value->Assign(FParams.get()); }

void TStoredProc::PSSetParams(TParams* AParams) {
    if (AParams != nullptr && AParams->Count() > 0) FParams->AssignValues(AParams);
    Close();
}

hDBICur TStoredProc::Run(bool WantRows) {
    (void)WantRows;
    if (Trim(FProcName).empty()) DatabaseError("Missing StoredProcName property", this);
    hDBIDb db = NeedDBHandle();
    if (!FHaveDesc) Check(DbiGetSPDesc(db, FProcName, FDesc)), FHaveDesc = true;
    if (FParams->Count() == 0 && !FDesc.Params.empty()) RefreshParams();
    // One value per declared parameter, matched by name or by position.
    std::vector<DBIValue> values;
    std::vector<TParam*> bound;
    for (size_t i = 0; i < FDesc.Params.size(); ++i) {
        const SPParamDesc& pd = FDesc.Params[i];
        TParam* p = FBindMode == pbByName ? FParams->FindParam(pd.szName)
                                          : (int(i) < FParams->Count() ? FParams->Items(int(i)) : nullptr);
        if (p == nullptr) DatabaseError("Parameter '" + pd.szName + "' not found", this);
        bound.push_back(p);
        const bool input = pd.eParamType == paramIN || pd.eParamType == paramINOUT || pd.eParamType == paramUNKNOWN;
        values.push_back(input ? ParamToValue(p) : DBIValue::Null());
    }
    hDBICur cur = nullptr;
    int64_t rows = 0;
    Check(DbiExecSP(db, FProcName, values, cur, rows));
    for (size_t i = 0; i < FDesc.Params.size() && i < values.size(); ++i) {
        const STMTParamType t = FDesc.Params[i].eParamType;
        if (t == paramOUT || t == paramINOUT || t == paramRET) {
            TParam* p = bound[i];
            if (p->DataType() == ftUnknown)
                p->SetDataType(FieldTypeOfEngine(FDesc.Params[i].iFldType, FDesc.Params[i].iSubType));
            ValueToParam(values[i], p);
        }
    }
    return cur;
}

hDBICur TStoredProc::CreateHandle() {
    hDBICur cur = Run(true);
    if (cur == nullptr) DatabaseError("Cursor not returned from Query", this);
    return cur;
}

void TStoredProc::ExecProc() {
    CheckInactive();
    hDBICur cur = nullptr;
    try {
        cur = Run(false);
    } catch (...) {
        if (!FPrepared && Database() != nullptr) CloseDatabase(Database());
        throw;
    }
    if (cur != nullptr) DbiCloseCursor(cur);
    if (!FPrepared && Database() != nullptr) CloseDatabase(Database());
}

}  // namespace host
