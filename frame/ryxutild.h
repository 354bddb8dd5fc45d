// Unit Ryxutild: dataset routines: whether a dataset can be changed, the largest value of a field type as text, a dataset's description and the file masks of table types.
#pragma once

#include <string>

#include "host/db/db.h"
#include "host/db/dbtables.h"

namespace ryx {

// Whether the records of DataSet cannot be changed: an open dataset answers by
// CanModify; a closed one by what it will be: a table by its ReadOnly, a query
// unless it requests a live result, a stored procedure always. True for nullptr.
bool ryxDataSetReadOnly(host::TDataSet* DataSet);

// The largest value of a field type as text, used as the open end of ranges:
// 255 characters of code 255 for the string types, "32767" (ftSmallint),
// "2147483647" (ftInteger, ftAutoInc), "65535" (ftWord), "1" (ftBoolean),
// "9223372036854775807" (ftLargeint), "1.7E308" (ftFloat, ftCurrency, ftBCD),
// 9999-12-31 (ftDate), 23:59:59.999 (ftTime) and both (ftDateTime) in the
// framework's date and time formats; "" for the types without an order.
std::string ryxMaxFieldType(host::TFieldType FieldType);

// What describes DataSet to a person: a table's TableName (its component Name
// when ryx_UseTableComponentNames is set), a stored procedure's name, a query's
// SQL text on one line (its Name when the text is empty), else the component's
// Name. "" for nullptr.
std::string ryxGetDataSetDesc(host::TDataSet* DataSet);

// The file masks of a table type, for file dialogs: "*.db" (Paradox), "*.dbf"
// (dBASE, FoxPro), "*.txt" (ASCII), all three for ttDefault.
std::string ryxGetTableTypeMask(host::TTableType TableType);

}  // namespace ryx
