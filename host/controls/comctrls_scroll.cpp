// Scrolling containers: TControlScrollBar, TScrollingWinControl (ranges, window scroll bars, wheel) and TScrollBox.
#include <algorithm>

#include "host/controls/comctrls.h"

#include "host/controls/controls_internal.h"
#include "host/gdi/gdi.h"
#include "host/rtl/exceptions.h"

namespace host {

// ---------------------------------------------------------------------------
// TControlScrollBar
// ---------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind)
    : FControl(Control), FKind(Kind) {}

void TControlScrollBar::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TControlScrollBar*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FIncrement = src->FIncrement;
    FMargin = src->FMargin;
    FTracking = src->FTracking;
    FVisible = src->FVisible;
    SetRange(src->FRange);
    SetPosition(src->FPosition);
}

void TControlScrollBar::SetIncrement(int Value) {
    if (Value < 1 || Value > 32767)
        throw ERangeError("Scroll bar increment " + std::to_string(Value) + " is out of range (1..32767)");
    FIncrement = Value;
}

void TControlScrollBar::SetMargin(int Value) {
    FMargin = std::max(0, Value);
    if (FControl->AutoScroll()) FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    FControl->UpdateScrollBars();
}

bool TControlScrollBar::IsRangeStored() const { return !FControl->AutoScroll(); }

int TControlScrollBar::ControlSize() const {
    TRect r = FControl->ClientRect();
    return FKind == sbHorizontal ? r.right : r.bottom;
}

int TControlScrollBar::MaxPosition() const { return std::max(0, FRange - ControlSize()); }

bool TControlScrollBar::IsScrollBarVisible() const { return FVisible && FRange > ControlSize(); }

void TControlScrollBar::SetRange(int Value) {
    // Setting a range by hand turns automatic ranges off, as the framework does.
    if (!FControl->ComponentState().Contains(csLoading)) FControl->FAutoScroll = false;
    DoSetRange(Value);
}

void TControlScrollBar::DoSetRange(int Value) {
    FRange = std::max(0, Value);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
    if (FControl->ComponentState().Contains(csLoading)) {
        // Children read from a form file already sit where this position puts them.
        FPosition = std::max(0, Value);
        return;
    }
    Value = std::clamp(Value, 0, IsScrollBarVisible() ? MaxPosition() : 0);
    if (Value == FPosition) return;
    int delta = FPosition - Value;
    FPosition = Value;
    if (FKind == sbHorizontal)
        FControl->ScrollBy(delta, 0);
    else
        FControl->ScrollBy(0, delta);
    if (FControl->HandleAllocated())
        SetScrollPos(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, FPosition, TRUE);
}

void TControlScrollBar::Update() {
    if (!FControl->HandleAllocated()) return;
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    if (IsScrollBarVisible()) {
        si.nMax = FRange - 1;
        si.nPage = static_cast<UINT>(std::max(1, ControlSize()));
        si.nPos = FPosition;
    } else {
        si.nMax = 0;
        si.nPage = 0;
        si.nPos = 0;
    }
    // Leave the window alone when nothing changes: every realignment comes here.
    int bar = FKind == sbHorizontal ? SB_HORZ : SB_VERT;
    HWND wnd = FControl->Handle();
    SCROLLINFO now;
    now.fMask = SIF_ALL;
    bool shown = (GetWindowLongA(wnd, GWL_STYLE) & LONG(FKind == sbHorizontal ? WS_HSCROLL : WS_VSCROLL)) != 0;
    if (GetScrollInfo(wnd, bar, &now) && shown == (si.nMax > 0) && now.nMin == si.nMin && now.nMax == si.nMax &&
        now.nPage == si.nPage && now.nPos == si.nPos)
        return;
    if (!shown && si.nMax == 0) return;
    SetScrollInfo(wnd, bar, &si, TRUE);
}

void TControlScrollBar::ScrollMessage(TWMScroll& Message) {
    int page = std::max(1, ControlSize());
    switch (Message.ScrollCode()) {
        case SB_LINEUP: SetPosition(FPosition - FIncrement); break;
        case SB_LINEDOWN: SetPosition(FPosition + FIncrement); break;
        case SB_PAGEUP: SetPosition(FPosition - page); break;
        case SB_PAGEDOWN: SetPosition(FPosition + page); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: {
            if (Message.ScrollCode() == SB_THUMBTRACK && !FTracking) break;
            // The message carries 16 bits of position: a longer range reads the bar's.
            int pos = static_cast<WORD>(Message.Pos());
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS;
            if (FRange > 0x7FFF && FControl->HandleAllocated() &&
                GetScrollInfo(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si))
                pos = si.nTrackPos;
            SetPosition(pos);
            break;
        }
        case SB_TOP: SetPosition(0); break;
        case SB_BOTTOM: SetPosition(FRange); break;
        default: break;  // SB_ENDSCROLL
    }
}

// ---------------------------------------------------------------------------
// TScrollingWinControl
// ---------------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
    if (FAutoScroll == Value) return;
    FAutoScroll = Value;
    if (!Value) {
        // Without automatic ranges nothing is out of view any more.
        FHorzScrollBar->FRange = 0;
        FVertScrollBar->FRange = 0;
    }
    UpdateScrollBars();
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    ++FUpdatingScrollBars;
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
        }
    } catch (...) {
        EnableAlign();
        --FUpdatingScrollBars;
        throw;
    }
    EnableAlign();
    --FUpdatingScrollBars;
    Invalidate();
}

void TScrollingWinControl::CalcAutoRange() {
    int hRange = 0, vRange = 0, hAligned = 0, vAligned = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        TAnchors a = c->Anchors();
        bool leftOnly = a.Contains(akLeft) && !a.Contains(akRight);
        bool topOnly = a.Contains(akTop) && !a.Contains(akBottom);
        switch (c->Align()) {
            case alNone:
                if (leftOnly) hRange = std::max(hRange, FHorzScrollBar->FPosition + c->Left() + c->Width());
                if (topOnly) vRange = std::max(vRange, FVertScrollBar->FPosition + c->Top() + c->Height());
                break;
            case alLeft: hRange = std::max(hRange, FHorzScrollBar->FPosition + c->Left() + c->Width()); break;
            case alRight: hAligned += c->Width(); break;
            case alTop: vRange = std::max(vRange, FVertScrollBar->FPosition + c->Top() + c->Height()); break;
            case alBottom: vAligned += c->Height(); break;
            default: break;
        }
    }
    FHorzScrollBar->FRange = hRange + hAligned + (hRange > 0 ? FHorzScrollBar->FMargin : 0);
    FVertScrollBar->FRange = vRange + vAligned + (vRange > 0 ? FVertScrollBar->FMargin : 0);
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingScrollBars != 0 || ComponentState().Contains(csLoading) ||
        ComponentState().Contains(csDestroying))
        return;
    ++FUpdatingScrollBars;
    try {
        if (FAutoScroll) CalcAutoRange();
        // Bring positions into the ranges (scrolling the children back where needed),
        // then show or hide the bars; showing one narrows the client, so settle twice.
        for (int pass = 0; pass < 2; ++pass) {
            for (TControlScrollBar* bar : {FHorzScrollBar.get(), FVertScrollBar.get()}) {
                int want = bar->IsScrollBarVisible() ? std::clamp(bar->FPosition, 0, bar->MaxPosition()) : 0;
                if (want != bar->FPosition) {
                    int delta = bar->FPosition - want;
                    bar->FPosition = want;
                    if (bar->FKind == sbHorizontal)
                        ScrollBy(delta, 0);
                    else
                        ScrollBy(0, delta);
                }
                bar->Update();
            }
        }
    } catch (...) {
        --FUpdatingScrollBars;
        throw;
    }
    --FUpdatingScrollBars;
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect) {
    TWinControl::AdjustClientRect(Rect);
    int w = std::max(Rect.right - Rect.left, FHorzScrollBar->IsScrollBarVisible() ? FHorzScrollBar->FRange : 0);
    int h = std::max(Rect.bottom - Rect.top, FVertScrollBar->IsScrollBarVisible() ? FVertScrollBar->FRange : 0);
    Rect.left -= FHorzScrollBar->ScrollPos();
    Rect.top -= FVertScrollBar->ScrollPos();
    Rect.right = Rect.left + w;
    Rect.bottom = Rect.top + h;
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TRect before = ClientRect();
    TWinControl::AlignControls(AControl, Rect);
    if (FUpdatingScrollBars != 0) return;
    UpdateScrollBars();
    // A bar that came or went changed the client area: lay the aligned children out again.
    TRect after = ClientRect();
    if (after.right != before.right || after.bottom != before.bottom) {
        TRect r = after;
        TWinControl::AlignControls(nullptr, r);
    }
}

void TScrollingWinControl::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
    if (AControl == nullptr || AControl == this || !ContainsControl(AControl)) return;
    TWinControl* p = AControl->Parent();
    if (p == nullptr) return;
    TPoint tl{AControl->Left(), AControl->Top()};
    if (p != this) tl = p->ClientToParent(tl, this);
    TRect r{tl.x - FHorzScrollBar->FMargin, tl.y - FVertScrollBar->FMargin,
            tl.x + AControl->Width() + FHorzScrollBar->FMargin, tl.y + AControl->Height() + FVertScrollBar->FMargin};
    TRect client = ClientRect();
    if (r.left < 0) {
        FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + r.left);
    } else if (r.right > client.right) {
        if (r.right - r.left > client.right) r.right = r.left + client.right;
        FHorzScrollBar->SetPosition(FHorzScrollBar->FPosition + r.right - client.right);
    }
    if (r.top < 0) {
        FVertScrollBar->SetPosition(FVertScrollBar->FPosition + r.top);
    } else if (r.bottom > client.bottom) {
        if (r.bottom - r.top > client.bottom) r.bottom = r.top + client.bottom;
        FVertScrollBar->SetPosition(FVertScrollBar->FPosition + r.bottom - client.bottom);
    }
}

void TScrollingWinControl::WMHScroll(TWMScroll& Message) {
    if (Message.ScrollBar() != nullptr) {
        Inherited(Message);
        return;
    }
    FHorzScrollBar->ScrollMessage(Message);
    Message.Result = 0;
}

void TScrollingWinControl::WMVScroll(TWMScroll& Message) {
    if (Message.ScrollBar() != nullptr) {
        Inherited(Message);
        return;
    }
    FVertScrollBar->ScrollMessage(Message);
    Message.Result = 0;
}

void TScrollingWinControl::WMMouseWheel(TWMMouseWheel& Message) {
    bool handled = false;
    TPoint pt{Message.XPos(), Message.YPos()};
    OnMouseWheel(this, KeysToShiftState(Message.Keys()), Message.WheelDelta(), pt, handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (!FVertScrollBar->IsScrollBarVisible()) {
        FWheelAccumulator = 0;
        Inherited(Message);  // up to the parent
        return;
    }
    // Three lines a notch; partial notches (fine wheels) add up.
    FWheelAccumulator += Message.WheelDelta();
    int notches = FWheelAccumulator / WHEEL_DELTA;
    FWheelAccumulator -= notches * WHEEL_DELTA;
    if (notches != 0)
        FVertScrollBar->SetPosition(FVertScrollBar->FPosition - notches * 3 * FVertScrollBar->FIncrement);
    Message.Result = 1;
}

void TScrollingWinControl::CMFocusChanged(TMessage& Message) {
    auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
    if (FAutoScroll && focused != nullptr && focused != this && ContainsControl(focused)) ScrollInView(focused);
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetAutoScroll(true);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
    Realign();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
}

void TScrollBox::CMCtl3DChanged(TMessage& Message) {
    if (HandleAllocated() && FBorderStyle == bsSingle) RecreateWnd();
    Inherited(Message);
}

}  // namespace host
