// Scroll boxes and scrolling containers: automatic ranges, window scroll bars, the wheel, ScrollInView and form files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/controls/comctrls.h"
#include "host/gdi/gdi.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

class ScrollBoxTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterComCtrlClasses();
        RegisterClasses({TProbe::StaticClass()});
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(20, 20, 400, 300);
        form->Show();
        box = Make<TScrollBox>(form.get(), form.get(), 10, 10, 204, 154, "Box");
    }
    bool HasBar(DWORD Bit) { return (GetWindowLongA(box->Handle(), GWL_STYLE) & LONG(Bit)) != 0; }
    // A point on the box's vertical bar, Up pixels above its bottom end (screen coordinates).
    TPoint OnVertBar(int FromBottom) {
        TPoint o = box->ClientOrigin();
        return TPoint{o.x + box->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2,
                      o.y + box->ClientHeight() - FromBottom};
    }
    std::unique_ptr<TForm> form;
    TScrollBox* box = nullptr;
};

TEST_F(ScrollBoxTest, AutoRangeBarsClicksAndWheel) {
    EXPECT_TRUE(box->AutoScroll());
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    auto* near = Make<TProbe>(form.get(), box, 10, 10, 50, 30, "Near");
    auto* far = Make<TProbe>(form.get(), box, 20, 400, 50, 40, "Far");
    EXPECT_EQ(box->VertScrollBar()->Range(), 440);
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    EXPECT_FALSE(HasBar(WS_HSCROLL));
    EXPECT_EQ(box->ClientWidth(), 200 - GetSystemMetrics(SM_CXVSCROLL));
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(box->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMax, 439);
    EXPECT_EQ(int(si.nPage), box->ClientHeight());

    // The down arrow scrolls by Increment: the children move up.
    int sbH = GetSystemMetrics(SM_CYVSCROLL);
    TPoint arrow = OnVertBar(sbH / 2);
    Input::Click(arrow.x, arrow.y);
    Input::ProcessAll();
    EXPECT_EQ(box->VertScrollBar()->Position(), 8);
    EXPECT_EQ(near->Top(), 2);
    EXPECT_EQ(far->Top(), 392);
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_VERT), 8);
    // The page area below the thumb scrolls by the client height.
    TPoint page = OnVertBar(sbH + 4);
    Input::Click(page.x, page.y);
    Input::ProcessAll();
    EXPECT_EQ(box->VertScrollBar()->Position(), 8 + box->ClientHeight());
    // Scrolling never passes the end of the range.
    box->VertScrollBar()->SetPosition(10000);
    EXPECT_EQ(box->VertScrollBar()->Position(), 440 - box->ClientHeight());
    EXPECT_EQ(far->Top() + far->Height(), box->ClientHeight());
    // The range follows the children however far they are scrolled.
    EXPECT_EQ(box->VertScrollBar()->Range(), 440);

    // The wheel scrolls three increments a notch, over the box or over a child.
    int before = box->VertScrollBar()->Position();
    far->SetFocus();  // the wheel goes to the focused control, which passes it up
    TPoint over = far->ClientToScreen(TPoint{5, 5});
    Input::MouseMove(over.x, over.y);
    Input::Wheel(WHEEL_DELTA);
    Input::ProcessAll();
    EXPECT_EQ(box->VertScrollBar()->Position(), before - 24);
    Input::Wheel(-WHEEL_DELTA);
    Input::ProcessAll();
    EXPECT_EQ(box->VertScrollBar()->Position(), before);

    // A thumb track only scrolls with Tracking; the final position always does.
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(box->VertScrollBar()->Position(), before);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
    EXPECT_EQ(box->VertScrollBar()->Position(), 40);
    EXPECT_EQ(near->Top(), -30);
    box->VertScrollBar()->SetTracking(true);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(near->Top(), 10);

    // Bringing the far child back into view takes the bar away and the position to 0.
    box->VertScrollBar()->SetPosition(100);
    far->SetTop(far->Top() - 300);
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    EXPECT_EQ(box->VertScrollBar()->Position(), 0);
    EXPECT_EQ(near->Top(), 10);

    // Horizontal extent, with Margin beyond the farthest child.
    box->HorzScrollBar()->SetMargin(6);
    far->SetLeft(300);
    EXPECT_EQ(box->HorzScrollBar()->Range(), 356);
    EXPECT_TRUE(HasBar(WS_HSCROLL));
    SendMessageA(box->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(far->Left(), 292);
    SendMessageA(box->Handle(), WM_HSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ(far->Left(), 300);
    wintest::SaveWindowPng(form->Handle(), "/tmp/pg/scrollbox.png");
}

TEST_F(ScrollBoxTest, ScrollInViewAndFocus) {
    auto* top = Make<TProbe>(form.get(), box, 5, 5, 40, 20, "Top");
    auto* low = Make<TProbe>(form.get(), box, 250, 300, 40, 20, "Low");
    ASSERT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    box->ScrollInView(low);
    EXPECT_EQ(low->Top() + low->Height(), box->ClientHeight());
    EXPECT_EQ(low->Left() + low->Width(), box->ClientWidth());
    box->ScrollInView(top);
    EXPECT_EQ(top->Top(), 0);
    EXPECT_EQ(top->Left(), 0);
    box->ScrollInView(form.get());  // not a child: nothing happens
    box->ScrollInView(nullptr);
    EXPECT_EQ(top->Top(), 0);

    // A control inside a panel inside the box is reached through its parent.
    auto* inner = Make<TProbe>(form.get(), box, 10, 200, 150, 150, "Inner");
    auto* deep = Make<TProbe>(form.get(), inner, 20, 120, 20, 20, "Deep");
    box->ScrollInView(deep);
    TPoint p = deep->ClientToParent(TPoint{0, 0}, box);
    EXPECT_EQ(p.y + 20, box->ClientHeight());

    // Focusing a control out of view scrolls it in (AutoScroll).
    box->VertScrollBar()->SetPosition(0);
    box->HorzScrollBar()->SetPosition(0);
    low->SetFocus();
    EXPECT_TRUE(low->Focused());
    EXPECT_LE(low->Top() + low->Height(), box->ClientHeight());
    EXPECT_GE(low->Top(), 0);
}

TEST_F(ScrollBoxTest, AlignedChildrenFormsAndFormFiles) {
    // Aligned children do not make a range of their own; a bottom-aligned one adds
    // to the vertical range.
    auto* strip = Make<TProbe>(form.get(), box, 0, 0, 50, 20, "Strip");
    strip->SetAlign(alTop);
    EXPECT_EQ(strip->Width(), box->ClientWidth());
    EXPECT_FALSE(HasBar(WS_VSCROLL));
    auto* tall = Make<TProbe>(form.get(), box, 10, 30, 40, 300, "Tall");
    EXPECT_TRUE(HasBar(WS_VSCROLL));
    // The strip narrowed with the client when the bar came.
    EXPECT_EQ(strip->Width(), box->ClientWidth());
    box->VertScrollBar()->SetPosition(20);
    EXPECT_EQ(strip->Top(), -20);
    EXPECT_EQ(tall->Top(), 10);

    // A form keeps its look when nothing is out of view, and scrolls only with AutoScroll.
    EXPECT_FALSE(form->AutoScroll());
    Make<TProbe>(form.get(), form.get(), 600, 10, 20, 20, "Outside");
    EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & LONG(WS_HSCROLL | WS_VSCROLL), 0);
    form->SetAutoScroll(true);
    EXPECT_NE(GetWindowLongA(form->Handle(), GWL_STYLE) & LONG(WS_HSCROLL), 0);
    form->SetAutoScroll(false);
    EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & LONG(WS_HSCROLL), 0);

    // Ranges set by hand turn AutoScroll off and are stored; scroll-bar settings stream.
    auto* manual = Make<TScrollBox>(form.get(), form.get(), 220, 10, 120, 100, "Manual");
    manual->VertScrollBar()->SetRange(500);
    EXPECT_FALSE(manual->AutoScroll());
    manual->VertScrollBar()->SetIncrement(20);
    manual->SetBorderStyle(bsNone);
    EXPECT_THROW(manual->VertScrollBar()->SetIncrement(0), ERangeError);
    TStringStream out("");
    out.WriteComponent(form.get());
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("VertScrollBar.Range = 500"), std::string::npos) << text;
    EXPECT_EQ(text.find("VertScrollBar.Range"), text.rfind("VertScrollBar.Range")) << text;  // only Manual's
    auto copy = std::make_unique<TForm>(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy.get());
    auto* m2 = static_cast<TScrollBox*>(copy->FindComponent("Manual"));
    auto* b2 = static_cast<TScrollBox*>(copy->FindComponent("Box"));
    ASSERT_TRUE(m2 && b2);
    EXPECT_FALSE(m2->AutoScroll());
    EXPECT_EQ(m2->VertScrollBar()->Range(), 500);
    EXPECT_EQ(m2->VertScrollBar()->Increment(), 20);
    EXPECT_EQ(m2->BorderStyle(), bsNone);
    EXPECT_TRUE(b2->AutoScroll());
    EXPECT_EQ(b2->BorderStyle(), bsSingle);
    EXPECT_EQ(b2->VertScrollBar()->Position(), 20) << text;
    copy->Show();  // the first control takes the focus and is scrolled into view
    EXPECT_EQ(b2->VertScrollBar()->Range(), 330);
    EXPECT_EQ(b2->VertScrollBar()->Position(), 0);
    EXPECT_EQ(static_cast<TControl*>(copy->FindComponent("Strip"))->Top(), 0);
}

}  // namespace
}  // namespace ctltest
