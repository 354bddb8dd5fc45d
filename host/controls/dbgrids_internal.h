// Helpers shared by the data grid's source files.
#pragma once

#include <string>

#include "host/controls/dbgrids.h"
#include "host/controls/lists.h"

namespace host {

class TDBGridPickList;

// ---------------------------------------------------------------------------
// TGridDataLink: tells the grid what its dataset does.
// ---------------------------------------------------------------------------

class TGridDataLink : public TDataLink {
    HOST_CLASS(TGridDataLink, TDataLink)
public:
    explicit TGridDataLink(TCustomDBGrid* Grid) : FGrid(Grid) {}

protected:
    void ActiveChanged() override { FGrid->LinkActive(Active()); }
    void DataSetChanged() override { FGrid->DataChanged(); }
    void DataSetScrolled(int Distance) override { FGrid->Scroll(Distance); }
    void EditingChanged() override { FGrid->EditingChanged(); }
    void LayoutChanged() override {
        FGrid->LayoutChanged();
        FGrid->DataChanged();
    }
    void RecordChanged(TField* Field) override { FGrid->RecordChanged(Field); }
    void UpdateData() override { FGrid->UpdateData(); }
    void FocusControl(TFieldRef Field) override {
        if (Field == nullptr || *Field == nullptr) return;
        for (int i = 0; i < FGrid->Columns()->Count(); ++i) {
            TColumn* c = FGrid->Columns()->Items(i);
            if (c->Visible() && c->Field() == *Field && FGrid->AcquireFocus()) {
                FGrid->SetSelectedIndex(i);
                *Field = nullptr;
                return;
            }
        }
    }
    void DataEvent(TDataEvent Event, intptr_t Info) override {
        if (Event == deFieldListChange && Active()) {
            FGrid->LayoutChanged();
            return;
        }
        TDataLink::DataEvent(Event, Info);
    }

private:
    TCustomDBGrid* FGrid;
};


// The in-place editor of a data grid: a mask edit over the current cell that leaves room
// at its right for the column's button (a drop-down arrow for a pick list, an ellipsis),
// drops the pick list down (F4, Alt+Down, a click on the arrow), puts the dataset into
// edit mode before the first change it lets through, and sends Ctrl+Delete to the grid.
class TDBGridInplaceEdit : public TInplaceEdit {
    HOST_CLASS(TDBGridInplaceEdit, TInplaceEdit)
public:
    enum class TButtonKind { None, PickList, Ellipsis };
    explicit TDBGridInplaceEdit(TComponent* AOwner);
    ~TDBGridInplaceEdit() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TButtonKind ButtonKind() const;
    int ButtonWidth() const;
    bool ListVisible() const;
    void DropDown();
    // Hides the pick list; with Accept its selected item becomes the editor's text.
    void CloseUp(bool Accept);
    TCustomListBox* PickListBox() const;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoExit() override;

private:
    TCustomDBGrid* DBGrid() const;
    TDBGridPickList* FList = nullptr;  // owned by this edit (its component owner)
    bool FSwallowReturn = false;       // the Enter that chose from the list is not the grid's
};

namespace dbgrids_internal {

// Sets the dataset's active record to a record of the link's window for reading one
// row's fields, and puts the real one back on every way out.
class TActiveRecordSwap {
public:
    TActiveRecordSwap(TDataLink* Link, int Record) : FLink(Link), FOld(Link->ActiveRecord()) {
        FLink->SetActiveRecord(Record);
    }
    ~TActiveRecordSwap() { FLink->SetActiveRecord(FOld); }
    TActiveRecordSwap(const TActiveRecordSwap&) = delete;
    TActiveRecordSwap& operator=(const TActiveRecordSwap&) = delete;
private:
    TDataLink* FLink;
    int FOld;
};

// The width of Text in Font, measured on a memory device context (no window needed).
int TextWidthOf(TFont* Font, const std::string& Text);
int TextHeightOf(TFont* Font);

}  // namespace dbgrids_internal
}  // namespace host
