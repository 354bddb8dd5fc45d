// Tour step "data": makes the sample database on first start and walks it (counts, a master-detail listing, a filter, a query, the stored procedure) into data/walk.txt.
#include <cstdio>
#include <fstream>
#include <string>

#include "host/db/dbtables.h"
#include "host/db/enginestats.h"
#include "host/rtl/sysutils.h"
#include "tour.h"

namespace {

using namespace host;

void RunData(ryxdemo::TTourContext& Ctx) {
    bool made = false;
    const std::string db = ryxdemo::SampleDatabase(Ctx, &made);
    std::ofstream out(Ctx.OutputFile("data/walk.txt"));
    out << "Sample database " << db << (made ? " (made now)" : " (from an earlier start)") << "\n\n";

    // Record counts of every table.
    TStringList tables;
    Session->GetTableNames(db, "", false, false, &tables);
    for (int i = 0; i < tables.Count(); ++i) {
        TTable t(nullptr);
        t.SetDatabaseName(db);
        t.SetTableName(tables.Strings(i));
        t.Open();
        out << Format("%-10s %6d records, %2d fields\n", {tables.Strings(i), t.RecordCount(), t.FieldCount()});
    }

    // Master and detail: the first customers and their orders.
    TTable customers(nullptr), orders(nullptr);
    customers.SetDatabaseName(db);
    customers.SetTableName("CUSTOMER");
    customers.Open();
    TDataSource source(nullptr);
    source.SetDataSet(&customers);
    orders.SetDatabaseName(db);
    orders.SetTableName("ORDERS");
    orders.SetIndexName("ByCustNo");
    orders.SetMasterSource(&source);
    orders.SetMasterFields("CustNo");
    orders.Open();
    out << "\nCustomers and their orders\n";
    for (int n = 0; n < 5 && !customers.Eof(); ++n, customers.Next()) {
        out << Format("%d %s (%s, %s)\n", {customers.FieldByName("CustNo")->AsInteger(),
                                          customers.FieldByName("Company")->AsString(),
                                          customers.FieldByName("City")->AsString(),
                                          customers.FieldByName("Country")->AsString()});
        if (orders.IsEmpty()) out << "    no orders\n";
        for (orders.First(); !orders.Eof(); orders.Next())
            out << Format("    order %d of %s: %s\n", {orders.FieldByName("OrderNo")->AsInteger(),
                                                       orders.FieldByName("SaleDate")->AsString(),
                                                       orders.FieldByName("ItemsTotal")->AsString()});
    }

    // A filter in the engine and an SQL query.
    orders.SetMasterSource(nullptr);
    orders.SetFilter("ItemsTotal > 1000 AND ShipVia = 'UPS'");
    orders.SetFiltered(true);
    out << "\nOrders over 1000 shipped by UPS: " << orders.RecordCount() << "\n";
    TQuery q(nullptr);
    q.SetDatabaseName(db);
    q.SQL()->SetText("select State, count(*) as Customers from CUSTOMER where State is not null "
                     "group by State order by Customers desc");
    q.Open();
    out << "\nCustomers per state\n";
    for (; !q.Eof(); q.Next())
        out << Format("    %-4s %d\n", {q.FieldByName("State")->AsString(), q.FieldByName("Customers")->AsInteger()});

    // The stored procedure for the first customer.
    TStoredProc sp(nullptr);
    sp.SetDatabaseName(db);
    sp.SetStoredProcName("CUSTOMER_TOTALS");
    sp.Prepare();
    sp.ParamByName("CustNo")->SetAsInteger(1001);
    sp.ExecProc();
    out << "\nCUSTOMER_TOTALS(1001): " << sp.ParamByName("OrderCount")->AsInteger() << " orders, total "
        << sp.ParamByName("Total")->AsString() << "\n";

    // The engine reads only the rows a walk lands on: a jump by key and a few moves
    // in a table of many orders fetch a handful of rows, not the table.
    TTable all(nullptr);
    all.SetDatabaseName(db);
    all.SetTableName("ORDERS");
    all.SetIndexName("ByCustNo");
    all.Open();
    dbi::ResetRowsFetched();
    all.Locate("CustNo", Variant(1010), {});
    all.MoveBy(5);
    out << Format("\nA jump to customer 1010's orders and 5 moves read %d of the %d orders from the file\n",
                  {int(dbi::RowsFetched()), all.RecordCount()});
    Ctx.Log("data: walked " + db);
}

const ryxdemo::TTourStepRegistration reg(50, "data",
                                         "the sample database made on first start and walked into a text file",
                                         &RunData);

}  // namespace
