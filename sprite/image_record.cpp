// Sprite image records: creation, measurement and deletion.
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
//
// A DD record (type word 0xFEF0) names a mask bitmap at byte 6 (or 0) and an
// image bitmap at byte 10, both 32-bit handles that the record owns. A
// composite record (0xFEF1) keeps its bounds at byte 6.
#include "sprite/image_record.h"

#include <vekkit/sprite.h>

#include "common/image_layout.h"
#include "common/le.h"
#include "common/memory.h"
#include "common/saturate.h"

namespace vek {

HSPRITEDATA createDIRecord(LONG width, LONG height, bool longTable)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
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

HBITMAP bitmapAt(const BYTE *record, size_t offset)
{
    return reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(u32(record, offset)));
}

DWORD spriteDimensions(HSPRITEDATA image, LONG *width, LONG *height)
{
    LONG w, h;
    switch (u16(image, rec::kType)) {
    case VEK_TYPE_DD: {
        BITMAP bm{};
        GetObjectA(bitmapAt(image, rec::kImage), sizeof bm, &bm);
        w = static_cast<SHORT>(bm.bmWidth);
        h = static_cast<SHORT>(bm.bmHeight);
        break;
    }
    case VEK_TYPE_COMPOSITE:
        // Bounds may lie anywhere: a size beyond the 32-bit range stops at its end.
        w = subSat(i32(image, rec::kBounds + 8), i32(image, rec::kBounds));
        h = subSat(i32(image, rec::kBounds + 12), i32(image, rec::kBounds + 4));
        break;
    default:
        w = i32(image, rec::kWidth);
        h = i32(image, rec::kHeight);
        break;
    }
    if (width) *width = w;
    if (height) *height = h;
    return static_cast<DWORD>(h) << 16 | (static_cast<DWORD>(w) & 0xFFFF);
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

DWORD_PTR VEKAPI vekCreateSpriteDataEx(HDC dc, LONG width, LONG height, DWORD flags)
{
    if (!(flags & 1)) return reinterpret_cast<DWORD_PTR>(vek::createDIRecord(width, height, false));

    auto *r = static_cast<BYTE *>(vek::allocLocked(vek::rec::kDDSize));
    if (!r) return 0;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) {
        vek::freeLocked(r);
        return 0;
    }
    vek::put16(r, vek::rec::kType, VEK_TYPE_DD);
    vek::put32(r, vek::rec::kImage, static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(bitmap)));

    // Start from black; without a memory DC the bitmap is left as it came.
    if (HDC memory = CreateCompatibleDC(dc)) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all;
        SetRect(&all, 0, 0, width, height);
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    return reinterpret_cast<DWORD_PTR>(r);
}

LONG VEKAPI vekDeleteSpriteData(HSPRITEDATA image)
{
    if (vek::u16(image, vek::rec::kType) == VEK_TYPE_DD) {
        if (HBITMAP mask = vek::bitmapAt(image, vek::rec::kMask)) DeleteObject(mask);
        if (HBITMAP bitmap = vek::bitmapAt(image, vek::rec::kImage)) DeleteObject(bitmap);
    }
    vek::freeLocked(image);
    return 1;
}

DWORD VEKAPI vekGetSpriteDimensions(HSPRITEDATA image, LONG *width, LONG *height)
{
    return vek::spriteDimensions(image, width, height);
}
