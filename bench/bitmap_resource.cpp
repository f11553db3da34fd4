// Compressed bitmap resources and bitmap mirroring: vekLoadBitmap in both
// modes on a 640 x 480 8-bit picture (items are decoded bytes), and
// vekFlipBitmap of a display bitmap of that size (items are pixels).
//
// The resource file is written beside the program before the runs, where
// the hosted platform reads a module's resources from.
#include <windows.h>
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "objfile/lzss.h"
#include "tests/support/res_file.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr WORD kId = 1;

void put16(std::vector<BYTE> &b, size_t at, WORD v) { std::memcpy(b.data() + at, &v, 2); }
void put32(std::vector<BYTE> &b, size_t at, DWORD v) { std::memcpy(b.data() + at, &v, 4); }

// A picture with long runs and some texture, as game art has.
std::vector<BYTE> picture()
{
    const size_t off = 14 + 40 + 1024;
    std::vector<BYTE> f(off + size_t{kWidth} * kHeight);
    put16(f, 0, 0x4D42);
    put32(f, 2, static_cast<DWORD>(f.size()));
    put32(f, 10, static_cast<DWORD>(off));
    put32(f, 14, 40);
    put32(f, 18, kWidth);
    put32(f, 22, kHeight);
    put16(f, 26, 1);
    put16(f, 28, 8);
    for (int i = 0; i < 256; i++) f[54 + 4 * i] = f[55 + 4 * i] = f[56 + 4 * i] = static_cast<BYTE>(i);
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++)
            f[off + size_t{kWidth} * y + x] = static_cast<BYTE>((x / 40 + y / 30) * 16 + ((x * y) % 7 == 0));
    return f;
}

bool prepared()
{
    static const bool ok = [] {
        const std::vector<BYTE> image = picture();
        std::vector<BYTE> data(8);
        vek::LzssEncode(
            image.data(), static_cast<DWORD>(image.size()),
            [](void *context, const BYTE *bytes, DWORD length) {
                auto &d = *static_cast<std::vector<BYTE> *>(context);
                d.insert(d.end(), bytes, bytes + length);
            },
            &data);
        put32(data, 0, static_cast<DWORD>(image.size()));
        put32(data, 4, static_cast<DWORD>(data.size()));
        return support::writeFileBytes(support::programResPath(),
                                       support::resFile({{support::stringId("VORTLBMP"), support::ordinalId(kId), data}}));
    }();
    return ok;
}

void LoadBitmapBlock(benchmark::State &state)
{
    if (!prepared()) return state.SkipWithError("resource file not written");
    for (auto _ : state) {
        HGLOBAL block = static_cast<HGLOBAL>(vekLoadBitmap(nullptr, MAKEINTRESOURCEA(kId), 2, nullptr));
        if (!block) return state.SkipWithError("resource not loaded");
        GlobalFree(block);
    }
    state.SetItemsProcessed(state.iterations() * int64_t{14 + 40 + 1024 + kWidth * kHeight});
}
BENCHMARK(LoadBitmapBlock);

void LoadBitmapDdb(benchmark::State &state)
{
    if (!prepared()) return state.SkipWithError("resource file not written");
    HDC screen = GetDC(nullptr);
    for (auto _ : state) {
        HBITMAP bitmap = static_cast<HBITMAP>(vekLoadBitmap(nullptr, MAKEINTRESOURCEA(kId), 1, screen));
        if (!bitmap) return state.SkipWithError("bitmap not made");
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    state.SetItemsProcessed(state.iterations() * int64_t{14 + 40 + 1024 + kWidth * kHeight});
}
BENCHMARK(LoadBitmapDdb);

void FlipBitmap(benchmark::State &state)
{
    HDC screen = GetDC(nullptr);
    HBITMAP source = CreateCompatibleBitmap(screen, kWidth, kHeight);
    for (auto _ : state) {
        HBITMAP mirrored = vekFlipBitmap(source, nullptr);
        if (!mirrored) return state.SkipWithError("no mirrored bitmap");
        DeleteObject(mirrored);
    }
    DeleteObject(source);
    ReleaseDC(nullptr, screen);
    state.SetItemsProcessed(state.iterations() * int64_t{kWidth * kHeight});
}
BENCHMARK(FlipBitmap);

}  // namespace
