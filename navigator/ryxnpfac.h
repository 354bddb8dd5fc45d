// Unit Ryxnpfac: the navigator's form factory, the same registry as the package's form factory for the navigator forms.
#pragma once

#include "frame/ryxfact.h"

namespace ryx {

// Registers navigator form classes under the names of the base classes they
// replace; the navigator's auto forms are made through it.
class TryxnpFormFactory : public TryxFormFactory {
    HOST_CLASS(TryxnpFormFactory, TryxFormFactory)
public:
    TryxnpFormFactory() = default;
    ~TryxnpFormFactory() override;
    // The class an auto form of BaseClass is made of (GetFormClass).
    host::TClass GetAutoFormClass(host::TClass BaseClass) const { return GetFormClass(BaseClass); }
};

// The one navigator form factory, made on the first call; freed by the unit's
// finalisation, after which a call makes a new one.
TryxnpFormFactory* ryxnpFormFactory();
void ryxnpFreeFormFactory();

}  // namespace ryx
