// Tests of the host clock: virtual ticks and their wrap, listeners driven by Advance, and the real clock.
#include "host/rtl/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "host/rtl/exceptions.h"

using namespace host;

namespace {

class ClockTest : public ::testing::Test {
protected:
    void SetUp() override { Clock::UseVirtual(); }
    void TearDown() override {
        Clock::SetAdvanceOnRead(0);
        Clock::UseReal();
    }
};

// A listener that fires every Interval ticks from First on and logs "name@tick".
class Periodic : public TClockListener {
public:
    Periodic(std::string name, uint64_t first, uint64_t interval, std::vector<std::string>& log)
        : FName(std::move(name)), FNext(first), FInterval(interval), FLog(log) {}
    bool NextDue(uint64_t& due) override {
        if (!FActive) return false;
        due = FNext;
        return true;
    }
    void Due(uint64_t now) override {
        EXPECT_EQ(now, GetTickCount64());
        FLog.push_back(FName + "@" + std::to_string(now));
        FNext = now + FInterval;
        if (OnDue) OnDue();
    }
    bool FActive = true;
    std::function<void()> OnDue;

private:
    std::string FName;
    uint64_t FNext, FInterval;
    std::vector<std::string>& FLog;
};

using ClockListeners = ClockTest;

}  // namespace

TEST_F(ClockTest, VirtualTicksAndWallTime) {
    EXPECT_TRUE(Clock::IsVirtual());
    EXPECT_EQ(GetTickCount(), 0u);
    EXPECT_EQ(Clock::Now(), Clock::DefaultVirtualStart);
    Clock::Advance(1500);
    EXPECT_EQ(GetTickCount64(), 1500u);
    EXPECT_DOUBLE_EQ(Clock::Now(), Clock::DefaultVirtualStart + 1500.0 / MSecsPerDay);

    Clock::UseVirtual(1000, 45000.5);
    EXPECT_EQ(GetTickCount(), 1000u);
    EXPECT_EQ(Clock::Now(), 45000.5);
    Sleep(MSecsPerDay / 4);
    EXPECT_EQ(Clock::Now(), 45000.75);
    Clock::AdvanceTo(500);  // never backwards
    EXPECT_EQ(GetTickCount64(), 1000u + MSecsPerDay / 4);
}

TEST_F(ClockTest, TickCounterWrapsAt32Bits) {
    Clock::UseVirtual(0xFFFFFF00u);
    const uint32_t start = GetTickCount();
    EXPECT_EQ(start, 0xFFFFFF00u);
    Clock::Advance(0x200);
    EXPECT_EQ(GetTickCount(), 0x100u);
    EXPECT_EQ(GetTickCount64(), 0x100000100u);
    EXPECT_EQ(TickDiff(GetTickCount(), start), 0x200);
    EXPECT_EQ(TickDiff(start, GetTickCount()), -0x200);
    EXPECT_GT(TickDiff(GetTickCount(), start), 0);  // "later" although numerically smaller
}

TEST_F(ClockTest, WaitUntilTickAcrossTheWrap) {
    Clock::UseVirtual(0xFFFFFFF0u);
    const uint32_t deadline = GetTickCount() + 0x20;  // wraps to 0x10
    EXPECT_EQ(deadline, 0x10u);
    WaitUntilTick(deadline);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(GetTickCount64(), 0x100000010u);  // moved 0x20 ticks, not 2^32
    WaitUntilTick(GetTickCount() - 5);           // already passed: no wait
    EXPECT_EQ(GetTickCount64(), 0x100000010u);
    WaitUntilTick(GetTickCount());
    EXPECT_EQ(GetTickCount64(), 0x100000010u);
}

TEST_F(ClockTest, AdvanceNeedsTheVirtualClock) {
    Clock::UseReal();
    EXPECT_FALSE(Clock::IsVirtual());
    EXPECT_THROW(Clock::Advance(10), EInvalidOperation);
    EXPECT_THROW(Clock::AdvanceTo(10), EInvalidOperation);
}

TEST_F(ClockTest, AdvanceOnReadEndsPollingLoops) {
    Clock::SetAdvanceOnRead(7);
    const uint32_t deadline = GetTickCount() + 100;
    int reads = 0;
    while (TickDiff(deadline, GetTickCount()) > 0) ASSERT_LT(++reads, 100);
    EXPECT_GE(GetTickCount64(), 100u);
    Clock::SetAdvanceOnRead(0);
    const uint64_t t = GetTickCount64();
    EXPECT_EQ(GetTickCount64(), t);
}

TEST_F(ClockListeners, FireInTimeOrderWithTiesInRegistrationOrder) {
    std::vector<std::string> log;
    Periodic a("A", 30, 30, log), b("B", 20, 20, log);
    AddClockListener(&a);
    AddClockListener(&b);
    AddClockListener(&a);  // a second add changes nothing
    Clock::Advance(60);
    EXPECT_EQ(log, (std::vector<std::string>{"B@20", "A@30", "B@40", "A@60", "B@60"}));
    EXPECT_EQ(GetTickCount64(), 60u);
    log.clear();
    Clock::Advance(19);  // nothing due before 80
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(GetTickCount64(), 79u);
    Clock::Advance(1);
    EXPECT_EQ(log, (std::vector<std::string>{"B@80"}));
    RemoveClockListener(&a);
    RemoveClockListener(&b);
}

TEST_F(ClockListeners, OverdueListenerFiresAtTheCurrentTick) {
    std::vector<std::string> log;
    Clock::Advance(100);
    Periodic p("P", 10, 1000, log);
    AddClockListener(&p);
    Clock::Advance(5);
    EXPECT_EQ(log, (std::vector<std::string>{"P@100"}));
    log.clear();
    Clock::FireDue();  // nothing due now
    EXPECT_TRUE(log.empty());
    Periodic q("Q", 105, 1000, log);
    AddClockListener(&q);
    Clock::FireDue();
    EXPECT_EQ(log, (std::vector<std::string>{"Q@105"}));
    EXPECT_EQ(GetTickCount64(), 105u);
}

TEST_F(ClockListeners, RemovedDuringAdvanceIsNeverCalledAgain) {
    std::vector<std::string> log;
    Periodic a("A", 10, 10, log), b("B", 10, 10, log), c("C", 15, 10, log);
    AddClockListener(&a);
    AddClockListener(&b);
    AddClockListener(&c);
    a.OnDue = [&] { RemoveClockListener(&b); };  // b is due at the same tick, after a
    c.OnDue = [&] { RemoveClockListener(&c); };  // c removes itself
    Clock::Advance(40);
    EXPECT_EQ(log, (std::vector<std::string>{"A@10", "C@15", "A@20", "A@30", "A@40"}));
    RemoveClockListener(&a);
}

TEST_F(ClockListeners, DestroyedListenerUnregistersItself) {
    std::vector<std::string> log;
    {
        Periodic gone("G", 10, 10, log);
        AddClockListener(&gone);
    }
    Clock::Advance(50);
    EXPECT_TRUE(log.empty());
}

TEST_F(ClockListeners, AddedDuringAdvanceJoinsIn) {
    std::vector<std::string> log;
    Periodic late("L", 25, 100, log);
    Periodic a("A", 10, 100, log);
    a.OnDue = [&] { AddClockListener(&late); };
    AddClockListener(&a);
    Clock::Advance(30);
    EXPECT_EQ(log, (std::vector<std::string>{"A@10", "L@25"}));
    RemoveClockListener(&a);
    RemoveClockListener(&late);
}

TEST_F(ClockListeners, SleepInsideDueFiresOthersButNotItself) {
    std::vector<std::string> log;
    Periodic a("A", 10, 10, log), b("B", 15, 10, log);
    a.OnDue = [&] {
        if (GetTickCount64() == 10) Sleep(30);  // a handler that waits
    };
    AddClockListener(&a);
    AddClockListener(&b);
    Clock::Advance(10);
    // A's next due (20) and 30 pass while it sleeps, but A is not re-entered.
    EXPECT_EQ(log, (std::vector<std::string>{"A@10", "B@15", "B@25", "B@35"}));
    EXPECT_EQ(GetTickCount64(), 40u);
    log.clear();
    Clock::Advance(5);  // A is overdue since 20: it fires once, now
    EXPECT_EQ(log, (std::vector<std::string>{"A@40", "B@45"}));
    RemoveClockListener(&a);
    RemoveClockListener(&b);
}

TEST_F(ClockListeners, ListenerThatNeverMovesOnIsReported) {
    class Stuck : public TClockListener {
    public:
        bool NextDue(uint64_t& due) override {
            due = 0;
            return true;
        }
        void Due(uint64_t) override { ++Calls; }
        int Calls = 0;
    } stuck;
    AddClockListener(&stuck);
    EXPECT_THROW(Clock::Advance(10), EInvalidOperation);
    EXPECT_GT(stuck.Calls, 1000);
    RemoveClockListener(&stuck);
    Clock::Advance(10);  // the clock still works
}

TEST_F(ClockListeners, ExceptionFromDueLeavesTheClockUsable) {
    std::vector<std::string> log;
    Periodic a("A", 10, 10, log);
    a.OnDue = [] { throw EAbort("stop"); };
    AddClockListener(&a);
    EXPECT_THROW(Clock::Advance(100), EAbort);
    EXPECT_EQ(GetTickCount64(), 10u);
    a.OnDue = nullptr;
    Clock::Advance(15);
    EXPECT_EQ(log, (std::vector<std::string>{"A@10", "A@20"}));
    RemoveClockListener(&a);
}

TEST(ClockReal, SleepsAtLeastAsLongAsAsked) {
    Clock::UseReal();
    using namespace std::chrono;
    auto t0 = steady_clock::now();
    uint64_t ticks0 = GetTickCount64();
    Sleep(20);
    EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - t0).count(), 20);
    EXPECT_GE(GetTickCount64() - ticks0, 20u);

    t0 = steady_clock::now();
    WaitUntilTick(GetTickCount() + 15);
    EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - t0).count(), 14);
    WaitUntilTick(GetTickCount() - 1000);  // in the past: returns at once

    // The wall time is the local time.
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    TDateTime expected = EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
                         (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec) / SecsPerDay;
    EXPECT_NEAR(Clock::Now(), expected, 5.0 / SecsPerDay);
}
