// Registry values by path on a store of <keys> keys with four values each:
//
//   Set/<keys>   SetRegValue of a DWORD: lock, check for another process's
//                save, change, and save the whole store (written, synced,
//                renamed)
//   Get/<keys>   GetRegValue of the same value: lock, check, look up
//
// Run it with VEKHOST_PREFIX naming a scratch folder: it fills user.reg
// there.
#include <vekkit.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

void fillStore(int keys)
{
    static int filled = 0;
    for (; filled < keys; ++filled) {
        for (int value = 0; value < 4; ++value) {
            std::string path = "Software\\Bench\\Key" + std::to_string(filled) + "\\Value" + std::to_string(value);
            DWORD data = DWORD(value);
            SetRegValue(nullptr, path.c_str(), reinterpret_cast<const BYTE *>(&data), 4, REG_DWORD);
        }
    }
}

void Set(benchmark::State &state)
{
    fillStore(int(state.range(0)));
    DWORD n = 0;
    for (auto _ : state) {
        ++n;
        SetRegValue(nullptr, "Software\\Bench\\Key0\\Counter", reinterpret_cast<const BYTE *>(&n), 4, REG_DWORD);
    }
    state.SetItemsProcessed(state.iterations());
}

void Get(benchmark::State &state)
{
    fillStore(int(state.range(0)));
    for (auto _ : state) {
        DWORD size, type;
        void *block = GetRegValue(nullptr, "Software\\Bench\\Key0\\Value1", &size, &type);
        benchmark::DoNotOptimize(block);
        HGLOBAL memory = GlobalHandle(block);
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

// Registered size by size: the store only grows.
BENCHMARK(Get)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Set)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(Get)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(Set)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(Get)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Set)->Arg(1000)->Unit(benchmark::kMicrosecond);
