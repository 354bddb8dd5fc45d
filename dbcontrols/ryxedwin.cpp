// Unit Ryxedwin: the data-aware edit window, its rows of labels and edits, their read-only state and layout.
#include "dbcontrols/ryxedwin.h"

#include <algorithm>

#include "host/controls/dbctrls.h"
#include "host/app/app.h"
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

constexpr int Margin = 4, Gap = 8, RowGap = 4, EditHeight = 21, PreviewWidth = 240;

// The data-aware control that edits a field of this type; memos, pictures and other
// blobs get a one-line preview that opens a popup editing form.
TWinControl* MakeEditFor(TField* Field, TComponent* Owner) {
    if (IsPopupField(Field)) return new TryxDBBlobPreview(Owner);
    if (Field->DataType() == ftBoolean) return new TDBCheckBox(Owner);
    return new TDBEdit(Owner);
}

// The size an edit of Field takes: text edits from the field's display width.
TPoint EditSize(TField* Field, int CharWidth) {
    if (IsPopupField(Field)) return TPoint{PreviewWidth, EditHeight};
    switch (Field->DataType()) {
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
    *FAlive = false;
    ClosePopups();
    FLink.reset();
    FRows.clear();
}

TDataSource* TryxDBEditWin::DataSource() const { return FLink->DataSource(); }

void TryxDBEditWin::SetDataSource(TDataSource* Value) {
    if (Value != DataSource()) ClosePopups();
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

TryxDBFieldPopup* TryxDBEditWin::FieldPopup(TField* Field) const {
    for (TryxDBFieldPopup* p : FPopups)
        if (!p->Detached() && p->Field() == Field) return p;
    return nullptr;
}

TryxDBFieldPopup* TryxDBEditWin::ShowFieldPopup(TField* Field) {
    auto row = std::find_if(FRows.begin(), FRows.end(), [&](const TRow& r) { return r.Field == Field; });
    if (Field == nullptr || row == FRows.end() || !IsPopupField(Field) || !FLink->Active()) return nullptr;
    if (TryxDBFieldPopup* open = FieldPopup(Field)) {
        if (!open->FormState().Contains(fsModal)) open->Show();
        open->BringToFront();
        return open->FormState().Contains(fsModal) ? nullptr : open;
    }
    bool readOnly = RowReadOnly(*row);
    if (FPopupFormStyle == pfsModal) {
        auto popup = std::make_unique<TryxDBFieldPopup>(nullptr, DataSource(), Field, readOnly, true);
        std::shared_ptr<bool> alive = FAlive;
        FPopups.push_back(popup.get());
        ++FModalDepth;
        int result = mrCancel;
        try {
            result = popup->ShowModal();
        } catch (...) {
            if (*alive) ModalFinished(popup.get());
            throw;
        }
        // The window may have gone while the popup ran; the popup is ours to free either way.
        if (!*alive) return nullptr;
        if (result == mrOk) popup->AcceptEdit();
        else popup->CancelEdit();
        ModalFinished(popup.get());
        return nullptr;
    }
    TCustomForm* form = host::GetParentForm(this);
    auto* popup = new TryxDBFieldPopup(form != nullptr ? static_cast<TComponent*>(form) : this, DataSource(), Field,
                                       readOnly, false);
    if (FPopupFormStyle == pfsStayOnTop) {
        popup->SetFormStyle(fsStayOnTop);
    } else if (FPopupFormStyle == pfsMDIChild && Application != nullptr && Application->MainForm() != nullptr &&
               Application->MainForm()->FormStyle() == fsMDIForm) {
        popup->SetFormStyle(fsMDIChild);
    }
    popup->FreeNotification(this);
    FPopups.push_back(popup);
    popup->Show();
    return popup;
}

void TryxDBEditWin::ModalFinished(TryxDBFieldPopup* Popup) {
    ForgetPopup(Popup);
    --FModalDepth;
}

void TryxDBEditWin::ForgetPopup(TComponent* Popup) {
    FPopups.erase(std::remove_if(FPopups.begin(), FPopups.end(),
                                 [&](TryxDBFieldPopup* p) { return static_cast<TComponent*>(p) == Popup; }),
                  FPopups.end());
}

void TryxDBEditWin::ClosePopups() {
    std::vector<TryxDBFieldPopup*> popups;
    popups.swap(FPopups);
    for (TryxDBFieldPopup* p : popups) {
        p->RemoveFreeNotification(this);
        p->Detach();
        if (p->FormState().Contains(fsModal)) {
            // Its caller frees it when the loop ends; keep it findable until then.
            p->SetModalResult(mrCancel);
            FPopups.push_back(p);
        } else if (!p->ComponentState().Contains(csDestroying)) {
            delete p;
        }
    }
}

void TryxDBEditWin::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollBox::Notification(AComponent, Operation);
    if (Operation == opRemove) ForgetPopup(AComponent);
}

void TryxDBEditWin::PreviewOpen(TObject* Sender) {
    for (const TRow& r : FRows)
        if (r.Edit == Sender) {
            ShowFieldPopup(r.Field);
            return;
        }
}

bool TryxDBEditWin::RowReadOnly(const TRow& Row) const {
    return FReadOnly || (FFieldReadOnly.Contains(rofEditReadOnly) && !Row.Field->CanModify());
}

TWinControl* TryxDBEditWin::Edits(int Index) const { return FRows.at(static_cast<size_t>(Index)).Edit; }

TLabel* TryxDBEditWin::Labels(int Index) const { return FRows.at(static_cast<size_t>(Index)).Label; }

TWinControl* TryxDBEditWin::EditOfField(TField* Field) const {
    for (const TRow& r : FRows)
        if (r.Field == Field) return r.Edit;
    return nullptr;
}

void TryxDBEditWin::ClearRows() {
    if (FModalDepth == 0) {
        // Rows dropped while a modal popup ran: no handler of theirs can be running now.
        std::vector<TComponent*> doomed;
        doomed.swap(FDoomed);
        for (TComponent* c : doomed) delete c;
    }
    std::vector<TRow> rows;
    rows.swap(FRows);
    for (TRow& r : rows) {
        if (FModalDepth > 0) {
            // A modal popup runs from inside one of these rows' handlers: unbind and hide
            // the rows now, free them when the popup has finished.
            SetObjectProp(r.Edit, "DataSource", nullptr);
            r.Edit->SetVisible(false);
            r.Label->SetVisible(false);
            FDoomed.push_back(r.Edit);
            FDoomed.push_back(r.Label);
        } else {
            delete r.Edit;
            delete r.Label;
        }
    }
}

void TryxDBEditWin::Rebuild() {
    if (FRebuilding || ComponentState().Contains(csDestroying)) return;
    FRebuilding = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FRebuilding};
    ClosePopups();
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
        if (auto* preview = dynamic_cast<TryxDBBlobPreview*>(edit))
            preview->OnOpenPopup = TNotifyEvent(this, &TryxDBEditWin::PreviewOpen);
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
        bool ro = RowReadOnly(r);
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
