// Conversion of form files between the binary object stream and its text form.
#include "host/rtl/formtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "host/rtl/exceptions.h"
#include "host/rtl/streams.h"
#include "host/rtl/valuetypes.h"

namespace host {

namespace {

// Objects, lists and collections may nest this deep; deeper input is refused so that
// the recursive converters cannot exhaust the stack.
constexpr int kMaxDepth = 1000;
// Strings are split into pieces of about this many characters.
constexpr size_t kLineLength = 64;
// Binary data is written 32 bytes (64 hex digits) a line.
constexpr size_t kBytesPerLine = 32;
// A class name must not look like a filer prefix byte (0xF0 | flags).
constexpr size_t kMaxClassName = 0xEF;

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool SameAscii(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Length of the well-formed UTF-8 sequence of two to four bytes at S[I], or 0 when
// the bytes there are not one (overlong forms, surrogates and values above U+10FFFF
// included).
size_t Utf8SequenceLength(const std::string& S, size_t I) {
    const unsigned char c = static_cast<unsigned char>(S[I]);
    size_t len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
    else return 0;
    if (I + len > S.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char t = static_cast<unsigned char>(S[I + k]);
        if ((t & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    return len;
}

// Appends the UTF-16 units of the UTF-8 text Bytes; false when Bytes is not UTF-8.
bool AppendUtf8AsUtf16(const std::string& Bytes, std::u16string& Out) {
    for (size_t i = 0; i < Bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(Bytes[i]);
        if (c < 0x80) {
            Out += char16_t(c);
            ++i;
            continue;
        }
        const size_t len = Utf8SequenceLength(Bytes, i);
        if (len == 0) return false;
        uint32_t cp = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(Bytes[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            Out += char16_t(0xD800 + (cp >> 10));
            Out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            Out += char16_t(cp);
        }
        i += len;
    }
    return true;
}

// The shortest decimal form that reads back as the same number, in the form files'
// style: upper-case exponent without '+' or leading zeros ("1E300", "5E-324").
template <class F>
std::string ShortestDigits(F Value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, Value);
    std::string s(buf, res.ptr);
    size_t e = s.find('e');
    if (e == std::string::npos) return s;
    std::string mant = s.substr(0, e);
    std::string exp = s.substr(e + 1);
    bool neg = false;
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
        neg = exp[0] == '-';
        exp.erase(0, 1);
    }
    size_t nz = exp.find_first_not_of('0');
    exp = nz == std::string::npos ? "0" : exp.substr(nz);
    return mant + "E" + (neg ? "-" : "") + exp;
}

// Infinities and NaNs are written +INF, -INF, +NAN, -NAN (before the type suffix).
template <class F>
std::string FloatText(F Value, bool MarkAsFloat) {
    if (std::isnan(Value)) return std::signbit(Value) ? "-NAN" : "+NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "+INF";
    std::string s = ShortestDigits(Value);
    // Without a suffix the number must still read as a float, not an integer.
    if (MarkAsFloat && s.find_first_of(".E") == std::string::npos) s += ".0";
    return s;
}

// ---------------------------------------------------------------------------
// Binary to text

class BinaryReader {
public:
    BinaryReader(const std::string& In, int64_t Base) : FIn(In), FBase(Base) {}

    std::string Convert(size_t& Consumed) {
        if (FIn.size() < 4 || std::memcmp(FIn.data(), FilerSignature, 4) != 0)
            Fail("Invalid stream format: the signature TPF0 is missing", 0);
        FPos = 4;
        WriteObject(0);
        Consumed = FPos;
        return std::move(FOut);
    }

private:
    const std::string& FIn;
    int64_t FBase;
    size_t FPos = 0;
    int FDepth = 0;
    std::string FOut;

    [[noreturn]] void Fail(const std::string& What, size_t At) const {
        throw EReadError(What + " at byte " + std::to_string(FBase + static_cast<int64_t>(At)));
    }
    size_t Remaining() const { return FIn.size() - FPos; }
    void Need(size_t Count, const char* What) const {
        if (Count > Remaining())
            Fail(std::string("Unexpected end of data in ") + What + " (" + std::to_string(Count) + " bytes needed, " +
                     std::to_string(Remaining()) + " left)",
                 FPos);
    }
    uint8_t Peek(const char* What) const {
        Need(1, What);
        return static_cast<uint8_t>(FIn[FPos]);
    }
    uint8_t ReadByte(const char* What) {
        uint8_t b = Peek(What);
        ++FPos;
        return b;
    }
    uint64_t ReadLE(size_t Count, const char* What) {
        Need(Count, What);
        uint64_t v = 0;
        for (size_t i = 0; i < Count; ++i) v |= uint64_t(static_cast<uint8_t>(FIn[FPos + i])) << (8 * i);
        FPos += Count;
        return v;
    }
    // A length or count read from the data: it must fit in what is left, checked
    // before anything is allocated for it.
    size_t ReadCount(size_t UnitSize, const char* What) {
        size_t at = FPos;
        uint32_t n = static_cast<uint32_t>(ReadLE(4, What));
        if (uint64_t(n) * UnitSize > Remaining())
            Fail(std::string("Invalid ") + What + " length " + std::to_string(n) + ": only " +
                     std::to_string(Remaining()) + " bytes left",
                 at);
        return n;
    }
    std::string ReadStr(const char* What) {
        size_t len = ReadByte(What);
        Need(len, What);
        std::string s = FIn.substr(FPos, len);
        FPos += len;
        return s;
    }
    int64_t ReadInteger(const char* What) {
        size_t at = FPos;
        switch (ReadByte(What)) {
            case vaInt8: return static_cast<int8_t>(ReadLE(1, What));
            case vaInt16: return static_cast<int16_t>(ReadLE(2, What));
            case vaInt32: return static_cast<int32_t>(ReadLE(4, What));
            default: Fail(std::string("Invalid ") + What + ": an integer was expected", at);
        }
    }
    void Enter(size_t At) {
        if (++FDepth > kMaxDepth) Fail("Nesting deeper than " + std::to_string(kMaxDepth) + " levels", At);
    }
    void Leave() { --FDepth; }

    void Indent(int Level) { FOut.append(static_cast<size_t>(Level) * 2, ' '); }
    void NewLine(int Level) {
        FOut += '\n';
        Indent(Level);
    }

    void WriteObject(int Level) {
        Enter(FPos);
        uint8_t flags = 0;
        int64_t childPos = 0;
        if ((Peek("a component") & 0xF0) == 0xF0) {
            flags = ReadByte("a component") & 0x0F;
            if (flags & ffChildPos) childPos = ReadInteger("child position");
        }
        std::string className = ReadStr("a class name");
        std::string objectName = ReadStr("a component name");
        Indent(Level);
        FOut += (flags & ffInherited) ? "inherited " : (flags & ffInline) ? "inline " : "object ";
        if (!objectName.empty()) FOut += objectName + ": ";
        FOut += className;
        if (flags & ffChildPos) FOut += " [" + std::to_string(childPos) + "]";
        FOut += '\n';
        while (Peek("the property list") != 0) WriteProperty(Level + 1);
        ++FPos;
        while (Peek("the list of child components") != 0) WriteObject(Level + 1);
        ++FPos;
        Indent(Level);
        FOut += "end\n";
        Leave();
    }

    void WriteProperty(int Level) {
        Indent(Level);
        FOut += ReadStr("a property name");
        FOut += " =";
        WriteValue(Level, true);
        FOut += '\n';
    }

    // Writes one value. AfterEquals: the value follows "Name =" on the property's
    // line (else it starts a line of its own, as list items do). Level is the level
    // of that line.
    void WriteValue(int Level, bool AfterEquals) {
        const size_t at = FPos;
        const uint8_t type = ReadByte("a value");
        auto space = [&] {
            if (AfterEquals) FOut += ' ';
        };
        switch (type) {
            case vaList:
                space();
                Enter(at);
                FOut += '(';
                while (Peek("a list") != 0) {
                    NewLine(Level + 1);
                    WriteValue(Level + 1, false);
                }
                ++FPos;
                FOut += ')';
                Leave();
                break;
            case vaInt8: space(); FOut += std::to_string(static_cast<int8_t>(ReadLE(1, "an integer"))); break;
            case vaInt16: space(); FOut += std::to_string(static_cast<int16_t>(ReadLE(2, "an integer"))); break;
            case vaInt32: space(); FOut += std::to_string(static_cast<int32_t>(ReadLE(4, "an integer"))); break;
            case vaInt64: space(); FOut += std::to_string(static_cast<int64_t>(ReadLE(8, "an integer"))); break;
            case vaExtended: {
                Need(10, "a float");
                uint8_t x[10];
                std::memcpy(x, FIn.data() + FPos, 10);
                FPos += 10;
                space();
                FOut += FloatText(ExtendedToDouble(x), true);
                break;
            }
            case vaSingle: {
                uint32_t bits = static_cast<uint32_t>(ReadLE(4, "a single"));
                float f;
                std::memcpy(&f, &bits, 4);
                space();
                FOut += FloatText(f, false) + "s";
                break;
            }
            case vaCurrency:
                // Written as the count of ten-thousandths, which keeps every value exact.
                space();
                FOut += std::to_string(static_cast<int64_t>(ReadLE(8, "a currency"))) + "c";
                break;
            case vaDate: {
                uint64_t bits = ReadLE(8, "a date");
                double d;
                std::memcpy(&d, &bits, 8);
                space();
                FOut += FloatText(d, false) + "d";
                break;
            }
            case vaString: {
                std::string s = ReadStr("a string");
                WriteNarrowString(s, Level, AfterEquals);
                break;
            }
            case vaLString: {
                size_t n = ReadCount(1, "string");
                std::string s = FIn.substr(FPos, n);
                FPos += n;
                WriteNarrowString(s, Level, AfterEquals);
                break;
            }
            case vaWString: {
                size_t n = ReadCount(2, "wide string");
                std::u16string w(n, u'\0');
                for (size_t i = 0; i < n; ++i) w[i] = static_cast<char16_t>(ReadLE(2, "a wide string"));
                WriteWideString(w, Level, AfterEquals);
                break;
            }
            case vaIdent: space(); FOut += ReadStr("an identifier"); break;
            case vaFalse: space(); FOut += "False"; break;
            case vaTrue: space(); FOut += "True"; break;
            case vaNil: space(); FOut += "nil"; break;
            case vaNull: space(); FOut += "Null"; break;
            case vaBinary: {
                size_t n = ReadCount(1, "binary data");
                space();
                WriteBinary(n, Level);
                break;
            }
            case vaSet: {
                space();
                FOut += '[';
                bool first = true;
                for (;;) {
                    std::string e = ReadStr("a set");
                    if (e.empty()) break;
                    if (!first) FOut += ", ";
                    FOut += e;
                    first = false;
                }
                FOut += ']';
                break;
            }
            case vaCollection: {
                space();
                Enter(at);
                FOut += '<';
                while (Peek("a collection") != 0) {
                    NewLine(Level + 1);
                    FOut += "item";
                    uint8_t next = Peek("a collection item");
                    if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                        FOut += " [" + std::to_string(ReadInteger("a collection item's order")) + "]";
                    size_t listAt = FPos;
                    if (ReadByte("a collection item") != vaList)
                        Fail("Invalid collection item: a property list was expected", listAt);
                    FOut += '\n';
                    while (Peek("a collection item") != 0) WriteProperty(Level + 2);
                    ++FPos;
                    Indent(Level + 1);
                    FOut += "end";
                }
                ++FPos;
                FOut += '>';
                Leave();
                break;
            }
            default:
                Fail("Unknown value type " + std::to_string(type), at);
        }
    }

    void WriteBinary(size_t Count, int Level) {
        static const char hex[] = "0123456789ABCDEF";
        FOut += '{';
        const bool multiLine = Count >= kBytesPerLine;
        for (size_t done = 0; done < Count;) {
            if (multiLine) NewLine(Level + 1);
            size_t n = std::min(kBytesPerLine, Count - done);
            for (size_t i = 0; i < n; ++i) {
                uint8_t b = static_cast<uint8_t>(FIn[FPos + i]);
                FOut += hex[b >> 4];
                FOut += hex[b & 15];
            }
            FPos += n;
            done += n;
        }
        FOut += '}';
    }

    // Starts a string value: on the property's line when short, on a line of its own
    // when it will be split.
    void StartString(size_t Length, int Level, bool AfterEquals) {
        if (!AfterEquals) return;
        if (Length > kLineLength) NewLine(Level + 1);
        else FOut += ' ';
    }

    // Byte strings: printable runs in quotes (UTF-8 sequences kept whole), control
    // bytes and bytes that are not UTF-8 as #n.
    void WriteNarrowString(const std::string& S, int Level, bool AfterEquals) {
        StartString(S.size(), Level, AfterEquals);
        if (S.empty()) {
            FOut += "''";
            return;
        }
        auto printableAt = [&](size_t i) -> size_t {
            unsigned char c = static_cast<unsigned char>(S[i]);
            if (c < 0x80) return (c >= 0x20 && c != 0x7F) ? 1 : 0;
            return Utf8SequenceLength(S, i);
        };
        size_t i = 0, lineStart = 0;
        while (i < S.size()) {
            size_t len = printableAt(i);
            if (len != 0) {
                FOut += '\'';
                do {
                    if (S[i] == '\'') FOut += '\'';
                    FOut.append(S, i, len);
                    i += len;
                } while (i < S.size() && i - lineStart < kLineLength && (len = printableAt(i)) != 0);
                FOut += '\'';
            } else {
                FOut += '#';
                FOut += std::to_string(static_cast<unsigned char>(S[i]));
                ++i;
            }
            if (i - lineStart >= kLineLength && i < S.size()) {
                FOut += " +";
                NewLine(Level + 1);
                lineStart = i;
            }
        }
    }

    // Wide strings: printable ASCII in quotes, every other unit as a #nnnn escape of at
    // least four digits. A string of printable ASCII only gets its first character
    // escaped, so that the text still reads back as a wide string.
    void WriteWideString(const std::u16string& W, int Level, bool AfterEquals) {
        StartString(W.size(), Level, AfterEquals);
        if (W.empty()) {
            FOut += "''";
            return;
        }
        auto printable = [&](size_t i) { return W[i] >= 0x20 && W[i] < 0x7F; };
        bool anyEscape = false;
        for (char16_t u : W)
            if (u < 0x20 || u >= 0x7F) anyEscape = true;
        size_t i = 0, lineStart = 0;
        while (i < W.size()) {
            if (printable(i) && (anyEscape || i > 0)) {
                FOut += '\'';
                do {
                    if (W[i] == u'\'') FOut += '\'';
                    FOut += static_cast<char>(W[i]);
                    ++i;
                } while (i < W.size() && i - lineStart < kLineLength && printable(i));
                FOut += '\'';
            } else {
                char buf[8];
                std::snprintf(buf, sizeof buf, "#%04u", static_cast<unsigned>(W[i]));
                FOut += buf;
                ++i;
            }
            if (i - lineStart >= kLineLength && i < W.size()) {
                FOut += " +";
                NewLine(Level + 1);
                lineStart = i;
            }
        }
    }
};

// ---------------------------------------------------------------------------
// Text to binary

enum TokenKind { tkEOF, tkSymbol, tkInteger, tkFloat, tkString, tkChar };

struct Token {
    TokenKind Kind = tkEOF;
    char Char = 0;             // tkChar
    std::string Text;          // tkSymbol; tkInteger and tkFloat: the number as written, without suffix
    int Line = 1;
    size_t End = 0;            // offset just past the token
    int64_t Int = 0;           // tkInteger
    char Suffix = 0;           // tkFloat: 0, 's', 'c' or 'd'
    bool Fraction = false;     // tkFloat: has a fraction or exponent
    int Special = 0;           // tkFloat: 1 infinity, 2 NaN
    bool Negative = false;     // tkFloat: sign of a special value
    // tkString: the bytes (for a byte string), the UTF-16 units (for a wide one), and
    // whether the string is wide.
    std::string Narrow;
    std::u16string Wide;
    bool WideMark = false;
    bool BadUtf8 = false;
};

class TextParser {
public:
    explicit TextParser(const std::string& In) : FIn(In) {}

    std::string Convert(size_t& Consumed) {
        if (FIn.compare(0, 3, "\xEF\xBB\xBF") == 0) FPos = 3;
        Next();
        FOut.assign(FilerSignature, 4);
        if (!IsObjectKeyword()) Fail("'object' expected but " + Found() + " found");
        ConvertObject(true);
        Consumed = FTok.End;
        return std::move(FOut);
    }

private:
    const std::string& FIn;
    size_t FPos = 0;
    int FLine = 1;
    int FDepth = 0;
    Token FTok;
    std::string FOut;

    [[noreturn]] void Fail(const std::string& What) const { FailAt(What, FTok.Line); }
    [[noreturn]] void FailAt(const std::string& What, int Line) const {
        throw EParserError(What + " on line " + std::to_string(Line));
    }

    std::string Found() const {
        switch (FTok.Kind) {
            case tkEOF: return "end of text";
            case tkChar: return std::string("'") + FTok.Char + "'";
            case tkString: return "a string";
            case tkSymbol:
            case tkInteger:
            case tkFloat: return "'" + (FTok.Text.size() > 40 ? FTok.Text.substr(0, 40) + "..." : FTok.Text) + "'";
        }
        return "?";
    }

    // ---- the tokenizer

    unsigned char At(size_t I) const { return I < FIn.size() ? static_cast<unsigned char>(FIn[I]) : 0; }

    void Next() {
        while (FPos < FIn.size()) {
            unsigned char c = At(FPos);
            if (c == '\n') ++FLine;
            else if (c != ' ' && c != '\t' && c != '\r' && c != '\f' && c != '\v') break;
            ++FPos;
        }
        FTok = Token();
        FTok.Line = FLine;
        if (FPos >= FIn.size()) {
            FTok.End = FPos;
            return;
        }
        const unsigned char c = At(FPos);
        if (IsIdentStart(c)) {
            size_t start = FPos;
            while (FPos < FIn.size() && IsIdentChar(At(FPos))) ++FPos;
            FTok.Kind = tkSymbol;
            FTok.Text = FIn.substr(start, FPos - start);
        } else if (IsDigit(c) || (c == '-' && IsDigit(At(FPos + 1)))) {
            ScanNumber();
        } else if (c == '$') {
            ScanHexNumber();
        } else if ((c == '+' || c == '-') && IsIdentStart(At(FPos + 1))) {
            ScanSpecialFloat();
        } else if (c == '\'' || c == '#') {
            ScanString();
        } else if (std::strchr("=:[](){}<>,.+", c) != nullptr) {
            FTok.Kind = tkChar;
            FTok.Char = static_cast<char>(c);
            ++FPos;
        } else {
            char buf[32];
            if (c >= 0x20 && c < 0x7F) std::snprintf(buf, sizeof buf, "Invalid character '%c'", c);
            else std::snprintf(buf, sizeof buf, "Invalid character #%u", c);
            Fail(buf);
        }
        FTok.End = FPos;
    }

    void EndOfNumber() {
        if (FPos < FIn.size() && (IsIdentChar(At(FPos)) || At(FPos) == '.' || At(FPos) == '$'))
            Fail("Invalid number '" + FTok.Text + "'");
    }

    void ScanNumber() {
        const size_t start = FPos;
        if (At(FPos) == '-') ++FPos;
        while (IsDigit(At(FPos))) ++FPos;
        bool fraction = false;
        if (At(FPos) == '.' && IsDigit(At(FPos + 1))) {
            fraction = true;
            ++FPos;
            while (IsDigit(At(FPos))) ++FPos;
        }
        if ((At(FPos) == 'e' || At(FPos) == 'E') &&
            (IsDigit(At(FPos + 1)) || ((At(FPos + 1) == '+' || At(FPos + 1) == '-') && IsDigit(At(FPos + 2))))) {
            fraction = true;
            FPos += 2;
            while (IsDigit(At(FPos))) ++FPos;
        }
        FTok.Text = FIn.substr(start, FPos - start);
        char suffix = 0;
        const unsigned char s = At(FPos);
        if ((s == 's' || s == 'S' || s == 'c' || s == 'C' || s == 'd' || s == 'D') && !IsIdentChar(At(FPos + 1))) {
            suffix = static_cast<char>(s | 0x20);
            ++FPos;
        }
        EndOfNumber();
        if (!fraction && suffix == 0) {
            FTok.Kind = tkInteger;
            const char* b = FTok.Text.data();
            auto res = std::from_chars(b, b + FTok.Text.size(), FTok.Int);
            if (res.ec != std::errc()) Fail("Integer " + FTok.Text + " is out of range");
        } else {
            FTok.Kind = tkFloat;
            FTok.Suffix = suffix;
            FTok.Fraction = fraction;
        }
    }

    void ScanHexNumber() {
        const size_t start = FPos++;
        uint64_t v = 0;
        int digits = 0;
        while (HexValue(At(FPos)) >= 0) {
            v = (v << 4) | static_cast<uint64_t>(HexValue(At(FPos)));
            ++FPos;
            ++digits;
        }
        FTok.Text = FIn.substr(start, FPos - start);
        if (digits == 0) Fail("Invalid number '$'");
        if (digits > 16) Fail("Integer " + FTok.Text + " is out of range");
        EndOfNumber();
        FTok.Kind = tkInteger;
        FTok.Int = static_cast<int64_t>(v);
    }

    // +INF, -INF, +NAN, -NAN, each optionally followed by the s or d suffix.
    void ScanSpecialFloat() {
        const size_t start = FPos;
        FTok.Negative = At(FPos) == '-';
        ++FPos;
        while (IsIdentChar(At(FPos))) ++FPos;
        FTok.Text = FIn.substr(start, FPos - start);
        std::string word = FTok.Text.substr(1);
        char suffix = 0;
        if (word.size() == 4) {
            suffix = static_cast<char>(word[3] | 0x20);
            word.resize(3);
        }
        if (!SameAscii(word, "INF") && !SameAscii(word, "NAN")) Fail("Invalid number '" + FTok.Text + "'");
        if (suffix != 0 && suffix != 's' && suffix != 'd') Fail("Invalid number '" + FTok.Text + "'");
        FTok.Kind = tkFloat;
        FTok.Suffix = suffix;
        FTok.Special = SameAscii(word, "INF") ? 1 : 2;
        EndOfNumber();
    }

    // Quoted pieces and #n escapes, written next to each other. The string is wide
    // when an escape is above 255 or written with four or more digits.
    void ScanString() {
        FTok.Kind = tkString;
        std::string quoted;
        for (;;) {
            const unsigned char c = At(FPos);
            if (FPos >= FIn.size()) break;
            if (c == '\'') {
                ++FPos;
                quoted.clear();
                for (;;) {
                    if (FPos >= FIn.size() || At(FPos) == '\n' || At(FPos) == '\r') Fail("Unterminated string");
                    if (At(FPos) == '\'') {
                        if (At(FPos + 1) != '\'') break;
                        ++FPos;
                    }
                    quoted += FIn[FPos++];
                }
                ++FPos;
                FTok.Narrow += quoted;
                if (!AppendUtf8AsUtf16(quoted, FTok.Wide)) FTok.BadUtf8 = true;
            } else if (c == '#') {
                ++FPos;
                const bool hex = At(FPos) == '$';
                if (hex) ++FPos;
                uint32_t v = 0;
                int digits = 0;
                for (;;) {
                    int d = hex ? HexValue(At(FPos)) : (IsDigit(At(FPos)) ? At(FPos) - '0' : -1);
                    if (d < 0) break;
                    v = v * (hex ? 16 : 10) + static_cast<uint32_t>(d);
                    if (v > 0xFFFF) Fail("Character code after '#' is above 65535");
                    ++FPos;
                    ++digits;
                }
                if (digits == 0) Fail("Invalid character code after '#'");
                if (v > 0xFF || digits >= 4) FTok.WideMark = true;
                FTok.Narrow += static_cast<char>(v & 0xFF);
                FTok.Wide += static_cast<char16_t>(v);
            } else {
                break;
            }
        }
    }

    // Reads the hex digits of binary data up to the closing brace; the current token
    // is the opening brace.
    std::string ScanBinary() {
        std::string bytes;
        int high = -1;
        for (;;) {
            if (FPos >= FIn.size()) Fail("'}' expected but end of text found");
            const unsigned char c = At(FPos++);
            if (c == '}') break;
            if (c == '\n') {
                ++FLine;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            const int v = HexValue(c);
            if (v < 0) FailAt("Invalid binary value", FLine);
            if (high < 0) {
                high = v;
            } else {
                bytes += static_cast<char>((high << 4) | v);
                high = -1;
            }
        }
        if (high >= 0) FailAt("Invalid binary value: odd number of hex digits", FLine);
        return bytes;
    }

    // ---- the grammar

    bool IsChar(char C) const { return FTok.Kind == tkChar && FTok.Char == C; }
    bool IsSymbol(const char* S) const { return FTok.Kind == tkSymbol && SameAscii(FTok.Text, S); }
    bool IsObjectKeyword() const { return IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"); }
    void ExpectChar(char C) {
        if (!IsChar(C)) Fail(std::string("'") + C + "' expected but " + Found() + " found");
        Next();
    }
    std::string ExpectSymbol(const char* What) {
        if (FTok.Kind != tkSymbol) Fail(std::string(What) + " expected but " + Found() + " found");
        std::string s = FTok.Text;
        Next();
        return s;
    }
    int32_t ExpectInt32(const char* What) {
        if (FTok.Kind != tkInteger) Fail(std::string(What) + " expected but " + Found() + " found");
        if (FTok.Int < INT32_MIN || FTok.Int > INT32_MAX) Fail(std::string(What) + " " + FTok.Text + " is out of range");
        int32_t v = static_cast<int32_t>(FTok.Int);
        Next();
        return v;
    }
    void Enter() {
        if (++FDepth > kMaxDepth) Fail("Nesting deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    void Leave() { --FDepth; }

    void PutByte(uint8_t B) { FOut += static_cast<char>(B); }
    void PutLE(uint64_t V, int Count) {
        for (int i = 0; i < Count; ++i) PutByte(static_cast<uint8_t>(V >> (8 * i)));
    }
    void PutShortString(const std::string& S, size_t MaxLength, const char* What) {
        if (S.size() > MaxLength)
            Fail(std::string(What) + " is longer than " + std::to_string(MaxLength) + " bytes");
        PutByte(static_cast<uint8_t>(S.size()));
        FOut += S;
    }
    void PutInteger(int64_t V) {
        if (V >= INT8_MIN && V <= INT8_MAX) PutByte(vaInt8), PutLE(static_cast<uint64_t>(V), 1);
        else if (V >= INT16_MIN && V <= INT16_MAX) PutByte(vaInt16), PutLE(static_cast<uint64_t>(V), 2);
        else if (V >= INT32_MIN && V <= INT32_MAX) PutByte(vaInt32), PutLE(static_cast<uint64_t>(V), 4);
        else PutByte(vaInt64), PutLE(static_cast<uint64_t>(V), 8);
    }

    // The current token is object, inherited or inline.
    void ConvertObject(bool Top) {
        Enter();
        uint8_t flags = IsSymbol("inherited") ? ffInherited : IsSymbol("inline") ? ffInline : 0;
        Next();
        std::string className = ExpectSymbol("Class name");
        std::string objectName;
        if (IsChar(':')) {
            Next();
            objectName = std::move(className);
            className = ExpectSymbol("Class name");
        }
        int32_t childPos = 0;
        if (IsChar('[')) {
            Next();
            childPos = ExpectInt32("Child position");
            ExpectChar(']');
            flags |= ffChildPos;
        }
        if (flags != 0) {
            PutByte(static_cast<uint8_t>(0xF0 | flags));
            if (flags & ffChildPos) PutInteger(childPos);
        }
        PutShortString(className, kMaxClassName, "Class name");
        PutShortString(objectName, 255, "Component name");
        while (!IsSymbol("end") && !IsObjectKeyword()) {
            if (FTok.Kind == tkEOF) Fail("'end' expected but end of text found");
            ConvertProperty();
        }
        PutByte(0);
        while (IsObjectKeyword()) ConvertObject(false);
        if (!IsSymbol("end")) Fail("'end' expected but " + Found() + " found");
        PutByte(0);
        Leave();
        // The top object ends at its "end": whatever follows is not read.
        if (!Top) Next();
    }

    void ConvertProperty() {
        std::string name = ExpectSymbol("Property name");
        while (IsChar('.')) {
            Next();
            name += '.';
            name += ExpectSymbol("Property name");
        }
        PutShortString(name, 255, "Property name");
        ExpectChar('=');
        ConvertValue(false);
    }

    void ConvertValue(bool InList) {
        switch (FTok.Kind) {
            case tkSymbol: {
                std::string ident = FTok.Text;
                Next();
                while (IsChar('.')) {
                    Next();
                    ident += '.';
                    ident += ExpectSymbol("Identifier");
                }
                if (SameAscii(ident, "True")) PutByte(vaTrue);
                else if (SameAscii(ident, "False")) PutByte(vaFalse);
                else if (SameAscii(ident, "nil")) PutByte(vaNil);
                else if (SameAscii(ident, "Null")) {
                    // Null is the byte that ends a list, so a list cannot hold it.
                    if (InList) Fail("Null cannot be an item of a list");
                    PutByte(vaNull);
                } else {
                    PutByte(vaIdent);
                    PutShortString(ident, 255, "Identifier");
                }
                return;
            }
            case tkString:
                ConvertString();
                return;
            case tkInteger:
                PutInteger(FTok.Int);
                Next();
                return;
            case tkFloat:
                ConvertFloat();
                Next();
                return;
            case tkEOF:
                Fail("Property value expected but end of text found");
            case tkChar:
                break;
        }
        switch (FTok.Char) {
            case '[': ConvertSet(); return;
            case '(': {
                Enter();
                Next();
                PutByte(vaList);
                while (!IsChar(')')) {
                    if (FTok.Kind == tkEOF) Fail("')' expected but end of text found");
                    ConvertValue(true);
                }
                PutByte(0);
                Leave();
                Next();
                return;
            }
            case '{': {
                std::string bytes = ScanBinary();
                PutByte(vaBinary);
                PutLE(bytes.size(), 4);
                FOut += bytes;
                Next();
                return;
            }
            case '<': ConvertCollection(); return;
            default: break;
        }
        Fail("Invalid property value: " + Found());
    }

    void ConvertString() {
        Token acc = std::move(FTok);
        const int line = acc.Line;
        Next();
        while (IsChar('+')) {
            Next();
            if (FTok.Kind != tkString) Fail("String expected but " + Found() + " found");
            acc.Narrow += FTok.Narrow;
            acc.Wide += FTok.Wide;
            acc.WideMark = acc.WideMark || FTok.WideMark;
            acc.BadUtf8 = acc.BadUtf8 || FTok.BadUtf8;
            Next();
        }
        if (acc.WideMark) {
            if (acc.BadUtf8) FailAt("Invalid UTF-8 in a wide string", line);
            if (acc.Wide.size() > UINT32_MAX) FailAt("String too long", line);
            PutByte(vaWString);
            PutLE(acc.Wide.size(), 4);
            for (char16_t u : acc.Wide) PutLE(u, 2);
        } else if (acc.Narrow.size() <= 255) {
            PutByte(vaString);
            PutByte(static_cast<uint8_t>(acc.Narrow.size()));
            FOut += acc.Narrow;
        } else {
            if (acc.Narrow.size() > UINT32_MAX) FailAt("String too long", line);
            PutByte(vaLString);
            PutLE(acc.Narrow.size(), 4);
            FOut += acc.Narrow;
        }
    }

    void ConvertFloat() {
        const std::string& t = FTok.Text;
        const char* b = t.data();
        const char* e = b + t.size();
        auto outOfRange = [&] { Fail("Number " + t + " is out of range"); };
        if (FTok.Suffix == 's') {
            float f = 0;
            if (FTok.Special == 1) f = std::numeric_limits<float>::infinity();
            else if (FTok.Special == 2) f = std::numeric_limits<float>::quiet_NaN();
            else if (std::from_chars(b, e, f).ec != std::errc()) outOfRange();
            if (FTok.Special) f = std::copysign(f, FTok.Negative ? -1.0f : 1.0f);
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            PutByte(vaSingle);
            PutLE(bits, 4);
            return;
        }
        if (FTok.Suffix == 'c') {
            int64_t v;
            if (!FTok.Fraction) {
                if (std::from_chars(b, e, v).ec != std::errc()) outOfRange();
            } else {
                // A count of ten-thousandths written with a fraction: round to the
                // nearest, halves to even.
                double d;
                if (std::from_chars(b, e, d).ec != std::errc()) outOfRange();
                d = std::nearbyint(d);
                if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) outOfRange();
                v = static_cast<int64_t>(d);
            }
            PutByte(vaCurrency);
            PutLE(static_cast<uint64_t>(v), 8);
            return;
        }
        double d = 0;
        if (FTok.Special == 1) d = std::numeric_limits<double>::infinity();
        else if (FTok.Special == 2) d = std::numeric_limits<double>::quiet_NaN();
        else if (std::from_chars(b, e, d).ec != std::errc()) outOfRange();
        if (FTok.Special) d = std::copysign(d, FTok.Negative ? -1.0 : 1.0);
        if (FTok.Suffix == 'd') {
            uint64_t bits;
            std::memcpy(&bits, &d, 8);
            PutByte(vaDate);
            PutLE(bits, 8);
        } else {
            uint8_t x[10];
            DoubleToExtended(d, x);
            PutByte(vaExtended);
            FOut.append(reinterpret_cast<const char*>(x), 10);
        }
    }

    // [a, b, 3, 'c']: names, numbers, and one-character strings (kept as #n).
    void ConvertSet() {
        Next();
        PutByte(vaSet);
        if (!IsChar(']')) {
            for (;;) {
                std::string element;
                if (FTok.Kind == tkSymbol || FTok.Kind == tkInteger) {
                    element = FTok.Text;
                } else if (FTok.Kind == tkString) {
                    unsigned code;
                    if (FTok.WideMark && FTok.Wide.size() == 1 && !FTok.BadUtf8) code = FTok.Wide[0];
                    else if (!FTok.WideMark && FTok.Narrow.size() == 1) code = static_cast<unsigned char>(FTok.Narrow[0]);
                    else Fail("A set element string must hold one character");
                    element = "#" + std::to_string(code);
                } else {
                    Fail("Set element expected but " + Found() + " found");
                }
                PutShortString(element, 255, "Set element");
                Next();
                if (IsChar(']')) break;
                ExpectChar(',');
            }
        }
        PutByte(0);
        Next();
    }

    // < item [n] Prop = value ... end ... >
    void ConvertCollection() {
        Enter();
        Next();
        PutByte(vaCollection);
        while (!IsChar('>')) {
            if (FTok.Kind == tkEOF) Fail("'>' expected but end of text found");
            if (!IsSymbol("item")) Fail("'item' expected but " + Found() + " found");
            Next();
            if (IsChar('[')) {
                Next();
                PutInteger(ExpectInt32("Item order"));
                ExpectChar(']');
            }
            PutByte(vaList);
            while (!IsSymbol("end")) {
                if (FTok.Kind == tkEOF) Fail("'end' expected but end of text found");
                ConvertProperty();
            }
            PutByte(0);
            Next();
        }
        PutByte(0);
        Leave();
        Next();
    }
};

std::string ReadRest(TStream* Input) {
    std::string in;
    const int64_t left = Input->Size() - Input->Position();
    if (left > 0) {
        in.resize(static_cast<size_t>(left));
        int64_t got = 0;
        while (got < left) {
            int64_t n = Input->Read(in.data() + got, left - got);
            if (n <= 0) break;
            got += n;
        }
        in.resize(static_cast<size_t>(got));
    }
    return in;
}

}  // namespace

std::string ObjectBinaryToTextString(const std::string& Binary) {
    size_t consumed = 0;
    return BinaryReader(Binary, 0).Convert(consumed);
}

std::string ObjectTextToBinaryString(const std::string& Text) {
    size_t consumed = 0;
    return TextParser(Text).Convert(consumed);
}

void ObjectBinaryToText(TStream* Input, TStream* Output) {
    const int64_t start = Input->Position();
    const std::string in = ReadRest(Input);
    size_t consumed = 0;
    const std::string text = BinaryReader(in, start).Convert(consumed);
    Input->SetPosition(start + static_cast<int64_t>(consumed));
    Output->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void ObjectTextToBinary(TStream* Input, TStream* Output) {
    const int64_t start = Input->Position();
    const std::string in = ReadRest(Input);
    size_t consumed = 0;
    const std::string binary = TextParser(in).Convert(consumed);
    Input->SetPosition(start + static_cast<int64_t>(consumed));
    Output->WriteBuffer(binary.data(), static_cast<int64_t>(binary.size()));
}

}  // namespace host
