// Streams: positions and buffered transfers, memory, file-descriptor, file, string and resource streams.
#include "host/rtl/streams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>
#include <vector>

#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"

namespace host {

namespace {

std::string SystemErrorText(int code) { return std::generic_category().message(code); }

// Names stored by the framework may use "\" as the separator.
std::string NormalizeFileName(const std::string& FileName) {
    std::string s = FileName;
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

// The text a user sees when another open of the file holds a conflicting lock.
const char* const SharingViolationText =
    "The process cannot access the file because it is being used by another process.";

}  // namespace

// ---- TStream ----

int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t result = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return result;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
    if (Count < 0) throw EReadError("Stream read error");
    auto* p = static_cast<unsigned char*>(Buffer);
    int64_t done = 0;
    // Some streams (pipes, for one) deliver less than asked while more is coming.
    while (done < Count) {
        int64_t n = Read(p + done, Count - done);
        if (n <= 0) throw EReadError("Stream read error");
        done += n;
    }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
    if (Count < 0) throw EWriteError("Stream write error");
    auto* p = static_cast<const unsigned char*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        int64_t n = Write(p + done, Count - done);
        if (n <= 0) throw EWriteError("Stream write error");
        done += n;
    }
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count <= 0) return 0;
    const int64_t result = Count;
    // A memory source is written straight from its block.
    if (auto* mem = dynamic_cast<TCustomMemoryStream*>(Source); mem != nullptr && Source != this) {
        int64_t pos = mem->Position();
        if (pos >= 0 && Count <= mem->Size() - pos) {
            WriteBuffer(static_cast<const unsigned char*>(mem->Memory()) + pos, Count);
            mem->Seek(Count, soCurrent);
            return result;
        }
    }
    constexpr int64_t MaxBufSize = 0xF000;
    std::vector<unsigned char> buffer(static_cast<size_t>(std::min(Count, MaxBufSize)));
    while (Count > 0) {
        int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(buffer.size()));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

// ---- TCustomMemoryStream ----

void TCustomMemoryStream::SetPointer(void* Ptr, int64_t Size) {
    FMemory = Ptr;
    FSize = Size;
}

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
    if (FPosition < 0 || Count <= 0) return 0;
    int64_t n = std::min(Count, FSize - FPosition);
    if (n <= 0) return 0;
    std::memcpy(Buffer, static_cast<const unsigned char*>(FMemory) + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
        case soBeginning: FPosition = Offset; break;
        case soCurrent: FPosition += Offset; break;
        case soEnd: FPosition = FSize + Offset; break;
    }
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
    if (FSize == 0) return;
    if (Stream == this) {
        // Writing may move our own block: go through a copy.
        std::string copy(static_cast<const char*>(FMemory), static_cast<size_t>(FSize));
        Stream->WriteBuffer(copy.data(), FSize);
        return;
    }
    Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---- TMemoryStream ----

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

void TMemoryStream::Reallocate(int64_t NewCapacity) {
    if (NewCapacity == FCapacity) return;
    if (NewCapacity == 0) {
        std::free(FMemory);
        FMemory = nullptr;
        FCapacity = 0;
        return;
    }
    if (NewCapacity < 0 || static_cast<uint64_t>(NewCapacity) > std::numeric_limits<size_t>::max())
        throw EStreamError("Out of memory while expanding memory stream");
    void* p = std::realloc(FMemory, static_cast<size_t>(NewCapacity));
    if (p == nullptr) throw EStreamError("Out of memory while expanding memory stream");
    FMemory = p;
    FCapacity = NewCapacity;
}

void TMemoryStream::GrowFor(int64_t Needed) {
    if (Needed <= FCapacity) return;
    // Grow geometrically so that a run of small writes costs linear time.
    int64_t grown = FCapacity <= std::numeric_limits<int64_t>::max() / 2 ? FCapacity + FCapacity / 2 : Needed;
    Reallocate(std::max({Needed, grown, int64_t(256)}));
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity < FSize) throw EStreamError("Memory stream capacity is smaller than its size");
    Reallocate(NewCapacity);
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
    if (FPosition < 0 || Count <= 0) return 0;
    if (Count > std::numeric_limits<int64_t>::max() - FPosition)
        throw EStreamError("Out of memory while expanding memory stream");
    int64_t end = FPosition + Count;
    if (end > FSize) {
        GrowFor(end);
        if (FPosition > FSize)
            std::memset(static_cast<unsigned char*>(FMemory) + FSize, 0, static_cast<size_t>(FPosition - FSize));
        FSize = end;
    }
    std::memcpy(static_cast<unsigned char*>(FMemory) + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size (" + std::to_string(NewSize) + ")");
    int64_t oldPosition = FPosition;
    if (NewSize > FCapacity)
        Reallocate(NewSize);
    else if (NewSize < FCapacity / 4)
        Reallocate(NewSize);  // give back most of a block that shrank a lot
    if (NewSize > FSize)
        std::memset(static_cast<unsigned char*>(FMemory) + FSize, 0, static_cast<size_t>(NewSize - FSize));
    FSize = NewSize;
    if (oldPosition > NewSize) Seek(0, soEnd);
}

void TMemoryStream::Clear() {
    Reallocate(0);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    if (Stream == this) return;
    Stream->SetPosition(0);
    int64_t count = Stream->Size();
    SetSize(count);
    if (count != 0) Stream->ReadBuffer(FMemory, count);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

// ---- THandleStream ----

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    size_t chunk = static_cast<size_t>(std::min<int64_t>(Count, std::numeric_limits<ssize_t>::max()));
    for (;;) {
        ssize_t n = ::read(FHandle, Buffer, chunk);
        if (n >= 0) return n;
        if (errno != EINTR) return 0;
    }
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
    auto* p = static_cast<const unsigned char*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        size_t chunk = static_cast<size_t>(std::min<int64_t>(Count - done, std::numeric_limits<ssize_t>::max()));
        ssize_t n = ::write(FHandle, p + done, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(FHandle, static_cast<off_t>(Offset), whence);
}

int64_t THandleStream::Size() {
    struct stat st;
    if (::fstat(FHandle, &st) == 0 && S_ISREG(st.st_mode)) return st.st_size;
    return TStream::Size();
}

void THandleStream::SetSize(int64_t NewSize) {
    if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) RaiseLastOSError();
    Seek(NewSize, soBeginning);
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode)
    : THandleStream(-1), FFileName(NormalizeFileName(FileName)) {
    const bool creating = Mode == fmCreate;
    auto fail = [&](const std::string& reason) {
        if (FHandle >= 0) ::close(FHandle);
        FHandle = -1;
        if (creating) throw EFCreateError("Cannot create file \"" + FFileName + "\". " + reason);
        throw EFOpenError("Cannot open file \"" + FFileName + "\". " + reason);
    };

    int flags = O_CLOEXEC;
    int lockOp = 0;
    if (creating) {
        // Truncation waits until the lock shows that nobody holds the file exclusively.
        flags |= O_RDWR | O_CREAT;
        lockOp = LOCK_SH;
    } else {
        switch (Mode & 0x0003) {
            case fmOpenRead: flags |= O_RDONLY; break;
            case fmOpenWrite: flags |= O_WRONLY; break;
            default: flags |= O_RDWR; break;
        }
        switch (Mode & 0x00F0) {
            case fmShareExclusive:
            case fmShareDenyRead: lockOp = LOCK_EX; break;
            case fmShareDenyWrite: lockOp = LOCK_SH; break;
            default: break;
        }
    }

    FHandle = ::open(FFileName.c_str(), flags, 0666);
    if (FHandle < 0) {
        fail(SystemErrorText(errno));
    }
    struct stat st;
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) fail(SystemErrorText(EISDIR));
    if (lockOp != 0) {
        int rc;
        do rc = ::flock(FHandle, lockOp | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            int code = errno;
            fail(code == EWOULDBLOCK ? std::string(SharingViolationText) : SystemErrorText(code));
        }
    }
    if (creating && ::ftruncate(FHandle, 0) != 0) {
        fail(SystemErrorText(errno));
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

// ---- TStringStream ----

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
    int64_t n = std::min(Count, Size() - FPosition);
    if (n <= 0) return 0;
    std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    size_t pos = static_cast<size_t>(FPosition), n = static_cast<size_t>(Count);
    if (pos + n > FDataString.size()) FDataString.resize(pos + n);
    std::memcpy(FDataString.data() + pos, Buffer, n);
    FPosition += Count;
    return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    int64_t pos = FPosition;
    switch (Origin) {
        case soBeginning: pos = Offset; break;
        case soCurrent: pos += Offset; break;
        case soEnd: pos = Size() + Offset; break;
    }
    FPosition = std::clamp<int64_t>(pos, 0, Size());
    return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) throw EStreamError("Invalid stream size (" + std::to_string(NewSize) + ")");
    FDataString.resize(static_cast<size_t>(NewSize));
    if (FPosition > NewSize) FPosition = NewSize;
}

std::string TStringStream::ReadString(int64_t Count) {
    int64_t n = std::min(Count, Size() - FPosition);
    if (n <= 0) return std::string();
    std::string result = FDataString.substr(static_cast<size_t>(FPosition), static_cast<size_t>(n));
    FPosition += n;
    return result;
}

void TStringStream::WriteString(const std::string& AString) {
    Write(AString.data(), static_cast<int64_t>(AString.size()));
}

// ---- TResourceStream ----

TResourceStream::TResourceStream(HMODULE Instance, const std::string& ResName, const std::string& ResType) {
    Initialize(Instance, ResName, ResType);
}

TResourceStream::TResourceStream(HMODULE Instance, int ResID, const std::string& ResType) {
    Initialize(Instance, ResourceId(ResID), ResType);
}

TResourceStream::TResourceStream(HMODULE Instance, const std::string& ResName, int ResType) {
    Initialize(Instance, ResName, ResourceId(ResType));
}

TResourceStream::TResourceStream(HMODULE Instance, int ResID, int ResType) {
    Initialize(Instance, ResourceId(ResID), ResourceId(ResType));
}

std::unique_ptr<TResourceStream> TResourceStream::CreateFromID(HMODULE Instance, int ResID,
                                                               const std::string& ResType) {
    return std::make_unique<TResourceStream>(Instance, ResID, ResType);
}

std::unique_ptr<TResourceStream> TResourceStream::CreateFromID(HMODULE Instance, int ResID, int ResType) {
    return std::make_unique<TResourceStream>(Instance, ResID, ResType);
}

void TResourceStream::Initialize(HMODULE Instance, const std::string& Name, const std::string& Type) {
    TResourceBlob blob{nullptr, 0};
    if (!FindResourceBlob(Instance, Type, Name, blob)) throw EResNotFound("Resource " + Name + " not found");
    // The blob is never written through this pointer: Write and SetSize refuse.
    SetPointer(const_cast<unsigned char*>(blob.Data), static_cast<int64_t>(blob.Size));
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

void TResourceStream::SetSize(int64_t) { throw EStreamError("Can't write to a read-only resource stream"); }

}  // namespace host
