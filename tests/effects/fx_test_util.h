// Pictures for the transition tests: surfaces whose pixels encode their own coordinates, read back whole.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/gdi/gdi.h"

namespace fxtest {

// A 32-bit bitmap selected into its own memory DC.
class TSurface {
public:
    TSurface(int W, int H) : FW(W), FH(H) {
        Dc = host::CreateCompatibleDC(nullptr);
        Bmp = host::CreateBitmap(W, H, 1, 32, nullptr);
        FOld = host::SelectObject(Dc, Bmp);
    }
    ~TSurface() {
        host::SelectObject(Dc, FOld);
        host::DeleteObject(Bmp);
        host::DeleteDC(Dc);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    int W() const { return FW; }
    int H() const { return FH; }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> p(size_t(FW) * FH);
        host::GetBitmapBits(Bmp, host::LONG(p.size() * 4), p.data());
        return p;
    }
    void SetPixels(const std::vector<uint32_t>& P) { host::SetBitmapBits(Bmp, host::DWORD(P.size() * 4), P.data()); }
    template <class F>
    void Paint(F Fn) {
        std::vector<uint32_t> p(size_t(FW) * FH);
        for (int y = 0; y < FH; ++y)
            for (int x = 0; x < FW; ++x) p[size_t(y) * FW + x] = Fn(x, y);
        SetPixels(p);
    }

    host::HDC Dc = nullptr;
    host::HBITMAP Bmp = nullptr;

private:
    int FW, FH;
    host::HGDIOBJ FOld = nullptr;
};

// Pixel values that say which picture they belong to and where they sit in it.
constexpr uint32_t kOldTag = 1u << 22, kNewTag = 2u << 22, kSentinel = 0xFFFFFF;
inline uint32_t OldAt(int X, int Y) { return kOldTag | uint32_t(X) << 11 | uint32_t(Y); }
inline uint32_t NewAt(int X, int Y) { return kNewTag | uint32_t(X) << 11 | uint32_t(Y); }

// The Width x Height window at (Left, Top) of a surface's pixels.
inline std::vector<uint32_t> Window(const TSurface& S, int Left, int Top, int Width, int Height) {
    std::vector<uint32_t> all = S.Pixels(), out;
    out.reserve(size_t(Width) * Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) out.push_back(all[size_t(Top + y) * S.W() + Left + x]);
    return out;
}

}  // namespace fxtest
