// A font converted from BDF by vektool font (run by the font_conversion test,
// which names the files in VEKKIT_FONT_BDF and VEKKIT_FONT_FNT): loaded,
// measured, and a string drawn and compared with the BDF's own glyphs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "support/images.h"

using namespace support;

namespace {

struct BdfGlyph {
    int advance = 0, boxWidth = 0, boxHeight = 0, boxX = 0, boxY = 0;
    std::vector<std::string> rows;  // hex rows
};

// The glyphs of codes 0..255 and the font's ascent and descent.
struct Bdf {
    int ascent = 0, descent = 0, defaultChar = -1;
    std::map<int, BdfGlyph> glyphs;
};

Bdf readBdf(const char *path)
{
    Bdf bdf;
    std::ifstream in(path);
    std::string line, word;
    BdfGlyph g;
    int code = -1;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        words >> word;
        if (word == "FONT_ASCENT") words >> bdf.ascent;
        else if (word == "FONT_DESCENT") words >> bdf.descent;
        else if (word == "DEFAULT_CHAR") words >> bdf.defaultChar;
        else if (word == "STARTCHAR") g = BdfGlyph{};
        else if (word == "ENCODING") words >> code;
        else if (word == "DWIDTH") words >> g.advance;
        else if (word == "BBX") words >> g.boxWidth >> g.boxHeight >> g.boxX >> g.boxY;
        else if (word == "BITMAP")
            for (int i = 0; i < g.boxHeight && std::getline(in, line); i++) g.rows.push_back(line);
        else if (word == "ENDCHAR" && code >= 0 && code <= 255) bdf.glyphs[code] = g;
    }
    return bdf;
}

// Draws text with the BDF glyphs into pixels, pixel by pixel; codes
// without a glyph take the default character's.
void drawBdf(const Bdf &bdf, Bytes &image, BYTE colour, LONG x, LONG y, const std::string &text)
{
    for (unsigned char c : text) {
        const auto it = bdf.glyphs.count(c) ? bdf.glyphs.find(c) : bdf.glyphs.find(bdf.defaultChar);
        const BdfGlyph &g = it->second;
        for (int i = 0; i < g.boxHeight; i++)
            for (int j = 0; j < g.boxWidth; j++) {
                const unsigned byte = std::stoul(g.rows[i].substr(static_cast<size_t>(j / 8) * 2, 2), nullptr, 16);
                if (!(byte & (0x80u >> (j % 8)))) continue;
                const LONG px = x + g.boxX + j, py = y + bdf.ascent - (g.boxY + g.boxHeight - i);
                const LONG w = static_cast<LONG>(get32(image.data(), kWidth)), h = static_cast<LONG>(get32(image.data(), kHeight));
                if (px < 0 || px >= w || py < 0 || py >= h) continue;
                image[kPixels + static_cast<size_t>(h - 1 - py) * strideOf(w) + px] = colour;
            }
        x += g.advance;
    }
}

}  // namespace

TEST(ConvertedFont, DrawsTheBdfGlyphs)
{
    const char *bdfPath = std::getenv("VEKKIT_FONT_BDF");
    const char *fntPath = std::getenv("VEKKIT_FONT_FNT");
    if (!bdfPath || !fntPath) GTEST_SKIP() << "run by the font_conversion test";
    const Bdf bdf = readBdf(bdfPath);
    ASSERT_FALSE(bdf.glyphs.empty());
    HGLOBAL font = gfxLoadFont(fntPath);
    ASSERT_NE(font, nullptr);

    // Printable ASCII, Latin-1 letters and a code the font has no glyph
    // for (its default character is drawn).
    std::string text = "Hello, vekkit! 0123 {|}~ \xC4\xE9\xFF";
    for (int c = 1; c < 256; c++)
        if (!bdf.glyphs.count(c)) {
            text += static_cast<char>(c);
            break;
        }
    DWORD width = 0;
    for (unsigned char c : text) width += (bdf.glyphs.count(c) ? bdf.glyphs.at(c) : bdf.glyphs.at(bdf.defaultChar)).advance;
    EXPECT_EQ(gfxGetTextExtentFont(font, text.c_str(), -1),
              static_cast<DWORD>(bdf.ascent + bdf.descent) << 16 | (width & 0xFFFF));

    const LONG places[][2] = {{3, 2}, {-11, -5}, {40, 12}};
    for (const auto &at : places) {
        Record image = makeRaw(200, 20);
        Bytes expected = image.bytes();
        drawBdf(bdf, expected, 15, at[0], at[1], text);
        EXPECT_EQ(gfxTextOutToDIB(image, font, 15, 0, at[0], at[1], text.c_str(), -1), 1);
        EXPECT_TRUE(image.bytes() == expected) << "at " << at[0] << "," << at[1];
    }
    gfxFreeFont(font);
}
