// Data grid columns: column titles, columns, the column collection and the list of selected rows.
#include <algorithm>

#include "host/controls/dbgrids.h"
#include "host/controls/dbgrids_internal.h"
#include "host/rtl/exceptions.h"

namespace host {

// ---------------------------------------------------------------------------
// TColumnTitle
// ---------------------------------------------------------------------------

TColumnTitle::TColumnTitle(TColumn* Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = TNotifyEvent(this, &TColumnTitle::FontChanged);
}

TColumnTitle::~TColumnTitle() { FFont->OnChange = nullptr; }

TPersistent* TColumnTitle::GetOwner() const { return FColumn; }

void TColumnTitle::Assign(TPersistent* Source) {
    if (Source == nullptr || !Source->Is<TColumnTitle>()) {
        TPersistent::Assign(Source);
        return;
    }
    auto* t = static_cast<TColumnTitle*>(Source);
    TColumnValues v = t->FColumn != nullptr ? t->FColumn->FAssignedValues : TColumnValues{};
    if (v.Contains(cvTitleCaption)) SetCaption(t->FCaption);
    if (v.Contains(cvTitleAlignment)) SetAlignment(t->FAlignment);
    if (v.Contains(cvTitleColor)) SetColor(t->FColor);
    if (v.Contains(cvTitleFont)) SetFont(t->FFont.get());
}

std::string TColumnTitle::DefaultCaption() const {
    TField* f = FColumn->Field();
    return f != nullptr ? f->DisplayName() : FColumn->FieldName();
}

TColor TColumnTitle::DefaultColor() const {
    TCustomDBGrid* g = FColumn->Grid();
    return g != nullptr ? g->FixedColor() : clBtnFace;
}

std::string TColumnTitle::Caption() const {
    return FColumn->FAssignedValues.Contains(cvTitleCaption) ? FCaption : DefaultCaption();
}

void TColumnTitle::SetCaption(const std::string& Value) {
    FColumn->SetAssigned(cvTitleCaption, FCaption, Value);
}

TAlignment TColumnTitle::Alignment() const {
    return FColumn->FAssignedValues.Contains(cvTitleAlignment) ? FAlignment : DefaultAlignment();
}

TAlignment TColumnTitle::DefaultAlignment() const {
    TCustomDBGrid* g = FColumn->Grid();
    return g != nullptr ? g->TitleAlignment() : taLeftJustify;
}

void TColumnTitle::SetAlignment(TAlignment Value) {
    FColumn->SetAssigned(cvTitleAlignment, FAlignment, Value);
}

TColor TColumnTitle::Color() const {
    return FColumn->FAssignedValues.Contains(cvTitleColor) ? FColor : DefaultColor();
}

void TColumnTitle::SetColor(TColor Value) {
    FColumn->SetAssigned(cvTitleColor, FColor, Value);
}

TFont* TColumnTitle::Font() const {
    const_cast<TColumnTitle*>(this)->RefreshDefaultFont();
    return FFont.get();
}

void TColumnTitle::SetFont(TFont* Value) {
    if (Value != nullptr) FFont->Assign(Value);
}

void TColumnTitle::FontChanged(TObject*) {
    if (FFontUpdating > 0) return;
    FColumn->FAssignedValues.Include(cvTitleFont);
    FColumn->Changed(false);
}

void TColumnTitle::RefreshDefaultFont() {
    if (FColumn->FAssignedValues.Contains(cvTitleFont)) return;
    TCustomDBGrid* g = FColumn->Grid();
    if (g == nullptr) return;
    ++FFontUpdating;
    FFont->Assign(g->TitleFont());
    --FFontUpdating;
}

void TColumnTitle::RestoreDefaults() {
    FColumn->FAssignedValues -= TColumnValues{cvTitleCaption, cvTitleAlignment, cvTitleColor, cvTitleFont};
    FCaption.clear();
    RefreshDefaultFont();
    FColumn->Changed(false);
}

bool TColumnTitle::IsCaptionStored() const { return FColumn->FAssignedValues.Contains(cvTitleCaption); }
bool TColumnTitle::IsAlignmentStored() const { return FColumn->FAssignedValues.Contains(cvTitleAlignment); }
bool TColumnTitle::IsColorStored() const { return FColumn->FAssignedValues.Contains(cvTitleColor); }
bool TColumnTitle::IsFontStored() const { return FColumn->FAssignedValues.Contains(cvTitleFont); }

// ---------------------------------------------------------------------------
// TColumn
// ---------------------------------------------------------------------------

TColumn::TColumn(TCollection* Collection)
    : TCollectionItem(nullptr), FFont(std::make_unique<TFont>()), FPickList(std::make_unique<TStringList>()) {
    FTitle = std::make_unique<TColumnTitle>(this);
    // The column joins its collection only when whole: joining lays the grid out again.
    TCustomDBGrid* g = Collection != nullptr && Collection->Is<TDBGridColumns>()
                           ? static_cast<TDBGridColumns*>(Collection)->Grid()
                           : nullptr;
    if (g != nullptr) g->BeginLayout();
    try {
        SetCollection(Collection);
        RefreshDefaultFont();
        FTitle->RefreshDefaultFont();
        FFont->OnChange = TNotifyEvent(this, &TColumn::FontChanged);
    } catch (...) {
        if (g != nullptr) g->EndLayout();
        throw;
    }
    if (g != nullptr) g->EndLayout();
}

TColumn::~TColumn() {
    FFont->OnChange = nullptr;
    FField = nullptr;
}

TCustomDBGrid* TColumn::Grid() const {
    TCollection* c = Collection();
    return c != nullptr && c->Is<TDBGridColumns>() ? static_cast<TDBGridColumns*>(c)->Grid() : nullptr;
}

std::string TColumn::DisplayName() const {
    if (!FFieldName.empty()) return FFieldName;
    return TCollectionItem::DisplayName();
}

void TColumn::Assign(TPersistent* Source) {
    if (Source == nullptr || !Source->Is<TColumn>()) {
        TCollectionItem::Assign(Source);
        return;
    }
    auto* c = static_cast<TColumn*>(Source);
    TCollection* coll = Collection();
    if (coll != nullptr) coll->BeginUpdate();
    try {
        RestoreDefaults();
        SetFieldName(c->FFieldName);
        TColumnValues v = c->FAssignedValues;
        if (v.Contains(cvColor)) SetColor(c->FColor);
        if (v.Contains(cvWidth)) SetWidth(c->FWidth);
        if (v.Contains(cvFont)) SetFont(c->FFont.get());
        if (v.Contains(cvAlignment)) SetAlignment(c->FAlignment);
        if (v.Contains(cvReadOnly)) SetReadOnly(c->FReadOnly);
        FTitle->Assign(c->FTitle.get());
        FVisible = c->FVisible;
        FButtonStyle = c->FButtonStyle;
        FDropDownRows = c->FDropDownRows;
        FPickList->Assign(c->FPickList.get());
    } catch (...) {
        if (coll != nullptr) coll->EndUpdate();
        throw;
    }
    if (coll != nullptr) coll->EndUpdate();
}

TField* TColumn::Field() const {
    if (FFieldResolved) return FField;
    TCustomDBGrid* g = Grid();
    if (g == nullptr || FFieldName.empty()) return nullptr;
    TDataLink* link = g->DataLink();
    TDataSet* ds = link->DataSet();
    if (!link->Active() || ds == nullptr) return nullptr;
    FField = ds->FindField(FFieldName);
    FFieldResolved = true;
    if (FField != nullptr) g->WatchField(FField);
    return FField;
}

void TColumn::SetField(TField* Value) {
    if (Value == nullptr) {
        SetFieldName(std::string());
        return;
    }
    FFieldName = Value->FieldName();
    FField = Value;
    FFieldResolved = true;
    if (TCustomDBGrid* g = Grid()) g->WatchField(Value);
    Changed(false);
}

void TColumn::SetFieldName(const std::string& Value) {
    if (Value == FFieldName && FFieldResolved) return;
    FFieldName = Value;
    FField = nullptr;
    FFieldResolved = false;
    Changed(false);
}

void TColumn::SetTitle(TColumnTitle* Value) {
    if (Value != nullptr) FTitle->Assign(Value);
}

int TColumn::DefaultWidth() const {
    TCustomDBGrid* g = Grid();
    TField* f = Field();
    if (g == nullptr || f == nullptr) return g != nullptr ? g->DefaultColWidth() : 64;
    int w = dbgrids_internal::TextWidthOf(FFont.get(), "0") * std::max(1, f->DisplayWidth());
    int tw = dbgrids_internal::TextWidthOf(FTitle->Font(), FTitle->Caption());
    return std::max(w, tw) + 4;
}

int TColumn::Width() const { return FAssignedValues.Contains(cvWidth) ? FWidth : DefaultWidth(); }

void TColumn::SetWidth(int Value) {
    Value = std::max(Value, 0);
    SetAssigned(cvWidth, FWidth, Value);
}

TAlignment TColumn::DefaultAlignment() const {
    TField* f = Field();
    return f != nullptr ? f->Alignment() : taLeftJustify;
}

TAlignment TColumn::Alignment() const {
    return FAssignedValues.Contains(cvAlignment) ? FAlignment : DefaultAlignment();
}

void TColumn::SetAlignment(TAlignment Value) {
    SetAssigned(cvAlignment, FAlignment, Value);
}

TColor TColumn::DefaultColor() const {
    TCustomDBGrid* g = Grid();
    return g != nullptr ? g->Color() : clWindow;
}

TColor TColumn::Color() const { return FAssignedValues.Contains(cvColor) ? FColor : DefaultColor(); }

void TColumn::SetColor(TColor Value) {
    SetAssigned(cvColor, FColor, Value);
}

TFont* TColumn::DefaultFont() const {
    TCustomDBGrid* g = Grid();
    return g != nullptr ? g->Font() : FFont.get();
}

TFont* TColumn::Font() const {
    const_cast<TColumn*>(this)->RefreshDefaultFont();
    return FFont.get();
}

void TColumn::SetFont(TFont* Value) {
    if (Value != nullptr) FFont->Assign(Value);
}

void TColumn::FontChanged(TObject*) {
    if (FFontUpdating > 0) return;
    FAssignedValues.Include(cvFont);
    Changed(false);
}

void TColumn::RefreshDefaultFont() {
    if (FAssignedValues.Contains(cvFont)) return;
    TCustomDBGrid* g = Grid();
    if (g == nullptr) return;
    ++FFontUpdating;
    FFont->Assign(g->Font());
    --FFontUpdating;
}

bool TColumn::DefaultReadOnly() const {
    TField* f = Field();
    return f != nullptr && f->ReadOnly();
}

bool TColumn::ReadOnly() const { return FAssignedValues.Contains(cvReadOnly) ? FReadOnly : DefaultReadOnly(); }

void TColumn::SetReadOnly(bool Value) {
    SetAssigned(cvReadOnly, FReadOnly, Value);
}

void TColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed(true);
}

TStrings* TColumn::PickList() const { return FPickList.get(); }

void TColumn::SetPickList(TStrings* Value) {
    if (Value == nullptr)
        FPickList->Clear();
    else
        FPickList->Assign(Value);
}

bool TColumn::IsPickListStored() const { return FPickList->Count() > 0; }

void TColumn::SetButtonStyle(TColumnButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    Changed(false);
}

void TColumn::SetDropDownRows(int Value) { FDropDownRows = std::max(Value, 1); }

void TColumn::RestoreDefaults() {
    bool title = FAssignedValues.Contains(cvTitleCaption) || FAssignedValues.Contains(cvTitleAlignment) ||
                 FAssignedValues.Contains(cvTitleColor) || FAssignedValues.Contains(cvTitleFont);
    FAssignedValues -= TColumnValues{cvColor, cvWidth, cvFont, cvAlignment, cvReadOnly};
    RefreshDefaultFont();
    if (title) FTitle->RestoreDefaults();
    Changed(false);
}

// ---------------------------------------------------------------------------
// TDBGridColumns
// ---------------------------------------------------------------------------

TDBGridColumns::TDBGridColumns(TCustomDBGrid* Grid, TClass ColumnClass) : TCollection(ColumnClass), FGrid(Grid) {}

TColumn* TDBGridColumns::Add() {
    // The application takes the columns over: the field columns go, in the same update
    // as the new column comes, so that the grid never sees an empty default collection.
    BeginUpdate();
    TColumn* c = nullptr;
    try {
        if (!FAddingDefault && Count() > 0 && State() == csDefault) Clear();
        c = static_cast<TColumn*>(TCollection::Add());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return c;
}

TColumn* TDBGridColumns::Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }

TPersistent* TDBGridColumns::GetOwner() const { return FGrid; }

TDBGridColumnsState TDBGridColumns::State() const {
    if (Count() == 0) return csDefault;
    return Items(0)->IsDefaultColumn() ? csDefault : csCustomized;
}

void TDBGridColumns::SetState(TDBGridColumnsState Value) {
    if (Value == State()) return;
    if (Value == csDefault) {
        Clear();
        if (FGrid != nullptr) FGrid->LayoutChanged();
    } else {
        BeginUpdate();
        for (int i = 0; i < Count(); ++i) Items(i)->FDefaultColumn = false;
        EndUpdate();
    }
}

void TDBGridColumns::RebuildColumns() {
    BeginUpdate();
    try {
        Clear();
        TDataSet* ds = FGrid != nullptr ? FGrid->DataLink()->DataSet() : nullptr;
        if (ds != nullptr && FGrid->DataLink()->Active())
            for (int i = 0; i < ds->FieldCount(); ++i) Add()->SetFieldName(ds->Fields(i)->FieldName());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TDBGridColumns::RestoreDefaults() {
    BeginUpdate();
    for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
    EndUpdate();
}

void TDBGridColumns::Update(TCollectionItem* Item) {
    (void)Item;
    if (FGrid != nullptr) FGrid->LayoutChanged();
}

// ---------------------------------------------------------------------------
// TBookmarkList
// ---------------------------------------------------------------------------

TBookmarkList::TBookmarkList(TCustomDBGrid* Grid) : FGrid(Grid) {}
TBookmarkList::~TBookmarkList() = default;

TBookmarkStr TBookmarkList::CurrentRow() const {
    TDataSet* ds = FGrid->DataLink()->DataSet();
    if (!FGrid->DataLink()->Active() || ds == nullptr || ds->IsEmpty()) return TBookmarkStr();
    return ds->Bookmark();
}

int TBookmarkList::Compare(const TBookmarkStr& A, const TBookmarkStr& B) const {
    TDataSet* ds = FGrid->DataLink()->DataSet();
    if (ds == nullptr) return A.compare(B);
    return ds->CompareBookmarks(A, B);
}

const TBookmarkStr& TBookmarkList::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FList[static_cast<size_t>(Index)];
}

void TBookmarkList::Clear() {
    if (FList.empty()) return;
    FList.clear();
    FCacheFind = false;
    FGrid->InvalidateGrid();
}

bool TBookmarkList::Find(const TBookmarkStr& Item, int& Index) {
    if (FCacheFind && Item == FCache) {
        Index = FCacheIndex;
        return Index < Count() && FList[static_cast<size_t>(Index)] == Item;
    }
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = Compare(FList[static_cast<size_t>(mid)], Item);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    Index = lo;
    FCache = Item;
    FCacheIndex = lo;
    FCacheFind = true;
    return found;
}

int TBookmarkList::IndexOf(const TBookmarkStr& Item) {
    int i = 0;
    return Find(Item, i) ? i : -1;
}

bool TBookmarkList::CurrentRowSelected() const {
    TBookmarkStr cur = CurrentRow();
    if (cur.empty()) return false;
    int i = 0;
    return const_cast<TBookmarkList*>(this)->Find(cur, i);
}

void TBookmarkList::SetCurrentRowSelected(bool Value) {
    TBookmarkStr cur = CurrentRow();
    if (cur.empty()) return;
    int i = 0;
    bool found = Find(cur, i);
    if (found == Value) return;
    if (Value)
        FList.insert(FList.begin() + i, cur);
    else
        FList.erase(FList.begin() + i);
    FCacheFind = false;
    FGrid->InvalidateGrid();
}

bool TBookmarkList::Refresh() {
    TDataSet* ds = FGrid->DataLink()->DataSet();
    if (ds == nullptr) return false;
    size_t before = FList.size();
    std::erase_if(FList, [ds](const TBookmarkStr& B) { return !ds->BookmarkValid(B); });
    FCacheFind = false;
    if (FList.size() != before) FGrid->InvalidateGrid();
    return FList.size() != before;
}

void TBookmarkList::Delete() {
    TDataSet* ds = FGrid->DataLink()->DataSet();
    if (ds == nullptr || FList.empty()) return;
    ds->DisableControls();
    try {
        // From the last so that no deletion moves a bookmark still to come.
        for (size_t i = FList.size(); i-- > 0;) {
            if (!ds->BookmarkValid(FList[i])) continue;
            ds->GotoBookmark(FList[i]);
            ds->Delete();
            FList.erase(FList.begin() + static_cast<std::ptrdiff_t>(i));
        }
    } catch (...) {
        FCacheFind = false;
        ds->EnableControls();
        throw;
    }
    FList.clear();
    FCacheFind = false;
    ds->EnableControls();
}

void TBookmarkList::AddRange(std::vector<TBookmarkStr> Range) {
    if (Range.empty()) return;
    if (FList.empty()) {
        FList = std::move(Range);
    } else {
        // Both lists are in the dataset's order: one merge, each record once.
        std::vector<TBookmarkStr> merged;
        merged.reserve(FList.size() + Range.size());
        size_t i = 0, j = 0;
        while (i < FList.size() && j < Range.size()) {
            int c = FList[i] == Range[j] ? 0 : Compare(FList[i], Range[j]);
            if (c == 0 && FList[i] != Range[j]) c = FList[i] < Range[j] ? -1 : 1;  // equal keys, two records
            if (c <= 0) {
                if (c == 0) ++j;
                merged.push_back(std::move(FList[i++]));
            } else {
                merged.push_back(std::move(Range[j++]));
            }
        }
        for (; i < FList.size(); ++i) merged.push_back(std::move(FList[i]));
        for (; j < Range.size(); ++j) merged.push_back(std::move(Range[j]));
        FList = std::move(merged);
    }
    FCacheFind = false;
    FGrid->InvalidateGrid();
}

void TBookmarkList::LinkActive(bool Value) {
    (void)Value;
    FList.clear();
    FCacheFind = false;
}

}  // namespace host
