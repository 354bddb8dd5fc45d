// Unit Ryxmem: the persistent byte block and the resource-data description.
#include "frame/ryxmem.h"

#include <cstring>
#include <memory>

#include "frame/ryxconst.h"
#include "frame/ryxutilf.h"
#include "host/app/clipbrd.h"
#include "host/os/modules.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/resstrings.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "host/windows/clipboard.h"

namespace ryx {

using namespace host;

// ---- TryxPersistentMemory ----

TryxPersistentMemory::TryxPersistentMemory() : FStream(new TMemoryStream) {}

TryxPersistentMemory::~TryxPersistentMemory() { delete FStream; }

int64_t TryxPersistentMemory::GetSize() const { return FStream->Size(); }

void* TryxPersistentMemory::GetMemory() const { return FStream->Memory(); }

void TryxPersistentMemory::Assign(TPersistent* Source) {
    if (!Source) {
        Clear();
    } else if (auto* block = dynamic_cast<TryxPersistentMemory*>(Source)) {
        if (block == this) return;
        ReadBuffer(block->GetMemory(), block->GetSize());
    } else {
        TPersistent::Assign(Source);
    }
}

void TryxPersistentMemory::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty("Data", TStreamProc(this, &TryxPersistentMemory::ReadData),
                                TStreamProc(this, &TryxPersistentMemory::WriteData), !GetEmpty());
}

void TryxPersistentMemory::Clear() {
    Changing();
    FStream->Clear();
    Changed();
}

// The incoming bytes are checked first; only accepted bytes replace the block's,
// between Changing and Changed.
void TryxPersistentMemory::TakeValidated(TMemoryStream* Incoming) {
    ValidateDataFormat(Incoming);
    Incoming->SetPosition(0);
    FStream->SetPosition(0);
    Changing();
    FStream->SetSize(Incoming->Size());
    FStream->SetPosition(0);
    Incoming->SaveToStream(FStream);
    FStream->SetPosition(0);
    Changed();
}

void TryxPersistentMemory::ReadBuffer(const void* Buffer, int64_t Count) {
    if (Count <= 0) {
        Clear();
        return;
    }
    TMemoryStream incoming;
    incoming.SetSize(Count);
    incoming.SetPosition(0);
    incoming.WriteBuffer(Buffer, Count);
    TakeValidated(&incoming);
}

void TryxPersistentMemory::ReadStream(TStream* Stream, int64_t Count) {
    if (Count <= 0) {
        Clear();
        return;
    }
    // A count beyond what the stream holds (a damaged form file, say) is refused
    // before anything is allocated.
    if (Count > Stream->Size() - Stream->Position()) throw EReadError("Stream read error");
    TMemoryStream incoming;
    incoming.SetSize(Count);
    Stream->ReadBuffer(incoming.Memory(), Count);
    TakeValidated(&incoming);
}

void TryxPersistentMemory::LoadFromStream(TStream* Stream) { ReadStream(Stream, Stream->Size() - Stream->Position()); }

void TryxPersistentMemory::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead);
    LoadFromStream(&file);
}

void TryxPersistentMemory::LoadFromResource(const std::string& ModuleName, const std::string& ResName) {
    if (ResName.empty()) return;
    HMODULE module = HInstance;
    // Frees a module loaded for this call on every way out.
    struct TLibrary {
        HMODULE Handle = 0;
        ~TLibrary() {
            if (Handle) FreeLibrary(Handle);
        }
    } library;
    if (!ModuleName.empty()) {
        HMODULE loaded = LoadLibraryA(ModuleName);
        if (loaded < 32)
            throw EResNotFound(Format(LoadResString(_sryxErrResDllLoad), {int(loaded), ModuleName}));
        library.Handle = module = loaded;
    }
    HRSRC res = FindResourceA(module, ResName, RT_RCDATA);
    if (!res) throw EResNotFound(Format(LoadResString(_sryxErrRCDataResNotFound), {ResName}));
    HGLOBAL data = LoadResource(module, res);
    if (!data) throw EResNotFound(Format(LoadResString(_sryxErrResLoad), {ResName}));
    struct TResourceData {
        HGLOBAL Handle;
        ~TResourceData() { FreeResource(Handle); }
    } loadedData{data};
    const void* bytes = LockResource(data);
    if (!bytes) throw EResNotFound(Format(LoadResString(_sryxErrResLock), {ResName}));
    ReadBuffer(bytes, SizeofResource(module, res));
}

void TryxPersistentMemory::SaveToStream(TStream* Stream) { WriteStream(Stream, false); }

void TryxPersistentMemory::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

void TryxPersistentMemory::WriteStream(TStream* Stream, bool WriteSize) {
    if (WriteSize) {
        uint32_t size = uint32_t(GetSize());
        uint8_t le[4] = {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)};
        Stream->WriteBuffer(le, 4);
    }
    if (GetSize() != 0) Stream->WriteBuffer(GetMemory(), GetSize());
}

void TryxPersistentMemory::ReadData(TStream* Stream) {
    // The count must be there whole: a short read is a damaged value, not a size.
    uint8_t le[4];
    Stream->ReadBuffer(le, 4);
    uint32_t count = uint32_t(le[0]) | uint32_t(le[1]) << 8 | uint32_t(le[2]) << 16 | uint32_t(le[3]) << 24;
    ReadStream(Stream, count);
}

void TryxPersistentMemory::CopyToClipboardFormat(uint16_t Format) {
    if (GetEmpty()) return;
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size_t(GetSize()));
    if (!handle) return;
    try {
        void* p = GlobalLock(handle);
        if (!p) throw EOutOfMemory("Out of memory");
        std::memcpy(p, GetMemory(), size_t(GetSize()));
        GlobalUnlock(handle);
        Clipboard()->SetAsHandle(Format, handle);
    } catch (const Exception&) {
        // The clipboard did not take the block over: it is ours to free.
        GlobalFree(handle);
    }
}

void TryxPersistentMemory::PasteFromClipboardFormat(uint16_t Format) {
    auto handle = static_cast<HGLOBAL>(Clipboard()->GetAsHandle(Format));
    if (!handle) return;
    const void* p = GlobalLock(handle);
    if (!p) return;
    struct TUnlock {
        HGLOBAL Handle;
        ~TUnlock() { GlobalUnlock(Handle); }
    } unlock{handle};
    ReadBuffer(p, int64_t(GlobalSize(handle)));
}

void TryxPersistentMemory::CopyToClipboard() {}

void TryxPersistentMemory::PasteFromClipboard() {}

void TryxPersistentMemory::ValidateDataFormat(TMemoryStream*) {}

void TryxPersistentMemory::Changing() {
    FModified = true;
    OnChanging(this);
}

void TryxPersistentMemory::Changed() { OnChange(this); }

void TryxPersistentMemory::SetModified(bool Value) {
    if (Value) {
        Changing();
        Changed();
    } else {
        FModified = false;
    }
}

// ---- TryxResourceData ----

TryxResourceData::TryxResourceData() : FData(new TryxPersistentMemory) {}

TryxResourceData::~TryxResourceData() {
    delete FData;
    DeleteTempFile();
}

template <class F>
void TryxResourceData::ReplaceSource(F Store) {
    Changing();
    Clear();
    Store();
    Changed();
}

void TryxResourceData::SetData(TryxPersistentMemory* Value) {
    if (Value == FData) return;
    ReplaceSource([&] { FData->Assign(Value); });
}

void TryxResourceData::SetFileName(const std::string& Value) {
    if (Value == FFileName) return;
    ReplaceSource([&] { FFileName = Value; });
}

void TryxResourceData::SetResourceName(const std::string& Value) {
    if (Value == FResourceName) return;
    ReplaceSource([&] { FResourceName = Value; });
}

void TryxResourceData::SetResourceID(int Value) {
    if (Value == FResourceID) return;
    ReplaceSource([&] { FResourceID = Value; });
}

void TryxResourceData::Clear() {
    FResHandle = nullptr;
    FData->Clear();
    FFileName.clear();
    FResourceName.clear();
    FResourceID = 0;
}

void TryxResourceData::SetModuleHandle(HMODULE Value) {
    FModuleHandle = Value;
    FResourceModule.clear();
    FResHandle = nullptr;
}

bool TryxResourceData::IsResource() const { return !FResourceName.empty() || FResourceID != 0; }

bool TryxResourceData::GetEmpty() const {
    return FData->GetEmpty() && FFileName.empty() && FResourceName.empty() && FResourceID == 0;
}

HGLOBAL TryxResourceData::GetResourceHandle() {
    if (FResHandle) return FResHandle;
    if (!IsResource()) return nullptr;
    return LoadRes();
}

HGLOBAL TryxResourceData::LoadRes() {
    if (FResHandle) return FResHandle;
    if (!IsResource()) return nullptr;
    if (FModuleHandle == 0 && !FResourceModule.empty()) {
        FModuleHandle = LoadLibraryA(FResourceModule);
        if (FModuleHandle < 32) {
            FModuleHandle = 0;
            RaiseLastWin32Error();
        }
    }
    std::string name = !FResourceName.empty() ? FResourceName : ResourceId(FResourceID);
    HRSRC res = FindResourceA(FModuleHandle, name, FResourceType);
    if (!res) RaiseLastWin32Error();
    FResHandle = LoadResource(FModuleHandle, res);
    return FResHandle;
}

void TryxResourceData::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TryxResourceData*>(Source);
    if (Source && !source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    Changing();
    if (source) {
        // The copy takes the source's data as it is, empty included, so that no
        // stale bytes stay beside a file or resource source.
        FData->Assign(source->FData->GetEmpty() ? nullptr : source->FData);
        FFileName = source->FFileName;
        FResourceModule = source->FResourceModule;
        FResourceName = source->FResourceName;
        FResourceID = source->FResourceID;
        FResHandle = nullptr;
    } else {
        Clear();
    }
    Changed();
}

std::string TryxResourceData::CopyDataToTempFile() {
    if (FData->GetEmpty()) return std::string();
    // One temporary file at a time: an earlier one is not left behind.
    DeleteTempFile();
    std::string name = ryxGetWinTempFile();
    try {
        FData->SaveToFile(name);
    } catch (...) {
        DeleteFile(name);
        throw;
    }
    FTempFile = name;
    return name;
}

void TryxResourceData::DeleteTempFile() {
    if (!FTempFile.empty()) DeleteFile(FTempFile);
    FTempFile.clear();
}

void TryxResourceData::Changing() { OnChanging(this); }

void TryxResourceData::Changed() { OnChange(this); }

}  // namespace ryx
