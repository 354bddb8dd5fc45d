// Variants: type codes, conversions and their errors, Null/Empty rules, arithmetic, comparison and arrays.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "host/rtl/exceptions.h"
#include "host/rtl/variants.h"

using namespace host;

namespace {

// Runs F and returns the message of the EVariantError it raises ("" when none).
template <class F>
std::string VariantErrorOf(F&& f) {
    try {
        f();
    } catch (const EVariantError& e) {
        return e.Message();
    }
    return "";
}

TEST(VariantTypes, ConstructionPicksTheFrameworkTypeCode) {
    EXPECT_EQ(VarType(TVariant()), varEmpty);
    EXPECT_EQ(VarType(Null()), varNull);
    EXPECT_EQ(VarType(Unassigned()), varEmpty);
    EXPECT_EQ(VarType(TVariant(true)), varBoolean);
    EXPECT_EQ(VarType(TVariant(42)), varInteger);
    EXPECT_EQ(VarType(TVariant(int16_t(1))), varSmallint);
    EXPECT_EQ(VarType(TVariant(int8_t(1))), varShortInt);
    EXPECT_EQ(VarType(TVariant(uint8_t(1))), varByte);
    EXPECT_EQ(VarType(TVariant(uint16_t(1))), varWord);
    EXPECT_EQ(VarType(TVariant(5u)), varLongWord);
    EXPECT_EQ(VarType(TVariant(int64_t(1))), varInt64);
    EXPECT_EQ(VarType(TVariant(1.5f)), varSingle);
    EXPECT_EQ(VarType(TVariant(1.5)), varDouble);
    EXPECT_EQ(VarType(TVariant(Currency::FromScaled(15000))), varCurrency);
    EXPECT_EQ(VarType(VarFromDateTime(36526.5)), varDate);
    EXPECT_EQ(VarType(TVariant("abc")), varString);
    EXPECT_EQ(VarType(TVariant(std::string("abc"))), varString);
    EXPECT_EQ(TVariant('x').AsString(), "x");

    TVariant v = 3;
    v = "now a string";
    EXPECT_TRUE(VarIsStr(v));
    VarClear(v);
    EXPECT_TRUE(VarIsEmpty(v));
}

TEST(VariantTypes, Predicates) {
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_FALSE(VarIsNull(Unassigned()));
    EXPECT_TRUE(VarIsNumeric(TVariant(true)));
    EXPECT_TRUE(VarIsNumeric(TVariant(Currency{})));
    EXPECT_TRUE(VarIsNumeric(TVariant(int64_t(7))));
    EXPECT_FALSE(VarIsNumeric(VarFromDateTime(1)));
    EXPECT_FALSE(VarIsNumeric(TVariant("1")));
    EXPECT_FALSE(VarIsNumeric(Null()));
    EXPECT_TRUE(VarIsArray(VarArrayOf({1})));
    EXPECT_FALSE(VarIsArray(TVariant(1)));
    EXPECT_EQ(VarTypeAsText(varArray | varInteger), "Array Integer");
    EXPECT_EQ(VarTypeAsText(varString), "String");
}

TEST(VariantConversion, StringsReadAsNumbersWhenTheyHoldOne) {
    EXPECT_EQ(TVariant("12").AsInteger(), 12);
    EXPECT_EQ(TVariant("-7").AsInt64(), -7);
    EXPECT_EQ(TVariant("$FF").AsInteger(), 255);
    EXPECT_EQ(TVariant("12.5").AsInteger(), 12);  // rounds halves to even
    EXPECT_DOUBLE_EQ(TVariant("2.25").AsDouble(), 2.25);
    EXPECT_EQ(TVariant("2.5").AsCurrency().Value, 25000);
    EXPECT_TRUE(TVariant("true").AsBoolean());
    EXPECT_FALSE(TVariant("FALSE").AsBoolean());
    EXPECT_TRUE(TVariant("2").AsBoolean());
    EXPECT_FALSE(TVariant("0").AsBoolean());
    EXPECT_EQ(VarType(VarAsType(TVariant("7"), varSmallint)), varSmallint);
    EXPECT_EQ(VarAsType(TVariant("7"), varSmallint).AsInteger(), 7);
}

TEST(VariantConversion, TextThatIsNoNumberRaisesNamingBothTypes) {
    TVariant abc("abc");
    EXPECT_EQ(VariantErrorOf([&] { abc.AsInteger(); }),
              "Could not convert variant of type (String) into type (Integer)");
    EXPECT_EQ(VariantErrorOf([&] { abc.AsDouble(); }), "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(VariantErrorOf([&] { abc.AsBoolean(); }),
              "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_EQ(VariantErrorOf([&] { abc.AsDateTime(); }), "Could not convert variant of type (String) into type (Date)");
    EXPECT_EQ(VariantErrorOf([&] { VarAsType(abc, varByte); }),
              "Could not convert variant of type (String) into type (Byte)");
}

TEST(VariantConversion, NullRaisesEmptyReadsAsZero) {
    EXPECT_EQ(VariantErrorOf([] { Null().AsInteger(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { Null().AsDouble(); }), "Invalid variant type conversion");
    EXPECT_EQ(VariantErrorOf([] { Null().AsString(); }), "Invalid variant type conversion");
    EXPECT_EQ(VarToStr(Null()), "");
    EXPECT_EQ(VarToStrDef(Null(), "n/a"), "n/a");
    EXPECT_EQ(VarToStrDef(Unassigned(), "n/a"), "");
    EXPECT_EQ(Unassigned().AsInteger(), 0);
    EXPECT_EQ(Unassigned().AsString(), "");
    EXPECT_FALSE(Unassigned().AsBoolean());
    EXPECT_TRUE(VarIsNull(VarAsType(TVariant(3), varNull)));
}

TEST(VariantConversion, ScalarsToTextAndBack) {
    EXPECT_EQ(TVariant(true).AsString(), "True");
    EXPECT_EQ(TVariant(false).AsString(), "False");
    EXPECT_EQ(TVariant(true).AsInteger(), -1);
    EXPECT_EQ(TVariant(-5).AsString(), "-5");
    EXPECT_EQ(TVariant(int64_t(1) << 40).AsString(), "1099511627776");
    EXPECT_EQ(TVariant(0.1).AsString(), "0.1");
    EXPECT_EQ(TVariant(1e20).AsString(), "1E20");
    EXPECT_EQ(TVariant(Currency::FromScaled(12345)).AsString(), "1.2345");
    EXPECT_EQ(TVariant(Currency::FromScaled(INT64_MAX)).AsString(), "922337203685477.5807");

    TVariant date = VarFromDateTime(36527.25);
    TVariant text = VarAsType(date, varString);
    EXPECT_TRUE(VarIsStr(text));
    EXPECT_DOUBLE_EQ(text.AsDateTime(), 36527.25);
}

TEST(VariantConversion, NumbersRoundAndRangeCheck) {
    EXPECT_EQ(TVariant(2.5).AsInteger(), 2);
    EXPECT_EQ(TVariant(3.5).AsInteger(), 4);
    EXPECT_EQ(TVariant(-2.5).AsInteger(), -2);
    EXPECT_EQ(TVariant(Currency::FromScaled(25000)).AsInteger(), 2);
    EXPECT_EQ(TVariant(1.23456).AsCurrency().Value, 12346);
    EXPECT_EQ(TVariant(7).AsCurrency().Value, 70000);
    EXPECT_THROW(TVariant(int64_t(1) << 40).AsInteger(), EVariantError);
    EXPECT_THROW(VarAsType(TVariant(300), varByte), EVariantError);
    EXPECT_THROW(VarAsType(TVariant(-1), varWord), EVariantError);
    EXPECT_THROW(TVariant(1e300).AsInt64(), EVariantError);
    EXPECT_EQ(VarAsType(TVariant(255), varByte).AsInteger(), 255);
    EXPECT_EQ(VarType(VarAsType(TVariant(1), varBoolean)), varBoolean);
}

TEST(VariantConversion, CopiesAreIndependent) {
    TVariant a = VarArrayOf({1, "two"});
    TVariant b = a;
    b.Put(0, 9);
    EXPECT_EQ(a[0].AsInteger(), 1);
    EXPECT_EQ(b[0].AsInteger(), 9);

    TVariant moved = std::move(b);
    EXPECT_TRUE(VarIsEmpty(b));  // NOLINT(bugprone-use-after-move): moved-from is Empty by design
    EXPECT_EQ(moved[1].AsString(), "two");
}

TEST(VariantCompare, NullEqualsOnlyNullAndOrdersFirst) {
    EXPECT_TRUE(Null() == Null());
    EXPECT_FALSE(Null() == 0);
    EXPECT_TRUE(Null() != 0);
    EXPECT_FALSE(Null() == Unassigned());
    EXPECT_TRUE(Null() < 0);
    EXPECT_TRUE(Null() < "");
    EXPECT_TRUE(TVariant(-100) > Null());
    EXPECT_FALSE(Null() < Null());
    EXPECT_TRUE(Null() <= Null());
    EXPECT_EQ(VarCompareValue(Null(), 1), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Unassigned(), 0), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
}

TEST(VariantCompare, EmptyMixedTypesAndStrings) {
    EXPECT_TRUE(Unassigned() == Unassigned());
    EXPECT_TRUE(Unassigned() == 0);
    EXPECT_TRUE(Unassigned() == "");
    EXPECT_TRUE(Unassigned() < 1);

    EXPECT_TRUE(TVariant("12") == 12);
    EXPECT_TRUE(TVariant(12) == "12.0");
    EXPECT_TRUE(TVariant(1) == 1.0);
    EXPECT_TRUE(TVariant(2) < 2.5);
    EXPECT_TRUE(TVariant(Currency::FromScaled(15000)) == 1.5);
    EXPECT_TRUE(TVariant(Currency::FromScaled(10001)) > 1);
    EXPECT_TRUE(TVariant(int64_t(INT64_MAX)) > TVariant(int64_t(INT64_MAX - 1)));
    EXPECT_TRUE(TVariant("abc") < "abd");
    EXPECT_TRUE(TVariant("B") < "a");  // byte order: case matters
    EXPECT_TRUE(TVariant(false) < true);
    EXPECT_EQ(VarCompareValue(1, 2), vrLessThan);
    EXPECT_EQ(VarCompareValue("b", "a"), vrGreaterThan);

    EXPECT_THROW((void)(TVariant("abc") == 12), EVariantError);
    EXPECT_EQ(VariantErrorOf([] { (void)(VarArrayOf({1}) == VarArrayOf({1})); }), "Invalid variant operation");
}

TEST(VariantArithmetic, NullPropagatesEmptyActsAsZero) {
    EXPECT_TRUE(VarIsNull(Null() + 1));
    EXPECT_TRUE(VarIsNull(TVariant(1) - Null()));
    EXPECT_TRUE(VarIsNull(Null() * "abc"));
    EXPECT_TRUE(VarIsNull(TVariant("x") + Null()));
    EXPECT_TRUE(VarIsNull(-Null()));
    EXPECT_EQ((Unassigned() + 5).AsInteger(), 5);
    EXPECT_EQ((Unassigned() + "x").AsString(), "x");
    EXPECT_TRUE(VarIsEmpty(Unassigned() + Unassigned()));
}

TEST(VariantArithmetic, ResultTypesAndWidening) {
    TVariant sum = TVariant("ab") + "cd";
    EXPECT_EQ(VarType(sum), varString);
    EXPECT_EQ(sum.AsString(), "abcd");

    TVariant mixed = TVariant("12") + 3;
    EXPECT_EQ(VarType(mixed), varDouble);
    EXPECT_EQ(mixed.AsInteger(), 15);

    EXPECT_EQ(VarType(TVariant(2) + 3), varInteger);
    EXPECT_EQ(VarType(TVariant(int16_t(2)) * int8_t(3)), varInteger);
    TVariant wide = TVariant(INT32_MAX) + 1;
    EXPECT_EQ(VarType(wide), varInt64);
    EXPECT_EQ(wide.AsInt64(), int64_t(INT32_MAX) + 1);
    TVariant huge = TVariant(int64_t(INT64_MAX)) + 1;
    EXPECT_EQ(VarType(huge), varDouble);
    EXPECT_EQ(VarType(TVariant(2) - 1.5), varDouble);
    EXPECT_EQ((-TVariant(5)).AsInteger(), -5);

    TVariant quotient = TVariant(7) / 2;
    EXPECT_EQ(VarType(quotient), varDouble);
    EXPECT_DOUBLE_EQ(quotient.AsDouble(), 3.5);

    TVariant money = TVariant(Currency::FromScaled(15000)) * 3;
    EXPECT_EQ(VarType(money), varCurrency);
    EXPECT_EQ(money.AsCurrency().Value, 45000);
    EXPECT_EQ((TVariant(Currency::FromScaled(10000)) / 3).AsCurrency().Value, 3333);
    EXPECT_EQ((TVariant(Currency::FromScaled(12345)) * TVariant(Currency::FromScaled(20000))).AsCurrency().Value,
              24690);

    TVariant day = VarFromDateTime(100.5);
    EXPECT_EQ(VarType(day + 1), varDate);
    EXPECT_DOUBLE_EQ((day + 1).AsDouble(), 101.5);
    EXPECT_EQ(VarType(day - VarFromDateTime(99.0)), varDouble);
    EXPECT_EQ(VarType(day - 1), varDate);

    TVariant acc = 1;
    acc += 2;
    acc *= 5;
    EXPECT_EQ(acc.AsInteger(), 15);
}

TEST(VariantArithmetic, Errors) {
    EXPECT_EQ(VariantErrorOf([] { (void)(TVariant("abc") - 1); }),
              "Could not convert variant of type (String) into type (Double)");
    EXPECT_THROW((void)(TVariant(1) / 0), EZeroDivide);
    EXPECT_THROW((void)(TVariant(1.5) / 0.0), EZeroDivide);
    EXPECT_THROW((void)(TVariant(0) / 0), EInvalidOp);
    EXPECT_THROW((void)(TVariant(Currency::FromScaled(1)) / 0), EZeroDivide);
    EXPECT_EQ(VariantErrorOf([] { (void)(VarArrayOf({1}) + 1); }), "Invalid variant operation");
    EXPECT_THROW((void)(TVariant(Currency::FromScaled(INT64_MAX)) + Currency::FromScaled(1)), EVariantError);
}

TEST(VariantArray, OneDimensionWithBounds) {
    TVariant a = VarArrayOf({1, "two", 3.0});
    EXPECT_EQ(VarType(a), varArray | varVariant);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);
    EXPECT_EQ(a[1].AsString(), "two");
    EXPECT_EQ(VarArrayGet(a, {2}).AsDouble(), 3.0);

    EXPECT_EQ(VariantErrorOf([&] { a[3]; }), "Variant array index out of bounds");
    EXPECT_EQ(VariantErrorOf([&] { a[-1]; }), "Variant array index out of bounds");
    EXPECT_EQ(VariantErrorOf([&] { a.Put(3, 0); }), "Variant array index out of bounds");
    EXPECT_EQ(VariantErrorOf([&] { VarArrayHighBound(a, 2); }), "Variant array index out of bounds");
    EXPECT_EQ(VariantErrorOf([] { VarArrayLowBound(TVariant(1), 1); }), "Variant is not an array");
    EXPECT_EQ(VariantErrorOf([] { TVariant(1)[0]; }), "Variant is not an array");
    EXPECT_EQ(VarArrayDimCount(TVariant(1)), 0);
    EXPECT_THROW(a.AsString(), EVariantError);

    a.Put(0, VarArrayOf({"inner"}));
    EXPECT_EQ(a[0][0].AsString(), "inner");
}

TEST(VariantArray, TypedElementsConvertOnPut) {
    TVariant a = VarArrayCreate({1, 3}, varInteger);
    EXPECT_EQ(VarType(a), varArray | varInteger);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    EXPECT_EQ(VarType(a[1]), varInteger);
    EXPECT_EQ(a[1].AsInteger(), 0);
    a.Put(2, "42");
    EXPECT_EQ(VarType(a[2]), varInteger);
    EXPECT_EQ(a[2].AsInteger(), 42);
    EXPECT_THROW(a.Put(2, "abc"), EVariantError);
    EXPECT_THROW(a[0], EVariantError);

    TVariant s = VarArrayCreate({0, 1}, varString);
    EXPECT_TRUE(VarIsStr(s[0]));
    s.Put(1, 2.5);
    EXPECT_EQ(s[1].AsString(), "2.5");

    TVariant v = VarArrayCreate({0, 1}, varVariant);
    EXPECT_TRUE(VarIsEmpty(v[0]));
}

TEST(VariantArray, TwoDimensionsAndRedim) {
    TVariant m = VarArrayCreate({0, 1, 10, 12}, varVariant);
    EXPECT_EQ(VarArrayDimCount(m), 2);
    EXPECT_EQ(VarArrayLowBound(m, 2), 10);
    EXPECT_EQ(VarArrayHighBound(m, 2), 12);
    VarArrayPut(m, "x", {1, 12});
    VarArrayPut(m, "y", {0, 12});
    EXPECT_EQ(VarArrayGet(m, {1, 12}).AsString(), "x");
    EXPECT_EQ(VarArrayGet(m, {0, 12}).AsString(), "y");
    EXPECT_TRUE(VarIsEmpty(VarArrayGet(m, {1, 11})));
    EXPECT_THROW(VarArrayGet(m, {2, 10}), EVariantError);
    EXPECT_THROW(VarArrayGet(m, {1, 13}), EVariantError);
    EXPECT_THROW(VarArrayGet(m, {1}), EVariantError);
    EXPECT_THROW(m[0], EVariantError);

    VarArrayRedim(m, 13);
    EXPECT_EQ(VarArrayHighBound(m, 2), 13);
    EXPECT_EQ(VarArrayGet(m, {1, 12}).AsString(), "x");
    EXPECT_TRUE(VarIsEmpty(VarArrayGet(m, {1, 13})));

    TVariant empty = VarArrayCreate({0, -1}, varVariant);
    EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
    EXPECT_THROW(empty[0], EVariantError);
    VarArrayRedim(empty, 1);
    EXPECT_TRUE(VarIsEmpty(empty[1]));

    EXPECT_THROW(VarArrayCreate({3, 1}, varVariant), EVariantError);
    EXPECT_THROW(VarArrayCreate({0, 1, 2}, varVariant), EVariantError);
    EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantError);
}

}  // namespace
