// Unit Ryxdabde: the engine dataset adapters (transactions, engine filters, keys and ranges, parameters), the report name tables and the unit's start-up.
#include "data/ryxdabde.h"

#include <array>
#include <cstring>

#include "data/ryxfiltr.h"
#include "frame/ryxnpcon.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/resstrings.h"

namespace ryx {

using namespace host;

bool ryx_UseTableComponentNames = false;

// ---------------------------------------------------------------------------
// TryxDBDatasetAdapter

TryxDBDatasetAdapter::TryxDBDatasetAdapter(TDataSet* ADataset)
    : TryxDatasetAdapter(ADataset), FDBDataset(As<TDBDataSet>(ADataset)) {
    if (!FDBDataset) throw EInvalidOperation("Cannot create " + ClassName() + " without a dataset");
}

TryxDBDatasetAdapter::~TryxDBDatasetAdapter() = default;

TryxBDEFilterObject* TryxDBDatasetAdapter::FilterObject() {
    if (!FFilterObject) FFilterObject = std::make_unique<TryxBDEFilterObject>(FDBDataset);
    return FFilterObject.get();
}

bool TryxDBDatasetAdapter::IsTransactionEnabled() {
    TDatabase* db = FDBDataset ? FDBDataset->Database() : nullptr;
    if (!db) return false;
    return db->IsSQLBased() || db->TransIsolation() == tiDirtyRead;
}

bool TryxDBDatasetAdapter::IsStartTransactionEnabled() {
    return IsTransactionEnabled() && !FDBDataset->Database()->InTransaction();
}

bool TryxDBDatasetAdapter::IsCommitEnabled() {
    return IsTransactionEnabled() && FDBDataset->Database()->InTransaction();
}

bool TryxDBDatasetAdapter::IsRollbackEnabled() { return IsCommitEnabled(); }

void TryxDBDatasetAdapter::StartTransaction() {
    if (IsStartTransactionEnabled()) FDBDataset->Database()->StartTransaction();
}

void TryxDBDatasetAdapter::Commit() {
    if (IsCommitEnabled()) FDBDataset->Database()->Commit();
}

void TryxDBDatasetAdapter::Rollback() {
    if (IsRollbackEnabled()) FDBDataset->Database()->Rollback();
}

bool TryxDBDatasetAdapter::IsSingleFilter() { return false; }

std::string TryxDBDatasetAdapter::GetFilterText() { return FilterObject()->Filter(); }
bool TryxDBDatasetAdapter::GetFiltered() { return FilterObject()->Active(); }
bool TryxDBDatasetAdapter::GetFilterGoToFirst() { return FilterObject()->GoToFirst(); }
TFilterOptions TryxDBDatasetAdapter::GetFilterOptions() { return FilterObject()->FilterOptions(); }
uint16_t TryxDBDatasetAdapter::GetFilterPriority() { return FilterObject()->Priority(); }
TNotifyEvent TryxDBDatasetAdapter::GetOnActivateFilter() { return FilterObject()->OnActivate; }
TNotifyEvent TryxDBDatasetAdapter::GetOnDeactivateFilter() { return FilterObject()->OnDeactivate; }
TFilterRecordEvent TryxDBDatasetAdapter::GetOnFilterRecord() { return FilterObject()->OnFilterRecord(); }
void TryxDBDatasetAdapter::SetFilterText(const std::string& Value) { FilterObject()->SetFilter(Value); }
void TryxDBDatasetAdapter::SetFiltered(bool Value) { FilterObject()->SetActive(Value); }
void TryxDBDatasetAdapter::SetFilterGoToFirst(bool Value) { FilterObject()->SetGoToFirst(Value); }
void TryxDBDatasetAdapter::SetFilterOptions(TFilterOptions Value) { FilterObject()->SetFilterOptions(Value); }
void TryxDBDatasetAdapter::SetFilterPriority(uint16_t Value) { FilterObject()->SetPriority(Value); }
void TryxDBDatasetAdapter::SetOnActivateFilter(const TNotifyEvent& Value) { FilterObject()->OnActivate = Value; }
void TryxDBDatasetAdapter::SetOnDeactivateFilter(const TNotifyEvent& Value) { FilterObject()->OnDeactivate = Value; }

void TryxDBDatasetAdapter::SetOnFilterRecord(const TFilterRecordEvent& Value) {
    FilterObject()->SetOnFilterRecord(Value);
}

TParam* TryxDBDatasetAdapter::FilterParamByName(const std::string& Name) { return FilterObject()->ParamByName(Name); }

std::string TryxDBDatasetAdapter::GetNetUserName() {
    std::string name;
    if (DbiGetNetUserName(name) != 0) return {};
    // The engine's character buffer: its text up to the first zero.
    const size_t zero = name.find('\0');
    if (zero != std::string::npos) name.resize(zero);
    return name;
}

void TryxDBDatasetAdapter::FlushBuffers() {
    if (FDBDataset) FDBDataset->FlushBuffers();
}

// ---------------------------------------------------------------------------
// TryxTableAdapter

TryxTableAdapter::TryxTableAdapter(TDataSet* ADataset)
    : TryxDBDatasetAdapter(ADataset), FTable(As<TTable>(ADataset)) {}

std::string TryxTableAdapter::GetDescription() {
    if (!FTable) return {};
    return ryx_UseTableComponentNames ? FTable->Name() : FTable->TableName();
}

bool TryxTableAdapter::IsEmptyTableEnabled() { return FTable && FTable->Exclusive(); }

void TryxTableAdapter::EmptyTable() {
    // Emptying is offered only for a table opened exclusively; without that
    // the call does nothing, as every operation of a group whose query is false.
    if (IsEmptyTableEnabled()) FTable->EmptyTable();
}

bool TryxTableAdapter::IsIndexEnabled() { return true; }
TIndexDefs* TryxTableAdapter::GetIndexDefs() { return FTable->IndexDefs(); }

void TryxTableAdapter::SetIndexDefs(TIndexDefs* Value) {
    if (Value && Value != FTable->IndexDefs()) FTable->IndexDefs()->Assign(Value);
}

TField* TryxTableAdapter::GetIndexField(int Index) { return FTable->IndexFields(Index); }
void TryxTableAdapter::SetIndexField(int Index, TField* Value) { FTable->SetIndexFields(Index, Value); }

std::string TryxTableAdapter::GetIndexName() {
    try {
        return FTable->IndexName();
    } catch (const Exception&) {
        return {};
    }
}

void TryxTableAdapter::SetIndexName(const std::string& Value) { FTable->SetIndexName(Value); }
std::string TryxTableAdapter::GetIndexFieldNames() { return FTable->IndexFieldNames(); }
void TryxTableAdapter::SetIndexFieldNames(const std::string& Value) { FTable->SetIndexFieldNames(Value); }
int TryxTableAdapter::GetIndexFieldCount() { return FTable->IndexFieldCount(); }

std::string TryxTableAdapter::GetIndexValue() {
    std::string text;
    const int count = FTable->IndexFieldCount();
    for (int i = 0; i < count; ++i) {
        const std::string value = FTable->IndexFields(i)->AsString();
        if (text.size() + value.size() > 255) break;
        text += value;
        text += LoadResString(_sryxnpBmkSep);
    }
    // Drop the separator after the last value; nothing to drop from an empty text.
    if (!text.empty()) text.pop_back();
    return text;
}

bool TryxTableAdapter::IsRangeEnabled() { return true; }
bool TryxTableAdapter::GetKeyExclusive() { return FTable->KeyExclusive(); }
void TryxTableAdapter::SetKeyExclusive(bool Value) { FTable->SetKeyExclusive(Value); }
bool TryxTableAdapter::IsFindKeyEnabled() { return true; }
bool TryxTableAdapter::IsFindNearestEnabled() { return true; }
TryxSearchMethod TryxTableAdapter::GetSearchMethod() { return rsmFindKey; }
bool TryxTableAdapter::IsReadOnlyEnabled() { return true; }

bool TryxTableAdapter::GetReadOnly() {
    return FTable->ReadOnly() || (FTable->Active() && !FTable->CanModify());
}

void TryxTableAdapter::SetReadOnly(bool Value) { FTable->SetReadOnly(Value); }
void TryxTableAdapter::GetIndexNames(TStrings* List) { FTable->GetIndexNames(List); }
void TryxTableAdapter::ApplyRange() { FTable->ApplyRange(); }
void TryxTableAdapter::CancelRange() { FTable->CancelRange(); }
void TryxTableAdapter::EditRangeStart() { FTable->EditRangeStart(); }
void TryxTableAdapter::EditRangeEnd() { FTable->EditRangeEnd(); }
void TryxTableAdapter::SetRangeStart() { FTable->SetRangeStart(); }
void TryxTableAdapter::SetRangeEnd() { FTable->SetRangeEnd(); }
void TryxTableAdapter::EditKey() { FTable->EditKey(); }
void TryxTableAdapter::GoToKey() { FTable->GotoKey(); }
void TryxTableAdapter::GoToNearest() { FTable->GotoNearest(); }
void TryxTableAdapter::SetKey() { FTable->SetKey(); }

void TryxTableAdapter::CheckKeyValues(const Variant& Values) const {
    const int count = FTable->IndexFieldCount();
    if (!VarIsArray(Values)) {
        if (count == 0)
            DatabaseError("Cannot assign a key value: the table has no index fields", FTable);
        return;
    }
    if (VarArrayDimCount(Values) != 1)
        throw EVariantError("Key values must be a one-dimensional variant array");
    const int elements = VarArrayHighBound(Values, 1) - VarArrayLowBound(Values, 1) + 1;
    if (elements < count)
        throw EVariantError("Variant array index out of bounds: " + std::to_string(elements) +
                            " key values for an index of " + std::to_string(count) + " fields");
}

void TryxTableAdapter::AssignKeyValues(const Variant& Values) {
    if (!VarIsArray(Values)) {
        FTable->IndexFields(0)->SetAsVariant(Values);
        // One value is a key on the first field alone: the search or range
        // compares that field and leaves the others open, instead of looking
        // for blanks in them.
        FTable->SetKeyFieldCount(1);
        return;
    }
    const int low = VarArrayLowBound(Values, 1);
    const int count = FTable->IndexFieldCount();
    for (int i = 0; i < count; ++i) FTable->IndexFields(i)->SetAsVariant(Values[low + i]);
}

namespace {
// Runs Body, which enters the key state and writes into it; when it raises,
// the key being written is dropped so that the table is back in browse mode.
template <class F>
void InKeyState(TTable* Table, F&& Body) {
    try {
        Body();
    } catch (...) {
        if (Table->State() == dsSetKey) Table->Cancel();
        throw;
    }
}
}  // namespace

void TryxTableAdapter::SetRange(const Variant& StartValues, const Variant& EndValues) {
    CheckKeyValues(StartValues);
    CheckKeyValues(EndValues);
    InKeyState(FTable, [&] {
        FTable->SetRangeStart();
        AssignKeyValues(StartValues);
        FTable->SetRangeEnd();
        AssignKeyValues(EndValues);
    });
    FTable->ApplyRange();
}

bool TryxTableAdapter::FindKey(const Variant& KeyValues) {
    CheckKeyValues(KeyValues);
    InKeyState(FTable, [&] {
        FTable->SetKey();
        AssignKeyValues(KeyValues);
    });
    return FTable->GotoKey();
}

void TryxTableAdapter::FindNearest(const Variant& KeyValues) {
    CheckKeyValues(KeyValues);
    InKeyState(FTable, [&] {
        FTable->SetKey();
        AssignKeyValues(KeyValues);
    });
    FTable->GotoNearest();
}

// ---------------------------------------------------------------------------
// TryxQueryAdapter

TryxQueryAdapter::TryxQueryAdapter(TDataSet* ADataset)
    : TryxDBDatasetAdapter(ADataset), FQuery(As<TQuery>(ADataset)) {}

bool TryxQueryAdapter::IsParamsEnabled() { return true; }
TParams* TryxQueryAdapter::GetParams() { return FQuery->Params(); }
void TryxQueryAdapter::SetParams(TParams* Value) {
    if (Value) FQuery->SetParamsList(Value);
}
int TryxQueryAdapter::GetParamCount() { return uint16_t(FQuery->ParamCount()); }
bool TryxQueryAdapter::IsReadOnlyEnabled() { return true; }
bool TryxQueryAdapter::GetReadOnly() { return !FQuery->CanModify(); }
void TryxQueryAdapter::SetReadOnly(bool Value) { FQuery->SetRequestLive(!Value); }

// ---------------------------------------------------------------------------
// TryxStoredProcAdapter

TryxStoredProcAdapter::TryxStoredProcAdapter(TDataSet* ADataset)
    : TryxDBDatasetAdapter(ADataset), FStoredProc(As<TStoredProc>(ADataset)) {}

bool TryxStoredProcAdapter::IsParamsEnabled() { return true; }
TParams* TryxStoredProcAdapter::GetParams() { return FStoredProc->Params(); }
void TryxStoredProcAdapter::SetParams(TParams* Value) {
    if (Value) FStoredProc->SetParamsList(Value);
}
int TryxStoredProcAdapter::GetParamCount() { return uint16_t(FStoredProc->ParamCount()); }

// ---------------------------------------------------------------------------
// Name tables and the unit's start-up

namespace {

const TResStringRec* const IsolationNames[ryxTransIsolationNameCount] = {
    &_sryxnpiDirtyRead, &_sryxnpiReadCommitted, &_sryxnpiRepeatableRead};
const TResStringRec* const TableTypeNames[ryxTableTypeNameCount] = {
    &_sryxnpittDefault, &_sryxnpittParadox, &_sryxnpittDBase, &_sryxnpittASCII, &_sryxnpittFoxPro};
const TResStringRec* const UpdateModeNames[ryxUpdateModeNameCount] = {
    &_sryxnpiupWhereAll, &_sryxnpiupWhereChanged, &_sryxnpiupWhereKeyOnly};
const TResStringRec* const BindModeNames[ryxParamBindModeNameCount] = {&_sryxnpipbByName, &_sryxnpipbByNumber};
const TResStringRec* const ParamTypeNames[ryxParamTypeNameCount] = {
    &_sryxnpiptUnknown, &_sryxnpiptInput, &_sryxnpiptOutput, &_sryxnpiptInputOutput, &_sryxnpiptResult};

struct TNameTables {
    std::array<std::string, ryxTransIsolationNameCount> Isolations;
    std::array<std::string, ryxTableTypeNameCount> TableTypes;
    std::array<std::string, ryxUpdateModeNameCount> UpdateModes;
    std::array<std::string, ryxParamBindModeNameCount> BindModes;
    std::array<std::string, ryxParamTypeNameCount> ParamTypes;
    bool Filled = false;
};

TNameTables& Tables() {
    static TNameTables tables;
    return tables;
}

template <size_t N>
void Fill(std::array<std::string, N>& To, const TResStringRec* const (&From)[N]) {
    for (size_t i = 0; i < N; ++i) To[i] = LoadResString(*From[i]);
}

template <size_t N>
void Release(std::array<std::string, N>& Table) {
    for (std::string& s : Table) std::string().swap(s);
}

template <size_t N>
std::string NameOf(const char* What, const std::array<std::string, N>& Table, const TResStringRec* const (&Recs)[N],
                   int Ordinal) {
    if (Ordinal < 0 || Ordinal >= int(N))
        throw ERangeError(std::string(What) + " ordinal " + std::to_string(Ordinal) + " is out of range 0.." +
                          std::to_string(int(N) - 1));
    if (Tables().Filled) return Table[size_t(Ordinal)];
    return LoadResString(*Recs[Ordinal]);
}

}  // namespace

std::string ryxTransIsolationName(int Ordinal) {
    return NameOf("Transaction isolation", Tables().Isolations, IsolationNames, Ordinal);
}
std::string ryxTableTypeName(int Ordinal) {
    return NameOf("Table type", Tables().TableTypes, TableTypeNames, Ordinal);
}
std::string ryxUpdateModeName(int Ordinal) {
    return NameOf("Update mode", Tables().UpdateModes, UpdateModeNames, Ordinal);
}
std::string ryxParamBindModeName(int Ordinal) {
    return NameOf("Parameter bind mode", Tables().BindModes, BindModeNames, Ordinal);
}
std::string ryxParamTypeName(int Ordinal) {
    return NameOf("Parameter type", Tables().ParamTypes, ParamTypeNames, Ordinal);
}

void ryxdabdeInitialize() {
    TNameTables& t = Tables();
    Fill(t.Isolations, IsolationNames);
    Fill(t.TableTypes, TableTypeNames);
    Fill(t.UpdateModes, UpdateModeNames);
    Fill(t.BindModes, BindModeNames);
    Fill(t.ParamTypes, ParamTypeNames);
    t.Filled = true;
    TryxDSAdapterFactory* factory = ryxDSAdapterFactory();
    factory->RegisterAdapter(TryxDBDatasetAdapter::StaticClass());
    factory->RegisterAdapter(TryxStoredProcAdapter::StaticClass());
    factory->RegisterAdapter(TryxQueryAdapter::StaticClass());
    factory->RegisterAdapter(TryxTableAdapter::StaticClass());
}

void ryxdabdeFinalize() {
    // Ryxda's finalisation runs later (it started earlier); the factory is
    // still there unless somebody freed it, and then there is nothing to undo.
    if (ryxDSAdapterFactoryExists()) {
        TryxDSAdapterFactory* factory = ryxDSAdapterFactory();
        factory->UnRegisterAdapter(TryxTableAdapter::StaticClass());
        factory->UnRegisterAdapter(TryxQueryAdapter::StaticClass());
        factory->UnRegisterAdapter(TryxStoredProcAdapter::StaticClass());
        factory->UnRegisterAdapter(TryxDBDatasetAdapter::StaticClass());
    }
    TNameTables& t = Tables();
    t.Filled = false;
    Release(t.Isolations);
    Release(t.TableTypes);
    Release(t.UpdateModes);
    Release(t.BindModes);
    Release(t.ParamTypes);
}

}  // namespace ryx
