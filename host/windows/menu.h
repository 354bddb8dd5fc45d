// Menu handles: creating and editing menus, their items and states, the menu bar of a window and pop-up menu tracking.
//
// Every call checks its menu handle as the window calls check theirs: a destroyed or
// unknown menu makes the call fail (0, -1, nullptr or FALSE) and change nothing. Items
// are named by command (MF_BYCOMMAND, searched through submenus too) or by position
// (MF_BYPOSITION, in that menu only).
#pragma once

#include <string>

#include "host/windows/windows.h"

namespace host {

// ---- item flags of the classic calls (AppendMenu, InsertMenu, ModifyMenu, GetMenuState) ----
inline constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
    MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0, MF_GRAYED = 0x1,
    MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8, MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0,
    MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100, MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40,
    MF_UNHILITE = 0x0, MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000, MF_HELP = 0x4000,
    MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000;
// ---- MENUITEMINFO ----
inline constexpr UINT MFT_STRING = 0x0, MFT_BITMAP = 0x4, MFT_MENUBARBREAK = 0x20, MFT_MENUBREAK = 0x40,
    MFT_OWNERDRAW = 0x100, MFT_RADIOCHECK = 0x200, MFT_SEPARATOR = 0x800, MFT_RIGHTORDER = 0x2000,
    MFT_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = 0x3, MFS_CHECKED = 0x8, MFS_HILITE = 0x80, MFS_ENABLED = 0x0,
    MFS_UNCHECKED = 0x0, MFS_UNHILITE = 0x0, MFS_DEFAULT = 0x1000;
inline constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
    MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;
// GetMenuDefaultItem
inline constexpr UINT GMDI_USEDISABLED = 0x1, GMDI_GOINTOPOPUPS = 0x2;

struct MENUITEMINFOA {
    UINT cbSize = sizeof(MENUITEMINFOA);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    HBITMAP hbmpChecked = nullptr;
    HBITMAP hbmpUnchecked = nullptr;
    ULONG_PTR dwItemData = 0;
    char* dwTypeData = nullptr;  // the text (MIIM_STRING / MFT_STRING): set reads it, get fills it
    UINT cch = 0;                // get: the buffer's size in, the text's length out
    HBITMAP hbmpItem = nullptr;
};
using MENUITEMINFO = MENUITEMINFOA;

// ---- TrackPopupMenu ----
inline constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
    TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
    TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100;
struct TPMPARAMS {
    UINT cbSize = sizeof(TPMPARAMS);
    RECT rcExclude;
};

// ---- creating and destroying ----
HMENU CreateMenu();       // a menu bar
HMENU CreatePopupMenu();  // a drop-down or context menu
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU Menu);
BOOL IsMenu(HMENU Menu);

// ---- items ----
// NewItem is the command, or the submenu's handle with MF_POPUP; Item is the text
// (nullptr or ignored for MF_SEPARATOR and MF_OWNERDRAW, where it is the item data).
BOOL AppendMenuA(HMENU Menu, UINT Flags, UINT_PTR NewItem, const char* Item);
BOOL InsertMenuA(HMENU Menu, UINT Position, UINT Flags, UINT_PTR NewItem, const char* Item);
BOOL InsertMenuItemA(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFOA* Info);
BOOL ModifyMenuA(HMENU Menu, UINT Position, UINT Flags, UINT_PTR NewItem, const char* Item);
// Takes the item out; a submenu is kept (RemoveMenu) or destroyed (DeleteMenu).
BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags);
BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags);
int GetMenuItemCount(HMENU Menu);  // -1 for a bad handle
// The command of the item at Pos; -1 (as UINT) for a submenu or a bad position.
UINT GetMenuItemID(HMENU Menu, int Pos);
HMENU GetSubMenu(HMENU Menu, int Pos);
// MF_* state bits (for a submenu: its item count in the high byte and MF_POPUP);
// -1 (as UINT) when there is no such item.
UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags);
// Copies the text (at most MaxCount - 1 characters); the text's length; 0 when none.
int GetMenuStringA(HMENU Menu, UINT Item, char* String, int MaxCount, UINT Flags);
std::string GetMenuStringStr(HMENU Menu, UINT Item, UINT Flags);
// Return the previous state (MF_CHECKED / MF_GRAYED|MF_DISABLED), -1 when no such item.
DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check);
UINT EnableMenuItem(HMENU Menu, UINT Id, UINT Enable);
// Checks Id (by command or position) with a radio dot and unchecks the others of First..Last.
BOOL CheckMenuRadioItem(HMENU Menu, UINT First, UINT Last, UINT Check, UINT Flags);
BOOL HiliteMenuItem(HWND Wnd, HMENU Menu, UINT Item, UINT Hilite);
// Item -1 (as UINT) clears the default.
BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos);
UINT GetMenuDefaultItem(HMENU Menu, UINT ByPos, UINT Flags);
BOOL GetMenuItemInfoA(HMENU Menu, UINT Item, BOOL ByPosition, MENUITEMINFOA* Info);
BOOL SetMenuItemInfoA(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFOA* Info);
// The item's rectangle in screen coordinates (menu bars and open pop-ups only).
BOOL GetMenuItemRect(HWND Wnd, HMENU Menu, UINT Item, RECT* Rect);

// ---- the menu bar of a window (GetMenu and SetMenu are declared in windows.h) ----
// Recomputes the window's frame for the bar (it may need more lines) and repaints it.
BOOL DrawMenuBar(HWND Wnd);

// ---- pop-up menus ----
// Shows Menu at (X, Y) (screen) aligned as Flags say, and tracks it in a loop of its
// own until an item is chosen, Esc closes the last level, a click lands outside, or the
// input script runs out. Owner receives WM_ENTERMENULOOP, WM_INITMENU,
// WM_INITMENUPOPUP, WM_MENUSELECT, WM_MEASUREITEM/WM_DRAWITEM for owner-drawn items,
// WM_EXITMENULOOP (TPM_NONOTIFY leaves out all but the owner-draw ones) and, for the
// chosen item, a posted WM_COMMAND — unless TPM_RETURNCMD: then the command is returned
// (0 when cancelled). Without TPM_RETURNCMD it returns TRUE when an item was chosen.
BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int Reserved, HWND Owner, const RECT* Rect);
BOOL TrackPopupMenuEx(HMENU Menu, UINT Flags, int X, int Y, HWND Owner, const TPMPARAMS* Params);
// Closes the menu being tracked (as Esc on every level would).
BOOL EndMenu();

// A caption without its accelerator marks ("&&" stays as one '&'), and its
// accelerator character in lower case (0 when it has none).
std::string StripHotkey(const std::string& Text);
char GetHotkey(const std::string& Text);

// The number of live menu handles (tests check that nothing leaks).
int MenuHandleCount();

namespace win {
// The window layer's hooks into the menu code: the height of the bar of Wnd's menu
// laid out for Width pixels (lines wrap), its painting into the window's DC at Bar
// (window coordinates), and the bar's loops entered by a click (Screen) or the
// keyboard (Key: 0 for Alt or F10 alone, else the accelerator character).
int MenuBarHeight(HWND Wnd, int Width);
void PaintMenuBar(HWND Wnd, HDC Dc, const RECT& Bar);
void TrackMenuBarMouse(HWND Wnd, POINT Screen);
void TrackMenuBarKey(HWND Wnd, UINT Key);
}  // namespace win

}  // namespace host
