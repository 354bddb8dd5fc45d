// The dialog responders, the recorder of shown dialogs and the observers of dialogs.
#include "host/app/responders.h"

#include <algorithm>
#include <utility>

#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/rtl/sysutils.h"

namespace host {

bool EUnexpectedDialog::InheritsFrom(const char* className) const noexcept {
    return std::string_view(className) == "EUnexpectedDialog" || Exception::InheritsFrom(className);
}

struct TDialogResponder::TRule {
    bool HasKind = false;
    TDialogKind Kind = dkModalForm;
    std::string TextPart;
    TDialogMatch Match;
    TDialogHandler Handler;
    bool Defaults = false;
};

namespace {

constexpr size_t kLogLimit = 4096;  // the oldest records go first once the log is this long

struct TResponderState {
    TDialogResponder* Current = nullptr;
    bool Interactive = false;
    std::vector<TDialogRecord> Log;
    std::vector<std::pair<TCustomForm*, TDialogInfo>> Descriptions;
    std::vector<std::pair<int, std::function<void(TDialogInfo&)>>> Observers;
    int NextCookie = 1;
};

TResponderState& State() {
    static TResponderState state;
    return state;
}

// A caption compared as a person reads it: without the accelerator marks, trimmed,
// without regard to case.
std::string PlainCaption(const std::string& Caption) {
    std::string out;
    for (char c : Caption)
        if (c != '&') out += c;
    return LowerCase(Trim(out));
}

bool ContainsText(const std::string& Where, const std::string& Part) {
    return LowerCase(Where).find(LowerCase(Part)) != std::string::npos;
}

TDialogRecord RecordOf(const TDialogInfo& Info, TDialogRecord::TAnswer Answer) {
    TDialogRecord r;
    r.Kind = Info.Kind;
    r.ClassName = Info.ClassName;
    r.Name = Info.Name;
    r.Caption = Info.Caption;
    r.Text = Info.Text;
    r.Buttons = Info.Buttons;
    r.DlgType = Info.DlgType;
    r.Flags = Info.Flags;
    r.Result = Info.Result;
    r.Answer = Answer;
    return r;
}

void Record(TDialogResponder* Responder, std::vector<TDialogRecord>* Shown, const TDialogRecord& R) {
    auto& log = State().Log;
    if (log.size() >= kLogLimit) log.erase(log.begin(), log.begin() + static_cast<long>(kLogLimit / 4));
    log.push_back(R);
    if (Responder != nullptr && Shown != nullptr) Shown->push_back(R);
}

}  // namespace

const char* DialogKindName(TDialogKind Kind) {
    switch (Kind) {
        case dkModalForm: return "modal form";
        case dkMessageDialog: return "message dialog";
        case dkMessageBox: return "message box";
        case dkInputQuery: return "input query";
        case dkOpenDialog: return "open dialog";
        case dkSaveDialog: return "save dialog";
        case dkSystemDialog: return "system dialog";
        case dkPopupMenu: return "popup menu";
    }
    return "dialog";
}

TDialogInfo TDialogInfo::ForForm(TCustomForm* Form) {
    auto& descriptions = State().Descriptions;
    for (auto& [form, description] : descriptions)
        if (form == Form) return description;
    TDialogInfo info;
    info.Kind = dkModalForm;
    info.Form = Form;
    info.Object = Form;
    if (Form != nullptr) {
        info.ClassName = Form->ClassName();
        info.Name = Form->Name();
        info.Caption = Form->Caption();
    }
    info.DefaultResult = mrCancel;
    return info;
}

bool TDialogInfo::HasButton(const std::string& Caption) const {
    std::string want = PlainCaption(Caption);
    return std::any_of(Buttons.begin(), Buttons.end(), [&](const std::string& b) { return PlainCaption(b) == want; });
}

void TDialogInfo::Click(const std::string& Caption) {
    if (!ClickButton || !ClickButton(Caption))
        throw EUnexpectedDialog("The dialog has no button \"" + Caption + "\": " + Summary());
}

std::string TDialogInfo::Summary() const {
    std::string s = std::string(DialogKindName(Kind));
    if (!ClassName.empty()) s += " " + ClassName;
    s += " \"" + Caption + "\"";
    if (!Text.empty()) s += ": \"" + Text + "\"";
    if (!Buttons.empty()) {
        s += " [";
        for (size_t i = 0; i < Buttons.size(); ++i) s += (i ? "|" : "") + Buttons[i];
        s += "]";
    }
    return s;
}

// ---- TDialogResponder ----

TDialogResponder::TDialogResponder() {
    FPrevious = State().Current;
    State().Current = this;
}

TDialogResponder::~TDialogResponder() {
    auto& s = State();
    if (s.Current == this) {
        s.Current = FPrevious;
        return;
    }
    // Destroyed out of order: unlink it from the chain of nested responders.
    for (TDialogResponder* r = s.Current; r != nullptr; r = r->FPrevious)
        if (r->FPrevious == this) {
            r->FPrevious = FPrevious;
            break;
        }
}

TDialogResponder& TDialogResponder::Then(TDialogHandler Handler) {
    auto rule = std::make_unique<TRule>();
    rule->Handler = std::move(Handler);
    FQueue.push_back(std::move(rule));
    return *this;
}

TDialogResponder& TDialogResponder::Answer(int Result) {
    return Then([Result](TDialogInfo&) { return Result; });
}

TDialogResponder& TDialogResponder::Click(const std::string& ButtonCaption) {
    return Then([ButtonCaption](TDialogInfo& Info) {
        Info.Click(ButtonCaption);
        return 0;
    });
}

TDialogResponder& TDialogResponder::Expect(TDialogKind Kind, const std::string& TextPart, TDialogHandler Handler) {
    Then(std::move(Handler));
    FQueue.back()->HasKind = true;
    FQueue.back()->Kind = Kind;
    FQueue.back()->TextPart = TextPart;
    return *this;
}

TDialogResponder& TDialogResponder::Expect(TDialogKind Kind, const std::string& TextPart, int Result) {
    return Expect(Kind, TextPart, [Result](TDialogInfo&) { return Result; });
}

TDialogResponder& TDialogResponder::Always(TDialogMatch Match, TDialogHandler Handler) {
    auto rule = std::make_unique<TRule>();
    rule->Match = std::move(Match);
    rule->Handler = std::move(Handler);
    FRules.push_back(std::move(rule));
    return *this;
}

TDialogResponder& TDialogResponder::AcceptDefaults() {
    auto rule = std::make_unique<TRule>();
    rule->Match = [](const TDialogInfo&) { return true; };
    rule->Defaults = true;
    FRules.push_back(std::move(rule));
    return *this;
}

int TDialogResponder::Pending() const { return static_cast<int>(FQueue.size() - FNext); }

// ---- showing ----

bool RespondToDialog(TDialogInfo& Info) {
    auto& s = State();
    // Observers first (a copy: one may remove itself).
    auto observers = s.Observers;
    for (auto& [cookie, fn] : observers) fn(Info);

    TDialogResponder* r = s.Current;
    if (r == nullptr) {
        if (s.Interactive) return false;
        Info.Result = Info.DefaultResult;
        Record(nullptr, nullptr, RecordOf(Info, TDialogRecord::ByDefault));
        return true;
    }

    TDialogResponder::TRule* rule = nullptr;
    if (r->FNext < r->FQueue.size()) {
        rule = r->FQueue[r->FNext].get();
        if (rule->HasKind) {
            bool fits = Info.Kind == rule->Kind &&
                        (ContainsText(Info.Text, rule->TextPart) || ContainsText(Info.Caption, rule->TextPart) ||
                         ContainsText(Info.ClassName, rule->TextPart));
            if (!fits) {
                Record(r, &r->FShown, RecordOf(Info, TDialogRecord::Unexpected));
                throw EUnexpectedDialog("Expected a " + std::string(DialogKindName(rule->Kind)) + " with \"" +
                                        rule->TextPart + "\", but this was shown: " + Info.Summary());
            }
        }
        ++r->FNext;
    } else {
        for (auto& standing : r->FRules)
            if (standing->Match && standing->Match(Info)) {
                rule = standing.get();
                break;
            }
    }
    if (rule == nullptr) {
        Record(r, &r->FShown, RecordOf(Info, TDialogRecord::Unexpected));
        throw EUnexpectedDialog("Unexpected dialog: " + Info.Summary());
    }

    int result = rule->Defaults ? Info.DefaultResult : rule->Handler(Info);
    if (result == 0 && Info.CurrentResult) result = Info.CurrentResult();
    if (result == 0) return false;  // the dialog's own loop runs; DialogLoopFinished records it
    Info.Result = result;
    Record(r, &r->FShown, RecordOf(Info, TDialogRecord::ByResponder));
    return true;
}

void DialogLoopFinished(const TDialogInfo& Info, int Result) {
    TDialogInfo copy = Info;
    copy.Result = Result;
    TDialogResponder* r = State().Current;
    Record(r, r != nullptr ? &r->FShown : nullptr, RecordOf(copy, TDialogRecord::ByLoop));
}

bool ResponderInstalled() { return State().Current != nullptr; }

void SetInteractiveDialogs(bool Value) { State().Interactive = Value; }
bool InteractiveDialogs() { return State().Interactive; }

void DescribeModalForm(TCustomForm* Form, const TDialogInfo& Description) {
    ForgetModalForm(Form);
    State().Descriptions.emplace_back(Form, Description);
}

void ForgetModalForm(TCustomForm* Form) {
    auto& d = State().Descriptions;
    d.erase(std::remove_if(d.begin(), d.end(), [Form](const auto& p) { return p.first == Form; }), d.end());
}

const std::vector<TDialogRecord>& DialogLog() { return State().Log; }
void ClearDialogLog() { State().Log.clear(); }

int AddDialogObserver(std::function<void(TDialogInfo& Info)> Observer) {
    auto& s = State();
    int cookie = s.NextCookie++;
    s.Observers.emplace_back(cookie, std::move(Observer));
    return cookie;
}

void RemoveDialogObserver(int Cookie) {
    auto& o = State().Observers;
    o.erase(std::remove_if(o.begin(), o.end(), [Cookie](const auto& p) { return p.first == Cookie; }), o.end());
}

}  // namespace host
