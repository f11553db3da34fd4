// Bitmaps: device-dependent bitmaps (monochrome and display format) and
// DIB sections, whose pixels the caller reaches through a pointer.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/bitmap.h"
#include "gdi/color.h"
#include "gdi/dib_info.h"
#include "gdi/display.h"
#include "gdi/objects.h"

namespace vek::gdi {
namespace {

HBITMAP addBitmap(std::shared_ptr<Surface> surface)
{
    auto b = std::make_unique<Bitmap>();
    b->surface = std::move(surface);
    return toHandle<HBITMAP>(addObject(std::move(b)));
}

HBITMAP defaultBitmap() { return toHandle<HBITMAP>(state().defaultBitmap); }

// A DIB section of the given layout; its colour table has 2^bpp entries,
// those beyond the given ones black.
HBITMAP addDibSection(int width, int height, int bpp, const std::vector<RGBQUAD> &table, const BITMAPINFOHEADER &h,
                      void **bits)
{
    auto s = makeDib(width, height, bpp, bpp <= 8 ? ColorKind::Table : ColorKind::Rgb);
    if (!s) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    if (bpp <= 8) {
        std::vector<RGBQUAD> colors(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
        std::copy_n(table.begin(), std::min(table.size(), colors.size()), colors.begin());
        s->ownColors(std::move(colors));
    }
    auto b = std::make_unique<Bitmap>();
    b->dibSection = true;
    b->header = h;
    b->header.biSize = sizeof(BITMAPINFOHEADER);
    b->header.biWidth = width;
    b->header.biHeight = s->height;
    b->header.biPlanes = 1;
    b->header.biBitCount = static_cast<WORD>(bpp);
    b->header.biCompression = BI_RGB;
    b->header.biSizeImage = static_cast<DWORD>(s->stride * static_cast<size_t>(s->height));
    b->header.biClrUsed = bpp <= 8 ? 1u << bpp : 0;
    b->header.biClrImportant = 0;
    BYTE *memory = s->storage.data();
    b->surface = std::move(s);
    uint32_t handle = addObject(std::move(b));
    if (bits) *bits = handle ? memory : nullptr;
    return toHandle<HBITMAP>(handle);
}

}  // namespace

HBITMAP compatibleBitmap(const DC &dc, int width, int height)
{
    if (dc.kind == DCKind::Memory) {
        const Bitmap &held = *findValue<Bitmap>(dc.bitmap);
        const Surface &s = *held.surface;
        if (held.dibSection) {
            BITMAPINFOHEADER h = held.header;
            h.biWidth = width;
            h.biHeight = height;
            return addDibSection(width, s.pitch < 0 ? height : -height, s.bitsPerPixel(), s.ownTable, h, nullptr);
        }
        auto surface = makeDdb(width, height, *s.format, s.colors);
        return surface ? addBitmap(std::move(surface)) : fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    }
    auto surface = makeDisplaySurface(width, height);
    return surface ? addBitmap(std::move(surface)) : fail(ERROR_INVALID_PARAMETER, HBITMAP{});
}

}  // namespace vek::gdi

using namespace vek::gdi;

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void *bits)
{
    VEKHOST_CALL(Channel::gdi, width, height, planes, bitsPerPixel, bits);
    Lock lock;
    if (planes != 1) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    // A depth of the display's takes its format; 8 bits hold system palette
    // indices on any display.
    const Display &d = state().display;
    const int bpp = static_cast<int>(bitsPerPixel);
    const PixelFormat *format = bpp == d.bitsPerPixel ? d.format : formatFor(bpp);
    if (!format) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    const ColorKind colors = bpp == 1 ? ColorKind::Mono : bpp == 8 ? ColorKind::Device : ColorKind::Rgb;
    // Negative sizes count as their magnitude; an empty bitmap is the shared
    // 1 x 1 monochrome one.
    if (width == INT32_MIN || height == INT32_MIN) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    width = width < 0 ? -width : width;
    height = height < 0 ? -height : height;
    if (!width || !height) return defaultBitmap();
    auto s = makeDdb(width, height, *format, colors);
    if (!s) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    if (bits) std::memcpy(s->storage.data(), bits, s->storage.size());
    return addBitmap(std::move(s));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    VEKHOST_CALL(Channel::gdi, hdc, width, height);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    if (width < 0 || height < 0) return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    if (!width || !height) return defaultBitmap();
    return compatibleBitmap(*dc, width, height);
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                DWORD offset)
{
    VEKHOST_CALL(Channel::gdi, hdc, info, usage, bits, section, offset);
    Lock lock;
    if (bits) *bits = nullptr;
    DibInfo dib;
    if (section || offset || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !readDibInfo(info, dib) ||
        dib.compression != BI_RGB)
        return fail(ERROR_INVALID_PARAMETER, HBITMAP{});
    DC *dc = find<DC>(hdc);
    if (hdc && !dc) return fail(ERROR_INVALID_HANDLE, HBITMAP{});

    // The colour table becomes RGB colours now: palette indices go through
    // the palette selected in the DC at this moment.
    std::vector<RGBQUAD> table;
    if (dib.bitsPerPixel <= 8) {
        Surface view;
        readColorTable(info, dib, usage, view);
        const Palette &pal = dc ? dcPalette(*dc) : *findValue<Palette>(state().stock[DEFAULT_PALETTE]);
        const Side side{view, pal};
        for (unsigned i = 0; i < dib.colors; i++) {
            COLORREF c = colorOfRaw(side, i);
            table.push_back(RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0});
        }
    }
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    return addDibSection(dib.width, dib.height, dib.bitsPerPixel, table, h, bits);
}
