// 8 bits per pixel: one index a byte.
#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

struct Bits8 {
    static constexpr int kBytes = 1;
    static uint32_t pack(uint32_t raw) { return raw & 0xFF; }
    static uint32_t unpack(uint32_t bits) { return bits; }
};

}  // namespace

const PixelFormat kFormat8 = formatOf<Bits8>();

}  // namespace vek::gdi
