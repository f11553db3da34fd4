// Solid fills of 8-bit DI images, in pixels per second, beside a plain
// memset of the same rows.
//
//   Fill/<side>    vekSpriteFill of a rectangle of the 640 x 480 image: the
//                  whole image (side 0) or a side x side square at (100, 100)
//   Memset/<side>  memset of the same rows, bottom row first as the fill
//                  walks them
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr LONG kWidth = 640, kHeight = 480, kAt = 100;

// The off-screen image of a context, made once.
HSPRITEDATA screen()
{
    static HSPRITEDATA image = vekCreateSpriteData(kWidth, kHeight);
    return image;
}

BYTE *pixelsOf(HSPRITEDATA image)
{
    DWORD offset;
    std::memcpy(&offset, image + 14, 4);
    return image + 4 + offset;
}

struct Area {
    LONG x, width, height;
};

Area areaOf(const benchmark::State &state)
{
    const LONG side = static_cast<LONG>(state.range(0));
    return side ? Area{kAt, side, side} : Area{0, kWidth, kHeight};  // x is also y
}

void Fill(benchmark::State &state)
{
    const Area a = areaOf(state);
    HSPRITEDATA image = screen();
    BYTE colour = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vekSpriteFill(image, a.x, a.x, a.width, a.height, ++colour));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * a.width * a.height);
}

void Memset(benchmark::State &state)
{
    const Area a = areaOf(state);
    const size_t stride = (kWidth + 3) & ~3;
    // The bottom row of the rectangle, in memory order.
    BYTE *bottom = pixelsOf(screen()) + static_cast<size_t>(kHeight - a.x - a.height) * stride + a.x;
    BYTE colour = 0;
    for (auto _ : state) {
        ++colour;
        BYTE *row = bottom;
        for (LONG y = 0; y < a.height; y++, row += stride) std::memset(row, colour, static_cast<size_t>(a.width));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * a.width * a.height);
}

}  // namespace

BENCHMARK(Fill)->ArgName("side")->Args({0})->Args({64});
BENCHMARK(Memset)->ArgName("side")->Args({0})->Args({64});
