// Edit controls driven as a person would: typing, keys, mouse, clipboard, undo, pixels, memo lines and scrolling, masks, the caret, form files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/app/clipbrd.h"
#include "host/app/responders.h"
#include "host/controls/edits.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "test_controls.h"

namespace ctltest {
namespace {

class EditsTest : public ControlsTest {
protected:
    TForm* form = nullptr;
    int changes = 0;

    void SetUp() override {
        ControlsTest::SetUp();
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 400, 300);
    }
    void TearDown() override {
        delete form;
        ControlsTest::TearDown();
    }
    template <class T>
    T* Put(int L, int T_, int W, int H, const std::string& Name) {
        auto* c = Make<T>(form, form, L, T_, W, H, Name);
        c->OnChange = [this](TObject*) { ++changes; };
        return c;
    }
    void ShowAndFocus(TWinControl* C) {
        form->Show();
        C->SetFocus();
        Input::ProcessAll();
    }
    // A key with modifiers held.
    static void Press(int Vk, bool Shift = false, bool Ctrl = false) {
        if (Shift) Input::KeyDown(VK_SHIFT);
        if (Ctrl) Input::KeyDown(VK_CONTROL);
        Input::Key(Vk);
        if (Ctrl) Input::KeyUp(VK_CONTROL);
        if (Shift) Input::KeyUp(VK_SHIFT);
        Input::ProcessAll();
    }
    static void Type(const std::string& S) {
        Input::Type(S);
        Input::ProcessAll();
    }
    // Screen position of a client point of a control.
    static TPoint At(TControl* C, int X, int Y) { return C->ClientToScreen(TPoint{X, Y}); }
};

TEST_F(EditsTest, TypingKeysSelectionAndUndo) {
    auto* e = Put<TEdit>(10, 10, 200, 21, "E");
    ShowAndFocus(e);
    Type("hello world");
    EXPECT_EQ(e->Text(), "hello world");
    EXPECT_EQ(changes, 11);
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(e->SelStart(), 11);

    // Shift+Left selects backwards; Ctrl+Left steps by words.
    for (int i = 0; i < 5; ++i) Press(VK_LEFT, true);
    EXPECT_EQ(e->SelText(), "world");
    Press(VK_LEFT);
    EXPECT_EQ(e->SelStart(), 6);
    EXPECT_EQ(e->SelLength(), 0);
    Press(VK_LEFT, false, true);
    EXPECT_EQ(e->SelStart(), 0);
    Press(VK_RIGHT, true, true);
    EXPECT_EQ(e->SelText(), "hello ");
    Press(VK_END, true);
    EXPECT_EQ(e->SelText(), "hello world");
    Press(VK_HOME);
    Press(VK_END, true);
    EXPECT_EQ(e->SelLength(), 11);

    // Typing replaces the selection; Backspace and Delete remove characters.
    Type("abc");
    EXPECT_EQ(e->Text(), "abc");
    Press(VK_BACK);
    EXPECT_EQ(e->Text(), "ab");
    Press(VK_HOME);
    Press(VK_DELETE);
    EXPECT_EQ(e->Text(), "b");

    // Undo swaps back the text before the last change, and a second undo redoes it.
    Type("xyz");
    EXPECT_EQ(e->Text(), "xyzb");
    ASSERT_TRUE(e->CanUndo());
    Press('Z', false, true);
    EXPECT_EQ(e->Text(), "b");
    e->Undo();
    EXPECT_EQ(e->Text(), "xyzb");

    // Ctrl+A selects everything; Ctrl+Backspace deletes the word before the caret.
    Press('A', false, true);
    EXPECT_EQ(e->SelLength(), 4);
    e->SetText("one two");
    Press(VK_END);
    Press(VK_BACK, false, true);
    EXPECT_EQ(e->Text(), "one ");

    // MaxLength refuses what does not fit; CharCase converts typing and the text.
    e->SetText("");
    e->SetMaxLength(3);
    Type("abcdef");
    EXPECT_EQ(e->Text(), "abc");
    e->SetMaxLength(0);
    e->SetCharCase(ecUpperCase);
    EXPECT_EQ(e->Text(), "ABC");
    Type("d");
    EXPECT_EQ(e->Text(), "ABCD");

    // Read-only edits keep their text.
    e->SetReadOnly(true);
    Type("zz");
    Press(VK_BACK);
    EXPECT_EQ(e->Text(), "ABCD");
}

TEST_F(EditsTest, OnChangeModifiedAndCodeChanges) {
    auto* e = Put<TEdit>(10, 10, 200, 21, "E");
    e->SetText("abc");
    EXPECT_EQ(changes, 1);
    e->SetText("abc");  // unchanged: no event
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(e->Modified());
    EXPECT_FALSE(e->CanUndo());

    e->SetSelStart(1);
    e->SetSelLength(1);
    EXPECT_EQ(e->SelText(), "b");
    e->SetSelText("XY");
    EXPECT_EQ(e->Text(), "aXYc");
    EXPECT_EQ(changes, 2);
    e->SetSelLength(-2);  // a negative length selects backwards from the caret
    EXPECT_EQ(e->SelText(), "XY");
    EXPECT_EQ(e->SelStart(), 1);
    e->SetSelStart(100);
    EXPECT_EQ(e->SelStart(), 4);

    // The window text and EM_* messages see the same buffer.
    form->Show();
    EXPECT_EQ(GetWindowTextStr(e->Handle()), "aXYc");
    SetWindowTextA(e->Handle(), "new");
    EXPECT_EQ(e->Text(), "new");
    EXPECT_EQ(changes, 3);
    e->Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(e->SelLength(), 3);
    DWORD s = 9, t = 9;
    e->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&t));
    EXPECT_EQ(s, 0u);
    EXPECT_EQ(t, 3u);
    e->Clear();
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(changes, 4);

    // UTF-8 characters are stepped over whole.
    e->SetText("a\xC3\xA9z");
    e->SetSelStart(2);  // inside the two-byte character: moved to its start
    EXPECT_EQ(e->SelStart(), 1);
    ShowAndFocus(e);
    e->SetSelStart(1);
    Press(VK_DELETE);
    EXPECT_EQ(e->Text(), "az");
}

TEST_F(EditsTest, ClipboardCutCopyPaste) {
    auto* e = Put<TEdit>(10, 10, 200, 21, "E");
    ShowAndFocus(e);
    Type("hello world");
    for (int i = 0; i < 5; ++i) Press(VK_LEFT, true);
    Press('X', false, true);
    EXPECT_EQ(Clipboard()->AsText(), "world");
    EXPECT_EQ(e->Text(), "hello ");
    Press(VK_HOME);
    Press('V', false, true);
    EXPECT_EQ(e->Text(), "worldhello ");
    Press(VK_LEFT, true, true);
    Press(VK_INSERT, false, true);  // Ctrl+Insert copies
    EXPECT_EQ(Clipboard()->AsText(), "world");
    Press(VK_END);
    Press(VK_INSERT, true);  // Shift+Insert pastes
    EXPECT_EQ(e->Text(), "worldhello world");
    e->SelectAll();
    Press(VK_DELETE, true);  // Shift+Delete cuts
    EXPECT_EQ(e->Text(), "");
    EXPECT_EQ(Clipboard()->AsText(), "worldhello world");

    // A single-line edit pastes up to the first line break; MaxLength cuts the rest.
    Clipboard()->SetAsText("first\r\nsecond");
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "first");
    e->Clear();
    e->SetMaxLength(3);
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "fir");

    // Password edits refuse to give their text away; read-only ones refuse changes.
    e->SetMaxLength(0);
    Clipboard()->SetAsText("keep");
    e->SetPasswordChar('*');
    e->SelectAll();
    e->CopyToClipboard();
    e->CutToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "keep");
    EXPECT_EQ(e->Text(), "fir");
    e->SetPasswordChar(0);
    e->SetReadOnly(true);
    e->SelectAll();
    e->CutToClipboard();
    e->PasteFromClipboard();
    EXPECT_EQ(e->Text(), "fir");
    e->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "fir");
}

TEST_F(EditsTest, MouseClickDragDoubleClickAndAutoSelect) {
    auto* other = Put<TEdit>(10, 40, 200, 21, "Other");
    auto* e = Put<TEdit>(10, 10, 200, 21, "E");
    e->SetText("alpha beta gamma");
    form->Show();
    other->SetFocus();
    Input::ProcessAll();

    // Tab into the edit: AutoSelect selects everything.
    Press(VK_TAB);
    ASSERT_TRUE(e->Focused());
    EXPECT_EQ(e->SelLength(), 16);

    // A click places the caret between the characters nearest the point.
    LRESULT p = e->Perform(EM_POSFROMCHAR, 6, 0);
    int x6 = static_cast<short>(LOWORD(uintptr_t(p))), y = static_cast<short>(HIWORD(uintptr_t(p)));
    TPoint pt = At(e, x6 + 1, y + 4);
    Input::Click(pt.x, pt.y);
    Input::ProcessAll();
    EXPECT_EQ(e->SelStart(), 6);
    EXPECT_EQ(e->SelLength(), 0);
    EXPECT_EQ(e->CharFromPos(x6 + 1, y + 4), 6);

    // A drag selects from the press to the release.
    LRESULT q = e->Perform(EM_POSFROMCHAR, 10, 0);
    int x10 = static_cast<short>(LOWORD(uintptr_t(q)));
    Clock::Advance(1000);  // no double click with the click before
    Input::Drag(At(e, x6, y + 4), At(e, x10, y + 4));
    Input::ProcessAll();
    EXPECT_EQ(e->SelText(), "beta");

    // A double click selects the word with its trailing blank.
    Clock::Advance(1000);
    TPoint w = At(e, x10 + 10, y + 4);
    Input::DoubleClick(w.x, w.y);
    Input::ProcessAll();
    EXPECT_EQ(e->SelText(), "gamma");
    Clock::Advance(1000);
    Input::DoubleClick(At(e, x6 + 3, y + 4).x, At(e, x6 + 3, y + 4).y);
    Input::ProcessAll();
    EXPECT_EQ(e->SelText(), "beta ");

    // Clicking into a control that is not focused does not select everything.
    other->SetFocus();
    Input::ProcessAll();
    Clock::Advance(1000);
    Input::Click(pt.x, pt.y);
    Input::ProcessAll();
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->SelLength(), 0);
}

TEST_F(EditsTest, PixelsBorderPasswordDisabledAndScrolling) {
    auto* a = Put<TEdit>(10, 10, 150, 21, "A");
    auto* b = Put<TEdit>(10, 40, 150, 21, "B");
    auto* c = Put<TEdit>(10, 70, 150, 21, "C");
    a->SetText("secret");
    a->SetPasswordChar('*');
    b->SetText("******");
    c->SetText("grey");
    c->SetEnabled(false);
    auto* d = Put<TEdit>(10, 100, 150, 21, "D");
    form->Show();
    d->SetFocus();  // a and b show no caret and no selection
    Input::ProcessAll();
    TEXTMETRICA tm{};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, a->Font()->Handle());
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(a->Height(), tm.tmHeight + 8);  // AutoSize: the font's height and the border
    EXPECT_EQ(a->ClientWidth(), 146);  // the 2-pixel sunken edge

    // The password edit paints exactly what an edit showing the stars paints.
    bool inked = false;
    for (int y = 0; y < a->ClientHeight(); ++y)
        for (int x = 0; x < a->ClientWidth(); ++x) {
            uint32_t pa = wintest::ClientPixel(a->Handle(), x, y);
            ASSERT_EQ(pa, wintest::ClientPixel(b->Handle(), x, y)) << x << "," << y;
            if (pa != Rgb(clWindow)) inked = true;
        }
    EXPECT_TRUE(inked);
    EXPECT_EQ(wintest::ClientPixel(a->Handle(), 140, 2), Rgb(clWindow));

    // The border: the outer shadow line of the sunken edge, seen in the form.
    EXPECT_EQ(wintest::ClientPixel(form->Handle(), a->Left() + 5, a->Top()), Rgb(clBtnShadow));
    EXPECT_EQ(wintest::ClientPixel(form->Handle(), a->Left() + 5, a->Top() + a->Height() - 1), Rgb(clBtnHighlight));

    // Disabled text is grey (no ink darker than clGrayText); enabled text is darker.
    auto darkest = [](TEdit* E) {
        int d = 255;
        for (int y = 0; y < E->ClientHeight(); ++y)
            for (int x = 0; x < 40; ++x) d = std::min<int>(d, wintest::ClientPixel(E->Handle(), x, y) & 0xFF);
        return d;
    };
    EXPECT_EQ(darkest(c), static_cast<int>(Rgb(clGrayText) & 0xFF));
    EXPECT_LT(darkest(b), static_cast<int>(Rgb(clGrayText) & 0xFF));

    // Typing past the right edge scrolls so that the caret stays in view.
    b->SetText("");
    b->SetFocus();
    Type("the quick brown fox jumps over the lazy dog");
    EXPECT_GT(b->ScrollX(), 0);
    TPoint caret = b->CaretPixel();
    EXPECT_GE(caret.x, 0);
    EXPECT_LT(caret.x, b->ClientWidth());
    Press(VK_HOME);
    EXPECT_EQ(b->ScrollX(), 0);

    // An unfocused selection shows only with HideSelection off.
    b->SetText("select me");
    b->SelectAll();
    d->SetFocus();
    Input::ProcessAll();
    auto highlighted = [](TEdit* E) {
        for (int x = 0; x < 30; ++x)
            if (wintest::ClientPixel(E->Handle(), x, E->ClientHeight() / 2) == Rgb(clHighlight)) return true;
        return false;
    };
    EXPECT_FALSE(highlighted(b));
    b->SetHideSelection(false);
    EXPECT_TRUE(highlighted(b));
}

TEST_F(EditsTest, MemoLinesTypingAndScrolling) {
    auto* m = Put<TMemo>(10, 10, 200, 80, "M");
    m->Lines()->Add("first");
    m->Lines()->Add("second");
    EXPECT_EQ(m->Text(), "first\nsecond\n");
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(changes, 2);
    m->SetText("a\r\nb");
    EXPECT_EQ(m->Text(), "a\nb");
    m->Lines()->Add("c");
    EXPECT_EQ(m->Text(), "a\nb\nc");
    m->Lines()->Insert(0, "top");
    m->Lines()->Put(2, "B");
    m->Lines()->Delete(3);
    EXPECT_EQ(m->Text(), "top\na\nB\n");
    EXPECT_EQ(m->Lines()->Count(), 3);
    EXPECT_THROW(m->Lines()->Delete(7), EStringListError);
    EXPECT_THROW(m->Lines()->Insert(9, "x"), EStringListError);

    // Typing in the memo: Enter breaks lines, Up and Down keep the column.
    ShowAndFocus(m);
    m->Clear();
    Type("one\rtwo\rthree");
    ASSERT_EQ(m->Lines()->Count(), 3);
    EXPECT_EQ(m->Lines()->Strings(2), "three");
    EXPECT_EQ(m->CaretPos().y, 2);
    EXPECT_EQ(m->CaretPos().x, 5);
    Press(VK_UP);
    EXPECT_EQ(m->CaretPos().y, 1);
    EXPECT_EQ(m->CaretPos().x, 3);
    Press(VK_UP);
    Press(VK_HOME);
    Press(VK_DOWN, true);
    EXPECT_EQ(m->SelText(), "one\n");
    m->SetCaretPos(TPoint{1, 1});
    Type("W");
    EXPECT_EQ(m->Lines()->Strings(1), "tWwo");

    // WantReturns off: Enter is not typed (Ctrl+Enter still is); WantTabs on: Tab is.
    m->SetWantReturns(false);
    Press(VK_RETURN);
    EXPECT_EQ(m->Lines()->Count(), 3);
    Press(VK_RETURN, false, true);
    EXPECT_EQ(m->Lines()->Count(), 4);
    m->SetWantTabs(true);
    Press(VK_TAB);
    EXPECT_NE(m->Text().find('\t'), std::string::npos);
    EXPECT_TRUE(m->Focused());

    // Word wrap changes the lines shown, not Lines.
    m->SetText("aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll");
    EXPECT_EQ(m->Lines()->Count(), 1);
    EXPECT_GT(m->Perform(EM_GETLINECOUNT, 0, 0), 1);
    m->SetWordWrap(false);
    EXPECT_EQ(m->Perform(EM_GETLINECOUNT, 0, 0), 1);
    m->Perform(WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_GT(m->ScrollX(), 0);
    m->Perform(WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(m->ScrollX(), 0);

    // Vertical scrolling follows the caret and the scroll bar follows the top line.
    m->SetScrollBars(ssVertical);
    std::string many;
    for (int i = 0; i < 30; ++i) many += "line " + std::to_string(i) + "\n";
    m->SetText(many);
    EXPECT_TRUE(m->Focused());  // still focused after the new window
    Press(VK_END, false, true);
    EXPECT_GT(m->TopLine(), 20);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(m->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nPos, m->TopLine());
    EXPECT_EQ(si.nMax, 30);
    int top = m->TopLine();
    m->Perform(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(m->TopLine(), top - 1);
    m->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(m->TopLine(), 0);
    Press(VK_NEXT);
    EXPECT_GT(m->CaretPos().y, 0);
    EXPECT_EQ(m->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), m->TopLine());
}

TEST_F(EditsTest, MaskRoutines) {
    EXPECT_EQ(MaskGetFldSeparator("!(999) 000-0000;1;_"), 15);
    EXPECT_EQ(MaskGetFldSeparator("00\\;00"), -1);
    EXPECT_TRUE(MaskGetMaskSave("000;1;_"));
    EXPECT_FALSE(MaskGetMaskSave("000;0;_"));
    EXPECT_TRUE(MaskGetMaskSave("000"));
    EXPECT_EQ(MaskGetMaskBlank("000;0;*"), '*');
    EXPECT_EQ(MaskGetMaskBlank("000;0"), '_');
    EXPECT_EQ(FormatMaskText("!\\(999\\)000-0000;0;*", "4085551212"), "(408)555-1212");
    EXPECT_EQ(FormatMaskText("(999) 000-0000;0;_", "555"), "(555)    -    ");
    EXPECT_EQ(FormatMaskText(">LL-00;0;_", "ab12"), "AB-12");
    EXPECT_EQ(FormatMaskText("!999;0;_", "7"), "  7");
    EXPECT_EQ(FormatMaskText("00:00;1;_", "12:34"), "12:34");
    EXPECT_EQ(FormatMaskText("", "plain"), "plain");
}

TEST_F(EditsTest, MaskEditTypingTextAndValidation) {
    auto* e = Put<TMaskEdit>(10, 10, 150, 21, "ME");
    e->SetEditMask("!(999) 000-0000;1;_");
    EXPECT_TRUE(e->IsMasked());
    EXPECT_EQ(e->EditText(), "(___) ___-____");
    e->SetAutoSelect(false);
    ShowAndFocus(e);
    EXPECT_EQ(e->SelStart(), 1);  // the caret skips the leading literal
    EXPECT_EQ(e->SelLength(), 1);

    Type("555x1234567");  // the letter is refused
    EXPECT_EQ(e->EditText(), "(555) 123-4567");
    EXPECT_EQ(e->Text(), "(555) 123-4567");
    EXPECT_TRUE(e->Modified());
    EXPECT_NO_THROW(e->ValidateEdit());

    // Without saved literals Text is the input alone.
    e->SetEditMask("!(999) 000-0000;0;_");
    EXPECT_EQ(e->EditText(), "(555) 123-4567");
    EXPECT_EQ(e->Text(), "5551234567");

    // Backspace blanks the position before the caret, skipping literals.
    ShowAndFocus(e);
    e->SetSelStart(10);  // on the first digit after '-'
    Press(VK_BACK);
    EXPECT_EQ(e->EditText(), "(555) 12_-4567");
    EXPECT_EQ(e->SelStart(), 8);
    e->SetModified(true);
    try {
        e->ValidateEdit();
        FAIL() << "an incomplete required position must raise";
    } catch (const EDBEditError& x) {
        EXPECT_EQ(x.Message(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_EQ(e->SelStart(), 8);  // on the offending position

    // Esc puts back the text the edit had when it took the focus.
    e->SetEditText("(111) 222-3333");
    e->SetFocus();
    Type("9");
    EXPECT_NE(e->EditText(), "(111) 222-3333");
    Press(VK_ESCAPE);
    EXPECT_EQ(e->EditText(), "(111) 222-3333");
    EXPECT_FALSE(e->Modified());

    // Case directives and literals typed over.
    e->SetEditMask(">LL-00;1;_");
    e->SetText("");
    e->SelectAll();
    Press(VK_HOME);
    Type("ab-12");
    EXPECT_EQ(e->Text(), "AB-12");
    e->SetText("cd-3");
    EXPECT_EQ(e->EditText(), "CD-3_");

    // Pasting types each character through the mask.
    Clipboard()->SetAsText("zz99");
    e->SetText("");
    Press(VK_HOME);
    e->PasteFromClipboard();
    EXPECT_EQ(e->EditText(), "ZZ-99");

    // Without a mask the control is a plain edit again.
    e->SetEditMask("");
    EXPECT_FALSE(e->IsMasked());
    EXPECT_EQ(e->Text(), "ZZ-99");
}

TEST_F(EditsTest, LeavingAnInvalidMaskEditReportsAndKeepsTheFocus) {
    auto* e = Put<TMaskEdit>(10, 10, 150, 21, "ME");
    auto* next = Put<TEdit>(10, 40, 150, 21, "Next");
    e->SetEditMask("00/00;1;_");
    ShowAndFocus(e);
    Type("12");
    TDialogResponder responder;
    responder.Expect(dkMessageBox, "Invalid input value", mrOk);
    Press(VK_TAB);
    EXPECT_EQ(responder.Pending(), 0);
    EXPECT_TRUE(e->Focused());
    EXPECT_FALSE(next->Focused());
    EXPECT_EQ(e->SelStart(), 3);  // the first blank required position

    // Completed, it lets the focus go; Esc gives up the changes instead.
    Type("34");
    Press(VK_TAB);
    EXPECT_TRUE(next->Focused());
    EXPECT_EQ(e->Text(), "12/34");
}

TEST_F(EditsTest, CaretPixelsBlinkRepaintAndLifetime) {
    auto* p = Make<TProbe>(form, form, 10, 10, 100, 50, "P");
    form->Show();
    Input::ProcessAll();
    HWND h = p->Handle();
    uint32_t white = wintest::ClientPixel(h, 20, 10);
    ASSERT_EQ(white, 0xFFFFFFu);
    ASSERT_TRUE(CreateCaret(h, nullptr, 2, 10));
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);  // made hidden
    ASSERT_TRUE(SetCaretPos(20, 5));
    ASSERT_TRUE(ShowCaret(h));
    EXPECT_FALSE(ShowCaret(h));  // already shown
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), 0u);
    EXPECT_EQ(wintest::ClientPixel(h, 21, 14), 0u);
    EXPECT_EQ(wintest::ClientPixel(h, 22, 10), white);

    // It blinks on the host clock.
    Clock::Advance(GetCaretBlinkTime());
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    Clock::Advance(GetCaretBlinkTime());
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), 0u);

    // A repaint leaves the caret drawn once, never doubled or left behind.
    p->Repaint();
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), 0u);
    Clock::Advance(GetCaretBlinkTime());
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    p->Repaint();
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    Clock::Advance(GetCaretBlinkTime());
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), 0u);

    // Hiding counts; moving takes the old rectangle off.
    ASSERT_TRUE(HideCaret(h));
    ASSERT_TRUE(HideCaret(nullptr));
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    ShowCaret(h);
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    ShowCaret(h);
    SetCaretPos(50, 5);
    EXPECT_EQ(wintest::ClientPixel(h, 20, 10), white);
    EXPECT_EQ(wintest::ClientPixel(h, 50, 10), 0u);
    POINT cp{};
    ASSERT_TRUE(GetCaretPos(&cp));
    EXPECT_EQ(cp.x, 50);

    // Another window's handle does not reach it; destroying the owner destroys it.
    EXPECT_FALSE(HideCaret(form->Handle()));
    delete p;
    EXPECT_FALSE(GetCaretPos(&cp));
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(ShowCaret(nullptr));
}

TEST_F(EditsTest, EditCaretFollowsFocusAndTyping) {
    auto* e = Put<TEdit>(10, 10, 150, 21, "E");
    auto* f = Put<TEdit>(10, 40, 150, 21, "F");
    ShowAndFocus(e);
    POINT cp{};
    ASSERT_TRUE(GetCaretPos(&cp));
    TPoint start = e->CaretPixel();
    EXPECT_EQ(cp.x, start.x);
    Type("ab");
    ASSERT_TRUE(GetCaretPos(&cp));
    EXPECT_GT(cp.x, start.x);
    EXPECT_EQ(cp.x, e->CaretPixel().x);
    // The caret's column is inverted (text colour on white) while it is on.
    uint32_t on = wintest::ClientPixel(e->Handle(), cp.x, cp.y + 3);
    Clock::Advance(GetCaretBlinkTime());
    uint32_t off = wintest::ClientPixel(e->Handle(), cp.x, cp.y + 3);
    EXPECT_EQ(on ^ off, 0xFFFFFFu);
    f->SetFocus();
    Input::ProcessAll();
    ASSERT_TRUE(GetCaretPos(&cp));
    EXPECT_EQ(cp.x, f->CaretPixel().x);
    EXPECT_EQ(wintest::ClientPixel(e->Handle(), e->CaretPixel().x, cp.y + 3), Rgb(clWindow));
}

TEST_F(EditsTest, FormFileRoundTrip) {
    RegisterEditClasses();
    auto* e = Make<TEdit>(form, form, 10, 10, 150, 21, "E");
    e->SetText("it's here");
    e->SetMaxLength(20);
    e->SetPasswordChar('#');
    e->SetCharCase(ecLowerCase);
    e->SetAutoSelect(false);
    auto* m = Make<TMemo>(form, form, 10, 40, 150, 60, "M");
    m->Lines()->Add("one");
    m->Lines()->Add("two");
    m->SetScrollBars(ssBoth);
    m->SetWordWrap(false);
    m->SetAlignment(taCenter);
    m->SetWantTabs(true);
    auto* me = Make<TMaskEdit>(form, form, 10, 110, 150, 21, "ME");
    me->SetEditMask("00/00;1;_");
    me->SetText("12/34");
    auto* r = Make<TRichEdit>(form, form, 10, 140, 150, 60, "R");
    r->Lines()->Add("rich");
    r->SetPlainText(true);
    r->SetReadOnly(true);

    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("PasswordChar = '#'"), std::string::npos) << text;
    EXPECT_NE(text.find("ScrollBars = ssBoth"), std::string::npos) << text;
    EXPECT_EQ(text.find("TabStop"), std::string::npos) << text;  // true is the default
    EXPECT_EQ(text.find("Caption"), std::string::npos) << text;

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* e2 = static_cast<TEdit*>(copy->FindComponent("E"));
    auto* m2 = static_cast<TMemo*>(copy->FindComponent("M"));
    auto* me2 = static_cast<TMaskEdit*>(copy->FindComponent("ME"));
    auto* r2 = static_cast<TRichEdit*>(copy->FindComponent("R"));
    ASSERT_TRUE(e2 && m2 && me2 && r2);
    EXPECT_EQ(e2->Text(), "it's here");
    EXPECT_EQ(e2->MaxLength(), 20);
    EXPECT_EQ(e2->PasswordChar(), '#');
    EXPECT_EQ(e2->CharCase(), ecLowerCase);
    EXPECT_FALSE(e2->AutoSelect());
    EXPECT_EQ(e2->Color(), clWindow);
    EXPECT_EQ(m2->Lines()->Count(), 2);
    EXPECT_EQ(m2->Lines()->Strings(1), "two");
    EXPECT_EQ(m2->ScrollBars(), ssBoth);
    EXPECT_FALSE(m2->WordWrap());
    EXPECT_EQ(m2->Alignment(), taCenter);
    EXPECT_TRUE(m2->WantTabs());
    EXPECT_EQ(me2->EditMask(), "00/00;1;_");
    EXPECT_EQ(me2->EditText(), "12/34");
    EXPECT_EQ(r2->Text(), "rich\n");
    EXPECT_TRUE(r2->PlainText());
    EXPECT_TRUE(r2->ReadOnly());
    delete copy;
}

}  // namespace
}  // namespace ctltest
