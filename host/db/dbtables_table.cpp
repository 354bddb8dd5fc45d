// TTable: a table in the order of its current index, with keys, ranges, a master, and the table's own operations.
#include <algorithm>
#include <cstring>

#include "host/db/dbtables.h"
#include "host/db/dbtables_internal.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace dbtables;

// A key: a record buffer holding the key fields' values, and how to use them.
struct TTable::TKeyBuffer {
    std::vector<uint8_t> Rec;
    bool Modified = false;
    bool Exclusive = false;
    int FieldCount = 0;
};

// Keeps the table's database open while an operation on a closed table runs.
struct TTable::TDbUse {
    TTable* T;
    bool Opened = false;
    explicit TDbUse(TTable* Table) : T(Table) {
        if (T->Database() == nullptr) {
            T->OpenDatabase();
            Opened = true;
        }
    }
    ~TDbUse() {
        if (Opened && T->Database() != nullptr && !T->Active()) T->CloseDatabase(T->Database());
    }
    hDBIDb Db() const { return T->Database()->Handle(); }
    TDbUse(const TDbUse&) = delete;
    TDbUse& operator=(const TDbUse&) = delete;
};

namespace {

const char* TableTypeText(TTableType Type) {
    switch (Type) {
    case ttParadox: return "PARADOX";
    case ttDBase: return "DBASE";
    case ttFoxPro: return "FOXPRO";
    case ttASCII: return "ASCIIDRV";
    default: return "";
    }
}

TTableType TableTypeOf(const std::string& Text) {
    if (SameText(Text, "PARADOX")) return ttParadox;
    if (SameText(Text, "DBASE")) return ttDBase;
    if (SameText(Text, "FOXPRO")) return ttFoxPro;
    if (SameText(Text, "ASCIIDRV") || SameText(Text, "ASCII")) return ttASCII;
    return ttDefault;
}

}  // namespace

TTable::TTable(TComponent* AOwner)
    : TDBDataSet(AOwner), FIndexDefs(std::make_unique<TIndexDefs>(this)), FMasterLink(std::make_unique<TMasterDataLink>(this)) {
    FMasterLink->OnMasterChange = TNotifyEvent(this, &TTable::MasterChanged);
    FMasterLink->OnMasterDisable = TNotifyEvent(this, &TTable::MasterDisabled);
}

TTable::~TTable() {
    try {
        Close();
    } catch (...) {
    }
    FMasterLink->SetDataSource(nullptr);
}

// ---- properties

void TTable::SetTableName(const std::string& Value) {
    if (Value == FTableName) return;
    CheckInactive();
    FTableName = Value;
    FIndexDefs->SetUpdated(false);
    FieldDefs()->SetUpdated(false);
}

void TTable::SetTableType(TTableType Value) {
    CheckInactive();
    FTableType = Value;
}

void TTable::SetExclusive(bool Value) {
    CheckInactive();
    FExclusive = Value;
}

void TTable::SetReadOnly(bool Value) {
    CheckInactive();
    FReadOnly = Value;
}

void TTable::SetIndexName(const std::string& Value) {
    if (Value == FIndexName && FIndexFieldNames.empty()) return;
    if (Active()) CheckBrowseMode();
    FIndexName = Value;
    FIndexFieldNames.clear();
    if (Active()) SwitchToIndex();
}

void TTable::SetIndexFieldNames(const std::string& Value) {
    if (Value == FIndexFieldNames && FIndexName.empty()) return;
    if (Active()) CheckBrowseMode();
    FIndexFieldNames = Value;
    FIndexName.clear();
    if (Active()) SwitchToIndex();
}

std::vector<std::string> TTable::CurrentIndexFieldNames() const { return SplitNames(CursorProps().szIndexFields); }

int TTable::IndexFieldCount() const { return int(FIndexFieldNos.size()); }

TField* TTable::IndexFields(int Index) const {
    if (Index < 0 || Index >= int(FIndexFieldNos.size())) DatabaseError("Field index out of range", const_cast<TTable*>(this));
    return FieldByNumber(FIndexFieldNos[size_t(Index)]);
}

void TTable::SetIndexFields(int Index, TField* Value) {
    std::vector<std::string> names = Active() ? CurrentIndexFieldNames() : SplitNames(FIndexFieldNames);
    if (Index < 0 || Index > int(names.size()) || Value == nullptr) DatabaseError("Field index out of range", this);
    if (Index == int(names.size())) names.push_back(Value->FieldName());
    else names[size_t(Index)] = Value->FieldName();
    std::string list;
    for (const auto& n : names) list += (list.empty() ? "" : ";") + n;
    SetIndexFieldNames(list);
}

bool TTable::GetIsIndexField(const TField* Field) const {
    if (Field == nullptr || Field->FieldNo() <= 0) return false;
    return std::find(FIndexFieldNos.begin(), FIndexFieldNos.end(), uint16_t(Field->FieldNo())) != FIndexFieldNos.end();
}

// ---- opening

hDBICur TTable::CreateHandle() {
    if (Trim(FTableName).empty()) DatabaseError("Missing TableName property", this);
    hDBIDb db = NeedDBHandle();
    hDBICur cur = nullptr;
    const bool readOnly = FReadOnly || (Database() != nullptr && Database()->ReadOnly());
    Check(DbiOpenTable(db, FTableName, FIndexName, FIndexFieldNames, readOnly ? dbiREADONLY : dbiREADWRITE,
                       FExclusive ? dbiOPENEXCL : dbiOPENSHARED, cur));
    CURProps props;
    if (DbiGetCursorProps(cur, props) == DBIERR_NONE && !props.szTableType.empty())
        FTableType = TableTypeOf(props.szTableType);
    return cur;
}

void TTable::InternalOpen() {
    inherited::InternalOpen();
    FKeyBuffers.clear();
    for (int i = 0; i <= int(kiSave); ++i) {
        auto k = std::make_unique<TKeyBuffer>();
        k->Rec.assign(size_t(FullRecBufSize()), 0);
        ClearKeyBuffer(*k);
        FKeyBuffers.push_back(std::move(k));
    }
    FKeyBuffer = nullptr;
    FIndexFieldNos.clear();
    for (const auto& name : CurrentIndexFieldNames())
        if (TField* f = FindField(name); f != nullptr && f->FieldNo() > 0) FIndexFieldNos.push_back(uint16_t(f->FieldNo()));
    CheckMasterRange();
}

void TTable::InternalClose() {
    FKeyBuffers.clear();
    FKeyBuffer = nullptr;
    FIndexFieldNos.clear();
    inherited::InternalClose();
}

void TTable::SwitchToIndex() {
    UpdateCursorPos();
    Check(DbiSwitchToIndex(Handle(), FIndexName, FIndexFieldNames, !IsEmpty()));
    UpdateCursorProps();
    FIndexFieldNos.clear();
    for (const auto& name : CurrentIndexFieldNames())
        if (TField* f = FindField(name); f != nullptr && f->FieldNo() > 0) FIndexFieldNos.push_back(uint16_t(f->FieldNo()));
    // Ranges belong to the old order.
    for (auto& k : FKeyBuffers) ClearKeyBuffer(*k);
    if (FMasterLink->Active() && !FMasterLink->Fields().empty()) {
        CheckMasterRange();
        First();
        return;
    }
    if (IsEmpty()) First();
    else Resync(TResyncMode{});
}

// ---- keys

TTable::TKeyBuffer& TTable::Key(TKeyIndex Index) const {
    if (FKeyBuffers.empty()) DatabaseError("Cannot perform this operation on a closed dataset", const_cast<TTable*>(this));
    return *FKeyBuffers[size_t(Index)];
}

void TTable::ClearKeyBuffer(TKeyBuffer& K) {
    std::fill(K.Rec.begin(), K.Rec.end(), 0);
    if (Handle() != nullptr) Check(DbiInitRecord(Handle(), K.Rec.data()));
    K.Modified = false;
    K.Exclusive = false;
    K.FieldCount = 0;
}

int TTable::KeyFieldCountOf(const TKeyBuffer& K) const {
    const int all = IndexFieldCount();
    return K.FieldCount > 0 ? std::min(K.FieldCount, all) : all;
}

TRecordBuffer TTable::GetKeyRecordBuffer() { return FKeyBuffer != nullptr ? FKeyBuffer->Rec.data() : nullptr; }

void TTable::CheckSetKeyMode() const {
    if (State() != dsSetKey) DatabaseError("Dataset not in edit or insert mode", const_cast<TTable*>(this));
}

void TTable::SetKeyBuffer(TKeyIndex KeyIndex, bool Clear) {
    CheckBrowseMode();
    if (IndexFieldCount() == 0) DatabaseError("No index currently active", this);
    FKeyBuffer = &Key(KeyIndex);
    Key(kiSave) = *FKeyBuffer;
    if (Clear) ClearKeyBuffer(*FKeyBuffer);
    SetState(dsSetKey);
    SetModified(FKeyBuffer->Modified);
    DataEvent(deDataSetChange, 0);
}

void TTable::PostKeyBuffer(bool Commit) {
    DataEvent(deCheckBrowseMode, 0);
    if (Commit) FKeyBuffer->Modified = FKeyBuffer->Modified || Modified();
    else *FKeyBuffer = Key(kiSave);
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
}

void TTable::Post() {
    inherited::Post();
    if (State() == dsSetKey) PostKeyBuffer(true);
}

void TTable::Cancel() {
    inherited::Cancel();
    if (State() == dsSetKey) PostKeyBuffer(false);
}

// Leaves dsSetKey keeping the key, or posts or cancels a pending edit.
void TTable::EndKeyEdit() {
    if (State() == dsSetKey) PostKeyBuffer(true);
    else CheckBrowseMode();
}

void TTable::SetKey() { SetKeyBuffer(kiLookup, true); }
void TTable::EditKey() { SetKeyBuffer(kiLookup, false); }

bool TTable::KeyExclusive() const { return FKeyBuffer != nullptr && FKeyBuffer->Exclusive; }

void TTable::SetKeyExclusive(bool Value) {
    CheckSetKeyMode();
    FKeyBuffer->Exclusive = Value;
}

int TTable::KeyFieldCount() const { return FKeyBuffer != nullptr ? FKeyBuffer->FieldCount : 0; }

void TTable::SetKeyFieldCount(int Value) {
    CheckSetKeyMode();
    if (Value < 0 || Value > IndexFieldCount()) DatabaseError("Field index out of range", this);
    FKeyBuffer->FieldCount = Value;
}

void TTable::SetKeyFields(TKeyIndex KeyIndex, const std::vector<Variant>& Values) {
    if (int(Values.size()) > IndexFieldCount()) DatabaseError("Field index out of range", this);
    TKeyBuffer& k = Key(KeyIndex);
    TKeyBuffer fresh = k;
    std::fill(fresh.Rec.begin(), fresh.Rec.end(), 0);
    Check(DbiInitRecord(Handle(), fresh.Rec.data()));
    // Written into a copy first, so a value of the wrong type leaves the key as it was.
    for (size_t i = 0; i < Values.size(); ++i) PutVariant(fresh.Rec.data(), FIndexFieldNos[i], Values[i]);
    fresh.FieldCount = int(Values.size());
    fresh.Exclusive = false;
    fresh.Modified = true;
    k = std::move(fresh);
}

bool TTable::GotoKey() {
    EndKeyEdit();
    DoBeforeScroll();
    CursorPosChanged();
    TKeyBuffer& k = Key(kiLookup);
    RECProps props;
    const DBIResult rc =
        DbiGetRecordForKey(Handle(), k.Rec.data(), uint16_t(KeyFieldCountOf(k)), PrefetchBuffer(), &props);
    if (rc == DBIERR_RECNOTFOUND) return false;
    Check(rc);
    MarkPrefetched(props.iSeqNum);
    ResyncAtCursor();
    DoAfterScroll();
    return true;
}

void TTable::GotoNearest() {
    EndKeyEdit();
    DoBeforeScroll();
    CursorPosChanged();
    TKeyBuffer& k = Key(kiLookup);
    DBIResult rc = DbiSetToKey(Handle(), k.Exclusive ? keySEARCHGT : keySEARCHGEQ, k.Rec.data(),
                               uint16_t(KeyFieldCountOf(k)));
    if (rc != DBIERR_RECNOTFOUND) Check(rc);
    // Onto the record the key leads to; past the end, the last record.
    rc = rc == DBIERR_NONE ? DbiGetNextRecord(Handle(), nullptr, nullptr) : DBIERR_EOF;
    if (rc == DBIERR_EOF) {
        Check(DbiSetToEnd(Handle()));
        rc = DbiGetPriorRecord(Handle(), nullptr, nullptr);
    }
    if (rc == DBIERR_BOF || rc == DBIERR_EOF) {
        First();
        return;
    }
    Check(rc);
    ResyncAtCursor();
    DoAfterScroll();
}

bool TTable::FindKey(const std::vector<Variant>& KeyValues) {
    EndKeyEdit();
    SetKeyFields(kiLookup, KeyValues);
    return GotoKey();
}

void TTable::FindNearest(const std::vector<Variant>& KeyValues) {
    EndKeyEdit();
    SetKeyFields(kiLookup, KeyValues);
    GotoNearest();
}

bool TTable::LocateByIndex(const std::vector<TField*>& Fields, const Variant& KeyValues, TLocateOptions Options,
                           bool& Found) {
    Found = false;
    const size_t n = Fields.size();
    if (n == 0 || n > FIndexFieldNos.size()) return false;
    bool anyString = false;
    for (size_t i = 0; i < n; ++i) {
        if (Fields[i]->FieldNo() != FIndexFieldNos[i]) return false;
        const FLDDesc* d = FieldDesc(Fields[i]);
        if (d == nullptr || d->iFldType == fldBLOB) return false;
        anyString = anyString || d->iFldType == fldZSTRING;
    }
    if (anyString && Options.Contains(loCaseInsensitive)) return false;
    const bool partial = Options.Contains(loPartialKey) && FieldDesc(Fields[n - 1])->iFldType == fldZSTRING;
    for (size_t i = 0; i < n; ++i) {
        const Variant v = KeyValue(KeyValues, int(i), int(n));
        if (v.IsNull() || v.IsEmpty()) return false;  // Null keys are matched by the walk
    }
    std::vector<uint8_t> key(size_t(FullRecBufSize()), 0), rec(size_t(FullRecBufSize()), 0);
    RECProps props;
    Check(DbiInitRecord(Handle(), key.data()));
    for (size_t i = 0; i < n; ++i) PutVariant(key.data(), FIndexFieldNos[i], KeyValue(KeyValues, int(i), int(n)));
    DBIResult rc;
    if (partial) {
        rc = DbiSetToKey(Handle(), keySEARCHGEQ, key.data(), uint16_t(n));
        if (rc == DBIERR_NONE) rc = DbiGetNextRecord(Handle(), rec.data(), &props);
        if (rc == DBIERR_EOF) rc = DBIERR_RECNOTFOUND;
    } else {
        rc = DbiGetRecordForKey(Handle(), key.data(), uint16_t(n), rec.data(), &props);
    }
    if (rc == DBIERR_RECNOTFOUND) return !partial;  // an exact key that is not there is not there
    Check(rc);
    if (CalcFieldsSize() > 0) GetCalcFields(rec.data());
    Found = WithRecordAsFilterBuffer(rec.data(), [&] { return RecordMatches(Fields, KeyValues, Options); });
    if (Found) {
        std::memcpy(PrefetchBuffer(), rec.data(), size_t(EngineRecBufSize()));
        MarkPrefetched(props.iSeqNum);
    }
    // The index compares differently from Locate (case, prefix): let the walk decide.
    return Found;
}

// ---- ranges

void TTable::SetRangeStart() { SetKeyBuffer(kiRangeStart, true); }
void TTable::SetRangeEnd() { SetKeyBuffer(kiRangeEnd, true); }
void TTable::EditRangeStart() { SetKeyBuffer(kiRangeStart, false); }
void TTable::EditRangeEnd() { SetKeyBuffer(kiRangeEnd, false); }

bool TTable::SetCursorRange() {
    TKeyBuffer& s = Key(kiRangeStart);
    TKeyBuffer& e = Key(kiRangeEnd);
    const uint16_t sf = s.Modified ? uint16_t(KeyFieldCountOf(s)) : 0;
    const uint16_t ef = e.Modified ? uint16_t(KeyFieldCountOf(e)) : 0;
    if (sf == 0 && ef == 0) return ResetCursorRange();
    Check(DbiSetRange(Handle(), sf, sf ? s.Rec.data() : nullptr, !s.Exclusive, ef, ef ? e.Rec.data() : nullptr,
                      !e.Exclusive));
    Key(kiCurRangeStart) = s;
    Key(kiCurRangeEnd) = e;
    return true;
}

bool TTable::ResetCursorRange() {
    if (!Key(kiCurRangeStart).Modified && !Key(kiCurRangeEnd).Modified && !CursorProps().bRanged) {
        CURProps p;
        if (DbiGetCursorProps(Handle(), p) != DBIERR_NONE || !p.bRanged) return false;
    }
    Check(DbiResetRange(Handle()));
    ClearKeyBuffer(Key(kiCurRangeStart));
    ClearKeyBuffer(Key(kiCurRangeEnd));
    return true;
}

void TTable::ApplyRange() {
    EndKeyEdit();
    SetCursorRange();
    First();
}

void TTable::CancelRange() {
    EndKeyEdit();
    ClearKeyBuffer(Key(kiRangeStart));
    ClearKeyBuffer(Key(kiRangeEnd));
    ResetCursorRange();
    First();
}

void TTable::SetRange(const std::vector<Variant>& StartValues, const std::vector<Variant>& EndValues) {
    EndKeyEdit();
    SetKeyFields(kiRangeStart, StartValues);
    SetKeyFields(kiRangeEnd, EndValues);
    ApplyRange();
}

// ---- master and detail

TDataSource* TTable::MasterSource() const { return FMasterLink->DataSource(); }
TDataSource* TTable::GetDataSource() const { return FMasterLink->DataSource(); }

void TTable::SetMasterSource(TDataSource* Value) {
    if (Value != nullptr && IsLinkedTo(Value)) DatabaseError("Circular datalinks are not allowed", this);
    if (TDataSource* old = FMasterLink->DataSource()) old->RemoveFreeNotification(this);
    FMasterLink->SetDataSource(Value);
    if (Value != nullptr) Value->FreeNotification(this);
}

const std::string& TTable::MasterFields() const { return FMasterLink->FieldNames(); }

void TTable::SetMasterFields(const std::string& Value) { FMasterLink->SetFieldNames(Value); }

void TTable::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FMasterLink && AComponent == FMasterLink->DataSource())
        FMasterLink->SetDataSource(nullptr);
}

void TTable::SetLinkRanges(const std::vector<TField*>& MasterFields) {
    if (MasterFields.size() > FIndexFieldNos.size())
        DatabaseError("The current index does not cover the master fields '" + FMasterLink->FieldNames() + "'", this);
    TKeyBuffer& s = Key(kiRangeStart);
    ClearKeyBuffer(s);
    for (size_t i = 0; i < MasterFields.size(); ++i) PutVariant(s.Rec.data(), FIndexFieldNos[i], MasterFields[i]->Value());
    s.FieldCount = int(MasterFields.size());
    s.Modified = true;
    Key(kiRangeEnd) = s;
}

void TTable::CheckMasterRange() {
    if (FMasterLink->Active() && !FMasterLink->Fields().empty()) {
        SetLinkRanges(FMasterLink->Fields());
        SetCursorRange();
    }
}

void TTable::MasterChanged(TObject* Sender) {
    (void)Sender;
    if (!Active()) return;
    CheckBrowseMode();
    SetLinkRanges(FMasterLink->Fields());
    ApplyRange();
}

void TTable::MasterDisabled(TObject* Sender) {
    (void)Sender;
    if (Active()) CancelRange();
}

void TTable::DoOnNewRecord() {
    if (FMasterLink->Active() && !FMasterLink->Fields().empty()) {
        const auto& master = FMasterLink->Fields();
        for (size_t i = 0; i < master.size() && i < FIndexFieldNos.size(); ++i)
            IndexFields(int(i))->AssignValue(master[i]->Value());
    }
    inherited::DoOnNewRecord();
}

void TTable::GetDetailLinkFields(std::vector<TField*>& MasterFieldList, std::vector<TField*>& DetailFieldList) {
    MasterFieldList.clear();
    DetailFieldList.clear();
    if (!FMasterLink->Active()) return;
    MasterFieldList = FMasterLink->Fields();
    for (size_t i = 0; i < MasterFieldList.size() && i < FIndexFieldNos.size(); ++i)
        DetailFieldList.push_back(IndexFields(int(i)));
}

// ---- index definitions and the table's own operations

void TTable::UpdateIndexDefs() {
    std::vector<IDXDesc> list;
    if (Active()) {
        Check(DbiGetIndexDescs(Handle(), list));
    } else {
        if (Trim(FTableName).empty()) DatabaseError("Missing TableName property", this);
        TDbUse use(this);
        Check(DbiGetIndexList(use.Db(), FTableName, list));
    }
    FIndexDefs->Clear();
    for (const IDXDesc& x : list) {
        TIndexOptions opts;
        if (x.bPrimary) opts.Include(ixPrimary);
        if (x.bUnique) opts.Include(ixUnique);
        if (x.bDescending) opts.Include(ixDescending);
        if (x.bCaseInsensitive) opts.Include(ixCaseInsensitive);
        if (x.bExpIdx) opts.Include(ixExpression);
        FIndexDefs->Add(x.szName, x.szKeyFields, opts);
    }
    FIndexDefs->SetUpdated(true);
}

void TTable::GetIndexNames(TStrings* List) {
    FIndexDefs->SetUpdated(false);
    FIndexDefs->Update();
    List->BeginUpdate();
    List->Clear();
    for (int i = 0; i < FIndexDefs->Count(); ++i)
        if (!FIndexDefs->Items(i)->Name().empty()) List->Add(FIndexDefs->Items(i)->Name());
    List->EndUpdate();
}

void TTable::CreateTable() {
    CheckInactive();
    if (Trim(FTableName).empty()) DatabaseError("Missing TableName property", this);
    CRTblDesc d;
    d.szTblName = FTableName;
    d.szTblType = TableTypeText(FTableType);
    if (FieldDefs()->Count() == 0) {
        // Persistent fields describe the table when no definitions were given.
        for (int i = 0; i < FieldCount(); ++i) {
            TField* f = Fields(i);
            if (f->FieldKind() == fkData) FieldDefs()->Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
        }
    }
    if (FieldDefs()->Count() == 0) DatabaseError("No fields defined for table " + FTableName, this);
    for (int i = 0; i < FieldDefs()->Count(); ++i) {
        const TFieldDef* def = FieldDefs()->Items(i);
        d.Fields.push_back(FldDescOf(def->Name(), def->DataType(), def->Size(), def->Precision(), def->Required()));
    }
    for (int i = 0; i < FIndexDefs->Count(); ++i) {
        const TIndexDef* def = FIndexDefs->Items(i);
        if (def->Options().Contains(ixExpression)) DatabaseError("Expression indexes are not supported", this);
        IDXDesc x;
        x.szName = def->Name();
        x.szKeyFields = def->Fields();
        x.bPrimary = def->Options().Contains(ixPrimary);
        x.bUnique = x.bPrimary || def->Options().Contains(ixUnique);
        x.bDescending = def->Options().Contains(ixDescending);
        x.bCaseInsensitive = def->Options().Contains(ixCaseInsensitive);
        d.Indexes.push_back(x);
    }
    TDbUse use(this);
    Check(DbiCreateTable(use.Db(), true, d));
    FIndexDefs->SetUpdated(false);
}

void TTable::DeleteTable() {
    CheckInactive();
    TDbUse use(this);
    Check(DbiDeleteTable(use.Db(), FTableName));
}

void TTable::EmptyTable() {
    if (Active()) {
        CheckBrowseMode();
        Check(DbiEmptyCursorTable(Handle()));
        First();
    } else {
        TDbUse use(this);
        Check(DbiEmptyTable(use.Db(), FTableName));
    }
}

void TTable::RenameTable(const std::string& NewTableName) {
    CheckInactive();
    TDbUse use(this);
    Check(DbiRenameTable(use.Db(), FTableName, NewTableName));
    FTableName = NewTableName;
}

bool TTable::Exists() {
    if (Active()) return true;
    if (Trim(FTableName).empty()) return false;
    TDbUse use(this);
    std::vector<std::string> names;
    Check(DbiGetTableNames(use.Db(), "", false, names));
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, FTableName); });
}

void TTable::AddIndex(const std::string& Name, const std::string& Fields, TIndexOptions Options,
                      const std::string& DescFields) {
    if (Options.Contains(ixExpression)) DatabaseError("Expression indexes are not supported", this);
    IDXDesc x;
    x.szName = Name;
    x.szKeyFields = Fields;
    x.bPrimary = Options.Contains(ixPrimary);
    x.bUnique = x.bPrimary || Options.Contains(ixUnique);
    x.bDescending = Options.Contains(ixDescending) || !DescFields.empty();
    x.bCaseInsensitive = Options.Contains(ixCaseInsensitive);
    TDbUse use(this);
    Check(DbiAddIndex(use.Db(), FTableName, x));
    FIndexDefs->SetUpdated(false);
}

void TTable::DeleteIndex(const std::string& Name) {
    TDbUse use(this);
    Check(DbiDeleteIndex(use.Db(), FTableName, Name));
    FIndexDefs->SetUpdated(false);
}

}  // namespace host
