// The rectangle composer: one playfield rectangle is composed in the
// off-screen image at (0, 0), background first and then every sprite that
// reaches into it in draw-list order, and copied to the window in one call.
#include <vekkit/raster.h>

#include <algorithm>

#include "common/image_layout.h"
#include "common/le.h"
#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"
#include "raster/fill.h"
#include "sprite/compose.h"

namespace {

bool strictlyOverlaps(const RECT &a, const RECT &b)
{
    return a.right > b.left && b.top < a.bottom && b.right > a.left && a.top < b.bottom;
}

// Copies w x h background pixels of buffer columns from column on into the
// off-screen image at column dstX, rows from playfield row top on, splitting
// where the buffer's rows wrap around.
void copyWrappedRows(LPVEKCONTEXT ctx, LONG column, LONG dstX, LONG w, LONG top, LONG h)
{
    const int64_t height = ctx->backgroundHeight;
    int64_t r = int64_t{top} + ctx->wrapY;
    if (r > height) r -= height;
    int64_t e = r + h;
    if (e > height) e -= height;
    const LONG row = vek::saturate(r);
    if (e > r) {
        vek::SpriteBltCore(ctx->offscreen, dstX, 0, w, h, ctx->backgroundImage, column, row, 0);
        return;
    }
    // e = r means the range covers the whole buffer height from r: it wraps
    // as well.
    const LONG q = vek::saturate(height - r);
    vek::SpriteBltCore(ctx->offscreen, dstX, 0, w, q, ctx->backgroundImage, column, row, 0);
    vek::SpriteBltCore(ctx->offscreen, dstX, q, w, vek::subSat(h, q), ctx->backgroundImage, column, 0, 0);
}

// The background of playfield rectangle r (w x h) from the wrapped buffer.
void copyWrapped(LPVEKCONTEXT ctx, const RECT &r, LONG w, LONG h)
{
    const int64_t width = ctx->backgroundWidth;
    int64_t c = int64_t{r.left} + ctx->wrapX;
    if (c > width) c -= width;
    int64_t e = c + w;
    if (e > width) e -= width;
    const LONG column = vek::saturate(c);
    if (e > c) {
        copyWrappedRows(ctx, column, 0, w, r.top, h);
        return;
    }
    const LONG p = vek::saturate(width - c);
    copyWrappedRows(ctx, column, 0, p, r.top, h);
    copyWrappedRows(ctx, 0, p, vek::subSat(w, p), r.top, h);
}

void restoreBackground(LPVEKCONTEXT ctx, const RECT &r, LONG w, LONG h)
{
    const bool dd = ctx->options & VEK_OPTION_DD_OFFSCREEN;
    if (ctx->backgroundImage) {
        if (!dd && (ctx->options & VEK_OPTION_TILEMAP) && (ctx->wrapX || ctx->wrapY))
            copyWrapped(ctx, r, w, h);
        else
            vek::SpriteBltDispatch(ctx, ctx->offscreen, 0, 0, w, h, ctx->backgroundImage, r.left, r.top, 0, nullptr);
    } else if (dd) {
        // The brush pattern lines up with the window, not with the image.
        vek::setFillBrushOrigin(int64_t{ctx->originX} + r.left, int64_t{ctx->originY} + r.top);
        vekSpriteFillEx(ctx->offscreen, 0, 0, w, h, static_cast<LONG>(ctx->backgroundColor), ctx->palette);
    } else {
        vekSpriteFill(ctx->offscreen, 0, 0, w, h, static_cast<LONG>(ctx->backgroundColor));
    }
}

}  // namespace

namespace vek {

void showImage(HDC dc, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA image, LONG srcX, LONG srcY)
{
    if (!isDDRecord(image)) {
        vekDIBBlt(dc, x, y, width, height, image, srcX, srcY);
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, reinterpret_cast<HBITMAP>(static_cast<ULONG_PTR>(u32(image, rec::kImage))));
    BitBlt(dc, x, y, width, height, memory, srcX, srcY, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

namespace {

using vek::addSat;
using vek::heightOf;
using vek::saturate;
using vek::subSat;
using vek::widthOf;

// Composes a rectangle no larger than the off-screen image.
void composePiece(LPVEKCONTEXT ctx, LONG selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width, LONG height)
{
    const LONG w = saturate(widthOf(r)), h = saturate(heightOf(r));
    restoreBackground(ctx, r, w, h);

    // A DD off-screen image cannot honour transforms: its sprites go through
    // the GDI without one.
    const bool dd = ctx->options & VEK_OPTION_DD_OFFSCREEN;
    const bool atTarget = selector != kComposeAllShown;
    for (LONG k = 0; k < ctx->spriteCount; k++) {
        LPVEKSPRITE t = ctx->drawList[k];
        if ((t->stateFlags & VEK_SPRITE_DELETED) || !t->shownImage || !t->image) continue;
        const LONG mirror = t->anchorFlags & VEK_ANCHOR_MIRROR;
        LPVEKSPRITE transformed = dd ? nullptr : t;
        if (k == selector) {
            SpriteBltDispatch(ctx, ctx->offscreen, x, y, width, height, t->image, 0, 0, mirror, transformed);
            t->shownImage = t->image;
        } else if (atTarget && k <= -1 - selector) {
            const RECT &at = t->target;
            if (strictlyOverlaps(at, r))
                SpriteBltDispatch(ctx, ctx->offscreen, subSat(at.left, r.left), subSat(at.top, r.top),
                                  saturate(widthOf(at)), saturate(heightOf(at)), t->image, 0, 0, mirror, transformed);
        } else {
            const RECT &at = t->shown;
            if (strictlyOverlaps(at, r))
                SpriteBltDispatch(ctx, ctx->offscreen, subSat(at.left, r.left), subSat(at.top, r.top),
                                  saturate(widthOf(at)), saturate(heightOf(at)), t->shownImage, 0, 0, mirror,
                                  transformed);
        }
    }
    showImage(dc, addSat(ctx->originX, r.left), addSat(ctx->originY, r.top), w, h, ctx->offscreen, 0, 0);
}

}  // namespace

void composeRect(LPVEKCONTEXT ctx, LONG selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width, LONG height)
{
    if (!ctx->offscreen || ctx->offscreenWidth <= 0 || ctx->offscreenHeight <= 0) return;
    // A rectangle larger than the off-screen image (a sprite wider or higher
    // than it) is composed piece by piece.
    for (int64_t top = r.top; top < r.bottom; top += ctx->offscreenHeight)
        for (int64_t left = r.left; left < r.right; left += ctx->offscreenWidth) {
            const RECT piece{static_cast<LONG>(left), static_cast<LONG>(top),
                             static_cast<LONG>(std::min<int64_t>(left + ctx->offscreenWidth, r.right)),
                             static_cast<LONG>(std::min<int64_t>(top + ctx->offscreenHeight, r.bottom))};
            composePiece(ctx, selector, dc, piece, saturate(x - (left - r.left)), saturate(y - (top - r.top)),
                         width, height);
        }
}

}  // namespace vek
