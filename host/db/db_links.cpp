// Data sources and data links: how datasets tell data-aware objects of their changes.
#include <algorithm>

#include "host/db/db.h"
#include "host/rtl/sysutils.h"

namespace host {

// ---------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    OnStateChange = nullptr;
    OnDataChange = nullptr;
    Destroying();
    SetDataSet(nullptr);
    while (!FDataLinks.empty()) RemoveDataLink(FDataLinks.back());
}

void TDataSource::Edit() {
    if (FAutoEdit && FState == dsBrowse && FDataSet != nullptr) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) const {
    if (ADataSet == nullptr) return false;
    return ADataSet->IsLinkedTo(const_cast<TDataSource*>(this));
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == FDataSet) return;
    if (ADataSet != nullptr && ADataSet->IsLinkedTo(this)) DatabaseError("Circular datalinks are not allowed", this);
    if (FDataSet != nullptr) {
        FDataSet->RemoveDataSource(this);
        RemoveFreeNotification(FDataSet);
    }
    FDataSet = ADataSet;
    if (ADataSet != nullptr) {
        ADataSet->AddDataSource(this);
        FreeNotification(ADataSet);
    }
    if (!ComponentState().Contains(csDestroying)) UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateState();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet) {
        FDataSet = nullptr;
        UpdateState();
    }
}

void TDataSource::AddDataLink(TDataLink* DataLink) {
    FDataLinks.push_back(DataLink);
    DataLink->FDataSource = this;
    if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
    DataLink->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* DataLink) {
    DataLink->FDataSource = nullptr;
    auto it = std::find(FDataLinks.begin(), FDataLinks.end(), DataLink);
    if (it != FDataLinks.end()) FDataLinks.erase(it);
    DataLink->UpdateState();
    if (FDataSet != nullptr && !FDataSet->ComponentState().Contains(csDestroying)) FDataSet->UpdateBufferCount();
}

void TDataSource::NotifyDataLinks(TDataEvent Event, intptr_t Info) {
    // A link may leave or join while being told: walk a copy, skipping links gone meanwhile.
    std::vector<TDataLink*> links = FDataLinks;
    for (TDataLink* link : links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end()) link->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    NotifyDataLinks(Event, Info);
    switch (Event) {
    case deFieldChange:
        OnDataChange(this, reinterpret_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::SetState(TDataSetState Value) {
    if (FState == Value) return;
    TDataSetState prior = FState;
    FState = Value;
    NotifyDataLinks(deUpdateState, 0);
    if (!ComponentState().Contains(csDestroying)) {
        OnStateChange(this);
        if (prior == dsInactive) OnDataChange(this, nullptr);
    }
}

void TDataSource::UpdateState() {
    if (FEnabled && FDataSet != nullptr)
        SetState(FDataSet->State());
    else
        SetState(dsInactive);
}

// ---------------------------------------------------------------------------
// TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    FActive = false;
    FEditing = false;
    FDataSourceFixed = false;
    if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return FDataSource != nullptr ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* ADataSource) {
    if (FDataSource == ADataSource) return;
    if (FDataSourceFixed) DatabaseError("DataSource cannot be changed");
    TDataSource* detail = GetDetailDataSource();
    if (ADataSource != nullptr && detail != nullptr &&
        (ADataSource == detail || (ADataSource->DataSet() != nullptr && ADataSource->DataSet()->IsLinkedTo(detail))))
        DatabaseError("Circular datalinks are not allowed");
    if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
    if (ADataSource != nullptr) ADataSource->AddDataLink(this);
}

void TDataLink::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    UpdateState();
}

void TDataLink::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value)
        UpdateRange();
    else
        FFirstRecord = 0;
    ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
    if (FEditing == Value) return;
    FEditing = Value;
    EditingChanged();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource != nullptr && FDataSource->State() != dsInactive);
    SetEditing(FDataSource != nullptr && dsEditModes.Contains(FDataSource->State()) && !FReadOnly);
}

void TDataLink::UpdateRange() {
    TDataSet* ds = DataSet();
    if (ds == nullptr) return;
    int minFirst = std::max(ds->FActiveRecord - FBufferCount + 1, 0);
    int maxFirst = std::max(ds->FBufferCount - FBufferCount, 0);
    maxFirst = std::min(maxFirst, ds->FActiveRecord);
    if (FFirstRecord < minFirst) FFirstRecord = minFirst;
    if (FFirstRecord > maxFirst) FFirstRecord = maxFirst;
}

int TDataLink::ActiveRecord() const {
    if (FDataSource == nullptr || DataSet() == nullptr || FDataSource->State() == dsSetKey) return 0;
    return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
    if (FDataSource == nullptr || DataSet() == nullptr || FDataSource->State() == dsSetKey) return;
    TDataSet* ds = DataSet();
    int rec = Value + FFirstRecord;
    if (rec < 0 || rec >= std::max(ds->FRecordCount, 1)) return;
    ds->FActiveRecord = rec;
}

void TDataLink::SetBufferCount(int Value) {
    if (Value < 1) Value = 1;
    if (FBufferCount == Value) return;
    FBufferCount = Value;
    if (FActive) {
        UpdateRange();
        DataSet()->UpdateBufferCount();
        UpdateRange();
    }
}

int TDataLink::RecordCount() const {
    TDataSet* ds = DataSet();
    if (ds == nullptr) return 0;
    return std::min(ds->FRecordCount, FBufferCount);
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource != nullptr) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int count = 0;
        if (FDataSource->State() != dsSetKey) {
            int active = DataSet()->FActiveRecord;
            int first = FFirstRecord + static_cast<int>(Info);
            int last = first + FBufferCount - 1;
            if (active > last)
                count = active - last;
            else if (active < first)
                count = active - first;
            FFirstRecord = first + count;
        }
        if (Event == deDataSetChange)
            DataSetChanged();
        else if (Event == deDataSetScroll)
            DataSetScrolled(count);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TFieldRef>(Info));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// TFieldDataLink

TFieldDataLink::TFieldDataLink() = default;
TFieldDataLink::~TFieldDataLink() = default;

void TFieldDataLink::SetFieldName(const std::string& Value) {
    if (FFieldName == Value) return;
    FFieldName = Value;
    UpdateField();
}

void TFieldDataLink::SetField(TField* Value) {
    if (FField == Value) return;
    FField = Value;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
    if (Active() && !FFieldName.empty()) {
        FField = nullptr;
        SetField(DataSet()->FieldByName(FFieldName));
    } else {
        SetField(nullptr);
    }
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField != nullptr && FField->CanModify(); }

bool TFieldDataLink::Edit() {
    if (CanModify()) TDataLink::Edit();
    return FEditing;
}

void TFieldDataLink::Modified() { FModified = true; }

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::SetEditing(bool Value) {
    if (FEditing == Value) return;
    FEditing = Value;
    FModified = false;
    OnEditingChange(this);
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TFieldRef Value) {
    if (Value != nullptr && *Value != nullptr && *Value == FField && FControl != nullptr) {
        if (FieldLinkFocusHandler() && FieldLinkFocusHandler()(FControl)) *Value = nullptr;
    }
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* Field) {
    if (Field == nullptr || Field == FField) {
        OnDataChange(this);
        FModified = false;
    }
}

void TFieldDataLink::UpdateData() {
    if (FModified) {
        if (FField != nullptr) OnUpdateData(this);
        FModified = false;
    }
}

std::function<bool(TComponent*)>& FieldLinkFocusHandler() {
    static std::function<bool(TComponent*)> handler;
    return handler;
}

// ---------------------------------------------------------------------------
// TMasterDataLink

TMasterDataLink::TMasterDataLink(TDataSet* ADataSet) : FDetailDataSet(ADataSet) {}
TMasterDataLink::~TMasterDataLink() = default;

void TMasterDataLink::SetFieldNames(const std::string& Value) {
    if (FFieldNames == Value) return;
    FFieldNames = Value;
    ActiveChanged();
}

TDataSource* TMasterDataLink::GetDetailDataSource() const {
    // The detail dataset's own data sources: a master may not take data from them.
    return nullptr;
}

void TMasterDataLink::ActiveChanged() {
    FFields.clear();
    if (Active()) {
        try {
            DataSet()->GetFieldList(FFields, FFieldNames);
        } catch (EDatabaseError&) {
            FFields.clear();
            throw;
        }
    }
    if (FDetailDataSet != nullptr && FDetailDataSet->Active() &&
        !FDetailDataSet->ComponentState().Contains(csDestroying)) {
        if (Active() && !FFields.empty())
            OnMasterChange(this);
        else
            OnMasterDisable(this);
    }
}

void TMasterDataLink::CheckBrowseMode() {
    if (FDetailDataSet != nullptr && FDetailDataSet->Active()) FDetailDataSet->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() { ActiveChanged(); }

void TMasterDataLink::RecordChanged(TField* Field) {
    if (DataSource() == nullptr || DataSource()->State() == dsSetKey) return;
    if (FDetailDataSet == nullptr || !FDetailDataSet->Active() || FFields.empty()) return;
    if (Field == nullptr || std::find(FFields.begin(), FFields.end(), Field) != FFields.end()) OnMasterChange(this);
}

}  // namespace host
