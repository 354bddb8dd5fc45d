// The package module: the unit table (framework units interleaved where package units need them), start-up counters and the module entry.
#include "frame/ryxpackage.h"

#include <array>
#include <utility>

#include "data/ryxda.h"
#include "data/ryxdabde.h"
#include "data/ryxdbacc.h"
#include "data/ryxfiltr.h"
#include "dbcontrols/ryxedwin.h"
#include "dbcontrols/ryxhgrid.h"
#include "frame/ryxfact.h"
#include "frame/ryxfblot.h"
#include "frame/ryxnpcon.h"
#include "host/os/modules.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resstrings.h"
#include "host/rtl/sysutils.h"
#include "navigator/ryxnpfac.h"
#include "services/ryxcurlb.h"

namespace ryx {

namespace {

// A unit: its name, whether it belongs to the package, and the work its
// initialisation and finalisation do when the counter allows (null: none yet).
struct TUnitRecord {
    const char* Name;
    bool PackageUnit;
    host::TUnitProc Work;
    host::TUnitProc Release;
};

constexpr TUnitRecord Units[] = {
    {"System", false, nullptr, nullptr},
    {"SysInit", false, nullptr, nullptr},
    {"Windows", false, nullptr, nullptr},
    {"Messages", false, nullptr, nullptr},
    {"SysConst", false, nullptr, nullptr},
    {"SysUtils", false, nullptr, nullptr},
    {"ActiveX", false, nullptr, nullptr},
    {"ComObj", false, nullptr, nullptr},
    {"Math", false, nullptr, nullptr},
    {"Contnrs", false, nullptr, nullptr},
    {"TypInfo", false, nullptr, nullptr},
    {"Consts", false, nullptr, nullptr},
    {"Classes", false, nullptr, nullptr},
    {"Graphics", false, nullptr, nullptr},
    {"CommCtrl", false, nullptr, nullptr},
    {"ComStrs", false, nullptr, nullptr},
    {"ImgList", false, nullptr, nullptr},
    {"Menus", false, nullptr, nullptr},
    {"Imm", false, nullptr, nullptr},
    {"FlatSB", false, nullptr, nullptr},
    {"MultiMon", false, nullptr, nullptr},
    {"Controls", false, nullptr, nullptr},
    {"Forms", false, nullptr, nullptr},
    {"StdCtrls", false, nullptr, nullptr},
    {"ExtCtrls", false, nullptr, nullptr},
    {"ComCtrls", false, nullptr, nullptr},
    {"Ryxfblot", true, nullptr, nullptr},
    {"DBConsts", false, nullptr, nullptr},
    {"DB", false, nullptr, nullptr},
    {"Ryxnpcon", true, ryxnpconInitNameTables, ryxnpconFreeNameTables},
    {"DSIntf", false, nullptr, nullptr},
    {"MidConst", false, nullptr, nullptr},
    {"Provider", false, nullptr, nullptr},
    {"DBClient", false, nullptr, nullptr},
    {"ADOInt", false, nullptr, nullptr},
    {"ADODB", false, nullptr, nullptr},
    {"Ryxda", true, nullptr, ryxFreeDSAdapterFactory},
    {"Ryxtrl", true, nullptr, nullptr},
    {"Ryxconst", true, nullptr, nullptr},
    {"Ryxfact", true, nullptr, ryxFreeFormFactory},
    {"CommDlg", false, nullptr, nullptr},
    {"Dlgs", false, nullptr, nullptr},
    {"Dialogs", false, nullptr, nullptr},
    {"Buttons", false, nullptr, nullptr},
    {"ActnList", false, nullptr, nullptr},
    {"StdActns", false, nullptr, nullptr},
    {"Ryxforms", true, nullptr, nullptr},
    {"Ryxffltr", true, nullptr, nullptr},
    {"Ryxfflds", true, nullptr, nullptr},
    {"Ryxfiltr", true, nullptr, nullptr},
    {"Bde", false, nullptr, nullptr},
    {"BDEConst", false, nullptr, nullptr},
    {"DBCommon", false, nullptr, nullptr},
    {"SMIntf", false, nullptr, nullptr},
    {"DBLogDlg", false, nullptr, nullptr},
    {"DBPWDlg", false, nullptr, nullptr},
    {"DBTables", false, nullptr, nullptr},
    {"Ryxutild", true, nullptr, nullptr},
    {"Ryxdabde", true, ryxdabdeInitialize, ryxdabdeFinalize},
    {"Ryxutilg", true, nullptr, nullptr},
    {"Ryxapp", true, nullptr, nullptr},
    {"Ryxutilm", true, nullptr, nullptr},
    {"Ryxpanel", true, nullptr, nullptr},
    {"ShellAPI", false, nullptr, nullptr},
    {"ShlObj", false, nullptr, nullptr},
    {"FileCtrl", false, nullptr, nullptr},
    {"Registry", false, nullptr, nullptr},
    {"IniFiles", false, nullptr, nullptr},
    {"WinSpool", false, nullptr, nullptr},
    {"Printers", false, nullptr, nullptr},
    {"Ryxutilf", true, nullptr, nullptr},
    {"Ryxexctl", true, nullptr, nullptr},
    {"Ryxutil", true, nullptr, nullptr},
    {"Ryxutilw", true, nullptr, nullptr},
    {"Clipbrd", false, nullptr, nullptr},
    {"Ryxmem", true, nullptr, nullptr},
    {"MMSystem", false, nullptr, nullptr},
    {"Ryxwav", true, nullptr, nullptr},
    {"Ryxbtn", true, nullptr, nullptr},
    {"Ryxufxa", true, nullptr, nullptr},
    {"Ryxufxb", true, nullptr, nullptr},
    {"Ryxufx", true, nullptr, nullptr},
    {"Ryxtileb", true, nullptr, nullptr},
    {"Ryxfx", true, nullptr, nullptr},
    {"Ryxsubfm", true, nullptr, nullptr},
    {"Ryxanfr", true, nullptr, nullptr},
    {"Mask", false, nullptr, nullptr},
    {"Ryxspin", true, nullptr, nullptr},
    {"Ryxatlab", true, nullptr, nullptr},
    {"Ryxinpla", true, nullptr, nullptr},
    {"Ryxbarlv", true, nullptr, nullptr},
    {"Ryxbar", true, nullptr, nullptr},
    {"Ryxedge", true, nullptr, nullptr},
    {"Ryxbtns", true, nullptr, nullptr},
    {"Ryxmsg", true, nullptr, nullptr},
    {"Ryxfbusy", true, nullptr, nullptr},
    {"Ryxbusy", true, nullptr, nullptr},
    {"Ryxcombo", true, nullptr, nullptr},
    {"Ryxcompf", true, nullptr, nullptr},
    {"Ryxctl32", true, nullptr, nullptr},
    {"Ryxcurlb", true, ryxcurlbInitialize, ryxcurlbFinalize},
    {"Ryxedbtn", true, nullptr, nullptr},
    {"Ryxfdir", true, nullptr, nullptr},
    {"Ryxedtdr", true, nullptr, nullptr},
    {"Ryxedtop", true, nullptr, nullptr},
    {"Ryxedtsv", true, nullptr, nullptr},
    {"Ryxexcep", true, nullptr, nullptr},
    {"ExtDlgs", false, nullptr, nullptr},
    {"Ryxfrcdt", true, nullptr, nullptr},
    {"Tabs", false, nullptr, nullptr},
    {"Ryxpage", true, nullptr, nullptr},
    {"RichEdit", false, nullptr, nullptr},
    {"Ryxrched", true, nullptr, nullptr},
    {"ToolWin", false, nullptr, nullptr},
    {"Ryxtcmn", true, nullptr, nullptr},
    {"Ryxtcnst", true, nullptr, nullptr},
    {"Ryxtoolb", true, nullptr, nullptr},
    {"Ryxtlbr", true, nullptr, nullptr},
    {"Ryxtctls", true, nullptr, nullptr},
    {"Ryxfrch", true, nullptr, nullptr},
    {"Ryxshapf", true, nullptr, nullptr},
    {"Ryxfspla", true, nullptr, nullptr},
    {"Ryxlabel", true, nullptr, nullptr},
    {"Ryxtips", true, nullptr, nullptr},
    {"Ryxfti32", true, nullptr, nullptr},
    {"Ryxfwtch", true, nullptr, nullptr},
    {"Ryxgreg", true, nullptr, nullptr},
    {"Ryxhandl", true, nullptr, nullptr},
    {"Ryxhighl", true, nullptr, nullptr},
    {"Ryxkeys", true, nullptr, nullptr},
    {"CheckLst", false, nullptr, nullptr},
    {"Ryxlist", true, nullptr, nullptr},
    {"Ryxtlwn", true, nullptr, nullptr},
    {"Ryxmopts", true, nullptr, nullptr},
    {"Ryxmenu", true, nullptr, nullptr},
    {"Ryxmemo", true, nullptr, nullptr},
    {"MPlayer", false, nullptr, nullptr},
    {"Ryxmm", true, nullptr, nullptr},
    {"Ryxscrol", true, nullptr, nullptr},
    {"Ryxshape", true, nullptr, nullptr},
    {"Ryxspla", true, nullptr, nullptr},
    {"Ryxsplit", true, nullptr, nullptr},
    {"Jpeg", false, nullptr, nullptr},
    {"Ryxtimag", true, nullptr, nullptr},
    {"Ryxtme", true, nullptr, nullptr},
    {"Ryxversn", true, nullptr, nullptr},
    {"Ryxwtch", true, nullptr, nullptr},
    {"DBCtrls", false, nullptr, nullptr},
    {"Grids", false, nullptr, nullptr},
    {"DBGrids", false, nullptr, nullptr},
    {"DBLookup", false, nullptr, nullptr},
    {"DBCGrids", false, nullptr, nullptr},
    {"Ryxdbacc", true, nullptr, nullptr},
    {"Ryxfdbme", true, nullptr, nullptr},
    {"Ryxfdbim", true, nullptr, nullptr},
    {"Ryxdbaut", true, nullptr, nullptr},
    {"Ryxdbatl", true, nullptr, nullptr},
    {"Ryxdbctl", true, nullptr, nullptr},
    {"Ryxdbcur", true, nullptr, nullptr},
    {"Ryxdbexc", true, nullptr, nullptr},
    {"Ryxdbfx", true, nullptr, nullptr},
    {"Ryxdbgrf", true, nullptr, nullptr},
    {"Ryxdbgrd", true, nullptr, nullptr},
    {"Ryxfhnt", true, nullptr, nullptr},
    {"Ryxfhlp", true, nullptr, nullptr},
    {"Ryxdbhnc", true, nullptr, nullptr},
    {"Ryxdbhnt", true, nullptr, nullptr},
    {"Ryxdblr", true, nullptr, nullptr},
    {"Ryxdbrch", true, nullptr, nullptr},
    {"Ryxdbrng", true, nullptr, nullptr},
    {"Ryxhgrid", true, nullptr, nullptr},
    {"Ryxedwin", true, nullptr, nullptr},
    {"Ryxnpbtn", true, nullptr, nullptr},
    {"Ryxnpfac", true, nullptr, ryxnpFreeFormFactory},
    {"Ryxffind", true, nullptr, nullptr},
    {"Ryxnpedt", true, nullptr, nullptr},
    {"Ryxfnpdg", true, nullptr, nullptr},
    {"Ryxfnpds", true, nullptr, nullptr},
    {"Ryxfnphg", true, nullptr, nullptr},
    {"Ryxfnpsg", true, nullptr, nullptr},
    {"DBActns", false, nullptr, nullptr},
    {"Ryxnp", true, nullptr, nullptr},
    {"Ryxdbtre", true, nullptr, nullptr},
    {"Ryxffndk", true, nullptr, nullptr},
    {"Ryxfinfo", true, nullptr, nullptr},
    {"Ryxfqryp", true, nullptr, nullptr},
    {"Ryxfrnge", true, nullptr, nullptr},
    {"Ryxidcbo", true, nullptr, nullptr},
    {"Ryxnpflt", true, nullptr, nullptr},
    {"Ryxnpinf", true, nullptr, nullptr},
    {"Ryxtdbe", true, nullptr, nullptr},
    {"Ryxdsexc", true, nullptr, nullptr},
    {"Ryxtitle", true, nullptr, nullptr},
    {"Ryxmdtab", true, nullptr, nullptr},
};
static_assert(std::size(Units) == ryxUnitCount);

int Counters[ryxUnitCount];

// A unit starts once and stops once however often the table runs: its
// initialisation works only when the counter was 0 before the decrement, its
// finalisation only when the increment brings it back to 0.
template <int N>
void UnitInit() {
    if (Counters[N]-- == 0 && Units[N].Work) Units[N].Work();
}

template <int N>
void UnitFinal() {
    if (++Counters[N] == 0 && Units[N].Release) Units[N].Release();
}

template <int... N>
constexpr std::array<host::PackageUnitEntry, sizeof...(N)> MakeEntries(std::integer_sequence<int, N...>) {
    return {host::PackageUnitEntry{&UnitInit<N>, &UnitFinal<N>}...};
}

constexpr auto Entries = MakeEntries(std::make_integer_sequence<int, ryxUnitCount>());
constexpr host::PackageInfoTable Table{ryxUnitCount, Entries.data()};

host::HINSTANCE ModuleHandle = 0;
std::string LanguageFile;

}  // namespace

host::PackageInfo GetPackageInfoTable() { return &Table; }

void Initialize() { host::PackageLoad(&Table); }

void Finalize() { host::PackageUnload(&Table); }

namespace {
// The package's component and form classes are known to the streaming system while
// the module is attached, so that form files name them (the standard and data-aware
// controls they stand on are registered by the application).
const std::array<host::TClass, 11>& ModuleClasses() {
    static const std::array<host::TClass, 11> Classes{
        TryxsfBLOControl::StaticClass(),  TryxHDBGrid::StaticClass(),         TryxDBEditWin::StaticClass(),
        TryxDBFilter::StaticClass(),      TryxDBDataSetFilter::StaticClass(), TryxDatasetAdapterReg::StaticClass(),
        TryxBDEAdapterReg::StaticClass(), TryxLocalTable::StaticClass(),      TryxLocalQuery::StaticClass(),
        TryxLocalDatabase::StaticClass(), TryxDBIdleTime::StaticClass()};
    return Classes;
}
}  // namespace

void ryxModuleAttach(host::HINSTANCE Module) {
    for (host::TClass C : ModuleClasses()) host::RegisterClass(C);
    ModuleHandle = Module;
    LanguageFile = host::LoadResourceModule(host::GetModuleFileName(Module));
    host::RegisterModule(Module);
}

void ryxModuleDetach() {
    for (host::TClass C : ModuleClasses()) host::UnRegisterClass(C);
    host::UnregisterModule(ModuleHandle);
    if (!LanguageFile.empty()) host::UnloadLanguageFile();
    LanguageFile.clear();
    ModuleHandle = 0;
}

host::HINSTANCE ryxModuleHandle() { return ModuleHandle; }

const std::string& ryxLanguageFile() { return LanguageFile; }

namespace {
void CheckUnitIndex(int Index) {
    if (Index < 0 || Index >= ryxUnitCount)
        throw host::ERangeError("Unit index out of bounds (" + std::to_string(Index) + ")");
}
}  // namespace

TryxUnitInfo ryxUnitInfo(int Index) {
    CheckUnitIndex(Index);
    return TryxUnitInfo{Units[Index].Name, Units[Index].PackageUnit};
}

int ryxUnitStartCounter(int Index) {
    CheckUnitIndex(Index);
    return Counters[Index];
}

int ryxUnitIndex(const std::string& Name) {
    for (int k = 0; k < ryxUnitCount; ++k)
        if (host::SameText(Units[k].Name, Name)) return k;
    return -1;
}

TryxPackageLoader::TryxPackageLoader() {
    ryxModuleAttach();
    try {
        Initialize();
    } catch (...) {
        ryxModuleDetach();
        throw;
    }
}

TryxPackageLoader::~TryxPackageLoader() {
    try {
        Finalize();
    } catch (...) {
        // A destructor cannot report it; every unit has been given its finalisation.
    }
    ryxModuleDetach();
}

}  // namespace ryx
