// GDI services for the window manager.
#include "gdi/user_services.h"

#include <algorithm>

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

namespace {

// shownPixels with the lock held: every pixel format's rows, read as raw
// values, through one rule per colour kind.
void convertRows(const Surface &s, const RECT &rect, uint32_t *out, ptrdiff_t pitch)
{
    constexpr uint32_t kOpaque = 0xFF000000u;
    uint32_t lut[256];
    const bool device = s.colors == ColorKind::Device;
    if (device) {
        const PALETTEENTRY *sys = state().display.system;
        for (int i = 0; i < 256; i++)
            lut[i] = kOpaque | static_cast<uint32_t>(sys[i].peRed) << 16 | static_cast<uint32_t>(sys[i].peGreen) << 8 |
                     sys[i].peBlue;
    }
    const Palette &pal = *findValue<Palette>(state().stock[DEFAULT_PALETTE]);
    const Side side{s, pal};
    const int width = rect.right - rect.left;
    const int left = std::clamp<int>(rect.left, 0, s.width), right = std::clamp<int>(rect.right, 0, s.width);
    for (int y = rect.top; y < rect.bottom; y++, out += pitch) {
        if (y < 0 || y >= s.height || left >= right) {
            std::fill(out, out + width, kOpaque);
            continue;
        }
        std::fill(out, out + (left - rect.left), kOpaque);
        std::fill(out + (right - rect.left), out + width, kOpaque);
        uint32_t *row = out + (left - rect.left);
        const int n = right - left;
        s.format->readRow(s, left, y, n, row);
        if (device) {
            for (int i = 0; i < n; i++) row[i] = lut[row[i] & 0xFF];
        } else if (s.colors == ColorKind::Rgb) {
            for (int i = 0; i < n; i++) row[i] |= kOpaque;
        } else {
            for (int i = 0; i < n; i++) row[i] = kOpaque | rawOfRgb(colorOfRaw(side, row[i]));
        }
    }
}

}  // namespace

std::vector<BYTE> surfaceRgb(const Surface &s, int &width, int &height)
{
    Lock lock;
    width = s.width;
    height = s.height;
    if (!width || !height) return {};
    std::vector<uint32_t> shown(static_cast<size_t>(s.width) * static_cast<size_t>(s.height));
    convertRows(s, RECT{0, 0, s.width, s.height}, shown.data(), s.width);
    std::vector<BYTE> rgb(shown.size() * 3);
    BYTE *out = rgb.data();
    for (uint32_t v : shown) {
        *out++ = static_cast<BYTE>(v >> 16);
        *out++ = static_cast<BYTE>(v >> 8);
        *out++ = static_cast<BYTE>(v);
    }
    return rgb;
}

void shownPixels(const Surface &s, const RECT &rect, uint32_t *out, ptrdiff_t pitch)
{
    Lock lock;
    convertRows(s, rect, out, pitch);
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
