// General routines that need no windows: string pieces and trimming, text replacing, file names and lists, temporary files, drives, show-window styles and class look-ups.
#include "frame/ryxutilf.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/object.h"

namespace fs = std::filesystem;

namespace ryx {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiUpperStr(std::string S) {
    for (char& c : S) c = AsciiUpper(c);
    return S;
}

// Position of FindStr in Source at or after From, with or without case.
size_t FindText(const std::string& Source, const std::string& FindStr, size_t From, bool MatchCase) {
    if (MatchCase) return Source.find(FindStr, From);
    // Upper-casing both keeps byte positions, as only ASCII letters change.
    return AsciiUpperStr(Source).find(AsciiUpperStr(FindStr), From);
}

std::string WithTrailingSlash(std::string P) {
    if (P.empty() || P.back() != '/') P += '/';
    return P;
}

}  // namespace

// ---- strings and lists ----

void ryxParseStringToList(const std::string& S, const std::string& Separator, host::TStrings* List,
                          bool AllowEmpty) {
    if (!List) throw host::EInvalidOperation("ryxParseStringToList: no list to append to");
    auto addPiece = [&](std::string Piece) {
        if (!Piece.empty() || AllowEmpty) List->Add(Piece);
    };
    if (Separator.empty()) {
        addPiece(S);
        return;
    }
    size_t start = 0;
    for (;;) {
        size_t pos = S.find(Separator, start);
        if (pos == std::string::npos) break;
        addPiece(S.substr(start, pos - start));
        start = pos + Separator.size();  // resume after the whole separator
    }
    addPiece(S.substr(start));
}

std::string ryxLTrim(const std::string& S) {
    size_t i = S.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : S.substr(i);
}

std::string ryxRTrim(const std::string& S) {
    size_t i = S.find_last_not_of(' ');
    return i == std::string::npos ? std::string() : S.substr(0, i + 1);
}

std::string ryxLRTrim(const std::string& S) { return ryxLTrim(ryxRTrim(S)); }

std::string ryxStripTrailingReturns(const std::string& S) {
    std::string R = S;
    for (;;) {
        if (R.size() >= 2 && R.compare(R.size() - 2, 2, "\r\n") == 0)
            R.resize(R.size() - 2);
        else if (!R.empty() && R.back() == '\n')
            R.pop_back();
        else
            break;
    }
    return R;
}

int ryxShorten(std::string& S, int N) {
    if (N < 0) return static_cast<int>(S.size());
    if (S.size() <= static_cast<size_t>(N)) {
        S.clear();
        return 0;
    }
    S.resize(S.size() - static_cast<size_t>(N));
    return static_cast<int>(S.size());
}

std::string ryxProperCase(const std::string& S) {
    std::string R = S;
    for (char& c : R) c = AsciiLower(c);
    for (size_t i = 0; i < R.size(); ++i)
        if (i == 0 || R[i - 1] == ' ') R[i] = AsciiUpper(R[i]);
    return R;
}

std::string ryxReplaceStr(const std::string& FindStr, const std::string& ReplaceWith, const std::string& Source,
                          bool MatchCase) {
    if (FindStr.empty()) return Source;
    size_t pos = FindText(Source, FindStr, 0, MatchCase);
    if (pos == std::string::npos) return Source;
    std::string R = Source;
    R.replace(pos, FindStr.size(), ReplaceWith);
    return R;
}

std::string ryxReplaceAllCount(const std::string& FindStr, const std::string& ReplaceWith,
                               const std::string& Source, bool MatchCase, int& Count) {
    Count = 0;
    if (FindStr.empty()) return Source;
    const std::string hay = MatchCase ? Source : AsciiUpperStr(Source);
    const std::string needle = MatchCase ? FindStr : AsciiUpperStr(FindStr);
    std::string R;
    size_t start = 0;
    for (;;) {
        size_t pos = hay.find(needle, start);
        if (pos == std::string::npos) break;
        R.append(Source, start, pos - start);
        R += ReplaceWith;
        start = pos + needle.size();
        ++Count;
    }
    R.append(Source, start, std::string::npos);
    return R;
}

std::string ryxReplaceAll(const std::string& FindStr, const std::string& ReplaceWith, const std::string& Source,
                          bool MatchCase) {
    int count = 0;
    return ryxReplaceAllCount(FindStr, ReplaceWith, Source, MatchCase, count);
}

bool ryxLastCharIs(const std::string& S, char C) { return !S.empty() && S.back() == C; }

bool ryxLastCharInSet(const std::string& S, const host::TSet<char>& Chars) {
    return !S.empty() && Chars.Contains(S.back());
}

// ---- file names ----

std::string ryxReplaceFileExt(const std::string& FileName, const std::string& NewExt) {
    size_t nameStart = FileName.find_last_of("\\/");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = FileName.find('.', nameStart);
    if (dot == std::string::npos) return FileName;
    return FileName.substr(0, dot) + NewExt;
}

std::string ryxFileNamePart(const std::string& FileName) {
    size_t nameStart = FileName.find_last_of("\\/:");
    std::string name = nameStart == std::string::npos ? FileName : FileName.substr(nameStart + 1);
    size_t dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ryxGetWinTempPath() {
    std::error_code ec;
    fs::path p = fs::temp_directory_path(ec);
    if (ec || p.empty()) p = "/tmp";
    return WithTrailingSlash(p.string());
}

std::string ryxGetWinTempFile() {
    std::string tmpl = ryxGetWinTempPath() + "ryxXXXXXX.tmp";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = ::mkstemps(buf.data(), 4);
    if (fd < 0)
        throw host::EFCreateError("Cannot create temporary file in " + ryxGetWinTempPath() + ": " +
                                  std::strerror(errno));
    ::close(fd);
    return std::string(buf.data());
}

void ryxGetOneFileSpec(const std::string& FileSpec, host::TStrings* List, bool FullPath) {
    size_t slash = FileSpec.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : FileSpec.substr(0, slash + 1);
    std::string mask = slash == std::string::npos ? FileSpec : FileSpec.substr(slash + 1);
    ryxGetFileNames(folder.empty() ? std::string(".") : folder, mask, List, FullPath);
}

void ryxGetFileNames(const std::string& Folder, const std::string& Masks, host::TStrings* List, bool FullPath) {
    if (!List) throw host::EInvalidOperation("ryxGetFileNames: no list to append to");
    std::vector<std::string> masks;
    size_t start = 0;
    for (;;) {
        size_t pos = Masks.find(';', start);
        std::string m = ryxLRTrim(Masks.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
        if (!m.empty()) masks.push_back(m == "*.*" ? "*" : m);
        if (pos == std::string::npos) break;
        start = pos + 1;
    }
    if (masks.empty()) masks.push_back("*");

    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(Folder.empty() ? "." : Folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (!it->is_regular_file(fec)) continue;
        std::string name = it->path().filename().string();
        for (const std::string& m : masks)
            if (::fnmatch(m.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
                names.push_back(name);
                break;
            }
    }
    std::sort(names.begin(), names.end());
    std::string prefix = FullPath ? WithTrailingSlash(Folder.empty() ? "." : Folder) : std::string();
    for (const std::string& n : names) List->Add(prefix + n);
}

// ---- drives ----

bool ryxDriveIsReadOnly(const std::string& Folder) {
    static std::atomic<unsigned> counter{0};
    std::string base = WithTrailingSlash(Folder.empty() ? "." : Folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = base + "ryx" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".tmp";
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(name.c_str());
            return false;
        }
        if (errno != EEXIST) return true;
    }
    return true;
}

int64_t ryxDriveFreeBytes(const std::string& Path) {
    struct statvfs st {};
    if (::statvfs(Path.empty() ? "." : Path.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
}

std::string ryxRunningFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return WithTrailingSlash(fs::current_path(ec).string());
    return WithTrailingSlash(exe.parent_path().string());
}

int64_t ryxRunningDriveFreeBytes() { return ryxDriveFreeBytes(ryxRunningFolder()); }

bool ryxRunningFromRODrive() { return ryxDriveIsReadOnly(ryxRunningFolder()); }

// ---- show-window styles ----

int ryxASWEnumToSW_CONST(TryxShowWindowStyle Style) {
    static constexpr int kCommands[] = {0, 3, 6, 9, 5, 10, 3, 2, 7, 8, 4, 1};
    int i = static_cast<int>(Style);
    if (i < 0 || i >= static_cast<int>(std::size(kCommands)))
        throw host::ERangeError("Show-window style out of range: " + std::to_string(i));
    return kCommands[i];
}

// ---- class look-ups ----

bool ryxDescendsFromClassByName(const host::TClassInfo* AClass, const std::string& ClassName) {
    for (const host::TClassInfo* c = AClass; c; c = c->ClassParent())
        if (c->ClassNameIs(ClassName)) return true;
    return false;
}

bool ryxDescendsFromClassByName(const host::TObject* Obj, const std::string& ClassName) {
    return Obj && ryxDescendsFromClassByName(Obj->ClassType(), ClassName);
}

}  // namespace ryx
