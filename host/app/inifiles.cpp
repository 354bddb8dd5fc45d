// Initialisation files: the line model shared by TIniFile and TMemIniFile, the profile calls.
#include "host/app/inifiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// Larger files are not initialisation files: they are read as empty and never
// rewritten, so nothing of them is lost.
constexpr int64_t kMaxIniBytes = 64 << 20;

std::string TrimIni(std::string_view S) {
    size_t b = 0, e = S.size();
    while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
    return std::string(S.substr(b, e - b));
}

bool HasLineBreak(const std::string& S) { return S.find_first_of("\r\n") != std::string::npos; }

[[noreturn]] void Refuse(const std::string& What, const std::string& Name) {
    throw EIniFileException(What + " \"" + Name + "\" cannot be stored in an initialisation file");
}

// A name or value that would change the file's line structure is refused before
// anything changes.
void CheckSection(const std::string& Section) {
    if (TrimIni(Section).empty() || HasLineBreak(Section) || Section.find(']') != std::string::npos)
        Refuse("Section name", Section);
}

void CheckKey(const std::string& Ident) {
    const std::string t = TrimIni(Ident);
    if (t.empty() || HasLineBreak(Ident) || Ident.find('=') != std::string::npos || t[0] == '[' || t[0] == ';' ||
        t[0] == '#')
        Refuse("Key name", Ident);
}

void CheckValue(const std::string& Ident, const std::string& Value) {
    if (HasLineBreak(Value)) Refuse("The value of", Ident);
}

}  // namespace

// The file as lines: every line is kept as read; section and key lines are also
// parsed. Look-ups use the first section and, in it, the first key of a name.
class TIniData {
public:
    enum TKind { lkOther, lkSection, lkKey };
    struct TLine {
        std::string Raw;
        TKind Kind = lkOther;
        std::string Name;   // section or key name, trimmed
        std::string Value;  // key value, trimmed
    };
    std::vector<TLine> Lines;
    bool Crlf = false;
    bool TooLarge = false;

    static TLine ParseLine(std::string Raw) {
        TLine l;
        l.Raw = std::move(Raw);
        const std::string t = TrimIni(l.Raw);
        if (t.empty() || t[0] == ';' || t[0] == '#') return l;
        if (t[0] == '[') {
            const size_t close = t.find(']');
            if (close != std::string::npos) {
                l.Kind = lkSection;
                l.Name = TrimIni(std::string_view(t).substr(1, close - 1));
            }
            return l;
        }
        const size_t eq = l.Raw.find('=');
        if (eq == std::string::npos) return l;
        l.Name = TrimIni(std::string_view(l.Raw).substr(0, eq));
        if (l.Name.empty()) return l;
        l.Kind = lkKey;
        l.Value = TrimIni(std::string_view(l.Raw).substr(eq + 1));
        return l;
    }

    void Parse(const std::string& Bytes) {
        Lines.clear();
        TooLarge = false;
        const size_t firstLf = Bytes.find('\n');
        Crlf = firstLf != std::string::npos && firstLf > 0 && Bytes[firstLf - 1] == '\r';
        size_t pos = 0;
        while (pos < Bytes.size()) {
            size_t lf = Bytes.find('\n', pos);
            const size_t end = lf == std::string::npos ? Bytes.size() : lf;
            // Carriage returns before the line feed belong to the line end (a stray
            // one would otherwise change the line each time the file is written).
            size_t stop = end;
            while (stop > pos && Bytes[stop - 1] == '\r') --stop;
            Lines.push_back(ParseLine(Bytes.substr(pos, stop - pos)));
            pos = end + 1;
        }
    }

    std::string Text() const {
        std::string out;
        const char* eol = Crlf ? "\r\n" : "\n";
        for (const TLine& l : Lines) {
            out += l.Raw;
            out += eol;
        }
        return out;
    }

    // Index of the first header of Section, or -1.
    int FindSection(const std::string& Section) const {
        const std::string name = TrimIni(Section);
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i].Kind == lkSection && SameText(Lines[i].Name, name)) return static_cast<int>(i);
        return -1;
    }
    // One past the section's last line.
    size_t SectionEnd(int Header) const {
        size_t i = static_cast<size_t>(Header) + 1;
        while (i < Lines.size() && Lines[i].Kind != lkSection) ++i;
        return i;
    }
    int FindKey(int Header, const std::string& Ident) const {
        if (Header < 0) return -1;
        const std::string name = TrimIni(Ident);
        for (size_t i = Header + 1, e = SectionEnd(Header); i < e; ++i)
            if (Lines[i].Kind == lkKey && SameText(Lines[i].Name, name)) return static_cast<int>(i);
        return -1;
    }

    bool Read(const std::string& Section, const std::string& Ident, std::string& Value) const {
        const int k = FindKey(FindSection(Section), Ident);
        if (k < 0) return false;
        Value = Lines[k].Value;
        return true;
    }

    void Write(const std::string& Section, const std::string& Ident, const std::string& Value) {
        CheckSection(Section);
        CheckKey(Ident);
        CheckValue(Ident, Value);
        const int header = FindSection(Section);
        const int key = FindKey(header, Ident);
        if (key >= 0) {
            Lines[key] = ParseLine(Lines[key].Name + "=" + Value);
            return;
        }
        const TLine line = ParseLine(TrimIni(Ident) + "=" + Value);
        if (header < 0) {
            if (!Lines.empty() && !TrimIni(Lines.back().Raw).empty()) Lines.push_back(TLine{});
            Lines.push_back(ParseLine("[" + TrimIni(Section) + "]"));
            Lines.push_back(line);
            return;
        }
        // After the section's last key (comments and blanks after it stay below).
        size_t at = static_cast<size_t>(header) + 1;
        for (size_t i = at, e = SectionEnd(header); i < e; ++i)
            if (Lines[i].Kind == lkKey) at = i + 1;
        Lines.insert(Lines.begin() + static_cast<ptrdiff_t>(at), line);
    }

    bool EraseSection(const std::string& Section) {
        bool any = false;
        for (int h; (h = FindSection(Section)) >= 0;) {
            Lines.erase(Lines.begin() + h, Lines.begin() + static_cast<ptrdiff_t>(SectionEnd(h)));
            any = true;
        }
        return any;
    }

    bool DeleteKey(const std::string& Section, const std::string& Ident) {
        const int h = FindSection(Section);
        bool any = false;
        for (int k; (k = FindKey(h, Ident)) >= 0;) {
            Lines.erase(Lines.begin() + k);
            any = true;
        }
        return any;
    }

    std::vector<std::string> SectionNames() const {
        std::vector<std::string> out;
        for (const TLine& l : Lines)
            if (l.Kind == lkSection &&
                std::none_of(out.begin(), out.end(), [&](const std::string& n) { return SameText(n, l.Name); }))
                out.push_back(l.Name);
        return out;
    }

    // The section's keys (each name once) with their values.
    std::vector<std::pair<std::string, std::string>> Pairs(const std::string& Section) const {
        std::vector<std::pair<std::string, std::string>> out;
        const int h = FindSection(Section);
        if (h < 0) return out;
        for (size_t i = h + 1, e = SectionEnd(h); i < e; ++i)
            if (Lines[i].Kind == lkKey && std::none_of(out.begin(), out.end(), [&](const auto& p) {
                    return SameText(p.first, Lines[i].Name);
                }))
                out.emplace_back(Lines[i].Name, Lines[i].Value);
        return out;
    }

    // Reads the file; a missing file is empty, one too large is empty and TooLarge.
    void Load(const std::string& Path) {
        std::string bytes;
        Lines.clear();
        Crlf = false;
        TooLarge = false;
        if (ReadFileBytes(Path, bytes, kMaxIniBytes)) {
            Parse(bytes);
        } else if (FileGetSize(Path) > kMaxIniBytes) {
            TooLarge = true;
        }
    }

    void Save(const std::string& Path) const {
        if (TooLarge) throw EIniFileException("Unable to write to " + Path + ": the file is too large to be an initialisation file");
        const std::string dir = ExtractFileDir(Path);
        if (!dir.empty() && !DirectoryExists(dir)) ForceDirectories(dir);
        if (!WriteFileAtomic(Path, Text())) throw EIniFileException("Unable to write to " + Path);
    }
};

// --- TCustomIniFile: typed values over strings ---

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    const std::string s = ReadString(Section, Ident, "");
    if (s.empty()) return Default;
    // "0x" is accepted as well as "$" for hexadecimal.
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return StrToIntDef("$" + s.substr(2), Default);
    return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
    const std::string s = ReadString(Section, Ident, "");
    return s.empty() ? Default : StrToFloatDef(s, Default);
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const std::string& Section, const std::string& Ident, TDateTime Default) {
    const std::string s = ReadString(Section, Ident, "");
    return s.empty() ? Default : StrToDateDef(s, Default);
}

void TCustomIniFile::WriteDate(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default) {
    const std::string s = ReadString(Section, Ident, "");
    return s.empty() ? Default : StrToDateTimeDef(s, Default);
}

void TCustomIniFile::WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateTimeToStr(Value));
}

TDateTime TCustomIniFile::ReadTime(const std::string& Section, const std::string& Ident, TDateTime Default) {
    const std::string s = ReadString(Section, Ident, "");
    return s.empty() ? Default : StrToTimeDef(s, Default);
}

void TCustomIniFile::WriteTime(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    if (keys.Count() > 0) return true;
    TStringList sections;
    ReadSections(&sections);
    return sections.IndexOf(TrimIni(Section)) >= 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(TrimIni(Ident)) >= 0;
}

namespace {

void FillKeys(const TIniData& D, const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const auto& p : D.Pairs(Section)) Strings->Add(p.first);
    Strings->EndUpdate();
}

void FillSections(const TIniData& D, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const std::string& n : D.SectionNames()) Strings->Add(n);
    Strings->EndUpdate();
}

void FillValues(const TIniData& D, const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (const auto& p : D.Pairs(Section)) Strings->Add(p.first + "=" + p.second);
    Strings->EndUpdate();
}

// A name without a directory is in the profile directory.
std::string ResolveProfilePath(const std::string& FileName) {
    if (FileName.empty()) return FileName;
    if (FileName.find_first_of("/\\") == std::string::npos) return ProfileDirectory() + "/" + FileName;
    return NormalizePath(FileName);
}

}  // namespace

// --- TIniFile ---

TIniFile::TIniFile(const std::string& FileName) : TCustomIniFile(FileName), FPath(ResolveProfilePath(FileName)) {}

TIniFile::~TIniFile() = default;

TIniData& TIniFile::Fresh() {
    TStamp now;
    struct stat st;
    if (!FPath.empty() && ::stat(FPath.c_str(), &st) == 0)
        now = TStamp{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                     static_cast<uint64_t>(st.st_size),
                     static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    if (!FData || !(now == FStamp)) {
        if (!FData) FData = std::make_unique<TIniData>();
        FData->Load(FPath);
        FStamp = now;
    }
    return *FData;
}

void TIniFile::Store() {
    try {
        FData->Save(FPath);
    } catch (...) {
        FData.reset();  // the change did not reach the file: read it again next time
        throw;
    }
    FData.reset();  // the next call reads the file (and its new stamp) once
    Fresh();
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    std::string v;
    return Fresh().Read(Section, Ident, v) ? v : Default;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    Fresh().Write(Section, Ident, Value);
    Store();
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) { FillKeys(Fresh(), Section, Strings); }
void TIniFile::ReadSections(TStrings* Strings) { FillSections(Fresh(), Strings); }
void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    FillValues(Fresh(), Section, Strings);
}

void TIniFile::EraseSection(const std::string& Section) {
    if (Fresh().EraseSection(Section)) Store();
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (Fresh().DeleteKey(Section, Ident)) Store();
}

// --- TMemIniFile ---

TMemIniFile::TMemIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FData(std::make_unique<TIniData>()) {
    if (!FileName.empty()) FData->Load(NormalizePath(FileName));
}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    std::string v;
    return FData->Read(Section, Ident, v) ? v : Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    FData->Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) { FillKeys(*FData, Section, Strings); }
void TMemIniFile::ReadSections(TStrings* Strings) { FillSections(*FData, Strings); }
void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    FillValues(*FData, Section, Strings);
}
void TMemIniFile::EraseSection(const std::string& Section) { FData->EraseSection(Section); }
void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) { FData->DeleteKey(Section, Ident); }

void TMemIniFile::UpdateFile() { FData->Save(NormalizePath(FFileName)); }

void TMemIniFile::Clear() {
    FData->Lines.clear();
    FData->TooLarge = false;
}

void TMemIniFile::GetStrings(TStrings* List) {
    List->BeginUpdate();
    List->Clear();
    for (const auto& l : FData->Lines) List->Add(l.Raw);
    List->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* List) {
    std::string text;
    for (int i = 0; i < List->Count(); ++i) text += List->Strings(i) + "\n";
    const bool crlf = FData->Crlf;
    FData->Parse(text);
    FData->Crlf = crlf;
}

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
    FFileName = FileName;
    if (Reload) FData->Load(NormalizePath(FileName));
}

// --- profile calls ---

std::string ProfileDirectory() {
    if (const char* d = std::getenv("RYX_PROFILE_DIR"); d != nullptr && *d != 0) return ExcludeTrailingPathDelimiter(d);
    return UserConfigDir() + "/ryx";
}

std::string ProfileFileName() { return ProfileDirectory() + "/win.ini"; }

namespace {

// Entries the system's profile has without being told: the file types the media
// layer can play.
const std::vector<std::pair<std::string, std::string>>& BuiltinEntries(const std::string& Path,
                                                                        const std::string& Section) {
    static const std::vector<std::pair<std::string, std::string>> mci{{"wav", "waveaudio"}};
    static const std::vector<std::pair<std::string, std::string>> none;
    return Path == ProfileFileName() && SameText(TrimIni(Section), "mci extensions") ? mci : none;
}

// Copies a list of NUL-terminated strings with a final NUL; Size - 2 when cut.
uint32_t CopyList(const std::vector<std::string>& Items, char* Buffer, uint32_t Size) {
    if (Buffer == nullptr || Size == 0) return 0;
    if (Size == 1) {
        Buffer[0] = 0;
        return 0;
    }
    uint32_t at = 0;
    for (const std::string& s : Items) {
        if (at + s.size() + 2 > Size) {
            // Cut: as much as fits, then the two terminating NULs.
            const uint32_t room = Size - 2 - at;
            std::memcpy(Buffer + at, s.data(), std::min<size_t>(room, s.size()));
            Buffer[Size - 2] = 0;
            Buffer[Size - 1] = 0;
            return Size - 2;
        }
        std::memcpy(Buffer + at, s.data(), s.size());
        at += static_cast<uint32_t>(s.size());
        Buffer[at++] = 0;
    }
    Buffer[at] = 0;
    return at;
}

uint32_t CopyString(const std::string& S, char* Buffer, uint32_t Size) {
    if (Buffer == nullptr || Size == 0) return 0;
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(S.size(), Size - 1));
    std::memcpy(Buffer, S.data(), n);
    Buffer[n] = 0;
    return n;
}

// The value without one pair of enclosing quotes, as the profile calls return it.
std::string Unquote(const std::string& V) {
    if (V.size() >= 2 && (V.front() == '"' || V.front() == '\'') && V.back() == V.front())
        return V.substr(1, V.size() - 2);
    return V;
}

}  // namespace

uint32_t GetPrivateProfileStringA(const char* Section, const char* Key, const char* Default, char* Buffer,
                                  uint32_t Size, const char* FileName) {
    const std::string path = FileName == nullptr ? ProfileFileName() : ResolveProfilePath(FileName);
    TIniData d;
    d.Load(path);
    if (Section == nullptr) return CopyList(d.SectionNames(), Buffer, Size);
    const auto& builtin = BuiltinEntries(path, Section);
    if (Key == nullptr) {
        std::vector<std::string> keys;
        for (const auto& p : d.Pairs(Section)) keys.push_back(p.first);
        for (const auto& b : builtin)
            if (std::none_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameText(k, b.first); }))
                keys.push_back(b.first);
        return CopyList(keys, Buffer, Size);
    }
    std::string v;
    if (!d.Read(Section, Key, v)) {
        v = Default == nullptr ? "" : TrimIni(Default);
        for (const auto& b : builtin)
            if (SameText(b.first, TrimIni(Key))) v = b.second;
    }
    return CopyString(Unquote(v), Buffer, Size);
}

int WritePrivateProfileStringA(const char* Section, const char* Key, const char* Value, const char* FileName) {
    if (Section == nullptr) return 0;
    const std::string path = FileName == nullptr ? ProfileFileName() : ResolveProfilePath(FileName);
    try {
        TIniData d;
        d.Load(path);
        bool changed = true;
        if (Key == nullptr)
            changed = d.EraseSection(Section);
        else if (Value == nullptr)
            changed = d.DeleteKey(Section, Key);
        else
            d.Write(Section, Key, Value);
        if (changed) d.Save(path);
        return 1;
    } catch (const Exception&) {
        return 0;
    }
}

unsigned GetPrivateProfileIntA(const char* Section, const char* Key, int Default, const char* FileName) {
    char buf[64];
    GetPrivateProfileStringA(Section, Key, "", buf, sizeof buf, FileName);
    // The leading digits count, as the system reads them.
    const char* p = buf;
    while (*p == ' ' || *p == '\t') ++p;
    bool neg = *p == '-';
    if (neg || *p == '+') ++p;
    if (*p < '0' || *p > '9') return static_cast<unsigned>(Default);
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9' && v < (int64_t{1} << 40); ++p) v = v * 10 + (*p - '0');
    return static_cast<unsigned>(neg ? -v : v);
}

uint32_t GetProfileStringA(const char* Section, const char* Key, const char* Default, char* Buffer, uint32_t Size) {
    return GetPrivateProfileStringA(Section, Key, Default, Buffer, Size, nullptr);
}

int WriteProfileStringA(const char* Section, const char* Key, const char* Value) {
    return WritePrivateProfileStringA(Section, Key, Value, nullptr);
}

unsigned GetProfileIntA(const char* Section, const char* Key, int Default) {
    return GetPrivateProfileIntA(Section, Key, Default, nullptr);
}

std::string inifile::Roundtrip(const std::string& Bytes) {
    TIniData d;
    d.Parse(Bytes);
    return d.Text();
}

}  // namespace host
