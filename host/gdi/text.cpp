// Text on device contexts: TextOut, ExtTextOut, DrawText, extents and metrics, drawn with FreeType faces.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "host/gdi/fonts.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"

namespace host {

using gdi::TFontFace;
using gdi::TGlyph;

namespace {

// The font a DC draws with: its selected font realised, or the default face.
struct TFontRef {
    TFontFace* Face = nullptr;
    const LOGFONTA* Log = nullptr;
};

bool DCFont(gdi::TDCObj* Dc, TFontRef& R) {
    if (gdi::TFontObj* F = gdi::Find<gdi::TFontObj>(Dc->A.Font)) {
        if (!F->Face) F->Face = gdi::RealiseFont(F->Log);
        if (!F->Face) return false;
        R.Face = F->Face.get();
        R.Log = &F->Log;
        return true;
    }
    static const std::shared_ptr<TFontFace> Default = gdi::RealiseFont(gdi::DefaultLogFont());
    if (!Default) return false;
    R.Face = Default.get();
    R.Log = &gdi::DefaultLogFont();
    return true;
}

// A run of text laid out on one line, in run coordinates: x from the start of the
// run, y from the top of the character cell (the baseline at the face's ascent).
struct TPlaced {
    const TGlyph* G;
    int X;
};
struct TRun {
    std::vector<TPlaced> Glyphs;
    int Width = 0;               // the advance of the whole run
    int MarkFrom = 0, MarkTo = 0;  // an accelerator underline over [MarkFrom, MarkTo)
    bool Ink = true;             // glyphs and the font's underline and strike-out lines
};

// The rectangles of a region that meet R (surface coordinates), clipped to R.
void ClipRects(const TRegion& Clip, const RECT& R, std::vector<RECT>& Out) {
    Out.clear();
    if (R.left >= R.right || R.top >= R.bottom) return;
    int N = 0;
    const pixman_box32_t* B = pixman_region32_rectangles(const_cast<pixman_region32_t*>(Clip.Raw()), &N);
    for (int i = 0; i < N; ++i) {
        if (B[i].y1 >= R.bottom) break;  // bands are sorted top to bottom
        RECT C{std::max<LONG>(B[i].x1, R.left), std::max<LONG>(B[i].y1, R.top), std::min<LONG>(B[i].x2, R.right),
               std::min<LONG>(B[i].y2, R.bottom)};
        if (C.left < C.right && C.top < C.bottom) Out.push_back(C);
    }
}

void FillSurfaceRect(gdi::TBitmapObj* S, const TRegion& Clip, const RECT& R, uint32_t Pixel) {
    std::vector<RECT> Rects;
    ClipRects(Clip, R, Rects);
    for (const RECT& C : Rects)
        for (int y = C.top; y < C.bottom; ++y) std::fill(S->Row(y) + C.left, S->Row(y) + C.right, Pixel);
}

// Paints a run. (RefX, RefY) is the reference point on the surface and (URef, VRef)
// the point of the run that goes there; the escapement (tenths of a degree) turns the
// run counter-clockwise about it: (u, v) -> (x + u cos + v sin, y - u sin + v cos).
// Opaque fills the character cells with Bg. Only pixels inside Clip change.
void PaintRun(gdi::TBitmapObj* S, const TRegion& Clip, TFontFace& F, const LOGFONTA& Log, const TRun& Run, int RefX,
              int RefY, int URef, int VRef, bool Opaque, uint32_t Fg, uint32_t Bg) {
    const int H = F.Height(), W = Run.Width;
    // The mask's extent: the cells, the glyphs' ink (which may overhang) and the lines.
    int X0 = 0, Y0 = 0, X1 = std::max(W, 0), Y1 = H;
    bool Any = Opaque && W > 0;
    if (Run.Ink) {
        for (const TPlaced& P : Run.Glyphs) {
            if (P.G->Width == 0 || P.G->Height == 0) continue;
            const int Gx = P.X + P.G->Left, Gy = F.Ascent() - P.G->Top;
            X0 = std::min(X0, Gx), Y0 = std::min(Y0, Gy);
            X1 = std::max(X1, Gx + P.G->Width), Y1 = std::max(Y1, Gy + P.G->Height);
            Any = true;
        }
        if ((Log.lfUnderline || Log.lfStrikeOut) && W > 0) Any = true;
    }
    if (Run.MarkTo > Run.MarkFrom) {
        X0 = std::min(X0, Run.MarkFrom), X1 = std::max(X1, Run.MarkTo);
        Any = true;
    }
    if (!Any) return;
    const int MW = X1 - X0, MH = Y1 - Y0;
    // Bit 1: inside a cell (background); bit 2: ink (text colour).
    thread_local std::vector<uint8_t> Mask;
    Mask.assign(size_t(MW) * size_t(MH), 0);
    auto At = [&](int U, int V) -> uint8_t* { return Mask.data() + size_t(V - Y0) * size_t(MW) + size_t(U - X0); };
    auto Band = [&](int From, int To, int Top, int Height, uint8_t Bit) {
        for (int v = std::max(Top, Y0); v < std::min(Top + Height, Y1); ++v)
            for (int u = std::max(From, X0); u < std::min(To, X1); ++u) *At(u, v) |= Bit;
    };
    if (Opaque) Band(0, W, 0, H, 1);
    if (Run.Ink) {
        for (const TPlaced& P : Run.Glyphs) {
            const TGlyph& G = *P.G;
            const int Gx = P.X + G.Left, Gy = F.Ascent() - G.Top;
            for (int r = 0; r < G.Height; ++r) {
                const uint8_t* Src = G.Bits.data() + size_t(r) * size_t(G.Width);
                uint8_t* Dst = At(Gx, Gy + r);
                for (int c = 0; c < G.Width; ++c) Dst[c] |= uint8_t(Src[c] << 1);
            }
        }
        if (Log.lfUnderline) Band(0, W, F.UnderlineTop(), F.UnderlineHeight(), 2);
        if (Log.lfStrikeOut) Band(0, W, F.StrikeTop(), F.StrikeHeight(), 2);
    }
    if (Run.MarkTo > Run.MarkFrom) Band(Run.MarkFrom, Run.MarkTo, F.UnderlineTop(), F.UnderlineHeight(), 2);

    std::vector<RECT> Rects;
    int Esc = Log.lfEscapement % 3600;
    if (Esc < 0) Esc += 3600;
    if (Esc == 0) {
        const int OX = RefX - URef + X0, OY = RefY - VRef + Y0;
        ClipRects(Clip, RECT{OX, OY, OX + MW, OY + MH}, Rects);
        for (const RECT& C : Rects)
            for (int y = C.top; y < C.bottom; ++y) {
                const uint8_t* M = Mask.data() + size_t(y - OY) * size_t(MW) + size_t(C.left - OX);
                uint32_t* D = S->Row(y) + C.left;
                const int N = C.right - C.left;
                if (Opaque) {
                    for (int i = 0; i < N; ++i)
                        if (M[i]) D[i] = (M[i] & 2) ? Fg : Bg;
                } else {
                    for (int i = 0; i < N; ++i)
                        if (M[i] & 2) D[i] = Fg;
                }
            }
        return;
    }
    // Turned runs: map every pixel of the turned extent back into the mask (nearest).
    double Co, Si;
    switch (Esc) {
    case 900: Co = 0, Si = 1; break;
    case 1800: Co = -1, Si = 0; break;
    case 2700: Co = 0, Si = -1; break;
    default: {
        const double A = Esc * (std::numbers::pi / 1800.0);
        Co = std::cos(A), Si = std::sin(A);
    }
    }
    double MinX = 1e18, MinY = 1e18, MaxX = -1e18, MaxY = -1e18;
    for (int k = 0; k < 4; ++k) {
        const double Du = ((k & 1) ? X1 : X0) - URef, Dv = ((k & 2) ? Y1 : Y0) - VRef;
        const double X = RefX + Du * Co + Dv * Si, Y = RefY - Du * Si + Dv * Co;
        MinX = std::min(MinX, X), MaxX = std::max(MaxX, X), MinY = std::min(MinY, Y), MaxY = std::max(MaxY, Y);
    }
    const auto Lim = [](double V) { return int(std::clamp(V, -1e9, 1e9)); };
    ClipRects(Clip, RECT{Lim(std::floor(MinX)) - 1, Lim(std::floor(MinY)) - 1, Lim(std::ceil(MaxX)) + 1, Lim(std::ceil(MaxY)) + 1},
              Rects);
    for (const RECT& C : Rects)
        for (int y = C.top; y < C.bottom; ++y) {
            const double Fy = y + 0.5 - RefY, Fx = C.left + 0.5 - RefX;
            double U = Fx * Co - Fy * Si + URef, V = Fx * Si + Fy * Co + VRef;
            uint32_t* D = S->Row(y);
            for (int x = C.left; x < C.right; ++x, U += Co, V += Si) {
                const int IU = int(std::floor(U)), IV = int(std::floor(V));
                if (IU < X0 || IU >= X1 || IV < Y0 || IV >= Y1) continue;
                const uint8_t M = *At(IU, IV);
                if (M & 2) D[x] = Fg;
                else if (Opaque && (M & 1)) D[x] = Bg;
            }
        }
}

std::string TraceText(const char* Text, int Count) {
    if (Text == nullptr) return "null";
    return '"' + std::string(Text, size_t(std::max(Count, 0))) + '"';
}

int TextLength(const char* Text, int Count) {
    if (Text == nullptr) return Count == 0 ? 0 : -1;
    return Count < 0 ? int(std::strlen(Text)) : Count;
}

BOOL ExtTextOutImpl(HDC Dc, int X, int Y, UINT Options, const RECT* R, const char* Text, int Count, const int* Dx) {
    if (Count < 0 || (Text == nullptr && Count > 0)) return FALSE;
    gdi::TTarget T;
    if (!gdi::MakeTarget(Dc, T)) return FALSE;
    TFontRef Font;
    if (!DCFont(T.DC, Font)) return FALSE;
    TFontFace& F = *Font.Face;
    const gdi::TDCAttrs& A = T.DC->A;
    const uint32_t Fg = gdi::ColorToSurface(A.TextColor, T.Surface);
    const uint32_t Bg = gdi::ColorToSurface(A.BkColor, T.Surface);

    RECT SR{};
    if (R != nullptr) SR = RECT{R->left + T.Dx, R->top + T.Dy, R->right + T.Dx, R->bottom + T.Dy};
    if (R != nullptr && (Options & ETO_OPAQUE)) FillSurfaceRect(T.Surface, T.Clip, SR, Bg);
    if (Count == 0) return TRUE;

    TRun Run;
    int Pen = 0, I = 0;
    for (size_t Pos = 0; Pos < size_t(Count); ++I) {
        const char32_t C = gdi::NextCodePoint(Text, size_t(Count), Pos);
        const TGlyph& G = F.Glyph(C);
        Run.Glyphs.push_back({&G, Pen});
        Pen += Dx != nullptr ? Dx[I] : G.Advance;
    }
    Run.Width = Pen;

    const UINT Align = A.TextAlign;
    const bool UpdateCP = (Align & TA_UPDATECP) != 0;
    if (UpdateCP) X = A.CurPos.x, Y = A.CurPos.y;
    const UINT Horz = Align & TA_CENTER, Vert = Align & TA_BASELINE;
    const int URef = Horz == TA_CENTER ? Run.Width / 2 : Horz == TA_RIGHT ? Run.Width : 0;
    const int VRef = Vert == TA_BASELINE ? F.Ascent() : Vert == TA_BOTTOM ? F.Height() : 0;

    const TRegion* Clip = &T.Clip;
    TRegion Clipped;
    if (R != nullptr && (Options & ETO_CLIPPED)) {
        Clipped = T.Clip;
        Clipped.Intersect(SR);
        Clip = &Clipped;
    }
    PaintRun(T.Surface, *Clip, F, *Font.Log, Run, X + T.Dx, Y + T.Dy, URef, VRef, A.BkMode == OPAQUE, Fg, Bg);

    if (UpdateCP && Horz != TA_CENTER) {
        // The current position moves along the run's direction to its other end.
        const double Ang = Font.Log->lfEscapement * (std::numbers::pi / 1800.0);
        const int Sign = Horz == TA_RIGHT ? -1 : 1;
        T.DC->A.CurPos.x = X + Sign * int(std::lround(Run.Width * std::cos(Ang)));
        T.DC->A.CurPos.y = Y - Sign * int(std::lround(Run.Width * std::sin(Ang)));
    }
    return TRUE;
}

// ---- DrawText layout ----

// A character of a DrawText line, with where it came from in the caller's text.
struct TItem {
    char32_t C;
    size_t Src, SrcEnd;  // bytes of the caller's text (an accelerator's '&' included)
};
struct TLine {
    std::vector<TItem> Items;
    int Mark = -1;  // the accelerated item
    bool Shortened = false;
};

class TLayout {
public:
    TLayout(TFontFace& F, bool ExpandTabs, int TabChars) : FFace(F) {
        FTab = ExpandTabs ? std::max(1, TabChars * F.AveCharWidth()) : 0;
    }
    static bool Blank(char32_t C) { return C == U' ' || C == U'\t'; }
    // The advance of an item placed at X (tabs reach the next stop).
    int Advance(char32_t C, int X) {
        if (C == U'\t') return FTab > 0 ? (X / FTab + 1) * FTab - X : FFace.Advance(U' ');
        return FFace.Advance(C);
    }
    int Width(const std::vector<TItem>& Items, size_t From = 0, size_t To = std::string::npos) {
        int X = 0;
        To = std::min(To, Items.size());
        for (size_t i = From; i < To; ++i) X += Advance(Items[i].C, X);
        return X;
    }
    // Splits a paragraph at blanks so that each line fits MaxW; a word longer than the
    // width is broken between characters when BreakWords, else left to overhang.
    void Wrap(const TLine& Para, int MaxW, bool BreakWords, std::vector<TLine>& Out) {
        const auto& It = Para.Items;
        const size_t N = It.size();
        if (N == 0) {
            Out.push_back(Para);
            return;
        }
        size_t Idx = 0;
        while (Idx < N) {
            const size_t Start = Idx;
            size_t J = Idx;
            int X = 0;
            bool HasWord = false, Split = false;
            while (J < N) {
                if (Blank(It[J].C)) {
                    X += Advance(It[J].C, X);
                    ++J;
                    continue;
                }
                size_t K = J;
                int WX = X;
                while (K < N && !Blank(It[K].C)) WX += Advance(It[K].C, WX), ++K;
                if (WX <= MaxW) {
                    X = WX, J = K, HasWord = true;
                    continue;
                }
                if (HasWord) break;
                if (BreakWords) {
                    // Characters of the over-long word while they fit, at least one.
                    int CX = X;
                    size_t M = J;
                    while (M < K && (M == J || CX + Advance(It[M].C, CX) <= MaxW)) CX += Advance(It[M].C, CX), ++M;
                    J = M;
                    Split = true;
                } else {
                    J = K;
                }
                HasWord = true;
                break;
            }
            // The blanks where a line breaks belong to neither line.
            size_t End = J;
            if (J < N && !Split) {
                while (End > Start && Blank(It[End - 1].C)) --End;
                while (J < N && Blank(It[J].C)) ++J;
            }
            TLine L;
            L.Items.assign(It.begin() + long(Start), It.begin() + long(End));
            if (Para.Mark >= int(Start) && Para.Mark < int(End)) L.Mark = Para.Mark - int(Start);
            Out.push_back(std::move(L));
            Idx = J;
        }
    }
    // Shortens a line with "..." so that it fits MaxW: at the end, or (Path) in the
    // middle, keeping what follows the last path separator.
    void Ellipsis(TLine& L, int MaxW, bool Path) {
        if (Width(L.Items) <= MaxW) return;
        const size_t N = L.Items.size();
        auto Make = [&](size_t Keep, size_t Tail) {
            std::vector<TItem> R(L.Items.begin(), L.Items.begin() + long(Keep));
            R.insert(R.end(), 3, TItem{U'.', std::string::npos, std::string::npos});
            R.insert(R.end(), L.Items.begin() + long(Tail), L.Items.end());
            return R;
        };
        auto Apply = [&](std::vector<TItem>&& R, size_t Keep, size_t Tail) {
            if (L.Mark >= int(Keep) && L.Mark < int(Tail)) L.Mark = -1;
            else if (L.Mark >= int(Tail)) L.Mark += int(Keep) + 3 - int(Tail);
            L.Items = std::move(R);
            L.Shortened = true;
        };
        if (Path) {
            size_t Sep = N;
            for (size_t i = N; i-- > 0;)
                if (L.Items[i].C == U'\\' || L.Items[i].C == U'/') {
                    Sep = i;
                    break;
                }
            if (Sep < N)
                for (size_t Keep = Sep + 1; Keep-- > 0;) {
                    std::vector<TItem> R = Make(Keep, Sep);
                    if (Width(R) <= MaxW) return Apply(std::move(R), Keep, Sep);
                }
            // No separator, or even "..." and the last part do not fit: shorten the end.
        }
        for (size_t Keep = N; Keep-- > 0;) {
            std::vector<TItem> R = Make(Keep, N);
            if (Width(R) <= MaxW || Keep == 0) return Apply(std::move(R), Keep, N);
        }
    }

private:
    TFontFace& FFace;
    int FTab = 0;
};

}  // namespace

// ---- the calls ----

BOOL TextOutA(HDC Dc, int X, int Y, const char* Text, int Count) {
    if (gdi::Tracing()) gdi::TraceCall("TextOutA", Dc, X, Y, TraceText(Text, Count));
    return ExtTextOutImpl(Dc, X, Y, 0, nullptr, Text, Count, nullptr);
}

BOOL ExtTextOutA(HDC Dc, int X, int Y, UINT Options, const RECT* R, const char* Text, UINT Count, const int* Dx) {
    if (gdi::Tracing()) gdi::TraceCall("ExtTextOutA", Dc, X, Y, Options, TraceText(Text, int(Count)));
    if (Count > UINT(std::numeric_limits<int>::max())) return FALSE;
    return ExtTextOutImpl(Dc, X, Y, Options, R, Text, int(Count), Dx);
}

int DrawTextA(HDC Dc, const char* Text, int Count, RECT* R, UINT Format) {
    if (gdi::Tracing()) gdi::TraceCall("DrawTextA", Dc, TraceText(Text, TextLength(Text, Count)), Format);
    const int Len = TextLength(Text, Count);
    if (Len < 0 || R == nullptr) return 0;
    gdi::TDCObj* DcObj = gdi::Find<gdi::TDCObj>(Dc);
    if (DcObj == nullptr) return 0;
    TFontRef Font;
    if (!DCFont(DcObj, Font)) return 0;
    TFontFace& F = *Font.Face;

    // DT_TABSTOP puts the tab size in bits 8..15, where other flags would be.
    UINT Flags = Format;
    int TabChars = 8;
    if (Format & DT_TABSTOP) {
        TabChars = int((Format >> 8) & 0xFF);
        if (TabChars == 0) TabChars = 8;
        Flags &= ~0xFF00u;
    }
    const bool Single = (Flags & DT_SINGLELINE) != 0;
    const bool Prefix = (Flags & DT_NOPREFIX) == 0;
    TLayout Layout(F, (Flags & DT_EXPANDTABS) != 0, TabChars);
    const int MaxW = R->right - R->left;

    // Paragraphs: CR, LF and CR LF end a line (shown as nothing on a single line);
    // "&x" marks x as the accelerator and "&&" stands for "&".
    std::vector<TLine> Paras;
    TLine Cur;
    for (size_t Pos = 0, N = size_t(Len); Pos < N;) {
        const size_t Start = Pos;
        char32_t C = gdi::NextCodePoint(Text, N, Pos);
        if (C == U'\r' || C == U'\n') {
            if (Single) continue;
            if (C == U'\r' && Pos < N && Text[Pos] == '\n') ++Pos;
            Paras.push_back(std::move(Cur));
            Cur = TLine();
            continue;
        }
        if (Prefix && C == U'&') {
            if (Pos >= N) break;  // a lone '&' at the end shows nothing
            if (Text[Pos] == '&') {
                ++Pos;
            } else {
                C = gdi::NextCodePoint(Text, N, Pos);
                if (C == U'\r' || C == U'\n') {
                    Pos = Start + 1;  // the break is read on its own
                    continue;
                }
                Cur.Mark = int(Cur.Items.size());
            }
        }
        Cur.Items.push_back({C, Start, Pos});
    }
    if (!Cur.Items.empty()) Paras.push_back(std::move(Cur));

    std::vector<TLine> Lines;
    if ((Flags & DT_WORDBREAK) && !Single) {
        for (const TLine& P : Paras) Layout.Wrap(P, MaxW, (Flags & DT_EDITCONTROL) != 0, Lines);
    } else {
        Lines = std::move(Paras);
    }
    if (Flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        const bool Path = (Flags & DT_PATH_ELLIPSIS) != 0 && (Flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) == 0;
        for (TLine& L : Lines) Layout.Ellipsis(L, MaxW, Path);
        if ((Flags & DT_MODIFYSTRING) && Lines.size() == 1 && Lines[0].Shortened) {
            // The caller's buffer gets the shortened text (it has room for four more bytes).
            std::string Out;
            const auto& Items = Lines[0].Items;
            for (size_t i = 0; i < Items.size();) {
                if (Items[i].Src == std::string::npos) {
                    Out += '.';
                    ++i;
                    continue;
                }
                size_t j = i;
                while (j + 1 < Items.size() && Items[j + 1].Src == Items[j].SrcEnd) ++j;
                Out.append(Text + Items[i].Src, Items[j].SrcEnd - Items[i].Src);
                i = j + 1;
            }
            std::memcpy(const_cast<char*>(Text), Out.c_str(), Out.size() + 1);
        }
    }

    const int LineH = F.Height() + ((Flags & DT_EXTERNALLEADING) ? F.ExternalLeading() : 0);
    const int TextH = LineH * int(Lines.size());
    if (Flags & DT_CALCRECT) {
        int MaxLine = 0;
        for (const TLine& L : Lines) MaxLine = std::max(MaxLine, Layout.Width(L.Items));
        R->right = R->left + MaxLine;
        R->bottom = R->top + TextH;
        return TextH;
    }

    gdi::TTarget T;
    if (!gdi::MakeTarget(Dc, T)) return 0;
    int Y = R->top;
    if (Single && (Flags & DT_VCENTER)) Y = R->top + (R->bottom - R->top - LineH) / 2;
    else if (Single && (Flags & DT_BOTTOM)) Y = R->bottom - LineH;
    const int Result = Y + TextH - R->top;
    if (Lines.empty()) return Result;

    TRegion ClipRgn = T.Clip;
    if (!(Flags & DT_NOCLIP)) ClipRgn.Intersect(RECT{R->left + T.Dx, R->top + T.Dy, R->right + T.Dx, R->bottom + T.Dy});
    const uint32_t Fg = gdi::ColorToSurface(T.DC->A.TextColor, T.Surface);
    const uint32_t Bg = gdi::ColorToSurface(T.DC->A.BkColor, T.Surface);
    const bool PrefixOnly = (Flags & DT_PREFIXONLY) != 0;
    const bool Opaque = T.DC->A.BkMode == OPAQUE && !PrefixOnly;
    // Right-to-left reading turns left and right alignment round.
    UINT Horz = Flags & (DT_CENTER | DT_RIGHT);
    if ((Flags & DT_RTLREADING) && Horz != DT_CENTER) Horz = Horz == DT_RIGHT ? DT_LEFT : DT_RIGHT;

    TRun Run;
    Run.Ink = !PrefixOnly;
    for (const TLine& L : Lines) {
        Run.Glyphs.clear();
        Run.MarkFrom = Run.MarkTo = 0;
        int X = 0;
        for (size_t i = 0; i < L.Items.size(); ++i) {
            const char32_t C = L.Items[i].C;
            const int Adv = Layout.Advance(C, X);
            if (C != U'\t') Run.Glyphs.push_back({&F.Glyph(C), X});
            if (int(i) == L.Mark && !(Flags & DT_HIDEPREFIX)) Run.MarkFrom = X, Run.MarkTo = X + Adv;
            X += Adv;
        }
        Run.Width = X;
        int LX = R->left;
        if (Horz == DT_CENTER) LX = R->left + (MaxW - X) / 2;
        else if (Horz == DT_RIGHT) LX = R->right - X;
        PaintRun(T.Surface, ClipRgn, F, *Font.Log, Run, LX + T.Dx, Y + T.Dy, 0, 0, Opaque, Fg, Bg);
        Y += LineH;
    }
    return Result;
}

BOOL GetTextExtentPoint32A(HDC Dc, const char* Text, int Count, SIZE* Size) {
    if (gdi::Tracing()) gdi::TraceCall("GetTextExtentPoint32A", Dc, TraceText(Text, Count));
    if (Size == nullptr || Count < 0 || (Text == nullptr && Count > 0)) return FALSE;
    gdi::TDCObj* DcObj = gdi::Find<gdi::TDCObj>(Dc);
    TFontRef Font;
    if (DcObj == nullptr || !DCFont(DcObj, Font)) return FALSE;
    int W = 0;
    for (size_t Pos = 0; Pos < size_t(Count);) W += Font.Face->Advance(gdi::NextCodePoint(Text, size_t(Count), Pos));
    Size->cx = W;
    Size->cy = Font.Face->Height();
    return TRUE;
}

BOOL GetTextMetricsA(HDC Dc, TEXTMETRICA* M) {
    gdi::TraceCall("GetTextMetricsA", Dc);
    if (M == nullptr) return FALSE;
    gdi::TDCObj* DcObj = gdi::Find<gdi::TDCObj>(Dc);
    TFontRef Font;
    if (DcObj == nullptr || !DCFont(DcObj, Font)) return FALSE;
    TFontFace& F = *Font.Face;
    const LOGFONTA& L = *Font.Log;
    *M = TEXTMETRICA{};
    M->tmHeight = F.Height();
    M->tmAscent = F.Ascent();
    M->tmDescent = F.Descent();
    M->tmInternalLeading = std::max(0, F.Height() - F.EmPixels());
    M->tmExternalLeading = F.ExternalLeading();
    M->tmAveCharWidth = F.AveCharWidth();
    M->tmMaxCharWidth = F.MaxCharWidth();
    M->tmWeight = L.lfWeight <= 0 ? FW_NORMAL : L.lfWeight;
    M->tmOverhang = 0;
    M->tmDigitizedAspectX = 96;
    M->tmDigitizedAspectY = 96;
    M->tmFirstChar = 0x20;
    M->tmLastChar = 0xFF;
    M->tmDefaultChar = 0x1F;
    M->tmBreakChar = 0x20;
    M->tmItalic = L.lfItalic ? 1 : 0;
    M->tmUnderlined = L.lfUnderline ? 1 : 0;
    M->tmStruckOut = L.lfStrikeOut ? 1 : 0;
    // TMPF_FIXED_PITCH (1) set means a variable-pitch font; 2 vector, 4 TrueType.
    M->tmPitchAndFamily = BYTE(F.Match().FamilyClass | 0x06 | (F.Match().Monospace ? 0 : 0x01));
    M->tmCharSet = L.lfCharSet;
    return TRUE;
}

BOOL GetCharWidth32A(HDC Dc, UINT First, UINT Last, int* Widths) {
    gdi::TraceCall("GetCharWidth32A", Dc, First, Last);
    if (Widths == nullptr || Last < First || Last > 0x10FFFF) return FALSE;
    gdi::TDCObj* DcObj = gdi::Find<gdi::TDCObj>(Dc);
    TFontRef Font;
    if (DcObj == nullptr || !DCFont(DcObj, Font)) return FALSE;
    for (UINT C = First; C <= Last; ++C) Widths[C - First] = Font.Face->Advance(char32_t(C));
    return TRUE;
}

int GetTextFaceA(HDC Dc, int Count, char* Name) {
    gdi::TraceCall("GetTextFaceA", Dc, Count);
    gdi::TDCObj* DcObj = gdi::Find<gdi::TDCObj>(Dc);
    TFontRef Font;
    if (DcObj == nullptr || !DCFont(DcObj, Font)) return 0;
    const std::string& Family = Font.Face->Match().Family;
    if (Name == nullptr) return int(Family.size()) + 1;
    if (Count <= 0) return 0;
    const size_t N = std::min(Family.size(), size_t(Count - 1));
    std::memcpy(Name, Family.data(), N);
    Name[N] = '\0';
    return int(N) + 1;
}

std::vector<std::string> GetFontFamilies() {
    gdi::Trace("GetFontFamilies");
    return gdi::InstalledFamilies();
}

std::string GetFontFile(const LOGFONTA& Font) {
    gdi::TraceCall("GetFontFile", Font.lfFaceName);
    gdi::TFontMatch M;
    return gdi::MatchFont(Font, M) ? M.File : std::string();
}

}  // namespace host
