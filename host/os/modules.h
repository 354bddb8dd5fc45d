// Modules: LoadLibrary of a Windows executable file read as data (its resources become findable), FreeLibrary, module names and the last-error exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/rtl/resources.h"

namespace host {

constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_BAD_EXE_FORMAT = 193;

// Opens a PE32 or PE32+ file (a DLL or EXE) as a resource module: the file is
// read, never executed. Its resource directory (type, name, first language) is
// registered with the resource lookup, so FindResource(module, ...) finds its
// entries as the operating system would. The name may use '\' as separator;
// without an extension ".dll" is tried as well. Loading the same file again gives
// the same handle and counts one more reference. Fails with 0 and the last error
// ERROR_FILE_NOT_FOUND, ERROR_MOD_NOT_FOUND (unreadable) or ERROR_BAD_EXE_FORMAT
// (not a PE file, or a resource directory that points outside the file).
HMODULE LoadLibrary(const std::string& FileName);
inline HMODULE LoadLibraryA(const std::string& FileName) { return LoadLibrary(FileName); }
// Drops one reference; the last one unregisters the module. FALSE for a handle
// that LoadLibrary did not give (0 and the package's own module included).
int FreeLibrary(HMODULE Module);
// The handle of a loaded file by its name (as given to LoadLibrary or its file
// name part); an empty name gives the package's own module. 0 when not loaded.
HMODULE GetModuleHandle(const std::string& ModuleName);
// The file a module was loaded from; for 0 and the package's module, the
// running program's path. Empty for an unknown handle.
std::string GetModuleFileName(HMODULE Module);

// Raises EOSError for GetLastError, with the system's text for the code:
// "System Error.  Code: <n>.\n<text>".
[[noreturn]] void RaiseLastWin32Error();
// The system's text for a Win32 error code ("" when unknown).
std::string SysErrorMessage(uint32_t ErrorCode);

namespace pe {
// One resource found in a PE image. Type and Name are in the lookup's normal
// form ("RCDATA", "10" for a number, upper-case names); Offset and Size give the
// bytes within the image.
struct TPeResource {
    std::string Type, Name;
    uint32_t Language = 0;
    size_t Offset = 0, Size = 0;
};
// Reads the resource directory of a PE image (first language of each name).
// Returns false for anything that is not a well-formed PE file or whose
// directory or data lie outside the image; never reads out of bounds and
// terminates on any input (directory loops included).
bool ReadResources(const uint8_t* Image, size_t Size, std::vector<TPeResource>& Out);
}  // namespace pe

}  // namespace host
