// TReader and TWriter over the binary object stream, reference fix-up and form resources.
#include "host/rtl/filer.h"

#include <algorithm>
#include <cstring>
#include <list>

#include "host/rtl/collection.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/lists.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {
// Deeper nesting of components, sub-properties or lists is refused as corrupt.
constexpr int kMaxDepth = 1000;

const char* ValueTypeName(int v) {
    static const char* names[] = {"vaNull", "vaList", "vaInt8", "vaInt16", "vaInt32", "vaExtended", "vaString",
                                  "vaIdent", "vaFalse", "vaTrue", "vaBinary", "vaSet", "vaLString", "vaNil",
                                  "vaCollection", "vaSingle", "vaCurrency", "vaDate", "vaWString", "vaInt64"};
    return v >= 0 && v <= vaLastValueType ? names[v] : "unknown";
}

struct TDepthGuard {
    int& depth;
    TDepthGuard(int& d, const TReader& r, int64_t pos) : depth(d) {
        (void)r;
        if (++depth > kMaxDepth) {
            --depth;
            throw EReadError("Form data nested too deeply at offset " + std::to_string(pos));
        }
    }
    ~TDepthGuard() { --depth; }
};

// References to other roots that wait until those roots are loaded.
struct TGlobalFixup {
    TComponent* Root;        // the root that was being read
    TComponent* Component;   // the component whose property holds the reference
    TPersistent* Instance;   // the object that has the property (the component or a sub-object)
    const TPropInfo* PropInfo;
    std::string Reference;   // "OtherRoot.Name"
};
std::list<TGlobalFixup>& GlobalFixups() {
    static std::list<TGlobalFixup> fixups;
    return fixups;
}

std::string FirstName(const std::string& path) {
    size_t dot = path.find('.');
    return dot == std::string::npos ? path : path.substr(0, dot);
}
}  // namespace

struct TReader::TFixup {
    TComponent* Component;
    TPersistent* Instance;
    const TPropInfo* PropInfo;
    std::string Reference;
    int64_t Position;
};

// ---- TFiler ----

TFiler::TFiler(TStream* Stream, int BufSize) : FStream(Stream) {
    if (Stream == nullptr) throw EFilerError("A filer needs a stream");
    if (BufSize < 16) BufSize = 16;
    FBuffer.resize(static_cast<size_t>(BufSize));
}

TFiler::~TFiler() = default;

// ---- TReader ----

TReader::TReader(TStream* Stream, int BufSize) : TFiler(Stream, BufSize) {}

TReader::~TReader() {
    if (FBufPos < FBufEnd) {
        try {
            FStream->Seek(FBufPos - FBufEnd, soCurrent);
        } catch (...) {
            // A stream that cannot seek back keeps its position; nothing else to do.
        }
    }
}

int64_t TReader::Position() const { return FStream->Position() - (FBufEnd - FBufPos); }

void TReader::Error(const std::string& Msg) const { throw EReadError(Msg + " at offset " + std::to_string(Position())); }

void TReader::ReadBuffer() {
    FBufEnd = static_cast<int>(FStream->Read(FBuffer.data(), static_cast<int64_t>(FBuffer.size())));
    FBufPos = 0;
    if (FBufEnd <= 0) {
        FBufEnd = 0;
        throw EReadError("Stream read error: unexpected end of the form data at offset " +
                         std::to_string(FStream->Position()));
    }
}

uint8_t TReader::ReadByte() {
    if (FBufPos >= FBufEnd) ReadBuffer();
    return FBuffer[static_cast<size_t>(FBufPos++)];
}

void TReader::Read(void* Buf, int64_t Count) {
    auto* out = static_cast<uint8_t*>(Buf);
    while (Count > 0) {
        if (FBufPos >= FBufEnd) ReadBuffer();
        int64_t n = std::min<int64_t>(Count, FBufEnd - FBufPos);
        std::memcpy(out, FBuffer.data() + FBufPos, static_cast<size_t>(n));
        FBufPos += static_cast<int>(n);
        out += n;
        Count -= n;
    }
}

int64_t TReader::Remaining() const { return FStream->Size() - FStream->Position() + (FBufEnd - FBufPos); }

void TReader::CheckCount(int64_t Count, const char* What) {
    if (Count < 0 || Count > Remaining())
        Error(std::string("Invalid ") + What + " length " + std::to_string(Count) + " (beyond the end of the data)");
}

TValueType TReader::ReadValue() {
    uint8_t v = ReadByte();
    if (v > vaLastValueType) {
        --FBufPos;
        Error("Invalid value type " + std::to_string(v));
    }
    return static_cast<TValueType>(v);
}

TValueType TReader::NextValue() {
    TValueType v = ReadValue();
    --FBufPos;
    return v;
}

bool TReader::EndOfList() {
    uint8_t v = ReadByte();
    --FBufPos;
    return v == vaNull;
}

void TReader::ReadListBegin() {
    if (ReadValue() != vaList) {
        --FBufPos;
        Error("Invalid property value: a list was expected");
    }
}

void TReader::ReadListEnd() {
    if (ReadValue() != vaNull) {
        --FBufPos;
        Error("Invalid property value: the end of a list was expected");
    }
}

void TReader::ReadSignature() {
    char sig[4];
    Read(sig, 4);
    if (std::memcmp(sig, FilerSignature, 4) != 0) throw EReadError("Invalid stream format: the form signature TPF0 is missing");
}

void TReader::ReadPrefix(int& Flags, int& ChildPos) {
    Flags = 0;
    ChildPos = 0;
    uint8_t b = ReadByte();
    --FBufPos;
    if ((b & 0xF0) == 0xF0) {
        ReadByte();
        Flags = b & 0x0F;
        if (Flags & ffChildPos) ChildPos = ReadInteger();
    }
}

std::string TReader::ReadStr() {
    uint8_t len = ReadByte();
    std::string s(len, '\0');
    if (len) Read(s.data(), len);
    return s;
}

bool TReader::ReadBoolean() {
    TValueType v = ReadValue();
    if (v == vaTrue) return true;
    if (v == vaFalse) return false;
    --FBufPos;
    Error("Invalid property value: a Boolean was expected");
}

char TReader::ReadChar() {
    std::string s = ReadString();
    if (s.size() != 1) Error("Invalid property value: a character was expected");
    return s[0];
}

int32_t TReader::ReadInteger() {
    int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX) Error("Integer value out of range");
    return static_cast<int32_t>(v);
}

int64_t TReader::ReadInt64() {
    TValueType t = ReadValue();
    switch (t) {
        case vaInt8: {
            int8_t v;
            Read(&v, 1);
            return v;
        }
        case vaInt16: {
            int16_t v;
            Read(&v, 2);
            return v;
        }
        case vaInt32: {
            int32_t v;
            Read(&v, 4);
            return v;
        }
        case vaInt64: {
            int64_t v;
            Read(&v, 8);
            return v;
        }
        default:
            --FBufPos;
            Error(std::string("Invalid property value: an integer was expected, found ") + ValueTypeName(t));
    }
}

double TReader::ReadFloat() {
    TValueType t = NextValue();
    switch (t) {
        case vaExtended: {
            ReadValue();
            uint8_t x[10];
            Read(x, 10);
            return ExtendedToDouble(x);
        }
        case vaSingle:
            return ReadSingle();
        case vaCurrency:
            return ReadCurrency().ToDouble();
        case vaDate:
            return ReadDate();
        case vaInt8: case vaInt16: case vaInt32: case vaInt64:
            return static_cast<double>(ReadInt64());
        default:
            Error(std::string("Invalid property value: a number was expected, found ") + ValueTypeName(t));
    }
}

float TReader::ReadSingle() {
    if (NextValue() != vaSingle) return static_cast<float>(ReadFloat());
    ReadValue();
    float v;
    Read(&v, 4);
    return v;
}

Currency TReader::ReadCurrency() {
    if (NextValue() != vaCurrency) return Currency::FromDouble(ReadFloat());
    ReadValue();
    int64_t v;
    Read(&v, 8);
    return Currency::FromScaled(v);
}

double TReader::ReadDate() {
    if (NextValue() != vaDate) return ReadFloat();
    ReadValue();
    double v;
    Read(&v, 8);
    return v;
}

namespace {
void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}
std::vector<uint16_t> Utf8ToUtf16(const std::string& s) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < s.size();) {
        uint8_t c = static_cast<uint8_t>(s[i]);
        uint32_t cp;
        int extra;
        if (c < 0x80) cp = c, extra = 0;
        else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, extra = 1;
        else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, extra = 2;
        else if ((c & 0xF8) == 0xF0) cp = c & 0x07, extra = 3;
        else cp = 0xFFFD, extra = 0;
        ++i;
        for (int k = 0; k < extra; ++k, ++i) {
            if (i >= s.size() || (static_cast<uint8_t>(s[i]) & 0xC0) != 0x80) {
                cp = 0xFFFD;
                break;
            }
            cp = (cp << 6) | (static_cast<uint8_t>(s[i]) & 0x3F);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(cp));
        }
    }
    return out;
}
}  // namespace

std::string TReader::ReadString() {
    TValueType t = ReadValue();
    switch (t) {
        case vaString: {
            uint8_t len = ReadByte();
            std::string s(len, '\0');
            if (len) Read(s.data(), len);
            return s;
        }
        case vaLString: {
            uint32_t len;
            Read(&len, 4);
            CheckCount(len, "string");
            std::string s(len, '\0');
            if (len) Read(s.data(), len);
            return s;
        }
        case vaWString: {
            --FBufPos;
            return ReadWideString();
        }
        default:
            --FBufPos;
            Error(std::string("Invalid property value: a string was expected, found ") + ValueTypeName(t));
    }
}

std::string TReader::ReadWideString() {
    TValueType t = ReadValue();
    if (t == vaString || t == vaLString) {
        --FBufPos;
        return ReadString();
    }
    if (t != vaWString) {
        --FBufPos;
        Error("Invalid property value: a wide string was expected");
    }
    uint32_t count;
    Read(&count, 4);
    CheckCount(int64_t(count) * 2, "wide string");
    std::vector<uint16_t> units(count);
    if (count) Read(units.data(), int64_t(count) * 2);
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::string TReader::ReadIdent() {
    TValueType t = ReadValue();
    switch (t) {
        case vaIdent: return ReadStr();
        case vaFalse: return "False";
        case vaTrue: return "True";
        case vaNil: return "nil";
        case vaNull: return "Null";
        default:
            --FBufPos;
            Error(std::string("Invalid property value: an identifier was expected, found ") + ValueTypeName(t));
    }
}

std::vector<std::string> TReader::ReadSetNames() {
    if (ReadValue() != vaSet) {
        --FBufPos;
        Error("Invalid property value: a set was expected");
    }
    std::vector<std::string> names;
    for (;;) {
        std::string s = ReadStr();
        if (s.empty()) break;
        names.push_back(std::move(s));
    }
    return names;
}

void TReader::SkipValue() {
    TDepthGuard guard(FDepth, *this, Position());
    TValueType t = ReadValue();
    auto skip = [this](int64_t n) {
        CheckCount(n, "value");
        uint8_t tmp[256];
        while (n > 0) {
            int64_t k = std::min<int64_t>(n, sizeof tmp);
            Read(tmp, k);
            n -= k;
        }
    };
    switch (t) {
        case vaNull: case vaFalse: case vaTrue: case vaNil: break;
        case vaList:
            while (!EndOfList()) SkipValue();
            ReadListEnd();
            break;
        case vaInt8: skip(1); break;
        case vaInt16: skip(2); break;
        case vaInt32: case vaSingle: skip(4); break;
        case vaInt64: case vaCurrency: case vaDate: skip(8); break;
        case vaExtended: skip(10); break;
        case vaString: case vaIdent: skip(ReadByte()); break;
        case vaLString: case vaBinary: {
            uint32_t n;
            Read(&n, 4);
            skip(n);
            break;
        }
        case vaWString: {
            uint32_t n;
            Read(&n, 4);
            skip(int64_t(n) * 2);
            break;
        }
        case vaSet:
            while (!ReadStr().empty()) {
            }
            break;
        case vaCollection:
            while (!EndOfList()) {
                TValueType n = NextValue();
                if (n == vaInt8 || n == vaInt16 || n == vaInt32) ReadInteger();
                ReadListBegin();
                while (!EndOfList()) {
                    ReadStr();
                    SkipValue();
                }
                ReadListEnd();
            }
            ReadListEnd();
            break;
    }
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
    if (FPropClaimed || !SameText(Name, FPropName) || !ReadData.Assigned()) return;
    FPropClaimed = true;
    ReadData(this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
    if (FPropClaimed || !SameText(Name, FPropName) || !ReadData.Assigned()) return;
    FPropClaimed = true;
    if (ReadValue() != vaBinary) {
        --FBufPos;
        Error("Invalid property value: binary data was expected for " + Name);
    }
    uint32_t size;
    Read(&size, 4);
    CheckCount(size, "binary data");
    TMemoryStream data;
    data.SetSize(size);
    if (size) Read(data.Memory(), size);
    data.SetPosition(0);
    ReadData(&data);
}

void TReader::ReadCollection(TCollection* Collection) {
    Collection->BeginUpdate();
    try {
        if (!EndOfList()) Collection->Clear();
        while (!EndOfList()) {
            TValueType n = NextValue();
            if (n == vaInt8 || n == vaInt16 || n == vaInt32) ReadInteger();
            TCollectionItem* item = Collection->Add();
            ReadListBegin();
            while (!EndOfList()) ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
}

void TReader::ReadProperty(TPersistent* Instance) {
    int64_t start = Position();
    std::string name = ReadStr();
    TDepthGuard guard(FDepth, *this, start);
    try {
        // Walk a dotted name down through the sub-objects ("Font.Name").
        TPersistent* target = Instance;
        size_t pos = 0;
        for (;;) {
            size_t dot = name.find('.', pos);
            if (dot == std::string::npos) break;
            std::string part = name.substr(pos, dot - pos);
            const TPropInfo* info = GetPropInfo(target, part);
            if (info == nullptr || info->PropType->Kind != tkClass)
                throw EReadError("Property " + part + " does not exist");
            TObject* sub = info->GetObj(target);
            if (sub == nullptr || !sub->Is<TPersistent>()) throw EReadError("Property " + part + " does not exist");
            target = static_cast<TPersistent*>(sub);
            pos = dot + 1;
        }
        std::string last = name.substr(pos);
        if (const TPropInfo* info = GetPropInfo(target, last)) {
            ReadPropValue(target, info);
            return;
        }
        std::string savedName = FPropName;
        bool savedClaimed = FPropClaimed;
        FPropName = last;
        FPropClaimed = false;
        target->DefineProperties(this);
        bool claimed = FPropClaimed;
        FPropName = savedName;
        FPropClaimed = savedClaimed;
        if (!claimed) throw EReadError("Property " + last + " does not exist");
    } catch (EFilerError& e) {
        if (e.Message().rfind("Error reading ", 0) == 0) throw;
        std::string owner = FCurrent ? FCurrent->Name() : std::string();
        e.SetMessage("Error reading " + (owner.empty() ? std::string() : owner + ".") + name + ": " + e.Message() +
                     (e.Message().find(" at offset ") == std::string::npos ? " at offset " + std::to_string(start) : ""));
        throw;
    } catch (Exception& e) {
        std::string owner = FCurrent ? FCurrent->Name() : std::string();
        throw EReadError("Error reading " + (owner.empty() ? std::string() : owner + ".") + name + ": " + e.Message() +
                         " at offset " + std::to_string(start));
    }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* PropInfo) {
    if (!PropInfo->Writable && PropInfo->PropType->Kind != tkClass) {
        SkipValue();
        return;
    }
    const TTypeInfo* type = PropInfo->PropType;
    switch (type->Kind) {
        case tkInteger: case tkInt64: {
            if (NextValue() == vaIdent) {
                std::string ident = ReadIdent();
                int64_t v;
                if (type->IdentToInt == nullptr || !type->IdentToInt(ident, v))
                    Error("Invalid property value '" + ident + "'");
                PropInfo->SetOrd(Instance, v);
            } else {
                PropInfo->SetOrd(Instance, ReadInt64());
            }
            break;
        }
        case tkChar: case tkWChar:
            PropInfo->SetOrd(Instance, static_cast<uint8_t>(ReadChar()));
            break;
        case tkEnumeration: {
            std::string ident = ReadIdent();
            int v = GetEnumValue(type, ident);
            if (v < 0) Error("Invalid property value '" + ident + "'");
            PropInfo->SetOrd(Instance, v);
            break;
        }
        case tkSet: {
            uint64_t bits = 0;
            for (const std::string& n : ReadSetNames()) {
                int v = GetEnumValue(type->CompType, n);
                if (v < 0 || v >= 64) Error("Invalid property value: unknown set member '" + n + "'");
                bits |= uint64_t(1) << v;
            }
            PropInfo->SetOrd(Instance, static_cast<int64_t>(bits));
            break;
        }
        case tkFloat:
            if (type->FloatType == ftCurr)
                PropInfo->SetFloat(Instance, ReadCurrency().ToDouble());
            else
                PropInfo->SetFloat(Instance, ReadFloat());
            break;
        case tkString: case tkLString: case tkWString:
            PropInfo->SetStr(Instance, ReadString());
            break;
        case tkMethod: {
            if (NextValue() == vaNil) {
                ReadValue();
                PropInfo->SetMethod(Instance, TMethod{});
                break;
            }
            std::string name = ReadIdent();
            TComponent* root = FLookupRoot ? FLookupRoot : FRoot;
            const TMethodCode* code = root ? root->MethodAddress(name) : nullptr;
            if (code == nullptr)
                Error("Method '" + name + "' not found in " + (root ? root->ClassName() : std::string("the root")));
            PropInfo->SetMethod(Instance, TMethod{root, *code, name});
            break;
        }
        case tkClass: {
            TValueType v = NextValue();
            if (v == vaNil) {
                ReadValue();
                PropInfo->SetObj(Instance, nullptr);
            } else if (v == vaCollection) {
                ReadValue();
                TObject* obj = PropInfo->GetObj(Instance);
                if (obj == nullptr || !obj->Is<TCollection>()) Error("Invalid property value: not a collection");
                ReadCollection(static_cast<TCollection*>(obj));
            } else if (v == vaIdent) {
                AddFixup(Instance, PropInfo, ReadIdent());
            } else {
                Error("Invalid property value for " + PropInfo->Name);
            }
            break;
        }
        default:
            Error("Invalid property type of " + PropInfo->Name);
    }
}

void TReader::AddFixup(TPersistent* Instance, const TPropInfo* PropInfo, const std::string& Reference) {
    if (!PropInfo->Writable) Error("Property " + PropInfo->Name + " is read-only");
    FFixups.push_back(TFixup{FCurrent, Instance, PropInfo, Reference, Position()});
}

TComponent* FindNestedComponent(TComponent* Root, const std::string& NamePath) {
    TComponent* result = Root;
    size_t pos = 0;
    bool first = true;
    while (result != nullptr && pos <= NamePath.size()) {
        size_t dot = NamePath.find('.', pos);
        std::string name = NamePath.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos);
        TComponent* found = nullptr;
        if (first && SameText(name, "Owner")) found = Root;
        if (found == nullptr && result != nullptr) found = result->FindComponent(name);
        if (found == nullptr && first) found = FindGlobalComponent(name);
        result = found;
        first = false;
        if (dot == std::string::npos) break;
        pos = dot + 1;
    }
    return result;
}

void TReader::DoFixupReferences() {
    std::vector<TFixup> fixups;
    fixups.swap(FFixups);
    TComponent* root = FLookupRoot ? FLookupRoot : FRoot;
    for (const TFixup& f : fixups) {
        TComponent* target = FindNestedComponent(root, f.Reference);
        if (target != nullptr) {
            f.PropInfo->SetObj(f.Instance, target);
            continue;
        }
        // A dotted reference whose first name is not a loaded root waits for it.
        if (f.Reference.find('.') != std::string::npos && FindGlobalComponent(FirstName(f.Reference)) == nullptr &&
            (root == nullptr || root->FindComponent(FirstName(f.Reference)) == nullptr)) {
            GlobalFixups().push_back(TGlobalFixup{root, f.Component, f.Instance, f.PropInfo, f.Reference});
            if (root) root->FComponentState.Include(csFixups);
            if (f.Component) f.Component->FComponentState.Include(csFixups);
            continue;
        }
        throw EReadError("Unresolved reference '" + f.Reference + "' in property " + f.PropInfo->Name + " of " +
                         (f.Component ? f.Component->Name() : std::string("?")) + " at offset " +
                         std::to_string(f.Position));
    }
}

void GlobalFixupReferences() {
    auto& list = GlobalFixups();
    for (auto it = list.begin(); it != list.end();) {
        TComponent* other = FindGlobalComponent(FirstName(it->Reference));
        if (other == nullptr) {
            ++it;
            continue;
        }
        TComponent* target = FindNestedComponent(it->Root, it->Reference);
        TGlobalFixup f = *it;
        it = list.erase(it);
        if (target != nullptr) f.PropInfo->SetObj(f.Instance, target);
    }
}

void RemoveFixupReferences(TComponent* Root, const std::string& RootName) {
    auto& list = GlobalFixups();
    for (auto it = list.begin(); it != list.end();) {
        bool match = (Root == nullptr || it->Root == Root || it->Component == Root) &&
                     (RootName.empty() || SameText(FirstName(it->Reference), RootName));
        it = match ? list.erase(it) : std::next(it);
    }
}

std::vector<std::string> GetFixupReferenceNames(TComponent* Root) {
    std::vector<std::string> names;
    for (auto& f : GlobalFixups())
        if (f.Root == Root) {
            std::string n = FirstName(f.Reference);
            if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
        }
    return names;
}

void TReader::ReadData(TComponent* Instance) {
    ReadDataInner(Instance);
}

void TReader::ReadDataInner(TComponent* Instance) {
    TComponent* savedCurrent = FCurrent;
    FCurrent = Instance;
    while (!EndOfList()) ReadProperty(Instance);
    ReadListEnd();
    FCurrent = savedCurrent;
    TComponent* oldParent = Parent;
    TComponent* oldOwner = Owner;
    Parent = Instance->GetChildParent();
    Owner = Instance->GetChildOwner();
    if (Owner == nullptr) Owner = FRoot;
    try {
        while (!EndOfList()) ReadComponent(nullptr);
        ReadListEnd();
    } catch (...) {
        Parent = oldParent;
        Owner = oldOwner;
        throw;
    }
    Parent = oldParent;
    Owner = oldOwner;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
    int64_t start = Position();
    TDepthGuard guard(FDepth, *this, start);
    int flags, childPos;
    ReadPrefix(flags, childPos);
    std::string className = ReadStr();
    std::string compName = ReadStr();
    TComponent* result = Component;
    bool created = false;
    if (result == nullptr && (flags & ffInherited) && Owner != nullptr) result = Owner->FindComponent(compName);
    if (result == nullptr) {
        TClass cls = GetClass(className);
        if (cls == nullptr)
            throw EClassNotFound("Class " + className + " not found at offset " + std::to_string(start));
        if (!cls->InheritsFrom(TComponent::StaticClass()))
            throw EReadError("Invalid stream format: " + className + " is not a component class at offset " +
                             std::to_string(start));
        result = cls->Create<TComponent>(Owner);
        created = true;
        FCreated.push_back(result);
        result->FComponentState.Include(csLoading);
        try {
            result->SetName(compName);
        } catch (Exception& e) {
            throw EReadError(e.Message() + " at offset " + std::to_string(start));
        }
        if (Parent != nullptr) result->SetParentComponent(Parent);
        if (flags & ffChildPos && Parent != nullptr) Parent->SetChildOrder(result, childPos);
    }
    result->FComponentState.Include(csLoading);
    result->FComponentState.Include(csReading);
    if (!created && std::find(FLoaded.begin(), FLoaded.end(), result) != FLoaded.end()) {
        // an inherited component read again keeps its first place in the Loaded order
    } else {
        FLoaded.push_back(result);
    }
    result->ReadState(this);
    result->FComponentState.Exclude(csReading);
    return result;
}

void TReader::FreeCreated() {
    // Children are created after their owners, so freeing the newest first never
    // frees a component twice: each deletion leaves its owner's list.
    std::vector<TComponent*> created;
    created.swap(FCreated);
    for (auto it = created.rbegin(); it != created.rend(); ++it) delete *it;
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    bool createdRoot = false;
    TComponent* root = Root;
    FLoaded.clear();
    FCreated.clear();
    FFixups.clear();
    try {
        ReadSignature();
        int flags, childPos;
        ReadPrefix(flags, childPos);
        std::string className = ReadStr();
        std::string rootName = ReadStr();
        if (root == nullptr) {
            TClass cls = GetClass(className);
            if (cls == nullptr) throw EClassNotFound("Class " + className + " not found at offset 4");
            if (!cls->InheritsFrom(TComponent::StaticClass()))
                throw EReadError("Invalid stream format: " + className + " is not a component class at offset 4");
            root = cls->Create<TComponent>(static_cast<TComponent*>(nullptr));
            createdRoot = true;
            root->FComponentState.Include(csLoading);
            root->SetName(rootName);
        } else {
            // An existing root takes the stream's name, made unique among the
            // global roots (a second instance of a form becomes Form1_1).
            std::string unique = rootName;
            for (int n = 1; !unique.empty(); ++n) {
                TComponent* other = FindGlobalComponent(unique);
                if (other == nullptr || other == root) break;
                unique = rootName + "_" + std::to_string(n);
            }
            root->SetName(unique);
        }
        root->FComponentState.Include(csLoading);
        root->FComponentState.Include(csReading);
        FRoot = root;
        FLookupRoot = root;
        Owner = root;
        FLoaded.push_back(root);
        FCurrent = root;
        ReadDataInner(root);
        FCurrent = nullptr;
        DoFixupReferences();
        root->FComponentState.Exclude(csReading);
    } catch (...) {
        FFixups.clear();
        if (createdRoot) {
            FCreated.clear();
            delete root;
        } else {
            FreeCreated();
            if (root) {
                root->FComponentState.Exclude(csReading);
                root->FComponentState.Exclude(csLoading);
            }
        }
        FLoaded.clear();
        throw;
    }
    // Every component read is told that loading has finished, the root first.
    std::vector<TComponent*> loaded;
    loaded.swap(FLoaded);
    FCreated.clear();
    for (TComponent* c : loaded) c->Loaded();
    GlobalFixupReferences();
    return root;
}

// ---- TWriter ----

TWriter::TWriter(TStream* Stream, int BufSize) : TFiler(Stream, BufSize) {}

TWriter::~TWriter() {
    try {
        FlushBuffer();
    } catch (...) {
        // A destructor cannot raise; a failed final write was already reported by
        // the stream to whoever flushed last.
    }
}

int64_t TWriter::Position() const { return FStream->Position() + FBufPos; }

void TWriter::FlushBuffer() {
    if (FBufPos > 0) {
        int n = FBufPos;
        FBufPos = 0;
        FStream->WriteBuffer(FBuffer.data(), n);
    }
}

void TWriter::Write(const void* Buf, int64_t Count) {
    auto* in = static_cast<const uint8_t*>(Buf);
    const int64_t size = static_cast<int64_t>(FBuffer.size());
    while (Count > 0) {
        if (FBufPos == size) FlushBuffer();
        int64_t n = std::min<int64_t>(Count, size - FBufPos);
        std::memcpy(FBuffer.data() + FBufPos, in, static_cast<size_t>(n));
        FBufPos += static_cast<int>(n);
        in += n;
        Count -= n;
    }
}

void TWriter::WriteValue(TValueType Value) {
    uint8_t b = Value;
    Write(&b, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }
void TWriter::WriteSignature() { Write(FilerSignature, 4); }

void TWriter::WritePrefix(int Flags, int ChildPos) {
    if (Flags == 0) return;
    uint8_t b = static_cast<uint8_t>(0xF0 | Flags);
    Write(&b, 1);
    if (Flags & ffChildPos) WriteInteger(ChildPos);
}

void TWriter::WriteStr(const std::string& Value) {
    if (Value.size() > 255) throw EWriteError("Name too long for a form file: " + Value.substr(0, 32) + "...");
    uint8_t len = static_cast<uint8_t>(Value.size());
    Write(&len, 1);
    Write(Value.data(), len);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char Value) { WriteString(std::string(1, Value)); }

void TWriter::WriteInteger(int64_t Value) {
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        WriteValue(vaInt8);
        int8_t v = static_cast<int8_t>(Value);
        Write(&v, 1);
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        WriteValue(vaInt16);
        int16_t v = static_cast<int16_t>(Value);
        Write(&v, 2);
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        int32_t v = static_cast<int32_t>(Value);
        Write(&v, 4);
    } else {
        WriteValue(vaInt64);
        Write(&Value, 8);
    }
}

void TWriter::WriteFloat(double Value) {
    WriteValue(vaExtended);
    uint8_t x[10];
    DoubleToExtended(Value, x);
    Write(x, 10);
}

void TWriter::WriteSingle(float Value) {
    WriteValue(vaSingle);
    Write(&Value, 4);
}

void TWriter::WriteCurrency(Currency Value) {
    WriteValue(vaCurrency);
    Write(&Value.Value, 8);
}

void TWriter::WriteDate(double Value) {
    WriteValue(vaDate);
    Write(&Value, 8);
}

void TWriter::WriteString(const std::string& Value) {
    if (Value.size() <= 255) {
        WriteValue(vaString);
        uint8_t len = static_cast<uint8_t>(Value.size());
        Write(&len, 1);
    } else {
        WriteValue(vaLString);
        uint32_t len = static_cast<uint32_t>(Value.size());
        Write(&len, 4);
    }
    Write(Value.data(), static_cast<int64_t>(Value.size()));
}

void TWriter::WriteWideString(const std::string& Value) {
    std::vector<uint16_t> units = Utf8ToUtf16(Value);
    WriteValue(vaWString);
    uint32_t count = static_cast<uint32_t>(units.size());
    Write(&count, 4);
    Write(units.data(), int64_t(count) * 2);
}

void TWriter::WriteIdent(const std::string& Ident) {
    if (SameText(Ident, "False")) WriteValue(vaFalse);
    else if (SameText(Ident, "True")) WriteValue(vaTrue);
    else if (SameText(Ident, "nil")) WriteValue(vaNil);
    else if (SameText(Ident, "Null")) WriteValue(vaNull);
    else {
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteSetNames(const std::vector<std::string>& Names) {
    WriteValue(vaSet);
    for (const std::string& n : Names) WriteStr(n);
    WriteStr("");
}

void TWriter::WriteCollection(TCollection* Value) {
    WriteValue(vaCollection);
    if (Value != nullptr) {
        for (int i = 0; i < Value->Count(); ++i) {
            WriteListBegin();
            WriteProperties(Value->Items(i));
            WriteListEnd();
        }
    }
    WriteListEnd();
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData.Assigned()) return;
    WritePropName(Name);
    WriteData(this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
    if (!HasData || !WriteData.Assigned()) return;
    TMemoryStream data;
    WriteData(&data);
    WritePropName(Name);
    WriteValue(vaBinary);
    uint32_t size = static_cast<uint32_t>(data.Size());
    Write(&size, 4);
    Write(data.Memory(), size);
}

void TWriter::WritePropName(const std::string& Name) { WriteStr(FPropPath + Name); }

bool CollectionsEqual(TCollection* C1, TCollection* C2) {
    if (C1 == C2) return true;
    if (C1 == nullptr || C2 == nullptr || C1->ClassType() != C2->ClassType() || C1->Count() != C2->Count())
        return false;
    // Equal when they stream to the same bytes.
    auto bytes = [](TCollection* c) {
        TMemoryStream s;
        {
            TWriter w(&s, 1024);
            w.WriteCollection(c);
        }
        return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
    };
    return bytes(C1) == bytes(C2);
}

std::string TWriter::ComponentReference(TComponent* Component) const {
    if (Component == FLookupRoot) return "Owner";
    if (Component->Owner() == FLookupRoot) return Component->Name();
    if (Component->Owner() != nullptr && !Component->Owner()->Name().empty() && !Component->Name().empty())
        return Component->Owner()->Name() + "." + Component->Name();
    return Component->Name();
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* PropInfo) {
    const TTypeInfo* type = PropInfo->PropType;
    TPersistent* ancestor = FAncestor;
    bool sameClassAncestor = ancestor != nullptr && ancestor->ClassType() == Instance->ClassType();
    switch (type->Kind) {
        case tkInteger: case tkInt64: case tkChar: case tkWChar: case tkEnumeration: case tkSet: {
            int64_t v = PropInfo->GetOrd(Instance);
            if (sameClassAncestor ? v == PropInfo->GetOrd(ancestor) : PropInfo->IsDefault(Instance)) return;
            WritePropName(PropInfo->Name);
            if (type->IsBoolean()) {
                WriteBoolean(v != 0);
            } else if (type->Kind == tkEnumeration) {
                WriteIdent(GetEnumName(type, v));
            } else if (type->Kind == tkSet) {
                std::vector<std::string> names;
                for (int i = 0; i < 64; ++i)
                    if ((static_cast<uint64_t>(v) >> i) & 1u) names.push_back(GetEnumName(type->CompType, i));
                WriteSetNames(names);
            } else if (type->Kind == tkChar || type->Kind == tkWChar) {
                WriteChar(static_cast<char>(v));
            } else {
                std::string ident;
                if (type->IntToIdent != nullptr && type->IntToIdent(v, ident))
                    WriteIdent(ident);
                else
                    WriteInteger(v);
            }
            break;
        }
        case tkFloat: {
            double v = PropInfo->GetFloat(Instance);
            if (sameClassAncestor ? v == PropInfo->GetFloat(ancestor) : PropInfo->IsDefault(Instance)) return;
            WritePropName(PropInfo->Name);
            if (type->IsDateTime) WriteDate(v);
            else if (type->FloatType == ftSingle) WriteSingle(static_cast<float>(v));
            else if (type->FloatType == ftCurr) WriteCurrency(Currency::FromDouble(v));
            else WriteFloat(v);
            break;
        }
        case tkString: case tkLString: case tkWString: {
            std::string v = PropInfo->GetStr(Instance);
            if (sameClassAncestor ? v == PropInfo->GetStr(ancestor) : PropInfo->IsDefault(Instance)) return;
            WritePropName(PropInfo->Name);
            WriteString(v);
            break;
        }
        case tkMethod: {
            TMethod m = PropInfo->GetMethod(Instance);
            // The ancestor's handlers belong to the ancestor's root: compare the code.
            if (sameClassAncestor && m.Code == PropInfo->GetMethod(ancestor).Code) return;
            if (!m.Assigned()) {
                if (sameClassAncestor) {
                    WritePropName(PropInfo->Name);
                    WriteValue(vaNil);
                }
                return;
            }
            std::string name = m.Name;
            if (name.empty() && FLookupRoot != nullptr && m.Data == FLookupRoot) name = FLookupRoot->MethodName(m.Code);
            if (name.empty()) return;  // only published methods of the root can be stored
            WritePropName(PropInfo->Name);
            WriteIdent(name);
            break;
        }
        case tkClass: {
            TObject* v = PropInfo->GetObj(Instance);
            if (v != nullptr && v->Is<TComponent>() &&
                !(static_cast<TComponent*>(v)->ComponentStyle().Contains(csSubComponent) &&
                  static_cast<TComponent*>(v)->Owner() == Instance)) {
                if (!PropInfo->Writable) return;
                if (sameClassAncestor) {
                    TObject* a = PropInfo->GetObj(ancestor);
                    if (a != nullptr && a->Is<TComponent>() &&
                        static_cast<TComponent*>(a)->Name() == static_cast<TComponent*>(v)->Name())
                        return;
                }
                std::string ref = ComponentReference(static_cast<TComponent*>(v));
                if (ref.empty()) return;
                WritePropName(PropInfo->Name);
                WriteIdent(ref);
            } else if (v != nullptr && v->Is<TCollection>()) {
                if (sameClassAncestor) {
                    TObject* a = PropInfo->GetObj(ancestor);
                    if (a != nullptr && a->Is<TCollection>() &&
                        CollectionsEqual(static_cast<TCollection*>(v), static_cast<TCollection*>(a)))
                        return;
                }
                WritePropName(PropInfo->Name);
                WriteCollection(static_cast<TCollection*>(v));
            } else if (v != nullptr && v->Is<TPersistent>()) {
                std::string saved = FPropPath;
                TPersistent* savedAncestor = FAncestor;
                FPropPath += PropInfo->Name + ".";
                FAncestor = nullptr;
                if (sameClassAncestor) {
                    TObject* a = PropInfo->GetObj(ancestor);
                    if (a != nullptr && a->Is<TPersistent>()) FAncestor = static_cast<TPersistent*>(a);
                }
                try {
                    WriteProperties(static_cast<TPersistent*>(v));
                } catch (...) {
                    FPropPath = saved;
                    FAncestor = savedAncestor;
                    throw;
                }
                FPropPath = saved;
                FAncestor = savedAncestor;
            } else if (v == nullptr && sameClassAncestor && PropInfo->GetObj(ancestor) != nullptr) {
                WritePropName(PropInfo->Name);
                WriteValue(vaNil);
            }
            break;
        }
        default:
            break;
    }
}

void TWriter::WriteProperties(TPersistent* Instance) {
    for (const TPropInfo* p : GetPropList(Instance->ClassType())) {
        if (!p->Readable || !p->IsStored(Instance)) continue;
        if (!p->Writable && p->PropType->Kind != tkClass) continue;
        WriteProperty(Instance, p);
    }
    Instance->DefineProperties(this);
}

void TWriter::WriteData(TComponent* Instance) {
    int flags = 0;
    TComponent* ancestorComp = nullptr;
    if (FAncestor != nullptr && FAncestor->Is<TComponent>()) {
        ancestorComp = static_cast<TComponent*>(FAncestor);
        flags |= ffInherited;
    }
    if (Instance == FRoot) flags &= ~ffInherited;
    WritePrefix(flags, 0);
    WriteStr(Instance->ClassName());
    WriteStr(Instance->Name());
    WriteProperties(Instance);
    WriteListEnd();
    if (!IgnoreChildren) {
        TPersistent* savedAncestor = FAncestor;
        Instance->GetChildren(
            [this, ancestorComp](TComponent* child) {
                TComponent* childAncestor = nullptr;
                if (ancestorComp != nullptr) {
                    TComponent* owner = FRootAncestor ? FRootAncestor : ancestorComp;
                    childAncestor = owner->FindComponent(child->Name());
                    if (childAncestor && childAncestor->ClassType() != child->ClassType()) childAncestor = nullptr;
                }
                FAncestor = childAncestor;
                WriteComponent(child);
            },
            FRoot);
        FAncestor = savedAncestor;
    }
    WriteListEnd();
}

void TWriter::WriteComponent(TComponent* Component) {
    Component->FComponentState.Include(csWriting);
    try {
        Component->WriteState(this);
    } catch (...) {
        Component->FComponentState.Exclude(csWriting);
        throw;
    }
    Component->FComponentState.Exclude(csWriting);
}

void TWriter::WriteDescendent(TComponent* Root, TComponent* Ancestor) {
    FRootAncestor = Ancestor;
    FAncestor = Ancestor;
    FRoot = Root;
    FLookupRoot = Root;
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

// ---- component streaming on TStream ----

TComponent* TStream::ReadComponent(TComponent* Instance) {
    TReader reader(this, 4096);
    return reader.ReadRootComponent(Instance);
}

void TStream::WriteComponent(TComponent* Instance) {
    TWriter writer(this, 4096);
    writer.WriteDescendent(Instance, nullptr);
}

namespace {
}  // namespace

// A resource-file entry: 0xFF, the type as 0xFF-prefixed ordinal 10 (RCDATA), the
// name in upper case ending with a zero byte, the memory flags 0x1030 and the size.
void TStream::WriteComponentRes(const std::string& ResName, TComponent* Instance) {
    std::string name = UpperCase(ResName);
    uint8_t ff = 0xFF;
    uint16_t type = 10, flags = 0x1030;
    WriteBuffer(&ff, 1);
    WriteBuffer(&type, 2);
    WriteBuffer(name.c_str(), static_cast<int64_t>(name.size()) + 1);
    WriteBuffer(&flags, 2);
    int64_t sizePos = Position();
    uint32_t size = 0;
    WriteBuffer(&size, 4);
    int64_t start = Position();
    WriteComponent(Instance);
    int64_t end = Position();
    size = static_cast<uint32_t>(end - start);
    SetPosition(sizePos);
    WriteBuffer(&size, 4);
    SetPosition(end);
}

TComponent* TStream::ReadComponentRes(TComponent* Instance) {
    uint8_t ff;
    uint16_t type, flags;
    ReadBuffer(&ff, 1);
    ReadBuffer(&type, 2);
    if (ff != 0xFF || type != 10) throw EReadError("Invalid stream format: not a form resource");
    for (int i = 0;; ++i) {
        char c;
        ReadBuffer(&c, 1);
        if (c == 0) break;
        if (i > 255) throw EReadError("Invalid stream format: resource name too long");
    }
    ReadBuffer(&flags, 2);
    uint32_t size;
    ReadBuffer(&size, 4);
    if (size > Size() - Position()) throw EReadError("Invalid stream format: resource size beyond the end of the stream");
    return ReadComponent(Instance);
}

TComponent* ReadComponentResFile(const std::string& FileName, TComponent* Instance) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    return stream.ReadComponentRes(Instance);
}

void WriteComponentResFile(const std::string& FileName, TComponent* Instance) {
    // Written to a temporary name and renamed, so a failure never leaves half a file.
    std::string tmp = FileName + ".tmp";
    try {
        {
            TFileStream stream(tmp, fmCreate);
            stream.WriteComponentRes(Instance->ClassName(), Instance);
        }
        if (std::rename(tmp.c_str(), FileName.c_str()) != 0) RaiseLastOSError();
    } catch (...) {
        std::remove(tmp.c_str());
        throw;
    }
}

bool ReadComponentResource(TComponent* Instance, const std::string& ResName, uintptr_t Module) {
    TResourceBlob blob;
    if (!FindResourceBlob(Module, "RCDATA", UpperCase(ResName), blob)) return false;
    std::string bytes(reinterpret_cast<const char*>(blob.Data), blob.Size);
    // Forms may be kept in their text form in the resources; convert those first.
    if (bytes.compare(0, 4, std::string(FilerSignature, 4)) != 0) bytes = ObjectTextToBinaryString(bytes);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    stream.ReadComponent(Instance);
    return true;
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor, uintptr_t Module) {
    std::vector<TClass> chain;
    for (TClass c = Instance->ClassType(); c != nullptr && c != RootAncestor && c != TComponent::StaticClass();
         c = c->Parent)
        chain.push_back(c);
    bool any = false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) any = ReadComponentResource(Instance, (*it)->Name, Module) || any;
    return any;
}

// ---- TStrings in form files: the "Strings" list ----

void TStrings::DefineProperties(TFiler* Filer) {
    bool hasData = Count() > 0;
    if (Filer->Ancestor() != nullptr && Filer->Ancestor()->Is<TStrings>()) {
        auto* a = static_cast<TStrings*>(Filer->Ancestor());
        hasData = !Equals(a);
    }
    Filer->DefineProperty(
        "Strings",
        TReaderProc([this](TReader* Reader) {
            Reader->ReadListBegin();
            BeginUpdate();
            try {
                Clear();
                while (!Reader->EndOfList()) Add(Reader->ReadString());
                Reader->ReadListEnd();
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
        }),
        TWriterProc([this](TWriter* Writer) {
            Writer->WriteListBegin();
            for (int i = 0; i < Count(); ++i) Writer->WriteString(Strings(i));
            Writer->WriteListEnd();
        }),
        hasData);
}

}  // namespace host
