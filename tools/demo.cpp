// vekdemo: the library's showcase.
//
// A 640 x 480 window on the palette display looks into a tile-mapped world
// of 2048 x 1536 pixels. A few hundred sprites move over it: RLE balls,
// raw crates that live in the world and scroll with it, arrows mirrored on
// the fly whenever they turn, stars rotating and scaling through transform
// matrices, a composite train, ghosts made as cels from a bitmap file the
// demo writes itself, and a big player ball whose collisions with
// the others (tested pixel-exactly) light them up. The first second shows
// the dirty-rectangle update alone; then the view scrolls through the world
// in every direction. A score line, drawn with a bitmap font into a sprite
// image every frame, stays at the top. Every frame goes through
// vekUpdateSpriteContext.
//
// Headless, it writes every fourth frame into an animated GIF and prints
// per-frame figures: sprites changed, their dirty area (where they were and
// where they went, the pixels the update recomposes before merging),
// collisions and the time the update took. With --play it runs in a live
// window until closed: the arrow keys (or the mouse, button held) steer the
// player ball, the view follows it, P pauses, Esc quits; the score line
// shows frames per second and the time a frame takes.
//   vekdemo [output.gif] [frames]
//   vekdemo --play
#include <vekkit.h>

#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "record/rle_write.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr LONG kWorldW = 2048, kWorldH = 1536, kTile = 32;

// Palette: the 20 static colours stay; entries 10..245 are four ramps of 59
// shades (red, green, blue, grey).
constexpr int kRed = 10, kGreen = 10 + 59, kBlue = 10 + 2 * 59, kGrey = 10 + 3 * 59;
BYTE shade(int ramp, int level) { return static_cast<BYTE>(ramp + std::clamp(level, 0, 58)); }

PALETTEENTRY paletteEntries[256];

HPALETTE makePalette()
{
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, paletteEntries);
    ReleaseDC(nullptr, screen);
    for (int i = 10; i < 246; i++) {
        const int ramp = (i - 10) / 59, level = (i - 10) % 59 * 255 / 58;
        PALETTEENTRY &e = paletteEntries[i];
        e.peRed = BYTE(ramp == 0 || ramp == 3 ? level : 0);
        e.peGreen = BYTE(ramp == 1 || ramp == 3 ? level : ramp == 2 ? level / 3 : 0);
        e.peBlue = BYTE(ramp == 2 || ramp == 3 ? level : 0);
        e.peFlags = PC_NOCOLLAPSE;
    }
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } log{0x300, 256, {}};
    std::copy(paletteEntries, paletteEntries + 256, log.entries);
    return CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
}

void put32(BYTE *p, size_t at, DWORD v)
{
    for (int i = 0; i < 4; i++) p[at + i] = static_cast<BYTE>(v >> 8 * i);
}
DWORD get32(const BYTE *p, size_t at)
{
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<DWORD>(p[at + 3]) << 24;
}

std::vector<HSPRITEDATA> owned;

// A raw image whose pixel (x, y), y = 0 the top row, is colour(x, y).
template <typename Colour>
HSPRITEDATA rawImage(LONG w, LONG h, Colour colour, WORD flags = 0)
{
    HSPRITEDATA r = vekCreateSpriteDataObject(w, h);
    r[10] = static_cast<BYTE>(flags);
    BYTE *pixels = r + 4 + get32(r, 14);
    const LONG stride = (w + 3) & ~3;
    for (LONG y = 0; y < h; y++)
        for (LONG x = 0; x < w; x++) pixels[(h - 1 - y) * stride + x] = colour(x, y);
    owned.push_back(r);
    return r;
}

// An RLE image of w x h (w at most 255) whose row y covers the columns that
// inside(x, y) accepts, each pixel coloured by colour(x, y), written with the
// library's token writers: every row starts with a skip, opaque stretches
// become absolute runs (or runs, when short).
template <typename Inside, typename Colour>
HSPRITEDATA rleImage(LONG w, LONG h, Inside inside, Colour colour, WORD flags = 0)
{
    using namespace vek::rle;
    std::vector<BYTE> s(static_cast<size_t>(h) * rowBound(static_cast<uint64_t>(w)) + 2);
    BYTE *out = s.data();
    std::vector<BYTE> pixels(static_cast<size_t>(w));
    for (LONG y = h - 1; y >= 0; y--) {
        LONG x = 0;
        bool first = true;
        while (x < w) {
            LONG gap = 0;
            while (x + gap < w && !inside(x + gap, y)) gap++;
            if (x + gap == w) break;
            if (gap || first) out = putSkip(out, static_cast<size_t>(gap));
            first = false;
            x += gap;
            LONG n = 0;
            while (x + n < w && inside(x + n, y) && n < 254) n++;
            for (LONG i = 0; i < n; i++) pixels[static_cast<size_t>(i)] = colour(x + i, y);
            if (n < 3) {
                for (LONG i = 0; i < n; i++) out = putRun(out, 1, pixels[static_cast<size_t>(i)]);
            } else {
                out = putAbsolute(out, pixels.data(), static_cast<size_t>(n));
            }
            x += n;
        }
        out = putEndOfRow(out);
    }
    out = putEndOfImage(out);
    s.resize(static_cast<size_t>(out - s.data()));
    HSPRITEDATA r = vekCreateSpriteDataObject(static_cast<LONG>(s.size()), 1);
    put32(r, 0, static_cast<DWORD>(572 - 4 + s.size()));
    r[10] = static_cast<BYTE>(flags);
    put32(r, 22, static_cast<DWORD>(w));
    put32(r, 26, static_cast<DWORD>(h));
    put32(r, 34, BI_RLE8);
    put32(r, 38, static_cast<DWORD>(s.size()));
    std::copy(s.begin(), s.end(), r + 572);
    owned.push_back(r);
    return r;
}

HSPRITEDATA ball(LONG d, int ramp)
{
    const double c = d / 2.0;
    return rleImage(
        d, d, [=](LONG x, LONG y) { return std::hypot(x + 0.5 - c, y + 0.5 - c) < c; },
        [=](LONG x, LONG y) {
            const double light = 1 - std::hypot(x - c * 0.6, y - c * 0.6) / (1.6 * c);
            return shade(ramp, static_cast<int>(10 + 48 * light));
        });
}

HSPRITEDATA ring(LONG d)
{
    const double c = d / 2.0;
    return rleImage(
        d, d,
        [=](LONG x, LONG y) {
            const double r = std::hypot(x + 0.5 - c, y + 0.5 - c);
            return r < c && r > c - 4;
        },
        [](LONG, LONG) { return shade(kGrey, 58); });
}

// An arrow pointing right; it may be mirrored.
HSPRITEDATA arrow(int ramp)
{
    return rleImage(
        24, 16, [](LONG x, LONG y) { return x < 12 ? (y >= 5 && y < 11) : std::abs(y - 7.5) < (24 - x) * 0.65; },
        [=](LONG x, LONG) { return shade(ramp, 20 + static_cast<int>(x) * 3 / 2); }, 1);
}

// A star on a key-coloured square (the first pixel is the transform's key).
HSPRITEDATA star()
{
    return rawImage(32, 32, [](LONG x, LONG y) {
        const double dx = x - 15.5, dy = y - 15.5, a = std::atan2(dy, dx), r = std::hypot(dx, dy);
        const double edge = 9 + 6 * std::cos(5 * a);
        return r < edge ? shade(kRed, 58 - static_cast<int>(r * 2)) : BYTE(0);
    });
}

HSPRITEDATA crate()
{
    return rawImage(28, 28, [](LONG x, LONG y) {
        const bool frame = x < 3 || y < 3 || x > 24 || y > 24 || x == y || x == 27 - y;
        return frame ? shade(kRed, 25) : shade(kRed, 40 + static_cast<int>((x + y) % 5));
    });
}

// The world: grass with ponds and stone paths, trees on top.
struct World {
    std::vector<HSPRITEDATA> tiles;
    std::vector<VEKTILE> map;

    World()
    {
        std::mt19937 rng(3);
        auto noise = [&](int ramp, int base) {
            return rawImage(kTile, kTile, [&, ramp, base](LONG, LONG) { return shade(ramp, base + rng() % 6); });
        };
        tiles.push_back(noise(kGreen, 22));  // grass
        tiles.push_back(noise(kGreen, 28));
        tiles.push_back(rawImage(kTile, kTile, [](LONG x, LONG y) {  // water
            return shade(kBlue, 30 + static_cast<int>(8 * std::sin((x + 2 * y) * 0.4)));
        }));
        tiles.push_back(rawImage(kTile, kTile, [](LONG x, LONG y) {  // stone
            const bool joint = y % 16 == 0 || (x + (y / 16) * 8) % 16 == 0;
            return shade(kGrey, joint ? 20 : 34);
        }));
        tiles.push_back(rawImage(64, 64, [](LONG x, LONG y) {  // tree crown
            const double r = std::hypot(x - 31.5, y - 31.5);
            return r < 30 ? shade(kGreen, 45 - static_cast<int>(r / 2) + ((x * 7 + y * 3) % 5)) : shade(kGreen, 24);
        }));

        map.push_back(VEKTILE{});
        auto *header = reinterpret_cast<VEKTILEMAPHEADER *>(&map[0]);
        header->backgroundColor = shade(kGreen, 22);
        for (LONG ty = 0; ty < kWorldH; ty += kTile)
            for (LONG tx = 0; tx < kWorldW; tx += kTile) {
                const double pond = std::sin(tx * 0.004) * std::cos(ty * 0.005);
                const bool path = std::abs((tx + ty / 2) % 640 - 320) < 24 || std::abs(ty % 512 - 256) < 20;
                SHORT image = path ? 3 : pond > 0.55 ? 2 : SHORT((tx / kTile + ty / kTile) % 2);
                if (image == 0) continue;  // plain grass is the map's colour
                map.push_back(VEKTILE{0, SHORT(tx), SHORT(ty), SHORT(tx + kTile), SHORT(ty + kTile), image});
            }
        for (int i = 0; i < 140; i++) {
            const SHORT x = SHORT(rng() % (kWorldW - 64)), y = SHORT(rng() % (kWorldH - 64));
            map.push_back(VEKTILE{0, x, y, SHORT(x + 64), SHORT(y + 64), 4});
        }
        reinterpret_cast<VEKTILEMAPHEADER *>(&map[0])->lastTile = SHORT(map.size() - 1);
    }
};

// A composite record: a train of three elements drawn from the image table.
std::vector<BYTE> train(SHORT engine, SHORT wagon)
{
    std::vector<BYTE> r(38 + 3 * 10);
    put32(r.data(), 0, static_cast<DWORD>(r.size() - 4));
    r[4] = 0xF1;
    r[5] = 0xFE;
    put32(r.data(), 6, 0);
    put32(r.data(), 10, 0);
    put32(r.data(), 14, 84);
    put32(r.data(), 18, 28);
    r[36] = 3;
    const SHORT elements[3][5] = {
        {0, 28, 28, 28, wagon}, {28, 28, 28, 28, wagon}, {60, 22, SHORT(24 | 0x8000), 16, engine}};
    for (int e = 0; e < 3; e++)
        for (int f = 0; f < 5; f++) {
            r[38 + e * 10 + f * 2] = static_cast<BYTE>(elements[e][f]);
            r[38 + e * 10 + f * 2 + 1] = static_cast<BYTE>(static_cast<WORD>(elements[e][f]) >> 8);
        }
    return r;
}

// The window's pixels as palette indices, through a DIB section that holds
// the palette's colours.
struct Capture {
    HDC memory;
    HBITMAP dib;
    BYTE *bits = nullptr;
    HGDIOBJ old;

    explicit Capture(HDC dc)
    {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = kWidth;
        info.header.biHeight = -kHeight;  // top-down
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biCompression = BI_RGB;
        for (int i = 0; i < 256; i++)
            info.colours[i] = RGBQUAD{paletteEntries[i].peBlue, paletteEntries[i].peGreen, paletteEntries[i].peRed, 0};
        void *p = nullptr;
        dib = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<BYTE *>(p);
        memory = CreateCompatibleDC(dc);
        old = SelectObject(memory, dib);
    }
    ~Capture()
    {
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
    }
    const BYTE *grab(HDC dc)
    {
        BitBlt(memory, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
        return bits;
    }
};

class GifWriter {
public:
    explicit GifWriter(const char *path)
    {
        int error = 0;
        gif_ = EGifOpenFileName(path, false, &error);
        if (!gif_) return;
        GifColorType colours[256];
        for (int i = 0; i < 256; i++)
            colours[i] = GifColorType{paletteEntries[i].peRed, paletteEntries[i].peGreen, paletteEntries[i].peBlue};
        ColorMapObject *map = GifMakeMapObject(256, colours);
        EGifSetGifVersion(gif_, true);
        ok_ = EGifPutScreenDesc(gif_, kWidth, kHeight, 8, 0, map) == GIF_OK;
        GifFreeMapObject(map);
        // Loop for ever (the NETSCAPE2.0 application extension).
        const GifByteType loop[3] = {1, 0, 0};
        ok_ = ok_ && EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
              EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
              EGifPutExtensionBlock(gif_, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif_) == GIF_OK;
    }
    ~GifWriter()
    {
        if (gif_) EGifCloseFile(gif_, nullptr);
    }
    bool ok() const { return gif_ && ok_; }
    void frame(const BYTE *pixels, int delayHundredths)
    {
        if (!ok()) return;
        GraphicsControlBlock gcb{};
        gcb.DelayTime = delayHundredths;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t n = EGifGCBToExtension(&gcb, extension);
        ok_ = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), extension) == GIF_OK &&
              EGifPutImageDesc(gif_, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK;
        for (int y = 0; ok_ && y < kHeight; y++)
            ok_ = EGifPutLine(gif_, const_cast<GifPixelType *>(pixels + y * kWidth), kWidth) == GIF_OK;
    }

private:
    GifFileType *gif_ = nullptr;
    bool ok_ = false;
};

// Writes an 8-bit bitmap file of a ghost in true colours on a magenta key
// (its bottom-left pixel, so it becomes transparent in the cel).
bool writeGhostBitmap(const std::string &path)
{
    constexpr LONG w = 28, h = 32, stride = (w + 3) & ~3;
    std::vector<BYTE> file(1078 + stride * h);
    file[0] = 'B';
    file[1] = 'M';
    put32(file.data(), 2, static_cast<DWORD>(file.size()));
    put32(file.data(), 10, 1078);
    put32(file.data(), 14, 40);
    put32(file.data(), 18, w);
    put32(file.data(), 22, h);
    file[26] = 1;
    file[28] = 8;
    put32(file.data(), 34, static_cast<DWORD>(stride * h));
    put32(file.data(), 46, 256);
    const BYTE colours[4][3] = {{255, 0, 255}, {255, 230, 170}, {255, 255, 255}, {120, 0, 0}};  // blue, green, red
    for (int i = 0; i < 4; i++) std::copy(colours[i], colours[i] + 3, file.begin() + 54 + 4 * i);
    for (LONG y = 0; y < h; y++)
        for (LONG x = 0; x < w; x++) {
            const double dx = x - 13.5, dy = y - 13.0;
            const bool head = dx * dx + dy * dy < 13.5 * 13.5 && y < 14;
            const bool body = y >= 13 && std::abs(dx) < 13.5 && y < 28 + 3 * std::sin(x * 0.9);
            const bool eye = std::hypot(std::abs(dx) - 5, dy + 1) < 3.5;
            const bool pupil = std::hypot(std::abs(dx) - 4, dy) < 1.6;
            const BYTE v = pupil ? 3 : eye ? 2 : head || body ? 1 : 0;
            file[1078 + (h - 1 - y) * stride + x] = v;
        }
    HFILE f = _lcreat(path.c_str(), 0);
    if (f == HFILE_ERROR) return false;
    const bool ok = _lwrite(f, reinterpret_cast<LPCSTR>(file.data()), static_cast<UINT>(file.size())) == file.size();
    return _lclose(f) != HFILE_ERROR && ok;
}

// The demo's font sits in the build folder beside the tools folder.
HGLOBAL loadDemoFont()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (!n || n >= MAX_PATH) return nullptr;
    std::string file(path, n);
    const size_t slash = file.find_last_of("\\/");
    file.resize(slash == std::string::npos ? 0 : slash + 1);
    return gfxLoadFont((file + "../fonts/vekdemo.fnt").c_str());
}

// The score line: a dark bar with one line of text, drawn afresh into one
// of two images so that the sprite changes every frame.
struct ScoreLine {
    HGLOBAL font;
    HSPRITEDATA images[2];
    LPVEKSPRITE sprite = nullptr;
    int current = 0;

    ScoreLine(LPVEKCONTEXT ctx, HGLOBAL f) : font(f)
    {
        for (HSPRITEDATA &image : images) image = rawImage(kWidth, 17, [](LONG, LONG) { return shade(kBlue, 6); });
        if (font) sprite = vekCreateSprite(ctx, images[0], 0, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, 10, 0);
    }
    void show(LPVEKCONTEXT ctx, const char *text)
    {
        if (!sprite) return;
        current ^= 1;
        HSPRITEDATA image = images[current];
        vekSpriteFill(image, 0, 0, kWidth, 17, shade(kBlue, 6));
        gfxTextOutToDIB(image, font, shade(kGrey, 58), 0, 6, 2, text, -1);
        vekAnimateSpriteAbs(ctx, sprite, image, 0, 0, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
    }
};

struct Mover {
    LPVEKSPRITE sprite;
    double x, y, dx, dy;  // view coordinates, or world ones for world-bound sprites
    bool world = false;
    int hit = 0;          // frames left to show the collision
    HSPRITEDATA image, hitImage;
    VEKMATRIX matrix{};
    double angle = 0, spin = 0;
};

// The area a changed sprite makes the update recompose: where it was shown
// and where it goes, clipped to the window.
double dirtyArea(const VEKSPRITE &s)
{
    if (!(s.stateFlags & VEK_SPRITE_CHANGED)) return 0;
    const LONG l = std::max<LONG>(0, std::min(s.shown.left, s.target.left));
    const LONG t = std::max<LONG>(0, std::min(s.shown.top, s.target.top));
    const LONG r = std::min<LONG>(kWidth, std::max(s.shown.right, s.target.right));
    const LONG b = std::min<LONG>(kHeight, std::max(s.shown.bottom, s.target.bottom));
    return r > l && b > t ? static_cast<double>(r - l) * (b - t) : 0;
}

// Everything the showcase shows and moves. The images, the world and the
// train live as long as the context that draws them.
struct Scene {
    World world;
    std::vector<HSPRITEDATA> table;
    std::vector<BYTE> composite;
    LPVEKCONTEXT ctx = nullptr;
    std::vector<Mover> movers;
    LPVEKSPRITE player = nullptr;
    HGLOBAL font = nullptr;
    std::unique_ptr<ScoreLine> score;
    int totalCollisions = 0;
};

// Makes the sprite context of the window and its sprites; false when the
// context cannot be made.
bool buildScene(Scene &scene, HWND window, HDC dc, HPALETTE palette)
{
    HSPRITEDATA buffer = vekCreateSpriteDataObject(kWidth, kHeight);
    owned.push_back(buffer);
    scene.table = scene.world.tiles;
    const SHORT engineIndex = SHORT(scene.table.size()), wagonIndex = SHORT(scene.table.size() + 1);
    scene.table.push_back(arrow(kBlue));
    scene.table.push_back(crate());

    VEKCONTEXTPARAMS params{};
    params.window = window;
    params.dc = dc;
    params.backgroundColor = shade(kGreen, 22);
    params.backgroundImage = buffer;
    params.backgroundWidth = kWidth;
    params.backgroundHeight = kHeight;
    params.offscreenWidth = 192;
    params.offscreenHeight = 144;
    params.paletteEntries = paletteEntries;
    params.maxSprites = 400;
    params.options = VEK_OPTION_TILEMAP;
    params.palette = palette;
    params.tileMap = scene.world.map.data();
    params.imageTable = scene.table.data();
    params.worldWidth = kWorldW;
    params.worldHeight = kWorldH;
    LPVEKCONTEXT ctx = vekCreateSpriteContextEx(&params);
    if (!ctx) return false;
    scene.ctx = ctx;

    std::mt19937 rng(11);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const HSPRITEDATA balls[3] = {ball(20, kRed), ball(16, kBlue), ball(24, kGrey)};
    const HSPRITEDATA rings[2] = {ring(20), ring(24)};
    const HSPRITEDATA arrows[2] = {arrow(kGrey), arrow(kRed)};
    const HSPRITEDATA crateImage = scene.table[static_cast<size_t>(wagonIndex)], starImage = star();
    auto add = [&](HSPRITEDATA image, HSPRITEDATA hitImage, LONG priority, bool inWorld) {
        Mover m{};
        m.world = inWorld;
        m.x = inWorld ? uniform(0, kWorldW - 32) : uniform(0, kWidth - 32);
        m.y = inWorld ? uniform(0, kWorldH - 32) : uniform(0, kHeight - 32);
        m.dx = uniform(-3, 3);
        m.dy = uniform(-3, 3);
        m.image = image;
        m.hitImage = hitImage;
        m.sprite = vekCreateSprite(ctx, image, LONG(m.x), LONG(m.y), VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, priority, 0);
        scene.movers.push_back(m);
    };
    for (int i = 0; i < 150; i++) add(balls[i % 3], rings[i % 3 == 2 ? 1 : 0], 1, false);
    for (int i = 0; i < 60; i++) add(crateImage, rings[1], 0, true);
    for (int i = 0; i < 60; i++) add(arrows[i % 2], rings[0], 2, false);
    for (int i = 0; i < 30; i++) {
        add(starImage, starImage, 3, false);
        scene.movers.back().spin = uniform(-6, 6);
    }
    scene.composite = train(engineIndex, wagonIndex);
    add(scene.composite.data(), scene.composite.data(), 2, false);
    // Ghosts: cels of a bitmap file, colours matched to the palette, one of
    // them encoded mirrored.
    char temp[MAX_PATH];
    const DWORD tempLength = GetTempPathA(MAX_PATH, temp);
    const std::string ghostFile = std::string(temp, tempLength < MAX_PATH ? tempLength : 0) + "vekdemo-ghost.bmp";
    if (writeGhostBitmap(ghostFile)) {
        const LONG_PTR right = vekLoadCel(ctx, ghostFile.c_str(), FALSE);
        const LONG_PTR left = vekLoadCel(ctx, ghostFile.c_str(), TRUE);
        if (right > 0 && left > 0) {
            owned.push_back(reinterpret_cast<HSPRITEDATA>(right));
            owned.push_back(reinterpret_cast<HSPRITEDATA>(left));
            for (int i = 0; i < 16; i++)
                add(reinterpret_cast<HSPRITEDATA>(i % 2 ? left : right), rings[0], 3, false);
        } else {
            std::fprintf(stderr, "vekdemo: the ghost cels could not be made\n");
        }
        DeleteFileA(ghostFile.c_str());
    }
    HSPRITEDATA playerImage = ball(56, kGrey);
    scene.player = vekCreateSprite(ctx, playerImage, 300, 200, 0, 4, 0);

    scene.font = loadDemoFont();
    if (!scene.font) std::fprintf(stderr, "vekdemo: no fonts/vekdemo.fnt beside the tools folder: no score line\n");
    scene.score = std::make_unique<ScoreLine>(ctx, scene.font);
    return true;
}

// Moves every sprite but the player one step, lighting up those the player
// touches; returns how many it touches.
int moveSprites(Scene &scene)
{
    LPVEKCONTEXT ctx = scene.ctx;
    int collisions = 0;
    for (Mover &m : scene.movers) {
        const double w = m.world ? kWorldW : kWidth, h = m.world ? kWorldH : kHeight;
        if (m.x + m.dx < 0 || m.x + m.dx > w - 32) m.dx = -m.dx;
        if (m.y + m.dy < 0 || m.y + m.dy > h - 32) m.dy = -m.dy;
        m.x += m.dx;
        m.y += m.dy;
        const LONG x = m.world ? LONG(m.x) - ctx->scrollX : LONG(m.x);
        const LONG y = m.world ? LONG(m.y) - ctx->scrollY : LONG(m.y);
        const bool hitNow = vekCheckCollide(ctx, scene.player, m.sprite, VEK_COLLIDE_ANY_PRIORITY) != 0;
        if (hitNow) {
            collisions++;
            m.hit = 8;
        }
        HSPRITEDATA image = m.hit > 0 ? m.hitImage : m.image;
        if (m.hit > 0) m.hit--;
        if (m.spin != 0) {
            m.angle += m.spin;
            const VEKFIXED scale = VEKFIXED((1.0 + 0.4 * std::sin(m.angle * 0.05)) * 65536);
            vekBuildMatrix(&m.matrix, scale, scale, VEKFIXED(m.angle * 65536), 0);
            vekAnimateSpriteAbsEx(ctx, m.sprite, image, x + 16, y + 16, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER,
                                  &m.matrix);
        } else {
            // Arrows look where they go: mirrored while moving left.
            const LONG mirror = m.dx < 0 ? VEK_ANCHOR_MIRROR : 0;
            vekAnimateSpriteAbs(ctx, m.sprite, image, x, y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP | mirror);
        }
    }
    scene.totalCollisions += collisions;
    return collisions;
}

void placePlayer(Scene &scene, LONG x, LONG y)
{
    vekAnimateSpriteAbs(scene.ctx, scene.player, nullptr, x, y, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER);
}

// Headless: the view and the player follow a script; every fourth frame
// goes into the GIF, and each frame's figures are printed.
bool runHeadless(Scene &scene, HDC dc, const char *output, int frames)
{
    LPVEKCONTEXT ctx = scene.ctx;
    Capture capture(dc);
    GifWriter gif(output);
    if (!gif.ok()) std::fprintf(stderr, "vekdemo: cannot write %s\n", output);
    std::printf("frame changed dirty_px collisions update_us scroll\n");
    double totalUs = 0, totalDirty = 0;
    for (int f = 0; f < frames; f++) {
        // The view: still for the first second, then a loop through the world.
        if (f >= 60) {
            const double t = f - 60;
            const LONG sx = LONG(kWorldW / 2 - kWidth / 2 + 600 * std::sin(t * 0.02));
            const LONG sy = LONG(kWorldH / 2 - kHeight / 2 + 400 * std::sin(t * 0.031));
            vekScrollSpriteContextAbs(ctx, dc, sx, sy);
        }
        const double ang = f * 0.05;
        placePlayer(scene, LONG(320 + 220 * std::cos(ang)), LONG(240 + 150 * std::sin(ang * 1.3)));
        const int collisions = moveSprites(scene);
        char line[128];
        std::snprintf(line, sizeof line, "frame %4d   sprites %d   collisions %d   view %4ld,%4ld", f,
                      static_cast<int>(ctx->spriteCount), scene.totalCollisions, static_cast<long>(ctx->scrollX),
                      static_cast<long>(ctx->scrollY));
        scene.score->show(ctx, line);
        double dirty = 0;
        int changed = 0;
        for (LONG i = 0; i < ctx->spriteCount; i++) {
            const double a = dirtyArea(*ctx->drawList[i]);
            dirty += a;
            changed += a > 0;
        }
        const bool scrolled = ctx->updateFlags & (VEK_UPDATE_SCROLLED | VEK_UPDATE_REPAINT);
        const auto start = std::chrono::steady_clock::now();
        vekUpdateSpriteContext(ctx, dc);
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        totalUs += us;
        totalDirty += dirty;
        std::printf("%5d %7d %8.0f %10d %9.0f %s\n", f, changed, dirty, collisions, us,
                    scrolled ? "whole view" : "-");
        if (f % 4 == 0) gif.frame(capture.grab(dc), 8);
    }
    std::printf("vekdemo: %d frames, %d sprites, mean update %.0f us, mean dirty area %.0f px\n", frames,
                static_cast<int>(ctx->spriteCount), totalUs / frames, totalDirty / frames);
    if (gif.ok()) std::printf("vekdemo: wrote %s\n", output);
    return gif.ok();
}

// Playing: the player ball in world coordinates and its speed.
struct Player {
    double x = kWorldW / 2.0, y = kWorldH / 2.0, vx = 0, vy = 0;
};

bool paused = false;

// Esc quits, P pauses; closing the window quits too.
LRESULT CALLBACK demoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) DestroyWindow(window);
    if (message == WM_KEYDOWN && wParam == 'P' && !(lParam & 0x40000000)) paused = !paused;
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The arrow keys push the player ball; while the left mouse button is
// held it heads for the pointer. It rolls on and slows down.
void steer(Player &p, HWND window, const VEKCONTEXT &ctx)
{
    constexpr double push = 0.9, friction = 0.92, radius = 28;
    p.vx += push * ((GetKeyState(VK_RIGHT) < 0) - (GetKeyState(VK_LEFT) < 0));
    p.vy += push * ((GetKeyState(VK_DOWN) < 0) - (GetKeyState(VK_UP) < 0));
    POINT pointer;
    if (GetKeyState(VK_LBUTTON) < 0 && GetCursorPos(&pointer) && ScreenToClient(window, &pointer)) {
        const double dx = pointer.x + ctx.scrollX - p.x, dy = pointer.y + ctx.scrollY - p.y;
        const double d = std::hypot(dx, dy);
        if (d > 4) {
            p.vx += push * dx / d;
            p.vy += push * dy / d;
        }
    }
    p.vx *= friction;
    p.vy *= friction;
    p.x = std::clamp(p.x + p.vx, radius, kWorldW - radius);
    p.y = std::clamp(p.y + p.vy, radius, kWorldH - radius);
}

// Live: one frame per timer tick (about the display's refresh) until the
// window is closed; the view follows the player through the world.
void runLive(Scene &scene, HWND window, HDC dc)
{
    constexpr UINT_PTR kFrameTimer = 1;
    LPVEKCONTEXT ctx = scene.ctx;
    SetTimer(window, kFrameTimer, 1000 / 60, nullptr);
    Player player;
    int fps = 0, framesThisSecond = 0;
    double frameMs = 0;
    auto second = std::chrono::steady_clock::now();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (msg.message != WM_TIMER || msg.hwnd != window) continue;
        const auto start = std::chrono::steady_clock::now();
        if (!paused) {
            steer(player, window, *ctx);
            vekScrollSpriteContextAbs(ctx, dc, LONG(player.x) - kWidth / 2, LONG(player.y) - kHeight / 2);
            moveSprites(scene);
        }
        placePlayer(scene, LONG(player.x) - ctx->scrollX, LONG(player.y) - ctx->scrollY);
        char line[128];
        std::snprintf(line, sizeof line, "fps %3d  frame %4.1f ms  collisions %5d  view %4ld,%4ld  %s", fps, frameMs,
                      scene.totalCollisions, static_cast<long>(ctx->scrollX), static_cast<long>(ctx->scrollY),
                      paused ? "PAUSED (P)" : "P pause, Esc quit");
        scene.score->show(ctx, line);
        vekUpdateSpriteContext(ctx, dc);
        const auto end = std::chrono::steady_clock::now();
        frameMs = std::chrono::duration<double, std::milli>(end - start).count();
        framesThisSecond++;
        if (end - second >= std::chrono::seconds(1)) {
            fps = framesThisSecond;
            framesThisSecond = 0;
            second = end;
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const bool play = argc > 1 && std::string(argv[1]) == "--play";
    const char *output = argc > 1 && !play ? argv[1] : "vekdemo.gif";
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 240;

    WNDCLASSA wc{};
    wc.lpfnWndProc = demoProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VekDemo";
    if (!RegisterClassA(&wc)) return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, "VekDemo", "vekkit demo", style | WS_VISIBLE, 0, 0, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    HPALETTE palette = makePalette();
    HDC dc = GetDC(window);
    HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);

    Scene scene;
    if (!buildScene(scene, window, dc, palette)) return 1;
    bool ok = true;
    if (play)
        runLive(scene, window, dc);
    else
        ok = runHeadless(scene, dc, output, frames);

    vekDeleteSpriteContext(scene.ctx);
    if (scene.font) gfxFreeFont(scene.font);
    SelectPalette(dc, oldPalette, FALSE);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(palette);
    for (HSPRITEDATA r : owned) vekDeleteSpriteData(r);
    return ok ? 0 : 1;
}
