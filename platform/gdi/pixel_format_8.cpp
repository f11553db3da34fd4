// 8 bits per pixel: one index a byte.
#include "gdi/surface.h"

#include <cstring>

namespace vek::gdi {
namespace {

void read8(const Surface &s, int x, int y, int n, uint32_t *out)
{
    const BYTE *p = s.row(y) + x;
    for (int i = 0; i < n; i++) out[i] = p[i];
}

void write8(Surface &s, int x, int y, int n, const uint32_t *in)
{
    BYTE *p = s.row(y) + x;
    for (int i = 0; i < n; i++) p[i] = static_cast<BYTE>(in[i]);
}

void fill8(Surface &s, int x, int y, int n, uint32_t value)
{
    std::memset(s.row(y) + x, static_cast<BYTE>(value), static_cast<size_t>(n));
}

}  // namespace

const PixelFormat kFormat8 = {8, read8, write8, fill8};

}  // namespace vek::gdi
