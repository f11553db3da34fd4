// Random sprite images and rectangles for the rasteriser's differential
// tests, reproducible from a seed.
//
// RLE images use every token kind: skips (with meaningless dy), encoded runs,
// absolute runs of odd and even length (with a pad byte that must never be
// drawn) and bare ends of row. Some are damaged: cut short by their image
// length, rows covering more than the width, rows that do not start with a
// skip, more or fewer rows than biHeight, no end of image.
#pragma once

#include "sprite_images.h"

#include <random>
#include <sstream>
#include <string>

namespace rt {

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

// A random RLE source and what the test knows about it.
struct RleSource {
    Bytes stream;
    size_t length = 0;        // image length bound of the stream
    LONG width = 0, height = 0;
    bool writersRule = true;  // well formed, every opaque row starting with a skip
};

// Pixels of a token: mostly short, so that rows hold many tokens, sometimes up
// to the 255 a token can carry.
inline LONG tokenPixels(Random &rnd, LONG lo, LONG room)
{
    const LONG hi = std::min<LONG>(room, rnd.chance(0.85) ? 12 : 255);
    return hi < lo ? -1 : rnd.between(lo, hi);
}

inline void appendRow(Random &rnd, RleSource &src, bool leadingSkip, bool overlong)
{
    Bytes &s = src.stream;
    LONG used = 0;
    if (leadingSkip) {
        const LONG dx = tokenPixels(rnd, 0, src.width);
        skip(s, static_cast<unsigned>(dx), rnd.byte());
        used += dx;
    }
    while (rnd.chance(0.85)) {
        const LONG room = overlong ? 255 : src.width - used;
        const int kind = rnd.between(0, 2);
        LONG n = tokenPixels(rnd, kind == 2 ? 3 : kind == 1 ? 1 : 0, room);
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

// A random RLE image, damaged now and then unless allowDamage is false.
inline RleSource randomRle(Random &rnd, bool allowDamage = true)
{
    RleSource src;
    src.width = rnd.chance(0.1) ? rnd.between(256, 400) : rnd.between(1, 60);
    src.height = rnd.between(1, 40);
    const bool damage = allowDamage && rnd.chance(0.3);
    const LONG overlongRow = damage && rnd.chance(0.3) ? rnd.between(0, src.height - 1) : -1;
    LONG rows = src.height;
    if (damage && rnd.chance(0.3)) rows = rnd.chance(0.5) ? rnd.between(0, src.height - 1) : src.height + 3;
    for (LONG row = 0; row < rows; row++) {
        if (rnd.chance(0.1)) {
            endRow(src.stream);  // a bare end of row: an empty row
            continue;
        }
        const bool leadingSkip = !damage || rnd.chance(0.8);
        appendRow(rnd, src, leadingSkip, row == overlongRow);
        if (!leadingSkip || row == overlongRow) src.writersRule = false;
    }
    const bool endOfImage = !(damage && rows >= src.height && rnd.chance(0.3));
    if (endOfImage) endImage(src.stream);
    src.length = src.stream.size();
    if (damage && rnd.chance(0.4)) {
        src.length = static_cast<size_t>(rnd.between(0, static_cast<LONG>(src.stream.size())));
        src.writersRule = false;
    }
    return src;
}

inline Record randomRaw(Random &rnd, Decoded &pixels)
{
    Record r = makeRaw(rnd.between(1, 60), rnd.between(1, 40), rnd.chance(0.5));
    BYTE *p = r.get();
    const size_t start = 4 + get32(p, kPixelOffset);
    for (size_t i = start; i < r.blockSize(); i++) p[i] = rnd.byte();
    pixels = decodeRaw(r);
    return r;
}

// A random rectangle around both images, sometimes far outside.
struct Rect {
    LONG x, y, width, height, srcX, srcY;
};

inline Rect randomRect(Random &rnd, const Decoded &src, LONG dstWidth, LONG dstHeight)
{
    if (rnd.chance(0.02)) {
        const LONG extremes[] = {INT32_MIN, INT32_MIN + 1, -70000, 70000, INT32_MAX - 1, INT32_MAX};
        auto pick = [&] { return rnd.chance(0.5) ? extremes[rnd.between(0, 5)] : rnd.between(-5, 5); };
        return {pick(), pick(), pick(), pick(), pick(), pick()};
    }
    // Origins mostly inside the source, sizes mostly positive.
    auto origin = [&](LONG size) {
        return rnd.chance(0.6) ? 0 : rnd.chance(0.8) ? rnd.between(-3, size - 1) : rnd.between(-6, size + 3);
    };
    auto extent = [&](LONG size) {
        return rnd.chance(0.6) ? size : rnd.chance(0.9) ? rnd.between(1, size + 8) : rnd.between(-2, 0);
    };
    Rect r;
    r.srcX = origin(src.width);
    r.srcY = origin(src.height);
    r.width = extent(src.width);
    r.height = extent(src.height);
    // Mostly where the two images overlap, sometimes anywhere around.
    auto place = [&](LONG size, LONG room) {
        return rnd.chance(0.75) ? rnd.between(1 - size, room - 1) : rnd.between(-size - 4, room + 4);
    };
    r.x = place(src.width, dstWidth);
    r.y = place(src.height, dstHeight);
    return r;
}

inline std::string describe(unsigned seed, const Rect &r, const Decoded &src, const char *what)
{
    std::ostringstream o;
    o << what << " case " << seed << ": " << src.width << "x" << src.height << " source, rect (" << r.x << ", "
      << r.y << ") " << r.width << "x" << r.height << " from (" << r.srcX << ", " << r.srcY << ")";
    return o.str();
}

}  // namespace rt
