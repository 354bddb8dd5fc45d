// Tests of the integer limit routines, the ceiling and the argument-record/variant conversions.
#include "frame/ryxutilm.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"
#include "host/rtl/variants.h"

using namespace ryx;

TEST(RyxUtilM, Limits) {
    EXPECT_EQ(ryxMinMaxNotDefault(150, 200, -1, -1), 200);
    EXPECT_EQ(ryxMinMaxNotDefault(5000, 200, -1, -1), 5000);
    EXPECT_EQ(ryxMinMaxNotDefault(50, -1, 40, -1), 40);
    EXPECT_EQ(ryxMinMaxNotDefault(-5, -1, 40, -1), -5);
    EXPECT_EQ(ryxMinMax(5, 10, 20), 10);
    EXPECT_EQ(ryxMinMax(25, 10, 20), 20);
    EXPECT_EQ(ryxMinMax(15, 10, 20), 15);
    EXPECT_EQ(ryxMin(-3, 2), -3);
    EXPECT_EQ(ryxMax(-3, 2), 2);
    std::vector<int> v{4, -7, 12, 0};
    EXPECT_EQ(ryxMinArray(v), -7);
    EXPECT_EQ(ryxMaxArray(v), 12);
    EXPECT_THROW(ryxMinArray({}), host::ERangeError);
    EXPECT_THROW(ryxMaxArray({}), host::ERangeError);
}

TEST(RyxUtilM, Ceil) {
    EXPECT_EQ(ryxCeil(2.0), 2);
    EXPECT_EQ(ryxCeil(2.1), 3);
    EXPECT_EQ(ryxCeil(-2.5), -2);
    EXPECT_EQ(ryxCeil(-0.5), 0);
    EXPECT_EQ(ryxCeil(1e15 + 0.5), 1000000000000001LL);
    EXPECT_THROW(ryxCeil(1e30), host::ERangeError);
}

TEST(RyxUtilM, VariantRoundTrips) {
    using host::TVarRec;
    std::vector<TVarRec> recs{TVarRec(42), TVarRec(true), TVarRec('c'), TVarRec(2.5), TVarRec("text"),
                              TVarRec(host::Currency::FromScaled(12345)), TVarRec(int64_t(1) << 40),
                              TVarRec(nullptr)};
    host::TVariant A = ryxConstArrayToVariantArray(recs);
    ASSERT_TRUE(A.IsArray());
    EXPECT_EQ(host::VarArrayLowBound(A, 1), 0);
    EXPECT_EQ(host::VarArrayHighBound(A, 1), 7);
    EXPECT_EQ(A[0].VType(), host::varInteger);
    EXPECT_EQ(A[1].VType(), host::varBoolean);
    EXPECT_EQ(A[2].AsString(), "c");
    EXPECT_DOUBLE_EQ(A[3].AsDouble(), 2.5);
    EXPECT_EQ(A[4].AsString(), "text");
    EXPECT_EQ(A[5].VType(), host::varCurrency);
    EXPECT_EQ(A[6].AsInt64(), int64_t(1) << 40);
    EXPECT_TRUE(A[7].IsNull());

    std::vector<TVarRec> back = ryxVariantToVarRecArray(A);
    ASSERT_EQ(back.size(), recs.size());
    EXPECT_EQ(back[0].VType, host::vtInteger);
    EXPECT_EQ(back[0].AsInt64(), 42);
    EXPECT_EQ(back[1].VType, host::vtBoolean);
    EXPECT_TRUE(back[1].AsBoolean());
    EXPECT_EQ(back[2].AsString(), "c");
    EXPECT_EQ(back[3].VType, host::vtExtended);
    EXPECT_DOUBLE_EQ(back[3].AsFloat(), 2.5);
    EXPECT_EQ(back[4].VType, host::vtAnsiString);
    EXPECT_EQ(back[4].AsString(), "text");
    EXPECT_EQ(back[5].VType, host::vtCurrency);
    EXPECT_EQ(back[5].AsCurrency().Value, 12345);
    EXPECT_EQ(back[6].VType, host::vtInt64);
    EXPECT_EQ(back[6].AsInt64(), int64_t(1) << 40);
    EXPECT_EQ(back[7].VType, host::vtPointer);
    EXPECT_EQ(back[7].AsPointer(), nullptr);

    EXPECT_EQ(ryxVariantToVarRecArray(host::TVariant(7)).size(), 1u);
    EXPECT_EQ(ryxConstArrayToVariantArray({}).IsArray(), true);
    int x = 0;
    EXPECT_THROW(ryxVarRecToVariant(TVarRec(&x)), host::EVariantError);
    EXPECT_THROW(ryxVariantToVarRec(A), host::EVariantError);
}
