// Variant: the framework's self-describing value, its conversions, comparisons, arithmetic and arrays.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/rtl/currency.h"

namespace host {

using TDateTime = double;  // days since 30 December 1899, as in host/rtl/dates.h
using TVarType = uint16_t;

// The type codes of a variant (VarType). An array's code is varArray ORed with
// the code of its elements.
constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

// The result of VarCompareValue.
enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// One dimension of a variant array.
struct TVarArrayBound {
    int ElementCount;
    int LowBound;
};

class TVarArrayData;

// A value of any of the types above. Copying copies the value, arrays included.
// Conversions follow the framework: Empty reads as 0, "" or False; Null raises
// EVariantError "Invalid variant type conversion" when read as anything but a
// variant (VarToStr gives ""); strings convert to numbers when they hold one.
class TVariant {
public:
    TVariant() noexcept;
    TVariant(const TVariant& Other);
    TVariant(TVariant&& Other) noexcept;
    TVariant& operator=(const TVariant& Other);
    TVariant& operator=(TVariant&& Other) noexcept;
    ~TVariant();

    TVariant(bool Value) noexcept;
    // Integers take the type code of their size and sign: int → varInteger,
    // int16_t → varSmallint, uint8_t → varByte, int64_t → varInt64, ...
    template <class T>
        requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>)
    TVariant(T Value) noexcept : TVariant(FromOrdinal(static_cast<int64_t>(Value), IntegerTypeOf<T>())) {}
    TVariant(char Value);  // a one-character string
    TVariant(float Value) noexcept;
    TVariant(double Value) noexcept;
    TVariant(Currency Value) noexcept;
    TVariant(const char* Value);
    TVariant(std::string_view Value);
    TVariant(std::string Value) noexcept;
    TVariant(std::nullptr_t) = delete;
    // Any other pointer would otherwise turn into a Boolean.
    template <class T>
        requires(!std::is_same_v<std::remove_cv_t<T>, char>)
    TVariant(T*) = delete;

    // The type code (VarType).
    TVarType VType() const noexcept { return FType; }
    bool IsEmpty() const noexcept { return FType == varEmpty; }
    bool IsNull() const noexcept { return FType == varNull; }
    bool IsArray() const noexcept { return (FType & varArray) != 0; }

    // Conversions; each raises EVariantError when the value cannot be read as
    // that type, naming both types.
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    bool AsBoolean() const;
    std::string AsString() const;
    TDateTime AsDateTime() const;

    // Elements of a one-dimensional array, by index within its bounds; raise
    // EVariantError "Variant array index out of bounds" outside them. Put
    // converts the value to the array's element type.
    TVariant operator[](int Index) const;
    void Put(int Index, const TVariant& Value);

    // Comparisons: Null equals only Null and orders below every other value;
    // Empty reads as 0 or ""; a string compared with a number is read as a
    // number. Arrays cannot be compared (EVariantError).
    friend bool operator==(const TVariant& A, const TVariant& B);
    friend bool operator!=(const TVariant& A, const TVariant& B) { return !(A == B); }
    friend bool operator<(const TVariant& A, const TVariant& B);
    friend bool operator>(const TVariant& A, const TVariant& B) { return B < A; }
    friend bool operator<=(const TVariant& A, const TVariant& B);
    friend bool operator>=(const TVariant& A, const TVariant& B) { return B <= A; }

    // Arithmetic: Null with anything gives Null; string + string concatenates;
    // otherwise strings are read as numbers. Integers widen to Int64 and then to
    // Double instead of overflowing; / always divides exactly (Double or
    // Currency) and raises EZeroDivide on a zero divisor.
    friend TVariant operator+(const TVariant& A, const TVariant& B);
    friend TVariant operator-(const TVariant& A, const TVariant& B);
    friend TVariant operator*(const TVariant& A, const TVariant& B);
    friend TVariant operator/(const TVariant& A, const TVariant& B);
    TVariant operator-() const;
    TVariant& operator+=(const TVariant& B) { return *this = *this + B; }
    TVariant& operator-=(const TVariant& B) { return *this = *this - B; }
    TVariant& operator*=(const TVariant& B) { return *this = *this * B; }
    TVariant& operator/=(const TVariant& B) { return *this = *this / B; }

    // Construction helpers used by the free functions below.
    static TVariant FromOrdinal(int64_t Value, TVarType Type) noexcept;
    static TVariant MakeNull() noexcept;
    static TVariant MakeDate(TDateTime Value) noexcept;
    static TVariant MakeArray(std::unique_ptr<TVarArrayData> Data);

    // The array behind an array variant; nullptr for any other value.
    const TVarArrayData* ArrayData() const noexcept { return FArray.get(); }
    TVarArrayData* ArrayData() noexcept { return FArray.get(); }

private:
    template <class T>
    static constexpr TVarType IntegerTypeOf() {
        if constexpr (std::is_signed_v<T>) {
            if constexpr (sizeof(T) == 1) return varShortInt;
            else if constexpr (sizeof(T) == 2) return varSmallint;
            else if constexpr (sizeof(T) == 4) return varInteger;
            else return varInt64;
        } else {
            if constexpr (sizeof(T) == 1) return varByte;
            else if constexpr (sizeof(T) == 2) return varWord;
            else if constexpr (sizeof(T) == 4) return varLongWord;
            else return varInt64;  // values above INT64_MAX wrap
        }
    }

    friend class TVariantAccess;

    TVarType FType = varEmpty;
    union {
        int64_t FInt;  // ordinals, Boolean (0/1) and Currency (scaled by 10,000)
        double FDouble;  // Single, Double and Date
    };
    std::string FStr;
    std::unique_ptr<TVarArrayData> FArray;
};

using Variant = TVariant;

// The framework's Null and Unassigned values.
TVariant Null();
TVariant Unassigned();
// A varDate variant (TDateTime is a double, so a double alone makes a varDouble).
TVariant VarFromDateTime(TDateTime Value);

TVarType VarType(const TVariant& V);
bool VarIsEmpty(const TVariant& V);
bool VarIsNull(const TVariant& V);
bool VarIsArray(const TVariant& V);
// Ordinal types and Boolean.
bool VarIsOrdinal(const TVariant& V);
// Single, Double and Currency.
bool VarIsFloat(const TVariant& V);
// VarIsOrdinal or VarIsFloat (Date is not numeric).
bool VarIsNumeric(const TVariant& V);
bool VarIsStr(const TVariant& V);
// Sets V to Empty.
void VarClear(TVariant& V);

// The type's name as the conversion messages spell it ("Integer", "String", "Array Double").
std::string VarTypeAsText(TVarType Type);
// V converted to Type; raises EVariantError when it cannot be.
TVariant VarAsType(const TVariant& V, TVarType Type);
// V as text; Null gives "" (VarToStr) or Default (VarToStrDef).
std::string VarToStr(const TVariant& V);
std::string VarToStrDef(const TVariant& V, const std::string& Default);
TVariantRelationship VarCompareValue(const TVariant& A, const TVariant& B);

// Variant arrays. Bounds come in pairs {low1, high1, low2, high2, ...}; an
// array of varVariant holds Empty elements, a typed array zeros, "" or False.
TVariant VarArrayCreate(std::initializer_list<int> Bounds, TVarType ElementType);
TVariant VarArrayCreate(const std::vector<int>& Bounds, TVarType ElementType);
// A one-dimensional array of varVariant from 0 to Count - 1.
TVariant VarArrayOf(std::initializer_list<TVariant> Values);
TVariant VarArrayOf(const std::vector<TVariant>& Values);
// The number of dimensions; 0 for a variant that is not an array.
int VarArrayDimCount(const TVariant& A);
// Dimensions are numbered from 1. These raise EVariantError "Variant is not an
// array" on other values, and "Variant array index out of bounds" on a bad dimension.
int VarArrayLowBound(const TVariant& A, int Dim);
int VarArrayHighBound(const TVariant& A, int Dim);
// Element access with one index per dimension.
TVariant VarArrayGet(const TVariant& A, std::initializer_list<int> Indices);
void VarArrayPut(TVariant& A, const TVariant& Value, std::initializer_list<int> Indices);
// Changes the high bound of the last dimension, keeping the elements that stay.
void VarArrayRedim(TVariant& A, int HighBound);

}  // namespace host
