// Unit Ryxedwin: TryxDBEditWin, a scroll box holding a label and a data-aware edit for every field of a data source, in field order.
#pragma once

#include <memory>
#include <vector>

#include "frame/ryxforms.h"
#include "host/controls/comctrls.h"

namespace host {
class TDataSource;
class TField;
class TFieldDataLink;
class TLabel;
class TMemo;
class TSpeedButton;
class TPanel;
class TButton;
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

// True for the fields a one-line edit cannot show: memos, pictures and other blobs.
bool IsPopupField(host::TField* Field);

// A one-line, read-only preview of a memo, graphic or other blob field: the memo's first
// line, or the field's display text ("(GRAPHIC)", "(BLOB)"), with a small "..." button.
// The button, a double click or Ctrl+Enter fire OnOpenPopup; the edit window answers by
// opening the field's popup editing form. Its Caption is the text it shows.
class TryxDBBlobPreview : public host::TCustomControl {
    HOST_CLASS(TryxDBBlobPreview, host::TCustomControl)
public:
    explicit TryxDBBlobPreview(host::TComponent* AOwner);
    ~TryxDBBlobPreview() override;

    host::TDataSource* DataSource() const;
    void SetDataSource(host::TDataSource* Value);
    std::string DataField() const;
    void SetDataField(const std::string& Value);
    host::TField* Field() const;
    // Read-only previews open their popup read-only too.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    host::TSpeedButton* Button() const { return FButton; }
    // Asks for the popup (what the button, a double click and Ctrl+Enter do).
    void OpenPopup();

    host::TNotifyEvent OnOpenPopup;

protected:
    void Paint() override;
    void DblClick() override;
    void KeyDown(host::WORD& Key, host::TShiftState Shift) override;
    void MouseDown(host::TMouseButton Button, host::TShiftState Shift, int X, int Y) override;
    void Resize() override;

private:
    std::unique_ptr<host::TFieldDataLink> FDataLink;
    host::TSpeedButton* FButton = nullptr;
    bool FReadOnly = false;

    void DataChange(host::TObject* Sender);
    void ButtonClick(host::TObject* Sender);
    void CMWantSpecialKey(host::TMessage& Message);
    void WMSetFocusKill(host::TMessage& Message);
    HOST_MESSAGES(on(host::CM_WANTSPECIALKEY, &TryxDBBlobPreview::CMWantSpecialKey),
                  on(host::WM_SETFOCUS, &TryxDBBlobPreview::WMSetFocusKill),
                  on(host::WM_KILLFOCUS, &TryxDBBlobPreview::WMSetFocusKill))
    HOST_PUBLISHED(prop("DataField", &TryxDBBlobPreview::DataField, &TryxDBBlobPreview::SetDataField)
                       .def(std::string()),
                   prop("DataSource", &TryxDBBlobPreview::DataSource, &TryxDBBlobPreview::SetDataSource),
                   prop("ReadOnly", &TryxDBBlobPreview::ReadOnly, &TryxDBBlobPreview::SetReadOnly).def(false))
};

// The popup editing form of one field: a data-aware memo for memos, a data-aware image
// with Cut, Copy and Paste for pictures, a byte count and hex view for other blobs, all
// bound to the edit window's data source. Modal: OK writes the change into the field
// (the record stays in edit state), Cancel and Escape put the field back as it was when
// the popup opened. Non-modal: Close writes the change, Escape puts the field back; both
// close and free the form. Read-only popups show only Close and accept no change. The
// buttons are named btnOK, btnCancel, btnClose, btnCut, btnCopy and btnPaste.
class TryxDBFieldPopup : public host::TForm {
    HOST_CLASS(TryxDBFieldPopup, host::TForm)
public:
    TryxDBFieldPopup(host::TComponent* AOwner, host::TDataSource* Source, host::TField* Field, bool ReadOnly,
                     bool Modal);
    ~TryxDBFieldPopup() override;

    host::TField* Field() const { return FField; }
    bool ReadOnly() const { return FReadOnly; }
    // The TDBMemo, the TDBImage, or the read-only memo holding the bytes of other blobs.
    host::TWinControl* Editor() const { return FEditor; }
    // Writes the editor's pending change into the field.
    void AcceptEdit();
    // Discards the editor's change and gives the field back the value it had when the
    // popup opened (or when the record last moved); a record the popup put into edit
    // state from browsing goes back to browsing.
    void CancelEdit();
    // Unbinds every control from the data source (the source or its fields are going).
    void Detach();
    // Closed or detached: no longer showing the field, waiting to be freed.
    bool Detached() const { return FDetached; }

protected:
    void KeyDown(host::WORD& Key, host::TShiftState Shift) override;
    void DoClose(host::TCloseAction& Action) override;

private:
    host::TField* FField;
    bool FReadOnly, FModal;
    bool FWasBrowsing = false;
    bool FOriginalNull = true;
    std::string FOriginal;
    bool FDetached = false;
    host::TWinControl* FEditor = nullptr;
    host::TMemo* FBytes = nullptr;  // the hex view of other blobs
    host::TPanel* FButtons = nullptr;
    std::unique_ptr<host::TFieldDataLink> FWatch;  // follows record moves to keep the snapshot

    host::TButton* AddButton(const std::string& Caption, int Left, host::TNotifyEvent Click, bool AtRight);
    void Snapshot();
    void WatchChange(host::TObject* Sender);
    void ShowBytes();
    void OKClick(host::TObject* Sender);
    void CancelClick(host::TObject* Sender);
    void CloseClick(host::TObject* Sender);
    void CutClick(host::TObject* Sender);
    void CopyClick(host::TObject* Sender);
    void PasteClick(host::TObject* Sender);
    void CMDialogKeyPopup(host::TWMKey& Message);
    HOST_MESSAGES(on(host::CM_DIALOGKEY, &TryxDBFieldPopup::CMDialogKeyPopup))
};

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
    // How the popup editing forms of memo, picture and blob fields are shown: modal with
    // OK and Cancel, a normal form owned by this window's form, the same staying on top,
    // or an MDI child of the application's main form (a normal form when that is not an
    // MDI frame). Popups already open keep their style.
    void SetPopupFormStyle(TryxPopupFormStyle Value);
    TryxPopupFormStyle PopupFormStyle() const { return FPopupFormStyle; }

    // Opens Field's popup editing form in the popup style (one per field: a second
    // request brings the open one to the front). Returns the non-modal popup; a modal
    // one has been shown and freed by the time this returns (nullptr). Fields that need
    // no popup, or a window without data, give nullptr.
    TryxDBFieldPopup* ShowFieldPopup(host::TField* Field);
    // Field's open non-modal popup (nullptr when none).
    TryxDBFieldPopup* FieldPopup(host::TField* Field) const;
    int PopupCount() const { return static_cast<int>(FPopups.size()); }
    // Closes and frees every popup (a modal one is cancelled and detached).
    void ClosePopups();

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
    void Notification(host::TComponent* AComponent, host::TOperation Operation) override;

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
    std::vector<TryxDBFieldPopup*> FPopups;
    // Tells a modal popup's caller whether this window outlived the popup's loop.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    int FModalDepth = 0;
    std::vector<host::TComponent*> FDoomed;  // rows dropped while a modal popup ran

    bool RowReadOnly(const TRow& Row) const;
    void PreviewOpen(host::TObject* Sender);
    void ForgetPopup(host::TComponent* Popup);
    void ModalFinished(TryxDBFieldPopup* Popup);
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
