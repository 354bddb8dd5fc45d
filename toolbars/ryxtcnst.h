// The docking and toolbar resource strings (unit Ryxtcnst): the messages of docks, tool windows and toolbars.
#pragma once

#include "host/rtl/resstrings.h"

// Identifiers 65526-65531; the numbering of the whole catalogue is described in frame/ryxnpcon.h.

namespace ryx {

extern const host::TResStringRec _sryxToolWindowParentError;
extern const host::TResStringRec _sryxDockParentError;
extern const host::TResStringRec _sryxDockPositionError;
extern const host::TResStringRec _sryxToolWindowNoName;
extern const host::TResStringRec _sryxToolWindowNoDockedToName;
extern const host::TResStringRec _sryxToolbarControlNotChild;

}  // namespace ryx
