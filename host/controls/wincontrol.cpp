// TWinControl: the window and its procedure, children, alignment, painting of graphic children, focus, tab order and dialog keys.
#include <algorithm>
#include <cstring>

#include "host/app/app.h"
#include "host/controls/controls.h"
#include "host/controls/controls_internal.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
// The control whose window CreateWindowEx is making: its first message attaches it.
TWinControl* GCreationControl = nullptr;
// The last WM_KEYDOWN was used as a dialog key: its WM_CHAR is not a key press.
bool GDialogKeyUsed = false;
constexpr const char* kControlProp = "HostControl";

LRESULT InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

WNDPROC DefProc() {
    static WNDPROC p = MakeWndProc(&DefWindowProcA);
    return p;
}
WNDPROC InitProc() {
    static WNDPROC p = MakeWndProc(&InitWndProc);
    return p;
}
}  // namespace

// Reaches the private members the window procedure hook needs.
struct TWinControlAccess {
    static void Attach(TWinControl* C, HWND Wnd) {
        C->FHandle = Wnd;
        SetPropA(Wnd, kControlProp, C);
        SetWindowLongPtrA(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(C->FObjectInstance));
    }
    static WNDPROC Instance(TWinControl* C) { return C->FObjectInstance; }
};

namespace {
LRESULT InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* c = GCreationControl;
    if (c == nullptr) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    GCreationControl = nullptr;
    TWinControlAccess::Attach(c, Wnd);
    return CallWindowProcA(TWinControlAccess::Instance(c), Wnd, Msg, WParam, LParam);
}
}  // namespace

TWinControl* FindControl(HWND Handle) {
    if (Handle == nullptr || !IsWindow(Handle)) return nullptr;
    return static_cast<TWinControl*>(GetPropA(Handle, kControlProp));
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
    FObjectInstance = MakeObjectInstance(TWndMethod(this, &TWinControl::MainWndProc));
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    Destroying();
    controls_internal::ControlGoing(this);
    if (TCustomForm* f = host::GetParentForm(this); f != nullptr && f != this) f->DefocusControl(this, true);
    if (FHandle != nullptr) DestroyWindowHandle();
    // Children go with their parent, whoever owns them.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        Remove(c);
        delete c;
    }
    if (FParent != nullptr) FParent->RemoveControl(this);
    FreeObjectInstance(FObjectInstance);
    FObjectInstance = nullptr;
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams();
    Params.Caption = Text();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (FParent == nullptr && FParentWindow == nullptr) Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent != nullptr) Params.WndParent = FParent->FHandle;
    else Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = DefProc();
    Params.WindowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (params.WndParent == nullptr && (params.Style & WS_CHILD) != 0)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = params.WindowClass.lpfnWndProc;
    WNDCLASSA existing;
    if (!GetClassInfoA(0, params.WinClassName.c_str(), &existing)) {
        WNDCLASSA wc = params.WindowClass;
        wc.lpfnWndProc = InitProc();
        wc.lpszClassName = params.WinClassName.c_str();
        if (RegisterClassA(&wc) == 0)
            throw EOutOfResources("Cannot register the window class " + params.WinClassName);
    }
    CreateWindowHandle(params);
    if (FHandle == nullptr) throw EOutOfResources("Error creating window of " + ClassName());
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    GCreationControl = this;
    HWND h = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr, 0,
                             Params.Param);
    if (GCreationControl == this) GCreationControl = nullptr;
    if (h != nullptr && FHandle == nullptr) TWinControlAccess::Attach(this, h);
    FHandle = h;
}

void TWinControl::CreateHandle() {
    if (FHandle != nullptr) return;
    CreateWnd();
    if (FHandle == nullptr) return;
    // The window is placed in its parent's z-order after the windowed siblings below it.
    if (FParent != nullptr) {
        auto& sib = FParent->FWinControls;
        auto it = std::find(sib.begin(), sib.end(), this);
        HWND after = HWND_TOP;
        for (auto j = it; j != sib.end(); ++j)
            if (j != it && (*j)->HandleAllocated()) {
                after = (*j)->FHandle;
                break;
            }
        if (after != HWND_TOP) SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Children with their own windows get them now, in z-order.
    for (TWinControl* c : std::vector<TWinControl*>(FWinControls))
        if (c->FVisible) c->HandleNeeded();
    UpdateBounds();
}

void TWinControl::HandleNeeded() {
    if (FHandle != nullptr) return;
    if (FParent != nullptr) FParent->HandleNeeded();
    CreateHandle();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::DestroyWindowHandle() {
    FControlState.Include(csDestroyingHandle);
    HWND h = FHandle;
    if (h != nullptr) {
        RemovePropA(h, kControlProp);
        DestroyWindow(h);
    }
    FHandle = nullptr;
    FShowing = false;
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyHandle() {
    if (FHandle == nullptr) return;
    for (TWinControl* c : FWinControls) c->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (FHandle == nullptr) return;
    bool hadFocus = Focused();
    DestroyHandle();
    UpdateControlState();
    if (hadFocus && CanFocus()) SetFocus();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent != nullptr || FParentWindow == Value) return;
    DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::MainWndProc(TMessage& Message) {
    try {
        WindowProc(Message);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleException(this);
    }
}

void TWinControl::DefaultHandler(void* Message) {
    auto& m = *static_cast<TMessage*>(Message);
    if (FHandle != nullptr) {
        m.Result = CallWindowProcA(FDefWndProc, FHandle, m.Msg, m.WParam, m.LParam);
        return;
    }
    TControl::DefaultHandler(Message);
}

std::string TWinControl::GetText() const { return TControl::GetText(); }

void TWinControl::SetTextInternal(const std::string& Value) {
    TControl::SetTextInternal(Value);
    if (FHandle != nullptr) SetWindowTextA(FHandle, Value.c_str());
}

// ---------------------------------------------------------------------------
// Showing
// ---------------------------------------------------------------------------

void TWinControl::UpdateShowing() {
    // A top-level shows when visible (a form, or a control in a host window); a child
    // when visible and its parent shows.
    bool showing = FVisible && (FParent != nullptr ? FParent->FShowing : (FParentWindow != nullptr || Is<TCustomForm>()));
    if (showing) HandleNeeded();
    auto children = [this] {
        for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
    };
    if (FShowing == showing) {
        children();
        return;
    }
    FShowing = showing;
    // Children show before their parent's window appears (so that a form comes up
    // whole and can give the focus to a child), and hide after it went.
    if (showing) children();
    try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
        FShowing = !showing;
        throw;
    }
    if (!showing) children();
}

void TWinControl::UpdateControlState() {
    if (FParent == nullptr || FParent->FShowing) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
    if (FHandle == nullptr) return;
    if (FShowing) {
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    if (!FVisible && FParent != nullptr) {
        if (TCustomForm* f = host::GetParentForm(this)) f->DefocusControl(this, false);
    }
    // While a form file is read, showing waits for the end of the reading.
    if (!ComponentState().Contains(csLoading)) UpdateControlState();
    Inherited(Message);
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (!FEnabled && FParent != nullptr) {
        if (TCustomForm* f = host::GetParentForm(this)) f->DefocusControl(this, false);
    }
    if (FHandle != nullptr) EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
    Inherited(Message);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    FBrush->SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
    Inherited(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    NotifyControls(CM_PARENTFONTCHANGED);
    Inherited(Message);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMTextChanged(TMessage&) {}

void TWinControl::CMSysColorChange(TMessage& Message) {
    Broadcast(Message);
    Invalidate();
}

void TWinControl::WMSysColorChange(TMessage&) { Perform(CM_SYSCOLORCHANGE, 0, 0); }

void TWinControl::CMCancelMode(TMessage& Message) {
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->MouseCapture() && reinterpret_cast<TControl*>(Message.LParam) != c) c->Perform(WM_CANCELMODE, 0, 0);
    Broadcast(Message);
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// Children
// ---------------------------------------------------------------------------

TControl* TWinControl::Controls(int Index) const {
    int n = static_cast<int>(FControls.size());
    if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Index < n ? FControls[Index] : FWinControls[Index - n];
}

void TWinControl::Insert(TControl* AControl) {
    if (AControl->Is<TWinControl>()) {
        auto* w = static_cast<TWinControl*>(AControl);
        FWinControls.push_back(w);
        UpdateTabList(w, true);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
    if (AControl->Is<TWinControl>()) {
        auto* w = static_cast<TWinControl*>(AControl);
        UpdateTabList(w, false);
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
    } else {
        FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    }
    if (FMouseControl == AControl) FMouseControl = nullptr;
    AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
    Insert(AControl);
    if (!AControl->ComponentState().Contains(csReading)) {
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
        AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
        if (AControl->Is<TWinControl>()) {
            auto* w = static_cast<TWinControl*>(AControl);
            if (w->FParentCtl3D) w->FCtl3D = FCtl3D;
            w->UpdateControlState();
        } else if (FHandle != nullptr) {
            AControl->Invalidate();
        }
        AlignControl(AControl);
    }
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
    if (AControl->Is<TWinControl>()) {
        auto* w = static_cast<TWinControl*>(AControl);
        if (TCustomForm* f = host::GetParentForm(this)) f->DefocusControl(w, true);
        w->FShowing = false;
        w->DestroyHandle();
    } else if (FHandle != nullptr) {
        AControl->Invalidate();
    }
    Remove(AControl);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
    Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto hit = [&](TControl* c) {
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) return false;
        TRect r = c->BoundsRect();
        if (!PtInRect(&r, Pos)) return false;
        TPoint p{Pos.x - c->Left(), Pos.y - c->Top()};
        return c->Perform(CM_HITTEST, 0, MAKELPARAM(p.x, p.y)) != 0;
    };
    if (AllowWinControls)
        for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
            if (hit(*it)) return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (hit(*it)) return *it;
    return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& ControlName) const {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (SameText(c->Name(), ControlName)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() == Root) Proc(c);
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = 0;
    m.LParam = 0;
    m.Result = 0;
    Broadcast(m);
}

// ---------------------------------------------------------------------------
// Bounds and alignment
// ---------------------------------------------------------------------------

TRect TWinControl::GetClientRect() const {
    if (FHandle != nullptr) {
        RECT r{};
        ::host::GetClientRect(FHandle, &r);
        return r;
    }
    // Without a window: the frame the window would have, from the creation style.
    TCreateParams p;
    const_cast<TWinControl*>(this)->CreateParams(p);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, p.Style, FALSE, p.ExStyle);
    int w = FWidth - (frame.right - frame.left), h = FHeight - (frame.bottom - frame.top);
    return TRect{0, 0, std::max(0, w), std::max(0, h)};
}

TPoint TWinControl::GetClientOrigin() const {
    if (FHandle != nullptr) {
        POINT p{0, 0};
        ::host::ClientToScreen(FHandle, &p);
        return p;
    }
    return TControl::GetClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!controls_internal::InAnchorMove(this)) UpdateAnchorRules();
    if (FHandle != nullptr) {
        // WM_SIZE realigns the children and fires OnResize.
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        RequestAlign();
        return;
    }
    RequestAlign();
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (FHandle == nullptr) return;
    RECT r{};
    GetWindowRect(FHandle, &r);
    HWND parent = GetParent(FHandle);
    if ((GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) != 0 && parent != nullptr) {
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, parent, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    UpdateBoundsRect(r);
}

void TWinControl::BoundsChanged() {}

void TWinControl::Resize() { TControl::Resize(); }

void TWinControl::WMWindowPosChanged(TWMWindowPosMsg& Message) {
    int oldW = FWidth, oldH = FHeight;
    UpdateBounds();
    Inherited(Message);  // the default sends WM_MOVE and WM_SIZE
    (void)oldW;
    (void)oldH;
}

void TWinControl::WMMove(TWMMove& Message) { Inherited(Message); }

void TWinControl::WMSize(TWMSize& Message) {
    UpdateBounds();
    Realign();
    Inherited(Message);
    Resize();
}

void TWinControl::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TWinControl::AdjustClientRect(TRect& Rect) {
    Rect.left += FBorderWidth;
    Rect.top += FBorderWidth;
    Rect.right -= FBorderWidth;
    Rect.bottom -= FBorderWidth;
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || FAligning) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    if (FAlignLevel != 0) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    FAligning = true;
    try {
        TRect r = ClientRect();
        AlignControls(AControl, r);
    } catch (...) {
        FAligning = false;
        FControlState.Exclude(csAlignmentNeeded);
        --FAlignLevel;
        throw;
    }
    FAligning = false;
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
}

namespace {
// Whether C1 goes before C2 among controls of one alignment.
bool InsertBefore(const TControl* C1, const TControl* C2, TAlign A) {
    switch (A) {
        case alTop: return C1->Top() < C2->Top();
        case alBottom: return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
        case alLeft: return C1->Left() < C2->Left();
        case alRight: return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
        default: return false;
    }
}

struct TAnchorMoveScope {
    const TControl* C;
    explicit TAnchorMoveScope(const TControl* c) : C(c) { controls_internal::SetAnchorMove(c, true); }
    ~TAnchorMoveScope() { controls_internal::SetAnchorMove(C, false); }
};
}  // namespace

void TWinControl::DoAlign(TAlign AAlign, TRect& Rect, TControl* AControl) {
    std::vector<TControl*> list;
    auto take = [&](TControl* c) { return c->Align() == AAlign && c->Visible(); };
    if (AControl != nullptr && AControl->Parent() == this && take(AControl)) list.push_back(AControl);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c == AControl || !take(c)) continue;
        size_t j = 0;
        while (j < list.size() && !InsertBefore(c, list[j], AAlign)) ++j;
        list.insert(list.begin() + static_cast<long>(j), c);
    }
    for (TControl* c : list) {
        int newLeft = Rect.left, newTop = Rect.top;
        int newWidth = Rect.right - Rect.left, newHeight = Rect.bottom - Rect.top;
        switch (AAlign) {
            case alTop: newHeight = c->Height(); break;
            case alBottom:
                newHeight = c->Height();
                newTop = Rect.bottom - newHeight;
                break;
            case alLeft: newWidth = c->Width(); break;
            case alRight:
                newWidth = c->Width();
                newLeft = Rect.right - newWidth;
                break;
            default: break;
        }
        if (newWidth < 0) newWidth = 0;
        if (newHeight < 0) newHeight = 0;
        {
            TAnchorMoveScope scope(c);
            c->SetBounds(newLeft, newTop, newWidth, newHeight);
        }
        // The constraints may have given another size: the rectangle shrinks by
        // what the control really took.
        switch (AAlign) {
            case alTop: Rect.top += c->Height(); break;
            case alBottom: Rect.bottom -= c->Height(); break;
            case alLeft: Rect.left += c->Width(); break;
            case alRight: Rect.right -= c->Width(); break;
            default: break;
        }
    }
}

void TWinControl::AnchorControls(TRect& Rect) {
    (void)Rect;
    TRect client = ClientRect();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alNone || !c->Visible()) continue;
        TAnchors a = c->Anchors();
        if (a.Contains(akLeft) && a.Contains(akTop) && !a.Contains(akRight) && !a.Contains(akBottom)) continue;
        if (c->FOriginalParentSize.cx == 0 && c->FOriginalParentSize.cy == 0) continue;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        int dx = client.right - c->FOriginalParentSize.cx, dy = client.bottom - c->FOriginalParentSize.cy;
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft)) w = client.right - c->FAnchorRules.x - l;
            else l = client.right - c->FAnchorRules.x - w;
        } else if (!a.Contains(akLeft)) {
            l += dx / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop)) h = client.bottom - c->FAnchorRules.y - t;
            else t = client.bottom - c->FAnchorRules.y - h;
        } else if (!a.Contains(akTop)) {
            t += dy / 2;
        }
        TAnchorMoveScope scope(c);
        c->SetBounds(l, t, std::max(0, w), std::max(0, h));
    }
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    AdjustClientRect(Rect);
    DoAlign(alTop, Rect, AControl);
    DoAlign(alBottom, Rect, AControl);
    DoAlign(alLeft, Rect, AControl);
    DoAlign(alRight, Rect, AControl);
    // The client control takes what is left.
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alClient || !c->Visible()) continue;
        TAnchorMoveScope scope(c);
        c->SetBounds(Rect.left, Rect.top, std::max(0L, long(Rect.right - Rect.left)),
                     std::max(0L, long(Rect.bottom - Rect.top)));
    }
    AnchorControls(Rect);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TWinControl::Invalidate() {
    if (FHandle != nullptr) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
    if (FHandle != nullptr) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    if (Message.DC() == nullptr) return;
    RECT r{};
    ::host::GetClientRect(FHandle, &r);
    FillRect(Message.DC(), &r, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::PaintWindow(HDC DC) { (void)DC; }

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto start = FControls.begin();
    if (First != nullptr) {
        auto it = std::find(FControls.begin(), FControls.end(), First);
        if (it != FControls.end()) start = it;
    }
    for (auto it = start; it != FControls.end(); ++it) {
        TControl* c = *it;
        if (!c->Visible()) continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(DC, &r)) continue;
        int saved = SaveDC(DC);
        POINT org{};
        GetWindowOrgEx(DC, &org);
        SetWindowOrgEx(DC, org.x - c->Left(), org.y - c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintHandler(TWMPaint& Message) {
    HDC dc = Message.DC();
    PAINTSTRUCT ps;
    bool own = dc == nullptr;
    if (own) dc = BeginPaint(FHandle, &ps);
    if (dc == nullptr) return;
    try {
        int saved = SaveDC(dc);
        // Graphic children that are opaque keep the window's own painting out.
        for (TControl* c : FControls)
            if (c->Visible() && c->ControlStyle().Contains(csOpaque))
                ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (own) EndPaint(FHandle, &ps);
        throw;
    }
    if (own) EndPaint(FHandle, &ps);
}

void TWinControl::WMPaint(TWMPaint& Message) { PaintHandler(Message); }

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    if (FHandle == nullptr) HandleNeeded();
    if (FHandle != nullptr) PaintWindowTo(FHandle, DC, X, Y);
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y) { PaintTo(Canvas->Handle(), X, Y); }

TBrush* TWinControl::Brush() { return FBrush.get(); }

void TWinControl::SetZOrder(bool TopMost) {
    if (FParent == nullptr) {
        if (FHandle != nullptr)
            SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | (TopMost ? 0u : SWP_NOACTIVATE));
        return;
    }
    auto& list = FParent->FWinControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost) list.push_back(this);
    else list.insert(list.begin(), this);
    if (FHandle != nullptr)
        SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// The window procedure
// ---------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETFOCUS: {
            TCustomForm* f = host::GetParentForm(this);
            if (f != nullptr && !f->SetFocusedControl(this)) return;
            break;
        }
        case WM_KILLFOCUS:
            if (FControlState.Contains(csFocusing)) return;
            break;
        case WM_NCHITTEST:
            TControl::WndProc(Message);
            if (Message.Result == HTTRANSPARENT) {
                TPoint p = ScreenToClient(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
                if (ControlAtPos(p, false) != nullptr) Message.Result = HTCLIENT;
            }
            return;
        case WM_MOUSEMOVE: {
            // Mouse tracking: the graphic child (or this control) under the mouse.
            TControl* over = this;
            if (controls_internal::CaptureControl() == nullptr || controls_internal::CaptureControl() == this) {
                TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
                if (TControl* c = ControlAtPos(p, false)) over = c;
            } else {
                over = controls_internal::CaptureControl();
            }
            TControl* old = controls_internal::MouseControl();
            if (old != over) {
                controls_internal::SetMouseControl(over);
                if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, 0);
                if (controls_internal::MouseControl() == over) over->Perform(CM_MOUSEENTER, 0, 0);
                if (FHandle != nullptr) {
                    TRACKMOUSEEVENT t;
                    t.dwFlags = TME_LEAVE;
                    t.hwndTrack = FHandle;
                    TrackMouseEvent(&t);
                }
            }
            break;
        }
        case WM_MOUSELEAVE: {
            TControl* old = controls_internal::MouseControl();
            if (old != nullptr && (old == this || old->Parent() == this)) {
                controls_internal::SetMouseControl(nullptr);
                old->Perform(CM_MOUSELEAVE, 0, 0);
            }
            break;
        }
        default: break;
    }
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(static_cast<TWMMouse&>(Message))) return;
    }
    if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST && controls_internal::DragControlNow() != nullptr)
        return;
    TControl::WndProc(Message);
}

bool TControl::IsControlMouseMsg(TWMMouse& Message) {
    if (!Is<TWinControl>()) return false;
    auto* self = static_cast<TWinControl*>(this);
    TControl* control = nullptr;
    TControl* cap = controls_internal::CaptureControl();
    TPoint pos = Message.Pos();
    if (cap != nullptr) {
        if (cap->Parent() == self) control = cap;
    } else {
        control = self->ControlAtPos(pos, false);
    }
    if (control == nullptr) return false;
    TMessage m = Message;
    m.LParam = MAKELPARAM(pos.x - control->Left(), pos.y - control->Top());
    control->Perform(m.Msg, m.WParam, m.LParam);
    Message.Result = 1;
    return true;
}

void TWinControl::WMNCDestroy(TMessage& Message) {
    Inherited(Message);
    if (FHandle != nullptr) RemovePropA(FHandle, kControlProp);
    FHandle = nullptr;
    FShowing = false;
}

void TWinControl::WMCommand(TMessage& Message) {
    // Notifications go back to the control that sent them (CN_COMMAND).
    if (TWinControl* c = FindControl(reinterpret_cast<HWND>(Message.LParam)); c != nullptr && c != this) {
        Message.Result = c->Perform(CN_COMMAND, Message.WParam, Message.LParam);
        return;
    }
    Inherited(Message);
}

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
    if (Message.CursorWnd() == FHandle && static_cast<SHORT>(Message.HitTest()) == HTCLIENT && Screen != nullptr) {
        TCursor cursor = Screen->Cursor();
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            TControl* c = ControlAtPos(ScreenToClient(p), false);
            cursor = c != nullptr ? c->Cursor() : Cursor();
        }
        if (cursor != crDefault) {
            ::host::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// Focus and tab order
// ---------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
    TCustomForm* form = host::GetParentForm(this);
    if (form == nullptr) return false;
    for (const TWinControl* c = this; c != form; c = c->FParent)
        if (!(c->FVisible && c->FEnabled)) return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle != nullptr && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    if (TCustomForm* f = host::GetParentForm(this)) {
        f->FocusControl(this);
    } else if (FParentWindow != nullptr) {
        ::host::SetFocus(Handle());
    } else {
        ValidParentForm(this);
    }
}

void TWinControl::UpdateTabList(TWinControl* AControl, bool Add) {
    auto it = std::find(FTabList.begin(), FTabList.end(), AControl);
    if (Add && it == FTabList.end()) FTabList.push_back(AControl);
    if (!Add && it != FTabList.end()) FTabList.erase(it);
}

int TWinControl::TabOrder() const {
    if (FParent == nullptr) return -1;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (FParent == nullptr) return;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end()) return;
    l.erase(it);
    if (Value < 0 || Value >= static_cast<int>(l.size()) + 1) Value = static_cast<int>(l.size());
    l.insert(l.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    FParentCtl3D = false;
    Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == n) i = 0;
        } else {
            if (i == 0) i = n;
            --i;
        }
        TWinControl* c = list[i];
        if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (c != nullptr) c->SetFocus();
}

void TWinControl::SelectFirst() {
    TCustomForm* form = host::GetParentForm(this);
    if (form == nullptr) return;
    TWinControl* c = FindNextControl(nullptr, true, true, false);
    if (c == nullptr) c = FindNextControl(nullptr, true, false, false);
    if (c != nullptr) form->SetActiveControl(c);
}

void TWinControl::SelectFirstOrSelf() { SelectFirst(); }

void TWinControl::WMSetFocus(TWMSetFocus& Message) { Inherited(Message); }
void TWinControl::WMKillFocus(TWMSetFocus& Message) { Inherited(Message); }

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); Message.Result = 0; }

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyPress(char& Key) { OnKeyPress(this, Key); }
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }

bool TWinControl::DoKeyEvent(TWMKey& Message, void (TWinControl::*Handler)(WORD&, TShiftState)) {
    TShiftState shift = KeyDataToShiftState(Message.KeyData());
    TCustomForm* form = host::GetParentForm(this);
    auto pass = [&](TWinControl* Target) {
        WORD key = Message.CharCode();
        (Target->*Handler)(key, shift);
        if (key == 0) return true;
        Message.SetCharCode(key);
        return false;
    };
    if (form != nullptr && form != this && form->KeyPreview() && pass(form)) return true;
    return !FControlStyle.Contains(csNoStdEvents) && pass(this);
}

bool TWinControl::DoKeyDown(TWMKey& Message) { return DoKeyEvent(Message, &TWinControl::KeyDown); }

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TCustomForm* form = host::GetParentForm(this);
    if (form != nullptr && form != this && form->KeyPreview()) {
        char ch = static_cast<char>(Message.CharCode());
        form->KeyPress(ch);
        if (ch == 0) return true;
        Message.SetCharCode(static_cast<unsigned char>(ch));
    }
    if (!FControlStyle.Contains(csNoStdEvents)) {
        char ch = static_cast<char>(Message.CharCode());
        KeyPress(ch);
        if (ch == 0) return true;
        Message.SetCharCode(static_cast<unsigned char>(ch));
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) { return DoKeyEvent(Message, &TWinControl::KeyUp); }

bool TWinControl::DispatchDialogKey(TWMKey& Message) {
    if (ComponentState().Contains(csDesigning)) return false;
    WORD code = Message.CharCode();
    if (Perform(CM_CHILDKEY, code, reinterpret_cast<LPARAM>(this)) != 0) return true;
    LRESULT mask = 0;
    switch (code) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
    }
    if (mask == 0) return false;
    if (Perform(CM_WANTSPECIALKEY, code, 0) != 0) return false;
    if ((Perform(WM_GETDLGCODE, 0, 0) & mask) != 0) return false;
    TCustomForm* form = host::GetParentForm(this);
    if (form == nullptr) return false;
    return form->Perform(CM_DIALOGKEY, code, Message.KeyData()) != 0;
}

void TWinControl::WMGetDlgCode(TMessage& Message) { Message.Result = 0; }

void TWinControl::WMKeyDown(TWMKey& Message) {
    GDialogKeyUsed = false;
    if (DispatchDialogKey(Message)) {
        GDialogKeyUsed = true;
        return;
    }
    if (!DoKeyDown(Message)) Inherited(Message);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) Inherited(Message);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) Inherited(Message);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) Inherited(Message);
}

void TWinControl::WMChar(TWMKey& Message) {
    // Enter, Escape and Tab used as dialog keys give no key press.
    if (GDialogKeyUsed) {
        GDialogKeyUsed = false;
        WORD c = Message.CharCode();
        if (c == '\t' || c == '\r' || c == 27) return;
    }
    if (!DoKeyPress(Message)) Inherited(Message);
}

void TWinControl::CMDialogKey(TWMKey& Message) { Broadcast(Message); }

// The application's key pre-processing: Result 1 when the key was used as a dialog key
// (the WM_KEYDOWN is then not dispatched).
void TWinControl::CNKeyDown(TWMKey& Message) {
    Message.Result = DispatchDialogKey(Message) ? 1 : 0;
    if (Message.Result != 0) GDialogKeyUsed = true;
}
void TWinControl::CMDialogChar(TWMKey& Message) { Broadcast(Message); }

// A character the focused control does not want (and every Alt+character) is offered to
// the form's controls as an accelerator first: a label focuses its control, a button
// clicks. Result 1 when one took it, so the character goes no further.
namespace {
bool OfferDialogChar(TWinControl* Control, TWMKey& Message) {
    TCustomForm* form = GetParentForm(Control);
    return form != nullptr && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0;
}
}  // namespace

void TWinControl::CNChar(TWMKey& Message) {
    Message.Result = 0;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && OfferDialogChar(this, Message)) Message.Result = 1;
}

void TWinControl::CNSysChar(TWMKey& Message) { Message.Result = OfferDialogChar(this, Message) ? 1 : 0; }

int controls_internal::ScrollTarget(TMessage& M, HWND Wnd, int Bar, int Pos, int Line, int Page, int Max) {
    switch (LOWORD(M.WParam)) {
        case SB_LINEUP: return Pos - Line;
        case SB_LINEDOWN: return Pos + Line;
        case SB_PAGEUP: return Pos - Page;
        case SB_PAGEDOWN: return Pos + Page;
        case SB_TOP: return 0;
        case SB_BOTTOM: return Max;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(Wnd, Bar, &si)) return si.nTrackPos;
            return HIWORD(M.WParam);
        }
        default: return Pos;
    }
}

}  // namespace host
