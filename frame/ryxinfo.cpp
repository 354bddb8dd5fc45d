// The package's identity: its name, version and a one-line description.
#include "frame/ryxinfo.h"

#ifndef RYX_VERSION
#error "RYX_VERSION must be defined by the build (the project version)"
#endif

namespace ryx {

std::string PackageName() { return "ryx"; }

std::string PackageVersion() { return RYX_VERSION; }

std::string PackageDescription() {
    return "a component library for desktop database applications";
}

}  // namespace ryx
