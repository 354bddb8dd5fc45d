// Windows: classes, creation, the window tree, procedures and subclassing, the queue, timers,
// painting, non-client areas, input, cursors and monitors, with the operating system's names.
//
// Every call checks its handle: a destroyed or unknown window makes it fail (0, nullptr or
// FALSE) and do nothing. All windows belong to the one user-interface thread.
#pragma once

#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gditypes.h"
#include "host/os/keyboard.h"
#include "host/rtl/events.h"
#include "host/windows/messages.h"

namespace host {

class TRegion;

using ATOM = WORD;
using HINSTANCE = uintptr_t;  // a module (see host/rtl/resources.h); 0 is the executable
HOST_DECLARE_HANDLE(HMENU);
HOST_DECLARE_HANDLE(HMONITOR);
// A window procedure: a plain function or an object's method (MakeObjectInstance). It is
// a handle, not a callable: CallWindowProcA resolves it, and a freed procedure is never run.
HOST_DECLARE_HANDLE(WNDPROC);
using WNDPROCFN = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using TWndMethod = TEvent<TMessage&>;

// The procedure handle of a plain function: the same handle for the same function, valid
// for the life of the process.
WNDPROC MakeWndProc(WNDPROCFN Proc);
// A procedure that calls Method with a TMessage (Result is the procedure's result).
// Free it with FreeObjectInstance once no window uses it; a freed instance still found in
// a subclass chain forwards to the procedure it had replaced.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC Proc);

// A window-procedure argument or field that takes either kind.
struct TWndProcRef {
    WNDPROC Proc = nullptr;
    TWndProcRef() = default;
    TWndProcRef(std::nullptr_t) {}
    TWndProcRef(WNDPROC P) : Proc(P) {}
    TWndProcRef(WNDPROCFN F) : Proc(F != nullptr ? MakeWndProc(F) : nullptr) {}
    operator WNDPROC() const { return Proc; }
};

// ---- window styles ----
inline constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000, WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
    WS_DLGFRAME = 0x00400000, WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000, WS_MINIMIZEBOX = 0x00020000,
    WS_MAXIMIZEBOX = 0x00010000, WS_TILED = WS_OVERLAPPED, WS_ICONIC = WS_MINIMIZE, WS_SIZEBOX = WS_THICKFRAME,
    WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
    WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW, WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU,
    WS_CHILDWINDOW = WS_CHILD;
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
    WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010, WS_EX_TRANSPARENT = 0x00000020,
    WS_EX_MDICHILD = 0x00000040, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
    WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTEXTHELP = 0x00000400, WS_EX_RIGHT = 0x00001000,
    WS_EX_LEFT = 0x00000000, WS_EX_RTLREADING = 0x00002000, WS_EX_LTRREADING = 0x00000000,
    WS_EX_LEFTSCROLLBAR = 0x00004000, WS_EX_RIGHTSCROLLBAR = 0x00000000, WS_EX_CONTROLPARENT = 0x00010000,
    WS_EX_STATICEDGE = 0x00020000, WS_EX_APPWINDOW = 0x00040000, WS_EX_LAYERED = 0x00080000,
    WS_EX_NOINHERITLAYOUT = 0x00100000, WS_EX_LAYOUTRTL = 0x00400000, WS_EX_NOACTIVATE = 0x08000000,
    WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE,
    WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
// Class styles
inline constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
    CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
    CS_BYTEALIGNCLIENT = 0x1000, CS_BYTEALIGNWINDOW = 0x2000, CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x00020000;
inline constexpr int CW_USEDEFAULT = int(0x80000000);

// ---- window data ----
inline constexpr int GWL_WNDPROC = -4, GWLP_WNDPROC = -4, GWL_HINSTANCE = -6, GWLP_HINSTANCE = -6,
    GWL_HWNDPARENT = -8, GWLP_HWNDPARENT = -8, GWL_ID = -12, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
    GWL_USERDATA = -21, GWLP_USERDATA = -21;
inline constexpr int GCL_MENUNAME = -8, GCLP_HBRBACKGROUND = -10, GCL_HBRBACKGROUND = -10, GCLP_HCURSOR = -12,
    GCL_HCURSOR = -12, GCLP_HICON = -14, GCL_HICON = -14, GCL_CBWNDEXTRA = -18, GCL_CBCLSEXTRA = -20,
    GCLP_WNDPROC = -24, GCL_WNDPROC = -24, GCL_STYLE = -26, GCLP_HICONSM = -34;

// ---- ShowWindow ----
inline constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
    SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8,
    SW_RESTORE = 9, SW_SHOWDEFAULT = 10, SW_FORCEMINIMIZE = 11, SW_MAX = 11;

// ---- SetWindowPos ----
inline constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_DRAWFRAME = 0x0020, SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200, SWP_NOREPOSITION = 0x0200,
    SWP_NOSENDCHANGING = 0x0400, SWP_DEFERERASE = 0x2000, SWP_ASYNCWINDOWPOS = 0x4000;
inline const HWND HWND_TOP = reinterpret_cast<HWND>(0);
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(intptr_t(-3));
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(intptr_t(0xFFFF));

// ---- GetWindow / GetAncestor / ChildWindowFromPointEx ----
inline constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4,
    GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
inline constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
inline constexpr UINT CWP_ALL = 0x0, CWP_SKIPINVISIBLE = 0x1, CWP_SKIPDISABLED = 0x2, CWP_SKIPTRANSPARENT = 0x4;

// ---- PeekMessage ----
inline constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002;
// QS_* for GetQueueStatus
inline constexpr UINT QS_KEY = 0x1, QS_MOUSEMOVE = 0x2, QS_MOUSEBUTTON = 0x4, QS_POSTMESSAGE = 0x8, QS_TIMER = 0x10,
    QS_PAINT = 0x20, QS_SENDMESSAGE = 0x40, QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON, QS_INPUT = QS_MOUSE | QS_KEY,
    QS_ALLINPUT = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE;

// ---- painting ----
inline constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004,
    RDW_VALIDATE = 0x0008, RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040,
    RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400,
    RDW_NOFRAME = 0x0800;
inline constexpr DWORD DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_NORESETATTRS = 0x4, DCX_CLIPCHILDREN = 0x8,
    DCX_CLIPSIBLINGS = 0x10, DCX_PARENTCLIP = 0x20, DCX_EXCLUDERGN = 0x40, DCX_INTERSECTRGN = 0x80,
    DCX_EXCLUDEUPDATE = 0x100, DCX_INTERSECTUPDATE = 0x200, DCX_LOCKWINDOWUPDATE = 0x400, DCX_USESTYLE = 0x10000, DCX_VALIDATE = 0x200000;
inline constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4, SW_SMOOTHSCROLL = 0x10;

// ---- cursors and icons ----
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_IBEAM = reinterpret_cast<const char*>(32513);
inline const char* const IDC_WAIT = reinterpret_cast<const char*>(32514);
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(32515);
inline const char* const IDC_UPARROW = reinterpret_cast<const char*>(32516);
inline const char* const IDC_SIZE = reinterpret_cast<const char*>(32640);
inline const char* const IDC_ICON = reinterpret_cast<const char*>(32641);
inline const char* const IDC_SIZENWSE = reinterpret_cast<const char*>(32642);
inline const char* const IDC_SIZENESW = reinterpret_cast<const char*>(32643);
inline const char* const IDC_SIZEWE = reinterpret_cast<const char*>(32644);
inline const char* const IDC_SIZENS = reinterpret_cast<const char*>(32645);
inline const char* const IDC_SIZEALL = reinterpret_cast<const char*>(32646);
inline const char* const IDC_NO = reinterpret_cast<const char*>(32648);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);
inline const char* const IDC_APPSTARTING = reinterpret_cast<const char*>(32650);
inline const char* const IDC_HELP = reinterpret_cast<const char*>(32651);
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(32512);
inline const char* const IDI_HAND = reinterpret_cast<const char*>(32513);
inline const char* const IDI_QUESTION = reinterpret_cast<const char*>(32514);
inline const char* const IDI_EXCLAMATION = reinterpret_cast<const char*>(32515);
inline const char* const IDI_ASTERISK = reinterpret_cast<const char*>(32516);
inline const char* const IDI_WINLOGO = reinterpret_cast<const char*>(32517);
inline const char* const IDI_WARNING = IDI_EXCLAMATION;
inline const char* const IDI_ERROR = IDI_HAND;
inline const char* const IDI_INFORMATION = IDI_ASTERISK;
inline const char* MAKEINTRESOURCEA(int Id) { return reinterpret_cast<const char*>(uintptr_t(WORD(Id))); }
inline bool IS_INTRESOURCE(const char* P) { return (reinterpret_cast<uintptr_t>(P) >> 16) == 0; }

// ---- monitors ----
inline constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor, rcWork;
    DWORD dwFlags = 0;
};
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, RECT*, LPARAM);

// ---- classes ----
struct WNDCLASSA {
    UINT style = 0;
    TWndProcRef lpfnWndProc;
    int cbClsExtra = 0, cbWndExtra = 0;
    HINSTANCE hInstance = 0;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;  // a brush, or (HBRUSH)(COLOR_x + 1)
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};
using WNDCLASS = WNDCLASSA;
struct WNDCLASSEXA {
    UINT cbSize = sizeof(WNDCLASSEXA);
    UINT style = 0;
    TWndProcRef lpfnWndProc;
    int cbClsExtra = 0, cbWndExtra = 0;
    HINSTANCE hInstance = 0;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};
// Class names compare without regard to case. Registering a name twice fails (0).
// Predefined: "#32770" (dialog) and "MDICLIENT" behave as plain windows with
// DefWindowProc; "STATIC" likewise.
ATOM RegisterClassA(const WNDCLASSA* Class);
ATOM RegisterClassExA(const WNDCLASSEXA* Class);
BOOL UnregisterClassA(const char* ClassName, HINSTANCE Instance);  // fails while windows of it exist
BOOL GetClassInfoA(HINSTANCE Instance, const char* ClassName, WNDCLASSA* Class);
BOOL GetClassInfoExA(HINSTANCE Instance, const char* ClassName, WNDCLASSEXA* Class);
int GetClassNameA(HWND Wnd, char* ClassName, int MaxCount);
std::string GetClassNameStr(HWND Wnd);
uintptr_t GetClassLongPtrA(HWND Wnd, int Index);
uintptr_t SetClassLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong);
inline uintptr_t GetClassLongA(HWND Wnd, int Index) { return GetClassLongPtrA(Wnd, Index); }
inline uintptr_t SetClassLongA(HWND Wnd, int Index, LONG_PTR V) { return SetClassLongPtrA(Wnd, Index, V); }

// ---- creation and destruction ----
// Sends WM_GETMINMAXINFO (top-levels), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE (a result of -1
// destroys the window and returns 0), then WM_SHOWWINDOW/WM_SIZE/WM_MOVE as the system does.
// A child needs a live parent; CW_USEDEFAULT positions a top-level in a cascade.
HWND CreateWindowExA(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X, int Y,
                     int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param);
inline HWND CreateWindowA(const char* ClassName, const char* WindowName, DWORD Style, int X, int Y, int Width,
                          int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param) {
    return CreateWindowExA(0, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu, Instance, Param);
}
// Hides, sends WM_DESTROY (parent first, then children) and WM_NCDESTROY (children first),
// releases capture, focus and activation held by the tree, destroys owned windows and the
// timers of each window. Safe from inside the window's own procedure: the handle dies at
// once, and the procedure's remaining calls on it fail.
BOOL DestroyWindow(HWND Wnd);
BOOL IsWindow(HWND Wnd);

// ---- the tree ----
HWND GetParent(HWND Wnd);        // the parent of a child, else the owner
HWND SetParent(HWND Wnd, HWND NewParent);  // nullptr: becomes a top-level; returns the old parent
BOOL IsChild(HWND Parent, HWND Wnd);
HWND GetWindow(HWND Wnd, UINT Cmd);
HWND GetTopWindow(HWND Wnd);     // the top child (Wnd 0: the top top-level)
HWND GetNextWindow(HWND Wnd, UINT Cmd);
HWND GetAncestor(HWND Wnd, UINT Flags);
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND Wnd);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param);              // top-levels, top to bottom
BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Proc, LPARAM Param);  // descendants, depth first
BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC Proc, LPARAM Param);
// Class and/or window text (nullptr: any); exact text, class without regard to case.
HWND FindWindowA(const char* ClassName, const char* WindowName);
HWND FindWindowExA(HWND Parent, HWND ChildAfter, const char* ClassName, const char* WindowName);
DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId);
DWORD GetCurrentThreadId();

// ---- state ----
BOOL IsWindowVisible(HWND Wnd);  // WS_VISIBLE on it and every ancestor
BOOL IsWindowEnabled(HWND Wnd);
BOOL EnableWindow(HWND Wnd, BOOL Enable);  // WM_ENABLE; returns TRUE when it was disabled
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);
BOOL ShowWindow(HWND Wnd, int CmdShow);    // returns TRUE when it was visible
BOOL ShowOwnedPopups(HWND Owner, BOOL Show);
BOOL OpenIcon(HWND Wnd);
BOOL CloseWindow(HWND Wnd);  // minimises
BOOL BringWindowToTop(HWND Wnd);
struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0, showCmd = 0;
    POINT ptMinPosition, ptMaxPosition;
    RECT rcNormalPosition;
};
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);

// ---- text ----
BOOL SetWindowTextA(HWND Wnd, const char* Text);   // through WM_SETTEXT
int GetWindowTextA(HWND Wnd, char* Text, int MaxCount);  // through WM_GETTEXT
int GetWindowTextLengthA(HWND Wnd);
std::string GetWindowTextStr(HWND Wnd);

// ---- geometry ----
BOOL GetWindowRect(HWND Wnd, RECT* R);   // screen coordinates
BOOL GetClientRect(HWND Wnd, RECT* R);   // (0, 0, width, height)
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
// Sends WM_WINDOWPOSCHANGING (unless SWP_NOSENDCHANGING) and applies the record as the
// procedure left it, then WM_NCCALCSIZE (size change or SWP_FRAMECHANGED),
// WM_WINDOWPOSCHANGED (whose default sends WM_MOVE and WM_SIZE). X, Y are in the
// parent's client coordinates for a child, the screen for a top-level.
BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL ClientToScreen(HWND Wnd, POINT* P);
BOOL ScreenToClient(HWND Wnd, POINT* P);
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);  // 0 = the screen
HWND WindowFromPoint(POINT P);  // deepest visible enabled-or-not window whose WM_NCHITTEST is not HTTRANSPARENT
HWND ChildWindowFromPoint(HWND Parent, POINT P);  // client coordinates of Parent
HWND ChildWindowFromPointEx(HWND Parent, POINT P, UINT Flags);
BOOL AdjustWindowRectEx(RECT* R, DWORD Style, BOOL Menu, DWORD ExStyle);
BOOL AdjustWindowRect(RECT* R, DWORD Style, BOOL Menu);

// ---- window data ----
LONG_PTR GetWindowLongPtrA(HWND Wnd, int Index);
LONG_PTR SetWindowLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong);  // returns the old value
inline LONG_PTR GetWindowLongA(HWND Wnd, int Index) { return GetWindowLongPtrA(Wnd, Index); }
inline LONG_PTR SetWindowLongA(HWND Wnd, int Index, LONG_PTR V) { return SetWindowLongPtrA(Wnd, Index, V); }
BOOL SetPropA(HWND Wnd, const char* Name, void* Data);  // names compare without regard to case
void* GetPropA(HWND Wnd, const char* Name);
void* RemovePropA(HWND Wnd, const char* Name);
HMENU GetMenu(HWND Wnd);
BOOL SetMenu(HWND Wnd, HMENU Menu);  // the menu bar of a top-level: SM_CYMENU lines of the frame (see menu.h)

// ---- procedures ----
// Calls Proc for the window: a function, an object instance, or (for a freed instance
// still in the window's subclass chain) the procedure it forwards to; 0 when nothing
// is left to call or Wnd is not a window (except WM_NCDESTROY-time calls on a dying one).
LRESULT CallWindowProcA(TWndProcRef Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The default behaviour of every message (see wndproc.cpp).
LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The procedure of the class a window was made of (what DefWindowProc-level calls reach
// after subclassing): same as GetClassLongPtr(GCLP_WNDPROC).
WNDPROC DefWindowProcHandle();
LRESULT DefFrameProcA(HWND Wnd, HWND MDIClient, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT DefMDIChildProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// ---- messages and the queue ----
// Calls the window's procedure at once; 0 for a bad handle.
LRESULT SendMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL SendNotifyMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);  // Wnd 0: a thread message
BOOL PostThreadMessageA(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(int ExitCode);
// 0 on WM_QUIT, -1 on a bad window filter, else 1. Order: sent-in input of the simulator,
// posted messages, input, WM_PAINT, WM_TIMER. Headless: when nothing is left the
// "script ran out" rule of host/windows/inputsim.h applies instead of blocking.
BOOL GetMessageA(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax);
BOOL PeekMessageA(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
// Headless: TRUE at once when something can be retrieved (on the real clock after waiting
// for the next timer); when nothing can arrive any more, the "script ran out" rule applies
// (the mode is cancelled, ModalScriptRanOut() becomes true) and it returns FALSE.
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* Msg);
LRESULT DispatchMessageA(const MSG* Msg);
DWORD GetMessagePos();
LONG GetMessageTime();
DWORD GetQueueStatus(UINT Flags);  // high word: kinds present; low word: the same (no "new" tracking)
BOOL InSendMessage();
// A number in 0xC000..0xFFFF, the same for the same name (without regard to case).
UINT RegisterWindowMessageA(const char* Name);

// ---- timers ----
// On the virtual clock, Clock::Advance delivers each due timer at its due time (WM_TIMER sent
// to the window's procedure, or the TIMERPROC called); on the real clock WM_TIMER comes
// through the queue, one pending per timer. A window's timer with an existing id is reset.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc);
BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent);

// ---- painting ----
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);
// A DC of the window's client area (GetDC), whole window (GetWindowDC), or as DCX_* flags
// say (GetDCEx). Wnd 0 or the desktop: the screen, composed first. Release with ReleaseDC.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);
HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags);
int ReleaseDC(HWND Wnd, HDC Dc);
HWND WindowFromDC(HDC Dc);
BOOL InvalidateRect(HWND Wnd, const RECT* R, BOOL Erase);  // Wnd 0: every window
BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const RECT* R);
BOOL ValidateRgn(HWND Wnd, HRGN Rgn);
BOOL UpdateWindow(HWND Wnd);
BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags);
BOOL GetUpdateRect(HWND Wnd, RECT* R, BOOL Erase);
int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
// One window at a time: its painting (and its children's) goes nowhere until unlocked,
// and what was invalidated meanwhile repaints then. LockWindowUpdate(0) unlocks.
BOOL LockWindowUpdate(HWND Wnd);
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip);
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect,
                   UINT Flags);
// Paints the window (non-client area, background, client, then its visible children in
// z-order) into Dc with the window's top-left at (X, Y): WM_PRINT with PRF_* flags, the
// client through WM_ERASEBKGND/WM_PAINT with wParam = the DC.
BOOL PaintWindowTo(HWND Wnd, HDC Dc, int X, int Y);
// Sends WM_NCPAINT/WM_ERASEBKGND/WM_PAINT to every window with a pending update, now.
void UpdateAllWindows();

// ---- scroll bars of a window's non-client area ----
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
    SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0, nMax = 0;
    UINT nPage = 0;
    int nPos = 0, nTrackPos = 0;
};
// Setting a range shows the bar (WS_HSCROLL/WS_VSCROLL and a frame change) when it can
// scroll, and hides it when it cannot (unless SIF_DISABLENOSCROLL). Clicks on the bar's
// arrows and page areas send WM_HSCROLL/WM_VSCROLL with SB_LINE*/SB_PAGE* then SB_ENDSCROLL;
// dragging the thumb sends SB_THUMBTRACK and SB_THUMBPOSITION.
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);  // returns the old position
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max);
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);

// ---- input ----
HWND SetCapture(HWND Wnd);  // returns the previous capture; WM_CAPTURECHANGED to the loser
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND Wnd);    // activates its top-level first; returns the previous focus
HWND GetFocus();
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND Wnd);
BOOL GetCursorPos(POINT* P);
BOOL SetCursorPos(int X, int Y);  // moves the cursor at once; no mouse message is made (the simulator makes those)
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Ms);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* Track);
BOOL DragDetect(HWND Wnd, POINT P);
BOOL MessageBeep(UINT Type);  // counted; see wintest::BeepCount

// ---- the caret ----
// One caret for the thread, owned by a window: CreateCaret replaces any caret there is
// (hidden, at (0, 0); Bitmap nullptr: a solid block of Width x Height, 0 meaning the
// border metrics; (HBITMAP)1: a grey block; another bitmap: its pixels are XORed).
// ShowCaret/HideCaret count (it shows when every HideCaret was matched; ShowCaret of a
// caret already shown fails). A shown caret inverts its rectangle of the owner's client
// area and blinks on the host clock every GetCaretBlinkTime ms; it is taken off while
// the owner handles WM_PAINT and put back after, and dies with its owner.
BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND Wnd);   // Wnd nullptr: the caret of whichever window owns it
BOOL HideCaret(HWND Wnd);
BOOL SetCaretPos(int X, int Y);  // client coordinates of the owner
BOOL GetCaretPos(POINT* Point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT Milliseconds);

// ---- cursors and icons ----
// Instance 0 with IDC_*: the system cursors (real cursor objects with their shapes, never
// destroyed). Another instance: a cursor resource of that module by name or number
// (type "CURSOR"); 0 when there is none.
HCURSOR LoadCursorA(HINSTANCE Instance, const char* Name);
HICON LoadIconA(HINSTANCE Instance, const char* Name);
HCURSOR SetCursor(HCURSOR Cursor);  // returns the previous cursor
HCURSOR GetCursor();
int ShowCursor(BOOL Show);         // the display count
HCURSOR CreateCursor(HINSTANCE Instance, int HotX, int HotY, int Width, int Height, const void* AndPlane,
                     const void* XorPlane);

// ---- monitors ----
HMONITOR MonitorFromPoint(POINT P, DWORD Flags);
HMONITOR MonitorFromRect(const RECT* R, DWORD Flags);
HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags);
BOOL GetMonitorInfoA(HMONITOR Monitor, MONITORINFO* Info);
BOOL EnumDisplayMonitors(HDC Dc, const RECT* Clip, MONITORENUMPROC Proc, LPARAM Data);

}  // namespace host
