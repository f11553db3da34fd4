// The sprite run-length encoding of 8-bit DI sprite images, and the one
// reader of its tokens.
//
// The pixels of an RLE image (biCompression BI_RLE8) are a stream of byte
// pairs, rows bottom row first, each row starting at its left edge:
//
//   n c            n = 1..255: encoded run, n pixels of colour index c (any
//                  index, 0 included, is drawn)
//   0 0            end of row: the rest of the row keeps what the destination
//                  held; the next token starts the next row up
//   0 1            end of image
//   0 2 dx dy      skip: dx pixels (0..255) keep the destination; dy is read
//                  and means nothing (writers store 0)
//   0 n data [pad] n = 3..255: absolute run, n colour indices drawn as they
//                  are, then one pad byte when n is odd so that tokens stay
//                  on 16-bit boundaries
//
// Transparency lives in the data alone: skipped pixels and the rest of a row
// after its end of row are never written. Writers (record/rle_write.h) end
// every row with an end of row and the image with an end of image, and no
// row covers more pixels than the image is wide.
//
// Everything that walks a stream (drawing, stamping, mirroring, collision)
// reads it through readToken below, straight or by way of next(), bounded by
// the end of the record's block: a token that does not fit before it is a
// damaged stream, never read. The one other reader, readSimpleRow, takes a
// whole row of the commonest shape at once under the same bound.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vek::rle {

// Second byte of a token whose first byte is 0.
constexpr BYTE kEndOfRow = 0;
constexpr BYTE kEndOfImage = 1;
constexpr BYTE kSkip = 2;
constexpr BYTE kMinAbsolute = kSkip + 1;

constexpr size_t kSkipBytes = 4;
// The most pixels one token counts.
constexpr size_t kMaxCount = 255;

// Stream bytes of an absolute run of n pixels after its two header bytes.
constexpr size_t absoluteDataBytes(size_t n) { return n + (n & 1); }

enum class Op : uint8_t {
    Run,         // count pixels of colour
    Absolute,    // count pixels, their indices at data
    Skip,        // count pixels left as they are
    EndOfRow,
    EndOfImage,
    Damaged,     // the token does not fit before the end of the stream
};

struct Token {
    Op op;
    size_t count = 0;  // pixels of a run, an absolute run or a skip
    BYTE colour = 0;   // of a run
    const BYTE *data = nullptr;  // of an absolute run
};

// Reads the token at p of a stream that ends at end by handing it to the
// handler of its kind:
//   run(count, colour)   absolute(count, indices)   skip(count)   endOfRow()
// Each returns whether it took the token; p moves behind a token taken.
// False, with p where it was, when the handler did not take the token, at
// an end of image, and when the token does not fit before end (a damaged
// stream, never read); Bounded = false leaves the last test out, for a
// caller that knows that kLongestToken bytes are left. Walks that must be fast call this straight; the
// others use next() below.
template <bool Bounded = true, class Run, class Absolute, class Skip, class EndOfRow>
[[gnu::always_inline]] inline bool readToken(const BYTE *&p, const BYTE *const end, Run run, Absolute absolute,
                                             Skip skip, EndOfRow endOfRow)
{
    const ptrdiff_t left = end - p;
    if (Bounded && left < 2) return false;
    const BYTE n = p[0], c = p[1];
    if (n != 0) {
        if (!run(size_t{n}, c)) return false;
        p += 2;
    } else if (c >= kMinAbsolute) {
        const size_t bytes = 2 + absoluteDataBytes(c);
        if ((Bounded && static_cast<size_t>(left) < bytes) || !absolute(size_t{c}, p + 2)) return false;
        p += bytes;
    } else if (c == kSkip) {
        if ((Bounded && left < static_cast<ptrdiff_t>(kSkipBytes)) || !skip(size_t{p[2]})) return false;
        p += kSkipBytes;
    } else if (c == kEndOfRow) {
        if (!endOfRow()) return false;
        p += 2;
    } else {
        return false;
    }
    return true;
}

// The most bytes a token takes: an absolute run of kMaxCount with its pad.
// With this many bytes left, readToken<false> reads the next token without
// testing whether it fits.
constexpr size_t kLongestToken = 2 + absoluteDataBytes(kMaxCount);

// A row of the shape that convex sprites take: an optional skip, one run
// or absolute run, and the end of the row.
struct SimpleRow {
    size_t skip;        // pixels before the run (0 without a skip)
    size_t count;       // pixels of the run
    const BYTE *data;   // indices of an absolute run; nullptr for an encoded run
    BYTE colour;        // of an encoded run
};

// The most bytes a SimpleRow takes.
constexpr size_t kLongestSimpleRow = kSkipBytes + 2 + absoluteDataBytes(kMaxCount) + 2;

// Reads the row at p in one step when it is a SimpleRow, and moves p behind
// its end; false, with p where it was, for any other row and for one that
// does not fit before end. Walking such a row token by token would add each
// token's length to p in turn; here the next row's address waits only on
// the run's count. Bounded = false leaves the tests of the end out, for a
// caller that knows that kLongestSimpleRow bytes are left.
template <bool Bounded>
[[gnu::always_inline]] inline bool readSimpleRow(const BYTE *&p, const BYTE *const end, SimpleRow &row)
{
    if (Bounded && end - p < static_cast<ptrdiff_t>(kSkipBytes + 2)) return false;
    const bool skipped = p[0] == 0 && p[1] == kSkip;
    const BYTE *q = skipped ? p + kSkipBytes : p;
    const BYTE n = q[0], c = q[1];
    row.skip = skipped ? p[2] : 0;
    row.colour = c;
    if (n != 0) {
        row.count = n;
        row.data = nullptr;
        q += 2;
    } else if (c >= kMinAbsolute) {
        row.count = c;
        row.data = q + 2;
        q += 2 + absoluteDataBytes(c);
    } else {
        return false;
    }
    if ((Bounded && end - q < 2) || q[0] != 0 || q[1] != kEndOfRow) return false;
    p = q + 2;
    return true;
}

// Whether p is at an end of image. A token that readToken did not take,
// though no handler refused it, is an end of image or a damaged stream.
inline bool atEndOfImage(const BYTE *p, const BYTE *const end)
{
    return end - p >= 2 && p[0] == 0 && p[1] == kEndOfImage;
}

// Reads the token at p of a stream that ends at end, and moves p behind it;
// at an end of image or a damaged token p stays where it is.
[[gnu::always_inline]] inline Token next(const BYTE *&p, const BYTE *const end)
{
    Token t{Op::Damaged};
    const bool taken = readToken(
        p, end,
        [&](size_t n, BYTE c) {
            t = Token{Op::Run, n, c};
            return true;
        },
        [&](size_t n, const BYTE *data) {
            t = Token{Op::Absolute, n, 0, data};
            return true;
        },
        [&](size_t n) {
            t = Token{Op::Skip, n};
            return true;
        },
        [&] {
            t = Token{Op::EndOfRow};
            return true;
        });
    if (!taken && atEndOfImage(p, end)) t = Token{Op::EndOfImage};
    return t;
}

// How a walk over a row stopped.
enum class RowEnd {
    Row,      // at an end of row: p is behind it, the next row follows
    Image,    // at an end of image
    Damaged,  // a token would reach past the end of the stream
};

// Passes over the rest of a row without drawing.
inline RowEnd passRow(const BYTE *&p, const BYTE *const end)
{
    auto any = [](auto...) { return true; };
    for (bool ended = false; !ended;)
        if (!readToken(p, end, any, any, any, [&] { return ended = true; }))
            return atEndOfImage(p, end) ? RowEnd::Image : RowEnd::Damaged;
    return RowEnd::Row;
}

// Passes over n rows; Row when all of them were there.
inline RowEnd passRows(const BYTE *&p, const BYTE *const end, int64_t n)
{
    for (; n > 0; n--)
        if (const RowEnd e = passRow(p, end); e != RowEnd::Row) return e;
    return RowEnd::Row;
}

}  // namespace vek::rle
