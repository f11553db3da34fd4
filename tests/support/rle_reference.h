// The tests' one reference decoder of the sprite run-length stream, written
// the plain way (token by token, pixel by pixel, every bound tested), and
// the reference blit built on it.
#pragma once

#include "support/images.h"

#include <cstdint>
#include <vector>

namespace support {

constexpr int kClear = -1;  // a pixel no token draws

struct Span {
    int64_t start, length;
};

struct Decoded {
    LONG width = 0, height = 0;
    std::vector<int> pixels;  // top row first
    // Cut short (a token runs past the stream's end) before height rows,
    // in row damagedRow counted from the bottom.
    bool damaged = false;
    LONG damagedRow = 0;
    // Written as an encoder must: height rows, every row holding pixels
    // starting with a skip, no token reaching past the width, an end of
    // image right at the stream's end.
    bool wellFormed = true;
    std::vector<std::vector<Span>> spans;  // each row's runs, bottom row first
    int at(LONG x, LONG y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes length bytes of stream: pixels beyond the width are dropped, rows
// beyond the height are read but not drawn.
inline Decoded decodeRle(const BYTE *stream, size_t length, LONG width, LONG height)
{
    Decoded out;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * (height > 0 ? height : 0), kClear);
    out.spans.emplace_back();
    size_t p = 0;
    LONG row = 0;
    int64_t x = 0;
    bool rowStart = true, ended = false;
    auto put = [&](int colour) {
        if (row < height && x < width) out.pixels[static_cast<size_t>(height - 1 - row) * width + x] = colour;
        x++;
    };
    while (length - p >= 2) {
        const BYTE n = stream[p], c = stream[p + 1];
        if (rowStart && !(n == 0 && c <= 2)) out.wellFormed = false;
        rowStart = false;
        if (n) {
            out.spans.back().push_back({x, n});
            out.wellFormed &= row < height;
            for (int i = 0; i < n; i++) put(c);
            p += 2;
        } else if (c == 0) {
            row++;
            x = 0;
            p += 2;
            rowStart = true;
            out.spans.emplace_back();
        } else if (c == 1) {
            ended = true;
            p += 2;
            break;
        } else if (c == 2) {
            if (length - p < 4) break;
            x += stream[p + 2];
            p += 4;
        } else {
            const size_t bytes = 2 + c + (c & 1);
            if (length - p < bytes) break;
            out.spans.back().push_back({x, c});
            out.wellFormed &= row < height;
            for (int i = 0; i < c; i++) put(stream[p + 2 + i]);
            p += bytes;
        }
        out.wellFormed &= x <= width;
    }
    out.wellFormed &= ended && p == length && (row == height || (height <= 0 && row == 0));
    if (!ended && row < height) {
        out.damaged = true;
        out.damagedRow = row;
    }
    return out;
}

// Decodes the stream of an RLE record, bounded by its image length.
inline Decoded decodeRecord(const BYTE *r)
{
    const size_t start = 4 + get32(r, kPixelOffset), end = 4 + get32(r, 0);
    return decodeRle(r + start, end - start, static_cast<LONG>(get32(r, kWidth)), static_cast<LONG>(get32(r, kHeight)));
}

// The pixels of a raw record, all opaque.
inline Decoded decodeRaw(const BYTE *r)
{
    Decoded out;
    out.width = static_cast<LONG>(get32(r, kWidth));
    out.height = static_cast<LONG>(get32(r, kHeight));
    for (LONG y = 0; y < out.height; y++)
        for (LONG x = 0; x < out.width; x++) out.pixels.push_back(*rawPixel(r, x, y));
    return out;
}

inline Decoded decodeAny(const BYTE *r)
{
    return get32(r, kCompression) == BI_RLE8 ? decodeRecord(r) : decodeRaw(r);
}

// The same image mirrored left to right.
inline Decoded mirrored(const Decoded &d)
{
    Decoded m = d;
    for (LONG y = 0; y < d.height; y++)
        for (LONG x = 0; x < d.width; x++) m.pixels[static_cast<size_t>(y) * d.width + x] = d.at(d.width - 1 - x, y);
    return m;
}

// What a blit of the decoded image src does to dst, the bytes of a raw
// record's block: every drawn pixel (u, v) inside the requested rectangle
// and inside src lands at (x + u - srcX, y + v - srcY) if that lies inside
// dst. Returns the blit's result: 1 when no pixel of the rectangle lies in
// both images, else the number of rows that do, or 0 when the stream was
// cut short in a row the blit has to read.
inline LONG referenceBlit(Bytes &dst, const Decoded &src, const Rect &r)
{
    const int64_t dstWidth = static_cast<LONG>(get32(dst.data(), kWidth));
    const int64_t dstHeight = static_cast<LONG>(get32(dst.data(), kHeight));
    const size_t pixels = 4 + get32(dst.data(), kPixelOffset), stride = strideOf(static_cast<LONG>(dstWidth));
    const int64_t dx = int64_t{r.x} - r.srcX, dy = int64_t{r.y} - r.srcY;
    const int64_t u0 = std::max({int64_t{r.srcX}, int64_t{0}, -dx});
    const int64_t u1 = std::min({int64_t{r.srcX} + r.width, int64_t{src.width}, dstWidth - dx});
    const int64_t v0 = std::max({int64_t{r.srcY}, int64_t{0}, -dy});
    const int64_t v1 = std::min({int64_t{r.srcY} + r.height, int64_t{src.height}, dstHeight - dy});
    if (u0 >= u1 || v0 >= v1) return 1;
    for (int64_t v = v0; v < v1; v++)
        for (int64_t u = u0; u < u1; u++) {
            const int colour = src.at(static_cast<LONG>(u), static_cast<LONG>(v));
            if (colour != kClear)
                dst[pixels + static_cast<size_t>(dstHeight - 1 - (v + dy)) * stride + static_cast<size_t>(u + dx)] =
                    static_cast<BYTE>(colour);
        }
    // The blit reads source rows bottom up to the top row of the rectangle.
    if (src.damaged && src.damagedRow <= src.height - 1 - v0) return 0;
    return static_cast<LONG>(v1 - v0);
}

}  // namespace support
