// The message catalogue: resource strings with identifiers and default texts, replaceable by a language file.
#pragma once

#include <string>
#include <vector>

namespace host {

// A resource string. Declare it in a header as
//   extern const host::TResStringRec _sryxSomething;
// and define it once with its name, identifier and English text:
//   const host::TResStringRec _sryxSomething{"_sryxSomething", 65200, "Text"};
// The record enters the catalogue when it is constructed (at static
// initialisation) and leaves it when destroyed. The text in force is read each
// time it is asked for, so a language file loaded later applies at once.
class TResStringRec {
public:
    TResStringRec(const char* AName, int AIdentifier, const char* ADefault);
    ~TResStringRec();
    TResStringRec(const TResStringRec&) = delete;
    TResStringRec& operator=(const TResStringRec&) = delete;

    const char* const Name;
    const int Identifier;
    const char* const Default;

    // The text in force (LoadResString).
    std::string Text() const;
    operator std::string() const { return Text(); }
};

// Every record, in the order they were registered.
const std::vector<const TResStringRec*>& ResStringCatalogue();
// The first record registered with that identifier, or with that name (ASCII
// case ignored); nullptr when there is none.
const TResStringRec* FindResString(int Identifier);
const TResStringRec* FindResString(const std::string& Name);
// Pairs of records that share an identifier or a name; empty in a sound catalogue.
struct TResStringClash {
    const TResStringRec* First;
    const TResStringRec* Second;
};
std::vector<TResStringClash> ResStringClashes();

// The text in force: the language file's text for the record's identifier or
// name when it has one, else the record's default.
std::string LoadResString(const TResStringRec& Rec);
// The text in force for an identifier: the language file's, else that of the
// first record with the identifier, else "".
std::string LoadStr(int Identifier);

// Language files are UTF-8 text, one entry a line: "<identifier>=<text>" or
// "<name>=<text>". In the text "\n", "\t" and "\\" stand for a line break, a tab
// and a backslash; everything after the first '=' is the text, blanks included.
// Blank lines and lines starting with ';' are ignored; a line without '=', with a
// key that is neither a number from 0 to 65535 nor a name, or with an unknown
// escape is skipped. When a key appears twice the later line wins.
//
// LoadLanguageFile replaces the texts in force with the file's and returns the
// number of entries taken; a file that cannot be read raises EFOpenError and
// changes nothing. LoadLanguageText does the same from text in memory.
int LoadLanguageFile(const std::string& FileName);
int LoadLanguageText(const std::string& Text, const std::string& SourceName = std::string());
// Back to the default texts.
void UnloadLanguageFile();
// The file in force ("" when none) and the 1-based numbers of the lines it skipped.
std::string LanguageFileName();
std::vector<int> LanguageFileSkippedLines();

}  // namespace host
