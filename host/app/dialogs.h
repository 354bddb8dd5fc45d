// Message dialogs, message boxes and input queries: MessageDlg, MessageDlgPos, ShowMessage, MessageBoxA, InputQuery, InputBox.
#pragma once

#include <string>

#include "host/app/responders.h"
#include "host/gdi/gditypes.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {

class TForm;

HOST_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom);
HOST_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp);
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline const TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// Message box flags and results (the system's values).
inline constexpr unsigned MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
                          MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_CANCELTRYCONTINUE = 0x6, MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
                          MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40,
                          MB_ICONINFORMATION = 0x40, MB_USERICON = 0x80, MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
                          MB_DEFMASK = 0xF00;
inline constexpr unsigned MB_APPLMODAL = 0x0000, MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000, MB_HELP = 0x4000,
                          MB_NOFOCUS = 0x8000, MB_SETFOREGROUND = 0x10000, MB_DEFAULT_DESKTOP_ONLY = 0x20000,
                          MB_TOPMOST = 0x40000, MB_RIGHT = 0x80000, MB_RTLREADING = 0x100000;
inline constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7,
                     IDCLOSE = 8, IDHELP = 9, IDTRYAGAIN = 10, IDCONTINUE = 11;

// The captions of dialog types ("Warning", "Error", "Information", "Confirm";
// the application title for mtCustom) and of buttons ("&Yes", "&No", "OK",
// "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All",
// "&Help"), and the result each button gives.
std::string MsgDlgCaption(TMsgDlgType DlgType);
std::string MsgDlgButtonCaption(TMsgDlgBtn Button);
int MsgDlgButtonResult(TMsgDlgBtn Button);

// Builds the message form (not shown): the type's icon, the text laid out with
// DrawText, and the buttons in the order of TMsgDlgBtn, centred. The default
// button is OK, else Yes, else Retry... the first; the cancel button Cancel,
// else No, else OK. The caller owns the form.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// Shows a message dialog modally and returns the result of the button chosen
// (mrNone when it was closed otherwise). An empty button set shows OK.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// The same, with the dialog's top-left corner at (X, Y) on the screen (-1: centred).
int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
// An OK box titled with the application's title.
void ShowMessage(const std::string& Msg);
void ShowMessagePos(const std::string& Msg, int X, int Y);

// The system's message box: Type's low bits choose the buttons (MB_OK…), the
// icon and the default button; returns IDOK… A null caption shows "Error".
int MessageBoxA(HWND Owner, const char* Text, const char* Caption, unsigned Type);

// A dialog with a prompt and an edit holding Value; true (and the edit's text in
// Value) when OK was chosen, false (Value unchanged) otherwise.
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// InputQuery's text, or ADefault when cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);

}  // namespace host
