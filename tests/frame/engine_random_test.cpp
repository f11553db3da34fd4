// The whole engine against a from-scratch composition: random scenes are
// changed step by step (sprites created, moved, re-imaged, mirrored,
// deleted and re-prioritised; origins, backgrounds and scrolls), the window
// is updated after every step and read back, and every pixel of the
// playfield it shows must be what the scene says: the background (colour,
// image or tile-mapped world at the scroll position) under every live
// sprite in draw order.
#include <algorithm>
#include <sstream>
#include <string>
#include <utility>

#include "frame/scene.h"

namespace {

constexpr LONG kView = 160, kViewH = 120;        // window, background and view
constexpr LONG kWorldW = 480, kWorldH = 360;     // tile-mapped world
constexpr LONG kTileW = 40, kTileH = 30;

enum class Background { Colour, Image, Tiles };

struct Config {
    Background background;
    LONG offscreenWidth, offscreenHeight;
    const char *name;
    bool dd = false;  // device-dependent off-screen image, sprites and background
};

void PrintTo(const Config &c, std::ostream *out) { *out << c.name; }

class Engine : public ::testing::TestWithParam<Config> {
protected:
    void SetUp() override
    {
        const Config &c = GetParam();
        // Tiles: a grid with holes (the map's colour shows there) and a few
        // smaller tiles on top, later ones covering earlier ones.
        for (int i = 0; i < 6; i++) tiles.push_back(images.raw(kTileW, kTileH, 10 + 30 * i, true));
        tiles.push_back(images.raw(24, 24, 200, true));
        for (LONG ty = 0; ty < kWorldH; ty += kTileH)
            for (LONG tx = 0; tx < kWorldW; tx += kTileW)
                if ((tx / kTileW + ty / kTileH) % 7 != 3)
                    map.add(SHORT(tx), SHORT(ty), SHORT(tx + kTileW), SHORT(ty + kTileH),
                            SHORT((tx / kTileW * 5 + ty / kTileH) % 6));
        for (int i = 0; i < 12; i++) {
            const SHORT x = SHORT(rng() % (kWorldW - 24)), y = SHORT(rng() % (kWorldH - 24));
            map.add(x, y, SHORT(x + 24), SHORT(y + 24), 6);
        }
        buffer = rt::makeRaw(kView, kViewH);
        if (c.dd) {
            backdrop = ddImage(kView, kViewH, 100, false);
            for (int i = 0; i < 6; i++) pool.push_back(ddImage(6 + 5 * i, 4 + 3 * i, 60 + 20 * i, i % 2 == 1));
        } else {
            backdrop = images.raw(kView, kViewH, 100, true);
            for (int i = 0; i < 4; i++) pool.push_back(images.raw(6 + 5 * i, 4 + 3 * i, 60 + 20 * i, true, i % 2));
            for (int i = 0; i < 4; i++)
                pool.push_back(images.rle(8 + 6 * i, 5 + 4 * i, 20 + 40 * i, rng, i < 2 ? VEK_IMAGE_MIRRORABLE : 0));
        }

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
            p.tileMap = map.get();
            p.imageTable = tiles.data();
            p.worldWidth = kWorldW;
            p.worldHeight = kWorldH;
        }
        ctx = vekCreateSpriteContextEx(&p);
        ASSERT_NE(ctx, nullptr);
    }
    void TearDown() override
    {
        vekDeleteSpriteContext(ctx);
        for (HSPRITEDATA dd : ddImages) vekDeleteSpriteData(dd);
    }

    // A DD record of w x h painted in vertical stripes of indices from base
    // on; masked ones are opaque only inside an ellipse (the image is black
    // outside it, as the mask-then-image blit needs).
    HSPRITEDATA ddImage(LONG w, LONG h, int base, bool masked)
    {
        auto dd = reinterpret_cast<HSPRITEDATA>(vekCreateSpriteDataEx(win.dc, w, h, 1));
        ddImages.push_back(dd);
        rt::Decoded d;
        d.width = w;
        d.height = h;
        HBITMAP mask = masked ? CreateBitmap(w, h, 1, 1, nullptr) : nullptr;
        HDC memory = CreateCompatibleDC(win.dc);
        HPALETTE oldPalette = SelectPalette(memory, win.palette, FALSE);
        RealizePalette(memory);
        HGDIOBJ old = SelectObject(memory, reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(rt::get32(dd, 10))));
        HDC maskDC = CreateCompatibleDC(win.dc);
        HGDIOBJ oldMask = mask ? SelectObject(maskDC, mask) : nullptr;
        for (LONG y = 0; y < h; y++)
            for (LONG x = 0; x < w; x++) {
                const double ex = (x + 0.5) / w - 0.5, ey = (y + 0.5) / h - 0.5;
                const bool opaque = !masked || ex * ex + ey * ey < 0.25;
                const int colour = base + (x / 3) % 8;
                d.pixels.push_back(opaque ? colour : rt::kClear);
                SetPixel(memory, x, y, opaque ? PALETTEINDEX(colour) : RGB(0, 0, 0));
                if (mask) SetPixel(maskDC, x, y, opaque ? RGB(0, 0, 0) : RGB(255, 255, 255));
            }
        if (mask) SelectObject(maskDC, oldMask);
        DeleteDC(maskDC);
        SelectObject(memory, old);
        SelectPalette(memory, oldPalette, FALSE);
        DeleteDC(memory);
        if (mask) rt::put32(dd, 6, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(mask)));
        ddDecoded.emplace_back(dd, std::move(d));
        return dd;
    }
    const rt::Decoded &pixelsOf(HSPRITEDATA image) const
    {
        for (const auto &[dd, d] : ddDecoded)
            if (dd == image) return d;
        return images.of(image);
    }
    bool mirrors(const VEKSPRITE &s) const
    {
        return !GetParam().dd && (s.anchorFlags & VEK_ANCHOR_MIRROR) && (rt::get16(s.image, rt::kFlags) & 1);
    }

    // The scene's pixel at playfield (px, py).
    int background(LONG px, LONG py) const
    {
        if (GetParam().background == Background::Colour) return static_cast<int>(ctx->backgroundColor);
        if (GetParam().background == Background::Image) return pixelsOf(backdrop).at(px, py);
        const LONG wx = ctx->scrollX + px, wy = ctx->scrollY + py;
        int c = reinterpret_cast<const VEKTILEMAPHEADER *>(&map.entries[0])->backgroundColor;
        for (size_t e = 1; e < map.entries.size(); e++) {
            const VEKTILE &t = map.entries[e];
            const rt::Decoded &d = images.of(tiles[static_cast<size_t>(t.image)]);
            if (wx >= t.left && wx < t.left + d.width && wy >= t.top && wy < t.top + d.height)
                c = d.at(wx - t.left, wy - t.top);
        }
        return c;
    }

    std::vector<int> expected() const
    {
        std::vector<int> field(static_cast<size_t>(kView * kViewH));
        for (LONG y = 0; y < kViewH; y++)
            for (LONG x = 0; x < kView; x++) field[static_cast<size_t>(y * kView + x)] = background(x, y);
        std::vector<const VEKSPRITE *> live;
        for (LONG i = 0; i < ctx->maxSprites; i++) {
            const VEKSPRITE &s = ctx->spriteSlots[i];
            if (s.inUse && !(s.stateFlags & VEK_SPRITE_DELETED)) live.push_back(&s);
        }
        std::stable_sort(live.begin(), live.end(),
                         [](const VEKSPRITE *a, const VEKSPRITE *b) { return a->priority < b->priority; });
        for (const VEKSPRITE *s : live) {
            const rt::Decoded &d = pixelsOf(s->image);
            const bool mirror = mirrors(*s);
            for (LONG v = 0; v < d.height; v++)
                for (LONG u = 0; u < d.width; u++) {
                    const LONG x = s->x + u, y = s->y + v;
                    const int c = d.at(mirror ? d.width - 1 - u : u, v);
                    if (c != rt::kClear && x >= 0 && x < kView && y >= 0 && y < kViewH)
                        field[static_cast<size_t>(y * kView + x)] = c;
                }
        }
        return field;
    }

    // Updates the window and compares what it shows of the playfield.
    void updateAndCheck(int step)
    {
        vekUpdateSpriteContext(ctx, win.dc);
        ASSERT_EQ(ctx->updateFlags, 0) << "step " << step;
        const std::vector<int> field = expected();
        for (LONG wy = 0; wy < kViewH; wy++)
            for (LONG wx = 0; wx < kView; wx++) {
                const LONG px = wx - ctx->originX, py = wy - ctx->originY;
                if (px < 0 || px >= kView || py < 0 || py >= kViewH) continue;
                ASSERT_EQ(win.at(wx, wy), field[static_cast<size_t>(py * kView + px)])
                    << "window (" << wx << ", " << wy << ") after step " << step << "\n" << log.str();
            }
    }

    LONG anchor(bool mirror) const { return VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP | (mirror ? VEK_ANCHOR_MIRROR : 0); }
    HSPRITEDATA anyImage() { return pool[rng() % pool.size()]; }
    LPVEKSPRITE anySprite()
    {
        std::vector<LPVEKSPRITE> live;
        for (LONG i = 0; i < ctx->maxSprites; i++)
            if (ctx->spriteSlots[i].inUse && !(ctx->spriteSlots[i].stateFlags & VEK_SPRITE_DELETED))
                live.push_back(&ctx->spriteSlots[i]);
        return live.empty() ? nullptr : live[rng() % live.size()];
    }
    LONG between(LONG lo, LONG hi) { return lo + static_cast<LONG>(rng() % static_cast<unsigned>(hi - lo + 1)); }

    // One random change of the scene, logged.
    void change()
    {
        LPVEKSPRITE s = anySprite();
        const unsigned op = rng() % 20;
        if (op < 4 || !s) {
            const LONG x = between(-20, kView), y = between(-20, kViewH);
            const DWORD flags = rng() % 2 ? VEK_SPRITE_CHANGED : 0;
            LPVEKSPRITE made = vekCreateSprite(ctx, anyImage(), x, y, anchor(rng() % 4 == 0), between(-3, 3), flags);
            log << "create " << (made ? made - ctx->spriteSlots : -1) << " at " << x << "," << y << "\n";
        } else if (op < 9) {
            const LONG dx = between(-6, 6), dy = between(-6, 6);
            vekAnimateSprite(ctx, s, nullptr, dx, dy, static_cast<SHORT>(s->anchorFlags));
            log << "move " << s - ctx->spriteSlots << " by " << dx << "," << dy << "\n";
        } else if (op < 11) {
            const LONG x = between(-30, kView + 10), y = between(-30, kViewH + 10);
            vekAnimateSpriteAbs(ctx, s, nullptr, x, y, static_cast<SHORT>(s->anchorFlags));
            log << "place " << s - ctx->spriteSlots << " at " << x << "," << y << "\n";
        } else if (op < 13) {
            vekAnimateSprite(ctx, s, anyImage(), 0, 0, static_cast<SHORT>(s->anchorFlags));
            log << "re-image " << s - ctx->spriteSlots << "\n";
        } else if (op < 14) {
            const bool mirror = !(s->anchorFlags & VEK_ANCHOR_MIRROR);
            vekAnimateSprite(ctx, s, nullptr, 0, 0, anchor(mirror));
            log << "mirror " << s - ctx->spriteSlots << " " << mirror << "\n";
        } else if (op < 16) {
            vekDeleteSprite(ctx, s);
            log << "delete " << s - ctx->spriteSlots << "\n";
        } else if (op < 17) {
            const LONG priority = between(-3, 3);
            if (rng() % 2)
                vekSetSpritePriority(ctx, s, priority);
            else
                vekSetSpritePriorityNosort(ctx, s, priority);
            log << "priority " << s - ctx->spriteSlots << " " << priority << "\n";
        } else if (op < 18 && rng() % 3 == 0) {
            const LONG x = between(-12, 12), y = between(-12, 12);
            vekSetSpriteContextOrigin(ctx, x, y);
            log << "origin " << x << "," << y << "\n";
        } else if (GetParam().background == Background::Tiles) {
            const bool big = rng() % 8 == 0;
            const LONG dx = big ? between(-200, 200) : between(-25, 25), dy = big ? between(-150, 150) : between(-20, 20);
            const DWORD moved = vekScrollSpriteContext(ctx, win.dc, rng() % 3 ? dx : 0, rng() % 3 ? dy : 0);
            log << "scroll " << dx << "," << dy << " -> " << std::hex << moved << std::dec << " at "
                << ctx->scrollX << "," << ctx->scrollY << " wrap " << ctx->wrapX << "," << ctx->wrapY << "\n";
        } else if (GetParam().background == Background::Colour) {
            const DWORD colour = static_cast<DWORD>(between(10, 245));
            vekSetSpriteContextBackgroundColor(ctx, colour);
            log << "colour " << colour << "\n";
        } else {
            vekSetSpriteContextBackground(ctx, backdrop);
            log << "background\n";
        }
    }

    frame::Window win{kView, kViewH};
    frame::Images images;
    frame::TileMap map{77};
    std::vector<HSPRITEDATA> tiles, pool;
    HSPRITEDATA backdrop = nullptr;
    std::vector<HSPRITEDATA> ddImages;
    std::vector<std::pair<HSPRITEDATA, rt::Decoded>> ddDecoded;
    rt::Record buffer;
    LPVEKCONTEXT ctx = nullptr;
    std::mt19937 rng{12345};
    std::ostringstream log;
};

TEST_P(Engine, MatchesTheSceneAfterEveryUpdate)
{
    updateAndCheck(0);
    for (int step = 1; step <= 80 && !HasFatalFailure(); step++) {
        const unsigned changes = 1 + rng() % 4;
        for (unsigned i = 0; i < changes; i++) change();
        updateAndCheck(step);
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

}  // namespace
