// Sprite blits into a 640 x 480 8-bit off-screen image, in sprite pixels per
// second, beside a plain memcpy of the same rows.
//
//   Raw/<side>/<clipped>   raw side x side sprite, copied opaque
//   Rle/<side>/<clipped>   RLE disc covering 70% of its side x side square,
//                          one skip and one absolute run per row (the shape
//                          the cel makers write)
//   SdlRle/<side>/<clipped>  SDL2's RLE blit of the same disc (an 8-bit
//                          surface with a colour key, RLE-accelerated) into
//                          an 8-bit 640 x 480 surface of the same palette;
//                          built when SDL2 is installed
//   Memcpy/<side>          memcpy of the raw sprite's rows into the image
//
// Unclipped sprites lie inside the image; clipped ones hang a quarter of
// their size over the left and top edges, and only the pixels drawn count.
#include <vekkit.h>
#if defined(VEKBENCH_SDL2)
#include <SDL.h>
#endif

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

void put32(BYTE *b, size_t at, DWORD v) { std::memcpy(b + at, &v, 4); }
DWORD get32(const BYTE *b, size_t at)
{
    DWORD v;
    std::memcpy(&v, b + at, 4);
    return v;
}

void release(HSPRITEDATA image)
{
    HGLOBAL mem = GlobalHandle(image);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

BYTE *pixelsOf(HSPRITEDATA image) { return image + 4 + get32(image, 14); }
size_t strideOf(LONG width) { return (static_cast<size_t>(width) + 3) & ~size_t{3}; }

HSPRITEDATA rawSprite(LONG side)
{
    HSPRITEDATA image = vekCreateSpriteDataObject(side, side);
    BYTE *p = pixelsOf(image);
    for (size_t i = 0; i < strideOf(side) * static_cast<size_t>(side); i++) p[i] = static_cast<BYTE>(i * 13 + 1);
    return image;
}

// A disc of radius side * sqrt(0.7 / pi), so that 70% of the square is
// opaque: side x side indices, top row first, 0 where transparent.
std::vector<BYTE> discPixels(LONG side)
{
    const double radius = side * std::sqrt(0.7 / M_PI), centre = side / 2.0;
    std::vector<BYTE> pixels(static_cast<size_t>(side * side), 0);
    for (LONG row = 0; row < side; row++) {
        const double dy = row + 0.5 - centre;
        const double half = dy * dy < radius * radius ? std::sqrt(radius * radius - dy * dy) : 0.0;
        const LONG left = static_cast<LONG>(std::lround(centre - half)), right = static_cast<LONG>(std::lround(centre + half));
        for (LONG x = left; x < right; x++)
            pixels[static_cast<size_t>(row * side + x)] = static_cast<BYTE>(1 + (x * 7 + row) % 255);
    }
    return pixels;
}

// The disc as an RLE record: per row (bottom row first) a skip to the disc's
// left edge, one absolute run (single-pixel runs when shorter than three)
// and an end of row.
HSPRITEDATA discSprite(LONG side)
{
    const std::vector<BYTE> pixels = discPixels(side);
    std::vector<BYTE> s;
    for (LONG row = side - 1; row >= 0; row--) {
        const BYTE *line = &pixels[static_cast<size_t>(row * side)];
        LONG left = 0, right = side;
        while (left < side && !line[left]) left++;
        while (right > left && !line[right - 1]) right--;
        const LONG n = right - left;
        if (n >= 3) {
            s.insert(s.end(), {0, 2, static_cast<BYTE>(left), 0, 0, static_cast<BYTE>(n)});
            s.insert(s.end(), line + left, line + right);
            if (n & 1) s.push_back(0);
        } else if (n > 0) {
            s.insert(s.end(), {0, 2, static_cast<BYTE>(left), 0});
            for (LONG x = left; x < right; x++) s.insert(s.end(), {1, line[x]});
        }
        s.insert(s.end(), {0, 0});
    }
    s.insert(s.end(), {0, 1});

    HSPRITEDATA image = vekCreateSpriteDataObject(static_cast<LONG>(s.size()), 1);
    put32(image, 0, static_cast<DWORD>(568 + s.size()));
    put32(image, 22, static_cast<DWORD>(side));
    put32(image, 26, static_cast<DWORD>(side));
    put32(image, 34, BI_RLE8);
    put32(image, 38, static_cast<DWORD>(s.size()));
    std::memcpy(pixelsOf(image), s.data(), s.size());
    return image;
}

constexpr LONG kScreenWidth = 640, kScreenHeight = 480;

// The images of one sprite size, made once and shared by all benchmarks of
// that size, so that the blits and the memcpy move the same bytes between
// the same addresses.
struct Images {
    HSPRITEDATA raw, disc, screen;
    explicit Images(LONG side)
        : raw(rawSprite(side)), disc(discSprite(side)), screen(vekCreateSpriteData(kScreenWidth, kScreenHeight))
    {
    }
    ~Images()
    {
        release(raw);
        release(disc);
        release(screen);
    }
};

Images &imagesOf(LONG side)
{
    static Images small(32), medium(64), large(128);
    return side == 32 ? small : side == 64 ? medium : large;
}

// Unclipped sprites are drawn at (100, 100); clipped ones at a quarter of
// their size left of and above the image's corner.
void blitSprite(benchmark::State &state, bool rle)
{
    const LONG side = static_cast<LONG>(state.range(0));
    const bool clipped = state.range(1) != 0;
    Images &images = imagesOf(side);
    HSPRITEDATA sprite = rle ? images.disc : images.raw;
    const LONG at = clipped ? -side / 4 : 100;
    const LONG visible = clipped ? side - side / 4 : side;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vekSpriteBlt(images.screen, at, at, side, side, sprite, 0, 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * visible * visible);
}

void Raw(benchmark::State &state) { blitSprite(state, false); }
void Rle(benchmark::State &state) { blitSprite(state, true); }

#if defined(VEKBENCH_SDL2)
// The same disc through SDL2: an 8-bit surface whose transparent pixels hold
// the colour key 0, RLE-encoded by SDL on its first blit, drawn into an
// 8-bit screen surface that shares its palette (so that SDL takes its RLE
// blit without a colour map) at the same places as above.
void SdlRle(benchmark::State &state)
{
    const LONG side = static_cast<LONG>(state.range(0));
    const bool clipped = state.range(1) != 0;
    std::vector<BYTE> pixels = discPixels(side);
    SDL_Palette *palette = SDL_AllocPalette(256);
    SDL_Surface *screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface *sprite = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), side, side, 8, side, SDL_PIXELFORMAT_INDEX8);
    if (!palette || !screen || !sprite || SDL_SetSurfacePalette(screen, palette) || SDL_SetSurfacePalette(sprite, palette) ||
        SDL_SetColorKey(sprite, SDL_TRUE, 0) || SDL_SetSurfaceRLE(sprite, 1)) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    const int at = clipped ? -side / 4 : 100;
    const LONG visible = clipped ? side - side / 4 : side;
    SDL_Rect first{at, at, side, side};
    SDL_BlitSurface(sprite, nullptr, screen, &first);  // encodes the sprite
    if (!(sprite->flags & SDL_RLEACCEL)) state.SkipWithError("SDL did not RLE-encode the sprite");
    for (auto _ : state) {
        SDL_Rect to{at, at, side, side};
        benchmark::DoNotOptimize(SDL_BlitSurface(sprite, nullptr, screen, &to));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * visible * visible);
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
    SDL_FreePalette(palette);
}
BENCHMARK(SdlRle)->ArgNames({"side", "clipped"})->ArgsProduct({{32, 64, 128}, {0, 1}});
#endif

// The rows of the unclipped raw blit, in its order: from the top row of the
// sprite at (100, 100) downwards, rows being stored bottom row first.
void Memcpy(benchmark::State &state)
{
    const LONG side = static_cast<LONG>(state.range(0));
    Images &images = imagesOf(side);
    const size_t srcStride = strideOf(side), dstStride = strideOf(kScreenWidth);
    const BYTE *srcTop = pixelsOf(images.raw) + (side - 1) * srcStride;
    BYTE *dstTop = pixelsOf(images.screen) + (kScreenHeight - 1 - 100) * dstStride + 100;
    for (auto _ : state) {
        for (LONG row = 0; row < side; row++)
            std::memcpy(dstTop - row * dstStride, srcTop - row * srcStride, static_cast<size_t>(side));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

}  // namespace

BENCHMARK(Raw)->ArgNames({"side", "clipped"})->ArgsProduct({{32, 64, 128}, {0, 1}});
BENCHMARK(Rle)->ArgNames({"side", "clipped"})->ArgsProduct({{32, 64, 128}, {0, 1}});
BENCHMARK(Memcpy)->ArgName("side")->Args({32})->Args({64})->Args({128});
