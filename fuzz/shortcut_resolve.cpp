// Fuzz target: vekResolveShortcut on a link file of any bytes, through the
// shell link object, its search for a moved target and the path calls.
//
// The link lies in a private folder, which is also the platform's prefix,
// beside a file "found.txt" and a folder
// "sub" holding "found.txt" too, so that links naming those by relative path
// or by file name resolve. The answer goes to a block of exactly MAX_PATH
// bytes: it must be a string within it, empty unless the call succeeded, and
// then name a file that exists. A search that takes long or much memory is
// caught by libFuzzer's -timeout and -rss_limit_mb.
#include <windows.h>
#include <objbase.h>

#include <vekkit/system.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "private_prefix.h"

namespace {

namespace fs = std::filesystem;

const fs::path &folder()
{
    static const fs::path &path = []() -> const fs::path & {
        const fs::path &prefix = fuzz::privatePrefix("shortcut-resolve");
        fs::create_directories(prefix / "sub");
        std::ofstream(prefix / "found.txt") << "target";
        std::ofstream(prefix / "sub" / "found.txt") << "target";
        if (FAILED(CoInitialize(nullptr))) std::abort();
        return prefix;
    }();
    return path;
}

}  // namespace

// COM's interface identifiers are compiled in with com.cpp (so that the
// shell link object made is the instrumented one) and are also in vekhost:
// the same constants twice, which AddressSanitizer would report. The
// sanitizer's run-time library looks this up, so it is exported.
extern "C" __attribute__((visibility("default"))) const char *__asan_default_options()
{
    return "detect_odr_violation=0";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const fs::path link = folder() / "in.lnk";
    std::ofstream(link, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(data), size);
    std::unique_ptr<char[]> out(new char[MAX_PATH]);
    std::memset(out.get(), '#', MAX_PATH);
    const HRESULT result = vekResolveShortcut(nullptr, link.c_str(), out.get());
    const size_t length = strnlen(out.get(), MAX_PATH);
    if (length == MAX_PATH) std::abort();
    if (FAILED(result) && length) std::abort();
    if (SUCCEEDED(result) && length && GetFileAttributesA(out.get()) == INVALID_FILE_ATTRIBUTES) std::abort();
    return 0;
}
