// Unit Ryxutil: shell execution, the single-instance guard, message and about boxes, the 3-D switch, the timed launcher, the report-tool closer and the date and time records.
#include "frame/ryxutil.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/app/app.h"
#include "host/controls/buttons.h"
#include "host/controls/extctrls.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/os/instance.h"
#include "host/os/process.h"
#include "host/os/shell.h"
#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"
#include "host/windows/messages.h"
#include "host/windows/windows.h"

namespace ryx {

using namespace host;

namespace {
// Stores Value in Field when it lies in [Low, High]; raises and keeps the old
// value otherwise. True when the value changed.
bool PutPart(int& Field, int Value, int Low, int High, const char* Name) {
    if (Value < Low || Value > High)
        throw ERangeError(std::string(Name) + " " + std::to_string(Value) + " is out of range " + std::to_string(Low) +
                          ".." + std::to_string(High));
    if (Field == Value) return false;
    Field = Value;
    return true;
}
}  // namespace

void TryxDateNum::Put(int& Field, int Value, int Low, int High, const char* Name) {
    if (PutPart(Field, Value, Low, High, Name)) OnChange(this);
}

void TryxDateNum::SetDay(int Value) { Put(FDay, Value, 1, 31, "Day"); }
void TryxDateNum::SetMonth(int Value) { Put(FMonth, Value, 1, 12, "Month"); }
void TryxDateNum::SetYear(int Value) { Put(FYear, Value, 1, 9999, "Year"); }

TDateTime TryxDateNum::GetDate() const { return EncodeDate(FYear, FMonth, FDay); }

void TryxDateNum::SetDate(TDateTime Value) {
    int y, m, d;
    DecodeDate(Value, y, m, d);
    if (y == 0) throw EConvertError("Invalid date");
    if (y == FYear && m == FMonth && d == FDay) return;
    FYear = y, FMonth = m, FDay = d;
    OnChange(this);
}

void TryxDateNum::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TryxDateNum*>(Source)) {
        if (s->FDay == FDay && s->FMonth == FMonth && s->FYear == FYear) return;
        FDay = s->FDay, FMonth = s->FMonth, FYear = s->FYear;
        OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TryxTimeNum::Put(int& Field, int Value, int Low, int High, const char* Name) {
    if (PutPart(Field, Value, Low, High, Name)) OnChange(this);
}

void TryxTimeNum::SetHour(int Value) { Put(FHour, Value, 0, 23, "Hour"); }
void TryxTimeNum::SetMin(int Value) { Put(FMin, Value, 0, 59, "Min"); }
void TryxTimeNum::SetSec(int Value) { Put(FSec, Value, 0, 59, "Sec"); }
void TryxTimeNum::SetMSec(int Value) { Put(FMSec, Value, 0, 999, "MSec"); }

TDateTime TryxTimeNum::GetTime() const { return EncodeTime(FHour, FMin, FSec, FMSec); }

void TryxTimeNum::SetTime(TDateTime Value) {
    int h, mi, s, ms;
    DecodeTime(Value, h, mi, s, ms);
    if (h == FHour && mi == FMin && s == FSec && ms == FMSec) return;
    FHour = h, FMin = mi, FSec = s, FMSec = ms;
    OnChange(this);
}

void TryxTimeNum::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TryxTimeNum*>(Source)) {
        if (s->FHour == FHour && s->FMin == FMin && s->FSec == FSec && s->FMSec == FMSec) return;
        FHour = s->FHour, FMin = s->FMin, FSec = s->FSec, FMSec = s->FMSec;
        OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- shell execution ----

namespace {
bool Shell(const char* Verb, const std::string& Name, bool Show) {
    return ShellExecuteA(nullptr, Verb, Name.c_str(), nullptr, nullptr, Show ? 1 : 0) > 32;
}
}  // namespace

bool ryxExploreFolder(const std::string& Name, bool Show) { return Shell("explore", Name, Show); }
bool ryxExecuteFile(const std::string& Name, bool Show) { return Shell("open", Name, Show); }
bool ryxPrintFile(const std::string& Name) { return Shell("print", Name, true); }

// ---- shell execution parameters ----

TryxShellExecParams::TryxShellExecParams() : FFileNames(std::make_unique<TStringList>()) {}
TryxShellExecParams::~TryxShellExecParams() = default;

void TryxShellExecParams::SetFileNames(TStrings* Value) { FFileNames->Assign(Value); }

void TryxShellExecParams::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TryxShellExecParams*>(Source)) {
        FFileName = s->FFileName;
        FFileNames->Assign(s->FFileNames.get());
        FParameters = s->FParameters;
        FDirectory = s->FDirectory;
        FVerb = s->FVerb;
        FOptions = s->FOptions;
        return;
    }
    TPersistent::Assign(Source);
}

uint32_t TryxShellExecParams::GetMaskFlags() const {
    static constexpr uint32_t kFlags[] = {SEE_MASK_CLASSNAME,  SEE_MASK_CLASSKEY,      SEE_MASK_CONNECTNETDRV,
                                          SEE_MASK_DOENVSUBST, SEE_MASK_FLAG_DDEWAIT,  SEE_MASK_NOCLOSEPROCESS,
                                          SEE_MASK_FLAG_NO_UI, SEE_MASK_UNICODE};
    uint32_t mask = 0;
    for (int i = 0; i < static_cast<int>(std::size(kFlags)); ++i)
        if (FOptions.Contains(static_cast<TryxShellExecOption>(i))) mask |= kFlags[i];
    return mask;
}

// ---- single instance ----

namespace {
const char* const kActivateRequest = "activate";
const char* const kQuitRequest = "quit";
}  // namespace

TryxSingleInstance::TryxSingleInstance(TComponent* AOwner) : TComponent(AOwner) {
    FLock = std::make_unique<TInstanceLock>(LockName());
    FAlreadyRunning = FLock->AlreadyExisted();
    if (!FAlreadyRunning) StartListening();
}

TryxSingleInstance::~TryxSingleInstance() = default;

std::string TryxSingleInstance::LockName() const {
    return "TryxSingleInstance in application " + (Application ? Application->Title() : std::string());
}

void TryxSingleInstance::StartListening() {
    if (FTimer) return;
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->OnTimer = TNotifyEvent(this, &TryxSingleInstance::TimerTick);
    FTimer->SetInterval(200);
    FTimer->UpdateTimer();
}

void TryxSingleInstance::TimerTick(TObject*) { ServeRequests(); }

int TryxSingleInstance::ServeRequests() {
    if (!FLock || FAlreadyRunning) return 0;
    return FLock->Serve([](const std::string& Request) -> std::string {
        if (Request == kQuitRequest) {
            Application->Terminate();
            return "ok";
        }
        if (Request == kActivateRequest) {
            HWND app = Application->Handle();
            if (Application->Minimized() || IsIconic(app)) {
                Application->Restore();
            } else {
                HWND popup = GetLastActivePopup(app);
                if (popup != nullptr && popup != app && IsWindowVisible(popup) && IsWindowEnabled(popup))
                    SetForegroundWindow(popup);
                Application->BringToFront();
            }
            return "ok";
        }
        return "unknown";
    });
}

void TryxSingleInstance::Loaded() {
    TComponent::Loaded();
    if (!ComponentState().Contains(csDesigning)) CheckInstance();
}

void TryxSingleInstance::CheckInstance() {
    if (!FAlreadyRunning) return;
    const std::string title = Application ? Application->Title() : std::string();
    if (!FStopMsg.empty()) MessageBoxA(nullptr, FStopMsg.c_str(), title.c_str(), MB_ICONEXCLAMATION);
    if (!FActivate && !FClosePrevious) {
        Halt(0);
        return;
    }
    std::string answer;
    if (!FLock->Send(FClosePrevious ? kQuitRequest : kActivateRequest, answer) || answer != "ok") {
        Halt(0);  // nobody to talk to
        return;
    }
    if (FClosePrevious) {
        // The other instance is on its way out; take the lock over once it is free.
        auto lock = std::make_unique<TInstanceLock>(LockName());
        if (!lock->AlreadyExisted()) {
            FLock = std::move(lock);
            FAlreadyRunning = false;
            StartListening();
        }
        return;
    }
    Halt(0);
}

// ---- message box ----

TryxWinMsgBox::TryxWinMsgBox(TComponent* AOwner) : TComponent(AOwner), FLines(std::make_unique<TStringList>()) {}
TryxWinMsgBox::~TryxWinMsgBox() = default;

void TryxWinMsgBox::SetLines(TStrings* Value) { FLines->Assign(Value); }

unsigned TryxWinMsgBox::Flags() const {
    static constexpr unsigned kButtons[] = {MB_OK, MB_OKCANCEL, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL, MB_YESNO,
                                            MB_RETRYCANCEL};
    static constexpr unsigned kDefault[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};
    static constexpr unsigned kModal[] = {MB_APPLMODAL, MB_SYSTEMMODAL, MB_TASKMODAL};
    static constexpr unsigned kIcon[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    return kButtons[FButtons] | kDefault[FDefaultBtn] | kModal[FModal] | kIcon[FMsgType];
}

int TryxWinMsgBox::Show() {
    const unsigned flags = Flags();
    if (FBeep) MessageBeep(flags & MB_ICONMASK);
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) text += (i ? "\n" : "") + FLines->Strings(i);
    std::string title = !FTitle.empty() ? FTitle : (Application ? Application->Title() : std::string());
    return MessageBoxA(nullptr, text.c_str(), title.c_str(), flags);
}

// ---- about box ----

// The about box's form: icon, title, lines and OK.
class TryxAboutForm : public TForm {
    HOST_CLASS(TryxAboutForm, TForm)
public:
    explicit TryxAboutForm(TComponent* AOwner) : TForm(AOwner, 0) {}
};

TryxWinAbout::TryxWinAbout(TComponent* AOwner) : TComponent(AOwner), FLines(std::make_unique<TStringList>()) {}
TryxWinAbout::~TryxWinAbout() = default;

void TryxWinAbout::SetLines(TStrings* Value) { FLines->Assign(Value); }

int TryxWinAbout::Show() {
    const std::string title = Application ? Application->Title() : std::string();
    auto form = std::make_unique<TryxAboutForm>(nullptr);
    form->SetName("ryxAboutBox");
    form->SetCaption("About " + title);
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetClientWidth(360);

    auto* icon = new TImage(form.get());
    icon->SetName("imgIcon");
    icon->SetParent(form.get());
    icon->SetBounds(16, 16, 32, 32);
    if (Application && Application->Icon() && !Application->Icon()->Empty()) {
        icon->Picture()->Assign(Application->Icon());
    } else {
        // No icon of its own: the system's application icon, as the shell shows it.
        TIcon fallback;
        fallback.SetHandle(CopyIcon(LoadIconA(0, IDI_APPLICATION)));
        icon->Picture()->Assign(&fallback);
    }

    int y = 16;
    auto addLabel = [&](const std::string& Name, const std::string& Text, bool Bold) {
        auto* label = new TLabel(form.get());
        label->SetName(Name);
        label->SetParent(form.get());
        label->SetLeft(64);
        label->SetTop(y);
        label->SetCaption(Text);
        if (Bold) label->Font()->SetStyle({fsBold});
        y += std::max(label->Height(), 16) + 4;
    };
    if (FShowTitle && !title.empty()) addLabel("lblTitle", title, true);
    for (int i = 0; i < FLines->Count(); ++i) addLabel("lblLine" + std::to_string(i + 1), FLines->Strings(i), false);
    y = std::max(y, 56) + 8;

    auto* ok = new TButton(form.get());
    ok->SetName("btnOK");
    ok->SetParent(form.get());
    ok->SetCaption("OK");
    ok->SetBounds((360 - 75) / 2, y, 75, 25);
    ok->SetDefault(true);
    ok->SetCancel(true);
    ok->SetModalResult(mrOk);
    form->SetClientHeight(y + 25 + 12);
    return form->ShowModal();
}

// ---- three-dimensional look ----

TryxWin3D::TryxWin3D(TComponent* AOwner) : TComponent(AOwner) {}

void TryxWin3D::SetCtl3D(bool Value) {
    FCtl3D = Value;
    Apply();
}

void TryxWin3D::SetSetForm3D(bool Value) {
    FSetForm3D = Value;
    Apply();
}

void TryxWin3D::Loaded() {
    TComponent::Loaded();
    Apply();
}

void TryxWin3D::Apply() {
    if (!FSetForm3D || ComponentState().Contains(csLoading)) return;
    if (auto* form = dynamic_cast<TCustomForm*>(Owner())) form->SetCtl3D(FCtl3D);
}

// ---- timed launcher ----

TryxLauncher::TryxLauncher(TComponent* AOwner)
    : TComponent(AOwner),
      FDate(std::make_unique<TryxDateNum>()),
      FTime(std::make_unique<TryxTimeNum>()),
      FTimeLapse(std::make_unique<TryxTimeNum>()),
      FShellParams(std::make_unique<TryxShellExecParams>()) {
    UpdateTimer();
}

TryxLauncher::~TryxLauncher() = default;

bool TryxLauncher::Designing() const { return ComponentState().Contains(csDesigning); }

void TryxLauncher::SetDate(TryxDateNum* Value) { FDate->Assign(Value); }
void TryxLauncher::SetTime(TryxTimeNum* Value) { FTime->Assign(Value); }
void TryxLauncher::SetTimeLapse(TryxTimeNum* Value) { FTimeLapse->Assign(Value); }
void TryxLauncher::SetShellParams(TryxShellExecParams* Value) { FShellParams->Assign(Value); }

void TryxLauncher::SetEnabled(bool Value) {
    FEnabled = Value;
    UpdateTimer();
}

void TryxLauncher::SetInterval(int Value) {
    if (Value < 1 || Value > 65535) throw ERangeError("Launcher interval " + std::to_string(Value) + " is out of range 1..65535");
    FInterval = Value;
    UpdateTimer();
}

void TryxLauncher::SetMonthDay(int Value) {
    if (Value < 1 || Value > 31) throw ERangeError("Month day " + std::to_string(Value) + " is out of range 1..31");
    FMonthDay = Value;
}

void TryxLauncher::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TryxLauncher::UpdateTimer() {
    const bool run = FEnabled && !Designing() && !ComponentState().Contains(csLoading);
    if (!run) {
        if (FTimer) FTimer->SetEnabled(false);
        return;
    }
    if (!FTimer) {
        FTimer = std::make_unique<TTimer>(nullptr);
        FTimer->SetEnabled(false);
        FTimer->OnTimer = TNotifyEvent(this, &TryxLauncher::TimerTick);
    }
    FTimer->SetInterval(FInterval);
    FTimer->SetEnabled(true);
}

TDateTime TryxLauncher::DueKey(TDateTime NowValue) const {
    TDateTime T = NowValue;
    if (FChecks.Contains(lcDate)) T = FDate->GetDate() + (NowValue - std::floor(NowValue));
    if (FChecks.Contains(lcTime)) T = std::floor(T) + FTime->GetTime();
    return T;
}

bool TryxLauncher::ChecksHold() const {
    const TDateTime now = Clock::Now();
    const bool byMoment = FChecks.Contains(lcDate) || FChecks.Contains(lcTime);
    const TDateTime T = DueKey(now);
    if (FChecks.Contains(lcTimeLapse) && FNextLapse != 0 && T < FNextLapse) return false;
    if (byMoment && now < T) return false;
    if (FChecks.Contains(lcWeekDay) && DayOfWeek(now) - 1 != static_cast<int>(FWeekDay)) return false;
    if (FChecks.Contains(lcMonthDay)) {
        int y, m, d;
        DecodeDate(now, y, m, d);
        const int last = DaysInAMonth(y, m);
        // A day beyond the month's end means its last day; the earlier days never match it.
        if (d != std::min(FMonthDay, last)) return false;
    }
    // Launch once per moment (date and time checks) or per day (day checks).
    if (byMoment) return T != FLaunchedFor;
    if (FChecks.Contains(lcWeekDay) || FChecks.Contains(lcMonthDay)) return std::floor(now) != FLaunchedFor;
    return true;
}

void TryxLauncher::TimerTick(TObject*) {
    OnTimer(this);
    if (FEnabled && ChecksHold()) Launch();
}

bool TryxLauncher::Execute() { return Launch() >= 32; }

int TryxLauncher::Launch() {
    const TDateTime now = Clock::Now();
    if (FChecks.Contains(lcDate) || FChecks.Contains(lcTime))
        FLaunchedFor = DueKey(now);
    else if (FChecks.Contains(lcWeekDay) || FChecks.Contains(lcMonthDay))
        FLaunchedFor = std::floor(now);
    if (FTimer) FTimer->SetEnabled(false);
    int result = 0;
    bool cancel = false;
    try {
        BeforeLaunch(this, cancel);
        if (!cancel) {
            switch (FLaunchType) {
                case rltProcessCommandLine: result = RunProcess(); break;
                case rltShellExecFile: result = RunShell(FShellParams->FileName()); break;
                case rltShellExecFiles:
                    result = SE_ERR_FNF;
                    for (int i = 0; i < FShellParams->FileNames()->Count(); ++i) {
                        int r = RunShell(FShellParams->FileNames()->Strings(i));
                        // The first failure stands; otherwise the last success.
                        if (i == 0 || result >= 32) result = r;
                    }
                    break;
            }
        }
    } catch (...) {
        if (FContinuous) UpdateTimer(); else SetEnabled(false);
        throw;
    }
    if (FChecks.Contains(lcTimeLapse)) FNextLapse = Clock::Now() + FTimeLapse->GetTime();
    if (FContinuous)
        UpdateTimer();
    else
        SetEnabled(false);
    FLastResult = result;
    AfterLaunch(this, result);
    return result;
}

void TryxLauncher::WaitFor(TProcess& Process, int Result) {
    BeforeWait(this, Result);
    Process.Wait(INFINITE, [] {
        if (Application) Application->ProcessMessages();
    });
}

int TryxLauncher::RunProcess() {
    std::vector<std::string> args = CommandLineToArgv(FCommandLine);
    std::unique_ptr<TProcess> process;
    try {
        process = TProcess::Start(args);
    } catch (const EOSError&) {
        return SE_ERR_FNF;
    }
    if (FWait) WaitFor(*process, LaunchSucceeded);
    return LaunchSucceeded;
}

int TryxLauncher::RunShell(const std::string& FileName) {
    SHELLEXECUTEINFOA info;
    info.fMask = FShellParams->GetMaskFlags() | (FWait ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = FShellParams->Verb().empty() ? nullptr : FShellParams->Verb().c_str();
    info.lpFile = FileName.c_str();
    info.lpParameters = FShellParams->Parameters().c_str();
    info.lpDirectory = FShellParams->Directory().empty() ? nullptr : FShellParams->Directory().c_str();
    info.nShow = ryxASWEnumToSW_CONST(FWindowState);
    ShellExecuteExA(&info);
    const int result = static_cast<int>(info.hInstApp);
    if (FWait && info.hProcess) WaitFor(*info.hProcess, result);
    return result;  // the handle is released here in every case
}

// ---- report-tool closer ----

TryxReportToolCloser::TryxReportToolCloser(TComponent* AOwner)
    : TComponent(AOwner), FClassNames(std::make_unique<TStringList>()) {}

TryxReportToolCloser::~TryxReportToolCloser() {
    if (FExecOnDestroy && !ComponentState().Contains(csDesigning)) {
        try {
            Execute();
        } catch (...) {
            // Closing is best effort while going away.
        }
    }
}

void TryxReportToolCloser::SetClassNames(TStrings* Value) { FClassNames->Assign(Value); }

namespace {
struct TCloseSearch {
    std::vector<std::string> Names;
    std::vector<HWND> Found;
};

BOOL CollectWindow(HWND Wnd, LPARAM Param) {
    auto* search = reinterpret_cast<TCloseSearch*>(Param);
    const std::string cls = GetClassNameStr(Wnd);
    for (const std::string& n : search->Names)
        if (SameText(cls, n)) {
            search->Found.push_back(Wnd);
            break;
        }
    return TRUE;
}
}  // namespace

int TryxReportToolCloser::Execute() {
    static const char* const kNames[] = {"TRSRunTime", "TRSDesigner", "TRSPreview"};
    TCloseSearch search;
    for (int i = 0; i < 3; ++i)
        if (FKillApps.Contains(static_cast<TryxKillApp>(i))) {
            search.Names.push_back(kNames[i]);
            search.Names.push_back(std::string(kNames[i]) + "Form");
        }
    for (int i = 0; i < FClassNames->Count(); ++i) search.Names.push_back(FClassNames->Strings(i));
    if (search.Names.empty()) return 0;
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND w : search.Found) SendMessageA(w, WM_CLOSE, 0, 0);
    return static_cast<int>(search.Found.size());
}

}  // namespace ryx
