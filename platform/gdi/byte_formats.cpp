// The pixel formats of whole bytes per pixel, each a codec of its stored
// bits for the templates of rect_primitives.h. Multi-byte pixels are
// little-endian and reached through memcpy: callers' DIB memory need not be
// aligned.
//
//   8 bits    one index a byte
//   16 bits   words of red, green and blue fields from the high bits down:
//             5-5-5 (the top bit unused; BI_RGB DIBs and 15-bit displays)
//             and 5-6-5 (16-bit displays)
//   24 bits   three bytes a pixel: blue, green, red
//   32 bits   0x00RRGGBB (bytes blue, green, red, 0)
//
// A 16-bit field keeps the high bits of its 8-bit component; read back, the
// bits are repeated below themselves (5 bits abcde become abcdeabc, 6 bits
// abcdef become abcdefab), so that 0 and full intensity come back exactly,
// as Windows reads them.
#include "gdi/rect_primitives.h"

namespace vek::gdi {
namespace {

struct Bits8 {
    static constexpr int kBytes = 1;
    static uint32_t pack(uint32_t raw) { return raw & 0xFF; }
    static uint32_t unpack(uint32_t bits) { return bits; }
};

template <int RedBits, int GreenBits, int BlueBits>
struct Bits16 {
    using Unit = uint16_t;
    static constexpr int kBytes = 2;
    static constexpr int kGreenShift = BlueBits, kRedShift = BlueBits + GreenBits;

    // The high bits of the 8-bit component at `at` in a raw value.
    static uint32_t field(uint32_t raw, int at, int bits) { return ((raw >> at) & 0xFF) >> (8 - bits); }
    static uint32_t widen(uint32_t field, int bits)
    {
        const uint32_t high = field << (8 - bits);
        return high | (high >> bits);
    }

    static uint32_t pack(uint32_t raw)
    {
        return (field(raw, 16, RedBits) << kRedShift) | (field(raw, 8, GreenBits) << kGreenShift) |
               field(raw, 0, BlueBits);
    }
    static uint32_t unpack(uint32_t bits)
    {
        const uint32_t r = (bits >> kRedShift) & ((1u << RedBits) - 1);
        const uint32_t g = (bits >> kGreenShift) & ((1u << GreenBits) - 1);
        const uint32_t b = bits & ((1u << BlueBits) - 1);
        return (widen(r, RedBits) << 16) | (widen(g, GreenBits) << 8) | widen(b, BlueBits);
    }
};

struct Bits24 {
    static constexpr int kBytes = 3;
    static uint32_t pack(uint32_t raw) { return raw & 0x00FFFFFF; }
    static uint32_t unpack(uint32_t bits) { return bits; }
};

struct Bits32 {
    using Unit = uint32_t;
    static constexpr int kBytes = 4;
    static uint32_t pack(uint32_t raw) { return raw & 0x00FFFFFF; }
    static uint32_t unpack(uint32_t bits) { return bits & 0x00FFFFFF; }
};

}  // namespace

const PixelFormat kFormat8 = formatOf<Bits8>();
const PixelFormat kFormat555 = formatOf<Bits16<5, 5, 5>>();
const PixelFormat kFormat565 = formatOf<Bits16<5, 6, 5>>();
const PixelFormat kFormat24 = formatOf<Bits24>();
const PixelFormat kFormat32 = formatOf<Bits32>();

}  // namespace vek::gdi
