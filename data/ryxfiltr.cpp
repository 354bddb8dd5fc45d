// Unit Ryxfiltr: the engine filter object and the filter components.
#include "data/ryxfiltr.h"

#include <algorithm>
#include <cstring>

#include "data/ryxda.h"
#include "frame/ryxconst.h"
#include "host/app/app.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/db/filterexpr.h"
#include "host/rtl/filer.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace ryx {

using namespace host;

bool EryxInvalidFilterOperation::InheritsFrom(const char* className) const noexcept {
    return std::strcmp(className, "EryxInvalidFilterOperation") == 0 || Exception::InheritsFrom(className);
}

namespace {

[[noreturn]] void FilterError(const TResStringRec& Message) { throw EryxInvalidFilterOperation(Message.Text()); }

unsigned ExprOptions(TFilterOptions Options) {
    unsigned result = 0;
    if (Options.Contains(foCaseInsensitive)) result |= fxoCaseInsensitive;
    if (Options.Contains(foNoPartialCompare)) result |= fxoNoPartialCompare;
    return result;
}

// A filter text of blanks only holds no expression.
bool HasExpression(const std::string& Text) { return !Trim(Text).empty(); }

bool IsBlobType(TFieldType Type) {
    switch (Type) {
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary:
    case ftOraBlob: case ftOraClob:
        return true;
    default:
        return false;
    }
}

bool IsStringType(TFieldType Type) {
    return Type == ftString || Type == ftFixedChar || Type == ftWideString || Type == ftGuid;
}

TryxExecFilterDialogProc GFilterDialogProc = nullptr;
TryxExecDatasetFilterDialogProc GDatasetFilterDialogProc = nullptr;

}  // namespace

void ryxSetFilterDialogProcs(TryxExecFilterDialogProc FilterProc, TryxExecDatasetFilterDialogProc DatasetProc) {
    GFilterDialogProc = FilterProc;
    GDatasetFilterDialogProc = DatasetProc;
}

// ---------------------------------------------------------------------------
// TryxBDEFilterObject

TryxBDEFilterObject::TryxBDEFilterObject(TDBDataSet* ADataSet)
    : FDataSet(ADataSet), FValueBuffer(256), FParam(std::make_unique<TParam>(nullptr)) {}

TryxBDEFilterObject::~TryxBDEFilterObject() {
    // A dataset being destroyed has lost its cursor part already: leave it alone.
    if (FDataSet != nullptr && !FDataSet->ComponentState().Contains(csDestroying) && HandleAllocated() &&
        FDataSet->Active()) {
        try {
            DoDbiDropFilter();
        } catch (...) {
            // The cursor keeps filters it could not drop; they go with it.
        }
    }
}

DBICurObj* TryxBDEFilterObject::Cursor() const { return FDataSet != nullptr ? FDataSet->Handle() : nullptr; }

bool TryxBDEFilterObject::HandleAllocated() const {
    return (FExprHandle != nullptr || FFuncHandle != nullptr) && FHandleCursor != nullptr && Cursor() == FHandleCursor;
}

bool TryxBDEFilterObject::Active() const { return FActive && HandleAllocated(); }

void TryxBDEFilterObject::ForgetStaleHandles() {
    if ((FExprHandle != nullptr || FFuncHandle != nullptr) && !HandleAllocated()) {
        FExprHandle = nullptr;
        FFuncHandle = nullptr;
        FHandleCursor = nullptr;
        FActive = false;
    }
}

bool TryxBDEFilterObject::CanActivate() const {
    return FDataSet != nullptr && Cursor() != nullptr && FDataSet->Active() &&
           (HasExpression(FFilter) || FOnFilterRecord.Assigned());
}

void TryxBDEFilterObject::DoDbiAddFilter() {
    if (FDataSet == nullptr) FilterError(_sryxErrDataSetRequired);
    hDBICur cursor = Cursor();
    if (cursor == nullptr) FilterError(_sryxErrDataSetInactive);
    const bool expression = HasExpression(FFilter);
    if (!expression && !FOnFilterRecord.Assigned()) FilterError(_sryxErrFilterExprEmpty);
    // The callback filter sits one above the expression's priority.
    if (FOnFilterRecord.Assigned() && FPriority == 65535)
        throw ERangeError("Filter priority 65535 leaves no priority for the record filter");
    DoDbiDropFilter();
    if (expression) {
        TExprParser parser(cursor, FFilter, ExprOptions(FFilterOptions));
        const DBIResult rc = DbiAddFilter(cursor, 0, FPriority, false, parser.FilterData(), nullptr, FExprHandle);
        if (rc != DBIERR_NONE) {
            FExprHandle = nullptr;
            Check(rc);
        }
        FHandleCursor = cursor;
    }
    if (FOnFilterRecord.Assigned()) {
        const DBIResult rc = DbiAddFilter(cursor, reinterpret_cast<uintptr_t>(this), uint16_t(FPriority + 1), false,
                                          nullptr, &TryxBDEFilterObject::RecordCallback, FFuncHandle);
        if (rc != DBIERR_NONE) {
            FFuncHandle = nullptr;
            // Half a filter is no filter: take the expression out again.
            DoDbiDropFilter();
            Check(rc);
        }
        FHandleCursor = cursor;
    }
}

void TryxBDEFilterObject::AfterSwitch(bool Activated) {
    FDataSet->Refresh();
    if (FGoToFirst) FDataSet->First();
    if (Activated)
        OnActivate(this);
    else
        OnDeactivate(this);
}

void TryxBDEFilterObject::DoDbiActivateFilter() {
    ForgetStaleHandles();
    if (!HandleAllocated()) FilterError(_sryxErrFilterHandle);
    if (FExprHandle != nullptr) Check(DbiActivateFilter(FHandleCursor, FExprHandle));
    if (FFuncHandle != nullptr) Check(DbiActivateFilter(FHandleCursor, FFuncHandle));
    FActive = true;
    AfterSwitch(true);
}

void TryxBDEFilterObject::DoDbiDeactivateFilter() {
    ForgetStaleHandles();
    if (!HandleAllocated()) return;
    if (FExprHandle != nullptr) Check(DbiDeactivateFilter(FHandleCursor, FExprHandle));
    if (FFuncHandle != nullptr) Check(DbiDeactivateFilter(FHandleCursor, FFuncHandle));
    FActive = false;
    AfterSwitch(false);
}

void TryxBDEFilterObject::DoDbiDropFilter() {
    ForgetStaleHandles();
    if (!HandleAllocated()) return;
    if (FActive) DoDbiDeactivateFilter();
    if (FExprHandle != nullptr) DbiDropFilter(FHandleCursor, FExprHandle);
    FExprHandle = nullptr;
    if (FFuncHandle != nullptr) DbiDropFilter(FHandleCursor, FFuncHandle);
    FFuncHandle = nullptr;
    FHandleCursor = nullptr;
    FActive = false;
}

void TryxBDEFilterObject::SetActive(bool Value) {
    ForgetStaleHandles();
    if (Value == FActive) return;
    if (Value) {
        // Add anew when nothing is added yet or what is added no longer
        // matches the settings (a handler assigned or removed since).
        const bool matches = (FExprHandle != nullptr) == HasExpression(FFilter) &&
                             (FFuncHandle != nullptr) == FOnFilterRecord.Assigned();
        if (!HandleAllocated() || !matches) DoDbiAddFilter();
        DoDbiActivateFilter();
    } else {
        DoDbiDeactivateFilter();
    }
    FActive = Value;
}

void TryxBDEFilterObject::SetFilter(const std::string& Value) {
    ForgetStaleHandles();
    const bool wasActive = FActive;
    // A text that does not compile changes nothing.
    if (Cursor() != nullptr && HasExpression(Value)) TExprParser check(Cursor(), Value, ExprOptions(FFilterOptions));
    FFilter = Value;
    // The old filters never outlive their text, active or not.
    DoDbiDropFilter();
    if (CanActivate()) {
        DoDbiAddFilter();
        if (wasActive) Activate();
    }
}

void TryxBDEFilterObject::SetFilterOptions(TFilterOptions Value) {
    ForgetStaleHandles();
    const bool wasActive = FActive;
    FFilterOptions = Value;
    if (CanActivate()) {
        DoDbiAddFilter();
        if (wasActive) Activate();
    } else {
        DoDbiDropFilter();
    }
}

void TryxBDEFilterObject::SetPriority(uint16_t Value) {
    if (Value == FPriority) return;
    if (FOnFilterRecord.Assigned() && Value == 65535)
        throw ERangeError("Filter priority 65535 leaves no priority for the record filter");
    ForgetStaleHandles();
    const bool wasActive = FActive;
    FPriority = Value;
    DoDbiDropFilter();
    if (wasActive) Activate();
}

void TryxBDEFilterObject::SetOnFilterRecord(const TFilterRecordEvent& Value) {
    ForgetStaleHandles();
    if (FOnFilterRecord.Assigned() && FActive) Deactivate();
    FOnFilterRecord = Value;
}

int TryxBDEFilterObject::RecordCallback(uintptr_t ClientData, const uint8_t* RecBuf, int32_t PhyRecNo) {
    (void)PhyRecNo;
    auto* self = reinterpret_cast<TryxBDEFilterObject*>(ClientData);
    if (!self->FOnFilterRecord.Assigned()) return 1;
    bool accept = true;
    const uint8_t* saved = self->FRecordBuffer;
    self->FRecordBuffer = RecBuf;
    try {
        TFilterRecordEvent handler = self->FOnFilterRecord;
        handler(self->FDataSet, accept);
    } catch (...) {
        // Reported through the application; the record passes and the walk goes on.
        self->FRecordBuffer = saved;
        accept = true;
        if (Application != nullptr) Application->HandleException(self);
    }
    self->FRecordBuffer = saved;
    return accept ? 1 : 0;
}

TParam* TryxBDEFilterObject::ParamByName(const std::string& FieldName) {
    ForgetStaleHandles();
    if (FFuncHandle == nullptr) FilterError(_sryxErrFilterHandle);
    if (FRecordBuffer == nullptr)
        throw EryxInvalidFilterOperation("ParamByName reads the record being filtered: call it from OnFilterRecord");
    TField* field = FDataSet->FieldByName(FieldName);
    const FLDDesc* desc = FDataSet->FieldDesc(field);
    if (desc == nullptr)
        throw EryxInvalidFilterOperation(
            Format("Field '%s' is not a data field of the filtered cursor", {field->FieldName()}));
    hDBICur cursor = FHandleCursor;
    const TFieldType type = field->DataType();
    bool blank = true;
    Check(DbiGetField(cursor, desc->iFldNum, FRecordBuffer, nullptr, blank));
    FParam->SetName(field->FieldName());
    FParam->Clear();
    FParam->SetDataType(type);
    if (blank) return FParam.get();
    if (IsBlobType(type)) {
        int64_t size = 0;
        Check(DbiGetBlobSize(cursor, FRecordBuffer, desc->iFldNum, size));
        std::string bytes(size_t(std::max<int64_t>(size, 0)), '\0');
        int64_t read = 0;
        if (size > 0) Check(DbiGetBlob(cursor, FRecordBuffer, desc->iFldNum, 0, size, bytes.data(), read));
        bytes.resize(size_t(std::max<int64_t>(read, 0)));
        FParam->SetValue(Variant(bytes));
        return FParam.get();
    }
    // The native value, however long the field is.
    const size_t need = std::max<size_t>(desc->iLen + 1, 256);
    if (FValueBuffer.size() < need) FValueBuffer.resize(need);
    std::fill(FValueBuffer.begin(), FValueBuffer.end(), uint8_t(0));
    Check(DbiGetField(cursor, desc->iFldNum, FRecordBuffer, FValueBuffer.data(), blank));
    if (IsStringType(type)) {
        std::vector<uint8_t> text(FValueBuffer.size(), 0);
        NativeToAnsiBuf(FDataSet->Locale(), reinterpret_cast<const char*>(FValueBuffer.data()),
                        reinterpret_cast<char*>(text.data()), desc->iLen);
        FValueBuffer.swap(text);
    }
    if (type == ftBytes || type == ftVarBytes) FParam->SetSize(desc->iUnits1);
    FParam->SetData(FValueBuffer.data());
    return FParam.get();
}

// ---------------------------------------------------------------------------
// TryxCustomDBFilter

TryxCustomDBFilter::TryxCustomDBFilter(TComponent* AOwner) : TComponent(AOwner) {}

TryxCustomDBFilter::~TryxCustomDBFilter() {
    try {
        ReleaseAdapter(nullptr);
    } catch (...) {
        // The dataset keeps its filter; nothing else is left to undo.
    }
    FAdapter.reset();
    if (FDataSet != nullptr && !FDataSet->ComponentState().Contains(csDestroying))
        FDataSet->RemoveFreeNotification(this);
}

bool TryxCustomDBFilter::CanActivate() const {
    return FDataSet != nullptr && FDataSet->Active() && FAdapter != nullptr && FAdapter->IsFilterEnabled() &&
           (HasExpression(FFilter) || FOnFilterRecord.Assigned());
}

TParam* TryxCustomDBFilter::ParamByName(const std::string& Name) {
    return FAdapter != nullptr ? FAdapter->FilterParamByName(Name) : nullptr;
}

void TryxCustomDBFilter::ReleaseAdapter(TDataSet* NextDataSet) {
    if (FAdapter == nullptr) return;
    std::unique_ptr<TryxDatasetAdapter> adapter = std::move(FAdapter);
    if (FDataSet == nullptr || FDataSet == NextDataSet || FDataSet->ComponentState().Contains(csDestroying)) return;
    if (!adapter->IsFilterEnabled() || !adapter->IsSingleFilter()) return;
    // The dataset's own filter was this component's: take it back.
    if (FActive && adapter->GetFiltered() && adapter->GetFilterText() == FFilter) adapter->SetFiltered(false);
    if (FOnFilterRecord.Assigned() && adapter->GetOnFilterRecord() == FOnFilterRecord)
        adapter->SetOnFilterRecord(nullptr);
}

void TryxCustomDBFilter::ConfigureAdapter() {
    if (!FAdapter->IsFilterEnabled()) return;
    FAdapter->SetFilterText(FFilter);
    FAdapter->SetFilterGoToFirst(FGoToFirst);
    FAdapter->SetFilterOptions(FFilterOptions);
    FAdapter->SetFilterPriority(FPriority);
    FAdapter->SetOnActivateFilter(OnActivate);
    FAdapter->SetOnDeactivateFilter(OnDeactivate);
    FAdapter->SetOnFilterRecord(FOnFilterRecord);
}

void TryxCustomDBFilter::SetDataSet(TDataSet* Value) {
    if (ComponentState().Contains(csLoading)) {
        FDataSet = Value;
        return;
    }
    if (Value != nullptr && Value->ComponentState().Contains(csDestroying)) Value = nullptr;
    ReleaseAdapter(Value);
    if (FDataSet != Value && FDataSet != nullptr && !FDataSet->ComponentState().Contains(csDestroying))
        FDataSet->RemoveFreeNotification(this);
    FDataSet = Value;
    if (FDataSet == nullptr) return;
    FDataSet->FreeNotification(this);
    FAdapter = ryxDSAdapterFactory()->CreateAdapter(FDataSet);
    ConfigureAdapter();
    if (FActive) {
        // A rebuilt adapter (the dataset reopened or changed) filters as before.
        if (CanActivate()) ApplyActive(true);
    } else {
        AutoActivateIfPossible();
    }
}

void TryxCustomDBFilter::ApplyActive(bool Value) {
    if (FAdapter->IsSingleFilter()) {
        if (FAdapter->GetFilterText() == FFilter) {
            FAdapter->SetFiltered(Value);
        } else if (Value) {
            FAdapter->SetFilterText(FFilter);
            FAdapter->SetFilterOptions(FFilterOptions);
            FAdapter->SetFiltered(true);
        }
    } else {
        // Events assigned since the adapter was made take part too.
        FAdapter->SetOnActivateFilter(OnActivate);
        FAdapter->SetOnDeactivateFilter(OnDeactivate);
        FAdapter->SetFiltered(Value);
    }
}

void TryxCustomDBFilter::SetActive(bool Value) {
    if (Value != FActive && FAdapter != nullptr) ApplyActive(Value);
    FActive = Value;
}

void TryxCustomDBFilter::AutoActivateIfPossible() {
    if (FAdapter == nullptr || ComponentState().Contains(csLoading)) return;
    if (FActive) {
        // Active with nothing left to filter by is not active; active while
        // the adapter dropped its filter (a changed text) filters again.
        if (!HasExpression(FFilter) && !FOnFilterRecord.Assigned()) {
            FActive = false;
        } else if (CanActivate() && !FAdapter->GetFiltered()) {
            ApplyActive(true);
        }
        return;
    }
    if (FAutoActivate && CanActivate()) Activate();
}

void TryxCustomDBFilter::SetAutoActivate(bool Value) {
    FAutoActivate = Value;
    if (Value && !FActive && !ComponentState().Contains(csLoading) && CanActivate()) Activate();
}

void TryxCustomDBFilter::SetFilter(const std::string& Value) {
    if (FAdapter != nullptr) FAdapter->SetFilterText(Value);
    FFilter = Value;
    AutoActivateIfPossible();
}

void TryxCustomDBFilter::SetGoToFirst(bool Value) {
    FGoToFirst = Value;
    if (FAdapter != nullptr) FAdapter->SetFilterGoToFirst(Value);
}

void TryxCustomDBFilter::SetFilterOptions(TFilterOptions Value) {
    FFilterOptions = Value;
    if (FAdapter != nullptr) FAdapter->SetFilterOptions(Value);
    AutoActivateIfPossible();
}

void TryxCustomDBFilter::SetOnFilterRecord(const TFilterRecordEvent& Value) {
    if (FOnFilterRecord.Assigned() && FActive) Deactivate();
    FOnFilterRecord = Value;
    if (FAdapter != nullptr) FAdapter->SetOnFilterRecord(Value);
    AutoActivateIfPossible();
}

void TryxCustomDBFilter::SetPriority(uint16_t Value) {
    if (Value == FPriority) return;
    if (FAdapter != nullptr) FAdapter->SetFilterPriority(Value);
    FPriority = Value;
}

void TryxCustomDBFilter::Loaded() {
    TComponent::Loaded();
    SetDataSet(FDataSet);
}

void TryxCustomDBFilter::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FDataSet) SetDataSet(nullptr);
}

void TryxCustomDBFilter::SaveToStream(TStream* Stream) {
    TWriter writer(Stream, 1024);
    writer.WriteString(FFilter);
}

void TryxCustomDBFilter::LoadFromStream(TStream* Stream) {
    std::string text;
    {
        TReader reader(Stream, 1024);
        text = reader.ReadString();
    }
    SetFilter(text);
}

void TryxCustomDBFilter::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TryxCustomDBFilter::SaveToFile(const std::string& FileName) {
    // Written whole or not at all.
    TMemoryStream stream;
    SaveToStream(&stream);
    const std::string bytes(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
    if (!WriteFileAtomic(FileName, bytes)) throw EFCreateError(Format("Cannot create file \"%s\"", {FileName}));
}

// ---------------------------------------------------------------------------
// TryxDBDataSetFilter

TryxDBDataSetFilter::TryxDBDataSetFilter(TComponent* AOwner) : TryxCustomDBFilter(AOwner) {}

bool TryxDBDataSetFilter::Edit() {
    if (GDatasetFilterDialogProc == nullptr) return false;
    std::string text = FFilter;
    bool caseInsensitive = FFilterOptions.Contains(foCaseInsensitive);
    bool partialCompare = !FFilterOptions.Contains(foNoPartialCompare);
    if (!GDatasetFilterDialogProc(FDataSet, FAdapter.get(), text, caseInsensitive, partialCompare, FHelpContext != 0,
                                  FHelpContext))
        return false;
    SetFilter(text);
    TFilterOptions options = FFilterOptions;
    if (caseInsensitive)
        options.Include(foCaseInsensitive);
    else
        options.Exclude(foCaseInsensitive);
    SetFilterOptions(options);
    // Partial compare means the expression's trailing '*' matches a prefix.
    if (partialCompare)
        options.Exclude(foNoPartialCompare);
    else
        options.Include(foNoPartialCompare);
    SetFilterOptions(options);
    return true;
}

// ---------------------------------------------------------------------------
// TryxCustomDBDataLinkFilter

TryxFilterDataLink::TryxFilterDataLink(TryxCustomDBDataLinkFilter* AFilter) : FFilter(AFilter) {}

void TryxFilterDataLink::ActiveChanged() {
    if (FFilter != nullptr) FFilter->DataLinkActiveChanged();
}

void TryxFilterDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
    TDataLink::DataEvent(Event, Info);
    // The data source switched to another dataset without its state changing.
    if (FFilter != nullptr && Active() && DataSet() != FFilter->DataSet()) FFilter->DataLinkActiveChanged();
}

TryxCustomDBDataLinkFilter::TryxCustomDBDataLinkFilter(TComponent* AOwner)
    : TryxCustomDBFilter(AOwner), FDataLink(std::make_unique<TryxFilterDataLink>(this)) {}

TryxCustomDBDataLinkFilter::~TryxCustomDBDataLinkFilter() {
    // The link says no more while the component goes.
    FDataLink->FFilter = nullptr;
    if (FDataLink->DataSource() != nullptr) {
        TDataSource* source = FDataLink->DataSource();
        FDataLink->SetDataSource(nullptr);
        if (!source->ComponentState().Contains(csDestroying)) source->RemoveFreeNotification(this);
    }
}

TDataSource* TryxCustomDBDataLinkFilter::DataSource() const { return FDataLink->DataSource(); }

void TryxCustomDBDataLinkFilter::SetDataSource(TDataSource* Value) {
    TDataSource* old = FDataLink->DataSource();
    if (Value == old) return;
    Deactivate();
    FDataLink->SetDataSource(Value);
    if (old != nullptr && !old->ComponentState().Contains(csDestroying)) old->RemoveFreeNotification(this);
    if (Value != nullptr) Value->FreeNotification(this);
    // A closed dataset does not make the link active: follow the source anyway.
    if (!ComponentState().Contains(csLoading) && FDataLink->DataSet() != DataSet()) DataLinkActiveChanged();
}

void TryxCustomDBDataLinkFilter::DataLinkActiveChanged() { SetDataSet(FDataLink->DataSet()); }

void TryxCustomDBDataLinkFilter::Loaded() {
    if (FDataLink->DataSet() != nullptr) FDataSet = FDataLink->DataSet();
    TryxCustomDBFilter::Loaded();
}

void TryxCustomDBDataLinkFilter::Notification(TComponent* AComponent, TOperation Operation) {
    TryxCustomDBFilter::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FDataLink->DataSource())
        FDataLink->SetDataSource(nullptr);
}

// ---------------------------------------------------------------------------
// TryxDBFilter

TryxDBFilter::TryxDBFilter(TComponent* AOwner) : TryxCustomDBDataLinkFilter(AOwner) {}

bool TryxDBFilter::Edit(bool Flag1, bool Flag2) {
    if (GFilterDialogProc == nullptr) return false;
    const bool designing = ComponentState().Contains(csDesigning);
    TComponent* owner = designing ? static_cast<TComponent*>(Application) : this;
    return GFilterDialogProc(owner, this, Flag1, Flag2, designing ? 0 : FHelpContext);
}

}  // namespace ryx
