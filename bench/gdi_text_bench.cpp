// Text: DrawText of a word-wrapped paragraph against rendering the same glyphs with plain FreeType calls.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"
#include "host/gdi/gdi.h"

namespace {

using namespace host;

// About 1,000 characters of ordinary words.
std::string Paragraph() {
    static const char* const Words[] = {"database", "navigator", "the",    "record",  "field",  "of",
                                        "a",        "table",     "filter", "report",  "window", "and",
                                        "button",   "is",        "label",  "toolbar", "query",  "to"};
    std::string S;
    for (size_t i = 0; S.size() < 1000; ++i) {
        if (!S.empty()) S += ' ';
        S += Words[(i * 7 + i / 3) % (sizeof(Words) / sizeof(Words[0]))];
    }
    S.resize(1000);
    return S;
}

RYX_BENCH("gdi.drawtext_paragraph", c) {
    const std::string Text = Paragraph();
    constexpr int Width = 400, Height = 400;
    LOGFONTA Log;
    Log.lfHeight = -11;
    std::strcpy(Log.lfFaceName, "MS Sans Serif");

    HDC Dc = CreateCompatibleDC(nullptr);
    HBITMAP Bmp = CreateBitmap(Width, Height, 1, 32, nullptr);
    HFONT Font = CreateFontIndirectA(&Log);
    HGDIOBJ OldBmp = SelectObject(Dc, Bmp);
    HGDIOBJ OldFont = SelectObject(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);

    // The baseline: the same face at the same size, each glyph loaded and rendered by
    // FreeType and copied into a buffer, wrapping at the width.
    FT_Library Lib = nullptr;
    FT_Face Face = nullptr;
    FT_Init_FreeType(&Lib);
    FT_New_Face(Lib, GetFontFile(Log).c_str(), 0, &Face);
    FT_Set_Pixel_Sizes(Face, 0, 11);
    std::vector<uint32_t> Buffer(size_t(Width) * Height);
    auto Plain = [&] {
        int PenX = 0, Base = 12;
        for (unsigned char Ch : Text) {
            if (FT_Load_Char(Face, Ch, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
            const FT_GlyphSlot G = Face->glyph;
            const int Adv = int(G->advance.x >> 6);
            if (PenX + Adv > Width) PenX = 0, Base += 14;
            const FT_Bitmap& B = G->bitmap;
            for (int y = 0; y < int(B.rows); ++y) {
                const int Row = Base - G->bitmap_top + y;
                if (Row < 0 || Row >= Height) continue;
                for (int x = 0; x < int(B.width); ++x) {
                    const int Col = PenX + G->bitmap_left + x;
                    if (Col >= 0 && Col < Width && (B.buffer[y * B.pitch + (x >> 3)] & (0x80 >> (x & 7))))
                        Buffer[size_t(Row) * Width + size_t(Col)] = 0x000000;
                }
            }
            PenX += Adv;
        }
        bench::DoNotOptimize(Buffer.data());
        bench::ClobberMemory();
    };
    auto Ours = [&] {
        RECT R{0, 0, Width, Height};
        bench::DoNotOptimize(DrawTextA(Dc, Text.c_str(), int(Text.size()), &R, DT_WORDBREAK));
    };
    c.Compare(Ours, Plain);

    FT_Done_Face(Face);
    FT_Done_FreeType(Lib);
    SelectObject(Dc, OldFont);
    SelectObject(Dc, OldBmp);
    DeleteObject(Font);
    DeleteObject(Bmp);
    DeleteDC(Dc);
}

}  // namespace
