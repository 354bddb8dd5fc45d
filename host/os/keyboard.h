// Keyboard state: virtual-key codes, key down and toggle bits, keybd_event.
#pragma once

#include <cstdint>
#include <string>

#include "host/gdi/gditypes.h"

namespace host {

// ---- virtual-key codes ----
inline constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
    VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
    VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
    VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63, VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66,
    VK_NUMPAD7 = 0x67, VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71,
    VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78,
    VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;
// Letters and digits are their ASCII upper-case codes ('A'..'Z', '0'..'9').

// keybd_event flags
inline constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x1, KEYEVENTF_KEYUP = 0x2;

// The key's state as of the last input message read: bit 15 (negative) when down, bit 0
// the toggle (caps, num and scroll lock light; for other keys it flips on every press).
int16_t GetKeyState(int VirtKey);
// The key's state now: bit 15 when down; bit 0 when pressed since the last call.
int16_t GetAsyncKeyState(int VirtKey);
// 256 bytes: bit 7 down, bit 0 toggled.
BOOL GetKeyboardState(BYTE* KeyState);
BOOL SetKeyboardState(const BYTE* KeyState);
// Presses (or with KEYEVENTF_KEYUP releases) a key in the keyboard state at once: a press
// sets the down bit and flips the toggle, so a press and release of VK_CAPITAL turns
// caps lock on or off. The state of the generic VK_SHIFT/VK_CONTROL/VK_MENU follows the
// left and right keys. No messages are made (the input simulator makes those).
void keybd_event(BYTE VirtKey, BYTE Scan, DWORD Flags, uintptr_t ExtraInfo);

// The character that a key gives with the current shift and caps-lock state (US layout,
// ASCII), or 0 for keys that give none. Used by TranslateMessage.
int VirtualKeyToChar(int VirtKey, bool Shift, bool CapsLock);
// The virtual key and shift that type an ASCII character (US layout); false when none does.
bool CharToVirtualKey(char C, int& VirtKey, bool& Shift);

namespace keyboard {
// Every key up and every toggle off (tests, and the window manager's reset).
void Reset();
// Sets a key's down bit as a message loop reading input does (the simulator's key and
// button events); a press flips the toggle.
void SetKeyDown(int VirtKey, bool Down);
}  // namespace keyboard

}  // namespace host
