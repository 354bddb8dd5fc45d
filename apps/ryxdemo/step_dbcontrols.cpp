// Tour step "dbcontrols": the record edit window, the data-aware controls, the hierarchical grid of customers with their orders, and a filtered view through a filter component.
#include <filesystem>
#include <fstream>
#include <string>

#include "data/ryxfiltr.h"
#include "dbcontrols/ryxedwin.h"
#include "dbcontrols/ryxhgrid.h"
#include "host/app/app.h"
#include "host/controls/dbctrls.h"
#include "host/controls/dbgrids.h"
#include "host/controls/extctrls.h"
#include "host/controls/forms.h"
#include "host/db/dbtables.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"
#include "host/windows/inputsim.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

TTable* OpenTable(TComponent* Owner, const std::string& Db, const std::string& Name, const std::string& Index = "") {
    auto* t = new TTable(Owner);
    t->SetDatabaseName(Db);
    t->SetTableName(Name);
    if (!Index.empty()) t->SetIndexName(Index);
    return t;
}

void Photograph(ryxdemo::TTourContext& Ctx, TCustomForm* Form, const std::string& Name) {
    UpdateAllWindows();
    if (!wintest::SaveWindowPng(Form->Handle(), Ctx.OutputFile(Name).string()))
        throw EInvalidOperation("Cannot write " + Name);
}

void RunDBControls(ryxdemo::TTourContext& Ctx) {
    const std::string db = ryxdemo::SampleDatabase(Ctx);
    auto* form = new TForm(Application);
    form->SetName("DBControlsForm");
    form->SetCaption("Customers and their orders");
    form->SetBounds(20, 20, 900, 520);

    auto* customers = OpenTable(form, db, "CUSTOMER");
    auto* custSource = new TDataSource(form);
    custSource->SetDataSet(customers);
    auto* orders = OpenTable(form, db, "ORDERS", "ByCustNo");
    orders->SetMasterSource(custSource);
    orders->SetMasterFields("CustNo");
    auto* orderSource = new TDataSource(form);
    orderSource->SetDataSet(orders);

    // Left: every field of the current customer, read-only ones coloured.
    auto* record = new ryx::TryxDBEditWin(form);
    record->SetParent(form);
    record->SetAlign(alLeft);
    record->SetWidth(330);
    record->SetFieldReadOnly({ryx::rofEditReadOnly, ryx::rofEditColor});
    record->SetDataSource(custSource);

    // Right: the customers with the current one's orders beneath it.
    auto* grid = new ryx::TryxHDBGrid(form);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->SetDataSource(custSource);
    grid->SetDetailDataSource(orderSource);

    customers->Open();
    orders->Open();
    form->Show();
    grid->SetFocus();
    customers->MoveBy(3);
    Photograph(Ctx, form, "dbcontrols.png");

    // An edit through the record window, typed as a person would, then taken back.
    auto* contact = dynamic_cast<TDBEdit*>(record->FindComponent("EditContact"));
    if (contact == nullptr) {
        for (int i = 0; i < record->ComponentCount() && contact == nullptr; ++i)
            if (auto* e = dynamic_cast<TDBEdit*>(record->Components(i)); e != nullptr && e->DataField() == "Contact")
                contact = e;
    }
    if (contact != nullptr) {
        contact->SetFocus();
        Input::Key(VK_END);
        Input::Type(" (new)");
        Input::ProcessAll();
        Photograph(Ctx, form, "dbcontrols_editing.png");
        customers->Cancel();
    }

    // The record window's memo field opens its popup editing form, shown in the
    // window's popup style; closing it keeps what was typed, the record stays in edit.
    record->SetPopupFormStyle(ryx::pfsNormal);
    if (ryx::TryxDBFieldPopup* notes = record->ShowFieldPopup(customers->FieldByName("Notes"))) {
        notes->SetBounds(form->Left() + 80, form->Top() + 80, 440, 260);
        Application->ProcessMessages();
        Photograph(Ctx, notes, "dbcontrols_memo_popup.png");
        notes->Close();
        Application->ProcessMessages();
        customers->Cancel();
    }

    // Taller rows dragged with the mouse in the indicator column, company names wrapped in
    // them, right-justified titles, and a range of customers picked with a click and a Shift+click.
    grid->SetOptions(grid->Options() + dgMultiSelect);
    grid->SetOptionsEx({ryx::hgoRowSizing, ryx::hgoWordWrap, ryx::hgoTitlesRightJustify});
    grid->Columns()->RebuildColumns();
    grid->Columns()->Items(1)->SetWidth(80);
    customers->First();
    grid->SetFocus();
    Input::ProcessAll();
    auto gridPoint = [grid](int ACol, int ARow, bool Bottom) {
        TRect r = grid->CellRect(ACol, ARow);
        return grid->ClientToScreen(TPoint{(r.left + r.right) / 2, Bottom ? r.bottom : (r.top + r.bottom) / 2});
    };
    POINT line = gridPoint(0, 1, true);
    Input::Drag(line, POINT{line.x, line.y + grid->RowHeight() * 3 / 2});
    Input::ProcessAll();
    POINT first = gridPoint(2, 1, false);
    Input::Click(first.x, first.y);
    Input::ProcessAll();
    POINT last = gridPoint(2, grid->RowCount() - 1, false);
    Input::KeyDown(VK_SHIFT);
    Input::Click(last.x, last.y);
    Input::KeyUp(VK_SHIFT);
    Input::ProcessAll();
    Photograph(Ctx, form, "dbcontrols_hgrid.png");
    Ctx.Log("dbcontrols: rows " + std::to_string(grid->RowHeight()) + " pixels high, " +
            std::to_string(grid->SelectedRows()->Count()) + " customers selected with Shift+click");
    grid->SelectedRows()->Clear();

    // A filtered view: the filter component narrows the customers the grid shows.
    auto* filter = new ryx::TryxDBFilter(form);
    filter->SetDataSource(custSource);
    filter->SetFilterOptions({foCaseInsensitive});
    filter->SetFilter("State = 'CA' OR State = 'HI'");
    filter->SetActive(true);
    customers->First();
    {
        std::ofstream out(Ctx.OutputFile("filtered.txt"), std::ios::binary);
        out << "Customers where " << filter->Filter() << ":\n";
        for (; !customers->Eof(); customers->Next())
            out << customers->FieldByName("CustNo")->AsString() << "  " << customers->FieldByName("Company")->AsString()
                << "  " << customers->FieldByName("Country")->AsString() << "\n";
    }
    customers->First();
    Photograph(Ctx, form, "dbcontrols_filtered.png");
    Ctx.Log("dbcontrols: " + std::to_string(customers->RecordCount()) + " customers pass the filter");
    delete form;
}

const ryxdemo::TTourStepRegistration reg(
    57, "dbcontrols",
    "the record edit window and the hierarchical grid of customers with their orders, edited and filtered",
    &RunDBControls);

}  // namespace
