// System utilities: Format, number and string conversion, file names and files, random numbers.
#include "host/rtl/sysutils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <tuple>
#include <vector>

#include "host/rtl/exceptions.h"

namespace host {

TFormatSettings FormatSettings;

namespace {

constexpr int kNoDecimals = INT_MAX;  // rounding limited by significant digits only

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// ---------------------------------------------------------------------------
// Decimal digits of a number: value = 0.Digits x 10^Exponent.

struct TDecimal {
    enum Kind { Normal, Zero, NaN, PosInf, NegInf };
    Kind kind = Zero;
    bool Negative = false;
    int Exponent = 0;
    std::string Digits;  // significant digits, first one non-zero
};

TDecimal RawFromDouble(double v) {
    TDecimal d;
    if (std::isnan(v)) {
        d.kind = TDecimal::NaN;
        return d;
    }
    if (std::isinf(v)) {
        d.kind = v > 0 ? TDecimal::PosInf : TDecimal::NegInf;
        return d;
    }
    if (v == 0) return d;
    // 40 significant digits tell a true tie at any position up to 19 digits apart
    // from a value merely close to one, so rounding halves away from zero below
    // matches rounding of the exact binary value.
    char buf[80];
    std::snprintf(buf, sizeof buf, "%.39e", std::fabs(v));
    d.kind = TDecimal::Normal;
    d.Negative = v < 0;
    d.Digits.reserve(40);
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p)) d.Digits += *p;
    d.Exponent = (*p == 'e') ? std::atoi(p + 1) + 1 : 1;
    return d;
}

TDecimal RawFromCurrency(Currency c) {
    TDecimal d;
    if (c.Value == 0) return d;
    uint64_t mag = c.Value < 0 ? (~static_cast<uint64_t>(c.Value) + 1) : static_cast<uint64_t>(c.Value);
    d.kind = TDecimal::Normal;
    d.Negative = c.Value < 0;
    d.Digits = std::to_string(mag);
    d.Exponent = static_cast<int>(d.Digits.size()) - 4;
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    return d;
}

// Rounds to at most Precision significant digits and at most Decimals digits
// after the point, halves away from zero; strips trailing zeros.
TDecimal RoundDecimal(const TDecimal& raw, int Precision, int Decimals) {
    if (raw.kind != TDecimal::Normal) return raw;
    TDecimal r = raw;
    long keep = Precision;
    if (Decimals != kNoDecimals) keep = std::min<long>(keep, static_cast<long>(raw.Exponent) + Decimals);
    if (keep < 0) return TDecimal{};
    size_t k = static_cast<size_t>(keep);
    bool up = k < raw.Digits.size() && raw.Digits[k] >= '5';
    r.Digits = raw.Digits.substr(0, std::min(k, raw.Digits.size()));
    if (up) {
        int i = static_cast<int>(r.Digits.size()) - 1;
        while (i >= 0 && r.Digits[i] == '9') r.Digits[i--] = '0';
        if (i >= 0) {
            ++r.Digits[i];
        } else {
            r.Digits.insert(r.Digits.begin(), '1');
            ++r.Exponent;
        }
    }
    while (!r.Digits.empty() && r.Digits.back() == '0') r.Digits.pop_back();
    if (r.Digits.empty()) return TDecimal{};
    return r;
}

std::string SpecialText(const TDecimal& d) {
    switch (d.kind) {
        case TDecimal::NaN: return "NAN";
        case TDecimal::PosInf: return "INF";
        case TDecimal::NegInf: return "-INF";
        default: return "";
    }
}

std::string ExponentText(int e, bool plusSign, int minDigits) {
    std::string s = std::to_string(e < 0 ? -static_cast<long>(e) : e);
    if (static_cast<int>(s.size()) < minDigits) s.insert(0, minDigits - s.size(), '0');
    if (e < 0) return "-" + s;
    return plusSign ? "+" + s : s;
}

std::string FormatGeneral(const TDecimal& d, int Precision, int ExpDigits, char DecSep) {
    if (d.kind == TDecimal::Zero) return "0";
    std::string s = d.Negative ? "-" : "";
    const std::string& g = d.Digits;
    int e = d.Exponent;
    if (e > Precision || e < -3) {
        s += g[0];
        if (g.size() > 1) {
            s += DecSep;
            s.append(g, 1);
        }
        s += 'E';
        s += ExponentText(e - 1, false, ExpDigits);
    } else if (e <= 0) {
        s += '0';
        s += DecSep;
        s.append(-e, '0');
        s += g;
    } else {
        if (static_cast<int>(g.size()) <= e) {
            s += g;
            s.append(e - g.size(), '0');
        } else {
            s.append(g, 0, e);
            s += DecSep;
            s.append(g, e);
        }
    }
    return s;
}

std::string FormatExponent(const TDecimal& d, int Precision, int ExpDigits, char DecSep) {
    std::string g = d.kind == TDecimal::Zero ? std::string() : d.Digits;
    if (static_cast<int>(g.size()) < Precision) g.append(Precision - g.size(), '0');
    std::string s = (d.kind == TDecimal::Normal && d.Negative) ? "-" : "";
    s += g[0];
    if (Precision > 1) {
        s += DecSep;
        s.append(g, 1, Precision - 1);
    }
    s += 'E';
    s += ExponentText(d.kind == TDecimal::Zero ? 0 : d.Exponent - 1, true, ExpDigits);
    return s;
}

// Integer digits of a rounded decimal ("" below 1) and its fraction digits.
std::string IntDigits(const TDecimal& d) {
    if (d.kind != TDecimal::Normal || d.Exponent <= 0) return "";
    std::string s = d.Digits.substr(0, std::min<size_t>(d.Exponent, d.Digits.size()));
    if (static_cast<int>(s.size()) < d.Exponent) s.append(d.Exponent - s.size(), '0');
    return s;
}

std::string FracDigits(const TDecimal& d) {
    if (d.kind != TDecimal::Normal) return "";
    if (d.Exponent >= 0) return static_cast<int>(d.Digits.size()) > d.Exponent ? d.Digits.substr(d.Exponent) : "";
    return std::string(-d.Exponent, '0') + d.Digits;
}

std::string GroupThousands(const std::string& intPart, char Sep) {
    if (Sep == '\0' || intPart.size() <= 3) return intPart;
    std::string s;
    size_t n = intPart.size();
    for (size_t i = 0; i < n; ++i) {
        s += intPart[i];
        size_t rest = n - 1 - i;
        if (rest > 0 && rest % 3 == 0) s += Sep;
    }
    return s;
}

std::string CurrencyWrap(const std::string& num, bool negative, const TFormatSettings& fs) {
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
            case 1: return num + c;
            case 2: return c + " " + num;
            case 3: return num + " " + c;
            default: return c + num;
        }
    }
    switch (fs.NegCurrFormat) {
        case 1: return "-" + c + num;
        case 2: return c + "-" + num;
        case 3: return c + num + "-";
        case 4: return "(" + num + c + ")";
        case 5: return "-" + num + c;
        case 6: return num + "-" + c;
        case 7: return num + c + "-";
        case 8: return "-" + num + " " + c;
        case 9: return "-" + c + " " + num;
        case 10: return num + " " + c + "-";
        case 11: return c + " " + num + "-";
        case 12: return c + " -" + num;
        case 13: return num + "- " + c;
        case 14: return "(" + c + " " + num + ")";
        case 15: return "(" + num + " " + c + ")";
        default: return "(" + c + num + ")";
    }
}

std::string FloatToText(const TDecimal& raw, TFloatFormat Format, int Precision, int Digits, int MaxPrecision,
                        const TFormatSettings& fs) {
    if (raw.kind == TDecimal::NaN || raw.kind == TDecimal::PosInf || raw.kind == TDecimal::NegInf)
        return SpecialText(raw);
    Precision = std::clamp(Precision, 1, MaxPrecision);
    switch (Format) {
        case ffExponent:
            return FormatExponent(RoundDecimal(raw, Precision, kNoDecimals), Precision, std::clamp(Digits, 0, 4),
                                  fs.DecimalSeparator);
        case ffFixed:
        case ffNumber:
        case ffCurrency: {
            Digits = std::clamp(Digits, 0, 18);
            if (raw.kind == TDecimal::Normal && raw.Exponent > Precision)
                return FormatGeneral(RoundDecimal(raw, Precision, kNoDecimals), Precision, 0, fs.DecimalSeparator);
            TDecimal d = RoundDecimal(raw, Precision, Digits);
            std::string ip = IntDigits(d);
            if (ip.empty()) ip = "0";
            if (Format != ffFixed) ip = GroupThousands(ip, fs.ThousandSeparator);
            std::string s = ip;
            if (Digits > 0) {
                std::string fp = FracDigits(d);
                fp.resize(Digits, '0');
                s += fs.DecimalSeparator;
                s += fp;
            }
            bool neg = d.kind == TDecimal::Normal && d.Negative;
            if (Format == ffCurrency) return CurrencyWrap(s, neg, fs);
            return neg ? "-" + s : s;
        }
        case ffGeneral:
        default:
            return FormatGeneral(RoundDecimal(raw, Precision, kNoDecimals), Precision, std::clamp(Digits, 0, 4),
                                 fs.DecimalSeparator);
    }
}

// ---------------------------------------------------------------------------
// FormatFloat's picture.

std::vector<std::string> SplitSections(const std::string& fmt) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            if (sections.size() == 3) break;
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

struct TPicture {
    int DigitsBefore = 0;  // placeholders before the point
    int MinInt = 0;        // from the first '0' before the point to the point
    int DigitsAfter = 0;   // placeholders after the point
    int MinFrac = 0;       // up to the last '0' after the point
    bool Thousands = false;
    bool Scientific = false;
};

TPicture ParsePicture(const std::string& sec) {
    TPicture p;
    int firstZero = -1;
    bool point = false;
    char quote = 0;
    for (size_t i = 0; i < sec.size(); ++i) {
        char c = sec[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (point) {
                ++p.DigitsAfter;
                if (c == '0') p.MinFrac = p.DigitsAfter;
            } else {
                if (c == '0' && firstZero < 0) firstZero = p.DigitsBefore;
                ++p.DigitsBefore;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            p.Thousands = true;
        } else if ((c == 'E' || c == 'e') && i + 1 < sec.size() && (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            p.Scientific = true;
            break;
        }
    }
    p.MinInt = firstZero < 0 ? 0 : p.DigitsBefore - firstZero;
    return p;
}

std::string ApplyPicture(const std::string& sec, const TPicture& p, const TDecimal& d, bool minus,
                         const TFormatSettings& fs, int Precision) {
    std::string ip, fp;
    int exponent = 0;
    if (p.Scientific) {
        int total = std::max(1, p.DigitsBefore + p.DigitsAfter);
        TDecimal r = RoundDecimal(d, std::min(total, Precision), kNoDecimals);
        std::string g = r.kind == TDecimal::Normal ? r.Digits : "";
        g.resize(total, '0');
        ip = g.substr(0, p.DigitsBefore);
        fp = g.substr(p.DigitsBefore);
        exponent = r.kind == TDecimal::Normal ? r.Exponent - p.DigitsBefore : 0;
        if (static_cast<int>(ip.size()) < p.MinInt) ip.insert(0, p.MinInt - ip.size(), '0');
        while (static_cast<int>(fp.size()) > p.MinFrac && !fp.empty() && fp.back() == '0') fp.pop_back();
    } else {
        ip = IntDigits(d);
        fp = FracDigits(d);
        if (static_cast<int>(ip.size()) < p.MinInt) ip.insert(0, p.MinInt - ip.size(), '0');
        if (static_cast<int>(fp.size()) < p.MinFrac) fp.append(p.MinFrac - fp.size(), '0');
    }
    // Zeros before the first '0' placeholder are not shown: "#" of 0 is "".
    if (p.MinInt == 0 && !ip.empty() && ip.find_first_not_of('0') == std::string::npos) ip.clear();

    std::string out = minus ? "-" : "";
    const int L = static_cast<int>(ip.size());
    const int P = p.DigitsBefore;
    auto emitInt = [&](int from, int to) {  // digits [from, to) of ip
        for (int k = std::max(from, 0); k < to; ++k) {
            out += ip[k];
            int rest = L - 1 - k;
            if (p.Thousands && rest > 0 && rest % 3 == 0 && fs.ThousandSeparator) out += fs.ThousandSeparator;
        }
    };
    int before = 0, after = 0;
    bool point = false, intDone = false;
    char quote = 0;
    auto flushInt = [&]() {  // integer digits with no placeholder of their own
        if (!intDone) {
            if (P == 0) emitInt(0, L);
            intDone = true;
        }
    };
    for (size_t i = 0; i < sec.size(); ++i) {
        char c = sec[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#') {
            if (!point) {
                int k = before - P + L;  // the digit this placeholder stands for
                if (before == 0)
                    emitInt(0, k + 1);
                else if (k >= 0)
                    emitInt(k, k + 1);
                ++before;
                if (before == P) intDone = true;
            } else {
                if (after < static_cast<int>(fp.size())) out += fp[after];
                ++after;
            }
        } else if (c == '.') {
            if (!point) {
                flushInt();
                point = true;
                if (!fp.empty()) out += fs.DecimalSeparator;
            }
        } else if (c == ',') {
            // thousands flag only
        } else if ((c == 'E' || c == 'e') && i + 1 < sec.size() && (sec[i + 1] == '+' || sec[i + 1] == '-')) {
            flushInt();
            bool plus = sec[i + 1] == '+';
            i += 2;
            int zeros = 0;
            while (i < sec.size() && sec[i] == '0') {
                ++zeros;
                ++i;
            }
            --i;
            out += c;
            out += ExponentText(exponent, plus, std::min(zeros, 4));
        } else {
            out += c;
        }
    }
    flushInt();
    return out;
}

std::string FormatFloatImpl(const std::string& fmt, const TDecimal& raw, int Precision, const TFormatSettings& fs) {
    if (raw.kind == TDecimal::NaN || raw.kind == TDecimal::PosInf || raw.kind == TDecimal::NegInf)
        return SpecialText(raw);
    if (fmt.empty()) return FloatToText(raw, ffGeneral, 15, 0, Precision, fs);
    std::vector<std::string> sections = SplitSections(fmt);
    auto usable = [&](size_t i) { return i < sections.size() && !sections[i].empty(); };
    size_t index = 0;
    if (raw.kind == TDecimal::Zero)
        index = usable(2) ? 2 : 0;
    else if (raw.Negative)
        index = usable(1) ? 1 : 0;
    auto rounded = [&](size_t sec) {
        TPicture p = ParsePicture(sections[sec]);
        TDecimal d = p.Scientific ? raw : RoundDecimal(raw, Precision, p.DigitsAfter);
        return std::make_pair(p, d);
    };
    auto [pic, d] = rounded(index);
    if (d.kind == TDecimal::Zero && raw.kind != TDecimal::Zero && usable(2)) {
        index = 2;
        std::tie(pic, d) = rounded(index);
    }
    bool minus = index == 0 && d.kind == TDecimal::Normal && d.Negative;
    return ApplyPicture(sections[index], pic, d, minus, fs, Precision);
}

// ---------------------------------------------------------------------------
// Parsing numbers.

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses an integer: decimal within [-2^(bits-1), 2^(bits-1) - 1], hex within
// [0, 2^bits - 1] taken as its two's-complement image, optional sign.
bool ParseInteger(const std::string& S, int bits, int64_t& out) {
    std::string_view s = TrimView(S);
    bool neg = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        neg = s[0] == '-';
        s.remove_prefix(1);
    }
    bool hex = false;
    if (!s.empty() && s[0] == '$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    const uint64_t limit = hex ? (bits == 64 ? UINT64_MAX : (uint64_t(1) << bits) - 1)
                               : (uint64_t(1) << (bits - 1)) - (neg ? 0 : 1);
    uint64_t v = 0;
    const unsigned base = hex ? 16 : 10;
    for (char c : s) {
        int dv = hex ? HexValue(c) : (IsDigit(c) ? c - '0' : -1);
        if (dv < 0) return false;
        if (v > (limit - static_cast<unsigned>(dv)) / base) return false;
        v = v * base + static_cast<unsigned>(dv);
    }
    if (hex && bits == 32) v = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(v))));
    int64_t r = static_cast<int64_t>(v);
    out = neg ? static_cast<int64_t>(0 - static_cast<uint64_t>(r)) : r;
    return true;
}

// Splits a decimal number "[sign]digits[sep digits][E[sign]digits]" into its
// digits (leading zeros dropped), the power of ten that scales them and the sign.
struct TParsedNumber {
    bool Negative = false;
    std::string Digits;
    long Exp10 = 0;  // value = Digits x 10^Exp10
};

bool ParseDecimalText(const std::string& S, char DecSep, TParsedNumber& n) {
    std::string_view s = TrimView(S);
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) n.Negative = s[i++] == '-';
    bool any = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        any = true;
        if (!n.Digits.empty() || s[i] != '0') n.Digits += s[i];
    }
    if (i < s.size() && s[i] == DecSep) {
        ++i;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            any = true;
            if (!n.Digits.empty() || s[i] != '0') n.Digits += s[i];
            --n.Exp10;
        }
    }
    if (!any) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool eneg = false;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) eneg = s[i++] == '-';
        if (i >= s.size() || !IsDigit(s[i])) return false;
        long e = 0;
        for (; i < s.size() && IsDigit(s[i]); ++i) e = std::min(e * 10 + (s[i] - '0'), 100000L);
        n.Exp10 += eneg ? -e : e;
    }
    return i == s.size();
}

bool TextToFloat(const std::string& S, double& Value, const TFormatSettings& fs) {
    TParsedNumber n;
    if (!ParseDecimalText(S, fs.DecimalSeparator, n)) return false;
    if (n.Digits.empty()) {
        Value = n.Negative ? -0.0 : 0.0;
        return true;
    }
    std::string text = n.Digits + "e" + std::to_string(n.Exp10);
    double v = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        if (static_cast<long>(n.Digits.size()) + n.Exp10 > 0) return false;  // overflow
        v = 0;                                                                // underflow
    } else if (res.ec != std::errc()) {
        return false;
    }
    Value = n.Negative ? -v : v;
    return true;
}

bool TextToCurr(const std::string& S, Currency& Value, const TFormatSettings& fs) {
    TParsedNumber n;
    if (!ParseDecimalText(S, fs.DecimalSeparator, n)) return false;
    long shift = n.Exp10 + 4;
    std::string keep = n.Digits;
    bool up = false;
    if (shift < 0) {
        size_t drop = static_cast<size_t>(-shift);
        if (drop > keep.size()) {
            keep.clear();
        } else {
            std::string dropped = keep.substr(keep.size() - drop);
            keep.resize(keep.size() - drop);
            if (!dropped.empty() && dropped[0] > '5') {
                up = true;
            } else if (!dropped.empty() && dropped[0] == '5') {
                bool rest = dropped.find_first_not_of('0', 1) != std::string::npos;
                bool odd = !keep.empty() && (keep.back() - '0') % 2 == 1;
                up = rest || odd;
            }
        }
        shift = 0;
    }
    if (static_cast<long>(keep.size()) + shift > 19) return false;
    const uint64_t limit = uint64_t(INT64_MAX) + (n.Negative ? 1 : 0);
    uint64_t v = 0;
    for (char c : keep) v = v * 10 + static_cast<unsigned>(c - '0');
    for (long k = 0; k < shift; ++k) {
        if (v > limit / 10) return false;
        v *= 10;
    }
    if (v > limit || (up && v == limit)) return false;
    if (up) ++v;
    Value.Value = n.Negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

// ---------------------------------------------------------------------------
// Format.

[[noreturn]] void RaiseFormatError(const std::string& fmt) {
    throw EConvertError("Format '" + fmt + "' invalid or incompatible with argument");
}

std::string HexDigits(uint64_t v) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, v, 16);
    std::string s(buf, res.ptr);
    for (char& c : s) c = AsciiUpper(c);
    return s;
}

std::string FormatImpl(const std::string& fmt, std::span<const TVarRec> args, const TFormatSettings& fs) {
    std::string out;
    out.reserve(fmt.size() + 16);
    size_t argIndex = 0;
    const size_t n = fmt.size();
    size_t i = 0;
    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= args.size()) RaiseFormatError(fmt);
        return args[argIndex++];
    };
    // A number in digits or "*" (the next argument, an integer).
    auto readNum = [&](int& v) -> bool {
        if (i < n && fmt[i] == '*') {
            ++i;
            const TVarRec& a = nextArg();
            if (a.VType != vtInteger && a.VType != vtInt64) RaiseFormatError(fmt);
            int64_t x = a.AsInt64();
            v = static_cast<int>(std::clamp<int64_t>(x, INT_MIN / 2, INT_MAX / 2));
            return true;
        }
        if (i < n && IsDigit(fmt[i])) {
            int64_t x = 0;
            while (i < n && IsDigit(fmt[i])) {
                x = x * 10 + (fmt[i++] - '0');
                if (x > INT_MAX / 2) RaiseFormatError(fmt);
            }
            v = static_cast<int>(x);
            return true;
        }
        return false;
    };
    while (i < n) {
        size_t pct = fmt.find('%', i);
        if (pct == std::string::npos) {
            out.append(fmt, i, std::string::npos);
            break;
        }
        out.append(fmt, i, pct - i);
        i = pct + 1;
        if (i >= n) RaiseFormatError(fmt);
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        int width = -1, prec = -1, v = 0;
        bool have = readNum(v);
        if (have && i < n && fmt[i] == ':') {
            if (v < 0) RaiseFormatError(fmt);
            argIndex = static_cast<size_t>(v);
            ++i;
            have = false;
        }
        if (!have) {
            if (i < n && fmt[i] == '-') {
                left = true;
                ++i;
            }
            have = readNum(v);
        }
        if (have) {
            width = v;
            if (width < 0) {
                left = true;
                width = -width;
            }
        }
        if (i < n && fmt[i] == '.') {
            ++i;
            if (!readNum(prec)) prec = 0;
            if (prec < 0) prec = -1;
        }
        if (i >= n) RaiseFormatError(fmt);
        char type = AsciiLower(fmt[i++]);
        const TVarRec& a = nextArg();
        const bool isInt = a.VType == vtInteger || a.VType == vtInt64;
        const bool isFloat = a.VType == vtExtended || a.VType == vtCurrency;
        std::string s;
        auto raw = [&]() { return a.VType == vtCurrency ? RawFromCurrency(a.AsCurrency()) : RawFromDouble(a.AsFloat()); };
        const int maxPrec = a.VType == vtCurrency ? 19 : 18;
        switch (type) {
            case 'd': {
                if (!isInt) RaiseFormatError(fmt);
                int64_t x = a.AsInt64();
                bool neg = !a.IsUnsigned() && x < 0;
                uint64_t mag = a.IsUnsigned() ? static_cast<uint64_t>(x)
                                              : (neg ? 0 - static_cast<uint64_t>(x) : static_cast<uint64_t>(x));
                s = std::to_string(mag);
                if (prec > 0 && static_cast<int>(s.size()) < prec) s.insert(0, prec - s.size(), '0');
                if (neg) s.insert(0, 1, '-');
                break;
            }
            case 'u': {
                if (!isInt) RaiseFormatError(fmt);
                uint64_t x = a.VType == vtInteger ? static_cast<uint32_t>(a.AsInt64()) : static_cast<uint64_t>(a.AsInt64());
                s = std::to_string(x);
                if (prec > 0 && static_cast<int>(s.size()) < prec) s.insert(0, prec - s.size(), '0');
                break;
            }
            case 'x': {
                if (!isInt) RaiseFormatError(fmt);
                uint64_t x = a.VType == vtInteger ? static_cast<uint32_t>(a.AsInt64()) : static_cast<uint64_t>(a.AsInt64());
                s = HexDigits(x);
                if (prec > 0 && static_cast<int>(s.size()) < prec) s.insert(0, prec - s.size(), '0');
                break;
            }
            case 'e':
                if (!isFloat) RaiseFormatError(fmt);
                s = FloatToText(raw(), ffExponent, prec < 0 ? 15 : prec, 3, maxPrec, fs);
                break;
            case 'f':
                if (!isFloat) RaiseFormatError(fmt);
                s = FloatToText(raw(), ffFixed, maxPrec, prec < 0 ? 2 : prec, maxPrec, fs);
                break;
            case 'g':
                if (!isFloat) RaiseFormatError(fmt);
                s = FloatToText(raw(), ffGeneral, prec < 0 ? 15 : prec, 3, maxPrec, fs);
                break;
            case 'n':
                if (!isFloat) RaiseFormatError(fmt);
                s = FloatToText(raw(), ffNumber, maxPrec, prec < 0 ? 2 : prec, maxPrec, fs);
                break;
            case 'm':
                if (!isFloat) RaiseFormatError(fmt);
                s = FloatToText(raw(), ffCurrency, maxPrec, prec < 0 ? fs.CurrencyDecimals : prec, maxPrec, fs);
                break;
            case 'p': {
                if (a.VType != vtPointer) RaiseFormatError(fmt);
                s = HexDigits(reinterpret_cast<uintptr_t>(a.AsPointer()));
                s.insert(0, 16 - s.size(), '0');
                break;
            }
            case 's':
                if (a.VType != vtAnsiString && a.VType != vtChar) RaiseFormatError(fmt);
                s = prec >= 0 ? Utf8Truncate(a.AsString(), prec) : a.AsString();
                break;
            default:
                RaiseFormatError(fmt);
        }
        if (width > 0) {
            int len = Utf8Length(s);
            if (len < width) {
                if (left)
                    s.append(width - len, ' ');
                else
                    s.insert(0, width - len, ' ');
            }
        }
        out += s;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Case mapping of Latin, Greek and Cyrillic letters.

char32_t ToUpperCp(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x137) return c & ~1u;
    if (c >= 0x139 && c <= 0x148) return (c % 2 == 0) ? c - 1 : c;
    if (c >= 0x14A && c <= 0x177) return c & ~1u;
    if (c >= 0x179 && c <= 0x17E) return (c % 2 == 0) ? c - 1 : c;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

char32_t ToLowerCp(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x137) return c | 1u;
    if (c >= 0x139 && c <= 0x148) return (c % 2 == 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1u;
    if (c >= 0x179 && c <= 0x17E) return (c % 2 == 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

template <class F>
std::string MapCodePoints(const std::string& S, F f) {
    std::string r;
    r.reserve(S.size());
    size_t i = 0;
    while (i < S.size()) {
        unsigned char b = static_cast<unsigned char>(S[i]);
        if (b < 0x80) {
            r += static_cast<char>(f(b));
            ++i;
            continue;
        }
        size_t start = i;
        char32_t c = Utf8Next(S, i);
        if (c == 0xFFFD) {
            r.append(S, start, i - start);  // malformed bytes pass through unchanged
        } else {
            Utf8Append(r, f(c));
        }
    }
    return r;
}

int CompareCodePoints(const std::string& a, const std::string& b, bool fold) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x = Utf8Next(a, i), y = Utf8Next(b, j);
        if (fold) {
            x = ToLowerCp(x);
            y = ToLowerCp(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// ---------------------------------------------------------------------------
// File names.

bool IsDelim(char c) { return c == '/' || c == '\\'; }

// Index just after the last path delimiter (0 when there is none).
size_t NameStart(const std::string& s) {
    size_t p = s.find_last_of("/\\");
    return p == std::string::npos ? 0 : p + 1;
}

std::vector<std::string> SplitPath(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (IsDelim(c)) {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

TDateTime TimeSpecToDateTime(const timespec& ts) {
    std::tm tm{};
    time_t t = ts.tv_sec;
    localtime_r(&t, &tm);
    TDateTime d;
    if (!TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, d)) return -1;
    int sec = std::min(tm.tm_sec, 59);
    double tod = (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + sec) * 1000.0 + static_cast<double>(ts.tv_nsec / 1000000);
    return d >= 0 ? d + tod / MSecsPerDay : d - tod / MSecsPerDay;
}

// ---------------------------------------------------------------------------
// Random numbers.

uint32_t gRandSeed = 0;

uint32_t NextRand() {
    gRandSeed = gRandSeed * 0x08088405u + 1u;
    return gRandSeed;
}

}  // namespace

// ---------------------------------------------------------------------------
// Format

std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args) {
    return FormatImpl(Fmt, std::span<const TVarRec>(Args.begin(), Args.size()), FormatSettings);
}
std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings) {
    return FormatImpl(Fmt, std::span<const TVarRec>(Args.begin(), Args.size()), Settings);
}
std::string Format(const std::string& Fmt, std::span<const TVarRec> Args) {
    return FormatImpl(Fmt, Args, FormatSettings);
}
std::string Format(const std::string& Fmt, std::span<const TVarRec> Args, const TFormatSettings& Settings) {
    return FormatImpl(Fmt, Args, Settings);
}
void FmtStr(std::string& Result, const std::string& Fmt, std::initializer_list<TVarRec> Args) {
    Result = Format(Fmt, Args);
}
void FmtStr(std::string& Result, const std::string& Fmt, std::initializer_list<TVarRec> Args,
            const TFormatSettings& Settings) {
    Result = Format(Fmt, Args, Settings);
}

// ---------------------------------------------------------------------------
// Integers

std::string IntToStr(int64_t Value) { return std::to_string(Value); }
std::string UIntToStr(uint64_t Value) { return std::to_string(Value); }

std::string IntToHex64(uint64_t Value, int Digits) {
    std::string s = HexDigits(Value);
    Digits = std::min(Digits, 32);
    if (static_cast<int>(s.size()) < Digits) s.insert(0, Digits - s.size(), '0');
    return s;
}

bool TryStrToInt(const std::string& S, int& Value) {
    int64_t v;
    if (!ParseInteger(S, 32, v)) return false;
    Value = static_cast<int>(v);
    return true;
}
bool TryStrToInt64(const std::string& S, int64_t& Value) { return ParseInteger(S, 64, Value); }

int StrToInt(const std::string& S) {
    int v;
    if (!TryStrToInt(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}
int64_t StrToInt64(const std::string& S) {
    int64_t v;
    if (!TryStrToInt64(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}
int StrToIntDef(const std::string& S, int Default) {
    int v;
    return TryStrToInt(S, v) ? v : Default;
}
int64_t StrToInt64Def(const std::string& S, int64_t Default) {
    int64_t v;
    return TryStrToInt64(S, v) ? v : Default;
}

// ---------------------------------------------------------------------------
// Floating point

bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings) {
    return TextToFloat(S, Value, Settings);
}
bool TryStrToFloat(const std::string& S, double& Value) { return TextToFloat(S, Value, FormatSettings); }
double StrToFloat(const std::string& S, const TFormatSettings& Settings) {
    double v;
    if (!TextToFloat(S, v, Settings)) throw EConvertError("'" + S + "' is not a valid floating point value");
    return v;
}
double StrToFloat(const std::string& S) { return StrToFloat(S, FormatSettings); }
double StrToFloatDef(const std::string& S, double Default, const TFormatSettings& Settings) {
    double v;
    return TextToFloat(S, v, Settings) ? v : Default;
}
double StrToFloatDef(const std::string& S, double Default) { return StrToFloatDef(S, Default, FormatSettings); }

std::string FloatToStr(double Value, const TFormatSettings& Settings) {
    return FloatToText(RawFromDouble(Value), ffGeneral, 15, 0, 18, Settings);
}
std::string FloatToStr(double Value) { return FloatToStr(Value, FormatSettings); }

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits, const TFormatSettings& Settings) {
    return FloatToText(RawFromDouble(Value), Format, Precision, Digits, 18, Settings);
}
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

std::string FormatFloat(const std::string& Format, double Value, const TFormatSettings& Settings) {
    return FormatFloatImpl(Format, RawFromDouble(Value), 15, Settings);
}
std::string FormatFloat(const std::string& Format, double Value) { return FormatFloat(Format, Value, FormatSettings); }
std::string FormatCurr(const std::string& Format, Currency Value, const TFormatSettings& Settings) {
    return FormatFloatImpl(Format, RawFromCurrency(Value), 19, Settings);
}
std::string FormatCurr(const std::string& Format, Currency Value) { return FormatCurr(Format, Value, FormatSettings); }

// ---------------------------------------------------------------------------
// Currency

std::string CurrToStr(Currency Value, const TFormatSettings& Settings) {
    std::string s = FloatToText(RawFromCurrency(Value), ffFixed, 19, 4, 19, Settings);
    size_t dot = s.find(Settings.DecimalSeparator);
    if (dot != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.size() == dot + 1) s.pop_back();
    }
    return s;
}
std::string CurrToStr(Currency Value) { return CurrToStr(Value, FormatSettings); }
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings) {
    return FloatToText(RawFromCurrency(Value), Format, 19, Digits, 19, Settings);
}
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits) {
    return CurrToStrF(Value, Format, Digits, FormatSettings);
}

bool TryStrToCurr(const std::string& S, Currency& Value, const TFormatSettings& Settings) {
    return TextToCurr(S, Value, Settings);
}
bool TryStrToCurr(const std::string& S, Currency& Value) { return TextToCurr(S, Value, FormatSettings); }
Currency StrToCurr(const std::string& S, const TFormatSettings& Settings) {
    Currency c;
    if (!TextToCurr(S, c, Settings)) throw EConvertError("'" + S + "' is not a valid floating point value");
    return c;
}
Currency StrToCurr(const std::string& S) { return StrToCurr(S, FormatSettings); }
Currency StrToCurrDef(const std::string& S, Currency Default) {
    Currency c;
    return TextToCurr(S, c, FormatSettings) ? c : Default;
}

// ---------------------------------------------------------------------------
// Booleans

std::string BoolToStr(bool B, bool UseBoolStrs) {
    if (UseBoolStrs) return B ? "True" : "False";
    return B ? "-1" : "0";
}

bool TryStrToBool(const std::string& S, bool& Value) {
    std::string t(TrimView(S));
    if (SameText(t, "True")) {
        Value = true;
        return true;
    }
    if (SameText(t, "False")) {
        Value = false;
        return true;
    }
    double d;
    if (TextToFloat(t, d, FormatSettings)) {
        Value = d != 0;
        return true;
    }
    return false;
}
bool StrToBool(const std::string& S) {
    bool b;
    if (!TryStrToBool(S, b)) throw EConvertError("'" + S + "' is not a valid boolean value");
    return b;
}
bool StrToBoolDef(const std::string& S, bool Default) {
    bool b;
    return TryStrToBool(S, b) ? b : Default;
}

// ---------------------------------------------------------------------------
// Case and comparison

std::string UpperCase(const std::string& S) {
    std::string r = S;
    for (char& c : r) c = AsciiUpper(c);
    return r;
}
std::string LowerCase(const std::string& S) {
    std::string r = S;
    for (char& c : r) c = AsciiLower(c);
    return r;
}

int CompareStr(const std::string& S1, const std::string& S2) {
    size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        int a = static_cast<unsigned char>(S1[i]), b = static_cast<unsigned char>(S2[i]);
        if (a != b) return a - b;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}
int CompareText(const std::string& S1, const std::string& S2) {
    size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        int a = static_cast<unsigned char>(AsciiUpper(S1[i])), b = static_cast<unsigned char>(AsciiUpper(S2[i]));
        if (a != b) return a - b;
    }
    return static_cast<int>(S1.size()) - static_cast<int>(S2.size());
}
bool SameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }
bool SameText(const std::string& S1, const std::string& S2) {
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

std::string AnsiUpperCase(const std::string& S) { return MapCodePoints(S, ToUpperCp); }
std::string AnsiLowerCase(const std::string& S) { return MapCodePoints(S, ToLowerCp); }
int AnsiCompareStr(const std::string& S1, const std::string& S2) { return CompareCodePoints(S1, S2, false); }
int AnsiCompareText(const std::string& S1, const std::string& S2) { return CompareCodePoints(S1, S2, true); }
bool AnsiSameStr(const std::string& S1, const std::string& S2) { return S1 == S2; }
bool AnsiSameText(const std::string& S1, const std::string& S2) { return CompareCodePoints(S1, S2, true) == 0; }

bool StartsText(const std::string& SubText, const std::string& S) {
    return SubText.size() <= S.size() && SameText(S.substr(0, SubText.size()), SubText);
}
bool EndsText(const std::string& SubText, const std::string& S) {
    return SubText.size() <= S.size() && SameText(S.substr(S.size() - SubText.size()), SubText);
}

// ---------------------------------------------------------------------------
// Trimming and 1-based positions

std::string Trim(const std::string& S) { return std::string(TrimView(S)); }
std::string TrimLeft(const std::string& S) {
    size_t i = 0;
    while (i < S.size() && IsBlank(S[i])) ++i;
    return S.substr(i);
}
std::string TrimRight(const std::string& S) {
    size_t n = S.size();
    while (n > 0 && IsBlank(S[n - 1])) --n;
    return S.substr(0, n);
}

int Pos(const std::string& SubStr, const std::string& S) { return PosEx(SubStr, S, 1); }
int PosEx(const std::string& SubStr, const std::string& S, int Offset) {
    if (SubStr.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size()) return 0;
    size_t p = S.find(SubStr, static_cast<size_t>(Offset - 1));
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(const std::string& S, int Index, int Count) {
    const int64_t L = static_cast<int64_t>(S.size());
    int64_t start = Index < 1 ? 0 : std::min<int64_t>(static_cast<int64_t>(Index) - 1, L);
    int64_t count = Count < 0 ? 0 : std::min<int64_t>(Count, L - start);
    return S.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}
std::string Copy(const std::string& S, int Index) { return Copy(S, Index, INT_MAX); }

void Delete(std::string& S, int Index, int Count) {
    const int64_t L = static_cast<int64_t>(S.size());
    if (Index < 1 || Index > L || Count <= 0) return;
    S.erase(static_cast<size_t>(Index - 1), static_cast<size_t>(std::min<int64_t>(Count, L - Index + 1)));
}

void Insert(const std::string& Source, std::string& S, int Index) {
    int64_t i = std::clamp<int64_t>(Index, 1, static_cast<int64_t>(S.size()) + 1);
    S.insert(static_cast<size_t>(i - 1), Source);
}

std::string StringOfChar(char Ch, int Count) { return Count > 0 ? std::string(Count, Ch) : std::string(); }
std::string LeftStr(const std::string& S, int Count) { return Copy(S, 1, Count); }
std::string RightStr(const std::string& S, int Count) {
    if (Count <= 0) return "";
    size_t n = std::min<size_t>(Count, S.size());
    return S.substr(S.size() - n);
}

std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          TReplaceFlags Flags) {
    if (OldPattern.empty()) return S;
    const bool all = Flags.Contains(rfReplaceAll);
    const std::string hay = Flags.Contains(rfIgnoreCase) ? UpperCase(S) : S;
    const std::string needle = Flags.Contains(rfIgnoreCase) ? UpperCase(OldPattern) : OldPattern;
    std::string r;
    size_t from = 0;
    while (true) {
        size_t p = hay.find(needle, from);
        if (p == std::string::npos) break;
        r.append(S, from, p - from);
        r += NewPattern;
        from = p + needle.size();
        if (!all) break;
    }
    r.append(S, from, std::string::npos);
    return r;
}

// ---------------------------------------------------------------------------
// Quoting, line breaks, identifiers, delimiters, wrapping

std::string QuotedStr(const std::string& S) { return AnsiQuotedStr(S, '\''); }

std::string AnsiQuotedStr(const std::string& S, char Quote) {
    std::string r;
    r.reserve(S.size() + 2);
    r += Quote;
    for (char c : S) {
        r += c;
        if (c == Quote) r += c;
    }
    r += Quote;
    return r;
}

std::string AnsiExtractQuotedStr(const std::string& S, size_t& Pos, char Quote) {
    std::string r;
    if (Pos >= S.size() || S[Pos] != Quote) return r;
    ++Pos;
    while (Pos < S.size()) {
        char c = S[Pos++];
        if (c == Quote) {
            if (Pos < S.size() && S[Pos] == Quote) {
                r += Quote;
                ++Pos;
            } else {
                return r;
            }
        } else {
            r += c;
        }
    }
    return r;
}

std::string AnsiDequotedStr(const std::string& S, char Quote) {
    size_t pos = 0;
    std::string r = AnsiExtractQuotedStr(S, pos, Quote);
    // Unquoted, or quoted text that is not closed at the very end: unchanged.
    if ((r.empty() || pos >= S.size()) && !S.empty() && (S.front() != Quote || S.back() != Quote)) return S;
    return r;
}

std::string AdjustLineBreaks(const std::string& S, TTextLineBreakStyle Style) {
    const char* br = Style == tlbsCRLF ? "\r\n" : "\n";
    std::string r;
    r.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '\r' || c == '\n') {
            char other = c == '\r' ? '\n' : '\r';
            if (i + 1 < S.size() && S[i + 1] == other) ++i;
            r += br;
        } else {
            r += c;
        }
    }
    return r;
}

bool IsValidIdent(const std::string& Ident, bool AllowDots) {
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (Ident.empty()) return false;
    bool start = true;
    for (char c : Ident) {
        if (start) {
            if (!alpha(c)) return false;
            start = false;
        } else if (c == '.' && AllowDots) {
            start = true;
        } else if (!alpha(c) && !IsDigit(c)) {
            return false;
        }
    }
    return !start;
}

bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index) {
    if (Index < 1 || Index > static_cast<int64_t>(S.size())) return false;
    return Delimiters.find(S[Index - 1]) != std::string::npos;
}

int LastDelimiter(const std::string& Delimiters, const std::string& S) {
    size_t p = S.find_last_of(Delimiters);
    return p == std::string::npos ? 0 : static_cast<int>(p) + 1;
}

std::string WrapText(const std::string& Line, const std::string& BreakStr, const std::string& BreakChars, int MaxCol) {
    if (MaxCol < 1) MaxCol = 1;
    std::string out;
    size_t lineStart = 0;    // start of the current output line in Line
    size_t breakAt = std::string::npos;  // position after the last break character
    int col = 0;
    char quote = 0;
    size_t i = 0;
    while (i < Line.size()) {
        char c = Line[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (BreakChars.find(c) != std::string::npos) {
            breakAt = i + 1;
        }
        Utf8Next(Line, i);
        ++col;
        if (col > MaxCol && breakAt != std::string::npos && breakAt > lineStart && i < Line.size()) {
            std::string piece = Line.substr(lineStart, breakAt - lineStart);
            out += TrimRight(piece);
            out += BreakStr;
            lineStart = breakAt;
            while (lineStart < Line.size() && Line[lineStart] == ' ') ++lineStart;
            i = lineStart;
            col = 0;
            breakAt = std::string::npos;
            quote = 0;
        }
    }
    out.append(Line, lineStart, std::string::npos);
    return out;
}

std::string WrapText(const std::string& Line, int MaxCol) { return WrapText(Line, sLineBreak, " -\t", MaxCol); }

// ---------------------------------------------------------------------------
// UTF-8

char32_t Utf8Next(std::string_view S, size_t& Pos) {
    if (Pos >= S.size()) return 0;
    unsigned char b = static_cast<unsigned char>(S[Pos]);
    if (b < 0x80) {
        ++Pos;
        return b;
    }
    int len = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (len == 0 || Pos + len > S.size()) {
        ++Pos;
        return 0xFFFD;
    }
    char32_t c = b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char t = static_cast<unsigned char>(S[Pos + k]);
        if ((t & 0xC0) != 0x80) {
            ++Pos;
            return 0xFFFD;
        }
        c = (c << 6) | (t & 0x3F);
    }
    if ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (len == 4 && (c < 0x10000 || c > 0x10FFFF))) {
        ++Pos;
        return 0xFFFD;
    }
    Pos += len;
    return c;
}

void Utf8Append(std::string& S, char32_t c) {
    if (c < 0x80) {
        S += static_cast<char>(c);
    } else if (c < 0x800) {
        S += static_cast<char>(0xC0 | (c >> 6));
        S += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        S += static_cast<char>(0xE0 | (c >> 12));
        S += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        S += static_cast<char>(0xF0 | (c >> 18));
        S += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        S += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int Utf8Length(const std::string& S) {
    int n = 0;
    size_t i = 0;
    while (i < S.size()) {
        Utf8Next(S, i);
        ++n;
    }
    return n;
}

std::string Utf8Truncate(const std::string& S, int Count) {
    size_t i = 0;
    for (int n = 0; n < Count && i < S.size(); ++n) Utf8Next(S, i);
    return S.substr(0, i);
}

bool IsValidUtf8(std::string_view S) {
    size_t i = 0;
    while (i < S.size()) {
        size_t start = i;
        if (Utf8Next(S, i) == 0xFFFD && !(i - start == 3 && S.substr(start, 3) == "\xEF\xBF\xBD")) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// File names

std::string NormalizePath(const std::string& FileName) {
    std::string r = FileName;
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

bool IsPathDelimiter(const std::string& S, int Index) {
    return Index >= 1 && Index <= static_cast<int64_t>(S.size()) && IsDelim(S[Index - 1]);
}

std::string IncludeTrailingPathDelimiter(const std::string& S) {
    if (!S.empty() && IsDelim(S.back())) return S;
    return S + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& S) {
    if (!S.empty() && IsDelim(S.back())) return S.substr(0, S.size() - 1);
    return S;
}

std::string ExtractFilePath(const std::string& FileName) { return FileName.substr(0, NameStart(FileName)); }

std::string ExtractFileDir(const std::string& FileName) {
    size_t n = NameStart(FileName);
    if (n > 1) --n;  // drop the delimiter unless it is the root
    return FileName.substr(0, n);
}

std::string ExtractFileName(const std::string& FileName) { return FileName.substr(NameStart(FileName)); }

std::string ExtractFileExt(const std::string& FileName) {
    size_t start = NameStart(FileName);
    size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || dot < start) return "";
    return FileName.substr(dot);
}

std::string ExtractFileDrive(const std::string&) { return ""; }

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
    size_t start = NameStart(FileName);
    size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || dot < start) return FileName + Extension;
    return FileName.substr(0, dot) + Extension;
}

std::string ExpandFileName(const std::string& FileName) {
    if (FileName.empty()) return "";
    std::string name = NormalizePath(FileName);
    if (name[0] != '/') name = IncludeTrailingPathDelimiter(GetCurrentDir()) + name;
    std::vector<std::string> out;
    for (const std::string& part : SplitPath(name)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(part);
    }
    std::string r;
    for (const std::string& part : out) r += "/" + part;
    if (r.empty()) return "/";
    if (name.back() == '/') r += '/';
    return r;
}

std::string ExtractRelativePath(const std::string& BaseName, const std::string& DestName) {
    std::vector<std::string> base = SplitPath(ExtractFilePath(BaseName));
    std::vector<std::string> dest = SplitPath(ExtractFilePath(DestName));
    size_t common = 0;
    while (common < base.size() && common < dest.size() && base[common] == dest[common]) ++common;
    std::string r;
    for (size_t k = common; k < base.size(); ++k) r += "../";
    for (size_t k = common; k < dest.size(); ++k) r += dest[k] + "/";
    return r + ExtractFileName(DestName);
}

// ---------------------------------------------------------------------------
// Files and directories

bool FileExists(const std::string& FileName) {
    struct stat st;
    return !FileName.empty() && ::stat(NormalizePath(FileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Directory) {
    struct stat st;
    return !Directory.empty() && ::stat(NormalizePath(Directory).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& Dir) { return !Dir.empty() && ::mkdir(NormalizePath(Dir).c_str(), 0777) == 0; }
bool RemoveDir(const std::string& Dir) { return !Dir.empty() && ::rmdir(NormalizePath(Dir).c_str()) == 0; }

bool ForceDirectories(const std::string& Dir) {
    if (Dir.empty()) throw EInOutError("Unable to create directory: the name is empty");
    std::string d = ExcludeTrailingPathDelimiter(NormalizePath(Dir));
    if (d.empty() || DirectoryExists(d)) return true;
    std::string parent = ExtractFileDir(d);
    if (!parent.empty() && parent != d && !ForceDirectories(parent)) return false;
    return CreateDir(d) || DirectoryExists(d);
}

bool DeleteFile(const std::string& FileName) {
    return !FileName.empty() && ::unlink(NormalizePath(FileName).c_str()) == 0;
}

bool RenameFile(const std::string& OldName, const std::string& NewName) {
    return ::rename(NormalizePath(OldName).c_str(), NormalizePath(NewName).c_str()) == 0;
}

std::string GetCurrentDir() {
    std::vector<char> buf(4096);
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) return "";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

bool SetCurrentDir(const std::string& Dir) { return !Dir.empty() && ::chdir(NormalizePath(Dir).c_str()) == 0; }

bool FileAge(const std::string& FileName, TDateTime& FileDateTime) {
    struct stat st;
    if (FileName.empty() || ::stat(NormalizePath(FileName).c_str(), &st) != 0) return false;
    FileDateTime = TimeSpecToDateTime(st.st_mtim);
    return true;
}

TDateTime FileAge(const std::string& FileName) {
    TDateTime d;
    return FileAge(FileName, d) ? d : -1;
}

int FileSetDate(const std::string& FileName, TDateTime Age) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(Age, y, mo, d, h, mi, s, ms);
    if (y == 0) return EINVAL;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    time_t t = std::mktime(&tm);
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = t;
    times[1].tv_nsec = static_cast<long>(ms) * 1000000L;
    if (::utimensat(AT_FDCWD, NormalizePath(FileName).c_str(), times, 0) != 0) return errno;
    return 0;
}

int64_t FileGetSize(const std::string& FileName) {
    struct stat st;
    if (FileName.empty() || ::stat(NormalizePath(FileName).c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool WriteFileAtomic(const std::string& FileName, const std::string& Bytes) {
    if (FileName.empty()) return false;
    const std::string name = NormalizePath(FileName);
    std::string temp = name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat st;
    // mkstemp makes the file private (0600): an existing file keeps its own bits, a
    // new one gets the usual ones under the process's umask.
    if (::stat(name.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    bool ok = true;
    for (size_t done = 0; ok && done < Bytes.size();) {
        const ssize_t n = ::write(fd, Bytes.data() + done, Bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), name.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

bool ReadFileBytes(const std::string& FileName, std::string& Bytes, int64_t MaxSize) {
    Bytes.clear();
    if (FileName.empty()) return false;
    const int fd = ::open(NormalizePath(FileName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxSize;
    if (ok) {
        Bytes.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < Bytes.size()) {
            const ssize_t n = ::read(fd, Bytes.data() + done, Bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        Bytes.resize(done);  // the file may have shrunk meanwhile
    }
    ::close(fd);
    if (!ok) Bytes.clear();
    return ok;
}

std::string UserConfigDir() {
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x != nullptr && *x == '/') return ExcludeTrailingPathDelimiter(x);
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != 0 ? home : "/tmp") + "/.config";
}

// ---------------------------------------------------------------------------
// Random numbers

int32_t RandSeed() { return static_cast<int32_t>(gRandSeed); }
void SetRandSeed(int32_t Seed) { gRandSeed = static_cast<uint32_t>(Seed); }

void Randomize() {
    auto ns = std::chrono::system_clock::now().time_since_epoch().count();
    gRandSeed = static_cast<uint32_t>(ns ^ (ns >> 32));
}

int Random(int Range) {
    uint64_t s = NextRand();
    return static_cast<int>(static_cast<uint32_t>((s * static_cast<uint32_t>(Range)) >> 32));
}

double RandomFloat() { return static_cast<double>(NextRand()) / 4294967296.0; }
double Random() { return RandomFloat(); }

int RandomRange(int AFrom, int ATo) {
    if (AFrom > ATo) return Random(AFrom - ATo) + ATo;
    return Random(ATo - AFrom) + AFrom;
}

}  // namespace host
