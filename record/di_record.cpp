// Making DI sprite image records.
//
// A record made here is a length word followed by the image of an 8-bit
// bitmap file: file header (type word, bfSize and image flags 0, pixel
// offset 568 or 1080), BITMAPINFOHEADER (40, width, height, 1 plane, 8 bits,
// BI_RGB, 0, 3800, 3800, 0, 0), the identity index table, and zero pixels.
#include "record/di_record.h"

#include "common/memory.h"
#include "record/layout.h"
#include "record/record_view.h"

namespace vek {

HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable)
{
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return nullptr;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    // The long layout keeps one spare byte per row at the end of the pixels.
    const size_t pixelBytes = (longTable ? stride + 1 : stride) * static_cast<size_t>(height);
    const size_t pixels = longTable ? rec::kPixelsLong : rec::kPixelsShort;
    const size_t size = pixels + pixelBytes;

    auto *r = static_cast<BYTE *>(allocLocked(size));
    if (!r) return nullptr;
    put32(r, rec::kLength, static_cast<uint32_t>(size - 4));
    put32(r, rec::kPixelOffset, static_cast<uint32_t>(pixels - 4));
    put32(r, rec::kInfoSize, 40);
    put32(r, rec::kWidth, static_cast<uint32_t>(width));
    put32(r, rec::kHeight, static_cast<uint32_t>(height));
    put16(r, rec::kPlanes, 1);
    put16(r, rec::kBitCount, 8);
    put32(r, rec::kXPels, 3800);
    put32(r, rec::kYPels, 3800);
    writeIndexTable(r);
    return r;
}

void writeIndexTable(BYTE *record)
{
    for (unsigned i = 0; i < 256; i++) put16(record, rec::kColorTable + 2 * i, static_cast<uint16_t>(i));
}

}  // namespace vek
