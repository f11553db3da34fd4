// Composite sprite image records: images made of elements, each of which
// names an image of the drawing context's image table.
//
// Record layout (little-endian, no padding):
//
//   byte 0   u32   length of what follows, or 0 in records built by hand
//   byte 4   u16   0xFEF1
//   byte 6   4 i32 bounds: left, top, right, bottom of the whole image
//   byte 22        14 bytes the library does not read
//   byte 36  u16   element count
//   byte 38        elements, 10 bytes each:
//                    i16 left x
//                    i16 bottom y (the element covers bottom - height to bottom)
//                    u16 width in bits 0-14, bit 15 set: drawn mirrored
//                    i16 height
//                    i16 index into the context's image table
//
// Elements are drawn in list order, so later ones cover earlier ones.
#include <vekkit/raster.h>

#include "common/image_layout.h"
#include "common/le.h"
#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr WORD kElementMirrored = 0x8000;
constexpr WORD kElementWidthMask = 0x7FFF;

struct Element {
    int64_t left, top, width, height;  // top = bottom - height
    bool mirrored;
    HSPRITEDATA image;                 // from the image table, null if none
};

// The number of elements to read: the count, cut to what the length field
// leaves room for when the record carries one.
size_t elementCount(const BYTE *comp)
{
    const size_t count = vek::u16(comp, vek::rec::kElementCount);
    const uint32_t length = vek::u32(comp, vek::rec::kLength);
    if (length == 0) return count;
    const size_t headerAfterLength = vek::rec::kElements - 4;
    if (length < headerAfterLength) return 0;
    return std::min(count, (length - headerAfterLength) / vek::rec::kElementSize);
}

Element readElement(LPVEKCONTEXT ctx, const BYTE *comp, size_t i)
{
    const size_t at = vek::rec::kElements + i * vek::rec::kElementSize;
    const WORD widthWord = vek::u16(comp, at + 4);
    Element e;
    e.left = vek::i16(comp, at);
    e.height = vek::i16(comp, at + 6);
    e.top = vek::i16(comp, at + 2) - e.height;
    e.width = widthWord & kElementWidthMask;
    e.mirrored = (widthWord & kElementMirrored) != 0;
    const SHORT index = vek::i16(comp, at + 8);
    e.image = ctx && ctx->imageTable && index >= 0 ? ctx->imageTable[index] : nullptr;
    return e;
}

}  // namespace

namespace vek {

LONG CompositeSpriteBlt(LPVEKCONTEXT ctx, HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                        HSPRITEDATA comp, LONG srcX, LONG srcY)
{
    const size_t count = elementCount(comp);
    for (size_t i = 0; i < count; i++) {
        const Element e = readElement(ctx, comp, i);
        if (!e.image) continue;
        // Elements entirely beside the window are passed over; one that only
        // touches its edge is not, and its blit clips to nothing.
        if (e.left + e.width < srcX || int64_t{srcX} + width < e.left || srcY > e.top + e.height ||
            int64_t{srcY} + height < e.top)
            continue;
        const AxisPiece px = placePiece(srcX, x, width, e.left), py = placePiece(srcY, y, height, e.top);
        SpriteBltCore(dst, saturate(px.at), saturate(py.at), saturate(px.size), saturate(py.size), e.image,
                      saturate(px.from), saturate(py.from), e.mirrored);
    }
    return 1;
}

}  // namespace vek

LONG VEKAPI vekDIBBltCM(LPVEKCONTEXT ctx, HDC dc, LONG, LONG, LONG, LONG, HSPRITEDATA comp, LONG, LONG)
{
    if (!ctx || !comp || !vek::isCompositeRecord(comp)) return 0;
    const size_t count = elementCount(comp);
    for (size_t i = 0; i < count; i++) {
        const Element e = readElement(ctx, comp, i);
        if (e.image)
            vekDIBBlt(dc, static_cast<LONG>(e.left), static_cast<LONG>(e.top), static_cast<LONG>(e.width),
                      static_cast<LONG>(e.height), e.image, 0, 0);
    }
    return 1;
}
