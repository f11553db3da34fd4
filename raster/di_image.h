// The fields of a DI sprite image record that the rasteriser works with,
// read once per call and checked against the record's block.
//
// The block of a DI record is byte 4 + image length (the u32 at byte 0) bytes
// long; the pixels start at byte 4 + pixel offset. Every bound below comes
// from those two fields, so a damaged record is refused before any pixel is
// touched.
#pragma once

#include <vekkit/records.h>

#include <cstdint>

#include "common/image_layout.h"
#include "common/le.h"

namespace vek {

// The record kinds, told apart by the type word at byte 4.
inline bool isDDRecord(const BYTE *record) { return u16(record, rec::kType) == VEK_TYPE_DD; }
inline bool isCompositeRecord(const BYTE *record) { return u16(record, rec::kType) == VEK_TYPE_COMPOSITE; }
inline bool isDIRecord(const BYTE *record)
{
    const uint16_t type = u16(record, rec::kType);
    return type != VEK_TYPE_DD && type != VEK_TYPE_COMPOSITE;
}

// Widths and heights go through 16-bit arithmetic in places, so images are
// at most this many pixels wide and high.
constexpr LONG kMaxImageSide = 32767;

// Bytes of the image that a DI record must hold: the file and info headers.
constexpr uint32_t kDIHeaderBytes = rec::kColorTable - 4;

// The info header sizes that the GDI accepts: BITMAPINFOHEADER up to BITMAPV5HEADER.
constexpr uint32_t kMinInfoSize = 40;
constexpr uint32_t kMaxInfoSize = 124;

struct DIImage {
    BYTE *pixels = nullptr;  // first pixel byte
    BYTE *end = nullptr;     // first byte behind the block
    LONG width = 0;          // biWidth
    LONG height = 0;         // biHeight: rows run bottom row first
    WORD flags = 0;          // VEK_IMAGE_MIRRORABLE, VEK_IMAGE_MIRRORED
    WORD bitCount = 0;
    DWORD compression = 0;   // BI_RGB or BI_RLE8 for images we draw

    // Bytes per raw row: the width rounded up to a multiple of four.
    size_t stride() const { return (static_cast<size_t>(width) + 3) & ~size_t{3}; }

    bool hasDrawableSize() const
    {
        return width >= 1 && width <= kMaxImageSide && height >= 1 && height <= kMaxImageSide;
    }

    // True when all biHeight raw rows lie inside the block (for a drawable size).
    bool rawRowsFit() const
    {
        return stride() * static_cast<size_t>(height) <= static_cast<size_t>(end - pixels);
    }
};

// Reads the header of a DI record. False when the block is too short for the
// headers or the pixel offset lies beyond the block.
inline bool readDIImage(HSPRITEDATA record, DIImage &image)
{
    const uint32_t length = u32(record, rec::kLength);
    if (length < kDIHeaderBytes) return false;
    const uint32_t pixelOffset = u32(record, rec::kPixelOffset);
    if (pixelOffset > length) return false;
    image.pixels = record + 4 + pixelOffset;
    image.end = record + 4 + length;
    image.width = i32(record, rec::kWidth);
    image.height = i32(record, rec::kHeight);
    image.flags = u16(record, rec::kFlags);
    image.bitCount = u16(record, rec::kBitCount);
    image.compression = u32(record, rec::kCompression);
    return true;
}

// True when the record can be handed to the GDI as a DIB of palette indices
// (DIB_PAL_COLORS) without the GDI reading outside the block: 8 bits per
// pixel, a drawable size, an info header of a size the GDI takes followed by
// its colour table of 16-bit indices (biClrUsed entries, all 256 when 0 or
// more), and raw rows or a run-length stream. A raw image must hold every row;
// the length of a stream is the caller's to bound. Every path that hands a
// record's header to the GDI asks this first.
inline bool gdiCanRead(HSPRITEDATA record, const DIImage &image)
{
    if (image.bitCount != 8 || !image.hasDrawableSize()) return false;
    if (image.compression == BI_RGB ? !image.rawRowsFit() : image.compression != BI_RLE8) return false;
    const uint64_t infoSize = u32(record, rec::kInfoSize);
    if (infoSize < kMinInfoSize || infoSize > kMaxInfoSize) return false;
    const uint32_t used = u32(record, rec::kClrUsed);
    const uint64_t colours = used && used < 256 ? used : 256;
    return rec::kInfo + infoSize + colours * sizeof(WORD) <= static_cast<uint64_t>(image.end - record);
}

}  // namespace vek
