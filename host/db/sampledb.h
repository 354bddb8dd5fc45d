// The sample database: customers, orders, items, parts and employees for tests and the demo.
#pragma once

#include <string>

namespace host {

// How many rows each table of the sample database holds.
struct TSampleDbCounts {
    int Customers = 0;
    int Orders = 0;
    int Items = 0;
    int Parts = 0;
    int Employees = 0;
};

// Creates the sample database at Target, replacing the tables of an earlier run:
// a directory (no file extension; created when missing) gets the local tables
// of the "STANDARD" driver, one file per table; a file name with an extension
// (".db", ".sqlite") becomes one database file of the "SQLITE" driver. The
// content is the same every time:
//   CUSTOMER  CustNo (primary), Company, Addr1, City, State, Zip, Country, Phone,
//             Contact, Notes (memo), Logo (graphic: a small drawn BMP); indexes
//             ByCompany (case-insensitive), ByState (State, City)
//   ORDERS    OrderNo (primary), CustNo, EmpNo, SaleDate, ShipDate, ShipVia,
//             PaymentMethod, ItemsTotal (currency), TaxRate, AmountPaid; index
//             ByCustNo (CustNo): the detail of CUSTOMER
//   ITEMS     OrderNo + ItemNo (primary), PartNo, Qty, Discount; index ByPartNo
//   PARTS     PartNo (primary), VendorNo, Description, OnHand, OnOrder, Cost,
//             ListPrice; index ByDescription
//   EMPLOYEE  EmpNo (primary), LastName, FirstName, PhoneExt, HireDate, Salary;
//             index ByName (LastName, FirstName)
// and, in a database file (stored procedures need one), the procedure CUSTOMER_TOTALS (input CustNo; outputs OrderCount
// and Total, the count and sum of ItemsTotal of that customer's orders).
// Raises EDatabaseError/EDBEngineError when the target cannot be written.
TSampleDbCounts CreateSampleDatabase(const std::string& Target);

// The row counts CreateSampleDatabase writes.
TSampleDbCounts SampleDatabaseCounts();

}  // namespace host
