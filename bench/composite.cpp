// Composite sprites and DIB sections: vekBuildCompositeSprite flattening
// sixteen 64 x 48 cels (a transparent border, runs and noise) over a
// 320 x 200 canvas, and vekHSPRITEDATAtoDIBSection copying a 320 x 200
// record, both in canvas pixels per second (items_per_second).
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <vector>

namespace {

constexpr int kCanvasWidth = 320, kCanvasHeight = 200;
constexpr int kCelWidth = 64, kCelHeight = 48, kCels = 16;

// A raw record of width x height with a transparent (index 0) border,
// runs of one colour and noise rows.
HSPRITEDATA artwork(int width, int height, std::mt19937 &rng)
{
    HSPRITEDATA record = vekCreateSpriteDataObject(width, height);
    const int stride = (width + 3) & ~3;
    for (int y = 0; y < height; y++) {
        BYTE colour = 1;
        for (int x = 0; x < width; x++) {
            if (rng() % 8 == 0) colour = BYTE(1 + rng() % 255);
            const bool border = x < 4 || x >= width - 4 || y < 4 || y >= height - 4;
            record[572 + y * stride + x] = border ? 0 : (y % 3 ? colour : BYTE(1 + rng() % 255));
        }
    }
    return record;
}

void BM_BuildCompositeSprite(benchmark::State &state)
{
    std::mt19937 rng(9);
    std::vector<std::max_align_t> storage(
        1 + (offsetof(VEKCOMPOSITELIST, entries) + kCels * sizeof(VEKCOMPOSITEENTRY)) / sizeof(std::max_align_t));
    auto *list = reinterpret_cast<LPVEKCOMPOSITELIST>(storage.data());
    list->count = kCels;
    for (int i = 0; i < kCels; i++) {
        HSPRITEDATA raw = artwork(kCelWidth, kCelHeight, rng);
        auto cel = reinterpret_cast<HSPRITEDATA>(vekPalDIBToCel(raw, FALSE, 0));
        vekDeleteSpriteData(raw);
        const LONG left = i % 4 * (kCanvasWidth - kCelWidth) / 3, top = i / 4 * (kCanvasHeight - kCelHeight) / 3;
        list->entries[i] = VEKCOMPOSITEENTRY{cel, left, top, left + kCelWidth, top + kCelHeight};
    }
    for (auto _ : state) {
        const LONG_PTR cel = vekBuildCompositeSprite(list);
        if (cel <= 0) {
            state.SkipWithError("vekBuildCompositeSprite failed");
            break;
        }
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(cel));
    }
    state.SetItemsProcessed(state.iterations() * kCanvasWidth * kCanvasHeight);
    for (int i = 0; i < kCels; i++) vekDeleteSpriteData(list->entries[i].image);
}
BENCHMARK(BM_BuildCompositeSprite);

void BM_DIBSection(benchmark::State &state)
{
    std::mt19937 rng(9);
    HSPRITEDATA image = artwork(kCanvasWidth, kCanvasHeight, rng);
    HDC dc = CreateCompatibleDC(nullptr);
    for (auto _ : state) {
        HBITMAP section = vekHSPRITEDATAtoDIBSection(dc, image);
        if (!section) {
            state.SkipWithError("vekHSPRITEDATAtoDIBSection failed");
            break;
        }
        DeleteObject(section);
    }
    state.SetItemsProcessed(state.iterations() * kCanvasWidth * kCanvasHeight);
    DeleteDC(dc);
    vekDeleteSpriteData(image);
}
BENCHMARK(BM_DIBSection);

}  // namespace
