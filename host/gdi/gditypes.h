// The painter's value types and constants, with the operating system's own names and values.
#pragma once

#include <cstdint>

namespace host {

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using BOOL = int;
using COLORREF = uint32_t;  // 0x00BBGGRR
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

#define HOST_DECLARE_HANDLE(name) \
    struct name##__;              \
    using name = name##__*
HOST_DECLARE_HANDLE(HDC);
HOST_DECLARE_HANDLE(HBITMAP);
HOST_DECLARE_HANDLE(HPEN);
HOST_DECLARE_HANDLE(HBRUSH);
HOST_DECLARE_HANDLE(HFONT);
HOST_DECLARE_HANDLE(HRGN);
HOST_DECLARE_HANDLE(HPALETTE);
HOST_DECLARE_HANDLE(HICON);
HOST_DECLARE_HANDLE(HWND);
using HCURSOR = HICON;
using HGDIOBJ = void*;

struct POINT {
    LONG x = 0, y = 0;
    bool operator==(const POINT&) const = default;
};
struct SIZE {
    LONG cx = 0, cy = 0;
    bool operator==(const SIZE&) const = default;
};
struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const RECT&) const = default;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};
struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;  // hatch style, or the pattern bitmap for BS_PATTERN
};
constexpr int LF_FACESIZE = 32;
struct LOGFONTA {
    LONG lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 0;
    BYTE lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0, lfClipPrecision = 0,
         lfQuality = 0, lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTA;
struct TEXTMETRICA {
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth,
        tmWeight, tmOverhang, tmDigitizedAspectX, tmDigitizedAspectY;
    BYTE tmFirstChar, tmLastChar, tmDefaultChar, tmBreakChar, tmItalic, tmUnderlined, tmStruckOut, tmPitchAndFamily,
        tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;
struct BITMAP {
    LONG bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
    WORD bmPlanes = 0, bmBitsPixel = 0;
    void* bmBits = nullptr;
};
#pragma pack(push, 1)
struct BITMAPINFOHEADER {  // 40 bytes
    DWORD biSize = 40;
    LONG biWidth = 0, biHeight = 0;
    WORD biPlanes = 1, biBitCount = 0;
    DWORD biCompression = 0, biSizeImage = 0;
    LONG biXPelsPerMeter = 0, biYPelsPerMeter = 0;
    DWORD biClrUsed = 0, biClrImportant = 0;
};
struct RGBQUAD {
    BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];  // the colour table follows; callers allocate room for it
};
struct BITMAPFILEHEADER {  // 14 bytes
    WORD bfType = 0x4D42;
    DWORD bfSize = 0;
    WORD bfReserved1 = 0, bfReserved2 = 0;
    DWORD bfOffBits = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(BITMAPFILEHEADER) == 14);
struct PALETTEENTRY {
    BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
    WORD palVersion = 0x300, palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};
struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0, yHotspot = 0;
    HBITMAP hbmMask = nullptr, hbmColor = nullptr;
};

// Stock objects
inline constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
    HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
// GetObjectType
inline constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_METADC = 4, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8,
    OBJ_METAFILE = 9, OBJ_MEMDC = 10, OBJ_EXTPEN = 11, OBJ_ENHMETADC = 12, OBJ_ENHMETAFILE = 13;
// Pen styles
inline constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6;
// Brush styles and hatches
inline constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5;
inline constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5;
// Background modes, ROP2 codes, stretch modes, fill modes, map modes
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;
inline constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
inline constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
inline constexpr int ALTERNATE = 1, WINDING = 2;
inline constexpr int MM_TEXT = 1;
// Region results and combine modes
inline constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
inline constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
// Raster operations (ternary; the index byte is bits 16..23)
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
                MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
// Text alignment
inline constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
    TA_BASELINE = 24;
// ExtTextOut options
inline constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4;
// DrawText flags
inline constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;
// Font weights, charsets, pitch
inline constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500, FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
inline constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;
inline constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
// DrawEdge
inline constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3, BDR_INNER = 0xC, EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9,
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3, BF_TOPRIGHT = 0x6,
    BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_DIAGONAL = 0x10,
    BF_DIAGONAL_ENDTOPRIGHT = 0x16, BF_DIAGONAL_ENDTOPLEFT = 0x13, BF_DIAGONAL_ENDBOTTOMLEFT = 0x19,
    BF_DIAGONAL_ENDBOTTOMRIGHT = 0x1C, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000,
    BF_MONO = 0x8000;
// DrawFrameControl
inline constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
inline constexpr UINT DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2, DFCS_CAPTIONRESTORE = 0x3,
    DFCS_CAPTIONHELP = 0x4, DFCS_MENUARROW = 0x0, DFCS_MENUCHECK = 0x1, DFCS_MENUBULLET = 0x2,
    DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8, DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1,
    DFCS_BUTTONRADIOMASK = 0x2, DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10,
    DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;
// DrawState and DrawIconEx
inline constexpr UINT DST_COMPLEX = 0x0, DST_TEXT = 0x1, DST_PREFIXTEXT = 0x2, DST_ICON = 0x3, DST_BITMAP = 0x4, DSS_NORMAL = 0x0,
    DSS_UNION = 0x10, DSS_DISABLED = 0x20, DSS_MONO = 0x80, DSS_RIGHT = 0x8000;
inline constexpr UINT DI_MASK = 0x1, DI_IMAGE = 0x2, DI_NORMAL = 0x3, DI_COMPAT = 0x4, DI_DEFAULTSIZE = 0x8;
// DIBs
inline constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
inline constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
// GetDeviceCaps indexes
inline constexpr int DRIVERVERSION = 0, TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12,
    PLANES = 14, NUMBRUSHES = 16, NUMPENS = 18, NUMFONTS = 22, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88,
    LOGPIXELSY = 90, SIZEPALETTE = 104, NUMRESERVED = 106, COLORRES = 108;
inline constexpr int RC_BITBLT = 1, RC_PALETTE = 0x100, RC_STRETCHBLT = 0x800;

}  // namespace host
