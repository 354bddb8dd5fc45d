// Labels, panels, bevels, shapes, images, paint boxes, the timer and the hint window.
#include "host/controls/extctrls.h"

#include <algorithm>

#include "host/app/app.h"
#include "host/controls/controls_internal.h"
#include "host/gdi/gdi.h"
#include "host/rtl/exceptions.h"

namespace host {

namespace {

// The DrawText alignment flag of a TAlignment.
UINT AlignmentFlag(TAlignment A) {
    switch (A) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}

// True when Caption marks Key as its accelerator ("&K", not "&&").
bool IsLabelAccel(WORD Key, const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        unsigned char c = static_cast<unsigned char>(Caption[i + 1]);
        return std::toupper(c) == std::toupper(static_cast<unsigned char>(Key & 0xFF));
    }
    return false;
}

// A screen DC for measuring text before the control has a surface to draw on.
class TScreenDC {
public:
    TScreenDC() : FDC(GetDC(nullptr)) {}
    ~TScreenDC() { ReleaseDC(nullptr, FDC); }
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

}  // namespace

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    --Rect.right;
    --Rect.bottom;
    for (int i = 0; i < Width; ++i) {
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Polyline({TPoint{Rect.left, Rect.bottom}, TPoint{Rect.left, Rect.top}, TPoint{Rect.right, Rect.top}});
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Polyline(
            {TPoint{Rect.right, Rect.top}, TPoint{Rect.right, Rect.bottom}, TPoint{Rect.left - 1, Rect.bottom}});
        InflateRect(&Rect, -1, -1);
    }
    ++Rect.right;
    ++Rect.bottom;
}

// ---------------------------------------------------------------------------
// TCustomLabel
// ---------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
    TControl::SetAutoSize(true);
}

TCustomLabel::~TCustomLabel() = default;

std::string TCustomLabel::GetLabelText() { return Caption(); }

UINT TCustomLabel::DrawTextFlags() const {
    UINT flags = DT_EXPANDTABS | AlignmentFlag(FAlignment);
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    std::string text = GetLabelText();
    // An empty caption (or a lone '&') still measures one line high.
    if ((Flags & DT_CALCRECT) != 0 && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    if (!Enabled() && (Flags & DT_CALCRECT) == 0) {
        // Embossed: the highlight one pixel down and right, the shadow over it.
        OffsetRect(&Rect, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawTextA(canvas->Handle(), text.c_str(), -1, &Rect, Flags);
        OffsetRect(&Rect, -1, -1);
        canvas->Font()->SetColor(clBtnShadow);
        DrawTextA(canvas->Handle(), text.c_str(), -1, &Rect, Flags);
    } else {
        DrawTextA(canvas->Handle(), text.c_str(), -1, &Rect, Flags);
    }
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    if (!FTransparent) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(ClientRect());
    }
    canvas->Brush()->SetStyle(bsClear);
    TRect r = ClientRect();
    UINT flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int dy = FLayout == tlBottom ? Height() - calc.bottom : (Height() - calc.bottom) / 2;
        OffsetRect(&r, 0, dy);
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !AutoSize()) return;
    TRect r = ClientRect();
    {
        TScreenDC dc;
        controls_internal::TCanvasOnDC on(Canvas(), dc.Get(), Font());
        DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    }
    int x = Left();
    if (FAlignment == taRightJustify && !FWordWrap) x += Width() - r.right;
    SetBounds(x, Top(), r.right, r.bottom);
}

void TCustomLabel::Loaded() {
    inherited::Loaded();
    AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (AutoSize() == Value) return;
    TControl::SetAutoSize(Value);
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    FFocusControl = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TWMKey& Message) {
    if (FFocusControl != nullptr && Enabled() && FShowAccelChar && IsLabelAccel(Message.CharCode(), Caption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

// ---------------------------------------------------------------------------
// TCustomPanel
// ---------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque,          csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 41);
    SetParentColorQuiet(false);
    FColor = clBtnFace;
}

TCustomPanel::~TCustomPanel() = default;

void TCustomPanel::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    if (FBorderStyle != bsNone) Params.Style |= WS_BORDER;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    inherited::AdjustClientRect(Rect);  // BorderWidth
    int bevel = 0;
    if (FBevelOuter != bvNone) bevel += FBevelWidth;
    if (FBevelInner != bvNone) bevel += FBevelWidth;
    InflateRect(&Rect, -bevel, -bevel);
}

namespace {
void BevelColors(TBevelCut Bevel, TColor Face, TColor& Top, TColor& Bottom) {
    switch (Bevel) {
        case bvLowered:
            Top = clBtnShadow;
            Bottom = clBtnHighlight;
            break;
        case bvSpace:
            Top = Bottom = Face;
            break;
        default:
            Top = clBtnHighlight;
            Bottom = clBtnShadow;
    }
}
}  // namespace

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, Color(), top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    Frame3D(canvas, r, Color(), Color(), BorderWidth());
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, Color(), top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    std::string caption = Caption();
    if (caption.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->Assign(Font());
    int fontHeight = canvas->TextHeight("W");
    r.top = (r.bottom + r.top - fontHeight) / 2;
    r.bottom = r.top + fontHeight;
    UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | AlignmentFlag(FAlignment);
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
    DrawTextA(canvas->Handle(), caption.c_str(), -1, &r, flags);
}

void TCustomPanel::Resize() {
    // The bevels sit on the edges, so a new size moves them: paint everything again.
    if (FFullRepaint) Invalidate();
    inherited::Resize();
}

void TCustomPanel::BevelChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    BevelChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    BevelChanged();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
    if (Value < 1) Value = 1;
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    BevelChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
    Realign();
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TBevel
// ---------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    auto rect = [&](TColor a, TColor b, int l, int t, int r, int bt) {
        canvas->Pen()->SetColor(a);
        canvas->Polyline({TPoint{l, bt}, TPoint{l, t}, TPoint{r, t}});
        canvas->Pen()->SetColor(b);
        canvas->Polyline({TPoint{r, t}, TPoint{r, bt}, TPoint{l, bt}});
    };
    auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        canvas->Pen()->SetColor(c);
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    };
    switch (FShape) {
        case bsBox: rect(c1, c2, 0, 0, w - 1, h - 1); break;
        case bsFrame:
            // An etched frame: the lighter ring one pixel in, the darker over it.
            rect(c2, c2, 1, 1, w - 1, h - 1);
            rect(c1, c1, 0, 0, w - 2, h - 2);
            break;
        case bsTopLine:
            line(c1, 0, 0, w, 0);
            line(c2, 0, 1, w, 1);
            break;
        case bsBottomLine:
            line(c1, 0, h - 2, w, h - 2);
            line(c2, 0, h - 1, w, h - 1);
            break;
        case bsLeftLine:
            line(c1, 0, 0, 0, h);
            line(c2, 1, 0, 1, h);
            break;
        case bsRightLine:
            line(c1, w - 2, 0, w - 2, h);
            line(c2, w - 1, 0, w - 1, h);
            break;
        case bsSpacer: break;
    }
}

// ---------------------------------------------------------------------------
// TShape
// ---------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
    FBrush->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
}

TShape::~TShape() {
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

void TShape::StyleChanged(TObject*) { Invalidate(); }
void TShape::SetBrush(TBrush* Value) { FBrush->Assign(Value); }
void TShape::SetPen(TPen* Value) { FPen->Assign(Value); }

void TShape::SetShape(TShapeType Value) {
    if (FShape == Value) return;
    FShape = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* canvas = Canvas();
    canvas->SetPen(FPen.get());
    canvas->SetBrush(FBrush.get());
    int pw = FPen->Width();
    int x = pw / 2, y = x;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    int s = std::min(w, h);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }
    switch (FShape) {
        case stRectangle:
        case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
        case stRoundRect:
        case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
        case stEllipse:
        case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
    }
}

// ---------------------------------------------------------------------------
// TPaintBox
// ---------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetColor(Color());
    OnPaint(this);
}

// ---------------------------------------------------------------------------
// TImage
// ---------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FControlStyle.Include(csReplicatable);
    FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

TCanvas* TImage::Canvas() {
    if (FPicture->Graphic() == nullptr) {
        TBitmap bmp;
        bmp.SetSize(std::max(Width(), 1), std::max(Height(), 1));
        FPicture->SetGraphic(&bmp);
    }
    if (!FPicture->Graphic()->Is<TBitmap>())
        throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    return FPicture->Bitmap()->Canvas();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            // Fit within the control, keeping the picture's aspect ratio.
            double aspect = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (FCenter) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::Paint() {
    TCanvas* canvas = TGraphicControl::Canvas();
    if (ComponentState().Contains(csDesigning)) {
        canvas->Pen()->SetStyle(psDash);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(0, 0, Width(), Height());
    }
    TGraphic* g = FPicture->Graphic();
    if (g == nullptr || g->Empty()) return;
    FDrawing = true;
    try {
        canvas->StretchDraw(DestRect(), g);
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
}

void TImage::PictureChanged(TObject*) {
    if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    TGraphic* g = FPicture->Graphic();
    if (g != nullptr) {
        if (!g->Is<TIcon>() && g->Transparent() != FTransparent) g->SetTransparent(FTransparent);
        bool covers = FStretch || (g->Width() >= Width() && g->Height() >= Height());
        if (!g->Transparent() && covers) FControlStyle.Include(csOpaque);
        else FControlStyle.Exclude(csOpaque);
    }
    if (!FDrawing) Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    if (AutoSize() == Value) return;
    TControl::SetAutoSize(Value);
    PictureChanged(this);
}

void TImage::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    PictureChanged(this);
}

void TImage::SetProportional(bool Value) {
    if (FProportional == Value) return;
    FProportional = Value;
    PictureChanged(this);
}

void TImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    PictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    PictureChanged(this);
}

// ---------------------------------------------------------------------------
// TTimer
// ---------------------------------------------------------------------------

namespace {
constexpr const char* kTimerWindowClass = "TTimerWindow";
constexpr UINT_PTR kTimerId = 1;

LRESULT TimerWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    if (FWindowHandle != nullptr && IsWindow(FWindowHandle)) {
        KillTimer(FWindowHandle, kTimerId);
        DestroyWindow(FWindowHandle);
    }
    if (FProc != nullptr) FreeObjectInstance(FProc);
}

bool TTimer::OnTimerAssigned() const { return OnTimer.Assigned(); }

void TTimer::UpdateTimer() {
    if (FWindowHandle != nullptr && IsWindow(FWindowHandle) && FArmed) KillTimer(FWindowHandle, kTimerId);
    FArmed = false;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    if (!FEnabled || FInterval == 0 || !OnTimerAssigned()) return;
    if (FWindowHandle == nullptr || !IsWindow(FWindowHandle)) {
        // A hidden window of our own whose procedure delivers WM_TIMER to the object.
        WNDCLASSA existing;
        if (!GetClassInfoA(0, kTimerWindowClass, &existing)) {
            WNDCLASSA wc;
            wc.lpfnWndProc = MakeWndProc(&TimerWindowProc);
            wc.lpszClassName = kTimerWindowClass;
            RegisterClassA(&wc);
        }
        FWindowHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, 0, nullptr);
        if (FWindowHandle == nullptr) throw EOutOfResources("Not enough timers available");
        if (FProc == nullptr) FProc = MakeObjectInstance(TWndMethod(this, &TTimer::WndProc));
        SetWindowLongPtrA(FWindowHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FProc));
    }
    if (SetTimer(FWindowHandle, kTimerId, FInterval, nullptr) == 0)
        throw EOutOfResources("Not enough timers available");
    FArmed = true;
}

void TTimer::WndProc(TMessage& Msg) {
    if (Msg.Msg == WM_TIMER) {
        try {
            Timer();
        } catch (...) {
            if (Application != nullptr) Application->HandleException(this);
        }
        Msg.Result = 0;
        return;
    }
    Msg.Result = DefWindowProcA(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
}

void TTimer::Timer() {
    if (FEnabled) OnTimer(this);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value) {
    // The interval is unsigned: a negative value cannot be one.
    if (Value < 0) throw ERangeError("Range check error: a timer's interval cannot be negative (" +
                                     std::to_string(Value) + ")");
    if (FInterval == static_cast<unsigned>(Value)) return;
    FInterval = static_cast<unsigned>(Value);
    UpdateTimer();
}

void TTimer::Loaded() {
    inherited::Loaded();
    UpdateTimer();
}

// ---------------------------------------------------------------------------
// THintWindow
// ---------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FColor = clInfoBk;
    SetParentColorQuiet(false);
    SetParentFontQuiet(false);
    if (Screen != nullptr) Font()->Assign(Screen->HintFont());
    FControlStyle.Exclude(csCaptureMouse);
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*) {
    TRect r{0, 0, std::max(MaxWidth, 1), 0};
    TScreenDC dc;
    {
        controls_internal::TCanvasOnDC on(Canvas(), dc.Get(), Font());
        DrawTextA(Canvas()->Handle(), AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    }
    // Two pixels of margin around the text and the one-pixel border.
    r.right += 4 + 2;
    r.bottom += 4 + 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint) { ActivateHintData(Rect, AHint, nullptr); }

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void*) {
    SetCaption(AHint);
    // Keep the whole window on the screen.
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (Rect.left + w > sw) Rect.left = sw - w;
    if (Rect.top + h > sh) Rect.top = sh - h;
    Rect.left = std::max<int>(Rect.left, 0);
    Rect.top = std::max<int>(Rect.top, 0);
    SetBounds(Rect.left, Rect.top, w, h);
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle() {
    if (!HandleAllocated()) return;
    ShowWindow(FHandle, SW_HIDE);
    DestroyHandle();
}

void THintWindow::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(clInfoText);
    InflateRect(&r, -2, -2);
    std::string text = Caption();
    DrawTextA(canvas->Handle(), text.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

// ---------------------------------------------------------------------------

void RegisterExtClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TLabel::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(), TShape::StaticClass(),
                     TImage::StaticClass(), TPaintBox::StaticClass(), TTimer::StaticClass(),
                     THintWindow::StaticClass()});
}

}  // namespace host
