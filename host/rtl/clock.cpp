// The host clock: real and virtual ticks, wall time and the listeners that the virtual clock drives.
#include "host/rtl/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "host/rtl/exceptions.h"

namespace host {

namespace {

std::atomic<bool> gVirtual{false};
std::atomic<uint64_t> gTicks{0};  // the virtual counter
uint64_t gStartTicks = 0;
TDateTime gStartTime = Clock::DefaultVirtualStart;
std::atomic<uint32_t> gAdvanceOnRead{0};
std::thread::id gVirtualThread;
int gReadDepth = 0;

struct TEntry {
    TClockListener* Listener;
    bool Busy;
};
std::vector<TEntry> gEntries;
int gDispatchDepth = 0;  // while > 0, removed entries are only cleared

uint64_t RealTicks() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Compact() {
    if (gDispatchDepth > 0) return;
    std::erase_if(gEntries, [](const TEntry& e) { return e.Listener == nullptr; });
}

// Calls the due listeners up to Target in order. On the virtual clock the
// counter moves to each due time on the way; on the real clock Target is now.
void RunDue(uint64_t Target, bool Virtual) {
    ++gDispatchDepth;
    struct Guard {
        ~Guard() {
            --gDispatchDepth;
            Compact();
        }
    } guard;
    uint64_t lastTick = UINT64_MAX;
    int sameTick = 0;
    for (;;) {
        size_t best = SIZE_MAX;
        uint64_t bestDue = 0;
        for (size_t i = 0; i < gEntries.size(); ++i) {
            TEntry& e = gEntries[i];
            if (e.Listener == nullptr || e.Busy) continue;
            uint64_t due = 0;
            if (!e.Listener->NextDue(due) || due > Target) continue;
            if (best == SIZE_MAX || due < bestDue) {
                best = i;
                bestDue = due;
            }
        }
        if (best == SIZE_MAX) break;
        uint64_t now;
        if (Virtual) {
            if (bestDue > gTicks.load()) gTicks.store(bestDue);
            now = gTicks.load();
        } else {
            now = RealTicks();
        }
        if (now == lastTick) {
            if (++sameTick > 1000000)
                throw EInvalidOperation("A clock listener stays due without the clock moving on (more than a million "
                                        "calls at one tick)");
        } else {
            lastTick = now;
            sameTick = 0;
        }
        TClockListener* l = gEntries[best].Listener;
        gEntries[best].Busy = true;
        struct BusyGuard {
            size_t Index;
            TClockListener* L;
            ~BusyGuard() {
                if (Index < gEntries.size() && gEntries[Index].Listener == L) gEntries[Index].Busy = false;
            }
        } busy{best, l};
        l->Due(now);
    }
}

TDateTime RealNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
    time_t t = static_cast<time_t>(ms / 1000);
    std::tm tm{};
    localtime_r(&t, &tm);
    TDateTime d = EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    int sec = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return d + EncodeTime(tm.tm_hour, tm.tm_min, sec, static_cast<int>(ms % 1000));
}

}  // namespace

TClockListener::~TClockListener() { RemoveClockListener(this); }

void AddClockListener(TClockListener* Listener) {
    if (Listener == nullptr) return;
    for (const TEntry& e : gEntries)
        if (e.Listener == Listener) return;
    gEntries.push_back({Listener, false});
}

void RemoveClockListener(TClockListener* Listener) {
    for (TEntry& e : gEntries)
        if (e.Listener == Listener) e.Listener = nullptr;
    Compact();
}

uint64_t GetTickCount64() {
    if (!gVirtual.load()) return RealTicks();
    uint32_t step = gAdvanceOnRead.load();
    if (step != 0 && gReadDepth == 0 && std::this_thread::get_id() == gVirtualThread) {
        ++gReadDepth;
        struct Guard {
            ~Guard() { --gReadDepth; }
        } guard;
        Clock::Advance(step);
    }
    return gTicks.load();
}

uint32_t GetTickCount() { return static_cast<uint32_t>(GetTickCount64()); }

void WaitUntilTick(uint32_t Deadline) {
    if (gVirtual.load()) {
        int32_t d = TickDiff(Deadline, static_cast<uint32_t>(gTicks.load()));
        if (d > 0) Clock::Advance(static_cast<uint32_t>(d));
        return;
    }
    for (;;) {
        int32_t d = TickDiff(Deadline, static_cast<uint32_t>(RealTicks()));
        if (d <= 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(d));
    }
}

void Sleep(uint32_t Milliseconds) {
    if (gVirtual.load()) {
        Clock::Advance(Milliseconds);
        return;
    }
    if (Milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    uint64_t deadline = RealTicks() + Milliseconds;
    for (uint64_t now = RealTicks(); now < deadline; now = RealTicks())
        std::this_thread::sleep_for(std::chrono::milliseconds(deadline - now));
}

namespace Clock {

void UseVirtual(uint64_t StartTicks, TDateTime StartTime) {
    gTicks.store(StartTicks);
    gStartTicks = StartTicks;
    gStartTime = StartTime;
    gVirtualThread = std::this_thread::get_id();
    gVirtual.store(true);
}

void UseReal() {
    gVirtual.store(false);
    gAdvanceOnRead.store(0);
}

bool IsVirtual() { return gVirtual.load(); }

void Advance(uint32_t Milliseconds) {
    if (!gVirtual.load()) throw EInvalidOperation("Clock::Advance needs the virtual clock (call Clock::UseVirtual)");
    AdvanceTo(gTicks.load() + Milliseconds);
}

void AdvanceTo(uint64_t Ticks) {
    if (!gVirtual.load()) throw EInvalidOperation("Clock::AdvanceTo needs the virtual clock (call Clock::UseVirtual)");
    RunDue(Ticks, true);
    if (gTicks.load() < Ticks) gTicks.store(Ticks);
}

void FireDue() {
    if (gVirtual.load())
        RunDue(gTicks.load(), true);
    else
        RunDue(RealTicks(), false);
}

void SetAdvanceOnRead(uint32_t Milliseconds) { gAdvanceOnRead.store(Milliseconds); }

TDateTime Now() {
    if (!gVirtual.load()) return RealNow();
    uint64_t elapsed = gTicks.load() - gStartTicks;
    return gStartTime + static_cast<double>(elapsed) / MSecsPerDay;
}

}  // namespace Clock

}  // namespace host
