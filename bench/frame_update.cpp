// Frames per second of the frame update: N moving 32 x 32 RLE sprites on a
// 640 x 480 playfield shown in a hosted window. The update runs with a
// 160 x 120 off-screen image and with one as large as the playfield; beside
// it, the whole visible area recomposed every frame (an off-screen image as
// large as the playfield and a full redraw), and the 160 x 120 context
// redrawn whole. The update with the playfield-sized off-screen image and
// the whole redraw compare like for like; they are also timed frame by
// frame in turn on one scene. Last, ten sprites moving among many that
// stay.
//
// Counters: frames per second (items per second) and dirty_px, the area of
// the changed sprites' old-and-new rectangles per frame, which is what the
// update has to recompose before merging.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr LONG kW = 640, kH = 480, kSide = 32;

// A 32 x 32 RLE disc of one colour: every row a skip, a run and an end.
std::vector<BYTE> discStream(BYTE colour)
{
    std::vector<BYTE> s;
    for (LONG y = 0; y < kSide; y++) {
        const double dy = y + 0.5 - kSide / 2.0;
        LONG half = 0;
        while ((half + 0.5) * (half + 0.5) + dy * dy <= (kSide / 2.0) * (kSide / 2.0)) half++;
        const LONG left = kSide / 2 - half;
        s.insert(s.end(), {0, 2, static_cast<BYTE>(left), 0});
        if (half) s.insert(s.end(), {static_cast<BYTE>(2 * half), colour});
        s.insert(s.end(), {0, 0});
    }
    s.insert(s.end(), {0, 1});
    return s;
}

HSPRITEDATA makeDisc(BYTE colour)
{
    const std::vector<BYTE> s = discStream(colour);
    HSPRITEDATA r = vekCreateSpriteDataObject(static_cast<LONG>(s.size()), 1);
    const DWORD header = 572 - 4;
    auto put32 = [&](size_t at, DWORD v) {
        for (int i = 0; i < 4; i++) r[at + i] = static_cast<BYTE>(v >> 8 * i);
    };
    put32(0, header + static_cast<DWORD>(s.size()));
    put32(22, kSide);
    put32(26, kSide);
    put32(34, BI_RLE8);
    put32(38, static_cast<DWORD>(s.size()));
    std::copy(s.begin(), s.end(), r + 572);
    return r;
}

struct Scene {
    HWND window;
    HDC dc;
    HPALETTE palette;
    LPVEKCONTEXT ctx;
    std::vector<HSPRITEDATA> images;
    struct Mover {
        LPVEKSPRITE sprite;
        LONG x, y, dx, dy;
    };
    std::vector<Mover> movers;

    size_t moving;  // the first movers move, the others stay

    Scene(int sprites, LONG offscreenWidth, LONG offscreenHeight, int moved = -1)
        : moving(static_cast<size_t>(moved < 0 ? sprites : moved))
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "VekBenchFrame";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "VekBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr,
                                 nullptr, nullptr);
        dc = GetDC(window);
        // A palette of the application's own, realised as a game would.
        struct {
            WORD version, count;
            PALETTEENTRY entries[256];
        } log{0x300, 256, {}};
        GetSystemPaletteEntries(dc, 0, 256, log.entries);
        for (int i = 10; i < 246; i++)
            log.entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i * 7), PC_NOCOLLAPSE};
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        ctx = vekCreateSpriteContext(window, dc, sprites, offscreenWidth, offscreenHeight, 20, nullptr, kW, kH);
        for (int i = 0; i < 8; i++) images.push_back(makeDisc(static_cast<BYTE>(30 + 20 * i)));
        std::mt19937 rng(1);
        for (int i = 0; i < sprites; i++) {
            Mover m{nullptr, static_cast<LONG>(rng() % (kW - kSide)), static_cast<LONG>(rng() % (kH - kSide)),
                    static_cast<LONG>(rng() % 7) - 3, static_cast<LONG>(rng() % 7) - 3};
            m.sprite = vekCreateSprite(ctx, images[i % 8], m.x, m.y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP, i % 5, 0);
            movers.push_back(m);
        }
        vekUpdateSpriteContext(ctx, dc);
    }
    ~Scene()
    {
        vekDeleteSpriteContext(ctx);
        for (HSPRITEDATA image : images) vekDeleteSpriteData(image);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        DeleteObject(palette);
    }

    // Moves every sprite one step, bouncing at the edges; returns the
    // changed area.
    double step()
    {
        double area = 0;
        for (size_t i = 0; i < moving; i++) {
            Mover &m = movers[i];
            if (m.x + m.dx < 0 || m.x + m.dx > kW - kSide) m.dx = -m.dx;
            if (m.y + m.dy < 0 || m.y + m.dy > kH - kSide) m.dy = -m.dy;
            m.x += m.dx;
            m.y += m.dy;
            vekAnimateSpriteAbs(ctx, m.sprite, nullptr, m.x, m.y, VEK_ANCHOR_LEFT | VEK_ANCHOR_TOP);
            area += static_cast<double>(kSide + std::abs(m.dx)) * (kSide + std::abs(m.dy));
        }
        return area;
    }
};

constexpr LONG kSmallW = 160, kSmallH = 120;

// The update, composing through an off-screen image of width x height.
void movingSprites(benchmark::State &state, LONG width, LONG height)
{
    Scene scene(static_cast<int>(state.range(0)), width, height);
    double area = 0;
    for (auto _ : state) {
        area += scene.step();
        vekUpdateSpriteContext(scene.ctx, scene.dc);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["dirty_px"] = benchmark::Counter(area / static_cast<double>(state.iterations()));
}

void BM_MovingSprites(benchmark::State &state)
{
    movingSprites(state, kSmallW, kSmallH);
}
BENCHMARK(BM_MovingSprites)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_MovingSpritesWholeOffscreen(benchmark::State &state)
{
    movingSprites(state, kW, kH);
}
BENCHMARK(BM_MovingSpritesWholeOffscreen)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_FullRecomposition(benchmark::State &state)
{
    Scene scene(static_cast<int>(state.range(0)), kW, kH);
    for (auto _ : state) {
        scene.step();
        vekRedrawSpriteContext(scene.ctx, scene.dc);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["dirty_px"] = benchmark::Counter(static_cast<double>(kW) * kH);
}
BENCHMARK(BM_FullRecomposition)->Arg(10)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The update and the whole redraw side by side in one run: one scene with
// the playfield-sized off-screen image, eight frames updated and eight
// redrawn in turn, each block timed in processor time (what other
// programs take does not count). Counters: update_us and redraw_us, the
// mean time of one frame of each, and redraw_per_update, how many updates
// one whole redraw costs.
void BM_UpdateBesideRedraw(benchmark::State &state)
{
    constexpr int kBlock = 8;
    Scene scene(static_cast<int>(state.range(0)), kW, kH);
    std::clock_t update = 0, redraw = 0;
    for (auto _ : state) {
        std::clock_t t = std::clock();
        for (int i = 0; i < kBlock; i++) {
            scene.step();
            vekUpdateSpriteContext(scene.ctx, scene.dc);
        }
        update += std::clock() - t;
        t = std::clock();
        for (int i = 0; i < kBlock; i++) {
            scene.step();
            vekRedrawSpriteContext(scene.ctx, scene.dc);
        }
        redraw += std::clock() - t;
    }
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    const double updateUs = 1e6 * static_cast<double>(update) / CLOCKS_PER_SEC / frames;
    const double redrawUs = 1e6 * static_cast<double>(redraw) / CLOCKS_PER_SEC / frames;
    state.counters["update_us"] = updateUs;
    state.counters["redraw_us"] = redrawUs;
    state.counters["redraw_per_update"] = redrawUs / updateUs;
}
BENCHMARK(BM_UpdateBesideRedraw)->Arg(10)->Arg(20)->Arg(30)->Arg(50)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Ten sprites moving among N - 10 that stay, with the playfield-sized
// off-screen image: the update's work follows the ten.
void BM_TenMovingAmongStill(benchmark::State &state)
{
    Scene scene(static_cast<int>(state.range(0)), kW, kH, 10);
    for (auto _ : state) {
        scene.step();
        vekUpdateSpriteContext(scene.ctx, scene.dc);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TenMovingAmongStill)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same 160 x 120 off-screen context redrawn whole every frame: the
// background painted into the window, then every sprite composed.
void BM_RedrawSameContext(benchmark::State &state)
{
    Scene scene(static_cast<int>(state.range(0)), kSmallW, kSmallH);
    for (auto _ : state) {
        scene.step();
        vekRedrawSpriteContext(scene.ctx, scene.dc);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RedrawSameContext)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
