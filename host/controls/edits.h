// Edit controls: TCustomEdit/TEdit, TCustomMemo/TMemo, TRichEdit, TCustomMaskEdit/TMaskEdit, the mask routines and the edit messages.
#pragma once

#include <memory>
#include <string>

#include "host/controls/controls.h"
#include "host/controls/forms.h"
#include "host/db/alignment.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"

namespace host {

class TStrings;
class TEditBuffer;
class TEditLayout;

// ---------------------------------------------------------------------------
// Messages, styles and notifications of edit windows
// ---------------------------------------------------------------------------

inline constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SCROLL = 0x00B5,
    EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2,
    EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7,
    EM_LINEFROMCHAR = 0x00C9, EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD,
    EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2,
    EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;
inline constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
    ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040,
    ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800,
    ES_WANTRETURN = 0x1000, ES_NUMBER = 0x2000;
inline constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
    EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

HOST_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase);
// Which window scroll bars a memo (or a grid) shows.
HOST_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth);
// The input-method mode a control asks for (kept and streamed; this host has no input methods).
HOST_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
          imSHanguel, imHanguel);

// ---------------------------------------------------------------------------
// TCustomEdit
// ---------------------------------------------------------------------------

// A single-line text box: the text, a caret and a selection moved with the keyboard
// and the mouse, undo of the last change, the clipboard, horizontal scrolling that
// keeps the caret in view. Positions (SelStart, SelLength) count bytes of the UTF-8
// text; the caret never stops inside a character. The text model (buffer, selection,
// undo, word boundaries, keys) is shared with the memo.
class TCustomEdit : public TWinControl {
    HOST_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Selects the whole text when the edit takes the focus from the keyboard.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // With AutoSize the height follows the font (text height plus the border).
    void SetAutoSize(bool Value) override;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    // Converts the text now and what is typed from then on.
    void SetCharCase(TEditCharCase Value);
    // Without the focus the selection is not shown (HideSelection true) or shown.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode Value) { FImeMode = Value; }
    std::string ImeName() const { return FImeName; }
    void SetImeName(const std::string& Value) { FImeName = Value; }
    // The most bytes a person can type or paste (0: no limit). Text set in code is not cut.
    int MaxLength() const { return FMaxLength; }
    virtual void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { FOEMConvert = Value; }
    // Shown in place of every character when not #0; copying and cutting are refused then.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Set by typing and the editing operations (cut, paste, clear, undo, SelText);
    // setting Text clears it.
    bool Modified() const;
    void SetModified(bool Value);
    bool CanUndo() const;

    int SelStart() const;
    // Moves the caret there and selects nothing.
    void SetSelStart(int Value);
    int SelLength() const;
    // Selects Value bytes from SelStart (negative: backwards).
    void SetSelLength(int Value);
    std::string SelText() const;
    // Replaces the selection with Value (undoable; fires OnChange).
    void SetSelText(const std::string& Value);

    void Clear();
    void ClearSelection();
    void ClearUndo();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    void SelectAll();

    // The caret's position in client pixels (the top of the caret), for tests and
    // descendants that place things beside it.
    TPoint CaretPixel() const;
    // The text position under the client point.
    int CharFromPos(int X, int Y) const;
    // The horizontal scroll offset in pixels.
    int ScrollX() const { return FScrollX; }

    TNotifyEvent OnChange;

protected:
    // Fires OnChange; called after every change of the text (typed or set in code).
    virtual void Change();
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DoEnter() override;
    void DoExit() override;
    void PaintWindow(HDC DC) override;
    void DefaultHandler(void* Message) override;
    void BoundsChanged() override;
    std::string GetText() const override;
    void SetTextInternal(const std::string& Value) override;

    // The native behaviour of keys and characters (what the window does when the
    // control's KeyDown/KeyPress left the key alone).
    virtual void EditKeyDown(WORD Key, TShiftState Shift);
    virtual void EditChar(char Ch);
    // Inserts typed text in place of the selection, as a person typing does (MaxLength,
    // CharCase and ReadOnly apply). False when refused.
    bool InsertTyped(const std::string& S);
    // True when a person may change the text now.
    virtual bool CanEditText() const { return !FReadOnly; }
    // The buffer text, whatever GetText makes of it in a descendant.
    std::string RawText() const;
    // Replaces the whole text as code does (no undo step, Modified unchanged), firing
    // OnChange when it changed.
    void SetRawText(const std::string& Value);
    // The string painted for a piece of the text (password characters, the mask).
    virtual std::string DisplayText(const std::string& Text) const;
    virtual bool MultiLine() const { return false; }
    // Recomputes lines, scroll bars and the caret after a change of text, size or font.
    virtual void TextLayoutChanged();
    // After a change of the selection alone: scroll, caret, repaint.
    void SelectionChanged();
    // Told after scrolling may have moved (scroll bars follow).
    virtual void ScrollPosChanged() {}
    void UpdateCaret();
    void ScrollCaretIntoView();
    void AdjustHeight();
    void AdjustSize() override;
    // The x of a text position within its visual line (alignment and scrolling not applied).
    int LineX(int Line, int Pos) const;
    // The visual line that shows a text position.
    int VisualLineOf(int Pos) const;
    // The position of visual line Line nearest X (alignment and scrolling not applied).
    int NearestInLine(int Line, int X) const;
    int VisibleLineCount() const;
    // The horizontal offset of a visual line for the alignment (memos).
    virtual int AlignOffset(int Line) const {
        (void)Line;
        return 0;
    }
    // The text area in client coordinates (the client less the inner margins).
    TRect EditRect() const;
    int LineHeight() const;

    TEditBuffer& Buffer() const { return *FBuffer; }
    TEditLayout& Layout() const { return *FLayout; }

    int FScrollX = 0;     // pixels scrolled to the left
    int FTopLine = 0;     // first visible line (memo)

private:
    friend class TEditLayout;
    std::unique_ptr<TEditBuffer> FBuffer;
    std::unique_ptr<TEditLayout> FLayout;
    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    TImeMode FImeMode = imDontCare;
    std::string FImeName;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FCreatingCaret = false;
    bool FHasCaret = false;
    bool FMouseSelecting = false;
    bool FClickFocused = false;
    int FDoubleClickAnchorEnd = -1;  // word selection after a double click

    void NotifyChanged(bool Changed);
    void DoPaste(const std::string& Text);
    void CaretCreate();
    void CaretDestroy();
    // Moves the caret (extending the selection with Extend) and shows it.
    void MoveCaretTo(int Pos, bool Extend);

    void WMSetFocus(TWMSetFocus& Message);
    void WMKillFocus(TWMSetFocus& Message);
    void WMGetDlgCode(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMGetText(TMessage& Message);
    void WMGetTextLength(TMessage& Message);
    void WMCut(TMessage& Message);
    void WMCopy(TMessage& Message);
    void WMPaste(TMessage& Message);
    void WMClear(TMessage& Message);
    void WMUndo(TMessage& Message);
    void WMLButtonDown(TWMMouse& Message);
    void WMLButtonDblClk(TWMMouse& Message);
    void WMMouseMove(TWMMouse& Message);
    void WMLButtonUp(TWMMouse& Message);
    void WMSetCursor(TWMSetCursor& Message);
    void WMEraseBkgnd(TWMEraseBkgnd& Message);
    void EMMessage(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMCtl3DChanged(TMessage& Message);

    HOST_MESSAGES(on(WM_SETFOCUS, &TCustomEdit::WMSetFocus), on(WM_KILLFOCUS, &TCustomEdit::WMKillFocus),
                  on(WM_GETDLGCODE, &TCustomEdit::WMGetDlgCode), on(WM_SETTEXT, &TCustomEdit::WMSetText),
                  on(WM_GETTEXT, &TCustomEdit::WMGetText), on(WM_GETTEXTLENGTH, &TCustomEdit::WMGetTextLength),
                  on(WM_CUT, &TCustomEdit::WMCut), on(WM_COPY, &TCustomEdit::WMCopy),
                  on(WM_PASTE, &TCustomEdit::WMPaste), on(WM_CLEAR, &TCustomEdit::WMClear),
                  on(WM_UNDO, &TCustomEdit::WMUndo), on(WM_LBUTTONDOWN, &TCustomEdit::WMLButtonDown),
                  on(WM_LBUTTONDBLCLK, &TCustomEdit::WMLButtonDblClk), on(WM_MOUSEMOVE, &TCustomEdit::WMMouseMove),
                  on(WM_LBUTTONUP, &TCustomEdit::WMLButtonUp), on(WM_SETCURSOR, &TCustomEdit::WMSetCursor),
                  on(WM_ERASEBKGND, &TCustomEdit::WMEraseBkgnd), on(EM_GETSEL, &TCustomEdit::EMMessage),
                  on(EM_SETSEL, &TCustomEdit::EMMessage), on(EM_GETMODIFY, &TCustomEdit::EMMessage),
                  on(EM_SETMODIFY, &TCustomEdit::EMMessage), on(EM_REPLACESEL, &TCustomEdit::EMMessage),
                  on(EM_LIMITTEXT, &TCustomEdit::EMMessage), on(EM_GETLIMITTEXT, &TCustomEdit::EMMessage),
                  on(EM_CANUNDO, &TCustomEdit::EMMessage), on(EM_UNDO, &TCustomEdit::EMMessage),
                  on(EM_EMPTYUNDOBUFFER, &TCustomEdit::EMMessage), on(EM_SETREADONLY, &TCustomEdit::EMMessage),
                  on(EM_SETPASSWORDCHAR, &TCustomEdit::EMMessage), on(EM_GETPASSWORDCHAR, &TCustomEdit::EMMessage),
                  on(EM_SCROLLCARET, &TCustomEdit::EMMessage), on(EM_GETLINECOUNT, &TCustomEdit::EMMessage),
                  on(EM_LINEINDEX, &TCustomEdit::EMMessage), on(EM_LINELENGTH, &TCustomEdit::EMMessage),
                  on(EM_LINEFROMCHAR, &TCustomEdit::EMMessage), on(EM_GETFIRSTVISIBLELINE, &TCustomEdit::EMMessage),
                  on(EM_CHARFROMPOS, &TCustomEdit::EMMessage), on(EM_POSFROMCHAR, &TCustomEdit::EMMessage),
                  on(CM_FONTCHANGED, &TCustomEdit::CMFontChanged),
                  on(CM_ENABLEDCHANGED, &TCustomEdit::CMEnabledChanged),
                  on(CM_COLORCHANGED, &TCustomEdit::CMColorChanged),
                  on(CM_CTL3DCHANGED, &TCustomEdit::CMCtl3DChanged))
};

// The published properties every edit class of forms shares; those of single-line
// edits (Cls streams Text through TextForStream); those of memos.
#define HOST_EDIT_COMMON_PROPS                                                                          \
    prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).def(bsSingle),        \
        prop("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).def(true),   \
        prop("ImeMode", &TCustomEdit::ImeMode, &TCustomEdit::SetImeMode).def(imDontCare),               \
        prop("ImeName", &TCustomEdit::ImeName, &TCustomEdit::SetImeName).def(std::string()),            \
        prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).def(0),                  \
        prop("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert).def(false),           \
        prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).def(false),              \
        prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).def(false),                 \
        prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),                     \
        prop("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange)
#define HOST_SINGLE_LINE_EDIT_PROPS(Cls)                                                                \
    prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).def(true),                \
        prop("AutoSize", &TControl::AutoSize, &TCustomEdit::SetAutoSize).def(true),                     \
        prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).def(ecNormal),              \
        prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).def(char(0)),   \
        prop("Text", &Cls::TextForStream, &Cls::SetTextForStream).def(std::string())
#define HOST_MEMO_PROPS                                                                                 \
    prop("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).def(taLeftJustify),         \
        prop("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines),                                     \
        prop("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).def(ssNone),          \
        prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).def(true),         \
        prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).def(false),                 \
        prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).def(true)

// The edit of forms, with the framework's published properties.
class TEdit : public TCustomEdit {
    HOST_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

private:
    std::string TextForStream() const { return Text(); }
    void SetTextForStream(std::string Value) { SetText(Value); }
    HOST_PUBLISHED(HOST_SINGLE_LINE_EDIT_PROPS(TEdit), HOST_EDIT_COMMON_PROPS)
};

// ---------------------------------------------------------------------------
// TCustomMemo
// ---------------------------------------------------------------------------

// A multi-line text box. Lines is a string list that is the text: a change through
// Lines changes the control and typing changes Lines. Lines are the text's hard
// lines (separated by "\n"); word wrapping only changes how they are shown.
class TCustomMemo : public TCustomEdit {
    HOST_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const;
    // Copies the strings of Value.
    void SetLines(TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Enter inserts a line break (else it goes to the form as a dialog key; Ctrl+Enter always inserts).
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab inserts a tab character (else it moves the focus; Ctrl+Tab always inserts).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The caret as (column, line), both 0-based.
    TPoint CaretPos() const;
    void SetCaretPos(const TPoint& Value);
    // The first line shown.
    int TopLine() const { return FTopLine; }

protected:
    void CreateParams(TCreateParams& Params) override;
    bool MultiLine() const override { return true; }
    void EditKeyDown(WORD Key, TShiftState Shift) override;
    void EditChar(char Ch) override;
    void TextLayoutChanged() override;
    // Scrolls so that Line is the first line shown.
    void ScrollToLine(int Line);
    int AlignOffset(int Line) const override;
    void ScrollPosChanged() override { UpdateScrollBars(); }

private:
    friend class TMemoStrings;
    std::unique_ptr<TStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FWordWrap = true;
    int FUpdatingScrollBars = 0;
    int FGoalX = -1;  // the x that Up and Down keep
    bool WrapLines() const;

    void UpdateScrollBars();
    void WMGetDlgCode(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomMemo::WMGetDlgCode), on(WM_VSCROLL, &TCustomMemo::WMVScroll),
                  on(WM_HSCROLL, &TCustomMemo::WMHScroll), on(WM_MOUSEWHEEL, &TCustomMemo::WMMouseWheel))
};

class TMemo : public TCustomMemo {
    HOST_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}

private:
    HOST_PUBLISHED(HOST_MEMO_PROPS, HOST_EDIT_COMMON_PROPS)
};

// A rich edit reduced to a plain multi-line text control: Lines and the text, no
// character or paragraph formatting. PlainText is kept and streamed; loading and
// saving Lines always treats the text as plain text.
class TRichEdit : public TCustomMemo {
    HOST_CLASS(TRichEdit, TCustomMemo)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {}
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }

private:
    bool FPlainText = false;
    HOST_PUBLISHED(HOST_MEMO_PROPS, HOST_EDIT_COMMON_PROPS,
                   prop("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).def(false))
};

// ---------------------------------------------------------------------------
// Masks
// ---------------------------------------------------------------------------

// The characters of an edit mask. A mask has up to three fields separated by ';':
// the mask itself, '0' to leave literal characters out of the saved text (anything
// else keeps them), and the character shown for a blank position (default '_').
inline constexpr char mDirReverse = '!', mDirUpperCase = '>', mDirLowerCase = '<', mDirLiteral = '\\',
                      mMskAlpha = 'L', mMskAlphaOpt = 'l', mMskAlphaNum = 'A', mMskAlphaNumOpt = 'a',
                      mMskAscii = 'C', mMskAsciiOpt = 'c', mMskNumeric = '0', mMskNumericOpt = '9',
                      mMskNumSymOpt = '#', mMskTimeSeparator = ':', mMskDateSeparator = '/',
                      MaskFieldSeparator = ';', MaskNoSave = '0', DefaultBlank = '_';

// The 0-based position of the first field separator of the mask (a ';' not escaped
// with '\'), or -1 when there is none.
int MaskGetFldSeparator(const std::string& EditMask);
// False when the mask's second field is '0' (literals are not saved).
bool MaskGetMaskSave(const std::string& EditMask);
// The blank character of the mask's third field (DefaultBlank when none).
char MaskGetMaskBlank(const std::string& EditMask);
// Value laid into the mask: literals inserted (when Value holds no literals, that is
// when the mask does not save them), blanks where Value runs out, case directives
// applied.
std::string FormatMaskText(const std::string& EditMask, const std::string& Value);

// ---------------------------------------------------------------------------
// TCustomMaskEdit
// ---------------------------------------------------------------------------

// Posted by a masked edit to itself when it lost the focus holding an invalid value:
// it takes the focus back and raises the validation error outside the focus change.
inline constexpr UINT CM_MASKVALIDATE = WM_APP + 0x7E51;

// An edit whose text follows an edit mask. EditText is the text as shown (literals
// and blanks included); Text is what the mask saves (without literals when the
// mask's second field is '0'). Typing overwrites, the caret skips literals, and
// ValidateEdit raises EDBEditError when a required position is blank; leaving the
// edit with such a value brings the focus back and raises it from there. Without a mask it is a plain edit.
class TCustomMaskEdit : public TCustomEdit {
    HOST_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    ~TCustomMaskEdit() override;

    std::string EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    std::string EditText() const;
    void SetEditText(const std::string& Value);
    bool IsMasked() const { return !FMask.empty(); }
    // Raises EDBEditError (caret on the first offending position) when a required
    // position is blank.
    virtual void ValidateEdit();
    // Puts back the text the edit had when it took the focus (Esc does this).
    virtual void Reset();
    void SetMaxLength(int Value) override;

protected:
    // True when a person may change the text now.
    virtual bool EditCanModify();
    virtual void ValidateError();
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    std::string GetText() const override;
    void SetTextInternal(const std::string& Value) override;
    bool CanEditText() const override;
    // Moves the caret off literals after a click or a change of selection.
    void CheckCursor();
    // The mask without its fields (what the positions follow).
    const std::string& MaskText() const { return FMask; }
    char MaskBlank() const { return FBlank; }
    bool MaskSave() const { return FSaveLiterals; }
    // Checks Value against the mask; Pos is the first offending position.
    bool Validate(const std::string& Value, int& Pos) const;

private:
    std::string FEditMask;   // the full mask, fields included
    std::string FMask;       // its first field
    bool FSaveLiterals = true;
    char FBlank = DefaultBlank;
    std::string FOldValue;   // EditText when the focus came
    bool FSettingCursor = false;
    // Types one character at the caret as the mask allows (false: refused).
    bool TypeMaskChar(char Ch);

    void WMPaste(TMessage& Message);
    void WMCut(TMessage& Message);
    void WMClear(TMessage& Message);
    void WMLButtonUp(TWMMouse& Message);
    void CMWantSpecialKey(TWMKey& Message);
    void CMValidateAfterExit(TMessage& Message);
    HOST_MESSAGES(on(WM_PASTE, &TCustomMaskEdit::WMPaste), on(WM_CUT, &TCustomMaskEdit::WMCut),
                  on(CM_MASKVALIDATE, &TCustomMaskEdit::CMValidateAfterExit),
                  on(WM_CLEAR, &TCustomMaskEdit::WMClear), on(WM_LBUTTONUP, &TCustomMaskEdit::WMLButtonUp),
                  on(CM_WANTSPECIALKEY, &TCustomMaskEdit::CMWantSpecialKey))
};

class TMaskEdit : public TCustomMaskEdit {
    HOST_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}

private:
    std::string TextForStream() const { return Text(); }
    void SetTextForStream(std::string Value) { SetText(Value); }
    HOST_PUBLISHED(prop("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask).def(std::string()),
                   HOST_SINGLE_LINE_EDIT_PROPS(TMaskEdit), HOST_EDIT_COMMON_PROPS)
};

// Registers every class of this unit for form files (once).
void RegisterEditClasses();

}  // namespace host
