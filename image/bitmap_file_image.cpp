// Checks of bitmap file images held in memory.
//
// A bitmap file image is what a .bmp file holds:
//
//   0    BITMAPFILEHEADER  14 bytes; bfOffBits (u32 at 10) is where the
//                          pixels start, counted from byte 0
//   14   BITMAPINFOHEADER  biSize bytes (40 or a later, longer version)
//        colour masks      three u32 after a 40-byte header with BI_BITFIELDS
//        colour table      biClrUsed RGBQUADs, or 2^biBitCount when 0
//                          (up to 8 bits per pixel)
//   bfOffBits  pixels      rows padded to 4 bytes, or RLE data of
//                          biSizeImage bytes
#include "image/bitmap_file_image.h"

#include <cstdint>

#include "common/le.h"

namespace vek {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;

bool knownDepth(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

}  // namespace

bool readBitmapFileImage(const BYTE *image, SIZE_T size, BitmapFileImage &out)
{
    if (!image || size < kFileHeader + kInfoHeader) return false;
    const uint32_t headerSize = u32(image, 14);
    const int32_t width = i32(image, 18);
    const int32_t height = i32(image, 22);
    const uint32_t bits = u16(image, 28);
    const uint32_t compression = u32(image, 30);
    if (headerSize < kInfoHeader || headerSize > size - kFileHeader) return false;
    if (u16(image, 26) != 1 || !knownDepth(bits) || width < 1 || height == 0 || height == INT32_MIN) return false;

    uint64_t tableStart = kFileHeader + headerSize;
    switch (compression) {
    case BI_RGB: break;
    case BI_RLE8:
    case BI_RLE4:
        // Run-length images are stored bottom-up only.
        if (bits != (compression == BI_RLE8 ? 8u : 4u) || height < 0) return false;
        break;
    case BI_BITFIELDS:
        if (bits != 16 && bits != 32) return false;
        if (headerSize == kInfoHeader) tableStart += 12;
        break;
    default: return false;
    }
    uint64_t colors = 0;
    if (bits <= 8) {
        const uint32_t used = u32(image, 46);
        if (used > (1u << bits)) return false;
        colors = used ? used : 1u << bits;
    }
    if (tableStart + colors * 4 > size) return false;

    const uint64_t offset = u32(image, 10);
    const uint64_t rows = height < 0 ? -int64_t{height} : height;
    const uint64_t pixelBytes = compression == BI_RLE8 || compression == BI_RLE4
                                    ? u32(image, 34)
                                    : (uint64_t{static_cast<uint32_t>(width)} * bits + 31) / 32 * 4 * rows;
    if (offset > size || pixelBytes > size - offset) return false;
    if (pixelBytes == 0) return false;  // a run-length image without data
    out.info = reinterpret_cast<const BITMAPINFO *>(image + kFileHeader);
    out.pixels = image + offset;
    return true;
}

}  // namespace vek
