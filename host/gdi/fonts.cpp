// Realised fonts: fontconfig name matching, FreeType faces sized as the system sizes fonts, glyph caches.
#include "host/gdi/fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>

namespace host::gdi {

namespace {

std::recursive_mutex GFontMutex;  // guards the caches below and FreeType's library object

std::string Lower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return S;
}

std::string Trim(const std::string& S) {
    size_t b = S.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = S.find_last_not_of(" \t");
    return S.substr(b, e - b + 1);
}

bool FontconfigReady() {
    // fontconfig's own tables are released when the program ends, so that leak checks
    // see nothing of them.
    static const bool Ready = FcInit() == FcTrue && std::atexit([] { FcFini(); }) == 0;
    return Ready;
}

std::shared_ptr<FT_LibraryRec_> Library() {
    static std::shared_ptr<FT_LibraryRec_> Lib = [] {
        FT_Library L = nullptr;
        if (FT_Init_FreeType(&L) != 0) return std::shared_ptr<FT_LibraryRec_>();
        return std::shared_ptr<FT_LibraryRec_>(L, [](FT_Library P) { FT_Done_FreeType(P); });
    }();
    return Lib;
}

enum class TGeneric { Sans, Serif, Mono };

// Names of the classic system's faces and of the generic families, by the kind of
// installed face they stand for.
TGeneric GenericOfName(const std::string& LowerName, bool& Known) {
    static const std::map<std::string, TGeneric> Names = {
        {"ms sans serif", TGeneric::Sans},   {"microsoft sans serif", TGeneric::Sans},
        {"ms shell dlg", TGeneric::Sans},    {"ms shell dlg 2", TGeneric::Sans},
        {"arial", TGeneric::Sans},           {"helvetica", TGeneric::Sans},
        {"helv", TGeneric::Sans},            {"system", TGeneric::Sans},
        {"tahoma", TGeneric::Sans},          {"verdana", TGeneric::Sans},
        {"segoe ui", TGeneric::Sans},        {"small fonts", TGeneric::Sans},
        {"sans", TGeneric::Sans},            {"sans-serif", TGeneric::Sans},
        {"default", TGeneric::Sans},         {"courier new", TGeneric::Mono},
        {"courier", TGeneric::Mono},         {"fixedsys", TGeneric::Mono},
        {"terminal", TGeneric::Mono},        {"lucida console", TGeneric::Mono},
        {"consolas", TGeneric::Mono},        {"monospace", TGeneric::Mono},
        {"mono", TGeneric::Mono},            {"times new roman", TGeneric::Serif},
        {"times", TGeneric::Serif},          {"ms serif", TGeneric::Serif},
        {"tms rmn", TGeneric::Serif},        {"georgia", TGeneric::Serif},
        {"serif", TGeneric::Serif},          {"roman", TGeneric::Serif},
    };
    auto It = Names.find(LowerName);
    Known = It != Names.end();
    return Known ? It->second : TGeneric::Sans;
}

TGeneric GenericOfPitch(BYTE PitchAndFamily) {
    const BYTE Family = PitchAndFamily & 0xF0;
    if ((PitchAndFamily & 0x03) == FIXED_PITCH || Family == 0x30) return TGeneric::Mono;  // FF_MODERN
    if (Family == 0x10) return TGeneric::Serif;                                           // FF_ROMAN
    return TGeneric::Sans;
}

// One fontconfig query: the best face of Family with the weight and slant asked for.
// With Exact, the face must belong to that family (fontconfig otherwise substitutes).
bool QueryFamily(const char* Family, int Weight, bool Italic, bool Exact, TFontMatch& Out) {
    FcPattern* Pat = FcPatternCreate();
    if (Pat == nullptr) return false;
    FcPatternAddString(Pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family));
    FcPatternAddInteger(Pat, FC_WEIGHT, FcWeightFromOpenType(Weight));
    FcPatternAddInteger(Pat, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(Pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, Pat, FcMatchPattern);
    FcDefaultSubstitute(Pat);
    FcResult Res = FcResultNoMatch;
    FcPattern* M = FcFontMatch(nullptr, Pat, &Res);
    FcPatternDestroy(Pat);
    if (M == nullptr) return false;
    bool Ok = true;
    FcChar8* File = nullptr;
    FcChar8* Name = nullptr;
    if (FcPatternGetString(M, FC_FILE, 0, &File) != FcResultMatch) Ok = false;
    if (Ok && Exact) {
        Ok = false;
        const std::string Want = Lower(Family);
        for (int i = 0; FcPatternGetString(M, FC_FAMILY, i, &Name) == FcResultMatch; ++i)
            if (Lower(reinterpret_cast<const char*>(Name)) == Want) {
                Ok = true;
                break;
            }
    }
    if (Ok) {
        Out.File = reinterpret_cast<const char*>(File);
        int Index = 0, FcW = FC_WEIGHT_REGULAR, Slant = FC_SLANT_ROMAN, Spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(M, FC_INDEX, 0, &Index);
        FcPatternGetInteger(M, FC_WEIGHT, 0, &FcW);
        FcPatternGetInteger(M, FC_SLANT, 0, &Slant);
        FcPatternGetInteger(M, FC_SPACING, 0, &Spacing);
        Out.Index = Index;
        Out.Family = FcPatternGetString(M, FC_FAMILY, 0, &Name) == FcResultMatch
                         ? reinterpret_cast<const char*>(Name)
                         : std::string(Family);
        Out.SynthBold = Weight >= FW_SEMIBOLD && FcW < FC_WEIGHT_DEMIBOLD;
        Out.SynthItalic = Italic && Slant == FC_SLANT_ROMAN;
        Out.Monospace = Spacing >= FC_MONO;
    }
    FcPatternDestroy(M);
    return Ok;
}

bool MatchGeneric(TGeneric G, int Weight, bool Italic, TFontMatch& Out) {
    static const char* const Sans[] = {"Liberation Sans", "DejaVu Sans"};
    static const char* const Serif[] = {"Liberation Serif", "DejaVu Serif"};
    static const char* const Mono[] = {"Liberation Mono", "DejaVu Sans Mono"};
    const char* const* List = G == TGeneric::Mono ? Mono : G == TGeneric::Serif ? Serif : Sans;
    const char* Generic = G == TGeneric::Mono ? "monospace" : G == TGeneric::Serif ? "serif" : "sans-serif";
    bool Ok = QueryFamily(List[0], Weight, Italic, true, Out) || QueryFamily(List[1], Weight, Italic, true, Out) ||
              QueryFamily(Generic, Weight, Italic, false, Out);
    if (Ok) {
        Out.FamilyClass = G == TGeneric::Mono ? 0x30 : G == TGeneric::Serif ? 0x10 : 0x20;
        if (G == TGeneric::Mono) Out.Monospace = true;
    }
    return Ok;
}

bool MatchLocked(const LOGFONTA& Log, TFontMatch& Out) {
    static std::map<std::string, TFontMatch> Cache;
    const std::string Name = Trim(std::string(Log.lfFaceName, strnlen(Log.lfFaceName, LF_FACESIZE)));
    const int Weight = Log.lfWeight <= 0 ? FW_NORMAL : std::clamp<int>(Log.lfWeight, 1, 1000);
    const bool Italic = Log.lfItalic != 0;
    const std::string Key = Lower(Name) + '|' + std::to_string(Weight) + '|' + (Italic ? '1' : '0') + '|' +
                            std::to_string(Log.lfPitchAndFamily);
    auto It = Cache.find(Key);
    if (It != Cache.end()) {
        Out = It->second;
        return true;
    }
    if (!FontconfigReady()) return false;
    TFontMatch M;
    bool Known = false;
    TGeneric G = Name.empty() ? GenericOfPitch(Log.lfPitchAndFamily) : GenericOfName(Lower(Name), Known);
    bool Ok = false;
    if (!Name.empty() && !Known) {
        // An installed family asked for by its own name; anything else falls back
        // on the generic face its pitch and family suggest.
        Ok = QueryFamily(Name.c_str(), Weight, Italic, true, M);
        if (Ok) M.FamilyClass = M.Monospace ? 0x30 : 0x20;
        else G = GenericOfPitch(Log.lfPitchAndFamily);
    }
    if (!Ok) Ok = MatchGeneric(G, Weight, Italic, M);
    if (!Ok) return false;
    Cache.emplace(Key, M);
    Out = M;
    return true;
}

long RoundL(double V) { return std::lround(V); }

}  // namespace

// ---- UTF-8 ----

char32_t NextCodePoint(const char* Text, size_t Length, size_t& Pos) {
    const auto* S = reinterpret_cast<const unsigned char*>(Text);
    const unsigned char B = S[Pos];
    int Extra = 0;
    char32_t Code = B;
    if (B >= 0xC2 && B <= 0xDF) Extra = 1, Code = B & 0x1F;
    else if (B >= 0xE0 && B <= 0xEF) Extra = 2, Code = B & 0x0F;
    else if (B >= 0xF0 && B <= 0xF4) Extra = 3, Code = B & 0x07;
    if (Extra == 0 || Pos + size_t(Extra) >= Length) {
        // Not a lead byte, or the sequence is cut off: the byte itself.
        ++Pos;
        return B;
    }
    char32_t C = Code;
    for (int i = 1; i <= Extra; ++i) {
        const unsigned char N = S[Pos + size_t(i)];
        if ((N & 0xC0) != 0x80) {
            ++Pos;
            return B;
        }
        C = (C << 6) | (N & 0x3F);
    }
    const bool Overlong = (Extra == 2 && C < 0x800) || (Extra == 3 && (C < 0x10000 || C > 0x10FFFF));
    const bool Surrogate = C >= 0xD800 && C <= 0xDFFF;
    if (Overlong || Surrogate) {
        ++Pos;
        return B;
    }
    Pos += size_t(Extra) + 1;
    return C;
}

std::u32string DecodeUtf8(const char* Text, size_t Length) {
    std::u32string Out;
    Out.reserve(Length);
    for (size_t i = 0; i < Length;) Out.push_back(NextCodePoint(Text, Length, i));
    return Out;
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

// ---- matching ----

bool MatchFont(const LOGFONTA& Log, TFontMatch& Match) {
    std::lock_guard<std::recursive_mutex> Lock(GFontMutex);
    return MatchLocked(Log, Match);
}

const LOGFONTA& DefaultLogFont() {
    static const LOGFONTA Log = [] {
        LOGFONTA L;
        L.lfHeight = 16;
        L.lfWeight = FW_BOLD;
        L.lfCharSet = ANSI_CHARSET;
        std::strcpy(L.lfFaceName, "System");
        return L;
    }();
    return Log;
}

std::vector<std::string> InstalledFamilies() {
    std::lock_guard<std::recursive_mutex> Lock(GFontMutex);
    std::set<std::string> Names;
    if (!FontconfigReady()) return {};
    FcPattern* Pat = FcPatternCreate();
    FcObjectSet* Os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* Set = FcFontList(nullptr, Pat, Os);
    if (Set != nullptr) {
        for (int i = 0; i < Set->nfont; ++i) {
            FcChar8* Name = nullptr;
            for (int k = 0; FcPatternGetString(Set->fonts[i], FC_FAMILY, k, &Name) == FcResultMatch; ++k)
                Names.insert(reinterpret_cast<const char*>(Name));
        }
        FcFontSetDestroy(Set);
    }
    FcObjectSetDestroy(Os);
    FcPatternDestroy(Pat);
    return std::vector<std::string>(Names.begin(), Names.end());
}

// ---- faces ----

TFontFace::TFontFace(std::shared_ptr<FT_LibraryRec_> Lib, FT_FaceRec_* Face, const TFontMatch& Match,
                     const LOGFONTA& Log)
    : FLibrary(std::move(Lib)), FFace(Face), FMatch(Match) {
    const double Upem = Face->units_per_EM > 0 ? Face->units_per_EM : 2048;
    const TT_OS2* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
    const TT_HoriHeader* Hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(Face, FT_SFNT_HHEA));
    double WinAscent = Face->ascender, WinDescent = -Face->descender;
    if (Os2 != nullptr && Os2->version != 0xFFFF && Os2->usWinAscent + Os2->usWinDescent > 0) {
        WinAscent = Os2->usWinAscent;
        WinDescent = Os2->usWinDescent;
    }
    if (WinAscent + WinDescent <= 0) WinAscent = Upem * 0.9, WinDescent = Upem * 0.2;

    // Heights as the system takes them: negative is the character (em) height, positive
    // the cell height (ascent + descent), zero a default cell of 16 pixels.
    const int Cell = Log.lfHeight == 0 ? 16 : Log.lfHeight > 0 ? Log.lfHeight : 0;
    double Em = Cell > 0 ? Cell * Upem / (WinAscent + WinDescent) : -double(Log.lfHeight);
    Em = std::clamp(Em, 1.0, 2000.0);
    const double Scale = Em / Upem;
    double EmX = Em;
    if (Log.lfWidth > 0 && Os2 != nullptr && Os2->version != 0xFFFF && Os2->xAvgCharWidth > 0)
        EmX = std::clamp(Log.lfWidth * Upem / Os2->xAvgCharWidth, 1.0, 2000.0);
    const double ScaleX = EmX / Upem;
    FT_Set_Char_Size(Face, FT_F26Dot6(RoundL(EmX * 64)), FT_F26Dot6(RoundL(Em * 64)), 72, 72);

    FEm = int(RoundL(Em));
    if (Cell > 0) {
        FAscent = int(RoundL(WinAscent * Scale));
        FDescent = Cell - FAscent;
    } else {
        const int H = int(RoundL((WinAscent + WinDescent) * Scale));
        FAscent = int(RoundL(WinAscent * Scale));
        FDescent = H - FAscent;
    }
    if (FDescent < 0) FDescent = 0;
    if (Hhea != nullptr) {
        const double Gap = Hhea->Line_Gap - ((WinAscent + WinDescent) - (Hhea->Ascender - Hhea->Descender));
        FExternalLeading = Gap > 0 ? int(RoundL(Gap * Scale)) : 0;
    }
    FMaxCharWidth = int(RoundL(Face->max_advance_width * ScaleX));
    if (Os2 != nullptr && Os2->version != 0xFFFF && Os2->xAvgCharWidth > 0)
        FAveCharWidth = std::max(1, int(RoundL(Os2->xAvgCharWidth * ScaleX)));
    else
        FAveCharWidth = std::max(1, Advance(U'x'));

    // Underline: FreeType gives the centre of the stem, below the baseline.
    const double UlPos = Face->underline_position != 0 ? -Face->underline_position : Upem * 0.1;
    const double UlThick = Face->underline_thickness > 0 ? Face->underline_thickness : Upem / 20.0;
    FUnderlineHeight = std::max(1, int(RoundL(UlThick * Scale)));
    FUnderlineTop = FAscent + std::max(0, int(RoundL(UlPos * Scale - UlThick * Scale / 2)));
    FUnderlineTop = std::max(FAscent, std::min(FUnderlineTop, Height() - FUnderlineHeight));
    double StPos = Upem * 0.26, StSize = UlThick;
    if (Os2 != nullptr && Os2->version != 0xFFFF && Os2->yStrikeoutSize > 0) {
        StPos = Os2->yStrikeoutPosition;
        StSize = Os2->yStrikeoutSize;
    }
    FStrikeHeight = std::max(1, int(RoundL(StSize * Scale)));
    FStrikeTop = std::clamp(FAscent - int(RoundL(StPos * Scale)), 0, std::max(0, Height() - FStrikeHeight));
}

TFontFace::~TFontFace() {
    std::lock_guard<std::recursive_mutex> Lock(GFontMutex);
    FT_Done_Face(FFace);
}

const TGlyph& TFontFace::Glyph(char32_t Code) {
    if (Code < 128) {
        if (!FAsciiDone[Code]) {
            Render(Code, FAscii[Code]);
            FAsciiDone[Code] = true;
        }
        return FAscii[Code];
    }
    auto It = FOther.find(Code);
    if (It != FOther.end()) return It->second;
    TGlyph& G = FOther[Code];
    Render(Code, G);
    return G;
}

void TFontFace::Render(char32_t Code, TGlyph& G) {
    G = TGlyph();
    if (Code < 0x20 || Code == 0x7F) return;  // control characters take no room
    const FT_UInt Index = FT_Get_Char_Index(FFace, Code);
    const bool Synth = FMatch.SynthBold || FMatch.SynthItalic;
    FT_Int32 Flags = FT_LOAD_TARGET_MONO;
    if (Synth) Flags |= FT_LOAD_NO_BITMAP;
    else Flags |= FT_LOAD_RENDER;
    if (FT_Load_Glyph(FFace, Index, Flags) != 0) return;
    FT_GlyphSlot Slot = FFace->glyph;
    int Extra = 0;
    if (Synth && Slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (FMatch.SynthItalic) {
            FT_Matrix Shear{0x10000, 0x0366A, 0, 0x10000};  // x += 0.2126 y
            FT_Outline_Transform(&Slot->outline, &Shear);
        }
        if (FMatch.SynthBold) {
            const FT_Pos Strength = std::max<FT_Pos>(64, FFace->size->metrics.y_ppem * 64 / 24);
            FT_Outline_EmboldenXY(&Slot->outline, Strength, 0);
            Extra = int((Strength + 32) >> 6);
        }
    }
    if (Slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(Slot, FT_RENDER_MODE_MONO) != 0) return;
    G.Advance = int((Slot->advance.x + 32) >> 6) + Extra;
    const FT_Bitmap& B = Slot->bitmap;
    G.Left = Slot->bitmap_left;
    G.Top = Slot->bitmap_top;
    G.Width = int(B.width);
    G.Height = int(B.rows);
    G.Bits.assign(size_t(G.Width) * size_t(G.Height), 0);
    for (int y = 0; y < G.Height; ++y) {
        const unsigned char* Row = B.buffer + ptrdiff_t(y) * B.pitch;
        uint8_t* Out = G.Bits.data() + size_t(y) * size_t(G.Width);
        if (B.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < G.Width; ++x) Out[x] = (Row[x >> 3] >> (7 - (x & 7))) & 1;
        } else if (B.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (int x = 0; x < G.Width; ++x) Out[x] = Row[x] >= 128 ? 1 : 0;
        }
    }
}

std::shared_ptr<TFontFace> RealiseFont(const LOGFONTA& Log) {
    TFontMatch M;
    if (!MatchFont(Log, M)) return nullptr;
    std::lock_guard<std::recursive_mutex> Lock(GFontMutex);
    // Faces are shared between logical fonts that give the same file and size; the most
    // recently used stay open after their last font goes, since fonts are made and
    // deleted often while the same few sizes are in use.
    static std::map<std::string, std::weak_ptr<TFontFace>> Faces;
    static std::deque<std::shared_ptr<TFontFace>> Recent;
    const std::string Key = M.File + '|' + std::to_string(M.Index) + '|' + std::to_string(Log.lfHeight) + '|' +
                            std::to_string(Log.lfHeight == 0 ? 0 : Log.lfWidth) + '|' + (M.SynthBold ? '1' : '0') +
                            (M.SynthItalic ? '1' : '0');
    auto It = Faces.find(Key);
    if (It != Faces.end()) {
        if (auto F = It->second.lock()) return F;
    }
    auto Lib = Library();
    if (!Lib) return nullptr;
    FT_Face Face = nullptr;
    if (FT_New_Face(Lib.get(), M.File.c_str(), M.Index, &Face) != 0 || Face == nullptr) return nullptr;
    if (!FT_IS_SCALABLE(Face)) {
        FT_Done_Face(Face);
        return nullptr;
    }
    auto F = std::make_shared<TFontFace>(Lib, Face, M, Log);
    Faces[Key] = F;
    Recent.push_back(F);
    if (Recent.size() > 32) Recent.pop_front();
    for (auto E = Faces.begin(); E != Faces.end();) E = E->second.expired() ? Faces.erase(E) : std::next(E);
    return F;
}

}  // namespace host::gdi
