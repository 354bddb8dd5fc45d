// TClipboard, the framework's clipboard object (the function Clipboard), over the clipboard calls of host/windows/clipboard.h.
#pragma once

#include <string>

#include "host/gdi/gditypes.h"
#include "host/rtl/persistent.h"

namespace host {

class TComponent;

// The clipboard as an object. Every operation opens the clipboard for itself
// when it is not open already (Open/Close nest), so a sequence of changes between
// Open and Close reaches other readers as one change.
class TClipboard : public TPersistent {
    HOST_CLASS(TClipboard, TPersistent)
public:
    TClipboard() = default;
    ~TClipboard() override;

    // Opens the clipboard (nested calls count); raises EOSError "Cannot open
    // clipboard" when another window has it open.
    void Open();
    void Close();
    void Clear();

    // Text: CF_TEXT as UTF-8. Reading gives "" when there is no text.
    std::string AsText();
    void SetAsText(const std::string& Value);
    // Up to BufSize - 1 bytes of the text and a NUL; returns the bytes copied.
    int GetTextBuf(char* Buffer, int BufSize);
    void SetTextBuf(const char* Buffer);

    bool HasFormat(unsigned Format);
    int FormatCount();
    unsigned Formats(int Index);
    // The clipboard's own handle of Format (still owned by the clipboard), or nullptr.
    void* GetAsHandle(unsigned Format);
    // Replaces the clipboard's content with Value under Format; the clipboard
    // takes Value over.
    void SetAsHandle(unsigned Format, void* Value);
    // Arbitrary bytes under a (registered) format, and back.
    void SetBuffer(unsigned Format, const void* Buffer, size_t Size);
    std::string GetBuffer(unsigned Format);

    // From a picture, a bitmap or another graphic: a copy of it as CF_BITMAP (a
    // graphic that is not a bitmap is drawn on one); from a string list: its text.
    // Other sources raise EConvertError.
    void Assign(TPersistent* Source) override;

    // The window that owns what this object puts on the clipboard (nullptr: none).
    HWND Handle() const { return FHandle; }
    void SetHandle(HWND Value) { FHandle = Value; }

protected:
    // Into a picture or bitmap: a copy of CF_BITMAP; into a string list: the text.
    void AssignTo(TPersistent* Dest) override;

private:
    void Adding();
    int FOpenRefCount = 0;
    bool FEmptied = false;
    HWND FHandle = nullptr;
};

// The clipboard object, made on first use.
TClipboard* Clipboard();
// Replaces the clipboard object (tests); returns the old one, which the caller owns.
TClipboard* SetClipboard(TClipboard* NewClipboard);

}  // namespace host
