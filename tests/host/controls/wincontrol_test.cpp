// Windowed controls and forms, continued: mouse tracking, cursors, lookups, writing form files, recreated windows, exceptions in handlers, data modules, frames and the screen's lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app/responders.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

using Log = std::vector<std::string>;

// A graphic control that logs the mouse entering and leaving it.
class TTracked : public TSwatch {
    HOST_CLASS(TTracked, TSwatch)
public:
    explicit TTracked(TComponent* AOwner) : TSwatch(AOwner) {}
    std::vector<std::string>* Events = nullptr;

private:
    void CMMouseEnter(TMessage& M) {
        if (M.LParam == 0 && Events) Events->push_back(Name() + ".enter");
        Inherited(M);
    }
    void CMMouseLeave(TMessage& M) {
        if (M.LParam == 0 && Events) Events->push_back(Name() + ".leave");
        Inherited(M);
    }
    HOST_MESSAGES(on(CM_MOUSEENTER, &TTracked::CMMouseEnter), on(CM_MOUSELEAVE, &TTracked::CMMouseLeave))
};

// A container that logs its child-list notifications.
class TContainer : public TProbe {
    HOST_CLASS(TContainer, TProbe)
public:
    explicit TContainer(TComponent* AOwner) : TProbe(AOwner) {}
    std::vector<std::string> Changes;

private:
    void CMControlChange(TMessage& M) {
        Changes.push_back(std::string(M.LParam ? "insert " : "remove ") + reinterpret_cast<TControl*>(M.WParam)->Name());
    }
    HOST_MESSAGES(on(CM_CONTROLCHANGE, &TContainer::CMControlChange))
};

class WinControlMoreTest : public ControlsTest {};

TEST_F(WinControlMoreTest, MouseTrackingCursorsAndLookups) {
    Log log;
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(30, 40, 300, 200);
    auto* g1 = Make<TTracked>(form, form, 10, 10, 50, 50, "G1");
    auto* g2 = Make<TTracked>(form, form, 70, 10, 50, 50, "G2");
    g1->Events = g2->Events = &log;
    g1->SetCursor(crHandPoint);
    auto* w = Make<TProbe>(form, form, 150, 10, 80, 80, "W");
    form->Show();

    Input::MouseMove(30 + 20, 40 + 20);
    Input::ProcessAll();
    Input::MouseMove(30 + 80, 40 + 20);
    Input::ProcessAll();
    Input::MouseMove(30 + 5, 40 + 150);
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"G1.enter", "G1.leave", "G2.enter", "G2.leave"}));

    Input::MouseMove(30 + 20, 40 + 20);
    Input::ProcessAll();
    EXPECT_EQ(wintest::CurrentCursor(), Screen->Cursors(crHandPoint));
    Screen->SetCursor(crHourGlass);  // the screen cursor wins over the control's
    Input::MouseMove(30 + 21, 40 + 21);
    Input::ProcessAll();
    EXPECT_EQ(wintest::CurrentCursor(), Screen->Cursors(crHourGlass));
    Screen->SetCursor(crDefault);

    // Coordinates and lookups.
    EXPECT_EQ(g1->ClientToScreen(TPoint{1, 2}), (TPoint{41, 52}));
    EXPECT_EQ(w->ScreenToClient(TPoint{190, 60}), (TPoint{10, 10}));
    EXPECT_EQ(FindDragTarget(TPoint{41, 52}, false), g1);
    EXPECT_EQ(FindDragTarget(TPoint{190, 60}, false), w);
    EXPECT_EQ(FindControl(w->Handle()), w);
    EXPECT_EQ(FindVCLWindow(TPoint{41, 52}), form);
    EXPECT_EQ(form->ControlAtPos(TPoint{80, 20}, false), g2);
    EXPECT_EQ(form->ControlAtPos(TPoint{160, 20}, false), nullptr);
    EXPECT_EQ(form->ControlAtPos(TPoint{160, 20}, false, true), w);
    g2->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos(TPoint{80, 20}, false), nullptr);
    EXPECT_EQ(form->ControlAtPos(TPoint{80, 20}, true), g2);
    EXPECT_EQ(GetParentForm(g1), form);
    EXPECT_THROW(ValidParentForm(new TSwatch(form)), EInvalidOperation);

    // A recreated window keeps the control, its place and its text.
    HWND old = w->Handle();
    w->SetCaption("kept");
    w->RecreateWnd();
    EXPECT_NE(w->Handle(), old);
    EXPECT_EQ(FindControl(old), nullptr);
    EXPECT_EQ(FindControl(w->Handle()), w);
    EXPECT_EQ(GetParent(w->Handle()), form->Handle());
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    EXPECT_EQ(GetWindowTextStr(w->Handle()), "kept");
    RECT r{};
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.left, 30 + 150);
    delete form;
}

TEST_F(WinControlMoreTest, ChildListNotificationsStreamingAndExceptions) {
    RegisterClasses({TProbe::StaticClass(), TSwatch::StaticClass(), TContainer::StaticClass()});
    auto* form = new TForm(nullptr);
    form->SetName("Main");
    form->SetBounds(0, 0, 300, 200);
    auto* box = Make<TContainer>(form, form, 0, 0, 200, 100, "Box");
    auto* s1 = Make<TSwatch>(form, box, 5, 5, 10, 10, "S1");
    s1->SetAlign(alLeft);
    s1->SetCursor(crHandPoint);
    auto* p1 = Make<TProbe>(form, box, 20, 5, 10, 10, "P1");
    p1->SetParent(form);
    EXPECT_EQ(box->Changes, (Log{"insert S1", "insert P1", "remove P1"}));

    // The form file nests controls inside their parents and writes cursors by name.
    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("object Box: TContainer"), std::string::npos) << text;
    EXPECT_LT(text.find("object Box: TContainer"), text.find("object S1: TSwatch")) << text;
    EXPECT_NE(text.find("Cursor = crHandPoint"), std::string::npos) << text;
    EXPECT_NE(text.find("Align = alLeft"), std::string::npos) << text;
    size_t boxEnd = text.find("  end", text.find("object S1"));
    EXPECT_GT(text.find("object P1: TProbe"), boxEnd) << text;

    // An exception in an event handler goes to the application, not to the loop.
    std::string reported;
    Application->OnException = [&](TObject*, Exception& E) { reported = E.Message(); };
    p1->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { throw EConvertError("bad input"); };
    form->Show();
    TPoint at = p1->ClientToScreen(TPoint{2, 2});
    Input::Click(at.x, at.y);
    EXPECT_NO_THROW(Input::ProcessAll());
    EXPECT_EQ(reported, "bad input");
    delete form;
}

TEST_F(WinControlMoreTest, DataModulesFramesAndTheScreenLists) {
    int formsBefore = Screen->FormCount();
    int created = 0, destroyed = 0;
    auto* dm = CreateForm<TDataModule>(Application);
    EXPECT_EQ(Screen->DataModuleCount(), 1);
    EXPECT_EQ(Screen->DataModules(0), dm);
    dm->OnDestroy = [&](TObject*) { ++destroyed; };
    delete dm;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Screen->DataModuleCount(), 0);

    auto* form = CreateForm<TForm>(Application);
    form->OnCreate = [&](TObject*) { ++created; };  // too late: OnCreate ran already
    EXPECT_EQ(created, 0);
    EXPECT_EQ(Screen->FormCount(), formsBefore + 1);
    form->SetBounds(0, 0, 400, 300);
    auto* frame = Make<TFrame>(form, form, 0, 0, 100, 100, "Frame1");
    frame->SetAlign(alClient);
    auto* inside = Make<TSwatch>(form, frame, 0, 0, 10, 30);
    inside->SetAlign(alBottom);
    EXPECT_EQ(frame->BoundsRect(), form->ClientRect());
    EXPECT_EQ(inside->Top(), frame->Height() - 30);
    form->Show();
    EXPECT_TRUE(frame->Showing());
    EXPECT_TRUE(IsWindowVisible(frame->Handle()));
    form->Hide();
    EXPECT_FALSE(frame->Showing());

    // Closing the main form ends the application.
    TForm* main = nullptr;
    Application->CreateForm(TForm::StaticClass(), main);
    ASSERT_EQ(Application->MainForm(), main);
    main->Show();
    main->Close();
    EXPECT_TRUE(Application->Terminated());

    // A modal form freed by its OnClose goes once the queue runs; Release twice is one release.
    auto* dlg = new TForm(Application);
    int gone = 0;
    dlg->OnDestroy = [&](TObject*) { ++gone; };
    dlg->OnClose = [](TObject*, TCloseAction& A) { A = caFree; };
    {
        TDialogResponder responder;
        responder.Answer(mrOk);
        EXPECT_EQ(dlg->ShowModal(), mrOk);
    }
    dlg->Release();
    dlg->Release();
    Input::ProcessAll();
    EXPECT_EQ(gone, 1);
}

}  // namespace
}  // namespace ctltest
