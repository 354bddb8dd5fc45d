// Unit Ryxnpfac: the navigator's form factory instance.
#include "navigator/ryxnpfac.h"

namespace ryx {

namespace {
TryxnpFormFactory* Instance = nullptr;
}

TryxnpFormFactory::~TryxnpFormFactory() {
    if (Instance == this) Instance = nullptr;
}

TryxnpFormFactory* ryxnpFormFactory() {
    if (!Instance) Instance = new TryxnpFormFactory;
    return Instance;
}

void ryxnpFreeFormFactory() { delete Instance; }

}  // namespace ryx
