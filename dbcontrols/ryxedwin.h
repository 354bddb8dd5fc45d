// Unit Ryxedwin: TryxDBEditWin, a scroll box holding a label and a data-aware edit for every field of a data source, in field order.
#pragma once

#include <memory>
#include <vector>

#include "frame/ryxforms.h"
#include "host/controls/comctrls.h"

namespace host {
class TDataSource;
class TField;
class TLabel;
}  // namespace host

namespace ryx {

// How the edit window treats fields that cannot be modified: rofEditReadOnly makes
// their edits read-only, rofEditColor paints read-only edits in the button face colour
// instead of EditColor.
HOST_ENUM(TryxFieldReadOnly, rofEditReadOnly, rofEditColor);
using TryxFieldReadOnlyOptions = host::TSet<TryxFieldReadOnly>;

// elVertical: one field per row, the labels in a column left of the edits.
// elHorizontal: the fields side by side in rows, each label above its edit (a wide,
// low window above a grid).
HOST_ENUM(TryxEditLayout, elVertical, elHorizontal);

class TryxDBEditWin : public host::TScrollBox {
    HOST_CLASS(TryxDBEditWin, host::TScrollBox)
public:
    explicit TryxDBEditWin(host::TComponent* AOwner);
    ~TryxDBEditWin() override;

    host::TDataSource* DataSource() const;
    void SetDataSource(host::TDataSource* Value);
    TryxFieldReadOnlyOptions FieldReadOnly() const { return FFieldReadOnly; }
    void SetFieldReadOnly(TryxFieldReadOnlyOptions Value);
    host::TColor EditColor() const { return FEditColor; }
    void SetEditColor(host::TColor Value);
    TryxEditLayout EditLayout() const { return FEditLayout; }
    void SetEditLayout(TryxEditLayout Value);

    // Makes every edit read-only (true) or leaves that to the fields (false).
    void SetReadOnly(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    // The style of the form the window sits on (kept for the form; the edits behave
    // the same in every style).
    void SetPopupFormStyle(TryxPopupFormStyle Value);
    TryxPopupFormStyle PopupFormStyle() const { return FPopupFormStyle; }

    // Makes the labels and edits again from the dataset's fields.
    void Rebuild();
    int EditCount() const { return static_cast<int>(FRows.size()); }
    // The data-aware edit and the label of the Index-th field shown.
    host::TWinControl* Edits(int Index) const;
    host::TLabel* Labels(int Index) const;
    // The edit showing Field (nullptr when none).
    host::TWinControl* EditOfField(host::TField* Field) const;

protected:
    void Resize() override;

private:
    class TEditWinLink;
    struct TRow {
        host::TLabel* Label;
        host::TWinControl* Edit;
        host::TField* Field;
    };
    std::unique_ptr<TEditWinLink> FLink;
    std::vector<TRow> FRows;
    TryxFieldReadOnlyOptions FFieldReadOnly;
    host::TColor FEditColor = host::clWindow;
    TryxEditLayout FEditLayout = elVertical;
    bool FReadOnly = false;
    TryxPopupFormStyle FPopupFormStyle = pfsNormal;
    bool FRebuilding = false;

    void ClearRows();
    void ApplyReadOnly();
    void ArrangeRows();

    HOST_PUBLISHED(prop("DataSource", &TryxDBEditWin::DataSource, &TryxDBEditWin::SetDataSource),
                   prop("FieldReadOnly", &TryxDBEditWin::FieldReadOnly, &TryxDBEditWin::SetFieldReadOnly)
                       .def(TryxFieldReadOnlyOptions{}),
                   prop("EditColor", &TryxDBEditWin::EditColor, &TryxDBEditWin::SetEditColor).def(host::clWindow),
                   prop("EditLayout", &TryxDBEditWin::EditLayout, &TryxDBEditWin::SetEditLayout).def(elVertical))
};

}  // namespace ryx
