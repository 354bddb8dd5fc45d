// TScrollBar: the scroll bar control with arrows, page areas, a draggable thumb and keyboard scrolling.
#include <algorithm>

#include "host/controls/controls_internal.h"
#include "host/controls/lists.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
constexpr UINT_PTR RepeatTimerId = 1;
constexpr UINT RepeatDelay = 350, RepeatRate = 50;
}  // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    TControlStyle s = ControlStyle();
    s.Exclude(csClickEvents);
    s.Exclude(csSetCaption);
    s.Exclude(csDoubleClicks);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
}

TScrollBar::~TScrollBar() {
    if (FTimer != 0 && HandleAllocated()) KillTimer(Handle(), RepeatTimerId);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    // Turn the bar when its shape does not fit the new direction (a form file that lists
    // the bounds before Kind has already given the right shape).
    bool wide = Width() > Height();
    if (!ComponentState().Contains(csLoading) && wide == (Value == sbVertical))
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TScrollBar::SetPageSize(int Value) {
    if (Value < 0 || static_cast<int64_t>(Value) > static_cast<int64_t>(FMax) - FMin + 1)
        throw EInvalidOperation("Scroll bar property out of range");
    FPageSize = Value;
    SetParams(FPosition, FMin, FMax);
    Invalidate();
}

int TScrollBar::MaxPosition() const {
    if (FPageSize <= 0) return FMax;
    return static_cast<int>(std::max<int64_t>(FMin, static_cast<int64_t>(FMax) - FPageSize + 1));
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation("Scroll bar property out of range");
    FMin = AMin;
    FMax = AMax;
    if (static_cast<int64_t>(FPageSize) > static_cast<int64_t>(FMax) - FMin + 1) FPageSize = 0;
    int pos = std::clamp(APosition, FMin, MaxPosition());
    bool changed = pos != FPosition;
    FPosition = pos;
    Invalidate();
    if (changed && !ComponentState().Contains(csLoading)) Change();
}

void TScrollBar::Change() { OnChange(this); }

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) { OnScroll(this, ScrollCode, ScrollPos); }

void TScrollBar::DoScroll(TScrollCode Code, int NewPos) {
    int pos = std::clamp(NewPos, FMin, MaxPosition());
    Scroll(Code, pos);
    SetPosition(pos);
}

void TScrollBar::CreateParams(TCreateParams& Params) { TWinControl::CreateParams(Params); }

TScrollBar::TGeometry TScrollBar::Geometry() const {
    bool vert = FKind == sbVertical;
    int len = vert ? ClientHeight() : ClientWidth();
    int thick = vert ? ClientWidth() : ClientHeight();
    TGeometry g{};
    g.Arrow = std::min(thick, len / 2);
    g.TrackStart = g.Arrow;
    g.TrackLen = std::max(0, len - 2 * g.Arrow);
    int64_t range = static_cast<int64_t>(FMax) - FMin + 1;
    int thumb = FPageSize > 0 ? static_cast<int>(g.TrackLen * static_cast<int64_t>(FPageSize) / std::max<int64_t>(1, range))
                              : thick;
    thumb = std::max(thumb, 8);
    if (thumb > g.TrackLen) thumb = 0;  // no room: no thumb
    g.ThumbLen = thumb;
    int64_t span = static_cast<int64_t>(MaxPosition()) - FMin;
    int free = g.TrackLen - thumb;
    g.ThumbStart = g.TrackStart + (span > 0 ? static_cast<int>(free * (static_cast<int64_t>(FPosition) - FMin) / span) : 0);
    return g;
}

TScrollBar::THit TScrollBar::HitTest(int X, int Y) const {
    TGeometry g = Geometry();
    int along = FKind == sbVertical ? Y : X;
    int len = FKind == sbVertical ? ClientHeight() : ClientWidth();
    if (along < 0 || along >= len) return THit::None;
    if (along < g.Arrow) return THit::LineUp;
    if (along >= len - g.Arrow) return THit::LineDown;
    if (g.ThumbLen == 0) return THit::None;
    if (along < g.ThumbStart) return THit::PageUp;
    if (along >= g.ThumbStart + g.ThumbLen) return THit::PageDown;
    return THit::Thumb;
}

void TScrollBar::PaintWindow(HDC DC) {
    bool vert = FKind == sbVertical;
    TGeometry g = Geometry();
    int w = ClientWidth(), h = ClientHeight();
    auto rectAlong = [&](int a, int b) { return vert ? TRect{0, a, w, b} : TRect{a, 0, b, h}; };
    int len = vert ? h : w;
    bool enabled = Enabled() && FMax > FMin;
    UINT inactive = enabled ? 0 : DFCS_INACTIVE;
    TRect up = rectAlong(0, g.Arrow), down = rectAlong(len - g.Arrow, len);
    DrawFrameControl(DC, &up, DFC_SCROLL,
                     (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive |
                         (FHit == THit::LineUp && FPressedInside ? DFCS_PUSHED | DFCS_FLAT : 0));
    DrawFrameControl(DC, &down, DFC_SCROLL,
                     (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive |
                         (FHit == THit::LineDown && FPressedInside ? DFCS_PUSHED | DFCS_FLAT : 0));
    // The track: a checker of button face and highlight, darker while a page area is held.
    TRect track = rectAlong(g.TrackStart, g.TrackStart + g.TrackLen);
    HBRUSH br = CreateSolidBrush(ColorToRGB(clScrollBar));
    FillRect(DC, &track, br);
    DeleteObject(br);
    if (FPressedInside && (FHit == THit::PageUp || FHit == THit::PageDown)) {
        TRect held = FHit == THit::PageUp ? rectAlong(g.TrackStart, g.ThumbStart)
                                          : rectAlong(g.ThumbStart + g.ThumbLen, g.TrackStart + g.TrackLen);
        HBRUSH dark = CreateSolidBrush(ColorToRGB(cl3DDkShadow));
        FillRect(DC, &held, dark);
        DeleteObject(dark);
    }
    if (enabled && g.ThumbLen > 0) {
        int start = g.ThumbStart;
        if (FHit == THit::Thumb) {
            int64_t span = static_cast<int64_t>(MaxPosition()) - FMin;
            int free = g.TrackLen - g.ThumbLen;
            start = g.TrackStart +
                    (span > 0 ? static_cast<int>(free * (static_cast<int64_t>(FTrackPos) - FMin) / span) : 0);
        }
        TRect thumb = rectAlong(start, start + g.ThumbLen);
        HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
        FillRect(DC, &thumb, face);
        DeleteObject(face);
        DrawEdge(DC, &thumb, EDGE_RAISED, BF_RECT);
    }
    if (Focused() && enabled && g.ThumbLen > 0) {
        TRect thumb = rectAlong(g.ThumbStart, g.ThumbStart + g.ThumbLen);
        InflateRect(&thumb, -2, -2);
        DrawFocusRect(DC, &thumb);
    }
}

void TScrollBar::RepeatHit() {
    switch (FHit) {
        case THit::LineUp: DoScroll(scLineUp, FPosition - FSmallChange); break;
        case THit::LineDown: DoScroll(scLineDown, FPosition + FSmallChange); break;
        case THit::PageUp: DoScroll(scPageUp, FPosition - FLargeChange); break;
        case THit::PageDown: DoScroll(scPageDown, FPosition + FLargeChange); break;
        default: break;
    }
}

void TScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled() || FMax <= FMin) return;
    if (CanFocus() && TabStop() && !Focused()) SetFocus();
    FHit = HitTest(X, Y);
    FPressedInside = true;
    if (FHit == THit::Thumb) {
        TGeometry g = Geometry();
        FDragOffset = (FKind == sbVertical ? Y : X) - g.ThumbStart;
        FTrackPos = FPosition;
    } else if (FHit != THit::None) {
        RepeatHit();
        SetTimer(Handle(), RepeatTimerId, RepeatDelay, nullptr);
        FTimer = RepeatTimerId;
    }
    Invalidate();
}

void TScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
    TWinControl::MouseMove(Shift, X, Y);
    if (FHit == THit::Thumb) {
        TGeometry g = Geometry();
        int along = (FKind == sbVertical ? Y : X) - FDragOffset;
        int free = g.TrackLen - g.ThumbLen;
        int64_t span = static_cast<int64_t>(MaxPosition()) - FMin;
        int pos = FMin;
        if (free > 0) {
            int64_t off = std::clamp<int64_t>(along - g.TrackStart, 0, free);
            pos = static_cast<int>(FMin + (off * span + free / 2) / free);
        }
        if (pos != FTrackPos) {
            FTrackPos = pos;
            int p = pos;
            Scroll(scTrack, p);
            // The framework's bar follows the tracking position as it moves.
            p = std::clamp(p, FMin, MaxPosition());
            FTrackPos = p;
            SetPosition(p);
        }
        Invalidate();
    } else if (FHit != THit::None) {
        bool inside = HitTest(X, Y) == FHit;
        if (inside != FPressedInside) {
            FPressedInside = inside;
            Invalidate();
        }
    }
}

void TScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FHit != THit::None) {
        THit hit = FHit;
        FHit = THit::None;
        FPressedInside = false;
        if (FTimer != 0) {
            KillTimer(Handle(), RepeatTimerId);
            FTimer = 0;
        }
        if (hit == THit::Thumb) DoScroll(scPosition, FTrackPos);
        int pos = FPosition;
        Scroll(scEndScroll, pos);
        Invalidate();
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TScrollBar::WMTimer(TMessage& Message) {
    if (Message.WParam != RepeatTimerId || FHit == THit::None || FHit == THit::Thumb) return;
    KillTimer(Handle(), RepeatTimerId);
    SetTimer(Handle(), RepeatTimerId, RepeatRate, nullptr);
    if (FPressedInside) {
        // Page areas stop when the thumb reaches the mouse.
        POINT cur{};
        GetCursorPos(&cur);
        TPoint p = ScreenToClient(TPoint{cur.x, cur.y});
        if ((FHit == THit::PageUp || FHit == THit::PageDown) && HitTest(p.x, p.y) != FHit) return;
        RepeatHit();
    }
}

void TScrollBar::WMCancelMode(TMessage& Message) {
    Inherited(Message);
    if (FTimer != 0 && HandleAllocated()) KillTimer(Handle(), RepeatTimerId);
    FTimer = 0;
    FHit = THit::None;
    FPressedInside = false;
    Invalidate();
}

void TScrollBar::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    bool vert = FKind == sbVertical;
    switch (Key) {
        case VK_UP: if (!vert) return; DoScroll(scLineUp, FPosition - FSmallChange); break;
        case VK_LEFT: if (vert) return; DoScroll(scLineUp, FPosition - FSmallChange); break;
        case VK_DOWN: if (!vert) return; DoScroll(scLineDown, FPosition + FSmallChange); break;
        case VK_RIGHT: if (vert) return; DoScroll(scLineDown, FPosition + FSmallChange); break;
        case VK_PRIOR: DoScroll(scPageUp, FPosition - FLargeChange); break;
        case VK_NEXT: DoScroll(scPageDown, FPosition + FLargeChange); break;
        case VK_HOME: DoScroll(scTop, FMin); break;
        case VK_END: DoScroll(scBottom, MaxPosition()); break;
        default: return;
    }
    Key = 0;
}

void TScrollBar::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

}  // namespace host
