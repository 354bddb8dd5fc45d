// Unit Ryxfiltr: the engine filter object (expression and record-callback filters on a cursor) and the filter components that filter a dataset through its adapter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/db/db.h"
#include "host/rtl/exceptions.h"

namespace host {
class TDBDataSet;
class TStream;
struct DBICurObj;
struct DBIFilterObj;
}  // namespace host

namespace ryx {

class TryxDatasetAdapter;
class TryxFilterDataLink;

using THelpContext = int;

// Raised for filter operations that cannot be carried out.
class EryxInvalidFilterOperation : public host::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EryxInvalidFilterOperation"; }
    bool InheritsFrom(const char* className) const noexcept override;
};

// Filters of the database engine on one dataset's cursor: a compiled filter
// expression at Priority and a record callback (OnFilterRecord) at Priority + 1.
// The filters are added to the cursor, activated and deactivated together, and
// dropped when the expression, options or priority change. The filters belong
// to the cursor they were added to: once the dataset closes (its cursor goes)
// they are forgotten, and the next activation adds them to the new cursor.
class TryxBDEFilterObject : public host::TObject {
    HOST_CLASS(TryxBDEFilterObject, host::TObject)
public:
    explicit TryxBDEFilterObject(host::TDBDataSet* ADataSet);
    ~TryxBDEFilterObject() override;
    TryxBDEFilterObject(const TryxBDEFilterObject&) = delete;
    TryxBDEFilterObject& operator=(const TryxBDEFilterObject&) = delete;

    // True while the filters are active on the dataset's current cursor.
    bool Active() const;
    void SetActive(bool Value);
    void Activate() { SetActive(true); }
    void Deactivate() { SetActive(false); }
    host::TDBDataSet* DataSet() const { return FDataSet; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value);
    host::TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(host::TFilterOptions Value);
    uint16_t Priority() const { return FPriority; }
    // Re-adds the filters at the new priority, active again when they were.
    void SetPriority(uint16_t Value);
    const host::TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
    // Deactivates an active filter that had a handler; the next activation
    // adds the filters anew with the new handler.
    void SetOnFilterRecord(const host::TFilterRecordEvent& Value);
    bool GoToFirst() const { return FGoToFirst; }
    void SetGoToFirst(bool Value) { FGoToFirst = Value; }
    host::TNotifyEvent OnActivate;
    host::TNotifyEvent OnDeactivate;

    // The dataset is open on an engine cursor and there is an expression or a handler.
    bool CanActivate() const;
    // Either engine filter is added to the dataset's current cursor.
    bool HandleAllocated() const;
    // The value of a field of the record being judged. Only inside
    // OnFilterRecord; raises EryxInvalidFilterOperation elsewhere. Values of
    // every length are read (long strings and blobs included).
    host::TParam* ParamByName(const std::string& FieldName);

    // The engine steps.
    void DoDbiAddFilter();
    void DoDbiActivateFilter();
    void DoDbiDeactivateFilter();
    void DoDbiDropFilter();

private:
    static int RecordCallback(uintptr_t ClientData, const uint8_t* RecBuf, int32_t PhyRecNo);
    // Forgets handles that belong to a cursor the dataset no longer has.
    void ForgetStaleHandles();
    host::DBICurObj* Cursor() const;
    void AfterSwitch(bool Activated);

    bool FActive = false;
    host::TDBDataSet* FDataSet = nullptr;
    std::string FFilter;
    host::TFilterOptions FFilterOptions;
    std::vector<uint8_t> FValueBuffer;
    const uint8_t* FRecordBuffer = nullptr;
    std::unique_ptr<host::TParam> FParam;
    bool FGoToFirst = true;
    host::DBIFilterObj* FExprHandle = nullptr;
    host::DBIFilterObj* FFuncHandle = nullptr;
    host::DBICurObj* FHandleCursor = nullptr;  // the cursor the handles were added to
    host::TFilterRecordEvent FOnFilterRecord;
    uint16_t FPriority = 1;
};

// A filter component: filters its DataSet through the dataset's adapter (the
// engine filter object for engine datasets, else the dataset's own Filter).
class TryxCustomDBFilter : public host::TComponent {
    HOST_CLASS(TryxCustomDBFilter, host::TComponent)
public:
    explicit TryxCustomDBFilter(host::TComponent* AOwner);
    ~TryxCustomDBFilter() override;

    void Activate() { SetActive(true); }
    void Deactivate() { SetActive(false); }
    // Dataset open, a filtering adapter, and an expression or a handler.
    bool CanActivate() const;
    // The adapter's FilterParamByName; nullptr without an adapter.
    host::TParam* ParamByName(const std::string& Name);
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    // The filter text as one string value of the binary form stream.
    virtual void LoadFromStream(host::TStream* Stream);
    virtual void SaveToStream(host::TStream* Stream);

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TryxDatasetAdapter* Adapter() const { return FAdapter.get(); }
    bool AutoActivate() const { return FAutoActivate; }
    void SetAutoActivate(bool Value);
    host::TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(host::TDataSet* Value);
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value);
    bool GoToFirst() const { return FGoToFirst; }
    void SetGoToFirst(bool Value);
    host::TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(host::TFilterOptions Value);
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext Value) { FHelpContext = Value; }
    host::TNotifyEvent OnActivate;
    host::TNotifyEvent OnDeactivate;
    const host::TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
    void SetOnFilterRecord(const host::TFilterRecordEvent& Value);
    uint16_t Priority() const { return FPriority; }
    void SetPriority(uint16_t Value);

    void Loaded() override;
    void Notification(host::TComponent* AComponent, host::TOperation Operation) override;

protected:
    void AutoActivateIfPossible();
    // Lets go of the adapter; a single-filter dataset this component filtered
    // is unfiltered unless it stays this component's dataset.
    void ReleaseAdapter(host::TDataSet* NextDataSet);
    // Hands the component's filter settings to a new adapter.
    void ConfigureAdapter();
    // Switches the adapter's filter on or off the way SetActive describes.
    void ApplyActive(bool Value);

    host::TFilterRecordEvent FilterRecordProp() const { return FOnFilterRecord; }
    void SetFilterRecordProp(host::TFilterRecordEvent Value) { SetOnFilterRecord(Value); }
    void SetFilterProp(std::string Value) { SetFilter(Value); }

    bool FActive = false;
    std::unique_ptr<TryxDatasetAdapter> FAdapter;
    bool FAutoActivate = true;
    host::TDataSet* FDataSet = nullptr;
    std::string FFilter;
    bool FGoToFirst = true;
    host::TFilterOptions FFilterOptions;
    THelpContext FHelpContext = 0;
    host::TFilterRecordEvent FOnFilterRecord;
    uint16_t FPriority = 1;
};

// Filters a dataset; Edit opens the dataset filter dialog.
class TryxDBDataSetFilter : public TryxCustomDBFilter {
    HOST_CLASS(TryxDBDataSetFilter, TryxCustomDBFilter)
public:
    explicit TryxDBDataSetFilter(host::TComponent* AOwner);
    // True when the dialog was confirmed (and the filter text and options were
    // taken from it); false when cancelled or when no dialog is registered.
    bool Edit();
};

// A filter component that follows the dataset of a data source.
class TryxCustomDBDataLinkFilter : public TryxCustomDBFilter {
    HOST_CLASS(TryxCustomDBDataLinkFilter, TryxCustomDBFilter)
public:
    explicit TryxCustomDBDataLinkFilter(host::TComponent* AOwner);
    ~TryxCustomDBDataLinkFilter() override;

    host::TDataSource* DataSource() const;
    void SetDataSource(host::TDataSource* Value);
    TryxFilterDataLink* DataLink() const { return FDataLink.get(); }

    void Loaded() override;
    void Notification(host::TComponent* AComponent, host::TOperation Operation) override;

private:
    friend class TryxFilterDataLink;
    void DataLinkActiveChanged();
    std::unique_ptr<TryxFilterDataLink> FDataLink;
};

// The filter component of forms; Edit opens the filter dialog.
class TryxDBFilter : public TryxCustomDBDataLinkFilter {
    HOST_CLASS(TryxDBFilter, TryxCustomDBDataLinkFilter)
public:
    explicit TryxDBFilter(host::TComponent* AOwner);
    // False when no filter dialog is registered.
    bool Edit(bool Flag1, bool Flag2);

private:
    host::TDataSource* DataSourceProp() const { return DataSource(); }
    void SetDataSourceProp(host::TDataSource* Value) { SetDataSource(Value); }
    bool AutoActivateProp() const { return FAutoActivate; }
    void SetAutoActivateProp(bool Value) { SetAutoActivate(Value); }
    bool GoToFirstProp() const { return FGoToFirst; }
    void SetGoToFirstProp(bool Value) { SetGoToFirst(Value); }
    host::TFilterOptions FilterOptionsProp() const { return FFilterOptions; }
    void SetFilterOptionsProp(host::TFilterOptions Value) { SetFilterOptions(Value); }
    std::string FilterProp() const { return FFilter; }

    HOST_PUBLISHED(prop("AutoActivate", &TryxDBFilter::AutoActivateProp, &TryxDBFilter::SetAutoActivateProp).def(true),
                   prop("DataSource", &TryxDBFilter::DataSourceProp, &TryxDBFilter::SetDataSourceProp),
                   prop("Filter", &TryxDBFilter::FilterProp, &TryxDBFilter::SetFilterProp),
                   prop("FilterOptions", &TryxDBFilter::FilterOptionsProp, &TryxDBFilter::SetFilterOptionsProp),
                   prop("GoToFirst", &TryxDBFilter::GoToFirstProp, &TryxDBFilter::SetGoToFirstProp).def(true),
                   prop("HelpContext", &TryxDBFilter::FHelpContext, &TryxDBFilter::SetHelpContext).def(0),
                   prop("OnActivate", &TryxDBFilter::OnActivate, &TryxDBFilter::OnActivate),
                   prop("OnDeactivate", &TryxDBFilter::OnDeactivate, &TryxDBFilter::OnDeactivate),
                   prop("OnFilterRecord", &TryxDBFilter::FilterRecordProp, &TryxDBFilter::SetFilterRecordProp))
};

// The data link of a data-link filter: tells its filter when the data
// source's dataset opens, closes or changes.
class TryxFilterDataLink : public host::TDataLink {
    HOST_CLASS(TryxFilterDataLink, host::TDataLink)
public:
    explicit TryxFilterDataLink(TryxCustomDBDataLinkFilter* AFilter);
    TryxCustomDBDataLinkFilter* Filter() const { return FFilter; }

protected:
    void ActiveChanged() override;
    void DataEvent(host::TDataEvent Event, intptr_t Info) override;

private:
    friend class TryxCustomDBDataLinkFilter;
    TryxCustomDBDataLinkFilter* FFilter;
};

// The filter dialogs register these when their units start; until then Edit
// finds no dialog and returns false.
using TryxExecFilterDialogProc = bool (*)(host::TComponent* Owner, TryxDBFilter* Filter, bool Flag1, bool Flag2,
                                          THelpContext HelpContext);
using TryxExecDatasetFilterDialogProc = bool (*)(host::TDataSet* DataSet, TryxDatasetAdapter* Adapter,
                                                 std::string& FilterText, bool& CaseInsensitive,
                                                 bool& PartialCompare, bool HelpButton, THelpContext HelpContext);
void ryxSetFilterDialogProcs(TryxExecFilterDialogProc FilterProc, TryxExecDatasetFilterDialogProc DatasetProc);

}  // namespace ryx
