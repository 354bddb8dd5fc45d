// TApplication: the application window, the message loop, idle processing, exceptions, activation, help, shortcuts and hints; the globals and their lifetime.
#include "host/app/app.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <unistd.h>

#include "host/app/dialogs.h"
#include "host/app/responders.h"
#include "host/app/sysdialogs.h"
#include "host/controls/actnlist.h"
#include "host/controls/comctrls.h"
#include "host/controls/controls.h"
#include "host/controls/extctrls.h"
#include "host/controls/forms.h"
#include "host/controls/stdreg.h"
#include "host/gdi/gdi.h"
#include "host/rtl/clock.h"
#include "host/rtl/sysutils.h"
#include "host/windows/inputsim.h"
#include "host/windows/windows.h"

namespace host {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

constexpr UINT_PTR kHintTimerId = 1;
constexpr int kHintTimerNone = 0, kHintTimerShow = 1, kHintTimerHide = 2;
constexpr const char* kAppClass = "TApplication";

// ---- the globals' lifetime ----

std::unique_ptr<TApplication>& AppSlot() {
    static std::unique_ptr<TApplication> slot;
    return slot;
}
std::unique_ptr<TScreen>& ScreenSlot() {
    static std::unique_ptr<TScreen> slot;
    return slot;
}

void StartUp() {
    ScreenSlot() = std::make_unique<TScreen>(nullptr);
    Screen = ScreenSlot().get();
    AppSlot() = std::make_unique<TApplication>(nullptr);
    Application = AppSlot().get();
}

// Frees the application first (with every form it owns, while the screen is still
// there to be told), then the screen.
void ShutDown() {
    if (auto& app = AppSlot()) {
        app->DestroyComponents();
        app.reset();
    }
    Application = nullptr;
    ScreenSlot().reset();
    Screen = nullptr;
}

// At process exit the application and the screen are left to the operating
// system: the window manager's and the painter's own state, made on first use by
// whatever ran, may already be gone by then, and freeing forms against it would
// corrupt memory. The objects stay reachable through the globals. Programs that
// want them freed in order call DoneApplication at the end of main.
void LeaveToTheSystem() {
    (void)AppSlot().release();
    (void)ScreenSlot().release();
}

struct TStartUp {
    TStartUp() {
        StartUp();
        std::atexit(&LeaveToTheSystem);
    }
} gStartUp;

std::string ProgramPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

LRESULT AppClassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void EnsureClass(const char* Name, WNDPROCFN Proc, HBRUSH Background) {
    WNDCLASSA existing;
    if (GetClassInfoA(0, Name, &existing)) return;
    WNDCLASSA wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = Name;
    wc.hCursor = LoadCursorA(0, IDC_ARROW);
    wc.hbrBackground = Background;
    RegisterClassA(&wc);
}

// The first hint along the parent chain.
std::string GetHint(TControl* Control) {
    for (; Control != nullptr; Control = Control->Parent())
        if (!Control->Hint().empty()) return Control->Hint();
    return {};
}

// The control whose hint shows for Control: the first one along the parent chain
// that shows hints.
TControl* GetHintControl(TControl* Control) {
    while (Control != nullptr && !Control->ShowHint()) Control = Control->Parent();
    if (Control != nullptr && Control->ComponentState().Contains(csDesigning)) Control = nullptr;
    return Control;
}

// True when no message can come any more without someone acting: nothing queued,
// no scripted input, and a virtual clock that only a test advances.
bool NothingCanArrive() {
    return Clock::IsVirtual() && GetQueueStatus(QS_ALLINPUT) == 0 && Input::Pending() == 0;
}

// Marks a block as running and clears the mark on every way out.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

}  // namespace

void RecreateApplication() {
    ShutDown();
    StartUp();
}

void DoneApplication() { ShutDown(); }

std::string GetShortHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string GetLongHint(const std::string& Hint) {
    size_t bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {
    FExeName = ProgramPath();
    FTitle = ChangeFileExt(ExtractFileName(FExeName), "");
    // Form files name the standard controls and dialogs by class.
    RegisterStandardControls();
    RegisterDialogClasses();
    // A program starts as the active one (the window layer counts it so until another
    // program takes the focus), so its first WM_ACTIVATEAPP that matters deactivates it.
    FActive = true;
}

TApplication::~TApplication() {
    // Owned forms go first, while the application can still be told about them.
    DestroyComponents();
    StopHintTimer();
    FHintWindow.reset();
    DestroyHandle();
}

void TApplication::DestroyHandle() {
    if (FHandle != nullptr && IsWindow(FHandle)) {
        SetWindowLongPtrA(FHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
        DestroyWindow(FHandle);
    }
    FHandle = nullptr;
    if (FWndProcInstance != nullptr) FreeObjectInstance(FWndProcInstance);
    FWndProcInstance = nullptr;
    FDefWndProc = nullptr;
}

HWND TApplication::Handle() {
    if (FHandle != nullptr && IsWindow(FHandle)) return FHandle;
    // The window manager may have been reset under us (tests): start again.
    DestroyHandle();
    EnsureClass(kAppClass, &AppClassProc, nullptr);
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    FHandle = CreateWindowExA(0, kAppClass, FTitle.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, 0, nullptr);
    if (FHandle == nullptr) throw EOSError("Cannot create the application window");
    FWndProcInstance = MakeObjectInstance(TWndMethod(this, &TApplication::WndProc));
    FDefWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FHandle, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FWndProcInstance)));
    return FHandle;
}

void TApplication::SetTitle(const std::string& Value) {
    FTitle = Value;
    if (FHandle != nullptr && IsWindow(FHandle)) SetWindowTextA(FHandle, Value.c_str());
}

void TApplication::SetMainForm(TForm* Value) {
    if (FMainForm == Value) return;
    if (FMainForm != nullptr) FMainForm->RemoveFreeNotification(this);
    FMainForm = Value;
    if (FMainForm != nullptr) FMainForm->FreeNotification(this);
}

void TApplication::SetIcon(TIcon* Value) { FIcon->Assign(Value); }

void TApplication::SetHint(const std::string& Value) {
    if (FHint == Value) return;
    FHint = Value;
    // Without a handler of its own the application shows the hint in the status bars
    // that ask for it (AutoHint).
    if (OnHint.Assigned())
        OnHint(this);
    else
        ShowHintInStatusBars(FHint);
}

void TApplication::SetHintColor(TColor Value) {
    FHintColor = Value;
    if (FHintWindow != nullptr) FHintWindow->SetColor(Value);
}

void TApplication::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (auto* control = dynamic_cast<TControl*>(AComponent)) ControlDestroying(control);
}

void TApplication::ControlDestroying(TControl* Control) {
    if (Control == nullptr) return;
    if (Control == FHintControl) CancelHint();
    if (Control == FHintControl) FHintControl = nullptr;
    if (Control == FMouseControl) FMouseControl = nullptr;
}

// ---- forms ----

TComponent* TApplication::CreateForm(TClass InstanceClass) {
    if (InstanceClass == nullptr) throw EInvalidOperation("CreateForm needs a form class");
    TComponent* instance = InstanceClass->Create<TComponent>(static_cast<TComponent*>(this));
    if (FMainForm == nullptr)
        if (auto* form = dynamic_cast<TForm*>(instance)) {
            form->HandleNeeded();
            SetMainForm(form);
        }
    return instance;
}

// ---- the message loop ----

bool TApplication::ProcessMessage(MSG& Msg) {
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    bool handled = false;
    OnMessage(Msg, handled);
    if (!IsHintMsg(Msg) && !handled && !IsMDIMsg(Msg) && !IsKeyMsg(Msg) && !IsDlgMsg(Msg)) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
    return true;
}

// A key or button press, or the application losing the activation, ends a hint
// that is showing. The message goes on as usual.
bool TApplication::IsHintMsg(MSG& Msg) {
    if (!FHintShowing) return false;
    switch (Msg.message) {
        case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_ACTIVATE: case WM_ACTIVATEAPP:
            CancelHint();
            break;
    }
    return false;
}

// Key messages go first to the control as CN_KEYDOWN..., so that controls see
// shortcuts and dialog keys before the window procedure does.
bool TApplication::IsKeyMsg(MSG& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
    HWND wnd = GetCapture();
    if (wnd == nullptr) {
        wnd = Msg.hwnd;
        if (FMainForm != nullptr && FMainForm->HandleAllocated() && wnd != nullptr && wnd == FMainForm->ClientHandle()) {
            wnd = FMainForm->Handle();
        } else {
            // The nearest window of one of our controls: others would not know CN_* messages.
            HWND w = wnd;
            while (w != nullptr && FindControl(w) == nullptr) w = GetParent(w);
            if (w != nullptr) wnd = w;
        }
    }
    if (wnd == nullptr) return false;
    return SendMessageA(wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

// Dialog messages of a non-framework dialog window: there are none on this host.
bool TApplication::IsDlgMsg(MSG& Msg) {
    (void)Msg;
    return false;
}

// MDI system-menu accelerators (Ctrl+F4, Ctrl+F6) of an MDI child.
bool TApplication::IsMDIMsg(MSG& Msg) {
    if (FMainForm == nullptr || FMainForm->FormStyle() != fsMDIForm) return false;
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
    TCustomForm* child = FMainForm->ActiveMDIChild();
    if (child == nullptr || (GetKeyState(VK_CONTROL) & 0x8000) == 0) return false;
    if (Msg.wParam == VK_F4) {
        child->Close();
        return true;
    }
    if (Msg.wParam == VK_F6) {
        FMainForm->Next();
        return true;
    }
    return false;
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::Idle(const MSG& Msg) {
    (void)Msg;
    TControl* control = DoMouseIdle();
    if (FShowHint && FMouseControl == nullptr) CancelHint();
    SetHint(GetLongHint(GetHint(control)));
    bool done = true;
    try {
        OnIdle(this, done);
        if (done) DoActionIdle();
    } catch (...) {
        HandleException(this);
    }
    FIdleExhausted = false;
    if (done) FIdleExhausted = !WaitMessage() || NothingCanArrive();
}

TControl* TApplication::DoMouseIdle() {
    POINT p;
    GetCursorPos(&p);
    TControl* result = FindDragTarget(p, true);
    if (result != nullptr && result->ComponentState().Contains(csDesigning)) result = nullptr;
    FMouseControl = result;
    return result;
}

// Lets every visible form update its actions (and through them the controls
// linked to them).
void TApplication::DoActionIdle() {
    if (Screen == nullptr) return;
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen->CustomFormCount(); ++i) forms.push_back(Screen->CustomForms(i));
    for (TCustomForm* form : forms) {
        // A form freed by an earlier form's action update is no longer in the list.
        bool alive = false;
        for (int i = 0; i < Screen->CustomFormCount() && !alive; ++i) alive = Screen->CustomForms(i) == form;
        if (alive && form->HandleAllocated() && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()))
            form->UpdateActions();
    }
}

void TApplication::Run() {
    FRunning = true;
    TFlagScope running(FRunning);
    if (FMainForm != nullptr && FShowMainForm) FMainForm->Show();
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (EUnexpectedDialog&) {
            throw;
        } catch (...) {
            HandleException(this);
        }
        // Headless: nothing more can arrive, so nothing would ever end the loop.
        if (FIdleExhausted) break;
    }
}

void TApplication::Terminate() {
    FTerminated = true;
    PostQuitMessage(0);
}

// ---- exceptions ----

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    auto report = [&](Exception& E) {
        if (!OnException.Assigned() || FHandlingException) {
            ShowException(E);
            return;
        }
        TFlagScope handling(FHandlingException);
        try {
            OnException(Sender, E);
        } catch (EUnexpectedDialog&) {
            throw;
        } catch (Exception& again) {
            ShowException(again);
        } catch (std::exception& again) {
            Exception wrapped(again.what());
            ShowException(wrapped);
        } catch (...) {
            Exception wrapped("Unknown exception in the exception handler");
            ShowException(wrapped);
        }
    };
    try {
        std::rethrow_exception(current);
    } catch (EUnexpectedDialog&) {
        throw;
    } catch (EAbort&) {
    } catch (Exception& E) {
        report(E);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        report(wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        report(wrapped);
    }
}

void TApplication::ShowException(Exception& E) {
    std::string msg = E.Message();
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

// ---- window and activation ----

void TApplication::WndProc(TMessage& Message) {
    try {
        auto hooks = FWindowHooks;
        for (auto& hook : hooks) {
            bool handled = false;
            hook(Message, handled);
            if (handled) return;
        }
        switch (Message.Msg) {
            case WM_ACTIVATEAPP:
                SetActive(Message.WParam != 0);
                break;
            case WM_SYSCOMMAND:
                switch (Message.WParam & 0xFFF0) {
                    case SC_MINIMIZE: Minimize(); return;
                    case SC_RESTORE: Restore(); return;
                }
                break;
            case WM_CLOSE:
                if (FMainForm != nullptr) FMainForm->Close();
                return;
            case WM_TIMER:
                if (Message.WParam == kHintTimerId) {
                    HintTimerExpired();
                    return;
                }
                break;
            case CM_APPKEYDOWN:
                Message.Result = IsShortCut(static_cast<TWMKey&>(Message)) ? 1 : 0;
                return;
            case CM_ACTIONEXECUTE:
                Message.Result = ExecuteAction(reinterpret_cast<TBasicAction*>(Message.LParam)) ? 1 : 0;
                return;
            case CM_ACTIONUPDATE:
                Message.Result = UpdateAction(reinterpret_cast<TBasicAction*>(Message.LParam)) ? 1 : 0;
                return;
            case CM_INVOKEHELP:
                Message.Result = HelpCommand(static_cast<uint16_t>(Message.WParam), Message.LParam) ? 1 : 0;
                return;
        }
        Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    } catch (EUnexpectedDialog&) {
        throw;
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (Value) {
        OnActivate(this);
    } else {
        CancelHint();
        OnDeactivate(this);
    }
}

void TApplication::Minimize() {
    if (FMinimized) return;
    FMinimized = true;
    CancelHint();
    ShowOwnedPopups(Handle(), FALSE);
    if (FMainForm != nullptr && FMainForm->HandleAllocated() && GetParent(FMainForm->Handle()) != FHandle)
        ShowWindow(FMainForm->Handle(), SW_SHOWMINNOACTIVE);
    OnMinimize(this);
}

void TApplication::Restore() {
    if (!FMinimized) return;
    FMinimized = false;
    if (FMainForm != nullptr && FMainForm->HandleAllocated() && IsIconic(FMainForm->Handle()))
        ShowWindow(FMainForm->Handle(), SW_RESTORE);
    ShowOwnedPopups(Handle(), TRUE);
    OnRestore(this);
}

void TApplication::BringToFront() {
    HWND top = nullptr;
    if (FHandle != nullptr) top = GetLastActivePopup(FHandle);
    if ((top == nullptr || top == FHandle) && FMainForm != nullptr && FMainForm->HandleAllocated())
        top = FMainForm->Handle();
    if (top != nullptr && IsWindowVisible(top) && IsWindowEnabled(top)) SetForegroundWindow(top);
}

void TApplication::HookMainWindow(const TWindowHook& Hook) {
    Handle();
    FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& Hook) {
    auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
    if (it != FWindowHooks.end()) FWindowHooks.erase(it);
}

void TApplication::ModalStarted() { ++FModalLevel; }
void TApplication::ModalFinished() {
    if (FModalLevel > 0) --FModalLevel;
}

// ---- message boxes and help ----

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    HWND active = GetActiveWindow();
    int result = MessageBoxA(Handle(), Text.c_str(), (Caption.empty() ? FTitle : Caption).c_str(), Flags);
    if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
    return result;
}

bool TApplication::HelpCommand(uint16_t Command, intptr_t Data) {
    bool callHelp = true;
    bool result = false;
    OnHelp(Command, Data, callHelp, result);
    // No help viewer exists on this host: a request left to it is not handled.
    return result;
}

bool TApplication::HelpContext(int Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpJump(const std::string& JumpID) {
    std::string command = "JumpID(\"\",\"" + JumpID + "\")";
    return HelpCommand(HELP_COMMAND, reinterpret_cast<intptr_t>(command.c_str()));
}

// ---- actions and shortcuts ----

bool TApplication::ExecuteAction(TBasicAction* Action) {
    bool handled = false;
    OnActionExecute(Action, handled);
    return handled;
}

bool TApplication::UpdateAction(TBasicAction* Action) {
    bool handled = false;
    OnActionUpdate(Action, handled);
    return handled;
}

bool TApplication::IsShortCut(TWMKey& Message) {
    bool handled = false;
    OnShortCut(Message, handled);
    if (handled) return true;
    return FMainForm != nullptr && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->Handle()) &&
           FMainForm->IsShortCut(Message);
}

// ---- hints ----

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
    if (Control == nullptr) return;
    TPoint pos = Control->ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    TControl* hintControl = GetHintControl(FindDragTarget(pos, true));
    if (hintControl == nullptr || !FShowHint) {
        CancelHint();
        return;
    }
    TPoint local = hintControl->ScreenToClient(pos);
    bool inside = local.x >= FHintCursorRect.left && local.x < FHintCursorRect.right &&
                  local.y >= FHintCursorRect.top && local.y < FHintCursorRect.bottom;
    if (hintControl != FHintControl || !inside) {
        bool wasActive = FHintActive;
        int pause = wasActive ? FHintShortPause : FHintPause;
        hintControl->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
        CancelHint();
        FHintActive = wasActive;
        FHintControl = hintControl;
        FHintCursorRect = hintControl->ClientRect();
        StartHintTimer(pause, kHintTimerShow);
    }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
    FHintControl = GetHintControl(FindDragTarget(CursorPos, true));
    if (FHintControl == nullptr || !FShowHint || !FHintControl->ShowHint()) {
        CancelHint();
        return;
    }
    THintInfo info;
    info.HintControl = FHintControl;
    info.HintPos = CursorPos;
    info.HintPos.y += GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    info.HintMaxWidth = Screen != nullptr ? Screen->Width() : 1024;
    info.HintColor = FHintColor;
    info.CursorRect = FHintControl->ClientRect();
    info.CursorPos = FHintControl->ScreenToClient(CursorPos);
    info.HintStr = GetShortHint(GetHint(FHintControl));
    info.HideTimeout = FHintHidePause;
    bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow) OnShowHint(info.HintStr, canShow, info);
    FHintActive = canShow && FHintControl != nullptr;
    if (!FHintActive || info.HintStr.empty()) {
        HideHint();
        return;
    }
    FShownHint = info;
    FHintCursorRect = info.CursorRect;
    // The hint window, of HintWindowClass, sized to the text by CalcHintRect.
    TClass cls = HintWindowClass();
    if (FHintWindow == nullptr || FHintWindow->ClassType() != cls)
        FHintWindow.reset(cls->Create<THintWindow>(static_cast<TComponent*>(nullptr)));
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    FHintShowing = true;
    if (info.ReshowTimeout > 0)
        StartHintTimer(info.ReshowTimeout, kHintTimerShow);
    else
        StartHintTimer(info.HideTimeout, kHintTimerHide);
}

void TApplication::HideHint() {
    if (FHintWindow != nullptr) FHintWindow->ReleaseHandle();
    FHintShowing = false;
}

void TApplication::CancelHint() {
    if (FHintControl != nullptr || FHintShowing) {
        HideHint();
        FHintControl = nullptr;
        FHintActive = false;
        StopHintTimer();
    }
}

TClass TApplication::HintWindowClass() const {
    return FHintWindowClass != nullptr ? FHintWindowClass : THintWindow::StaticClass();
}

void TApplication::SetHintWindowClass(TClass Value) {
    if (Value != nullptr && !Value->InheritsFrom(THintWindow::StaticClass()))
        throw EInvalidOperation(std::string("Hint window class ") + Value->ClassName() +
                                " does not derive from THintWindow");
    CancelHint();
    FHintWindow.reset();
    FHintWindowClass = Value;
}

void TApplication::StartHintTimer(int Pause, int Mode) {
    StopHintTimer();
    if (SetTimer(Handle(), kHintTimerId, static_cast<UINT>(std::max(Pause, 1)), nullptr) == 0) {
        CancelHint();
        return;
    }
    FHintTimerMode = Mode;
}

void TApplication::StopHintTimer() {
    if (FHintTimerMode != kHintTimerNone && FHandle != nullptr) KillTimer(FHandle, kHintTimerId);
    FHintTimerMode = kHintTimerNone;
}

void TApplication::HintTimerExpired() {
    int mode = FHintTimerMode;
    StopHintTimer();
    if (mode == kHintTimerHide) {
        HideHint();
    } else if (mode == kHintTimerShow) {
        POINT p;
        GetCursorPos(&p);
        ActivateHint(p);
    }
}

}  // namespace host
