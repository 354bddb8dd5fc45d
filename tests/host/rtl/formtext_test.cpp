// Tests of the extended-float conversions and of form files' text form in both directions.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <typeinfo>

#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/rtl/valuetypes.h"

using namespace host;

namespace {

// Builds binary object streams by hand.
struct Bin {
    std::string s{"TPF0"};
    Bin& b(int v) {
        s += static_cast<char>(static_cast<uint8_t>(v));
        return *this;
    }
    Bin& le(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) b(static_cast<int>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Bin& str(const std::string& t) {  // a short string: length byte and bytes
        b(static_cast<int>(t.size()));
        s += t;
        return *this;
    }
    Bin& obj(const std::string& cls, const std::string& name) { return str(cls).str(name); }
    Bin& prop(const std::string& name) { return str(name); }
    Bin& end() { return b(0); }
    Bin& vstr(const std::string& t) { return b(vaString).str(t); }
    Bin& vlstr(const std::string& t) {
        b(vaLString).le(t.size(), 4);
        s += t;
        return *this;
    }
    Bin& vwstr(const std::u16string& w) {
        b(vaWString).le(w.size(), 4);
        for (char16_t u : w) le(u, 2);
        return *this;
    }
    Bin& vext(double d) {
        uint8_t x[10];
        DoubleToExtended(d, x);
        b(vaExtended);
        s.append(reinterpret_cast<char*>(x), 10);
        return *this;
    }
    Bin& vsingle(float f) { return b(vaSingle).le(std::bit_cast<uint32_t>(f), 4); }
    Bin& vdate(double d) { return b(vaDate).le(std::bit_cast<uint64_t>(d), 8); }
    Bin& vcurr(int64_t raw) { return b(vaCurrency).le(static_cast<uint64_t>(raw), 8); }
    Bin& vbin(const std::string& bytes) {
        b(vaBinary).le(bytes.size(), 4);
        s += bytes;
        return *this;
    }
};

// An object "Obj: TObj" holding one property P with the value Value writes.
template <class F>
std::string OneProperty(F&& Value) {
    Bin x;
    x.obj("TObj", "Obj").prop("P");
    Value(x);
    return x.end().end().s;
}

std::string PropertyText(const std::string& binary) {
    std::string text = ObjectBinaryToTextString(binary);
    const std::string head = "object Obj: TObj\n  P =";
    const std::string tail = "\nend\n";
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
    return text.substr(head.size(), text.size() - head.size() - tail.size());
}

std::string TextWith(const std::string& propertyLines) {
    return "object Obj: TObj\n" + propertyLines + "\nend\n";
}

std::array<uint8_t, 10> Ext(double d) {
    std::array<uint8_t, 10> x;
    DoubleToExtended(d, x.data());
    return x;
}

std::array<uint8_t, 10> ExtFrom(bool negative, unsigned exponent, uint64_t mantissa) {
    std::array<uint8_t, 10> x;
    for (int i = 0; i < 8; ++i) x[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    unsigned top = exponent | (negative ? 0x8000u : 0u);
    x[8] = static_cast<uint8_t>(top);
    x[9] = static_cast<uint8_t>(top >> 8);
    return x;
}

template <class E>
std::string MessageOf(const std::string& input, std::string (*convert)(const std::string&)) {
    try {
        convert(input);
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no " << typeid(E).name() << " raised for input of " << input.size() << " bytes";
    return {};
}

std::string ReadErrorOf(const std::string& binary) { return MessageOf<EReadError>(binary, ObjectBinaryToTextString); }
std::string ParserErrorOf(const std::string& text) { return MessageOf<EParserError>(text, ObjectTextToBinaryString); }

}  // namespace

// ---------------------------------------------------------------------------

TEST(ExtendedFloat, EncodesKnownValues) {
    EXPECT_EQ(Ext(1.0), ExtFrom(false, 0x3FFF, 0x8000000000000000ull));
    EXPECT_EQ(Ext(-2.0), ExtFrom(true, 0x4000, 0x8000000000000000ull));
    EXPECT_EQ(Ext(0.1), ExtFrom(false, 0x3FFB, 0xCCCCCCCCCCCCD000ull));
    EXPECT_EQ(Ext(0.0), ExtFrom(false, 0, 0));
    EXPECT_EQ(Ext(-0.0), ExtFrom(true, 0, 0));
    EXPECT_EQ(Ext(std::numeric_limits<double>::infinity()), ExtFrom(false, 0x7FFF, 0x8000000000000000ull));
    EXPECT_EQ(Ext(-std::numeric_limits<double>::infinity()), ExtFrom(true, 0x7FFF, 0x8000000000000000ull));
    // Double denormals are normalised: the smallest is 2^-1074.
    EXPECT_EQ(Ext(std::numeric_limits<double>::denorm_min()), ExtFrom(false, 16383 - 1074, 0x8000000000000000ull));
    EXPECT_EQ(Ext(std::bit_cast<double>(uint64_t(3))), ExtFrom(false, 16383 - 1073, 0xC000000000000000ull));
    EXPECT_EQ(Ext(std::numeric_limits<double>::max()), ExtFrom(false, 16383 + 1023, 0xFFFFFFFFFFFFF800ull));
    auto nan = Ext(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan[9] & 0x7F, 0x7F);
    EXPECT_EQ(nan[8], 0xFF);
    EXPECT_EQ(nan[7], 0xC0);  // integer bit and quiet bit
}

TEST(ExtendedFloat, DoublesSurviveTheRoundTripBitForBit) {
    std::mt19937_64 rng(12345);
    for (int i = 0; i < 200000; ++i) {
        uint64_t bits = rng();
        if (i % 4 == 1) bits &= 0x800FFFFFFFFFFFFFull;  // denormals
        if (i % 4 == 2) bits = (bits & 0x800FFFFFFFFFFFFFull) | (uint64_t(rng() % 3 + 1) << 52);  // near the bottom
        double d = std::bit_cast<double>(bits);
        double back = ExtendedToDouble(Ext(d).data());
        ASSERT_EQ(std::bit_cast<uint64_t>(back), bits) << std::hex << bits;
    }
    for (double d : {0.0, -0.0, 1.0, 0.1, 1e300, -1e-300, 5e-324, 2.2250738585072014e-308,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max()})
        EXPECT_EQ(std::bit_cast<uint64_t>(ExtendedToDouble(Ext(d).data())), std::bit_cast<uint64_t>(d)) << d;
    double nan = -std::numeric_limits<double>::quiet_NaN();
    double back = ExtendedToDouble(Ext(nan).data());
    EXPECT_TRUE(std::isnan(back));
    EXPECT_TRUE(std::signbit(back));
}

TEST(ExtendedFloat, RoundsExtraPrecisionToNearestEven) {
    const uint64_t one = 0x8000000000000000ull;  // 1.0 at exponent 0x3FFF; a double ulp is 0x800
    auto toDouble = [](unsigned e, uint64_t m) { return ExtendedToDouble(ExtFrom(false, e, m).data()); };
    EXPECT_EQ(toDouble(0x3FFF, one | 0x3FF), 1.0);
    EXPECT_EQ(toDouble(0x3FFF, one | 0x400), 1.0);  // tie, stays even
    EXPECT_EQ(toDouble(0x3FFF, one | 0x401), std::nextafter(1.0, 2.0));
    EXPECT_EQ(toDouble(0x3FFF, one | 0xC00), 1.0 + std::ldexp(1.0, -51));  // tie, rounds up to even
    EXPECT_EQ(toDouble(0x3FFF, ~uint64_t(0)), 2.0);  // carries into the exponent
    // Beyond the double range: infinity; the largest extended below 2^1024 rounds up too.
    EXPECT_TRUE(std::isinf(toDouble(16383 + 1024, one)));
    EXPECT_TRUE(std::isinf(toDouble(16383 + 1023, ~uint64_t(0))));
    EXPECT_EQ(toDouble(16383 + 1023, 0xFFFFFFFFFFFFF800ull), std::numeric_limits<double>::max());
    // Into the denormal range and below it.
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(toDouble(16383 - 1075, one), 0.0);            // half the smallest denormal: tie to 0
    EXPECT_EQ(toDouble(16383 - 1075, one | 1), tiny);       // a hair above half
    EXPECT_EQ(toDouble(16383 - 1075, 0xC000000000000000ull), tiny);  // 0.75 of it
    EXPECT_EQ(toDouble(16383 - 1076, ~uint64_t(0)), 0.0);             // a hair below half
    EXPECT_EQ(toDouble(16383 - 1077, ~uint64_t(0)), 0.0);
    EXPECT_EQ(toDouble(16383 - 1074, 0xC000000000000000ull), 2 * tiny);  // 1.5: tie to even 2
    EXPECT_EQ(toDouble(16383 - 1023, ~uint64_t(0)), std::numeric_limits<double>::min());  // up to the smallest normal
    EXPECT_EQ(toDouble(0, 0x7FFFFFFFFFFFFFFFull), 0.0);  // extended denormals are far below
    EXPECT_TRUE(std::signbit(ExtendedToDouble(ExtFrom(true, 0, 5).data())));
}

TEST(ExtendedFloat, OddEncodings) {
    // An unnormal (integer bit clear) keeps its value.
    EXPECT_EQ(ExtendedToDouble(ExtFrom(false, 0x3FFF, 0x4000000000000000ull).data()), 0.5);
    // Pseudo-infinity and NaNs without the integer bit are not numbers.
    EXPECT_TRUE(std::isnan(ExtendedToDouble(ExtFrom(false, 0x7FFF, 0).data())));
    EXPECT_TRUE(std::isnan(ExtendedToDouble(ExtFrom(false, 0x7FFF, 0x8000000000000001ull).data())));
    // A payload only in the low bits still gives a NaN, not infinity.
    EXPECT_TRUE(std::isnan(ExtendedToDouble(ExtFrom(false, 0x7FFF, 0x80000000000007FFull).data())));
}

// ---------------------------------------------------------------------------

TEST(FormTextLayout, NestedTreeHasTheExactLayout) {
    Bin x;
    x.obj("TForm1", "Form1");
    x.prop("Left").b(vaInt8).b(10);
    x.prop("Caption").vstr("Hello");
    x.prop("Font.Name").vstr("Arial");
    x.prop("Visible").b(vaTrue);
    x.prop("Anchors").b(vaSet).str("akLeft").str("akTop").str("");
    x.prop("Lines.Strings").b(vaList).vstr("one").vstr("two").end();
    x.prop("Items").b(vaCollection);
    x.b(vaList).prop("Caption").vstr("a").end();
    x.b(vaInt8).b(3).b(vaList).prop("Width").b(vaInt16).le(300, 2).end();
    x.end();
    x.prop("Data").vbin("\x0A\x0B\xFF");
    x.end();
    x.obj("TPanel", "Panel1").prop("Tag").b(vaInt8).b(-5).end();
    x.b(0xF0 | ffInherited | ffChildPos).b(vaInt8).b(2).obj("TButton", "Button1");
    x.prop("OnClick").b(vaIdent).str("Button1Click").end().end();
    x.end();
    x.b(0xF0 | ffInline).obj("TFrame1", "").end().end();
    x.end();

    const std::string golden =
        "object Form1: TForm1\n"
        "  Left = 10\n"
        "  Caption = 'Hello'\n"
        "  Font.Name = 'Arial'\n"
        "  Visible = True\n"
        "  Anchors = [akLeft, akTop]\n"
        "  Lines.Strings = (\n"
        "    'one'\n"
        "    'two')\n"
        "  Items = <\n"
        "    item\n"
        "      Caption = 'a'\n"
        "    end\n"
        "    item [3]\n"
        "      Width = 300\n"
        "    end>\n"
        "  Data = {0A0BFF}\n"
        "  object Panel1: TPanel\n"
        "    Tag = -5\n"
        "    inherited Button1: TButton [2]\n"
        "      OnClick = Button1Click\n"
        "    end\n"
        "  end\n"
        "  inline TFrame1\n"
        "  end\n"
        "end\n";
    EXPECT_EQ(ObjectBinaryToTextString(x.s), golden);
    EXPECT_EQ(ObjectTextToBinaryString(golden), x.s);
}

TEST(FormTextLayout, LongValuesSpanLines) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) bytes += static_cast<char>(i * 7);
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.vbin(bytes); })),
              " {\n"
              "    00070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D9\n"
              "    E0E7EEF5FC030A11}");
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.vbin(""); })), " {}");
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.b(vaList).end(); })), " ()");
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.b(vaCollection).end(); })), " <>");
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.b(vaSet).str(""); })), " []");
    // A long string in a list: the item starts its line, continuations go one deeper.
    std::string s(70, 'x');
    EXPECT_EQ(PropertyText(OneProperty([&](Bin& b) { b.b(vaList).vstr(s).b(vaNil).end(); })),
              " (\n    '" + std::string(64, 'x') + "' +\n      'xxxxxx'\n    nil)");
}

TEST(FormTextLayout, ReadsFreelyFormattedText) {
    const std::string text =
        "\xEF\xBB\xBF  OBJECT Form1 : TForm1\r\n"
        "    left=$1F  Top = -7\r\n"
        "\tCaption = 'a' + 'b'#65 +\r\n  #$42\r\n"
        "    Flags = [ x , 12 , 'C' ]\r\n"
        "    Blob = { 0a 0B\r\n ff }\r\n"
        "    Link = Form2.Button1\r\n"
        "    Ok = TRUE  Gone = NIL  Empty = null\r\n"
        "END trailing text is not read";
    Bin x;
    x.obj("TForm1", "Form1");
    x.prop("left").b(vaInt8).b(31).prop("Top").b(vaInt8).b(-7);
    x.prop("Caption").vstr("abAB");
    x.prop("Flags").b(vaSet).str("x").str("12").str("#67").str("");
    x.prop("Blob").vbin("\x0A\x0B\xFF");
    x.prop("Link").b(vaIdent).str("Form2.Button1");
    x.prop("Ok").b(vaTrue).prop("Gone").b(vaNil).prop("Empty").b(vaNull);
    x.end().end();
    EXPECT_EQ(ObjectTextToBinaryString(text), x.s);
}

// ---------------------------------------------------------------------------

TEST(FormTextRoundTrip, EveryValueTypeComesBackByteIdentical) {
    std::string utf8 = "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80";
    Bin x;
    x.obj("TAll", "All");
    x.prop("I8").b(vaInt8).b(-128).prop("I8b").b(vaInt8).b(127);
    x.prop("I16").b(vaInt16).le(static_cast<uint16_t>(-32768), 2).prop("I16b").b(vaInt16).le(128, 2);
    x.prop("I32").b(vaInt32).le(100000, 4).prop("I32b").b(vaInt32).le(static_cast<uint32_t>(INT32_MIN), 4);
    x.prop("I64").b(vaInt64).le(uint64_t(1) << 40, 8).prop("I64b").b(vaInt64).le(uint64_t(INT64_MIN), 8);
    for (double d : {0.1, 1e300, -0.0, 5e-324, 1.0, -123456.75, 1e21, 2.5e-7, 1.7976931348623157e308})
        x.prop("E").vext(d);
    x.prop("EInf").vext(std::numeric_limits<double>::infinity());
    x.prop("ENegInf").vext(-std::numeric_limits<double>::infinity());
    x.prop("ENaN").vext(std::numeric_limits<double>::quiet_NaN());
    for (float f : {0.1f, -0.0f, 1.0f, 3.4028235e38f, 1e-45f}) x.prop("S").vsingle(f);
    x.prop("SInf").vsingle(-std::numeric_limits<float>::infinity());
    x.prop("SNaN").vsingle(-std::numeric_limits<float>::quiet_NaN());
    for (int64_t c : {int64_t(15000), int64_t(-1), INT64_MIN, INT64_MAX}) x.prop("C").vcurr(c);
    for (double d : {45000.5, -0.0, 0.1, 1e-300}) x.prop("D").vdate(d);
    x.prop("DInf").vdate(std::numeric_limits<double>::infinity());
    x.prop("Str").vstr("It's a \"test\"\r\n\t\x01\x7F end");
    x.prop("Utf8").vstr(utf8);
    x.prop("NotUtf8").vstr("a\xFF\xC3(\xE2\x82z\xED\xA0\x80");
    x.prop("Empty").vstr("");
    x.prop("S255").vstr(std::string(255, 'q'));
    x.prop("L256").vlstr(std::string(256, 'r'));
    std::string mixed;
    for (int i = 0; i < 1000; ++i) mixed += static_cast<char>("ab'\n\xC3\xA9 "[i % 7]);
    x.prop("LMixed").vlstr(mixed);
    x.prop("W").vwstr(u"It's \u00e9\u20ac\r\n");
    x.prop("WAscii").vwstr(u"abc");
    x.prop("WQuote").vwstr(u"'");
    x.prop("WSurrogates").vwstr(u"\U0001F600");
    x.prop("WLone").vwstr(std::u16string{char16_t(0xD800), u'x', char16_t(0xDFFF), char16_t(0xFFFF), u'\0'});
    x.prop("WLong").vwstr(std::u16string(150, u'\u00e9'));
    x.prop("Id").b(vaIdent).str("clRed").prop("F").b(vaFalse).prop("T").b(vaTrue);
    x.prop("N").b(vaNil).prop("Nu").b(vaNull);
    x.prop("B0").vbin("").prop("B5").vbin(std::string("\x00\x01\x7F\x80\xFF", 5));
    x.prop("B32").vbin(std::string(32, '\x5A')).prop("B100").vbin(std::string(100, '\xA5'));
    x.prop("Set").b(vaSet).str("a").str("#65").str("12").str("");
    x.prop("Nested").b(vaList).b(vaList).b(vaInt8).b(1).b(vaList).end().end().vstr("x").b(vaNil).end();
    x.prop("Coll").b(vaCollection);
    x.b(vaList).prop("A").b(vaInt8).b(1).prop("Sub").b(vaCollection).b(vaList).end().end().end();
    x.b(vaInt32).le(100000, 4).b(vaList).prop("L").b(vaList).vstr("q").end().end();
    x.b(vaInt8).b(-1).b(vaList).end();
    x.end();
    x.end();  // properties
    x.b(0xF0 | ffInline | ffChildPos).b(vaInt16).le(1000, 2).obj("TFrame", "Frame1").end().end();
    x.b(0xF0 | ffInherited).obj("TChild", "Child").prop("X").b(vaInt8).b(0).end();
    x.obj("TGrand", "").end().end();
    x.end();
    x.end();

    std::string text = ObjectBinaryToTextString(x.s);
    EXPECT_EQ(ObjectTextToBinaryString(text), x.s) << text;
}

TEST(FormTextRoundTrip, NumbersAreWrittenExactly) {
    auto text = [](auto&& value) { return PropertyText(OneProperty(value)); };
    EXPECT_EQ(text([](Bin& b) { b.vext(0.1); }), " 0.1");
    EXPECT_EQ(text([](Bin& b) { b.vext(1e300); }), " 1E300");
    EXPECT_EQ(text([](Bin& b) { b.vext(-0.0); }), " -0.0");
    EXPECT_EQ(text([](Bin& b) { b.vext(1.0); }), " 1.0");  // stays a float
    EXPECT_EQ(text([](Bin& b) { b.vext(5e-324); }), " 5E-324");
    EXPECT_EQ(text([](Bin& b) { b.vext(0.1 + 0.2); }), " 0.30000000000000004");
    EXPECT_EQ(text([](Bin& b) { b.vext(-std::numeric_limits<double>::infinity()); }), " -INF");
    EXPECT_EQ(text([](Bin& b) { b.vsingle(0.1f); }), " 0.1s");
    EXPECT_EQ(text([](Bin& b) { b.vsingle(2.0f); }), " 2s");
    EXPECT_EQ(text([](Bin& b) { b.vsingle(std::numeric_limits<float>::quiet_NaN()); }), " +NANs");
    EXPECT_EQ(text([](Bin& b) { b.vcurr(15000); }), " 15000c");
    EXPECT_EQ(text([](Bin& b) { b.vdate(45000.5); }), " 45000.5d");
    EXPECT_EQ(text([](Bin& b) { b.b(vaInt64).le(uint64_t(INT64_MIN), 8); }), " -9223372036854775808");

    // Reading: integers take the smallest type; suffixes pick the float type.
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 127")), OneProperty([](Bin& b) { b.b(vaInt8).b(127); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = -129")),
              OneProperty([](Bin& b) { b.b(vaInt16).le(static_cast<uint16_t>(-129), 2); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 2147483648")),
              OneProperty([](Bin& b) { b.b(vaInt64).le(2147483648u, 8); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = $FFFFFFFFFFFFFFFF")),
              OneProperty([](Bin& b) { b.b(vaInt8).b(-1); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 1E2")), OneProperty([](Bin& b) { b.vext(100.0); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 3D")), OneProperty([](Bin& b) { b.vdate(3.0); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = -INFd")),
              OneProperty([](Bin& b) { b.vdate(-std::numeric_limits<double>::infinity()); }));
    // A currency written with a fraction rounds to the nearest ten-thousandth, halves to even.
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 2.5c")), OneProperty([](Bin& b) { b.vcurr(2); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 3.5c")), OneProperty([](Bin& b) { b.vcurr(4); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = -9223372036854775808c")),
              OneProperty([](Bin& b) { b.vcurr(INT64_MIN); }));
}

TEST(FormTextRoundTrip, StringsAreQuotedAndSplit) {
    auto text = [](auto&& value) { return PropertyText(OneProperty(value)); };
    EXPECT_EQ(text([](Bin& b) { b.vstr("It's"); }), " 'It''s'");
    EXPECT_EQ(text([](Bin& b) { b.vstr("a\r\nb\x01"); }), " 'a'#13#10'b'#1");
    EXPECT_EQ(text([](Bin& b) { b.vstr("\xC3\xA9t\xC3\xA9"); }), " '\xC3\xA9t\xC3\xA9'");  // UTF-8 stays text
    EXPECT_EQ(text([](Bin& b) { b.vstr("a\xFFz"); }), " 'a'#255'z'");                    // stray bytes do not
    EXPECT_EQ(text([](Bin& b) { b.vstr(std::string(64, 'a')); }), " '" + std::string(64, 'a') + "'");
    EXPECT_EQ(text([](Bin& b) { b.vstr(std::string(65, 'a')); }),
              "\n    '" + std::string(64, 'a') + "' +\n    'a'");
    std::string long200(200, 'z');
    EXPECT_EQ(text([&](Bin& b) { b.vlstr(long200); }), "\n    '" + std::string(64, 'z') + "' +\n    '" +
                                                           std::string(64, 'z') + "' +\n    '" +
                                                           std::string(64, 'z') + "' +\n    'zzzzzzzz'");
    // Escapes count as one character of a line.
    std::string ctl(70, '\x01');
    std::string expect = "\n    ";
    for (int i = 0; i < 64; ++i) expect += "#1";
    expect += " +\n    #1#1#1#1#1#1";
    EXPECT_EQ(text([&](Bin& b) { b.vstr(ctl); }), expect);
    // A UTF-8 character is never cut by a line break.
    std::string cut = std::string(63, 'a') + "\xE2\x82\xAC" + "b";
    EXPECT_EQ(text([&](Bin& b) { b.vstr(cut); }), "\n    '" + cut.substr(0, 66) + "' +\n    'b'");

    // Wide strings: escapes of four digits or more keep them wide.
    EXPECT_EQ(text([](Bin& b) { b.vwstr(u"\u00e9\u20ac's"); }), " #0233#8364'''s'");
    EXPECT_EQ(text([](Bin& b) { b.vwstr(u"abc"); }), " #0097'bc'");
    EXPECT_EQ(text([](Bin& b) { b.vwstr(u"\U0001F600"); }), " #55357#56832");
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = 'x'#300")),
              OneProperty([](Bin& b) { b.vwstr(u"x\u012c"); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = '\xC3\xA9' + #0065")),
              OneProperty([](Bin& b) { b.vwstr(u"\u00e9A"); }));
    // Below 256 and fewer than four digits, an escape is one byte.
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = #233'\xC3\xA9'")),
              OneProperty([](Bin& b) { b.vstr("\xE9\xC3\xA9"); }));
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = ''")), OneProperty([](Bin& b) { b.vstr(""); }));
    std::string s256(256, 'k');
    EXPECT_EQ(ObjectTextToBinaryString(TextWith("  P = '" + std::string(128, 'k') + "' + '" +
                                                std::string(128, 'k') + "'")),
              OneProperty([&](Bin& b) { b.vlstr(s256); }));
}

// ---------------------------------------------------------------------------

TEST(FormTextErrors, BinaryProblemsNameTheBytePosition) {
    EXPECT_NE(ReadErrorOf("TPF1\x04TObj\x00\x00\x00").find("TPF0"), std::string::npos);
    EXPECT_NE(ReadErrorOf("").find("at byte 0"), std::string::npos);

    std::string unknown = OneProperty([](Bin& b) { b.b(20); });
    std::string msg = ReadErrorOf(unknown);
    EXPECT_NE(msg.find("Unknown value type 20"), std::string::npos) << msg;
    EXPECT_NE(msg.find("at byte 15"), std::string::npos) << msg;  // after TPF0, the names and "P"

    // Lengths larger than the data fail before anything is allocated for them.
    std::string huge = OneProperty([](Bin& b) { b.b(vaLString).le(0xFFFFFFFFu, 4); }) + std::string(80, 'x');
    msg = ReadErrorOf(huge);
    EXPECT_NE(msg.find("4294967295"), std::string::npos) << msg;
    EXPECT_NE(msg.find("byte 16"), std::string::npos) << msg;
    EXPECT_NE(ReadErrorOf(OneProperty([](Bin& b) { b.b(vaWString).le(0x80000000u, 4); })).find("2147483648"),
              std::string::npos);
    EXPECT_NE(ReadErrorOf(OneProperty([](Bin& b) { b.b(vaBinary).le(1000, 4).s += "abc"; })).find("1000"),
              std::string::npos);

    msg = ReadErrorOf(OneProperty([](Bin& b) { b.b(vaCollection).b(vaInt8).b(1).b(vaInt8); }));
    EXPECT_NE(msg.find("property list"), std::string::npos) << msg;
    msg = ReadErrorOf(Bin().b(0xF0 | ffChildPos).vstr("x").obj("TA", "A").end().end().s);
    EXPECT_NE(msg.find("child position"), std::string::npos) << msg;
}

TEST(FormTextErrors, EveryTruncationOfABinaryFails) {
    Bin x;
    x.obj("TForm", "F").prop("S").vlstr("long").prop("W").vwstr(u"w").prop("E").vext(1.5);
    x.prop("L").b(vaList).b(vaSet).str("a").str("").end();
    x.prop("C").b(vaCollection).b(vaInt8).b(0).b(vaList).prop("Q").vbin("zz").end().end();
    x.end();
    x.b(0xF0 | ffChildPos).b(vaInt8).b(1).obj("TK", "K").end().end();
    x.end();
    ASSERT_NO_THROW(ObjectBinaryToTextString(x.s));
    for (size_t n = 0; n < x.s.size(); ++n) EXPECT_THROW(ObjectBinaryToTextString(x.s.substr(0, n)), EReadError) << n;
}

TEST(FormTextErrors, NestingIsLimitedToAThousandLevels) {
    auto lists = [](int depth) {
        Bin x;
        x.obj("TA", "A").prop("P");
        for (int i = 0; i < depth; ++i) x.b(vaList);
        for (int i = 0; i < depth; ++i) x.end();
        return x.end().end().s;
    };
    EXPECT_NO_THROW(ObjectBinaryToTextString(lists(999)));  // with the object: 1000 levels
    EXPECT_NE(ReadErrorOf(lists(1000)).find("Nesting deeper than 1000"), std::string::npos);
    std::string text = ObjectBinaryToTextString(lists(999));
    EXPECT_EQ(ObjectTextToBinaryString(text), lists(999));
    EXPECT_NE(ParserErrorOf(TextWith("  P = " + std::string(1000, '(') + std::string(1000, ')')))
                  .find("Nesting deeper than 1000 levels on line 2"),
              std::string::npos);
    // A deep chain of objects, without the matching ends, stops at the limit too.
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += "object A: T\n";
    EXPECT_NE(ParserErrorOf(objects).find("on line 1001"), std::string::npos);
    std::string deep = "TPF0";
    for (int i = 0; i < 100000; ++i) deep += std::string("\x02TA\x00\x00", 5);
    EXPECT_THROW(ObjectBinaryToTextString(deep), EReadError);
}

TEST(FormTextErrors, TextProblemsNameTheLine) {
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"object A: T\n  P = 1\n", "'end' expected but end of text found on line 3"},
        {"object A: T\n  P = @\nend", "Invalid character '@' on line 2"},
        {"object A: T\n  P = 'abc\nend", "Unterminated string on line 2"},
        {"object A: T\n  P = {0A0}\nend", "odd number of hex digits on line 2"},
        {"object A: T\n  P = {0A\n0G}\nend", "Invalid binary value on line 3"},
        {"object A: T\n  P = 99999999999999999999\nend", "Integer 99999999999999999999 is out of range on line 2"},
        {"object A: T\n  P = 1e999\nend", "out of range on line 2"},
        {"object A: T\n  P = 1.5x\nend", "Invalid number '1.5' on line 2"},
        {"object A: T\n  P = #70000\nend", "above 65535 on line 2"},
        {"object A: T\n  P = ('a' Null)\nend", "Null cannot be an item of a list on line 2"},
        {"object A: T\n  P = 'a' + 1\nend", "String expected but '1' found on line 2"},
        {"object A: T\n  P = ['ab']\nend", "one character on line 2"},
        {"object A: T\n  P = <x>\nend", "'item' expected but 'x' found on line 2"},
        {"object A: T\n  P = <item\n", "'end' expected but end of text found on line 3"},
        {"object A: T\n  P = (1\n", "')' expected but end of text found on line 3"},
        {"object A: T\n  P 1\nend", "'=' expected but '1' found on line 2"},
        {"object A: T\n  P = =\nend", "Invalid property value: '=' on line 2"},
        {"object A: T\n  P = #$\nend", "Invalid character code"},
        {"object A: T [x]\nend", "Child position expected but 'x' found on line 1"},
        {"object A: T [99999999999]\nend", "out of range on line 1"},
        {"thing A: T\nend", "'object' expected but 'thing' found on line 1"},
        {"", "'object' expected but end of text found on line 1"},
        {"object A: T\n  P = #0300'\xFF'\nend", "Invalid UTF-8 in a wide string on line 2"},
        {"object A: T\n  P = +INFc\nend", "Invalid number '+INFc'"},
        {"object A: T\n  object B: U\n  end\n  P = 1\nend", "'end' expected but 'P' found on line 4"},
        {"object A: " + std::string(240, 'T') + "\nend", "Class name is longer than 239 bytes"},
        {"object A: T\n  " + std::string(256, 'P') + " = 1\nend", "Property name is longer than 255 bytes"},
    };
    for (const Case& c : cases) {
        std::string msg = ParserErrorOf(c.text);
        EXPECT_NE(msg.find(c.message), std::string::npos) << "text: " << c.text << "\nmessage: " << msg;
    }
}

TEST(FormTextErrors, EveryTruncationOfATextFails) {
    const std::string text =
        "inline F: TF [1]\n  S = 'a''b'#13 +\n    'c'\n  L = (1 2.5 [a] {0A})\n"
        "  C = <\n    item [2]\n      X = nil\n    end>\n  object G: TG\n  end\nend";
    ASSERT_NO_THROW(ObjectTextToBinaryString(text));
    for (size_t n = 0; n < text.size(); ++n)
        EXPECT_THROW(ObjectTextToBinaryString(text.substr(0, n)), EParserError) << text.substr(0, n);
}

// ---------------------------------------------------------------------------

TEST(FormTextStreams, ConvertFromThePositionAndLeaveItAfterTheObject) {
    const std::string binary = Bin().obj("TA", "A").prop("X").b(vaInt8).b(1).end().end().s;
    TMemoryStream in;
    const std::string data = "head" + binary + "tail";
    in.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    in.SetPosition(4);
    TStringStream text;
    ObjectBinaryToText(&in, &text);
    EXPECT_EQ(text.DataString(), "object A: TA\n  X = 1\nend\n");
    EXPECT_EQ(in.Position(), 4 + static_cast<int64_t>(binary.size()));

    TStringStream source("object A: TA\n  X = 1\nend\nobject B: TB\nend\n");
    TMemoryStream out;
    ObjectTextToBinary(&source, &out);
    EXPECT_EQ(std::string(static_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size())), binary);
    EXPECT_EQ(source.Position(), 24);  // just after the first "end"

    // Byte positions in errors count from the start of the stream.
    const std::string bad = "head" + OneProperty([](Bin& b) { b.b(77); });
    TStringStream badIn(bad);
    badIn.SetPosition(4);
    TStringStream sink;
    try {
        ObjectBinaryToText(&badIn, &sink);
        FAIL() << "an unknown value type must raise";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("byte " + std::to_string(bad.size() - 3)), std::string::npos) << e.Message();
    }
}
