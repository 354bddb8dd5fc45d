// Dates and times: encoding, decoding, the date-time picture and parsing by the format settings.
#include "host/rtl/dates.h"

#include <cmath>
#include <cstdint>

#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// 0001-01-01 is day 1; 9999-12-31 is day 3652059.
constexpr long kMaxDayNumber = 3652059;

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits a date-time into a signed day count (the integral part) and the time of
// day in milliseconds, rounding to the nearest millisecond (which may carry into
// the next day away from zero).
bool SplitDateTime(TDateTime v, long& days, long& msOfDay) {
    if (!std::isfinite(v) || std::fabs(v) > 3.0e6) return false;
    long long total = std::llround(std::fabs(v) * MSecsPerDay);
    days = static_cast<long>(total / MSecsPerDay);
    msOfDay = static_cast<long>(total % MSecsPerDay);
    if (v < 0) days = -days;
    return true;
}

bool DecodeDayNumber(long dayNumber, int& Year, int& Month, int& Day) {
    if (dayNumber < 1 || dayNumber > kMaxDayNumber) return false;
    long t = dayNumber - 1;
    long y400 = t / 146097;
    t %= 146097;
    long y100 = t / 36524;
    t %= 36524;
    if (y100 == 4) {
        y100 = 3;
        t += 36524;
    }
    long y4 = t / 1461;
    t %= 1461;
    long y1 = t / 365;
    t %= 365;
    if (y1 == 4) {
        y1 = 3;
        t += 365;
    }
    int y = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    const int* md = MonthDays[IsLeapYear(y) ? 1 : 0];
    int m = 0;
    while (t >= md[m]) t -= md[m++];
    Year = y;
    Month = m + 1;
    Day = static_cast<int>(t) + 1;
    return true;
}

// Attaches a time of day to a date, keeping the sign convention.
TDateTime Compose(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

std::string Pad(int v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), '0');
    return s;
}

bool MatchText(const std::string& fmt, size_t i, const char* text) {
    for (size_t k = 0; text[k]; ++k)
        if (i + k >= fmt.size() || Up(fmt[i + k]) != Up(text[k])) return false;
    return true;
}

struct TDateParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Min = 0, Sec = 0, MSec = 0, DOW = 0;
};

// Whether an am/pm specifier follows position i before the next hour specifier.
bool TwelveHourAhead(const std::string& fmt, size_t i) {
    char quote = 0;
    for (; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (Up(c) == 'H') {
            return false;
        } else if (Up(c) == 'A') {
            if (MatchText(fmt, i, "AM/PM") || MatchText(fmt, i, "A/P") || MatchText(fmt, i, "AMPM")) return true;
        }
    }
    return false;
}

void AppendPicture(std::string& out, const std::string& fmt, const TDateParts& p, const TFormatSettings& fs,
                   int level) {
    if (level > 2) return;
    char lastToken = ' ';
    size_t i = 0;
    const size_t n = fmt.size();
    while (i < n) {
        char c = fmt[i];
        char token = Up(c);
        size_t count = 1;
        if (token >= 'A' && token <= 'Z') {
            while (i + count < n && Up(fmt[i + count]) == token) ++count;
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        switch (token) {
            case 'Y':
                out += count <= 2 ? Pad(p.Year % 100, 2) : Pad(p.Year, 4);
                break;
            case 'M':
                if (count == 1)
                    out += std::to_string(p.Month);
                else if (count == 2)
                    out += Pad(p.Month, 2);
                else if (p.Month >= 1)
                    out += count == 3 ? fs.ShortMonthNames[p.Month - 1] : fs.LongMonthNames[p.Month - 1];
                break;
            case 'D':
                if (count == 1)
                    out += std::to_string(p.Day);
                else if (count == 2)
                    out += Pad(p.Day, 2);
                else if (count == 3 || count == 4) {
                    if (p.DOW >= 1) out += count == 3 ? fs.ShortDayNames[p.DOW - 1] : fs.LongDayNames[p.DOW - 1];
                } else
                    AppendPicture(out, count == 5 ? fs.ShortDateFormat : fs.LongDateFormat, p, fs, level + 1);
                break;
            case 'E':
                out += count == 1 ? std::to_string(p.Year) : Pad(p.Year, 2);
                break;
            case 'G':
                out += "A.D.";
                break;
            case 'H': {
                int h = p.Hour;
                if (TwelveHourAhead(fmt, i + count)) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                out += count == 1 ? std::to_string(h) : Pad(h, 2);
                break;
            }
            case 'N':
                out += count == 1 ? std::to_string(p.Min) : Pad(p.Min, 2);
                break;
            case 'S':
                out += count == 1 ? std::to_string(p.Sec) : Pad(p.Sec, 2);
                break;
            case 'Z':
                out += count == 1 ? std::to_string(p.MSec) : Pad(p.MSec, 3);
                break;
            case 'T':
                AppendPicture(out, count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, fs, level + 1);
                break;
            case 'C':
                AppendPicture(out, fs.ShortDateFormat, p, fs, level + 1);
                if (p.Hour || p.Min || p.Sec || p.MSec) {
                    out += ' ';
                    AppendPicture(out, fs.LongTimeFormat, p, fs, level + 1);
                }
                count = 1;
                break;
            case 'A':
                count = 1;
                if (MatchText(fmt, i, "AM/PM")) {
                    out += p.Hour < 12 ? fmt.substr(i, 2) : fmt.substr(i + 3, 2);
                    count = 5;
                } else if (MatchText(fmt, i, "A/P")) {
                    out += p.Hour < 12 ? fmt[i] : fmt[i + 2];
                    count = 3;
                } else if (MatchText(fmt, i, "AMPM")) {
                    out += p.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
                    count = 4;
                } else {
                    out += c;
                }
                break;
            case '/':
                out += fs.DateSeparator;
                break;
            case ':':
                out += fs.TimeSeparator;
                break;
            case '\'':
            case '"': {
                size_t close = fmt.find(c, i + 1);
                if (close == std::string::npos) close = n;
                out.append(fmt, i + 1, close - i - 1);
                count = close < n ? close - i + 1 : n - i;
                break;
            }
            default:
                if (token >= 'A' && token <= 'Z')
                    out.append(fmt, i, count);  // an unknown letter run is copied
                else
                    out += c;
                break;
        }
        i += count;
    }
}

TDateParts PartsOf(TDateTime v) {
    TDateParts p;
    long days, ms;
    if (!SplitDateTime(v, days, ms)) return p;
    if (DecodeDayNumber(days + DateDelta, p.Year, p.Month, p.Day)) p.DOW = static_cast<int>((days + DateDelta) % 7) + 1;
    p.Hour = static_cast<int>(ms / 3600000);
    p.Min = static_cast<int>(ms / 60000 % 60);
    p.Sec = static_cast<int>(ms / 1000 % 60);
    p.MSec = static_cast<int>(ms % 1000);
    return p;
}

// ---------------------------------------------------------------------------
// Parsing

struct TScanner {
    const std::string& S;
    size_t Pos = 0;

    void Blanks() {
        while (Pos < S.size() && (S[Pos] == ' ' || S[Pos] == '\t')) ++Pos;
    }
    bool Number(int& v, int& digits, int maxDigits) {
        Blanks();
        size_t start = Pos;
        long x = 0;
        while (Pos < S.size() && IsDigit(S[Pos]) && static_cast<int>(Pos - start) < maxDigits) x = x * 10 + (S[Pos++] - '0');
        digits = static_cast<int>(Pos - start);
        if (digits == 0 || (Pos < S.size() && IsDigit(S[Pos]))) {
            Pos = start;
            return false;
        }
        v = static_cast<int>(x);
        return true;
    }
    bool Char(char c) {
        Blanks();
        if (Pos < S.size() && S[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Text(const std::string& t) {
        Blanks();
        if (t.empty() || Pos + t.size() > S.size()) return false;
        if (!SameText(S.substr(Pos, t.size()), t)) return false;
        Pos += t.size();
        return true;
    }
    bool AtEnd() {
        while (Pos < S.size() && static_cast<unsigned char>(S[Pos]) <= ' ') ++Pos;
        return Pos >= S.size();
    }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrderOf(const std::string& fmt) {
    for (char c : fmt) {
        switch (Up(c)) {
            case 'E':
            case 'Y': return doYMD;
            case 'M': return doMDY;
            case 'D': return doDMY;
            default: break;
        }
    }
    return doMDY;
}

bool ScanDate(TScanner& sc, TDateTime& out, const TFormatSettings& fs) {
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    size_t start = sc.Pos;
    if (!sc.Number(n1, l1, 4) || !sc.Char(fs.DateSeparator) || !sc.Number(n2, l2, 4)) {
        sc.Pos = start;
        return false;
    }
    // A third number may follow; a trailing separator is allowed either way.
    bool three = false;
    if (sc.Char(fs.DateSeparator)) {
        three = sc.Number(n3, l3, 4);
        if (three) sc.Char(fs.DateSeparator);
    }
    int y, m, d, yl;
    TDateOrder order = DateOrderOf(fs.ShortDateFormat);
    if (!three) {
        y = CurrentYear();
        yl = 4;
        if (order == doDMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    } else {
        switch (order) {
            case doDMY: d = n1, m = n2, y = n3, yl = l3; break;
            case doYMD: y = n1, yl = l1, m = n2, d = n3; break;
            default: m = n1, d = n2, y = n3, yl = l3; break;
        }
    }
    if (yl <= 2) {
        int pivot = CurrentYear() - fs.TwoDigitYearCenturyWindow;
        y += pivot / 100 * 100;
        if (fs.TwoDigitYearCenturyWindow > 0 && y < pivot) y += 100;
    }
    if (!TryEncodeDate(y, m, d, out)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

bool ScanAmPm(TScanner& sc, const TFormatSettings& fs, int& base) {
    if (sc.Text(fs.TimeAMString) || sc.Text("AM")) {
        base = 0;
        return true;
    }
    if (sc.Text(fs.TimePMString) || sc.Text("PM")) {
        base = 12;
        return true;
    }
    return false;
}

bool ScanTime(TScanner& sc, TDateTime& out, const TFormatSettings& fs) {
    size_t start = sc.Pos;
    int base = -1;
    ScanAmPm(sc, fs, base);
    int h, mi = 0, s = 0, ms = 0, len;
    bool minutes = false;
    if (!sc.Number(h, len, 2)) {
        sc.Pos = start;
        return false;
    }
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(mi, len, 2)) {
            sc.Pos = start;
            return false;
        }
        minutes = true;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(s, len, 2)) {
                sc.Pos = start;
                return false;
            }
            if (sc.Pos < sc.S.size() && sc.S[sc.Pos] == fs.DecimalSeparator) {
                ++sc.Pos;
                int frac;
                if (!sc.Number(frac, len, 9)) {
                    sc.Pos = start;
                    return false;
                }
                while (len > 3) {
                    frac /= 10;
                    --len;
                }
                while (len < 3) {
                    frac *= 10;
                    ++len;
                }
                ms = frac;
            }
        }
    }
    if (base < 0) ScanAmPm(sc, fs, base);
    if (!minutes && base < 0) {
        sc.Pos = start;
        return false;
    }
    if (base >= 0) {
        if (h == 0 || h > 12) {
            sc.Pos = start;
            return false;
        }
        if (h == 12) h = 0;
        h += base;
    }
    if (!TryEncodeTime(h, mi, s, ms, out)) {
        sc.Pos = start;
        return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Calendar

bool IsLeapYear(int Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

int DaysInAMonth(int Year, int Month) {
    if (Month < 1 || Month > 12) return 0;
    return MonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

int DaysInMonth(TDateTime AValue) {
    int y, m, d;
    DecodeDate(AValue, y, m, d);
    return DaysInAMonth(y, m);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date) {
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    long days = Day;
    for (int i = 0; i < Month - 1; ++i) days += MonthDays[IsLeapYear(Year) ? 1 : 0][i];
    long y = Year - 1;
    Date = static_cast<TDateTime>(y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta);
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day) {
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour >= HoursPerDay || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 || MSec >= 1000)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec) {
    TDateTime t;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec, TDateTime& Value) {
    TDateTime d, t;
    if (!TryEncodeDate(Year, Month, Day, d) || !TryEncodeTime(Hour, Min, Sec, MSec, t)) return false;
    Value = Compose(d, t);
    return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec) {
    return Compose(EncodeDate(Year, Month, Day), EncodeTime(Hour, Min, Sec, MSec));
}

bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW) {
    TDateParts p = PartsOf(Date);
    Year = p.Year;
    Month = p.Month;
    Day = p.Day;
    DOW = p.DOW;
    return p.Year != 0;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day) {
    int dow;
    DecodeDateFully(Date, Year, Month, Day, dow);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec) {
    TDateParts p = PartsOf(Time);
    Hour = p.Hour;
    Min = p.Min;
    Sec = p.Sec;
    MSec = p.MSec;
}

void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec) {
    TDateParts p = PartsOf(Value);
    Year = p.Year;
    Month = p.Month;
    Day = p.Day;
    Hour = p.Hour;
    Min = p.Min;
    Sec = p.Sec;
    MSec = p.MSec;
}

int DayOfWeek(TDateTime Date) { return PartsOf(Date).DOW; }

TDateTime Now() { return Clock::Now(); }
TDateTime Date() { return std::trunc(Clock::Now()); }
TDateTime Time() {
    TDateTime n = Clock::Now();
    return std::fabs(n - std::trunc(n));
}

int CurrentYear() { return PartsOf(Clock::Now()).Year; }

TDateTime DateOf(TDateTime AValue) { return std::trunc(AValue); }
TDateTime TimeOf(TDateTime AValue) { return std::fabs(AValue - std::trunc(AValue)); }

void ReplaceDate(TDateTime& DateTime, TDateTime NewDate) {
    DateTime = Compose(std::trunc(NewDate), TimeOf(DateTime));
}

void ReplaceTime(TDateTime& DateTime, TDateTime NewTime) {
    DateTime = Compose(std::trunc(DateTime), TimeOf(NewTime));
}

TDateTime IncMonth(TDateTime DateTime, int NumberOfMonths) {
    int y, m, d;
    DecodeDate(DateTime, y, m, d);
    long months = static_cast<long>(y) * 12 + (m - 1) + NumberOfMonths;
    long ny = months >= 0 ? months / 12 : (months - 11) / 12;
    int nm = static_cast<int>(months - ny * 12) + 1;
    int nd = std::min(d, DaysInAMonth(static_cast<int>(ny), nm));
    return Compose(EncodeDate(static_cast<int>(ny), nm, nd), TimeOf(DateTime));
}

// ---------------------------------------------------------------------------
// Formatting

std::string FormatDateTime(const std::string& Format, TDateTime DateTime, const TFormatSettings& Settings) {
    std::string out;
    AppendPicture(out, Format.empty() ? std::string("c") : Format, PartsOf(DateTime), Settings, 0);
    return out;
}
std::string FormatDateTime(const std::string& Format, TDateTime DateTime) {
    return FormatDateTime(Format, DateTime, FormatSettings);
}
void DateTimeToString(std::string& Result, const std::string& Format, TDateTime DateTime) {
    Result = FormatDateTime(Format, DateTime);
}

std::string DateToStr(TDateTime Date, const TFormatSettings& Settings) { return FormatDateTime("ddddd", Date, Settings); }
std::string DateToStr(TDateTime Date) { return DateToStr(Date, FormatSettings); }
std::string TimeToStr(TDateTime Time, const TFormatSettings& Settings) { return FormatDateTime("tt", Time, Settings); }
std::string TimeToStr(TDateTime Time) { return TimeToStr(Time, FormatSettings); }
std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings) {
    return FormatDateTime("c", DateTime, Settings);
}
std::string DateTimeToStr(TDateTime DateTime) { return DateTimeToStr(DateTime, FormatSettings); }

// ---------------------------------------------------------------------------
// Parsing

bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner sc{S};
    TDateTime d;
    if (!ScanDate(sc, d, Settings) || !sc.AtEnd()) return false;
    Value = d;
    return true;
}
bool TryStrToDate(const std::string& S, TDateTime& Value) { return TryStrToDate(S, Value, FormatSettings); }
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings) {
    TDateTime d;
    if (!TryStrToDate(S, d, Settings)) throw EConvertError("'" + S + "' is not a valid date");
    return d;
}
TDateTime StrToDate(const std::string& S) { return StrToDate(S, FormatSettings); }
TDateTime StrToDateDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings) {
    TDateTime d;
    return TryStrToDate(S, d, Settings) ? d : Default;
}
TDateTime StrToDateDef(const std::string& S, TDateTime Default) { return StrToDateDef(S, Default, FormatSettings); }

bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner sc{S};
    TDateTime t;
    if (!ScanTime(sc, t, Settings) || !sc.AtEnd()) return false;
    Value = t;
    return true;
}
bool TryStrToTime(const std::string& S, TDateTime& Value) { return TryStrToTime(S, Value, FormatSettings); }
TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings) {
    TDateTime t;
    if (!TryStrToTime(S, t, Settings)) throw EConvertError("'" + S + "' is not a valid time");
    return t;
}
TDateTime StrToTime(const std::string& S) { return StrToTime(S, FormatSettings); }
TDateTime StrToTimeDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings) {
    TDateTime t;
    return TryStrToTime(S, t, Settings) ? t : Default;
}
TDateTime StrToTimeDef(const std::string& S, TDateTime Default) { return StrToTimeDef(S, Default, FormatSettings); }

bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings) {
    TScanner sc{S};
    TDateTime d, t = 0;
    if (ScanDate(sc, d, Settings)) {
        if (sc.AtEnd() || (ScanTime(sc, t, Settings) && sc.AtEnd())) {
            Value = Compose(d, t);
            return true;
        }
    }
    return TryStrToTime(S, Value, Settings);
}
bool TryStrToDateTime(const std::string& S, TDateTime& Value) { return TryStrToDateTime(S, Value, FormatSettings); }
TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings) {
    TDateTime v;
    if (!TryStrToDateTime(S, v, Settings)) throw EConvertError("'" + S + "' is not a valid date and time");
    return v;
}
TDateTime StrToDateTime(const std::string& S) { return StrToDateTime(S, FormatSettings); }
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings) {
    TDateTime v;
    return TryStrToDateTime(S, v, Settings) ? v : Default;
}
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default) {
    return StrToDateTimeDef(S, Default, FormatSettings);
}

}  // namespace host
