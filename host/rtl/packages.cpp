// Packages: running a unit table at load and unload, the registered modules and language resource modules.
#include "host/rtl/packages.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <vector>

#include "host/rtl/resstrings.h"
#include "host/rtl/sysutils.h"

namespace host {

void PackageLoad(PackageInfo Info) {
    if (!Info) return;
    int started = 0;
    try {
        for (; started < Info->UnitCount; ++started)
            if (Info->UnitInfo[started].Init) Info->UnitInfo[started].Init();
    } catch (...) {
        for (int k = started - 1; k >= 0; --k) {
            try {
                if (Info->UnitInfo[k].FInit) Info->UnitInfo[k].FInit();
            } catch (...) {
                // The start-up failure is what the caller needs to see.
            }
        }
        throw;
    }
}

void PackageUnload(PackageInfo Info) {
    if (!Info) return;
    std::exception_ptr first;
    for (int k = Info->UnitCount - 1; k >= 0; --k) {
        try {
            if (Info->UnitInfo[k].FInit) Info->UnitInfo[k].FInit();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

namespace {
std::vector<HMODULE>& Modules() {
    static std::vector<HMODULE> m;
    return m;
}
}  // namespace

void RegisterModule(HMODULE Module) {
    if (!IsModuleRegistered(Module)) Modules().push_back(Module);
}

void UnregisterModule(HMODULE Module) {
    auto& m = Modules();
    m.erase(std::remove(m.begin(), m.end(), Module), m.end());
}

bool IsModuleRegistered(HMODULE Module) {
    const auto& m = Modules();
    return std::find(m.begin(), m.end(), Module) != m.end();
}

std::vector<std::string> ResourceModuleCandidates(const std::string& ModuleFileName) {
    std::vector<std::string> out;
    if (const char* direct = std::getenv("RYX_LANGUAGE_FILE"); direct && *direct) out.push_back(direct);
    std::string locale;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) {
            locale = v;
            break;
        }
    }
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX" || ModuleFileName.empty()) return out;
    std::string base = ChangeFileExt(NormalizePath(ModuleFileName), "");
    out.push_back(base + "." + locale);
    size_t underscore = locale.find('_');
    if (underscore != std::string::npos) out.push_back(base + "." + locale.substr(0, underscore));
    return out;
}

std::string LoadResourceModule(const std::string& ModuleFileName) {
    for (const std::string& candidate : ResourceModuleCandidates(ModuleFileName))
        if (FileExists(candidate)) {
            LoadLanguageFile(candidate);
            return candidate;
        }
    return std::string();
}

}  // namespace host
