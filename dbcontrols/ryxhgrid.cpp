// The hierarchical data grid (unit Ryxhgrid): master rows with the current record's detail rows beneath it.
#include "dbcontrols/ryxhgrid.h"

#include <algorithm>

#include "host/gdi/gdi.h"

namespace ryx {

using namespace host;

// The link to the detail data source: any change there lays the grid's rows out again.
class TryxHDetailLink : public TDataLink {
    HOST_CLASS(TryxHDetailLink, TDataLink)
public:
    explicit TryxHDetailLink(TryxCustomHDBGrid* Grid) : FGrid(Grid) {}

protected:
    void ActiveChanged() override { FGrid->DetailChanged(); }
    void DataSetChanged() override { FGrid->DetailChanged(); }
    void DataSetScrolled(int Distance) override {
        (void)Distance;
        FGrid->DetailChanged();
    }
    void LayoutChanged() override { FGrid->DetailChanged(); }
    void RecordChanged(TField* Field) override {
        (void)Field;
        FGrid->DetailChanged();
    }

private:
    TryxCustomHDBGrid* FGrid;
};

TryxCustomHDBGrid::TryxCustomHDBGrid(TComponent* AOwner)
    : TCustomDBGrid(AOwner), FDetailLink(std::make_unique<TryxHDetailLink>(this)) {
    FDetailLink->SetBufferCount(FMaxDetailRows);
}

TryxCustomHDBGrid::~TryxCustomHDBGrid() {
    OnRowEnter = nullptr;
    FDetailLink->SetDataSource(nullptr);
}

TDataSource* TryxCustomHDBGrid::DetailDataSource() const { return FDetailLink->DataSource(); }

void TryxCustomHDBGrid::SetDetailDataSource(TDataSource* Value) {
    TDataSource* old = FDetailLink->DataSource();
    if (Value == old) return;
    if (old != nullptr) old->RemoveFreeNotification(this);
    FDetailLink->SetDataSource(Value);
    if (Value != nullptr) Value->FreeNotification(this);
    RowLayoutChanged();
}

void TryxCustomHDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomDBGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && FDetailLink != nullptr && AComponent == FDetailLink->DataSource())
        SetDetailDataSource(nullptr);
}

void TryxCustomHDBGrid::SetMaxDetailRows(int Value) {
    Value = std::max(Value, 1);
    if (Value == FMaxDetailRows) return;
    FMaxDetailRows = Value;
    FDetailLink->SetBufferCount(Value);
    RowLayoutChanged();
}

void TryxCustomHDBGrid::SetDetailIndent(int Value) {
    FDetailIndent = std::max(Value, 0);
    InvalidateGrid();
}

void TryxCustomHDBGrid::SetShowDetails(bool Value) {
    if (Value == FShowDetails) return;
    FShowDetails = Value;
    RowLayoutChanged();
}

int TryxCustomHDBGrid::DetailRowCount() {
    if (!FShowDetails || !FDetailLink->Active() || !DataLink()->Active()) return 0;
    return std::min(FDetailLink->RecordCount(), FMaxDetailRows);
}

TryxHDBGridOptions TryxCustomHDBGrid::OptionsEx() const {
    TryxHDBGridOptions r;
    if (RowSizing()) r.Include(hgoRowSizing);
    if (WordWrap()) r.Include(hgoWordWrap);
    if (TitleAlignment() == taRightJustify) r.Include(hgoTitlesRightJustify);
    return r;
}

void TryxCustomHDBGrid::SetOptionsEx(TryxHDBGridOptions Value) {
    SetRowSizing(Value.Contains(hgoRowSizing));
    SetWordWrap(Value.Contains(hgoWordWrap));
    SetTitleAlignment(Value.Contains(hgoTitlesRightJustify) ? taRightJustify : taLeftJustify);
}

void TryxCustomHDBGrid::DetailChanged() { RowLayoutChanged(); }

int TryxCustomHDBGrid::ReservedSubRows() { return FShowDetails && FDetailLink->Active() ? FMaxDetailRows : 0; }

int TryxCustomHDBGrid::SubRowCount(int DataRecord) {
    if (!DataLink()->Active() || DataRecord != DataLink()->ActiveRecord()) return 0;
    return DetailRowCount();
}

void TryxCustomHDBGrid::DrawSubRow(int DataRecord, int SubRow, int ACol, const TRect& ARect, TGridDrawState AState) {
    (void)DataRecord;
    (void)AState;
    TCanvas* c = Canvas();
    TDataSet* detail = FDetailLink->DataSet();
    if (detail == nullptr || SubRow >= FDetailLink->RecordCount()) return;
    bool current = SubRow == FDetailLink->ActiveRecord();
    c->Brush()->SetColor(ACol < IndicatorOffset() ? FixedColor() : clInfoBk);
    c->FillRect(ARect);
    if (ACol < IndicatorOffset()) {
        // A branch line from the master row down to the detail row.
        int x = (ARect.left + ARect.right) / 2, y = (ARect.top + ARect.bottom) / 2;
        c->Brush()->SetColor(clBtnShadow);
        c->FillRect(TRect{x, ARect.top, x + 1, SubRow + 1 < DetailRowCount() ? ARect.bottom : y + 1});
        c->FillRect(TRect{x, y, ARect.right, y + 1});
        return;
    }
    // The detail's visible fields, one per grid column from the first data column on.
    int index = RawToDataColumn(ACol);
    std::vector<TField*> shown;
    for (int i = 0; i < detail->FieldCount(); ++i)
        if (detail->Fields(i)->Visible()) shown.push_back(detail->Fields(i));
    if (index < 0 || index >= static_cast<int>(shown.size())) return;
    int old = FDetailLink->ActiveRecord();
    FDetailLink->SetActiveRecord(SubRow);
    std::string text;
    try {
        text = shown[static_cast<size_t>(index)]->DisplayText();
    } catch (...) {
        FDetailLink->SetActiveRecord(old);
        throw;
    }
    FDetailLink->SetActiveRecord(old);
    c->Font()->Assign(Font());
    if (current) c->Font()->SetStyle(TFontStyles{fsBold});
    c->Brush()->SetStyle(bsClear);
    int indent = index == 0 ? FDetailIndent : 0;
    TRect r{ARect.left + indent, ARect.top, ARect.right, ARect.bottom};
    if (r.right > r.left) WriteCellText(c, r, text, shown[static_cast<size_t>(index)]->Alignment());
    c->Brush()->SetStyle(bsSolid);
}

void TryxCustomHDBGrid::SubRowClicked(int DataRecord, int SubRow) {
    (void)DataRecord;
    TDataSet* detail = FDetailLink->DataSet();
    if (detail == nullptr || !FDetailLink->Active() || SubRow >= FDetailLink->RecordCount()) return;
    int distance = SubRow - FDetailLink->ActiveRecord();
    if (distance != 0) detail->MoveBy(distance);
}

void TryxCustomHDBGrid::DataChanged() {
    TCustomDBGrid::DataChanged();
    TDataSet* ds = DataLink()->DataSet();
    if (!DataLink()->Active()) FHadMaster = false;
    if (!DataLink()->Active() || ds == nullptr || ds->IsEmpty() || ds->State() == dsInsert) return;
    TBookmarkStr now = ds->Bookmark();
    if (FHadMaster && now == FLastMaster) return;
    FHadMaster = true;
    FLastMaster = now;
    RowEnter();
}

void TryxCustomHDBGrid::RowEnter() { OnRowEnter(this); }

void RegisterHDBGridClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterDBGridClasses();
    RegisterClass(TryxHDBGrid::StaticClass());
}

}  // namespace ryx
