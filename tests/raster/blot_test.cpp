// The blot: silhouettes of RLE images stamped in colour index 0, against the
// reference decoder on random images clipped on all sides, and the records
// it refuses.
#include "random_images.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rt;

namespace {

// The silhouette of a decoded image: every drawn pixel becomes index 0.
Decoded silhouette(Decoded d)
{
    for (int &p : d.pixels)
        if (p != kClear) p = 0;
    return d;
}

Record filledRaw(LONG width, LONG height, BYTE fill)
{
    Record r = makeRaw(width, height);
    for (LONG y = 0; y < height; y++) std::memset(rawPixel(r, 0, y), fill, static_cast<size_t>(width));
    return r;
}

// A 6 x 2 RLE image: bottom row skip 1, run of 2 in colour 0, absolute run
// 255 7 9; top row skip 0, run of 3 in colour 255, skip 2, run of 1. Every
// row starts with a skip, so it can be mirrored.
Record smallRle(WORD flags = 0)
{
    Bytes s;
    skip(s, 1);
    run(s, 2, 0);
    absolute(s, {255, 7, 9}, 0xEE);
    endRow(s);
    skip(s, 0);
    run(s, 3, 255);
    skip(s, 2);
    run(s, 1, 4);
    endRow(s);
    endImage(s);
    return makeRle(6, 2, s, flags);
}

std::string row(HSPRITEDATA r, LONG y, LONG width)
{
    std::string s;
    for (LONG x = 0; x < width; x++) {
        const BYTE v = *rawPixel(r, x, y);
        s += v == 0 ? '0' : v == 255 ? '.' : '?';
    }
    return s;
}

}  // namespace

TEST(SpriteBlot, OpaquePixelsBecomeZeroWhateverTheirColour)
{
    Record src = smallRle();
    Record dst = filledRaw(8, 3, 255);
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 1, 0, 6, 2, src, 0, 0, 0), 2);
    EXPECT_EQ(row(dst, 0, 8), ".000..0.");
    EXPECT_EQ(row(dst, 1, 8), "..00000.");
    EXPECT_EQ(row(dst, 2, 8), "........");

    // Off the left edge: the part inside dst, as the blit draws it.
    Record cut = filledRaw(8, 3, 255);
    EXPECT_EQ(vekSpriteBlot(nullptr, cut, -2, 1, 6, 2, src, 0, 0, 0), 2);
    EXPECT_EQ(row(cut, 0, 8), "........");
    EXPECT_EQ(row(cut, 1, 8), "0..0....");
    EXPECT_EQ(row(cut, 2, 8), "0000....");
}

TEST(SpriteBlot, RefusedRecordsAreLeftAlone)
{
    Record dst = filledRaw(8, 3, 255);
    const Bytes before = dst.bytes();
    Record raw = filledRaw(4, 2, 1);
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 0, 0, 4, 2, raw, 0, 0, 0), 0) << "raw source";
    Record rleDst = smallRle();
    EXPECT_EQ(vekSpriteBlot(nullptr, rleDst, 0, 0, 4, 2, smallRle(), 0, 0, 0), 0) << "RLE destination";
    EXPECT_TRUE(dst.bytes() == before);

    HDC screen = GetDC(nullptr);
    HSPRITEDATA dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(screen, 8, 8, 1));
    ASSERT_NE(dd, nullptr);
    Record src = smallRle();
    EXPECT_EQ(vekSpriteBlot(nullptr, dd, 0, 0, 6, 2, src, 0, 0, 0), 0) << "DD destination";
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 0, 0, 6, 2, dd, 0, 0, 0), 0) << "DD source";
    EXPECT_TRUE(dst.bytes() == before);
    vekDeleteSpriteData(dd);
    ReleaseDC(nullptr, screen);

    // Nothing inside both images: 1, nothing drawn.
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 8, 0, 6, 2, src, 0, 0, 0), 1);
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 0, 0, 6, 2, src, 6, 0, 0), 1);
    EXPECT_TRUE(dst.bytes() == before);
}

TEST(SpriteBlot, MirrorsOnDemandFirst)
{
    Record src = smallRle(VEK_IMAGE_MIRRORABLE);
    Record dst = filledRaw(6, 2, 255);
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 0, 0, 6, 2, src, 0, 0, 1), 2);
    EXPECT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    EXPECT_EQ(row(dst, 0, 6), "0..000");
    EXPECT_EQ(row(dst, 1, 6), "00000.");

    // Even when nothing is drawn the image turns back.
    EXPECT_EQ(vekSpriteBlot(nullptr, dst, 100, 0, 6, 2, src, 0, 0, 0), 1);
    EXPECT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE);
}

TEST(SpriteBlotRandom, MatchesReferenceSilhouette)
{
    for (unsigned seed = 1; seed <= 2000; seed++) {
        Random rnd(seed);
        const RleSource rle = randomRle(rnd);
        Record src = makeRle(rle.width, rle.height, rle.stream, 0, rle.length);
        const Decoded shape = silhouette(decodeRecord(src));
        Record dst = makeRaw(rnd.between(1, 90), rnd.between(1, 60), rnd.chance(0.5));
        for (size_t i = 4 + get32(dst, kPixelOffset); i < dst.blockSize(); i++) dst.get()[i] = rnd.byte() | 1;
        const Rect r = randomRect(rnd, shape, static_cast<LONG>(get32(dst, kWidth)),
                                  static_cast<LONG>(get32(dst, kHeight)));
        const Bytes srcBefore = src.bytes();
        Bytes expected = dst.bytes();
        const LONG want = referenceBlit(expected, shape, r.x, r.y, r.width, r.height, r.srcX, r.srcY);
        const LONG got = vekSpriteBlot(nullptr, dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY, 0);
        const std::string label = describe(seed, r, shape, "blot");
        ASSERT_EQ(got, want) << label;
        const Bytes after = dst.bytes();
        for (size_t i = 0; i < after.size(); i++) ASSERT_EQ(after[i], expected[i]) << label << ", block byte " << i;
        ASSERT_TRUE(src.bytes() == srcBefore) << label << ": source changed";
    }
}
