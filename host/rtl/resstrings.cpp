// The message catalogue: registration of resource strings, lookup of the text in force, language files.
#include "host/rtl/resstrings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// A text of the language in force with the number of the line it came from,
// so that of two lines for the same string (by identifier and by name) the
// later wins.
struct TLangText {
    int Line;
    std::string Text;
};

struct TLanguage {
    std::map<int, TLangText> ById;
    std::map<std::string, TLangText> ByName;  // names in upper case
    std::vector<int> Skipped;
    int Entries = 0;
};

struct TCatalogue {
    std::mutex Lock;
    std::vector<const TResStringRec*> Records;
    std::unique_ptr<TLanguage> Language;  // null when no language file is loaded
    std::string FileName;
};

// Constructed by the first record to register, so it outlives every record.
TCatalogue& Catalogue() {
    static TCatalogue catalogue;
    return catalogue;
}

std::string UpperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool SameNameNoCase(const char* a, const std::string& b) {
    size_t n = std::strlen(a);
    if (n != b.size()) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}

bool IsIdentifier(const std::string& s) {
    if (s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
    }
    return true;
}

bool Unescape(const std::string& In, std::string& Out) {
    Out.clear();
    Out.reserve(In.size());
    for (size_t i = 0; i < In.size(); ++i) {
        if (In[i] != '\\') {
            Out += In[i];
            continue;
        }
        if (++i >= In.size()) return false;
        switch (In[i]) {
            case 'n': Out += '\n'; break;
            case 't': Out += '\t'; break;
            case '\\': Out += '\\'; break;
            default: return false;
        }
    }
    return true;
}

std::unique_ptr<TLanguage> ParseLanguage(const std::string& Text) {
    auto lang = std::make_unique<TLanguage>();
    size_t pos = Text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int lineNo = 0;
    while (pos < Text.size()) {
        size_t end = Text.find('\n', pos);
        if (end == std::string::npos) end = Text.size();
        std::string line = Text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') continue;
        size_t eq = line.find('=');
        std::string key = eq == std::string::npos ? std::string() : line.substr(0, eq);
        size_t kb = key.find_first_not_of(" \t"), ke = key.find_last_not_of(" \t");
        key = kb == std::string::npos ? std::string() : key.substr(kb, ke - kb + 1);
        std::string text;
        if (key.empty() || !Unescape(line.substr(eq + 1), text)) {
            lang->Skipped.push_back(lineNo);
            continue;
        }
        if (std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            int id = key.size() <= 5 ? std::stoi(key) : 65536;
            if (id > 65535) {
                lang->Skipped.push_back(lineNo);
                continue;
            }
            lang->ById[id] = TLangText{lineNo, std::move(text)};
        } else if (IsIdentifier(key)) {
            lang->ByName[UpperAscii(key)] = TLangText{lineNo, std::move(text)};
        } else {
            lang->Skipped.push_back(lineNo);
            continue;
        }
        ++lang->Entries;
    }
    return lang;
}

// The language's text for a record, or nullptr. Call with the lock held.
const std::string* LanguageText(const TCatalogue& Cat, int Identifier, const char* Name) {
    if (!Cat.Language) return nullptr;
    const TLangText* best = nullptr;
    auto byId = Cat.Language->ById.find(Identifier);
    if (byId != Cat.Language->ById.end()) best = &byId->second;
    if (Name != nullptr) {
        auto byName = Cat.Language->ByName.find(UpperAscii(Name));
        if (byName != Cat.Language->ByName.end() && (!best || byName->second.Line > best->Line))
            best = &byName->second;
    }
    return best ? &best->Text : nullptr;
}

}  // namespace

TResStringRec::TResStringRec(const char* AName, int AIdentifier, const char* ADefault)
    : Name(AName ? AName : ""), Identifier(AIdentifier), Default(ADefault ? ADefault : "") {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    cat.Records.push_back(this);
}

TResStringRec::~TResStringRec() {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    auto it = std::find(cat.Records.begin(), cat.Records.end(), this);
    if (it != cat.Records.end()) cat.Records.erase(it);
}

std::string TResStringRec::Text() const { return LoadResString(*this); }

const std::vector<const TResStringRec*>& ResStringCatalogue() { return Catalogue().Records; }

const TResStringRec* FindResString(int Identifier) {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    for (const TResStringRec* r : cat.Records)
        if (r->Identifier == Identifier) return r;
    return nullptr;
}

const TResStringRec* FindResString(const std::string& Name) {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    for (const TResStringRec* r : cat.Records)
        if (SameNameNoCase(r->Name, Name)) return r;
    return nullptr;
}

std::vector<TResStringClash> ResStringClashes() {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    std::vector<TResStringClash> clashes;
    std::map<int, const TResStringRec*> byId;
    std::map<std::string, const TResStringRec*> byName;
    for (const TResStringRec* r : cat.Records) {
        auto [idIt, idNew] = byId.emplace(r->Identifier, r);
        if (!idNew) clashes.push_back(TResStringClash{idIt->second, r});
        auto [nameIt, nameNew] = byName.emplace(UpperAscii(r->Name), r);
        if (!nameNew && nameIt->second->Identifier != r->Identifier)
            clashes.push_back(TResStringClash{nameIt->second, r});
    }
    return clashes;
}

std::string LoadResString(const TResStringRec& Rec) {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    if (const std::string* text = LanguageText(cat, Rec.Identifier, Rec.Name)) return *text;
    return Rec.Default;
}

std::string LoadStr(int Identifier) {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    const TResStringRec* rec = nullptr;
    for (const TResStringRec* r : cat.Records)
        if (r->Identifier == Identifier) {
            rec = r;
            break;
        }
    if (const std::string* text = LanguageText(cat, Identifier, rec ? rec->Name : nullptr)) return *text;
    return rec ? rec->Default : std::string();
}

int LoadLanguageText(const std::string& Text, const std::string& SourceName) {
    std::unique_ptr<TLanguage> lang = ParseLanguage(Text);
    int entries = lang->Entries;
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    cat.Language = std::move(lang);
    cat.FileName = SourceName;
    return entries;
}

int LoadLanguageFile(const std::string& FileName) {
    std::string path = NormalizePath(FileName);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
    std::string text;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) text.append(buf, n);
    if (std::ferror(file.get()))
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
    return LoadLanguageText(text, FileName);
}

void UnloadLanguageFile() {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    cat.Language.reset();
    cat.FileName.clear();
}

std::string LanguageFileName() {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    return cat.FileName;
}

std::vector<int> LanguageFileSkippedLines() {
    TCatalogue& cat = Catalogue();
    std::lock_guard guard(cat.Lock);
    return cat.Language ? cat.Language->Skipped : std::vector<int>();
}

}  // namespace host
