// The package's identity: its name, version and a one-line description.
#pragma once

#include <string>

namespace ryx {

// The package's name, "ryx".
std::string PackageName();
// The version the package was built as, "major.minor.patch".
std::string PackageVersion();
// One line saying what the package is.
std::string PackageDescription();

}  // namespace ryx
