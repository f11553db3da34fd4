// The bitmap fields of a DD sprite image record: 32-bit handles of a mask
// bitmap (or 0) and an image bitmap, which the record owns.
#pragma once

#include <vekkit/records.h>

#include <cstdint>

#include "record/layout.h"

namespace vek {

inline HBITMAP bitmapField(const BYTE *record, size_t offset)
{
    return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(u32(record, offset)));
}

inline HBITMAP ddMask(const BYTE *record) { return bitmapField(record, rec::kMask); }
inline HBITMAP ddImage(const BYTE *record) { return bitmapField(record, rec::kImage); }

// Makes record (at least kDDSize zero bytes) a DD record of the two bitmaps.
inline void makeDDRecord(BYTE *record, HBITMAP mask, HBITMAP image)
{
    const auto handle = [](HBITMAP b) { return static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(b)); };
    put16(record, rec::kType, VEK_TYPE_DD);
    put32(record, rec::kMask, handle(mask));
    put32(record, rec::kImage, handle(image));
}

}  // namespace vek
