// Controls on forms: notifications, painting order and clipping by pixels, mouse events, capture, focus, tab order, dialog keys and dragging.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/os/keyboard.h"
#include "test_controls.h"

namespace ctltest {
namespace {

using Log = std::vector<std::string>;

class WinControlTest : public ControlsTest {};

TEST_F(WinControlTest, NotificationsPropagateAsTheFrameworkDoes) {
    Log log;
    auto* form = new TForm(nullptr);
    form->SetBounds(10, 10, 300, 200);
    auto* outer = Make<TProbe>(form, form, 0, 0, 200, 150, "Outer");
    auto* inner = Make<TProbe>(form, outer, 10, 10, 50, 50, "Inner");
    outer->Log = inner->Log = &log;

    // A parent's font and colour reach the children that take them from it.
    outer->Font()->SetSize(14);
    EXPECT_EQ(inner->Font()->Size(), 14);
    EXPECT_TRUE(inner->ParentFont());
    EXPECT_EQ(log, (Log{"Outer.font", "Inner.font"}));
    log.clear();
    inner->Font()->SetStyle({fsBold});  // its own font now
    EXPECT_FALSE(inner->ParentFont());
    outer->Font()->SetSize(20);
    EXPECT_EQ(inner->Font()->Size(), 14);
    log.clear();
    outer->SetColor(clYellow);
    EXPECT_EQ(inner->Color(), clYellow);
    EXPECT_EQ(log, (Log{"Outer.color", "Inner.color"}));
    inner->SetParentColor(false);
    inner->SetColor(clAqua);
    outer->SetColor(clLime);
    EXPECT_EQ(inner->Color(), clAqua);

    log.clear();
    outer->SetEnabled(false);
    outer->SetEnabled(false);  // no change: no message
    inner->SetVisible(false);
    inner->SetCaption("x");
    EXPECT_EQ(log, (Log{"Outer.enabled", "Inner.visible", "Inner.text"}));
    EXPECT_FALSE(inner->CanFocus());

    // Perform goes through WindowProc, which a caller may replace and chain.
    TWndMethod old = inner->WindowProc;
    int seen = 0;
    inner->WindowProc = [&](TMessage& M) {
        if (M.Msg == WM_USER + 1) ++seen;
        old(M);
    };
    EXPECT_EQ(inner->Perform(WM_USER + 1, 0, 0), 0);
    TMessage m;
    m.Msg = WM_USER + 1;
    outer->Broadcast(m);
    EXPECT_EQ(seen, 2);
    inner->WindowProc = old;
    delete form;
}

TEST_F(WinControlTest, GraphicChildrenPaintInZOrderClippedToThemselves) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 150);
    form->SetColor(clWhite);
    auto* a = Make<TSwatch>(form, form, 10, 10, 60, 60);
    auto* b = Make<TSwatch>(form, form, 40, 40, 60, 60);
    b->Fill = clBlue;
    auto* spill = Make<TSwatch>(form, form, 120, 10, 20, 20);
    spill->Fill = clLime;
    spill->Spill = true;  // paints far outside: the clip keeps it in its bounds
    auto* win = Make<TProbe>(form, form, 150, 100, 40, 40);
    win->Fill = clYellow;
    auto* hidden = Make<TSwatch>(form, form, 0, 120, 30, 30);
    hidden->Fill = clFuchsia;
    hidden->SetVisible(false);
    form->Show();
    HWND h = form->Handle();
    EXPECT_EQ(wintest::ClientPixel(h, 15, 15), Rgb(clRed));
    EXPECT_EQ(wintest::ClientPixel(h, 50, 50), Rgb(clBlue));  // b is above a
    EXPECT_EQ(wintest::ClientPixel(h, 125, 15), Rgb(clLime));
    EXPECT_EQ(wintest::ClientPixel(h, 145, 15), Rgb(clWhite));
    EXPECT_EQ(wintest::ClientPixel(h, 125, 35), Rgb(clWhite));
    EXPECT_EQ(wintest::ClientPixel(h, 160, 110), Rgb(clYellow));
    EXPECT_EQ(wintest::ClientPixel(h, 5, 125), Rgb(clWhite));

    a->BringToFront();
    form->Repaint();
    EXPECT_EQ(wintest::ClientPixel(h, 50, 50), Rgb(clRed));
    hidden->SetVisible(true);
    form->Update();
    EXPECT_EQ(wintest::ClientPixel(h, 5, 125), Rgb(clFuchsia));
    delete form;
}

TEST_F(WinControlTest, MouseEventsClicksAndCapture) {
    Log log;
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, 200, 150);
    auto* sw = Make<TSwatch>(form, form, 20, 30, 50, 40);
    sw->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        log.push_back("down " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y) +
                      (S.Contains(ssDouble) ? " dbl" : ""));
    };
    sw->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        log.push_back("up " + std::to_string(X) + "," + std::to_string(Y));
    };
    sw->OnClick = [&](TObject*) { log.push_back("click"); };
    sw->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    form->Show();

    Input::Click(125, 135);  // client (25, 35) = control (5, 5)
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"down 0 5,5", "click", "up 5,5"}));

    // Pressed inside, released outside: the control keeps the mouse, no click.
    log.clear();
    Input::MouseMove(130, 140);
    Input::MouseDown();
    Input::MouseMove(250, 230);
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"down 0 10,10", "up 130,100"}));

    log.clear();
    Clock::Advance(1000);
    Input::DoubleClick(130, 140);
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"down 0 10,10", "click", "up 10,10", "dblclick", "down 0 10,10 dbl", "up 10,10"}));

    // The right button gives no click.
    log.clear();
    Clock::Advance(1000);
    Input::Click(130, 140, Input::Button::Right);
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"down 1 10,10", "up 10,10"}));
    delete form;
}

TEST_F(WinControlTest, FocusTabOrderAndDialogKeys) {
    Log log;
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    auto* a = Make<TProbe>(form, form, 0, 0, 50, 20, "A");
    auto* group = Make<TProbe>(form, form, 0, 30, 200, 100, "Group");
    group->SetTabStop(false);
    auto* b = Make<TProbe>(form, group, 0, 0, 50, 20, "B");
    auto* c = Make<TProbe>(form, group, 60, 0, 50, 20, "C");
    auto* d = Make<TProbe>(form, form, 0, 140, 50, 20, "D");
    for (TProbe* p : {a, group, b, c, d}) p->Log = &log;
    d->SetTabOrder(0);  // D first, then A, then the group's B and C
    EXPECT_EQ(a->TabOrder(), 1);
    int formChanges = 0, controlChanges = 0;
    Screen->OnActiveFormChange = [&](TObject*) { ++formChanges; };
    Screen->OnActiveControlChange = [&](TObject*) { ++controlChanges; };

    form->Show();
    EXPECT_EQ(form->ActiveControl(), d);
    EXPECT_TRUE(d->Focused());
    EXPECT_EQ(Screen->ActiveControl(), d);
    EXPECT_EQ(Screen->ActiveCustomForm(), form);
    EXPECT_GE(formChanges, 1);

    log.clear();
    Input::Key(VK_TAB);
    Input::ProcessAll();
    EXPECT_TRUE(a->Focused());
    Input::Key(VK_TAB);
    Input::ProcessAll();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(log, (Log{"D.exit", "A.enter", "A.exit", "Group.enter", "B.enter"}));
    Input::Key(VK_RIGHT);  // arrows move within the group
    Input::ProcessAll();
    EXPECT_TRUE(c->Focused());
    Input::KeyDown(VK_SHIFT);
    Input::Key(VK_TAB);
    Input::KeyUp(VK_SHIFT);
    Input::ProcessAll();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(Screen->ActiveControl(), b);

    // A disabled control is skipped; setting it active raises.
    c->SetEnabled(false);
    EXPECT_THROW(form->SetActiveControl(c), EInvalidOperation);
    EXPECT_EQ(form->ActiveControl(), b);
    Input::Key(VK_TAB);
    Input::ProcessAll();
    EXPECT_TRUE(d->Focused());

    // Enter and Escape go to the form and on to the children (the default button's way).
    log.clear();
    a->TakeDialogKeys = true;
    char pressed = 0;
    d->OnKeyPress = [&](TObject*, char& K) { pressed = K; };
    Input::Key(VK_RETURN);
    Input::Key(VK_ESCAPE);
    Input::Type("q");
    Input::ProcessAll();
    EXPECT_EQ(log, (Log{"A.default", "A.cancel"}));
    EXPECT_EQ(pressed, 'q');

    // KeyPreview: the form sees the key first and may swallow it.
    WORD seenByControl = 0;
    d->OnKeyDown = [&](TObject*, WORD& K, TShiftState) { seenByControl = K; };
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, WORD& K, TShiftState) {
        if (K == 'X') K = 0;
    };
    Input::Key('X');
    Input::Key('Y');
    Input::ProcessAll();
    EXPECT_EQ(seenByControl, 'Y');
    EXPECT_GE(controlChanges, 5);
    delete form;
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

TEST_F(WinControlTest, DragAndDropThroughTheSimulator) {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 300, 200);
    auto* source = Make<TSwatch>(form, form, 10, 10, 40, 40, "Source");
    source->SetDragMode(dmAutomatic);
    auto* target = Make<TProbe>(form, form, 150, 50, 100, 100, "Target");
    std::vector<std::string> log;
    target->OnDragOver = [&](TObject*, TObject* Src, int, int, TDragState State, bool& Accept) {
        Accept = Src == source;
        if (State == dsDragEnter) log.push_back("enter");
    };
    target->OnDragDrop = [&](TObject*, TObject* Src, int X, int Y) {
        log.push_back(std::string("drop ") + (Src == source ? "source " : "? ") + std::to_string(X) + "," +
                      std::to_string(Y));
    };
    source->OnEndDrag = [&](TObject*, TObject* T, int, int) { log.push_back(T == target ? "end on target" : "end"); };
    form->Show();
    Input::Drag(POINT{20, 20}, POINT{200, 120}, 6);
    Input::ProcessAll();
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "drop source 50,70", "end on target"}));
    EXPECT_EQ(DragControl(), nullptr);

    // Escape cancels: no drop, OnEndDrag without a target.
    log.clear();
    Clock::Advance(1000);  // not a double click
    Input::MouseMove(20, 20);
    Input::MouseDown();
    Input::MouseMove(100, 100);
    Input::MouseMove(200, 120);
    Input::Key(VK_ESCAPE);
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "end"}));

    // A press and release without moving is a plain click.
    bool clicked = false;
    source->OnClick = [&](TObject*) { clicked = true; };
    Clock::Advance(1000);
    Input::Click(20, 20);
    Input::ProcessAll();
    EXPECT_TRUE(clicked);
    delete form;
}

}  // namespace
}  // namespace ctltest
