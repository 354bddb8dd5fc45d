// The painter's 3-D look: focus rectangles, DrawEdge rings and the frame controls (buttons, caption buttons, scroll arrows, menu glyphs).
#include <algorithm>
#include <cmath>

#include "host/gdi/draw_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"

namespace host::gdi {

using namespace drawing;

namespace {

// ---- drawing helpers in logical coordinates ----

// Solid one-colour drawing on a target: rectangles through a ROP2 code (the pens of
// edges) or copied (fills), and glyph bitmaps.
struct TPainter {
    TTarget& T;
    int Rop2 = R2_COPYPEN;

    // The clip's bounds in logical coordinates: per-pixel loops stay inside them.
    RECT Visible() const {
        const RECT b = T.Clip.Bounds();
        return RECT{b.left - T.Dx, b.top - T.Dy, b.right - T.Dx, b.bottom - T.Dy};
    }

    void Fill(int L, int Tp, int R, int B, COLORREF Color) const {
        if (L >= R || Tp >= B) return;
        const TBrushFill f = SolidFill(ColorToSurface(Color, T.Surface));
        const RECT s{Shift(L, T.Dx), Shift(Tp, T.Dy), Shift(R, T.Dx), Shift(B, T.Dy)};
        PatRect(T, s, Rop2ToRop3(Rop2), &f);
    }
    void Fill(const RECT& R, COLORREF Color) const { Fill(R.left, R.top, R.right, R.bottom, Color); }
    void SysFill(const RECT& R, int Index) const { Fill(R, SysColor(Index)); }
    // Horizontal and vertical runs: [X0, X1) on row Y, [Y0, Y1) on column X.
    void HLine(int X0, int X1, int Y, COLORREF Color) const { Fill(X0, Y, X1, Y + 1, Color); }
    void VLine(int X, int Y0, int Y1, COLORREF Color) const { Fill(X, Y0, X + 1, Y1, Color); }
    void Pixel(int X, int Y, COLORREF Color) const { Fill(X, Y, X + 1, Y + 1, Color); }
    // A glyph: rows of '#' for set pixels, each drawn as a Scale x Scale block.
    void Glyph(const char* const* Rows, int Count, int X, int Y, int Scale, COLORREF Color) const {
        for (int r = 0; r < Count; ++r) {
            const char* row = Rows[r];
            for (int c = 0; row[c] != '\0';) {
                if (row[c] != '#') {
                    ++c;
                    continue;
                }
                int e = c;
                while (row[e] == '#') ++e;
                Fill(X + c * Scale, Y + r * Scale, X + e * Scale, Y + (r + 1) * Scale, Color);
                c = e;
            }
        }
    }
};

// ---- DrawEdge ----

struct TRing {
    int TL = -1, BR = -1;  // system colour indexes; -1: no ring
    bool Present() const { return TL >= 0; }
};

// The colours of the outer and inner rings of an edge. When only an inner edge is
// asked for, it is drawn in the outer ring's place.
void EdgeRings(UINT Edge, UINT Flags, TRing& Outer, TRing& Inner) {
    const unsigned o = Edge & BDR_OUTER, i = (Edge & BDR_INNER) >> 2;
    Outer = Inner = TRing{};
    if (Flags & BF_MONO) {
        if (o != 0)
            Outer = TRing{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        else if (i != 0)
            Outer = TRing{COLOR_WINDOW, COLOR_WINDOW};
        if (o != 0 && i != 0) Inner = TRing{COLOR_WINDOW, COLOR_WINDOW};
        return;
    }
    if (Flags & BF_FLAT) {
        if (o != 0)
            Outer = TRing{COLOR_BTNSHADOW, COLOR_BTNSHADOW};
        else if (i != 0)
            Outer = TRing{COLOR_BTNFACE, COLOR_BTNFACE};
        if (o != 0 && i != 0) Inner = TRing{COLOR_BTNFACE, COLOR_BTNFACE};
        return;
    }
    const bool soft = (Flags & BF_SOFT) != 0;
    auto outerRing = [&](unsigned k) {
        if (k == 1) return soft ? TRing{COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW} : TRing{COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        if (k == 2) return soft ? TRing{COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT} : TRing{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
        return TRing{};
    };
    auto innerRing = [&](unsigned k) {
        if (k == 1) return soft ? TRing{COLOR_3DLIGHT, COLOR_BTNSHADOW} : TRing{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
        if (k == 2) return soft ? TRing{COLOR_BTNSHADOW, COLOR_3DLIGHT} : TRing{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
        return TRing{};
    };
    if (o == 3) return;  // raised and sunken at once: no edge
    if (o == 0) {
        Outer = innerRing(i);
        return;
    }
    Outer = outerRing(o);
    Inner = innerRing(i);
}

// One ring on the requested sides of R: the top-left colour on the top row and left
// column, then the bottom-right colour on the bottom row and right column, so the
// top-right and bottom-left corners take the bottom-right colour. R then shrinks by
// one on those sides.
void DrawRing(const TPainter& P, RECT& R, const TRing& Ring, UINT Flags) {
    if (!Ring.Present()) return;
    const COLORREF tl = SysColor(Ring.TL), br = SysColor(Ring.BR);
    if (Flags & BF_TOP) P.HLine(R.left, R.right, R.top, tl);
    if (Flags & BF_LEFT) P.VLine(R.left, R.top, R.bottom, tl);
    if (Flags & BF_BOTTOM) P.HLine(R.left, R.right, R.bottom - 1, br);
    if (Flags & BF_RIGHT) P.VLine(R.right - 1, R.top, R.bottom, br);
    if (Flags & BF_LEFT) ++R.left;
    if (Flags & BF_TOP) ++R.top;
    if (Flags & BF_RIGHT) --R.right;
    if (Flags & BF_BOTTOM) --R.bottom;
}

// A diagonal edge across the square at the corner where the line starts: the outer line
// on the diagonal, the inner one a pixel towards the body of the shape (the side the
// edge's light falls away from), the body filled with BF_MIDDLE.
void DrawDiagonal(const TPainter& P, const RECT& R, UINT Edge, UINT Flags) {
    TRing outer, inner;
    EdgeRings(Edge, Flags, outer, inner);
    const bool bottom = (Flags & BF_BOTTOM) != 0;  // bottom-right colours, else top-left ones
    const int w = R.right - R.left, h = R.bottom - R.top;
    const int n = std::min(w, h);
    if (n <= 0) return;
    // Start point, step per pixel, and which way the body lies across the line.
    int sx, sy, dx, dy, bodyDx;
    switch (Flags & (BF_RECT | BF_DIAGONAL)) {
    case BF_DIAGONAL_ENDTOPRIGHT:  // "/" from the bottom-left corner, body below-right
        sx = R.left, sy = R.bottom - 1, dx = 1, dy = -1, bodyDx = 1;
        break;
    case BF_DIAGONAL_ENDTOPLEFT:  // "\" from the bottom-right corner, body below-left
        sx = R.right - 1, sy = R.bottom - 1, dx = -1, dy = -1, bodyDx = -1;
        break;
    case BF_DIAGONAL_ENDBOTTOMRIGHT:  // "\" from the top-left corner, body above-right
        sx = R.left, sy = R.top, dx = 1, dy = 1, bodyDx = 1;
        break;
    default:  // BF_DIAGONAL_ENDBOTTOMLEFT and the rest: "/" from the top-right corner, body above-left
        sx = R.right - 1, sy = R.top, dx = -1, dy = 1, bodyDx = -1;
        break;
    }
    // Only the steps whose row is visible.
    const RECT vis = P.Visible();
    int kFrom = 0, kTo = n;  // [kFrom, kTo)
    if (dy > 0) {
        kFrom = std::max(kFrom, vis.top - sy);
        kTo = std::min(kTo, vis.bottom - sy);
    } else {
        kFrom = std::max(kFrom, sy - vis.bottom + 1);
        kTo = std::min(kTo, sy - vis.top + 1);
    }
    auto line = [&](const TRing& ring, int shift) {
        if (!ring.Present()) return;
        const COLORREF c = SysColor(bottom ? ring.BR : ring.TL);
        for (int k = kFrom; k < kTo; ++k) {
            const int x = sx + k * dx + shift * bodyDx;
            if (x >= R.left && x < R.right) P.Pixel(x, sy + k * dy, c);
        }
    };
    line(outer, 0);
    line(inner, 1);
    if (Flags & BF_MIDDLE) {
        const int skip = (outer.Present() ? 1 : 0) + (inner.Present() ? 1 : 0);
        const COLORREF face = SysColor((Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
        for (int k = kFrom; k < kTo; ++k) {
            const int y = sy + k * dy;
            const int x = sx + k * dx + skip * bodyDx;
            // From the line to the square's side the body lies on.
            if (bodyDx > 0)
                P.HLine(x, R.left + n, y, face);
            else
                P.HLine(R.right - n, x + 1, y, face);
        }
    }
}

BOOL DrawEdgeOn(TTarget& T, RECT* R, UINT Edge, UINT Flags) {
    TPainter p{T, T.DC->A.Rop2};
    if (Flags & BF_DIAGONAL) {
        DrawDiagonal(p, Sane(*R), Edge, Flags);
        return TRUE;
    }
    TRing outer, inner;
    EdgeRings(Edge, Flags, outer, inner);
    RECT r = Sane(*R);
    DrawRing(p, r, outer, Flags);
    DrawRing(p, r, inner, Flags);
    if (Flags & BF_MIDDLE) {
        TPainter fill{T, R2_COPYPEN};
        fill.SysFill(r, (Flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    }
    if (Flags & BF_ADJUST) {
        const int rings = (outer.Present() ? 1 : 0) + (inner.Present() ? 1 : 0);
        if (Flags & BF_LEFT) R->left += rings;
        if (Flags & BF_TOP) R->top += rings;
        if (Flags & BF_RIGHT) R->right -= rings;
        if (Flags & BF_BOTTOM) R->bottom -= rings;
    }
    return TRUE;
}

// ---- frame controls ----

// The largest square centred in R.
RECT SquareIn(const RECT& R) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    RECT s = R;
    if (w < h) {
        s.top += (h - w) / 2;
        s.bottom = s.top + w;
    } else if (w > h) {
        s.left += (w - h) / 2;
        s.right = s.left + h;
    }
    return s;
}

// A checked push button's face: button face dithered with the highlight colour.
void CheckedFace(const TPainter& P, const RECT& R) {
    if (R.left >= R.right || R.top >= R.bottom) return;
    // A 2 x 2 tile laid from logical (0, 0): highlight where x + y is even.
    TBrushFill tile;
    tile.Null = false;
    tile.W = tile.H = 2;
    tile.OrgX = P.T.Dx;
    tile.OrgY = P.T.Dy;
    const uint32_t hi = ColorToSurface(SysColor(COLOR_BTNHIGHLIGHT), P.T.Surface);
    const uint32_t face = ColorToSurface(SysColor(COLOR_BTNFACE), P.T.Surface);
    tile.Tile = {hi, face, face, hi};
    const RECT s{Shift(R.left, P.T.Dx), Shift(R.top, P.T.Dy), Shift(R.right, P.T.Dx), Shift(R.bottom, P.T.Dy)};
    PatRect(P.T, s, 0xF0, &tile);
}

// The face of a push button, caption button or scroll arrow; returns the area inside
// its edges.
RECT PushFace(TTarget& T, const RECT& R, UINT State) {
    TPainter p{T, R2_COPYPEN};
    RECT inside = R;
    const UINT edge = (State & (DFCS_PUSHED | DFCS_CHECKED | DFCS_FLAT)) ? EDGE_SUNKEN : EDGE_RAISED;
    UINT flags = BF_RECT | BF_ADJUST;
    if (State & DFCS_MONO)
        flags |= BF_MONO;
    else
        flags |= BF_SOFT | ((State & DFCS_FLAT) ? UINT(BF_FLAT) : 0u);
    DrawEdgeOn(T, &inside, edge, flags);
    if ((State & DFCS_CHECKED) && !(State & DFCS_MONO))
        CheckedFace(p, inside);
    else
        p.SysFill(inside, COLOR_BTNFACE);
    return inside;
}

// Draws a glyph in the state's colours: embossed (highlight one pixel down and right,
// then shadow) when inactive, else in Color.
void StateGlyph(const TPainter& P, const char* const* Rows, int Count, int X, int Y, int Scale, UINT State,
                COLORREF Color) {
    if (State & DFCS_INACTIVE) {
        P.Glyph(Rows, Count, X + 1, Y + 1, Scale, SysColor(COLOR_BTNHIGHLIGHT));
        P.Glyph(Rows, Count, X, Y, Scale, SysColor(COLOR_BTNSHADOW));
    } else {
        P.Glyph(Rows, Count, X, Y, Scale, Color);
    }
}

// Caption glyphs, drawn on a button of about 16 x 14 pixels at scale 1.
const char* const kClose[] = {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"};
const char* const kMin[] = {"......", "......", "......", "......", "......", "######", "######"};
const char* const kMax[] = {"#########", "#########", "#.......#", "#.......#", "#.......#",
                            "#.......#", "#.......#", "#.......#", "#########"};
const char* const kRestore[] = {"..######", "..######", "..#....#", "######.#", "######.#",
                                "#....###", "#....#..", "#....#..", "######.."};
const char* const kHelp[] = {"..####..", ".##..##.", ".....##.", "....##..", "...##...",
                             "...##...", "........", "...##...", "...##..."};

BOOL CaptionControl(TTarget& T, RECT* R, UINT State) {
    PushFace(T, *R, State);
    const RECT sq = SquareIn(*R);
    const int side = std::min(sq.right - sq.left, sq.bottom - sq.top);
    const int scale = std::max(1, side / 16);
    const char* const* rows = kClose;
    int count = 7;
    switch (State & 0xFF) {
    case DFCS_CAPTIONCLOSE: rows = kClose, count = 7; break;
    case DFCS_CAPTIONMIN: rows = kMin, count = 7; break;
    case DFCS_CAPTIONMAX: rows = kMax, count = 9; break;
    case DFCS_CAPTIONRESTORE: rows = kRestore, count = 9; break;
    case DFCS_CAPTIONHELP: rows = kHelp, count = 9; break;
    default: return FALSE;
    }
    const int gw = int(std::char_traits<char>::length(rows[0])) * scale, gh = count * scale;
    int x = R->left + (R->right - R->left - gw) / 2, y = R->top + (R->bottom - R->top - gh) / 2;
    if (State & DFCS_PUSHED) ++x, ++y;
    StateGlyph(TPainter{T, R2_COPYPEN}, rows, count, x, y, scale, State, SysColor(COLOR_BTNTEXT));
    return TRUE;
}

// A solid triangle pointing Dir (0 up, 1 down, 2 left, 3 right) with its tip row or
// column at (X, Y) being one pixel, Size rows (columns) deep.
void Arrow(const TPainter& P, int Dir, int X, int Y, int Size, COLORREF Color) {
    Size = std::min(Size, 4096);
    for (int k = 0; k < Size; ++k) {
        switch (Dir) {
        case 0: P.HLine(X - k, X + k + 1, Y + k, Color); break;
        case 1: P.HLine(X - k, X + k + 1, Y - k, Color); break;
        case 2: P.VLine(X + k, Y - k, Y + k + 1, Color); break;
        default: P.VLine(X - k, Y - k, Y + k + 1, Color); break;
        }
    }
}

void SizeGrip(const TPainter& P, const RECT& R) {
    P.SysFill(R, COLOR_BTNFACE);
    const COLORREF hi = SysColor(COLOR_BTNHIGHLIGHT), sh = SysColor(COLOR_BTNSHADOW);
    const int side = std::min({R.right - R.left, R.bottom - R.top, 12});
    // Three ridges along the bottom-right corner: two shadow lines under a highlight.
    for (int y = R.bottom - side; y < R.bottom; ++y)
        for (int x = R.right - side; x < R.right; ++x) {
            const int e = (R.right - 1 - x) + (R.bottom - 1 - y);
            if (e == 0 || e > 11) continue;
            const int m = e % 4;
            if (m == 1 || m == 2)
                P.Pixel(x, y, sh);
            else if (m == 3)
                P.Pixel(x, y, hi);
        }
}

BOOL ScrollControl(TTarget& T, RECT* R, UINT State) {
    const UINT kind = State & 0xFF;
    TPainter p{T, R2_COPYPEN};
    if (kind == DFCS_SCROLLSIZEGRIP) {
        SizeGrip(p, *R);
        return TRUE;
    }
    int dir;
    switch (kind) {
    case DFCS_SCROLLUP: dir = 0; break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX: dir = 1; break;
    case DFCS_SCROLLLEFT: dir = 2; break;
    case DFCS_SCROLLRIGHT: dir = 3; break;
    default: return FALSE;
    }
    if ((State & DFCS_PUSHED) && !(State & DFCS_MONO)) {
        // A pressed arrow button: a flat shadow frame around the face.
        RECT inside = *R;
        DrawEdgeOn(T, &inside, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_ADJUST);
        p.SysFill(inside, COLOR_BTNFACE);
    } else {
        PushFace(T, *R, State & ~DFCS_PUSHED);
    }
    const RECT sq = SquareIn(*R);
    const int side = sq.right - sq.left;
    const int size = std::max(1, (side + 1) / 4);  // 4 rows deep on a 16-pixel button
    int cx = (R->left + R->right - 1) / 2, cy = (R->top + R->bottom - 1) / 2;
    if (State & DFCS_PUSHED) ++cx, ++cy;
    // Put the triangle's middle on the centre.
    int x = cx, y = cy;
    switch (dir) {
    case 0: y = cy - (size - 1) / 2; break;
    case 1: y = cy + size / 2; break;
    case 2: x = cx - (size - 1) / 2; break;
    default: x = cx + size / 2; break;
    }
    if (State & DFCS_INACTIVE) {
        Arrow(p, dir, x + 1, y + 1, size, SysColor(COLOR_BTNHIGHLIGHT));
        Arrow(p, dir, x, y, size, SysColor(COLOR_BTNSHADOW));
    } else {
        Arrow(p, dir, x, y, size, SysColor(COLOR_BTNTEXT));
    }
    return TRUE;
}

// The check mark: seven columns of three pixels, down for three and up for four.
void CheckMark(const TPainter& P, int X, int Y, COLORREF Color) {
    for (int k = 0; k < 7; ++k) {
        const int top = Y + (k < 3 ? 2 + k : 6 - k);
        P.VLine(X + k, top, top + 3, Color);
    }
}

BOOL CheckBox(TTarget& T, RECT* R, UINT State) {
    TPainter p{T, R2_COPYPEN};
    RECT box = SquareIn(*R);
    UINT flags = BF_RECT | BF_ADJUST;
    if (State & DFCS_FLAT)
        flags |= BF_FLAT;
    else if (State & DFCS_MONO)
        flags |= BF_MONO;
    DrawEdgeOn(T, &box, EDGE_SUNKEN, flags);
    const bool threeState = (State & DFCS_BUTTON3STATE) != 0;
    if (State & (DFCS_INACTIVE | DFCS_PUSHED))
        p.SysFill(box, COLOR_BTNFACE);
    else if (threeState && (State & DFCS_CHECKED))
        CheckedFace(p, box);
    else
        p.SysFill(box, COLOR_WINDOW);
    if (State & DFCS_CHECKED) {
        const int color = ((State & DFCS_INACTIVE) || threeState) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        CheckMark(p, box.left + 1, box.top + 1, SysColor(color));
    }
    return TRUE;
}

// Spans of the filled circle inscribed in the square S (logical coordinates), for the
// visible rows and one either side; Rows[i] is row Y0 + i.
struct TDisc {
    int Y0 = 0;
    std::vector<TRowSpan> Rows;
};
TDisc Disc(const TPainter& P, const RECT& S) {
    const RECT vis = P.Visible();
    TDisc d;
    d.Y0 = std::max(S.top, vis.top) - 1;
    const int y1 = std::min(S.bottom, vis.bottom) + 1;
    RoundBoxRows(S.left, S.top, S.right, S.bottom, (S.right - S.left) / 2.0, (S.bottom - S.top) / 2.0, d.Y0,
                 std::max(d.Y0, y1), std::max(S.left, vis.left) - 1, std::min(S.right, vis.right) + 1, d.Rows);
    return d;
}

BOOL RadioButton(TTarget& T, RECT* R, UINT State) {
    TPainter p{T, R2_COPYPEN};
    const RECT sq = SquareIn(*R);
    const int side = sq.right - sq.left;
    if (side <= 0) return TRUE;
    const UINT kind = State & 0xFF;
    if (kind & DFCS_BUTTONRADIOMASK) {
        // The mask: black where the button is, white around it.
        p.Fill(sq, RGB(255, 255, 255));
        const TDisc disc = Disc(p, sq);
        for (size_t i = 1; i + 1 < disc.Rows.size(); ++i)
            if (!disc.Rows[i].Empty()) p.HLine(disc.Rows[i].X0, disc.Rows[i].X1, disc.Y0 + int(i), RGB(0, 0, 0));
        return TRUE;
    }
    if (kind & DFCS_BUTTONRADIOIMAGE) p.Fill(sq, RGB(0, 0, 0));
    // Two rings, split along the diagonal from bottom-left to top-right: the upper-left
    // half in the sunken edge's top-left colours, the rest in its bottom-right ones.
    int outerTL = COLOR_BTNSHADOW, outerBR = COLOR_BTNHIGHLIGHT, innerTL = COLOR_3DDKSHADOW,
        innerBR = COLOR_3DLIGHT;
    if (State & DFCS_MONO) {
        outerTL = outerBR = COLOR_WINDOWFRAME;
        innerTL = innerBR = COLOR_WINDOW;
    } else if (State & DFCS_FLAT) {
        outerTL = outerBR = COLOR_BTNSHADOW;
        innerTL = innerBR = COLOR_BTNFACE;
    }
    const int face = (State & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW;
    auto ring = [&](const RECT& s, int tl, int br, bool fillInside) {
        const TDisc disc = Disc(p, s);
        std::vector<TSpan> outline, inside;
        SplitOutline(disc.Rows, disc.Y0, &outline, &inside);
        for (const TSpan& sp : outline)
            for (int x = sp.X0; x < sp.X1; ++x) {
                const bool upperLeft = (x - s.left) + (sp.Y - s.top) < (s.right - s.left) - 1;
                p.Pixel(x, sp.Y, SysColor(upperLeft ? tl : br));
            }
        if (fillInside)
            for (const TSpan& sp : inside) p.HLine(sp.X0, sp.X1, sp.Y, SysColor(face));
    };
    ring(sq, outerTL, outerBR, false);
    if (side > 2) ring(RECT{sq.left + 1, sq.top + 1, sq.right - 1, sq.bottom - 1}, innerTL, innerBR, true);
    if (State & DFCS_CHECKED) {
        const int inset = std::max(1, side / 3);
        const RECT dot{sq.left + inset, sq.top + inset, sq.right - inset, sq.bottom - inset};
        const TDisc disc = Disc(p, dot);
        const COLORREF c = SysColor((State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
        for (size_t i = 1; i + 1 < disc.Rows.size(); ++i)
            if (!disc.Rows[i].Empty()) p.HLine(disc.Rows[i].X0, disc.Rows[i].X1, disc.Y0 + int(i), c);
    }
    return TRUE;
}

BOOL ButtonControl(TTarget& T, RECT* R, UINT State) {
    const UINT kind = State & 0xFF;
    if (kind & DFCS_BUTTONPUSH) {
        PushFace(T, *R, State);
        return TRUE;
    }
    if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) return RadioButton(T, R, State);
    return CheckBox(T, R, State);
}

// Menu glyphs are masks: black on white.
const char* const kMenuArrow[] = {"#...", "##..", "###.", "####", "###.", "##..", "#..."};
const char* const kMenuBullet[] = {".##.", "####", "####", ".##."};

BOOL MenuControl(TTarget& T, RECT* R, UINT State) {
    TPainter p{T, R2_COPYPEN};
    p.Fill(*R, RGB(255, 255, 255));
    const int w = R->right - R->left, h = R->bottom - R->top;
    switch (State & 0xFF) {
    case DFCS_MENUARROW: p.Glyph(kMenuArrow, 7, R->left + (w - 4) / 2, R->top + (h - 7) / 2, 1, RGB(0, 0, 0)); break;
    case DFCS_MENUCHECK: CheckMark(p, R->left + (w - 7) / 2, R->top + (h - 7) / 2 - 2, RGB(0, 0, 0)); break;
    case DFCS_MENUBULLET: p.Glyph(kMenuBullet, 4, R->left + (w - 4) / 2, R->top + (h - 4) / 2, 1, RGB(0, 0, 0)); break;
    default: return FALSE;
    }
    return TRUE;
}

}  // namespace

}  // namespace host::gdi

namespace host {

using namespace gdi;
using namespace gdi::drawing;

BOOL DrawFocusRect(HDC Dc, const RECT* R) {
    TraceCall("DrawFocusRect", Dc, R);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return FALSE;
    if (R->right <= R->left || R->bottom <= R->top) return TRUE;
    // Every other pixel of the perimeter, starting with the corner, is XORed with the
    // background colour and the others with the text colour (a checked pattern laid
    // on the rectangle's corner, inverted onto the destination).
    const uint32_t dot = ColorToSurface(T.DC->A.BkColor, T.Surface);
    const uint32_t gap = ColorToSurface(T.DC->A.TextColor, T.Surface);
    TPlotter plot(T, R2_XORPEN);
    const int64_t l = R->left, t = R->top, r = int64_t(R->right) - 1, b = int64_t(R->bottom) - 1;
    // Only the visible stretch of each side is walked.
    const RECT box = plot.Box();
    const int64_t xFrom = std::max<int64_t>(l, int64_t(box.left) - T.Dx);
    const int64_t xTo = std::min<int64_t>(r, int64_t(box.right) - 1 - T.Dx);
    const int64_t yFrom = std::max<int64_t>(t + 1, int64_t(box.top) - T.Dy);
    const int64_t yTo = std::min<int64_t>(b - 1, int64_t(box.bottom) - 1 - T.Dy);
    auto at = [&](int64_t x, int64_t y) {
        plot.Plot(Shift(x, T.Dx), Shift(y, T.Dy), (((x - l) + (y - t)) & 1) == 0 ? dot : gap);
    };
    for (int64_t x = xFrom; x <= xTo; ++x) at(x, t);
    if (b > t)
        for (int64_t x = xFrom; x <= xTo; ++x) at(x, b);
    for (int64_t y = yFrom; y <= yTo; ++y) {
        at(l, y);
        if (r > l) at(r, y);
    }
    return TRUE;
}

BOOL DrawEdge(HDC Dc, RECT* R, UINT Edge, UINT Flags) {
    TraceCall("DrawEdge", Dc, R, Edge, Flags);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return FALSE;
    return DrawEdgeOn(T, R, Edge, Flags);
}

BOOL DrawFrameControl(HDC Dc, RECT* R, UINT Type, UINT State) {
    TraceCall("DrawFrameControl", Dc, R, Type, State);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return FALSE;
    RECT work = Sane(*R);
    BOOL ok = FALSE;
    switch (Type) {
    case DFC_BUTTON: ok = ButtonControl(T, &work, State); break;
    case DFC_CAPTION: ok = CaptionControl(T, &work, State); break;
    case DFC_SCROLL: ok = ScrollControl(T, &work, State); break;
    case DFC_MENU: ok = MenuControl(T, &work, State); break;
    default: return FALSE;
    }
    // A push button gives back the area inside its frame.
    if (ok && Type == DFC_BUTTON && (State & DFCS_BUTTONPUSH) && (State & DFCS_ADJUSTRECT)) InflateRect(R, -2, -2);
    return ok;
}

}  // namespace host
