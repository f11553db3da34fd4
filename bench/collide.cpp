// Pixel-exact collision tests of two 64 x 64 RLE discs, in tests per second.
//
//   Hit    b 24 pixels right of and 16 below a: the discs overlap,
//          the walk stops at the first row pair that meets
//   Miss   b 50 pixels right of and below a: the rectangles overlap,
//          the discs do not, so the walk runs to the lower disc's end
//   Rect   the rectangle test of the Hit placement
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr LONG kSide = 64;

void put32(BYTE *b, size_t at, DWORD v) { std::memcpy(b + at, &v, 4); }

// A disc of radius 27 (70% of the square opaque), each row a skip and one
// encoded run.
HSPRITEDATA disc()
{
    const double radius = 27.0, centre = kSide / 2.0;
    std::vector<BYTE> s;
    for (LONG row = 0; row < kSide; row++) {
        const double dy = row + 0.5 - centre;
        const double half = dy * dy < radius * radius ? std::sqrt(radius * radius - dy * dy) : 0.0;
        const LONG left = std::lround(centre - half), n = std::lround(centre + half) - left;
        if (n > 0) s.insert(s.end(), {0, 2, static_cast<BYTE>(left), 0, static_cast<BYTE>(n), 9});
        s.insert(s.end(), {0, 0});
    }
    s.insert(s.end(), {0, 1});
    HSPRITEDATA image = vekCreateSpriteDataObject(static_cast<LONG>(s.size()), 1);
    put32(image, 0, static_cast<DWORD>(568 + s.size()));
    put32(image, 22, kSide);
    put32(image, 26, kSide);
    put32(image, 34, BI_RLE8);
    put32(image, 38, static_cast<DWORD>(s.size()));
    std::memcpy(image + 572, s.data(), s.size());
    return image;
}

void collide(benchmark::State &state, LONG dx, LONG dy, LONG flags)
{
    HSPRITEDATA image = disc();
    LPVEKCONTEXT ctx = vekCreateSpriteContext(nullptr, nullptr, 2, 64, 48, 0, nullptr, 640, 480);
    const LONG topLeft = VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP;
    LPVEKSPRITE a = vekCreateSprite(ctx, image, 100, 100, topLeft, 0, 0);
    LPVEKSPRITE b = vekCreateSprite(ctx, image, 100 + dx, 100 + dy, topLeft, 0, 0);
    LONG result = 0;
    for (auto _ : state) benchmark::DoNotOptimize(result = vekCheckCollide(ctx, a, b, flags));
    if ((result != 0) != (dx < 50)) state.SkipWithError("unexpected collision result");
    state.SetItemsProcessed(state.iterations());
    vekDeleteSpriteContext(ctx);
    vekDeleteSpriteData(image);
}

void Hit(benchmark::State &state) { collide(state, 24, 16, 0); }
void Miss(benchmark::State &state) { collide(state, 50, 50, 0); }
void Rect(benchmark::State &state) { collide(state, 24, 16, VEK_COLLIDE_RECT); }

}  // namespace

BENCHMARK(Hit);
BENCHMARK(Miss);
BENCHMARK(Rect);
