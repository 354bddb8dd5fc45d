// Unit Ryxda: the base dataset adapter, AddStrIndent, the adapter classes' DatasetClass table and the adapter factory.
#include "data/ryxda.h"

#include <algorithm>
#include <utility>

#include "frame/ryxnpcon.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"

namespace ryx {

using namespace host;

// ---------------------------------------------------------------------------
// The class operation DatasetClass, reachable through a class reference.

namespace detail {
namespace {
std::vector<std::pair<TClass, TClass (*)()>>& AdapterClassTable() {
    static std::vector<std::pair<TClass, TClass (*)()>> table;
    return table;
}
}  // namespace

bool DeclareAdapterClass(TClass AdapterClass, TClass (*DatasetClassFn)()) {
    auto& table = AdapterClassTable();
    for (auto& entry : table)
        if (entry.first == AdapterClass) return true;
    table.emplace_back(AdapterClass, DatasetClassFn);
    return true;
}
}  // namespace detail

TClass AdapterDatasetClass(TClass AdapterClass) {
    if (!AdapterClass || !AdapterClass->InheritsFrom(TryxDatasetAdapter::StaticClass())) return nullptr;
    // The class itself was declared through its class object's first use; make
    // sure the root is known even before any adapter header ran its initialiser.
    detail::DeclareAdapterClass(TryxDatasetAdapter::StaticClass(), &TryxDatasetAdapter::DatasetClass);
    const auto& table = detail::AdapterClassTable();
    for (TClass c = AdapterClass; c; c = c->ClassParent())
        for (const auto& entry : table)
            if (entry.first == c) return entry.second();
    return TDataSet::StaticClass();
}

// ---------------------------------------------------------------------------
// TryxDatasetAdapter: the base behaviour.

TryxDatasetAdapter::TryxDatasetAdapter(TDataSet* ADataset) : FDataset(ADataset) {}

TryxDatasetAdapter::~TryxDatasetAdapter() = default;

void TryxDatasetAdapter::AddStrIndent(const std::string& Text, int Level, TStrings* List) {
    if (!List) return;
    std::string line;
    if (Level > 0) {
        const std::string indent = LoadResString(_sryxnpiIndent);
        line.reserve(indent.size() * size_t(Level) + Text.size());
        for (int i = 0; i < Level; ++i) line += indent;
    }
    line += Text;
    List->Add(line);
}

std::string TryxDatasetAdapter::GetDescription() { return FDataset ? FDataset->Name() : std::string(); }
bool TryxDatasetAdapter::IsEmptyTableEnabled() { return false; }
bool TryxDatasetAdapter::IsTransactionEnabled() { return false; }
bool TryxDatasetAdapter::IsStartTransactionEnabled() { return false; }
bool TryxDatasetAdapter::IsCommitEnabled() { return false; }
bool TryxDatasetAdapter::IsRollbackEnabled() { return false; }
bool TryxDatasetAdapter::IsIndexEnabled() { return false; }
TIndexDefs* TryxDatasetAdapter::GetIndexDefs() { return nullptr; }
void TryxDatasetAdapter::SetIndexDefs(TIndexDefs*) {}
TField* TryxDatasetAdapter::GetIndexField(int) { return nullptr; }
void TryxDatasetAdapter::SetIndexField(int, TField*) {}
std::string TryxDatasetAdapter::GetIndexName() { return {}; }
void TryxDatasetAdapter::SetIndexName(const std::string&) {}
std::string TryxDatasetAdapter::GetIndexFieldNames() { return {}; }
void TryxDatasetAdapter::SetIndexFieldNames(const std::string&) {}
int TryxDatasetAdapter::GetIndexFieldCount() { return 0; }
std::string TryxDatasetAdapter::GetIndexValue() { return {}; }
bool TryxDatasetAdapter::IsRangeEnabled() { return false; }
bool TryxDatasetAdapter::GetKeyExclusive() { return false; }
void TryxDatasetAdapter::SetKeyExclusive(bool) {}
bool TryxDatasetAdapter::IsFindKeyEnabled() { return false; }
bool TryxDatasetAdapter::IsFindNearestEnabled() { return false; }
bool TryxDatasetAdapter::IsLocateEnabled() { return true; }
TryxSearchMethod TryxDatasetAdapter::GetSearchMethod() { return rsmLocate; }
bool TryxDatasetAdapter::IsParamsEnabled() { return false; }

TParams* TryxDatasetAdapter::GetParams() {
    return IsParamsEnabled() && FDataset ? FDataset->PSGetParams() : nullptr;
}

void TryxDatasetAdapter::SetParams(TParams* Value) {
    if (IsParamsEnabled() && FDataset) FDataset->PSSetParams(Value);
}

int TryxDatasetAdapter::GetParamCount() { return 0; }
bool TryxDatasetAdapter::IsFilterEnabled() { return true; }
bool TryxDatasetAdapter::IsSingleFilter() { return true; }
std::string TryxDatasetAdapter::GetFilterText() { return FDataset ? FDataset->Filter() : std::string(); }
bool TryxDatasetAdapter::GetFiltered() { return FDataset && FDataset->Filtered(); }
bool TryxDatasetAdapter::GetFilterGoToFirst() { return false; }
TFilterOptions TryxDatasetAdapter::GetFilterOptions() { return FDataset ? FDataset->FilterOptions() : TFilterOptions{}; }
uint16_t TryxDatasetAdapter::GetFilterPriority() { return 0; }
TNotifyEvent TryxDatasetAdapter::GetOnActivateFilter() { return {}; }
TNotifyEvent TryxDatasetAdapter::GetOnDeactivateFilter() { return {}; }
TFilterRecordEvent TryxDatasetAdapter::GetOnFilterRecord() {
    return FDataset ? FDataset->OnFilterRecord : TFilterRecordEvent{};
}

void TryxDatasetAdapter::SetFilterText(const std::string& Value) {
    if (FDataset) FDataset->SetFilter(Value);
}

void TryxDatasetAdapter::SetFiltered(bool Value) {
    if (FDataset) FDataset->SetFiltered(Value);
}

void TryxDatasetAdapter::SetFilterGoToFirst(bool) {}

void TryxDatasetAdapter::SetFilterOptions(TFilterOptions Value) {
    if (FDataset) FDataset->SetFilterOptions(Value);
}

void TryxDatasetAdapter::SetFilterPriority(uint16_t) {}
void TryxDatasetAdapter::SetOnActivateFilter(const TNotifyEvent&) {}
void TryxDatasetAdapter::SetOnDeactivateFilter(const TNotifyEvent&) {}

void TryxDatasetAdapter::SetOnFilterRecord(const TFilterRecordEvent& Value) {
    if (FDataset) FDataset->SetOnFilterRecord(Value);
}

bool TryxDatasetAdapter::IsReadOnlyEnabled() { return false; }
bool TryxDatasetAdapter::GetReadOnly() { return !FDataset || !FDataset->CanModify(); }
void TryxDatasetAdapter::SetReadOnly(bool) {}
std::string TryxDatasetAdapter::GetNetUserName() { return {}; }
void TryxDatasetAdapter::GetIndexInfo(TStrings*) {}
void TryxDatasetAdapter::GetParamInfo(TStrings*) {}
void TryxDatasetAdapter::GetDatabaseInfo(TStrings*) {}
void TryxDatasetAdapter::GetSessionInfo(TStrings*) {}
void TryxDatasetAdapter::GetDBEngineInfo(TStrings*) {}
void TryxDatasetAdapter::EmptyTable() {}
void TryxDatasetAdapter::StartTransaction() {}
void TryxDatasetAdapter::Commit() {}
void TryxDatasetAdapter::Rollback() {}
void TryxDatasetAdapter::GetIndexNames(TStrings*) {}
void TryxDatasetAdapter::ApplyRange() {}
void TryxDatasetAdapter::CancelRange() {}
void TryxDatasetAdapter::EditRangeStart() {}
void TryxDatasetAdapter::EditRangeEnd() {}
void TryxDatasetAdapter::SetRange(const Variant&, const Variant&) {}
void TryxDatasetAdapter::SetRangeStart() {}
void TryxDatasetAdapter::SetRangeEnd() {}
void TryxDatasetAdapter::EditKey() {}
bool TryxDatasetAdapter::FindKey(const Variant&) { return false; }
void TryxDatasetAdapter::FindNearest(const Variant&) {}
void TryxDatasetAdapter::GoToKey() {}
void TryxDatasetAdapter::GoToNearest() {}
void TryxDatasetAdapter::SetKey() {}

bool TryxDatasetAdapter::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    return FDataset && FDataset->Locate(KeyFields, KeyValues, Options);
}

TParam* TryxDatasetAdapter::FilterParamByName(const std::string&) { return nullptr; }
void TryxDatasetAdapter::FlushBuffers() {}

// ---------------------------------------------------------------------------
// TryxDSAdapterFactory

namespace {
TryxDSAdapterFactory* FactoryInstance = nullptr;
}  // namespace

TryxDSAdapterFactory::~TryxDSAdapterFactory() {
    if (FactoryInstance == this) FactoryInstance = nullptr;
}

void TryxDSAdapterFactory::RegisterAdapter(TryxDatasetAdapterClass AdapterClass) {
    TClass datasetClass = AdapterDatasetClass(AdapterClass);
    if (!datasetClass)
        throw EInvalidOperation(std::string("Cannot register ") + (AdapterClass ? AdapterClass->ClassName() : "nil") +
                                " as a dataset adapter: it does not inherit from TryxDatasetAdapter");
    FAdapterClasses.insert(FAdapterClasses.begin(), AdapterClass);
    FDatasetClasses.insert(FDatasetClasses.begin(), datasetClass);
}

void TryxDSAdapterFactory::UnRegisterAdapter(TryxDatasetAdapterClass AdapterClass) {
    auto it = std::find(FAdapterClasses.begin(), FAdapterClasses.end(), AdapterClass);
    if (it == FAdapterClasses.end()) return;
    const auto k = it - FAdapterClasses.begin();
    FAdapterClasses.erase(it);
    FDatasetClasses.erase(FDatasetClasses.begin() + k);
}

TryxDatasetAdapterClass TryxDSAdapterFactory::GetAdapterClass(TClass DatasetClass) const {
    if (!DatasetClass) return nullptr;
    auto it = std::find(FDatasetClasses.begin(), FDatasetClasses.end(), DatasetClass);
    if (it != FDatasetClasses.end()) return FAdapterClasses[size_t(it - FDatasetClasses.begin())];
    for (TClass adapter : FAdapterClasses)
        if (AdapterDatasetClass(adapter) == DatasetClass) return adapter;
    return nullptr;
}

TryxDatasetAdapterClass TryxDSAdapterFactory::GetAdapterClassDefault(TClass DatasetClass) const {
    TryxDatasetAdapterClass found = GetAdapterClass(DatasetClass);
    return found ? found : TryxDatasetAdapter::StaticClass();
}

std::unique_ptr<TryxDatasetAdapter> TryxDSAdapterFactory::CreateAdapter(TDataSet* Dataset) const {
    if (!Dataset) throw EInvalidOperation("Cannot create a dataset adapter without a dataset");
    TryxDatasetAdapterClass adapterClass = GetAdapterClassDefault(Dataset->ClassType());
    return std::unique_ptr<TryxDatasetAdapter>(adapterClass->Create<TryxDatasetAdapter>(Dataset));
}

TryxDatasetAdapterClass TryxDSAdapterFactory::AdapterClasses(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("Adapter class index out of bounds (" + std::to_string(Index) + ")");
    return FAdapterClasses[size_t(Index)];
}

TClass TryxDSAdapterFactory::DatasetClasses(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("Dataset class index out of bounds (" + std::to_string(Index) + ")");
    return FDatasetClasses[size_t(Index)];
}

TryxDSAdapterFactory* ryxDSAdapterFactory() {
    if (!FactoryInstance) FactoryInstance = new TryxDSAdapterFactory;
    return FactoryInstance;
}

void ryxFreeDSAdapterFactory() { delete FactoryInstance; }

bool ryxDSAdapterFactoryExists() { return FactoryInstance != nullptr; }

}  // namespace ryx
