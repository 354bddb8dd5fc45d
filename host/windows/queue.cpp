// The message queue: posting, GetMessage/PeekMessage with their retrieval order, translation, dispatch and registered messages.
#include <algorithm>
#include <cctype>
#include <map>

#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/windows/backend.h"
#include "host/windows/inputsim.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

struct TQueue {
    std::deque<MSG> Posted;
    bool Quit = false;
    int QuitCode = 0;
    DWORD LastPos = 0;
    LONG LastTime = 0;
    int ConsecutiveRanOut = 0;
    std::map<std::string, UINT> Registered;
    UINT NextRegistered = 0xC000;
};

TQueue& Q() {
    static TQueue q;
    return q;
}

bool PeekOnce(MSG& Out, HWND Wnd, UINT Min, UINT Max, UINT Remove) {
    bool remove = (Remove & PM_REMOVE) != 0;
    bool any = Wnd == nullptr;
    TWnd* filter = nullptr;
    if (!any && Wnd != reinterpret_cast<HWND>(intptr_t(-1))) {
        filter = Find(Wnd);
        if (filter == nullptr) return false;
    }
    Clock::FireDue();
    auto& posted = Q().Posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!InRange(it->message, Min, Max) || !MatchesWindow(it->hwnd, filter, any)) continue;
        Out = *it;
        if (remove) posted.erase(it);
        return true;
    }
    if (NextInputMessage(filter, any, Min, Max, remove, Out)) return true;
    // Input may have posted something (WM_CHAR from a script's Call, for instance).
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!InRange(it->message, Min, Max) || !MatchesWindow(it->hwnd, filter, any)) continue;
        Out = *it;
        if (remove) posted.erase(it);
        return true;
    }
    if (Q().Quit) {
        Out = MSG{};
        Out.message = WM_QUIT;
        Out.wParam = WPARAM(Q().QuitCode);
        Out.time = GetTickCount();
        Out.pt = S().CursorPos;
        if (remove) Q().Quit = false;
        return true;
    }
    if (InRange(WM_PAINT, Min, Max)) {
        if (TWnd* p = FindPaintWindow(any ? nullptr : filter); p != nullptr && (any || filter != nullptr)) {
            Out = MSG{};
            Out.hwnd = p->Handle;
            Out.message = WM_PAINT;
            Out.time = GetTickCount();
            Out.pt = S().CursorPos;
            return true;
        }
    }
    return NextTimerMessage(filter, any, Min, Max, remove, Out);
}

// With a backend of real windows, an empty queue first shows what was painted and takes
// the input that has come in meanwhile.
bool PeekInternal(MSG& Out, HWND Wnd, UINT Min, UINT Max, UINT Remove) {
    if (PeekOnce(Out, Wnd, Min, Max, Remove)) return true;
    auto& be = windows::Backend();
    return be.Live() && be.WaitEvents(0) && PeekOnce(Out, Wnd, Min, Max, Remove);
}

// How long a loop with nothing to do waits for outside events: up to the next timer, or
// without limit. Zero on the virtual clock, where only the test moves time on.
uint32_t LiveWaitTimeout() {
    if (Clock::IsVirtual()) return 0;
    uint64_t due;
    if (!NextTimerDue(due)) return windows::kWaitForever;
    int64_t left = int64_t(due) - int64_t(GetTickCount64());
    return left <= 0 ? 0 : uint32_t(std::min<int64_t>(left, 0x7FFFFFFF));
}

// The script ran out: cancel the mode and let a loop see its exit condition.
void RunOut() {
    if (HWND cap = S().Capture) {
        SendMessageA(cap, WM_CANCELMODE, 0, 0);
        if (S().Capture != nullptr) ReleaseCapture();
    }
    RanOutFlag() = true;
}

void Stamp(const MSG& M) {
    Q().LastPos = MAKELONG(M.pt.x, M.pt.y);
    Q().LastTime = LONG(M.time);
}

}  // namespace

bool InRange(UINT Msg, UINT Min, UINT Max) {
    if (Min == 0 && Max == 0) return true;
    return Msg >= Min && Msg <= Max;
}

bool MatchesWindow(HWND H, TWnd* Filter, bool AnyWindow) {
    if (AnyWindow) return true;
    if (Filter == nullptr) return H == nullptr;  // the (HWND)-1 filter: thread messages only
    if (H == Filter->Handle) return true;
    return IsChild(Filter->Handle, H) != FALSE;
}

void DropPosted(HWND H) {
    auto& v = Q().Posted;
    v.erase(std::remove_if(v.begin(), v.end(), [&](const MSG& m) { return m.hwnd == H; }), v.end());
}

void ResetQueue() {
    Q().Posted.clear();
    Q().Quit = false;
    Q().QuitCode = 0;
    Q().ConsecutiveRanOut = 0;
    DispatchDepth() = 0;
    ModalLoops() = 0;
    RanOutFlag() = false;
}

int& DispatchDepth() {
    static int d = 0;
    return d;
}

int& ModalLoops() {
    static int n = 0;
    return n;
}

bool& RanOutFlag() {
    static bool f = false;
    return f;
}

}  // namespace host::win

namespace host {

using namespace win;

TModalLoopScope::TModalLoopScope() { ModalLoops()++; }
TModalLoopScope::~TModalLoopScope() {
    if (--ModalLoops() <= 0) {
        ModalLoops() = 0;
        RanOutFlag() = false;
    }
}
bool ModalScriptRanOut() { return RanOutFlag(); }

BOOL PostMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd == HWND_BROADCAST) {
        for (TWnd* t : Desktop()->Children) PostMessageA(t->Handle, Msg, WParam, LParam);
        return TRUE;
    }
    if (Wnd != nullptr && Find(Wnd) == nullptr) return FALSE;
    MSG m;
    m.hwnd = Wnd;
    m.message = Msg;
    m.wParam = WParam;
    m.lParam = LParam;
    m.time = GetTickCount();
    m.pt = S().CursorPos;
    Q().Posted.push_back(m);
    S().MessageCount++;
    return TRUE;
}

BOOL PostThreadMessageA(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (ThreadId != GetCurrentThreadId()) return FALSE;
    return PostMessageA(nullptr, Msg, WParam, LParam);
}

void PostQuitMessage(int ExitCode) {
    Q().Quit = true;
    Q().QuitCode = ExitCode;
}

BOOL PeekMessageA(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg) {
    if (Msg == nullptr) return FALSE;
    MSG m;
    if (!PeekInternal(m, Wnd, FilterMin, FilterMax, RemoveMsg)) return FALSE;
    *Msg = m;
    Stamp(m);
    return TRUE;
}

BOOL GetMessageA(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax) {
    if (Msg == nullptr) return -1;
    if (Wnd != nullptr && Wnd != reinterpret_cast<HWND>(intptr_t(-1)) && Find(Wnd) == nullptr) return -1;
    for (;;) {
        MSG m;
        if (PeekInternal(m, Wnd, FilterMin, FilterMax, PM_REMOVE)) {
            Q().ConsecutiveRanOut = 0;
            *Msg = m;
            Stamp(m);
            return m.message == WM_QUIT ? FALSE : TRUE;
        }
        if (windows::Backend().Live() && !Clock::IsVirtual()) {
            windows::Backend().WaitEvents(LiveWaitTimeout());
            continue;
        }
        if (windows::Backend().WaitEvents(0)) continue;
        if (!Clock::IsVirtual()) {
            uint64_t due;
            if (NextTimerDue(due)) {
                WaitUntilTick(uint32_t(due));
                continue;
            }
        }
        RunOut();
        if (++Q().ConsecutiveRanOut > 10000)
            throw EInvalidOperation("The input script ran out, but the message loop went on asking for messages");
        *Msg = MSG{};
        Msg->message = WM_NULL;
        Msg->time = GetTickCount();
        Msg->pt = S().CursorPos;
        return TRUE;
    }
}

BOOL WaitMessage() {
    for (;;) {
        Clock::FireDue();
        if (!Q().Posted.empty() || Q().Quit || InputPending() || FindPaintWindow(nullptr) != nullptr) return TRUE;
        MSG m;
        if (NextTimerMessage(nullptr, true, WM_TIMER, WM_TIMER, false, m)) return TRUE;
        if (windows::Backend().Live() && !Clock::IsVirtual()) {
            if (windows::Backend().WaitEvents(LiveWaitTimeout())) return TRUE;
            continue;
        }
        if (windows::Backend().WaitEvents(0)) return TRUE;
        uint64_t due;
        if (!Clock::IsVirtual() && NextTimerDue(due)) {
            WaitUntilTick(uint32_t(due));
            continue;
        }
        RunOut();
        return FALSE;
    }
}

BOOL TranslateMessage(const MSG* Msg) {
    if (Msg == nullptr) return FALSE;
    if (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN) return FALSE;
    if (Msg->lParam & (LPARAM(1) << 25)) return FALSE;  // the character comes as text input
    int vk = int(Msg->wParam);
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    int ch = VirtualKeyToChar(vk, shift, caps);
    if (ctrl && !alt) {
        if (vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 1;
        else if (vk == VK_RETURN) ch = 10;
        else if (vk == VK_BACK) ch = 127;
        else if (vk == VK_OEM_4) ch = 27;
        else if (vk == VK_OEM_6) ch = 29;
        else if (vk == VK_OEM_5) ch = 28;
        else if (vk != VK_ESCAPE && vk != VK_TAB && vk != VK_SPACE) ch = 0;
    }
    if (ch == 0) return FALSE;
    MSG m = *Msg;
    m.message = Msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    m.wParam = WPARAM(ch);
    Q().Posted.push_back(m);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* Msg) {
    if (Msg == nullptr) return 0;
    struct TDepth {
        TDepth() { DispatchDepth()++; }
        ~TDepth() { DispatchDepth()--; }
    } depth;
    if (Msg->message == WM_TIMER && Msg->lParam != 0) {
        if (!TimerExists(Msg->hwnd, Msg->wParam, Msg->lParam)) return 0;
        auto proc = reinterpret_cast<TIMERPROC>(Msg->lParam);
        proc(Msg->hwnd, WM_TIMER, Msg->wParam, GetTickCount());
        return 0;
    }
    if (Msg->hwnd == nullptr) return 0;
    TWnd* w = Find(Msg->hwnd);
    if (w == nullptr) return 0;
    LRESULT r = Send(w, Msg->message, Msg->wParam, Msg->lParam);
    if (Msg->message == WM_PAINT && (w = Find(Msg->hwnd)) != nullptr && NeedsPaint(w)) {
        // A procedure that neither painted nor validated would get WM_PAINT forever.
        w->Update.SetEmpty();
        w->Erase = w->InternalPaint = w->NCPending = false;
    }
    return r;
}

DWORD GetMessagePos() { return Q().LastPos; }
LONG GetMessageTime() { return Q().LastTime; }

DWORD GetQueueStatus(UINT Flags) {
    DWORD kinds = 0;
    if (!Q().Posted.empty()) kinds |= QS_POSTMESSAGE;
    if (InputPending()) kinds |= QS_INPUT;
    if (FindPaintWindow(nullptr) != nullptr) kinds |= QS_PAINT;
    uint64_t due;
    if (NextTimerDue(due) && int64_t(due) <= int64_t(GetTickCount64())) kinds |= QS_TIMER;
    kinds &= Flags;
    return (kinds << 16) | kinds;
}

UINT RegisterWindowMessageA(const char* Name) {
    if (Name == nullptr || *Name == 0) return 0;
    std::string key(Name);
    for (char& c : key) c = char(std::toupper(static_cast<unsigned char>(c)));
    auto& r = Q().Registered;
    auto it = r.find(key);
    if (it != r.end()) return it->second;
    if (Q().NextRegistered > 0xFFFF) return 0;
    UINT v = Q().NextRegistered++;
    r[key] = v;
    return v;
}

}  // namespace host
