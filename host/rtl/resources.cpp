// Resources: lookup in the compiled-in table and in registered modules, resource handles and fault injection.
#include "host/rtl/resources.h"

#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "host/rtl/exceptions.h"

namespace host {

namespace {

constexpr uint32_t ERROR_INVALID_HANDLE = 6;

// Handles given out by LoadResource sit above those of FindResource so that one
// cannot be mistaken for the other.
constexpr uintptr_t GlobalHandleBase = uintptr_t(1) << 32;
// Registered modules get handles from here on, one 64 KiB step apart.
constexpr HMODULE FirstModuleHandle = 0x10000000;
constexpr HMODULE ModuleHandleStep = 0x10000;

thread_local uint32_t LastError = 0;

struct TTypeName {
    int Number;
    const char* Name;
};
constexpr TTypeName TypeNames[] = {
    {1, "CURSOR"},         {2, "BITMAP"},      {3, "ICON"},        {4, "MENU"},     {5, "DIALOG"},
    {6, "STRING"},         {7, "FONTDIR"},     {8, "FONT"},        {9, "ACCELERATOR"}, {10, "RCDATA"},
    {11, "MESSAGETABLE"},  {12, "GROUP_CURSOR"}, {14, "GROUP_ICON"}, {16, "VERSION"}, {17, "DLGINCLUDE"},
    {19, "PLUGPLAY"},      {20, "VXD"},        {21, "ANICURSOR"},  {22, "ANIICON"},  {23, "HTML"},
    {24, "MANIFEST"},
};

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

using TKey = std::pair<std::string, std::string>;  // normal type, normal name

// The compiled-in table, indexed by normal type and name on first use. The
// first of two files that come to the same key wins.
struct TBuiltinIndex {
    std::map<TKey, TResourceBlob> Blobs;
    std::set<std::string> Types;

    TBuiltinIndex() {
        for (const detail::TBuiltinResource* r = detail::BuiltinResources(); r && r->Type; ++r) {
            std::string type = NormalizeResourceType(r->Type);
            Blobs.emplace(TKey(type, NormalizeResourceName(r->Name)), TResourceBlob{r->Data, r->Size});
            Types.insert(std::move(type));
        }
    }
};

const TBuiltinIndex& Builtins() {
    static const TBuiltinIndex index;
    return index;
}

// A resource found by FindResource; Data becomes null when its module goes away.
struct THandleEntry {
    HMODULE Module;
    TResourceBlob Blob;
};

struct TFault {
    bool Active = false;
    uint32_t Code = 0;
    TResourceFaultPoint Point = rsfFind;
    int Remaining = -1;
};

struct TRegistry {
    std::mutex Lock;
    std::map<HMODULE, std::shared_ptr<TResourceModule>> Modules;
    HMODULE NextHandle = FirstModuleHandle;
    std::vector<THandleEntry> Handles;  // HRSRC n is Handles[n - 1]
    std::map<std::pair<HMODULE, const unsigned char*>, HRSRC> HandleOf;
    TFault Fault;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

// True (with the last error set) when an injected fault hits this call.
bool FaultHits(TResourceFaultPoint Point) {
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    TFault& f = reg.Fault;
    if (!f.Active || f.Point != Point) return false;
    if (f.Remaining > 0 && --f.Remaining == 0) f.Active = false;
    LastError = f.Code;
    return true;
}

bool IsBuiltinModule(HMODULE Module) { return Module == 0 || Module == HInstance; }

bool ParseNumber(const std::string& Text, int& Id) {
    size_t i = !Text.empty() && Text[0] == '#' ? 1 : 0;
    if (i >= Text.size()) return false;
    long long value = 0;
    for (; i < Text.size(); ++i) {
        char c = Text[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max()) return false;
    }
    Id = int(value);
    return true;
}

}  // namespace

uint32_t GetLastError() { return LastError; }
void SetLastError(uint32_t ErrorCode) { LastError = ErrorCode; }

TResourceModule::~TResourceModule() = default;
bool TResourceModule::HasType(const std::string&) const { return true; }

HMODULE RegisterResourceModule(std::unique_ptr<TResourceModule> Module) {
    if (!Module) throw EInvalidOperation("Cannot register a null resource module");
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    HMODULE h = reg.NextHandle;
    reg.NextHandle += ModuleHandleStep;
    reg.Modules.emplace(h, std::shared_ptr<TResourceModule>(std::move(Module)));
    return h;
}

void UnregisterResourceModule(HMODULE Module) {
    std::shared_ptr<TResourceModule> gone;  // released after the lock
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    auto it = reg.Modules.find(Module);
    if (it == reg.Modules.end()) return;
    gone = std::move(it->second);
    reg.Modules.erase(it);
    for (THandleEntry& e : reg.Handles)
        if (e.Module == Module) e.Blob = TResourceBlob{};
    for (auto h = reg.HandleOf.begin(); h != reg.HandleOf.end();)
        h = h->first.first == Module ? reg.HandleOf.erase(h) : std::next(h);
}

bool IsResourceModule(HMODULE Module) {
    if (IsBuiltinModule(Module)) return true;
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    return reg.Modules.count(Module) != 0;
}

std::string ResourceId(int Id) { return "#" + std::to_string(Id); }

bool IsResourceId(const std::string& Text, int& Id) { return ParseNumber(Text, Id); }

std::string NormalizeResourceType(const std::string& Type) {
    int id;
    if (ParseNumber(Type, id)) {
        for (const TTypeName& t : TypeNames)
            if (t.Number == id) return t.Name;
        return std::to_string(id);
    }
    std::string upper = UpperAscii(Type);
    if (upper.rfind("RT_", 0) == 0) {
        for (const TTypeName& t : TypeNames)
            if (upper.compare(3, std::string::npos, t.Name) == 0) return t.Name;
    }
    return upper;
}

std::string NormalizeResourceName(const std::string& Name) {
    int id;
    if (ParseNumber(Name, id)) return std::to_string(id);
    return UpperAscii(Name);
}

bool FindResourceBlob(HMODULE Module, const std::string& Type, const std::string& Name, TResourceBlob& Out) {
    if (FaultHits(rsfFind)) return false;
    std::string type = NormalizeResourceType(Type), name = NormalizeResourceName(Name);
    if (IsBuiltinModule(Module)) {
        const TBuiltinIndex& index = Builtins();
        auto it = index.Blobs.find(TKey(type, name));
        if (it != index.Blobs.end()) {
            Out = it->second;
            return true;
        }
        LastError = index.Types.count(type) ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
        return false;
    }
    std::shared_ptr<TResourceModule> module;
    {
        TRegistry& reg = Registry();
        std::lock_guard guard(reg.Lock);
        auto it = reg.Modules.find(Module);
        if (it != reg.Modules.end()) module = it->second;
    }
    if (!module) {
        LastError = ERROR_MOD_NOT_FOUND;
        return false;
    }
    TResourceBlob blob;
    if (module->Find(type, name, blob)) {
        Out = blob;
        return true;
    }
    LastError = module->HasType(type) ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
    return false;
}

HRSRC FindResource(HMODULE Module, const std::string& Name, const std::string& Type) {
    TResourceBlob blob;
    if (!FindResourceBlob(Module, Type, Name, blob)) return 0;
    HMODULE owner = IsBuiltinModule(Module) ? HInstance : Module;
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    auto key = std::make_pair(owner, blob.Data);
    auto it = reg.HandleOf.find(key);
    if (it != reg.HandleOf.end() && reg.Handles[it->second - 1].Blob.Size == blob.Size) return it->second;
    reg.Handles.push_back(THandleEntry{owner, blob});
    HRSRC h = reg.Handles.size();
    reg.HandleOf[key] = h;
    return h;
}

HRSRC FindResource(HMODULE Module, const std::string& Name, int Type) {
    return FindResource(Module, Name, ResourceId(Type));
}

namespace {
// The entry of a live handle, or nullptr with the last error set.
const THandleEntry* EntryOf(TRegistry& Reg, uintptr_t Handle) {
    if (Handle == 0 || Handle > Reg.Handles.size() || Reg.Handles[Handle - 1].Blob.Data == nullptr) {
        LastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    return &Reg.Handles[Handle - 1];
}
}  // namespace

HGLOBAL LoadResource(HMODULE, HRSRC ResInfo) {
    if (FaultHits(rsfLoad)) return nullptr;
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    if (!EntryOf(reg, ResInfo)) return nullptr;
    return reinterpret_cast<HGLOBAL>(GlobalHandleBase + ResInfo);
}

const void* LockResource(HGLOBAL ResData) {
    if (FaultHits(rsfLock)) return nullptr;
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    uintptr_t data = reinterpret_cast<uintptr_t>(ResData);
    if (data <= GlobalHandleBase) {
        LastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    const THandleEntry* e = EntryOf(reg, data - GlobalHandleBase);
    return e ? e->Blob.Data : nullptr;
}

uint32_t SizeofResource(HMODULE, HRSRC ResInfo) {
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    const THandleEntry* e = EntryOf(reg, ResInfo);
    return e ? uint32_t(e->Blob.Size) : 0;
}

int FreeResource(HGLOBAL) { return 0; }

void SetResourceFault(uint32_t ErrorCode, TResourceFaultPoint Point, int Count) {
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    reg.Fault = TFault{Count != 0, ErrorCode, Point, Count < 0 ? -1 : Count};
}

void ClearResourceFault() {
    TRegistry& reg = Registry();
    std::lock_guard guard(reg.Lock);
    reg.Fault = TFault{};
}

}  // namespace host
