// RIFF AVI clips: parsing the headers and the 'movi' list, decoding uncompressed and RLE8 frames, and writing clips.
#include "host/os/avi.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

constexpr uint32_t AVIIF_KEYFRAME = 0x10;
constexpr uint32_t AVIF_HASINDEX = 0x10;
constexpr uint32_t BI_RGB_ = 0, BI_RLE8_ = 1;
constexpr int MaxSide = 32767;

template <class... A>
std::string Fmt(const char* F, A... Args) {
    return Format(F, {TVarRec(Args)...});
}

[[noreturn]] void Fail(const std::string& What) { throw EInvalidGraphic("Invalid AVI clip: " + What); }

uint32_t Le32(const std::string& D, size_t Off) {
    auto p = reinterpret_cast<const unsigned char*>(D.data()) + Off;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const std::string& D, size_t Off) {
    auto p = reinterpret_cast<const unsigned char*>(D.data()) + Off;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
bool IsId(const std::string& D, size_t Off, const char* Id) { return std::memcmp(D.data() + Off, Id, 4) == 0; }

std::string IdText(const std::string& D, size_t Off) {
    std::string s;
    for (size_t i = 0; i < 4; ++i) {
        char c = D[Off + i];
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

// One chunk inside [Begin, End): its id at Off, data at Off + 8, Size bytes.
struct TRiffChunk {
    size_t Off = 0, Data = 0, Size = 0, Next = 0;
};

// Walks the chunks of a list's body; every size is checked against the list's end.
template <class Fn>
void ForEachChunk(const std::string& D, size_t Begin, size_t End, const char* Where, Fn&& Visit) {
    size_t off = Begin;
    while (off < End) {
        if (End - off < 8) Fail(Fmt("truncated chunk header at offset %d in %s", static_cast<int>(off), Where));
        size_t size = Le32(D, off + 4);
        if (size > End - off - 8)
            Fail(Fmt("chunk '%s' at offset %d (%d bytes) runs past the end of %s", IdText(D, off).c_str(),
                        static_cast<int>(off), static_cast<unsigned>(size), Where));
        TRiffChunk c{off, off + 8, size, std::min(End, off + 8 + size + (size & 1))};
        Visit(c);
        off = c.Next;
    }
}

uint32_t PaletteRgb(const RGBQUAD& q) {
    return (static_cast<uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
}

}  // namespace

TAviReader::TAviReader(std::string Bytes) : FData(std::move(Bytes)) { Parse(); }

TAviReader TAviReader::FromFile(const std::string& FileName) {
    std::string bytes;
    if (!ReadFileBytes(FileName, bytes, int64_t(1) << 31))
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    return TAviReader(std::move(bytes));
}

TAviReader TAviReader::FromMemory(const void* Data, size_t Size) {
    if (Data == nullptr || Size == 0) Fail("no data");
    return TAviReader(std::string(static_cast<const char*>(Data), Size));
}

void TAviReader::Parse() {
    const std::string& d = FData;
    if (d.size() < 12 || !IsId(d, 0, "RIFF") || !IsId(d, 8, "AVI ")) Fail("not a RIFF 'AVI ' file");
    // A RIFF size past the end of the file is clamped: the chunks inside are still
    // checked against what is there.
    size_t end = std::min<size_t>(d.size(), size_t(8) + Le32(d, 4));

    bool haveAvih = false, haveVideo = false, haveStrf = false;
    uint32_t avihPeriod = 0, scale = 0, rate = 0;
    int streamIndex = 0, videoStream = -1;
    size_t moviBegin = 0, moviEnd = 0;
    bool haveMovi = false;
    size_t idxOff = 0, idxSize = 0;
    bool haveIdx = false;
    int64_t rawHeight = 0;
    uint32_t clrUsed = 0, biSize = 0;
    TRiffChunk strf;

    ForEachChunk(d, 12, end, "the file", [&](const TRiffChunk& c) {
        if (IsId(d, c.Off, "LIST") && c.Size >= 4 && IsId(d, c.Data, "hdrl")) {
            ForEachChunk(d, c.Data + 4, c.Data + c.Size, "'hdrl'", [&](const TRiffChunk& h) {
                if (IsId(d, h.Off, "avih")) {
                    if (h.Size < 40) Fail("'avih' header too short");
                    avihPeriod = Le32(d, h.Data);
                    haveAvih = true;
                } else if (IsId(d, h.Off, "LIST") && h.Size >= 4 && IsId(d, h.Data, "strl")) {
                    int thisStream = streamIndex++;
                    bool isVideo = false;
                    TRiffChunk thisStrf;
                    bool thisHasStrf = false;
                    uint32_t s = 0, r = 0;
                    ForEachChunk(d, h.Data + 4, h.Data + h.Size, "'strl'", [&](const TRiffChunk& sc) {
                        if (IsId(d, sc.Off, "strh")) {
                            if (sc.Size < 32) Fail("'strh' header too short");
                            isVideo = IsId(d, sc.Data, "vids");
                            s = Le32(d, sc.Data + 20);
                            r = Le32(d, sc.Data + 24);
                        } else if (IsId(d, sc.Off, "strf")) {
                            thisStrf = sc;
                            thisHasStrf = true;
                        }
                    });
                    if (isVideo && !haveVideo) {
                        haveVideo = true;
                        videoStream = thisStream;
                        scale = s;
                        rate = r;
                        if (thisHasStrf) {
                            haveStrf = true;
                            strf = thisStrf;
                        }
                    }
                }
            });
        } else if (IsId(d, c.Off, "LIST") && c.Size >= 4 && IsId(d, c.Data, "movi")) {
            if (!haveMovi) {
                haveMovi = true;
                moviBegin = c.Data;  // idx1 offsets count from the 'movi' identifier
                moviEnd = c.Data + c.Size;
            }
        } else if (IsId(d, c.Off, "idx1")) {
            haveIdx = true;
            idxOff = c.Data;
            idxSize = c.Size;
        }
    });

    if (!haveAvih) Fail("no 'avih' main header");
    if (!haveVideo) Fail("no video stream");
    if (!haveStrf) Fail("the video stream has no 'strf' format");
    if (!haveMovi) Fail("no 'movi' list");

    // The format: a BITMAPINFOHEADER and, for 8-bit frames, its colour table.
    if (strf.Size < 40) Fail("'strf' format too short for a bitmap header");
    biSize = Le32(d, strf.Data);
    if (biSize < 40 || biSize > strf.Size) Fail(Fmt("bitmap header size %d is wrong", biSize));
    int64_t width = static_cast<int32_t>(Le32(d, strf.Data + 4));
    rawHeight = static_cast<int32_t>(Le32(d, strf.Data + 8));
    FBitCount = Le16(d, strf.Data + 14);
    FCompression = Le32(d, strf.Data + 16);
    clrUsed = Le32(d, strf.Data + 32);
    if (width <= 0 || width > MaxSide || rawHeight == 0 || rawHeight > MaxSide || rawHeight < -MaxSide)
        Fail(Fmt("frame size %d x %d is out of range", static_cast<int>(width), static_cast<int>(rawHeight)));
    if (FCompression != BI_RGB_ && FCompression != BI_RLE8_)
        Fail(Fmt("compression %d is not supported", FCompression));
    if (FCompression == BI_RLE8_ && FBitCount != 8) Fail("RLE8 frames must be 8 bits deep");
    if (FBitCount != 8 && FBitCount != 16 && FBitCount != 24 && FBitCount != 32)
        Fail(Fmt("%d bits per pixel is not supported", FBitCount));
    if (FCompression == BI_RLE8_ && rawHeight < 0) Fail("RLE8 frames cannot be top-down");
    FWidth = static_cast<int>(width);
    FHeight = static_cast<int>(rawHeight < 0 ? -rawHeight : rawHeight);
    FTopDown = rawHeight < 0;
    uint64_t pixels = uint64_t(FWidth) * uint64_t(FHeight);
    // Frames are decoded into Width x Height pixels: never more than the file could
    // describe (a run of 255 pixels takes 2 bytes).
    if (pixels > (uint64_t(1) << 24) || pixels > uint64_t(d.size()) * 128)
        Fail(Fmt("frame size %d x %d is larger than the file can hold", FWidth, FHeight));
    if (FBitCount == 8) {
        size_t available = (strf.Size - biSize) / 4;
        if (clrUsed > 256) Fail(Fmt("colour table of %d entries", clrUsed));
        size_t n = clrUsed != 0 ? clrUsed : std::min<size_t>(256, available);
        if (n > available) Fail(Fmt("colour table of %d entries does not fit in 'strf'", static_cast<unsigned>(n)));
        FPalette.assign(256, RGBQUAD{});
        for (size_t i = 0; i < n; ++i) {
            size_t o = strf.Data + biSize + 4 * i;
            FPalette[i].rgbBlue = static_cast<BYTE>(d[o]);
            FPalette[i].rgbGreen = static_cast<BYTE>(d[o + 1]);
            FPalette[i].rgbRed = static_cast<BYTE>(d[o + 2]);
        }
    }
    if (avihPeriod != 0)
        FMicroSecPerFrame = avihPeriod;
    else if (scale != 0 && rate != 0)
        FMicroSecPerFrame = static_cast<uint32_t>(std::clamp<uint64_t>(uint64_t(scale) * 1000000 / rate, 1, 60000000));

    // The frames: '##db' / '##dc' chunks of the video stream, also inside 'rec ' lists.
    char prefix[3] = {static_cast<char>('0' + videoStream / 10 % 10), static_cast<char>('0' + videoStream % 10), 0};
    uint64_t stride = (uint64_t(FWidth) * FBitCount + 31) / 32 * 4;
    uint64_t frameBytes = stride * uint64_t(FHeight);
    std::vector<size_t> ids;  // the chunk offsets, for matching the index
    auto scan = [&](auto&& self, size_t Begin, size_t End, int Depth) -> void {
        ForEachChunk(d, Begin, End, "'movi'", [&](const TRiffChunk& c) {
            if (IsId(d, c.Off, "LIST")) {
                if (c.Size >= 4 && IsId(d, c.Data, "rec ") && Depth < 4) self(self, c.Data + 4, c.Data + c.Size, Depth + 1);
                return;
            }
            if (d[c.Off] != prefix[0] || d[c.Off + 1] != prefix[1]) return;
            if (d[c.Off + 2] != 'd' || (d[c.Off + 3] != 'b' && d[c.Off + 3] != 'c')) return;
            if (FCompression == BI_RGB_ && c.Size != 0 && c.Size < frameBytes)
                Fail(Fmt("frame %d holds %d bytes, needs %d", FrameCount() + 1, static_cast<unsigned>(c.Size),
                            static_cast<unsigned>(frameBytes)));
            TChunk f{c.Data, c.Size, FCompression == BI_RGB_ && c.Size != 0};
            FFrames.push_back(f);
            ids.push_back(c.Off);
        });
    };
    scan(scan, moviBegin + 4, moviEnd, 0);
    if (FFrames.empty()) Fail("the clip has no frames");

    // Key frames of compressed clips come from the index when it matches the chunks.
    if (haveIdx && FCompression == BI_RLE8_) {
        std::vector<bool> keys;
        for (size_t o = idxOff; o + 16 <= idxOff + idxSize; o += 16) {
            if (d[o] != prefix[0] || d[o + 1] != prefix[1] || d[o + 2] != 'd') continue;
            keys.push_back((Le32(d, o + 4) & AVIIF_KEYFRAME) != 0);
            if (keys.size() > FFrames.size()) break;
        }
        if (keys.size() == FFrames.size())
            for (size_t i = 0; i < keys.size(); ++i) FFrames[i].Key = keys[i] && FFrames[i].Size != 0;
    }
    FFrames[0].Key = true;
}

void TAviReader::ApplyFrame(int Index, std::vector<uint32_t>& Pixels) const {
    const TChunk& f = FFrames[static_cast<size_t>(Index)];
    if (f.Size == 0) return;  // a dropped frame repeats the previous picture
    const auto* src = reinterpret_cast<const unsigned char*>(FData.data()) + f.Offset;
    const int w = FWidth, h = FHeight;
    if (FCompression == BI_RGB_) {
        size_t stride = (size_t(w) * FBitCount + 31) / 32 * 4;
        for (int y = 0; y < h; ++y) {
            const unsigned char* row = src + stride * size_t(FTopDown ? y : h - 1 - y);
            uint32_t* out = Pixels.data() + size_t(y) * w;
            for (int x = 0; x < w; ++x) {
                switch (FBitCount) {
                    case 8: out[x] = PaletteRgb(FPalette[row[x]]); break;
                    case 16: {
                        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                        out[x] = ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
                        break;
                    }
                    case 24: out[x] = (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
                    default: out[x] = (row[4 * x + 2] << 16) | (row[4 * x + 1] << 8) | row[4 * x]; break;
                }
            }
        }
        return;
    }
    // RLE8: rows bottom-up; runs and literal spans past the frame are clipped.
    size_t p = 0, n = f.Size;
    int x = 0, y = 0;
    auto put = [&](int X, unsigned Idx) {
        if (X >= 0 && X < w && y < h) Pixels[size_t(h - 1 - y) * w + X] = PaletteRgb(FPalette[Idx]);
    };
    while (p + 1 < n && y < h) {
        unsigned a = src[p], b = src[p + 1];
        p += 2;
        if (a != 0) {
            for (unsigned k = 0; k < a; ++k) put(x++, b);
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            break;
        } else if (b == 2) {
            if (p + 1 >= n) break;
            x += src[p];
            y += src[p + 1];
            p += 2;
        } else {
            size_t count = std::min<size_t>(b, n - p);
            for (size_t k = 0; k < count; ++k) put(x++, src[p + k]);
            p += count + (count & 1);
        }
        if (x > w) x = w;  // keeps the column bounded on hostile input
    }
}

void TAviReader::Render(int Index, std::vector<uint32_t>& Pixels, int& Current) const {
    if (Index < 0 || Index >= FrameCount())
        throw ERangeError(Fmt("Frame %d is out of range (the clip has %d)", Index + 1, FrameCount()));
    size_t count = size_t(FWidth) * FHeight;
    if (Pixels.size() != count) Current = -1;
    if (Current == Index) return;
    int key = Index;
    while (key > 0 && !FFrames[static_cast<size_t>(key)].Key) --key;
    int start;
    if (Current >= key && Current < Index) {
        start = Current + 1;
    } else {
        Pixels.assign(count, FBitCount == 8 ? PaletteRgb(FPalette[0]) : 0);
        start = key;
    }
    Current = -1;  // an exception half-way leaves nothing claimed
    for (int i = start; i <= Index; ++i) ApplyFrame(i, Pixels);
    Current = Index;
}

std::vector<uint32_t> TAviReader::Frame(int Index) const {
    std::vector<uint32_t> px;
    int cur = -1;
    Render(Index, px, cur);
    return px;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

namespace {

struct TRiffOut {
    std::string B;
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) B += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void U16(uint16_t v) {
        B += static_cast<char>(v & 0xFF);
        B += static_cast<char>(v >> 8);
    }
    void Id(const char* s) { B.append(s, 4); }
    // Starts a chunk (or a list with its type); returns where its size goes.
    size_t Begin(const char* Id_, const char* ListType = nullptr) {
        Id(Id_);
        size_t at = B.size();
        U32(0);
        if (ListType) Id(ListType);
        return at;
    }
    void End(size_t At) {
        uint32_t size = static_cast<uint32_t>(B.size() - At - 4);
        for (int i = 0; i < 4; ++i) B[At + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        if (size & 1) B += '\0';
    }
};

// Appends the RLE8 runs of one row span of palette indexes.
void EncodeSpan(std::string& Out, const uint8_t* Px, int N) {
    int i = 0;
    auto runAt = [&](int k) {
        int r = 1;
        while (k + r < N && r < 255 && Px[k + r] == Px[k]) ++r;
        return r;
    };
    while (i < N) {
        int r = runAt(i);
        if (r >= 3 || N - i < 3) {
            Out += static_cast<char>(r);
            Out += static_cast<char>(Px[i]);
            i += r;
            continue;
        }
        int j = i;
        while (j < N && j - i < 255 && runAt(j) < 3) ++j;
        int len = j - i;
        if (len < 3) {
            for (int k = i; k < j; ++k) {
                Out += '\1';
                Out += static_cast<char>(Px[k]);
            }
        } else {
            Out += '\0';
            Out += static_cast<char>(len);
            Out.append(reinterpret_cast<const char*>(Px + i), static_cast<size_t>(len));
            if (len & 1) Out += '\0';
        }
        i = j;
    }
}

// One RLE8 frame: rows bottom-up; only the pixels that differ from Prev (all when
// Prev is null), skipping unchanged stretches with delta escapes.
std::string EncodeRle8(const std::vector<uint8_t>& Px, const std::vector<uint8_t>* Prev, int W, int H) {
    std::string out;
    int lastChanged = -1;  // the last row (bottom-up numbering) with a change
    for (int y = 0; y < H; ++y) {
        const uint8_t* row = Px.data() + size_t(H - 1 - y) * W;
        if (!Prev || std::memcmp(row, Prev->data() + size_t(H - 1 - y) * W, size_t(W)) != 0) lastChanged = y;
    }
    for (int y = 0; y <= lastChanged; ++y) {
        const uint8_t* row = Px.data() + size_t(H - 1 - y) * W;
        const uint8_t* old = Prev ? Prev->data() + size_t(H - 1 - y) * W : nullptr;
        int x = 0;
        while (x < W) {
            int same = 0;
            while (old && x + same < W && row[x + same] == old[x + same]) ++same;
            if (x + same == W) break;  // the rest of the row is unchanged
            if (same >= 4) {
                for (int skip = same; skip > 0;) {
                    int s = std::min(skip, 255);
                    out += '\0';
                    out += '\2';
                    out += static_cast<char>(s);
                    out += '\0';
                    skip -= s;
                }
                x += same;
                continue;
            }
            // A changed stretch: up to the next run of 4 unchanged pixels.
            int e = x + std::max(same, 1);
            while (e < W) {
                int s = 0;
                while (old && e + s < W && s < 4 && row[e + s] == old[e + s]) ++s;
                if (old && (s >= 4 || e + s == W)) break;
                e += std::max(s, 1);
            }
            EncodeSpan(out, row + x, e - x);
            x = e;
        }
        if (y < lastChanged) out.append("\0\0", 2);
    }
    out.append("\0\1", 2);
    return out;
}

}  // namespace

std::string WriteAvi(const TAviClipData& Clip, TAviEncoding Encoding) {
    const int w = Clip.Width, h = Clip.Height;
    if (w <= 0 || h <= 0 || w > MaxSide || h > MaxSide) Fail(Fmt("frame size %d x %d is out of range", w, h));
    if (Clip.Frames.empty()) Fail("the clip has no frames");
    const size_t count = size_t(w) * h;
    for (const auto& f : Clip.Frames)
        if (f.size() != count) Fail("a frame does not match the clip's size");

    const bool indexed = Encoding == TAviEncoding::Rgb8 || Encoding == TAviEncoding::Rle8;
    const int bits = indexed ? 8 : Encoding == TAviEncoding::Rgb16 ? 16 : Encoding == TAviEncoding::Rgb24 ? 24 : 32;
    std::vector<uint32_t> palette;
    std::vector<std::vector<uint8_t>> indexes;
    if (indexed) {
        std::unordered_map<uint32_t, uint8_t> map;
        for (const auto& f : Clip.Frames) {
            std::vector<uint8_t> ix(count);
            for (size_t i = 0; i < count; ++i) {
                uint32_t c = f[i] & 0xFFFFFF;
                auto it = map.find(c);
                if (it == map.end()) {
                    if (palette.size() == 256) Fail("more than 256 colours for an 8-bit clip");
                    it = map.emplace(c, static_cast<uint8_t>(palette.size())).first;
                    palette.push_back(c);
                }
                ix[i] = it->second;
            }
            indexes.push_back(std::move(ix));
        }
    }

    // The frame chunks' data.
    const bool rle = Encoding == TAviEncoding::Rle8;
    const size_t stride = (size_t(w) * bits + 31) / 32 * 4;
    std::vector<std::string> frames;
    for (size_t n = 0; n < Clip.Frames.size(); ++n) {
        if (rle) {
            frames.push_back(EncodeRle8(indexes[n], n == 0 ? nullptr : &indexes[n - 1], w, h));
            continue;
        }
        std::string data(stride * h, '\0');
        for (int y = 0; y < h; ++y) {
            auto* out = reinterpret_cast<unsigned char*>(data.data()) + stride * size_t(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                uint32_t c = Clip.Frames[n][size_t(y) * w + x];
                unsigned r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
                switch (bits) {
                    case 8: out[x] = indexes[n][size_t(y) * w + x]; break;
                    case 16: {
                        unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
                        out[2 * x] = v & 0xFF;
                        out[2 * x + 1] = static_cast<unsigned char>(v >> 8);
                        break;
                    }
                    case 24: out[3 * x] = b, out[3 * x + 1] = g, out[3 * x + 2] = r; break;
                    default: out[4 * x] = b, out[4 * x + 1] = g, out[4 * x + 2] = r, out[4 * x + 3] = 0; break;
                }
            }
        }
        frames.push_back(std::move(data));
    }
    size_t largest = 0;
    for (const auto& f : frames) largest = std::max(largest, f.size());
    const uint32_t nFrames = static_cast<uint32_t>(frames.size());
    const uint32_t period = Clip.MicroSecPerFrame != 0 ? Clip.MicroSecPerFrame : 66666;

    TRiffOut o;
    size_t riff = o.Begin("RIFF", "AVI ");
    size_t hdrl = o.Begin("LIST", "hdrl");
    size_t avih = o.Begin("avih");
    o.U32(period);
    o.U32(static_cast<uint32_t>(uint64_t(largest) * 1000000 / period));
    o.U32(0);
    o.U32(AVIF_HASINDEX);
    o.U32(nFrames);
    o.U32(0);
    o.U32(1);
    o.U32(static_cast<uint32_t>(largest));
    o.U32(static_cast<uint32_t>(w));
    o.U32(static_cast<uint32_t>(h));
    for (int i = 0; i < 4; ++i) o.U32(0);
    o.End(avih);
    size_t strl = o.Begin("LIST", "strl");
    size_t strh = o.Begin("strh");
    o.Id("vids");
    o.Id(rle ? "RLE " : "DIB ");
    o.U32(0);  // flags
    o.U16(0);  // priority
    o.U16(0);  // language
    o.U32(0);  // initial frames
    o.U32(period);
    o.U32(1000000);
    o.U32(0);
    o.U32(nFrames);
    o.U32(static_cast<uint32_t>(largest));
    o.U32(0xFFFFFFFF);
    o.U32(0);
    o.U16(0), o.U16(0), o.U16(static_cast<uint16_t>(w)), o.U16(static_cast<uint16_t>(h));
    o.End(strh);
    size_t strf = o.Begin("strf");
    o.U32(40);
    o.U32(static_cast<uint32_t>(w));
    o.U32(static_cast<uint32_t>(h));
    o.U16(1);
    o.U16(static_cast<uint16_t>(bits));
    o.U32(rle ? BI_RLE8_ : BI_RGB_);
    o.U32(static_cast<uint32_t>(rle ? largest : stride * h));
    o.U32(0), o.U32(0);
    o.U32(static_cast<uint32_t>(palette.size()));
    o.U32(0);
    for (uint32_t c : palette) o.U32(c);  // RGBQUAD: blue, green, red, 0 in little-endian order
    o.End(strf);
    o.End(strl);
    o.End(hdrl);
    size_t movi = o.Begin("LIST", "movi");
    size_t moviId = movi + 4;
    std::vector<std::pair<size_t, size_t>> where;
    for (const auto& f : frames) {
        where.emplace_back(o.B.size() - moviId, f.size());
        size_t c = o.Begin(rle ? "00dc" : "00db");
        o.B += f;
        o.End(c);
    }
    o.End(movi);
    size_t idx = o.Begin("idx1");
    for (size_t n = 0; n < where.size(); ++n) {
        o.Id(rle ? "00dc" : "00db");
        o.U32(!rle || n == 0 ? AVIIF_KEYFRAME : 0);
        o.U32(static_cast<uint32_t>(where[n].first));
        o.U32(static_cast<uint32_t>(where[n].second));
    }
    o.End(idx);
    o.End(riff);
    return std::move(o.B);
}

void WriteAviFile(const std::string& FileName, const TAviClipData& Clip, TAviEncoding Encoding) {
    std::string bytes = WriteAvi(Clip, Encoding);
    if (!WriteFileAtomic(FileName, bytes)) throw EFCreateError("Cannot create file \"" + FileName + "\"");
}

}  // namespace host
