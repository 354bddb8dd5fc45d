// TCustomListBox: items, single and multiple selection, owner drawing, scrolling, keyboard and mouse.
#include "host/controls/lists.h"

#include <algorithm>

#include "host/controls/controls_internal.h"
#include "host/controls/lists_internal.h"
#include "host/os/keyboard.h"
#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace lists_internal {

// A memory DC: measuring needs fonts only, not the composed desktop a screen DC would build.
TScreenDC::TScreenDC() : FDC(CreateCompatibleDC(nullptr)) {}
TScreenDC::~TScreenDC() { DeleteDC(FDC); }

int FontRowHeight(TFont* Font) {
    // A canvas of its own: the control's canvas may be attached to a paint DC right now.
    TCanvas canvas;
    TScreenDC dc;
    controls_internal::TCanvasOnDC on(&canvas, dc.Get(), Font);
    return std::max(1, canvas.TextHeight("Wg")) + 2;
}

void DrawTextItem(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool Selected, bool Enabled,
                  TColor Back) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Selected ? clHighlight : Back);
    Canvas->Font()->SetColor(Selected ? clHighlightText : (Enabled ? Canvas->Font()->Color() : clGrayText));
    Canvas->FillRect(Rect);
    int h = Canvas->TextHeight("Wg");
    Canvas->TextRect(Rect, Rect.left + 2, Rect.top + (Rect.bottom - Rect.top - h) / 2, Text);
}

[[noreturn]] void ListIndexError(int Index) { throw EListError(Format("List index out of bounds (%d)", {Index})); }

void MakeCaseInsensitiveSorted(TStringList* List) { List->SetCaseSensitive(false); }

}  // namespace lists_internal

using namespace lists_internal;

// ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()), FCanvas(std::make_unique<TCanvas>()) {
    MakeCaseInsensitiveSorted(FItems.get());
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
    // OnClick comes from a change of the selection, not from every click.
    TControlStyle s = ControlStyle();
    s.Exclude(csClickEvents);
    s.Exclude(csSetCaption);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
}

TCustomListBox::~TCustomListBox() { FItems->OnChange = nullptr; }

TStrings* TCustomListBox::Items() const { return FItems.get(); }

void TCustomListBox::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TCustomListBox::ItemsChanged(TObject*) {
    int n = FItems->Count();
    FSel.resize(static_cast<size_t>(n), false);
    if (FItemIndex >= n) FItemIndex = -1;
    if (FFocusIndex >= n) FFocusIndex = n - 1;
    if (FAnchor >= n) FAnchor = -1;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, n - 1));
    UpdateScrollBar();
    Invalidate();
}

int TCustomListBox::ItemIndex() const {
    if (FMultiSelect) return FFocusIndex >= 0 && FFocusIndex < static_cast<int>(FSel.size()) ? FFocusIndex : -1;
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) ListIndexError(Value);
    if (FMultiSelect) {
        FFocusIndex = Value;
        if (Value >= 0) {
            FSel[static_cast<size_t>(Value)] = true;
            FAnchor = Value;
        }
    } else {
        FItemIndex = Value;
        FFocusIndex = Value;
        FAnchor = Value;
    }
    if (Value >= 0) ScrollInView(Value);
    Invalidate();
}

void TCustomListBox::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value) return;
    FMultiSelect = Value;
    std::fill(FSel.begin(), FSel.end(), false);
    if (!Value) FItemIndex = FFocusIndex;
    else if (FItemIndex >= 0) FSel[static_cast<size_t>(FItemIndex)] = true;
    Invalidate();
}

bool TCustomListBox::Selected(int Index) const {
    if (Index < 0 || Index >= FItems->Count()) ListIndexError(Index);
    return FMultiSelect ? FSel[static_cast<size_t>(Index)] : Index == FItemIndex;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
    if (Index < 0 || Index >= FItems->Count()) ListIndexError(Index);
    if (FMultiSelect)
        FSel[static_cast<size_t>(Index)] = Value;
    else if (Value)
        FItemIndex = FFocusIndex = Index;
    else if (FItemIndex == Index)
        FItemIndex = -1;
    Invalidate();
}

int TCustomListBox::SelCount() const {
    if (!FMultiSelect) return -1;
    return static_cast<int>(std::count(FSel.begin(), FSel.end(), true));
}

void TCustomListBox::SetSorted(bool Value) {
    if (FSorted == Value) return;
    FSorted = Value;
    FItems->SetSorted(Value);
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    UpdateScrollBar();
    Invalidate();
}

int TCustomListBox::FontRowHeight() const { return lists_internal::FontRowHeight(Font()); }

int TCustomListBox::ItemHeight() const {
    if (FItemHeight > 0 && FStyle != lbStandard) return FItemHeight;
    return FontRowHeight() - 2 + (FStyle == lbStandard ? 0 : 2);
}

void TCustomListBox::SetItemHeight(int Value) {
    if (Value < 0) Value = 0;
    if (FItemHeight == Value) return;
    FItemHeight = Value;
    UpdateScrollBar();
    Invalidate();
}

int TCustomListBox::RowHeight(int Index) const {
    int h = std::max(1, ItemHeight());
    if (FStyle == lbOwnerDrawVariable && Index >= 0 && Index < FItems->Count()) {
        const_cast<TCustomListBox*>(this)->MeasureItem(Index, h);
        h = std::max(1, h);
    }
    return h;
}

void TCustomListBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomListBox::SetTopIndex(int Value) {
    int n = FItems->Count();
    int maxTop = FColumns > 0 ? std::max(0, n - 1) : std::max(0, n - VisibleRows());
    Value = std::clamp(Value, 0, maxTop);
    if (FColumns > 0) Value -= Value % VisibleRows();
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::SetColumns(int Value) {
    Value = std::max(0, Value);
    if (FColumns == Value) return;
    FColumns = Value;
    FTopIndex = 0;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::SetIntegralHeight(bool Value) {
    FIntegralHeight = Value;
    if (Value && FStyle != lbOwnerDrawVariable) {
        int border = Height() - ClientHeight();
        int h = std::max(1, ItemHeight());
        int rows = std::max(1, ClientHeight() / h);
        SetBounds(Left(), Top(), Width(), rows * h + border);
    }
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

int TCustomListBox::VisibleRows() const {
    int ch = ClientHeight();
    if (FStyle == lbOwnerDrawVariable) {
        int y = 0, rows = 0;
        for (int i = FTopIndex; i < FItems->Count(); ++i) {
            y += RowHeight(i);
            if (y > ch) break;
            ++rows;
        }
        return std::max(1, rows);
    }
    return std::max(1, ch / std::max(1, ItemHeight()));
}

TRect TCustomListBox::ItemRect(int Index) const {
    if (Index < 0 || Index > FItems->Count()) return TRect{};
    TRect cr = ClientRect();
    if (FColumns > 0) {
        int rows = VisibleRows();
        int colW = std::max(1, cr.right / FColumns);
        int rel = Index - FTopIndex;
        if (rel < 0) return TRect{};
        int col = rel / rows, row = rel % rows, h = ItemHeight();
        return TRect{col * colW, row * h, (col + 1) * colW, (row + 1) * h};
    }
    if (Index < FTopIndex) return TRect{};
    int y = 0;
    for (int i = FTopIndex; i < Index; ++i) {
        y += RowHeight(i);
        if (y > cr.bottom) return TRect{};
    }
    return TRect{0, y, cr.right, y + RowHeight(Index)};
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) const {
    int n = FItems->Count();
    TRect cr = ClientRect();
    if (Pos.x < 0 || Pos.x >= cr.right || Pos.y < 0 || Pos.y >= cr.bottom) return Existing ? -1 : n;
    if (FColumns > 0) {
        int rows = VisibleRows();
        int colW = std::max(1, cr.right / FColumns);
        int idx = FTopIndex + (Pos.x / colW) * rows + Pos.y / std::max(1, ItemHeight());
        if (Pos.y / std::max(1, ItemHeight()) >= rows) return Existing ? -1 : n;
        return idx < n ? idx : (Existing ? -1 : n);
    }
    int y = 0;
    for (int i = FTopIndex; i < n; ++i) {
        int h = RowHeight(i);
        if (Pos.y < y + h) return i;
        y += h;
    }
    return Existing ? -1 : n;
}

void TCustomListBox::Clear() {
    FItems->Clear();
    FItemIndex = FFocusIndex = FAnchor = -1;
    FTopIndex = 0;
}

void TCustomListBox::ScrollInView(int Index) {
    if (Index < 0) return;
    if (Index < FTopIndex) {
        SetTopIndex(Index);
        return;
    }
    int vis = FColumns > 0 ? VisibleRows() * FColumns : VisibleRows();
    if (FStyle == lbOwnerDrawVariable) {
        // Move the top down until the item's bottom fits.
        while (Index > FTopIndex) {
            TRect r = ItemRect(Index);
            if (r.bottom > r.top && r.bottom <= ClientHeight()) break;
            ++FTopIndex;
        }
        UpdateScrollBar();
        Invalidate();
        return;
    }
    if (Index >= FTopIndex + vis) SetTopIndex(FColumns > 0 ? Index - vis + VisibleRows() : Index - vis + 1);
}

void TCustomListBox::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    int n = FItems->Count();
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    if (FColumns > 0) {
        int rows = VisibleRows();
        int cols = (n + rows - 1) / rows;
        si.nMax = std::max(0, cols - 1);
        si.nPage = static_cast<UINT>(FColumns);
        si.nPos = FTopIndex / rows;
        SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
        return;
    }
    si.nMax = std::max(0, n - 1);
    si.nPage = static_cast<UINT>(VisibleRows());
    si.nPos = FTopIndex;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBar();
}

void TCustomListBox::Resize() {
    TWinControl::Resize();
    UpdateScrollBar();
}

void TCustomListBox::Loaded() {
    TWinControl::Loaded();
    if (FSorted) FItems->SetSorted(true);
    UpdateScrollBar();
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    DrawTextItem(FCanvas.get(), Rect, FItems->Strings(Index), State.Contains(odSelected), Enabled(), Color());
}

void TCustomListBox::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    TCanvas* c = FCanvas.get();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    int n = FItems->Count();
    TRect cr = ClientRect();
    for (int i = FTopIndex; i < n; ++i) {
        TRect r = ItemRect(i);
        if (r.bottom <= r.top || r.top >= cr.bottom) break;
        TOwnerDrawState st;
        bool sel = FMultiSelect ? FSel[static_cast<size_t>(i)] : i == FItemIndex;
        if (sel) st.Include(odSelected);
        if (!Enabled()) st.Include(odDisabled);
        bool focus = Focused() && i == FFocusIndex;
        if (focus) st.Include(odFocused);
        c->Font()->Assign(Font());
        c->Brush()->SetColor(sel ? clHighlight : Color());
        c->Font()->SetColor(sel ? clHighlightText : Font()->Color());
        DrawItem(i, r, st);
        if (focus) DrawFocusRect(DC, &r);
    }
    // An empty focused list shows the focus rectangle around where the first item goes.
    if (n == 0 && Focused()) {
        TRect r{0, 0, cr.right, std::max(1, ItemHeight())};
        DrawFocusRect(DC, &r);
    }
}

// --- selection by the user ---------------------------------------------------

void TCustomListBox::SetSelectionRange(int From, int To, bool Keep) {
    if (!Keep) std::fill(FSel.begin(), FSel.end(), false);
    if (From > To) std::swap(From, To);
    for (int i = std::max(0, From); i <= To && i < static_cast<int>(FSel.size()); ++i) FSel[static_cast<size_t>(i)] = true;
}

void TCustomListBox::UserSelect(int Index, TShiftState Shift, bool FromMouse) {
    int n = FItems->Count();
    if (n == 0) return;
    Index = std::clamp(Index, 0, n - 1);
    bool changed = false;
    if (!FMultiSelect) {
        changed = FItemIndex != Index;
        FItemIndex = Index;
    } else {
        std::vector<bool> before = FSel;
        bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
        if (!FExtendedSelect) {
            // Plain multiple selection: a click toggles; keys only move the focus.
            if (FromMouse) FSel[static_cast<size_t>(Index)] = !FSel[static_cast<size_t>(Index)];
        } else if (shift && FAnchor >= 0) {
            if (ctrl || FMouseSelecting) {
                if (!FDragBase.empty() && FDragBase.size() == FSel.size()) FSel = FDragBase;
                SetSelectionRange(FAnchor, Index, true);
            } else {
                SetSelectionRange(FAnchor, Index, false);
            }
        } else if (ctrl) {
            if (FromMouse) {
                FSel[static_cast<size_t>(Index)] = !FSel[static_cast<size_t>(Index)];
                FAnchor = Index;
            }
        } else {
            SetSelectionRange(Index, Index, false);
            FAnchor = Index;
        }
        changed = before != FSel;
    }
    bool focusMoved = FFocusIndex != Index;
    FFocusIndex = Index;
    if (FAnchor < 0) FAnchor = Index;
    ScrollInView(Index);
    if (changed || focusMoved) Invalidate();
    if (changed || (FMultiSelect && focusMoved)) {
        if (FMouseSelecting)
            FChangedWhileMouse = true;
        else
            SelectionChangedByUser();
    }
}

void TCustomListBox::SelectionChangedByUser() { Click(); }

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    int n = FItems->Count();
    if (n == 0 || Key == 0) return;
    int cur = FFocusIndex < 0 ? -1 : FFocusIndex;
    int page = FColumns > 0 ? VisibleRows() * FColumns : std::max(1, VisibleRows() - 1);
    int target = cur;
    switch (Key) {
        case VK_UP: target = cur <= 0 ? 0 : cur - 1; break;
        case VK_DOWN: target = cur + 1; break;
        case VK_LEFT: target = FColumns > 0 ? cur - VisibleRows() : cur - 1; break;
        case VK_RIGHT: target = FColumns > 0 ? cur + VisibleRows() : cur + 1; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = n - 1; break;
        case VK_PRIOR: target = cur - page; break;
        case VK_NEXT: target = cur + page; break;
        case VK_SPACE:
            if (FMultiSelect && cur >= 0 && (!FExtendedSelect || Shift.Contains(ssCtrl))) {
                FSel[static_cast<size_t>(cur)] = !FSel[static_cast<size_t>(cur)];
                FAnchor = cur;
                Invalidate();
                SelectionChangedByUser();
            }
            Key = 0;
            return;
        default: return;
    }
    target = std::clamp(target, 0, n - 1);
    UserSelect(target, Shift, false);
    Key = 0;
}

void TCustomListBox::KeyPress(char& Key) {
    TWinControl::KeyPress(Key);
    unsigned char k = static_cast<unsigned char>(Key);
    if (k < 32 || FItems->Count() == 0) return;
    // The next item (after the focused one, wrapping) whose text starts with the letter.
    char up = static_cast<char>(std::toupper(k));
    int n = FItems->Count(), start = FFocusIndex;
    for (int step = 1; step <= n; ++step) {
        int i = ((start < 0 ? -1 : start) + step) % n;
        const std::string& s = FItems->Strings(i);
        if (!s.empty() && std::toupper(static_cast<unsigned char>(s[0])) == up) {
            UserSelect(i, TShiftState(), false);
            break;
        }
    }
    FLastChar = up;
    FLastCharTick = GetTickCount();
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (CanFocus() && !Focused()) SetFocus();
    if (Shift.Contains(ssDouble)) {
        DblClick();
        return;
    }
    int i = ItemAtPos(TPoint{X, Y}, true);
    if (i < 0) return;
    FDragBase = Shift.Contains(ssCtrl) ? FSel : std::vector<bool>();
    FMouseSelecting = false;
    FChangedWhileMouse = false;
    UserSelect(i, Shift, true);
    if (Shift.Contains(ssCtrl) && FMultiSelect) FDragBase = FSel;
    FMouseSelecting = true;
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TWinControl::MouseMove(Shift, X, Y);
    bool down = Shift.Contains(ssLeft);
    if (!(down && FMouseSelecting) && !HotTrack) return;
    int n = FItems->Count();
    if (n == 0) return;
    int i;
    if (Y < 0)
        i = std::max(0, FTopIndex - 1);
    else if (Y >= ClientHeight())
        i = std::min(n - 1, FTopIndex + VisibleRows());
    else
        i = ItemAtPos(TPoint{std::clamp(X, 0, std::max(0, ClientWidth() - 1)), Y}, true);
    if (i < 0 || i == FFocusIndex) return;
    if (FMultiSelect && FExtendedSelect && down)
        UserSelect(i, Shift + ssShift, true);
    else if (!FMultiSelect)
        UserSelect(i, TShiftState(), true);
}

void TCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // The release point counts as the drag's last position.
    if (FMouseSelecting && Button == mbLeft) MouseMove(Shift + ssLeft, X, Y);
    bool report = FMouseSelecting && FChangedWhileMouse;
    FMouseSelecting = false;
    FChangedWhileMouse = false;
    FDragBase.clear();
    if (report) SelectionChangedByUser();
    TWinControl::MouseUp(Button, Shift, X, Y);
}

// --- messages ------------------------------------------------------------------

void TCustomListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListBox::WMVScroll(TMessage& Message) {
    SetTopIndex(controls_internal::ScrollTarget(Message, Handle(), SB_VERT, FTopIndex, 1, std::max(1, VisibleRows() - 1),
                                                FItems->Count()));
    Message.Result = 0;
}

void TCustomListBox::WMHScroll(TMessage& Message) {
    if (FColumns > 0) {
        int rows = VisibleRows();
        int col = controls_internal::ScrollTarget(Message, Handle(), SB_HORZ, FTopIndex / rows, 1, FColumns, FItems->Count());
        SetTopIndex(col * rows);
    }
    Message.Result = 0;
}

void TCustomListBox::WMMouseWheel(TMessage& Message) {
    int delta = static_cast<int16_t>(HIWORD(Message.WParam));
    SetTopIndex(FTopIndex - delta * 3 / 120);
    Message.Result = 1;
}

void TCustomListBox::WMSetFocusLB(TMessage& Message) {
    Inherited(Message);
    if (FFocusIndex < 0 && FItems->Count() > 0 && !HotTrack) FFocusIndex = FMultiSelect ? 0 : std::max(0, FItemIndex);
    Invalidate();
}

void TCustomListBox::WMKillFocusLB(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomListBox::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::LBMessage(TMessage& Message) {
    switch (Message.Msg) {
        case LB_GETCOUNT: Message.Result = FItems->Count(); break;
        case LB_GETCURSEL: Message.Result = ItemIndex(); break;
        case LB_SETCURSEL: {
            int i = static_cast<int>(Message.WParam);
            if (i >= -1 && i < FItems->Count()) SetItemIndex(i);
            Message.Result = i;
            break;
        }
        case LB_GETTOPINDEX: Message.Result = FTopIndex; break;
        case LB_SETTOPINDEX: SetTopIndex(static_cast<int>(Message.WParam)); Message.Result = 0; break;
    }
}

void RegisterListClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TListBox::StaticClass(), TComboBox::StaticClass(), TScrollBar::StaticClass(),
                     TListView::StaticClass()});
}

}  // namespace host
