// Fills: raw DI images filled in memory (clipping, the rows and padding left
// alone, the formats refused) and DD images through the GDI.
#include "random_images.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rt;

namespace {

// Fills the rectangle of the block bytes of a raw record the plain way:
// pixel by pixel, every pixel tested against both rectangles.
void referenceFill(Bytes &block, LONG x, LONG y, LONG width, LONG height, BYTE colour)
{
    const LONG w = static_cast<LONG>(get32(block.data(), kWidth)), h = static_cast<LONG>(get32(block.data(), kHeight));
    const size_t pixels = 4 + get32(block.data(), kPixelOffset);
    for (LONG row = 0; row < h; row++)
        for (LONG col = 0; col < w; col++)
            if (col >= x && int64_t{col} < int64_t{x} + width && row >= y && int64_t{row} < int64_t{y} + height)
                block[pixels + static_cast<size_t>(h - 1 - row) * strideOf(w) + col] = colour;
}

}  // namespace

TEST(SpriteFill, ClipsToTheImage)
{
    Record image = makeRaw(30, 8);
    const Bytes blank = image.bytes();
    EXPECT_EQ(vekSpriteFill(image, 30, 0, 5, 5, 9), 1) << "x equal to the width";
    EXPECT_EQ(vekSpriteFill(image, 31, 0, 5, 5, 9), 1) << "x beyond the width";
    EXPECT_EQ(vekSpriteFill(image, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 9), 1) << "extremes";
    EXPECT_TRUE(image.bytes() == blank);

    EXPECT_EQ(vekSpriteFill(image, -10, 0, 20, 5, 0x1AB), 1);
    for (LONG y = 0; y < 8; y++)
        for (LONG x = 0; x < 30; x++)
            ASSERT_EQ(*rawPixel(image, x, y), x < 10 && y < 5 ? 0xAB : 0) << "pixel " << x << ", " << y;
}

TEST(SpriteFill, UnsupportedImagesGiveZero)
{
    Bytes s;
    run(s, 4, 1);
    endRow(s);
    endImage(s);
    Record rle = makeRle(4, 1, s);
    EXPECT_EQ(vekSpriteFill(rle, 0, 0, 4, 1, 9), 0);

    Record fourBit = makeRaw(8, 2);
    put16(fourBit, kBitCount, 4);
    EXPECT_EQ(vekSpriteFill(fourBit, 0, 0, 4, 1, 9), 0);

    // A height whose rows would not fit the block.
    Record tall = makeRaw(8, 2);
    put32(tall, kHeight, 3);
    const Bytes before = tall.bytes();
    EXPECT_EQ(vekSpriteFill(tall, 0, 0, 8, 3, 9), 0);
    EXPECT_TRUE(tall.bytes() == before);
}

TEST(SpriteFillRandom, MatchesPlainFill)
{
    for (unsigned seed = 1; seed <= 1000; seed++) {
        Random rnd(seed);
        Record image = makeRaw(rnd.between(1, 70), rnd.between(1, 30), rnd.chance(0.5));
        for (size_t i = 4 + get32(image, kPixelOffset); i < image.blockSize(); i++) image.get()[i] = rnd.byte();
        const LONG w = static_cast<LONG>(get32(image, kWidth)), h = static_cast<LONG>(get32(image, kHeight));
        const LONG x = rnd.between(-8, w + 2), y = rnd.between(-8, h + 2);
        const LONG width = rnd.between(-2, w + 10), height = rnd.between(-2, h + 10);
        const BYTE colour = rnd.byte();
        Bytes expected = image.bytes();
        referenceFill(expected, x, y, width, height, colour);
        ASSERT_EQ(vekSpriteFill(image, x, y, width, height, colour), 1) << "case " << seed;
        ASSERT_TRUE(image.bytes() == expected)
            << "case " << seed << ": " << w << "x" << h << " fill (" << x << ", " << y << ") " << width << "x"
            << height;
    }
}

namespace {

// A DD record of 16 x 10 made on the screen DC, and a palette of 16 distinct
// colours.
struct DDFill : ::testing::Test {
    HDC screen = GetDC(nullptr);
    HSPRITEDATA image = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 16, 10, 1));
    HPALETTE palette = nullptr;

    static COLORREF colourOf(int i) { return RGB(40 + i * 10, 200 - i * 10, i & 1 ? 60 : 180); }

    void SetUp() override
    {
        ASSERT_NE(image, nullptr);
        struct {
            WORD version, count;
            PALETTEENTRY entries[16];
        } log{0x300, 16, {}};
        for (int i = 0; i < 16; i++) {
            const COLORREF c = colourOf(i);
            log.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
        ASSERT_NE(palette, nullptr);
    }
    void TearDown() override
    {
        vekDeleteSpriteData(image);
        DeleteObject(palette);
        ReleaseDC(nullptr, screen);
    }

    // The image's pixels read back through a memory DC that holds the
    // palette, row by row: '#' where the pixel has colour, '.' where it is
    // still black, '?' otherwise.
    std::vector<std::string> picture(COLORREF colour)
    {
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(get32(image, 10)));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        std::vector<std::string> rows;
        for (int y = 0; y < 10; y++) {
            std::string row;
            for (int x = 0; x < 16; x++) {
                const COLORREF c = GetPixel(dc, x, y);
                row += c == colour ? '#' : c == RGB(0, 0, 0) ? '.' : '?';
            }
            rows.push_back(row);
        }
        SelectPalette(dc, oldPalette, FALSE);
        SelectObject(dc, old);
        DeleteDC(dc);
        return rows;
    }
};

}  // namespace

TEST_F(DDFill, PaintsExactlyTheRectangleInThePaletteColour)
{
    EXPECT_EQ(vekSpriteFillEx(image, 3, 2, 5, 4, 11, palette), 1);
    const std::vector<std::string> want = {
        "................", "................", "...#####........", "...#####........", "...#####........",
        "...#####........", "................", "................", "................", "................",
    };
    EXPECT_EQ(picture(colourOf(11)), want);

    // Clipped by the bitmap on the right and at the bottom.
    EXPECT_EQ(vekSpriteFillEx(image, 14, 8, 10, 10, 11, palette), 1);
    const std::vector<std::string> rows = picture(colourOf(11));
    EXPECT_EQ(rows[7], "................");
    EXPECT_EQ(rows[8], "..............##");
    EXPECT_EQ(rows[9], "..............##");
}

TEST_F(DDFill, WithoutAPaletteNothingIsDone)
{
    EXPECT_EQ(vekSpriteFill(image, 0, 0, 16, 10, 11), 1);
    EXPECT_EQ(vekSpriteFillEx(image, 0, 0, 16, 10, 11, nullptr), 1);
    for (const std::string &row : picture(colourOf(11))) EXPECT_EQ(row, "................");
}
