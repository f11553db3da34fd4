// Animation: relative and absolute moves, the image shown until the next
// update, calls that change nothing, and keeping, replacing and removing a
// sprite's transform.
#include "playfield.h"

using spritetest::box;
using spritetest::Box;
using spritetest::Playfield;

namespace {

// VEK_TRANSFORM_KEEP as 32-bit callers pass it (zero-extended on 64-bit
// targets) and as 64-bit callers writing -1 pass it.
LPVEKMATRIX keep()
{
    return (LPVEKMATRIX)(ULONG_PTR)VEK_TRANSFORM_KEEP;
}
LPVEKMATRIX keepAllOnes()
{
    return (LPVEKMATRIX)(LONG_PTR)-1;
}

// A live sprite of a 10 x 6 image at (100, 50), anchor 0, its changed bit
// clear as after an update.
struct Moving : Playfield {
    HSPRITEDATA first;
    LPVEKSPRITE s;
    Moving() : Playfield(2), first(image(10, 6)), s(vekCreateSprite(ctx, first, 100, 50, 0, 0, 0))
    {
        s->stateFlags = 0;
    }
    bool changed() const { return s->stateFlags & VEK_SPRITE_CHANGED; }
};

}  // namespace

TEST(SpriteAnimate, RelativeAndAbsoluteMoves)
{
    Moving m;
    vekAnimateSprite(m.ctx, m.s, nullptr, 5, -7, 0);
    EXPECT_EQ(m.s->x, 105);
    EXPECT_EQ(m.s->y, 43);
    EXPECT_EQ(box(m.s->target), (Box{95, 37, 105, 43}));
    EXPECT_EQ(box(m.s->shown), (Box{90, 44, 100, 50})) << "the shown rectangle waits for the update";
    EXPECT_TRUE(m.changed());

    vekAnimateSprite(m.ctx, m.s, nullptr, -5, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    EXPECT_EQ(box(m.s->target), (Box{100, 43, 110, 49}));
    EXPECT_EQ(m.s->anchorFlags, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);

    vekAnimateSpriteAbs(nullptr, m.s, nullptr, -20, 30, 0x12002);
    EXPECT_EQ(m.s->x, -20);
    EXPECT_EQ(m.s->y, 30);
    EXPECT_EQ(box(m.s->target), (Box{-25, 27, -15, 33})) << "centred";
    EXPECT_EQ(m.s->anchorFlags, 0x2002) << "low 16 bits";

    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 1, 1, 0, keep());
    EXPECT_EQ(box(m.s->target), (Box{-29, 25, -19, 31}));
    vekAnimateSpriteAbsEx(m.ctx, m.s, nullptr, 0, 0, 0, keep());
    EXPECT_EQ(box(m.s->target), (Box{-10, -6, 0, 0}));
    EXPECT_EQ(box(m.s->shown), (Box{90, 44, 100, 50}));
}

TEST(SpriteAnimate, NothingChangesWithoutAChange)
{
    Moving m;
    vekAnimateSprite(m.ctx, m.s, nullptr, 0, 0, 0);
    vekAnimateSprite(m.ctx, m.s, m.first, 0, 0, 0);
    vekAnimateSpriteAbs(m.ctx, m.s, nullptr, 100, 50, 0);
    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 0, 0, 0, keep());
    vekAnimateSpriteAbsEx(m.ctx, m.s, m.first, 100, 50, 0, keepAllOnes());
    EXPECT_FALSE(m.changed());
    EXPECT_EQ(m.s->shownImage, m.first);

    // Each difference on its own marks the sprite.
    vekAnimateSprite(m.ctx, m.s, nullptr, 0, 1, 0);
    EXPECT_TRUE(m.changed()) << "move";
    m.s->stateFlags = 0;
    vekAnimateSpriteAbs(m.ctx, m.s, nullptr, 100, 51, VEK_ANCHOR_TOP);
    EXPECT_TRUE(m.changed()) << "anchor";
    m.s->stateFlags = 0;
    vekAnimateSpriteAbs(m.ctx, m.s, m.image(10, 6), 100, 51, VEK_ANCHOR_TOP);
    EXPECT_TRUE(m.changed()) << "image";
    m.s->stateFlags = 0;
    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 0, 0, VEK_ANCHOR_TOP, nullptr);
    EXPECT_TRUE(m.changed()) << "a transform argument, even null over null";
}

TEST(SpriteAnimate, StoredAnchorComparedSignExtended)
{
    Moving m;
    vekAnimateSprite(m.ctx, m.s, nullptr, 0, 0, VEK_ANCHOR_MIRROR | VEK_ANCHOR_LEFT);
    ASSERT_EQ(m.s->anchorFlags, 0x8001);
    m.s->stateFlags = 0;

    // The stored 0x8001 reads back as 0xFFFF8001: only that value is the
    // same anchor.
    vekAnimateSprite(m.ctx, m.s, nullptr, 0, 0, (LONG)0xFFFF8001);
    EXPECT_FALSE(m.changed());
    vekAnimateSprite(m.ctx, m.s, nullptr, 0, 0, 0x8001);
    EXPECT_TRUE(m.changed());
    EXPECT_EQ(m.s->anchorFlags, 0x8001);
}

TEST(SpriteAnimate, ShownImageIsTheImageBeforeTheLastChange)
{
    Moving m;
    HSPRITEDATA second = m.image(10, 6), third = m.image(4, 2);
    vekAnimateSprite(m.ctx, m.s, second, 0, 0, 0);
    EXPECT_EQ(m.s->image, second);
    EXPECT_EQ(m.s->shownImage, m.first);

    // Two animates before an update: the first call's image is in shown image.
    vekAnimateSprite(m.ctx, m.s, third, 0, 0, 0);
    EXPECT_EQ(m.s->image, third);
    EXPECT_EQ(m.s->shownImage, second);
    EXPECT_EQ(box(m.s->target), (Box{96, 48, 100, 50})) << "measured with the new image";

    // Keeping the image still moves it into shown image.
    vekAnimateSprite(m.ctx, m.s, nullptr, 1, 0, 0);
    EXPECT_EQ(m.s->image, third);
    EXPECT_EQ(m.s->shownImage, third);
}

TEST(SpriteAnimate, TransformKeptReplacedOrRemoved)
{
    VEKMATRIX quarter, half;
    vekBuildMatrix(&quarter, 0x10000, 0x10000, 90 * 0x10000, 0);
    vekBuildMatrix(&half, 0x8000, 0x8000, 0, 0);
    Moving m;

    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 0, 0, 0, &quarter);
    EXPECT_EQ(m.s->transform, &quarter);
    EXPECT_EQ(box(m.s->target), (Box{94, 40, 100, 50})) << "10 x 6 turned: 6 x 10";

    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 0, 0, VEK_ANCHOR_LEFT, keep());
    EXPECT_EQ(m.s->transform, &quarter);
    EXPECT_EQ(box(m.s->target), (Box{100, 40, 106, 50}));
    vekAnimateSpriteAbsEx(m.ctx, m.s, nullptr, 0, 0, VEK_ANCHOR_LEFT, keepAllOnes());
    EXPECT_EQ(m.s->transform, &quarter);
    EXPECT_EQ(box(m.s->target), (Box{0, -10, 6, 0}));

    // The plain forms keep the transform and size by it as well.
    vekAnimateSpriteAbs(m.ctx, m.s, nullptr, 100, 50, 0);
    EXPECT_EQ(m.s->transform, &quarter);
    EXPECT_EQ(box(m.s->target), (Box{94, 40, 100, 50}));

    vekAnimateSpriteAbsEx(m.ctx, m.s, nullptr, 100, 50, 0, &half);
    EXPECT_EQ(m.s->transform, &half);
    EXPECT_EQ(box(m.s->target), (Box{95, 47, 100, 50})) << "half size";

    vekAnimateSpriteEx(m.ctx, m.s, nullptr, 0, 0, 0, nullptr);
    EXPECT_EQ(m.s->transform, nullptr);
    EXPECT_EQ(box(m.s->target), (Box{90, 44, 100, 50})) << "untransformed again";
}
