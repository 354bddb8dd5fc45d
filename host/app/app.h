// TApplication and TScreen: the application object, the screen object, hints and the globals Application and Screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/gdi/gditypes.h"
#include "host/graphics/graphics.h"
#include "host/rtl/component.h"
#include "host/rtl/events.h"
#include "host/rtl/exceptions.h"

namespace host {

// Declared by the windowing layer (host/windows/messages.h, windows.h).
struct MSG;
struct TMessage;
struct TWMKey;
HOST_DECLARE_HANDLE(HMONITOR);
HOST_DECLARE_HANDLE(WNDPROC);

// Declared by the controls (host/controls/controls.h, forms.h, actnlist.h).
class TControl;
class TWinControl;
class TCustomForm;
class TForm;
class TDataModule;
class TBasicAction;
class TStrings;
class THintWindow;
class TStringList;

// ---------------------------------------------------------------------------
// Event types of the application and the screen
// ---------------------------------------------------------------------------

// (Action, Handled): Handled set to true means the application dealt with the action.
using TActionEvent = TEvent<TBasicAction*, bool&>;
// (Msg, Handled): a key that may be a shortcut, before forms and menus see it.
using TShortCutEvent = TEvent<TWMKey&, bool&>;
// (Sender, E): an exception that reached the application.
using TExceptionEvent = TEvent<TObject*, Exception&>;
// (Command, Data, CallHelp, Result): a help request. The framework's help event is
// a function returning a Boolean; here that result is the last, var parameter
// (false on entry): set it to true when the request was handled.
using THelpEvent = TEvent<uint16_t, intptr_t, bool&, bool&>;
// (Sender, Done): Done is true on entry; false asks to be called again before the
// application waits for the next message.
using TIdleEvent = TEvent<TObject*, bool&>;
// (Msg, Handled): every message the application's loop takes from the queue.
using TMessageEvent = TEvent<MSG&, bool&>;
// (Message, Handled): a hook of the application window (HookMainWindow).
using TWindowHook = TEvent<TMessage&, bool&>;

// What the application is about to show as a hint; OnShowHint and the control's
// CM_HINTSHOW may change any of it.
struct THintInfo {
    TControl* HintControl = nullptr;
    TClass HintWindowClass = nullptr;
    TPoint HintPos{};        // screen position of the hint window's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{};      // client coordinates of HintControl: the hint stays while the mouse is inside
    TPoint CursorPos{};      // client coordinates of HintControl
    int ReshowTimeout = 0;   // ms after which the hint is shown again (0: not again)
    int HideTimeout = 0;     // ms after which the hint goes
    std::string HintStr;
    void* HintData = nullptr;
};
using TShowHintEvent = TEvent<std::string&, bool&, THintInfo&>;

// Help commands (the system's help-call codes).
constexpr uint16_t HELP_CONTEXT = 0x0001;
constexpr uint16_t HELP_QUIT = 0x0002;
constexpr uint16_t HELP_CONTENTS = 0x0003;
constexpr uint16_t HELP_INDEX = 0x0003;
constexpr uint16_t HELP_HELPONHELP = 0x0004;
constexpr uint16_t HELP_SETCONTENTS = 0x0005;
constexpr uint16_t HELP_CONTEXTPOPUP = 0x0008;
constexpr uint16_t HELP_KEY = 0x0101;
constexpr uint16_t HELP_COMMAND = 0x0102;

// The part of a hint before the first '|' (all of it when there is none) and the
// part after it (all of it when there is none).
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

// ---------------------------------------------------------------------------
// TApplication
// ---------------------------------------------------------------------------

// The application: its hidden window, the message loop, idle processing,
// exception reporting, activation, hints and help. One instance, the global
// Application.
class TApplication : public TComponent {
    HOST_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // --- properties ---
    // The title: the caption of message boxes and of the application window.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    // The program file (settable so that tests can point it at fixtures).
    const std::string& ExeName() const { return FExeName; }
    void SetExeName(const std::string& Value) { FExeName = Value; }
    // The first form made through CreateForm (or set here); closing it ends Run.
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* Value);
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    // The hidden application window (made on first use); the owner of top-level forms.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    // True while the application has the activation (between WM_ACTIVATEAPP true and false).
    bool Active() const { return FActive; }
    bool Terminated() const { return FTerminated; }
    // The text of the current hint (the long part); setting it fires OnHint.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
    // True while minimised through Minimize.
    bool Minimized() const { return FMinimized; }
    // Nesting depth of modal forms and dialogs (ModalStarted/ModalFinished).
    int ModalLevel() const { return FModalLevel; }
    // True while Run's loop runs.
    bool Running() const { return FRunning; }

    // --- forms ---
    // Makes a form (or data module) of InstanceClass owned by the application;
    // the first TForm made becomes the main form. On an exception Reference stays
    // nullptr and the exception passes on.
    TComponent* CreateForm(TClass InstanceClass);
    template <class T>
    void CreateForm(TClass InstanceClass, T*& Reference) {
        Reference = nullptr;
        Reference = static_cast<T*>(CreateForm(InstanceClass));
    }
    template <class T>
    void CreateForm(T*& Reference) {
        CreateForm(T::StaticClass(), Reference);
    }

    // --- the message loop ---
    // Sets up the application (nothing to do on this host; kept for programs).
    void Initialize() {}
    // Shows the main form (when ShowMainForm) and handles messages until
    // Terminated. On the headless backend the loop also ends when the application
    // is idle and nothing more can arrive (no message, no scripted input, no timer
    // due on the virtual clock).
    void Run();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Handles one message; when none is waiting, idles (OnIdle, action updates)
    // and waits for the next unless an idle handler asked to be called again.
    void HandleMessage();
    // What HandleMessage does when the queue is empty.
    void Idle(const MSG& Msg);
    // Ends Run: sets Terminated and posts WM_QUIT.
    void Terminate();

    // --- exceptions ---
    // Reports the exception being handled (call it inside a catch block): EAbort
    // is silent; OnException when assigned, else ShowException. An exception
    // escaping OnException is shown by ShowException and never dispatched again.
    // An unexpected dialog in a test (EUnexpectedDialog) is never swallowed: it
    // passes on to the test.
    void HandleException(TObject* Sender);
    // Shows E's message in an error box titled with the application's title.
    void ShowException(Exception& E);

    // --- window and activation ---
    void Minimize();
    void Restore();
    void BringToFront();
    // Hooks see every message of the application window first, in the order they
    // were hooked; Handled stops the message there.
    void HookMainWindow(const TWindowHook& Hook);
    void UnhookMainWindow(const TWindowHook& Hook);
    // The application window's procedure (exposed for the window layer and tests).
    void WndProc(TMessage& Message);
    // Marks that activation moved to or away from the application (what
    // WM_ACTIVATEAPP does); fires OnActivate / OnDeactivate on a change.
    void SetActive(bool Value);

    // --- modal state ---
    void ModalStarted();
    void ModalFinished();

    // --- message boxes and help ---
    // A message box with the system's MB_* flags; returns IDOK… (see dialogs.h).
    int MessageBox(const std::string& Text, const std::string& Caption = "", unsigned Flags = 0);
    // Help requests go to OnHelp; the result is OnHelp's. There is no help
    // viewer on this host, so a request nobody handles returns false.
    bool HelpContext(int Context);
    bool HelpCommand(uint16_t Command, intptr_t Data);
    bool HelpJump(const std::string& JumpID);

    // --- actions and shortcuts ---
    // OnActionExecute / OnActionUpdate: true when the handler dealt with the action.
    bool ExecuteAction(TBasicAction* Action);
    bool UpdateAction(TBasicAction* Action);
    // OnShortCut, then the main form's shortcuts.
    bool IsShortCut(TWMKey& Message);

    // --- hints ---
    // Called by controls for every mouse message (as the framework's control
    // window procedure does): starts the hint timer for the control under the
    // mouse or cancels the hint.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // Shows the hint of the control at CursorPos (screen) now: builds the hint
    // info, asks the control (CM_HINTSHOW) and OnShowHint, then shows it.
    void ActivateHint(const TPoint& CursorPos);
    void CancelHint();
    void HideHint();
    // The class of the hint window (THintWindow or a descendant; nullptr: THintWindow).
    TClass HintWindowClass() const;
    void SetHintWindowClass(TClass Value);
    // The hint window, once a hint was shown (nullptr before).
    THintWindow* HintWindow() const { return FHintWindow.get(); }
    // What the hint pipeline is showing (for tests and the hint window).
    bool HintShowing() const { return FHintShowing; }
    const THintInfo& ShownHint() const { return FShownHint; }
    TControl* HintControl() const { return FHintControl; }

    // --- the thirteen events ---
    TActionEvent OnActionExecute;
    TActionEvent OnActionUpdate;
    TShortCutEvent OnShortCut;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    THelpEvent OnHelp;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TIdleEvent OnIdle;
    TMessageEvent OnMessage;

    // The control the last idle pass found under the mouse.
    TControl* MouseControl() const { return FMouseControl; }
    // Forgets references to a control that is going (called by the controls).
    void ControlDestroying(TControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct TApplicationAccess;
    bool ProcessMessage(MSG& Msg);
    bool IsHintMsg(MSG& Msg);
    bool IsKeyMsg(MSG& Msg);
    bool IsDlgMsg(MSG& Msg);
    bool IsMDIMsg(MSG& Msg);
    void DoActionIdle();
    TControl* DoMouseIdle();
    bool WaitForMore();
    void StartHintTimer(int Pause, int Mode);
    void StopHintTimer();
    void HintTimerExpired();
    void DestroyHandle();

    std::string FTitle;
    std::string FExeName;
    std::string FHint;
    std::string FHelpFile;
    TForm* FMainForm = nullptr;
    HWND FHandle = nullptr;
    WNDPROC FWndProcInstance = nullptr;  // the window procedure object of FHandle
    WNDPROC FDefWndProc = nullptr;       // the class procedure it replaced
    bool FRunning = false;
    bool FIdleExhausted = false;         // the last idle pass found that nothing more can arrive
    std::unique_ptr<TIcon> FIcon;
    bool FShowMainForm = true;
    bool FActive = false;
    bool FTerminated = false;
    bool FMinimized = false;
    bool FHandlingException = false;
    int FModalLevel = 0;
    std::vector<TWindowHook> FWindowHooks;

    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    bool FShowHint = true;
    bool FHintActive = false;
    bool FHintShowing = false;
    int FHintTimerMode = 0;  // 0 none, 1 show, 2 hide
    TPoint FHintCursorPos{};
    TRect FHintCursorRect{};
    THintInfo FShownHint;
    TControl* FHintControl = nullptr;
    TControl* FMouseControl = nullptr;
    std::unique_ptr<THintWindow> FHintWindow;
    TClass FHintWindowClass = nullptr;
};

// ---------------------------------------------------------------------------
// TScreen and TMonitor
// ---------------------------------------------------------------------------

// One display of the desktop.
class TMonitor : public TObject {
    HOST_CLASS(TMonitor, TObject)
public:
    TMonitor(HMONITOR AHandle, int AMonitorNum) : FHandle(AHandle), FMonitorNum(AMonitorNum) {}
    HMONITOR Handle() const { return FHandle; }
    int MonitorNum() const { return FMonitorNum; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const;
    int Height() const;
    bool Primary() const;

private:
    HMONITOR FHandle;
    int FMonitorNum;
};

// The screen: the forms and data modules of the application, which form and
// control are active, cursors, fonts, size and monitors. One instance, the
// global Screen.
class TScreen : public TComponent {
    HOST_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // Forms (TForm and descendants) and custom forms (every TCustomForm), the
    // most recently active first; data modules in the order they were made.
    int FormCount() const;
    TForm* Forms(int Index) const;
    int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
    TCustomForm* CustomForms(int Index) const;
    int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
    TDataModule* DataModules(int Index) const;

    // The form that has (or last had) the focus; ActiveForm only when it is a TForm.
    TForm* ActiveForm() const { return FActiveForm; }
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    // The control that has (or last had) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    // When focus moves to a control of another form, OnActiveFormChange comes
    // first, then OnActiveControlChange.
    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

    // Cursors by number: crDefault (0) and the negative built-ins are the system
    // cursors; an application adds its own at positive numbers. An unknown number
    // gives the default cursor. Setting a cursor takes it over (nullptr removes it).
    HCURSOR Cursors(int Index);
    void SetCursors(int Index, HCURSOR Handle);
    // The screen cursor: while it is not crDefault every window shows it.
    int Cursor() const { return FCursor; }
    void SetCursor(int Value);

    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    TRect DesktopRect() const;
    int DesktopLeft() const { return DesktopRect().left; }
    int DesktopTop() const { return DesktopRect().top; }
    int DesktopWidth() const;
    int DesktopHeight() const;
    // The primary monitor's work area.
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const;
    int WorkAreaHeight() const;

    // The installed font families, sorted (read on first use).
    TStrings* Fonts();
    void ResetFonts();
    TFont* HintFont() const { return FHintFont.get(); }

    // Monitors, re-read on every call of MonitorCount (the desktop may change).
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* MonitorFromPoint(const TPoint& Point);
    TMonitor* MonitorFromRect(const TRect& Rect);
    TMonitor* MonitorFromWindow(HWND Wnd);

    // --- what forms and controls report ---
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void AddDataModule(TDataModule* DataModule);
    void RemoveDataModule(TDataModule* DataModule);
    // A control of Form (or Form itself) received the focus.
    void FocusChanged(TCustomForm* Form, TWinControl* Control);
    // A control is being destroyed: the screen forgets it (firing
    // OnActiveControlChange when it was the active control).
    void ControlDestroying(TControl* Control);

private:
    void MoveToFront(TCustomForm* Form);
    std::vector<TForm*> FormList() const;
    void UpdateLastActive();
    void UpdateMonitors();
    void LoadSystemCursors();

    std::vector<TCustomForm*> FCustomForms;
    std::vector<TDataModule*> FDataModules;
    TForm* FActiveForm = nullptr;
    TCustomForm* FActiveCustomForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    // What the change events last told (compared only, never followed).
    TCustomForm* FLastActiveCustomForm = nullptr;
    TWinControl* FLastActiveControl = nullptr;
    struct TCursorRec {
        int Index;
        HCURSOR Handle;
        bool Owned;
    };
    std::vector<TCursorRec> FCursors;
    bool FCursorsLoaded = false;
    int FCursor = 0;
    int FPixelsPerInch = 96;
    std::unique_ptr<TStringList> FFonts;
    std::unique_ptr<TFont> FHintFont;
    std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

// The application and screen objects: made at start-up. DoneApplication frees
// them (the application first, with every form it owns, then the screen) and
// leaves both globals null; a program calls it at the end of main. Without it
// they are left to the operating system at exit, as the window manager's and the
// painter's state they would need may already be gone then.
extern TApplication* Application;
extern TScreen* Screen;
void DoneApplication();

// Frees both objects (and every form the application owns) and makes new
// ones, for tests that need a fresh start.
void RecreateApplication();

}  // namespace host
