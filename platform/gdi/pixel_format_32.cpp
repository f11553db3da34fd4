// 32 bits per pixel: little-endian 0x00RRGGBB (bytes blue, green, red, 0).
// Pixels are reached through memcpy: callers' DIB memory need not be 32-bit
// aligned.
#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

struct Bits32 {
    using Unit = uint32_t;
    static constexpr int kBytes = 4;
    static uint32_t pack(uint32_t raw) { return raw & 0x00FFFFFF; }
    static uint32_t unpack(uint32_t bits) { return bits & 0x00FFFFFF; }
};

}  // namespace

const PixelFormat kFormat32 = formatOf<Bits32>();

}  // namespace vek::gdi
