// Object files: saving and loading a 320 x 200 sprite image with every
// storage method through a file in the temporary folder, in image bytes per
// second. The image is a 14-colour scene of flat areas and dithered edges,
// the kind of record games store; the stored size is reported as a counter.
//
//   Save/<method>   vekSaveObject at the start of the file
//   Load/<method>   vekLoadObject of that object
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

DWORD get32(const BYTE *b, size_t at)
{
    DWORD v;
    std::memcpy(&v, b + at, 4);
    return v;
}

void release(void *block)
{
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

constexpr LONG kWidth = 320, kHeight = 200;

HSPRITEDATA scene()
{
    HSPRITEDATA image = vekCreateSpriteDataObject(kWidth, kHeight);
    BYTE *pixels = image + 4 + get32(image, 14);
    for (LONG y = 0; y < kHeight; y++) {
        for (LONG x = 0; x < kWidth; x++) {
            const LONG band = (x + y / 3) / 40;
            const bool edge = (x + y / 3) % 40 < 3;
            pixels[y * kWidth + x] = static_cast<BYTE>(edge ? ((x ^ y) & 1 ? 40 : 41) : 20 + band % 12);
        }
    }
    return image;
}

std::string scratchPath()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vekkit-bench-object.obj";
}

void Save(benchmark::State &state)
{
    const DWORD method = static_cast<DWORD>(state.range(0));
    HSPRITEDATA image = scene();
    const std::string path = scratchPath();
    const HFILE f = _lcreat(path.c_str(), 0);
    DWORD stored = 0;
    for (auto _ : state) {
        _llseek(f, 0, 0);
        benchmark::DoNotOptimize(stored = vekSaveObject(f, image, STORE_WITH_HEADER | method, 0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (get32(image, 0) + 4));
    state.counters["stored"] = _llseek(f, 0, 1) - 12;
    _lclose(f);
    DeleteFileA(path.c_str());
    release(image);
}

void Load(benchmark::State &state)
{
    const DWORD method = static_cast<DWORD>(state.range(0));
    HSPRITEDATA image = scene();
    const std::string path = scratchPath();
    const HFILE f = _lcreat(path.c_str(), 0);
    vekSaveObject(f, image, STORE_WITH_HEADER | method, 0);
    for (auto _ : state) {
        _llseek(f, 0, 0);
        void *back = vekLoadObject(f, STORE_WITH_HEADER, 0);
        if (!back) {
            state.SkipWithError("load failed");
            break;
        }
        release(back);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (get32(image, 0) + 4));
    _lclose(f);
    DeleteFileA(path.c_str());
    release(image);
}

void methods(benchmark::internal::Benchmark *b)
{
    b->ArgName("method");
    for (int m : {STORE_RAW, STORE_LZSS, STORE_IMAGE_BITS, STORE_IMAGE_4BIT, STORE_IMAGE_BITS_FLAGS}) b->Arg(m);
}

}  // namespace

BENCHMARK(Save)->Apply(methods);
BENCHMARK(Load)->Apply(methods);
