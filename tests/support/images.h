// The tests' one set of image builders: sprite image records made through
// the public API, RLE streams written token by token, random images and
// rectangles reproducible from a seed, and 8-bit bitmap files.
#pragma once

#include <vekkit.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "support/bytes.h"

namespace support {

using Bytes = std::vector<BYTE>;

// Record byte positions.
constexpr size_t kType = 4, kFlags = 10, kPixelOffset = 14, kWidth = 22, kHeight = 26, kBitCount = 32,
                 kCompression = 34, kSizeImage = 38, kPixels = 572;

// A library block (a record, a cel, a loaded object) owned by the test.
class Record {
public:
    Record() = default;
    explicit Record(BYTE *p) : p_(p) {}
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
    BYTE *get() const { return p_; }
    // Gives the block up (to a call that consumes it).
    BYTE *release() { return std::exchange(p_, nullptr); }
    operator BYTE *() const { return p_; }
    size_t blockSize() const { return GlobalSize(GlobalHandle(p_)); }
    Bytes bytes() const { return Bytes(p_, p_ + blockSize()); }
    WORD flags() const { return get16(p_, kFlags); }
    void setFlags(WORD f) { put16(p_, kFlags, f); }

private:
    BYTE *p_ = nullptr;
};

inline size_t strideOf(LONG width) { return (static_cast<size_t>(width) + 3) & ~size_t{3}; }

// A raw record of the short (vekCreateSpriteDataObject) or long
// (vekCreateSpriteData) layout, every pixel fill.
inline Record makeRaw(LONG width, LONG height, BYTE fill = 0, bool longTable = false)
{
    Record r(longTable ? vekCreateSpriteData(width, height) : vekCreateSpriteDataObject(width, height));
    if (r.get()) std::fill(r.get() + 4 + get32(r, kPixelOffset), r.get() + r.blockSize(), fill);
    return r;
}

// The pixel at (x, y), y = 0 the top row, of a raw record.
inline BYTE *rawPixel(const BYTE *r, LONG x, LONG y)
{
    const LONG width = static_cast<LONG>(get32(r, kWidth)), height = static_cast<LONG>(get32(r, kHeight));
    return const_cast<BYTE *>(r) + 4 + get32(r, kPixelOffset) + static_cast<size_t>(height - 1 - y) * strideOf(width) +
           x;
}

// A raw record whose pixel (x, y) is pick(x, y).
template <typename Pick>
Record rawOf(LONG width, LONG height, Pick pick)
{
    Record r = makeRaw(width, height);
    for (LONG y = 0; y < height; y++)
        for (LONG x = 0; x < width; x++) *rawPixel(r, x, y) = static_cast<BYTE>(pick(x, y));
    return r;
}

// An RLE record of width x height holding stream at byte 572. Its image
// length ends the stream after `length` bytes (all of it by default); the
// block is the stream rounded up to four bytes.
inline Record makeRle(LONG width, LONG height, const Bytes &stream, WORD flags = 0, size_t length = SIZE_MAX)
{
    if (length == SIZE_MAX) length = stream.size();
    Record r(vekCreateSpriteDataObject(static_cast<LONG>(stream.empty() ? 1 : stream.size()), 1));
    BYTE *p = r.get();
    put32(p, 0, static_cast<DWORD>(kPixels - 4 + length));
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
    const size_t at = s.size();
    s.resize(at + 2 + indices.size() + (indices.size() & 1), pad);
    s[at] = 0;
    s[at + 1] = static_cast<BYTE>(indices.size());
    std::copy(indices.begin(), indices.end(), s.begin() + static_cast<ptrdiff_t>(at + 2));
}
inline void endRow(Bytes &s) { s.insert(s.end(), {0, 0}); }
inline void endImage(Bytes &s) { s.insert(s.end(), {0, 1}); }

// A composite record: bounds, element count and elements of 10 bytes
// (left, bottom, width with bit 15 for mirrored, height, image index).
struct Element {
    SHORT left, bottom;
    WORD width;
    SHORT height, index;
};

inline Bytes compositeRecord(const std::vector<Element> &elements, RECT bounds = RECT{0, 0, 100, 100})
{
    Bytes r(38 + 10 * elements.size());
    put32(r.data(), 0, static_cast<DWORD>(r.size() - 4));
    put16(r.data(), kType, VEK_TYPE_COMPOSITE);
    const LONG edges[] = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    for (int i = 0; i < 4; i++) put32(r.data(), 6 + 4 * i, static_cast<DWORD>(edges[i]));
    put16(r.data(), 36, static_cast<WORD>(elements.size()));
    for (size_t i = 0; i < elements.size(); i++) {
        const Element &e = elements[i];
        const WORD fields[] = {static_cast<WORD>(e.left), static_cast<WORD>(e.bottom), e.width,
                               static_cast<WORD>(e.height), static_cast<WORD>(e.index)};
        for (int k = 0; k < 5; k++) put16(r.data(), 38 + 10 * i + 2 * k, fields[k]);
    }
    return r;
}

// A seeded source of test values.
class Random {
public:
    explicit Random(unsigned seed) : rng_(seed) {}
    LONG between(LONG lo, LONG hi) { return std::uniform_int_distribution<LONG>(lo, hi)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    BYTE byte() { return static_cast<BYTE>(between(0, 255)); }

private:
    std::mt19937 rng_;
};

// A random RLE stream and what the test knows about it. Every token kind
// occurs: skips (with meaningless dy), encoded runs, absolute runs of odd
// and even length (with a pad byte that is never drawn), bare ends of row.
// Damaged ones are cut short by their image length, have rows covering more
// than the width or not starting with a skip, more or fewer rows than
// biHeight, or no end of image.
struct RleSource {
    Bytes stream;
    size_t length = 0;  // image length bound of the stream
    LONG width = 0, height = 0;
    bool writersRule = true;  // well formed, every opaque row starting with a skip
};

inline RleSource randomRle(Random &rnd, bool allowDamage = true)
{
    RleSource src;
    src.width = rnd.chance(0.1) ? rnd.between(256, 400) : rnd.between(1, 60);
    src.height = rnd.between(1, 40);
    const bool damage = allowDamage && rnd.chance(0.3);
    const LONG overlongRow = damage && rnd.chance(0.3) ? rnd.between(0, src.height - 1) : -1;
    LONG rows = src.height;
    if (damage && rnd.chance(0.3)) rows = rnd.chance(0.5) ? rnd.between(0, src.height - 1) : src.height + 3;
    // Token lengths mostly short, so that rows hold many tokens.
    auto pixels = [&](LONG lo, LONG room) {
        const LONG hi = std::min<LONG>(room, rnd.chance(0.85) ? 12 : 255);
        return hi < lo ? -1 : rnd.between(lo, hi);
    };
    for (LONG row = 0; row < rows; row++) {
        Bytes &s = src.stream;
        if (rnd.chance(0.1)) {
            endRow(s);
            continue;
        }
        const bool leadingSkip = !damage || rnd.chance(0.8), overlong = row == overlongRow;
        if (!leadingSkip || overlong) src.writersRule = false;
        LONG used = 0;
        if (leadingSkip) {
            const LONG dx = pixels(0, src.width);
            skip(s, static_cast<unsigned>(dx), rnd.byte());
            used += dx;
        }
        while (rnd.chance(0.85)) {
            const int kind = rnd.between(0, 2);
            const LONG n = pixels(kind == 2 ? 3 : kind == 1 ? 1 : 0, overlong ? 255 : src.width - used);
            if (n < 0) break;
            if (kind == 0) {
                skip(s, static_cast<unsigned>(n), rnd.byte());
            } else if (kind == 1) {
                run(s, static_cast<unsigned>(n), rnd.byte());
            } else {
                Bytes data(static_cast<size_t>(n));
                for (BYTE &b : data) b = rnd.byte();
                absolute(s, data, rnd.byte());
            }
            used += n;
            if (overlong && used > src.width) break;
        }
        endRow(s);
    }
    if (!(damage && rows >= src.height && rnd.chance(0.3))) endImage(src.stream);
    src.length = src.stream.size();
    if (damage && rnd.chance(0.4)) {
        src.length = static_cast<size_t>(rnd.between(0, static_cast<LONG>(src.stream.size())));
        src.writersRule = false;
    }
    return src;
}

inline Record randomRleRecord(Random &rnd, RleSource &src, bool allowDamage = true)
{
    src = randomRle(rnd, allowDamage);
    return makeRle(src.width, src.height, src.stream, 0, src.length);
}

// A raw record of random size, layout and pixels (padding included).
inline Record randomRaw(Random &rnd, LONG maxWidth = 60, LONG maxHeight = 40)
{
    Record r = makeRaw(rnd.between(1, maxWidth), rnd.between(1, maxHeight), 0, rnd.chance(0.5));
    for (size_t i = 4 + get32(r, kPixelOffset); i < r.blockSize(); i++) r.get()[i] = rnd.byte();
    return r;
}

// A blit rectangle: width x height of the source from (srcX, srcY) to (x, y).
struct Rect {
    LONG x, y, width, height, srcX, srcY;
};

// A random rectangle around a source and a destination, mostly where they
// overlap, sometimes far outside or at the extremes of 32 bits.
inline Rect randomRect(Random &rnd, LONG srcWidth, LONG srcHeight, LONG dstWidth, LONG dstHeight)
{
    if (rnd.chance(0.02)) {
        const LONG extremes[] = {INT32_MIN, INT32_MIN + 1, -70000, 70000, INT32_MAX - 1, INT32_MAX};
        auto pick = [&] { return rnd.chance(0.5) ? extremes[rnd.between(0, 5)] : rnd.between(-5, 5); };
        return {pick(), pick(), pick(), pick(), pick(), pick()};
    }
    auto origin = [&](LONG size) {
        return rnd.chance(0.6) ? 0 : rnd.chance(0.8) ? rnd.between(-3, size - 1) : rnd.between(-6, size + 3);
    };
    auto extent = [&](LONG size) {
        return rnd.chance(0.6) ? size : rnd.chance(0.9) ? rnd.between(1, size + 8) : rnd.between(-2, 0);
    };
    auto place = [&](LONG size, LONG room) {
        return rnd.chance(0.75) ? rnd.between(1 - size, room - 1) : rnd.between(-size - 4, room + 4);
    };
    Rect r;
    r.srcX = origin(srcWidth);
    r.srcY = origin(srcHeight);
    r.width = extent(srcWidth);
    r.height = extent(srcHeight);
    r.x = place(srcWidth, dstWidth);
    r.y = place(srcHeight, dstHeight);
    return r;
}

// An 8-bit bitmap file: the headers (bfOffBits = 1078 unless given), a
// 256-entry colour table and the pixels, given top row first, stored
// bottom-up in rows padded to four bytes.
inline Bytes bmpFile(LONG width, LONG height, const Bytes &topDown, const RGBQUAD *table = nullptr,
                     DWORD offBits = 1078)
{
    const size_t stride = strideOf(width);
    Bytes f(offBits + stride * static_cast<size_t>(height));
    BYTE *b = f.data();
    put16(b, 0, 0x4D42);
    put32(b, 2, static_cast<DWORD>(f.size()));
    put32(b, 10, offBits);
    put32(b, 14, 40);
    put32(b, 18, static_cast<DWORD>(width));
    put32(b, 22, static_cast<DWORD>(height));
    put16(b, 26, 1);
    put16(b, 28, 8);
    put32(b, 34, static_cast<DWORD>(stride * height));
    for (size_t i = 0; table && i < 256 && 58 + 4 * i <= offBits; i++) {
        b[54 + 4 * i] = table[i].rgbBlue;
        b[55 + 4 * i] = table[i].rgbGreen;
        b[56 + 4 * i] = table[i].rgbRed;
    }
    for (LONG y = 0; y < height; y++)
        std::copy_n(topDown.begin() + y * width, width, f.begin() + offBits + (height - 1 - y) * stride);
    return f;
}

// A locked library-style block holding bytes after their length, as
// vekLoadSpriteData makes them.
inline Record blockOf(const Bytes &bytes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 4);
    auto *p = static_cast<BYTE *>(GlobalLock(mem));
    put32(p, 0, static_cast<DWORD>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), p + 4);
    return Record(p);
}

}  // namespace support
