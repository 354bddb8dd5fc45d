// Tests of TField and its descendants: native buffers, conversions and their errors, texts, validation and blobs.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "host/db/db.h"
#include "host/rtl/dates.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "memdataset.h"

using namespace host;

namespace {

// One record with a field of every storing type, in edit mode.
class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* d = ds.FieldDefs();
        d->Add("S", ftString, 8);
        d->Add("SI", ftSmallint);
        d->Add("I", ftInteger);
        d->Add("W", ftWord);
        d->Add("B", ftBoolean);
        d->Add("F", ftFloat);
        d->Add("C", ftCurrency);
        d->Add("BCD", ftBCD, 2);
        d->Add("D", ftDate);
        d->Add("T", ftTime);
        d->Add("DT", ftDateTime);
        d->Add("BY", ftBytes, 4);
        d->Add("VB", ftVarBytes, 6);
        d->Add("AI", ftAutoInc);
        d->Add("BL", ftBlob);
        d->Add("M", ftMemo);
        d->Add("G", ftGraphic);
        d->Add("FC", ftFixedChar, 5);
        d->Add("WS", ftWideString, 10);
        d->Add("L", ftLargeint);
        d->Add("GU", ftGuid);
        ds.Open();
        ds.Append();
    }
    TField* F(const char* name) { return ds.FieldByName(name); }
    TMemDataSet ds{nullptr};
};

TEST_F(FieldTest, ClassesSizesAndNativeLayout) {
    const char* classes[][2] = {{"S", "TStringField"},     {"SI", "TSmallintField"}, {"I", "TIntegerField"},
                                {"W", "TWordField"},       {"B", "TBooleanField"},   {"F", "TFloatField"},
                                {"C", "TCurrencyField"},   {"BCD", "TBCDField"},     {"D", "TDateField"},
                                {"T", "TTimeField"},       {"DT", "TDateTimeField"}, {"BY", "TBytesField"},
                                {"VB", "TVarBytesField"},  {"AI", "TAutoIncField"},  {"BL", "TBlobField"},
                                {"M", "TMemoField"},       {"G", "TGraphicField"},   {"FC", "TStringField"},
                                {"WS", "TWideStringField"}, {"L", "TLargeintField"}, {"GU", "TGuidField"}};
    for (auto& c : classes) EXPECT_EQ(F(c[0])->ClassName(), c[1]) << c[0];
    EXPECT_EQ(F("FC")->DataType(), ftFixedChar);
    EXPECT_EQ(F("S")->DataSize(), 9);
    EXPECT_EQ(F("SI")->DataSize(), 2);
    EXPECT_EQ(F("B")->DataSize(), 2);
    EXPECT_EQ(F("D")->DataSize(), 4);
    EXPECT_EQ(F("DT")->DataSize(), 8);
    EXPECT_EQ(F("VB")->DataSize(), 8);
    EXPECT_EQ(F("GU")->DataSize(), 39);
    EXPECT_EQ(F("I")->Alignment(), taRightJustify);
    EXPECT_EQ(F("S")->Alignment(), taLeftJustify);

    // Native values as the engine lays them out.
    F("SI")->SetAsInteger(-2);
    int16_t si = 0;
    ASSERT_TRUE(F("SI")->GetData(&si));
    EXPECT_EQ(si, -2);
    F("B")->SetAsBoolean(true);
    uint16_t b = 0;
    F("B")->GetData(&b);
    EXPECT_EQ(b, 1);
    F("D")->SetAsDateTime(EncodeDate(2020, 3, 1));
    int32_t days = 0;
    F("D")->GetData(&days);
    EXPECT_EQ(days, static_cast<int32_t>(EncodeDate(2020, 3, 1)) + 693594);
    EXPECT_EQ(F("D")->AsDateTime(), EncodeDate(2020, 3, 1));
    F("T")->SetAsDateTime(EncodeTime(13, 45, 10, 250));
    int32_t ms = 0;
    F("T")->GetData(&ms);
    EXPECT_EQ(ms, ((13 * 60 + 45) * 60 + 10) * 1000 + 250);
    F("DT")->SetAsDateTime(EncodeDateTime(2001, 2, 3, 4, 5, 6, 7));
    double stamp = 0;
    F("DT")->GetData(&stamp);
    EXPECT_DOUBLE_EQ(stamp, (EncodeDate(2001, 2, 3) + 693594) * 86400000.0 + ((4 * 60 + 5) * 60 + 6) * 1000 + 7);
    TDateTime viaNonNative = 0;
    F("DT")->GetData(&viaNonNative, false);
    EXPECT_NEAR(viaNonNative, EncodeDateTime(2001, 2, 3, 4, 5, 6, 7), 1e-9);
    // A date before 1899-12-30 keeps its time of day.
    TDateTime early = EncodeDateTime(1850, 6, 1, 18, 0, 0, 0);
    F("DT")->SetAsDateTime(early);
    EXPECT_NEAR(F("DT")->AsDateTime(), early, 1e-9);
    int y, m, d, h, n, s, z;
    DecodeDateTime(F("DT")->AsDateTime(), y, m, d, h, n, s, z);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18500601);
    EXPECT_EQ(h, 18);
    char str[9] = {};
    F("S")->SetAsString("hello");
    F("S")->GetData(str);
    EXPECT_STREQ(str, "hello");
    char native[9] = "bytes";
    F("S")->SetData(native);
    EXPECT_EQ(F("S")->AsString(), "bytes");
    F("VB")->SetAsString(std::string("\x01\x00\x02", 3));
    uint8_t vb[8] = {};
    F("VB")->GetData(vb);
    EXPECT_EQ(vb[0], 3);
    EXPECT_EQ(vb[1], 0);
    EXPECT_EQ(vb[4], 2);
    EXPECT_EQ(F("VB")->AsString(), std::string("\x01\x00\x02", 3));
    F("BY")->SetAsString("ab");
    EXPECT_EQ(F("BY")->AsString(), std::string("ab\0\0", 4));
    Variant bytes = F("BY")->Value();
    EXPECT_TRUE(VarIsArray(bytes));
    EXPECT_EQ(bytes[1].AsInteger(), 'b');
}

TEST_F(FieldTest, ConversionsAndTheirErrors) {
    auto expectError = [](auto fn, const std::string& cls, const std::string& msg) {
        try {
            fn();
            ADD_FAILURE() << "no exception for " << msg;
        } catch (Exception& e) {
            EXPECT_TRUE(e.InheritsFrom(cls.c_str())) << e.ClassName();
            EXPECT_EQ(e.Message(), msg);
        }
    };
    expectError([&] { F("I")->SetAsString("abc"); }, "EConvertError", "'abc' is not a valid integer value");
    expectError([&] { F("F")->SetAsString("1.2.3"); }, "EConvertError", "'1.2.3' is not a valid floating point value");
    expectError([&] { F("D")->SetAsString("31/31/2020"); }, "EConvertError", "'31/31/2020' is not a valid date");
    expectError([&] { F("B")->SetAsString("maybe"); }, "EConvertError",
                "'maybe' is not a valid boolean value for field 'B'");
    expectError([&] { F("SI")->SetAsInteger(40000); }, "EDatabaseError",
                "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767");
    expectError([&] { F("W")->SetAsInteger(-1); }, "EDatabaseError",
                "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535");
    expectError([&] { F("D")->AsBoolean(); }, "EDatabaseError", "Cannot access field 'D' as type Boolean");
    expectError([&] { F("BY")->SetAsInteger(1); }, "EDatabaseError", "Cannot access field 'BY' as type Integer");
    expectError([&] { F("GU")->SetAsString("{nope}"); }, "EConvertError", "'{nope}' is not a valid GUID value");
    F("S")->SetAsString("12x");
    expectError([&] { F("S")->AsInteger(); }, "EConvertError", "'12x' is not a valid integer value");
    // A failed conversion leaves the old value.
    F("I")->SetAsInteger(5);
    EXPECT_THROW(F("I")->SetAsString("five"), EConvertError);
    EXPECT_EQ(F("I")->AsInteger(), 5);

    // Between types.
    F("I")->SetAsString(" 42 ");
    EXPECT_EQ(F("I")->AsFloat(), 42.0);
    F("I")->SetAsFloat(2.5);  // halves to even
    EXPECT_EQ(F("I")->AsInteger(), 2);
    F("F")->SetAsString("2.25");
    EXPECT_EQ(F("F")->AsInteger(), 2);
    EXPECT_EQ(F("F")->AsString(), "2.25");
    F("C")->SetAsFloat(1234.5);
    EXPECT_EQ(F("C")->DisplayText(), "$1,234.50");
    EXPECT_EQ(F("C")->Text(), "1234.50");
    F("BCD")->SetAsString("12.3456");
    EXPECT_EQ(F("BCD")->AsCurrency(), Currency::FromScaled(123456));
    EXPECT_EQ(VarType(F("BCD")->Value()), varCurrency);
    F("L")->SetAsString("9000000000");
    EXPECT_EQ(static_cast<TLargeintField*>(F("L"))->AsLargeInt(), 9000000000LL);
    EXPECT_THROW(F("L")->AsInteger(), ERangeError);
    F("B")->SetAsString("t");
    EXPECT_TRUE(F("B")->AsBoolean());
    EXPECT_EQ(F("B")->AsString(), "True");
    static_cast<TBooleanField*>(F("B"))->SetDisplayValues("Yes;No");
    EXPECT_EQ(F("B")->AsString(), "Yes");
    F("B")->SetAsString("no");
    EXPECT_FALSE(F("B")->AsBoolean());
    F("FC")->SetAsString("ab");
    EXPECT_EQ(F("FC")->AsString(), "ab");
    F("WS")->SetAsString("abcdefghi\xC3\xA9!");  // cut before a character that does not fit whole
    EXPECT_EQ(F("WS")->AsString(), "abcdefghi");
    F("S")->SetAsVariant(Variant(3.5));
    EXPECT_EQ(F("S")->AsString(), "3.5");
    F("I")->SetValue(Variant("17"));
    EXPECT_EQ(F("I")->Value().AsInteger(), 17);
    F("GU")->SetAsString("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(F("GU")->AsString(), "{01234567-89AB-CDEF-0123-456789ABCDEF}");

    // Null handling.
    F("I")->Clear();
    EXPECT_TRUE(F("I")->IsNull());
    EXPECT_TRUE(VarIsNull(F("I")->Value()));
    EXPECT_EQ(F("I")->AsInteger(), 0);
    EXPECT_EQ(F("I")->AsString(), "");
    F("S")->SetAsString("");
    EXPECT_TRUE(F("S")->IsNull());
    F("D")->AssignValue(Null());
    EXPECT_TRUE(F("D")->IsNull());

    // Formats.
    static_cast<TNumericField*>(F("F"))->SetDisplayFormat("0.000");
    F("F")->SetAsFloat(3.14159);
    EXPECT_EQ(F("F")->DisplayText(), "3.142");
    EXPECT_EQ(F("F")->Text(), "3.142");  // without an EditFormat, editing shows the display format
    static_cast<TNumericField*>(F("F"))->SetEditFormat("0.00000");
    EXPECT_EQ(F("F")->Text(), "3.14159");
    static_cast<TDateTimeField*>(F("D"))->SetDisplayFormat("yyyy-mm-dd");
    F("D")->SetAsDateTime(EncodeDate(1999, 12, 31));
    EXPECT_EQ(F("D")->DisplayText(), "1999-12-31");
    EXPECT_EQ(F("D")->AsString(), "12/31/1999");
}

TEST_F(FieldTest, ValidationEventsAndModifiability) {
    std::vector<std::string> log;
    F("I")->OnValidate = [&](TField* f) {
        log.push_back("validate " + f->AsString());  // sees the new value
        if (f->AsInteger() < 0) throw EDatabaseError("negative");
    };
    F("I")->OnChange = [&](TField* f) { log.push_back("change " + f->AsString()); };
    F("I")->SetAsInteger(7);
    EXPECT_THROW(F("I")->SetAsInteger(-3), EDatabaseError);
    EXPECT_EQ(F("I")->AsInteger(), 7);  // refused values are not stored
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "validate 7");
    EXPECT_EQ(log[1], "change 7");
    EXPECT_EQ(log[2], "validate -3");

    F("S")->OnGetText = [](TField* f, std::string& text, bool display) {
        text = (display ? "<" : "[") + f->AsString() + (display ? ">" : "]");
    };
    F("S")->OnSetText = [](TField* f, const std::string& text) { f->SetAsString(UpperCase(text)); };
    F("S")->SetText("abc");
    EXPECT_EQ(F("S")->AsString(), "ABC");
    EXPECT_EQ(F("S")->DisplayText(), "<ABC>");
    EXPECT_EQ(F("S")->Text(), "[ABC]");

    F("S")->SetReadOnly(true);
    EXPECT_FALSE(F("S")->CanModify());
    try {
        F("S")->SetAsString("x");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Field 'S' cannot be modified");
    }
    EXPECT_TRUE(F("I")->CanModify());
    F("S")->SetDisplayLabel("Name");
    EXPECT_EQ(F("S")->DisplayName(), "Name");
    F("S")->SetDisplayLabel("S");
    EXPECT_EQ(F("S")->DisplayLabel(), "S");
    EXPECT_EQ(F("I")->Index(), 2);
    F("I")->SetIndex(0);
    EXPECT_EQ(ds.Fields(0)->FieldName(), "I");
    EXPECT_EQ(F("I")->DisplayWidth(), 11);
    EXPECT_EQ(F("S")->DisplayWidth(), 8);
}

TEST_F(FieldTest, BlobsThroughStreams) {
    auto* memo = static_cast<TBlobField*>(F("M"));
    auto* blob = static_cast<TBlobField*>(F("BL"));
    EXPECT_TRUE(memo->IsBlob());
    EXPECT_TRUE(memo->IsNull());
    memo->SetAsString("line one\nline two");
    EXPECT_FALSE(memo->IsNull());
    EXPECT_EQ(memo->DisplayText(), "(MEMO)");
    EXPECT_EQ(memo->Text(), "line one\nline two");
    std::string bin("\x00\x01\x02\xFF", 4);
    TMemoryStream in;
    in.WriteBuffer(bin.data(), 4);
    in.SetPosition(0);
    blob->LoadFromStream(&in);
    EXPECT_EQ(blob->BlobSize(), 4);
    ds.Post();
    EXPECT_EQ(memo->AsString(), "line one\nline two");
    TMemoryStream out;
    blob->SaveToStream(&out);
    ASSERT_EQ(out.Size(), 4);
    EXPECT_EQ(std::memcmp(out.Memory(), bin.data(), 4), 0);
    EXPECT_EQ(blob->DisplayText(), "(BLOB)");
    EXPECT_EQ(F("G")->DisplayText(), "(Graphic)");
    // Blob edits are undone by Cancel.
    ds.Edit();
    memo->Clear();
    EXPECT_TRUE(memo->IsNull());
    ds.Cancel();
    EXPECT_EQ(memo->AsString(), "line one\nline two");
    EXPECT_THROW(memo->SetAsString("x"), EDatabaseError);  // browsing
}

}  // namespace
