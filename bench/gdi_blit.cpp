// The hosted platform's drawing paths that the sprite engine leans on: an
// 8-bit frame shown through StretchDIBits, masked sprites between display
// bitmaps, fills. Items are pixels. The 32 x 32 cases measure what one call
// costs beyond its pixels: the frame update makes many such small calls.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A visible 640 x 480 window with a realised 256-colour palette: one that
// the system palette shows one to one (static colours in place, the others
// PC_NOCOLLAPSE, as games and the frame update have it), or one whose
// indices map to other system entries.
struct Scene {
    HWND window;
    HDC dc;
    HPALETTE palette;

    explicit Scene(bool oneToOne = false)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = plainProc;
        wc.lpszClassName = "VekBenchScene";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                 nullptr, nullptr);
        dc = GetDC(window);
        struct {
            WORD version, count;
            PALETTEENTRY entries[256];
        } lp{0x300, 256, {}};
        for (int i = 0; i < 256; i++) lp.entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i * 3), 0};
        if (oneToOne) {
            GetSystemPaletteEntries(dc, 0, 10, lp.entries);
            GetSystemPaletteEntries(dc, 246, 10, lp.entries + 246);
            for (int i = 10; i < 246; i++) lp.entries[i].peFlags = PC_NOCOLLAPSE;
        }
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&lp));
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    ~Scene()
    {
        ReleaseDC(window, dc);
        DestroyWindow(window);
        DeleteObject(palette);
        UnregisterClassA("VekBenchScene", nullptr);
    }
};

struct Frame {
    BITMAPINFOHEADER header{};
    union {
        WORD indices[256];
        RGBQUAD colors[256];
    };
    std::vector<BYTE> pixels;

    Frame(int width, int height, UINT usage) : pixels(static_cast<size_t>(width) * height)
    {
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = 8;
        for (int i = 0; i < 256; i++) {
            if (usage == DIB_PAL_COLORS)
                indices[i] = WORD(i);
            else
                colors[i] = RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i), 0};
        }
        for (size_t i = 0; i < pixels.size(); i++) pixels[i] = BYTE(i * 7 + i / 640);
    }
    const BITMAPINFO *info() const { return reinterpret_cast<const BITMAPINFO *>(this); }
};

void frameToWindow(benchmark::State &state, UINT usage)
{
    Scene scene;
    Frame frame(640, 480, usage);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchDIBits(scene.dc, 0, 0, 640, 480, 0, 0, 640, 480, frame.pixels.data(),
                                               frame.info(), usage, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_FrameToWindowPalColors(benchmark::State &state) { frameToWindow(state, DIB_PAL_COLORS); }
void BM_FrameToWindowRgbColors(benchmark::State &state) { frameToWindow(state, DIB_RGB_COLORS); }

void BM_SmallDibToWindowRgbColors(benchmark::State &state)
{
    // A 32 x 32 tile: here the colour matching of the table dominates.
    Scene scene;
    Frame tile(32, 32, DIB_RGB_COLORS);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            StretchDIBits(scene.dc, 8, 8, 32, 32, 0, 0, 32, 32, tile.pixels.data(), tile.info(), DIB_RGB_COLORS,
                          SRCCOPY));
    state.SetItemsProcessed(state.iterations() * 32 * 32);
}

// The per-call cases: range(0) is the side of the square drawn (32, or 1 for
// the cost of a call alone), range(1) whether the palette maps one to one.
void BM_SmallDibToWindowPalColors(benchmark::State &state)
{
    // The frame update's copy to the window: palette indices.
    const int side = static_cast<int>(state.range(0));
    Scene scene(state.range(1) != 0);
    Frame tile(side, side, DIB_PAL_COLORS);
    for (auto _ : state)
        benchmark::DoNotOptimize(StretchDIBits(scene.dc, 8, 8, side, side, 0, 0, side, side, tile.pixels.data(),
                                               tile.info(), DIB_PAL_COLORS, SRCCOPY));
    state.SetItemsProcessed(state.iterations() * side * side);
}

// BitBlt of a square from a display bitmap to the window: range(0) the
// side, range(1) the raster operation's code.
void BM_SmallBitBlt(benchmark::State &state)
{
    const int side = static_cast<int>(state.range(0));
    const DWORD rop = static_cast<DWORD>(state.range(1));
    Scene scene;
    HDC memory = CreateCompatibleDC(scene.dc);
    HBITMAP bitmap = CreateCompatibleBitmap(scene.dc, 64, 64);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 64, 64, WHITENESS);
    for (auto _ : state) benchmark::DoNotOptimize(BitBlt(scene.dc, 8, 8, side, side, memory, 4, 4, rop));
    state.SetItemsProcessed(state.iterations() * side * side);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void BM_SmallPatBlt(benchmark::State &state)
{
    const int side = static_cast<int>(state.range(0));
    Scene scene;
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(77));
    HGDIOBJ old = SelectObject(scene.dc, brush);
    for (auto _ : state) benchmark::DoNotOptimize(PatBlt(scene.dc, 8, 8, side, side, PATCOPY));
    state.SetItemsProcessed(state.iterations() * side * side);
    SelectObject(scene.dc, old);
    DeleteObject(brush);
}

void BM_MaskedSprite64(benchmark::State &state)
{
    // The device-dependent sprite path: mask ANDed, image ORed, 64 x 64.
    Scene scene;
    HDC back = CreateCompatibleDC(scene.dc), mask = CreateCompatibleDC(scene.dc), image = CreateCompatibleDC(scene.dc);
    HBITMAP backBitmap = CreateCompatibleBitmap(scene.dc, 640, 480);
    HBITMAP maskBitmap = CreateBitmap(64, 64, 1, 1, nullptr);
    HBITMAP imageBitmap = CreateCompatibleBitmap(scene.dc, 64, 64);
    SelectObject(back, backBitmap);
    SelectObject(mask, maskBitmap);
    SelectObject(image, imageBitmap);
    PatBlt(mask, 16, 16, 32, 32, WHITENESS);
    int x = 0;
    for (auto _ : state) {
        BitBlt(back, x, 100, 64, 64, mask, 0, 0, SRCAND);
        BitBlt(back, x, 100, 64, 64, image, 0, 0, SRCPAINT);
        x = (x + 7) % 576;
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
    DeleteDC(back);
    DeleteDC(mask);
    DeleteDC(image);
    DeleteObject(backBitmap);
    DeleteObject(maskBitmap);
    DeleteObject(imageBitmap);
}

void BM_FillRectWindow(benchmark::State &state)
{
    Scene scene;
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(77));
    RECT all{0, 0, 640, 480};
    for (auto _ : state) benchmark::DoNotOptimize(FillRect(scene.dc, &all, brush));
    state.SetItemsProcessed(state.iterations() * 640 * 480);
    DeleteObject(brush);
}

}  // namespace

BENCHMARK(BM_FrameToWindowPalColors);
BENCHMARK(BM_FrameToWindowRgbColors);
BENCHMARK(BM_SmallDibToWindowRgbColors);
BENCHMARK(BM_SmallDibToWindowPalColors)->Args({32, 1})->Args({32, 0})->Args({1, 1});
BENCHMARK(BM_SmallBitBlt)->Args({32, SRCCOPY})->Args({32, SRCAND})->Args({1, SRCCOPY});
BENCHMARK(BM_SmallPatBlt)->Arg(32)->Arg(1);
BENCHMARK(BM_MaskedSprite64);
BENCHMARK(BM_FillRectWindow);
