// Data-aware standard controls: TDBEdit, TDBText, TDBMemo, TDBRichEdit, TDBImage, TDBCheckBox, TDBRadioGroup, TDBListBox, TDBComboBox and the lookup list and combo boxes.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/buttons.h"
#include "host/controls/edits.h"
#include "host/controls/extctrls.h"
#include "host/controls/lists.h"
#include "host/db/db.h"

namespace host {

class TPicture;

// What every control bound to one field shares: DataSource and DataField (read and
// written by name through the published tables), the field, the field data link, and
// the answer to CM_GETDATALINK (the link's address in Result).
#define HOST_DB_FIELD_BINDING(Cls)                                                          \
public:                                                                                     \
    TDataSource* DataSource() const { return FDataLink->DataSource(); }                     \
    void SetDataSource(TDataSource* Value) { FDataLink->SetDataSource(Value); }             \
    std::string DataField() const { return FDataLink->FieldName(); }                        \
    void SetDataField(const std::string& Value) { FDataLink->SetFieldName(Value); }         \
    TField* Field() const { return FDataLink->Field(); }                                    \
    TFieldDataLink* DataLink() const { return FDataLink.get(); }                            \
                                                                                            \
private:                                                                                    \
    std::unique_ptr<TFieldDataLink> FDataLink;                                              \
    void CMGetDataLink(TMessage& Message) { Message.Result = reinterpret_cast<LRESULT>(FDataLink.get()); }

#define HOST_DB_FIELD_PROPS(Cls)                                                 \
    prop("DataField", &Cls::DataField, &Cls::SetDataField).def(std::string()),   \
        prop("DataSource", &Cls::DataSource, &Cls::SetDataSource)

// Read-only through the field link (controls without a read-only state of their own).
#define HOST_DB_LINK_READONLY                                              \
    bool ReadOnly() const { return FDataLink->ReadOnly(); }                \
    void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }

// Raises a write that failed as the focus left the control (see CM_DBFIELDERROR).
void DBControlRaisePending(TWinControl* Control, std::exception_ptr& Pending);

// The windowed controls write their change into the field as the focus leaves them
// (CM_EXIT); a failure comes back as CM_DBFIELDERROR.
#define HOST_DB_EXIT_WRITE(Cls)                                                              \
private:                                                                                     \
    std::exception_ptr FExitError;                                                           \
    void CMFieldError(TMessage&) { DBControlRaisePending(this, FExitError); }

// Posted by a data-aware control to itself when writing its value into the field failed
// as the focus left it: it takes the focus back (keeping the person's text) and raises
// the error outside the focus change, so the application's error box shows it.
inline constexpr UINT CM_DBFIELDERROR = WM_APP + 0x7E52;

// ---------------------------------------------------------------------------
// TDBEdit
// ---------------------------------------------------------------------------

// An edit showing one field: Field.DisplayText while it does not have the focus,
// Field.Text (through the field's EditMask) while it does. Typing puts the dataset into
// dsEdit (when the data source's AutoEdit allows and the field can be modified; else the
// key is refused), Escape puts the field's value back, and leaving the control writes
// the text into the field (UpdateRecord). A text the field refuses (not a number, not a
// date) raises the field's error through the application and leaves text and focus.
class TDBEdit : public TCustomMaskEdit {
    HOST_CLASS(TDBEdit, TCustomMaskEdit)
    HOST_DB_FIELD_BINDING(TDBEdit)
    HOST_DB_EXIT_WRITE(TDBEdit)
public:
    explicit TDBEdit(TComponent* AOwner);
    ~TDBEdit() override;

    // The link's read-only state (the text is still shown; nothing can be typed).
    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value);
    // Puts the field's value back and selects the text.
    void Reset() override;

protected:
    void Change() override;
    bool EditCanModify() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    bool FFocused = false;

    void SetFocused(bool Value);
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    void CMWantSpecialKey(TWMKey& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBEdit::CMGetDataLink), on(CM_ENTER, &TDBEdit::CMEnter),
                  on(CM_EXIT, &TDBEdit::CMExit), on(CM_DBFIELDERROR, &TDBEdit::CMFieldError),
                  on(CM_WANTSPECIALKEY, &TDBEdit::CMWantSpecialKey))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBEdit), prop("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).def(false),
                   prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).def(true),
                   prop("AutoSize", &TControl::AutoSize, &TCustomEdit::SetAutoSize).def(true),
                   prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).def(bsSingle),
                   prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).def(ecNormal),
                   prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).def(0),
                   prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(false),
                   prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).def(char(0)),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange))
};

// ---------------------------------------------------------------------------
// TDBText
// ---------------------------------------------------------------------------

// A label showing a field's DisplayText (nothing while there is no field).
class TDBText : public TCustomLabel {
    HOST_CLASS(TDBText, TCustomLabel)
    HOST_DB_FIELD_BINDING(TDBText)
public:
    explicit TDBText(TComponent* AOwner);
    ~TDBText() override;
    std::string GetLabelText() override;

private:
    void DataChange(TObject* Sender);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBText::CMGetDataLink))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBText))
};

// ---------------------------------------------------------------------------
// TDBMemo, TDBRichEdit
// ---------------------------------------------------------------------------

// A memo showing a memo (or any) field's text. With AutoDisplay off a blob's text is
// loaded only on a double click or Enter (LoadMemo). Typing edits as TDBEdit does;
// Escape puts the field's text back; leaving writes it.
class TDBMemo : public TCustomMemo {
    HOST_CLASS(TDBMemo, TCustomMemo)
    HOST_DB_FIELD_BINDING(TDBMemo)
    HOST_DB_EXIT_WRITE(TDBMemo)
public:
    explicit TDBMemo(TComponent* AOwner);
    ~TDBMemo() override;

    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value);
    bool AutoDisplay() const { return FAutoDisplay; }
    void SetAutoDisplay(bool Value);
    // Loads the field's text into the memo (when AutoDisplay kept it back).
    void LoadMemo();

protected:
    void Change() override;
    bool CanEditText() const override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DblClick() override;

private:
    bool FAutoDisplay = true;
    bool FFocused = false;
    bool FMemoLoaded = false;

    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMEnter(TMessage& Message);
    void CMExit(TMessage& Message);
    void CMWantSpecialKey(TWMKey& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBMemo::CMGetDataLink), on(CM_ENTER, &TDBMemo::CMEnter),
                  on(CM_EXIT, &TDBMemo::CMExit), on(CM_DBFIELDERROR, &TDBMemo::CMFieldError),
                  on(CM_WANTSPECIALKEY, &TDBMemo::CMWantSpecialKey))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBMemo), prop("ReadOnly", &TDBMemo::ReadOnly, &TDBMemo::SetReadOnly).def(false),
                   prop("AutoDisplay", &TDBMemo::AutoDisplay, &TDBMemo::SetAutoDisplay).def(true),
                   prop("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).def(taLeftJustify),
                   prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).def(bsSingle),
                   prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).def(0),
                   prop("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).def(ssNone),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).def(true),
                   prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).def(false),
                   prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).def(true),
                   prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange))
};

// The data-aware rich edit, as far as the rich edit goes: plain multi-line text.
class TDBRichEdit : public TDBMemo {
    HOST_CLASS(TDBRichEdit, TDBMemo)
public:
    explicit TDBRichEdit(TComponent* AOwner) : TDBMemo(AOwner) {}
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

private:
    bool FPlainText = false;
    HOST_PUBLISHED(prop("PlainText", &TDBRichEdit::PlainText, &TDBRichEdit::SetPlainText).def(false))
};

// ---------------------------------------------------------------------------
// TDBImage
// ---------------------------------------------------------------------------

// Shows the picture of a graphic field (a BMP, PNG or ICO image in the blob), at its size
// in the top-left corner, centred (Center) or stretched over the client area (Stretch).
// Ctrl+C/Ctrl+Insert copy, Ctrl+X/Shift+Delete cut, Ctrl+V/Shift+Insert paste a bitmap
// through the clipboard, Delete clears; Escape puts the field's picture back; leaving the
// control writes the picture into the field (as a BMP). With AutoDisplay off the picture
// is loaded on a double click or Enter (LoadPicture).
class TDBImage : public TCustomControl {
    HOST_CLASS(TDBImage, TCustomControl)
    HOST_DB_FIELD_BINDING(TDBImage)
    HOST_DB_EXIT_WRITE(TDBImage)
public:
    explicit TDBImage(TComponent* AOwner);
    ~TDBImage() override;

    bool ReadOnly() const { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool Value);
    bool AutoDisplay() const { return FAutoDisplay; }
    void SetAutoDisplay(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);

    void LoadPicture();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;

private:
    std::unique_ptr<TPicture> FPicture;
    bool FAutoDisplay = true;
    bool FCenter = true;
    bool FStretch = false;
    bool FPictureLoaded = false;
    bool FLoading = false;
    TBorderStyle FBorderStyle = bsSingle;

    void PictureChanged(TObject* Sender);
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMExit(TMessage& Message);
    void WMGetDlgCode(TMessage& Message);
    void WMCut(TMessage& Message);
    void WMCopy(TMessage& Message);
    void WMPaste(TMessage& Message);
    void WMSetFocusKill(TMessage& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBImage::CMGetDataLink), on(CM_EXIT, &TDBImage::CMExit),
                  on(CM_DBFIELDERROR, &TDBImage::CMFieldError), on(WM_GETDLGCODE, &TDBImage::WMGetDlgCode),
                  on(WM_CUT, &TDBImage::WMCut), on(WM_COPY, &TDBImage::WMCopy), on(WM_PASTE, &TDBImage::WMPaste),
                  on(WM_SETFOCUS, &TDBImage::WMSetFocusKill), on(WM_KILLFOCUS, &TDBImage::WMSetFocusKill))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBImage),
                   prop("ReadOnly", &TDBImage::ReadOnly, &TDBImage::SetReadOnly).def(false),
                   prop("AutoDisplay", &TDBImage::AutoDisplay, &TDBImage::SetAutoDisplay).def(true),
                   prop("BorderStyle", &TDBImage::BorderStyle, &TDBImage::SetBorderStyle).def(bsSingle),
                   prop("Center", &TDBImage::Center, &TDBImage::SetCenter).def(true),
                   prop("Stretch", &TDBImage::Stretch, &TDBImage::SetStretch).def(false),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// ---------------------------------------------------------------------------
// TDBCheckBox
// ---------------------------------------------------------------------------

// A check box over a field. A Boolean field is checked when true. Any other field is
// checked when its text equals one of ValueChecked's values (several separated by ';',
// compared without case), unchecked when it equals one of ValueUnchecked's, grayed
// otherwise; writing gives the field the first value of the list. A Null field shows
// grayed. Clicking puts the dataset into dsEdit, or is refused when the field cannot
// be modified.
class TDBCheckBox : public TCustomCheckBox {
    HOST_CLASS(TDBCheckBox, TCustomCheckBox)
    HOST_DB_FIELD_BINDING(TDBCheckBox)
    HOST_DB_EXIT_WRITE(TDBCheckBox)
public:
    explicit TDBCheckBox(TComponent* AOwner);
    ~TDBCheckBox() override;

    HOST_DB_LINK_READONLY
    std::string ValueChecked() const { return FValueCheck; }
    void SetValueChecked(const std::string& Value);
    std::string ValueUnchecked() const { return FValueUncheck; }
    void SetValueUnchecked(const std::string& Value);
    // The state the field's value gives.
    TCheckBoxState FieldState() const;

protected:
    void Toggle() override;
    void KeyPress(char& Key) override;

private:
    std::string FValueCheck = "True";
    std::string FValueUncheck = "False";

    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMExit(TMessage& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBCheckBox::CMGetDataLink), on(CM_EXIT, &TDBCheckBox::CMExit),
                  on(CM_DBFIELDERROR, &TDBCheckBox::CMFieldError))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBCheckBox),
                   prop("ReadOnly", &TDBCheckBox::ReadOnly, &TDBCheckBox::SetReadOnly).def(false),
                   prop("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment).def(taRightJustify),
                   prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).def(false),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("ValueChecked", &TDBCheckBox::ValueChecked, &TDBCheckBox::SetValueChecked)
                       .def(std::string("True")),
                   prop("ValueUnchecked", &TDBCheckBox::ValueUnchecked, &TDBCheckBox::SetValueUnchecked)
                       .def(std::string("False")))
};

// ---------------------------------------------------------------------------
// TDBRadioGroup
// ---------------------------------------------------------------------------

// A radio group over a field: button i stands for Values[i] (or, where Values has no
// line i, for Items[i]); the button whose value equals the field's text exactly is
// checked, none when no value matches. Choosing a button puts the dataset into dsEdit
// (refused when the field cannot be modified); leaving the group writes the value.
// Its buttons are TGroupButtons: a focused button's parent is the group.
class TDBRadioGroup : public TCustomRadioGroup {
    HOST_CLASS(TDBRadioGroup, TCustomRadioGroup)
    HOST_DB_FIELD_BINDING(TDBRadioGroup)
    HOST_DB_EXIT_WRITE(TDBRadioGroup)
public:
    explicit TDBRadioGroup(TComponent* AOwner);
    ~TDBRadioGroup() override;

    HOST_DB_LINK_READONLY
    TStrings* Values() const;
    void SetValues(TStrings* Value);
    // The value of the checked button ("" when none).
    std::string Value() const { return FValue; }
    // Checks the button of Value.
    void SetValue(const std::string& Value);

    TNotifyEvent OnChange;

protected:
    bool CanModify() override;
    void Click() override;
    virtual void Change();

private:
    std::unique_ptr<TStringList> FValues;
    std::string FValue;
    bool FInSetValue = false;

    std::string ButtonValue(int Index) const;
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void ValuesChange(TObject* Sender);
    void CMExit(TMessage& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBRadioGroup::CMGetDataLink), on(CM_EXIT, &TDBRadioGroup::CMExit),
                  on(CM_DBFIELDERROR, &TDBRadioGroup::CMFieldError))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBRadioGroup),
                   prop("ReadOnly", &TDBRadioGroup::ReadOnly, &TDBRadioGroup::SetReadOnly).def(false),
                   prop("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns).def(1),
                   prop("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems),
                   prop("Values", &TDBRadioGroup::Values, &TDBRadioGroup::SetValues),
                   prop("OnChange", &TDBRadioGroup::OnChange, &TDBRadioGroup::OnChange))
};

// ---------------------------------------------------------------------------
// TDBListBox, TDBComboBox
// ---------------------------------------------------------------------------

// A list box whose selected item is the field's text (none when no item matches).
// Choosing an item puts the dataset into dsEdit (refused when the field cannot be
// modified); leaving writes the item's text.
class TDBListBox : public TCustomListBox {
    HOST_CLASS(TDBListBox, TCustomListBox)
    HOST_DB_FIELD_BINDING(TDBListBox)
    HOST_DB_EXIT_WRITE(TDBListBox)
public:
    explicit TDBListBox(TComponent* AOwner);
    ~TDBListBox() override;

    HOST_DB_LINK_READONLY
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    void SelectionChangedByUser() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMExit(TMessage& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBListBox::CMGetDataLink), on(CM_EXIT, &TDBListBox::CMExit),
                  on(CM_DBFIELDERROR, &TDBListBox::CMFieldError))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBListBox),
                   prop("ReadOnly", &TDBListBox::ReadOnly, &TDBListBox::SetReadOnly).def(false),
                   prop("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle).def(bsSingle),
                   prop("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).def(0),
                   prop("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight)
                       .def(false),
                   prop("ItemHeight", &TCustomListBox::StoredItemHeight, &TCustomListBox::SetItemHeight).def(0),
                   prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems),
                   prop("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).def(lbStandard),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// A combo box whose text is the field's text: choosing an item or typing puts the
// dataset into dsEdit (refused when the field cannot be modified); Escape puts the
// field's text back; leaving writes the text (csDropDownList: the chosen item's).
class TDBComboBox : public TCustomComboBox {
    HOST_CLASS(TDBComboBox, TCustomComboBox)
    HOST_DB_FIELD_BINDING(TDBComboBox)
    HOST_DB_EXIT_WRITE(TDBComboBox)
public:
    explicit TDBComboBox(TComponent* AOwner);
    ~TDBComboBox() override;

    HOST_DB_LINK_READONLY
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    void Change() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FInDataChange = false;
    void DataChange(TObject* Sender);
    void UpdateData(TObject* Sender);
    void CMExit(TMessage& Message);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBComboBox::CMGetDataLink), on(CM_EXIT, &TDBComboBox::CMExit),
                  on(CM_DBFIELDERROR, &TDBComboBox::CMFieldError))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBComboBox),
                   prop("ReadOnly", &TDBComboBox::ReadOnly, &TDBComboBox::SetReadOnly).def(false),
                   prop("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).def(ecNormal),
                   prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
                       .def(8),
                   prop("ItemHeight", &TCustomComboBox::StoredItemHeight, &TCustomComboBox::SetItemHeight).def(0),
                   prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems),
                   prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).def(0),
                   prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).def(false),
                   prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).def(csDropDown),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// ---------------------------------------------------------------------------
// Lookup list and combo boxes
// ---------------------------------------------------------------------------

// The list side of a lookup control: the records of ListSource's dataset, each as its
// KeyField value and its ListField text (the first of several ';'-separated list fields),
// read again whenever that dataset opens, changes or is edited. Not a component: the
// lookup controls hold one.
class TDBLookupList {
public:
    explicit TDBLookupList(std::function<void()> OnChanged);
    ~TDBLookupList();
    TDBLookupList(const TDBLookupList&) = delete;
    TDBLookupList& operator=(const TDBLookupList&) = delete;

    TDataSource* ListSource() const;
    void SetListSource(TDataSource* Value);
    const std::string& KeyField() const { return FKeyField; }
    void SetKeyField(const std::string& Value);
    const std::string& ListField() const { return FListField; }
    void SetListField(const std::string& Value);
    // Reads the rows again (the list dataset's position is kept).
    void Refresh();
    int Count() const { return static_cast<int>(FKeys.size()); }
    const Variant& Key(int Index) const { return FKeys.at(static_cast<size_t>(Index)); }
    const std::string& Text(int Index) const { return FTexts.at(static_cast<size_t>(Index)); }
    const std::vector<std::string>& Texts() const { return FTexts; }
    // The row whose key equals Value (-1: none, or Value is Null).
    int IndexOfKey(const Variant& Value) const;

private:
    class TListLink;
    std::unique_ptr<TListLink> FLink;
    std::function<void()> FOnChanged;
    std::string FKeyField, FListField;
    std::vector<Variant> FKeys;
    std::vector<std::string> FTexts;
};

// What both lookup controls share: the list of ListSource's rows by KeyField and
// ListField, and KeyValue, the key of the row chosen.
#define HOST_DB_LOOKUP_BINDING(Cls)                                                        \
public:                                                                                    \
    TDataSource* ListSource() const { return FList.ListSource(); }                         \
    void SetListSource(TDataSource* Value) { FList.SetListSource(Value); }                 \
    std::string KeyField() const { return FList.KeyField(); }                              \
    void SetKeyField(const std::string& Value) { FList.SetKeyField(Value); }               \
    std::string ListField() const { return FList.ListField(); }                            \
    void SetListField(const std::string& Value) { FList.SetListField(Value); }             \
    const Variant& KeyValue() const { return FKeyValue; }                                  \
    void SetKeyValue(const Variant& Value) {                                               \
        FKeyValue = Value;                                                                 \
        SyncSelection();                                                                   \
    }                                                                                      \
    const TDBLookupList& LookupList() const { return FList; }                              \
                                                                                           \
private:                                                                                   \
    TDBLookupList FList;                                                                   \
    Variant FKeyValue;                                                                     \
    bool FInSync = false;                                                                  \
    void ListChanged();                                                                    \
    void SyncSelection() {                                                                 \
        FInSync = true;                                                                    \
        SetItemIndex(FList.IndexOfKey(FKeyValue));                                         \
        FInSync = false;                                                                   \
    }

#define HOST_DB_LOOKUP_PROPS(Cls)                                                       \
    prop("KeyField", &Cls::KeyField, &Cls::SetKeyField).def(std::string()),             \
        prop("ListField", &Cls::ListField, &Cls::SetListField).def(std::string()),      \
        prop("ListSource", &Cls::ListSource, &Cls::SetListSource)

// A list box of ListSource's records showing ListField; the selected row's KeyField
// value is KeyValue and, with a DataSource and DataField, the field's value. Choosing a
// row puts the dataset into dsEdit (refused when the field cannot be modified) and
// writes the key at once.
class TDBLookupListBox : public TCustomListBox {
    HOST_CLASS(TDBLookupListBox, TCustomListBox)
    HOST_DB_FIELD_BINDING(TDBLookupListBox)
    HOST_DB_LOOKUP_BINDING(TDBLookupListBox)
public:
    explicit TDBLookupListBox(TComponent* AOwner);
    ~TDBLookupListBox() override;

    HOST_DB_LINK_READONLY
    // The list text of the selected row ("" when none).
    std::string SelectedText() const;

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    TNotifyEvent OnChange;

protected:
    void SelectionChangedByUser() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // Writes the key of row Index into the field (or KeyValue without one); false when refused.
    bool SelectRow(int Index);
    void DataChange(TObject* Sender);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBLookupListBox::CMGetDataLink))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBLookupListBox),
                   prop("ReadOnly", &TDBLookupListBox::ReadOnly, &TDBLookupListBox::SetReadOnly).def(false),
                   HOST_DB_LOOKUP_PROPS(TDBLookupListBox),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("OnChange", &TDBLookupListBox::OnChange, &TDBLookupListBox::OnChange))
};

// A drop-down list (csDropDownList) of ListSource's records showing ListField; the
// chosen row's KeyField value is KeyValue and, with a DataSource and DataField, the
// field's value, written as the row is chosen. Choosing is refused when the field
// cannot be modified.
class TDBLookupComboBox : public TCustomComboBox {
    HOST_CLASS(TDBLookupComboBox, TCustomComboBox)
    HOST_DB_FIELD_BINDING(TDBLookupComboBox)
    HOST_DB_LOOKUP_BINDING(TDBLookupComboBox)
public:
    explicit TDBLookupComboBox(TComponent* AOwner);
    ~TDBLookupComboBox() override;

    HOST_DB_LINK_READONLY

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

protected:
    void Change() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DataChange(TObject* Sender);
    HOST_MESSAGES(on(CM_GETDATALINK, &TDBLookupComboBox::CMGetDataLink))
    HOST_PUBLISHED(HOST_DB_FIELD_PROPS(TDBLookupComboBox),
                   prop("ReadOnly", &TDBLookupComboBox::ReadOnly, &TDBLookupComboBox::SetReadOnly).def(false),
                   prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
                       .def(8),
                   HOST_DB_LOOKUP_PROPS(TDBLookupComboBox),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// The data link a control answers CM_GETDATALINK with (nullptr when it has none).
TDataLink* GetControlDataLink(TControl* Control);

// Registers every class of this unit for form files (once) and lets fields focus the
// data-aware control that shows them (TField::FocusControl).
void RegisterDBControlClasses();

}  // namespace host
