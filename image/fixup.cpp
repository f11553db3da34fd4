// DIB fix-ups: fixupdib, fixupdib3 and fixupdib2 bring an 8-bit DI record
// onto the palette of a sprite context in place.
//
// Each builds a 256-entry colour map with one nearest-colour search per
// colour-table entry, then rewrites the bits with one table look-up per byte,
// and skips that pass when the map changes nothing.
#include <vekkit/image.h>

#include <cstring>

#include "image/colour_map.h"
#include "image/mapped_image.h"
#include "image/nearest_color.h"
#include "image/work_block.h"
#include "record/di_record.h"

namespace {

// Working storage: the saved colour table, then the colour map.
constexpr size_t kSavedTable = 0;
constexpr size_t kMap = vek::rec::kColourTableBytes;
constexpr size_t kWorkBytes = kMap + 256;

const PALETTEENTRY *paletteOf(LPVEKCONTEXT context)
{
    return context ? context->paletteEntries : nullptr;
}

// fixupdib and fixupdib3: maps every colour-table entry to its nearest
// palette colour, makes the table the identity index table and translates
// the bits. Without a palette only the table is rewritten. beep sounds the
// default beep around the translation.
void fixColourTable(LPVEKCONTEXT context, HSPRITEDATA record, vek::Transparent transparent, bool beep)
{
    vek::MappedImage image;
    if (!vek::readMappedImage(record, vek::ColourTable::Read, image)) return;
    vek::WorkBlock work = vek::workBlock(kWorkBytes);
    if (!work) return;
    BYTE *saved = work.get() + kSavedTable;
    BYTE *map = work.get() + kMap;
    std::memcpy(saved, record + vek::rec::kColorTable, vek::rec::kColourTableBytes);
    vek::writeIndexTable(record);
    const PALETTEENTRY *palette = paletteOf(context);
    if (!palette) return;
    vek::NearestColors nearest(palette);
    for (int i = 0; i < 256; i++) {
        const RGBQUAD *entry = reinterpret_cast<const RGBQUAD *>(saved + 4 * i);
        map[i] = nearest.find(entry->rgbRed, entry->rgbGreen, entry->rgbBlue, transparent);
    }
    if (vek::isIdentity(map)) return;
    if (beep) MessageBeep(0);
    vek::translate(map, image.bits, image.bytes);
    if (beep) MessageBeep(0);
}

}  // namespace

void VEKAPI fixupdib(LPVEKCONTEXT context, HSPRITEDATA image)
{
    fixColourTable(context, image, vek::Transparent::Excluded, false);
}

void VEKAPI fixupdib3(LPVEKCONTEXT context, HSPRITEDATA image)
{
    fixColourTable(context, image, vek::Transparent::Candidate, true);
}

void VEKAPI fixupdib2(LPVEKCONTEXT context, HSPRITEDATA image, const PALETTEENTRY *sourceEntries)
{
    const PALETTEENTRY *palette = paletteOf(context);
    if (!palette || !sourceEntries) return;
    vek::MappedImage mapped;
    if (!vek::readMappedImage(image, vek::ColourTable::NotRead, mapped)) return;
    BYTE map[256];
    vek::NearestColors nearest(palette);
    for (int i = 0; i < 256; i++) {
        const PALETTEENTRY &e = sourceEntries[i];
        map[i] = nearest.find(e.peRed, e.peGreen, e.peBlue, vek::Transparent::Candidate);
    }
    if (!vek::isIdentity(map)) vek::translate(map, mapped.bits, mapped.bytes);
}
