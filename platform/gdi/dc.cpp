// Device contexts: memory, window and screen DCs, selection and attributes.
//
// A memory DC draws into the bitmap selected into it (at first the shared
// 1 x 1 monochrome default bitmap); a window DC into the window's client
// surface; the screen DC into the screen surface. Coordinates are device
// pixels of that surface.
#include <windows.h>

#include <algorithm>

#include "gdi/dc.h"
#include "gdi/display.h"
#include "gdi/objects.h"

namespace vek::gdi {

uint32_t newDC(DCKind kind, uintptr_t window, std::shared_ptr<Surface> surface)
{
    State &st = state();
    auto dc = std::make_unique<DC>();
    dc->kind = kind;
    dc->window = window;
    dc->surface = std::move(surface);
    dc->brush = st.stock[WHITE_BRUSH];
    dc->pen = st.stock[BLACK_PEN];
    dc->palette = st.stock[DEFAULT_PALETTE];
    dc->selectedPalette = findValue<Palette>(dc->palette);
    if (kind == DCKind::Memory) {
        dc->bitmap = st.defaultBitmap;
        dc->surface = findValue<Bitmap>(st.defaultBitmap)->surface;
    }
    DC *raw = dc.get();
    uint32_t h = addObject(std::move(dc));
    if (!h) return 0;
    for (uint32_t o : {raw->bitmap, raw->brush, raw->pen, raw->palette}) retain(o);
    return h;
}

void deleteDC(uint32_t h, DC &dc)
{
    if (Bitmap *b = findValue<Bitmap>(dc.bitmap); b && b->selectedInto == h) b->selectedInto = 0;
    const uint32_t held[] = {dc.bitmap, dc.brush, dc.pen, dc.palette};
    state().objects.remove(h);
    for (uint32_t o : held) release(o);
}

namespace {

HGDIOBJ selectBitmap(uint32_t h, DC &dc, uint32_t bh, Bitmap &b)
{
    if (dc.kind != DCKind::Memory) return nullptr;
    if (dc.bitmap == bh) return toHandle<HGDIOBJ>(bh);
    // A bitmap lives in one memory DC at a time (the shared default aside),
    // and a device-dependent colour bitmap only in the display's format.
    if (!b.stock && b.selectedInto) return fail(ERROR_INVALID_HANDLE, HGDIOBJ{});
    const PixelFormat *format = b.surface->format;
    if (!b.dibSection && format != &kFormat1 && format != state().display.format) return nullptr;
    const uint32_t old = dc.bitmap;
    if (Bitmap *ob = findValue<Bitmap>(old); ob && !ob->stock) ob->selectedInto = 0;
    if (!b.stock) b.selectedInto = h;
    retain(bh);
    dc.bitmap = bh;
    dc.surface = b.surface;
    release(old);
    return toHandle<HGDIOBJ>(old);
}

HGDIOBJ swapSelected(uint32_t &slot, uint32_t h)
{
    const uint32_t old = slot;
    retain(h);
    slot = h;
    release(old);
    return toHandle<HGDIOBJ>(old);
}

}  // namespace

}  // namespace vek::gdi

using namespace vek::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    VEKHOST_CALL(Channel::gdi, hdc);
    Lock lock;
    if (hdc && !find<DC>(hdc)) return fail(ERROR_INVALID_HANDLE, HDC{});
    return toHandle<HDC>(newDC(DCKind::Memory, 0, nullptr));
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    VEKHOST_CALL(Channel::gdi, hdc);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE, "no such DC");
    deleteDC(handleValue(hdc), *dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object)
{
    VEKHOST_CALL(Channel::gdi, hdc, object);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, HGDIOBJ{}, "no such DC");
    const uint32_t h = handleValue(object);
    Object *o = state().objects.get(h);
    if (!o) return fail(ERROR_INVALID_HANDLE, HGDIOBJ{});
    switch (o->type) {
    case ObjType::Bitmap: return selectBitmap(handleValue(hdc), *dc, h, static_cast<Bitmap &>(*o));
    case ObjType::Brush: return swapSelected(dc->brush, h);
    case ObjType::Pen: return swapSelected(dc->pen, h);
    case ObjType::Palette:  // palettes go through SelectPalette
    case ObjType::DC: break;
    }
    return fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    VEKHOST_CALL(Channel::gdi, hdc, type);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, HGDIOBJ{}, "no such DC");
    switch (type) {
    case OBJ_BITMAP: return dc->kind == DCKind::Memory ? toHandle<HGDIOBJ>(dc->bitmap) : nullptr;
    case OBJ_BRUSH: return toHandle<HGDIOBJ>(dc->brush);
    case OBJ_PEN: return toHandle<HGDIOBJ>(dc->pen);
    case OBJ_PAL: return toHandle<HGDIOBJ>(dc->palette);
    default: return fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
    }
}

namespace {

COLORREF swapColor(HDC hdc, COLORREF DC::*field, COLORREF color)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, COLORREF{CLR_INVALID}, "no such DC");
    COLORREF old = dc->*field;
    dc->*field = color;
    return old;
}

COLORREF readColor(HDC hdc, COLORREF DC::*field)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, COLORREF{CLR_INVALID}, "no such DC");
    return dc->*field;
}

}  // namespace

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) { return swapColor(hdc, &DC::bkColor, color); }
COLORREF WINAPI GetBkColor(HDC hdc) { return readColor(hdc, &DC::bkColor); }
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) { return swapColor(hdc, &DC::textColor, color); }
COLORREF WINAPI GetTextColor(HDC hdc) { return readColor(hdc, &DC::textColor); }

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous)
{
    VEKHOST_CALL(Channel::gdi, hdc, x, y, previous);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE, "no such DC");
    if (previous) *previous = dc->brushOrigin;
    dc->brushOrigin = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT origin)
{
    VEKHOST_CALL(Channel::gdi, hdc, origin);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE, "no such DC");
    if (!origin) return fail(ERROR_INVALID_PARAMETER, FALSE);
    *origin = dc->brushOrigin;
    return TRUE;
}

int WINAPI SetStretchBltMode(HDC hdc, int mode)
{
    VEKHOST_CALL(Channel::gdi, hdc, mode);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, 0, "no such DC");
    if (mode < BLACKONWHITE || mode > HALFTONE) return fail(ERROR_INVALID_PARAMETER, 0);
    int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int WINAPI GetStretchBltMode(HDC hdc)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    return dc ? dc->stretchMode : fail(ERROR_INVALID_HANDLE, 0);
}

int WINAPI GetClipBox(HDC hdc, LPRECT rect)
{
    VEKHOST_CALL(Channel::gdi, hdc, rect);
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc) return fail(ERROR_INVALID_HANDLE, ERROR, "no such DC");
    if (!rect) return fail(ERROR_INVALID_PARAMETER, ERROR);
    *rect = RECT{0, 0, dc->surface->width, dc->surface->height};
    return dc->surface->width && dc->surface->height ? SIMPLEREGION : NULLREGION;
}

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    Lock lock;
    if (!find<DC>(hdc)) return fail(ERROR_INVALID_HANDLE, 0);
    // Every DC reports the display, memory DCs included.
    const Display &d = state().display;
    const bool palette = paletteDisplay(d);
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return d.width * 254 / 960;  // millimetres at 96 pixels an inch
    case VERTSIZE: return d.height * 254 / 960;
    case HORZRES: return d.width;
    case VERTRES: return d.height;
    case BITSPIXEL: return d.bitsPerPixel;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return palette ? 20 : -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT | RC_STRETCHBLT |
               RC_STRETCHDIB | (palette ? RC_PALETTE : 0);
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return palette ? 256 : 0;
    case NUMRESERVED: return 20;
    // Colour resolution: 6 bits a component through a palette, else the
    // pixel's own bits up to 8 a component (16 for both 16-bit layouts).
    case COLORRES: return palette ? 18 : std::min(d.bitsPerPixel, 24);
    default: return 0;
    }
}
