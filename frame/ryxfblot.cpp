// Unit Ryxfblot: registration of TryxsfBLOControl for streaming.
#include "frame/ryxfblot.h"

#include "host/rtl/object.h"

namespace ryx {

void ryxfblotRegister() { host::RegisterClass(TryxsfBLOControl::StaticClass()); }
void ryxfblotUnregister() { host::UnRegisterClass(TryxsfBLOControl::StaticClass()); }

}  // namespace ryx
