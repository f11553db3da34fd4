// vekHSPRITEDATAtoDIBSection: a DIB section holding a copy of a raw 8-bit
// DI sprite image record, for drawing with GDI or addressing its bits.
//
// The record's BITMAPINFOHEADER (byte 18) and the colour table after it are
// handed to CreateDIBSection as they lie in the record, with DIB_PAL_COLORS:
// the record's index table names entries of the palette selected in the
// device context, whose colours become the section's colour table.
#include <vekkit/image.h>

#include <cstdint>
#include <cstring>

#include "record/layout.h"
#include "record/record_view.h"

namespace {

// The info header sizes that GDI accepts: BITMAPINFOHEADER up to BITMAPV5HEADER.
constexpr uint32_t kMinInfoSize = 40;
constexpr uint32_t kMaxInfoSize = 124;

// True when the info header and the colour table of 16-bit palette indices
// that GDI reads after it lie inside the record's block.
bool colourTableFits(HSPRITEDATA record)
{
    const uint64_t infoSize = vek::u32(record, vek::rec::kInfoSize);
    if (infoSize < kMinInfoSize || infoSize > kMaxInfoSize) return false;
    const uint32_t used = vek::u32(record, vek::rec::kClrUsed);
    const uint64_t colours = used && used < 256 ? used : 256;
    return vek::rec::kInfo + infoSize + colours * sizeof(WORD) <= 4 + uint64_t{vek::u32(record, vek::rec::kLength)};
}

}  // namespace

HBITMAP VEKAPI vekHSPRITEDATAtoDIBSection(HDC dc, HSPRITEDATA image)
{
    if (!image) return nullptr;
    const vek::RecordView im = vek::viewRecord(image);
    if (!im.isRaw8() || !colourTableFits(image)) return nullptr;

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
