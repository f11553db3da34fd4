// 32 bits per pixel: little-endian 0x00RRGGBB (bytes blue, green, red, 0).
// Rows of DIBs are reached through memcpy: callers' DIB memory need not be
// 32-bit aligned.
#include "gdi/surface.h"

#include <cstring>

namespace vek::gdi {
namespace {

void read32(const Surface &s, int x, int y, int n, uint32_t *out)
{
    std::memcpy(out, s.row(y) + 4 * static_cast<size_t>(x), 4 * static_cast<size_t>(n));
    for (int i = 0; i < n; i++) out[i] &= 0x00FFFFFF;
}

void write32(Surface &s, int x, int y, int n, const uint32_t *in)
{
    BYTE *p = s.row(y) + 4 * static_cast<size_t>(x);
    for (int i = 0; i < n; i++) {
        uint32_t v = in[i] & 0x00FFFFFF;
        std::memcpy(p + 4 * static_cast<size_t>(i), &v, 4);
    }
}

void fill32(Surface &s, int x, int y, int n, uint32_t value)
{
    BYTE *p = s.row(y) + 4 * static_cast<size_t>(x);
    value &= 0x00FFFFFF;
    for (int i = 0; i < n; i++) std::memcpy(p + 4 * static_cast<size_t>(i), &value, 4);
}

}  // namespace

const PixelFormat kFormat32 = {32, read32, write32, fill32};

}  // namespace vek::gdi
