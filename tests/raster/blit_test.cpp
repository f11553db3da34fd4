// The sprite blit: clipping, token semantics, mirroring on demand, record
// kinds and formats it refuses, and damaged streams.
#include "sprite_images.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace rt;

namespace {

// A raw record filled with one index.
Record filledRaw(LONG width, LONG height, BYTE fill)
{
    Record r = makeRaw(width, height);
    for (LONG y = 0; y < height; y++) std::memset(rawPixel(r, 0, y), fill, static_cast<size_t>(width));
    return r;
}

// Row y of a raw record as a string of hex digits (one per pixel, values < 16).
std::string row(HSPRITEDATA r, LONG y)
{
    std::string s;
    const LONG width = static_cast<LONG>(get32(r, kWidth));
    for (LONG x = 0; x < width; x++) s += "0123456789abcdef"[*rawPixel(r, x, y) & 15];
    return s;
}

// A 4 x 3 raw source whose pixel (x, y) is 1 + x + 4 * y (values 1..12).
Record countingRaw()
{
    Record r = makeRaw(4, 3);
    for (LONG y = 0; y < 3; y++)
        for (LONG x = 0; x < 4; x++) *rawPixel(r, x, y) = static_cast<BYTE>(1 + x + 4 * y);
    return r;
}

}  // namespace

TEST(SpriteBlit, RawCopyAndClipping)
{
    Record src = countingRaw();
    {
        Record dst = filledRaw(6, 4, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 1, 1, 4, 3, src, 0, 0), 3);
        EXPECT_EQ(row(dst, 0), "000000");
        EXPECT_EQ(row(dst, 1), "012340");
        EXPECT_EQ(row(dst, 3), "09abc0");
    }
    {
        // Off the left and top edges: drawn shifted into the source.
        Record dst = filledRaw(6, 4, 0);
        EXPECT_EQ(vekSpriteBlt(dst, -1, -2, 4, 3, src, 0, 0), 1);
        EXPECT_EQ(row(dst, 0), "abc000");
        EXPECT_EQ(row(dst, 1), "000000");
    }
    {
        // A negative source position moves the destination right and down.
        Record dst = filledRaw(6, 4, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, src, -2, -1), 2);
        EXPECT_EQ(row(dst, 0), "000000");
        EXPECT_EQ(row(dst, 1), "001200");
        EXPECT_EQ(row(dst, 2), "005600");
    }
}

TEST(SpriteBlit, RectanglesOutsideReturnOneAndDrawNothing)
{
    Record src = countingRaw();
    Record dst = filledRaw(6, 4, 7);
    const Bytes before = dst.bytes();
    EXPECT_EQ(vekSpriteBlt(dst, 6, 0, 4, 3, src, 0, 0), 1);
    EXPECT_EQ(vekSpriteBlt(dst, 0, -3, 4, 3, src, 0, 0), 1);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, src, 4, 0), 1);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 0, 3, src, 0, 0), 1);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, src, -4, 0), 1);
    EXPECT_EQ(vekSpriteBlt(dst, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, src, INT32_MIN, INT32_MIN), 1);
    EXPECT_TRUE(dst.bytes() == before);
}

TEST(SpriteBlit, RleTokens)
{
    // Bottom row: skip 1, encoded run of index 0, absolute run 1 2 3 with its
    // pad (5), end of row. Top row: skip 2 with dy 9, run of 4, end of image.
    Bytes s;
    skip(s, 1);
    run(s, 2, 0);
    absolute(s, {1, 2, 3}, 5);
    endRow(s);
    skip(s, 2, 9);
    run(s, 1, 4);
    endImage(s);
    Record src = makeRle(7, 2, s);
    Record dst = filledRaw(8, 2, 9);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 7, 2, src, 0, 0), 2);
    EXPECT_EQ(row(dst, 0), "99499999") << "skip and row end keep the destination";
    EXPECT_EQ(row(dst, 1), "90012399") << "index 0 is drawn, the pad is not";
}

TEST(SpriteBlit, ClippedRleRows)
{
    // One row of width 9: skip 1, absolute run 1 2 3 (odd, padded), encoded
    // run of four 4s, end of row.
    Bytes s;
    skip(s, 1);
    absolute(s, {1, 2, 3}, 0xEE);
    run(s, 4, 4);
    endRow(s);
    skip(s, 0);
    absolute(s, {5, 6, 7, 8, 9});
    endRow(s);
    endImage(s);
    Record src = makeRle(9, 2, s);
    {
        // The absolute run straddles the left edge: drawn from its first
        // visible byte. The next row still starts at the right token.
        Record dst = filledRaw(9, 2, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 9, 2, src, 2, 0), 2);
        EXPECT_EQ(row(dst, 1), "234444000") << "bottom row from column 2";
        EXPECT_EQ(row(dst, 0), "789000000") << "top row from column 2";
    }
    {
        // It straddles the right edge: cut there, the rest of the row passed.
        Record dst = filledRaw(9, 2, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 3, 2, src, 0, 0), 2);
        EXPECT_EQ(row(dst, 1), "012000000");
        EXPECT_EQ(row(dst, 0), "567000000");
    }
    {
        // The absolute run ends exactly at the right edge: the row stays
        // open, the encoded run behind it draws nothing.
        Record dst = filledRaw(9, 2, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 1, src, 0, 1), 1);
        EXPECT_EQ(row(dst, 0), "012300000");
        EXPECT_EQ(row(dst, 1), "000000000");
    }
    {
        // Only the top row: the bottom row is passed over first.
        Record dst = filledRaw(9, 2, 0);
        EXPECT_EQ(vekSpriteBlt(dst, 1, 1, 9, 1, src, 0, 0), 1);
        EXPECT_EQ(row(dst, 0), "000000000");
        EXPECT_EQ(row(dst, 1), "056789000");
    }
}

TEST(SpriteBlit, MirroringOnDemand)
{
    Record dst = filledRaw(5, 1, 0);
    Record src = makeRaw(5, 1);
    for (BYTE i = 0; i < 5; i++) *rawPixel(src, i, 0) = static_cast<BYTE>(i + 1);

    // A mirror-enabled image that is currently mirrored is turned back
    // before it is drawn, even when nothing is drawn.
    src.setFlags(VEK_IMAGE_MIRRORABLE);
    vekFlipSprite(src);
    EXPECT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
    EXPECT_EQ(row(src, 0), "54321");
    EXPECT_EQ(vekSpriteBlt(dst, 9, 0, 5, 1, src, 0, 0), 1);
    EXPECT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE);
    EXPECT_EQ(row(src, 0), "12345");
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 5, 1, src, 0, 0), 1);
    EXPECT_EQ(row(dst, 0), "12345");

    // Without the mirror-enable bit the mirrored bit is only a label.
    src.setFlags(VEK_IMAGE_MIRRORED);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 5, 1, src, 0, 0), 1);
    EXPECT_EQ(src.flags(), VEK_IMAGE_MIRRORED);
    EXPECT_EQ(row(src, 0), "12345");
}

TEST(SpriteBlit, RefusedFormatsAndKinds)
{
    Record src = countingRaw();
    Record dst = filledRaw(6, 4, 0);
    const Bytes srcBefore = src.bytes();
    auto pixels = [&] { return Bytes(dst.get() + kPixels, dst.get() + dst.blockSize()); };
    const Bytes dstPixels = pixels();
    auto expectRefused = [&](const char *what) {
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, src, 0, 0), 0) << what;
        EXPECT_TRUE(pixels() == dstPixels) << what;
    };

    put16(src, kBitCount, 4);
    expectRefused("source of 4 bits");
    put16(src, kBitCount, 8);
    put16(dst, kBitCount, 24);
    expectRefused("destination of 24 bits");
    put16(dst, kBitCount, 8);
    put32(dst, kCompression, BI_RLE8);
    expectRefused("RLE destination");
    put32(dst, kCompression, BI_RGB);
    put32(src, kCompression, 2);
    expectRefused("compression 2");
    put32(src, kCompression, BI_RGB);

    // Damaged headers: pixels beyond the block, a block too short for the
    // headers, an image too wide for the library's row arithmetic.
    const DWORD length = get32(src, kLength);
    put32(src, kPixelOffset, length + 1);
    expectRefused("pixel offset beyond the block");
    put32(src, kPixelOffset, 568);
    put32(src, kHeight, 4);
    expectRefused("raw rows beyond the block");
    put32(src, kHeight, 3);
    put32(src, kLength, 50);
    expectRefused("block shorter than the headers");
    put32(src, kLength, length);
    put32(dst, kWidth, 40000);
    expectRefused("destination wider than 32767");
    put32(dst, kWidth, 6);
    EXPECT_TRUE(src.bytes() == srcBefore);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, src, 0, 0), 3) << "repaired records draw again";

    // DD and composite records: never read as DI images (the DD record's
    // handle fields are not touched even when they look like mirror flags).
    Record dd = makeRaw(4, 4);
    put16(dd, 4, VEK_TYPE_DD);
    put32(dd, 6, 0x11);
    put32(dd, 10, 0x13);
    const Bytes ddBefore = dd.bytes();
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, dd, 0, 0), 0);
    EXPECT_EQ(vekSpriteBlt(dd, 0, 0, 4, 3, src, 0, 0), 0);
    vekFlipSprite(dd);
    EXPECT_TRUE(dd.bytes() == ddBefore);
    put16(dd, 4, VEK_TYPE_COMPOSITE);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, dd, 0, 0), 0);
    EXPECT_EQ(vekSpriteBlt(nullptr, 0, 0, 4, 3, src, 0, 0), 0);
    EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 4, 3, nullptr, 0, 0), 0);
}

TEST(SpriteBlit, DamagedStreams)
{
    Record dst = filledRaw(8, 3, 0);
    auto blit = [&](const Record &src, LONG x, LONG width, LONG srcX) {
        std::memset(rawPixel(dst, 0, 2), 0, 24);  // the three rows
        return vekSpriteBlt(dst, x, 0, width, 3, src, srcX, 0);
    };
    {
        // Cut short inside the second row's absolute run: the first row is
        // drawn, nothing of the run, and the blit reports 0. The block ends
        // where the image length ends the stream.
        Bytes s;
        skip(s, 1);
        run(s, 3, 5);
        endRow(s);
        skip(s, 0);
        absolute(s, {1, 2, 3, 4, 5, 6});
        endRow(s);
        ASSERT_EQ(s.size(), 22u);
        Record src = makeRle(6, 3, s, 0, 16);
        EXPECT_EQ(blit(src, 0, 6, 0), 0);
        EXPECT_EQ(row(dst, 2), "05550000");
        EXPECT_EQ(row(dst, 1), "00000000");
        EXPECT_EQ(blit(src, 0, 4, 1), 0) << "clipped rows";
        EXPECT_EQ(row(dst, 2), "55500000");
        // The rows it has to draw are all there: only the cut row is left.
        EXPECT_EQ(vekSpriteBlt(dst, 0, 2, 6, 1, src, 0, 2), 1);
    }
    {
        // Rows covering more than the width (4) are cut at the row's end, in
        // the plain and in the clipped loop; the next rows start right.
        Bytes s;
        run(s, 200, 7);
        endRow(s);
        skip(s, 2);
        absolute(s, {1, 2, 3, 4, 5});
        endRow(s);
        skip(s, 250);
        skip(s, 250);
        run(s, 1, 9);
        endRow(s);
        endImage(s);
        Record src = makeRle(4, 3, s);
        EXPECT_EQ(blit(src, 2, 4, 0), 3);
        EXPECT_EQ(row(dst, 2), "00777700");
        EXPECT_EQ(row(dst, 1), "00001200");
        EXPECT_EQ(row(dst, 0), "00000000");
        EXPECT_EQ(blit(src, 2, 3, 1), 3);
        EXPECT_EQ(row(dst, 2), "00777000");
        EXPECT_EQ(row(dst, 1), "00012000");
    }
    {
        // No end of image: all rows present draw; one row missing is a cut.
        Bytes s;
        for (BYTE colour = 1; colour <= 3; colour++) {
            skip(s, 0);
            run(s, 2, colour);
            endRow(s);
        }
        Record whole = makeRle(2, 3, s);
        EXPECT_EQ(blit(whole, 0, 2, 0), 3);
        EXPECT_EQ(row(dst, 0), "33000000");
        EXPECT_EQ(row(dst, 2), "11000000");
        Record short_ = makeRle(2, 4, s);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 2, 4, short_, 0, 0), 0);
        EXPECT_EQ(vekSpriteBlt(dst, 0, 0, 2, 3, short_, 0, 1), 3) << "the missing top row is not needed";
    }
    {
        // More rows than biHeight: the image ends after biHeight rows.
        Bytes s;
        for (BYTE colour = 1; colour <= 5; colour++) {
            run(s, 3, colour);
            endRow(s);
        }
        endImage(s);
        Record src = makeRle(3, 2, s);
        EXPECT_EQ(blit(src, 0, 3, 0), 2);
        EXPECT_EQ(row(dst, 0), "22200000");
        EXPECT_EQ(row(dst, 1), "11100000");
        EXPECT_EQ(row(dst, 2), "00000000");
    }
    {
        // An early end of image is a short image, not damage.
        Bytes s;
        run(s, 3, 4);
        endImage(s);
        Record src = makeRle(3, 3, s);
        EXPECT_EQ(blit(src, 0, 3, 0), 3);
        EXPECT_EQ(row(dst, 2), "44400000");
        EXPECT_EQ(row(dst, 1), "00000000");
    }
}
