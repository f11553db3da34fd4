// The literal-run cel encoder.
//
// The cel is a DI sprite image record in the sprite run-length encoding with
// every transparent pixel (the value of the input's first pixel byte, before
// mapping) coded as a skip. Its header is the input's, cut short: the colour
// table becomes the 512-byte identity index table, and the bits follow at
// the input's pixel offset less 512, rounded up to a multiple of 4 (1078
// becomes 568; the 2 bytes between table and bits are the input's).
//
// A row that holds an opaque pixel starts with a zero skip (0 2 0 0); in-place
// mirroring takes a row's first token as its leading skip. Transparent pixels
// are counted and written as skips of at most 127 when the next opaque pixel
// comes; a row's trailing skip of at most 127 is left to the end of row.
// Opaque pixels are collected, mapped, as literals and flushed at the next
// transparent pixel or the end of the row:
//
//   more than 254   absolute runs of 254 (0 254 data) until at most 254 remain
//   1               encoded run of one (1 c)
//   2               one encoded run of two when equal (2 c), else two of one
//   3 to 254        absolute run (0 n data [pad 0])
//
// Every row ends with an end of row (0 0) and the image with an end of
// image (0 1).
#include "image/literal_cel_encoder.h"

#include <vekkit/image.h>
#include <vekkit/objfile.h>

#include <algorithm>
#include <cstring>

#include "image/nearest_color.h"
#include "image/work_block.h"
#include "record/di_record.h"
#include "record/layout.h"
#include "record/rle_write.h"

namespace {

constexpr size_t kMaxSkip = 127;
constexpr size_t kMaxAbsolute = 254;
constexpr uint32_t kIndexTableGain = vek::rec::kColourTableBytes - vek::rec::kIndexTableBytes;

using vek::rle::putAbsolute;
using vek::rle::putRun;
using vek::rle::putSkip;

BYTE *flushLiterals(BYTE *out, const BYTE *literals, size_t n)
{
    for (; n > kMaxAbsolute; n -= kMaxAbsolute, literals += kMaxAbsolute)
        out = putAbsolute(out, literals, kMaxAbsolute);
    if (n == 1) return putRun(out, 1, literals[0]);
    if (n == 2) {
        if (literals[0] == literals[1]) return putRun(out, 2, literals[0]);
        out = putRun(out, 1, literals[0]);
        return putRun(out, 1, literals[1]);
    }
    return putAbsolute(out, literals, n);
}

// Writes count bytes to a memory file in pieces its 16-bit count accepts.
bool writeAll(LONG_PTR memFile, const BYTE *bytes, size_t count)
{
    while (count > 0) {
        const auto piece = static_cast<WORD>(std::min<size_t>(count, 0xFFFF));
        if (_mwrite(memFile, bytes, piece) != piece) return false;
        bytes += piece;
        count -= piece;
    }
    return true;
}

LONG_PTR fail(LONG_PTR memFile)
{
    if (void *block = _mclose(memFile)) vek::freeLocked(block);
    return VEK_CEL_NO_MEMORY;
}

}  // namespace

namespace vek {

LONG checkCelInput(const BYTE *image, uint64_t available, CelInput &input)
{
    constexpr uint64_t kHeaders = rec::kColorTable - 4 + rec::kColourTableBytes;
    if (available < kHeaders) return VEK_CEL_BAD_FORMAT;
    if (u16(image, rec::kPlanes) != 1 || u16(image, rec::kBitCount) != 8) return VEK_CEL_BAD_FORMAT;
    if (u32(image, rec::kCompression) != BI_RGB) return VEK_CEL_BAD_FORMAT;
    const uint32_t offset = u32(image, rec::kPixelOffset);
    const int16_t width = i16(image, rec::kWidth);
    const int16_t height = i16(image, rec::kHeight);
    if (offset < kHeaders || width < 0) return VEK_CEL_BAD_FORMAT;
    input.offset = offset;
    input.width = static_cast<size_t>(width);
    input.rows = height > 0 ? static_cast<size_t>(height) : 0;
    input.stride = (input.width + 3) & ~size_t{3};
    if (uint64_t{offset} + uint64_t{input.stride} * input.rows > available) return VEK_CEL_BAD_FORMAT;
    return 0;
}

size_t encodeLiteralRow(const BYTE *px, size_t n, BYTE key, const BYTE *map, BYTE *literals, BYTE *out)
{
    BYTE *const start = out;
    if (std::find_if(px, px + n, [key](BYTE p) { return p != key; }) != px + n) out = putSkip(out, 0);
    size_t skip = 0, pending = 0;
    for (size_t i = 0; i < n; i++) {
        if (px[i] == key) {
            if (pending) {
                out = flushLiterals(out, literals, pending);
                pending = 0;
            }
            skip++;
            continue;
        }
        if (skip) {
            out = vek::rle::putSkips(out, skip, kMaxSkip);
            skip = 0;
        }
        literals[pending++] = map[px[i]];
    }
    if (pending) {
        out = flushLiterals(out, literals, pending);
    } else {
        for (; skip > kMaxSkip; skip -= kMaxSkip) out = putSkip(out, kMaxSkip);
    }
    out = vek::rle::putEndOfRow(out);
    return static_cast<size_t>(out - start);
}

LONG_PTR encodeLiteralCel(BYTE *image, const CelInput &input, BYTE key, const PALETTEENTRY *palette, bool mirror,
                          LONG_PTR memFile, CelRowSource &rows)
{
    // Working storage: colour map, literal buffer, encoded row, mirrored row.
    const size_t literalBytes = std::max(kLiteralBufferBytes, input.width);
    const size_t outBytes = static_cast<size_t>(vek::rle::rowBound(input.width));
    WorkBlock work = workBlock(256 + literalBytes + outBytes + input.width);
    if (!work) return fail(memFile);
    BYTE *map = work.get();
    BYTE *literals = map + 256;
    BYTE *encoded = literals + literalBytes;
    BYTE *reversed = encoded + outBytes;

    const uint32_t headerSize = (input.offset - kIndexTableGain + 3) & ~uint32_t{3};
    put16(image, rec::kFlags, VEK_IMAGE_MIRRORABLE);
    put32(image, rec::kPixelOffset, headerSize);
    put32(image, rec::kCompression, BI_RLE8);
    if (palette) {
        NearestColors nearest(palette);
        for (int i = 0; i < 256; i++) {
            const BYTE *entry = image + rec::kColorTable + 4 * i;  // blue, green, red
            map[i] = nearest.find(entry[2], entry[1], entry[0], Transparent::Excluded);
        }
    } else {
        for (int i = 0; i < 256; i++) map[i] = static_cast<BYTE>(i);
    }
    writeIndexTable(image);

    if (!writeAll(memFile, image + 4, headerSize)) return fail(memFile);
    for (size_t y = 0; y < input.rows; y++) {
        const BYTE *row = rows.nextRow();
        if (mirror) {
            std::reverse_copy(row, row + input.width, reversed);
            row = reversed;
        }
        const size_t n = encodeLiteralRow(row, input.width, key, map, literals, encoded);
        if (!writeAll(memFile, encoded, n)) return fail(memFile);
    }
    BYTE endOfImage[2];
    vek::rle::putEndOfImage(endOfImage);
    if (!writeAll(memFile, endOfImage, sizeof endOfImage)) return fail(memFile);

    BYTE sizeImage[4];
    put32(sizeImage, 0, static_cast<uint32_t>(_mfilelength(memFile)) - headerSize);
    if (_mlseek(memFile, rec::kSizeImage - 4, 0) < 0 || !writeAll(memFile, sizeImage, 4)) return fail(memFile);
    void *cel = _mclose(memFile);
    return cel ? reinterpret_cast<LONG_PTR>(cel) : VEK_CEL_NO_MEMORY;
}

}  // namespace vek
