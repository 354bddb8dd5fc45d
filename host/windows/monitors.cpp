// Monitors: the monitor list, MonitorFromPoint/Rect/Window, GetMonitorInfo, EnumDisplayMonitors, kept in step with the screen metrics.
#include <algorithm>
#include <climits>

#include "host/gdi/gdi.h"
#include "host/windows/wintest.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

std::vector<wintest::TMonitorSpec>& Monitors() {
    static std::vector<wintest::TMonitorSpec> m;
    return m;
}

// Monitors follow the screen metrics unless a test set a list.
void Sync() {
    auto& m = Monitors();
    if (m.size() <= 1) {
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT work;
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) work = screen;
        m.assign(1, wintest::TMonitorSpec{screen, work, true});
    }
}

HMONITOR HandleOf(size_t I) { return reinterpret_cast<HMONITOR>(uintptr_t(0x4D00 + I)); }

const wintest::TMonitorSpec* ByHandle(HMONITOR H) {
    Sync();
    uintptr_t v = reinterpret_cast<uintptr_t>(H);
    if (v < 0x4D00 || v >= 0x4D00 + Monitors().size()) return nullptr;
    return &Monitors()[v - 0x4D00];
}

size_t PrimaryIndex() {
    auto& m = Monitors();
    for (size_t i = 0; i < m.size(); ++i)
        if (m[i].Primary) return i;
    return 0;
}

int64_t DistanceSq(const RECT& R, POINT P) {
    int64_t dx = P.x < R.left ? R.left - P.x : P.x >= R.right ? P.x - R.right + 1 : 0;
    int64_t dy = P.y < R.top ? R.top - P.y : P.y >= R.bottom ? P.y - R.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

HMONITOR Fallback(DWORD Flags, POINT Near) {
    if (Flags == MONITOR_DEFAULTTONULL) return nullptr;
    if (Flags == MONITOR_DEFAULTTOPRIMARY) return HandleOf(PrimaryIndex());
    auto& m = Monitors();
    size_t best = 0;
    int64_t bd = INT64_MAX;
    for (size_t i = 0; i < m.size(); ++i) {
        int64_t d = DistanceSq(m[i].Monitor, Near);
        if (d < bd) {
            bd = d;
            best = i;
        }
    }
    return HandleOf(best);
}

}  // namespace

void ResetMonitors() {
    Monitors().clear();
    ResetSystemMetrics();
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 30};
    SetWorkArea(work);
    Sync();
}

}  // namespace host::win

namespace host {

using namespace win;

HMONITOR MonitorFromPoint(POINT P, DWORD Flags) {
    Sync();
    auto& m = Monitors();
    for (size_t i = 0; i < m.size(); ++i)
        if (PtInRect(&m[i].Monitor, P)) return HandleOf(i);
    return Fallback(Flags, P);
}

HMONITOR MonitorFromRect(const RECT* R, DWORD Flags) {
    if (R == nullptr) return nullptr;
    Sync();
    auto& m = Monitors();
    size_t best = 0;
    int64_t area = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        RECT x;
        if (!IntersectRect(&x, R, &m[i].Monitor)) continue;
        int64_t a = int64_t(x.right - x.left) * (x.bottom - x.top);
        if (a > area) {
            area = a;
            best = i;
        }
    }
    if (area > 0) return HandleOf(best);
    return Fallback(Flags, POINT{int((int64_t(R->left) + R->right) / 2), int((int64_t(R->top) + R->bottom) / 2)});
}

HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return Fallback(Flags == MONITOR_DEFAULTTONULL ? MONITOR_DEFAULTTONULL : MONITOR_DEFAULTTOPRIMARY, POINT{});
    TWnd* top = TopOf(w);
    RECT r = WindowRectScreen(top != nullptr ? top : w);
    if (top != nullptr && (top->Style & WS_MINIMIZE) && top->HasNormalRect) r = top->NormalRect;
    return MonitorFromRect(&r, Flags);
}

BOOL GetMonitorInfoA(HMONITOR Monitor, MONITORINFO* Info) {
    const wintest::TMonitorSpec* m = ByHandle(Monitor);
    if (m == nullptr || Info == nullptr || Info->cbSize < sizeof(MONITORINFO)) return FALSE;
    Info->rcMonitor = m->Monitor;
    Info->rcWork = m->Work;
    Info->dwFlags = m->Primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

BOOL EnumDisplayMonitors(HDC, const RECT* Clip, MONITORENUMPROC Proc, LPARAM Data) {
    if (Proc == nullptr) return FALSE;
    Sync();
    auto list = Monitors();
    for (size_t i = 0; i < list.size(); ++i) {
        RECT r = list[i].Monitor;
        if (Clip != nullptr && !IntersectRect(&r, &r, Clip)) continue;
        if (!Proc(HandleOf(i), nullptr, &r, Data)) return FALSE;
    }
    return TRUE;
}

namespace wintest {

void SetMonitors(const std::vector<TMonitorSpec>& List) {
    if (List.empty()) return;
    auto& m = Monitors();
    m = List;
    bool anyPrimary = false;
    for (auto& s : m) {
        if (s.Primary && anyPrimary) s.Primary = false;
        anyPrimary = anyPrimary || s.Primary;
    }
    if (!anyPrimary) m[0].Primary = true;
    const TMonitorSpec& p = m[PrimaryIndex()];
    SetSystemMetric(SM_CXSCREEN, p.Monitor.right - p.Monitor.left);
    SetSystemMetric(SM_CYSCREEN, p.Monitor.bottom - p.Monitor.top);
    SetWorkArea(p.Work);
    RECT all = m[0].Monitor;
    for (auto& s : m) UnionRect(&all, &all, &s.Monitor);
    SetSystemMetric(SM_XVIRTUALSCREEN, all.left);
    SetSystemMetric(SM_YVIRTUALSCREEN, all.top);
    SetSystemMetric(SM_CXVIRTUALSCREEN, all.right - all.left);
    SetSystemMetric(SM_CYVIRTUALSCREEN, all.bottom - all.top);
    SetSystemMetric(SM_CMONITORS, int(m.size()));
    Desktop();
    GeometryChanged();
}

void SetScreenSize(int Width, int Height, const RECT& Work) {
    SetMonitors({TMonitorSpec{RECT{0, 0, Width, Height}, Work, true}});
}

void SetScreenSize(int Width, int Height) { SetScreenSize(Width, Height, RECT{0, 0, Width, Height}); }

}  // namespace wintest

}  // namespace host
