// Edit masks: the mask routines and TCustomMaskEdit (overwrite typing, literals skipped, validation).
#include <algorithm>
#include <cctype>
#include <vector>

#include "host/app/clipbrd.h"
#include "host/controls/edits.h"
#include "host/controls/edits_internal.h"

namespace host {

namespace {

// One position of the edit text: a literal, or a place for input of some kind.
struct TMaskSlot {
    char Kind = 0;     // 0: literal; else the mask character (L l A a C c 0 9 #)
    char Literal = 0;  // the literal shown
    int Case = 0;      // 0: as typed, 1: upper, 2: lower
};

struct TParsedMask {
    std::vector<TMaskSlot> Slots;
    bool Reverse = false;
};

bool IsInputKind(char C) {
    switch (C) {
        case mMskAlpha: case mMskAlphaOpt: case mMskAlphaNum: case mMskAlphaNumOpt: case mMskAscii:
        case mMskAsciiOpt: case mMskNumeric: case mMskNumericOpt: case mMskNumSymOpt: return true;
        default: return false;
    }
}

bool IsRequired(char Kind) {
    return Kind == mMskAlpha || Kind == mMskAlphaNum || Kind == mMskAscii || Kind == mMskNumeric;
}

bool Accepts(char Kind, char Ch) {
    auto c = static_cast<unsigned char>(Ch);
    switch (Kind) {
        case mMskAlpha: case mMskAlphaOpt: return std::isalpha(c) != 0;
        case mMskAlphaNum: case mMskAlphaNumOpt: return std::isalnum(c) != 0;
        case mMskAscii: case mMskAsciiOpt: return c >= 32 && c != 127;
        case mMskNumeric: case mMskNumericOpt: return std::isdigit(c) != 0;
        case mMskNumSymOpt: return std::isdigit(c) != 0 || Ch == '+' || Ch == '-';
        default: return false;
    }
}

char ApplySlotCase(const TMaskSlot& S, char Ch) {
    auto c = static_cast<unsigned char>(Ch);
    if (S.Case == 1) return static_cast<char>(std::toupper(c));
    if (S.Case == 2) return static_cast<char>(std::tolower(c));
    return Ch;
}

// The 0-based position of the separator after From (escapes skipped), or -1.
int FindSeparator(const std::string& M, size_t From) {
    for (size_t i = From; i < M.size(); ++i) {
        if (M[i] == mDirLiteral) {
            ++i;
            continue;
        }
        if (M[i] == MaskFieldSeparator) return static_cast<int>(i);
    }
    return -1;
}

std::string MaskField(const std::string& EditMask) {
    int sep = MaskGetFldSeparator(EditMask);
    return sep < 0 ? EditMask : EditMask.substr(0, static_cast<size_t>(sep));
}

TParsedMask ParseMask(const std::string& Mask) {
    TParsedMask r;
    int caseMode = 0;
    for (size_t i = 0; i < Mask.size(); ++i) {
        char c = Mask[i];
        if (c == mDirReverse) {
            r.Reverse = true;
        } else if (c == mDirUpperCase || c == mDirLowerCase) {
            char other = c == mDirUpperCase ? mDirLowerCase : mDirUpperCase;
            if (i + 1 < Mask.size() && Mask[i + 1] == other) {
                caseMode = 0;
                ++i;
            } else {
                caseMode = c == mDirUpperCase ? 1 : 2;
            }
        } else if (c == mDirLiteral) {
            if (i + 1 < Mask.size()) r.Slots.push_back(TMaskSlot{0, Mask[++i], 0});
        } else if (IsInputKind(c)) {
            r.Slots.push_back(TMaskSlot{c, 0, caseMode});
        } else if (c == '_') {
            r.Slots.push_back(TMaskSlot{0, ' ', 0});
        } else {
            r.Slots.push_back(TMaskSlot{0, c, 0});
        }
    }
    return r;
}

// Value laid into the mask. With HasLiterals, Value's characters line up with the
// mask's positions; else they fill the input positions in order (right-aligned with
// the reverse directive). Blank input positions show Blank.
std::string LayIntoMask(const TParsedMask& M, const std::string& Value, bool HasLiterals, char Blank) {
    std::string r(M.Slots.size(), Blank);
    if (HasLiterals) {
        for (size_t i = 0; i < M.Slots.size(); ++i) {
            const TMaskSlot& s = M.Slots[i];
            if (s.Kind == 0) {
                r[i] = s.Literal;
            } else if (i < Value.size() && Value[i] != ' ' && Value[i] != Blank) {
                r[i] = ApplySlotCase(s, Value[i]);
            }
        }
        return r;
    }
    int inputs = 0;
    for (const auto& s : M.Slots)
        if (s.Kind != 0) ++inputs;
    int skip = M.Reverse ? std::max(0, inputs - static_cast<int>(Value.size())) : 0;
    size_t v = 0;
    for (size_t i = 0; i < M.Slots.size(); ++i) {
        const TMaskSlot& s = M.Slots[i];
        if (s.Kind == 0) {
            r[i] = s.Literal;
            continue;
        }
        if (skip > 0) {
            --skip;
            continue;
        }
        if (v < Value.size()) {
            char c = Value[v++];
            if (c != ' ' && c != Blank) r[i] = ApplySlotCase(s, c);
        }
    }
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------
// The mask routines
// ---------------------------------------------------------------------------

int MaskGetFldSeparator(const std::string& EditMask) { return FindSeparator(EditMask, 0); }

bool MaskGetMaskSave(const std::string& EditMask) {
    int sep = MaskGetFldSeparator(EditMask);
    if (sep < 0 || static_cast<size_t>(sep) + 1 >= EditMask.size()) return true;
    return EditMask[static_cast<size_t>(sep) + 1] != MaskNoSave;
}

char MaskGetMaskBlank(const std::string& EditMask) {
    int sep = MaskGetFldSeparator(EditMask);
    if (sep < 0) return DefaultBlank;
    int sep2 = FindSeparator(EditMask, static_cast<size_t>(sep) + 1);
    if (sep2 < 0 || static_cast<size_t>(sep2) + 1 >= EditMask.size()) return DefaultBlank;
    return EditMask[static_cast<size_t>(sep2) + 1];
}

std::string FormatMaskText(const std::string& EditMask, const std::string& Value) {
    TParsedMask m = ParseMask(MaskField(EditMask));
    if (m.Slots.empty()) return Value;
    return LayIntoMask(m, Value, MaskGetMaskSave(EditMask), ' ');
}

// ---------------------------------------------------------------------------
// TCustomMaskEdit
// ---------------------------------------------------------------------------

namespace {

TParsedMask MaskOf(const std::string& Mask) { return ParseMask(Mask); }

int NextInput(const TParsedMask& M, int From) {
    for (int i = std::max(0, From); i < static_cast<int>(M.Slots.size()); ++i)
        if (M.Slots[i].Kind != 0) return i;
    return -1;
}

int PrevInput(const TParsedMask& M, int Before) {
    for (int i = std::min(Before, static_cast<int>(M.Slots.size())) - 1; i >= 0; --i)
        if (M.Slots[i].Kind != 0) return i;
    return -1;
}

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::SetEditMask(const std::string& Value) {
    if (FEditMask == Value) return;
    // The input characters carry over to the new mask (blanks as blanks).
    std::string old = Text();
    std::string inputs = old;
    if (IsMasked()) {
        TParsedMask m = MaskOf(FMask);
        std::string edit = RawText();
        inputs.clear();
        for (size_t i = 0; i < m.Slots.size() && i < edit.size(); ++i)
            if (m.Slots[i].Kind != 0) inputs += edit[i] == FBlank ? ' ' : edit[i];
    }
    FEditMask = Value;
    FMask = MaskField(Value);
    FSaveLiterals = MaskGetMaskSave(Value);
    FBlank = MaskGetMaskBlank(Value);
    if (IsMasked()) SetRawText(LayIntoMask(MaskOf(FMask), inputs, false, FBlank));
    else SetRawText(old);
    FOldValue = RawText();
}

std::string TCustomMaskEdit::EditText() const { return RawText(); }

void TCustomMaskEdit::SetEditText(const std::string& Value) {
    if (IsMasked()) SetRawText(LayIntoMask(MaskOf(FMask), Value, true, FBlank));
    else SetRawText(Value);
    FOldValue = RawText();
}

std::string TCustomMaskEdit::GetText() const {
    if (!IsMasked()) return RawText();
    TParsedMask m = MaskOf(FMask);
    std::string edit = RawText();
    std::string r;
    for (size_t i = 0; i < m.Slots.size() && i < edit.size(); ++i) {
        char c = edit[i] == FBlank ? ' ' : edit[i];
        if (m.Slots[i].Kind != 0) r += c;
        else if (FSaveLiterals) r += m.Slots[i].Literal;
    }
    if (!FSaveLiterals) {
        if (m.Reverse) r.erase(0, r.find_first_not_of(' ') == std::string::npos ? r.size() : r.find_first_not_of(' '));
        else r.erase(r.find_last_not_of(' ') + 1);
    }
    return r;
}

void TCustomMaskEdit::SetTextInternal(const std::string& Value) {
    if (!IsMasked()) {
        TCustomEdit::SetTextInternal(Value);
    } else {
        SetRawText(LayIntoMask(MaskOf(FMask), Value, FSaveLiterals, FBlank));
    }
    FOldValue = RawText();
}

void TCustomMaskEdit::SetMaxLength(int Value) { TCustomEdit::SetMaxLength(Value); }

bool TCustomMaskEdit::EditCanModify() { return true; }

bool TCustomMaskEdit::CanEditText() const {
    return TCustomEdit::CanEditText() && const_cast<TCustomMaskEdit*>(this)->EditCanModify();
}

bool TCustomMaskEdit::Validate(const std::string& Value, int& Pos) const {
    TParsedMask m = MaskOf(FMask);
    for (size_t i = 0; i < m.Slots.size(); ++i) {
        const TMaskSlot& s = m.Slots[i];
        if (s.Kind == 0) continue;
        char c = i < Value.size() ? Value[i] : FBlank;
        bool blank = c == FBlank || c == ' ';
        if ((blank && IsRequired(s.Kind)) || (!blank && !Accepts(s.Kind, c))) {
            Pos = static_cast<int>(i);
            return false;
        }
    }
    Pos = 0;
    return true;
}

void TCustomMaskEdit::ValidateError() {
    MessageBeep(0);
    throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked() || !Modified()) return;
    int pos = 0;
    if (Validate(RawText(), pos)) return;
    Buffer().SetSel(pos, pos + 1);
    SelectionChanged();
    ValidateError();
}

void TCustomMaskEdit::Reset() {
    if (!Modified()) return;
    SetRawText(FOldValue);
    SetModified(false);
    CheckCursor();
}

void TCustomMaskEdit::CheckCursor() {
    if (!IsMasked() || FSettingCursor) return;
    auto& b = Buffer();
    if (b.SelEnd() - b.SelStart() > 1) return;
    TParsedMask m = MaskOf(FMask);
    int p = NextInput(m, b.SelStart());
    if (p < 0) {
        b.SetSel(b.Length(), b.Length());
    } else {
        b.SetSel(p, p + 1);
    }
    SelectionChanged();
}

// Blanks the input positions of Start..End (literals stay).
static std::string BlankRange(const std::string& Edit, const std::string& Mask, char Blank, int Start, int End) {
    TParsedMask m = ParseMask(Mask);
    std::string r = Edit;
    for (int i = std::max(0, Start); i < End && i < static_cast<int>(r.size()); ++i)
        if (i < static_cast<int>(m.Slots.size()) && m.Slots[i].Kind != 0) r[i] = Blank;
    return r;
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt)) return;
    auto& b = Buffer();
    TParsedMask m = MaskOf(FMask);
    bool shift = Shift.Contains(ssShift);
    switch (Key) {
        case VK_LEFT:
        case VK_RIGHT: {
            if (shift || Shift.Contains(ssCtrl)) return;  // the plain edit extends the selection
            int p = Key == VK_LEFT ? PrevInput(m, b.SelStart()) : NextInput(m, b.SelStart() + 1);
            if (p >= 0) b.SetSel(p, p + 1);
            else if (Key == VK_RIGHT) b.SetSel(b.Length(), b.Length());
            SelectionChanged();
            Key = 0;
            return;
        }
        case VK_UP:
        case VK_DOWN: Key = 0; return;
        case VK_HOME:
        case VK_END: {
            int p = Key == VK_HOME ? NextInput(m, 0) : b.Length();
            if (p < 0) p = 0;
            if (shift) b.SetSel(b.Anchor(), p);
            else if (Key == VK_HOME) b.SetSel(p, p + 1);
            else b.SetSel(p, p);
            SelectionChanged();
            Key = 0;
            return;
        }
        case VK_DELETE:
        case VK_BACK: {
            if (Key == VK_DELETE && shift) return;  // cut
            WORD pressed = Key;
            Key = 0;
            if (ReadOnly() || !EditCanModify()) return;
            int s = b.SelStart(), e = b.SelEnd();
            std::string edit = RawText();
            int caret = s;
            if (e - s > 1) {
                edit = BlankRange(edit, FMask, FBlank, s, e);
            } else if (pressed == VK_BACK) {
                int p = PrevInput(m, s);
                if (p < 0) return;
                edit = BlankRange(edit, FMask, FBlank, p, p + 1);
                caret = p;
            } else {
                int p = NextInput(m, s);
                if (p < 0) return;
                edit = BlankRange(edit, FMask, FBlank, p, p + 1);
                caret = p;
            }
            if (edit != RawText()) {
                b.BreakTyping();
                b.Replace(0, b.Length(), edit, true);
                b.SetModified(true);
            }
            b.SetSel(caret, caret + 1);
            TextLayoutChanged();
            SelectionChanged();
            Change();
            return;
        }
        default: break;
    }
}

void TCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomEdit::KeyUp(Key, Shift);
    if (IsMasked() && Key != 0 && Buffer().SelEnd() == Buffer().SelStart()) CheckCursor();
}

void TCustomMaskEdit::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0) return;
    if (Key == 3 || Key == 22 || Key == 24) return;  // Ctrl+C, Ctrl+V, Ctrl+X: the clipboard messages
    char ch = Key;
    Key = 0;
    if (ch == 27) {
        Reset();
        return;
    }
    if (static_cast<unsigned char>(ch) < 32) return;
    TypeMaskChar(ch);
}

bool TCustomMaskEdit::TypeMaskChar(char ch) {
    if (ReadOnly() || !EditCanModify()) {
        MessageBeep(0);
        return false;
    }
    auto& b = Buffer();
    TParsedMask m = MaskOf(FMask);
    std::string edit = RawText();
    int s = b.SelStart(), e = b.SelEnd();
    if (e - s > 1) edit = BlankRange(edit, FMask, FBlank, s, e);
    // Typing the literal that stands at the caret steps over it.
    if (s < static_cast<int>(m.Slots.size()) && m.Slots[s].Kind == 0 && m.Slots[s].Literal == ch) {
        int q = NextInput(m, s + 1);
        if (q >= 0) b.SetSel(q, q + 1);
        SelectionChanged();
        return true;
    }
    int p = NextInput(m, s);
    if (p < 0 || !Accepts(m.Slots[p].Kind, ch)) {
        MessageBeep(0);
        return false;
    }
    char c = ApplySlotCase(m.Slots[p], ch);
    if (CharCase() == ecUpperCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    else if (CharCase() == ecLowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    edit[p] = c;
    if (edit != RawText()) {
        b.Replace(0, b.Length(), edit, true, false);
        b.SetModified(true);
        TextLayoutChanged();
        Change();
    }
    int q = NextInput(m, p + 1);
    if (q >= 0) b.SetSel(q, q + 1);
    else b.SetSel(p + 1, p + 1);
    SelectionChanged();
    return true;
}

void TCustomMaskEdit::DoEnter() {
    FOldValue = RawText();
    TCustomEdit::DoEnter();
    if (IsMasked() && Buffer().SelEnd() - Buffer().SelStart() <= 1) CheckCursor();
}

// Raising inside the focus change would leave the form's focus half moved (and the
// error box taking the focus would run the exit again), so the check that fails here
// is finished by a posted message.
void TCustomMaskEdit::DoExit() {
    int pos = 0;
    if (IsMasked() && Modified() && !Validate(RawText(), pos) && HandleAllocated())
        PostMessageA(FHandle, CM_MASKVALIDATE, 0, 0);
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::CMValidateAfterExit(TMessage&) {
    int pos = 0;
    if (!IsMasked() || !Modified() || Validate(RawText(), pos)) return;
    if (!Focused() && CanFocus()) SetFocus();
    ValidateEdit();
}

void TCustomMaskEdit::WMPaste(TMessage& Message) {
    if (!IsMasked()) {
        Inherited(Message);
        return;
    }
    if (ReadOnly() || !EditCanModify()) return;
    for (char c : Clipboard()->AsText()) {
        if (c == '\r' || c == '\n') break;
        TypeMaskChar(c);
    }
}

void TCustomMaskEdit::WMCut(TMessage& Message) {
    if (!IsMasked()) {
        Inherited(Message);
        return;
    }
    Perform(WM_COPY, 0, 0);
    Perform(WM_CLEAR, 0, 0);
}

void TCustomMaskEdit::WMClear(TMessage& Message) {
    if (!IsMasked()) {
        Inherited(Message);
        return;
    }
    auto& b = Buffer();
    if (ReadOnly() || !EditCanModify() || !b.HasSelection()) return;
    int s = b.SelStart();
    std::string edit = BlankRange(RawText(), FMask, FBlank, s, b.SelEnd());
    if (edit != RawText()) {
        b.Replace(0, b.Length(), edit, true);
        b.SetModified(true);
        TextLayoutChanged();
        Change();
    }
    b.SetSel(s, s);
    CheckCursor();
}

void TCustomMaskEdit::WMLButtonUp(TWMMouse& Message) {
    Inherited(Message);
    if (IsMasked() && Buffer().SelEnd() == Buffer().SelStart()) CheckCursor();
}

void TCustomMaskEdit::CMWantSpecialKey(TWMKey& Message) {
    Inherited(Message);
    if (Message.CharCode() == VK_ESCAPE && IsMasked() && Modified()) Message.Result = 1;
}

}  // namespace host
