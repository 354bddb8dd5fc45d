// Registration of every standard control class, so that form files find them by name.
#pragma once

namespace host {

// Registers the classes of the standard and data-aware controls, menus, grids and the
// tree view (once; later calls do nothing). The application does it when it is made.
void RegisterStandardControls();

}  // namespace host
