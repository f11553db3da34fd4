// A sprite image record as the library reads it: its kind and, for a DI
// record, the header fields read once and checked against the block.
//
// The block of a DI record is byte 4 + image length (the u32 at byte 0) bytes
// long; the pixels start at byte 4 + pixel offset. Every bound below comes
// from those two fields, so a damaged record is refused before any pixel is
// touched. A view is made once per call, at the entry; whatever draws,
// mirrors or measures from it trusts it.
#pragma once

#include <vekkit/records.h>

#include <cstddef>
#include <cstdint>

#include "record/layout.h"

namespace vek {

// The record kinds, told apart by the type word at byte 4.
enum class RecordKind : uint8_t { DI, DD, Composite };

inline RecordKind recordKind(const BYTE *record)
{
    switch (u16(record, rec::kType)) {
    case VEK_TYPE_DD: return RecordKind::DD;
    case VEK_TYPE_COMPOSITE: return RecordKind::Composite;
    default: return RecordKind::DI;
    }
}
inline bool isDDRecord(const BYTE *record) { return recordKind(record) == RecordKind::DD; }
inline bool isCompositeRecord(const BYTE *record) { return recordKind(record) == RecordKind::Composite; }
inline bool isDIRecord(const BYTE *record) { return recordKind(record) == RecordKind::DI; }

// Widths and heights go through 16-bit arithmetic in places, so images are
// at most this many pixels wide and high.
constexpr LONG kMaxImageSide = 32767;

// Bytes of the image that a DI record must hold: the file and info headers.
constexpr uint32_t kDIHeaderBytes = rec::kColorTable - 4;

// The info header sizes that the GDI accepts: BITMAPINFOHEADER up to BITMAPV5HEADER.
constexpr uint32_t kMinInfoSize = 40;
constexpr uint32_t kMaxInfoSize = 124;

struct RecordView {
    BYTE *record = nullptr;
    RecordKind kind = RecordKind::DI;
    bool readable = false;   // a DI record whose headers and pixel offset lie inside its block
    // The fields below are read for readable DI records only.
    BYTE *pixels = nullptr;  // first pixel byte
    BYTE *end = nullptr;     // first byte behind the block: where a stream must end
    LONG width = 0;          // biWidth
    LONG height = 0;         // biHeight: rows run bottom row first
    WORD flags = 0;          // VEK_IMAGE_MIRRORABLE, VEK_IMAGE_MIRRORED
    WORD bitCount = 0;
    DWORD compression = 0;   // BI_RGB or BI_RLE8 for images that are drawn

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

    // A raw 8-bit image of a drawable size whose rows all lie inside the block.
    bool isRaw8() const
    {
        return readable && bitCount == 8 && compression == BI_RGB && hasDrawableSize() && rawRowsFit();
    }

    // A run-length encoded 8-bit image of a drawable size; its stream runs
    // from pixels to end.
    bool isRle8() const { return readable && bitCount == 8 && compression == BI_RLE8 && hasDrawableSize(); }

    // True when the record can be handed to the GDI as a DIB of palette
    // indices (DIB_PAL_COLORS) without the GDI reading outside the block: a
    // raw or run-length 8-bit image as above, an info header of a size the
    // GDI takes, followed by its colour table of 16-bit indices (biClrUsed
    // entries, all 256 when 0 or more). The length of a stream is the
    // caller's to bound. Every path that hands a record's header to the GDI
    // asks this first.
    bool gdiCanRead() const
    {
        if (!isRaw8() && !isRle8()) return false;
        const uint64_t infoSize = u32(record, rec::kInfoSize);
        if (infoSize < kMinInfoSize || infoSize > kMaxInfoSize) return false;
        const uint32_t used = u32(record, rec::kClrUsed);
        const uint64_t colours = used && used < 256 ? used : 256;
        return rec::kInfo + infoSize + colours * sizeof(WORD) <= static_cast<uint64_t>(end - record);
    }
};

// The view of a record (not null): its kind and, for a DI record whose
// block is long enough for the headers and whose pixel offset lies inside
// it, the header fields.
inline RecordView viewRecord(HSPRITEDATA record)
{
    RecordView v;
    v.record = record;
    v.kind = recordKind(record);
    if (v.kind != RecordKind::DI) return v;
    const uint32_t length = u32(record, rec::kLength);
    if (length < kDIHeaderBytes) return v;
    const uint32_t pixelOffset = u32(record, rec::kPixelOffset);
    if (pixelOffset > length) return v;
    v.readable = true;
    v.pixels = record + 4 + pixelOffset;
    v.end = record + 4 + length;
    v.width = i32(record, rec::kWidth);
    v.height = i32(record, rec::kHeight);
    v.flags = u16(record, rec::kFlags);
    v.bitCount = u16(record, rec::kBitCount);
    v.compression = u32(record, rec::kCompression);
    return v;
}

}  // namespace vek
