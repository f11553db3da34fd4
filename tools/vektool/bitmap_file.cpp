#include "bitmap_file.h"

#include "failure.h"
#include "png_io.h"

#include "common/le.h"

#include <algorithm>

namespace vektool {
namespace {

constexpr size_t kFileHeader = 14, kInfoHeader = 40;

uint64_t strideOf(int32_t width, unsigned bits) { return (uint64_t(width) * bits + 31) / 32 * 4; }

}  // namespace

BitmapHeader readBitmapHeader(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    const uint8_t *b = bytes.data();
    if (bytes.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        throw Failure(shownAs, "not a bitmap file");
    const uint32_t infoSize = vek::u32(b, 14);
    if (infoSize < kInfoHeader || infoSize > bytes.size() - kFileHeader)
        throw Failure(shownAs, "damaged bitmap file: bad header size");
    BitmapHeader h;
    h.width = vek::i32(b, 18);
    h.height = vek::i32(b, 22);
    h.bitCount = vek::u16(b, 28);
    h.compression = vek::u32(b, 30);
    h.pixelOffset = vek::u32(b, 10);
    const uint32_t used = vek::u32(b, 46);
    if (h.bitCount <= 8 && used > (1u << h.bitCount)) throw Failure(shownAs, "damaged bitmap file: bad colour count");
    h.colours = h.bitCount <= 8 ? (used ? used : 1u << h.bitCount) : used;
    const uint64_t tableEnd = kFileHeader + uint64_t{infoSize} + (h.bitCount <= 8 ? 4ull * h.colours : 0);
    if (tableEnd > bytes.size()) throw Failure(shownAs, "damaged bitmap file: the colour table is cut short");
    if (h.pixelOffset > bytes.size()) throw Failure(shownAs, "damaged bitmap file: the pixels lie past its end");
    return h;
}

Picture readBitmapFile(const std::vector<uint8_t> &bytes, const std::string &shownAs)
{
    const BitmapHeader h = readBitmapHeader(bytes, shownAs);
    const uint8_t *b = bytes.data();
    if (h.compression != 0) throw Failure(shownAs, "compressed bitmap files are not read");
    if (vek::u16(b, 26) != 1 || (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24 &&
                                 h.bitCount != 32))
        throw Failure(shownAs, "bitmap files of " + std::to_string(h.bitCount) + " bits per pixel are not read");
    const bool topFirst = h.height < 0;
    const int64_t height = topFirst ? -int64_t{h.height} : h.height;
    if (h.width < 1 || h.width > kMaxSide || height < 1 || height > kMaxSide ||
        uint64_t(h.width) * uint64_t(height) > kMaxPixels)
        throw Failure(shownAs, "bad size " + std::to_string(h.width) + " x " + std::to_string(h.height));
    const uint64_t stride = strideOf(h.width, h.bitCount);
    if (h.pixelOffset + stride * uint64_t(height) > bytes.size())
        throw Failure(shownAs, "damaged bitmap file: the pixels are cut short");

    Picture p;
    p.width = h.width;
    p.height = static_cast<int>(height);
    p.indexed = h.bitCount <= 8;
    p.paletteAlpha.fill(255);
    const size_t table = kFileHeader + vek::u32(b, 14);
    if (p.indexed)
        for (unsigned i = 0; i < h.colours; i++)
            p.palette[i] = Rgb{b[table + 4 * i + 2], b[table + 4 * i + 1], b[table + 4 * i]};
    const size_t side = p.indexed ? 1 : 4;
    p.pixels.resize(p.count() * side);
    for (int y = 0; y < p.height; y++) {
        const uint8_t *row = b + h.pixelOffset + stride * static_cast<uint64_t>(topFirst ? y : p.height - 1 - y);
        uint8_t *out = p.pixels.data() + static_cast<size_t>(y) * p.width * side;
        for (int x = 0; x < p.width; x++) {
            if (h.bitCount <= 8) {
                const unsigned bit = static_cast<unsigned>(x) * h.bitCount;
                const unsigned shift = 8 - h.bitCount - bit % 8;
                out[x] = static_cast<uint8_t>(row[bit / 8] >> shift & ((1u << h.bitCount) - 1));
            } else {
                const uint8_t *px = row + static_cast<size_t>(x) * (h.bitCount / 8);
                uint8_t *o = out + 4 * static_cast<size_t>(x);
                o[0] = px[2];
                o[1] = px[1];
                o[2] = px[0];
                o[3] = 255;  // the fourth byte of 32-bit pixels is reserved
            }
        }
    }
    return p;
}

std::vector<uint8_t> bitmapFileOf(const Picture &p)
{
    const size_t stride = static_cast<size_t>(strideOf(p.width, 8));
    const uint32_t offset = kFileHeader + kInfoHeader + 1024;
    std::vector<uint8_t> f(offset + stride * static_cast<size_t>(p.height));
    f[0] = 'B';
    f[1] = 'M';
    vek::put32(f.data(), 2, static_cast<uint32_t>(f.size()));
    vek::put32(f.data(), 10, offset);
    vek::put32(f.data(), 14, kInfoHeader);
    vek::put32(f.data(), 18, static_cast<uint32_t>(p.width));
    vek::put32(f.data(), 22, static_cast<uint32_t>(p.height));
    vek::put16(f.data(), 26, 1);
    vek::put16(f.data(), 28, 8);
    vek::put32(f.data(), 34, static_cast<uint32_t>(f.size() - offset));
    vek::put32(f.data(), 38, 3780);  // 96 pixels per inch
    vek::put32(f.data(), 42, 3780);
    vek::put32(f.data(), 46, 256);
    for (int i = 0; i < 256; i++) {
        f[54 + 4 * i] = p.palette[i].b;
        f[54 + 4 * i + 1] = p.palette[i].g;
        f[54 + 4 * i + 2] = p.palette[i].r;
    }
    for (int y = 0; y < p.height; y++)
        std::copy_n(p.pixels.begin() + static_cast<ptrdiff_t>(y) * p.width, p.width,
                    f.begin() + offset + static_cast<ptrdiff_t>(stride) * (p.height - 1 - y));
    return f;
}

}  // namespace vektool
