// Shell execution: opening, exploring and printing files and addresses through the desktop's handler, each target passed as one argument.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/gdi/gditypes.h"

namespace host {

class TProcess;

// Mask flags of ShellExecuteExA (the system's values).
inline constexpr uint32_t SEE_MASK_CLASSNAME = 0x1, SEE_MASK_CLASSKEY = 0x3, SEE_MASK_IDLIST = 0x4,
                          SEE_MASK_INVOKEIDLIST = 0xC, SEE_MASK_ICON = 0x10, SEE_MASK_HOTKEY = 0x20,
                          SEE_MASK_NOCLOSEPROCESS = 0x40, SEE_MASK_CONNECTNETDRV = 0x80,
                          SEE_MASK_FLAG_DDEWAIT = 0x100, SEE_MASK_DOENVSUBST = 0x200,
                          SEE_MASK_FLAG_NO_UI = 0x400, SEE_MASK_UNICODE = 0x4000;

// Results below 32 are failures (the system's codes).
inline constexpr int SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_OOM = 8,
                     SE_ERR_NOASSOC = 31;

// What the shell calls do for each verb:
//  - "open" (or no verb) of a regular executable file: runs it, with Parameters
//    split as a command line into further arguments;
//  - "open" of anything else (a document, a folder, an address): the desktop
//    opener `xdg-open` with File as its one argument;
//  - "explore": `xdg-open` on the folder File;
//  - "print": the spooler command `lp` with File as its one argument.
// Nothing ever passes through a shell command line, so blanks, quotes, ';', '&'
// and '$' in File reach the program unchanged. The programs are looked up on PATH
// when the call is made. Directory (when given) is the started program's working
// folder. Returns a value above 32 on success, else SE_ERR_FNF (no such file, or
// the helper program is missing), SE_ERR_NOASSOC (an unknown verb) or
// SE_ERR_ACCESSDENIED. ShowCmd is accepted for compatibility; programs started
// here choose their own window state.
intptr_t ShellExecuteA(HWND Wnd, const char* Verb, const char* File, const char* Parameters, const char* Directory,
                       int ShowCmd);

struct SHELLEXECUTEINFOA {
    uint32_t cbSize = sizeof(SHELLEXECUTEINFOA);
    uint32_t fMask = 0;
    HWND hwnd = nullptr;
    const char* lpVerb = nullptr;
    const char* lpFile = nullptr;
    const char* lpParameters = nullptr;
    const char* lpDirectory = nullptr;
    int nShow = 1;
    intptr_t hInstApp = 0;  // the ShellExecuteA result
    // With SEE_MASK_NOCLOSEPROCESS, the started process (the caller owns it);
    // otherwise the handle is released at once.
    std::unique_ptr<TProcess> hProcess;
};
// As ShellExecuteA; TRUE on success, with hInstApp and (when asked) hProcess set.
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* Info);

// Opens an address in the desktop's browser: `xdg-open` with URL as one
// argument. True when the opener started.
bool OpenURL(const std::string& URL);

}  // namespace host
