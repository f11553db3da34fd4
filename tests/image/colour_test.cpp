// Nearest palette colours against a plain search, the DIB fix-ups and
// dithering on known palettes, and damaged records they leave alone.
#include <gtest/gtest.h>

#include <random>

#include "support/images.h"

using namespace support;

namespace {

PALETTEENTRY entry(BYTE r, BYTE g, BYTE b) { return PALETTEENTRY{r, g, b, 0}; }
RGBQUAD quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

// The plain search: every entry but 8, the lowest index at the smallest distance.
DWORD referenceNearest(const std::vector<PALETTEENTRY> &palette, const RGBQUAD &q)
{
    DWORD best = 0;
    long bestDistance = -1;
    for (DWORD i = 0; i < 256; i++) {
        const long dr = palette[i].peRed - q.rgbRed, dg = palette[i].peGreen - q.rgbGreen,
                   db = palette[i].peBlue - q.rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (i != 8 && (bestDistance < 0 || d < bestDistance)) best = i, bestDistance = d;
    }
    return best;
}

struct Palette {
    std::vector<PALETTEENTRY> entries = std::vector<PALETTEENTRY>(256, entry(0, 0, 0));
    VEKCONTEXT context{};
    Palette() { setpe(&context, entries.data()); }
    LPVEKCONTEXT operator&() { return &context; }
};

// An image of the given rows (top row first) with a colour table.
Record imageOf(LONG width, const Bytes &topDown, const std::vector<RGBQUAD> &table)
{
    return blockOf(bmpFile(width, static_cast<LONG>(topDown.size()) / width, topDown, table.data()));
}
Bytes bitsOf(const Record &r) { return Bytes(r.get() + 4 + 1078, r.get() + 4 + get32(r, 0)); }

}  // namespace

TEST(ColourMatching, AgreesWithThePlainSearch)
{
    Palette p;
    std::mt19937 rng(11);
    for (int round = 0; round < 300; round++) {
        // Three levels per channel make many ties, 64 are six-bit components;
        // flags and reserved bytes are noise that must not count.
        const int levels = round % 3 == 0 ? 3 : round % 3 == 1 ? 64 : 256, step = 255 / (levels - 1);
        for (PALETTEENTRY &e : p.entries)
            e = PALETTEENTRY{BYTE(rng() % levels * step), BYTE(rng() % levels * step), BYTE(rng() % levels * step),
                             BYTE(rng())};
        // Every other round asks within a box of 40 levels around entry 8's
        // colour, so that queries come back to the same parts of the colour
        // space, near the entry they must pass over.
        const int spread = round % 2 ? 40 : 256;
        const PALETTEENTRY &e8 = p.entries[8];
        const BYTE r0 = BYTE(e8.peRed - 20), g0 = BYTE(e8.peGreen - 20), b0 = BYTE(e8.peBlue - 20);
        RGBQUAD q{};
        for (int k = 0; k < 60; k++) {
            // The first query is entry 8's own colour.
            q = k ? quad(BYTE(r0 + rng() % spread), BYTE(g0 + rng() % spread), BYTE(b0 + rng() % spread))
                  : quad(p.entries[8].peRed, p.entries[8].peGreen, p.entries[8].peBlue);
            q.rgbReserved = BYTE(rng());
            ASSERT_EQ(vekGetNearestColor(&p, &q), referenceNearest(p.entries, q)) << "round " << round;
        }
        // One entry changed in place becomes the answer for its own colour.
        const size_t changed = 9 + rng() % 247;
        p.entries[changed] = entry(q.rgbRed, q.rgbGreen, q.rgbBlue);
        ASSERT_EQ(vekGetNearestColor(&p, &q), referenceNearest(p.entries, q)) << "round " << round;
    }
}

TEST(FixUps, MapTheBitsAndMakeTheTableAnIndexTable)
{
    std::vector<RGBQUAD> table(256);
    Palette p;
    for (int i = 0; i < 256; i++) {
        table[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i ^ 0x5A), 0};
        p.entries[i] = entry(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
    }
    const Bytes topDown = {0, 1, 8, 9, 200, 255, 8, 8, 7, 6, 5, 4};
    const Bytes stored = bitsOf(imageOf(6, topDown, table));
    auto isIndexTable = [](const Record &r) {
        for (int i = 0; i < 256; i++)
            if (get16(r, 58 + 2 * i) != i) return false;
        return true;
    };
    // Without a context only the table changes; fixupdib3 may answer 8;
    // fixupdib maps 8 to its nearest other entry.
    Record plain = imageOf(6, topDown, table);
    fixupdib(nullptr, plain);
    EXPECT_TRUE(isIndexTable(plain));
    EXPECT_EQ(bitsOf(plain), stored);
    Record three = imageOf(6, topDown, table);
    fixupdib3(&p, three);
    EXPECT_EQ(bitsOf(three), stored);
    Record one = imageOf(6, topDown, table);
    fixupdib(&p, one);
    Bytes want = stored;
    for (BYTE &b : want)
        if (b == 8) b = static_cast<BYTE>(vekGetNearestColor(&p, &table[8]));
    EXPECT_NE(want, stored);
    EXPECT_EQ(bitsOf(one), want);
    EXPECT_TRUE(isIndexTable(one));

    // fixupdib2 maps source indices: source entry i is palette colour
    // 255 - i, so every value v (8 and row padding included) becomes 255 - v.
    std::vector<PALETTEENTRY> source(256);
    for (int i = 0; i < 256; i++) source[i] = p.entries[255 - i];
    Record two = imageOf(6, topDown, table);
    const Bytes tableBytes(two.get() + 58, two.get() + 58 + 1024);
    fixupdib2(&p, two, source.data());
    want = stored;
    for (BYTE &b : want) b = static_cast<BYTE>(255 - b);
    EXPECT_EQ(bitsOf(two), want);
    EXPECT_EQ(Bytes(two.get() + 58, two.get() + 58 + 1024), tableBytes) << "the colour table stays";

    // Damaged records are left alone by all of them.
    struct Damage {
        const char *what;
        size_t at, size;
        DWORD value;
    } damages[] = {{"bits past the end", 26, 4, 3},
                   {"pixel offset past the end", 14, 4, 0x7FFFFFFF},
                   {"RLE8", 34, 4, BI_RLE8},
                   {"image length too short for the table", 0, 4, 600}};
    for (const Damage &d : damages) {
        Record r = imageOf(6, topDown, table);
        if (d.size == 2) put16(r, d.at, static_cast<WORD>(d.value));
        else put32(r, d.at, d.value);
        const Bytes untouched = r.bytes();
        fixupdib(&p, r);
        fixupdib3(&p, r);
        fixupdib2(&p, r, p.entries.data());
        ditherdib(&p, r, 0);
        EXPECT_EQ(r.bytes(), untouched) << d.what;
    }
}

TEST(Dithering, ErrorGoesRightWithinARowAndSumsAreClamped)
{
    // Grey 128 onto black and white: white (error -127), black (1), white
    // (-126), black; each row starts again; pixels of value 8 pass the error
    // on. Entry 8 is never chosen.
    Palette p;
    p.entries[1] = entry(255, 255, 255);
    p.entries[8] = entry(128, 128, 128);
    std::vector<RGBQUAD> table(256);
    table[3] = quad(128, 128, 128);
    table[8] = quad(255, 255, 255);
    Record grey = imageOf(4, {3, 3, 3, 3, 3, 8, 3, 3, 8, 8, 8, 8}, table);
    ditherdib(&p, grey, 0);
    EXPECT_EQ(bitsOf(grey), Bytes({8, 8, 8, 8, 1, 8, 0, 1, 1, 0, 1, 0}));

    // A colour the palette holds: its lowest index, no error builds up.
    p.entries[20] = p.entries[30] = entry(60, 60, 60);
    table[7] = quad(60, 60, 60);
    Record held = imageOf(5, {7, 7, 7, 7, 7}, table);
    ditherdib(&p, held, 0);
    EXPECT_EQ(bitsOf(held), Bytes({20, 20, 20, 20, 20, 0, 0, 0}));

    // Red 255 between (200, 0, 0) and (255, 0, 90): the red sum grows past
    // 255 (310 at the second pixel, which would pick entry 3) but the query
    // is clamped to 255, which picks entry 2 every time.
    Palette red;
    red.entries[2] = entry(200, 0, 0);
    red.entries[3] = entry(255, 0, 90);
    table[4] = quad(255, 0, 0);
    Record clamped = imageOf(3, {4, 4, 4}, table);
    ditherdib(&red, clamped, 0);
    EXPECT_EQ(bitsOf(clamped), Bytes({2, 2, 2, 0}));
}
