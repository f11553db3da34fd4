// Damaged fonts: files cut anywhere, character tables and glyph offsets
// that point outside the file, a length word larger than the block. Each is
// measured and drawn like the reference, which reads everything outside the
// file as absent; the font handles hold exactly the bytes given.
#include "raster_fonts.h"

#include <gtest/gtest.h>

#include <random>

using namespace fonts;

namespace {

constexpr BYTE kFill = 0x11;

// A 9-row font of 'A'..'H' with glyphs 5 to 19 columns wide (one to three
// strips), every bit set in a checker pattern.
std::vector<BYTE> sampleFont()
{
    std::vector<GlyphRows> glyphs;
    for (int i = 0; i < 8; i++) {
        GlyphRows g{static_cast<BYTE>('A' + i), static_cast<WORD>(5 + 2 * i), {}};
        for (int r = 0; r < 9; r++) {
            std::string row;
            for (int c = 0; c < g.width; c++) row += (r + c + i) % 2 ? '#' : '.';
            g.rows.push_back(row);
        }
        glyphs.push_back(g);
    }
    return buildFont(9, 'A', 'H', 2, glyphs);
}

// Measures and draws text at a few places with the library and the
// reference and compares results and pixels.
void expectLikeReference(const std::vector<BYTE> &file, const FontHandle &font, const std::string &what)
{
    const Reference reference(file);
    const std::string text = "HAzGBFCEDH";
    DWORD width = 0;
    for (unsigned char c : text) width += reference.width(c);
    EXPECT_EQ(gfxGetTextExtentFont(font, text.c_str(), static_cast<LONG>(text.size())),
              (static_cast<DWORD>(reference.height()) << 16) | (width & 0xFFFF))
        << what;
    const LONG places[][2] = {{0, 0}, {-7, -4}, {13, 5}, {-30, 2}};
    for (const auto &at : places) {
        Image image(37, 11, kFill);
        std::vector<BYTE> expected = image.pixels();
        const LONG want = reference.draw(image, expected, 9, at[0], at[1], text);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 9, 0, at[0], at[1], text.c_str(), static_cast<LONG>(text.size())),
                  want)
            << what << " at " << at[0] << "," << at[1];
        EXPECT_TRUE(image.pixels() == expected) << what << " at " << at[0] << "," << at[1];
    }
}

}  // namespace

TEST(DamagedFont, CutAtEveryLength)
{
    const std::vector<BYTE> whole = sampleFont();
    for (size_t length = 0; length <= whole.size(); length++) {
        const std::vector<BYTE> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
        FontHandle font(cut);
        expectLikeReference(cut, font, "file cut to " + std::to_string(length) + " bytes");
    }
}

TEST(DamagedFont, TableAndOffsetsOutsideTheFile)
{
    std::mt19937 random(77);
    const std::vector<BYTE> whole = sampleFont();
    {
        // The range claims every code, but the table ends with the file.
        std::vector<BYTE> file = whole;
        file[95] = 0;
        file[96] = 255;
        FontHandle font(file);
        expectLikeReference(file, font, "range past the table");
    }
    {
        // Offsets near the end of the address range, past the end of the
        // file, and into the last bytes of the file.
        std::vector<BYTE> file = whole;
        support::put32(file.data(), 148 + 2, 0xFFFFFFF0);
        support::put32(file.data(), 148 + 6 + 2, static_cast<DWORD>(file.size()));
        support::put32(file.data(), 148 + 12 + 2, static_cast<DWORD>(file.size() - 10));
        support::put16(file.data(), 148 + 12, 0xFFFF);
        FontHandle font(file);
        expectLikeReference(file, font, "offsets outside");
    }
    for (int round = 0; round < 50; round++) {
        // Random widths and offsets anywhere in or just past the file.
        std::vector<BYTE> file = whole;
        for (int i = 0; i < 9; i++) {
            support::put16(file.data(), 148 + 6 * i, static_cast<WORD>(random() % 40));
            support::put32(file.data(), 148 + 6 * i + 2, static_cast<DWORD>(random() % (file.size() + 30)));
        }
        FontHandle font(file);
        expectLikeReference(file, font, "random table, round " + std::to_string(round));
    }
}

TEST(DamagedFont, LengthWordLargerThanTheBlock)
{
    const std::vector<BYTE> file = sampleFont();
    FontHandle font(file, 0xFFFFFFFF);
    expectLikeReference(file, font, "length word 0xFFFFFFFF");
}

TEST(DamagedFont, PixelHeightZeroDrawsNothing)
{
    std::vector<BYTE> file = sampleFont();
    support::put16(file.data(), 88, 0);
    FontHandle font(file);
    Image image(20, 10, kFill);
    const std::vector<BYTE> before = image.pixels();
    EXPECT_EQ(gfxTextOutToDIB(image, font, 9, 0, 0, 0, "ABC", 3), 0);
    EXPECT_TRUE(image.pixels() == before);
    EXPECT_EQ(gfxGetTextExtentFont(font, "ABC", 3), 5u + 7u + 9u);
}
