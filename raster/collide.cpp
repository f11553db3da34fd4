// Collision tests between two sprites of a context: by their target
// rectangles, or pixel-exactly by their RLE images.
//
// The pixel test never decodes pixels. It walks the two RLE streams side by
// side, one row pair at a time from the bottom up, as sequences of opaque
// spans: every encoded or absolute run is one span (whatever its colours),
// skips only move a stream's column on. The lower image's stream first passes
// over the rows that lie below the other image's bottom row; its columns are
// counted from the other image's left edge. In each row pair the span that
// ends first (at or before the start of the other) is dropped and the next
// one of its stream read, so both streams advance in x order and the first
// overlapping pair of spans decides. An end of row in either stream ends the
// row pair (the other stream passes over the rest of its row); an end of
// image in either stream, or a token that runs past the record's block,
// means no collision.
#include <vekkit/raster.h>

#include <cstdint>

#include "record/record_view.h"
#include "record/rle.h"

namespace vek {

namespace {

// Differences of coordinates, cut to signed 16 bits as collision values are.
// Computed in unsigned arithmetic so that any 32-bit operands wrap.
SHORT diff16(LONG a, LONG b) { return static_cast<SHORT>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

// The walk of one stream as a sequence of opaque spans.
class SpanReader {
public:
    enum class Token { Span, RowEnd, Stop };

    explicit SpanReader(const RecordView &image) : p_(image.pixels), end_(image.end) {}

    // Starts the next row with its first pixel at column x.
    void startRow(int64_t x) { x_ = x; }

    // Reads up to the next span [start, start + n), an end of row (which is
    // consumed) or an end of the stream (an end of image or a damaged token).
    Token next(int64_t &start, int64_t &n)
    {
        auto span = [&](size_t count) {
            start = x_;
            n = static_cast<int64_t>(count);
            x_ += n;
            return true;
        };
        for (;;) {
            bool spanRead = false, rowEnded = false;
            if (!rle::readToken(
                    p_, end_, [&](size_t count, BYTE) { return spanRead = span(count); },
                    [&](size_t count, const BYTE *) { return spanRead = span(count); },
                    [&](size_t count) {
                        x_ += static_cast<int64_t>(count);
                        return true;
                    },
                    [&] { return rowEnded = true; }))
                return Token::Stop;
            if (spanRead) return Token::Span;
            if (rowEnded) return Token::RowEnd;
        }
    }

    // Passes over the rest of the current row; false at the end of the stream.
    bool finishRow() { return rle::passRow(p_, end_) == rle::RowEnd::Row; }

private:
    const BYTE *p_;
    const BYTE *const end_;
    int64_t x_ = 0;  // column of the next pixel of the row (64 bits: long damaged rows cannot overflow it)
};

// True for the view of a run-length encoded image.
bool isRle(const RecordView &im) { return im.readable && im.compression == BI_RLE8; }

// The rectangle test: how far b reaches into a from the right (positive) or
// a into b from the left (negative), whichever overlap is narrower.
LONG rectangleOverlap(const RECT &a, const RECT &b)
{
    const SHORT fromRight = diff16(a.right, b.left), fromLeft = diff16(b.right, a.left);
    return fromLeft >= fromRight ? fromRight : static_cast<SHORT>(-fromLeft);
}

// The pixel test of the lower image l against the upper image u. Rows are
// paired from l's row dy (counted from its bottom) and u's bottom row;
// columns are counted as u's, in which l's first column is dx. The value is
// seen from l: positive when u's span lies further right.
LONG spanOverlap(const RecordView &l, const RecordView &u, SHORT dx, SHORT dy)
{
    SpanReader lower(l), upper(u);
    for (SHORT row = 0; row < dy; row++)
        if (!lower.finishRow()) return 0;

    enum class Step { Span, NewRow, Stop };
    // Reads the next span of one stream; at its end of row the other stream
    // passes over the rest of its row too.
    const auto read = [](SpanReader &reader, SpanReader &other, int64_t &start, int64_t &length) {
        switch (reader.next(start, length)) {
        case SpanReader::Token::Span: return Step::Span;
        case SpanReader::Token::RowEnd: return other.finishRow() ? Step::NewRow : Step::Stop;
        case SpanReader::Token::Stop: break;
        }
        return Step::Stop;
    };

    int64_t p = 0, n = 0, q = 0, m = 0;  // the current spans [p, p + n) of l and [q, q + m) of u
    bool needLower = true, needUpper = true;
    lower.startRow(dx);
    upper.startRow(0);
    for (;;) {
        if (needLower || needUpper) {
            const bool forLower = needLower;
            const Step step = forLower ? read(lower, upper, p, n) : read(upper, lower, q, m);
            if (step == Step::Stop) return 0;
            if (step == Step::NewRow) {
                lower.startRow(dx);
                upper.startRow(0);
                needLower = needUpper = true;
            } else {
                (forLower ? needLower : needUpper) = false;
            }
            continue;
        }
        if (p + n <= q) {
            needLower = true;
        } else if (q + m <= p) {
            needUpper = true;
        } else if (p == q) {
            return static_cast<SHORT>(n <= m ? n : -m);
        } else {
            return static_cast<SHORT>(p < q ? p + n - q : p - (q + m));
        }
    }
}

}  // namespace

}  // namespace vek

LONG VEKAPI vekCheckCollide(LPVEKCONTEXT context, LPVEKSPRITE a, LPVEKSPRITE b, LONG flags)
{
    if (!a || !b) return 0;
    if (!(flags & VEK_COLLIDE_ANY_PRIORITY) && a->priority != b->priority) return 0;
    // A DD off-screen image draws sprites through the GDI: only their
    // rectangles count.
    const bool rectOnly = (flags & VEK_COLLIDE_RECT) || (context && (context->options & VEK_OPTION_DD_OFFSCREEN));

    const RECT &ra = a->target, &rb = b->target;
    if (ra.left >= rb.right || rb.left >= ra.right || ra.top >= rb.bottom || rb.top >= ra.bottom) return 0;

    if (rectOnly || !a->image || !b->image) return vek::rectangleOverlap(ra, rb);
    // Each view is made in place: the walk reads its fields straight from it.
    const vek::RecordView ia = vek::viewRecord(a->image), ib = vek::viewRecord(b->image);
    if (!vek::isRle(ia) || !vek::isRle(ib)) return vek::rectangleOverlap(ra, rb);

    // The lower image is the one whose rectangle reaches further down (a on a tie).
    const bool swapped = rb.bottom > ra.bottom;
    const RECT &rl = swapped ? rb : ra, &ru = swapped ? ra : rb;
    const LONG v = vek::spanOverlap(swapped ? ib : ia, swapped ? ia : ib, vek::diff16(rl.left, ru.left),
                                    vek::diff16(rl.bottom, ru.bottom));
    return static_cast<SHORT>(swapped ? -v : v);
}
