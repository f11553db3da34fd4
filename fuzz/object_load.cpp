// Fuzz target: vekLoadObject, vekSkipObject and vekSizeNextObject on any file
// with any flags.
//
// Input: u32 flags (little-endian), then the file's bytes. Objects are loaded
// until one fails; every block returned must be exactly as long as its size
// field says. Then the same file is walked with skip and measure.
#include <vekkit/objfile.h>

#include <cstdlib>

#include "fuzz/object_file_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScratchFile scratch;
    if (size < 4) return 0;
    const DWORD flags = inputWord(data);
    const HFILE f = scratch.holding(data + 4, size - 4);
    if (f == HFILE_ERROR) return 0;
    for (int i = 0; i < 16; i++) {
        auto *block = static_cast<BYTE *>(vekLoadObject(f, flags, 0));
        if (!block) break;
        HGLOBAL mem = GlobalHandle(block);
        if (GlobalSize(mem) != inputWord(block) + SIZE_T{4}) std::abort();
        GlobalUnlock(mem);
        GlobalFree(mem);
    }
    _llseek(f, 0, 0);
    for (int i = 0; i < 16; i++) {
        vekSizeNextObject(f, flags);
        if (vekSkipObject(f, flags) < 0) break;
    }
    _lclose(f);
    return 0;
}
