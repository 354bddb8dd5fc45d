// Tests of TScreen: forms lists, active form and control tracking with the order of its events, cursors, monitors and fonts.
#include <string>
#include <vector>

#include "apptest.h"
#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/rtl/lists.h"
#include "host/windows/windows.h"

using namespace host;

namespace {

class ScreenTest : public apptest::TAppFixture {};

// A focusable windowed control that takes the focus when clicked, as an edit does.
class TBox : public TCustomControl {
public:
    explicit TBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        SetFocus();
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
};

TForm* MakeForm(const std::string& Name, int Left, TBox*& A, TBox*& B) {
    auto* form = new TForm(Application);
    form->SetName(Name);
    form->SetBounds(Left, 10, 300, 200);
    A = new TBox(form);
    A->SetParent(form);
    A->SetBounds(10, 10, 80, 24);
    B = new TBox(form);
    B->SetParent(form);
    B->SetBounds(10, 50, 80, 24);
    form->Show();
    return form;
}

TEST_F(ScreenTest, FocusMovesRaiseFormChangeBeforeControlChange) {
    std::vector<std::string> log;
    Screen->OnActiveFormChange = TNotifyEvent([&](TObject* Sender) {
        EXPECT_EQ(Sender, Screen);
        log.push_back("form:" + (Screen->ActiveForm() ? Screen->ActiveForm()->Name() : std::string("-")));
    });
    Screen->OnActiveControlChange = TNotifyEvent([&](TObject*) {
        log.push_back("control:" + (Screen->ActiveControl() ? Screen->ActiveControl()->Name() : std::string("-")));
    });
    TBox *a1, *b1, *a2, *b2;
    TForm* f1 = MakeForm("First", 10, a1, b1);
    a1->SetName("A1");
    b1->SetName("B1");
    TForm* f2 = MakeForm("Second", 400, a2, b2);
    a2->SetName("A2");
    b2->SetName("B2");

    a1->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(Screen->ActiveForm(), f1);
    EXPECT_EQ(Screen->ActiveCustomForm(), f1);
    EXPECT_EQ(Screen->ActiveControl(), a1);
    log.clear();

    // Within the form: only the control changes.
    b1->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"control:B1"}));

    // To another form: the form change first, and it already sees the new form.
    log.clear();
    b2->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"form:Second", "control:B2"}));
    EXPECT_EQ(Screen->Forms(0), f2);  // the active form comes first
    EXPECT_EQ(Screen->CustomForms(0), f2);

    // By the mouse: clicking a control of the first form activates the form,
    // which gives the focus back to its last active control, then the clicked
    // control takes it.
    log.clear();
    TPoint p = a1->ClientToScreen(TPoint{5, 5});
    Input::Click(p.x, p.y);
    Input::ProcessAll();
    EXPECT_EQ(Screen->ActiveControl(), a1);
    EXPECT_EQ(log, (std::vector<std::string>{"form:First", "control:B1", "control:A1"}));

    // A destroyed active control or form is forgotten.
    delete f1;
    EXPECT_NE(Screen->ActiveControl(), a1);
    EXPECT_NE(Screen->ActiveForm(), f1);
    delete f2;
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

TEST_F(ScreenTest, FormsAndDataModulesAreListed) {
    int before = Screen->FormCount();
    auto* f = new TForm(Application);
    auto* g = new TForm(Application);
    EXPECT_EQ(Screen->FormCount(), before + 2);
    EXPECT_EQ(Screen->CustomFormCount(), before + 2);
    EXPECT_EQ(Screen->Forms(before), f);
    EXPECT_EQ(Screen->Forms(before + 1), g);
    EXPECT_THROW(Screen->Forms(before + 2), EListError);
    auto* dm = new TDataModule(Application);
    EXPECT_EQ(Screen->DataModuleCount(), 1);
    EXPECT_EQ(Screen->DataModules(0), dm);
    delete f;
    delete dm;
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(Screen->Forms(before), g);
    EXPECT_EQ(Screen->DataModuleCount(), 0);
}

TEST_F(ScreenTest, CursorsAreTheSystemOnesAndTheApplications) {
    EXPECT_EQ(Screen->Cursors(crDefault), LoadCursorA(0, IDC_ARROW));
    EXPECT_EQ(Screen->Cursors(crIBeam), LoadCursorA(0, IDC_IBEAM));
    EXPECT_EQ(Screen->Cursors(crHourGlass), LoadCursorA(0, IDC_WAIT));
    EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursorA(0, IDC_HAND));
    EXPECT_EQ(Screen->Cursors(crSizeNS), LoadCursorA(0, IDC_SIZENS));
    EXPECT_EQ(Screen->Cursors(crNone), nullptr);
    EXPECT_EQ(Screen->Cursors(77), Screen->Cursors(crDefault));  // unknown: the default

    unsigned char andPlane[32 * 4] = {}, xorPlane[32 * 4] = {};
    HCURSOR mine = CreateCursor(0, 1, 1, 32, 32, andPlane, xorPlane);
    ASSERT_NE(mine, nullptr);
    Screen->SetCursors(5, mine);
    EXPECT_EQ(Screen->Cursors(5), mine);
    Screen->SetCursors(5, nullptr);
    EXPECT_EQ(Screen->Cursors(5), Screen->Cursors(crDefault));

    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    EXPECT_EQ(GetCursor(), LoadCursorA(0, IDC_WAIT));
    Screen->SetCursor(crDefault);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(ScreenTest, SizeMonitorsAndFonts) {
    wintest::SetMonitors({{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 984}, true},
                          {RECT{1280, 0, 2304, 768}, RECT{1280, 0, 2304, 768}, false}});
    EXPECT_EQ(Screen->Width(), 1280);
    EXPECT_EQ(Screen->Height(), 1024);
    EXPECT_EQ(Screen->DesktopRect(), (TRect{0, 0, 2304, 1024}));
    EXPECT_EQ(Screen->WorkAreaRect(), (TRect{0, 0, 1280, 984}));
    ASSERT_EQ(Screen->MonitorCount(), 2);
    EXPECT_TRUE(Screen->Monitors(0)->Primary());
    EXPECT_FALSE(Screen->Monitors(1)->Primary());
    EXPECT_EQ(Screen->Monitors(1)->BoundsRect(), (TRect{1280, 0, 2304, 768}));
    EXPECT_EQ(Screen->Monitors(1)->Width(), 1024);
    EXPECT_EQ(Screen->MonitorFromPoint(TPoint{1500, 100}), Screen->Monitors(1));
    TMonitor* kept = Screen->Monitors(0);
    EXPECT_EQ(Screen->MonitorCount(), 2);
    EXPECT_EQ(Screen->Monitors(0), kept);  // stable while the desktop does not change
    EXPECT_THROW(Screen->Monitors(2), EListError);

    TStrings* fonts = Screen->Fonts();
    ASSERT_GT(fonts->Count(), 0);
    for (int i = 1; i < fonts->Count(); ++i) EXPECT_LT(fonts->Strings(i - 1), fonts->Strings(i));
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
}

}  // namespace
