// Fuzz target: the compressed bitmap resource decoder on any resource data,
// the bitmap file image check on what it expands to, and that image as the
// sprite image record vekLoadSpriteData makes of it, drawn.
//
// Input: the bytes of a resource. A block comes back only when the header is
// consistent with the input and the stream gives exactly the decoded size;
// the check of the image then bounds every part it reports by that block.
// The record (a length word, then the decoded image) is blitted and blotted
// into a canvas, mirrored in place both ways and tested for collisions with
// itself: an 8-bit image the file calls BI_RLE8 is read as a sprite stream.
#include <vekkit.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/le.h"
#include "image/bitmap_file_image.h"
#include "image/bitmap_resource.h"
#include "objfile/lzss.h"

namespace {

void drawAsRecord(const BYTE *image, DWORD size)
{
    static const HSPRITEDATA canvas = vekCreateSpriteDataObject(48, 40);
    // The block is at least as long as a record's headers, as any record's is.
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, std::max<SIZE_T>(SIZE_T{size} + 4, 58));
    auto *record = static_cast<BYTE *>(GlobalLock(mem));
    if (!record) return;
    vek::put32(record, 0, size);
    std::memcpy(record + 4, image, size);
    vekSpriteBlt(canvas, -3, 5, 40, 30, record, 2, -1);
    vekSpriteBlot(nullptr, canvas, 7, -2, 48, 40, record, 0, 0, 1);
    vekFlipSprite(record);
    vekSpriteBltEx(nullptr, canvas, 0, 0, 48, 40, record, 0, 0, 0);
    VEKSPRITE a{}, b{};
    a.image = b.image = record;
    a.target = RECT{0, 0, 30, 20};
    b.target = RECT{5, 3, 35, 23};
    vekCheckCollide(nullptr, &a, &b, 0);
    vekCheckCollide(nullptr, &b, &a, 0);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

}  // namespace

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
    drawAsRecord(image, decoded);
    GlobalUnlock(block);
    GlobalFree(block);
    return 0;
}
