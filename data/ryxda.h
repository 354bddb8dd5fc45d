// Unit Ryxda: the dataset adapter interface with its base behaviour, the capability groups, the adapter factory and TryxDatasetAdapterReg.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/db/db.h"
#include "host/rtl/component.h"
#include "host/rtl/events.h"
#include "host/rtl/object.h"

namespace host {
class TStrings;
}  // namespace host

namespace ryx {

class TryxDatasetAdapter;

// How a search for a key value is best done: through the index or through Locate.
HOST_ENUM(TryxSearchMethod, rsmFindKey, rsmLocate);

namespace detail {
// Records the class operation DatasetClass of an adapter class, so that the
// factory can ask a class reference for it. Returns true (for a static flag).
bool DeclareAdapterClass(host::TClass AdapterClass, host::TClass (*DatasetClassFn)());
}  // namespace detail

// Declares an adapter class: the class object (HOST_CLASS) plus its class
// operation DatasetClass, the dataset class the adapter is made for. Put it
// first in the body of every class derived from TryxDatasetAdapter; a class
// without it answers its parent's DatasetClass.
#define RYX_ADAPTER_CLASS(T, Base, DatasetT)                                                   \
    HOST_CLASS(T, Base)                                                                        \
public:                                                                                        \
    static ::host::TClass DatasetClass() { return DatasetT::StaticClass(); }                   \
                                                                                               \
private:                                                                                       \
    inline static const bool RyxAdapterClassDeclared =                                         \
        ::ryx::detail::DeclareAdapterClass(T::StaticClass(), &T::DatasetClass);

// The DatasetClass of an adapter class given by reference (the class's own, or
// that of its nearest declared ancestor); nullptr for a class that is not an adapter.
host::TClass AdapterDatasetClass(host::TClass AdapterClass);

// One adapter per (user, dataset): tells which features the dataset offers and
// carries them out. The base class serves every dataset: Locate and the
// dataset's own filter, everything else a harmless no-op. It never raises from
// a capability query and never frees the dataset. A capability query comes
// first; the operations of a group do nothing where the query says false.
class TryxDatasetAdapter : public host::TObject {
    RYX_ADAPTER_CLASS(TryxDatasetAdapter, host::TObject, host::TDataSet)
public:
    // The virtual constructor of the adapter family takes the dataset.
    using HostCreateArgs = std::tuple<host::TDataSet*>;

    explicit TryxDatasetAdapter(host::TDataSet* ADataset);
    ~TryxDatasetAdapter() override;

    host::TDataSet* Dataset() const { return FDataset; }

    // Adds one line: Level copies of the indent (two blanks) and Text; a level
    // of 0 or less adds Text unindented.
    static void AddStrIndent(const std::string& Text, int Level, host::TStrings* List);

    // ---- virtual operations, in slot order
    virtual std::string GetDescription();
    virtual bool IsEmptyTableEnabled();
    virtual bool IsTransactionEnabled();
    virtual bool IsStartTransactionEnabled();
    virtual bool IsCommitEnabled();
    virtual bool IsRollbackEnabled();
    virtual bool IsIndexEnabled();
    virtual host::TIndexDefs* GetIndexDefs();
    virtual void SetIndexDefs(host::TIndexDefs* Value);
    virtual host::TField* GetIndexField(int Index);
    virtual void SetIndexField(int Index, host::TField* Value);
    virtual std::string GetIndexName();
    virtual void SetIndexName(const std::string& Value);
    virtual std::string GetIndexFieldNames();
    virtual void SetIndexFieldNames(const std::string& Value);
    virtual int GetIndexFieldCount();
    virtual std::string GetIndexValue();
    virtual bool IsRangeEnabled();
    virtual bool GetKeyExclusive();
    virtual void SetKeyExclusive(bool Value);
    virtual bool IsFindKeyEnabled();
    virtual bool IsFindNearestEnabled();
    virtual bool IsLocateEnabled();
    virtual TryxSearchMethod GetSearchMethod();
    virtual bool IsParamsEnabled();
    virtual host::TParams* GetParams();
    virtual void SetParams(host::TParams* Value);
    virtual int GetParamCount();
    virtual bool IsFilterEnabled();
    virtual bool IsSingleFilter();
    virtual std::string GetFilterText();                       // 30
    virtual bool GetFiltered();
    virtual bool GetFilterGoToFirst();
    virtual host::TFilterOptions GetFilterOptions();
    virtual uint16_t GetFilterPriority();
    virtual host::TNotifyEvent GetOnActivateFilter();
    virtual host::TNotifyEvent GetOnDeactivateFilter();
    virtual host::TFilterRecordEvent GetOnFilterRecord();
    virtual void SetFilterText(const std::string& Value);
    virtual void SetFiltered(bool Value);
    virtual void SetFilterGoToFirst(bool Value);
    virtual void SetFilterOptions(host::TFilterOptions Value);
    virtual void SetFilterPriority(uint16_t Value);
    virtual void SetOnActivateFilter(const host::TNotifyEvent& Value);
    virtual void SetOnDeactivateFilter(const host::TNotifyEvent& Value);
    virtual void SetOnFilterRecord(const host::TFilterRecordEvent& Value);  // 45
    virtual bool IsReadOnlyEnabled();
    // True when the dataset cannot be modified (not CanModify).
    virtual bool GetReadOnly();
    virtual void SetReadOnly(bool Value);
    virtual std::string GetNetUserName();
    // Reports; the bodies live with the reports.
    virtual void GetDatasetInfo(host::TStrings* List);
    virtual void GetFieldInfo(host::TStrings* List);
    virtual void GetIndexInfo(host::TStrings* List);
    virtual void GetParamInfo(host::TStrings* List);
    virtual void GetDatabaseInfo(host::TStrings* List);
    virtual void GetSessionInfo(host::TStrings* List);
    virtual void GetDBEngineInfo(host::TStrings* List);
    virtual void EmptyTable();
    virtual void StartTransaction();
    virtual void Commit();
    virtual void Rollback();
    // Adds the index names to List; the base leaves List unchanged.
    virtual void GetIndexNames(host::TStrings* List);
    virtual void ApplyRange();
    virtual void CancelRange();
    virtual void EditRangeStart();
    virtual void EditRangeEnd();
    // Start and end values: each a single value (the first index field) or a
    // variant array (one element per index field).
    virtual void SetRange(const host::Variant& StartValues, const host::Variant& EndValues);
    virtual void SetRangeStart();
    virtual void SetRangeEnd();
    virtual void EditKey();
    virtual bool FindKey(const host::Variant& KeyValues);
    virtual void FindNearest(const host::Variant& KeyValues);
    virtual void GoToKey();
    virtual void GoToNearest();
    virtual void SetKey();
    virtual bool Locate(const std::string& KeyFields, const host::Variant& KeyValues, host::TLocateOptions Options);
    virtual host::TParam* FilterParamByName(const std::string& Name);
    virtual void FlushBuffers();

private:
    host::TDataSet* const FDataset;
};

// A class reference of the adapter family (a class derived from TryxDatasetAdapter).
using TryxDatasetAdapterClass = host::TClass;

// Picks the adapter class for a dataset by the dataset's exact class. Two lists
// kept in step: the adapter classes and, at the same positions, their
// DatasetClass; the newest registration stands at position 0.
class TryxDSAdapterFactory : public host::TObject {
    HOST_CLASS(TryxDSAdapterFactory, host::TObject)
public:
    TryxDSAdapterFactory() = default;
    ~TryxDSAdapterFactory() override;

    // Inserts the class (and its DatasetClass) at position 0; a class registered
    // twice stands twice. Raises EInvalidOperation for a class that is not an adapter.
    void RegisterAdapter(TryxDatasetAdapterClass AdapterClass);
    // Removes the first (newest) registration of the class; nothing when absent.
    void UnRegisterAdapter(TryxDatasetAdapterClass AdapterClass);
    // The newest adapter class registered for exactly this dataset class, or nullptr.
    TryxDatasetAdapterClass GetAdapterClass(host::TClass DatasetClass) const;
    // GetAdapterClass, or TryxDatasetAdapter when nothing is registered for it.
    TryxDatasetAdapterClass GetAdapterClassDefault(host::TClass DatasetClass) const;
    // A new adapter for the dataset, made through its class's virtual
    // constructor; the caller owns it. Raises EInvalidOperation for no dataset.
    std::unique_ptr<TryxDatasetAdapter> CreateAdapter(host::TDataSet* Dataset) const;

    int Count() const { return int(FAdapterClasses.size()); }
    TryxDatasetAdapterClass AdapterClasses(int Index) const;
    host::TClass DatasetClasses(int Index) const;

private:
    std::vector<TryxDatasetAdapterClass> FAdapterClasses;
    std::vector<host::TClass> FDatasetClasses;
};

// The process-wide factory, made on the first call; freed by the unit's
// finalisation (ryxFreeDSAdapterFactory), after which a call makes a new one.
TryxDSAdapterFactory* ryxDSAdapterFactory();
void ryxFreeDSAdapterFactory();
// True while the factory exists (it is not made by asking).
bool ryxDSAdapterFactoryExists();

// A component without behaviour: a form that holds one needs the unit and
// with it the unit's start-up registrations.
class TryxDatasetAdapterReg : public host::TComponent {
    HOST_CLASS(TryxDatasetAdapterReg, host::TComponent)
public:
    explicit TryxDatasetAdapterReg(host::TComponent* AOwner) : host::TComponent(AOwner) {}
};

}  // namespace ryx
