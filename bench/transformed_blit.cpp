// The transformed blit of a 128 x 128 raw sprite into a 640 x 480 off-screen
// image, in destination pixels per second: every pixel of the sprite's
// target rectangle counts, drawn or not.
//
//   Rotate30    30 degrees at scale 1 (the general loop; about half of the
//               175 x 175 rectangle lies outside the image)
//   Scale2      scale 2 in both directions (fractional steps of 0.5)
//   Rotate90    90 degrees at scale 1 (whole steps, one byte step a pixel)
//   Rotate90x3  90 degrees with scale 3 across (whole steps along a row,
//               a fractional step from row to row)
//
// A fifth of the sprite's pixels hold the key colour.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include "raster/transformed_blit.h"

#include <cstring>

namespace {

constexpr VEKFIXED kOne = 0x10000;
constexpr LONG kSide = 128;

void release(HSPRITEDATA image)
{
    HGLOBAL mem = GlobalHandle(image);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

BYTE *pixelsOf(HSPRITEDATA image)
{
    DWORD offset;
    std::memcpy(&offset, image + 14, 4);
    return image + 4 + offset;
}

void transformed(benchmark::State &state, VEKFIXED sx, VEKFIXED sy, VEKFIXED rotation)
{
    HSPRITEDATA src = vekCreateSpriteDataObject(kSide, kSide);
    HSPRITEDATA dst = vekCreateSpriteData(640, 480);
    BYTE *p = pixelsOf(src);
    for (LONG i = 0; i < kSide * kSide; i++) p[i] = i % 5 == 0 ? 0 : static_cast<BYTE>(i * 13 % 250 + 1);

    VEKMATRIX m;
    vekBuildMatrix(&m, sx, sy, rotation, 0);
    LONG width = kSide, height = kSide;
    vekGetTransformedDimensions(&width, &height, &m);
    VEKSPRITE sprite{};
    sprite.target = RECT{0, 0, width, height};
    sprite.transform = &m;

    for (auto _ : state) {
        benchmark::DoNotOptimize(vek::TransformedSpriteBlt(vek::viewRecord(dst), 100, 40, vek::viewRecord(src), 0, 0,
                                                           width, height, &sprite));
        benchmark::ClobberMemory();
    }
    state.counters["dst_px"] = static_cast<double>(width) * height;
    state.counters["px/s"] = benchmark::Counter(static_cast<double>(width) * height,
                                                benchmark::Counter::kIsIterationInvariantRate);
    release(src);
    release(dst);
}

}  // namespace

BENCHMARK_CAPTURE(transformed, Rotate30, kOne, kOne, 30 * kOne);
BENCHMARK_CAPTURE(transformed, Scale2, 2 * kOne, 2 * kOne, 0);
BENCHMARK_CAPTURE(transformed, Rotate90, kOne, kOne, 90 * kOne);
BENCHMARK_CAPTURE(transformed, Rotate90x3, 3 * kOne, kOne, 90 * kOne);
