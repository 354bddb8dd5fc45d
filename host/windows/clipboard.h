// The clipboard and global memory blocks: OpenClipboard … SetClipboardData, CF_* formats, GlobalAlloc … GlobalFree.
//
// The clipboard is a store inside the process keyed by format. Data put on it
// belongs to it: global blocks are freed, bitmaps and palettes deleted, when the
// clipboard is emptied or the format is replaced. Registered formats share the
// number space of registered window messages (0xC000 and up), as on the system.
#pragma once

#include <cstddef>
#include <string>

#include "host/gdi/gditypes.h"

namespace host {

using HANDLE = void*;
HOST_DECLARE_HANDLE(HGLOBAL);

// ---- global memory ----
inline constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040,
                      GMEM_DDESHARE = 0x2000, GMEM_SHARE = 0x2000, GHND = GMEM_MOVEABLE | GMEM_ZEROINIT,
                      GPTR = GMEM_FIXED | GMEM_ZEROINIT;
// A block of Bytes bytes (zeroed with GMEM_ZEROINIT); nullptr when it cannot be had.
HGLOBAL GlobalAlloc(UINT Flags, size_t Bytes);
// Resizes the block, keeping its content; nullptr (and the block unchanged) on failure.
HGLOBAL GlobalReAlloc(HGLOBAL Mem, size_t Bytes, UINT Flags);
// The block's memory, valid until the matching GlobalUnlock (locks nest); nullptr
// for a bad handle.
void* GlobalLock(HGLOBAL Mem);
// FALSE once the lock count is back to 0 (or for a bad handle), TRUE while still locked.
BOOL GlobalUnlock(HGLOBAL Mem);
size_t GlobalSize(HGLOBAL Mem);  // 0 for a bad handle
// nullptr when freed; the handle itself when it could not be (a bad handle).
HGLOBAL GlobalFree(HGLOBAL Mem);
// Live blocks (for tests).
int GlobalBlockCount();

// ---- formats ----
inline constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_SYLK = 4, CF_DIF = 5, CF_TIFF = 6,
                      CF_OEMTEXT = 7, CF_DIB = 8, CF_PALETTE = 9, CF_PENDATA = 10, CF_RIFF = 11, CF_WAVE = 12,
                      CF_UNICODETEXT = 13, CF_ENHMETAFILE = 14, CF_HDROP = 15, CF_LOCALE = 16, CF_DIBV5 = 17,
                      CF_OWNERDISPLAY = 0x80, CF_DSPTEXT = 0x81, CF_DSPBITMAP = 0x82, CF_PRIVATEFIRST = 0x200,
                      CF_PRIVATELAST = 0x2FF, CF_GDIOBJFIRST = 0x300, CF_GDIOBJLAST = 0x3FF;

// The metafile picture record of CF_METAFILEPICT (carried in a global block).
struct METAFILEPICT {
    LONG mm = 0, xExt = 0, yExt = 0;
    HANDLE hMF = nullptr;
};

// ---- the clipboard ----
// Opens the clipboard for Wnd (may be nullptr); FALSE while another window has it open.
BOOL OpenClipboard(HWND Wnd);
BOOL CloseClipboard();
// Frees everything on the clipboard and makes the opener its owner (the previous
// owner gets WM_DESTROYCLIPBOARD). FALSE when the clipboard is not open.
BOOL EmptyClipboard();
// Puts Mem on the clipboard under Format, replacing what was there; the clipboard
// takes the handle over (CF_BITMAP: an HBITMAP, CF_PALETTE: an HPALETTE, other
// formats: an HGLOBAL). A null Mem promises the data: the owner gets
// WM_RENDERFORMAT when someone asks for it. Returns Mem, or nullptr when the
// clipboard is not open or Mem is not a live handle of the right kind.
HANDLE SetClipboardData(UINT Format, HANDLE Mem);
// The handle (still owned by the clipboard), or nullptr. Text formats are made
// from one another on request (CF_TEXT and CF_OEMTEXT hold UTF-8 here,
// CF_UNICODETEXT UTF-16). Needs the clipboard open.
HANDLE GetClipboardData(UINT Format);
BOOL IsClipboardFormatAvailable(UINT Format);
int CountClipboardFormats();
// The format after Format (0: the first); 0 at the end.
UINT EnumClipboardFormats(UINT Format);
// A format number for a name (the same number for the same name, without regard to case).
UINT RegisterClipboardFormatA(const char* Name);
// The name of a registered format into Buffer; the length copied, 0 for a standard
// or unknown format.
int GetClipboardFormatNameA(UINT Format, char* Buffer, int MaxCount);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Counts every change of the clipboard's content.
DWORD GetClipboardSequenceNumber();

// Empties the clipboard and closes it, whoever has it open (tests' set-up and shut-down).
void ResetClipboard();

}  // namespace host
