// Tests of TParams and TParam: names, types from setters, native buffers, conversions and copying values.
#include <gtest/gtest.h>

#include <cstring>

#include "host/db/db.h"
#include "host/rtl/dates.h"

using namespace host;

TEST(Params, NamesTypesAndValues) {
    TParams params;
    TParam* id = params.CreateParam(ftInteger, "ID", ptInput);
    TParam* name = params.CreateParam(ftUnknown, "Name", ptInputOutput);
    TParam* result = params.CreateParam(ftFloat, "RESULT", ptResult);
    EXPECT_EQ(params.Count(), 3);
    EXPECT_EQ(params.ParamByName("name"), name);
    EXPECT_EQ(params.FindParam("nope"), nullptr);
    try {
        params.ParamByName("nope");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Parameter 'nope' not found");
    }
    EXPECT_TRUE(id->IsNull());
    EXPECT_FALSE(id->Bound());
    id->SetAsInteger(12);
    EXPECT_TRUE(id->Bound());
    EXPECT_EQ(id->AsString(), "12");
    name->SetAsString("Ann");
    EXPECT_EQ(name->DataType(), ftString);
    name->SetValue(Variant(5));  // the type stays once known
    EXPECT_EQ(name->DataType(), ftString);
    EXPECT_EQ(result->ParamType(), ptResult);

    TParam* fresh = params.CreateParam(ftUnknown, "X", ptInput);
    fresh->SetValue(Variant(2.5));
    EXPECT_EQ(fresh->DataType(), ftFloat);
    fresh->SetAsDate(EncodeDate(2021, 1, 2));
    EXPECT_EQ(fresh->DataType(), ftDate);
    EXPECT_EQ(fresh->AsDateTime(), EncodeDate(2021, 1, 2));
    fresh->SetDataType(ftString);  // the value converts with the type
    EXPECT_TRUE(VarIsStr(fresh->Value()));

    // Text keeps the declared type and converts.
    id->SetText("77");
    EXPECT_EQ(VarType(id->Value()), varInteger);
    EXPECT_THROW(id->SetText("seven"), EConvertError);
    EXPECT_EQ(id->AsInteger(), 77);

    Variant both = params.ParamValues("ID;Name");
    EXPECT_EQ(both[0].AsInteger(), 77);
    params.SetParamValues("ID;X", VarArrayOf({Variant(1), Variant("y")}));
    EXPECT_EQ(id->AsInteger(), 1);
    EXPECT_EQ(fresh->AsString(), "y");
    id->Clear();
    EXPECT_TRUE(id->IsNull());
}

TEST(Params, NativeBuffersAndCopies) {
    TParams params;
    TParam* s = params.CreateParam(ftString, "S", ptInput);
    TParam* i = params.CreateParam(ftSmallint, "I", ptInput);
    TParam* d = params.CreateParam(ftDateTime, "D", ptOutput);
    TParam* b = params.CreateParam(ftBoolean, "B", ptOutput);
    s->SetData("hello");
    EXPECT_EQ(s->AsString(), "hello");
    EXPECT_EQ(s->GetDataSize(), 6);
    char buf[16] = {};
    s->GetData(buf);
    EXPECT_STREQ(buf, "hello");
    int16_t v = -7;
    i->SetData(&v);
    EXPECT_EQ(i->AsInteger(), -7);
    EXPECT_EQ(i->GetDataSize(), 2);
    double stamp = (EncodeDate(2000, 1, 1) + 693594) * 86400000.0 + 3600000.0;
    d->SetData(&stamp);
    EXPECT_NEAR(d->AsDateTime(), EncodeDateTime(2000, 1, 1, 1, 0, 0, 0), 1e-9);
    double back = 0;
    d->GetData(&back);
    EXPECT_DOUBLE_EQ(back, stamp);
    uint16_t t = 1;
    b->SetData(&t);
    EXPECT_TRUE(b->AsBoolean());
    b->SetData(nullptr);
    EXPECT_TRUE(b->IsNull());
    EXPECT_TRUE(b->Bound());

    TParams other;
    other.CreateParam(ftUnknown, "s", ptUnknown);
    other.CreateParam(ftUnknown, "Z", ptUnknown);
    other.AssignValues(&params);
    EXPECT_EQ(other.ParamByName("S")->AsString(), "hello");
    EXPECT_EQ(other.ParamByName("S")->Name(), "s");  // keeps its own name
    EXPECT_TRUE(other.ParamByName("Z")->IsNull());
    TParams copy;
    copy.Assign(&params);
    EXPECT_TRUE(copy.IsEqual(&params));
    copy.Items(0)->SetAsString("bye");
    EXPECT_FALSE(copy.IsEqual(&params));
}
