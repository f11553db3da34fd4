// Byte positions of the DI, DD and composite sprite image records.
//
// Records are blocks of little-endian fields at fixed, often unaligned
// positions (biWidth sits at byte 22): they are read and written through the
// accessors of common/le.h at these offsets, never through a cast to an
// aligned struct.
//
// DI record: a length word, then the image of an 8-bit bitmap file.
//
//   0    u32  image length: bytes of the image from byte 4 on
//   4    BITMAPFILEHEADER: type word (never 0xFEF0 or 0xFEF1), bfSize,
//             image flags at 10, bfReserved2 at 12, pixel offset at 14
//             (counted from byte 4)
//   18   BITMAPINFOHEADER: 40, width, height (positive: bottom row first),
//             planes, bit count, compression (BI_RGB or BI_RLE8), ...
//   58   colour table: 256 u16 palette indices (DIB_PAL_COLORS form), in the
//        long layout followed by 512 more bytes (room for 256 RGBQUADs)
//   4 + pixel offset: raw rows of stride (width + 3) & ~3, or the
//        run-length stream of record/rle.h
//
// DD record: type word 0xFEF0 at 4, mask bitmap at 6 (or 0), image bitmap
// at 10, both 32-bit handles that the record owns.
//
// Composite record: type word 0xFEF1 at 4, bounds (left, top, right,
// bottom, i32 each) at 6, 14 bytes the library does not read, the element
// count (u16) at 36 and the elements from 38 on, 10 bytes each: i16 left,
// i16 bottom, u16 width (bit 15: drawn mirrored), i16 height, i16 index into
// the drawing context's image table.
#pragma once

#include <cstddef>

#include "common/le.h"

namespace vek::rec {

// Common to all kinds.
constexpr size_t kLength = 0;        // u32: bytes of the image that starts at byte 4
constexpr size_t kType = 4;          // u16: VEK_TYPE_DD, VEK_TYPE_COMPOSITE or a DI record

// DI record.
constexpr size_t kFileSize = 6;      // u32 bfSize
constexpr size_t kFlags = 10;        // u16: mirror-enable and mirrored bits
constexpr size_t kReserved2 = 12;    // u16 bfReserved2
constexpr size_t kPixelOffset = 14;  // u32: first pixel byte, counted from byte 4
constexpr size_t kInfo = 18;         // BITMAPINFOHEADER
constexpr size_t kInfoSize = 18;
constexpr size_t kWidth = 22;        // i32
constexpr size_t kHeight = 26;       // i32, positive: bottom row first
constexpr size_t kPlanes = 30;       // u16
constexpr size_t kBitCount = 32;     // u16
constexpr size_t kCompression = 34;  // u32: BI_RGB or BI_RLE8
constexpr size_t kSizeImage = 38;    // u32
constexpr size_t kXPels = 42;
constexpr size_t kYPels = 46;
constexpr size_t kClrUsed = 50;      // u32: colour table entries, 0 for all
constexpr size_t kClrImportant = 54;
constexpr size_t kColorTable = 58;
constexpr size_t kPixelsShort = 572;  // pixels of the 256-word table layout
constexpr size_t kPixelsLong = 1084;  // pixels of the 256-RGBQUAD table layout

constexpr size_t kIndexTableBytes = 256 * 2;   // 256 u16 palette indices
constexpr size_t kColourTableBytes = 256 * 4;  // 256 RGBQUADs

// DD record.
constexpr size_t kMask = 6;          // u32 HBITMAP or 0
constexpr size_t kImage = 10;        // u32 HBITMAP
constexpr size_t kDDSize = 14;

// Composite record.
constexpr size_t kBounds = 6;        // 4 x i32: left, top, right, bottom
constexpr size_t kElementCount = 36; // u16
constexpr size_t kElements = 38;     // 10 bytes each
constexpr size_t kElementSize = 10;

// Fields of a composite element, from its first byte.
constexpr size_t kElementLeft = 0;    // i16
constexpr size_t kElementBottom = 2;  // i16: the element covers bottom - height to bottom
constexpr size_t kElementWidth = 4;   // u16: width in bits 0-14, bit 15 mirrored
constexpr size_t kElementHeight = 6;  // i16
constexpr size_t kElementIndex = 8;   // i16: index into the context's image table

}  // namespace vek::rec
