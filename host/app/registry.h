// The registry classes: TRegistry, TRegIniFile (sections as subkeys) and TRegistryIniFile (an ini-file interface to it).
#pragma once

#include <memory>
#include <string>

#include "host/app/inifiles.h"
#include "host/os/winreg.h"
#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/object.h"

namespace host {

class TStrings;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
    int NumSubKeys = 0;
    int MaxSubKeyLen = 0;
    int NumValues = 0;
    int MaxValueLen = 0;
    int MaxDataLen = 0;
};

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

// One open key at a time (CurrentKey, CurrentPath) below RootKey (HKEY_CURRENT_USER
// by default). Key names starting with '\' are absolute (from the root), others
// relative to the current key.
class TRegistry : public TObject {
    HOST_CLASS(TRegistry, TObject)
public:
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Closes the current key when the root changes.
    void SetRootKey(HKEY Value);
    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM Value) { FAccess = Value; }
    bool LazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool Value) { FLazyWrite = Value; }

    // Opens Key as the current key (creating it when CanCreate); false when it does
    // not exist or cannot be opened.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    // Creates Key without opening it; raises ERegistryException when it cannot.
    bool CreateKey(const std::string& Key);
    // Removes Key with all its subkeys.
    bool DeleteKey(const std::string& Key);
    bool KeyExists(const std::string& Key);
    // Copies OldName's subtree to NewName (which must not exist); with Delete the old one goes.
    void MoveKey(const std::string& OldName, const std::string& NewName, bool Delete);
    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo& Value);
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);

    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    void RenameValue(const std::string& OldName, const std::string& NewName);
    bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
    // -1 when the value does not exist.
    int GetDataSize(const std::string& ValueName);
    TRegDataType GetDataType(const std::string& ValueName);

    // A missing value reads as ""; a value of another type raises.
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);
    // A missing value or one of another type raises.
    int ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int Value);
    bool ReadBool(const std::string& Name);
    void WriteBool(const std::string& Name, bool Value);
    // Floats and dates are 8-byte binary values.
    double ReadFloat(const std::string& Name);
    void WriteFloat(const std::string& Name, double Value);
    TDateTime ReadDate(const std::string& Name) { return ReadFloat(Name); }
    void WriteDate(const std::string& Name, TDateTime Value) { WriteFloat(Name, Value); }
    TDateTime ReadDateTime(const std::string& Name) { return ReadFloat(Name); }
    void WriteDateTime(const std::string& Name, TDateTime Value) { WriteFloat(Name, Value); }
    TDateTime ReadTime(const std::string& Name) { return ReadFloat(Name); }
    void WriteTime(const std::string& Name, TDateTime Value) { WriteFloat(Name, Value); }
    // The size read; raises when the value is larger than BufSize or not binary. A
    // missing value reads 0 bytes.
    int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

protected:
    // Opens Key (relative or absolute) and returns its handle, or 0.
    HKEY GetKey(const std::string& Key);
    void ChangeKey(HKEY Value, const std::string& Path);
    void SetCurrentKey(HKEY Value) { FCurrentKey = Value; }
    HKEY GetBaseKey(bool Relative) const;

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = 0;
    std::string FCurrentPath;
    REGSAM FAccess = KEY_ALL_ACCESS;
    bool FLazyWrite = true;
    bool GetData(const std::string& Name, std::string& Data, TRegDataType& Type);
    void PutData(const std::string& Name, const void* Buffer, size_t Size, DWORD Type);
};

// An ini file over the registry: the key FileName below HKEY_CURRENT_USER, sections
// are its subkeys, idents their values. Integers are written as strings and read from
// strings or integer values.
class TRegIniFile : public TRegistry {
    HOST_CLASS(TRegIniFile, TRegistry)
public:
    explicit TRegIniFile(const std::string& FileName);
    TRegIniFile(const std::string& FileName, REGSAM AAccess);

    const std::string& FileName() const { return FFileName; }

    using TRegistry::ReadBool;
    using TRegistry::ReadInteger;
    using TRegistry::ReadString;
    using TRegistry::WriteBool;
    using TRegistry::WriteInteger;
    using TRegistry::WriteString;
    using TRegistry::DeleteKey;
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    void ReadSection(const std::string& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const std::string& Section, TStrings* Strings);
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);

private:
    std::string FFileName;
    // Runs Fn with the section's key as the current key (created when Create).
    template <class F>
    bool InSection(const std::string& Section, bool Create, F&& Fn);
};

// The ini-file interface (TCustomIniFile) to a TRegIniFile.
class TRegistryIniFile : public TCustomIniFile {
    HOST_CLASS(TRegistryIniFile, TCustomIniFile)
public:
    explicit TRegistryIniFile(const std::string& FileName, REGSAM AAccess = KEY_ALL_ACCESS);
    ~TRegistryIniFile() override;

    TRegIniFile* RegIniFile() const { return FRegIniFile.get(); }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) override;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override {}

private:
    std::unique_ptr<TRegIniFile> FRegIniFile;
};

}  // namespace host
