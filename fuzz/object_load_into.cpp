// Fuzz target: vekLoadObjectInto, vekLoadCompObject and vekLoadCompSound on
// any file with any flags.
//
// Input: u32 flags (little-endian), u16 length of the destination block,
// then the file's bytes. The destination is a library block of that length
// with a known fill: the loader must refuse objects longer than the block,
// and a write past it is caught by the sanitizer.
#include <vekkit/objfile.h>

#include <cstdlib>
#include <cstring>

#include "fuzz/object_file_input.h"

namespace {

void release(void *block)
{
    if (!block) return;
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ScratchFile scratch;
    if (size < 6) return 0;
    const DWORD flags = inputWord(data);
    const SIZE_T destLength = data[4] | data[5] << 8;
    const HFILE f = scratch.holding(data + 6, size - 6);
    if (f == HFILE_ERROR) return 0;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, destLength ? destLength : 1);
    auto *dest = static_cast<BYTE *>(GlobalLock(mem));
    if (dest) {
        for (int i = 0; i < 16; i++) {
            std::memset(dest, 0xA5, destLength);
            const LONG at = _llseek(f, 0, 1);
            const DWORD total = vekSizeNextObject(f, flags);
            if (vekLoadObjectInto(f, flags, 0, dest) && total > destLength) std::abort();
            if (_llseek(f, 0, 1) == at) break;
        }
        GlobalUnlock(mem);
        GlobalFree(mem);
    }
    _llseek(f, 0, 0);
    void *copy = vekLoadCompObject(f);
    if (copy && _llseek(f, 0, 1) != 0) std::abort();
    release(copy);
    DWORD stored = 0;
    release(vekLoadCompSound(f, &stored));
    _lclose(f);
    return 0;
}
