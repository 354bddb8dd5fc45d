// Keyboard state: key down and toggle bits, keybd_event, and the US-layout character mapping.
#include "host/os/keyboard.h"

#include <cstring>

namespace host {

namespace {

struct TKeys {
    BYTE State[256] = {};
    bool AsyncPressed[256] = {};
};

TKeys& K() {
    static TKeys k;
    return k;
}

// The generic shift, control and alt keys are down while either side's key is.
void SyncGeneric(int VirtKey) {
    BYTE* s = K().State;
    auto pair = [&](int generic, int l, int r) {
        if (VirtKey != l && VirtKey != r) return;
        if ((s[l] | s[r]) & 0x80)
            s[generic] |= 0x80;
        else
            s[generic] &= BYTE(~0x80);
    };
    pair(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    pair(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    pair(VK_MENU, VK_LMENU, VK_RMENU);
}

const char* const kShiftedDigits = ")!@#$%^&*(";

struct TOem {
    int Vk;
    char Plain, Shifted;
};
const TOem kOem[] = {{VK_OEM_1, ';', ':'},   {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
                     {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},   {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},
                     {VK_OEM_5, '\\', '|'}, {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'}};

}  // namespace

int16_t GetKeyState(int VirtKey) {
    if (VirtKey < 0 || VirtKey > 255) return 0;
    BYTE b = K().State[VirtKey];
    int16_t r = 0;
    if (b & 0x80) r = int16_t(0xFF80);
    if (b & 0x01) r = int16_t(r | 1);
    return r;
}

int16_t GetAsyncKeyState(int VirtKey) {
    if (VirtKey < 0 || VirtKey > 255) return 0;
    int16_t r = (K().State[VirtKey] & 0x80) ? int16_t(0x8000) : int16_t(0);
    if (K().AsyncPressed[VirtKey]) r = int16_t(r | 1);
    K().AsyncPressed[VirtKey] = false;
    return r;
}

BOOL GetKeyboardState(BYTE* KeyState) {
    if (KeyState == nullptr) return FALSE;
    std::memcpy(KeyState, K().State, 256);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* KeyState) {
    if (KeyState == nullptr) return FALSE;
    std::memcpy(K().State, KeyState, 256);
    return TRUE;
}

void keybd_event(BYTE VirtKey, BYTE, DWORD Flags, uintptr_t) {
    keyboard::SetKeyDown(VirtKey, (Flags & KEYEVENTF_KEYUP) == 0);
}

int VirtualKeyToChar(int VirtKey, bool Shift, bool CapsLock) {
    if (VirtKey >= 'A' && VirtKey <= 'Z') return (Shift != CapsLock) ? VirtKey : VirtKey + 32;
    if (VirtKey >= '0' && VirtKey <= '9') return Shift ? kShiftedDigits[VirtKey - '0'] : VirtKey;
    if (VirtKey >= VK_NUMPAD0 && VirtKey <= VK_NUMPAD9) return '0' + (VirtKey - VK_NUMPAD0);
    switch (VirtKey) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: break;
    }
    for (const TOem& o : kOem)
        if (o.Vk == VirtKey) return Shift ? o.Shifted : o.Plain;
    return 0;
}

bool CharToVirtualKey(char C, int& VirtKey, bool& Shift) {
    Shift = false;
    if (C >= 'a' && C <= 'z') {
        VirtKey = C - 32;
        return true;
    }
    if (C >= 'A' && C <= 'Z') {
        VirtKey = C;
        Shift = true;
        return true;
    }
    if (C >= '0' && C <= '9') {
        VirtKey = C;
        return true;
    }
    for (int i = 0; i < 10; ++i)
        if (kShiftedDigits[i] == C) {
            VirtKey = '0' + i;
            Shift = true;
            return true;
        }
    switch (C) {
    case ' ': VirtKey = VK_SPACE; return true;
    case '\r':
    case '\n': VirtKey = VK_RETURN; return true;
    case '\t': VirtKey = VK_TAB; return true;
    case '\b': VirtKey = VK_BACK; return true;
    case 27: VirtKey = VK_ESCAPE; return true;
    default: break;
    }
    for (const TOem& o : kOem) {
        if (o.Plain == C) {
            VirtKey = o.Vk;
            return true;
        }
        if (o.Shifted == C) {
            VirtKey = o.Vk;
            Shift = true;
            return true;
        }
    }
    return false;
}

namespace keyboard {

void Reset() {
    std::memset(K().State, 0, sizeof K().State);
    std::memset(K().AsyncPressed, 0, sizeof K().AsyncPressed);
}

void SetKeyDown(int VirtKey, bool Down) {
    if (VirtKey < 0 || VirtKey > 255) return;
    BYTE& b = K().State[VirtKey];
    bool was = (b & 0x80) != 0;
    if (Down) {
        if (!was) b ^= 0x01;  // each press flips the toggle
        b |= 0x80;
        K().AsyncPressed[VirtKey] = true;
    } else {
        b &= BYTE(~0x80);
    }
    SyncGeneric(VirtKey);
}

}  // namespace keyboard

}  // namespace host
