// Unit Ryxutil: small non-visual components built on the general routines: shell execution, the single-instance guard, message and about boxes, the 3-D switch, the timed launcher, the report-tool closer and the persistent date and time records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/ryxutilf.h"
#include "host/app/dialogs.h"
#include "host/rtl/component.h"
#include "host/rtl/dates.h"
#include "host/rtl/events.h"
#include "host/rtl/lists.h"
#include "host/rtl/persistent.h"
#include "host/rtl/typinfo.h"

namespace host {
class TTimer;
class TInstanceLock;
class TProcess;
}  // namespace host

namespace ryx {

// ---- shell execution ----

// ShellExecuteA with the verb "explore", "open" or "print" on Name (the target
// goes to the opener as one argument). Show selects the window state the
// started program is asked for. True when the program started.
bool ryxExploreFolder(const std::string& Name, bool Show = true);
bool ryxExecuteFile(const std::string& Name, bool Show = true);
bool ryxPrintFile(const std::string& Name);

// A calendar date kept as its parts (each 1 by default), published so that a
// component can store one in its form file. A part outside its range (day 1-31,
// month 1-12, year 1-9999) is refused with ERangeError and the old value stays;
// GetDate raises EConvertError for a combination that is no date (30 February).
class TryxDateNum : public host::TPersistent {
    HOST_CLASS(TryxDateNum, host::TPersistent)
public:
    TryxDateNum() = default;
    void Assign(host::TPersistent* Source) override;

    int Day() const { return FDay; }
    void SetDay(int Value);
    int Month() const { return FMonth; }
    void SetMonth(int Value);
    int Year() const { return FYear; }
    void SetYear(int Value);
    host::TDateTime GetDate() const;
    // The date part of Value; one OnChange for the whole change.
    void SetDate(host::TDateTime Value);

    host::TNotifyEvent OnChange;

private:
    int FDay = 1, FMonth = 1, FYear = 1;
    void Put(int& Field, int Value, int Low, int High, const char* Name);
    HOST_PUBLISHED(prop("Day", &TryxDateNum::Day, &TryxDateNum::SetDay).def(1),
                   prop("Month", &TryxDateNum::Month, &TryxDateNum::SetMonth).def(1),
                   prop("Year", &TryxDateNum::Year, &TryxDateNum::SetYear).def(1))
};

// A time of day kept as its parts (each 0 by default): hour 0-23, minute and
// second 0-59, millisecond 0-999; parts outside are refused with ERangeError.
class TryxTimeNum : public host::TPersistent {
    HOST_CLASS(TryxTimeNum, host::TPersistent)
public:
    TryxTimeNum() = default;
    void Assign(host::TPersistent* Source) override;

    int Hour() const { return FHour; }
    void SetHour(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Sec() const { return FSec; }
    void SetSec(int Value);
    int MSec() const { return FMSec; }
    void SetMSec(int Value);
    host::TDateTime GetTime() const;
    // The time-of-day part of Value; one OnChange for the whole change.
    void SetTime(host::TDateTime Value);

    host::TNotifyEvent OnChange;

private:
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    void Put(int& Field, int Value, int Low, int High, const char* Name);
    HOST_PUBLISHED(prop("Hour", &TryxTimeNum::Hour, &TryxTimeNum::SetHour).def(0),
                   prop("Min", &TryxTimeNum::Min, &TryxTimeNum::SetMin).def(0),
                   prop("Sec", &TryxTimeNum::Sec, &TryxTimeNum::SetSec).def(0),
                   prop("MSec", &TryxTimeNum::MSec, &TryxTimeNum::SetMSec).def(0))
};

// ---- shell execution parameters ----

// The shell's execution options; a set of them maps onto the SEE_MASK_* flags.
HOST_ENUM(TryxShellExecOption, seoClassName, seoClassKey, seoConnectNetDrv, seoDoEnvSubst, seoDDEWait,
          seoNoCloseProcess, seoNoUI, seoUnicode);
using TryxShellExecOptions = host::TSet<TryxShellExecOption>;

// The parameters of a shell execution. Options stores as the number 48 by
// default ({seoDDEWait, seoNoCloseProcess}).
class TryxShellExecParams : public host::TPersistent {
    HOST_CLASS(TryxShellExecParams, host::TPersistent)
public:
    TryxShellExecParams();
    ~TryxShellExecParams() override;
    void Assign(host::TPersistent* Source) override;

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    host::TStrings* FileNames() const { return FFileNames.get(); }
    void SetFileNames(host::TStrings* Value);
    const std::string& Parameters() const { return FParameters; }
    void SetParameters(const std::string& Value) { FParameters = Value; }
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value) { FDirectory = Value; }
    const std::string& Verb() const { return FVerb; }
    void SetVerb(const std::string& Value) { FVerb = Value; }
    TryxShellExecOptions Options() const { return FOptions; }
    void SetOptions(TryxShellExecOptions Value) { FOptions = Value; }
    // The SEE_MASK_* flags of Options.
    uint32_t GetMaskFlags() const;

private:
    std::string FFileName, FParameters, FDirectory, FVerb;
    std::unique_ptr<host::TStrings> FFileNames;
    TryxShellExecOptions FOptions{seoDDEWait, seoNoCloseProcess};
    HOST_PUBLISHED(prop("Directory", &TryxShellExecParams::Directory, &TryxShellExecParams::SetDirectory)
                       .def(std::string()),
                   prop("FileName", &TryxShellExecParams::FileName, &TryxShellExecParams::SetFileName)
                       .def(std::string()),
                   prop("FileNames", &TryxShellExecParams::FileNames, &TryxShellExecParams::SetFileNames),
                   prop("Options", &TryxShellExecParams::Options, &TryxShellExecParams::SetOptions)
                       .def(TryxShellExecOptions{seoDDEWait, seoNoCloseProcess}),
                   prop("Parameters", &TryxShellExecParams::Parameters, &TryxShellExecParams::SetParameters)
                       .def(std::string()),
                   prop("Verb", &TryxShellExecParams::Verb, &TryxShellExecParams::SetVerb).def(std::string()))
};

// ---- single instance ----

// Keeps one running instance per application title. The constructor takes the
// system-wide lock "TryxSingleInstance in application <title>". The first
// instance listens for later ones (polled by a timer every 200 ms of the host
// clock). A later instance, when loaded (or asked by CheckInstance): shows
// StopMsg when not empty; with neither Activate nor ClosePrevious it ends the
// program (host::Halt); otherwise it asks the first instance to come to the
// front (Activate: the program then ends) or to quit (ClosePrevious: this one
// goes on and takes the lock over when the first has let it go). When the
// first instance does not answer, the program ends.
class TryxSingleInstance : public host::TComponent {
    HOST_CLASS(TryxSingleInstance, host::TComponent)
public:
    explicit TryxSingleInstance(host::TComponent* AOwner);
    ~TryxSingleInstance() override;

    bool Activate() const { return FActivate; }
    void SetActivate(bool Value) { FActivate = Value; }
    bool ClosePrevious() const { return FClosePrevious; }
    void SetClosePrevious(bool Value) { FClosePrevious = Value; }
    const std::string& StopMsg() const { return FStopMsg; }
    void SetStopMsg(const std::string& Value) { FStopMsg = Value; }

    // Whether another instance held the lock when this component was made.
    bool AlreadyRunning() const { return FAlreadyRunning; }
    // The name of the lock.
    std::string LockName() const;
    // What Loaded does outside the designer (for components made in code).
    void CheckInstance();
    // Handles the requests of later instances that are waiting (the timer calls
    // it); returns how many were handled.
    int ServeRequests();

    void Loaded() override;

private:
    bool FActivate = true;
    bool FClosePrevious = false;
    bool FAlreadyRunning = false;
    std::string FStopMsg;
    std::unique_ptr<host::TInstanceLock> FLock;
    std::unique_ptr<host::TTimer> FTimer;
    void StartListening();
    void TimerTick(host::TObject* Sender);
    HOST_PUBLISHED(prop("Activate", &TryxSingleInstance::Activate, &TryxSingleInstance::SetActivate).def(true),
                   prop("ClosePrevious", &TryxSingleInstance::ClosePrevious, &TryxSingleInstance::SetClosePrevious)
                       .def(false),
                   prop("StopMsg", &TryxSingleInstance::StopMsg, &TryxSingleInstance::SetStopMsg).def(std::string()))
};

// ---- message box ----

HOST_ENUM(TryxWinMsgButtons, wmbOK, wmbOKCancel, wmbAbortRetryIgnore, wmbYesNoCancel, wmbYesNo, wmbRetryCancel);
HOST_ENUM(TryxWinMsgDefaultBtn, dbFirst, dbSecond, dbThird);
HOST_ENUM(TryxWinMsgModal, moApp, moSystem, moTask);

// A system message box described by properties. Show beeps first when Beep is
// set, then shows Lines (one line each) titled Title, or the application's title
// when Title is empty; returns the box's IDOK… result.
class TryxWinMsgBox : public host::TComponent {
    HOST_CLASS(TryxWinMsgBox, host::TComponent)
public:
    explicit TryxWinMsgBox(host::TComponent* AOwner);
    ~TryxWinMsgBox() override;

    bool Beep() const { return FBeep; }
    void SetBeep(bool Value) { FBeep = Value; }
    TryxWinMsgButtons Buttons() const { return FButtons; }
    void SetButtons(TryxWinMsgButtons Value) { FButtons = Value; }
    TryxWinMsgDefaultBtn DefaultBtn() const { return FDefaultBtn; }
    void SetDefaultBtn(TryxWinMsgDefaultBtn Value) { FDefaultBtn = Value; }
    host::TStrings* Lines() const { return FLines.get(); }
    void SetLines(host::TStrings* Value);
    TryxWinMsgModal Modal() const { return FModal; }
    void SetModal(TryxWinMsgModal Value) { FModal = Value; }
    host::TMsgDlgType MsgType() const { return FMsgType; }
    void SetMsgType(host::TMsgDlgType Value) { FMsgType = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // The MB_* flags of the buttons, default button, modality and type.
    unsigned Flags() const;
    int Show();

private:
    bool FBeep = false;
    TryxWinMsgButtons FButtons = wmbOK;
    TryxWinMsgDefaultBtn FDefaultBtn = dbFirst;
    std::unique_ptr<host::TStrings> FLines;
    TryxWinMsgModal FModal = moApp;
    host::TMsgDlgType FMsgType = host::mtInformation;
    std::string FTitle;
    HOST_PUBLISHED(prop("Beep", &TryxWinMsgBox::Beep, &TryxWinMsgBox::SetBeep).def(false),
                   prop("Buttons", &TryxWinMsgBox::Buttons, &TryxWinMsgBox::SetButtons).def(wmbOK),
                   prop("DefaultBtn", &TryxWinMsgBox::DefaultBtn, &TryxWinMsgBox::SetDefaultBtn).def(dbFirst),
                   prop("Lines", &TryxWinMsgBox::Lines, &TryxWinMsgBox::SetLines),
                   prop("Modal", &TryxWinMsgBox::Modal, &TryxWinMsgBox::SetModal).def(moApp),
                   prop("MsgType", &TryxWinMsgBox::MsgType, &TryxWinMsgBox::SetMsgType).def(host::mtInformation),
                   prop("Title", &TryxWinMsgBox::Title, &TryxWinMsgBox::SetTitle).def(std::string()))
};

// ---- about box ----

// Shows the application's about box: a modal form of class TryxAboutForm
// captioned "About <title>", with the application's icon, its title (when
// ShowTitle), the Lines and an OK button.
class TryxWinAbout : public host::TComponent {
    HOST_CLASS(TryxWinAbout, host::TComponent)
public:
    explicit TryxWinAbout(host::TComponent* AOwner);
    ~TryxWinAbout() override;

    host::TStrings* Lines() const { return FLines.get(); }
    void SetLines(host::TStrings* Value);
    bool ShowTitle() const { return FShowTitle; }
    void SetShowTitle(bool Value) { FShowTitle = Value; }
    // Shows the box modally; returns its modal result.
    int Show();

private:
    std::unique_ptr<host::TStrings> FLines;
    bool FShowTitle = true;
    HOST_PUBLISHED(prop("Lines", &TryxWinAbout::Lines, &TryxWinAbout::SetLines),
                   prop("ShowTitle", &TryxWinAbout::ShowTitle, &TryxWinAbout::SetShowTitle).def(true))
};

// ---- three-dimensional look ----

// Switches the owner form's three-dimensional look to Ctl3D, when SetForm3D
// (at load time and whenever either property changes).
class TryxWin3D : public host::TComponent {
    HOST_CLASS(TryxWin3D, host::TComponent)
public:
    explicit TryxWin3D(host::TComponent* AOwner);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool SetForm3D() const { return FSetForm3D; }
    void SetSetForm3D(bool Value);
    void Loaded() override;

private:
    bool FCtl3D = true;
    bool FSetForm3D = true;
    void Apply();
    HOST_PUBLISHED(prop("Ctl3D", &TryxWin3D::Ctl3D, &TryxWin3D::SetCtl3D).def(true),
                   prop("SetForm3D", &TryxWin3D::SetForm3D, &TryxWin3D::SetSetForm3D).def(true))
};

// ---- timed launcher ----

HOST_ENUM(TryxApplyCheck, lcDate, lcTime, lcTimeLapse, lcWeekDay, lcMonthDay);
using TryxApplyChecks = host::TSet<TryxApplyCheck>;
HOST_ENUM(TryxLaunchDay, ldSunday, ldMonday, ldTuesday, ldWednesday, ldThursday, ldFriday, ldSaturday);
HOST_ENUM(TryxLaunchType, rltProcessCommandLine, rltShellExecFile, rltShellExecFiles);

// (Sender, Cancel) and (Sender, Result).
using TryxBeforeLaunchEvent = host::TEvent<host::TObject*, bool&>;
using TryxLaunchResultEvent = host::TEvent<host::TObject*, int>;

// Starts a program when the chosen checks hold. A timer of Interval ms on the
// host clock calls OnTimer and then tests the checks:
//  - lcDate / lcTime: the moment made of Date (else today) and Time (else now)
//    has come;
//  - lcTimeLapse: TimeLapse has passed since the previous launch;
//  - lcWeekDay: today is WeekDay;
//  - lcMonthDay: today is day MonthDay of the month, or the month's last day
//    when the month is shorter (so 31 means the 30th of April and the 28th of a
//    common February, once);
// and a moment or day already launched for is never launched for again.
// Launching: BeforeLaunch (Cancel skips the start), the start (the command line
// split into an argument vector and started without a shell, or a shell
// execution of ShellParams' file or each of its files), with Wait BeforeWait and
// a wait that keeps the application's messages flowing; then the timer restarts
// when Continuous, else Enabled becomes false; AfterLaunch gets the result (32
// or more is success).
class TryxLauncher : public host::TComponent {
    HOST_CLASS(TryxLauncher, host::TComponent)
public:
    // The result of a start that worked (any value of 32 or more means success).
    static constexpr int LaunchSucceeded = 33;

    explicit TryxLauncher(host::TComponent* AOwner);
    ~TryxLauncher() override;

    TryxApplyChecks Checks() const { return FChecks; }
    void SetChecks(TryxApplyChecks Value) { FChecks = Value; }
    const std::string& CommandLine() const { return FCommandLine; }
    void SetCommandLine(const std::string& Value) { FCommandLine = Value; }
    bool Continuous() const { return FContinuous; }
    void SetContinuous(bool Value) { FContinuous = Value; }
    TryxDateNum* Date() const { return FDate.get(); }
    void SetDate(TryxDateNum* Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return FInterval; }
    // 1..65535 ms; anything else raises ERangeError.
    void SetInterval(int Value);
    int MonthDay() const { return FMonthDay; }
    // 1..31; anything else raises ERangeError.
    void SetMonthDay(int Value);
    TryxTimeNum* Time() const { return FTime.get(); }
    void SetTime(TryxTimeNum* Value);
    TryxTimeNum* TimeLapse() const { return FTimeLapse.get(); }
    void SetTimeLapse(TryxTimeNum* Value);
    bool Wait() const { return FWait; }
    void SetWait(bool Value) { FWait = Value; }
    TryxLaunchDay WeekDay() const { return FWeekDay; }
    void SetWeekDay(TryxLaunchDay Value) { FWeekDay = Value; }
    TryxShowWindowStyle WindowState() const { return FWindowState; }
    void SetWindowState(TryxShowWindowStyle Value) { FWindowState = Value; }
    TryxLaunchType LaunchType() const { return FLaunchType; }
    void SetLaunchType(TryxLaunchType Value) { FLaunchType = Value; }
    TryxShellExecParams* ShellParams() const { return FShellParams.get(); }
    void SetShellParams(TryxShellExecParams* Value);

    // Whether the checks hold at the host clock's now.
    bool ChecksHold() const;
    // Launches at once; true when the start worked.
    bool Execute();
    // The result of the last launch (0 before the first).
    int LastResult() const { return FLastResult; }

    void Loaded() override;

    TryxBeforeLaunchEvent BeforeLaunch;
    TryxLaunchResultEvent AfterLaunch;
    TryxLaunchResultEvent BeforeWait;
    host::TNotifyEvent OnTimer;

private:
    TryxApplyChecks FChecks{lcTime};
    std::string FCommandLine;
    bool FContinuous = false;
    bool FEnabled = true;
    int FInterval = 1000;
    int FMonthDay = 1;
    bool FWait = false;
    TryxLaunchDay FWeekDay = ldSunday;
    TryxShowWindowStyle FWindowState = rswShowDefault;
    TryxLaunchType FLaunchType = rltProcessCommandLine;
    std::unique_ptr<TryxDateNum> FDate;
    std::unique_ptr<TryxTimeNum> FTime;
    std::unique_ptr<TryxTimeNum> FTimeLapse;
    std::unique_ptr<TryxShellExecParams> FShellParams;
    std::unique_ptr<host::TTimer> FTimer;
    host::TDateTime FNextLapse = 0;
    host::TDateTime FLaunchedFor = -1;  // the moment or day of the last launch
    int FLastResult = 0;

    bool Designing() const;
    void UpdateTimer();
    void TimerTick(host::TObject* Sender);
    host::TDateTime DueKey(host::TDateTime Now) const;
    int Launch();
    int RunProcess();
    int RunShell(const std::string& FileName);
    void WaitFor(host::TProcess& Process, int Result);
    HOST_PUBLISHED(prop("Checks", &TryxLauncher::Checks, &TryxLauncher::SetChecks).def(TryxApplyChecks{lcTime}),
                   prop("CommandLine", &TryxLauncher::CommandLine, &TryxLauncher::SetCommandLine).def(std::string()),
                   prop("Continuous", &TryxLauncher::Continuous, &TryxLauncher::SetContinuous).def(false),
                   prop("Date", &TryxLauncher::Date, &TryxLauncher::SetDate),
                   prop("Enabled", &TryxLauncher::Enabled, &TryxLauncher::SetEnabled).def(true),
                   prop("Interval", &TryxLauncher::Interval, &TryxLauncher::SetInterval).def(1000),
                   prop("LaunchType", &TryxLauncher::LaunchType, &TryxLauncher::SetLaunchType)
                       .def(rltProcessCommandLine),
                   prop("MonthDay", &TryxLauncher::MonthDay, &TryxLauncher::SetMonthDay).def(1),
                   prop("ShellParams", &TryxLauncher::ShellParams, &TryxLauncher::SetShellParams),
                   prop("Time", &TryxLauncher::Time, &TryxLauncher::SetTime),
                   prop("TimeLapse", &TryxLauncher::TimeLapse, &TryxLauncher::SetTimeLapse),
                   prop("Wait", &TryxLauncher::Wait, &TryxLauncher::SetWait).def(false),
                   prop("WeekDay", &TryxLauncher::WeekDay, &TryxLauncher::SetWeekDay).def(ldSunday),
                   prop("WindowState", &TryxLauncher::WindowState, &TryxLauncher::SetWindowState)
                       .def(rswShowDefault),
                   prop("AfterLaunch", &TryxLauncher::AfterLaunch, &TryxLauncher::AfterLaunch),
                   prop("BeforeLaunch", &TryxLauncher::BeforeLaunch, &TryxLauncher::BeforeLaunch),
                   prop("BeforeWait", &TryxLauncher::BeforeWait, &TryxLauncher::BeforeWait),
                   prop("OnTimer", &TryxLauncher::OnTimer, &TryxLauncher::OnTimer))
};

// ---- report-tool closer ----

// The external report tool's parts whose windows the closer looks for.
HOST_ENUM(TryxKillApp, kaRS_RunTime, kaRS_Designer, kaRS_Preview);
using TryxKillApps = host::TSet<TryxKillApp>;

// Closes the top-level windows of this process that belong to an external
// report tool, found by their window class names: kaRS_RunTime "TRSRunTime",
// kaRS_Designer "TRSDesigner", kaRS_Preview "TRSPreview" (each also with a
// "Form" suffix), plus any names in ClassNames. Done when asked (Execute) and,
// with ExecOnDestroy, when the component is destroyed.
class TryxReportToolCloser : public host::TComponent {
    HOST_CLASS(TryxReportToolCloser, host::TComponent)
public:
    explicit TryxReportToolCloser(host::TComponent* AOwner);
    ~TryxReportToolCloser() override;

    bool ExecOnDestroy() const { return FExecOnDestroy; }
    void SetExecOnDestroy(bool Value) { FExecOnDestroy = Value; }
    TryxKillApps KillApps() const { return FKillApps; }
    void SetKillApps(TryxKillApps Value) { FKillApps = Value; }
    host::TStrings* ClassNames() const { return FClassNames.get(); }
    void SetClassNames(host::TStrings* Value);
    // Sends WM_CLOSE to every matching top-level window; returns how many.
    int Execute();

private:
    bool FExecOnDestroy = true;
    TryxKillApps FKillApps{kaRS_RunTime};
    std::unique_ptr<host::TStrings> FClassNames;
    HOST_PUBLISHED(prop("ClassNames", &TryxReportToolCloser::ClassNames, &TryxReportToolCloser::SetClassNames),
                   prop("ExecOnDestroy", &TryxReportToolCloser::ExecOnDestroy,
                        &TryxReportToolCloser::SetExecOnDestroy)
                       .def(true),
                   prop("KillApps", &TryxReportToolCloser::KillApps, &TryxReportToolCloser::SetKillApps)
                       .def(TryxKillApps{kaRS_RunTime}))
};

}  // namespace ryx
