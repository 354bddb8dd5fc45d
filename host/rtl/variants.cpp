// Variant: conversions between the variant types, comparison, arithmetic and variant arrays.
#include "host/rtl/variants.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "host/rtl/exceptions.h"
#include "host/rtl/dates.h"
#include "host/rtl/sysutils.h"

namespace host {

// The storage of a variant array: element type, bounds (dimension 1 first) and
// the elements, the first dimension varying fastest.
class TVarArrayData {
public:
    TVarType ElemType = varVariant;
    std::vector<TVarArrayBound> Bounds;
    std::vector<TVariant> Items;
};

// Reaches the private parts of TVariant for the helpers of this file.
class TVariantAccess {
public:
    static int64_t Int(const TVariant& V) { return V.FInt; }
    static double Dbl(const TVariant& V) { return V.FDouble; }
    static const std::string& Str(const TVariant& V) { return V.FStr; }
    static TVariant MakeFloat(double D, TVarType T) {
        TVariant v;
        v.FType = T;
        v.FDouble = D;
        return v;
    }
    static TVariant MakeCurrencyScaled(int64_t Scaled) {
        TVariant v;
        v.FType = varCurrency;
        v.FInt = Scaled;
        return v;
    }
};

namespace {

using A = TVariantAccess;

[[noreturn]] void RaiseCast(TVarType From, TVarType To) {
    throw EVariantError("Could not convert variant of type (" + VarTypeAsText(From) + ") into type (" +
                        VarTypeAsText(To) + ")");
}
[[noreturn]] void RaiseInvalidConversion() { throw EVariantError("Invalid variant type conversion"); }
[[noreturn]] void RaiseInvalidOperation() { throw EVariantError("Invalid variant operation"); }
[[noreturn]] void RaiseBounds() { throw EVariantError("Variant array index out of bounds"); }
[[noreturn]] void RaiseNotArray() { throw EVariantError("Variant is not an array"); }
[[noreturn]] void RaiseOverflow(TVarType From, TVarType To) {
    throw EVariantError("Variant overflow: the value of type (" + VarTypeAsText(From) + ") does not fit type (" +
                        VarTypeAsText(To) + ")");
}
[[noreturn]] void RaiseArithmeticOverflow(TVarType Type) {
    throw EVariantError("Variant overflow: the result does not fit type (" + VarTypeAsText(Type) + ")");
}

bool IsOrdinalType(TVarType T) {
    switch (T) {
        case varSmallint: case varInteger: case varShortInt: case varByte:
        case varWord: case varLongWord: case varInt64:
            return true;
        default:
            return false;
    }
}

void OrdinalRange(TVarType T, int64_t& Lo, int64_t& Hi) {
    switch (T) {
        case varShortInt: Lo = INT8_MIN; Hi = INT8_MAX; break;
        case varByte: Lo = 0; Hi = UINT8_MAX; break;
        case varSmallint: Lo = INT16_MIN; Hi = INT16_MAX; break;
        case varWord: Lo = 0; Hi = UINT16_MAX; break;
        case varInteger: Lo = INT32_MIN; Hi = INT32_MAX; break;
        case varLongWord: Lo = 0; Hi = UINT32_MAX; break;
        default: Lo = INT64_MIN; Hi = INT64_MAX; break;
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Integer text as the framework's Val reads it: leading blanks, a sign, then
// decimal digits or hexadecimal after '$' or "0x".
bool ParseInt64(std::string_view s, int64_t& Out) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    unsigned base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned __int128 value = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9') d = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
        else return false;
        value = value * base + d;
        if (value > (unsigned __int128)INT64_MAX + 1) return false;
    }
    if (!neg && value > (unsigned __int128)INT64_MAX) return false;
    Out = neg ? int64_t(-(__int128)value) : int64_t(value);
    return true;
}

bool ParseDouble(const std::string& s, double& Out) { return TryStrToFloat(s, Out); }

bool ParseBoolText(std::string_view s, bool& Out) {
    if (EqualsNoCase(s, "True")) Out = true;
    else if (EqualsNoCase(s, "False")) Out = false;
    else return false;
    return true;
}

// Rounds to the nearest integer, halves to even, as the framework's Round does.
int64_t RoundToInt64(double D, TVarType From, TVarType To) {
    if (!std::isfinite(D) || D >= 9223372036854775808.0 || D < -9223372036854775808.0) RaiseOverflow(From, To);
    return static_cast<int64_t>(std::nearbyint(D));
}

// Divides by a positive divisor, rounding halves to even.
__int128 DivRoundEven(__int128 N, __int128 D) {
    if (D < 0) {
        N = -N;
        D = -D;
    }
    __int128 q = N / D, r = N % D;
    if (r < 0) {
        --q;
        r += D;
    }
    if (2 * r > D || (2 * r == D && (q & 1) != 0)) ++q;
    return q;
}

int64_t CheckedCurrency(__int128 Scaled) {
    if (Scaled > INT64_MAX || Scaled < INT64_MIN) RaiseArithmeticOverflow(varCurrency);
    return static_cast<int64_t>(Scaled);
}

int64_t CurrencyFromDouble(double D, TVarType From) {
    double scaled = D * 10000.0;
    if (!std::isfinite(scaled) || scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0)
        RaiseOverflow(From, varCurrency);
    return static_cast<int64_t>(std::nearbyint(scaled));
}

bool IsValidElementType(TVarType T) {
    return T == varVariant || T == varString || T == varBoolean || T == varSingle || T == varDouble ||
           T == varCurrency || T == varDate || IsOrdinalType(T);
}

// Reads a scalar as a 64-bit integer; Target names the wanted type in messages.
int64_t ToInt64(const TVariant& V, TVarType Target) {
    TVarType t = V.VType();
    if (t == varEmpty) return 0;
    if (t == varNull || V.IsArray()) RaiseInvalidConversion();
    if (t == varBoolean) return A::Int(V) ? -1 : 0;
    if (IsOrdinalType(t)) return A::Int(V);
    if (t == varCurrency) return int64_t(DivRoundEven(A::Int(V), 10000));
    if (t == varSingle || t == varDouble || t == varDate) return RoundToInt64(A::Dbl(V), t, Target);
    if (t == varString) {
        const std::string& s = A::Str(V);
        int64_t i;
        double d;
        bool b;
        if (ParseInt64(s, i)) return i;
        if (ParseDouble(s, d)) return RoundToInt64(d, varString, Target);
        if (ParseBoolText(s, b)) return b ? -1 : 0;
        RaiseCast(varString, Target);
    }
    RaiseInvalidConversion();
}

double ToDouble(const TVariant& V, TVarType Target) {
    TVarType t = V.VType();
    if (t == varEmpty) return 0;
    if (t == varNull || V.IsArray()) RaiseInvalidConversion();
    if (t == varBoolean) return A::Int(V) ? -1 : 0;
    if (IsOrdinalType(t)) return double(A::Int(V));
    if (t == varCurrency) return double(A::Int(V)) / 10000.0;
    if (t == varSingle || t == varDouble || t == varDate) return A::Dbl(V);
    if (t == varString) {
        const std::string& s = A::Str(V);
        double d;
        bool b;
        if (ParseDouble(s, d)) return d;
        if (ParseBoolText(s, b)) return b ? -1 : 0;
        RaiseCast(varString, Target);
    }
    RaiseInvalidConversion();
}

int64_t ToCurrencyScaled(const TVariant& V) {
    TVarType t = V.VType();
    if (t == varCurrency) return A::Int(V);
    if (t == varEmpty) return 0;
    if (t == varNull || V.IsArray()) RaiseInvalidConversion();
    if (t == varBoolean || IsOrdinalType(t)) {
        __int128 scaled = (__int128)ToInt64(V, varCurrency) * 10000;
        if (scaled > INT64_MAX || scaled < INT64_MIN) RaiseOverflow(t, varCurrency);
        return int64_t(scaled);
    }
    if (t == varString) {
        int64_t i;
        if (ParseInt64(A::Str(V), i)) {
            __int128 scaled = (__int128)i * 10000;
            if (scaled > INT64_MAX || scaled < INT64_MIN) RaiseOverflow(t, varCurrency);
            return int64_t(scaled);
        }
    }
    return CurrencyFromDouble(ToDouble(V, varCurrency), t);
}

bool ToBool(const TVariant& V) {
    TVarType t = V.VType();
    if (t == varEmpty) return false;
    if (t == varNull || V.IsArray()) RaiseInvalidConversion();
    if (t == varBoolean || IsOrdinalType(t) || t == varCurrency) return A::Int(V) != 0;
    if (t == varSingle || t == varDouble || t == varDate) return A::Dbl(V) != 0;
    if (t == varString) {
        const std::string& s = A::Str(V);
        bool b;
        double d;
        if (ParseBoolText(s, b)) return b;
        if (ParseDouble(s, d)) return d != 0;
        RaiseCast(varString, varBoolean);
    }
    RaiseInvalidConversion();
}

std::string ToText(const TVariant& V) {
    TVarType t = V.VType();
    if (t == varString) return A::Str(V);
    if (t == varEmpty) return std::string();
    if (t == varNull || V.IsArray()) RaiseInvalidConversion();
    if (t == varBoolean) return A::Int(V) ? "True" : "False";
    if (IsOrdinalType(t)) return IntToStr(A::Int(V));
    if (t == varCurrency) return CurrToStr(Currency::FromScaled(A::Int(V)));
    if (t == varSingle || t == varDouble) return FloatToStr(A::Dbl(V));
    if (t == varDate) return DateTimeToStr(A::Dbl(V));
    RaiseInvalidConversion();
}

TDateTime ToDate(const TVariant& V) {
    if (V.VType() == varString) {
        TDateTime d;
        if (!TryStrToDateTime(A::Str(V), d)) RaiseCast(varString, varDate);
        return d;
    }
    return ToDouble(V, varDate);
}

TVarArrayData& ArrayOf(const TVariant& V) {
    auto* data = const_cast<TVarArrayData*>(V.ArrayData());
    if (data == nullptr) RaiseNotArray();
    return *data;
}

size_t LinearIndex(const TVarArrayData& D, const int* Indices, size_t Count) {
    if (Count != D.Bounds.size())
        throw EVariantError("Variant array has " + std::to_string(D.Bounds.size()) + " dimension(s) but " +
                            std::to_string(Count) + " index(es) were given");
    size_t pos = 0, stride = 1;
    for (size_t d = 0; d < Count; ++d) {
        const TVarArrayBound& b = D.Bounds[d];
        int64_t off = int64_t(Indices[d]) - b.LowBound;
        if (off < 0 || off >= b.ElementCount) RaiseBounds();
        pos += size_t(off) * stride;
        stride *= size_t(b.ElementCount);
    }
    return pos;
}

TVariant DefaultElement(TVarType T) {
    switch (T) {
        case varVariant: return TVariant();
        case varString: return TVariant(std::string());
        case varBoolean: return TVariant(false);
        case varSingle: return TVariant(0.0f);
        case varDouble: return TVariant(0.0);
        case varCurrency: return TVariant(Currency{});
        case varDate: return VarFromDateTime(0);
        default: return TVariant::FromOrdinal(0, T);
    }
}

void StoreElement(TVarArrayData& D, size_t Pos, const TVariant& Value) {
    D.Items[Pos] = D.ElemType == varVariant ? Value : VarAsType(Value, D.ElemType);
}

// ---- comparison ----

enum class TOrder { Less, Equal, Greater };

template <class T>
TOrder OrderOf(const T& a, const T& b) {
    return a < b ? TOrder::Less : (b < a ? TOrder::Greater : TOrder::Equal);
}

TOrder Compare(const TVariant& L, const TVariant& R) {
    if (L.IsArray() || R.IsArray()) RaiseInvalidOperation();
    TVarType lt = L.VType(), rt = R.VType();
    if (lt == varNull || rt == varNull) {
        if (lt == rt) return TOrder::Equal;
        return lt == varNull ? TOrder::Less : TOrder::Greater;
    }
    if (lt == varEmpty && rt == varEmpty) return TOrder::Equal;
    bool lstr = lt == varString || lt == varEmpty, rstr = rt == varString || rt == varEmpty;
    if (lstr && rstr) return OrderOf(A::Str(L), A::Str(R));
    if (lt == varBoolean || rt == varBoolean) return OrderOf(ToBool(L), ToBool(R));
    bool lint = IsOrdinalType(lt) || lt == varEmpty, rint = IsOrdinalType(rt) || rt == varEmpty;
    if (lint && rint) return OrderOf(ToInt64(L, varInt64), ToInt64(R, varInt64));
    if ((lint || lt == varCurrency) && (rint || rt == varCurrency)) {
        auto scaled = [](const TVariant& V) -> __int128 {
            return V.VType() == varCurrency ? __int128(A::Int(V)) : __int128(ToInt64(V, varInt64)) * 10000;
        };
        return OrderOf(scaled(L), scaled(R));
    }
    return OrderOf(ToDouble(L, varDouble), ToDouble(R, varDouble));
}

// ---- arithmetic ----

enum class TOp { Add, Sub, Mul, Div };
enum class TKind { Int, Curr, Float, Date };

TKind KindOf(const TVariant& V) {
    TVarType t = V.VType();
    if (t == varCurrency) return TKind::Curr;
    if (t == varDate) return TKind::Date;
    if (t == varSingle || t == varDouble || t == varString) return TKind::Float;
    return TKind::Int;  // Empty, Boolean and the ordinals
}

double DivideDoubles(double a, double b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a)) throw EInvalidOp("Invalid floating point operation");
        throw EZeroDivide("Floating point division by zero");
    }
    return a / b;
}

double FloatOp(double a, double b, TOp Op) {
    switch (Op) {
        case TOp::Add: return a + b;
        case TOp::Sub: return a - b;
        case TOp::Mul: return a * b;
        case TOp::Div: return DivideDoubles(a, b);
    }
    return 0;
}

TVariant IntegerResult(int64_t Value, bool Wide) {
    if (!Wide && Value >= INT32_MIN && Value <= INT32_MAX) return TVariant::FromOrdinal(Value, varInteger);
    return TVariant::FromOrdinal(Value, varInt64);
}

TVariant Arith(const TVariant& L, const TVariant& R, TOp Op) {
    if (L.IsArray() || R.IsArray()) RaiseInvalidOperation();
    TVarType lt = L.VType(), rt = R.VType();
    if (lt == varNull || rt == varNull) return Null();
    if (lt == varEmpty && rt == varEmpty) return TVariant();
    if (Op == TOp::Add && (lt == varString || lt == varEmpty) && (rt == varString || rt == varEmpty))
        return TVariant(A::Str(L) + A::Str(R));

    TKind lk = KindOf(L), rk = KindOf(R);
    if (lk == TKind::Date || rk == TKind::Date) {
        double v = FloatOp(ToDouble(L, varDouble), ToDouble(R, varDouble), Op);
        bool isDate = Op == TOp::Add || (Op == TOp::Sub && !(lk == TKind::Date && rk == TKind::Date));
        return isDate ? VarFromDateTime(v) : TVariant(v);
    }
    if (lk == TKind::Float || rk == TKind::Float)
        return TVariant(FloatOp(ToDouble(L, varDouble), ToDouble(R, varDouble), Op));
    if (lk == TKind::Curr || rk == TKind::Curr) {
        __int128 a = ToCurrencyScaled(L), b = ToCurrencyScaled(R);
        switch (Op) {
            case TOp::Add: return A::MakeCurrencyScaled(CheckedCurrency(a + b));
            case TOp::Sub: return A::MakeCurrencyScaled(CheckedCurrency(a - b));
            case TOp::Mul: return A::MakeCurrencyScaled(CheckedCurrency(DivRoundEven(a * b, 10000)));
            case TOp::Div:
                if (b == 0) {
                    if (a == 0) throw EInvalidOp("Invalid floating point operation");
                    throw EZeroDivide("Floating point division by zero");
                }
                return A::MakeCurrencyScaled(CheckedCurrency(DivRoundEven(a * 10000, b)));
        }
    }
    int64_t a = ToInt64(L, varInt64), b = ToInt64(R, varInt64);
    if (Op == TOp::Div) return TVariant(DivideDoubles(double(a), double(b)));
    bool wide = lt == varInt64 || rt == varInt64;
    int64_t r;
    bool overflow = false;
    switch (Op) {
        case TOp::Add: overflow = __builtin_add_overflow(a, b, &r); break;
        case TOp::Sub: overflow = __builtin_sub_overflow(a, b, &r); break;
        default: overflow = __builtin_mul_overflow(a, b, &r); break;
    }
    if (overflow) return TVariant(FloatOp(double(a), double(b), Op));
    return IntegerResult(r, wide);
}

}  // namespace

// ---- TVariant ----

TVariant::TVariant() noexcept : FInt(0) {}

TVariant::TVariant(const TVariant& Other) : FType(Other.FType), FStr(Other.FStr) {
    std::memcpy(&FInt, &Other.FInt, sizeof FInt);
    if (Other.FArray) FArray = std::make_unique<TVarArrayData>(*Other.FArray);
}

TVariant::TVariant(TVariant&& Other) noexcept
    : FType(Other.FType), FStr(std::move(Other.FStr)), FArray(std::move(Other.FArray)) {
    std::memcpy(&FInt, &Other.FInt, sizeof FInt);
    Other.FType = varEmpty;
    Other.FInt = 0;
    Other.FStr.clear();
}

TVariant& TVariant::operator=(const TVariant& Other) {
    if (this != &Other) {
        TVariant copy(Other);
        *this = std::move(copy);
    }
    return *this;
}

TVariant& TVariant::operator=(TVariant&& Other) noexcept {
    if (this != &Other) {
        FType = Other.FType;
        std::memcpy(&FInt, &Other.FInt, sizeof FInt);
        FStr = std::move(Other.FStr);
        FArray = std::move(Other.FArray);
        Other.FType = varEmpty;
        Other.FInt = 0;
        Other.FStr.clear();
    }
    return *this;
}

TVariant::~TVariant() = default;

TVariant::TVariant(bool Value) noexcept : FType(varBoolean), FInt(Value ? 1 : 0) {}
TVariant::TVariant(char Value) : FType(varString), FInt(0), FStr(1, Value) {}
TVariant::TVariant(float Value) noexcept : FType(varSingle), FDouble(Value) {}
TVariant::TVariant(double Value) noexcept : FType(varDouble), FDouble(Value) {}
TVariant::TVariant(Currency Value) noexcept : FType(varCurrency), FInt(Value.Value) {}
TVariant::TVariant(const char* Value) : FType(varString), FInt(0), FStr(Value ? Value : "") {}
TVariant::TVariant(std::string_view Value) : FType(varString), FInt(0), FStr(Value) {}
TVariant::TVariant(std::string Value) noexcept : FType(varString), FInt(0), FStr(std::move(Value)) {}

TVariant TVariant::FromOrdinal(int64_t Value, TVarType Type) noexcept {
    TVariant v;
    v.FType = Type;
    v.FInt = Value;
    return v;
}

TVariant TVariant::MakeNull() noexcept {
    TVariant v;
    v.FType = varNull;
    return v;
}

TVariant TVariant::MakeDate(TDateTime Value) noexcept { return A::MakeFloat(Value, varDate); }

TVariant TVariant::MakeArray(std::unique_ptr<TVarArrayData> Data) {
    TVariant v;
    v.FType = varArray | Data->ElemType;
    v.FArray = std::move(Data);
    return v;
}

int TVariant::AsInteger() const {
    if (FType == varInteger) return int(FInt);
    int64_t v = ToInt64(*this, varInteger);
    if (v < INT32_MIN || v > INT32_MAX) RaiseOverflow(FType, varInteger);
    return int(v);
}

int64_t TVariant::AsInt64() const { return ToInt64(*this, varInt64); }
double TVariant::AsDouble() const { return ToDouble(*this, varDouble); }
Currency TVariant::AsCurrency() const { return Currency::FromScaled(ToCurrencyScaled(*this)); }
bool TVariant::AsBoolean() const { return ToBool(*this); }
std::string TVariant::AsString() const { return ToText(*this); }
TDateTime TVariant::AsDateTime() const { return ToDate(*this); }

TVariant TVariant::operator[](int Index) const {
    const TVarArrayData& d = ArrayOf(*this);
    return d.Items[LinearIndex(d, &Index, 1)];
}

void TVariant::Put(int Index, const TVariant& Value) {
    TVarArrayData& d = ArrayOf(*this);
    StoreElement(d, LinearIndex(d, &Index, 1), Value);
}

bool operator==(const TVariant& L, const TVariant& R) { return Compare(L, R) == TOrder::Equal; }
bool operator<(const TVariant& L, const TVariant& R) { return Compare(L, R) == TOrder::Less; }
bool operator<=(const TVariant& L, const TVariant& R) { return Compare(L, R) != TOrder::Greater; }

TVariant operator+(const TVariant& L, const TVariant& R) { return Arith(L, R, TOp::Add); }
TVariant operator-(const TVariant& L, const TVariant& R) { return Arith(L, R, TOp::Sub); }
TVariant operator*(const TVariant& L, const TVariant& R) { return Arith(L, R, TOp::Mul); }
TVariant operator/(const TVariant& L, const TVariant& R) { return Arith(L, R, TOp::Div); }

TVariant TVariant::operator-() const {
    if (IsArray()) RaiseInvalidOperation();
    switch (FType) {
        case varNull:
        case varEmpty:
            return *this;
        case varCurrency:
            if (FInt == INT64_MIN) RaiseArithmeticOverflow(varCurrency);
            return A::MakeCurrencyScaled(-FInt);
        case varSingle:
        case varDouble:
        case varDate:
            return A::MakeFloat(-FDouble, FType);
        case varString:
            return TVariant(-ToDouble(*this, varDouble));
        default: {
            int64_t v = ToInt64(*this, varInt64);
            if (v == INT64_MIN) return TVariant(-double(v));
            return IntegerResult(-v, FType == varInt64);
        }
    }
}

// ---- free functions ----

TVariant Null() { return TVariant::MakeNull(); }
TVariant Unassigned() { return TVariant(); }
TVariant VarFromDateTime(TDateTime Value) { return TVariant::MakeDate(Value); }

TVarType VarType(const TVariant& V) { return V.VType(); }
bool VarIsEmpty(const TVariant& V) { return V.IsEmpty(); }
bool VarIsNull(const TVariant& V) { return V.IsNull(); }
bool VarIsArray(const TVariant& V) { return V.IsArray(); }
bool VarIsOrdinal(const TVariant& V) { return V.VType() == varBoolean || IsOrdinalType(V.VType()); }
bool VarIsFloat(const TVariant& V) {
    TVarType t = V.VType();
    return t == varSingle || t == varDouble || t == varCurrency;
}
bool VarIsNumeric(const TVariant& V) { return VarIsOrdinal(V) || VarIsFloat(V); }
bool VarIsStr(const TVariant& V) { return V.VType() == varString; }
void VarClear(TVariant& V) { V = TVariant(); }

std::string VarTypeAsText(TVarType Type) {
    std::string prefix;
    if (Type & varArray) prefix = "Array ";
    switch (Type & varTypeMask) {
        case varEmpty: return prefix + "Empty";
        case varNull: return prefix + "Null";
        case varSmallint: return prefix + "Smallint";
        case varInteger: return prefix + "Integer";
        case varSingle: return prefix + "Single";
        case varDouble: return prefix + "Double";
        case varCurrency: return prefix + "Currency";
        case varDate: return prefix + "Date";
        case varBoolean: return prefix + "Boolean";
        case varVariant: return prefix + "Variant";
        case varShortInt: return prefix + "ShortInt";
        case varByte: return prefix + "Byte";
        case varWord: return prefix + "Word";
        case varLongWord: return prefix + "LongWord";
        case varInt64: return prefix + "Int64";
        case varString: return prefix + "String";
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "$%04X", unsigned(Type & varTypeMask));
            return prefix + buf;
        }
    }
}

TVariant VarAsType(const TVariant& V, TVarType Type) {
    if (Type == V.VType() || Type == varVariant) return V;
    if (V.IsArray() || (Type & varArray)) RaiseInvalidConversion();
    switch (Type) {
        case varEmpty: return TVariant();
        case varNull: return Null();
        default: break;
    }
    if (V.IsNull()) RaiseInvalidConversion();
    if (IsOrdinalType(Type)) {
        int64_t v = ToInt64(V, Type);
        int64_t lo, hi;
        OrdinalRange(Type, lo, hi);
        if (v < lo || v > hi) RaiseOverflow(V.VType(), Type);
        return TVariant::FromOrdinal(v, Type);
    }
    switch (Type) {
        case varBoolean: return TVariant(ToBool(V));
        case varSingle: {
            double d = ToDouble(V, varSingle);
            if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) RaiseOverflow(V.VType(), Type);
            return TVariant(float(d));
        }
        case varDouble: return TVariant(ToDouble(V, varDouble));
        case varCurrency: return TVariant(Currency::FromScaled(ToCurrencyScaled(V)));
        case varDate: return VarFromDateTime(ToDate(V));
        case varString: return TVariant(ToText(V));
        default:
            throw EVariantError("Variant type " + VarTypeAsText(Type) + " is not supported");
    }
}

std::string VarToStr(const TVariant& V) { return V.IsNull() ? std::string() : V.AsString(); }

std::string VarToStrDef(const TVariant& V, const std::string& Default) {
    return V.IsNull() ? Default : V.AsString();
}

TVariantRelationship VarCompareValue(const TVariant& L, const TVariant& R) {
    bool lnone = L.IsNull() || L.IsEmpty(), rnone = R.IsNull() || R.IsEmpty();
    if (lnone || rnone) return lnone && rnone && L.VType() == R.VType() ? vrEqual : vrNotEqual;
    switch (Compare(L, R)) {
        case TOrder::Less: return vrLessThan;
        case TOrder::Greater: return vrGreaterThan;
        default: return vrEqual;
    }
}

TVariant VarArrayCreate(std::initializer_list<int> Bounds, TVarType ElementType) {
    return VarArrayCreate(std::vector<int>(Bounds), ElementType);
}

TVariant VarArrayCreate(const std::vector<int>& Bounds, TVarType ElementType) {
    if (Bounds.empty() || Bounds.size() % 2 != 0 || Bounds.size() > 2 * 64)
        throw EVariantError("Variant array bounds must come in low/high pairs, one pair per dimension");
    if (!IsValidElementType(ElementType))
        throw EVariantError("Variant arrays cannot hold elements of type (" + VarTypeAsText(ElementType) + ")");
    auto data = std::make_unique<TVarArrayData>();
    data->ElemType = ElementType;
    int64_t total = 1;
    for (size_t i = 0; i < Bounds.size(); i += 2) {
        int64_t count = int64_t(Bounds[i + 1]) - Bounds[i] + 1;
        if (count < 0 || count > INT32_MAX)
            throw EVariantError("Variant array bounds error: high bound " + std::to_string(Bounds[i + 1]) +
                                " is below low bound " + std::to_string(Bounds[i]));
        total *= count;
        if (total > (int64_t(1) << 28)) throw EVariantError("Variant array too large");
        data->Bounds.push_back(TVarArrayBound{int(count), Bounds[i]});
    }
    data->Items.assign(size_t(total), DefaultElement(ElementType));
    return TVariant::MakeArray(std::move(data));
}

TVariant VarArrayOf(std::initializer_list<TVariant> Values) { return VarArrayOf(std::vector<TVariant>(Values)); }

TVariant VarArrayOf(const std::vector<TVariant>& Values) {
    auto data = std::make_unique<TVarArrayData>();
    data->ElemType = varVariant;
    data->Bounds.push_back(TVarArrayBound{int(Values.size()), 0});
    data->Items = Values;
    return TVariant::MakeArray(std::move(data));
}

int VarArrayDimCount(const TVariant& V) {
    const TVarArrayData* d = V.ArrayData();
    return d ? int(d->Bounds.size()) : 0;
}

int VarArrayLowBound(const TVariant& V, int Dim) {
    const TVarArrayData& d = ArrayOf(V);
    if (Dim < 1 || size_t(Dim) > d.Bounds.size()) RaiseBounds();
    return d.Bounds[size_t(Dim - 1)].LowBound;
}

int VarArrayHighBound(const TVariant& V, int Dim) {
    const TVarArrayData& d = ArrayOf(V);
    if (Dim < 1 || size_t(Dim) > d.Bounds.size()) RaiseBounds();
    const TVarArrayBound& b = d.Bounds[size_t(Dim - 1)];
    return int(int64_t(b.LowBound) + b.ElementCount - 1);
}

TVariant VarArrayGet(const TVariant& V, std::initializer_list<int> Indices) {
    const TVarArrayData& d = ArrayOf(V);
    return d.Items[LinearIndex(d, Indices.begin(), Indices.size())];
}

void VarArrayPut(TVariant& V, const TVariant& Value, std::initializer_list<int> Indices) {
    TVarArrayData& d = ArrayOf(V);
    StoreElement(d, LinearIndex(d, Indices.begin(), Indices.size()), Value);
}

void VarArrayRedim(TVariant& V, int HighBound) {
    TVarArrayData& d = ArrayOf(V);
    TVarArrayBound& last = d.Bounds.back();
    int64_t count = int64_t(HighBound) - last.LowBound + 1;
    if (count < 0) RaiseBounds();
    size_t slice = d.Items.size() / (last.ElementCount ? size_t(last.ElementCount) : 1);
    if (last.ElementCount == 0) {
        slice = 1;
        for (size_t i = 0; i + 1 < d.Bounds.size(); ++i) slice *= size_t(d.Bounds[i].ElementCount);
    }
    last.ElementCount = int(count);
    d.Items.resize(slice * size_t(count), DefaultElement(d.ElemType));
}

}  // namespace host
