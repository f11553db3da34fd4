// Collision tests between sprites: the rectangle test's values and signs,
// priorities, the rectangle test forced by a DD off-screen image, and the
// pixel-exact test against a reference built from each row's spans.
#include "random_images.h"

#include <gtest/gtest.h>

#include <memory>

using namespace rt;

namespace {

constexpr LONG kTopLeft = VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP;

// A context without a window whose sprites are placed by their top-left
// corners.
struct Scene {
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 8, 64, 48, 0, nullptr, 640, 480);
    std::vector<std::unique_ptr<Record>> images;

    ~Scene() { vekDeleteSpriteContext(ctx); }

    HSPRITEDATA keep(Record r)
    {
        images.push_back(std::make_unique<Record>(std::move(r)));
        return *images.back();
    }
    LPVEKSPRITE sprite(HSPRITEDATA image, LONG x, LONG y, LONG priority = 0)
    {
        return vekCreateSprite(ctx, image, x, y, kTopLeft, priority, 0);
    }
    void move(LPVEKSPRITE s, LONG x, LONG y) { vekAnimateSpriteAbs(ctx, s, nullptr, x, y, kTopLeft); }
};

// An RLE image of the given rows (bottom row first); each row a list of
// (skip, run) pixel counts; runs in colour 0, odd ones as absolute runs.
Record rleImage(LONG width, const std::vector<std::vector<std::pair<int, int>>> &rows)
{
    Bytes s;
    for (const auto &row : rows) {
        for (auto [gap, opaque] : row) {
            skip(s, static_cast<unsigned>(gap));
            if (opaque >= 3 && (opaque & 1)) absolute(s, Bytes(static_cast<size_t>(opaque), 0));
            else if (opaque) run(s, static_cast<unsigned>(opaque), 0);
        }
        endRow(s);
    }
    endImage(s);
    return makeRle(width, static_cast<LONG>(rows.size()), s);
}

// An image of `height` equal rows, each opaque from column left on for
// `opaque` pixels.
Record block(LONG width, LONG height, int left, int opaque)
{
    const std::vector<std::pair<int, int>> row = {{left, opaque}};
    return rleImage(width, std::vector<std::vector<std::pair<int, int>>>(static_cast<size_t>(height), row));
}

}  // namespace

TEST(CheckCollide, RectangleTestValuesAndSigns)
{
    Scene scene;
    HSPRITEDATA wide = scene.keep(makeRaw(10, 10)), other = scene.keep(makeRaw(13, 5));
    LPVEKSPRITE a = scene.sprite(wide, 0, 0), b = scene.sprite(other, 7, 2);
    // b covers a's three rightmost columns.
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, 0), 3) << "raw images take the rectangle test";
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), 3);
    EXPECT_EQ(vekCheckCollide(scene.ctx, b, a, VEK_COLLIDE_RECT), -3);
    // Mirrored: b covers a's three leftmost columns.
    scene.move(b, -10, 2);
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), -3);
    EXPECT_EQ(vekCheckCollide(scene.ctx, b, a, VEK_COLLIDE_RECT), 3);
    // Rectangles that only touch do not collide, on any side.
    for (auto [x, y] : {std::pair{10, 0}, {-13, 0}, {0, 10}, {0, -5}}) {
        scene.move(b, x, y);
        EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), 0) << x << ", " << y;
    }
    // b inside a: the narrower of the two overlaps, from the right.
    scene.move(b, -1, 1);
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), 11);
    // Overlaps are 16-bit values: 39999 and 50000 wrap to -25537 and -15536.
    a->target = RECT{0, 0, 40000, 10};
    b->target = RECT{1, 0, 50000, 10};
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), -25537);
}

TEST(CheckCollide, PrioritiesAndTheDDOffscreenImage)
{
    Scene scene;
    // Two 8 x 8 images whose opaque pixels are the left and right halves.
    HSPRITEDATA left = scene.keep(block(8, 8, 0, 4)), right = scene.keep(block(8, 8, 4, 4));
    LPVEKSPRITE a = scene.sprite(right, 0, 0, 1), b = scene.sprite(left, 2, 0, 2);
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, 0), 0) << "different priorities";
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_RECT), 0) << "different priorities";
    // a's opaque columns 4..7 meet b's 2..5: b's span starts first.
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_ANY_PRIORITY), -2);
    EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, VEK_COLLIDE_ANY_PRIORITY | VEK_COLLIDE_RECT), 6);

    // Rectangles that overlap, opaque pixels that do not: columns 0..3
    // against 6..9.
    LPVEKSPRITE c = scene.sprite(left, 0, 0, 1), d = scene.sprite(right, 2, 3, 1);
    EXPECT_EQ(vekCheckCollide(scene.ctx, c, d, 0), 0);
    EXPECT_EQ(vekCheckCollide(scene.ctx, c, d, VEK_COLLIDE_RECT), 6);
    scene.ctx->options |= VEK_OPTION_DD_OFFSCREEN;
    EXPECT_EQ(vekCheckCollide(scene.ctx, c, d, 0), 6) << "a DD off-screen image forces the rectangle test";
}

TEST(CheckCollide, PixelTestValues)
{
    struct Case {
        int aLeft, aOpaque, bLeft, bOpaque, bx;  // one opaque span per row, b at (bx, 0)
        LONG want;
    } cases[] = {
        {2, 4, 2, 6, 0, 4},    // same start, a's span the shorter: its length
        {2, 6, 2, 4, 0, -4},   // same start, b's span the shorter: minus its length
        {0, 5, 3, 5, 0, 2},    // a's span starts first: its end minus b's start
        {3, 5, 0, 5, 0, -2},   // b's span starts first: minus the overlap
        {0, 3, 0, 3, 2, 1},    // b moved right: columns 2..4 against 0..2
        {0, 3, 0, 3, 3, 0},    // spans that only touch
    };
    for (const Case &c : cases) {
        Scene scene;
        HSPRITEDATA ia = scene.keep(block(12, 4, c.aLeft, c.aOpaque));
        HSPRITEDATA ib = scene.keep(block(12, 4, c.bLeft, c.bOpaque));
        LPVEKSPRITE a = scene.sprite(ia, 0, 0), b = scene.sprite(ib, c.bx, 0);
        EXPECT_EQ(vekCheckCollide(scene.ctx, a, b, 0), c.want) << c.aLeft << " " << c.aOpaque << " / " << c.bLeft << " "
                                                                << c.bOpaque << " at " << c.bx;
    }
}

namespace {

struct Span {
    int64_t start, length;
};

// The spans of each row of a well-formed stream, bottom row first, one per
// run token (adjacent runs stay separate spans).
std::vector<std::vector<Span>> rowSpans(const Bytes &s)
{
    std::vector<std::vector<Span>> rows(1);
    int64_t x = 0;
    for (size_t p = 0; p + 1 < s.size();) {
        const BYTE n = s[p], c = s[p + 1];
        if (n) {
            rows.back().push_back({x, n});
            x += n;
            p += 2;
        } else if (c == 0) {
            rows.emplace_back();
            x = 0;
            p += 2;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            x += s[p + 2];
            p += 4;
        } else {
            rows.back().push_back({x, c});
            x += c;
            p += 2 + c + (c & 1);
        }
    }
    rows.pop_back();  // the row begun by the last end of row
    return rows;
}

// The reference pixel test: in the first row pair, bottom up, that has any
// opaque column in common, the two spans holding the leftmost such column.
LONG referenceCollide(const Bytes &sa, const RECT &ra, const Bytes &sb, const RECT &rb)
{
    const bool swapped = rb.bottom > ra.bottom;
    const auto lower = rowSpans(swapped ? sb : sa), upper = rowSpans(swapped ? sa : sb);
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

}  // namespace

TEST(CheckCollideRandom, MatchesReferenceAndStaysInsideDamagedStreams)
{
    int collisions = 0;
    for (unsigned seed = 1; seed <= 1500; seed++) {
        Random rnd(seed);
        Scene scene;
        const RleSource ra = randomRle(rnd, false), rb = randomRle(rnd, false);
        HSPRITEDATA ia = scene.keep(makeRle(ra.width, ra.height, ra.stream));
        HSPRITEDATA ib = scene.keep(makeRle(rb.width, rb.height, rb.stream));
        LPVEKSPRITE a = scene.sprite(ia, 0, 0);
        const LONG bx = rnd.between(-rb.width + 1, ra.width - 1), by = rnd.between(-rb.height + 1, ra.height - 1);
        LPVEKSPRITE b = scene.sprite(ib, bx, by);
        const LONG want = referenceCollide(ra.stream, a->target, rb.stream, b->target);
        const LONG got = vekCheckCollide(scene.ctx, a, b, 0);
        ASSERT_EQ(got, want) << "case " << seed << ": b at " << b->target.left << ", " << b->target.top;
        ASSERT_EQ(vekCheckCollide(scene.ctx, b, a, 0), -want) << "case " << seed << " swapped";
        collisions += want != 0;
        if (seed % 10) continue;

        // b's stream cut at every length: the walk stops at the cut, so the
        // result is the whole stream's when it was found before the cut, else 0.
        for (size_t length = 0; length < rb.stream.size(); length++) {
            Record cut = makeRle(rb.width, rb.height, Bytes(rb.stream.begin(), rb.stream.begin() + length));
            b->image = cut;
            const LONG v = vekCheckCollide(scene.ctx, a, b, 0);
            ASSERT_TRUE(v == 0 || v == want) << "case " << seed << " cut at " << length << ": " << v;
        }
        b->image = ib;
    }
    EXPECT_GT(collisions, 300) << "too few cases collide to test the values";
}
