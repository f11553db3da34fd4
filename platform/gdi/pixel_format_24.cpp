// 24 bits per pixel: three bytes a pixel, blue, green, red.
#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

struct Bits24 {
    static constexpr int kBytes = 3;
    static uint32_t pack(uint32_t raw) { return raw & 0x00FFFFFF; }
    static uint32_t unpack(uint32_t bits) { return bits; }
};

}  // namespace

const PixelFormat kFormat24 = formatOf<Bits24>();

}  // namespace vek::gdi
