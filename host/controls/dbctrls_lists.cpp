// Data-aware list box, combo box, lookup list and combo boxes, and the image control.
#include <algorithm>

#include "host/app/clipbrd.h"
#include "host/controls/controls_internal.h"
#include "host/controls/dbctrls.h"
#include "host/controls/dbctrls_internal.h"
#include "host/rtl/streams.h"
#include "host/windows/clipboard.h"

namespace host {

using namespace dbctrls_internal;

// The navigation keys that change a list's selection.
static bool IsListMoveKey(WORD Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_LEFT || Key == VK_UP ||
           Key == VK_RIGHT || Key == VK_DOWN;
}

// ---------------------------------------------------------------------------
// TDBListBox

TDBListBox::TDBListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBListBox::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBListBox::UpdateData);
    // Items given after the field is bound (or changed later) select the field's value
    // again, unless the person is choosing one.
    auto* items = static_cast<TStringList*>(Items());  // the list box keeps a string list
    TNotifyEvent listChanged = items->OnChange;
    items->OnChange = [this, listChanged](TObject* Sender) {
        listChanged(Sender);
        if (!FDataLink->Editing()) DataChange(this);
    };
}

TDBListBox::~TDBListBox() { ReleaseFieldLink(FDataLink); }

void TDBListBox::DataChange(TObject*) {
    TField* f = Field();
    SetItemIndex(f != nullptr ? Items()->IndexOf(f->Text()) : -1);
}

void TDBListBox::UpdateData(TObject*) {
    int i = ItemIndex();
    Field()->SetText(i >= 0 ? Items()->Strings(i) : std::string());
}

void TDBListBox::SelectionChangedByUser() {
    if (!FDataLink->Edit()) {
        DataChange(this);
        return;
    }
    FDataLink->Modified();
    TCustomListBox::SelectionChangedByUser();
}

void TDBListBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (IsListMoveKey(Key) && !FDataLink->Edit()) Key = 0;
    TCustomListBox::KeyDown(Key, Shift);
}

void TDBListBox::KeyPress(char& Key) {
    if (Key == 27) {
        FDataLink->Reset();
        Key = 0;
    } else if (static_cast<unsigned char>(Key) >= 32 && !FDataLink->Edit()) {
        Key = 0;
    }
    TCustomListBox::KeyPress(Key);
}

void TDBListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !FDataLink->Edit()) {
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomListBox::MouseDown(Button, Shift, X, Y);
}

void TDBListBox::CMExit(TMessage& Message) {
    if (UpdateOnExit(this, FDataLink.get(), FExitError)) Inherited(Message);
}

// ---------------------------------------------------------------------------
// TDBComboBox

TDBComboBox::TDBComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBComboBox::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBComboBox::UpdateData);
}

TDBComboBox::~TDBComboBox() { ReleaseFieldLink(FDataLink); }

void TDBComboBox::DataChange(TObject*) {
    if (DroppedDown()) return;
    TField* f = Field();
    std::string text = f != nullptr ? f->Text() : std::string();
    FInDataChange = true;
    if (HasEdit())
        SetText(text);
    else
        SetItemIndex(Items()->IndexOf(text));
    FInDataChange = false;
}

void TDBComboBox::UpdateData(TObject*) { Field()->SetText(Text()); }

void TDBComboBox::Change() {
    if (!FInDataChange) {
        // Choosing with the mouse in the list reaches here first: undo a choice the
        // field may not take.
        if (!FDataLink->Edit()) {
            DataChange(this);
            return;
        }
        FDataLink->Modified();
    }
    TCustomComboBox::Change();
}

void TDBComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    if ((IsListMoveKey(Key) || Key == VK_DELETE || Key == VK_BACK) && !Shift.Contains(ssAlt) && !FDataLink->Edit())
        Key = 0;
    TCustomComboBox::KeyDown(Key, Shift);
}

void TDBComboBox::KeyPress(char& Key) {
    if (Key == 27) {
        FDataLink->Reset();
        SelectAll();
        Key = 0;
    } else if (IsEditChar(Key) && !FDataLink->Edit()) {
        MessageBeep(0);
        Key = 0;
    }
    TCustomComboBox::KeyPress(Key);
}

void TDBComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !HasEdit() && !FDataLink->Edit()) {
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomComboBox::MouseDown(Button, Shift, X, Y);
}

void TDBComboBox::CMExit(TMessage& Message) {
    if (UpdateOnExit(this, FDataLink.get(), FExitError)) Inherited(Message);
}

// ---------------------------------------------------------------------------
// TDBLookupList

// Reads the list's rows again whenever the list dataset opens, closes, changes its
// records or its fields; plain scrolling changes nothing.
class TDBLookupList::TListLink : public TDataLink {
public:
    explicit TListLink(TDBLookupList* Owner) : FOwner(Owner) {}

protected:
    void ActiveChanged() override { FOwner->Refresh(); }
    void DataSetChanged() override { FOwner->Refresh(); }
    void DataSetScrolled(int) override {}
    void LayoutChanged() override { FOwner->Refresh(); }
    void RecordChanged(TField* Field) override {
        if (Field == nullptr) FOwner->Refresh();
    }

private:
    TDBLookupList* FOwner;
};

TDBLookupList::TDBLookupList(std::function<void()> OnChanged)
    : FLink(std::make_unique<TListLink>(this)), FOnChanged(std::move(OnChanged)) {}

TDBLookupList::~TDBLookupList() {
    FOnChanged = nullptr;
    FLink.reset();
}

TDataSource* TDBLookupList::ListSource() const { return FLink->DataSource(); }

void TDBLookupList::SetListSource(TDataSource* Value) { FLink->SetDataSource(Value); }

void TDBLookupList::SetKeyField(const std::string& Value) {
    if (FKeyField == Value) return;
    FKeyField = Value;
    Refresh();
}

void TDBLookupList::SetListField(const std::string& Value) {
    if (FListField == Value) return;
    FListField = Value;
    Refresh();
}

void TDBLookupList::Refresh() {
    static thread_local int depth = 0;
    if (depth > 0) return;  // EnableControls below tells this link again
    TDataSet* ds = FLink->Active() ? FLink->DataSet() : nullptr;
    // While a list record is edited or inserted the rows stay as they were.
    if (ds != nullptr && ds->State() != dsBrowse) return;
    FKeys.clear();
    FTexts.clear();
    std::string listName = FListField.substr(0, FListField.find(';'));
    if (ds != nullptr && !FKeyField.empty()) {
        TField* key = ds->FindField(FKeyField);
        TField* text = ds->FindField(listName.empty() ? FKeyField : listName);
        if (key != nullptr && text != nullptr) {
            ++depth;
            TBookmark mark = ds->GetBookmark();
            ds->DisableControls();
            try {
                for (ds->First(); !ds->Eof(); ds->Next()) {
                    FKeys.push_back(key->Value());
                    FTexts.push_back(text->DisplayText());
                }
                if (!mark.empty() && ds->BookmarkValid(mark)) ds->GotoBookmark(mark);
            } catch (...) {
                ds->EnableControls();
                --depth;
                throw;
            }
            ds->EnableControls();
            --depth;
        }
    }
    if (FOnChanged) FOnChanged();
}

int TDBLookupList::IndexOfKey(const Variant& Value) const {
    if (Value.IsNull() || Value.IsEmpty()) return -1;
    for (size_t i = 0; i < FKeys.size(); ++i) {
        if (!FKeys[i].IsNull() && VarCompareValue(FKeys[i], Value) == vrEqual) return static_cast<int>(i);
    }
    return -1;
}

// Items of a list or combo replaced by the lookup rows' texts.
static void FillItems(TStrings* Items, const std::vector<std::string>& Texts) {
    Items->BeginUpdate();
    Items->Clear();
    for (const std::string& s : Texts) Items->Add(s);
    Items->EndUpdate();
}

// ---------------------------------------------------------------------------
// TDBLookupListBox

TDBLookupListBox::TDBLookupListBox(TComponent* AOwner)
    : TCustomListBox(AOwner), FList([this] { ListChanged(); }) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBLookupListBox::DataChange);
}

TDBLookupListBox::~TDBLookupListBox() { ReleaseFieldLink(FDataLink); }

void TDBLookupListBox::ListChanged() {
    FillItems(Items(), FList.Texts());
    SyncSelection();
}

std::string TDBLookupListBox::SelectedText() const {
    int i = ItemIndex();
    return i >= 0 && i < FList.Count() ? FList.Text(i) : std::string();
}

void TDBLookupListBox::DataChange(TObject*) {
    if (Field() == nullptr) return;
    FKeyValue = Field()->Value();
    SyncSelection();
}

bool TDBLookupListBox::SelectRow(int Index) {
    if (Index < 0 || Index >= FList.Count()) return false;
    if (!DataField().empty()) {
        if (Field() == nullptr || !FDataLink->Edit()) return false;
        Field()->SetValue(FList.Key(Index));
    }
    FKeyValue = FList.Key(Index);
    return true;
}

void TDBLookupListBox::SelectionChangedByUser() {
    if (FInSync) return;
    if (!SelectRow(ItemIndex())) {
        SyncSelection();
        return;
    }
    OnChange(this);
    TCustomListBox::SelectionChangedByUser();
}

void TDBLookupListBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (IsListMoveKey(Key) && !DataField().empty() && !FDataLink->Edit()) Key = 0;
    TCustomListBox::KeyDown(Key, Shift);
}

void TDBLookupListBox::KeyPress(char& Key) {
    if (Key == 27) {
        FDataLink->Reset();
        Key = 0;
    } else if (static_cast<unsigned char>(Key) >= 32 && !DataField().empty() && !FDataLink->Edit()) {
        Key = 0;
    }
    TCustomListBox::KeyPress(Key);
}

void TDBLookupListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !DataField().empty() && !FDataLink->Edit()) {
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomListBox::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// TDBLookupComboBox

TDBLookupComboBox::TDBLookupComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), FList([this] { ListChanged(); }) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBLookupComboBox::DataChange);
    SetStyle(csDropDownList);
}

TDBLookupComboBox::~TDBLookupComboBox() { ReleaseFieldLink(FDataLink); }

void TDBLookupComboBox::ListChanged() {
    FInSync = true;
    FillItems(Items(), FList.Texts());
    FInSync = false;
    SyncSelection();
}

void TDBLookupComboBox::DataChange(TObject*) {
    if (Field() == nullptr) return;
    FKeyValue = Field()->Value();
    SyncSelection();
}

void TDBLookupComboBox::Change() {
    if (FInSync) return;
    int i = ItemIndex();
    if (i < 0 || i >= FList.Count()) return;
    if (!DataField().empty()) {
        if (Field() == nullptr || !FDataLink->Edit()) {
            SyncSelection();
            return;
        }
        Field()->SetValue(FList.Key(i));
    }
    FKeyValue = FList.Key(i);
    TCustomComboBox::Change();
}

void TDBLookupComboBox::KeyDown(WORD& Key, TShiftState Shift) {
    if (IsListMoveKey(Key) && !DataField().empty() && !FDataLink->Edit()) Key = 0;
    TCustomComboBox::KeyDown(Key, Shift);
}

void TDBLookupComboBox::KeyPress(char& Key) {
    if (Key == 27 && !DroppedDown()) {
        FDataLink->Reset();
        Key = 0;
    } else if (static_cast<unsigned char>(Key) >= 32 && !DataField().empty() && !FDataLink->Edit()) {
        Key = 0;
    }
    TCustomComboBox::KeyPress(Key);
}

void TDBLookupComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !DataField().empty() && !FDataLink->Edit()) {
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomComboBox::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// TDBImage

TDBImage::TDBImage(TComponent* AOwner) : TCustomControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FDataLink = MakeFieldLink(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TDBImage::DataChange);
    FDataLink->OnUpdateData = TNotifyEvent(this, &TDBImage::UpdateData);
    FPicture->OnChange = TNotifyEvent(this, &TDBImage::PictureChanged);
    FControlStyle.Include(csOpaque);
    SetBounds(Left(), Top(), 105, 105);
    SetTabStop(true);
    SetColor(clWindow);
}

TDBImage::~TDBImage() {
    ReleaseFieldLink(FDataLink);
    FPicture->OnChange = nullptr;
}

void TDBImage::SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }

void TDBImage::SetAutoDisplay(bool Value) {
    if (FAutoDisplay == Value) return;
    FAutoDisplay = Value;
    if (Value) LoadPicture();
}

void TDBImage::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    Invalidate();
}

void TDBImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Invalidate();
}

void TDBImage::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TDBImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

void TDBImage::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
}

void TDBImage::LoadPicture() {
    TField* f = Field();
    if (FPictureLoaded || f == nullptr || !f->IsBlob()) return;
    TStringStream data;
    static_cast<TBlobField*>(f)->SaveToStream(&data);
    FLoading = true;
    try {
        if (data.DataString().empty()) {
            FPicture->Assign(nullptr);
        } else {
            TBitmap bmp;
            data.Seek(0, soBeginning);
            bmp.LoadFromStream(&data);
            FPicture->Assign(&bmp);
        }
    } catch (EInvalidGraphic&) {
        // A blob that is no picture shows as an empty image instead of failing every move.
        FPicture->Assign(nullptr);
    }
    FLoading = false;
    FPictureLoaded = true;
    Invalidate();
}

void TDBImage::PictureChanged(TObject*) {
    if (!FLoading) {
        FDataLink->Modified();
        FPictureLoaded = true;
    }
    Invalidate();
}

void TDBImage::DataChange(TObject*) {
    FLoading = true;
    FPicture->Assign(nullptr);
    FLoading = false;
    FPictureLoaded = false;
    if (FAutoDisplay) LoadPicture();
    Invalidate();
}

void TDBImage::UpdateData(TObject*) {
    auto* f = static_cast<TBlobField*>(Field());
    TGraphic* g = FPicture->Graphic();
    if (g != nullptr && !g->Empty() && g->InheritsFrom(TBitmap::StaticClass())) {
        TStringStream data;
        g->SaveToStream(&data);
        data.Seek(0, soBeginning);
        f->LoadFromStream(&data);
    } else {
        f->Clear();
    }
}

void TDBImage::Paint() {
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    int cw = client.right - client.left, ch = client.bottom - client.top;
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    TGraphic* g = FPicture->Graphic();
    if (!FPictureLoaded && Field() != nullptr) {
        std::string s = "(" + Field()->DisplayLabel() + ")";
        c->Font()->Assign(Font());
        c->TextOut((cw - c->TextWidth(s)) / 2, (ch - c->TextHeight(s)) / 2, s);
    } else if (g != nullptr && !g->Empty()) {
        TRect r = client;
        if (!FStretch) {
            int w = FPicture->Width(), h = FPicture->Height();
            int x = FCenter ? (cw - w) / 2 : 0;
            int y = FCenter ? (ch - h) / 2 : 0;
            r = TRect{x, y, x + w, y + h};
        }
        c->StretchDraw(r, g);
    }
    if (Focused()) c->DrawFocusRect(client);
}

void TDBImage::CopyToClipboard() {
    TGraphic* g = FPicture->Graphic();
    if (g != nullptr && !g->Empty()) Clipboard()->Assign(FPicture.get());
}

void TDBImage::CutToClipboard() {
    TGraphic* g = FPicture->Graphic();
    if (g == nullptr || g->Empty() || !FDataLink->Edit()) return;
    CopyToClipboard();
    FPicture->Assign(nullptr);
}

void TDBImage::PasteFromClipboard() {
    if (!Clipboard()->HasFormat(CF_BITMAP) || !FDataLink->Edit()) return;
    TBitmap bmp;
    bmp.Assign(Clipboard());
    FPicture->Assign(&bmp);
}

void TDBImage::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_INSERT && Shift.Contains(ssShift)) {
        PasteFromClipboard();
    } else if (Key == VK_INSERT && Shift.Contains(ssCtrl)) {
        CopyToClipboard();
    } else if (Key == VK_DELETE && Shift.Contains(ssShift)) {
        CutToClipboard();
    } else if (Key == VK_DELETE) {
        TGraphic* g = FPicture->Graphic();
        if (g != nullptr && !g->Empty() && FDataLink->Edit()) FPicture->Assign(nullptr);
    }
}

void TDBImage::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    switch (Key) {
        case 3: CopyToClipboard(); break;
        case 22: PasteFromClipboard(); break;
        case 24: CutToClipboard(); break;
        case 13: LoadPicture(); break;
        case 27: FDataLink->Reset(); break;
        default: break;
    }
}

void TDBImage::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TabStop() && CanFocus() && !Focused()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDBImage::DblClick() {
    LoadPicture();
    TCustomControl::DblClick();
}

void TDBImage::CMExit(TMessage& Message) {
    if (UpdateOnExit(this, FDataLink.get(), FExitError)) Inherited(Message);
    Invalidate();
}

void TDBImage::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
void TDBImage::WMCut(TMessage&) { CutToClipboard(); }
void TDBImage::WMCopy(TMessage&) { CopyToClipboard(); }
void TDBImage::WMPaste(TMessage&) { PasteFromClipboard(); }

void TDBImage::WMSetFocusKill(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

}  // namespace host
