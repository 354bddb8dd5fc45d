// RIFF AVI clips: a bounds-checked reader of uncompressed and RLE8 video streams, and a writer for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host {

// How the writer stores the frames.
enum class TAviEncoding { Rgb8, Rgb16, Rgb24, Rgb32, Rle8 };

// A clip to write: frames of Width x Height pixels, 0x00RRGGBB, rows top-down.
struct TAviClipData {
    int Width = 0, Height = 0;
    uint32_t MicroSecPerFrame = 100000;
    std::vector<std::vector<uint32_t>> Frames;
};

// A video clip read from a RIFF AVI file (the first video stream). The file's bytes are
// kept and frames are decoded on demand. Every size is checked against its chunk and
// the file; a file that cannot be played raises EInvalidGraphic naming the problem.
class TAviReader {
public:
    TAviReader() = default;
    // Parses the bytes (copied); raises EInvalidGraphic.
    explicit TAviReader(std::string Bytes);
    static TAviReader FromFile(const std::string& FileName);
    static TAviReader FromMemory(const void* Data, size_t Size);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int FrameCount() const { return static_cast<int>(FFrames.size()); }
    // Frame period (never 0: a clip without a rate plays at 15 frames a second).
    uint32_t MicroSecPerFrame() const { return FMicroSecPerFrame; }
    int BitCount() const { return FBitCount; }
    bool Rle8() const { return FCompression == 1; }
    const std::vector<RGBQUAD>& Palette() const { return FPalette; }

    // Brings Pixels (Width * Height, 0x00RRGGBB, top-down) to frame Index (0-based).
    // Current is the frame Pixels holds (-1: nothing); frames that only change parts
    // of the picture are applied on top of the previous ones from the last key frame,
    // so playing forward decodes one frame per step. Raises ERangeError for a bad index.
    void Render(int Index, std::vector<uint32_t>& Pixels, int& Current) const;
    // Frame Index decoded from scratch.
    std::vector<uint32_t> Frame(int Index) const;

private:
    struct TChunk {
        size_t Offset = 0, Size = 0;
        bool Key = false;
    };
    std::string FData;
    int FWidth = 0, FHeight = 0, FBitCount = 0;
    bool FTopDown = false;
    uint32_t FCompression = 0;
    uint32_t FMicroSecPerFrame = 66666;
    std::vector<RGBQUAD> FPalette;
    std::vector<TChunk> FFrames;

    void Parse();
    void ApplyFrame(int Index, std::vector<uint32_t>& Pixels) const;
};

// Writes a clip as an AVI file image: 'hdrl' with one video stream, 'movi' with one
// chunk per frame and an 'idx1' index. Rgb8 and Rle8 need at most 256 colours
// across the clip; Rle8 stores the first frame whole and each later one as the runs
// that changed. Raises EInvalidGraphic for an empty clip, mismatched frame sizes or
// too many colours.
std::string WriteAvi(const TAviClipData& Clip, TAviEncoding Encoding);
void WriteAviFile(const std::string& FileName, const TAviClipData& Clip, TAviEncoding Encoding);

}  // namespace host
