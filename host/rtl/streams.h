// Streams: the abstract TStream and its memory, handle, file, string and resource kinds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/rtl/object.h"

namespace host {

class TComponent;

// A module handle, as the resource functions take it (0 denotes the library itself).
using HMODULE = uintptr_t;

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes, with the framework's values: an access mode ORed with a share mode,
// or fmCreate alone.
constexpr uint16_t fmCreate = 0xFFFF;  // create (or truncate) for writing and reading
constexpr uint16_t fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000, fmShareExclusive = 0x0010, fmShareDenyWrite = 0x0020,
                   fmShareDenyRead = 0x0030, fmShareDenyNone = 0x0040;

// A sequence of bytes with a position. Descendants implement Read, Write and Seek;
// everything else is built on them.
class TStream : public TObject {
    HOST_CLASS(TStream, TObject)
public:
    // Reads up to Count bytes at the position and returns how many were read (fewer
    // at the end of the data).
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    // Writes Count bytes at the position and returns how many were written.
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Moves the position and returns the new one.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position();
    void SetPosition(int64_t Pos);
    virtual int64_t Size();
    // Changes the size of the data; the base stream cannot and does nothing.
    virtual void SetSize(int64_t NewSize);

    // Reads exactly Count bytes; raises EReadError "Stream read error" when fewer are there.
    void ReadBuffer(void* Buffer, int64_t Count);
    // Writes exactly Count bytes; raises EWriteError "Stream write error" when fewer fit.
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's position into this stream; Count 0 copies the
    // whole of Source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    // Component streaming through form files (implemented with the filer).
    TComponent* ReadComponent(TComponent* Instance);
    void WriteComponent(TComponent* Instance);
    TComponent* ReadComponentRes(TComponent* Instance);
    void WriteComponentRes(const std::string& ResName, TComponent* Instance);
};

// A stream over one block of memory that the descendant provides.
class TCustomMemoryStream : public TStream {
    HOST_CLASS(TCustomMemoryStream, TStream)
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    // Positions may go beyond the end (and before the start: then reads and writes
    // transfer nothing).
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }

    void* Memory() const { return FMemory; }
    void SaveToStream(TStream* Stream);
    void SaveToFile(const std::string& FileName);

protected:
    void SetPointer(void* Ptr, int64_t Size);

    void* FMemory = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// A growable stream in memory. Writing beyond the end extends it, filling any gap
// between the old end and the position with zero bytes.
class TMemoryStream : public TCustomMemoryStream {
    HOST_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    int64_t Write(const void* Buffer, int64_t Count) override;
    // Growing zero-fills the new bytes; shrinking below the position moves it to the end.
    void SetSize(int64_t NewSize) override;

    // Frees the memory: size and position become 0.
    void Clear();
    // Replaces the contents with the whole of Stream (read from its start).
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);

    // The number of bytes reserved; writes up to it do not reallocate.
    int64_t Capacity() const { return FCapacity; }
    void SetCapacity(int64_t NewCapacity);

private:
    void Reallocate(int64_t NewCapacity);
    void GrowFor(int64_t Needed);
    int64_t FCapacity = 0;
};

// A stream over a POSIX file descriptor, which it does not own.
class THandleStream : public TStream {
    HOST_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(int AHandle) : FHandle(AHandle) {}

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Returns -1 when the descriptor cannot seek there.
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override;
    // Truncates or extends the file; the position moves to NewSize. Raises EOSError.
    void SetSize(int64_t NewSize) override;

    int Handle() const { return FHandle; }

protected:
    int FHandle;
};

// A file opened by name, closed when the stream is destroyed. Mode is fmCreate or an
// access mode (fmOpenRead, fmOpenWrite, fmOpenReadWrite) ORed with a share mode.
// fmShareExclusive and fmShareDenyRead take an exclusive advisory lock,
// fmShareDenyWrite a shared one, so that conflicting opens from this or another
// process are refused. A "\" in the name is taken as "/".
class TFileStream : public THandleStream {
    HOST_CLASS(TFileStream, THandleStream)
public:
    // Raises EFCreateError "Cannot create file "<name>". <reason>" (fmCreate) or
    // EFOpenError "Cannot open file "<name>". <reason>".
    TFileStream(const std::string& FileName, uint16_t Mode);
    ~TFileStream() override;

    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

// A stream over a string held by value.
class TStringStream : public TStream {
    HOST_CLASS(TStringStream, TStream)
public:
    TStringStream() = default;
    explicit TStringStream(std::string AString) : FDataString(std::move(AString)) {}

    int64_t Read(void* Buffer, int64_t Count) override;
    // Overwrites from the position and extends the string at its end.
    int64_t Write(const void* Buffer, int64_t Count) override;
    // The position stays within 0 .. the length of the string.
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FDataString.size()); }
    void SetSize(int64_t NewSize) override;

    const std::string& DataString() const { return FDataString; }
    // Reads up to Count bytes from the position.
    std::string ReadString(int64_t Count);
    void WriteString(const std::string& AString);

private:
    std::string FDataString;
    int64_t FPosition = 0;
};

// A read-only view on the bytes of a resource.
class TResourceStream : public TCustomMemoryStream {
    HOST_CLASS(TResourceStream, TCustomMemoryStream)
public:
    // Raises EResNotFound "Resource <name> not found" when the module has no
    // resource of that type and name.
    TResourceStream(HMODULE Instance, const std::string& ResName, const std::string& ResType);
    // The numbered resource ResID (the name "#<ResID>").
    TResourceStream(HMODULE Instance, int ResID, const std::string& ResType);
    // The type as a number (RT_RCDATA, ...).
    TResourceStream(HMODULE Instance, const std::string& ResName, int ResType);
    TResourceStream(HMODULE Instance, int ResID, int ResType);
    static std::unique_ptr<TResourceStream> CreateFromID(HMODULE Instance, int ResID, const std::string& ResType);
    static std::unique_ptr<TResourceStream> CreateFromID(HMODULE Instance, int ResID, int ResType);

    // Raise EStreamError "Can't write to a read-only resource stream".
    int64_t Write(const void* Buffer, int64_t Count) override;
    void SetSize(int64_t NewSize) override;

private:
    void Initialize(HMODULE Instance, const std::string& Name, const std::string& Type);
};

}  // namespace host
