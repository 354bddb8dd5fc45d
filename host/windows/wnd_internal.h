// The window manager's internal state: windows, classes, procedures, the queue and the helpers the units share.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/gdi/gdiobj.h"
#include "host/gdi/region.h"
#include "host/windows/windows.h"

namespace host::win {

struct TWndClass {
    std::string Name;
    ATOM Atom = 0;
    UINT Style = 0;
    WNDPROC Proc = nullptr;
    int ClsExtra = 0, WndExtra = 0;
    HINSTANCE Instance = 0;
    HICON Icon = nullptr, IconSm = nullptr;
    HCURSOR Cursor = nullptr;
    HBRUSH Background = nullptr;
    std::string MenuName;
    int Windows = 0;
    bool Predefined = false;
    bool Unregistered = false;
};

struct TScrollBar {
    int Min = 0, Max = 100;
    UINT Page = 0;
    int Pos = 0, TrackPos = 0;
    bool Tracking = false;
};

struct TWnd {
    HWND Handle = nullptr;
    std::shared_ptr<TWndClass> Class;
    DWORD Style = 0, ExStyle = 0;
    std::string Text;
    TWnd* Parent = nullptr;           // the desktop for top-levels
    TWnd* Owner = nullptr;            // top-levels only
    std::vector<TWnd*> Children;      // z-order, top first
    RECT Rect;                        // window rectangle in the parent's client coordinates
    RECT Client;                      // client rectangle relative to the window's top-left
    RECT NormalRect;                  // the restored rectangle while minimised or maximised
    bool HasNormalRect = false;
    std::vector<WNDPROC> Chain;       // procedure chain, Chain.back() is called first
    LONG_PTR UserData = 0, Id = 0;
    HINSTANCE Instance = 0;
    HMENU Menu = nullptr;
    std::vector<uint8_t> Extra;
    std::vector<std::pair<std::string, void*>> Props;
    TScrollBar HBar, VBar;
    // painting state
    TRegion Update;                   // client coordinates
    bool Erase = false, NCPending = false, InternalPaint = false;
    // a top-level's pixels
    std::unique_ptr<gdi::TBitmapObj> Surface;
    HWND LastActivePopup = nullptr;
    bool CaptionActive = false;       // the caption is drawn in the active colours
    bool Dying = false, Dead = false;
    bool Created = false;

    WNDPROC Proc() const { return Chain.empty() ? nullptr : Chain.back(); }
    bool IsChild() const { return (Style & WS_CHILD) != 0; }
    int Width() const { return Rect.right - Rect.left; }
    int Height() const { return Rect.bottom - Rect.top; }
};

inline constexpr uintptr_t kFirstHandle = 0x10000;

// The window manager's state.
struct TState {
    std::unordered_map<uintptr_t, std::unique_ptr<TWnd>> Windows;
    std::vector<TWnd*> Index;  // (handle - kFirstHandle) / 4 → the live window, for fast look-ups
    std::vector<std::unique_ptr<TWnd>> Graveyard;  // destroyed, freed when no message is being handled
    uintptr_t NextHandle = kFirstHandle;
    TWnd* Desktop = nullptr;
    std::vector<std::shared_ptr<TWndClass>> Classes;
    ATOM NextAtom = 0xC000;
    int SendDepth = 0;
    uint64_t MessageCount = 0;
    uint64_t GeometryVersion = 1;
    bool DesktopDirty = true;
    HWND Capture = nullptr, Focus = nullptr, Active = nullptr, LastActive = nullptr;
    bool AppActive = true;
    HWND Locked = nullptr;
    HCURSOR Cursor = nullptr;
    int CursorCount = 0;
    POINT CursorPos;
    int Beeps = 0;
};
extern TState gState;
inline TState& S() { return gState; }
// Records a new window under its handle, and forgets one.
void IndexWindow(TWnd* W);
void UnindexWindow(HWND H);

// The live window of a handle (nullptr for a destroyed or unknown one; the desktop too).
TWnd* Find(HWND H);
// Like Find, but a window being destroyed (inside WM_DESTROY/WM_NCDESTROY) is found too.
TWnd* FindAny(HWND H);
TWnd* Desktop();
inline bool IsTop(const TWnd* W) { return W != nullptr && W->Parent == Desktop(); }
TWnd* TopOf(TWnd* W);
// Frees destroyed windows once nothing is being handled.
void CollectGarbage();

// Geometry (in screen coordinates or the top-level's surface coordinates).
POINT ClientOriginScreen(const TWnd* W);
POINT WindowOriginScreen(const TWnd* W);
POINT WindowOriginSurface(const TWnd* W);   // relative to the top-level's window origin
RECT WindowRectScreen(const TWnd* W);
bool IsShowing(const TWnd* W);               // visible with every ancestor, and not a minimised top-level
void GeometryChanged();                      // window DCs recompute their visible regions

// Messages
LRESULT Send(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CallProc(WNDPROC Proc, HWND H, UINT Msg, WPARAM WParam, LPARAM LParam);
void ProcFreedOrRemoved(WNDPROC Proc, HWND H, WNDPROC Successor);
void ProcReinstated(WNDPROC Proc, HWND H);
bool ProcRemoved(WNDPROC Proc, HWND H);
// Follows the forwards of removed and freed procedures for a window: the live procedure a
// call through Proc reaches (nullptr when none).
WNDPROC ResolveProc(WNDPROC Proc, HWND H);
void DropPosted(HWND H);
void RemoveTimers(HWND H);
void ResetQueue();
void ResetTimers();
void ResetInput();
void ResetProcs();

// Non-client geometry and painting
struct TNCMetrics {
    int BorderX = 0, BorderY = 0;    // the frame or border on each side
    int EdgeX = 0, EdgeY = 0;        // client or static edge inside it
    int Caption = 0;                 // caption height (0: none)
    int Menu = 0;                    // menu bar height
    bool VScroll = false, HScroll = false;
    bool ThickFrame = false, DlgFrame = false, ThinBorder = false, SmallCaption = false;
};
TNCMetrics NCMetricsOf(DWORD Style, DWORD ExStyle, bool HasMenu, bool IsChild);
RECT DefaultClientRect(const TWnd* W, const RECT& WindowRect);  // in the same coordinates as WindowRect
LRESULT DefNCHitTest(TWnd* W, POINT Screen);
void PaintNonClient(TWnd* W, HDC Dc);        // Dc's logical (0,0) is the window's top-left
bool TrackLoop(HWND H, const std::function<bool(POINT)>& OnMove);
bool DefNCLButtonDown(TWnd* W, WPARAM Hit, POINT Screen);
bool DefSysCommand(TWnd* W, WPARAM Cmd, LPARAM LParam);
void ScrollBarClick(TWnd* W, int Bar, POINT Screen);
RECT ScrollBarRect(const TWnd* W, int Bar);  // window coordinates

// Painting
void Invalidate(TWnd* W, const TRegion* Rgn, UINT Flags);  // Rgn in client coordinates, nullptr: all
void InvalidateExposed(TWnd* Parent, const RECT& R);       // R in Parent's client coordinates
bool NeedsPaint(const TWnd* W);
TWnd* FindPaintWindow(TWnd* Filter);
void PaintNow(TWnd* W, bool Children, bool EraseOnly = false);
void ResizeSurface(TWnd* W);
void ReleaseWindowDCs(TWnd* W);
void ComposeDesktop();
bool LockedFor(const TWnd* W);
void UnlockIfLocked(TWnd* W);
void ResetPaint();

// Windows' state changes
void SetActive(TWnd* W, bool ByMouse);
void ActivateOther(TWnd* Except);
void SetFocusTo(TWnd* W);
void BringToTop(TWnd* W);
void MoveInZOrder(TWnd* W, HWND InsertAfter);
void ApplyMinMaxInfo(TWnd* W, MINMAXINFO& Info);
void SetAppActiveState(bool Active);

// Makes the window manager hear of system colour changes (WM_SYSCOLORCHANGE to top-levels).
void InstallSysColorHook();

// Cursors
HCURSOR SystemCursor(int Id);
void ResetCursors();

// Monitors
void ResetMonitors();

// Raw input processing in the message loop: the next raw event as a message when it
// matches the filter (events without a message are consumed on the way).
bool InputPending();
bool NextInputMessage(TWnd* Filter, bool AnyWindow, UINT Min, UINT Max, bool Remove, MSG& Out);
bool InRange(UINT Msg, UINT Min, UINT Max);
bool MatchesWindow(HWND H, TWnd* Filter, bool AnyWindow);
// Timers on the real clock: a pending WM_TIMER that matches.
bool NextTimerMessage(TWnd* Filter, bool AnyWindow, UINT Min, UINT Max, bool Remove, MSG& Out);
bool NextTimerDue(uint64_t& Due);
bool TimerExists(HWND H, UINT_PTR Id, LPARAM Proc);
// The dispatch depth and modal loops, for the "script ran out" rule.
int& DispatchDepth();
int& ModalLoops();
bool& RanOutFlag();

}  // namespace host::win
