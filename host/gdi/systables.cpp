// The system tables: colours and their brushes, metrics, the work area and non-client parameters.
#include <cstring>
#include <map>

#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/gditest.h"

namespace host {

using namespace gdi;

namespace {

// The classic grey scheme, as 0xRRGGBB (converted to COLORREF when read).
constexpr uint32_t kClassicRGB[COLOR_MAX] = {
    0xC8C8C8,  // COLOR_SCROLLBAR
    0x008080,  // COLOR_BACKGROUND
    0x000080,  // COLOR_ACTIVECAPTION
    0x808080,  // COLOR_INACTIVECAPTION
    0xC0C0C0,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x000000,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0xFFFFFF,  // COLOR_CAPTIONTEXT
    0xC0C0C0,  // COLOR_ACTIVEBORDER
    0xC0C0C0,  // COLOR_INACTIVEBORDER
    0x808080,  // COLOR_APPWORKSPACE
    0x000080,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xC0C0C0,  // COLOR_BTNFACE
    0x808080,  // COLOR_BTNSHADOW
    0x808080,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0xC0C0C0,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x000000,  // COLOR_3DDKSHADOW
    0xDFDFDF,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xFFFFE1,  // COLOR_INFOBK
    0xB5B5B5,  // 25: unused by the system; the gradient grey
    0x0000FF,  // COLOR_HOTLIGHT
    0x1084D0,  // COLOR_GRADIENTACTIVECAPTION
    0xB5B5B5,  // COLOR_GRADIENTINACTIVECAPTION
    0x000080,  // COLOR_MENUHILIGHT
    0xC0C0C0,  // COLOR_MENUBAR
};

constexpr COLORREF FromRGB(uint32_t V) { return ((V & 0xFF) << 16) | (V & 0xFF00) | ((V >> 16) & 0xFF); }

struct TSysTables {
    COLORREF Colors[COLOR_MAX];
    HGDIOBJ Brushes[COLOR_MAX] = {};
    std::map<int, int> Metrics;  // overrides
    bool HasWorkArea = false;
    RECT WorkArea;
    TSysColorChangeHook OnChange = nullptr;
    TSysTables() { ResetColors(); }
    void ResetColors() {
        for (int i = 0; i < COLOR_MAX; ++i) Colors[i] = FromRGB(kClassicRGB[i]);
    }
};

TSysTables& Sys() {
    static TSysTables t;
    return t;
}

RECT WorkArea() {
    TSysTables& t = Sys();
    if (t.HasWorkArea) return t.WorkArea;
    return RECT{0, 0, SystemMetric(SM_CXSCREEN), SystemMetric(SM_CYSCREEN)};
}

// The classic metrics of a 96-dpi screen; those that follow the screen or the work
// area are worked out from them.
int ClassicMetric(int Index) {
    switch (Index) {
    case SM_CXSCREEN: return 1024;
    case SM_CYSCREEN: return 768;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CXFULLSCREEN: {
        RECT w = WorkArea();
        return w.right - w.left;
    }
    case SM_CYFULLSCREEN: {
        RECT w = WorkArea();
        return w.bottom - w.top - SystemMetric(SM_CYCAPTION);
    }
    case SM_CYKANJIWINDOW: return 0;
    case SM_MOUSEPRESENT: return 1;
    case SM_DEBUG:
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_MENUDROPALIGNMENT: return 0;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_SECURE: return 0;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 14;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_ARRANGE: return 8;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMAXTRACK: return SystemMetric(SM_CXVIRTUALSCREEN) + 2 * SystemMetric(SM_CXFRAME) + 4;
    case SM_CYMAXTRACK: return SystemMetric(SM_CYVIRTUALSCREEN) + 2 * SystemMetric(SM_CYFRAME) + 4;
    case SM_CXMAXIMIZED: {
        RECT w = WorkArea();
        return w.right - w.left + 2 * SystemMetric(SM_CXFRAME);
    }
    case SM_CYMAXIMIZED: {
        RECT w = WorkArea();
        return w.bottom - w.top + 2 * SystemMetric(SM_CYFRAME);
    }
    case SM_NETWORK: return 3;
    case SM_CLEANBOOT: return 0;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_SHOWSOUNDS: return 0;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_SLOWMACHINE:
    case SM_MIDEASTENABLED: return 0;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVIRTUALSCREEN: return SystemMetric(SM_CXSCREEN);
    case SM_CYVIRTUALSCREEN: return SystemMetric(SM_CYSCREEN);
    case SM_CMONITORS: return 1;
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_IMMENABLED: return 0;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    default: return 0;
    }
}

LOGFONTA SansFont(LONG Weight) {
    LOGFONTA lf;
    lf.lfHeight = -11;  // 8 points at 96 dpi
    lf.lfWeight = Weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return lf;
}

}  // namespace

COLORREF gdi::SysColor(int Index) { return Index >= 0 && Index < COLOR_MAX ? Sys().Colors[Index] : 0; }

int gdi::SystemMetric(int Index) {
    const auto& m = Sys().Metrics;
    auto it = m.find(Index);
    return it != m.end() ? it->second : ClassicMetric(Index);
}

void gdi::UpdateSysColorBrushes() {
    TSysTables& t = Sys();
    for (int i = 0; i < COLOR_MAX; ++i)
        if (auto* b = Find<TBrushObj>(t.Brushes[i])) b->Color = t.Colors[i];
}

COLORREF GetSysColor(int Index) {
    TraceCall("GetSysColor", Index);
    return SysColor(Index);
}

BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Colors) {
    TraceCall("SetSysColors", Count);
    if (Count < 0 || (Count > 0 && (Indexes == nullptr || Colors == nullptr))) return FALSE;
    TSysTables& t = Sys();
    for (int i = 0; i < Count; ++i)
        if (Indexes[i] >= 0 && Indexes[i] < COLOR_MAX) t.Colors[Indexes[i]] = Colors[i] & 0xFFFFFF;
    UpdateSysColorBrushes();
    if (t.OnChange != nullptr) t.OnChange();
    return TRUE;
}

void ResetSysColors() {
    Sys().ResetColors();
    UpdateSysColorBrushes();
    if (Sys().OnChange != nullptr) Sys().OnChange();
}

void SetSysColorChangeHook(TSysColorChangeHook Hook) { Sys().OnChange = Hook; }

HBRUSH GetSysColorBrush(int Index) {
    TraceCall("GetSysColorBrush", Index);
    if (Index < 0 || Index >= COLOR_MAX) return nullptr;
    TSysTables& t = Sys();
    if (Find<TBrushObj>(t.Brushes[Index]) == nullptr) {
        auto b = std::make_unique<TBrushObj>();
        b->Style = BS_SOLID;
        b->Color = t.Colors[Index];
        b->Stock = true;
        t.Brushes[Index] = AddObject(std::move(b));
    }
    return static_cast<HBRUSH>(t.Brushes[Index]);
}

int GetSystemMetrics(int Index) {
    TraceCall("GetSystemMetrics", Index);
    return SystemMetric(Index);
}

void SetSystemMetric(int Index, int Value) { Sys().Metrics[Index] = Value; }

void ResetSystemMetrics() {
    Sys().Metrics.clear();
    Sys().HasWorkArea = false;
}

void SetWorkArea(const RECT& Area) {
    Sys().WorkArea = Area;
    Sys().HasWorkArea = true;
}

BOOL SystemParametersInfoA(UINT Action, UINT Param, void* PvParam, UINT WinIni) {
    TraceCall("SystemParametersInfoA", Action, Param, PvParam, WinIni);
    if (InjectedFault("SystemParametersInfoA")) return FALSE;
    switch (Action) {
    case SPI_GETWORKAREA: {
        if (PvParam == nullptr) return FALSE;
        *static_cast<RECT*>(PvParam) = WorkArea();
        return TRUE;
    }
    case SPI_GETNONCLIENTMETRICS: {
        auto* m = static_cast<NONCLIENTMETRICSA*>(PvParam);
        if (m == nullptr || m->cbSize < sizeof(NONCLIENTMETRICSA)) return FALSE;
        m->iBorderWidth = SystemMetric(SM_CXFRAME) - 3;
        m->iScrollWidth = SystemMetric(SM_CXVSCROLL);
        m->iScrollHeight = SystemMetric(SM_CYHSCROLL);
        m->iCaptionWidth = SystemMetric(SM_CXSIZE);
        m->iCaptionHeight = SystemMetric(SM_CYCAPTION) - 1;
        m->lfCaptionFont = SansFont(FW_BOLD);
        m->iSmCaptionWidth = SystemMetric(SM_CXSMSIZE);
        m->iSmCaptionHeight = SystemMetric(SM_CYSMCAPTION) - 1;
        m->lfSmCaptionFont = SansFont(FW_BOLD);
        m->iMenuWidth = SystemMetric(SM_CXMENUSIZE);
        m->iMenuHeight = SystemMetric(SM_CYMENU) - 1;
        m->lfMenuFont = SansFont(FW_NORMAL);
        m->lfStatusFont = SansFont(FW_NORMAL);
        m->lfMessageFont = SansFont(FW_NORMAL);
        return TRUE;
    }
    case SPI_GETICONTITLELOGFONT: {
        if (PvParam == nullptr || (Param != 0 && Param < sizeof(LOGFONTA))) return FALSE;
        *static_cast<LOGFONTA*>(PvParam) = SansFont(FW_NORMAL);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace host

namespace host::gditest {

void ResetSystemTables() {
    ResetSysColors();
    ResetSystemMetrics();
}

}  // namespace host::gditest
