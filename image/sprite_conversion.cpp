// Conversions between the drawing forms of sprite image records: run-length
// encoded DI records expanded to raw ones, and DI records turned into DD
// records (a monochrome mask bitmap and an image bitmap for the platform to
// draw), also on the way in from a file or a resource.
//
// Mask convention of DD records: the mask is white where the sprite is
// transparent and black where it is opaque; the image is black (index 0)
// where the sprite is transparent. The DD blit ANDs the mask, then ORs the
// image.
//
// The mask comes from a blot of the source (opaque pixels become 0 in an
// image filled with 255), which takes the source's pixels as they stand,
// while the core blit that draws the image first mirrors a mirrored source
// back. A mirrored source is therefore brought back to its unmirrored state
// first, so that mask and image agree.
#include <vekkit/image.h>
#include <vekkit/raster.h>
#include <vekkit/sprite.h>

#include "common/memory.h"
#include "raster/blit.h"
#include "raster/blot.h"
#include "record/dd_record.h"
#include "record/dimensions.h"
#include "record/layout.h"
#include "record/record_view.h"

namespace vek {
namespace {

// Background of raw images expanded from run-length encoded ones.
constexpr LONG kTransparentIndex = 8;
// Fill of the mask image before the blot; with the usual palette entry 255
// is white.
constexpr LONG kMaskFill = 255;

// DD record sizes: vekDISpriteToDDSprite keeps four spare bytes.
constexpr SIZE_T kConvertedDDSize = 18;

// How the bitmaps of a DD record are made.
struct DDForm {
    HDC dc;                       // the image bitmap's DC
    const PALETTEENTRY *entries;  // RGB colour tables from these; null: DIB_PAL_COLORS through dc's palette
    bool mask;
    SIZE_T recordSize;
};

void unmirror(HSPRITEDATA image)
{
    constexpr WORD both = VEK_IMAGE_MIRRORABLE | VEK_IMAGE_MIRRORED;
    if (isDIRecord(image) && (u16(image, rec::kFlags) & both) == both) vekFlipSprite(image);
}

// Replaces the colour table of a working image (long table layout: room for
// 256 RGBQUADs) by the palette entries.
void writeRgbTable(BYTE *image, const PALETTEENTRY *entries)
{
    for (size_t i = 0; i < 256; i++) {
        BYTE *q = image + rec::kColorTable + 4 * i;
        q[0] = entries[i].peBlue;
        q[1] = entries[i].peGreen;
        q[2] = entries[i].peRed;
        q[3] = 0;
    }
}

HBITMAP bitmapOf(HDC dc, HSPRITEDATA image, UINT usage)
{
    const auto *info = reinterpret_cast<const BITMAPINFO *>(image + rec::kInfo);
    return CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER *>(info), CBM_INIT,
                          image + 4 + u32(image, rec::kPixelOffset), info, usage);
}

HBITMAP maskBitmapOf(HSPRITEDATA image, const DDForm &form)
{
    if (!form.entries) return bitmapOf(form.dc, image, DIB_PAL_COLORS);
    // A memory DC holds a monochrome bitmap: the mask becomes monochrome.
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) return nullptr;
    writeRgbTable(image, form.entries);
    HBITMAP bitmap = bitmapOf(memory, image, DIB_RGB_COLORS);
    DeleteDC(memory);
    return bitmap;
}

HBITMAP imageBitmapOf(HSPRITEDATA image, const DDForm &form)
{
    if (!form.entries) return bitmapOf(form.dc, image, DIB_PAL_COLORS);
    writeRgbTable(image, form.entries);
    return bitmapOf(form.dc, image, DIB_RGB_COLORS);
}

// Turns source into a new DD record; source is consumed on every path.
HSPRITEDATA toDD(HSPRITEDATA source, const DDForm &form)
{
    LONG width = 0, height = 0;
    spriteDimensions(source, &width, &height);
    HSPRITEDATA maskImage = form.mask ? vekCreateSpriteData(width, height) : nullptr;
    HSPRITEDATA colorImage = vekCreateSpriteData(width, height);
    BYTE *dd = (!form.mask || maskImage) && colorImage ? static_cast<BYTE *>(allocLocked(form.recordSize)) : nullptr;
    if (!dd) {
        if (maskImage) freeLocked(maskImage);
        if (colorImage) freeLocked(colorImage);
        vekDeleteSpriteData(source);
        return nullptr;
    }

    unmirror(source);
    if (maskImage) {
        vekSpriteFill(maskImage, 0, 0, width, height, kMaskFill);
        SpriteBlotCore(maskImage, 0, 0, width, height, source, 0, 0);
    }
    SpriteBltCore(colorImage, 0, 0, width, height, source, 0, 0, 0);
    vekDeleteSpriteData(source);

    HBITMAP mask = maskImage ? maskBitmapOf(maskImage, form) : nullptr;
    if (maskImage) freeLocked(maskImage);
    HBITMAP image = form.mask && !mask ? nullptr : imageBitmapOf(colorImage, form);
    freeLocked(colorImage);
    if (!image) {
        if (mask) DeleteObject(mask);
        freeLocked(dd);
        return nullptr;
    }
    makeDDRecord(dd, mask, image);
    return dd;
}

}  // namespace
}  // namespace vek

using namespace vek;

void VEKAPI vekFreeDDSprite(HSPRITEDATA image)
{
    if (!image) return;
    if (HBITMAP mask = ddMask(image)) DeleteObject(mask);
    if (HBITMAP bitmap = ddImage(image)) DeleteObject(bitmap);
    freeLocked(image);
}

HSPRITEDATA VEKAPI vekRLESpriteToRGBSprite(HSPRITEDATA source)
{
    if (!source) return nullptr;
    LONG width = 0, height = 0;
    spriteDimensions(source, &width, &height);
    HSPRITEDATA raw = vekCreateSpriteData(width, height);
    if (!raw) return nullptr;
    vekSpriteFill(raw, 0, 0, width, height, kTransparentIndex);
    SpriteBltCore(raw, 0, 0, width, height, source, 0, 0, 0);
    return raw;
}

HSPRITEDATA VEKAPI vekDISpriteToDDSprite(HDC dc, HSPRITEDATA source, const PALETTEENTRY *entries, DWORD makeMask)
{
    if (!source || !entries) {
        if (source) vekDeleteSpriteData(source);
        return nullptr;
    }
    return toDD(source, DDForm{dc, entries, makeMask != 0, kConvertedDDSize});
}

HSPRITEDATA VEKAPI vekLoadSpriteDataEx(LPVEKCONTEXT context, HDC dc, HINSTANCE module, LPCSTR name, DWORD flags)
{
    HSPRITEDATA loaded = vekLoadSpriteData(module, name, flags);
    if (!loaded || !context || !(context->options & VEK_OPTION_DD_OFFSCREEN)) return loaded;
    return toDD(loaded, DDForm{dc, nullptr, true, rec::kDDSize});
}
