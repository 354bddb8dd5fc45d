// Window messages: the WM_* numbers of the operating system, the framework's CM_*/CN_* numbers, and the message records.
#pragma once

#include <cstdint>

#include "host/gdi/gditypes.h"

namespace host {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using UINT_PTR = uintptr_t;
using SHORT = int16_t;

constexpr WORD LOWORD(uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr int GET_X_LPARAM(LPARAM l) { return int(int16_t(LOWORD(uintptr_t(l)))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return int(int16_t(HIWORD(uintptr_t(l)))); }
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(DWORD((WORD(lo)) | (DWORD(WORD(hi)) << 16))); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM(DWORD((WORD(lo)) | (DWORD(WORD(hi)) << 16))); }
constexpr LRESULT MAKELRESULT(int lo, int hi) { return LRESULT(DWORD((WORD(lo)) | (DWORD(WORD(hi)) << 16))); }
constexpr DWORD MAKELONG(int lo, int hi) { return DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16); }
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return short(HIWORD(w)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }
inline constexpr int WHEEL_DELTA = 120;

// ---- window messages ----
inline constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
    WM_QUERYENDSESSION = 0x0011, WM_QUIT = 0x0012, WM_QUERYOPEN = 0x0013, WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015, WM_ENDSESSION = 0x0016, WM_SHOWWINDOW = 0x0018, WM_CTLCOLOR = 0x0019,
    WM_WININICHANGE = 0x001A, WM_SETTINGCHANGE = 0x001A, WM_DEVMODECHANGE = 0x001B, WM_ACTIVATEAPP = 0x001C,
    WM_FONTCHANGE = 0x001D, WM_TIMECHANGE = 0x001E, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
    WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022, WM_QUEUESYNC = 0x0023, WM_GETMINMAXINFO = 0x0024,
    WM_PAINTICON = 0x0026, WM_ICONERASEBKGND = 0x0027, WM_NEXTDLGCTL = 0x0028, WM_SPOOLERSTATUS = 0x002A,
    WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C, WM_DELETEITEM = 0x002D, WM_VKEYTOITEM = 0x002E,
    WM_CHARTOITEM = 0x002F, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_SETHOTKEY = 0x0032, WM_GETHOTKEY = 0x0033,
    WM_QUERYDRAGICON = 0x0037, WM_COMPAREITEM = 0x0039, WM_GETOBJECT = 0x003D, WM_COMPACTING = 0x0041,
    WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047, WM_POWER = 0x0048, WM_COPYDATA = 0x004A,
    WM_CANCELJOURNAL = 0x004B, WM_NOTIFY = 0x004E, WM_INPUTLANGCHANGEREQUEST = 0x0050, WM_INPUTLANGCHANGE = 0x0051,
    WM_TCARD = 0x0052, WM_HELP = 0x0053, WM_USERCHANGED = 0x0054, WM_NOTIFYFORMAT = 0x0055,
    WM_CONTEXTMENU = 0x007B, WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D, WM_DISPLAYCHANGE = 0x007E,
    WM_GETICON = 0x007F, WM_SETICON = 0x0080, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083,
    WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087,
    WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3,
    WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7,
    WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9,
    WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103,
    WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_SYSDEADCHAR = 0x0107, WM_KEYLAST = 0x0108,
    WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F,
    WM_MENUCHAR = 0x0120, WM_ENTERIDLE = 0x0121, WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLOREDIT = 0x0133,
    WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136, WM_CTLCOLORSCROLLBAR = 0x0137,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
    WM_MOUSELAST = 0x020A, WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212,
    WM_SIZING = 0x0214, WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216,
    WM_MDICREATE = 0x0220, WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222, WM_MDIRESTORE = 0x0223,
    WM_MDINEXT = 0x0224, WM_MDIMAXIMIZE = 0x0225, WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227,
    WM_MDIICONARRANGE = 0x0228, WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230, WM_ENTERSIZEMOVE = 0x0231,
    WM_EXITSIZEMOVE = 0x0232, WM_DROPFILES = 0x0233, WM_MDIREFRESHMENU = 0x0234,
    WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3,
    WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
    WM_RENDERFORMAT = 0x0305, WM_RENDERALLFORMATS = 0x0306, WM_DESTROYCLIPBOARD = 0x0307,
    WM_DRAWCLIPBOARD = 0x0308, WM_PAINTCLIPBOARD = 0x0309, WM_VSCROLLCLIPBOARD = 0x030A, WM_SIZECLIPBOARD = 0x030B,
    WM_ASKCBFORMATNAME = 0x030C, WM_CHANGECBCHAIN = 0x030D, WM_HSCROLLCLIPBOARD = 0x030E,
    WM_QUERYNEWPALETTE = 0x030F, WM_PALETTEISCHANGING = 0x0310, WM_PALETTECHANGED = 0x0311, WM_HOTKEY = 0x0312,
    WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318,
    WM_USER = 0x0400, WM_APP = 0x8000;

// ---- the framework's control messages (CM_BASE numbering) ----
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5, CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7, CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11, CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17, CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20, CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22, CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28, CM_ICONCHANGED = CM_BASE + 29, CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31, CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35, CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37, CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40, CM_UIACTIVATE = CM_BASE + 41, CM_UIDEACTIVATE = CM_BASE + 42,
    CM_DOCWINDOWACTIVATE = CM_BASE + 43, CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_GETDATALINK = CM_BASE + 45,
    CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48, CM_DIALOGHANDLE = CM_BASE + 49,
    CM_ISTOOLCONTROL = CM_BASE + 50, CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54, CM_CHANGED = CM_BASE + 55,
    CM_DOCKCLIENT = CM_BASE + 56, CM_UNDOCKCLIENT = CM_BASE + 57, CM_FLOAT = CM_BASE + 58,
    CM_BORDERCHANGED = CM_BASE + 59, CM_BIDIMODECHANGED = CM_BASE + 60, CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_ALLCHILDRENFLIPPED = CM_BASE + 62, CM_ACTIONUPDATE = CM_BASE + 63, CM_ACTIONEXECUTE = CM_BASE + 64,
    CM_HINTSHOWPAUSE = CM_BASE + 65, CM_DOCKNOTIFICATION = CM_BASE + 66, CM_MOUSEWHEEL = CM_BASE + 67;
static_assert(CM_RELEASE == 0xB021 && CM_CONTROLLISTCHANGE == 0xB02C && CM_CONTROLCHANGE == 0xB036);

// ---- notifications reflected back to the control that caused them ----
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM, CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM, CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
    CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG, CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
    CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX, CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
    CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR, CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
    CN_DELETEITEM = CN_BASE + WM_DELETEITEM, CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM, CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
    CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM, CN_VSCROLL = CN_BASE + WM_VSCROLL, CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR, CN_NOTIFY = CN_BASE + WM_NOTIFY;
static_assert(CN_DRAWITEM == 0xBC2B);

// ---- message parameters ----
// WM_SIZE
inline constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3, SIZE_MAXHIDE = 4;
// WM_SIZING edges
inline constexpr WPARAM WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5,
    WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;
// WM_ACTIVATE
inline constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_MOUSEACTIVATE results
inline constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;
// WM_NCHITTEST results
inline constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
    HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8, HTREDUCE = 8,
    HTMAXBUTTON = 9, HTZOOM = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14,
    HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21,
    HTSIZEFIRST = HTLEFT, HTSIZELAST = HTBOTTOMRIGHT;
// WM_SYSCOMMAND (the low four bits are the system's own)
inline constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
    SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_VSCROLL = 0xF070, SC_HSCROLL = 0xF080,
    SC_MOUSEMENU = 0xF090, SC_KEYMENU = 0xF100, SC_ARRANGE = 0xF110, SC_RESTORE = 0xF120, SC_TASKLIST = 0xF130,
    SC_SCREENSAVE = 0xF140, SC_HOTKEY = 0xF150, SC_DEFAULT = 0xF160, SC_MONITORPOWER = 0xF170,
    SC_CONTEXTHELP = 0xF180, SC_ICON = SC_MINIMIZE, SC_ZOOM = SC_MAXIMIZE;
// Mouse key states in wParam
inline constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010;
// WM_SHOWWINDOW lParam
inline constexpr LPARAM SW_PARENTCLOSING = 1, SW_OTHERZOOM = 2, SW_PARENTOPENING = 3, SW_OTHERUNZOOM = 4;
// WM_NCCALCSIZE results
inline constexpr LRESULT WVR_ALIGNTOP = 0x10, WVR_ALIGNLEFT = 0x20, WVR_ALIGNBOTTOM = 0x40, WVR_ALIGNRIGHT = 0x80,
    WVR_HREDRAW = 0x100, WVR_VREDRAW = 0x200, WVR_REDRAW = 0x300, WVR_VALIDRECTS = 0x400;
// WM_GETDLGCODE results
inline constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
    DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40,
    DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
// WM_PRINT flags
inline constexpr LPARAM PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
    PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;
// WM_SETICON / WM_GETICON
inline constexpr WPARAM ICON_SMALL = 0, ICON_BIG = 1;
// WM_HSCROLL / WM_VSCROLL codes
inline constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
    SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6,
    SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
// Drawing item states (WM_DRAWITEM / CN_DRAWITEM)
inline constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
inline constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10,
    ODS_DEFAULT = 0x20, ODS_COMBOBOXEDIT = 0x1000;

// ---- structures carried by messages ----
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
    POINT ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct CREATESTRUCTA {
    void* lpCreateParams = nullptr;
    uintptr_t hInstance = 0;
    void* hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};
using CREATESTRUCT = CREATESTRUCTA;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
    BOOL fRestore = FALSE, fIncUpdate = FALSE;
    BYTE rgbReserved[32] = {};
};

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

struct DRAWITEMSTRUCT {
    UINT CtlType = 0, CtlID = 0, itemID = 0, itemAction = 0, itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem;
    ULONG_PTR itemData = 0;
};

struct MEASUREITEMSTRUCT {
    UINT CtlType = 0, CtlID = 0, itemID = 0, itemWidth = 0, itemHeight = 0;
    ULONG_PTR itemData = 0;
};

// TRACKMOUSEEVENT flags
inline constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_QUERY = 0x40000000,
    TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = HOVER_DEFAULT;
};

// ---- the framework's message records ----
// TMessage is what a window procedure object and the dispatcher by number receive.
// The TWM* records are views of the same message: each derives from TMessage and adds
// no data, only named accessors for the parameters, so a handler taking TWMPaint& is
// handed the TMessage it came in (static_cast<TWMPaint&>(Message)).
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(uintptr_t(LParam)); }
    WORD LParamHi() const { return HIWORD(uintptr_t(LParam)); }
    WORD ResultLo() const { return LOWORD(uintptr_t(Result)); }
    WORD ResultHi() const { return HIWORD(uintptr_t(Result)); }
};
static_assert(sizeof(TMessage) == sizeof(UINT) + 3 * sizeof(void*) + (sizeof(void*) - sizeof(UINT)));

template <class T>
T& MessageAs(TMessage& M) { return static_cast<T&>(M); }

// A view of a message whose lParam holds a client or screen point (x, y as signed 16 bits).
struct TWMPointMessage : TMessage {
    int XPos() const { return GET_X_LPARAM(LParam); }
    int YPos() const { return GET_Y_LPARAM(LParam); }
    POINT Pos() const { return POINT{XPos(), YPos()}; }
};
// WM_MOUSEMOVE, WM_xBUTTONxxx: Keys = MK_* flags, Pos in client coordinates.
struct TWMMouse : TWMPointMessage {
    WPARAM Keys() const { return WParam; }
};
using TWMMouseMove = TWMMouse;
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMRButtonDblClk = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMButtonDblClk = TWMMouse;
// WM_NCMOUSEMOVE, WM_NCxBUTTONxxx: HitTest code, Pos in screen coordinates.
struct TWMNCHitMessage : TWMPointMessage {
    LRESULT HitTest() const { return LRESULT(WParam); }
};
using TWMNCLButtonDown = TWMNCHitMessage;
using TWMNCLButtonUp = TWMNCHitMessage;
using TWMNCLButtonDblClk = TWMNCHitMessage;
using TWMNCMouseMove = TWMNCHitMessage;
using TWMNCRButtonDown = TWMNCHitMessage;
// WM_MOUSEWHEEL: Keys in the low word, WheelDelta (multiples of WHEEL_DELTA) in the
// high word of wParam, Pos in screen coordinates.
struct TWMMouseWheel : TWMPointMessage {
    WORD Keys() const { return LOWORD(WParam); }
    short WheelDelta() const { return GET_WHEEL_DELTA_WPARAM(WParam); }
};
// WM_KEYDOWN/UP, WM_CHAR, WM_SYSKEYxxx, CN_KEYxxx, CM_DIALOGKEY, CM_DIALOGCHAR, CM_WANTSPECIALKEY.
struct TWMKey : TMessage {
    WORD CharCode() const { return WORD(WParam & 0xFFFF); }
    void SetCharCode(WORD C) { WParam = C; }
    LPARAM KeyData() const { return LParam; }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;
// WM_PAINT: DC is the device context to paint on when given (WM_PRINTCLIENT path), else 0.
struct TWMPaint : TMessage {
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
// WM_ERASEBKGND: DC to erase on; Result nonzero when erased.
struct TWMEraseBkgnd : TMessage {
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
using TWMNCPaint = TMessage;
// WM_SIZE: SizeType = SIZE_*, client Width and Height.
struct TWMSize : TMessage {
    WPARAM SizeType() const { return WParam; }
    int Width() const { return LParamLo(); }
    int Height() const { return LParamHi(); }
};
// WM_MOVE: the client area's new top-left in the parent's client coordinates (or the screen).
struct TWMMove : TWMPointMessage {};
struct TWMWindowPosMsg : TMessage {
    WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
};
using TWMWindowPosChanging = TWMWindowPosMsg;
using TWMWindowPosChanged = TWMWindowPosMsg;
// WM_NCHITTEST: screen point; Result = HT* code.
struct TWMNCHitTest : TWMPointMessage {};
// WM_NCCALCSIZE: CalcValidRects (wParam) and the parameters (lParam: NCCALCSIZE_PARAMS*
// when CalcValidRects, else RECT*; rgrc[0] is the first member either way).
struct TWMNCCalcSize : TMessage {
    bool CalcValidRects() const { return WParam != 0; }
    NCCALCSIZE_PARAMS* CalcSize_Params() const { return reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam); }
    RECT* Rect() const { return reinterpret_cast<RECT*>(LParam); }
};
// WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse message.
struct TWMSetCursor : TMessage {
    HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
    SHORT HitTest() const { return SHORT(LParamLo()); }
    WORD MouseMsg() const { return LParamHi(); }
};
// WM_TIMER: the timer's id and its TIMERPROC (0 when none).
struct TWMTimer : TMessage {
    UINT_PTR TimerID() const { return WParam; }
    LPARAM TimerProc() const { return LParam; }
};
// WM_ACTIVATE: Active = WA_*, Minimized, and the other window.
struct TWMActivate : TMessage {
    WORD Active() const { return WParamLo(); }
    bool Minimized() const { return WParamHi() != 0; }
    HWND ActiveWindow() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMActivateApp : TMessage {
    bool Active() const { return WParam != 0; }
};
// WM_SETFOCUS: the window that lost the focus; WM_KILLFOCUS: the window that gets it.
struct TWMSetFocus : TMessage {
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
using TWMKillFocus = TWMSetFocus;
// WM_COMMAND: ItemID, NotifyCode, the control's window.
struct TWMCommand : TMessage {
    WORD ItemID() const { return WParamLo(); }
    WORD NotifyCode() const { return WParamHi(); }
    HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMNotify : TMessage {
    int IDCtrl() const { return int(WParam); }
    NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(LParam); }
};
// WM_SYSCOMMAND: CmdType (SC_*; the low four bits are the system's) and a screen point.
struct TWMSysCommand : TWMPointMessage {
    WPARAM CmdType() const { return WParam; }
};
struct TWMGetMinMaxInfo : TMessage {
    MINMAXINFO* MinMaxInfo() const { return reinterpret_cast<MINMAXINFO*>(LParam); }
};
struct TWMNCActivate : TMessage {
    bool Active() const { return WParam != 0; }
};
struct TWMMouseActivate : TMessage {
    HWND TopLevel() const { return reinterpret_cast<HWND>(WParam); }
    SHORT HitTestCode() const { return SHORT(LParamLo()); }
    WORD MouseMsg() const { return LParamHi(); }
};
struct TWMShowWindow : TMessage {
    bool Show() const { return WParam != 0; }
    LPARAM Status() const { return LParam; }
};
struct TWMSetText : TMessage {
    const char* Text() const { return reinterpret_cast<const char*>(LParam); }
};
struct TWMGetText : TMessage {
    int TextMax() const { return int(WParam); }
    char* Text() const { return reinterpret_cast<char*>(LParam); }
};
struct TWMScroll : TMessage {
    WORD ScrollCode() const { return WParamLo(); }
    short Pos() const { return short(WParamHi()); }
    HWND ScrollBar() const { return reinterpret_cast<HWND>(LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;
struct TWMDrawItem : TMessage {
    UINT Ctl() const { return UINT(WParam); }
    DRAWITEMSTRUCT* DrawItemStruct() const { return reinterpret_cast<DRAWITEMSTRUCT*>(LParam); }
};
struct TWMMeasureItem : TMessage {
    UINT IDCtl() const { return UINT(WParam); }
    MEASUREITEMSTRUCT* MeasureItemStruct() const { return reinterpret_cast<MEASUREITEMSTRUCT*>(LParam); }
};
struct TWMCaptureChanged : TMessage {
    HWND NewCapture() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMCreate : TMessage {
    CREATESTRUCTA* CreateStruct() const { return reinterpret_cast<CREATESTRUCTA*>(LParam); }
};
using TWMNCCreate = TWMCreate;
using TWMDestroy = TMessage;
using TWMNCDestroy = TMessage;
using TWMClose = TMessage;
using TWMCancelMode = TMessage;
struct TWMGetDlgCode : TMessage {};
struct TWMContextMenu : TWMPointMessage {
    HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }
};
// CM_HITTEST / CM_DESIGNHITTEST: a client point in the low and high words of lParam;
// Result nonzero (HTCLIENT) when the control takes the point.
struct TCMHitTest : TWMPointMessage {};
using TCMDesignHitTest = TWMMouse;
// CM_MOUSEENTER / CM_MOUSELEAVE / CM_CONTROLCHANGE / CM_CONTROLLISTCHANGE carry a
// TControl* in lParam; the controls layer reads it.
using TCMMouseEnter = TMessage;
using TCMMouseLeave = TMessage;

}  // namespace host
