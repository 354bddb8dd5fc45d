// Push buttons, check boxes, radio buttons and groups, bitmap and speed buttons driven through the input simulator.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/app/responders.h"
#include "host/controls/buttons.h"
#include "host/gdi/gdi.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "tests/host/controls/test_controls.h"

namespace {

using namespace host;
using ctltest::Make;
using ctltest::Rgb;
using ctltest::TProbe;

class ButtonsTest : public ctltest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        RegisterButtonClasses();
        form = new TForm(nullptr);
        form->SetName("Main");
        form->SetBounds(40, 40, 400, 300);
    }
    void TearDown() override {
        delete form;
        ControlsTest::TearDown();
    }
    static void ClickAt(TControl* C, int X = -1, int Y = -1) {
        TPoint p = C->ClientToScreen(TPoint{X < 0 ? C->Width() / 2 : X, Y < 0 ? C->Height() / 2 : Y});
        Input::Click(p.x, p.y);
        Input::ProcessAll();
    }
    static void Press(int Key) {
        Input::Key(Key);
        Input::ProcessAll();
    }
    TForm* form = nullptr;
};

// A button that draws itself: it asks for BS_OWNERDRAW and answers CN_DRAWITEM.
class TOwnerButton : public TButton {
    HOST_CLASS(TOwnerButton, TButton)
public:
    explicit TOwnerButton(TComponent* AOwner) : TButton(AOwner) {}
    std::vector<UINT> States;

protected:
    void CreateParams(TCreateParams& Params) override {
        TButton::CreateParams(Params);
        Params.Style |= BS_OWNERDRAW;
    }

private:
    void CNDrawItem(TMessage& M) {
        auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
        States.push_back(ds->itemState);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(ds->hDC, &ds->rcItem, red);
        DeleteObject(red);
    }
    HOST_MESSAGES(on(CN_DRAWITEM, &TOwnerButton::CNDrawItem))
};

TEST_F(ButtonsTest, PushButtonsSetTheModalResultAndAnswerEnterEscapeSpaceAndAccelerators) {
    auto* edit = Make<TProbe>(form, form, 10, 10, 100, 20, "Edit");
    auto* ok = Make<TButton>(form, form, 10, 200, 75, 25, "OkBtn");
    auto* cancel = Make<TButton>(form, form, 100, 200, 75, 25, "CancelBtn");
    ok->SetCaption("&OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    int okClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };

    auto modal = [&](std::function<void()> Act) {
        TDialogResponder responder;
        responder.Then([&](TDialogInfo&) {
            Act();
            return mrNone;
        });
        return form->ShowModal();
    };
    EXPECT_EQ(modal([&] {
                  TPoint p = ok->ClientToScreen(TPoint{20, 10});
                  Input::Click(p.x, p.y);
              }),
              mrOk);
    EXPECT_EQ(okClicks, 1);
    // Enter with a non-button focused clicks the Default button; Escape the Cancel one.
    EXPECT_EQ(modal([&] {
                  edit->SetFocus();
                  Input::Key(VK_RETURN);
              }),
              mrOk);
    EXPECT_EQ(okClicks, 2);
    EXPECT_EQ(modal([&] {
                  edit->SetFocus();
                  Input::Key(VK_ESCAPE);
              }),
              mrCancel);
    // The focused button is the active default: Enter clicks it, not the Default one.
    EXPECT_EQ(modal([&] {
                  cancel->SetFocus();
                  Input::Call([&] {
                      EXPECT_TRUE(cancel->ActiveDefault());
                      EXPECT_FALSE(ok->ActiveDefault());
                      EXPECT_EQ(cancel->Perform(WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
                      EXPECT_EQ(ok->Perform(WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
                  });
                  Input::Key(VK_RETURN);
              }),
              mrCancel);
    EXPECT_EQ(okClicks, 2);

    form->Show();
    form->SetModalResult(mrNone);
    edit->SetFocus();
    EXPECT_TRUE(ok->ActiveDefault());
    // Space presses the focused button; the click comes with the key's release.
    ok->SetFocus();
    Input::KeyDown(VK_SPACE);
    Input::ProcessAll();
    EXPECT_TRUE(ok->Pressed());
    EXPECT_EQ(okClicks, 2);
    Input::KeyUp(VK_SPACE);
    Input::ProcessAll();
    EXPECT_FALSE(ok->Pressed());
    EXPECT_EQ(okClicks, 3);
    // Pressed while the mouse is down inside; dragged out it pops up and gives no click.
    TPoint in = ok->ClientToScreen(TPoint{10, 10}), out = ok->ClientToScreen(TPoint{-30, 10});
    Input::MouseMove(in.x, in.y);
    Input::MouseDown();
    Input::Call([&] { EXPECT_TRUE(ok->Pressed()); });
    Input::MouseMove(out.x, out.y);
    Input::Call([&] { EXPECT_FALSE(ok->Pressed()); });
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_EQ(okClicks, 3);
    // The accelerator of "&OK" clicks it; a disabled button takes no click.
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'o', 0), 1);
    EXPECT_EQ(okClicks, 4);
    ok->SetEnabled(false);
    ClickAt(ok);
    EXPECT_EQ(okClicks, 4);
}

TEST_F(ButtonsTest, OwnerDrawnButtonGetsDrawItemWithItsState) {
    auto* b = Make<TOwnerButton>(form, form, 20, 20, 80, 30, "Owner");
    form->Show();
    EXPECT_EQ(wintest::ClientPixel(b->Handle(), 5, 5), 0xFF0000u);
    ASSERT_FALSE(b->States.empty());
    b->SetFocus();
    TPoint p = b->ClientToScreen(TPoint{10, 10});
    Input::MouseMove(p.x, p.y);
    Input::MouseDown();
    Input::Call([&] { wintest::ClientPixel(b->Handle(), 1, 1); });
    Input::MouseUp();
    Input::ProcessAll();
    bool sawPressed = false;
    for (UINT s : b->States) sawPressed |= (s & (ODS_SELECTED | ODS_FOCUS)) == (ODS_SELECTED | ODS_FOCUS);
    EXPECT_TRUE(sawPressed);
    b->SetEnabled(false);
    wintest::ClientPixel(b->Handle(), 1, 1);
    EXPECT_TRUE(b->States.back() & ODS_DISABLED);
    // A plain button paints the classic face itself.
    auto* plain = Make<TButton>(form, form, 150, 20, 80, 30, "Plain");
    EXPECT_EQ(wintest::ClientPixel(plain->Handle(), 40, 3), Rgb(clBtnFace));
    EXPECT_EQ(wintest::ClientPixel(plain->Handle(), 79, 29), Rgb(cl3DDkShadow));
}

TEST_F(ButtonsTest, CheckBoxStatesCycleByMouseSpaceAndCode) {
    auto* cb = Make<TCheckBox>(form, form, 10, 10, 120, 17, "Check");
    cb->SetCaption("&Remember");
    std::vector<TCheckBoxState> seen;
    cb->OnClick = [&](TObject*) { seen.push_back(cb->State()); };
    form->Show();
    ClickAt(cb, 5, 8);
    EXPECT_EQ(cb->State(), cbChecked);
    EXPECT_TRUE(cb->Focused());
    // The tick shows in the box (window-text pixels inside, none when unchecked).
    auto inkInBox = [&] {
        int n = 0;
        for (int y = 4; y < 13; ++y)
            for (int x = 2; x < 11; ++x) n += wintest::ClientPixel(cb->Handle(), x, y) == Rgb(clWindowText);
        return n;
    };
    EXPECT_GT(inkInBox(), 5);
    ClickAt(cb, 5, 8);
    EXPECT_EQ(cb->State(), cbUnchecked);
    EXPECT_EQ(inkInBox(), 0);
    cb->SetAllowGrayed(true);
    Press(VK_SPACE);
    EXPECT_EQ(cb->State(), cbGrayed);
    EXPECT_EQ(cb->Perform(BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_INDETERMINATE));
    Press(VK_SPACE);
    EXPECT_EQ(cb->State(), cbChecked);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'r', 0), 1);
    EXPECT_EQ(cb->State(), cbUnchecked);
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbChecked, cbUnchecked, cbGrayed, cbChecked, cbUnchecked}));
    // Setting Checked in code fires OnClick too, unless clicks are disabled.
    cb->SetChecked(true);
    EXPECT_EQ(seen.size(), 6u);
    cb->SetClicksDisabled(true);
    cb->SetChecked(false);
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_FALSE(cb->Checked());
    cb->SetClicksDisabled(false);
    cb->Perform(BM_SETCHECK, BST_CHECKED, 0);  // as the system's message: no OnClick
    EXPECT_TRUE(cb->Checked());
    EXPECT_EQ(seen.size(), 6u);
    cb->Perform(BM_SETCHECK, BST_UNCHECKED, 0);
    // Released outside, a press changes nothing.
    TPoint in = cb->ClientToScreen(TPoint{5, 8}), out = cb->ClientToScreen(TPoint{5, 80});
    Input::Drag(in, out);
    Input::ProcessAll();
    EXPECT_EQ(cb->State(), cbUnchecked);
}

TEST_F(ButtonsTest, RadioButtonsAndRadioGroupsAreExclusiveAndFollowArrows) {
    auto* box = Make<TGroupBox>(form, form, 10, 10, 150, 100, "Box");
    box->SetCaption("Size");
    auto* r1 = Make<TRadioButton>(form, box, 10, 20, 100, 17, "R1");
    auto* r2 = Make<TRadioButton>(form, box, 10, 40, 100, 17, "R2");
    auto* r3 = Make<TRadioButton>(form, box, 10, 60, 100, 17, "R3");
    r1->SetChecked(true);
    EXPECT_TRUE(r1->TabStop());
    form->Show();
    ClickAt(r2, 5, 8);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
    EXPECT_FALSE(r1->TabStop());
    Press(VK_DOWN);
    EXPECT_TRUE(r3->Focused());
    EXPECT_TRUE(r3->Checked());
    EXPECT_FALSE(r2->Checked());

    auto* group = Make<TRadioGroup>(form, form, 180, 10, 200, 120, "Group");
    group->SetCaption("Colour");
    group->Items()->Add("Red");
    group->Items()->Add("Green");
    group->Items()->Add("Blue");
    group->SetColumns(2);
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    ASSERT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(0)->ClassName(), "TGroupButton");
    EXPECT_EQ(group->Buttons(1)->Caption(), "Green");
    EXPECT_EQ(group->Buttons(2)->Left(), group->Buttons(0)->Left() + (200 - 10) / 2);  // second column
    EXPECT_GT(group->Buttons(1)->Top(), group->Buttons(0)->Top());
    ClickAt(group->Buttons(2), 5, -1);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    Press(VK_UP);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->Buttons(1)->Focused());
    EXPECT_FALSE(group->Buttons(2)->Checked());
    EXPECT_EQ(clicks, 2);
    group->SetItemIndex(0);
    EXPECT_TRUE(group->Buttons(0)->Checked());
    EXPECT_EQ(clicks, 3);
    group->SetItemIndex(7);  // out of range: the last one
    EXPECT_EQ(group->ItemIndex(), 2);
    group->Items()->Delete(2);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(group->ButtonCount(), 2);
    // The loose radio buttons of the group box were left alone.
    EXPECT_TRUE(r3->Checked());
}

TEST_F(ButtonsTest, SpeedButtonGroupsAllowAllUpAndDraggingOut) {
    std::vector<TSpeedButton*> b;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        b.push_back(Make<TSpeedButton>(form, form, 10 + 25 * i, 10, 23, 22));
        b.back()->SetGroupIndex(1);
        b.back()->OnClick = [&](TObject*) { ++clicks; };
    }
    form->Show();
    ClickAt(b[0]);
    EXPECT_TRUE(b[0]->Down());
    ClickAt(b[1]);
    EXPECT_TRUE(b[1]->Down());
    EXPECT_FALSE(b[0]->Down());
    ClickAt(b[1]);  // without AllowAllUp the down button stays down
    EXPECT_TRUE(b[1]->Down());
    EXPECT_EQ(clicks, 3);
    b[2]->SetAllowAllUp(true);  // spreads to the whole group
    ClickAt(b[1]);
    EXPECT_FALSE(b[1]->Down());
    EXPECT_EQ(b[1]->State(), bsUp);
    // Pressed then dragged out: down while inside, up again outside, no click.
    TPoint in = b[2]->ClientToScreen(TPoint{5, 5}), out = b[2]->ClientToScreen(TPoint{5, 60});
    Input::MouseMove(in.x, in.y);
    Input::MouseDown();
    Input::Call([&] { EXPECT_EQ(b[2]->State(), bsDown); });
    Input::MouseMove(out.x, out.y);
    Input::Call([&] { EXPECT_EQ(b[2]->State(), bsUp); });
    Input::MouseUp();
    Input::ProcessAll();
    EXPECT_FALSE(b[2]->Down());
    EXPECT_EQ(clicks, 4);
    // A flat button is raised only while the mouse is over it.
    auto* flat = Make<TSpeedButton>(form, form, 200, 10, 23, 22);
    flat->SetFlat(true);
    HWND h = form->Handle();
    uint32_t before = wintest::ClientPixel(h, 200, 10);
    TPoint over = flat->ClientToScreen(TPoint{10, 10});
    Input::MouseMove(over.x, over.y);
    Input::ProcessAll();
    EXPECT_TRUE(flat->MouseInControl());
    EXPECT_EQ(wintest::ClientPixel(h, 200, 10), Rgb(clBtnHighlight));
    EXPECT_NE(before, Rgb(clBtnHighlight));
    TPoint away = form->ClientToScreen(TPoint{300, 200});
    Input::MouseMove(away.x, away.y);
    Input::ProcessAll();
    EXPECT_FALSE(flat->MouseInControl());
    EXPECT_EQ(wintest::ClientPixel(h, 200, 10), before);
}

TEST_F(ButtonsTest, BitBtnKindsGlyphsAndTransparency) {
    struct {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    } kinds[] = {{bkOK, "OK", mrOk, true, false},        {bkCancel, "Cancel", mrCancel, false, true},
                 {bkHelp, "&Help", mrNone, false, false}, {bkYes, "&Yes", mrYes, true, false},
                 {bkNo, "&No", mrNo, false, true},        {bkClose, "&Close", mrNone, false, false},
                 {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
                 {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false}};
    for (const auto& k : kinds) {
        TBitBtn b(nullptr);
        b.SetKind(k.Kind);
        EXPECT_EQ(b.Kind(), k.Kind);
        EXPECT_EQ(b.Caption(), k.Caption);
        EXPECT_EQ(b.ModalResult(), k.Result) << k.Caption;
        EXPECT_EQ(b.Default(), k.Default) << k.Caption;
        EXPECT_EQ(b.Cancel(), k.Cancel) << k.Caption;
        EXPECT_EQ(b.NumGlyphs(), 2);
        EXPECT_FALSE(b.Glyph()->Empty());
    }
    auto* ok = Make<TBitBtn>(form, form, 10, 10, 90, 30, "Ok");
    ok->SetKind(bkOK);
    ok->SetModalResult(mrYes);
    EXPECT_EQ(ok->Kind(), bkCustom);

    // A custom glyph: its bottom-left colour (magenta) is transparent.
    auto* gb = Make<TBitBtn>(form, form, 10, 60, 90, 40, "Pic");
    TBitmap pic(16, 16);
    pic.Canvas()->Brush()->SetColor(clFuchsia);
    pic.Canvas()->FillRect(TRect{0, 0, 16, 16});
    pic.Canvas()->Brush()->SetColor(clRed);
    pic.Canvas()->FillRect(TRect{4, 4, 12, 12});
    gb->SetGlyph(&pic);
    gb->SetMargin(4);
    EXPECT_EQ(gb->NumGlyphs(), 1);
    auto* closer = Make<TBitBtn>(form, form, 120, 10, 90, 30, "Closer");
    closer->SetKind(bkClose);
    form->Show();
    HWND h = gb->Handle();
    // Find the red body of the glyph: 8 x 8 pixels, with the transparent frame around it
    // showing the button face, and no magenta anywhere.
    int minX = 1000, minY = 1000, red = 0, magenta = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 90; ++x) {
            uint32_t p = wintest::ClientPixel(h, x, y);
            if (p == 0xFF0000u) {
                ++red;
                minX = std::min(minX, x);
                minY = std::min(minY, y);
            }
            magenta += p == 0xFF00FFu;
        }
    EXPECT_EQ(red, 64);
    EXPECT_EQ(magenta, 0);
    EXPECT_LT(minX, 20);  // glyph left of the (empty) caption area, near the margin
    EXPECT_EQ(wintest::ClientPixel(h, minX - 3, minY - 3), Rgb(clBtnFace));
    gb->SetEnabled(false);  // the made-up disabled image: shadow where the picture was dark
    EXPECT_EQ(wintest::ClientPixel(h, minX + 4, minY + 4), Rgb(clBtnShadow));
    EXPECT_EQ(wintest::ClientPixel(h, minX - 3, minY - 3), Rgb(clBtnFace));
    // bkClose closes the form.
    ClickAt(closer);
    EXPECT_FALSE(form->Visible());
}

TEST_F(ButtonsTest, BitBtnStylesPaintTheOldAndTheNewFace) {
    auto* b = Make<TBitBtn>(form, form, 10, 10, 90, 30, "Styled");
    b->SetCaption("Styled");
    auto* other = Make<TButton>(form, form, 10, 60, 90, 30, "Other");
    form->Show();
    other->SetFocus();
    Input::ProcessAll();
    HWND h = b->Handle();
    auto px = [&](int X, int Y) { return wintest::ClientPixel(h, X, Y); };
    // bsAutoDetect follows the system: the new face, white outer edge.
    EXPECT_EQ(b->Style(), bsAutoDetect);
    EXPECT_EQ(px(45, 0), Rgb(clBtnHighlight));
    uint32_t autoTop = px(45, 1), autoBottom = px(45, 28);
    b->SetStyle(bsNew);
    Input::ProcessAll();
    EXPECT_EQ(px(45, 1), autoTop);
    EXPECT_EQ(px(45, 28), autoBottom);
    // bsWin31: a black outline with cut corners and a two-pixel bevel.
    b->SetStyle(bsWin31);
    Input::ProcessAll();
    EXPECT_EQ(px(0, 0), Rgb(clBtnFace));
    EXPECT_EQ(px(45, 0), Rgb(clWindowFrame));
    EXPECT_EQ(px(45, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(px(45, 2), Rgb(clBtnHighlight));
    EXPECT_EQ(px(45, 28), Rgb(clBtnShadow));
    EXPECT_EQ(px(45, 27), Rgb(clBtnShadow));
    EXPECT_EQ(px(45, 29), Rgb(clWindowFrame));
    // Focused, the old outline doubles; the new one adds a single black line.
    b->SetFocus();
    Input::ProcessAll();
    EXPECT_EQ(px(45, 1), Rgb(clWindowFrame));
    EXPECT_EQ(px(45, 3), Rgb(clBtnHighlight));
    b->SetStyle(bsNew);
    Input::ProcessAll();
    EXPECT_EQ(px(45, 0), Rgb(clWindowFrame));
    EXPECT_EQ(px(45, 1), Rgb(clBtnHighlight));
}

TEST_F(ButtonsTest, FormFileRoundTrip) {
    auto* b = Make<TButton>(form, form, 10, 10, 75, 25, "B");
    b->SetCaption("Go");
    b->SetDefault(true);
    b->SetModalResult(mrRetry);
    auto* cb = Make<TCheckBox>(form, form, 10, 40, 90, 17, "C");
    cb->SetAllowGrayed(true);
    cb->SetState(cbGrayed);
    cb->SetAlignment(taLeftJustify);
    auto* box = Make<TGroupBox>(form, form, 280, 10, 100, 60, "Box");
    box->SetCaption("&Options");
    auto* rb = Make<TRadioButton>(form, box, 10, 20, 80, 17, "R");
    rb->SetChecked(true);
    auto* g = Make<TRadioGroup>(form, form, 120, 10, 150, 100, "G");
    g->Items()->Add("One");
    g->Items()->Add("Two");
    g->SetItemIndex(1);
    g->SetColumns(2);
    auto* bb = Make<TBitBtn>(form, form, 10, 120, 75, 25, "BB");
    bb->SetKind(bkCancel);
    bb->SetLayout(blGlyphTop);
    auto* custom = Make<TBitBtn>(form, form, 10, 150, 75, 25, "Custom");
    TBitmap pic(32, 16);
    pic.Canvas()->SetPixels(20, 3, clBlue);
    custom->SetGlyph(&pic);
    custom->SetCaption("Own");
    auto* sb = Make<TSpeedButton>(form, form, 100, 150, 23, 22, "S");
    sb->SetGroupIndex(3);
    sb->SetDown(true);
    sb->SetFlat(true);
    sb->SetSpacing(-1);

    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_EQ(text.find("TGroupButton"), std::string::npos) << text;
    EXPECT_NE(text.find("Kind = bkCancel"), std::string::npos) << text;
    EXPECT_EQ(text.find("Caption = 'Cancel'"), std::string::npos) << text;  // implied by the kind

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* b2 = static_cast<TButton*>(copy->FindComponent("B"));
    auto* cb2 = static_cast<TCheckBox*>(copy->FindComponent("C"));
    auto* rb2 = static_cast<TRadioButton*>(copy->FindComponent("R"));
    auto* g2 = static_cast<TRadioGroup*>(copy->FindComponent("G"));
    auto* bb2 = static_cast<TBitBtn*>(copy->FindComponent("BB"));
    auto* c2 = static_cast<TBitBtn*>(copy->FindComponent("Custom"));
    auto* sb2 = static_cast<TSpeedButton*>(copy->FindComponent("S"));
    ASSERT_TRUE(b2 && cb2 && rb2 && g2 && bb2 && c2 && sb2);
    EXPECT_EQ(b2->Caption(), "Go");
    EXPECT_TRUE(b2->Default());
    EXPECT_EQ(b2->ModalResult(), mrRetry);
    EXPECT_EQ(cb2->State(), cbGrayed);
    EXPECT_EQ(cb2->Alignment(), taLeftJustify);
    EXPECT_TRUE(rb2->Checked());
    ASSERT_NE(rb2->Parent(), nullptr);
    EXPECT_EQ(rb2->Parent()->Name(), "Box");
    EXPECT_EQ(rb2->Parent()->ClassName(), "TGroupBox");
    EXPECT_EQ(rb2->Parent()->Caption(), "&Options");
    EXPECT_EQ(g2->ButtonCount(), 2);
    EXPECT_EQ(g2->ItemIndex(), 1);
    EXPECT_TRUE(g2->Buttons(1)->Checked());
    EXPECT_EQ(g2->Columns(), 2);
    EXPECT_EQ(bb2->Kind(), bkCancel);
    EXPECT_EQ(bb2->Caption(), "Cancel");
    EXPECT_TRUE(bb2->Cancel());
    EXPECT_EQ(bb2->Layout(), blGlyphTop);
    EXPECT_EQ(c2->Caption(), "Own");
    EXPECT_EQ(c2->NumGlyphs(), 2);
    ASSERT_EQ(c2->Glyph()->Width(), 32);
    EXPECT_EQ(c2->Glyph()->Canvas()->Pixels(20, 3), clBlue);
    EXPECT_TRUE(sb2->Down());
    EXPECT_TRUE(sb2->Flat());
    EXPECT_EQ(sb2->GroupIndex(), 3);
    EXPECT_EQ(sb2->Spacing(), -1);
    delete copy;
}

}  // namespace

