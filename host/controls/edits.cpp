// TCustomEdit and TCustomMemo: text, caret, selection, keys, mouse, clipboard, undo, scrolling and painting; the memo's Lines.
#include "host/controls/edits.h"

#include <algorithm>
#include <cctype>

#include "host/app/clipbrd.h"
#include "host/controls/controls_internal.h"
#include "host/controls/edits_internal.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// Inner margins of the text area.
constexpr int kMarginX = 2;
constexpr int kMemoMarginY = 1;

std::string ApplyCase(std::string S, TEditCharCase Case) {
    if (Case == ecUpperCase)
        for (char& c : S) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    else if (Case == ecLowerCase)
        for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

// "\r\n" and lone "\r" become "\n".
std::string NormalizeBreaks(const std::string& S) {
    std::string r;
    r.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\r') {
            r += '\n';
            if (i + 1 < S.size() && S[i + 1] == '\n') ++i;
        } else {
            r += S[i];
        }
    }
    return r;
}

// The longest prefix of S of at most Max bytes that ends on a character boundary.
std::string CutToBytes(const std::string& S, int Max) {
    if (Max <= 0) return std::string();
    if (static_cast<int>(S.size()) <= Max) return S;
    int n = Max;
    while (n > 0 && (static_cast<unsigned char>(S[n]) & 0xC0) == 0x80) --n;
    return S.substr(0, n);
}

COLORREF Rgb(TColor C) { return static_cast<COLORREF>(ColorToRGB(C)); }

// Makes the window again for a style change; the new window gets the focus back when
// the old one had it (the form still names the control as focused and would not move
// the focus to it again).
void RecreateKeepingFocus(TWinControl* C) {
    if (!C->HandleAllocated()) return;
    bool had = GetFocus() == C->Handle();
    C->RecreateWnd();
    if (had && GetFocus() != C->Handle() && C->CanFocus()) ::host::SetFocus(C->Handle());
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomEdit: life and properties
// ---------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner), FBuffer(std::make_unique<TEditBuffer>()), FLayout(std::make_unique<TEditLayout>()) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csFixedHeight};
    SetParentColorQuiet(false);
    FColor = clWindow;
    Brush()->SetColor(FColor);
    SetTabStop(true);
    SetBounds(FLeft, FTop, 121, 25);
    FLayout->SetFont(Font()->Handle());
    TControl::SetAutoSize(true);
    AdjustHeight();
    FLayout->Lines.assign(1, TVisualLine{});
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::SetAutoSize(bool Value) {
    if (AutoSize() == Value) return;
    TControl::SetAutoSize(Value);
    if (Value) AdjustHeight();
}

void TCustomEdit::AdjustSize() { AdjustHeight(); }

void TCustomEdit::AdjustHeight() {
    if (!AutoSize() || FBorderStyle != bsSingle || MultiLine()) return;
    if (ComponentState().Contains(csLoading)) return;
    FLayout->SetFont(Font()->Handle());
    int extra = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
    SetHeight(FLayout->LineHeight() + extra);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateKeepingFocus(this);
    AdjustHeight();
    TextLayoutChanged();
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    if (Value != ecNormal) {
        std::string converted = ApplyCase(RawText(), Value);
        if (converted != RawText()) {
            int a = FBuffer->Anchor(), c = FBuffer->Caret();
            SetRawText(converted);
            FBuffer->SetSel(a, c);
            SelectionChanged();
        }
    }
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    Invalidate();
}

void TCustomEdit::SetMaxLength(int Value) { FMaxLength = std::max(0, Value); }

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    TextLayoutChanged();
    SelectionChanged();
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (HandleAllocated()) {
        LONG_PTR style = GetWindowLongPtrA(FHandle, GWL_STYLE);
        SetWindowLongPtrA(FHandle, GWL_STYLE, Value ? (style | ES_READONLY) : (style & ~LONG_PTR(ES_READONLY)));
    }
    Invalidate();
}

bool TCustomEdit::Modified() const { return FBuffer->Modified(); }
void TCustomEdit::SetModified(bool Value) { FBuffer->SetModified(Value); }
bool TCustomEdit::CanUndo() const { return FBuffer->CanUndo(); }

int TCustomEdit::SelStart() const { return FBuffer->SelStart(); }
int TCustomEdit::SelLength() const { return FBuffer->SelEnd() - FBuffer->SelStart(); }
std::string TCustomEdit::SelText() const { return FBuffer->SelText(); }

void TCustomEdit::SetSelStart(int Value) {
    FBuffer->SetSel(Value, Value);
    SelectionChanged();
}

void TCustomEdit::SetSelLength(int Value) {
    int s = FBuffer->SelStart();
    FBuffer->SetSel(s, s + Value);
    SelectionChanged();
}

void TCustomEdit::SetSelText(const std::string& Value) {
    std::string v = MultiLine() ? NormalizeBreaks(Value) : Value;
    bool changed = FBuffer->ReplaceSel(v, true);
    if (changed) FBuffer->SetModified(true);
    NotifyChanged(changed);
}

void TCustomEdit::Clear() { SetText(std::string()); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomEdit::ClearUndo() { Perform(EM_EMPTYUNDOBUFFER, 0, 0); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { Perform(WM_UNDO, 0, 0); }

void TCustomEdit::SelectAll() {
    FBuffer->SetSel(0, FBuffer->Length());
    SelectionChanged();
}

void TCustomEdit::Change() { OnChange(this); }

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

std::string TCustomEdit::RawText() const { return FBuffer->Text(); }

std::string TCustomEdit::GetText() const { return RawText(); }

void TCustomEdit::SetTextInternal(const std::string& Value) {
    // A multi-line text that differs from the shown one only in its line-break form
    // is the same text: as for any unchanged text, the caret, selection and undo stay
    // (a data-aware memo reloads its field when the record goes into edit state).
    if (MultiLine() && NormalizeBreaks(Value) == RawText()) return;
    SetRawText(Value);
}

void TCustomEdit::SetRawText(const std::string& Value) {
    bool changed = FBuffer->SetText(MultiLine() ? NormalizeBreaks(Value) : Value);
    FBuffer->SetModified(false);
    FScrollX = 0;
    NotifyChanged(changed);
}

void TCustomEdit::NotifyChanged(bool Changed) {
    if (Changed) TextLayoutChanged();
    SelectionChanged();
    if (Changed && !ComponentState().Contains(csLoading)) Change();
}

void TCustomEdit::SelectionChanged() {
    ScrollCaretIntoView();
    ScrollPosChanged();
    UpdateCaret();
    Invalidate();
}

std::string TCustomEdit::DisplayText(const std::string& Text) const {
    if (FPasswordChar == 0) return Text;
    std::string r;
    for (unsigned char c : Text)
        if ((c & 0xC0) != 0x80) r += FPasswordChar;
    return r;
}

bool TCustomEdit::InsertTyped(const std::string& Typed) {
    if (!CanEditText()) {
        MessageBeep(0);
        return false;
    }
    std::string s = ApplyCase(Typed, FCharCase);
    if (FMaxLength > 0) {
        int room = FMaxLength - (FBuffer->Length() - (FBuffer->SelEnd() - FBuffer->SelStart()));
        std::string fit = CutToBytes(s, room);
        if (fit.empty() && !s.empty()) {
            MessageBeep(0);
            return false;
        }
        s = fit;
    }
    bool typing = s.size() <= 4 && s.find('\n') == std::string::npos;
    bool changed = FBuffer->ReplaceSel(s, true, typing);
    if (changed) FBuffer->SetModified(true);
    NotifyChanged(changed);
    return true;
}

void TCustomEdit::DoPaste(const std::string& Text) {
    std::string t = Text;
    if (MultiLine()) {
        t = NormalizeBreaks(t);
    } else {
        size_t br = t.find_first_of("\r\n");
        if (br != std::string::npos) t.erase(br);
    }
    if (t.empty()) return;
    FBuffer->BreakTyping();
    InsertTyped(t);
    FBuffer->BreakTyping();
}

// ---------------------------------------------------------------------------
// Layout, scrolling and the caret
// ---------------------------------------------------------------------------

TRect TCustomEdit::EditRect() const {
    TRect r = ClientRect();
    r.left += kMarginX;
    r.right -= kMarginX;
    if (MultiLine()) {
        r.top += kMemoMarginY;
    } else {
        int lh = FLayout->LineHeight();
        r.top += std::clamp((r.bottom - r.top - lh) / 2, 0, 2);
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

int TCustomEdit::LineHeight() const { return FLayout->LineHeight(); }

int TCustomEdit::VisibleLineCount() const {
    TRect r = EditRect();
    return std::max(1, (r.bottom - r.top) / std::max(1, LineHeight()));
}

void TCustomEdit::TextLayoutChanged() {
    const std::string& t = FBuffer->Text();
    FLayout->Lines.assign(1, TVisualLine{0, FBuffer->Length()});
    FLayout->MaxWidth = FLayout->TextWidth(DisplayText(t));
}

int TCustomEdit::VisualLineOf(int Pos) const {
    const auto& lines = FLayout->Lines;
    auto it = std::upper_bound(lines.begin(), lines.end(), Pos,
                               [](int P, const TVisualLine& L) { return P < L.Start; });
    int i = static_cast<int>(it - lines.begin()) - 1;
    return std::clamp(i, 0, static_cast<int>(lines.size()) - 1);
}

int TCustomEdit::LineX(int Line, int Pos) const {
    const auto& l = FLayout->Lines[Line];
    Pos = std::clamp(Pos, l.Start, l.End);
    return FLayout->TextWidth(DisplayText(FBuffer->Text().substr(l.Start, Pos - l.Start)));
}

TPoint TCustomEdit::CaretPixel() const {
    int caret = FBuffer->Caret();
    int line = VisualLineOf(caret);
    TRect r = EditRect();
    int align = AlignOffset(line);
    return TPoint{r.left + align + LineX(line, caret) - FScrollX, r.top + (line - FTopLine) * LineHeight()};
}

int TCustomEdit::CharFromPos(int X, int Y) const {
    TRect r = EditRect();
    int lh = std::max(1, LineHeight());
    int line = Y < r.top ? FTopLine - 1 + (Y - r.top + 1) / lh : FTopLine + (Y - r.top) / lh;
    line = std::clamp(line, 0, static_cast<int>(FLayout->Lines.size()) - 1);
    int align = AlignOffset(line);
    return NearestInLine(line, X - r.left - align + FScrollX);
}

int TCustomEdit::NearestInLine(int Line, int X) const {
    const auto& l = FLayout->Lines[Line];
    const std::string& text = FBuffer->Text();
    std::string pw(1, FPasswordChar);
    int tab = FLayout->AveCharWidth() * 8;
    int x = 0;
    for (int p = l.Start; p < l.End;) {
        int next = FBuffer->NextChar(p);
        int nx = FPasswordChar != 0 ? x + FLayout->CharWidth(pw, 0, 1)
                 : text[p] == '\t'   ? (x / tab + 1) * tab
                                      : x + FLayout->CharWidth(text, p, next);
        if (X < (x + nx + 1) / 2) return p;
        x = nx;
        p = next;
    }
    return l.End;
}

void TCustomEdit::ScrollCaretIntoView() {
    TRect r = EditRect();
    int width = r.right - r.left;
    int caret = FBuffer->Caret();
    int line = VisualLineOf(caret);
    if (MultiLine()) {
        int visible = VisibleLineCount();
        if (line < FTopLine) FTopLine = line;
        else if (line >= FTopLine + visible) FTopLine = line - visible + 1;
        int maxTop = std::max(0, static_cast<int>(FLayout->Lines.size()) - visible);
        FTopLine = std::clamp(FTopLine, 0, std::max(maxTop, line < FTopLine ? line : FTopLine));
    }
    int x = LineX(line, caret);
    x += AlignOffset(line);
    int maxScroll = std::max(0, FLayout->MaxWidth - width + 1);
    FScrollX = std::min(FScrollX, maxScroll);
    if (x - FScrollX < 0) FScrollX = std::max(0, x - width / 4);
    else if (x - FScrollX > width - 1) FScrollX = x - width + 1 + width / 4;
    FScrollX = std::max(0, FScrollX);
}

void TCustomEdit::CaretCreate() {
    if (!HandleAllocated()) return;
    CreateCaret(FHandle, nullptr, 1, LineHeight());
    FHasCaret = true;
    UpdateCaret();
    ShowCaret(FHandle);
}

void TCustomEdit::CaretDestroy() {
    if (!FHasCaret) return;
    FHasCaret = false;
    DestroyCaret();
}

void TCustomEdit::UpdateCaret() {
    if (!FHasCaret || !HandleAllocated()) return;
    TPoint p = CaretPixel();
    SetCaretPos(p.x, p.y);
}

void TCustomEdit::MoveCaretTo(int Pos, bool Extend) {
    FBuffer->SetSel(Extend ? FBuffer->Anchor() : Pos, Pos);
    SelectionChanged();
}

// ---------------------------------------------------------------------------
// The window
// ---------------------------------------------------------------------------

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FPasswordChar != 0) Params.Style |= ES_PASSWORD;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    Params.WindowClass.hCursor = LoadCursorA(0, IDC_IBEAM);
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    FLayout->SetFont(Font()->Handle());
    AdjustHeight();
    TextLayoutChanged();
    ScrollCaretIntoView();
}

void TCustomEdit::DestroyWnd() {
    CaretDestroy();
    TWinControl::DestroyWnd();
}

void TCustomEdit::BoundsChanged() {
    TWinControl::BoundsChanged();
    TextLayoutChanged();
    ScrollCaretIntoView();
    UpdateCaret();
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !FClickFocused && !MultiLine()) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::DoExit() { TWinControl::DoExit(); }

void TCustomEdit::WMSetFocus(TWMSetFocus& Message) {
    Inherited(Message);
    CaretCreate();
    Invalidate();
}

void TCustomEdit::WMKillFocus(TWMSetFocus& Message) {
    CaretDestroy();
    FMouseSelecting = false;
    Invalidate();
    Inherited(Message);
}

void TCustomEdit::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
}

void TCustomEdit::WMSetText(TMessage& Message) {
    std::string v = Message.LParam != 0 ? reinterpret_cast<const char*>(Message.LParam) : "";
    SetTextInternal(v);
    Message.Result = 1;
}

void TCustomEdit::WMGetText(TMessage& Message) {
    std::string t = GetText();
    int max = static_cast<int>(Message.WParam);
    char* buf = reinterpret_cast<char*>(Message.LParam);
    if (buf == nullptr || max <= 0) {
        Message.Result = 0;
        return;
    }
    int n = std::min<int>(max - 1, static_cast<int>(t.size()));
    std::copy_n(t.data(), n, buf);
    buf[n] = 0;
    Message.Result = n;
}

void TCustomEdit::WMGetTextLength(TMessage& Message) { Message.Result = static_cast<LRESULT>(GetText().size()); }

void TCustomEdit::WMCopy(TMessage&) {
    if (FPasswordChar != 0 || !FBuffer->HasSelection()) return;
    Clipboard()->SetAsText(FBuffer->SelText());
}

void TCustomEdit::WMCut(TMessage& Message) {
    if (FPasswordChar != 0 || !FBuffer->HasSelection() || !CanEditText()) return;
    WMCopy(Message);
    WMClear(Message);
}

void TCustomEdit::WMPaste(TMessage&) {
    if (!CanEditText()) return;
    DoPaste(Clipboard()->AsText());
}

void TCustomEdit::WMClear(TMessage&) {
    if (!CanEditText() || !FBuffer->HasSelection()) return;
    FBuffer->BreakTyping();
    bool changed = FBuffer->ReplaceSel(std::string(), true);
    if (changed) FBuffer->SetModified(true);
    NotifyChanged(changed);
}

void TCustomEdit::WMUndo(TMessage& Message) {
    Message.Result = 0;
    if (!CanEditText() || !FBuffer->Undo()) return;
    FBuffer->SetModified(true);
    Message.Result = 1;
    NotifyChanged(true);
}

void TCustomEdit::EMMessage(TMessage& Message) {
    auto& b = *FBuffer;
    const auto& lines = FLayout->Lines;
    int count = static_cast<int>(lines.size());
    switch (Message.Msg) {
        case EM_GETSEL:
            if (Message.WParam != 0) *reinterpret_cast<DWORD*>(Message.WParam) = DWORD(b.SelStart());
            if (Message.LParam != 0) *reinterpret_cast<DWORD*>(Message.LParam) = DWORD(b.SelEnd());
            Message.Result = LRESULT(MAKELONG(b.SelStart(), b.SelEnd()));
            break;
        case EM_SETSEL: {
            int s = static_cast<int>(static_cast<intptr_t>(Message.WParam));
            int e = static_cast<int>(Message.LParam);
            if (s < 0) {
                b.SetSel(b.Caret(), b.Caret());
            } else {
                if (e < 0) e = b.Length();
                b.SetSel(s, e);
            }
            SelectionChanged();
            break;
        }
        case EM_GETMODIFY: Message.Result = b.Modified() ? 1 : 0; break;
        case EM_SETMODIFY: b.SetModified(Message.WParam != 0); break;
        case EM_REPLACESEL: {
            std::string s = Message.LParam != 0 ? reinterpret_cast<const char*>(Message.LParam) : "";
            if (MultiLine()) s = NormalizeBreaks(s);
            b.BreakTyping();
            bool changed = b.ReplaceSel(s, Message.WParam != 0);
            if (changed) b.SetModified(true);
            NotifyChanged(changed);
            break;
        }
        case EM_LIMITTEXT: SetMaxLength(static_cast<int>(std::min<WPARAM>(Message.WParam, 0x7FFFFFFE))); break;
        case EM_GETLIMITTEXT: Message.Result = FMaxLength > 0 ? FMaxLength : 0x7FFFFFFE; break;
        case EM_CANUNDO: Message.Result = b.CanUndo() ? 1 : 0; break;
        case EM_UNDO: {
            TMessage m{WM_UNDO, 0, 0, 0};
            WMUndo(m);
            Message.Result = m.Result;
            break;
        }
        case EM_EMPTYUNDOBUFFER: b.ClearUndo(); break;
        case EM_SETREADONLY:
            SetReadOnly(Message.WParam != 0);
            Message.Result = 1;
            break;
        case EM_SETPASSWORDCHAR: SetPasswordChar(static_cast<char>(Message.WParam)); break;
        case EM_GETPASSWORDCHAR: Message.Result = static_cast<unsigned char>(FPasswordChar); break;
        case EM_SCROLLCARET: SelectionChanged(); Message.Result = 1; break;
        case EM_GETLINECOUNT: Message.Result = count; break;
        case EM_LINEINDEX: {
            int line = static_cast<int>(static_cast<intptr_t>(Message.WParam));
            if (line < 0) line = VisualLineOf(b.Caret());
            Message.Result = line < count ? lines[line].Start : -1;
            break;
        }
        case EM_LINELENGTH: {
            int pos = static_cast<int>(static_cast<intptr_t>(Message.WParam));
            if (pos < 0) {
                Message.Result = 0;
                break;
            }
            const auto& l = lines[VisualLineOf(pos)];
            Message.Result = l.End - l.Start;
            break;
        }
        case EM_LINEFROMCHAR: {
            int pos = static_cast<int>(static_cast<intptr_t>(Message.WParam));
            Message.Result = VisualLineOf(pos < 0 ? b.Caret() : pos);
            break;
        }
        case EM_GETFIRSTVISIBLELINE: Message.Result = MultiLine() ? FTopLine : 0; break;
        case EM_CHARFROMPOS: {
            int x = static_cast<short>(LOWORD(uintptr_t(Message.LParam)));
            int y = static_cast<short>(HIWORD(uintptr_t(Message.LParam)));
            int pos = CharFromPos(x, y);
            Message.Result = LRESULT(MAKELONG(pos, VisualLineOf(pos)));
            break;
        }
        case EM_POSFROMCHAR: {
            int pos = static_cast<int>(Message.WParam);
            if (pos < 0 || pos > b.Length()) {
                Message.Result = -1;
                break;
            }
            int line = VisualLineOf(pos);
            TRect r = EditRect();
            int align = AlignOffset(line);
            Message.Result = LRESULT(MAKELONG(r.left + align + LineX(line, pos) - FScrollX,
                                              r.top + (line - FTopLine) * LineHeight()));
            break;
        }
        default: break;
    }
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    FLayout->SetFont(Font()->Handle());
    if (FHasCaret) CaretCreate();
    AdjustHeight();
    TextLayoutChanged();
    SelectionChanged();
}

void TCustomEdit::CMEnabledChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomEdit::CMColorChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
    RecreateKeepingFocus(this);
    AdjustHeight();
    Inherited(Message);
}

void TCustomEdit::WMSetCursor(TWMSetCursor& Message) {
    if (Cursor() == crDefault && Message.HitTest() == HTCLIENT) {
        ::host::SetCursor(LoadCursorA(0, IDC_IBEAM));
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TCustomEdit::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------

void TCustomEdit::DefaultHandler(void* Message) {
    auto& m = *static_cast<TMessage*>(Message);
    if (m.Msg == WM_KEYDOWN) {
        EditKeyDown(static_cast<WORD>(m.WParam), KeyDataToShiftState(m.LParam));
        m.Result = 0;
        return;
    }
    if (m.Msg == WM_CHAR) {
        EditChar(static_cast<char>(m.WParam));
        m.Result = 0;
        return;
    }
    TWinControl::DefaultHandler(Message);
}

void TCustomEdit::EditKeyDown(WORD Key, TShiftState Shift) {
    bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    auto& b = *FBuffer;
    int caret = b.Caret();
    switch (Key) {
        case VK_LEFT:
            if (!shift && b.HasSelection() && !ctrl) MoveCaretTo(b.SelStart(), false);
            else MoveCaretTo(ctrl ? b.PrevWord(caret) : b.PrevChar(caret), shift);
            break;
        case VK_RIGHT:
            if (!shift && b.HasSelection() && !ctrl) MoveCaretTo(b.SelEnd(), false);
            else MoveCaretTo(ctrl ? b.NextWord(caret) : b.NextChar(caret), shift);
            break;
        case VK_HOME: {
            const auto& l = FLayout->Lines[VisualLineOf(caret)];
            MoveCaretTo(ctrl ? 0 : l.Start, shift);
            break;
        }
        case VK_END: {
            const auto& l = FLayout->Lines[VisualLineOf(caret)];
            MoveCaretTo(ctrl ? b.Length() : l.End, shift);
            break;
        }
        case VK_DELETE:
            if (shift) {
                Perform(WM_CUT, 0, 0);
            } else if (b.HasSelection()) {
                Perform(WM_CLEAR, 0, 0);
            } else if (CanEditText() && caret < b.Length()) {
                b.BreakTyping();
                int to = ctrl ? b.NextWord(caret) : b.NextChar(caret);
                bool changed = b.Replace(caret, to, std::string(), true);
                if (changed) b.SetModified(true);
                NotifyChanged(changed);
            }
            break;
        case VK_INSERT:
            if (ctrl) Perform(WM_COPY, 0, 0);
            else if (shift) Perform(WM_PASTE, 0, 0);
            break;
        default: break;
    }
}

void TCustomEdit::EditChar(char Ch) {
    auto& b = *FBuffer;
    switch (Ch) {
        case 1: SelectAll(); return;           // Ctrl+A
        case 3: Perform(WM_COPY, 0, 0); return;   // Ctrl+C
        case 22: Perform(WM_PASTE, 0, 0); return; // Ctrl+V
        case 24: Perform(WM_CUT, 0, 0); return;   // Ctrl+X
        case 26: Perform(WM_UNDO, 0, 0); return;  // Ctrl+Z
        case 8:                                   // Backspace
        case 127: {                               // Ctrl+Backspace
            if (!CanEditText()) {
                MessageBeep(0);
                return;
            }
            if (b.HasSelection()) {
                Perform(WM_CLEAR, 0, 0);
                return;
            }
            int caret = b.Caret();
            if (caret == 0) return;
            b.BreakTyping();
            bool changed = b.Replace(Ch == 8 ? b.PrevChar(caret) : b.PrevWord(caret), caret, std::string(), true);
            if (changed) b.SetModified(true);
            NotifyChanged(changed);
            return;
        }
        default: break;
    }
    if (static_cast<unsigned char>(Ch) < 32) return;  // Enter, Tab, Escape and the rest do not type
    InsertTyped(std::string(1, Ch));
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

void TCustomEdit::WMLButtonDown(TWMMouse& Message) {
    if (!Focused() && CanFocus()) {
        FClickFocused = true;
        try {
            SetFocus();
        } catch (...) {
            FClickFocused = false;
            throw;
        }
        FClickFocused = false;
    }
    bool shift = (Message.Keys() & MK_SHIFT) != 0;
    int pos = CharFromPos(Message.XPos(), Message.YPos());
    FBuffer->BreakTyping();
    MoveCaretTo(pos, shift);
    FMouseSelecting = true;
    FDoubleClickAnchorEnd = -1;
    Inherited(Message);
}

void TCustomEdit::WMLButtonDblClk(TWMMouse& Message) {
    int s = 0, e = 0;
    FBuffer->WordAt(CharFromPos(Message.XPos(), Message.YPos()), s, e);
    FBuffer->SetSel(s, e);
    SelectionChanged();
    FMouseSelecting = false;
    Inherited(Message);
}

void TCustomEdit::WMMouseMove(TWMMouse& Message) {
    if (FMouseSelecting && (Message.Keys() & MK_LBUTTON) != 0) {
        int pos = CharFromPos(Message.XPos(), Message.YPos());
        if (pos != FBuffer->Caret()) MoveCaretTo(pos, true);
    }
    Inherited(Message);
}

void TCustomEdit::WMLButtonUp(TWMMouse& Message) {
    FMouseSelecting = false;
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomEdit::PaintWindow(HDC DC) {
    RECT client = ClientRect();
    FillRect(DC, &client, Brush()->Handle());
    int saved = SaveDC(DC);
    TRect er = EditRect();
    IntersectClipRect(DC, er.left, er.top, er.right, er.bottom);
    SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    const std::string& text = FBuffer->Text();
    bool showSel = FBuffer->HasSelection() && (!FHideSelection || Focused());
    int selS = FBuffer->SelStart(), selE = FBuffer->SelEnd();
    COLORREF normal = Rgb(Enabled() ? Font()->Color() : clGrayText);
    int lh = LineHeight();
    const auto& lines = FLayout->Lines;
    for (int i = FTopLine; i < static_cast<int>(lines.size()); ++i) {
        int y = er.top + (i - FTopLine) * lh;
        if (y >= er.bottom) break;
        const TVisualLine& l = lines[i];
        int x0 = er.left - FScrollX + AlignOffset(i);
        // Draws [From, To) of the line, piece by piece between tabs.
        auto run = [&](int From, int To, COLORREF Color) {
            if (From >= To) return;
            SetTextColor(DC, Color);
            int p = From;
            while (p < To) {
                size_t tab = text.find('\t', static_cast<size_t>(p));
                int end = tab == std::string::npos ? To : std::min<int>(To, static_cast<int>(tab));
                if (end > p) {
                    std::string shown = DisplayText(text.substr(p, end - p));
                    ExtTextOutA(DC, x0 + LineX(i, p), y, 0, nullptr, shown.data(), static_cast<UINT>(shown.size()),
                                nullptr);
                }
                p = end == To ? To : end + 1;
            }
        };
        if (showSel && selS < l.End + 1 && selE > l.Start) {
            int a = std::max(selS, l.Start), z = std::min(selE, l.End);
            int xa = x0 + LineX(i, a);
            int xz = x0 + LineX(i, z);
            if (selE > l.End && z == l.End) xz += FLayout->AveCharWidth() / 2;  // the selected line break
            RECT hr{xa, y, xz, y + lh};
            HBRUSH hb = CreateSolidBrush(Rgb(clHighlight));
            FillRect(DC, &hr, hb);
            DeleteObject(hb);
            run(l.Start, a, normal);
            run(a, z, Rgb(clHighlightText));
            run(z, l.End, normal);
        } else {
            run(l.Start, l.End, normal);
        }
    }
    RestoreDC(DC, saved);
}

// ---------------------------------------------------------------------------
// TCustomMemo
// ---------------------------------------------------------------------------

// The lines of a memo as a string list: every change goes to the memo's text.
class TMemoStrings : public TStrings {
    HOST_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

    void Insert(int Index, const std::string& S) override {
        auto& b = FMemo->Buffer();
        if (Index < 0 || Index > GetCount()) throw EStringListError(Format("List index out of bounds (%d)", {Index}));
        int start = b.LineStart(Index);
        std::string text = b.Text();
        if (start >= 0) {
            text.insert(static_cast<size_t>(start), S + "\n");
        } else {
            text += "\n" + S;
        }
        Store(text);
    }
    void Delete(int Index) override {
        auto& b = FMemo->Buffer();
        CheckIndex(Index);
        int start = b.LineStart(Index);
        int next = b.LineStart(Index + 1);
        int end = next >= 0 ? next : start + b.LineLength(Index);
        std::string text = b.Text();
        text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
        Store(text);
    }
    void Clear() override { Store(std::string()); }
    void Put(int Index, const std::string& S) override {
        auto& b = FMemo->Buffer();
        CheckIndex(Index);
        std::string text = b.Text();
        text.replace(static_cast<size_t>(b.LineStart(Index)), static_cast<size_t>(b.LineLength(Index)),
                     NormalizeBreaks(S));
        Store(text);
    }

protected:
    std::string Get(int Index) const override {
        auto& b = FMemo->Buffer();
        CheckIndex(Index);
        return b.Text().substr(static_cast<size_t>(b.LineStart(Index)), static_cast<size_t>(b.LineLength(Index)));
    }
    int GetCount() const override {
        auto& b = FMemo->Buffer();
        int n = b.LineCount();
        // A last line with nothing on it is only the end of the line before.
        if (b.LineLength(n - 1) == 0) --n;
        return n;
    }
    void SetTextStr(const std::string& Value) override { Store(Value); }

private:
    TCustomMemo* FMemo;
    void CheckIndex(int Index) const {
        if (Index < 0 || Index >= GetCount()) throw EStringListError(Format("List index out of bounds (%d)", {Index}));
    }
    // Replaces the memo's text, keeping the caret where it was as far as it can.
    void Store(const std::string& Text) {
        auto& b = FMemo->Buffer();
        int anchor = b.Anchor(), caret = b.Caret();
        FMemo->SetRawText(Text);
        b.SetSel(anchor, caret);
        FMemo->SelectionChanged();
    }
};

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    TControl::SetAutoSize(false);
    FControlStyle.Exclude(csFixedHeight);
    SetBounds(FLeft, FTop, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const { return FLines.get(); }

void TCustomMemo::SetLines(TStrings* Value) {
    if (Value == nullptr) FLines->Clear();
    else FLines->Assign(Value);
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    SelectionChanged();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateKeepingFocus(this);
    TextLayoutChanged();
    SelectionChanged();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    FScrollX = 0;
    TextLayoutChanged();
    SelectionChanged();
}

bool TCustomMemo::WrapLines() const {
    return FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth;
}

TPoint TCustomMemo::CaretPos() const {
    auto& b = Buffer();
    int line = b.LineOf(b.Caret());
    return TPoint{b.Caret() - b.LineStart(line), line};
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
    auto& b = Buffer();
    int line = std::clamp(Value.y, 0, b.LineCount() - 1);
    int col = std::clamp(Value.x, 0, b.LineLength(line));
    int pos = b.LineStart(line) + col;
    b.SetSel(pos, pos);
    SelectionChanged();
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~(ES_AUTOHSCROLL | ES_AUTOVSCROLL);
    Params.Style |= ES_MULTILINE;
    if (!WrapLines()) Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
    else if (FAlignment == taCenter) Params.Style |= ES_CENTER;
}

int TCustomMemo::AlignOffset(int Line) const {
    if (FAlignment == taLeftJustify || Line < 0 || Line >= static_cast<int>(Layout().Lines.size())) return 0;
    TRect r = EditRect();
    int free = (r.right - r.left) - LineX(Line, Layout().Lines[Line].End) - 1;
    if (free <= 0) return 0;
    return FAlignment == taRightJustify ? free : free / 2;
}

void TCustomMemo::TextLayoutChanged() {
    auto& b = Buffer();
    auto& layout = Layout();
    const std::string& text = b.Text();
    TRect r = EditRect();
    int width = r.right - r.left;
    bool wrap = WrapLines() && width > 0;
    layout.Lines.clear();
    layout.MaxWidth = 0;
    for (int h = 0; h < b.LineCount(); ++h) {
        int start = b.LineStart(h), end = start + b.LineLength(h);
        if (!wrap) {
            layout.Lines.push_back(TVisualLine{start, end});
            layout.MaxWidth = std::max(layout.MaxWidth, layout.TextWidth(text.substr(start, end - start)));
            continue;
        }
        // Greedy wrapping at blanks; a word wider than the line breaks between characters.
        // Widths add up character by character, so a long line is measured once.
        int tab = layout.AveCharWidth() * 8;
        int s = start;
        do {
            int fit = s, lastBreak = -1, x = 0;
            for (int p = s; p < end;) {
                int next = b.NextChar(p);
                x = text[p] == '\t' ? (x / tab + 1) * tab : x + layout.CharWidth(text, p, next);
                if (x > width) break;
                fit = next;
                if (text[p] == ' ' || text[p] == '\t') lastBreak = next;
                p = next;
            }
            int e = fit;
            if (fit < end) {
                if (lastBreak > s) e = lastBreak;
                else if (fit == s) e = b.NextChar(s);
            }
            layout.Lines.push_back(TVisualLine{s, e});
            layout.MaxWidth = std::max(layout.MaxWidth, layout.TextWidth(text.substr(s, e - s)));
            s = e;
        } while (s < end);
    }
    if (layout.Lines.empty()) layout.Lines.push_back(TVisualLine{0, 0});
    UpdateScrollBars();
}

void TCustomMemo::UpdateScrollBars() {
    if (!HandleAllocated() || FUpdatingScrollBars > 0) return;
    ++FUpdatingScrollBars;
    TRect r = EditRect();
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) {
        SCROLLINFO si;
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = static_cast<int>(Layout().Lines.size()) - 1;
        si.nPage = static_cast<UINT>(VisibleLineCount());
        si.nPos = FTopLine;
        SetScrollInfo(FHandle, SB_VERT, &si, TRUE);
    }
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) {
        SCROLLINFO si;
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = Layout().MaxWidth;
        si.nPage = static_cast<UINT>(std::max(1, static_cast<int>(r.right - r.left)));
        si.nPos = FScrollX;
        SetScrollInfo(FHandle, SB_HORZ, &si, TRUE);
    }
    --FUpdatingScrollBars;
}

void TCustomMemo::ScrollToLine(int Line) {
    int maxTop = std::max(0, static_cast<int>(Layout().Lines.size()) - VisibleLineCount());
    Line = std::clamp(Line, 0, maxTop);
    if (Line == FTopLine) return;
    FTopLine = Line;
    UpdateScrollBars();
    UpdateCaret();
    Invalidate();
}

void TCustomMemo::WMVScroll(TMessage& Message) {
    int page = VisibleLineCount();
    switch (LOWORD(Message.WParam)) {
        case SB_LINEUP: ScrollToLine(FTopLine - 1); break;
        case SB_LINEDOWN: ScrollToLine(FTopLine + 1); break;
        case SB_PAGEUP: ScrollToLine(FTopLine - page); break;
        case SB_PAGEDOWN: ScrollToLine(FTopLine + page); break;
        case SB_TOP: ScrollToLine(0); break;
        case SB_BOTTOM: ScrollToLine(static_cast<int>(Layout().Lines.size())); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS | SIF_POS;
            GetScrollInfo(FHandle, SB_VERT, &si);
            ScrollToLine(LOWORD(Message.WParam) == SB_THUMBTRACK ? si.nTrackPos : HIWORD(Message.WParam));
            break;
        }
        default: break;
    }
}

void TCustomMemo::WMHScroll(TMessage& Message) {
    TRect r = EditRect();
    int width = r.right - r.left;
    int maxScroll = std::max(0, Layout().MaxWidth - width + 1);
    int x = FScrollX;
    switch (LOWORD(Message.WParam)) {
        case SB_LINELEFT: x -= Layout().AveCharWidth(); break;
        case SB_LINERIGHT: x += Layout().AveCharWidth(); break;
        case SB_PAGELEFT: x -= width; break;
        case SB_PAGERIGHT: x += width; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = maxScroll; break;
        case SB_THUMBTRACK: {
            SCROLLINFO si;
            si.fMask = SIF_TRACKPOS;
            GetScrollInfo(FHandle, SB_HORZ, &si);
            x = si.nTrackPos;
            break;
        }
        case SB_THUMBPOSITION: x = HIWORD(Message.WParam); break;
        default: return;
    }
    x = std::clamp(x, 0, maxScroll);
    if (x == FScrollX) return;
    FScrollX = x;
    UpdateScrollBars();
    UpdateCaret();
    Invalidate();
}

void TCustomMemo::WMMouseWheel(TMessage& Message) {
    int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    ScrollToLine(FTopLine - delta / WHEEL_DELTA * 3);
    Message.Result = 1;
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    Inherited(Message);
    if (FWantReturns) Message.Result |= DLGC_WANTALLKEYS;
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
    else Message.Result &= ~DLGC_WANTTAB;
}

void TCustomMemo::EditKeyDown(WORD Key, TShiftState Shift) {
    bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    auto& b = Buffer();
    const auto& lines = Layout().Lines;
    int line = VisualLineOf(b.Caret());
    int target = -1;
    switch (Key) {
        case VK_UP: target = line - 1; break;
        case VK_DOWN: target = line + 1; break;
        case VK_PRIOR: target = line - VisibleLineCount(); break;
        case VK_NEXT: target = line + VisibleLineCount(); break;
        default:
            FGoalX = -1;
            TCustomEdit::EditKeyDown(Key, Shift);
            return;
    }
    if (ctrl && (Key == VK_UP || Key == VK_DOWN)) {
        ScrollToLine(FTopLine + (Key == VK_UP ? -1 : 1));
        return;
    }
    if (FGoalX < 0) FGoalX = LineX(line, b.Caret()) + AlignOffset(line);
    int goal = FGoalX;
    int count = static_cast<int>(lines.size());
    int pos;
    if (target < 0) pos = 0;
    else if (target >= count) pos = b.Length();
    else {
        pos = NearestInLine(target, goal - AlignOffset(target));
    }
    if (Key == VK_PRIOR || Key == VK_NEXT) ScrollToLine(FTopLine + (target - line));
    b.SetSel(shift ? b.Anchor() : pos, pos);
    SelectionChanged();
    FGoalX = goal;
}

void TCustomMemo::EditChar(char Ch) {
    FGoalX = -1;
    // Enter types a line break only when the memo wants returns (Ctrl+Enter always);
    // Tab types a tab when it wants tabs or with Ctrl.
    if (Ch == '\r' || Ch == '\n') {
        if (Ch == '\n' || FWantReturns) InsertTyped("\n");
        return;
    }
    if (Ch == '\t') {
        if (FWantTabs || GetKeyState(VK_CONTROL) < 0) InsertTyped("\t");
        return;
    }
    TCustomEdit::EditChar(Ch);
}

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

void RegisterEditClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TCustomEdit::StaticClass(), TEdit::StaticClass(), TCustomMemo::StaticClass(),
                     TMemo::StaticClass(), TRichEdit::StaticClass(), TCustomMaskEdit::StaticClass(),
                     TMaskEdit::StaticClass()});
}

}  // namespace host
