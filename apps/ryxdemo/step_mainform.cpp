// Tour step "mainform": the application's main form over the sample database, moved to a customer and photographed.
#include "host/app/app.h"
#include "host/controls/dbctrls.h"
#include "host/db/dbtables.h"
#include "host/rtl/exceptions.h"
#include "host/windows/wintest.h"
#include "mainform.h"
#include "tour.h"

namespace {

using namespace host;

void RunMainForm(ryxdemo::TTourContext& Ctx) {
    const std::string db = ryxdemo::SampleDatabase(Ctx);
    auto* form = new ryxdemo::TMainForm(Application);
    try {
        form->OpenDatabase(db);
        form->Show();
        form->Customers()->MoveBy(2);
        if (TDBEdit* e = form->EditOf("Company")) e->SetFocus();
        UpdateAllWindows();
        auto file = Ctx.OutputFile("mainform.png");
        if (!wintest::SaveWindowPng(form->Handle(), file.string())) throw EInvalidOperation("Cannot write mainform.png");
        Ctx.Log("mainform: " + std::to_string(form->Customers()->RecordCount()) + " customers, at " +
                form->Customers()->FieldByName("Company")->AsString());
    } catch (...) {
        delete form;
        throw;
    }
    delete form;
}

const ryxdemo::TTourStepRegistration reg(90, "mainform",
                                         "the application's main form: customers in a grid, the current one in edits",
                                         &RunMainForm);

}  // namespace
