// TField and its descendants: values, native buffers, conversions, display texts, lookups and blobs.
#include <cmath>
#include <cstring>
#include <limits>

#include "host/db/db.h"
#include "host/rtl/lists.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
const TDataSetStates kNoChangeEventStates{dsCalcFields, dsFilter, dsNewValue, dsInternalCalc};

bool IsDateType(TFieldType t) { return t == ftDate || t == ftTime || t == ftDateTime; }

// Converts a date/time field's native value to a TDateTime and back.
TDateTime NativeToDateTime(TFieldType Type, const uint8_t* Data) {
    if (Type == ftDate) {
        int32_t d;
        std::memcpy(&d, Data, 4);
        return NativeDateToDateTime(d);
    }
    if (Type == ftTime) {
        int32_t t;
        std::memcpy(&t, Data, 4);
        return NativeTimeToDateTime(t);
    }
    double ts;
    std::memcpy(&ts, Data, 8);
    return NativeTimeStampToDateTime(ts);
}

void DateTimeToNative(TFieldType Type, TDateTime Value, uint8_t* Data) {
    if (Type == ftDate) {
        int32_t d = DateTimeToNativeDate(Value);
        std::memcpy(Data, &d, 4);
    } else if (Type == ftTime) {
        int32_t t = DateTimeToNativeTime(Value);
        std::memcpy(Data, &t, 4);
    } else {
        double ts = DateTimeToNativeTimeStamp(Value);
        std::memcpy(Data, &ts, 8);
    }
}

// The longest prefix of S of at most Max bytes that does not cut a UTF-8 sequence.
std::string Utf8Prefix(const std::string& S, size_t Max) {
    if (S.size() <= Max) return S;
    size_t n = Max;
    while (n > 0 && (static_cast<unsigned char>(S[n]) & 0xC0) == 0x80) --n;
    return S.substr(0, n);
}
}  // namespace

// ---------------------------------------------------------------------------
// Names and native conversions

const char* FieldTypeName(TFieldType Type) {
    static const char* const names[] = {
        "Unknown", "String",    "SmallInt",   "Integer",   "Word",      "Boolean",     "Float",    "Currency",
        "BCD",     "Date",      "Time",       "DateTime",  "Bytes",     "VarBytes",    "AutoInc",  "Blob",
        "Memo",    "Graphic",   "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",   "FixedChar",
        "WideString", "Largeint", "ADT",      "Array",     "Reference", "DataSet",     "OraBlob",  "OraClob",
        "Variant", "Interface", "IDispatch",  "Guid"};
    int i = static_cast<int>(Type);
    if (i < 0 || i >= static_cast<int>(sizeof names / sizeof names[0])) return "Unknown";
    return names[i];
}

int32_t DateTimeToNativeDate(TDateTime Value) {
    return static_cast<int32_t>(std::trunc(Value)) + DateDelta;
}

int32_t DateTimeToNativeTime(TDateTime Value) {
    double frac = std::fabs(Value - std::trunc(Value));
    int64_t ms = std::llround(frac * MSecsPerDay);
    if (ms >= MSecsPerDay) ms = MSecsPerDay - 1;
    return static_cast<int32_t>(ms);
}

double DateTimeToNativeTimeStamp(TDateTime Value) {
    double days = std::trunc(Value) + DateDelta;
    double frac = std::fabs(Value - std::trunc(Value));
    double ms = std::round(frac * MSecsPerDay);
    if (ms >= MSecsPerDay) ms = MSecsPerDay - 1;
    return days * MSecsPerDay + ms;
}

TDateTime NativeDateToDateTime(int32_t Value) { return static_cast<double>(Value) - DateDelta; }

TDateTime NativeTimeToDateTime(int32_t Value) { return static_cast<double>(Value) / MSecsPerDay; }

TDateTime NativeTimeStampToDateTime(double Value) {
    double days = std::floor(Value / MSecsPerDay);
    double ms = Value - days * MSecsPerDay;
    double date = days - DateDelta;
    double time = ms / MSecsPerDay;
    // Before 1899-12-30 the time of day is still counted forward from midnight.
    return date >= 0 ? date + time : date - time;
}

// ---------------------------------------------------------------------------
// Field classes

TClass DefaultFieldClass(TFieldType Type) {
    switch (Type) {
    case ftString: case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftMemo: case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftBlob: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary: case ftOraBlob:
        return TBlobField::StaticClass();
    default: return nullptr;
    }
}

void RegisterFieldClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TStringField::StaticClass(), TWideStringField::StaticClass(), TGuidField::StaticClass(),
                     TSmallintField::StaticClass(), TIntegerField::StaticClass(), TWordField::StaticClass(),
                     TAutoIncField::StaticClass(), TLargeintField::StaticClass(), TBooleanField::StaticClass(),
                     TFloatField::StaticClass(), TCurrencyField::StaticClass(), TBCDField::StaticClass(),
                     TDateField::StaticClass(), TTimeField::StaticClass(), TDateTimeField::StaticClass(),
                     TBytesField::StaticClass(), TVarBytesField::StaticClass(), TBlobField::StaticClass(),
                     TMemoField::StaticClass(), TGraphicField::StaticClass(), TDataSource::StaticClass()});
}

// ---------------------------------------------------------------------------
// TLookupList

TLookupList::TLookupList() = default;
TLookupList::~TLookupList() = default;

void TLookupList::Add(const Variant& AKey, const Variant& AValue) { FItems.emplace_back(AKey, AValue); }
void TLookupList::Clear() { FItems.clear(); }

Variant TLookupList::ValueOfKey(const Variant& AKey) const {
    if (VarIsNull(AKey) || VarIsEmpty(AKey)) return Null();
    for (const auto& item : FItems) {
        try {
            if (VarIsArray(AKey) || VarIsArray(item.first)) {
                if (!VarIsArray(AKey) || !VarIsArray(item.first)) continue;
                int lo = VarArrayLowBound(AKey, 1), hi = VarArrayHighBound(AKey, 1);
                if (VarArrayHighBound(item.first, 1) != hi) continue;
                bool same = true;
                for (int i = lo; i <= hi && same; ++i) same = AKey[i] == item.first[i];
                if (same) return item.second;
            } else if (item.first == AKey) {
                return item.second;
            }
        } catch (EVariantError&) {
        }
    }
    return Null();
}

// ---------------------------------------------------------------------------
// TField

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
    if (FDataSet != nullptr) {
        TDataSet* ds = FDataSet;
        if (ds->Active() && !ds->ComponentState().Contains(csDestroying)) {
            try {
                ds->Close();
            } catch (Exception&) {
            }
        }
        ds->RemoveField(this);
        FDataSet = nullptr;
    }
}

void TField::CheckInactive() const {
    if (FDataSet != nullptr && FDataSet->Active())
        DatabaseError("Cannot perform this operation on an open dataset", FDataSet);
}

void TField::SetDataSet(TDataSet* ADataSet) {
    if (ADataSet == FDataSet) return;
    if (FDataSet != nullptr) FDataSet->CheckInactive();
    if (ADataSet != nullptr) {
        ADataSet->CheckInactive();
        if (!FFieldName.empty() && ADataSet->FindField(FFieldName) != nullptr)
            DatabaseError(Format("Duplicate field name '%s'", {FFieldName}), ADataSet);
    }
    if (FDataSet != nullptr) FDataSet->RemoveField(this);
    FDataSet = ADataSet;
    if (ADataSet != nullptr) ADataSet->AddField(this);
}

TComponent* TField::GetParentComponent() const { return FDataSet; }

void TField::SetParentComponent(TComponent* Value) {
    if (ComponentState().Contains(csLoading) && Value == nullptr) return;
    if (Value == nullptr) {
        SetDataSet(nullptr);
        return;
    }
    if (auto* ds = dynamic_cast<TDataSet*>(Value)) SetDataSet(ds);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::SetFieldName(const std::string& Value) {
    if (Value == FFieldName) return;
    CheckInactive();
    if (FDataSet != nullptr && !Value.empty()) {
        TField* other = FDataSet->FindField(Value);
        if (other != nullptr && other != this)
            DatabaseError(Format("Duplicate field name '%s'", {Value}), FDataSet);
    }
    FFieldName = Value;
    if (FDisplayLabel == Value) FDisplayLabel.clear();
    PropertyChanged(true);
}

void TField::SetFieldKind(TFieldKind Value) {
    if (Value == FFieldKind) return;
    CheckInactive();
    FFieldKind = Value;
}

void TField::SetCalculated(bool Value) {
    if (Value)
        SetFieldKind(fkCalculated);
    else if (FFieldKind == fkCalculated)
        SetFieldKind(fkData);
}

void TField::SetLookup(bool Value) {
    if (Value)
        SetFieldKind(fkLookup);
    else if (FFieldKind == fkLookup)
        SetFieldKind(fkData);
}

void TField::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet) return;
    CheckInactive();
    if (Value != nullptr && Value == FDataSet) DatabaseError("Circular datalinks are not allowed", FDataSet);
    if (FLookupDataSet != nullptr) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TField::SetLookupKeyFields(const std::string& Value) { CheckInactive(); FLookupKeyFields = Value; }
void TField::SetLookupResultField(const std::string& Value) { CheckInactive(); FLookupResultField = Value; }
void TField::SetKeyFields(const std::string& Value) { CheckInactive(); FKeyFields = Value; }

void TField::SetLookupCache(bool Value) {
    if (Value == FLookupCache) return;
    FLookupCache = Value;
    if (Value) {
        if (!FLookupList) FLookupList = std::make_unique<TLookupList>();
        if (FDataSet != nullptr && FDataSet->Active()) RefreshLookupList();
    }
}

void TField::SetSize(int Value) {
    CheckInactive();
    FSize = Value;
}

void TField::SetFieldType(TFieldType Value) { FDataType = Value; }

void TField::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    PropertyChanged(false);
}

void TField::SetDisplayLabel(const std::string& Value) {
    std::string v = Value == FFieldName ? std::string() : Value;
    if (v == FDisplayLabel) return;
    FDisplayLabel = v;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
    if (Value == FDisplayWidth) return;
    FDisplayWidth = Value;
    PropertyChanged(true);
}

void TField::SetEditMask(const std::string& Value) {
    FEditMask = Value;
    PropertyChanged(false);
}

void TField::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    PropertyChanged(true);
}

void TField::PropertyChanged(bool LayoutAffected) {
    if (FDataSet != nullptr && FDataSet->Active())
        FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::DataChanged() {
    if (FDataSet != nullptr) FDataSet->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(this));
}

int TField::Index() const { return FDataSet != nullptr ? FDataSet->FFields->IndexOf(const_cast<TField*>(this)) : -1; }

void TField::SetIndex(int Value) {
    if (FDataSet == nullptr) return;
    FDataSet->FFields->SetFieldIndex(this, Value);
    if (FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

bool TField::IsIndexField() const { return FDataSet != nullptr && FDataSet->GetIsIndexField(this); }

bool TField::GetCanModify() const {
    if (FDataSet == nullptr) return false;
    if (FFieldNo > 0) {
        if (FDataSet->State() != dsSetKey) return !FReadOnly && FDataSet->CanModify();
        return IsIndexField();
    }
    return false;
}

bool TField::CanModify() const { return GetCanModify(); }

void TField::FocusControl() {
    if (FDataSet == nullptr) return;
    TField* field = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&field));
}

void TField::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        Clear();
        return;
    }
    if (auto* f = dynamic_cast<TField*>(Source)) {
        SetValue(f->Value());
        return;
    }
    TComponent::Assign(Source);
}

void TField::AssignValue(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else
        SetAsVariant(Value);
}

void TField::Clear() { SetData(nullptr); }

bool TField::IsValidChar(char InputChar) const { return static_cast<unsigned char>(InputChar) >= 32; }

bool TField::GetData(void* Buffer, bool NativeFormat) const {
    if (FDataSet == nullptr) DatabaseError(Format("Field '%s' has no dataset", {DisplayName()}));
    int size = GetDataSize();
    std::vector<uint8_t> native;
    void* target = Buffer;
    bool convert = Buffer != nullptr && !NativeFormat && IsDateType(FDataType);
    if (convert) {
        native.resize(static_cast<size_t>(size));
        target = native.data();
    }
    bool hasValue;
    if (FValidating) {
        hasValue = FValueBuffer != nullptr;
        if (hasValue && target != nullptr) std::memcpy(target, FValueBuffer, static_cast<size_t>(size));
    } else if (FDataSet->State() == dsInactive) {
        return false;
    } else if (FFieldKind == fkCalculated || FFieldKind == fkLookup) {
        hasValue = FDataSet->GetCalcFieldData(this, target);
    } else {
        hasValue = FDataSet->GetFieldData(const_cast<TField*>(this), target);
    }
    if (hasValue && convert) {
        TDateTime dt = NativeToDateTime(FDataType, native.data());
        std::memcpy(Buffer, &dt, sizeof dt);
    }
    return hasValue;
}

void TField::CheckCanModifyValue() const {
    if (FDataSet == nullptr) DatabaseError(Format("Field '%s' has no dataset", {DisplayName()}));
    TDataSetState st = FDataSet->State();
    if (!dsWriteModes.Contains(st)) DatabaseError("Dataset not in edit or insert mode", FDataSet);
    bool calc = FFieldKind == fkCalculated || FFieldKind == fkLookup;
    if (!calc) {
        if (st == dsCalcFields) DatabaseError(Format("Field '%s' cannot be modified", {DisplayName()}));
        if (FReadOnly && st != dsSetKey && st != dsFilter)
            DatabaseError(Format("Field '%s' cannot be modified", {DisplayName()}));
    }
}

void TField::SetData(const void* Buffer, bool NativeFormat) {
    CheckCanModifyValue();
    TDataSetState st = FDataSet->State();
    std::vector<uint8_t> native;
    const void* data = Buffer;
    if (Buffer != nullptr && !NativeFormat && IsDateType(FDataType)) {
        native.resize(static_cast<size_t>(GetDataSize()));
        TDateTime dt;
        std::memcpy(&dt, Buffer, sizeof dt);
        DateTimeToNative(FDataType, dt, native.data());
        data = native.data();
    }
    if (FFieldKind == fkCalculated || FFieldKind == fkLookup) {
        FDataSet->SetCalcFieldData(this, data);
    } else {
        if (st != dsFilter && st != dsSetKey) Validate(data);
        FDataSet->SetFieldData(this, data);
    }
    if (!kNoChangeEventStates.Contains(st)) {
        DataChanged();
        Change();
    }
}

void TField::Validate(const void* Buffer) {
    if (!OnValidate.Assigned()) return;
    FValueBuffer = Buffer;
    FValidating = true;
    try {
        OnValidate(this);
    } catch (...) {
        FValidating = false;
        FValueBuffer = nullptr;
        throw;
    }
    FValidating = false;
    FValueBuffer = nullptr;
}

void TField::Change() { OnChange(this); }

bool TField::ReadNative(std::vector<uint8_t>& Buffer) const {
    Buffer.assign(static_cast<size_t>(std::max(GetDataSize(), 1)), 0);
    return GetData(Buffer.data());
}

bool TField::IsNull() const { return !GetData(nullptr); }

void TField::AccessError(const std::string& TypeName) const {
    DatabaseError(Format("Cannot access field '%s' as type %s", {DisplayName(), TypeName}));
}

bool TField::GetAsBoolean() const { AccessError("Boolean"); }
Currency TField::GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
double TField::GetAsFloat() const { AccessError("Float"); }
int TField::GetAsInteger() const { AccessError("Integer"); }
std::string TField::GetAsString() const {
    std::string name = ClassName();
    if (name.size() > 1 && name[0] == 'T') name.erase(0, 1);
    if (name.size() > 5 && name.compare(name.size() - 5, 5, "Field") == 0) name.resize(name.size() - 5);
    return "(" + name + ")";
}
Variant TField::GetAsVariant() const { AccessError("Variant"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
void TField::SetAsCurrency(Currency Value) { SetAsFloat(Value.ToDouble()); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
void TField::SetAsInteger(int) { AccessError("Integer"); }
void TField::SetAsString(const std::string&) { AccessError("String"); }
void TField::SetAsVariant(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else
        AccessError("Variant");
}

bool TField::SetNullOrText(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else if (VarIsStr(Value))
        SetAsString(Value.AsString());
    else
        return false;
    return true;
}

void TField::GetText(std::string& Text, bool DisplayText) const {
    (void)DisplayText;
    Text = GetAsString();
}

void TField::SetTextValue(const std::string& Value) { SetAsString(Value); }

std::string TField::DisplayText() const {
    std::string text;
    if (OnGetText.Assigned())
        OnGetText(const_cast<TField*>(this), text, true);
    else
        GetText(text, true);
    return text;
}

std::string TField::Text() const {
    std::string text;
    if (OnGetText.Assigned())
        OnGetText(const_cast<TField*>(this), text, false);
    else
        GetText(text, false);
    return text;
}

void TField::SetText(const std::string& Value) {
    if (OnSetText.Assigned())
        OnSetText(this, Value);
    else
        SetTextValue(Value);
}

Variant TField::OldValue() const {
    if (FDataSet == nullptr) return Null();
    return FDataSet->GetStateFieldValue(dsOldValue, const_cast<TField*>(this));
}

Variant TField::NewValue() const { return Value(); }
void TField::SetNewValue(const Variant& Value) { SetValue(Value); }

Variant TField::CurValue() const {
    if (FDataSet == nullptr) return Null();
    return FDataSet->GetStateFieldValue(dsCurValue, const_cast<TField*>(this));
}

void TField::Bind(bool Binding) {
    if (Binding && FFieldKind == fkLookup && FLookupCache) RefreshLookupList();
}

void TField::RefreshLookupList() {
    if (!FLookupList) FLookupList = std::make_unique<TLookupList>();
    FLookupList->Clear();
    if (FLookupDataSet == nullptr || !FLookupDataSet->Active()) return;
    TDataSet* lds = FLookupDataSet;
    std::vector<TField*> keys;
    lds->GetFieldList(keys, FLookupKeyFields);
    TField* result = lds->FieldByName(FLookupResultField);
    TBookmark bm = lds->GetBookmark();
    lds->DisableControls();
    try {
        lds->First();
        while (!lds->Eof()) {
            Variant key;
            if (keys.size() == 1) {
                key = keys[0]->Value();
            } else {
                key = VarArrayCreate({0, static_cast<int>(keys.size()) - 1}, varVariant);
                for (size_t i = 0; i < keys.size(); ++i) key.Put(static_cast<int>(i), keys[i]->Value());
            }
            FLookupList->Add(key, result->Value());
            lds->Next();
        }
        if (!bm.empty()) lds->GotoBookmark(bm);
    } catch (...) {
        lds->EnableControls();
        throw;
    }
    lds->EnableControls();
}

void TField::CalcLookupValue() {
    if (FDataSet == nullptr) return;
    Variant keyValue = FDataSet->FieldValues(FKeyFields);
    Variant value = Null();
    if (FLookupCache && FLookupList) {
        value = FLookupList->ValueOfKey(keyValue);
    } else if (FLookupDataSet != nullptr && FLookupDataSet->Active()) {
        bool anyNull = false;
        if (VarIsArray(keyValue)) {
            for (int i = VarArrayLowBound(keyValue, 1); i <= VarArrayHighBound(keyValue, 1); ++i)
                anyNull = anyNull || VarIsNull(keyValue[i]);
        } else {
            anyNull = VarIsNull(keyValue);
        }
        if (!anyNull) value = FLookupDataSet->Lookup(FLookupKeyFields, keyValue, FLookupResultField);
    }
    if (VarIsNull(value) || VarIsEmpty(value))
        SetData(nullptr);
    else
        SetAsVariant(value);
}

// ---------------------------------------------------------------------------
// TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
    SetDataTypeInternal(ftString);
    SetSizeInternal(20);
}

void TStringField::SetFixedChar(bool Value) {
    FFixedChar = Value;
    SetDataTypeInternal(Value ? ftFixedChar : ftString);
}

void TStringField::SetSize(int Value) {
    if (Value < 1) DatabaseError("Invalid field size");
    TField::SetSize(Value);
}

std::string TStringField::GetAsString() const {
    // Most strings fit a stack buffer: a walk that reads them costs no allocation but the result.
    int size = GetDataSize();
    char small[256];
    std::vector<char> big;
    char* buf = small;
    if (size > static_cast<int>(sizeof small)) {
        big.resize(static_cast<size_t>(size));
        buf = big.data();
    }
    if (!GetData(buf)) return std::string();
    buf[size - 1] = 0;
    std::string s(buf);
    if (FFixedChar) s = TrimRight(s);
    return s;
}

void TStringField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    std::vector<uint8_t> buf(static_cast<size_t>(Size()) + 1, 0);
    std::string v = Utf8Prefix(Value, static_cast<size_t>(Size()));
    std::memcpy(buf.data(), v.data(), v.size());
    SetData(buf.data());
}

bool TStringField::GetAsBoolean() const {
    std::string s = GetAsString();
    return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

TDateTime TStringField::GetAsDateTime() const { return StrToDateTime(GetAsString()); }
double TStringField::GetAsFloat() const { return StrToFloat(GetAsString()); }
int TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }

Variant TStringField::GetAsVariant() const {
    if (IsNull()) return Null();
    return Variant(GetAsString());
}

void TStringField::SetAsBoolean(bool Value) { SetAsString(Value ? "T" : "F"); }
void TStringField::SetAsDateTime(TDateTime Value) { SetAsString(DateTimeToStr(Value)); }
void TStringField::SetAsFloat(double Value) { SetAsString(FloatToStr(Value)); }
void TStringField::SetAsInteger(int Value) { SetAsString(IntToStr(Value)); }

void TStringField::SetAsVariant(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else
        SetAsString(VarToStr(Value));
}

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataTypeInternal(ftWideString); }

TGuidField::TGuidField(TComponent* AOwner) : TStringField(AOwner) {
    SetDataTypeInternal(ftGuid);
    SetSizeInternal(38);
}

void TGuidField::SetSize(int Value) {
    if (Value != 38 && Value != 0) DatabaseError("Invalid field size");
    TField::SetSize(38);
}

void TGuidField::SetAsString(const std::string& Value) {
    if (!Value.empty()) {
        bool ok = Value.size() == 38 && Value.front() == '{' && Value.back() == '}';
        for (size_t i = 1; ok && i < 37; ++i) {
            char c = Value[i];
            bool dash = i == 9 || i == 14 || i == 19 || i == 24;
            ok = dash ? c == '-' : std::isxdigit(static_cast<unsigned char>(c)) != 0;
        }
        if (!ok) throw EConvertError("'" + Value + "' is not a valid GUID value");
    }
    TStringField::SetAsString(Value);
}

// ---------------------------------------------------------------------------
// Numbers

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const std::string& Value) {
    FDisplayFormat = Value;
    PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& Value) {
    FEditFormat = Value;
    PropertyChanged(false);
}

bool TNumericField::IsValidChar(char InputChar) const {
    return (InputChar >= '0' && InputChar <= '9') || InputChar == '+' || InputChar == '-' ||
           InputChar == FormatSettings.DecimalSeparator || InputChar == 'E' || InputChar == 'e';
}

TIntegerField::TIntegerField(TComponent* AOwner)
    : TNumericField(AOwner), FMinRange(std::numeric_limits<int32_t>::min()),
      FMaxRange(std::numeric_limits<int32_t>::max()) {
    SetDataTypeInternal(ftInteger);
}

int TIntegerField::GetDataSize() const {
    switch (DataType()) {
    case ftSmallint: case ftWord: return 2;
    case ftLargeint: return 8;
    default: return 4;
    }
}

bool TIntegerField::IsValidChar(char InputChar) const {
    return (InputChar >= '0' && InputChar <= '9') || InputChar == '+' || InputChar == '-';
}

bool TIntegerField::GetValue(int64_t& Value) const {
    uint8_t buf[8] = {};
    if (!GetData(buf)) return false;
    switch (DataType()) {
    case ftSmallint: { int16_t v; std::memcpy(&v, buf, 2); Value = v; break; }
    case ftWord: { uint16_t v; std::memcpy(&v, buf, 2); Value = v; break; }
    case ftLargeint: { int64_t v; std::memcpy(&v, buf, 8); Value = v; break; }
    default: { int32_t v; std::memcpy(&v, buf, 4); Value = v; break; }
    }
    return true;
}

void TIntegerField::CheckRange(int64_t Value, int64_t Min, int64_t Max) const {
    if (Value < Min || Value > Max)
        DatabaseError(Format("%d is not a valid value for field '%s'. The allowed range is %d to %d",
                             {Value, DisplayName(), Min, Max}));
}

void TIntegerField::SetValue64(int64_t Value) {
    if (FMinValue != 0 || FMaxValue != 0)
        CheckRange(Value, FMinValue, FMaxValue);
    else
        CheckRange(Value, FMinRange, FMaxRange);
    uint8_t buf[8] = {};
    switch (DataType()) {
    case ftSmallint: { int16_t v = static_cast<int16_t>(Value); std::memcpy(buf, &v, 2); break; }
    case ftWord: { uint16_t v = static_cast<uint16_t>(Value); std::memcpy(buf, &v, 2); break; }
    case ftLargeint: std::memcpy(buf, &Value, 8); break;
    default: { int32_t v = static_cast<int32_t>(Value); std::memcpy(buf, &v, 4); break; }
    }
    SetData(buf);
}

int TIntegerField::GetAsInteger() const {
    int64_t v = 0;
    GetValue(v);
    return static_cast<int>(v);
}

double TIntegerField::GetAsFloat() const {
    int64_t v = 0;
    GetValue(v);
    return static_cast<double>(v);
}

std::string TIntegerField::GetAsString() const {
    int64_t v;
    return GetValue(v) ? IntToStr(v) : std::string();
}

Variant TIntegerField::GetAsVariant() const {
    int64_t v;
    if (!GetValue(v)) return Null();
    return Variant(static_cast<int32_t>(v));
}

void TIntegerField::GetText(std::string& Text, bool DisplayText) const {
    int64_t v;
    if (!GetValue(v)) {
        Text.clear();
        return;
    }
    const std::string& fmt = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    Text = fmt.empty() ? IntToStr(v) : FormatFloat(fmt, static_cast<double>(v));
}

void TIntegerField::SetAsInteger(int Value) { SetValue64(Value); }

void TIntegerField::SetAsFloat(double Value) {
    double r = std::nearbyint(Value);
    if (!(r >= -9.2e18 && r <= 9.2e18))
        throw EConvertError("'" + FloatToStr(Value) + "' is not a valid integer value");
    SetValue64(static_cast<int64_t>(r));
}

void TIntegerField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    int64_t v;
    if (!TryStrToInt64(Value, v)) throw EConvertError("'" + Value + "' is not a valid integer value");
    SetValue64(v);
}

void TIntegerField::SetAsVariant(const Variant& Value) {
    if (SetNullOrText(Value)) return;
    if (VarIsFloat(Value))
        SetAsFloat(Value.AsDouble());
    else
        SetValue64(Value.AsInt64());
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataTypeInternal(ftSmallint);
    FMinRange = -32768;
    FMaxRange = 32767;
}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataTypeInternal(ftWord);
    FMinRange = 0;
    FMaxRange = 65535;
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataTypeInternal(ftAutoInc); }

TLargeintField::TLargeintField(TComponent* AOwner) : TIntegerField(AOwner) {
    SetDataTypeInternal(ftLargeint);
    FMinRange = std::numeric_limits<int64_t>::min();
    FMaxRange = std::numeric_limits<int64_t>::max();
}

int64_t TLargeintField::AsLargeInt() const {
    int64_t v = 0;
    GetValue(v);
    return v;
}

void TLargeintField::SetAsLargeInt(int64_t Value) { SetValue64(Value); }

int TLargeintField::GetAsInteger() const {
    int64_t v = AsLargeInt();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw ERangeError(Format("Value of field '%s' is out of range", {DisplayName()}));
    return static_cast<int>(v);
}

Variant TLargeintField::GetAsVariant() const {
    int64_t v;
    if (!GetValue(v)) return Null();
    return Variant(v);
}

void TLargeintField::SetAsFloat(double Value) { TIntegerField::SetAsFloat(Value); }
void TLargeintField::SetAsString(const std::string& Value) { TIntegerField::SetAsString(Value); }
void TLargeintField::SetAsVariant(const Variant& Value) { TIntegerField::SetAsVariant(Value); }

// Floats

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataTypeInternal(ftFloat); }

void TFloatField::SetCurrency(bool Value) {
    FCurrency = Value;
    PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value) {
    if (Value < 2) Value = 2;
    if (Value > 15) Value = 15;
    FPrecision = Value;
    PropertyChanged(false);
}

double TFloatField::GetAsFloat() const {
    double v = 0;
    if (!GetData(&v)) return 0;
    return v;
}

Currency TFloatField::GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }

int TFloatField::GetAsInteger() const {
    double v = std::nearbyint(GetAsFloat());
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw ERangeError(Format("Value of field '%s' is out of range", {DisplayName()}));
    return static_cast<int>(v);
}

std::string TFloatField::GetAsString() const {
    double v;
    return GetData(&v) ? FloatToStr(v) : std::string();
}

Variant TFloatField::GetAsVariant() const {
    double v;
    if (!GetData(&v)) return Null();
    return Variant(v);
}

void TFloatField::GetText(std::string& Text, bool DisplayText) const {
    double v;
    if (!GetData(&v)) {
        Text.clear();
        return;
    }
    const std::string& fmt = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    if (!fmt.empty())
        Text = FormatFloat(fmt, v);
    else if (FCurrency)
        Text = DisplayText ? FloatToStrF(v, ffCurrency, FPrecision, FormatSettings.CurrencyDecimals)
                           : FloatToStrF(v, ffFixed, FPrecision, FormatSettings.CurrencyDecimals);
    else
        Text = FloatToStrF(v, ffGeneral, FPrecision, 0);
}

void TFloatField::SetAsFloat(double Value) {
    if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
        DatabaseError(Format("%g is not a valid value for field '%s'. The allowed range is %g to %g",
                             {Value, DisplayName(), FMinValue, FMaxValue}));
    SetData(&Value);
}

void TFloatField::SetAsInteger(int Value) { SetAsFloat(Value); }
void TFloatField::SetAsCurrency(host::Currency Value) { SetAsFloat(Value.ToDouble()); }

void TFloatField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    double v;
    if (!TryStrToFloat(Value, v)) throw EConvertError("'" + Value + "' is not a valid floating point value");
    SetAsFloat(v);
}

void TFloatField::SetAsVariant(const Variant& Value) {
    if (SetNullOrText(Value)) return;
    SetAsFloat(Value.AsDouble());
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
    SetDataTypeInternal(ftCurrency);
    SetCurrency(true);
}

// BCD

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
    SetDataTypeInternal(ftBCD);
    SetSizeInternal(4);
}

void TBCDField::SetCurrency(bool Value) {
    FCurrency = Value;
    PropertyChanged(false);
}

void TBCDField::SetPrecision(int Value) {
    FPrecision = Value < 0 ? 0 : Value;
    PropertyChanged(false);
}

void TBCDField::SetSize(int Value) {
    if (Value < 0 || Value > 32) DatabaseError("Invalid field size");
    TField::SetSize(Value);
}

int TBCDField::GetDefaultWidth() const { return FPrecision > 0 ? FPrecision + 1 : 15; }

Currency TBCDField::GetAsCurrency() const {
    double v = 0;
    if (!GetData(&v)) return Currency{};
    return Currency::FromDouble(v);
}

double TBCDField::GetAsFloat() const { return GetAsCurrency().ToDouble(); }

int TBCDField::GetAsInteger() const {
    double v = std::nearbyint(GetAsFloat());
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw ERangeError(Format("Value of field '%s' is out of range", {DisplayName()}));
    return static_cast<int>(v);
}

std::string TBCDField::GetAsString() const {
    double v;
    return GetData(&v) ? CurrToStr(Currency::FromDouble(v)) : std::string();
}

Variant TBCDField::GetAsVariant() const {
    double v;
    if (!GetData(&v)) return Null();
    return Variant(Currency::FromDouble(v));
}

void TBCDField::GetText(std::string& Text, bool DisplayText) const {
    double v;
    if (!GetData(&v)) {
        Text.clear();
        return;
    }
    Currency c = Currency::FromDouble(v);
    const std::string& fmt = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    if (!fmt.empty())
        Text = FormatCurr(fmt, c);
    else if (FCurrency)
        Text = DisplayText ? CurrToStrF(c, ffCurrency, FormatSettings.CurrencyDecimals)
                           : CurrToStrF(c, ffFixed, FormatSettings.CurrencyDecimals);
    else
        Text = CurrToStr(c);
}

void TBCDField::SetAsCurrency(host::Currency Value) {
    if ((FMinValue.Value != 0 || FMaxValue.Value != 0) && (Value < FMinValue || Value > FMaxValue))
        DatabaseError(Format("%s is not a valid value for field '%s'. The allowed range is %s to %s",
                             {CurrToStr(Value), DisplayName(), CurrToStr(FMinValue), CurrToStr(FMaxValue)}));
    double v = Value.ToDouble();
    SetData(&v);
}

void TBCDField::SetAsFloat(double Value) { SetAsCurrency(host::Currency::FromDouble(Value)); }
void TBCDField::SetAsInteger(int Value) { SetAsCurrency(host::Currency::FromScaled(int64_t(Value) * 10000)); }

void TBCDField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    host::Currency c;
    if (!TryStrToCurr(Value, c)) throw EConvertError("'" + Value + "' is not a valid floating point value");
    SetAsCurrency(c);
}

void TBCDField::SetAsVariant(const Variant& Value) {
    if (SetNullOrText(Value)) return;
    SetAsCurrency(Value.AsCurrency());
}

// ---------------------------------------------------------------------------
// TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
    SetDataTypeInternal(ftBoolean);
    FDisplayValues.clear();
}

void TBooleanField::SetDisplayValues(const std::string& Value) {
    FDisplayValues = Value;
    if (Value.empty()) {
        FTextValues[0] = "False";
        FTextValues[1] = "True";
    } else {
        size_t p = Value.find(';');
        FTextValues[1] = Value.substr(0, p);
        FTextValues[0] = p == std::string::npos ? std::string() : Value.substr(p + 1);
    }
    PropertyChanged(true);
}

int TBooleanField::GetDefaultWidth() const {
    return static_cast<int>(std::max(FTextValues[0].size(), FTextValues[1].size()));
}

bool TBooleanField::GetAsBoolean() const {
    uint16_t v = 0;
    return GetData(&v) && v != 0;
}

int TBooleanField::GetAsInteger() const { return GetAsBoolean() ? 1 : 0; }

std::string TBooleanField::GetAsString() const {
    uint16_t v = 0;
    if (!GetData(&v)) return std::string();
    return FTextValues[v != 0 ? 1 : 0];
}

Variant TBooleanField::GetAsVariant() const {
    uint16_t v = 0;
    if (!GetData(&v)) return Null();
    return Variant(v != 0);
}

void TBooleanField::SetAsBoolean(bool Value) {
    uint16_t v = Value ? 1 : 0;
    SetData(&v);
}

void TBooleanField::SetAsInteger(int Value) { SetAsBoolean(Value != 0); }

void TBooleanField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    auto matches = [&](const std::string& text) {
        return !text.empty() && AnsiSameText(Value, text.substr(0, std::min(text.size(), Value.size())));
    };
    if (matches(FTextValues[0]))
        SetAsBoolean(false);
    else if (matches(FTextValues[1]))
        SetAsBoolean(true);
    else
        throw EConvertError(Format("'%s' is not a valid boolean value for field '%s'", {Value, DisplayName()}));
}

void TBooleanField::SetAsVariant(const Variant& Value) {
    if (SetNullOrText(Value)) return;
    SetAsBoolean(Value.AsBoolean());
}

// ---------------------------------------------------------------------------
// Dates and times

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataTypeInternal(ftDateTime); }
TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataTypeInternal(ftDate); }
TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataTypeInternal(ftTime); }

int TDateTimeField::GetDataSize() const { return DataType() == ftDateTime ? 8 : 4; }

void TDateTimeField::SetDisplayFormat(const std::string& Value) {
    FDisplayFormat = Value;
    PropertyChanged(false);
}

TDateTime TDateTimeField::GetAsDateTime() const {
    TDateTime v = 0;
    if (!GetData(&v, false)) return 0;
    return v;
}

double TDateTimeField::GetAsFloat() const { return GetAsDateTime(); }

std::string TDateTimeField::GetAsString() const {
    std::string s;
    GetText(s, false);
    return s;
}

Variant TDateTimeField::GetAsVariant() const {
    TDateTime v;
    if (!GetData(&v, false)) return Null();
    return VarFromDateTime(v);
}

void TDateTimeField::GetText(std::string& Text, bool DisplayText) const {
    TDateTime v;
    if (!GetData(&v, false)) {
        Text.clear();
        return;
    }
    if (DisplayText && !FDisplayFormat.empty())
        Text = FormatDateTime(FDisplayFormat, v);
    else if (DataType() == ftDate)
        Text = DateToStr(v);
    else if (DataType() == ftTime)
        Text = TimeToStr(v);
    else
        Text = DateTimeToStr(v);
}

void TDateTimeField::SetAsDateTime(TDateTime Value) { SetData(&Value, false); }
void TDateTimeField::SetAsFloat(double Value) { SetAsDateTime(Value); }

void TDateTimeField::SetAsString(const std::string& Value) {
    if (Value.empty()) {
        Clear();
        return;
    }
    if (DataType() == ftDate)
        SetAsDateTime(StrToDate(Value));
    else if (DataType() == ftTime)
        SetAsDateTime(StrToTime(Value));
    else
        SetAsDateTime(StrToDateTime(Value));
}

void TDateTimeField::SetAsVariant(const Variant& Value) {
    if (SetNullOrText(Value)) return;
    SetAsDateTime(Value.AsDateTime());
}

// ---------------------------------------------------------------------------
// Binary

TBinaryField::TBinaryField(TComponent* AOwner) : TField(AOwner) { SetSizeInternal(16); }
TBytesField::TBytesField(TComponent* AOwner) : TBinaryField(AOwner) { SetDataTypeInternal(ftBytes); }
TVarBytesField::TVarBytesField(TComponent* AOwner) : TBinaryField(AOwner) { SetDataTypeInternal(ftVarBytes); }

std::string TBinaryField::GetAsString() const {
    std::vector<uint8_t> buf;
    if (!ReadNative(buf)) return std::string();
    if (DataType() == ftVarBytes) {
        uint16_t len;
        std::memcpy(&len, buf.data(), 2);
        len = static_cast<uint16_t>(std::min<int>(len, Size()));
        return std::string(reinterpret_cast<const char*>(buf.data()) + 2, len);
    }
    return std::string(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(Size()));
}

void TBinaryField::SetAsString(const std::string& Value) {
    std::vector<uint8_t> buf(static_cast<size_t>(GetDataSize()), 0);
    size_t n = std::min(Value.size(), static_cast<size_t>(Size()));
    if (DataType() == ftVarBytes) {
        uint16_t len = static_cast<uint16_t>(n);
        std::memcpy(buf.data(), &len, 2);
        std::memcpy(buf.data() + 2, Value.data(), n);
    } else {
        std::memcpy(buf.data(), Value.data(), n);
    }
    SetData(buf.data());
}

Variant TBinaryField::GetAsVariant() const {
    if (IsNull()) return Null();
    std::string bytes = GetAsString();
    Variant arr = VarArrayCreate({0, static_cast<int>(bytes.size()) - 1}, varByte);
    for (size_t i = 0; i < bytes.size(); ++i) arr.Put(static_cast<int>(i), static_cast<uint8_t>(bytes[i]));
    return arr;
}

void TBinaryField::SetAsVariant(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value)) {
        Clear();
    } else if (VarIsArray(Value)) {
        std::string bytes;
        for (int i = VarArrayLowBound(Value, 1); i <= VarArrayHighBound(Value, 1); ++i)
            bytes.push_back(static_cast<char>(Value[i].AsInteger()));
        SetAsString(bytes);
    } else {
        SetAsString(VarToStr(Value));
    }
}

void TBinaryField::GetText(std::string& Text, bool DisplayText) const {
    (void)DisplayText;
    Text = IsNull() ? std::string() : TField::GetAsString();
}

// ---------------------------------------------------------------------------
// Blobs

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataTypeInternal(ftBlob); }
TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataTypeInternal(ftMemo); }
TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataTypeInternal(ftGraphic); }

void TBlobField::SetBlobType(TBlobType Value) {
    CheckInactive();
    SetDataTypeInternal(Value);
}

std::string TBlobField::GetAsString() const {
    if (DataSet() == nullptr || DataSet()->State() == dsInactive) return std::string();
    std::unique_ptr<TStream> s = DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    if (!s) return std::string();
    std::string out(static_cast<size_t>(s->Size()), '\0');
    s->SetPosition(0);
    if (!out.empty()) s->ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
    return out;
}

void TBlobField::SetAsString(const std::string& Value) {
    CheckCanModifyValue();
    if (DataSet()->State() != dsFilter && DataSet()->State() != dsSetKey) Validate(Value.empty() ? nullptr : Value.data());
    {
        std::unique_ptr<TStream> s = DataSet()->CreateBlobStream(this, bmWrite);
        if (s) {
            s->SetSize(0);
            if (!Value.empty()) s->WriteBuffer(Value.data(), static_cast<int64_t>(Value.size()));
        }
    }
    FModified = true;
    DataChanged();
    Change();
}

void TBlobField::Clear() { SetAsString(std::string()); }

Variant TBlobField::GetAsVariant() const {
    if (IsNull()) return Null();
    return Variant(GetAsString());
}

void TBlobField::SetAsVariant(const Variant& Value) {
    if (VarIsNull(Value) || VarIsEmpty(Value))
        Clear();
    else
        SetAsString(VarToStr(Value));
}

void TBlobField::GetText(std::string& Text, bool DisplayText) const {
    if (!DisplayText && (DataType() == ftMemo || DataType() == ftFmtMemo || DataType() == ftOraClob)) {
        Text = GetAsString();
        return;
    }
    Text = TField::GetAsString();
    if (!IsNull()) Text = UpperCase(Text);
}

int TBlobField::BlobSize() const {
    if (DataSet() == nullptr || DataSet()->State() == dsInactive) return 0;
    std::unique_ptr<TStream> s = DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
    return s ? static_cast<int>(s->Size()) : 0;
}

void TBlobField::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBlobField*>(Source)) {
        SetAsString(b->GetAsString());
        return;
    }
    if (auto* sl = dynamic_cast<TStrings*>(Source)) {
        SetAsString(sl->Text());
        return;
    }
    TField::Assign(Source);
}

void TBlobField::LoadFromStream(TStream* Stream) {
    std::string data(static_cast<size_t>(std::max<int64_t>(Stream->Size() - Stream->Position(), 0)), '\0');
    if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
    SetAsString(data);
}

void TBlobField::SaveToStream(TStream* Stream) const {
    std::string data = GetAsString();
    if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

void TBlobField::LoadFromFile(const std::string& FileName) {
    TFileStream fs(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&fs);
}

void TBlobField::SaveToFile(const std::string& FileName) const {
    std::string data = GetAsString();
    TFileStream fs(FileName, fmCreate);
    if (!data.empty()) fs.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

// ---------------------------------------------------------------------------
// TFields

TFields::TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}
TFields::~TFields() = default;

void TFields::Add(TField* Field) {
    if (IndexOf(Field) < 0) FList.push_back(Field);
}

void TFields::Remove(TField* Field) {
    auto it = std::find(FList.begin(), FList.end(), Field);
    if (it != FList.end()) FList.erase(it);
}

void TFields::Clear() { FList.clear(); }

TField* TFields::Fields(int Index) const {
    if (Index < 0 || Index >= Count()) DatabaseError("Field index out of range", FDataSet);
    return FList[static_cast<size_t>(Index)];
}

TField* TFields::FindField(const std::string& FieldName) const {
    for (TField* f : FList)
        if (AnsiSameText(f->FieldName(), FieldName)) return f;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& FieldName) const {
    TField* f = FindField(FieldName);
    if (f == nullptr) DatabaseError(Format("Field '%s' not found", {FieldName}), FDataSet);
    return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
    for (TField* f : FList)
        if (f->FieldNo() == FieldNo) return f;
    return nullptr;
}

int TFields::IndexOf(TField* Field) const {
    auto it = std::find(FList.begin(), FList.end(), Field);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TFields::GetFieldNames(TStrings* List) const {
    for (TField* f : FList) List->Add(f->FieldName());
}

void TFields::CheckFieldName(const std::string& FieldName) const {
    if (FieldName.empty()) DatabaseError("Field name missing", FDataSet);
    if (FindField(FieldName) != nullptr) DatabaseError(Format("Duplicate field name '%s'", {FieldName}), FDataSet);
}

void TFields::SetFieldIndex(TField* Field, int Value) {
    int cur = IndexOf(Field);
    if (cur < 0) return;
    if (Value < 0) Value = 0;
    if (Value >= Count()) Value = Count() - 1;
    FList.erase(FList.begin() + cur);
    FList.insert(FList.begin() + Value, Field);
}

}  // namespace host
