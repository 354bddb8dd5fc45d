// The registry stand-in: the key tree, its store file (parsing, writing, reloading) and the Reg* calls.
#include "host/os/winreg.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "host/rtl/sysutils.h"

namespace host {

namespace {

constexpr int64_t kMaxStoreBytes = 64 << 20;
constexpr size_t kMaxNameLength = 255;
constexpr const char* kHeaderLine = "; registry store, version 1";

struct TValue {
    std::string Name;
    DWORD Type = REG_NONE;
    std::string Data;  // the bytes as set (strings with their NUL when it was given)
};

struct TKey {
    std::string Name;
    std::vector<std::unique_ptr<TKey>> Subs;
    std::vector<TValue> Values;
    std::vector<std::string> Extra;  // lines of the store file that could not be read

    TKey* Find(const std::string& N) const {
        for (const auto& s : Subs)
            if (SameText(s->Name, N)) return s.get();
        return nullptr;
    }
    TValue* FindValue(const std::string& N) {
        for (TValue& v : Values)
            if (SameText(v.Name, N)) return &v;
        return nullptr;
    }
};

constexpr HKEY kRootKeys[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                              HKEY_CURRENT_CONFIG};
constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                      "HKEY_CURRENT_CONFIG"};
constexpr int kRootCount = 5;

int RootIndex(HKEY Key) {
    for (int i = 0; i < kRootCount; ++i)
        if (kRootKeys[i] == Key) return i;
    return -1;
}

// --- the store file's text form ---

std::string Quote(const std::string& S) {
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : S) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted string at S[Pos] (the opening quote); Pos ends after the closing one.
bool Unquote(const std::string& S, size_t& Pos, std::string& Out) {
    if (Pos >= S.size() || S[Pos] != '"') return false;
    Out.clear();
    for (size_t i = Pos + 1; i < S.size(); ++i) {
        char c = S[i];
        if (c == '"') {
            Pos = i + 1;
            return true;
        }
        if (c != '\\') {
            Out += c;
            continue;
        }
        if (++i >= S.size()) return false;
        switch (S[i]) {
        case '\\': Out += '\\'; break;
        case '"': Out += '"'; break;
        case 'n': Out += '\n'; break;
        case 'r': Out += '\r'; break;
        case 't': Out += '\t'; break;
        case 'x': {
            if (i + 2 >= S.size()) return false;
            const int h = HexDigit(S[i + 1]), l = HexDigit(S[i + 2]);
            if (h < 0 || l < 0) return false;
            Out += static_cast<char>(h * 16 + l);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return false;
}

bool ParseHexNumber(const std::string& S, size_t MaxDigits, uint64_t& V) {
    if (S.empty() || S.size() > MaxDigits) return false;
    V = 0;
    for (char c : S) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        V = V * 16 + static_cast<uint64_t>(d);
    }
    return true;
}

bool ParseHexBytes(const std::string& S, std::string& Out) {
    Out.clear();
    if (S.empty()) return true;
    for (size_t i = 0;; i += 3) {
        if (i + 2 > S.size()) return false;
        const int h = HexDigit(S[i]), l = HexDigit(S[i + 1]);
        if (h < 0 || l < 0) return false;
        Out += static_cast<char>(h * 16 + l);
        if (i + 2 == S.size()) return true;
        if (S[i + 2] != ',') return false;
    }
}

std::string HexBytes(const std::string& Data) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < Data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : ",%02x", static_cast<unsigned char>(Data[i]));
        out += buf;
    }
    return out;
}

// A string stored with exactly one NUL, at its end, is written in its readable form.
bool IsPlainString(const TValue& V) {
    return (V.Type == REG_SZ || V.Type == REG_EXPAND_SZ) && !V.Data.empty() && V.Data.back() == 0 &&
           V.Data.find('\0') == V.Data.size() - 1;
}

std::string ValueLine(const TValue& V) {
    std::string out = V.Name.empty() ? "@" : Quote(V.Name);
    out += '=';
    char buf[32];
    if (IsPlainString(V)) {
        if (V.Type == REG_EXPAND_SZ) out += "expand:";
        out += Quote(V.Data.substr(0, V.Data.size() - 1));
    } else if (V.Type == REG_DWORD && V.Data.size() == 4) {
        uint32_t d;
        std::memcpy(&d, V.Data.data(), 4);
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        out += buf;
    } else if (V.Type == REG_QWORD && V.Data.size() == 8) {
        uint64_t q;
        std::memcpy(&q, V.Data.data(), 8);
        std::snprintf(buf, sizeof buf, "qword:%016llx", static_cast<unsigned long long>(q));
        out += buf;
    } else if (V.Type == REG_BINARY) {
        out += "hex:" + HexBytes(V.Data);
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", V.Type);
        out += buf + HexBytes(V.Data);
    }
    return out;
}

bool ParseValueLine(const std::string& L, TValue& V) {
    size_t pos = 0;
    if (L.empty()) return false;
    if (L[0] == '@') {
        V.Name.clear();
        pos = 1;
    } else if (!Unquote(L, pos, V.Name)) {
        return false;
    }
    if (pos >= L.size() || L[pos] != '=') return false;
    ++pos;
    const std::string rest = L.substr(pos);
    std::string text;
    size_t p = 0;
    auto quoted = [&](DWORD Type, size_t At) {
        p = At;
        if (!Unquote(rest, p, text) || p != rest.size()) return false;
        V.Type = Type;
        V.Data = text + '\0';
        return true;
    };
    if (!rest.empty() && rest[0] == '"') return quoted(REG_SZ, 0);
    if (rest.rfind("expand:", 0) == 0) return quoted(REG_EXPAND_SZ, 7);
    uint64_t n;
    if (rest.rfind("dword:", 0) == 0) {
        if (!ParseHexNumber(rest.substr(6), 8, n)) return false;
        const uint32_t d = static_cast<uint32_t>(n);
        V.Type = REG_DWORD;
        V.Data.assign(reinterpret_cast<const char*>(&d), 4);
        return true;
    }
    if (rest.rfind("qword:", 0) == 0) {
        if (!ParseHexNumber(rest.substr(6), 16, n)) return false;
        V.Type = REG_QWORD;
        V.Data.assign(reinterpret_cast<const char*>(&n), 8);
        return true;
    }
    if (rest.rfind("hex:", 0) == 0) {
        V.Type = REG_BINARY;
        return ParseHexBytes(rest.substr(4), V.Data);
    }
    if (rest.rfind("hex(", 0) == 0) {
        const size_t close = rest.find("):");
        if (close == std::string::npos || !ParseHexNumber(rest.substr(4, close - 4), 8, n)) return false;
        V.Type = static_cast<DWORD>(n);
        return ParseHexBytes(rest.substr(close + 2), V.Data);
    }
    return false;
}

std::vector<std::string> SplitPath(const char* Path) {
    std::vector<std::string> out;
    if (Path == nullptr) return out;
    std::string part;
    for (const char* p = Path;; ++p) {
        if (*p == '\\' || *p == 0) {
            if (!part.empty()) out.push_back(part);
            part.clear();
            if (*p == 0) break;
        } else {
            part += *p;
        }
    }
    return out;
}

bool ValidName(const std::string& N) {
    return !N.empty() && N.size() <= kMaxNameLength && N.find_first_of("\r\n") == std::string::npos;
}

// --- the store ---

struct THandle {
    int Root = 0;
    std::vector<std::string> Path;
    REGSAM Access = 0;
};

class TStore {
public:
    std::mutex Lock;

    const std::string& File() {
        if (FFile.empty()) {
            const char* e = std::getenv("RYX_REGISTRY_FILE");
            FFile = e != nullptr && *e != 0 ? std::string(e) : UserConfigDir() + "/ryx/registry";
        }
        return FFile;
    }

    void SetFile(const std::string& Name) {
        FFile = Name;
        FLoaded = false;
    }

    // Reads the file again when it changed since it was last read or written.
    void Sync() {
        struct stat st;
        TStamp now;
        if (::stat(File().c_str(), &st) == 0)
            now = {static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_size),
                   static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
        if (FLoaded && now == FStamp) return;
        Load();
        FStamp = now;
        FLoaded = true;
    }

    void Load() {
        for (int i = 0; i < kRootCount; ++i) {
            FRoots[i] = TKey{};
            FRoots[i].Name = kRootNames[i];
        }
        FPreamble.clear();
        FTooLarge = false;
        std::string bytes;
        if (ReadFileBytes(File(), bytes, kMaxStoreBytes))
            Parse(bytes);
        else
            FTooLarge = FileGetSize(File()) > kMaxStoreBytes;
    }

    void Parse(const std::string& Bytes) {
        TKey* current = nullptr;
        size_t pos = 0;
        while (pos < Bytes.size()) {
            size_t lf = Bytes.find('\n', pos);
            const size_t end = lf == std::string::npos ? Bytes.size() : lf;
            size_t stop = end;  // carriage returns before the line feed end the line
            while (stop > pos && Bytes[stop - 1] == '\r') --stop;
            std::string line = Bytes.substr(pos, stop - pos);
            pos = end + 1;
            if (line.empty() || line == kHeaderLine) continue;
            if (line[0] == '[') {
                const size_t close = line.rfind(']');
                if (close != std::string::npos && close == line.size() - 1) {
                    current = HeaderKey(line.substr(1, close - 1));
                    if (current == nullptr) FPreamble.push_back(line);
                    continue;
                }
            }
            TValue v;
            if (current != nullptr && ParseValueLine(line, v)) {
                if (TValue* old = current->FindValue(v.Name))
                    *old = std::move(v);
                else
                    current->Values.push_back(std::move(v));
            } else {
                (current != nullptr ? current->Extra : FPreamble).push_back(line);
            }
        }
    }

    std::string Text() const {
        std::string out = std::string(kHeaderLine) + "\n";
        for (const std::string& l : FPreamble) out += l + "\n";
        for (int i = 0; i < kRootCount; ++i) WriteKey(FRoots[i], kRootNames[i], true, out);
        return out;
    }

    // Writes the tree; on failure the file is read back, so memory and disk agree.
    LONG Save() {
        if (!FTooLarge) {
            const std::string dir = ExtractFileDir(File());
            if (!dir.empty() && !DirectoryExists(dir)) ForceDirectories(dir);
            if (WriteFileAtomic(File(), Text())) {
                FLoaded = false;  // the next call takes the new stamp
                Sync();
                return ERROR_SUCCESS;
            }
        }
        FLoaded = false;
        Sync();
        return ERROR_WRITE_FAULT;
    }

    TKey* Root(int I) { return &FRoots[I]; }

    // --- handles ---
    HKEY NewHandle(THandle H) {
        do {
            FNext = FNext >= 0x7FFFFFFF ? 0x100 : FNext + 1;
        } while (FHandles.count(FNext) != 0);
        FHandles[FNext] = std::move(H);
        return FNext;
    }
    bool CloseHandle(HKEY Key) { return FHandles.erase(Key) != 0; }

    // The key behind a handle: ERROR_INVALID_HANDLE for an unknown one, ERROR_KEY_DELETED
    // when its key no longer exists.
    LONG Resolve(HKEY Key, TKey*& Out, THandle& Info) {
        const int r = RootIndex(Key);
        if (r >= 0) {
            Info = THandle{r, {}, KEY_ALL_ACCESS};
            Out = &FRoots[r];
            return ERROR_SUCCESS;
        }
        auto it = FHandles.find(Key);
        if (it == FHandles.end()) return ERROR_INVALID_HANDLE;
        Info = it->second;
        Out = Walk(&FRoots[Info.Root], Info.Path, false);
        return Out != nullptr ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    }

    static TKey* Walk(TKey* From, const std::vector<std::string>& Path, bool Create, bool* Created = nullptr) {
        for (const std::string& n : Path) {
            TKey* next = From->Find(n);
            if (next == nullptr) {
                if (!Create) return nullptr;
                From->Subs.push_back(std::make_unique<TKey>());
                next = From->Subs.back().get();
                next->Name = n;
                if (Created != nullptr) *Created = true;
            }
            From = next;
        }
        return From;
    }

private:
    struct TStamp {
        uint64_t Ino = 0, Size = 0;
        int64_t MTimeNs = -1;
        bool operator==(const TStamp&) const = default;
    };
    std::string FFile;
    TKey FRoots[kRootCount];
    std::vector<std::string> FPreamble;  // lines outside any known key, kept as read
    bool FLoaded = false, FTooLarge = false;
    TStamp FStamp;
    std::unordered_map<HKEY, THandle> FHandles;
    HKEY FNext = 0x100;

    TKey* HeaderKey(const std::string& Path) {
        std::vector<std::string> parts = SplitPath(Path.c_str());
        if (parts.empty()) return nullptr;
        int root = -1;
        for (int i = 0; i < kRootCount; ++i)
            if (SameText(parts[0], kRootNames[i])) root = i;
        if (root < 0) return nullptr;
        parts.erase(parts.begin());
        for (const std::string& p : parts)
            if (!ValidName(p)) return nullptr;
        return Walk(&FRoots[root], parts, true);
    }

    static void WriteKey(const TKey& K, const std::string& Path, bool IsRoot, std::string& Out) {
        if (!IsRoot || !K.Values.empty() || !K.Extra.empty()) {
            Out += "\n[" + Path + "]\n";
            for (const TValue& v : K.Values) Out += ValueLine(v) + "\n";
            for (const std::string& l : K.Extra) Out += l + "\n";
        }
        for (const auto& s : K.Subs) WriteKey(*s, Path + "\\" + s->Name, false, Out);
    }
};

TStore& Store() {
    static TStore* s = new TStore;  // used until the process ends
    return *s;
}

// Runs Fn with the store locked and fresh, and the key behind Key resolved.
template <class F>
LONG WithKey(HKEY Key, F&& Fn) {
    TStore& s = Store();
    std::lock_guard<std::mutex> guard(s.Lock);
    s.Sync();
    TKey* k = nullptr;
    THandle info;
    if (LONG r = s.Resolve(Key, k, info); r != ERROR_SUCCESS) return r;
    return Fn(s, k, info);
}

LONG CopyOut(const std::string& Bytes, BYTE* Data, DWORD* cbData) {
    if (cbData == nullptr) return Data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    const DWORD need = static_cast<DWORD>(Bytes.size());
    if (Data != nullptr && *cbData < need) {
        *cbData = need;
        return ERROR_MORE_DATA;
    }
    if (Data != nullptr) std::memcpy(Data, Bytes.data(), need);
    *cbData = need;
    return ERROR_SUCCESS;
}

// A name into a character buffer: the count excludes the NUL.
LONG CopyName(const std::string& Name, char* Buffer, DWORD* cch) {
    if (Buffer == nullptr || cch == nullptr) return ERROR_INVALID_PARAMETER;
    if (*cch < Name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(Buffer, Name.c_str(), Name.size() + 1);
    *cch = static_cast<DWORD>(Name.size());
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY Key, const char* SubKey, DWORD Options, REGSAM Access, HKEY* Result) {
    (void)Options;
    if (Result == nullptr) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    return WithKey(Key, [&](TStore& S, TKey* K, THandle& Info) -> LONG {
        const std::vector<std::string> path = SplitPath(SubKey);
        if (TStore::Walk(K, path, false) == nullptr) return ERROR_FILE_NOT_FOUND;
        Info.Path.insert(Info.Path.end(), path.begin(), path.end());
        Info.Access = Access;
        *Result = S.NewHandle(std::move(Info));
        return ERROR_SUCCESS;
    });
}

LONG RegOpenKeyA(HKEY Key, const char* SubKey, HKEY* Result) {
    return RegOpenKeyExA(Key, SubKey, 0, KEY_ALL_ACCESS, Result);
}

LONG RegCreateKeyExA(HKEY Key, const char* SubKey, DWORD Reserved, const char* Class, DWORD Options,
                     REGSAM Access, const void* Security, HKEY* Result, DWORD* Disposition) {
    (void)Reserved, (void)Class, (void)Options, (void)Security;
    if (Result == nullptr) return ERROR_INVALID_PARAMETER;
    *Result = 0;
    return WithKey(Key, [&](TStore& S, TKey* K, THandle& Info) -> LONG {
        const std::vector<std::string> path = SplitPath(SubKey);
        for (const std::string& n : path)
            if (!ValidName(n)) return ERROR_INVALID_PARAMETER;
        bool created = false;
        if (TStore::Walk(K, path, false) == nullptr) {
            if ((Info.Access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
            TStore::Walk(K, path, true, &created);
            if (LONG r = S.Save(); r != ERROR_SUCCESS) return r;
        }
        if (Disposition != nullptr) *Disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        Info.Path.insert(Info.Path.end(), path.begin(), path.end());
        Info.Access = Access;
        *Result = S.NewHandle(std::move(Info));
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyA(HKEY Key, const char* SubKey, HKEY* Result) {
    return RegCreateKeyExA(Key, SubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, Result, nullptr);
}

LONG RegCloseKey(HKEY Key) {
    if (RootIndex(Key) >= 0) return ERROR_SUCCESS;
    TStore& s = Store();
    std::lock_guard<std::mutex> guard(s.Lock);
    return s.CloseHandle(Key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY Key, const char* SubKey) {
    if (SubKey == nullptr) return ERROR_INVALID_PARAMETER;
    return WithKey(Key, [&](TStore& S, TKey* K, THandle& Info) -> LONG {
        std::vector<std::string> path = SplitPath(SubKey);
        // An empty name deletes the key the handle stands for.
        std::vector<std::string> full = Info.Path;
        full.insert(full.end(), path.begin(), path.end());
        if (full.empty()) return ERROR_ACCESS_DENIED;  // a root stays
        TKey* target = TStore::Walk(K, path, false);
        if (target == nullptr) return ERROR_FILE_NOT_FOUND;
        if (!target->Subs.empty()) return ERROR_ACCESS_DENIED;
        full.pop_back();
        TKey* parent = TStore::Walk(S.Root(Info.Root), full, false);
        auto& subs = parent->Subs;
        subs.erase(std::find_if(subs.begin(), subs.end(), [&](const auto& s) { return s.get() == target; }));
        return S.Save();
    });
}

LONG RegDeleteValueA(HKEY Key, const char* ValueName) {
    return WithKey(Key, [&](TStore& S, TKey* K, THandle& Info) -> LONG {
        if ((Info.Access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
        const std::string name = ValueName == nullptr ? "" : ValueName;
        auto it = std::find_if(K->Values.begin(), K->Values.end(), [&](const TValue& v) { return SameText(v.Name, name); });
        if (it == K->Values.end()) return ERROR_FILE_NOT_FOUND;
        K->Values.erase(it);
        return S.Save();
    });
}

LONG RegQueryValueExA(HKEY Key, const char* ValueName, DWORD* Reserved, DWORD* Type, BYTE* Data, DWORD* cbData) {
    (void)Reserved;
    return WithKey(Key, [&](TStore&, TKey* K, THandle& Info) -> LONG {
        if ((Info.Access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
        const TValue* v = K->FindValue(ValueName == nullptr ? "" : ValueName);
        if (v == nullptr) return ERROR_FILE_NOT_FOUND;
        if (Type != nullptr) *Type = v->Type;
        return CopyOut(v->Data, Data, cbData);
    });
}

LONG RegQueryValueA(HKEY Key, const char* SubKey, char* Value, LONG* cbValue) {
    return WithKey(Key, [&](TStore&, TKey* K, THandle&) -> LONG {
        TKey* target = TStore::Walk(K, SplitPath(SubKey), false);
        if (target == nullptr) return ERROR_FILE_NOT_FOUND;
        std::string text(1, '\0');  // no default value reads as an empty string
        if (const TValue* v = target->FindValue(""); v != nullptr && (v->Type == REG_SZ || v->Type == REG_EXPAND_SZ)) {
            text = v->Data;
            if (text.empty() || text.back() != 0) text += '\0';
        }
        if (cbValue == nullptr) return Value == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
        DWORD size = *cbValue < 0 ? 0 : static_cast<DWORD>(*cbValue);
        const LONG r = CopyOut(text, reinterpret_cast<BYTE*>(Value), &size);
        *cbValue = static_cast<LONG>(size);
        return r;
    });
}

LONG RegSetValueExA(HKEY Key, const char* ValueName, DWORD Reserved, DWORD Type, const BYTE* Data, DWORD cbData) {
    (void)Reserved;
    if (Data == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
    return WithKey(Key, [&](TStore& S, TKey* K, THandle& Info) -> LONG {
        if ((Info.Access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
        const std::string name = ValueName == nullptr ? "" : ValueName;
        if (name.size() > 16383) return ERROR_INVALID_PARAMETER;
        TValue v{name, Type, std::string(reinterpret_cast<const char*>(Data), cbData)};
        if (TValue* old = K->FindValue(name))
            *old = std::move(v);
        else
            K->Values.push_back(std::move(v));
        return S.Save();
    });
}

LONG RegSetValueA(HKEY Key, const char* SubKey, DWORD Type, const char* Data, DWORD cbData) {
    (void)cbData;
    if (Type != REG_SZ || Data == nullptr) return ERROR_INVALID_PARAMETER;
    HKEY sub = 0;
    if (LONG r = RegCreateKeyA(Key, SubKey, &sub); r != ERROR_SUCCESS) return r;
    const LONG r = RegSetValueExA(sub, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(Data),
                                  static_cast<DWORD>(std::strlen(Data) + 1));
    RegCloseKey(sub);
    return r;
}

LONG RegEnumKeyExA(HKEY Key, DWORD Index, char* Name, DWORD* cchName, DWORD* Reserved, char* Class,
                   DWORD* cchClass, void* LastWriteTime) {
    (void)Reserved, (void)LastWriteTime;
    return WithKey(Key, [&](TStore&, TKey* K, THandle& Info) -> LONG {
        if ((Info.Access & KEY_ENUMERATE_SUB_KEYS) == 0) return ERROR_ACCESS_DENIED;
        if (Index >= K->Subs.size()) return ERROR_NO_MORE_ITEMS;
        if (Class != nullptr && cchClass != nullptr && *cchClass > 0) {
            Class[0] = 0;
            *cchClass = 0;
        }
        return CopyName(K->Subs[Index]->Name, Name, cchName);
    });
}

LONG RegEnumValueA(HKEY Key, DWORD Index, char* ValueName, DWORD* cchValueName, DWORD* Reserved, DWORD* Type,
                   BYTE* Data, DWORD* cbData) {
    (void)Reserved;
    return WithKey(Key, [&](TStore&, TKey* K, THandle& Info) -> LONG {
        if ((Info.Access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
        if (Index >= K->Values.size()) return ERROR_NO_MORE_ITEMS;
        const TValue& v = K->Values[Index];
        if (LONG r = CopyName(v.Name, ValueName, cchValueName); r != ERROR_SUCCESS) return r;
        if (Type != nullptr) *Type = v.Type;
        return CopyOut(v.Data, Data, cbData);
    });
}

LONG RegQueryInfoKeyA(HKEY Key, char* Class, DWORD* cchClass, DWORD* Reserved, DWORD* SubKeys,
                      DWORD* MaxSubKeyLen, DWORD* MaxClassLen, DWORD* Values, DWORD* MaxValueNameLen,
                      DWORD* MaxValueLen, DWORD* SecurityDescriptor, void* LastWriteTime) {
    (void)Reserved, (void)LastWriteTime;
    return WithKey(Key, [&](TStore&, TKey* K, THandle&) -> LONG {
        if (Class != nullptr && cchClass != nullptr && *cchClass > 0) Class[0] = 0;
        if (cchClass != nullptr) *cchClass = 0;
        if (MaxClassLen != nullptr) *MaxClassLen = 0;
        if (SecurityDescriptor != nullptr) *SecurityDescriptor = 0;
        DWORD maxSub = 0, maxName = 0, maxData = 0;
        for (const auto& s : K->Subs) maxSub = std::max<DWORD>(maxSub, static_cast<DWORD>(s->Name.size()));
        for (const TValue& v : K->Values) {
            maxName = std::max<DWORD>(maxName, static_cast<DWORD>(v.Name.size()));
            maxData = std::max<DWORD>(maxData, static_cast<DWORD>(v.Data.size()));
        }
        if (SubKeys != nullptr) *SubKeys = static_cast<DWORD>(K->Subs.size());
        if (MaxSubKeyLen != nullptr) *MaxSubKeyLen = maxSub;
        if (Values != nullptr) *Values = static_cast<DWORD>(K->Values.size());
        if (MaxValueNameLen != nullptr) *MaxValueNameLen = maxName;
        if (MaxValueLen != nullptr) *MaxValueLen = maxData;
        return ERROR_SUCCESS;
    });
}

LONG RegFlushKey(HKEY Key) {
    return WithKey(Key, [](TStore&, TKey*, THandle&) -> LONG { return ERROR_SUCCESS; });
}

std::string regstore::FileName() {
    TStore& s = Store();
    std::lock_guard<std::mutex> guard(s.Lock);
    return s.File();
}

void regstore::SetFileName(const std::string& FileName) {
    TStore& s = Store();
    std::lock_guard<std::mutex> guard(s.Lock);
    s.SetFile(FileName);
}

std::string regstore::Roundtrip(const std::string& Bytes) {
    TStore s;
    s.SetFile("/nonexistent/registry");
    s.Load();
    s.Parse(Bytes);
    return s.Text();
}

}  // namespace host
