// Bitmap file images and compressed bitmap resources built for the tests.
#pragma once

#include <windows.h>

#include <vector>

#include "objfile/lzss.h"
#include "support/bytes.h"

namespace images {

// Colours of the test images: all of them static colours of a palette
// display, so that device-dependent bitmaps hold them exactly.
constexpr COLORREF kColors[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

// An 8-bit bitmap file image with a 256-entry colour table (entries 0..4 the
// colours above, the rest black); pixels are given top row first, one byte
// each, and stored bottom-up.
inline std::vector<BYTE> bitmapFile(int width, int height, const std::vector<BYTE> &topDown)
{
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    const size_t offBits = 14 + 40 + 256 * 4;
    std::vector<BYTE> f(offBits + stride * height);
    BYTE *b = f.data();
    support::put16(b, 0, 0x4D42);
    support::put32(b, 2, static_cast<DWORD>(f.size()));
    support::put32(b, 10, static_cast<DWORD>(offBits));
    support::put32(b, 14, 40);
    support::put32(b, 18, static_cast<DWORD>(width));
    support::put32(b, 22, static_cast<DWORD>(height));
    support::put16(b, 26, 1);
    support::put16(b, 28, 8);
    support::put32(b, 34, static_cast<DWORD>(stride * height));
    for (int i = 0; i < 5; i++) {
        b[54 + 4 * i] = GetBValue(kColors[i]);
        b[55 + 4 * i] = GetGValue(kColors[i]);
        b[56 + 4 * i] = GetRValue(kColors[i]);
    }
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) b[offBits + (height - 1 - y) * stride + x] = topDown[y * width + x];
    return f;
}

// The 3 x 2 image of the tests: red green blue / white black red.
inline std::vector<BYTE> sampleBitmap() { return bitmapFile(3, 2, {1, 2, 3, 4, 0, 1}); }
inline COLORREF sampleColor(int x, int y) { return kColors[std::vector<BYTE>{1, 2, 3, 4, 0, 1}[y * 3 + x]]; }

// A compressed bitmap resource: decoded size, resource size, LZSS stream.
inline std::vector<BYTE> compressed(const std::vector<BYTE> &image)
{
    std::vector<BYTE> out(8);
    vek::LzssEncode(
        image.data(), static_cast<DWORD>(image.size()),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto &o = *static_cast<std::vector<BYTE> *>(context);
            o.insert(o.end(), bytes, bytes + length);
        },
        &out);
    support::put32(out.data(), 0, static_cast<DWORD>(image.size()));
    support::put32(out.data(), 4, static_cast<DWORD>(out.size()));
    return out;
}

// The colours of a bitmap's pixels, top row first, read with GetDIBits.
inline std::vector<COLORREF> bitmapColors(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> colors;
    if (rows != height) return colors;
    for (DWORD p : pixels) colors.push_back(RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
    return colors;
}

}  // namespace images
