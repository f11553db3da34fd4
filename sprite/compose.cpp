// The rectangle composer: one playfield rectangle is composed in the
// off-screen image at (0, 0), background first and then every sprite that
// reaches into it in draw-list order, and copied to the window in one call.
#include <vekkit/raster.h>

#include <algorithm>
#include <cstdint>

#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"
#include "raster/fill.h"
#include "record/dd_record.h"
#include "sprite/compose.h"
#include "sprite/sprite_grid.h"
#include "sprite/wrap_split.h"

namespace {

bool strictlyOverlaps(const RECT &a, const RECT &b)
{
    return a.right > b.left && b.top < a.bottom && b.right > a.left && a.top < b.bottom;
}

// The background of playfield rectangle r (w x h) from the wrapped buffer:
// up to two column ranges, each split into up to two row ranges. A range
// longer than the buffer (a rectangle reaching past the background) stays
// whole, cut by the blit at the buffer's edge.
void copyWrapped(LPVEKCONTEXT ctx, const RECT &r, LONG w, LONG h)
{
    using namespace vek;
    for (const WrapPiece &c : splitWrapped(int64_t{r.left} + ctx->wrapX, w, ctx->backgroundWidth, WrapStart::Once,
                                           LongRange::Whole))
        for (const WrapPiece &row : splitWrapped(int64_t{r.top} + ctx->wrapY, h, ctx->backgroundHeight,
                                                 WrapStart::Once, LongRange::Whole))
            SpriteBltCore(ctx->offscreen, saturate(c.at), saturate(row.at), saturate(c.length), saturate(row.length),
                          ctx->backgroundImage, saturate(c.from), saturate(row.from), 0);
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
    HGDIOBJ old = SelectObject(memory, ddImage(image));
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
void composePiece(LPVEKCONTEXT ctx, ComposeSelector selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width,
                  LONG height, SpriteGrid *grid)
{
    const LONG w = saturate(widthOf(r)), h = saturate(heightOf(r));
    restoreBackground(ctx, r, w, h);

    // A DD off-screen image cannot honour transforms: its sprites go through
    // the GDI without one.
    const bool dd = ctx->options & VEK_OPTION_DD_OFFSCREEN;
    auto draw = [&](LONG k) __attribute__((always_inline)) {
        LPVEKSPRITE t = ctx->drawList[k];
        if ((t->stateFlags & VEK_SPRITE_DELETED) || !t->shownImage || !t->image) return;
        const LONG mirror = t->anchorFlags & VEK_ANCHOR_MIRROR;
        LPVEKSPRITE transformed = dd ? nullptr : t;
        const ComposeSelector::Place place = selector.placeOf(k);
        if (place == ComposeSelector::Place::Selected) {
            SpriteBltDispatch(ctx, ctx->offscreen, x, y, width, height, t->image, 0, 0, mirror, transformed);
            t->shownImage = t->image;
            return;
        }
        const bool atTarget = place == ComposeSelector::Place::Target;
        const RECT &at = atTarget ? t->target : t->shown;
        if (strictlyOverlaps(at, r))
            SpriteBltDispatch(ctx, ctx->offscreen, subSat(at.left, r.left), subSat(at.top, r.top),
                              saturate(widthOf(at)), saturate(heightOf(at)), atTarget ? t->image : t->shownImage, 0,
                              0, mirror, transformed);
    };
    if (!grid) {
        for (LONG k = 0; k < ctx->spriteCount; k++) draw(k);
    } else {
        // The sprites near the piece, and the selected one wherever it is,
        // in draw-list order.
        LONG selected = selector.selected();
        for (LONG k : grid->around(r)) {
            if (selected >= 0 && selected <= k) {
                if (selected < k) draw(selected);
                selected = -1;
            }
            draw(k);
        }
        if (selected >= 0) draw(selected);
    }
    showImage(dc, addSat(ctx->originX, r.left), addSat(ctx->originY, r.top), w, h, ctx->offscreen, 0, 0);
}

}  // namespace

void composeRect(LPVEKCONTEXT ctx, ComposeSelector selector, HDC dc, const RECT &r, LONG x, LONG y, LONG width,
                 LONG height, SpriteGrid *grid)
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
                         width, height, grid);
        }
}

}  // namespace vek
