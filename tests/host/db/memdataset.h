// TMemDataSet: a complete in-memory dataset over a vector of records, implementing TDataSet's protected interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/db/db.h"

namespace host {

// Records live in a vector in insertion order; each has a stable identifier that
// serves as its bookmark. The field layout is the engine's native one: each
// field's value, then one null byte per field (1 = blank). Blobs are kept beside
// the buffers. Filtering goes through OnFilterRecord when Filtered is on.
// Define the fields with FieldDefs()->Add before opening.
class TMemDataSet : public TDataSet {
    HOST_CLASS(TMemDataSet, TDataSet)
public:
    explicit TMemDataSet(TComponent* AOwner);
    ~TMemDataSet() override;

    // Posting a record whose value of this field another record has fails with
    // EDatabaseError "Key violation" (a unique index stand-in).
    void SetUniqueField(const std::string& Name) { FUniqueField = Name; }
    // Makes the dataset refuse modification (CanModify false).
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Number of records stored (ignores the filter).
    int StoredCount() const { return static_cast<int>(FRows.size()); }
    // How many times GetRecord read a stored record (to check the cost of moves).
    int FetchCount() const { return FFetches; }

    bool BookmarkValid(const TBookmark& Bookmark) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override { return FRecordSize; }
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalClose() override;
    void InternalDelete() override;
    void InternalFirst() override { FCursor = -1; }
    void InternalGotoBookmark(const void* Bookmark) override;
    void InternalInitFieldDefs() override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalLast() override { FCursor = static_cast<int>(FRows.size()); }
    void InternalOpen() override;
    void InternalPost() override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    bool IsCursorOpen() const override { return FOpen; }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    void SetRecNoImpl(int Value) override;
    bool GetCanModify() override { return !FReadOnly; }

private:
    friend class TMemBlobStream;
    struct Row {
        int64_t Id = 0;
        std::vector<uint8_t> Data;
        std::vector<std::string> Blobs;
    };
    struct RecInfo {
        int64_t Id;
        int32_t Flag;
    };
    RecInfo* Info(TRecordBuffer Buffer) const {
        return reinterpret_cast<RecInfo*>(Buffer + InfoOffset());
    }
    // The record information sits after the data and the calc area, 8-byte aligned.
    int InfoOffset() const { return (FRecordSize + CalcFieldsSize() + 7) / 8 * 8; }
    int IndexOfId(int64_t Id) const;
    bool Accepts(int Index, TRecordBuffer Buffer);
    void FillBuffer(int Index, TRecordBuffer Buffer);
    void StoreBuffer(Row& Target, TRecordBuffer Buffer);
    int BlobSlot(int FieldNo) const;
    std::vector<std::string>& BufferBlobs(TRecordBuffer Buffer);

    std::vector<Row> FRows;
    int64_t FNextId = 0;
    int FCursor = -1;
    bool FOpen = false;
    bool FReadOnly = false;
    int FFetches = 0;
    int FRecordSize = 0;
    std::string FUniqueField;
    std::vector<int> FOffsets;    // per field number - 1
    std::vector<int> FSizes;      // native size per field
    std::vector<int> FBlobSlots;  // blob slot per field, -1 for other types
    int FBlobCount = 0;
    std::unordered_map<TRecordBuffer, std::vector<std::string>> FBufferBlobs;
};

}  // namespace host
