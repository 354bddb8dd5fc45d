// Packages: the unit initialisation table a package exports, running it at load and unload, module registration and language resource modules.
#pragma once

#include <string>
#include <vector>

#include "host/rtl/resources.h"

namespace host {

// One unit of a package: its initialisation and finalisation routines (either
// may be null).
using TUnitProc = void (*)();
struct PackageUnitEntry {
    TUnitProc Init;
    TUnitProc FInit;
};
struct PackageInfoTable {
    int UnitCount;
    const PackageUnitEntry* UnitInfo;
};
using PackageInfo = const PackageInfoTable*;

// Runs every initialisation in table order. When one raises, the units already
// started are finalised in reverse order and the exception goes on to the caller,
// so a failed load leaves nothing half started.
void PackageLoad(PackageInfo Info);
// Runs every finalisation in reverse table order. Every unit is finalised even
// when one raises; the first exception is raised again at the end.
void PackageUnload(PackageInfo Info);

// The modules whose resources and resource strings the framework looks in, in
// registration order. Registering twice counts once.
void RegisterModule(HMODULE Module);
void UnregisterModule(HMODULE Module);
bool IsModuleRegistered(HMODULE Module);

// The language resource module of a module file: a language file (see
// host/rtl/resstrings.h) next to ModuleFileName, named after it with the
// language of the user's locale ($LC_ALL, $LC_MESSAGES or $LANG): for
// "/opt/app/libryx.so" and "de_DE.UTF-8", "/opt/app/libryx.de_DE" or else
// "/opt/app/libryx.de"; $RYX_LANGUAGE_FILE names one directly. Loads the first
// that exists and returns its name, or "" when there is none (the default texts
// stay). A file that exists but cannot be read raises EFOpenError.
std::string LoadResourceModule(const std::string& ModuleFileName);
// The names LoadResourceModule tries, in order (for diagnostics and tests).
std::vector<std::string> ResourceModuleCandidates(const std::string& ModuleFileName);

}  // namespace host
