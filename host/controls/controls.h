// The control base classes: TControl, TWinControl, TGraphicControl, TCustomControl, their enumerations, events and helpers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/actnlist.h"
#include "host/graphics/graphics.h"
#include "host/rtl/component.h"
#include "host/rtl/events.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"
#include "host/windows/windows.h"

namespace host {

class TControl;
class TWinControl;
class TCustomForm;
class TBasicAction;
class TActionLink;
class TControlActionLink;
class TPopupMenu;  // declared by the menus; controls keep a pointer only
// The type of a published popup-menu property (defined with the menus).
const TTypeInfo* PopupMenuTypeInfo();
class TDragObject;

// ---------------------------------------------------------------------------
// Enumerations, sets and constants
// ---------------------------------------------------------------------------

HOST_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom);
using TAlignSet = TSet<TAlign>;
HOST_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom);
using TAnchors = TSet<TAnchorKind>;
inline constexpr TAnchors AnchorAlign[] = {
    {akLeft, akTop},                     // alNone
    {akLeft, akTop, akRight},            // alTop
    {akLeft, akRight, akBottom},         // alBottom
    {akLeft, akTop, akBottom},           // alLeft
    {akRight, akTop, akBottom},          // alRight
    {akLeft, akTop, akRight, akBottom},  // alClient
    {akLeft, akTop}};                    // alCustom

HOST_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
          csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking);
using TControlState = TSet<TControlStateItem>;
HOST_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
          csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
          csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents);
using TControlStyle = TSet<TControlStyleItem>;

HOST_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle);
HOST_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble);
using TShiftState = TSet<TShiftStateItem>;

HOST_ENUM(TDragMode, dmManual, dmAutomatic);
HOST_ENUM(TDragKind, dkDrag, dkDock);
HOST_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove);
HOST_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace);

// Modal results (a form's ModalResult, a button's, a dialog's answer).
using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Cursors by number (TScreen::Cursors): crDefault and the built-in negative ones.
// Published cursor properties are written by name ("crHandPoint") in form files.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                         crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                         crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                         crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                         crHandPoint = -21, crSizeAll = -22;
const TTypeInfo* CursorTypeInfo();
bool CursorToIdent(int32_t Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int32_t& Cursor);
std::string CursorToString(TCursor Cursor);
TCursor StringToCursor(const std::string& S);

// The shift state of a mouse or key message: MK_* flags of a mouse message's wParam,
// and of a key message the keyboard state (Shift, Ctrl, Alt).
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The shift state of the keyboard and mouse buttons now (GetKeyState).
TShiftState GetShiftState();

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;
using TDragOverEvent = TEvent<TObject*, TObject*, int, int, TDragState, bool&>;
using TDragDropEvent = TEvent<TObject*, TObject*, int, int>;
using TStartDragEvent = TEvent<TObject*, TDragObject*&>;
using TEndDragEvent = TEvent<TObject*, TObject*, int, int>;
using TCanResizeEvent = TEvent<TObject*, int&, int&, bool&>;
using TConstrainedResizeEvent = TEvent<TObject*, int&, int&, int&, int&>;
using TContextPopupEvent = TEvent<TObject*, TPoint, bool&>;
using TMouseWheelEvent = TEvent<TObject*, TShiftState, int, TPoint, bool&>;

// ---------------------------------------------------------------------------
// Size constraints
// ---------------------------------------------------------------------------

// Minimum and maximum width and height of a control (0 means no limit).
class TSizeConstraints : public TPersistent {
    HOST_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* Control);
    void Assign(TPersistent* Source) override;

    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TControl* Control() const { return FControl; }

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
    void SetLimit(int& Field, int Value, bool IsMax);
    HOST_PUBLISHED(prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).def(0),
                   prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).def(0),
                   prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).def(0),
                   prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).def(0))
};

// ---------------------------------------------------------------------------
// Drag objects
// ---------------------------------------------------------------------------

// What is being dragged: made by BeginDrag (or OnStartDrag), told where it is, and
// asked at the end whether it was dropped.
class TDragObject : public TObject {
    HOST_CLASS(TDragObject, TObject)
public:
    TDragObject() = default;
    TPoint DragPos() const { return FDragPos; }
    TControl* DragTarget() const { return FDragTarget; }
    TPoint DragTargetPos() const { return FDragTargetPos; }
    bool Dropped() const { return FDropped; }
    bool Cancelling() const { return FCancelling; }
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
    // The object the target's OnDragOver/OnDragDrop get as Source.
    virtual TObject* Source() { return this; }
    // Kept up to date by the drag loop.
    void SetDragPosition(TPoint Pos, TControl* Target) {
        FDragPos = Pos;
        FDragTarget = Target;
    }
    void SetDropped(bool Dropped, bool Cancelling) {
        FDropped = Dropped;
        FCancelling = Cancelling;
    }

private:
    TPoint FDragPos{};
    TControl* FDragTarget = nullptr;
    TPoint FDragTargetPos{};
    bool FDropped = false;
    bool FCancelling = false;
};

// Dragging a control: the source is the control itself.
class TDragControlObject : public TDragObject {
    HOST_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    void Finished(TObject* Target, int X, int Y, bool Accepted) override;
    TObject* Source() override;

private:
    TControl* FControl;
};

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

// A canvas over a control: its DC comes from the control's window (windowed
// controls) or from the parent's with the origin moved and clipped to the control.
class TControlCanvas : public TCanvas {
    HOST_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    // Releases the DC the canvas took from the control's window.
    void FreeHandle();
    // Moves the origin and clip of the current DC to the control's position.
    void UpdateTextFlags() {}

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

class TControl : public TComponent {
    HOST_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // --- position and size ---
    int Left() const { return FLeft; }
    void SetLeft(int Value);
    int Top() const { return FTop; }
    void SetTop(int Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TRect BoundsRect() const;
    void SetBoundsRect(const TRect& Value);
    // Moves and sizes the control in its parent's client coordinates (the screen for
    // a top-level window); does nothing when nothing changes. Applies the
    // constraints and OnCanResize, then realigns the parent when the control is aligned
    // or anchored and resizes its own aligned children.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect ClientRect() const { return GetClientRect(); }
    int ClientWidth() const { return ClientRect().right; }
    void SetClientWidth(int Value);
    int ClientHeight() const { return ClientRect().bottom; }
    void SetClientHeight(int Value);
    void SetClientSize(int W, int H);
    // The screen position of the client area's top-left corner.
    TPoint ClientOrigin() const { return GetClientOrigin(); }
    TPoint ClientToScreen(const TPoint& Point) const;
    TPoint ScreenToClient(const TPoint& Point) const;
    // Point in this control's client coordinates to Parent's, and back.
    TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr) const;
    TPoint ParentToClient(const TPoint& Point, TWinControl* AParent = nullptr) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value);
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);

    // --- parent and tree ---
    TWinControl* Parent() const { return FParent; }
    // Moves the control to another parent (nullptr: none). A descendant may raise
    // before anything changes; a control cannot be its own ancestor.
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    bool IsParentOf(const TControl* AControl) const;
    // The form this control sits on (the topmost parent that is a form), or nullptr.
    TCustomForm* GetParentForm() const;

    // --- state ---
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide();
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    // True for windowed controls whose window is a control of another window.
    bool IsControl() const { return FIsControl; }
    void SetIsControl(bool Value) { FIsControl = Value; }

    // --- appearance ---
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    // Caption and Text are one string (the window text of a windowed control).
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);
    int GetTextLen() const { return static_cast<int>(GetText().size()); }
    std::string Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    // --- actions ---
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return FActionLink.get(); }
    // Asks the action to update itself (TCustomForm::UpdateActions calls it).
    virtual void InitiateAction();

    // --- drag and dock ---
    TDragMode DragMode() const { return FDragMode; }
    virtual void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    // Starts dragging this control: at once, or (Immediate false) once the mouse has
    // moved Threshold pixels (-1: the system's drag threshold) with the button down.
    // Runs its own message loop until the button is released, Escape is pressed or
    // the input script runs out.
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    TDragObject* DragObject() const;

    // --- messages ---
    // Sends a message straight to the control's WindowProc; returns its Result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    // The procedure every message of the control goes through; WndProc by default,
    // replaceable (keep the old value and call it).
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    void DefaultHandler(void* Message) override;

    // --- painting ---
    virtual void Invalidate();
    // Invalidate then Update.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();
    void BringToFront();
    void SendToBack();
    virtual void SetZOrder(bool TopMost);

    // --- events fired by the control ---
    virtual void Click();
    virtual void DblClick();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TContextPopupEvent OnContextPopup;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    // Called by the action link (and by whoever sets the property in code).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    // Drag-and-drop hooks called by the drag loop (public so that the loop and tests
    // reach them): DragOver asks OnDragOver (not assigned: refused), DragDrop fires
    // OnDragDrop.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    // Ends a drag of this control: OnEndDrag with the target (nullptr when refused).
    void DoEndDragFromObject(TObject* Target, int X, int Y);
    void DoStartDragPublic(TDragObject*& Object) { DoStartDrag(Object); }

protected:
    virtual std::string GetText() const { return FText; }
    virtual void SetTextInternal(const std::string& Value);
    virtual TRect GetClientRect() const;
    virtual TPoint GetClientOrigin() const;
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    virtual void AdjustSize();
    void DoConstraintsChange(TObject* Sender);
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    virtual void VisibleChanging() {}
    virtual void Changed();
    // Bounds changed by SetBounds or by the window: send WM_WINDOWPOSCHANGED-like
    // updates (graphic controls invalidate their old and new places).
    virtual void BoundsChanged() {}
    // The rectangle of this control within its parent that needs painting.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    bool IsControlMouseMsg(TWMMouse& Message);
    void SendCancelMode(TControl* Sender);
    void ParentColorChanged();
    void ParentFontChanged();
    void ParentShowHintChanged();
    void FontChanged(TObject* Sender);
    // The anchor distances kept for anchoring (right and bottom from the parent's
    // client size when the control was placed).
    void UpdateAnchorRules();
    void RequestAlign();
    bool CheckNewSize(int& NewWidth, int& NewHeight);
    void UpdateBoundsRect(const TRect& R);
    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);
    // Set the inheritance flags without notifying anyone (constructors).
    void SetParentColorQuiet(bool Value) { FParentColor = Value; }
    void SetParentFontQuiet(bool Value) { FParentFont = Value; }

    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;

private:
    friend class TWinControl;
    friend class TCustomForm;
    friend class TControlActionLink;
    std::string FText;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TPoint FAnchorRules{};       // right / bottom distances used by akRight / akBottom
    TSize FOriginalParentSize{};  // the parent's client size when the rules were taken
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    bool FParentColor = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    int FHelpContext = 0;
    std::unique_ptr<TControlActionLink> FActionLink;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TCursor FDragCursor = crDrag;
    bool FIsControl = false;
    bool FInChangeScale = false;

    void DoActionChange(TObject* Sender);
    void SetParentFlag(bool& Flag, bool Value, UINT Msg);

    void WMLButtonDown(TWMMouse& Message);
    void WMRButtonDown(TWMMouse& Message);
    void WMMButtonDown(TWMMouse& Message);
    void WMLButtonDblClk(TWMMouse& Message);
    void WMRButtonDblClk(TWMMouse& Message);
    void WMMButtonDblClk(TWMMouse& Message);
    void WMLButtonUp(TWMMouse& Message);
    void WMRButtonUp(TWMMouse& Message);
    void WMMButtonUp(TWMMouse& Message);
    void WMMouseMove(TWMMouse& Message);
    void WMCancelMode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    TColor ColorForStream() const { return FColor; }
    bool IsColorStored() const { return !FParentColor; }
    bool IsFontStored() const { return !FParentFont; }
    bool IsShowHintStored() const { return !FParentShowHint; }
    bool IsCaptionStored() const;
    TBasicAction* ActionForStream() const { return Action(); }
    void SetActionForStream(TBasicAction* Value) { SetAction(Value); }
    TComponent* PopupMenuForStream() const;
    void SetPopupMenuForStream(TComponent* Value);

    HOST_MESSAGES(on(WM_LBUTTONDOWN, &TControl::WMLButtonDown), on(WM_RBUTTONDOWN, &TControl::WMRButtonDown),
                  on(WM_MBUTTONDOWN, &TControl::WMMButtonDown), on(WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk),
                  on(WM_RBUTTONDBLCLK, &TControl::WMRButtonDblClk), on(WM_MBUTTONDBLCLK, &TControl::WMMButtonDblClk),
                  on(WM_LBUTTONUP, &TControl::WMLButtonUp), on(WM_RBUTTONUP, &TControl::WMRButtonUp),
                  on(WM_MBUTTONUP, &TControl::WMMButtonUp), on(WM_MOUSEMOVE, &TControl::WMMouseMove),
                  on(WM_CANCELMODE, &TControl::WMCancelMode), on(CM_ENABLEDCHANGED, &TControl::CMEnabledChanged),
                  on(CM_VISIBLECHANGED, &TControl::CMVisibleChanged), on(CM_FONTCHANGED, &TControl::CMFontChanged),
                  on(CM_COLORCHANGED, &TControl::CMColorChanged),
                  on(CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged),
                  on(CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged),
                  on(CM_PARENTSHOWHINTCHANGED, &TControl::CMParentShowHintChanged),
                  on(CM_HITTEST, &TControl::CMHitTest), on(CM_MOUSEENTER, &TControl::CMMouseEnter),
                  on(CM_MOUSELEAVE, &TControl::CMMouseLeave))

    HOST_PUBLISHED(prop("Left", &TControl::Left, &TControl::SetLeft),
                   prop("Top", &TControl::Top, &TControl::SetTop),
                   prop("Width", &TControl::Width, &TControl::SetWidth),
                   prop("Height", &TControl::Height, &TControl::SetHeight),
                   prop("Action", &TControl::ActionForStream, &TControl::SetActionForStream),
                   prop("Align", &TControl::Align, &TControl::SetAlign).def(alNone),
                   prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).def(TAnchors{akLeft, akTop}),
                   prop("Constraints", &TControl::Constraints, &TControl::SetConstraints),
                   prop("Caption", &TControl::Caption, &TControl::SetCaption).stored(&TControl::IsCaptionStored),
                   prop("Color", &TControl::ColorForStream, &TControl::SetColor).stored(&TControl::IsColorStored),
                   prop("Cursor", &TControl::Cursor, &TControl::SetCursor).def(crDefault).type(CursorTypeInfo()),
                   prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).def(crDrag).type(CursorTypeInfo()),
                   prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).def(dkDrag),
                   prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).def(dmManual),
                   prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).def(true),
                   prop("Font", &TControl::Font, &TControl::SetFont).stored(&TControl::IsFontStored),
                   prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(true),
                   prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).def(true),
                   prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).def(true),
                   prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).def(0),
                   prop("Hint", &TControl::Hint, &TControl::SetHint).def(std::string()),
                   prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).stored(&TControl::IsShowHintStored),
                   prop("Visible", &TControl::Visible, &TControl::SetVisible).def(true),
                   prop("OnClick", &TControl::OnClick, &TControl::OnClick),
                   prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick),
                   prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown),
                   prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove),
                   prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp),
                   prop("OnResize", &TControl::OnResize, &TControl::OnResize),
                   prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop),
                   prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver),
                   prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag),
                   prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag),
                   prop("PopupMenu", &TControl::PopupMenuForStream, &TControl::SetPopupMenuForStream)
                       .type(PopupMenuTypeInfo()))
};

// ---------------------------------------------------------------------------
// TWinControl
// ---------------------------------------------------------------------------

// What CreateWnd passes to CreateWindowEx; CreateParams fills it in.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass;
    std::string WinClassName;
};

class TWinControl : public TControl {
    HOST_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // --- the window ---
    // The window, made on first use (with the parent's).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Destroys the window and makes it again, with the control's state (a change of
    // style that only a new window can take).
    void RecreateWnd();
    // A window to put a parentless control in (an embedding host window).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value);
    // The window procedure's object instance (what the window calls).
    WNDPROC ObjectInstance() const { return FObjectInstance; }
    // Passes a message to the procedure the window had before the control's.
    void DefaultHandler(void* Message) override;
    bool Showing() const override { return FShowing; }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetZOrder(bool TopMost) override;

    // --- children ---
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    // Graphic controls first, then windowed ones, each in z-order (bottom first).
    TControl* Controls(int Index) const;
    // Windowed children only.
    int WinControlCount() const { return static_cast<int>(FWinControls.size()); }
    TWinControl* WinControls(int Index) const { return FWinControls[Index]; }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The child under Pos (client coordinates): visible ones only, and enabled ones
    // unless AllowDisabled; windowed children in front of graphic ones, topmost first.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;
    TControl* FindChildControl(const std::string& ControlName) const;
    // Sends Message to every child until one sets a nonzero Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);
    void PaintTo(HDC DC, int X, int Y);
    void PaintTo(TCanvas* Canvas, int X, int Y);

    // --- alignment ---
    void DisableAlign();
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel != 0; }
    // Aligns the children (all of them when AControl is nullptr) in the framework's
    // order: alTop, alBottom, alLeft, alRight, alClient over the shrinking client
    // rectangle; within one kind ordered by position; then anchored children.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // The rectangle children are aligned in: the client rectangle less BorderWidth.
    virtual void AdjustClientRect(TRect& Rect);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // --- focus and keyboard ---
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // The windowed descendants in tab order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& List);
    // The next (or previous) control after CurControl in tab order among the
    // descendants; CheckTabStop / CheckParent limit it to tab stops and direct children.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    TBrush* Brush();

    // The children a form file stores inside this control: those Root owns.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    // --- docking (properties only) ---
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool Value) { FDockSite = Value; }
    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool Value) { FUseDockManager = Value; }

    // --- painting ---
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    void WndProc(TMessage& Message) override;
    // The window procedure: calls WindowProc and reports exceptions to the application.
    void MainWndProc(TMessage& Message);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Key handling, also called by a form's KeyPreview.
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    // The top of the window chain of a key message: a form with KeyPreview, then the
    // control. True when the key was swallowed.
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);

private:
    // KeyDown or KeyUp through the form's preview and then the control.
    bool DoKeyEvent(TWMKey& Message, void (TWinControl::*Handler)(WORD&, TShiftState));

public:

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void DestroyHandle();
    void UpdateControlState();
    void UpdateShowing();
    virtual void ShowControl(TControl* AControl) { (void)AControl; }
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(TWMPaint& Message);
    virtual void SetTextInternal(const std::string& Value) override;
    std::string GetText() const override;
    TRect GetClientRect() const override;
    TPoint GetClientOrigin() const override;
    void BoundsChanged() override;
    void Resize() override;
    virtual void AlignControl(TControl* AControl);
    // Should this control take the key itself (arrow keys, Tab, Enter...)? Returns
    // DLGC_* flags; the base asks the window (WM_GETDLGCODE).
    virtual void DoEnter();
    virtual void DoExit();
    void SelectFirstOrSelf();
    HWND FHandle = nullptr;

private:
    friend class TControl;
    friend class TCustomForm;
    friend class TControlCanvas;
    friend struct TWinControlAccess;
    std::vector<TControl*> FControls;      // graphic children, bottom first
    std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
    std::vector<TWinControl*> FTabList;
    WNDPROC FObjectInstance = nullptr;
    WNDPROC FDefWndProc = nullptr;
    HWND FParentWindow = nullptr;
    bool FShowing = false;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FDockSite = false;
    bool FUseDockManager = false;
    bool FAligning = false;
    std::unique_ptr<TBrush> FBrush;
    TControl* FMouseControl = nullptr;  // the graphic child the mouse is over

    void Insert(TControl* AControl);
    void Remove(TControl* AControl);
    void UpdateTabList(TWinControl* AControl, bool Add);
    void UpdateBounds();
    void DoAlign(TAlign AAlign, TRect& Rect, TControl* AControl);
    void AnchorControls(TRect& Rect);
    void ReadTabOrder(int Value) { SetTabOrder(Value); }
    bool IsTabOrderStored() const { return true; }
    int TabOrderForStream() const { return TabOrder(); }
    bool DispatchDialogKey(TWMKey& Message);

    void WMPaint(TWMPaint& Message);
    void WMEraseBkgnd(TWMEraseBkgnd& Message);
    void WMSize(TWMSize& Message);
    void WMMove(TWMMove& Message);
    void WMWindowPosChanged(TWMWindowPosMsg& Message);
    void WMSetFocus(TWMSetFocus& Message);
    void WMKillFocus(TWMSetFocus& Message);
    void WMKeyDown(TWMKey& Message);
    void WMSysKeyDown(TWMKey& Message);
    void WMKeyUp(TWMKey& Message);
    void WMSysKeyUp(TWMKey& Message);
    void WMChar(TWMKey& Message);
    void WMSetCursor(TWMSetCursor& Message);
    void WMCommand(TMessage& Message);
    void WMSysColorChange(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMDialogKey(TWMKey& Message);
    void CMDialogChar(TWMKey& Message);
    void CNKeyDown(TWMKey& Message);
    void CNChar(TWMKey& Message);
    void CNSysChar(TWMKey& Message);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    void CMShowHintChanged(TMessage& Message);

    HOST_MESSAGES(on(WM_PAINT, &TWinControl::WMPaint), on(WM_ERASEBKGND, &TWinControl::WMEraseBkgnd),
                  on(WM_SIZE, &TWinControl::WMSize), on(WM_MOVE, &TWinControl::WMMove),
                  on(WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged),
                  on(WM_SETFOCUS, &TWinControl::WMSetFocus), on(WM_KILLFOCUS, &TWinControl::WMKillFocus),
                  on(WM_KEYDOWN, &TWinControl::WMKeyDown), on(WM_SYSKEYDOWN, &TWinControl::WMSysKeyDown),
                  on(WM_KEYUP, &TWinControl::WMKeyUp), on(WM_SYSKEYUP, &TWinControl::WMSysKeyUp),
                  on(WM_CHAR, &TWinControl::WMChar), on(WM_SETCURSOR, &TWinControl::WMSetCursor),
                  on(WM_COMMAND, &TWinControl::WMCommand), on(WM_SYSCOLORCHANGE, &TWinControl::WMSysColorChange),
                  on(WM_NCDESTROY, &TWinControl::WMNCDestroy), on(WM_GETDLGCODE, &TWinControl::WMGetDlgCode),
                  on(CM_ENABLEDCHANGED, &TWinControl::CMEnabledChanged),
                  on(CM_VISIBLECHANGED, &TWinControl::CMVisibleChanged),
                  on(CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged),
                  on(CM_COLORCHANGED, &TWinControl::CMColorChanged), on(CM_FONTCHANGED, &TWinControl::CMFontChanged),
                  on(CM_TEXTCHANGED, &TWinControl::CMTextChanged), on(CM_DIALOGKEY, &TWinControl::CMDialogKey),
                  on(CM_DIALOGCHAR, &TWinControl::CMDialogChar), on(CN_KEYDOWN, &TWinControl::CNKeyDown),
                  on(CN_CHAR, &TWinControl::CNChar), on(CN_SYSCHAR, &TWinControl::CNSysChar),
                  on(CM_ENTER, &TWinControl::CMEnter),
                  on(CM_EXIT, &TWinControl::CMExit), on(CM_FOCUSCHANGED, &TWinControl::CMFocusChanged),
                  on(CM_SYSCOLORCHANGE, &TWinControl::CMSysColorChange),
                  on(CM_CANCELMODE, &TWinControl::CMCancelMode),
                  on(CM_SHOWHINTCHANGED, &TWinControl::CMShowHintChanged))

    HOST_PUBLISHED(prop("TabOrder", &TWinControl::TabOrderForStream, &TWinControl::SetTabOrder).def(-1),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(false),
                   prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).def(0),
                   prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).def(true),
                   prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).def(true),
                   prop("DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite).def(false),
                   prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter),
                   prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit),
                   prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown),
                   prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress),
                   prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp))
};

// ---------------------------------------------------------------------------
// TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------

// A control without a window: its parent paints it (Paint on Canvas, whose DC is
// the parent's with the origin at the control's top-left, clipped to it) and
// passes it the mouse messages over it.
class TGraphicControl : public TControl {
    HOST_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TControlCanvas> FCanvas;
    void WMPaint(TWMPaint& Message);
    HOST_MESSAGES(on(WM_PAINT, &TGraphicControl::WMPaint))
};

// A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
    HOST_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

// The control whose window Handle is (nullptr for other windows).
TWinControl* FindControl(HWND Handle);
// The windowed control under a screen point.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control (windowed or graphic) under a screen point.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The form of a control (nullptr when it sits on none).
TCustomForm* GetParentForm(const TControl* Control);
// The same, raising EInvalidOperation "Control '<name>' has no parent window" when none.
TCustomForm* ValidParentForm(const TControl* Control);
// The control of a drag in progress (nullptr when none) and its drag object.
TControl* DragControl();
// Cancels a drag in progress (as if Escape was pressed).
void CancelDrag();
// The number of pixels the mouse must move with a button down before a pending
// drag starts.
int DragThreshold();

}  // namespace host
