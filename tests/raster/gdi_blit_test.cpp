// Blits that go through the GDI: DD records with and without masks, and DI
// records shown in a window with vekDIBBlt.
#include <vekkit.h>

#include <gtest/gtest.h>

#include "sprite_images.h"
#include "support/palette_window.h"

namespace {

using rt::Record;

HBITMAP imageOf(HSPRITEDATA dd) { return reinterpret_cast<HBITMAP>((ULONG_PTR)rt::get32(dd, 10)); }

// Runs draw(dc) on a memory DC holding bitmap.
template <typename Draw>
void withBitmap(HBITMAP bitmap, Draw draw)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
}

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    RECT r;
    SetRect(&r, left, top, right, bottom);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

struct DDPair : ::testing::Test {
    HDC screen = GetDC(nullptr);
    Record dst{reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 16, 8, 1))};
    Record src{reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 8, 8, 1))};
    COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), black = RGB(0, 0, 0);

    void SetUp() override
    {
        ASSERT_NE(dst.get(), nullptr);
        ASSERT_NE(src.get(), nullptr);
        withBitmap(imageOf(dst), [&](HDC dc) { fill(dc, 0, 0, 16, 8, red); });
        // The source image: blue on its left half, black (transparent under
        // a mask) on its right half.
        withBitmap(imageOf(src), [&](HDC dc) {
            fill(dc, 0, 0, 4, 8, blue);
            fill(dc, 4, 0, 8, 8, black);
        });
    }
    void TearDown() override { ReleaseDC(nullptr, screen); }

    COLORREF pixel(int x, int y)
    {
        COLORREF c = 0;
        withBitmap(imageOf(dst), [&](HDC dc) { c = GetPixel(dc, x, y); });
        return c;
    }
};

}  // namespace

TEST_F(DDPair, WithoutMaskTheImageIsCopied)
{
    EXPECT_EQ(vekSpriteBlt(dst, 8, 0, 8, 8, src, 0, 0), 1);
    EXPECT_EQ(pixel(7, 3), red) << "left of the blit";
    EXPECT_EQ(pixel(8, 3), blue);
    EXPECT_EQ(pixel(15, 3), black) << "copied, black included";
}

TEST_F(DDPair, MaskAndThenImage)
{
    // Mask: 0 (black) where the sprite is opaque, 1 (white) where it is not.
    HBITMAP mask = CreateBitmap(8, 8, 1, 1, nullptr);
    withBitmap(mask, [&](HDC dc) {
        fill(dc, 0, 0, 4, 8, RGB(0, 0, 0));
        fill(dc, 4, 0, 8, 8, RGB(255, 255, 255));
    });
    rt::put32(src.get(), 6, (DWORD)(ULONG_PTR)mask);

    EXPECT_EQ(vekSpriteBlt(dst, 4, 0, 8, 8, src, 0, 0), 1);
    EXPECT_EQ(pixel(3, 3), red);
    EXPECT_EQ(pixel(4, 3), blue) << "opaque part";
    EXPECT_EQ(pixel(7, 3), blue);
    EXPECT_EQ(pixel(8, 3), red) << "the mask kept the destination";
    EXPECT_EQ(pixel(11, 3), red);
}

TEST_F(DDPair, MixedWithDIRecordIsRefused)
{
    Record di = rt::makeRaw(8, 8);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 8, 8, di, 0, 0), 0);
    EXPECT_EQ(vekSpriteBlt(di, 0, 0, 8, 8, src, 0, 0), 0);
    EXPECT_EQ(pixel(0, 0), red) << "nothing drawn";
    for (BYTE b : di.bytes().size() > 572 ? rt::Bytes(di.get() + 572, di.get() + di.blockSize()) : rt::Bytes())
        ASSERT_EQ(b, 0);
}

namespace {

using support::colourOf;

// A 64 x 64 window with the test palette, painted black.
struct Window : ::testing::Test {
    support::PaletteWindow win{64, 64};
    HDC dc = win.dc;

    void SetUp() override
    {
        ASSERT_NE(win.window, nullptr);
        fill(dc, 0, 0, 64, 64, RGB(0, 0, 0));
    }
};

}  // namespace

TEST_F(Window, RawBandShowsOnlyItsRows)
{
    // 8 x 40 image, row y (from the top) holds index 20 + y.
    Record image = rt::makeRaw(8, 40);
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 8; x++) *rt::rawPixel(image, x, y) = BYTE(20 + y);

    EXPECT_EQ(vekDIBBlt(dc, 5, 3, 8, 20, image, 0, 10), 20) << "scan lines drawn";
    EXPECT_EQ(rt::get32(image, rt::kHeight), 40u) << "biHeight restored";
    for (int y = 0; y < 20; y++) {
        ASSERT_EQ(GetPixel(dc, 5, 3 + y), colourOf(30 + y)) << "row " << y << " shows image row " << 10 + y;
        ASSERT_EQ(GetPixel(dc, 12, 3 + y), colourOf(30 + y));
    }
    EXPECT_EQ(GetPixel(dc, 5, 2), RGB(0, 0, 0)) << "above the band";
    EXPECT_EQ(GetPixel(dc, 5, 23), RGB(0, 0, 0)) << "below the band";
    EXPECT_EQ(GetPixel(dc, 13, 3), RGB(0, 0, 0)) << "right of the band";

    EXPECT_EQ(vekDIBBlt(dc, 0, 0, 8, 20, image, 0, 30), 0) << "a band past the image is refused";
    EXPECT_EQ(vekDIBBlt(dc, 0, 0, 8, 5, image, 0, -1), 0);
}

TEST_F(Window, RleImageIsShownWhole)
{
    // 6 x 3: top row 3 x 40 then a skip, middle row empty, bottom row 6 x 50.
    rt::Bytes s;
    rt::skip(s, 0);
    rt::run(s, 6, 50);
    rt::endRow(s);
    rt::endRow(s);
    rt::skip(s, 0);
    rt::run(s, 3, 40);
    rt::skip(s, 2);
    rt::run(s, 1, 41);
    rt::endRow(s);
    rt::endImage(s);
    Record image = rt::makeRle(6, 3, s);
    rt::put32(image.get(), rt::kSizeImage, (DWORD)s.size());

    EXPECT_EQ(vekDIBBlt(dc, 10, 10, 6, 99, image, 0, 0), 3);
    EXPECT_EQ(GetPixel(dc, 10, 10), colourOf(40));
    EXPECT_EQ(GetPixel(dc, 12, 10), colourOf(40));
    EXPECT_EQ(GetPixel(dc, 15, 10), colourOf(41));
    EXPECT_EQ(GetPixel(dc, 15, 12), colourOf(50));
    EXPECT_EQ(GetPixel(dc, 10, 13), RGB(0, 0, 0)) << "height 99 is not used";
}
