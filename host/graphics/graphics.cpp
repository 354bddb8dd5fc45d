// Pens, brushes and fonts over the painter's objects, and the shared pattern bitmaps.
#include <cstring>
#include <map>
#include <utility>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/graphics/graphics.h"
#include "host/graphics/graphics_internal.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace graphics_detail {

COLORREF ColorRef(TColor Color) { return static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFFu; }

}  // namespace graphics_detail

using graphics_detail::ColorRef;

// ---- deferred deletion ----

namespace {

// Objects that were still selected into some DC when their owner let them go.
struct TPendingDeletes {
    std::vector<HGDIOBJ> Handles;
    ~TPendingDeletes() {
        for (HGDIOBJ h : Handles) DeleteObject(h);
    }
    void Retry() {
        std::vector<HGDIOBJ> keep;
        for (HGDIOBJ h : Handles)
            if (!DeleteObject(h) && gdi::FindObject(h) != nullptr) keep.push_back(h);
        Handles.swap(keep);
    }
};

TPendingDeletes& Pending() {
    GetStockObject(WHITE_BRUSH);  // the painter's tables exist before this list, so they outlive it
    static TPendingDeletes pending;
    return pending;
}

}  // namespace

void DeleteGraphicsHandle(HGDIOBJ Handle) {
    TPendingDeletes& p = Pending();
    if (!p.Handles.empty()) p.Retry();
    if (Handle == nullptr) return;
    if (!DeleteObject(Handle) && gdi::FindObject(Handle) != nullptr) p.Handles.push_back(Handle);
}

// ---- TGraphicsObject ----

void TGraphicsObject::Changed() { OnChange(this); }

void TGraphicsObject::ChangedDropping(HGDIOBJ& Handle) {
    HGDIOBJ old = Handle;
    Handle = nullptr;
    Changed();
    if (old != nullptr) DeleteGraphicsHandle(old);
}

// ---- TPen ----

TPen::TPen() = default;

TPen::~TPen() {
    if (FHandle != nullptr) DeleteGraphicsHandle(FHandle);
}

void TPen::Drop() {
    HGDIOBJ h = FHandle;
    FHandle = nullptr;
    ChangedDropping(h);
}

void TPen::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TPen>()) {
        auto* src = static_cast<TPen*>(Source);
        FColor = src->FColor;
        FMode = src->FMode;
        FStyle = src->FStyle;
        FWidth = src->FWidth;
        Drop();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Drop();
}

void TPen::SetMode(TPenMode Value) {
    if (FMode == Value) return;
    FMode = Value;
    Changed();  // the mode is the DC's ROP2, not part of the pen object
}

void TPen::SetStyle(TPenStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Drop();
}

void TPen::SetWidth(int Value) {
    if (Value < 0 || FWidth == Value) return;
    FWidth = Value;
    Drop();
}

HPEN TPen::Handle() const {
    if (FHandle == nullptr) {
        static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        const int s = static_cast<int>(FStyle);
        FHandle = CreatePen(s >= 0 && s < 7 ? kStyles[s] : PS_SOLID, FWidth, ColorRef(FColor));
    }
    return FHandle;
}

void TPen::SetHandle(HPEN Value) {
    if (Value == FHandle) return;
    LOGPEN lp;
    if (Value != nullptr && GetObjectA(Value, sizeof lp, &lp) == int(sizeof lp)) {
        switch (lp.lopnStyle) {
            case PS_DASH: FStyle = psDash; break;
            case PS_DOT: FStyle = psDot; break;
            case PS_DASHDOT: FStyle = psDashDot; break;
            case PS_DASHDOTDOT: FStyle = psDashDotDot; break;
            case PS_NULL: FStyle = psClear; break;
            case PS_INSIDEFRAME: FStyle = psInsideFrame; break;
            default: FStyle = psSolid; break;
        }
        FWidth = lp.lopnWidth.x;
        FColor = static_cast<TColor>(lp.lopnColor & 0x00FFFFFF);
    }
    HGDIOBJ old = FHandle;
    FHandle = Value;
    ChangedDropping(old);
}

// ---- TBrush ----

TBrush::TBrush() = default;

TBrush::~TBrush() {
    if (FHandle != nullptr) DeleteGraphicsHandle(FHandle);
}

void TBrush::Drop() {
    HGDIOBJ h = FHandle;
    FHandle = nullptr;
    ChangedDropping(h);
}

void TBrush::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TBrush>()) {
        auto* src = static_cast<TBrush*>(Source);
        FColor = src->FColor;
        FStyle = src->FStyle;
        FBitmap = src->FBitmap;
        Drop();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
    if (FColor == Value && FStyle != bsClear) return;
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    Drop();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Drop();
}

void TBrush::SetBitmap(TBitmap* Value) {
    FBitmap = Value;
    FColor = clWhite;
    FStyle = bsSolid;
    Drop();
}

HBRUSH TBrush::Handle() const {
    if (FHandle == nullptr) {
        HBITMAP pattern = FBitmap != nullptr ? FBitmap->Handle() : nullptr;
        if (pattern != nullptr) {
            FHandle = CreatePatternBrush(pattern);
        } else {
            LOGBRUSH lb;
            lb.lbColor = ColorRef(FColor);
            switch (FStyle) {
                case bsSolid: lb.lbStyle = BS_SOLID; break;
                case bsClear: lb.lbStyle = BS_HOLLOW; break;
                default:
                    lb.lbStyle = BS_HATCHED;
                    lb.lbHatch = uintptr_t(static_cast<int>(FStyle) - static_cast<int>(bsHorizontal));
                    break;
            }
            FHandle = CreateBrushIndirect(&lb);
        }
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH Value) {
    if (Value == FHandle) return;
    LOGBRUSH lb;
    if (Value != nullptr && GetObjectA(Value, sizeof lb, &lb) == int(sizeof lb)) {
        FBitmap = nullptr;
        FColor = static_cast<TColor>(lb.lbColor & 0x00FFFFFF);
        switch (lb.lbStyle) {
            case BS_NULL: FStyle = bsClear; break;
            case BS_HATCHED:
                FStyle = lb.lbHatch <= HS_DIAGCROSS ? static_cast<TBrushStyle>(bsHorizontal + int(lb.lbHatch))
                                                     : bsSolid;
                break;
            default: FStyle = bsSolid; break;
        }
    }
    HGDIOBJ old = FHandle;
    FHandle = Value;
    ChangedDropping(old);
}

// ---- TFont ----

TFont::TFont() = default;

TFont::~TFont() {
    if (FHandle != nullptr) DeleteGraphicsHandle(FHandle);
}

void TFont::Drop() {
    HGDIOBJ h = FHandle;
    FHandle = nullptr;
    ChangedDropping(h);
}

void TFont::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TFont>()) {
        auto* src = static_cast<TFont*>(Source);
        if (src == this) return;
        FCharset = src->FCharset;
        FColor = src->FColor;
        FHeight = src->FHeight;
        FName = src->FName;
        FPitch = src->FPitch;
        FStyle = src->FStyle;
        // Fonts of another resolution keep their size in points.
        if (FPixelsPerInch != src->FPixelsPerInch) FHeight = -MulDiv(src->Size(), FPixelsPerInch, 72);
        HGDIOBJ old = FHandle;
        FHandle = nullptr;
        // A font made from a handle may carry more than the properties say
        // (an escapement): take a copy of that font.
        LOGFONTA lf;
        if (src->FHandle != nullptr && FPixelsPerInch == src->FPixelsPerInch &&
            GetObjectA(src->FHandle, sizeof lf, &lf) == int(sizeof lf))
            FHandle = CreateFontIndirectA(&lf);
        ChangedDropping(old);
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetCharset(TFontCharset Value) {
    if (FCharset == Value) return;
    FCharset = Value;
    Drop();
}

void TFont::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();  // the colour is the DC's text colour, not part of the font object
}

void TFont::SetHeight(int Value) {
    if (FHeight == Value) return;
    FHeight = Value;
    Drop();
}

void TFont::SetName(const TFontName& Value) {
    if (Value.empty() || FName == Value) return;
    FName = Value;
    Drop();
}

void TFont::SetPitch(TFontPitch Value) {
    if (FPitch == Value) return;
    FPitch = Value;
    Drop();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Drop();
}

HFONT TFont::Handle() const {
    if (FHandle == nullptr) {
        LOGFONTA lf;
        lf.lfHeight = FHeight;
        lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
        lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharset;
        const std::string name = SameText(FName, "Default") ? std::string(DefaultName) : FName;
        std::strncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
        switch (FPitch) {
            case fpVariable: lf.lfPitchAndFamily = VARIABLE_PITCH; break;
            case fpFixed: lf.lfPitchAndFamily = FIXED_PITCH; break;
            default: lf.lfPitchAndFamily = DEFAULT_PITCH; break;
        }
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Value) {
    if (Value == FHandle) return;
    LOGFONTA lf;
    if (Value != nullptr && GetObjectA(Value, sizeof lf, &lf) == int(sizeof lf)) {
        FHeight = lf.lfHeight;
        lf.lfFaceName[LF_FACESIZE - 1] = '\0';
        if (lf.lfFaceName[0] != '\0') FName = lf.lfFaceName;
        FCharset = lf.lfCharSet;
        TFontStyles st;
        if (lf.lfWeight >= FW_SEMIBOLD) st.Include(fsBold);
        if (lf.lfItalic) st.Include(fsItalic);
        if (lf.lfUnderline) st.Include(fsUnderline);
        if (lf.lfStrikeOut) st.Include(fsStrikeOut);
        FStyle = st;
        switch (lf.lfPitchAndFamily & 0x3) {
            case VARIABLE_PITCH: FPitch = fpVariable; break;
            case FIXED_PITCH: FPitch = fpFixed; break;
            default: FPitch = fpDefault; break;
        }
    }
    HGDIOBJ old = FHandle;
    FHandle = Value;
    ChangedDropping(old);
}

// ---- pattern bitmaps ----

TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor) {
    GetStockObject(WHITE_BRUSH);  // the painter's tables exist before the cache, so they outlive it
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<TBitmap>> cache;
    auto& slot = cache[{static_cast<int32_t>(BkColor), static_cast<int32_t>(FgColor)}];
    if (!slot) {
        // Written through the scan lines, so the shared bitmap holds no DC.
        auto bmp = std::make_unique<TBitmap>();
        bmp->SetPixelFormat(pf32bit);
        bmp->SetSize(8, 8);
        const uint32_t bk = gdi::ToPixel(ColorRef(BkColor)), fg = gdi::ToPixel(ColorRef(FgColor));
        for (int y = 0; y < 8; ++y) {
            auto* row = static_cast<uint32_t*>(bmp->ScanLine(y));
            for (int x = 0; x < 8; ++x) row[x] = (y % 2 == x % 2) ? fg : bk;
        }
        bmp->SetModified(false);
        slot = std::move(bmp);
    }
    return slot.get();
}

}  // namespace host
