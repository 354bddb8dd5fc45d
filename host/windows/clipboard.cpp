// The clipboard store inside the process and the global memory blocks it carries.
#include "host/windows/clipboard.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/gdi/fonts.h"
#include "host/gdi/gdi.h"
#include "host/windows/windows.h"

namespace host {

namespace {

// ---- global memory ----

struct TBlock {
    std::vector<unsigned char> Bytes;
    int Locks = 0;
};

struct TGlobalHeap {
    std::unordered_map<uintptr_t, TBlock> Blocks;
    uintptr_t Next = 0x10000;
};

TGlobalHeap& Heap() {
    static TGlobalHeap heap;
    return heap;
}

TBlock* FindBlock(HGLOBAL Mem) {
    auto& blocks = Heap().Blocks;
    auto it = blocks.find(reinterpret_cast<uintptr_t>(Mem));
    return it == blocks.end() ? nullptr : &it->second;
}

// Blocks larger than this are refused as the system refuses what it cannot have,
// instead of throwing out of a C-style call.
constexpr size_t kMaxBlock = size_t(1) << 31;

}  // namespace

HGLOBAL GlobalAlloc(UINT Flags, size_t Bytes) {
    (void)Flags;  // blocks are always zeroed: no stale bytes can leak through the clipboard
    if (Bytes > kMaxBlock) return nullptr;
    auto& heap = Heap();
    uintptr_t id = heap.Next;
    heap.Next += 16;
    heap.Blocks[id].Bytes.assign(Bytes, 0);
    return reinterpret_cast<HGLOBAL>(id);
}

HGLOBAL GlobalReAlloc(HGLOBAL Mem, size_t Bytes, UINT Flags) {
    (void)Flags;
    TBlock* b = FindBlock(Mem);
    if (b == nullptr || Bytes > kMaxBlock || b->Locks > 0) return nullptr;
    b->Bytes.resize(Bytes, 0);
    return Mem;
}

void* GlobalLock(HGLOBAL Mem) {
    TBlock* b = FindBlock(Mem);
    if (b == nullptr) return nullptr;
    ++b->Locks;
    // A zero-sized block still gives a valid pointer (to nothing).
    static unsigned char empty = 0;
    return b->Bytes.empty() ? &empty : b->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL Mem) {
    TBlock* b = FindBlock(Mem);
    if (b == nullptr || b->Locks == 0) return FALSE;
    --b->Locks;
    return b->Locks > 0 ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL Mem) {
    TBlock* b = FindBlock(Mem);
    return b == nullptr ? 0 : b->Bytes.size();
}

HGLOBAL GlobalFree(HGLOBAL Mem) {
    auto& blocks = Heap().Blocks;
    auto it = blocks.find(reinterpret_cast<uintptr_t>(Mem));
    if (it == blocks.end()) return Mem;
    blocks.erase(it);
    return nullptr;
}

int GlobalBlockCount() { return static_cast<int>(Heap().Blocks.size()); }

// ---- the clipboard ----

namespace {

struct TEntry {
    UINT Format;
    HANDLE Data;  // nullptr: promised (delayed rendering)
};

struct TClipboardStore {
    bool Open = false;
    HWND Opener = nullptr;
    HWND Owner = nullptr;
    std::vector<TEntry> Entries;  // in the order they were set
    // Text formats made on request from another text format; freed with the rest.
    std::vector<TEntry> Synthesized;
    DWORD Sequence = 0;
    std::unordered_map<UINT, std::string> Names;  // registered formats asked for by name
};

TClipboardStore& Store() {
    static TClipboardStore store;
    return store;
}

bool IsGdiFormat(UINT Format) {
    return Format == CF_BITMAP || Format == CF_PALETTE || Format == CF_DSPBITMAP ||
           (Format >= CF_GDIOBJFIRST && Format <= CF_GDIOBJLAST);
}

void FreeData(UINT Format, HANDLE Data) {
    if (Data == nullptr) return;
    if (IsGdiFormat(Format))
        DeleteObject(Data);
    else
        GlobalFree(static_cast<HGLOBAL>(Data));
}

void FreeSynthesized(TClipboardStore& s) {
    for (auto& e : s.Synthesized) FreeData(e.Format, e.Data);
    s.Synthesized.clear();
}

void FreeAll(TClipboardStore& s) {
    for (auto& e : s.Entries) FreeData(e.Format, e.Data);
    s.Entries.clear();
    FreeSynthesized(s);
}

TEntry* FindEntry(std::vector<TEntry>& List, UINT Format) {
    for (auto& e : List)
        if (e.Format == Format) return &e;
    return nullptr;
}

bool IsText(UINT Format) { return Format == CF_TEXT || Format == CF_OEMTEXT || Format == CF_UNICODETEXT; }

// The bytes of a global block up to its first terminator (a NUL byte, or for
// UTF-16 a NUL unit).
std::string BlockBytes(HGLOBAL Mem) {
    size_t n = GlobalSize(Mem);
    auto* p = static_cast<const char*>(GlobalLock(Mem));
    if (p == nullptr) return {};
    std::string out(p, n);
    GlobalUnlock(Mem);
    return out;
}

HGLOBAL BlockOf(const void* Data, size_t Bytes) {
    HGLOBAL h = GlobalAlloc(GHND, Bytes);
    if (h == nullptr) return nullptr;
    std::memcpy(GlobalLock(h), Data, Bytes);
    GlobalUnlock(h);
    return h;
}

// Text of a text entry as UTF-8.
std::string TextOf(UINT Format, HANDLE Data) {
    std::string raw = BlockBytes(static_cast<HGLOBAL>(Data));
    if (Format != CF_UNICODETEXT) return raw.substr(0, std::min(raw.find('\0'), raw.size()));
    std::string out;
    size_t units = raw.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t u = static_cast<unsigned char>(raw[2 * i]) | (static_cast<unsigned char>(raw[2 * i + 1]) << 8);
        if (u == 0) break;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
            char32_t lo = static_cast<unsigned char>(raw[2 * i + 2]) | (static_cast<unsigned char>(raw[2 * i + 3]) << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        gdi::AppendUtf8(out, u);
    }
    return out;
}

HGLOBAL TextBlock(UINT Format, const std::string& Utf8) {
    if (Format != CF_UNICODETEXT) return BlockOf(Utf8.c_str(), Utf8.size() + 1);
    std::vector<uint16_t> units;
    for (char32_t c : gdi::DecodeUtf8(Utf8.data(), Utf8.size())) {
        if (c >= 0x10000) {
            c -= 0x10000;
            units.push_back(static_cast<uint16_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(c));
        }
    }
    units.push_back(0);
    std::vector<unsigned char> bytes;
    for (uint16_t u : units) {
        bytes.push_back(static_cast<unsigned char>(u & 0xFF));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    return BlockOf(bytes.data(), bytes.size());
}

// Asks the owner to render a promised format.
void Render(TClipboardStore& s, UINT Format) {
    if (s.Owner != nullptr && IsWindow(s.Owner)) SendMessageA(s.Owner, WM_RENDERFORMAT, Format, 0);
}

}  // namespace

BOOL OpenClipboard(HWND Wnd) {
    auto& s = Store();
    if (s.Open) return FALSE;
    if (Wnd != nullptr && !IsWindow(Wnd)) return FALSE;
    s.Open = true;
    s.Opener = Wnd;
    return TRUE;
}

BOOL CloseClipboard() {
    auto& s = Store();
    if (!s.Open) return FALSE;
    s.Open = false;
    s.Opener = nullptr;
    return TRUE;
}

BOOL EmptyClipboard() {
    auto& s = Store();
    if (!s.Open) return FALSE;
    HWND previous = s.Owner;
    s.Owner = s.Opener;
    if (previous != nullptr && previous != s.Owner && IsWindow(previous))
        SendMessageA(previous, WM_DESTROYCLIPBOARD, 0, 0);
    FreeAll(s);
    ++s.Sequence;
    return TRUE;
}

HANDLE SetClipboardData(UINT Format, HANDLE Mem) {
    auto& s = Store();
    if (!s.Open || Format == 0) return nullptr;
    if (Mem != nullptr) {
        if (IsGdiFormat(Format)) {
            DWORD type = GetObjectType(Mem);
            bool ok = Format == CF_PALETTE ? type == OBJ_PAL
                      : Format == CF_BITMAP || Format == CF_DSPBITMAP ? type == OBJ_BITMAP
                                                                      : type != 0;
            if (!ok) return nullptr;
        } else if (FindBlock(static_cast<HGLOBAL>(Mem)) == nullptr) {
            return nullptr;
        }
    }
    FreeSynthesized(s);
    if (TEntry* e = FindEntry(s.Entries, Format)) {
        if (e->Data != Mem) FreeData(Format, e->Data);
        e->Data = Mem;
    } else {
        s.Entries.push_back({Format, Mem});
    }
    ++s.Sequence;
    return Mem;
}

HANDLE GetClipboardData(UINT Format) {
    auto& s = Store();
    if (!s.Open) return nullptr;
    if (TEntry* e = FindEntry(s.Entries, Format)) {
        if (e->Data == nullptr) Render(s, Format);
        e = FindEntry(s.Entries, Format);  // rendering may have changed the list
        return e == nullptr ? nullptr : e->Data;
    }
    if (TEntry* e = FindEntry(s.Synthesized, Format)) return e->Data;
    if (!IsText(Format)) return nullptr;
    // Make this text format from another one that is there.
    for (UINT from : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT}) {
        TEntry* e = FindEntry(s.Entries, from);
        if (e == nullptr) continue;
        if (e->Data == nullptr) Render(s, from);
        e = FindEntry(s.Entries, from);
        if (e == nullptr || e->Data == nullptr) continue;
        HGLOBAL made = TextBlock(Format, TextOf(from, e->Data));
        if (made == nullptr) return nullptr;
        s.Synthesized.push_back({Format, made});
        return made;
    }
    return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT Format) {
    auto& s = Store();
    if (FindEntry(s.Entries, Format) != nullptr) return TRUE;
    if (IsText(Format))
        for (UINT from : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT})
            if (FindEntry(s.Entries, from) != nullptr) return TRUE;
    return FALSE;
}

int CountClipboardFormats() { return static_cast<int>(Store().Entries.size()); }

UINT EnumClipboardFormats(UINT Format) {
    auto& s = Store();
    if (!s.Open) return 0;
    if (Format == 0) return s.Entries.empty() ? 0 : s.Entries.front().Format;
    for (size_t i = 0; i < s.Entries.size(); ++i)
        if (s.Entries[i].Format == Format) return i + 1 < s.Entries.size() ? s.Entries[i + 1].Format : 0;
    return 0;
}

UINT RegisterClipboardFormatA(const char* Name) {
    if (Name == nullptr || *Name == '\0') return 0;
    UINT id = RegisterWindowMessageA(Name);
    if (id != 0) Store().Names.emplace(id, Name);
    return id;
}

int GetClipboardFormatNameA(UINT Format, char* Buffer, int MaxCount) {
    auto& names = Store().Names;
    auto it = names.find(Format);
    if (it == names.end() || Buffer == nullptr || MaxCount <= 0) return 0;
    int n = std::min<int>(static_cast<int>(it->second.size()), MaxCount - 1);
    std::memcpy(Buffer, it->second.data(), static_cast<size_t>(n));
    Buffer[n] = '\0';
    return n;
}

HWND GetClipboardOwner() {
    HWND owner = Store().Owner;
    return owner != nullptr && IsWindow(owner) ? owner : nullptr;
}

HWND GetOpenClipboardWindow() {
    auto& s = Store();
    return s.Open ? s.Opener : nullptr;
}

DWORD GetClipboardSequenceNumber() { return Store().Sequence; }

void ResetClipboard() {
    auto& s = Store();
    FreeAll(s);
    s.Open = false;
    s.Opener = nullptr;
    s.Owner = nullptr;
    ++s.Sequence;
}

}  // namespace host
