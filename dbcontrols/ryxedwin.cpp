// Unit Ryxedwin: the data-aware edit window, its rows of labels and edits, their read-only state and layout.
#include "dbcontrols/ryxedwin.h"

#include <algorithm>

#include "host/controls/dbctrls.h"
#include "host/controls/extctrls.h"
#include "host/db/db.h"
#include "host/rtl/typinfo.h"

namespace ryx {

using namespace host;

// Builds the rows again when the dataset opens, closes or changes its fields.
class TryxDBEditWin::TEditWinLink : public TDataLink {
public:
    explicit TEditWinLink(TryxDBEditWin* Owner) : FOwner(Owner) {}

protected:
    void ActiveChanged() override { FOwner->Rebuild(); }
    void LayoutChanged() override { FOwner->Rebuild(); }
    void DataSetChanged() override {}
    void DataSetScrolled(int) override {}

private:
    TryxDBEditWin* FOwner;
};

namespace {

constexpr int Margin = 4, Gap = 8, RowGap = 4, EditHeight = 21, MemoHeight = 60, ImageSide = 80;

// The data-aware control that edits a field of this type.
TWinControl* MakeEditFor(TField* Field, TComponent* Owner) {
    switch (Field->DataType()) {
        case ftMemo: return new TDBMemo(Owner);
        case ftGraphic: return new TDBImage(Owner);
        case ftBoolean: return new TDBCheckBox(Owner);
        default: return new TDBEdit(Owner);
    }
}

// The size an edit of Field takes: text edits from the field's display width.
TPoint EditSize(TField* Field, int CharWidth) {
    switch (Field->DataType()) {
        case ftMemo: return TPoint{240, MemoHeight};
        case ftGraphic: return TPoint{ImageSide, ImageSide};
        case ftBoolean: return TPoint{17, 17};
        default: {
            int w = std::clamp(Field->DisplayWidth(), 4, 40) * CharWidth + 8;
            return TPoint{w, EditHeight};
        }
    }
}

}  // namespace

TryxDBEditWin::TryxDBEditWin(TComponent* AOwner) : TScrollBox(AOwner), FLink(std::make_unique<TEditWinLink>(this)) {
    SetBounds(0, 0, 320, 240);
}

TryxDBEditWin::~TryxDBEditWin() {
    // The rows go with the window's owned components; the link must not rebuild them now.
    FRebuilding = true;
    FLink.reset();
    FRows.clear();
}

TDataSource* TryxDBEditWin::DataSource() const { return FLink->DataSource(); }

void TryxDBEditWin::SetDataSource(TDataSource* Value) {
    FLink->SetDataSource(Value);
    for (const TRow& r : FRows) SetObjectProp(r.Edit, "DataSource", Value);
    Rebuild();
}

void TryxDBEditWin::SetFieldReadOnly(TryxFieldReadOnlyOptions Value) {
    FFieldReadOnly = Value;
    ApplyReadOnly();
}

void TryxDBEditWin::SetEditColor(TColor Value) {
    FEditColor = Value;
    ApplyReadOnly();
}

void TryxDBEditWin::SetEditLayout(TryxEditLayout Value) {
    if (FEditLayout == Value) return;
    FEditLayout = Value;
    ArrangeRows();
}

void TryxDBEditWin::SetReadOnly(bool Value) {
    FReadOnly = Value;
    ApplyReadOnly();
}

void TryxDBEditWin::SetPopupFormStyle(TryxPopupFormStyle Value) { FPopupFormStyle = Value; }

TWinControl* TryxDBEditWin::Edits(int Index) const { return FRows.at(static_cast<size_t>(Index)).Edit; }

TLabel* TryxDBEditWin::Labels(int Index) const { return FRows.at(static_cast<size_t>(Index)).Label; }

TWinControl* TryxDBEditWin::EditOfField(TField* Field) const {
    for (const TRow& r : FRows)
        if (r.Field == Field) return r.Edit;
    return nullptr;
}

void TryxDBEditWin::ClearRows() {
    std::vector<TRow> rows;
    rows.swap(FRows);
    for (TRow& r : rows) {
        delete r.Edit;
        delete r.Label;
    }
}

void TryxDBEditWin::Rebuild() {
    if (FRebuilding || ComponentState().Contains(csDestroying)) return;
    FRebuilding = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FRebuilding};
    ClearRows();
    TDataSet* ds = FLink->Active() ? FLink->DataSet() : nullptr;
    if (ds == nullptr) return;
    for (int i = 0; i < ds->FieldCount(); ++i) {
        TField* f = ds->Fields(i);
        if (!f->Visible()) continue;
        auto* label = new TLabel(this);
        label->SetCaption(f->DisplayLabel());
        label->SetParent(this);
        TWinControl* edit = MakeEditFor(f, this);
        SetObjectProp(edit, "DataSource", FLink->DataSource());
        SetStrProp(edit, "DataField", f->FieldName());
        edit->SetParent(this);
        label->SetFocusControl(edit);
        FRows.push_back(TRow{label, edit, f});
    }
    ApplyReadOnly();
    ArrangeRows();
}

void TryxDBEditWin::ApplyReadOnly() {
    for (const TRow& r : FRows) {
        bool ro = FReadOnly || (FFieldReadOnly.Contains(rofEditReadOnly) && !r.Field->CanModify());
        SetOrdProp(r.Edit, "ReadOnly", ro ? 1 : 0);
        bool plain = r.Field->DataType() == ftBoolean;  // a check box keeps its parent's colour
        if (!plain) r.Edit->SetColor(ro && FFieldReadOnly.Contains(rofEditColor) ? clBtnFace : FEditColor);
    }
}

void TryxDBEditWin::Resize() {
    TScrollBox::Resize();
    if (FEditLayout == elHorizontal) ArrangeRows();
}

void TryxDBEditWin::ArrangeRows() {
    if (FRows.empty()) return;
    int charWidth = std::max(1, Font()->Size() * 96 / 72 / 2 + 1);
    int scrollX = HorzScrollBar()->Position(), scrollY = VertScrollBar()->Position();
    if (FEditLayout == elVertical) {
        int labelWidth = 0;
        for (const TRow& r : FRows) labelWidth = std::max(labelWidth, r.Label->Width());
        int x = Margin + labelWidth + Gap, y = Margin;
        for (const TRow& r : FRows) {
            TPoint size = EditSize(r.Field, charWidth);
            r.Edit->SetBounds(x - scrollX, y - scrollY, size.x, size.y);
            r.Label->SetBounds(Margin - scrollX, y - scrollY + 3, r.Label->Width(), r.Label->Height());
            y += size.y + RowGap;
        }
    } else {
        int avail = std::max(ClientWidth() - Margin, 1);
        int x = Margin, y = Margin, rowHeight = 0;
        for (const TRow& r : FRows) {
            TPoint size = EditSize(r.Field, charWidth);
            int w = std::max(size.x, r.Label->Width());
            int h = r.Label->Height() + 2 + size.y;
            if (x > Margin && x + w > avail) {
                x = Margin;
                y += rowHeight + RowGap;
                rowHeight = 0;
            }
            r.Label->SetBounds(x - scrollX, y - scrollY, r.Label->Width(), r.Label->Height());
            r.Edit->SetBounds(x - scrollX, y - scrollY + r.Label->Height() + 2, size.x, size.y);
            x += w + Gap;
            rowHeight = std::max(rowHeight, h);
        }
    }
    UpdateScrollBars();
}

}  // namespace ryx
