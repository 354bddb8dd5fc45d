// TCanvas: the framework's drawing surface over a device context, with its pen, brush and font.
#include <algorithm>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/graphics/graphics.h"
#include "host/graphics/graphics_internal.h"
#include "host/rtl/exceptions.h"

namespace host {

using graphics_detail::ColorRef;

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
    FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
    FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    // The pen, brush and font go after the DC let go of them.
    FFont->OnChange = nullptr;
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

// ---- state ----

HDC TCanvas::Handle() {
    Changing();
    RequiredState(csAllValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
    if (FHandle == Value) return;
    if (FHandle != nullptr) {
        DeselectHandles();
        POINT p;
        if (GetCurrentPositionEx(FHandle, &p)) FPenPos = p;
        FHandle = nullptr;
        FState.Exclude(csHandleValid);
    }
    if (Value != nullptr) {
        FState.Include(csHandleValid);
        FHandle = Value;
        MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
    const TCanvasState needed = ReqState - FState;
    if (needed.Empty()) return;
    if (needed.Contains(csHandleValid)) {
        CreateHandle();
        if (FHandle == nullptr) throw EInvalidOperation("Canvas does not allow drawing");
    }
    if (needed.Contains(csFontValid)) CreateFont();
    if (needed.Contains(csPenValid)) CreatePen();
    if (needed.Contains(csBrushValid)) CreateBrush();
    FState += needed;
}

void TCanvas::CreateFont() {
    SelectObject(FHandle, FFont->Handle());
    SetTextColor(FHandle, ColorRef(FFont->Color()));
}

void TCanvas::CreatePen() {
    SelectObject(FHandle, FPen->Handle());
    SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
}

void TCanvas::CreateBrush() {
    SelectObject(FHandle, FBrush->Handle());
    if (FBrush->Style() == bsSolid) {
        SetBkColor(FHandle, ColorRef(FBrush->Color()));
        SetBkMode(FHandle, OPAQUE);
    } else {
        // Nothing should use the background colour in transparent mode; hatches
        // are drawn over a background colour different from the brush's anyway.
        SetBkColor(FHandle, ~ColorRef(FBrush->Color()) & 0x00FFFFFFu);
        SetBkMode(FHandle, TRANSPARENT);
    }
}

void TCanvas::DeselectHandles() {
    if (FHandle == nullptr) return;
    const TCanvasState objects{csPenValid, csBrushValid, csFontValid};
    if ((FState * objects).Empty()) return;
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    FState -= objects;
}

void TCanvas::FontChanged(TObject*) {
    if (FState.Contains(csFontValid)) {
        FState.Exclude(csFontValid);
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    }
}

void TCanvas::PenChanged(TObject*) {
    if (FState.Contains(csPenValid)) {
        FState.Exclude(csPenValid);
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
    }
}

void TCanvas::BrushChanged(TObject*) {
    if (FState.Contains(csBrushValid)) {
        FState.Exclude(csBrushValid);
        SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    }
}

void TCanvas::SetPen(TPen* Value) { FPen->Assign(Value); }
void TCanvas::SetBrush(TBrush* Value) { FBrush->Assign(Value); }
void TCanvas::SetFont(TFont* Value) { FFont->Assign(Value); }

void TCanvas::Changed() { OnChange(this); }
void TCanvas::Changing() { OnChanging(this); }

void TCanvas::Refresh() { DeselectHandles(); }

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState({csHandleValid});
    return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    SetPixel(FHandle, X, Y, ColorRef(Value));
    Changed();
}

TPoint TCanvas::PenPos() {
    RequiredState({csHandleValid});
    TPoint p;
    GetCurrentPositionEx(FHandle, &p);
    return p;
}

void TCanvas::SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }

TRect TCanvas::ClipRect() {
    RequiredState({csHandleValid});
    TRect r;
    GetClipBox(FHandle, &r);
    return r;
}

// ---- locking ----

void TCanvas::Lock() {
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock() {
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock() {
    if (!FLock.try_lock()) return false;
    ++FLockCount;
    return true;
}

// ---- drawing ----

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (Canvas == nullptr) return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState({csHandleValid, csBrushValid});
    StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->FHandle,
               Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top, FCopyMode);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    SetBkColor(FHandle, ColorRef(FBrush->Color()));
    SetTextColor(FHandle, ColorRef(FFont->Color()));
    Graphic->Draw(this, TRect{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    SetBkColor(FHandle, ColorRef(FBrush->Color()));
    SetTextColor(FHandle, ColorRef(FFont->Color()));
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::host::DrawFocusRect(FHandle, &Rect);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Ellipse(const TRect& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }

void TCanvas::FillRect(const TRect& Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::host::FillRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::host::FrameRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState({csHandleValid});
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Rectangle(const TRect& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::host::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
    RequiredState({csHandleValid, csFontValid});
    TSize s;
    GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &s);
    return s;
}

int TCanvas::TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
int TCanvas::TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOutA(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.data(), static_cast<UINT>(Text.size()),
                nullptr);
    MoveTo(X + TextWidth(Text), Y);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    ExtTextOutA(FHandle, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (Bitmap == nullptr || Bitmap->Empty()) return;
    constexpr DWORD ROP_DSPDxax = 0x00E20746;
    Lock();
    try {
        Changing();
        RequiredState({csHandleValid, csBrushValid});
        const int dw = Dest.right - Dest.left, dh = Dest.bottom - Dest.top;
        const int sw = Source.right - Source.left, sh = Source.bottom - Source.top;
        // A mask where Color is white and every other colour black.
        TBitmap mask;
        mask.Assign(Bitmap);
        mask.Mask(Color);
        HDC maskDC = mask.Canvas()->Handle();
        HDC srcDC = Bitmap->Canvas()->Handle();
        if (FBrush->Style() == bsClear) {
            // Only the pixels that are not Color: clear them through the mask,
            // then paint the bitmap with those pixels black.
            TBitmap masked;
            masked.Assign(Bitmap);
            HDC mdc = masked.Canvas()->Handle();
            SetTextColor(mdc, 0x000000);
            SetBkColor(mdc, 0xFFFFFF);
            BitBlt(mdc, 0, 0, masked.Width(), masked.Height(), maskDC, 0, 0, 0x00220326);  // DSna
            const COLORREF text = SetTextColor(FHandle, 0x000000), back = SetBkColor(FHandle, 0xFFFFFF);
            StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, maskDC, Source.left, Source.top, sw, sh, SRCAND);
            StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, mdc, Source.left, Source.top, sw, sh, SRCPAINT);
            SetTextColor(FHandle, text);
            SetBkColor(FHandle, back);
        } else {
            // The bitmap, then the brush where the mask is white (S ? P : D).
            StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, srcDC, Source.left, Source.top, sw, sh, SRCCOPY);
            const COLORREF text = SetTextColor(FHandle, 0x000000), back = SetBkColor(FHandle, 0xFFFFFF);
            StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, maskDC, Source.left, Source.top, sw, sh, ROP_DSPDxax);
            SetTextColor(FHandle, text);
            SetBkColor(FHandle, back);
        }
        Changed();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

// ---- flood fill ----

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    gdi::TTarget t;
    if (gdi::MakeTarget(FHandle, t) && t.Surface != nullptr) {
        const gdi::TBrushObj* brush = gdi::Find<gdi::TBrushObj>(GetCurrentObject(FHandle, OBJ_BRUSH));
        const int sx = X + t.Dx, sy = Y + t.Dy;
        gdi::TBitmapObj* s = t.Surface;
        if (brush != nullptr && brush->Style != BS_NULL && t.Clip.Contains(sx, sy)) {
            const uint32_t c = gdi::ColorToSurface(ColorRef(Color), s);
            const bool surface = FillStyle == fsSurface;
            const RECT b = t.Clip.Bounds();
            const bool simple = t.Clip.Type() == SIMPLEREGION;
            const int w = b.right - b.left, h = b.bottom - b.top;
            std::vector<uint8_t> seen(size_t(w) * size_t(h), 0);
            auto inside = [&](int x, int y) {
                if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return false;
                if (seen[size_t(y - b.top) * size_t(w) + size_t(x - b.left)]) return false;
                if (!simple && !t.Clip.Contains(x, y)) return false;
                const uint32_t p = s->Row(y)[x] & 0x00FFFFFFu;
                return surface ? p == c : p != c;
            };
            // Scanline fill: each popped seed grows into its whole run, which is
            // painted, and the rows above and below get a seed per run they hold.
            std::vector<POINT> stack;
            stack.push_back(POINT{sx, sy});
            while (!stack.empty()) {
                const POINT p = stack.back();
                stack.pop_back();
                if (!inside(p.x, p.y)) continue;
                int l = p.x, r = p.x;
                while (inside(l - 1, p.y)) --l;
                while (inside(r + 1, p.y)) ++r;
                uint32_t* row = s->Row(p.y);
                uint8_t* seenRow = &seen[size_t(p.y - b.top) * size_t(w)];
                for (int x = l; x <= r; ++x) seenRow[x - b.left] = 1;
                for (int x = l; x <= r; ++x) row[x] = gdi::BrushPixel(brush, t.DC, s, x, p.y);
                for (int dy = -1; dy <= 1; dy += 2) {
                    const int ny = p.y + dy;
                    bool inRun = false;
                    for (int x = l; x <= r; ++x) {
                        if (inside(x, ny)) {
                            if (!inRun) stack.push_back(POINT{x, ny});
                            inRun = true;
                        } else {
                            inRun = false;
                        }
                    }
                }
            }
        }
    }
    Changed();
}

}  // namespace host
