// What goes through the GDI: fills of DD records (their bitmaps read back),
// and DI records and composite records shown in a window with vekDIBBlt and
// vekDIBBltCM.
#include <gtest/gtest.h>

#include "support/images.h"
#include "support/palette_window.h"

using namespace support;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

HBITMAP bitmapAt(HSPRITEDATA dd, size_t at) { return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(get32(dd, at))); }

// The colours of row y of a DD record's image through palette: '#' for
// colour, '.' for black, '?' for anything else.
std::string row(HSPRITEDATA dd, int y, COLORREF colour, HPALETTE palette)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmapAt(dd, 10));
    HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    std::string s;
    for (int x = 0; x < 16; x++) {
        const COLORREF c = GetPixel(dc, x, y);
        s += c == colour ? '#' : c == kBlack ? '.' : '?';
    }
    SelectPalette(dc, oldPalette, FALSE);
    SelectObject(dc, old);
    DeleteDC(dc);
    return s;
}

struct DDRecords : ::testing::Test {
    HDC screen = GetDC(nullptr);
    Record dst{reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 16, 8, 1))};
    void SetUp() override { ASSERT_NE(dst.get(), nullptr); }
    void TearDown() override { ReleaseDC(nullptr, screen); }
};

}  // namespace

TEST_F(DDRecords, FillsPaintThePaletteColourClipped)
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[16];
    } log{0x300, 16, {}};
    // The colours of the test windows' palette: exact in the system palette
    // whether a test window realised them before or not.
    for (int i = 0; i < 16; i++) {
        const COLORREF c = colourOf(40 + i);
        log.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
    const COLORREF colour = colourOf(51);  // entry 11
    EXPECT_EQ(vekSpriteFill(dst, 0, 0, 16, 8, 11), 1);
    EXPECT_EQ(vekSpriteFillEx(dst, 0, 0, 16, 8, 11, nullptr), 1);
    EXPECT_EQ(row(dst, 2, colour, palette), "................") << "without a palette nothing is done";
    EXPECT_EQ(vekSpriteFillEx(dst, 3, 2, 5, 4, 11, palette), 1);
    EXPECT_EQ(vekSpriteFillEx(dst, 14, 7, 10, 10, 11, palette), 1);
    const char *rows[8] = {"................", "................", "...#####........", "...#####........",
                           "...#####........", "...#####........", "................", "..............##"};
    for (int y = 0; y < 8; y++) EXPECT_EQ(row(dst, y, colour, palette), rows[y]) << "row " << y;
    DeleteObject(palette);
}

namespace {

// A 64 x 64 window with the test palette, painted black.
struct Window : ::testing::Test {
    PaletteWindow win{64, 64};
    void SetUp() override
    {
        ASSERT_NE(win.window, nullptr);
        win.paint(0);
    }
    // Window row y from x on: '.' for black, else the palette index as a
    // character from 'A' = 20 on.
    std::string row(int x, int y, int n)
    {
        std::string s;
        for (int i = 0; i < n; i++) {
            const int k = win.at(x + i, y);
            s += GetPixel(win.dc, x + i, y) == kBlack ? '.' : k < 0 ? '?' : static_cast<char>('A' + k - 20);
        }
        return s;
    }
};

}  // namespace

TEST_F(Window, RawRecordShowsABandOfRows)
{
    // 8 x 40, row y holding index 20 + y % 26: rows 10..29 at (5, 3).
    Record image = rawOf(8, 40, [](LONG, LONG y) { return 20 + y % 26; });
    EXPECT_EQ(vekDIBBlt(win.dc, 5, 3, 8, 20, image, 0, 10), 20) << "scan lines drawn";
    EXPECT_EQ(get32(image, kHeight), 40u) << "biHeight restored";
    EXPECT_EQ(row(4, 2, 10), "..........");
    EXPECT_EQ(row(4, 3, 10), ".KKKKKKKK.");
    EXPECT_EQ(row(4, 22, 10), ".DDDDDDDD.");
    EXPECT_EQ(row(4, 23, 10), "..........");
    EXPECT_EQ(vekDIBBlt(win.dc, 0, 0, 8, 20, image, 0, 30), 0) << "a band past the image is refused";
}

TEST_F(Window, RleRecordIsShownWhole)
{
    // 6 x 3, bottom row first: 6 x index 45; empty; three 40s, a skip, a 41.
    Bytes s;
    skip(s, 0);
    run(s, 6, 45);
    endRow(s);
    endRow(s);
    skip(s, 0);
    run(s, 3, 40);
    skip(s, 2);
    run(s, 1, 41);
    endRow(s);
    endImage(s);
    Record image = makeRle(6, 3, s);
    EXPECT_EQ(vekDIBBlt(win.dc, 10, 10, 6, 99, image, 0, 0), 3) << "height 99 is not used";
    EXPECT_EQ(row(10, 10, 6), "UUU..V");
    EXPECT_EQ(row(10, 12, 6), "ZZZZZZ");
    EXPECT_EQ(row(10, 13, 6), "......");
}

TEST_F(Window, CompositeShowsEveryElementAtItsPlace)
{
    // Element 0 (3 x 2 from index 20) at (2, 5 - 2); element 1 (2 x 2 from
    // index 30), flagged mirrored but shown as it is, at (4, 4 - 2).
    Record a = rawOf(3, 2, [](LONG x, LONG y) { return 20 + 3 * y + x; });
    Record b = rawOf(2, 2, [](LONG x, LONG y) { return 30 + 2 * y + x; });
    b.setFlags(VEK_IMAGE_MIRRORABLE);
    HSPRITEDATA table[] = {a, b};
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 1, 8, 8, 0, nullptr, 0, 0);
    vekSetSpriteContextBackgroundDef(ctx, nullptr, 0, 0, table);
    Bytes comp = compositeRecord({{2, 5, 3, 2, 0}, {4, 4, 2 | 0x8000, 2, 1}});
    EXPECT_EQ(vekDIBBltCM(ctx, win.dc, 9, 9, 9, 9, comp.data(), 9, 9), 1);
    EXPECT_EQ(row(2, 1, 6), "......");
    EXPECT_EQ(row(2, 2, 6), "..KL..");
    EXPECT_EQ(row(2, 3, 6), "ABMN..");
    EXPECT_EQ(row(2, 4, 6), "DEF...");
    EXPECT_EQ(b.flags(), VEK_IMAGE_MIRRORABLE) << "never mirrored";
    EXPECT_EQ(vekDIBBltCM(nullptr, win.dc, 0, 0, 0, 0, comp.data(), 0, 0), 0) << "no context";
    EXPECT_EQ(vekDIBBltCM(ctx, win.dc, 0, 0, 0, 0, a, 0, 0), 0) << "not a composite record";
    vekDeleteSpriteContext(ctx);
}
