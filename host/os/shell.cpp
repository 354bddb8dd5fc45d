// Shell execution through xdg-open, lp or the program itself, each started with an argument vector.
#include "host/os/shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "host/os/process.h"
#include "host/rtl/exceptions.h"

namespace host {

namespace {

std::string Lower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return S;
}

// The file name with '\' turned into '/', as the host file layer does; a name
// starting with '-' gets "./" so that no program takes it for an option.
std::string HostPath(const std::string& Name) {
    std::string R = Name;
    for (char& c : R)
        if (c == '\\') c = '/';
    if (!R.empty() && R[0] == '-') R = "./" + R;
    return R;
}

bool IsRegularExecutable(const std::string& Path) {
    struct stat st{};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(Path.c_str(), X_OK) == 0;
}

bool Exists(const std::string& Path) {
    struct stat st{};
    return ::stat(Path.c_str(), &st) == 0;
}

bool IsAddress(const std::string& Name) {
    size_t colon = Name.find(':');
    if (colon == std::string::npos || colon < 2) return false;  // "C:" is a drive, not a scheme
    for (size_t i = 0; i < colon; ++i) {
        char c = Name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
              c == '.'))
            return false;
    }
    return true;
}

// Starts the program for Verb and File; sets Result (> 32 on success) and
// returns the process when it started.
std::unique_ptr<TProcess> Execute(const char* Verb, const char* File, const char* Parameters, const char* Directory,
                                  intptr_t& Result) {
    Result = SE_ERR_FNF;
    std::string verb = Lower(Verb ? Verb : "");
    std::string file = File ? File : "";
    if (file.empty()) return nullptr;
    const bool address = IsAddress(file);
    if (!address) file = HostPath(file);
    std::string dir = Directory ? HostPath(Directory) : std::string();
    if (!address) {
        std::string resolved = (file[0] == '/' || dir.empty()) ? file : dir + "/" + file;
        if (!Exists(resolved)) return nullptr;
    }

    std::vector<std::string> args;
    if (verb.empty() || verb == "open") {
        std::string resolved = (address || file[0] == '/' || dir.empty()) ? file : dir + "/" + file;
        if (!address && IsRegularExecutable(resolved)) {
            args.push_back(resolved.find('/') == std::string::npos ? "./" + resolved : resolved);
            for (std::string& p : CommandLineToArgv(Parameters ? Parameters : "")) args.push_back(std::move(p));
        } else {
            args = {"xdg-open", file};
        }
    } else if (verb == "explore") {
        args = {"xdg-open", file};
    } else if (verb == "print") {
        args = {"lp", "--", file};
    } else {
        Result = SE_ERR_NOASSOC;
        return nullptr;
    }
    try {
        auto process = TProcess::Start(args, dir);
        Result = 42;
        return process;
    } catch (const EOSError&) {
        Result = SE_ERR_FNF;
        return nullptr;
    }
}

}  // namespace

intptr_t ShellExecuteA(HWND, const char* Verb, const char* File, const char* Parameters, const char* Directory,
                       int) {
    intptr_t result = 0;
    Execute(Verb, File, Parameters, Directory, result);
    return result;
}

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* Info) {
    if (Info == nullptr) return FALSE;
    Info->hProcess.reset();
    auto process = Execute(Info->lpVerb, Info->lpFile, Info->lpParameters, Info->lpDirectory, Info->hInstApp);
    if (!process) return FALSE;
    if (Info->fMask & SEE_MASK_NOCLOSEPROCESS) Info->hProcess = std::move(process);
    return TRUE;
}

bool OpenURL(const std::string& URL) {
    if (URL.empty() || URL[0] == '-') return false;  // never an option of the opener
    try {
        TProcess::Start({"xdg-open", URL});
        return true;
    } catch (const EOSError&) {
        return false;
    }
}

}  // namespace host
