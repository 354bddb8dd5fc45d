// TCustomComboBox, its inner edit control and its drop-down pop-up list: item choice by mouse and keyboard, events.
#include <algorithm>
#include <cctype>

#include "host/controls/controls_internal.h"
#include "host/controls/lists.h"
#include "host/controls/lists_internal.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace lists_internal;

namespace {
TControlStyle WithoutClickEvents(TControlStyle S) {
    S.Exclude(csClickEvents);
    S.Exclude(csSetCaption);
    return S;
}
}  // namespace

// ---------------------------------------------------------------------------
// TComboEdit
// ---------------------------------------------------------------------------

// The edit part of an editable combo box: a borderless edit child over the field. Keys
// and characters go to the combo first (its OnKeyDown/OnKeyPress, the list keys), then
// to the edit; every change a person makes is reported to the combo.
class TComboEdit : public TCustomEdit {
    HOST_CLASS(TComboEdit, TCustomEdit)
public:
    TComboEdit(TComponent* AOwner, TCustomComboBox* Combo) : TCustomEdit(AOwner), FCombo(Combo) {
        SetBorderStyle(bsNone);
        SetAutoSize(false);
        SetTabStop(false);
        SetParentColor(false);
        SetColor(Combo->Color());
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        FCombo->KeyDown(Key, Shift);
        if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
    }
    void KeyPress(char& Key) override {
        FCombo->KeyPress(Key);
        if (Key != 0) TCustomEdit::KeyPress(Key);
    }
    // Replaces the text as code does: no undo step, no event.
    void SetQuietText(const std::string& Value) {
        FQuiet = true;
        try {
            SetRawText(Value);
        } catch (...) {
            FQuiet = false;
            throw;
        }
        FQuiet = false;
    }

protected:
    void Change() override {
        if (!FQuiet) FCombo->EditTextChanged();
    }
    // The edit part is no control of the form's own: while it has the focus, the form's
    // and the screen's active control is the combo box (CM_ENTER and CM_EXIT reach the
    // combo), as with the system's combo box whose edit is a bare window.
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SETFOCUS) {
            TCustomForm* form = ::host::GetParentForm(FCombo);
            if (form != nullptr && !form->SetFocusedControl(FCombo)) return;
            TControl::WndProc(Message);  // the edit's own focus handling (caret, selection)
            return;
        }
        TCustomEdit::WndProc(Message);
    }

private:
    TCustomComboBox* FCombo;
    bool FQuiet = false;

    // Enter and Escape belong to the open list.
    void WMGetDlgCodeCE(TMessage& Message) {
        Inherited(Message);
        if (FCombo->FDropped) Message.Result |= DLGC_WANTALLKEYS;
    }
    // Tab and Shift+Tab move on from the combo, not from this inner child (which would
    // lead back into the combo).
    void CMChildKeyCE(TMessage& Message) {
        if (Message.WParam == VK_TAB) {
            if (TCustomForm* form = ::host::GetParentForm(FCombo)) {
                bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                if (FCombo->FDropped) FCombo->CloseList(false);
                form->SelectNext(FCombo, !back, true);
                Message.Result = 1;
                return;
            }
        }
        Inherited(Message);
    }
    void WMKillFocusCE(TMessage& Message) {
        Inherited(Message);
        if (FCombo->FDropped) FCombo->CloseList(false);
    }
    HOST_MESSAGES(on(WM_GETDLGCODE, &TComboEdit::WMGetDlgCodeCE), on(CM_CHILDKEY, &TComboEdit::CMChildKeyCE),
                  on(WM_KILLFOCUS, &TComboEdit::WMKillFocusCE))
};

// ---------------------------------------------------------------------------
// TComboDropDown
// ---------------------------------------------------------------------------

TComboDropDown::TComboDropDown(TComponent* AOwner, TCustomComboBox* Combo) : TCustomListBox(AOwner), FCombo(Combo) {
    TControlStyle s = WithoutClickEvents(ControlStyle());
    s.Exclude(csCaptureMouse);
    SetControlStyle(s);
    HotTrack = true;
    SetTabStop(false);
    SetVisible(false);
}

void TComboDropDown::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
}

void TComboDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TRect cr = ClientRect();
    TPoint p{X, Y};
    if (!PtInRect(&cr, p)) {
        // A press outside the list closes it; a press on the combo's button only closes
        // it too (the button would open it again otherwise).
        FCombo->CloseList(false);
        return;
    }
    (void)Button;
    (void)Shift;
    int i = ItemAtPos(p, true);
    if (i >= 0) UserSelect(i, TShiftState(), true);
}

void TComboDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Shift;
    if (Button != mbLeft) return;
    TRect cr = ClientRect();
    TPoint p{X, Y};
    if (PtInRect(&cr, p) && ItemAtPos(p, true) >= 0) {
        UserSelect(ItemAtPos(p, true), TShiftState(), true);
        FCombo->CloseList(true);
    }
}

void TComboDropDown::MouseMove(TShiftState Shift, int X, int Y) {
    TRect cr = ClientRect();
    TPoint p{X, Y};
    if (PtInRect(&cr, p)) TCustomListBox::MouseMove(Shift - ssLeft, X, Y);
}

void TComboDropDown::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    TCanvas* own = FCombo->Canvas();
    controls_internal::TCanvasOnDC on(own, Canvas()->Handle(), FCombo->Font());
    bool sel = State.Contains(odSelected);
    own->Brush()->SetColor(sel ? clHighlight : FCombo->Color());
    own->Font()->SetColor(sel ? clHighlightText : FCombo->Font()->Color());
    FCombo->DrawItem(Index, Rect, State);
}

void TComboDropDown::MeasureItem(int Index, int& Height) { FCombo->MeasureItem(Index, Height); }

// ---------------------------------------------------------------------------
// TCustomComboBox
// ---------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()), FCanvas(std::make_unique<TCanvas>()) {
    MakeCaseInsensitiveSorted(FItems.get());
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
    TControlStyle s = WithoutClickEvents(ControlStyle());
    s.Exclude(csCaptureMouse);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    UpdateEditControl();
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
    if (FEdit != nullptr) {
        TComboEdit* e = FEdit;
        FEdit = nullptr;
        delete e;
    }
    if (FList != nullptr && FList->MouseCapture()) FList->SetMouseCapture(false);
}

TStrings* TCustomComboBox::Items() const { return FItems.get(); }
void TCustomComboBox::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TCustomComboBox::ItemsChanged(TObject*) {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    if (FDropped) CloseList(false);
    UpdateSimpleList();
    Invalidate();
}

TCustomEdit* TCustomComboBox::EditControl() const { return FEdit; }

void TCustomComboBox::SetEditText(const std::string& Value, bool SelectAllText) {
    if (FEdit == nullptr) return;
    FEdit->SetQuietText(Value);
    if (SelectAllText) FEdit->SelectAll();
    else FEdit->SetSelStart(static_cast<int>(Value.size()));
}

void TCustomComboBox::EditTextChanged() {
    std::string t = FEdit->Text();
    TWinControl::SetTextInternal(t);
    FItemIndex = FItems->IndexOf(t);
    Change();
}

// Creates the edit part for the editable styles (destroys it for the others) and lays it
// over the field.
void TCustomComboBox::UpdateEditControl() {
    if (!HasEdit()) {
        if (FEdit != nullptr) {
            TComboEdit* e = FEdit;
            FEdit = nullptr;
            delete e;
        }
        return;
    }
    if (FEdit == nullptr) {
        FEdit = new TComboEdit(this, this);
        FEdit->SetMaxLength(FMaxLength);
        FEdit->SetCharCase(FCharCase);
        FEdit->SetParent(this);
        SetEditText(GetText(), false);
    }
    TRect f = FieldRect();
    if (FStyle == csSimple) InflateRect(&f, -2, -2);
    // The whole field less a pixel round it, so the edit's own margins centre the text.
    FEdit->SetBounds(f.left + 1, f.top + 1, std::max(0, f.right - f.left - 2), std::max(0, f.bottom - f.top - 2));
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) ListIndexError(Value);
    FItemIndex = Value;
    TWinControl::SetTextInternal(Value >= 0 ? FItems->Strings(Value) : std::string());
    SetEditText(GetText(), true);
    if (FSimpleList != nullptr) FSimpleList->SetItemIndex(Value);
    Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    if (FStyle == csSimple && FSimpleList == nullptr) {
        FSimpleList = new TCustomListBox(this);
        FSimpleList->SetTabStop(false);
        FSimpleList->SetParent(this);
        FSimpleList->OnClick = [this](TObject* Sender) { SimpleListClick(Sender); };
        if (Height() < 100 && !ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Width(), 100);
        UpdateSimpleList();
    } else if (FStyle != csSimple && FSimpleList != nullptr) {
        delete FSimpleList;
        FSimpleList = nullptr;
    }
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        TWinControl::SetTextInternal(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string());
    Resize();
    UpdateEditControl();
    Invalidate();
}

void TCustomComboBox::UpdateSimpleList() {
    if (FSimpleList == nullptr) return;
    FSimpleList->Items()->Assign(FItems.get());
    FSimpleList->Font()->Assign(Font());
    if (FItemIndex >= 0 && FItemIndex < FSimpleList->Items()->Count()) FSimpleList->SetItemIndex(FItemIndex);
}

void TCustomComboBox::SimpleListClick(TObject*) {
    int i = FSimpleList->ItemIndex();
    if (i >= 0) ChooseByUser(i);
}

void TCustomComboBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    std::string cur = FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string();
    FItems->SetSorted(Value);
    if (!cur.empty()) FItemIndex = FItems->IndexOf(cur);
}

int TCustomComboBox::FontRowHeight() const { return lists_internal::FontRowHeight(Font()); }

int TCustomComboBox::ItemHeight() const {
    if (FItemHeight > 0 && (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)) return FItemHeight;
    return FontRowHeight();
}

void TCustomComboBox::SetItemHeight(int Value) {
    FItemHeight = std::max(0, Value);
    Invalidate();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (FEdit != nullptr) FEdit->SetMaxLength(FMaxLength);
    std::string t = GetText();
    if (FMaxLength > 0 && HasEdit() && static_cast<int>(t.size()) > FMaxLength) {
        t.resize(static_cast<size_t>(FMaxLength));
        TWinControl::SetTextInternal(t);
        SetEditText(t, false);
    }
}

std::string TCustomComboBox::ApplyCase(const std::string& S) const {
    if (FCharCase == ecUpperCase) return UpperCase(S);
    if (FCharCase == ecLowerCase) return LowerCase(S);
    return S;
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (FEdit != nullptr) FEdit->SetCharCase(Value);
    if (HasEdit()) {
        TWinControl::SetTextInternal(ApplyCase(GetText()));
        SetEditText(GetText(), false);
    }
    Invalidate();
}

void TCustomComboBox::SetTextInternal(const std::string& Value) {
    if (!HasEdit()) {
        // A list-only combo shows an item or nothing.
        int i = FItems->IndexOf(Value);
        FItemIndex = i;
        TWinControl::SetTextInternal(i >= 0 ? FItems->Strings(i) : std::string());
    } else {
        std::string t = ApplyCase(Value);
        if (FMaxLength > 0 && static_cast<int>(t.size()) > FMaxLength) t.resize(static_cast<size_t>(FMaxLength));
        TWinControl::SetTextInternal(t);
        FItemIndex = FItems->IndexOf(t);
        SetEditText(t, false);
    }
    Invalidate();
}

void TCustomComboBox::SetText(const std::string& Value) { TControl::SetText(Value); }

int TCustomComboBox::SelStart() const { return FEdit != nullptr ? FEdit->SelStart() : 0; }
int TCustomComboBox::SelLength() const { return FEdit != nullptr ? FEdit->SelLength() : 0; }

void TCustomComboBox::SetSelStart(int Value) {
    if (FEdit != nullptr) FEdit->SetSelStart(Value);
}

void TCustomComboBox::SetSelLength(int Value) {
    if (FEdit != nullptr) FEdit->SetSelLength(Value);
}

std::string TCustomComboBox::SelText() const { return FEdit != nullptr ? FEdit->SelText() : std::string(); }

// Replaces the selection of the edit part (an undoable change that fires OnChange).
void TCustomComboBox::SetSelText(const std::string& Value) {
    if (FEdit != nullptr) FEdit->SetSelText(ApplyCase(Value));
}

void TCustomComboBox::SelectAll() {
    if (FEdit != nullptr) FEdit->SelectAll();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    FItemIndex = -1;
    TWinControl::SetTextInternal(std::string());
    SetEditText(std::string(), false);
}

bool TCustomComboBox::DroppedDown() const { return FDropped; }

TCustomListBox* TCustomComboBox::DropDownList() const { return FDropped ? FList : nullptr; }

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value == FDropped || FStyle == csSimple) return;
    if (!Value) {
        CloseList(false);
        return;
    }
    DropDown();
    if (FList == nullptr) FList = new TComboDropDown(this, this);
    FList->Font()->Assign(Font());
    FList->SetColor(Color());
    FList->SetStyle(FStyle == csOwnerDrawVariable ? lbOwnerDrawVariable
                    : FStyle == csOwnerDrawFixed  ? lbOwnerDrawFixed
                                                  : lbStandard);
    FList->SetItemHeight(ItemHeight());
    FList->Items()->Assign(FItems.get());
    int n = FItems->Count();
    int rows = std::clamp(n, 1, FDropDownCount);
    int h = 0;
    for (int i = 0; i < rows; ++i) {
        int ih = ItemHeight();
        if (FStyle == csOwnerDrawVariable && i < n) MeasureItem(i, ih);
        h += std::max(1, ih);
    }
    h += 2;  // the border
    RECT wr{};
    GetWindowRect(Handle(), &wr);
    TPoint below{wr.left, wr.bottom};
    TPoint top{wr.left, wr.top};
    int y = below.y;
    if (y + h > GetSystemMetrics(SM_CYSCREEN) && top.y - h >= 0) y = top.y - h;
    int w = Width();
    FList->SetBounds(below.x, y, w, h);
    FList->FTopIndex = 0;
    FList->FItemIndex = FList->FFocusIndex = FItemIndex;
    if (FItemIndex >= 0) FList->ScrollInView(FItemIndex);
    SetWindowPos(FList->Handle(), HWND_TOPMOST, below.x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FList->UpdateScrollBar();
    FList->Invalidate();
    FDropped = true;
    FList->SetMouseCapture(true);
    Invalidate();
}

void TCustomComboBox::CloseList(bool Choose) {
    if (!FDropped || FInCloseUp) return;
    FInCloseUp = true;
    FDropped = false;
    int chosen = FList->FItemIndex;
    if (FList->MouseCapture()) FList->SetMouseCapture(false);
    if (FList->HandleAllocated()) ShowWindow(FList->Handle(), SW_HIDE);
    controls_internal::TAliveGuard alive(this);
    if (Choose && chosen >= 0 && chosen < FItems->Count()) ChooseByUser(chosen);
    if (alive.Alive()) {
        FInCloseUp = false;
        CloseUp();
        Invalidate();
    }
}

void TCustomComboBox::ChooseByUser(int Index) {
    if (Index < 0 || Index >= FItems->Count()) return;
    bool same = Index == FItemIndex && GetText() == FItems->Strings(Index);
    FItemIndex = Index;
    TWinControl::SetTextInternal(FItems->Strings(Index));
    SetEditText(GetText(), true);
    if (FSimpleList != nullptr && FSimpleList->ItemIndex() != Index) FSimpleList->SetItemIndex(Index);
    Invalidate();
    if (same) return;
    controls_internal::TAliveGuard alive(this);
    Change();
    if (alive.Alive()) Click();
    if (alive.Alive()) Select();
}

void TCustomComboBox::Change() { OnChange(this); }
void TCustomComboBox::Select() { OnSelect(this); }
void TCustomComboBox::DropDown() { OnDropDown(this); }
void TCustomComboBox::CloseUp() { OnCloseUp(this); }

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if ((FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawTextItem(FCanvas.get(), Rect, Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : std::string(),
                 State.Contains(odSelected), Enabled(), Color());
}

void TCustomComboBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FStyle != csSimple) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

TRect TCustomComboBox::FieldRect() const {
    TRect cr = ClientRect();
    if (FStyle == csSimple) return TRect{0, 0, cr.right, std::min(cr.bottom, FontRowHeight() + 6)};
    return TRect{0, 0, std::max(0, cr.right - GetSystemMetrics(SM_CXVSCROLL)), cr.bottom};
}

TRect TCustomComboBox::ButtonRect() const {
    TRect cr = ClientRect();
    if (FStyle == csSimple) return TRect{};
    return TRect{std::max(0, cr.right - GetSystemMetrics(SM_CXVSCROLL)), 0, cr.right, cr.bottom};
}

void TCustomComboBox::Resize() {
    TWinControl::Resize();
    if (FSimpleList != nullptr) {
        TRect f = FieldRect();
        FSimpleList->SetBounds(0, f.bottom + 1, ClientWidth(), std::max(0, ClientHeight() - f.bottom - 1));
    }
    if (FEdit != nullptr) UpdateEditControl();
}

void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    if (FSorted) FItems->SetSorted(true);
    UpdateSimpleList();
}

void TCustomComboBox::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    TCanvas* c = FCanvas.get();
    TRect f = FieldRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    if (FStyle == csSimple) {
        // The field's own sunken edge; the list below draws its own.
        TRect e = f;
        DrawEdge(DC, &e, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        f = e;
    } else {
        TRect b = ButtonRect();
        UINT state = DFCS_SCROLLCOMBOBOX | (FButtonDown || FDropped ? DFCS_PUSHED | DFCS_FLAT : 0) |
                     (Enabled() ? 0 : DFCS_INACTIVE);
        DrawFrameControl(DC, &b, DFC_SCROLL, state);
    }
    // The edit part paints the text of the editable styles.
    if (HasEdit()) return;
    bool focused = Focused() && !FDropped;
    std::string text = GetText();
    TRect item{f.left + 2, f.top + 2, f.right - 2, f.bottom - 2};
    TOwnerDrawState st;
    st.Include(odComboBoxEdit);
    if (focused) st.Include(odSelected), st.Include(odFocused);
    if (!Enabled()) st.Include(odDisabled);
    c->Brush()->SetColor(focused ? clHighlight : Color());
    c->Font()->SetColor(focused ? clHighlightText : Font()->Color());
    if ((FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) && OnDrawItem)
        DrawItem(FItemIndex, item, st);
    else
        DrawTextItem(c, item, text, focused, Enabled(), Color());
    if (focused) DrawFocusRect(DC, &item);
}

// --- input ---------------------------------------------------------------------

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    bool hasFocus = Focused() || (FEdit != nullptr && FEdit->Focused());
    if (CanFocus() && !hasFocus) SetFocus();
    TPoint p{X, Y};
    TRect b = ButtonRect();
    if (FStyle != csSimple && (PtInRect(&b, p) || !HasEdit())) SetDroppedDown(!FDropped);
}

void TCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    bool alt = Shift.Contains(ssAlt);
    if (Key == VK_F4 || (alt && (Key == VK_DOWN || Key == VK_UP))) {
        SetDroppedDown(!FDropped);
        Key = 0;
        return;
    }
    if (FDropped) {
        switch (Key) {
            case VK_ESCAPE: CloseList(false); Key = 0; return;
            case VK_RETURN: CloseList(true); Key = 0; return;
            case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END: {
                // Moves the highlight in the open list, and chooses it as the framework does.
                WORD k = Key;
                FList->KeyDown(k, TShiftState());
                int i = FList->FFocusIndex;
                FList->FItemIndex = i;
                FList->Invalidate();
                if (i >= 0) ChooseByUser(i);
                Key = 0;
                return;
            }
            default: break;
        }
    }
    int n = FItems->Count();
    bool edit = HasEdit();
    int target = -2;
    switch (Key) {
        case VK_UP: target = FItemIndex <= 0 ? 0 : FItemIndex - 1; break;
        case VK_DOWN: target = FItemIndex + 1; break;
        case VK_PRIOR: target = FItemIndex - (FDropDownCount - 1); break;
        case VK_NEXT: target = FItemIndex + (FDropDownCount - 1); break;
        case VK_HOME: if (!edit) target = 0; break;
        case VK_END: if (!edit) target = n - 1; break;
        default: break;
    }
    if (target != -2) {
        if (n > 0) ChooseByUser(std::clamp(target, 0, n - 1));
        Key = 0;
    }
}

void TCustomComboBox::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    if (Key == 0) return;
    TypeChar(Key);
}

// The list styles jump to an item by its first letter; the edit part types for itself.
void TCustomComboBox::TypeChar(char Key) {
    unsigned char k = static_cast<unsigned char>(Key);
    if (HasEdit()) return;
    if (k < 32 || FItems->Count() == 0) return;
    // The next item starting with the letter, after the current one, wrapping.
    char up = static_cast<char>(std::toupper(k));
    int n = FItems->Count();
    for (int step = 1; step <= n; ++step) {
        int i = (std::max(FItemIndex, -1) + step) % n;
        const std::string& s = FItems->Strings(i);
        if (!s.empty() && std::toupper(static_cast<unsigned char>(s[0])) == up) {
            if (FDropped) {
                FList->FItemIndex = FList->FFocusIndex = i;
                FList->ScrollInView(i);
                FList->Invalidate();
            }
            ChooseByUser(i);
            break;
        }
    }
    FLastChar = up;
}

// --- messages ------------------------------------------------------------------

void TCustomComboBox::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
}

// The edit part takes the focus of the editable styles, as the system's combo box does.
void TCustomComboBox::WMSetFocusCB(TMessage& Message) {
    Inherited(Message);
    if (FEdit != nullptr && FEdit->CanFocus()) ::host::SetFocus(FEdit->Handle());
    Invalidate();
}

void TCustomComboBox::WMKillFocusCB(TMessage& Message) {
    Inherited(Message);
    if (FDropped) CloseList(false);
    Invalidate();
}

void TCustomComboBox::WMCancelMode(TMessage& Message) {
    Inherited(Message);
    if (FDropped) CloseList(false);
}

void TCustomComboBox::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    UpdateSimpleList();
    Resize();
    Invalidate();
}

void TCustomComboBox::CMEnabledChangedCB(TMessage& Message) {
    Inherited(Message);
    if (FEdit != nullptr) FEdit->SetEnabled(Enabled());
}

void TCustomComboBox::CMColorChangedCB(TMessage& Message) {
    Inherited(Message);
    if (FEdit != nullptr) FEdit->SetColor(Color());
}

void TCustomComboBox::WMEditCommand(TMessage& Message) {
    if (FEdit != nullptr) Message.Result = FEdit->Perform(Message.Msg, Message.WParam, Message.LParam);
    else Inherited(Message);
}

void TCustomComboBox::CBMessage(TMessage& Message) {
    switch (Message.Msg) {
        case CB_GETCOUNT: Message.Result = FItems->Count(); break;
        case CB_GETCURSEL: Message.Result = FItemIndex; break;
        case CB_SETCURSEL: {
            int i = static_cast<int>(Message.WParam);
            if (i >= -1 && i < FItems->Count()) SetItemIndex(i);
            Message.Result = i;
            break;
        }
        case CB_SHOWDROPDOWN: SetDroppedDown(Message.WParam != 0); Message.Result = 1; break;
        case CB_GETDROPPEDSTATE: Message.Result = FDropped ? 1 : 0; break;
    }
}

void TComboBox::SetStreamedItemIndex(int Value) {
    if (Value >= -1 && Value < Items()->Count()) SetItemIndex(Value);
}

}  // namespace host
