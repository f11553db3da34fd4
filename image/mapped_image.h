// The raw 8-bit image that the fix-ups and dithering rewrite in place.
//
// Width and height are the low 16 bits of biWidth and biHeight taken
// unsigned, the stride is width + 3 rounded down to a multiple of 4 in 16
// bits, and the bits are stride x height bytes at the pixel offset. A record
// is taken only when everything the operation touches lies inside its block
// (4 + image length bytes): the bits, and the 1024-byte RGB colour table when
// the operation reads it. Run-length encoded or other than 8-bit images are
// not pixel-per-byte and are refused.
#pragma once

#include <vekkit/records.h>

#include <cstddef>
#include <cstdint>

#include "record/layout.h"

namespace vek {

struct MappedImage {
    BYTE *bits = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    unsigned stride = 0;
    size_t bytes = 0;  // stride x height
};

enum class ColourTable { Read, NotRead };

inline bool readMappedImage(HSPRITEDATA record, ColourTable table, MappedImage &image)
{
    if (!record) return false;
    const uint64_t length = u32(record, rec::kLength);
    const uint64_t headers = rec::kColorTable - 4 + (table == ColourTable::Read ? rec::kColourTableBytes : 0);
    if (length < headers) return false;
    const uint16_t type = u16(record, rec::kType);
    if (type == VEK_TYPE_DD || type == VEK_TYPE_COMPOSITE) return false;
    if (u16(record, rec::kBitCount) != 8 || u32(record, rec::kCompression) != BI_RGB) return false;
    image.width = u16(record, rec::kWidth);
    image.height = u16(record, rec::kHeight);
    image.stride = (image.width + 3) & 0xFFFC;
    image.bytes = size_t{image.stride} * image.height;
    const uint64_t offset = u32(record, rec::kPixelOffset);
    if (offset + image.bytes > length) return false;
    image.bits = record + 4 + offset;
    return true;
}

}  // namespace vek
