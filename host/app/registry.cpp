// The registry classes over the Reg* calls.
#include "host/app/registry.h"

#include <cstring>
#include <vector>

#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

bool IsRelative(const std::string& Key) { return Key.empty() || Key[0] != '\\'; }

std::string StripLeadingDelimiter(const std::string& Key) { return IsRelative(Key) ? Key : Key.substr(1); }

[[noreturn]] void ReadError(const std::string& Name) {
    throw ERegistryException("Invalid data type for '" + Name + "'");
}

TRegDataType DataTypeOf(DWORD Type) {
    switch (Type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

std::vector<std::string> EnumNames(HKEY Key, bool Values) {
    std::vector<std::string> out;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD n = sizeof name;
        LONG r = Values ? RegEnumValueA(Key, i, name, &n, nullptr, nullptr, nullptr, nullptr)
                        : RegEnumKeyExA(Key, i, name, &n, nullptr, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) break;
        out.emplace_back(name, n);
    }
    return out;
}

void Fill(TStrings* Strings, const std::vector<std::string>& Items) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const std::string& s : Items) Strings->Add(s);
    Strings->EndUpdate();
}

// Removes Sub of Parent with everything below it.
LONG DeleteTree(HKEY Parent, const std::string& Sub) {
    HKEY k = 0;
    if (RegOpenKeyExA(Parent, Sub.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        for (const std::string& child : EnumNames(k, false)) DeleteTree(k, child);
        RegCloseKey(k);
    }
    return RegDeleteKeyA(Parent, Sub.c_str());
}

// Copies values and subkeys of From into To.
void CopyTree(HKEY From, HKEY To) {
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD n = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(From, i, name, &n, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string data(size, '\0');
        n = sizeof name;
        RegEnumValueA(From, i, name, &n, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        RegSetValueExA(To, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), size);
    }
    for (const std::string& child : EnumNames(From, false)) {
        HKEY src = 0, dst = 0;
        if (RegOpenKeyExA(From, child.c_str(), 0, KEY_READ, &src) != ERROR_SUCCESS) continue;
        if (RegCreateKeyA(To, child.c_str(), &dst) == ERROR_SUCCESS) {
            CopyTree(src, dst);
            RegCloseKey(dst);
        }
        RegCloseKey(src);
    }
}

}  // namespace

// --- TRegistry ---

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM AAccess) : FAccess(AAccess) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey) return;
    CloseKey();
    FRootKey = Value;
}

HKEY TRegistry::GetBaseKey(bool Relative) const {
    return FCurrentKey == 0 || !Relative ? FRootKey : FCurrentKey;
}

void TRegistry::ChangeKey(HKEY Value, const std::string& Path) {
    CloseKey();
    FCurrentKey = Value;
    FCurrentPath = Path;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    const bool relative = IsRelative(Key);
    const std::string s = StripLeadingDelimiter(Key);
    HKEY k = 0;
    const LONG r = CanCreate ? RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                               FAccess, nullptr, &k, nullptr)
                             : RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, FAccess, &k);
    if (r != ERROR_SUCCESS) return false;
    std::string path = s;
    if (relative && !FCurrentPath.empty()) path = s.empty() ? FCurrentPath : FCurrentPath + "\\" + s;
    ChangeKey(k, path);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    const REGSAM saved = FAccess;
    FAccess = KEY_READ;
    const bool ok = OpenKey(Key, false);
    if (!ok) FAccess = saved;
    return ok;
}

void TRegistry::CloseKey() {
    if (FCurrentKey != 0) RegCloseKey(FCurrentKey);
    FCurrentKey = 0;
    FCurrentPath.clear();
}

HKEY TRegistry::GetKey(const std::string& Key) {
    const bool relative = IsRelative(Key);
    HKEY k = 0;
    if (RegOpenKeyExA(GetBaseKey(relative), StripLeadingDelimiter(Key).c_str(), 0, FAccess, &k) != ERROR_SUCCESS)
        return 0;
    return k;
}

bool TRegistry::CreateKey(const std::string& Key) {
    const bool relative = IsRelative(Key);
    HKEY k = 0;
    if (RegCreateKeyA(GetBaseKey(relative), StripLeadingDelimiter(Key).c_str(), &k) != ERROR_SUCCESS)
        throw ERegistryException("Unable to create key " + Key);
    RegCloseKey(k);
    return true;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    const bool relative = IsRelative(Key);
    return DeleteTree(GetBaseKey(relative), StripLeadingDelimiter(Key)) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& Key) {
    const bool relative = IsRelative(Key);
    HKEY k = 0;
    if (RegOpenKeyExA(GetBaseKey(relative), StripLeadingDelimiter(Key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

void TRegistry::MoveKey(const std::string& OldName, const std::string& NewName, bool Delete) {
    if (!KeyExists(OldName) || KeyExists(NewName)) return;
    HKEY src = GetKey(OldName);
    HKEY dst = 0;
    const bool relative = IsRelative(NewName);
    if (src != 0 && RegCreateKeyA(GetBaseKey(relative), StripLeadingDelimiter(NewName).c_str(), &dst) == ERROR_SUCCESS) {
        CopyTree(src, dst);
        RegCloseKey(dst);
    }
    if (src != 0) RegCloseKey(src);
    if (Delete) DeleteKey(OldName);
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
    Value = TRegKeyInfo{};
    DWORD subs = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &subs, &maxSub, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    Value = TRegKeyInfo{static_cast<int>(subs), static_cast<int>(maxSub), static_cast<int>(values),
                        static_cast<int>(maxName), static_cast<int>(maxData)};
    return true;
}

bool TRegistry::HasSubKeys() {
    TRegKeyInfo info;
    return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings) { Fill(Strings, EnumNames(FCurrentKey, false)); }
void TRegistry::GetValueNames(TStrings* Strings) { Fill(Strings, EnumNames(FCurrentKey, true)); }

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
    DWORD type = 0, size = 0;
    Value = TRegDataInfo{};
    if (RegQueryValueExA(FCurrentKey, ValueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    Value.RegData = DataTypeOf(type);
    Value.DataSize = static_cast<int>(size);
    return true;
}

int TRegistry::GetDataSize(const std::string& ValueName) {
    TRegDataInfo info;
    return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
    TRegDataInfo info;
    return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

bool TRegistry::ValueExists(const std::string& Name) {
    TRegDataInfo info;
    return GetDataInfo(Name, info);
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return RegDeleteValueA(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::RenameValue(const std::string& OldName, const std::string& NewName) {
    if (!ValueExists(OldName) || ValueExists(NewName)) return;
    DWORD type = 0, size = 0;
    RegQueryValueExA(FCurrentKey, OldName.c_str(), nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    if (RegQueryValueExA(FCurrentKey, OldName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS ||
        RegSetValueExA(FCurrentKey, NewName.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), size) !=
            ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + NewName + "'");
    DeleteValue(OldName);
}

bool TRegistry::GetData(const std::string& Name, std::string& Data, TRegDataType& Type) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    Data.assign(size, '\0');
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(Data.data()), &size) !=
        ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + Name + "'");
    Data.resize(size);
    Type = DataTypeOf(type);
    return true;
}

void TRegistry::PutData(const std::string& Name, const void* Buffer, size_t Size, DWORD Type) {
    if (RegSetValueExA(FCurrentKey, Name.c_str(), 0, Type, static_cast<const BYTE*>(Buffer),
                       static_cast<DWORD>(Size)) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

std::string TRegistry::ReadString(const std::string& Name) {
    std::string data;
    TRegDataType type;
    if (!GetData(Name, data, type)) return "";
    if (type != rdString && type != rdExpandString) ReadError(Name);
    const size_t nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    PutData(Name, Value.c_str(), Value.size() + 1, REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
    PutData(Name, Value.c_str(), Value.size() + 1, REG_EXPAND_SZ);
}

int TRegistry::ReadInteger(const std::string& Name) {
    std::string data;
    TRegDataType type;
    if (!GetData(Name, data, type)) throw ERegistryException("Failed to get data for '" + Name + "'");
    if (type != rdInteger || data.size() != 4) ReadError(Name);
    int32_t v;
    std::memcpy(&v, data.data(), 4);
    return v;
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
    const int32_t v = Value;
    PutData(Name, &v, 4, REG_DWORD);
}

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

double TRegistry::ReadFloat(const std::string& Name) {
    std::string data;
    TRegDataType type;
    if (!GetData(Name, data, type)) throw ERegistryException("Failed to get data for '" + Name + "'");
    if (type != rdBinary || data.size() != sizeof(double)) ReadError(Name);
    double v;
    std::memcpy(&v, data.data(), sizeof v);
    return v;
}

void TRegistry::WriteFloat(const std::string& Name, double Value) { PutData(Name, &Value, sizeof Value, REG_BINARY); }

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
    std::string data;
    TRegDataType type;
    if (!GetData(Name, data, type)) return 0;
    if ((type != rdBinary && type != rdUnknown) || static_cast<int64_t>(data.size()) > BufSize) ReadError(Name);
    std::memcpy(Buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
    PutData(Name, Buffer, BufSize < 0 ? 0 : static_cast<size_t>(BufSize), REG_BINARY);
}

// --- TRegIniFile ---

TRegIniFile::TRegIniFile(const std::string& FileName) : TRegIniFile(FileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const std::string& FileName, REGSAM AAccess) : TRegistry(AAccess), FFileName(FileName) {
    OpenKey(FileName, true);
}

template <class F>
bool TRegIniFile::InSection(const std::string& Section, bool Create, F&& Fn) {
    if (Section.empty()) {
        Fn();
        return true;
    }
    HKEY key = 0;
    const bool relative = IsRelative(Section);
    const std::string s = StripLeadingDelimiter(Section);
    const LONG r = Create ? RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr, 0, Access(), nullptr, &key, nullptr)
                          : RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, Access(), &key);
    if (r != ERROR_SUCCESS) {
        if (Create) throw ERegistryException("Unable to create key " + Section);
        return false;
    }
    const HKEY old = CurrentKey();
    SetCurrentKey(key);
    try {
        Fn();
    } catch (...) {
        SetCurrentKey(old);
        RegCloseKey(key);
        throw;
    }
    SetCurrentKey(old);
    RegCloseKey(key);
    return true;
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    std::string result = Default;
    InSection(Section, false, [&] {
        if (ValueExists(Ident)) result = TRegistry::ReadString(Ident);
    });
    return result;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    InSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); });
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    int result = Default;
    InSection(Section, false, [&] {
        switch (GetDataType(Ident)) {
        case rdString:
        case rdExpandString: result = StrToIntDef(TRegistry::ReadString(Ident), Default); break;
        case rdInteger: result = TRegistry::ReadInteger(Ident); break;
        default: break;
        }
    });
    return result;
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Strings->Clear();
    InSection(Section, false, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings* Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    InSection(Section, false, [&] {
        TStringList names;
        GetValueNames(&names);
        for (int i = 0; i < names.Count(); ++i) {
            const std::string n = names.Strings(i);
            std::string v;
            switch (GetDataType(n)) {
            case rdString:
            case rdExpandString: v = TRegistry::ReadString(n); break;
            case rdInteger: v = std::to_string(TRegistry::ReadInteger(n)); break;
            default: continue;
            }
            Strings->Add(n + "=" + v);
        }
    });
    Strings->EndUpdate();
}

void TRegIniFile::EraseSection(const std::string& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    InSection(Section, false, [&] { DeleteValue(Ident); });
}

// --- TRegistryIniFile ---

TRegistryIniFile::TRegistryIniFile(const std::string& FileName, REGSAM AAccess)
    : TCustomIniFile(FileName), FRegIniFile(std::make_unique<TRegIniFile>(FileName, AAccess)) {}

TRegistryIniFile::~TRegistryIniFile() = default;

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
    return FRegIniFile->ReadString(Section, Ident, Default);
}

void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    FRegIniFile->WriteString(Section, Ident, Value);
}

int TRegistryIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    return FRegIniFile->ReadInteger(Section, Ident, Default);
}

void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    FRegIniFile->WriteInteger(Section, Ident, Value);
}

void TRegistryIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    FRegIniFile->ReadSection(Section, Strings);
}

void TRegistryIniFile::ReadSections(TStrings* Strings) { FRegIniFile->ReadSections(Strings); }

void TRegistryIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    FRegIniFile->ReadSectionValues(Section, Strings);
}

void TRegistryIniFile::EraseSection(const std::string& Section) { FRegIniFile->EraseSection(Section); }

void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    FRegIniFile->DeleteKey(Section, Ident);
}

}  // namespace host
