// The whole engine against a from-scratch composition. A harness keeps a
// scene in a window: after every update each window pixel of the playfield
// must show what the scene says (the background colour, image or
// tile-mapped world at the scroll position, under every live sprite in draw
// order). Random scenes are changed step by step; scripted steps paint a
// sentinel colour first, so that what an update repaints and what it
// leaves alone can be told apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "support/palette_window.h"
#include "support/rle_reference.h"

using namespace support;

namespace {

constexpr LONG kView = 160, kViewH = 120;     // window, background and view
constexpr LONG kWorldW = 480, kWorldH = 360;  // tile-mapped world
constexpr int kSentinel = 240, kMapColour = 77;

enum class Background { Colour, Image, Tiles };

struct Config {
    Background background;
    LONG offscreenWidth, offscreenHeight;
    const char *name;
    bool dd = false;  // device-dependent off-screen image, sprites and background
};

void PrintTo(const Config &c, std::ostream *out) { *out << c.name; }

// A window rectangle, right and bottom exclusive.
struct Area {
    LONG left, top, right, bottom;
};

class Harness : public ::testing::Test {
protected:
    void TearDown() override
    {
        vekDeleteSpriteContext(ctx);
        for (HSPRITEDATA dd : ddImages) vekDeleteSpriteData(dd);
    }

    void make(const Config &c, SHORT skip = 0)
    {
        config = c;
        for (int i = 0; i < 6; i++) tiles.push_back(raw(40, 30, 10 + 30 * i, true));
        tiles.push_back(raw(24, 24, 200, true));
        tiles.push_back(raw(40, kViewH, 120, true));
        auto *header = reinterpret_cast<VEKTILEMAPHEADER *>(&map[0]);
        header->backgroundColor = kMapColour;
        header->skipCount = skip;
        backdrop = raw(kView, kViewH, 100, true);
        if (c.dd) backdrop = ddOf(backdrop);
        VEKCONTEXTPARAMS p{};
        p.window = win.window;
        p.dc = win.dc;
        p.backgroundColor = 33;
        p.backgroundWidth = kView;
        p.backgroundHeight = kViewH;
        p.offscreenWidth = c.offscreenWidth;
        p.offscreenHeight = c.offscreenHeight;
        p.maxSprites = 48;
        p.palette = win.palette;
        if (c.dd) p.options = VEK_OPTION_DD_OFFSCREEN;
        if (c.background == Background::Image) p.backgroundImage = backdrop;
        if (c.background == Background::Tiles) {
            p.options = VEK_OPTION_TILEMAP;
            p.backgroundImage = buffer;
            p.tileMap = map.data();
            p.imageTable = tiles.data();
            p.worldWidth = worldW;
            p.worldHeight = kWorldH;
        }
        ctx = vekCreateSpriteContextEx(&p);
        ASSERT_NE(ctx, nullptr);
    }
    // The world of tiles: a grid with holes, where the map's colour shows,
    // and smaller tiles on top, later ones covering earlier ones.
    void tileGrid()
    {
        for (LONG ty = 0; ty < kWorldH; ty += 30)
            for (LONG tx = 0; tx + 40 <= worldW; tx += 40)
                if ((tx / 40 + ty / 30) % 7 != 3) addTile(tx, ty, tx + 40, ty + 30, (tx / 40 * 5 + ty / 30) % 6);
        for (int i = 0; i < 12; i++) {
            const LONG x = static_cast<LONG>(rng() % (worldW - 24)), y = static_cast<LONG>(rng() % (kWorldH - 24));
            addTile(x, y, x + 24, y + 24, 6);
        }
    }
    void addTile(LONG left, LONG top, LONG right, LONG bottom, LONG image)
    {
        map.push_back(VEKTILE{0, SHORT(left), SHORT(top), SHORT(right), SHORT(bottom), SHORT(image)});
        reinterpret_cast<VEKTILEMAPHEADER *>(&map[0])->lastTile = static_cast<SHORT>(map.size() - 1);
    }

    HSPRITEDATA keep(Record r, Decoded d)
    {
        decoded.emplace_back(r.get(), std::move(d));
        records.push_back(std::move(r));
        return records.back();
    }
    // A raw image of one index, or of a pattern of indices from base on.
    HSPRITEDATA raw(LONG w, LONG h, int base, bool pattern = false, WORD flags = 0)
    {
        Record r = rawOf(w, h, [&](LONG x, LONG y) { return pattern ? base + (x * 3 + y * 5) % 40 : base; });
        r.setFlags(flags);
        Decoded d = decodeRaw(r);
        return keep(std::move(r), std::move(d));
    }
    // A random RLE image whose rows start with a skip: runs and absolute
    // runs of indices from base on, separated by skips.
    HSPRITEDATA rle(LONG w, LONG h, int base, WORD flags = 0)
    {
        Bytes s;
        for (LONG y = 0; y < h; y++) {
            LONG x = static_cast<LONG>(rng() % 3);
            skip(s, static_cast<unsigned>(x));
            while (x < w) {
                const LONG n = std::min<LONG>(w - x, 1 + static_cast<LONG>(rng() % 6));
                Bytes lit;
                for (LONG i = 0; i < n; i++) lit.push_back(static_cast<BYTE>(base + rng() % 40));
                if (n < 3 || rng() % 2) run(s, static_cast<unsigned>(n), lit[0]);
                else absolute(s, lit);
                x += n;
                const LONG gap = std::min<LONG>(w - x, static_cast<LONG>(rng() % 4));
                if (gap) skip(s, static_cast<unsigned>(gap));
                x += gap;
            }
            endRow(s);
        }
        endImage(s);
        Record r = makeRle(w, h, s, flags);
        Decoded d = decodeRecord(r);
        return keep(std::move(r), std::move(d));
    }
    // A DD record made by the library from (a copy of) a DI one: a raw image
    // without a mask, an RLE one with the mask of its transparent pixels.
    HSPRITEDATA ddOf(HSPRITEDATA di)
    {
        PALETTEENTRY entries[256];
        GetPaletteEntries(win.palette, 0, 256, entries);
        Record copy = blockOf(Bytes(di + 4, di + 4 + get32(di, 0)));
        HSPRITEDATA dd = vekDISpriteToDDSprite(win.dc, copy.release(), entries, get32(di, kCompression) == BI_RLE8);
        Decoded d = pixelsOf(di);
        decoded.emplace_back(dd, std::move(d));
        ddImages.push_back(dd);
        return dd;
    }
    const Decoded &pixelsOf(HSPRITEDATA image) const
    {
        for (const auto &[r, d] : decoded)
            if (r == image) return d;
        static const Decoded none;
        return none;
    }

    // The scene's background: the colour, the image, or the map's colour
    // under the tiles in map order (later ones cover earlier ones).
    std::vector<int> scene() const
    {
        std::vector<int> field(static_cast<size_t>(kView * kViewH), static_cast<int>(ctx->backgroundColor));
        if (config.background == Background::Image) {
            const Decoded &d = pixelsOf(backdrop);
            for (LONG y = 0; y < kViewH; y++)
                for (LONG x = 0; x < kView; x++) field[static_cast<size_t>(y * kView + x)] = d.at(x, y);
        }
        if (config.background == Background::Tiles) {
            std::fill(field.begin(), field.end(), kMapColour);
            for (size_t e = 1; e < map.size(); e++) {
                const Decoded &d = pixelsOf(tiles[static_cast<size_t>(map[e].image)]);
                for (LONG v = 0; v < d.height; v++)
                    for (LONG u = 0; u < d.width; u++) {
                        const LONG x = map[e].left + u - ctx->scrollX, y = map[e].top + v - ctx->scrollY;
                        if (x >= 0 && x < kView && y >= 0 && y < kViewH)
                            field[static_cast<size_t>(y * kView + x)] = d.at(u, v);
                    }
            }
        }
        std::vector<const VEKSPRITE *> live;
        for (LONG i = 0; i < ctx->maxSprites; i++) {
            const VEKSPRITE &s = ctx->spriteSlots[i];
            if (s.inUse && !(s.stateFlags & VEK_SPRITE_DELETED)) live.push_back(&s);
        }
        std::stable_sort(live.begin(), live.end(),
                         [](const VEKSPRITE *a, const VEKSPRITE *b) { return a->priority < b->priority; });
        for (const VEKSPRITE *s : live) {
            const Decoded &d = pixelsOf(s->image);
            const bool mirror =
                !config.dd && (s->anchorFlags & VEK_ANCHOR_MIRROR) && (get16(s->image, kFlags) & VEK_IMAGE_MIRRORABLE);
            for (LONG v = 0; v < d.height; v++)
                for (LONG u = 0; u < d.width; u++) {
                    const LONG x = s->x + u, y = s->y + v;
                    const int c = d.at(mirror ? d.width - 1 - u : u, v);
                    if (c != kClear && x >= 0 && x < kView && y >= 0 && y < kViewH)
                        field[static_cast<size_t>(y * kView + x)] = c;
                }
        }
        return field;
    }

    // Updates (or runs update) and compares what the window shows. With
    // sentinel, the window is painted with it first: every pixel must then
    // show the scene or the sentinel, the scene in every area of repainted,
    // the sentinel in every area of untouched and outside the playfield.
    template <typename Update>
    void check(const std::string &step, Update update, bool sentinel = false,
               std::initializer_list<Area> repainted = {}, std::initializer_list<Area> untouched = {})
    {
        if (sentinel) win.paint(kSentinel);
        update();
        ASSERT_EQ(ctx->updateFlags, 0) << step;
        const std::vector<int> field = scene();
        auto inside = [](const std::initializer_list<Area> &areas, LONG x, LONG y) {
            for (const Area &a : areas)
                if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return true;
            return false;
        };
        for (LONG wy = 0; wy < kViewH; wy++)
            for (LONG wx = 0; wx < kView; wx++) {
                const LONG px = wx - ctx->originX, py = wy - ctx->originY;
                const bool onField = px >= 0 && px < kView && py >= 0 && py < kViewH;
                const int shown = win.at(wx, wy), want = onField ? field[static_cast<size_t>(py * kView + px)] : -2;
                // Made only for a failure's message.
                const auto where = [&] {
                    return "window (" + std::to_string(wx) + ", " + std::to_string(wy) + ") " + step;
                };
                if (!sentinel) {
                    if (onField) {
                        ASSERT_EQ(shown, want) << where();
                    }
                } else if (inside(untouched, wx, wy) || !onField) {
                    ASSERT_EQ(shown, kSentinel) << where() << " is repainted";
                } else if (inside(repainted, wx, wy)) {
                    ASSERT_EQ(shown, want) << where() << " shows no scene";
                } else {
                    ASSERT_TRUE(shown == want || shown == kSentinel) << where() << " shows " << shown;
                }
            }
    }
    void update(const std::string &step, bool sentinel = false, std::initializer_list<Area> repainted = {},
                std::initializer_list<Area> untouched = {})
    {
        check(step, [&] { vekUpdateSpriteContext(ctx, win.dc); }, sentinel, repainted, untouched);
    }

    LPVEKSPRITE sprite(LONG x, LONG y, HSPRITEDATA image)
    {
        return vekCreateSprite(ctx, image, x, y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 0, 0);
    }
    void move(LPVEKSPRITE s, LONG dx, LONG dy, HSPRITEDATA image = nullptr)
    {
        vekAnimateSprite(ctx, s, image, dx, dy, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    }

    PaletteWindow win{kView, kViewH};
    Config config{};
    std::vector<Record> records;
    std::vector<std::pair<HSPRITEDATA, Decoded>> decoded;
    std::vector<VEKTILE> map{VEKTILE{}};  // entry 0 is the header
    std::vector<HSPRITEDATA> tiles, pool, ddImages;
    HSPRITEDATA backdrop = nullptr;
    Record buffer = makeRaw(kView, kViewH);
    LONG worldW = kWorldW;
    LPVEKCONTEXT ctx = nullptr;
    std::mt19937 rng{12345};
};

class Engine : public Harness, public ::testing::WithParamInterface<Config> {
protected:
    LPVEKSPRITE anySprite()
    {
        std::vector<LPVEKSPRITE> live;
        for (LONG i = 0; i < ctx->maxSprites; i++)
            if (ctx->spriteSlots[i].inUse && !(ctx->spriteSlots[i].stateFlags & VEK_SPRITE_DELETED))
                live.push_back(&ctx->spriteSlots[i]);
        return live.empty() ? nullptr : live[rng() % live.size()];
    }
    LONG between(LONG lo, LONG hi) { return lo + static_cast<LONG>(rng() % static_cast<unsigned>(hi - lo + 1)); }
    LONG anchor(bool mirror) const { return VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP | (mirror ? VEK_ANCHOR_MIRROR : 0); }

    // One random change of the scene.
    void change()
    {
        LPVEKSPRITE s = anySprite();
        const unsigned op = rng() % 20;
        HSPRITEDATA image = pool[rng() % pool.size()];
        if (op < 4 || !s) {
            const LONG x = between(-20, kView), y = between(-20, kViewH);
            vekCreateSprite(ctx, image, x, y, anchor(rng() % 4 == 0), between(-3, 3), rng() % 2 ? VEK_SPRITE_CHANGED : 0);
        } else if (op < 9) {
            vekAnimateSprite(ctx, s, nullptr, between(-6, 6), between(-6, 6), static_cast<SHORT>(s->anchorFlags));
        } else if (op < 11) {
            const LONG x = between(-30, kView + 10);
            vekAnimateSpriteAbs(ctx, s, nullptr, x, between(-30, kViewH + 10), static_cast<SHORT>(s->anchorFlags));
        } else if (op < 13) {
            vekAnimateSprite(ctx, s, image, 0, 0, static_cast<SHORT>(s->anchorFlags));
        } else if (op < 14) {
            vekAnimateSprite(ctx, s, nullptr, 0, 0, anchor(!(s->anchorFlags & VEK_ANCHOR_MIRROR)));
        } else if (op < 16) {
            vekDeleteSprite(ctx, s);
        } else if (op < 17) {
            if (rng() % 2) vekSetSpritePriority(ctx, s, between(-3, 3));
            else vekSetSpritePriorityNosort(ctx, s, between(-3, 3));
        } else if (op < 18 && rng() % 3 == 0) {
            const LONG x = between(-12, 12);
            vekSetSpriteContextOrigin(ctx, x, between(-12, 12));
        } else if (config.background == Background::Tiles) {
            const bool big = rng() % 8 == 0;
            const LONG dx = big ? between(-200, 200) : between(-25, 25), dy = big ? between(-150, 150) : between(-20, 20);
            vekScrollSpriteContext(ctx, win.dc, rng() % 3 ? dx : 0, rng() % 3 ? dy : 0);
        } else if (config.background == Background::Colour) {
            vekSetSpriteContextBackgroundColor(ctx, static_cast<DWORD>(between(10, 239)));
        } else {
            vekSetSpriteContextBackground(ctx, backdrop);
        }
    }
};

TEST_P(Engine, MatchesTheSceneAfterEveryUpdate)
{
    tileGrid();
    make(GetParam());
    for (int i = 0; i < (config.dd ? 6 : 4); i++) {
        HSPRITEDATA image = config.dd && i % 2 ? rle(6 + 5 * i, 4 + 3 * i, 60 + 20 * i)
                                               : raw(6 + 5 * i, 4 + 3 * i, 60 + 20 * i, true, config.dd ? 0 : i % 2);
        pool.push_back(config.dd ? ddOf(image) : image);
    }
    for (int i = 0; !config.dd && i < 4; i++)
        pool.push_back(rle(8 + 6 * i, 5 + 4 * i, 20 + 40 * i, i < 2 ? VEK_IMAGE_MIRRORABLE : 0));
    update("first");
    for (int step = 1; step <= 80 && !HasFatalFailure(); step++) {
        for (unsigned n = 1 + rng() % 4; n > 0; n--) change();
        update("after step " + std::to_string(step));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, Engine,
    ::testing::Values(Config{Background::Colour, 48, 40, "ColourSmallOffscreen"},
                      Config{Background::Colour, kView, kViewH, "ColourWholeOffscreen"},
                      Config{Background::Image, 40, 36, "ImageSmallOffscreen"},
                      Config{Background::Image, kView, kViewH, "ImageWholeOffscreen"},
                      Config{Background::Tiles, 48, 40, "TilesSmallOffscreen"},
                      Config{Background::Tiles, kView, kViewH, "TilesWholeOffscreen"},
                      Config{Background::Colour, 48, 40, "DDColourSmallOffscreen", true},
                      Config{Background::Colour, kView, kViewH, "DDColourWholeOffscreen", true},
                      Config{Background::Image, 40, 36, "DDImageSmallOffscreen", true},
                      Config{Background::Image, kView, kViewH, "DDImageWholeOffscreen", true}),
    [](const ::testing::TestParamInfo<Config> &info) { return std::string(info.param.name); });

TEST_F(Harness, RepaintsTheChangedPlacesOnly)
{
    make({Background::Colour, 64, 48, "script"});
    HSPRITEDATA red = raw(8, 8, 50), blue = raw(8, 8, 60);
    LPVEKSPRITE a = sprite(10, 10, red), b = sprite(21, 10, red);
    update("first");
    update("no change", true, {}, {{0, 0, kView, kViewH}});
    // A move repaints the union of the old and new places.
    move(a, 2, 0);
    update("move", true, {{10, 10, 20, 18}}, {{20, 10, 21, 18}, {10, 18, 20, 19}});
    // Changed neighbours less than 4 pixels apart merge: the 1-pixel gap
    // between a (12..19) and b (21..28) is repainted.
    move(a, 0, 0, blue);
    move(b, 0, 0, blue);
    update("merged neighbours", true, {{12, 10, 29, 18}}, {{29, 10, kView, 18}});
    // 4 pixels apart they do not: the gap stays.
    move(b, 3, 0, red);
    update("move apart", true);
    move(a, 0, 0, red);
    move(b, 0, 0, blue);
    update("separate neighbours", true, {{12, 10, 20, 18}, {24, 10, 32, 18}}, {{20, 10, 24, 18}});

    // A deleted sprite is restored from what lies below and freed.
    LPVEKSPRITE top = sprite(14, 14, raw(8, 8, 70));
    update("create", true, {{14, 14, 22, 22}});
    vekDeleteSprite(ctx, top);
    update("delete", true, {{14, 14, 22, 22}}, {{22, 22, 23, 23}});
    EXPECT_FALSE(top->inUse) << "released by the update";

    // A clipped update repaints only inside the clip.
    move(a, 2, 0);
    RECT clip{0, 0, 16, kViewH};
    check("clipped", [&] { vekUpdateSpriteContextClipped(ctx, win.dc, &clip); }, true, {{12, 10, 16, 18}},
          {{16, 0, kView, kViewH}});
    // A redraw repaints everything.
    check("redraw", [&] { vekRedrawSpriteContext(ctx, win.dc); }, true, {{0, 0, kView, kViewH}});

    // The origin moves the playfield; the window left of and above it is
    // not painted; the view reaches the playfield's far edges.
    vekSetSpriteContextOrigin(ctx, 20, 10);
    update("origin", true, {{20, 10, kView, kViewH}});
    vekSetSpriteContextOrigin(ctx, -4, -2);
    update("negative origin", true, {{0, 0, kView - 4, kViewH - 2}});

    // A sprite moved wholly outside the view keeps its shown place.
    LPVEKSPRITE away = sprite(-100, -100, red);
    update("outside", true);
    vekAnimateSpriteAbs(ctx, away, nullptr, -50, -50, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update("outside", true, {}, {{0, 0, kView, kViewH}});
    EXPECT_EQ(away->shown.left, -100) << "not repainted, so not moved";
}

// Most of a crowded view changed: composed at once, gaps included; one
// sprite changed: only its place, as before.
class Crowd : public Harness, public ::testing::WithParamInterface<Config> {};

TEST_P(Crowd, ComposesTheViewOnceWhenMostOfItChanged)
{
    make(GetParam());
    HSPRITEDATA image = raw(8, 8, 50, true);
    std::vector<LPVEKSPRITE> sprites;
    for (LONG y = 2; y < kViewH; y += 20)
        for (LONG x = 2; x < kView; x += 20) sprites.push_back(sprite(x, y, image));
    update("first");
    for (LPVEKSPRITE s : sprites) move(s, 1, 1);
    update("all moved", true, {{0, 0, kView, kViewH}});
    move(sprites[0], 1, 0);
    update("one moved", true, {{3, 3, 12, 11}}, {{0, 0, kView, 3}, {20, 0, kView, kViewH}});
}

INSTANTIATE_TEST_SUITE_P(Views, Crowd,
                         ::testing::Values(Config{Background::Image, kView, kViewH, "WholeOffscreen"},
                                           Config{Background::Colour, 48, 40, "SmallOffscreen"}),
                         [](const ::testing::TestParamInfo<Config> &info) { return std::string(info.param.name); });

TEST_F(Harness, FarMovesAndLargeSprites)
{
    make({Background::Image, 32, 32, "script"});
    HSPRITEDATA image = raw(8, 8, 50);
    LPVEKSPRITE s = sprite(0, 0, image), big = sprite(60, 40, raw(100, 50, 60, true));
    update("first");
    // Too far for the off-screen image: both places, nothing between.
    vekAnimateSpriteAbs(ctx, s, nullptr, 40, 20, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    update("far move", true, {{0, 0, 8, 8}, {40, 20, 48, 28}}, {{8, 0, 40, 20}});
    // Larger than the off-screen image: drawn whole.
    move(big, 1, 0);
    update("large sprite", true, {{61, 40, kView, 90}});
}

TEST_F(Harness, ScrollsATileMappedWorld)
{
    tileGrid();
    make({Background::Tiles, 48, 40, "script"});
    LPVEKSPRITE s = sprite(100, 50, raw(4, 4, 50));
    update("first");
    auto scroll = [&](LONG dx, LONG dy) { return vekScrollSpriteContext(ctx, win.dc, dx, dy); };
    EXPECT_EQ(scroll(-5, 0), 0u) << "kept inside the world";
    EXPECT_EQ(scroll(10, 0), 10u);
    EXPECT_EQ(s->shown.right, 94) << "sprites move with the world";
    EXPECT_NE(ctx->updateFlags & VEK_UPDATE_SCROLLED, 0) << "strips, not a full render";
    update("strip scroll");
    vekScrollSpriteContextAbs(ctx, win.dc, 300, 0);
    EXPECT_EQ(scroll(50, 0), 20u) << "only what the world allows";
    EXPECT_EQ(vekScrollSpriteContextAbs(ctx, win.dc, 320, 0), 0u);
    vekScrollSpriteContextAbs(ctx, win.dc, 0, 10);
    EXPECT_EQ(scroll(0, -3), 0xFFFD0000u) << "dy in the high word as 16-bit two's complement";
    update("scrolled back");
    const LONG x = s->x;
    vekSetSpriteContextRedraw(ctx, 0);
    EXPECT_EQ(scroll(200, 0), 200u);
    EXPECT_EQ(s->x, x) << "a full render leaves the sprites";
    EXPECT_NE(ctx->updateFlags & VEK_UPDATE_REPAINT, 0) << "suppressed redraw leaves the repaint to the update";
    update("large scroll");
    vekSetSpriteContextRedraw(ctx, 1);
    check("large scroll, window updated at once", [&] { EXPECT_EQ(scroll(-200, 0), 0xFF38u); }, true,
          {{0, 0, kView, kViewH}});
}

TEST_F(Harness, ScrollsAWorldNarrowerThanTheView)
{
    worldW = 100;
    tileGrid();
    make({Background::Tiles, kView, kViewH, "script"});
    update("first");
    EXPECT_EQ(vekScrollSpriteContext(ctx, win.dc, 0, 10), static_cast<DWORD>(10 << 16 | 0xFFC4))
        << "dx is the clamped -60";
    EXPECT_EQ(ctx->scrollX, 0);
    EXPECT_EQ(reinterpret_cast<VEKTILEMAPHEADER *>(&map[0])->backgroundColor, kMapColour)
        << "the header's colour is restored";
    update("narrow world");
}

// Tile image 7 is 40 x 120. A tile whose declared right edge only touches a
// strip exposed by a scroll is not drawn there; one that overlaps it is
// drawn at its image's size.
TEST_F(Harness, TilesOverlappingAStripAreDrawnAtImageSize)
{
    addTile(kView - 20, 0, kView, 60, 7);
    addTile(kView - 20, 60, kView + 1, kViewH, 7);
    make({Background::Tiles, 48, 40, "script"});
    vekUpdateSpriteContext(ctx, win.dc);
    ASSERT_EQ(vekScrollSpriteContext(ctx, win.dc, 10, 0), 10u);
    EXPECT_EQ(*rawPixel(buffer, 5, 30), kMapColour) << "a tile touching the strip";
    EXPECT_EQ(*rawPixel(buffer, 5, 90), pixelsOf(tiles[7]).at(25, 30)) << "an overlapping one";
}

// The first skip-count entries are passed over, and the map's colour is
// not painted.
TEST_F(Harness, SkipCountStartsLaterAndDropsTheColour)
{
    std::fill(buffer.get() + kPixels, buffer.get() + buffer.blockSize(), 99);
    addTile(0, 0, 40, kViewH, 7);
    addTile(40, 0, 80, kViewH, 7);
    make({Background::Tiles, 48, 40, "script"}, 1);
    vekUpdateSpriteContext(ctx, win.dc);
    EXPECT_EQ(*rawPixel(buffer, 5, 3), 99) << "entry 1 passed over";
    EXPECT_EQ(*rawPixel(buffer, 45, 3), pixelsOf(tiles[7]).at(5, 3));
    EXPECT_EQ(*rawPixel(buffer, 100, 3), 99) << "no fill with the map's colour";
}

}  // namespace
