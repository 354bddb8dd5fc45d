// Unit Ryxdabde: the adapters of the engine's datasets (TDBDataSet, TTable, TQuery, TStoredProc), TryxBDEAdapterReg, the name tables of its reports and the unit's start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/ryxda.h"
#include "host/db/dbtables.h"

namespace ryx {

class TryxBDEFilterObject;

// What describes a table: false (the default) its TableName, true the
// component's Name.
extern bool ryx_UseTableComponentNames;

// A dataset bound to a database: transactions through the database, filters
// through an engine filter object of its own (the dataset's Filter, Filtered
// and OnFilterRecord stay untouched), the network user name, FlushBuffers.
class TryxDBDatasetAdapter : public TryxDatasetAdapter {
    RYX_ADAPTER_CLASS(TryxDBDatasetAdapter, TryxDatasetAdapter, host::TDBDataSet)
public:
    explicit TryxDBDatasetAdapter(host::TDataSet* ADataset);
    ~TryxDBDatasetAdapter() override;

    host::TDBDataSet* DBDataset() const { return FDBDataset; }
    // The engine filter object, made on the first call.
    TryxBDEFilterObject* FilterObject();
    // True once the filter object exists (asking does not make it).
    bool HasFilterObject() const { return FFilterObject != nullptr; }

    bool IsTransactionEnabled() override;
    bool IsStartTransactionEnabled() override;
    bool IsCommitEnabled() override;
    bool IsRollbackEnabled() override;
    bool IsSingleFilter() override;
    std::string GetFilterText() override;
    bool GetFiltered() override;
    bool GetFilterGoToFirst() override;
    host::TFilterOptions GetFilterOptions() override;
    uint16_t GetFilterPriority() override;
    host::TNotifyEvent GetOnActivateFilter() override;
    host::TNotifyEvent GetOnDeactivateFilter() override;
    host::TFilterRecordEvent GetOnFilterRecord() override;
    void SetFilterText(const std::string& Value) override;
    void SetFiltered(bool Value) override;
    void SetFilterGoToFirst(bool Value) override;
    void SetFilterOptions(host::TFilterOptions Value) override;
    void SetFilterPriority(uint16_t Value) override;
    void SetOnActivateFilter(const host::TNotifyEvent& Value) override;
    void SetOnDeactivateFilter(const host::TNotifyEvent& Value) override;
    void SetOnFilterRecord(const host::TFilterRecordEvent& Value) override;
    std::string GetNetUserName() override;
    void GetDatabaseInfo(host::TStrings* List) override;
    void GetSessionInfo(host::TStrings* List) override;
    void GetDBEngineInfo(host::TStrings* List) override;
    void StartTransaction() override;
    void Commit() override;
    void Rollback() override;
    host::TParam* FilterParamByName(const std::string& Name) override;
    void FlushBuffers() override;

private:
    host::TDBDataSet* const FDBDataset;
    std::unique_ptr<TryxBDEFilterObject> FFilterObject;
};

// A table: indexes, keys and ranges, emptying (only when opened exclusively),
// read-only switching.
class TryxTableAdapter : public TryxDBDatasetAdapter {
    RYX_ADAPTER_CLASS(TryxTableAdapter, TryxDBDatasetAdapter, host::TTable)
public:
    explicit TryxTableAdapter(host::TDataSet* ADataset);

    host::TTable* Table() const { return FTable; }

    std::string GetDescription() override;
    bool IsEmptyTableEnabled() override;
    bool IsIndexEnabled() override;
    host::TIndexDefs* GetIndexDefs() override;
    void SetIndexDefs(host::TIndexDefs* Value) override;
    host::TField* GetIndexField(int Index) override;
    void SetIndexField(int Index, host::TField* Value) override;
    std::string GetIndexName() override;
    void SetIndexName(const std::string& Value) override;
    std::string GetIndexFieldNames() override;
    void SetIndexFieldNames(const std::string& Value) override;
    int GetIndexFieldCount() override;
    // The current record's key: the index fields' texts joined by ";", as
    // many as fit in 255 characters; empty without index fields.
    std::string GetIndexValue() override;
    bool IsRangeEnabled() override;
    bool GetKeyExclusive() override;
    void SetKeyExclusive(bool Value) override;
    bool IsFindKeyEnabled() override;
    bool IsFindNearestEnabled() override;
    TryxSearchMethod GetSearchMethod() override;
    bool IsReadOnlyEnabled() override;
    // The table's ReadOnly.
    bool GetReadOnly() override;
    void SetReadOnly(bool Value) override;
    void GetDatasetInfo(host::TStrings* List) override;
    void GetIndexInfo(host::TStrings* List) override;
    void EmptyTable() override;
    void GetIndexNames(host::TStrings* List) override;
    void ApplyRange() override;
    void CancelRange() override;
    void EditRangeStart() override;
    void EditRangeEnd() override;
    // Raises before touching the table when a value array has fewer elements
    // than the index has fields, or the table has no index fields.
    void SetRange(const host::Variant& StartValues, const host::Variant& EndValues) override;
    void SetRangeStart() override;
    void SetRangeEnd() override;
    void EditKey() override;
    bool FindKey(const host::Variant& KeyValues) override;
    void FindNearest(const host::Variant& KeyValues) override;
    void GoToKey() override;
    void GoToNearest() override;
    void SetKey() override;

private:
    host::TTable* const FTable;
    // Raises when Values cannot be assigned to the index fields.
    void CheckKeyValues(const host::Variant& Values) const;
    // Assigns a single value to index field 0, or array element i to index field i.
    void AssignKeyValues(const host::Variant& Values);
};

// A query: parameters and RequestLive as the read-only switch.
class TryxQueryAdapter : public TryxDBDatasetAdapter {
    RYX_ADAPTER_CLASS(TryxQueryAdapter, TryxDBDatasetAdapter, host::TQuery)
public:
    explicit TryxQueryAdapter(host::TDataSet* ADataset);

    host::TQuery* Query() const { return FQuery; }

    bool IsParamsEnabled() override;
    host::TParams* GetParams() override;
    void SetParams(host::TParams* Value) override;
    int GetParamCount() override;
    bool IsReadOnlyEnabled() override;
    // True when the query cannot be modified (not CanModify).
    bool GetReadOnly() override;
    // Asks for a live result when Value is false (RequestLive = not Value).
    void SetReadOnly(bool Value) override;
    void GetDatasetInfo(host::TStrings* List) override;
    void GetParamInfo(host::TStrings* List) override;

private:
    host::TQuery* const FQuery;
};

// A stored procedure: parameters.
class TryxStoredProcAdapter : public TryxDBDatasetAdapter {
    RYX_ADAPTER_CLASS(TryxStoredProcAdapter, TryxDBDatasetAdapter, host::TStoredProc)
public:
    explicit TryxStoredProcAdapter(host::TDataSet* ADataset);

    host::TStoredProc* StoredProc() const { return FStoredProc; }

    bool IsParamsEnabled() override;
    host::TParams* GetParams() override;
    void SetParams(host::TParams* Value) override;
    int GetParamCount() override;
    void GetDatasetInfo(host::TStrings* List) override;
    void GetParamInfo(host::TStrings* List) override;

private:
    host::TStoredProc* const FStoredProc;
};

// A component without behaviour (see TryxDatasetAdapterReg).
class TryxBDEAdapterReg : public TryxDatasetAdapterReg {
    HOST_CLASS(TryxBDEAdapterReg, TryxDatasetAdapterReg)
public:
    explicit TryxBDEAdapterReg(host::TComponent* AOwner) : TryxDatasetAdapterReg(AOwner) {}
};

// ---- name tables of the reports, indexed by the enumeration's ordinal
// (TTransIsolation, TTableType, TUpdateMode, TParamBindMode, TParamType).
inline constexpr int ryxTransIsolationNameCount = 3;
inline constexpr int ryxTableTypeNameCount = 5;
inline constexpr int ryxUpdateModeNameCount = 3;
inline constexpr int ryxParamBindModeNameCount = 2;
inline constexpr int ryxParamTypeNameCount = 5;
// The copy made at start-up, or the text in force while the unit is stopped.
// An ordinal outside the table raises ERangeError.
std::string ryxTransIsolationName(int Ordinal);
std::string ryxTableTypeName(int Ordinal);
std::string ryxUpdateModeName(int Ordinal);
std::string ryxParamBindModeName(int Ordinal);
std::string ryxParamTypeName(int Ordinal);

// The unit's start-up: fills the five tables, registers TryxDBDatasetAdapter,
// TryxStoredProcAdapter, TryxQueryAdapter, TryxTableAdapter in this order.
// Shut-down unregisters them in the opposite order and releases the tables.
void ryxdabdeInitialize();
void ryxdabdeFinalize();

}  // namespace ryx
