// Byte positions of the DI, DD and composite sprite image records.
#pragma once

#include <cstddef>

namespace vek::rec {

// Common to all kinds.
constexpr size_t kLength = 0;        // u32: bytes of the image that starts at byte 4
constexpr size_t kType = 4;          // u16: VEK_TYPE_DD, VEK_TYPE_COMPOSITE or a DI record

// DI record: a bitmap file image from byte 4 on.
constexpr size_t kFlags = 10;        // u16: mirror-enable and mirrored bits
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
constexpr size_t kClrUsed = 50;     // u32: colour table entries, 0 for all
constexpr size_t kColorTable = 58;
constexpr size_t kPixelsShort = 572;  // pixels of the 256-word table layout
constexpr size_t kPixelsLong = 1084;  // pixels of the 256-RGBQUAD table layout

// DD record.
constexpr size_t kMask = 6;          // u32 HBITMAP or 0
constexpr size_t kImage = 10;        // u32 HBITMAP
constexpr size_t kDDSize = 14;

// Composite record.
constexpr size_t kBounds = 6;        // 4 x i32: left, top, right, bottom
constexpr size_t kElementCount = 36; // u16
constexpr size_t kElements = 38;     // 10 bytes each
constexpr size_t kElementSize = 10;

}  // namespace vek::rec
