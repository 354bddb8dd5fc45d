// Ryxutil components: the launcher on the virtual clock, the single-instance guard across processes, message and about boxes through the responders, the report-tool closer and the large-bitmap form.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "../host/controls/test_controls.h"
#include "frame/ryxfblot.h"
#include "frame/ryxutil.h"
#include "host/app/dialogs.h"
#include "host/app/responders.h"
#include "host/controls/buttons.h"
#include "host/controls/comctrls.h"
#include "host/controls/extctrls.h"
#include "host/os/process.h"
#include "host/windows/messages.h"
#include "host/windows/windows.h"
#include "support/tempdir.h"

using namespace host;
using namespace ryx;

namespace {

class RyxUtilComponentsTest : public ctltest::ControlsTest {
protected:
    // A launcher that only counts: BeforeLaunch cancels every start and records the day.
    std::unique_ptr<TryxLauncher> CountingLauncher(std::vector<int>& Days) {
        auto l = std::make_unique<TryxLauncher>(nullptr);
        l->BeforeLaunch = [&Days](TObject*, bool& Cancel) {
            int y, m, d;
            DecodeDate(Clock::Now(), y, m, d);
            Days.push_back(m * 100 + d);
            Cancel = true;
        };
        return l;
    }
};

// A window of the external report tool.
class TRSRunTime : public TForm {
    HOST_CLASS(TRSRunTime, TForm)
public:
    explicit TRSRunTime(TComponent* AOwner) : TForm(AOwner, 0) {}
};

}  // namespace

TEST_F(RyxUtilComponentsTest, MonthDayBeyondAShortMonthMatchesItsLastDayOnce) {
    struct Case {
        int Year, MonthDay;
        std::vector<int> Expected;  // month*100+day of each launch from 27 Feb to 2 May
    };
    const Case cases[] = {
        {2027, 31, {228, 331, 430}},  // a common year
        {2028, 31, {229, 331, 430}},  // a leap year: the 29th, not the 28th as well
        {2028, 30, {229, 330, 430}},
        {2028, 29, {229, 329, 429}},
        {2027, 29, {228, 329, 429}},
        {2027, 1, {301, 401, 501}},
    };
    for (const Case& c : cases) {
        Clock::UseVirtual(0, EncodeDate(c.Year, 2, 27) + EncodeTime(0, 0, 30, 0));
        std::vector<int> days;
        auto l = CountingLauncher(days);
        l->SetChecks({lcMonthDay});
        l->SetMonthDay(c.MonthDay);
        l->SetContinuous(true);
        l->SetInterval(60000);
        for (int day = 0; day < 65; ++day) Clock::Advance(24u * 3600 * 1000);
        EXPECT_EQ(days, c.Expected) << c.Year << " day " << c.MonthDay;
    }
}

TEST_F(RyxUtilComponentsTest, TimeAndLapseChecksLaunchOncePerMoment) {
    Clock::UseVirtual(0, EncodeDate(2027, 3, 1) + EncodeTime(8, 59, 0, 0));
    std::vector<int> days;
    auto daily = CountingLauncher(days);
    daily->Time()->SetTime(EncodeTime(9, 0, 0, 0));
    daily->SetContinuous(true);
    int ticks = 0;
    daily->OnTimer = [&](TObject*) { ++ticks; };
    Clock::Advance(59 * 1000);
    EXPECT_TRUE(days.empty());
    Clock::Advance(10 * 60 * 1000);  // ten minutes past the time: still one launch
    EXPECT_EQ(days, std::vector<int>{301});
    Clock::Advance(24 * 3600 * 1000);
    EXPECT_EQ(days, (std::vector<int>{301, 302}));
    EXPECT_GT(ticks, 24 * 3600);

    // Without Continuous the launcher switches itself off after one launch.
    std::vector<int> once;
    auto single = CountingLauncher(once);
    single->SetChecks({lcTimeLapse});
    Clock::Advance(5000);
    EXPECT_EQ(once.size(), 1u);
    EXPECT_FALSE(single->Enabled());

    // Every ten minutes with a one-minute timer: at 1, 11, 21 and 31 minutes.
    std::vector<int> lapses;
    auto lapse = CountingLauncher(lapses);
    lapse->SetChecks({lcTimeLapse});
    lapse->TimeLapse()->SetMin(10);
    lapse->SetInterval(60000);
    lapse->SetContinuous(true);
    Clock::Advance(35 * 60 * 1000);
    EXPECT_EQ(lapses.size(), 4u);
    EXPECT_THROW(lapse->SetInterval(0), ERangeError);
    EXPECT_THROW(lapse->SetMonthDay(32), ERangeError);
}

TEST_F(RyxUtilComponentsTest, StartedProcessesCountAsSuccessAndAreReleased) {
    const int handles = LiveProcessHandles();
    TryxLauncher l(nullptr);
    l.SetEnabled(false);
    std::vector<std::string> log;
    l.AfterLaunch = [&](TObject*, int Result) { log.push_back("after " + std::to_string(Result)); };
    l.BeforeWait = [&](TObject*, int Result) { log.push_back("wait " + std::to_string(Result)); };

    l.SetCommandLine("sh -c \"exit 0\"");
    EXPECT_TRUE(l.Execute());
    EXPECT_GE(l.LastResult(), 32);
    EXPECT_EQ(LiveProcessHandles(), handles);

    // Waiting keeps the application's messages flowing.
    const UINT probe = WM_USER + 77;
    bool pumped = false;
    Application->OnMessage = [&](MSG& M, bool&) {
        if (M.message == probe) {
            pumped = true;
            log.push_back("message");
        }
    };
    PostMessageA(Application->Handle(), probe, 0, 0);
    l.SetWait(true);
    l.SetCommandLine("sleep 0.2");
    EXPECT_TRUE(l.Execute());
    Application->OnMessage = nullptr;
    EXPECT_TRUE(pumped);
    EXPECT_EQ(log, (std::vector<std::string>{"after 33", "wait 33", "message", "after 33"}));
    EXPECT_EQ(LiveProcessHandles(), handles);

    l.SetCommandLine("no-such-program-ryx --flag");
    EXPECT_FALSE(l.Execute());
    EXPECT_LT(l.LastResult(), 32);

    // A shell launch of each file; the options make the shell's mask flags.
    EXPECT_EQ(l.ShellParams()->GetMaskFlags(), 0x140u);  // default Options 48
    l.SetWait(false);
    l.SetLaunchType(rltShellExecFiles);
    l.ShellParams()->FileNames()->Add("/no/such/file.txt");
    EXPECT_FALSE(l.Execute());
    EXPECT_EQ(LiveProcessHandles(), handles);
}

TEST_F(RyxUtilComponentsTest, SecondInstanceActivatesOrClosesTheFirst) {
    testsupport::TTempDir dir;
    ::setenv("RYX_RUNTIME_DIR", dir.Path().c_str(), 1);
    Application->SetTitle("RyxSingleInstanceTest");
    TryxSingleInstance first(nullptr);
    EXPECT_FALSE(first.AlreadyRunning());
    EXPECT_EQ(first.LockName(), "TryxSingleInstance in application RyxSingleInstanceTest");

    // A later instance in another process: it asks, this one answers from its timer.
    auto runSecond = [&](bool ClosePrevious) {
        pid_t pid = ::fork();
        if (pid == 0) {
            SetHaltHandler([](int) { ::_exit(42); });
            TryxSingleInstance second(nullptr);
            if (!second.AlreadyRunning()) ::_exit(1);
            second.SetClosePrevious(ClosePrevious);
            second.CheckInstance();
            ::_exit(7);  // went on running
        }
        int status = -1;
        for (int i = 0; i < 1000; ++i) {
            Clock::Advance(200);
            if (::waitpid(pid, &status, WNOHANG) == pid) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    Application->Minimize();
    EXPECT_EQ(runSecond(false), 42);  // Activate: the first came back, the second ended
    EXPECT_FALSE(Application->Minimized());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(runSecond(true), 7);  // ClosePrevious: the second goes on, the first quits
    EXPECT_TRUE(Application->Terminated());

    // In this process: StopMsg shows, and with neither choice the program ends.
    TryxSingleInstance again(nullptr);
    EXPECT_TRUE(again.AlreadyRunning());
    again.SetActivate(false);
    again.SetStopMsg("Already running.");
    int halted = -1;
    auto oldHalt = SetHaltHandler([&](int Code) { halted = Code; });
    TDialogResponder r;
    r.Expect(dkMessageBox, "Already running.", IDOK);
    again.CheckInstance();
    SetHaltHandler(oldHalt);
    EXPECT_EQ(halted, 0);
    ASSERT_EQ(r.Shown().size(), 1u);
    EXPECT_EQ(r.Shown()[0].Caption, "RyxSingleInstanceTest");
    EXPECT_EQ(r.Shown()[0].Flags & MB_ICONMASK, 0x30u);
    ::unsetenv("RYX_RUNTIME_DIR");
}

TEST_F(RyxUtilComponentsTest, MessageAndAboutBoxesGoThroughTheResponders) {
    Application->SetTitle("Ryx Demo");
    TryxWinMsgBox box(nullptr);
    box.Lines()->Add("Line one");
    box.Lines()->Add("Line two");
    box.SetButtons(wmbYesNo);
    box.SetDefaultBtn(dbSecond);
    box.SetMsgType(mtConfirmation);
    box.SetModal(moSystem);
    box.SetBeep(true);
    const int beeps = wintest::BeepCount();
    TDialogResponder r;
    r.Expect(dkMessageBox, "Line one\nLine two", [](TDialogInfo& Info) {
        EXPECT_EQ(Info.Caption, "Ryx Demo");
        EXPECT_EQ(Info.Flags, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION | MB_SYSTEMMODAL);
        return IDNO;
    });
    EXPECT_EQ(box.Show(), IDNO);
    EXPECT_EQ(wintest::BeepCount(), beeps + 1);
    box.SetTitle("Own title");
    r.Expect(dkMessageBox, "Line", [](TDialogInfo& Info) {
        EXPECT_EQ(Info.Caption, "Own title");
        return IDYES;
    });
    EXPECT_EQ(box.Show(), IDYES);

    TryxWinAbout about(nullptr);
    about.Lines()->Add("Version 1.0");
    about.Lines()->Add("All rights reserved.");
    r.Expect(dkModalForm, "About Ryx Demo", [](TDialogInfo& Info) {
        EXPECT_EQ(Info.ClassName, "TryxAboutForm");
        auto* title = dynamic_cast<TLabel*>(Info.Form->FindComponent("lblTitle"));
        auto* line2 = dynamic_cast<TLabel*>(Info.Form->FindComponent("lblLine2"));
        EXPECT_TRUE(title && title->Caption() == "Ryx Demo");
        EXPECT_TRUE(line2 && line2->Caption() == "All rights reserved.");
        EXPECT_NE(Info.Form->FindComponent("imgIcon"), nullptr);
        Info.Click("OK");
        return 0;
    });
    EXPECT_EQ(about.Show(), mrOk);
    about.SetShowTitle(false);
    r.Expect(dkModalForm, "About", [](TDialogInfo& Info) {
        EXPECT_EQ(Info.Form->FindComponent("lblTitle"), nullptr);
        return mrOk;
    });
    about.Show();
}

TEST_F(RyxUtilComponentsTest, CloserAnd3DSwitchActOnForms) {
    auto* tool = new TRSRunTime(Application);
    tool->Show();
    auto* other = new TForm(Application, 0);
    other->Show();
    auto closer = std::make_unique<TryxReportToolCloser>(nullptr);
    EXPECT_EQ(closer->Execute(), 1);
    EXPECT_FALSE(tool->Visible());
    EXPECT_TRUE(other->Visible());
    closer->SetKillApps({});
    closer->ClassNames()->Add("TForm");
    tool->Show();
    closer.reset();  // ExecOnDestroy
    EXPECT_FALSE(other->Visible());
    EXPECT_TRUE(tool->Visible());

    auto* form = new TForm(Application, 0);
    auto* look = new TryxWin3D(form);
    look->SetCtl3D(false);
    EXPECT_FALSE(form->Ctl3D());
    look->SetSetForm3D(false);
    look->SetCtl3D(true);
    EXPECT_FALSE(form->Ctl3D());
}

TEST_F(RyxUtilComponentsTest, LargeBitmapFormComesFromItsResource) {
    auto* form = static_cast<TryxsfBLOControl*>(Application->CreateForm(TryxsfBLOControl::StaticClass()));
    auto* pages = dynamic_cast<TPageControl*>(form->FindComponent("pgcBLO"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->PageCount(), 1);
    auto* bands = dynamic_cast<TImage*>(form->FindComponent("imgBands"));
    auto* checks = dynamic_cast<TImage*>(form->FindComponent("imgChecks"));
    ASSERT_TRUE(bands && checks);
    EXPECT_EQ(bands->Parent(), pages->Pages(0));
    EXPECT_EQ(bands->Picture()->Width(), 640);
    EXPECT_EQ(bands->Picture()->Height(), 400);
    EXPECT_EQ(checks->Picture()->Width(), 320);
    TCanvas* c = bands->Picture()->Bitmap()->Canvas();
    EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(c->Pixels(0, 0))), 0x00782810u);
    EXPECT_EQ(static_cast<uint32_t>(ColorToRGB(c->Pixels(80, 0))), 0x002878C8u);
    EXPECT_EQ(form->Font()->Name(), "MS Sans Serif");
    form->Show();
}
