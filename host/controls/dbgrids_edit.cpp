// The data grid's in-place editor and the pick list it drops down.
#include <algorithm>

#include "host/controls/dbgrids.h"
#include "host/controls/dbgrids_internal.h"
#include "host/gdi/gdi.h"

namespace host {

// ---------------------------------------------------------------------------
// TDBGridPickList: the drop-down list of a column's pick list.
// ---------------------------------------------------------------------------

// A list box in a top-level pop-up window (not activated, topmost) that follows the mouse
// and hands a click on an item to its editor.
class TDBGridPickList : public TCustomListBox {
    HOST_CLASS(TDBGridPickList, TCustomListBox)
public:
    TDBGridPickList(TComponent* AOwner, TDBGridInplaceEdit* Edit) : TCustomListBox(AOwner), FEdit(Edit) {
        TControlStyle s = ControlStyle();
        s.Exclude(csCaptureMouse);
        s.Exclude(csClickEvents);
        SetControlStyle(s);
        HotTrack = true;
        SetTabStop(false);
        SetVisible(false);
    }
    void MoveSelection(int Delta) {
        int n = Items()->Count();
        if (n == 0) return;
        SetItemIndex(std::clamp(ItemIndex() + Delta, 0, n - 1));
        ScrollInView(ItemIndex());
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomListBox::CreateParams(Params);
        Params.Style = WS_POPUP | WS_BORDER;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = nullptr;
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        (void)Button;
        (void)Shift;
        TRect cr = ClientRect();
        TPoint p{X, Y};
        if (!PtInRect(&cr, p)) {
            FEdit->CloseUp(false);
            return;
        }
        int i = ItemAtPos(p, true);
        if (i >= 0) SetItemIndex(i);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        (void)Shift;
        if (Button != mbLeft) return;
        TRect cr = ClientRect();
        TPoint p{X, Y};
        int i = PtInRect(&cr, p) ? ItemAtPos(p, true) : -1;
        if (i < 0) return;
        SetItemIndex(i);
        FEdit->CloseUp(true);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        TRect cr = ClientRect();
        TPoint p{X, Y};
        if (PtInRect(&cr, p)) TCustomListBox::MouseMove(Shift - ssLeft, X, Y);
    }
    void SelectionChangedByUser() override {}

private:
    TDBGridInplaceEdit* FEdit;
};

// ---------------------------------------------------------------------------
// TDBGridInplaceEdit
// ---------------------------------------------------------------------------

TDBGridInplaceEdit::TDBGridInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {}

TDBGridInplaceEdit::~TDBGridInplaceEdit() = default;

TCustomDBGrid* TDBGridInplaceEdit::DBGrid() const {
    TCustomGrid* g = Grid();
    return g != nullptr && g->Is<TCustomDBGrid>() ? static_cast<TCustomDBGrid*>(g) : nullptr;
}

TDBGridInplaceEdit::TButtonKind TDBGridInplaceEdit::ButtonKind() const {
    TCustomDBGrid* g = DBGrid();
    if (g == nullptr) return TButtonKind::None;
    TColumn* c = g->VisibleColumn(g->Col());
    if (c == nullptr) return TButtonKind::None;
    switch (c->ButtonStyle()) {
        case cbsEllipsis: return TButtonKind::Ellipsis;
        case cbsAuto: return c->PickList()->Count() > 0 ? TButtonKind::PickList : TButtonKind::None;
        default: return TButtonKind::None;
    }
}

int TDBGridInplaceEdit::ButtonWidth() const {
    return ButtonKind() == TButtonKind::None ? 0 : GetSystemMetrics(SM_CXVSCROLL);
}

void TDBGridInplaceEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // The column's button takes the right end of the cell; the grid paints it there.
    TInplaceEdit::SetBounds(ALeft, ATop, std::max(0, AWidth - ButtonWidth()), AHeight);
}

bool TDBGridInplaceEdit::ListVisible() const { return FList != nullptr && FList->Visible(); }

TCustomListBox* TDBGridInplaceEdit::PickListBox() const { return FList; }

void TDBGridInplaceEdit::DropDown() {
    TCustomDBGrid* g = DBGrid();
    if (g == nullptr || ListVisible() || ButtonKind() != TButtonKind::PickList) return;
    TColumn* c = g->VisibleColumn(g->Col());
    if (FList == nullptr) FList = new TDBGridPickList(this, this);
    FList->Font()->Assign(Font());
    FList->SetColor(Color());
    FList->Items()->Assign(c->PickList());
    int n = FList->Items()->Count();
    int rows = std::clamp(n, 1, c->DropDownRows());
    int h = rows * FList->ItemHeight() + 2;
    TRect cell = g->CellRect(g->Col(), g->Row());
    TPoint below = g->ClientToScreen(TPoint{cell.left, cell.bottom});
    TPoint top = g->ClientToScreen(TPoint{cell.left, cell.top});
    int y = below.y;
    if (y + h > GetSystemMetrics(SM_CYSCREEN) && top.y - h >= 0) y = top.y - h;
    int w = std::max(cell.right - cell.left, 40);
    FList->SetBounds(below.x, y, w, h);
    FList->SetItemIndex(FList->Items()->IndexOf(Text()));
    SetWindowPos(FList->Handle(), HWND_TOPMOST, below.x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FList->SetVisible(true);
    FList->Invalidate();
    FList->SetMouseCapture(true);
    g->InvalidateCell(g->Col(), g->Row());
}

void TDBGridInplaceEdit::CloseUp(bool Accept) {
    if (!ListVisible()) return;
    int chosen = FList->ItemIndex();
    std::string text = chosen >= 0 && chosen < FList->Items()->Count() ? FList->Items()->Strings(chosen) : "";
    if (FList->MouseCapture()) FList->SetMouseCapture(false);
    FList->SetVisible(false);
    TCustomDBGrid* g = DBGrid();
    if (g != nullptr) g->InvalidateCell(g->Col(), g->Row());
    if (!Accept || chosen < 0 || g == nullptr) return;
    if (text == Text() || !g->BeginEditing()) return;
    SetText(text);
    SelectAll();
}

void TDBGridInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomDBGrid* g = DBGrid();
    if (g == nullptr) {
        TInplaceEdit::KeyDown(Key, Shift);
        return;
    }
    if (ListVisible()) {
        switch (Key) {
            case VK_UP: FList->MoveSelection(-1); break;
            case VK_DOWN: FList->MoveSelection(1); break;
            case VK_PRIOR: FList->MoveSelection(-FList->VisibleRows()); break;
            case VK_NEXT: FList->MoveSelection(FList->VisibleRows()); break;
            case VK_RETURN:
                CloseUp(true);
                FSwallowReturn = true;
                break;
            case VK_ESCAPE:
            case VK_F4:
                CloseUp(false);
                break;
            default: return;
        }
        Key = 0;
        return;
    }
    bool dropKey = (Key == VK_F4 && Shift.Empty()) || (Key == VK_DOWN && Shift == TShiftState{ssAlt});
    if (dropKey && ButtonKind() == TButtonKind::PickList) {
        DropDown();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN && Shift == TShiftState{ssCtrl} && ButtonKind() == TButtonKind::Ellipsis) {
        g->EditButtonClick();
        Key = 0;
        return;
    }
    if (Key == VK_DELETE && Shift.Contains(ssCtrl)) {
        g->KeyDown(Key, Shift);
        Key = 0;
        return;
    }
    // Deleting text and pasting change the record: the dataset goes into edit mode first.
    bool modifies = (Key == VK_DELETE && Shift.Empty()) || (Key == VK_INSERT && Shift == TShiftState{ssShift});
    if (modifies && !g->BeginEditing()) {
        Key = 0;
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TDBGridInplaceEdit::KeyPress(char& Key) {
    if (FSwallowReturn && Key == 13) {
        FSwallowReturn = false;
        Key = 0;
        return;
    }
    FSwallowReturn = false;
    TCustomDBGrid* g = DBGrid();
    unsigned char k = static_cast<unsigned char>(Key);
    if (g != nullptr && (k >= 32 || k == 8 || k == 22 || k == 24)) {
        if (k >= 32 && !g->CanEditAcceptKey(Key)) {
            Key = 0;
            MessageBeep(0);
            return;
        }
        if (!g->BeginEditing()) {
            Key = 0;
            return;
        }
    }
    TInplaceEdit::KeyPress(Key);
}

void TDBGridInplaceEdit::DoExit() {
    CloseUp(false);
    TInplaceEdit::DoExit();
}

}  // namespace host
