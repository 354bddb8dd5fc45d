// Data-aware edit, label, memo, check box and radio group; the shared field-link helpers and the class registration.
#include "host/controls/dbctrls.h"

#include "host/app/app.h"
#include "host/controls/dbctrls_internal.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace dbctrls_internal {

std::unique_ptr<TFieldDataLink> MakeFieldLink(TComponent* Control) {
    // Fields find their control through this handler (TField::FocusControl).
    static const bool installed = [] {
        FieldLinkFocusHandler() = [](TComponent* C) {
            auto* w = dynamic_cast<TWinControl*>(C);
            if (w == nullptr || !w->CanFocus()) return false;
            w->SetFocus();
            return true;
        };
        return true;
    }();
    (void)installed;
    auto link = std::make_unique<TFieldDataLink>();
    link->SetControl(Control);
    return link;
}

void ReleaseFieldLink(std::unique_ptr<TFieldDataLink>& Link) {
    if (!Link) return;
    Link->OnDataChange = nullptr;
    Link->OnEditingChange = nullptr;
    Link->OnUpdateData = nullptr;
    Link->OnActiveChange = nullptr;
    Link.reset();
}

bool UpdateOnExit(TWinControl* Control, TFieldDataLink* Link, std::exception_ptr& Pending) {
    try {
        Link->UpdateRecord();
        return true;
    } catch (...) {
        Pending = std::current_exception();
        PostMessageA(Control->Handle(), CM_DBFIELDERROR, 0, 0);
        return false;
    }
}

void RaisePending(TWinControl* Control, std::exception_ptr& Pending) {
    std::exception_ptr e = Pending;
    Pending = nullptr;
    if (!e) return;
    if (Control->CanFocus()) Control->SetFocus();
    if (auto* edit = dynamic_cast<TCustomEdit*>(Control)) edit->SelectAll();
    std::rethrow_exception(e);
}

bool RefuseFieldChar(TField* Field, char& Key) {
    if (static_cast<unsigned char>(Key) < 32 || Field == nullptr || Field->IsValidChar(Key)) return false;
    MessageBeep(0);
    Key = 0;
    return true;
}

}  // namespace dbctrls_internal

using namespace dbctrls_internal;

// The first of a ';'-separated list of values.
static std::string FirstValue(const std::string& List) { return List.substr(0, List.find(';')); }

// True when Text equals one of the ';'-separated values of List (ASCII case folded).
static bool ValueInList(const std::string& List, const std::string& Text) {
    size_t start = 0;
    while (true) {
        size_t end = List.find(';', start);
        std::string v = List.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (SameText(v, Text)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

void DBControlRaisePending(TWinControl* Control, std::exception_ptr& Pending) { RaisePending(Control, Pending); }

TDataLink* GetControlDataLink(TControl* Control) {
    if (Control == nullptr) return nullptr;
    return reinterpret_cast<TDataLink*>(Control->Perform(CM_GETDATALINK, 0, 0));
}

// ---------------------------------------------------------------------------
// TDBEdit

TDBEdit::TDBEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBEdit::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBEdit::UpdateData);
}

TDBEdit::~TDBEdit() { ReleaseFieldLink(FDataLink); }

void TDBEdit::SetReadOnly(bool Value) {
    FDataLink->SetReadOnly(Value);
    TCustomEdit::SetReadOnly(Value);
}

void TDBEdit::Reset() {
    FDataLink->Reset();
    SelectAll();
}

void TDBEdit::Change() {
    FDataLink->Modified();
    TCustomMaskEdit::Change();
}

bool TDBEdit::EditCanModify() { return FDataLink->Edit(); }

void TDBEdit::KeyDown(WORD& Key, TShiftState Shift) { TCustomMaskEdit::KeyDown(Key, Shift); }

void TDBEdit::KeyPress(char& Key) {
    if (RefuseFieldChar(Field(), Key)) return;
    if (Key == 27) {
        Reset();
        Key = 0;
        return;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TDBEdit::SetFocused(bool Value) {
    if (FFocused == Value) return;
    FFocused = Value;
    FDataLink->Reset();
}

void TDBEdit::DataChange(TObject*) {
    TField* f = Field();
    if (f == nullptr) {
        SetEditMask("");
        SetEditText("");
        return;
    }
    SetEditMask(f->EditMask());
    if (FFocused && FDataLink->CanModify()) {
        SetText(f->Text());
    } else {
        bool keep = FDataLink->Editing() && FDataLink->IsModified();
        SetEditText(f->DisplayText());
        if (keep) SetModified(true);
    }
}

void TDBEdit::UpdateData(TObject*) {
    ValidateEdit();
    Field()->SetText(Text());
}

void TDBEdit::CMEnter(TMessage& Message) {
    SetFocused(true);
    Inherited(Message);
}

void TDBEdit::CMExit(TMessage& Message) {
    // A failed write keeps the control "focused" so that taking the focus back keeps the text.
    if (!UpdateOnExit(this, FDataLink.get(), FExitError)) return;
    SetFocused(false);
    CheckCursor();
    Inherited(Message);
}

void TDBEdit::CMWantSpecialKey(TWMKey& Message) {
    Inherited(Message);
    if (Message.CharCode() == VK_ESCAPE && FDataLink->Editing() && (FDataLink->IsModified() || Modified()))
        Message.Result = 1;
}

// ---------------------------------------------------------------------------
// TDBText

TDBText::TDBText(TComponent* AOwner) : TCustomLabel(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBText::DataChange);
    SetAutoSize(false);
    SetShowAccelChar(false);
}

TDBText::~TDBText() { ReleaseFieldLink(FDataLink); }

std::string TDBText::GetLabelText() {
    TField* f = Field();
    return f != nullptr ? f->DisplayText() : std::string();
}

void TDBText::DataChange(TObject*) { SetCaption(GetLabelText()); }

// ---------------------------------------------------------------------------
// TDBMemo

TDBMemo::TDBMemo(TComponent* AOwner) : TCustomMemo(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBMemo::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBMemo::UpdateData);
}

TDBMemo::~TDBMemo() { ReleaseFieldLink(FDataLink); }

void TDBMemo::SetReadOnly(bool Value) {
    FDataLink->SetReadOnly(Value);
    TCustomEdit::SetReadOnly(Value);
}

void TDBMemo::SetAutoDisplay(bool Value) {
    if (FAutoDisplay == Value) return;
    FAutoDisplay = Value;
    if (Value) LoadMemo();
}

void TDBMemo::LoadMemo() {
    TField* f = Field();
    if (FMemoLoaded || f == nullptr || !f->IsBlob()) return;
    try {
        SetText(f->AsString());
        FMemoLoaded = true;
    } catch (EInvalidOperation& E) {
        SetText("(" + E.Message() + ")");
    }
}

void TDBMemo::DataChange(TObject*) {
    TField* f = Field();
    if (f == nullptr) {
        SetText("");
        FMemoLoaded = false;
    } else if (f->IsBlob()) {
        if (FAutoDisplay || (FDataLink->Editing() && FMemoLoaded)) {
            FMemoLoaded = false;
            LoadMemo();
        } else {
            SetText("(" + f->DisplayLabel() + ")");
            FMemoLoaded = false;
        }
    } else {
        SetText(FFocused && FDataLink->CanModify() ? f->Text() : f->DisplayText());
        FMemoLoaded = true;
    }
    SetModified(false);
}

void TDBMemo::UpdateData(TObject*) {
    TField* f = Field();
    if (f->IsBlob())
        f->SetAsString(Text());
    else
        f->SetText(Text());
}

void TDBMemo::Change() {
    FDataLink->Modified();
    TCustomMemo::Change();
}

bool TDBMemo::CanEditText() const {
    // The dataset goes into dsEdit as a person starts changing the text.
    return FMemoLoaded && !FDataLink->ReadOnly() && FDataLink->Edit();
}

void TDBMemo::KeyDown(WORD& Key, TShiftState Shift) { TCustomMemo::KeyDown(Key, Shift); }

void TDBMemo::KeyPress(char& Key) {
    if (!FMemoLoaded) {
        if (Key == 13) LoadMemo();
        Key = 0;
        return;
    }
    if (RefuseFieldChar(Field(), Key)) return;
    if (Key == 27) {
        FDataLink->Reset();
        Key = 0;
        return;
    }
    TCustomMemo::KeyPress(Key);
}

void TDBMemo::DblClick() {
    if (!FMemoLoaded)
        LoadMemo();
    else
        TCustomMemo::DblClick();
}

void TDBMemo::CMEnter(TMessage& Message) {
    if (!FFocused) {
        FFocused = true;
        if (Field() == nullptr || !Field()->IsBlob()) FDataLink->Reset();
    }
    Inherited(Message);
}

void TDBMemo::CMExit(TMessage& Message) {
    if (!UpdateOnExit(this, FDataLink.get(), FExitError)) return;
    if (FFocused) {
        FFocused = false;
        if (Field() == nullptr || !Field()->IsBlob()) FDataLink->Reset();
    }
    Inherited(Message);
}

void TDBMemo::CMWantSpecialKey(TWMKey& Message) {
    Inherited(Message);
    if (Message.CharCode() == VK_ESCAPE && FDataLink->Editing() && FDataLink->IsModified()) Message.Result = 1;
}

// ---------------------------------------------------------------------------
// TDBCheckBox

TDBCheckBox::TDBCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBCheckBox::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBCheckBox::UpdateData);
}

TDBCheckBox::~TDBCheckBox() { ReleaseFieldLink(FDataLink); }

void TDBCheckBox::SetValueChecked(const std::string& Value) {
    FValueCheck = Value;
    DataChange(this);
}

void TDBCheckBox::SetValueUnchecked(const std::string& Value) {
    FValueUncheck = Value;
    DataChange(this);
}

TCheckBoxState TDBCheckBox::FieldState() const {
    TField* f = Field();
    if (f == nullptr) return cbUnchecked;
    if (f->IsNull()) return cbGrayed;
    if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
    std::string text = f->Text();
    if (ValueInList(FValueCheck, text)) return cbChecked;
    if (ValueInList(FValueUncheck, text)) return cbUnchecked;
    return cbGrayed;
}

void TDBCheckBox::DataChange(TObject*) { SetState(FieldState()); }

void TDBCheckBox::UpdateData(TObject*) {
    TField* f = Field();
    if (State() == cbGrayed)
        f->Clear();
    else if (f->DataType() == ftBoolean)
        f->SetAsBoolean(Checked());
    else
        f->SetText(FirstValue(Checked() ? FValueCheck : FValueUncheck));
}

void TDBCheckBox::Toggle() {
    if (!FDataLink->Edit()) {
        MessageBeep(0);
        return;
    }
    TCustomCheckBox::Toggle();
    FDataLink->Modified();
}

void TDBCheckBox::KeyPress(char& Key) {
    TCustomCheckBox::KeyPress(Key);
    if (Key == 27) FDataLink->Reset();
}

void TDBCheckBox::CMExit(TMessage& Message) {
    if (UpdateOnExit(this, FDataLink.get(), FExitError)) Inherited(Message);
}

// ---------------------------------------------------------------------------
// TDBRadioGroup

TDBRadioGroup::TDBRadioGroup(TComponent* AOwner)
    : TCustomRadioGroup(AOwner), FValues(std::make_unique<TStringList>()) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBRadioGroup::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBRadioGroup::UpdateData);
    FValues->OnChange = TNotifyEvent(this, &TDBRadioGroup::ValuesChange);
}

TDBRadioGroup::~TDBRadioGroup() {
    ReleaseFieldLink(FDataLink);
    FValues->OnChange = nullptr;
}

TStrings* TDBRadioGroup::Values() const { return FValues.get(); }

void TDBRadioGroup::SetValues(TStrings* Value) { FValues->Assign(Value); }

std::string TDBRadioGroup::ButtonValue(int Index) const {
    if (Index < FValues->Count()) return FValues->Strings(Index);
    if (Index < Items()->Count()) return Items()->Strings(Index);
    return std::string();
}

void TDBRadioGroup::SetValue(const std::string& Value) {
    int index = -1;
    for (int i = 0; i < Items()->Count(); ++i) {
        if (ButtonValue(i) == Value) {
            index = i;
            break;
        }
    }
    bool wasFocused = ItemIndex() >= 0 && ItemIndex() < ButtonCount() && Buttons(ItemIndex())->Focused();
    FInSetValue = true;
    try {
        SetItemIndex(index);
        if (wasFocused && index >= 0) Buttons(index)->SetFocus();
    } catch (...) {
        FInSetValue = false;
        throw;
    }
    FInSetValue = false;
    if (FValue == Value) return;
    FValue = Value;
    Change();
}

bool TDBRadioGroup::CanModify() { return FDataLink->Edit(); }

void TDBRadioGroup::Click() {
    if (FInSetValue) return;
    // The arrow keys check a button as it takes the focus, past CanModify: put the
    // field's value back when it may not change.
    if (!FDataLink->Edit()) {
        std::string keep = FValue;
        FValue.clear();
        SetValue(keep);
        return;
    }
    TCustomRadioGroup::Click();
    if (ItemIndex() >= 0) SetValue(ButtonValue(ItemIndex()));
    FDataLink->Modified();
}

void TDBRadioGroup::Change() { OnChange(this); }

void TDBRadioGroup::DataChange(TObject*) {
    TField* f = Field();
    SetValue(f != nullptr ? f->Text() : std::string());
}

void TDBRadioGroup::UpdateData(TObject*) { Field()->SetText(FValue); }

void TDBRadioGroup::ValuesChange(TObject*) { DataChange(this); }

void TDBRadioGroup::CMExit(TMessage& Message) {
    if (UpdateOnExit(this, FDataLink.get(), FExitError)) Inherited(Message);
}

// ---------------------------------------------------------------------------

void RegisterDBControlClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TDBEdit::StaticClass(), TDBText::StaticClass(), TDBMemo::StaticClass(),
                     TDBRichEdit::StaticClass(), TDBImage::StaticClass(), TDBCheckBox::StaticClass(),
                     TDBRadioGroup::StaticClass(), TDBListBox::StaticClass(), TDBComboBox::StaticClass(),
                     TDBLookupListBox::StaticClass(), TDBLookupComboBox::StaticClass()});
}

}  // namespace host
