// Labels, panels, bevels, shapes, images, timers and the hint window: sizes, pixels, focus, clock and form files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/controls/extctrls.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

class ExtCtrlsTest : public ControlsTest {
protected:
    TForm* NewForm(int W = 300, int H = 200) {
        auto* form = new TForm(nullptr);
        form->SetBounds(20, 20, W, H);
        form->Show();
        return form;
    }
    static uint32_t Px(TWinControl* C, int X, int Y) { return wintest::ClientPixel(C->Handle(), X, Y); }
    // The first column (from the left) within [X0, X1) of row band [Y0, Y1) that is
    // not Background; -1 when none.
    static int FirstInk(TWinControl* C, int X0, int X1, int Y0, int Y1, uint32_t Background) {
        for (int x = X0; x < X1; ++x)
            for (int y = Y0; y < Y1; ++y)
                if (Px(C, x, y) != Background) return x;
        return -1;
    }
    static TSize Extent(TFont* Font, const std::string& S) {
        TBitmap b(4, 4);
        b.Canvas()->Font()->Assign(Font);
        return b.Canvas()->TextExtent(S);
    }
};

TEST_F(ExtCtrlsTest, LabelSizesAlignsAndPaintsItsText) {
    TForm* form = NewForm();
    uint32_t face = Rgb(clBtnFace);
    auto* label = Make<TLabel>(form, form, 10, 10, 200, 40, "Lbl");
    label->SetCaption("Hello");
    TSize ext = Extent(label->Font(), "Hello");
    // AutoSize (the default) takes exactly the text's extent.
    EXPECT_TRUE(label->AutoSize());
    EXPECT_EQ(label->Width(), ext.cx);
    EXPECT_EQ(label->Height(), ext.cy);
    // An empty caption still keeps one line of height; "&&" draws as one '&'.
    label->SetCaption("");
    EXPECT_EQ(label->Height(), ext.cy);
    label->SetCaption("A&&B");
    EXPECT_EQ(label->Width(), Extent(label->Font(), "A&B").cx);
    label->SetShowAccelChar(false);
    EXPECT_EQ(label->Width(), Extent(label->Font(), "A&&B").cx);

    // Right-justified auto-sized labels keep their right edge.
    label->SetShowAccelChar(true);
    label->SetCaption("Hi");
    label->SetAlignment(taRightJustify);
    int right = label->Left() + label->Width();
    label->SetCaption("Hello there");
    EXPECT_EQ(label->Left() + label->Width(), right);

    // Without AutoSize the text sits by Alignment and Layout within the bounds.
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 60);
    label->SetCaption("Hello");
    label->SetColor(clWhite);
    EXPECT_EQ(Px(form, 11, 11), 0xFFFFFFu);  // the label's own colour
    int ink = FirstInk(form, 10, 210, 10, 70, 0xFFFFFF);
    EXPECT_GE(ink, 210 - ext.cx - 1);
    label->SetAlignment(taLeftJustify);
    EXPECT_LE(FirstInk(form, 10, 210, 10, 70, 0xFFFFFF), 12);
    label->SetAlignment(taCenter);
    ink = FirstInk(form, 10, 210, 10, 70, 0xFFFFFF);
    EXPECT_NEAR(ink, 10 + (200 - ext.cx) / 2, 3);
    // Layout: no ink in the top half when the text sits at the bottom.
    label->SetLayout(tlBottom);
    EXPECT_EQ(FirstInk(form, 10, 210, 10, 10 + 60 - ext.cy - 1, 0xFFFFFF), -1);
    EXPECT_NE(FirstInk(form, 10, 210, 70 - ext.cy, 70, 0xFFFFFF), -1);

    // A transparent label lets the form show through; a disabled one is embossed.
    label->SetTransparent(true);
    EXPECT_EQ(Px(form, 11, 11), face);
    label->SetTransparent(false);
    label->SetColor(clAqua);
    label->SetEnabled(false);
    bool highlight = false, shadow = false;
    for (int x = 10; x < 210; ++x)
        for (int y = 10; y < 70; ++y) {
            uint32_t p = Px(form, x, y);
            highlight |= p == Rgb(clBtnHighlight);
            shadow |= p == Rgb(clBtnShadow);
        }
    EXPECT_TRUE(highlight);
    EXPECT_TRUE(shadow);

    // Word wrapping makes an auto-sized label taller, not wider.
    auto* wrap = Make<TLabel>(form, form, 10, 100, 60, 20, "Wrap");
    wrap->SetWordWrap(true);
    wrap->SetCaption("one two three four five");
    EXPECT_LE(wrap->Width(), 60);
    EXPECT_GE(wrap->Height(), 2 * ext.cy);
    delete form;
}

TEST_F(ExtCtrlsTest, LabelAcceleratorFocusesItsControl) {
    TForm* form = NewForm();
    auto* first = Make<TProbe>(form, form, 10, 100, 50, 20, "First");
    auto* target = Make<TProbe>(form, form, 100, 100, 50, 20, "Target");
    auto* label = Make<TLabel>(form, form, 10, 10, 80, 20, "Lbl");
    label->SetCaption("&Name");
    label->SetFocusControl(target);
    first->SetFocus();
    ASSERT_TRUE(first->Focused());

    // Another letter, or '&&' text, is not the accelerator.
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'X', 0), 0);
    EXPECT_TRUE(first->Focused());
    EXPECT_NE(form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
    EXPECT_TRUE(target->Focused());
    first->SetFocus();
    label->SetCaption("&&Name");
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'N', 0), 0);
    label->SetCaption("&Name");
    label->SetShowAccelChar(false);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'N', 0), 0);
    EXPECT_TRUE(first->Focused());

    // A freed focus control is forgotten.
    delete target;
    EXPECT_EQ(label->FocusControl(), nullptr);
    label->SetShowAccelChar(true);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'N', 0), 0);
    delete form;
}

TEST_F(ExtCtrlsTest, PanelInsetsBevelsAndBorders) {
    TForm* form = NewForm();
    form->SetColor(clWhite);
    auto* panel = Make<TPanel>(form, form, 10, 10, 100, 60, "Pnl");
    EXPECT_EQ(panel->Color(), clBtnFace);
    EXPECT_FALSE(panel->ParentColor());
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    auto* child = Make<TProbe>(form, panel, 0, 0, 10, 10, "Child");
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), (TRect{1, 1, 99, 59}));
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    // BorderWidth + BevelWidth for each of the two bevels.
    EXPECT_EQ(child->BoundsRect(), (TRect{7, 7, 93, 53}));
    panel->SetBevelOuter(bvNone);
    EXPECT_EQ(child->BoundsRect(), (TRect{5, 5, 95, 55}));
    // A single border takes one pixel each side from the client area.
    panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(panel->ClientWidth(), 98);
    EXPECT_EQ(child->BoundsRect(), (TRect{5, 5, 93, 53}));
    delete child;

    // Raised outer bevel: highlight on the top-left, shadow on the bottom-right, face inside.
    panel->SetBorderStyle(bsNone);
    panel->SetBevelInner(bvNone);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelWidth(1);
    panel->SetBorderWidth(0);
    EXPECT_EQ(Px(panel, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(panel, 50, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(panel, 99, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Px(panel, 99, 59), Rgb(clBtnShadow));
    EXPECT_EQ(Px(panel, 0, 59), Rgb(clBtnShadow));
    EXPECT_EQ(Px(panel, 50, 30), Rgb(clBtnFace));
    panel->SetBevelOuter(bvLowered);
    EXPECT_EQ(Px(panel, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Px(panel, 99, 59), Rgb(clBtnHighlight));
    // The caption is centred.
    panel->SetCaption("Mid");
    int ink = FirstInk(panel, 1, 99, 1, 59, Rgb(clBtnFace));
    EXPECT_NEAR(ink, (100 - Extent(panel->Font(), "Mid").cx) / 2, 2);
    delete form;
}

TEST_F(ExtCtrlsTest, Frame3DBevelAndShapePixels) {
    TBitmap bmp(10, 8);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(TRect{0, 0, 10, 8});
    TRect r{0, 0, 10, 8};
    Frame3D(bmp.Canvas(), r, clRed, clBlue, 2);
    EXPECT_EQ(r, (TRect{2, 2, 8, 6}));
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(9, 0), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 7), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(9, 7), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(8, 6), clBlue);
    EXPECT_EQ(bmp.Canvas()->Pixels(2, 2), clWhite);

    TForm* form = NewForm();
    form->SetColor(clWhite);
    auto* bevel = Make<TBevel>(form, form, 10, 10, 40, 30, "Bev");
    EXPECT_EQ(Px(form, 10, 10), Rgb(clBtnShadow));
    EXPECT_EQ(Px(form, 49, 39), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(form, 30, 25), 0xFFFFFFu);
    bevel->SetStyle(bsRaised);
    bevel->SetShape(bsTopLine);
    EXPECT_EQ(Px(form, 30, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(Px(form, 30, 11), Rgb(clBtnShadow));
    EXPECT_EQ(Px(form, 49, 39), 0xFFFFFFu);

    auto* shape = Make<TShape>(form, form, 100, 10, 60, 40, "Shp");
    shape->Brush()->SetColor(clRed);
    shape->Pen()->SetColor(clBlue);
    EXPECT_EQ(Px(form, 100, 10), 0x0000FFu);
    EXPECT_EQ(Px(form, 130, 30), 0xFF0000u);
    shape->SetShape(stCircle);
    // A 40-pixel circle centred across: the corners of the bounds stay the form's.
    EXPECT_EQ(Px(form, 101, 11), 0xFFFFFFu);
    EXPECT_EQ(Px(form, 130, 30), 0xFF0000u);
    EXPECT_EQ(Px(form, 105, 30), 0xFFFFFFu);
    delete form;
}

TEST_F(ExtCtrlsTest, ImageStretchesCentresAndDraws) {
    TForm* form = NewForm();
    form->SetColor(clWhite);
    auto* image = Make<TImage>(form, form, 10, 10, 40, 40, "Img");
    TBitmap quad(2, 2);
    quad.Canvas()->SetPixels(0, 0, clRed);
    quad.Canvas()->SetPixels(1, 0, clLime);
    quad.Canvas()->SetPixels(0, 1, clBlue);
    quad.Canvas()->SetPixels(1, 1, clYellow);
    image->Picture()->SetGraphic(&quad);
    EXPECT_EQ(Px(form, 10, 10), 0xFF0000u);
    EXPECT_EQ(Px(form, 11, 10), 0x00FF00u);
    EXPECT_EQ(Px(form, 15, 15), 0xFFFFFFu);
    image->SetStretch(true);
    EXPECT_EQ(Px(form, 15, 15), 0xFF0000u);
    EXPECT_EQ(Px(form, 45, 15), 0x00FF00u);
    EXPECT_EQ(Px(form, 15, 45), 0x0000FFu);
    EXPECT_EQ(Px(form, 45, 45), 0xFFFF00u);
    image->SetStretch(false);
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), (TRect{19, 19, 21, 21}));
    EXPECT_EQ(Px(form, 29, 29), 0xFF0000u);
    EXPECT_EQ(Px(form, 10, 10), 0xFFFFFFu);
    // Proportional only shrinks, keeping the aspect.
    TBitmap wide(80, 20);
    image->Picture()->SetGraphic(&wide);
    image->SetProportional(true);
    EXPECT_EQ(image->DestRect(), (TRect{0, 15, 40, 25}));
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 80);
    EXPECT_EQ(image->Height(), 20);

    // Canvas draws on the picture's bitmap (made for an empty picture).
    auto* pad = Make<TImage>(form, form, 100, 10, 30, 20, "Pad");
    pad->Canvas()->Brush()->SetColor(clFuchsia);
    pad->Canvas()->FillRect(TRect{0, 0, 30, 20});
    ASSERT_NE(pad->Picture()->Bitmap(), nullptr);
    EXPECT_EQ(pad->Picture()->Width(), 30);
    EXPECT_EQ(Px(form, 115, 20), 0xFF00FFu);
    pad->Canvas()->Brush()->SetColor(clLime);  // drawing again shows at once
    pad->Canvas()->FillRect(TRect{0, 0, 30, 20});
    EXPECT_EQ(Px(form, 115, 20), 0x00FF00u);
    TIcon icon;
    pad->Picture()->SetGraphic(nullptr);
    pad->Picture()->SetIcon(&icon);
    if (pad->Picture()->Graphic() != nullptr) {
        EXPECT_THROW(pad->Canvas(), EInvalidOperation);
    }
    delete form;
}

TEST_F(ExtCtrlsTest, TimerFiresOnTheClockAndChecksItsInterval) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    int fired = 0;
    timer.OnTimer = TNotifyEvent([&](TObject* Sender) {
        EXPECT_EQ(Sender, &timer);
        ++fired;
    });
    timer.SetInterval(100);
    Clock::Advance(99);
    EXPECT_EQ(fired, 0);
    Clock::Advance(1);
    EXPECT_EQ(fired, 1);
    Clock::Advance(250);
    EXPECT_EQ(fired, 3);
    // A negative interval raises and changes nothing; 0 stops it.
    EXPECT_THROW(timer.SetInterval(-5), ERangeError);
    EXPECT_EQ(timer.Interval(), 100);
    timer.SetEnabled(false);
    Clock::Advance(500);
    EXPECT_EQ(fired, 3);
    timer.SetEnabled(true);
    Clock::Advance(100);
    EXPECT_EQ(fired, 4);
    timer.SetInterval(0);
    Clock::Advance(1000);
    EXPECT_EQ(fired, 4);
    // An exception in OnTimer goes to the application and the timer goes on.
    std::string reported;
    Application->OnException = [&](TObject*, Exception& E) { reported = E.Message(); };
    timer.OnTimer = TNotifyEvent([&](TObject*) {
        ++fired;
        throw EConvertError("tick failed");
    });
    timer.SetInterval(10);
    Clock::Advance(20);
    EXPECT_EQ(fired, 6);
    EXPECT_EQ(reported, "tick failed");

    // A timer that is freed never fires again.
    auto owned = std::make_unique<TTimer>(nullptr);
    int other = 0;
    owned->OnTimer = TNotifyEvent([&](TObject*) { ++other; });
    owned->SetInterval(10);
    owned.reset();
    Clock::Advance(50);
    EXPECT_EQ(other, 0);
}

TEST_F(ExtCtrlsTest, HintWindowShowsAfterThePauseOverAControl) {
    TForm* form = NewForm();
    auto* panel = Make<TPanel>(form, form, 10, 10, 100, 60, "Pnl");
    panel->SetHint("Saves the document|Long text");
    panel->SetShowHint(true);
    TPoint p = panel->ClientToScreen(TPoint{20, 20});
    Input::MouseMove(p.x, p.y);
    Application->ProcessMessages();
    Clock::Advance(static_cast<uint32_t>(Application->HintPause()));
    ASSERT_TRUE(Application->HintShowing());
    THintWindow* hint = Application->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->ClassType(), THintWindow::StaticClass());
    EXPECT_EQ(hint->Caption(), "Saves the document");
    HWND h = hint->Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(GetActiveWindow(), form->Handle());  // the hint never takes the activation
    // Below the cursor, the text's size plus margins and the border.
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_EQ(wr.left, p.x);
    EXPECT_GT(wr.top, p.y);
    TSize ext = Extent(hint->Font(), "Saves the document");
    EXPECT_EQ(wr.right - wr.left, ext.cx + 6);
    EXPECT_EQ(wr.bottom - wr.top, ext.cy + 6);
    EXPECT_EQ(wintest::ClientPixel(h, 1, 1), Rgb(clInfoBk));
    // A narrow maximum width wraps the text onto more lines.
    TRect narrow = hint->CalcHintRect(ext.cx / 2, "Saves the document", nullptr);
    EXPECT_GE(narrow.bottom, 2 * ext.cy + 6);
    EXPECT_LE(narrow.right, ext.cx / 2 + 6);

    // A hint window class of the application's choosing.
    Application->SetHintWindowClass(nullptr);
    EXPECT_THROW(Application->SetHintWindowClass(TPanel::StaticClass()), EInvalidOperation);
    Clock::Advance(static_cast<uint32_t>(Application->HintHidePause()));
    EXPECT_FALSE(Application->HintShowing());
    delete form;
}

TEST_F(ExtCtrlsTest, FormFilesKeepEveryProperty) {
    RegisterExtClasses();
    RegisterClasses({TProbe::StaticClass()});
    auto* form = new TForm(nullptr);
    form->SetName("Src");
    auto* panel = Make<TPanel>(form, form, 5, 5, 150, 80, "Pnl");
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderStyle(bsSingle);
    panel->SetAlignment(taLeftJustify);
    panel->SetCaption("Panel text");
    auto* edit = Make<TProbe>(form, panel, 60, 10, 50, 20, "Target");
    auto* label = Make<TLabel>(form, panel, 5, 10, 50, 20, "Lbl");
    label->SetCaption("&Target");
    label->SetFocusControl(edit);
    label->SetAlignment(taRightJustify);
    label->SetLayout(tlCenter);
    label->SetWordWrap(true);
    label->SetAutoSize(false);
    label->SetWidth(50);
    label->SetTransparent(true);
    auto* bevel = Make<TBevel>(form, form, 5, 100, 50, 10, "Bev");
    bevel->SetShape(bsBottomLine);
    bevel->SetStyle(bsRaised);
    auto* shape = Make<TShape>(form, form, 60, 100, 30, 30, "Shp");
    shape->SetShape(stRoundSquare);
    shape->Brush()->SetColor(clRed);
    shape->Pen()->SetWidth(3);
    auto* image = Make<TImage>(form, form, 100, 100, 20, 20, "Img");
    TBitmap pic(3, 2);
    pic.Canvas()->SetPixels(2, 1, clBlue);
    image->Picture()->SetGraphic(&pic);
    image->SetStretch(true);
    image->SetCenter(true);
    auto* timer = new TTimer(form);
    timer->SetName("Tmr");
    timer->SetInterval(250);
    timer->SetEnabled(false);

    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("FocusControl = Target"), std::string::npos) << text;
    EXPECT_EQ(text.find("BevelOuter"), std::string::npos) << text;  // the default is not written
    delete form;

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* p2 = static_cast<TPanel*>(copy->FindComponent("Pnl"));
    auto* l2 = static_cast<TLabel*>(copy->FindComponent("Lbl"));
    auto* b2 = static_cast<TBevel*>(copy->FindComponent("Bev"));
    auto* s2 = static_cast<TShape*>(copy->FindComponent("Shp"));
    auto* i2 = static_cast<TImage*>(copy->FindComponent("Img"));
    auto* t2 = static_cast<TTimer*>(copy->FindComponent("Tmr"));
    ASSERT_TRUE(p2 && l2 && b2 && s2 && i2 && t2);
    EXPECT_EQ(p2->BevelInner(), bvLowered);
    EXPECT_EQ(p2->BevelOuter(), bvRaised);
    EXPECT_EQ(p2->BevelWidth(), 2);
    EXPECT_EQ(p2->BorderStyle(), bsSingle);
    EXPECT_EQ(p2->Alignment(), taLeftJustify);
    EXPECT_EQ(p2->Caption(), "Panel text");
    EXPECT_EQ(l2->FocusControl(), copy->FindComponent("Target"));
    EXPECT_EQ(l2->Alignment(), taRightJustify);
    EXPECT_EQ(l2->Layout(), tlCenter);
    EXPECT_TRUE(l2->WordWrap());
    EXPECT_FALSE(l2->AutoSize());
    EXPECT_TRUE(l2->Transparent());
    EXPECT_EQ(l2->Width(), 50);
    EXPECT_EQ(l2->Parent(), p2);
    EXPECT_EQ(b2->Shape(), bsBottomLine);
    EXPECT_EQ(b2->Style(), bsRaised);
    EXPECT_EQ(s2->Shape(), stRoundSquare);
    EXPECT_EQ(s2->Brush()->Color(), clRed);
    EXPECT_EQ(s2->Pen()->Width(), 3);
    EXPECT_TRUE(i2->Stretch());
    EXPECT_TRUE(i2->Center());
    ASSERT_EQ(i2->Picture()->Width(), 3);
    EXPECT_EQ(i2->Picture()->Bitmap()->Canvas()->Pixels(2, 1), clBlue);
    EXPECT_EQ(t2->Interval(), 250);
    EXPECT_FALSE(t2->Enabled());
    delete copy;
}

}  // namespace
}  // namespace ctltest
