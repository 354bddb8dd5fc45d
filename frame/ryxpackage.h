// The package module: its entry (attach and detach), the unit initialisation table with each unit's start-up counter, Initialize and Finalize.
#pragma once

#include <string>

#include "host/rtl/packages.h"

namespace ryx {

// One unit of the table: framework units the package needs are interleaved
// before the first package unit that uses them.
struct TryxUnitInfo {
    const char* Name;
    bool PackageUnit;
};

inline constexpr int ryxUnitCount = 194;
inline constexpr int ryxPackageUnitCount = 124;

// The table of (initialisation, finalisation) pairs in dependency order.
host::PackageInfo GetPackageInfoTable();
// Runs every initialisation in table order / every finalisation in reverse.
void Initialize();
void Finalize();

// The module entry. Attach records the module, loads the catalogue's language
// file for the module's file name when one exists, and registers the module;
// Detach unregisters it and drops the language file if Attach loaded one.
void ryxModuleAttach(host::HINSTANCE Module = host::HInstance);
void ryxModuleDetach();
host::HINSTANCE ryxModuleHandle();
// The language file Attach loaded ("" for none).
const std::string& ryxLanguageFile();

// The table's units, in order, and each unit's start-up counter: 0 while the
// unit is stopped, negative while started (one less for every extra start).
TryxUnitInfo ryxUnitInfo(int Index);
int ryxUnitStartCounter(int Index);
// The index of a unit by name (ASCII case ignored), -1 when absent.
int ryxUnitIndex(const std::string& Name);

// Loads the package for the life of the object: module attach and Initialize,
// then Finalize and module detach.
class TryxPackageLoader {
public:
    TryxPackageLoader();
    ~TryxPackageLoader();
    TryxPackageLoader(const TryxPackageLoader&) = delete;
    TryxPackageLoader& operator=(const TryxPackageLoader&) = delete;
};

}  // namespace ryx
