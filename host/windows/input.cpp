// Input: the simulator's raw events turned into messages, hit testing, capture, focus, activation and double clicks.
#include <cstdlib>
#include <deque>
#include <functional>

#include "host/rtl/clock.h"
#include "host/windows/backend.h"
#include "host/windows/inputsim.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

enum class TRawKind { Move, Down, Up, KeyDown, KeyUp, Wheel, Char, Call, Wait };

struct TRaw {
    TRawKind Kind = TRawKind::Move;
    POINT Pos;
    Input::Button Btn = Input::Button::Left;
    int Vk = 0;
    int Delta = 0;
    bool Coalesce = false;
    std::function<void()> Fn;
    uint32_t Ms = 0;
};

struct TInputState {
    std::deque<TRaw> Raw;
    // double clicks
    bool HaveLastDown = false;
    uint32_t LastDownTime = 0;
    POINT LastDownPos;
    Input::Button LastDownBtn = Input::Button::Left;
    HWND LastDownWnd = nullptr;
    LRESULT LastDownHit = HTNOWHERE;
    HWND Tracked = nullptr;  // TrackMouseEvent(TME_LEAVE)
    UINT DoubleClickTime = 500;
};

TInputState& I() {
    static TInputState i;
    return i;
}

int ButtonVk(Input::Button B) { return B == Input::Button::Left ? VK_LBUTTON : B == Input::Button::Right ? VK_RBUTTON : VK_MBUTTON; }

UINT ButtonMsg(Input::Button B, int Which) {  // Which: 0 down, 1 up, 2 double click
    UINT base = B == Input::Button::Left ? WM_LBUTTONDOWN : B == Input::Button::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    return base + UINT(Which);
}

WPARAM MouseKeys(int PressedVk, int ReleasedVk) {
    auto down = [&](int vk) { return vk == PressedVk || (vk != ReleasedVk && GetKeyState(vk) < 0); };
    WPARAM k = 0;
    if (down(VK_LBUTTON)) k |= MK_LBUTTON;
    if (down(VK_RBUTTON)) k |= MK_RBUTTON;
    if (down(VK_MBUTTON)) k |= MK_MBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) k |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) k |= MK_CONTROL;
    return k;
}

// The window under a screen point and its hit-test code, as the system's input routing finds it.
TWnd* HitTarget(POINT P, LRESULT& Hit) {
    for (TWnd* t : std::vector<TWnd*>(Desktop()->Children)) {
        if (!IsShowing(t)) continue;
        RECT r = t->Rect;
        if (!PtInRect(&r, P)) continue;
        HWND th = t->Handle;
        LRESULT h = SendMessageA(th, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
        if (h == HTTRANSPARENT) continue;
        TWnd* w = Find(th);
        if (w == nullptr) continue;
        for (;;) {
            if (h != HTCLIENT) break;
            POINT o = ClientOriginScreen(w);
            POINT c{P.x - o.x, P.y - o.y};
            TWnd* next = nullptr;
            LRESULT nh = HTNOWHERE;
            bool stop = false;
            for (TWnd* ch : std::vector<TWnd*>(w->Children)) {
                if (!(ch->Style & WS_VISIBLE) || !PtInRect(&ch->Rect, c)) continue;
                if (ch->Style & WS_DISABLED) {
                    stop = true;
                    break;
                }
                HWND chh = ch->Handle;
                LRESULT x = SendMessageA(chh, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
                if (x == HTTRANSPARENT) continue;
                next = Find(chh);
                nh = x;
                break;
            }
            if (stop || next == nullptr) break;
            w = next;
            h = nh;
        }
        Hit = h;
        return w;
    }
    Hit = HTNOWHERE;
    return nullptr;
}

bool TopDisabled(TWnd* W) {
    for (TWnd* a = W; a != nullptr && a != Desktop(); a = a->Parent)
        if (a->Style & WS_DISABLED) return true;
    return false;
}

struct TMouseMsg {
    TWnd* Target = nullptr;
    LRESULT Hit = HTNOWHERE;
    MSG M;
    bool Dbl = false;
};

// Works out the message a mouse event gives (sending WM_NCHITTEST but changing no state).
bool MouseMessage(const TRaw& E, TMouseMsg& Out) {
    TState& s = S();
    POINT pos = E.Kind == TRawKind::Move ? E.Pos : s.CursorPos;
    TWnd* target = Find(s.Capture);
    LRESULT hit = HTCLIENT;
    if (target == nullptr) target = HitTarget(pos, hit);
    if (target == nullptr) return false;
    Out.Target = target;
    Out.Hit = hit;
    MSG& m = Out.M;
    m = MSG{};
    m.hwnd = target->Handle;
    m.time = GetTickCount();
    m.pt = pos;
    bool client = hit == HTCLIENT;
    int pressed = E.Kind == TRawKind::Down ? ButtonVk(E.Btn) : 0;
    int released = E.Kind == TRawKind::Up ? ButtonVk(E.Btn) : 0;
    UINT msg;
    if (E.Kind == TRawKind::Move) {
        msg = WM_MOUSEMOVE;
    } else {
        int which = E.Kind == TRawKind::Down ? 0 : 1;
        if (which == 0) {
            auto& in = I();
            bool dblClass = !client || (target->Class->Style & CS_DBLCLKS);
            int cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
            if (dblClass && in.HaveLastDown && in.LastDownBtn == E.Btn && in.LastDownWnd == target->Handle &&
                in.LastDownHit == hit && uint32_t(m.time - in.LastDownTime) <= in.DoubleClickTime &&
                std::abs(pos.x - in.LastDownPos.x) <= cx / 2 && std::abs(pos.y - in.LastDownPos.y) <= cy / 2) {
                which = 2;
                Out.Dbl = true;
            }
        }
        msg = ButtonMsg(E.Btn, which);
    }
    if (client) {
        POINT o = ClientOriginScreen(target);
        m.message = msg;
        m.wParam = MouseKeys(pressed, released);
        m.lParam = MAKELPARAM(pos.x - o.x, pos.y - o.y);
    } else {
        m.message = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        m.wParam = WPARAM(hit);
        m.lParam = MAKELPARAM(pos.x, pos.y);
    }
    return true;
}

void Consume(const TRaw& E) {
    switch (E.Kind) {
    case TRawKind::Move: S().CursorPos = E.Pos; break;
    case TRawKind::Down: keyboard::SetKeyDown(ButtonVk(E.Btn), true); break;
    case TRawKind::Up: keyboard::SetKeyDown(ButtonVk(E.Btn), false); break;
    case TRawKind::KeyDown: keyboard::SetKeyDown(E.Vk & 0xFFFF, true); break;
    case TRawKind::KeyUp: keyboard::SetKeyDown(E.Vk & 0xFFFF, false); break;
    default: break;
    }
}

void CheckLeave(HWND Target, bool Client) {
    auto& in = I();
    if (in.Tracked == nullptr) return;
    if (Target == in.Tracked && Client) return;
    HWND t = in.Tracked;
    in.Tracked = nullptr;
    PostMessageA(t, WM_MOUSELEAVE, 0, 0);
}

}  // namespace

bool InputPending() { return !I().Raw.empty(); }

void ResetInput() {
    auto& in = I();
    in.Raw.clear();
    in.HaveLastDown = false;
    in.Tracked = nullptr;
    in.DoubleClickTime = 500;
}

bool NextInputMessage(TWnd* Filter, bool AnyWindow, UINT Min, UINT Max, bool Remove, MSG& Out) {
    auto& q = I().Raw;
    TState& s = S();
    while (!q.empty()) {
        TRaw& e = q.front();
        switch (e.Kind) {
        case TRawKind::Call: {
            auto fn = std::move(e.Fn);
            q.pop_front();
            if (fn) fn();
            continue;
        }
        case TRawKind::Wait: {
            uint32_t ms = e.Ms;
            q.pop_front();
            if (Clock::IsVirtual()) Clock::Advance(ms);
            else Sleep(ms);
            continue;
        }
        case TRawKind::Move:
            if (e.Coalesce && q.size() > 1 && q[1].Kind == TRawKind::Move && q[1].Coalesce) {
                q.pop_front();  // a later move of the same run replaces this one
                continue;
            }
            [[fallthrough]];
        case TRawKind::Down:
        case TRawKind::Up: {
            TMouseMsg mm;
            TRaw ev = e;
            if (!MouseMessage(ev, mm)) {
                q.pop_front();
                Consume(ev);
                continue;
            }
            if (TopDisabled(mm.Target) && s.Capture == nullptr) {
                // Disabled windows take no input; a press on one gets the error cursor.
                q.pop_front();
                Consume(ev);
                if (ev.Kind == TRawKind::Down)
                    SendMessageA(mm.Target->Handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(mm.Target->Handle),
                                 MAKELPARAM(HTERROR, mm.M.message));
                continue;
            }
            if (!InRange(mm.M.message, Min, Max) || !MatchesWindow(mm.M.hwnd, Filter, AnyWindow)) return false;
            if (!Remove) {
                Out = mm.M;
                return true;
            }
            q.pop_front();
            Consume(ev);
            HWND target = mm.M.hwnd;
            bool client = mm.Hit == HTCLIENT;
            if (ev.Kind == TRawKind::Move) CheckLeave(target, client);
            if (s.Capture == nullptr) {
                SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(int(mm.Hit), mm.M.message));
            }
            if (ev.Kind == TRawKind::Down) {
                auto& in = I();
                if (mm.Dbl) {
                    in.HaveLastDown = false;
                } else {
                    in.HaveLastDown = true;
                    in.LastDownTime = mm.M.time;
                    in.LastDownPos = mm.M.pt;
                    in.LastDownBtn = ev.Btn;
                    in.LastDownWnd = target;
                    in.LastDownHit = mm.Hit;
                }
                TWnd* tw = Find(target);
                TWnd* top = tw != nullptr ? TopOf(tw) : nullptr;
                if (top != nullptr && (s.Active != top->Handle || !s.AppActive)) {
                    LRESULT r = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle),
                                             MAKELPARAM(int(mm.Hit), mm.M.message));
                    if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && (top = Find(top->Handle)) != nullptr)
                        SetActive(top, true);
                    if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) continue;
                }
            }
            if (Find(target) == nullptr) continue;
            Out = mm.M;
            return true;
        }
        case TRawKind::Wheel: {
            TWnd* t = Find(s.Focus);
            if (t == nullptr) t = Find(s.Active);
            if (t == nullptr) {
                q.pop_front();
                continue;
            }
            MSG m{};
            m.hwnd = t->Handle;
            m.message = WM_MOUSEWHEEL;
            m.wParam = MAKEWPARAM(int(MouseKeys(0, 0)), e.Delta);
            m.lParam = MAKELPARAM(s.CursorPos.x, s.CursorPos.y);
            m.time = GetTickCount();
            m.pt = s.CursorPos;
            if (!InRange(m.message, Min, Max) || !MatchesWindow(m.hwnd, Filter, AnyWindow)) return false;
            if (Remove) q.pop_front();
            Out = m;
            return true;
        }
        case TRawKind::KeyDown:
        case TRawKind::KeyUp:
        case TRawKind::Char: {
            bool down = e.Kind != TRawKind::KeyUp;
            int vk = e.Kind == TRawKind::Char ? e.Vk : e.Vk & 0xFFFF;
            bool textFollows = e.Kind != TRawKind::Char && (e.Vk & windows::kKeyTextFollows) != 0;
            TWnd* t = Find(s.Focus);
            if (t == nullptr) t = Find(s.Active);
            bool wasDown = e.Kind != TRawKind::Char && GetKeyState(vk) < 0;
            bool alt = (GetKeyState(VK_MENU) < 0) || (e.Kind == TRawKind::KeyDown && vk == VK_MENU);
            bool ctrl = GetKeyState(VK_CONTROL) < 0;
            if (t == nullptr) {
                TRaw ev = e;
                q.pop_front();
                Consume(ev);
                continue;
            }
            MSG m{};
            m.hwnd = t->Handle;
            if (e.Kind == TRawKind::Char) {
                m.message = WM_CHAR;
                m.wParam = WPARAM(vk & 0xFF);
                m.lParam = 1;
            } else {
                bool sys = (alt && !ctrl) || vk == VK_F10;
                if (vk == VK_MENU && !down) sys = true;
                m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
                m.wParam = WPARAM(vk);
                uint32_t l = 1 | (uint32_t(vk & 0xFF) << 16);
                if (alt && m.message != WM_KEYDOWN && m.message != WM_KEYUP) l |= 1u << 29;
                if (wasDown || !down) l |= 1u << 30;
                if (!down) l |= 1u << 31;
                if (textFollows) l |= 1u << 25;
                m.lParam = LPARAM(l);
            }
            m.time = GetTickCount();
            m.pt = s.CursorPos;
            if (!InRange(m.message, Min, Max) || !MatchesWindow(m.hwnd, Filter, AnyWindow)) return false;
            if (Remove) {
                TRaw ev = e;
                q.pop_front();
                Consume(ev);
            }
            Out = m;
            return true;
        }
        }
    }
    return false;
}

void SetActive(TWnd* W, bool ByMouse) {
    TState& s = S();
    if (W != nullptr && !IsTop(W)) W = TopOf(W);
    if (W != nullptr && ((W->Style & WS_DISABLED) || !(W->Style & WS_VISIBLE))) return;
    HWND newH = W != nullptr ? W->Handle : nullptr;
    HWND old = s.Active;
    if (old == newH && (newH == nullptr || s.AppActive)) {
        if (W != nullptr) BringToTop(W);
        return;
    }
    if (TWnd* o = Find(old); o != nullptr && old != newH) {
        Send(o, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(newH));
        if ((o = Find(old)) != nullptr)
            Send(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (o->Style & WS_MINIMIZE) ? 1 : 0), reinterpret_cast<LPARAM>(newH));
    }
    if (s.Active != old) return;  // activation moved elsewhere meanwhile
    s.Active = newH;
    auto broadcast = [&](BOOL active) {
        std::vector<HWND> tops;
        for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
        for (HWND h : tops) SendMessageA(h, WM_ACTIVATEAPP, active, 0);
    };
    if (newH == nullptr) {
        if (Find(s.Focus) != nullptr) SetFocusTo(nullptr);
        if (s.AppActive) {
            s.AppActive = false;
            broadcast(FALSE);
        }
        return;
    }
    s.LastActive = newH;
    if (W->Owner != nullptr) W->Owner->LastActivePopup = newH;
    if ((W = Find(newH)) == nullptr) return;
    BringToTop(W);
    if (!s.AppActive) {
        s.AppActive = true;
        broadcast(TRUE);
    }
    if ((W = Find(newH)) == nullptr || s.Active != newH) return;
    Send(W, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    if ((W = Find(newH)) == nullptr || s.Active != newH) return;
    Send(W, WM_ACTIVATE, MAKEWPARAM(ByMouse ? WA_CLICKACTIVE : WA_ACTIVE, (W->Style & WS_MINIMIZE) ? 1 : 0),
         reinterpret_cast<LPARAM>(old));
    if ((W = Find(newH)) == nullptr || s.Active != newH) return;
    TWnd* f = Find(s.Focus);
    if ((f == nullptr || TopOf(f) != W) && !(W->Style & WS_MINIMIZE)) SetFocusTo(W);
}

void ActivateOther(TWnd* Except) {
    TWnd* cand = nullptr;
    auto ok = [&](TWnd* t) {
        return t != nullptr && t != Except && IsShowing(t) && !(t->Style & WS_DISABLED) &&
               !(t->ExStyle & WS_EX_NOACTIVATE) && !t->Dying;
    };
    if (Except != nullptr && ok(Except->Owner)) cand = Except->Owner;
    if (cand == nullptr)
        for (TWnd* t : Desktop()->Children)
            if (ok(t)) {
                cand = t;
                break;
            }
    SetActive(cand, false);
}

void SetFocusTo(TWnd* W) {
    TState& s = S();
    HWND newH = W != nullptr ? W->Handle : nullptr;
    HWND old = s.Focus;
    if (old == newH) return;
    s.Focus = newH;
    if (TWnd* o = Find(old)) Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(newH), 0);
    if (s.Focus != newH) return;
    if (TWnd* n = Find(newH)) Send(n, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void SetAppActiveState(bool Active) {
    TState& s = S();
    if (!Active) {
        if (!s.AppActive) return;
        HWND last = s.Active;
        SetActive(nullptr, false);
        s.LastActive = last;
        if (s.AppActive) {
            s.AppActive = false;
            for (TWnd* t : std::vector<TWnd*>(Desktop()->Children)) SendMessageA(t->Handle, WM_ACTIVATEAPP, FALSE, 0);
        }
        return;
    }
    if (s.AppActive) return;
    if (TWnd* l = Find(s.LastActive); l != nullptr && IsShowing(l)) {
        SetActive(l, false);
        return;
    }
    s.AppActive = true;
    for (TWnd* t : std::vector<TWnd*>(Desktop()->Children)) SendMessageA(t->Handle, WM_ACTIVATEAPP, TRUE, 0);
}

}  // namespace host::win

namespace host {

using namespace win;

HWND SetCapture(HWND Wnd) {
    TState& s = S();
    HWND prev = s.Capture;
    if (Wnd == nullptr) {
        ReleaseCapture();
        return prev;
    }
    if (Find(Wnd) == nullptr) return nullptr;
    s.Capture = Wnd;
    if (prev != nullptr && prev != Wnd)
        if (TWnd* p = Find(prev)) Send(p, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(Wnd));
    return prev;
}

BOOL ReleaseCapture() {
    TState& s = S();
    HWND old = s.Capture;
    if (old == nullptr) return TRUE;
    s.Capture = nullptr;
    if (TWnd* o = Find(old)) Send(o, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return Find(S().Capture) != nullptr ? S().Capture : nullptr; }

HWND SetFocus(HWND Wnd) {
    TState& s = S();
    HWND prev = s.Focus;
    if (Wnd == nullptr) {
        SetFocusTo(nullptr);
        return prev;
    }
    TWnd* w = Find(Wnd);
    if (w == nullptr) return nullptr;
    for (TWnd* a = w; a != nullptr && a != Desktop(); a = a->IsChild() ? a->Parent : nullptr)
        if (a->Style & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
    TWnd* top = TopOf(w);
    if (top != nullptr && (s.Active != top->Handle || !s.AppActive)) {
        SetActive(top, false);
        if ((w = Find(Wnd)) == nullptr) return nullptr;
    }
    prev = s.Focus;
    SetFocusTo(w);
    return prev;
}

HWND GetFocus() { return Find(S().Focus) != nullptr ? S().Focus : nullptr; }

HWND SetActiveWindow(HWND Wnd) {
    HWND prev = GetActiveWindow();
    if (Wnd == nullptr) {
        SetActive(nullptr, false);
        return prev;
    }
    TWnd* w = Find(Wnd);
    if (w == nullptr) return nullptr;
    SetActive(TopOf(w), false);
    return prev;
}

HWND GetActiveWindow() { return Find(S().Active) != nullptr ? S().Active : nullptr; }
HWND GetForegroundWindow() { return S().AppActive ? GetActiveWindow() : nullptr; }

BOOL SetForegroundWindow(HWND Wnd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return FALSE;
    if (!S().AppActive) SetAppActiveState(true);
    SetActive(TopOf(w), false);
    return TRUE;
}

BOOL GetCursorPos(POINT* P) {
    if (P == nullptr) return FALSE;
    *P = S().CursorPos;
    return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
    int l = GetSystemMetrics(SM_XVIRTUALSCREEN), t = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int r = l + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, b = t + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    S().CursorPos = POINT{std::clamp(X, l, std::max(l, r)), std::clamp(Y, t, std::max(t, b))};
    return TRUE;
}

UINT GetDoubleClickTime() { return I().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT Ms) {
    I().DoubleClickTime = Ms == 0 ? 500 : std::min<UINT>(Ms, 5000);
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* Track) {
    if (Track == nullptr) return FALSE;
    auto& in = I();
    if (Track->dwFlags & TME_QUERY) {
        Track->dwFlags = in.Tracked != nullptr ? TME_LEAVE : 0;
        Track->hwndTrack = in.Tracked;
        return TRUE;
    }
    if (Track->dwFlags & TME_CANCEL) {
        if (in.Tracked == Track->hwndTrack) in.Tracked = nullptr;
        return TRUE;
    }
    if (Find(Track->hwndTrack) == nullptr) return FALSE;
    if (Track->dwFlags & TME_LEAVE) in.Tracked = Track->hwndTrack;
    return TRUE;
}

BOOL DragDetect(HWND Wnd, POINT P) {
    if (Find(Wnd) == nullptr) return FALSE;
    POINT s = P;
    ClientToScreen(Wnd, &s);
    int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
    bool moved = false;
    TrackLoop(Wnd, [&](POINT c) {
        moved = std::abs(c.x - s.x) > cx / 2 || std::abs(c.y - s.y) > cy / 2;
        return moved;
    });
    return moved ? TRUE : FALSE;
}

BOOL MessageBeep(UINT) {
    S().Beeps++;
    return TRUE;
}

}  // namespace host

namespace host::Input {

using namespace win;

namespace {
void Push(TRaw E) { I().Raw.push_back(std::move(E)); }
TRaw Event(TRawKind Kind) {
    TRaw e;
    e.Kind = Kind;
    return e;
}
}  // namespace

void MouseMove(int X, int Y) {
    TRaw e = Event(TRawKind::Move);
    e.Pos = POINT{X, Y};
    e.Coalesce = true;
    Push(std::move(e));
}

void MouseDown(Button B) {
    TRaw e = Event(TRawKind::Down);
    e.Btn = B;
    Push(std::move(e));
}

void MouseUp(Button B) {
    TRaw e = Event(TRawKind::Up);
    e.Btn = B;
    Push(std::move(e));
}

void Click(Button B) {
    MouseDown(B);
    MouseUp(B);
}

void Click(int X, int Y, Button B) {
    MouseMove(X, Y);
    Click(B);
}

void DoubleClick(int X, int Y, Button B) {
    MouseMove(X, Y);
    Click(B);
    Click(B);
}

void Drag(POINT From, POINT To, int Steps, Button B) {
    MouseMove(From.x, From.y);
    MouseDown(B);
    Steps = std::max(1, Steps);
    for (int i = 1; i <= Steps; ++i) {
        // Paced steps of a drag are not coalesced: a loop sees each of them.
        TRaw e = Event(TRawKind::Move);
        e.Pos = POINT{int(From.x + int64_t(To.x - From.x) * i / Steps), int(From.y + int64_t(To.y - From.y) * i / Steps)};
        Push(std::move(e));
    }
    MouseUp(B);
}

void KeyDown(int VirtKey) {
    TRaw e = Event(TRawKind::KeyDown);
    e.Vk = VirtKey;
    Push(std::move(e));
}

void KeyUp(int VirtKey) {
    TRaw e = Event(TRawKind::KeyUp);
    e.Vk = VirtKey;
    Push(std::move(e));
}

void Key(int VirtKey) {
    KeyDown(VirtKey);
    KeyUp(VirtKey);
}

void Type(const std::string& Text) {
    for (char c : Text) {
        int vk;
        bool shift;
        if (!CharToVirtualKey(c, vk, shift)) {
            TRaw e = Event(TRawKind::Char);
            e.Vk = static_cast<unsigned char>(c);
            Push(std::move(e));
            continue;
        }
        if (shift) KeyDown(VK_SHIFT);
        Key(vk);
        if (shift) KeyUp(VK_SHIFT);
    }
}

void Wheel(int Delta) {
    TRaw e = Event(TRawKind::Wheel);
    e.Delta = Delta;
    Push(std::move(e));
}

void Call(std::function<void()> Fn) {
    TRaw e = Event(TRawKind::Call);
    e.Fn = std::move(Fn);
    Push(std::move(e));
}

void Wait(uint32_t Ms) {
    TRaw e = Event(TRawKind::Wait);
    e.Ms = Ms;
    Push(std::move(e));
}

int Pending() { return int(I().Raw.size()); }
void Clear() { I().Raw.clear(); }

void ProcessAll() {
    for (int guard = 0; guard < 1000000; ++guard) {
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (I().Raw.empty()) return;
            continue;
        }
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam));
            return;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

}  // namespace host::Input
