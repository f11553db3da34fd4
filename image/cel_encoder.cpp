// The repeat-run cel encoder and vekPalDIBToCel.
//
// A cel is a DI sprite image record whose bits are in the sprite run-length
// encoding, every transparent pixel coded as a skip (0 2 dx 0). The key
// colour, the transparent one, is the first byte of the input bits. Each row
// is coded in two alternating phases:
//
//   skip phase  the transparent pixels up to the next opaque one, as skips of
//               at most 255
//   run phase   the opaque pixels up to the next transparent one, as encoded
//               runs (n c) where a colour repeats three times or more, and as
//               absolute runs (0 n data [pad]) of at least three pixels
//               between them; an absolute run gives back its last pixel when
//               three equal pixels would otherwise be split
//
// A row whose first pixel is opaque (or that has no pixels) starts with a
// zero skip, so that every row holding an opaque pixel starts with a skip:
// in-place mirroring takes a row's first token as its leading skip. Every row
// ends with an end of row (0 0) and the image with an end of image (0 1).
//
// The cel is the input's headers and colour table, unchanged except for the
// fields below, padded with zeros to a multiple of 4 bytes, then the rows:
// image flags = mirror-enable, pixel offset = the padded header size,
// biCompression = BI_RLE8, bfSize = the image length, biSizeImage = the
// encoded bytes.
#include "image/cel_encoder.h"

#include <vekkit/image.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/work_block.h"
#include "record/layout.h"
#include "record/rle_write.h"

namespace {

constexpr size_t kMaxRun = 255;

// Shrinks a locked block to bytes; null (and the block freed) on failure.
BYTE *shrinkLocked(BYTE *block, size_t bytes)
{
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    HGLOBAL sized = GlobalReAlloc(mem, bytes, GMEM_MOVEABLE);
    if (!sized) {
        GlobalFree(mem);
        return nullptr;
    }
    return static_cast<BYTE *>(GlobalLock(sized));
}

}  // namespace

namespace vek {

using rle::putAbsolute;
using rle::putRun;
using rle::putSkip;

size_t encodeRepeatRunRow(const BYTE *px, size_t n, BYTE key, BYTE *out)
{
    BYTE *const start = out;
    if (n == 0 || px[0] != key) out = putSkip(out, 0);
    size_t i = 0;
    while (i < n) {
        // Skip phase.
        size_t k = 0;
        while (i + k < n && px[i + k] == key) k++;
        i += k;
        out = rle::putSkips(out, k, kMaxRun);

        // Run phase.
        while (i < n && px[i] != key) {
            const size_t left = n - i;
            const size_t m = std::min(left, kMaxRun);
            const BYTE c = px[i];
            size_t r = 1;
            while (r < m && px[i + r] == c) r++;
            // With fewer than 3 repeats and more than 3 pixels left, the pixel
            // after the run exists (r < m <= left).
            if (r >= 3 || left <= 3 || px[i + r] == key) {
                out = putRun(out, r, c);
                i += r;
                continue;
            }
            size_t len = r;
            while (len < m && px[i + len] != key) {
                const BYTE next = px[i + len];
                if (next == px[i + len - 1] && len + 1 < m && px[i + len + 1] == next) {
                    len--;  // the three equal pixels begin the next run
                    break;
                }
                len++;
            }
            if (len >= 3) {
                out = putAbsolute(out, px + i, len);
                i += len;
            } else {
                out = putRun(out, r, c);
                i += r;
            }
        }
    }
    out = rle::putEndOfRow(out);
    return static_cast<size_t>(out - start);
}

LONG_PTR encodeRepeatRunCel(const BYTE *record, bool mirror)
{
    if (!record) return VEK_CEL_BAD_FORMAT;
    const uint64_t length = u32(record, rec::kLength);
    constexpr uint64_t kHeaders = rec::kColorTable - 4;
    if (length < kHeaders) return VEK_CEL_BAD_FORMAT;
    const uint16_t type = u16(record, rec::kType);
    if (type == VEK_TYPE_DD || type == VEK_TYPE_COMPOSITE) return VEK_CEL_BAD_FORMAT;
    if (u16(record, rec::kPlanes) != 1 || u16(record, rec::kBitCount) != 8) return VEK_CEL_BAD_FORMAT;
    if (u32(record, rec::kCompression) != BI_RGB) return VEK_CEL_BAD_FORMAT;

    const uint64_t offset = u32(record, rec::kPixelOffset);
    const int32_t width = i32(record, rec::kWidth);
    const int32_t height = i32(record, rec::kHeight);
    if (width < 0 || offset < kHeaders) return VEK_CEL_BAD_FORMAT;
    const uint64_t rows = height > 0 ? static_cast<uint64_t>(height) : 0;
    const uint64_t stride = (static_cast<uint64_t>(width) + 3) & ~uint64_t{3};
    if (offset + stride * rows > length) return VEK_CEL_BAD_FORMAT;

    const uint64_t headerSize = (offset + 3) & ~uint64_t{3};
    const uint64_t worst = repeatRunCelBound(offset, static_cast<uint64_t>(width), rows);
    if (worst > kMaxRepeatRunCelBytes) return VEK_CEL_NO_MEMORY;
    WorkBlock reversed;
    if (mirror && width > 0) {
        reversed = workBlock(width);
        if (!reversed) return VEK_CEL_NO_MEMORY;
    }
    BYTE *cel = static_cast<BYTE *>(allocLocked(worst));
    if (!cel) return VEK_CEL_NO_MEMORY;

    std::memcpy(cel + 4, record + 4, offset);
    put32(cel, rec::kPixelOffset, static_cast<uint32_t>(headerSize));
    put16(cel, rec::kFlags, VEK_IMAGE_MIRRORABLE);
    put32(cel, rec::kCompression, BI_RLE8);

    const BYTE *bits = record + 4 + offset;
    const BYTE key = rows > 0 && width > 0 ? bits[0] : 0;
    BYTE *out = cel + 4 + headerSize;
    for (uint64_t y = 0; y < rows; y++) {
        const BYTE *row = bits + y * stride;
        if (reversed) {
            std::reverse_copy(row, row + width, reversed.get());
            row = reversed.get();
        }
        out += encodeRepeatRunRow(row, width, key, out);
    }
    out = rle::putEndOfImage(out);

    const auto total = static_cast<size_t>(out - cel);
    cel = shrinkLocked(cel, total);
    if (!cel) return VEK_CEL_NO_MEMORY;
    const auto imageLength = static_cast<uint32_t>(total - 4);
    put32(cel, rec::kLength, imageLength);
    put32(cel, rec::kFileSize, imageLength);
    put32(cel, rec::kSizeImage, imageLength - static_cast<uint32_t>(headerSize));
    return reinterpret_cast<LONG_PTR>(cel);
}

}  // namespace vek

LONG_PTR VEKAPI vekPalDIBToCel(HSPRITEDATA image, BOOL mirror, DWORD)
{
    return vek::encodeRepeatRunCel(image, mirror != 0);
}
