// Forms: TScrollingWinControl, TCustomForm, TForm, TDataModule and TFrame, with their enumerations and events.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"

namespace host {

class TMainMenu;  // declared by the menus; forms keep a pointer only
// The type of a published main-menu property (defined with the menus).
const TTypeInfo* MainMenuTypeInfo();
class TIcon;

HOST_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop);
HOST_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin);
// A control's border: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;
HOST_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp);
using TBorderIcons = TSet<TBorderIcon>;
HOST_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
          poMainFormCenter, poOwnerFormCenter);
HOST_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized);
HOST_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize);
HOST_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated);
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TShortCutEvent = TEvent<TWMKey&, bool&>;

HOST_ENUM(TScrollBarKind, sbHorizontal, sbVertical);

class TScrollingWinControl;

// One scroll bar of a scrolling control: Range is the extent of the scrolled area
// along the bar, Position how far it is scrolled (0..Range - the client extent). The
// bar shows in the window's non-client area while Visible and Range exceeds the
// client extent; otherwise the position goes back to 0.
class TControlScrollBar : public TPersistent {
    HOST_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(TScrollingWinControl* Control, TScrollBarKind Kind);
    void Assign(TPersistent* Source) override;

    TScrollBarKind Kind() const { return FKind; }
    TScrollingWinControl* Control() const { return FControl; }
    // Pixels one SB_LINEUP/SB_LINEDOWN moves (1..32767, default 8).
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    // Space kept beyond the farthest child when AutoScroll computes the range.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Clamped to 0..Range - the client extent; moving it moves the children.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    void SetRange(int Value);
    // Thumb dragging scrolls at once (SB_THUMBTRACK) rather than on release.
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // Whether the bar is shown now (Visible, and the range exceeds the client extent).
    bool IsScrollBarVisible() const;
    // Position while the bar shows, else 0.
    int ScrollPos() const { return IsScrollBarVisible() ? FPosition : 0; }

private:
    friend class TScrollingWinControl;
    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FIncrement = 8;
    int FMargin = 0;
    int FPosition = 0;
    int FRange = 0;
    int FCalcRange = 0;  // the range AutoScroll last computed
    bool FTracking = false;
    bool FVisible = true;

    int ControlSize() const;
    int MaxPosition() const;
    void DoSetRange(int Value);
    void Update();
    void ScrollMessage(TWMScroll& Message);
    bool IsRangeStored() const;
    HOST_PUBLISHED(prop("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).def(8),
                   prop("Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin).def(0),
                   prop("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange)
                       .def(0)
                       .stored(&TControlScrollBar::IsRangeStored),
                   prop("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).def(0),
                   prop("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking).def(false),
                   prop("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).def(true))
};

// A windowed control that can scroll its children with window scroll bars. With
// AutoScroll each bar's range follows the extent of the children that are not
// aligned, so every child stays reachable; WM_HSCROLL/WM_VSCROLL and the mouse wheel
// move the children.
class TScrollingWinControl : public TWinControl {
    HOST_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }
    // Moves every child by (DeltaX, DeltaY) without changing the scroll positions.
    void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that AControl (a descendant) lies inside the client area, as far as
    // the ranges allow; the nearest edge is brought in.
    void ScrollInView(TControl* AControl);
    // Recomputes the ranges (AutoScroll) and applies both bars to the window.
    void UpdateScrollBars();
    // Aligned children are laid out over the whole scrolled area, offset by the positions.
    void AdjustClientRect(TRect& Rect) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;

protected:
    void CreateWnd() override;
    // Sets each bar's range from the children's extent (AutoScroll only).
    virtual void CalcAutoRange();

private:
    friend class TControlScrollBar;
    bool FAutoScroll = false;
    int FUpdatingScrollBars = 0;
    int FWheelAccumulator = 0;
    std::unique_ptr<TControlScrollBar> FHorzScrollBar;
    std::unique_ptr<TControlScrollBar> FVertScrollBar;

    void WMHScroll(TWMScroll& Message);
    void WMVScroll(TWMScroll& Message);
    void WMMouseWheel(TWMMouseWheel& Message);
    void CMFocusChanged(TMessage& Message);
    HOST_MESSAGES(on(WM_HSCROLL, &TScrollingWinControl::WMHScroll), on(WM_VSCROLL, &TScrollingWinControl::WMVScroll),
                  on(WM_MOUSEWHEEL, &TScrollingWinControl::WMMouseWheel),
                  on(CM_FOCUSCHANGED, &TScrollingWinControl::CMFocusChanged))
    HOST_PUBLISHED(prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).def(false),
                   prop("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, &TScrollingWinControl::SetHorzScrollBar),
                   prop("VertScrollBar", &TScrollingWinControl::VertScrollBar, &TScrollingWinControl::SetVertScrollBar))
};

class TCustomForm : public TScrollingWinControl {
    HOST_CLASS(TCustomForm, TScrollingWinControl)
public:
    // Makes the form. Its form file (the resources of its class and ancestors) is
    // read, and OnCreate fired, by AfterConstruction: construction through a class
    // reference calls it, and so does CreateForm<T>; a form made with new reads it at
    // the latest when it is first shown.
    explicit TCustomForm(TComponent* AOwner);
    // Makes the form without reading a form file (the framework's CreateNew).
    TCustomForm(TComponent* AOwner, int Dummy);
    ~TCustomForm() override;

    // --- showing and closing ---
    void Show();
    void Hide();
    // Shows the form modally: a responder may settle it at once; otherwise a message
    // loop runs until ModalResult is set (or the input script runs out: mrCancel).
    // Raises EInvalidOperation "Cannot make a visible window modal" for a visible form.
    virtual int ShowModal();
    // Asks OnCloseQuery, then OnClose with the action (caHide, or caFree for an
    // MDI child... as the framework), and does it.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages in the queue have been handled; safe to call
    // twice, and from the form's own events.
    void Release();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool Active() const { return FActive; }
    TFormState FormState() const { return FFormState; }

    // --- focus ---
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when
    // the form is showing and Control cannot take the focus.
    void SetActiveControl(TWinControl* Control);
    // The focus moved to Control (a control of this form): updates ActiveControl,
    // sends CM_EXIT/CM_ENTER along the chain and tells the screen. Returns false when
    // an OnExit moved the focus elsewhere.
    bool SetFocusedControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    void SetFocus() override;
    bool WantChildKey(TControl* Child, TMessage& Message);
    TWinControl* ActiveOleControl() const { return nullptr; }

    // --- appearance ---
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    TCanvas* Canvas() const { return FCanvas.get(); }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }

    // --- MDI ---
    TCustomForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int Index) const;
    // The MDI client window of an MDI frame form (nullptr for other forms).
    HWND ClientHandle() const { return FClientHandle; }
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    void Previous();

    // --- actions and shortcuts ---
    // Asks every action-linked control of the form to update.
    void UpdateActions();
    // OnShortCut, then the form's menu; true when the key was used.
    virtual bool IsShortCut(TWMKey& Message);

    void WndProc(TMessage& Message) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void AfterConstruction() override;

    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnShow;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void PaintWindow(HDC DC) override;
    virtual void DoClose(TCloseAction& Action);
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void Paint();
    void SetParent(TWinControl* AParent) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Reads the form file registered for this class and its ancestors (false when
    // there is none).
    bool InitInheritedComponent(TClass RootAncestor);

protected:
    friend class TWinControl;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormBorderStyle FBorderStyle = bsSizeable;
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    bool FActive = false;
    int FModalResult = mrNone;
    TFormState FFormState;
    TMainMenu* FMenu = nullptr;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TControlCanvas> FCanvas;
    int FPixelsPerInch = 96;
    bool FScaled = true;
    bool FOldCreateOrder = false;
    std::string FHelpFile;
    int FTextHeight = 13;
    HWND FClientHandle = nullptr;
    bool FReleasePosted = false;
    bool FCreated = false;
    std::vector<TCustomForm*> FMDIChildren;  // an MDI frame's children, most recently active first
    TCustomForm* FMDIParent = nullptr;

    bool FReadFormFile = false;
    bool FDestroyDone = false;
    void MDIChildActivated(TCustomForm* Child);
    void ApplyPosition();
    void SetActiveState(bool Value);
    void SetWindowFocus();
    void CloseModal();
    bool IsForm() const { return true; }
    bool IsFormSizeStored() const { return true; }
    int ClientWidthForStream() const { return ClientWidth(); }
    int ClientHeightForStream() const { return ClientHeight(); }
    void SetClientWidthForStream(int Value) { SetClientWidth(Value); }
    void SetClientHeightForStream(int Value) { SetClientHeight(Value); }
    bool IsClientSizeStored() const { return false; }
    TWinControl* ActiveControlForStream() const { return FActiveControl; }
    void SetActiveControlForStream(TWinControl* Value);
    TIcon* IconForStream() const { return FIcon.get(); }
    TComponent* MenuForStream() const;
    void SetMenuForStream(TComponent* Value);

    void WMClose(TMessage& Message);
    void WMActivate(TWMActivate& Message);
    void WMSize(TWMSize& Message);
    void WMSetFocus(TWMSetFocus& Message);
    void WMDestroy(TMessage& Message);
    void WMSysCommand(TWMSysCommand& Message);
    void CMRelease(TMessage& Message);
    void CMActivate(TMessage& Message);
    void CMDeactivate(TMessage& Message);
    void CMDialogKey(TWMKey& Message);
    void CMShowingChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);

    HOST_MESSAGES(on(WM_CLOSE, &TCustomForm::WMClose), on(WM_ACTIVATE, &TCustomForm::WMActivate),
                  on(WM_SIZE, &TCustomForm::WMSize), on(WM_SETFOCUS, &TCustomForm::WMSetFocus),
                  on(WM_DESTROY, &TCustomForm::WMDestroy), on(WM_SYSCOMMAND, &TCustomForm::WMSysCommand),
                  on(CM_RELEASE, &TCustomForm::CMRelease), on(CM_ACTIVATE, &TCustomForm::CMActivate),
                  on(CM_DEACTIVATE, &TCustomForm::CMDeactivate), on(CM_DIALOGKEY, &TCustomForm::CMDialogKey),
                  on(CM_SHOWINGCHANGED, &TCustomForm::CMShowingChanged),
                  on(CM_TEXTCHANGED, &TCustomForm::CMTextChanged))
};

class TForm : public TCustomForm {
    HOST_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}

private:
    HOST_PUBLISHED(
        prop("ActiveControl", &TForm::ActiveControlForStream, &TForm::SetActiveControlForStream),
        prop("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons)
            .def(TBorderIcons{biSystemMenu, biMinimize, biMaximize}),
        prop("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle).def(bsSizeable),
        prop("ClientHeight", &TForm::ClientHeightForStream, &TForm::SetClientHeightForStream),
        prop("ClientWidth", &TForm::ClientWidthForStream, &TForm::SetClientWidthForStream),
        prop("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle).def(fsNormal),
        prop("HelpFile", &TForm::HelpFile, &TForm::SetHelpFile).def(std::string()),
        prop("Icon", &TForm::IconForStream, &TForm::SetIcon),
        prop("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).def(false),
        prop("Menu", &TForm::MenuForStream, &TForm::SetMenuForStream).type(MainMenuTypeInfo()),
        prop("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder).def(false),
        prop("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch),
        prop("Position", &TForm::Position, &TForm::SetPosition).def(poDesigned),
        prop("Scaled", &TForm::Scaled, &TForm::SetScaled).def(true),
        prop("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight),
        prop("WindowState", &TForm::WindowState, &TForm::SetWindowState).def(wsNormal),
        prop("OnActivate", &TForm::OnActivate, &TForm::OnActivate),
        prop("OnClose", &TForm::OnClose, &TForm::OnClose),
        prop("OnCloseQuery", &TForm::OnCloseQuery, &TForm::OnCloseQuery),
        prop("OnCreate", &TForm::OnCreate, &TForm::OnCreate),
        prop("OnDeactivate", &TForm::OnDeactivate, &TForm::OnDeactivate),
        prop("OnDestroy", &TForm::OnDestroy, &TForm::OnDestroy),
        prop("OnHide", &TForm::OnHide, &TForm::OnHide),
        prop("OnPaint", &TForm::OnPaint, &TForm::OnPaint),
        prop("OnShow", &TForm::OnShow, &TForm::OnShow))
};

// A non-visual container of components (datasets, actions) with a form file.
class TDataModule : public TComponent {
    HOST_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* AOwner);
    TDataModule(TComponent* AOwner, int Dummy);
    ~TDataModule() override;
    TPoint DesignOffset() const { return FDesignOffset; }
    void SetDesignOffset(TPoint Value) { FDesignOffset = Value; }
    TPoint DesignSize() const { return FDesignSize; }
    void SetDesignSize(TPoint Value) { FDesignSize = Value; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void AfterConstruction() override;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

private:
    TPoint FDesignOffset{};
    TPoint FDesignSize{};
    bool FOldCreateOrder = false;
    bool FDestroyed = false;
    bool FReadFormFile = false;
    bool FCreated = false;
    HOST_PUBLISHED(prop("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder).def(false),
                   prop("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate),
                   prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy))
};

// A reusable group of controls with its own form file, placed on forms as a control.
class TCustomFrame : public TScrollingWinControl {
    HOST_CLASS(TCustomFrame, TScrollingWinControl)
public:
    explicit TCustomFrame(TComponent* AOwner);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // A frame class with a form file reads it here (see TCustomForm).
    void AfterConstruction() override;

private:
    bool FCreated = false;
};

class TFrame : public TCustomFrame {
    HOST_CLASS(TFrame, TCustomFrame)
public:
    explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// Modules searched for form files after the library's own (applications and tests
// register theirs with RegisterResourceModule, then add them here).
void AddFormResourceModule(uintptr_t Module);
void RemoveFormResourceModule(uintptr_t Module);

// Makes a form of class T with its form file read and OnCreate fired (what
// construction through a class reference does: the constructor, then AfterConstruction).
template <class T>
T* CreateForm(TComponent* AOwner) {
    T* Form = new T(AOwner);
    try {
        Form->AfterConstruction();
    } catch (...) {
        delete Form;
        throw;
    }
    return Form;
}

}  // namespace host
