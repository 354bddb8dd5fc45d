// Device-independent bitmap layouts: header parsing, row decoding and encoding, colour tables and matching.
#include "host/gdi/dibcodec.h"

#include <bit>
#include <cstring>
#include <string>

#include "host/rtl/exceptions.h"

namespace host::gdi {

namespace {

int64_t GMaxImagePixels = int64_t(1) << 28;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

[[noreturn]] void Invalid(const std::string& Why) { throw EInvalidGraphic("Bitmap image is not valid (" + Why + ")"); }

// One colour channel of a bit-field format.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
    uint32_t Max = 0;
    bool Contiguous = true;

    explicit TChannel(uint32_t M) : Mask(M) {
        if (M == 0) return;
        Shift = std::countr_zero(M);
        Max = M >> Shift;
        Bits = std::popcount(M);
        Contiguous = (Max & (Max + 1)) == 0;
    }
    // The channel of a stored value, widened to 8 bits by repeating its bits.
    uint32_t Expand(uint32_t V) const {
        if (Mask == 0) return 0;
        const uint32_t x = (V & Mask) >> Shift;
        if (!Contiguous) return uint32_t((uint64_t(x) * 255 + Max / 2) / Max);
        if (Bits >= 8) return x >> (Bits - 8);
        uint32_t r = x << (8 - Bits);
        for (int have = Bits; have < 8; have *= 2) r |= r >> have;
        return r & 0xFF;
    }
    // An 8-bit value narrowed to the channel (the high bits kept).
    uint32_t Narrow(uint32_t V8) const {
        if (Mask == 0) return 0;
        uint32_t x;
        if (!Contiguous) x = uint32_t((uint64_t(V8) * Max + 127) / 255);
        else if (Bits <= 8) x = V8 >> (8 - Bits);
        else x = uint32_t((uint64_t(V8) * Max + 127) / 255);
        return (x << Shift) & Mask;
    }
};

struct TChannels {
    TChannel R, G, B, A;
    explicit TChannels(const uint32_t* M) : R(M[0]), G(M[1]), B(M[2]), A(M[3]) {}
    uint32_t Decode(uint32_t V) const {
        return (A.Expand(V) << 24) | (R.Expand(V) << 16) | (G.Expand(V) << 8) | B.Expand(V);
    }
    uint32_t Encode(uint32_t P) const {
        return R.Narrow((P >> 16) & 0xFF) | G.Narrow((P >> 8) & 0xFF) | B.Narrow(P & 0xFF) | A.Narrow(P >> 24);
    }
};

std::vector<uint32_t> MakeHalftone() {
    std::vector<uint32_t> t = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                               0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
    static const uint32_t kLevels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    for (uint32_t r : kLevels)
        for (uint32_t g : kLevels)
            for (uint32_t b : kLevels) t.push_back((r << 16) | (g << 8) | b);
    // Greys between the cube's levels fill the rest of the middle.
    for (uint32_t v = 0x08; t.size() < 246; v += 0x0C) {
        if (v % 0x33 == 0) continue;
        t.push_back((v << 16) | (v << 8) | v);
    }
    const uint32_t kTail[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    t.insert(t.end(), kTail, kTail + 10);
    return t;
}

}  // namespace

int64_t MaxImagePixels() { return GMaxImagePixels; }
void SetMaxImagePixels(int64_t Pixels) { GMaxImagePixels = Pixels > 0 ? Pixels : int64_t(1) << 28; }

void CheckImageSize(int64_t Width, int64_t Height, const char* Kind) {
    if (Width <= 0 || Height <= 0 || Width > kMaxImageSide || Height > kMaxImageSide ||
        Width * Height > GMaxImagePixels)
        throw EInvalidGraphic(std::string(Kind) + " image is not valid (its size " + std::to_string(Width) + " x " +
                              std::to_string(Height) + " is out of range)");
}

bool TDibLayout::PlainRgb32() const {
    if (BitCount != 32) return false;
    if (Compression == BI_RGB) return true;
    return Masks[0] == 0xFF0000 && Masks[1] == 0xFF00 && Masks[2] == 0xFF && (Masks[3] == 0 || Masks[3] == 0xFF000000u);
}

TDibLayout ParseDibHeader(const uint8_t* D, size_t Size, size_t& HeaderBytes, const TDibParse& O) {
    if (D == nullptr || Size < 4) Invalid("the header is truncated");
    const uint32_t hs = Le32(D);
    TDibLayout L;
    int64_t width = 0, height = 0;
    uint32_t clrUsed = 0;
    const bool core = hs == 12;
    if (core) {
        if (!O.AllowCore) Invalid("a core header is not allowed here");
        if (Size < 12) Invalid("the header is truncated");
        width = Le16(D + 4);
        height = Le16(D + 6);
        L.BitCount = Le16(D + 10);
    } else if ((hs >= 16 && hs <= 64) || hs == 108 || hs == 124) {
        if (Size < hs) Invalid("the header is truncated");
        width = int32_t(Le32(D + 4));
        height = int32_t(Le32(D + 8));
        L.BitCount = Le16(D + 14);
        L.Compression = hs >= 20 ? Le32(D + 16) : BI_RGB;
        clrUsed = hs >= 36 ? Le32(D + 32) : 0;
        if (hs == 64 && L.Compression == BI_BITFIELDS) Invalid("Huffman compression is not supported");
    } else {
        Invalid("the header size " + std::to_string(hs) + " is unknown");
    }
    if (width <= 0) Invalid("the width " + std::to_string(width) + " is not positive");
    if (height == 0) Invalid("the height is zero");
    L.TopDown = height < 0;
    if (height < 0) height = -height;
    CheckImageSize(width, height);
    L.Width = int(width);
    L.Height = int(height);

    const int bpp = L.BitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Invalid(std::to_string(bpp) + " bits per pixel are not supported");
    switch (L.Compression) {
        case BI_RGB: break;
        case BI_RLE8:
            if (bpp != 8) Invalid("RLE8 compression needs 8 bits per pixel");
            break;
        case BI_RLE4:
            if (bpp != 4) Invalid("RLE4 compression needs 4 bits per pixel");
            break;
        case BI_BITFIELDS:
        case BI_ALPHABITFIELDS:
            if (bpp != 16 && bpp != 32) Invalid("bit fields need 16 or 32 bits per pixel");
            break;
        default: Invalid("compression " + std::to_string(L.Compression) + " is not supported");
    }

    size_t pos = hs;
    if (L.Compression == BI_BITFIELDS || L.Compression == BI_ALPHABITFIELDS) {
        if (hs >= 52) {
            for (int i = 0; i < 3; ++i) L.Masks[i] = Le32(D + 40 + 4 * i);
            if (hs >= 56) L.Masks[3] = Le32(D + 52);
        } else {
            const int n = L.Compression == BI_ALPHABITFIELDS ? 4 : 3;
            if (Size - pos < size_t(4 * n)) Invalid("the colour masks are truncated");
            for (int i = 0; i < n; ++i) L.Masks[i] = Le32(D + pos + 4 * i);
            pos += size_t(4 * n);
        }
        L.Compression = BI_BITFIELDS;
        if (bpp == 16)
            for (uint32_t& m : L.Masks) m &= 0xFFFF;
        if ((L.Masks[0] | L.Masks[1] | L.Masks[2]) == 0) Invalid("the colour masks are empty");
    } else if (bpp == 16) {
        L.Masks[0] = 0x7C00, L.Masks[1] = 0x03E0, L.Masks[2] = 0x001F;
    } else if (bpp == 32) {
        L.Masks[0] = 0xFF0000, L.Masks[1] = 0xFF00, L.Masks[2] = 0xFF;
    }

    // The colour table: RGBQUADs, RGBTRIPLEs after a core header, or 16-bit palette indexes.
    uint64_t entries = bpp <= 8 ? (clrUsed != 0 ? clrUsed : (1u << bpp)) : clrUsed;
    const size_t entrySize = O.PalIndices ? 2 : (core ? 3 : 4);
    if (entries > (Size - pos) / entrySize) Invalid("the colour table is truncated");
    const uint8_t* table = D + pos;
    pos += size_t(entries) * entrySize;
    if (bpp <= 8) {
        const size_t used = std::min<uint64_t>(entries, uint64_t(1) << bpp);
        L.Colors.resize(used);
        for (size_t i = 0; i < used; ++i) {
            if (O.PalIndices) {
                const uint16_t index = Le16(table + 2 * i);
                L.Colors[i] = (O.Palette != nullptr && index < O.Palette->size()) ? (*O.Palette)[index] & 0xFFFFFF : 0;
            } else {
                const uint8_t* e = table + i * entrySize;
                L.Colors[i] = (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0];
            }
        }
    }
    HeaderBytes = pos;
    return L;
}

void DecodeRow(const TDibLayout& L, const uint8_t* Row, int X0, int Count, uint32_t* Out) {
    const uint32_t* colors = L.Colors.data();
    const size_t ncolors = L.Colors.size();
    auto color = [&](unsigned i) { return i < ncolors ? colors[i] : 0u; };
    switch (L.BitCount) {
        case 1:
            for (int i = 0; i < Count; ++i) {
                const int x = X0 + i;
                Out[i] = color((Row[x >> 3] >> (7 - (x & 7))) & 1);
            }
            break;
        case 4:
            for (int i = 0; i < Count; ++i) {
                const int x = X0 + i;
                Out[i] = color((Row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
            }
            break;
        case 8:
            for (int i = 0; i < Count; ++i) Out[i] = color(Row[X0 + i]);
            break;
        case 16: {
            const TChannels ch(L.Masks);
            for (int i = 0; i < Count; ++i) Out[i] = ch.Decode(Le16(Row + 2 * size_t(X0 + i)));
            break;
        }
        case 24: {
            const uint8_t* p = Row + 3 * size_t(X0);
            for (int i = 0; i < Count; ++i, p += 3) Out[i] = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            break;
        }
        case 32:
            if (L.PlainRgb32()) {
                std::memcpy(Out, Row + 4 * size_t(X0), 4 * size_t(Count));
            } else {
                const TChannels ch(L.Masks);
                for (int i = 0; i < Count; ++i) Out[i] = ch.Decode(Le32(Row + 4 * size_t(X0 + i)));
            }
            break;
        default: break;
    }
}

TColorMatcher::TColorMatcher(const std::vector<uint32_t>& Colors) : FColors(Colors) {
    for (size_t i = FColors.size(); i-- > 0;) FCache[FColors[i] & 0xFFFFFF] = int(i);
}

int TColorMatcher::Lookup(uint32_t Rgb) {
    int best = 0;
    if (auto it = FCache.find(Rgb); it != FCache.end()) {
        best = it->second;
    } else {
        int64_t bestDist = INT64_MAX;
        const int r = int(Rgb >> 16), g = int((Rgb >> 8) & 0xFF), b = int(Rgb & 0xFF);
        for (size_t i = 0; i < FColors.size(); ++i) {
            const uint32_t c = FColors[i];
            const int dr = r - int((c >> 16) & 0xFF), dg = g - int((c >> 8) & 0xFF), db = b - int(c & 0xFF);
            const int64_t d = int64_t(dr) * dr + int64_t(dg) * dg + int64_t(db) * db;
            if (d < bestDist) bestDist = d, best = int(i);
        }
        if (FCache.size() < 65536) FCache.emplace(Rgb, best);
    }
    FLastRgb = Rgb;
    FLastIndex = best;
    return best;
}

void EncodeRow(const TDibLayout& L, const uint32_t* P, int Count, uint8_t* Row, TColorMatcher* Matcher) {
    // Packed pixels are ORed into zeroed bytes; wider ones overwrite theirs, so only what
    // follows them (the rest of the row and its padding) needs clearing.
    const size_t written = L.BitCount < 8 ? 0 : size_t(Count) * size_t(L.BitCount / 8);
    std::memset(Row + written, 0, L.Stride() - written);
    auto index = [&](uint32_t c) { return Matcher != nullptr ? unsigned(Matcher->Index(c)) : 0u; };
    switch (L.BitCount) {
        case 1:
            for (int x = 0; x < Count; ++x)
                if (index(P[x]) & 1) Row[x >> 3] |= uint8_t(0x80 >> (x & 7));
            break;
        case 4:
            for (int x = 0; x < Count; ++x) Row[x >> 1] |= uint8_t((index(P[x]) & 0x0F) << ((x & 1) ? 0 : 4));
            break;
        case 8:
            for (int x = 0; x < Count; ++x) Row[x] = uint8_t(index(P[x]));
            break;
        case 16: {
            const TChannels ch(L.Masks);
            for (int x = 0; x < Count; ++x) {
                const uint32_t v = ch.Encode(P[x]);
                Row[2 * x] = uint8_t(v);
                Row[2 * x + 1] = uint8_t(v >> 8);
            }
            break;
        }
        case 24:
            for (int x = 0; x < Count; ++x) {
                uint8_t* p = Row + 3 * size_t(x);
                p[0] = uint8_t(P[x]);
                p[1] = uint8_t(P[x] >> 8);
                p[2] = uint8_t(P[x] >> 16);
            }
            break;
        case 32:
            if (L.PlainRgb32()) {
                std::memcpy(Row, P, 4 * size_t(Count));
            } else {
                const TChannels ch(L.Masks);
                for (int x = 0; x < Count; ++x) {
                    const uint32_t v = ch.Encode(P[x]);
                    std::memcpy(Row + 4 * size_t(x), &v, 4);
                }
            }
            break;
        default: break;
    }
}

const std::vector<uint32_t>& DefaultColorTable(int BitCount) {
    static const std::vector<uint32_t> kMono = {0x000000, 0xFFFFFF};
    static const std::vector<uint32_t> kVga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    static const std::vector<uint32_t> kHalftone = MakeHalftone();
    if (BitCount <= 1) return kMono;
    if (BitCount <= 4) return kVga;
    return kHalftone;
}

uint64_t HashBytes(const uint8_t* Data, size_t Size) {
    // Four independent lanes, so the multiplications overlap and the loop runs at memory speed.
    constexpr uint64_t K = 0x9E3779B97F4A7C15ull;
    uint64_t h[4] = {0x243F6A8885A308D3ull ^ Size, 0x13198A2E03707344ull, 0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull};
    size_t i = 0;
    for (; i + 32 <= Size; i += 32) {
        uint64_t w[4];
        std::memcpy(w, Data + i, 32);
        for (int k = 0; k < 4; ++k) {
            h[k] = (h[k] ^ w[k]) * K;
            h[k] ^= h[k] >> 29;
        }
    }
    uint64_t r = h[0] ^ std::rotl(h[1], 17) ^ std::rotl(h[2], 31) ^ std::rotl(h[3], 47);
    for (; i < Size; ++i) r = (r ^ Data[i]) * 0x100000001B3ull;
    return r ^ (r >> 32);
}

}  // namespace host::gdi
