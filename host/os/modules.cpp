// Modules: PE resource directories read as data, the loaded-module table, module names and Win32 error texts.
#include "host/os/modules.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace pe {
namespace {

// Bounds-checked little-endian reads over the image.
struct TPixelImage {
    const uint8_t* P;
    size_t N;
    bool Has(size_t Off, size_t Len) const { return Off <= N && Len <= N - Off; }
    uint16_t U16(size_t Off) const { return uint16_t(P[Off] | P[Off + 1] << 8); }
    uint32_t U32(size_t Off) const {
        return uint32_t(P[Off]) | uint32_t(P[Off + 1]) << 8 | uint32_t(P[Off + 2]) << 16 | uint32_t(P[Off + 3]) << 24;
    }
};

struct TSection {
    uint32_t Va, VSize, Raw, RawSize;
};

// A hostile directory can nest huge entry lists; this many entries is far
// beyond any real module and keeps the walk short.
constexpr size_t MaxEntriesVisited = 1u << 20;

void AppendUtf8(std::string& S, uint32_t C) {
    if (C < 0x80) {
        S += char(C);
    } else if (C < 0x800) {
        S += char(0xC0 | C >> 6);
        S += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        S += char(0xE0 | C >> 12);
        S += char(0x80 | (C >> 6 & 0x3F));
        S += char(0x80 | (C & 0x3F));
    } else {
        S += char(0xF0 | C >> 18);
        S += char(0x80 | (C >> 12 & 0x3F));
        S += char(0x80 | (C >> 6 & 0x3F));
        S += char(0x80 | (C & 0x3F));
    }
}

class TReader {
public:
    TReader(TPixelImage Img, std::vector<TSection> Sections, size_t Base, size_t End)
        : I(Img), FSections(std::move(Sections)), FBase(Base), FEnd(End) {}

    // Walks type → name → language; the first language entry of a name wins.
    bool Walk(std::vector<TPeResource>& Out) {
        std::vector<TEntry> types;
        if (!Entries(0, types)) return false;
        for (const TEntry& t : types) {
            if (!t.IsDir) return false;
            std::vector<TEntry> names;
            if (!Entries(t.Target, names)) return false;
            for (const TEntry& n : names) {
                if (!n.IsDir) return false;
                std::vector<TEntry> langs;
                if (!Entries(n.Target, langs)) return false;
                for (const TEntry& l : langs) {
                    if (l.IsDir) return false;
                    TPeResource r;
                    if (!Data(l.Target, r.Offset, r.Size)) return false;
                    r.Type = NormalizeResourceType(t.Name);
                    r.Name = NormalizeResourceName(n.Name);
                    r.Language = uint32_t(std::atoi(l.Name.c_str() + 1));
                    Out.push_back(std::move(r));
                    break;
                }
            }
        }
        return true;
    }

private:
    struct TEntry {
        std::string Name;  // "#n" for numbers
        bool IsDir;
        uint32_t Target;   // offset within the resource section
    };

    TPixelImage I;
    std::vector<TSection> FSections;
    size_t FBase, FEnd;
    size_t FVisited = 0;

    bool InSection(uint32_t Off, size_t Len) const { return Off <= FEnd - FBase && Len <= FEnd - FBase - Off; }

    bool Entries(uint32_t DirOff, std::vector<TEntry>& Out) {
        if (!InSection(DirOff, 16)) return false;
        size_t dir = FBase + DirOff;
        size_t count = size_t(I.U16(dir + 12)) + I.U16(dir + 14);
        if (!InSection(DirOff + 16, count * 8)) return false;
        FVisited += count;
        if (FVisited > MaxEntriesVisited) return false;
        for (size_t k = 0; k < count; ++k) {
            size_t e = dir + 16 + k * 8;
            uint32_t name = I.U32(e), data = I.U32(e + 4);
            TEntry entry;
            if (name & 0x80000000u) {
                if (!String(name & 0x7FFFFFFFu, entry.Name)) return false;
            } else {
                entry.Name = "#" + std::to_string(name & 0xFFFF);
            }
            entry.IsDir = (data & 0x80000000u) != 0;
            entry.Target = data & 0x7FFFFFFFu;
            Out.push_back(std::move(entry));
        }
        return true;
    }

    bool String(uint32_t Off, std::string& Out) {
        if (!InSection(Off, 2)) return false;
        size_t len = I.U16(FBase + Off);
        if (!InSection(Off + 2, len * 2)) return false;
        size_t p = FBase + Off + 2;
        for (size_t k = 0; k < len; ++k) {
            uint32_t c = I.U16(p + 2 * k);
            if (c >= 0xD800 && c < 0xDC00 && k + 1 < len) {
                uint32_t lo = I.U16(p + 2 * (k + 1));
                if (lo >= 0xDC00 && lo < 0xE000) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                    ++k;
                }
            }
            AppendUtf8(Out, c);
        }
        return true;
    }

    // A data entry holds the bytes' virtual address; map it through the sections.
    bool Data(uint32_t Off, size_t& FileOff, size_t& Size) {
        if (!InSection(Off, 16)) return false;
        uint32_t rva = I.U32(FBase + Off), size = I.U32(FBase + Off + 4);
        for (const TSection& s : FSections) {
            uint64_t extent = std::max(s.VSize, s.RawSize);
            if (rva >= s.Va && uint64_t(rva) < uint64_t(s.Va) + extent) {
                uint64_t pos = uint64_t(s.Raw) + (rva - s.Va);
                if (pos > I.N || size > I.N - pos) return false;
                FileOff = size_t(pos);
                Size = size;
                return true;
            }
        }
        return false;
    }
};

}  // namespace

bool ReadResources(const uint8_t* Image, size_t Size, std::vector<TPeResource>& Out) {
    TPixelImage img{Image, Size};
    if (!img.Has(0, 64) || Image[0] != 'M' || Image[1] != 'Z') return false;
    size_t pe = img.U32(0x3C);
    if (!img.Has(pe, 24) || img.U32(pe) != 0x00004550u) return false;
    size_t coff = pe + 4;
    size_t sectionCount = img.U16(coff + 2), optSize = img.U16(coff + 16);
    size_t opt = coff + 20;
    if (!img.Has(opt, optSize) || optSize < 2) return false;
    uint16_t magic = img.U16(opt);
    size_t countOff, dirsOff;
    if (magic == 0x10B) {
        countOff = 92, dirsOff = 96;
    } else if (magic == 0x20B) {
        countOff = 108, dirsOff = 112;
    } else {
        return false;
    }
    std::vector<TSection> sections;
    size_t sec = opt + optSize;
    if (!img.Has(sec, sectionCount * 40)) return false;
    for (size_t k = 0; k < sectionCount; ++k) {
        size_t s = sec + k * 40;
        sections.push_back({img.U32(s + 12), img.U32(s + 8), img.U32(s + 20), img.U32(s + 16)});
    }
    if (optSize < countOff + 4 || img.U32(opt + countOff) <= 2 || optSize < dirsOff + 24) return true;  // no resources
    uint32_t rva = img.U32(opt + dirsOff + 16), dirSize = img.U32(opt + dirsOff + 20);
    if (rva == 0 || dirSize == 0) return true;
    for (const TSection& s : sections) {
        uint64_t extent = std::max(s.VSize, s.RawSize);
        if (rva < s.Va || uint64_t(rva) >= uint64_t(s.Va) + extent) continue;
        uint64_t base = uint64_t(s.Raw) + (rva - s.Va);
        uint64_t end = std::min<uint64_t>(uint64_t(s.Raw) + s.RawSize, Size);
        if (base >= end) return false;
        std::vector<TPeResource> found;
        TReader reader(img, sections, size_t(base), size_t(end));
        if (!reader.Walk(found)) return false;
        Out.insert(Out.end(), found.begin(), found.end());
        return true;
    }
    return false;
}

}  // namespace pe

namespace {

// A loaded file: its bytes and the index of its resources.
class TPeModule : public TResourceModule {
public:
    TPeModule(std::vector<uint8_t> Bytes, const std::vector<pe::TPeResource>& Resources) : FBytes(std::move(Bytes)) {
        for (const pe::TPeResource& r : Resources) {
            FBlobs.emplace(std::make_pair(r.Type, r.Name), TResourceBlob{FBytes.data() + r.Offset, r.Size});
            FTypes.insert(r.Type);
        }
    }
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        auto it = FBlobs.find(std::make_pair(Type, Name));
        if (it == FBlobs.end()) return false;
        Out = it->second;
        return true;
    }
    bool HasType(const std::string& Type) const override { return FTypes.count(Type) != 0; }

private:
    std::vector<uint8_t> FBytes;
    std::map<std::pair<std::string, std::string>, TResourceBlob> FBlobs;
    std::set<std::string> FTypes;
};

struct TLoaded {
    std::string Path;
    int Refs = 0;
};

std::map<HMODULE, TLoaded>& Loaded() {
    static std::map<HMODULE, TLoaded> m;
    return m;
}

bool ReadWholeFile(const std::string& Path, std::vector<uint8_t>& Out, uint32_t& Error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Path, ec)) {
        Error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::ifstream f(Path, std::ios::binary);
    if (!f) {
        Error = ERROR_MOD_NOT_FOUND;
        return false;
    }
    Out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (f.bad()) {
        Error = ERROR_MOD_NOT_FOUND;
        return false;
    }
    return true;
}

std::string CanonicalName(const std::string& Path) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(Path, ec);
    return ec ? Path : p.string();
}

std::string ProgramPath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

}  // namespace

HMODULE LoadLibrary(const std::string& FileName) {
    std::string path = NormalizePath(FileName);
    std::error_code ec;
    if (!path.empty() && !std::filesystem::exists(path, ec) && ExtractFileExt(path).empty()) path += ".dll";
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string canonical = CanonicalName(path);
    for (auto& [handle, entry] : Loaded())
        if (entry.Path == canonical) {
            ++entry.Refs;
            return handle;
        }
    std::vector<uint8_t> bytes;
    uint32_t error = 0;
    if (!ReadWholeFile(path, bytes, error)) {
        SetLastError(error);
        return 0;
    }
    std::vector<pe::TPeResource> resources;
    if (!pe::ReadResources(bytes.data(), bytes.size(), resources)) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return 0;
    }
    HMODULE handle = RegisterResourceModule(std::make_unique<TPeModule>(std::move(bytes), resources));
    Loaded()[handle] = TLoaded{canonical, 1};
    return handle;
}

int FreeLibrary(HMODULE Module) {
    auto it = Loaded().find(Module);
    if (it == Loaded().end()) {
        SetLastError(6);  // ERROR_INVALID_HANDLE
        return 0;
    }
    if (--it->second.Refs == 0) {
        Loaded().erase(it);
        UnregisterResourceModule(Module);
    }
    return 1;
}

HMODULE GetModuleHandle(const std::string& ModuleName) {
    if (ModuleName.empty()) return HInstance;
    std::string wanted = CanonicalName(NormalizePath(ModuleName));
    std::string wantedName = UpperCase(ExtractFileName(NormalizePath(ModuleName)));
    for (const auto& [handle, entry] : Loaded()) {
        std::string name = UpperCase(ExtractFileName(entry.Path));
        if (entry.Path == wanted || name == wantedName || name == wantedName + ".DLL") return handle;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
}

std::string GetModuleFileName(HMODULE Module) {
    if (Module == 0 || Module == HInstance) return ProgramPath();
    auto it = Loaded().find(Module);
    return it == Loaded().end() ? std::string() : it->second.Path;
}

std::string SysErrorMessage(uint32_t ErrorCode) {
    switch (ErrorCode) {
        case 0: return "The operation completed successfully.";
        case 2: return "The system cannot find the file specified.";
        case 3: return "The system cannot find the path specified.";
        case 5: return "Access is denied.";
        case 6: return "The handle is invalid.";
        case 8: return "Not enough storage is available to process this command.";
        case 87: return "The parameter is incorrect.";
        case 126: return "The specified module could not be found.";
        case 183: return "Cannot create a file when that file already exists.";
        case 193: return "The file is not a valid Win32 application.";
        case 1813: return "The specified resource type cannot be found in the image file.";
        case 1814: return "The specified resource name cannot be found in the image file.";
        default: return "";
    }
}

void RaiseLastWin32Error() {
    uint32_t code = GetLastError();
    if (code == 0) throw EOSError("A call to an OS function failed");
    throw EOSError("System Error.  Code: " + std::to_string(code) + ".\n" + SysErrorMessage(code));
}

}  // namespace host
