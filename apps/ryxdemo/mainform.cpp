// The demo's main form: builds its controls in code, keeps the status line in step with the dataset, and saves on close.
#include "mainform.h"

#include <cstdlib>
#include <filesystem>

#include "host/app/app.h"
#include "host/app/dialogs.h"
#include "host/controls/comctrls.h"
#include "host/controls/dbctrls.h"
#include "host/controls/dbgrids.h"
#include "host/controls/extctrls.h"
#include "host/controls/menus.h"
#include "host/db/dbtables.h"
#include "host/db/sampledb.h"
#include "host/rtl/sysutils.h"

namespace ryxdemo {

using namespace host;

namespace {

// The fields shown beside the grid, with their captions.
struct TEditField {
    const char* Field;
    const char* Caption;
};
const TEditField kEditFields[] = {{"CustNo", "Cust &No:"}, {"Company", "C&ompany:"}, {"Addr1", "&Address:"},
                                  {"City", "C&ity:"},      {"State", "S&tate:"},    {"Zip", "&Zip:"},
                                  {"Country", "Co&untry:"}, {"Phone", "&Phone:"},   {"Contact", "Conta&ct:"}};

constexpr int kEditLeft = 556, kEditTop = 12, kEditRow = 28;

const char* StateText(TDataSetState S) {
    switch (S) {
    case dsInactive: return "Closed";
    case dsEdit: return "Editing";
    case dsInsert: return "Inserting";
    default: return "Browsing";
    }
}

}  // namespace

std::string DemoDataDir() {
    if (const char* d = std::getenv("RYX_DEMO_DATA"); d != nullptr && *d != '\0') return d;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x != nullptr && *x == '/') return std::string(x) + "/ryxdemo";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/.local/share/ryxdemo";
}

std::string EnsureSampleDatabase(const std::string& Dir, bool& Made) {
    std::error_code ec;
    std::filesystem::create_directories(Dir, ec);
    if (ec) throw EFCreateError("Cannot create the data folder " + Dir + ": " + ec.message());
    std::string db = (std::filesystem::path(Dir) / "sample.db").string();
    Made = !FileExists(db);
    if (Made) CreateSampleDatabase(db);
    return db;
}

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner, 0) {
    SetName("MainForm");
    SetCaption("Ryx demo - Customers");
    SetBounds(40, 40, 820, 520);
    SetPosition(poDesigned);
    FCustomers = new TTable(this);
    FCustomers->SetName("Customers");
    FSource = new TDataSource(this);
    FSource->SetName("CustomersSource");
    FSource->SetDataSet(FCustomers);
    FSource->OnDataChange = [this](TObject*, TField*) { UpdateStatus(); };
    FSource->OnStateChange = [this](TObject*) { UpdateStatus(); };

    SetMenu(BuildMenu());
    FStatus = new TStatusBar(this);
    FStatus->SetName("StatusBar");
    FStatus->SetParent(this);
    FStatus->Panels()->Add()->SetWidth(150);
    FStatus->Panels()->Add()->SetWidth(100);
    FStatus->Panels()->Add();

    FGrid = new TDBGrid(this);
    FGrid->SetName("Grid");
    FGrid->SetBounds(8, 8, 470, 430);
    FGrid->SetParent(this);
    FGrid->SetDataSource(FSource);
    BuildEdits();
    OnClose = TCloseEvent(this, &TMainForm::FormClose);
}

TMainMenu* TMainForm::BuildMenu() {
    auto cmd = [this](void (TMainForm::*Fn)()) { return TNotifyEvent([this, Fn](TObject*) { (this->*Fn)(); }); };
    return NewMenu(
        this, "MainMenu",
        {NewSubMenu(this, "&File", 0, "FileMenu",
                    {NewItem(this, "E&xit", ShortCut('Q', {ssCtrl}), false, true, [this](TObject*) { Close(); }, 0,
                             "ExitItem")}),
         NewSubMenu(this, "&Edit", 0, "EditMenu",
                    {NewItem(this, "&Insert record", ShortCut(VK_INSERT, {ssCtrl}), false, true, cmd(&TMainForm::InsertRecord),
                             0, "InsertItem"),
                     NewItem(this, "&Delete record", ShortCut(VK_DELETE, {ssCtrl}), false, true,
                             cmd(&TMainForm::DeleteRecord), 0, "DeleteItem"),
                     NewLine(this),
                     NewItem(this, "&Post record", ShortCut('S', {ssCtrl}), false, true, cmd(&TMainForm::PostRecord), 0,
                             "PostItem"),
                     NewItem(this, "&Cancel changes", 0, false, true, cmd(&TMainForm::CancelRecord), 0, "CancelItem")}),
         NewSubMenu(this, "&View", 0, "ViewMenu",
                    {NewItem(this, "&First record", ShortCut(VK_HOME, {ssCtrl}), false, true,
                             [this](TObject*) { FCustomers->First(); }, 0, "FirstItem"),
                     NewItem(this, "&Last record", ShortCut(VK_END, {ssCtrl}), false, true,
                             [this](TObject*) { FCustomers->Last(); }, 0, "LastItem"),
                     NewItem(this, "&Refresh", ShortCut(VK_F5, {}), false, true,
                             [this](TObject*) { FCustomers->Refresh(); }, 0, "RefreshItem")})});
}

void TMainForm::BuildEdits() {
    int top = kEditTop;
    for (const auto& f : kEditFields) {
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetBounds(kEditLeft - 66, top + 3, 62, 13);
        label->SetCaption(f.Caption);
        auto* edit = new TDBEdit(this);
        edit->SetName(std::string("Edit") + f.Field);
        edit->SetParent(this);
        edit->SetBounds(kEditLeft, top, 240, 21);
        edit->SetDataSource(FSource);
        edit->SetDataField(f.Field);
        label->SetFocusControl(edit);
        top += kEditRow;
    }
}

TDBEdit* TMainForm::EditOf(const std::string& FieldName) const {
    return dynamic_cast<TDBEdit*>(FindComponent("Edit" + FieldName));
}

void TMainForm::OpenDatabase(const std::string& DatabaseFile) {
    FDatabase = DatabaseFile;
    FCustomers->Close();
    FCustomers->SetDatabaseName(DatabaseFile);
    FCustomers->SetTableName("CUSTOMER");
    FCustomers->Open();
    for (const char* hidden : {"Notes", "Logo"})
        if (TField* f = FCustomers->FindField(hidden)) f->SetVisible(false);
    if (TField* f = FCustomers->FindField("Company")) f->SetDisplayWidth(24);
    if (TField* f = FCustomers->FindField("Addr1")) f->SetDisplayWidth(20);
    UpdateStatus();
}

void TMainForm::UpdateStatus() {
    if (FStatus == nullptr || FCustomers == nullptr) return;
    if (!FCustomers->Active()) {
        FStatus->Panels()->Items(0)->SetText("No database");
        FStatus->Panels()->Items(1)->SetText(StateText(dsInactive));
        return;
    }
    int n = FCustomers->RecordCount();
    int at = FCustomers->RecNo();
    FStatus->Panels()->Items(0)->SetText(at > 0 ? Format("Customer %d of %d", {at, n}) : Format("%d customers", {n}));
    FStatus->Panels()->Items(1)->SetText(StateText(FCustomers->State()));
    FStatus->Panels()->Items(2)->SetText(FDatabase);
}

void TMainForm::InsertRecord() {
    if (FCustomers->Active()) FCustomers->Insert();
}

void TMainForm::DeleteRecord() {
    if (!FCustomers->Active() || FCustomers->IsEmpty()) return;
    if (MessageDlg("Delete the customer " + FCustomers->FieldByName("Company")->AsString() + "?", mtConfirmation,
                   TMsgDlgButtons{mbYes, mbNo}) == mrYes)
        FCustomers->Delete();
}

void TMainForm::PostRecord() {
    if (FCustomers->Active() && (FCustomers->State() == dsEdit || FCustomers->State() == dsInsert)) {
        FCustomers->Post();
    }
}

void TMainForm::CancelRecord() {
    if (FCustomers->Active()) FCustomers->Cancel();
}

// Closing keeps what was typed: a pending edit is posted before the table closes.
void TMainForm::FormClose(TObject*, TCloseAction& Action) {
    PostRecord();
    Action = caFree;
    if (Application != nullptr && Application->MainForm() == this) Application->Terminate();
}

}  // namespace ryxdemo
