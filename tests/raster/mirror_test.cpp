// In-place mirroring: exact bytes of mirrored raw rows and RLE streams, wide
// images, and images that must be left exactly as they were.
#include "sprite_images.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {

constexpr WORD kEnabled = VEK_IMAGE_MIRRORABLE;
constexpr WORD kMirrored = VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED;

// The stream bytes of an RLE record (its whole image length).
Bytes streamOf(const Record &r) { return Bytes(r.get() + kPixels, r.get() + 4 + get32(r, kLength)); }

// Mirrors and expects the record to stay exactly as it was.
void expectRefused(const Record &r, const char *what)
{
    const Bytes before = r.bytes();
    vekFlipSprite(r);
    EXPECT_TRUE(r.bytes() == before) << what;
}

}  // namespace

TEST(SpriteMirror, RawRows)
{
    Record five = makeRaw(5, 1);
    for (BYTE i = 0; i < 5; i++) *rawPixel(five, i, 0) = static_cast<BYTE>(i + 1);
    five.setFlags(kEnabled);
    vekFlipSprite(five);
    EXPECT_EQ(five.flags(), kMirrored);
    EXPECT_EQ(Bytes(rawPixel(five, 0, 0), rawPixel(five, 5, 0)), (Bytes{5, 4, 3, 2, 1}));

    // Every width up to 19 (four-, two- and one-byte steps meeting in the
    // middle), several rows; the row padding is never touched.
    for (LONG width = 1; width < 20; width++) {
        Record r = makeRaw(width, 3);
        const size_t start = kPixels, size = r.blockSize();
        for (size_t i = start; i < size; i++) r.get()[i] = static_cast<BYTE>(i * 7);
        const Bytes before = r.bytes();
        r.setFlags(kEnabled);
        vekFlipSprite(r);
        for (LONG y = 0; y < 3; y++)
            for (LONG x = 0; x < width; x++)
                ASSERT_EQ(*rawPixel(r, x, y), before[rawPixel(r, width - 1 - x, y) - r.get()]) << width << " wide";
        const size_t stride = strideOf(width);
        for (size_t row = 0; row < 3; row++)
            for (size_t pad = static_cast<size_t>(width); pad < stride; pad++)
                ASSERT_EQ(r.get()[start + row * stride + pad], before[start + row * stride + pad])
                    << "padding of a " << width << "-wide row";
        vekFlipSprite(r);
        EXPECT_EQ(r.flags(), kEnabled);
        r.setFlags(0);
        EXPECT_TRUE(r.bytes() == before) << "mirrored twice, " << width << " wide";
    }
}

TEST(SpriteMirror, RawImagesBeyond255Pixels)
{
    // Full widths and heights: 300 wide, and 300 rows high.
    for (auto [width, height] : {std::pair<LONG, LONG>{300, 2}, {7, 300}}) {
        Record r = makeRaw(width, height);
        for (LONG y = 0; y < height; y++)
            for (LONG x = 0; x < width; x++) *rawPixel(r, x, y) = static_cast<BYTE>(x * 3 + y);
        r.setFlags(kEnabled);
        vekFlipSprite(r);
        EXPECT_EQ(r.flags(), kMirrored);
        for (LONG y = 0; y < height; y++)
            for (LONG x = 0; x < width; x++)
                ASSERT_EQ(*rawPixel(r, x, y), static_cast<BYTE>((width - 1 - x) * 3 + y)) << width << "x" << height;
    }
}

TEST(SpriteMirror, RleRowExactBytes)
{
    // Width 10: skip 0, three 7s, skip 2, absolute a b c with its pad, end
    // of row. Mirrored: skip 2 (the pixels left uncovered at the right),
    // absolute c b a (pad written as 0), skip 2, three 7s, the old end of row.
    Bytes s;
    skip(s, 0);
    run(s, 3, 7);
    skip(s, 2);
    absolute(s, {0xA, 0xB, 0xC}, 0xEE);
    endRow(s);
    endImage(s);
    Record r = makeRle(10, 1, s, kEnabled);
    const Decoded before = decodeRecord(r);
    vekFlipSprite(r);
    EXPECT_EQ(r.flags(), kMirrored);
    EXPECT_EQ(streamOf(r), (Bytes{0, 2, 2, 0, 0, 3, 0xC, 0xB, 0xA, 0, 0, 2, 2, 0, 3, 7, 0, 0, 0, 1}));
    EXPECT_TRUE(decodeRecord(r).pixels == mirrored(before).pixels);

    vekFlipSprite(r);
    EXPECT_EQ(r.flags(), kEnabled);
    s[15] = 0;  // the pad
    EXPECT_EQ(streamOf(r), s) << "mirrored twice: the old bytes, pad aside";
}

TEST(SpriteMirror, RleRowsOfEveryShape)
{
    // Bottom up: an empty row, a row whose first skip is not zero, a row that
    // ends the image without an end of row. Width 6.
    Bytes s;
    endRow(s);
    skip(s, 1);
    run(s, 2, 5);
    endRow(s);
    skip(s, 0);
    absolute(s, {1, 2, 3, 4});
    endImage(s);
    Record r = makeRle(6, 4, s, kEnabled);
    const Decoded before = decodeRecord(r);
    vekFlipSprite(r);
    EXPECT_EQ(streamOf(r), (Bytes{0, 0,                          // empty row stays
                                  0, 2, 3, 0, 2, 5, 0, 0,        // 6 - 1 - 2 uncovered
                                  0, 2, 2, 0, 0, 4, 4, 3, 2, 1,  // 6 - 4 uncovered
                                  0, 1}));
    EXPECT_TRUE(decodeRecord(r).pixels == mirrored(before).pixels);

    // More rows than biHeight: only biHeight rows are mirrored.
    Bytes tall;
    for (BYTE colour = 1; colour <= 3; colour++) {
        skip(tall, 0);
        run(tall, 1, colour);
        endRow(tall);
    }
    endImage(tall);
    Record t = makeRle(3, 2, tall, kEnabled);
    vekFlipSprite(t);
    EXPECT_EQ(streamOf(t), (Bytes{0, 2, 2, 0, 1, 1, 0, 0, 0, 2, 2, 0, 1, 2, 0, 0, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1}));

    // No end of image after the last row: mirrored all the same.
    tall.resize(tall.size() - 2);
    Record open = makeRle(3, 3, tall, kEnabled);
    vekFlipSprite(open);
    EXPECT_EQ(open.flags(), kMirrored);
    EXPECT_EQ(streamOf(open)[18], 2) << "third row's skip";
}

TEST(SpriteMirror, RleImagesWiderThan255)
{
    // Width 400. Row 1 leaves 355 pixels uncovered: two skips, taking the
    // place of its skip before the first opaque pixel. Row 2 (repeat-run
    // style, trailing skips written out) leaves none. Row 3 has no opaque
    // pixel and stays as it is.
    Bytes s;
    skip(s, 0);
    skip(s, 40, 0x55);
    run(s, 5, 9);
    endRow(s);
    skip(s, 255);
    skip(s, 100);
    run(s, 5, 8);
    skip(s, 40);
    endRow(s);
    skip(s, 0);
    endRow(s);
    endImage(s);
    Record r = makeRle(400, 3, s, kEnabled);
    const Decoded before = decodeRecord(r);
    vekFlipSprite(r);
    EXPECT_EQ(r.flags(), kMirrored);
    EXPECT_EQ(streamOf(r), (Bytes{0, 2, 255, 0, 0, 2, 100, 0, 5, 9, 0, 0,                  //
                                  0, 2, 0, 0, 0, 2, 40, 0, 5, 8, 0, 2, 100, 0, 0, 0,  //
                                  0, 2, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(decodeRecord(r).pixels == mirrored(before).pixels);

    // A row that would need a second skip and has no place for it: the whole
    // image is refused, its first row included.
    Bytes tight = s;
    tight.resize(tight.size() - 2);
    skip(tight, 0);
    run(tight, 5, 9);
    endRow(tight);
    endImage(tight);
    expectRefused(makeRle(400, 4, tight, kEnabled), "row growing beyond its place");
}

TEST(SpriteMirror, LeavesImagesUntouched)
{
    Bytes good;
    skip(good, 0);
    run(good, 3, 7);
    endRow(good);
    skip(good, 1);
    absolute(good, {1, 2, 3, 4, 5});
    endRow(good);
    endImage(good);

    // Without the mirror-enable bit, raw or RLE.
    expectRefused(makeRle(8, 2, good), "RLE without mirror-enable bit");
    Record raw = makeRaw(4, 2);
    raw.get()[kPixels] = 1;
    raw.setFlags(VEK_IMAGE_MIRRORED);
    expectRefused(raw, "raw without mirror-enable bit");

    // Damaged or unexpected streams and headers.
    expectRefused(makeRle(8, 2, good, kEnabled, good.size() - 5), "stream cut short");
    Bytes unended(good.begin(), good.end() - 2);
    expectRefused(makeRle(8, 3, unended, kEnabled), "stream ending before biHeight rows");
    expectRefused(makeRle(5, 2, good, kEnabled), "row covering more than the width");
    Bytes unskipped = good;
    unskipped.erase(unskipped.begin() + 8, unskipped.begin() + 12);  // the second row's skip
    expectRefused(makeRle(8, 2, unskipped, kEnabled), "row starting with an absolute run");
    Bytes colourZero;
    run(colourZero, 2, 0);
    endRow(colourZero);
    endImage(colourZero);
    expectRefused(makeRle(8, 1, colourZero, kEnabled), "row starting with an encoded run of index 0");
    Bytes longRow;
    for (int i = 0; i < 2100; i++) skip(longRow, 0);
    run(longRow, 1, 1);
    endRow(longRow);
    endImage(longRow);
    expectRefused(makeRle(8, 1, longRow, kEnabled), "row longer than the scratch stack");
    Record badOffset = makeRle(8, 2, good, kEnabled);
    put32(badOffset, kPixelOffset, get32(badOffset, kLength) + 2);
    expectRefused(badOffset, "pixel offset beyond the block");
    Record fourBits = makeRle(8, 2, good, kEnabled);
    put16(fourBits, kBitCount, 4);
    expectRefused(fourBits, "4 bits per pixel");
    Record shortRaw = makeRaw(4, 2);
    shortRaw.setFlags(kEnabled);
    put32(shortRaw, kHeight, 3);
    expectRefused(shortRaw, "raw rows beyond the block");

    // An unknown compression: only the mirrored bit changes.
    Record other = makeRle(8, 2, good, kEnabled);
    put32(other, kCompression, 2);
    Bytes expected = other.bytes();
    put16(expected.data(), kFlags, kMirrored);
    vekFlipSprite(other);
    EXPECT_TRUE(other.bytes() == expected);
}
