// Coordinates at the ends of the 32-bit range: sizes, moves, origins,
// scrolls and clip rectangles stop at the range's ends instead of wrapping,
// the view stops at the world's edges, and the frame update stays inside the
// window's client area however far a sprite goes.
#include <vekkit.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "support/images.h"
#include "support/palette_window.h"

namespace {

constexpr int kSentinel = 240, kBackground = 33, kColour = 50;
constexpr LONG kAnchor = VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP;

struct ExtremeCoordinates : ::testing::Test {
    support::PaletteWindow win{160, 120};
    std::vector<support::Record> images;
    LPVEKCONTEXT ctx = nullptr;

    void make(WORD options = 0, HSPRITEDATA background = nullptr, LPVEKTILE map = nullptr,
              HSPRITEDATA *table = nullptr)
    {
        VEKCONTEXTPARAMS p{};
        p.window = win.window;
        p.dc = win.dc;
        p.backgroundColor = kBackground;
        p.backgroundImage = background;
        p.backgroundWidth = 160;
        p.backgroundHeight = 120;
        p.offscreenWidth = 64;
        p.offscreenHeight = 48;
        p.maxSprites = 4;
        p.options = options;
        p.palette = win.palette;
        p.tileMap = map;
        p.imageTable = table;
        p.worldWidth = 1000;
        p.worldHeight = 800;
        ctx = vekCreateSpriteContextEx(&p);
        ASSERT_NE(ctx, nullptr);
    }
    void TearDown() override { vekDeleteSpriteContext(ctx); }

    // A raw image of one colour, kept until the test ends.
    HSPRITEDATA raw(LONG w, LONG h, BYTE colour)
    {
        images.push_back(support::makeRaw(w, h, colour));
        return images.back();
    }

    void settle()
    {
        vekUpdateSpriteContext(ctx, win.dc);
        win.paint(kSentinel);
    }
};

TEST_F(ExtremeCoordinates, CompositeSizesStopAtTheRangeEnds)
{
    struct Case {
        LONG left, top, right, bottom, width, height;
    } cases[] = {
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MAX, 0, INT_MIN, -1, INT_MIN, -1},
        {-5, INT_MIN + 1, 5, 0, 10, INT_MAX},
    };
    for (const Case &c : cases) {
        BYTE record[38] = {};
        record[4] = 0xF1, record[5] = 0xFE;
        const LONG bounds[4] = {c.left, c.top, c.right, c.bottom};
        std::memcpy(record + 6, bounds, sizeof bounds);
        LONG w = 0, h = 0;
        const DWORD packed = vekGetSpriteDimensions(record, &w, &h);
        EXPECT_EQ(w, c.width) << c.left << ".." << c.right;
        EXPECT_EQ(h, c.height) << c.top << ".." << c.bottom;
        EXPECT_EQ(packed, (static_cast<DWORD>(c.height) << 16) | (static_cast<DWORD>(c.width) & 0xFFFF));

        // Too large to convert: refused, the source consumed.
        auto *copy = static_cast<BYTE *>(GlobalLock(GlobalAlloc(GMEM_MOVEABLE, sizeof record)));
        std::memcpy(copy, record, sizeof record);
        PALETTEENTRY entries[256] = {};
        EXPECT_EQ(vekDISpriteToDDSprite(win.dc, copy, entries, 1), nullptr);
    }
}

TEST_F(ExtremeCoordinates, SpriteMovedToTheEndOfTheRangeLeavesItsOldPlace)
{
    make();
    LPVEKSPRITE s = vekCreateSprite(ctx, raw(8, 8, kColour), 5, 5, kAnchor, 0, 0);
    settle();
    vekAnimateSpriteAbs(ctx, s, nullptr, INT_MAX, 5, kAnchor);
    EXPECT_EQ(s->target.left, INT_MAX);
    EXPECT_EQ(s->target.right, INT_MAX) << "the far edge stops at the end";
    vekUpdateSpriteContext(ctx, win.dc);
    EXPECT_EQ(win.at(5, 5), kBackground);
    EXPECT_EQ(win.at(12, 12), kBackground);

    vekAnimateSprite(ctx, s, nullptr, INT_MIN, 0, kAnchor);  // INT_MAX + INT_MIN = -1
    EXPECT_EQ(s->x, -1);
    vekAnimateSprite(ctx, s, nullptr, INT_MIN, 0, kAnchor);
    EXPECT_EQ(s->x, INT_MIN);
    EXPECT_EQ(s->target.right, INT_MIN + 8);
    vekAnimateSprite(ctx, s, nullptr, 0, 0, VEK_ANCHOR_TOP);  // right-anchored: the left edge stops
    EXPECT_EQ(s->target.left, INT_MIN);
}

TEST_F(ExtremeCoordinates, FarClippedUpdateComposesOnlyTheClientArea)
{
    make();
    LPVEKSPRITE s = vekCreateSprite(ctx, raw(8, 8, kColour), 5, 5, kAnchor, 0, 0);
    // A composite image as wide as the range: its sprite reaches to its end.
    BYTE wide[38] = {};
    wide[4] = 0xF1, wide[5] = 0xFE;
    const LONG bounds[4] = {0, 0, INT_MAX, 8};
    std::memcpy(wide + 6, bounds, sizeof bounds);
    LPVEKSPRITE w = vekCreateSprite(ctx, wide, 0, 60, kAnchor, 0, 0);
    ASSERT_EQ(w->target.right, INT_MAX);
    settle();
    RECT everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    for (LONG x : {INT_MAX - 3, INT_MIN, 150}) {
        SCOPED_TRACE(x);
        vekAnimateSpriteAbs(ctx, s, nullptr, x, 5, kAnchor);
        vekAnimateSprite(ctx, w, nullptr, 0, 1, kAnchor);
        vekUpdateSpriteContextClipped(ctx, win.dc, &everything);
    }
    EXPECT_EQ(win.at(5, 5), kBackground);
    EXPECT_EQ(win.at(150, 5), kColour);
    EXPECT_EQ(win.at(157, 12), kColour);
    EXPECT_EQ(win.at(159, 70), kBackground);
}

TEST_F(ExtremeCoordinates, OriginAtTheRangeEndsShowsNothingAndComesBack)
{
    make();
    vekCreateSprite(ctx, raw(8, 8, kColour), 20, 20, kAnchor, 0, 0);
    settle();
    for (LONG o : {INT_MIN, INT_MAX, INT_MIN + 1}) {
        SCOPED_TRACE(o);
        vekSetSpriteContextOrigin(ctx, o, o);
        vekUpdateSpriteContext(ctx, win.dc);
        EXPECT_EQ(win.at(20, 20), kSentinel);
        EXPECT_EQ(win.at(100, 100), kSentinel);
    }
    vekSetSpriteContextOrigin(ctx, 0, 0);
    vekUpdateSpriteContext(ctx, win.dc);
    EXPECT_EQ(win.at(20, 20), kColour);
    EXPECT_EQ(win.at(100, 100), kBackground);
}

TEST_F(ExtremeCoordinates, ScrollsOfAnySizeStopAtTheWorldsEdges)
{
    support::Record buffer = support::makeRaw(160, 120);
    std::vector<VEKTILE> map{VEKTILE{}};  // a header and no tiles
    reinterpret_cast<VEKTILEMAPHEADER *>(&map[0])->backgroundColor = 44;
    HSPRITEDATA table[1] = {};
    make(VEK_OPTION_TILEMAP, buffer, map.data(), table);
    vekUpdateSpriteContext(ctx, win.dc);
    // World 1000 x 800 seen through 160 x 120: x runs 0..840, y 0..680.
    struct Case {
        bool absolute;
        LONG from, by, to;
    } cases[] = {
        {false, 10, INT_MAX, 840}, {false, 10, INT_MIN, 0}, {false, 0, INT_MIN, 0},
        {true, 10, INT_MAX, 840},  {true, 840, INT_MIN, 0}, {true, 10, INT_MIN + 5, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.absolute << " " << c.from << " " << c.by);
        vekScrollSpriteContextAbs(ctx, win.dc, c.from, 0);
        ASSERT_EQ(ctx->scrollX, c.from);
        const DWORD moved = c.absolute ? vekScrollSpriteContextAbs(ctx, win.dc, c.by, c.by)
                                       : vekScrollSpriteContext(ctx, win.dc, c.by, c.by);
        EXPECT_EQ(ctx->scrollX, c.to);
        EXPECT_EQ(ctx->scrollY, c.by > 0 ? 680 : 0);
        EXPECT_EQ(static_cast<SHORT>(LOWORD(moved)), c.to - c.from);
    }
}

TEST_F(ExtremeCoordinates, ScrollWithoutAWorldMovesSpritesToTheRangeEnds)
{
    make();
    LPVEKSPRITE s = vekCreateSprite(ctx, raw(8, 8, kColour), 5, -5, kAnchor, 0, 0);
    EXPECT_EQ(vekScrollSpriteContext(ctx, win.dc, INT_MIN, INT_MAX), 0u);
    EXPECT_EQ(s->x, INT_MAX);
    EXPECT_EQ(s->y, INT_MIN);
    EXPECT_EQ(s->target.left, INT_MAX);
    EXPECT_EQ(s->target.top, INT_MIN);
    EXPECT_EQ(s->target.bottom, INT_MIN + 4);
    vekUpdateSpriteContext(ctx, win.dc);
}

}  // namespace
