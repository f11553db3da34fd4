// Helpers of the rasteriser tests: sprite image records built through the
// public API and their bytes, RLE streams written token by token, and a
// deliberately plain reference decoder.
#pragma once

#include <vekkit.h>

#include "support/bytes.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace rt {

using Bytes = std::vector<BYTE>;

// Record byte positions used by the tests.
constexpr size_t kLength = 0, kFlags = 10, kPixelOffset = 14, kWidth = 22, kHeight = 26, kBitCount = 32,
                 kCompression = 34, kSizeImage = 38, kPixels = 572;

using support::get16;
using support::get32;
using support::put16;
using support::put32;

// A record block owned by the test.
class Record {
public:
    Record() = default;
    explicit Record(HSPRITEDATA p) : p_(p) {}
    Record(Record &&o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Record &operator=(Record &&o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Record()
    {
        if (!p_) return;
        HGLOBAL mem = GlobalHandle(p_);
        GlobalUnlock(mem);
        GlobalFree(mem);
    }
    HSPRITEDATA get() const { return p_; }
    operator HSPRITEDATA() const { return p_; }
    size_t blockSize() const { return GlobalSize(GlobalHandle(p_)); }
    Bytes bytes() const { return Bytes(p_, p_ + blockSize()); }
    WORD flags() const { return get16(p_, kFlags); }
    void setFlags(WORD f) { put16(p_, kFlags, f); }

private:
    HSPRITEDATA p_ = nullptr;
};

inline size_t strideOf(LONG width) { return (static_cast<size_t>(width) + 3) & ~size_t{3}; }

// A raw record of the short (vekCreateSpriteDataObject) or long
// (vekCreateSpriteData) layout.
inline Record makeRaw(LONG width, LONG height, bool longTable = false)
{
    return Record(longTable ? vekCreateSpriteData(width, height) : vekCreateSpriteDataObject(width, height));
}

// The pixel at (x, y), y = 0 the top row, of a raw record.
inline BYTE *rawPixel(HSPRITEDATA r, LONG x, LONG y)
{
    const LONG width = static_cast<LONG>(get32(r, kWidth)), height = static_cast<LONG>(get32(r, kHeight));
    return r + 4 + get32(r, kPixelOffset) + static_cast<size_t>(height - 1 - y) * strideOf(width) + x;
}

// An RLE record of width x height holding stream at byte 572. Its image
// length ends the stream after `length` bytes (all of it by default); the
// block is the stream rounded up to four bytes, so a stream whose size is a
// multiple of four ends exactly with the block.
inline Record makeRle(LONG width, LONG height, const Bytes &stream, WORD flags = 0, size_t length = SIZE_MAX)
{
    if (length == SIZE_MAX) length = stream.size();
    Record r(vekCreateSpriteDataObject(static_cast<LONG>(stream.empty() ? 1 : stream.size()), 1));
    BYTE *p = r.get();
    put32(p, kLength, static_cast<DWORD>(kPixels - 4 + length));
    put16(p, kFlags, flags);
    put32(p, kWidth, static_cast<DWORD>(width));
    put32(p, kHeight, static_cast<DWORD>(height));
    put32(p, kCompression, BI_RLE8);
    put32(p, kSizeImage, static_cast<DWORD>(stream.size()));
    std::copy(stream.begin(), stream.end(), p + kPixels);
    return r;
}

// Stream writers.
inline void skip(Bytes &s, unsigned dx, BYTE dy = 0) { s.insert(s.end(), {0, 2, static_cast<BYTE>(dx), dy}); }
inline void run(Bytes &s, unsigned n, BYTE colour) { s.insert(s.end(), {static_cast<BYTE>(n), colour}); }
inline void absolute(Bytes &s, const Bytes &indices, BYTE pad = 0)
{
    s.insert(s.end(), {0, static_cast<BYTE>(indices.size())});
    s.insert(s.end(), indices.begin(), indices.end());
    if (indices.size() & 1) s.push_back(pad);
}
inline void endRow(Bytes &s) { s.insert(s.end(), {0, 0}); }
inline void endImage(Bytes &s) { s.insert(s.end(), {0, 1}); }

// A decoded image: pixels top row first, kClear where nothing is drawn.
constexpr int kClear = -1;
struct Decoded {
    LONG width = 0, height = 0;
    std::vector<int> pixels;
    // How the stream stopped: after `height` rows, at an end of image, or at
    // a token that runs past the stream's end, in row damagedRow (counted
    // from the bottom, 0 = first row of the stream).
    bool damaged = false;
    LONG damagedRow = 0;
    int at(LONG x, LONG y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes an RLE stream pixel by pixel: pixels beyond the width are dropped,
// rows beyond the height are not read.
inline Decoded decodeRle(const BYTE *stream, size_t length, LONG width, LONG height)
{
    Decoded out;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * height, kClear);
    size_t p = 0;
    LONG row = 0, x = 0;
    auto put = [&](int colour) {
        if (x < width) out.pixels[static_cast<size_t>(height - 1 - row) * width + x] = colour;
        x++;
    };
    while (row < height) {
        if (length - p < 2) break;
        const BYTE n = stream[p], c = stream[p + 1];
        if (n) {
            for (int i = 0; i < n; i++) put(c);
            p += 2;
        } else if (c == 0) {
            row++;
            x = 0;
            p += 2;
        } else if (c == 1) {
            return out;
        } else if (c == 2) {
            if (length - p < 4) break;
            x += stream[p + 2];
            p += 4;
        } else {
            const size_t bytes = 2 + c + (c & 1);
            if (length - p < bytes) break;
            for (int i = 0; i < c; i++) put(stream[p + 2 + i]);
            p += bytes;
        }
    }
    if (row < height) {
        out.damaged = true;
        out.damagedRow = row;
    }
    return out;
}

// Decodes the stream of an RLE record, bounded by its image length.
inline Decoded decodeRecord(HSPRITEDATA r)
{
    const size_t start = 4 + get32(r, kPixelOffset), end = 4 + get32(r, kLength);
    return decodeRle(r + start, end - start, static_cast<LONG>(get32(r, kWidth)),
                     static_cast<LONG>(get32(r, kHeight)));
}

// The same image mirrored left to right.
inline Decoded mirrored(const Decoded &d)
{
    Decoded m = d;
    for (LONG y = 0; y < d.height; y++)
        for (LONG x = 0; x < d.width; x++)
            m.pixels[static_cast<size_t>(y) * d.width + x] = d.at(d.width - 1 - x, y);
    return m;
}

// The pixels of a raw record, all opaque.
inline Decoded decodeRaw(HSPRITEDATA r)
{
    Decoded out;
    out.width = static_cast<LONG>(get32(r, kWidth));
    out.height = static_cast<LONG>(get32(r, kHeight));
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (LONG y = 0; y < out.height; y++)
        for (LONG x = 0; x < out.width; x++) out.pixels[static_cast<size_t>(y) * out.width + x] = *rawPixel(r, x, y);
    return out;
}

// What a blit of the decoded image src does to dst, the bytes of a raw
// record's block, pixel by pixel: every drawn source pixel (u, v) inside the
// requested rectangle and inside src lands at (x + u - srcX, y + v - srcY) if
// that lies inside dst. Returns the expected result: 1 when no pixel of the
// rectangle lies in both images, else the number of rows that do, or 0 when
// the stream was cut short in a row the blit has to read.
inline LONG referenceBlit(Bytes &dst, const Decoded &src, LONG x, LONG y, LONG width, LONG height, LONG srcX,
                          LONG srcY)
{
    const int64_t dstWidth = static_cast<LONG>(get32(dst.data(), kWidth));
    const int64_t dstHeight = static_cast<LONG>(get32(dst.data(), kHeight));
    const size_t pixels = 4 + get32(dst.data(), kPixelOffset), stride = strideOf(static_cast<LONG>(dstWidth));
    // Source columns u and rows v whose pixels are inside all three.
    const int64_t dx = int64_t{x} - srcX, dy = int64_t{y} - srcY;
    const int64_t u0 = std::max({int64_t{srcX}, int64_t{0}, -dx});
    const int64_t u1 = std::min({int64_t{srcX} + width, int64_t{src.width}, dstWidth - dx});
    const int64_t v0 = std::max({int64_t{srcY}, int64_t{0}, -dy});
    const int64_t v1 = std::min({int64_t{srcY} + height, int64_t{src.height}, dstHeight - dy});
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

}  // namespace rt
