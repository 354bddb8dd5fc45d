// Tests of the painter's text: font matching, metrics, extents, TextOut/ExtTextOut placement and DrawText layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"

using namespace host;

namespace {

constexpr COLORREF kInk = RGB(0, 0, 255);
constexpr uint32_t kInkPixel = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;

struct TBox {
    int Left = 1 << 30, Top = 1 << 30, Right = -(1 << 30), Bottom = -(1 << 30);  // Right/Bottom exclusive
    bool Empty() const { return Right <= Left; }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

LOGFONTA Log(const char* Face, int Height, int Weight = FW_NORMAL) {
    LOGFONTA L;
    L.lfHeight = Height;
    L.lfWeight = Weight;
    std::strncpy(L.lfFaceName, Face, LF_FACESIZE - 1);
    return L;
}

// A white 32-bit surface in a memory DC with a font selected, blue text, transparent background.
class TextTest : public ::testing::Test {
protected:
    static constexpr int W = 400, H = 300;
    void SetUp() override {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, 32, nullptr);
        OldBmp = SelectObject(Dc, Bmp);
        Clear();
        UseFont(Log("MS Sans Serif", -11));
        SetTextColor(Dc, kInk);
        SetBkMode(Dc, TRANSPARENT);
    }
    void TearDown() override {
        SelectObject(Dc, OldBmp);
        SelectObject(Dc, OldFont);
        for (HFONT F : Fonts) DeleteObject(F);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    void UseFont(const LOGFONTA& L) {
        HFONT F = CreateFontIndirectA(&L);
        Fonts.push_back(F);
        HGDIOBJ Prev = SelectObject(Dc, F);
        if (OldFont == nullptr) OldFont = Prev;
    }
    gdi::TBitmapObj* Surface() { return gdi::Find<gdi::TBitmapObj>(Bmp); }
    uint32_t Px(int X, int Y) { return Surface()->Row(Y)[X]; }
    void Clear() {
        auto& P = Surface()->Pixels;
        std::fill(P.begin(), P.end(), kWhite);
    }
    // The box of the pixels of one colour.
    TBox Find(uint32_t Pixel = kInkPixel) {
        TBox B;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Px(x, y) == Pixel) {
                    B.Left = std::min(B.Left, x), B.Right = std::max(B.Right, x + 1);
                    B.Top = std::min(B.Top, y), B.Bottom = std::max(B.Bottom, y + 1);
                }
        return B;
    }
    int CountOther(uint32_t A, uint32_t B) {
        int N = 0;
        for (uint32_t P : Surface()->Pixels) N += P != A && P != B;
        return N;
    }
    SIZE Extent(const char* S) {
        SIZE Sz{};
        EXPECT_TRUE(GetTextExtentPoint32A(Dc, S, int(std::strlen(S)), &Sz));
        return Sz;
    }
    TEXTMETRICA Metrics() {
        TEXTMETRICA M{};
        EXPECT_TRUE(GetTextMetricsA(Dc, &M));
        return M;
    }
    RECT Calc(const char* S, RECT R, UINT Flags) {
        DrawTextA(Dc, S, -1, &R, Flags | DT_CALCRECT);
        return R;
    }
    // Rows that hold ink, counted as separate runs of rows (text lines).
    int InkLines() {
        int Lines = 0;
        bool Prev = false;
        for (int y = 0; y < H; ++y) {
            bool Any = false;
            for (int x = 0; x < W && !Any; ++x) Any = Px(x, y) == kInkPixel;
            if (Any && !Prev) ++Lines;
            Prev = Any;
        }
        return Lines;
    }

    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ OldBmp = nullptr, OldFont = nullptr;
    std::vector<HFONT> Fonts;
};

// ---- faces and metrics ----

TEST(TextFonts, NamesMapToInstalledFaces) {
    auto File = [](const char* Face, int Weight = FW_NORMAL, bool Italic = false) {
        LOGFONTA L = Log(Face, -11, Weight);
        L.lfItalic = Italic;
        return GetFontFile(L);
    };
    const std::string Sans = File("MS Sans Serif");
    EXPECT_TRUE(Sans.find("LiberationSans-") != std::string::npos || Sans.find("DejaVuSans.") != std::string::npos)
        << Sans;
    EXPECT_EQ(File("Arial"), Sans);
    EXPECT_EQ(File("Helvetica"), Sans);
    EXPECT_EQ(File("No Such Face Anywhere"), Sans);
    EXPECT_EQ(File(""), Sans);
    EXPECT_NE(File("Courier New").find("Mono"), std::string::npos);
    EXPECT_NE(File("Courier").find("Mono"), std::string::npos);
    EXPECT_NE(File("Times New Roman").find("Serif"), std::string::npos);
    EXPECT_NE(File("Arial", FW_BOLD).find("Bold"), std::string::npos);
    const std::string It = File("Arial", FW_NORMAL, true);
    EXPECT_TRUE(It.find("Italic") != std::string::npos || It.find("Oblique") != std::string::npos) << It;
    // An installed family asked for by its own name is used as it is.
    EXPECT_NE(File("DejaVu Serif").find("DejaVuSerif"), std::string::npos);
}

TEST(TextFonts, FamiliesListed) {
    auto Families = GetFontFamilies();
    ASSERT_FALSE(Families.empty());
    EXPECT_TRUE(std::is_sorted(Families.begin(), Families.end()));
    EXPECT_TRUE(std::find(Families.begin(), Families.end(), "DejaVu Sans") != Families.end() ||
                std::find(Families.begin(), Families.end(), "Liberation Sans") != Families.end());
}

TEST_F(TextTest, EightPointSansHasCharacterHeightEleven) {
    // 8 points at 96 pixels per inch: lfHeight = -round(8 * 96 / 72) = -11.
    TEXTMETRICA M = Metrics();
    EXPECT_EQ(M.tmHeight - M.tmInternalLeading, 11);
    EXPECT_EQ(M.tmAscent + M.tmDescent, M.tmHeight);
    EXPECT_GE(M.tmHeight, 12);
    EXPECT_LE(M.tmHeight, 15);
    EXPECT_GT(M.tmAveCharWidth, 3);
    EXPECT_LT(M.tmAveCharWidth, 8);
    EXPECT_GE(M.tmMaxCharWidth, M.tmAveCharWidth);
    EXPECT_EQ(M.tmWeight, FW_NORMAL);
    EXPECT_EQ(M.tmPitchAndFamily & 0xF0, 0x20);  // FF_SWISS
    EXPECT_EQ(M.tmPitchAndFamily & 1, 1);        // variable pitch
    char Name[LF_FACESIZE] = {};
    EXPECT_GT(GetTextFaceA(Dc, LF_FACESIZE, Name), 1);
    EXPECT_TRUE(std::string(Name) == "Liberation Sans" || std::string(Name) == "DejaVu Sans") << Name;
    EXPECT_EQ(GetTextFaceA(Dc, 0, nullptr), int(std::strlen(Name)) + 1);
}

TEST_F(TextTest, HeightsFollowTheSystemRules) {
    UseFont(Log("Arial", 20));  // positive: the cell height
    EXPECT_EQ(Metrics().tmHeight, 20);
    UseFont(Log("Arial", -20));  // negative: the character height
    TEXTMETRICA M = Metrics();
    EXPECT_EQ(M.tmHeight - M.tmInternalLeading, 20);
    EXPECT_GT(M.tmHeight, 20);
    UseFont(Log("Arial", 0));  // zero: the default cell
    EXPECT_EQ(Metrics().tmHeight, 16);
    LOGFONTA Bold = Log("Arial", -11, FW_BOLD);
    Bold.lfItalic = 1;
    UseFont(Bold);
    M = Metrics();
    EXPECT_EQ(M.tmWeight, FW_BOLD);
    EXPECT_EQ(M.tmItalic, 1);
    UseFont(Log("Courier New", -13));
    M = Metrics();
    EXPECT_EQ(M.tmPitchAndFamily & 0xF0, 0x30);  // FF_MODERN
    EXPECT_EQ(M.tmPitchAndFamily & 1, 0);        // fixed pitch
    EXPECT_EQ(Extent("iiii").cx, Extent("MMMM").cx);
}

TEST_F(TextTest, ExtentsGrowWithTextAndSize) {
    const SIZE A = Extent("ab"), B = Extent("abc"), Empty = Extent("");
    EXPECT_GT(B.cx, A.cx);
    EXPECT_EQ(A.cy, Metrics().tmHeight);
    EXPECT_EQ(Empty.cx, 0);
    EXPECT_EQ(Empty.cy, A.cy);
    int Widths[3] = {};
    ASSERT_TRUE(GetCharWidth32A(Dc, 'a', 'c', Widths));
    EXPECT_EQ(Widths[0] + Widths[1] + Widths[2], B.cx);
    EXPECT_FALSE(GetCharWidth32A(Dc, 'c', 'a', Widths));
    // Multi-byte UTF-8 counts as one character.
    int EAcute = 0;
    GetCharWidth32A(Dc, 0xE9, 0xE9, &EAcute);
    EXPECT_EQ(Extent("\xC3\xA9").cx, EAcute);
    UseFont(Log("MS Sans Serif", -24));
    const SIZE Big = Extent("abc");
    EXPECT_GT(Big.cx, B.cx * 3 / 2);
    EXPECT_GT(Big.cy, A.cy * 3 / 2);
    // Escapement does not change the extent.
    LOGFONTA Turned = Log("MS Sans Serif", -24);
    Turned.lfEscapement = 900;
    UseFont(Turned);
    EXPECT_EQ(Extent("abc").cx, Big.cx);
    EXPECT_EQ(Extent("abc").cy, Big.cy);
}

TEST_F(TextTest, BadHandlesFail) {
    SIZE Sz{};
    TEXTMETRICA M{};
    RECT R{0, 0, 100, 100};
    HDC Bad = reinterpret_cast<HDC>(uintptr_t(0x12345678));
    EXPECT_FALSE(TextOutA(Bad, 0, 0, "x", 1));
    EXPECT_FALSE(ExtTextOutA(Bad, 0, 0, 0, nullptr, "x", 1, nullptr));
    EXPECT_EQ(DrawTextA(Bad, "x", 1, &R, 0), 0);
    EXPECT_FALSE(GetTextExtentPoint32A(Bad, "x", 1, &Sz));
    EXPECT_FALSE(GetTextMetricsA(Bad, &M));
    EXPECT_EQ(GetTextFaceA(Bad, 0, nullptr), 0);
    EXPECT_FALSE(TextOutA(Dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(Dc, 0, 0, "x", -1));
    EXPECT_EQ(DrawTextA(Dc, "x", 1, nullptr, 0), 0);
}

// ---- TextOut and ExtTextOut ----

TEST_F(TextTest, TextOutTopLeftPlacesTheCellBelowAndRightOfThePoint) {
    const SIZE Sz = Extent("Hello");
    ASSERT_TRUE(TextOutA(Dc, 50, 40, "Hello", 5));
    TBox B = Find();
    ASSERT_FALSE(B.Empty());
    EXPECT_GE(B.Left, 50);
    EXPECT_LE(B.Left, 52);
    EXPECT_LE(B.Right, 50 + Sz.cx);
    EXPECT_GE(B.Right, 50 + Sz.cx - 3);
    EXPECT_GE(B.Top, 40);
    EXPECT_LE(B.Bottom, 40 + Sz.cy);
    // Only text colour was drawn: no background in TRANSPARENT mode.
    EXPECT_EQ(CountOther(kWhite, kInkPixel), 0);
}

TEST_F(TextTest, AlignmentMovesTheReferencePoint) {
    const TEXTMETRICA M = Metrics();
    const SIZE Sz = Extent("HHH");
    SetTextAlign(Dc, TA_RIGHT | TA_BASELINE);
    TextOutA(Dc, 200, 100, "HHH", 3);
    TBox B = Find();
    // 'H' stands on the baseline: its ink ends on the row above y, and the run ends at x.
    EXPECT_EQ(B.Bottom, 100);
    EXPECT_LE(B.Right, 200);
    EXPECT_GE(B.Right, 200 - 3);
    EXPECT_GE(B.Left, 200 - Sz.cx);
    EXPECT_GE(B.Top, 100 - M.tmAscent);

    Clear();
    SetTextAlign(Dc, TA_CENTER | TA_BOTTOM);
    TextOutA(Dc, 200, 100, "HHH", 3);
    B = Find();
    EXPECT_NEAR((B.Left + B.Right) / 2.0, 200, 2.0);
    EXPECT_EQ(B.Bottom, 100 - M.tmDescent);
}

TEST_F(TextTest, UpdateCPContinuesTheRun) {
    SetTextAlign(Dc, TA_UPDATECP);
    MoveToEx(Dc, 20, 30, nullptr);
    TextOutA(Dc, 0, 0, "ab", 2);
    POINT P{};
    GetCurrentPositionEx(Dc, &P);
    EXPECT_EQ(P.x, 20 + Extent("ab").cx);
    EXPECT_EQ(P.y, 30);
    TextOutA(Dc, 0, 0, "cd", 2);
    GetCurrentPositionEx(Dc, &P);
    EXPECT_EQ(P.x, 20 + Extent("abcd").cx);
    TBox B = Find();
    EXPECT_GE(B.Left, 20);
    EXPECT_GE(B.Top, 30);
    EXPECT_GT(B.Right, 20 + Extent("abc").cx);
}

TEST_F(TextTest, OpaqueBackgroundFillsTheCell) {
    SetBkMode(Dc, OPAQUE);
    SetBkColor(Dc, RGB(255, 0, 0));
    const SIZE Sz = Extent("Wiggly");
    TextOutA(Dc, 30, 20, "Wiggly", 6);
    TBox Red = Find(0xFF0000);
    TBox Ink = Find();
    EXPECT_EQ(Red.Left, 30);
    EXPECT_EQ(Red.Top, 20);
    EXPECT_EQ(Red.Right, 30 + Sz.cx);
    EXPECT_EQ(Red.Bottom, 20 + Sz.cy);
    // Every pixel of the cell is ink or background.
    for (int y = 20; y < 20 + Sz.cy; ++y)
        for (int x = 30; x < 30 + Sz.cx; ++x) ASSERT_NE(Px(x, y), kWhite) << x << "," << y;
    EXPECT_GE(Ink.Left, 30);
    EXPECT_LE(Ink.Right, 30 + Sz.cx + 1);
}

TEST_F(TextTest, ExtTextOutOpaqueAndClipped) {
    SetBkColor(Dc, RGB(0, 255, 0));
    RECT R{10, 10, 60, 30};
    // With no text, ETO_OPAQUE only fills the rectangle.
    ASSERT_TRUE(ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &R, nullptr, 0, nullptr));
    TBox G = Find(0x00FF00);
    EXPECT_EQ(G.Left, 10);
    EXPECT_EQ(G.Top, 10);
    EXPECT_EQ(G.Right, 60);
    EXPECT_EQ(G.Bottom, 30);

    Clear();
    RECT Clip{20, 20, 40, 25};
    ExtTextOutA(Dc, 15, 15, ETO_CLIPPED, &Clip, "MMMMMMMMMM", 10, nullptr);
    TBox B = Find();
    ASSERT_FALSE(B.Empty());
    EXPECT_GE(B.Left, 20);
    EXPECT_GE(B.Top, 20);
    EXPECT_LE(B.Right, 40);
    EXPECT_LE(B.Bottom, 25);
}

TEST_F(TextTest, DxSpacingPlacesEachCharacter) {
    const int Dx[4] = {30, 30, 30, 30};
    ExtTextOutA(Dc, 10, 10, 0, nullptr, "IIII", 4, Dx);
    TBox B = Find();
    EXPECT_GE(B.Width(), 90);
    EXPECT_LE(B.Width(), 90 + Extent("I").cx);
    // Four separate columns of ink.
    int Runs = 0;
    bool Prev = false;
    for (int x = 0; x < W; ++x) {
        bool Any = false;
        for (int y = B.Top; y < B.Bottom; ++y) Any |= Px(x, y) == kInkPixel;
        Runs += Any && !Prev;
        Prev = Any;
    }
    EXPECT_EQ(Runs, 4);
}

TEST_F(TextTest, UnderlineAndStrikeOutSpanTheRun) {
    LOGFONTA L = Log("Arial", -16);
    L.lfUnderline = 1;
    UseFont(L);
    const SIZE Sz = Extent("a b");
    const TEXTMETRICA M = Metrics();
    TextOutA(Dc, 10, 10, "a b", 3);
    auto FullRows = [&](int From, int To) {
        int N = 0;
        for (int y = From; y < To; ++y) {
            bool Full = true;
            for (int x = 10; x < 10 + Sz.cx; ++x) Full &= Px(x, y) == kInkPixel;
            N += Full;
        }
        return N;
    };
    EXPECT_GE(FullRows(10 + M.tmAscent, 10 + M.tmHeight), 1);  // below the baseline
    EXPECT_EQ(FullRows(10, 10 + M.tmAscent), 0);
    Clear();
    L.lfUnderline = 0;
    L.lfStrikeOut = 1;
    UseFont(L);
    TextOutA(Dc, 10, 10, "a b", 3);
    EXPECT_GE(FullRows(10, 10 + M.tmAscent), 1);  // above the baseline
    EXPECT_EQ(FullRows(10 + M.tmAscent, 10 + M.tmHeight), 0);
}

TEST_F(TextTest, EscapementTurnsTheRunAboutTheReferencePoint) {
    LOGFONTA L = Log("Arial", -16);
    UseFont(L);
    const SIZE Flat = Extent("Rotated text");
    L.lfEscapement = 900;
    UseFont(L);
    TextOutA(Dc, 100, 250, "Rotated text", 12);
    TBox B = Find();
    ASSERT_FALSE(B.Empty());
    // Tall and narrow, going up from the point; the tops of the letters face left.
    EXPECT_GT(B.Height(), 3 * B.Width());
    EXPECT_LE(B.Bottom, 250);
    EXPECT_GE(B.Bottom, 250 - 3);
    EXPECT_GE(B.Top, 250 - Flat.cx);
    EXPECT_LE(B.Top, 250 - Flat.cx + 4);
    EXPECT_GE(B.Left, 100);
    EXPECT_LE(B.Right, 100 + Flat.cy);

    Clear();
    L.lfEscapement = 1800;  // upside down: to the left of and above the point
    UseFont(L);
    TextOutA(Dc, 300, 150, "Rotated text", 12);
    B = Find();
    EXPECT_LE(B.Right, 300);
    EXPECT_GE(B.Left, 300 - Flat.cx);
    EXPECT_LE(B.Bottom, 150);
    EXPECT_GE(B.Top, 150 - Flat.cy);
    EXPECT_GT(B.Width(), 3 * B.Height());

    Clear();
    L.lfEscapement = 450;  // diagonal, up and to the right
    UseFont(L);
    TextOutA(Dc, 100, 250, "Rotated text", 12);
    B = Find();
    EXPECT_GE(B.Left, 100 - 2);
    EXPECT_LE(B.Bottom, 250 + Flat.cy);
    EXPECT_NEAR(B.Width(), B.Height(), 8);
    EXPECT_LE(B.Width(), (Flat.cx + Flat.cy) * 0.7071 + 2);
    EXPECT_GE(B.Width(), Flat.cx * 0.7071 - 4);
}

TEST_F(TextTest, OriginsAndClipRegionApply) {
    SetWindowOrgEx(Dc, -100, -50, nullptr);  // logical (0,0) is surface (100,50)
    TextOutA(Dc, 0, 0, "Moved", 5);
    TBox B = Find();
    EXPECT_GE(B.Left, 100);
    EXPECT_LE(B.Left, 102);
    EXPECT_GE(B.Top, 50);
    SetWindowOrgEx(Dc, 0, 0, nullptr);
    Clear();
    IntersectClipRect(Dc, 0, 0, 20, 300);
    TextOutA(Dc, 10, 10, "Clipped at twenty", 17);
    B = Find();
    ASSERT_FALSE(B.Empty());
    EXPECT_LE(B.Right, 20);
}

TEST_F(TextTest, MonochromeSurfaceGetsBlackOrWhite) {
    HBITMAP Mono = CreateBitmap(100, 40, 1, 1, nullptr);
    HGDIOBJ Prev = SelectObject(Dc, Mono);
    auto* S = gdi::Find<gdi::TBitmapObj>(Mono);
    std::fill(S->Pixels.begin(), S->Pixels.end(), 0xFFFFFF);
    SetTextColor(Dc, RGB(20, 20, 20));
    TextOutA(Dc, 5, 5, "Mono", 4);
    int Black = 0;
    for (uint32_t P : S->Pixels) {
        ASSERT_TRUE(P == 0 || P == 0xFFFFFF);
        Black += P == 0;
    }
    EXPECT_GT(Black, 10);
    SelectObject(Dc, Prev);
    DeleteObject(Mono);
}

// ---- DrawText ----

TEST_F(TextTest, CalcRectForSingleAndSeveralLines) {
    const int LineH = Metrics().tmHeight;
    RECT R = Calc("Hello", RECT{10, 20, 11, 21}, DT_SINGLELINE);
    EXPECT_EQ(R.left, 10);
    EXPECT_EQ(R.top, 20);
    EXPECT_EQ(R.right, 10 + Extent("Hello").cx);
    EXPECT_EQ(R.bottom, 20 + LineH);
    R = Calc("one\r\ntwo two\nthree", RECT{0, 0, 0, 0}, 0);
    EXPECT_EQ(R.right, Extent("two two").cx);
    EXPECT_EQ(R.bottom, 3 * LineH);
    // A final line break starts no line; an empty text gives an empty rectangle.
    EXPECT_EQ(Calc("one\r\n", RECT{0, 0, 0, 0}, 0).bottom, LineH);
    EXPECT_EQ(Calc("\r\n", RECT{0, 0, 0, 0}, 0).bottom, LineH);
    RECT E{5, 5, 50, 50};
    EXPECT_EQ(DrawTextA(Dc, "", -1, &E, DT_CALCRECT), 0);
    EXPECT_EQ(E, (RECT{5, 5, 5, 5}));
    // On a single line the breaks show as nothing.
    EXPECT_EQ(Calc("ab\r\ncd", RECT{}, DT_SINGLELINE).right, Extent("abcd").cx);
    // CALCRECT draws nothing.
    EXPECT_TRUE(Find().Empty());
    // DT_EXTERNALLEADING adds the face's line gap to each line.
    UseFont(Log("Arial", -16));
    const TEXTMETRICA M = Metrics();
    EXPECT_EQ(Calc("a\nb", RECT{}, DT_EXTERNALLEADING).bottom, 2 * (M.tmHeight + M.tmExternalLeading));
    EXPECT_EQ(Calc("a\nb", RECT{}, 0).bottom, 2 * M.tmHeight);
}

TEST_F(TextTest, WordBreakWrapsToTheWidth) {
    const char* Text = "The quick brown fox jumps over the lazy dog again and again";
    const int LineH = Metrics().tmHeight;
    RECT R = Calc(Text, RECT{10, 10, 110, 10}, DT_WORDBREAK);
    const int Lines = (R.bottom - 10) / LineH;
    EXPECT_EQ((R.bottom - 10) % LineH, 0);
    EXPECT_GE(Lines, 3);
    EXPECT_LE(R.right, 110);
    EXPECT_GT(R.right, 60);
    RECT D{10, 10, 110, 290};
    EXPECT_EQ(DrawTextA(Dc, Text, -1, &D, DT_WORDBREAK), Lines * LineH);
    EXPECT_EQ(InkLines(), Lines);
    TBox B = Find();
    EXPECT_LE(B.Right, 110);
    // One word per line when the rectangle is narrower than every word.
    EXPECT_EQ(Calc("alpha beta gamma", RECT{0, 0, 1, 0}, DT_WORDBREAK).bottom, 3 * LineH);
    // Without DT_WORDBREAK nothing wraps.
    EXPECT_EQ(Calc(Text, RECT{10, 10, 110, 10}, 0).bottom, 10 + LineH);
    // A word longer than the width overhangs, or is broken with DT_EDITCONTROL.
    const char* Long = "Supercalifragilistic";
    RECT O = Calc(Long, RECT{0, 0, 40, 0}, DT_WORDBREAK);
    EXPECT_EQ(O.right, Extent(Long).cx);
    EXPECT_EQ(O.bottom, LineH);
    RECT Broken = Calc(Long, RECT{0, 0, 40, 0}, DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_LE(Broken.right, 40);
    EXPECT_GE(Broken.bottom, 3 * LineH);
}

TEST_F(TextTest, AlignmentFlagsPlaceTheText) {
    const RECT Box{100, 100, 300, 200};
    RECT R = Box;
    DrawTextA(Dc, "Centre", -1, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    TBox B = Find();
    EXPECT_NEAR((B.Left + B.Right) / 2.0, 200, 3.0);
    EXPECT_NEAR((B.Top + B.Bottom) / 2.0, 150, 4.0);

    Clear();
    R = Box;
    const int Ret = DrawTextA(Dc, "Right", -1, &R, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    B = Find();
    EXPECT_LE(B.Right, 300);
    EXPECT_GE(B.Right, 297);
    EXPECT_LE(B.Bottom, 200);
    EXPECT_GE(B.Bottom, 200 - Metrics().tmHeight / 2);
    EXPECT_EQ(Ret, 100);  // from the top of the rectangle to the bottom of the text

    // DT_VCENTER needs DT_SINGLELINE: 0x45 centres horizontally only.
    Clear();
    R = Box;
    DrawTextA(Dc, "Top", -1, &R, DT_CENTER | DT_VCENTER | DT_EXPANDTABS);
    B = Find();
    EXPECT_GE(B.Top, 100);
    EXPECT_LT(B.Bottom, 100 + Metrics().tmHeight + 1);
    EXPECT_NEAR((B.Left + B.Right) / 2.0, 200, 3.0);

    // Right-to-left reading aligns left-aligned text to the right.
    Clear();
    R = Box;
    DrawTextA(Dc, "Reading", -1, &R, DT_RTLREADING);
    B = Find();
    EXPECT_GE(B.Right, 297);
    EXPECT_LE(B.Right, 300);
}

TEST_F(TextTest, DrawTextClipsToTheRectangleUnlessNoClip) {
    RECT R{50, 50, 80, 58};
    DrawTextA(Dc, "Overflowing text", -1, &R, DT_SINGLELINE);
    TBox B = Find();
    ASSERT_FALSE(B.Empty());
    EXPECT_GE(B.Left, 50);
    EXPECT_LE(B.Right, 80);
    EXPECT_GE(B.Top, 50);
    EXPECT_LE(B.Bottom, 58);
    Clear();
    DrawTextA(Dc, "Overflowing text", -1, &R, DT_SINGLELINE | DT_NOCLIP);
    B = Find();
    EXPECT_GT(B.Right, 80);
    EXPECT_GT(B.Bottom, 58);
}

TEST_F(TextTest, PrefixesUnderlineTheAcceleratedLetter) {
    const TEXTMETRICA M = Metrics();
    const int FW = Extent("F").cx;
    RECT R{20, 20, 300, 100};
    DrawTextA(Dc, "&File", -1, &R, 0);
    // A full row of ink under "F" below the baseline, nothing under the rest.
    int UnderRow = -1;
    for (int y = 20 + M.tmAscent; y < 20 + M.tmHeight && UnderRow < 0; ++y) {
        bool Full = true;
        for (int x = 20; x < 20 + FW; ++x) Full &= Px(x, y) == kInkPixel;
        if (Full) UnderRow = y;
    }
    ASSERT_GE(UnderRow, 0);
    EXPECT_NE(Px(20 + FW + 2, UnderRow), kInkPixel);
    EXPECT_EQ(Calc("&File", RECT{}, 0).right, Extent("File").cx);
    EXPECT_EQ(Calc("&File", RECT{}, DT_NOPREFIX).right, Extent("&File").cx);
    EXPECT_EQ(Calc("A && B", RECT{}, 0).right, Extent("A & B").cx);

    // DT_HIDEPREFIX: the text without the line; DT_PREFIXONLY: the line alone.
    Clear();
    DrawTextA(Dc, "&File", -1, &R, DT_HIDEPREFIX);
    EXPECT_NE(Px(20 + 1, UnderRow), kInkPixel);
    Clear();
    DrawTextA(Dc, "&File", -1, &R, DT_PREFIXONLY);
    TBox B = Find();
    EXPECT_EQ(B.Top, UnderRow);
    EXPECT_EQ(B.Left, 20);
    EXPECT_EQ(B.Right, 20 + FW);
}

TEST_F(TextTest, EllipsisMakesTheTextFit) {
    const char* Text = "A rather long caption that cannot fit";
    RECT R{10, 10, 110, 40};
    DrawTextA(Dc, Text, -1, &R, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    TBox B = Find();
    EXPECT_LE(B.Right, 110);
    EXPECT_GT(B.Right, 80);
    Clear();
    DrawTextA(Dc, Text, -1, &R, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(Find().Right, 110);

    char Buf[64];
    std::strcpy(Buf, Text);
    DrawTextA(Dc, Buf, -1, &R, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    const std::string Short = Buf;
    ASSERT_GE(Short.size(), 4u);
    EXPECT_EQ(Short.substr(Short.size() - 3), "...");
    EXPECT_EQ(std::string(Text).substr(0, Short.size() - 3), Short.substr(0, Short.size() - 3));
    EXPECT_LE(Extent(Buf).cx, 100);
    EXPECT_GT(Extent(Buf).cx, 70);

    // The path form keeps the last part and cuts the middle.
    std::strcpy(Buf, "C:\\Program Files\\Some Vendor\\Product\\file.txt");
    RECT P{0, 0, 120, 20};
    DrawTextA(Dc, Buf, -1, &P, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    const std::string Path = Buf;
    EXPECT_NE(Path.find("..."), std::string::npos);
    EXPECT_EQ(Path.substr(Path.size() - 9), "\\file.txt");
    EXPECT_EQ(Path.substr(0, 3), "C:\\");
    EXPECT_LE(Extent(Buf).cx, 120);
    EXPECT_LE(P.right, 120);
    // Text that fits is left alone.
    std::strcpy(Buf, "Short");
    DrawTextA(Dc, Buf, -1, &P, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    EXPECT_STREQ(Buf, "Short");
}

TEST_F(TextTest, TabsExpandToStops) {
    const int Ave = Metrics().tmAveCharWidth;
    const int BW = Extent("b").cx;
    EXPECT_EQ(Calc("a\tb", RECT{}, DT_EXPANDTABS).right, 8 * Ave + BW);
    // DT_TABSTOP's tab size takes bits 8..15, where DT_CALCRECT would be: draw instead.
    RECT R{0, 0, 300, 50};
    DrawTextA(Dc, "\tI", -1, &R, DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
    TBox B = Find();
    EXPECT_GE(B.Left, 4 * Ave);
    EXPECT_LT(B.Right, 4 * Ave + Extent("I").cx + 1);
    EXPECT_EQ(Calc("a\t\tb", RECT{}, DT_EXPANDTABS).right, 16 * Ave + BW);
}

TEST_F(TextTest, DrawTextOpaqueFillsOnlyTheTextCells) {
    SetBkMode(Dc, OPAQUE);
    SetBkColor(Dc, RGB(255, 255, 0));
    RECT R{10, 10, 300, 100};
    const int H2 = DrawTextA(Dc, "first\nsecond line", -1, &R, 0);
    EXPECT_EQ(H2, 2 * Metrics().tmHeight);
    TBox Y = Find(0xFFFF00);
    EXPECT_EQ(Y.Left, 10);
    EXPECT_EQ(Y.Top, 10);
    EXPECT_EQ(Y.Bottom, 10 + H2);
    EXPECT_EQ(Y.Right, 10 + Extent("second line").cx);
    // The first, shorter line leaves the rest of its row alone.
    EXPECT_EQ(Px(10 + Extent("first").cx + 2, 12), kWhite);
}

}  // namespace
