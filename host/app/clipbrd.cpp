// TClipboard: text, handles, buffers and pictures through the clipboard calls.
#include "host/app/clipbrd.h"

#include <cstring>
#include <memory>

#include "host/app/app.h"
#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/rtl/lists.h"
#include "host/windows/clipboard.h"

namespace host {

namespace {

// Keeps the clipboard open for one operation.
class TOpenScope {
public:
    explicit TOpenScope(TClipboard* C) : FC(C) { FC->Open(); }
    ~TOpenScope() { FC->Close(); }
    TOpenScope(const TOpenScope&) = delete;
    TOpenScope& operator=(const TOpenScope&) = delete;

private:
    TClipboard* FC;
};

// A new bitmap with the pixels of Source (an HBITMAP the caller keeps).
std::unique_ptr<TBitmap> CopyOfBitmap(HBITMAP Source) {
    BITMAP info{};
    if (GetObjectA(Source, sizeof info, &info) == 0)
        throw EInvalidGraphic("The clipboard holds no valid bitmap");
    auto bmp = std::make_unique<TBitmap>();
    if (info.bmBitsPixel == 1) bmp->SetMonochrome(true);
    bmp->SetSize(info.bmWidth, info.bmHeight);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, Source);
    BitBlt(bmp->Canvas()->Handle(), 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
    SelectObject(src, old);
    DeleteDC(src);
    return bmp;
}

std::unique_ptr<TClipboard>& ClipboardSlot() {
    static std::unique_ptr<TClipboard> slot;
    return slot;
}

}  // namespace

TClipboard::~TClipboard() {
    if (FOpenRefCount > 0) CloseClipboard();
}

void TClipboard::Open() {
    if (FOpenRefCount == 0) {
        HWND owner = FHandle;
        if (owner == nullptr && Application != nullptr) owner = Application->Handle();
        if (!OpenClipboard(owner)) throw EOSError("Cannot open clipboard");
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close() {
    if (FOpenRefCount == 0) return;
    if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
    TOpenScope scope(this);
    EmptyClipboard();
}

// The first change inside an Open/Close pair empties the clipboard, so that the
// formats set together describe one content.
void TClipboard::Adding() {
    if (FOpenRefCount != 0 && !FEmptied) {
        Clear();
        FEmptied = true;
    }
}

void TClipboard::SetBuffer(unsigned Format, const void* Buffer, size_t Size) {
    TOpenScope scope(this);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Size);
    if (data == nullptr) throw EOutOfMemory("Not enough memory for the clipboard data");
    if (Size > 0) {
        std::memcpy(GlobalLock(data), Buffer, Size);
        GlobalUnlock(data);
    }
    Adding();
    if (SetClipboardData(Format, data) == nullptr) {
        GlobalFree(data);
        throw EOSError("Cannot put the data on the clipboard");
    }
}

std::string TClipboard::GetBuffer(unsigned Format) {
    TOpenScope scope(this);
    auto data = static_cast<HGLOBAL>(GetClipboardData(Format));
    if (data == nullptr) return {};
    size_t n = GlobalSize(data);
    std::string out(static_cast<const char*>(GlobalLock(data)), n);
    GlobalUnlock(data);
    return out;
}

std::string TClipboard::AsText() {
    std::string raw = GetBuffer(CF_TEXT);
    size_t nul = raw.find('\0');
    if (nul != std::string::npos) raw.resize(nul);
    return raw;
}

void TClipboard::SetAsText(const std::string& Value) { SetBuffer(CF_TEXT, Value.c_str(), Value.size() + 1); }

int TClipboard::GetTextBuf(char* Buffer, int BufSize) {
    if (Buffer == nullptr || BufSize <= 0) return 0;
    std::string text = AsText();
    int n = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(BufSize - 1)));
    std::memcpy(Buffer, text.data(), static_cast<size_t>(n));
    Buffer[n] = '\0';
    return n;
}

void TClipboard::SetTextBuf(const char* Buffer) { SetAsText(Buffer == nullptr ? std::string() : std::string(Buffer)); }

bool TClipboard::HasFormat(unsigned Format) { return IsClipboardFormatAvailable(Format) != FALSE; }

int TClipboard::FormatCount() { return CountClipboardFormats(); }

unsigned TClipboard::Formats(int Index) {
    TOpenScope scope(this);
    if (Index < 0) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    UINT f = EnumClipboardFormats(0);
    for (int i = 0; i < Index && f != 0; ++i) f = EnumClipboardFormats(f);
    if (f == 0) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return f;
}

void* TClipboard::GetAsHandle(unsigned Format) {
    TOpenScope scope(this);
    return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(unsigned Format, void* Value) {
    TOpenScope scope(this);
    Adding();
    if (SetClipboardData(Format, Value) == nullptr && Value != nullptr)
        throw EOSError("Cannot put the handle on the clipboard: it is not a live handle of that format");
}

void TClipboard::Assign(TPersistent* Source) {
    TGraphic* graphic = nullptr;
    if (auto* pic = dynamic_cast<TPicture*>(Source))
        graphic = pic->Graphic();
    else
        graphic = dynamic_cast<TGraphic*>(Source);
    if (graphic != nullptr) {
        TBitmap copy;
        copy.Assign(graphic);
        HBITMAP handle = copy.ReleaseHandle();
        if (handle == nullptr) throw EInvalidGraphic("Cannot put an empty picture on the clipboard");
        TOpenScope scope(this);
        Adding();
        if (SetClipboardData(CF_BITMAP, handle) == nullptr) {
            DeleteObject(handle);
            throw EOSError("Cannot put the bitmap on the clipboard");
        }
        return;
    }
    if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        SetAsText(strings->Text());
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TPicture*>(Dest) != nullptr || dynamic_cast<TBitmap*>(Dest) != nullptr) {
        TOpenScope scope(this);
        auto handle = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        if (handle == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
        std::unique_ptr<TBitmap> bmp = CopyOfBitmap(handle);
        if (auto* pic = dynamic_cast<TPicture*>(Dest))
            pic->SetGraphic(bmp.get());
        else
            static_cast<TBitmap*>(Dest)->Assign(bmp.get());
        return;
    }
    if (auto* strings = dynamic_cast<TStrings*>(Dest)) {
        strings->SetText(AsText());
        return;
    }
    TPersistent::AssignTo(Dest);
}

TClipboard* Clipboard() {
    auto& slot = ClipboardSlot();
    if (!slot) slot = std::make_unique<TClipboard>();
    return slot.get();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
    auto& slot = ClipboardSlot();
    TClipboard* old = slot.release();
    slot.reset(NewClipboard);
    return old;
}

}  // namespace host
