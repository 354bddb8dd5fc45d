// Labels, panels, bevels, shapes, images, paint boxes, the timer and the hint window.
#pragma once

#include <memory>
#include <string>

#include "host/controls/controls.h"
#include "host/controls/forms.h"
#include "host/db/alignment.h"

namespace host {

HOST_ENUM(TTextLayout, tlTop, tlCenter, tlBottom);
HOST_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer);
HOST_ENUM(TBevelStyle, bsLowered, bsRaised);
HOST_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle);
using TBevelWidth = int;

// Draws Width nested one-pixel rings inside Rect: TopColor on the top row and left
// column, BottomColor on the bottom row and right column (so the top-left pixel is
// TopColor and the other three corners BottomColor). Rect comes back shrunk by Width
// on every side, the inside the rings leave.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------------------
// Labels
// ---------------------------------------------------------------------------

// Text on the parent's surface. With AutoSize the label takes the size of its text;
// with ShowAccelChar "&x" underlines x ("&&" is one '&') and Alt+x focuses
// FocusControl.
class TCustomLabel : public TGraphicControl {
    HOST_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);
    ~TCustomLabel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void SetAutoSize(bool Value) override;
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    // The DrawText flags the label paints its text with (alignment, word break,
    // prefix handling), without the layout.
    UINT DrawTextFlags() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    // Draws the label's text in Rect with DrawText Flags (DT_CALCRECT measures
    // only); a disabled label's text is embossed.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    // The text the label shows; Caption by default.
    virtual std::string GetLabelText();

protected:
    void Paint() override;
    // Resizes the label to its text when AutoSize is on, keeping the edge its
    // alignment anchors in place.
    virtual void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    TWinControl* FFocusControl = nullptr;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    bool FWordWrap = false;

    bool AutoSizeProp() const { return AutoSize(); }
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMDialogChar(TWMKey& Message);
    HOST_MESSAGES(on(CM_TEXTCHANGED, &TCustomLabel::CMTextChanged), on(CM_FONTCHANGED, &TCustomLabel::CMFontChanged),
                  on(CM_DIALOGCHAR, &TCustomLabel::CMDialogChar))
    HOST_PUBLISHED(prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).def(taLeftJustify),
                   prop("AutoSize", &TCustomLabel::AutoSizeProp, &TCustomLabel::SetAutoSize).def(true),
                   prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl),
                   prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).def(tlTop),
                   prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).def(true),
                   prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).def(false),
                   prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).def(false))
};

class TLabel : public TCustomLabel {
    HOST_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Panels
// ---------------------------------------------------------------------------

// A container with an outer and an inner bevel, a border between them and a caption.
// Children are aligned inside the border and the bevels.
class TCustomPanel : public TCustomControl {
    HOST_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    ~TCustomPanel() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    // bsNone or bsSingle (a one-pixel window border); other values act as bsSingle.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // Repaint the whole panel on a resize (true) or only what changed.
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }

    // The client rectangle less BorderWidth and BevelWidth for each bevel that is not bvNone.
    void AdjustClientRect(TRect& Rect) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;

    void BevelChanged();
    void CMTextChanged(TMessage& Message);
    HOST_MESSAGES(on(CM_TEXTCHANGED, &TCustomPanel::CMTextChanged))
    HOST_PUBLISHED(prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).def(taCenter),
                   prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).def(bvNone),
                   prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).def(bvRaised),
                   prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).def(1),
                   prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).def(bsNone),
                   prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).def(true),
                   prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(false))
};

class TPanel : public TCustomPanel {
    HOST_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Bevel, shape, paint box, image
// ---------------------------------------------------------------------------

// A sunken or raised box, frame or line.
class TBevel : public TGraphicControl {
    HOST_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
    HOST_PUBLISHED(prop("Shape", &TBevel::Shape, &TBevel::SetShape).def(bsBox),
                   prop("Style", &TBevel::Style, &TBevel::SetStyle).def(bsLowered))
};

// A rectangle, square, rounded rectangle, ellipse or circle drawn with Pen and Brush.
class TShape : public TGraphicControl {
    HOST_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType Value);

protected:
    void Paint() override;

private:
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TShapeType FShape = stRectangle;
    void StyleChanged(TObject* Sender);
    HOST_PUBLISHED(prop("Brush", &TShape::Brush, &TShape::SetBrush), prop("Pen", &TShape::Pen, &TShape::SetPen),
                   prop("Shape", &TShape::Shape, &TShape::SetShape).def(stRectangle))
};

// A surface the application paints in OnPaint.
class TPaintBox : public TGraphicControl {
    HOST_CLASS(TPaintBox, TGraphicControl)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;

private:
    HOST_PUBLISHED(prop("OnPaint", &TPaintBox::OnPaint, &TPaintBox::OnPaint))
};

// Shows a picture: as it is, centred, stretched to the control (Proportional keeps
// the aspect and only shrinks), or transparent (a bitmap's transparent colour shows
// the parent). Canvas draws on the picture's bitmap, made on first use.
class TImage : public TGraphicControl {
    HOST_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    // The bitmap's canvas (the picture becomes a bitmap of the control's size when
    // empty). Raises EInvalidOperation when the picture holds another kind of graphic.
    TCanvas* Canvas();
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    void SetAutoSize(bool Value) override;
    // Where the picture is drawn, in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> FPicture;
    bool FCenter = false;
    bool FProportional = false;
    bool FStretch = false;
    bool FTransparent = false;
    bool FDrawing = false;
    bool AutoSizeProp() const { return AutoSize(); }
    void PictureChanged(TObject* Sender);
    HOST_PUBLISHED(prop("AutoSize", &TImage::AutoSizeProp, &TImage::SetAutoSize).def(false),
                   prop("Center", &TImage::Center, &TImage::SetCenter).def(false),
                   prop("Picture", &TImage::Picture, &TImage::SetPicture),
                   prop("Proportional", &TImage::Proportional, &TImage::SetProportional).def(false),
                   prop("Stretch", &TImage::Stretch, &TImage::SetStretch).def(false),
                   prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).def(false))
};

// ---------------------------------------------------------------------------
// Timer
// ---------------------------------------------------------------------------

// Fires OnTimer every Interval milliseconds while Enabled, through a hidden window's
// timer on the host clock (so the virtual clock's Advance fires it in tests). An
// Interval of 0 or no OnTimer stops it; a negative Interval raises ERangeError.
class TTimer : public TComponent {
    HOST_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return static_cast<int>(FInterval); }
    void SetInterval(int Value);
    // Re-arms the timer after OnTimer was (re)assigned in code.
    void UpdateTimer();
    void Loaded() override;

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    bool FEnabled = true;
    unsigned FInterval = 1000;
    HWND FWindowHandle = nullptr;
    WNDPROC FProc = nullptr;
    bool FArmed = false;
    void WndProc(TMessage& Msg);
    bool OnTimerAssigned() const;
    HOST_PUBLISHED(prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).def(true),
                   prop("Interval", &TTimer::Interval, &TTimer::SetInterval).def(1000),
                   prop("OnTimer", &TTimer::OnTimer, &TTimer::OnTimer))
};

// ---------------------------------------------------------------------------
// Hint window
// ---------------------------------------------------------------------------

// The pop-up that shows a hint: clInfoBk with a one-pixel border, the text
// word-wrapped within the maximum width. The application makes one of its
// HintWindowClass.
class THintWindow : public TCustomControl {
    HOST_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;

    // Shows AHint at Rect (screen coordinates, as CalcHintRect gave it moved to
    // the hint position) without taking the activation.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    virtual void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
    // The size the hint window needs for AHint word-wrapped within MaxWidth, at (0, 0).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
    // Hides the window and frees its handle.
    void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    void WMNCHitTest(TMessage& Message);
    HOST_MESSAGES(on(WM_NCHITTEST, &THintWindow::WMNCHitTest))
};

// Registers every class above for form files (once).
void RegisterExtClasses();

}  // namespace host
