// Graphics utility routines shared by the package's painting components: point and polygon rotation, 3-D frames, the expand box, screen queries, masks, grey scale and caption colours.
#include "frame/ryxutilg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"

namespace ryx {

using namespace host;

namespace {

// The header of a top-down 32-bit DIB (bytes B, G, R, x) of Width × Height.
BITMAPINFO Dib32Info(int Width, int Height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// ---- checked arithmetic ----

[[noreturn]] void RangeError(const char* What) {
    throw ERangeError(std::string("Range check error: ") + What + " does not fit in 32 bits");
}

int32_t Checked(int64_t V, const char* What) {
    if (V < std::numeric_limits<int32_t>::min() || V > std::numeric_limits<int32_t>::max()) RangeError(What);
    return static_cast<int32_t>(V);
}

// Rounds to the nearest integer, halves to the even neighbour, as the floating-point
// unit does by default; a value that is not a number or does not fit in 32 bits is a
// range error.
int32_t RoundChecked(double V, const char* What) {
    if (!std::isfinite(V)) RangeError(What);
    double r = std::round(V);  // halves away from zero
    if (std::fabs(V - std::trunc(V)) == 0.5) r = 2.0 * std::round(V / 2.0);
    if (r < double(std::numeric_limits<int32_t>::min()) || r > double(std::numeric_limits<int32_t>::max()))
        RangeError(What);
    return static_cast<int32_t>(r);
}

TPoint Rotated(double SinA, double CosA, const TPoint& Center, const TPoint& P, bool Win) {
    const double dx = double(int64_t(P.x) - Center.x);
    const double dy = double(int64_t(P.y) - Center.y);
    int64_t x, y;
    if (Win) {
        x = int64_t(Center.x) + RoundChecked(dx * CosA + dy * SinA, "rotated x");
        y = int64_t(Center.y) - RoundChecked(dx * SinA - dy * CosA, "rotated y");
    } else {
        x = int64_t(Center.x) + RoundChecked(dx * CosA - dy * SinA, "rotated x");
        y = int64_t(Center.y) + RoundChecked(dx * SinA + dy * CosA, "rotated y");
    }
    return TPoint{Checked(x, "rotated x"), Checked(y, "rotated y")};
}

// Rotates all points first and stores them after, so that a range error leaves the
// polygon as it was.
void RotatePoly(double SinA, double CosA, const TPoint& Center, std::span<TPoint> Points, bool Win) {
    std::vector<TPoint> out(Points.begin(), Points.end());
    for (TPoint& p : out)
        if (!(p == Center)) p = Rotated(SinA, CosA, Center, p, Win);
    std::copy(out.begin(), out.end(), Points.begin());
}

void RotateBounds(double SinA, double CosA, const TPoint& Center, TRect& R, bool Win) {
    TPoint pts[4];
    ryxSetRectPoints(R, pts);
    RotatePoly(SinA, CosA, Center, pts, Win);
    R = ryxGetPolygonBounds(pts);
}

// ---- frames ----

void Line(TCanvas* Canvas, int X0, int Y0, int X1, int Y1) {
    Canvas->MoveTo(X0, Y0);
    Canvas->LineTo(X1, Y1);
}

// Runs Ring once per ring as the framework's Frame3D does: Right and Bottom are first
// taken in by one (so they name the ring's last column and row), each ring is followed
// by InflateRect(R, -1, -1), and Right and Bottom are given back at the end. Rings
// that have turned inside out are not drawn.
template <class F>
void ForEachRing(TCanvas* Canvas, TRect& R, int Width, F&& Ring) {
    if (Canvas == nullptr) throw EInvalidOperation("A 3-D frame needs a canvas to draw on");
    Canvas->Pen()->SetWidth(1);
    --R.right;
    --R.bottom;
    for (; Width > 0; --Width) {
        if (R.left <= R.right && R.top <= R.bottom) Ring(R);
        InflateRect(&R, -1, -1);
    }
    ++R.right;
    ++R.bottom;
}

// ---- handles released on every way out ----

struct TOwnedBitmap {
    HBITMAP H = nullptr;
    explicit TOwnedBitmap(HBITMAP B) : H(B) {}
    TOwnedBitmap(const TOwnedBitmap&) = delete;
    TOwnedBitmap& operator=(const TOwnedBitmap&) = delete;
    ~TOwnedBitmap() {
        if (H != nullptr) DeleteObject(H);
    }
    HBITMAP Release() {
        HBITMAP b = H;
        H = nullptr;
        return b;
    }
};

// A memory DC with a bitmap selected into it; the bitmap is deselected and the DC
// deleted at the end.
struct TMemoryDC {
    HDC Dc = nullptr;
    HGDIOBJ Old = nullptr;
    explicit TMemoryDC(HBITMAP Bmp) {
        Dc = CreateCompatibleDC(nullptr);
        if (Dc == nullptr) throw EOutOfResources("Out of system resources: cannot create a device context");
        Old = SelectObject(Dc, Bmp);
    }
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    ~TMemoryDC() {
        if (Old != nullptr) SelectObject(Dc, Old);
        DeleteDC(Dc);
    }
};

// A new monochrome bitmap of the mask's size, all black.
HBITMAP NewBlackMask(const TPoint& Size) {
    HBITMAP b = CreateBitmap(Size.x, Size.y, 1, 1, nullptr);
    if (b == nullptr) throw EOutOfResources("Out of system resources: cannot create a mask bitmap");
    return b;
}

void CheckBitmaps(TBitmap* Mask, TBitmap* Source) {
    if (Mask == nullptr || Source == nullptr) throw EInvalidOperation("A mask needs a mask bitmap and a source bitmap");
}

// The pixel (0x00RRGGBB) that a colour gives on a 32-bit surface.
uint32_t PixelOf(TColor Color) {
    const uint32_t c = uint32_t(ColorToRGB(Color));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

// ---- points, polygons and rotation ----

void ryxOffsetPoint(TPoint& P, int DX, int DY) {
    const TPoint q{Checked(int64_t(P.x) + DX, "offset x"), Checked(int64_t(P.y) + DY, "offset y")};
    P = q;
}

void ryxOffsetPoints(std::span<TPoint> Points, int DX, int DY) {
    std::vector<TPoint> out(Points.begin(), Points.end());
    for (TPoint& p : out) ryxOffsetPoint(p, DX, DY);
    std::copy(out.begin(), out.end(), Points.begin());
}

void ryxSetRectPoints(const TRect& R, std::span<TPoint> Points) {
    // The four corners need four places; fewer would write past the caller's array.
    if (Points.size() < 4)
        throw ERangeError("Range check error: the corners of a rectangle need 4 points, the array holds " +
                          std::to_string(Points.size()));
    Points[0] = {R.left, R.top};
    Points[1] = {R.right, R.top};
    Points[2] = {R.right, R.bottom};
    Points[3] = {R.left, R.bottom};
}

TRect ryxGetPolygonBounds(std::span<const TPoint> Points) {
    // The bounds start from the first point, so an empty array has none to give.
    if (Points.empty()) throw ERangeError("Range check error: the bounds of a polygon need at least one point");
    TRect r{Points[0].x, Points[0].y, Points[0].x, Points[0].y};
    for (const TPoint& p : Points.subspan(1)) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

void ryxRotatePoint(double SinA, double CosA, const TPoint& Center, TPoint& P) {
    P = Rotated(SinA, CosA, Center, P, false);
}

void ryxRotateWinPoint(double SinA, double CosA, const TPoint& Center, TPoint& P) {
    P = Rotated(SinA, CosA, Center, P, true);
}

void ryxRotatePolygon(double SinA, double CosA, const TPoint& Center, std::span<TPoint> Points) {
    RotatePoly(SinA, CosA, Center, Points, false);
}

void ryxRotateWinPolygon(double SinA, double CosA, const TPoint& Center, std::span<TPoint> Points) {
    RotatePoly(SinA, CosA, Center, Points, true);
}

void ryxRotateRect(double SinA, double CosA, const TPoint& Center, const TRect& R, std::span<TPoint> Points) {
    ryxSetRectPoints(R, Points);
    RotatePoly(SinA, CosA, Center, Points.first(4), false);
}

void ryxRotateWinRect(double SinA, double CosA, const TPoint& Center, const TRect& R, std::span<TPoint> Points) {
    ryxSetRectPoints(R, Points);
    RotatePoly(SinA, CosA, Center, Points.first(4), true);
}

void ryxRotateRectBounds(double SinA, double CosA, const TPoint& Center, TRect& R) {
    RotateBounds(SinA, CosA, Center, R, false);
}

void ryxRotateWinRectBounds(double SinA, double CosA, const TPoint& Center, TRect& R) {
    RotateBounds(SinA, CosA, Center, R, true);
}

// ---- three-dimensional frames ----
// Within a ring (L, T, R, B name its first and last columns and rows) the top colour
// takes the left column and the top row, then the bottom colour the right column and
// the bottom row, which so take the top-right and bottom-left corners.

void ryxRoundFrame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width, int Radius) {
    ForEachRing(Canvas, R, Width, [&](const TRect& q) {
        const int l = q.left, t = q.top, r = q.right, b = q.bottom;
        // A radius larger than half the ring would make the corner arcs overlap.
        const int rr = std::max(0, std::min({Radius, (r - l) / 2, (b - t) / 2}));
        const int d = 2 * rr + 1;  // the extent of a corner circle's bounding box
        TPen* pen = Canvas->Pen();

        pen->SetColor(TopColor);
        Line(Canvas, l, b - rr, l, t + rr - 1);  // left, upwards
        Line(Canvas, l + rr, t, r - rr + 1, t);  // top, rightwards
        if (rr > 0) {
            // Arcs run counter-clockwise from the start radial to the end radial.
            Canvas->Arc(l, t, l + d, t + d, l + rr, t, l, t + rr);                  // top-left: top to left
            Canvas->Arc(r - d + 1, t, r + 1, t + d, r, t, r - rr, t);              // top-right: diagonal to top
            Canvas->Arc(l, b - d + 1, l + d, b + 1, l, b - rr, l, b);              // bottom-left: left to diagonal
        }
        pen->SetColor(BottomColor);
        Line(Canvas, r, t + rr, r, b - rr + 1);  // right, downwards
        Line(Canvas, r - rr, b, l + rr - 1, b);  // bottom, leftwards
        if (rr > 0) {
            Canvas->Arc(r - d + 1, b - d + 1, r + 1, b + 1, r - rr, b, r, b - rr);  // bottom-right: bottom to right
            Canvas->Arc(r - d + 1, t, r + 1, t + d, r, t + rr, r, t);              // top-right: right to diagonal
            Canvas->Arc(l, b - d + 1, l + d, b + 1, l, b, l + rr, b);              // bottom-left: diagonal to bottom
        }
    });
}

void ryxEllipseFrame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    ForEachRing(Canvas, R, Width, [&](const TRect& q) {
        const int l = q.left, t = q.top, r = q.right, b = q.bottom;
        // The ellipse fills the ring's box; the halves meet on the box's rising diagonal.
        Canvas->Pen()->SetColor(TopColor);
        Canvas->Arc(l, t, r + 1, b + 1, r, t, l, b);
        Canvas->Pen()->SetColor(BottomColor);
        Canvas->Arc(l, t, r + 1, b + 1, l, b, r, t);
    });
}

void ryxEdgeFrame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width, TBevelEdges Edges) {
    ForEachRing(Canvas, R, Width, [&](const TRect& q) {
        const int l = q.left, t = q.top, r = q.right, b = q.bottom;
        TPen* pen = Canvas->Pen();
        pen->SetColor(TopColor);
        if (Edges.Contains(beLeft)) Line(Canvas, l, b, l, t - 1);
        if (Edges.Contains(beTop)) Line(Canvas, l, t, r + 1, t);
        pen->SetColor(BottomColor);
        if (Edges.Contains(beRight)) Line(Canvas, r, t, r, b + 1);
        if (Edges.Contains(beBottom)) Line(Canvas, r, b, l - 1, b);
    });
}

void ryxDrawExpandBox(TCanvas* Canvas, const TRect& R, bool Expanded) {
    if (Canvas == nullptr) throw EInvalidOperation("The expand box needs a canvas to draw on");
    const int w = R.right - R.left, h = R.bottom - R.top;
    const int cx = R.left + w / 2, cy = R.top + h / 2;
    TRect box = R;
    DrawFrameControl(Canvas->Handle(), &box, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    InflateRect(&box, -(w / 4 - 1), -(h / 4 - 1));
    if (w % 2 == 0) ++box.right;
    if (h % 2 == 0) ++box.bottom;
    Canvas->Pen()->SetColor(clWindowFrame);
    Line(Canvas, box.left, cy, box.right, cy);
    if (!Expanded) Line(Canvas, cx, box.top, cx, box.bottom);
}

// ---- screen and system ----

int ryxScreenColorDepth() {
    HDC dc = GetScreenDC();
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseScreenDC(dc);
    return bits;
}

bool ryxScreenIsHighColor() { return ryxScreenColorDepth() > 8; }

bool ryxOSVerIsWin95() { return false; }

// ---- masks and colours ----

void ryxGenerateMaskBitmap(TBitmap* Mask, TBitmap* Source, const TPoint& Pos, std::span<const TColor> Colors,
                           const TPoint& Size) {
    CheckBitmaps(Mask, Source);
    if (Size.x <= 0 || Size.y <= 0) {
        Mask->SetHandle(nullptr);
        return;
    }
    TOwnedBitmap mask(NewBlackMask(Size));
    {
        TMemoryDC mem(mask.H);
        // Start from black, so that no colours (or a source that does not cover the
        // whole region) give black rather than whatever the bitmap held.
        PatBlt(mem.Dc, 0, 0, Size.x, Size.y, BLACKNESS);
        if (!Colors.empty()) {
            HDC src = Source->Canvas()->Handle();
            const COLORREF oldBk = GetBkColor(src);
            // Colour to monochrome: a source pixel equal to the source's background
            // colour gives white. One blit per colour, the later ones ORed in.
            bool first = true;
            for (TColor c : Colors) {
                SetBkColor(src, COLORREF(ColorToRGB(c)));
                BitBlt(mem.Dc, 0, 0, Size.x, Size.y, src, Pos.x, Pos.y, first ? SRCCOPY : SRCPAINT);
                first = false;
            }
            SetBkColor(src, oldBk);
        }
    }
    Mask->SetHandle(mask.Release());
}

void ryxGenerateMaskBitmapFromDIB(TBitmap* Mask, TBitmap* Source, const TPoint& Pos, std::span<const TColor> Colors,
                                  const TPoint& Size) {
    CheckBitmaps(Mask, Source);
    if (Size.x <= 0 || Size.y <= 0) {
        Mask->SetHandle(nullptr);
        return;
    }
    std::vector<uint32_t> wanted;
    wanted.reserve(Colors.size());
    for (TColor c : Colors) wanted.push_back(PixelOf(c));

    // The source rows the region covers, read as a top-down 32-bit DIB of the
    // bitmap's width. Rows and columns outside the source stay black, as the blits do.
    const int sw = Source->Width(), sh = Source->Height();
    const int64_t y0 = std::max<int64_t>(Pos.y, 0), y1 = std::min<int64_t>(int64_t(Pos.y) + Size.y, sh);
    const int lines = y1 > y0 ? int(y1 - y0) : 0;
    std::vector<uint32_t> pixels;
    if (lines > 0 && sw > 0 && !wanted.empty()) {
        pixels.resize(size_t(sw) * size_t(lines));
        BITMAPINFO info = Dib32Info(sw, sh);
        HDC src = Source->Canvas()->Handle();
        if (GetDIBits(src, Source->Handle(), UINT(y0), UINT(lines), pixels.data(), &info, DIB_RGB_COLORS) != lines)
            throw EInvalidGraphicOperation("Cannot read the pixels of the source bitmap");
    }

    // One bit per pixel, most significant first, rows padded to 4 bytes; 1 is white.
    const size_t stride = ((size_t(Size.x) + 31) / 32) * 4;
    std::vector<uint8_t> bits(stride * size_t(Size.y), 0);
    for (int64_t y = y0; !pixels.empty() && y < y0 + lines; ++y) {
        const uint32_t* row = pixels.data() + size_t(y - y0) * size_t(sw);
        uint8_t* out = bits.data() + size_t(y - Pos.y) * stride;
        const int64_t x0 = std::max<int64_t>(Pos.x, 0), x1 = std::min<int64_t>(int64_t(Pos.x) + Size.x, sw);
        for (int64_t sx = x0; sx < x1; ++sx) {
            const uint32_t p = row[sx] & 0xFFFFFF;
            if (std::find(wanted.begin(), wanted.end(), p) == wanted.end()) continue;
            const size_t x = size_t(sx - Pos.x);
            out[x >> 3] |= uint8_t(0x80u >> (x & 7));
        }
    }

    TOwnedBitmap mask(NewBlackMask(Size));
    {
        TMemoryDC mem(mask.H);
        // A 1-bit DIB with a two-entry colour table: 0 black, 1 white.
        struct {
            BITMAPINFOHEADER Header;
            RGBQUAD Colors[2];
        } info{};
        info.Header.biWidth = Size.x;
        info.Header.biHeight = -Size.y;
        info.Header.biPlanes = 1;
        info.Header.biBitCount = 1;
        info.Header.biCompression = BI_RGB;
        info.Header.biClrUsed = 2;
        info.Colors[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
        if (SetDIBits(mem.Dc, mask.H, 0, UINT(Size.y), bits.data(), reinterpret_cast<const BITMAPINFO*>(&info),
                      DIB_RGB_COLORS) != Size.y)
            throw EInvalidGraphicOperation("Cannot store the mask bits");
    }
    Mask->SetHandle(mask.Release());
}

void ryxReplaceBitmapColorsFromMask(TBitmap* Mask, TBitmap* Dest, const TPoint& Pos, TColor Color,
                                    const TPoint& Size) {
    if (Mask == nullptr || Dest == nullptr)
        throw EInvalidOperation("Replacing colours needs a mask bitmap and a destination bitmap");
    HDC dst = Dest->Canvas()->Handle();
    HDC msk = Mask->Canvas()->Handle();
    HBRUSH brush = CreateSolidBrush(COLORREF(ColorToRGB(Color)));
    if (brush == nullptr) throw EOutOfResources("Out of system resources: cannot create a brush");
    HGDIOBJ oldBrush = SelectObject(dst, brush);
    // Monochrome to colour: black gives the text colour, white the background; with
    // black text and a white background the mask's bits become all-zero or all-one
    // pixels, and 0x00E20746 (source ? pattern : destination) paints the brush where
    // the mask is white.
    const COLORREF oldText = SetTextColor(dst, 0x000000);
    const COLORREF oldBk = SetBkColor(dst, 0xFFFFFF);
    BitBlt(dst, Pos.x, Pos.y, Size.x, Size.y, msk, 0, 0, 0x00E20746);
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
    SelectObject(dst, oldBrush);
    DeleteObject(brush);
    // The canvas selected its own brush before; make it select it afresh.
    Dest->Canvas()->Refresh();
}

void ryxGrayScaleBitmap(TBitmap* Bitmap) {
    if (Bitmap == nullptr || Bitmap->Empty()) return;
    const int w = Bitmap->Width(), h = Bitmap->Height();
    // The whole image as a top-down 32-bit DIB (bytes B, G, R, x), converted in one pass.
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    BITMAPINFO info = Dib32Info(w, h);
    HDC dc = Bitmap->Canvas()->Handle();
    HBITMAP bmp = Bitmap->Handle();
    if (GetDIBits(dc, bmp, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != h)
        throw EInvalidGraphicOperation("Cannot read the pixels of the bitmap");
    for (uint32_t& p : pixels) {
        const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        // The luminance of the colour: every channel counts, not the red one alone, so
        // pure green and pure blue keep their brightness; exact in integers, rounded.
        const uint32_t l = (299 * r + 587 * g + 114 * b + 500) / 1000;
        p = l * 0x010101u;
    }
    if (SetDIBits(dc, bmp, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != h)
        throw EInvalidGraphicOperation("Cannot store the pixels of the bitmap");
}

std::unique_ptr<TBitmap> ryxCopyBitmapToDDB(TBitmap* Bitmap) {
    auto result = std::make_unique<TBitmap>();
    if (Bitmap == nullptr || Bitmap->Empty()) return result;
    const int w = Bitmap->Width(), h = Bitmap->Height();
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    BITMAPINFO info = Dib32Info(w, h);

    HDC screen = GetScreenDC();
    HBITMAP ddb = CreateCompatibleBitmap(screen, w, h);
    ReleaseScreenDC(screen);
    if (ddb == nullptr) throw EOutOfResources("Out of system resources: cannot create a bitmap");
    TOwnedBitmap owned(ddb);
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) throw EOutOfResources("Out of system resources: cannot create a device context");
    HPALETTE pal = Bitmap->Palette();
    HPALETTE oldPal = nullptr;
    if (pal != nullptr) {
        oldPal = SelectPalette(dc, pal, FALSE);
        RealizePalette(dc);
    }
    const bool ok = GetDIBits(dc, Bitmap->Handle(), 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) == h &&
                    SetDIBits(dc, ddb, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) == h;
    if (pal != nullptr) SelectPalette(dc, oldPal, TRUE);
    DeleteDC(dc);
    if (!ok) throw EInvalidGraphicOperation("Cannot copy the bitmap's pixels");
    result->SetHandle(owned.Release());
    if (pal != nullptr) result->SetPalette(ryxCopyPalette(pal));
    return result;
}

HPALETTE ryxCopyPalette(HPALETTE Palette) {
    if (Palette == nullptr) return nullptr;
    WORD count = 0;
    if (GetObjectA(Palette, sizeof count, &count) == 0 || count == 0) return nullptr;
    // LOGPALETTE holds one entry; the others follow it.
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = count;
    if (GetPaletteEntries(Palette, 0, count, lp->palPalEntry) != count) return nullptr;
    return CreatePalette(lp);
}

HBITMAP ryxLoadBitmapByName(const std::string& Name) {
    std::string res;
    for (char c : Name) {
        if ((c >= 'A' && c <= 'Z') || c == '_')
            res += c;
        else if (c >= 'a' && c <= 'z')
            res += char(c - 'a' + 'A');
    }
    if (res.empty() || FindResourceA(HInstance, res, RT_BITMAP) == 0) return nullptr;
    TBitmap bmp;
    try {
        bmp.LoadFromResourceName(HInstance, res);
    } catch (const EInvalidGraphic&) {
        return nullptr;
    } catch (const EResNotFound&) {
        return nullptr;
    }
    return bmp.ReleaseHandle();
}

TColor ryxLightenCaptionColor(TColor Color) {
    // System colours (the caption colours above all) are resolved to the scheme's
    // RGB value first; their raw low bytes are only the colour's index.
    const uint32_t c = uint32_t(ColorToRGB(Color));
    const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    auto rgb = [](uint32_t R, uint32_t G, uint32_t B) { return TColor(int32_t(R | (G << 8) | (B << 16))); };
    if (r == 0 && g == 0 && b == 128) return rgb(16, 132, 208);
    if (r == 128 && g == 128 && b == 128) return rgb(184, 180, 184);
    return rgb(r / 2 + 127, g / 2 + 127, b / 2 + 127);
}

}  // namespace ryx
