// Sprite bookkeeping: creating a context full of sprites (every creation
// sorts the draw list), one draw-list sort after priority changes, the
// same sort done as a plain selection sort over the slots for comparison,
// and one animate call. The argument is the number of sprites; the context
// has exactly that many slots.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

struct Scene {
    HSPRITEDATA image = vekCreateSpriteDataObject(16, 16);
    LPVEKCONTEXT ctx;
    std::vector<LPVEKSPRITE> sprites;
    std::mt19937 rng{42};

    explicit Scene(LONG count) : ctx(vekCreateSpriteContext(nullptr, nullptr, count, 64, 64, 0, nullptr, 640, 480)) {}
    ~Scene()
    {
        vekDeleteSpriteContext(ctx);
        vekDeleteSpriteData(image);
    }
    LONG priority() { return static_cast<LONG>(rng() % 64); }
    void fill(LONG count)
    {
        for (LONG i = 0; i < count; i++)
            sprites.push_back(vekCreateSprite(ctx, image, i % 640, i % 480, 0, priority(), 0));
    }
    LPVEKSPRITE any() { return sprites[rng() % sprites.size()]; }
};

void CreateSprites(benchmark::State &state)
{
    const auto count = static_cast<LONG>(state.range(0));
    for (auto _ : state) {
        Scene scene(count);
        scene.fill(count);
        benchmark::DoNotOptimize(scene.ctx->drawList[0]);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void SortDrawList(benchmark::State &state)
{
    const auto count = static_cast<LONG>(state.range(0));
    Scene scene(count);
    scene.fill(count);
    for (auto _ : state) {
        vekSetSpritePriorityNosort(scene.ctx, scene.any(), scene.priority());
        vekSetSpritePriority(scene.ctx, scene.any(), scene.priority());
    }
}

// The draw list rebuilt by picking, count times, the lowest priority among
// the slots not yet taken.
void SelectionSortReference(benchmark::State &state)
{
    const auto count = static_cast<LONG>(state.range(0));
    Scene scene(count);
    scene.fill(count);
    const LPVEKSPRITE slots = scene.ctx->spriteSlots;
    std::vector<DWORD> marks(count);
    std::vector<LPVEKSPRITE> list(count);
    for (auto _ : state) {
        scene.any()->priority = static_cast<SHORT>(scene.priority());
        for (LONG i = 0; i < count; i++) marks[i] = slots[i].inUse ? 0 : 1;
        for (LONG n = 0; n < count; n++) {
            LONG k = 0;
            while (marks[k]) k++;
            for (LONG j = k + 1; j < count; j++)
                if (!marks[j] && slots[j].priority < slots[k].priority) k = j;
            marks[k] = 1;
            list[n] = &slots[k];
        }
        benchmark::DoNotOptimize(list.data());
    }
}

void AnimateSprite(benchmark::State &state)
{
    Scene scene(1);
    scene.fill(1);
    LPVEKSPRITE s = scene.sprites[0];
    LONG step = 1;
    for (auto _ : state) {
        vekAnimateSprite(scene.ctx, s, nullptr, step, 0, VEK_ANCHOR_HCENTER | VEK_ANCHOR_VCENTER);
        step = -step;
    }
}

}  // namespace

BENCHMARK(CreateSprites)->Arg(100)->Arg(1000);
BENCHMARK(SortDrawList)->Arg(100)->Arg(1000);
BENCHMARK(SelectionSortReference)->Arg(100)->Arg(1000);
BENCHMARK(AnimateSprite);
