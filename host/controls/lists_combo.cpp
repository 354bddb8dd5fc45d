// TCustomComboBox and its drop-down pop-up list: text field, item choice by mouse and keyboard, events.
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
}

TCustomComboBox::~TCustomComboBox() {
    FItems->OnChange = nullptr;
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

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) ListIndexError(Value);
    FItemIndex = Value;
    TWinControl::SetTextInternal(Value >= 0 ? FItems->Strings(Value) : std::string());
    FSelStart = 0;
    FSelLength = static_cast<int>(GetText().size());
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
    std::string t = GetText();
    if (FMaxLength > 0 && HasEdit() && static_cast<int>(t.size()) > FMaxLength) t.resize(static_cast<size_t>(FMaxLength));
    TWinControl::SetTextInternal(t);
}

std::string TCustomComboBox::ApplyCase(const std::string& S) const {
    if (FCharCase == ecUpperCase) return UpperCase(S);
    if (FCharCase == ecLowerCase) return LowerCase(S);
    return S;
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (HasEdit()) TWinControl::SetTextInternal(ApplyCase(GetText()));
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
    }
    FSelStart = static_cast<int>(GetText().size());
    FSelLength = 0;
    Invalidate();
}

void TCustomComboBox::SetText(const std::string& Value) { TControl::SetText(Value); }

void TCustomComboBox::SetSelStart(int Value) {
    FSelStart = std::clamp(Value, 0, static_cast<int>(GetText().size()));
    FSelLength = 0;
    Invalidate();
}

void TCustomComboBox::SetSelLength(int Value) {
    FSelLength = std::clamp(Value, 0, static_cast<int>(GetText().size()) - FSelStart);
    Invalidate();
}

std::string TCustomComboBox::SelText() const {
    return GetText().substr(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength));
}

void TCustomComboBox::SetSelText(const std::string& Value) {
    if (!HasEdit()) return;
    std::string t = GetText();
    std::string ins = ApplyCase(Value);
    t.replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength), ins);
    if (FMaxLength > 0 && static_cast<int>(t.size()) > FMaxLength) {
        // Insert only what fits.
        size_t room = static_cast<size_t>(FMaxLength) - (GetText().size() - static_cast<size_t>(FSelLength));
        ins.resize(std::min(ins.size(), room));
        t = GetText();
        t.replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelLength), ins);
    }
    TWinControl::SetTextInternal(t);
    FItemIndex = FItems->IndexOf(t);
    FSelStart += static_cast<int>(ins.size());
    FSelLength = 0;
    Invalidate();
}

void TCustomComboBox::SelectAll() {
    FSelStart = 0;
    FSelLength = static_cast<int>(GetText().size());
    Invalidate();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    FItemIndex = -1;
    TWinControl::SetTextInternal(std::string());
    FSelStart = FSelLength = 0;
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
    FSelStart = 0;
    FSelLength = HasEdit() ? static_cast<int>(GetText().size()) : 0;
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
    bool focused = Focused() && !FDropped;
    std::string text = GetText();
    int th = c->TextHeight("Wg");
    int ty = f.top + (f.bottom - f.top - th) / 2;
    if (HasEdit()) {
        c->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
        int x = f.left + 2;
        c->Brush()->SetStyle(bsClear);
        c->TextRect(f, x, ty, text);
        if (Focused() && FSelLength > 0) {
            int x0 = x + c->TextWidth(text.substr(0, static_cast<size_t>(FSelStart)));
            std::string sel = SelText();
            TRect sr{x0, ty, x0 + c->TextWidth(sel), ty + th};
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
            c->TextRect(sr, x0, ty, sel);
        }
        return;
    }
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
    if (CanFocus() && !Focused()) SetFocus();
    TPoint p{X, Y};
    TRect b = ButtonRect();
    if (FStyle != csSimple && (PtInRect(&b, p) || !HasEdit())) {
        SetDroppedDown(!FDropped);
        return;
    }
    if (HasEdit()) {
        // Put the caret at the character boundary nearest to the click.
        TScreenDC dc;
        controls_internal::TCanvasOnDC on(FCanvas.get(), dc.Get(), Font());
        std::string t = GetText();
        int x = X - FieldRect().left - 2, pos = 0;
        while (pos < static_cast<int>(t.size())) {
            int w0 = FCanvas->TextWidth(t.substr(0, static_cast<size_t>(pos)));
            int w1 = FCanvas->TextWidth(t.substr(0, static_cast<size_t>(pos) + 1));
            if (x < (w0 + w1) / 2) break;
            ++pos;
        }
        SetSelStart(pos);
    }
}

void TCustomComboBox::EditKey(WORD Key, TShiftState Shift) {
    std::string t = GetText();
    int len = static_cast<int>(t.size());
    int caret = FSelStart + FSelLength;
    switch (Key) {
        case VK_LEFT:
            if (Shift.Contains(ssShift)) {
                if (FSelLength > 0) --FSelLength;
                else if (FSelStart > 0) --FSelStart, FSelLength = 1;
            } else {
                FSelStart = FSelLength > 0 ? FSelStart : std::max(0, FSelStart - 1);
                FSelLength = 0;
            }
            break;
        case VK_RIGHT:
            if (Shift.Contains(ssShift))
                FSelLength = std::min(len - FSelStart, FSelLength + 1);
            else {
                FSelStart = std::min(len, FSelLength > 0 ? caret : FSelStart + 1);
                FSelLength = 0;
            }
            break;
        case VK_HOME:
            FSelLength = Shift.Contains(ssShift) ? FSelStart + FSelLength : 0;
            FSelStart = 0;
            break;
        case VK_END:
            if (Shift.Contains(ssShift)) FSelLength = len - FSelStart;
            else FSelStart = len, FSelLength = 0;
            break;
        case VK_DELETE:
            if (FSelLength == 0 && FSelStart < len) FSelLength = 1;
            if (FSelLength > 0) {
                SetSelText(std::string());
                Change();
            }
            break;
        default: return;
    }
    Invalidate();
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
        return;
    }
    if (edit) {
        EditKey(Key, Shift);
        if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_HOME || Key == VK_END || Key == VK_DELETE) Key = 0;
    }
}

void TCustomComboBox::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    if (Key == 0) return;
    TypeChar(Key);
}

void TCustomComboBox::TypeChar(char Key) {
    unsigned char k = static_cast<unsigned char>(Key);
    if (HasEdit()) {
        if (Key == '\b') {
            if (FSelLength == 0 && FSelStart > 0) --FSelStart, FSelLength = 1;
            if (FSelLength == 0) return;
            SetSelText(std::string());
        } else if (k >= 32) {
            std::string before = GetText();
            SetSelText(std::string(1, Key));
            if (GetText() == before) return;
        } else {
            return;
        }
        Change();
        return;
    }
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

void TCustomComboBox::WMSetFocusCB(TMessage& Message) {
    Inherited(Message);
    if (HasEdit()) SelectAll();
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
