// Fuzz target: the LZSS encoder on any input. Its stream must equal the
// classic encoder's byte for byte and decode to exactly the input.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/lzss_classic.h"
#include "objfile/lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<BYTE> stream;
    const DWORD written = vek::LzssEncode(data, static_cast<DWORD>(size),
        [](void *context, const BYTE *bytes, DWORD length) {
            auto *out = static_cast<std::vector<BYTE> *>(context);
            out->insert(out->end(), bytes, bytes + length);
        },
        &stream);
    if (written != stream.size()) std::abort();

    static auto *reference = new classic::LzssEncoder;
    if (reference->encode(data, size) != stream) std::abort();

    std::unique_ptr<BYTE[]> back(new BYTE[size ? size : 1]);
    if (vek::LzssDecode(stream.data(), written, back.get(), static_cast<DWORD>(size)) != size) std::abort();
    for (size_t i = 0; i < size; i++)
        if (back[i] != data[i]) std::abort();
    return 0;
}
