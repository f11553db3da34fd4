// The core sprite blit between DI sprite image records, for the library's
// own callers (the blit entry points, the dispatch, the frame update, the
// conversions).
#pragma once

#include <vekkit/records.h>

#include <cstdint>

#include "record/record_view.h"

namespace vek {

// A blit rectangle: destination position, size and source position.
struct BlitRect {
    LONG x, y, width, height, srcX, srcY;
};

// Draws the width x height rectangle of src whose top-left corner is
// (srcX, srcY) at (x, y) of dst. Both must be DI records; dst raw, src raw
// (copied opaque) or RLE (skips and row ends leave dst as it was). When the
// source is mirror-enabled it is first mirrored in place if its mirrored
// bit differs from (mirror != 0), even when nothing ends up drawn.
// Returns the number of rows drawn (the clipped height), 1 when the clipped
// rectangle is empty, and 0 for records it cannot draw: other kinds or bit
// counts, a compressed destination, damaged headers, or an RLE stream that
// ends inside a token or before the rows it had to draw.
LONG SpriteBltCore(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                   LONG srcX, LONG srcY, LONG mirror);

// SpriteBltCore on records already viewed; src's view follows its
// mirroring.
LONG blitCore(const RecordView &dst, RecordView &src, const BlitRect &rect, LONG mirror);

// Blits the rectangle of the DD record src at (srcX, srcY) to (x, y) of the
// DD record dst through two memory DCs: the mask with SRCAND then the image
// with SRCPAINT, or the image with SRCCOPY when src has no mask. No clipping
// and no mirroring of its own. Returns 1.
LONG DDSpriteBlt(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src, LONG srcX,
                 LONG srcY);

// One axis of a piece (a composite element, a tile) that starts at `start`
// in the coordinates of a window drawn from `window` on, at destination
// `at`, `size` pixels long: the window starts inside the piece, or the piece
// inside the window. Gives the piece's first pixel drawn, where it lands and
// the length left to the blit's own clipping.
struct AxisPiece {
    int64_t from, at, size;
};
inline AxisPiece placePiece(int64_t window, int64_t at, int64_t size, int64_t start)
{
    if (window > start) return AxisPiece{window - start, at, size};
    return AxisPiece{0, at + (start - window), size - (start - window)};
}

// Clips r to the source and destination images in the blit's fixed order:
// negative source, then destination coordinates move both origins, then the
// far edges of source and destination cut the size. False when nothing is
// left to draw.
bool clipBlitRect(BlitRect &r, LONG srcWidth, LONG srcHeight, LONG dstWidth, LONG dstHeight);

// How preparing a draw came out.
enum class Prepared {
    Draw,     // r is clipped and the destination is a raw 8-bit image whose
              // rows lie inside its block; the source has a drawable size
              // and 8 bits, its compression is left to the caller
    Empty,    // nothing lies inside both images (callers return 1)
    Refused,  // records that cannot be drawn (callers return 0)
};

// Checks both views and clips r, in the blit's order: kinds and headers,
// then clipping, then formats. Shared by everything that draws an image
// into a raw one.
Prepared prepareBlit(const RecordView &dst, const RecordView &src, BlitRect &r);

// The two kernels behind SpriteBltCore, for a rectangle clipped to both
// images and views that prepareBlit accepted (for blitRaw also the source's
// rows inside its block).
LONG blitRaw(const RecordView &dst, const RecordView &src, const BlitRect &r);
// 0 for a stream cut short, else the clipped height.
LONG blitRle(const RecordView &dst, const RecordView &src, const BlitRect &r);

}  // namespace vek
