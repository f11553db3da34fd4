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
// reads it through next() below, bounded by the end of the record's block: a
// token that does not fit before it is a damaged stream, never read.
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

// The most bytes a token takes: an absolute run of kMaxCount with its pad.
constexpr size_t kLongestToken = 2 + absoluteDataBytes(kMaxCount);

// The token at p, read as next() below does; Bounded = false when at least
// kLongestToken bytes are left, so that the token needs no tests of whether
// it fits.
template <bool Bounded>
inline Token decode(const BYTE *&p, const BYTE *const end)
{
    if (Bounded && end - p < 2) return Token{Op::Damaged};
    const BYTE n = p[0], c = p[1];
    if (n != 0) {
        p += 2;
        return Token{Op::Run, n, c};
    }
    if (c == kEndOfRow) {
        p += 2;
        return Token{Op::EndOfRow};
    }
    if (c == kEndOfImage) return Token{Op::EndOfImage};
    if (c == kSkip) {
        if (Bounded && end - p < static_cast<ptrdiff_t>(kSkipBytes)) return Token{Op::Damaged};
        const Token t{Op::Skip, p[2]};
        p += kSkipBytes;
        return t;
    }
    const size_t bytes = absoluteDataBytes(c);
    if (Bounded && static_cast<size_t>(end - p) - 2 < bytes) return Token{Op::Damaged};
    const Token t{Op::Absolute, c, 0, p + 2};
    p += 2 + bytes;
    return t;
}

// Reads the token at p of a stream that ends at end, and moves p behind it;
// at an end of image or a damaged token p stays where it is.
inline Token next(const BYTE *&p, const BYTE *const end)
{
    return end - p >= static_cast<ptrdiff_t>(kLongestToken) ? decode<false>(p, end) : decode<true>(p, end);
}

// How a walk over a row stopped.
enum class RowEnd {
    Row,      // at an end of row: p is behind it, the next row follows
    Image,    // at an end of image
    Damaged,  // a token would reach past the end of the stream
};

// Passes over the rest of a row without drawing, reading its tokens with
// Read: next(), or decode<true> where streams are short and the fast path's
// extra test does not pay (collision).
template <Token (*Read)(const BYTE *&, const BYTE *) = next>
inline RowEnd passRow(const BYTE *&p, const BYTE *const end)
{
    for (;;) {
        switch (Read(p, end).op) {
        case Op::EndOfRow: return RowEnd::Row;
        case Op::EndOfImage: return RowEnd::Image;
        case Op::Damaged: return RowEnd::Damaged;
        default: break;
        }
    }
}

// Passes over n rows; Row when all of them were there.
inline RowEnd passRows(const BYTE *&p, const BYTE *const end, int64_t n)
{
    for (; n > 0; n--)
        if (const RowEnd e = passRow(p, end); e != RowEnd::Row) return e;
    return RowEnd::Row;
}

}  // namespace vek::rle
