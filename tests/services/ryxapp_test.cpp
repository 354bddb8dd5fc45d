// Tests of the shared application and screen events: order, registration counts, help results, designing, dispatch while the lists change, finalization.
#include "services/ryxapp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/windows/messages.h"

using namespace host;
using ryx::ryxApplicationEvents;
using ryx::ryxScreenEvents;

namespace {

using TLog = std::vector<std::string>;

// A component-like listener whose handlers are methods (so registrations compare
// as method pointers do).
class TListener : public TObject {
public:
    TListener(TLog& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
    void Hint(TObject*) { FLog.push_back(FName); }
    void Idle(TObject*, bool& Done) {
        FLog.push_back(FName + (Done ? ":done" : ":again"));
        Done = IdleResult;
    }
    void Help(uint16_t, intptr_t, bool&, bool& Result) {
        FLog.push_back(FName);
        Result = HelpResult;
    }
    TNotifyEvent HintEvent() { return TNotifyEvent(this, &TListener::Hint); }
    bool IdleResult = true;
    bool HelpResult = false;

private:
    TLog& FLog;
    std::string FName;
};

class RyxAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ryx::ryxAppFinalization();
        RecreateApplication();
        ryx::ryxDesigning = false;
    }
    void TearDown() override {
        ryx::ryxAppFinalization();
        ryx::ryxDesigning = false;
    }
    void FireHint() { Application->OnHint(Application); }
    TLog Log;
};

TEST_F(RyxAppTest, HandlersRunInRegistrationOrderAfterTheApplicationsOwn) {
    TListener a(Log, "A"), b(Log, "B"), c(Log, "C");
    Application->OnHint = a.HintEvent();
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    ryxApplicationEvents()->RegisterOnHint(c.HintEvent());
    FireHint();
    EXPECT_EQ(Log, (TLog{"A", "B", "C"}));

    Log.clear();
    ryxApplicationEvents()->UnRegisterOnHint(c.HintEvent());
    FireHint();
    EXPECT_EQ(Log, (TLog{"A", "B"}));

    // Registered twice, unregistered once: still called once.
    Log.clear();
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    ryxApplicationEvents()->UnRegisterOnHint(b.HintEvent());
    FireHint();
    EXPECT_EQ(Log, (TLog{"A", "B"}));

    // Unregistering what was never registered changes nothing.
    ryxApplicationEvents()->UnRegisterOnHint(c.HintEvent());
    Log.clear();
    FireHint();
    EXPECT_EQ(Log, (TLog{"A", "B"}));

    // The real event: setting the application's hint text fires it.
    Log.clear();
    Application->SetHint("Saves the file");
    EXPECT_EQ(Log, (TLog{"A", "B"}));
}

TEST_F(RyxAppTest, DispatcherStaysInstalledWhenTheListEmpties) {
    TListener b(Log, "B");
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    ryxApplicationEvents()->UnRegisterOnHint(b.HintEvent());
    EXPECT_TRUE(Application->OnHint ==
                TNotifyEvent(ryxApplicationEvents(), &ryx::TryxApplicationEvents::AppOnHint));
    FireHint();
    EXPECT_TRUE(Log.empty());
}

TEST_F(RyxAppTest, HelpStopsAtTheFirstHandlerReturningTrue) {
    TListener h1(Log, "1"), h2(Log, "2"), h3(Log, "3");
    h2.HelpResult = h3.HelpResult = true;
    for (TListener* h : {&h1, &h2, &h3}) ryxApplicationEvents()->RegisterOnHelp(THelpEvent(h, &TListener::Help));
    EXPECT_TRUE(Application->HelpContext(42));
    EXPECT_EQ(Log, (TLog{"1", "2"}));

    // Every handler false: false.
    Log.clear();
    h2.HelpResult = h3.HelpResult = false;
    EXPECT_FALSE(Application->HelpCommand(HELP_CONTENTS, 0));
    EXPECT_EQ(Log, (TLog{"1", "2", "3"}));
}

TEST_F(RyxAppTest, VarParametersPassFromHandlerToHandler) {
    TListener a(Log, "A"), b(Log, "B");
    a.IdleResult = false;
    ryxApplicationEvents()->RegisterOnIdle(TIdleEvent(&a, &TListener::Idle));
    ryxApplicationEvents()->RegisterOnIdle(TIdleEvent(&b, &TListener::Idle));
    bool done = true;
    Application->OnIdle(Application, done);
    // B saw what A left, and its own answer is what the application gets.
    EXPECT_EQ(Log, (TLog{"A:done", "B:again"}));
    EXPECT_TRUE(done);
}

TEST_F(RyxAppTest, DesigningLeavesTheApplicationAlone) {
    TListener a(Log, "A"), b(Log, "B");
    Application->OnHint = a.HintEvent();
    ryx::ryxDesigning = true;
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    EXPECT_TRUE(Application->OnHint == a.HintEvent());
    FireHint();
    EXPECT_EQ(Log, (TLog{"A"}));
}

// A handler that unregisters itself, unregisters a later one, or registers a new
// one during a dispatch: no handler is skipped or called twice, none is called
// after its removal, and the new one joins from the next dispatch on.
TEST_F(RyxAppTest, ListChangesDuringDispatchAreSafe) {
    TListener b(Log, "B"), d(Log, "D"), late(Log, "late");
    auto* events = ryxApplicationEvents();
    TNotifyEvent self;
    self = TNotifyEvent([&](TObject*) {
        Log.push_back("self");
        events->UnRegisterOnHint(self);
    });
    TNotifyEvent remover([&](TObject*) {
        Log.push_back("remover");
        events->UnRegisterOnHint(d.HintEvent());
        events->RegisterOnHint(late.HintEvent());
    });
    events->RegisterOnHint(self);
    events->RegisterOnHint(b.HintEvent());
    events->RegisterOnHint(remover);
    events->RegisterOnHint(d.HintEvent());
    FireHint();
    EXPECT_EQ(Log, (TLog{"self", "B", "remover"}));

    Log.clear();
    FireHint();
    EXPECT_EQ(Log, (TLog{"B", "remover", "late"}));
}

TEST_F(RyxAppTest, ScreenEventsFollowTheScreen) {
    TListener a(Log, "A"), b(Log, "B");
    Screen->OnActiveFormChange = a.HintEvent();
    ryxScreenEvents()->RegisterOnActiveFormChange(b.HintEvent());
    ryxScreenEvents()->RegisterOnActiveControlChange(TNotifyEvent([&](TObject* Sender) {
        Log.push_back(Sender == Screen ? "control" : "?");
    }));
    auto* form = new TForm(Application);
    Screen->FocusChanged(form, form);
    EXPECT_EQ(Log, (TLog{"A", "B", "control"}));
    delete form;
}

TEST_F(RyxAppTest, FinalizationRestoresHandlersAndNeverRecreates) {
    TListener a(Log, "A"), b(Log, "B"), idle(Log, "idle");
    Application->OnHint = a.HintEvent();
    TIdleEvent appIdle(&idle, &TListener::Idle);
    Application->OnIdle = appIdle;  // an event nobody hooks
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    ryx::ryxAppFinalization();
    EXPECT_EQ(ryx::ryxFindApplicationEvents(), nullptr);
    EXPECT_TRUE(Application->OnHint == a.HintEvent());
    EXPECT_TRUE(Application->OnIdle == appIdle);

    // A component going after finalization unregisters through the lookup, which
    // makes nothing.
    if (auto* events = ryx::ryxFindApplicationEvents()) events->UnRegisterOnHint(b.HintEvent());
    EXPECT_EQ(ryx::ryxFindApplicationEvents(), nullptr);
    FireHint();
    EXPECT_EQ(Log, (TLog{"A"}));

    // An application that replaced the dispatcher keeps its own handler.
    TListener c(Log, "C");
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    Application->OnHint = c.HintEvent();
    ryx::ryxAppFinalization();
    EXPECT_TRUE(Application->OnHint == c.HintEvent());
}

TEST_F(RyxAppTest, AnExceptionEndsTheDispatch) {
    TListener b(Log, "B");
    ryxApplicationEvents()->RegisterOnHint(TNotifyEvent([](TObject*) { throw EAbort("stop"); }));
    ryxApplicationEvents()->RegisterOnHint(b.HintEvent());
    EXPECT_THROW(FireHint(), EAbort);
    EXPECT_TRUE(Log.empty());
}

}  // namespace
