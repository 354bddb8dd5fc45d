// Registration of every standard control class, so that form files find them by name.
#pragma once

namespace host {

// Registers the classes of the standard and data-aware controls, menus, grids, the tree
// view and the data-access components (data source, table, query, stored procedure,
// database, session) once; later calls do nothing. The application does it when it is
// made.
void RegisterStandardControls();

}  // namespace host
