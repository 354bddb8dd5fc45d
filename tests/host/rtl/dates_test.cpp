// Tests of date encoding, decoding, formatting and parsing.
#include "host/rtl/dates.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

using namespace host;

namespace {

// Dates run on the virtual clock (2026-03-10 12:00) with the default settings,
// so "the current year" and the century window are fixed.
class DatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = TFormatSettings();
        Clock::UseVirtual(0, EncodeDateTime(2026, 3, 10, 12, 0, 0, 0));
    }
    void TearDown() override {
        FormatSettings = TFormatSettings();
        Clock::UseReal();
    }
};

struct Ymd {
    int y, m, d;
};
Ymd DateParts(TDateTime v) {
    Ymd r{};
    DecodeDate(v, r.y, r.m, r.d);
    return r;
}

using DatesEncode = DatesTest;
using DatesFormat = DatesTest;
using DatesParse = DatesTest;

}  // namespace

TEST_F(DatesEncode, KnownSerialNumbers) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
    EXPECT_EQ(EncodeDate(2026, 1, 1), 46023);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(Clock::DefaultVirtualStart, EncodeDateTime(2026, 1, 1, 9, 0, 0, 0));
}

TEST_F(DatesEncode, InvalidPartsRaise) {
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    for (Ymd bad : {Ymd{2023, 2, 29}, Ymd{1900, 2, 29}, Ymd{2024, 13, 1}, Ymd{2024, 0, 1}, Ymd{2024, 4, 31},
                    Ymd{2024, 1, 0}, Ymd{0, 1, 1}, Ymd{10000, 1, 1}}) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(bad.y, bad.m, bad.d, d));
        EXPECT_EQ(d, 123);
        try {
            EncodeDate(bad.y, bad.m, bad.d);
            ADD_FAILURE() << bad.y << "-" << bad.m << "-" << bad.d;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    try {
        EncodeTime(24, 0, 0, 0);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid argument to time encode");
    }
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), EConvertError);
}

TEST_F(DatesEncode, EveryDayRoundTripsAcrossLeapYearsAndTheEpoch) {
    // 1600-01-01 .. 2400-12-31 covers both kinds of century and the 1899 epoch.
    TDateTime prev = EncodeDate(1599, 12, 31);
    int days = 0;
    for (int y = 1600; y <= 2400; ++y) {
        EXPECT_EQ(IsLeapYear(y), (y % 4 == 0 && y % 100 != 0) || y % 400 == 0);
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInAMonth(y, m); ++d) {
                TDateTime v = EncodeDate(y, m, d);
                ASSERT_EQ(v, prev + 1) << y << "-" << m << "-" << d;
                Ymd back = DateParts(v);
                ASSERT_TRUE(back.y == y && back.m == m && back.d == d) << y << "-" << m << "-" << d;
                prev = v;
                ++days;
            }
        }
    }
    EXPECT_EQ(days, 801 * 365 + 195);  // 195 leap years in 1600..2400
    Ymd first = DateParts(MinDateTime);
    EXPECT_TRUE(first.y == 1 && first.m == 1 && first.d == 1);
    Ymd last = DateParts(2958465.5);
    EXPECT_TRUE(last.y == 9999 && last.m == 12 && last.d == 31);
    Ymd outside = DateParts(2958466);
    EXPECT_EQ(outside.y, 0);
    int y, m, d, dow;
    EXPECT_FALSE(DecodeDateFully(-693594, y, m, d, dow));
}

TEST_F(DatesEncode, NegativeDatesKeepTheTimeAsAPositiveFraction) {
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(EncodeDateTime(1899, 12, 30, 6, 0, 0, 0), 0.25);
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(-1.25, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y * 10000 + mo * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    DecodeDateTime(-0.75, y, mo, d, h, mi, s, ms);  // the epoch day itself, 18:00
    EXPECT_EQ(y * 10000 + mo * 100 + d, 18991230);
    EXPECT_EQ(h, 18);
    TDateTime old = EncodeDateTime(1800, 7, 4, 18, 30, 15, 500);
    EXPECT_LT(old, 0);
    DecodeDateTime(old, y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y * 10000 + mo * 100 + d, 18000704);
    EXPECT_EQ(h * 10000000 + mi * 100000 + s * 1000 + ms, 183015500);
    EXPECT_EQ(DayOfWeek(-1), 6);  // 1899-12-29 was a Friday
    EXPECT_EQ(DateOf(-1.25), -1);
    EXPECT_EQ(TimeOf(-1.25), 0.25);

    TDateTime v = -1.25;
    ReplaceTime(v, 0.5);
    EXPECT_EQ(v, -1.5);
    v = 2.25;
    ReplaceDate(v, -3);
    EXPECT_EQ(v, -3.25);
    v = -3.25;
    ReplaceDate(v, 10.9);
    EXPECT_EQ(v, 10.25);
}

TEST_F(DatesEncode, TimesAndRounding) {
    int h, m, s, ms;
    DecodeTime(0.5, h, m, s, ms);
    EXPECT_EQ(h * 10000000 + m * 100000 + s * 1000 + ms, 120000000);
    DecodeTime(EncodeTime(23, 59, 59, 999), h, m, s, ms);
    EXPECT_EQ(h * 10000000 + m * 100000 + s * 1000 + ms, 235959999);
    DecodeTime(EncodeDate(2026, 5, 1) + EncodeTime(7, 8, 9, 10), h, m, s, ms);
    EXPECT_EQ(h * 10000000 + m * 100000 + s * 1000 + ms, 70809010);
    // A hair before midnight rounds to the next day's 00:00:00.000.
    int y, mo, d;
    DecodeDateTime(1.0 - 1e-10, y, mo, d, h, m, s, ms);
    EXPECT_EQ(y * 10000 + mo * 100 + d, 18991231);
    EXPECT_EQ(h + m + s + ms, 0);
}

TEST_F(DatesEncode, CalendarHelpers) {
    EXPECT_EQ(DayOfWeek(0), 7);                           // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 1, 1)), 5);      // Thursday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 3, 8) + 0.9), 1);  // Sunday
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2024, 13), 0);
    EXPECT_EQ(DaysInMonth(EncodeDate(2023, 2, 10)), 28);
    EXPECT_EQ(MonthDays[1][1], 29);

    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31)), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), -2), EncodeDate(2023, 11, 30));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), -13), EncodeDate(2022, 12, 31));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15) + 0.75, 12), EncodeDate(2025, 3, 15) + 0.75);
    EXPECT_EQ(IncMonth(EncodeDateTime(1899, 11, 29, 6, 0, 0, 0), 1), -1.25);
}

TEST_F(DatesEncode, NowDateAndTimeReadTheHostClock) {
    EXPECT_EQ(Now(), EncodeDateTime(2026, 3, 10, 12, 0, 0, 0));
    Clock::Advance(90 * 60 * 1000 + 250);
    EXPECT_EQ(Date(), EncodeDate(2026, 3, 10));
    int h, m, s, ms;
    DecodeTime(Time(), h, m, s, ms);
    EXPECT_EQ(h * 10000000 + m * 100000 + s * 1000 + ms, 133000250);
    Clock::Advance(11 * 3600 * 1000);
    EXPECT_EQ(Date(), EncodeDate(2026, 3, 11));
    EXPECT_EQ(CurrentYear(), 2026);
}

TEST_F(DatesFormat, Specifiers) {
    const TDateTime v = EncodeDateTime(2026, 3, 7, 14, 5, 9, 45);  // a Saturday
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v), "2026-03-07 14:05:09.045");
    EXPECT_EQ(FormatDateTime("d/m/yy", v), "7/3/26");
    EXPECT_EQ(FormatDateTime("y", v), "26");
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", v), "Sat Saturday Mar March");
    EXPECT_EQ(FormatDateTime("DDDD MMMM", v), "Saturday March");
    EXPECT_EQ(FormatDateTime("h:mm", v), "14:05");  // m after h is minutes
    EXPECT_EQ(FormatDateTime("hh 'x' mm", v), "14 x 05");
    EXPECT_EQ(FormatDateTime("mm/dd hh:mm", v), "03/07 14:05");
    EXPECT_EQ(FormatDateTime("h:mm AM/PM", v), "2:05 PM");
    EXPECT_EQ(FormatDateTime("h:mm am/pm", v), "2:05 pm");
    EXPECT_EQ(FormatDateTime("hh:nn a/p", v), "02:05 p");
    EXPECT_EQ(FormatDateTime("h ampm", v), "2 PM");
    EXPECT_EQ(FormatDateTime("h:n:s z", v), "14:5:9 45");
    EXPECT_EQ(FormatDateTime("ddddd", v), "3/7/2026");
    EXPECT_EQ(FormatDateTime("dddddd", v), "Saturday, March 7, 2026");
    EXPECT_EQ(FormatDateTime("c", v), "3/7/2026 2:05:09 PM");
    EXPECT_EQ(FormatDateTime("t", v), "2:05 PM");
    EXPECT_EQ(FormatDateTime("tt", v), "2:05:09 PM");
    EXPECT_EQ(FormatDateTime("'yyyy' yyyy", v), "yyyy 2026");
    EXPECT_EQ(FormatDateTime("\"h\"h", v), "h14");
    EXPECT_EQ(FormatDateTime("e", v), "2026");
    EXPECT_EQ(FormatDateTime("", v), "3/7/2026 2:05:09 PM");
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(33, 1, 1)), "0033");
}

TEST_F(DatesFormat, TwelveHourClockEdges) {
    EXPECT_EQ(FormatDateTime("h AM/PM", EncodeDate(2026, 1, 1) + 0.5), "12 PM");
    EXPECT_EQ(FormatDateTime("h AM/PM", EncodeDate(2026, 1, 1)), "12 AM");
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", EncodeDateTime(2026, 1, 1, 11, 59, 0, 0)), "11:59 AM");
    // The am/pm marker affects only the hour before it.
    EXPECT_EQ(FormatDateTime("h AM/PM h", EncodeDate(2026, 1, 1) + 0.75), "6 PM 18");
}

TEST_F(DatesFormat, UsesTheSettings) {
    TFormatSettings fs;
    fs.DateSeparator = '-';
    fs.TimeSeparator = '.';
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.LongTimeFormat = "hh:nn:ss";
    fs.LongMonthNames[2] = "Maerz";
    const TDateTime v = EncodeDateTime(2026, 3, 7, 14, 5, 9, 0);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", v, fs), "2026-03-07 14.05");
    EXPECT_EQ(FormatDateTime("mmmm", v, fs), "Maerz");
    EXPECT_EQ(DateToStr(v, fs), "07-03-2026");
    EXPECT_EQ(TimeToStr(v, fs), "14.05.09");
    EXPECT_EQ(DateTimeToStr(v, fs), "07-03-2026 14.05.09");
}

TEST_F(DatesFormat, StrConversionsAndMidnight) {
    const TDateTime v = EncodeDateTime(2026, 12, 25, 9, 3, 0, 0);
    EXPECT_EQ(DateToStr(v), "12/25/2026");
    EXPECT_EQ(TimeToStr(v), "9:03:00 AM");
    EXPECT_EQ(DateTimeToStr(v), "12/25/2026 9:03:00 AM");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 25)), "12/25/2026");  // no time at midnight
    EXPECT_EQ(DateTimeToStr(0.5), "12/30/1899 12:00:00 PM");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    std::string s;
    DateTimeToString(s, "yyyy", v);
    EXPECT_EQ(s, "2026");
}

TEST_F(DatesParse, DatesFollowTheShortDateFormat) {
    EXPECT_EQ(StrToDate("3/7/2026"), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate(" 03/07/2026 "), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("3/7"), EncodeDate(2026, 3, 7));  // the current year
    EXPECT_EQ(StrToDate("3/7/26"), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("3/7/80"), EncodeDate(1980, 3, 7));
    EXPECT_EQ(StrToDate("3/7/76"), EncodeDate(1976, 3, 7));  // window: 1976 .. 2075
    EXPECT_EQ(StrToDate("3/7/75"), EncodeDate(2075, 3, 7));
    EXPECT_EQ(StrToDate("3/7/0075"), EncodeDate(75, 3, 7));  // four digits are taken as written
    try {
        StrToDate("13/1/2026");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'13/1/2026' is not a valid date");
    }
    for (const char* bad : {"", "2/30/2026", "3-7-2026", "3/7/2026 x", "3//2026", "a/b/c", "3/7/12345"})
        EXPECT_THROW(StrToDate(bad), EConvertError) << bad;
    EXPECT_EQ(StrToDateDef("bad", 5), 5);

    TFormatSettings dmy;
    dmy.ShortDateFormat = "dd.mm.yyyy";
    dmy.DateSeparator = '.';
    EXPECT_EQ(StrToDate("7.3.2026", dmy), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("7.3.2026.", dmy), EncodeDate(2026, 3, 7));  // trailing separator
    TFormatSettings ymd;
    ymd.ShortDateFormat = "yyyy-MM-dd";
    ymd.DateSeparator = '-';
    EXPECT_EQ(StrToDate("2026-03-07", ymd), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDate("03-07", ymd), EncodeDate(2026, 3, 7));
    TFormatSettings noWindow;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(StrToDate("1/1/99", noWindow), EncodeDate(2099, 1, 1));
}

TEST_F(DatesParse, Times) {
    EXPECT_EQ(StrToTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToTime("2:05 PM"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToTime("2:05:09 pm"), EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(StrToTime("12:00 AM"), 0);
    EXPECT_EQ(StrToTime("12 PM"), 0.5);
    EXPECT_EQ(StrToTime("1:02:03.5"), EncodeTime(1, 2, 3, 500));
    EXPECT_EQ(StrToTime("1:02:03.25"), EncodeTime(1, 2, 3, 250));
    for (const char* bad : {"13:00 PM", "0:30 AM", "25:00", "10", "10:", "10:60", "x", "10:00 XM"})
        EXPECT_THROW(StrToTime(bad), EConvertError) << bad;
    try {
        StrToTime("x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid time");
    }
    TFormatSettings fs;
    fs.TimeSeparator = '.';
    fs.TimeAMString = "vorm.";
    fs.TimePMString = "nachm.";
    EXPECT_EQ(StrToTime("2.05 nachm.", fs), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToTimeDef("bad", 0.25), 0.25);
}

TEST_F(DatesParse, DateAndTime) {
    EXPECT_EQ(StrToDateTime("3/7/2026 14:05:09"), EncodeDateTime(2026, 3, 7, 14, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("3/7/2026"), EncodeDate(2026, 3, 7));
    EXPECT_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("3/7/1899 6:00 AM"), EncodeDateTime(1899, 3, 7, 6, 0, 0, 0));
    try {
        StrToDateTime("3/7/2026 junk");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'3/7/2026 junk' is not a valid date and time");
    }
    // What DateTimeToStr writes, StrToDateTime reads back.
    for (TDateTime v : {EncodeDateTime(2026, 12, 25, 23, 59, 59, 0), EncodeDate(1999, 1, 1),
                        EncodeDateTime(1850, 6, 1, 0, 0, 1, 0), EncodeDateTime(2030, 7, 4, 12, 30, 0, 0)}) {
        EXPECT_EQ(StrToDateTime(DateTimeToStr(v)), v) << DateTimeToStr(v);
    }
    TDateTime out = 0;
    EXPECT_FALSE(TryStrToDateTime("", out));
    EXPECT_EQ(StrToDateTimeDef("", 7), 7);
}
