// A modal form tells the test responders which push buttons it shows, and clicking one by caption answers it.
#include <gtest/gtest.h>

#include "host/app/responders.h"
#include "host/controls/buttons.h"
#include "tests/host/controls/test_controls.h"

namespace {

using namespace host;

class ModalButtonsTest : public ctltest::ControlsTest {};

TButton* AddButton(TForm* Form, const std::string& Caption, int Left, int Top, int Result) {
    auto* b = new TButton(Form);
    b->SetParent(Form);
    b->SetBounds(Left, Top, 75, 25);
    b->SetCaption(Caption);
    b->SetModalResult(Result);
    return b;
}

TEST_F(ModalButtonsTest, ResponderSeesPushButtonsInReadingOrderAndClicksOneByCaption) {
    TForm form(nullptr);
    form.SetCaption("Question");
    form.SetBounds(40, 40, 320, 200);
    // Made out of reading order on purpose: the list follows positions, not creation.
    AddButton(&form, "Cancel", 180, 150, mrCancel);
    AddButton(&form, "&OK", 90, 150, mrOk);
    AddButton(&form, "&Help", 10, 10, mrNone);
    AddButton(&form, "Hidden", 10, 60, mrAbort)->SetVisible(false);
    auto* check = new TCheckBox(&form);
    check->SetParent(&form);
    check->SetBounds(10, 100, 120, 20);
    check->SetCaption("Not a push button");

    std::vector<std::string> seen;
    TDialogResponder responder;
    responder.Then([&](TDialogInfo& Info) {
        seen = Info.Buttons;
        EXPECT_TRUE(Info.HasButton("ok"));
        EXPECT_FALSE(Info.HasButton("Hidden"));
        Info.Click("OK");
        return Info.CurrentResult();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(seen, (std::vector<std::string>{"&Help", "&OK", "Cancel"}));
}

}  // namespace
