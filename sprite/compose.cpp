// The rectangle composer: one playfield rectangle is composed in the
// off-screen image at (0, 0), background first and then every sprite that
// reaches into it in draw-list order, and copied to the window in one call.
#include <vekkit/raster.h>

#include <algorithm>

#include "common/image_layout.h"
#include "common/le.h"
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
    const LONG height = ctx->backgroundHeight;
    LONG r = top + ctx->wrapY;
    if (r > height) r -= height;
    LONG e = r + h;
    if (e > height) e -= height;
    if (e > r) {
        vek::SpriteBltCore(ctx->offscreen, dstX, 0, w, h, ctx->backgroundImage, column, r, 0);
        return;
    }
    // e = r means the range covers the whole buffer height from r: it wraps
    // as well.
    const LONG q = height - r;
    vek::SpriteBltCore(ctx->offscreen, dstX, 0, w, q, ctx->backgroundImage, column, r, 0);
    vek::SpriteBltCore(ctx->offscreen, dstX, q, w, h - q, ctx->backgroundImage, column, 0, 0);
}

// The background of playfield rectangle r (w x h) from the wrapped buffer.
void copyWrapped(LPVEKCONTEXT ctx, const RECT &r, LONG w, LONG h)
{
    const LONG width = ctx->backgroundWidth;
    LONG c = r.left + ctx->wrapX;
    if (c > width) c -= width;
    LONG e = c + w;
    if (e > width) e -= width;
    if (e > c) {
        copyWrappedRows(ctx, c, 0, w, r.top, h);
        return;
    }
    const LONG p = width - c;
    copyWrappedRows(ctx, c, 0, p, r.top, h);
    copyWrappedRows(ctx, 0, p, w - p, r.top, h);
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
        vek::setFillBrushOrigin(ctx->originX + r.left, ctx->originY + r.top);
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

// Composes a rectangle no larger than the off-screen image.
void composePiece(LPVEKCONTEXT ctx, LONG selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width, LONG height)
{
    const LONG w = r.right - r.left, h = r.bottom - r.top;
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
                SpriteBltDispatch(ctx, ctx->offscreen, at.left - r.left, at.top - r.top, at.right - at.left,
                                  at.bottom - at.top, t->image, 0, 0, mirror, transformed);
        } else {
            const RECT &at = t->shown;
            if (strictlyOverlaps(at, r))
                SpriteBltDispatch(ctx, ctx->offscreen, at.left - r.left, at.top - r.top, at.right - at.left,
                                  at.bottom - at.top, t->shownImage, 0, 0, mirror, transformed);
        }
    }
    showImage(dc, ctx->originX + r.left, ctx->originY + r.top, w, h, ctx->offscreen, 0, 0);
}

}  // namespace

void composeRect(LPVEKCONTEXT ctx, LONG selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width, LONG height)
{
    if (!ctx->offscreen || ctx->offscreenWidth <= 0 || ctx->offscreenHeight <= 0) return;
    // A rectangle larger than the off-screen image (a sprite wider or higher
    // than it) is composed piece by piece.
    for (LONG top = r.top; top < r.bottom; top += ctx->offscreenHeight)
        for (LONG left = r.left; left < r.right; left += ctx->offscreenWidth) {
            const RECT piece{left, top, std::min(left + ctx->offscreenWidth, r.right),
                             std::min(top + ctx->offscreenHeight, r.bottom)};
            composePiece(ctx, selector, dc, piece, x - (left - r.left), y - (top - r.top), width, height);
        }
}

}  // namespace vek
