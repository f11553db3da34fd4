// The transformed blit against a plain reference: the same fixed-point
// set-up, then every destination pixel mapped back on its own and tested
// against the source's bounds. Exact pictures for a 2x scale and a quarter
// turn, random matrices at random places, clipping, and records it refuses.
#include <vekkit.h>

#include <gtest/gtest.h>

#include "raster/transformed_blit.h"
#include "sprite_images.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>

using namespace rt;

namespace {

// The transformed blit on two records, viewed as the dispatch views them.
LONG transformed(HSPRITEDATA dst, LONG x, LONG y, HSPRITEDATA src, LONG srcX, LONG srcY, LONG width, LONG height,
                 const VEKSPRITE *sprite)
{
    return vek::TransformedSpriteBlt(vek::viewRecord(dst), x, y, vek::viewRecord(src), srcX, srcY, width, height,
                                     sprite);
}

constexpr VEKFIXED kOne = 0x10000;
constexpr BYTE kUntouched = 0xEE;

VEKMATRIX matrix(VEKFIXED sx, VEKFIXED sy, VEKFIXED rotation, VEKFIXED shear = 0)
{
    VEKMATRIX m;
    vekBuildMatrix(&m, sx, sy, rotation, shear);
    return m;
}

// A sprite with the matrix whose target rectangle has the transformed size.
VEKSPRITE spriteFor(const VEKMATRIX &m, LONG width, LONG height)
{
    VEKSPRITE s{};
    vekGetTransformedDimensions(&width, &height, &m);
    s.target = RECT{100, 200, 100 + width, 200 + height};  // only its size counts
    s.transform = const_cast<LPVEKMATRIX>(&m);
    return s;
}

Record filledRaw(LONG width, LONG height, BYTE value)
{
    Record r = makeRaw(width, height);
    std::fill(r.get() + kPixels, r.get() + r.blockSize(), value);
    return r;
}

// Fixed-point point and box of a 2x2 matrix (p, q, r, s).
POINT apply(const VEKFIXED *m, LONG x, LONG y)
{
    return POINT{vekFixMul(m[0], x) + vekFixMul(m[2], y), vekFixMul(m[1], x) + vekFixMul(m[3], y)};
}

RECT boundsOf(const VEKFIXED *m, LONG width, LONG height)
{
    const POINT c[4] = {apply(m, 0, 0), apply(m, width * kOne, 0), apply(m, 0, height * kOne),
                        apply(m, width * kOne, height * kOne)};
    RECT b{c[0].x, c[0].y, c[0].x, c[0].y};
    for (const POINT &p : c) {
        b.left = std::min(b.left, p.x);
        b.top = std::min(b.top, p.y);
        b.right = std::max(b.right, p.x);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}

// What the blit does to dst (a raw record's bytes), pixel by pixel.
LONG referenceTransformed(Bytes &dst, HSPRITEDATA src, LONG x, LONG y, LONG width, LONG height,
                          const VEKSPRITE &sprite)
{
    const Decoded s = decodeRaw(src);
    const int key = s.at(0, s.height - 1);
    const LONG dstWidth = static_cast<LONG>(get32(dst.data(), kWidth));
    const LONG dstHeight = static_cast<LONG>(get32(dst.data(), kHeight));
    const VEKFIXED *forward = sprite.transform->m, *inverse = forward + 4;

    const RECT box = boundsOf(forward, s.width, s.height);
    const POINT q0 = apply(inverse, box.left, box.bottom), qx = apply(inverse, box.right, box.bottom),
                qy = apply(inverse, box.left, box.top);
    const VEKFIXED hx = vekFixDiv(qx.x - q0.x, box.right - box.left), hy = vekFixDiv(qx.y - q0.y, box.right - box.left);
    const VEKFIXED vx = vekFixDiv(qy.x - q0.x, box.bottom - box.top), vy = vekFixDiv(qy.y - q0.y, box.bottom - box.top);
    const VEKFIXED fracLeft = static_cast<VEKFIXED>((box.left + 0x8000) & 0xFFFF0000) - box.left;
    const RECT centres = boundsOf(forward, s.width - 1, s.height - 1);
    POINT p = apply(inverse, centres.left, centres.bottom);
    p.x += vekFixMul(hx, fracLeft) + 0x8000;
    p.y += vekFixMul(hy, fracLeft) + 0x8000;

    const LONG left = static_cast<SHORT>(x), top = static_cast<SHORT>(y);
    const LONG right = left + sprite.target.right - sprite.target.left;
    const LONG bottom = top + sprite.target.bottom - sprite.target.top;
    const LONG visLeft = std::max(LONG{0}, left), visTop = std::max(LONG{0}, top);
    const LONG visRight = std::min({dstWidth, right, left + static_cast<SHORT>(width)});
    const LONG visBottom = std::min({dstHeight, bottom, top + static_cast<SHORT>(height)});
    if (visRight <= visLeft || visTop >= visBottom) return 0;

    const size_t pixels = 4 + get32(dst.data(), kPixelOffset), stride = strideOf(dstWidth);
    for (LONG row = visTop; row < visBottom; row++)
        for (LONG col = visLeft; col < visRight; col++) {
            const int64_t k = bottom - 1 - row, i = col - left;
            const int64_t u = p.x + k * vx + i * hx, v = p.y + k * vy + i * hy;
            if (u < 0 || v < 0 || u >= int64_t{s.width} << 16 || v >= int64_t{s.height} << 16) continue;
            const int c = s.at(static_cast<LONG>(u >> 16), static_cast<LONG>(v >> 16));
            if (c != key) dst[pixels + static_cast<size_t>(dstHeight - 1 - row) * stride + col] = static_cast<BYTE>(c);
        }
    return 1;
}

// Rows of a raw record, top first, as text for failure messages.
std::string picture(HSPRITEDATA r)
{
    const Decoded d = decodeRaw(r);
    std::ostringstream out;
    for (LONG y = 0; y < d.height; y++) {
        for (LONG x = 0; x < d.width; x++) out << ' ' << std::hex << d.at(x, y);
        out << '\n';
    }
    return out.str();
}

// A 4 x 3 image whose bottom-left pixel, the key, is 9.
Record fourByThree(std::initializer_list<BYTE> topRowFirst)
{
    Record r = makeRaw(4, 3);
    auto it = topRowFirst.begin();
    for (LONG y = 0; y < 3; y++)
        for (LONG x = 0; x < 4; x++) *rawPixel(r, x, y) = *it++;
    return r;
}

void expectPicture(HSPRITEDATA r, const std::vector<std::vector<BYTE>> &rows)
{
    for (size_t y = 0; y < rows.size(); y++)
        for (size_t x = 0; x < rows[y].size(); x++)
            ASSERT_EQ(*rawPixel(r, static_cast<LONG>(x), static_cast<LONG>(y)), rows[y][x])
                << "pixel (" << x << ", " << y << ") of\n"
                << picture(r);
}

}  // namespace

TEST(TransformedBlit, DoubleScale)
{
    Record src = fourByThree({10, 11, 12, 13, 20, 21, 22, 23, 9, 31, 32, 9});
    const VEKMATRIX m = matrix(2 * kOne, 2 * kOne, 0);
    const VEKSPRITE sprite = spriteFor(m, 4, 3);
    ASSERT_EQ(sprite.target.right - sprite.target.left, 8);
    ASSERT_EQ(sprite.target.bottom - sprite.target.top, 6);
    Record dst = filledRaw(8, 6, kUntouched);

    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 8, 6, &sprite), 1);
    // Column 0 once, columns 1..3 twice, the last column's sample falls just
    // outside; every row twice; key pixels leave the destination.
    constexpr BYTE E = kUntouched;
    expectPicture(dst, {{10, 11, 11, 12, 12, 13, 13, E},
                        {10, 11, 11, 12, 12, 13, 13, E},
                        {20, 21, 21, 22, 22, 23, 23, E},
                        {20, 21, 21, 22, 22, 23, 23, E},
                        {E, 31, 31, 32, 32, E, E, E},
                        {E, 31, 31, 32, 32, E, E, E}});
}

TEST(TransformedBlit, QuarterTurn)
{
    Record src = fourByThree({10, 11, 12, 13, 20, 21, 22, 23, 9, 31, 32, 33});
    const VEKMATRIX m = matrix(kOne, kOne, 90 * kOne);
    const VEKSPRITE sprite = spriteFor(m, 4, 3);
    Record dst = filledRaw(3, 4, kUntouched);

    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 3, 4, &sprite), 1);
    // Counter-clockwise: the top row, left to right, is the left column read
    // bottom to top.
    expectPicture(dst, {{13, 23, 33}, {12, 22, 32}, {11, 21, 31}, {10, 20, kUntouched}});
}

TEST(TransformedBlit, RandomMatricesMatchTheReference)
{
    std::mt19937 rng(20261205);
    auto between = [&](LONG lo, LONG hi) { return std::uniform_int_distribution<LONG>(lo, hi)(rng); };
    const VEKFIXED scales[] = {kOne, 2 * kOne, 3 * kOne, kOne / 2, 3 * kOne / 2, kOne / 3, 5 * kOne / 4};

    for (int trial = 0; trial < 1500; trial++) {
        // Source widths that are multiples of four end their block with the
        // last pixel, so a read past the top row leaves the block.
        const LONG sw = between(0, 2) ? between(1, 9) * 4 : between(1, 37), sh = between(1, 37);
        Record src = makeRaw(sw, sh);
        for (LONG yy = 0; yy < sh; yy++)
            for (LONG xx = 0; xx < sw; xx++) *rawPixel(src, xx, yy) = static_cast<BYTE>(between(0, 5) ? between(1, 255) : 7);
        if (between(0, 1)) *rawPixel(src, 0, sh - 1) = 7;  // the key, often repeated

        VEKFIXED sx = scales[between(0, 6)], sy = scales[between(0, 6)];
        if (between(0, 3) == 0) sx = -sx;
        if (between(0, 3) == 0) sy = -sy;
        const VEKFIXED rotation = between(0, 1) ? between(0, 3) * 90 * kOne : between(-400 * kOne, 400 * kOne);
        const VEKFIXED shear = between(0, 3) ? 0 : between(-60 * kOne, 60 * kOne);
        const VEKMATRIX m = matrix(sx, sy, rotation, shear);
        const VEKSPRITE sprite = spriteFor(m, sw, sh);
        const LONG tw = sprite.target.right - sprite.target.left, th = sprite.target.bottom - sprite.target.top;

        Record dst = filledRaw(between(1, 90), between(1, 90), kUntouched);
        const LONG dw = static_cast<LONG>(get32(dst, kWidth)), dh = static_cast<LONG>(get32(dst, kHeight));
        const LONG x = between(-tw, dw), y = between(-th, dh);
        const LONG width = between(0, 3) ? tw : between(-2, tw + 2), height = between(0, 3) ? th : between(-2, th + 2);

        Bytes expected = dst.bytes();
        const LONG want = referenceTransformed(expected, src, x, y, width, height, sprite);
        const Bytes source = src.bytes();
        const LONG got = transformed(dst, x, y, src, between(-5, 5), between(-5, 5), width, height, &sprite);
        ASSERT_EQ(got, want) << "trial " << trial;
        ASSERT_TRUE(dst.bytes() == expected)
            << "trial " << trial << ": " << sw << "x" << sh << " scale " << sx << "," << sy << " rotation "
            << rotation << " shear " << shear << " at " << x << "," << y << " into " << dw << "x" << dh << "\n"
            << picture(dst);
        ASSERT_TRUE(src.bytes() == source) << "the source is only read";
    }
}

TEST(TransformedBlit, WholeAndFractionalStepsAtRightAngles)
{
    // A quarter (or three-quarter) turn with a scale of 3 or 1.5 on one axis:
    // the accumulated steps reach for samples just outside the image. The
    // source's block ends with its last pixel.
    Record src = makeRaw(8, 5);
    for (LONG yy = 0; yy < 5; yy++)
        for (LONG xx = 0; xx < 8; xx++) *rawPixel(src, xx, yy) = static_cast<BYTE>(16 * yy + xx + 1);
    ASSERT_EQ(src.blockSize(), kPixels + 8 * 5);
    const std::pair<VEKFIXED, VEKFIXED> scales[] = {{3 * kOne, kOne},         {kOne, 3 * kOne},
                                                    {3 * kOne / 2, kOne},     {kOne, 3 * kOne / 2},
                                                    {3 * kOne, 3 * kOne / 2}, {-3 * kOne / 2, 3 * kOne}};
    for (VEKFIXED rotation : {90 * kOne, 270 * kOne, 180 * kOne, 0 * kOne})
        for (auto [sx, sy] : scales) {
            const VEKMATRIX m = matrix(sx, sy, rotation);
            const VEKSPRITE sprite = spriteFor(m, 8, 5);
            const LONG tw = sprite.target.right - sprite.target.left, th = sprite.target.bottom - sprite.target.top;
            Record dst = filledRaw(tw + 4, th + 4, kUntouched);
            Bytes expected = dst.bytes();
            EXPECT_EQ(referenceTransformed(expected, src, 2, 2, tw, th, sprite), 1);
            EXPECT_EQ(transformed(dst, 2, 2, src, 0, 0, tw, th, &sprite), 1);
            EXPECT_TRUE(dst.bytes() == expected)
                << "rotation " << (rotation >> 16) << " scale " << sx << "," << sy << "\n"
                << picture(dst);
        }
}

TEST(TransformedBlit, ClippedPixelsEqualUnclippedOnes)
{
    Record src = makeRaw(23, 17);
    for (LONG yy = 0; yy < 17; yy++)
        for (LONG xx = 0; xx < 23; xx++) *rawPixel(src, xx, yy) = static_cast<BYTE>(yy * 23 + xx + 1);
    std::mt19937 rng(7);
    auto between = [&](LONG lo, LONG hi) { return std::uniform_int_distribution<LONG>(lo, hi)(rng); };
    for (VEKFIXED rotation : {30 * kOne, 90 * kOne, 200 * kOne, -45 * kOne})
        for (VEKFIXED scale : {kOne, 2 * kOne, 2 * kOne / 3}) {
            const VEKMATRIX m = matrix(scale, scale, rotation, 10 * kOne);
            const VEKSPRITE sprite = spriteFor(m, 23, 17);
            const LONG tw = sprite.target.right - sprite.target.left, th = sprite.target.bottom - sprite.target.top;
            Record whole = filledRaw(tw, th, kUntouched);
            ASSERT_EQ(transformed(whole, 0, 0, src, 0, 0, tw, th, &sprite), 1);
            for (int trial = 0; trial < 20; trial++) {
                // A small destination that shows the window (cx, cy) of the
                // whole picture, or the whole one cut by the requested size.
                const LONG cx = between(-5, tw), cy = between(-5, th);
                Record part = filledRaw(between(1, 30), between(1, 30), kUntouched);
                const LONG pw = static_cast<LONG>(get32(part, kWidth)), ph = static_cast<LONG>(get32(part, kHeight));
                const LONG width = between(0, 1) ? tw : between(1, tw), height = between(0, 1) ? th : between(1, th);
                const LONG visible = transformed(part, -cx, -cy, src, 0, 0, width, height, &sprite);
                bool any = false;
                for (LONG py = 0; py < ph; py++)
                    for (LONG px = 0; px < pw; px++) {
                        const LONG wx = px + cx, wy = py + cy;
                        const bool inside = wx >= 0 && wy >= 0 && wx < width && wy < height && wx < tw && wy < th;
                        any |= inside;
                        ASSERT_EQ(*rawPixel(part, px, py), inside ? *rawPixel(whole, wx, wy) : kUntouched)
                            << "rotation " << (rotation >> 16) << " window " << cx << "," << cy << " pixel " << px
                            << "," << py;
                    }
                EXPECT_EQ(visible, any ? 1 : 0);
            }
        }
}

TEST(TransformedBlit, RefusesWhatIsNotRaw8BitDI)
{
    Record src = fourByThree({10, 11, 12, 13, 20, 21, 22, 23, 9, 31, 32, 33});
    const VEKMATRIX m = matrix(kOne, kOne, 90 * kOne);
    const VEKSPRITE sprite = spriteFor(m, 4, 3);
    Record dst = filledRaw(8, 8, kUntouched);
    const Bytes before = dst.bytes();

    Bytes s;
    skip(s, 0);
    run(s, 4, 50);
    endRow(s);
    endImage(s);
    Record rle = makeRle(4, 1, s);
    EXPECT_EQ(transformed(dst, 0, 0, rle, 0, 0, 8, 8, &sprite), 0) << "RLE source";
    EXPECT_EQ(transformed(rle, 0, 0, src, 0, 0, 8, 8, &sprite), 0) << "RLE destination";

    Record fourBit = fourByThree({10, 11, 12, 13, 20, 21, 22, 23, 9, 31, 32, 33});
    put16(fourBit.get(), kBitCount, 4);
    EXPECT_EQ(transformed(dst, 0, 0, fourBit, 0, 0, 8, 8, &sprite), 0) << "4 bits per pixel";

    std::vector<BYTE> ddBlock(14);
    BYTE *dd = ddBlock.data();
    put16(dd, 4, VEK_TYPE_DD);
    EXPECT_EQ(transformed(dst, 0, 0, dd, 0, 0, 8, 8, &sprite), 0) << "DD source";
    EXPECT_EQ(transformed(dd, 0, 0, src, 0, 0, 8, 8, &sprite), 0) << "DD destination";

    Record shortBlock = fourByThree({10, 11, 12, 13, 20, 21, 22, 23, 9, 31, 32, 33});
    put32(shortBlock.get(), kHeight, 400);
    EXPECT_EQ(transformed(dst, 0, 0, shortBlock, 0, 0, 8, 8, &sprite), 0) << "rows beyond the block";

    VEKSPRITE plain = sprite;
    plain.transform = nullptr;
    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 8, 8, &plain), 0) << "no matrix";
    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 8, 8, nullptr), 0);
    EXPECT_TRUE(dst.bytes() == before) << "nothing drawn";

    // Nothing visible: beside the destination, or an empty requested size.
    EXPECT_EQ(transformed(dst, 8, 0, src, 0, 0, 3, 4, &sprite), 0);
    EXPECT_EQ(transformed(dst, -3, 0, src, 0, 0, 3, 4, &sprite), 0);
    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 0, 4, &sprite), 0);
    EXPECT_EQ(transformed(dst, 0, 0, src, 0, 0, 3, -1, &sprite), 0);
    EXPECT_TRUE(dst.bytes() == before);
    // x and y count as 16-bit values: 65536 + 2 is 2.
    EXPECT_EQ(transformed(dst, 0x10002, 0x10000, src, 0, 0, 3, 4, &sprite), 1);
    EXPECT_EQ(*rawPixel(dst, 2, 0), 13);
}
