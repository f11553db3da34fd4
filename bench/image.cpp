// Colour matching and cels: vekGetNearestColor in time per call beside a
// plain exhaustive search written here, and ditherdib, vekLoadCel and
// vekPalDIBToCel in pixels per second (items_per_second).
//
// The palette and the 1024 queries are random with a fixed seed, so that no
// query is answered by the first entries; the searches run over that
// palette (sixbit 0) and over one whose components have six bits, as VGA
// palettes do (sixbit 1). Images are 320 x 200 with runs of one colour, a
// transparent border and noise, like game artwork.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kQueries = 1024;
constexpr int kWidth = 320, kHeight = 200;

struct Scene {
    std::vector<PALETTEENTRY> palette = std::vector<PALETTEENTRY>(256);
    std::vector<PALETTEENTRY> sixBitPalette = std::vector<PALETTEENTRY>(256);
    std::vector<RGBQUAD> queries = std::vector<RGBQUAD>(kQueries);
    std::vector<BYTE> file;  // an 8-bit bitmap file of kWidth x kHeight
    VEKCONTEXT context{};

    Scene()
    {
        std::mt19937 rng(5);
        for (PALETTEENTRY &e : palette) e = PALETTEENTRY{BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
        for (RGBQUAD &q : queries) q = RGBQUAD{BYTE(rng()), BYTE(rng()), BYTE(rng()), 0};
        auto sixBits = [&] { const BYTE c = BYTE(rng() % 64); return BYTE(c << 2 | c >> 4); };
        for (PALETTEENTRY &e : sixBitPalette) e = PALETTEENTRY{sixBits(), sixBits(), sixBits(), 0};
        setpe(&context, palette.data());

        const DWORD offBits = 1078, stride = (kWidth + 3) & ~3;
        file.assign(offBits + stride * kHeight, 0);
        auto put32 = [&](size_t at, DWORD v) { std::memcpy(&file[at], &v, 4); };
        file[0] = 'B', file[1] = 'M';
        put32(2, static_cast<DWORD>(file.size()));
        put32(10, offBits);
        put32(14, 40);
        put32(18, kWidth);
        put32(22, kHeight);
        file[26] = 1, file[28] = 8;
        for (int i = 0; i < 256; i++) {
            file[54 + 4 * i] = BYTE(rng());
            file[55 + 4 * i] = BYTE(rng());
            file[56 + 4 * i] = BYTE(rng());
        }
        for (int y = 0; y < kHeight; y++) {
            BYTE colour = 0;
            for (int x = 0; x < kWidth; x++) {
                if (rng() % 8 == 0) colour = BYTE(1 + rng() % 255);
                const bool border = x < 20 || x >= kWidth - 20 || y < 10 || y >= kHeight - 10;
                file[offBits + y * stride + x] = border ? 0 : (y % 3 ? colour : BYTE(rng()));
            }
        }
    }
};

const Scene &scene()
{
    static const Scene s;
    return s;
}

// The search a plain C programmer writes: every entry, no early exit.
DWORD plainNearest(const PALETTEENTRY *palette, const RGBQUAD &q)
{
    DWORD best = 0, bestDistance = 0xFFFFFFFF;
    for (DWORD i = 0; i < 256; i++) {
        if (i == 8) continue;
        const int dr = palette[i].peRed - q.rgbRed;
        const int dg = palette[i].peGreen - q.rgbGreen;
        const int db = palette[i].peBlue - q.rgbBlue;
        const auto d = static_cast<DWORD>(dr * dr + dg * dg + db * db);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

void NearestColor_vekGetNearestColor(benchmark::State &state)
{
    Scene s = scene();
    if (state.range(0)) setpe(&s.context, s.sixBitPalette.data());
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vekGetNearestColor(&s.context, &s.queries[k]));
        k = (k + 1) % kQueries;
    }
}
BENCHMARK(NearestColor_vekGetNearestColor)->ArgName("sixbit")->Arg(0)->Arg(1);

void NearestColor_PlainSearch(benchmark::State &state)
{
    const Scene &s = scene();
    const PALETTEENTRY *palette = state.range(0) ? s.sixBitPalette.data() : s.palette.data();
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plainNearest(palette, s.queries[k]));
        k = (k + 1) % kQueries;
    }
}
BENCHMARK(NearestColor_PlainSearch)->ArgName("sixbit")->Arg(0)->Arg(1);

// A DI record holding the scene's file.
std::vector<BYTE> sceneRecord()
{
    const std::vector<BYTE> &file = scene().file;
    std::vector<BYTE> record(4 + file.size());
    const DWORD length = static_cast<DWORD>(file.size());
    std::memcpy(record.data(), &length, 4);
    std::memcpy(record.data() + 4, file.data(), file.size());
    return record;
}

void Dither(benchmark::State &state)
{
    Scene s = scene();
    const std::vector<BYTE> original = sceneRecord();
    std::vector<BYTE> record = original;
    for (auto _ : state) {
        std::memcpy(record.data(), original.data(), record.size());
        ditherdib(&s.context, record.data(), 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(Dither)->Unit(benchmark::kMicrosecond);

void LoadCel(benchmark::State &state)
{
    Scene s = scene();
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(n && n < MAX_PATH ? temp : "") + "vekkit-bench-cel.bmp";
    const HFILE f = _lcreat(path.c_str(), 0);
    _lwrite(f, reinterpret_cast<LPCSTR>(s.file.data()), static_cast<UINT>(s.file.size()));
    _lclose(f);
    for (auto _ : state) {
        const LONG_PTR cel = vekLoadCel(state.range(0) ? &s.context : nullptr, path.c_str(), FALSE);
        if (cel <= 0) {
            state.SkipWithError("vekLoadCel failed");
            break;
        }
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(cel));
    }
    DeleteFileA(path.c_str());
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(LoadCel)->ArgName("mapped")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void PalDIBToCel(benchmark::State &state)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4 + scene().file.size());
    auto *record = static_cast<BYTE *>(GlobalLock(mem));
    const std::vector<BYTE> bytes = sceneRecord();
    std::memcpy(record, bytes.data(), bytes.size());
    for (auto _ : state) {
        const LONG_PTR cel = vekPalDIBToCel(record, FALSE, 0);
        if (cel <= 0) {
            state.SkipWithError("vekPalDIBToCel failed");
            break;
        }
        vekDeleteSpriteData(reinterpret_cast<HSPRITEDATA>(cel));
    }
    GlobalUnlock(mem);
    GlobalFree(mem);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(PalDIBToCel)->Unit(benchmark::kMicrosecond);

}  // namespace
