// What the frame update repaints: a sentinel colour painted into the window
// after an update survives wherever the next update composes nothing.
#include "frame/scene.h"

namespace {

constexpr int kSentinel = 240, kBackground = 33;

struct Update : ::testing::Test {
    frame::Window win{160, 120};
    frame::Images images;
    LPVEKCONTEXT ctx = nullptr;

    void make(LONG offscreenWidth, LONG offscreenHeight)
    {
        VEKCONTEXTPARAMS p{};
        p.window = win.window;
        p.dc = win.dc;
        p.backgroundColor = kBackground;
        p.backgroundWidth = 160;
        p.backgroundHeight = 120;
        p.offscreenWidth = offscreenWidth;
        p.offscreenHeight = offscreenHeight;
        p.maxSprites = 8;
        ctx = vekCreateSpriteContextEx(&p);
        ASSERT_NE(ctx, nullptr);
    }
    void TearDown() override { vekDeleteSpriteContext(ctx); }

    LPVEKSPRITE sprite(LONG x, LONG y, int colour = 50)
    {
        return vekCreateSprite(ctx, images.raw(8, 8, colour), x, y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    }
    void update() { vekUpdateSpriteContext(ctx, win.dc); }
    // Shows the scene, then covers the window with the sentinel.
    void settle()
    {
        update();
        win.paint(kSentinel);
    }
};

TEST_F(Update, NothingChangedDrawsNothing)
{
    make(64, 48);
    sprite(10, 10);
    settle();
    update();
    for (int y = 0; y < 120; y += 7)
        for (int x = 0; x < 160; x += 5) ASSERT_EQ(win.at(x, y), kSentinel) << x << "," << y;
}

TEST_F(Update, MovedSpriteComposesTheUnionOfOldAndNewPlaces)
{
    make(64, 48);
    LPVEKSPRITE s = sprite(10, 10);
    settle();
    vekAnimateSprite(ctx, s, nullptr, 3, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update();
    EXPECT_EQ(win.at(10, 10), kBackground) << "old place restored";
    EXPECT_EQ(win.at(13, 10), 50);
    EXPECT_EQ(win.at(20, 17), 50);
    EXPECT_EQ(win.at(21, 10), kSentinel) << "right of the union";
    EXPECT_EQ(win.at(10, 18), kSentinel) << "below the union";
    EXPECT_EQ(s->shown.left, 13);
    EXPECT_EQ(ctx->updateFlags, 0);
}

TEST_F(Update, NeighboursMergeAtThreePixelsNotAtFour)
{
    for (LONG gap : {3, 4}) {
        SCOPED_TRACE(gap);
        make(64, 48);
        LPVEKSPRITE a = sprite(10, 10), b = sprite(18 + gap, 10);
        settle();
        // Both change in place (a new image of the same colour): the gap
        // between them is composed only when they are merged.
        vekAnimateSprite(ctx, a, images.raw(8, 8, 50), 0, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
        vekAnimateSprite(ctx, b, images.raw(8, 8, 50), 0, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
        update();
        EXPECT_EQ(win.at(18, 12), gap == 3 ? kBackground : kSentinel);
        EXPECT_EQ(win.at(17, 12), 50);
        EXPECT_EQ(win.at(18 + gap, 12), 50);
        vekDeleteSpriteContext(ctx);
        ctx = nullptr;
    }
}

TEST_F(Update, FarMoveIsComposedAtBothPlacesOnly)
{
    make(32, 32);
    LPVEKSPRITE s = sprite(0, 0);
    settle();
    vekAnimateSpriteAbs(ctx, s, nullptr, 100, 80, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update();
    EXPECT_EQ(win.at(0, 0), kBackground);
    EXPECT_EQ(win.at(7, 7), kBackground);
    EXPECT_EQ(win.at(100, 80), 50);
    EXPECT_EQ(win.at(107, 87), 50);
    EXPECT_EQ(win.at(50, 40), kSentinel) << "between the two places";
    EXPECT_EQ(win.at(8, 0), kSentinel);
}

TEST_F(Update, SpriteLargerThanTheOffscreenImageIsDrawnWhole)
{
    make(32, 24);
    LPVEKSPRITE s = vekCreateSprite(ctx, images.raw(100, 50, 60, true), 10, 10, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    settle();
    vekAnimateSprite(ctx, s, nullptr, 1, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update();
    const rt::Decoded &d = images.of(s->image);
    for (LONG y = 0; y < 50; y++)
        for (LONG x = 0; x < 100; x++) ASSERT_EQ(win.at(11 + x, 10 + y), d.at(x, y)) << x << "," << y;
    EXPECT_EQ(win.at(10, 10), kBackground);
}

TEST_F(Update, DeletedSpriteIsRestoredAndFreedByTheUpdate)
{
    make(64, 48);
    LPVEKSPRITE under = sprite(10, 10, 60), s = sprite(14, 14, 70);
    settle();
    vekDeleteSprite(ctx, s);
    EXPECT_TRUE(s->inUse) << "the slot is kept until the update";
    EXPECT_EQ(ctx->spriteCount, 2);
    update();
    EXPECT_FALSE(s->inUse);
    EXPECT_EQ(ctx->spriteCount, 1);
    EXPECT_EQ(ctx->drawList[0], under);
    EXPECT_EQ(win.at(15, 15), 60) << "the sprite below shows again";
    EXPECT_EQ(win.at(21, 21), kBackground);
    EXPECT_EQ(win.at(22, 22), kSentinel);
}

TEST_F(Update, SpriteMovedOutsideTheViewKeepsItsShownPlace)
{
    make(64, 48);
    LPVEKSPRITE s = sprite(-100, -100);
    update();
    vekAnimateSpriteAbs(ctx, s, nullptr, -50, -50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update();
    EXPECT_EQ(s->shown.left, -100) << "not repainted, so not moved";
    EXPECT_FALSE(s->stateFlags & VEK_SPRITE_CHANGED);
}

TEST_F(Update, OriginRepaintsTheViewShifted)
{
    make(160, 120);
    sprite(0, 0);
    settle();
    vekSetSpriteContextOrigin(ctx, 20, 10);
    update();
    EXPECT_EQ(win.at(20, 10), 50);
    EXPECT_EQ(win.at(27, 17), 50);
    EXPECT_EQ(win.at(28, 10), kBackground);
    EXPECT_EQ(win.at(10, 5), kSentinel) << "left of and above the playfield";

    win.paint(kSentinel);
    vekSetSpriteContextOrigin(ctx, -4, -2);
    update();
    EXPECT_EQ(win.at(0, 0), 50) << "playfield (4, 2)";
    EXPECT_EQ(win.at(3, 5), 50);
    EXPECT_EQ(win.at(4, 5), kBackground);
    EXPECT_EQ(win.at(155, 117), kBackground) << "the view reaches the playfield's far edges";
    EXPECT_EQ(win.at(156, 118), kSentinel);
}

TEST_F(Update, ClippedUpdateRepaintsOnlyInsideTheClip)
{
    make(64, 48);
    LPVEKSPRITE s = sprite(10, 10);
    settle();
    vekAnimateSprite(ctx, s, nullptr, 2, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    RECT clip{0, 0, 14, 120};
    vekUpdateSpriteContextClipped(ctx, win.dc, &clip);
    EXPECT_EQ(win.at(10, 10), kBackground);
    EXPECT_EQ(win.at(13, 10), 50);
    EXPECT_EQ(win.at(14, 10), kSentinel) << "outside the clip";
}

TEST_F(Update, RedrawRepaintsEverything)
{
    make(64, 48);
    sprite(100, 100);
    settle();
    vekRedrawSpriteContext(ctx, win.dc);
    EXPECT_EQ(win.at(0, 0), kBackground);
    EXPECT_EQ(win.at(159, 119), kBackground);
    EXPECT_EQ(win.at(101, 101), 50);
    EXPECT_EQ(ctx->updateFlags, 0);
}

}  // namespace
