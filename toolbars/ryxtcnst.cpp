// The docking and toolbar resource strings (unit Ryxtcnst) with their English texts.
#include "toolbars/ryxtcnst.h"

namespace ryx {

const host::TResStringRec _sryxToolWindowParentError{"_sryxToolWindowParentError", 65526, "A tool window can only be placed on a TryxDock or directly on the form"};
const host::TResStringRec _sryxDockParentError{"_sryxDockParentError", 65527, "A TryxDock control cannot be placed inside a tool window or another TryxDock"};
const host::TResStringRec _sryxDockPositionError{"_sryxDockPositionError", 65528, "Cannot change position of a TryxDock if it already contains controls"};
const host::TResStringRec _sryxToolWindowNoName{"_sryxToolWindowNoName", 65529, "Cannot save tool window's position because Name property is not set"};
const host::TResStringRec _sryxToolWindowNoDockedToName{"_sryxToolWindowNoDockedToName", 65530, "Cannot save tool window's position because DockedTo's Name property not set"};
const host::TResStringRec _sryxToolbarControlNotChild{"_sryxToolbarControlNotChild", 65531, "Control '%s' is not a child of the toolbar"};

}  // namespace ryx
