// Field and index definitions, and the parameters of queries and stored procedures.
#include <cmath>
#include <cstring>

#include "host/db/db.h"
#include "host/db/db_internal.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {


// ---------------------------------------------------------------------------
// TFieldDef

TFieldDef::TFieldDef(TCollection* Owner) : TCollectionItem(Owner) { FFieldNo = Index() + 1; }

TFieldDef::TFieldDef(TFieldDefs* Owner, const std::string& Name, TFieldType DataType, int Size, bool Required,
                     int FieldNo)
    : TCollectionItem(Owner), FName(Name), FDataType(DataType), FSize(Size), FFieldNo(FieldNo) {
    if (Required) FAttributes.Include(faRequired);
}

void TFieldDef::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TFieldDef*>(Source)) {
        FName = s->FName;
        FDataType = s->FDataType;
        FSize = s->FSize;
        FPrecision = s->FPrecision;
        FAttributes = s->FAttributes;
        FInternalCalcField = s->FInternalCalcField;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TFieldDef::SetName(const std::string& Value) {
    FName = Value;
    Changed(false);
}

void TFieldDef::SetDataType(TFieldType Value) {
    FDataType = Value;
    Changed(false);
}

void TFieldDef::SetSize(int Value) {
    FSize = Value;
    Changed(false);
}

void TFieldDef::SetRequired(bool Value) {
    if (Value)
        FAttributes.Include(faRequired);
    else
        FAttributes.Exclude(faRequired);
}

TClass TFieldDef::FieldClass() const { return DefaultFieldClass(FDataType); }

TField* TFieldDef::CreateField(TComponent* Owner) {
    TClass cls = FieldClass();
    if (cls == nullptr) DatabaseError(Format("Field '%s' is of an unknown type", {FName}));
    auto* defs = dynamic_cast<TFieldDefs*>(Collection());
    TField* f = cls->Create<TField>(Owner);
    try {
        switch (FDataType) {
        case ftString: case ftWideString: case ftBytes: case ftVarBytes: case ftBCD:
        case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle:
        case ftTypedBinary: case ftOraBlob: case ftOraClob:
            f->SetSize(FSize);
            break;
        case ftFixedChar:
            f->SetSize(FSize);
            static_cast<TStringField*>(f)->SetFixedChar(true);
            break;
        default:
            break;
        }
        if (auto* blob = dynamic_cast<TBlobField*>(f)) blob->SetBlobType(FDataType);
        if (auto* bcd = dynamic_cast<TBCDField*>(f)) bcd->SetPrecision(FPrecision);
        f->SetFieldName(FName);
        f->SetRequired(Required());
        f->SetReadOnly(FAttributes.Contains(faReadonly));
        if (defs != nullptr && defs->DataSet() != nullptr) f->SetDataSet(defs->DataSet());
    } catch (...) {
        delete f;
        throw;
    }
    return f;
}

// ---------------------------------------------------------------------------
// TFieldDefs

TFieldDefs::TFieldDefs(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TFieldDef::StaticClass()), FDataSet(dynamic_cast<TDataSet*>(AOwner)) {}

TFieldDef* TFieldDefs::AddFieldDef() {
    auto* def = static_cast<TFieldDef*>(TCollection::Add());
    def->SetFieldNo(Count());
    return def;
}

void TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
    if (Name.empty()) DatabaseError("Field name missing", FDataSet);
    if (IndexOf(Name) >= 0) DatabaseError(Format("Duplicate field name '%s'", {Name}), FDataSet);
    BeginUpdate();
    TFieldDef* def = AddFieldDef();
    def->SetName(Name);
    def->SetDataType(DataType);
    def->SetSize(Size);
    def->SetRequired(Required);
    EndUpdate();
}

int TFieldDefs::IndexOf(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), Name)) return i;
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
    int i = IndexOf(Name);
    if (i < 0) DatabaseError(Format("Field '%s' not found", {Name}), FDataSet);
    return Items(i);
}

TFieldDef* TFieldDefs::Items(int Index) const { return static_cast<TFieldDef*>(TCollection::Items(Index)); }

void TFieldDefs::Update() {
    if (FUpdated || FDataSet == nullptr) return;
    FDataSet->InitFieldDefs();
    FUpdated = true;
}

void TFieldDefs::Update(TCollectionItem* Item) {
    (void)Item;
    FUpdated = false;
}

void TFieldDefs::GetItemNames(TStrings* List) const {
    for (int i = 0; i < Count(); ++i) List->Add(Items(i)->Name());
}

// ---------------------------------------------------------------------------
// TIndexDef

TIndexDef::TIndexDef(TCollection* Owner) : TCollectionItem(Owner) {}

TIndexDef::TIndexDef(TIndexDefs* Owner, const std::string& Name, const std::string& Fields, TIndexOptions Options)
    : TCollectionItem(Owner), FName(Name), FOptions(Options) {
    if (Options.Contains(ixExpression))
        FExpression = Fields;
    else
        FFields = Fields;
}

void TIndexDef::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TIndexDef*>(Source)) {
        FName = s->FName;
        FFields = s->FFields;
        FExpression = s->FExpression;
        FOptions = s->FOptions;
        FCaseInsFields = s->FCaseInsFields;
        FDescFields = s->FDescFields;
        FSource = s->FSource;
        return;
    }
    TCollectionItem::Assign(Source);
}

std::vector<std::string> TIndexDef::FieldList() const { return detail::SplitNames(FFields); }

// ---------------------------------------------------------------------------
// TIndexDefs

TIndexDefs::TIndexDefs(TDataSet* ADataSet) : TOwnedCollection(ADataSet, TIndexDef::StaticClass()), FDataSet(ADataSet) {}

TIndexDef* TIndexDefs::AddIndexDef() { return static_cast<TIndexDef*>(TCollection::Add()); }

void TIndexDefs::Add(const std::string& Name, const std::string& Fields, TIndexOptions Options) {
    if (IndexOf(Name) >= 0) DatabaseError(Format("Duplicate index name '%s'", {Name}), FDataSet);
    TIndexDef* def = AddIndexDef();
    def->SetName(Name);
    def->SetOptions(Options);
    if (Options.Contains(ixExpression))
        def->SetExpression(Fields);
    else
        def->SetFields(Fields);
}

int TIndexDefs::IndexOf(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), Name)) return i;
    return -1;
}

TIndexDef* TIndexDefs::Find(const std::string& Name) const {
    int i = IndexOf(Name);
    if (i < 0) DatabaseError(Format("Index '%s' not found", {Name}), FDataSet);
    return Items(i);
}

TIndexDef* TIndexDefs::Items(int Index) const { return static_cast<TIndexDef*>(TCollection::Items(Index)); }

TIndexDef* TIndexDefs::GetIndexForFields(const std::string& Fields, bool CaseInsensitive) const {
    std::vector<std::string> wanted = detail::SplitNames(Fields);
    if (wanted.empty()) return nullptr;
    for (int i = 0; i < Count(); ++i) {
        TIndexDef* def = Items(i);
        if (def->Options().Contains(ixExpression)) continue;
        if (CaseInsensitive && !def->Options().Contains(ixCaseInsensitive)) continue;
        std::vector<std::string> have = def->FieldList();
        if (have.size() < wanted.size()) continue;
        bool ok = true;
        for (size_t k = 0; k < wanted.size() && ok; ++k) ok = AnsiSameText(have[k], wanted[k]);
        if (ok) return def;
    }
    return nullptr;
}

TIndexDef* TIndexDefs::FindIndexForFields(const std::string& Fields) const {
    TIndexDef* def = GetIndexForFields(Fields, false);
    if (def == nullptr) DatabaseError(Format("No index for fields '%s'", {Fields}), FDataSet);
    return def;
}

void TIndexDefs::Update() {
    if (FUpdated || FDataSet == nullptr) return;
    FDataSet->UpdateIndexDefs();
    FUpdated = true;
}

void TIndexDefs::GetItemNames(TStrings* List) const {
    for (int i = 0; i < Count(); ++i) List->Add(Items(i)->Name());
}

// ---------------------------------------------------------------------------
// TParam

TParam::TParam(TCollection* ACollection) : TCollectionItem(ACollection) { FData = Null(); }

TParam::TParam(TParams* AParams, TParamType AParamType) : TCollectionItem(AParams), FParamType(AParamType) {
    FData = Null();
}

TParams* TParam::Params() const { return dynamic_cast<TParams*>(Collection()); }

void TParam::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TParam*>(Source)) {
        FName = p->FName;
        FDataType = p->FDataType;
        FParamType = p->FParamType;
        FBound = p->FBound;
        FSize = p->FSize;
        FPrecision = p->FPrecision;
        FNumericScale = p->FNumericScale;
        FData = p->FData;
        return;
    }
    if (auto* f = dynamic_cast<TField*>(Source)) {
        AssignField(f);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TParam::AssignField(TField* Field) {
    if (Field == nullptr) return;
    AssignFieldValue(Field, Field->Value());
    FName = Field->FieldName();
}

void TParam::AssignFieldValue(TField* Field, const Variant& Value) {
    if (Field == nullptr) return;
    TFieldType t = Field->DataType();
    FDataType = t == ftAutoInc ? ftInteger : t;
    FSize = Field->Size();
    FData = (VarIsEmpty(Value) ? Null() : Value);
    FBound = true;
}

void TParam::Clear() { FData = Null(); }

void TParam::SetDataType(TFieldType Value) {
    if (Value == FDataType) return;
    FDataType = Value;
    if (VarIsNull(FData) || VarIsEmpty(FData)) return;
    // Keep the value in the new type when it converts; drop it otherwise.
    try {
        switch (Value) {
        case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftGuid:
            FData = Variant(VarToStr(FData));
            break;
        case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
            FData = Variant(FData.AsInteger());
            break;
        case ftLargeint:
            FData = Variant(FData.AsInt64());
            break;
        case ftBoolean:
            FData = Variant(FData.AsBoolean());
            break;
        case ftFloat:
            FData = Variant(FData.AsDouble());
            break;
        case ftCurrency: case ftBCD:
            FData = Variant(FData.AsCurrency());
            break;
        case ftDate: case ftTime: case ftDateTime:
            FData = VarFromDateTime(FData.AsDateTime());
            break;
        default:
            break;
        }
    } catch (Exception&) {
        FData = Null();
    }
}

void TParam::SetBound(bool Value) {
    FBound = Value;
    if (!Value) FData = Null();
}

void TParam::SetValue(const Variant& Value) {
    if (FDataType == ftUnknown && !VarIsNull(Value) && !VarIsEmpty(Value)) {
        switch (VarType(Value) & varTypeMask) {
        case varSmallint: case varShortInt: case varByte: FDataType = ftSmallint; break;
        case varWord: FDataType = ftWord; break;
        case varInteger: case varLongWord: FDataType = ftInteger; break;
        case varInt64: FDataType = ftLargeint; break;
        case varSingle: case varDouble: FDataType = ftFloat; break;
        case varCurrency: FDataType = ftCurrency; break;
        case varDate: FDataType = ftDateTime; break;
        case varBoolean: FDataType = ftBoolean; break;
        case varString: FDataType = ftString; break;
        default: FDataType = ftUnknown; break;
        }
    }
    FData = VarIsEmpty(Value) ? Null() : Value;
    FBound = true;
}

bool TParam::AsBoolean() const { return IsNull() ? false : FData.AsBoolean(); }
Currency TParam::AsCurrency() const { return IsNull() ? Currency{} : FData.AsCurrency(); }
double TParam::AsFloat() const { return IsNull() ? 0.0 : FData.AsDouble(); }
int TParam::AsInteger() const { return IsNull() ? 0 : FData.AsInteger(); }
int64_t TParam::AsLargeInt() const { return IsNull() ? 0 : FData.AsInt64(); }
std::string TParam::AsString() const { return IsNull() ? std::string() : VarToStr(FData); }

TDateTime TParam::AsDateTime() const {
    if (IsNull()) return 0;
    if (VarIsStr(FData)) {
        std::string s = FData.AsString();
        if (FDataType == ftDate) return StrToDate(s);
        if (FDataType == ftTime) return StrToTime(s);
        return StrToDateTime(s);
    }
    return FData.AsDateTime();
}

void TParam::SetAsBoolean(bool Value) { FDataType = ftBoolean; SetValue(Variant(Value)); }
void TParam::SetAsCurrency(Currency Value) { FDataType = ftCurrency; SetValue(Variant(Value)); }
void TParam::SetAsBCD(Currency Value) { FDataType = ftBCD; SetValue(Variant(Value)); }
void TParam::SetAsDate(TDateTime Value) { FDataType = ftDate; SetValue(VarFromDateTime(Value)); }
void TParam::SetAsTime(TDateTime Value) { FDataType = ftTime; SetValue(VarFromDateTime(Value)); }
void TParam::SetAsDateTime(TDateTime Value) { FDataType = ftDateTime; SetValue(VarFromDateTime(Value)); }
void TParam::SetAsFloat(double Value) { FDataType = ftFloat; SetValue(Variant(Value)); }
void TParam::SetAsInteger(int Value) { FDataType = ftInteger; SetValue(Variant(Value)); }
void TParam::SetAsSmallInt(int Value) { FDataType = ftSmallint; SetValue(Variant(static_cast<int16_t>(Value))); }
void TParam::SetAsWord(int Value) { FDataType = ftWord; SetValue(Variant(static_cast<uint16_t>(Value))); }
void TParam::SetAsLargeInt(int64_t Value) { FDataType = ftLargeint; SetValue(Variant(Value)); }
void TParam::SetAsMemo(const std::string& Value) { FDataType = ftMemo; SetValue(Variant(Value)); }
void TParam::SetAsBlob(const std::string& Value) { FDataType = ftBlob; SetValue(Variant(Value)); }

void TParam::SetAsString(const std::string& Value) {
    if (FDataType != ftFixedChar && FDataType != ftMemo && FDataType != ftWideString) FDataType = ftString;
    SetValue(Variant(Value));
}

void TParam::SetText(const std::string& Value) {
    switch (FDataType) {
    case ftUnknown: case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftGuid:
    case ftBlob:
        if (FDataType == ftUnknown) FDataType = ftString;
        SetValue(Variant(Value));
        break;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
        SetValue(Variant(StrToInt(Value)));
        break;
    case ftLargeint:
        SetValue(Variant(StrToInt64(Value)));
        break;
    case ftBoolean:
        SetValue(Variant(StrToBool(Value)));
        break;
    case ftFloat:
        SetValue(Variant(StrToFloat(Value)));
        break;
    case ftCurrency: case ftBCD:
        SetValue(Variant(StrToCurr(Value)));
        break;
    case ftDate:
        SetValue(VarFromDateTime(StrToDate(Value)));
        break;
    case ftTime:
        SetValue(VarFromDateTime(StrToTime(Value)));
        break;
    case ftDateTime:
        SetValue(VarFromDateTime(StrToDateTime(Value)));
        break;
    default:
        SetValue(Variant(Value));
        break;
    }
}

int TParam::GetDataSize() const {
    switch (FDataType) {
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo:
        return static_cast<int>(AsString().size()) + 1;
    case ftGuid: return 39;
    case ftSmallint: case ftWord: case ftBoolean: return 2;
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: return 4;
    case ftFloat: case ftCurrency: case ftBCD: case ftDateTime: case ftLargeint: return 8;
    case ftBytes: return FSize > 0 ? FSize : static_cast<int>(AsString().size());
    case ftVarBytes: return (FSize > 0 ? FSize : static_cast<int>(AsString().size())) + 2;
    case ftBlob: case ftGraphic: case ftTypedBinary: case ftParadoxOle: case ftDBaseOle: case ftOraBlob:
    case ftOraClob:
        return static_cast<int>(AsString().size());
    default: return 0;
    }
}

void TParam::GetData(void* Buffer) const {
    auto* out = static_cast<uint8_t*>(Buffer);
    switch (FDataType) {
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftGuid: {
        std::string s = AsString();
        std::memcpy(out, s.c_str(), s.size() + 1);
        break;
    }
    case ftSmallint: { int16_t v = static_cast<int16_t>(AsInteger()); std::memcpy(out, &v, 2); break; }
    case ftWord: { uint16_t v = static_cast<uint16_t>(AsInteger()); std::memcpy(out, &v, 2); break; }
    case ftBoolean: { uint16_t v = AsBoolean() ? 1 : 0; std::memcpy(out, &v, 2); break; }
    case ftInteger: case ftAutoInc: { int32_t v = AsInteger(); std::memcpy(out, &v, 4); break; }
    case ftLargeint: { int64_t v = AsLargeInt(); std::memcpy(out, &v, 8); break; }
    case ftFloat: case ftCurrency: case ftBCD: { double v = AsFloat(); std::memcpy(out, &v, 8); break; }
    case ftDate: { int32_t v = DateTimeToNativeDate(AsDateTime()); std::memcpy(out, &v, 4); break; }
    case ftTime: { int32_t v = DateTimeToNativeTime(AsDateTime()); std::memcpy(out, &v, 4); break; }
    case ftDateTime: { double v = DateTimeToNativeTimeStamp(AsDateTime()); std::memcpy(out, &v, 8); break; }
    case ftVarBytes: {
        std::string s = AsString();
        uint16_t len = static_cast<uint16_t>(std::min<size_t>(s.size(), 65535));
        std::memcpy(out, &len, 2);
        std::memcpy(out + 2, s.data(), len);
        break;
    }
    default: {
        std::string s = AsString();
        std::memcpy(out, s.data(), static_cast<size_t>(GetDataSize()) < s.size() ? GetDataSize() : s.size());
        break;
    }
    }
}

void TParam::SetData(const void* Buffer) {
    if (Buffer == nullptr) {
        FData = Null();
        FBound = true;
        return;
    }
    auto* in = static_cast<const uint8_t*>(Buffer);
    switch (FDataType) {
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftGuid:
        SetValue(Variant(std::string(reinterpret_cast<const char*>(in))));
        break;
    case ftSmallint: { int16_t v; std::memcpy(&v, in, 2); SetValue(Variant(v)); break; }
    case ftWord: { uint16_t v; std::memcpy(&v, in, 2); SetValue(Variant(v)); break; }
    case ftBoolean: { uint16_t v; std::memcpy(&v, in, 2); SetValue(Variant(v != 0)); break; }
    case ftInteger: case ftAutoInc: { int32_t v; std::memcpy(&v, in, 4); SetValue(Variant(v)); break; }
    case ftLargeint: { int64_t v; std::memcpy(&v, in, 8); SetValue(Variant(v)); break; }
    case ftFloat: { double v; std::memcpy(&v, in, 8); SetValue(Variant(v)); break; }
    case ftCurrency: case ftBCD: {
        double v;
        std::memcpy(&v, in, 8);
        SetValue(Variant(Currency::FromDouble(v)));
        break;
    }
    case ftDate: { int32_t v; std::memcpy(&v, in, 4); SetValue(VarFromDateTime(NativeDateToDateTime(v))); break; }
    case ftTime: { int32_t v; std::memcpy(&v, in, 4); SetValue(VarFromDateTime(NativeTimeToDateTime(v))); break; }
    case ftDateTime: {
        double v;
        std::memcpy(&v, in, 8);
        SetValue(VarFromDateTime(NativeTimeStampToDateTime(v)));
        break;
    }
    case ftVarBytes: {
        uint16_t len;
        std::memcpy(&len, in, 2);
        if (FSize > 0 && len > FSize) len = static_cast<uint16_t>(FSize);
        SetValue(Variant(std::string(reinterpret_cast<const char*>(in) + 2, len)));
        break;
    }
    case ftBytes:
        SetValue(Variant(std::string(reinterpret_cast<const char*>(in), static_cast<size_t>(std::max(FSize, 0)))));
        break;
    default:
        DatabaseError(Format("Parameter '%s' has no native layout for type %s", {FName, FieldTypeName(FDataType)}));
    }
}

void TParam::SetBlobData(const void* Buffer, int Size) {
    FDataType = ftBlob;
    SetValue(Variant(std::string(static_cast<const char*>(Buffer), static_cast<size_t>(std::max(Size, 0)))));
}

void TParam::LoadFromStream(TStream* Stream, TBlobType BlobType) {
    std::string data(static_cast<size_t>(std::max<int64_t>(Stream->Size() - Stream->Position(), 0)), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    FDataType = BlobType;
    SetValue(Variant(data));
}

void TParam::LoadFromFile(const std::string& FileName, TBlobType BlobType) {
    TFileStream fs(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs, BlobType);
}

bool TParam::IsEqual(const TParam* Value) const {
    if (Value == nullptr) return false;
    if (FName != Value->FName || FDataType != Value->FDataType || FParamType != Value->FParamType ||
        FBound != Value->FBound || IsNull() != Value->IsNull())
        return false;
    if (IsNull()) return true;
    try {
        return FData == Value->FData;
    } catch (EVariantError&) {
        return false;
    }
}

// ---------------------------------------------------------------------------
// TParams

TParams::TParams(TPersistent* AOwner) : TCollection(TParam::StaticClass()), FOwner(AOwner) {}

TParam* TParams::Items(int Index) const { return static_cast<TParam*>(TCollection::Items(Index)); }

void TParams::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TParams*>(Source)) {
        TCollection::Assign(p);
        return;
    }
    TCollection::Assign(Source);
}

void TParams::AssignTo(TPersistent* Dest) {
    if (auto* p = dynamic_cast<TParams*>(Dest)) {
        p->Assign(this);
        return;
    }
    TCollection::AssignTo(Dest);
}

void TParams::AssignValues(TParams* Value) {
    if (Value == nullptr) return;
    for (int i = 0; i < Value->Count(); ++i) {
        TParam* src = Value->Items(i);
        TParam* dst = FindParam(src->Name());
        if (dst == nullptr) continue;
        TParamType keep = dst->ParamType();
        std::string name = dst->Name();
        dst->Assign(src);
        dst->SetParamType(keep);
        dst->SetName(name);
    }
}

void TParams::AddParam(TParam* Value) { Value->SetCollection(this); }
void TParams::RemoveParam(TParam* Value) { Value->SetCollection(nullptr); }

TParam* TParams::CreateParam(TFieldType FldType, const std::string& ParamName, TParamType ParamType) {
    auto* p = static_cast<TParam*>(Add());
    p->SetName(ParamName);
    p->SetDataType(FldType);
    p->SetParamType(ParamType);
    return p;
}

TParam* TParams::FindParam(const std::string& Value) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), Value)) return Items(i);
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& Value) const {
    TParam* p = FindParam(Value);
    if (p == nullptr) DatabaseError(Format("Parameter '%s' not found", {Value}), dynamic_cast<TComponent*>(FOwner));
    return p;
}

void TParams::GetParamList(std::vector<TParam*>& List, const std::string& ParamNames) const {
    for (const std::string& name : detail::SplitNames(ParamNames)) List.push_back(ParamByName(name));
}

bool TParams::IsEqual(const TParams* Value) const {
    if (Value == nullptr || Value->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (!Items(i)->IsEqual(Value->Items(i))) return false;
    return true;
}

Variant TParams::ParamValues(const std::string& ParamName) const {
    std::vector<TParam*> list;
    GetParamList(list, ParamName);
    return detail::ValuesOf(list);
}

void TParams::SetParamValues(const std::string& ParamName, const Variant& Value) {
    std::vector<TParam*> list;
    GetParamList(list, ParamName);
    detail::SetValuesOf(list, Value);
}

}  // namespace host
