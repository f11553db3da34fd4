// Creation of DI sprite image records.
//
// A DI record is a length word followed by the image of an 8-bit bitmap file:
//
//   0   u32 image length (bytes from byte 4 on)
//   4   BITMAPFILEHEADER: type word 0, bfSize 0, image flags at 10, pixel
//       offset at 14 (counted from byte 4)
//   18  BITMAPINFOHEADER: 40, width, height, 1 plane, 8 bits, BI_RGB, ...
//   58  colour table: 256 identity words (DIB_PAL_COLORS form), followed in
//       the long layout by 512 zero bytes (room for 256 RGBQUADs)
//   572 or 1084: pixels, rows bottom-up, stride (width + 3) & ~3
#include "sprite/image_record.h"

#include <vekkit/sprite.h>

#include "common/image_layout.h"
#include "common/le.h"

namespace vek {

HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    // The long layout keeps one spare byte per row at the end of the pixels.
    const size_t pixelBytes = (longTable ? stride + 1 : stride) * static_cast<size_t>(height);
    const size_t pixels = longTable ? rec::kPixelsLong : rec::kPixelsShort;
    const size_t size = pixels + pixelBytes;

    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!mem) return nullptr;
    auto *r = static_cast<BYTE *>(GlobalLock(mem));
    if (!r) {
        GlobalFree(mem);
        return nullptr;
    }
    put32(r, rec::kLength, static_cast<uint32_t>(size - 4));
    put32(r, rec::kPixelOffset, static_cast<uint32_t>(pixels - 4));
    put32(r, rec::kInfoSize, 40);
    put32(r, rec::kWidth, static_cast<uint32_t>(width));
    put32(r, rec::kHeight, static_cast<uint32_t>(height));
    put16(r, rec::kPlanes, 1);
    put16(r, rec::kBitCount, 8);
    put32(r, rec::kXPels, 3800);
    put32(r, rec::kYPels, 3800);
    for (unsigned i = 0; i < 256; i++) put16(r, rec::kColorTable + 2 * i, static_cast<uint16_t>(i));
    return r;
}

}  // namespace vek

HSPRITEDATA VEKAPI vekCreateSpriteDataObject(LONG width, LONG height)
{
    return vek::createDIRecord(width, height, false);
}

HSPRITEDATA VEKAPI vekCreateSpriteData(LONG width, LONG height)
{
    return vek::createDIRecord(width, height, true);
}
