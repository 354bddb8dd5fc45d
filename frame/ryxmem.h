// Unit Ryxmem: TryxPersistentMemory (a byte block stored in form files, loaded from files, streams, resources and the clipboard) and TryxResourceData (where a piece of media comes from).
#pragma once

#include <cstdint>
#include <string>

#include "host/rtl/events.h"
#include "host/rtl/persistent.h"
#include "host/rtl/resources.h"
#include "host/rtl/typinfo.h"

namespace host {
class TMemoryStream;
class TStream;
class TFiler;
}  // namespace host

namespace ryx {

// A block of bytes. Every load checks the bytes with ValidateDataFormat before
// it takes them, so refused bytes leave the block and its modified flag as they
// were and fire no event. In a form file the block is the binary property
// "Data": a 32-bit little-endian count followed by the bytes, written only when
// the block is not empty.
class TryxPersistentMemory : public host::TPersistent {
    HOST_CLASS(TryxPersistentMemory, host::TPersistent)
public:
    TryxPersistentMemory();
    ~TryxPersistentMemory() override;

    // A TryxPersistentMemory source: its bytes, validated by this block; no
    // source: Clear; anything else: the inherited conversion error.
    void Assign(host::TPersistent* Source) override;
    void DefineProperties(host::TFiler* Filer) override;

    void Clear();
    // Count 0 clears the block.
    void ReadBuffer(const void* Buffer, int64_t Count);
    void ReadStream(host::TStream* Stream, int64_t Count);
    // Everything from the stream's position to its end.
    void LoadFromStream(host::TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    // An RCDATA resource of ModuleName (loaded for the call), or of the package's
    // own module when ModuleName is empty. An empty ResName does nothing.
    void LoadFromResource(const std::string& ModuleName, const std::string& ResName);
    // The bytes only, no count.
    void SaveToStream(host::TStream* Stream);
    void SaveToFile(const std::string& FileName);
    // With WriteSize, a 32-bit count first; then the bytes when there are any.
    void WriteStream(host::TStream* Stream, bool WriteSize);
    void WriteData(host::TStream* Stream) { WriteStream(Stream, true); }
    // A 32-bit count, then that many bytes.
    void ReadData(host::TStream* Stream);

    void CopyToClipboardFormat(uint16_t Format);
    void PasteFromClipboardFormat(uint16_t Format);
    // Nothing here; descendants use their own clipboard format.
    virtual void CopyToClipboard();
    virtual void PasteFromClipboard();

    int64_t GetSize() const;
    void* GetMemory() const;
    bool GetEmpty() const { return GetSize() == 0; }
    int64_t Size() const { return GetSize(); }
    void* Memory() const { return GetMemory(); }
    bool Empty() const { return GetEmpty(); }

    bool Modified() const { return FModified; }
    // True runs Changing and Changed; false only clears the flag.
    void SetModified(bool Value);

    host::TNotifyEvent OnChange;
    host::TNotifyEvent OnChanging;

protected:
    // Accepts everything; a descendant raises to refuse the bytes.
    virtual void ValidateDataFormat(host::TMemoryStream* Stream);
    virtual void Changing();
    virtual void Changed();

private:
    host::TMemoryStream* FStream;
    bool FModified = false;

    void TakeValidated(host::TMemoryStream* Incoming);
};

// Where media comes from: bytes in the form file (Data), a file (FileName), or
// a resource (ResourceName or ResourceID, of ResourceType, in ResourceModule or
// the module handle). Setting one source clears the others.
class TryxResourceData : public host::TPersistent {
    HOST_CLASS(TryxResourceData, host::TPersistent)
public:
    TryxResourceData();
    ~TryxResourceData() override;

    void Assign(host::TPersistent* Source) override;
    virtual void Clear();
    virtual bool IsResource() const;
    virtual bool GetEmpty() const;
    bool Empty() const { return GetEmpty(); }
    // The loaded resource, loading it on first use; 0 when there is no resource source.
    virtual host::HGLOBAL GetResourceHandle();
    host::HGLOBAL LoadRes();

    // Writes Data to a new temporary file and returns its name ("" when Data is empty).
    std::string CopyDataToTempFile();
    void DeleteTempFile();
    const std::string& TempFile() const { return FTempFile; }

    TryxPersistentMemory* Data() const { return FData; }
    void SetData(TryxPersistentMemory* Value);
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    const std::string& ResourceName() const { return FResourceName; }
    void SetResourceName(const std::string& Value);
    int ResourceID() const { return FResourceID; }
    void SetResourceID(int Value);
    const std::string& ResourceModule() const { return FResourceModule; }
    void SetResourceModule(const std::string& Value) { FResourceModule = Value; }
    const std::string& ResourceType() const { return FResourceType; }
    void SetResourceType(const std::string& Value) { FResourceType = Value; }
    host::HMODULE ModuleHandle() const { return FModuleHandle; }
    void SetModuleHandle(host::HMODULE Value);

    host::TNotifyEvent OnChanging;
    host::TNotifyEvent OnChange;

    HOST_PUBLISHED(prop("ResourceID", &TryxResourceData::ResourceID, &TryxResourceData::SetResourceID).def(0),
                   prop("ResourceModule", &TryxResourceData::ResourceModule, &TryxResourceData::SetResourceModule),
                   prop("ResourceName", &TryxResourceData::ResourceName, &TryxResourceData::SetResourceName),
                   prop("Data", &TryxResourceData::Data, &TryxResourceData::SetData),
                   prop("FileName", &TryxResourceData::FileName, &TryxResourceData::SetFileName),
                   prop("ResourceType", &TryxResourceData::ResourceType, &TryxResourceData::SetResourceType))

protected:
    virtual void Changing();
    virtual void Changed();

private:
    host::HMODULE FModuleHandle = 0;
    host::HGLOBAL FResHandle = nullptr;
    int FResourceID = 0;
    std::string FResourceModule;
    std::string FResourceName;
    TryxPersistentMemory* FData;
    std::string FTempFile;
    std::string FFileName;
    std::string FResourceType;

    // Changing, Clear, Store(), Changed: the sources exclude one another.
    template <class F>
    void ReplaceSource(F Store);
};

}  // namespace ryx
