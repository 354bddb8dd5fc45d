// Datasets on the engine (TBDEDataSet, TDBDataSet, TTable, TQuery, TStoredProc) and connections (TDatabase, TSession, Session, Sessions).
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/db/db.h"
#include "host/db/dbiengine.h"
#include "host/rtl/lists.h"

namespace host {

class TSession;
class TDatabase;
class TDBDataSet;
class TFilterExpr;

HOST_ENUM(TTransIsolation, tiDirtyRead, tiReadCommitted, tiRepeatableRead);
HOST_ENUM(TTableType, ttDefault, ttParadox, ttDBase, ttASCII, ttFoxPro);
HOST_ENUM(TParamBindMode, pbByName, pbByNumber);
HOST_ENUM(TKeyIndex, kiLookup, kiRangeStart, kiRangeEnd, kiCurRangeStart, kiCurRangeEnd, kiSave);

// Where TSession's alias calls look and write: the configuration file's
// aliases (persistent) and the session's own (gone when the session ends).
using TConfigMode = uint16_t;
inline constexpr TConfigMode cmVirtual = 0;
inline constexpr TConfigMode cmPersistent = 1;
inline constexpr TConfigMode cmSession = 2;
inline constexpr TConfigMode cmAll = cmPersistent | cmSession;

using TLoginEvent = TEvent<TDatabase*, TStrings*>;
using TDatabaseNotifyEvent = TEvent<TDatabase*>;
// Asks for a user name and password when a database connects with LoginPrompt
// and no OnLogin handler; the windowing layer installs its dialog here. Returns
// false when the user cancels. Unset: no prompt (the drivers need no password).
using TLoginDialogProc = std::function<bool(const std::string& DatabaseName, std::string& UserName,
                                            std::string& Password)>;
void SetLoginDialogProc(TLoginDialogProc Proc);

// ---------------------------------------------------------------------------
// Datasets

// A dataset over an engine cursor: the record buffers hold the engine's record
// followed by the calculated fields' area and a small record header; filters
// (expression and OnFilterRecord) run in the engine, Locate and Lookup seek
// through an index when the current order fits, and record numbers and counts
// come from the engine's constant-time calls.
class TBDEDataSet : public TDataSet {
    HOST_CLASS(TBDEDataSet, TDataSet)
public:
    explicit TBDEDataSet(TComponent* AOwner);
    ~TBDEDataSet() override;

    // The engine cursor (nullptr while closed).
    hDBICur Handle() const { return FHandle; }
    TLocale Locale() const { return FLocale; }
    // Posts a pending edit and asks the engine to write what it holds.
    void FlushBuffers();
    // Reads the records again from the file, keeping the current record.
    void FetchAll();
    bool CacheBlobs() const { return FCacheBlobs; }
    void SetCacheBlobs(bool Value) { FCacheBlobs = Value; }

    bool GetFieldData(TField* Field, void* Buffer) override;
    void SetFieldData(TField* Field, const void* Buffer) override;
    std::unique_ptr<TStream> CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
    bool GetCurrentRecord(TRecordBuffer Buffer) override;
    bool BookmarkValid(const TBookmark& Bookmark) override;
    int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
    bool Locate(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
    Variant Lookup(const std::string& KeyFields, const Variant& KeyValues, const std::string& ResultFields) override;
    bool IsSequenced() const override;

    // Filtering runs in the engine: the expression (in SQL when it translates)
    // before the OnFilterRecord callback. SetOnFilterRecord takes effect at once;
    // a handler stored straight into OnFilterRecord, when Filtered is next set.
    void SetFiltered(bool Value) override;
    void SetFilterText(const std::string& Value) override;
    void SetFilterOptions(TFilterOptions Value) override;
    void SetOnFilterRecordImpl(const TFilterRecordEvent& Value) override;

    // The engine's field descriptor of a data field (nullptr for others).
    const FLDDesc* FieldDesc(const TField* Field) const;

protected:
    // Opens the engine cursor; the concrete datasets make it.
    virtual hDBICur CreateHandle() = 0;
    virtual void DestroyHandle();
    // The cursor's indexes changed the order or the current index.
    virtual void PrepareCursor() {}

    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& Buffer) override;
    void GetBookmarkData(TRecordBuffer Buffer, void* Data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
    TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
    int GetRecordSize() override;
    int CalcFieldsOffset() override;
    void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
    void InternalCancel() override;
    void InternalClose() override;
    void InternalDelete() override;
    void InternalEdit() override;
    void InternalFirst() override;
    void InternalGotoBookmark(const void* Bookmark) override;
    void InternalInitFieldDefs() override;
    void InternalInitRecord(TRecordBuffer Buffer) override;
    void InternalInsert() override;
    void InternalLast() override;
    void InternalOpen() override;
    void InternalPost() override;
    void InternalRefresh() override;
    void InternalSetToRecord(TRecordBuffer Buffer) override;
    bool IsCursorOpen() const override { return FHandle != nullptr; }
    void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
    void SetBookmarkData(TRecordBuffer Buffer, const void* Data) override;
    int GetRecordCount() override;
    int GetRecNo() override;
    void SetRecNoImpl(int Value) override;
    bool GetCanModify() override;
    bool FindRecord(bool Restart, bool GoForward) override;
    TRecordBuffer GetActiveRecordBuffer() override;
    Variant GetStateFieldValue(TDataSetState AState, TField* Field) override;

    // ---- for descendants
    // Where fields read and write in dsSetKey (TTable's key buffers); nullptr
    // when the dataset has none.
    virtual TRecordBuffer GetKeyRecordBuffer() { return nullptr; }
    // Rebuilds the cursor's filters after the handle was made again.
    void ActivateFilters();
    void DeactivateFilters();
    // The engine descriptors of the cursor's fields, by field number - 1.
    const std::vector<FLDDesc>& FieldDescs() const { return FFieldDescs; }
    // Writes Value into field FieldNo of a record buffer in the engine's
    // layout; raises EConvertError when the value does not fit the type.
    void PutVariant(TRecordBuffer Buffer, int FieldNo, const Variant& Value);
    // Turns the engine's cursor into the dataset's current position and fetches
    // the records around it.
    void ResyncAtCursor();
    // A record just read at the cursor (a key search reads it anyway): the next
    // fetch of the current record takes it instead of asking the file again.
    uint8_t* PrefetchBuffer();
    void MarkPrefetched(int64_t SeqNum);
    // Reads the cursor's properties again (after an index switch).
    void UpdateCursorProps() { Check(DbiGetCursorProps(FHandle, FRecProps)); }
    // The size of a whole record buffer (engine record, calc area, header).
    int FullRecBufSize() const { return FRecBufSize; }
    // The engine record buffer size and the offsets of the parts of a record buffer.
    int EngineRecBufSize() const { return int(FRecProps.iRecBufSize); }
    const CURProps& CursorProps() const { return FRecProps; }
    // Bookmark of a record buffer (its row identifier).
    TBookmark BufferBookmark(TRecordBuffer Buffer) const;
    void SetHandleInternal(hDBICur Value) { FHandle = Value; }
    // Runs Body with the filter buffer standing for Buffer (fields read from it).
    bool WithRecordAsFilterBuffer(TRecordBuffer Buffer, const std::function<bool()>& Body);
    // Locate through the current order's index: true when handled (Found tells the result).
    virtual bool LocateByIndex(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options,
                               bool& Found);
    // Positions the engine cursor on the first record matching the key values
    // (the current order's fields first), without touching the ring.
    bool LocateCursor(const std::string& KeyFields, const Variant& KeyValues, TLocateOptions Options);
    // Field number of each key field in Fields (data fields only).
    void CheckDataFields(const std::vector<TField*>& Fields) const;

private:
    struct TRecInfo;
    TRecInfo* RecInfo(TRecordBuffer Buffer) const;
    static int FilterCallback(uintptr_t ClientData, const uint8_t* RecBuf, int32_t PhyRecNo);
    void AddExprFilter();
    void AddCallbackFilter();
    void DropFilters();
    void RethrowFilterError();
    void FreeBlobs(TRecordBuffer Buffer);

    hDBICur FHandle = nullptr;
    TLocale FLocale = nullptr;
    CURProps FRecProps;
    std::vector<FLDDesc> FFieldDescs;
    int FRecInfoOfs = 0;
    int FBookmarkOfs = 0;
    int FRecBufSize = 0;
    bool FCacheBlobs = true;
    hDBIFilter FExprFilter = nullptr;
    hDBIFilter FFuncFilter = nullptr;
    std::shared_ptr<const TFilterExpr> FExpr;
    std::vector<uint8_t> FFilterRecord;
    std::vector<uint8_t> FOldRecord;
    std::vector<uint8_t> FPrefetch;
    bool FPrefetched = false;
    int64_t FPrefetchSeq = 0;
    std::exception_ptr FFilterError;
};

// A dataset that belongs to a database of a session.
class TDBDataSet : public TBDEDataSet {
    HOST_CLASS(TDBDataSet, TBDEDataSet)
public:
    explicit TDBDataSet(TComponent* AOwner);
    ~TDBDataSet() override;

    // True when this dataset's database is DatabaseName's connection.
    bool CheckOpen(DBIResult Status);
    void CloseDatabase(TDatabase* Database);
    TDatabase* OpenDatabase();

    TDatabase* Database() const { return FDatabase; }
    hDBIDb DBHandle() const;
    TLocale DBLocale() const;
    TSession* DBSession() const;
    const std::string& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const std::string& Value);
    const std::string& SessionName() const { return FSessionName; }
    void SetSessionName(const std::string& Value);

protected:
    void OpenCursor(bool InfoQuery) override;
    void CloseCursor() override;
    void SetDatabaseNameProp(std::string Value) { SetDatabaseName(Value); }
    void SetSessionNameProp(std::string Value) { SetSessionName(Value); }
    // The driver's database handle, opening the database when needed.
    hDBIDb NeedDBHandle();

private:
    friend class TDatabase;
    TDatabase* FDatabase = nullptr;
    std::string FDatabaseName;
    std::string FSessionName;

    HOST_PUBLISHED(prop("DatabaseName", &TDBDataSet::FDatabaseName, &TDBDataSet::SetDatabaseNameProp),
                   prop("SessionName", &TDBDataSet::FSessionName, &TDBDataSet::SetSessionNameProp))
};

// A table of a database, in the order of its current index, with keys,
// ranges and a master.
class TTable : public TDBDataSet {
    HOST_CLASS(TTable, TDBDataSet)
public:
    explicit TTable(TComponent* AOwner);
    ~TTable() override;

    // ---- the table itself
    // Makes the table from FieldDefs and IndexDefs (replacing one of that name).
    void CreateTable();
    void DeleteTable();
    void EmptyTable();
    void RenameTable(const std::string& NewTableName);
    bool Exists();
    void AddIndex(const std::string& Name, const std::string& Fields, TIndexOptions Options,
                  const std::string& DescFields = "");
    void DeleteIndex(const std::string& Name);
    void GetIndexNames(TStrings* List);
    void GetDetailLinkFields(std::vector<TField*>& MasterFields, std::vector<TField*>& DetailFields);

    // ---- keys
    void SetKey();
    void EditKey();
    bool GotoKey();
    void GotoNearest();
    // The values for the first fields of the current index.
    bool FindKey(const std::vector<Variant>& KeyValues);
    void FindNearest(const std::vector<Variant>& KeyValues);
    bool KeyExclusive() const;
    void SetKeyExclusive(bool Value);
    int KeyFieldCount() const;
    void SetKeyFieldCount(int Value);

    // ---- ranges
    void SetRangeStart();
    void SetRangeEnd();
    void EditRangeStart();
    void EditRangeEnd();
    void ApplyRange();
    void CancelRange();
    void SetRange(const std::vector<Variant>& StartValues, const std::vector<Variant>& EndValues);

    // ---- properties
    const std::string& TableName() const { return FTableName; }
    void SetTableName(const std::string& Value);
    TTableType TableType() const { return FTableType; }
    void SetTableType(TTableType Value);
    const std::string& IndexName() const { return FIndexName; }
    void SetIndexName(const std::string& Value);
    const std::string& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& Value);
    int IndexFieldCount() const;
    TField* IndexFields(int Index) const;
    void SetIndexFields(int Index, TField* Value);
    TIndexDefs* IndexDefs() const { return FIndexDefs.get(); }
    bool Exclusive() const { return FExclusive; }
    void SetExclusive(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TUpdateMode UpdateMode() const { return FUpdateMode; }
    void SetUpdateMode(TUpdateMode Value) { FUpdateMode = Value; }
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* Value);
    const std::string& MasterFields() const;
    void SetMasterFields(const std::string& Value);
    bool StoreDefs() const { return FStoreDefs; }
    void SetStoreDefs(bool Value) { FStoreDefs = Value; }

    bool GetIsIndexField(const TField* Field) const override;
    void UpdateIndexDefs() override;
    TDataSource* GetDataSource() const override;
    // In dsSetKey: keep (Post) or drop (Cancel) the key being written.
    void Post() override;
    void Cancel() override;

protected:
    hDBICur CreateHandle() override;
    void InternalOpen() override;
    void InternalClose() override;
    TRecordBuffer GetKeyRecordBuffer() override;
    bool LocateByIndex(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options,
                       bool& Found) override;
    void DoOnNewRecord() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TKeyBuffer;
    struct TDbUse;
    void EndKeyEdit();
    void CheckMasterRange();
    void MasterChanged(TObject* Sender);
    void MasterDisabled(TObject* Sender);
    void SwitchToIndex();
    void SetKeyBuffer(TKeyIndex KeyIndex, bool Clear);
    void PostKeyBuffer(bool Commit);
    bool SetCursorRange();
    bool ResetCursorRange();
    void SetLinkRanges(const std::vector<TField*>& MasterFields);
    void SetKeyFields(TKeyIndex KeyIndex, const std::vector<Variant>& Values);
    void ClearKeyBuffer(TKeyBuffer& Key);
    int KeyFieldCountOf(const TKeyBuffer& Key) const;
    std::vector<std::string> CurrentIndexFieldNames() const;
    void CheckSetKeyMode() const;
    TKeyBuffer& Key(TKeyIndex Index) const;
    bool IndexDefsStored() const { return FStoreDefs; }

    std::string FTableName;
    TTableType FTableType = ttDefault;
    std::string FIndexName;
    std::string FIndexFieldNames;
    bool FExclusive = false;
    bool FReadOnly = false;
    bool FStoreDefs = false;
    TUpdateMode FUpdateMode = upWhereAll;
    std::unique_ptr<TIndexDefs> FIndexDefs;
    std::unique_ptr<TMasterDataLink> FMasterLink;
    std::vector<std::unique_ptr<TKeyBuffer>> FKeyBuffers;
    TKeyBuffer* FKeyBuffer = nullptr;
    TKeyBuffer* FKeySave = nullptr;
    std::vector<uint16_t> FIndexFieldNos;  // field numbers of the current order

    TDataSource* MasterSourceProp() const { return MasterSource(); }
    void SetMasterSourceProp(TDataSource* Value) { SetMasterSource(Value); }
    std::string MasterFieldsProp() const { return MasterFields(); }
    void SetMasterFieldsProp(std::string Value) { SetMasterFields(Value); }
    void SetTableNameProp(std::string Value) { SetTableName(Value); }
    void SetIndexNameProp(std::string Value) { SetIndexName(Value); }
    void SetIndexFieldNamesProp(std::string Value) { SetIndexFieldNames(Value); }
    TIndexDefs* IndexDefsProp() const { return FIndexDefs.get(); }

    HOST_PUBLISHED(prop("Exclusive", &TTable::FExclusive, &TTable::SetExclusive).def(false),
                   prop("IndexDefs", &TTable::IndexDefsProp).stored(&TTable::IndexDefsStored),
                   prop("IndexFieldNames", &TTable::FIndexFieldNames, &TTable::SetIndexFieldNamesProp),
                   prop("IndexName", &TTable::FIndexName, &TTable::SetIndexNameProp),
                   prop("MasterFields", &TTable::MasterFieldsProp, &TTable::SetMasterFieldsProp),
                   prop("MasterSource", &TTable::MasterSourceProp, &TTable::SetMasterSourceProp),
                   prop("ReadOnly", &TTable::FReadOnly, &TTable::SetReadOnly).def(false),
                   prop("StoreDefs", &TTable::FStoreDefs, &TTable::SetStoreDefs).def(false),
                   prop("TableName", &TTable::FTableName, &TTable::SetTableNameProp),
                   prop("TableType", &TTable::FTableType, &TTable::SetTableType).def(ttDefault),
                   prop("UpdateMode", &TTable::FUpdateMode, &TTable::SetUpdateMode).def(upWhereAll))
};

// An SQL statement: rows from Open, other statements through ExecSQL.
class TQuery : public TDBDataSet {
    HOST_CLASS(TQuery, TDBDataSet)
public:
    explicit TQuery(TComponent* AOwner);
    ~TQuery() override;

    void ExecSQL();
    void Prepare();
    void UnPrepare();
    void Unprepare() { UnPrepare(); }
    TParam* ParamByName(const std::string& Value) const;
    // Copies the values of List into Params, in order.
    void SetParamsList(TParams* List);

    TStrings* SQL() const;
    void SetSQL(TStrings* Value);
    // The statement as sent: SQL with its placeholders numbered for SQLite.
    std::string Text() const;
    TParams* Params() const { return FParams.get(); }
    void SetParams(TParams* Value);
    int ParamCount() const;
    bool ParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool Value) { FParamCheck = Value; }
    bool Prepared() const { return FPrepared; }
    void SetPrepared(bool Value);
    bool RequestLive() const { return FRequestLive; }
    void SetRequestLive(bool Value);
    bool Local() const;
    bool UniDirectional() const { return FUniDirectional; }
    void SetUniDirectional(bool Value);
    int RowsAffected() const { return FRowsAffected; }
    bool Constrained() const { return FConstrained; }
    void SetConstrained(bool Value) { FConstrained = Value; }
    TUpdateMode UpdateMode() const { return FUpdateMode; }
    void SetUpdateMode(TUpdateMode Value) { FUpdateMode = Value; }
    // The live result's CanModify: true when the engine gave a live cursor.
    bool CanModifyResult() const { return FLive; }
    void SetDataSource(TDataSource* Value);
    TDataSource* GetDataSource() const override;

    TParams* PSGetParams() override { return FParams.get(); }
    void PSSetParams(TParams* AParams) override;

protected:
    hDBICur CreateHandle() override;
    bool GetCanModify() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    void QueryChanged(TObject* Sender);
    void RefreshParams(TObject* Sender);
    std::vector<DBIValue> ParamValues();
    hDBICur Execute(bool WantRows, int64_t& Rows);

    std::unique_ptr<TStringList> FSQL;
    std::unique_ptr<TParams> FParams;
    std::unique_ptr<TDataLink> FDataLink;
    std::string FText;
    bool FParamCheck = true;
    bool FPrepared = false;
    bool FRequestLive = false;
    bool FUniDirectional = false;
    bool FConstrained = false;
    bool FLive = false;
    int FRowsAffected = -1;
    TUpdateMode FUpdateMode = upWhereAll;

    TStrings* SQLProp() const { return SQL(); }
    TDataSource* DataSourceProp() const { return GetDataSource(); }
    TParams* ParamsProp() const { return FParams.get(); }

    HOST_PUBLISHED(prop("Constrained", &TQuery::FConstrained, &TQuery::SetConstrained).def(false),
                   prop("DataSource", &TQuery::DataSourceProp, &TQuery::SetDataSource),
                   prop("ParamCheck", &TQuery::FParamCheck, &TQuery::SetParamCheck).def(true),
                   prop("RequestLive", &TQuery::FRequestLive, &TQuery::SetRequestLive).def(false),
                   prop("SQL", &TQuery::SQLProp),
                   prop("Params", &TQuery::ParamsProp),
                   prop("UniDirectional", &TQuery::FUniDirectional, &TQuery::SetUniDirectional).def(false),
                   prop("UpdateMode", &TQuery::FUpdateMode, &TQuery::SetUpdateMode).def(upWhereAll))
};

// A stored procedure of an SQL database: parameters in every direction, and
// rows when its statement returns them.
class TStoredProc : public TDBDataSet {
    HOST_CLASS(TStoredProc, TDBDataSet)
public:
    explicit TStoredProc(TComponent* AOwner);
    ~TStoredProc() override;

    void ExecProc();
    void Prepare();
    void UnPrepare();
    TParam* ParamByName(const std::string& Value) const;
    void SetParamsList(TParams* List);
    // Copies the parameter definitions and values into Value.
    void CopyParams(TParams* Value);
    // Takes the parameter list from the procedure's description in the database.
    void RefreshParams();
    // Fills Params from the description unless they are defined already.
    bool DescriptionsAvailable();
    void GetResults() {}

    const std::string& StoredProcName() const { return FProcName; }
    void SetStoredProcName(const std::string& Value);
    uint16_t Overload() const { return FOverload; }
    void SetOverload(uint16_t Value);
    TParams* Params() const { return FParams.get(); }
    void SetParams(TParams* Value);
    int ParamCount() const;
    TParamBindMode ParamBindMode() const { return FBindMode; }
    void SetParamBindMode(TParamBindMode Value) { FBindMode = Value; }
    bool Prepared() const { return FPrepared; }
    void SetPrepared(bool Value);

    TParams* PSGetParams() override { return FParams.get(); }
    void PSSetParams(TParams* AParams) override;

protected:
    hDBICur CreateHandle() override;
    bool GetCanModify() override { return false; }

private:
    hDBICur Run(bool WantRows);
    void SetOverloadProp(int Value) { SetOverload(static_cast<uint16_t>(Value)); }
    int OverloadProp() const { return FOverload; }

    std::string FProcName;
    uint16_t FOverload = 0;
    std::unique_ptr<TParams> FParams;
    TParamBindMode FBindMode = pbByName;
    bool FPrepared = false;
    SPDesc FDesc;
    bool FHaveDesc = false;

    TParams* ParamsProp() const { return FParams.get(); }
    void SetStoredProcNameProp(std::string Value) { SetStoredProcName(Value); }

    HOST_PUBLISHED(prop("StoredProcName", &TStoredProc::FProcName, &TStoredProc::SetStoredProcNameProp),
                   prop("Overload", &TStoredProc::OverloadProp, &TStoredProc::SetOverloadProp).def(0),
                   prop("Params", &TStoredProc::ParamsProp),
                   prop("ParamBindMode", &TStoredProc::FBindMode, &TStoredProc::SetParamBindMode).def(pbByName))
};

// ---------------------------------------------------------------------------
// Connections

// A connection to one database: an alias of the configuration file, or a
// driver with parameters.
class TDatabase : public TComponent {
    HOST_CLASS(TDatabase, TComponent)
public:
    explicit TDatabase(TComponent* AOwner);
    ~TDatabase() override;

    void Open();
    void Close();
    void CloseDataSets();
    void StartTransaction();
    void Commit();
    void Rollback();
    // Runs a statement that returns no rows; the number of rows it changed.
    int Execute(const std::string& SQL, TParams* Params = nullptr);
    void ValidateName(const std::string& Name);
    void FlushSchemaCache(const std::string& TableName) { (void)TableName; }
    void ApplyUpdates(const std::vector<TDBDataSet*>& DataSets) { (void)DataSets; }

    hDBIDb Handle() const { return FHandle; }
    TLocale Locale() const { return nullptr; }
    bool Connected() const { return FHandle != nullptr; }
    void SetConnected(bool Value);
    const std::string& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const std::string& Value);
    const std::string& AliasName() const { return FAliasName; }
    void SetAliasName(const std::string& Value);
    const std::string& DriverName() const;
    void SetDriverName(const std::string& Value);
    TStrings* Params() const;
    void SetParams(TStrings* Value);
    bool KeepConnection() const { return FKeepConnection; }
    void SetKeepConnection(bool Value);
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
    bool Temporary() const { return FTemporary; }
    void SetTemporary(bool Value) { FTemporary = Value; }
    TTransIsolation TransIsolation() const { return FTransIsolation; }
    void SetTransIsolation(TTransIsolation Value);
    bool InTransaction() const;
    bool IsSQLBased() const;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Exclusive() const { return FExclusive; }
    void SetExclusive(bool Value) { FExclusive = Value; }
    // The directory of a local database's tables.
    std::string Directory() const;
    void SetDirectory(const std::string& Value);
    TSession* Session() const { return FSession; }
    const std::string& SessionName() const { return FSessionName; }
    void SetSessionName(const std::string& Value);
    int DataSetCount() const { return int(FDataSets.size()); }
    TDBDataSet* DataSets(int Index) const;

    TLoginEvent OnLogin;
    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    void Loaded() override;

private:
    friend class TDBDataSet;
    friend class TSession;
    void CheckActive() const;
    void CheckInactive() const;
    void CheckDatabaseName() const;
    void Login(std::string& Driver, TDbiParams& Params);
    void ResolveConnection(std::string& Driver, TDbiParams& Params) const;
    void AddDataSet(TDBDataSet* DataSet);
    void RemoveDataSet(TDBDataSet* DataSet);
    void AttachSession();

    hDBIDb FHandle = nullptr;
    hDBIXact FXact = nullptr;
    std::string FDatabaseName;
    std::string FAliasName;
    std::string FDriverName;
    std::unique_ptr<TStringList> FParams;
    bool FKeepConnection = true;
    bool FLoginPrompt = true;
    bool FTemporary = false;
    bool FReadOnly = false;
    bool FExclusive = false;
    bool FStreamedConnected = false;
    bool FSQLBased = false;
    TTransIsolation FTransIsolation = tiReadCommitted;
    TSession* FSession = nullptr;
    std::string FSessionName;
    std::vector<TDBDataSet*> FDataSets;
    int FRefCount = 0;

    bool ConnectedProp() const { return Connected(); }
    std::string DriverNameProp() const { return FDriverName; }
    void SetDriverNameProp(std::string Value) { SetDriverName(Value); }
    void SetAliasNameProp(std::string Value) { SetAliasName(Value); }
    void SetDatabaseNameProp(std::string Value) { SetDatabaseName(Value); }
    void SetSessionNameProp(std::string Value) { SetSessionName(Value); }
    TStrings* ParamsProp() const { return Params(); }

    HOST_PUBLISHED(prop("AliasName", &TDatabase::FAliasName, &TDatabase::SetAliasNameProp),
                   prop("Connected", &TDatabase::ConnectedProp, &TDatabase::SetConnected).def(false),
                   prop("DatabaseName", &TDatabase::FDatabaseName, &TDatabase::SetDatabaseNameProp),
                   prop("DriverName", &TDatabase::DriverNameProp, &TDatabase::SetDriverNameProp),
                   prop("Exclusive", &TDatabase::FExclusive, &TDatabase::SetExclusive).def(false),
                   prop("KeepConnection", &TDatabase::FKeepConnection, &TDatabase::SetKeepConnection).def(true),
                   prop("LoginPrompt", &TDatabase::FLoginPrompt, &TDatabase::SetLoginPrompt).def(true),
                   prop("Params", &TDatabase::ParamsProp),
                   prop("ReadOnly", &TDatabase::FReadOnly, &TDatabase::SetReadOnly).def(false),
                   prop("SessionName", &TDatabase::FSessionName, &TDatabase::SetSessionNameProp),
                   prop("TransIsolation", &TDatabase::FTransIsolation, &TDatabase::SetTransIsolation)
                       .def(tiReadCommitted),
                   prop("OnLogin", &TDatabase::OnLogin, &TDatabase::OnLogin),
                   prop("AfterConnect", &TDatabase::AfterConnect, &TDatabase::AfterConnect),
                   prop("AfterDisconnect", &TDatabase::AfterDisconnect, &TDatabase::AfterDisconnect),
                   prop("BeforeConnect", &TDatabase::BeforeConnect, &TDatabase::BeforeConnect),
                   prop("BeforeDisconnect", &TDatabase::BeforeDisconnect, &TDatabase::BeforeDisconnect))
};

// A session: the databases it opened, aliases, and the engine's lists.
class TSession : public TComponent {
    HOST_CLASS(TSession, TComponent)
public:
    explicit TSession(TComponent* AOwner);
    ~TSession() override;

    void Open();
    void Close();
    bool Active() const { return FHandle != nullptr; }
    void SetActive(bool Value);

    // ---- aliases and drivers
    void AddAlias(const std::string& Name, const std::string& Driver, TStrings* List);
    void AddStandardAlias(const std::string& Name, const std::string& Path, const std::string& DefaultDriver);
    void DeleteAlias(const std::string& Name);
    void ModifyAlias(const std::string& Name, TStrings* List);
    void SaveConfigFile();
    bool IsAlias(const std::string& Name);
    void GetAliasNames(TStrings* List);
    void GetAliasParams(const std::string& AliasName, TStrings* List);
    std::string GetAliasDriverName(const std::string& AliasName);
    void GetDriverNames(TStrings* List);
    void GetDriverParams(const std::string& DriverName, TStrings* List);

    // ---- databases and their objects
    // Aliases and the names of this session's TDatabase components, sorted.
    void GetDatabaseNames(TStrings* List);
    void GetTableNames(const std::string& DatabaseName, const std::string& Pattern, bool Extensions,
                       bool SystemTables, TStrings* List);
    void GetStoredProcNames(const std::string& DatabaseName, TStrings* List);
    // The connection named DatabaseName (a TDatabase of this session, or a
    // temporary one made for an alias, directory or database file), connected.
    TDatabase* OpenDatabase(const std::string& DatabaseName);
    // Lets go of one use of the database; a temporary one without
    // KeepConnections is closed and freed when its last use goes.
    void CloseDatabase(TDatabase* Database);
    TDatabase* FindDatabase(const std::string& DatabaseName) const;
    void DropConnections();

    int DatabaseCount() const { return int(FDatabases.size()); }
    TDatabase* Databases(int Index) const;
    hDBISes Handle();
    bool KeepConnections() const { return FKeepConnections; }
    void SetKeepConnections(bool Value);
    const std::string& NetFileDir() const { return FNetFileDir; }
    void SetNetFileDir(const std::string& Value);
    const std::string& PrivateDir() const { return FPrivateDir; }
    void SetPrivateDir(const std::string& Value);
    const std::string& SessionName() const { return FSessionName; }
    void SetSessionName(const std::string& Value);
    TConfigMode ConfigMode() const { return FConfigMode; }
    void SetConfigMode(TConfigMode Value) { FConfigMode = Value; }
    bool AutoSessionName() const { return FAutoSessionName; }
    void SetAutoSessionName(bool Value);

    TNotifyEvent OnStartup;

private:
    friend class TDatabase;
    struct TSessionAlias {
        std::string Name, Driver;
        TDbiParams Params;
    };
    void AddDatabase(TDatabase* Database);
    void RemoveDatabase(TDatabase* Database);
    TSessionAlias* FindSessionAlias(const std::string& Name);
    TDatabase* DoOpenDatabase(const std::string& DatabaseName, TComponent* AOwner);
    void CheckConfigMode(TConfigMode Mode) const;

    hDBISes FHandle = nullptr;
    std::vector<TDatabase*> FDatabases;
    std::vector<TSessionAlias> FSessionAliases;
    bool FKeepConnections = true;
    bool FAutoSessionName = false;
    std::string FNetFileDir;
    std::string FPrivateDir;
    std::string FSessionName;
    TConfigMode FConfigMode = cmAll;

    bool ActiveProp() const { return Active(); }
    void SetNetFileDirProp(std::string Value) { SetNetFileDir(Value); }
    void SetPrivateDirProp(std::string Value) { SetPrivateDir(Value); }
    void SetSessionNameProp(std::string Value) { SetSessionName(Value); }

    HOST_PUBLISHED(prop("Active", &TSession::ActiveProp, &TSession::SetActive).def(false),
                   prop("AutoSessionName", &TSession::FAutoSessionName, &TSession::SetAutoSessionName).def(false),
                   prop("KeepConnections", &TSession::FKeepConnections, &TSession::SetKeepConnections).def(true),
                   prop("NetFileDir", &TSession::FNetFileDir, &TSession::SetNetFileDirProp),
                   prop("PrivateDir", &TSession::FPrivateDir, &TSession::SetPrivateDirProp),
                   prop("SessionName", &TSession::FSessionName, &TSession::SetSessionNameProp),
                   prop("OnStartup", &TSession::OnStartup, &TSession::OnStartup))
};

TSession* DefaultSession();

// Every session of the process; the first is the default session "Default".
class TSessionList : public TObject {
    HOST_CLASS(TSessionList, TObject)
public:
    TSessionList();
    ~TSessionList() override;

    int Count() const { return int(FSessions.size()); }
    TSession* Sessions(int Index) const;
    TSession* operator[](int Index) const { return Sessions(Index); }
    // The session of that name ("" = the default session), or nullptr.
    TSession* FindSession(const std::string& SessionName) const;
    void GetSessionNames(TStrings* List) const;
    // The session of that name, made (and opened) when there is none.
    TSession* OpenSession(const std::string& SessionName);
    TSession* CurrentSession() const { return FCurrent; }
    void SetCurrentSession(TSession* Value) { FCurrent = Value; }

private:
    friend class TSession;
    friend TSession* DefaultSession();
    void Add(TSession* Session);
    void Remove(TSession* Session);
    std::vector<TSession*> FSessions;
    TSession* FCurrent = nullptr;
};

// The default session and the session list, made on first use:
// `Session->GetAliasNames(List)`, `Sessions->Count()`.
template <class T>
class TGlobalRef {
public:
    using TGetter = T* (*)();
    constexpr explicit TGlobalRef(TGetter Get) : FGet(Get) {}
    T* operator->() const { return FGet(); }
    T& operator*() const { return *FGet(); }
    operator T*() const { return FGet(); }

private:
    TGetter FGet;
};
TSession* DefaultSession();
TSessionList* SessionList();
inline constexpr TGlobalRef<TSession> Session{&DefaultSession};
inline constexpr TGlobalRef<TSessionList> Sessions{&SessionList};

}  // namespace host
