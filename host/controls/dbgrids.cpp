// The data grid: its data link, layout from the columns, painting, keyboard, mouse, scrolling and editing.
#include "host/controls/dbgrids.h"

#include <algorithm>

#include "host/app/app.h"
#include "host/app/dialogs.h"
#include "host/controls/dbgrids_internal.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"

namespace host {

namespace {

const char* const SDeleteRecordQuestion = "Delete record?";
const char* const SDeleteMultipleRecordsQuestion = "Delete all selected records?";

struct TCounterGuard {
    explicit TCounterGuard(int& C) : Counter(C) { ++Counter; }
    ~TCounterGuard() { --Counter; }
    TCounterGuard(const TCounterGuard&) = delete;
    TCounterGuard& operator=(const TCounterGuard&) = delete;
    int& Counter;
};

}  // namespace

// ---------------------------------------------------------------------------
// Helpers shared with the columns
// ---------------------------------------------------------------------------

namespace dbgrids_internal {

namespace {
// Measures with Font on a memory device context, releasing it on every way out.
template <class F>
int MeasureWith(TFont* Font, F&& Measure) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return 0;
    int r = 0;
    try {
        TCanvas c;
        c.SetHandle(dc);
        c.Font()->Assign(Font);
        r = Measure(c);
        c.SetHandle(nullptr);
    } catch (...) {
        DeleteDC(dc);
        throw;
    }
    DeleteDC(dc);
    return r;
}
}  // namespace

int TextWidthOf(TFont* Font, const std::string& Text) {
    return MeasureWith(Font, [&Text](TCanvas& C) { return C.TextWidth(Text); });
}

int TextHeightOf(TFont* Font) {
    return MeasureWith(Font, [](TCanvas& C) { return C.TextHeight("Wg"); });
}

}  // namespace dbgrids_internal

// ---------------------------------------------------------------------------
// TCustomDBGrid: construction and properties
// ---------------------------------------------------------------------------

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner),
      FDataLink(std::make_unique<TGridDataLink>(this)),
      FBookmarks(std::make_unique<TBookmarkList>(this)),
      FTitleFont(std::make_unique<TFont>()) {
    FTitleFont->Assign(Font());
    FTitleFont->OnChange = TNotifyEvent(this, &TCustomDBGrid::TitleFontChanged);
    FColumns.reset(CreateColumns());
    SetGridOptionsFromDB();
    LayoutChanged();
}

TCustomDBGrid::~TCustomDBGrid() {
    FTitleFont->OnChange = nullptr;
    ++FLayoutLock;  // no layout while the columns go
    FColumns->Clear();
    UnwatchFields();
    FDataLink->SetDataSource(nullptr);
}

TDBGridColumns* TCustomDBGrid::CreateColumns() { return new TDBGridColumns(this, TColumn::StaticClass()); }

TDataLink* TCustomDBGrid::DataLink() const { return FDataLink.get(); }

TDataSource* TCustomDBGrid::DataSource() const { return FDataLink->DataSource(); }

void TCustomDBGrid::SetDataSource(TDataSource* Value) {
    TDataSource* old = FDataLink->DataSource();
    if (Value == old) return;
    if (old != nullptr) old->RemoveFreeNotification(this);
    FBookmarks->Clear();
    FDataLink->SetDataSource(Value);
    if (Value != nullptr) Value->FreeNotification(this);
    LinkActive(FDataLink->Active());
}

void TCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (FDataLink != nullptr && AComponent == FDataLink->DataSource()) {
        SetDataSource(nullptr);
        return;
    }
    auto it = std::find(FWatched.begin(), FWatched.end(), AComponent);
    if (it == FWatched.end()) return;
    FWatched.erase(it);
    // A field is going: no column may keep it.
    if (FColumns != nullptr)
        for (int i = 0; i < FColumns->Count(); ++i) {
            TColumn* c = FColumns->Items(i);
            if (c->FField == AComponent) {
                c->FField = nullptr;
                c->FFieldResolved = false;
            }
        }
    FLayoutPending = true;
    InvalidateGrid();
}

void TCustomDBGrid::WatchField(TField* Field) {
    if (Field == nullptr || std::find(FWatched.begin(), FWatched.end(), Field) != FWatched.end()) return;
    FWatched.push_back(Field);
    Field->FreeNotification(this);
}

void TCustomDBGrid::UnwatchFields() {
    for (TField* f : FWatched) f->RemoveFreeNotification(this);
    FWatched.clear();
}

void TCustomDBGrid::ForgetFields() {
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumn* c = FColumns->Items(i);
        c->FField = nullptr;
        c->FFieldResolved = false;
    }
    UnwatchFields();
}

void TCustomDBGrid::SetColumns(TDBGridColumns* Value) {
    if (Value != nullptr && Value != FColumns.get()) FColumns->Assign(Value);
}

void TCustomDBGrid::SetOptions(TDBGridOptions Value) {
    if (Value.Contains(dgRowSelect)) Value -= TDBGridOptions{dgEditing, dgAlwaysShowEditor};
    if (Value == FOptions) return;
    bool multiGone = FOptions.Contains(dgMultiSelect) && !Value.Contains(dgMultiSelect);
    FOptions = Value;
    if (multiGone) {
        FBookmarks->Clear();
        FSelAnchor.clear();
    }
    LayoutChanged();
}

void TCustomDBGrid::SetGridOptionsFromDB() {
    TGridOptions g{goFixedVertLine, goFixedHorzLine};
    if (FOptions.Contains(dgColLines)) g.Include(goVertLine);
    if (FOptions.Contains(dgRowLines)) g.Include(goHorzLine);
    if (FOptions.Contains(dgColumnResize)) g.Include(goColSizing);
    if (FOptions.Contains(dgTabs)) g.Include(goTabs);
    if (FRowSizing && FOptions.Contains(dgIndicator)) g.Include(goRowSizing);
    if (FOptions.Contains(dgRowSelect)) {
        g.Include(goRowSelect);
    } else {
        if (FOptions.Contains(dgEditing)) g.Include(goEditing);
        if (FOptions.Contains(dgAlwaysShowEditor)) g.Include(goAlwaysShowEditor);
    }
    TCustomGrid::SetOptions(g);
}

void TCustomDBGrid::SetRowHeight(int Value) {
    Value = std::max(Value, 0);
    if (Value == FRowHeight) return;
    FRowHeight = Value;
    LayoutChanged();
}

void TCustomDBGrid::SetRowSizing(bool Value) {
    if (Value == FRowSizing) return;
    FRowSizing = Value;
    LayoutChanged();
}

void TCustomDBGrid::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    InvalidateGrid();
}

void TCustomDBGrid::SetTitleAlignment(TAlignment Value) {
    if (Value == FTitleAlignment) return;
    FTitleAlignment = Value;
    InvalidateTitles();
}

void TCustomDBGrid::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    InvalidateEditor();
}

void TCustomDBGrid::SetTitleFont(TFont* Value) {
    if (Value != nullptr) FTitleFont->Assign(Value);
}

void TCustomDBGrid::TitleFontChanged(TObject*) {
    if (FTitleFontUpdating == 0) FTitleFontAssigned = true;
    LayoutChanged();
}

void TCustomDBGrid::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    if (!FTitleFontAssigned) {
        TCounterGuard g(FTitleFontUpdating);
        FTitleFont->Assign(Font());
    }
    LayoutChanged();
}

void TCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    LayoutChanged();
}

void TCustomDBGrid::CMGetDataLink(TMessage& Message) { Message.Result = reinterpret_cast<LRESULT>(FDataLink.get()); }

// ---------------------------------------------------------------------------
// Columns and fields
// ---------------------------------------------------------------------------

TColumn* TCustomDBGrid::ColumnOf(int DataCol) const {
    if (DataCol < 0) return nullptr;
    int n = 0;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TColumn* c = FColumns->Items(i);
        if (!c->Visible()) continue;
        if (n++ == DataCol) return c;
    }
    return nullptr;
}

TColumn* TCustomDBGrid::VisibleColumn(int ACol) const { return ColumnOf(RawToDataColumn(ACol)); }

int TCustomDBGrid::ColumnToRaw(int ColumnIndex) const {
    if (ColumnIndex < 0 || ColumnIndex >= FColumns->Count() || !FColumns->Items(ColumnIndex)->Visible()) return -1;
    int n = 0;
    for (int i = 0; i < ColumnIndex; ++i)
        if (FColumns->Items(i)->Visible()) ++n;
    return DataToRawColumn(n);
}

int TCustomDBGrid::FieldCount() const {
    int n = 0;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Visible()) ++n;
    return n;
}

TField* TCustomDBGrid::Fields(int Index) const {
    TColumn* c = ColumnOf(Index);
    return c != nullptr ? c->Field() : nullptr;
}

bool TCustomDBGrid::ValidFieldIndex(int FieldIndex) const { return FieldIndex >= 0 && FieldIndex < FieldCount(); }

int TCustomDBGrid::SelectedIndex() const {
    TColumn* c = VisibleColumn(Col());
    return c != nullptr ? c->Index() : -1;
}

void TCustomDBGrid::SetSelectedIndex(int Value) {
    int raw = ColumnToRaw(Value);
    if (raw >= 0 && raw < ColCount()) MoveCol(raw);
}

TField* TCustomDBGrid::SelectedField() const {
    TColumn* c = VisibleColumn(Col());
    return c != nullptr ? c->Field() : nullptr;
}

void TCustomDBGrid::SetSelectedField(TField* Value) {
    if (Value == nullptr) return;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Visible() && FColumns->Items(i)->Field() == Value) {
            SetSelectedIndex(i);
            return;
        }
}

void TCustomDBGrid::DefineFieldMap() {
    TDataSet* ds = FDataLink->DataSet();
    ForgetFields();
    if (FColumns->State() != csDefault) return;
    // Default columns follow the visible fields of the open dataset.
    FColumns->BeginUpdate();
    FColumns->FAddingDefault = true;
    try {
        FColumns->Clear();
        if (FDataLink->Active() && ds != nullptr)
            for (int i = 0; i < ds->FieldCount(); ++i) {
                TField* f = ds->Fields(i);
                if (!f->Visible()) continue;
                TColumn* c = FColumns->Add();
                c->FDefaultColumn = true;
                c->SetField(f);
            }
    } catch (...) {
        FColumns->FAddingDefault = false;
        FColumns->EndUpdate();
        throw;
    }
    FColumns->FAddingDefault = false;
    FColumns->EndUpdate();
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

void TCustomDBGrid::BeginLayout() { ++FLayoutLock; }

void TCustomDBGrid::EndLayout() {
    if (--FLayoutLock > 0) return;
    FLayoutLock = 0;
    ++FLayoutLock;
    try {
        FLayoutPending = false;
        DefineFieldMap();
        SetGridOptionsFromDB();
        // Enough rows first, so that the fixed rows and columns always fit.
        SetRowCount(std::max(RowCount(), 2));
        int cols = FIndicatorOffset + std::max(1, FieldCount());
        int newIndicator = FOptions.Contains(dgIndicator) ? 1 : 0;
        SetColCount(std::max(ColCount(), newIndicator + 1));
        if (FixedCols() != newIndicator) SetFixedCols(newIndicator);
        FIndicatorOffset = newIndicator;
        cols = FIndicatorOffset + std::max(1, FieldCount());
        SetColCount(cols);
        int newTitle = FOptions.Contains(dgTitles) ? 1 : 0;
        if (FixedRows() != newTitle) SetFixedRows(newTitle);
        FTitleOffset = newTitle;
        SetDefaultRowHeight(DataRowHeight());
        if (FTitleOffset > 0) SetRowHeights(0, TitleRowHeight());
        SetColumnWidths();
        UpdateBufferCount();
        UpdateRowCount();
        UpdateActive();
    } catch (...) {
        --FLayoutLock;
        throw;
    }
    --FLayoutLock;
    InvalidateEditor();
    InvalidateGrid();
    UpdateScrollBar();
}

void TCustomDBGrid::LayoutChanged() {
    if (FLayoutLock > 0) {
        FLayoutPending = true;
        return;
    }
    BeginLayout();
    EndLayout();
}

int TCustomDBGrid::FontRowHeight() const {
    int h = dbgrids_internal::TextHeightOf(Font()) + 3;
    if (FOptions.Contains(dgRowLines)) h += 1;
    return std::max(h, 8);
}

int TCustomDBGrid::DataRowHeight() const { return std::max(FRowHeight, FontRowHeight()); }

void TCustomDBGrid::RowHeightsChanged() {
    TCustomGrid::RowHeightsChanged();
    if (FLayoutLock > 0 || ComponentState().Contains(csLoading)) return;
    // The user dragged a row line: every data row takes the new height, the titles keep theirs.
    int sized = 0;
    for (int i = FTitleOffset; i < RowCount() && sized == 0; ++i)
        if (RowHeights(i) != DefaultRowHeight()) sized = RowHeights(i);
    if (sized > 0) FRowHeight = std::max(sized, FontRowHeight());
    LayoutChanged();
}

int TCustomDBGrid::TitleRowHeight() const {
    int h = dbgrids_internal::TextHeightOf(FTitleFont.get()) + 4;
    for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->Visible())
            h = std::max(h, dbgrids_internal::TextHeightOf(FColumns->Items(i)->Title()->Font()) + 4);
    return h;
}

void TCustomDBGrid::SetColumnWidths() {
    if (FIndicatorOffset > 0) SetColWidths(0, IndicatorWidth);
    int n = FieldCount();
    if (n == 0) {
        SetColWidths(FIndicatorOffset, DefaultColWidth());
        return;
    }
    for (int i = 0; i < n; ++i) SetColWidths(DataToRawColumn(i), ColumnOf(i)->Width());
}

void TCustomDBGrid::ColWidthsChanged() {
    TCustomGrid::ColWidthsChanged();
    if (FLayoutLock > 0) return;
    // The user sized a column: the column keeps the width.
    TCounterGuard g(FLayoutLock);
    for (int i = 0; i < FieldCount(); ++i) {
        int raw = DataToRawColumn(i);
        if (raw >= ColCount()) break;
        TColumn* c = ColumnOf(i);
        if (c->Width() != ColWidths(raw)) c->SetWidth(ColWidths(raw));
    }
}

void TCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    int from = RawToDataColumn(FromIndex), to = RawToDataColumn(ToIndex);
    TColumn* a = ColumnOf(from);
    TColumn* b = ColumnOf(to);
    if (a != nullptr && b != nullptr) {
        TCounterGuard g(FLayoutLock);
        FColumns->SetState(csCustomized);
        a->SetIndex(b->Index());
    }
    OnColumnMoved(this, from, to);
}

void TCustomDBGrid::UpdateBufferCount() {
    if (!HandleAllocated() && Parent() == nullptr) {
        FDataLink->SetBufferCount(1);
        return;
    }
    int line = FOptions.Contains(dgRowLines) ? GridLineWidth() : 0;
    int titles = FTitleOffset > 0 ? RowHeights(0) + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0) : 0;
    int avail = ClientHeight() - titles;
    int per = DataRowHeight() + line;
    int rows = std::max(1, avail / std::max(1, per));
    rows = std::max(1, rows - ReservedSubRows());
    FDataLink->SetBufferCount(rows);
}

void TCustomDBGrid::UpdateRowCount() {
    int records = FDataLink->Active() ? std::max(1, FDataLink->RecordCount()) : 1;
    int subs = 0;
    if (FDataLink->Active())
        for (int i = 0; i < FDataLink->RecordCount(); ++i) subs += SubRowCount(i);
    TCounterGuard g(FUpdateLock);
    SetRowCount(FTitleOffset + records + subs);
}

void TCustomDBGrid::RowToRecord(int ARow, int& DataRecord, int& SubRow) {
    DataRecord = -1;
    SubRow = -1;
    int r = ARow - FTitleOffset;
    if (r < 0) return;
    int n = FDataLink->Active() ? FDataLink->RecordCount() : 0;
    for (int i = 0; i < std::max(n, 1); ++i) {
        if (r == 0) {
            DataRecord = i;
            return;
        }
        --r;
        int subs = i < n ? SubRowCount(i) : 0;
        if (r < subs) {
            DataRecord = i;
            SubRow = r;
            return;
        }
        r -= subs;
    }
}

int TCustomDBGrid::RecordToRow(int DataRecord) {
    int row = FTitleOffset;
    for (int i = 0; i < DataRecord; ++i) row += 1 + SubRowCount(i);
    return row;
}

void TCustomDBGrid::UpdateActive() {
    if (!FDataLink->Active()) return;
    int row = RecordToRow(FDataLink->ActiveRecord());
    if (row >= RowCount() || row == Row()) return;
    TCounterGuard g(FUpdateLock);
    MoveColRow(Col(), row, true, true);
}

void TCustomDBGrid::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    SCROLLINFO si{};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    TDataSet* ds = FDataLink->DataSet();
    bool wanted = ScrollBars() == ssVertical || ScrollBars() == ssBoth;
    if (wanted && FDataLink->Active() && ds != nullptr && !ds->IsEmpty()) {
        int count = ds->IsSequenced() ? ds->RecordCount() : -1;
        if (count > 0 && ds->State() != dsInsert) {
            // The thumb is the current record among all of them.
            si.nMin = 0;
            si.nMax = std::max(0, count - 1);
            si.nPage = 0;
            si.nPos = std::clamp(ds->RecNo() - 1, 0, si.nMax);
            if (count <= 1) si.nMax = 0;
        } else {
            // Without record numbers: top, middle or bottom.
            si.nMin = 0;
            si.nMax = 4;
            si.nPos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
        }
    }
    SCROLLINFO old{};
    old.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(Handle(), SB_VERT, &old) || old.nMin != si.nMin || old.nMax != si.nMax ||
        old.nPage != si.nPage || old.nPos != si.nPos)
        SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TCustomDBGrid::Resize() {
    TCustomGrid::Resize();
    RowLayoutChanged();
}

void TCustomDBGrid::RowLayoutChanged() {
    if (FLayoutLock > 0) return;
    UpdateBufferCount();
    UpdateRowCount();
    UpdateActive();
    UpdateScrollBar();
    InvalidateGrid();
}

void TCustomDBGrid::CreateWnd() {
    TCustomGrid::CreateWnd();
    LayoutChanged();
}

void TCustomDBGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    InvalidateGrid();
}

void TCustomDBGrid::InvalidateTitles() {
    if (FTitleOffset > 0) InvalidateRow(0);
}

// ---------------------------------------------------------------------------
// The data link's notices
// ---------------------------------------------------------------------------

void TCustomDBGrid::LinkActive(bool Value) {
    if (!Value) {
        HideEditor();
        FBookmarks->LinkActive(false);
        FSelAnchor.clear();
    }
    FEditModified = false;
    // The fields of a closed dataset may be freed already: nothing may reach them.
    ForgetFields();
    LayoutChanged();
}

void TCustomDBGrid::DataChanged() {
    if (!HandleAllocated() && Parent() == nullptr && FLayoutLock == 0) {
        FEditModified = false;
        return;
    }
    if (FLayoutPending && FLayoutLock == 0) {
        LayoutChanged();
        return;
    }
    if (FBeginEdit == 0) FEditModified = false;
    UpdateRowCount();
    UpdateActive();
    if (FBeginEdit == 0) InvalidateEditor();
    InvalidateGrid();
    UpdateScrollBar();
}

void TCustomDBGrid::Scroll(int Distance) {
    (void)Distance;
    DataChanged();
}

void TCustomDBGrid::EditingChanged() {
    if (FBeginEdit == 0) {
        FEditModified = false;
        InvalidateEditor();
    }
    if (FIndicatorOffset > 0 && FDataLink->Active()) InvalidateCell(0, Row());
    InvalidateGrid();
}

void TCustomDBGrid::RecordChanged(TField* Field) {
    InvalidateRow(Row());
    TField* sel = SelectedField();
    if (!FEditModified && FBeginEdit == 0 && (Field == nullptr || Field == sel)) InvalidateEditor();
}

void TCustomDBGrid::UpdateData() {
    if (!FEditModified) return;
    TColumn* c = ColumnOf(RawToDataColumn(FEditCol));
    TField* f = c != nullptr ? c->Field() : nullptr;
    if (f == nullptr || !FDataLink->Editing()) {
        FEditModified = false;
        return;
    }
    // A text that does not convert raises here and stays in the editor.
    if (f->Text() != FEditText) f->SetText(FEditText);
    FEditOriginal = FEditText;
    FEditModified = false;
}

// ---------------------------------------------------------------------------
// Editing
// ---------------------------------------------------------------------------

bool TCustomDBGrid::ColumnCanModify(TColumn* Column) const {
    if (Column == nullptr || Column->ReadOnly()) return false;
    TField* f = Column->Field();
    return f != nullptr && f->CanModify() && (!f->IsBlob() || static_cast<bool>(f->OnSetText));
}

bool TCustomDBGrid::CanEditShow() {
    if (!FDataLink->Active() || VisibleColumn(Col()) == nullptr) return false;
    int rec = 0, sub = 0;
    RowToRecord(Row(), rec, sub);
    if (sub >= 0) return false;
    return TCustomGrid::CanEditShow();
}

bool TCustomDBGrid::CanEditModify() {
    if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
    TDataSet* ds = FDataLink->DataSet();
    if (ds == nullptr || !ds->CanModify()) return false;
    return ColumnCanModify(VisibleColumn(Col()));
}

bool TCustomDBGrid::BeginEditing() {
    if (!CanEditModify()) return false;
    if (!FDataLink->Editing()) {
        TCounterGuard g(FBeginEdit);
        FDataLink->Edit();
    }
    return FDataLink->Editing();
}

bool TCustomDBGrid::CanEditAcceptKey(char Key) {
    TField* f = SelectedField();
    return f != nullptr && f->IsValidChar(Key);
}

std::string TCustomDBGrid::GetEditText(int ACol, int ARow) {
    (void)ARow;
    FEditCol = ACol;
    FEditModified = false;
    TColumn* c = VisibleColumn(ACol);
    TField* f = c != nullptr ? c->Field() : nullptr;
    FEditText = f != nullptr ? f->Text() : std::string();
    FEditOriginal = FEditText;
    return FEditText;
}

void TCustomDBGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    (void)ARow;
    if (FUpdateLock > 0 || ACol != FEditCol) return;
    FEditText = Value;
    if (Value != FEditOriginal) FEditModified = true;
}

std::string TCustomDBGrid::GetEditMask(int ACol, int ARow) {
    (void)ARow;
    TColumn* c = VisibleColumn(ACol);
    TField* f = c != nullptr ? c->Field() : nullptr;
    return f != nullptr ? f->EditMask() : std::string();
}

int TCustomDBGrid::GetEditLimit() {
    TField* f = SelectedField();
    if (f == nullptr) return 0;
    TFieldType t = f->DataType();
    return t == ftString || t == ftFixedChar || t == ftWideString ? f->Size() : 0;
}

TInplaceEdit* TCustomDBGrid::CreateEditor() { return new TDBGridInplaceEdit(this); }

void TCustomDBGrid::CancelEdit() {
    TDataSet* ds = FDataLink->DataSet();
    if (FEditModified) {
        // The first Escape takes back the editor's change.
        if (auto* ed = InplaceEditor(); ed != nullptr && ed->Visible()) {
            TCounterGuard g(FUpdateLock);
            ed->Restore();
        }
        FEditText = FEditOriginal;
        FEditModified = false;
        if (!Options().Contains(dgAlwaysShowEditor)) HideEditor();
        return;
    }
    if (ds != nullptr && FDataLink->Active() && dsEditModes.Contains(ds->State())) ds->Cancel();
    if (!Options().Contains(dgAlwaysShowEditor)) HideEditor();
}

// ---------------------------------------------------------------------------
// Moving
// ---------------------------------------------------------------------------

bool TCustomDBGrid::AcquireFocus() {
    if (Focused() || IsActiveControl()) return true;
    if (!CanFocus()) return false;
    SetFocus();
    return IsActiveControl();
}

bool TCustomDBGrid::MoveRecord(int Distance) {
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || ds == nullptr || Distance == 0) return false;
    ds->MoveBy(Distance);
    return true;
}

void TCustomDBGrid::MoveCol(int RawCol) {
    if (RawCol == Col() || RawCol < FIndicatorOffset || RawCol >= ColCount()) return;
    if (FEditModified) UpdateData();
    ColExit();
    {
        TCounterGuard g(FUpdateLock);
        MoveColRow(RawCol, Row(), true, true);
    }
    ColEnter();
    InvalidateEditor();
}

bool TCustomDBGrid::SelectCell(int ACol, int ARow) {
    if (FUpdateLock > 0) return true;
    int rec = 0, sub = 0;
    RowToRecord(ARow, rec, sub);
    if (sub >= 0) {
        SubRowClicked(rec, sub);
        return false;
    }
    if (rec >= 0 && FDataLink->Active() && rec != FDataLink->ActiveRecord()) {
        if (FEditModified) UpdateData();
        MoveRecord(rec - FDataLink->ActiveRecord());
    }
    if (ACol != Col()) MoveCol(ACol);
    return false;
}

void TCustomDBGrid::HandleTab(bool Back) {
    int first = FIndicatorOffset, last = ColCount() - 1;
    if (FieldCount() == 0) return;
    auto stops = [this](int C) { return TabStops(C); };
    int c = Col();
    for (int guard = 0; guard <= ColCount(); ++guard) {
        c += Back ? -1 : 1;
        if (c > last || c < first) {
            TDataSet* ds = FDataLink->DataSet();
            if (!FDataLink->Active() || ds == nullptr) return;
            if (FEditModified) UpdateData();
            if (Back) {
                if (ds->Bof() && FDataLink->ActiveRecord() == 0) {
                    ds->Prior();
                    if (ds->Bof()) return;
                } else {
                    ds->Prior();
                }
                c = last;
            } else {
                ds->Next();
                if (ds->Eof()) return;
                c = first;
            }
        }
        if (stops(c)) break;
    }
    MoveCol(c);
}

bool TCustomDBGrid::CanInsert() const {
    TDataSet* ds = FDataLink->DataSet();
    return FDataLink->Active() && ds != nullptr && !FReadOnly && !FDataLink->ReadOnly() &&
           FOptions.Contains(dgEditing) && ds->CanModify() && FDataLink->DataSource()->AutoEdit();
}

void TCustomDBGrid::ConfirmDelete() {
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || ds == nullptr || FReadOnly || FDataLink->ReadOnly() || !ds->CanModify()) return;
    if (ds->IsEmpty() && ds->State() != dsInsert) return;
    bool many = FBookmarks->Count() > 1;
    const char* question = many ? SDeleteMultipleRecordsQuestion : SDeleteRecordQuestion;
    if (FOptions.Contains(dgConfirmDelete) &&
        MessageDlg(question, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes)
        return;
    if (ds->State() == dsInsert) {
        ds->Cancel();
        return;
    }
    FEditModified = false;
    if (many)
        FBookmarks->Delete();
    else {
        FBookmarks->SetCurrentRowSelected(false);
        ds->Delete();
    }
}

void TCustomDBGrid::ToggleRowSelection(bool Extend) {
    if (!FOptions.Contains(dgMultiSelect) || !FDataLink->Active()) return;
    if (Extend)
        FBookmarks->SetCurrentRowSelected(true);
    else
        FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
}

void TCustomDBGrid::ClearSelectionIfNeeded(TShiftState Shift) {
    if (FOptions.Contains(dgMultiSelect) && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
        FBookmarks->Clear();
        FSelAnchor.clear();  // the next Shift selection starts where the keys leave the dataset
    }
}

TBookmarkStr TCustomDBGrid::SelectionStart() const {
    return FSelAnchor.empty() ? FBookmarks->CurrentRow() : FSelAnchor;
}

void TCustomDBGrid::ClickSelect(TShiftState Shift, bool Indicator, const TBookmarkStr& Anchor) {
    if (!FOptions.Contains(dgMultiSelect) || !FDataLink->Active()) return;
    bool ctrl = Shift.Contains(ssCtrl);
    if (Shift.Contains(ssShift)) {
        if (!ctrl) FBookmarks->Clear();
        FSelAnchor = Anchor;
        SelectRange(Anchor);
        return;
    }
    if (ctrl)
        ToggleRowSelection(false);
    else if (Indicator)
        FBookmarks->SetCurrentRowSelected(true);
    FSelAnchor = FBookmarks->CurrentRow();
}

void TCustomDBGrid::SelectRange(const TBookmarkStr& Anchor) {
    TDataSet* ds = FDataLink->DataSet();
    TBookmarkStr target = FBookmarks->CurrentRow();
    if (ds == nullptr || target.empty()) return;
    if (Anchor.empty() || Anchor == target || !ds->BookmarkValid(Anchor)) {
        FSelAnchor = target;
        FBookmarks->SetCurrentRowSelected(true);
        return;
    }
    // Both ends in the grid's window: its records are read from the buffers, nothing moves.
    std::vector<TBookmarkStr> range;
    int n = FDataLink->RecordCount(), current = FDataLink->ActiveRecord(), at = -1;
    std::vector<TBookmarkStr> window(static_cast<size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        dbgrids_internal::TActiveRecordSwap swap(FDataLink.get(), i);
        window[static_cast<size_t>(i)] = ds->Bookmark();
        if (window[static_cast<size_t>(i)] == Anchor) at = i;
    }
    if (at >= 0) {
        auto first = window.begin() + std::min(at, current), last = window.begin() + std::max(at, current) + 1;
        FBookmarks->AddRange(std::vector<TBookmarkStr>(first, last));
        return;
    }
    // Otherwise the dataset walks from the anchor to the clicked record, one record at a time
    // with the controls held back, and ends on the clicked record.
    auto walk = [&](bool Forward) {
        range.clear();
        ds->GotoBookmark(Anchor);
        for (;;) {
            range.push_back(ds->Bookmark());
            if (range.back() == target) return true;
            if (Forward) ds->Next(); else ds->Prior();
            if (Forward ? ds->Eof() : ds->Bof()) return false;
        }
    };
    ds->DisableControls();
    try {
        bool forward = ds->CompareBookmarks(Anchor, target) < 0;
        bool found = walk(forward);
        if (!found) {
            forward = !forward;
            found = walk(forward);
        }
        if (!found) range.assign(1, target);  // the anchor is not on the way: the clicked record only
        if (!forward) std::reverse(range.begin(), range.end());
        if (ds->Bookmark() != target) ds->GotoBookmark(target);
    } catch (...) {
        try {
            ds->GotoBookmark(target);
        } catch (...) {
        }
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
    FBookmarks->AddRange(std::move(range));
}

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

void TCustomDBGrid::KeyDown(WORD& Key, TShiftState Shift) {
    bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
    bool ours = false;
    switch (Key) {
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_ESCAPE: case VK_TAB:
            ours = true;
            break;
        case VK_HOME: case VK_END: ours = ctrl; break;
        case VK_DELETE: ours = ctrl; break;
        default: break;
    }
    if (!ours || !FDataLink->Active()) {
        TCustomGrid::KeyDown(Key, Shift);
        return;
    }
    TCustomControl::KeyDown(Key, Shift);  // the application's OnKeyDown first
    if (Key == 0) return;
    TDataSet* ds = FDataLink->DataSet();
    bool multi = FOptions.Contains(dgMultiSelect);
    int page = std::max(1, FDataLink->BufferCount());
    bool inserting = ds->State() == dsInsert && !ds->Modified() && !FEditModified;
    if (Key != VK_TAB && Key != VK_ESCAPE && FEditModified && (Key != VK_DELETE)) UpdateData();
    if (multi && shift && (Key == VK_UP || Key == VK_DOWN) && FSelAnchor.empty()) FSelAnchor = FBookmarks->CurrentRow();
    switch (Key) {
        case VK_UP:
            if (ctrl) break;
            if (multi && shift) FBookmarks->SetCurrentRowSelected(true);
            else ClearSelectionIfNeeded(Shift);
            if (inserting && ds->Eof())
                ds->Cancel();  // an untouched appended row goes away
            else
                ds->Prior();
            if (multi && shift) FBookmarks->SetCurrentRowSelected(true);
            break;
        case VK_DOWN:
            if (ctrl) break;
            if (multi && shift) FBookmarks->SetCurrentRowSelected(true);
            else ClearSelectionIfNeeded(Shift);
            if (inserting) break;  // an untouched new row: nothing to move to
            ds->Next();
            if (ds->Eof() && CanInsert() && !multi) ds->Append();
            if (multi && shift) FBookmarks->SetCurrentRowSelected(true);
            break;
        case VK_PRIOR:
            ClearSelectionIfNeeded(Shift);
            ds->MoveBy(-page);
            break;
        case VK_NEXT:
            ClearSelectionIfNeeded(Shift);
            ds->MoveBy(page);
            break;
        case VK_HOME:
            ClearSelectionIfNeeded(Shift);
            ds->First();
            break;
        case VK_END:
            ClearSelectionIfNeeded(Shift);
            ds->Last();
            break;
        case VK_INSERT:
            if (Shift.Empty() && CanInsert()) ds->Insert();
            break;
        case VK_DELETE:
            ConfirmDelete();
            break;
        case VK_ESCAPE:
            CancelEdit();
            break;
        case VK_TAB:
            if (Shift.Contains(ssAlt) || !FOptions.Contains(dgTabs) || FOptions.Contains(dgRowSelect)) return;
            HandleTab(shift);
            break;
        default: break;
    }
    Key = 0;
}

void TCustomDBGrid::KeyPress(char& Key) {
    // Enter in the editor takes its text into the field before it closes.
    if (Key == 13 && FEditModified && !Options().Contains(dgAlwaysShowEditor)) UpdateData();
    TCustomGrid::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

bool TCustomDBGrid::EditButtonHit(int X, int Y) const {
    auto* ed = static_cast<TDBGridInplaceEdit*>(InplaceEditor());
    if (ed == nullptr || !ed->Visible() || ed->ButtonKind() == TDBGridInplaceEdit::TButtonKind::None) return false;
    TRect r = CellRect(Col(), Row());
    return X >= r.right - ed->ButtonWidth() && X < r.right && Y >= r.top && Y < r.bottom;
}

void TCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FCellDown = false;
    FTitleColumnDown = nullptr;
    if (Button == mbLeft && !Shift.Contains(ssDouble) && EditButtonHit(X, Y)) {
        auto* ed = static_cast<TDBGridInplaceEdit*>(InplaceEditor());
        if (ed->ButtonKind() == TDBGridInplaceEdit::TButtonKind::PickList) {
            if (!ed->Focused() && ed->CanFocus()) ed->SetFocus();
            if (ed->ListVisible())
                ed->CloseUp(false);
            else
                ed->DropDown();
        } else {
            EditButtonClick();
        }
        return;
    }
    TGridCoord cell = MouseCoord(X, Y);
    if (Button == mbLeft && FRowSizing && cell.X >= 0 && cell.X < FIndicatorOffset) {
        // A row line grabbed in the indicator column starts sizing the rows.
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        if (GridState() == gsRowSizing || !IsActiveControl()) return;
        if (!FDataLink->Active() || Shift.Contains(ssDouble) || cell.Y < FTitleOffset) return;
    }
    if (Button == mbLeft && !Shift.Contains(ssDouble) && cell.X >= 0 && FDataLink->Active()) {
        if (cell.Y < FTitleOffset && cell.X >= FIndicatorOffset) {
            FTitleColumnDown = VisibleColumn(cell.X);
        } else if (cell.Y >= FTitleOffset) {
            int rec = 0, sub = 0;
            RowToRecord(cell.Y, rec, sub);
            if (sub < 0 && rec >= 0) {
                if (!IsActiveControl() && !AcquireFocus()) return;
                bool multi = FOptions.Contains(dgMultiSelect);
                TBookmarkStr anchor = multi ? SelectionStart() : TBookmarkStr();
                if (multi && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift)) FBookmarks->Clear();
                if (cell.X < FIndicatorOffset) {
                    // The indicator column moves to the record too.
                    if (FEditModified) UpdateData();
                    MoveRecord(rec - FDataLink->ActiveRecord());
                    if (multi) ClickSelect(Shift, true, anchor);
                    return;
                }
                FCellDown = true;
                TCustomGrid::MouseDown(Button, Shift, X, Y);
                if (multi) ClickSelect(Shift, false, anchor);
                // A range walked beyond the window scrolled the grid: the press ends here, so
                // that the release does not pick whatever record now lies under the mouse.
                if (multi && Row() != cell.Y && GridState() == gsSelecting) Perform(WM_CANCELMODE, 0, 0);
                return;
            }
        }
    }
    TCustomGrid::MouseDown(Button, Shift, X, Y);
}

void TCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGridState state = GridState();
    TColumn* title = FTitleColumnDown;
    bool cellDown = FCellDown;
    FTitleColumnDown = nullptr;
    FCellDown = false;
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (title != nullptr && state == gsNormal) {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.Y >= 0 && cell.Y < FTitleOffset && VisibleColumn(cell.X) == title) TitleClick(title);
    } else if (cellDown) {
        TColumn* c = VisibleColumn(Col());
        if (c != nullptr) CellClick(c);
    }
}

void TCustomDBGrid::WMVScroll(TMessage& Message) {
    auto& m = static_cast<TWMScroll&>(Message);
    Message.Result = 0;
    TDataSet* ds = FDataLink->DataSet();
    if (!FDataLink->Active() || ds == nullptr) return;
    if (!AcquireFocus()) return;
    int page = std::max(1, FDataLink->BufferCount());
    switch (m.ScrollCode()) {
        case SB_LINEUP: ds->Prior(); break;
        case SB_LINEDOWN: ds->Next(); break;
        case SB_PAGEUP: ds->MoveBy(-page); break;
        case SB_PAGEDOWN: ds->MoveBy(page); break;
        case SB_TOP: ds->First(); break;
        case SB_BOTTOM: ds->Last(); break;
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.fMask = SIF_RANGE | SIF_TRACKPOS;
            int pos = m.Pos();
            if (GetScrollInfo(Handle(), SB_VERT, &si)) pos = si.nTrackPos;
            if (ds->IsSequenced() && ds->RecordCount() > 0 && si.nMax != 4) {
                if (pos <= 0)
                    ds->First();
                else if (pos >= si.nMax)
                    ds->Last();
                else
                    ds->SetRecNo(pos + 1);
            } else if (pos <= 0) {
                ds->First();
            } else if (pos >= 4) {
                ds->Last();
            }
            break;
        }
        default: break;
    }
}

void TCustomDBGrid::WMMouseWheel(TMessage& Message) {
    auto& m = static_cast<TWMMouseWheel&>(Message);
    bool handled = false;
    OnMouseWheel(this, KeysToShiftState(m.Keys()), m.WheelDelta(), TPoint{m.XPos(), m.YPos()}, handled);
    Message.Result = 1;
    if (handled || !FDataLink->Active()) return;
    int notches = m.WheelDelta() / WHEEL_DELTA;
    if (notches == 0) notches = m.WheelDelta() > 0 ? 1 : -1;
    if (FEditModified) UpdateData();
    MoveRecord(-notches);
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------

void TCustomDBGrid::WMSetFocus(TMessage& Message) {
    Inherited(Message);
    InvalidateRow(Row());
}

void TCustomDBGrid::WMKillFocus(TMessage& Message) {
    Inherited(Message);
    InvalidateRow(Row());
}

void TCustomDBGrid::DoExit() {
    TDataSet* ds = FDataLink->DataSet();
    // Leaving an untouched new record drops it.
    if (FOptions.Contains(dgCancelOnExit) && FDataLink->Active() && ds != nullptr && ds->State() == dsInsert &&
        !ds->Modified() && !FEditModified)
        ds->Cancel();
    TCustomGrid::DoExit();
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------

void TCustomDBGrid::CellClick(TColumn* Column) { OnCellClick(Column); }
void TCustomDBGrid::ColEnter() { OnColEnter(this); }
void TCustomDBGrid::ColExit() { OnColExit(this); }
void TCustomDBGrid::EditButtonClick() { OnEditButtonClick(this); }
void TCustomDBGrid::TitleClick(TColumn* Column) { OnTitleClick(Column); }
int TCustomDBGrid::SubRowCount(int) { return 0; }
void TCustomDBGrid::DrawSubRow(int, int, int, const TRect&, TGridDrawState) {}
void TCustomDBGrid::SubRowClicked(int, int) {}

void RegisterDBGridClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClass(TColumn::StaticClass());
    RegisterClass(TDBGridColumns::StaticClass());
    RegisterClass(TDBGrid::StaticClass());
}

bool TDBGrid::ColumnsStored() const { return Columns()->State() == csCustomized; }

}  // namespace host
