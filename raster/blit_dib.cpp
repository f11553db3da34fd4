// Showing a DI sprite image record in a device context.
//
// The record's BITMAPINFOHEADER (byte 18) and colour table of palette
// indices go to StretchDIBits as they stand, with DIB_PAL_COLORS, so the
// pixels are shown through the palette selected in the DC. A record whose
// header describes more than its block holds is refused before the GDI sees it.
#include <vekkit/raster.h>

#include "record/record_view.h"

namespace {

struct SavedField {
    BYTE *record;
    size_t offset;
    uint32_t value;
    ~SavedField() { vek::put32(record, offset, value); }
};

}  // namespace

LONG VEKAPI vekDIBBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src, LONG srcX, LONG srcY)
{
    using namespace vek;
    if (!src) return 0;
    const RecordView s = viewRecord(src);
    if (!s.gdiCanRead()) return 0;
    const auto *info = reinterpret_cast<const BITMAPINFO *>(src + rec::kInfo);

    if (s.compression == BI_RLE8) {
        // The whole image goes to the GDI, its stream bounded by the block.
        SavedField size{src, rec::kSizeImage, u32(src, rec::kSizeImage)};
        const auto available = static_cast<uint32_t>(s.end - s.pixels);
        if (size.value == 0 || size.value > available) put32(src, rec::kSizeImage, available);
        return StretchDIBits(dc, x, y, width, s.height, srcX, srcY, width, s.height, s.pixels, info,
                             DIB_PAL_COLORS, SRCCOPY);
    }

    // A raw image shows only the band of rows srcY .. srcY + height - 1: the
    // header says the image is that band for the duration of the call, and
    // the bits start at the band's bottom row. Bands outside the image are
    // refused rather than read beyond the pixels.
    if (srcY < 0 || height < 1 || height > s.height - srcY) return 0;
    SavedField band{src, rec::kHeight, u32(src, rec::kHeight)};
    put32(src, rec::kHeight, static_cast<uint32_t>(height));
    const BYTE *bits = s.pixels + static_cast<size_t>(s.height - srcY - height) * s.stride();
    return StretchDIBits(dc, x, y, width, height, srcX, 0, width, height, bits, info, DIB_PAL_COLORS, SRCCOPY);
}
