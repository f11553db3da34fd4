// StretchDIBits: DIB memory drawn into DCs at 1:1 and scaled, from bottom-up
// and top-down rows, raw and BI_RLE8, with RGB colour tables and palette
// indices. The destination is an 8-bit DIB section with a colour table of
// distinct colours, so that colours read back as indices on any display.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi_test_support.h"

using gditest::Dib8;
using gditest::distinctColor;
using gditest::Info256;

namespace {

// A source DIB whose colour table matches the destination's.
Info256 sourceInfo(LONG width, LONG height)
{
    Info256 bi(width, height);
    gditest::fillDistinctColors(bi);
    return bi;
}

// Rows of a bottom-up 8-bit DIB given top row first, with 32-bit padding.
std::vector<BYTE> bottomUp(int width, std::initializer_list<std::initializer_list<BYTE>> rowsTopFirst)
{
    const int stride = (width + 3) & ~3;
    std::vector<BYTE> bits(rowsTopFirst.size() * stride);
    int y = static_cast<int>(rowsTopFirst.size()) - 1;
    for (const auto &row : rowsTopFirst) {
        std::copy(row.begin(), row.end(), bits.begin() + y * stride);
        y--;
    }
    return bits;
}

}  // namespace

TEST(GdiStretchDIBits, OneToOneCopiesRowsUpright)
{
    Info256 bi = sourceInfo(4, 3);
    const std::vector<BYTE> bits = bottomUp(4, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    Dib8 dst(6, 5);
    EXPECT_EQ(StretchDIBits(dst.dc, 1, 1, 4, 3, 0, 0, 4, 3, bits.data(), bi.info(), DIB_RGB_COLORS, SRCCOPY), 3);
    GdiFlush();
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
            EXPECT_EQ(dst.at(x, y), inside ? (y - 1) * 4 + (x - 1) + 1 : 0) << x << "," << y;
        }
}

TEST(GdiStretchDIBits, SourceOriginIsTheLowerLeftCornerOfBottomUpImages)
{
    Info256 bi = sourceInfo(2, 3);
    const std::vector<BYTE> bits = bottomUp(2, {{1, 2}, {3, 4}, {5, 6}});
    Dib8 dst(2, 2);
    // Rows 1..2 counted from the bottom are the top two rows.
    StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 1, 2, 2, bits.data(), bi.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 1);
    EXPECT_EQ(dst.at(1, 1), 4);

    // So do top-down images, as on Windows ...
    Info256 td = sourceInfo(2, -3);
    const BYTE topDown[12] = {1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0};
    StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 1, 2, 2, topDown, td.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 1);
    EXPECT_EQ(dst.at(1, 1), 4);
    // ... unless the copy starts at the origin at 1:1: then row 0 is the top.
    StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, topDown, td.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 1);
    EXPECT_EQ(dst.at(1, 1), 4);
    Info256 bu = sourceInfo(2, 3);
    StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, topDown, bu.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 3) << "the same bits read bottom-up";
    EXPECT_EQ(dst.at(1, 1), 2);
}

TEST(GdiStretchDIBits, ABandOfABottomUpImageShowsThroughAShorterHeader)
{
    // The way sprite records show rows 2..4 of a 6-row image: the header
    // claims 3 rows and the bits start at the band's bottom row.
    Info256 bi = sourceInfo(3, 6);
    std::vector<BYTE> bits = bottomUp(3, {{10, 11, 12}, {20, 21, 22}, {30, 31, 32}, {40, 41, 42}, {50, 51, 52}, {60, 61, 62}});
    bi.header.biHeight = 3;
    const BYTE *band = bits.data() + (6 - 2 - 3) * 4;
    Dib8 dst(3, 3);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 3, 3, 0, 0, 3, 3, band, bi.info(), DIB_RGB_COLORS, SRCCOPY), 3);
    GdiFlush();
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 3; x++) EXPECT_EQ(dst.at(x, y), (y + 3) * 10 + x) << x << "," << y;
}

TEST(GdiStretchDIBits, ScalingRepeatsPixelsAndNegativeExtentsMirror)
{
    Info256 bi = sourceInfo(2, -2);
    const BYTE bits[8] = {1, 2, 0, 0, 3, 4, 0, 0};
    Dib8 dst(6, 4);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    GdiFlush();
    const BYTE doubled[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(dst.at(x, y), doubled[y][x]) << x << "," << y;

    // A negative width counts back from x: pixels 5, 4 get source columns 0, 1.
    dst.fill(0);
    StretchDIBits(dst.dc, 5, 0, -2, 2, 0, 0, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(5, 0), 1);
    EXPECT_EQ(dst.at(4, 0), 2);
    EXPECT_EQ(dst.at(5, 1), 3);
    EXPECT_EQ(dst.at(3, 0), 0);
}

TEST(GdiStretchDIBits, Rle8LeavesPassedOverPixelsAlone)
{
    // Bottom row: 3 x index 5, skip 2, literal 7 8 9 (+ pad); top row: 2 x 9.
    const BYTE rle[] = {3, 5, 0, 2, 2, 0, 0, 3, 7, 8, 9, 0, 0, 0, 2, 9, 0, 0, 0, 1};
    Info256 bi = sourceInfo(8, 2);
    bi.header.biCompression = BI_RLE8;
    bi.header.biSizeImage = sizeof rle;
    Dib8 dst(8, 2);
    dst.fill(0xEE);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 8, 2, 0, 0, 8, 2, rle, bi.info(), DIB_RGB_COLORS, SRCCOPY), 2);
    GdiFlush();
    const BYTE top[8] = {9, 9, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    const BYTE bottom[8] = {5, 5, 5, 0xEE, 0xEE, 7, 8, 9};
    for (int x = 0; x < 8; x++) {
        EXPECT_EQ(dst.at(x, 0), top[x]) << x;
        EXPECT_EQ(dst.at(x, 1), bottom[x]) << x;
    }

    // Part of the image: passed-over pixels are drawn as index 0, as on Windows.
    dst.fill(0xEE);
    StretchDIBits(dst.dc, 0, 0, 4, 2, 4, 0, 4, 2, rle, bi.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 1), 0);
    EXPECT_EQ(dst.at(1, 1), 7);
    EXPECT_EQ(dst.at(3, 1), 9);
    EXPECT_EQ(dst.at(0, 0), 0);
}

TEST(GdiStretchDIBits, PaletteIndicesGoThroughTheDCPalette)
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } lp;
    lp.version = 0x300;
    lp.count = 256;
    for (int i = 0; i < 256; i++) {
        const COLORREF c = distinctColor(255 - i);  // palette entry i has the colour of table entry 255 - i
        lp.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    Dib8 dst(4, 1);
    HPALETTE old = SelectPalette(dst.dc, palette, FALSE);
    Info256 bi(4, 1);
    gditest::fillIdentityIndices(bi);
    const BYTE bits[4] = {0, 1, 100, 255};
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 1, 0, 0, 4, 1, bits, bi.info(), DIB_PAL_COLORS, SRCCOPY), 1);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 255);
    EXPECT_EQ(dst.at(1, 0), 254);
    EXPECT_EQ(dst.at(2, 0), 155);
    EXPECT_EQ(dst.at(3, 0), 0);
    SelectPalette(dst.dc, old, FALSE);
    DeleteObject(palette);
}

TEST(GdiStretchDIBits, RgbColoursBecomeTheNearestColour)
{
    Info256 bi(3, 1);
    bi.header.biClrUsed = 3;
    bi.colors[0] = RGBQUAD{2, 251, 3, 0};  // nearest distinct colour: (4, 251, 2), entry 4
    bi.colors[1] = RGBQUAD{127, 0, 255, 0};  // exactly entry 255
    bi.colors[2] = RGBQUAD{0, 255, 0, 0};    // exactly entry 0
    const BYTE bits[4] = {0, 1, 2};
    Dib8 dst(3, 1);
    StretchDIBits(dst.dc, 0, 0, 3, 1, 0, 0, 3, 1, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 4);
    EXPECT_EQ(dst.at(1, 0), 255);
    EXPECT_EQ(dst.at(2, 0), 0);
}

TEST(GdiStretchDIBits, SourceRectanglesAreCutToTheImage)
{
    Info256 bi = sourceInfo(4, 4);
    BYTE bits[16];
    for (int i = 0; i < 16; i++) bits[i] = static_cast<BYTE>(100 + i);  // memory row r is row r from the bottom
    Dib8 dst(4, 4);
    // Source columns 2..5, rows 2..5 from the bottom: only columns 2..3 of
    // the top two rows exist, and land at the bottom left.
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 2, 2, 4, 4, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 4);
    GdiFlush();
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) {
            const bool inside = x < 2 && y >= 2;
            const int row = 3 - (y - 2), column = x + 2;
            EXPECT_EQ(dst.at(x, y), inside ? 100 + row * 4 + column : 0) << x << "," << y;
        }
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 1, 1, 0, 0, 1, 1, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 4)
        << "the image's height, whatever the rectangle";

    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 4, 4, 10, 10, 4, 4, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0)
        << "a source rectangle outside the image";
    EXPECT_EQ(StretchDIBits(dst.dc, 50, 50, 4, 4, 0, 0, 4, 4, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 4)
        << "a destination outside the DC still counts the lines";
}

TEST(GdiStretchDIBits, HeadersOfRecordsMayBeOnlyTwoByteAligned)
{
    // A record keeps the header at byte 18 and the palette indices after it.
    std::vector<BYTE> record(18 + sizeof(BITMAPINFOHEADER) + 512 + 8);
    Info256 bi(2, 1);
    gditest::fillIdentityIndices(bi);
    std::memcpy(record.data() + 18, &bi, sizeof(BITMAPINFOHEADER) + 512);
    BYTE *pixels = record.data() + 18 + sizeof(BITMAPINFOHEADER) + 512;
    pixels[0] = 3;
    pixels[1] = 4;
    Dib8 dst(2, 1);
    struct {
        WORD version, count;
        PALETTEENTRY entries[5];
    } lp = {0x300, 5, {}};
    for (int i = 0; i < 5; i++) {
        const COLORREF c = distinctColor(i * 10);
        lp.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HPALETTE old = SelectPalette(dst.dc, palette, FALSE);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 1, 0, 0, 2, 1, pixels,
                            reinterpret_cast<const BITMAPINFO *>(record.data() + 18), DIB_PAL_COLORS, SRCCOPY),
              1);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 30);
    EXPECT_EQ(dst.at(1, 0), 40);
    SelectPalette(dst.dc, old, FALSE);
    DeleteObject(palette);
}

TEST(GdiStretchDIBits, BadCallsDrawNothing)
{
    Info256 bi = sourceInfo(2, 2);
    const BYTE bits[8] = {1, 1, 0, 0, 1, 1, 0, 0};
    Dib8 dst(2, 2);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, nullptr, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), 7, SRCCOPY), 0);
    bi.header.biBitCount = 3;
    EXPECT_EQ(StretchDIBits(dst.dc, 0, 0, 2, 2, 0, 0, 2, 2, bits, bi.info(), DIB_RGB_COLORS, SRCCOPY), 0);
    GdiFlush();
    EXPECT_EQ(dst.at(0, 0), 0);
}
