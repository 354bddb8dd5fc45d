// The edit window's one-line previews of memo, picture and blob fields and the popup editing forms they open.
#include <algorithm>
#include <cstdio>

#include "dbcontrols/ryxedwin.h"
#include "host/controls/buttons.h"
#include "host/controls/dbctrls.h"
#include "host/controls/extctrls.h"
#include "host/db/db.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/typinfo.h"

namespace ryx {

using namespace host;

namespace {

constexpr int ButtonWidth = 18, MaxPreview = 200, MaxHexBytes = 4096;

bool IsMemoType(TFieldType Type) { return Type == ftMemo || Type == ftFmtMemo || Type == ftOraClob; }

// The memo's first line, with "..." when more follows or it is cut.
std::string FirstLine(const std::string& Text) {
    size_t end = std::min(Text.find_first_of("\r\n"), Text.size());
    size_t len = std::min(end, static_cast<size_t>(MaxPreview));
    // Never cut inside a UTF-8 sequence.
    while (len < end && len > 0 && (static_cast<unsigned char>(Text[len]) & 0xC0) == 0x80) --len;
    bool more = len < end || Text.find_first_not_of("\r\n", end) != std::string::npos;
    return more ? Text.substr(0, len) + " ..." : Text.substr(0, len);
}

// "<n> bytes" and an offset / hex / characters dump of the first MaxHexBytes bytes.
std::string HexDump(const std::string& Data) {
    std::string out = std::to_string(Data.size()) + (Data.size() == 1 ? " byte" : " bytes");
    size_t shown = std::min(Data.size(), static_cast<size_t>(MaxHexBytes));
    char buf[16];
    for (size_t row = 0; row < shown; row += 16) {
        std::snprintf(buf, sizeof buf, "%08zX ", row);
        out += "\r\n";
        out += buf;
        std::string chars;
        for (size_t i = row; i < row + 16; ++i) {
            if (i < shown) {
                auto b = static_cast<unsigned char>(Data[i]);
                std::snprintf(buf, sizeof buf, " %02X", b);
                out += buf;
                chars += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
            } else {
                out += "   ";
            }
        }
        out += "  " + chars;
    }
    if (shown < Data.size()) out += "\r\n... " + std::to_string(Data.size() - shown) + " more bytes";
    return out;
}

// The field link of a data-aware editor made here.
TFieldDataLink* EditorLink(TWinControl* Editor) {
    if (auto* memo = dynamic_cast<TDBMemo*>(Editor)) return memo->DataLink();
    if (auto* image = dynamic_cast<TDBImage*>(Editor)) return image->DataLink();
    return nullptr;
}

}  // namespace

bool IsPopupField(TField* Field) { return Field != nullptr && Field->IsBlob(); }

// ---------------------------------------------------------------------------
// TryxDBBlobPreview

TryxDBBlobPreview::TryxDBBlobPreview(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = TNotifyEvent(this, &TryxDBBlobPreview::DataChange);
    FControlStyle.Include(csOpaque);
    SetTabStop(true);
    SetColor(clWindow);
    FButton = new TSpeedButton(this);
    FButton->SetCaption("...");
    FButton->SetParent(this);
    FButton->OnClick = TNotifyEvent(this, &TryxDBBlobPreview::ButtonClick);
    SetBounds(Left(), Top(), 240, 21);
    Resize();
}

TryxDBBlobPreview::~TryxDBBlobPreview() {
    FDataLink->OnDataChange = nullptr;
    FDataLink->SetDataSource(nullptr);
}

TDataSource* TryxDBBlobPreview::DataSource() const { return FDataLink->DataSource(); }
void TryxDBBlobPreview::SetDataSource(TDataSource* Value) { FDataLink->SetDataSource(Value); }
std::string TryxDBBlobPreview::DataField() const { return FDataLink->FieldName(); }
void TryxDBBlobPreview::SetDataField(const std::string& Value) { FDataLink->SetFieldName(Value); }
TField* TryxDBBlobPreview::Field() const { return FDataLink->Field(); }

void TryxDBBlobPreview::SetReadOnly(bool Value) {
    FReadOnly = Value;
    FDataLink->SetReadOnly(Value);
}

void TryxDBBlobPreview::OpenPopup() {
    if (Field() != nullptr) OnOpenPopup(this);
}

void TryxDBBlobPreview::DataChange(TObject*) {
    TField* f = Field();
    std::string text;
    if (f != nullptr && !f->IsNull()) text = IsMemoType(f->DataType()) ? FirstLine(f->AsString()) : f->DisplayText();
    else if (f != nullptr && !IsMemoType(f->DataType())) text = f->DisplayText();
    SetCaption(text);
    Invalidate();
}

void TryxDBBlobPreview::ButtonClick(TObject*) { OpenPopup(); }

void TryxDBBlobPreview::Resize() {
    TCustomControl::Resize();
    if (FButton != nullptr) FButton->SetBounds(Width() - 2 - ButtonWidth, 2, ButtonWidth, std::max(Height() - 4, 1));
}

void TryxDBBlobPreview::Paint() {
    TCanvas* c = Canvas();
    TRect client = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    RECT edge = client;
    DrawEdge(c->Handle(), &edge, EDGE_SUNKEN, BF_RECT);
    c->Font()->Assign(Font());
    std::string text = Caption();
    TRect inner{client.left + 2, client.top + 2, FButton->Left() - 1, client.bottom - 2};
    if (inner.right > inner.left) {
        c->TextRect(inner, inner.left + 2, (client.bottom - client.top - c->TextHeight("Wg")) / 2, text);
        if (Focused()) c->DrawFocusRect(inner);
    }
}

void TryxDBBlobPreview::DblClick() {
    TCustomControl::DblClick();
    OpenPopup();
}

void TryxDBBlobPreview::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_RETURN && Shift.Contains(ssCtrl)) {
        Key = 0;
        OpenPopup();
    }
}

void TryxDBBlobPreview::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TabStop() && CanFocus() && !Focused()) SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TryxDBBlobPreview::CMWantSpecialKey(TMessage& Message) {
    Inherited(Message);
    // Ctrl+Enter opens the popup instead of pressing the form's default button.
    if (Message.WParam == VK_RETURN && GetKeyState(VK_CONTROL) < 0) Message.Result = 1;
}

void TryxDBBlobPreview::WMSetFocusKill(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TryxDBFieldPopup

TryxDBFieldPopup::TryxDBFieldPopup(TComponent* AOwner, TDataSource* Source, TField* Field, bool ReadOnly,
                                   bool Modal)
    : TForm(AOwner, 0),
      FField(Field),
      FReadOnly(ReadOnly || !Field->CanModify()),
      FModal(Modal),
      FWatch(std::make_unique<TFieldDataLink>()) {
    bool picture = Field->DataType() == ftGraphic, memo = IsMemoType(Field->DataType());
    SetCaption(Field->DisplayLabel());
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    SetClientWidth(picture ? 360 : 440);
    SetClientHeight(picture ? 320 : 260);

    FButtons = new TPanel(this);
    FButtons->SetBevelOuter(bvNone);
    FButtons->SetCaption("");
    FButtons->SetHeight(36);
    FButtons->SetAlign(alBottom);
    FButtons->SetParent(this);

    if (memo) {
        auto* m = new TDBMemo(this);
        m->SetScrollBars(ssVertical);
        FEditor = m;
    } else if (picture) {
        FEditor = new TDBImage(this);
    } else {
        FBytes = new TMemo(this);
        FBytes->SetReadOnly(true);
        FBytes->SetWordWrap(false);
        FBytes->SetScrollBars(ssBoth);
        FBytes->Font()->SetName("Courier New");
        FEditor = FBytes;
    }
    FEditor->SetAlign(alClient);
    FEditor->SetParent(this);
    if (FBytes == nullptr) {
        SetObjectProp(FEditor, "DataSource", Source);
        SetStrProp(FEditor, "DataField", Field->FieldName());
        SetOrdProp(FEditor, "ReadOnly", FReadOnly ? 1 : 0);
        if (FReadOnly) FEditor->SetColor(clBtnFace);
    }

    // OK/Cancel or Close at the right, the picture's clipboard buttons at the left.
    int right = ClientWidth() - 8 - 75;
    if (FModal && !FReadOnly) {
        AddButton("Cancel", right, TNotifyEvent(this, &TryxDBFieldPopup::CancelClick), true)->SetCancel(true);
        AddButton("OK", right - 80, TNotifyEvent(this, &TryxDBFieldPopup::OKClick), true)->SetDefault(true);
    } else {
        AddButton("Close", right, TNotifyEvent(this, &TryxDBFieldPopup::CloseClick), true);
    }
    if (picture) {
        int left = 8;
        auto add = [&](const char* Caption, void (TryxDBFieldPopup::*Click)(TObject*)) {
            AddButton(Caption, left, TNotifyEvent(this, Click), false);
            left += 80;
        };
        if (!FReadOnly) add("Cut", &TryxDBFieldPopup::CutClick);
        add("Copy", &TryxDBFieldPopup::CopyClick);
        if (!FReadOnly) add("Paste", &TryxDBFieldPopup::PasteClick);
    }

    FWatch->SetDataSource(Source);
    FWatch->SetFieldName(Field->FieldName());
    FWatch->OnDataChange = TNotifyEvent(this, &TryxDBFieldPopup::WatchChange);
    Snapshot();
    ShowBytes();
    SetActiveControl(FEditor);
}

TryxDBFieldPopup::~TryxDBFieldPopup() {
    FWatch->OnDataChange = nullptr;
    FWatch->SetDataSource(nullptr);
}

// A button of the bottom row, kept at the right or the left edge as the form is sized.
TButton* TryxDBFieldPopup::AddButton(const std::string& Caption, int Left, TNotifyEvent Click, bool AtRight) {
    auto* b = new TButton(this);
    b->SetName("btn" + Caption);
    b->SetCaption(Caption);
    b->SetBounds(Left, 6, 75, 25);
    b->SetParent(FButtons);
    b->OnClick = Click;
    b->SetAnchors(AtRight ? TAnchors{akRight, akBottom} : TAnchors{akLeft, akBottom});
    return b;
}

void TryxDBFieldPopup::Snapshot() {
    TDataSet* ds = FField != nullptr ? FField->DataSet() : nullptr;
    if (ds == nullptr || !ds->Active()) return;
    FWasBrowsing = ds->State() == dsBrowse;
    FOriginalNull = FField->IsNull();
    FOriginal = FOriginalNull ? std::string() : FField->AsString();
}

void TryxDBFieldPopup::WatchChange(TObject*) {
    TDataSet* ds = FField != nullptr ? FField->DataSet() : nullptr;
    if (ds != nullptr && ds->State() == dsBrowse) Snapshot();
    ShowBytes();
}

void TryxDBFieldPopup::ShowBytes() {
    if (FBytes == nullptr) return;
    TField* f = FWatch->Field();
    FBytes->SetText(f != nullptr && !FDetached ? HexDump(f->IsNull() ? std::string() : f->AsString()) : std::string());
}

void TryxDBFieldPopup::AcceptEdit() {
    if (FDetached || FReadOnly) return;
    if (TFieldDataLink* link = EditorLink(FEditor)) link->UpdateRecord();
}

void TryxDBFieldPopup::CancelEdit() {
    if (FDetached) return;
    if (TFieldDataLink* link = EditorLink(FEditor)) link->Reset();
    TDataSet* ds = FField->DataSet();
    if (ds == nullptr || (ds->State() != dsEdit && ds->State() != dsInsert)) return;
    // A modal popup is the only thing that can have put a browsing record into edit state.
    if (FModal && FWasBrowsing && ds->State() == dsEdit) {
        ds->Cancel();
        return;
    }
    bool changed = FField->IsNull() != FOriginalNull || (!FOriginalNull && FField->AsString() != FOriginal);
    if (!changed) return;
    if (FOriginalNull) FField->Clear();
    else FField->SetAsString(FOriginal);
}

void TryxDBFieldPopup::Detach() {
    if (FDetached) return;
    FDetached = true;
    if (FBytes == nullptr) SetObjectProp(FEditor, "DataSource", nullptr);
    FWatch->SetDataSource(nullptr);
    FField = nullptr;
    ShowBytes();
}

void TryxDBFieldPopup::OKClick(TObject*) {
    AcceptEdit();
    SetModalResult(mrOk);
}

void TryxDBFieldPopup::CancelClick(TObject*) {
    CancelEdit();
    if (FModal) SetModalResult(mrCancel);
    else Close();
}

void TryxDBFieldPopup::CloseClick(TObject*) {
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    AcceptEdit();
    Close();
}

void TryxDBFieldPopup::CutClick(TObject*) {
    if (auto* image = dynamic_cast<TDBImage*>(FEditor)) image->CutToClipboard();
}

void TryxDBFieldPopup::CopyClick(TObject*) {
    if (auto* image = dynamic_cast<TDBImage*>(FEditor)) image->CopyToClipboard();
}

void TryxDBFieldPopup::PasteClick(TObject*) {
    if (auto* image = dynamic_cast<TDBImage*>(FEditor)) image->PasteFromClipboard();
}

void TryxDBFieldPopup::KeyDown(WORD& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE) {
        Key = 0;
        CancelClick(this);
    }
}

void TryxDBFieldPopup::CMDialogKeyPopup(TWMKey& Message) {
    if (Message.CharCode() == VK_ESCAPE) {
        CancelClick(this);
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TryxDBFieldPopup::DoClose(TCloseAction& Action) {
    TForm::DoClose(Action);
    if (FModal || Action == caNone) return;
    // Closing a non-modal popup keeps what was typed, as leaving an edit does.
    AcceptEdit();
    Detach();
    Action = caFree;
}

}  // namespace ryx
