// vekHSPRITEDATAtoDIBSection: a DIB section holding a copy of a raw 8-bit
// DI sprite image record, for drawing with GDI or addressing its bits.
//
// The record's BITMAPINFOHEADER (byte 18) and the colour table after it are
// handed to CreateDIBSection as they lie in the record, with DIB_PAL_COLORS:
// the record's index table names entries of the palette selected in the
// device context, whose colours become the section's colour table.
#include <vekkit/image.h>

#include <cstring>

#include "record/layout.h"
#include "record/record_view.h"

HBITMAP VEKAPI vekHSPRITEDATAtoDIBSection(HDC dc, HSPRITEDATA image)
{
    if (!image) return nullptr;
    const vek::RecordView im = vek::viewRecord(image);
    if (!im.isRaw8() || !im.gdiCanRead()) return nullptr;

    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO *>(image + vek::rec::kInfo),
                                       DIB_PAL_COLORS, &bits, nullptr, 0);
    if (!section) return nullptr;
    if (!bits) {
        DeleteObject(section);
        return nullptr;
    }
    std::memcpy(bits, im.pixels, im.stride() * static_cast<size_t>(im.height));
    return section;
}
