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
#include "gdi/raster.h"
#include "gdi/rle8.h"
#include "gdi/stretch.h"

using namespace vek::gdi;

int WINAPI StretchDIBits(HDC hdc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                         const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, 0);
    DibInfo dib;
    if (!bits || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !readDibInfo(info, dib))
        return fail(ERROR_INVALID_PARAMETER, 0);
    if (!width || !height || !srcWidth || !srcHeight) return 0;
    if (width == INT32_MIN || height == INT32_MIN || srcWidth == INT32_MIN || srcHeight == INT32_MIN)
        return fail(ERROR_INVALID_PARAMETER, 0);
    const bool whole = srcX == 0 && srcY == 0 && srcWidth == width && srcHeight == height;
    const bool fromBottom = dib.bottomUp() || (rop == SRCCOPY && !whole);
    const int result = rop == SRCCOPY ? dib.rows() : dib.height;

    // Source rectangle as pixels of the image, rows counted from the top.
    int sx = srcX, sw = srcWidth, sy = srcY, sh = srcHeight;
    const bool flipX = normalise(sx, sw) != (width < 0);
    const bool flipY = normalise(sy, sh) != (height < 0);
    const int64_t top64 = fromBottom ? int64_t{dib.rows()} - sy - sh : sy;
    if (sx >= dib.width || top64 >= dib.rows() || int64_t{sx} + sw <= 0 || top64 + sh <= 0) return 0;
    sy = static_cast<int>(top64);  // inside int: top64 + sh > 0 with sh < 2^31

    const uint8_t code = ropCode(rop);
    uint32_t pattern = 0;
    if (ropUsesPattern(code) && !brushPattern(*dc, pattern)) return result;

    Surface &target = *dc->surface;
    int left = 0, top = 0;
    std::vector<int> columns, rows;
    if (!mapAxis(x, width, sx, sw, flipX, target.width, dib.width, left, columns) ||
        !mapAxis(y, height, sy, sh, flipY, target.height, dib.rows(), top, rows))
        return result;
    const RECT rect{left, top, left + static_cast<LONG>(columns.size()), top + static_cast<LONG>(rows.size())};

    // The pixels: the caller's rows as they are, or RLE data decoded.
    Surface view;
    std::shared_ptr<Surface> decoded;
    std::vector<BYTE> mask;
    const Surface *source = &view;
    viewDib(view, bits, dib.width, dib.height, dib.bitsPerPixel, ColorKind::Rgb);
    readColorTable(info, dib, usage, view);
    if (dib.compression == BI_RLE8) {
        decoded = makeDdb(dib.width, dib.rows(), 8, view.colors);
        if (!decoded) return fail(ERROR_NOT_ENOUGH_MEMORY, 0);
        decoded->table = view.table;
        decoded->indices = view.indices;
        decodeRle8(static_cast<const BYTE *>(bits), dib.sizeImage, *decoded, mask);
        if (!whole || rop != SRCCOPY) mask.clear();
        source = decoded.get();
    }

    const Translation tr(sideOf(*dc, *source), sideOf(*dc, target));
    RasterSource src;
    src.surface = source;
    src.translation = &tr;
    src.mask = mask.empty() ? nullptr : &mask;
    // A 1:1 axis reads consecutive pixels; only scaled or mirrored axes need their map.
    if (!flipX && sw == (width < 0 ? -width : width))
        src.x0 = columns.front();
    else
        src.columns = &columns;
    if (!flipY && sh == (height < 0 ? -height : height))
        src.y0 = rows.front();
    else
        src.rows = &rows;
    rasterOp(target, rect, &src, pattern, rop);
    noteDrawn(*dc, rect);
    return result;
}
