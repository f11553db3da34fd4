// The sprite run-length encoding of 8-bit DI sprite images.
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
// after its end of row are never written. Writers end every row with an end
// of row and the image with an end of image, and no row covers more pixels
// than the image is wide.
//
// Everything that walks a stream (drawing, stamping, mirroring, collision)
// bounds it by the end of the record's block: a token that does not fit
// before it is a damaged stream, never read.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vek::rle {

// Second byte of a token whose first byte is 0.
constexpr BYTE kEndOfRow = 0;
constexpr BYTE kEndOfImage = 1;
constexpr BYTE kSkip = 2;  // lowest count of an absolute run is kSkip + 1

constexpr size_t kSkipBytes = 4;

// Stream bytes of an absolute run of n pixels after its two header bytes.
inline size_t absoluteDataBytes(unsigned n) { return n + (n & 1); }

// How a walk over a row stopped.
enum class RowEnd {
    Row,      // at an end of row: the next row follows
    Image,    // at an end of image
    Damaged,  // a token would reach past the end of the stream
};

// Passes over the rest of a row without drawing: on return p points behind
// the end of row (Row) or at the end of image (Image).
inline RowEnd passRow(const BYTE *&p, const BYTE *end)
{
    for (;;) {
        if (end - p < 2) return RowEnd::Damaged;
        const unsigned n = p[0], c = p[1];
        size_t bytes = 2;
        if (n == 0) {
            if (c == kEndOfRow) {
                p += 2;
                return RowEnd::Row;
            }
            if (c == kEndOfImage) return RowEnd::Image;
            bytes = c == kSkip ? kSkipBytes : 2 + absoluteDataBytes(c);
            if (static_cast<size_t>(end - p) < bytes) return RowEnd::Damaged;
        }
        p += bytes;
    }
}

}  // namespace vek::rle
