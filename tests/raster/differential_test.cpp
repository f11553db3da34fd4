// The rasteriser against deliberately plain references, on random images at
// random places: blits (with mirroring on demand), blots, fills, collision
// tests, composite blits and transformed blits. Every case compares the
// whole destination block and the result.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "raster/transformed_blit.h"
#include "support/rle_reference.h"

using namespace support;

namespace {

std::string describe(const char *what, unsigned seed, const Rect &r)
{
    std::ostringstream o;
    o << what << " case " << seed << ": rect (" << r.x << ", " << r.y << ") " << r.width << "x" << r.height
      << " from (" << r.srcX << ", " << r.srcY << ")";
    return o.str();
}

void expectSameBytes(const Record &dst, const Bytes &expected, const std::string &label)
{
    const Bytes after = dst.bytes();
    for (size_t i = 0; i < after.size(); i++) ASSERT_EQ(after[i], expected[i]) << label << ", block byte " << i;
}

// Blits (or blots) src into dst restored to before and compares with the
// reference drawing of pixels.
void expectDrawn(bool blot, const Record &dst, const Bytes &before, const Record &src, const Decoded &pixels,
                 const Rect &r, const std::string &label)
{
    std::copy(before.begin(), before.end(), dst.get());
    Bytes expected = before;
    const LONG want = referenceBlit(expected, pixels, r);
    const LONG got = blot ? vekSpriteBlot(nullptr, dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY, 0)
                          : vekSpriteBlt(dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY);
    ASSERT_EQ(got, want) << label;
    expectSameBytes(dst, expected, label);
}

// Every drawn pixel becomes index 0.
Decoded silhouette(Decoded d)
{
    for (int &p : d.pixels)
        if (p != kClear) p = 0;
    return d;
}

}  // namespace

TEST(RasterDifferential, BlitBlotAndMirroring)
{
    for (unsigned seed = 1; seed <= 3000; seed++) {
        Random rnd(seed);
        const bool isRle = rnd.chance(0.6);
        RleSource rle;
        Record src = isRle ? randomRleRecord(rnd, rle) : randomRaw(rnd);
        const Decoded pixels = decodeAny(src);
        Record dst = randomRaw(rnd, 90, 60);
        for (size_t i = 4 + get32(dst, kPixelOffset); i < dst.blockSize(); i++) dst.get()[i] |= 1;
        const Bytes dstBefore = dst.bytes();
        const Rect r = randomRect(rnd, pixels.width, pixels.height, static_cast<LONG>(get32(dst, kWidth)),
                                  static_cast<LONG>(get32(dst, kHeight)));
        expectDrawn(false, dst, dstBefore, src, pixels, r, describe("blit", seed, r));
        if (isRle) {
            const Bytes srcBefore = src.bytes();
            expectDrawn(true, dst, dstBefore, src, silhouette(pixels), r, describe("blot", seed, r));
            ASSERT_TRUE(src.bytes() == srcBefore) << describe("blot changed its source", seed, r);
        }
        if (HasFatalFailure()) return;
        if (!rnd.chance(0.5)) continue;

        // Mirroring: an image either stays exactly as it was or becomes the
        // mirror image; well-formed images up to 255 wide always mirror.
        src.setFlags(VEK_IMAGE_MIRRORABLE);
        const Bytes srcBefore = src.bytes();
        vekFlipSprite(src);
        if (src.flags() == VEK_IMAGE_MIRRORABLE) {
            ASSERT_TRUE(src.bytes() == srcBefore) << describe("refused mirroring changed bytes", seed, r);
            ASSERT_FALSE(isRle ? rle.writersRule && rle.width <= 255 : true)
                << describe("well-formed image not mirrored", seed, r);
            continue;
        }
        ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        const Decoded flipped = decodeAny(src);
        ASSERT_TRUE(flipped.pixels == mirrored(pixels).pixels) << describe("mirror image", seed, r);

        // Drawn as it stands without the mirror-enable bit; mirrored on
        // demand by the extended blit; plain again: the plain blit turns a
        // mirrored mirror-enabled image back first.
        src.setFlags(VEK_IMAGE_MIRRORED);
        expectDrawn(false, dst, dstBefore, src, flipped, r, describe("mirrored", seed, r));
        src.setFlags(VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
        {
            Bytes expected = dstBefore;
            std::copy(dstBefore.begin(), dstBefore.end(), dst.get());
            ASSERT_EQ(vekSpriteBltEx(nullptr, dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY, 1),
                      referenceBlit(expected, flipped, r));
            ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
            expectSameBytes(dst, expected, describe("mirrored on demand", seed, r));
        }
        expectDrawn(false, dst, dstBefore, src, pixels, r, describe("restored", seed, r));
        if (HasFatalFailure()) return;
        ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE);
        ASSERT_TRUE(decodeAny(src).pixels == pixels.pixels) << describe("restored pixels", seed, r);
        if (isRle) {
            // The blot mirrors on demand too, then stamps the mirror image.
            Bytes expected = dstBefore;
            std::copy(dstBefore.begin(), dstBefore.end(), dst.get());
            const LONG want = referenceBlit(expected, silhouette(flipped), r);
            ASSERT_EQ(vekSpriteBlot(nullptr, dst, r.x, r.y, r.width, r.height, src, r.srcX, r.srcY, 1), want);
            ASSERT_EQ(src.flags(), VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED);
            expectSameBytes(dst, expected, describe("mirrored blot", seed, r));
        } else {
            ASSERT_TRUE(src.bytes() == srcBefore) << describe("restored raw bytes", seed, r);
        }
    }
}

TEST(RasterDifferential, Fill)
{
    for (unsigned seed = 1; seed <= 1000; seed++) {
        Random rnd(seed);
        Record image = randomRaw(rnd, 70, 30);
        const LONG w = static_cast<LONG>(get32(image, kWidth)), h = static_cast<LONG>(get32(image, kHeight));
        const LONG x = rnd.between(-8, w + 2), y = rnd.between(-8, h + 2);
        const LONG width = rnd.between(-2, w + 10), height = rnd.between(-2, h + 10);
        const BYTE colour = rnd.byte();
        Bytes expected = image.bytes();
        for (LONG row = 0; row < h; row++)
            for (LONG col = 0; col < w; col++)
                if (col >= x && int64_t{col} < int64_t{x} + width && row >= y && int64_t{row} < int64_t{y} + height)
                    expected[rawPixel(image, col, row) - image.get()] = colour;
        ASSERT_EQ(vekSpriteFill(image, x, y, width, height, 0x300 | colour), 1) << "case " << seed;
        ASSERT_TRUE(image.bytes() == expected) << "case " << seed << ": " << w << "x" << h << " fill (" << x << ", "
                                               << y << ") " << width << "x" << height;
    }
    Record image = makeRaw(8, 4);
    const Bytes before = image.bytes();
    EXPECT_EQ(vekSpriteFill(image, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 9), 1);
    EXPECT_EQ(vekSpriteFill(image, INT32_MAX, 0, INT32_MAX, 4, 9), 1);
    EXPECT_TRUE(image.bytes() == before);
}

namespace {

// A context without a window whose sprites are placed by their top-left
// corners.
struct Scene {
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 8, 64, 48, 0, nullptr, 640, 480);
    ~Scene() { vekDeleteSpriteContext(ctx); }
    LPVEKSPRITE sprite(HSPRITEDATA image, LONG x, LONG y, LONG priority = 0)
    {
        return vekCreateSprite(ctx, image, x, y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, priority, 0);
    }
};

// The pixel test: in the first row pair, bottom up, that has any opaque
// column in common, the two spans holding the leftmost such column decide:
// positive when b's span reaches into a's from the right (the overlap, or
// the narrower span when both start together), negative from the left.
LONG referenceCollide(const Decoded &a, const RECT &ra, const Decoded &b, const RECT &rb)
{
    const bool swapped = rb.bottom > ra.bottom;
    const auto &lower = (swapped ? b : a).spans, &upper = (swapped ? a : b).spans;
    const RECT &rl = swapped ? rb : ra, &ru = swapped ? ra : rb;
    const int64_t dx = rl.left - ru.left, dy = rl.bottom - ru.bottom;
    for (size_t k = 0; dy + k < lower.size() && k < upper.size(); k++) {
        const Span *bestL = nullptr, *bestU = nullptr;
        int64_t bestStart = 0;
        for (const Span &l : lower[dy + k])
            for (const Span &u : upper[k]) {
                const int64_t p = l.start + dx, start = std::max(p, u.start);
                if (start < std::min(p + l.length, u.start + u.length) && (!bestL || start < bestStart)) {
                    bestL = &l;
                    bestU = &u;
                    bestStart = start;
                }
            }
        if (!bestL) continue;
        const int64_t p = bestL->start + dx, n = bestL->length, q = bestU->start, m = bestU->length;
        const int64_t v = p == q ? (n <= m ? n : -m) : p < q ? p + n - q : p - (q + m);
        return static_cast<LONG>(swapped ? -v : v);
    }
    return 0;
}

// The rectangle test: b's reach into a from the right when that is not more
// than a's into b from the left, else minus the latter; 16-bit values.
LONG referenceRectangles(const RECT &a, const RECT &b)
{
    if (a.left >= b.right || b.left >= a.right || a.top >= b.bottom || b.top >= a.bottom) return 0;
    const SHORT fromRight = static_cast<SHORT>(a.right - b.left), fromLeft = static_cast<SHORT>(b.right - a.left);
    return fromRight <= fromLeft ? fromRight : -fromLeft;
}

}  // namespace

TEST(RasterDifferential, Collision)
{
    int collisions = 0;
    for (unsigned seed = 1; seed <= 1500; seed++) {
        Random rnd(seed);
        Scene scene;
        RleSource sa, sb;
        Record ia = randomRleRecord(rnd, sa, false), ib = randomRleRecord(rnd, sb, false);
        const Decoded da = decodeRecord(ia), db = decodeRecord(ib);
        const LONG bx = rnd.between(-sb.width, sa.width), by = rnd.between(-sb.height, sa.height);
        LPVEKSPRITE a = scene.sprite(ia, 0, 0), b = scene.sprite(ib, bx, by, rnd.between(0, 1));
        const LONG want = referenceCollide(da, a->target, db, b->target);
        const LONG flags = b->priority ? VEK_COLLIDE_ANY_PRIORITY : 0;
        ASSERT_EQ(vekCheckCollide(scene.ctx, a, b, flags), want) << "case " << seed;
        ASSERT_EQ(vekCheckCollide(scene.ctx, b, a, flags), -want) << "case " << seed << " swapped";
        ASSERT_EQ(vekCheckCollide(scene.ctx, a, b, flags | VEK_COLLIDE_RECT), referenceRectangles(a->target, b->target))
            << "case " << seed;
        if (b->priority) {
            ASSERT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), 0) << "priorities differ";
        }
        collisions += want != 0;
        if (seed % 10) continue;

        // b's stream cut at every length: the walk stops at the cut, so the
        // result is the whole stream's when it was found before, else 0.
        for (size_t length = 0; length < sb.stream.size(); length++) {
            Record cut = makeRle(sb.width, sb.height, Bytes(sb.stream.begin(), sb.stream.begin() + length));
            b->image = cut;
            const LONG v = vekCheckCollide(scene.ctx, a, b, flags);
            ASSERT_TRUE(v == 0 || v == want) << "case " << seed << " cut at " << length << ": " << v;
        }
        // A raw image, or a DD off-screen image, makes it the rectangle test.
        Record raw = makeRaw(sb.width, sb.height);
        b->image = raw;
        ASSERT_EQ(vekCheckCollide(scene.ctx, a, b, flags), referenceRectangles(a->target, b->target));
        b->image = ib;
        scene.ctx->options |= VEK_OPTION_DD_OFFSCREEN;
        ASSERT_EQ(vekCheckCollide(scene.ctx, a, b, flags), referenceRectangles(a->target, b->target));
    }
    EXPECT_GT(collisions, 300) << "too few cases collide to test the values";

    // Overlaps are 16-bit values: 39999 and 50000 wrap to -25537 and -15536.
    Scene scene;
    Record raw = makeRaw(4, 4);
    LPVEKSPRITE a = scene.sprite(raw, 0, 0), b = scene.sprite(raw, 1, 1);
    a->target = RECT{0, 0, 40000, 10};
    b->target = RECT{1, 0, 50000, 10};
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, 0), -25537);
}

TEST(RasterDifferential, CompositeBlit)
{
    Random rnd(1205);
    std::vector<Record> images;
    HSPRITEDATA table[7] = {};  // the last entry empty
    for (int i = 0; i < 6; i++) {
        images.push_back(rawOf(rnd.between(1, 12), rnd.between(1, 12), [&](LONG, LONG) { return rnd.byte(); }));
        images.back().setFlags(VEK_IMAGE_MIRRORABLE);
        table[i] = images.back();
    }
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 4, 8, 8, 0, nullptr, 0, 0);
    vekSetSpriteContextBackgroundDef(ctx, nullptr, 0, 0, table);
    for (int trial = 0; trial < 600; trial++) {
        // Declared sizes may differ from the images': the images' own sizes
        // clip, the declared ones decide which elements are passed over (one
        // that only touches the window is taken, and clips to nothing).
        std::vector<Element> elements;
        for (int n = rnd.between(1, 6); n > 0; n--)
            elements.push_back(Element{static_cast<SHORT>(rnd.between(-5, 20)), static_cast<SHORT>(rnd.between(-5, 25)),
                                       static_cast<WORD>(rnd.between(0, 12) | (rnd.chance(0.3) ? 0x8000 : 0)),
                                       static_cast<SHORT>(rnd.between(0, 12)), static_cast<SHORT>(rnd.between(-1, 6))});
        Bytes comp = compositeRecord(elements);
        Record dst = makeRaw(rnd.between(1, 24), rnd.between(1, 24), 0xEE);
        const Rect r{rnd.between(-6, 10), rnd.between(-6, 10), rnd.between(-2, 24),
                     rnd.between(-2, 24), rnd.between(-6, 20), rnd.between(-6, 20)};
        for (Record &image : images)
            if (image.flags() & VEK_IMAGE_MIRRORED) vekFlipSprite(image);
        Bytes expected = dst.bytes();
        const LONG dw = static_cast<LONG>(get32(dst, kWidth)), dh = static_cast<LONG>(get32(dst, kHeight));
        int mirroredAfter[6] = {};  // each image is left as the last element taken that shows it wants
        for (const Element &e : elements) {
            const LONG top = e.bottom - e.height, w = e.width & 0x7FFF;
            if (e.index < 0 || !table[e.index] || e.left + w < r.srcX || r.srcX + r.width < e.left ||
                r.srcY > e.bottom || r.srcY + r.height < top)
                continue;
            mirroredAfter[e.index] = e.width & 0x8000 ? VEK_IMAGE_MIRRORED : 0;
            const Decoded image = decodeRaw(table[e.index]);
            for (LONG v = 0; v < image.height; v++)
                for (LONG u = 0; u < image.width; u++) {
                    const LONG cx = e.left + u, cy = top + v, x = r.x + cx - r.srcX, y = r.y + cy - r.srcY;
                    if (cx < r.srcX || cx >= r.srcX + r.width || cy < r.srcY || cy >= r.srcY + r.height || x < 0 ||
                        y < 0 || x >= dw || y >= dh)
                        continue;
                    expected[rawPixel(dst, x, y) - dst.get()] =
                        static_cast<BYTE>(image.at(e.width & 0x8000 ? image.width - 1 - u : u, v));
                }
        }
        ASSERT_EQ(vekSpriteBltEx(ctx, dst, r.x, r.y, r.width, r.height, comp.data(), r.srcX, r.srcY, 1), 1);
        ASSERT_TRUE(dst.bytes() == expected) << "trial " << trial;
        for (int i = 0; i < 6; i++) ASSERT_EQ(images[i].flags(), VEK_IMAGE_MIRRORABLE | mirroredAfter[i]) << trial;
    }
    Bytes comp = compositeRecord({{0, 2, 2, 2, 0}});
    Record dst = makeRaw(4, 4);
    EXPECT_EQ(vekSpriteBltEx(nullptr, dst, 0, 0, 4, 4, comp.data(), 0, 0, 0), 0) << "no context";
    put16(comp.data(), 36, 400);
    EXPECT_EQ(vekSpriteBltEx(ctx, dst, 0, 0, 4, 4, comp.data(), 0, 0, 0), 1) << "a count beyond the record";
    vekDeleteSpriteContext(ctx);
}

namespace {

constexpr VEKFIXED kOne = 0x10000;

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

// The transformed blit pixel by pixel: the sampling grid set up from the
// inverse matrix (the first sample at the centre of the box's first pixel),
// then every destination pixel mapped back on its own and tested against
// the source's bounds; pixels of the key colour (the bottom-left one) are
// not drawn.
LONG referenceTransformed(Bytes &dst, HSPRITEDATA src, const Rect &r, const VEKSPRITE &sprite)
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

    const LONG left = static_cast<SHORT>(r.x), top = static_cast<SHORT>(r.y);
    const LONG right = left + sprite.target.right - sprite.target.left;
    const LONG bottom = top + sprite.target.bottom - sprite.target.top;
    const LONG visLeft = std::max(LONG{0}, left), visTop = std::max(LONG{0}, top);
    const LONG visRight = std::min({dstWidth, right, left + static_cast<SHORT>(r.width)});
    const LONG visBottom = std::min({dstHeight, bottom, top + static_cast<SHORT>(r.height)});
    if (visRight <= visLeft || visTop >= visBottom) return 0;
    for (LONG row = visTop; row < visBottom; row++)
        for (LONG col = visLeft; col < visRight; col++) {
            const int64_t k = bottom - 1 - row, i = col - left;
            const int64_t u = p.x + k * vx + i * hx, v = p.y + k * vy + i * hy;
            if (u < 0 || v < 0 || u >= int64_t{s.width} << 16 || v >= int64_t{s.height} << 16) continue;
            const int c = s.at(static_cast<LONG>(u >> 16), static_cast<LONG>(v >> 16));
            if (c != key)
                dst[4 + get32(dst.data(), kPixelOffset) + static_cast<size_t>(dstHeight - 1 - row) * strideOf(dstWidth) +
                    col] = static_cast<BYTE>(c);
        }
    return 1;
}

}  // namespace

TEST(RasterDifferential, TransformedBlit)
{
    Random rnd(20261205);
    const VEKFIXED scales[] = {kOne, 2 * kOne, 3 * kOne, kOne / 2, 3 * kOne / 2, kOne / 3, 5 * kOne / 4};
    for (int trial = 0; trial < 1500; trial++) {
        // Source widths that are multiples of four end their block with the
        // last pixel, so a read past the top row leaves the block.
        const LONG sw = rnd.between(0, 2) ? rnd.between(1, 9) * 4 : rnd.between(1, 37), sh = rnd.between(1, 37);
        Record src = rawOf(sw, sh, [&](LONG, LONG) { return rnd.between(0, 5) ? rnd.between(1, 255) : 7; });
        if (rnd.chance(0.5)) *rawPixel(src, 0, sh - 1) = 7;  // the key, often repeated
        VEKFIXED sx = scales[rnd.between(0, 6)], sy = scales[rnd.between(0, 6)];
        if (rnd.chance(0.25)) sx = -sx;
        if (rnd.chance(0.25)) sy = -sy;
        const VEKFIXED rotation = rnd.chance(0.5) ? rnd.between(0, 3) * 90 * kOne : rnd.between(-400 * kOne, 400 * kOne);
        const VEKFIXED shear = rnd.chance(0.75) ? 0 : rnd.between(-60 * kOne, 60 * kOne);
        VEKMATRIX m;
        vekBuildMatrix(&m, sx, sy, rotation, shear);
        VEKSPRITE sprite{};
        LONG tw = sw, th = sh;
        vekGetTransformedDimensions(&tw, &th, &m);
        sprite.target = RECT{100, 200, 100 + tw, 200 + th};  // only its size counts
        sprite.transform = &m;

        Record dst = makeRaw(rnd.between(1, 90), rnd.between(1, 90), 0xEE);
        const LONG dw = static_cast<LONG>(get32(dst, kWidth)), dh = static_cast<LONG>(get32(dst, kHeight));
        const Rect r{rnd.between(-tw, dw), rnd.between(-th, dh),
                     rnd.chance(0.75) ? tw : rnd.between(-2, tw + 2), rnd.chance(0.75) ? th : rnd.between(-2, th + 2),
                     rnd.between(-5, 5), rnd.between(-5, 5)};
        Bytes expected = dst.bytes();
        const LONG want = referenceTransformed(expected, src, r, sprite);
        const Bytes source = src.bytes();
        ASSERT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(dst), r.x, r.y, vek::viewRecord(src), r.srcX, r.srcY, r.width, r.height, &sprite), want)
            << "trial " << trial;
        ASSERT_TRUE(dst.bytes() == expected) << "trial " << trial << ": " << sw << "x" << sh << " scale " << sx << ","
                                             << sy << " rotation " << rotation << " shear " << shear;
        ASSERT_TRUE(src.bytes() == source) << "the source is only read";
    }
}

TEST(RasterDifferential, TransformedQuarterTurnPicture)
{
    // Counter-clockwise: the top row, left to right, is the left column read
    // bottom to top; the key (the bottom-left 9) is not drawn.
    const BYTE pixels[3][4] = {{10, 11, 12, 13}, {20, 21, 22, 23}, {9, 31, 32, 33}};
    Record src = rawOf(4, 3, [&](LONG x, LONG y) { return pixels[y][x]; });
    VEKMATRIX m;
    vekBuildMatrix(&m, kOne, kOne, 90 * kOne, 0);
    VEKSPRITE sprite{};
    sprite.target = RECT{0, 0, 3, 4};
    sprite.transform = &m;
    Record dst = makeRaw(3, 4, 0xEE);
    // x and y count as 16-bit values: 65536 is 0.
    EXPECT_EQ(vek::TransformedSpriteBlt(vek::viewRecord(dst), 0x10000, 0x10000, vek::viewRecord(src), 0, 0, 3, 4, &sprite), 1);
    const BYTE expected[4][3] = {{13, 23, 33}, {12, 22, 32}, {11, 21, 31}, {10, 20, 0xEE}};
    for (LONG y = 0; y < 4; y++)
        for (LONG x = 0; x < 3; x++) EXPECT_EQ(*rawPixel(dst, x, y), expected[y][x]) << x << "," << y;
}
