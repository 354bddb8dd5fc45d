// Dates and times: TDateTime encoding, decoding, formatting and parsing.
#pragma once

#include <string>

namespace host {

struct TFormatSettings;

// Days since 1899-12-30 in the integral part, the time of day as the fraction.
// Before 1899-12-30 the integral part is negative and the fraction is still the
// time of day: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = HoursPerDay * 60;
inline constexpr int SecsPerDay = MinsPerDay * 60;
inline constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 0001-01-01 (day 1) to 1899-12-30 (TDateTime 0).
inline constexpr int DateDelta = 693594;
// The first and last encodable dates: 0001-01-01 and 9999-12-31.
inline constexpr TDateTime MinDateTime = -693593.0;
inline constexpr TDateTime MaxDateTime = 2958465.99999999;

// Days of each month, indexed [leap year][month - 1].
inline constexpr int MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                         {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(int Year);
// Days in the given month of the given year (0 for an invalid month).
int DaysInAMonth(int Year, int Month);
// Days in the month that contains the date.
int DaysInMonth(TDateTime AValue);

// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Min, int Sec, int MSec, TDateTime& Value);
// Outside the encodable range every part is 0 (DecodeDateFully returns false).
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime Date);

// The date and time, date and time of day of the host clock (host/rtl/clock.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();
// The year of the host clock's date.
int CurrentYear();

// Date and time parts. DateOf keeps the sign convention: DateOf(-1.25) = -1.
TDateTime DateOf(TDateTime AValue);
TDateTime TimeOf(TDateTime AValue);
// Replace the date or time part of DateTime, keeping the other.
void ReplaceDate(TDateTime& DateTime, TDateTime NewDate);
void ReplaceTime(TDateTime& DateTime, TDateTime NewTime);
// Adds months, clamping the day to the length of the target month.
TDateTime IncMonth(TDateTime DateTime, int NumberOfMonths = 1);

// DateToStr: the short date format; TimeToStr: the long time format;
// DateTimeToStr: both, the time left out at exact midnight.
std::string DateToStr(TDateTime Date);
std::string DateToStr(TDateTime Date, const TFormatSettings& Settings);
std::string TimeToStr(TDateTime Time);
std::string TimeToStr(TDateTime Time, const TFormatSettings& Settings);
std::string DateTimeToStr(TDateTime DateTime);
std::string DateTimeToStr(TDateTime DateTime, const TFormatSettings& Settings);

// The framework's date-time picture: c d dd ddd dddd ddddd dddddd e ee g gg m mm
// mmm mmmm yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : 'lit' "lit";
// m right after an h is minutes; h is on the 12-hour clock when the picture has
// an am/pm specifier. Letters are case-insensitive.
std::string FormatDateTime(const std::string& Format, TDateTime DateTime);
std::string FormatDateTime(const std::string& Format, TDateTime DateTime, const TFormatSettings& Settings);
void DateTimeToString(std::string& Result, const std::string& Format, TDateTime DateTime);

// Parsing: the date's fields in the order of the short date format's letters,
// separated by the date separator; two-digit years by the century window; a
// missing year is the current one. Times: h[:n[:s[.z]]] with an optional AM/PM.
// Raise EConvertError "'<s>' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(const std::string& S);
TDateTime StrToDate(const std::string& S, const TFormatSettings& Settings);
bool TryStrToDate(const std::string& S, TDateTime& Value);
bool TryStrToDate(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateDef(const std::string& S, TDateTime Default);
TDateTime StrToDateDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings);
TDateTime StrToTime(const std::string& S);
TDateTime StrToTime(const std::string& S, const TFormatSettings& Settings);
bool TryStrToTime(const std::string& S, TDateTime& Value);
bool TryStrToTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToTimeDef(const std::string& S, TDateTime Default);
TDateTime StrToTimeDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings);
TDateTime StrToDateTime(const std::string& S);
TDateTime StrToDateTime(const std::string& S, const TFormatSettings& Settings);
bool TryStrToDateTime(const std::string& S, TDateTime& Value);
bool TryStrToDateTime(const std::string& S, TDateTime& Value, const TFormatSettings& Settings);
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default);
TDateTime StrToDateTimeDef(const std::string& S, TDateTime Default, const TFormatSettings& Settings);

}  // namespace host
