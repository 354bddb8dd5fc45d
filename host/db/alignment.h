// TAlignment: left, right or centred text, shared by fields and controls.
#pragma once

#include "host/rtl/typinfo.h"

namespace host {

#ifndef HOST_TALIGNMENT_DECLARED
#define HOST_TALIGNMENT_DECLARED
HOST_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter);
#endif

}  // namespace host
