// TControl: bounds, alignment requests, visibility, colours and fonts with parent inheritance, mouse messages, actions and dragging.
#include "host/controls/controls.h"

#include <algorithm>
#include <cstring>

#include "host/app/app.h"
#include "host/controls/actnlist.h"
#include "host/controls/controls_internal.h"
#include "host/controls/forms.h"
#include "host/controls/menus.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

// ---------------------------------------------------------------------------
// Cursor names
// ---------------------------------------------------------------------------

namespace {
struct TCursorName {
    int Value;
    const char* Name;
};
constexpr TCursorName kCursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},       {crCross, "crCross"},
    {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"},       {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},     {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"},     {crNo, "crNo"},             {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};
}  // namespace

bool CursorToIdent(int32_t Cursor, std::string& Ident) {
    for (const auto& c : kCursorNames)
        if (c.Value == Cursor) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToCursor(const std::string& Ident, int32_t& Cursor) {
    for (const auto& c : kCursorNames)
        if (SameText(Ident, c.Name)) {
            Cursor = c.Value;
            return true;
        }
    if (SameText(Ident, "crSize")) {
        Cursor = crSize;
        return true;
    }
    return false;
}

std::string CursorToString(TCursor Cursor) {
    std::string s;
    return CursorToIdent(Cursor, s) ? s : IntToStr(Cursor);
}

TCursor StringToCursor(const std::string& S) {
    int32_t v;
    if (IdentToCursor(S, v)) return v;
    return StrToInt(S);
}

const TTypeInfo* CursorTypeInfo() {
    static const TTypeInfo info = [] {
        TTypeInfo t = *TypeInfoOf<int32_t>();
        t.Name = "TCursor";
        t.OrdType = otSWord;
        t.MinValue = -32768;
        t.MaxValue = 32767;
        t.IntToIdent = [](int64_t v, std::string& s) { return CursorToIdent(static_cast<int32_t>(v), s); };
        t.IdentToInt = [](const std::string& s, int64_t& v) {
            int32_t c;
            if (!IdentToCursor(s, c)) return false;
            v = c;
            return true;
        };
        return t;
    }();
    return &info;
}

// ---------------------------------------------------------------------------
// Shift states
// ---------------------------------------------------------------------------

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if ((KeyData & 0x20000000) != 0 || GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState GetShiftState() {
    TShiftState s = KeyDataToShiftState(0);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

// ---------------------------------------------------------------------------
// TSizeConstraints
// ---------------------------------------------------------------------------

TSizeConstraints::TSizeConstraints(TControl* Control) : FControl(Control) {}

void TSizeConstraints::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TSizeConstraints>()) {
        auto* s = static_cast<TSizeConstraints*>(Source);
        FMinHeight = s->FMinHeight;
        FMaxHeight = s->FMaxHeight;
        FMinWidth = s->FMinWidth;
        FMaxWidth = s->FMaxWidth;
        Change();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::SetLimit(int& Field, int Value, bool IsMax) {
    (void)IsMax;
    if (Value < 0) Value = 0;
    if (Field == Value) return;
    Field = Value;
    // A maximum below the minimum pulls the minimum down, and the other way round.
    if (FMaxHeight > 0 && FMinHeight > FMaxHeight) {
        if (&Field == &FMaxHeight) FMinHeight = FMaxHeight;
        else FMaxHeight = FMinHeight;
    }
    if (FMaxWidth > 0 && FMinWidth > FMaxWidth) {
        if (&Field == &FMaxWidth) FMinWidth = FMaxWidth;
        else FMaxWidth = FMinWidth;
    }
    Change();
}

void TSizeConstraints::SetMaxHeight(int Value) { SetLimit(FMaxHeight, Value, true); }
void TSizeConstraints::SetMaxWidth(int Value) { SetLimit(FMaxWidth, Value, true); }
void TSizeConstraints::SetMinHeight(int Value) { SetLimit(FMinHeight, Value, false); }
void TSizeConstraints::SetMinWidth(int Value) { SetLimit(FMinWidth, Value, false); }
void TSizeConstraints::Change() { OnChange(this); }

// ---------------------------------------------------------------------------
// TControlCanvas
// ---------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
    if (FControl == Value) return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::FreeHandle() {
    if (FDeviceContext != nullptr) {
        SetHandle(nullptr);
        ReleaseDC(FWindowHandle, FDeviceContext);
        FDeviceContext = nullptr;
        FWindowHandle = nullptr;
    }
}

void TControlCanvas::CreateHandle() {
    if (FControl == nullptr) return;
    if (FDeviceContext == nullptr) {
        // A graphic control draws on its parent's window with the origin moved.
        if (FControl->Is<TWinControl>()) {
            FWindowHandle = static_cast<TWinControl*>(FControl)->Handle();
            FDeviceContext = GetDC(FWindowHandle);
        } else if (FControl->Parent() != nullptr) {
            FWindowHandle = FControl->Parent()->Handle();
            FDeviceContext = GetDC(FWindowHandle);
            if (FDeviceContext != nullptr) {
                SetWindowOrgEx(FDeviceContext, -FControl->Left(), -FControl->Top(), nullptr);
                IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
            }
        }
    }
    if (FDeviceContext != nullptr) SetHandle(FDeviceContext);
}

// ---------------------------------------------------------------------------
// Drag objects
// ---------------------------------------------------------------------------

TCursor TDragObject::GetDragCursor(bool Accepted, int X, int Y) {
    (void)X;
    (void)Y;
    return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
    (void)Target;
    (void)X;
    (void)Y;
    (void)Accepted;
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
    if (!Accepted) return crNoDrop;
    (void)X;
    (void)Y;
    return FControl->DragCursor();
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
    if (!Accepted) Target = nullptr;
    FControl->DoEndDragFromObject(Target, X, Y);
}

TObject* TDragControlObject::Source() { return FControl; }

// ---------------------------------------------------------------------------
// TControl
// ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>()) {
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
    FConstraints->OnChange = TNotifyEvent(this, &TControl::DoConstraintsChange);
}

TControl::~TControl() {
    controls_internal::ControlGoing(this);
    if (Screen != nullptr) Screen->ControlDestroying(this);
    if (Application != nullptr) Application->ControlDestroying(this);
    FActionLink.reset();
    if (FParent != nullptr) FParent->RemoveControl(this);
}

TRect TControl::BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
void TControl::SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
void TControl::SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
void TControl::SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
void TControl::SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
void TControl::SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }

void TControl::SetClientSize(int W, int H) {
    TRect r = ClientRect();
    SetBounds(FLeft, FTop, FWidth - (r.right - r.left) + W, FHeight - (r.bottom - r.top) + H);
}
void TControl::SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
void TControl::SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

TRect TControl::GetClientRect() const { return TRect{0, 0, FWidth, FHeight}; }

TPoint TControl::GetClientOrigin() const {
    if (FParent == nullptr) return TPoint{FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return TPoint{p.x + FLeft, p.y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& Point) const {
    TPoint o = ClientOrigin();
    return TPoint{Point.x + o.x, Point.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) const {
    TPoint o = ClientOrigin();
    return TPoint{Point.x - o.x, Point.y - o.y};
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) const {
    if (AParent == nullptr) AParent = FParent;
    if (AParent == nullptr) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    return AParent->ScreenToClient(ClientToScreen(Point));
}

TPoint TControl::ParentToClient(const TPoint& Point, TWinControl* AParent) const {
    if (AParent == nullptr) AParent = FParent;
    if (AParent == nullptr) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    return ScreenToClient(AParent->ClientToScreen(Point));
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
    int w = NewWidth, h = NewHeight;
    if (!CanResize(w, h)) return false;
    int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
    int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
    ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW > 0 && w > maxW) w = maxW;
    if (minW > 0 && w < minW) w = minW;
    if (maxH > 0 && h > maxH) h = maxH;
    if (minH > 0 && h < minH) h = minH;
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    NewWidth = w;
    NewHeight = h;
    return true;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

bool TControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    (void)NewHeight;
    return true;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::DoConstraintsChange(TObject*) {
    if (!FConstraints) return;
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!CheckNewSize(AWidth, AHeight)) return;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool resized = AWidth != FWidth || AHeight != FHeight;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    InvalidateControl(FVisible, false);
    if (!controls_internal::InAnchorMove(this)) UpdateAnchorRules();
    RequestAlign();
    if (resized) Resize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
    FLeft = R.left;
    FTop = R.top;
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
}

void TControl::UpdateAnchorRules() {
    if (FParent == nullptr || (ComponentState().Contains(csLoading))) return;
    TRect pr = FParent->ClientRect();
    FOriginalParentSize = TSize{pr.right, pr.bottom};
    FAnchorRules = TPoint{pr.right - (FLeft + FWidth), pr.bottom - (FTop + FHeight)};
}

void TControl::RequestAlign() {
    if (FParent != nullptr) FParent->AlignControl(this);
}

void TControl::Resize() { OnResize(this); }
void TControl::AdjustSize() {}
void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    TAlign old = FAlign;
    FAlign = Value;
    FAnchors = AnchorAlign[Value];
    // A control given an alignment keeps its extent across it (a top-aligned
    // control keeps its height); with none it keeps the bounds it has.
    if (old == alNone || Value == alNone || true) RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    for (TWinControl* p = AParent; p != nullptr; p = p->Parent())
        if (p == this) throw EInvalidOperation("A control cannot have one of its children as its parent");
    if (FParent != nullptr) FParent->RemoveControl(this);
    if (AParent != nullptr) {
        AParent->InsertControl(this);
        if (FParentFont) ParentFontChanged();
        if (FParentColor) ParentColorChanged();
        if (FParentShowHint) ParentShowHintChanged();
        UpdateAnchorRules();
    }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (Value != nullptr && Value->Is<TWinControl>()) SetParent(static_cast<TWinControl*>(Value));
}

bool TControl::IsParentOf(const TControl* AControl) const {
    for (const TControl* c = AControl ? AControl->FParent : nullptr; c != nullptr; c = c->FParent)
        if (c == this) return true;
    return false;
}

TCustomForm* TControl::GetParentForm() const { return host::GetParentForm(this); }

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    RequestAlign();
}

void TControl::Show() {
    if (FParent != nullptr) FParent->ShowControl(this);
    SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

bool TControl::Showing() const {
    // A graphic control shows when it and every parent up to a showing window do.
    if (!FVisible) return false;
    return FParent != nullptr && FParent->Showing();
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::MouseCapture() const { return controls_internal::CaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    controls_internal::SetCaptureControl(Value ? this : nullptr);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value && !FParentColor) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

// Turning one of the Parent* flags on takes the parent's value at once (Msg).
void TControl::SetParentFlag(bool& Flag, bool Value, UINT Msg) {
    if (Flag == Value) return;
    Flag = Value;
    if (Value && FParent != nullptr && !ComponentState().Contains(csReading)) Perform(Msg, 0, 0);
}

void TControl::SetParentColor(bool Value) { SetParentFlag(FParentColor, Value, CM_PARENTCOLORCHANGED); }

void TControl::ParentColorChanged() {
    if (FParentColor && FParent != nullptr) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED, 0, 0);
        FParentColor = true;
    }
}

void TControl::SetFont(TFont* Value) { FFont->Assign(Value); }

void TControl::FontChanged(TObject*) {
    // An explicit font change ends the inheritance from the parent; the parent's
    // own change sets the flag back afterwards (ParentFontChanged).
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) { SetParentFlag(FParentFont, Value, CM_PARENTFONTCHANGED); }

void TControl::ParentFontChanged() {
    if (FParentFont && FParent != nullptr) {
        // One CM_FONTCHANGED for the whole copy, and the flag stays set.
        TNotifyEvent saved = FFont->OnChange;
        FFont->OnChange = nullptr;
        FFont->Assign(FParent->Font());
        FFont->OnChange = saved;
        Perform(CM_FONTCHANGED, 0, 0);
    }
}

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value && !FParentShowHint) return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) { SetParentFlag(FParentShowHint, Value, CM_PARENTSHOWHINTCHANGED); }

void TControl::ParentShowHintChanged() {
    if (FParentShowHint && FParent != nullptr) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED, 0, 0);
        FParentShowHint = true;
    }
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    SetTextInternal(Value);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextInternal(const std::string& Value) {
    FText = Value;
    Invalidate();
}

bool TControl::IsCaptionStored() const {
    return FControlStyle.Contains(csSetCaption) && !(FActionLink && FActionLink->IsCaptionLinked());
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    // The menu is a component: forget it when it goes.
    if (Value != nullptr) FreeNotification(reinterpret_cast<TComponent*>(Value));
}

TComponent* TControl::PopupMenuForStream() const { return FPopupMenu; }
void TControl::SetPopupMenuForStream(TComponent* Value) { SetPopupMenu(As<TPopupMenu>(Value)); }

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (reinterpret_cast<TComponent*>(FPopupMenu) == AComponent) FPopupMenu = nullptr;
        if (FActionLink && FActionLink->Action() == AComponent) SetAction(nullptr);
    }
}

// --- actions ---

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    if (Value == nullptr) {
        FActionLink.reset();
        FControlStyle.Exclude(csActionClient);
        return;
    }
    FControlStyle.Include(csActionClient);
    if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
    ActionChange(Value, ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    if (Sender == nullptr || !Sender->Is<TCustomAction>()) return;
    auto* a = static_cast<TCustomAction*>(Sender);
    if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(a->Caption());
    if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
    if (!CheckDefaults || FVisible) SetVisible(a->Visible());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(a->HelpContext());
    if (!CheckDefaults || !OnClick.Assigned()) OnClick = a->OnExecute;
}

void TControl::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TControl::Click() {
    // An action's execution replaces OnClick while OnClick is still the action's.
    if (FActionLink && Action() != nullptr && (!OnClick.Assigned() || OnClick == Action()->OnExecute)) {
        FActionLink->Execute(this);
        return;
    }
    OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent != nullptr) {
        if (FParentColor) ParentColorChanged();
        if (FParentFont) ParentFontChanged();
        if (FParentShowHint) ParentShowHintChanged();
    }
    UpdateAnchorRules();
    if (FActionLink) ActionChange(FActionLink->Action(), true);
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

// --- messages ---

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    m.Result = 0;
    if (WindowProc.Assigned()) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
        if (Message.Msg == WM_LBUTTONDBLCLK && !FControlStyle.Contains(csDoubleClicks)) Message.Msg = WM_LBUTTONDOWN;
        if (Application != nullptr && Message.Msg != WM_MOUSEWHEEL) Application->HintMouseMessage(this, Message);
        if (controls_internal::DragMouseMessage(this, Message)) return;
    }
    switch (Message.Msg) {
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // Menu shortcuts come before the control sees the key.
            if (Is<TWinControl>() && IsMenuKey(this, static_cast<TWMKey&>(Message))) {
                Message.Result = 1;
                return;
            }
            break;
        case WM_CONTEXTMENU: {
            TPoint scr{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            bool keyboard = scr.x == -1 && scr.y == -1;
            // A graphic child under the point has its own menu first.
            if (!keyboard && Is<TWinControl>()) {
                TControl* child = static_cast<TWinControl*>(this)->ControlAtPos(ScreenToClient(scr), false);
                if (child != nullptr && !child->Is<TWinControl>() &&
                    DoControlContextPopup(child, child->ScreenToClient(scr))) {
                    Message.Result = 1;
                    return;
                }
            }
            if (DoControlContextPopup(this, keyboard ? scr : ScreenToClient(scr))) {
                Message.Result = 1;
                return;
            }
            break;
        }
        default: break;
    }
    Dispatch(&Message);
    if (Message.Msg >= WM_KEYDOWN && Message.Msg <= WM_SYSCHAR && Is<TWinControl>())
        MenuBarKeyMessage(static_cast<TWinControl*>(this), Message);
}

void TControl::DefaultHandler(void* Message) {
    auto& m = *static_cast<TMessage*>(Message);
    switch (m.Msg) {
        case WM_GETTEXT: {
            std::string t = GetText();
            int max = static_cast<int>(m.WParam);
            char* buf = reinterpret_cast<char*>(m.LParam);
            if (buf == nullptr || max <= 0) {
                m.Result = 0;
                break;
            }
            int n = std::min<int>(max - 1, static_cast<int>(t.size()));
            std::memcpy(buf, t.data(), static_cast<size_t>(n));
            buf[n] = 0;
            m.Result = n;
            break;
        }
        case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(GetText().size()); break;
        case WM_SETTEXT:
            FText = m.LParam != 0 ? reinterpret_cast<const char*>(m.LParam) : "";
            m.Result = 1;
            break;
        default: break;
    }
}

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseDown(Button, KeysToShiftState(Message.Keys()) + Shift, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseUp(Button, KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseDown(this, Button, Shift, X, Y); }
void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }

void TControl::WMLButtonDown(TWMMouse& Message) {
    SendCancelMode(this);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    FControlState.Include(csLButtonDown);
    TControl* self = this;
    controls_internal::TAliveGuard alive(self);
    DoMouseDown(Message, mbLeft, {});
    if (alive.Alive() && FDragMode == dmAutomatic && FDragKind == dkDrag) BeginDrag(false);
}

void TControl::WMRButtonDown(TWMMouse& Message) { DoMouseDown(Message, mbRight, {}); }
void TControl::WMMButtonDown(TWMMouse& Message) { DoMouseDown(Message, mbMiddle, {}); }

void TControl::WMLButtonDblClk(TWMMouse& Message) {
    SendCancelMode(this);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) DblClick();
    DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMRButtonDblClk(TWMMouse& Message) { DoMouseDown(Message, mbRight, {ssDouble}); }
void TControl::WMMButtonDblClk(TWMMouse& Message) { DoMouseDown(Message, mbMiddle, {ssDouble}); }

void TControl::WMLButtonUp(TWMMouse& Message) {
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    FControlState.Exclude(csLButtonDown);
    TControl* self = this;
    controls_internal::TAliveGuard alive(self);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TRect r = ClientRect();
        if (PtInRect(&r, Message.Pos())) Click();
    }
    if (alive.Alive()) DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonUp(TWMMouse& Message) {
    DoMouseUp(Message, mbRight);
    // The release asks for the context menu: a window's default handling sends it
    // WM_CONTEXTMENU; a graphic control's parent hears it for the control.
    if (Is<TWinControl>()) {
        Inherited(Message);
    } else if (FParent != nullptr && FParent->HandleAllocated()) {
        TPoint s = ClientToScreen(TPoint{Message.XPos(), Message.YPos()});
        SendMessageA(FParent->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FParent->Handle()), MAKELPARAM(s.x, s.y));
    }
}
void TControl::WMMButtonUp(TWMMouse& Message) { DoMouseUp(Message, mbMiddle); }

void TControl::WMMouseMove(TWMMouse& Message) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    MouseMove(KeysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMCancelMode(TMessage&) {
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (FControlState.Contains(csLButtonDown)) {
            FControlState.Exclude(csLButtonDown);
            FControlState.Exclude(csClicked);
        }
    }
}

void TControl::SendCancelMode(TControl* Sender) {
    for (TControl* c = this; c != nullptr; c = c->FParent)
        if (c->Is<TCustomForm>()) {
            c->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
            break;
        }
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMParentFontChanged(TMessage&) { ParentFontChanged(); }
void TControl::CMParentColorChanged(TMessage&) { ParentColorChanged(); }
void TControl::CMParentShowHintChanged(TMessage&) { ParentShowHintChanged(); }
void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& Message) {
    if (FParent != nullptr) FParent->Perform(CM_MOUSEENTER, 0, Message.LParam != 0 ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (FParent != nullptr) FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam != 0 ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

// --- painting ---

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    (void)IsOpaque;
    if (!IsVisible || FParent == nullptr || !FParent->HandleAllocated()) return;
    TRect r = BoundsRect();
    InvalidateRect(FParent->FHandle, &r, TRUE);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
    if (FParent != nullptr) FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible || FParent == nullptr || !FParent->HandleAllocated()) return;
    Invalidate();
    Update();
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost) {
    if (FParent == nullptr) return;
    auto& list = FParent->FControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (TopMost) list.push_back(this);
    else list.insert(list.begin(), this);
    Invalidate();
}

// --- dragging ---

void TControl::DoStartDrag(TDragObject*& DragObject) { OnStartDrag(this, DragObject); }
void TControl::DoEndDrag(TObject* Target, int X, int Y) { OnEndDrag(this, Target, X, Y); }
void TControl::DoEndDragFromObject(TObject* Target, int X, int Y) { DoEndDrag(Target, X, Y); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver.Assigned()) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) { OnDragDrop(this, Source, X, Y); }

void TControl::BeginDrag(bool Immediate, int Threshold) { controls_internal::BeginDrag(this, Immediate, Threshold); }
void TControl::EndDrag(bool Drop) { controls_internal::EndDrag(this, Drop); }
bool TControl::Dragging() const { return controls_internal::DragControlNow() == this; }
TDragObject* TControl::DragObject() const { return Dragging() ? controls_internal::DragObjectNow() : nullptr; }

// ---------------------------------------------------------------------------
// TGraphicControl, TCustomControl
// ---------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WMPaint(TWMPaint& Message) {
    if (Message.DC() == nullptr) return;
    controls_internal::TCanvasOnDC on(FCanvas.get(), Message.DC(), Font());
    Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    Paint();
}

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------

TCustomForm* GetParentForm(const TControl* Control) {
    if (Control == nullptr) return nullptr;
    const TControl* c = Control;
    while (c->Parent() != nullptr) c = c->Parent();
    if (c->Is<TCustomForm>()) return const_cast<TCustomForm*>(static_cast<const TCustomForm*>(c));
    return nullptr;
}

TCustomForm* ValidParentForm(const TControl* Control) {
    TCustomForm* f = GetParentForm(Control);
    if (f == nullptr) throw EInvalidOperation("Control '" + (Control ? Control->Name() : std::string()) + "' has no parent window");
    return f;
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
    HWND h = WindowFromPoint(Pos);
    while (h != nullptr) {
        if (TWinControl* c = FindControl(h)) return c;
        h = GetParent(h);
    }
    return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
    TWinControl* w = FindVCLWindow(Pos);
    if (w == nullptr) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
    return c != nullptr ? c : w;
}

}  // namespace host
