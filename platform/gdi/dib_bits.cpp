// Moving pixels between bitmaps and caller DIB memory: CreateDIBitmap,
// SetDIBits, GetDIBits.
//
// Scan lines are counted in the DIB's own order: from the bottom row for a
// bottom-up DIB (positive height), from the top for a top-down one; a
// caller's buffer holds the lines asked for, the first of them first.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/bitmap.h"
#include "gdi/color.h"
#include "gdi/dib_info.h"
#include "gdi/display.h"
#include "gdi/draw.h"
#include "gdi/objects.h"
#include "gdi/raster.h"

namespace vek::gdi {
namespace {

const Palette &paletteOf(const DC *dc)
{
    return dc ? dcPalette(*dc) : *findValue<Palette>(state().stock[DEFAULT_PALETTE]);
}

Side sideFor(const DC *dc, const Surface &s)
{
    return dc ? sideOf(*dc, s) : Side{s, paletteOf(nullptr)};
}

// Copies scan lines start.. of a DIB (bits holds just those) into target;
// returns how many there were. Scan lines count from the bottom row of the
// DIB's height, for top-down DIBs too (their buffer then runs downwards from
// line start + lines - 1), and only bottom-up ones stop at the top row: as
// on Windows.
int putScanLines(const DC *dc, Surface &target, const DibInfo &dib, const void *info, UINT usage, const void *bits,
                 UINT start, UINT lines)
{
    const int64_t total = dib.rows();
    if (dib.bottomUp()) {
        if (start >= total) return 0;
        lines = static_cast<UINT>(std::min<int64_t>(lines, total - start));
    }
    if (lines == 0 || lines > static_cast<UINT>(INT32_MAX)) return 0;
    const int n = static_cast<int>(lines);
    Surface view;
    viewDib(view, bits, dib.width, dib.bottomUp() ? n : -n, dib.bitsPerPixel, ColorKind::Rgb);
    readColorTable(info, dib, usage, view);

    // Target row of the view's top row.
    const int64_t top = total - start - n;
    RasterSource src;
    if (clipAxis(Span{0, dib.width}, Span{0, dib.width}, false, target.width, dib.width, src.columns) &&
        clipAxis(Span{top, n}, Span{0, n}, false, target.height, n, src.rows)) {
        const Translation tr(sideFor(dc, view), sideFor(dc, target));
        src.surface = &view;
        src.translation = &tr;
        rasterOp(target, src.rect(), &src, 0, SRCCOPY);
    }
    return n;
}

bool validUsage(UINT usage) { return usage == DIB_RGB_COLORS || usage == DIB_PAL_COLORS; }

}  // namespace
}  // namespace vek::gdi

using namespace vek::gdi;

HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                              const BITMAPINFO *info, UINT usage)
{
    VEKHOST_CALL(Channel::gdi, hdc, header, init, bits, info, usage);
    Lock lock;
    if (!header) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    DC *dc = find<DC>(hdc);
    if (hdc && !dc) return fail(ERROR_INVALID_HANDLE, HBITMAP{});
    BITMAPINFOHEADER h;
    std::memcpy(&h, header, sizeof h);
    if (h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;

    DibInfo dib;
    const bool initialise = (init & CBM_INIT) != 0;
    if (initialise && (!bits || !validUsage(usage) || !readDibInfo(info, dib) || dib.compression != BI_RGB))
        return fail(ERROR_INVALID_PARAMETER, HBITMAP{});

    // Without a DC the bitmap is monochrome, like one made for a fresh memory DC.
    HBITMAP result;
    if (dc) {
        result = compatibleBitmap(*dc, h.biWidth, height);
    } else {
        auto s = makeDdb(h.biWidth, height, kFormat1, ColorKind::Mono);
        if (!s) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
        auto b = std::make_unique<Bitmap>();
        b->surface = std::move(s);
        result = toHandle<HBITMAP>(addObject(std::move(b)));
    }
    if (result && initialise) {
        Bitmap *b = find<Bitmap>(result);
        putScanLines(dc, *b->surface, dib, info, usage, bits, 0, static_cast<UINT>(dib.rows()));
    }
    return result;
}

int WINAPI SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void *bits, const BITMAPINFO *info,
                     UINT usage)
{
    VEKHOST_CALL(Channel::gdi, hdc, bitmap, start, lines, bits, info, usage);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (hdc && !dc) return fail(ERROR_INVALID_HANDLE, 0);
    Bitmap *b = find<Bitmap>(bitmap);
    if (!b) return fail(ERROR_INVALID_HANDLE, 0);
    DibInfo dib;
    if (!bits || !validUsage(usage) || !readDibInfo(info, dib) || dib.compression != BI_RGB)
        return fail(ERROR_INVALID_PARAMETER, 0);
    return putScanLines(dc, *b->surface, dib, info, usage, bits, start, lines);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage)
{
    VEKHOST_CALL(Channel::gdi, hdc, bitmap, start, lines, bits, info, usage);
    Lock lock;
    DC *dc = find<DC>(hdc);
    Bitmap *b = find<Bitmap>(bitmap);
    if (!dc || !b) return fail(ERROR_INVALID_HANDLE, 0);
    if (!info || !validUsage(usage)) return fail(ERROR_INVALID_PARAMETER, 0);
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return fail(ERROR_INVALID_PARAMETER, 0);
    const Surface &s = *b->surface;
    const int srcBpp = s.bitsPerPixel();

    // Only the header wanted: the bitmap's own layout.
    if (h.biBitCount == 0) {
        if (bits) return fail(ERROR_INVALID_PARAMETER, 0);
        h.biWidth = s.width;
        h.biHeight = s.height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(srcBpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(dibStride(s.width, srcBpp) * static_cast<size_t>(s.height));
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        std::memcpy(info, &h, sizeof h);
        return s.height;
    }
    const int bpp = h.biBitCount;
    if (!formatFor(bpp) || h.biCompression != BI_RGB || h.biPlanes > 1) return fail(ERROR_INVALID_PARAMETER, 0);
    // The output is a DIB like any other: a 1-bit bitmap read out at 32 bits
    // grows 32-fold, past what a row stride or biSizeImage can hold.
    if (s.width && s.height && !sizeFits(s.width, s.height, bpp)) return fail(ERROR_INVALID_PARAMETER, 0);
    const bool topDown = h.biHeight < 0;
    h.biWidth = s.width;
    h.biHeight = topDown ? -s.height : s.height;
    h.biPlanes = 1;
    h.biSizeImage = static_cast<DWORD>(dibStride(s.width, bpp) * static_cast<size_t>(s.height));
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    std::memcpy(info, &h, sizeof h);

    // The output DIB: its colour table and how the bitmap's values reach it.
    // Where the bitmap's values are already right they are copied as they are:
    // 8-bit device pixels index the system palette, which becomes the table.
    Surface view;
    BYTE *table = reinterpret_cast<BYTE *>(info) + h.biSize;
    const unsigned entries = bpp <= 8 ? 1u << bpp : 0;
    if (bpp > 8) {
        view.colors = ColorKind::Rgb;
    } else if (usage == DIB_PAL_COLORS) {
        view.colors = ColorKind::PalIndex;
        for (unsigned i = 0; i < entries; i++) {
            const WORD index = static_cast<WORD>(i);
            std::memcpy(table + 2 * i, &index, sizeof index);
        }
        view.indices = table;
        view.indexCount = entries;
    } else {
        auto *colors = reinterpret_cast<RGBQUAD *>(table);
        if (b->dibSection && srcBpp == bpp) {
            view.colors = ColorKind::Table;
            std::copy(s.table, s.table + s.tableSize, colors);
        } else if (bpp == 1) {
            view.colors = s.colors == ColorKind::Mono ? ColorKind::Mono : ColorKind::Table;
            colors[0] = RGBQUAD{0, 0, 0, 0};
            colors[1] = RGBQUAD{255, 255, 255, 0};
        } else {
            view.colors = ColorKind::Device;
            for (unsigned i = 0; i < entries; i++) {
                const PALETTEENTRY &e = state().display.system[i];
                colors[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
            }
        }
        view.table = colors;
        view.tableSize = entries;
    }
    if (!bits) return s.height;

    if (start >= static_cast<UINT>(s.height)) return 0;
    const int n = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(s.height) - start));
    if (n == 0) return 0;
    const ColorKind colors = view.colors;
    viewDib(view, bits, s.width, topDown ? -n : n, bpp, colors);
    const int top = topDown ? static_cast<int>(start) : s.height - static_cast<int>(start) - n;
    const Translation tr(sideOf(*dc, s), sideOf(*dc, view));
    RasterSource src;
    clipAxis(Span{0, s.width}, Span{0, s.width}, false, s.width, s.width, src.columns);
    clipAxis(Span{0, n}, Span{top, n}, false, n, s.height, src.rows);
    src.surface = &s;
    src.translation = &tr;
    rasterOp(view, src.rect(), &src, 0, SRCCOPY);
    return n;
}
