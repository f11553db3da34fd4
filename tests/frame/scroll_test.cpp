// Scrolling a tile-mapped world: moves and their results, the strips and
// full renders in the wrap-around background buffer, and the sprites.
#include "frame/scene.h"

namespace {

constexpr LONG kW = 320, kH = 200, kTile = 20;
constexpr int kMapColour = 44;

struct Scroll : ::testing::Test {
    frame::Window win{kW, kH};
    frame::Images images;
    frame::TileMap map{kMapColour};
    std::vector<HSPRITEDATA> tiles;
    rt::Record buffer = rt::makeRaw(kW, kH);
    LPVEKCONTEXT ctx = nullptr;
    LONG worldW = 1000, worldH = 800;
    bool grid = true;  // the world is covered by 20 x 20 tiles

    void make(LONG offscreenWidth = 64, LONG offscreenHeight = 48, WORD options = VEK_OPTION_TILEMAP)
    {
        for (LONG y = 0; grid && y < worldH; y += kTile)
            for (LONG x = 0; x < worldW; x += kTile)
                map.add(SHORT(x), SHORT(y), SHORT(x + kTile), SHORT(y + kTile), tileAt(x, y));
        VEKCONTEXTPARAMS p{};
        p.window = win.window;
        p.dc = win.dc;
        p.backgroundColor = 33;
        p.backgroundImage = buffer;
        p.backgroundWidth = kW;
        p.backgroundHeight = kH;
        p.offscreenWidth = offscreenWidth;
        p.offscreenHeight = offscreenHeight;
        p.maxSprites = 8;
        p.palette = win.palette;
        p.options = options;
        p.tileMap = map.get();
        p.imageTable = tiles.data();
        p.worldWidth = worldW;
        p.worldHeight = worldH;
        ctx = vekCreateSpriteContextEx(&p);
        ASSERT_NE(ctx, nullptr);
        vekUpdateSpriteContext(ctx, win.dc);  // renders the buffer, clears background changed
    }
    void SetUp() override
    {
        for (int i = 0; i < 8; i++) tiles.push_back(images.raw(kTile, kTile, 10 + 25 * i, true));
    }
    void TearDown() override { vekDeleteSpriteContext(ctx); }

    static SHORT tileAt(LONG x, LONG y) { return SHORT((x / kTile * 3 + y / kTile) % 8); }
    int world(LONG x, LONG y) const
    {
        if (x >= worldW || y >= worldH) return kMapColour;
        return images.of(tiles[static_cast<size_t>(tileAt(x, y))]).at(x % kTile, y % kTile);
    }
    int bufferAt(LONG x, LONG y) const { return *rt::rawPixel(buffer, x, y); }

    // Every buffer pixel shows the world pixel it maps to.
    void expectMapping()
    {
        for (LONG j = 0; j < kH; j++)
            for (LONG i = 0; i < kW; i++)
                ASSERT_EQ(bufferAt((ctx->wrapX + i) % kW, (ctx->wrapY + j) % kH), world(ctx->scrollX + i, ctx->scrollY + j))
                    << "view (" << i << ", " << j << ") at scroll " << ctx->scrollX << "," << ctx->scrollY << " wrap "
                    << ctx->wrapX << "," << ctx->wrapY;
    }
    DWORD scroll(LONG dx, LONG dy) { return vekScrollSpriteContext(ctx, win.dc, dx, dy); }
};

TEST_F(Scroll, MovesAreKeptInsideTheWorld)
{
    make();
    LPVEKSPRITE s = vekCreateSprite(ctx, images.raw(4, 4, 50), 100, 50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    vekUpdateSpriteContext(ctx, win.dc);

    EXPECT_EQ(scroll(-5, 0), 0u);
    EXPECT_EQ(ctx->scrollX, 0);
    EXPECT_EQ(s->x, 100);

    EXPECT_EQ(scroll(10, 0), 10u);
    EXPECT_EQ(ctx->wrapX, 10);
    EXPECT_EQ(s->x, 90);
    EXPECT_EQ(s->target.left, 90);
    EXPECT_EQ(s->shown.right, 94);
    for (LONG y = 0; y < kH; y += 13)
        for (LONG x = 0; x < 10; x++) ASSERT_EQ(bufferAt(x, y), world(320 + x, y)) << x << "," << y;
    expectMapping();

    vekScrollSpriteContextAbs(ctx, win.dc, 680, 0);
    EXPECT_EQ(scroll(50, 0), 0u);
    vekScrollSpriteContextAbs(ctx, win.dc, 670, 0);
    EXPECT_EQ(scroll(50, 0), 10u) << "only what the world allows";
    EXPECT_EQ(ctx->scrollX, 680);
    EXPECT_EQ(vekScrollSpriteContextAbs(ctx, win.dc, 680, 0), 0u);

    vekScrollSpriteContextAbs(ctx, win.dc, 0, 10);
    EXPECT_EQ(scroll(0, -3), 0xFFFD0000u) << "dy in the high word as 16-bit two's complement";
    expectMapping();
}

TEST_F(Scroll, DiagonalStripsKeepTheBufferTrue)
{
    make();
    vekScrollSpriteContextAbs(ctx, win.dc, 400, 300);
    std::mt19937 rng(7);
    for (int step = 0; step < 40 && !HasFatalFailure(); step++) {
        const LONG dx = static_cast<LONG>(rng() % 61) - 30, dy = static_cast<LONG>(rng() % 41) - 20;
        ASSERT_NE(scroll(dx, dy), 0u);
        ASSERT_NE(ctx->updateFlags & VEK_UPDATE_SCROLLED, 0) << "strips, not a full render";
        expectMapping();
        vekUpdateSpriteContext(ctx, win.dc);
    }
}

TEST_F(Scroll, LargeMoveRendersEverythingAndLeavesSprites)
{
    make();
    LPVEKSPRITE s = vekCreateSprite(ctx, images.raw(4, 4, 50), 100, 50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    scroll(15, 25);
    vekSetSpriteContextRedraw(ctx, 0);
    EXPECT_EQ(scroll(400, 0), 400u);
    EXPECT_EQ(ctx->wrapX, 0);
    EXPECT_EQ(ctx->wrapY, 0);
    EXPECT_EQ(s->x, 85) << "moved by the strip scroll only";
    EXPECT_NE(ctx->updateFlags & VEK_UPDATE_REPAINT, 0) << "suppressed redraw leaves the repaint to the update";
    expectMapping();

    vekSetSpriteContextRedraw(ctx, 1);
    EXPECT_EQ(scroll(-400, 0), static_cast<DWORD>(0xFE70));
    EXPECT_EQ(ctx->updateFlags, 0) << "the window was updated at once";
    EXPECT_EQ(win.at(0, 0), world(15, 25));
    EXPECT_EQ(win.at(319, 199), world(334, 224));
}

TEST_F(Scroll, WorldNarrowerThanTheViewIsForced)
{
    worldW = 200;
    make();
    EXPECT_EQ(scroll(0, 10), static_cast<DWORD>(10 << 16 | 0xFF88)) << "dx is the clamped -120";
    EXPECT_EQ(ctx->scrollX, 0);
    EXPECT_EQ(ctx->scrollY, 10);
    for (LONG y = 0; y < kH; y += 9) {
        EXPECT_EQ(bufferAt(0, y), world(0, y + 10));
        EXPECT_EQ(bufferAt(199, y), world(199, y + 10));
        EXPECT_EQ(bufferAt(200, y), kMapColour);
        EXPECT_EQ(bufferAt(319, y), kMapColour);
    }
    EXPECT_EQ(map.entries[0].reserved, kMapColour) << "the header's colour is restored";
}

TEST_F(Scroll, CompositionAsWideAsTheWrappedBuffer)
{
    make(kW, kH);
    scroll(10, 6);
    vekRedrawSpriteContext(ctx, win.dc);
    for (LONG y = 0; y < kH; y += 5)
        for (LONG x = 0; x < kW; x++) ASSERT_EQ(win.at(x, y), world(10 + x, 6 + y)) << x << "," << y;
}

TEST_F(Scroll, WithoutTileMapOnlySpritesMove)
{
    make(64, 48, 0);
    LPVEKSPRITE s = vekCreateSprite(ctx, images.raw(4, 4, 50), 100, 50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    EXPECT_EQ(scroll(5, -7), 0u);
    EXPECT_EQ(s->x, 95);
    EXPECT_EQ(s->y, 57);
    EXPECT_EQ(s->target.top, 57);
    EXPECT_EQ(ctx->scrollX, 0);
}

// The tile renderer, seen through the buffer it renders.
struct Tiles : Scroll {
    void makeWith(std::initializer_list<VEKTILE> list, SHORT skip)
    {
        grid = false;
        worldW = 330;
        worldH = kH;
        tiles.push_back(images.raw(40, kH, 120, true));
        for (const VEKTILE &t : list) map.add(t.left, t.top, t.right, t.bottom, t.image);
        reinterpret_cast<VEKTILEMAPHEADER *>(&map.entries[0])->skipCount = skip;
        make();
    }
};

TEST_F(Tiles, TouchingTileIsNotDrawn)
{
    makeWith({VEKTILE{0, 300, 0, 320, 200, 8}}, 0);
    ASSERT_EQ(scroll(10, 0), 10u);
    EXPECT_EQ(bufferAt(0, 5), kMapColour) << "its right edge only touches the strip";
    EXPECT_EQ(bufferAt(319, 5), images.of(tiles[8]).at(19, 5));
}

TEST_F(Tiles, OverlappingTileIsDrawnAtItsImageSize)
{
    makeWith({VEKTILE{0, 300, 0, 321, 200, 8}}, 0);
    ASSERT_EQ(scroll(10, 0), 10u);
    EXPECT_EQ(bufferAt(0, 5), images.of(tiles[8]).at(20, 5));
    EXPECT_EQ(bufferAt(9, 5), images.of(tiles[8]).at(29, 5));
}

TEST_F(Tiles, SkipCountStartsLaterAndDropsTheColour)
{
    for (LONG y = 0; y < kH; y++)
        for (LONG x = 0; x < kW; x++) *rt::rawPixel(buffer, x, y) = 99;
    makeWith({VEKTILE{0, 0, 0, 40, 200, 8}, VEKTILE{0, 40, 0, 80, 200, 8}, VEKTILE{0, 80, 0, 120, 200, 8}}, 2);
    EXPECT_EQ(bufferAt(5, 3), 99) << "entry 1 passed over";
    EXPECT_EQ(bufferAt(45, 3), 99) << "entry 2 passed over";
    EXPECT_EQ(bufferAt(85, 3), images.of(tiles[8]).at(5, 3));
    EXPECT_EQ(bufferAt(200, 3), 99) << "no fill with the map's colour";
}

}  // namespace
