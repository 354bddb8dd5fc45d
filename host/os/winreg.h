// The registry stand-in: a per-user tree of keys and typed values in one file, and the classic Reg* calls over it.
#pragma once

#include <cstdint>
#include <string>

#include "host/gdi/gditypes.h"

namespace host {

// Keys are plain 32-bit handles: the predefined roots below, and handles of opened
// keys handed out by the calls (a stale or unknown handle fails with
// ERROR_INVALID_HANDLE and touches nothing).
using HKEY = uint32_t;
using REGSAM = uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

// Value types.
inline constexpr DWORD REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
                       REG_MULTI_SZ = 7, REG_QWORD = 11;

// Access rights: a key opened without the right fails the call with ERROR_ACCESS_DENIED.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_CREATE_SUB_KEY = 0x0004,
                        KEY_ENUMERATE_SUB_KEYS = 0x0008, KEY_NOTIFY = 0x0010, KEY_CREATE_LINK = 0x0020,
                        KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_EXECUTE = 0x20019,
                        KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2;

// Results (the system's error codes).
inline constexpr LONG ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ACCESS_DENIED = 5,
                      ERROR_INVALID_HANDLE = 6, ERROR_WRITE_FAULT = 29, ERROR_INVALID_PARAMETER = 87,
                      ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259, ERROR_KEY_DELETED = 1018;

// Paths are subkey names separated by '\' (a leading or doubled '\' is ignored); names
// compare without regard to ASCII case and keep the case they were created with. A
// value name of "" (or null) is the key's default value.
LONG RegOpenKeyExA(HKEY Key, const char* SubKey, DWORD Options, REGSAM Access, HKEY* Result);
LONG RegOpenKeyA(HKEY Key, const char* SubKey, HKEY* Result);
LONG RegCreateKeyExA(HKEY Key, const char* SubKey, DWORD Reserved, const char* Class, DWORD Options,
                     REGSAM Access, const void* Security, HKEY* Result, DWORD* Disposition);
LONG RegCreateKeyA(HKEY Key, const char* SubKey, HKEY* Result);
LONG RegCloseKey(HKEY Key);
// Removes the subkey, which must have no subkeys of its own (as the system does).
LONG RegDeleteKeyA(HKEY Key, const char* SubKey);
LONG RegDeleteValueA(HKEY Key, const char* ValueName);
// Type, data and size of a value. With Data null only the size is reported; with a
// buffer too small, ERROR_MORE_DATA and the size needed. Strings count their NUL.
LONG RegQueryValueExA(HKEY Key, const char* ValueName, DWORD* Reserved, DWORD* Type, BYTE* Data, DWORD* cbData);
// The default value of a subkey (a string), with its size in *cbValue (NUL included).
LONG RegQueryValueA(HKEY Key, const char* SubKey, char* Value, LONG* cbValue);
LONG RegSetValueExA(HKEY Key, const char* ValueName, DWORD Reserved, DWORD Type, const BYTE* Data, DWORD cbData);
LONG RegSetValueA(HKEY Key, const char* SubKey, DWORD Type, const char* Data, DWORD cbData);
LONG RegEnumKeyExA(HKEY Key, DWORD Index, char* Name, DWORD* cchName, DWORD* Reserved, char* Class,
                   DWORD* cchClass, void* LastWriteTime);
LONG RegEnumValueA(HKEY Key, DWORD Index, char* ValueName, DWORD* cchValueName, DWORD* Reserved, DWORD* Type,
                   BYTE* Data, DWORD* cbData);
LONG RegQueryInfoKeyA(HKEY Key, char* Class, DWORD* cchClass, DWORD* Reserved, DWORD* SubKeys,
                      DWORD* MaxSubKeyLen, DWORD* MaxClassLen, DWORD* Values, DWORD* MaxValueNameLen,
                      DWORD* MaxValueLen, DWORD* SecurityDescriptor, void* LastWriteTime);
// Every change is on disk when its call returns; flushing has nothing left to do.
LONG RegFlushKey(HKEY Key);

namespace regstore {
// The file holding the tree: $RYX_REGISTRY_FILE, else <configuration directory>/ryx/registry.
// The file is read at first use and again whenever another process has changed it;
// each change writes it whole (a temporary file renamed into place). Lines it cannot
// read are kept and written back unchanged. Reads of a file larger than 64 MiB give an
// empty tree and every write fails with ERROR_WRITE_FAULT, so nothing of it is lost.
std::string FileName();
// Another file (tests); "" goes back to the default. Open key handles stay valid.
void SetFileName(const std::string& FileName);
// Parses Bytes as a store file and writes it back (used by the fuzz target): what the
// registry would store after loading it. The result parses to itself.
std::string Roundtrip(const std::string& Bytes);
}  // namespace regstore

}  // namespace host
