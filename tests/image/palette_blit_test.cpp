// Colour information, bitmap mirroring and the plain blits of bitmaps and
// bitmap file images.
#include <windows.h>
#include <vekkit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "image/bitmap_files.h"

namespace {

// A 32-bit top-down DIB section in a memory DC, to draw into and read back.
struct Target {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD *pixels = nullptr;
    int width;

    Target(int w, int h) : width(w)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void *bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD *>(bits);
        std::memset(pixels, 0x77, sizeof(DWORD) * w * h);
        old = SelectObject(dc, bitmap);
    }
    ~Target()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Target(const Target &) = delete;
    Target &operator=(const Target &) = delete;

    COLORREF at(int x, int y) const
    {
        const DWORD p = pixels[y * width + x];
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
};

constexpr COLORREF kUntouched = RGB(0x77, 0x77, 0x77);

// The sample image as a device-dependent bitmap of the display's format.
HBITMAP sampleDdb()
{
    const std::vector<BYTE> file = images::sampleBitmap();
    // The headers sit at byte 14, not 4-byte aligned: cast, never reached as members.
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(file.data() + 14);
    const auto *info = reinterpret_cast<const BITMAPINFO *>(file.data() + 14);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, header, CBM_INIT, file.data() + support::get32(file.data(), 10), info,
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The sample image in a movable global block, as vekLoadBitmap hands it out.
HGLOBAL sampleBlock(const std::vector<BYTE> &file)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size());
    std::memcpy(GlobalLock(block), file.data(), file.size());
    GlobalUnlock(block);
    return block;
}

}  // namespace

TEST(ColorInfo, ReportsTheDevicesColoursAndPalette)
{
    HDC screen = GetDC(nullptr);
    DWORD colors = 0;
    WORD paletteSize = 0xBEEF;
    vekGetColorInfo(screen, &colors, &paletteSize);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    EXPECT_EQ(colors, bits >= 24 ? DWORD{1} << 24 : DWORD{1} << bits);
    const bool palette = GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE;
    EXPECT_EQ(paletteSize, palette ? GetDeviceCaps(screen, SIZEPALETTE) : 0);
    vekGetColorInfo(screen, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
}

TEST(FlipBitmap, MirrorsLeftToRightIntoANewBitmap)
{
    HBITMAP source = sampleDdb();
    ASSERT_NE(source, nullptr);
    HPALETTE palettes[] = {nullptr, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE))};
    for (HPALETTE palette : palettes) {
        HBITMAP mirrored = vekFlipBitmap(source, palette);
        ASSERT_NE(mirrored, nullptr);
        BITMAP a, b;
        GetObjectA(source, sizeof a, &a);
        GetObjectA(mirrored, sizeof b, &b);
        EXPECT_EQ(b.bmWidth, 3);
        EXPECT_EQ(b.bmHeight, 2);
        EXPECT_EQ(b.bmBitsPixel, a.bmBitsPixel) << "the source's format";
        const std::vector<COLORREF> colors = images::bitmapColors(mirrored, 3, 2);
        ASSERT_EQ(colors.size(), 6u);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++)
                EXPECT_EQ(colors[y * 3 + x], images::sampleColor(2 - x, y)) << "pixel " << x << "," << y;
        DeleteObject(mirrored);
    }
    const std::vector<COLORREF> unchanged = images::bitmapColors(source, 3, 2);
    ASSERT_EQ(unchanged.size(), 6u);
    EXPECT_EQ(unchanged[0], images::sampleColor(0, 0)) << "the source is left as it was";
    DeleteObject(source);
    EXPECT_EQ(vekFlipBitmap(nullptr, nullptr), nullptr);
}

TEST(DDBlt, CopiesFromTheBitmapWithSixteenBitCoordinates)
{
    HBITMAP source = sampleDdb();
    Target target(4, 2);
    // x 0x10001 is 1, source x 0x20001 is 1: two pixels of the top row.
    EXPECT_TRUE(vekDDBlt(target.dc, 0x10001, 0, 2, 1, source, 0x20001, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 0), kUntouched);
    EXPECT_EQ(target.at(1, 0), images::sampleColor(1, 0));
    EXPECT_EQ(target.at(2, 0), images::sampleColor(2, 0));
    EXPECT_EQ(target.at(1, 1), kUntouched);
    // 0xFFFF is -1: the whole image one column to the left.
    EXPECT_TRUE(vekDDBlt(target.dc, 0xFFFF, 0, 3, 2, source, 0, 0, SRCCOPY));
    EXPECT_EQ(target.at(0, 1), images::sampleColor(1, 1));
    EXPECT_EQ(target.at(1, 1), images::sampleColor(2, 1));
    DeleteObject(source);
}

TEST(DIBlt, DrawsTheImageOfABlockWithItsRgbColours)
{
    const std::vector<BYTE> file = images::sampleBitmap();
    HGLOBAL block = sampleBlock(file);
    for (DWORD unused : {DWORD{0}, DWORD{DIB_PAL_COLORS}, DWORD{0xFFFFFFFF}}) {
        Target target(4, 3);
        EXPECT_EQ(vekDIBlt(target.dc, 1, 0x10001, 3, 2, block, 0, 0, SRCCOPY, unused), 2);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++) EXPECT_EQ(target.at(x + 1, y + 1), images::sampleColor(x, y));
        EXPECT_EQ(target.at(0, 0), kUntouched);
    }
    GlobalFree(block);

    // Pixels said to lie past the block's end: nothing is drawn.
    std::vector<BYTE> lying = file;
    support::put32(lying.data(), 10, static_cast<DWORD>(lying.size() - 2));
    block = sampleBlock(lying);
    Target target(4, 3);
    EXPECT_EQ(vekDIBlt(target.dc, 0, 0, 3, 2, block, 0, 0, SRCCOPY, 0), 0);
    EXPECT_EQ(target.at(0, 0), kUntouched);
    GlobalFree(block);
}
