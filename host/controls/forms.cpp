// Forms: creation from form files, showing and modal loops, closing and release, focus bookkeeping, dialog keys, MDI, data modules and frames.
#include "host/controls/forms.h"

#include <algorithm>

#include "host/app/app.h"
#include "host/app/responders.h"
#include "host/controls/actnlist.h"
#include "host/controls/controls_internal.h"
#include "host/controls/menus.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/sysutils.h"
#include "host/windows/inputsim.h"

namespace host {

namespace {
std::vector<uintptr_t>& FormModules() {
    static std::vector<uintptr_t> modules;
    return modules;
}

// Reads the form files of Instance's class chain from the first module that has them.
bool ReadInheritedForm(TComponent* Instance, TClass RootAncestor) {
    if (host::InitInheritedComponent(Instance, RootAncestor, 0)) return true;
    for (uintptr_t m : std::vector<uintptr_t>(FormModules()))
        if (host::InitInheritedComponent(Instance, RootAncestor, m)) return true;
    return false;
}

const char* const kCannotFocus = "Cannot focus a disabled or invisible window";

// Realigns every windowed control of a tree (after a form file was read).
void RealignTree(TWinControl* C) {
    for (int i = 0; i < C->WinControlCount(); ++i) RealignTree(C->WinControls(i));
    C->Realign();
}

// Compares captions as a person reads them: without '&' and case.
std::string PlainCaption(const std::string& S) {
    std::string r;
    for (char c : S)
        if (c != '&') r += c;
    return LowerCase(Trim(r));
}

TControl* FindControlByCaption(TWinControl* Parent, const std::string& Caption) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (c->Visible() && c->Enabled() && PlainCaption(c->Caption()) == Caption) return c;
        if (c->Is<TWinControl>())
            if (TControl* d = FindControlByCaption(static_cast<TWinControl*>(c), Caption)) return d;
    }
    return nullptr;
}

// The captions of the visible push buttons on Parent, top to bottom and left to right
// as a person reads them: the buttons a responder can click by caption.
void CollectPushButtons(TWinControl* Parent, std::vector<std::pair<TPoint, std::string>>& Out) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!c->Visible() || !c->Is<TWinControl>()) continue;
        auto* w = static_cast<TWinControl*>(c);
        const auto code = w->Perform(WM_GETDLGCODE, 0, 0);
        if ((code & DLGC_BUTTON) != 0 && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 && !c->Caption().empty()) {
            TPoint at = c->ClientToScreen(TPoint{0, 0});
            Out.push_back({at, c->Caption()});
        }
        CollectPushButtons(w, Out);
    }
}

std::vector<std::string> PushButtonCaptions(TWinControl* Form) {
    std::vector<std::pair<TPoint, std::string>> found;
    CollectPushButtons(Form, found);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
    });
    std::vector<std::string> captions;
    for (auto& f : found) captions.push_back(std::move(f.second));
    return captions;
}

BOOL CollectEnabledTopLevels(HWND Wnd, LPARAM Param) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(Param);
    if (IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) list->push_back(Wnd);
    return TRUE;
}
}  // namespace

// TScrollingWinControl and TControlScrollBar live in comctrls_scroll.cpp.

// ---------------------------------------------------------------------------
// TCustomForm: life
// ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomForm(AOwner, 0) { FReadFormFile = true; }

TCustomForm::TCustomForm(TComponent* AOwner, int) : TScrollingWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
    SetParentColorQuiet(false);
    SetParentFontQuiet(false);
    FIcon = std::make_unique<TIcon>();
    FCanvas = std::make_unique<TControlCanvas>();
    FCanvas->SetControl(this);
    if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (!FDestroyDone) DoDestroy();
    if (FMDIParent != nullptr) {
        auto& l = FMDIParent->FMDIChildren;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
        FMDIParent = nullptr;
    }
    for (TCustomForm* child : FMDIChildren) child->FMDIParent = nullptr;
    FMDIChildren.clear();
    // The window goes first: destroying it moves the focus, and the screen must not
    // be told of this form again after it forgot it.
    if (FHandle != nullptr) DestroyHandle();
    FClientHandle = nullptr;
    if (Screen != nullptr) Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    if (FReadFormFile) {
        FFormState.Include(fsCreating);
        try {
            InitInheritedComponent(Is<TForm>() ? TForm::StaticClass() : TCustomForm::StaticClass());
        } catch (...) {
            FFormState.Exclude(fsCreating);
            throw;
        }
        FFormState.Exclude(fsCreating);
        RealignTree(this);
    }
    DoCreate();
    if (FVisible) UpdateControlState();
}

bool TCustomForm::InitInheritedComponent(TClass RootAncestor) { return ReadInheritedForm(this, RootAncestor); }

void AddFormResourceModule(uintptr_t Module) {
    auto& l = FormModules();
    if (std::find(l.begin(), l.end(), Module) == l.end()) l.push_back(Module);
}

void RemoveFormResourceModule(uintptr_t Module) {
    auto& l = FormModules();
    l.erase(std::remove(l.begin(), l.end(), Module), l.end());
}

void TCustomForm::DoCreate() {
    try {
        OnCreate(this);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleException(this);
    }
}

void TCustomForm::DoDestroy() {
    FDestroyDone = true;
    try {
        OnDestroy(this);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleException(this);
    }
}

void TCustomForm::Loaded() {
    TScrollingWinControl::Loaded();
    if (FActiveControl != nullptr && host::GetParentForm(FActiveControl) != this) FActiveControl = nullptr;
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (!c->HasParent()) Proc(c);
    }
    TScrollingWinControl::GetChildren(Proc, Root);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FActiveControl) FActiveControl = nullptr;
        if (AComponent == FFocusedControl) FFocusedControl = nullptr;
        if (reinterpret_cast<TComponent*>(FMenu) == AComponent) {
            FMenu = nullptr;
            if (FHandle != nullptr) ::host::SetMenu(FHandle, nullptr);
        }
    }
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

void TCustomForm::CreateParams(TCreateParams& Params) {
    TScrollingWinControl::CreateParams(Params);
    if (Parent() != nullptr || ParentWindow() != nullptr) return;  // a form placed in another control
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    Params.WndParent = nullptr;
    if (FFormStyle == fsMDIChild) {
        Params.Style |= WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        Params.ExStyle |= WS_EX_MDICHILD;
        TForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
        if (frame != nullptr && frame->FFormStyle == fsMDIForm) {
            frame->HandleNeeded();
            Params.WndParent = frame->FClientHandle;
        }
        return;
    }
    switch (FBorderStyle) {
        case bsNone: Params.Style |= WS_POPUP; break;
        case bsSingle:
        case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
        case bsSizeable:
        case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
        case bsDialog:
            Params.Style |= WS_POPUP | WS_CAPTION;
            Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        Params.Style |= WS_SYSMENU;
        if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
            if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
            if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
        }
        if (FBorderIcons.Contains(biHelp) &&
            (FBorderStyle == bsDialog || !FBorderIcons.Contains(biMinimize) || !FBorderIcons.Contains(biMaximize)))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (Application != nullptr) Params.WndParent = Application->Handle();
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) Params.Width = Params.Height = CW_USEDEFAULT;
}

void TCustomForm::CreateWnd() {
    TScrollingWinControl::CreateWnd();
    if (FMenu != nullptr) {
        // A bar attached as the window is made keeps the designed client size (the
        // frame grows), so that a form file read back gives the same client area.
        int cw = ClientWidth(), ch = ClientHeight();
        FMenu->SetWindowHandle(FHandle);
        if (ClientHeight() != ch) SetClientSize(cw, ch);
    }
    if (FFormStyle == fsMDIForm && FClientHandle == nullptr) {
        RECT r{};
        ::host::GetClientRect(FHandle, &r);
        FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                        0, 0, r.right, r.bottom, FHandle, nullptr, 0, nullptr);
    }
    if (FFormStyle == fsMDIChild) {
        TForm* frame = Application != nullptr ? Application->MainForm() : nullptr;
        if (frame == nullptr || frame->FFormStyle != fsMDIForm) return;
        FMDIParent = frame;
        auto& l = frame->FMDIChildren;
        if (std::find(l.begin(), l.end(), this) == l.end()) l.insert(l.begin(), this);
    }
}

void TCustomForm::DestroyWnd() {
    FClientHandle = nullptr;
    if (FMenu != nullptr) FMenu->SetWindowHandle(nullptr);
    TScrollingWinControl::DestroyWnd();
}

void TCustomForm::WndProc(TMessage& Message) {
    // The menu bar's messages go to the form's main menu.
    if (FMenu != nullptr) {
        switch (Message.Msg) {
            case WM_COMMAND:
                if (Message.LParam == 0 && HIWORD(Message.WParam) == 0 && FMenu->DispatchCommand(LOWORD(Message.WParam))) {
                    Message.Result = 0;
                    return;
                }
                break;
            case WM_INITMENUPOPUP: FMenu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam)); break;
            case WM_MENUSELECT: FMenu->MenuSelect(Message.WParam, Message.LParam); break;
            default: break;
        }
    }
    TScrollingWinControl::WndProc(Message);
}

void TCustomForm::WMDestroy(TMessage& Message) {
    FActive = false;
    Inherited(Message);
}

void TCustomForm::WMSize(TWMSize& Message) {
    if (Message.SizeType() == SIZE_MINIMIZED) FWindowState = wsMinimized;
    else if (Message.SizeType() == SIZE_MAXIMIZED) FWindowState = wsMaximized;
    else if (Message.SizeType() == SIZE_RESTORED) FWindowState = wsNormal;
    if (FClientHandle != nullptr) MoveWindow(FClientHandle, 0, 0, Message.Width(), Message.Height(), TRUE);
    Inherited(Message);
}

void TCustomForm::WMSysCommand(TWMSysCommand& Message) {
    // Minimizing the main form minimizes the application.
    if ((Message.CmdType() & 0xFFF0) == SC_MINIMIZE && Application != nullptr && Application->MainForm() != nullptr &&
        static_cast<TCustomForm*>(Application->MainForm()) == this) {
        Application->Minimize();
        return;
    }
    Inherited(Message);
}

void TCustomForm::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    Paint();
}

void TCustomForm::Paint() { OnPaint(this); }

void TCustomForm::CMTextChanged(TMessage& Message) { Inherited(Message); }

void TCustomForm::SetParent(TWinControl* AParent) {
    if (Parent() == AParent) return;
    DestroyHandle();
    TScrollingWinControl::SetParent(AParent);
}

// ---------------------------------------------------------------------------
// Showing, activation
// ---------------------------------------------------------------------------

void TCustomForm::Show() {
    if (!FCreated) AfterConstruction();  // a form made with new reads its form file now
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }

void TCustomForm::ApplyPosition() {
    if (Parent() != nullptr || FFormStyle == fsMDIChild) return;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    auto centerOn = [&](const TRect& R) {
        SetBounds(R.left + (R.right - R.left - Width()) / 2, R.top + (R.bottom - R.top - Height()) / 2, Width(),
                  Height());
    };
    switch (FPosition) {
        case poScreenCenter:
        case poDesktopCenter: centerOn(TRect{0, 0, sw, sh}); break;
        case poMainFormCenter:
        case poOwnerFormCenter: {
            TCustomForm* other = nullptr;
            if (FPosition == poOwnerFormCenter && Owner() != nullptr && Owner()->Is<TCustomForm>())
                other = static_cast<TCustomForm*>(Owner());
            else if (Application != nullptr)
                other = Application->MainForm();
            if (other != nullptr && other != this) centerOn(other->BoundsRect());
            else centerOn(TRect{0, 0, sw, sh});
            break;
        }
        default: break;
    }
}

void TCustomForm::CMShowingChanged(TMessage&) {
    if (FHandle == nullptr) return;
    if (Showing()) {
        DoShow();
        ApplyPosition();
        int cmd = SW_SHOWNORMAL;
        if (FWindowState == wsMinimized) cmd = SW_SHOWMINIMIZED;
        else if (FWindowState == wsMaximized) cmd = SW_SHOWMAXIMIZED;
        if (Parent() != nullptr) cmd = SW_SHOWNA;
        ShowWindow(FHandle, cmd);
        if (FFormStyle == fsStayOnTop) SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        if (FMDIParent != nullptr) FMDIParent->MDIChildActivated(this);
    } else {
        DoHide();
        if (FHandle != nullptr) ShowWindow(FHandle, SW_HIDE);
        if (FMDIParent != nullptr) {
            auto& l = FMDIParent->FMDIChildren;
            auto it = std::find(l.begin(), l.end(), this);
            if (it != l.end()) {  // the next visible child becomes the active one
                l.erase(it);
                l.push_back(this);
            }
        }
    }
}

void TCustomForm::WMActivate(TWMActivate& Message) {
    if (FFormStyle == fsMDIForm) return;
    SetActiveState(Message.Active() != WA_INACTIVE);
}

void TCustomForm::SetActiveState(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        if (FActiveControl == nullptr) FActiveControl = FindNextControl(nullptr, true, true, false);
        if (Screen != nullptr && !ComponentState().Contains(csDestroying))
            Screen->FocusChanged(this, FActiveControl != nullptr ? FActiveControl : this);
        SetWindowFocus();
        Perform(CM_ACTIVATE, 0, 0);
    } else {
        Perform(CM_DEACTIVATE, 0, 0);
    }
}

void TCustomForm::SetWindowFocus() {
    TWinControl* target = this;
    if (FActiveControl != nullptr && FWindowState != wsMinimized && FActiveControl->CanFocus()) target = FActiveControl;
    HWND h = target->Handle();
    if (h != nullptr && GetFocus() != h) ::host::SetFocus(h);
}

void TCustomForm::CMActivate(TMessage&) { Activate(); }
void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }
void TCustomForm::Activate() { OnActivate(this); }
void TCustomForm::Deactivate() { OnDeactivate(this); }

void TCustomForm::SetFocus() {
    if (!FActive) {
        if (!(FVisible && FEnabled)) throw EInvalidOperation(kCannotFocus);
        if (FHandle != nullptr && IsWindowVisible(FHandle)) SetActiveWindow(FHandle);
        SetWindowFocus();
    }
}

// ---------------------------------------------------------------------------
// Focus bookkeeping
// ---------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    bool loading = ComponentState().Contains(csLoading);
    if (!(Control == nullptr ||
          (Control != this && host::GetParentForm(Control) == this && (loading || Control->CanFocus()))))
        throw EInvalidOperation(kCannotFocus);
    FActiveControl = Control;
    if (!loading && FActive) SetWindowFocus();
}

void TCustomForm::SetActiveControlForStream(TWinControl* Value) {
    if (ComponentState().Contains(csLoading)) FActiveControl = Value;
    else SetActiveControl(Value);
}

void TCustomForm::FocusControl(TWinControl* Control) {
    bool wasActive = FActive;
    SetActiveControl(Control);
    if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (ComponentState().Contains(csDestroying)) return;
    if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
    if (Control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (ComponentState().Contains(csDestroying)) return false;
    if (Control != this) FActiveControl = Control;
    if (Screen != nullptr) Screen->FocusChanged(this, Control);
    if (FMDIParent != nullptr) FMDIParent->MDIChildActivated(this);
    if (Control->ControlState().Contains(csFocusing)) return false;
    Control->SetControlState(Control->ControlState() + csFocusing);
    struct TClear {
        TWinControl* C;
        controls_internal::TAliveGuard G;
        explicit TClear(TWinControl* c) : C(c), G(c) {}
        ~TClear() {
            if (G.Alive()) C->SetControlState(C->ControlState() - csFocusing);
        }
    } clear(Control);
    if (FFocusedControl == nullptr) FFocusedControl = this;
    if (FFocusedControl != Control) {
        // CM_EXIT from the old focus up to the common parent, then CM_ENTER down to
        // the new one; a handler that moves the focus elsewhere ends the walk.
        HWND focus = Control->FHandle;
        while (FFocusedControl != nullptr && !FFocusedControl->ContainsControl(Control)) {
            FFocusedControl->Perform(CM_EXIT, 0, 0);
            if (focus != GetFocus()) return false;
            if (FFocusedControl == nullptr) break;
            FFocusedControl = FFocusedControl->Parent();
        }
        if (FFocusedControl == nullptr) FFocusedControl = this;
        while (FFocusedControl != Control) {
            TWinControl* temp = Control;
            while (temp->Parent() != nullptr && temp->Parent() != FFocusedControl) temp = temp->Parent();
            FFocusedControl = temp;
            temp->Perform(CM_ENTER, 0, 0);
            if (focus != GetFocus()) return false;
            if (temp->Parent() == nullptr && temp != Control) break;
        }
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    return true;
}

void TCustomForm::WMSetFocus(TWMSetFocus& Message) { Inherited(Message); }

bool TCustomForm::WantChildKey(TControl* Child, TMessage& Message) {
    (void)Child;
    (void)Message;
    return false;
}

void TCustomForm::CMDialogKey(TWMKey& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
            case VK_TAB:
                if (GetKeyState(VK_CONTROL) >= 0) {
                    SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                    Message.Result = 1;
                    return;
                }
                break;
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
                if (FActiveControl != nullptr && FActiveControl->Parent() != nullptr) {
                    WORD c = Message.CharCode();
                    FActiveControl->Parent()->SelectNext(FActiveControl, c == VK_RIGHT || c == VK_DOWN, false);
                    Message.Result = 1;
                }
                return;
            default: break;
        }
    }
    Inherited(Message);  // the children: the default button takes Enter, the cancel button Escape
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
    bool handled = false;
    OnShortCut(Message, handled);
    if (handled) return true;
    if (FMenu != nullptr && FMenu->IsShortCut(Message)) return true;
    TShiftState shift = KeyDataToShiftState(Message.KeyData());
    TShortCut sc = ShortCut(Message.CharCode(), shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (c->Is<TCustomActionList>() && static_cast<TCustomActionList*>(c)->IsShortCut(sc)) return true;
    }
    return false;
}

void TCustomForm::UpdateActions() {
    if (ComponentState().Contains(csDesigning)) return;
    InitiateAction();
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (c->Is<TControl>()) {
            auto* ctl = static_cast<TControl*>(c);
            if (ctl->Visible() && ctl->ControlStyle().Contains(csActionClient)) ctl->InitiateAction();
        }
    }
}

// ---------------------------------------------------------------------------
// Modal showing, closing, release
// ---------------------------------------------------------------------------

int TCustomForm::ShowModal() {
    if (!FCreated) AfterConstruction();
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (HWND cap = GetCapture()) SendMessageA(cap, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    FFormState.Include(fsModal);
    HWND previous = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumWindows(&CollectEnabledTopLevels, reinterpret_cast<LPARAM>(&disabled));
    for (HWND h : disabled) EnableWindow(h, FALSE);
    if (Application != nullptr) Application->ModalStarted();
    controls_internal::TAliveGuard alive(this);
    auto cleanup = [&] {
        for (HWND h : disabled) EnableWindow(h, TRUE);
        if (Application != nullptr) Application->ModalFinished();
        if (!alive.Alive()) return;
        FFormState.Exclude(fsModal);
        if (previous != nullptr && IsWindow(previous)) SetActiveWindow(previous);
    };
    try {
        FModalResult = mrNone;
        Show();
        TDialogInfo info = TDialogInfo::ForForm(this);
        if (info.Buttons.empty()) info.Buttons = PushButtonCaptions(this);
        info.ClickButton = [this](const std::string& Caption) {
            TControl* c = FindControlByCaption(this, PlainCaption(Caption));
            if (c == nullptr) return false;
            c->Click();
            return true;
        };
        info.CurrentResult = [this] { return FModalResult; };
        if (RespondToDialog(info)) {
            FModalResult = info.Result != mrNone ? info.Result : mrCancel;
        } else {
            TModalLoopScope scope;
            SendMessageA(Handle(), CM_ACTIVATE, 0, 0);
            int idle = 0;
            while (alive.Alive()) {
                if (Application != nullptr) {
                    Application->HandleMessage();
                } else {
                    MSG msg;
                    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
                        PostQuitMessage(static_cast<int>(msg.wParam));
                        FModalResult = mrCancel;
                    } else {
                        TranslateMessage(&msg);
                        DispatchMessageA(&msg);
                    }
                }
                if (!alive.Alive()) break;
                // Headless: when nothing can arrive any more (the input script ran
                // out), the loop ends with mrCancel instead of waiting for ever.
                MSG peek;
                bool quiet = !InteractiveDialogs() && Input::Pending() == 0 &&
                             !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
                idle = quiet ? idle + 1 : 0;
                if (Application != nullptr && Application->Terminated()) FModalResult = mrCancel;
                else if (FModalResult == mrNone && (ModalScriptRanOut() || idle > 3)) FModalResult = mrCancel;
                if (FModalResult != mrNone) {
                    CloseModal();
                    if (FModalResult != mrNone) break;
                }
            }
            if (alive.Alive()) DialogLoopFinished(info, FModalResult);
            if (alive.Alive() && FHandle != nullptr) SendMessageA(FHandle, CM_DEACTIVATE, 0, 0);
        }
        if (alive.Alive()) Hide();
    } catch (...) {
        if (alive.Alive()) {
            try {
                Hide();
            } catch (...) {
            }
        }
        cleanup();
        throw;
    }
    cleanup();
    return alive.Alive() ? FModalResult : mrCancel;
}

void TCustomForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
        case caNone: FModalResult = mrNone; break;
        case caFree: Release(); break;
        default: break;
    }
}

bool TCustomForm::CloseQuery() {
    if (FFormStyle == fsMDIForm)
        for (TCustomForm* child : std::vector<TCustomForm*>(FMDIChildren))
            if (!child->CloseQuery()) return false;
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (FFormStyle == fsMDIChild) action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
    DoClose(action);
    if (action == caNone) return;
    if (Application != nullptr && Application->MainForm() != nullptr &&
        static_cast<TCustomForm*>(Application->MainForm()) == this) {
        Application->Terminate();
        if (action == caHide) Hide();
        return;
    }
    switch (action) {
        case caHide: Hide(); break;
        case caMinimize: SetWindowState(wsMinimized); break;
        case caFree: Release(); break;
        default: break;
    }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::Release() {
    if (FReleasePosted) return;
    FReleasePosted = true;
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&) {
    // The form goes from inside its own window procedure: nothing touches it after this.
    delete this;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    if (Value == fsMDIChild && FHandle == nullptr && Application != nullptr &&
        (Application->MainForm() == nullptr || Application->MainForm()->FFormStyle != fsMDIForm) &&
        !ComponentState().Contains(csLoading))
        throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    TFormStyle old = FFormStyle;
    FFormStyle = Value;
    if (FHandle == nullptr) return;
    if ((old == fsStayOnTop) != (Value == fsStayOnTop) && old != fsMDIChild && Value != fsMDIChild &&
        old != fsMDIForm && Value != fsMDIForm) {
        SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    RecreateWnd();
}

void TCustomForm::SetPosition(TPosition Value) { FPosition = Value; }

TWindowState TCustomForm::WindowState() const {
    if (FHandle != nullptr && IsWindowVisible(FHandle)) {
        if (IsIconic(FHandle)) return wsMinimized;
        if (IsZoomed(FHandle)) return wsMaximized;
        return wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (FHandle == nullptr || !Showing()) return;
    ShowWindow(FHandle, Value == wsMinimized ? SW_MINIMIZE : Value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu) return;
    if (Value != nullptr && Value->WindowHandle() != nullptr && Value->WindowHandle() != FHandle &&
        IsWindow(Value->WindowHandle()))
        throw EInvalidOperation("Menu '" + Value->Name() + "' is already being used by another form");
    if (FMenu != nullptr) FMenu->SetWindowHandle(nullptr);
    FMenu = Value;
    if (Value != nullptr) FreeNotification(Value);
    if (FHandle == nullptr) return;
    if (Value != nullptr)
        Value->SetWindowHandle(FHandle);
    else
        ::host::SetMenu(FHandle, nullptr);
}

TComponent* TCustomForm::MenuForStream() const { return FMenu; }
void TCustomForm::SetMenuForStream(TComponent* Value) { SetMenu(As<TMainMenu>(Value)); }

void TCustomForm::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

// ---------------------------------------------------------------------------
// MDI
// ---------------------------------------------------------------------------

void TCustomForm::MDIChildActivated(TCustomForm* Child) {
    auto it = std::find(FMDIChildren.begin(), FMDIChildren.end(), Child);
    if (it == FMDIChildren.end()) return;
    FMDIChildren.erase(it);
    FMDIChildren.insert(FMDIChildren.begin(), Child);
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    if (FFormStyle != fsMDIForm) return nullptr;
    for (TCustomForm* c : FMDIChildren)
        if (c->Visible()) return c;
    return nullptr;
}

int TCustomForm::MDIChildCount() const {
    if (FFormStyle != fsMDIForm) return 0;
    return static_cast<int>(std::count_if(FMDIChildren.begin(), FMDIChildren.end(),
                                          [](TCustomForm* c) { return c->FHandle != nullptr; }));
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
    int i = 0;
    for (TCustomForm* c : FMDIChildren)
        if (c->FHandle != nullptr && i++ == Index) return c;
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

void TCustomForm::Cascade() {
    int step = GetSystemMetrics(SM_CYCAPTION) + 4, n = 0;
    RECT r{};
    if (FClientHandle != nullptr) ::host::GetClientRect(FClientHandle, &r);
    for (auto it = FMDIChildren.rbegin(); it != FMDIChildren.rend(); ++it) {
        if (!(*it)->Visible()) continue;
        (*it)->SetBounds(n * step, n * step, std::max(100L, long(r.right * 2 / 3)), std::max(80L, long(r.bottom * 2 / 3)));
        (*it)->BringToFront();
        ++n;
    }
}

void TCustomForm::Tile() {
    std::vector<TCustomForm*> shown;
    for (TCustomForm* c : FMDIChildren)
        if (c->Visible()) shown.push_back(c);
    if (shown.empty() || FClientHandle == nullptr) return;
    RECT r{};
    ::host::GetClientRect(FClientHandle, &r);
    int h = static_cast<int>(r.bottom / static_cast<long>(shown.size()));
    for (size_t i = 0; i < shown.size(); ++i) shown[i]->SetBounds(0, static_cast<int>(i) * h, r.right, h);
}

void TCustomForm::ArrangeIcons() {}

void TCustomForm::Next() {
    if (FMDIChildren.size() < 2) return;
    TCustomForm* first = FMDIChildren.front();
    FMDIChildren.erase(FMDIChildren.begin());
    FMDIChildren.push_back(first);
    if (TCustomForm* a = ActiveMDIChild()) a->BringToFront();
}

void TCustomForm::Previous() {
    if (FMDIChildren.size() < 2) return;
    TCustomForm* last = FMDIChildren.back();
    FMDIChildren.pop_back();
    FMDIChildren.insert(FMDIChildren.begin(), last);
    if (TCustomForm* a = ActiveMDIChild()) a->BringToFront();
}

// ---------------------------------------------------------------------------
// TDataModule, TCustomFrame
// ---------------------------------------------------------------------------

TDataModule::TDataModule(TComponent* AOwner) : TDataModule(AOwner, 0) { FReadFormFile = true; }

TDataModule::TDataModule(TComponent* AOwner, int) : TComponent(AOwner) {
    if (Screen != nullptr) Screen->AddDataModule(this);
}

TDataModule::~TDataModule() {
    Destroying();
    if (!FDestroyed) {
        FDestroyed = true;
        OnDestroy(this);
    }
    if (Screen != nullptr) Screen->RemoveDataModule(this);
}

void TDataModule::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    if (FReadFormFile) ReadInheritedForm(this, TDataModule::StaticClass());
    try {
        OnCreate(this);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleException(this);
    }
}

void TDataModule::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (!c->HasParent()) Proc(c);
    }
}

TCustomFrame::TCustomFrame(TComponent* AOwner) : TScrollingWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FWidth = 320;
    FHeight = 240;
}

void TCustomFrame::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    if (ClassType() != TFrame::StaticClass() && ClassType() != TCustomFrame::StaticClass()) {
        ReadInheritedForm(this, TFrame::StaticClass());
        RealignTree(this);
    }
}

void TCustomFrame::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (!c->HasParent()) Proc(c);
    }
    TScrollingWinControl::GetChildren(Proc, Root);
}

}  // namespace host
