// Push buttons, check boxes, radio buttons, group boxes, radio groups, bitmap buttons and speed buttons.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"
#include "host/db/alignment.h"
#include "host/rtl/lists.h"

namespace host {

class TCustomRadioGroup;

// ---------------------------------------------------------------------------
// Button window styles, messages and notifications
// ---------------------------------------------------------------------------

inline constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                       BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                       BS_AUTORADIOBUTTON = 0x9, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF, BS_LEFTTEXT = 0x20;
inline constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
                      BM_CLICK = 0x00F5;
inline constexpr WPARAM BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_PUSHED = 4, BST_FOCUS = 8;
inline constexpr WORD BN_CLICKED = 0;

// True when Caption has Key as its accelerator ("&Save" and 's' or 'S'; "&&" is a plain '&').
bool IsAccel(WORD Key, const std::string& Caption);

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

HOST_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed);
HOST_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom);
HOST_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive);
HOST_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew);
HOST_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll);
// 1 to 4 images side by side in a glyph: up, disabled, down, stay-down.
using TNumGlyphs = int;

// ---------------------------------------------------------------------------
// The glyph-and-caption painter shared by TBitBtn and TSpeedButton
// ---------------------------------------------------------------------------

// Where the glyph and the caption go inside Client (Offset added to both).
struct TButtonLayoutResult {
    TPoint GlyphPos{};
    TRect TextBounds{};
};
// Places a glyph of GlyphSize and Caption (measured on Canvas with its font) inside Client.
// Margin -1 centres the pair; Spacing -1 spreads the free space evenly; an empty caption
// or glyph makes the spacing 0.
TButtonLayoutResult CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                                     TSize GlyphSize, TButtonLayout Layout, int Margin, int Spacing);

// A button's picture: a bitmap holding NumGlyphs images side by side (up, disabled, down,
// stay-down). The bottom-left pixel's colour is transparent. A disabled image is made from
// the up image (embossed in clBtnHighlight and clBtnShadow) when the bitmap has none.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() const { return FOriginal.get(); }
    // Copies Value; a bitmap whose width is 1 to 4 times its height sets NumGlyphs.
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);  // clamped to 1..4
    TSize GlyphSize() const;
    // Drops the prepared images (after a change of the bitmap or of the system colours).
    void Invalidate();
    // Draws the image of State at (X, Y) with its transparent pixels left alone.
    void DrawGlyph(TCanvas* Canvas, int X, int Y, TButtonState State);
    // Lays out and draws glyph and caption; returns the caption's rectangle.
    TRect Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
               TButtonLayout Layout, int Margin, int Spacing, TButtonState State);
    // Told when the bitmap changes (the owning button repaints).
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TBitmap> FOriginal;
    TNumGlyphs FNumGlyphs = 1;
    std::array<std::unique_ptr<TBitmap>, 4> FImages;
    bool FUpdating = false;
    TBitmap* ImageFor(TButtonState State);
    void GlyphChanged(TObject* Sender);
};

// The classic push-button face in Client: a black frame when IsFramed (the active default
// or focused button), a shadow frame while IsDown, else raised edges (inactive when not
// IsEnabled). Returns the rectangle inside the frame.
TRect DrawButtonFace(HDC Dc, const TRect& Client, bool IsDown, bool IsFramed, bool IsEnabled);
// The dotted focus rectangle, black on the button face.
void DrawButtonFocusRect(HDC Dc, const TRect& R);
// Draws the caption centred in Bounds; disabled text embossed.
void DrawButtonText(TCanvas* Canvas, const std::string& Caption, const TRect& Bounds, TButtonState State);

// ---------------------------------------------------------------------------
// TButtonControl
// ---------------------------------------------------------------------------

// The base of push buttons, check boxes and radio buttons: a windowed control that paints
// itself, shows a pressed look while the mouse is held down inside it or Space is down,
// and turns a completed press into the BN_CLICKED notification (CN_COMMAND) that each kind
// of button answers in its own way.
class TButtonControl : public TWinControl {
    HOST_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    ~TButtonControl() override;

    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool Value) { (void)Value; }
    // While set, changing the checked state in code fires no OnClick.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    // Pressed look (mouse held inside, or Space down).
    bool Pressed() const { return FPressed; }
    // Sets the checked state as BM_SETCHECK does: without OnClick.
    void SetCheckedQuietly(bool Value);

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

protected:
    TCanvas* Canvas() const { return FCanvas.get(); }
    void PaintWindow(HDC DC) override;
    // Paints the control on Canvas (attached to the paint DC, with the control's font).
    virtual void Paint() {}
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void SetPressed(bool Value);
    // A completed press: the BN_CLICKED notification sent to this control as CN_COMMAND.
    void NotifyClicked();
    // Paints a check box or radio button: the box (DrawFrameControl with FrameState) on
    // the side Alignment leaves free, the caption beside it, the focus rectangle around it.
    void PaintCheckLike(UINT FrameState, TAlignment Alignment);

private:
    std::unique_ptr<TCanvas> FCanvas;
    bool FClicksDisabled = false;
    bool FPressed = false;
    bool FSpaceDown = false;
    bool FMouseDown = false;

    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void WMKillFocus(TWMSetFocus& Message);
    void BMClick(TMessage& Message);
    HOST_MESSAGES(on(CM_ENABLEDCHANGED, &TButtonControl::CMEnabledChanged),
                  on(CM_TEXTCHANGED, &TButtonControl::CMTextChanged),
                  on(CM_FONTCHANGED, &TButtonControl::CMFontChanged),
                  on(CM_COLORCHANGED, &TButtonControl::CMColorChanged),
                  on(WM_CANCELMODE, &TButtonControl::WMCancelMode),
                  on(WM_KILLFOCUS, &TButtonControl::WMKillFocus), on(BM_CLICK, &TButtonControl::BMClick))
};

// ---------------------------------------------------------------------------
// TButton
// ---------------------------------------------------------------------------

// A push button. Clicking it sets its form's ModalResult to the button's ModalResult.
// The active default button is the focused button while a button has the focus, else
// the one with Default set: Enter clicks it and Escape clicks a Cancel button (both
// through CM_DIALOGKEY). A button whose window style has BS_OWNERDRAW (a descendant adds
// it in CreateParams) does not paint itself: it sends itself CN_DRAWITEM with a
// DRAWITEMSTRUCT (itemState ODS_SELECTED, ODS_FOCUS, ODS_DISABLED, ODS_DEFAULT).
class TButton : public TButtonControl {
    HOST_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    ~TButton() override;

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // True while this button is the one Enter clicks.
    bool ActiveDefault() const { return FActive; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    // An owner-drawn button sends itself CN_DRAWITEM with the paint DC; others Paint.
    void PaintWindow(HDC DC) override;
    void Paint() override;
    // Called when the button becomes or stops being the active default.
    virtual void SetButtonStyle(bool ADefault);
    // True when the window was made with BS_OWNERDRAW.
    bool IsOwnerDraw();

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;

    void CMDialogKey(TWMKey& Message);
    void CMDialogChar(TWMKey& Message);
    void CMFocusChanged(TMessage& Message);
    void CNCommand(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    HOST_MESSAGES(on(CM_DIALOGKEY, &TButton::CMDialogKey), on(CM_DIALOGCHAR, &TButton::CMDialogChar),
                  on(CM_FOCUSCHANGED, &TButton::CMFocusChanged), on(CN_COMMAND, &TButton::CNCommand),
                  on(WM_GETDLGCODE, &TButton::WMGetDlgCode))
    HOST_PUBLISHED(prop("Cancel", &TButton::Cancel, &TButton::SetCancel).def(false),
                   prop("Default", &TButton::Default, &TButton::SetDefault).def(false),
                   prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).def(0),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// ---------------------------------------------------------------------------
// TCheckBox
// ---------------------------------------------------------------------------

// A check box: State cbUnchecked, cbChecked or cbGrayed; a click (mouse, Space, its
// accelerator) cycles unchecked → (grayed when AllowGrayed) → checked → unchecked.
// Changing the state, in code too, fires OnClick (unless ClicksDisabled or loading).
// Alignment taRightJustify puts the caption right of the box, taLeftJustify left of it.
class TCustomCheckBox : public TButtonControl {
    HOST_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    bool Checked() const override { return FState == cbChecked; }
    void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The next state of the cycle.
    virtual void Toggle();

protected:
    void Paint() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;

    void CNCommand(TMessage& Message);
    void CMDialogChar(TWMKey& Message);
    void WMGetDlgCode(TMessage& Message);
    void BMGetCheck(TMessage& Message);
    void BMSetCheck(TMessage& Message);
    HOST_MESSAGES(on(CN_COMMAND, &TCustomCheckBox::CNCommand), on(CM_DIALOGCHAR, &TCustomCheckBox::CMDialogChar),
                  on(WM_GETDLGCODE, &TCustomCheckBox::WMGetDlgCode), on(BM_GETCHECK, &TCustomCheckBox::BMGetCheck),
                  on(BM_SETCHECK, &TCustomCheckBox::BMSetCheck))
};

class TCheckBox : public TCustomCheckBox {
    HOST_CLASS(TCheckBox, TCustomCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}

private:
    HOST_PUBLISHED(prop("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment).def(taRightJustify),
                   prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).def(false),
                   prop("Checked", &TCheckBox::CheckedForStream, &TCheckBox::SetCheckedForStream).def(false),
                   prop("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).def(cbUnchecked),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
    bool CheckedForStream() const { return Checked(); }
    void SetCheckedForStream(bool Value) { SetChecked(Value); }
};

// ---------------------------------------------------------------------------
// TRadioButton
// ---------------------------------------------------------------------------

// A radio button: checking it unchecks the other radio buttons of its parent and fires
// OnClick. It is a tab stop only while checked, so Tab lands on a group's checked button;
// the arrow keys move the focus to the next one, which checks itself as it gets the focus.
class TRadioButton : public TButtonControl {
    HOST_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const override { return FChecked; }
    void SetChecked(bool Value) override;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    void DoEnter() override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
    bool CheckedForStream() const { return FChecked; }
    void SetCheckedForStream(bool Value) { SetChecked(Value); }

    void CNCommand(TMessage& Message);
    void CMDialogChar(TWMKey& Message);
    void WMGetDlgCode(TMessage& Message);
    void BMGetCheck(TMessage& Message);
    void BMSetCheck(TMessage& Message);
    HOST_MESSAGES(on(CN_COMMAND, &TRadioButton::CNCommand), on(CM_DIALOGCHAR, &TRadioButton::CMDialogChar),
                  on(WM_GETDLGCODE, &TRadioButton::WMGetDlgCode), on(BM_GETCHECK, &TRadioButton::BMGetCheck),
                  on(BM_SETCHECK, &TRadioButton::BMSetCheck))
    HOST_PUBLISHED(prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).def(taRightJustify),
                   prop("Checked", &TRadioButton::CheckedForStream, &TRadioButton::SetCheckedForStream).def(false))
};

// ---------------------------------------------------------------------------
// Group boxes and radio groups
// ---------------------------------------------------------------------------

// A container with an etched frame and its caption over the frame's top edge.
class TCustomGroupBox : public TCustomControl {
    HOST_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    // The client area less the caption's height and the frame.
    void AdjustClientRect(TRect& Rect) override;

protected:
    void Paint() override;

private:
    void CMDialogChar(TWMKey& Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    HOST_MESSAGES(on(CM_DIALOGCHAR, &TCustomGroupBox::CMDialogChar),
                  on(CM_TEXTCHANGED, &TCustomGroupBox::CMTextChanged),
                  on(CM_FONTCHANGED, &TCustomGroupBox::CMFontChanged))
};

class TGroupBox : public TCustomGroupBox {
    HOST_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// One button of a radio group, made by the group from its Items (not streamed).
class TGroupButton : public TRadioButton {
    HOST_CLASS(TGroupButton, TRadioButton)
public:
    // Made by the group only; the group owns it and is its parent.
    explicit TGroupButton(TCustomRadioGroup* RadioGroup);
    ~TGroupButton() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    TCustomRadioGroup* FGroup;
    bool FInClick = false;
    // A click goes through only when the group lets its value change.
    void CNCommand(TMessage& Message);
    HOST_MESSAGES(on(CN_COMMAND, &TGroupButton::CNCommand))
};

// A group box holding one radio button per line of Items, laid out in Columns; ItemIndex
// is the checked one (-1: none) and follows clicks and the arrow keys; OnClick fires when
// it changes, in code too.
class TCustomRadioGroup : public TCustomGroupBox {
    HOST_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* Items() const;
    void SetItems(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    // Clamped to 1..16.
    void SetColumns(int Value);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TGroupButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }

    void Loaded() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void FlipChildren(bool AllLevels) { (void)AllLevels; }

protected:
    void Resize() override;
    // Whether the group lets its buttons change (a data-aware group may refuse).
    virtual bool CanModify() { return true; }

private:
    friend class TGroupButton;
    std::unique_ptr<TStringList> FItems;
    std::vector<TGroupButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;

    void ArrangeButtons();
    void UpdateButtons();
    void SetButtonCount(int Value);
    void ButtonClick(TObject* Sender);
    void ItemsChange(TObject* Sender);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    HOST_MESSAGES(on(CM_ENABLEDCHANGED, &TCustomRadioGroup::CMEnabledChanged),
                  on(CM_FONTCHANGED, &TCustomRadioGroup::CMFontChanged))
};

class TRadioGroup : public TCustomRadioGroup {
    HOST_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}

private:
    HOST_PUBLISHED(prop("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns).def(1),
                   prop("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex).def(-1),
                   prop("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems))
};

// ---------------------------------------------------------------------------
// TBitBtn
// ---------------------------------------------------------------------------

// A push button with a glyph beside its caption, drawn by owner drawing. Kind gives the
// standard buttons their caption, glyph and modal result (bkOK and bkYes are Default,
// bkCancel and bkNo Cancel); changing one of those afterwards makes the Kind bkCustom.
// A bkClose button closes its form; a bkHelp button shows the help of its HelpContext.
class TBitBtn : public TButton {
    HOST_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle Value);

    void Click() override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;
    // Paints the button for one CN_DRAWITEM.
    virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);

private:
    std::unique_ptr<TButtonGlyph> FGlyph;
    std::unique_ptr<TCanvas> FDrawCanvas;
    mutable TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TButtonStyle FStyle = bsAutoDetect;
    bool FIsFocused = false;
    bool FModifiedGlyph = false;

    bool IsCustom() const { return Kind() == bkCustom; }
    bool IsCustomCaption() const;
    void GlyphChanged(TObject* Sender);
    void CNDrawItem(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    HOST_MESSAGES(on(CN_DRAWITEM, &TBitBtn::CNDrawItem), on(CM_SYSCOLORCHANGE, &TBitBtn::CMSysColorChange))
    HOST_PUBLISHED(prop("Cancel", &TButton::Cancel, &TButton::SetCancel).def(false).stored(&TBitBtn::IsCustom),
                   prop("Caption", &TControl::Caption, &TControl::SetCaption).stored(&TBitBtn::IsCustomCaption),
                   prop("Default", &TButton::Default, &TButton::SetDefault).def(false).stored(&TBitBtn::IsCustom),
                   prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                       .def(0)
                       .stored(&TBitBtn::IsCustom),
                   prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph).stored(&TBitBtn::IsCustom),
                   prop("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).def(bkCustom),
                   prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).def(blGlyphLeft),
                   prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).def(-1),
                   prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).def(1).stored(&TBitBtn::IsCustom),
                   prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).def(4),
                   prop("Style", &TBitBtn::Style, &TBitBtn::SetStyle).def(bsAutoDetect))
};

// The caption, modal result and glyph (a new bitmap the caller owns, nullptr for
// bkCustom) of a standard bitmap button.
std::string BitBtnCaption(TBitBtnKind Kind);
TModalResult BitBtnModalResult(TBitBtnKind Kind);
std::unique_ptr<TBitmap> BitBtnGlyph(TBitBtnKind Kind);

// ---------------------------------------------------------------------------
// TSpeedButton
// ---------------------------------------------------------------------------

// A graphic (windowless) button for tool bars. Buttons of one parent with the same
// GroupIndex (≠ 0) work as a group: pressing one makes it Down and releases the others
// (CM_BUTTONPRESSED); with AllowAllUp a down button comes up when clicked again. A Flat
// button shows its raised frame only while the mouse is over it. OnClick fires when the
// mouse is released inside; a button pressed and dragged out comes up again.
class TSpeedButton : public TGraphicControl {
    HOST_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return FGlyph->Glyph(); }
    void SetGlyph(TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The state painted: up, disabled, down (pressed now) or exclusive (held down).
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }

    void Click() override;
    void Loaded() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<TButtonGlyph> FGlyph;
    std::unique_ptr<TBitmap> FPattern;
    TButtonState FState = bsUp;
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = false;
    bool FDragging = false;
    bool FMouseInControl = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;

    void UpdateExclusive();
    void GlyphChanged(TObject* Sender);
    bool Inside(int X, int Y) const;
    void CMButtonPressed(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMDialogChar(TWMKey& Message);
    void CMSysColorChange(TMessage& Message);
    HOST_MESSAGES(on(CM_BUTTONPRESSED, &TSpeedButton::CMButtonPressed),
                  on(CM_MOUSEENTER, &TSpeedButton::CMMouseEnter), on(CM_MOUSELEAVE, &TSpeedButton::CMMouseLeave),
                  on(CM_ENABLEDCHANGED, &TSpeedButton::CMEnabledChanged),
                  on(CM_TEXTCHANGED, &TSpeedButton::CMTextChanged), on(CM_FONTCHANGED, &TSpeedButton::CMFontChanged),
                  on(CM_DIALOGCHAR, &TSpeedButton::CMDialogChar),
                  on(CM_SYSCOLORCHANGE, &TSpeedButton::CMSysColorChange))
    HOST_PUBLISHED(prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).def(false),
                   prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).def(0),
                   prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).def(false),
                   prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).def(false),
                   prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph),
                   prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).def(blGlyphLeft),
                   prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).def(-1),
                   prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).def(1),
                   prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).def(4),
                   prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).def(true))
};

// Registers every class of this header with the streaming system (once).
void RegisterButtonClasses();

}  // namespace host
