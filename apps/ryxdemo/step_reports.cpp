// Tour step "reports": every information report of the sample database's customer table, written to dataset-report.txt and shown in a memo.
#include <filesystem>
#include <fstream>
#include <string>

#include "data/ryxda.h"
#include "host/app/app.h"
#include "host/controls/edits.h"
#include "host/controls/forms.h"
#include "host/db/dbtables.h"
#include "host/graphics/graphics.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

void RunReports(ryxdemo::TTourContext& Ctx) {
    const std::string db = ryxdemo::SampleDatabase(Ctx);

    TTable customers(nullptr);
    customers.SetName("Customers");
    customers.SetDatabaseName(db);
    customers.SetTableName("CUSTOMER");
    customers.SetIndexName("ByCompany");
    customers.Open();

    // The adapter the factory picks for a table, and all of its reports one after the other.
    auto adapter = ryx::ryxDSAdapterFactory()->CreateAdapter(&customers);
    TStringList report;
    adapter->GetDatasetInfo(&report);
    adapter->GetFieldInfo(&report);
    adapter->GetIndexInfo(&report);
    adapter->GetParamInfo(&report);
    adapter->GetDatabaseInfo(&report);
    adapter->GetSessionInfo(&report);
    adapter->GetDBEngineInfo(&report);
    {
        std::ofstream out(Ctx.OutputFile("dataset-report.txt"), std::ios::binary);
        out << report.Text();
    }

    auto* form = new TForm(Application);
    form->SetName("ReportsForm");
    form->SetCaption("Dataset information: " + adapter->GetDescription());
    form->SetBounds(30, 30, 560, 420);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetAlign(alClient);
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->Font()->SetName("Courier New");
    memo->Lines()->Assign(&report);
    form->Show();
    UpdateAllWindows();
    const auto png = Ctx.OutputFile("reports.png");
    if (!wintest::SaveWindowPng(form->Handle(), png.string())) throw EInvalidOperation("Cannot write reports.png");
    Ctx.Log("reports: " + std::to_string(report.Count()) + " lines from " + adapter->ClassName());
    delete form;
}

const ryxdemo::TTourStepRegistration reg(52, "reports",
                                         "every information report of the customer table's dataset adapter, as "
                                         "text and in a memo",
                                         &RunReports);

}  // namespace
