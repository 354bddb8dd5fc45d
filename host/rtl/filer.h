// Form-file streaming: TFiler, TReader and TWriter over the binary object stream,
// reference fix-up, and loading components from compiled-in form resources.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/rtl/component.h"
#include "host/rtl/currency.h"
#include "host/rtl/events.h"
#include "host/rtl/valuetypes.h"

namespace host {

class TStream;
class TCollection;
class TReader;
class TWriter;

using TReaderProc = TEvent<TReader*>;
using TWriterProc = TEvent<TWriter*>;
using TStreamProc = TEvent<TStream*>;

// The common part of readers and writers: the stream, the buffer, the roots.
class TFiler : public TObject {
    HOST_CLASS(TFiler, TObject)
public:
    TFiler(TStream* Stream, int BufSize);
    ~TFiler() override;

    // Declares a property that the object streams itself. A reader calls ReadData
    // when the property it is reading has this name; a writer calls WriteData when
    // HasData is true.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // The same for a block of bytes, passed as a stream.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TComponent* Root() const { return FRoot; }
    virtual void SetRoot(TComponent* Value) { FRoot = Value; }
    TComponent* LookupRoot() const { return FLookupRoot; }
    // The object whose values a writer leaves out because they are inherited.
    TPersistent* Ancestor() const { return FAncestor; }
    void SetAncestor(TPersistent* Value) { FAncestor = Value; }
    bool IgnoreChildren = false;

protected:
    TStream* FStream;
    std::vector<uint8_t> FBuffer;
    int FBufPos = 0;
    int FBufEnd = 0;
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
    TPersistent* FAncestor = nullptr;
};

class TReader : public TFiler {
    HOST_CLASS(TReader, TFiler)
public:
    TReader(TStream* Stream, int BufSize);
    // Leaves the stream just after the last value read.
    ~TReader() override;

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Values. Each raises EReadError naming the problem and the position when the
    // stream does not hold a value of that kind.
    void Read(void* Buf, int64_t Count);
    TValueType ReadValue();
    TValueType NextValue();
    void SkipValue();
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    void ReadSignature();
    void ReadPrefix(int& Flags, int& ChildPos);
    std::string ReadStr();  // a short string without a value type
    bool ReadBoolean();
    char ReadChar();
    int32_t ReadInteger();
    int64_t ReadInt64();
    double ReadFloat();
    float ReadSingle();
    Currency ReadCurrency();
    double ReadDate();
    std::string ReadString();
    std::string ReadWideString();
    std::string ReadIdent();
    // The members of a set value, as names.
    std::vector<std::string> ReadSetNames();
    void ReadCollection(TCollection* Collection);

    // Components. ReadRootComponent reads a whole form file: when Root is null it
    // creates the root from the stream's class name. On failure every component the
    // reader created is freed and the error is raised as EReadError (or
    // EClassNotFound) with the position.
    TComponent* ReadRootComponent(TComponent* Root);
    TComponent* ReadComponent(TComponent* Component);
    // Reads the properties and children of Instance (called through ReadState).
    void ReadData(TComponent* Instance);
    void ReadProperty(TPersistent* Instance);

    // The byte offset in the stream of the next value.
    int64_t Position() const;

    TComponent* Owner = nullptr;
    TComponent* Parent = nullptr;

private:
    void ReadBuffer();
    uint8_t ReadByte();
    int64_t Remaining() const;
    void CheckCount(int64_t Count, const char* What);
    [[noreturn]] void Error(const std::string& Msg) const;
    void ReadDataInner(TComponent* Instance);
    void ReadPropValue(TPersistent* Instance, const TPropInfo* PropInfo);
    void AddFixup(TPersistent* Instance, const TPropInfo* PropInfo, const std::string& Reference);
    void DoFixupReferences();
    void FreeCreated();

    std::string FPropName;  // the property a DefineProperties call should claim
    bool FPropClaimed = false;
    int FDepth = 0;
    std::vector<TComponent*> FLoaded;
    std::vector<TComponent*> FCreated;
    struct TFixup;
    std::vector<TFixup> FFixups;
    TComponent* FCurrent = nullptr;  // the component whose properties are being read
};

class TWriter : public TFiler {
    HOST_CLASS(TWriter, TFiler)
public:
    TWriter(TStream* Stream, int BufSize);
    // Flushes what is still buffered into the stream.
    ~TWriter() override;

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    void Write(const void* Buf, int64_t Count);
    void WriteValue(TValueType Value);
    void WriteListBegin();
    void WriteListEnd();
    void WriteSignature();
    void WritePrefix(int Flags, int ChildPos);
    void WriteStr(const std::string& Value);  // a short string without a value type (at most 255 bytes)
    void WriteBoolean(bool Value);
    void WriteChar(char Value);
    // The smallest of vaInt8, vaInt16, vaInt32 and vaInt64 that holds the value.
    void WriteInteger(int64_t Value);
    void WriteFloat(double Value);
    void WriteSingle(float Value);
    void WriteCurrency(Currency Value);
    void WriteDate(double Value);
    // vaString up to 255 bytes, vaLString above.
    void WriteString(const std::string& Value);
    void WriteWideString(const std::string& Value);
    void WriteIdent(const std::string& Ident);
    void WriteSetNames(const std::vector<std::string>& Names);
    void WriteCollection(TCollection* Value);

    // Writes Root and everything it streams, leaving out what equals Ancestor.
    void WriteDescendent(TComponent* Root, TComponent* Ancestor);
    void WriteRootComponent(TComponent* Root);
    void WriteComponent(TComponent* Component);
    // Writes the properties and children of Instance (called through WriteState).
    void WriteData(TComponent* Instance);
    void WriteProperties(TPersistent* Instance);
    void FlushBuffer();
    int64_t Position() const;

private:
    void WritePropName(const std::string& Name);
    void WriteProperty(TPersistent* Instance, const TPropInfo* PropInfo);
    std::string ComponentReference(TComponent* Component) const;

    std::string FPropPath;
    TComponent* FRootAncestor = nullptr;
};

// Reference fix-up across roots. A reference to a component of another root that is
// not loaded yet waits in a global list until that root is loaded; these resolve
// what can be resolved, and forget the waiting references of a root.
void GlobalFixupReferences();
void RemoveFixupReferences(TComponent* Root, const std::string& RootName);
// The names of the roots that Root still waits for.
std::vector<std::string> GetFixupReferenceNames(TComponent* Root);

// True when two collections hold items of one class that stream to the same bytes.
bool CollectionsEqual(TCollection* C1, TCollection* C2);

// Finds the component at a dotted path: the first name in Root, or else among the
// global roots; then each next name among the components of the previous one.
TComponent* FindNestedComponent(TComponent* Root, const std::string& NamePath);

// Form-file resources: a component's form stored in the compiled-in resources
// (type RCDATA, named after its class in upper case), in binary or text form.
// Reads the resource of Module (0: the library's own) into Instance; false when
// there is no such resource.
bool ReadComponentResource(TComponent* Instance, const std::string& ResName, uintptr_t Module = 0);
// Reads the forms of Instance's class and its ancestors below RootAncestor, oldest
// first, so that an inherited form gets its ancestors' components and values.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor, uintptr_t Module = 0);
// Reads a component from a resource-file stream (the 16-bit resource header then the
// binary form) and writes one.
TComponent* ReadComponentResFile(const std::string& FileName, TComponent* Instance);
void WriteComponentResFile(const std::string& FileName, TComponent* Instance);

}  // namespace host
