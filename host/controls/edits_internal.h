// The text model the edit and the memo share: buffer, selection, undo, character and word steps, hard lines.
#pragma once

#include <string>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host {

// The text of an edit control with its selection (Anchor..Caret, in bytes of the
// UTF-8 text) and one level of undo, as the system's edit control keeps them: Undo
// swaps the text with the one before the last change, so a second Undo redoes it.
// Consecutive typing at the caret is one undo step.
class TEditBuffer {
public:
    const std::string& Text() const { return FText; }
    int Length() const { return static_cast<int>(FText.size()); }
    int Anchor() const { return FAnchor; }
    int Caret() const { return FCaret; }
    int SelStart() const { return FAnchor < FCaret ? FAnchor : FCaret; }
    int SelEnd() const { return FAnchor < FCaret ? FCaret : FAnchor; }
    bool HasSelection() const { return FAnchor != FCaret; }
    std::string SelText() const { return FText.substr(SelStart(), SelEnd() - SelStart()); }

    // Replaces everything as code does: selection at 0, undo emptied. True when the text changed.
    bool SetText(const std::string& Value);
    // Selects Anchor..Caret, both clamped to the text and moved off continuation bytes.
    void SetSel(int Anchor, int Caret);
    // Replaces Start..End with S. Undoable changes keep the text before them for Undo;
    // Typing joins the change to the typing run that ends at Start. The caret goes
    // after S. True when the text changed.
    bool Replace(int Start, int End, const std::string& S, bool Undoable, bool Typing = false);
    bool ReplaceSel(const std::string& S, bool Undoable, bool Typing = false) {
        return Replace(SelStart(), SelEnd(), S, Undoable, Typing);
    }
    bool CanUndo() const { return FCanUndo; }
    // Swaps in the text before the last change (True when there was one).
    bool Undo();
    void ClearUndo() {
        FCanUndo = false;
        FTypingRun = false;
    }
    // Ends a typing run (the caret moved elsewhere).
    void BreakTyping() { FTypingRun = false; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // Steps over whole characters.
    int NextChar(int Pos) const;
    int PrevChar(int Pos) const;
    int Snap(int Pos) const;
    // Word steps as Ctrl+Left/Right make them, and the word around a position.
    int PrevWord(int Pos) const;
    int NextWord(int Pos) const;
    void WordAt(int Pos, int& Start, int& End) const;

    // Hard lines (split at "\n"): their count (at least 1), starts and lengths.
    int LineCount() const;
    int LineStart(int Line) const;
    int LineLength(int Line) const;
    int LineOf(int Pos) const;

private:
    std::string FText;
    int FAnchor = 0, FCaret = 0;
    std::string FUndoText;
    int FUndoAnchor = 0, FUndoCaret = 0;
    bool FCanUndo = false;
    bool FTypingRun = false;
    int FTypingEnd = -1;
    bool FModified = false;
    mutable std::vector<int> FLineStarts;
    mutable bool FLinesValid = false;
    void TextChanged() { FLinesValid = false; }
    const std::vector<int>& Lines() const;
};

// The lines an edit control shows: hard lines, or word-wrapped pieces of them, each a
// range of the text; and the pixel positions of characters within them.
struct TVisualLine {
    int Start = 0, End = 0;  // End excludes the line break
};

// Measures text in the control's font on a memory DC of its own, and keeps the
// visual lines of the last layout.
class TEditLayout {
public:
    TEditLayout();
    ~TEditLayout();
    TEditLayout(const TEditLayout&) = delete;
    TEditLayout& operator=(const TEditLayout&) = delete;

    void SetFont(HFONT Font);
    // The width of S drawn from a tab origin (tabs stop every 8 average characters).
    int TextWidth(const std::string& S) const;
    // The advance of the character S[Pos..Next) (ASCII widths are cached per font).
    int CharWidth(const std::string& S, int Pos, int Next) const;
    int LineHeight() const { return FLineHeight; }
    int AveCharWidth() const { return FAveCharWidth; }
    HDC DC() const { return FDC; }

    std::vector<TVisualLine> Lines;
    int MaxWidth = 0;  // the widest visual line in pixels

private:
    HDC FDC = nullptr;
    HGDIOBJ FOldFont = nullptr;
    int FLineHeight = 13;
    int FAveCharWidth = 6;
    mutable int FAscii[128];
    void ClearCache() const {
        for (int& w : FAscii) w = -1;
    }
};

}  // namespace host
