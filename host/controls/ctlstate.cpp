// Shared control state: mouse capture by control, anchoring flags, liveness guards, mouse tracking and the drag loop.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/app/app.h"
#include "host/controls/controls_internal.h"
#include "host/os/keyboard.h"
#include "host/windows/inputsim.h"

namespace host::controls_internal {

namespace {
TControl* GCapture = nullptr;
HWND GCaptureWnd = nullptr;
TControl* GMouseControl = nullptr;
std::vector<const TControl*> GAnchorMoves;
std::vector<TAliveGuard*> GGuards;

HWND WindowOf(TControl* C) {
    if (C->Is<TWinControl>()) return static_cast<TWinControl*>(C)->Handle();
    return C->Parent() != nullptr ? C->Parent()->Handle() : nullptr;
}

// The drag in progress.
struct TDragging {
    TControl* Control = nullptr;
    TDragObject* Object = nullptr;
    std::unique_ptr<TDragObject> Owned;  // made here when OnStartDrag gave none
    bool Started = false;
    bool Done = false;
    bool Dropped = false;
    int Threshold = 5;
    TPoint StartPos{};
    TControl* Target = nullptr;
    bool Accepted = false;
};
TDragging* GDrag = nullptr;

void ShowDragCursor(TCursor C) {
    if (Screen != nullptr) ::host::SetCursor(Screen->Cursors(C));
}

// Asks Target whether it takes the drag at the screen point.
bool AskTarget(TDragging& D, TControl* Target, const TPoint& Pos, TDragState State) {
    if (Target == nullptr) return false;
    TPoint p = Target->ScreenToClient(Pos);
    bool accept = false;
    Target->DragOver(D.Object->Source(), p.x, p.y, State, accept);
    return accept;
}

void StartDragging(TDragging& D) {
    D.Started = true;
    TDragObject* obj = nullptr;
    D.Control->DoStartDragPublic(obj);
    if (obj == nullptr) {
        D.Owned = std::make_unique<TDragControlObject>(D.Control);
        obj = D.Owned.get();
    }
    D.Object = obj;
}

void DragTo(TDragging& D, const TPoint& Pos) {
    if (!D.Started) {
        if (std::abs(Pos.x - D.StartPos.x) < D.Threshold && std::abs(Pos.y - D.StartPos.y) < D.Threshold) return;
        StartDragging(D);
        if (D.Done) return;
    }
    TControl* target = FindDragTarget(Pos, false);
    if (target != D.Target) {
        if (D.Target != nullptr) AskTarget(D, D.Target, Pos, dsDragLeave);
        D.Target = target;
        D.Accepted = AskTarget(D, target, Pos, dsDragEnter);
    } else {
        D.Accepted = AskTarget(D, target, Pos, dsDragMove);
    }
    D.Object->SetDragPosition(Pos, D.Target);
    ShowDragCursor(D.Object->GetDragCursor(D.Accepted, Pos.x, Pos.y));
}

void FinishDrag(TDragging& D, bool Drop) {
    if (D.Done) return;
    D.Done = true;
    if (!D.Started) return;
    TPoint pos{};
    GetCursorPos(&pos);
    TControl* target = D.Target;
    bool accepted = Drop && target != nullptr && D.Accepted;
    TPoint p = target != nullptr ? target->ScreenToClient(pos) : pos;
    if (target != nullptr && !accepted) AskTarget(D, target, pos, dsDragLeave);
    D.Object->SetDropped(accepted, !Drop);
    if (accepted) target->DragDrop(D.Object->Source(), p.x, p.y);
    if (D.Control != nullptr) D.Object->Finished(accepted ? target : nullptr, p.x, p.y, accepted);
    D.Dropped = accepted;
    ShowDragCursor(crDefault);
}
}  // namespace

TControl* CaptureControl() {
    if (GCapture != nullptr && GetCapture() != GCaptureWnd) {
        GCapture = nullptr;
        GCaptureWnd = nullptr;
    }
    return GCapture;
}

void SetCaptureControl(TControl* Control) {
    if (Control == nullptr) {
        if (GCapture != nullptr && GetCapture() == GCaptureWnd) {
            GCapture = nullptr;
            ReleaseCapture();
        }
        GCapture = nullptr;
        GCaptureWnd = nullptr;
        return;
    }
    HWND h = WindowOf(Control);
    if (h == nullptr) return;
    GCapture = Control;
    GCaptureWnd = h;
    SetCapture(h);
}

bool InAnchorMove(const TControl* Control) {
    return std::find(GAnchorMoves.begin(), GAnchorMoves.end(), Control) != GAnchorMoves.end();
}

void SetAnchorMove(const TControl* Control, bool Value) {
    auto it = std::find(GAnchorMoves.begin(), GAnchorMoves.end(), Control);
    if (Value && it == GAnchorMoves.end()) GAnchorMoves.push_back(Control);
    if (!Value && it != GAnchorMoves.end()) GAnchorMoves.erase(it);
}

void ControlGoing(TControl* Control) {
    if (GCapture == Control) {
        GCapture = nullptr;
        if (GetCapture() == GCaptureWnd) ReleaseCapture();
        GCaptureWnd = nullptr;
    }
    if (GMouseControl == Control) GMouseControl = nullptr;
    SetAnchorMove(Control, false);
    for (TAliveGuard* g : GGuards)
        if (g->FControl == Control) g->FControl = nullptr;
    if (GDrag != nullptr) {
        if (GDrag->Target == Control) GDrag->Target = nullptr;
        if (GDrag->Control == Control) {
            GDrag->Control = nullptr;
            GDrag->Done = true;
        }
    }
}

TAliveGuard::TAliveGuard(TControl* Control) : FControl(Control) { GGuards.push_back(this); }
TAliveGuard::~TAliveGuard() { GGuards.erase(std::find(GGuards.begin(), GGuards.end(), this)); }

TControl* MouseControl() { return GMouseControl; }
void SetMouseControl(TControl* Control) { GMouseControl = Control; }

TControl* DragControlNow() { return GDrag != nullptr && GDrag->Started ? GDrag->Control : nullptr; }
TDragObject* DragObjectNow() { return GDrag != nullptr ? GDrag->Object : nullptr; }

void EndDrag(TControl* Control, bool Drop) {
    if (GDrag == nullptr || GDrag->Control != Control) return;
    FinishDrag(*GDrag, Drop);
}

bool DragMouseMessage(TControl*, TMessage&) { return false; }

void BeginDrag(TControl* Control, bool Immediate, int Threshold) {
    if (GDrag != nullptr) return;  // one drag at a time
    HWND wnd = WindowOf(Control);
    if (wnd == nullptr) return;
    TDragging d;
    d.Control = Control;
    d.Threshold = Threshold < 0 ? DragThreshold() : Threshold;
    GetCursorPos(&d.StartPos);
    GDrag = &d;
    struct TReset {
        ~TReset() { GDrag = nullptr; }
    } reset;
    // The drag keeps the mouse until the button goes up.
    if (Control->MouseCapture()) Control->SetMouseCapture(false);
    SetCapture(wnd);
    if (Immediate) {
        StartDragging(d);
        DragTo(d, d.StartPos);
    }
    TModalLoopScope scope;
    MSG msg;
    while (!d.Done) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT: end the drag and leave the quit for the outer loop
            PostQuitMessage(static_cast<int>(msg.wParam));
            FinishDrag(d, false);
            break;
        }
        if (got < 0) {
            FinishDrag(d, false);
            break;
        }
        TPoint pos{};
        GetCursorPos(&pos);
        switch (msg.message) {
            case WM_MOUSEMOVE: DragTo(d, pos); break;
            case WM_LBUTTONUP:
                if (!d.Started) {
                    // No drag happened: the release is an ordinary one (a click).
                    d.Done = true;
                    ReleaseCapture();
                    DispatchMessageA(&msg);
                } else {
                    DragTo(d, pos);
                    FinishDrag(d, true);
                }
                break;
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP: FinishDrag(d, false); break;
            case WM_KEYDOWN:
                if (msg.wParam == VK_ESCAPE) FinishDrag(d, false);
                break;
            case WM_KEYUP:
            case WM_CHAR: break;
            case WM_NULL:
                if (ModalScriptRanOut() || GetCapture() != wnd) FinishDrag(d, false);
                break;
            default:
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                break;
        }
        if (!d.Done && GetCapture() != wnd) FinishDrag(d, false);  // capture taken away: cancel
    }
    if (GetCapture() == wnd) ReleaseCapture();
    // The button went up inside the drag loop: the control must not wait for it.
    if (d.Started && d.Control != nullptr)
        d.Control->SetControlState(d.Control->ControlState() - csClicked - csLButtonDown);
}

}  // namespace host::controls_internal

namespace host {

int DragThreshold() { return 5; }

TControl* DragControl() { return controls_internal::DragControlNow(); }

void CancelDrag() {
    if (TControl* c = controls_internal::DragControlNow()) controls_internal::EndDrag(c, false);
}

}  // namespace host
