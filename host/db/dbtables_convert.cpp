// Conversions shared by the engine datasets: field types, native values, variants and parameter values.
#include <cstring>

#include "host/db/dbtables_internal.h"
#include "host/rtl/sysutils.h"

namespace host::dbtables {

TFieldType FieldTypeOfEngine(uint16_t FldType, uint16_t SubType) {
    switch (FldType) {
    case fldZSTRING:
        if (SubType == fldstFIXED) return ftFixedChar;
        if (SubType == fldstUNICODE) return ftWideString;
        if (SubType == fldstGUID) return ftGuid;
        return ftString;
    case fldINT16: return ftSmallint;
    case fldUINT16: return ftWord;
    case fldINT32: return SubType == fldstAUTOINC ? ftAutoInc : ftInteger;
    case fldUINT32: return ftInteger;
    case fldINT64: return ftLargeint;
    case fldBOOL: return ftBoolean;
    case fldFLOAT: return SubType == fldstMONEY ? ftCurrency : ftFloat;
    case fldBCD: return ftBCD;
    case fldDATE: return ftDate;
    case fldTIME: return ftTime;
    case fldTIMESTAMP: return ftDateTime;
    case fldBYTES: return ftBytes;
    case fldVARBYTES: return ftVarBytes;
    case fldBLOB:
        if (SubType == fldstMEMO) return ftMemo;
        if (SubType == fldstGRAPHIC) return ftGraphic;
        if (SubType == fldstFMTMEMO) return ftFmtMemo;
        return ftBlob;
    default: return ftUnknown;
    }
}

TFieldType FieldTypeOf(const FLDDesc& Fld) { return FieldTypeOfEngine(Fld.iFldType, Fld.iSubType); }

int FieldSizeOf(const FLDDesc& Fld) {
    switch (Fld.iFldType) {
    case fldZSTRING: return Fld.iSubType == fldstGUID ? 38 : Fld.iUnits1;
    case fldBYTES: case fldVARBYTES: return Fld.iUnits1;
    case fldBCD: return Fld.iUnits2;
    default: return 0;
    }
}

FLDDesc FldDescOf(const std::string& Name, TFieldType Type, int Size, int Precision, bool Required) {
    FLDDesc f;
    f.szName = Name;
    f.bRequired = Required;
    auto set = [&](uint16_t t, uint16_t st, int u1 = 0, int u2 = 0) {
        f.iFldType = t;
        f.iSubType = st;
        f.iUnits1 = u1;
        f.iUnits2 = u2;
    };
    switch (Type) {
    case ftString: set(fldZSTRING, fldstNONE, Size > 0 ? Size : 20); break;
    case ftFixedChar: set(fldZSTRING, fldstFIXED, Size > 0 ? Size : 20); break;
    case ftWideString: set(fldZSTRING, fldstUNICODE, Size > 0 ? Size : 20); break;
    case ftGuid: set(fldZSTRING, fldstGUID, 38); break;
    case ftSmallint: set(fldINT16, fldstNONE); break;
    case ftWord: set(fldUINT16, fldstNONE); break;
    case ftInteger: set(fldINT32, fldstNONE); break;
    case ftAutoInc: set(fldINT32, fldstAUTOINC); break;
    case ftLargeint: set(fldINT64, fldstNONE); break;
    case ftBoolean: set(fldBOOL, fldstNONE); break;
    case ftFloat: set(fldFLOAT, fldstNONE); break;
    case ftCurrency: set(fldFLOAT, fldstMONEY); break;
    case ftBCD: set(fldBCD, fldstNONE, Precision > 0 ? Precision : 32, Size); break;
    case ftDate: set(fldDATE, fldstNONE); break;
    case ftTime: set(fldTIME, fldstNONE); break;
    case ftDateTime: set(fldTIMESTAMP, fldstNONE); break;
    case ftBytes: set(fldBYTES, fldstNONE, Size > 0 ? Size : 16); break;
    case ftVarBytes: set(fldVARBYTES, fldstNONE, Size > 0 ? Size : 16); break;
    case ftBlob: case ftTypedBinary: case ftParadoxOle: case ftDBaseOle: case ftOraBlob:
        set(fldBLOB, fldstBINARY, Size);
        break;
    case ftMemo: case ftOraClob: set(fldBLOB, fldstMEMO, Size); break;
    case ftFmtMemo: set(fldBLOB, fldstFMTMEMO, Size); break;
    case ftGraphic: set(fldBLOB, fldstGRAPHIC, Size); break;
    default:
        DatabaseError("Field '" + Name + "' is of an unsupported type (" + FieldTypeName(Type) + ")");
    }
    return f;
}

namespace {

template <class T>
void Put(void* Native, T V) {
    std::memcpy(Native, &V, sizeof V);
}
template <class T>
T Get(const void* Native) {
    T v;
    std::memcpy(&v, Native, sizeof v);
    return v;
}

}  // namespace

void VariantToNative(const FLDDesc& Fld, const Variant& Value, void* Native) {
    try {
        switch (Fld.iFldType) {
        case fldZSTRING: {
            const std::string s = Value.AsString();
            const size_t n = std::min<size_t>(s.size(), Fld.iLen > 0 ? Fld.iLen - 1 : 0);
            std::memset(Native, 0, Fld.iLen);
            std::memcpy(Native, s.data(), n);
            break;
        }
        case fldINT16: Put<int16_t>(Native, int16_t(Value.AsInteger())); break;
        case fldUINT16: Put<uint16_t>(Native, uint16_t(Value.AsInteger())); break;
        case fldINT32: case fldUINT32: Put<int32_t>(Native, Value.AsInteger()); break;
        case fldINT64: Put<int64_t>(Native, Value.AsInt64()); break;
        case fldBOOL: Put<uint16_t>(Native, Value.AsBoolean() ? 1 : 0); break;
        case fldFLOAT: case fldBCD: Put<double>(Native, Value.AsDouble()); break;
        case fldDATE: Put<int32_t>(Native, DateTimeToNativeDate(Value.AsDateTime())); break;
        case fldTIME: Put<int32_t>(Native, DateTimeToNativeTime(Value.AsDateTime())); break;
        case fldTIMESTAMP: Put<double>(Native, DateTimeToNativeTimeStamp(Value.AsDateTime())); break;
        case fldBYTES: {
            const std::string s = Value.AsString();
            std::memset(Native, 0, Fld.iLen);
            std::memcpy(Native, s.data(), std::min<size_t>(s.size(), Fld.iLen));
            break;
        }
        case fldVARBYTES: {
            const std::string s = Value.AsString();
            const uint16_t n = uint16_t(std::min<size_t>(s.size(), size_t(Fld.iUnits1)));
            std::memset(Native, 0, Fld.iLen);
            Put<uint16_t>(Native, n);
            std::memcpy(static_cast<uint8_t*>(Native) + 2, s.data(), n);
            break;
        }
        default: DatabaseError("Field '" + Fld.szName + "' cannot be used as a key");
        }
    } catch (const EVariantError& e) {
        throw EConvertError(e.Message());
    }
}

Variant NativeToVariant(const FLDDesc& Fld, const void* Native) {
    switch (Fld.iFldType) {
    case fldZSTRING: {
        const char* s = static_cast<const char*>(Native);
        return Variant(std::string(s, strnlen(s, Fld.iLen)));
    }
    case fldINT16: return Variant(int(Get<int16_t>(Native)));
    case fldUINT16: return Variant(int(Get<uint16_t>(Native)));
    case fldINT32: case fldUINT32: return Variant(Get<int32_t>(Native));
    case fldINT64: return Variant(Get<int64_t>(Native));
    case fldBOOL: return Variant(Get<uint16_t>(Native) != 0);
    case fldFLOAT: case fldBCD: return Variant(Get<double>(Native));
    case fldDATE: return VarFromDateTime(NativeDateToDateTime(Get<int32_t>(Native)));
    case fldTIME: return VarFromDateTime(NativeTimeToDateTime(Get<int32_t>(Native)));
    case fldTIMESTAMP: return VarFromDateTime(NativeTimeStampToDateTime(Get<double>(Native)));
    case fldBYTES: return Variant(std::string(static_cast<const char*>(Native), Fld.iLen));
    case fldVARBYTES:
        return Variant(std::string(static_cast<const char*>(Native) + 2, Get<uint16_t>(Native)));
    default: return Null();
    }
}

DBIValue ParamToValue(const TParam* P) {
    if (P->IsNull()) return DBIValue::Null();
    DBIValue v;
    v.bNull = false;
    switch (P->DataType()) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
        v.iFldType = fldINT64;
        v.iVal = P->AsLargeInt();
        break;
    case ftBoolean:
        v.iFldType = fldBOOL;
        v.iVal = P->AsBoolean() ? 1 : 0;
        break;
    case ftFloat: case ftCurrency: case ftBCD:
        v.iFldType = fldFLOAT;
        v.fVal = P->AsFloat();
        break;
    case ftDate:
        v.iFldType = fldDATE;
        v.iVal = DateTimeToNativeDate(P->AsDateTime());
        break;
    case ftTime:
        v.iFldType = fldTIME;
        v.iVal = DateTimeToNativeTime(P->AsDateTime());
        break;
    case ftDateTime:
        v.iFldType = fldTIMESTAMP;
        v.fVal = DateTimeToNativeTimeStamp(P->AsDateTime());
        break;
    case ftBlob: case ftGraphic: case ftBytes: case ftVarBytes: case ftTypedBinary:
        v.iFldType = fldBLOB;
        v.iSubType = fldstBINARY;
        v.sVal = P->AsString();
        break;
    case ftUnknown: {
        // A value without a declared type goes as the variant holds it.
        const Variant x = P->Value();
        if (VarIsOrdinal(x)) {
            v.iFldType = fldINT64;
            v.iVal = x.AsInt64();
        } else if (VarIsFloat(x)) {
            v.iFldType = fldFLOAT;
            v.fVal = x.AsDouble();
        } else {
            v.iFldType = fldZSTRING;
            v.sVal = x.AsString();
        }
        break;
    }
    default:
        v.iFldType = fldZSTRING;
        v.sVal = P->AsString();
        break;
    }
    return v;
}

void ValueToParam(const DBIValue& V, TParam* P) {
    const TFieldType type = P->DataType();
    if (V.bNull) {
        P->Clear();
        P->SetDataType(type);
        return;
    }
    auto intValue = [&]() -> int64_t { return V.iFldType == fldFLOAT || V.iFldType == fldTIMESTAMP ? int64_t(V.fVal) : V.iVal; };
    auto floatValue = [&]() -> double {
        if (V.iFldType == fldFLOAT || V.iFldType == fldBCD || V.iFldType == fldTIMESTAMP) return V.fVal;
        if (V.iFldType == fldZSTRING) return StrToFloat(V.sVal);
        return double(V.iVal);
    };
    switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: P->SetAsInteger(int(intValue())); break;
    case ftLargeint: P->SetAsLargeInt(intValue()); break;
    case ftBoolean: P->SetAsBoolean(intValue() != 0); break;
    case ftFloat: P->SetAsFloat(floatValue()); break;
    case ftCurrency: P->SetAsCurrency(Currency::FromDouble(floatValue())); break;
    case ftBCD: P->SetAsBCD(Currency::FromDouble(floatValue())); break;
    case ftDate: P->SetAsDate(NativeDateToDateTime(int32_t(V.iVal))); break;
    case ftTime: P->SetAsTime(NativeTimeToDateTime(int32_t(V.iVal))); break;
    case ftDateTime: P->SetAsDateTime(NativeTimeStampToDateTime(V.fVal)); break;
    default:
        if (V.iFldType == fldINT64 || V.iFldType == fldINT32 || V.iFldType == fldINT16) P->SetValue(Variant(V.iVal));
        else if (V.iFldType == fldFLOAT) P->SetValue(Variant(V.fVal));
        else P->SetAsString(V.sVal);
        if (type != ftUnknown) P->SetDataType(type);
    }
}

STMTParamType ParamTypeToEngine(TParamType Type) {
    switch (Type) {
    case ptInput: return paramIN;
    case ptOutput: return paramOUT;
    case ptInputOutput: return paramINOUT;
    case ptResult: return paramRET;
    default: return paramUNKNOWN;
    }
}

TParamType ParamTypeFromEngine(STMTParamType Type) {
    switch (Type) {
    case paramIN: return ptInput;
    case paramOUT: return ptOutput;
    case paramINOUT: return ptInputOutput;
    case paramRET: return ptResult;
    default: return ptUnknown;
    }
}

std::vector<std::string> SplitNames(const std::string& List) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= List.size()) {
        size_t end = List.find(';', start);
        if (end == std::string::npos) end = List.size();
        std::string name = Trim(List.substr(start, end - start));
        if (!name.empty()) out.push_back(name);
        start = end + 1;
    }
    return out;
}

Variant KeyValue(const Variant& Values, int Index, int Count) {
    if (Count == 1 && !Values.IsArray()) return Values;
    if (!Values.IsArray()) DatabaseError("Key values must be an array for several fields");
    const int low = VarArrayLowBound(Values, 1);
    return Values[low + Index];
}

}  // namespace host::dbtables
