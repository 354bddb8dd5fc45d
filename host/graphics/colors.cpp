// Colour names and conversions, character-set names, MulDiv and pen-mode codes.
#include <climits>
#include <cstdlib>

#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

struct TIdentEntry {
    int32_t Value;
    const char* Name;
};

// The named colours in the framework's order: where two names share a value
// (clGray and clDkGray), the first one is the one written.
const TIdentEntry kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
    // Accepted when read, never written (their values have the names above).
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};
constexpr size_t kWrittenColors = sizeof(kColors) / sizeof(kColors[0]) - 2;

const TIdentEntry kCharsets[] = {
    {0, "ANSI_CHARSET"},        {1, "DEFAULT_CHARSET"},   {2, "SYMBOL_CHARSET"},  {77, "MAC_CHARSET"},
    {128, "SHIFTJIS_CHARSET"},  {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"}, {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},    {178, "ARABIC_CHARSET"},  {186, "BALTIC_CHARSET"}, {204, "RUSSIAN_CHARSET"},
    {222, "THAI_CHARSET"},      {238, "EASTEUROPE_CHARSET"}, {255, "OEM_CHARSET"},
};

template <size_t N>
bool ToIdent(const TIdentEntry (&Map)[N], size_t Count, int32_t Value, std::string& Ident) {
    for (size_t i = 0; i < Count && i < N; ++i)
        if (Map[i].Value == Value) {
            Ident = Map[i].Name;
            return true;
        }
    return false;
}

template <size_t N>
bool FromIdent(const TIdentEntry (&Map)[N], const std::string& Ident, int32_t& Value) {
    for (const TIdentEntry& e : Map)
        if (SameText(Ident, e.Name)) {
            Value = e.Value;
            return true;
        }
    return false;
}

bool ColorIntToIdent(int64_t Value, std::string& Ident) {
    if (Value < INT32_MIN || Value > UINT32_MAX) return false;
    return ColorToIdent(static_cast<int32_t>(Value), Ident);
}
bool ColorIdentToInt(const std::string& Ident, int64_t& Value) {
    int32_t v = 0;
    if (!IdentToColor(Ident, v)) return false;
    Value = v;
    return true;
}
bool CharsetIntToIdent(int64_t Value, std::string& Ident) {
    if (Value < 0 || Value > 255) return false;
    return CharsetToIdent(static_cast<int32_t>(Value), Ident);
}
bool CharsetIdentToInt(const std::string& Ident, int64_t& Value) {
    int32_t v = 0;
    if (!IdentToCharset(Ident, v)) return false;
    Value = v;
    return true;
}

}  // namespace

const TTypeInfo* HostTypeInfo(const TColor*) {
    static const TTypeInfo* info = [] {
        auto* t = new TTypeInfo;  // one for the life of the process, like every type description
        t->Kind = tkInteger;
        t->Name = "TColor";
        t->OrdType = otSLong;
        t->MinValue = INT32_MIN;
        t->MaxValue = INT32_MAX;
        t->IntToIdent = &ColorIntToIdent;
        t->IdentToInt = &ColorIdentToInt;
        return t;
    }();
    return info;
}

const TTypeInfo* FontCharsetTypeInfo() {
    static const TTypeInfo* info = [] {
        auto* t = new TTypeInfo;
        t->Kind = tkInteger;
        t->Name = "TFontCharset";
        t->OrdType = otUByte;
        t->MinValue = 0;
        t->MaxValue = 255;
        t->IntToIdent = &CharsetIntToIdent;
        t->IdentToInt = &CharsetIdentToInt;
        return t;
    }();
    return info;
}

int32_t ColorToRGB(TColor Color) {
    if (static_cast<int32_t>(Color) < 0) return static_cast<int32_t>(GetSysColor(static_cast<int>(Color & 0xFF)));
    return static_cast<int32_t>(Color);
}

bool ColorToIdent(int32_t Color, std::string& Ident) { return ToIdent(kColors, kWrittenColors, Color, Ident); }

bool IdentToColor(const std::string& Ident, int32_t& Color) { return FromIdent(kColors, Ident, Color); }

std::string ColorToString(TColor Color) {
    std::string s;
    if (ColorToIdent(Color, s)) return s;
    return "$" + IntToHex(static_cast<uint32_t>(Color), 8);
}

TColor StringToColor(const std::string& S) {
    int32_t v = 0;
    if (IdentToColor(S, v)) return static_cast<TColor>(v);
    return static_cast<TColor>(StrToInt(S));
}

void GetColorValues(const std::function<void(const std::string&)>& Proc) {
    if (!Proc) return;
    for (size_t i = 0; i < kWrittenColors; ++i) Proc(kColors[i].Name);
}

bool CharsetToIdent(int32_t Charset, std::string& Ident) {
    return ToIdent(kCharsets, sizeof(kCharsets) / sizeof(kCharsets[0]), Charset, Ident);
}

bool IdentToCharset(const std::string& Ident, int32_t& Charset) { return FromIdent(kCharsets, Ident, Charset); }

int MulDiv(int Number, int Numerator, int Denominator) {
    if (Denominator == 0) return -1;
    const int64_t p = int64_t(Number) * int64_t(Numerator);
    const bool negative = (p < 0) != (Denominator < 0);
    const uint64_t ap = p < 0 ? uint64_t(-p) : uint64_t(p);
    const uint64_t ad = Denominator < 0 ? uint64_t(-int64_t(Denominator)) : uint64_t(Denominator);
    const uint64_t q = (ap + ad / 2) / ad;
    if (q > uint64_t(INT_MAX) + (negative ? 1u : 0u)) return -1;
    return negative ? int(-int64_t(q)) : int(q);
}

int PenModeToRop2(TPenMode Mode) {
    static const int kModes[] = {R2_BLACK,       R2_WHITE,       R2_NOP,        R2_NOT,         R2_COPYPEN,
                                 R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN,
                                 R2_MERGEPEN,    R2_NOTMERGEPEN, R2_MASKPEN,    R2_NOTMASKPEN,  R2_XORPEN,
                                 R2_NOTXORPEN};
    const int i = static_cast<int>(Mode);
    return (i >= 0 && i < 16) ? kModes[i] : R2_COPYPEN;
}

}  // namespace host
