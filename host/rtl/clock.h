// The host clock: tick counters, wall time, the virtual clock for tests, and listeners for the timer layer.
#pragma once

#include <cstdint>

#include "host/rtl/dates.h"

namespace host {

// Milliseconds of the host clock. GetTickCount wraps at 2^32; compare ticks with
// TickDiff, never with < or >.
uint32_t GetTickCount();
uint64_t GetTickCount64();
// a - b as a signed difference, so that comparisons survive the wrap.
inline int32_t TickDiff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

// Returns once GetTickCount has reached Deadline (compared by TickDiff, so a
// deadline just behind the counter returns at once). The real clock sleeps; the
// virtual clock advances to the deadline at once, firing due listeners.
void WaitUntilTick(uint32_t Deadline);
void Sleep(uint32_t Milliseconds);

// Something that wants to run at given tick counts (the timer layer). The
// clock asks NextDue for the earliest tick at which the listener wants Due to be
// called (false: nothing pending). A listener removes itself when destroyed.
class TClockListener {
public:
    TClockListener() = default;
    TClockListener(const TClockListener&) = delete;
    TClockListener& operator=(const TClockListener&) = delete;
    virtual ~TClockListener();
    virtual bool NextDue(uint64_t& DueTicks) = 0;
    virtual void Due(uint64_t NowTicks) = 0;
};

// Registration order breaks ties between listeners due at the same tick. Adding
// a listener twice has no effect. Listeners are used from one thread only.
void AddClockListener(TClockListener* Listener);
// A listener removed (even from inside another listener's Due) is never called again.
void RemoveClockListener(TClockListener* Listener);

namespace Clock {

// 2026-01-01 09:00, where the virtual clock starts unless told otherwise.
inline constexpr TDateTime DefaultVirtualStart = 46023.375;

// Switches the process to a virtual clock standing at StartTicks, whose wall time
// is StartTime at that tick. It moves only through Advance, AdvanceTo,
// WaitUntilTick and Sleep.
void UseVirtual(uint64_t StartTicks = 0, TDateTime StartTime = DefaultVirtualStart);
// Back to the system's monotonic clock and local wall time.
void UseReal();
bool IsVirtual();

// Moves the virtual clock forward by Milliseconds. On the way, each listener
// due at or before the target is called at its due time, earliest first (equal
// times in registration order), until none is due; then the clock stands at the
// target. A listener is never re-entered from inside its own Due. Raises
// EInvalidOperation on the real clock.
void Advance(uint32_t Milliseconds);
void AdvanceTo(uint64_t Ticks);
// Calls the listeners that are due now, in order, on either clock (the real
// clock's message loop uses this).
void FireDue();
// Virtual clock only: every read of the tick counter from the thread that chose
// the virtual clock first advances it by this many milliseconds (0, the
// default, turns it off), so that code that polls the clock in a loop ends.
void SetAdvanceOnRead(uint32_t Milliseconds);

// The wall time: the system's local time, or the virtual start time plus the
// virtual milliseconds since the start.
TDateTime Now();

}  // namespace Clock

}  // namespace host
