// Tour step "app": a confirmation dialog shown without a responder, answered by its default button, logged, and written as dialog.png.
#include <fstream>
#include <stdexcept>
#include <string>

#include "host/app/app.h"
#include "host/app/dialogs.h"
#include "host/app/responders.h"
#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

void RunAppStep(ryxdemo::TTourContext& ctx) {
    Application->SetTitle("Ryx Demo");
    const std::string png = ctx.OutputFile("dialog.png").string();
    bool saved = false;
    // While the dialog is on screen (before its default answer is taken) it is
    // photographed.
    int cookie = AddDialogObserver([&](TDialogInfo& Info) {
        if (Info.Form != nullptr && Info.Form->HandleAllocated())
            saved = wintest::SaveWindowPng(Info.Form->Handle(), png);
    });
    size_t first = DialogLog().size();
    int result = MessageDlg("Post the changes made to the customer \"Ann Baker\" before closing the table?",
                            mtConfirmation, mbYesNoCancel, 0);
    RemoveDialogObserver(cookie);
    if (!saved) throw std::runtime_error("the message dialog could not be photographed");

    std::ofstream log(ctx.OutputFile("dialogs.txt"));
    for (size_t i = first; i < DialogLog().size(); ++i) {
        const TDialogRecord& r = DialogLog()[i];
        log << DialogKindName(r.Kind) << " \"" << r.Caption << "\": \"" << r.Text << "\" -> " << r.Result
            << (r.Answer == TDialogRecord::ByDefault ? " (default answer)" : "") << "\n";
    }
    ctx.Log("message dialog answered by default with " + std::to_string(result));
}

const ryxdemo::TTourStepRegistration reg(60, "app", "a message dialog answered by default, logged and photographed",
                                         RunAppStep);

}  // namespace
