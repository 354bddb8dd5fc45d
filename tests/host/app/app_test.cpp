// Tests of TApplication: the message loop and OnMessage, idle processing, exception reporting, activation, hooks, help and shortcuts.
#include <string>
#include <vector>

#include "apptest.h"
#include "host/app/dialogs.h"
#include "host/controls/actnlist.h"
#include "host/controls/forms.h"
#include "host/windows/windows.h"

using namespace host;

namespace {

class AppTest : public apptest::TAppFixture {};

constexpr UINT WM_PROBE = WM_USER + 7;

TEST_F(AppTest, OnMessageSeesPostedMessagesAndCanSwallowThem) {
    std::vector<UINT> seen, reached;
    Application->OnMessage = TMessageEvent([&](MSG& Msg, bool& Handled) {
        if (Msg.message >= WM_USER) seen.push_back(Msg.message);
        Handled = Msg.message == WM_PROBE + 1;
    });
    Application->HookMainWindow(TWindowHook([&](TMessage& M, bool&) {
        if (M.Msg >= WM_USER) reached.push_back(M.Msg);
    }));
    HWND app = Application->Handle();
    PostMessageA(app, WM_PROBE, 0, 0);
    PostMessageA(app, WM_PROBE + 1, 0, 0);
    PostMessageA(app, WM_PROBE + 2, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_PROBE, WM_PROBE + 1, WM_PROBE + 2}));
    EXPECT_EQ(reached, (std::vector<UINT>{WM_PROBE, WM_PROBE + 2}));  // the handled one was not dispatched
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(AppTest, HooksSeeMessagesFirstAndCanStopThem) {
    std::vector<std::string> log;
    TWindowHook first([&](TMessage& M, bool& Handled) {
        if (M.Msg != WM_PROBE) return;
        log.push_back("first");
        Handled = M.WParam == 1;
        M.Result = 99;
    });
    TWindowHook second([&](TMessage& M, bool&) {
        if (M.Msg == WM_PROBE) log.push_back("second");
    });
    Application->HookMainWindow(first);
    Application->HookMainWindow(second);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_PROBE, 1, 0), 99);
    EXPECT_EQ(log, (std::vector<std::string>{"first"}));
    log.clear();
    SendMessageA(Application->Handle(), WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    log.clear();
    Application->UnhookMainWindow(first);
    SendMessageA(Application->Handle(), WM_PROBE, 1, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));
}

// Done = false asks for another idle pass before waiting; once every handler is
// done and nothing can arrive, the headless Run ends.
TEST_F(AppTest, IdleRunsUntilDoneThenRunEnds) {
    int calls = 0;
    std::vector<bool> doneOnEntry;
    Application->OnIdle = TIdleEvent([&](TObject* Sender, bool& Done) {
        EXPECT_EQ(Sender, Application);
        doneOnEntry.push_back(Done);
        Done = ++calls >= 3;
    });
    Application->Run();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(doneOnEntry, (std::vector<bool>{true, true, true}));

    // A message posted from the idle handler is handled before the next idle pass.
    calls = 0;
    std::vector<std::string> order;
    Application->HookMainWindow(TWindowHook([&](TMessage& M, bool&) {
        if (M.Msg == WM_PROBE) order.push_back("message");
    }));
    Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
        order.push_back("idle");
        if (++calls == 1) PostMessageA(Application->Handle(), WM_PROBE, 0, 0);
        Done = true;
    });
    Application->Run();
    EXPECT_EQ(order, (std::vector<std::string>{"idle", "message", "idle"}));
}

TEST_F(AppTest, TerminateEndsRun) {
    int calls = 0;
    Application->OnIdle = TIdleEvent([&](TObject*, bool& Done) {
        if (++calls == 2) Application->Terminate();
        Done = false;
    });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(calls, 2);
}

TEST_F(AppTest, HandleExceptionReportsAsTheFrameworkDoes) {
    TDialogResponder responder;
    responder.AcceptDefaults();
    // Without OnException: an error box titled with the title, a full stop added.
    Application->SetTitle("Ledger");
    try {
        throw EConvertError("'x' is not a valid integer value");
    } catch (...) {
        Application->HandleException(Application);
    }
    ASSERT_EQ(responder.Shown().size(), 1u);
    EXPECT_EQ(responder.Shown()[0].Kind, dkMessageBox);
    EXPECT_EQ(responder.Shown()[0].Caption, "Ledger");
    EXPECT_EQ(responder.Shown()[0].Text, "'x' is not a valid integer value.");
    EXPECT_EQ(responder.Shown()[0].Flags, MB_OK | MB_ICONSTOP);

    // EAbort is silent.
    try {
        throw EAbort("quiet");
    } catch (...) {
        Application->HandleException(Application);
    }
    EXPECT_EQ(responder.Shown().size(), 1u);

    // OnException gets it instead; a standard exception arrives as an Exception.
    std::vector<std::string> got;
    Application->OnException = TExceptionEvent([&](TObject* Sender, Exception& E) {
        EXPECT_EQ(Sender, Application);
        got.push_back(E.Message());
    });
    try {
        throw std::runtime_error("disk full");
    } catch (...) {
        Application->HandleException(Application);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"disk full"}));
    EXPECT_EQ(responder.Shown().size(), 1u);

    // An exception escaping OnException is shown, never dispatched again.
    got.clear();
    Application->OnException = TExceptionEvent([&](TObject*, Exception& E) {
        got.push_back(E.Message());
        throw EInvalidOperation("handler failed");
    });
    try {
        throw EInvalidOperation("first");
    } catch (...) {
        Application->HandleException(Application);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"first"}));
    ASSERT_EQ(responder.Shown().size(), 2u);
    EXPECT_EQ(responder.Shown()[1].Text, "handler failed.");

    // Outside a catch block there is nothing to report.
    Application->HandleException(Application);
    EXPECT_EQ(got.size(), 1u);
}

TEST_F(AppTest, ExceptionsInTheLoopGoToHandleException) {
    std::vector<std::string> got;
    Application->OnException = TExceptionEvent([&](TObject*, Exception& E) { got.push_back(E.ClassName()); });
    Application->HookMainWindow(TWindowHook([&](TMessage& M, bool&) {
        if (M.Msg == WM_PROBE) throw EDatabaseError("locked");
    }));
    PostMessageA(Application->Handle(), WM_PROBE, 0, 0);
    Application->Run();
    EXPECT_EQ(got, (std::vector<std::string>{"EDatabaseError"}));
}

TEST_F(AppTest, ActivationMinimizeAndRestoreFireTheirEvents) {
    std::vector<std::string> log;
    Application->OnActivate = TNotifyEvent([&](TObject*) { log.push_back("activate"); });
    Application->OnDeactivate = TNotifyEvent([&](TObject*) { log.push_back("deactivate"); });
    Application->OnMinimize = TNotifyEvent([&](TObject*) { log.push_back("minimize"); });
    Application->OnRestore = TNotifyEvent([&](TObject*) { log.push_back("restore"); });
    HWND app = Application->Handle();
    EXPECT_TRUE(Application->Active());  // a program starts as the active one
    SendMessageA(app, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(app, WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(Application->Active());
    SendMessageA(app, WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(Application->Active());
    SendMessageA(app, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Application->Minimize();
    EXPECT_TRUE(Application->Minimized());
    Application->Restore();
    Application->Restore();
    EXPECT_EQ(log, (std::vector<std::string>{"deactivate", "activate", "minimize", "restore"}));
}

TEST_F(AppTest, ShortcutsActionsAndHelpAskTheirEvents) {
    bool handled = false;
    Application->OnShortCut = TShortCutEvent([&](TWMKey& Msg, bool& Handled) { Handled = Msg.WParam == 'S'; });
    TWMKey key;
    key.Msg = WM_KEYDOWN;
    key.WParam = 'S';
    EXPECT_EQ(SendMessageA(Application->Handle(), CM_APPKEYDOWN, 'S', 0), 1);
    EXPECT_TRUE(Application->IsShortCut(key));
    key.WParam = 'Q';
    EXPECT_FALSE(Application->IsShortCut(key));

    TAction action(nullptr);
    Application->OnActionExecute = TActionEvent([&](TBasicAction* A, bool& Handled) {
        handled = A == &action;
        Handled = true;
    });
    EXPECT_TRUE(Application->ExecuteAction(&action));
    EXPECT_TRUE(handled);
    EXPECT_FALSE(Application->UpdateAction(&action));

    std::vector<intptr_t> contexts;
    Application->OnHelp = THelpEvent([&](uint16_t Command, intptr_t Data, bool& CallHelp, bool& Result) {
        EXPECT_EQ(Command, HELP_CONTEXT);
        EXPECT_TRUE(CallHelp);
        contexts.push_back(Data);
        Result = Data == 7;
    });
    EXPECT_TRUE(Application->HelpContext(7));
    EXPECT_FALSE(Application->HelpContext(8));
    EXPECT_EQ(contexts, (std::vector<intptr_t>{7, 8}));
}

TEST_F(AppTest, CreateFormMakesTheFirstFormTheMainForm) {
    TForm* first = nullptr;
    TForm* second = nullptr;
    Application->CreateForm(first);
    Application->CreateForm(second);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Application->MainForm(), first);
    EXPECT_EQ(first->Owner(), Application);
    EXPECT_TRUE(first->HandleAllocated());
    delete first;
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(second->Owner(), Application);
}

TEST_F(AppTest, HintTextAndShortAndLongParts) {
    EXPECT_EQ(GetShortHint("Save|Saves the file"), "Save");
    EXPECT_EQ(GetLongHint("Save|Saves the file"), "Saves the file");
    EXPECT_EQ(GetShortHint("Save"), "Save");
    EXPECT_EQ(GetLongHint("Save"), "Save");
    int hints = 0;
    Application->OnHint = TNotifyEvent([&](TObject*) { ++hints; });
    Application->SetHint("a");
    Application->SetHint("a");
    Application->SetHint("");
    EXPECT_EQ(hints, 2);
}

}  // namespace

namespace {

class THintBox : public TCustomControl {
public:
    explicit THintBox(TComponent* AOwner) : TCustomControl(AOwner) {}
};

// The hint pipeline: the mouse resting over a control starts the hint timer;
// after HintPause the hint info goes through OnShowHint and the hint window
// shows; after HintHidePause it goes; a key press cancels it; the idle loop
// keeps Application->Hint at the long part of the hint under the mouse.
TEST_F(AppTest, HintsFollowTheMouseAndTheClock) {
    auto* form = new TForm(Application);
    form->SetBounds(100, 100, 300, 200);
    auto* box = new THintBox(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 100, 40);
    box->SetHint("Save|Saves the file");
    box->SetShowHint(true);
    form->Show();
    Application->ProcessMessages();

    std::vector<std::string> shown;
    Application->OnShowHint = TShowHintEvent([&](std::string& HintStr, bool& CanShow, THintInfo& Info) {
        EXPECT_TRUE(CanShow);
        EXPECT_EQ(Info.HintControl, box);
        EXPECT_EQ(Info.HideTimeout, Application->HintHidePause());
        shown.push_back(HintStr);
        HintStr += "!";
    });
    std::vector<std::string> hints;
    Application->OnHint = TNotifyEvent([&](TObject*) { hints.push_back(Application->Hint()); });

    TPoint p = box->ClientToScreen(TPoint{10, 10});
    Input::MouseMove(p.x, p.y);
    Application->ProcessMessages();
    Application->HandleMessage();  // idles: the hint text under the mouse
    EXPECT_EQ(hints, (std::vector<std::string>{"Saves the file"}));
    Clock::Advance(static_cast<uint32_t>(Application->HintPause() - 1));
    EXPECT_FALSE(Application->HintShowing());
    Clock::Advance(1);
    ASSERT_TRUE(Application->HintShowing());
    EXPECT_EQ(shown, (std::vector<std::string>{"Save"}));
    EXPECT_EQ(Application->ShownHint().HintStr, "Save!");
    EXPECT_EQ(Application->HintControl(), box);

    Clock::Advance(static_cast<uint32_t>(Application->HintHidePause()));
    EXPECT_FALSE(Application->HintShowing());

    // Shown again after moving away and back; a key press ends it.
    Input::MouseMove(p.x + 150, p.y);
    Application->ProcessMessages();
    Input::MouseMove(p.x, p.y);
    Application->ProcessMessages();
    Clock::Advance(static_cast<uint32_t>(Application->HintPause()));
    ASSERT_TRUE(Application->HintShowing());
    Input::Key(VK_SHIFT);
    Application->ProcessMessages();
    EXPECT_FALSE(Application->HintShowing());

    // No hints at all while ShowHint is off.
    Application->SetShowHint(false);
    Input::MouseMove(p.x + 150, p.y);
    Input::MouseMove(p.x + 1, p.y);
    Application->ProcessMessages();
    Clock::Advance(static_cast<uint32_t>(Application->HintPause()));
    EXPECT_FALSE(Application->HintShowing());
    EXPECT_EQ(shown.size(), 2u);
}

}  // namespace
