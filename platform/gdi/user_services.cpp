// GDI services for the window manager.
#include "gdi/user_services.h"

#include "gdi/color.h"
#include "gdi/dc.h"
#include "gdi/display.h"
#include "gdi/objects.h"

namespace vek::gdi {

std::shared_ptr<Surface> createWindowSurface(int width, int height)
{
    Lock lock;
    auto s = makeDisplaySurface(width, height);
    if (s) state().windowSurfaces++;
    return s;
}

void destroyWindowSurface()
{
    Lock lock;
    state().windowSurfaces--;
}

bool resizeWindowSurface(Surface &s, int width, int height)
{
    Lock lock;
    return resizeDdb(s, width, height);
}

HDC createWindowDC(HWND window, const std::shared_ptr<Surface> &surface)
{
    Lock lock;
    if (!window) return toHandle<HDC>(newDC(DCKind::Screen, 0, screenSurface()));
    return toHandle<HDC>(newDC(DCKind::Window, reinterpret_cast<uintptr_t>(window), surface));
}

bool releaseWindowDC(HWND window, HDC hdc)
{
    Lock lock;
    DC *dc = find<DC>(hdc);
    if (!dc || dc->kind == DCKind::Memory || dc->window != reinterpret_cast<uintptr_t>(window)) return false;
    deleteDC(handleValue(hdc), *dc);
    return true;
}

std::vector<BYTE> surfaceRgb(const Surface &s, int &width, int &height)
{
    Lock lock;
    width = s.width;
    height = s.height;
    if (!width || !height) return {};
    std::vector<BYTE> rgb(static_cast<size_t>(s.width) * static_cast<size_t>(s.height) * 3);
    std::vector<uint32_t> row(static_cast<size_t>(s.width));
    const Palette &pal = *findValue<Palette>(state().stock[DEFAULT_PALETTE]);
    const Side side{s, pal};
    BYTE *out = rgb.data();
    for (int y = 0; y < s.height; y++) {
        s.format->readRow(s, 0, y, s.width, row.data());
        for (uint32_t v : row) {
            COLORREF c = colorOfRaw(side, v);
            *out++ = GetRValue(c);
            *out++ = GetGValue(c);
            *out++ = GetBValue(c);
        }
    }
    return rgb;
}

SIZE displaySize()
{
    Lock lock;
    return SIZE{state().display.width, state().display.height};
}

HBRUSH makeSystemBrush(COLORREF color)
{
    Lock lock;
    auto b = std::make_unique<Brush>();
    b->color = color;
    b->stock = true;
    return toHandle<HBRUSH>(addObject(std::move(b)));
}

}  // namespace vek::gdi
