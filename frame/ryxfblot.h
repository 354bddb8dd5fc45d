// Unit Ryxfblot: TryxsfBLOControl, a system form without code of its own whose form file holds a page control with one tab sheet and image controls carrying large bitmaps.
#pragma once

#include "frame/ryxforms.h"

namespace ryx {

// The form is read from the form resource TRYXSFBLOCONTROL when it is made
// through its class (or CreateForm) or first shown.
class TryxsfBLOControl : public TryxSystemForm {
    HOST_CLASS(TryxsfBLOControl, TryxSystemForm)
public:
    explicit TryxsfBLOControl(host::TComponent* AOwner) : TryxSystemForm(AOwner) {}
};

}  // namespace ryx
