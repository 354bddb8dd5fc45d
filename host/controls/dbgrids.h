// Data grids: grid columns and their titles, the list of selected rows, TCustomDBGrid and TDBGrid.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/controls/grids.h"
#include "host/db/db.h"
#include "host/rtl/collection.h"

namespace host {

class TColumn;
class TCustomDBGrid;
class TDBGridColumns;
class TGridDataLink;
class TDBGridInplaceEdit;

// ---------------------------------------------------------------------------
// Types
// ---------------------------------------------------------------------------

// The column values set in code or a form file rather than taken from the field or the grid.
HOST_ENUM(TColumnValue, cvColor, cvWidth, cvFont, cvAlignment, cvReadOnly, cvTitleColor, cvTitleCaption,
          cvTitleAlignment, cvTitleFont, cvImeMode, cvImeName);
using TColumnValues = TSet<TColumnValue>;
// Which button the in-place editor of a column shows: a drop-down arrow when the column
// has a pick list (cbsAuto), an ellipsis button (cbsEllipsis), or none.
HOST_ENUM(TColumnButtonStyle, cbsAuto, cbsEllipsis, cbsNone);
// Default: the columns follow the dataset's fields; customized: they are the application's.
HOST_ENUM(TDBGridColumnsState, csDefault, csCustomized);
HOST_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines,
          dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect);
using TDBGridOptions = TSet<TDBGridOption>;

// The options a new data grid has.
inline const TDBGridOptions DefaultDBGridOptions{dgEditing,  dgTitles,   dgIndicator,     dgColumnResize, dgColLines,
                                                 dgRowLines, dgTabs,     dgConfirmDelete, dgCancelOnExit};

using TDrawDataCellEvent = TEvent<TObject*, const TRect&, TField*, TGridDrawState>;
using TDrawColumnCellEvent = TEvent<TObject*, const TRect&, int, TColumn*, TGridDrawState>;
using TDBGridClickEvent = TEvent<TColumn*>;

// The width of the indicator column, in pixels.
constexpr int IndicatorWidth = 11;

// ---------------------------------------------------------------------------
// TColumnTitle
// ---------------------------------------------------------------------------

// The title cell of a column: its caption (the field's display label unless set), alignment,
// colour and font (the grid's title font unless set).
class TColumnTitle : public TPersistent {
    HOST_CLASS(TColumnTitle, TPersistent)
public:
    explicit TColumnTitle(TColumn* Column);
    ~TColumnTitle() override;
    void Assign(TPersistent* Source) override;

    std::string Caption() const;
    void SetCaption(const std::string& Value);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    TColor Color() const;
    void SetColor(TColor Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    TColumn* Column() const { return FColumn; }

    std::string DefaultCaption() const;
    // The grid's TitleAlignment (left-justified without a grid).
    TAlignment DefaultAlignment() const;
    TColor DefaultColor() const;
    // Forgets the values set in code: they follow the field and the grid again.
    void RestoreDefaults();

protected:
    TPersistent* GetOwner() const override;

private:
    friend class TColumn;
    TColumn* FColumn;
    std::string FCaption;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clBtnFace;
    std::unique_ptr<TFont> FFont;
    int FFontUpdating = 0;

    void FontChanged(TObject* Sender);
    void RefreshDefaultFont();
    bool IsCaptionStored() const;
    bool IsAlignmentStored() const;
    bool IsColorStored() const;
    bool IsFontStored() const;
    HOST_PUBLISHED(prop("Alignment", &TColumnTitle::Alignment, &TColumnTitle::SetAlignment)
                       .stored(&TColumnTitle::IsAlignmentStored),
                   prop("Caption", &TColumnTitle::Caption, &TColumnTitle::SetCaption)
                       .stored(&TColumnTitle::IsCaptionStored),
                   prop("Color", &TColumnTitle::Color, &TColumnTitle::SetColor).stored(&TColumnTitle::IsColorStored),
                   prop("Font", &TColumnTitle::Font, &TColumnTitle::SetFont).stored(&TColumnTitle::IsFontStored))
};

// ---------------------------------------------------------------------------
// TColumn
// ---------------------------------------------------------------------------

// One column of a data grid: the field it shows (by name), its title, width, alignment,
// colour, font, whether it may be edited, whether it shows, and the pick list its in-place
// editor offers. Values not set follow the field (width, alignment, read-only) and the grid
// (colour, font).
class TColumn : public TCollectionItem {
    HOST_CLASS(TColumn, TCollectionItem)
public:
    explicit TColumn(TCollection* Collection);
    ~TColumn() override;
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override;

    // The field of the grid's dataset named FieldName (nullptr when none or the dataset is closed).
    TField* Field() const;
    void SetField(TField* Value);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& Value);
    TColumnTitle* Title() const { return FTitle.get(); }
    void SetTitle(TColumnTitle* Value);
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    TColor Color() const;
    void SetColor(TColor Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TStrings* PickList() const;
    void SetPickList(TStrings* Value);
    TColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TColumnButtonStyle Value);
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value);

    TColumnValues AssignedValues() const { return FAssignedValues; }
    int DefaultWidth() const;
    TAlignment DefaultAlignment() const;
    TColor DefaultColor() const;
    TFont* DefaultFont() const;
    bool DefaultReadOnly() const;
    // Forgets the values set in code: they follow the field and the grid again.
    void RestoreDefaults();
    TCustomDBGrid* Grid() const;
    // True for a column the grid made from a field rather than one the application added.
    bool IsDefaultColumn() const { return FDefaultColumn; }

protected:
    friend class TColumnTitle;
    friend class TDBGridColumns;
    friend class TCustomDBGrid;
    // The grid is about to free or rebind the field: the column forgets it.
    void ForgetField() { FField = nullptr; }

private:
    std::string FFieldName;
    mutable TField* FField = nullptr;
    mutable bool FFieldResolved = false;
    std::unique_ptr<TColumnTitle> FTitle;
    int FWidth = 64;
    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FFont;
    bool FReadOnly = false;
    bool FVisible = true;
    std::unique_ptr<TStringList> FPickList;
    TColumnButtonStyle FButtonStyle = cbsAuto;
    int FDropDownRows = 7;
    TColumnValues FAssignedValues;
    bool FDefaultColumn = false;
    int FFontUpdating = 0;

    void FontChanged(TObject* Sender);
    void RefreshDefaultFont();
    void Changed(bool AllItems) { TCollectionItem::Changed(AllItems); }
    // Stores a value set in code and marks it as the column's own.
    template <class T>
    void SetAssigned(TColumnValue Which, T& Field, const T& Value) {
        if (FAssignedValues.Contains(Which) && Field == Value) return;
        Field = Value;
        FAssignedValues.Include(Which);
        Changed(false);
    }
    bool IsWidthStored() const { return FAssignedValues.Contains(cvWidth); }
    bool IsAlignmentStored() const { return FAssignedValues.Contains(cvAlignment); }
    bool IsColorStored() const { return FAssignedValues.Contains(cvColor); }
    bool IsFontStored() const { return FAssignedValues.Contains(cvFont); }
    bool IsReadOnlyStored() const { return FAssignedValues.Contains(cvReadOnly); }
    bool IsPickListStored() const;
    HOST_PUBLISHED(prop("Alignment", &TColumn::Alignment, &TColumn::SetAlignment).stored(&TColumn::IsAlignmentStored),
                   prop("ButtonStyle", &TColumn::ButtonStyle, &TColumn::SetButtonStyle).def(cbsAuto),
                   prop("Color", &TColumn::Color, &TColumn::SetColor).stored(&TColumn::IsColorStored),
                   prop("DropDownRows", &TColumn::DropDownRows, &TColumn::SetDropDownRows).def(7),
                   prop("FieldName", &TColumn::FieldName, &TColumn::SetFieldName).def(std::string()),
                   prop("Font", &TColumn::Font, &TColumn::SetFont).stored(&TColumn::IsFontStored),
                   prop("PickList", &TColumn::PickList, &TColumn::SetPickList).stored(&TColumn::IsPickListStored),
                   prop("ReadOnly", &TColumn::ReadOnly, &TColumn::SetReadOnly).stored(&TColumn::IsReadOnlyStored),
                   prop("Title", &TColumn::Title, &TColumn::SetTitle),
                   prop("Visible", &TColumn::Visible, &TColumn::SetVisible).def(true),
                   prop("Width", &TColumn::Width, &TColumn::SetWidth).stored(&TColumn::IsWidthStored))
};

// ---------------------------------------------------------------------------
// TDBGridColumns
// ---------------------------------------------------------------------------

// The columns of a data grid. In the default state the grid keeps one column per visible
// field of its dataset and rebuilds them whenever the dataset opens, closes or changes its
// fields; adding a column in code makes the columns customized, and they are kept as they
// are (their fields found by name).
class TDBGridColumns : public TCollection {
    HOST_CLASS(TDBGridColumns, TCollection)
public:
    TDBGridColumns(TCustomDBGrid* Grid, TClass ColumnClass);
    TColumn* Add();
    TColumn* Items(int Index) const;
    TCustomDBGrid* Grid() const { return FGrid; }
    TDBGridColumnsState State() const;
    // Customized → default drops every column and makes them from the fields again;
    // default → customized keeps the columns as they are.
    void SetState(TDBGridColumnsState Value);
    // A column added in code while the columns follow the fields replaces those columns.
    // Drops the columns and makes one for every field of the dataset (customized).
    void RebuildColumns();
    void RestoreDefaults();

protected:
    void Update(TCollectionItem* Item) override;
    TPersistent* GetOwner() const override;

private:
    friend class TCustomDBGrid;
    TCustomDBGrid* FGrid;
    bool FAddingDefault = false;  // the grid is making the columns of the fields
};

// ---------------------------------------------------------------------------
// TBookmarkList
// ---------------------------------------------------------------------------

// The rows selected in a grid with dgMultiSelect, as bookmarks of the dataset kept in the
// dataset's order. Closing the dataset clears the list.
class TBookmarkList : public TObject {
    HOST_CLASS(TBookmarkList, TObject)
public:
    explicit TBookmarkList(TCustomDBGrid* Grid);
    ~TBookmarkList() override;

    void Clear();
    // Deletes every selected record from the dataset, then clears the list.
    void Delete();
    // True when Item is in the list; Index is where it is, or where it would go.
    bool Find(const TBookmarkStr& Item, int& Index);
    int IndexOf(const TBookmarkStr& Item);
    // Drops the bookmarks whose records are gone; true when any was dropped.
    bool Refresh();

    int Count() const { return static_cast<int>(FList.size()); }
    const TBookmarkStr& Items(int Index) const;
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool Value);

private:
    friend class TCustomDBGrid;
    TCustomDBGrid* FGrid;
    std::vector<TBookmarkStr> FList;
    TBookmarkStr FCache;
    bool FCacheFind = false;
    int FCacheIndex = 0;
    TBookmarkStr CurrentRow() const;
    int Compare(const TBookmarkStr& A, const TBookmarkStr& B) const;
    void LinkActive(bool Value);
    // Adds records given in the dataset's order (a walked range), keeping the list sorted.
    void AddRange(std::vector<TBookmarkStr> Range);
};

// ---------------------------------------------------------------------------
// TCustomDBGrid
// ---------------------------------------------------------------------------

// A grid over the records of a data source: one row per record of the link's window (the
// grid's visible rows set the link's BufferCount, so only they are fetched), one column per
// TColumn, an indicator column with the current record's state and a title row. The
// current row is the dataset's current record; the keyboard, the mouse, the wheel and the
// scroll bar move the dataset. With dgEditing the current cell edits its field in place
// (a pick list drops down, an ellipsis button raises OnEditButtonClick); Down past the last
// record appends, Insert inserts, Ctrl+Delete deletes (asking first with dgConfirmDelete)
// and Escape cancels the edit.
class TCustomDBGrid : public TCustomGrid {
    HOST_CLASS(TCustomDBGrid, TCustomGrid)
public:
    explicit TCustomDBGrid(TComponent* AOwner);
    ~TCustomDBGrid() override;

    // Paints the field's display text in Rect with the canvas's current brush and font.
    void DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    // Paints a column's cell: the field's display text aligned as the column says.
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
    bool ValidFieldIndex(int FieldIndex) const;

    // The fields of the visible columns, in column order (nullptr for a column without field).
    int FieldCount() const;
    TField* Fields(int Index) const;
    TField* SelectedField() const;
    void SetSelectedField(TField* Value);
    // The index in Columns of the current column.
    int SelectedIndex() const;
    void SetSelectedIndex(int Value);
    TBookmarkList* SelectedRows() const { return FBookmarks.get(); }
    TDBGridColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TDBGridColumns* Value);
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    TDataLink* DataLink() const;
    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(TFont* Value);
    // The height of the data rows: one line of the grid's font unless set (0 gives it back to
    // the font); never less than that one line. The title row keeps its own height.
    int RowHeight() const { return DataRowHeight(); }
    void SetRowHeight(int Value);
    bool IsRowHeightStored() const { return FRowHeight > 0; }
    // Whether the user may change RowHeight by dragging a row line in the indicator column.
    bool RowSizing() const { return FRowSizing; }
    void SetRowSizing(bool Value);
    // Whether cell texts wrap at word boundaries within the row (else one line, clipped).
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The alignment of the column titles whose own alignment is not set.
    TAlignment TitleAlignment() const { return FTitleAlignment; }
    void SetTitleAlignment(TAlignment Value);
    // The grid column of a data column and back (the indicator shifts them by one).
    int RawToDataColumn(int ACol) const { return ACol - FIndicatorOffset; }
    int DataToRawColumn(int ACol) const { return ACol + FIndicatorOffset; }
    // Takes the in-place editor's text into the field now.
    void UpdateData();

    void Loaded() override;

    TDBGridClickEvent OnCellClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedEvent OnColumnMoved;
    TDrawDataCellEvent OnDrawDataCell;
    TDrawColumnCellEvent OnDrawColumnCell;
    TNotifyEvent OnEditButtonClick;
    TDBGridClickEvent OnTitleClick;

protected:
    // --- data-grid overridables ---
    virtual TDBGridColumns* CreateColumns();
    virtual void CellClick(TColumn* Column);
    virtual void ColEnter();
    virtual void ColExit();
    virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
    virtual void DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);
    virtual void EditButtonClick();
    virtual void TitleClick(TColumn* Column);
    // The data link's notices.
    virtual void LinkActive(bool Value);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* Field);
    virtual void Scroll(int Distance);
    virtual void LayoutChanged();
    // Rows drawn under a record of the link's window, before the next record (none here;
    // a hierarchical grid shows the detail records of the current record there).
    virtual int SubRowCount(int DataRecord);
    virtual void DrawSubRow(int DataRecord, int SubRow, int ACol, const TRect& ARect, TGridDrawState AState);
    virtual void SubRowClicked(int DataRecord, int SubRow);
    // Rows kept free for sub rows when the link's window is sized to the grid.
    virtual int ReservedSubRows() { return 0; }
    // The number of sub rows changed: the rows and the link's window are laid out again.
    void RowLayoutChanged();
    // The record of the link's window a grid row shows (-1 for the titles or beyond), and
    // which of its sub rows (-1: the record itself).
    void RowToRecord(int ARow, int& DataRecord, int& SubRow);
    int RecordToRow(int DataRecord);
    // Recomputes the layout (rows, columns, widths, buffer count) and repaints.
    void BeginLayout();
    void EndLayout();
    void InvalidateTitles();
    // Writes a cell's text into Rect with the canvas's font and brush, 2 pixels in from the
    // edges, aligned as asked; wrapped at word boundaries when WordWrap is on.
    void WriteCellText(TCanvas* Canvas, const TRect& Rect, const std::string& Text, TAlignment Alignment);
    // Draws the record-state mark of the indicator column centred in Rect.
    void DrawIndicator(TCanvas* Canvas, const TRect& Rect, TDataSetState State, bool Current, bool Selected);
    int TitleOffset() const { return FTitleOffset; }
    int IndicatorOffset() const { return FIndicatorOffset; }
    bool AcquireFocus();

    // --- grid overridables ---
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool CanEditAcceptKey(char Key) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    TInplaceEdit* CreateEditor() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void TopLeftChanged() override;
    bool OwnVertScrollBar() const override { return true; }
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void CreateWnd() override;
    void DoExit() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TGridDataLink;
    friend class TColumn;
    friend class TColumnTitle;
    friend class TDBGridColumns;
    friend class TBookmarkList;
    friend class TDBGridInplaceEdit;

    std::unique_ptr<TGridDataLink> FDataLink;
    std::unique_ptr<TDBGridColumns> FColumns;
    std::unique_ptr<TBookmarkList> FBookmarks;
    std::unique_ptr<TFont> FTitleFont;
    TDBGridOptions FOptions = DefaultDBGridOptions;
    bool FReadOnly = false;
    int FTitleOffset = 1, FIndicatorOffset = 1;
    int FLayoutLock = 0;
    int FUpdateLock = 0;   // the grid is moving its own row after the dataset moved
    int FInColExit = 0;
    bool FLayoutPending = false;
    bool FUserChange = false;
    bool FSelecting = false;      // a mouse selection of rows (dgMultiSelect)
    int FSelRow = 0;
    TBookmarkStr FSelAnchor;      // where a Shift selection of rows started
    int FRowHeight = 0;           // the data rows' height set in code or by the user (0: the font's)
    bool FRowSizing = false;
    bool FWordWrap = false;
    TAlignment FTitleAlignment = taLeftJustify;
    std::string FEditText;        // the editor's text for the current cell
    std::string FEditOriginal;    // the field's text when the editor took it
    bool FEditModified = false;
    int FEditCol = -1;            // the data column the editor's text belongs to
    std::vector<TField*> FWatched;  // fields whose freeing the grid listens for

    TColumn* ColumnOf(int DataCol) const;
    TColumn* VisibleColumn(int ACol) const;  // the column shown in grid column ACol
    int ColumnToRaw(int ColumnIndex) const;
    void DefineFieldMap();
    void SetColumnWidths();
    void UpdateRowCount();
    void UpdateActive();
    void UpdateScrollBar();
    void UpdateBufferCount();
    void WatchFields();
    void UnwatchFields();
    void ForgetFields();
    void SetGridOptionsFromDB();
    void MoveCol(int RawCol);
    bool MoveRecord(int Distance);
    void ConfirmDelete();
    void CancelEdit();
    void HandleTab(bool Back);
    void ToggleRowSelection(bool Extend);
    void ClearSelectionIfNeeded(TShiftState Shift);
    // A click on a data row with dgMultiSelect: plain and Ctrl clicks set the anchor, Shift
    // selects from Anchor to the current record (Ctrl adding it to the selection).
    void ClickSelect(TShiftState Shift, bool Indicator, const TBookmarkStr& Anchor);
    // Selects every record from Anchor to the current one, in the dataset's order.
    void SelectRange(const TBookmarkStr& Anchor);
    // The bookmark a Shift selection would start from: the anchor, else the current record.
    TBookmarkStr SelectionStart() const;
    int FontRowHeight() const;
    int DataRowHeight() const;
    int TitleRowHeight() const;
    bool ColumnCanModify(TColumn* Column) const;
    void EditTextFromField();
    void TitleFontChanged(TObject* Sender);
    // Puts the dataset into edit mode before the editor's first change; false refuses it.
    bool BeginEditing();
    bool CanInsert() const;
    // Listens for the field's freeing, so that no column keeps a freed field.
    void WatchField(TField* Field);
    bool EditButtonHit(int X, int Y) const;
    void DrawEditButton(TCanvas* Canvas, const TRect& CellRect);
    TColumn* FTitleColumnDown = nullptr;
    bool FTitleFontAssigned = false;  // TitleFont set in code: it no longer follows Font
    int FBeginEdit = 0;
    int FTitleFontUpdating = 0;
    bool FCellDown = false;  // the left button went down on a data cell

    void WMVScroll(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void CMGetDataLink(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    HOST_MESSAGES(on(WM_VSCROLL, &TCustomDBGrid::WMVScroll), on(WM_MOUSEWHEEL, &TCustomDBGrid::WMMouseWheel),
                  on(CM_GETDATALINK, &TCustomDBGrid::CMGetDataLink), on(CM_FONTCHANGED, &TCustomDBGrid::CMFontChanged),
                  on(WM_SETFOCUS, &TCustomDBGrid::WMSetFocus), on(WM_KILLFOCUS, &TCustomDBGrid::WMKillFocus))
};

// ---------------------------------------------------------------------------
// TDBGrid
// ---------------------------------------------------------------------------

// The published data grid of forms.
class TDBGrid : public TCustomDBGrid {
    HOST_CLASS(TDBGrid, TCustomDBGrid)
public:
    explicit TDBGrid(TComponent* AOwner) : TCustomDBGrid(AOwner) {}

private:
    bool ColumnsStored() const;
    HOST_PUBLISHED(prop("BorderStyle", &TCustomGrid::BorderStyle, &TCustomGrid::SetBorderStyle).def(bsSingle),
                   prop("Columns", &TCustomDBGrid::Columns, &TCustomDBGrid::SetColumns)
                       .stored(&TDBGrid::ColumnsStored),
                   prop("DataSource", &TCustomDBGrid::DataSource, &TCustomDBGrid::SetDataSource),
                   prop("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing).def(true),
                   prop("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor).def(clBtnFace),
                   prop("Options", &TCustomDBGrid::Options, &TCustomDBGrid::SetOptions).def(DefaultDBGridOptions),
                   prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(false),
                   prop("ReadOnly", &TCustomDBGrid::ReadOnly, &TCustomDBGrid::SetReadOnly).def(false),
                   prop("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars).def(ssBoth),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("TitleFont", &TCustomDBGrid::TitleFont, &TCustomDBGrid::SetTitleFont),
                   prop("OnCellClick", &TDBGrid::OnCellClick, &TDBGrid::OnCellClick),
                   prop("OnColEnter", &TDBGrid::OnColEnter, &TDBGrid::OnColEnter),
                   prop("OnColExit", &TDBGrid::OnColExit, &TDBGrid::OnColExit),
                   prop("OnColumnMoved", &TDBGrid::OnColumnMoved, &TDBGrid::OnColumnMoved),
                   prop("OnDrawDataCell", &TDBGrid::OnDrawDataCell, &TDBGrid::OnDrawDataCell),
                   prop("OnDrawColumnCell", &TDBGrid::OnDrawColumnCell, &TDBGrid::OnDrawColumnCell),
                   prop("OnEditButtonClick", &TDBGrid::OnEditButtonClick, &TDBGrid::OnEditButtonClick),
                   prop("OnTitleClick", &TDBGrid::OnTitleClick, &TDBGrid::OnTitleClick))
};

// Registers every class of this unit for form files (once).
void RegisterDBGridClasses();

}  // namespace host
