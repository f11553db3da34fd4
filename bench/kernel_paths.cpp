// Cost of opening a file through the kernel's path translation: exact case
// (one lookup), another case (each component looked up by listing its
// folder), and another case in a folder of many files.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A folder of the temporary directory holding data.bin and count - 1 other
// files; returns its path.
std::string makeFolder(const char *name, int count)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < count; i++) {
        std::string file = folder + (i ? "\\file" + std::to_string(i) + ".bin" : "\\data.bin");
        HFILE f = _lcreat(file.c_str(), 0);
        _lclose(f);
    }
    return folder;
}

void openClose(benchmark::State &state, const std::string &path)
{
    for (auto _ : state) {
        HFILE f = _lopen(path.c_str(), OF_READ);
        if (f == HFILE_ERROR) {
            state.SkipWithError("open failed");
            break;
        }
        _lclose(f);
    }
}

void upperCase(std::string &s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void BM_OpenExactCase(benchmark::State &state)
{
    openClose(state, makeFolder("benchsmall", 10) + "\\data.bin");
}

void BM_OpenOtherCase(benchmark::State &state)
{
    std::string path = makeFolder("benchsmall", 10) + "\\data.bin";
    upperCase(path);
    openClose(state, path);
}

void BM_OpenOtherCaseInFolderOf1000(benchmark::State &state)
{
    std::string path = makeFolder("benchlarge", 1000) + "\\data.bin";
    upperCase(path);
    openClose(state, path);
}

void BM_FileAttributesExactCase(benchmark::State &state)
{
    std::string path = makeFolder("benchsmall", 10) + "\\data.bin";
    for (auto _ : state) benchmark::DoNotOptimize(GetFileAttributesA(path.c_str()));
}

}  // namespace

BENCHMARK(BM_OpenExactCase);
BENCHMARK(BM_OpenOtherCase);
BENCHMARK(BM_OpenOtherCaseInFolderOf1000);
BENCHMARK(BM_FileAttributesExactCase);
