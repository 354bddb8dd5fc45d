// Grids: geometry, painting, keyboard, mouse and scrolling of TCustomGrid, the draw and string grids and the in-place editor.
#include "host/controls/grids.h"

#include <algorithm>
#include <map>
#include <utility>

#include "host/app/app.h"
#include "host/controls/controls_internal.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"

namespace host {

namespace {

constexpr int SizingTolerance = 3;  // pixels either side of a line that grab it for sizing
constexpr UINT_PTR SelectTimerId = 1;
constexpr UINT SelectTimerMs = 60;

[[noreturn]] void GridIndexError() { throw EInvalidOperation("Grid index out of range"); }

bool InGridRect(int X, int Y, const TGridRect& R) {
    return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

// The new index of an item at Index after the item at From moved to To.
int MovedIndex(int Index, int From, int To) {
    if (Index == From) return To;
    if (From < To && Index > From && Index <= To) return Index - 1;
    if (To < From && Index >= To && Index < From) return Index + 1;
    return Index;
}

template <class T>
void MoveItem(std::vector<T>& V, int From, int To) {
    if (From < 0 || To < 0 || From >= static_cast<int>(V.size()) || To >= static_cast<int>(V.size())) return;
    if (From < To)
        std::rotate(V.begin() + From, V.begin() + From + 1, V.begin() + To + 1);
    else
        std::rotate(V.begin() + To, V.begin() + From, V.begin() + From + 1);
}

void FillSolid(TCanvas* C, const TRect& R, TColor Color) {
    if (R.right <= R.left || R.bottom <= R.top) return;
    C->Brush()->SetColor(Color);
    C->FillRect(R);
}

}  // namespace

// ---------------------------------------------------------------------------
// TInplaceEdit
// ---------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    if (AOwner != nullptr && AOwner->Is<TCustomGrid>()) FGrid = static_cast<TCustomGrid*>(AOwner);
    FVisible = false;
    SetParentCtl3D(false);
    SetCtl3D(false);
    SetTabStop(false);
    SetBorderStyle(bsNone);
    SetAutoSize(false);
    SetAutoSelect(false);
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TInplaceEdit::Move(const TRect& Rect) {
    SetBounds(Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top);
    if (!Visible()) Show();
    if (FGrid != nullptr && FGrid->Focused() && CanFocus()) SetFocus();
}

void TInplaceEdit::HideEdit() {
    if (!Visible()) return;
    bool hadFocus = Focused();
    Hide();
    if (hadFocus && FGrid != nullptr && FGrid->CanFocus()) FGrid->SetFocus();
}

void TInplaceEdit::UpdateContents() {
    if (FGrid == nullptr) return;
    FUpdating = true;
    try {
        SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
        SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
        SetMaxLength(FGrid->GetEditLimit());
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    FOriginal = Text();
    SetModified(false);
    SelectAll();
}

void TInplaceEdit::Restore() {
    if (Text() != FOriginal) SetText(FOriginal);
    SelectAll();
}

void TInplaceEdit::Change() {
    TCustomMaskEdit::Change();
    if (!FUpdating && FGrid != nullptr) FGrid->UpdateText();
}

void TInplaceEdit::DoExit() {
    TCustomMaskEdit::DoExit();
    // The focus went somewhere else than the grid: the edit closes (its text is in the
    // cell already).
    if (FGrid != nullptr && !FGrid->Focused() && !FGrid->Options().Contains(goAlwaysShowEditor)) FGrid->HideEditor();
}

void TInplaceEdit::SendToParent(WORD& Key, TShiftState Shift) {
    if (FGrid != nullptr) FGrid->KeyDown(Key, Shift);
    Key = 0;
}

void TInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
    if (FGrid == nullptr) {
        TCustomMaskEdit::KeyDown(Key, Shift);
        return;
    }
    bool forward = FGrid->Options().Contains(goAlwaysShowEditor);
    bool ctrl = Shift.Contains(ssCtrl);
    int len = static_cast<int>(Text().size());
    bool all = SelStart() == 0 && SelLength() == len;
    bool leftSide = SelStart() == 0 && (SelLength() == 0 || all);
    bool rightSide = (SelStart() + SelLength() >= len) && (SelLength() == 0 || all);
    switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_ESCAPE:
            SendToParent(Key, Shift);
            break;
        case VK_INSERT:
            if (Shift.Empty())
                SendToParent(Key, Shift);
            else if (Shift == TShiftState{ssShift} && !FGrid->CanEditModify())
                Key = 0;
            break;
        case VK_LEFT:
        case VK_HOME:
            if (forward && (ctrl || leftSide)) SendToParent(Key, Shift);
            break;
        case VK_RIGHT:
        case VK_END:
            if (forward && (ctrl || rightSide)) SendToParent(Key, Shift);
            break;
        case VK_F2:
            // Toggles between "all selected" and the caret at the end.
            SetSelStart(len);
            Key = 0;
            break;
        case VK_TAB:
            if (!Shift.Contains(ssAlt)) SendToParent(Key, Shift);
            break;
        default:
            break;
    }
    if (Key == VK_DELETE && !FGrid->CanEditModify()) Key = 0;
    if (Key == 0) return;
    // The grid's handler hears the keys the edit keeps, too.
    FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key != 0) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char& Key) {
    if (FGrid == nullptr) {
        TCustomMaskEdit::KeyPress(Key);
        return;
    }
    // The grid sees every character first (Enter closes the edit there).
    FGrid->KeyPress(Key);
    unsigned char k = static_cast<unsigned char>(Key);
    if (k >= 32 && !FGrid->CanEditAcceptKey(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    switch (k) {
        case 9:
        case 27:
            Key = 0;  // the grid acted on the key down
            break;
        case 13:
            // With the edit always shown, Enter toggles between all selected and the caret at the end.
            if (SelStart() == 0 && SelLength() == static_cast<int>(Text().size()))
                SetSelStart(static_cast<int>(Text().size()));
            else
                SelectAll();
            Key = 0;
            break;
        case 8:
        case 22:
        case 24:
            if (!FGrid->CanEditModify()) Key = 0;
            break;
        default:
            if (k >= 32 && !FGrid->CanEditModify()) Key = 0;
            break;
    }
    if (Key != 0) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    Inherited(Message);
    if (FGrid != nullptr && FGrid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::WMMouseWheel(TMessage& Message) {
    if (FGrid != nullptr)
        Message.Result = FGrid->Perform(Message.Msg, Message.WParam, Message.LParam);
    else
        Inherited(Message);
}

// ---------------------------------------------------------------------------
// TCustomGrid: construction and properties
// ---------------------------------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents};
    SetParentColorQuiet(false);
    FColor = clWindow;
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() { FreeAndNil(FInplaceEdit); }

void TCustomGrid::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
}

void TCustomGrid::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollRange();
}

void TCustomGrid::Loaded() {
    TCustomControl::Loaded();
    UpdateScrollRange();
}

void TCustomGrid::SetColCount(int Value) {
    if (Value < 1) Value = 1;
    SetCountsAndFixed(Value, FRowCount, std::min(FFixedCols, Value - 1), FFixedRows);
}

void TCustomGrid::SetRowCount(int Value) {
    if (Value < 1) Value = 1;
    SetCountsAndFixed(FColCount, Value, FFixedCols, std::min(FFixedRows, Value - 1));
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) GridIndexError();
    if (Value >= FColCount) throw EInvalidOperation("Fixed column count must be less than column count");
    SetCountsAndFixed(FColCount, FRowCount, Value, FFixedRows);
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) GridIndexError();
    if (Value >= FRowCount) throw EInvalidOperation("Fixed row count must be less than row count");
    SetCountsAndFixed(FColCount, FRowCount, FFixedCols, Value);
}

void TCustomGrid::ResizeExtents(std::vector<int>& Extents, int Count, int Default) {
    if (!Extents.empty()) Extents.resize(static_cast<size_t>(Count), Default);
}

void TCustomGrid::SetCountsAndFixed(int NewCols, int NewRows, int NewFixedCols, int NewFixedRows) {
    if (NewCols == FColCount && NewRows == FRowCount && NewFixedCols == FFixedCols && NewFixedRows == FFixedRows)
        return;
    int oldCols = FColCount, oldRows = FRowCount;
    bool fixedChanged = NewFixedCols != FFixedCols || NewFixedRows != FFixedRows;
    bool editing = FInplaceEdit != nullptr && FInplaceEdit->Visible();
    if (editing) HideEditor();
    FColCount = NewCols;
    FRowCount = NewRows;
    FFixedCols = NewFixedCols;
    FFixedRows = NewFixedRows;
    ResizeExtents(FColWidths, FColCount, FDefaultColWidth);
    ResizeExtents(FRowHeights, FRowCount, FDefaultRowHeight);
    if (!FTabStops.empty()) FTabStops.resize(static_cast<size_t>(FColCount), true);
    auto clampCoord = [this](TGridCoord& C) {
        C.X = std::clamp(C.X, FFixedCols, std::max(FFixedCols, FColCount - 1));
        C.Y = std::clamp(C.Y, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    };
    if (fixedChanged) {
        // New fixed cells: the view and the current cell start again at the first scrollable cell.
        FTopLeft = FCurrent = FAnchor = TGridCoord{FFixedCols, FFixedRows};
    }
    clampCoord(FCurrent);
    clampCoord(FAnchor);
    if (FOptions.Contains(goRowSelect)) {
        FCurrent.X = FFixedCols;
        FAnchor.X = FColCount - 1;
    }
    FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, MaxTopLeft(true)));
    FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, MaxTopLeft(false)));
    SizeChanged(oldCols, oldRows);
    UpdateScrollRange();
    InvalidateGrid();
    if (editing) UpdateEdit();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    Value = std::max(Value, 0);
    FDefaultColWidth = Value;
    FColWidths.clear();
    ColWidthsChanged();
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    Value = std::max(Value, 0);
    FDefaultRowHeight = Value;
    FRowHeights.clear();
    RowHeightsChanged();
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

int TCustomGrid::ColWidths(int Index) const {
    if (Index < 0 || Index >= FColCount) GridIndexError();
    return FColWidths.empty() ? FDefaultColWidth : FColWidths[static_cast<size_t>(Index)];
}

int TCustomGrid::RowHeights(int Index) const {
    if (Index < 0 || Index >= FRowCount) GridIndexError();
    return FRowHeights.empty() ? FDefaultRowHeight : FRowHeights[static_cast<size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    if (Index < 0 || Index >= FColCount) GridIndexError();
    Value = std::max(Value, 0);
    if (ColWidths(Index) == Value) return;
    if (FColWidths.empty()) FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    FColWidths[static_cast<size_t>(Index)] = Value;
    ColWidthsChanged();
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    if (Index < 0 || Index >= FRowCount) GridIndexError();
    Value = std::max(Value, 0);
    if (RowHeights(Index) == Value) return;
    if (FRowHeights.empty()) FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
    FRowHeights[static_cast<size_t>(Index)] = Value;
    RowHeightsChanged();
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FGridLineWidth) return;
    FGridLineWidth = Value;
    UpdateScrollRange();
    InvalidateGrid();
    InvalidateEditor();
}

bool TCustomGrid::TabStops(int Index) const {
    if (Index < 0 || Index >= FColCount) GridIndexError();
    return FTabStops.empty() || FTabStops[static_cast<size_t>(Index)];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
    if (Index < 0 || Index >= FColCount) GridIndexError();
    if (FTabStops.empty()) FTabStops.assign(static_cast<size_t>(FColCount), true);
    FTabStops[static_cast<size_t>(Index)] = Value;
}

void TCustomGrid::SetCol(int Value) {
    if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
    if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

TGridRect TCustomGrid::Selection() const {
    return TGridRect{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y), std::max(FCurrent.X, FAnchor.X),
                     std::max(FCurrent.Y, FAnchor.Y)};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    auto valid = [this](int X, int Y) { return X >= FFixedCols && X < FColCount && Y >= FFixedRows && Y < FRowCount; };
    if (!valid(Value.Left, Value.Top) || !valid(Value.Right, Value.Bottom)) GridIndexError();
    TGridRect old = Selection();
    FCurrent = TGridCoord{std::min(Value.Left, Value.Right), std::min(Value.Top, Value.Bottom)};
    FAnchor = TGridCoord{std::max(Value.Left, Value.Right), std::max(Value.Top, Value.Bottom)};
    if (FOptions.Contains(goRowSelect)) {
        FCurrent.X = FFixedCols;
        FAnchor.X = FColCount - 1;
    }
    ClampInView(FCurrent);
    SelectionMoved(old);
    UpdateEdit();
}

void TCustomGrid::SetLeftCol(int Value) { MoveTopLeft(Value, FTopLeft.Y); }
void TCustomGrid::SetTopRow(int Value) { MoveTopLeft(FTopLeft.X, Value); }

int TCustomGrid::VisibleColCount() const {
    if (FColCount <= FFixedCols) return 0;
    return HorzAxis().LastFullVisible - FTopLeft.X + 1;
}

int TCustomGrid::VisibleRowCount() const {
    if (FRowCount <= FFixedRows) return 0;
    return VertAxis().LastFullVisible - FTopLeft.Y + 1;
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions) return;
    if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
    FOptions = Value;
    if (!FOptions.Contains(goEditing) || FOptions.Contains(goRowSelect)) HideEditor();
    if (FOptions.Contains(goRowSelect)) {
        FCurrent.X = FFixedCols;
        FAnchor = TGridCoord{FColCount - 1, FCurrent.Y};
    }
    if (FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor) && IsActiveControl()) ShowEditor();
    UpdateScrollRange();
    InvalidateGrid();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (Value == FFixedColor) return;
    FFixedColor = Value;
    InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (Value == FDefaultDrawing) return;
    FDefaultDrawing = Value;
    InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    UpdateScrollRange();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

TCustomGrid::TAxis TCustomGrid::CalcAxis(bool Horz) const {
    TAxis a;
    TRect cr = ClientRect();
    a.Extent = Horz ? cr.right : cr.bottom;
    bool lines = Horz ? (FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine))
                      : (FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine));
    a.LineWidth = lines ? FGridLineWidth : 0;
    int fixed = Horz ? FFixedCols : FFixedRows;
    int count = Horz ? FColCount : FRowCount;
    int first = Horz ? FTopLeft.X : FTopLeft.Y;
    int64_t pos = 0;
    for (int i = 0; i < fixed; ++i) pos += Extent(Horz, i) + a.LineWidth;
    a.FixedBoundary = static_cast<int>(std::min<int64_t>(pos, a.Extent));
    a.LastFullVisible = first;
    a.LastVisible = first - 1;
    for (int i = first; i < count && pos < a.Extent; ++i) {
        int64_t end = pos + Extent(Horz, i);
        if (end <= a.Extent) a.LastFullVisible = i;
        a.LastVisible = i;
        pos = end + a.LineWidth;
    }
    if (first >= count) a.LastFullVisible = first - 1;
    a.GridBoundary = static_cast<int>(std::min<int64_t>(pos, a.Extent));
    return a;
}

TCustomGrid::TAxis TCustomGrid::HorzAxis() const { return CalcAxis(true); }
TCustomGrid::TAxis TCustomGrid::VertAxis() const { return CalcAxis(false); }

std::vector<TGridCoord> TCustomGrid::VisibleCells(bool Horz) const {
    TAxis a = CalcAxis(Horz);
    std::vector<TGridCoord> out;
    int fixed = Horz ? FFixedCols : FFixedRows;
    int64_t pos = 0;
    for (int i = 0; i < fixed && pos < a.Extent; ++i) {
        out.push_back(TGridCoord{i, static_cast<int>(pos)});
        pos += Extent(Horz, i) + a.LineWidth;
    }
    pos = a.FixedBoundary;
    int first = Horz ? FTopLeft.X : FTopLeft.Y;
    for (int i = first; i <= a.LastVisible; ++i) {
        out.push_back(TGridCoord{i, static_cast<int>(pos)});
        pos += Extent(Horz, i) + a.LineWidth;
    }
    return out;
}

int TCustomGrid::CellStart(bool Horz, int Index) const {
    for (const TGridCoord& c : VisibleCells(Horz))
        if (c.X == Index) return c.Y;
    return -1;
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const { return BoxRect(ACol, ARow, ACol, ARow); }

TRect TCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
    if (ARight < ALeft) std::swap(ALeft, ARight);
    if (ABottom < ATop) std::swap(ATop, ABottom);
    TAxis h = HorzAxis(), v = VertAxis();
    // The first and last visible cells of the block along one axis, as pixel spans.
    auto span = [this](bool Horz, int From, int To, const TAxis& A, int& Lo, int& Hi) {
        Lo = -1;
        Hi = -1;
        for (const TGridCoord& c : VisibleCells(Horz)) {
            if (c.X < From || c.X > To) continue;
            if (Lo < 0) Lo = c.Y;
            Hi = std::min(c.Y + Extent(Horz, c.X), A.GridBoundary);
        }
        return Lo >= 0;
    };
    int l, r, t, b;
    if (!span(true, ALeft, ARight, h, l, r) || !span(false, ATop, ABottom, v, t, b)) return TRect{};
    return TRect{l, t, r, b};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    auto find = [this](bool Horz, int Pos) {
        TAxis a = CalcAxis(Horz);
        if (Pos < 0 || Pos >= a.GridBoundary) return -1;
        for (const TGridCoord& c : VisibleCells(Horz))
            if (Pos >= c.Y && Pos < c.Y + Extent(Horz, c.X) + a.LineWidth) return c.X;
        return -1;
    };
    TGridCoord r{find(true, X), find(false, Y)};
    if (r.X < 0 || r.Y < 0) return TGridCoord{-1, -1};
    return r;
}

int TCustomGrid::MaxTopLeft(bool Horz) const {
    TAxis a = CalcAxis(Horz);
    int fixed = Horz ? FFixedCols : FFixedRows;
    int count = Horz ? FColCount : FRowCount;
    if (count <= fixed) return fixed;
    int avail = a.Extent - a.FixedBoundary;
    int i = count - 1;
    int64_t used = Extent(Horz, i);
    while (i > fixed) {
        int64_t next = used + a.LineWidth + Extent(Horz, i - 1);
        if (next > avail) break;
        used = next;
        --i;
    }
    return i;
}

bool TCustomGrid::IsActiveControl() const {
    if (Focused()) return true;
    return FInplaceEdit != nullptr && FInplaceEdit->Focused();
}

// ---------------------------------------------------------------------------
// Invalidation
// ---------------------------------------------------------------------------

void TCustomGrid::InvalidateGridRect(const TGridRect& R) {
    if (!HandleAllocated()) return;
    TRect rc = BoxRect(R.Left, R.Top, R.Right, R.Bottom);
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    // The lines after the block and the 3-D edges belong to it too.
    rc.right += FGridLineWidth;
    rc.bottom += FGridLineWidth;
    ::host::InvalidateRect(FHandle, &rc, FALSE);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateGridRect(TGridRect{ACol, ARow, ACol, ARow}); }
void TCustomGrid::InvalidateCol(int ACol) { InvalidateGridRect(TGridRect{ACol, 0, ACol, FRowCount - 1}); }
void TCustomGrid::InvalidateRow(int ARow) { InvalidateGridRect(TGridRect{0, ARow, FColCount - 1, ARow}); }

void TCustomGrid::InvalidateGrid() { Invalidate(); }

void TCustomGrid::InvalidateEditor() {
    FInplaceCell = TGridCoord{-1, -1};
    UpdateEdit();
}

void TCustomGrid::SelectionMoved(const TGridRect& OldSel) {
    TGridRect now = Selection();
    if (OldSel == now) return;
    InvalidateGridRect(OldSel);
    InvalidateGridRect(now);
}

// ---------------------------------------------------------------------------
// Moving the current cell and the view
// ---------------------------------------------------------------------------

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveColRow(ACol, ARow, MoveAnchor, true);
    UpdateEdit();
    Click();
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) GridIndexError();
    if (!SelectCell(ACol, ARow)) return;
    TGridRect oldSel = Selection();
    TGridCoord oldCurrent = FCurrent;
    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
    FCurrent = TGridCoord{ACol, ARow};
    if (MoveAnchor || !FOptions.Contains(goRangeSelect)) {
        FAnchor = FCurrent;
        if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
    }
    if (FOptions.Contains(goRowSelect)) FCurrent.X = FFixedCols;
    if (Show) ClampInView(TGridCoord{ACol, ARow});
    SelectionMoved(oldSel);
    InvalidateCell(oldCurrent.X, oldCurrent.Y);
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::ClampInView(const TGridCoord& Coord) {
    TAxis h = HorzAxis(), v = VertAxis();
    // The first cell that shows Index as the last whole cell of the view.
    auto leadingFor = [this](bool Horz, int Index, const TAxis& A) {
        int fixed = Horz ? FFixedCols : FFixedRows;
        int avail = A.Extent - A.FixedBoundary;
        int i = Index;
        int64_t used = Extent(Horz, i);
        while (i > fixed) {
            int64_t next = used + A.LineWidth + Extent(Horz, i - 1);
            if (next > avail) break;
            used = next;
            --i;
        }
        return i;
    };
    TGridCoord tl = FTopLeft;
    if (Coord.X >= FFixedCols && !FOptions.Contains(goRowSelect)) {
        if (Coord.X < tl.X)
            tl.X = Coord.X;
        else if (Coord.X > h.LastFullVisible)
            tl.X = std::max(leadingFor(true, Coord.X, h), tl.X);
    }
    if (Coord.Y >= FFixedRows) {
        if (Coord.Y < tl.Y)
            tl.Y = Coord.Y;
        else if (Coord.Y > v.LastFullVisible)
            tl.Y = std::max(leadingFor(false, Coord.Y, v), tl.Y);
    }
    MoveTopLeft(tl.X, tl.Y);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
    ALeft = std::clamp(ALeft, FFixedCols, std::max(FFixedCols, MaxTopLeft(true)));
    ATop = std::clamp(ATop, FFixedRows, std::max(FFixedRows, MaxTopLeft(false)));
    if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
    FTopLeft = TGridCoord{ALeft, ATop};
    UpdateScrollRange();
    InvalidateGrid();
    TopLeftChanged();
    if (FInplaceEdit != nullptr && FInplaceEdit->Visible()) UpdateEdit();
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount) GridIndexError();
    if (FromIndex == ToIndex) return;
    HideEditor();
    MoveItem(FColWidths, FromIndex, ToIndex);
    MoveItem(FTabStops, FromIndex, ToIndex);
    FCurrent.X = MovedIndex(FCurrent.X, FromIndex, ToIndex);
    FAnchor.X = MovedIndex(FAnchor.X, FromIndex, ToIndex);
    ColumnMoved(FromIndex, ToIndex);
    ColWidthsChanged();
    InvalidateGrid();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount) GridIndexError();
    if (FromIndex == ToIndex) return;
    HideEditor();
    MoveItem(FRowHeights, FromIndex, ToIndex);
    FCurrent.Y = MovedIndex(FCurrent.Y, FromIndex, ToIndex);
    FAnchor.Y = MovedIndex(FAnchor.Y, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    RowHeightsChanged();
    InvalidateGrid();
}

void TCustomGrid::DeleteColumn(int ACol) {
    if (ACol < 0 || ACol >= FColCount) GridIndexError();
    MoveColumn(ACol, FColCount - 1);
    SetColCount(FColCount - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
    if (ARow < 0 || ARow >= FRowCount) GridIndexError();
    MoveRow(ARow, FRowCount - 1);
    SetRowCount(FRowCount - 1);
}

// ---------------------------------------------------------------------------
// Scroll bars
// ---------------------------------------------------------------------------

void TCustomGrid::UpdateScrollRange() {
    if (!HandleAllocated() || FUpdatingScrollBars > 0) return;
    ++FUpdatingScrollBars;
    // Showing one bar narrows the client and may call for the other: settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        bool changed = false;
        for (bool horz : {true, false}) {
            if (!horz && OwnVertScrollBar()) continue;
            bool wanted = horz ? (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
                               : (FScrollBars == ssVertical || FScrollBars == ssBoth);
            int fixed = horz ? FFixedCols : FFixedRows;
            int count = horz ? FColCount : FRowCount;
            int maxTL = MaxTopLeft(horz);
            SCROLLINFO si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            if (wanted && maxTL > fixed) {
                si.nMin = 0;
                si.nMax = count - 1 - fixed;
                si.nPage = static_cast<UINT>(count - maxTL);
                si.nPos = (horz ? FTopLeft.X : FTopLeft.Y) - fixed;
            }
            SCROLLINFO old;
            old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            int bar = horz ? SB_HORZ : SB_VERT;
            if (!GetScrollInfo(FHandle, bar, &old) || old.nMin != si.nMin || old.nMax != si.nMax ||
                old.nPage != si.nPage || old.nPos != si.nPos) {
                SetScrollInfo(FHandle, bar, &si, TRUE);
                changed = true;
            }
        }
        // A narrower client can leave the view past its end.
        TGridCoord tl{std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, MaxTopLeft(true))),
                      std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, MaxTopLeft(false)))};
        if (!(tl == FTopLeft)) {
            FTopLeft = tl;
            changed = true;
            InvalidateGrid();
            TopLeftChanged();
        }
        if (!changed) break;
    }
    --FUpdatingScrollBars;
}

void TCustomGrid::ModifyScrollBar(bool Horz, WORD Code, int Pos) {
    int fixed = Horz ? FFixedCols : FFixedRows;
    int cur = Horz ? FTopLeft.X : FTopLeft.Y;
    int page = std::max(1, Horz ? VisibleColCount() : VisibleRowCount());
    int next = cur;
    switch (Code) {
        case SB_LINEUP: next = cur - 1; break;
        case SB_LINEDOWN: next = cur + 1; break;
        case SB_PAGEUP: next = cur - page; break;
        case SB_PAGEDOWN: next = cur + page; break;
        case SB_THUMBTRACK:
            if (!FOptions.Contains(goThumbTracking)) return;
            next = fixed + Pos;
            break;
        case SB_THUMBPOSITION: next = fixed + Pos; break;
        case SB_TOP: next = fixed; break;
        case SB_BOTTOM: next = MaxTopLeft(Horz); break;
        default: return;
    }
    if (Horz)
        MoveTopLeft(next, FTopLeft.Y);
    else
        MoveTopLeft(FTopLeft.X, next);
}

int TCustomGrid::ThumbPos(bool Horz, int MessagePos) const {
    // The message carries 16 bits; a longer range reads the 32-bit track position.
    int range = Horz ? FColCount - FFixedCols : FRowCount - FFixedRows;
    if (range <= 0x7FFF || !HandleAllocated()) return MessagePos;
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    return GetScrollInfo(FHandle, Horz ? SB_HORZ : SB_VERT, &si) ? si.nTrackPos : MessagePos;
}

void TCustomGrid::WMHScroll(TMessage& Message) {
    auto& m = static_cast<TWMScroll&>(Message);
    ModifyScrollBar(true, m.ScrollCode(), ThumbPos(true, m.Pos()));
    Message.Result = 0;
}

void TCustomGrid::WMVScroll(TMessage& Message) {
    auto& m = static_cast<TWMScroll&>(Message);
    ModifyScrollBar(false, m.ScrollCode(), ThumbPos(false, m.Pos()));
    Message.Result = 0;
}

void TCustomGrid::WMMouseWheel(TMessage& Message) {
    auto& m = static_cast<TWMMouseWheel&>(Message);
    bool handled = false;
    OnMouseWheel(this, KeysToShiftState(m.Keys()), m.WheelDelta(), TPoint{m.XPos(), m.YPos()}, handled);
    Message.Result = 1;
    if (handled) return;
    // Each notch moves the current row by one, as the framework's grid does.
    int notches = m.WheelDelta() / WHEEL_DELTA;
    if (notches == 0) notches = m.WheelDelta() > 0 ? 1 : -1;
    int target = std::clamp(FCurrent.Y - notches, FFixedRows, std::max(FFixedRows, FRowCount - 1));
    if (target != FCurrent.Y && FRowCount > FFixedRows) FocusCell(FCurrent.X, target, true);
}

void TCustomGrid::Resize() {
    TCustomControl::Resize();
    UpdateScrollRange();
    if (FInplaceEdit != nullptr && FInplaceEdit->Visible()) UpdateEdit();
}

// ---------------------------------------------------------------------------
// The in-place editor
// ---------------------------------------------------------------------------

bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FEditorMode && HandleAllocated() &&
           FRowCount > FFixedRows && FColCount > FFixedCols &&
           (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditModify() { return FCanEditModify; }
bool TCustomGrid::CanEditAcceptKey(char) { return true; }
std::string TCustomGrid::GetEditText(int, int) { return std::string(); }
void TCustomGrid::SetEditText(int, int, const std::string&) {}
std::string TCustomGrid::GetEditMask(int, int) { return std::string(); }
int TCustomGrid::GetEditLimit() { return 0; }
TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (!FOptions.Contains(goEditing) || FOptions.Contains(goRowSelect)) return;
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    if (!FOptions.Contains(goAlwaysShowEditor) || !FOptions.Contains(goEditing)) FEditorMode = false;
    if (FInplaceEdit == nullptr || !FInplaceEdit->Visible()) {
        FInplaceCell = TGridCoord{-1, -1};
        return;
    }
    UpdateText();
    FInplaceCell = TGridCoord{-1, -1};
    FInplaceEdit->HideEdit();
}

void TCustomGrid::ShowEditorChar(char Ch) {
    ShowEditor();
    if (FInplaceEdit != nullptr && FInplaceEdit->Visible())
        FInplaceEdit->Perform(WM_CHAR, static_cast<unsigned char>(Ch), 0);
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit == nullptr || FInplaceCell.X < 0 || FInplaceCell.Y < 0) return;
    if (FInplaceCell.X >= FColCount || FInplaceCell.Y >= FRowCount) return;
    SetEditText(FInplaceCell.X, FInplaceCell.Y, FInplaceEdit->Text());
}

void TCustomGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    if (FInplaceEdit == nullptr) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
        FInplaceEdit->SetParent(this);
    }
    if (!(FInplaceCell == FCurrent)) {
        UpdateText();
        FInplaceCell = FCurrent;
        FCanEditModify = true;
        FCanEditModify = CanEditModify();
        FInplaceEdit->UpdateContents();
    }
    TRect r = CellRect(FCurrent.X, FCurrent.Y);
    if (r.right <= r.left || r.bottom <= r.top) {
        FInplaceEdit->HideEdit();
        return;
    }
    FInplaceEdit->Move(r);
}

// ---------------------------------------------------------------------------
// Overridables with no behaviour of their own
// ---------------------------------------------------------------------------

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}
bool TCustomGrid::SelectCell(int, int) { return true; }
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::ColWidthsChanged() { InvalidateEditor(); }
void TCustomGrid::RowHeightsChanged() { InvalidateEditor(); }
void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::TopLeftChanged() {}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomGrid::Paint() {
    TCanvas* c = Canvas();
    TAxis h = HorzAxis(), v = VertAxis();
    std::vector<TGridCoord> cols = VisibleCells(true), rows = VisibleCells(false);
    bool active = IsActiveControl();
    TGridRect sel = Selection();
    bool editorShown = FInplaceEdit != nullptr && FInplaceEdit->Visible();
    bool rowSelect = FOptions.Contains(goRowSelect);
    bool edges3D = Ctl3D() && FOptions.Contains(goFixedVertLine) && FOptions.Contains(goFixedHorzLine);
    // Lines of the cells in the colour of the window are a light grey; on a grey grid, a darker one.
    TColor lineColor = ColorToRGB(Color()) == ColorToRGB(clBtnFace) ? clBtnShadow : clBtnFace;
    TColor fixedLineColor = clWindowText;
    bool focusSelected = FOptions.Contains(goDrawFocusSelected) || rowSelect;
    bool cellFocusRect = !rowSelect && !editorShown &&
                         !(FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor));

    for (const TGridCoord& r : rows) {
        for (const TGridCoord& col : cols) {
            bool fixed = col.X < FFixedCols || r.X < FFixedRows;
            TRect where{col.Y, r.Y, col.Y + ColWidths(col.X), r.Y + RowHeights(r.X)};
            TGridDrawState state;
            if (fixed) {
                state.Include(gdFixed);
            } else {
                bool current = r.X == FCurrent.Y && (rowSelect || col.X == FCurrent.X);
                if (current && active) state.Include(gdFocused);
                if (InGridRect(col.X, r.X, sel)) state.Include(gdSelected);
            }
            if (FDefaultDrawing) {
                if (fixed) {
                    c->Brush()->SetColor(FFixedColor);
                    c->Font()->SetColor(Font()->Color());
                } else if (state.Contains(gdSelected) && (!state.Contains(gdFocused) || focusSelected)) {
                    c->Brush()->SetColor(clHighlight);
                    c->Font()->SetColor(clHighlightText);
                } else {
                    c->Brush()->SetColor(Color());
                    c->Font()->SetColor(Font()->Color());
                }
                c->FillRect(where);
            }
            DrawCell(col.X, r.X, where, state);
            if (FDefaultDrawing && fixed && edges3D) {
                TRect e = where;
                DrawEdge(c->Handle(), &e, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
                e = where;
                DrawEdge(c->Handle(), &e, BDR_RAISEDINNER, BF_TOPLEFT);
            }
            if (FDefaultDrawing && cellFocusRect && state.Contains(gdFocused)) c->DrawFocusRect(where);
            TColor back = fixed ? FFixedColor : Color();
            if (h.LineWidth > 0) {
                bool draw = FOptions.Contains(fixed ? goFixedVertLine : goVertLine);
                FillSolid(c, TRect{where.right, where.top, where.right + h.LineWidth, where.bottom + v.LineWidth},
                          draw ? (fixed ? fixedLineColor : lineColor) : back);
            }
            if (v.LineWidth > 0) {
                bool draw = FOptions.Contains(fixed ? goFixedHorzLine : goHorzLine);
                FillSolid(c, TRect{where.left, where.bottom, where.right, where.bottom + v.LineWidth},
                          draw ? (fixed ? fixedLineColor : lineColor) : back);
            }
        }
    }
    if (FDefaultDrawing && rowSelect && active && FRowCount > FFixedRows && FColCount > FFixedCols) {
        TRect fr = BoxRect(FFixedCols, FCurrent.Y, FColCount - 1, FCurrent.Y);
        if (fr.right > fr.left) c->DrawFocusRect(fr);
    }
    TRect client = ClientRect();
    FillSolid(c, TRect{h.GridBoundary, 0, client.right, client.bottom}, Color());
    FillSolid(c, TRect{0, v.GridBoundary, h.GridBoundary, client.bottom}, Color());
}

void TCustomGrid::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

void TCustomGrid::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.Contains(goRowSelect)) return;
    if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
    if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMChar(TWMKey& Message) {
    unsigned char ch = static_cast<unsigned char>(Message.CharCode());
    if (FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && (ch == 8 || ch >= 32)) {
        ShowEditorChar(static_cast<char>(ch));
        return;
    }
    Inherited(Message);
}

void TCustomGrid::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 13 && !FOptions.Contains(goAlwaysShowEditor)) {
        if (FInplaceEdit != nullptr && FInplaceEdit->Visible())
            HideEditor();
        else
            ShowEditor();
        Key = 0;
    }
}

void TCustomGrid::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    // Key downs that the editor forwards arrive here too; their characters do not.
    bool rowSelect = FOptions.Contains(goRowSelect);
    TGridCoord tl = FTopLeft, cur = FCurrent;
    int pageW = std::max(1, VisibleColCount()), pageH = std::max(1, VisibleRowCount());
    bool moveAnchor = !Shift.Contains(ssShift);
    bool handled = true;
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
            case VK_UP: --tl.Y; break;
            case VK_DOWN: ++tl.Y; break;
            case VK_LEFT:
                if (!rowSelect) cur.X -= pageW;
                tl.X -= pageW;
                break;
            case VK_RIGHT:
                if (!rowSelect) cur.X += pageW;
                tl.X += pageW;
                break;
            case VK_PRIOR: cur.Y = FTopLeft.Y; break;
            case VK_NEXT: cur.Y = FTopLeft.Y + pageH - 1; break;
            case VK_HOME:
                cur = TGridCoord{FFixedCols, FFixedRows};
                break;
            case VK_END:
                cur = TGridCoord{FColCount - 1, FRowCount - 1};
                break;
            default: handled = false; break;
        }
    } else {
        switch (Key) {
            case VK_UP: --cur.Y; break;
            case VK_DOWN: ++cur.Y; break;
            case VK_LEFT:
                if (rowSelect)
                    --tl.X;
                else
                    --cur.X;
                break;
            case VK_RIGHT:
                if (rowSelect)
                    ++tl.X;
                else
                    ++cur.X;
                break;
            case VK_NEXT:
                cur.Y += pageH;
                tl.Y += pageH;
                break;
            case VK_PRIOR:
                cur.Y -= pageH;
                tl.Y -= pageH;
                break;
            case VK_HOME:
                if (rowSelect)
                    cur.Y = FFixedRows;
                else
                    cur.X = FFixedCols;
                break;
            case VK_END:
                if (rowSelect)
                    cur.Y = FRowCount - 1;
                else
                    cur.X = FColCount - 1;
                break;
            case VK_TAB:
                if (Shift.Contains(ssAlt) || !FOptions.Contains(goTabs) || rowSelect) {
                    handled = false;
                    break;
                }
                moveAnchor = true;
                // The next (Shift: previous) tab stop, wrapping to the next row and round the grid.
                for (int guard = 0; guard < FColCount * 2 + 2; ++guard) {
                    if (Shift.Contains(ssShift)) {
                        if (--cur.X < FFixedCols) {
                            cur.X = FColCount - 1;
                            if (--cur.Y < FFixedRows) cur.Y = FRowCount - 1;
                        }
                    } else if (++cur.X >= FColCount) {
                        cur.X = FFixedCols;
                        if (++cur.Y >= FRowCount) cur.Y = FFixedRows;
                    }
                    if (TabStops(cur.X) || cur.X == FCurrent.X) break;
                }
                break;
            case VK_F2:
                SetEditorMode(true);
                if (FInplaceEdit != nullptr && FInplaceEdit->Visible())
                    FInplaceEdit->SetSelStart(static_cast<int>(FInplaceEdit->Text().size()));
                break;
            case VK_ESCAPE:
                if (FInplaceEdit != nullptr && FInplaceEdit->Visible()) {
                    FInplaceEdit->Restore();
                    if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
                } else {
                    handled = false;
                }
                break;
            default: handled = false; break;
        }
    }
    if (!handled) return;
    if (FColCount <= FFixedCols || FRowCount <= FFixedRows) return;
    cur.X = std::clamp(cur.X, FFixedCols, FColCount - 1);
    cur.Y = std::clamp(cur.Y, FFixedRows, FRowCount - 1);
    if (!(tl == FTopLeft)) MoveTopLeft(tl.X, tl.Y);
    if (!(cur == FCurrent) || (rowSelect && cur.Y != FCurrent.Y)) FocusCell(cur.X, cur.Y, moveAnchor);
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

int TCustomGrid::SizingLineAt(bool Horz, int Pos, int& LineEnd) const {
    TAxis a = CalcAxis(Horz);
    for (const TGridCoord& c : VisibleCells(Horz)) {
        int end = c.Y + Extent(Horz, c.X);
        if (end > a.Extent) break;
        if (Pos >= end - SizingTolerance && Pos < end + a.LineWidth + SizingTolerance) {
            LineEnd = end;
            return c.X;
        }
    }
    return -1;
}

void TCustomGrid::DrawSizingLine() {
    if (!HandleAllocated()) return;
    HDC dc = GetDC(FHandle);
    if (dc == nullptr) return;
    TRect cr = ClientRect();
    if (FGridState == gsColSizing) {
        PatBlt(dc, FSizingPos, 0, 1, cr.bottom, DSTINVERT);
    } else if (FGridState == gsRowSizing) {
        PatBlt(dc, 0, FSizingPos, cr.right, 1, DSTINVERT);
    } else if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FMovePos != FMoveIndex) {
        // Where the moved column or row will land: the far edge of the target when moving on.
        bool horz = FGridState == gsColMoving;
        int start = CellStart(horz, FMovePos);
        if (start >= 0) {
            int pos = FMovePos > FMoveIndex ? start + Extent(horz, FMovePos) : start;
            if (horz)
                PatBlt(dc, pos - 1, 0, 2, cr.bottom, DSTINVERT);
            else
                PatBlt(dc, 0, pos - 1, cr.right, 2, DSTINVERT);
        }
    }
    ReleaseDC(FHandle, dc);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FClickOnCurrent = false;
    bool wasActive = IsActiveControl();
    if (!wasActive && CanFocus()) {
        SetFocus();
        if (!IsActiveControl()) {
            // The focus was refused (a validation elsewhere): no click.
            TCustomControl::MouseDown(Button, Shift, X, Y);
            return;
        }
    }
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        TAxis h = HorzAxis(), v = VertAxis();
        int lineEnd = 0;
        int idx;
        if (FOptions.Contains(goColSizing) && Y < v.FixedBoundary && (idx = SizingLineAt(true, X, lineEnd)) >= 0) {
            FGridState = gsColSizing;
            FSizingIndex = idx;
            FSizingOfs = X - lineEnd;
            FSizingPos = X;
            DrawSizingLine();
        } else if (FOptions.Contains(goRowSizing) && X < h.FixedBoundary &&
                   (idx = SizingLineAt(false, Y, lineEnd)) >= 0) {
            FGridState = gsRowSizing;
            FSizingIndex = idx;
            FSizingOfs = Y - lineEnd;
            FSizingPos = Y;
            DrawSizingLine();
        } else {
            TGridCoord cell = MouseCoord(X, Y);
            if (cell.X >= 0) {
                if (FOptions.Contains(goColMoving) && cell.Y < FFixedRows && cell.X >= FFixedCols) {
                    FGridState = gsColMoving;
                    FMoveIndex = FMovePos = cell.X;
                    FMoveStart = TPoint{X, Y};
                } else if (FOptions.Contains(goRowMoving) && cell.X < FFixedCols && cell.Y >= FFixedRows) {
                    FGridState = gsRowMoving;
                    FMoveIndex = FMovePos = cell.Y;
                    FMoveStart = TPoint{X, Y};
                } else if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
                    FClickOnCurrent = wasActive && FOptions.Contains(goEditing) && cell == FCurrent;
                    FGridState = gsSelecting;
                    // While the button is held outside the cells the view keeps scrolling.
                    SetTimer(FHandle, SelectTimerId, SelectTimerMs, nullptr);
                    if (Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect)) {
                        TGridRect old = Selection();
                        FAnchor = cell;
                        if (FOptions.Contains(goRowSelect)) FAnchor.X = FColCount - 1;
                        ClampInView(cell);
                        SelectionMoved(old);
                    } else {
                        MoveColRow(cell.X, cell.Y, true, true);
                    }
                }
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    switch (FGridState) {
        case gsSelecting: {
            // Past an edge of the view the nearest cell beyond it is taken, which scrolls one step.
            TAxis h = HorzAxis(), v = VertAxis();
            TGridCoord cell = MouseCoord(std::clamp(X, h.FixedBoundary, std::max(h.FixedBoundary, h.GridBoundary - 1)),
                                         std::clamp(Y, v.FixedBoundary, std::max(v.FixedBoundary, v.GridBoundary - 1)));
            if (cell.X < 0) break;
            if (X >= h.GridBoundary && h.LastVisible + 1 < FColCount) cell.X = h.LastVisible + 1;
            if (X < h.FixedBoundary && FTopLeft.X > FFixedCols) cell.X = FTopLeft.X - 1;
            if (Y >= v.GridBoundary && v.LastVisible + 1 < FRowCount) cell.Y = v.LastVisible + 1;
            if (Y < v.FixedBoundary && FTopLeft.Y > FFixedRows) cell.Y = FTopLeft.Y - 1;
            if (!FOptions.Contains(goRangeSelect)) {
                if (!(cell == FCurrent)) MoveColRow(cell.X, cell.Y, true, true);
                break;
            }
            TGridCoord anchor = cell;
            if (FOptions.Contains(goRowSelect)) anchor.X = FColCount - 1;
            if (!(anchor == FAnchor)) {
                TGridRect old = Selection();
                FAnchor = anchor;
                ClampInView(cell);
                SelectionMoved(old);
            }
            break;
        }
        case gsColSizing:
        case gsRowSizing: {
            bool horz = FGridState == gsColSizing;
            int start = CellStart(horz, FSizingIndex);
            int pos = std::max(horz ? X : Y, start + FSizingOfs);
            if (pos != FSizingPos) {
                DrawSizingLine();
                FSizingPos = pos;
                DrawSizingLine();
            }
            break;
        }
        case gsColMoving:
        case gsRowMoving: {
            TGridCoord cell = MouseCoord(X, Y);
            int idx = FGridState == gsColMoving ? cell.X : cell.Y;
            int fixed = FGridState == gsColMoving ? FFixedCols : FFixedRows;
            if (idx >= fixed && idx != FMovePos) {
                DrawSizingLine();
                FMovePos = idx;
                DrawSizingLine();
            }
            break;
        }
        default: break;
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState state = FGridState;
    FGridState = gsNormal;
    switch (state) {
        case gsSelecting: {
            KillTimer(FHandle, SelectTimerId);
            FGridState = gsSelecting;
            MouseMove(Shift, X, Y);
            FGridState = gsNormal;
            if (FClickOnCurrent && MouseCoord(X, Y) == FCurrent)
                ShowEditor();
            else
                UpdateEdit();
            Click();
            break;
        }
        case gsColSizing:
        case gsRowSizing: {
            bool horz = state == gsColSizing;
            FGridState = state;
            DrawSizingLine();
            FGridState = gsNormal;
            int start = CellStart(horz, FSizingIndex);
            if (start >= 0) {
                int size = std::max(1, FSizingPos - FSizingOfs - start);
                if (horz)
                    SetColWidths(FSizingIndex, size);
                else
                    SetRowHeights(FSizingIndex, size);
            }
            break;
        }
        case gsColMoving:
        case gsRowMoving:
            FGridState = state;
            DrawSizingLine();
            FGridState = gsNormal;
            if (FMovePos >= 0 && FMovePos != FMoveIndex) {
                if (state == gsColMoving)
                    MoveColumn(FMoveIndex, FMovePos);
                else
                    MoveRow(FMoveIndex, FMovePos);
            }
            break;
        default: break;
    }
    FClickOnCurrent = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::WMTimer(TMessage& Message) {
    if (static_cast<TWMTimer&>(Message).TimerID() != SelectTimerId) {
        Inherited(Message);
        return;
    }
    if (FGridState != gsSelecting) {
        KillTimer(FHandle, SelectTimerId);
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    TPoint pt = ScreenToClient(p);
    MouseMove(GetShiftState(), pt.x, pt.y);
}

void TCustomGrid::WMCancelMode(TMessage& Message) {
    if (FGridState == gsSelecting && HandleAllocated()) KillTimer(FHandle, SelectTimerId);
    if (FGridState != gsNormal && FGridState != gsSelecting) DrawSizingLine();
    FGridState = gsNormal;
    Inherited(Message);
}

void TCustomGrid::WMSetCursor(TWMSetCursor& Message) {
    if (Message.HitTest() == HTCLIENT && FGridState == gsNormal) {
        POINT p{};
        GetCursorPos(&p);
        TPoint pt = ScreenToClient(p);
        TAxis h = HorzAxis(), v = VertAxis();
        int lineEnd = 0;
        TCursor cursor = crDefault;
        if (FOptions.Contains(goColSizing) && pt.y < v.FixedBoundary && SizingLineAt(true, pt.x, lineEnd) >= 0)
            cursor = crHSplit;
        else if (FOptions.Contains(goRowSizing) && pt.x < h.FixedBoundary && SizingLineAt(false, pt.y, lineEnd) >= 0)
            cursor = crVSplit;
        if (cursor != crDefault) {
            ::host::SetCursor(Screen->Cursors(cursor));
            Message.Result = 1;
            return;
        }
    }
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TCustomGrid::WMSetFocus(TWMSetFocus& Message) {
    Inherited(Message);
    if (FOptions.Contains(goEditing) && FOptions.Contains(goAlwaysShowEditor) && !FOptions.Contains(goRowSelect))
        FEditorMode = true;
    if (FInplaceEdit == nullptr || !FInplaceEdit->Focused()) {
        InvalidateGridRect(Selection());
        UpdateEdit();
    }
}

void TCustomGrid::WMKillFocus(TWMSetFocus& Message) {
    Inherited(Message);
    InvalidateGridRect(Selection());
}

void TCustomGrid::DoExit() {
    TCustomControl::DoExit();
    // Leaving for another control (not the editor) closes the editor.
    if (FInplaceEdit != nullptr && !FInplaceEdit->Focused() && !FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

// ---------------------------------------------------------------------------
// Streaming of column widths and row heights
// ---------------------------------------------------------------------------

bool TCustomGrid::ColWidthsStored() const {
    if (FColWidths.empty()) return false;
    return std::any_of(FColWidths.begin(), FColWidths.end(), [this](int W) { return W != FDefaultColWidth; });
}

bool TCustomGrid::RowHeightsStored() const {
    if (FRowHeights.empty()) return false;
    return std::any_of(FRowHeights.begin(), FRowHeights.end(), [this](int H) { return H != FDefaultRowHeight; });
}

void TCustomGrid::DefineProperties(TFiler* Filer) {
    TCustomControl::DefineProperties(Filer);
    // Against an ancestor (an inherited form) the list is written when it differs from the ancestor's.
    auto stored = [this, Filer](bool Cols) {
        bool own = Cols ? ColWidthsStored() : RowHeightsStored();
        auto* anc = Filer->Ancestor();
        if (anc == nullptr || !anc->Is<TCustomGrid>()) return own;
        auto* a = static_cast<TCustomGrid*>(anc);
        int n = Cols ? FColCount : FRowCount;
        if (n != (Cols ? a->FColCount : a->FRowCount)) return own;
        for (int i = 0; i < n; ++i)
            if ((Cols ? ColWidths(i) : RowHeights(i)) != (Cols ? a->ColWidths(i) : a->RowHeights(i))) return true;
        return false;
    };
    auto reader = [this](bool Cols) {
        return TReaderProc([this, Cols](TReader* Reader) {
            Reader->ReadListBegin();
            // Entries past the count (a damaged or hand-edited file) are read and dropped.
            for (int i = 0; !Reader->EndOfList(); ++i) {
                int value = Reader->ReadInteger();
                if (Cols && i < FColCount) SetColWidths(i, value);
                if (!Cols && i < FRowCount) SetRowHeights(i, value);
            }
            Reader->ReadListEnd();
        });
    };
    auto writer = [this](bool Cols) {
        return TWriterProc([this, Cols](TWriter* Writer) {
            Writer->WriteListBegin();
            int n = Cols ? FColCount : FRowCount;
            for (int i = 0; i < n; ++i) Writer->WriteInteger(Cols ? ColWidths(i) : RowHeights(i));
            Writer->WriteListEnd();
        });
    };
    Filer->DefineProperty("ColWidths", reader(true), writer(true), stored(true));
    Filer->DefineProperty("RowHeights", reader(false), writer(false), stored(false));
}

// ---------------------------------------------------------------------------
// TDrawGrid
// ---------------------------------------------------------------------------

void TDrawGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    OnSelectCell(this, ACol, ARow, can);
    return can;
}

std::string TDrawGrid::GetEditText(int ACol, int ARow) {
    std::string s;
    OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) { OnSetEditText(this, ACol, ARow, Value); }

std::string TDrawGrid::GetEditMask(int ACol, int ARow) {
    std::string s;
    OnGetEditMask(this, ACol, ARow, s);
    return s;
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) { OnColumnMoved(this, FromIndex, ToIndex); }
void TDrawGrid::RowMoved(int FromIndex, int ToIndex) { OnRowMoved(this, FromIndex, ToIndex); }
void TDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    OnTopLeftChanged(this);
}

// ---------------------------------------------------------------------------
// TStringGrid
// ---------------------------------------------------------------------------

struct TStringGrid::TData {
    struct TCell {
        std::string Text;
        TObject* Object = nullptr;
    };
    std::map<std::pair<int, int>, TCell> Cells;  // by (row, column)

    // Renumbers one coordinate of every cell as a move from From to To does.
    void Move(bool Cols, int From, int To) {
        std::map<std::pair<int, int>, TCell> moved;
        for (auto& [key, cell] : Cells) {
            std::pair<int, int> k = key;
            int& idx = Cols ? k.second : k.first;
            idx = MovedIndex(idx, From, To);
            moved.emplace(k, std::move(cell));
        }
        Cells.swap(moved);
    }
};

// One column or row of a string grid seen as a string list.
class TStringGridStrings : public TStrings {
    HOST_CLASS(TStringGridStrings, TStrings)
public:
    TStringGridStrings(TStringGrid* Grid, int Index, bool IsRow) : FGrid(Grid), FIndex(Index), FIsRow(IsRow) {}

    // Puts S into the first empty cell after those filled by Add since the last Clear;
    // -1 when there is none. An empty string takes its cell too, so that setting
    // ",Name,City" fills three cells, the first one empty.
    int Add(const std::string& S) override {
        for (int i = FAdded; i < GetCount(); ++i)
            if (Get(i).empty()) {
                Put(i, S);
                FAdded = i + 1;
                return i;
            }
        return -1;
    }
    int AddObject(const std::string& S, TObject* AObject) override {
        int i = Add(S);
        if (i >= 0) PutObject(i, AObject);
        return i;
    }
    void Insert(int, const std::string&) override { Refuse(); }
    void Delete(int) override { Refuse(); }
    void Clear() override {
        for (int i = 0; i < GetCount(); ++i) {
            Put(i, std::string());
            PutObject(i, nullptr);
        }
        FAdded = 0;
    }
    void Put(int Index, const std::string& S) override {
        CheckIndex(Index);
        FIsRow ? FGrid->SetCells(Index, FIndex, S) : FGrid->SetCells(FIndex, Index, S);
    }
    void PutObject(int Index, TObject* AObject) override {
        CheckIndex(Index);
        FIsRow ? FGrid->SetObjects(Index, FIndex, AObject) : FGrid->SetObjects(FIndex, Index, AObject);
    }
    // Copies as many strings (and objects) as the column or row holds; the rest are left as they are.
    void Assign(TPersistent* Source) override {
        if (Source == nullptr || !Source->Is<TStrings>()) {
            TStrings::Assign(Source);
            return;
        }
        auto* src = static_cast<TStrings*>(Source);
        int n = std::min(src->Count(), GetCount());
        for (int i = 0; i < n; ++i) {
            Put(i, src->Strings(i));
            PutObject(i, src->Objects(i));
        }
    }

protected:
    std::string Get(int Index) const override {
        CheckIndex(Index);
        return FIsRow ? FGrid->Cells(Index, FIndex) : FGrid->Cells(FIndex, Index);
    }
    int GetCount() const override { return FIsRow ? FGrid->ColCount() : FGrid->RowCount(); }
    TObject* GetObject(int Index) const override {
        CheckIndex(Index);
        return FIsRow ? FGrid->Objects(Index, FIndex) : FGrid->Objects(FIndex, Index);
    }

private:
    TStringGrid* FGrid;
    int FIndex;
    bool FIsRow;
    int FAdded = 0;  // cells filled by Add since the last Clear
    [[noreturn]] static void Refuse() { throw EInvalidOperation("Cannot insert or delete rows from grid"); }
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= GetCount())
            throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    }
};

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner), FData(std::make_unique<TData>()) {}

TStringGrid::~TStringGrid() = default;

std::string TStringGrid::Cells(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0) GridIndexError();
    auto it = FData->Cells.find({ARow, ACol});
    return it == FData->Cells.end() ? std::string() : it->second.Text;
}

TObject* TStringGrid::Objects(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0) GridIndexError();
    auto it = FData->Cells.find({ARow, ACol});
    return it == FData->Cells.end() ? nullptr : it->second.Object;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0 || ARow < 0) GridIndexError();
    auto it = FData->Cells.find({ARow, ACol});
    if (it == FData->Cells.end()) {
        if (Value.empty()) return;
        FData->Cells[{ARow, ACol}].Text = Value;
    } else {
        if (it->second.Text == Value) return;
        it->second.Text = Value;
        if (Value.empty() && it->second.Object == nullptr) FData->Cells.erase(it);
    }
    CellChanged(ACol, ARow);
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
    if (ACol < 0 || ARow < 0) GridIndexError();
    auto it = FData->Cells.find({ARow, ACol});
    if (it == FData->Cells.end()) {
        if (Value == nullptr) return;
        FData->Cells[{ARow, ACol}].Object = Value;
    } else {
        it->second.Object = Value;
        if (Value == nullptr && it->second.Text.empty()) FData->Cells.erase(it);
    }
}

void TStringGrid::CellChanged(int ACol, int ARow) {
    if (ACol >= ColCount() || ARow >= RowCount()) return;
    InvalidateCell(ACol, ARow);
    // A cell changed in code while it is being edited: the editor shows the new text.
    if (FEditUpdate == 0 && EditorMode() && ACol == Col() && ARow == Row()) InvalidateEditor();
}

TStringGridStrings* TStringGrid::View(std::vector<std::unique_ptr<TStringGridStrings>>& Views, int Index, bool IsRow) {
    if (Index < 0 || Index >= (IsRow ? RowCount() : ColCount())) GridIndexError();
    if (static_cast<size_t>(Index) >= Views.size()) Views.resize(static_cast<size_t>(Index) + 1);
    auto& v = Views[static_cast<size_t>(Index)];
    if (!v) v = std::make_unique<TStringGridStrings>(this, Index, IsRow);
    return v.get();
}

TStrings* TStringGrid::Cols(int Index) { return View(FColViews, Index, false); }
TStrings* TStringGrid::Rows(int Index) { return View(FRowViews, Index, true); }
void TStringGrid::SetCols(int Index, TStrings* Value) { Cols(Index)->Assign(Value); }
void TStringGrid::SetRows(int Index, TStrings* Value) { Rows(Index)->Assign(Value); }

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (DefaultDrawing()) Canvas()->TextRect(ARect, ARect.left + 2, ARect.top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
    std::string s = Cells(ACol, ARow);
    OnGetEditText(this, ACol, ARow, s);
    return s;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    ++FEditUpdate;
    try {
        SetCells(ACol, ARow, Value);
    } catch (...) {
        --FEditUpdate;
        throw;
    }
    --FEditUpdate;
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    FData->Move(true, FromIndex, ToIndex);
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::DeleteColumn(int ACol) {
    TDrawGrid::DeleteColumn(ACol);
    std::erase_if(FData->Cells, [this](const auto& Entry) { return Entry.first.second == ColCount(); });
}

void TStringGrid::DeleteRow(int ARow) {
    TDrawGrid::DeleteRow(ARow);
    std::erase_if(FData->Cells, [this](const auto& Entry) { return Entry.first.first == RowCount(); });
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    FData->Move(false, FromIndex, ToIndex);
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------

void RegisterGridClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TDrawGrid::StaticClass(), TStringGrid::StaticClass(), TInplaceEdit::StaticClass()});
}

}  // namespace host
