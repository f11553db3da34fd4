// The frame update: brings a window up to date with its sprite context.
//
// Every changed sprite is repainted through the rectangle that covers where
// it was shown and where it goes; changed sprites closer than 4 pixels are
// merged into one rectangle while the result still fits the off-screen
// image, and a sprite that moved too far for that is composed at both
// places separately. Only a changed background, a moved origin or a scroll
// repaints the whole visible area: at once through the off-screen image when
// it covers the background, else by painting the background straight into
// the window and then every sprite.
//
// Rectangles are playfield rectangles (right and bottom exclusive) unless
// said otherwise; playfield (x, y) shows at window (x, y) + origin. Their
// sizes, unions and moves are worked out in 64 bits (common/saturate.h), so
// sprites, origins and clip rectangles anywhere in the 32-bit range are safe;
// and whatever is composed lies inside the window's client area, the only
// place where it can be seen.
#include <vekkit/raster.h>
#include <vekkit/sprite.h>

#include <algorithm>

#include "common/saturate.h"
#include "sprite/compose.h"
#include "sprite/drawlist.h"
#include "sprite/frame_update.h"
#include "sprite/tile_render.h"
#include "sprite/wrap_split.h"

namespace {

using vek::addSat;
using vek::ComposeSelector;
using vek::heightOf;
using vek::saturate;
using vek::subSat;
using vek::widthOf;

// Set while scrolling lets the window repaint itself.
bool scrollInProgress = false;

// A rectangle whose right or bottom is below 1 stands for no rectangle (a
// sprite not shown yet, or one placed wholly above or left of the field).
bool present(const RECT &r)
{
    return r.right >= 1 && r.bottom >= 1;
}

// The union of a and b where an absent rectangle drops out; b alone when
// neither is present.
RECT combine(const RECT &a, const RECT &b)
{
    if (!present(a)) return b;
    if (!present(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT combinedRect(const VEKSPRITE &s)
{
    return combine(s.target, s.shown);
}

// Touching V's right or bottom edge counts as meeting it.
bool meets(const RECT &r, const RECT &v)
{
    return !(v.left >= r.right || v.top >= r.bottom || v.right < r.left || v.bottom < r.top);
}

// Overlapping, or less than 4 pixels apart on both axes.
bool nearby(const RECT &a, const RECT &b)
{
    constexpr int64_t kNear = 4;
    return a.right + kNear > b.left && a.bottom + kNear > b.top && b.right + kNear > a.left &&
           b.bottom + kNear > a.top;
}

bool fits(const VEKCONTEXT &ctx, const RECT &r)
{
    return widthOf(r) <= ctx.offscreenWidth && heightOf(r) <= ctx.offscreenHeight;
}

RECT clipTo(const RECT &r, const RECT &clip)
{
    RECT c{std::max(r.left, clip.left), std::max(r.top, clip.top), std::min(r.right, clip.right),
           std::min(r.bottom, clip.bottom)};
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

bool empty(const RECT &r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Paints the background of the visible area v straight into the window: the
// buffer unwrapped for a tile-mapped world, else the background image, else
// the background brush.
void paintBackground(LPVEKCONTEXT ctx, HDC dc, const RECT &v)
{
    const LONG ox = ctx->originX, oy = ctx->originY;
    if (!ctx->backgroundImage) {
        const RECT fill = vek::offsetSat(v, ox, oy);
        FillRect(dc, &fill, ctx->backgroundBrush);
        return;
    }
    const LONG width = saturate(widthOf(v)), height = saturate(heightOf(v));
    if (!(ctx->options & VEK_OPTION_TILEMAP)) {
        vek::showImage(dc, addSat(ox, v.left), addSat(oy, v.top), width, height, ctx->backgroundImage, v.left, v.top);
        return;
    }
    // Playfield column x sits in buffer column (x + wrap x) mod width: at
    // most two column ranges, each split into at most two row ranges.
    if (ctx->backgroundWidth <= 0 || ctx->backgroundHeight <= 0) return;
    using vek::WrapPiece;
    for (const WrapPiece &c : vek::splitWrapped(int64_t{v.left} + ctx->wrapX, width, ctx->backgroundWidth,
                                                vek::WrapStart::Modulo, vek::LongRange::Split))
        for (const WrapPiece &r : vek::splitWrapped(int64_t{v.top} + ctx->wrapY, height, ctx->backgroundHeight,
                                                    vek::WrapStart::Modulo, vek::LongRange::Split))
            vek::showImage(dc, saturate(int64_t{ox} + v.left + c.at), saturate(int64_t{oy} + v.top + r.at),
                           saturate(c.length), saturate(r.length), ctx->backgroundImage, saturate(c.from),
                           saturate(r.from));
}

// Repaints the sprites that changed, merging neighbours.
void repaintChanged(LPVEKCONTEXT ctx, HDC dc, const RECT &v, const RECT &clip)
{
    for (LONG i = 0; i < ctx->spriteCount; i++) {
        LPVEKSPRITE s = ctx->drawList[i];
        if (!(s->stateFlags & VEK_SPRITE_CHANGED)) continue;
        RECT r = combinedRect(*s);
        s->stateFlags &= ~VEK_SPRITE_CHANGED;
        if (!meets(r, v)) continue;  // keeps its shown rectangle for the next move

        if (!fits(*ctx, r)) {
            // Too far apart to compose at once: the new place with the sprite,
            // then the old place without it.
            const RECT at = clipTo(s->target, clip);
            if (!empty(at))
                vek::composeRect(ctx, ComposeSelector::moved(i), dc, at, subSat(s->target.left, at.left),
                                 subSat(s->target.top, at.top),
                                 saturate(widthOf(s->target)), saturate(heightOf(s->target)));
            const RECT was = clipTo(s->shown, clip);
            if (!empty(was)) vek::composeRect(ctx, ComposeSelector::left(i), dc, was, 0, 0, 0, 0);
            s->shown = s->target;
            s->shownImage = s->image;
            continue;
        }

        LONG best = i;
        LPVEKSPRITE current = s;
        for (LONG j = i + 1; j < ctx->spriteCount; j++) {
            LPVEKSPRITE t = ctx->drawList[j];
            if (!(t->stateFlags & VEK_SPRITE_CHANGED)) continue;
            const RECT r2 = combinedRect(*t);
            if (!meets(r2, v) || !nearby(r, r2)) continue;
            const RECT r3 = combine(r2, r);
            if (!meets(r3, v) || !fits(*ctx, r3)) continue;
            // The sprite merged before is drawn at its new place from now on.
            current->shown = current->target;
            current->shownImage = current->image;
            best = j;
            r = r3;
            current = t;
            t->stateFlags &= ~VEK_SPRITE_CHANGED;
            j = i;  // the grown rectangle may now reach sprites passed over
        }
        const RECT at = clipTo(r, clip);
        vek::composeRect(ctx, ComposeSelector::moved(best), dc, at, subSat(current->target.left, at.left),
                         subSat(current->target.top, at.top), saturate(widthOf(current->target)),
                         saturate(heightOf(current->target)));
        current->shown = current->target;
        current->shownImage = current->image;
    }
}

void compose(LPVEKCONTEXT ctx, HDC dc, const RECT &v, const RECT &clip)
{
    if (ctx->updateFlags & VEK_UPDATE_BACKGROUND) ctx->updateFlags |= VEK_UPDATE_REPAINT;
    bool windowRepainted = false;
    if (ctx->updateFlags & (VEK_UPDATE_REPAINT | VEK_UPDATE_SCROLLED)) {
        if ((ctx->updateFlags & VEK_UPDATE_BACKGROUND) && ctx->backgroundImage &&
            (ctx->options & VEK_OPTION_TILEMAP)) {
            ctx->wrapX = ctx->wrapY = 0;
            vek::renderTiles(ctx, ctx->scrollX, ctx->scrollY, 0, 0, ctx->backgroundWidth, ctx->backgroundHeight);
        }
        for (LONG i = 0; i < ctx->spriteCount; i++) {
            LPVEKSPRITE s = ctx->drawList[i];
            s->stateFlags |= VEK_SPRITE_CHANGED;
            s->shown = s->target;
            s->shownImage = s->image;
        }
        if (ctx->offscreenWidth >= ctx->backgroundWidth && ctx->backgroundHeight <= ctx->offscreenHeight) {
            // The off-screen image holds the whole field: one composition.
            for (LONG i = 0; i < ctx->spriteCount; i++) ctx->drawList[i]->stateFlags &= ~VEK_SPRITE_CHANGED;
            vek::releaseDeletedSprites(ctx);
            vek::composeRect(ctx, ComposeSelector::allAtTarget(), dc, clipTo(v, clip), 0, 0, 0, 0);
            ctx->updateFlags = 0;
            return;
        }
        paintBackground(ctx, dc, v);
        windowRepainted = true;
    }

    // Deleted sprites: where they were shown is composed without them, unless
    // the whole window was just painted. The clip box is in window
    // coordinates, so the shown rectangle is moved by the origin first.
    RECT box{};
    GetClipBox(dc, &box);
    vek::releaseDeletedSprites(ctx, [&](LPVEKSPRITE s) {
        if (windowRepainted) return;
        const RECT at = vek::offsetSat(s->shown, ctx->originX, ctx->originY);
        if (at.right >= box.left && at.left <= box.right && at.bottom >= box.top && at.top <= box.bottom)
            vek::composeRect(ctx, ComposeSelector::allShown(), dc, clipTo(s->shown, clip), 0, 0, 0, 0);
    });

    repaintChanged(ctx, dc, v, clip);
    ctx->updateFlags = 0;
}

// The window's client area in playfield coordinates.
RECT clientRect(const VEKCONTEXT &ctx)
{
    RECT client{};
    GetClientRect(ctx.window, &client);
    return vek::offsetSat(client, -int64_t{ctx.originX}, -int64_t{ctx.originY});
}

// The visible rectangle: the part of the playfield that the window's client
// area shows. A negative origin shows the playfield from -origin on.
RECT visibleRect(const VEKCONTEXT &ctx)
{
    RECT client{};
    GetClientRect(ctx.window, &client);
    RECT v{0, 0, client.right, client.bottom};
    if (ctx.originX < 0) {
        v.left = subSat(0, ctx.originX);
        v.right = subSat(client.right, ctx.originX);
    }
    if (ctx.originY < 0) {
        v.top = subSat(0, ctx.originY);
        v.bottom = subSat(client.bottom, ctx.originY);
    }
    v.right = std::min(v.right, ctx.backgroundWidth);
    v.bottom = std::min(v.bottom, ctx.backgroundHeight);
    return v;
}

}  // namespace

namespace vek {

void setScrollInProgress(bool inProgress)
{
    scrollInProgress = inProgress;
}

}  // namespace vek

void VEKAPI vekUpdateSpriteContext(LPVEKCONTEXT ctx, HDC dc)
{
    if (!ctx) return;
    const RECT v = visibleRect(*ctx);
    compose(ctx, dc, v, v);
}

void VEKAPI vekUpdateSpriteContextClipped(LPVEKCONTEXT ctx, HDC dc, LPRECT clip)
{
    if (!ctx) return;
    const RECT v = visibleRect(*ctx);
    // Nothing outside the client area can be shown: the caller's clip
    // rectangle is cut to it, which also bounds what a far sprite costs.
    compose(ctx, dc, v, clip ? clipTo(*clip, clientRect(*ctx)) : v);
}

void VEKAPI vekRedrawSpriteContext(LPVEKCONTEXT ctx, HDC dc)
{
    if (!ctx) return;
    if (!scrollInProgress) ctx->updateFlags |= VEK_UPDATE_REPAINT;
    vekUpdateSpriteContext(ctx, dc);
}
