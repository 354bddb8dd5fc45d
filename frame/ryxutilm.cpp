// Integer limits and ceiling, and conversions between the framework's tagged argument records and variants.
#include "frame/ryxutilm.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"
#include "host/rtl/variants.h"

namespace ryx {

int ryxMinMaxNotDefault(int Value, int Min, int Max, int Default) {
    if (Value < Min && Min != Default) return Min;
    if (Value <= Max) return Value;
    if (Max != Default) return Max;
    return Value;
}

int ryxMinMax(int Value, int Min, int Max) {
    if (Value < Min) return Min;
    return std::min(Value, Max);
}

int ryxMin(int A, int B) { return A < B ? A : B; }
int ryxMax(int A, int B) { return A > B ? A : B; }

int ryxMinArray(std::span<const int> Values) {
    if (Values.empty()) throw host::ERangeError("ryxMinArray: the array is empty");
    return *std::min_element(Values.begin(), Values.end());
}

int ryxMaxArray(std::span<const int> Values) {
    if (Values.empty()) throw host::ERangeError("ryxMaxArray: the array is empty");
    return *std::max_element(Values.begin(), Values.end());
}

int64_t ryxCeil(long double X) {
    long double t = std::trunc(X);
    // 2^63 bounds: anything at or beyond them (or NaN) cannot be an Int64.
    constexpr long double kLimit = 9223372036854775808.0L;
    if (!(t >= -kLimit && t < kLimit)) throw host::ERangeError("ryxCeil: value out of the 64-bit integer range");
    int64_t r = static_cast<int64_t>(t);
    if (X - t > 0) {
        if (r == INT64_MAX) throw host::ERangeError("ryxCeil: value out of the 64-bit integer range");
        ++r;
    }
    return r;
}

host::TVariant ryxVarRecToVariant(const host::TVarRec& Rec) {
    switch (Rec.VType) {
        case host::vtInteger: return host::TVariant(static_cast<int>(Rec.AsInt64()));
        case host::vtBoolean: return host::TVariant(Rec.AsBoolean());
        case host::vtChar:
        case host::vtAnsiString: return host::TVariant(Rec.AsString());
        case host::vtExtended: return host::TVariant(Rec.AsFloat());
        case host::vtCurrency: return host::TVariant(Rec.AsCurrency());
        case host::vtInt64:
            if (Rec.IsUnsigned()) {
                // Values above INT64_MAX keep their magnitude as a Double.
                uint64_t u = static_cast<uint64_t>(Rec.AsInt64());
                if (u > static_cast<uint64_t>(INT64_MAX)) return host::TVariant(static_cast<double>(u));
            }
            return host::TVariant(static_cast<int64_t>(Rec.AsInt64()));
        case host::vtPointer:
            if (!Rec.AsPointer()) return host::Null();
            throw host::EVariantError("A pointer argument cannot be held by a variant");
    }
    throw host::EVariantError("Unknown argument record type " + std::to_string(static_cast<int>(Rec.VType)));
}

host::TVariant ryxConstArrayToVariantArray(std::span<const host::TVarRec> Recs) {
    std::vector<host::TVariant> values;
    values.reserve(Recs.size());
    for (const host::TVarRec& r : Recs) values.push_back(ryxVarRecToVariant(r));
    return host::VarArrayOf(values);
}

host::TVarRec ryxVariantToVarRec(const host::TVariant& V) {
    if (V.IsArray()) throw host::EVariantError("A variant array cannot be turned into one argument record");
    switch (V.VType() & host::varTypeMask) {
        case host::varEmpty:
        case host::varNull: return host::TVarRec(nullptr);
        case host::varSmallint:
        case host::varInteger:
        case host::varShortInt:
        case host::varByte:
        case host::varWord: return host::TVarRec(V.AsInteger());
        case host::varLongWord:
        case host::varInt64: return host::TVarRec(static_cast<long long>(V.AsInt64()));
        case host::varSingle:
        case host::varDouble:
        case host::varDate: return host::TVarRec(V.AsDouble());
        case host::varCurrency: return host::TVarRec(V.AsCurrency());
        case host::varBoolean: return host::TVarRec(V.AsBoolean());
        case host::varString: return host::TVarRec(V.AsString());
        default: break;
    }
    throw host::EVariantError("A variant of type " + host::VarTypeAsText(V.VType()) +
                              " cannot be turned into an argument record");
}

std::vector<host::TVarRec> ryxVariantToVarRecArray(const host::TVariant& V) {
    std::vector<host::TVarRec> R;
    if (!V.IsArray()) {
        R.push_back(ryxVariantToVarRec(V));
        return R;
    }
    if (host::VarArrayDimCount(V) != 1)
        throw host::EVariantError("Only one-dimensional variant arrays can be turned into argument records");
    int lo = host::VarArrayLowBound(V, 1), hi = host::VarArrayHighBound(V, 1);
    for (int i = lo; i <= hi; ++i) R.push_back(ryxVariantToVarRec(V[i]));
    return R;
}

}  // namespace ryx
