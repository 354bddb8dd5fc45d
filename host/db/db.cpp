// TDataSet: the record ring, the state machine, navigation, editing, bookmarks, searching and notifications.
#include "host/db/db.h"
#include "host/db/db_internal.h"

#include <algorithm>
#include <cstring>

#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

void DatabaseError(const std::string& Message, TComponent* Component) {
    if (Component != nullptr && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
    throw EDatabaseError(Message);
}

std::vector<std::string> detail::SplitNames(const std::string& Names) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= Names.size()) {
        size_t end = Names.find(';', start);
        if (end == std::string::npos) end = Names.size();
        std::string name = Trim(Names.substr(start, end - start));
        if (!name.empty()) out.push_back(name);
        start = end + 1;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Construction

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFields(std::make_unique<TFields>(this)), FFieldDefs(std::make_unique<TFieldDefs>(this)) {
    RegisterFieldClasses();
}

TDataSet::~TDataSet() {
    Destroying();
    // The concrete dataset's part is gone by now: close what the base holds.
    // Concrete datasets close themselves in their own destructors.
    ClearBuffers();
    FBuffers.clear();
    while (!FDataSources.empty()) {
        TDataSource* ds = FDataSources.back();
        FDataSources.pop_back();
        ds->FDataSet = nullptr;
        ds->UpdateState();
    }
    // The dataset frees its fields, persistent ones included (they leave their owner).
    while (FFields->Count() > 0) {
        TField* f = FFields->Fields(FFields->Count() - 1);
        FFields->Remove(f);
        f->FDataSet = nullptr;
        delete f;
    }
}

// ---------------------------------------------------------------------------
// Opening and closing

void TDataSet::SetActive(bool Value) {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Active() == Value) return;
    if (Value) {
        DoBeforeOpen();
        try {
            OpenCursor(false);
            SetState(dsBrowse);
        } catch (...) {
            SetState(dsInactive);
            CloseCursor();
            throw;
        }
        DoAfterOpen();
    } else {
        bool destroying = ComponentState().Contains(csDestroying);
        if (!destroying) DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        if (!destroying) DoAfterClose();
    }
}

void TDataSet::OpenCursor(bool InfoQuery) {
    if (InfoQuery)
        InternalInitFieldDefs();
    else
        DoInternalOpen();
}

void TDataSet::DoInternalOpen() {
    FDefaultFields = FieldCount() == 0;
    InternalOpen();
    FInternalOpenComplete = true;
    UpdateBufferCount();
    FBOF = true;
}

void TDataSet::CloseCursor() {
    ClearBuffers();
    SetBufListSize(0);
    FBufferCount = 0;
    if (FInternalOpenComplete || IsCursorOpen()) InternalClose();
    FInternalOpenComplete = false;
    BindFields(false);
    if (FDefaultFields) DestroyFields();
    FDefaultFields = false;
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        SetActive(true);
    }
}

void TDataSet::InitFieldDefs() {
    if (IsCursorOpen())
        InternalInitFieldDefs();
    else {
        OpenCursor(true);
    }
}

// ---------------------------------------------------------------------------
// Fields

void TDataSet::CreateFields() {
    FFieldDefs->Update();
    for (int i = 0; i < FFieldDefs->Count(); ++i) {
        TFieldDef* def = FFieldDefs->Items(i);
        if (def->DataType() == ftUnknown || def->Attributes().Contains(faHiddenCol)) continue;
        if (DefaultFieldClass(def->DataType()) == nullptr) continue;
        def->CreateField(this);
    }
}

void TDataSet::DestroyFields() {
    while (FFields->Count() > 0) {
        TField* f = FFields->Fields(FFields->Count() - 1);
        FFields->Remove(f);
        f->FDataSet = nullptr;
        delete f;
    }
}

void TDataSet::CheckFieldCompatibility(TField* Field, const TFieldDef* FieldDef) {
    auto family = [](TFieldType t) {
        switch (t) {
        case ftString: case ftFixedChar: case ftWideString: case ftGuid: return 1;
        case ftInteger: case ftAutoInc: return 2;
        case ftFloat: case ftCurrency: return 3;
        case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle:
        case ftTypedBinary: case ftOraBlob: case ftOraClob: return 4;
        default: return 100 + static_cast<int>(t);
        }
    };
    if (family(Field->DataType()) != family(FieldDef->DataType()))
        DatabaseError(Format("Type mismatch for field '%s', expecting: %s actual: %s",
                             {Field->DisplayName(), FieldTypeName(Field->DataType()),
                              FieldTypeName(FieldDef->DataType())}),
                      this);
}

void TDataSet::BindFields(bool Binding) {
    FCalcFieldsSize = 0;
    FHasLookupFields = false;
    for (int i = 0; i < FFields->Count(); ++i) {
        TField* f = FFields->Fields(i);
        if (Binding) {
            if (f->FieldKind() == fkCalculated || f->FieldKind() == fkLookup) {
                f->FFieldNo = -1;
                f->FOffset = FCalcFieldsSize;
                FCalcFieldsSize += f->DataSize() + 1;
                if (f->FieldKind() == fkLookup) {
                    FHasLookupFields = true;
                    if (f->LookupDataSet() == nullptr || f->LookupKeyFields().empty() ||
                        f->LookupResultField().empty() || f->KeyFields().empty())
                        DatabaseError(Format("Lookup information for field '%s' is incomplete", {f->DisplayName()}),
                                      this);
                }
            } else {
                int idx = FFieldDefs->IndexOf(f->FieldName());
                if (idx < 0) DatabaseError(Format("Field '%s' not found", {f->DisplayName()}), this);
                TFieldDef* def = FFieldDefs->Items(idx);
                CheckFieldCompatibility(f, def);
                f->FFieldNo = def->FieldNo();
            }
        }
        f->Bind(Binding);
    }
}

void TDataSet::AddField(TField* Field) {
    FFields->Add(Field);
}

void TDataSet::RemoveField(TField* Field) {
    FFields->Remove(Field);
}

TField* TDataSet::Fields(int Index) const { return FFields->Fields(Index); }
int TDataSet::FieldCount() const { return FFields->Count(); }
TField* TDataSet::FindField(const std::string& FieldName) const { return FFields->FindField(FieldName); }

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* f = FFields->FindField(FieldName);
    if (f == nullptr) DatabaseError(Format("Field '%s' not found", {FieldName}), const_cast<TDataSet*>(this));
    return f;
}

TField* TDataSet::FieldByNumber(int FieldNo) const { return FFields->FieldByNumber(FieldNo); }

void TDataSet::GetFieldNames(TStrings* List) {
    List->Clear();
    if (FFields->Count() > 0) {
        FFields->GetFieldNames(List);
    } else {
        FFieldDefs->Update();
        FFieldDefs->GetItemNames(List);
    }
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const {
    for (const std::string& name : detail::SplitNames(FieldNames)) List.push_back(FieldByName(name));
}

Variant TDataSet::FieldValues(const std::string& FieldName) const {
    std::vector<TField*> fields;
    GetFieldList(fields, FieldName);
    return detail::ValuesOf(fields);
}

void TDataSet::SetFieldValues(const std::string& FieldName, const Variant& Value) {
    std::vector<TField*> fields;
    GetFieldList(fields, FieldName);
    detail::SetValuesOf(fields, Value);
}

void TDataSet::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < FFields->Count(); ++i) {
        TField* f = FFields->Fields(i);
        if (f->Owner() == Root) Proc(f);
    }
}

void TDataSet::SetChildOrder(TComponent* Child, int Order) {
    TField* f = dynamic_cast<TField*>(Child);
    if (f != nullptr && FFields->IndexOf(f) >= 0) FFields->SetFieldIndex(f, Order);
}

Variant TDataSet::GetStateFieldValue(TDataSetState AState, TField* Field) {
    if ((AState == dsOldValue || AState == dsCurValue) && Field->FieldKind() == fkData) {
        if (FState == dsInsert) return Null();
        if (FState == dsEdit) {
            // The stored record, read again into the spare buffer.
            UpdateCursorPos();
            if (GetRecord(TempBuffer(), gmCurrent, false) != grOK) return Null();
            TRecordBuffer saveBuf = FFilterBuffer;
            FFilterBuffer = TempBuffer();
            TDataSetState save = SetTempState(dsOldValue);
            Variant v;
            try {
                v = Field->Value();
            } catch (...) {
                RestoreState(save);
                FFilterBuffer = saveBuf;
                throw;
            }
            RestoreState(save);
            FFilterBuffer = saveBuf;
            return v;
        }
    }
    return Field->Value();
}

void TDataSet::SetStateFieldValue(TDataSetState AState, TField* Field, const Variant& Value) {
    (void)AState;
    Field->SetValue(Value);
}

// ---------------------------------------------------------------------------
// Calculated fields

int TDataSet::BufferIndexOf(TRecordBuffer Buffer) const {
    for (size_t i = 0; i < FBuffers.size(); ++i)
        if (FBuffers[i] == Buffer) return static_cast<int>(i);
    return -1;
}

void TDataSet::ClearCalcFields(TRecordBuffer Buffer) {
    if (Buffer != nullptr && FCalcFieldsSize > 0) std::memset(Buffer + CalcFieldsOffset(), 0, FCalcFieldsSize);
}

void TDataSet::InitRecord(TRecordBuffer Buffer) {
    InternalInitRecord(Buffer);
    ClearCalcFields(Buffer);
    SetBookmarkFlag(Buffer, bfInserted);
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
    if (FCalcFieldsSize == 0 && !OnCalcFields.Assigned()) return;
    TDataSetState save = SetTempState(dsCalcFields);
    TRecordBuffer saveBuf = FCalcBuffer;
    FCalcBuffer = Buffer;
    try {
        CalculateFields(Buffer);
    } catch (...) {
        FCalcBuffer = saveBuf;
        RestoreState(save);
        throw;
    }
    FCalcBuffer = saveBuf;
    RestoreState(save);
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
    ClearCalcFields(Buffer);
    if (FHasLookupFields)
        for (int i = 0; i < FFields->Count(); ++i) {
            TField* f = FFields->Fields(i);
            if (f->FieldKind() == fkLookup) f->CalcLookupValue();
        }
    DoOnCalcFields();
}

void TDataSet::DoOnCalcFields() { OnCalcFields(this); }

bool TDataSet::GetCalcFieldData(const TField* Field, void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec == nullptr || FCalcFieldsSize == 0) return false;
    const uint8_t* p = rec + CalcFieldsOffset() + Field->Offset();
    if (p[0] == 0) return false;
    if (Buffer != nullptr) std::memcpy(Buffer, p + 1, static_cast<size_t>(Field->DataSize()));
    return true;
}

void TDataSet::SetCalcFieldData(TField* Field, const void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec == nullptr || FCalcFieldsSize == 0) return;
    uint8_t* p = rec + CalcFieldsOffset() + Field->Offset();
    p[0] = Buffer != nullptr ? 1 : 0;
    if (Buffer != nullptr)
        std::memcpy(p + 1, Buffer, static_cast<size_t>(Field->DataSize()));
    else
        std::memset(p + 1, 0, static_cast<size_t>(Field->DataSize()));
}

TRecordBuffer TDataSet::GetActiveRecordBuffer() {
    switch (FState) {
    case dsBrowse:
    case dsBlockRead:
        return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue:
    case dsCurValue:
        return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
        return FCalcBuffer;
    case dsFilter:
    case dsOldValue:
        return FFilterBuffer;
    default:
        return nullptr;
    }
}

bool TDataSet::RecordFilterAccepts(TRecordBuffer Buffer) {
    if (!OnFilterRecord.Assigned()) return true;
    TDataSetState save = SetTempState(dsFilter);
    TRecordBuffer saveBuf = FFilterBuffer;
    FFilterBuffer = Buffer;
    bool accept = true;
    try {
        OnFilterRecord(this, accept);
    } catch (...) {
        FFilterBuffer = saveBuf;
        RestoreState(save);
        throw;
    }
    FFilterBuffer = saveBuf;
    RestoreState(save);
    return accept;
}

// ---------------------------------------------------------------------------
// The record ring

TRecordBuffer TDataSet::ActiveBuffer() const {
    if (FBuffers.empty()) return nullptr;
    return FBuffers[static_cast<size_t>(FActiveRecord)];
}

TRecordBuffer TDataSet::TempBuffer() const {
    if (FBuffers.empty()) return nullptr;
    return FBuffers[static_cast<size_t>(FBufferCount)];
}

void TDataSet::SetBufListSize(int Value) {
    int old = static_cast<int>(FBuffers.size());
    if (Value == old) return;
    if (Value > old) {
        FBuffers.reserve(static_cast<size_t>(Value));
        for (int i = old; i < Value; ++i) FBuffers.push_back(AllocRecordBuffer());
    } else {
        for (int i = old - 1; i >= Value; --i) {
            TRecordBuffer b = FBuffers[static_cast<size_t>(i)];
            FBuffers.pop_back();
            FreeRecordBuffer(b);
        }
    }
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    auto b = FBuffers.begin();
    if (CurIndex < NewIndex)
        std::rotate(b + CurIndex, b + CurIndex + 1, b + NewIndex + 1);
    else
        std::rotate(b + NewIndex, b + CurIndex, b + CurIndex + 1);
}

void TDataSet::SetCurrentRecord(int Index) {
    if (FCurrentRecord == Index) return;
    if (!FIsUniDirectional) {
        TRecordBuffer buf = FBuffers[static_cast<size_t>(Index)];
        switch (GetBookmarkFlag(buf)) {
        case bfCurrent:
        case bfInserted:
            InternalSetToRecord(buf);
            break;
        case bfBOF:
            InternalFirst();
            break;
        case bfEOF:
            InternalLast();
            break;
        }
    }
    FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (FRecordCount > 0) {
        SetCurrentRecord(FRecordCount - 1);
        if (FState == dsInsert && FCurrentRecord == FActiveRecord && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
            mode = gmCurrent;
    }
    TRecordBuffer buf = FBuffers[static_cast<size_t>(FRecordCount)];
    bool ok = GetRecord(buf, mode, true) == grOK;
    if (ok) {
        GetCalcFields(buf);
        if (FRecordCount == 0)
            ActivateBuffers();
        else if (FRecordCount < FBufferCount)
            ++FRecordCount;
        else
            MoveBuffer(0, FRecordCount);
        FCurrentRecord = FRecordCount - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::GetPriorRecord() {
    CheckBiDirectional();
    if (FRecordCount > 0) SetCurrentRecord(0);
    TRecordBuffer buf = FBuffers[static_cast<size_t>(FRecordCount)];
    bool ok = GetRecord(buf, gmPrior, true) == grOK;
    if (ok) {
        GetCalcFields(buf);
        if (FRecordCount == 0) {
            ActivateBuffers();
        } else {
            MoveBuffer(FRecordCount, 0);
            if (FRecordCount < FBufferCount) {
                ++FRecordCount;
                ++FActiveRecord;
            }
        }
        FCurrentRecord = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::GetNextRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetNextRecord()) ++n;
    return n;
}

int TDataSet::GetPriorRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) ++n;
    return n;
}

void TDataSet::SetBufferCount(int Value) {
    if (FBufferCount == Value) return;
    auto adjustFirst = [this](int Delta) {
        if (Delta == 0) return;
        for (TDataSource* ds : FDataSources)
            for (TDataLink* link : ds->FDataLinks)
                if (link->Active()) link->FFirstRecord += Delta;
    };
    if (FBufferCount > Value && FRecordCount > 0) {
        int delta = FActiveRecord;
        for (TDataSource* ds : FDataSources)
            for (TDataLink* link : ds->FDataLinks)
                if (link->Active() && link->FFirstRecord < delta) delta = link->FFirstRecord;
        for (int i = 0; i < Value; ++i) MoveBuffer(i + delta, i);
        FActiveRecord -= delta;
        if (FCurrentRecord != -1) FCurrentRecord -= delta;
        if (FRecordCount - delta > Value)
            FRecordCount = Value;
        else
            FRecordCount -= delta;
        if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
        adjustFirst(-delta);
    }
    SetBufListSize(Value + 1);
    FBufferCount = Value;
    if (!ComponentState().Contains(csDestroying)) {
        GetNextRecords();
        adjustFirst(GetPriorRecords());
    }
}

void TDataSet::UpdateBufferCount() {
    if (!IsCursorOpen()) return;
    int maxCount = 1;
    for (TDataSource* ds : FDataSources)
        for (TDataLink* link : ds->FDataLinks)
            if (link->BufferCount() > maxCount) maxCount = link->BufferCount();
    SetBufferCount(maxCount);
}

void TDataSet::RefreshBuffers() {
    Resync({});
}

void TDataSet::Resync(TResyncMode Mode) {
    if (FIsUniDirectional) return;
    TRecordBuffer spare = FBuffers[static_cast<size_t>(FRecordCount)];
    if (Mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, true) != grOK) DatabaseError("Record not found", this);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
               GetRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    GetCalcFields(spare);
    int count = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    try {
        while (count > 0 && GetPriorRecord()) --count;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange, 0);
        throw;
    }
    DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------
// State and notifications

void TDataSet::SetState(TDataSetState Value) {
    if (FState == Value) return;
    FState = Value;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
    TDataSetState old = FState;
    FState = Value;
    ++FDisableCount;
    return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
    FState = Value;
    --FDisableCount;
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount == 0) {
        if (FDisableState != FState) DataEvent(deUpdateState, 0);
        if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
    }
}

void TDataSet::FieldChanged(TField* Field) {
    if (Field->FieldKind() == fkData || Field->FieldKind() == fkInternalCalc) FModified = true;
    if (FState != dsSetKey && Field->FieldKind() == fkData && FAutoCalcFields &&
        (FCalcFieldsSize > 0 || OnCalcFields.Assigned()) && dsEditModes.Contains(FState))
        GetCalcFields(ActiveBuffer());
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
    if (Event == deFieldChange && Info != 0) FieldChanged(reinterpret_cast<TField*>(Info));
    if (Event == dePropertyChange) FFieldDefs->SetUpdated(false);
    if (!ControlsDisabled() && FState != dsBlockRead) {
        if (FDataSources.empty()) return;  // (a walk without controls: no copy per move)
        std::vector<TDataSource*> sources = FDataSources;
        for (TDataSource* ds : sources) ds->DataEvent(Event, Info);
    } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) {
        FEnableEvent = deLayoutChange;
    }
}

void TDataSet::AddDataSource(TDataSource* DataSource) {
    FDataSources.push_back(DataSource);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* DataSource) {
    auto it = std::find(FDataSources.begin(), FDataSources.end(), DataSource);
    if (it != FDataSources.end()) FDataSources.erase(it);
    if (!ComponentState().Contains(csDestroying)) UpdateBufferCount();
}

bool TDataSet::IsLinkedTo(TDataSource* ADataSource) const {
    const TDataSet* ds = this;
    for (int guard = 0; ds != nullptr && guard < 1000; ++guard) {
        TDataSource* src = ds->GetDataSource();
        if (src == nullptr) return false;
        if (src == ADataSource) return true;
        ds = src->DataSet();
    }
    return false;
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------
// Checks

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset", const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError("Cannot perform this operation on an open dataset", const_cast<TDataSet*>(this));
}

void TDataSet::CheckBiDirectional() const {
    if (FIsUniDirectional)
        DatabaseError("Operation not allowed on a unidirectional dataset", const_cast<TDataSet*>(this));
}

void TDataSet::CheckCanModify() {
    if (!GetCanModify()) DatabaseError("Cannot modify a read-only dataset", this);
}

void TDataSet::InternalHandleException() {}

void TDataSet::CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent) {
    for (;;) {
        try {
            UpdateCursorPos();
            (this->*Operation)();
            return;
        } catch (EDatabaseError& E) {
            TDataAction action = daFail;
            ErrorEvent(this, E, action);
            if (action == daFail) throw;
            if (action == daAbort) throw EAbort("Operation aborted");
        }
    }
}

// ---------------------------------------------------------------------------
// Navigation

bool TDataSet::IsEmpty() const { return FActiveRecord >= FRecordCount; }

void TDataSet::FetchFromEnd(bool FromLast) {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    // The end flag is set and the links told even when a fetch fails.
    auto finish = [this, FromLast] {
        if (FromLast)
            FEOF = true;
        else
            FBOF = true;
        DataEvent(deDataSetChange, 0);
    };
    try {
        if (FromLast) {
            InternalLast();
            GetPriorRecord();
            GetPriorRecords();
        } else {
            InternalFirst();
            GetNextRecord();
            GetNextRecords();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    DoAfterScroll();
}

void TDataSet::First() { FetchFromEnd(false); }

void TDataSet::Last() {
    CheckBiDirectional();
    FetchFromEnd(true);
}

int TDataSet::MoveBy(int Distance) {
    CheckBrowseMode();
    int result = 0;
    DoBeforeScroll();
    if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
        FBOF = false;
        FEOF = false;
        int scrollCount = 0;
        try {
            while (Distance > 0) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    int shift = FRecordCount < FBufferCount ? 0 : 1;
                    if (GetNextRecord()) {
                        scrollCount -= shift;
                        if (FActiveRecord < FRecordCount - 1) ++FActiveRecord;
                    } else {
                        FEOF = true;
                        break;
                    }
                }
                --Distance;
                ++result;
            }
            while (Distance < 0) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    int shift = FRecordCount < FBufferCount ? 0 : 1;
                    if (GetPriorRecord()) {
                        scrollCount += shift;
                        if (shift == 0 && FActiveRecord > 0) --FActiveRecord;
                    } else {
                        FBOF = true;
                        break;
                    }
                }
                ++Distance;
                --result;
            }
        } catch (...) {
            DataEvent(deDataSetScroll, scrollCount);
            throw;
        }
        DataEvent(deDataSetScroll, scrollCount);
        DoAfterScroll();
    }
    return result;
}

// ---------------------------------------------------------------------------
// Editing

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
        break;
    case dsSetKey:
        Post();
        break;
    default:
        break;
    }
}

void TDataSet::UpdateRecord() {
    if (!dsEditModes.Contains(FState)) DatabaseError("Dataset not in edit or insert mode", this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        SetState(dsBrowse);
        Resync({});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::DoOnNewRecord() { OnNewRecord(this); }

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark oldCurrent = GetBookmark();
    MoveBuffer(FRecordCount, FActiveRecord);
    TRecordBuffer buf = ActiveBuffer();
    InitRecord(buf);
    if (FRecordCount == 0)
        SetBookmarkFlag(buf, bfBOF);
    else if (!oldCurrent.empty())
        SetBookmarkData(buf, oldCurrent.data());
    if (FRecordCount < FBufferCount) ++FRecordCount;
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecordBuffer buf = FBuffers[0];
    InitRecord(buf);
    SetBookmarkFlag(buf, bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    CheckOperation(&TDataSet::InternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::InternalPost() {
    for (int i = 0; i < FFields->Count(); ++i) {
        TField* f = FFields->Fields(i);
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
            f->FocusControl();
            DatabaseError(Format("Field '%s' must have a value", {f->DisplayName()}));
        }
    }
}

void TDataSet::Post() {
    UpdateRecord();
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckOperation(&TDataSet::InternalPost, OnPostError);
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    bool scrollEvents = FState == dsInsert;
    if (scrollEvents) DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync({});
    DoAfterCancel();
    if (scrollEvents) DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError("Cannot perform this operation on an empty dataset", this);
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeDelete();
    DoBeforeScroll();
    CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::SetFields(const std::vector<Variant>& Values) {
    int n = std::min(static_cast<int>(Values.size()), FFields->Count());
    for (int i = 0; i < n; ++i) {
        const Variant& v = Values[static_cast<size_t>(i)];
        if (VarIsEmpty(v)) continue;
        FFields->Fields(i)->AssignValue(v);
    }
}

void TDataSet::AddRecord(const std::vector<Variant>& Values, bool AtEnd) {
    if (AtEnd)
        Append();
    else
        Insert();
    try {
        SetFields(Values);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TDataSet::AppendRecord(const std::vector<Variant>& Values) { AddRecord(Values, true); }
void TDataSet::InsertRecord(const std::vector<Variant>& Values) { AddRecord(Values, false); }

void TDataSet::ClearFields() {
    if (!dsEditModes.Contains(FState)) DatabaseError("Dataset not in edit or insert mode", this);
    DataEvent(deCheckBrowseMode, 0);
    InternalInitRecord(ActiveBuffer());
    if (FState != dsSetKey) GetCalcFields(ActiveBuffer());
    DataEvent(deRecordChange, 0);
}

void TDataSet::Refresh() {
    DoBeforeRefresh();
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
    DoAfterRefresh();
}

// ---------------------------------------------------------------------------
// Bookmarks

bool TDataSet::BookmarkAvailable() const {
    return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() &&
           const_cast<TDataSet*>(this)->GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() {
    if (!BookmarkAvailable() || FBookmarkSize <= 0) return TBookmark();
    TBookmark bm(static_cast<size_t>(FBookmarkSize), '\0');
    GetBookmarkData(ActiveBuffer(), bm.data());
    return bm;
}

TBookmarkStr TDataSet::Bookmark() { return GetBookmark(); }

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
    if (Bookmark.empty()) return;
    CheckBrowseMode();
    if (static_cast<int>(Bookmark.size()) != FBookmarkSize) DatabaseError("Invalid bookmark", this);
    DoBeforeScroll();
    InternalGotoBookmark(Bookmark.data());
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) {
    if (!Active() || Bookmark.empty() || static_cast<int>(Bookmark.size()) != FBookmarkSize) return false;
    bool ok = false;
    try {
        InternalGotoBookmark(Bookmark.data());
        ok = GetRecord(TempBuffer(), gmCurrent, false) == grOK;
    } catch (EDatabaseError&) {
        ok = false;
    }
    CursorPosChanged();
    return ok;
}

int TDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.empty() || Bookmark2.empty()) {
        if (Bookmark1.empty() && Bookmark2.empty()) return 0;
        return Bookmark1.empty() ? -1 : 1;
    }
    int c = Bookmark1.compare(Bookmark2);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Searching

bool TDataSet::RecordMatches(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options) {
    for (size_t i = 0; i < Fields.size(); ++i) {
        TField* f = Fields[i];
        Variant key = (Fields.size() > 1 || VarIsArray(KeyValues)) ? KeyValues[static_cast<int>(i)] : KeyValues;
        if (VarIsNull(key) || VarIsEmpty(key)) {
            if (!f->IsNull()) return false;
            continue;
        }
        if (f->IsNull()) return false;
        bool textual = f->DataType() == ftString || f->DataType() == ftFixedChar || f->DataType() == ftWideString ||
                       f->DataType() == ftMemo || f->DataType() == ftGuid || f->DataType() == ftFmtMemo;
        if (textual) {
            std::string value = f->AsString();
            std::string wanted = VarToStr(key);
            if (Options.Contains(loPartialKey) && value.size() > wanted.size()) value.resize(wanted.size());
            if (Options.Contains(loCaseInsensitive) ? !AnsiSameText(value, wanted) : value != wanted) return false;
            continue;
        }
        bool equal;
        try {
            Variant value = f->Value();
            if (VarIsStr(key) && !VarIsStr(value)) {
                // Text keys are read as the field reads text.
                equal = f->AsString() == VarToStr(key) || value == key;
            } else {
                equal = value == key;
            }
        } catch (EVariantError&) {
            equal = f->AsString() == VarToStr(key);
        }
        if (!equal) return false;
    }
    return true;
}

bool TDataSet::LocateRecord(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                            bool SyncCursor) {
    (void)SyncCursor;
    CheckBrowseMode();
    std::vector<TField*> fields;
    GetFieldList(fields, KeyFields);
    if (fields.empty()) return false;
    TRecordBuffer buf = TempBuffer();
    bool found = false;
    TDataSetState save = SetTempState(dsFilter);
    TRecordBuffer saveFilter = FFilterBuffer;
    FFilterBuffer = buf;
    try {
        InternalFirst();
        while (GetRecord(buf, gmNext, true) == grOK) {
            GetCalcFields(buf);
            if (RecordMatches(fields, KeyValues, Options)) {
                found = true;
                break;
            }
        }
    } catch (...) {
        FFilterBuffer = saveFilter;
        RestoreState(save);
        CursorPosChanged();
        throw;
    }
    FFilterBuffer = saveFilter;
    RestoreState(save);
    CursorPosChanged();
    return found;
}

bool TDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    DoBeforeScroll();
    bool found = LocateRecord(KeyFields, KeyValues, Options, true);
    if (found) {
        // The walk left the matching record in the spare buffer: go there.
        TBookmark bm(static_cast<size_t>(FBookmarkSize), '\0');
        GetBookmarkData(TempBuffer(), bm.data());
        InternalGotoBookmark(bm.data());
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    }
    FFound = found;
    return found;
}

Variant TDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) {
    Variant result = Null();
    if (!LocateRecord(KeyFields, KeyValues, {}, false)) return result;
    // Read the result fields from the matching record, still in the spare buffer.
    TDataSetState save = SetTempState(dsFilter);
    TRecordBuffer saveFilter = FFilterBuffer;
    FFilterBuffer = TempBuffer();
    try {
        result = FieldValues(ResultFields);
    } catch (...) {
        FFilterBuffer = saveFilter;
        RestoreState(save);
        throw;
    }
    FFilterBuffer = saveFilter;
    RestoreState(save);
    return result;
}

bool TDataSet::FindRecord(bool Restart, bool GoForward) {
    CheckBrowseMode();
    DoBeforeScroll();
    FFound = false;
    if (Restart) {
        if (GoForward)
            InternalFirst();
        else
            InternalLast();
    } else {
        UpdateCursorPos();
    }
    TRecordBuffer buf = TempBuffer();
    bool found = false;
    try {
        while (GetRecord(buf, GoForward ? gmNext : gmPrior, true) == grOK) {
            GetCalcFields(buf);
            if (RecordFilterAccepts(buf)) {
                found = true;
                break;
            }
        }
    } catch (...) {
        CursorPosChanged();
        throw;
    }
    if (found) {
        TBookmark bm(static_cast<size_t>(FBookmarkSize), '\0');
        GetBookmarkData(buf, bm.data());
        InternalGotoBookmark(bm.data());
        Resync({rmExact, rmCenter});
        DoAfterScroll();
    } else {
        CursorPosChanged();
    }
    FFound = found;
    return found;
}

bool TDataSet::FindFirst() { return FindRecord(true, true); }
bool TDataSet::FindLast() { return FindRecord(true, false); }
bool TDataSet::FindNext() { return FindRecord(false, true); }
bool TDataSet::FindPrior() { return FindRecord(false, false); }

// ---------------------------------------------------------------------------
// Filtering

void TDataSet::ChangeFilter(bool Refetch, const std::function<void()>& Apply) {
    // An open dataset whose view changes posts its edit first and starts again at the top.
    if (Active() && Refetch) {
        CheckBrowseMode();
        Apply();
        First();
    } else {
        Apply();
    }
}

void TDataSet::SetFiltered(bool Value) {
    if (FFiltered != Value) ChangeFilter(true, [&] { FFiltered = Value; });
}

void TDataSet::SetFilterText(const std::string& Value) {
    if (FFilterText != Value) ChangeFilter(FFiltered, [&] { FFilterText = Value; });
}

void TDataSet::SetFilterOptions(TFilterOptions Value) {
    if (!(FFilterOptions == Value)) ChangeFilter(FFiltered, [&] { FFilterOptions = Value; });
}

void TDataSet::SetOnFilterRecordImpl(const TFilterRecordEvent& Value) {
    ChangeFilter(FFiltered, [&] { OnFilterRecord = Value; });
}

// ---------------------------------------------------------------------------
// Blobs

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    (void)Mode;
    DatabaseError(Format("Field '%s' is not a blob field of this dataset", {Field->DisplayName()}), this);
}

}  // namespace host
