// Fuzz target: the compressed bitmap resource decoder on any resource data,
// and the bitmap file image check on what it expands to.
//
// Input: the bytes of a resource. A block comes back only when the header is
// consistent with the input and the stream gives exactly the decoded size;
// the check of the image then bounds every part it reports by that block.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/le.h"
#include "image/bitmap_file_image.h"
#include "image/bitmap_resource.h"
#include "objfile/lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DWORD length = static_cast<DWORD>(size);
    HGLOBAL block = vek::expandBitmapResource(data, length);
    if (!block) return 0;
    // Accepted: the header held, and the bytes are those of a plain decode.
    const DWORD decoded = vek::u32(data, 0), resource = vek::u32(data, 4);
    if (size < 8 || resource < 8 || resource > size || GlobalSize(block) != decoded) std::abort();
    const BYTE *image = static_cast<const BYTE *>(GlobalLock(block));
    std::vector<BYTE> expected(decoded);
    if (vek::LzssDecode(data + 8, resource - 8, expected.data(), decoded) != decoded ||
        std::memcmp(image, expected.data(), decoded) != 0)
        std::abort();

    vek::BitmapFileImage parts;
    if (vek::readBitmapFileImage(image, decoded, parts)) {
        const BYTE *end = image + decoded;
        const auto *info = reinterpret_cast<const BYTE *>(parts.info);
        if (info != image + 14 || parts.pixels < image || parts.pixels > end) std::abort();
    }
    GlobalUnlock(block);
    GlobalFree(block);
    return 0;
}
