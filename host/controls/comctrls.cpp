// The status bar with its panels, the header control with its sections, the progress bar, shared painting helpers and class registration.
#include "host/controls/comctrls.h"

#include <algorithm>
#include <cstdlib>

#include "host/app/app.h"
#include "host/controls/comctrls_internal.h"
#include "host/controls/controls_internal.h"
#include "host/gdi/gdi.h"
#include "host/rtl/exceptions.h"

namespace host {

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

namespace comctrls_internal {

TSize MeasureText(TFont* Font, const std::string& Text) {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return TSize{0, 0};
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    SIZE size{0, 0};
    std::string s = Text.empty() ? std::string(" ") : Text;
    GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
    if (Text.empty()) size.cx = 0;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return TSize{size.cx, size.cy};
}

void Fill(HDC DC, const TRect& R, TColor Color) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    FillRect(DC, &R, brush);
    DeleteObject(brush);
}

void Line(HDC DC, int X1, int Y1, int X2, int Y2, TColor Color) {
    TRect r{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1};
    Fill(DC, r, Color);
}

void DrawLabel(HDC DC, TFont* Font, const std::string& Text, TRect R, UINT Flags, bool Enabled, TColor Color) {
    HGDIOBJ oldFont = SelectObject(DC, Font->Handle());
    int oldMode = SetBkMode(DC, TRANSPARENT);
    if (Enabled) {
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Color == clBtnText ? Font->Color() : Color)));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    } else {
        TRect shifted = R;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &shifted, Flags);
        SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
        DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    }
    SetBkMode(DC, oldMode);
    SelectObject(DC, oldFont);
}

}  // namespace comctrls_internal

using namespace comctrls_internal;

namespace {
UINT AlignmentFlags(TAlignment A) {
    switch (A) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}
}  // namespace

// ---------------------------------------------------------------------------
// Status panels
// ---------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TStatusPanel*>(Source);
    if (src == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAlignment = src->FAlignment;
    FBevel = src->FBevel;
    FStyle = src->FStyle;
    FText = src->FText;
    FWidth = src->FWidth;
    Changed(false);
}

std::string TStatusPanel::DisplayName() const { return FText.empty() ? TCollectionItem::DisplayName() : FText; }

void TStatusPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    FBevel = Value;
    Changed(false);
}
void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    FStyle = Value;
    Changed(false);
}
void TStatusPanel::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}
void TStatusPanel::SetWidth(int Value) {
    FWidth = std::max(0, Value);
    Changed(true);
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(TStatusPanel::StaticClass()), FStatusBar(StatusBar) {}

TStatusPanel* TStatusPanels::Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
TStatusPanel* TStatusPanels::Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
void TStatusPanels::Update(TCollectionItem*) { FStatusBar->Invalidate(); }
TPersistent* TStatusPanels::GetOwner() const { return FStatusBar; }

// ---------------------------------------------------------------------------
// TStatusBar
// ---------------------------------------------------------------------------

namespace {
std::vector<TStatusBar*>& HintBars() {
    static std::vector<TStatusBar*> bars;
    return bars;
}
}  // namespace

TStatusBar::TStatusBar(TComponent* AOwner)
    : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
    SetParentColorQuiet(false);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
    auto& bars = HintBars();
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
}

void TStatusBar::SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }

void TStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    if (FSimplePanel) Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    Invalidate();
}

void TStatusBar::SetAutoHint(bool Value) {
    if (FAutoHint == Value) return;
    FAutoHint = Value;
    auto& bars = HintBars();
    if (Value)
        bars.push_back(this);
    else
        bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
}

bool TStatusBar::DoHint(const std::string& Hint) {
    if (!FAutoHint) return false;
    if (OnHint.Assigned()) {
        OnHint(this);
        return true;
    }
    if (!Hint.empty()) {
        SetSimpleText(Hint);
        SetSimplePanel(true);
    } else {
        SetSimplePanel(false);
    }
    return true;
}

bool ShowHintInStatusBars(const std::string& Hint) {
    bool taken = false;
    for (TStatusBar* bar : std::vector<TStatusBar*>(HintBars()))
        if (bar->Showing() && bar->DoHint(Hint)) taken = true;
    return taken;
}

bool TStatusBar::ShowsGrip() const {
    if (!FSizeGrip) return false;
    TCustomForm* form = GetParentForm();
    if (form == nullptr || Parent() != form) return false;
    TFormBorderStyle bs = form->BorderStyle();
    return (bs == bsSizeable || bs == bsSizeToolWin) && form->WindowState() != wsMaximized;
}

void TStatusBar::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

TRect TStatusBar::PanelRect(int Index) {
    TRect client = ClientRect();
    int right = client.right - (ShowsGrip() ? client.bottom : 0);
    int x = 0;
    for (int i = 0; i < FPanels->Count(); ++i) {
        int w = FPanels->Items(i)->Width();
        int r = i == FPanels->Count() - 1 ? std::max(x + w, right) : x + w;
        if (i == Index) return TRect{x + 1, 3, std::max(x + 1, r - 1), std::max(3, client.bottom - 1)};
        x += w + 2;
    }
    return TRect{0, 0, 0, 0};
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
    if (OnDrawPanel.Assigned())
        OnDrawPanel(this, Panel, Rect);
    else {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(Rect);
    }
}

void TStatusBar::Paint() {
    HDC dc = Canvas()->Handle();
    TRect client = ClientRect();
    Fill(dc, client, Color());
    int grip = ShowsGrip() ? client.bottom : 0;
    auto frame = [&](TRect r, TStatusPanelBevel bevel) {
        if (bevel == pbNone) return;
        r.left -= 1;
        r.top -= 1;
        r.right += 1;
        r.bottom += 1;
        DrawEdge(dc, &r, bevel == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    };
    if (FSimplePanel) {
        TRect r{1, 3, std::max(1, client.right - grip - 1), std::max(3, client.bottom - 1)};
        frame(r, pbLowered);
        TRect tr{r.left + 2, r.top, r.right - 2, r.bottom};
        DrawLabel(dc, Font(), FSimpleText, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, true);
    } else {
        for (int i = 0; i < FPanels->Count(); ++i) {
            TStatusPanel* p = FPanels->Items(i);
            TRect r = PanelRect(i);
            frame(r, p->Bevel());
            if (p->Style() == psOwnerDraw) {
                Canvas()->Font()->Assign(Font());
                DrawPanel(p, r);
                dc = Canvas()->Handle();
                continue;
            }
            TRect tr{r.left + 2, r.top, r.right - 2, r.bottom};
            DrawLabel(dc, Font(), p->Text(), tr,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | AlignmentFlags(p->Alignment()),
                      true);
        }
    }
    if (grip > 0) {
        TRect g{client.right - grip, 0, client.right, client.bottom};
        DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

void TStatusBar::WMNCHitTest(TMessage& Message) {
    Inherited(Message);
    if (Message.Result != HTCLIENT || !ShowsGrip()) return;
    TPoint p = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    TRect client = ClientRect();
    if (p.x >= client.right - client.bottom && p.y >= 0) Message.Result = HTBOTTOMRIGHT;
}

void TStatusBar::WMNCLButtonDown(TMessage& Message) {
    TCustomForm* form = GetParentForm();
    if (LRESULT(Message.WParam) == HTBOTTOMRIGHT && form != nullptr && ShowsGrip()) {
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, Message.LParam);
        Message.Result = 0;
        return;
    }
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// Header sections
// ---------------------------------------------------------------------------

THeaderSection::THeaderSection(TCollection* Collection) : TCollectionItem(Collection) {}

void THeaderSection::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<THeaderSection*>(Source);
    if (src == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FAlignment = src->FAlignment;
    FAllowClick = src->FAllowClick;
    FImageIndex = src->FImageIndex;
    FMaxWidth = src->FMaxWidth;
    FMinWidth = src->FMinWidth;
    FStyle = src->FStyle;
    FText = src->FText;
    FWidth = src->FWidth;
    Changed(true);
}

std::string THeaderSection::DisplayName() const { return FText.empty() ? TCollectionItem::DisplayName() : FText; }

void THeaderSection::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}
void THeaderSection::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed(false);
}
void THeaderSection::SetMaxWidth(int Value) {
    FMaxWidth = std::max({Value, FMinWidth, 0});
    if (FWidth > FMaxWidth) SetWidth(FMaxWidth);
}
void THeaderSection::SetMinWidth(int Value) {
    FMinWidth = std::clamp(Value, 0, FMaxWidth);
    if (FWidth < FMinWidth) SetWidth(FMinWidth);
}
void THeaderSection::SetStyle(THeaderSectionStyle Value) {
    FStyle = Value;
    Changed(false);
}
void THeaderSection::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}
void THeaderSection::SetWidth(int Value) {
    Value = std::clamp(Value, FMinWidth, FMaxWidth);
    if (FWidth == Value) return;
    FWidth = Value;
    Changed(true);
}

int THeaderSection::Left() const {
    int x = 0;
    if (TCollection* c = Collection())
        for (int i = 0; i < Index(); ++i) x += static_cast<THeaderSection*>(c->Items(i))->FWidth;
    return x;
}

THeaderSections::THeaderSections(THeaderControl* HeaderControl)
    : TCollection(THeaderSection::StaticClass()), FHeaderControl(HeaderControl) {}

THeaderSection* THeaderSections::Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
THeaderSection* THeaderSections::Items(int Index) const {
    return static_cast<THeaderSection*>(TCollection::Items(Index));
}
void THeaderSections::Update(TCollectionItem*) { FHeaderControl->Invalidate(); }
TPersistent* THeaderSections::GetOwner() const { return FHeaderControl; }

// ---------------------------------------------------------------------------
// THeaderControl
// ---------------------------------------------------------------------------

THeaderControl::THeaderControl(TComponent* AOwner)
    : TCustomControl(AOwner), FSections(std::make_unique<THeaderSections>(this)) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
    SetParentColorQuiet(false);
    SetBounds(0, 0, 200, 17);
    SetAlign(alTop);
}

THeaderControl::~THeaderControl() {
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
}

void THeaderControl::SetSections(THeaderSections* Value) { FSections->Assign(Value); }

void THeaderControl::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr) FImages->FreeNotification(this);
    Invalidate();
}

void THeaderControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

int THeaderControl::SectionAt(int X, bool* OnDivider) const {
    if (OnDivider != nullptr) *OnDivider = false;
    int x = 0;
    int n = FSections->Count();
    // A divider wins over the section it borders, the rightmost one when edges meet.
    int divider = -1;
    for (int i = 0; i < n; ++i) {
        x += FSections->Items(i)->Width();
        if (X >= x - 3 && X < x + 3) divider = i;
    }
    if (divider >= 0) {
        if (OnDivider != nullptr) *OnDivider = true;
        return divider;
    }
    x = 0;
    for (int i = 0; i < n; ++i) {
        int w = FSections->Items(i)->Width();
        if (X >= x && X < x + w) return i;
        x += w;
    }
    return -1;
}

void THeaderControl::DrawSection(THeaderSection* Section, const TRect& Rect, bool Pressed) {
    if (Section->Style() == hsOwnerDraw) {
        Canvas()->Font()->Assign(Font());
        OnDrawSection(this, Section, Rect, Pressed);
        return;
    }
    HDC dc = Canvas()->Handle();
    TRect r{Rect.left + 4, Rect.top, Rect.right - 4, Rect.bottom};
    if (Pressed) OffsetRect(&r, 1, 1);
    if (FImages != nullptr && Section->ImageIndex() >= 0) {
        FImages->Draw(Canvas(), r.left, r.top + (r.bottom - r.top - FImages->Height()) / 2, Section->ImageIndex(),
                      Enabled());
        r.left += FImages->Width() + 2;
    }
    DrawLabel(dc, Font(), Section->Text(), r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | AlignmentFlags(Section->Alignment()),
              Enabled());
}

void THeaderControl::Paint() {
    HDC dc = Canvas()->Handle();
    TRect client = ClientRect();
    int x = 0;
    for (int i = 0; i < FSections->Count(); ++i) {
        THeaderSection* s = FSections->Items(i);
        TRect r{x, 0, x + s->Width(), client.bottom};
        x = r.right;
        if (r.right <= r.left) continue;
        bool pressed = i == FPressed;
        TRect face = r;
        DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
        TRect inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        if (inner.right > inner.left) {
            DrawSection(s, inner, pressed);
            dc = Canvas()->Handle();
        }
    }
    if (x < client.right) {
        TRect rest{x, 0, client.right + 2, client.bottom};
        DrawFrameControl(dc, &rest, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
    if (FDragging) {
        // Where the dragged section would go: a 2-pixel bar on the edge of the target.
        int target = SectionAt(FDropX);
        if (target >= 0 && target != FDownSection) {
            THeaderSection* t = FSections->Items(target);
            int edge = target < FDownSection ? t->Left() : t->Right();
            TRect bar{std::max(0, edge - 1), 0, edge + 1, client.bottom};
            FillRect(dc, &bar, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
    }
}

void THeaderControl::EndSectionDrag(int X) {
    int from = FDownSection;
    FDragging = false;
    FDownSection = FPressed = -1;
    Invalidate();
    int to = SectionAt(std::clamp(X, 0, std::max(0, ClientWidth() - 1)));
    if (to < 0 && X >= 0 && FSections->Count() > 0) to = FSections->Count() - 1;  // beyond the last section
    controls_internal::TAliveGuard alive(this);
    if (from >= 0 && from < FSections->Count() && to >= 0 && to != from) {
        bool allow = true;
        OnSectionDrag(this, FSections->Items(from), FSections->Items(to), allow);
        if (alive.Alive() && allow && from < FSections->Count() && to < FSections->Count())
            FSections->Items(from)->SetIndex(to);
    }
    if (alive.Alive()) OnSectionEndDrag(this);
}

void THeaderControl::SectionClick(THeaderSection* Section) { OnSectionClick(this, Section); }
void THeaderControl::SectionResize(THeaderSection* Section) { OnSectionResize(this, Section); }
void THeaderControl::SectionTrack(THeaderSection* Section, int& Width, TSectionTrackState State) {
    OnSectionTrack(this, Section, Width, State);
}

void THeaderControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && FTracking < 0 && FDownSection < 0) {
        bool onDivider = false;
        int i = SectionAt(X, &onDivider);
        if (i >= 0 && onDivider) {
            THeaderSection* s = FSections->Items(i);
            FTracking = i;
            FTrackOffset = X - s->Right();
            int w = s->Width();
            SectionTrack(s, w, tsTrackBegin);
        } else if (i >= 0 && (FSections->Items(i)->AllowClick() || FDragReorder)) {
            FDownSection = i;
            FPressed = FSections->Items(i)->AllowClick() ? i : -1;
            FDownX = X;
            Invalidate();
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void THeaderControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FTracking >= 0 && FTracking < FSections->Count()) {
        THeaderSection* s = FSections->Items(FTracking);
        int w = std::clamp(X - FTrackOffset - s->Left(), s->MinWidth(), s->MaxWidth());
        SectionTrack(s, w, tsTrackMove);
        s->SetWidth(w);
        Update();
    } else if (FDownSection >= 0 && (FDragging || (FDragReorder && std::abs(X - FDownX) > 4))) {
        // Far enough sideways: the press becomes a drag to a new place.
        FDragging = true;
        FPressed = -1;
        FDropX = X;
        Invalidate();
    } else if (FDownSection >= 0) {
        TRect client = ClientRect();
        int over = Y >= 0 && Y < client.bottom ? SectionAt(X) : -1;
        int pressed = over == FDownSection ? FDownSection : -1;
        if (pressed != FPressed) {
            FPressed = pressed;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void THeaderControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        if (FTracking >= 0 && FTracking < FSections->Count()) {
            THeaderSection* s = FSections->Items(FTracking);
            int w = std::clamp(X - FTrackOffset - s->Left(), s->MinWidth(), s->MaxWidth());
            FTracking = -1;
            SectionTrack(s, w, tsTrackEnd);
            s->SetWidth(w);
            SectionResize(s);
        } else if (FDragging) {
            EndSectionDrag(X);
        } else if (FDownSection >= 0) {
            int down = FDownSection;
            bool click = FPressed == down;
            FDownSection = FPressed = -1;
            Invalidate();
            if (click && down < FSections->Count()) SectionClick(FSections->Items(down));
        }
        FTracking = -1;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void THeaderControl::WMCancelMode(TMessage& Message) {
    FTracking = -1;
    FDragging = false;
    if (FDownSection >= 0) {
        FDownSection = FPressed = -1;
        Invalidate();
    }
    Inherited(Message);
}

void THeaderControl::WMSetCursor(TWMSetCursor& Message) {
    if (Message.HitTest() == HTCLIENT && Screen != nullptr) {
        POINT p{};
        GetCursorPos(&p);
        TPoint c = ScreenToClient(TPoint{p.x, p.y});
        bool onDivider = false;
        if (FTracking >= 0 || (SectionAt(c.x, &onDivider) >= 0 && onDivider)) {
            ::host::SetCursor(Screen->Cursors(crHSplit));
            Message.Result = 1;
            return;
        }
    }
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// TProgressBar
// ---------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
    SetParentColorQuiet(false);
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_STATICEDGE;
}

void TProgressBar::SetRange(int NewMin, int NewMax) {
    if (NewMin > NewMax && !ComponentState().Contains(csLoading))
        throw EInvalidOperation("Property value out of range: Min " + std::to_string(NewMin) +
                                " is greater than Max " + std::to_string(NewMax) + " in " + ClassName());
    FMin = NewMin;
    FMax = NewMax;
    if (!ComponentState().Contains(csLoading)) FPosition = std::clamp(FPosition, FMin, FMax);
    Invalidate();
}

void TProgressBar::SetMin(int Value) {
    if (Value != FMin) SetRange(Value, FMax);
}
void TProgressBar::SetMax(int Value) {
    if (Value != FMax) SetRange(FMin, Value);
}

void TProgressBar::Loaded() {
    TWinControl::Loaded();
    // Min and Max may have passed each other while being read one by one.
    if (FMin > FMax) std::swap(FMin, FMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
}

void TProgressBar::SetPosition(int Value) {
    if (!ComponentState().Contains(csLoading)) Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition) return;
    FPosition = Value;
    Invalidate();
}

void TProgressBar::StepIt() {
    int64_t span = int64_t(FMax) - FMin;
    int64_t pos = int64_t(FPosition) + FStep;
    if (span <= 0) {
        SetPosition(FMin);
        return;
    }
    // Past either end the bar starts again from the other one.
    if (pos > FMax) pos = FMin + (pos - FMin) % span;
    if (pos < FMin) pos = FMax - (FMin - pos) % span;
    FPosition = static_cast<int>(pos);
    Invalidate();
}

void TProgressBar::StepBy(int Delta) { SetPosition(static_cast<int>(std::clamp<int64_t>(int64_t(FPosition) + Delta, FMin, FMax))); }

void TProgressBar::SetSmooth(bool Value) {
    if (FSmooth == Value) return;
    FSmooth = Value;
    Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TProgressBar::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TProgressBar::PaintWindow(HDC DC) {
    TRect client = ClientRect();
    Fill(DC, client, Color());
    int64_t span = int64_t(FMax) - FMin;
    if (span <= 0) return;
    TRect inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    bool horz = FOrientation == pbHorizontal;
    int length = horz ? inner.right - inner.left : inner.bottom - inner.top;
    int thick = horz ? inner.bottom - inner.top : inner.right - inner.left;
    if (length <= 0 || thick <= 0) return;
    int filled = static_cast<int>((int64_t(FPosition) - FMin) * length / span);
    auto part = [&](int from, int to) {
        return horz ? TRect{inner.left + from, inner.top, inner.left + to, inner.bottom}
                    : TRect{inner.left, inner.bottom - to, inner.right, inner.bottom - from};
    };
    if (FSmooth) {
        if (filled > 0) Fill(DC, part(0, filled), clHighlight);
        return;
    }
    // Blocks two thirds as long as the bar is thick, two pixels apart; a block is
    // drawn once the position reaches into it.
    int block = std::max(2, thick * 2 / 3);
    int stride = block + 2;
    for (int at = 0; at < filled; at += stride) Fill(DC, part(at, std::min(at + block, length)), clHighlight);
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

void RegisterComCtrlClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TTabControl::StaticClass(), TPageControl::StaticClass(), TTabSheet::StaticClass(),
                     TNotebook::StaticClass(), TPage::StaticClass(), TTabbedNotebook::StaticClass(),
                     TTabPage::StaticClass(), TStatusBar::StaticClass(), THeaderControl::StaticClass(),
                     TProgressBar::StaticClass(), TScrollBox::StaticClass()});
}

}  // namespace host
