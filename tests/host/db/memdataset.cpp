// TMemDataSet: storage, cursor, buffers, posting and blob streams of the in-memory test dataset.
#include "memdataset.h"

#include <algorithm>
#include <cstring>

#include "host/rtl/streams.h"

namespace host {

namespace {
int NativeSize(const TFieldDef* Def) {
    switch (Def->DataType()) {
    case ftString: case ftFixedChar: case ftWideString: return Def->Size() + 1;
    case ftGuid: return 39;
    case ftSmallint: case ftWord: case ftBoolean: return 2;
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: return 4;
    case ftLargeint: case ftFloat: case ftCurrency: case ftBCD: case ftDateTime: return 8;
    case ftBytes: return Def->Size();
    case ftVarBytes: return Def->Size() + 2;
    default: return 0;  // blobs live beside the buffer
    }
}

bool IsBlobType(TFieldType t) {
    return t == ftBlob || t == ftMemo || t == ftGraphic || t == ftFmtMemo || t == ftParadoxOle || t == ftDBaseOle ||
           t == ftTypedBinary || t == ftOraBlob || t == ftOraClob;
}
}  // namespace

// A blob of the active buffer: reads its contents, and on destruction stores
// what was written back into the buffer.
class TMemBlobStream : public TMemoryStream {
public:
    TMemBlobStream(TMemDataSet* DataSet, TField* Field, TBlobStreamMode Mode)
        : FDataSet(DataSet), FField(Field), FMode(Mode), FBuffer(DataSet->GetActiveRecordBuffer()) {
        if (FBuffer == nullptr) return;
        const std::string& data = FDataSet->BufferBlobs(FBuffer)[static_cast<size_t>(Slot())];
        if (Mode != bmWrite && !data.empty()) {
            WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
            SetPosition(0);
        }
    }
    ~TMemBlobStream() override {
        if (FMode == bmRead || FBuffer == nullptr) return;
        std::string data(static_cast<const char*>(Memory()), static_cast<size_t>(Size()));
        FDataSet->BufferBlobs(FBuffer)[static_cast<size_t>(Slot())] = data;
        FBuffer[FDataSet->FOffsets.back() + FField->FieldNo() - 1] = data.empty() ? 1 : 0;
    }

private:
    int Slot() const { return FDataSet->BlobSlot(FField->FieldNo()); }
    TMemDataSet* FDataSet;
    TField* FField;
    TBlobStreamMode FMode;
    TRecordBuffer FBuffer;
};

TMemDataSet::TMemDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMemDataSet::~TMemDataSet() {
    Destroying();
    Close();
}

void TMemDataSet::InternalInitFieldDefs() {
    for (int i = 0; i < FieldDefs()->Count(); ++i) FieldDefs()->Items(i)->SetFieldNo(i + 1);
}

void TMemDataSet::InternalOpen() {
    FieldDefs()->Update();
    InternalInitFieldDefs();
    if (DefaultFields()) CreateFields();
    BindFields(true);
    int n = FieldDefs()->Count();
    FOffsets.assign(static_cast<size_t>(n) + 1, 0);
    FSizes.assign(static_cast<size_t>(n), 0);
    FBlobSlots.assign(static_cast<size_t>(n), -1);
    FBlobCount = 0;
    int offset = 0;
    for (int i = 0; i < n; ++i) {
        const TFieldDef* def = FieldDefs()->Items(i);
        FOffsets[static_cast<size_t>(i)] = offset;
        FSizes[static_cast<size_t>(i)] = NativeSize(def);
        if (IsBlobType(def->DataType())) FBlobSlots[static_cast<size_t>(i)] = FBlobCount++;
        offset += FSizes[static_cast<size_t>(i)];
    }
    FOffsets[static_cast<size_t>(n)] = offset;  // the null bytes start here
    FRecordSize = offset + n;
    for (Row& r : FRows) {
        r.Data.resize(static_cast<size_t>(FRecordSize), 1);
        r.Blobs.resize(static_cast<size_t>(FBlobCount));
    }
    SetBookmarkSize(sizeof(int64_t));
    FCursor = -1;
    FOpen = true;
}

void TMemDataSet::InternalClose() {
    FOpen = false;
    FBufferBlobs.clear();
}

TRecordBuffer TMemDataSet::AllocRecordBuffer() {
    size_t size = static_cast<size_t>(InfoOffset()) + sizeof(RecInfo);
    auto* buf = new uint8_t[size];  // operator new aligns for any scalar
    std::memset(buf, 0, size);
    return buf;
}

void TMemDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
    FBufferBlobs.erase(Buffer);
    delete[] Buffer;
    Buffer = nullptr;
}

std::vector<std::string>& TMemDataSet::BufferBlobs(TRecordBuffer Buffer) {
    std::vector<std::string>& blobs = FBufferBlobs[Buffer];
    blobs.resize(static_cast<size_t>(FBlobCount));
    return blobs;
}

int TMemDataSet::BlobSlot(int FieldNo) const { return FBlobSlots.at(static_cast<size_t>(FieldNo - 1)); }

int TMemDataSet::IndexOfId(int64_t Id) const {
    for (size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Id == Id) return static_cast<int>(i);
    return -1;
}

void TMemDataSet::FillBuffer(int Index, TRecordBuffer Buffer) {
    const Row& r = FRows[static_cast<size_t>(Index)];
    std::memcpy(Buffer, r.Data.data(), static_cast<size_t>(FRecordSize));
    BufferBlobs(Buffer) = r.Blobs;
    Info(Buffer)->Id = r.Id;
    Info(Buffer)->Flag = bfCurrent;
    ++FFetches;
}

void TMemDataSet::StoreBuffer(Row& Target, TRecordBuffer Buffer) {
    Target.Data.assign(Buffer, Buffer + FRecordSize);
    Target.Blobs = BufferBlobs(Buffer);
}

bool TMemDataSet::Accepts(int Index, TRecordBuffer Buffer) {
    if (!Filtered() || !OnFilterRecord.Assigned()) return true;
    FillBuffer(Index, Buffer);
    return RecordFilterAccepts(Buffer);
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
    (void)DoCheck;
    int n = static_cast<int>(FRows.size());
    switch (GetMode) {
    case gmNext: {
        int i = std::max(FCursor + 1, 0);
        while (i < n && !Accepts(i, Buffer)) ++i;
        if (i >= n) {
            FCursor = n;
            return grEOF;
        }
        FCursor = i;
        break;
    }
    case gmPrior: {
        int i = std::min(FCursor - 1, n - 1);
        while (i >= 0 && !Accepts(i, Buffer)) --i;
        if (i < 0) {
            FCursor = -1;
            return grBOF;
        }
        FCursor = i;
        break;
    }
    case gmCurrent:
        if (FCursor < 0 || FCursor >= n || !Accepts(FCursor, Buffer)) return grError;
        break;
    }
    FillBuffer(FCursor, Buffer);
    return grOK;
}

void TMemDataSet::GetBookmarkData(TRecordBuffer Buffer, void* Data) { std::memcpy(Data, &Info(Buffer)->Id, 8); }
void TMemDataSet::SetBookmarkData(TRecordBuffer Buffer, const void* Data) { std::memcpy(&Info(Buffer)->Id, Data, 8); }
TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecordBuffer Buffer) {
    return static_cast<TBookmarkFlag>(Info(Buffer)->Flag);
}
void TMemDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) { Info(Buffer)->Flag = Value; }

void TMemDataSet::InternalGotoBookmark(const void* Bookmark) {
    int64_t id;
    std::memcpy(&id, Bookmark, 8);
    int i = IndexOfId(id);
    if (i < 0) DatabaseError("Record not found", this);
    FCursor = i;
}

void TMemDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
    int i = IndexOfId(Info(Buffer)->Id);
    // An inserted buffer whose neighbour went away: stand at the end.
    FCursor = i >= 0 ? i : static_cast<int>(FRows.size());
}

void TMemDataSet::InternalInitRecord(TRecordBuffer Buffer) {
    std::memset(Buffer, 0, static_cast<size_t>(FRecordSize));
    int n = FieldDefs()->Count();
    std::memset(Buffer + FOffsets[static_cast<size_t>(n)], 1, static_cast<size_t>(n));
    BufferBlobs(Buffer).assign(static_cast<size_t>(FBlobCount), std::string());
}

bool TMemDataSet::GetFieldData(TField* Field, void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec == nullptr || Field->FieldNo() < 1) return false;
    size_t i = static_cast<size_t>(Field->FieldNo() - 1);
    if (rec[FOffsets.back() + static_cast<int>(i)] != 0) return false;
    if (Buffer != nullptr && FSizes[i] > 0) std::memcpy(Buffer, rec + FOffsets[i], static_cast<size_t>(FSizes[i]));
    return true;
}

void TMemDataSet::SetFieldData(TField* Field, const void* Buffer) {
    TRecordBuffer rec = GetActiveRecordBuffer();
    if (rec == nullptr || Field->FieldNo() < 1) return;
    size_t i = static_cast<size_t>(Field->FieldNo() - 1);
    rec[FOffsets.back() + static_cast<int>(i)] = Buffer == nullptr ? 1 : 0;
    if (Buffer != nullptr)
        std::memcpy(rec + FOffsets[i], Buffer, static_cast<size_t>(FSizes[i]));
    else
        std::memset(rec + FOffsets[i], 0, static_cast<size_t>(FSizes[i]));
}

std::unique_ptr<TStream> TMemDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
    if (Field->FieldNo() < 1 || BlobSlot(Field->FieldNo()) < 0) return TDataSet::CreateBlobStream(Field, Mode);
    return std::make_unique<TMemBlobStream>(this, Field, Mode);
}

void TMemDataSet::InternalPost() {
    TDataSet::InternalPost();
    TRecordBuffer buf = ActiveBuffer();
    int64_t selfId = State() == dsEdit ? Info(buf)->Id : 0;
    if (!FUniqueField.empty()) {
        TField* f = FieldByName(FUniqueField);
        std::string value = f->AsString();
        for (const Row& r : FRows) {
            if (r.Id == selfId) continue;
            // Compare through the field: read the other record's value from the spare buffer.
            TRecordBuffer spare = TempBuffer();
            std::memcpy(spare, r.Data.data(), static_cast<size_t>(FRecordSize));
            TDataSetState save = SetTempState(dsFilter);
            SetFilterBuffer(spare);
            std::string other = f->AsString();
            RestoreState(save);
            if (other == value) DatabaseError("Key violation", this);
        }
    }
    if (State() == dsEdit) {
        int i = IndexOfId(selfId);
        if (i < 0) DatabaseError("Record not found", this);
        StoreBuffer(FRows[static_cast<size_t>(i)], buf);
        FCursor = i;
        return;
    }
    Row r;
    r.Id = ++FNextId;
    // AutoInc fields take the identifier.
    for (int k = 0; k < FieldDefs()->Count(); ++k) {
        if (FieldDefs()->Items(k)->DataType() != ftAutoInc) continue;
        int32_t v = static_cast<int32_t>(r.Id);
        std::memcpy(buf + FOffsets[static_cast<size_t>(k)], &v, 4);
        buf[FOffsets.back() + k] = 0;
    }
    StoreBuffer(r, buf);
    int pos = static_cast<int>(FRows.size());
    TBookmarkFlag flag = GetBookmarkFlag(buf);
    if (flag == bfBOF) {
        pos = 0;
    } else if (flag == bfInserted) {
        int i = IndexOfId(Info(buf)->Id);
        if (i >= 0) pos = i;
    }
    FRows.insert(FRows.begin() + pos, std::move(r));
    Info(buf)->Id = FRows[static_cast<size_t>(pos)].Id;
    FCursor = pos;
}

void TMemDataSet::InternalAddRecord(TRecordBuffer Buffer, bool Append) {
    SetBookmarkFlag(Buffer, Append ? bfEOF : bfInserted);
    InternalPost();
}

void TMemDataSet::InternalDelete() {
    int i = IndexOfId(Info(ActiveBuffer())->Id);
    if (i < 0) DatabaseError("Record not found", this);
    FRows.erase(FRows.begin() + i);
    FCursor = i;
}

int TMemDataSet::GetRecordCount() {
    if (!Filtered() || !OnFilterRecord.Assigned()) return static_cast<int>(FRows.size());
    int n = 0;
    for (int i = 0; i < static_cast<int>(FRows.size()); ++i)
        if (Accepts(i, TempBuffer())) ++n;
    return n;
}

int TMemDataSet::GetRecNo() {
    if (IsEmpty() || State() == dsInsert) return -1;
    int target = IndexOfId(Info(ActiveBuffer())->Id);
    int n = 0;
    for (int i = 0; i <= target; ++i)
        if (Accepts(i, TempBuffer())) ++n;
    return n;
}

void TMemDataSet::SetRecNoImpl(int Value) {
    CheckBrowseMode();
    int n = 0;
    for (int i = 0; i < static_cast<int>(FRows.size()); ++i) {
        if (!Accepts(i, TempBuffer())) continue;
        if (++n == Value) {
            DoBeforeScroll();
            FCursor = i;
            Resync({rmExact, rmCenter});
            DoAfterScroll();
            return;
        }
    }
}

bool TMemDataSet::BookmarkValid(const TBookmark& Bookmark) {
    if (Bookmark.size() != 8) return false;
    int64_t id;
    std::memcpy(&id, Bookmark.data(), 8);
    return IndexOfId(id) >= 0;
}

int TMemDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
    if (Bookmark1.size() != 8 || Bookmark2.size() != 8) return TDataSet::CompareBookmarks(Bookmark1, Bookmark2);
    int64_t a, b;
    std::memcpy(&a, Bookmark1.data(), 8);
    std::memcpy(&b, Bookmark2.data(), 8);
    int ia = IndexOfId(a), ib = IndexOfId(b);
    return ia < ib ? -1 : (ia > ib ? 1 : 0);
}

}  // namespace host
