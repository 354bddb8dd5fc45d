// Tests of message dialogs, message boxes, input queries and modal forms under the responders and the recorder.
#include <algorithm>
#include <string>
#include <vector>

#include "apptest.h"
#include "host/app/dialogs.h"
#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/windows/windows.h"

using namespace host;

namespace {

class DialogTest : public apptest::TAppFixture {};
class ResponderTest : public apptest::TAppFixture {};

TEST_F(DialogTest, MessageDlgShowsTypeCaptionTextAndButtonsInOrder) {
    TDialogResponder responder;
    responder.Expect(dkMessageDialog, "delete", [](TDialogInfo& Info) {
        EXPECT_NE(Info.Form, nullptr);
        EXPECT_TRUE(Info.HasButton("No"));
        Info.Click("&No");
        return mrNone;  // take what clicking set
    });
    EXPECT_EQ(MessageDlg("Delete the record?", mtConfirmation, mbYesNoCancel, 0), mrNo);
    ASSERT_EQ(responder.Shown().size(), 1u);
    const TDialogRecord& r = responder.Shown()[0];
    EXPECT_EQ(r.Caption, "Confirm");
    EXPECT_EQ(r.Text, "Delete the record?");
    EXPECT_EQ(r.Buttons, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
    EXPECT_EQ(r.DlgType, mtConfirmation);
    EXPECT_EQ(r.Result, mrNo);
    EXPECT_EQ(r.Answer, TDialogRecord::ByResponder);

    // Captions of the other types, every button, and the custom type's title.
    Application->SetTitle("Ledger");
    std::vector<std::string> captions;
    responder.Always([](const TDialogInfo&) { return true; },
                     [&](TDialogInfo& Info) {
                         captions.push_back(Info.Caption);
                         return mrOk;
                     });
    TMsgDlgButtons all{mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
    for (TMsgDlgType t : {mtWarning, mtError, mtInformation, mtCustom}) MessageDlg("x", t, all, 0);
    EXPECT_EQ(captions, (std::vector<std::string>{"Warning", "Error", "Information", "Ledger"}));
    EXPECT_EQ(responder.Shown().back().Buttons,
              (std::vector<std::string>{"&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All",
                                        "N&o to All", "Yes to &All", "&Help"}));
}

TEST_F(DialogTest, WithoutResponderDialogsTakeTheirDefaultAnswerAndAreLogged) {
    ASSERT_FALSE(ResponderInstalled());
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrYes);
    EXPECT_EQ(MessageDlg("Retry?", mtError, mbAbortRetryIgnore, 0), mrRetry);
    EXPECT_EQ(MessageDlg("Gone", mtWarning, TMsgDlgButtons{mbNo, mbCancel}, 0), mrNo);  // no default: the first
    EXPECT_EQ(MessageBoxA(nullptr, "Continue?", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
    std::string value = "keep";
    EXPECT_TRUE(InputQuery("Name", "Your name:", value));
    EXPECT_EQ(value, "keep");
    ShowMessage("Done");
    ASSERT_EQ(DialogLog().size(), 6u);
    EXPECT_EQ(DialogLog()[3].Caption, "Error");  // a null caption
    EXPECT_EQ(DialogLog()[3].Kind, dkMessageBox);
    EXPECT_EQ(DialogLog()[4].Kind, dkInputQuery);
    for (const auto& r : DialogLog()) EXPECT_EQ(r.Answer, TDialogRecord::ByDefault);
}

TEST_F(DialogTest, MessageBoxButtonsAndResults) {
    TDialogResponder responder;
    responder.Click("Retry").Click("Ignore").Answer(IDCANCEL).Click("Try Again");
    EXPECT_EQ(Application->MessageBox("Disk not ready", "Drive A", MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION), IDRETRY);
    EXPECT_EQ(Application->MessageBox("Disk not ready", "Drive A", MB_ABORTRETRYIGNORE), IDIGNORE);
    EXPECT_EQ(Application->MessageBox("Save?", "", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(Application->MessageBox("Again?", "x", MB_CANCELTRYCONTINUE), IDTRYAGAIN);
    EXPECT_EQ(responder.Shown()[0].Buttons, (std::vector<std::string>{"&Abort", "&Retry", "&Ignore"}));
    EXPECT_EQ(responder.Shown()[0].Caption, "Drive A");
    EXPECT_EQ(responder.Shown()[2].Caption, Application->Title());  // an empty caption takes the title
    EXPECT_EQ(responder.Shown()[2].Buttons, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
}

TEST_F(DialogTest, InputQueryValuesComeFromTheResponder) {
    TDialogResponder responder;
    responder
        .Expect(dkInputQuery, "Your name",
                [](TDialogInfo& Info) {
                    EXPECT_EQ((*Info.Values)[0], "Ann");
                    (*Info.Values)[0] = "Bob";
                    return mrOk;
                })
        .Click("Cancel")
        .Answer(mrCancel);
    std::string value = "Ann";
    EXPECT_TRUE(InputQuery("Name", "Your name:", value));
    EXPECT_EQ(value, "Bob");
    EXPECT_FALSE(InputQuery("Name", "Your name:", value));
    EXPECT_EQ(value, "Bob");
    EXPECT_EQ(responder.Shown()[0].Caption, "Name");
    EXPECT_EQ(responder.Shown()[0].Buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(InputBox("Name", "Your name:", "Zed"), "Zed");
}

TEST_F(DialogTest, MessageFormLooksLikeADialog) {
    TDialogResponder responder;
    uint32_t face = 0, background = 0;
    int inkPixels = 0;
    responder.Then([&](TDialogInfo& Info) {
        auto* form = Info.Form;
        TPixelImage shot;
        EXPECT_TRUE(wintest::CaptureWindow(form->Handle(), shot));
        // The button row: a raised button face at the OK button's centre.
        TControl* ok = form->FindChildControl("OK");
        EXPECT_NE(ok, nullptr);
        if (ok != nullptr) {
            TPoint c = ok->ClientToScreen(TPoint{5, ok->Height() / 2});
            TPoint fc = form->ScreenToClient(c);
            face = wintest::ClientPixel(form->Handle(), fc.x, fc.y);
        }
        background = wintest::ClientPixel(form->Handle(), 2, 2);
        // Dark text pixels in the message's line, none below it above the buttons.
        for (int x = 0; x < form->ClientWidth(); ++x)
            for (int y = 5; y < 40; ++y) inkPixels += wintest::ClientPixel(form->Handle(), x, y) == 0 ? 1 : 0;
        return mrOk;
    });
    ShowMessage("The report has been printed.");
    uint32_t btnFace = static_cast<uint32_t>(ColorToRGB(clBtnFace));
    EXPECT_EQ(background, btnFace);
    EXPECT_EQ(face, btnFace);
    EXPECT_GT(inkPixels, 50);
}

TEST_F(DialogTest, KeyboardAndMouseAnswerWhenTheResponderLeavesTheDialogOpen) {
    TDialogResponder responder;
    responder
        .Then([](TDialogInfo& Info) {
            // Press Escape: the cancel button answers.
            (void)Info;
            Input::Key(VK_ESCAPE);
            return mrNone;
        })
        .Then([](TDialogInfo& Info) {
            TControl* no = Info.Form->FindChildControl("No");
            TPoint c = no->ClientToScreen(TPoint{no->Width() / 2, no->Height() / 2});
            Input::Click(c.x, c.y);
            return mrNone;
        });
    EXPECT_EQ(MessageDlg("Quit?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
    EXPECT_EQ(MessageDlg("Quit?", mtConfirmation, mbYesNoCancel, 0), mrNo);
    ASSERT_EQ(responder.Shown().size(), 2u);
    EXPECT_EQ(responder.Shown()[1].Answer, TDialogRecord::ByLoop);
    EXPECT_EQ(responder.Shown()[1].Result, mrNo);
}

TEST_F(ResponderTest, UnexpectedDialogsFailTheTest) {
    {
        TDialogResponder responder;
        try {
            MessageDlg("Overwrite the file?", mtWarning, mbYesNoCancel, 0);
            ADD_FAILURE() << "an unexpected dialog must raise";
        } catch (EUnexpectedDialog& E) {
            EXPECT_NE(E.Message().find("Overwrite the file?"), std::string::npos);
            EXPECT_NE(E.Message().find("Warning"), std::string::npos);
        }
        ASSERT_EQ(responder.Shown().size(), 1u);
        EXPECT_EQ(responder.Shown()[0].Answer, TDialogRecord::Unexpected);

        // An expectation that does not match is unexpected too.
        responder.Expect(dkMessageBox, "Overwrite", mrYes);
        EXPECT_THROW(MessageDlg("Overwrite?", mtWarning, mbYesNoCancel, 0), EUnexpectedDialog);
        // Clicking a button the dialog lacks.
        responder.Click("Maybe");
        EXPECT_THROW(MessageDlg("Overwrite?", mtWarning, mbYesNoCancel, 0), EUnexpectedDialog);
        // The application's exception handling lets it through.
        try {
            throw EUnexpectedDialog("shown");
        } catch (...) {
            EXPECT_THROW(Application->HandleException(Application), EUnexpectedDialog);
        }
    }
    EXPECT_FALSE(ResponderInstalled());
}

TEST_F(ResponderTest, NestedRespondersAndQueues) {
    TDialogResponder outer;
    outer.Answer(mrNo);
    {
        TDialogResponder inner;
        inner.Answer(mrYes).Answer(mrCancel);
        EXPECT_EQ(MessageDlg("a", mtConfirmation, mbYesNoCancel, 0), mrYes);
        EXPECT_EQ(inner.Pending(), 1);
        EXPECT_EQ(outer.Pending(), 1);
    }
    EXPECT_EQ(MessageDlg("b", mtConfirmation, mbYesNoCancel, 0), mrNo);
    EXPECT_EQ(outer.Pending(), 0);
    EXPECT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(DialogLog().size(), 2u);

    // Observers see every dialog before it is answered.
    std::vector<std::string> seen;
    int cookie = AddDialogObserver([&](TDialogInfo& Info) { seen.push_back(Info.Text); });
    outer.Answer(mrOk);
    ShowMessage("c");
    RemoveDialogObserver(cookie);
    outer.Answer(mrOk);
    ShowMessage("d");
    EXPECT_EQ(seen, (std::vector<std::string>{"c"}));
}

TEST_F(ResponderTest, ModalFormsGoToTheResponder) {
    auto* form = new TForm(Application);
    form->SetName("CustomerDialog");
    form->SetCaption("Customer");
    TDialogResponder responder;
    responder.Expect(dkModalForm, "Customer", [&](TDialogInfo& Info) {
        EXPECT_EQ(Info.Form, form);
        EXPECT_EQ(Info.ClassName, "TForm");
        EXPECT_EQ(Info.Name, "CustomerDialog");
        form->SetModalResult(mrOk);  // what pressing its OK button does
        return mrNone;
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    ASSERT_EQ(responder.Shown().size(), 1u);
    EXPECT_EQ(responder.Shown()[0].Caption, "Customer");
    EXPECT_EQ(responder.Shown()[0].Result, mrOk);
    delete form;
}

}  // namespace

namespace {

// The black pixels of the message above the button row, as a bounding box.
struct TInk {
    int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
};
TInk MessageInk(TCustomForm* Form, int ButtonTop) {
    TInk ink;
    for (int y = 0; y < ButtonTop; ++y)
        for (int x = 0; x < Form->ClientWidth(); ++x)
            if (wintest::ClientPixel(Form->Handle(), x, y) == 0) {
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x);
                ink.Top = std::min(ink.Top, y);
                ink.Bottom = std::max(ink.Bottom, y);
            }
    return ink;
}

// The whole message lies inside the client area with its margins: a short one on
// one line ending before the right margin, a long one wrapped within half the
// screen's width.
TEST_F(DialogTest, TheWholeTextFitsInsideTheDialog) {
    TDialogResponder responder;
    std::vector<TInk> inks;
    std::vector<int> widths;
    responder.Always([](const TDialogInfo&) { return true; },
                     [&](TDialogInfo& Info) {
                         TControl* yes = Info.Form->FindChildControl("Yes");
                         inks.push_back(MessageInk(Info.Form, yes->Top()));
                         widths.push_back(Info.Form->ClientWidth());
                         return mrYes;
                     });
    MessageDlg("Post the changes made to the customer \"Ann Baker\" before closing the table?", mtConfirmation,
               mbYesNoCancel, 0);
    std::string longText;
    for (int i = 0; i < 12; ++i) longText += "The record was changed by another user since it was read. ";
    MessageDlg(longText, mtWarning, mbYesNoCancel, 0);
    ASSERT_EQ(inks.size(), 2u);
    for (size_t i = 0; i < inks.size(); ++i) {
        EXPECT_GE(inks[i].Left, 8) << i;
        EXPECT_LE(inks[i].Right, widths[i] - 8) << i;  // the right margin stays clear
        EXPECT_GE(inks[i].Top, 8) << i;
    }
    EXPECT_LT(inks[0].Bottom - inks[0].Top, 16);  // one line (the icon is not black)
    EXPECT_GT(inks[1].Bottom - inks[1].Top, 60);  // wrapped over several lines
    EXPECT_LE(widths[1], Screen->Width() / 2 + 32 + 60);
}

}  // namespace
