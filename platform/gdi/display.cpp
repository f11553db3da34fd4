// The display device: mode, system palette and screen surface.
#include "gdi/display.h"

#include <vekhost.h>

namespace vek::gdi {

const PALETTEENTRY kStaticColors[20] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
};

void resetSystemPalette(Display &d)
{
    for (PALETTEENTRY &e : d.system) e = PALETTEENTRY{0, 0, 0, 0};
    for (int i = 0; i < 20; i++) {
        d.system[staticEntry(i)] = kStaticColors[i];
        d.system[staticEntry(i)].peFlags = kSysUsed;
    }
    d.foreground = 0;
    d.lastRealized = 0;
}

std::shared_ptr<Surface> makeDisplaySurface(int width, int height)
{
    const Display &d = state().display;
    return makeDdb(width, height, *d.format, displayColors(d));
}

std::shared_ptr<Surface> screenSurface()
{
    State &st = state();
    const Display &d = st.display;
    if (!st.screen || st.screen->width != d.width || st.screen->height != d.height ||
        st.screen->format != d.format)
        st.screen = makeDisplaySurface(d.width, d.height);
    return st.screen;
}

namespace {

// The pixel format of a display depth; null for depths we do not offer.
const PixelFormat *displayFormat(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 8: return &kFormat8;
    case 15: return &kFormat555;
    case 16: return &kFormat565;
    case 24: return &kFormat24;
    case 32: return &kFormat32;
    default: return nullptr;
    }
}

}  // namespace
}  // namespace vek::gdi

void WINAPI vekhostSetScreen(int width, int height, int bitsPerPixel)
{
    using namespace vek::gdi;
    Lock lock;
    State &st = state();
    if (st.windowSurfaces > 0) return;
    if (width < 1 || height < 1 || width > 16384 || height > 16384) return;
    const PixelFormat *format = displayFormat(bitsPerPixel);
    if (!format) return;
    Display &d = st.display;
    d.width = width;
    d.height = height;
    d.bitsPerPixel = format->bitsPerPixel;
    d.format = format;
    resetSystemPalette(d);
    // Realisations made for the old system palette no longer hold.
    st.objects.forEach([](uint32_t, Object &o) {
        if (o.type == ObjType::Palette && !o.stock) static_cast<Palette &>(o).realized = false;
    });
    st.screen.reset();
}
