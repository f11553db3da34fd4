// Sprite image records: the exported calls that create, measure and delete
// them. The records themselves, their layout, making and measuring, belong
// to the record layer (record/).
#include <vekkit/sprite.h>

#include "common/memory.h"
#include "record/dd_record.h"
#include "record/di_record.h"
#include "record/dimensions.h"
#include "record/layout.h"
#include "record/record_view.h"

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
    vek::makeDDRecord(r, nullptr, bitmap);

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
    if (vek::isDDRecord(image)) {
        if (HBITMAP mask = vek::ddMask(image)) DeleteObject(mask);
        if (HBITMAP bitmap = vek::ddImage(image)) DeleteObject(bitmap);
    }
    vek::freeLocked(image);
    return 1;
}

DWORD VEKAPI vekGetSpriteDimensions(HSPRITEDATA image, LONG *width, LONG *height)
{
    return vek::spriteDimensions(image, width, height);
}
