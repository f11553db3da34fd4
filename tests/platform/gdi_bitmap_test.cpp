// Bitmaps: device-dependent bitmaps, DIB sections and the calls that move
// pixels between them and DIB memory, checked by reading pixels back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi_test_support.h"

using gditest::Dib8;
using gditest::distinctColor;
using gditest::Info256;

namespace {

BITMAP bitmapOf(HGDIOBJ h)
{
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(h, sizeof bm, &bm), (int)sizeof bm);
    return bm;
}

}  // namespace

TEST(GdiBitmap, FreshMemoryDCHoldsAOneByOneMonochromeBitmap)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ held = GetCurrentObject(dc, OBJ_BITMAP);
    ASSERT_NE(held, nullptr);
    BITMAP bm = bitmapOf(held);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmPlanes, 1);

    HBITMAP compatible = CreateCompatibleBitmap(dc, 10, 3);
    bm = bitmapOf(compatible);
    EXPECT_EQ(bm.bmBitsPixel, 1) << "a fresh memory DC makes monochrome bitmaps";
    EXPECT_EQ(bm.bmWidth, 10);
    EXPECT_EQ(bm.bmWidthBytes, 2) << "rows of device-dependent bitmaps are 16-bit aligned";
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 0), held) << "an empty size gives the default bitmap";
    DeleteObject(compatible);
    DeleteDC(dc);
}

TEST(GdiBitmap, CompatibleBitmapsOfTheScreenHaveTheDisplayFormat)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 5, 4);
    BITMAP bm = bitmapOf(bitmap);
    EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 4);
    // A memory DC holding it makes more of the same kind.
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    ASSERT_NE(old, nullptr);
    HBITMAP more = CreateCompatibleBitmap(mem, 2, 2);
    EXPECT_EQ(bitmapOf(more).bmBitsPixel, bm.bmBitsPixel);
    EXPECT_EQ(GetPixel(mem, 4, 3), RGB(0, 0, 0)) << "new bitmaps are black";
    SelectObject(mem, old);
    DeleteObject(more);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(GdiBitmap, MonochromeBitmapFromBitsReadsBack)
{
    // Rows of 16 pixels, most significant bit leftmost; 1 is white.
    const BYTE bits[] = {0xF0, 0x01, 0xAA, 0x80};
    HBITMAP bitmap = CreateBitmap(16, 2, 1, 1, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    for (int x = 0; x < 16; x++) {
        const bool top = (bits[x / 8] >> (7 - x % 8)) & 1, bottom = (bits[2 + x / 8] >> (7 - x % 8)) & 1;
        EXPECT_EQ(GetPixel(dc, x, 0), top ? white : black) << "x " << x;
        EXPECT_EQ(GetPixel(dc, x, 1), bottom ? white : black) << "x " << x;
    }
    EXPECT_EQ(GetPixel(dc, 16, 0), CLR_INVALID) << "outside the bitmap";
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiBitmap, DibSectionPixelsAreTheCallersMemory)
{
    Info256 bi(5, 3);  // bottom-up
    gditest::fillDistinctColors(bi);
    HDC dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), (int)sizeof ds);
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8) << "DIB rows are 32-bit aligned";
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(ds.dsBmih.biWidth, 5);
    EXPECT_EQ(ds.dsBmih.biBitCount, 8);
    EXPECT_EQ(ds.dsBmih.biSizeImage, 24u);
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP), &ds), (int)sizeof(BITMAP)) << "a BITMAP when there is room for no more";

    // Memory row 0 of a bottom-up DIB is the bottom row.
    auto *p = static_cast<BYTE *>(bits);
    p[0] = 10;          // bottom-left
    p[2 * 8 + 4] = 77;  // top-right
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 2), distinctColor(10));
    EXPECT_EQ(GetPixel(dc, 4, 0), distinctColor(77));
    EXPECT_EQ(GetPixel(dc, 1, 1), distinctColor(0));

    // SetPixel writes the nearest colour of the table and says which.
    EXPECT_EQ(SetPixel(dc, 3, 0, distinctColor(200)), distinctColor(200));
    EXPECT_EQ(p[2 * 8 + 3], 200);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(GdiBitmap, DibSectionWithPaletteIndicesTakesTheDCPaletteColours)
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[3];
    } lp = {0x300, 3, {{200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
    Info256 bi(3, -1);
    bi.header.biClrUsed = 3;
    bi.indices[0] = 2;
    bi.indices[1] = 1;
    bi.indices[2] = 0;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, bi.info(), DIB_PAL_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    auto *p = static_cast<BYTE *>(bits);
    p[0] = 0;
    p[1] = 1;
    p[2] = 2;
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 200));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(200, 0, 0));
    SelectObject(dc, old);
    SelectPalette(dc, oldPalette, FALSE);
    DeleteObject(bitmap);
    DeleteObject(palette);
    DeleteDC(dc);
}

TEST(GdiBitmap, GetDIBitsReadsEightAndThirtyTwoBits)
{
    Dib8 dib(3, 2);
    dib.at(0, 0) = 1;
    dib.at(1, 0) = 2;
    dib.at(2, 0) = 3;
    dib.at(0, 1) = 4;
    dib.at(1, 1) = 5;
    dib.at(2, 1) = 6;
    SelectObject(dib.dc, dib.old);  // GetDIBits wants the bitmap out of any DC

    // The header alone: the bitmap's own layout.
    BITMAPINFOHEADER query{};
    query.biSize = sizeof query;
    EXPECT_NE(GetDIBits(dib.dc, dib.bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO *>(&query), DIB_RGB_COLORS), 0);
    EXPECT_EQ(query.biWidth, 3);
    EXPECT_EQ(query.biHeight, 2);
    EXPECT_EQ(query.biBitCount, 8);
    EXPECT_EQ(query.biSizeImage, 8u);

    // The colour table alone, without bits.
    Info256 bi(3, 2);
    EXPECT_NE(GetDIBits(dib.dc, dib.bitmap, 0, 2, nullptr, bi.info(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(RGB(bi.colors[200].rgbRed, bi.colors[200].rgbGreen, bi.colors[200].rgbBlue), distinctColor(200));
    EXPECT_EQ(bi.header.biSizeImage, 8u);

    // 8 bits bottom-up: the bottom row first, the bitmap's colour table.
    BYTE rows[8] = {};
    ASSERT_EQ(GetDIBits(dib.dc, dib.bitmap, 0, 2, rows, bi.info(), DIB_RGB_COLORS), 2);
    const BYTE bottomUp[8] = {4, 5, 6, 0, 1, 2, 3, 0};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(rows[i], bottomUp[i]) << i;
        EXPECT_EQ(rows[4 + i], bottomUp[4 + i]) << i;
    }
    EXPECT_EQ(RGB(bi.colors[5].rgbRed, bi.colors[5].rgbGreen, bi.colors[5].rgbBlue), distinctColor(5));

    // One line from line 1 up: the top row.
    std::memset(rows, 0xEE, sizeof rows);
    ASSERT_EQ(GetDIBits(dib.dc, dib.bitmap, 1, 5, rows, bi.info(), DIB_RGB_COLORS), 1) << "lines past the top are not there";
    EXPECT_EQ(rows[0], 1);
    EXPECT_EQ(rows[4], 0xEE) << "only one line written";

    // 32 bits top-down: blue, green, red, 0 per pixel.
    Info256 wide(3, -2, 32);
    DWORD pixels[6] = {};
    ASSERT_EQ(GetDIBits(dib.dc, dib.bitmap, 0, 2, pixels, wide.info(), DIB_RGB_COLORS), 2);
    for (int i = 0; i < 6; i++) {
        const COLORREF c = distinctColor(i + 1);
        EXPECT_EQ(pixels[i], (DWORD)((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c))) << i;
    }
    EXPECT_EQ(wide.header.biHeight, -2) << "the orientation asked for is kept";
    dib.old = SelectObject(dib.dc, dib.bitmap);
}

TEST(GdiBitmap, SetDIBitsCountsScanLinesFromTheBottom)
{
    Dib8 dib(4, 3);
    SelectObject(dib.dc, dib.old);
    Info256 bi(4, 3);
    gditest::fillDistinctColors(bi);
    const BYTE row[4] = {7, 8, 9, 10};
    // Line 1 of a bottom-up DIB is the middle row.
    EXPECT_EQ(SetDIBits(dib.dc, dib.bitmap, 1, 1, row, bi.info(), DIB_RGB_COLORS), 1);
    GdiFlush();
    EXPECT_EQ(dib.at(0, 1), 7);
    EXPECT_EQ(dib.at(3, 1), 10);
    EXPECT_EQ(dib.at(0, 0), 0);
    EXPECT_EQ(dib.at(0, 2), 0);
    EXPECT_EQ(SetDIBits(dib.dc, dib.bitmap, 2, 5, row, bi.info(), DIB_RGB_COLORS), 1) << "lines past the top are not there";
    GdiFlush();
    EXPECT_EQ(dib.at(1, 0), 8);

    // A top-down DIB's lines count from the bottom too, as on Windows: line 0
    // of a three-line DIB given one line at a time is the bottom row.
    Info256 td(4, -3);
    gditest::fillDistinctColors(td);
    const BYTE other[4] = {20, 21, 22, 23};
    EXPECT_EQ(SetDIBits(dib.dc, dib.bitmap, 0, 1, other, td.info(), DIB_RGB_COLORS), 1);
    GdiFlush();
    EXPECT_EQ(dib.at(0, 2), 20);
    EXPECT_EQ(dib.at(3, 2), 23);
    dib.old = SelectObject(dib.dc, dib.bitmap);
}

TEST(GdiBitmap, CreateDIBitmapMakesMonochromeBitmapsForAFreshMemoryDC)
{
    // Colours: 0 black, 1 white, 2 red, 3 navy. Only the DC's background
    // colour (white) becomes white.
    Info256 bi(4, 1);
    bi.header.biClrUsed = 4;
    bi.colors[1] = RGBQUAD{255, 255, 255, 0};
    bi.colors[2] = RGBQUAD{0, 0, 255, 0};
    bi.colors[3] = RGBQUAD{128, 0, 0, 0};
    const BYTE pixels[4] = {1, 0, 2, 3};
    HDC mem = CreateCompatibleDC(nullptr);
    for (HDC dc : {mem, HDC{}}) {
        HBITMAP mask = CreateDIBitmap(dc, &bi.header, CBM_INIT, pixels, bi.info(), DIB_RGB_COLORS);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(bitmapOf(mask).bmBitsPixel, 1);
        HDC probe = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(probe, mask);
        EXPECT_EQ(GetPixel(probe, 0, 0), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(probe, 1, 0), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(probe, 2, 0), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(probe, 3, 0), RGB(0, 0, 0));
        SelectObject(probe, old);
        DeleteDC(probe);
        DeleteObject(mask);
    }
    DeleteDC(mem);
}

TEST(GdiBitmap, CreateDIBitmapForTheScreenKeepsColours)
{
    // Static colours show exactly on every display.
    Info256 bi(3, -2);
    bi.header.biClrUsed = 3;
    bi.colors[0] = RGBQUAD{0, 0, 255, 0};    // red
    bi.colors[1] = RGBQUAD{128, 0, 0, 0};    // navy
    bi.colors[2] = RGBQUAD{192, 192, 192, 0};  // silver
    const BYTE pixels[8] = {0, 1, 2, 0, 2, 2, 1, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &bi.header, CBM_INIT, pixels, bi.info(), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmapOf(bitmap).bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 1, 0), RGB(0, 0, 128));
    EXPECT_EQ(GetPixel(mem, 2, 0), RGB(192, 192, 192));
    EXPECT_EQ(GetPixel(mem, 0, 1), RGB(192, 192, 192));
    EXPECT_EQ(GetPixel(mem, 2, 1), RGB(0, 0, 128));

    // Without CBM_INIT only the size is taken.
    HBITMAP blank = CreateDIBitmap(screen, &bi.header, 0, nullptr, nullptr, DIB_RGB_COLORS);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(bitmapOf(blank).bmHeight, 2) << "the height of a top-down header is its magnitude";
    SelectObject(mem, old);
    DeleteObject(blank);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(GdiBitmap, InfoHeadersMayBeOnlyTwoByteAligned)
{
    // Bitmap records keep their BITMAPINFOHEADER at byte 18.
    alignas(4) BYTE record[18 + sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD)] = {};
    Info256 bi(2, 1);
    bi.header.biClrUsed = 2;
    bi.colors[1] = RGBQUAD{255, 255, 255, 0};
    std::memcpy(record + 18, &bi, sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD));
    const auto *info = reinterpret_cast<const BITMAPINFO *>(record + 18);
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(record + 18);
    const BYTE pixels[4] = {1, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, header, CBM_INIT, pixels, info, DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mem, 1, 0), RGB(0, 0, 0));
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(mem, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(section, nullptr);
    EXPECT_NE(bits, nullptr);
    SelectObject(mem, old);
    DeleteObject(section);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(GdiBitmap, BadRequestsFailCleanly)
{
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr) << "two planes";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateBitmap(0x7FFFFFF, 0x7FFFFFF, 1, 1, nullptr), nullptr) << "too big";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr) << "no DC";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    HDC dc = CreateCompatibleDC(nullptr);
    void *bits = reinterpret_cast<void *>(1);
    EXPECT_EQ(CreateDIBSection(dc, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    Info256 odd(4, 4, 7);
    EXPECT_EQ(CreateDIBSection(dc, odd.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << "7 bits per pixel";
    EXPECT_EQ(bits, nullptr) << "the bits pointer is cleared on failure";
    Info256 flat(4, 0);
    EXPECT_EQ(CreateDIBSection(dc, flat.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << "no height";

    Info256 bi(4, 4);
    BYTE out[16];
    EXPECT_EQ(GetDIBits(dc, nullptr, 0, 4, out, bi.info(), DIB_RGB_COLORS), 0) << "no bitmap";
    EXPECT_EQ(CreateDIBitmap(dc, nullptr, CBM_INIT, out, bi.info(), DIB_RGB_COLORS), nullptr) << "no header";
    DeleteDC(dc);
}
