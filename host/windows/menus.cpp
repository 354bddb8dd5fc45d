// Menu handles and their items, the menu bar of a window and the tracking loop of pop-up menus and menu bars.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/windows/inputsim.h"
#include "host/windows/menu.h"
#include "host/windows/wnd_internal.h"

namespace host {

namespace {

// ---------------------------------------------------------------------------
// The menu table
// ---------------------------------------------------------------------------

struct TMenuEntry {
    UINT Type = 0;   // MFT_* bits
    UINT State = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE, MF_DEFAULT
    UINT Id = 0;
    HMENU Sub = nullptr;
    HBITMAP CheckedBmp = nullptr, UncheckedBmp = nullptr, Bitmap = nullptr;
    ULONG_PTR Data = 0;
    std::string Text;

    bool Separator() const { return (Type & MFT_SEPARATOR) != 0; }
    bool OwnerDraw() const { return (Type & MFT_OWNERDRAW) != 0; }
    bool Disabled() const { return (State & (MF_GRAYED | MF_DISABLED)) != 0; }
};

struct TMenuObj {
    bool Popup = false;
    std::vector<TMenuEntry> Items;
};

std::unordered_map<uintptr_t, std::unique_ptr<TMenuObj>>& Menus() {
    static std::unordered_map<uintptr_t, std::unique_ptr<TMenuObj>> m;
    return m;
}
// Handles are never reused, so a stale one never reaches a newer menu.
uintptr_t gNextMenu = 0x40000;

TMenuObj* M(HMENU H) {
    auto it = Menus().find(reinterpret_cast<uintptr_t>(H));
    return it != Menus().end() ? it->second.get() : nullptr;
}

HMENU NewMenu(bool Popup) {
    uintptr_t h = gNextMenu;
    gNextMenu += 4;
    auto obj = std::make_unique<TMenuObj>();
    obj->Popup = Popup;
    Menus()[h] = std::move(obj);
    return reinterpret_cast<HMENU>(h);
}

// True when Target is Menu or reachable from it through submenus (a cycle guard).
bool Reaches(HMENU Menu, HMENU Target, int Depth = 0) {
    if (Menu == Target) return true;
    TMenuObj* m = M(Menu);
    if (m == nullptr || Depth > 64) return false;
    for (const TMenuEntry& e : m->Items)
        if (e.Sub != nullptr && Reaches(e.Sub, Target, Depth + 1)) return true;
    return false;
}

// An item by position, or by command anywhere in the tree; Owner gets its menu.
TMenuEntry* FindEntry(HMENU Menu, UINT Item, UINT Flags, TMenuObj** Owner = nullptr, int* Index = nullptr,
                      int Depth = 0) {
    TMenuObj* m = M(Menu);
    if (m == nullptr || Depth > 64) return nullptr;
    if (Flags & MF_BYPOSITION) {
        if (Item >= m->Items.size()) return nullptr;
        if (Owner) *Owner = m;
        if (Index) *Index = int(Item);
        return &m->Items[Item];
    }
    for (size_t i = 0; i < m->Items.size(); ++i) {
        TMenuEntry& e = m->Items[i];
        if (e.Sub == nullptr && e.Id == Item) {
            if (Owner) *Owner = m;
            if (Index) *Index = int(i);
            return &e;
        }
        if (e.Sub != nullptr) {
            if (TMenuEntry* r = FindEntry(e.Sub, Item, Flags, Owner, Index, Depth + 1)) return r;
        }
    }
    return nullptr;
}

// The entry the classic calls describe: flags, the command or submenu, the text or data.
bool EntryFromFlags(HMENU Menu, UINT Flags, UINT_PTR NewItem, const char* Item, TMenuEntry& E) {
    E.Type = Flags & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP | MFT_MENUBREAK | MFT_MENUBARBREAK | MFT_RIGHTJUSTIFY);
    E.State = Flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (Flags & MF_POPUP) {
        HMENU sub = reinterpret_cast<HMENU>(NewItem);
        if (M(sub) == nullptr || Reaches(sub, Menu)) return false;
        E.Sub = sub;
        E.Id = 0;
    } else {
        E.Sub = nullptr;
        E.Id = UINT(NewItem);
    }
    E.Text.clear();
    E.Data = 0;
    E.Bitmap = nullptr;
    if (E.OwnerDraw())
        E.Data = reinterpret_cast<ULONG_PTR>(Item);
    else if (E.Type & MFT_BITMAP)
        E.Bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(Item));
    else if (!E.Separator() && Item != nullptr)
        E.Text = Item;
    return true;
}

void DestroyTree(HMENU H, int Depth) {
    auto it = Menus().find(reinterpret_cast<uintptr_t>(H));
    if (it == Menus().end() || Depth > 64) return;
    std::unique_ptr<TMenuObj> obj = std::move(it->second);
    Menus().erase(it);
    for (const TMenuEntry& e : obj->Items)
        if (e.Sub != nullptr) DestroyTree(e.Sub, Depth + 1);
}

// ---------------------------------------------------------------------------
// Drawing helpers
// ---------------------------------------------------------------------------

// A font selected into a DC for the life of the object.
class TMenuFont {
public:
    TMenuFont(HDC Dc, bool Bold) : FDc(Dc) {
        NONCLIENTMETRICSA ncm;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        if (Bold) ncm.lfMenuFont.lfWeight = FW_BOLD;
        FFont = CreateFontIndirectA(&ncm.lfMenuFont);
        FOld = SelectObject(Dc, FFont);
    }
    ~TMenuFont() {
        SelectObject(FDc, FOld);
        DeleteObject(FFont);
    }
    TMenuFont(const TMenuFont&) = delete;
    TMenuFont& operator=(const TMenuFont&) = delete;

private:
    HDC FDc;
    HFONT FFont;
    HGDIOBJ FOld;
};

// A DC compatible with the screen for measuring, released on every way out.
class TMeasureDC {
public:
    TMeasureDC() : FDc(CreateCompatibleDC(nullptr)) {}
    ~TMeasureDC() { DeleteDC(FDc); }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;
    operator HDC() const { return FDc; }

private:
    HDC FDc;
};

// The label and the shortcut text of an item's text ("&Open\tCtrl+O").
void SplitText(const std::string& T, std::string& Label, std::string& Accel) {
    size_t tab = T.find('\t');
    Label = tab == std::string::npos ? T : T.substr(0, tab);
    Accel = tab == std::string::npos ? std::string() : T.substr(tab + 1);
}

SIZE TextSize(HDC Dc, const std::string& S) {
    SIZE sz{0, 0};
    std::string p = StripHotkey(S);
    GetTextExtentPoint32A(Dc, p.c_str(), int(p.size()), &sz);
    return sz;
}

// Draws one of the menu glyphs (check, bullet, arrow) in Color onto any background:
// the glyph is drawn black on white into a monochrome mask, which selects between the
// glyph's brush and the destination.
void DrawMenuGlyph(HDC Dc, const RECT& R, UINT Glyph, COLORREF Color) {
    int w = R.right - R.left, h = R.bottom - R.top;
    if (w <= 0 || h <= 0) return;
    HDC mem = CreateCompatibleDC(Dc);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldBmp = SelectObject(mem, mask);
    RECT g{0, 0, w, h};
    DrawFrameControl(mem, &g, DFC_MENU, Glyph);
    COLORREF oldText = SetTextColor(Dc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(Dc, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(Color);
    HGDIOBJ oldBrush = SelectObject(Dc, brush);
    BitBlt(Dc, R.left, R.top, w, h, mem, 0, 0, 0x00B8074A);  // PSDPxax: 0 bits take the brush
    SelectObject(Dc, oldBrush);
    DeleteObject(brush);
    SetTextColor(Dc, oldText);
    SetBkColor(Dc, oldBk);
    SelectObject(mem, oldBmp);
    DeleteObject(mask);
    DeleteDC(mem);
}

// Text in the classic look: normal, selected, or disabled (embossed when not selected).
void DrawItemText(HDC Dc, const std::string& S, RECT R, UINT Format, bool Disabled, bool Selected) {
    SetBkMode(Dc, TRANSPARENT);
    if (Disabled && !Selected) {
        RECT r1 = R;
        OffsetRect(&r1, 1, 1);
        SetTextColor(Dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(Dc, S.c_str(), int(S.size()), &r1, Format);
        SetTextColor(Dc, GetSysColor(COLOR_BTNSHADOW));
    } else if (Disabled) {
        COLORREF g = GetSysColor(COLOR_GRAYTEXT);
        SetTextColor(Dc, g == GetSysColor(COLOR_HIGHLIGHT) ? GetSysColor(COLOR_BTNFACE) : g);
    } else {
        SetTextColor(Dc, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    DrawTextA(Dc, S.c_str(), int(S.size()), &R, Format);
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

constexpr int kPopupFrame = 3;   // raised edge and one pixel of face around a pop-up
constexpr int kSeparatorHeight = 8;
constexpr int kBarPadding = 6;   // each side of a bar item's text

struct TPopupLayout {
    std::vector<RECT> Rects;  // client coordinates of the pop-up window
    std::vector<int> BarBreaks;  // x of the etched lines between columns
    int Width = 0, Height = 0;
    int CheckWidth = 0, AccelX = 0;  // offsets within an item
};

int ItemHeight(HDC Dc) {
    TEXTMETRICA tm{};
    GetTextMetricsA(Dc, &tm);
    return std::max<int>(tm.tmHeight + 4, GetSystemMetrics(SM_CYMENUCHECK) + 4);
}

void MeasureOwnerDrawn(HWND Owner, const TMenuEntry& E, int& W, int& H) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_MENU;
    mis.itemID = E.Id;
    mis.itemData = E.Data;
    mis.itemHeight = UINT(H);
    if (Owner != nullptr) SendMessageA(Owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    W = int(mis.itemWidth);
    H = int(mis.itemHeight);
}

int BitmapWidth(HBITMAP B, int* Height = nullptr) {
    BITMAP bm{};
    if (B == nullptr || GetObjectA(B, sizeof bm, &bm) == 0) return 0;
    if (Height) *Height = bm.bmHeight;
    return bm.bmWidth;
}

TPopupLayout LayoutPopup(HMENU Menu, HWND Owner) {
    TPopupLayout L;
    TMenuObj* m = M(Menu);
    TMeasureDC dc;
    TMenuFont font(dc, false);
    int ih = ItemHeight(dc);
    L.CheckWidth = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    size_t n = m != nullptr ? m->Items.size() : 0;
    // Column by column: items are stacked until a break starts a new column.
    struct TCol { size_t First, Last; int TextW = 0, AccelW = 0, Extra = 0; int Bottom = 0; bool BarBreak = false; };
    std::vector<TCol> cols;
    std::vector<int> heights(n), ownerWidths(n);
    for (size_t i = 0; i < n; ++i) {
        const TMenuEntry& e = m->Items[i];
        if (cols.empty() || (i > 0 && (e.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK))))
            cols.push_back(TCol{i, i, 0, 0, 0, 0, (e.Type & MFT_MENUBARBREAK) != 0});
        TCol& c = cols.back();
        c.Last = i;
        int h = ih;
        if (e.OwnerDraw()) {
            int w = 0;
            MeasureOwnerDrawn(Owner, e, w, h);
            ownerWidths[i] = w;
            c.TextW = std::max(c.TextW, w);
        } else if (e.Separator()) {
            h = kSeparatorHeight;
        } else {
            std::string label, accel;
            SplitText(e.Text, label, accel);
            c.TextW = std::max<int>(c.TextW, TextSize(dc, label).cx);
            if (!accel.empty()) c.AccelW = std::max<int>(c.AccelW, TextSize(dc, accel).cx);
            int bh = 0;
            int bw = BitmapWidth(e.Bitmap, &bh);
            if (bw > 0) {
                L.CheckWidth = std::max(L.CheckWidth, bw + 4);
                h = std::max(h, bh + 2);
            }
        }
        heights[i] = h;
    }
    L.Rects.resize(n);
    int x = kPopupFrame, maxBottom = 0;
    int arrowW = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    for (size_t ci = 0; ci < cols.size(); ++ci) {
        TCol& c = cols[ci];
        if (c.BarBreak && ci > 0) {
            L.BarBreaks.push_back(x + 1);
            x += 4;
        }
        int w = L.CheckWidth + c.TextW + (c.AccelW > 0 ? 12 + c.AccelW : 0) + arrowW;
        int y = kPopupFrame;
        for (size_t i = c.First; i <= c.Last; ++i) {
            L.Rects[i] = RECT{x, y, x + w, y + heights[i]};
            y += heights[i];
        }
        if (ci == 0) L.AccelX = L.CheckWidth + c.TextW + 12;
        maxBottom = std::max(maxBottom, y);
        x += w;
    }
    if (n == 0) maxBottom = kPopupFrame + 4, x = kPopupFrame + 40;
    L.Width = x + kPopupFrame;
    L.Height = maxBottom + kPopupFrame;
    return L;
}

struct TBarLayout {
    std::vector<RECT> Rects;  // relative to the bar's top-left
    int Height = 0;
};

TBarLayout LayoutBar(HMENU Menu, HWND Owner, int Width) {
    TBarLayout L;
    TMenuObj* m = M(Menu);
    int row = GetSystemMetrics(SM_CYMENU);
    L.Height = row;
    if (m == nullptr) return L;
    TMeasureDC dc;
    TMenuFont font(dc, false);
    int x = 0, y = 0;
    for (size_t i = 0; i < m->Items.size(); ++i) {
        const TMenuEntry& e = m->Items[i];
        int w = 0, h = row;
        if (e.OwnerDraw())
            MeasureOwnerDrawn(Owner, e, w, h);
        else if (e.Separator())
            w = 2 * kBarPadding;
        else
            w = TextSize(dc, e.Text).cx + 2 * kBarPadding;
        bool breakHere = i > 0 && (e.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK));
        if (x > 0 && (breakHere || x + w > Width)) {
            x = 0;
            y += row;
        }
        L.Rects.push_back(RECT{x, y, x + w, y + row});
        x += w;
    }
    L.Height = y + row;
    return L;
}

// ---------------------------------------------------------------------------
// Tracking
// ---------------------------------------------------------------------------

struct TLevel {
    HMENU Menu = nullptr;
    HWND Wnd = nullptr;    // the pop-up window; nullptr for the bar
    bool Bar = false;
    int Sel = -1;
    std::vector<RECT> Rects;  // screen coordinates
    RECT Frame{};             // screen coordinates
    TPopupLayout Layout;
};

struct TTracker {
    HWND Owner = nullptr;
    UINT Flags = 0;
    bool BarMode = false;
    bool Notify = true;
    std::vector<TLevel> Levels;
    bool Done = false;
    bool Chosen = false;
    UINT Command = 0;
};

TTracker* gTracker = nullptr;
const char* const kPopupClass = "#32768";

TLevel* LevelOfWindow(HWND Wnd) {
    if (gTracker == nullptr) return nullptr;
    for (TLevel& l : gTracker->Levels)
        if (l.Wnd == Wnd) return &l;
    return nullptr;
}

// Paints one item of a pop-up (R in the DC's coordinates).
void PaintPopupItem(HDC Dc, HMENU Menu, int Index, const TMenuEntry& E, RECT R, bool Selected, HWND Owner,
                    const TPopupLayout& L) {
    if (E.Separator()) {
        FillRect(Dc, &R, GetSysColorBrush(COLOR_MENU));
        RECT line{R.left + 1, R.top + (R.bottom - R.top) / 2 - 1, R.right - 1, R.top + (R.bottom - R.top) / 2 + 1};
        DrawEdge(Dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (E.OwnerDraw()) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_MENU;
        dis.itemID = E.Id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (Selected ? ODS_SELECTED : 0) | ((E.State & MF_GRAYED) ? ODS_GRAYED : 0) |
                        ((E.State & MF_DISABLED) ? ODS_DISABLED : 0) | ((E.State & MF_CHECKED) ? ODS_CHECKED : 0) |
                        ((E.State & MF_DEFAULT) ? ODS_DEFAULT : 0);
        dis.hwndItem = reinterpret_cast<HWND>(Menu);
        dis.hDC = Dc;
        dis.rcItem = R;
        dis.itemData = E.Data;
        FillRect(Dc, &R, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        SetTextColor(Dc, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        SetBkColor(Dc, GetSysColor(Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
        if (Owner != nullptr) SendMessageA(Owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    (void)Index;
    bool disabled = E.Disabled();
    FillRect(Dc, &R, GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    COLORREF glyphColor = GetSysColor(disabled ? COLOR_GRAYTEXT : Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    int cs = GetSystemMetrics(SM_CXMENUCHECK);
    RECT check{R.left + 2, R.top + (R.bottom - R.top - cs) / 2, R.left + 2 + cs, R.top + (R.bottom - R.top - cs) / 2 + cs};
    if (E.State & MF_CHECKED) {
        HBITMAP custom = E.CheckedBmp;
        if (custom != nullptr) {
            HDC mem = CreateCompatibleDC(Dc);
            HGDIOBJ o = SelectObject(mem, custom);
            BitBlt(Dc, check.left, check.top, cs, cs, mem, 0, 0, SRCCOPY);
            SelectObject(mem, o);
            DeleteDC(mem);
        } else {
            DrawMenuGlyph(Dc, check, (E.Type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, glyphColor);
        }
    } else if (E.Bitmap != nullptr) {
        int bh = 0;
        int bw = BitmapWidth(E.Bitmap, &bh);
        HDC mem = CreateCompatibleDC(Dc);
        HGDIOBJ o = SelectObject(mem, E.Bitmap);
        BitBlt(Dc, R.left + (L.CheckWidth - bw) / 2, R.top + (R.bottom - R.top - bh) / 2, bw, bh, mem, 0, 0, SRCCOPY);
        SelectObject(mem, o);
        DeleteDC(mem);
    }
    std::string label, accel;
    SplitText(E.Text, label, accel);
    TMenuFont font(Dc, (E.State & MF_DEFAULT) != 0);
    RECT tr{R.left + L.CheckWidth, R.top, R.right, R.bottom};
    DrawItemText(Dc, label, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE, disabled, Selected);
    if (!accel.empty()) {
        RECT ar{R.left + L.CheckWidth, R.top, R.right - (GetSystemMetrics(SM_CXMENUCHECK) + 4), R.bottom};
        DrawItemText(Dc, accel, ar, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, disabled, Selected);
    }
    if (E.Sub != nullptr) {
        int aw = GetSystemMetrics(SM_CXMENUCHECK);
        RECT arrow{R.right - aw - 2, R.top + (R.bottom - R.top - aw) / 2, R.right - 2, R.top + (R.bottom - R.top - aw) / 2 + aw};
        DrawMenuGlyph(Dc, arrow, DFCS_MENUARROW, glyphColor);
    }
}

void PaintPopup(TLevel& L, HDC Dc) {
    RECT all{0, 0, L.Layout.Width, L.Layout.Height};
    FillRect(Dc, &all, GetSysColorBrush(COLOR_MENU));
    DrawEdge(Dc, &all, EDGE_RAISED, BF_RECT);
    for (int x : L.Layout.BarBreaks) {
        RECT line{x, kPopupFrame, x + 2, L.Layout.Height - kPopupFrame};
        DrawEdge(Dc, &line, EDGE_ETCHED, BF_LEFT);
    }
    TMenuObj* m = M(L.Menu);
    if (m == nullptr) return;
    for (size_t i = 0; i < m->Items.size() && i < L.Layout.Rects.size(); ++i)
        PaintPopupItem(Dc, L.Menu, int(i), m->Items[i], L.Layout.Rects[i], int(i) == L.Sel,
                       gTracker != nullptr ? gTracker->Owner : nullptr, L.Layout);
}

LRESULT PopupWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = WParam != 0 ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &ps);
        if (TLevel* l = LevelOfWindow(Wnd)) PaintPopup(*l, dc);
        if (WParam == 0) EndPaint(Wnd, &ps);
        return 0;
    }
    default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
    }
}

void EnsurePopupClass() {
    WNDCLASSA wc;
    if (GetClassInfoA(0, kPopupClass, &wc)) return;
    wc = WNDCLASSA{};
    wc.style = CS_SAVEBITS | CS_DBLCLKS;
    wc.lpfnWndProc = &PopupWndProc;
    wc.hCursor = LoadCursorA(0, IDC_ARROW);
    wc.lpszClassName = kPopupClass;
    RegisterClassA(&wc);
}

RECT ScreenArea() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void SendMenuSelect(TTracker& T, const TLevel& L) {
    if (!T.Notify) return;
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || L.Sel < 0 || L.Sel >= int(m->Items.size())) {
        SendMessageA(T.Owner, WM_MENUSELECT, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(L.Menu));
        return;
    }
    const TMenuEntry& e = m->Items[size_t(L.Sel)];
    UINT flags = MF_HILITE | (e.State & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) | (e.Sub ? MF_POPUP : 0) |
                 (e.OwnerDraw() ? MF_OWNERDRAW : 0) | (e.Separator() ? MF_SEPARATOR : 0);
    WORD id = e.Sub != nullptr ? WORD(L.Sel) : WORD(e.Id);
    SendMessageA(T.Owner, WM_MENUSELECT, MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(L.Menu));
}

// The menu bar's rectangle in the owner's window coordinates.
RECT BarRectOf(HWND Owner) {
    win::TWnd* w = win::Find(Owner);
    if (w == nullptr) return RECT{};
    win::TNCMetrics m = win::NCMetricsOf(w->Style, w->ExStyle, true, false);
    int width = w->Width() - 2 * m.BorderX;
    int top = m.BorderY + m.Caption;
    return RECT{m.BorderX, top, m.BorderX + width, top + win::MenuBarHeight(Owner, width)};
}

void RepaintBar(HWND Owner) {
    win::TWnd* w = win::Find(Owner);
    if (w == nullptr || GetMenu(Owner) == nullptr) return;
    if (HDC dc = GetWindowDC(Owner)) {
        RECT bar = BarRectOf(Owner);
        win::PaintMenuBar(Owner, dc, bar);
        ReleaseDC(Owner, dc);
    }
}

void RepaintLevel(TTracker& T, TLevel& L) {
    if (L.Bar)
        RepaintBar(T.Owner);
    else if (IsWindow(L.Wnd)) {
        InvalidateRect(L.Wnd, nullptr, FALSE);
        UpdateWindow(L.Wnd);
    }
}

void CloseLevelsAbove(TTracker& T, size_t Keep) {
    while (T.Levels.size() > Keep) {
        HWND w = T.Levels.back().Wnd;
        T.Levels.pop_back();
        if (w != nullptr) DestroyWindow(w);
    }
}

void Select(TTracker& T, size_t Level, int Index) {
    if (Level >= T.Levels.size()) return;
    CloseLevelsAbove(T, Level + 1);
    TLevel& L = T.Levels[Level];
    if (L.Sel == Index) return;
    L.Sel = Index;
    RepaintLevel(T, L);
    if (Level < T.Levels.size()) SendMenuSelect(T, T.Levels[Level]);
}

// Shows Menu as a pop-up at (X, Y) aligned by Flags; Parent is the item's rectangle
// when it opens from another level (so it opens beside or below it).
bool OpenPopupAt(TTracker& T, HMENU Menu, int X, int Y, UINT Flags, const RECT* FromItem, bool BelowItem,
                 int IndexInParent) {
    if (T.Notify) SendMessageA(T.Owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Menu), MAKELPARAM(IndexInParent, 0));
    if (M(Menu) == nullptr || T.Done) return false;
    TLevel L;
    L.Menu = Menu;
    L.Layout = LayoutPopup(Menu, T.Owner);
    int w = L.Layout.Width, h = L.Layout.Height;
    RECT scr = ScreenArea();
    int x = X, y = Y;
    if (FromItem != nullptr && BelowItem) {
        x = FromItem->left;
        y = FromItem->bottom;
        if (y + h > scr.bottom) y = std::max<int>(scr.top, FromItem->top - h);
    } else if (FromItem != nullptr) {
        x = FromItem->right - kPopupFrame;
        y = FromItem->top - kPopupFrame;
        if (x + w > scr.right) x = std::max<int>(scr.left, FromItem->left + kPopupFrame - w);
        if (y + h > scr.bottom) y = std::max<int>(scr.top, scr.bottom - h);
    } else {
        if (Flags & TPM_CENTERALIGN) x -= w / 2;
        else if (Flags & TPM_RIGHTALIGN) x -= w;
        if (Flags & TPM_VCENTERALIGN) y -= h / 2;
        else if (Flags & TPM_BOTTOMALIGN) y -= h;
        if (x + w > scr.right) x = X - w >= scr.left ? X - w : scr.right - w;
        if (y + h > scr.bottom) y = Y - h >= scr.top ? Y - h : scr.bottom - h;
        x = std::max<int>(x, scr.left);
        y = std::max<int>(y, scr.top);
    }
    L.Frame = RECT{x, y, x + w, y + h};
    for (const RECT& r : L.Layout.Rects) L.Rects.push_back(RECT{r.left + x, r.top + y, r.right + x, r.bottom + y});
    EnsurePopupClass();
    L.Wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, "", WS_POPUP, x, y, w, h, T.Owner, nullptr, 0,
                            nullptr);
    if (L.Wnd == nullptr) return false;
    HWND wnd = L.Wnd;
    T.Levels.push_back(std::move(L));
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(wnd);
    return true;
}

bool Selectable(const TMenuEntry& E) { return !E.Separator(); }

// The next selectable item of a level from Index in Dir (wrapping); -1 when none.
int Step(const TLevel& L, int Index, int Dir) {
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || m->Items.empty()) return -1;
    int n = int(m->Items.size());
    int i = Index;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (Dir > 0 ? 0 : n - 1) : (i + Dir + n) % n;
        if (Selectable(m->Items[size_t(i)])) return i;
    }
    return -1;
}

// Opens the submenu of the selected item of Level; SelectFirst selects its first item.
bool OpenSelected(TTracker& T, size_t Level, bool SelectFirst) {
    if (Level >= T.Levels.size()) return false;
    TLevel& L = T.Levels[Level];
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || L.Sel < 0 || L.Sel >= int(m->Items.size())) return false;
    const TMenuEntry& e = m->Items[size_t(L.Sel)];
    if (e.Sub == nullptr || e.Disabled()) return false;
    if (T.Levels.size() > Level + 1 && T.Levels[Level + 1].Menu == e.Sub) {
        if (SelectFirst && T.Levels[Level + 1].Sel < 0) Select(T, Level + 1, Step(T.Levels[Level + 1], -1, 1));
        return true;
    }
    CloseLevelsAbove(T, Level + 1);
    RECT from = L.Rects[size_t(L.Sel)];
    if (!OpenPopupAt(T, e.Sub, 0, 0, 0, &from, L.Bar, L.Sel)) return false;
    if (SelectFirst) Select(T, T.Levels.size() - 1, Step(T.Levels.back(), -1, 1));
    return true;
}

void Choose(TTracker& T, const TMenuEntry& E) {
    T.Done = true;
    T.Chosen = true;
    T.Command = E.Id;
}

// Where a screen point is: the deepest level containing it and the item (-1: on the
// level but on no item). False when on no level.
bool HitTest(const TTracker& T, POINT P, size_t& Level, int& Item) {
    for (size_t k = T.Levels.size(); k-- > 0;) {
        const TLevel& L = T.Levels[k];
        if (!L.Bar && !PtInRect(&L.Frame, P)) continue;
        for (size_t i = 0; i < L.Rects.size(); ++i)
            if (PtInRect(&L.Rects[i], P)) {
                Level = k;
                Item = int(i);
                return true;
            }
        if (L.Bar) continue;
        Level = k;
        Item = -1;
        return true;
    }
    return false;
}

void MouseMoved(TTracker& T, POINT P, bool BarDropped) {
    size_t lv;
    int item;
    if (!HitTest(T, P, lv, item)) {
        TLevel& d = T.Levels.back();
        if (!d.Bar && d.Sel >= 0) Select(T, T.Levels.size() - 1, -1);
        return;
    }
    if (item < 0) return;
    TLevel& L = T.Levels[lv];
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || item >= int(m->Items.size())) return;
    if (m->Items[size_t(item)].Separator()) {
        if (!L.Bar) Select(T, lv, -1);
        return;
    }
    if (L.Bar && !BarDropped) {
        Select(T, lv, item);
        return;
    }
    if (L.Sel != item) Select(T, lv, item);
    OpenSelected(T, lv, false);
}

void ButtonDown(TTracker& T, POINT P) {
    size_t lv;
    int item;
    if (!HitTest(T, P, lv, item)) {
        T.Done = true;  // a press outside every level cancels
        return;
    }
    TLevel& L = T.Levels[lv];
    if (!L.Bar || item < 0) return;
    if (T.Levels.size() > 1 && L.Sel == item) {
        T.Done = true;  // pressing the open title again closes the menu
        return;
    }
    Select(T, lv, item);
    OpenSelected(T, lv, false);
}

void ButtonUp(TTracker& T, POINT P) {
    size_t lv;
    int item;
    if (!HitTest(T, P, lv, item) || item < 0) return;
    TLevel& L = T.Levels[lv];
    if (L.Bar) return;
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || item >= int(m->Items.size())) return;
    TMenuEntry e = m->Items[size_t(item)];
    if (e.Separator()) return;
    if (e.Sub != nullptr) {
        if (L.Sel != item) Select(T, lv, item);
        OpenSelected(T, lv, true);
        return;
    }
    if (!e.Disabled()) Choose(T, e);
}

void Activate(TTracker& T, size_t Level) {
    TLevel& L = T.Levels[Level];
    TMenuObj* m = M(L.Menu);
    if (m == nullptr || L.Sel < 0 || L.Sel >= int(m->Items.size())) return;
    TMenuEntry e = m->Items[size_t(L.Sel)];
    if (e.Sub != nullptr)
        OpenSelected(T, Level, true);
    else if (!e.Disabled() && !e.Separator())
        Choose(T, e);
}

// Moves along the bar (Dir -1/+1), keeping a drop-down open when one was.
void MoveOnBar(TTracker& T, int Dir) {
    bool dropped = T.Levels.size() > 1;
    int next = Step(T.Levels[0], T.Levels[0].Sel, Dir);
    if (next < 0) return;
    Select(T, 0, next);
    if (dropped) OpenSelected(T, 0, true);
}

void KeyPressed(TTracker& T, WPARAM Key) {
    size_t deepest = T.Levels.size() - 1;
    TLevel& D = T.Levels[deepest];
    switch (Key) {
    case VK_ESCAPE:
        if (T.Levels.size() > 1) {
            CloseLevelsAbove(T, deepest);
            RepaintLevel(T, T.Levels.back());
        } else {
            T.Done = true;
        }
        return;
    case VK_MENU:
    case VK_F10:
        if (T.BarMode) T.Done = true;
        return;
    case VK_UP:
    case VK_DOWN:
        if (D.Bar)
            OpenSelected(T, deepest, true);
        else
            Select(T, deepest, Step(D, D.Sel, Key == VK_DOWN ? 1 : -1));
        return;
    case VK_RIGHT:
        if (D.Bar) {
            MoveOnBar(T, 1);
            return;
        }
        if (OpenSelected(T, deepest, true)) return;
        if (T.BarMode) MoveOnBar(T, 1);
        return;
    case VK_LEFT:
        if (D.Bar) {
            MoveOnBar(T, -1);
            return;
        }
        if ((T.BarMode && deepest > 1) || (!T.BarMode && deepest > 0)) {
            CloseLevelsAbove(T, deepest);
            RepaintLevel(T, T.Levels.back());
            return;
        }
        if (T.BarMode) MoveOnBar(T, -1);
        return;
    case VK_RETURN: Activate(T, deepest); return;
    default: return;
    }
}

void CharPressed(TTracker& T, char C) {
    char c = char(std::tolower(static_cast<unsigned char>(C)));
    size_t deepest = T.Levels.size() - 1;
    TLevel& D = T.Levels[deepest];
    TMenuObj* m = M(D.Menu);
    if (m == nullptr) return;
    std::vector<int> hits;
    for (size_t i = 0; i < m->Items.size(); ++i)
        if (!m->Items[i].Separator() && !m->Items[i].OwnerDraw() && GetHotkey(m->Items[i].Text) == c)
            hits.push_back(int(i));
    if (hits.empty()) {
        MessageBeep(0);
        return;
    }
    if (hits.size() > 1) {
        // Several items share the key: each press moves to the next of them.
        auto it = std::upper_bound(hits.begin(), hits.end(), D.Sel);
        Select(T, deepest, it != hits.end() ? *it : hits.front());
        return;
    }
    Select(T, deepest, hits.front());
    Activate(T, deepest);
}

// The loop shared by pop-up menus and menu bars. Returns once T.Done.
void RunLoop(TTracker& T, HWND CaptureWnd) {
    SetCapture(CaptureWnd);
    TModalLoopScope scope;
    while (!T.Done) {
        MSG msg;
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (r < 0) break;
        if (msg.message == WM_NULL && ModalScriptRanOut()) break;
        if (!IsWindow(T.Owner) || GetCapture() != CaptureWnd) break;
        if (T.Levels.empty() || M(T.Levels[0].Menu) == nullptr) break;
        UINT mm = msg.message;
        if (mm >= WM_MOUSEFIRST && mm <= WM_MOUSELAST) {
            POINT p = msg.pt;
            bool rightOk = (T.Flags & TPM_RIGHTBUTTON) != 0;
            bool dropped = T.Levels.size() > 1;
            if (mm == WM_MOUSEMOVE) MouseMoved(T, p, dropped);
            else if (mm == WM_LBUTTONDOWN || mm == WM_LBUTTONDBLCLK || mm == WM_RBUTTONDOWN || mm == WM_RBUTTONDBLCLK ||
                     mm == WM_MBUTTONDOWN)
                ButtonDown(T, p);
            else if (mm == WM_LBUTTONUP || (mm == WM_RBUTTONUP && rightOk))
                ButtonUp(T, p);
            continue;
        }
        if (mm >= WM_NCMOUSEMOVE && mm <= WM_NCMBUTTONDBLCLK) {
            POINT p = msg.pt;
            if (mm == WM_NCMOUSEMOVE) MouseMoved(T, p, T.Levels.size() > 1);
            else if (mm == WM_NCLBUTTONDOWN || mm == WM_NCRBUTTONDOWN) ButtonDown(T, p);
            else if (mm == WM_NCLBUTTONUP) ButtonUp(T, p);
            continue;
        }
        if (mm == WM_KEYDOWN || mm == WM_SYSKEYDOWN) {
            TranslateMessage(&msg);
            KeyPressed(T, msg.wParam);
            continue;
        }
        if (mm == WM_CHAR || mm == WM_SYSCHAR) {
            if (msg.wParam > 32) CharPressed(T, char(msg.wParam));
            continue;
        }
        if (mm >= WM_KEYFIRST && mm <= WM_KEYLAST) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (GetCapture() == CaptureWnd) ReleaseCapture();
}

// Sets up, runs and tears down one tracking session; returns the chosen command.
bool Track(TTracker& T, HWND CaptureWnd) {
    TTracker* previous = gTracker;
    gTracker = &T;
    RunLoop(T, CaptureWnd);
    CloseLevelsAbove(T, T.BarMode ? 1 : 0);
    if (T.BarMode && !T.Levels.empty()) {
        T.Levels[0].Sel = -1;
        RepaintBar(T.Owner);
    }
    gTracker = previous;
    if (IsWindow(T.Owner) && T.Notify) {
        SendMessageA(T.Owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageA(T.Owner, WM_EXITMENULOOP, T.BarMode ? FALSE : TRUE, 0);
    }
    return T.Chosen;
}

void Begin(TTracker& T, HMENU Root) {
    if (!T.Notify) return;
    SendMessageA(T.Owner, WM_ENTERMENULOOP, T.BarMode ? FALSE : TRUE, 0);
    SendMessageA(T.Owner, WM_INITMENU, reinterpret_cast<WPARAM>(Root), 0);
}

// The bar level of a window's menu, in screen coordinates.
TLevel BarLevel(HWND Owner, HMENU Menu) {
    TLevel L;
    L.Menu = Menu;
    L.Bar = true;
    win::TWnd* w = win::Find(Owner);
    RECT bar = BarRectOf(Owner);
    POINT o = w != nullptr ? win::WindowOriginScreen(w) : POINT{0, 0};
    TBarLayout b = LayoutBar(Menu, Owner, bar.right - bar.left);
    for (const RECT& r : b.Rects)
        L.Rects.push_back(RECT{r.left + bar.left + o.x, r.top + bar.top + o.y, r.right + bar.left + o.x,
                               r.bottom + bar.top + o.y});
    L.Frame = RECT{bar.left + o.x, bar.top + o.y, bar.right + o.x, bar.bottom + o.y};
    return L;
}

void FinishBar(TTracker& T) {
    if (T.Chosen && IsWindow(T.Owner)) PostMessageA(T.Owner, WM_COMMAND, MAKEWPARAM(T.Command, 0), 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// The calls
// ---------------------------------------------------------------------------

std::string StripHotkey(const std::string& Text) {
    std::string r;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                r += '&';
                ++i;
            }
            continue;
        }
        r += Text[i];
    }
    return r;
}

char GetHotkey(const std::string& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&') continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        return char(std::tolower(static_cast<unsigned char>(Text[i + 1])));
    }
    return 0;
}

HMENU CreateMenu() { return NewMenu(false); }
HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU Menu) {
    if (M(Menu) == nullptr) return FALSE;
    DestroyTree(Menu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU Menu) { return M(Menu) != nullptr; }
int MenuHandleCount() { return int(Menus().size()); }

BOOL AppendMenuA(HMENU Menu, UINT Flags, UINT_PTR NewItem, const char* Item) {
    TMenuObj* m = M(Menu);
    if (m == nullptr) return FALSE;
    TMenuEntry e;
    if (!EntryFromFlags(Menu, Flags, NewItem, Item, e)) return FALSE;
    m->Items.push_back(std::move(e));
    return TRUE;
}

BOOL InsertMenuA(HMENU Menu, UINT Position, UINT Flags, UINT_PTR NewItem, const char* Item) {
    TMenuObj* m = M(Menu);
    if (m == nullptr) return FALSE;
    TMenuEntry e;
    if (!EntryFromFlags(Menu, Flags, NewItem, Item, e)) return FALSE;
    TMenuObj* owner = m;
    int index = int(m->Items.size());
    if (Flags & MF_BYPOSITION) {
        if (Position < m->Items.size()) index = int(Position);  // -1 or beyond: appended
    } else if (FindEntry(Menu, Position, MF_BYCOMMAND, &owner, &index) == nullptr) {
        return FALSE;
    }
    owner->Items.insert(owner->Items.begin() + index, std::move(e));
    return TRUE;
}

BOOL ModifyMenuA(HMENU Menu, UINT Position, UINT Flags, UINT_PTR NewItem, const char* Item) {
    TMenuEntry* e = FindEntry(Menu, Position, Flags & MF_BYPOSITION);
    if (e == nullptr) return FALSE;
    TMenuEntry n;
    if (!EntryFromFlags(Menu, Flags & ~MF_BYPOSITION, NewItem, Item, n)) return FALSE;
    n.CheckedBmp = e->CheckedBmp;
    n.UncheckedBmp = e->UncheckedBmp;
    *e = std::move(n);
    return TRUE;
}

namespace {
BOOL TakeOut(HMENU Menu, UINT Position, UINT Flags, bool Destroy) {
    TMenuObj* owner = nullptr;
    int index = -1;
    if (FindEntry(Menu, Position, Flags & MF_BYPOSITION, &owner, &index) == nullptr) return FALSE;
    HMENU sub = owner->Items[size_t(index)].Sub;
    owner->Items.erase(owner->Items.begin() + index);
    if (Destroy && sub != nullptr) DestroyMenu(sub);
    return TRUE;
}
}  // namespace

BOOL RemoveMenu(HMENU Menu, UINT Position, UINT Flags) { return TakeOut(Menu, Position, Flags, false); }
BOOL DeleteMenu(HMENU Menu, UINT Position, UINT Flags) { return TakeOut(Menu, Position, Flags, true); }

int GetMenuItemCount(HMENU Menu) {
    TMenuObj* m = M(Menu);
    return m != nullptr ? int(m->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU Menu, int Pos) {
    TMenuObj* m = M(Menu);
    if (m == nullptr || Pos < 0 || Pos >= int(m->Items.size()) || m->Items[size_t(Pos)].Sub != nullptr) return UINT(-1);
    return m->Items[size_t(Pos)].Id;
}

HMENU GetSubMenu(HMENU Menu, int Pos) {
    TMenuObj* m = M(Menu);
    if (m == nullptr || Pos < 0 || Pos >= int(m->Items.size())) return nullptr;
    HMENU s = m->Items[size_t(Pos)].Sub;
    return M(s) != nullptr ? s : nullptr;
}

UINT GetMenuState(HMENU Menu, UINT Id, UINT Flags) {
    TMenuEntry* e = FindEntry(Menu, Id, Flags & MF_BYPOSITION);
    if (e == nullptr) return UINT(-1);
    UINT r = e->State | (e->Type & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP | MFT_MENUBREAK | MFT_MENUBARBREAK));
    if (e->Sub != nullptr) r |= MF_POPUP | (UINT(std::max(GetMenuItemCount(e->Sub), 0)) << 8);
    return r;
}

int GetMenuStringA(HMENU Menu, UINT Item, char* String, int MaxCount, UINT Flags) {
    TMenuEntry* e = FindEntry(Menu, Item, Flags & MF_BYPOSITION);
    if (e == nullptr) return 0;
    if (String == nullptr || MaxCount <= 0) return int(e->Text.size());
    size_t n = std::min(e->Text.size(), size_t(MaxCount - 1));
    std::memcpy(String, e->Text.data(), n);
    String[n] = 0;
    return int(n);
}

std::string GetMenuStringStr(HMENU Menu, UINT Item, UINT Flags) {
    TMenuEntry* e = FindEntry(Menu, Item, Flags & MF_BYPOSITION);
    return e != nullptr ? e->Text : std::string();
}

DWORD CheckMenuItem(HMENU Menu, UINT Id, UINT Check) {
    TMenuEntry* e = FindEntry(Menu, Id, Check & MF_BYPOSITION);
    if (e == nullptr) return DWORD(-1);
    DWORD old = e->State & MF_CHECKED;
    e->State = (e->State & ~MF_CHECKED) | (Check & MF_CHECKED);
    return old;
}

UINT EnableMenuItem(HMENU Menu, UINT Id, UINT Enable) {
    TMenuEntry* e = FindEntry(Menu, Id, Enable & MF_BYPOSITION);
    if (e == nullptr) return UINT(-1);
    UINT old = e->State & (MF_GRAYED | MF_DISABLED);
    e->State = (e->State & ~(MF_GRAYED | MF_DISABLED)) | (Enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

BOOL CheckMenuRadioItem(HMENU Menu, UINT First, UINT Last, UINT Check, UINT Flags) {
    TMenuObj* owner = nullptr;
    int checkIndex = -1;
    if (FindEntry(Menu, Check, Flags & MF_BYPOSITION, &owner, &checkIndex) == nullptr) return FALSE;
    int a = -1, b = -1;
    TMenuObj* o1 = nullptr;
    TMenuObj* o2 = nullptr;
    if (FindEntry(Menu, First, Flags & MF_BYPOSITION, &o1, &a) == nullptr ||
        FindEntry(Menu, Last, Flags & MF_BYPOSITION, &o2, &b) == nullptr || o1 != owner || o2 != owner)
        return FALSE;
    if (a > b) std::swap(a, b);
    if (checkIndex < a || checkIndex > b) return FALSE;
    for (int i = a; i <= b; ++i) {
        TMenuEntry& e = owner->Items[size_t(i)];
        if (e.Sub != nullptr) continue;
        if (i == checkIndex) {
            e.State |= MF_CHECKED;
            e.Type |= MFT_RADIOCHECK;
        } else {
            e.State &= ~MF_CHECKED;
        }
    }
    return TRUE;
}

BOOL HiliteMenuItem(HWND Wnd, HMENU Menu, UINT Item, UINT Hilite) {
    TMenuEntry* e = FindEntry(Menu, Item, Hilite & MF_BYPOSITION);
    if (e == nullptr) return FALSE;
    e->State = (e->State & ~MF_HILITE) | (Hilite & MF_HILITE);
    if (IsWindow(Wnd) && GetMenu(Wnd) == Menu) RepaintBar(Wnd);
    return TRUE;
}

BOOL SetMenuDefaultItem(HMENU Menu, UINT Item, UINT ByPos) {
    TMenuObj* m = M(Menu);
    if (m == nullptr) return FALSE;
    TMenuEntry* target = nullptr;
    if (Item != UINT(-1)) {
        if (ByPos) target = Item < m->Items.size() ? &m->Items[Item] : nullptr;
        else
            for (TMenuEntry& e : m->Items)
                if (e.Sub == nullptr && e.Id == Item) target = &e;
        if (target == nullptr) return FALSE;
    }
    for (TMenuEntry& e : m->Items) e.State &= ~MF_DEFAULT;
    if (target != nullptr) target->State |= MF_DEFAULT;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU Menu, UINT ByPos, UINT Flags) {
    TMenuObj* m = M(Menu);
    if (m == nullptr) return UINT(-1);
    for (size_t i = 0; i < m->Items.size(); ++i) {
        const TMenuEntry& e = m->Items[i];
        if (!(e.State & MF_DEFAULT)) continue;
        if (e.Disabled() && !(Flags & GMDI_USEDISABLED)) return UINT(-1);
        if (e.Sub != nullptr && (Flags & GMDI_GOINTOPOPUPS)) {
            UINT inner = GetMenuDefaultItem(e.Sub, ByPos, Flags);
            if (inner != UINT(-1)) return inner;
        }
        return ByPos ? UINT(i) : e.Id;
    }
    return UINT(-1);
}

BOOL GetMenuItemInfoA(HMENU Menu, UINT Item, BOOL ByPosition, MENUITEMINFOA* Info) {
    if (Info == nullptr) return FALSE;
    TMenuEntry* e = FindEntry(Menu, Item, ByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (e == nullptr) return FALSE;
    UINT mask = Info->fMask;
    if (mask & (MIIM_FTYPE | MIIM_TYPE)) Info->fType = e->Type;
    if (mask & MIIM_STATE) Info->fState = e->State & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (mask & MIIM_ID) Info->wID = e->Id;
    if (mask & MIIM_SUBMENU) Info->hSubMenu = e->Sub;
    if (mask & MIIM_CHECKMARKS) {
        Info->hbmpChecked = e->CheckedBmp;
        Info->hbmpUnchecked = e->UncheckedBmp;
    }
    if (mask & MIIM_DATA) Info->dwItemData = e->Data;
    if (mask & MIIM_BITMAP) Info->hbmpItem = e->Bitmap;
    if ((mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(e->Type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)))) {
        if (Info->dwTypeData != nullptr && Info->cch > 0) {
            size_t n = std::min(e->Text.size(), size_t(Info->cch - 1));
            std::memcpy(Info->dwTypeData, e->Text.data(), n);
            Info->dwTypeData[n] = 0;
            Info->cch = UINT(n);
        } else {
            Info->cch = UINT(e->Text.size());
        }
    }
    return TRUE;
}

namespace {
bool ApplyInfo(HMENU Menu, TMenuEntry& E, const MENUITEMINFOA* Info) {
    UINT mask = Info->fMask;
    if (mask & MIIM_SUBMENU) {
        if (Info->hSubMenu != nullptr && (M(Info->hSubMenu) == nullptr || Reaches(Info->hSubMenu, Menu))) return false;
        E.Sub = Info->hSubMenu;
    }
    if (mask & (MIIM_FTYPE | MIIM_TYPE)) E.Type = Info->fType & ~UINT(MF_POPUP);
    if (mask & MIIM_STATE) E.State = Info->fState & (MF_GRAYED | MF_DISABLED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (mask & MIIM_ID) E.Id = Info->wID;
    if (mask & MIIM_CHECKMARKS) {
        E.CheckedBmp = Info->hbmpChecked;
        E.UncheckedBmp = Info->hbmpUnchecked;
    }
    if (mask & MIIM_DATA) E.Data = Info->dwItemData;
    if (mask & MIIM_BITMAP) E.Bitmap = Info->hbmpItem;
    if ((mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(Info->fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))))
        E.Text = Info->dwTypeData != nullptr ? Info->dwTypeData : "";
    if ((mask & MIIM_TYPE) && (Info->fType & MFT_BITMAP))
        E.Bitmap = reinterpret_cast<HBITMAP>(Info->dwTypeData);
    return true;
}
}  // namespace

BOOL InsertMenuItemA(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFOA* Info) {
    TMenuObj* m = M(Menu);
    if (m == nullptr || Info == nullptr) return FALSE;
    TMenuEntry e;
    if (!ApplyInfo(Menu, e, Info)) return FALSE;
    TMenuObj* owner = m;
    int index = int(m->Items.size());
    if (ByPosition) {
        if (Item < m->Items.size()) index = int(Item);
    } else if (FindEntry(Menu, Item, MF_BYCOMMAND, &owner, &index) == nullptr) {
        return FALSE;
    }
    owner->Items.insert(owner->Items.begin() + index, std::move(e));
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU Menu, UINT Item, BOOL ByPosition, const MENUITEMINFOA* Info) {
    if (Info == nullptr) return FALSE;
    TMenuEntry* e = FindEntry(Menu, Item, ByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (e == nullptr) return FALSE;
    TMenuEntry copy = *e;
    if (!ApplyInfo(Menu, copy, Info)) return FALSE;
    *e = std::move(copy);
    return TRUE;
}

BOOL GetMenuItemRect(HWND Wnd, HMENU Menu, UINT Item, RECT* Rect) {
    if (Rect == nullptr || M(Menu) == nullptr) return FALSE;
    if (gTracker != nullptr)
        for (const TLevel& l : gTracker->Levels)
            if (l.Menu == Menu && Item < l.Rects.size()) {
                *Rect = l.Rects[Item];
                return TRUE;
            }
    if (IsWindow(Wnd) && GetMenu(Wnd) == Menu) {
        TLevel bar = BarLevel(Wnd, Menu);
        if (Item < bar.Rects.size()) {
            *Rect = bar.Rects[Item];
            return TRUE;
        }
    }
    return FALSE;
}

BOOL DrawMenuBar(HWND Wnd) {
    if (!IsWindow(Wnd) || GetMenu(Wnd) == nullptr) return FALSE;
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    return TRUE;
}

BOOL TrackPopupMenuEx(HMENU Menu, UINT Flags, int X, int Y, HWND Owner, const TPMPARAMS* Params) {
    (void)Params;
    if (M(Menu) == nullptr || !IsWindow(Owner) || gTracker != nullptr) return FALSE;
    TTracker t;
    t.Owner = Owner;
    t.Flags = Flags;
    t.Notify = !(Flags & TPM_NONOTIFY);
    Begin(t, Menu);
    TTracker* previous = gTracker;
    gTracker = &t;
    bool opened = OpenPopupAt(t, Menu, X, Y, Flags, nullptr, false, 0);
    gTracker = previous;
    if (!opened) {
        if (t.Notify && IsWindow(Owner)) SendMessageA(Owner, WM_EXITMENULOOP, TRUE, 0);
        return FALSE;
    }
    bool chosen = Track(t, t.Levels[0].Wnd);
    if (Flags & TPM_RETURNCMD) return chosen ? BOOL(t.Command) : 0;
    if (chosen && IsWindow(Owner)) PostMessageA(Owner, WM_COMMAND, MAKEWPARAM(t.Command, 0), 0);
    return chosen ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int Reserved, HWND Owner, const RECT* Rect) {
    (void)Reserved;
    (void)Rect;
    return TrackPopupMenuEx(Menu, Flags, X, Y, Owner, nullptr);
}

BOOL EndMenu() {
    if (gTracker == nullptr) return FALSE;
    gTracker->Done = true;
    PostMessageA(nullptr, WM_NULL, 0, 0);
    return TRUE;
}

// ---------------------------------------------------------------------------
// The window layer's hooks
// ---------------------------------------------------------------------------

namespace win {

int MenuBarHeight(HWND Wnd, int Width) {
    // A handle that is no menu (or no longer one) still takes one empty line.
    HMENU menu = GetMenu(Wnd);
    return menu != nullptr ? LayoutBar(menu, Wnd, Width).Height : 0;
}

void PaintMenuBar(HWND Wnd, HDC Dc, const RECT& Bar) {
    HMENU menu = GetMenu(Wnd);
    FillRect(Dc, &Bar, GetSysColorBrush(COLOR_MENU));
    TMenuObj* m = M(menu);
    if (m == nullptr) return;
    int sel = -1;
    bool dropped = false;
    if (gTracker != nullptr && gTracker->BarMode && gTracker->Owner == Wnd && !gTracker->Levels.empty()) {
        sel = gTracker->Levels[0].Sel;
        dropped = gTracker->Levels.size() > 1;
    }
    TBarLayout b = LayoutBar(menu, Wnd, Bar.right - Bar.left);
    TMenuFont font(Dc, false);
    for (size_t i = 0; i < m->Items.size() && i < b.Rects.size(); ++i) {
        const TMenuEntry& e = m->Items[i];
        RECT r = b.Rects[i];
        OffsetRect(&r, Bar.left, Bar.top);
        bool selected = int(i) == sel || (e.State & MF_HILITE);
        if (e.OwnerDraw()) {
            PaintPopupItem(Dc, menu, int(i), e, r, selected, Wnd, TPopupLayout{});
            continue;
        }
        if (e.Separator()) continue;
        if (selected) FillRect(Dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        (void)dropped;
        DrawItemText(Dc, e.Text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, e.Disabled(), selected);
    }
}

void TrackMenuBarMouse(HWND Wnd, POINT Screen) {
    HMENU menu = GetMenu(Wnd);
    if (M(menu) == nullptr || gTracker != nullptr) return;
    TTracker t;
    t.Owner = Wnd;
    t.BarMode = true;
    t.Levels.push_back(BarLevel(Wnd, menu));
    size_t lv;
    int item;
    if (!HitTest(t, Screen, lv, item) || item < 0) return;
    Begin(t, menu);
    TTracker* previous = gTracker;
    gTracker = &t;
    Select(t, 0, item);
    OpenSelected(t, 0, false);
    gTracker = previous;
    Track(t, Wnd);
    FinishBar(t);
}

void TrackMenuBarKey(HWND Wnd, UINT Key) {
    HMENU menu = GetMenu(Wnd);
    TMenuObj* m = M(menu);
    if (m == nullptr || gTracker != nullptr) return;
    int item = -1;
    if (Key != 0) {
        char c = char(std::tolower(int(Key & 0xFF)));
        for (size_t i = 0; i < m->Items.size() && item < 0; ++i)
            if (!m->Items[i].Separator() && GetHotkey(m->Items[i].Text) == c) item = int(i);
        if (item < 0) {
            MessageBeep(0);
            return;
        }
    }
    TTracker t;
    t.Owner = Wnd;
    t.BarMode = true;
    t.Levels.push_back(BarLevel(Wnd, menu));
    Begin(t, menu);
    TTracker* previous = gTracker;
    gTracker = &t;
    if (item >= 0) {
        Select(t, 0, item);
        const TMenuEntry& e = m->Items[size_t(item)];
        if (e.Sub != nullptr)
            OpenSelected(t, 0, true);
        else if (!e.Disabled())
            Choose(t, e);
    } else {
        Select(t, 0, Step(t.Levels[0], -1, 1));
    }
    gTracker = previous;
    Track(t, Wnd);
    FinishBar(t);
}

}  // namespace win

}  // namespace host
