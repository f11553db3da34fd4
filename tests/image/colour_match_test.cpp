// Nearest palette colour, the DIB fix-ups and dithering on known palettes.
#include <gtest/gtest.h>

#include <random>

#include "image/cel_images.h"

using namespace celtest;
using support::get16;

namespace {

// The plain search: every entry, lowest index at the smallest distance.
int referenceNearest(const std::vector<PALETTEENTRY> &palette, const RGBQUAD &q, bool allowEight)
{
    long best = -1, bestDistance = 0;
    for (int i = 0; i < 256; i++) {
        if (i == 8 && !allowEight) continue;
        const long dr = palette[i].peRed - q.rgbRed, dg = palette[i].peGreen - q.rgbGreen,
                   db = palette[i].peBlue - q.rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (best < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return static_cast<int>(best);
}

PALETTEENTRY entry(BYTE r, BYTE g, BYTE b) { return PALETTEENTRY{r, g, b, 0}; }
RGBQUAD quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }

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

TEST_F(ColourMatching, IndexEightIsNeverTheAnswer)
{
    std::vector<PALETTEENTRY> palette(256, entry(200, 200, 200));
    palette[8] = entry(10, 20, 30);
    palette[40] = entry(12, 20, 30);
    palette[41] = entry(11, 20, 30);
    use(palette);
    EXPECT_EQ(nearest(quad(10, 20, 30)), 41u);
    // All entries but 8 alike: the lowest index.
    EXPECT_EQ(nearest(quad(0, 0, 0)), 41u);
    palette_[40] = palette_[41] = entry(200, 200, 200);
    EXPECT_EQ(nearest(quad(10, 20, 30)), 0u);
}

TEST_F(ColourMatching, TiesGoToTheLowestIndex)
{
    std::vector<PALETTEENTRY> palette(256, entry(0, 0, 0));
    palette[5] = palette[9] = entry(100, 150, 200);
    use(palette);
    EXPECT_EQ(nearest(quad(100, 150, 200)), 5u);
    // Equal distances on either side of the query.
    palette_[3] = entry(90, 150, 200);
    palette_[2] = entry(110, 150, 200);
    EXPECT_EQ(nearest(quad(100, 150, 200)), 5u);
    EXPECT_EQ(nearest(quad(100, 150, 199)), 5u);
    palette_[5] = palette_[9] = entry(0, 0, 0);
    EXPECT_EQ(nearest(quad(100, 150, 200)), 2u);
    // The flags byte of the entries and the reserved byte of the query are
    // not colours.
    palette_[2].peFlags = 0xFF;
    RGBQUAD q = quad(110, 150, 200);
    q.rgbReserved = 0x77;
    EXPECT_EQ(nearest(q), 2u);
}

TEST_F(ColourMatching, AgreesWithThePlainSearch)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; round++) {
        // Few distinct channel values make many ties.
        const int levels = round % 3 == 0 ? 3 : 256;
        std::vector<PALETTEENTRY> palette(256);
        for (PALETTEENTRY &e : palette) {
            e = entry(static_cast<BYTE>(rng() % levels * (255 / (levels - 1))),
                      static_cast<BYTE>(rng() % levels * (255 / (levels - 1))),
                      static_cast<BYTE>(rng() % levels * (255 / (levels - 1))));
            e.peFlags = static_cast<BYTE>(rng());
        }
        use(palette);
        for (int k = 0; k < 20; k++) {
            RGBQUAD q = quad(static_cast<BYTE>(rng()), static_cast<BYTE>(rng()), static_cast<BYTE>(rng()));
            if (k == 0) q = quad(palette[8].peRed, palette[8].peGreen, palette[8].peBlue);
            q.rgbReserved = static_cast<BYTE>(rng());
            ASSERT_EQ(nearest(q), static_cast<DWORD>(referenceNearest(palette, q, false))) << "round " << round;
        }
    }
}

TEST_F(ColourMatching, NoContextOrPaletteGivesZero)
{
    const RGBQUAD q = quad(1, 2, 3);
    EXPECT_EQ(vekGetNearestColor(nullptr, &q), 0u);
    VEKCONTEXT empty{};
    EXPECT_EQ(vekGetNearestColor(&empty, &q), 0u);
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

    // The whole record apart from the first 512 bytes of the colour table
    // and the bits.
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
            if (get16(record_, 58 + 2 * i) != i) return false;
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

TEST_F(FixUps, OnlyIndexEightMovesOnTheSamePalette)
{
    const Bytes before = rest();
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

TEST_F(FixUps, FixupDib3MayAnswerEight)
{
    fixupdib3(&context_, record_);
    EXPECT_EQ(bits(), image_.bits);
    EXPECT_TRUE(hasIndexTable());

    // Colour i of the image is palette colour 255 - i.
    freeRecord(record_);
    record_ = recordOf(bmpFile(image_));
    std::vector<PALETTEENTRY> reversed(256);
    for (int i = 0; i < 256; i++) reversed[255 - i] = palette_[i];
    use(reversed);
    fixupdib3(&context_, record_);
    Bytes want = image_.bits;
    for (BYTE &b : want) b = static_cast<BYTE>(255 - b);  // row padding included
    EXPECT_EQ(bits(), want);
}

TEST_F(FixUps, FixupDib2MapsSourceIndices)
{
    // Pixel values index source entries; source entry i is palette colour
    // 255 - i, so every value v becomes 255 - v, 8 included.
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

TEST_F(FixUps, EmptyImagesKeepTheirBytes)
{
    // Width 0: stride 0, no bits, whatever follows the pixel offset stays.
    support::put32(record_, 22, 0);
    const Bytes before = bits();
    fixupdib(&context_, record_);
    ditherdib(&context_, record_, 0);
    EXPECT_EQ(bits(), before);
}

// Dithering onto black, white and a grey that the palette holds exactly.
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
        for (int i = 0; i < 256; i++) EXPECT_EQ(get16(record, 58 + 2 * i), i);
        freeRecord(record);
        return out;
    }
};

TEST_F(Dithering, ErrorGoesToTheRightAndStopsAtTheRowEnd)
{
    // Value 3 is grey 128: white (error -127), then black (1), white (-126),
    // black; the second row starts again; pixels of value 8 pass the error.
    palette_[20] = palette_[30] = entry(0, 0, 0);
    Image image = makeImage(4, {{3, 3, 3, 3}, {3, 8, 3, 3}, {8, 8, 8, 8}});
    image.table[3] = quad(128, 128, 128);
    image.table[8] = quad(255, 255, 255);
    const Bytes got = dither(image);
    EXPECT_EQ(got, Bytes({1, 0, 1, 0, 1, 8, 0, 1, 8, 8, 8, 8}));
}

TEST_F(Dithering, AColourThePaletteHoldsNeedsNoMixing)
{
    Image image = makeImage(5, {{7, 7, 7, 7, 7}, {7, 7, 7, 7, 7}});
    image.table[7] = quad(60, 60, 60);
    EXPECT_EQ(dither(image), Bytes({20, 20, 20, 20, 20, 0, 0, 0, 20, 20, 20, 20, 20, 0, 0, 0}));
}

TEST_F(Dithering, ChannelsClampBeforeMatching)
{
    // Red 255 on a palette without red: the red error grows, but the query
    // stays inside 0..255 and picks the entry nearest to (255, 0, 0).
    std::vector<PALETTEENTRY> palette(256, entry(0, 0, 0));
    palette[1] = entry(0, 0, 255);
    palette[2] = entry(130, 130, 0);
    use(palette);
    Image image = makeImage(3, {{4, 4, 4}});
    image.table[4] = quad(255, 0, 0);
    // Pixel 1: sums (255,0,0) -> entry 2 (d = 125²+130²) beats black (255²);
    // left (125,-130,0). Pixel 2: (380,-130,0) clamps to (255,0,0) -> 2;
    // left (250,-260,0). Pixel 3: (505,-260,0) -> (255,0,0) -> 2.
    EXPECT_EQ(dither(image), Bytes({2, 2, 2, 0}));
}

}  // namespace
