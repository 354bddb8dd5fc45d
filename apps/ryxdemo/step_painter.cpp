// Tour step "painter": a sheet of the painter's primitives, edges, frame controls, text, image-list styles and the package's 3-D frames, written as painter.png.
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/ryxutilg.h"
#include "host/gdi/gdi.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "host/graphics/imglist.h"
#include "tour.h"

namespace {

using namespace host;

constexpr int kSheetW = 1000, kSheetH = 860;

TColor Rgb(int R, int G, int B) { return TColor(R | (G << 8) | (B << 16)); }

// Draws on one sheet: panel titles, captions and the samples.
class TSheet {
public:
    explicit TSheet(TCanvas* C) : FC(C) {}

    TCanvas* C() const { return FC; }
    HDC Dc() const { return FC->Handle(); }

    // A panel: a sunken frame with a bold title above its top-left corner.
    void Panel(int L, int T, int R, int B, const std::string& Title) {
        RECT r{L, T, R, B};
        DrawEdge(Dc(), &r, EDGE_ETCHED, BF_RECT);
        FC->Brush()->SetStyle(bsClear);
        FC->Font()->SetName("Arial");
        FC->Font()->SetSize(9);
        FC->Font()->SetStyle({fsBold});
        FC->Font()->SetColor(clNavy);
        FC->TextOut(L + 8, T - 8, " " + Title + " ");
        FC->Font()->SetStyle({});
        FC->Font()->SetColor(clBlack);
        FC->Brush()->SetStyle(bsSolid);
    }

    // A small caption in the default face.
    void Caption(int X, int Y, const std::string& Text, int Size = 7) {
        FC->Brush()->SetStyle(bsClear);
        FC->Font()->SetName("Arial");
        FC->Font()->SetSize(Size);
        FC->Font()->SetStyle({});
        FC->Font()->SetColor(clBlack);
        FC->TextOut(X, Y, Text);
        FC->Brush()->SetStyle(bsSolid);
    }

    void Pen(TColor Color, int Width = 1, TPenStyle Style = psSolid) {
        FC->Pen()->SetColor(Color);
        FC->Pen()->SetWidth(Width);
        FC->Pen()->SetStyle(Style);
    }
    void Brush(TColor Color, TBrushStyle Style = bsSolid) {
        FC->Brush()->SetColor(Color);
        FC->Brush()->SetStyle(Style);
    }

private:
    TCanvas* FC;
};

// ---- primitives ----

void DrawLines(TSheet& S) {
    S.Panel(10, 16, 250, 236, "Lines and pens");
    TCanvas* c = S.C();
    // A star of lines in 24 directions: the end points are left out, so the centre
    // pixel stays open.
    const int cx = 70, cy = 90;
    for (int i = 0; i < 24; ++i) {
        const double a = i * 3.14159265358979 / 12;
        S.Pen(Rgb(40 + i * 8, 60, 200 - i * 6));
        c->MoveTo(cx, cy);
        c->LineTo(cx + int(std::lround(52 * std::cos(a))), cy - int(std::lround(52 * std::sin(a))));
    }
    S.Caption(40, 150, "24 directions");
    const char* names[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot"};
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    for (int i = 0; i < 5; ++i) {
        S.Pen(clBlack, 1, styles[i]);
        c->MoveTo(140, 48 + i * 20);
        c->LineTo(240, 48 + i * 20);
        S.Caption(140, 38 + i * 20, names[i], 6);
    }
    for (int i = 0; i < 3; ++i) {
        const int w = 2 + i * 3;
        S.Pen(Rgb(180, 0, 0), w);
        c->MoveTo(145, 150 + i * 14);
        c->LineTo(235, 144 + i * 14 + i * 3);
    }
    S.Pen(clBlack);
    S.Caption(140, 200, "wide pens 2, 5, 8");
    // ROP2: an XOR pen over a coloured bar.
    S.Brush(Rgb(0, 128, 255));
    RECT bar{20, 180, 120, 200};
    c->FillRect(bar);
    S.Pen(clWhite, 3);
    c->Pen()->SetMode(pmXor);
    c->MoveTo(15, 190);
    c->LineTo(125, 190);
    c->Pen()->SetMode(pmCopy);
    S.Pen(clBlack);
    S.Caption(20, 205, "XOR pen across a bar");
}

void DrawShapes(TSheet& S) {
    S.Panel(260, 16, 500, 236, "Shapes");
    TCanvas* c = S.C();
    S.Pen(clBlack);
    S.Brush(Rgb(255, 220, 120));
    c->Rectangle(275, 35, 335, 85);
    S.Brush(Rgb(140, 200, 255));
    c->Ellipse(345, 35, 415, 85);
    S.Brush(Rgb(170, 240, 170));
    c->RoundRect(425, 35, 490, 85, 20, 20);
    S.Caption(280, 88, "Rectangle");
    S.Caption(355, 88, "Ellipse");
    S.Caption(428, 88, "RoundRect");

    // A five-pointed star with both fill rules.
    auto star = [&](int Cx, int Cy, int R) {
        std::vector<TPoint> p;
        for (int i = 0; i < 5; ++i) {
            const double a = -3.14159265358979 / 2 + i * 4 * 3.14159265358979 / 5;
            p.push_back(TPoint{Cx + int(std::lround(R * std::cos(a))), Cy + int(std::lround(R * std::sin(a)))});
        }
        return p;
    };
    S.Brush(Rgb(255, 150, 150));
    SetPolyFillMode(S.Dc(), ALTERNATE);
    c->Polygon(star(310, 145, 40));
    SetPolyFillMode(S.Dc(), WINDING);
    c->Polygon(star(400, 145, 40));
    SetPolyFillMode(S.Dc(), ALTERNATE);
    S.Caption(280, 190, "ALTERNATE");
    S.Caption(375, 190, "WINDING");
    S.Brush(Rgb(200, 160, 255));
    c->Polygon({TPoint{440, 110}, TPoint{490, 120}, TPoint{470, 175}, TPoint{445, 160}});
    S.Pen(Rgb(0, 120, 0), 2);
    c->Polyline({TPoint{440, 200}, TPoint{455, 185}, TPoint{470, 215}, TPoint{490, 190}});
    S.Pen(clBlack);
    S.Caption(440, 218, "Polygon/line", 6);
}

void DrawArcs(TSheet& S) {
    S.Panel(510, 16, 750, 236, "Arcs, pies and chords");
    TCanvas* c = S.C();
    S.Pen(Rgb(0, 0, 160), 2);
    c->Arc(525, 40, 595, 110, 595, 75, 560, 40);
    c->Arc(525, 40, 595, 110, 525, 75, 595, 75);
    S.Pen(clBlack);
    S.Brush(Rgb(255, 200, 0));
    c->Pie(605, 40, 675, 110, 675, 40, 675, 110);
    S.Brush(Rgb(120, 220, 220));
    c->Chord(680, 40, 745, 110, 745, 60, 680, 60);
    S.Caption(530, 115, "Arc");
    S.Caption(620, 115, "Pie");
    S.Caption(690, 115, "Chord");
    // A pie chart.
    const double parts[] = {0.35, 0.25, 0.2, 0.12, 0.08};
    const TColor cols[] = {Rgb(230, 80, 80), Rgb(80, 160, 230), Rgb(250, 200, 60), Rgb(110, 200, 110),
                           Rgb(170, 120, 210)};
    double a0 = 0;
    for (int i = 0; i < 5; ++i) {
        const double a1 = a0 + parts[i] * 2 * 3.14159265358979;
        S.Brush(cols[i]);
        c->Pie(540, 135, 630, 225, 585 + int(100 * std::cos(a0)), 180 - int(100 * std::sin(a0)),
               585 + int(100 * std::cos(a1)), 180 - int(100 * std::sin(a1)));
        a0 = a1;
    }
    S.Caption(650, 175, "a pie chart");
}

void DrawBrushes(TSheet& S) {
    S.Panel(760, 16, 990, 236, "Brushes");
    TCanvas* c = S.C();
    const TBrushStyle styles[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    const char* names[] = {"horizontal", "vertical", "fdiagonal", "bdiagonal", "cross", "diagcross"};
    S.Pen(clBlack);
    for (int i = 0; i < 6; ++i) {
        const int x = 775 + (i % 3) * 70, y = 35 + (i / 3) * 65;
        S.Brush(Rgb(0, 100, 0), styles[i]);
        SetBkColor(S.Dc(), RGB(255, 255, 220));
        c->Rectangle(x, y, x + 55, y + 45);
        S.Caption(x, y + 47, names[i], 6);
    }
    // The shared pattern bitmap and a transparent hatch over a gradient.
    c->Brush()->SetBitmap(AllocPatternBitmap(clWhite, clNavy));
    c->Rectangle(775, 170, 845, 215);
    c->Brush()->SetBitmap(nullptr);
    S.Caption(775, 217, "pattern", 6);
    for (int x = 855; x < 980; ++x) {
        S.Pen(Rgb(255 - (x - 855) * 2, 120, (x - 855) * 2));
        c->MoveTo(x, 170);
        c->LineTo(x, 215);
    }
    S.Pen(clBlack);
    S.Brush(clBlack, bsDiagCross);
    SetBkMode(S.Dc(), TRANSPARENT);
    RECT r{855, 170, 980, 215};
    FillRect(S.Dc(), &r, c->Brush()->Handle());
    SetBkMode(S.Dc(), OPAQUE);
    S.Brush(clWhite);
    S.Caption(855, 217, "transparent hatch", 6);
}

// ---- edges and frame controls ----

void DrawEdges(TSheet& S) {
    S.Panel(10, 256, 500, 470, "DrawEdge");
    struct {
        UINT Edge, Flags;
        const char* Name;
    } edges[] = {
        {EDGE_RAISED, BF_RECT, "raised"},
        {EDGE_SUNKEN, BF_RECT, "sunken"},
        {EDGE_ETCHED, BF_RECT, "etched"},
        {EDGE_BUMP, BF_RECT, "bump"},
        {BDR_RAISEDOUTER, BF_RECT, "raised outer"},
        {BDR_SUNKENOUTER, BF_RECT, "sunken outer"},
        {BDR_RAISEDINNER, BF_RECT, "raised inner"},
        {BDR_SUNKENINNER, BF_RECT, "sunken inner"},
        {EDGE_RAISED, BF_RECT | BF_SOFT, "raised soft"},
        {EDGE_SUNKEN, BF_RECT | BF_SOFT, "sunken soft"},
        {EDGE_RAISED, BF_RECT | BF_FLAT, "flat"},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, "mono"},
        {EDGE_RAISED, BF_RECT | BF_MIDDLE, "middle"},
        {EDGE_RAISED, BF_TOPLEFT, "top-left"},
        {EDGE_SUNKEN, BF_BOTTOMRIGHT, "bottom-right"},
        {EDGE_RAISED, BF_DIAGONAL_ENDBOTTOMRIGHT, "diagonal"},
        {EDGE_SUNKEN, BF_DIAGONAL_ENDTOPRIGHT, "diagonal 2"},
        {EDGE_BUMP, BF_RECT | BF_ADJUST | BF_MIDDLE, "adjusted"},
    };
    int i = 0;
    for (const auto& e : edges) {
        const int x = 25 + (i % 6) * 79, y = 275 + (i / 6) * 64;
        RECT r{x, y, x + 60, y + 40};
        DrawEdge(S.Dc(), &r, e.Edge, e.Flags);
        if (e.Flags & BF_ADJUST) {
            // The rectangle came back shrunk by the two rings: show the inside.
            S.Brush(Rgb(255, 255, 200));
            S.C()->FillRect(r);
            S.Brush(clWhite);
        }
        S.Caption(x, y + 42, e.Name, 6);
        ++i;
    }
}

void DrawFrameControls(TSheet& S) {
    S.Panel(510, 256, 990, 470, "DrawFrameControl");
    const char* rows[] = {"push", "check", "radio", "close", "min", "max", "restore", "help", "scroll"};
    const UINT states[] = {0, DFCS_PUSHED, DFCS_CHECKED, DFCS_INACTIVE};
    const char* stateNames[] = {"normal", "pushed", "checked", "inactive"};
    for (int s = 0; s < 4; ++s) S.Caption(590 + s * 48, 268, stateNames[s], 6);
    auto cell = [&](int Row, int Col, UINT Type, UINT State, int W = 40, int H = 16) {
        RECT r{590 + Col * 48, 282 + Row * 20, 590 + Col * 48 + W, 282 + Row * 20 + H};
        DrawFrameControl(S.Dc(), &r, Type, State);
    };
    for (int s = 0; s < 4; ++s) {
        cell(0, s, DFC_BUTTON, DFCS_BUTTONPUSH | states[s]);
        cell(1, s, DFC_BUTTON, DFCS_BUTTONCHECK | states[s], 13, 13);
        cell(2, s, DFC_BUTTON, DFCS_BUTTONRADIO | states[s], 13, 13);
        for (UINT k = 0; k < 5; ++k) cell(3 + int(k), s, DFC_CAPTION, k | states[s], 18, 16);
    }
    for (int r = 0; r < 8; ++r) S.Caption(522, 283 + r * 20, rows[r], 6);
    // Scroll arrows in every direction, normal, pushed and inactive; the combo box
    // button and the size grip.
    S.Caption(522, 445, "scroll", 6);
    const UINT arrowStates[] = {0, DFCS_PUSHED, DFCS_INACTIVE};
    int col = 0;
    for (UINT st : arrowStates)
        for (UINT dir : {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}) {
            RECT r{560 + col * 20, 442, 560 + col * 20 + 17, 442 + 17};
            DrawFrameControl(S.Dc(), &r, DFC_SCROLL, dir | st);
            ++col;
        }
    RECT combo{810, 442, 827, 459};
    DrawFrameControl(S.Dc(), &combo, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    RECT grip{835, 442, 852, 459};
    DrawFrameControl(S.Dc(), &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    // A push button shrunk to its inside, then filled to show what is left.
    RECT adj{880, 282, 970, 322};
    DrawFrameControl(S.Dc(), &adj, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    S.Brush(Rgb(200, 230, 255));
    S.C()->FillRect(adj);
    S.Brush(clWhite);
    S.Caption(880, 325, "ADJUSTRECT", 6);
    // A focus rectangle.
    RECT focus{880, 350, 970, 380};
    DrawFocusRect(S.Dc(), &focus);
    S.Caption(885, 358, "focus rect", 6);
}

// ---- text ----

void DrawTexts(TSheet& S) {
    S.Panel(10, 490, 660, 850, "Text");
    TCanvas* c = S.C();
    c->Brush()->SetStyle(bsClear);
    int y = 505;
    const char* faces[] = {"MS Sans Serif", "Arial", "Times New Roman", "Courier New"};
    for (const char* f : faces) {
        c->Font()->SetName(f);
        c->Font()->SetSize(10);
        c->Font()->SetStyle({});
        c->TextOut(25, y, std::string(f) + ": The quick brown fox");
        y += 18;
    }
    c->Font()->SetName("Arial");
    int x = 25;
    for (int size : {8, 10, 12, 16, 24}) {
        c->Font()->SetSize(size);
        c->TextOut(x, y + 2, std::to_string(size) + "pt");
        x += c->TextWidth(std::to_string(size) + "pt") + 10;
    }
    y += 40;
    c->Font()->SetSize(11);
    const TFontStyles styles[] = {{fsBold}, {fsItalic}, {fsUnderline}, {fsStrikeOut}, {fsBold, fsItalic}};
    const char* styleNames[] = {"Bold", "Italic", "Underline", "Strike-out", "Bold italic"};
    x = 25;
    for (int i = 0; i < 5; ++i) {
        c->Font()->SetStyle(styles[i]);
        c->TextOut(x, y, styleNames[i]);
        x += c->TextWidth(styleNames[i]) + 14;
    }
    c->Font()->SetStyle({});
    c->Font()->SetColor(Rgb(160, 0, 0));
    c->TextOut(x, y, "Colour");
    c->Font()->SetColor(clBlack);
    y += 26;

    // Alignments in boxes.
    c->Font()->SetSize(8);
    struct {
        UINT Flags;
        const char* Name;
    } aligns[] = {{DT_LEFT | DT_TOP | DT_SINGLELINE, "left top"},
                  {DT_CENTER | DT_VCENTER | DT_SINGLELINE, "centred"},
                  {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, "right bottom"},
                  {DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, "an end ellipsis cuts this long text"},
                  {DT_CENTER | DT_VCENTER | DT_SINGLELINE, "&Accelerator"}};
    x = 25;
    for (const auto& a : aligns) {
        RECT r{x, y, x + 100, y + 36};
        S.Pen(Rgb(180, 180, 180));
        c->Rectangle(r);
        DrawTextA(S.Dc(), a.Name, -1, &r, a.Flags);
        x += 110;
    }
    S.Pen(clBlack);
    y += 46;

    // Word wrapping in a box, and the height it asks for.
    const char* para =
        "DrawText with DT_WORDBREAK wraps this paragraph at the width of its box, breaking lines between "
        "words; CALCRECT measured the box first.";
    RECT calc{25, y, 285, y};
    DrawTextA(S.Dc(), para, -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    S.Brush(Rgb(255, 255, 225));
    RECT box{calc.left - 3, calc.top - 3, 288, calc.bottom + 3};
    c->Rectangle(box);
    c->Brush()->SetStyle(bsClear);
    RECT wrap{25, y, 285, calc.bottom};
    DrawTextA(S.Dc(), para, -1, &wrap, DT_WORDBREAK);
    // Tabs expanded.
    RECT tabs{300, y, 640, y + 40};
    DrawTextA(S.Dc(), "Name\tSize\tKind\r\nfile.txt\t42\ttext", -1, &tabs, DT_EXPANDTABS);

    // Rotated runs about one reference point.
    const int rx = 600, ry = 770;
    for (int deg : {0, 45, 90, 180, 270}) {
        LOGFONTA lf{};
        lf.lfHeight = -13;
        lf.lfEscapement = deg * 10;
        lf.lfWeight = FW_NORMAL;
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "Arial");
        HFONT f = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(S.Dc(), f);
        const std::string t = "  " + std::to_string(deg) + " deg";
        TextOutA(S.Dc(), rx, ry, t.c_str(), int(t.size()));
        SelectObject(S.Dc(), old);
        DeleteObject(f);
    }
    S.Pen(clRed);
    S.Brush(clRed);
    c->Ellipse(rx - 2, ry - 2, rx + 3, ry + 3);
    S.Pen(clBlack);
    S.Brush(clWhite);
    c->Font()->SetSize(8);
}

// ---- image lists and the package's frames ----

// A 24×24 image list with three generated images on a magenta (transparent) ground.
std::unique_ptr<TImageList> MakeImages() {
    auto list = std::make_unique<TImageList>(nullptr, 24, 24);
    TBitmap strip;
    strip.SetPixelFormat(pf32bit);
    strip.SetSize(72, 24);
    TCanvas* c = strip.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect{0, 0, 72, 24});
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);  // a face
    c->Ellipse(1, 1, 23, 23);
    c->Brush()->SetColor(clBlack);
    c->Ellipse(7, 7, 10, 10);
    c->Ellipse(14, 7, 17, 10);
    c->Arc(6, 8, 18, 19, 6, 14, 18, 14);
    c->Brush()->SetColor(Rgb(60, 140, 230));  // a disk
    c->Rectangle(27, 3, 45, 21);
    c->Brush()->SetColor(clWhite);
    c->Rectangle(31, 3, 41, 10);
    c->Brush()->SetColor(Rgb(40, 170, 60));  // a tick
    c->Polygon({TPoint{50, 12}, TPoint{55, 12}, TPoint{58, 16}, TPoint{66, 4}, TPoint{70, 6}, TPoint{58, 22}});
    list->AddMasked(&strip, clFuchsia);
    list->Overlay(2, 0);
    return list;
}

void DrawImageLists(TSheet& S) {
    S.Panel(670, 490, 990, 690, "Image list styles");
    auto list = MakeImages();
    struct {
        COLORREF Bk, Fg;
        UINT Style;
        DWORD Rop;
        const char* Name;
    } cells[] = {{CLR_NONE, CLR_NONE, ILD_NORMAL, SRCCOPY, "normal"},
                 {RGB(255, 255, 255), CLR_NONE, ILD_NORMAL, SRCCOPY, "bk white"},
                 {RGB(255, 255, 255), CLR_NONE, ILD_TRANSPARENT, SRCCOPY, "transparent"},
                 {CLR_NONE, CLR_NONE, ILD_FOCUS, SRCCOPY, "blend 25"},
                 {CLR_NONE, CLR_NONE, ILD_SELECTED, SRCCOPY, "blend 50"},
                 {CLR_NONE, RGB(255, 0, 0), ILD_SELECTED, SRCCOPY, "50 red"},
                 {CLR_NONE, CLR_DEFAULT, ILD_FOCUS, SRCCOPY, "25 highlight"},
                 {CLR_NONE, CLR_NONE, ILD_MASK, SRCCOPY, "mask"},
                 {CLR_NONE, CLR_NONE, ILD_IMAGE, SRCCOPY, "image"},
                 {CLR_NONE, CLR_NONE, ILD_NORMAL | INDEXTOOVERLAYMASK(1), SRCCOPY, "overlay"},
                 {CLR_NONE, CLR_NONE, ILD_ROP, SRCINVERT, "rop invert"},
                 {CLR_NONE, CLR_NONE, 0, SRCCOPY, "disabled"}};
    HDC dc = S.Dc();
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    for (int i = 0; i < 12; ++i) {
        const int x = 685 + (i % 4) * 75, y = 505 + (i / 4) * 60;
        // A checkered ground, so that transparency shows.
        for (int gy = 0; gy < 2; ++gy)
            for (int gx = 0; gx < 2; ++gx) {
                S.Brush((gx + gy) % 2 ? Rgb(90, 160, 200) : Rgb(220, 235, 245));
                S.C()->FillRect(TRect{x + gx * 34, y + gy * 17, x + gx * 34 + 34, y + gy * 17 + 17});
            }
        for (int k = 0; k < 2; ++k) {
            if (i == 11)
                list->Draw(S.C(), x + 6 + k * 30, y + 5, k, false);  // the greyed look
            else
                list->DrawEx(k, dc, x + 6 + k * 30, y + 5, 0, 0, cells[i].Bk, cells[i].Fg, cells[i].Style,
                             cells[i].Rop);
        }
        S.Caption(x, y + 36, cells[i].Name, 6);
    }
    S.Brush(clWhite);
}

void DrawPackageFrames(TSheet& S) {
    S.Panel(670, 706, 990, 850, "3-D frames, expand boxes, masks");
    TCanvas* c = S.C();
    const TColor hi = clBtnHighlight, sh = clBtnShadow;
    // A face of button colour under the frames.
    S.Brush(clBtnFace);
    S.Pen(clBtnFace);
    c->Rectangle(680, 720, 980, 780);
    TRect r{686, 726, 746, 766};
    ryx::ryxRoundFrame3D(c, r, hi, sh, 2, 0);
    TRect r2{754, 726, 814, 766};
    ryx::ryxRoundFrame3D(c, r2, sh, hi, 2, 8);
    TRect r3{822, 726, 882, 766};
    ryx::ryxEllipseFrame3D(c, r3, hi, sh, 3);
    TRect r4{890, 726, 950, 766};
    ryx::ryxEdgeFrame3D(c, r4, Rgb(0, 0, 200), Rgb(200, 0, 0), 2, {ryx::beTop, ryx::beBottom});
    S.Caption(686, 768, "square", 6);
    S.Caption(754, 768, "round", 6);
    S.Caption(822, 768, "ellipse", 6);
    S.Caption(890, 768, "top+bottom", 6);
    // Expand boxes, collapsed and expanded, in three sizes.
    S.Brush(clWhite);
    int x = 686;
    for (int size : {9, 11, 13}) {
        ryx::ryxDrawExpandBox(c, TRect{x, 795, x + size, 795 + size}, false);
        ryx::ryxDrawExpandBox(c, TRect{x + 18, 795, x + 18 + size, 795 + size}, true);
        x += 44;
    }
    S.Caption(686, 822, "expand boxes", 6);
    // An image of the list, a grey-scale copy, and its yellow replaced through a mask.
    auto list = MakeImages();
    TBitmap img;
    list->GetBitmap(0, &img);
    TBitmap grey;
    grey.Assign(&img);
    ryx::ryxGrayScaleBitmap(&grey);
    c->Draw(830, 792, &img);
    c->Draw(860, 792, &grey);
    TBitmap mask;
    const TColor yellow[] = {clYellow};
    ryx::ryxGenerateMaskBitmapFromDIB(&mask, &img, TPoint{0, 0}, yellow, TPoint{24, 24});
    TBitmap recoloured;
    recoloured.Assign(&img);
    ryx::ryxReplaceBitmapColorsFromMask(&mask, &recoloured, TPoint{0, 0}, Rgb(255, 140, 0), TPoint{24, 24});
    c->Draw(890, 792, &recoloured);
    c->Draw(920, 792, &mask);
    S.Caption(830, 822, "grey, recoloured, mask", 6);
}

void RunPainter(ryxdemo::TTourContext& ctx) {
    TBitmap sheet;
    sheet.SetPixelFormat(pf32bit);
    sheet.SetSize(kSheetW, kSheetH);
    TCanvas* c = sheet.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, kSheetW, kSheetH});
    TSheet s(c);
    DrawLines(s);
    DrawShapes(s);
    DrawArcs(s);
    DrawBrushes(s);
    // Edges and frame controls sit on the button face, as on a dialog.
    s.Brush(clBtnFace);
    c->FillRect(TRect{0, 246, kSheetW, 478});
    s.Brush(clWhite);
    DrawEdges(s);
    DrawFrameControls(s);
    DrawTexts(s);
    DrawImageLists(s);
    DrawPackageFrames(s);

    const auto path = ctx.OutputFile("painter.png");
    if (!SaveBitmapPng(sheet.Handle(), path.string())) throw std::runtime_error("cannot write " + path.string());
    ctx.Log("primitives, edges, frame controls, text, image lists and 3-D frames on a 1000x800 sheet");
}

const ryxdemo::TTourStepRegistration reg(30, "painter",
                                         "a sheet of drawing primitives, edges, frame controls, text and image lists",
                                         &RunPainter);

}  // namespace
