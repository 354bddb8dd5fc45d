// Tour step "frame": the package's about box and message box photographed while on screen, and the large-bitmap form read from its resource.
#include <fstream>
#include <string>

#include "frame/ryxfblot.h"
#include "frame/ryxutil.h"
#include "host/app/app.h"
#include "host/app/responders.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

// Runs Show (a modal box), photographing the box into Name while it is on screen;
// the box then takes its default answer. Returns the box's result.
int PhotographModal(ryxdemo::TTourContext& Ctx, const std::string& Name, const std::function<int()>& Show,
                    std::string& Buttons) {
    const std::string png = Ctx.OutputFile(Name).string();
    bool saved = false;
    int cookie = AddDialogObserver([&](TDialogInfo& Info) {
        if (Info.Form != nullptr && Info.Form->HandleAllocated()) saved = wintest::SaveWindowPng(Info.Form->Handle(), png);
        for (const std::string& b : Info.Buttons) Buttons += (Buttons.empty() ? "" : ", ") + b;
    });
    int result = 0;
    try {
        result = Show();
    } catch (...) {
        RemoveDialogObserver(cookie);
        throw;
    }
    RemoveDialogObserver(cookie);
    if (!saved) throw EInvalidOperation("Cannot photograph " + Name);
    return result;
}

void RunFrame(ryxdemo::TTourContext& Ctx) {
    Application->SetTitle("Ryx Demo");
    std::ofstream log(Ctx.OutputFile("frame.txt"), std::ios::binary);

    ryx::TryxWinAbout about(nullptr);
    about.Lines()->Add("A component library for desktop database applications");
    about.Lines()->Add("Version 0.1");
    std::string buttons;
    int r = PhotographModal(Ctx, "about.png", [&] { return about.Show(); }, buttons);
    log << "about box: buttons [" << buttons << "], answered " << r << "\n";

    ryx::TryxWinMsgBox box(nullptr);
    box.Lines()->Add("Save the changes to the customer table?");
    box.SetButtons(ryx::wmbYesNoCancel);
    box.SetMsgType(mtConfirmation);
    buttons.clear();
    r = PhotographModal(Ctx, "msgbox.png", [&] { return box.Show(); }, buttons);
    log << "message box: flags " << box.Flags() << ", answered " << r << "\n";

    // A form whose whole content (page control, tab sheet, two large pictures) comes
    // from its form resource.
    auto* blo = new ryx::TryxsfBLOControl(Application);
    try {
        blo->Show();
        UpdateAllWindows();
        if (!wintest::SaveWindowPng(blo->Handle(), Ctx.OutputFile("bitmaps_form.png").string()))
            throw EInvalidOperation("Cannot write bitmaps_form.png");
        log << "large-bitmap form: " << blo->ComponentCount() << " components from its resource\n";
    } catch (...) {
        delete blo;
        throw;
    }
    delete blo;
}

const ryxdemo::TTourStepRegistration reg(30, "frame",
                                         "the about box and message box of the package, and a form read whole from "
                                         "its resource",
                                         &RunFrame);

}  // namespace
