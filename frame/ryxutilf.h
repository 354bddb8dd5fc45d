// General routines that need no windows: string pieces and trimming, text replacing, file names and lists, temporary files, drives, show-window styles and class look-ups.
#pragma once

#include <cstdint>
#include <string>

#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {
class TStrings;
class TObject;
struct TClassInfo;
}  // namespace host

namespace ryx {

// ---- strings and lists ----

// Appends to List (never clears it) each piece of S between occurrences of
// Separator, left to right, and the rest after the last one. The scan resumes
// after the whole separator, so separators of any length work. An empty piece
// is appended only when AllowEmpty (an empty S then gives one empty string).
// An empty Separator appends S as one piece.
void ryxParseStringToList(const std::string& S, const std::string& Separator, host::TStrings* List,
                          bool AllowEmpty);

// Remove leading, trailing or both leading and trailing blanks (the space character only).
std::string ryxLTrim(const std::string& S);
std::string ryxRTrim(const std::string& S);
std::string ryxLRTrim(const std::string& S);

// Removes every trailing line end: carriage-return/line-feed pairs and the
// bare line feeds of this platform's text files.
std::string ryxStripTrailingReturns(const std::string& S);

// Removes the last N characters of S and returns the new length; when S has N
// or fewer characters it becomes empty and 0 is returned. A negative N leaves
// S unchanged and returns its length.
int ryxShorten(std::string& S, int N);

// Lower-cases everything, then upper-cases each letter a..z that starts the
// string or follows a blank; no other character starts a new word.
std::string ryxProperCase(const std::string& S);

// Source with its first occurrence of FindStr replaced by ReplaceWith (compared
// without regard to ASCII case when MatchCase is false); Source unchanged when
// there is none or FindStr is empty.
std::string ryxReplaceStr(const std::string& FindStr, const std::string& ReplaceWith, const std::string& Source,
                          bool MatchCase);
// Every occurrence, left to right, not rescanning replaced text.
std::string ryxReplaceAll(const std::string& FindStr, const std::string& ReplaceWith, const std::string& Source,
                          bool MatchCase);
// As ryxReplaceAll; Count receives the number of replacements made.
std::string ryxReplaceAllCount(const std::string& FindStr, const std::string& ReplaceWith,
                               const std::string& Source, bool MatchCase, int& Count);

// Whether S is not empty and its last character is C, or is in Chars.
bool ryxLastCharIs(const std::string& S, char C);
bool ryxLastCharInSet(const std::string& S, const host::TSet<char>& Chars);

// ---- file names ----

// Replaces the extension of the last path component (both "\" and "/"
// separate components) by NewExt, which carries its own dot (".INI"). The
// extension starts at the first "." of that component; a component without
// one is returned unchanged, with no extension added. A dot in a folder name
// never counts, so a dotted folder cannot turn the path into another file.
std::string ryxReplaceFileExt(const std::string& FileName, const std::string& NewExt);

// The file-name part of the path up to its first ".".
std::string ryxFileNamePart(const std::string& FileName);

// The host's temporary folder, with a trailing "/".
std::string ryxGetWinTempPath();
// Creates an empty file with a unique name in the temporary folder and returns
// its full name; raises EFCreateError when it cannot.
std::string ryxGetWinTempFile();

// Appends to List the names of the regular files of Folder matching any of the
// masks in Masks (wildcards "*" and "?", case-insensitive, several masks
// separated by ";"), sorted by name. With FullPath the names carry the folder.
void ryxGetFileNames(const std::string& Folder, const std::string& Masks, host::TStrings* List,
                     bool FullPath = false);
// The same for one folder-and-mask spec such as "/data/*.txt" (a spec without
// a folder looks in the current folder).
void ryxGetOneFileSpec(const std::string& FileSpec, host::TStrings* List, bool FullPath = false);

// ---- drives ----

// Whether files cannot be created in Folder: tries to create and delete a
// ".tmp" file there.
bool ryxDriveIsReadOnly(const std::string& Folder);
// Bytes free for this user on the file system holding Path; -1 when it cannot be queried.
int64_t ryxDriveFreeBytes(const std::string& Path);
// The same for the folder of the running program.
int64_t ryxRunningDriveFreeBytes();
bool ryxRunningFromRODrive();
// The folder of the running program, with a trailing "/".
std::string ryxRunningFolder();

// ---- show-window styles ----

HOST_ENUM(TryxShowWindowStyle, rswHide, rswMaximize, rswMinimize, rswRestore, rswShow, rswShowDefault,
          rswShowMaximized, rswShowMinimized, rswShowMinNoActivate, rswShowNA, rswShowNoActivate, rswShowNormal);

// The Win32 show command of a style.
int ryxASWEnumToSW_CONST(TryxShowWindowStyle Style);

// ---- class look-ups ----

// Whether AClass or one of its ancestors is named ClassName (case-insensitive).
bool ryxDescendsFromClassByName(const host::TClassInfo* AClass, const std::string& ClassName);
bool ryxDescendsFromClassByName(const host::TObject* Obj, const std::string& ClassName);

}  // namespace ryx
