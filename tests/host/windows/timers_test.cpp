// Tests of timers on the virtual and real clocks, and of monitors and metrics.
#include "wintest_util.h"

namespace wintests {
namespace {

using TimerClock = WinFixture;

std::vector<std::string>* gProcLog = nullptr;
void CALLBACK_Proc(HWND, UINT, UINT_PTR Id, DWORD Time) {
    if (gProcLog) gProcLog->push_back("proc" + std::to_string(Id) + "@" + std::to_string(Time));
}

TEST_F(TimerClock, VirtualClockFiresTimersInDueOrder) {
    HWND w = Top(0, 0, 100, 100, WS_POPUP);
    std::vector<std::string> log;
    gProcLog = &log;
    uint32_t t0 = GetTickCount();
    Rec().Handlers[w] = [&](HWND H, UINT M, WPARAM W, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_TIMER) return std::nullopt;
        log.push_back("wnd" + std::to_string(W) + "@" + std::to_string(GetTickCount() - t0));
        if (W == 2) KillTimer(H, 2);  // a one-shot
        return 0;
    };
    SetTimer(w, 1, 30, nullptr);
    SetTimer(w, 2, 50, nullptr);
    UINT_PTR tid = SetTimer(nullptr, 0, 40, &CALLBACK_Proc);
    EXPECT_NE(tid, 0u);
    Clock::Advance(100);
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], "wnd1@30");
    EXPECT_EQ(log[1].substr(0, 5), "proc" + std::to_string(tid).substr(0, 1));
    EXPECT_EQ(log[2], "wnd2@50");
    EXPECT_EQ(log[3], "wnd1@60");
    EXPECT_EQ(log[5], "wnd1@90");
    // A timer set again is reset; KillTimer stops it; a destroyed window's timers stop.
    log.clear();
    KillTimer(nullptr, tid);
    SetTimer(w, 1, 100, nullptr);
    Clock::Advance(99);
    EXPECT_TRUE(log.empty());
    Clock::Advance(1);
    EXPECT_EQ(log.size(), 1u);
    DestroyWindow(w);
    Clock::Advance(1000);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(KillTimer(w, 1));
    // Elapse below the system minimum is raised to 10 ms.
    HWND v = Top(0, 0, 10, 10, WS_POPUP);
    SetTimer(v, 7, 1, nullptr);
    Clock::Advance(9);
    EXPECT_EQ(CountOf(v, WM_TIMER), 0);
    Clock::Advance(1);
    EXPECT_EQ(CountOf(v, WM_TIMER), 1);
    gProcLog = nullptr;
}

TEST_F(TimerClock, RealClockTimersComeThroughTheQueueOnePerTimer) {
    Clock::UseReal();
    HWND w = Top(0, 0, 100, 100, WS_POPUP);
    SetTimer(w, 5, 10, nullptr);
    Sleep(35);
    MSG m;
    int timers = 0;
    while (PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        EXPECT_EQ(m.wParam, 5u);
        ++timers;
        DispatchMessageA(&m);
    }
    EXPECT_EQ(timers, 1);  // one pending per timer, however late the loop is
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);  // waits for the next tick instead of running out
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    KillTimer(w, 5);
}

TEST_F(TimerClock, MonitorsAndMetricsStayInStep) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work, (RECT{0, 0, 1024, 738}));
    wintest::SetMonitors({{RECT{0, 0, 800, 600}, RECT{0, 0, 800, 570}, true},
                          {RECT{800, 0, 1440, 480}, RECT{800, 0, 1440, 480}, false}});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1440);
    int count = 0;
    EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, RECT*, LPARAM D) -> BOOL {
        ++*reinterpret_cast<int*>(D);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 2);
    HMONITOR second = MonitorFromPoint(POINT{900, 100}, MONITOR_DEFAULTTONULL);
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfoA(second, &mi));
    EXPECT_EQ(mi.rcMonitor, (RECT{800, 0, 1440, 480}));
    EXPECT_EQ(mi.dwFlags, 0u);
    EXPECT_EQ(MonitorFromPoint(POINT{900, 550}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{900, 550}, MONITOR_DEFAULTTONEAREST), second);
    RECT r{700, 10, 1000, 100};  // mostly on the second
    EXPECT_EQ(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), second);
    HWND w = Top(850, 50, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), second);
    ShowWindow(w, SW_MAXIMIZE);
    RECT wr;
    GetWindowRect(w, &wr);
    EXPECT_EQ(wr, (RECT{796, -4, 1444, 484}));  // the second monitor's work area plus the frame
    EXPECT_FALSE(GetMonitorInfoA(reinterpret_cast<HMONITOR>(uintptr_t(99)), &mi));
    wintest::SetScreenSize(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
}

}  // namespace
}  // namespace wintests
