// The edit controls' text model: selection, one-level undo, character and word steps, hard lines, text measuring.
#include <algorithm>
#include <cctype>

#include "host/controls/edits_internal.h"
#include "host/gdi/gdi.h"

namespace host {

namespace {

bool IsContinuation(unsigned char C) { return (C & 0xC0) == 0x80; }

// Letters, digits, '_' and every non-ASCII character belong to words.
bool IsWordChar(unsigned char C) { return C >= 0x80 || std::isalnum(C) != 0 || C == '_'; }

bool IsSpace(unsigned char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; }

}  // namespace

// ---------------------------------------------------------------------------
// TEditBuffer
// ---------------------------------------------------------------------------

bool TEditBuffer::SetText(const std::string& Value) {
    bool changed = Value != FText;
    FText = Value;
    FAnchor = FCaret = 0;
    ClearUndo();
    TextChanged();
    return changed;
}

int TEditBuffer::Snap(int Pos) const {
    Pos = std::clamp(Pos, 0, Length());
    while (Pos > 0 && Pos < Length() && IsContinuation(static_cast<unsigned char>(FText[Pos]))) --Pos;
    return Pos;
}

void TEditBuffer::SetSel(int Anchor, int Caret) {
    int a = Snap(Anchor), c = Snap(Caret);
    if (a != FAnchor || c != FCaret) {
        if (c != FTypingEnd) FTypingRun = false;
    }
    FAnchor = a;
    FCaret = c;
}

bool TEditBuffer::Replace(int Start, int End, const std::string& S, bool Undoable, bool Typing) {
    Start = Snap(Start);
    End = Snap(End);
    if (Start > End) std::swap(Start, End);
    if (Start == End && S.empty()) {
        FAnchor = FCaret = Start;
        return false;
    }
    if (Undoable) {
        bool joins = Typing && FTypingRun && Start == FTypingEnd && End == Start && FCanUndo;
        if (!joins) {
            FUndoText = FText;
            FUndoAnchor = FAnchor;
            FUndoCaret = FCaret;
            FCanUndo = true;
        }
        FTypingRun = Typing;
    } else {
        FTypingRun = false;
    }
    FText.replace(static_cast<size_t>(Start), static_cast<size_t>(End - Start), S);
    FAnchor = FCaret = Start + static_cast<int>(S.size());
    FTypingEnd = FCaret;
    TextChanged();
    return true;
}

bool TEditBuffer::Undo() {
    if (!FCanUndo) return false;
    std::swap(FText, FUndoText);
    std::swap(FAnchor, FUndoAnchor);
    std::swap(FCaret, FUndoCaret);
    FTypingRun = false;
    FAnchor = Snap(FAnchor);
    FCaret = Snap(FCaret);
    TextChanged();
    return true;
}

int TEditBuffer::NextChar(int Pos) const {
    if (Pos >= Length()) return Length();
    ++Pos;
    while (Pos < Length() && IsContinuation(static_cast<unsigned char>(FText[Pos]))) ++Pos;
    return Pos;
}

int TEditBuffer::PrevChar(int Pos) const {
    if (Pos <= 0) return 0;
    --Pos;
    while (Pos > 0 && IsContinuation(static_cast<unsigned char>(FText[Pos]))) --Pos;
    return Pos;
}

int TEditBuffer::PrevWord(int Pos) const {
    Pos = Snap(Pos);
    auto at = [&](int P) { return static_cast<unsigned char>(FText[P]); };
    while (Pos > 0 && IsSpace(at(Pos - 1))) --Pos;
    if (Pos > 0 && IsWordChar(at(Pos - 1))) {
        while (Pos > 0 && IsWordChar(at(Pos - 1))) --Pos;
    } else if (Pos > 0) {
        while (Pos > 0 && !IsWordChar(at(Pos - 1)) && !IsSpace(at(Pos - 1))) --Pos;
    }
    return Snap(Pos);
}

int TEditBuffer::NextWord(int Pos) const {
    Pos = Snap(Pos);
    auto at = [&](int P) { return static_cast<unsigned char>(FText[P]); };
    int n = Length();
    if (Pos < n && at(Pos) == '\n') return Pos + 1;
    if (Pos < n && IsWordChar(at(Pos))) {
        while (Pos < n && IsWordChar(at(Pos))) ++Pos;
    } else if (Pos < n && !IsSpace(at(Pos))) {
        while (Pos < n && !IsWordChar(at(Pos)) && !IsSpace(at(Pos))) ++Pos;
    }
    while (Pos < n && IsSpace(at(Pos)) && at(Pos) != '\n') ++Pos;
    return Snap(Pos);
}

void TEditBuffer::WordAt(int Pos, int& Start, int& End) const {
    Pos = Snap(Pos);
    int n = Length();
    auto at = [&](int P) { return static_cast<unsigned char>(FText[P]); };
    // On the end of a word (or of the text) take the word before.
    int p = Pos;
    if ((p >= n || !IsWordChar(at(p))) && p > 0 && IsWordChar(at(p - 1))) --p;
    if (p >= n) {
        Start = End = n;
        return;
    }
    Start = End = p;
    if (IsWordChar(at(p))) {
        while (Start > 0 && IsWordChar(at(Start - 1))) --Start;
        while (End < n && IsWordChar(at(End))) ++End;
        // The spaces after a word go with it, as the system's edit selects them.
        while (End < n && at(End) == ' ') ++End;
    } else if (at(p) == '\n') {
        End = p;
    } else {
        End = NextChar(p);
    }
    Start = Snap(Start);
    End = Snap(End);
}

const std::vector<int>& TEditBuffer::Lines() const {
    if (!FLinesValid) {
        FLineStarts.assign(1, 0);
        for (int i = 0; i < Length(); ++i)
            if (FText[i] == '\n') FLineStarts.push_back(i + 1);
        FLinesValid = true;
    }
    return FLineStarts;
}

int TEditBuffer::LineCount() const { return static_cast<int>(Lines().size()); }

int TEditBuffer::LineStart(int Line) const {
    const auto& l = Lines();
    if (Line < 0 || Line >= static_cast<int>(l.size())) return -1;
    return l[Line];
}

int TEditBuffer::LineLength(int Line) const {
    const auto& l = Lines();
    if (Line < 0 || Line >= static_cast<int>(l.size())) return 0;
    int end = Line + 1 < static_cast<int>(l.size()) ? l[Line + 1] - 1 : Length();
    return end - l[Line];
}

int TEditBuffer::LineOf(int Pos) const {
    const auto& l = Lines();
    auto it = std::upper_bound(l.begin(), l.end(), Pos);
    return static_cast<int>(it - l.begin()) - 1;
}

// ---------------------------------------------------------------------------
// TEditLayout
// ---------------------------------------------------------------------------

TEditLayout::TEditLayout() : FDC(CreateCompatibleDC(nullptr)) { ClearCache(); }

TEditLayout::~TEditLayout() {
    if (FDC != nullptr) {
        if (FOldFont != nullptr) SelectObject(FDC, FOldFont);
        DeleteDC(FDC);
    }
}

void TEditLayout::SetFont(HFONT Font) {
    if (FDC == nullptr || Font == nullptr) return;
    HGDIOBJ old = SelectObject(FDC, Font);
    if (FOldFont == nullptr) FOldFont = old;
    ClearCache();
    TEXTMETRICA tm{};
    if (GetTextMetricsA(FDC, &tm)) {
        FLineHeight = std::max<int>(1, tm.tmHeight);
        FAveCharWidth = std::max<int>(1, tm.tmAveCharWidth);
    }
}

int TEditLayout::CharWidth(const std::string& S, int Pos, int Next) const {
    auto c = static_cast<unsigned char>(S[Pos]);
    if (Next == Pos + 1 && c < 128) {
        if (FAscii[c] < 0) FAscii[c] = TextWidth(std::string(1, static_cast<char>(c)));
        return FAscii[c];
    }
    return TextWidth(S.substr(Pos, Next - Pos));
}

int TEditLayout::TextWidth(const std::string& S) const {
    if (FDC == nullptr || S.empty()) return 0;
    int tab = FAveCharWidth * 8;
    int x = 0;
    size_t from = 0;
    while (from <= S.size()) {
        size_t t = S.find('\t', from);
        size_t end = t == std::string::npos ? S.size() : t;
        if (end > from) {
            SIZE sz{};
            GetTextExtentPoint32A(FDC, S.data() + from, static_cast<int>(end - from), &sz);
            x += sz.cx;
        }
        if (t == std::string::npos) break;
        x = (x / tab + 1) * tab;
        from = t + 1;
    }
    return x;
}

}  // namespace host
