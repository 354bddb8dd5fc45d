// Dialog responders and the dialog recorder: every modal form, message dialog, system dialog and popup menu is offered to the test's responder first.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/rtl/exceptions.h"

namespace host {

class TObject;
class TCustomForm;

// What kind of dialog is being shown.
enum TDialogKind {
    dkModalForm,      // a form shown with ShowModal
    dkMessageDialog,  // MessageDlg, MessageDlgPos, ShowMessage
    dkMessageBox,     // Application->MessageBox, ShowException
    dkInputQuery,     // InputQuery, InputBox
    dkOpenDialog,     // file dialogs and other system dialogs
    dkSaveDialog,
    dkSystemDialog,
    dkPopupMenu,
};
const char* DialogKindName(TDialogKind Kind);

// A dialog about to be shown: what the person would see, the objects behind it,
// and the hooks with which a responder acts on it.
struct TDialogInfo {
    TDialogKind Kind = dkModalForm;
    std::string ClassName;              // the form's class ("TMessageForm", "TAboutBox", ...)
    std::string Name;                   // the form's component name
    std::string Caption;                // the title bar
    std::string Text;                   // the message (message dialogs, boxes, the prompt of a query)
    std::vector<std::string> Buttons;   // button captions as shown ("&Yes", "OK"), left to right
    int DlgType = -1;                   // a message dialog's TMsgDlgType
    unsigned Flags = 0;                 // a message box's MB_* flags; a system dialog's options
    int HelpCtx = 0;
    TCustomForm* Form = nullptr;        // the form on screen, when there is one
    TObject* Object = nullptr;          // the dialog or menu component, when there is one
    // Values the responder may change: the edit of an input query, a file dialog's
    // file names. Null when the dialog has none.
    std::vector<std::string>* Values = nullptr;
    // Results are modal results (mrOk … of host/controls/controls.h).
    int DefaultResult = 2;  // the answer without a responder (mrCancel)
    int Result = 0;         // the answer, once settled (mrNone until then)

    // Set by whoever shows the dialog: clicks the button whose caption matches
    // (ignoring '&' and case) and returns false when there is none; and reads the
    // result that clicking has set so far.
    std::function<bool(const std::string& Caption)> ClickButton;
    std::function<int()> CurrentResult;

    // A modal form: kind, class, name and caption from the form; if a description
    // was registered for the form (DescribeModalForm), that description instead.
    static TDialogInfo ForForm(TCustomForm* Form);

    // Clicks a button by caption; raises EUnexpectedDialog when the dialog has no
    // such button.
    void Click(const std::string& Caption);
    bool HasButton(const std::string& Caption) const;
    // One line for logs and failure messages: kind, caption, text and buttons.
    std::string Summary() const;
};

// What was shown and how it was answered.
struct TDialogRecord {
    TDialogKind Kind = dkModalForm;
    std::string ClassName, Name, Caption, Text;
    std::vector<std::string> Buttons;
    int DlgType = -1;
    unsigned Flags = 0;
    int Result = 0;
    enum TAnswer { ByResponder, ByDefault, ByLoop, Unexpected } Answer = ByDefault;
};

// A dialog appeared that the installed responder did not expect, or a responder
// clicked a button the dialog does not have. The test sees it: the application's
// exception handling never swallows it.
HOST_DECLARE_EXCEPTION(EUnexpectedDialog, Exception)

// A handler answers one dialog: it may change Values, click buttons with
// Info.Click(...), or look at Info.Form; it returns the result, or mrNone to
// take what clicking set (and, when nothing was set, to let the dialog's own
// loop run, driven by the input simulator).
using TDialogHandler = std::function<int(TDialogInfo& Info)>;
using TDialogMatch = std::function<bool(const TDialogInfo& Info)>;

// A test's responder, installed for the life of the object (scopes nest: the
// innermost answers). Queued answers are used in order, one per dialog; standing
// rules (Always) answer any number of matching dialogs once the queue has none
// for them. A dialog that neither answers fails with EUnexpectedDialog.
class TDialogResponder {
public:
    TDialogResponder();
    ~TDialogResponder();
    TDialogResponder(const TDialogResponder&) = delete;
    TDialogResponder& operator=(const TDialogResponder&) = delete;

    // The next dialog returns Result.
    TDialogResponder& Answer(int Result);
    // The next dialog: click the button with this caption ("Yes", "&Yes", "OK").
    TDialogResponder& Click(const std::string& ButtonCaption);
    // The next dialog is answered by Handler.
    TDialogResponder& Then(TDialogHandler Handler);
    // The next dialog must be of Kind and its text (or, for forms, its caption or
    // class name) must contain TextPart; anything else is unexpected.
    TDialogResponder& Expect(TDialogKind Kind, const std::string& TextPart, TDialogHandler Handler);
    TDialogResponder& Expect(TDialogKind Kind, const std::string& TextPart, int Result);
    // Any number of dialogs that Match accepts are answered by Handler.
    TDialogResponder& Always(TDialogMatch Match, TDialogHandler Handler);
    // Every dialog takes its default answer (a responder that only records).
    TDialogResponder& AcceptDefaults();

    // What was shown while this responder was installed, in order.
    const std::vector<TDialogRecord>& Shown() const { return FShown; }
    // Queued answers not used yet.
    int Pending() const;

private:
    friend bool RespondToDialog(TDialogInfo& Info);
    friend void DialogLoopFinished(const TDialogInfo& Info, int Result);
    struct TRule;
    std::vector<std::unique_ptr<TRule>> FQueue;
    std::vector<std::unique_ptr<TRule>> FRules;
    size_t FNext = 0;
    std::vector<TDialogRecord> FShown;
    TDialogResponder* FPrevious = nullptr;
};

// Called by everything that shows a dialog, before its loop runs. Returns true
// when the dialog is settled (Info.Result holds the answer: the handler's result,
// else what clicking set, else — without a responder on a non-interactive
// host — Info.DefaultResult); false when the dialog's own loop must run. Records
// the dialog, tells the observers, and raises EUnexpectedDialog for a dialog the
// installed responder does not expect.
bool RespondToDialog(TDialogInfo& Info);
// Records the end of a dialog whose loop ran (RespondToDialog returned false).
void DialogLoopFinished(const TDialogInfo& Info, int Result);
bool ResponderInstalled();

// Without a responder, dialogs take their default answer (and are logged) unless
// the host is interactive (a real display): then their loops run for a person.
void SetInteractiveDialogs(bool Value);
bool InteractiveDialogs();

// Lets the code that shows a modal form describe it better than its form does
// (a message dialog: kind, text, buttons and clicking). Forgotten when the form
// is closed by ForgetModalForm.
void DescribeModalForm(TCustomForm* Form, const TDialogInfo& Description);
void ForgetModalForm(TCustomForm* Form);

// Every dialog shown since start-up or ClearDialogLog, with its answer.
const std::vector<TDialogRecord>& DialogLog();
void ClearDialogLog();
// Observers see each dialog after it is shown and before it is answered (the
// demo's screenshots, a log printer). Returns a cookie for RemoveDialogObserver.
int AddDialogObserver(std::function<void(TDialogInfo& Info)> Observer);
void RemoveDialogObserver(int Cookie);

}  // namespace host
