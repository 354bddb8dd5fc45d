// Push buttons, check boxes, radio buttons, group boxes and radio groups: input, dialog keys and the classic look.
#include "host/controls/buttons.h"

#include <algorithm>

#include "host/controls/controls_internal.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/rtl/sysutils.h"
#include "host/windows/windows.h"

namespace host {

namespace {

COLORREF SysRGB(TColor Color) { return static_cast<COLORREF>(ColorToRGB(Color)); }

bool Loading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

}  // namespace

TRect DrawButtonFace(HDC Dc, const TRect& Client, bool IsDown, bool IsFramed, bool IsEnabled) {
    TRect r = Client;
    FillRect(Dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (IsFramed) {
        FrameRect(Dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (IsDown) {
        FrameRect(Dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
    } else {
        DrawFrameControl(Dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (IsEnabled ? 0 : DFCS_INACTIVE));
    }
    return r;
}

void DrawButtonFocusRect(HDC Dc, const TRect& R) {
    COLORREF oldText = SetTextColor(Dc, 0);
    COLORREF oldBk = SetBkColor(Dc, SysRGB(clBtnFace));
    DrawFocusRect(Dc, &R);
    SetTextColor(Dc, oldText);
    SetBkColor(Dc, oldBk);
}

bool IsAccel(WORD Key, const std::string& Caption) {
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::tolower(static_cast<unsigned char>(Caption[i + 1])) == std::tolower(static_cast<int>(Key & 0xFF));
    }
    return false;
}

// ---------------------------------------------------------------------------
// TButtonControl
// ---------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csCaptureMouse};
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    Paint();
}

void TButtonControl::SetPressed(bool Value) {
    if (FPressed == Value) return;
    FPressed = Value;
    Invalidate();
}

void TButtonControl::NotifyClicked() {
    Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(HandleAllocated() ? FHandle : nullptr));
}

void TButtonControl::SetCheckedQuietly(bool Value) {
    bool old = FClicksDisabled;
    FClicksDisabled = true;
    struct TRestore {
        bool& Flag;
        bool Old;
        ~TRestore() { Flag = Old; }
    } restore{FClicksDisabled, old};
    SetChecked(Value);
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        FMouseDown = true;
        SetPressed(true);
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseDown) SetPressed(X >= 0 && Y >= 0 && X < Width() && Y < Height());
    inherited::MouseMove(Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    controls_internal::TAliveGuard alive(this);
    if (Button == mbLeft && FMouseDown) {
        FMouseDown = false;
        bool click = FPressed && X >= 0 && Y >= 0 && X < Width() && Y < Height();
        SetPressed(false);
        if (click) NotifyClicked();
    }
    if (alive.Alive()) inherited::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::KeyDown(WORD& Key, TShiftState Shift) {
    inherited::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !FSpaceDown && !FMouseDown) {
        FSpaceDown = true;
        SetPressed(true);
    }
}

void TButtonControl::KeyUp(WORD& Key, TShiftState Shift) {
    inherited::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceDown) {
        FSpaceDown = false;
        SetPressed(false);
        NotifyClicked();
    }
}

void TButtonControl::DoEnter() {
    inherited::DoEnter();
    Invalidate();
}

void TButtonControl::DoExit() {
    inherited::DoExit();
    Invalidate();
}

void TButtonControl::PaintCheckLike(UINT FrameState, TAlignment Alignment) {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    TRect client = ClientRect();
    HBRUSH back = CreateSolidBrush(SysRGB(Color()));
    FillRect(dc, &client, back);
    DeleteObject(back);
    const int box = 13;
    int top = (client.bottom - box) / 2;
    bool right = Alignment != taLeftJustify;  // the caption right of the box
    TRect boxRect = right ? TRect{0, top, box, top + box} : TRect{client.right - box, top, client.right, top + box};
    UINT state = FrameState;
    if (!Enabled()) state |= DFCS_INACTIVE;
    if (Pressed()) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &boxRect, DFC_BUTTON, state);

    std::string caption = Caption();
    TRect area = right ? TRect{box + 4, 0, client.right, client.bottom} : TRect{0, 0, client.right - box - 4, client.bottom};
    TRect text{0, 0, std::max(0, static_cast<int>(area.right - area.left)), 0};
    if (!caption.empty()) DrawTextA(dc, caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    int w = std::min<int>(text.right - text.left, area.right - area.left);
    int h = text.bottom - text.top;
    int x = right ? area.left : area.right - w;
    TRect bounds{x, (client.bottom - h) / 2, x + w, (client.bottom - h) / 2 + h};
    if (!caption.empty())
        DrawButtonText(c, caption, bounds, Enabled() ? bsUp : bsDisabled);
    if (Focused() && !caption.empty()) {
        TRect f{bounds.left - 1, bounds.top - 1, bounds.right + 1, bounds.bottom + 1};
        IntersectRect(&f, &f, &client);
        DrawButtonFocusRect(dc, f);
    }
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TButtonControl::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TButtonControl::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TButtonControl::CMColorChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TButtonControl::WMCancelMode(TMessage& Message) {
    FMouseDown = false;
    SetPressed(false);
    Inherited(Message);
}

void TButtonControl::WMKillFocus(TWMSetFocus& Message) {
    FSpaceDown = false;
    if (!FMouseDown) SetPressed(false);
    Inherited(Message);
}

void TButtonControl::BMClick(TMessage& Message) {
    if (Enabled()) NotifyClicked();
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// TButton
// ---------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

TButton::~TButton() = default;

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    TCustomForm* form = host::GetParentForm(this);
    if (form != nullptr && form->ActiveControl() != nullptr) {
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
    } else if (FActive != FDefault) {
        FActive = FDefault;
        SetButtonStyle(FActive);
    }
}

void TButton::Click() {
    if (TCustomForm* form = host::GetParentForm(this)) form->SetModalResult(FModalResult);
    inherited::Click();
}

void TButton::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::IsOwnerDraw() {
    return HandleAllocated() && (static_cast<DWORD>(GetWindowLongPtrA(FHandle, GWL_STYLE)) & BS_TYPEMASK) == BS_OWNERDRAW;
}

void TButton::SetButtonStyle(bool ADefault) {
    (void)ADefault;
    Invalidate();
}

void TButton::PaintWindow(HDC DC) {
    if (!IsOwnerDraw()) {
        inherited::PaintWindow(DC);
        return;
    }
    DRAWITEMSTRUCT ds;
    ds.CtlType = ODT_BUTTON;
    ds.itemAction = ODA_DRAWENTIRE;
    ds.itemState = (Pressed() ? ODS_SELECTED : 0) | (Focused() ? ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED) |
                   (FActive ? ODS_DEFAULT : 0);
    ds.hwndItem = FHandle;
    ds.hDC = DC;
    ds.rcItem = ClientRect();
    Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&ds));
}

void TButton::Paint() {
    HDC dc = Canvas()->Handle();
    TRect client = ClientRect();
    bool focused = Focused();
    DrawButtonFace(dc, client, Pressed(), FActive || focused, Enabled());
    TRect textArea = client;
    InflateRect(&textArea, -3, -3);
    TPoint offset{Pressed() ? 1 : 0, Pressed() ? 1 : 0};
    TButtonLayoutResult lay = CalcButtonLayout(Canvas(), textArea, offset, Caption(), TSize{0, 0}, blGlyphLeft, -1, 0);
    DrawButtonText(Canvas(), Caption(), lay.TextBounds, Enabled() ? bsUp : bsDisabled);
    if (focused) {
        TRect f = client;
        InflateRect(&f, -4, -4);
        DrawButtonFocusRect(dc, f);
    }
}

void TButton::CMDialogKey(TWMKey& Message) {
    WORD c = Message.CharCode();
    if (((c == VK_RETURN && FActive) || (c == VK_ESCAPE && FCancel)) &&
        KeyDataToShiftState(Message.KeyData()).Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TButton::CMFocusChanged(TMessage& Message) {
    auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
    bool active = (sender != nullptr && sender->Is<TButton>()) ? sender == this : FDefault;
    if (active != FActive) {
        FActive = active;
        SetButtonStyle(FActive);
    }
    Inherited(Message);
}

void TButton::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Click();
}

void TButton::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// ---------------------------------------------------------------------------
// TCustomCheckBox
// ---------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (FState == Value) return;
    FState = Value;
    Invalidate();
    if (!ClicksDisabled() && !Loading(this)) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
        case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::Paint() {
    UINT state = DFCS_BUTTONCHECK;
    if (FState == cbChecked) state |= DFCS_CHECKED;
    if (FState == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    PaintCheckLike(state, FAlignment);
}

void TCustomCheckBox::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TCustomCheckBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_BUTTON; }

void TCustomCheckBox::BMGetCheck(TMessage& Message) {
    Message.Result = FState == cbChecked ? BST_CHECKED : FState == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

void TCustomCheckBox::BMSetCheck(TMessage& Message) {
    bool old = ClicksDisabled();
    SetClicksDisabled(true);
    SetState(Message.WParam == BST_CHECKED ? cbChecked : Message.WParam == BST_INDETERMINATE ? cbGrayed : cbUnchecked);
    SetClicksDisabled(old);
}

// ---------------------------------------------------------------------------
// TRadioButton
// ---------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    SetTabStop(Value);
    Invalidate();
    if (!Value) return;
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* sibling = parent->Controls(i);
            if (sibling != this && sibling->Is<TRadioButton>()) static_cast<TRadioButton*>(sibling)->SetChecked(false);
        }
    }
    if (!ClicksDisabled() && !Loading(this)) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TRadioButton::Paint() { PaintCheckLike(DFCS_BUTTONRADIO | (FChecked ? DFCS_CHECKED : 0), FAlignment); }

void TRadioButton::DoEnter() {
    inherited::DoEnter();
    // Reached with the keyboard (arrow keys), the button checks itself as the system's does.
    if (!FChecked && !ControlState().Contains(csLButtonDown)) NotifyClicked();
}

void TRadioButton::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == BN_CLICKED) SetChecked(true);
}

void TRadioButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused() && !FChecked) NotifyClicked();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TRadioButton::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_BUTTON | DLGC_RADIOBUTTON; }

void TRadioButton::BMGetCheck(TMessage& Message) { Message.Result = FChecked ? BST_CHECKED : BST_UNCHECKED; }

void TRadioButton::BMSetCheck(TMessage& Message) { SetCheckedQuietly(Message.WParam == BST_CHECKED); }

// ---------------------------------------------------------------------------
// TCustomGroupBox
// ---------------------------------------------------------------------------

namespace {
int CaptionHeight(TWinControl* Control, TCanvas* Canvas) {
    if (Canvas->HandleAllocated()) return Canvas->TextHeight("0");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Control->Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}
}  // namespace

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                  csReplicatable};
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    inherited::AdjustClientRect(Rect);
    Rect.top += CaptionHeight(this, Canvas());
    InflateRect(&Rect, -1, -1);
    if (Ctl3D()) InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    TRect client = ClientRect();
    HBRUSH back = CreateSolidBrush(SysRGB(Color()));
    FillRect(dc, &client, back);
    int h = c->TextHeight("0");
    TRect frame{0, h / 2 - 1, client.right, client.bottom};
    if (Ctl3D())
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    else
        FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
    std::string text = Caption();
    if (!text.empty()) {
        TRect r{8, 0, 0, h};
        DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
        FillRect(dc, &r, back);
        DrawButtonText(c, text, r, Enabled() ? bsUp : bsDisabled);
    }
    DeleteObject(back);
}

void TCustomGroupBox::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    Realign();
    Invalidate();
}

// ---------------------------------------------------------------------------
// TGroupButton, TCustomRadioGroup
// ---------------------------------------------------------------------------

TGroupButton::TGroupButton(TCustomRadioGroup* RadioGroup) : TRadioButton(RadioGroup), FGroup(RadioGroup) {
    RadioGroup->FButtons.push_back(this);
    SetVisible(false);
    SetEnabled(RadioGroup->Enabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent(RadioGroup, &TCustomRadioGroup::ButtonClick);
    SetParent(RadioGroup);
}

TGroupButton::~TGroupButton() {
    auto& list = FGroup->FButtons;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TGroupButton::KeyDown(WORD& Key, TShiftState Shift) {
    controls_internal::TAliveGuard alive(FGroup);
    inherited::KeyDown(Key, Shift);
    if (alive.Alive()) FGroup->KeyDown(Key, Shift);
}

void TGroupButton::KeyPress(char& Key) {
    controls_internal::TAliveGuard alive(FGroup);
    inherited::KeyPress(Key);
    if (!alive.Alive()) return;
    FGroup->KeyPress(Key);
    if ((Key == '\b' || Key == ' ') && !FGroup->CanModify()) Key = 0;
}

void TGroupButton::CNCommand(TMessage& Message) {
    if (FInClick || HIWORD(Message.WParam) != BN_CLICKED) return;
    FInClick = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FInClick};
    if (FGroup->CanModify()) Inherited(Message);
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FItems->OnChange = TNotifyEvent(this, &TCustomRadioGroup::ItemsChange);
}

TCustomRadioGroup::~TCustomRadioGroup() {
    FItems->OnChange = nullptr;
    while (!FButtons.empty()) delete FButtons.back();
}

TStrings* TCustomRadioGroup::Items() const { return FItems.get(); }

void TCustomRadioGroup::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (Loading(this)) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (FItemIndex == Value) return;
    if (FItemIndex >= 0 && FItemIndex < ButtonCount()) FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (FItemIndex >= 0) FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (FColumns == Value) return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::Loaded() {
    inherited::Loaded();
    FItemIndex = std::clamp(FItemIndex, -1, FItems->Count() - 1);
    UpdateButtons();
}

void TCustomRadioGroup::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Proc;
    (void)Root;
}

void TCustomRadioGroup::Resize() {
    inherited::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty() || Loading(this)) return;
    int textHeight = CaptionHeight(this, Canvas());
    int count = ButtonCount();
    int perCol = (count + FColumns - 1) / FColumns;
    int buttonWidth = (Width() - 10) / FColumns;
    int free = Height() - textHeight - 5;
    int buttonHeight = free / perCol;
    int topMargin = textHeight + 1 + (free % perCol) / 2;
    for (int i = 0; i < count; ++i) {
        TGroupButton* b = FButtons[static_cast<size_t>(i)];
        b->SetBounds((i / perCol) * buttonWidth + 8, (i % perCol) * buttonHeight + topMargin, std::max(0, buttonWidth),
                     std::max(0, buttonHeight));
        b->SetVisible(true);
    }
}

void TCustomRadioGroup::SetButtonCount(int Value) {
    while (ButtonCount() < Value) new TGroupButton(this);  // owned by the group
    while (ButtonCount() > Value) delete FButtons.back();
}

void TCustomRadioGroup::UpdateButtons() {
    SetButtonCount(FItems->Count());
    for (int i = 0; i < ButtonCount(); ++i) FButtons[static_cast<size_t>(i)]->SetCaption(FItems->Strings(i));
    if (FItemIndex >= 0 && FItemIndex < ButtonCount()) {
        FUpdating = true;
        FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(true);
        FUpdating = false;
    }
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
    if (FUpdating) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
    FItemIndex = it == FButtons.end() ? -1 : static_cast<int>(it - FButtons.begin());
    Click();
}

void TCustomRadioGroup::ItemsChange(TObject*) {
    if (Loading(this)) return;
    if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
    Inherited(Message);
    for (TGroupButton* b : FButtons) b->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    ArrangeButtons();
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

void RegisterButtonClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(),
                     TGroupBox::StaticClass(), TRadioGroup::StaticClass(), TBitBtn::StaticClass(),
                     TSpeedButton::StaticClass()});
}

}  // namespace host
