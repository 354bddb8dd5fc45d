// Engine system information, the login name, and the configuration file with its aliases.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/db/engine_internal.h"
#include "host/rtl/dates.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace dbi;

namespace {

constexpr uint16_t kEngineVersion = 100;  // 1.00
constexpr uint16_t kInterfaceLevel = 100;

// The build date of this engine, from the compiler ("Mmm dd yyyy", "hh:mm:ss").
void BuildStamp(TDateTime& Date, TDateTime& Time) {
    static const char* const Months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const char* D = __DATE__;
    const char* T = __TIME__;
    int Month = 1;
    for (int I = 0; I < 12; ++I)
        if (std::string(Months + I * 3, 3) == std::string(D, 3)) Month = I + 1;
    const int Day = std::atoi(D + 4), Year = std::atoi(D + 7);
    Date = EncodeDate(Year, Month, Day);
    Time = EncodeTime(std::atoi(T), std::atoi(T + 3), std::atoi(T + 6), 0);
}

std::string LoginName() {
    if (const passwd* P = getpwuid(getuid()); P && P->pw_name && *P->pw_name) return P->pw_name;
    if (const char* L = getlogin(); L && *L) return L;
    if (const char* U = std::getenv("USER"); U && *U) return U;
    return {};
}

std::string ProgramName() {
    char Buf[4096];
    const ssize_t N = ::readlink("/proc/self/exe", Buf, sizeof Buf - 1);
    if (N <= 0) return {};
    std::string P(Buf, static_cast<size_t>(N));
    const size_t Slash = P.rfind('/');
    return Slash == std::string::npos ? P : P.substr(Slash + 1);
}

// ---------------------------------------------------------------------------
// The configuration: aliases with their driver and parameters.

struct Alias {
    std::string Name;
    std::string Driver;
    TDbiParams Params;  // without DRIVER
};

struct Config {
    std::string Path;
    bool Loaded = false;
    std::vector<Alias> Aliases;
};

Config& Cfg() {
    static Config C;
    return C;
}

std::string DefaultConfigPath() {
    if (const char* E = std::getenv("RYX_DBI_CONFIG"); E && *E) return E;
    return UserConfigDir() + "/ryx/dbi.cfg";
}

std::string TrimText(const std::string& S) {
    size_t B = 0, E = S.size();
    while (B < E && std::isspace(static_cast<unsigned char>(S[B]))) ++B;
    while (E > B && std::isspace(static_cast<unsigned char>(S[E - 1]))) --E;
    return S.substr(B, E - B);
}

void LoadConfig() {
    Config& C = Cfg();
    if (C.Path.empty()) C.Path = DefaultConfigPath();
    C.Aliases.clear();
    C.Loaded = true;
    std::ifstream In(C.Path);
    if (!In) return;  // no file yet: no aliases
    std::string Line;
    Alias* Cur = nullptr;
    while (std::getline(In, Line)) {
        const std::string T = TrimText(Line);
        if (T.empty() || T[0] == ';' || T[0] == '#') continue;
        if (T.front() == '[' && T.back() == ']') {
            const std::string Sec = T.substr(1, T.size() - 2);
            Cur = nullptr;
            if (Sec.size() > 6 && SameText(Sec.substr(0, 6), "ALIAS:")) {
                C.Aliases.push_back({Sec.substr(6), "STANDARD", {}});
                Cur = &C.Aliases.back();
            }
            continue;
        }
        const size_t Eq = T.find('=');
        if (!Cur || Eq == std::string::npos) continue;
        const std::string K = TrimText(T.substr(0, Eq)), V = TrimText(T.substr(Eq + 1));
        if (SameText(K, "DRIVER") || SameText(K, "TYPE")) Cur->Driver = V;
        else Cur->Params.emplace_back(K, V);
    }
}

Config& Loaded() {
    if (!Cfg().Loaded) LoadConfig();
    return Cfg();
}

Alias* FindAlias(const std::string& Name) {
    for (auto& A : Loaded().Aliases)
        if (SameText(A.Name, Name)) return &A;
    return nullptr;
}

bool KnownDriver(const std::string& D) { return SameText(D, "STANDARD") || SameText(D, "SQLITE"); }

std::string UpperText(std::string S) {
    for (char& C : S) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    return S;
}

}  // namespace

// ---------------------------------------------------------------------------

DBIResult DbiGetSysInfo(SYSInfo& Info) {
    return Run("DbiGetSysInfo", [&] {
        sqlite3_int64 Cur = 0, High = 0;
        sqlite3_status64(SQLITE_STATUS_PAGECACHE_USED, &Cur, &High, 0);
        Info.iBufferSpace = static_cast<int32_t>(Cur / 1024);
        Info.iHeapSpace = static_cast<int32_t>(sqlite3_memory_used() / 1024);
        Info.iDrivers = 2;
        Info.iClients = 1;
        Info.iSessions = Count().Sessions;
        Info.iDatabases = Count().Databases;
        Info.iCursors = Count().Cursors;
    });
}

DBIResult DbiGetClientInfo(CLIENTInfo& Info) {
    return Run("DbiGetClientInfo", [&] {
        Info.szName = ProgramName();
        Info.iSessions = Count().Sessions;
        char Buf[4096];
        Info.szWorkDir = ::getcwd(Buf, sizeof Buf) ? Buf : "";
        Info.szLang = "UTF-8";
    });
}

DBIResult DbiGetSysConfig(SYSConfig& Config) {
    return Run("DbiGetSysConfig", [&] {
        Config.bLocalShare = true;
        Config.iNetProtocol = 0;
        Config.bNetShare = false;
        Config.szNetType = "None";
        Config.szUserName = LoginName();
        Config.szIniFile = Loaded().Path;
        Config.szLangDriver = "UTF-8";
    });
}

DBIResult DbiGetSysVersion(SYSVersion& Version) {
    return Run("DbiGetSysVersion", [&] {
        Version.iVersion = kEngineVersion;
        Version.iIntfLevel = kInterfaceLevel;
        BuildStamp(Version.dateVer, Version.timeVer);
        Version.szSQLiteVersion = sqlite3_libversion();
    });
}

DBIResult DbiGetNetUserName(std::string& UserName) {
    return Run("DbiGetNetUserName", [&] {
        UserName = LoginName();
        if (UserName.empty()) Fail(DBIERR_OBJNOTFOUND, "No login name");
    });
}

DBIResult DbiGetNetUserName(char* UserName) {
    std::string Name;
    const DBIResult R = DbiGetNetUserName(Name);
    if (!UserName) return R;
    const size_t N = std::min<size_t>(Name.size(), DBIMAXNAMELEN);
    std::memcpy(UserName, Name.data(), N);
    UserName[N] = '\0';
    return R;
}

// ---------------------------------------------------------------------------

DBIResult DbiCfgSetPath(const std::string& Path) {
    return Run("DbiCfgSetPath", [&] {
        Cfg().Path = Path.empty() ? DefaultConfigPath() : Path;
        LoadConfig();
    });
}

std::string DbiCfgGetPath() { return Loaded().Path; }

DBIResult DbiCfgReload() {
    return Run("DbiCfgReload", [&] { LoadConfig(); });
}

DBIResult DbiCfgSave() {
    return Run("DbiCfgSave", [&] {
        const Config& C = Loaded();
        std::ostringstream Out;
        Out << "; Database engine configuration: aliases\n";
        for (const auto& A : C.Aliases) {
            Out << "\n[ALIAS:" << A.Name << "]\nDRIVER=" << A.Driver << "\n";
            for (const auto& [K, V] : A.Params) Out << K << "=" << V << "\n";
        }
        // Make the folders on the way (~/.config/ryx).
        const std::string Dir = ExtractFileDir(C.Path);
        if (!Dir.empty() && !DirectoryExists(Dir)) ForceDirectories(Dir);
        if (!WriteFileAtomic(C.Path, Out.str())) Fail(DBIERR_WRITEERR, "Cannot write " + C.Path);
    });
}

DBIResult DbiCfgGetAliasNames(std::vector<std::string>& Names) {
    return Run("DbiCfgGetAliasNames", [&] {
        Names.clear();
        for (const auto& A : Loaded().Aliases) Names.push_back(A.Name);
    });
}

DBIResult DbiCfgGetAliasParams(const std::string& AliasName, TDbiParams& Params) {
    return Run("DbiCfgGetAliasParams", [&] {
        const Alias* A = FindAlias(AliasName);
        if (!A) Fail(DBIERR_OBJNOTFOUND_ALIAS, "Alias: " + AliasName);
        Params.clear();
        Params.emplace_back("DRIVER", A->Driver);
        Params.insert(Params.end(), A->Params.begin(), A->Params.end());
    });
}

DBIResult DbiCfgGetAliasDriver(const std::string& AliasName, std::string& Driver) {
    return Run("DbiCfgGetAliasDriver", [&] {
        const Alias* A = FindAlias(AliasName);
        if (!A) Fail(DBIERR_OBJNOTFOUND_ALIAS, "Alias: " + AliasName);
        Driver = A->Driver;
    });
}

DBIResult DbiCfgAddAlias(const std::string& AliasName, const std::string& Driver, const TDbiParams& Params) {
    return Run("DbiCfgAddAlias", [&] {
        if (AliasName.empty() || AliasName.find_first_of("[]\n\r=") != std::string::npos)
            Fail(DBIERR_INVALIDPARAM, "Alias name: '" + AliasName + "'");
        if (FindAlias(AliasName)) Fail(DBIERR_ALIASEXISTS, "Alias: " + AliasName);
        const std::string D = Driver.empty() ? "STANDARD" : UpperText(Driver);
        if (!KnownDriver(D)) Fail(DBIERR_UNKNOWNDRIVER, "Driver: " + Driver);
        Alias A{AliasName, D, {}};
        for (const auto& P : Params)
            if (!SameText(P.first, "DRIVER") && !SameText(P.first, "TYPE")) A.Params.push_back(P);
        Loaded().Aliases.push_back(std::move(A));
    });
}

DBIResult DbiCfgModifyAlias(const std::string& AliasName, const TDbiParams& Params) {
    return Run("DbiCfgModifyAlias", [&] {
        Alias* A = FindAlias(AliasName);
        if (!A) Fail(DBIERR_OBJNOTFOUND_ALIAS, "Alias: " + AliasName);
        for (const auto& [K, V] : Params) {
            if (SameText(K, "DRIVER") || SameText(K, "TYPE")) {
                if (!KnownDriver(V)) Fail(DBIERR_UNKNOWNDRIVER, "Driver: " + V);
                A->Driver = UpperText(V);
                continue;
            }
            bool Found = false;
            for (auto& P : A->Params)
                if (SameText(P.first, K)) {
                    P.second = V;
                    Found = true;
                }
            if (!Found) A->Params.emplace_back(K, V);
        }
    });
}

DBIResult DbiCfgDeleteAlias(const std::string& AliasName) {
    return Run("DbiCfgDeleteAlias", [&] {
        auto& L = Loaded().Aliases;
        for (auto It = L.begin(); It != L.end(); ++It)
            if (SameText(It->Name, AliasName)) {
                L.erase(It);
                return;
            }
        Fail(DBIERR_OBJNOTFOUND_ALIAS, "Alias: " + AliasName);
    });
}

DBIResult DbiGetDriverNames(std::vector<std::string>& Names) {
    return Run("DbiGetDriverNames", [&] { Names = {"STANDARD", "SQLITE"}; });
}

DBIResult DbiGetDriverParams(const std::string& Driver, TDbiParams& Params) {
    return Run("DbiGetDriverParams", [&] {
        if (!KnownDriver(Driver)) Fail(DBIERR_UNKNOWNDRIVER, "Driver: " + Driver);
        Params = {{"PATH", ""}, {"OPEN MODE", "READ/WRITE"}};
        if (SameText(Driver, "SQLITE")) Params.emplace_back("BUSY TIMEOUT", "2000");
    });
}

}  // namespace host
