// Initialisation files: TCustomIniFile, TIniFile (each write on disk when the call returns), TMemIniFile, and the profile-string calls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/object.h"

namespace host {

class TStrings;

// The file format: "[Section]" lines, each followed by "Key=Value" lines. Section and
// key names compare without regard to ASCII case and are trimmed, values are trimmed;
// lines before the first section, comments (';' or '#'), blank lines and lines that are
// neither a section nor a key are kept as they are, as are the key order and the
// file's line ends (CR LF or LF). Where a section or key occurs twice, the first counts.
// A new key goes after the last key of its section; a new section at the end of the
// file after a blank line.
class TCustomIniFile : public TObject {
    HOST_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(const std::string& FileName) : FFileName(FileName) {}

    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
    // Decimal or "$"-hexadecimal text; anything else gives Default.
    virtual int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // An integer other than 0 is true; "1"/"0" are written.
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);
    virtual TDateTime ReadDate(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteDate(const std::string& Section, const std::string& Ident, TDateTime Value);
    virtual TDateTime ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value);
    virtual TDateTime ReadTime(const std::string& Section, const std::string& Ident, TDateTime Default);
    virtual void WriteTime(const std::string& Section, const std::string& Ident, TDateTime Value);

    // The section's key names, in file order (Strings is cleared first).
    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0;
    // The section names, in file order, each once.
    virtual void ReadSections(TStrings* Strings) = 0;
    // The section's "Key=Value" pairs.
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0;
    virtual bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    // Writes what is kept in memory (TMemIniFile); TIniFile has nothing pending.
    virtual void UpdateFile() = 0;

protected:
    std::string FFileName;
};

class TIniData;  // the parsed file (inifiles.cpp)

// An ini file read from and written to disk on every call: a change made by another
// object or process shows at the next call, and each write is on disk (through a
// temporary file renamed into place) when it returns. A file name without a directory
// names a file in the profile directory (ProfileDirectory()); a missing file or
// section is created on the first write, a missing directory too.
class TIniFile : public TCustomIniFile {
    HOST_CLASS(TIniFile, TCustomIniFile)
public:
    explicit TIniFile(const std::string& FileName);
    ~TIniFile() override;

    // The file actually read and written.
    const std::string& Path() const { return FPath; }

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override {}

private:
    std::string FPath;
    std::unique_ptr<TIniData> FData;
    struct TStamp {
        uint64_t Dev = 0, Ino = 0, Size = 0;
        int64_t MTimeNs = -1;
        bool operator==(const TStamp&) const = default;
    } FStamp;
    TIniData& Fresh();
    void Store();
};

// An ini file held in memory: read once when made, written by UpdateFile (atomically).
class TMemIniFile : public TCustomIniFile {
    HOST_CLASS(TMemIniFile, TCustomIniFile)
public:
    explicit TMemIniFile(const std::string& FileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    // Raises EIniFileException when the file cannot be written.
    void UpdateFile() override;

    void Clear();
    // The file's lines as they would be written; SetStrings replaces the contents.
    void GetStrings(TStrings* List);
    void SetStrings(TStrings* List);
    // Another file name; with Reload the contents are read from it.
    void Rename(const std::string& FileName, bool Reload);

private:
    std::unique_ptr<TIniData> FData;
};

// The profile directory: $RYX_PROFILE_DIR, else <configuration directory>/ryx.
std::string ProfileDirectory();
// The host's profile file (the system's own initialisation file): ProfileDirectory()/win.ini.
std::string ProfileFileName();

// The classic profile calls, over ProfileFileName() or the named file (a name without
// a directory is in ProfileDirectory()). Reading: a null Key lists the section's keys,
// a null Section the section names, each NUL-terminated with a final NUL; the result is
// the number of characters copied without the final NUL, Size - 1 (Size - 2 for lists)
// when the buffer was too small. Writing: a null Value deletes the key, a null Key the
// section; false when the file cannot be written. The "mci extensions" section answers
// from built-in entries (wav=waveaudio) for keys the file does not have.
uint32_t GetProfileStringA(const char* Section, const char* Key, const char* Default, char* Buffer, uint32_t Size);
int WriteProfileStringA(const char* Section, const char* Key, const char* Value);
unsigned GetProfileIntA(const char* Section, const char* Key, int Default);
uint32_t GetPrivateProfileStringA(const char* Section, const char* Key, const char* Default, char* Buffer,
                                  uint32_t Size, const char* FileName);
int WritePrivateProfileStringA(const char* Section, const char* Key, const char* Value, const char* FileName);
unsigned GetPrivateProfileIntA(const char* Section, const char* Key, int Default, const char* FileName);

namespace inifile {
// Parses Bytes as an ini file and writes it back: what the file classes would store
// after loading it. Used by the fuzz target; the result parses to itself.
std::string Roundtrip(const std::string& Bytes);
}  // namespace inifile

}  // namespace host
