// ditherdib: maps an 8-bit DI record onto the palette of a sprite context
// with error diffusion along each row.
//
// Each row starts with zero error sums (red, green, blue). A pixel's colour
// (its colour-table entry) is added to the sums, the sums clamped to 0..255
// are matched to the nearest palette colour, and what the chosen entry does
// not cover stays in the sums for the pixel to its right. Nothing passes
// between rows, and pixels of the transparent index are left as they are
// with the sums carried over them.
#include <vekkit/image.h>

#include <algorithm>
#include <cstring>

#include "image/mapped_image.h"
#include "image/nearest_color.h"
#include "image/work_block.h"
#include "record/di_record.h"

namespace {

BYTE clampChannel(int sum)
{
    return static_cast<BYTE>(std::clamp(sum, 0, 255));
}

}  // namespace

void VEKAPI ditherdib(LPVEKCONTEXT context, HSPRITEDATA image, DWORD)
{
    if (!context || !context->paletteEntries) return;
    const PALETTEENTRY *palette = context->paletteEntries;
    vek::MappedImage mapped;
    if (!vek::readMappedImage(image, vek::ColourTable::Read, mapped)) return;
    // A row must fit its stride (a 16-bit stride wraps for widths near 65536).
    if (mapped.width > mapped.stride) return;
    vek::WorkBlock saved = vek::workBlock(vek::rec::kColourTableBytes);
    if (!saved) return;
    std::memcpy(saved.get(), image + vek::rec::kColorTable, vek::rec::kColourTableBytes);
    vek::writeIndexTable(image);
    const auto *colours = reinterpret_cast<const RGBQUAD *>(saved.get());
    vek::NearestColors nearest(palette);

    for (unsigned y = 0; y < mapped.height; y++) {
        BYTE *row = mapped.bits + size_t{y} * mapped.stride;
        int red = 0, green = 0, blue = 0;
        for (unsigned x = 0; x < mapped.width; x++) {
            if (row[x] == vek::kTransparentIndex) continue;
            const RGBQUAD &c = colours[row[x]];
            red += c.rgbRed;
            green += c.rgbGreen;
            blue += c.rgbBlue;
            const BYTE i =
                nearest.find(clampChannel(red), clampChannel(green), clampChannel(blue), vek::Transparent::Excluded);
            red -= palette[i].peRed;
            green -= palette[i].peGreen;
            blue -= palette[i].peBlue;
            row[x] = i;
        }
    }
}
