// Presenting window pixels on a live display through the SDL2 back end: a
// changed 640 x 480 8-bit frame (converted through the system palette and
// handed to the display whole) beside a frame of 16 changed 32 x 32
// rectangles, each drawn with StretchDIBits and shown with GdiFlush, which
// returns once the presentation's thread has shown it. The same drawing
// into a hidden window, which nothing presents, is the part to take away.
// Counter: cpu_us_per_frame, the CPU time of the whole process (drawing
// thread and presentation thread) per frame.
//
// It asks for the SDL2 back end at scale 1, so it needs a display:
//   xvfb-run -a build/default/bench/bench_present
//   SDL_VIDEODRIVER=dummy build/default/bench/bench_present   (no X: the CPU cost alone)
// Without one the platform says so on stderr and every figure is the drawing alone.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480, kSide = 32, kRects = 16;

struct Frame {
    BITMAPINFOHEADER header{};
    WORD indices[256];
};

struct Setup {
    HWND shown = nullptr, hidden = nullptr;
    HDC shownDc = nullptr, hiddenDc = nullptr;
    Frame info;
    std::vector<BYTE> pixels[2];  // two different frames, so that every frame changes

    Setup()
    {
        setenv("VEKHOST_DISPLAY", "sdl", 0);
        setenv("VEKHOST_SCALE", "1", 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "PresentBench";
        RegisterClassA(&wc);
        shown = CreateWindowExA(0, "PresentBench", "present", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                                nullptr, nullptr);
        hidden = CreateWindowExA(0, "PresentBench", "hidden", WS_POPUP, 0, 0, kW, kH, nullptr, nullptr, nullptr,
                                 nullptr);
        shownDc = GetDC(shown);
        hiddenDc = GetDC(hidden);
        // A palette of 236 colours realised into the system palette.
        struct {
            WORD version, count;
            PALETTEENTRY entries[236];
        } log{0x300, 236, {}};
        for (int i = 0; i < 236; i++)
            log.entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i * 7), PC_NOCOLLAPSE};
        HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
        for (HDC dc : {shownDc, hiddenDc}) {
            SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = kW;
        info.header.biHeight = -kH;
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        for (int i = 0; i < 256; i++) info.indices[i] = WORD(i % 236);
        for (int f = 0; f < 2; f++) {
            pixels[f].resize(size_t{kW} * kH);
            for (size_t i = 0; i < pixels[f].size(); i++) pixels[f][i] = BYTE((i * 13 + f * 101) % 236);
        }
        GdiFlush();
    }
};

Setup &setup()
{
    static Setup s;
    return s;
}

void draw(HDC dc, int frame, bool whole)
{
    Setup &s = setup();
    const BYTE *bits = s.pixels[frame & 1].data();
    const auto *info = reinterpret_cast<const BITMAPINFO *>(&s.info);
    if (whole) {
        StretchDIBits(dc, 0, 0, kW, kH, 0, 0, kW, kH, bits, info, DIB_PAL_COLORS, SRCCOPY);
        return;
    }
    // Sixteen squares spread over the frame, moving a little every frame.
    for (int k = 0; k < kRects; k++) {
        const int x = (k % 4) * 150 + (frame * 3) % 100, y = (k / 4) * 110 + (frame * 2) % 60;
        StretchDIBits(dc, x, y, kSide, kSide, x, kH - y - kSide, kSide, kSide, bits, info, DIB_PAL_COLORS, SRCCOPY);
    }
}

double processCpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void run(benchmark::State &state, bool live, bool whole)
{
    Setup &s = setup();
    HDC dc = live ? s.shownDc : s.hiddenDc;
    int frame = 0;
    const double start = processCpuSeconds();
    for (auto _ : state) {
        draw(dc, frame++, whole);
        GdiFlush();
    }
    state.counters["cpu_us_per_frame"] =
        (processCpuSeconds() - start) * 1e6 / static_cast<double>(state.iterations());
}

void BM_PresentFullFrame(benchmark::State &state) { run(state, true, true); }
void BM_PresentDirtyRects(benchmark::State &state) { run(state, true, false); }
void BM_DrawFullFrameOnly(benchmark::State &state) { run(state, false, true); }
void BM_DrawDirtyRectsOnly(benchmark::State &state) { run(state, false, false); }

}  // namespace

BENCHMARK(BM_PresentFullFrame)->UseRealTime();
BENCHMARK(BM_PresentDirtyRects)->UseRealTime();
BENCHMARK(BM_DrawFullFrameOnly)->UseRealTime();
BENCHMARK(BM_DrawDirtyRectsOnly)->UseRealTime();
