// Shared state of the controls layer: mouse capture by control, the drag in progress, anchoring and liveness guards.
#pragma once

#include "host/controls/controls.h"

namespace host::controls_internal {

// The control that has the mouse (a graphic control's capture is its parent's window).
TControl* CaptureControl();
void SetCaptureControl(TControl* Control);

// True while AlignControls moves Control (its anchor rules stay as they were).
bool InAnchorMove(const TControl* Control);
void SetAnchorMove(const TControl* Control, bool Value);

// A control is being destroyed: capture, drag, mouse tracking and guards forget it.
void ControlGoing(TControl* Control);

// Watches one control across calls that may destroy it (event handlers).
class TAliveGuard {
public:
    explicit TAliveGuard(TControl* Control);
    ~TAliveGuard();
    TAliveGuard(const TAliveGuard&) = delete;
    TAliveGuard& operator=(const TAliveGuard&) = delete;
    bool Alive() const { return FControl != nullptr; }
    TControl* FControl;
};

// Attaches a control's canvas to a paint DC (with the control's font) for one
// paint, and detaches it on every way out.
class TCanvasOnDC {
public:
    TCanvasOnDC(TCanvas* Canvas, HDC DC, TFont* Font) : FCanvas(Canvas) {
        FCanvas->Lock();
        FCanvas->SetHandle(DC);
        FCanvas->Font()->Assign(Font);
    }
    ~TCanvasOnDC() {
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
    }
    TCanvasOnDC(const TCanvasOnDC&) = delete;
    TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

private:
    TCanvas* FCanvas;
};

// The control under the mouse (for CM_MOUSEENTER / CM_MOUSELEAVE).
TControl* MouseControl();
void SetMouseControl(TControl* Control);

// Dragging.
void BeginDrag(TControl* Control, bool Immediate, int Threshold);
void EndDrag(TControl* Control, bool Drop);
TControl* DragControlNow();
TDragObject* DragObjectNow();
// Lets a pending or running drag see the mouse messages of Control; true when the
// message was used by the drag.
bool DragMouseMessage(TControl* Control, TMessage& Message);

// The frame of a control whose BorderStyle is bsSingle: a sunken client edge in the
// 3-D look, else a plain line.
inline void AddSingleBorder(TCreateParams& Params, bool Ctl3D) {
    if (Ctl3D)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        Params.Style |= WS_BORDER;
}

// Where a WM_HSCROLL/WM_VSCROLL of a window scroll bar asks to go from Pos: a line
// or a page either way, the ends (0 and Max), or the thumb's 32-bit track position.
int ScrollTarget(TMessage& M, HWND Wnd, int Bar, int Pos, int Line, int Page, int Max);

}  // namespace host::controls_internal
