// Fuzz target: the packed-sound decoder on any codes and any sample count.
//
// Input: u16 sample count (little-endian), then the packed sound after its
// 48-byte header (K, the first sample, the codes). The output is a block of
// exactly count bytes, so that a write past it is caught; the decoder must
// report no more samples than that and leave the rest of the block as it was.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "objfile/packed_sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    const size_t count = data[0] | size_t{data[1]} << 8;
    std::unique_ptr<BYTE[]> out(new BYTE[count ? count : 1]);
    std::memset(out.get(), 0xA5, count);
    const DWORD n = vek::DecodePackedSound(data + 2, static_cast<DWORD>(size - 2), out.get(), static_cast<DWORD>(count));
    if (n > count) std::abort();
    for (size_t i = n; i < count; i++)
        if (out[i] != 0xA5) std::abort();
    return 0;
}
