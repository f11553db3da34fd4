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
#include "raster/mirror.h"

#include <vekkit/raster.h>

#include <cstring>

#include "raster/di_image.h"
#include "raster/pixels.h"
#include "raster/rle.h"

namespace vek {

namespace {

constexpr size_t kMaxSkip = 255;

void mirrorRawRows(const DIImage &image)
{
    const size_t stride = image.stride(), width = static_cast<size_t>(image.width);
    BYTE *row = image.pixels;
    for (LONG y = 0; y < image.height; y++, row += stride) reversePixels(row, width);
}

// Writes skips covering n pixels, at most kMaxSkip each (one skip of 0 for
// n = 0); returns the byte behind them.
BYTE *writeSkips(BYTE *d, size_t n)
{
    do {
        const size_t count = n < kMaxSkip ? n : kMaxSkip;
        d[0] = 0;
        d[1] = rle::kSkip;
        d[2] = static_cast<BYTE>(count);
        d[3] = 0;
        d += rle::kSkipBytes;
        n -= count;
    } while (n);
    return d;
}

// Walks the rows of an RLE image; with Write, rewrites each one mirrored.
// Returns false at the first row that cannot be mirrored. The dry pass
// (Write false) runs first, so the writing pass never stops half-way.
template <bool Write>
bool mirrorRleRows(const DIImage &image, BYTE *stackEnd)
{
    using namespace rle;
    BYTE *p = image.pixels;
    const BYTE *const end = image.end;
    const size_t width = static_cast<size_t>(image.width);
    for (LONG rows = 0; rows < image.height;) {
        if (end - p < 2 || p[0] != 0) return false;
        if (p[1] == kEndOfRow) {  // an empty row
            p += 2;
            rows++;
            continue;
        }
        if (p[1] == kEndOfImage) return true;
        if (p[1] != kSkip || end - p < static_cast<ptrdiff_t>(kSkipBytes)) return false;

        BYTE *const rowStart = p;
        const size_t firstSkip = p[2];
        p += kSkipBytes;
        BYTE *top = stackEnd;
        size_t stacked = 0;       // bytes on the stack
        size_t covered = 0;       // pixels of the tokens after the first skip
        size_t leadingSkips = 0;  // skips before the first opaque pixel
        bool opaque = false;
        for (;;) {
            if (end - p < 2) return false;
            const unsigned n = p[0], c = p[1];
            size_t bytes = 2;
            if (n != 0) {
                covered += n;
                opaque = true;
            } else if (c == kEndOfRow || c == kEndOfImage) {
                break;
            } else if (c == kSkip) {
                bytes = kSkipBytes;
                if (static_cast<size_t>(end - p) < bytes) return false;
                covered += p[2];
                if (!opaque) leadingSkips++;
            } else {
                bytes = 2 + absoluteDataBytes(c);
                if (static_cast<size_t>(end - p) < bytes) return false;
                covered += c;
                opaque = true;
            }
            stacked += bytes;
            if (stacked > kMirrorStackBytes) return false;
            if (Write) {
                top -= bytes;
                if (n == 0 && c > kSkip) {
                    top[0] = 0;
                    top[1] = static_cast<BYTE>(c);
                    copyPixelsReversed(top + 2, p + 2, c);
                    if (c & 1) top[2 + c] = 0;
                } else {
                    std::memcpy(top, p, bytes);
                }
            }
            p += bytes;
        }
        if (firstSkip + covered > width) return false;

        const size_t uncovered = width - firstSkip - covered;
        const size_t skips = (uncovered + kMaxSkip - 1) / kMaxSkip;  // 0 when nothing is uncovered
        const size_t extraSkips = skips > 1 ? skips - 1 : 0;
        if (extraSkips > leadingSkips) {
            if (opaque) return false;
        } else if (Write) {
            // The first pushed tokens, at the stack's end, are the leading skips
            // that make room for the extra ones.
            BYTE *d = writeSkips(rowStart, uncovered);
            std::memcpy(d, top, stacked - extraSkips * kSkipBytes);
        }
        const bool last = p[1] == kEndOfImage;
        p += 2;
        rows++;
        if (last) return true;
    }
    return true;
}

}  // namespace

void MirrorSpriteImage(HSPRITEDATA image, BYTE *stackEnd)
{
    DIImage im;
    if (!isDIRecord(image) || !readDIImage(image, im)) return;
    if (!(im.flags & VEK_IMAGE_MIRRORABLE)) return;
    const bool isRaw = im.compression == BI_RGB, isRle = im.compression == BI_RLE8;
    if (isRaw || isRle) {
        if (im.bitCount != 8 || !im.hasDrawableSize()) return;
        if (isRaw ? !im.rawRowsFit() : !mirrorRleRows<false>(im, stackEnd)) return;
    }
    put16(image, rec::kFlags, static_cast<uint16_t>(im.flags ^ VEK_IMAGE_MIRRORED));
    if (isRaw)
        mirrorRawRows(im);
    else if (isRle)
        mirrorRleRows<true>(im, stackEnd);
}

void mirrorOnDemand(HSPRITEDATA image, LONG mirror)
{
    DIImage im;
    if (!isDIRecord(image) || !readDIImage(image, im)) return;
    if ((im.flags & VEK_IMAGE_MIRRORABLE) && ((im.flags & VEK_IMAGE_MIRRORED) != 0) != (mirror != 0))
        vekFlipSprite(image);
}

}  // namespace vek

LONG VEKAPI vekFlipSprite(HSPRITEDATA image)
{
    if (!image) return 0;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, vek::kMirrorStackBytes);
    if (!mem) return 0;
    if (auto *stack = static_cast<BYTE *>(GlobalLock(mem))) {
        vek::MirrorSpriteImage(image, stack + vek::kMirrorStackBytes);
        GlobalUnlock(mem);
    }
    GlobalFree(mem);
    return 0;
}
