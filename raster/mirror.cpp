// In-place left-to-right mirroring of DI sprite images, raw or RLE.
//
// The image flags say whether an image may be mirrored (mirror-enable bit)
// and whether its pixels currently hold the mirrored image (mirrored bit);
// every mirroring toggles the mirrored bit together with the pixels.
//
// Raw rows are reversed in place, all width pixels of all rows.
//
// RLE rows are rewritten in place, one at a time. A row that holds an opaque
// pixel starts with a skip (the writers' rule); the pixels of that first skip
// become trailing transparency of the mirrored row, which the end of row
// implies. Every
// further token up to the end of row is pushed on a scratch stack that grows
// downwards, an absolute run with its data reversed (its pad written as 0),
// so that the stack read upwards from its top holds the row's tokens last
// first. The row is then written back where it started: a leading skip of the
// pixels that the old row left uncovered at its right end, then the stack.
// That is exactly the old row without its end of row, so the old end of row
// (or end of image) stays in place and ends the new row.
//
// Rows of images wider than 255 pixels may leave more than 255 pixels
// uncovered, which takes several skips: the row grows by four bytes for each
// extra skip. It may take the place of skips that the old row held between its
// first skip and its first opaque pixel (they would end up as trailing
// transparency of the mirrored row, where they mean nothing); when there are
// too few of them the image is refused. A row with no opaque pixel at all is
// its own mirror image and then simply stays.
//
// Before anything is written, a dry pass makes the same walk and checks every
// row: tokens inside the block, each row starting with a skip or being a
// bare end of row, no row covering more pixels than the width, every row's
// tokens fitting the stack and every mirrored row fitting its place. An image
// that fails any check stays as it was, flags included. At most biHeight rows
// are mirrored, so the stream needs no end of image after its last row.
//
// The tokens are read with the one reader of record/rle.h and written with
// its writers; the scratch stack is one block of the library's, reused by
// every mirroring.
#include "raster/mirror.h"

#include <vekkit/raster.h>

#include <cstring>

#include "raster/pixels.h"
#include "record/rle.h"
#include "record/rle_write.h"

namespace vek {

namespace {

void mirrorRawRows(const RecordView &image)
{
    const size_t stride = image.stride(), width = static_cast<size_t>(image.width);
    BYTE *row = image.pixels;
    for (LONG y = 0; y < image.height; y++, row += stride) reversePixels(row, width);
}

// Walks the rows of an RLE image; with Write, rewrites each one mirrored.
// Returns false at the first row that cannot be mirrored. The dry pass
// (Write false) runs first, so the writing pass never stops half-way.
template <bool Write>
bool mirrorRleRows(const RecordView &image, BYTE *stackEnd)
{
    using namespace rle;
    BYTE *p = image.pixels;
    const BYTE *const end = image.end;
    const size_t width = static_cast<size_t>(image.width);
    for (LONG rows = 0; rows < image.height;) {
        BYTE *const rowStart = p;
        const BYTE *q = p;
        const Token first = next(q, end);
        if (first.op == Op::EndOfRow) {  // an empty row
            p += 2;
            rows++;
            continue;
        }
        if (first.op == Op::EndOfImage) return true;
        if (first.op != Op::Skip) return false;

        p += kSkipBytes;
        BYTE *top = stackEnd;
        size_t stacked = 0;       // bytes on the stack
        size_t covered = 0;       // pixels of the tokens after the first skip
        size_t leadingSkips = 0;  // skips before the first opaque pixel
        bool opaque = false;
        Token t;
        for (;;) {
            q = p;
            t = next(q, end);
            if (t.op == Op::Damaged) return false;
            if (t.op == Op::EndOfRow || t.op == Op::EndOfImage) break;
            const size_t bytes = static_cast<size_t>(q - p);
            covered += t.count;
            if (t.op != Op::Skip)
                opaque = true;
            else if (!opaque)
                leadingSkips++;
            stacked += bytes;
            if (stacked > kMirrorStackBytes) return false;
            if (Write) {
                top -= bytes;
                if (t.op == Op::Absolute) {
                    putAbsolute(top, t.data, t.count);
                    reversePixels(top + 2, t.count);
                } else {
                    std::memcpy(top, p, bytes);
                }
            }
            p += bytes;
        }
        if (first.count + covered > width) return false;

        const size_t uncovered = width - first.count - covered;
        const size_t skips = (uncovered + kMaxCount - 1) / kMaxCount;  // 0 when nothing is uncovered
        const size_t extraSkips = skips > 1 ? skips - 1 : 0;
        if (extraSkips > leadingSkips) {
            if (opaque) return false;
        } else if (Write) {
            // The first pushed tokens, at the stack's end, are the leading skips
            // that make room for the extra ones.
            BYTE *d = uncovered ? putSkips(rowStart, uncovered, kMaxCount) : putSkip(rowStart, 0);
            std::memcpy(d, top, stacked - extraSkips * kSkipBytes);
        }
        p += 2;  // the end of row (or of image) that ends the row stays
        rows++;
        if (t.op == Op::EndOfImage) return true;
    }
    return true;
}

// The end of the scratch stack that every mirroring uses.
BYTE *scratchEnd()
{
    alignas(16) static BYTE stack[kMirrorStackBytes];
    return stack + kMirrorStackBytes;
}

}  // namespace

void MirrorSpriteImage(RecordView &im, BYTE *stackEnd)
{
    if (!im.readable || !(im.flags & VEK_IMAGE_MIRRORABLE)) return;
    const bool isRaw = im.compression == BI_RGB, isRle = im.compression == BI_RLE8;
    if (isRaw || isRle) {
        if (im.bitCount != 8 || !im.hasDrawableSize()) return;
        if (isRaw ? !im.rawRowsFit() : !mirrorRleRows<false>(im, stackEnd)) return;
    }
    im.flags ^= VEK_IMAGE_MIRRORED;
    put16(im.record, rec::kFlags, im.flags);
    if (isRaw)
        mirrorRawRows(im);
    else if (isRle)
        mirrorRleRows<true>(im, stackEnd);
}

void mirrorOnDemand(RecordView &im, LONG mirror)
{
    if (im.readable && (im.flags & VEK_IMAGE_MIRRORABLE) && ((im.flags & VEK_IMAGE_MIRRORED) != 0) != (mirror != 0))
        MirrorSpriteImage(im, scratchEnd());
}

}  // namespace vek

LONG VEKAPI vekFlipSprite(HSPRITEDATA image)
{
    if (!image) return 0;
    vek::RecordView view = vek::viewRecord(image);
    vek::MirrorSpriteImage(view, vek::scratchEnd());
    return 0;
}
