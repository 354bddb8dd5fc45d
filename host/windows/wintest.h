// Test helpers of the window manager: reset, counts, screenshots, screen and monitor set-up.
#pragma once

#include <string>
#include <vector>

#include "host/gdi/gditypes.h"
#include "host/gdi/imagefile.h"

namespace host::wintest {

// Destroys every window, drops the queue, the raw input, the timers, capture, focus and
// activation, restores the screen to 1024 x 768 with one monitor and its work area less a
// 30-pixel bar at the bottom, the cursor to (0, 0), the keyboard state, the double-click
// time and the registered classes other than the predefined ones (classes stay registered
// only while windows of them exist). Call it in each test's set-up.
void Reset();
// Live windows (not counting the desktop).
int LiveWindowCount();
// Messages sent and posted so far (every one through a window procedure counts once).
uint64_t MessageCount();
int BeepCount();

// The window as it looks on screen (its top-level's surface, including the non-client
// area; parts covered by other top-levels are not removed). Paints pending updates first.
bool CaptureWindow(HWND Wnd, TPixelImage& Out);
bool SaveWindowPng(HWND Wnd, const std::string& FileName);
// The desktop, composed from the visible top-levels in z-order.
bool CaptureDesktop(TPixelImage& Out);
bool SaveDesktopPng(const std::string& FileName);
// The pixel of a window's client area at client (X, Y) as 0x00RRGGBB, after painting
// pending updates; 0xFFFFFFFF outside.
uint32_t ClientPixel(HWND Wnd, int X, int Y);

struct TMonitorSpec {
    RECT Monitor;
    RECT Work;
    bool Primary = false;
};
// One monitor of that size at (0, 0) with the given work area (default: the whole screen).
void SetScreenSize(int Width, int Height);
void SetScreenSize(int Width, int Height, const RECT& Work);
// Several monitors; the screen metrics follow the primary one (SM_CXSCREEN/SM_CYSCREEN,
// SPI_GETWORKAREA), SM_CMONITORS the count and the virtual-screen metrics their union.
void SetMonitors(const std::vector<TMonitorSpec>& Monitors);

// Another application takes the foreground (false: the active window is deactivated
// and every top-level gets WM_ACTIVATEAPP(FALSE)) or gives it back (true: the last
// active window is activated again).
void SetAppActive(bool Active);
bool AppActive();

// The cursor shown now (after WM_SETCURSOR processing).
HCURSOR CurrentCursor();

}  // namespace host::wintest
