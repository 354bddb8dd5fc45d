// System utilities: Format, format settings, string and number conversion, file names and files, random numbers.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "host/rtl/currency.h"
#include "host/rtl/dates.h"
#include "host/rtl/sets.h"

namespace host {

// ---------------------------------------------------------------------------
// Format settings

struct TFormatSettings {
    std::string CurrencyString = "$";
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    uint8_t CurrencyFormat = 0;
    // 0 "($1)" 1 "-$1" 2 "$-1" 3 "$1-" 4 "(1$)" 5 "-1$" 6 "1-$" 7 "1$-" 8 "-1 $"
    // 9 "-$ 1" 10 "1 $-" 11 "$ 1-" 12 "$ -1" 13 "1- $" 14 "($ 1)" 15 "(1 $)".
    uint8_t NegCurrFormat = 0;
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    uint8_t CurrencyDecimals = 2;
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    // Indexed from 0: ShortMonthNames[0] is January, ShortDayNames[0] is Sunday.
    std::array<std::string, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames = {"January", "February", "March",     "April",
                                                  "May",     "June",     "July",      "August",
                                                  "September", "October", "November", "December"};
    std::array<std::string, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};
    // Two-digit years fall within this many years before the current one and
    // 100 - window after it; 0 puts them in the current century.
    uint16_t TwoDigitYearCenturyWindow = 50;
};

// The process's settings, used by every formatting routine without an explicit
// settings argument. Starts with the US English values above; assignable.
extern TFormatSettings FormatSettings;

// ---------------------------------------------------------------------------
// Format

enum TVarRecType : uint8_t {
    vtInteger = 0,
    vtBoolean = 1,
    vtChar = 2,
    vtExtended = 3,
    vtPointer = 5,
    vtAnsiString = 11,
    vtCurrency = 12,
    vtInt64 = 16,
};

// One argument of Format: a small tagged value. Integers of up to 32 bits are
// vtInteger (%x and %u see their 32-bit image), wider ones vtInt64; char is a
// one-character string; const char* and std::string are strings; any other
// pointer is vtPointer.
class TVarRec {
public:
    TVarRec(bool v) : VType(vtBoolean) { FInt = v; }
    TVarRec(char v) : VType(vtChar) { FStr.assign(1, v); }
    TVarRec(signed char v) : VType(vtInteger) { FInt = v; }
    TVarRec(unsigned char v) : VType(vtInteger) { FInt = v; }
    TVarRec(short v) : VType(vtInteger) { FInt = v; }
    TVarRec(unsigned short v) : VType(vtInteger) { FInt = v; }
    TVarRec(int v) : VType(vtInteger) { FInt = v; }
    TVarRec(unsigned int v) : VType(vtInt64) { FInt = v; }
    TVarRec(long v) : VType(vtInt64) { FInt = v; }
    TVarRec(long long v) : VType(vtInt64) { FInt = v; }
    TVarRec(unsigned long v) : VType(vtInt64), FUnsigned(true) { FInt = static_cast<int64_t>(v); }
    TVarRec(unsigned long long v) : VType(vtInt64), FUnsigned(true) { FInt = static_cast<int64_t>(v); }
    TVarRec(float v) : VType(vtExtended) { FFloat = v; }
    TVarRec(double v) : VType(vtExtended) { FFloat = v; }
    TVarRec(long double v) : VType(vtExtended) { FFloat = static_cast<double>(v); }
    TVarRec(Currency v) : VType(vtCurrency) { FInt = v.Value; }
    TVarRec(const char* v) : VType(vtAnsiString) {
        if (v) FStr = v;
    }
    TVarRec(std::string v) : VType(vtAnsiString), FStr(std::move(v)) {}
    TVarRec(std::string_view v) : VType(vtAnsiString), FStr(v) {}
    TVarRec(std::nullptr_t) : VType(vtPointer) {}
    template <class T>
        requires(!std::same_as<std::remove_cv_t<T>, char>)
    TVarRec(T* p) : VType(vtPointer), FPtr(const_cast<void*>(static_cast<const volatile void*>(p))) {}

    TVarRecType VType;

    bool IsUnsigned() const { return FUnsigned; }
    int64_t AsInt64() const { return FInt; }
    bool AsBoolean() const { return FInt != 0; }
    double AsFloat() const { return FFloat; }
    Currency AsCurrency() const { return Currency::FromScaled(FInt); }
    const std::string& AsString() const { return FStr; }
    const void* AsPointer() const { return FPtr; }

private:
    bool FUnsigned = false;
    int64_t FInt = 0;
    double FFloat = 0;
    void* FPtr = nullptr;
    std::string FStr;
};

// The framework's Format: "%" [index ":"] ["-"] [width] ["." precision] type,
// with index, width and precision given in digits or "*" (taken from the next
// argument), types d u e f g n m p s x (either case), and "%%" for "%". The
// index is 0-based; a specifier without one takes the argument after the
// previous one. A specifier without an argument of its kind raises EConvertError
// "Format '<fmt>' invalid or incompatible with argument".
std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args);
std::string Format(const std::string& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings);
std::string Format(const std::string& Fmt, std::span<const TVarRec> Args);
std::string Format(const std::string& Fmt, std::span<const TVarRec> Args, const TFormatSettings& Settings);
void FmtStr(std::string& Result, const std::string& Fmt, std::initializer_list<TVarRec> Args);
void FmtStr(std::string& Result, const std::string& Fmt, std::initializer_list<TVarRec> Args,
            const TFormatSettings& Settings);

// ---------------------------------------------------------------------------
// Numbers and strings

inline constexpr const char* sLineBreak = "\n";

std::string IntToStr(int64_t Value);
std::string UIntToStr(uint64_t Value);
// Upper-case hex of the value's two's-complement image (32 bits for types of up
// to 32 bits, 64 otherwise), padded with zeros to at least Digits digits.
std::string IntToHex64(uint64_t Value, int Digits);
template <std::integral T>
std::string IntToHex(T Value, int Digits) {
    if constexpr (sizeof(T) <= 4)
        return IntToHex64(static_cast<uint32_t>(Value), Digits);
    else
        return IntToHex64(static_cast<uint64_t>(Value), Digits);
}

// Decimal, "$hex" or "0x hex", optional sign, blanks around. Hex may give the
// full unsigned image ("$FFFFFFFF" is -1 for StrToInt). Raise EConvertError
// "'<s>' is not a valid integer value".
int StrToInt(const std::string& S);
int64_t StrToInt64(const std::string& S);
int StrToIntDef(const std::string& S, int Default);
int64_t StrToInt64Def(const std::string& S, int64_t Default);
bool TryStrToInt(const std::string& S, int& Value);
bool TryStrToInt64(const std::string& S, int64_t& Value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Blanks around, sign, digits with the decimal separator, optional exponent.
// Raise EConvertError "'<s>' is not a valid floating point value".
double StrToFloat(const std::string& S);
double StrToFloat(const std::string& S, const TFormatSettings& Settings);
bool TryStrToFloat(const std::string& S, double& Value);
bool TryStrToFloat(const std::string& S, double& Value, const TFormatSettings& Settings);
double StrToFloatDef(const std::string& S, double Default);
double StrToFloatDef(const std::string& S, double Default, const TFormatSettings& Settings);

// General format with 15 significant digits: 0.1 "0.1", 1e20 "1E20", 1.5e-7 "1.5E-7".
std::string FloatToStr(double Value);
std::string FloatToStr(double Value, const TFormatSettings& Settings);
// Precision is the number of significant digits (1..18); Digits the exponent's
// minimum digits (ffGeneral, ffExponent, 0..4) or the decimals (ffFixed,
// ffNumber, ffCurrency, 0..18). Halves round away from zero.
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits, const TFormatSettings& Settings);
// The framework's picture: up to three sections "positive;negative;zero", each
// with 0 (digit), # (optional digit), . (decimal point), , (thousands),
// E+ E- e+ e- (scientific), 'text' and "text" literals; other characters are
// copied.
std::string FormatFloat(const std::string& Format, double Value);
std::string FormatFloat(const std::string& Format, double Value, const TFormatSettings& Settings);
std::string FormatCurr(const std::string& Format, Currency Value);
std::string FormatCurr(const std::string& Format, Currency Value, const TFormatSettings& Settings);

// Exact decimal text of the amount, without trailing zeros: 1.5 "1.5".
std::string CurrToStr(Currency Value);
std::string CurrToStr(Currency Value, const TFormatSettings& Settings);
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits);
std::string CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings);
// Rounds to four decimals, halves to even; EConvertError when not a number or
// out of range.
Currency StrToCurr(const std::string& S);
Currency StrToCurr(const std::string& S, const TFormatSettings& Settings);
bool TryStrToCurr(const std::string& S, Currency& Value);
bool TryStrToCurr(const std::string& S, Currency& Value, const TFormatSettings& Settings);
Currency StrToCurrDef(const std::string& S, Currency Default);

// "-1"/"0", or "True"/"False" with UseBoolStrs.
std::string BoolToStr(bool B, bool UseBoolStrs = false);
// "True"/"False" (any case) or a number (non-zero is true); EConvertError
// "'<s>' is not a valid boolean value".
bool StrToBool(const std::string& S);
bool StrToBoolDef(const std::string& S, bool Default);
bool TryStrToBool(const std::string& S, bool& Value);

// ASCII case mapping and comparison.
std::string UpperCase(const std::string& S);
std::string LowerCase(const std::string& S);
// Difference of the first differing bytes, or of the lengths.
int CompareStr(const std::string& S1, const std::string& S2);
int CompareText(const std::string& S1, const std::string& S2);
bool SameStr(const std::string& S1, const std::string& S2);
bool SameText(const std::string& S1, const std::string& S2);
// UTF-8 aware versions: Latin, Greek and Cyrillic letters change case; comparison
// is by code point (after case folding for the Text forms). <0, 0 or >0.
std::string AnsiUpperCase(const std::string& S);
std::string AnsiLowerCase(const std::string& S);
int AnsiCompareStr(const std::string& S1, const std::string& S2);
int AnsiCompareText(const std::string& S1, const std::string& S2);
bool AnsiSameStr(const std::string& S1, const std::string& S2);
bool AnsiSameText(const std::string& S1, const std::string& S2);
// True when S starts / ends with the text, ignoring ASCII case.
bool StartsText(const std::string& SubText, const std::string& S);
bool EndsText(const std::string& SubText, const std::string& S);

// Remove blanks and control characters (bytes <= ' ').
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);

// 1-based string positions as in the framework.
int Pos(const std::string& SubStr, const std::string& S);
int PosEx(const std::string& SubStr, const std::string& S, int Offset = 1);
std::string Copy(const std::string& S, int Index, int Count);
std::string Copy(const std::string& S, int Index);
void Delete(std::string& S, int Index, int Count);
void Insert(const std::string& Source, std::string& S, int Index);
std::string StringOfChar(char Ch, int Count);
std::string LeftStr(const std::string& S, int Count);
std::string RightStr(const std::string& S, int Count);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(const std::string& S, const std::string& OldPattern, const std::string& NewPattern,
                          TReplaceFlags Flags);

// 'text' with inner quotes doubled. AnsiDequotedStr undoes it, reading up to the
// closing quote; S comes back unchanged when it does not start with Quote or its
// quoted text is left open.
std::string QuotedStr(const std::string& S);
std::string AnsiQuotedStr(const std::string& S, char Quote);
std::string AnsiDequotedStr(const std::string& S, char Quote);
// Reads a quoted string starting at S[Pos] (0-based), leaves Pos after its
// closing quote (or at the end) and returns the text without the quotes.
std::string AnsiExtractQuotedStr(const std::string& S, size_t& Pos, char Quote);

enum TTextLineBreakStyle { tlbsLF, tlbsCRLF };
// Every CR, LF, CR LF and LF CR becomes one line break of the given style (the
// host's own, LF, by default).
std::string AdjustLineBreaks(const std::string& S, TTextLineBreakStyle Style = tlbsLF);

// A letter or '_' followed by letters, digits or '_'; with AllowDots, such
// names joined by single dots.
bool IsValidIdent(const std::string& Ident, bool AllowDots = false);
// Whether S[Index] (1-based) is one of the delimiters.
bool IsDelimiter(const std::string& Delimiters, const std::string& S, int Index);
// 1-based index of the last character of S that is one of the delimiters, or 0.
int LastDelimiter(const std::string& Delimiters, const std::string& S);
// Breaks Line into lines of at most MaxCol characters where possible, at the
// break characters (kept at the end of the line; blanks at a break are dropped),
// never inside quotes; BreakStr goes between lines.
std::string WrapText(const std::string& Line, const std::string& BreakStr, const std::string& BreakChars, int MaxCol);
std::string WrapText(const std::string& Line, int MaxCol = 45);

// UTF-8 helpers. Malformed bytes count and decode as single characters (U+FFFD).
int Utf8Length(const std::string& S);
// The code point at S[Pos], advancing Pos past it (0 at the end of S).
char32_t Utf8Next(std::string_view S, size_t& Pos);
void Utf8Append(std::string& S, char32_t Ch);
// The first Count characters (whole code points).
std::string Utf8Truncate(const std::string& S, int Count);
bool IsValidUtf8(std::string_view S);

// ---------------------------------------------------------------------------
// File names. '/' is the delimiter; '\' is accepted as one too.

inline constexpr char PathDelim = '/';
inline constexpr char PathSep = ':';
inline constexpr char DriveDelim = '\0';

// '\' becomes '/': the file layer calls this before handing a name to the system.
std::string NormalizePath(const std::string& FileName);
bool IsPathDelimiter(const std::string& S, int Index);
std::string IncludeTrailingPathDelimiter(const std::string& S);
std::string ExcludeTrailingPathDelimiter(const std::string& S);
// "dir/" of "dir/name.ext" (with the delimiter).
std::string ExtractFilePath(const std::string& FileName);
// "dir" of "dir/name.ext"; the root stays "/".
std::string ExtractFileDir(const std::string& FileName);
std::string ExtractFileName(const std::string& FileName);
// ".ext", or "" when the name has no dot after its last delimiter.
std::string ExtractFileExt(const std::string& FileName);
// Always "" on this system.
std::string ExtractFileDrive(const std::string& FileName);
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
// An absolute name with "." and ".." resolved, against the current directory.
std::string ExpandFileName(const std::string& FileName);
// DestName relative to the directory of BaseName ("dir/" or "dir/file").
std::string ExtractRelativePath(const std::string& BaseName, const std::string& DestName);

// ---------------------------------------------------------------------------
// Files and directories. Names pass through NormalizePath.

bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Directory);
// Creates the directory and its missing parents. EInOutError for an empty name.
bool ForceDirectories(const std::string& Dir);
bool CreateDir(const std::string& Dir);
bool RemoveDir(const std::string& Dir);
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& Dir);
// Last modification time in local time; false (or -1) when the file is missing.
bool FileAge(const std::string& FileName, TDateTime& FileDateTime);
TDateTime FileAge(const std::string& FileName);
// Sets the modification time; 0 on success, else the system's error code.
int FileSetDate(const std::string& FileName, TDateTime Age);
// Size in bytes, or -1 when the file is missing.
int64_t FileGetSize(const std::string& FileName);
// Writes the whole file under a temporary name beside it, flushes it to disk and
// renames it into place, so that a reader (or a crash) never sees half a file. An
// existing file keeps its permission bits. False, with nothing changed, on failure.
bool WriteFileAtomic(const std::string& FileName, const std::string& Bytes);
// The whole file; false when it cannot be opened or read, or is larger than MaxSize.
bool ReadFileBytes(const std::string& FileName, std::string& Bytes, int64_t MaxSize = INT64_MAX);
// The user's configuration directory: $XDG_CONFIG_HOME, else $HOME/.config (no
// trailing delimiter; not created).
std::string UserConfigDir();

// ---------------------------------------------------------------------------
// Random numbers: the framework's linear congruential generator,
// RandSeed := RandSeed * $08088405 + 1 in 32 bits.

int32_t RandSeed();
void SetRandSeed(int32_t Seed);
// Seeds the generator from the real clock.
void Randomize();
// 0 <= result < Range.
int Random(int Range);
// 0 <= result < 1.
double RandomFloat();
double Random();
// AFrom <= result < ATo (either order).
int RandomRange(int AFrom, int ATo);

}  // namespace host
