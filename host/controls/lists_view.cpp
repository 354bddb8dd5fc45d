// TListView with its columns and items: report and icon layouts, selection, sorting, caption editing, column sizing, streaming.
#include <algorithm>
#include <cstdlib>

#include "host/app/app.h"
#include "host/controls/controls_internal.h"
#include "host/controls/lists.h"
#include "host/controls/lists_internal.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace lists_internal;

namespace {
constexpr UINT_PTR kEditTimer = 0x4C56;   // the delay between a click on the selected caption and its edit
constexpr UINT kEditDelayMs = 500;        // the double-click time: a double click never starts an edit
constexpr int kDividerSlop = 4;           // how near a heading's edge the mouse sizes the column
}  // namespace

// The in-place caption editor: a bordered edit over the caption that keeps Enter and
// Escape for itself and ends the edit when it loses the focus.
class TListViewEditor : public TEdit {
    HOST_CLASS(TListViewEditor, TEdit)
public:
    TListViewEditor(TComponent* AOwner, TListView* View) : TEdit(AOwner), FView(View) {
        SetTabStop(false);
        SetVisible(false);
        SetAutoSize(false);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TEdit::KeyDown(Key, Shift);
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            bool keep = Key == VK_RETURN;
            Key = 0;
            FView->EndEdit(keep);
        }
    }
    void KeyPress(char& Key) override {
        if (Key == '\r' || Key == 27) Key = 0;  // ended in KeyDown; no beep, no character
        else TEdit::KeyPress(Key);
    }

private:
    TListView* FView;
    void WMGetDlgCodeLE(TMessage& Message) {
        Inherited(Message);
        Message.Result |= DLGC_WANTALLKEYS;
    }
    void WMKillFocusLE(TMessage& Message) {
        Inherited(Message);
        if (FView->IsEditing()) FView->EndEdit(true);
    }
    HOST_MESSAGES(on(WM_GETDLGCODE, &TListViewEditor::WMGetDlgCodeLE), on(WM_KILLFOCUS, &TListViewEditor::WMKillFocusLE))
};

// ---------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

void TListColumn::Assign(TPersistent* Source) {
    if (auto* c = dynamic_cast<TListColumn*>(Source)) {
        FCaption = c->FCaption;
        FWidth = c->FWidth;
        FAlignment = c->FAlignment;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

std::string TListColumn::DisplayName() const { return FCaption.empty() ? TCollectionItem::DisplayName() : FCaption; }

void TListColumn::SetCaption(const std::string& Value) {
    FCaption = Value;
    Changed(false);
}

void TListColumn::SetWidth(int Value) {
    FWidth = std::max(0, Value);
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}

TListColumns::TListColumns(TListView* Owner) : TCollection(TListColumn::StaticClass()), FOwner(Owner) {}

TListColumn* TListColumns::Add() { return static_cast<TListColumn*>(TCollection::Add()); }
TListColumn* TListColumns::Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
TPersistent* TListColumns::GetOwner() const { return FOwner; }

void TListColumns::Update(TCollectionItem*) {
    if (FOwner != nullptr) FOwner->Invalidate();
}

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------

TListItem::TListItem(TListItems* Owner) : FOwner(Owner), FSubItems(std::make_unique<TStringList>()) {
    FSubItems->OnChange = [this](TObject* Sender) { SubItemsChanged(Sender); };
}

TListItem::~TListItem() { FSubItems->OnChange = nullptr; }

TListView* TListItem::ListView() const { return FOwner->Owner(); }

void TListItem::SubItemsChanged(TObject*) { ListView()->ItemChanged(this, ctText); }

void TListItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    ListView()->ItemChanged(this, ctText);
}

void TListItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    ListView()->ItemChanged(this, ctImage);
}

void TListItem::SetSelected(bool Value) {
    if (FSelected == Value) return;
    ListView()->ItemSelectChanged(this, Value);
}

bool TListItem::Focused() const { return ListView()->ItemFocused() == this; }

void TListItem::SetFocused(bool Value) {
    if (Value)
        ListView()->SetItemFocused(this);
    else if (Focused())
        ListView()->SetItemFocused(nullptr);
}

int TListItem::Index() const { return FOwner->IndexOf(this); }
void TListItem::Delete() { FOwner->Delete(Index()); }
void TListItem::MakeVisible(bool) { ListView()->MakeIndexVisible(Index()); }
TRect TListItem::DisplayRect() const { return ListView()->ItemRectAt(Index()); }

bool TListItem::EditCaption() {
    TListView* v = ListView();
    if (v == nullptr || v->FReadOnly || !v->HandleAllocated() || !v->CanEdit(this)) return false;
    if (v->IsEditing()) v->EndEdit(true);
    v->MakeIndexVisible(Index());
    if (v->FEditor == nullptr) {
        v->FEditor = new TListViewEditor(v, v);
        v->FEditor->SetParent(v);
    }
    TRect r = v->CaptionRect(Index());
    int h = FontRowHeight(v->Font()) + 4;
    v->FEditor->SetBounds(r.left, r.top + (r.bottom - r.top - h) / 2, std::max(40, r.right - r.left + 16), h);
    v->FEditor->SetText(FCaption);
    v->FEditItem = this;
    v->FEditor->Show();
    v->FEditor->SetFocus();
    v->FEditor->SelectAll();
    return true;
}

void TListItem::CancelEdit() {
    TListView* v = ListView();
    if (v != nullptr && v->FEditItem == this) v->EndEdit(false);
}

TListItems::TListItems(TListView* Owner) : FOwner(Owner) {}
TListItems::~TListItems() = default;

TPersistent* TListItems::GetOwner() const { return FOwner; }

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    auto item = std::make_unique<TListItem>(this);
    TListItem* p = item.get();
    FItems.insert(FItems.begin() + Index, std::move(item));
    FOwner->ItemChanged(nullptr, ctState);
    return p;
}

void TListItems::Delete(int Index) {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    FOwner->ItemRemoving(FItems[static_cast<size_t>(Index)].get());
    FItems.erase(FItems.begin() + Index);
    FOwner->ItemChanged(nullptr, ctState);
}

void TListItems::Clear() {
    BeginUpdate();
    while (Count() > 0) Delete(Count() - 1);
    EndUpdate();
}

TListItem* TListItems::Item(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

int TListItems::IndexOf(const TListItem* Value) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Value) return static_cast<int>(i);
    return -1;
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) FOwner->ItemChanged(nullptr, ctState);
}

void TListItems::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TListItems*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    BeginUpdate();
    Clear();
    for (const auto& s : src->FItems) {
        TListItem* d = Add();
        d->FCaption = s->FCaption;
        d->FImageIndex = s->FImageIndex;
        d->FData = s->FData;
        d->FSubItems->Assign(s->FSubItems.get());
    }
    EndUpdate();
}

void TListItems::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty("Data", TReaderProc(this, &TListItems::ReadData), TWriterProc(this, &TListItems::WriteData),
                          Count() > 0);
}

// Each item: its caption, image index and a list of its sub-items.
void TListItems::ReadData(TReader* Reader) {
    BeginUpdate();
    Clear();
    Reader->ReadListBegin();
    while (!Reader->EndOfList()) {
        TListItem* item = Add();
        item->FCaption = Reader->ReadString();
        item->FImageIndex = Reader->ReadInteger();
        Reader->ReadListBegin();
        while (!Reader->EndOfList()) item->FSubItems->Add(Reader->ReadString());
        Reader->ReadListEnd();
    }
    Reader->ReadListEnd();
    EndUpdate();
}

void TListItems::WriteData(TWriter* Writer) {
    Writer->WriteListBegin();
    for (const auto& item : FItems) {
        Writer->WriteString(item->FCaption);
        Writer->WriteInteger(item->FImageIndex);
        Writer->WriteListBegin();
        for (int i = 0; i < item->FSubItems->Count(); ++i) Writer->WriteString(item->FSubItems->Strings(i));
        Writer->WriteListEnd();
    }
    Writer->WriteListEnd();
}

// ---------------------------------------------------------------------------
// TListView
// ---------------------------------------------------------------------------

TListView::TListView(TComponent* AOwner)
    : TWinControl(AOwner),
      FColumns(std::make_unique<TListColumns>(this)),
      FItems(std::make_unique<TListItems>(this)),
      FCanvas(std::make_unique<TCanvas>()) {
    SetBounds(Left(), Top(), 250, 150);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
}

TListView::~TListView() {
    FEditItem = nullptr;
    FClickEditItem = nullptr;
    if (FEditor != nullptr) {
        TListViewEditor* e = FEditor;
        FEditor = nullptr;
        delete e;
    }
    if (FLargeImages != nullptr) FLargeImages->RemoveFreeNotification(this);
    if (FSmallImages != nullptr) FSmallImages->RemoveFreeNotification(this);
    FFocused = nullptr;
    FItems->FItems.clear();
}

void TListView::SetColumns(TListColumns* Value) { FColumns->Assign(Value); }
void TListView::SetItems(TListItems* Value) { FItems->Assign(Value); }

void TListView::SetViewStyle(TViewStyle Value) {
    if (FViewStyle == Value) return;
    FViewStyle = Value;
    FTopIndex = 0;
    UpdateScrollBar();
    Invalidate();
}

void TListView::SetLargeImages(TCustomImageList* Value) {
    if (FLargeImages == Value) return;
    if (FLargeImages != nullptr) FLargeImages->RemoveFreeNotification(this);
    FLargeImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    Invalidate();
}

void TListView::SetSmallImages(TCustomImageList* Value) {
    if (FSmallImages == Value) return;
    if (FSmallImages != nullptr) FSmallImages->RemoveFreeNotification(this);
    FSmallImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    Invalidate();
}

void TListView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FLargeImages) FLargeImages = nullptr;
    if (AComponent == FSmallImages) FSmallImages = nullptr;
}

TListItem* TListView::Selected() const {
    for (const auto& i : FItems->FItems)
        if (i->FSelected) return i.get();
    return nullptr;
}

void TListView::SetSelected(TListItem* Value) {
    for (const auto& i : FItems->FItems)
        if (i.get() != Value && i->FSelected) ItemSelectChanged(i.get(), false);
    if (Value != nullptr && !Value->FSelected) ItemSelectChanged(Value, true);
}

void TListView::SetItemFocused(TListItem* Value) {
    if (FFocused == Value) return;
    FFocused = Value;
    Invalidate();
}

int TListView::SelCount() const {
    return static_cast<int>(std::count_if(FItems->FItems.begin(), FItems->FItems.end(),
                                          [](const auto& i) { return i->FSelected; }));
}

void TListView::SetMultiSelect(bool Value) {
    FMultiSelect = Value;
    if (!Value) SetSelected(Selected());
}

void TListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    Invalidate();
}

void TListView::SetGridLines(bool Value) {
    FGridLines = Value;
    Invalidate();
}

void TListView::SetShowColumnHeaders(bool Value) {
    FShowColumnHeaders = Value;
    UpdateScrollBar();
    Invalidate();
}

void TListView::SetSortType(TSortType Value) {
    FSortType = Value;
    if (Value != stNone && !ComponentState().Contains(csLoading)) AlphaSort();
}

void TListView::ItemChanged(TListItem* Item, TItemChange Change) {
    if (FItems->FUpdateCount > 0) return;
    if (Item != nullptr && Change == ctText && (FSortType == stText || FSortType == stBoth)) AlphaSort();
    UpdateScrollBar();
    Invalidate();
    if (Item != nullptr) OnChange(this, Item, Change);
}

void TListView::ItemSelectChanged(TListItem* Item, bool Value) {
    Item->FSelected = Value;
    Invalidate();
    OnChange(this, Item, ctState);
    OnSelectItem(this, Item, Value);
}

void TListView::ItemRemoving(TListItem* Item) {
    if (FFocused == Item) FFocused = nullptr;
    if (FClickEditItem == Item) FClickEditItem = nullptr;
    if (FEditItem == Item) EndEdit(false);
    if (Item->FSelected) {
        Item->FSelected = false;
        OnSelectItem(this, Item, false);
    }
    FAnchor = -1;
}

// --- layout ----------------------------------------------------------------------

int TListView::RowHeight() const {
    int h = FontRowHeight(Font()) + 1;
    if (FSmallImages != nullptr) h = std::max(h, FSmallImages->Height() + 1);
    return h;
}

int TListView::HeaderHeight() const {
    return FViewStyle == vsReport && FShowColumnHeaders ? FontRowHeight(Font()) + 6 : 0;
}

TSize TListView::CellSize() const {
    int text = FontRowHeight(Font());
    if (FViewStyle == vsIcon) {
        int iw = FLargeImages ? FLargeImages->Width() : 32, ih = FLargeImages ? FLargeImages->Height() : 32;
        return TSize{std::max(75, iw + 16), ih + text * 2 + 8};
    }
    return TSize{120, RowHeight()};
}

int TListView::CellsPerRow() const {
    if (FViewStyle == vsReport) return 1;
    return std::max(1, ClientWidth() / std::max(1, CellSize().cx));
}

int TListView::VisibleCount() const {
    int h = FViewStyle == vsReport ? RowHeight() : CellSize().cy;
    return std::max(1, (ClientHeight() - HeaderHeight()) / std::max(1, h));
}

int TListView::ItemCountInView() const { return VisibleCount() * CellsPerRow(); }

TRect TListView::ItemRectAt(int Index) const {
    if (Index < 0 || Index >= FItems->Count()) return TRect{};
    int per = CellsPerRow();
    int row = Index / per - FTopIndex, col = Index % per;
    if (FViewStyle == vsReport) {
        int h = RowHeight(), y = HeaderHeight() + row * h;
        int w = FColumns->Count() == 0 ? ClientWidth() : ColumnsWidth();
        return TRect{-FScrollX, y, w - FScrollX, y + h};
    }
    TSize cs = CellSize();
    return TRect{col * cs.cx, row * cs.cy, (col + 1) * cs.cx, (row + 1) * cs.cy};
}

int TListView::IndexAt(int X, int Y) const {
    if (Y < HeaderHeight() || (X < 0 && FViewStyle != vsReport)) return -1;
    int per = CellsPerRow();
    int h = FViewStyle == vsReport ? RowHeight() : CellSize().cy;
    int row = (Y - HeaderHeight()) / std::max(1, h) + FTopIndex;
    int col = FViewStyle == vsReport ? 0 : X / std::max(1, CellSize().cx);
    if (col >= per) return -1;
    int i = row * per + col;
    if (i >= FItems->Count()) return -1;
    TRect r = ItemRectAt(i);
    if (FViewStyle == vsReport && (X >= r.right || X < r.left)) return -1;
    return i;
}

TListItem* TListView::GetItemAt(int X, int Y) const {
    int i = IndexAt(X, Y);
    return i >= 0 ? FItems->Item(i) : nullptr;
}

void TListView::MakeIndexVisible(int Index) {
    if (Index < 0) return;
    int row = Index / CellsPerRow();
    int vis = VisibleCount();
    int top = FTopIndex;
    if (row < top) top = row;
    else if (row >= top + vis) top = row - vis + 1;
    if (top != FTopIndex) Scroll(0, top - FTopIndex);
}

void TListView::Scroll(int DX, int DY) {
    int rows = (FItems->Count() + CellsPerRow() - 1) / CellsPerRow();
    int top = std::clamp(FTopIndex + DY, 0, std::max(0, rows - VisibleCount()));
    int x = FViewStyle == vsReport ? std::clamp(FScrollX + DX, 0, std::max(0, ColumnsWidth() - ClientWidth())) : 0;
    if (top == FTopIndex && x == FScrollX) return;
    if (IsEditing()) EndEdit(true);
    FTopIndex = top;
    FScrollX = x;
    UpdateScrollBar();
    Invalidate();
}

void TListView::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    int rows = (FItems->Count() + CellsPerRow() - 1) / CellsPerRow();
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, rows - VisibleCount()));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, rows - 1);
    si.nPage = static_cast<UINT>(VisibleCount());
    si.nPos = FTopIndex;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    // The columns of vsReport scroll sideways when they are wider than the view.
    int total = FViewStyle == vsReport ? ColumnsWidth() : 0;
    FScrollX = std::clamp(FScrollX, 0, std::max(0, total - ClientWidth()));
    SCROLLINFO hi;
    hi.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    hi.nMin = 0;
    hi.nMax = total > ClientWidth() ? total - 1 : 0;
    hi.nPage = total > ClientWidth() ? static_cast<UINT>(ClientWidth()) : 0;
    hi.nPos = FScrollX;
    SetScrollInfo(Handle(), SB_HORZ, &hi, TRUE);
}

int TListView::ColumnsWidth() const {
    int w = 0;
    for (int c = 0; c < FColumns->Count(); ++c) w += FColumns->Items(c)->Width();
    return w;
}

int TListView::DividerAt(int X) const {
    if (FViewStyle != vsReport || HeaderHeight() == 0) return -1;
    int x = -FScrollX, found = -1;
    for (int i = 0; i < FColumns->Count(); ++i) {
        x += FColumns->Items(i)->Width();
        // The last column whose edge is near wins, so a zero-width column can be pulled open.
        if (std::abs(X - x) <= kDividerSlop) found = i;
    }
    return found;
}

// The widest text of the column (heading included) plus the margins the painter uses.
void TListView::AutoSizeColumn(int Index) {
    lists_internal::TScreenDC dc;
    controls_internal::TCanvasOnDC on(FCanvas.get(), dc.Get(), Font());
    TListColumn* col = FColumns->Items(Index);
    int w = FCanvas->TextWidth(col->Caption()) + 12;
    for (int i = 0; i < FItems->Count(); ++i) {
        TListItem* item = FItems->Item(i);
        std::string t = Index == 0 ? item->FCaption
                        : Index - 1 < item->FSubItems->Count() ? item->FSubItems->Strings(Index - 1)
                                                               : std::string();
        int extra = Index == 0 && FSmallImages != nullptr ? FSmallImages->Width() + 2 : 0;
        w = std::max(w, FCanvas->TextWidth(t) + 8 + extra);
    }
    col->SetWidth(w);
    UpdateScrollBar();
    OnColumnResize(this, col);
}

TRect TListView::CaptionRect(int Index) const {
    TRect r = ItemRectAt(Index);
    if (FViewStyle == vsReport) {
        int left = r.left + (FSmallImages != nullptr ? FSmallImages->Width() + 2 : 0);
        int right = FColumns->Count() > 0 ? r.left + FColumns->Items(0)->Width() : r.right;
        return TRect{left, r.top, std::max(left, right), r.bottom};
    }
    if (FViewStyle == vsIcon) {
        int ih = FLargeImages ? FLargeImages->Height() : 32;
        int th = FontRowHeight(Font());
        return TRect{r.left, r.top + ih + 4, r.right, r.top + ih + 4 + th};
    }
    int left = r.left + (FSmallImages != nullptr ? FSmallImages->Width() + 2 : 0);
    return TRect{left, r.top, r.right, r.bottom};
}

bool TListView::CanEdit(TListItem* Item) {
    bool allow = true;
    OnEditing(this, Item, allow);
    return allow;
}

void TListView::Edit(TListItem* Item, std::string& Text) { OnEdited(this, Item, Text); }

bool TListView::IsEditing() const { return FEditItem != nullptr; }
TCustomEdit* TListView::EditControl() const { return FEditor; }

void TListView::EndEdit(bool Keep) {
    if (FEditItem == nullptr) return;
    TListItem* item = FEditItem;
    FEditItem = nullptr;
    std::string text = FEditor->Text();
    bool hadFocus = FEditor->Focused();
    FEditor->Hide();
    if (hadFocus && CanFocus()) SetFocus();
    if (!Keep) return;
    controls_internal::TAliveGuard alive(this);
    Edit(item, text);
    if (alive.Alive() && FItems->IndexOf(item) >= 0 && text != item->FCaption) item->SetCaption(text);
}

void TListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::Resize() {
    TWinControl::Resize();
    UpdateScrollBar();
}

void TListView::Loaded() {
    TWinControl::Loaded();
    if (FSortType != stNone) AlphaSort();
    UpdateScrollBar();
}

// --- sorting ---------------------------------------------------------------------

void TListView::SortItems(TLVCompare Proc, int Data, bool UseEvent) {
    auto& v = FItems->FItems;
    std::stable_sort(v.begin(), v.end(), [&](const auto& a, const auto& b) {
        int r;
        if (Proc != nullptr)
            r = Proc(a.get(), b.get(), Data);
        else if (UseEvent && OnCompare) {
            r = 0;
            OnCompare(this, a.get(), b.get(), Data, r);
        } else
            r = AnsiCompareText(a->FCaption, b->FCaption);
        return r < 0;
    });
    Invalidate();
}

bool TListView::AlphaSort() {
    SortItems(nullptr, 0, true);
    return true;
}

bool TListView::CustomSort(TLVCompare SortProc, int Data) {
    SortItems(SortProc, Data, true);
    return true;
}

// --- painting --------------------------------------------------------------------

void TListView::PaintWindow(HDC DC) {
    controls_internal::TCanvasOnDC on(FCanvas.get(), DC, Font());
    TCanvas* c = FCanvas.get();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    int th = c->TextHeight("Wg");
    int n = FItems->Count();
    int first = FTopIndex * CellsPerRow();
    int last = std::min(n, first + (VisibleCount() + 1) * CellsPerRow());
    if (FViewStyle == vsReport) {
        int hh = HeaderHeight();
        std::vector<std::pair<int, int>> cols;  // left, right
        int x = -FScrollX;
        for (int i = 0; i < FColumns->Count(); ++i) {
            int w = FColumns->Items(i)->Width();
            cols.emplace_back(x, x + w);
            x += w;
        }
        if (cols.empty()) cols.emplace_back(0, ClientWidth());
        int rowLeft = cols.front().first;
        for (int i = first; i < last; ++i) {
            TListItem* item = FItems->Item(i);
            TRect row = ItemRectAt(i);
            bool sel = item->FSelected;
            for (size_t col = 0; col < cols.size(); ++col) {
                TRect cell{cols[col].first, row.top, cols[col].second, row.bottom};
                std::string text = col == 0 ? item->FCaption
                                   : static_cast<int>(col) - 1 < item->FSubItems->Count()
                                       ? item->FSubItems->Strings(static_cast<int>(col) - 1)
                                       : std::string();
                int tx = cell.left + 2;
                if (col == 0 && FSmallImages != nullptr) {
                    if (item->FImageIndex >= 0)
                        FSmallImages->Draw(c, cell.left + 2, cell.top + (cell.bottom - cell.top - FSmallImages->Height()) / 2,
                                           item->FImageIndex, Enabled());
                    tx += FSmallImages->Width() + 2;
                }
                bool hilite = sel && (col == 0 || FRowSelect);
                TRect textRect{tx - 2, cell.top, cell.right, cell.bottom};
                if (col == 0 && !FRowSelect) textRect.right = std::min(cell.right, tx + c->TextWidth(text) + 2);
                c->Brush()->SetStyle(bsSolid);
                c->Brush()->SetColor(hilite ? clHighlight : Color());
                c->FillRect(textRect);
                c->Font()->SetColor(hilite ? clHighlightText : Font()->Color());
                TAlignment al = col < static_cast<size_t>(FColumns->Count()) ? FColumns->Items(static_cast<int>(col))->Alignment()
                                                                             : taLeftJustify;
                int w = c->TextWidth(text);
                int ax = al == taRightJustify ? cell.right - w - 4 : al == taCenter ? (cell.left + cell.right - w) / 2 : tx;
                TRect clip{textRect.left, cell.top, cell.right - 2, cell.bottom};
                c->Brush()->SetStyle(bsClear);
                c->TextRect(clip, ax, cell.top + (cell.bottom - cell.top - th) / 2, text);
                if (col == 0 && !FRowSelect && Focused() && item == FFocused) DrawFocusRect(DC, &textRect);
            }
            if (FRowSelect && Focused() && item == FFocused) {
                TRect fr{rowLeft, row.top, cols.back().second, row.bottom};
                DrawFocusRect(DC, &fr);
            }
            if (FGridLines) {
                c->Pen()->SetColor(clBtnFace);
                c->MoveTo(rowLeft, row.bottom - 1);
                c->LineTo(cols.back().second, row.bottom - 1);
            }
        }
        if (FGridLines) {
            c->Pen()->SetColor(clBtnFace);
            for (auto& col : cols) {
                c->MoveTo(col.second - 1, hh);
                c->LineTo(col.second - 1, ClientHeight());
            }
        }
        if (hh > 0) {
            for (int i = 0; i < FColumns->Count(); ++i) {
                TRect r{cols[static_cast<size_t>(i)].first, 0, cols[static_cast<size_t>(i)].second, hh};
                DrawFrameControl(DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
                c->Brush()->SetStyle(bsClear);
                c->Font()->SetColor(clBtnText);
                TListColumn* colm = FColumns->Items(i);
                int w = c->TextWidth(colm->Caption());
                int ax = colm->Alignment() == taRightJustify ? r.right - w - 6
                         : colm->Alignment() == taCenter     ? (r.left + r.right - w) / 2
                                                             : r.left + 6;
                TRect clip{r.left + 2, r.top, r.right - 2, r.bottom};
                c->TextRect(clip, ax, (hh - th) / 2, colm->Caption());
            }
            // The rest of the header row is an empty heading.
            TRect rest{cols.back().second, 0, std::max(ClientWidth(), cols.back().second), hh};
            if (rest.right > rest.left) DrawFrameControl(DC, &rest, DFC_BUTTON, DFCS_BUTTONPUSH);
        }
        return;
    }
    // Icon layouts.
    TCustomImageList* images = FViewStyle == vsIcon ? FLargeImages : FSmallImages;
    for (int i = first; i < last; ++i) {
        TListItem* item = FItems->Item(i);
        TRect cell = ItemRectAt(i);
        TRect textRect;
        if (FViewStyle == vsIcon) {
            int iw = images ? images->Width() : 32, ih = images ? images->Height() : 32;
            if (images && item->FImageIndex >= 0)
                images->Draw(c, cell.left + (cell.right - cell.left - iw) / 2, cell.top + 2, item->FImageIndex, Enabled());
            int w = std::min(cell.right - cell.left - 4, c->TextWidth(item->FCaption) + 4);
            int tx = cell.left + (cell.right - cell.left - w) / 2;
            textRect = TRect{tx, cell.top + ih + 4, tx + w, cell.top + ih + 4 + th + 2};
        } else {
            int tx = cell.left + 2;
            if (images) {
                if (item->FImageIndex >= 0)
                    images->Draw(c, tx, cell.top + (cell.bottom - cell.top - images->Height()) / 2, item->FImageIndex,
                                 Enabled());
                tx += images->Width() + 2;
            }
            textRect = TRect{tx, cell.top, std::min(cell.right - 2, tx + c->TextWidth(item->FCaption) + 4), cell.bottom};
        }
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(item->FSelected ? clHighlight : Color());
        c->FillRect(textRect);
        c->Font()->SetColor(item->FSelected ? clHighlightText : Font()->Color());
        c->Brush()->SetStyle(bsClear);
        c->TextRect(textRect, textRect.left + 2, textRect.top + (textRect.bottom - textRect.top - th) / 2, item->FCaption);
        if (Focused() && item == FFocused) DrawFocusRect(DC, &textRect);
    }
}

// --- input -----------------------------------------------------------------------

void TListView::SelectByUser(int Index, TShiftState Shift) {
    int n = FItems->Count();
    if (n == 0) return;
    Index = std::clamp(Index, 0, n - 1);
    TListItem* target = FItems->Item(Index);
    bool ctrl = FMultiSelect && Shift.Contains(ssCtrl), shift = FMultiSelect && Shift.Contains(ssShift);
    if (shift && FAnchor >= 0 && FAnchor < n) {
        int a = std::min(FAnchor, Index), b = std::max(FAnchor, Index);
        for (int i = 0; i < n; ++i) {
            bool want = (i >= a && i <= b) || (ctrl && FItems->Item(i)->FSelected);
            if (FItems->Item(i)->FSelected != want) ItemSelectChanged(FItems->Item(i), want);
        }
    } else if (ctrl) {
        ItemSelectChanged(target, !target->FSelected);
        FAnchor = Index;
    } else {
        SetSelected(target);
        FAnchor = Index;
    }
    FFocused = target;
    MakeIndexVisible(Index);
    Invalidate();
}

void TListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (IsEditing()) EndEdit(true);
    if (FClickEditItem != nullptr) {
        KillTimer(Handle(), kEditTimer);
        FClickEditItem = nullptr;
    }
    // A click on the caption of the item that is already the only selection edits it later.
    TListItem* wasSelected = Focused() && SelCount() == 1 ? Selected() : nullptr;
    if (CanFocus() && !Focused()) SetFocus();
    int divider = Button == mbLeft && Y < HeaderHeight() ? DividerAt(X) : -1;
    if (divider >= 0) {
        if (Shift.Contains(ssDouble)) {
            AutoSizeColumn(divider);
        } else {
            FSizingColumn = divider;
            FSizingStartX = X;
            FSizingStartWidth = FColumns->Items(divider)->Width();
            SetMouseCapture(true);
        }
    } else if (Button == mbLeft && Y < HeaderHeight()) {
        int x = -FScrollX;
        for (int i = 0; i < FColumns->Count(); ++i) {
            int w = FColumns->Items(i)->Width();
            if (X >= x && X < x + w) {
                OnColumnClick(this, FColumns->Items(i));
                break;
            }
            x += w;
        }
    } else if (Button == mbLeft || Button == mbRight) {
        int i = IndexAt(X, Y);
        TPoint p{X, Y};
        TRect cap = i >= 0 ? CaptionRect(i) : TRect{};
        if (i >= 0 && Button == mbLeft && !FReadOnly && !Shift.Contains(ssDouble) && !Shift.Contains(ssShift) &&
            !Shift.Contains(ssCtrl) && wasSelected == FItems->Item(i) && PtInRect(&cap, p))
            FClickEditItem = FItems->Item(i);
        if (i >= 0)
            SelectByUser(i, Button == mbLeft ? Shift : TShiftState());
        else if (Button == mbLeft && !Shift.Contains(ssCtrl) && !Shift.Contains(ssShift))
            SetSelected(nullptr);
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TListView::MouseMove(TShiftState Shift, int X, int Y) {
    if (FSizingColumn >= 0 && FSizingColumn < FColumns->Count()) {
        FColumns->Items(FSizingColumn)->SetWidth(std::max(0, FSizingStartWidth + X - FSizingStartX));
        Update();
    }
    TWinControl::MouseMove(Shift, X, Y);
}

void TListView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FSizingColumn >= 0) {
        int col = FSizingColumn;
        FSizingColumn = -1;
        SetMouseCapture(false);
        UpdateScrollBar();
        if (col < FColumns->Count() && FColumns->Items(col)->Width() != FSizingStartWidth)
            OnColumnResize(this, FColumns->Items(col));
    }
    if (FClickEditItem != nullptr && Button == mbLeft) SetTimer(Handle(), kEditTimer, kEditDelayMs, nullptr);
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TListView::WMTimer(TMessage& Message) {
    if (Message.WParam != kEditTimer) {
        Inherited(Message);
        return;
    }
    KillTimer(Handle(), kEditTimer);
    TListItem* item = FClickEditItem;
    FClickEditItem = nullptr;
    if (item != nullptr && item == Selected()) item->EditCaption();
}

void TListView::WMSetCursor(TMessage& Message) {
    POINT sp{};
    GetCursorPos(&sp);
    TPoint p = ScreenToClient(TPoint{sp.x, sp.y});
    if (LOWORD(Message.LParam) == HTCLIENT && (FSizingColumn >= 0 || (p.y < HeaderHeight() && DividerAt(p.x) >= 0))) {
        ::host::SetCursor(Screen != nullptr ? Screen->Cursors(crHSplit) : nullptr);
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TListView::WMHScroll(TMessage& Message) {
    int maxX = std::max(0, ColumnsWidth() - ClientWidth());
    int x = controls_internal::ScrollTarget(Message, Handle(), SB_HORZ, FScrollX, 8, std::max(8, ClientWidth() - 8),
                                            maxX);
    Scroll(x - FScrollX, 0);
    Message.Result = 0;
}

void TListView::KeyDown(WORD& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key == VK_F2 && FFocused != nullptr) {
        FFocused->EditCaption();
        Key = 0;
        return;
    }
    int n = FItems->Count();
    if (n == 0 || Key == 0) return;
    int cur = FFocused != nullptr ? FFocused->Index() : -1;
    int per = CellsPerRow(), page = std::max(1, VisibleCount() - 1) * per;
    int target;
    switch (Key) {
        case VK_UP: target = cur - per; break;
        case VK_DOWN: target = cur + per; break;
        case VK_LEFT: if (FViewStyle == vsReport) return; target = cur - 1; break;
        case VK_RIGHT: if (FViewStyle == vsReport) return; target = cur + 1; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = n - 1; break;
        case VK_PRIOR: target = cur - page; break;
        case VK_NEXT: target = cur + page; break;
        case VK_SPACE:
            if (FFocused != nullptr && FMultiSelect && Shift.Contains(ssCtrl)) ItemSelectChanged(FFocused, !FFocused->FSelected);
            Key = 0;
            return;
        default: return;
    }
    if (cur < 0) target = 0;
    SelectByUser(std::clamp(target, 0, n - 1), Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) ? TShiftState() : Shift);
    Key = 0;
}

void TListView::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TListView::WMVScroll(TMessage& Message) {
    int rows = (FItems->Count() + CellsPerRow() - 1) / CellsPerRow();
    int top = controls_internal::ScrollTarget(Message, Handle(), SB_VERT, FTopIndex, 1, std::max(1, VisibleCount() - 1), rows);
    Scroll(0, top - FTopIndex);
    Message.Result = 0;
}

}  // namespace host
