// StretchDIBits: caller DIB memory drawn into a DC, at any scale.
//
// Windows' rules, quirks included:
// - The source rectangle's y counts from the image's bottom row, for
//   top-down DIBs too; only a top-down copy that starts at the origin at
//   1:1, or one with another operation than SRCCOPY, counts from the top.
// - Pixels of a BI_RLE8 image that the data passes over keep what the
//   destination held when the whole image is copied at 1:1 with SRCCOPY;
//   otherwise they are drawn as index 0.
// - The result is the image's height (for operations other than SRCCOPY,
//   biHeight with its sign), or 0 when the source rectangle misses the image.
#include <windows.h>

#include "gdi/color.h"
#include "gdi/dib_info.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/palette_warning.h"
#include "gdi/raster.h"
#include "gdi/rle8.h"
#include "gdi/stretch.h"

using namespace vek::gdi;

int WINAPI StretchDIBits(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                         const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop)
{
    VEKHOST_CALL(Channel::gdi, hdc, x, y, width, height, srcX, srcY, srcWidth, srcHeight, bits, info, usage, rop);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, 0, "no such DC");
    DibInfo dib;
    if (!bits || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !readDibInfo(info, dib))
        return fail(ERROR_INVALID_PARAMETER, 0,
                    "no bits, a usage other than DIB_RGB_COLORS or DIB_PAL_COLORS, or no valid DIB header");
    if (!width || !height || !srcWidth || !srcHeight) return 0;
    if (width == INT32_MIN || height == INT32_MIN || srcWidth == INT32_MIN || srcHeight == INT32_MIN)
        return fail(ERROR_INVALID_PARAMETER, 0);
    const bool whole = srcX == 0 && srcY == 0 && srcWidth == width && srcHeight == height;
    const bool fromBottom = dib.bottomUp() || (rop == SRCCOPY && !whole);
    const int result = rop == SRCCOPY ? dib.rows() : dib.height;

    // Source rectangle as pixels of the image, rows counted from the top.
    const Span toAcross = spanOf(x, width), toDown = spanOf(y, height);
    const Span fromAcross = spanOf(srcX, srcWidth);
    Span fromDown = spanOf(srcY, srcHeight);
    if (fromBottom) fromDown.start = int64_t{dib.rows()} - fromDown.start - fromDown.extent;
    if (fromAcross.start >= dib.width || fromDown.start >= dib.rows() || fromAcross.start + fromAcross.extent <= 0 ||
        fromDown.start + fromDown.extent <= 0)
        return 0;

    const uint8_t code = ropCode(rop);
    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dc, pattern)) return result;

    Surface &target = *dc->surface;
    RasterSource src;
    if (!clipAxis(toAcross, fromAcross, toAcross.flipped != fromAcross.flipped, target.width, dib.width, src.columns) ||
        !clipAxis(toDown, fromDown, toDown.flipped != fromDown.flipped, target.height, dib.rows(), src.rows))
        return result;

    // The pixels: the caller's rows as they are, or RLE data decoded.
    Surface view;
    std::shared_ptr<Surface> decoded;
    std::vector<BYTE> mask;
    const Surface *source = &view;
    viewDib(view, bits, dib.width, dib.height, dib.bitsPerPixel, ColorKind::Rgb);
    notePaletteIndices(*dc, usage, "StretchDIBits");
    readColorTable(info, dib, usage, view);
    if (dib.compression == BI_RLE8) {
        // Only the part of the image that the copy reads is decoded.
        const POINT origin{src.columns.lowest(), src.rows.lowest()};
        decoded = makeDdb(src.columns.highest() - origin.x + 1, src.rows.highest() - origin.y + 1, kFormat8,
                          view.colors);
        if (!decoded) return fail(ERROR_NOT_ENOUGH_MEMORY, 0);
        decoded->table = view.table;
        decoded->tableSize = view.tableSize;
        decoded->indices = view.indices;
        decoded->indexCount = view.indexCount;
        decodeRle8(static_cast<const BYTE *>(bits), dib.sizeImage, dib.rows(), origin, *decoded, mask);
        src.columns.moveSource(origin.x);
        src.rows.moveSource(origin.y);
        if (whole && rop == SRCCOPY) src.mask = mask.data();
        source = decoded.get();
    }

    const Translation tr(sideOf(*dc, *source), sideOf(*dc, target));
    src.surface = source;
    src.translation = &tr;
    rasterOp(target, src.rect(), &src, pattern, rop);
    noteDrawn(*dc, src.rect());
    return result;
}
