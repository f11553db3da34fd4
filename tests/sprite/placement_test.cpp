// The anchor rule: the rectangle that a position and anchor flags give, for
// every combination of the placement bits, odd sizes, other record kinds and
// transformed sprites.
#include "playfield.h"

#include <cstring>

using spritetest::box;
using spritetest::Box;
using spritetest::Playfield;

namespace {

struct Case {
    LONG anchor;
    Box rect;
};

// Where a new sprite of image at (x, y) goes; creation shows it there too.
Box placed(Playfield &pf, HSPRITEDATA image, LONG x, LONG y, LONG anchor)
{
    LPVEKSPRITE s = vekCreateSprite(pf.ctx, image, x, y, anchor, 0, 0);
    EXPECT_NE(s, nullptr);
    if (!s) return {};
    const Box target = box(s->target);
    EXPECT_EQ(box(s->shown), target);
    vekDeleteSprite(pf.ctx, s);
    pf.release(s);
    return target;
}

}  // namespace

TEST(SpritePlacement, EveryCombinationOfThePlacementBits)
{
    // A 7 x 5 image at (100, 50): hw = 3, hh = 2. Horizontally L = left edge,
    // C = centre, R = right edge; vertically T = top, M = centre, B = bottom.
    const LONG L[2] = {100, 107}, C[2] = {97, 104}, R[2] = {93, 100};
    const LONG T[2] = {50, 55}, M[2] = {48, 52}, B[2] = {45, 50};
    auto rect = [](const LONG *h, const LONG *v) { return Box{h[0], v[0], h[1], v[1]}; };
    const Case cases[] = {
        {0x0000, rect(R, B)}, {0x0001, rect(L, B)}, {0x0002, rect(C, B)}, {0x0003, rect(L, B)},
        // Vertical centring, unless the left-edge bit is set as well.
        {0x2000, rect(R, M)}, {0x2001, rect(L, B)}, {0x2002, rect(C, M)}, {0x2003, rect(L, B)},
        {0x4000, rect(R, T)}, {0x4001, rect(L, T)}, {0x4002, rect(C, T)}, {0x4003, rect(L, T)},
        // The top edge wins over centring.
        {0x6000, rect(R, T)}, {0x6001, rect(L, T)}, {0x6002, rect(C, T)}, {0x6003, rect(L, T)},
        // Bits 2 to 12 and the mirror bit do not place.
        {0x9FFC, rect(R, B)}, {0xFFFF, rect(L, T)}, {0x3FFE, rect(C, M)},
    };
    Playfield pf(2);
    HSPRITEDATA image = pf.image(7, 5);
    for (const Case &c : cases)
        EXPECT_EQ(placed(pf, image, 100, 50, c.anchor), c.rect) << "anchor 0x" << std::hex << c.anchor;
}

TEST(SpritePlacement, EvenSizedImage)
{
    Playfield pf(2);
    HSPRITEDATA image = pf.image(10, 6);
    EXPECT_EQ(placed(pf, image, 100, 50, 0), (Box{90, 44, 100, 50})) << "bottom-right corner";
    EXPECT_EQ(placed(pf, image, 100, 50, 0x0001), (Box{100, 44, 110, 50}));
    EXPECT_EQ(placed(pf, image, 100, 50, 0x0002), (Box{95, 44, 105, 50}));
    EXPECT_EQ(placed(pf, image, 100, 50, 0x4001), (Box{100, 50, 110, 56}));
    EXPECT_EQ(placed(pf, image, 100, 50, 0x2002), (Box{95, 47, 105, 53}));
    EXPECT_EQ(placed(pf, image, 100, 50, 0x2001), (Box{100, 44, 110, 50}));
}

TEST(SpritePlacement, OddSizesCentredLoseARow)
{
    Playfield pf(2);
    // 7 x 5 centred on the origin: four rows high, the bottom row not shown.
    EXPECT_EQ(placed(pf, pf.image(7, 5), 0, 0, 0x2002), (Box{-3, -2, 4, 2}));
    EXPECT_EQ(placed(pf, pf.image(1, 1), 0, 0, 0x2002), (Box{0, 0, 1, 0})) << "hw = hh = 0";
    EXPECT_EQ(placed(pf, pf.image(3, 3), -10, -20, 0x2002), (Box{-11, -21, -8, -19}));
}

TEST(SpritePlacement, CompositeRecordsMeasureByTheirBounds)
{
    // A composite record with bounds (10, 20, 110, 70) and no elements.
    BYTE composite[38] = {};
    const LONG bounds[4] = {10, 20, 110, 70};
    composite[4] = 0xF1;
    composite[5] = 0xFE;
    std::memcpy(composite + 6, bounds, sizeof bounds);
    Playfield pf(2);
    EXPECT_EQ(placed(pf, composite, 0, 0, 0), (Box{-100, -50, 0, 0}));
    EXPECT_EQ(placed(pf, composite, 0, 0, 0x2002), (Box{-50, -25, 50, 25}));
}

TEST(SpritePlacement, TransformedSpritesUseTheBoundingBox)
{
    VEKMATRIX quarter, slant;
    vekBuildMatrix(&quarter, 0x10000, 0x10000, 90 * 0x10000, 0);
    vekBuildMatrix(&slant, 0x10000, 0x10000, 45 * 0x10000, 0);
    Playfield pf(1);
    LPVEKSPRITE s = vekCreateSprite(pf.ctx, pf.image(40, 20), 100, 50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(box(s->target), (Box{100, 50, 140, 70})) << "no transform at creation";

    vekAnimateSpriteAbsEx(pf.ctx, s, nullptr, 100, 50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, &quarter);
    EXPECT_EQ(box(s->target), (Box{100, 50, 120, 90})) << "rotated: 20 x 40";
    vekAnimateSpriteAbsEx(pf.ctx, s, nullptr, 100, 50, 0x2002, &quarter);
    EXPECT_EQ(box(s->target), (Box{90, 30, 110, 70})) << "centred on the position";

    // A 4 x 3 image turned by 45 degrees has a 5 x 5 bounding box.
    vekAnimateSpriteAbsEx(pf.ctx, s, pf.image(4, 3), 0, 0, 0, &slant);
    EXPECT_EQ(box(s->target), (Box{-5, -5, 0, 0}));
}
