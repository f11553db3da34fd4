// Bitmap fonts: loading, measuring, and drawing compared glyph by glyph with
// the font's own bits, at and across every edge of the image.
#include "raster_fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

using namespace fonts;

namespace {

constexpr BYTE kFill = 0xEE;

// An 8-pixel-wide, 10-row font for 'A'..'C' (default: 'B') whose glyph
// columns are easy to tell apart: 'A' has ink in column c of row c % 8, 'B'
// a full left column, 'C' a full right column.
std::vector<BYTE> edgeFont()
{
    GlyphRows a{'A', 8, {}}, b{'B', 8, {}}, c{'C', 8, {}};
    for (int r = 0; r < 10; r++) {
        std::string diag(8, '.');
        diag[r % 8] = '#';
        a.rows.push_back(diag);
        b.rows.push_back("#.......");
        c.rows.push_back(".......#");
    }
    return buildFont(10, 'A', 'C', 1, {a, b, c});
}

// Draws with the library and the reference from the same start and
// compares results and every pixel byte.
void expectSameAsReference(const std::vector<BYTE> &file, LONG width, LONG height, LONG x, LONG y,
                           const std::string &text, BYTE colour = 5)
{
    FontHandle font(file);
    Image image(width, height, kFill);
    std::vector<BYTE> expected = image.pixels();
    const LONG want = Reference(file).draw(image, expected, colour, x, y, text);
    const LONG got = gfxTextOutToDIB(image, font, colour, 0, x, y, text.c_str(), static_cast<LONG>(text.size()));
    EXPECT_EQ(got, want) << "text \"" << text << "\" at " << x << "," << y << " in " << width << "x" << height;
    EXPECT_TRUE(image.pixels() == expected)
        << "pixels differ for \"" << text << "\" at " << x << "," << y << " in " << width << "x" << height;
}

}  // namespace

TEST(FontText, GlyphBitsLandWhereTheFontSays)
{
    const std::vector<BYTE> file = edgeFont();
    FontHandle font(file);
    Image image(26, 12, kFill);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 0x1207, 0, 1, 1, "ABC", 3), 1);
    // Only the low byte of the colour is used.
    EXPECT_EQ(image.row(0, kFill), "..........................");
    EXPECT_EQ(image.row(1, kFill), ".7.......7..............7.");
    EXPECT_EQ(image.row(2, kFill), "..7......7..............7.");
    EXPECT_EQ(image.row(8, kFill), "........77..............7.");
    EXPECT_EQ(image.row(9, kFill), ".7.......7..............7.");
    EXPECT_EQ(image.row(10, kFill), "..7......7..............7.");
    EXPECT_EQ(image.row(11, kFill), "..........................");
}

TEST(FontText, ClippedAtEachEdge)
{
    const std::vector<BYTE> file = edgeFont();
    FontHandle font(file);
    {
        // Starting at x = -5: columns 5..7 of the first glyph at 0..2, the
        // second glyph from column 3.
        Image image(12, 10, kFill);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, -5, 0, "AB", 2), 1);
        EXPECT_EQ(image.row(5, kFill), "3..3........");
        EXPECT_EQ(image.row(7, kFill), "..33........");
        EXPECT_EQ(image.row(0, kFill), "...3........");
    }
    {
        // y = -3 with a 10-row font: glyph rows 3..9 into image rows 0..6.
        Image image(8, 10, kFill);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, -3, "A", 1), 1);
        EXPECT_EQ(image.row(0, kFill), "...3....");
        EXPECT_EQ(image.row(4, kFill), ".......3");
        EXPECT_EQ(image.row(5, kFill), "3.......");
        EXPECT_EQ(image.row(6, kFill), ".3......");
        EXPECT_EQ(image.row(7, kFill), "........");
    }
    {
        // The last glyph crosses the right edge: cut there, result 1.
        Image image(13, 10, kFill);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "CC", 2), 1);
        EXPECT_EQ(image.row(0, kFill), ".......3.....");
    }
    {
        // Cut at the bottom: rows below the image are left out.
        Image image(8, 4, kFill);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 1, "B", 1), 1);
        EXPECT_EQ(image.row(0, kFill), "........");
        EXPECT_EQ(image.row(3, kFill), "3.......");
    }
    {
        // A glyph that ends exactly at the left edge draws nothing; text
        // that ends there reports 0, as does text wholly above the image.
        Image image(8, 10, kFill);
        const std::vector<BYTE> before = image.pixels();
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, -16, 0, "AB", 2), 0);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, -10, "AB", 2), 0);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 8, 0, "AB", 2), 0);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 10, "AB", 2), 0);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, INT_MIN, INT_MIN, "AB", 2), 0);
        EXPECT_TRUE(image.pixels() == before);
        // One column of the second glyph shows: 'C' has ink there.
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, -15, 0, "AC", 2), 1);
        EXPECT_EQ(image.row(0, kFill), "3.......");
    }
}

// Random proportional glyphs of 0 to 21 columns (up to three strips),
// drawn at positions around and across all four edges of images whose
// widths are and are not multiples of four.
TEST(FontText, MatchesReferenceEverywhere)
{
    std::mt19937 random(1234);
    std::vector<GlyphRows> glyphs;
    const WORD height = 11;
    for (int code = 32; code <= 126; code++) {
        GlyphRows g{static_cast<BYTE>(code), static_cast<WORD>(random() % 22), {}};
        for (int r = 0; r < height; r++) {
            std::string row;
            for (int c = 0; c < g.width; c++) row += random() % 3 ? '#' : '.';
            g.rows.push_back(row);
        }
        glyphs.push_back(g);
    }
    const std::vector<BYTE> file = buildFont(height, 32, 126, '?' - 32, glyphs);
    const LONG sizes[][2] = {{1, 1}, {5, 3}, {17, 9}, {40, 30}, {64, 11}};
    for (const auto &size : sizes) {
        for (int i = 0; i < 60; i++) {
            std::string text;
            const int length = 1 + static_cast<int>(random() % 7);
            for (int k = 0; k < length; k++) text += static_cast<char>(28 + random() % 102);
            const LONG x = static_cast<LONG>(random() % (size[0] + 60)) - 50;
            const LONG y = static_cast<LONG>(random() % (size[1] + 24)) - 14;
            expectSameAsReference(file, size[0], size[1], x, y, text, static_cast<BYTE>(random()));
        }
    }
}

TEST(FontText, ArgumentsThatDrawNothing)
{
    const std::vector<BYTE> file = edgeFont();
    FontHandle font(file);
    Image image(16, 10, kFill);
    const std::vector<BYTE> before = image.pixels();
    EXPECT_EQ(gfxTextOutToDIB(nullptr, font, 3, 0, 0, 0, "A", 1), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, nullptr, 3, 0, 0, 0, "A", 1), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, nullptr, 1), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "A", 0), 0);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "", -1), 0);
    EXPECT_TRUE(image.pixels() == before);
    // A negative length takes the string up to its terminating zero.
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "BB", -1), 1);
    EXPECT_EQ(image.row(0, kFill), "3.......3.......");
}

TEST(FontText, RefusesImagesThatAreNotRaw8Bit)
{
    const std::vector<BYTE> file = edgeFont();
    FontHandle font(file);
    Image image(16, 10, kFill);
    const std::vector<BYTE> before = image.pixels();
    support::put32(image, 34, BI_RLE8);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "A", 1), 0);
    support::put32(image, 34, BI_RGB);
    support::put16(image, 32, 4);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "A", 1), 0);
    support::put16(image, 32, 8);
    // Rows that would not fit the block.
    support::put32(image, 26, 11);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "A", 1), 0);
    support::put32(image, 26, 10);
    EXPECT_TRUE(image.pixels() == before);

    // DD and composite records, whose blocks are shorter than a DI header.
    HDC screen = GetDC(nullptr);
    auto dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 16, 10, 1));
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(gfxTextOutToDIB(dd, font, 3, 0, 0, 0, "A", 1), 0);
    vekDeleteSpriteData(dd);
    HGLOBAL compositeBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 38);
    auto *composite = static_cast<BYTE *>(GlobalLock(compositeBlock));
    support::put16(composite, 4, 0xFEF1);
    support::put32(composite, 14, 16);
    support::put32(composite, 18, 10);
    EXPECT_EQ(gfxTextOutToDIB(composite, font, 3, 0, 0, 0, "A", 1), 0);
    GlobalUnlock(compositeBlock);
    GlobalFree(compositeBlock);
}

TEST(FontLookup, DefaultCharacterCountsFromTheFirst)
{
    // Range 'A'..'C', default field 1: the default is 'B'.
    const std::vector<BYTE> file = edgeFont();
    FontHandle font(file);
    Image image(16, 10, kFill);
    EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "z\x01", 2), 1);
    EXPECT_EQ(image.row(0, kFill), "3.......3.......");
    EXPECT_EQ(gfxGetTextExtentFont(font, "zzz", 3), (10u << 16) | 24u);
}

TEST(FontLookup, CodesWithoutAGlyph)
{
    GlyphRows g{'A', 8, {"########"}};
    {
        // The default character lies outside the range too: nothing is
        // drawn and the string measures 0 wide.
        const std::vector<BYTE> file = buildFont(4, 'A', 'B', 10, {g});
        FontHandle font(file);
        Image image(8, 4, kFill);
        const std::vector<BYTE> before = image.pixels();
        EXPECT_EQ(gfxGetTextExtentFont(font, "xyz\xF0", -1), 4u << 16);
        // The text ends where it started, at column 0: result 0.
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "xyz", 3), 0);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 2, 0, "xyz", 3), 1);
        EXPECT_TRUE(image.pixels() == before);
        // Width-0 characters take no room: 'B' has none of its own.
        EXPECT_EQ(gfxGetTextExtentFont(font, "BAB", 3), (4u << 16) | 8u);
    }
    {
        // A default character past 255 matches no code.
        const std::vector<BYTE> file = buildFont(4, 200, 255, 100, {{200, 3, {"###"}}});
        FontHandle font(file);
        EXPECT_EQ(gfxGetTextExtentFont(font, "\x2C", 1), 4u << 16);
        // Code 200 in a range 200..255 is the glyph of 200 itself.
        EXPECT_EQ(gfxGetTextExtentFont(font, "\xC8", 1), (4u << 16) | 3u);
    }
    {
        // A font of another version has no characters at all.
        const std::vector<BYTE> file = buildFont(4, 'A', 'A', 0, {g}, 0x0200);
        FontHandle font(file);
        Image image(8, 4, kFill);
        const std::vector<BYTE> before = image.pixels();
        EXPECT_EQ(gfxGetTextExtentFont(font, "AAA", 3), 4u << 16);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 3, 0, 0, 0, "AAA", 3), 0);
        EXPECT_TRUE(image.pixels() == before);
    }
}

TEST(FontExtent, WidthIsModulo65536)
{
    GlyphRows wide{'W', 40000, {}};
    const std::vector<BYTE> file = buildFont(3, 'W', 'W', 0, {wide});
    FontHandle font(file);
    EXPECT_EQ(gfxGetTextExtentFont(font, "W", 1), (3u << 16) | 40000u);
    EXPECT_EQ(gfxGetTextExtentFont(font, "WW", 2), (3u << 16) | (80000u & 0xFFFF));
    EXPECT_EQ(gfxGetTextExtentFont(font, "WWWWWWWWWWWWWWWWW", -1), (3u << 16) | (17u * 40000u & 0xFFFF));
    EXPECT_EQ(gfxGetTextExtentFont(font, "", 0), 3u << 16);
    EXPECT_EQ(gfxGetTextExtentFont(nullptr, "W", 1), 0u);
    EXPECT_EQ(gfxGetTextExtentFont(font, nullptr, 1), 0u);
}

TEST(FontFile, LoadKeepsTheFileBehindItsLength)
{
    const std::vector<BYTE> file = edgeFont();
    const char *name = "font_test_edge.fnt";
    HFILE out = _lcreat(name, 0);
    ASSERT_NE(out, HFILE_ERROR);
    ASSERT_EQ(_lwrite(out, reinterpret_cast<LPCSTR>(file.data()), static_cast<UINT>(file.size())), file.size());
    _lclose(out);

    HGLOBAL font = gfxLoadFont(name);
    ASSERT_NE(font, nullptr);
    // The handle is given out unlocked.
    EXPECT_EQ(GlobalFlags(font) & GMEM_LOCKCOUNT, 0u);
    ASSERT_GE(GlobalSize(font), file.size() + 4);
    const BYTE *block = static_cast<const BYTE *>(GlobalLock(font));
    EXPECT_EQ(get32(block, 0), file.size());
    EXPECT_TRUE(std::equal(file.begin(), file.end(), block + 4));
    GlobalUnlock(font);
    EXPECT_EQ(gfxGetTextExtentFont(font, "ABC", 3), (10u << 16) | 24u);
    gfxFreeFont(font);
    DeleteFileA(name);

    EXPECT_EQ(gfxLoadFont("font_test_no_such_file.fnt"), nullptr);
}
