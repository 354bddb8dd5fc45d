// Message dialogs, message boxes and input queries: the message form, its buttons and edit, and the routines that show them.
#include "host/app/dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "host/app/app.h"
#include "host/controls/actnlist.h"
#include "host/controls/controls.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/rtl/sysutils.h"
#include "host/windows/windows.h"

namespace host {

namespace {

// ---- dialog-unit metrics of a font ----

struct TDialogUnits {
    int X = 6, Y = 13;  // average character width and height
};

TDialogUnits GetAveCharSize(TFont* Font) {
    TDialogUnits u;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    TEXTMETRICA tm{};
    if (GetTextExtentPoint32A(dc, letters, 52, &size) && GetTextMetricsA(dc, &tm)) {
        u.X = (size.cx / 26 + 1) / 2;
        u.Y = tm.tmHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return u;
}

// Measures Text in Font with DrawText's DT_CALCRECT (Rect's width is the limit).
RECT MeasureText(TFont* Font, const std::string& Text, RECT Rect, UINT Flags) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    DrawTextA(dc, Text.c_str(), -1, &Rect, Flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return Rect;
}

// Draws Text in Font's face and colour, on a transparent background.
void DrawTextIn(HDC Dc, TFont* Font, const std::string& Text, RECT R, UINT Flags) {
    HGDIOBJ old = SelectObject(Dc, Font->Handle());
    int oldMode = SetBkMode(Dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(Dc, static_cast<COLORREF>(ColorToRGB(Font->Color())));
    DrawTextA(Dc, Text.c_str(), -1, &R, Flags);
    SetTextColor(Dc, oldColor);
    SetBkMode(Dc, oldMode);
    SelectObject(Dc, old);
}

std::string PlainCaption(const std::string& Caption) {
    std::string out;
    for (char c : Caption)
        if (c != '&') out += c;
    return LowerCase(Trim(out));
}

class TMessageForm;

// A control of the dialogs that repaints when it gains or loses the focus (it
// draws its focus itself).
class TDialogControl : public TCustomControl {
    HOST_CLASS(TDialogControl, TCustomControl)
public:
    explicit TDialogControl(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

protected:
    void DoEnter() override {
        TCustomControl::DoEnter();
        Invalidate();
    }
    void DoExit() override {
        TCustomControl::DoExit();
        Invalidate();
    }
};

// A push button in the classic look: raised, sunk while pressed, a dark frame
// when it is the default, a focus rectangle when focused. Clicking it sets the
// form's modal result.
class TMessageButton : public TDialogControl {
    HOST_CLASS(TMessageButton, TDialogControl)
public:
    explicit TMessageButton(TComponent* AOwner) : TDialogControl(AOwner) {
        SetControlStyle(ControlStyle().Include(csCaptureMouse));
    }
    int ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;
    TNotifyEvent OnButtonClick;

    void Click() override {
        TCustomForm* form = host::GetParentForm(this);
        if (form != nullptr && ModalResult != mrNone) form->SetModalResult(ModalResult);
        OnButtonClick(this);
        inherited::Click();
    }

protected:
    void Paint() override {
        HDC dc = Canvas()->Handle();
        RECT r = ClientRect();
        bool focused = Focused();
        if (Default || focused) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&r, -1, -1);
        }
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0));
        RECT t = r;
        if (FPressed) OffsetRect(&t, 1, 1);
        DrawTextIn(dc, Font(), Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (focused) {
            RECT f = r;
            InflateRect(&f, -3, -3);
            DrawFocusRect(dc, &f);
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        inherited::MouseDown(Button, Shift, X, Y);
        if (Button != mbLeft) return;
        if (CanFocus()) SetFocus();
        SetPressed(true);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        inherited::MouseMove(Shift, X, Y);
        if (MouseCapture()) SetPressed(Inside(X, Y));
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        bool click = Button == mbLeft && FPressed && Inside(X, Y);
        SetPressed(false);
        inherited::MouseUp(Button, Shift, X, Y);
        if (click) Click();
    }

public:
    void KeyUp(WORD& Key, TShiftState Shift) override {
        inherited::KeyUp(Key, Shift);
        if (Key == VK_SPACE) Click();
    }

private:
    bool FPressed = false;
    bool Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width() && Y < Height(); }
    void SetPressed(bool Value) {
        if (FPressed == Value) return;
        FPressed = Value;
        Invalidate();
    }
};

// A one-line edit: a sunken white field with the text and a caret bar at its
// end. Typing appends, Backspace deletes the last character. Its text lives in a
// one-element list that the dialog's responder may change.
class TQueryEdit : public TDialogControl {
    HOST_CLASS(TQueryEdit, TDialogControl)
public:
    explicit TQueryEdit(TComponent* AOwner) : TDialogControl(AOwner), Values(1) { SetColor(clWindow); }
    std::vector<std::string> Values;
    size_t MaxLength = 255;

    void KeyPress(char& Key) override {
        inherited::KeyPress(Key);
        std::string& text = Values[0];
        if (Key == '\b') {
            // Drop the last code point (with its continuation bytes).
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
            if (!text.empty()) text.pop_back();
        } else if (static_cast<unsigned char>(Key) >= 0x20 && text.size() < MaxLength) {
            text += Key;
        } else {
            return;
        }
        Invalidate();
    }

protected:
    void Paint() override {
        HDC dc = Canvas()->Handle();
        RECT r = ClientRect();
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        RECT t{r.left + 4, r.top + 2, r.right - 4, r.bottom - 2};
        DrawTextIn(dc, Font(), Values[0], t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (Focused()) {
            RECT m = MeasureText(Font(), Values[0], RECT{0, 0, 10000, 0}, DT_SINGLELINE | DT_NOPREFIX);
            int x = std::min<int>(t.left + m.right, t.right - 1);
            RECT caret{x, r.top + 4, x + 1, r.bottom - 4};
            FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
    }
};

// A dialog form: an optional icon and a wrapped text painted by the form, and
// message buttons. Enter clicks the focused button or the default one, Escape the
// cancel button.
class TMessageForm : public TForm {
    HOST_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* AOwner) : TForm(AOwner, 0) { SetBorderStyle(bsDialog); }
    std::string Text;
    const char* IconId = nullptr;
    TRect IconRect{}, TextRect{};
    std::vector<TMessageButton*> Buttons;

    TMessageButton* FindButton(const std::string& Caption) const {
        std::string want = PlainCaption(Caption);
        for (TMessageButton* b : Buttons)
            if (PlainCaption(b->Caption()) == want) return b;
        return nullptr;
    }
    TMessageButton* DefaultButton() const {
        for (TMessageButton* b : Buttons)
            if (b->Default) return b;
        return nullptr;
    }

    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_DIALOGKEY && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            TMessageButton* target = nullptr;
            if (Message.WParam == VK_RETURN) {
                for (TMessageButton* b : Buttons)
                    if (b->Focused()) target = b;
                if (target == nullptr) target = DefaultButton();
            } else {
                for (TMessageButton* b : Buttons)
                    if (b->Cancel) target = b;
            }
            if (target != nullptr) {
                target->Click();
                Message.Result = 1;
                return;
            }
        }
        TForm::WndProc(Message);
    }

    void HelpButtonClick(TObject*) {
        if (Application != nullptr) Application->HelpContext(HelpContext());
    }

protected:
    void Paint() override {
        TForm::Paint();
        HDC dc = Canvas()->Handle();
        if (IconId != nullptr) DrawIcon(dc, IconRect.left, IconRect.top, LoadIconA(0, IconId));
        DrawTextIn(dc, Font(), Text, TextRect, DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    }
};

// What a message form shows.
struct TButtonSpec {
    std::string Name, Caption;
    int Result;
};
struct TMessageSpec {
    std::string Caption, Text;
    const char* IconId = nullptr;
    std::vector<TButtonSpec> Buttons;
    int DefaultIndex = 0;  // -1: none
    int CancelIndex = -1;
};

// Lays the form out as the framework's message dialog does, in dialog units of
// the form's font: margins of 8, the text at most half the screen wide, the icon
// 32 pixels with a spacing of 10, buttons at least 50 x 14 and 4 apart, centred.
TMessageForm* BuildMessageForm(const TMessageSpec& Spec) {
    auto form = std::make_unique<TMessageForm>(Application);
    TDialogUnits du = GetAveCharSize(form->Font());
    int horzMargin = MulDiv(8, du.X, 4), vertMargin = MulDiv(8, du.Y, 8);
    int horzSpacing = MulDiv(10, du.X, 4), vertSpacing = MulDiv(10, du.Y, 8);
    int buttonWidth = MulDiv(50, du.X, 4), buttonHeight = MulDiv(14, du.Y, 8);
    int buttonSpacing = MulDiv(4, du.X, 4);
    for (const auto& b : Spec.Buttons) {
        RECT r = MeasureText(form->Font(), b.Caption, RECT{}, DT_LEFT | DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right - r.left + 8);
    }
    int screenWidth = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = Screen != nullptr ? Screen->Height() : GetSystemMetrics(SM_CYSCREEN);
    RECT textRect = MeasureText(form->Font(), Spec.Text, RECT{0, 0, screenWidth / 2, 0},
                                DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    int iconTextWidth = textRect.right, iconTextHeight = textRect.bottom;
    if (Spec.IconId != nullptr) {
        iconTextWidth += 32 + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, 32);
    }
    int count = static_cast<int>(Spec.Buttons.size());
    int groupWidth = count > 0 ? buttonWidth * count + buttonSpacing * (count - 1) : 0;
    form->SetClientWidth(std::max(iconTextWidth, groupWidth) + horzMargin * 2);
    form->SetClientHeight(iconTextHeight + buttonHeight + vertSpacing + vertMargin * 2);
    form->SetLeft(screenWidth / 2 - form->Width() / 2);
    form->SetTop(screenHeight / 2 - form->Height() / 2);
    form->SetCaption(Spec.Caption);
    form->Text = Spec.Text;
    form->IconId = Spec.IconId;
    if (Spec.IconId != nullptr) form->IconRect = TRect{horzMargin, vertMargin, horzMargin + 32, vertMargin + 32};
    int textLeft = iconTextWidth - textRect.right + horzMargin;
    form->TextRect = TRect{textLeft, vertMargin, textLeft + textRect.right, vertMargin + textRect.bottom};

    int x = (form->ClientWidth() - groupWidth) / 2;
    for (int i = 0; i < count; ++i) {
        const TButtonSpec& spec = Spec.Buttons[static_cast<size_t>(i)];
        auto* b = new TMessageButton(form.get());  // owned by the form
        b->SetName(spec.Name);
        b->SetParent(form.get());
        b->SetCaption(spec.Caption);
        b->ModalResult = spec.Result;
        b->Default = i == Spec.DefaultIndex;
        b->Cancel = i == Spec.CancelIndex;
        b->SetBounds(x, iconTextHeight + vertMargin + vertSpacing, buttonWidth, buttonHeight);
        if (spec.Name == "Help") b->OnButtonClick = TNotifyEvent(form.get(), &TMessageForm::HelpButtonClick);
        x += buttonWidth + buttonSpacing;
        form->Buttons.push_back(b);
    }
    if (TMessageButton* def = form->DefaultButton()) form->SetActiveControl(def);
    return form.release();
}

// The description the responder sees, with the hooks to click the form's buttons.
TDialogInfo DescribeMessageForm(TMessageForm* Form, TDialogKind Kind) {
    TDialogInfo info;
    info.Kind = Kind;
    info.ClassName = Form->ClassName();
    info.Name = Form->Name();
    info.Caption = Form->Caption();
    info.Text = Form->Text;
    info.Form = Form;
    info.Object = Form;
    info.HelpCtx = Form->HelpContext();
    for (TMessageButton* b : Form->Buttons) info.Buttons.push_back(b->Caption());
    TMessageButton* def = Form->DefaultButton();
    info.DefaultResult = def != nullptr ? def->ModalResult : (Form->Buttons.empty() ? mrCancel : Form->Buttons[0]->ModalResult);
    info.ClickButton = [Form](const std::string& Caption) {
        TMessageButton* b = Form->FindButton(Caption);
        if (b == nullptr) return false;
        b->Click();
        return true;
    };
    info.CurrentResult = [Form] { return Form->ModalResult(); };
    return info;
}

// Shows a message form modally with its description registered for the responder.
int ShowMessageForm(TMessageForm* Form, TDialogInfo Info) {
    DescribeModalForm(Form, Info);
    struct TForget {
        TCustomForm* F;
        ~TForget() { ForgetModalForm(F); }
    } forget{Form};
    return Form->ShowModal();
}

const TMsgDlgBtn kAllButtons[] = {mbYes, mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                  mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
const char* const kButtonNames[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry",
                                    "Ignore", "All", "NoToAll", "YesToAll", "Help"};

const char* IconOf(TMsgDlgType DlgType) {
    switch (DlgType) {
        case mtWarning: return IDI_EXCLAMATION;
        case mtError: return IDI_HAND;
        case mtInformation: return IDI_ASTERISK;
        case mtConfirmation: return IDI_QUESTION;
        case mtCustom: return nullptr;
    }
    return nullptr;
}

TMessageSpec MessageDlgSpec(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    TMessageSpec spec;
    spec.Caption = MsgDlgCaption(DlgType);
    spec.Text = Msg;
    spec.IconId = IconOf(DlgType);
    if (Buttons.Bits() == 0) Buttons = TMsgDlgButtons{mbOK};
    TMsgDlgBtn def = Buttons.Contains(mbOK) ? mbOK : Buttons.Contains(mbYes) ? mbYes : mbRetry;
    TMsgDlgBtn cancel = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
    spec.DefaultIndex = spec.CancelIndex = -1;
    for (size_t i = 0; i < std::size(kAllButtons); ++i) {
        TMsgDlgBtn b = kAllButtons[i];
        if (!Buttons.Contains(b)) continue;
        if (b == def) spec.DefaultIndex = static_cast<int>(spec.Buttons.size());
        if (b == cancel) spec.CancelIndex = static_cast<int>(spec.Buttons.size());
        spec.Buttons.push_back({kButtonNames[i], MsgDlgButtonCaption(b), MsgDlgButtonResult(b)});
    }
    return spec;
}

}  // namespace

// ---- captions ----

std::string MsgDlgCaption(TMsgDlgType DlgType) {
    switch (DlgType) {
        case mtWarning: return "Warning";
        case mtError: return "Error";
        case mtInformation: return "Information";
        case mtConfirmation: return "Confirm";
        case mtCustom: break;
    }
    return Application != nullptr ? Application->Title() : std::string();
}

std::string MsgDlgButtonCaption(TMsgDlgBtn Button) {
    static const char* const captions[] = {"&Yes",   "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                                           "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
    return captions[static_cast<int>(Button)];
}

int MsgDlgButtonResult(TMsgDlgBtn Button) {
    static const int results[] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
    return results[static_cast<int>(Button)];
}

// ---- message dialogs ----

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    return BuildMessageForm(MessageDlgSpec(Msg, DlgType, Buttons));
}

int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
    std::unique_ptr<TMessageForm> form(BuildMessageForm(MessageDlgSpec(Msg, DlgType, Buttons)));
    form->SetHelpContext(HelpCtx);
    if (X >= 0) form->SetLeft(X);
    if (Y >= 0) form->SetTop(Y);
    TDialogInfo info = DescribeMessageForm(form.get(), dkMessageDialog);
    info.DlgType = DlgType;
    return ShowMessageForm(form.get(), std::move(info));
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessage(const std::string& Msg) { ShowMessagePos(Msg, -1, -1); }

void ShowMessagePos(const std::string& Msg, int X, int Y) {
    MessageDlgPos(Msg, mtCustom, TMsgDlgButtons{mbOK}, 0, X, Y);
}

// ---- the system's message box ----

int MessageBoxA(HWND Owner, const char* Text, const char* Caption, unsigned Type) {
    (void)Owner;
    TMessageSpec spec;
    spec.Caption = Caption != nullptr ? Caption : "Error";
    spec.Text = Text != nullptr ? Text : "";
    switch (Type & MB_ICONMASK) {
        case MB_ICONHAND: spec.IconId = IDI_HAND; break;
        case MB_ICONQUESTION: spec.IconId = IDI_QUESTION; break;
        case MB_ICONEXCLAMATION: spec.IconId = IDI_EXCLAMATION; break;
        case MB_ICONASTERISK: spec.IconId = IDI_ASTERISK; break;
    }
    auto ok = TButtonSpec{"OK", "OK", IDOK}, cancel = TButtonSpec{"Cancel", "Cancel", IDCANCEL};
    auto yes = TButtonSpec{"Yes", "&Yes", IDYES}, no = TButtonSpec{"No", "&No", IDNO};
    auto abort = TButtonSpec{"Abort", "&Abort", IDABORT}, retry = TButtonSpec{"Retry", "&Retry", IDRETRY};
    auto ignore = TButtonSpec{"Ignore", "&Ignore", IDIGNORE};
    switch (Type & MB_TYPEMASK) {
        case MB_OKCANCEL: spec.Buttons = {ok, cancel}; break;
        case MB_ABORTRETRYIGNORE: spec.Buttons = {abort, retry, ignore}; break;
        case MB_YESNOCANCEL: spec.Buttons = {yes, no, cancel}; break;
        case MB_YESNO: spec.Buttons = {yes, no}; break;
        case MB_RETRYCANCEL: spec.Buttons = {retry, cancel}; break;
        case MB_CANCELTRYCONTINUE:
            spec.Buttons = {cancel, {"TryAgain", "&Try Again", IDTRYAGAIN}, {"Continue", "&Continue", IDCONTINUE}};
            break;
        default: spec.Buttons = {ok}; break;
    }
    if (Type & MB_HELP) spec.Buttons.push_back({"Help", "Help", mrNone});
    spec.DefaultIndex = std::min<int>(static_cast<int>((Type & MB_DEFMASK) >> 8), static_cast<int>(spec.Buttons.size()) - 1);
    for (size_t i = 0; i < spec.Buttons.size(); ++i)
        if (spec.Buttons[i].Result == IDCANCEL) spec.CancelIndex = static_cast<int>(i);
    if (spec.CancelIndex < 0 && spec.Buttons.size() == 1) spec.CancelIndex = 0;  // a lone OK also answers Escape
    std::unique_ptr<TMessageForm> form(BuildMessageForm(spec));
    TDialogInfo info = DescribeMessageForm(form.get(), dkMessageBox);
    info.Flags = Type;
    int result = ShowMessageForm(form.get(), std::move(info));
    // Closed through the title bar: the cancel button's answer, else the default's.
    if (result == mrNone || (result == mrCancel && spec.CancelIndex < 0))
        result = spec.CancelIndex >= 0 ? spec.Buttons[static_cast<size_t>(spec.CancelIndex)].Result
                                       : spec.Buttons[static_cast<size_t>(std::max(spec.DefaultIndex, 0))].Result;
    return result;
}

// ---- input queries ----

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
    auto form = std::make_unique<TMessageForm>(Application);
    TDialogUnits du = GetAveCharSize(form->Font());
    form->SetCaption(ACaption);
    form->SetClientWidth(MulDiv(180, du.X, 4));
    int left = MulDiv(8, du.X, 4), top = MulDiv(8, du.Y, 8), width = MulDiv(164, du.X, 4);
    RECT prompt = MeasureText(form->Font(), APrompt, RECT{0, 0, width, 0}, DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    form->Text = APrompt;
    form->TextRect = TRect{left, top, left + width, top + prompt.bottom};
    auto* edit = new TQueryEdit(form.get());  // owned by the form
    edit->SetName("Edit");
    edit->SetParent(form.get());
    edit->Values[0] = Value;
    int editHeight = du.Y + 8;
    edit->SetBounds(left, top + prompt.bottom + 5, width, editHeight);
    int buttonTop = edit->Top() + editHeight + 15;
    int buttonWidth = MulDiv(50, du.X, 4), buttonHeight = MulDiv(14, du.Y, 8);
    const TButtonSpec specs[] = {{"OK", "OK", mrOk}, {"Cancel", "Cancel", mrCancel}};
    const int lefts[] = {MulDiv(38, du.X, 4), MulDiv(92, du.X, 4)};
    for (int i = 0; i < 2; ++i) {
        auto* b = new TMessageButton(form.get());  // owned by the form
        b->SetName(specs[i].Name);
        b->SetParent(form.get());
        b->SetCaption(specs[i].Caption);
        b->ModalResult = specs[i].Result;
        b->Default = i == 0;
        b->Cancel = i == 1;
        b->SetBounds(lefts[i], buttonTop, buttonWidth, buttonHeight);
        form->Buttons.push_back(b);
    }
    form->SetClientHeight(buttonTop + buttonHeight + 13);
    int screenWidth = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = Screen != nullptr ? Screen->Height() : GetSystemMetrics(SM_CYSCREEN);
    form->SetLeft(screenWidth / 2 - form->Width() / 2);
    form->SetTop(screenHeight / 2 - form->Height() / 2);
    form->SetActiveControl(edit);

    TDialogInfo info = DescribeMessageForm(form.get(), dkInputQuery);
    info.Values = &edit->Values;
    info.DefaultResult = mrOk;
    if (ShowMessageForm(form.get(), std::move(info)) != mrOk) return false;
    Value = edit->Values[0];
    return true;
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault) {
    std::string value = ADefault;
    InputQuery(ACaption, APrompt, value);
    return value;
}

}  // namespace host
