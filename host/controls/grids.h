// Grids: TCustomGrid, TDrawGrid, TStringGrid and the in-place editor TInplaceEdit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"
#include "host/controls/edits.h"
#include "host/controls/forms.h"

namespace host {

class TCustomGrid;
class TStringGridStrings;

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

HOST_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
          goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
          goThumbTracking);
using TGridOptions = TSet<TGridOption>;
HOST_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed);
using TGridDrawState = TSet<TGridDrawStateItem>;
// What a mouse drag in progress does.
HOST_ENUM(TGridState, gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving);

struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord&) const = default;
};
// A block of cells, corners included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// The options a new grid has.
inline const TGridOptions DefaultGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                             goRangeSelect};

using TDrawCellEvent = TEvent<TObject*, int, int, TRect, TGridDrawState>;
using TSelectCellEvent = TEvent<TObject*, int, int, bool&>;
using TGetEditEvent = TEvent<TObject*, int, int, std::string&>;
using TSetEditEvent = TEvent<TObject*, int, int, const std::string&>;
using TMovedEvent = TEvent<TObject*, int, int>;

// ---------------------------------------------------------------------------
// TInplaceEdit
// ---------------------------------------------------------------------------

// The edit a grid shows over its current cell while a cell is being edited. It
// belongs to the grid (which creates it with CreateEditor), takes the text, mask
// and length limit of the cell from the grid and hands every change back through
// the grid's SetEditText. Keys that move between cells go to the grid.
class TInplaceEdit : public TCustomMaskEdit {
    HOST_CLASS(TInplaceEdit, TCustomMaskEdit)
public:
    explicit TInplaceEdit(TComponent* AOwner);
    TCustomGrid* Grid() const { return FGrid; }
    // Places the edit over Rect (grid client coordinates), shows it and gives it the focus.
    void Move(const TRect& Rect);
    // Hides the edit, giving the focus back to the grid when the edit had it.
    void HideEdit();
    // Reloads text, mask and limit of the grid's current cell.
    void UpdateContents();
    void SetGrid(TCustomGrid* Value) { FGrid = Value; }
    // Puts back the text the cell had when the edit took it.
    void Restore();

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    void DoExit() override;

private:
    friend class TCustomGrid;
    TCustomGrid* FGrid = nullptr;
    bool FUpdating = false;  // loading the cell's text: no write back
    std::string FOriginal;   // the cell's text when the edit took it
    void SendToParent(WORD& Key, TShiftState Shift);
    void WMGetDlgCode(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TInplaceEdit::WMGetDlgCode), on(WM_MOUSEWHEEL, &TInplaceEdit::WMMouseWheel))
};

// ---------------------------------------------------------------------------
// TCustomGrid
// ---------------------------------------------------------------------------

// A grid of cells in rows and columns: fixed rows and columns at the top and left
// that stay put, the rest scrolling under them. It keeps the geometry (column
// widths, row heights, grid lines), the current cell, the selection and the
// scroll position, paints lines, fixed cells, the selection and the focus
// rectangle, and leaves the cells' content to DrawCell. Keyboard, mouse,
// window scroll bars and the wheel move through the cells; column and row
// sizing and moving follow the options; with goEditing an in-place editor edits
// the current cell through GetEditText/SetEditText.
class TCustomGrid : public TCustomControl {
    HOST_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // --- size ---
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // Resets every column to Value.
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    // Whether Tab stops on a column (goTabs).
    bool TabStops(int Index) const;
    void SetTabStops(int Index, bool Value);

    // --- position ---
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    // Fully visible scrollable columns and rows (at least one when there are any).
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridState GridState() const { return FGridState; }

    // --- appearance ---
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // --- editing ---
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    // The in-place editor (nullptr until first shown).
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

    // The rectangle of a cell in client coordinates; empty when it is not visible.
    TRect CellRect(int ACol, int ARow) const;
    // The rectangle covering the visible part of a block of cells.
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    // The cell under a client point ({-1, -1} when none).
    TGridCoord MouseCoord(int X, int Y) const;

    // Moves the current cell there (with the grid's rules: SelectCell, range
    // selection, scrolling into view).
    void FocusCell(int ACol, int ARow, bool MoveAnchor);

    // Sets column widths and row heights from a form file (DefineProperties).
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;

protected:
    // --- overridables ---
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    virtual bool SelectCell(int ACol, int ARow);
    virtual bool CanEditShow();
    virtual bool CanEditModify();
    virtual bool CanEditAcceptKey(char Key);
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual std::string GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit();
    virtual TInplaceEdit* CreateEditor();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void TopLeftChanged();
    // True when a descendant keeps the vertical scroll bar itself (a data grid shows the
    // dataset's position there): the grid then leaves SB_VERT alone.
    virtual bool OwnVertScrollBar() const { return false; }

    // --- helpers for descendants ---
    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid();
    void InvalidateGridRect(const TGridRect& R);
    void InvalidateEditor();
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    // Take a scrollable column or row out of the grid (moved to the end, then cut off).
    virtual void DeleteColumn(int ACol);
    virtual void DeleteRow(int ARow);
    void ShowEditor();
    void HideEditor();
    void ShowEditorChar(char Ch);
    // Hands the editor's text to SetEditText for the cell it edits.
    void UpdateText();
    bool IsActiveControl() const;

    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void DoExit() override;

private:
    friend class TInplaceEdit;
    // Where the visible cells of one axis are.
    struct TAxis {
        int LineWidth = 0;       // gap after every cell
        int FixedBoundary = 0;   // end of the fixed cells
        int GridBoundary = 0;    // end of the last visible cell (line included), at most Extent
        int Extent = 0;          // client size along the axis
        int LastFullVisible = 0; // last scrollable cell shown whole (>= the first)
        int LastVisible = 0;     // last scrollable cell shown at all
    };

    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    std::vector<int> FColWidths, FRowHeights;  // empty: every entry is the default
    std::vector<bool> FTabStops;               // empty: every column stops
    TGridCoord FCurrent{1, 1}, FAnchor{1, 1}, FTopLeft{1, 1};
    TGridOptions FOptions = DefaultGridOptions;
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    bool FEditorMode = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    TGridCoord FInplaceCell{-1, -1};  // the cell the editor edits
    bool FCanEditModify = true;

    TGridState FGridState = gsNormal;
    int FSizingIndex = -1, FSizingPos = 0, FSizingOfs = 0;  // sizing drag
    int FMoveIndex = -1, FMovePos = -1;                     // moving drag
    TPoint FMoveStart{};
    bool FClickOnCurrent = false;
    int FUpdatingScrollBars = 0;

    int Extent(bool Horz, int Index) const { return Horz ? ColWidths(Index) : RowHeights(Index); }
    // The visible cells of one axis in order, fixed first: X is the index, Y the client start.
    std::vector<TGridCoord> VisibleCells(bool Horz) const;
    TAxis HorzAxis() const;
    TAxis VertAxis() const;
    TAxis CalcAxis(bool Horz) const;
    // Client position of a visible cell's start along one axis (-1: not visible).
    int CellStart(bool Horz, int Index) const;
    int MaxTopLeft(bool Horz) const;
    void ClampInView(const TGridCoord& Coord);
    void MoveTopLeft(int ALeft, int ATop);
    void UpdateScrollRange();
    void ModifyScrollBar(bool Horz, WORD Code, int Pos);
    int ThumbPos(bool Horz, int MessagePos) const;
    void SelectionMoved(const TGridRect& OldSel);
    void SetCountsAndFixed(int NewCols, int NewRows, int NewFixedCols, int NewFixedRows);
    void ResizeExtents(std::vector<int>& Extents, int Count, int Default);
    void UpdateEdit();
    // The line a point is on within the sizing tolerance along an axis, or -1.
    int SizingLineAt(bool Horz, int Pos, int& LineEnd) const;
    // Inverts the line that follows a sizing or moving drag (drawn twice, it is gone).
    void DrawSizingLine();
    bool ColWidthsStored() const;
    bool RowHeightsStored() const;

    void WMGetDlgCode(TMessage& Message);
    void WMChar(TWMKey& Message);
    void WMHScroll(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMSetCursor(TWMSetCursor& Message);
    void WMSetFocus(TWMSetFocus& Message);
    void WMKillFocus(TWMSetFocus& Message);
    void WMEraseBkgnd(TWMEraseBkgnd& Message);
    void WMCancelMode(TMessage& Message);
    void WMTimer(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomGrid::WMGetDlgCode), on(WM_CHAR, &TCustomGrid::WMChar),
                  on(WM_HSCROLL, &TCustomGrid::WMHScroll), on(WM_VSCROLL, &TCustomGrid::WMVScroll),
                  on(WM_MOUSEWHEEL, &TCustomGrid::WMMouseWheel), on(WM_SETCURSOR, &TCustomGrid::WMSetCursor),
                  on(WM_SETFOCUS, &TCustomGrid::WMSetFocus), on(WM_KILLFOCUS, &TCustomGrid::WMKillFocus),
                  on(WM_ERASEBKGND, &TCustomGrid::WMEraseBkgnd), on(WM_CANCELMODE, &TCustomGrid::WMCancelMode),
                  on(WM_TIMER, &TCustomGrid::WMTimer),
                  on(CM_FONTCHANGED, &TCustomGrid::CMFontChanged))
};

// ---------------------------------------------------------------------------
// TDrawGrid
// ---------------------------------------------------------------------------

// A grid whose cells the application paints (OnDrawCell) and edits (OnGetEditText,
// OnSetEditText); the published grid of forms.
class TDrawGrid : public TCustomGrid {
    HOST_CLASS(TDrawGrid, TCustomGrid)
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    // The cell under a client point (ACol, ARow set to -1 when none).
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TNotifyEvent OnTopLeftChanged;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void TopLeftChanged() override;

private:
    HOST_PUBLISHED(prop("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle).def(bsSingle),
                   prop("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount).def(5),
                   prop("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth).def(64),
                   prop("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
                       .def(24),
                   prop("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing).def(true),
                   prop("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor).def(clBtnFace),
                   prop("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols).def(1),
                   prop("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount).def(5),
                   prop("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows).def(1),
                   prop("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth).def(1),
                   prop("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions).def(DefaultGridOptions),
                   prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(false),
                   prop("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars).def(ssBoth),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("OnColumnMoved", &TDrawGrid::OnColumnMoved, &TDrawGrid::OnColumnMoved),
                   prop("OnDrawCell", &TDrawGrid::OnDrawCell, &TDrawGrid::OnDrawCell),
                   prop("OnGetEditMask", &TDrawGrid::OnGetEditMask, &TDrawGrid::OnGetEditMask),
                   prop("OnGetEditText", &TDrawGrid::OnGetEditText, &TDrawGrid::OnGetEditText),
                   prop("OnRowMoved", &TDrawGrid::OnRowMoved, &TDrawGrid::OnRowMoved),
                   prop("OnSelectCell", &TDrawGrid::OnSelectCell, &TDrawGrid::OnSelectCell),
                   prop("OnSetEditText", &TDrawGrid::OnSetEditText, &TDrawGrid::OnSetEditText),
                   prop("OnTopLeftChanged", &TDrawGrid::OnTopLeftChanged, &TDrawGrid::OnTopLeftChanged))
};

// ---------------------------------------------------------------------------
// TStringGrid
// ---------------------------------------------------------------------------

// A grid that keeps a string and an object per cell, paints the strings (2 pixels
// in from the cell's corner) and edits them in place. Cols(i) and Rows(i) are
// string lists that are views of one column or row: changing them changes the
// cells; they cannot insert or delete.
class TStringGrid : public TDrawGrid {
    HOST_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    TStrings* Cols(int Index);
    // Copies the strings of Value into the column (as many as fit).
    void SetCols(int Index, TStrings* Value);
    TStrings* Rows(int Index);
    void SetRows(int Index, TStrings* Value);

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    // The deleted cells go with the column or row, so that growing the grid again shows them empty.
    void DeleteColumn(int ACol) override;
    void DeleteRow(int ARow) override;

private:
    friend class TStringGridStrings;
    struct TData;
    // The cells that hold a string or an object, by (row, column); cells outside
    // ColCount x RowCount are kept, as the framework's grid keeps them.
    std::unique_ptr<TData> FData;
    std::vector<std::unique_ptr<TStringGridStrings>> FColViews, FRowViews;
    int FEditUpdate = 0;  // SetEditText is writing the editor's text: do not reload the editor
    void CellChanged(int ACol, int ARow);
    TStringGridStrings* View(std::vector<std::unique_ptr<TStringGridStrings>>& Views, int Index, bool IsRow);
};

// Registers every class of this unit for form files (once).
void RegisterGridClasses();

}  // namespace host
