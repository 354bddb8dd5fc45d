// The dataset framework: TDataSet, fields, field and index definitions, parameters, data sources and links.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/db/alignment.h"
#include "host/rtl/collection.h"
#include "host/rtl/component.h"
#include "host/rtl/currency.h"
#include "host/rtl/events.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"
#include "host/rtl/variants.h"

namespace host {

class TStream;
class TStrings;
class TList;
class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDefs;
class TIndexDefs;
class TParams;
class TLookupList;

// ---------------------------------------------------------------------------
// Enumerations, in the framework's order (name tables index by their ordinals).

HOST_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
          ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
          ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT, ftArray,
          ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid);
using TFieldTypes = TSet<TFieldType>;
using TBlobType = TFieldType;  // ftBlob .. ftTypedBinary, ftOraBlob, ftOraClob

HOST_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
          dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening);
using TDataSetStates = TSet<TDataSetState>;
// The states in which fields may be written: a data link is "editing" in them.
inline const TDataSetStates dsEditModes{dsEdit, dsInsert, dsSetKey};
inline const TDataSetStates dsWriteModes{dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
                                         dsInternalCalc};

HOST_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate);
using TFieldKinds = TSet<TFieldKind>;

HOST_ENUM(TLocateOption, loCaseInsensitive, loPartialKey);
using TLocateOptions = TSet<TLocateOption>;

HOST_ENUM(TFilterOption, foCaseInsensitive, foNoPartialCompare);
using TFilterOptions = TSet<TFilterOption>;

HOST_ENUM(TDataAction, daFail, daAbort, daRetry);
HOST_ENUM(TUpdateMode, upWhereAll, upWhereChanged, upWhereKeyOnly);
HOST_ENUM(TGetMode, gmCurrent, gmNext, gmPrior);
HOST_ENUM(TGetResult, grOK, grBOF, grEOF, grError);
HOST_ENUM(TBookmarkFlag, bfCurrent, bfBOF, bfEOF, bfInserted);
HOST_ENUM(TResyncModeItem, rmExact, rmCenter);
using TResyncMode = TSet<TResyncModeItem>;
HOST_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
          deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange, deFocusControl,
          deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange);
HOST_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite);
HOST_ENUM(TParamType, ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult);
using TParamTypes = TSet<TParamType>;
HOST_ENUM(TIndexOption, ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained);
using TIndexOptions = TSet<TIndexOption>;
HOST_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed);
using TFieldAttributes = TSet<TFieldAttribute>;

// The framework's names of the field types ("String", "Integer", ...), indexed by TFieldType.
const char* FieldTypeName(TFieldType Type);

// ---------------------------------------------------------------------------
// Basic types.

// A record buffer: laid out by the concrete dataset that allocates it.
using TRecordBuffer = uint8_t*;
// Bookmarks are values: the bytes the concrete dataset gives for a record
// (BookmarkSize of them). An empty bookmark is "none".
using TBookmark = std::string;
using TBookmarkStr = std::string;
// The address of a field reference, passed with deFocusControl so that the
// link that focuses a control can clear it.
using TFieldRef = TField**;

using TDataSetNotifyEvent = TEvent<TDataSet*>;
using TDataSetErrorEvent = TEvent<TDataSet*, EDatabaseError&, TDataAction&>;
using TFilterRecordEvent = TEvent<TDataSet*, bool&>;
using TFieldNotifyEvent = TEvent<TField*>;
using TFieldGetTextEvent = TEvent<TField*, std::string&, bool>;
using TFieldSetTextEvent = TEvent<TField*, const std::string&>;
using TDataChangeEvent = TEvent<TObject*, TField*>;

// Raises EDatabaseError with Message, prefixed with "<component name>: " when
// Component has a name (the framework's DatabaseError).
[[noreturn]] void DatabaseError(const std::string& Message, TComponent* Component = nullptr);

// Native date/time conversions of the engine's record layout (host/db/dbiengine.h):
// dates as days since 0001-01-01 counting that day as 1, times as milliseconds
// since midnight, timestamps as milliseconds since 0001-01-01 00:00.
int32_t DateTimeToNativeDate(TDateTime Value);
int32_t DateTimeToNativeTime(TDateTime Value);
double DateTimeToNativeTimeStamp(TDateTime Value);
TDateTime NativeDateToDateTime(int32_t Value);
TDateTime NativeTimeToDateTime(int32_t Value);
TDateTime NativeTimeStampToDateTime(double Value);

// ---------------------------------------------------------------------------
// Field definitions

class TFieldDef : public TCollectionItem {
    HOST_CLASS(TFieldDef, TCollectionItem)
public:
    explicit TFieldDef(TCollection* Owner);
    TFieldDef(TFieldDefs* Owner, const std::string& Name, TFieldType DataType, int Size, bool Required, int FieldNo);

    void Assign(TPersistent* Source) override;
    // Makes a field of the default class for DataType, owned by Owner and bound to
    // the dataset of these definitions.
    TField* CreateField(TComponent* Owner);
    TClass FieldClass() const;
    std::string DisplayName() const override { return FName; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    bool Required() const { return FAttributes.Contains(faRequired); }
    void SetRequired(bool Value);
    TFieldAttributes Attributes() const { return FAttributes; }
    void SetAttributes(TFieldAttributes Value) { FAttributes = Value; }
    // The 1-based number of the field in its record (the engine's field number).
    int FieldNo() const { return FFieldNo; }
    void SetFieldNo(int Value) { FFieldNo = Value; }
    bool InternalCalcField() const { return FInternalCalcField; }
    void SetInternalCalcField(bool Value) { FInternalCalcField = Value; }

private:
    std::string FName;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FPrecision = 0;
    int FFieldNo = 0;
    bool FInternalCalcField = false;
    TFieldAttributes FAttributes;

    HOST_PUBLISHED(prop("Name", &TFieldDef::FName, &TFieldDef::SetName),
                   prop("Attributes", &TFieldDef::FAttributes, &TFieldDef::SetAttributes),
                   prop("DataType", &TFieldDef::FDataType, &TFieldDef::SetDataType).def(ftUnknown),
                   prop("Precision", &TFieldDef::FPrecision, &TFieldDef::SetPrecision).def(0),
                   prop("Size", &TFieldDef::FSize, &TFieldDef::SetSize).def(0))
};

class TFieldDefs : public TOwnedCollection {
    HOST_CLASS(TFieldDefs, TOwnedCollection)
public:
    explicit TFieldDefs(TPersistent* AOwner);

    TFieldDef* AddFieldDef();
    void Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
    // The definition of that name (case-insensitive); Find raises EDatabaseError
    // "Field '<name>' not found", IndexOf gives -1.
    TFieldDef* Find(const std::string& Name) const;
    int IndexOf(const std::string& Name) const;
    // Reads the definitions from the dataset (its InternalInitFieldDefs) unless they are up to date.
    void Update();
    TFieldDef* Items(int Index) const;
    TDataSet* DataSet() const { return FDataSet; }
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    // Adds the names of the definitions to List.
    void GetItemNames(TStrings* List) const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TDataSet* FDataSet = nullptr;
    bool FUpdated = false;
};

// ---------------------------------------------------------------------------
// Index definitions

class TIndexDef : public TCollectionItem {
    HOST_CLASS(TIndexDef, TCollectionItem)
public:
    explicit TIndexDef(TCollection* Owner);
    TIndexDef(TIndexDefs* Owner, const std::string& Name, const std::string& Fields, TIndexOptions Options);

    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override { return FName; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    // The key fields separated by ';' (empty for an expression index).
    const std::string& Fields() const { return FFields; }
    void SetFields(const std::string& Value) { FFields = Value; }
    // The key expression of an ixExpression index.
    const std::string& Expression() const { return FExpression; }
    void SetExpression(const std::string& Value) { FExpression = Value; }
    TIndexOptions Options() const { return FOptions; }
    void SetOptions(TIndexOptions Value) { FOptions = Value; }
    const std::string& CaseInsFields() const { return FCaseInsFields; }
    void SetCaseInsFields(const std::string& Value) { FCaseInsFields = Value; }
    const std::string& DescFields() const { return FDescFields; }
    void SetDescFields(const std::string& Value) { FDescFields = Value; }
    const std::string& Source() const { return FSource; }
    void SetSource(const std::string& Value) { FSource = Value; }
    // The fields of the key, each a FieldName; empty for an expression index.
    std::vector<std::string> FieldList() const;

private:
    std::string FName, FFields, FExpression, FCaseInsFields, FDescFields, FSource;
    TIndexOptions FOptions;

    HOST_PUBLISHED(prop("Name", &TIndexDef::FName, &TIndexDef::SetName),
                   prop("Fields", &TIndexDef::FFields, &TIndexDef::SetFields),
                   prop("Expression", &TIndexDef::FExpression, &TIndexDef::SetExpression),
                   prop("CaseInsFields", &TIndexDef::FCaseInsFields, &TIndexDef::SetCaseInsFields),
                   prop("DescFields", &TIndexDef::FDescFields, &TIndexDef::SetDescFields),
                   prop("Options", &TIndexDef::FOptions, &TIndexDef::SetOptions),
                   prop("Source", &TIndexDef::FSource, &TIndexDef::SetSource))
};

class TIndexDefs : public TOwnedCollection {
    HOST_CLASS(TIndexDefs, TOwnedCollection)
public:
    explicit TIndexDefs(TDataSet* ADataSet);

    TIndexDef* AddIndexDef();
    void Add(const std::string& Name, const std::string& Fields, TIndexOptions Options);
    // Find raises EDatabaseError "Index '<name>' not found"; IndexOf gives -1.
    TIndexDef* Find(const std::string& Name) const;
    int IndexOf(const std::string& Name) const;
    // The first index whose leading key fields are Fields (';'-separated,
    // case-insensitive); with CaseInsensitive only case-insensitive indexes.
    // FindIndexForFields raises EDatabaseError "No index for fields '<fields>'".
    TIndexDef* GetIndexForFields(const std::string& Fields, bool CaseInsensitive) const;
    TIndexDef* FindIndexForFields(const std::string& Fields) const;
    // Asks the dataset for its indexes (TDataSet::UpdateIndexDefs) unless up to date.
    void Update();
    TIndexDef* Items(int Index) const;
    TDataSet* DataSet() const { return FDataSet; }
    bool Updated() const { return FUpdated; }
    void SetUpdated(bool Value) { FUpdated = Value; }
    void GetItemNames(TStrings* List) const;

protected:
    using TOwnedCollection::Update;

private:
    TDataSet* FDataSet;
    bool FUpdated = false;
};

// ---------------------------------------------------------------------------
// Lookup list: the cache of a lookup field (key value → result value).

class TLookupList : public TObject {
    HOST_CLASS(TLookupList, TObject)
public:
    TLookupList();
    ~TLookupList() override;
    void Add(const Variant& AKey, const Variant& AValue);
    void Clear();
    // The value for the key, Null when the key is absent.
    Variant ValueOfKey(const Variant& AKey) const;
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<std::pair<Variant, Variant>> FItems;
};

// ---------------------------------------------------------------------------
// Datasets

// The abstract dataset. A concrete dataset implements the protected virtual
// interface below over its storage; the base keeps a ring of BufferCount record
// buffers (the largest BufferCount of its data links) around the active record,
// moves it by fetching only the records that come into view, raises the
// Before/After events, runs the state machine of the 13 states and tells the
// data sources of every change.
//
// Record buffers are laid out by the concrete dataset. Calculated and lookup
// fields live in a calc area of CalcFieldsSize() bytes at CalcFieldsOffset()
// in every buffer (each value a null flag byte, then DataSize bytes, at the
// field's Offset); AllocRecordBuffer must leave room for it. The base reads
// and writes calculated fields itself and computes them (lookups, then
// OnCalcFields) after every record it fetches, so a concrete dataset deals only
// with data fields.
class TDataSet : public TComponent {
    HOST_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* AOwner);
    // Closes the dataset and frees the fields it made.
    ~TDataSet() override;

    // ---- opening and closing
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Active() const { return FState != dsInactive && FState != dsOpening; }
    void SetActive(bool Value);
    TDataSetState State() const { return FState; }

    // ---- navigation
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves Distance records (negative: backwards) and returns how many were moved.
    int MoveBy(int Distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const;
    // Without a record number or count the framework's -1.
    int RecNo() const { return const_cast<TDataSet*>(this)->GetRecNo(); }
    void SetRecNo(int Value) { SetRecNoImpl(Value); }
    int RecordCount() const { return const_cast<TDataSet*>(this)->GetRecordCount(); }
    int RecordSize() const { return const_cast<TDataSet*>(this)->GetRecordSize(); }
    bool Found() const { return FFound; }
    virtual bool IsSequenced() const { return true; }
    bool IsUniDirectional() const { return FIsUniDirectional; }

    // ---- editing
    void Append();
    void Insert();
    void Edit();
    // Post and Cancel are virtual so that datasets with more editing states
    // (dsSetKey) finish them; in dsSetKey the base does nothing.
    virtual void Post();
    virtual void Cancel();
    void Delete();
    void AppendRecord(const std::vector<Variant>& Values);
    void InsertRecord(const std::vector<Variant>& Values);
    // Writes the fields of the active record from Values, in field order.
    void SetFields(const std::vector<Variant>& Values);
    void ClearFields();
    // Posts or cancels a pending edit (Post when modified, else Cancel).
    void CheckBrowseMode();
    // Asks the data links to write their controls' values (deUpdateRecord);
    // raises "Dataset not in edit or insert mode" outside an editing state.
    void UpdateRecord();
    void Refresh();
    void Resync(TResyncMode Mode);
    void UpdateCursorPos();
    void CursorPosChanged() { FCurrentRecord = -1; }
    bool CanModify() const { return const_cast<TDataSet*>(this)->GetCanModify(); }
    bool Modified() const { return FModified; }

    // ---- bookmarks
    bool BookmarkAvailable() const;
    TBookmark GetBookmark();
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
    virtual bool BookmarkValid(const TBookmark& Bookmark);
    // <0, 0 or >0; an empty bookmark sorts before any other.
    virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2);
    TBookmarkStr Bookmark();
    void SetBookmark(const TBookmarkStr& Value) { GotoBookmark(Value); }
    int BookmarkSize() const { return FBookmarkSize; }

    // ---- searching
    // KeyFields ';'-separated; KeyValues one value, or a variant array for several fields.
    virtual bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    // The ResultFields (';'-separated: an array) of the first record matching, or Null.
    virtual Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields);
    bool FindFirst();
    bool FindLast();
    bool FindNext();
    bool FindPrior();

    // ---- filtering
    const std::string& Filter() const { return FFilterText; }
    void SetFilter(const std::string& Value) { SetFilterText(Value); }
    bool Filtered() const { return FFiltered; }
    // Changing the filter of an open dataset goes back to the first record it accepts.
    virtual void SetFiltered(bool Value);
    TFilterOptions FilterOptions() const { return FFilterOptions; }
    virtual void SetFilterOptions(TFilterOptions Value);
    TFilterRecordEvent OnFilterRecord;
    void SetOnFilterRecord(const TFilterRecordEvent& Value) { SetOnFilterRecordImpl(Value); }

    // ---- controls
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount != 0; }

    // ---- fields
    TFields* Fields() const { return FFields.get(); }
    TField* Fields(int Index) const;
    int FieldCount() const;
    TField* FieldByName(const std::string& FieldName) const;
    TField* FindField(const std::string& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    void GetFieldNames(TStrings* List);
    void GetFieldList(std::vector<TField*>& List, const std::string& FieldNames) const;
    Variant FieldValues(const std::string& FieldName) const;
    void SetFieldValues(const std::string& FieldName, const Variant& Value);
    TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
    bool DefaultFields() const { return FDefaultFields; }
    bool AutoCalcFields() const { return FAutoCalcFields; }
    void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
    int CalcFieldsSize() const { return FCalcFieldsSize; }
    virtual TDataSource* GetDataSource() const { return nullptr; }
    TDataSource* DataSource() const { return GetDataSource(); }
    // True when this dataset takes data (as a detail) from ADataSource, directly or through other datasets.
    bool IsLinkedTo(TDataSource* ADataSource) const;
    // True when the field is a key field of the current index (concrete datasets answer).
    virtual bool GetIsIndexField(const TField* Field) const { (void)Field; return false; }
    // Fills the index definitions (concrete datasets with indexes override).
    virtual void UpdateIndexDefs() {}
    // The field's value in another state (old, new, current values).
    virtual Variant GetStateFieldValue(TDataSetState AState, TField* Field);
    virtual void SetStateFieldValue(TDataSetState AState, TField* Field, const Variant& Value);

    // ---- data access for fields (native buffers; false when Null)
    // Data fields only: the base routes calculated and lookup fields to the calc area.
    // TField::SetData does all the checking and telling around a write: the state
    // ("Dataset not in edit or insert mode"), ReadOnly, OnValidate (except in
    // dsSetKey and dsFilter), then SetFieldData, then deFieldChange and OnChange
    // (except in dsCalcFields, dsFilter, dsNewValue). SetFieldData only stores the
    // value (nullptr: Null) in GetActiveRecordBuffer(); GetFieldData only reads it
    // (Buffer nullptr: only says whether it is non-null). Data fields are bound to
    // FieldDefs by name when the fields bind: FieldNo is the definition's FieldNo.
    virtual bool GetFieldData(TField* Field, void* Buffer) = 0;
    virtual void SetFieldData(TField* Field, const void* Buffer) = 0;
    // A stream over a blob field of the active record (the caller owns it).
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode);
    virtual bool GetCurrentRecord(TRecordBuffer Buffer) { (void)Buffer; return false; }

    // ---- the record ring shared with data links
    int ActiveRecord() const { return FActiveRecord; }
    int BufferCount() const { return FBufferCount; }
    // Records the ring holds now (0..BufferCount).
    int BufferedRecordCount() const { return FRecordCount; }
    TRecordBuffer ActiveBuffer() const;

    // ---- provider support
    virtual TParams* PSGetParams() { return nullptr; }
    virtual void PSSetParams(TParams* AParams) { (void)AParams; }

    // ---- component
    void Loaded() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;

    // Events.
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnCalcFields, OnNewRecord;
    TDataSetErrorEvent OnDeleteError, OnEditError, OnPostError;

    // Sends an event to the data sources (held back while controls are disabled).
    virtual void DataEvent(TDataEvent Event, intptr_t Info);

protected:
    // ---- the concrete dataset's interface
    // InternalOpen: FieldDefs()->Update() (→ InternalInitFieldDefs), if DefaultFields()
    // CreateFields(), BindFields(true), SetBookmarkSize(n), then open the storage.
    // InternalClose closes the storage only: the base unbinds the fields and frees
    // the default ones. A concrete dataset closes itself in its destructor
    // (Destroying(); Close();) since the base cannot call its buffer functions then.
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& Buffer) = 0;
    virtual void GetBookmarkData(TRecordBuffer Buffer, void* Data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) = 0;
    // Fetches the current, next or prior record into Buffer. With DoCheck a
    // failure raises; otherwise grError.
    virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) = 0;
    virtual int GetRecordSize() = 0;
    virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) = 0;
    virtual void InternalClose() = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalGotoBookmark(const void* Bookmark) = 0;
    virtual void InternalHandleException();
    virtual void InternalInitFieldDefs() = 0;
    virtual void InternalInitRecord(TRecordBuffer Buffer) = 0;
    virtual void InternalLast() = 0;
    virtual void InternalOpen() = 0;
    // Stores the active buffer (dsEdit: the record; dsInsert: a new record, where
    // GetBookmarkFlag of the buffer says: bfEOF append, else before the bookmarked
    // record). The base checks required fields; concrete overrides call it first.
    virtual void InternalPost();
    virtual void InternalSetToRecord(TRecordBuffer Buffer) = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) = 0;
    virtual void SetBookmarkData(TRecordBuffer Buffer, const void* Data) = 0;
    virtual void InternalCancel() {}
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual int GetRecordCount() { return -1; }
    virtual int GetRecNo() { return -1; }
    virtual void SetRecNoImpl(int Value) { (void)Value; }
    virtual bool GetCanModify() { return true; }
    virtual void SetFilterText(const std::string& Value);
    virtual void SetOnFilterRecordImpl(const TFilterRecordEvent& Value);
    // Moves to the first/last/next/prior record that the filter accepts (FindFirst ...).
    virtual bool FindRecord(bool Restart, bool GoForward);
    // The offset of the calc area in each record buffer; by default right after
    // the RecordSize bytes of data.
    virtual int CalcFieldsOffset() { return GetRecordSize(); }
    // Zeroes the calc area of Buffer.
    virtual void ClearCalcFields(TRecordBuffer Buffer);
    // Initialises a new record buffer: InternalInitRecord, then clears the calc area.
    virtual void InitRecord(TRecordBuffer Buffer);
    // The buffer the fields read and write in the current state (ActiveBuffer,
    // CalcBuffer, the filter buffer, ...); nullptr when there is none (an empty
    // dataset in dsBrowse). Concrete datasets with more states override.
    virtual TRecordBuffer GetActiveRecordBuffer();
    virtual void OpenCursor(bool InfoQuery);
    virtual void CloseCursor();
    virtual void CreateFields();
    virtual void DestroyFields();
    virtual void BindFields(bool Binding);
    virtual void InitFieldDefs();
    virtual void DoOnNewRecord();
    virtual void CalculateFields(TRecordBuffer Buffer);
    virtual void DoOnCalcFields();
    virtual void DoBeforeOpen() { BeforeOpen(this); }
    virtual void DoAfterOpen() { AfterOpen(this); }
    virtual void DoBeforeClose() { BeforeClose(this); }
    virtual void DoAfterClose() { AfterClose(this); }
    virtual void DoBeforeInsert() { BeforeInsert(this); }
    virtual void DoAfterInsert() { AfterInsert(this); }
    virtual void DoBeforeEdit() { BeforeEdit(this); }
    virtual void DoAfterEdit() { AfterEdit(this); }
    virtual void DoBeforePost() { BeforePost(this); }
    virtual void DoAfterPost() { AfterPost(this); }
    virtual void DoBeforeCancel() { BeforeCancel(this); }
    virtual void DoAfterCancel() { AfterCancel(this); }
    virtual void DoBeforeDelete() { BeforeDelete(this); }
    virtual void DoAfterDelete() { AfterDelete(this); }
    virtual void DoBeforeScroll() { BeforeScroll(this); }
    virtual void DoAfterScroll() { AfterScroll(this); }
    virtual void DoBeforeRefresh() { BeforeRefresh(this); }
    virtual void DoAfterRefresh() { AfterRefresh(this); }
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- helpers for concrete datasets
    void CheckActive() const;
    void CheckInactive() const;
    void CheckBiDirectional() const;
    void CheckCanModify();
    void SetUniDirectional(bool Value) { FIsUniDirectional = Value; }
    void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
    void SetState(TDataSetState Value);
    TDataSetState SetTempState(TDataSetState Value);
    void RestoreState(TDataSetState Value);
    void SetModified(bool Value) { FModified = Value; }
    void SetFound(bool Value) { FFound = Value; }
    void SetFilterFields(bool Filtered) { FFiltered = Filtered; }
    void SetFilterTextField(const std::string& Value) { FFilterText = Value; }
    void SetFilterOptionsField(TFilterOptions Value) { FFilterOptions = Value; }
    void SetDefaultFieldsFlag(bool Value) { FDefaultFields = Value; }
    // Computes the calculated and lookup fields of Buffer (in dsCalcFields).
    void GetCalcFields(TRecordBuffer Buffer);
    TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
    // A spare buffer, not part of the ring (the insert/resync slot).
    TRecordBuffer TempBuffer() const;
    // Reads a record for a filter: fields read from Buffer in dsFilter while
    // OnFilterRecord decides. True when the record is accepted (or no handler).
    bool RecordFilterAccepts(TRecordBuffer Buffer);
    TRecordBuffer FilterBuffer() const { return FFilterBuffer; }
    void SetFilterBuffer(TRecordBuffer Buffer) { FFilterBuffer = Buffer; }
    // Reads and writes a calculated field in the calc area of the current buffer.
    bool GetCalcFieldData(const TField* Field, void* Buffer);
    void SetCalcFieldData(TField* Field, const void* Buffer);
    void ClearBuffers();
    // Drops the fetched records and fetches them again around the cursor.
    void RefreshBuffers();
    // Raises the framework's errors for a field of the wrong type or unknown name.
    void CheckFieldCompatibility(TField* Field, const TFieldDef* FieldDef);
    // True when every field named in KeyFields of the record in the current
    // buffer matches KeyValues (Locate's comparison).
    bool RecordMatches(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options);
    int BufferIndexOf(TRecordBuffer Buffer) const;

private:
    friend class TField;
    friend class TFields;
    friend class TDataSource;
    friend class TDataLink;
    friend class TFieldDefs;

    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void SetCurrentRecord(int Index);
    void MoveBuffer(int CurIndex, int NewIndex);
    void ActivateBuffers();
    void SetBufListSize(int Value);
    void SetBufferCount(int Value);
    void UpdateBufferCount();
    void FetchFromEnd(bool FromLast);
    void AddRecord(const std::vector<Variant>& Values, bool AtEnd);
    void ChangeFilter(bool Refetch, const std::function<void()>& Apply);
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckOperation(void (TDataSet::*Operation)(), const TDataSetErrorEvent& ErrorEvent);
    void AddDataSource(TDataSource* DataSource);
    void RemoveDataSource(TDataSource* DataSource);
    void AddField(TField* Field);
    void RemoveField(TField* Field);
    void UpdateCalcFieldsLayout();
    void FieldChanged(TField* Field);
    bool LocateRecord(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options,
                      bool SyncCursor);
    void FreeFieldBuffers() {}
    void DoInternalOpen();

    TDataSetState FState = dsInactive;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    int FDisableCount = 0;
    bool FBOF = true, FEOF = true;
    bool FModified = false;
    bool FFound = false;
    bool FStreamedActive = false;
    bool FDefaultFields = false;
    bool FAutoCalcFields = true;
    bool FFiltered = false;
    bool FIsUniDirectional = false;
    bool FInternalOpenComplete = false;
    bool FHasLookupFields = false;
    bool FCalculating = false;
    std::string FFilterText;
    TFilterOptions FFilterOptions;
    int FBookmarkSize = 0;
    int FCalcFieldsSize = 0;
    // The ring: FBuffers[0 .. FBufferCount - 1] plus one spare at FBufferCount.
    std::vector<TRecordBuffer> FBuffers;
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1;
    TRecordBuffer FCalcBuffer = nullptr;
    TRecordBuffer FFilterBuffer = nullptr;
    std::unique_ptr<TFields> FFields;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::vector<TDataSource*> FDataSources;

    bool ActiveProp() const { return Active(); }
    std::string FilterProp() const { return FFilterText; }
    void SetFilterProp(std::string Value) { SetFilterText(Value); }
    bool FilteredProp() const { return FFiltered; }
    void SetFilteredProp(bool Value) { SetFiltered(Value); }
    TFilterOptions FilterOptionsProp() const { return FFilterOptions; }
    void SetFilterOptionsProp(TFilterOptions Value) { SetFilterOptions(Value); }
    TFilterRecordEvent FilterRecordProp() const { return OnFilterRecord; }
    void SetFilterRecordProp(TFilterRecordEvent Value) { SetOnFilterRecordImpl(Value); }

    HOST_PUBLISHED(prop("Active", &TDataSet::ActiveProp, &TDataSet::SetActive).def(false),
                   prop("AutoCalcFields", &TDataSet::FAutoCalcFields, &TDataSet::SetAutoCalcFields).def(true),
                   prop("Filter", &TDataSet::FilterProp, &TDataSet::SetFilterProp),
                   prop("Filtered", &TDataSet::FilteredProp, &TDataSet::SetFilteredProp).def(false),
                   prop("FilterOptions", &TDataSet::FilterOptionsProp, &TDataSet::SetFilterOptionsProp),
                   prop("BeforeOpen", &TDataSet::BeforeOpen, &TDataSet::BeforeOpen),
                   prop("AfterOpen", &TDataSet::AfterOpen, &TDataSet::AfterOpen),
                   prop("BeforeClose", &TDataSet::BeforeClose, &TDataSet::BeforeClose),
                   prop("AfterClose", &TDataSet::AfterClose, &TDataSet::AfterClose),
                   prop("BeforeInsert", &TDataSet::BeforeInsert, &TDataSet::BeforeInsert),
                   prop("AfterInsert", &TDataSet::AfterInsert, &TDataSet::AfterInsert),
                   prop("BeforeEdit", &TDataSet::BeforeEdit, &TDataSet::BeforeEdit),
                   prop("AfterEdit", &TDataSet::AfterEdit, &TDataSet::AfterEdit),
                   prop("BeforePost", &TDataSet::BeforePost, &TDataSet::BeforePost),
                   prop("AfterPost", &TDataSet::AfterPost, &TDataSet::AfterPost),
                   prop("BeforeCancel", &TDataSet::BeforeCancel, &TDataSet::BeforeCancel),
                   prop("AfterCancel", &TDataSet::AfterCancel, &TDataSet::AfterCancel),
                   prop("BeforeDelete", &TDataSet::BeforeDelete, &TDataSet::BeforeDelete),
                   prop("AfterDelete", &TDataSet::AfterDelete, &TDataSet::AfterDelete),
                   prop("BeforeScroll", &TDataSet::BeforeScroll, &TDataSet::BeforeScroll),
                   prop("AfterScroll", &TDataSet::AfterScroll, &TDataSet::AfterScroll),
                   prop("BeforeRefresh", &TDataSet::BeforeRefresh, &TDataSet::BeforeRefresh),
                   prop("AfterRefresh", &TDataSet::AfterRefresh, &TDataSet::AfterRefresh),
                   prop("OnCalcFields", &TDataSet::OnCalcFields, &TDataSet::OnCalcFields),
                   prop("OnDeleteError", &TDataSet::OnDeleteError, &TDataSet::OnDeleteError),
                   prop("OnEditError", &TDataSet::OnEditError, &TDataSet::OnEditError),
                   prop("OnFilterRecord", &TDataSet::FilterRecordProp, &TDataSet::SetFilterRecordProp),
                   prop("OnNewRecord", &TDataSet::OnNewRecord, &TDataSet::OnNewRecord),
                   prop("OnPostError", &TDataSet::OnPostError, &TDataSet::OnPostError))
};

// ---------------------------------------------------------------------------
// Fields

class TField : public TComponent {
    HOST_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* AOwner);
    // Leaves the dataset.
    ~TField() override;

    void Assign(TPersistent* Source) override;
    // Copies the value of a variant (the framework's AssignValue).
    void AssignValue(const Variant& Value);
    // Sets the field to Null (an empty string for none-null types is Null too).
    virtual void Clear();
    // Asks the data links to focus the control showing this field.
    void FocusControl();
    // Reads the value into Buffer in the engine's native layout (or, without
    // NativeFormat, dates and times as TDateTime); returns false when the field
    // is Null. A null Buffer only tests for Null.
    bool GetData(void* Buffer, bool NativeFormat = true) const;
    // Writes the value from Buffer (nullptr sets Null); the dataset must be in an
    // editing state. Tells the data links (deFieldChange).
    void SetData(const void* Buffer, bool NativeFormat = true);
    virtual bool IsValidChar(char InputChar) const;
    virtual bool IsBlob() const { return false; }
    void RefreshLookupList();
    bool IsNull() const;
    // Checks that the field may be written and raises the framework's errors:
    // "Field '<name>' cannot be modified", "Dataset not in edit or insert mode".
    void CheckCanModifyValue() const;
    void SetFieldType(TFieldType Value);

    // Values and conversions. Reading a type the field cannot give raises
    // EDatabaseError "Cannot access field '<name>' as type <type>"; text that is
    // not a value of the type raises EConvertError with the framework's text.
    bool AsBoolean() const { return GetAsBoolean(); }
    virtual void SetAsBoolean(bool Value);
    Currency AsCurrency() const { return GetAsCurrency(); }
    virtual void SetAsCurrency(Currency Value);
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    virtual void SetAsDateTime(TDateTime Value);
    double AsFloat() const { return GetAsFloat(); }
    virtual void SetAsFloat(double Value);
    int AsInteger() const { return GetAsInteger(); }
    virtual void SetAsInteger(int Value);
    std::string AsString() const { return GetAsString(); }
    virtual void SetAsString(const std::string& Value);
    Variant AsVariant() const { return GetAsVariant(); }
    virtual void SetAsVariant(const Variant& Value);
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& Value) { SetAsVariant(Value); }
    // The text for display (DisplayText) and for editing (Text), through OnGetText when assigned.
    std::string DisplayText() const;
    std::string Text() const;
    void SetText(const std::string& Value);
    // The value before the current edit, the value being posted, and the
    // record's current stored value (datasets that cache updates differ).
    Variant OldValue() const;
    Variant NewValue() const;
    void SetNewValue(const Variant& Value);
    Variant CurValue() const;

    // Properties.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Calculated() const { return FFieldKind == fkCalculated; }
    void SetCalculated(bool Value);
    bool CanModify() const;
    TDataSet* DataSet() const { return FDataSet; }
    // Moves the field into another dataset's field list (nullptr takes it out);
    // the dataset must be closed (EDatabaseError otherwise).
    void SetDataSet(TDataSet* ADataSet);
    TFieldType DataType() const { return FDataType; }
    int DataSize() const { return GetDataSize(); }
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value);
    std::string DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
    void SetDisplayWidth(int Value);
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    std::string EditMaskPtr() const { return FEditMask; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    TFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TFieldKind Value);
    int FieldNo() const { return FFieldNo; }
    // The position of the field in the dataset's field list.
    int Index() const;
    void SetIndex(int Value);
    bool IsIndexField() const;
    bool Lookup() const { return FFieldKind == fkLookup; }
    void SetLookup(bool Value);
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    void SetLookupKeyFields(const std::string& Value);
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupResultField(const std::string& Value);
    const std::string& KeyFields() const { return FKeyFields; }
    void SetKeyFields(const std::string& Value);
    bool LookupCache() const { return FLookupCache; }
    void SetLookupCache(bool Value);
    TLookupList* LookupList() const { return FLookupList.get(); }
    // The byte offset of a calculated or lookup field's value in the calc area.
    int Offset() const { return FOffset; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Required() const { return FRequired; }
    void SetRequired(bool Value) { FRequired = Value; }
    int Size() const { return FSize; }
    virtual void SetSize(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    const std::string& DefaultExpression() const { return FDefaultExpression; }
    void SetDefaultExpression(const std::string& Value) { FDefaultExpression = Value; }
    const std::string& ConstraintErrorMessage() const { return FConstraintErrorMessage; }
    void SetConstraintErrorMessage(const std::string& Value) { FConstraintErrorMessage = Value; }
    const std::string& Origin() const { return FOrigin; }
    void SetOrigin(const std::string& Value) { FOrigin = Value; }

    // Streaming: a field is stored inside its dataset in form files.
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    TFieldNotifyEvent OnChange;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;

protected:
    virtual bool GetAsBoolean() const;
    virtual Currency GetAsCurrency() const;
    virtual TDateTime GetAsDateTime() const;
    virtual double GetAsFloat() const;
    virtual int GetAsInteger() const;
    virtual std::string GetAsString() const;
    virtual Variant GetAsVariant() const;
    // The display and edit texts; the base gives AsString.
    virtual void GetText(std::string& Text, bool DisplayText) const;
    virtual void SetTextValue(const std::string& Value);
    virtual int GetDataSize() const { return 0; }
    virtual int GetDefaultWidth() const { return 10; }
    virtual bool GetCanModify() const;
    virtual void Change();
    virtual void Validate(const void* Buffer);
    void PropertyChanged(bool LayoutAffected);
    void DataChanged();
    [[noreturn]] void AccessError(const std::string& TypeName) const;
    // Clears the field for Null/Empty and sets text through SetAsString; false for other values.
    bool SetNullOrText(const Variant& Value);
    void CheckInactive() const;
    void SetDataTypeInternal(TFieldType Value) { FDataType = Value; }
    void SetSizeInternal(int Value) { FSize = Value; }
    void Bind(bool Binding);
    // Reads the field's native value into a buffer of DataSize bytes; false when Null.
    bool ReadNative(std::vector<uint8_t>& Buffer) const;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Reads a DisplayLabel only when it differs from the field name.
    bool DisplayLabelStored() const { return !FDisplayLabel.empty(); }
    bool DisplayWidthStored() const { return FDisplayWidth > 0; }

private:
    friend class TDataSet;
    friend class TFields;
    void SetFieldNoInternal(int Value) { FFieldNo = Value; }
    void CalcLookupValue();

    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    TFieldType FDataType = ftUnknown;
    TFieldKind FFieldKind = fkData;
    int FFieldNo = 0;
    int FOffset = 0;
    int FSize = 0;
    TAlignment FAlignment = taLeftJustify;
    std::string FDisplayLabel;
    int FDisplayWidth = 0;
    std::string FEditMask;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FVisible = true;
    bool FValidating = false;
    std::string FDefaultExpression, FConstraintErrorMessage, FOrigin;
    TDataSet* FLookupDataSet = nullptr;
    std::string FLookupKeyFields, FLookupResultField, FKeyFields;
    bool FLookupCache = false;
    std::unique_ptr<TLookupList> FLookupList;
    const void* FValueBuffer = nullptr;  // the value being validated (OnValidate sees it)

    TAlignment AlignmentProp() const { return FAlignment; }
    std::string DisplayLabelProp() const { return FDisplayLabel; }
    int DisplayWidthProp() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
    bool LookupProp() const { return FFieldKind == fkLookup; }
    bool CalculatedProp() const { return FFieldKind == fkCalculated; }

    HOST_PUBLISHED(prop("Alignment", &TField::AlignmentProp, &TField::SetAlignment).def(taLeftJustify),
                   prop("ConstraintErrorMessage", &TField::FConstraintErrorMessage,
                        &TField::SetConstraintErrorMessage),
                   prop("DefaultExpression", &TField::FDefaultExpression, &TField::SetDefaultExpression),
                   prop("DisplayLabel", &TField::DisplayLabelProp, &TField::SetDisplayLabel)
                       .stored(&TField::DisplayLabelStored),
                   prop("DisplayWidth", &TField::DisplayWidthProp, &TField::SetDisplayWidth)
                       .stored(&TField::DisplayWidthStored),
                   prop("EditMask", &TField::FEditMask, &TField::SetEditMask),
                   prop("FieldKind", &TField::FFieldKind, &TField::SetFieldKind).def(fkData),
                   prop("FieldName", &TField::FFieldName, &TField::SetFieldName),
                   prop("KeyFields", &TField::FKeyFields, &TField::SetKeyFields),
                   prop("LookupCache", &TField::FLookupCache, &TField::SetLookupCache).def(false),
                   prop("LookupDataSet", &TField::FLookupDataSet, &TField::SetLookupDataSet),
                   prop("LookupKeyFields", &TField::FLookupKeyFields, &TField::SetLookupKeyFields),
                   prop("LookupResultField", &TField::FLookupResultField, &TField::SetLookupResultField),
                   prop("Origin", &TField::FOrigin, &TField::SetOrigin),
                   prop("ReadOnly", &TField::FReadOnly, &TField::SetReadOnly).def(false),
                   prop("Required", &TField::FRequired, &TField::SetRequired).def(false),
                   prop("Visible", &TField::FVisible, &TField::SetVisible).def(true),
                   prop("OnChange", &TField::OnChange, &TField::OnChange),
                   prop("OnGetText", &TField::OnGetText, &TField::OnGetText),
                   prop("OnSetText", &TField::OnSetText, &TField::OnSetText),
                   prop("OnValidate", &TField::OnValidate, &TField::OnValidate))
};

using TFieldClass = TClass;
// The field class the framework uses for each type (nullptr for types without one).
TClass DefaultFieldClass(TFieldType Type);

// Strings: ftString, ftFixedChar (FixedChar), Size characters (bytes of UTF-8).
class TStringField : public TField {
    HOST_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* AOwner);
    bool FixedChar() const { return FFixedChar; }
    void SetFixedChar(bool Value);
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool Value) { FTransliterate = Value; }
    std::string Value() const { return GetAsString(); }
    void SetValue(const std::string& Value) { SetAsString(Value); }
    void SetAsString(const std::string& Value) override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsVariant(const Variant& Value) override;
    void SetSize(int Value) override;

protected:
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    int GetDataSize() const override { return Size() + 1; }
    int GetDefaultWidth() const override { return Size(); }

private:
    bool FFixedChar = false;
    bool FTransliterate = true;
    int SizeProp() const { return Size(); }
    HOST_PUBLISHED(prop("FixedChar", &TStringField::FFixedChar, &TStringField::SetFixedChar).def(false),
                   prop("Size", &TStringField::SizeProp, &TStringField::SetSize).def(20),
                   prop("Transliterate", &TStringField::FTransliterate, &TStringField::SetTransliterate).def(true))
};

class TWideStringField : public TStringField {
    HOST_CLASS(TWideStringField, TStringField)
public:
    explicit TWideStringField(TComponent* AOwner);
};

class TGuidField : public TStringField {
    HOST_CLASS(TGuidField, TStringField)
public:
    explicit TGuidField(TComponent* AOwner);
    void SetSize(int Value) override;
    void SetAsString(const std::string& Value) override;

protected:
    int GetDefaultWidth() const override { return 38; }
};

// Numbers: DisplayFormat/EditFormat pictures (FormatFloat), right-aligned.
class TNumericField : public TField {
    HOST_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* AOwner);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    const std::string& EditFormat() const { return FEditFormat; }
    void SetEditFormat(const std::string& Value);
    bool IsValidChar(char InputChar) const override;

private:
    std::string FDisplayFormat, FEditFormat;
    HOST_PUBLISHED(prop("Alignment", &TField::Alignment, &TField::SetAlignment).def(taRightJustify),
                   prop("DisplayFormat", &TNumericField::FDisplayFormat, &TNumericField::SetDisplayFormat),
                   prop("EditFormat", &TNumericField::FEditFormat, &TNumericField::SetEditFormat))
};

// Integers: ftInteger (int32); TSmallintField and TWordField narrow the range,
// TAutoIncField is read-only to the user and set by the engine.
class TIntegerField : public TNumericField {
    HOST_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* AOwner);
    int64_t MaxValue() const { return FMaxValue; }
    void SetMaxValue(int64_t Value) { FMaxValue = Value; }
    int64_t MinValue() const { return FMinValue; }
    void SetMinValue(int64_t Value) { FMinValue = Value; }
    int Value() const { return GetAsInteger(); }
    void SetValue(int Value) { SetAsInteger(Value); }
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;
    bool IsValidChar(char InputChar) const override;

protected:
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
    int GetDataSize() const override;
    int GetDefaultWidth() const override { return 11; }
    // The value of the field as a 64-bit integer; false when Null.
    virtual bool GetValue(int64_t& Value) const;
    virtual void SetValue64(int64_t Value);
    void CheckRange(int64_t Value, int64_t Min, int64_t Max) const;

    int64_t FMinRange, FMaxRange;

private:
    int64_t FMinValue = 0, FMaxValue = 0;
    HOST_PUBLISHED(prop("MaxValue", &TIntegerField::FMaxValue, &TIntegerField::SetMaxValue).def(0),
                   prop("MinValue", &TIntegerField::FMinValue, &TIntegerField::SetMinValue).def(0))
};

class TSmallintField : public TIntegerField {
    HOST_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* AOwner);
protected:
    int GetDefaultWidth() const override { return 6; }
};

class TWordField : public TIntegerField {
    HOST_CLASS(TWordField, TIntegerField)
public:
    explicit TWordField(TComponent* AOwner);
protected:
    int GetDefaultWidth() const override { return 5; }
};

class TAutoIncField : public TIntegerField {
    HOST_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TIntegerField {
    HOST_CLASS(TLargeintField, TIntegerField)
public:
    explicit TLargeintField(TComponent* AOwner);
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t Value);
    void SetAsFloat(double Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    Variant GetAsVariant() const override;
    int GetAsInteger() const override;
    int GetDefaultWidth() const override { return 15; }
};

// Floating point: ftFloat (double), TCurrencyField (money, Currency true).
class TFloatField : public TNumericField {
    HOST_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* AOwner);
    bool IsCurrency() const { return FCurrency; }
    void SetCurrency(bool Value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value) { FMaxValue = Value; }
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value) { FMinValue = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    double Value() const { return GetAsFloat(); }
    void SetValue(double Value) { SetAsFloat(Value); }
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsCurrency(host::Currency Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    host::Currency GetAsCurrency() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
    int GetDataSize() const override { return 8; }
    int GetDefaultWidth() const override { return FPrecision + 2; }

private:
    bool FCurrency = false;
    double FMaxValue = 0, FMinValue = 0;
    int FPrecision = 15;
    HOST_PUBLISHED(prop("Currency", &TFloatField::FCurrency, &TFloatField::SetCurrency).def(false),
                   prop("MaxValue", &TFloatField::FMaxValue, &TFloatField::SetMaxValue).def(0.0),
                   prop("MinValue", &TFloatField::FMinValue, &TFloatField::SetMinValue).def(0.0),
                   prop("Precision", &TFloatField::FPrecision, &TFloatField::SetPrecision).def(15))
};

class TCurrencyField : public TFloatField {
    HOST_CLASS(TCurrencyField, TFloatField)
public:
    explicit TCurrencyField(TComponent* AOwner);
};

// Fixed-point decimals: stored by the engine as a double (precision and scale
// recorded), read as Currency.
class TBCDField : public TNumericField {
    HOST_CLASS(TBCDField, TNumericField)
public:
    explicit TBCDField(TComponent* AOwner);
    bool IsCurrency() const { return FCurrency; }
    void SetCurrency(bool Value);
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    host::Currency MaxValue() const { return FMaxValue; }
    void SetMaxValue(host::Currency Value) { FMaxValue = Value; }
    host::Currency MinValue() const { return FMinValue; }
    void SetMinValue(host::Currency Value) { FMinValue = Value; }
    host::Currency Value() const { return GetAsCurrency(); }
    void SetValue(host::Currency Value) { SetAsCurrency(Value); }
    void SetAsCurrency(host::Currency Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;
    void SetSize(int Value) override;

protected:
    host::Currency GetAsCurrency() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
    int GetDataSize() const override { return 8; }
    int GetDefaultWidth() const override;

private:
    bool FCurrency = false;
    int FPrecision = 0;
    host::Currency FMaxValue, FMinValue;
    int SizeProp() const { return Size(); }
    HOST_PUBLISHED(prop("Currency", &TBCDField::FCurrency, &TBCDField::SetCurrency).def(false),
                   prop("MaxValue", &TBCDField::FMaxValue, &TBCDField::SetMaxValue),
                   prop("MinValue", &TBCDField::FMinValue, &TBCDField::SetMinValue),
                   prop("Precision", &TBCDField::FPrecision, &TBCDField::SetPrecision).def(0),
                   prop("Size", &TBCDField::SizeProp, &TBCDField::SetSize).def(4))
};

// Booleans: uint16 0/1; DisplayValues "True;False" (either part may be empty).
class TBooleanField : public TField {
    HOST_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* AOwner);
    const std::string& DisplayValues() const { return FDisplayValues; }
    void SetDisplayValues(const std::string& Value);
    bool Value() const { return GetAsBoolean(); }
    void SetValue(bool Value) { SetAsBoolean(Value); }
    void SetAsBoolean(bool Value) override;
    void SetAsInteger(int Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    bool GetAsBoolean() const override;
    int GetAsInteger() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    int GetDataSize() const override { return 2; }
    int GetDefaultWidth() const override;

private:
    std::string FDisplayValues;
    std::string FTextValues[2] = {"False", "True"};
    HOST_PUBLISHED(prop("DisplayValues", &TBooleanField::FDisplayValues, &TBooleanField::SetDisplayValues))
};

// Dates and times: TDateTimeField (timestamp), TDateField (date), TTimeField (time).
class TDateTimeField : public TField {
    HOST_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* AOwner);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& Value);
    TDateTime Value() const { return GetAsDateTime(); }
    void SetValue(TDateTime Value) { SetAsDateTime(Value); }
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
    int GetDataSize() const override;
    int GetDefaultWidth() const override { return 18; }

private:
    std::string FDisplayFormat;
    HOST_PUBLISHED(prop("DisplayFormat", &TDateTimeField::FDisplayFormat, &TDateTimeField::SetDisplayFormat))
};

class TDateField : public TDateTimeField {
    HOST_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* AOwner);
protected:
    int GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
    HOST_CLASS(TTimeField, TDateTimeField)
public:
    explicit TTimeField(TComponent* AOwner);
protected:
    int GetDefaultWidth() const override { return 10; }
};

// Binary: TBytesField (Size bytes), TVarBytesField (uint16 length + up to Size bytes).
// As strings they read and write the raw bytes; as variants, arrays of bytes.
class TBinaryField : public TField {
    HOST_CLASS(TBinaryField, TField)
public:
    explicit TBinaryField(TComponent* AOwner);
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;

private:
    int SizeProp() const { return Size(); }
    HOST_PUBLISHED(prop("Size", &TBinaryField::SizeProp, &TBinaryField::SetSize).def(16))
};

class TBytesField : public TBinaryField {
    HOST_CLASS(TBytesField, TBinaryField)
public:
    explicit TBytesField(TComponent* AOwner);
protected:
    int GetDataSize() const override { return Size(); }
};

class TVarBytesField : public TBinaryField {
    HOST_CLASS(TVarBytesField, TBinaryField)
public:
    explicit TVarBytesField(TComponent* AOwner);
protected:
    int GetDataSize() const override { return Size() + 2; }
};

// Blobs: contents through the dataset's CreateBlobStream.
class TBlobField : public TField {
    HOST_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    void Clear() override;
    bool IsBlob() const override { return true; }
    void LoadFromFile(const std::string& FileName);
    void LoadFromStream(TStream* Stream);
    void SaveToFile(const std::string& FileName) const;
    void SaveToStream(TStream* Stream) const;
    TBlobType BlobType() const { return DataType(); }
    void SetBlobType(TBlobType Value);
    // The stored size in bytes.
    int BlobSize() const;
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    bool Transliterate() const { return FTransliterate; }
    void SetTransliterate(bool Value) { FTransliterate = Value; }
    std::string Value() const { return GetAsString(); }
    void SetValue(const std::string& Value) { SetAsString(Value); }
    void SetAsString(const std::string& Value) override;
    void SetAsVariant(const Variant& Value) override;

protected:
    std::string GetAsString() const override;
    Variant GetAsVariant() const override;
    void GetText(std::string& Text, bool DisplayText) const override;
    int GetDefaultWidth() const override { return 10; }

private:
    bool FModified = false;
    bool FTransliterate = true;
    TBlobType BlobTypeProp() const { return DataType(); }
    int SizeProp() const { return Size(); }
    HOST_PUBLISHED(prop("BlobType", &TBlobField::BlobTypeProp, &TBlobField::SetBlobType),
                   prop("Size", &TBlobField::SizeProp, &TBlobField::SetSize).def(0))
};

class TMemoField : public TBlobField {
    HOST_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
    HOST_CLASS(TGraphicField, TBlobField)
public:
    explicit TGraphicField(TComponent* AOwner);
};

// Registers the field classes for streaming (done once, on first use of a dataset).
void RegisterFieldClasses();

// ---------------------------------------------------------------------------
// The field list of a dataset

class TFields : public TObject {
    HOST_CLASS(TFields, TObject)
public:
    explicit TFields(TDataSet* ADataSet);
    ~TFields() override;

    void Add(TField* Field);
    void Remove(TField* Field);
    void Clear();
    int Count() const { return static_cast<int>(FList.size()); }
    // Raises EDatabaseError "Field index out of range".
    TField* Fields(int Index) const;
    TField* operator[](int Index) const { return Fields(Index); }
    // FieldByName raises EDatabaseError "Field '<name>' not found".
    TField* FindField(const std::string& FieldName) const;
    TField* FieldByName(const std::string& FieldName) const;
    TField* FieldByNumber(int FieldNo) const;
    int IndexOf(TField* Field) const;
    void GetFieldNames(TStrings* List) const;
    void CheckFieldName(const std::string& FieldName) const;
    TDataSet* DataSet() const { return FDataSet; }
    void SetFieldIndex(TField* Field, int Value);

private:
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

// ---------------------------------------------------------------------------
// Parameters of queries and stored procedures

class TParam : public TCollectionItem {
    HOST_CLASS(TParam, TCollectionItem)
public:
    explicit TParam(TCollection* ACollection);
    TParam(TParams* AParams, TParamType AParamType);

    void Assign(TPersistent* Source) override;
    // Takes the field's type, name and value.
    void AssignField(TField* Field);
    // Takes the field's value and type, keeping the name.
    void AssignFieldValue(TField* Field, const Variant& Value);
    void Clear();
    // Reads the value in the engine's native layout of DataType (see TField::GetData).
    void GetData(void* Buffer) const;
    // The size of the native value for DataType (strings: length + 1).
    int GetDataSize() const;
    // Sets the value from a native buffer of DataType; Bound becomes true.
    void SetData(const void* Buffer);
    void SetBlobData(const void* Buffer, int Size);
    void LoadFromFile(const std::string& FileName, TBlobType BlobType);
    void LoadFromStream(TStream* Stream, TBlobType BlobType);
    bool IsEqual(const TParam* Value) const;
    std::string DisplayName() const override { return FName.empty() ? TCollectionItem::DisplayName() : FName; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value);
    TParamType ParamType() const { return FParamType; }
    void SetParamType(TParamType Value) { FParamType = Value; }
    bool Bound() const { return FBound; }
    void SetBound(bool Value);
    bool IsNull() const { return VarIsNull(FData) || VarIsEmpty(FData); }
    int Size() const { return FSize; }
    void SetSize(int Value) { FSize = Value; }
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value) { FPrecision = Value; }
    int NumericScale() const { return FNumericScale; }
    void SetNumericScale(int Value) { FNumericScale = Value; }
    TParams* Params() const;

    // Values. A setter sets DataType to its type (AsString: ftString unless the
    // type is ftFixedChar or ftMemo) and Bound; reading converts as a variant does
    // (EConvertError for text that is not a number, date, ...).
    Variant Value() const { return FData; }
    void SetValue(const Variant& Value);
    bool AsBoolean() const;
    void SetAsBoolean(bool Value);
    Currency AsCurrency() const;
    void SetAsCurrency(Currency Value);
    Currency AsBCD() const { return AsCurrency(); }
    void SetAsBCD(Currency Value);
    TDateTime AsDate() const { return AsDateTime(); }
    void SetAsDate(TDateTime Value);
    TDateTime AsTime() const { return AsDateTime(); }
    void SetAsTime(TDateTime Value);
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime Value);
    double AsFloat() const;
    void SetAsFloat(double Value);
    int AsInteger() const;
    void SetAsInteger(int Value);
    int AsSmallInt() const { return AsInteger(); }
    void SetAsSmallInt(int Value);
    int AsWord() const { return AsInteger(); }
    void SetAsWord(int Value);
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t Value);
    std::string AsString() const;
    void SetAsString(const std::string& Value);
    std::string AsMemo() const { return AsString(); }
    void SetAsMemo(const std::string& Value);
    std::string AsBlob() const { return AsString(); }
    void SetAsBlob(const std::string& Value);
    std::string Text() const { return AsString(); }
    // Sets the value from text, keeping DataType (converted when the type is known).
    void SetText(const std::string& Value);

private:
    std::string FName;
    TFieldType FDataType = ftUnknown;
    TParamType FParamType = ptUnknown;
    bool FBound = false;
    int FSize = 0, FPrecision = 0, FNumericScale = 0;
    Variant FData;
    HOST_PUBLISHED(prop("Name", &TParam::FName, &TParam::SetName),
                   prop("DataType", &TParam::FDataType, &TParam::SetDataType).def(ftUnknown),
                   prop("ParamType", &TParam::FParamType, &TParam::SetParamType).def(ptUnknown),
                   prop("Size", &TParam::FSize, &TParam::SetSize).def(0),
                   prop("Precision", &TParam::FPrecision, &TParam::SetPrecision).def(0),
                   prop("NumericScale", &TParam::FNumericScale, &TParam::SetNumericScale).def(0))
};

class TParams : public TCollection {
    HOST_CLASS(TParams, TCollection)
public:
    explicit TParams(TPersistent* AOwner = nullptr);

    void AssignTo(TPersistent* Dest) override;
    void Assign(TPersistent* Source) override;
    // Copies the values of the parameters of Value into the parameters of the same name.
    void AssignValues(TParams* Value);
    void AddParam(TParam* Value);
    void RemoveParam(TParam* Value);
    TParam* CreateParam(TFieldType FldType, const std::string& ParamName, TParamType ParamType);
    TParam* FindParam(const std::string& Value) const;
    // Raises EDatabaseError "Parameter '<name>' not found".
    TParam* ParamByName(const std::string& Value) const;
    // Adds the parameters named in a ';'-separated list to List.
    void GetParamList(std::vector<TParam*>& List, const std::string& ParamNames) const;
    bool IsEqual(const TParams* Value) const;
    TParam* Items(int Index) const;
    TParam* operator[](int Index) const { return Items(Index); }
    // The values of the named parameters (';'-separated): one value, or an array for several.
    Variant ParamValues(const std::string& ParamName) const;
    void SetParamValues(const std::string& ParamName, const Variant& Value);
    TPersistent* Owner() const { return FOwner; }

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

// ---------------------------------------------------------------------------
// Data sources and data links

class TDataSource : public TComponent {
    HOST_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    // Puts the dataset into dsEdit when AutoEdit is on and it is browsing.
    void Edit();
    bool IsLinkedTo(TDataSet* ADataSet) const;
    TDataSet* DataSet() const { return FDataSet; }
    // Raises EDatabaseError "Circular datalinks are not allowed" when the dataset
    // takes its own data from this source.
    void SetDataSet(TDataSet* ADataSet);
    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TDataSetState State() const { return FState; }
    int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
    TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<size_t>(Index)); }

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void AddDataLink(TDataLink* DataLink);
    void RemoveDataLink(TDataLink* DataLink);
    void DataEvent(TDataEvent Event, intptr_t Info);
    void NotifyDataLinks(TDataEvent Event, intptr_t Info);
    void SetState(TDataSetState Value);
    void UpdateState();

    TDataSet* FDataSet = nullptr;
    std::vector<TDataLink*> FDataLinks;
    bool FEnabled = true;
    bool FAutoEdit = true;
    TDataSetState FState = dsInactive;

    HOST_PUBLISHED(prop("AutoEdit", &TDataSource::FAutoEdit, &TDataSource::SetAutoEdit).def(true),
                   prop("DataSet", &TDataSource::FDataSet, &TDataSource::SetDataSet),
                   prop("Enabled", &TDataSource::FEnabled, &TDataSource::SetEnabled).def(true),
                   prop("OnStateChange", &TDataSource::OnStateChange, &TDataSource::OnStateChange),
                   prop("OnDataChange", &TDataSource::OnDataChange, &TDataSource::OnDataChange),
                   prop("OnUpdateData", &TDataSource::OnUpdateData, &TDataSource::OnUpdateData))
};

// The link between a data-aware object and a data source. The dataset tells it
// of changes (DESIGN.md 5.4): Next, Prior and MoveBy → DataSetScrolled;
// First, Last, Locate, searches, bookmarks, Refresh, Post, Cancel, Delete,
// Insert, Append, filter and range changes → DataSetChanged; entering or
// leaving an editing state → EditingChanged; Open and Close → ActiveChanged.
class TDataLink : public TPersistent {
    HOST_CLASS(TDataLink, TPersistent)
public:
    TDataLink();
    ~TDataLink() override;

    // Puts the dataset into dsEdit through the data source (unless ReadOnly);
    // returns Editing.
    bool Edit();
    // Asks the link to write its control's value to the field (UpdateData).
    void UpdateRecord();
    bool ExecuteAction(TObject* Action) { (void)Action; return false; }
    bool UpdateAction(TObject* Action) { (void)Action; return false; }

    bool Active() const { return FActive; }
    // The link's current record within its own window of BufferCount records.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int Value);
    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* ADataSource);
    bool DataSourceFixed() const { return FDataSourceFixed; }
    void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
    TDataSet* DataSet() const;
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // The number of records in the link's window (at most BufferCount).
    int RecordCount() const;

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataEvent(TDataEvent Event, intptr_t Info);
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int Distance) { (void)Distance; DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TFieldRef Field) { (void)Field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field) { (void)Field; }
    virtual void UpdateData() {}
    // The data source the dataset takes its own data from (master links), so that
    // circular links are refused.
    virtual TDataSource* GetDetailDataSource() const { return nullptr; }

private:
    friend class TDataSource;
    friend class TDataSet;
    void SetActive(bool Value);
    void SetEditing(bool Value);
    void UpdateState();
    void UpdateRange();

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    bool FDataSourceFixed = false;
};

// The link of a data-aware control to one field.
class TFieldDataLink : public TDataLink {
    HOST_CLASS(TFieldDataLink, TDataLink)
public:
    TFieldDataLink();
    ~TFieldDataLink() override;

    // Puts the dataset into dsEdit when the field can be modified; returns Editing.
    bool Edit();
    // Marks the control's value as changed, to be written on UpdateRecord.
    void Modified();
    // Discards the control's change: tells the control the field's value again.
    void Reset();

    bool AutoEdit() const { return FAutoEdit; }
    void SetAutoEdit(bool Value) { FAutoEdit = Value; }
    bool CanModify() const;
    TComponent* Control() const { return FControl; }
    void SetControl(TComponent* Value) { FControl = Value; }
    bool Editing() const { return FEditing; }
    TField* Field() const { return FField; }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    bool IsModified() const { return FModified; }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TFieldRef Value) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void SetField(TField* Value);
    void SetEditing(bool Value);
    void UpdateField();

    TField* FField = nullptr;
    std::string FFieldName;
    TComponent* FControl = nullptr;
    bool FEditing = false;
    bool FModified = false;
    bool FAutoEdit = true;
};

// How a field data link focuses its control when a field asks (TField::FocusControl):
// the windowing layer installs a handler that focuses the control and returns true.
std::function<bool(TComponent*)>& FieldLinkFocusHandler();

// The link of a detail dataset to its master: the master's key fields and the
// events on master record changes and on the master closing.
class TMasterDataLink : public TDataLink {
    HOST_CLASS(TMasterDataLink, TDataLink)
public:
    explicit TMasterDataLink(TDataSet* ADataSet);
    ~TMasterDataLink() override;

    const std::string& FieldNames() const { return FFieldNames; }
    void SetFieldNames(const std::string& Value);
    // The master's fields named in FieldNames (empty while inactive).
    const std::vector<TField*>& Fields() const { return FFields; }
    TDataSet* DetailDataSet() const { return FDetailDataSet; }

    TNotifyEvent OnMasterChange;
    TNotifyEvent OnMasterDisable;

protected:
    void ActiveChanged() override;
    void CheckBrowseMode() override;
    TDataSource* GetDetailDataSource() const override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;

private:
    TDataSet* FDetailDataSet;
    std::string FFieldNames;
    std::vector<TField*> FFields;
};

}  // namespace host
