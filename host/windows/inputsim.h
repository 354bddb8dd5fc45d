// The input simulator: mouse and keyboard actions queued as raw input for the message loop.
//
// Each call appends a raw event; nothing happens until a message loop reads input
// (GetMessageA/PeekMessageA, or ProcessAll). Then the event updates the cursor position or
// the key state and becomes a message, as the system's input thread does: mouse events go
// to the capture window, else to the window under the cursor by WM_NCHITTEST (disabled
// windows and their descendants take none); a button press first sends WM_MOUSEACTIVATE and
// activates the top-level, and every move or press sends WM_SETCURSOR; two presses within
// GetDoubleClickTime (host clock) and SM_CXDOUBLECLK x SM_CYDOUBLECLK become a double click
// for classes with CS_DBLCLKS; consecutive moves are coalesced into the last one; key events
// go to the focus window (else the active window) as WM_KEYDOWN/WM_KEYUP, WM_SYSKEY* while
// Alt is down, and TranslateMessage adds WM_CHAR.
//
// The "script ran out" rule (headless backend): when GetMessageA finds no posted message,
// no raw input, no paint, and (virtual clock) no timer due, it does not block. It cancels
// the mode (the capture window gets WM_CANCELMODE and WM_CAPTURECHANGED and loses the
// capture) and, if a modal or private message loop is still running (a GetMessage called
// while another GetMessage/PeekMessage loop is dispatching, or while a loop marked with
// TModalLoopScope runs), it posts WM_NULL and returns it, so that the loop sees its exit
// condition. A top-level loop with nothing to do gets WM_NULL too; calling GetMessage again
// with nothing queued keeps returning WM_NULL after cancelling. On the real clock with no
// input, GetMessage waits for the next timer instead.
#pragma once

#include <functional>
#include <string>

#include "host/gdi/gditypes.h"

namespace host::Input {

enum class Button { Left, Right, Middle };

// Moves the cursor to (X, Y) in screen coordinates.
void MouseMove(int X, int Y);
void MouseDown(Button B = Button::Left);
void MouseUp(Button B = Button::Left);
// Press and release where the cursor is, or after moving to (X, Y).
void Click(Button B = Button::Left);
void Click(int X, int Y, Button B = Button::Left);
// Two clicks at (X, Y) within the double-click time.
void DoubleClick(int X, int Y, Button B = Button::Left);
// Move to From, press, move in Steps equal steps to To, release.
void Drag(POINT From, POINT To, int Steps = 4, Button B = Button::Left);
void KeyDown(int VirtKey);
void KeyUp(int VirtKey);
// Down and up.
void Key(int VirtKey);
// Each character as WM_KEYDOWN (with Shift as needed), WM_CHAR through TranslateMessage, WM_KEYUP.
void Type(const std::string& Text);
// One notch is WHEEL_DELTA (120); positive rolls away from the user.
void Wheel(int Delta);
// Runs Fn when the loop reaches this point of the script (e.g. to check state mid-drag).
void Call(std::function<void()> Fn);
// Advances the host clock by Ms when the loop reaches this point (virtual clock only).
void Wait(uint32_t Ms);

// Raw events still queued.
int Pending();
// Drops the queued events.
void Clear();
// Pumps messages (PeekMessage/TranslateMessage/DispatchMessage) until the script and the
// queue are empty and nothing needs painting. WM_QUIT found on the way is put back.
void ProcessAll();

}  // namespace host::Input

namespace host {
// Marks a modal or private message loop for the "script ran out" rule: while one exists,
// a GetMessage with nothing to return posts WM_NULL so the loop can see its exit condition.
class TModalLoopScope {
public:
    TModalLoopScope();
    ~TModalLoopScope();
    TModalLoopScope(const TModalLoopScope&) = delete;
    TModalLoopScope& operator=(const TModalLoopScope&) = delete;
};
// True once the script has run out inside the current modal loop (reset when it ends).
bool ModalScriptRanOut();
}  // namespace host
