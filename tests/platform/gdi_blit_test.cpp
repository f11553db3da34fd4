// Raster operations: BitBlt, PatBlt, FillRect and Rectangle, between
// 8-bit DIB sections (where operations combine palette indices), display
// bitmaps and monochrome bitmaps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi_test_support.h"

using gditest::Dib8;
using gditest::distinctColor;

namespace {

// Display-format bitmap in a memory DC, filled with a colour.
struct Ddb {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;

    Ddb(int w, int h, COLORREF fill)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Ddb()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

struct Mono {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;

    Mono(int w, int h, const BYTE *bits)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(w, h, 1, 1, bits);
        old = SelectObject(dc, bitmap);
    }
    ~Mono()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kBlack = RGB(0, 0, 0),
               kWhite = RGB(255, 255, 255);

}  // namespace

TEST(GdiBlit, EveryRasterOperationCombinesIndices)
{
    struct Case {
        DWORD rop;
        const char *name;
        BYTE (*expect)(BYTE d, BYTE s, BYTE p);
    };
    const Case cases[] = {
        {SRCCOPY, "SRCCOPY", [](BYTE, BYTE s, BYTE) { return s; }},
        {SRCAND, "SRCAND", [](BYTE d, BYTE s, BYTE) { return BYTE(d & s); }},
        {SRCPAINT, "SRCPAINT", [](BYTE d, BYTE s, BYTE) { return BYTE(d | s); }},
        {SRCINVERT, "SRCINVERT", [](BYTE d, BYTE s, BYTE) { return BYTE(d ^ s); }},
        {SRCERASE, "SRCERASE", [](BYTE d, BYTE s, BYTE) { return BYTE(s & ~d); }},
        {NOTSRCCOPY, "NOTSRCCOPY", [](BYTE, BYTE s, BYTE) { return BYTE(~s); }},
        {NOTSRCERASE, "NOTSRCERASE", [](BYTE d, BYTE s, BYTE) { return BYTE(~(d | s)); }},
        {MERGECOPY, "MERGECOPY", [](BYTE, BYTE s, BYTE p) { return BYTE(s & p); }},
        {MERGEPAINT, "MERGEPAINT", [](BYTE d, BYTE s, BYTE) { return BYTE(~s | d); }},
        {PATCOPY, "PATCOPY", [](BYTE, BYTE, BYTE p) { return p; }},
        {PATPAINT, "PATPAINT", [](BYTE d, BYTE s, BYTE p) { return BYTE(p | ~s | d); }},
        {PATINVERT, "PATINVERT", [](BYTE d, BYTE, BYTE p) { return BYTE(d ^ p); }},
        {DSTINVERT, "DSTINVERT", [](BYTE d, BYTE, BYTE) { return BYTE(~d); }},
        {BLACKNESS, "BLACKNESS", [](BYTE, BYTE, BYTE) { return BYTE(0); }},
        {WHITENESS, "WHITENESS", [](BYTE, BYTE, BYTE) { return BYTE(0xFF); }},
    };
    const BYTE pattern = 0x5C;
    Dib8 src(16, 16), dst(16, 16);
    HBRUSH brush = CreateSolidBrush(distinctColor(pattern));  // exactly entry 0x5C of the table
    HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
    for (const Case &c : cases) {
        for (int i = 0; i < 256; i++) {
            src.at(i % 16, i / 16) = static_cast<BYTE>(i);
            dst.at(i % 16, i / 16) = static_cast<BYTE>(i * 7 + 3);
        }
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 16, 16, src.dc, 0, 0, c.rop)) << c.name;
        GdiFlush();
        for (int i = 0; i < 256; i++) {
            const BYTE d = static_cast<BYTE>(i * 7 + 3), s = static_cast<BYTE>(i);
            ASSERT_EQ(dst.at(i % 16, i / 16), c.expect(d, s, pattern)) << c.name << " d " << int(d) << " s " << int(s);
        }
    }
    SelectObject(dst.dc, oldBrush);
    DeleteObject(brush);
}

TEST(GdiBlit, MonochromeBecomesTextAndBackgroundColours)
{
    const BYTE bits[] = {0xA0, 0x00, 0x40, 0x00};  // rows 1010, 0100
    Mono mono(4, 2, bits);
    Dib8 dst(4, 2);
    SetTextColor(dst.dc, distinctColor(20));  // for 0 bits
    SetBkColor(dst.dc, distinctColor(40));    // for 1 bits
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 2, mono.dc, 0, 0, SRCCOPY));
    GdiFlush();
    const BYTE expect[2][4] = {{40, 20, 40, 20}, {20, 40, 20, 20}};
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++) EXPECT_EQ(dst.at(x, y), expect[y][x]) << x << "," << y;
}

TEST(GdiBlit, ColourBecomesWhiteOnlyWhereItIsTheBackgroundColour)
{
    Dib8 src(4, 1);
    src.at(0, 0) = 7;
    src.at(1, 0) = 8;
    src.at(2, 0) = 7;
    src.at(3, 0) = 0;
    SetBkColor(src.dc, distinctColor(7));
    const BYTE zero[4] = {};
    Mono mono(4, 1, zero);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono.dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(mono.dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(mono.dc, 2, 0), kWhite);
    EXPECT_EQ(GetPixel(mono.dc, 3, 0), kBlack);
}

TEST(GdiBlit, MaskAndImageDrawATransparentSprite)
{
    // The sprite: a mask (white = transparent) ANDed in, then the image
    // (black where transparent) ORed in.
    const BYTE maskBits[] = {0x90, 0x00, 0x00, 0x00};  // row 0: 1001 (ends transparent), row 1: opaque
    Mono mask(4, 2, maskBits);
    Ddb image(4, 2, kBlack);
    SetPixel(image.dc, 1, 0, kRed);
    SetPixel(image.dc, 2, 0, kBlue);
    for (int x = 0; x < 4; x++) SetPixel(image.dc, x, 1, kRed);
    Ddb scene(6, 3, kGreen);
    ASSERT_TRUE(BitBlt(scene.dc, 1, 1, 4, 2, mask.dc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(scene.dc, 1, 1, 4, 2, image.dc, 0, 0, SRCPAINT));
    const COLORREF expect[3][6] = {
        {kGreen, kGreen, kGreen, kGreen, kGreen, kGreen},
        {kGreen, kGreen, kRed, kBlue, kGreen, kGreen},
        {kGreen, kRed, kRed, kRed, kRed, kGreen},
    };
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 6; x++) EXPECT_EQ(GetPixel(scene.dc, x, y), expect[y][x]) << x << "," << y;
}

TEST(GdiBlit, CopiesWithinOneBitmapMayOverlap)
{
    Dib8 dib(8, 8);
    auto reset = [&] {
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) dib.at(x, y) = static_cast<BYTE>(y * 8 + x);
    };
    reset();
    ASSERT_TRUE(BitBlt(dib.dc, 2, 3, 6, 5, dib.dc, 0, 0, SRCCOPY));  // down and right
    GdiFlush();
    for (int y = 3; y < 8; y++)
        for (int x = 2; x < 8; x++) ASSERT_EQ(dib.at(x, y), (y - 3) * 8 + (x - 2)) << x << "," << y;
    EXPECT_EQ(dib.at(1, 7), 57) << "outside the destination stays";
    reset();
    ASSERT_TRUE(BitBlt(dib.dc, 0, 0, 6, 5, dib.dc, 2, 3, SRCCOPY));  // up and left
    GdiFlush();
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) ASSERT_EQ(dib.at(x, y), (y + 3) * 8 + (x + 2)) << x << "," << y;
}

TEST(GdiBlit, BlitsAreCutToBothBitmaps)
{
    Dib8 src(4, 4), dst(6, 6);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) src.at(x, y) = static_cast<BYTE>(100 + y * 4 + x);
    dst.fill(1);
    // Half of the source lies left of and above it; part of the destination is off the bitmap.
    ASSERT_TRUE(BitBlt(dst.dc, 3, -1, 6, 6, src.dc, -2, 1, SRCCOPY));
    GdiFlush();
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 6; x++) {
            const int sx = x - 3 - 2, sy = y + 1 + 1;
            const bool inside = x >= 3 && sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
            EXPECT_EQ(dst.at(x, y), inside ? 100 + sy * 4 + sx : 1) << x << "," << y;
        }
    EXPECT_TRUE(BitBlt(dst.dc, 100, 100, 5, 5, src.dc, 0, 0, SRCCOPY)) << "nothing to draw is no failure";
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 1, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY)) << "the operation needs a source";
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS)) << "this one does not";
}

TEST(GdiBlit, PatBltAndFillRectPaintWithBrushes)
{
    Ddb ddb(5, 4, kWhite);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(ddb.dc, red);
    ASSERT_TRUE(PatBlt(ddb.dc, 1, 1, 2, 2, PATCOPY));
    SelectObject(ddb.dc, old);
    EXPECT_EQ(GetPixel(ddb.dc, 1, 1), kRed);
    EXPECT_EQ(GetPixel(ddb.dc, 2, 2), kRed);
    EXPECT_EQ(GetPixel(ddb.dc, 3, 2), kWhite);
    EXPECT_EQ(GetPixel(ddb.dc, 0, 0), kWhite);

    // FillRect covers left..right-1, top..bottom-1, and keeps the DC's brush.
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT r{2, 0, 5, 1};
    EXPECT_NE(FillRect(ddb.dc, &r, blue), 0);
    EXPECT_EQ(GetPixel(ddb.dc, 4, 0), kBlue);
    EXPECT_EQ(GetPixel(ddb.dc, 2, 1), kRed);
    EXPECT_EQ(GetCurrentObject(ddb.dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    // A system colour index plus one names that colour's brush.
    RECT corner{0, 3, 1, 4};
    EXPECT_NE(FillRect(ddb.dc, &corner, (HBRUSH)(COLOR_WINDOWTEXT + 1)), 0);
    EXPECT_EQ(GetPixel(ddb.dc, 0, 3), GetSysColor(COLOR_WINDOWTEXT));
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(GdiBlit, RectangleDrawsOutlineAndInside)
{
    Ddb ddb(8, 8, kWhite);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ oldBrush = SelectObject(ddb.dc, brush);
    HGDIOBJ oldPen = SelectObject(ddb.dc, GetStockObject(NULL_PEN));
    // Without a pen the inside is one pixel short on the right and bottom.
    ASSERT_TRUE(Rectangle(ddb.dc, 1, 1, 5, 4));
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 2;
            EXPECT_EQ(GetPixel(ddb.dc, x, y), inside ? kBlue : kWhite) << x << "," << y;
        }

    SelectObject(ddb.dc, GetStockObject(BLACK_PEN));
    RECT all{0, 0, 8, 8};
    FillRect(ddb.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ASSERT_TRUE(Rectangle(ddb.dc, 1, 1, 6, 5));
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            const bool edge = (x == 1 || x == 5) ? (y >= 1 && y <= 4) : (y == 1 || y == 4) && x >= 1 && x <= 5;
            const bool inside = x >= 2 && x <= 4 && y >= 2 && y <= 3;
            EXPECT_EQ(GetPixel(ddb.dc, x, y), edge ? kBlack : inside ? kBlue : kWhite) << x << "," << y;
        }
    SelectObject(ddb.dc, oldPen);
    SelectObject(ddb.dc, oldBrush);
    DeleteObject(brush);
}
