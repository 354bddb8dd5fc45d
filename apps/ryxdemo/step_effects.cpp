// Tour step "effects": a contact sheet per family of transition effects, each effect a row of frames at 0, 25, 50, 75 and 100 per cent, written as fx_<family>.png.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "effects/ryxufx.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "tour.h"

namespace {

using namespace host;
using namespace ryx;

constexpr int kPicW = 160, kPicH = 120;
constexpr int kLabelW = 190, kGap = 10, kHeaderH = 56, kRowH = kPicH + 26;
constexpr double kFractions[] = {0.0, 0.25, 0.5, 0.75, 1.0};
constexpr int kColumns = 5;

TColor Rgb(int R, int G, int B) { return TColor(R | (G << 8) | (B << 16)); }

struct TFamily {
    const char* File;   // fx_<File>.png
    const char* Title;  // the sheet's heading
    int First, Last;    // the effects, by number
    int Size = 8;       // the step size the sheet plays them with
};

// The families in the order of the effect numbers.
const TFamily kFamilies[] = {
    {"skip", "Skips", rtfSkipHorizontal, rtfSkipDiagonalSquares},
    {"box", "Boxes", rtfBoxIn, rtfBoxOut},
    {"blinds", "Blinds", rtfBlindsHorz, rtfBlindsVert},
    // Dissolve squares overlap: with size 8 the picture is whole after a few per cent.
    {"dissolve", "Dissolves", rtfDissolve, rtfDissolveVert, 1},
    {"wind", "Winds", rtfWindIn, rtfWindOut},
    {"pour", "Pours", rtfPourDown, rtfPourUp},
    {"quad", "Quadrants", rtfQuadCover, rtfQuadShrinkCopy},
    {"shape", "Shapes", rtfShapeSawtooth, rtfShapeSpiralAntiClockWise},
    {"fold", "Folds", rtfFoldDown, rtfFoldCenterVert},
    {"unfold", "Unfolds", rtfUnfoldDown, rtfUnfoldCenterVert},
    {"squash", "Squashes", rtfSquashDown, rtfSquashCenterVert},
    {"unsquash", "Unsquashes", rtfUnSquashDown, rtfUnSquashCenterVert},
    {"shrink", "Shrinks", rtfShrinkLeftDown, rtfShrinkCenter},
    {"expand", "Expands", rtfExpandLeftDown, rtfExpandCenter},
    // The zooms move 8 or 16 times the size per step: a small size shows their frames.
    {"zoom", "Zooms", rtfZoomIn, rtfZoomRightUp, 2},
    {"push", "Pushes", rtfPushDown, rtfPushUp},
    {"cover", "Covers", rtfCoverDown, rtfCoverUp},
    {"corner_cover", "Corner covers", rtfCoverLeftDown, rtfCoverRightUp},
    {"centre_cover", "Centre covers", rtfCoverCenterHorzIn, rtfCoverCenterVertOut},
    {"uncover", "Uncovers", rtfUncoverDown, rtfUncoverUp},
    {"corner_uncover", "Corner uncovers", rtfUncoverLeftDown, rtfUncoverRightUp},
    {"centre_uncover", "Centre uncovers", rtfUncoverCenterHorzIn, rtfUncoverCenterVertOut},
    {"wipe", "Wipes", rtfWipeDown, rtfWipeUp},
    {"diagonal_wipe", "Diagonal wipes", rtfWipeLeftDown, rtfWipeRightUp},
    {"rect_wipe", "Rectangle wipes", rtfWipeRectLeftDown, rtfWipeRectRightUp},
    {"crop", "Crops", rtfCropLeftDown, rtfCropRightUp},
    {"centre_wipe", "Centre wipes", rtfWipeCenterHorzIn, rtfWipeCenterVertOut},
    {"clock", "Clock wipes", rtfWipeClockwise, rtfWipeAntiClockwise},
    {"cut", "Cuts and fades", rtfCut, rtfFadeThroughBlack},
};

void Text(TCanvas* C, int X, int Y, const std::string& S, int Size, TColor Color, bool Bold = false) {
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName("Arial");
    C->Font()->SetSize(Size);
    C->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    C->Font()->SetColor(Color);
    C->TextOut(X, Y, S);
    C->Brush()->SetStyle(bsSolid);
}

// One of the two pictures: a coloured ground with a grid, a corner marker that
// shows which way the picture is turned, a shape and a large word.
void DrawPicture(TBitmap& B, bool New) {
    B.SetPixelFormat(pf32bit);
    B.SetSize(kPicW, kPicH);
    TCanvas* c = B.Canvas();
    const TColor ground = New ? Rgb(255, 214, 120) : Rgb(40, 80, 170);
    const TColor lines = New ? Rgb(200, 120, 30) : Rgb(110, 150, 230);
    const TColor ink = New ? Rgb(120, 30, 0) : clWhite;
    c->Brush()->SetColor(ground);
    c->FillRect(TRect{0, 0, kPicW, kPicH});
    c->Pen()->SetColor(lines);
    for (int x = 0; x < kPicW; x += 20) {
        c->MoveTo(x, 0);
        c->LineTo(x, kPicH);
    }
    for (int y = 0; y < kPicH; y += 20) {
        c->MoveTo(0, y);
        c->LineTo(kPicW, y);
    }
    // The top-left marker: a filled triangle.
    c->Pen()->SetColor(ink);
    c->Brush()->SetColor(New ? Rgb(200, 0, 0) : Rgb(0, 200, 90));
    c->Polygon({TPoint{0, 0}, TPoint{34, 0}, TPoint{0, 34}});
    if (New)
        c->Ellipse(104, 70, 150, 112);
    else
        c->Rectangle(110, 72, 150, 110);
    Text(c, 34, 36, New ? "NEW" : "OLD", 26, ink, true);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, kPicW, kPicH);
    c->Brush()->SetStyle(bsSolid);
}

int CellX(int Column) { return kLabelW + Column * (kPicW + kGap); }

struct TBlit {
    int X, Y, W, H, SX, SY;
};

// The in-place copies of the new picture that an effect without steps (the
// dissolves) makes, in order, read from the painter's call trace.
std::vector<TBlit> TracedCopies(int Effect, int Size, TBitmap& OldPic, TBitmap& NewPic) {
    TBitmap dest;
    dest.Assign(&OldPic);
    HDC d = dest.Canvas()->Handle();
    gditest::ClearTrace();
    gditest::SetTrace(true);
    ryxBitTransition(static_cast<TryxTransitionEffect>(Effect), nullptr, d, NewPic.Canvas()->Handle(), kPicW, kPicH,
                     Size, 0, nullptr);
    gditest::SetTrace(false);
    std::vector<TBlit> out;
    for (const std::string& line : gditest::TraceLog()) {
        TBlit b{};
        if (line.rfind("BitBlt(", 0) == 0 &&
            std::sscanf(line.c_str(), "BitBlt(%*[^,], %d, %d, %d, %d, %*[^,], %d, %d", &b.X, &b.Y, &b.W, &b.H, &b.SX,
                        &b.SY) == 6 &&
            b.X == b.SX && b.Y == b.SY)
            out.push_back(b);
    }
    gditest::ClearTrace();
    return out;
}

// Plays Effect from OldPic to NewPic and copies the frames nearest each fraction
// of its steps into the sheet's row at Y. An effect that draws without steps is
// shown by replaying the first part of its copies.
void DrawRow(TCanvas* Sheet, int Y, int Effect, int Size, TBitmap& OldPic, TBitmap& NewPic) {
    TBitmap dest;
    // A dry run counts the steps.
    int steps = 0;
    dest.Assign(&OldPic);
    ryxBitTransition(static_cast<TryxTransitionEffect>(Effect), nullptr, dest.Canvas()->Handle(),
                     NewPic.Canvas()->Handle(), kPicW, kPicH, Size, 0,
                     TryxCancelEvent([&](TObject*, bool&) { ++steps; }));
    // The steps at which the middle columns are taken (1-based; 0: none).
    int at[kColumns] = {};
    for (int i = 1; i < kColumns - 1; ++i)
        at[i] = steps > 0 ? std::clamp(int(kFractions[i] * steps + 0.5), 1, steps) : 0;
    HDC sheet = Sheet->Handle();
    HDC newDc = NewPic.Canvas()->Handle();
    BitBlt(sheet, CellX(0), Y, kPicW, kPicH, OldPic.Canvas()->Handle(), 0, 0, SRCCOPY);
    dest.Assign(&OldPic);
    HDC d = dest.Canvas()->Handle();
    int step = 0;
    const bool ok = ryxBitTransition(static_cast<TryxTransitionEffect>(Effect), nullptr, d, newDc, kPicW, kPicH, Size,
                                     0, TryxCancelEvent([&](TObject*, bool&) {
                                         ++step;
                                         for (int i = 1; i < kColumns - 1; ++i)
                                             if (at[i] == step) BitBlt(sheet, CellX(i), Y, kPicW, kPicH, d, 0, 0, SRCCOPY);
                                     }));
    BitBlt(sheet, CellX(kColumns - 1), Y, kPicW, kPicH, d, 0, 0, SRCCOPY);
    std::string note = std::to_string(steps) + (steps == 1 ? " step" : " steps");
    if (steps == 0) {
        const std::vector<TBlit> copies = TracedCopies(Effect, Size, OldPic, NewPic);
        for (int i = 1; i < kColumns - 1; ++i) {
            TBitmap part;
            part.Assign(&OldPic);
            HDC p = part.Canvas()->Handle();
            const size_t n = size_t(kFractions[i] * double(copies.size()));
            for (size_t k = 0; k < n; ++k)
                BitBlt(p, copies[k].X, copies[k].Y, copies[k].W, copies[k].H, newDc, copies[k].X, copies[k].Y, SRCCOPY);
            BitBlt(sheet, CellX(i), Y, kPicW, kPicH, p, 0, 0, SRCCOPY);
        }
        note = "no steps: by its copies";
    }
    Text(Sheet, 10, Y + kPicH / 2 - 16, ryxEffectName(Effect), 9, clBlack, true);
    Text(Sheet, 10, Y + kPicH / 2 + 2, note + (ok ? "" : ", FAILED"), 8, ok ? Rgb(80, 80, 80) : clRed);
}

void WriteSheet(ryxdemo::TTourContext& Ctx, const TFamily& F, TBitmap& OldPic, TBitmap& NewPic) {
    const int rows = F.Last - F.First + 1;
    TBitmap sheet;
    sheet.SetPixelFormat(pf32bit);
    sheet.SetSize(CellX(kColumns), kHeaderH + rows * kRowH);
    TCanvas* c = sheet.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, sheet.Width(), sheet.Height()});
    Text(c, 10, 8, F.Title + std::string(" (size ") + std::to_string(F.Size) + ")", 13, Rgb(0, 0, 110), true);
    const char* heads[kColumns] = {"0% (old)", "25%", "50%", "75%", "100% (new)"};
    for (int i = 0; i < kColumns; ++i) Text(c, CellX(i) + kPicW / 2 - 24, kHeaderH - 20, heads[i], 9, clBlack, true);
    for (int e = F.First; e <= F.Last; ++e) DrawRow(c, kHeaderH + (e - F.First) * kRowH, e, F.Size, OldPic, NewPic);
    const auto path = Ctx.OutputFile(std::string("fx_") + F.File + ".png");
    if (!SaveBitmapPng(sheet.Handle(), path.string())) throw std::runtime_error("cannot write " + path.string());
}

void RunEffects(ryxdemo::TTourContext& Ctx) {
    TBitmap oldPic, newPic;
    DrawPicture(oldPic, false);
    DrawPicture(newPic, true);
    for (const TFamily& f : kFamilies) WriteSheet(Ctx, f, oldPic, newPic);
    Ctx.Log("one contact sheet per family of transition effects, frames at 0, 25, 50, 75 and 100 per cent");
}

const ryxdemo::TTourStepRegistration reg(40, "effects",
                                         "contact sheets of every transition effect, a sheet per family",
                                         &RunEffects);

}  // namespace
