// Fuzz target: the LZSS decoder on any stream and any destination size.
//
// Input: u16 destination length (little-endian), then the stream. The
// destination is a block of exactly that length, so that a write past it is
// caught. The result must equal that of a plain ring decoder, written here
// as the reference, bounded the same way.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "objfile/lzss.h"

namespace {

// The textbook decoder: a 4096-byte ring filled with spaces, r from 4078.
size_t referenceDecode(const uint8_t *in, size_t length, uint8_t *out, size_t outLength)
{
    uint8_t ring[4096];
    std::memset(ring, 0x20, sizeof ring);
    unsigned r = 4078, flags = 0;
    size_t i = 0, o = 0;
    while (o < outLength) {
        flags >>= 1;
        if ((flags & 0xFF00) == 0) {
            if (i == length) break;
            flags = in[i++] | 0xFF00u;
        }
        if (flags & 1) {
            if (i == length) break;
            out[o++] = ring[r] = in[i++];
            r = (r + 1) & 4095;
        } else {
            if (length - i < 2) break;
            const unsigned pos = in[i] | (in[i + 1] & 0xF0u) << 4, len = (in[i + 1] & 0x0Fu) + 3;
            i += 2;
            for (unsigned k = 0; k < len && o < outLength; k++) {
                out[o++] = ring[r] = ring[(pos + k) & 4095];
                r = (r + 1) & 4095;
            }
        }
    }
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    const size_t destLength = data[0] | size_t{data[1]} << 8;
    const uint8_t *stream = data + 2;
    const size_t length = size - 2;

    std::unique_ptr<BYTE[]> dest(new BYTE[destLength ? destLength : 1]);
    std::unique_ptr<uint8_t[]> expected(new uint8_t[destLength ? destLength : 1]);
    const size_t n = vek::LzssDecode(stream, static_cast<DWORD>(length), dest.get(), static_cast<DWORD>(destLength));
    const size_t m = referenceDecode(stream, length, expected.get(), destLength);
    if (n != m || std::memcmp(dest.get(), expected.get(), n) != 0) std::abort();
    return 0;
}
