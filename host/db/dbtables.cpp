// TBDEDataSet and TDBDataSet: datasets over an engine cursor, in a database of a session.
#include "host/db/dbtables.h"

#include <cstring>

#include "host/db/dbirecbufs.h"
#include "host/db/dbtables_internal.h"
#include "host/db/filterexpr.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace dbtables;

// The header that follows the engine record and the calc area in each buffer.
struct TBDEDataSet::TRecInfo {
    int64_t RecordNumber;
    TBookmarkFlag BookmarkFlag;
    uint8_t Bookmark[8];
};

namespace {

// A stream over one blob field of a record buffer, through the engine's blob calls.
class TBDEBlobStream : public TStream {
public:
    TBDEBlobStream(TBDEDataSet* DataSet, TBlobField* Field, TRecordBuffer Buffer, TBlobStreamMode Mode)
        : FDataSet(DataSet), FField(Field), FBuffer(Buffer), FMode(Mode) {
        if (Mode != bmRead) {
            if (!(DataSet->State() == dsEdit || DataSet->State() == dsInsert))
                DatabaseError("Dataset not in edit or insert mode", DataSet);
            Field->CheckCanModifyValue();
        }
        if (Mode == bmWrite) {
            Check(DbiTruncateBlob(DataSet->Handle(), FBuffer, uint16_t(Field->FieldNo()), 0));
            FModified = true;
        }
    }
    ~TBDEBlobStream() override {
        if (!FModified) return;
        FField->SetModified(true);
        try {
            FDataSet->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FField));
        } catch (...) {
            // A control failing to show the new value must not escape a destructor.
        }
    }
    int64_t Read(void* Buffer, int64_t Count) override {
        if (Count <= 0 || FBuffer == nullptr) return 0;
        int64_t got = 0;
        Check(DbiGetBlob(FDataSet->Handle(), FBuffer, uint16_t(FField->FieldNo()), FPosition, Count, Buffer, got));
        FPosition += got;
        return got;
    }
    int64_t Write(const void* Buffer, int64_t Count) override {
        if (FMode == bmRead) throw EStreamError("Cannot write to a blob opened for reading");
        if (Count <= 0) return 0;
        Check(DbiPutBlob(FDataSet->Handle(), FBuffer, uint16_t(FField->FieldNo()), FPosition, Count, Buffer));
        FPosition += Count;
        FModified = true;
        return Count;
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
        switch (Origin) {
        case soBeginning: FPosition = Offset; break;
        case soCurrent: FPosition += Offset; break;
        case soEnd: FPosition = Size() + Offset; break;
        }
        if (FPosition < 0) FPosition = 0;
        return FPosition;
    }
    int64_t Size() override {
        if (FBuffer == nullptr) return 0;
        int64_t size = 0;
        Check(DbiGetBlobSize(FDataSet->Handle(), FBuffer, uint16_t(FField->FieldNo()), size));
        return size;
    }
    void SetSize(int64_t NewSize) override {
        if (FMode == bmRead) throw EStreamError("Cannot write to a blob opened for reading");
        Check(DbiTruncateBlob(FDataSet->Handle(), FBuffer, uint16_t(FField->FieldNo()), NewSize));
        FModified = true;
    }

private:
    TBDEDataSet* FDataSet;
    TBlobField* FField;
    TRecordBuffer FBuffer;
    TBlobStreamMode FMode;
    int64_t FPosition = 0;
    bool FModified = false;
};

unsigned ExprOptions(TFilterOptions Options) {
    unsigned o = 0;
    if (Options.Contains(foCaseInsensitive)) o |= fxoCaseInsensitive;
    if (Options.Contains(foNoPartialCompare)) o |= fxoNoPartialCompare;
    return o;
}

}  // namespace

// ---------------------------------------------------------------------------
// TBDEDataSet

TBDEDataSet::TBDEDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TBDEDataSet::~TBDEDataSet() {
    try {
        Close();
    } catch (...) {
    }
    DestroyHandle();
}

void TBDEDataSet::DestroyHandle() {
    if (FHandle != nullptr) DbiCloseCursor(FHandle);
    FHandle = nullptr;
}

TBDEDataSet::TRecInfo* TBDEDataSet::RecInfo(TRecordBuffer Buffer) const {
    return reinterpret_cast<TRecInfo*>(Buffer + FRecInfoOfs);
}

TRecordBuffer TBDEDataSet::AllocRecordBuffer() {
    // The calc area's size is known once the fields are bound; the header is 8-byte aligned.
    FRecInfoOfs = (int(FRecProps.iRecBufSize) + CalcFieldsSize() + 7) & ~7;
    FRecBufSize = FRecInfoOfs + int(sizeof(TRecInfo));
    auto* buf = new uint8_t[size_t(FRecBufSize)];
    std::memset(buf, 0, size_t(FRecBufSize));
    // Moves into the dataset's own buffers read a field only when it is read.
    // (Should registering fail, moves fill it whole as before.)
    if (FHandle != nullptr) DbiRegisterRecBuf(FHandle, buf);
    return buf;
}

void TBDEDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
    if (FHandle != nullptr && Buffer != nullptr) DbiUnregisterRecBuf(FHandle, Buffer);
    delete[] Buffer;
    Buffer = nullptr;
}

int TBDEDataSet::GetRecordSize() { return int(FRecProps.iRecSize); }
int TBDEDataSet::CalcFieldsOffset() { return int(FRecProps.iRecBufSize); }

void TBDEDataSet::GetBookmarkData(TRecordBuffer Buffer, void* Data) {
    std::memcpy(Data, RecInfo(Buffer)->Bookmark, size_t(std::min(BookmarkSize(), 8)));
}

void TBDEDataSet::SetBookmarkData(TRecordBuffer Buffer, const void* Data) {
    std::memcpy(RecInfo(Buffer)->Bookmark, Data, size_t(std::min(BookmarkSize(), 8)));
}

TBookmarkFlag TBDEDataSet::GetBookmarkFlag(TRecordBuffer Buffer) { return RecInfo(Buffer)->BookmarkFlag; }
void TBDEDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) { RecInfo(Buffer)->BookmarkFlag = Value; }

TBookmark TBDEDataSet::BufferBookmark(TRecordBuffer Buffer) const {
    return TBookmark(reinterpret_cast<const char*>(RecInfo(Buffer)->Bookmark), size_t(std::min(BookmarkSize(), 8)));
}

TGetResult TBDEDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
    RECProps props;
    DBIResult rc;
    const bool prefetched = FPrefetched && GetMode == gmCurrent;
    FPrefetched = false;
    if (prefetched) {
        std::memcpy(Buffer, FPrefetch.data(), FRecProps.iRecBufSize);
        props.iSeqNum = FPrefetchSeq;
        rc = DBIERR_NONE;
    } else {
        switch (GetMode) {
        case gmNext: rc = DbiGetNextRecord(FHandle, Buffer, &props); break;
        case gmPrior: rc = DbiGetPriorRecord(FHandle, Buffer, &props); break;
        default: rc = DbiGetRecord(FHandle, Buffer, &props); break;
        }
        RethrowFilterError();
    }
    switch (rc) {
    case DBIERR_NONE: {
        TRecInfo* info = RecInfo(Buffer);
        info->RecordNumber = props.iSeqNum;
        info->BookmarkFlag = bfCurrent;
        // The bookmark is the row identifier the engine keeps in the record's trailer.
        std::memcpy(info->Bookmark, Buffer + FRecProps.iRecSize, 8);
        return grOK;
    }
    case DBIERR_EOF: return grEOF;
    case DBIERR_BOF: return grBOF;
    default:
        if (DoCheck) Check(rc);
        return grError;
    }
}

bool TBDEDataSet::GetCurrentRecord(TRecordBuffer Buffer) {
    if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
    UpdateCursorPos();
    return DbiGetRecord(FHandle, Buffer, nullptr) == DBIERR_NONE;
}

void TBDEDataSet::InternalOpen() {
    FHandle = CreateHandle();
    if (FHandle == nullptr) DatabaseError("Cannot perform this operation on a closed dataset", this);
    Check(DbiGetCursorProps(FHandle, FRecProps));
    Check(DbiGetFieldDescs(FHandle, FFieldDescs));
    DbiGetLdObj(FHandle, FLocale);
    SetBookmarkSize(FRecProps.iBookMarkSize > 8 ? 8 : FRecProps.iBookMarkSize);
    FieldDefs()->SetUpdated(false);
    FieldDefs()->Update();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    FRecInfoOfs = (int(FRecProps.iRecBufSize) + CalcFieldsSize() + 7) & ~7;
    FRecBufSize = FRecInfoOfs + int(sizeof(TRecInfo));
    FFilterRecord.assign(size_t(FRecBufSize), 0);
    PrepareCursor();
    if (Filtered()) ActivateFilters();
    Check(DbiSetToBegin(FHandle));
}

void TBDEDataSet::InternalClose() {
    DropFilters();
    DestroyHandle();
    FFieldDescs.clear();
    FOldRecord.clear();
    FPrefetched = false;
    FRecProps = CURProps();
}

void TBDEDataSet::InternalInitFieldDefs() {
    std::vector<FLDDesc> descs;
    if (FHandle != nullptr) descs = FFieldDescs;
    FieldDefs()->Clear();
    for (const FLDDesc& f : descs) {
        const TFieldType type = FieldTypeOf(f);
        if (type == ftUnknown) continue;
        FieldDefs()->Add(f.szName, type, FieldSizeOf(f), f.bRequired);
        TFieldDef* def = FieldDefs()->Items(FieldDefs()->Count() - 1);
        def->SetFieldNo(f.iFldNum);
        if (type == ftBCD) def->SetPrecision(f.iUnits1);
        if (f.bReadOnly) def->SetAttributes(def->Attributes() + faReadonly);
    }
}

const FLDDesc* TBDEDataSet::FieldDesc(const TField* Field) const {
    if (Field == nullptr || Field->FieldNo() <= 0 || size_t(Field->FieldNo()) > FFieldDescs.size()) return nullptr;
    return &FFieldDescs[size_t(Field->FieldNo() - 1)];
}

TRecordBuffer TBDEDataSet::GetActiveRecordBuffer() {
    switch (State()) {
    case dsSetKey: return GetKeyRecordBuffer();
    case dsOldValue: return FOldRecord.empty() ? inherited::GetActiveRecordBuffer() : FOldRecord.data();
    default: return inherited::GetActiveRecordBuffer();
    }
}

bool TBDEDataSet::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    const int no = Field->FieldNo();
    if (rec == nullptr || FHandle == nullptr || no <= 0 || size_t(no) > FFieldDescs.size()) return false;
    // Straight from the record buffer in the engine's documented layout: a
    // field read is the hot path of every walk.
    const FLDDesc& f = FFieldDescs[size_t(no - 1)];
    if (rec[f.iNullOffset] != 0) {
        if (rec[f.iNullOffset] != DBIRECBUF_NOTREAD) return false;
        if (!DbiReadFieldOnRow(FHandle, rec, uint16_t(no))) Check(DbiCompleteRecBuf(FHandle, rec, uint16_t(no)));
        if (rec[f.iNullOffset] != 0) return false;
    }
    if (Buffer != nullptr) std::memcpy(Buffer, rec + f.iOffset, f.iLen);
    return true;
}

void TBDEDataSet::SetFieldData(TField* Field, const void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec == nullptr || !dsWriteModes.Contains(State())) DatabaseError("Dataset not in edit or insert mode", this);
    if (Field->FieldNo() <= 0) return;
    Check(DbiPutField(FHandle, uint16_t(Field->FieldNo()), rec, Buffer));
}

Variant TBDEDataSet::GetStateFieldValue(TDataSetState AState, TField* Field) {
    if (AState == dsOldValue && State() == dsEdit && !FOldRecord.empty()) {
        const TDataSetState saved = SetTempState(dsOldValue);
        Variant v;
        try {
            v = Field->Value();
        } catch (...) {
            RestoreState(saved);
            throw;
        }
        RestoreState(saved);
        return v;
    }
    if (AState == dsOldValue && State() == dsInsert) return Null();
    return inherited::GetStateFieldValue(AState, Field);
}

std::unique_ptr<TStream> TBDEDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    if (Field == nullptr || !Field->IsBlob()) DatabaseError("Field is not a blob field", this);
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec != nullptr && State() == dsBrowse && IsEmpty()) rec = nullptr;
    return std::make_unique<TBDEBlobStream>(this, static_cast<TBlobField*>(Field), rec, Mode);
}

void TBDEDataSet::FreeBlobs(TRecordBuffer Buffer) {
    if (Buffer == nullptr || FHandle == nullptr) return;
    for (const FLDDesc& f : FFieldDescs)
        if (f.iFldType == fldBLOB) DbiFreeBlob(FHandle, Buffer, f.iFldNum);
}

void TBDEDataSet::InternalInitRecord(TRecordBuffer Buffer) { Check(DbiInitRecord(FHandle, Buffer)); }

void TBDEDataSet::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    (void)Append;  // the engine keeps records in the order of the current index
    Check(DbiInsertRecord(FHandle, Buffer));
}

void TBDEDataSet::InternalPost() {
    inherited::InternalPost();
    if (State() == dsEdit)
        Check(DbiModifyRecord(FHandle, ActiveBuffer()));
    else
        Check(DbiInsertRecord(FHandle, ActiveBuffer()));
    FOldRecord.clear();
}

void TBDEDataSet::InternalEdit() {
    UpdateCursorPos();
    // Read the record again so that the edit starts from what the file holds now.
    RECProps props;
    TRecordBuffer buf = ActiveBuffer();
    Check(DbiGetRecord(FHandle, buf, &props));
    RecInfo(buf)->RecordNumber = props.iSeqNum;
    FOldRecord.assign(buf, buf + FRecBufSize);
}

void TBDEDataSet::InternalInsert() { FOldRecord.clear(); }

void TBDEDataSet::InternalCancel() {
    if (State() == dsEdit || State() == dsInsert) FreeBlobs(ActiveBuffer());
    FOldRecord.clear();
}

void TBDEDataSet::InternalDelete() { Check(DbiDeleteRecord(FHandle)); }
void TBDEDataSet::InternalFirst() {
    FPrefetched = false;
    Check(DbiSetToBegin(FHandle));
}

void TBDEDataSet::InternalLast() {
    FPrefetched = false;
    Check(DbiSetToEnd(FHandle));
}

void TBDEDataSet::InternalGotoBookmark(const void* Bookmark) {
    FPrefetched = false;
    Check(DbiSetToBookMark(FHandle, static_cast<const uint8_t*>(Bookmark)));
}

void TBDEDataSet::InternalSetToRecord(TRecordBuffer Buffer) { InternalGotoBookmark(RecInfo(Buffer)->Bookmark); }

void TBDEDataSet::InternalRefresh() { Check(DbiForceReread(FHandle)); }

int TBDEDataSet::GetRecordCount() {
    CheckActive();
    int64_t n = 0;
    Check(DbiGetRecordCount(FHandle, n));
    RethrowFilterError();
    return int(n);
}

int TBDEDataSet::GetRecNo() {
    CheckActive();
    if (State() == dsInsert) return -1;
    TRecordBuffer buf = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
    if (buf == nullptr || BufferedRecordCount() == 0) return 0;
    TRecInfo* info = RecInfo(buf);
    if (info->RecordNumber <= 0 && info->BookmarkFlag == bfCurrent) {
        UpdateCursorPos();
        int64_t seq = 0;
        if (DbiGetSeqNo(FHandle, seq) == DBIERR_NONE) info->RecordNumber = seq;
    }
    return int(info->RecordNumber);
}

void TBDEDataSet::SetRecNoImpl(int Value) {
    CheckBrowseMode();
    if (Value == RecNo()) return;
    DoBeforeScroll();
    Check(DbiSetToSeqNo(FHandle, Value));
    Resync(TResyncMode{rmCenter});
    DoAfterScroll();
}

bool TBDEDataSet::GetCanModify() {
    return FHandle != nullptr && FRecProps.bLive && FRecProps.eOpenMode == dbiREADWRITE;
}

bool TBDEDataSet::IsSequenced() const { return true; }

bool TBDEDataSet::BookmarkValid(const TBookmark& Bookmark) {
    if (FHandle == nullptr || Bookmark.size() < size_t(BookmarkSize()) || Bookmark.empty()) return false;
    CursorPosChanged();
    bool valid = false;
    return DbiBookMarkValid(FHandle, reinterpret_cast<const uint8_t*>(Bookmark.data()), valid) == DBIERR_NONE &&
           valid;
}

int TBDEDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.empty() || Bookmark2.empty() || FHandle == nullptr)
        return inherited::CompareBookmarks(Bookmark1, Bookmark2);
    CMPBkMkRslt r = CMPEql;
    Check(DbiCompareBookMarks(FHandle, reinterpret_cast<const uint8_t*>(Bookmark1.data()),
                              reinterpret_cast<const uint8_t*>(Bookmark2.data()), r));
    if (r == CMPKeyEql) return 0;
    return int(r);
}

void TBDEDataSet::FlushBuffers() {
    CheckBrowseMode();
    if (FHandle != nullptr) Check(DbiSaveChanges(FHandle));
}

void TBDEDataSet::FetchAll() {
    CheckBrowseMode();
    if (FHandle == nullptr) return;
    Check(DbiForceReread(FHandle));
    Resync(TResyncMode{});
}

void TBDEDataSet::ResyncAtCursor() {
    try {
        Resync(TResyncMode{rmExact, rmCenter});
    } catch (...) {
        FPrefetched = false;
        throw;
    }
    FPrefetched = false;
}

uint8_t* TBDEDataSet::PrefetchBuffer() {
    if (FPrefetch.size() < FRecProps.iRecBufSize) FPrefetch.assign(FRecProps.iRecBufSize, 0);
    FPrefetched = false;
    return FPrefetch.data();
}

void TBDEDataSet::MarkPrefetched(int64_t SeqNum) {
    FPrefetched = true;
    FPrefetchSeq = SeqNum;
}

// ---- filters

int TBDEDataSet::FilterCallback(uintptr_t ClientData, const uint8_t* RecBuf, int32_t PhyRecNo) {
    (void)PhyRecNo;
    auto* self = reinterpret_cast<TBDEDataSet*>(ClientData);
    if (!self->OnFilterRecord.Assigned()) return 1;
    try {
        TRecordBuffer buf = self->FFilterRecord.data();
        std::memcpy(buf, RecBuf, self->FRecProps.iRecBufSize);
        if (self->CalcFieldsSize() > 0) {
            std::memset(buf + self->FRecProps.iRecBufSize, 0, size_t(self->CalcFieldsSize()));
            self->GetCalcFields(buf);
        }
        return self->RecordFilterAccepts(buf) ? 1 : 0;
    } catch (...) {
        // The engine is in the middle of a fetch: keep the error for when it returns.
        if (!self->FFilterError) self->FFilterError = std::current_exception();
        return 0;
    }
}

void TBDEDataSet::RethrowFilterError() {
    if (!FFilterError) return;
    std::exception_ptr e = FFilterError;
    FFilterError = nullptr;
    std::rethrow_exception(e);
}

void TBDEDataSet::AddExprFilter() {
    if (FHandle == nullptr || Trim(Filter()).empty()) return;
    TExprParser parser(FHandle, Filter(), ExprOptions(FilterOptions()));
    FExpr = parser.Expr();
    // Expressions first: the record callback then only sees records they pass.
    Check(DbiAddFilter(FHandle, reinterpret_cast<uintptr_t>(this), 1, false, FExpr.get(), nullptr, FExprFilter));
    Check(DbiActivateFilter(FHandle, FExprFilter));
}

void TBDEDataSet::AddCallbackFilter() {
    if (FHandle == nullptr || !OnFilterRecord.Assigned()) return;
    Check(DbiAddFilter(FHandle, reinterpret_cast<uintptr_t>(this), 2, true, nullptr, &TBDEDataSet::FilterCallback,
                       FFuncFilter));
    Check(DbiActivateFilter(FHandle, FFuncFilter));
}

void TBDEDataSet::DropFilters() {
    if (FHandle != nullptr) {
        if (FExprFilter != nullptr) DbiDropFilter(FHandle, FExprFilter);
        if (FFuncFilter != nullptr) DbiDropFilter(FHandle, FFuncFilter);
    }
    FExprFilter = nullptr;
    FFuncFilter = nullptr;
    FExpr.reset();
}

void TBDEDataSet::ActivateFilters() {
    DropFilters();
    try {
        AddExprFilter();
        AddCallbackFilter();
    } catch (...) {
        DropFilters();
        throw;
    }
}

void TBDEDataSet::DeactivateFilters() { DropFilters(); }

void TBDEDataSet::SetFiltered(bool Value) {
    if (Active()) {
        CheckBrowseMode();
        if (Filtered() != Value) {
            if (Value) ActivateFilters();
            else DeactivateFilters();
            SetFilterFields(Value);
        }
        First();
    } else {
        SetFilterFields(Value);
    }
}

void TBDEDataSet::SetFilterText(const std::string& Value) {
    if (Active() && Filtered()) {
        CheckBrowseMode();
        if (Value == Filter()) return;
        // Compile the new text before dropping the old filter, so that a syntax
        // error leaves the dataset as it was.
        if (!Trim(Value).empty()) TExprParser check(FHandle, Value, ExprOptions(FilterOptions()));
        SetFilterTextField(Value);
        ActivateFilters();
        First();
    } else {
        SetFilterTextField(Value);
    }
}

void TBDEDataSet::SetFilterOptions(TFilterOptions Value) {
    if (Active() && Filtered()) {
        CheckBrowseMode();
        if (Value == FilterOptions()) return;
        SetFilterOptionsField(Value);
        ActivateFilters();
        First();
    } else {
        SetFilterOptionsField(Value);
    }
}

void TBDEDataSet::SetOnFilterRecordImpl(const TFilterRecordEvent& Value) {
    if (Active() && Filtered()) {
        CheckBrowseMode();
        OnFilterRecord = Value;
        ActivateFilters();
        First();
    } else {
        OnFilterRecord = Value;
    }
}

bool TBDEDataSet::FindRecord(bool Restart, bool GoForward) {
    CheckBrowseMode();
    DoBeforeScroll();
    SetFound(false);
    UpdateCursorPos();
    CursorPosChanged();
    const bool temporary = !Filtered();
    if (temporary) ActivateFilters();
    DBIResult rc;
    try {
        if (GoForward) {
            if (Restart) InternalFirst();
            rc = DbiGetNextRecord(FHandle, nullptr, nullptr);
        } else {
            if (Restart) InternalLast();
            rc = DbiGetPriorRecord(FHandle, nullptr, nullptr);
        }
        RethrowFilterError();
    } catch (...) {
        if (temporary) DeactivateFilters();
        throw;
    }
    if (temporary) DeactivateFilters();
    if (rc == DBIERR_NONE) {
        Resync(TResyncMode{rmExact, rmCenter});
        SetFound(true);
    } else if (rc != DBIERR_EOF && rc != DBIERR_BOF) {
        Check(rc);
    }
    if (Found()) DoAfterScroll();
    return Found();
}

// ---- searching

void TBDEDataSet::PutVariant(TRecordBuffer Buffer, int FieldNo, const Variant& Value) {
    if (FieldNo <= 0 || size_t(FieldNo) > FFieldDescs.size()) DatabaseError("Field index out of range", this);
    const FLDDesc& f = FFieldDescs[size_t(FieldNo - 1)];
    if (Value.IsNull() || Value.IsEmpty()) {
        Check(DbiPutField(FHandle, uint16_t(FieldNo), Buffer, nullptr));
        return;
    }
    std::vector<uint8_t> native(f.iLen + 1, 0);
    VariantToNative(f, Value, native.data());
    Check(DbiPutField(FHandle, uint16_t(FieldNo), Buffer, native.data()));
}

bool TBDEDataSet::WithRecordAsFilterBuffer(TRecordBuffer Buffer, const std::function<bool()>& Body) {
    const TDataSetState saved = SetTempState(dsFilter);
    TRecordBuffer savedBuffer = FilterBuffer();
    SetFilterBuffer(Buffer);
    bool r = false;
    try {
        r = Body();
    } catch (...) {
        SetFilterBuffer(savedBuffer);
        RestoreState(saved);
        throw;
    }
    SetFilterBuffer(savedBuffer);
    RestoreState(saved);
    return r;
}

void TBDEDataSet::CheckDataFields(const std::vector<TField*>& Fields) const {
    for (TField* f : Fields)
        if (f->FieldNo() <= 0) DatabaseError("Field '" + f->FieldName() + "' is not a data field", nullptr);
}

bool TBDEDataSet::LocateByIndex(const std::vector<TField*>& Fields, const Variant& KeyValues,
                                TLocateOptions Options, bool& Found) {
    (void)Fields;
    (void)KeyValues;
    (void)Options;
    Found = false;
    return false;
}

bool TBDEDataSet::LocateCursor(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    FPrefetched = false;
    std::vector<TField*> fields;
    GetFieldList(fields, KeyFields);
    if (fields.empty()) DatabaseError("No key fields to locate", this);
    UpdateCursorPos();
    CursorPosChanged();
    bool found = false;
    if (LocateByIndex(fields, KeyValues, Options, found)) return found;

    // No index fits: walk the visible records in the current order.
    std::vector<uint8_t> saved(size_t(std::max(BookmarkSize(), 1)), 0);
    const bool haveSaved = !IsEmpty() && DbiGetBookMark(FHandle, saved.data()) == DBIERR_NONE;
    std::vector<uint8_t> rec(size_t(FRecBufSize), 0);
    Check(DbiSetToBegin(FHandle));
    for (;;) {
        const DBIResult rc = DbiGetNextRecord(FHandle, rec.data(), nullptr);
        RethrowFilterError();
        if (rc == DBIERR_EOF) break;
        Check(rc);
        if (CalcFieldsSize() > 0) GetCalcFields(rec.data());
        if (WithRecordAsFilterBuffer(rec.data(), [&] { return RecordMatches(fields, KeyValues, Options); })) {
            found = true;
            break;
        }
    }
    if (!found && haveSaved) DbiSetToBookMark(FHandle, saved.data());
    return found;
}

bool TBDEDataSet::Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
    CheckBrowseMode();
    DoBeforeScroll();
    const bool found = LocateCursor(KeyFields, KeyValues, Options);
    SetFound(found);
    if (found) {
        ResyncAtCursor();
        DoAfterScroll();
    }
    return found;
}

Variant TBDEDataSet::Lookup(const std::string& KeyFields, const Variant& KeyValues,
                            const std::string& ResultFields) {
    CheckBrowseMode();
    if (!LocateCursor(KeyFields, KeyValues, {})) return Null();
    std::vector<uint8_t> rec(size_t(FRecBufSize), 0);
    if (FPrefetched) std::memcpy(rec.data(), FPrefetch.data(), FRecProps.iRecBufSize);
    else Check(DbiGetRecord(FHandle, rec.data(), nullptr));
    FPrefetched = false;
    if (CalcFieldsSize() > 0) GetCalcFields(rec.data());
    Variant result;
    WithRecordAsFilterBuffer(rec.data(), [&] {
        result = FieldValues(ResultFields);
        return true;
    });
    // The engine cursor moved; the dataset finds its record again on the next move.
    CursorPosChanged();
    return result;
}

// ---------------------------------------------------------------------------
// TDBDataSet

TDBDataSet::TDBDataSet(TComponent* AOwner) : TBDEDataSet(AOwner) {}

TDBDataSet::~TDBDataSet() {
    try {
        Close();
    } catch (...) {
    }
    if (FDatabase != nullptr) CloseDatabase(FDatabase);
}

TSession* TDBDataSet::DBSession() const {
    if (FDatabase != nullptr) return FDatabase->Session();
    TSession* s = Sessions->FindSession(FSessionName);
    if (s == nullptr) DatabaseError("Session '" + FSessionName + "' not found");
    return s;
}

hDBIDb TDBDataSet::DBHandle() const { return FDatabase != nullptr ? FDatabase->Handle() : nullptr; }
TLocale TDBDataSet::DBLocale() const { return FDatabase != nullptr ? FDatabase->Locale() : nullptr; }

bool TDBDataSet::CheckOpen(DBIResult Status) {
    if (Status == DBIERR_NONE) return true;
    Check(Status);
    return false;
}

void TDBDataSet::SetDatabaseName(const std::string& Value) {
    if (Value == FDatabaseName) return;
    CheckInactive();
    FDatabaseName = Value;
}

void TDBDataSet::SetSessionName(const std::string& Value) {
    if (Value == FSessionName) return;
    CheckInactive();
    FSessionName = Value;
}

TDatabase* TDBDataSet::OpenDatabase() {
    if (FDatabase == nullptr) {
        TDatabase* db = DBSession()->OpenDatabase(FDatabaseName);
        FDatabase = db;
        db->AddDataSet(this);
    }
    return FDatabase;
}

void TDBDataSet::CloseDatabase(TDatabase* Database) {
    if (Database == nullptr) return;
    Database->RemoveDataSet(this);
    if (FDatabase == Database) FDatabase = nullptr;
    Database->Session()->CloseDatabase(Database);
}

hDBIDb TDBDataSet::NeedDBHandle() {
    OpenDatabase();
    if (FDatabase->Handle() == nullptr) FDatabase->Open();
    return FDatabase->Handle();
}

void TDBDataSet::OpenCursor(bool InfoQuery) {
    OpenDatabase();
    try {
        inherited::OpenCursor(InfoQuery);
    } catch (...) {
        CloseDatabase(FDatabase);
        throw;
    }
}

void TDBDataSet::CloseCursor() {
    inherited::CloseCursor();
    if (FDatabase != nullptr) CloseDatabase(FDatabase);
}

}  // namespace host
