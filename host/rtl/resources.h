// Resources: the blobs compiled into the library, registered resource modules, and the Win32-style lookup calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace host {

using HMODULE = uintptr_t;
using HINSTANCE = HMODULE;
using HRSRC = uintptr_t;
// A handle of loaded resource data; the same handle type as the global memory blocks.
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;

// Resource type numbers.
constexpr int RT_CURSOR = 1;
constexpr int RT_BITMAP = 2;
constexpr int RT_ICON = 3;
constexpr int RT_MENU = 4;
constexpr int RT_DIALOG = 5;
constexpr int RT_STRING = 6;
constexpr int RT_FONTDIR = 7;
constexpr int RT_FONT = 8;
constexpr int RT_ACCELERATOR = 9;
constexpr int RT_RCDATA = 10;
constexpr int RT_MESSAGETABLE = 11;
constexpr int RT_GROUP_CURSOR = 12;
constexpr int RT_GROUP_ICON = 14;
constexpr int RT_VERSION = 16;

// Error codes the lookup leaves for GetLastError.
constexpr uint32_t ERROR_MOD_NOT_FOUND = 126;
constexpr uint32_t ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr uint32_t ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// The calling thread's last error code.
uint32_t GetLastError();
void SetLastError(uint32_t ErrorCode);

namespace detail {
// One compiled-in resource: the generated table (cmake/embed_resources.cmake)
// ends with an entry whose Type is null. Data is followed by a zero byte that
// Size does not count.
struct TBuiltinResource {
    const char* Type;
    const char* Name;
    const unsigned char* Data;
    size_t Size;
};
const TBuiltinResource* BuiltinResources();
}  // namespace detail

// The package's own module: its resources are the compiled-in ones. Module 0
// finds the same resources.
inline constexpr HINSTANCE HInstance = 0x400000;

struct TResourceBlob {
    const unsigned char* Data = nullptr;
    size_t Size = 0;
};

// A source of resources other than the compiled-in table (a loaded library, a
// language module, a test's container). Find receives the type and the name in
// their normal form (see NormalizeResourceType/Name) and fills Out when it holds
// that resource; the data must stay valid while the module is registered.
class TResourceModule {
public:
    virtual ~TResourceModule();
    virtual bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const = 0;
    // Whether the module holds any resource of the type: decides between
    // ERROR_RESOURCE_TYPE_NOT_FOUND and ERROR_RESOURCE_NAME_NOT_FOUND when Find
    // fails. The default says yes.
    virtual bool HasType(const std::string& Type) const;
};

// Registers a module and returns its handle (never 0 nor HInstance, always 32 or
// more); raises EInvalidOperation for a null module. Unregistering an unknown
// handle does nothing; handles of resources found in the module stop working.
HMODULE RegisterResourceModule(std::unique_ptr<TResourceModule> Module);
void UnregisterResourceModule(HMODULE Module);
// True for 0, HInstance and every registered module.
bool IsResourceModule(HMODULE Module);

// "#n": a numbered name or type as text (the Win32 MAKEINTRESOURCE).
std::string ResourceId(int Id);
// True when Text is "#n" or all digits, with the number in Id.
bool IsResourceId(const std::string& Text, int& Id);
// Normal forms for comparison: ASCII upper case; a number ("#10" or "10") as its
// decimal digits; a type number that has a name as that name ("#10" → "RCDATA";
// "RT_RCDATA" is accepted too).
std::string NormalizeResourceType(const std::string& Type);
std::string NormalizeResourceName(const std::string& Name);

// The one lookup used everywhere. Type and Name are compared without regard to
// case; "#123" or "123" stands for the number 123. Fails with the last error set
// to ERROR_MOD_NOT_FOUND, ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND (or the injected fault).
bool FindResourceBlob(HMODULE Module, const std::string& Type, const std::string& Name, TResourceBlob& Out);

// The Win32 calls. FindResource gives 0 when the resource is absent (see
// GetLastError); LoadResource gives 0 and LockResource nullptr for a bad handle
// or an injected fault. Resources need no freeing: FreeResource returns 0.
HRSRC FindResource(HMODULE Module, const std::string& Name, const std::string& Type);
HRSRC FindResource(HMODULE Module, const std::string& Name, int Type);
inline HRSRC FindResourceA(HMODULE Module, const std::string& Name, const std::string& Type) {
    return FindResource(Module, Name, Type);
}
inline HRSRC FindResourceA(HMODULE Module, const std::string& Name, int Type) {
    return FindResource(Module, Name, Type);
}
HGLOBAL LoadResource(HMODULE Module, HRSRC ResInfo);
const void* LockResource(HGLOBAL ResData);
uint32_t SizeofResource(HMODULE Module, HRSRC ResInfo);
int FreeResource(HGLOBAL ResData);

// Fault injection for tests: the next Count calls at that point (every call when
// Count is negative) fail with ErrorCode as the last error, until cleared.
// rsfFind covers FindResource and FindResourceBlob.
enum TResourceFaultPoint { rsfFind, rsfLoad, rsfLock };
void SetResourceFault(uint32_t ErrorCode, TResourceFaultPoint Point = rsfFind, int Count = -1);
void ClearResourceFault();

}  // namespace host
