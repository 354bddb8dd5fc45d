// Timers: SetTimer/KillTimer on the host clock, delivered at their due times on the virtual clock and through the queue on the real one.
#include <algorithm>

#include "host/rtl/clock.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

struct TTimer {
    HWND Wnd = nullptr;
    UINT_PTR Id = 0;
    UINT Elapse = 0;
    uint64_t Due = 0;
    TIMERPROC Proc = nullptr;
    bool Pending = false;  // real clock: a WM_TIMER waits in the queue
    uint64_t Seq = 0;
    bool Dead = false;
};

class TTimers : public TClockListener {
public:
    std::vector<TTimer> List;
    uint64_t NextSeq = 1;
    UINT_PTR NextThreadId = 0x7F00;
    bool Registered = false;

    void Ensure() {
        if (!Registered) {
            AddClockListener(this);
            Registered = true;
        }
    }
    bool NextDue(uint64_t& DueTicks) override {
        bool any = false;
        for (auto& t : List) {
            if (t.Dead || t.Pending) continue;
            if (!any || t.Due < DueTicks) DueTicks = t.Due;
            any = true;
        }
        return any;
    }
    void Due(uint64_t NowTicks) override {
        // The timers due now, earliest first and in creation order on ties.
        std::vector<std::pair<uint64_t, uint64_t>> due;  // (due, seq)
        for (auto& t : List)
            if (!t.Dead && !t.Pending && t.Due <= NowTicks) due.emplace_back(t.Due, t.Seq);
        std::sort(due.begin(), due.end());
        bool virt = Clock::IsVirtual();
        for (auto& [d, seq] : due) {
            TTimer* t = BySeq(seq);
            if (t == nullptr) continue;
            t->Due = NowTicks + t->Elapse;
            if (!virt) {
                t->Pending = true;
                continue;
            }
            HWND h = t->Wnd;
            UINT_PTR id = t->Id;
            TIMERPROC proc = t->Proc;
            if (proc != nullptr)
                proc(h, WM_TIMER, id, uint32_t(NowTicks));
            else if (TWnd* w = Find(h))
                Send(w, WM_TIMER, id, 0);
        }
        Compact();
    }
    TTimer* BySeq(uint64_t Seq) {
        for (auto& t : List)
            if (t.Seq == Seq && !t.Dead) return &t;
        return nullptr;
    }
    TTimer* ByKey(HWND Wnd, UINT_PTR Id) {
        for (auto& t : List)
            if (!t.Dead && t.Wnd == Wnd && t.Id == Id) return &t;
        return nullptr;
    }
    int Delivering = 0;
    void Compact() {
        List.erase(std::remove_if(List.begin(), List.end(), [](const TTimer& t) { return t.Dead; }), List.end());
    }
};

TTimers& T() {
    static TTimers t;
    return t;
}

}  // namespace

void RemoveTimers(HWND H) {
    for (auto& t : T().List)
        if (t.Wnd == H && H != nullptr) t.Dead = true;
}

void ResetTimers() {
    for (auto& t : T().List) t.Dead = true;
    T().Compact();
}

bool NextTimerDue(uint64_t& Due) { return T().NextDue(Due); }

bool TimerExists(HWND H, UINT_PTR Id, LPARAM Proc) {
    TTimer* t = T().ByKey(H, Id);
    return t != nullptr && reinterpret_cast<LPARAM>(t->Proc) == Proc;
}

bool NextTimerMessage(TWnd* Filter, bool AnyWindow, UINT Min, UINT Max, bool Remove, MSG& Out) {
    if (!InRange(WM_TIMER, Min, Max)) return false;
    for (auto& t : T().List) {
        if (t.Dead || !t.Pending || !MatchesWindow(t.Wnd, Filter, AnyWindow)) continue;
        Out = MSG{};
        Out.hwnd = t.Wnd;
        Out.message = WM_TIMER;
        Out.wParam = t.Id;
        Out.lParam = reinterpret_cast<LPARAM>(t.Proc);
        Out.time = GetTickCount();
        Out.pt = S().CursorPos;
        if (Remove) t.Pending = false;
        return true;
    }
    return false;
}

}  // namespace host::win

namespace host {

using namespace win;

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc) {
    if (Wnd != nullptr && Find(Wnd) == nullptr) return 0;
    TTimers& ts = T();
    ts.Ensure();
    Elapse = std::clamp<UINT>(Elapse, 10, 0x7FFFFFFF);  // the system's USER_TIMER_MINIMUM and MAXIMUM
    if (Wnd == nullptr) {
        // A thread timer: a new id unless IdEvent names an existing thread timer.
        if (IdEvent == 0 || ts.ByKey(nullptr, IdEvent) == nullptr) IdEvent = ts.NextThreadId++;
    }
    TTimer* t = ts.ByKey(Wnd, IdEvent);
    if (t == nullptr) {
        ts.List.push_back(TTimer{});
        t = &ts.List.back();
        t->Wnd = Wnd;
        t->Id = IdEvent;
        t->Seq = ts.NextSeq++;
    }
    t->Elapse = Elapse;
    t->Proc = TimerFunc;
    t->Pending = false;
    t->Due = GetTickCount64() + Elapse;
    return Wnd == nullptr ? IdEvent : (IdEvent != 0 ? IdEvent : 1);
}

BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent) {
    TTimer* t = T().ByKey(Wnd, IdEvent);
    if (t == nullptr) return FALSE;
    t->Dead = true;
    return TRUE;
}

}  // namespace host
