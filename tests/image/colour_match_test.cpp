// Nearest palette colour, the DIB fix-ups and dithering on known palettes.
#include <gtest/gtest.h>

#include <random>

#include "image/cel_images.h"

using namespace celtest;

namespace {

PALETTEENTRY entry(BYTE r, BYTE g, BYTE b) { return PALETTEENTRY{r, g, b, 0}; }
RGBQUAD quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

// The plain search: every entry but 8, lowest index at the smallest distance.
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

class ColourMatching : public ::testing::Test {
protected:
    void use(const std::vector<PALETTEENTRY> &palette)
    {
        palette_ = palette;
        setpe(&context_, palette_.data());
    }
    DWORD nearest(const RGBQUAD &q) { return vekGetNearestColor(&context_, &q); }

    VEKCONTEXT context_{};
    std::vector<PALETTEENTRY> palette_;
};

TEST_F(ColourMatching, IndexEightIsPassedOverAndTiesGoLow)
{
    std::vector<PALETTEENTRY> palette(256, entry(200, 200, 200));
    palette[8] = entry(10, 20, 30);
    palette[41] = entry(11, 20, 30);
    palette[5] = palette[9] = entry(100, 150, 200);
    use(palette);
    EXPECT_EQ(nearest(quad(10, 20, 30)), 41u);
    EXPECT_EQ(nearest(quad(100, 150, 200)), 5u);
    // All entries but 8 at one distance: the lowest index.
    palette_[5] = palette_[9] = palette_[41] = entry(200, 200, 200);
    EXPECT_EQ(nearest(quad(10, 20, 30)), 0u);
    const RGBQUAD q = quad(1, 2, 3);
    EXPECT_EQ(vekGetNearestColor(nullptr, &q), 0u);
}

TEST_F(ColourMatching, AgreesWithThePlainSearch)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; round++) {
        // Three levels per channel make many ties; flags and reserved bytes
        // are noise that must not count.
        const int levels = round % 3 == 0 ? 3 : 256, step = 255 / (levels - 1);
        std::vector<PALETTEENTRY> palette(256);
        for (PALETTEENTRY &e : palette)
            e = PALETTEENTRY{BYTE(rng() % levels * step), BYTE(rng() % levels * step), BYTE(rng() % levels * step),
                             BYTE(rng())};
        use(palette);
        for (int k = 0; k < 20; k++) {
            RGBQUAD q = k ? quad(BYTE(rng()), BYTE(rng()), BYTE(rng())) : quad(palette[8].peRed, palette[8].peGreen,
                                                                               palette[8].peBlue);
            q.rgbReserved = BYTE(rng());
            ASSERT_EQ(nearest(q), referenceNearest(palette, q)) << "round " << round;
        }
    }
}

// An image whose colour table is a palette of distinct colours.
class FixUps : public ColourMatching {
protected:
    void SetUp() override
    {
        image_ = makeImage(6, {{0, 1, 8, 9, 200, 255}, {8, 8, 7, 6, 5, 4}});
        distinctTable(image_.table);
        use(paletteOf(image_.table));
        record_ = recordOf(bmpFile(image_));
    }
    void TearDown() override { freeRecord(record_); }

    Bytes bits() const { return Bytes(record_ + 4 + 1078, record_ + 4 + 1078 + image_.bits.size()); }

    // The record but the first 512 bytes of its colour table and its bits.
    Bytes rest() const
    {
        Bytes all = blockBytes(record_);
        std::fill(all.begin() + 58, all.begin() + 58 + 512, 0);
        std::fill(all.begin() + 4 + 1078, all.end(), 0);
        return all;
    }

    bool hasIndexTable() const
    {
        for (int i = 0; i < 256; i++)
            if (support::get16(record_, 58 + 2 * i) != i) return false;
        return true;
    }

    Image image_;
    HSPRITEDATA record_ = nullptr;
};

TEST_F(FixUps, WithoutAContextOnlyTheTableChanges)
{
    const Bytes before = rest();
    fixupdib(nullptr, record_);
    EXPECT_TRUE(hasIndexTable());
    EXPECT_EQ(bits(), image_.bits);
    EXPECT_EQ(rest(), before);
}

TEST_F(FixUps, OnTheSamePaletteOnlyIndexEightMoves)
{
    const Bytes before = rest();
    fixupdib3(&context_, record_);
    EXPECT_EQ(bits(), image_.bits) << "fixupdib3 may answer 8";
    EXPECT_TRUE(hasIndexTable());

    freeRecord(record_);
    record_ = recordOf(bmpFile(image_));
    const DWORD eight = vekGetNearestColor(&context_, &image_.table[8]);
    ASSERT_NE(eight, 8u);
    fixupdib(&context_, record_);
    Bytes want = image_.bits;
    for (BYTE &b : want)
        if (b == 8) b = static_cast<BYTE>(eight);
    EXPECT_EQ(bits(), want);
    EXPECT_TRUE(hasIndexTable());
    EXPECT_EQ(rest(), before);
}

TEST_F(FixUps, FixupDib2MapsSourceIndices)
{
    // Source entry i is palette colour 255 - i, so every value v becomes
    // 255 - v, 8 and row padding included; the colour table stays.
    std::vector<PALETTEENTRY> source(256);
    for (int i = 0; i < 256; i++) source[i] = palette_[255 - i];
    const Bytes table(record_ + 58, record_ + 58 + 1024);
    fixupdib2(&context_, record_, source.data());
    Bytes want = image_.bits;
    for (BYTE &b : want) b = static_cast<BYTE>(255 - b);
    EXPECT_EQ(bits(), want);
    EXPECT_EQ(Bytes(record_ + 58, record_ + 58 + 1024), table);

    const Bytes before = blockBytes(record_);
    fixupdib2(nullptr, record_, source.data());
    EXPECT_EQ(blockBytes(record_), before);
}

TEST_F(FixUps, DamagedRecordsAreLeftAlone)
{
    auto untouched = [&](const char *name, auto damage) {
        SCOPED_TRACE(name);
        HSPRITEDATA record = recordOf(bmpFile(image_));
        damage(record);
        const Bytes before = blockBytes(record);
        fixupdib(&context_, record);
        fixupdib3(&context_, record);
        fixupdib2(&context_, record, palette_.data());
        ditherdib(&context_, record, 0);
        EXPECT_EQ(blockBytes(record), before);
        freeRecord(record);
    };
    untouched("bits past the end", [](HSPRITEDATA r) { support::put32(r, 26, 3); });
    untouched("pixel offset past the end", [](HSPRITEDATA r) { support::put32(r, 14, 0x7FFFFFFF); });
    untouched("RLE8", [](HSPRITEDATA r) { support::put32(r, 34, BI_RLE8); });
    untouched("4-bit", [](HSPRITEDATA r) { support::put16(r, 32, 4); });
    untouched("composite type word", [](HSPRITEDATA r) { support::put16(r, 4, VEK_TYPE_COMPOSITE); });
    untouched("image length too short for the table", [](HSPRITEDATA r) { support::put32(r, 0, 600); });
}

// Dithering onto a palette of black, white and one grey.
class Dithering : public ColourMatching {
protected:
    void SetUp() override
    {
        std::vector<PALETTEENTRY> palette(256, entry(0, 0, 0));
        palette[1] = entry(255, 255, 255);
        palette[8] = entry(128, 128, 128);  // never chosen
        palette[20] = palette[30] = entry(60, 60, 60);
        use(palette);
    }

    Bytes dither(const Image &image)
    {
        HSPRITEDATA record = recordOf(bmpFile(image));
        ditherdib(&context_, record, 0);
        Bytes out(record + 4 + 1078, record + 4 + 1078 + image.bits.size());
        for (int i = 0; i < 256; i++) EXPECT_EQ(support::get16(record, 58 + 2 * i), i);
        freeRecord(record);
        return out;
    }
};

TEST_F(Dithering, ErrorGoesToTheRightAndStopsAtTheRowEnd)
{
    // Grey 128 without the 60 greys: white (error -127), black (1), white
    // (-126), black; each row starts again; pixels of value 8 pass the error.
    palette_[20] = palette_[30] = entry(0, 0, 0);
    Image image = makeImage(4, {{3, 3, 3, 3}, {3, 8, 3, 3}, {8, 8, 8, 8}});
    image.table[3] = quad(128, 128, 128);
    image.table[8] = quad(255, 255, 255);
    EXPECT_EQ(dither(image), Bytes({1, 0, 1, 0, 1, 8, 0, 1, 8, 8, 8, 8}));
}

TEST_F(Dithering, HeldColoursAndClampedSums)
{
    // A colour the palette holds: its lowest index, no error builds up.
    Image image = makeImage(5, {{7, 7, 7, 7, 7}});
    image.table[7] = quad(60, 60, 60);
    EXPECT_EQ(dither(image), Bytes({20, 20, 20, 20, 20, 0, 0, 0}));

    // Red 255 between (200, 0, 0) and (255, 0, 90): the red sum grows past
    // 255 (310 at the second pixel, which would pick entry 3) but the query
    // is clamped to 255, which picks entry 2 every time.
    std::vector<PALETTEENTRY> palette(256, entry(0, 0, 0));
    palette[2] = entry(200, 0, 0);
    palette[3] = entry(255, 0, 90);
    use(palette);
    image = makeImage(3, {{4, 4, 4}});
    image.table[4] = quad(255, 0, 0);
    EXPECT_EQ(dither(image), Bytes({2, 2, 2, 0}));
}

}  // namespace
