// Realised fonts: face-name matching through fontconfig, FreeType faces at a pixel size, glyph caches.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/gdi/gditypes.h"

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace host::gdi {

// One rendered glyph: a 1-bit image (one byte 0/1 per pixel, rows top-down) placed
// relative to the pen position on the baseline.
struct TGlyph {
    int Left = 0;     // first column, from the pen position
    int Top = 0;      // rows above the baseline to the first row
    int Width = 0, Height = 0;
    int Advance = 0;  // pixels the pen moves after the glyph
    std::vector<uint8_t> Bits;
};

// The file a logical font maps to.
struct TFontMatch {
    std::string File;
    int Index = 0;         // face index inside the file
    std::string Family;    // the installed family that was chosen
    bool SynthBold = false, SynthItalic = false;  // the face lacks the weight or slant asked for
    bool Monospace = false;
    uint8_t FamilyClass = 0x20;  // FF_SWISS, FF_ROMAN or FF_MODERN
};

// A face at one size, with the metrics of the system's text calls.
struct TFontFace {
    TFontFace(std::shared_ptr<FT_LibraryRec_> Library, FT_FaceRec_* Face, const TFontMatch& Match, const LOGFONTA& Log);
    ~TFontFace();
    TFontFace(const TFontFace&) = delete;
    TFontFace& operator=(const TFontFace&) = delete;

    const TFontMatch& Match() const { return FMatch; }
    int EmPixels() const { return FEm; }      // character height (em size)
    int Ascent() const { return FAscent; }
    int Descent() const { return FDescent; }
    int Height() const { return FAscent + FDescent; }
    int ExternalLeading() const { return FExternalLeading; }
    int AveCharWidth() const { return FAveCharWidth; }
    int MaxCharWidth() const { return FMaxCharWidth; }
    // Rows of the underline and strike-out lines, counted from the top of the cell.
    int UnderlineTop() const { return FUnderlineTop; }
    int UnderlineHeight() const { return FUnderlineHeight; }
    int StrikeTop() const { return FStrikeTop; }
    int StrikeHeight() const { return FStrikeHeight; }

    // The glyph of a code point, rendered on first use (control characters are empty
    // and have no width).
    const TGlyph& Glyph(char32_t Code);
    int Advance(char32_t Code) { return Glyph(Code).Advance; }

private:
    void Render(char32_t Code, TGlyph& G);
    std::shared_ptr<FT_LibraryRec_> FLibrary;  // outlives the face
    FT_FaceRec_* FFace;
    TFontMatch FMatch;
    int FEm = 0, FAscent = 0, FDescent = 0, FExternalLeading = 0, FAveCharWidth = 0, FMaxCharWidth = 0;
    int FUnderlineTop = 0, FUnderlineHeight = 1, FStrikeTop = 0, FStrikeHeight = 1;
    TGlyph FAscii[128];
    bool FAsciiDone[128] = {};
    std::unordered_map<char32_t, TGlyph> FOther;
};

// Maps a logical font to an installed face file (cached per name, weight and slant).
// Returns false when no face is installed at all.
bool MatchFont(const LOGFONTA& Log, TFontMatch& Match);
// The realised face of a logical font, shared between fonts of the same file and size.
// nullptr when no face can be loaded.
std::shared_ptr<TFontFace> RealiseFont(const LOGFONTA& Log);
// The logical font a device context draws with when it has none selected.
const LOGFONTA& DefaultLogFont();
// The installed families, sorted, each once.
std::vector<std::string> InstalledFamilies();

// The code point at Text[Pos] (UTF-8), advancing Pos past it. A byte that does not
// start a valid sequence stands for itself (Latin-1), so legacy single-byte text shows.
char32_t NextCodePoint(const char* Text, size_t Length, size_t& Pos);
std::u32string DecodeUtf8(const char* Text, size_t Length);
void AppendUtf8(std::string& Out, char32_t Code);

}  // namespace host::gdi
