// The repeat-run cel encoder: turns a raw 8-bit DI record whose pixel values
// are final palette indices into a cel (behind vekPalDIBToCel, and the
// encoder of composite sprites).
#pragma once

#include <vekkit/records.h>

#include <cstddef>
#include <cstdint>

#include "record/rle_write.h"

namespace vek {

// Encodes record, horizontally mirrored when mirror is set, into a new cel
// that the caller owns (a locked block of exactly its size). The record is
// not changed. Returns the cel's address, or VEK_CEL_BAD_FORMAT when the
// record is not a raw 8-bit, one-plane DI record whose headers and bits lie
// inside its block, or VEK_CEL_NO_MEMORY.
LONG_PTR encodeRepeatRunCel(const BYTE *record, bool mirror);

// Encodes one row of n pixels (already in traversal order) whose transparent
// pixels have the value key; returns the bytes written to out, which must
// hold rle::rowBound(n) bytes.
size_t encodeRepeatRunRow(const BYTE *pixels, size_t n, BYTE key, BYTE *out);

// The largest working block the encoder makes, like the largest object the
// library loads: anything bigger is taken as a damaged header (or, for a
// canvas the library made itself, as more than it will encode).
constexpr uint64_t kMaxRepeatRunCelBytes = 256u << 20;

// Bytes of the working block for a record whose bits start at pixelOffset
// (counted from byte 4) and hold rows rows of width pixels: the image
// length, the header padded to a multiple of 4, the worst case of every row
// and the end of image.
constexpr uint64_t repeatRunCelBound(uint64_t pixelOffset, uint64_t width, uint64_t rows)
{
    return 4 + ((pixelOffset + 3) & ~uint64_t{3}) + rows * rle::rowBound(width) + 2;
}

}  // namespace vek
