// Four-bit images: records of at most 16 colours with two pixels a byte.
//
// A four-bit image block has the shape of a sprite image record:
//
//   0    u32 size field: block length - 4, the block being 122 + rows * S4
//   4    file header, all 0 but bfOffBits (byte 14) = 118
//   18   the record's BITMAPINFOHEADER with biBitCount 4 and biSizeImage 0
//   58   64 zero bytes (room for a 16-entry colour table that stays empty:
//        the colours travel beside the block, in a list)
//   122  the rows, in the record's order, S4 = ((width + 1) / 2 rounded up
//        to 4) bytes each. Byte x / 2 holds pixel x in its high nibble and
//        pixel x + 1 in its low one; a nibble is the position of the pixel's
//        colour in the colour list. For an odd width the last low nibble
//        repeats the last pixel. Padding bytes are 0.
//
// Colours enter the list in the order they are first met, row by row, the
// left pixel of a pair before the right one.
#include "objfile/four_bit_image.h"

#include <cstdint>
#include <cstring>

#include "common/memory.h"
#include "record/di_record.h"
#include "record/layout.h"

namespace {

constexpr DWORD kFourBitHeader = 122;
constexpr DWORD kLongOffBits = 1078;  // pixels behind 1024 bytes of colour table
constexpr DWORD kShortOffBits = 566;  // pixels behind 512 bytes of colour table
constexpr DWORD kGrowth = kLongOffBits - kShortOffBits;

// The rows of an image as the loops walk them: none for a height or width of
// 0 or less.
struct Geometry {
    uint64_t width, rows, s8, s4;
};

Geometry geometryOf(const BYTE *info)
{
    const int32_t width = vek::i32(info, vek::rec::kWidth), height = vek::i32(info, vek::rec::kHeight);
    Geometry g{};
    // Rows without pixels are no rows: the loops never count through them.
    g.width = width > 0 ? static_cast<uint64_t>(width) : 0;
    g.rows = height > 0 && width > 0 ? static_cast<uint64_t>(height) : 0;
    g.s8 = (g.width + 3) & ~uint64_t{3};
    g.s4 = ((g.width + 1) / 2 + 3) & ~uint64_t{3};
    return g;
}

// Reallocates a locked block to size bytes (new bytes zero) and locks it
// again; null with the block as it was when that fails.
BYTE *reallocLocked(BYTE *block, SIZE_T size)
{
    HGLOBAL mem = GlobalHandle(block);
    GlobalUnlock(mem);
    HGLOBAL grown = GlobalReAlloc(mem, size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (!grown) {
        GlobalLock(mem);
        return nullptr;
    }
    return static_cast<BYTE *>(GlobalLock(grown));
}

}  // namespace

namespace vek {

bool MakeFourBitImage(const BYTE *record, DWORD total, FourBitImage &out)
{
    const Geometry g = geometryOf(record);
    const uint64_t first = 4 + uint64_t{u32(record, rec::kPixelOffset)};
    if (total < 58 || first + g.rows * g.s8 > total) return false;
    const uint64_t length = kFourBitHeader + g.rows * g.s4;
    auto *block = static_cast<BYTE *>(allocLocked(static_cast<SIZE_T>(length)));
    if (!block) return false;
    put32(block, rec::kLength, static_cast<uint32_t>(length - 4));
    put32(block, rec::kPixelOffset, kFourBitHeader - 4);
    std::memcpy(block + rec::kInfo, record + rec::kInfo, 40);
    put16(block, rec::kBitCount, 4);
    put32(block, rec::kSizeImage, 0);

    // value[c]: the four-bit value of colour c, 0xFF until it is met.
    BYTE value[256];
    std::memset(value, 0xFF, sizeof value);
    unsigned count = 0;
    auto valueOf = [&](BYTE c) -> int {
        if (value[c] == 0xFF) {
            if (count == 16) return -1;
            out.colours[count] = c;
            value[c] = static_cast<BYTE>(count++);
        }
        return value[c];
    };
    std::memset(out.colours, 0, sizeof out.colours);
    const BYTE *src = record + first;
    BYTE *dst = block + kFourBitHeader;
    for (uint64_t y = 0; y < g.rows; y++, src += g.s8, dst += g.s4) {
        for (uint64_t x = 0; x < g.width; x += 2) {
            const int left = valueOf(src[x]);
            const int right = valueOf(x + 1 < g.width ? src[x + 1] : src[x]);
            if (left < 0 || right < 0) {
                freeLocked(block);
                return false;
            }
            dst[x / 2] = static_cast<BYTE>(left << 4 | right);
        }
    }
    out.count = count;
    if (count == 1) {
        freeLocked(block);
        out.block = nullptr;
        out.length = 0;
    } else {
        out.block = block;
        out.length = static_cast<DWORD>(length);
    }
    return true;
}

BYTE *ExpandFourBitImage(const BYTE *d, DWORD dLength, BYTE *r, DWORD total, const BYTE *colours, unsigned h)
{
    const Geometry g = geometryOf(d);
    const bool nibbles = h >= 22;
    if (nibbles && 4 + uint64_t{u32(d, rec::kPixelOffset)} + g.rows * g.s4 > dLength) return nullptr;
    // Pixels behind the long header; a record too short for them gains 512
    // bytes, or when it cannot, its pixels move 512 bytes forward.
    uint64_t need = 4 + kLongOffBits + g.rows * g.s8;
    if (need > uint64_t{total} + kGrowth) return nullptr;
    DWORD offBits = kLongOffBits;
    if (need > total) {
        if (BYTE *grown = reallocLocked(r, SIZE_T{total} + kGrowth)) {
            r = grown;
            put32(r, rec::kLength, total - 4 + kGrowth);
        } else {
            offBits = kShortOffBits;
            need -= kGrowth;
            if (need > total) return nullptr;
        }
    }
    put32(r, rec::kPixelOffset, offBits);
    std::memcpy(r + rec::kInfo, d + rec::kInfo, 40);
    put16(r, rec::kBitCount, 8);
    put32(r, rec::kSizeImage, 0);

    const BYTE *src = d + 4 + u32(d, rec::kPixelOffset);
    BYTE *dst = r + 4 + offBits;
    for (uint64_t y = 0; y < g.rows; y++, dst += g.s8) {
        if (nibbles) {
            // For an odd width the last low nibble lands in the row's padding.
            for (uint64_t x = 0; x < g.width; x += 2) {
                const BYTE b = src[x / 2];
                dst[x] = colours[b >> 4];
                dst[x + 1] = colours[b & 0x0F];
            }
            src += g.s4;
        } else {
            std::memset(dst, colours[0], static_cast<size_t>(g.s8));
        }
    }
    writeIndexTable(r);
    return r;
}

}  // namespace vek
