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
// The work follows what changed: the compositions are planned first, and
// when they would cost more than composing the visible area once (many
// changed sprites), the visible area is composed and copied once instead;
// the window ends with the same pixels and the sprites in the same state.
// With many sprites, coarse grids (sprite/sprite_grid.h) supply the merge
// candidates and the sprites each composition draws, so that no rectangle
// is tested against every sprite.
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
#include <vector>

#include "common/saturate.h"
#include "sprite/compose.h"
#include "sprite/drawlist.h"
#include "sprite/frame_update.h"
#include "sprite/sprite_grid.h"
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
[[gnu::always_inline]] inline bool present(const RECT &r)
{
    return r.right >= 1 && r.bottom >= 1;
}

// The union of a and b where an absent rectangle drops out; b alone when
// neither is present.
[[gnu::always_inline]] inline RECT combine(const RECT &a, const RECT &b)
{
    if (!present(a)) return b;
    if (!present(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

[[gnu::always_inline]] inline RECT combinedRect(const VEKSPRITE &s)
{
    return combine(s.target, s.shown);
}

// Touching V's right or bottom edge counts as meeting it.
[[gnu::always_inline]] inline bool meets(const RECT &r, const RECT &v)
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

// A sprite repainted at its new place is shown there from now on.
[[gnu::always_inline]] inline void settle(LPVEKSPRITE s)
{
    s->shown = s->target;
    s->shownImage = s->image;
}

// r grown by 4 pixels on every side: what it is near.
RECT nearArea(const RECT &r)
{
    return RECT{subSat(r.left, 4), subSat(r.top, 4), addSat(r.right, 4), addSat(r.bottom, 4)};
}

// With this many sprites, grids find the ones near a rectangle; with fewer,
// looking at each costs less than building them.
constexpr LONG kIndexedSprites = 32;

bool indexed(const VEKCONTEXT &ctx)
{
    return ctx.spriteCount >= kIndexedSprites;
}

// What composing costs, in pixels composed and copied: each composition
// also pays for the calls it makes, and each sprite drawn for its own calls
// and clipping, about as much as these many pixels; without the grids, each
// composition also looks at every sprite, at this much a sprite.
// (Calibrated with bench/frame_update.cpp, where a pixel is about 25 ps.)
constexpr int64_t kCompositionCost = 10000;
constexpr int64_t kSpriteCost = 5000;
constexpr int64_t kScanCost = 200;

// What each composition pays beyond its pixels and the sprites it draws.
int64_t pieceCost(const VEKCONTEXT &ctx)
{
    return kCompositionCost + (indexed(ctx) ? 0 : kScanCost * ctx.spriteCount);
}

// The cost of composing r with the given number of sprites in it.
int64_t compositionCost(const VEKCONTEXT &ctx, const RECT &r, int64_t sprites)
{
    if (empty(r)) return 0;
    const int64_t w = widthOf(r), h = heightOf(r);
    const int64_t pieces = fits(ctx, r) ? 1
                                        : ((w - 1) / std::max<LONG>(ctx.offscreenWidth, 1) + 1) *
                                              ((h - 1) / std::max<LONG>(ctx.offscreenHeight, 1) + 1);
    return w * h + pieceCost(ctx) * pieces + kSpriteCost * sprites;
}

// One composition of the rectangle-by-rectangle repaint. The sprites of
// Repaint::ready up to readyEnd are settled before it, done after it.
struct Composition {
    ComposeSelector selector;
    RECT at;
    LONG x, y, width, height;
    size_t readyEnd;
    LPVEKSPRITE done;
};

// The repaint of one update: the compositions in the order they are made,
// and the indexes that find the sprites near a rectangle. Kept between
// updates so that a frame allocates nothing once the scene has settled.
struct Repaint {
    std::vector<Composition> steps;
    std::vector<LPVEKSPRITE> ready;
    std::vector<LONG> pending;  // changed sprites that may merge, ascending
    vek::SpriteGrid dirty;      // changed sprites by combined rectangle
    vek::SpriteGrid drawn;      // every sprite by its shown and target rectangles
    int64_t cost = 0;           // of the compositions one by one

    void clear()
    {
        steps.clear();
        ready.clear();
        cost = 0;
    }
    void add(const VEKCONTEXT &ctx, ComposeSelector selector, const RECT &at, LONG x = 0, LONG y = 0, LONG width = 0,
             LONG height = 0, LPVEKSPRITE done = nullptr, int64_t sprites = 1)
    {
        steps.push_back(Composition{selector, at, x, y, width, height, ready.size(), done});
        cost += compositionCost(ctx, at, sprites);
    }
};

Repaint &repaintScratch()
{
    thread_local Repaint repaint;
    return repaint;
}

// Merges into seed i (combined rectangle r) the changed sprites after it
// that are near r, as long as the result fits, always taking the first one
// in the draw list that qualifies and looking again from the start after
// each merge, and adds the composition of the merged rectangle. With many
// sprites, the candidates come from the grid of changed sprites.
void mergeNeighbours(LPVEKCONTEXT ctx, Repaint &plan, LONG i, RECT r, const RECT &v, const RECT &clip)
{
    LONG best = i;
    LPVEKSPRITE current = ctx->drawList[i];
    const size_t readyBefore = plan.ready.size();
    enum class Merge { Done, NotYet, Never };
    auto merge = [&](LONG j) __attribute__((always_inline)) {
        LPVEKSPRITE t = ctx->drawList[j];
        if (j <= i || !(t->stateFlags & VEK_SPRITE_CHANGED)) return Merge::Never;
        const RECT r2 = combinedRect(*t);
        if (!meets(r2, v)) return Merge::Never;
        if (!nearby(r, r2)) return Merge::NotYet;  // may come near as r grows
        const RECT r3 = combine(r2, r);
        // r only grows, so a union too large now stays too large.
        if (!meets(r3, v) || !fits(*ctx, r3)) return Merge::Never;
        // The sprite merged before is drawn at its new place from now on.
        plan.ready.push_back(current);
        best = j;
        r = r3;
        current = t;
        t->stateFlags &= ~VEK_SPRITE_CHANGED;
        return Merge::Done;
    };
    if (!indexed(*ctx)) {
        for (LONG j = i + 1; j < ctx->spriteCount; j++)
            if (merge(j) == Merge::Done) j = i;
    } else {
        std::vector<LONG> &pending = plan.pending;
        pending.clear();
        plan.dirty.beginSearch();
        vek::SpriteGrid::Cells seen = vek::SpriteGrid::kNoCells;
        for (bool merged = true; merged;) {
            // Add the candidates of the cells the grown rectangle reaches now.
            const vek::SpriteGrid::Cells reach = plan.dirty.cellsOf(nearArea(r));
            plan.dirty.collect(reach, seen, pending);
            seen = reach;
            std::sort(pending.begin(), pending.end());
            merged = false;
            for (size_t p = 0; p < pending.size() && !merged;) {
                const Merge m = merge(pending[p]);
                if (m == Merge::NotYet) {
                    p++;
                    continue;
                }
                pending.erase(pending.begin() + static_cast<ptrdiff_t>(p));
                merged = m == Merge::Done;
            }
        }
    }
    const RECT at = clipTo(r, clip);
    plan.add(*ctx, ComposeSelector::moved(best), at, subSat(current->target.left, at.left),
             subSat(current->target.top, at.top), saturate(widthOf(current->target)),
             saturate(heightOf(current->target)), current, 1 + static_cast<int64_t>(plan.ready.size() - readyBefore));
}

// Plans the repaint of the sprites that changed, merging neighbours; clears
// their changed bits.
void planChanged(LPVEKCONTEXT ctx, Repaint &plan, const RECT &v, const RECT &clip)
{
    if (indexed(*ctx)) {
        plan.dirty.build(v, ctx->spriteCount, [&](LONG k, RECT &box) {
            const VEKSPRITE &s = *ctx->drawList[k];
            if (!(s.stateFlags & VEK_SPRITE_CHANGED)) return false;
            box = combinedRect(s);
            return meets(box, v);
        });
    }
    for (LONG i = 0; i < ctx->spriteCount; i++) {
        LPVEKSPRITE s = ctx->drawList[i];
        if (!(s->stateFlags & VEK_SPRITE_CHANGED)) continue;
        const RECT r = combinedRect(*s);
        s->stateFlags &= ~VEK_SPRITE_CHANGED;
        if (!meets(r, v)) continue;  // keeps its shown rectangle for the next move

        if (!fits(*ctx, r)) {
            // Too far apart to compose at once: the new place with the sprite,
            // then the old place without it.
            const RECT at = clipTo(s->target, clip);
            plan.add(*ctx, ComposeSelector::moved(i), at, subSat(s->target.left, at.left),
                     subSat(s->target.top, at.top), saturate(widthOf(s->target)), saturate(heightOf(s->target)));
            plan.add(*ctx, ComposeSelector::left(i), clipTo(s->shown, clip), 0, 0, 0, 0, s);
            continue;
        }
        mergeNeighbours(ctx, plan, i, r, v, clip);
    }
}

// Indexes every sprite that can be drawn by its shown and target
// rectangles, for the compositions of this update.
void indexDrawn(LPVEKCONTEXT ctx, Repaint &plan, const RECT &clip)
{
    plan.drawn.build(clip, ctx->spriteCount, [&](LONG k, RECT &box) {
        const VEKSPRITE &s = *ctx->drawList[k];
        box = RECT{std::min(s.shown.left, s.target.left), std::min(s.shown.top, s.target.top),
                   std::max(s.shown.right, s.target.right), std::max(s.shown.bottom, s.target.bottom)};
        return s.image && !(s.stateFlags & VEK_SPRITE_DELETED);
    });
}

// Composes the visible area once, every sprite at its new place, and
// copies it to the window once: there, the pixels that the compositions one
// by one would have left. Sprites end as those compositions leave them.
void composeOnce(LPVEKCONTEXT ctx, HDC dc, Repaint &plan, const RECT &area, const RECT &clip)
{
    for (const Composition &step : plan.steps) {
        if (step.done) settle(step.done);
    }
    for (LPVEKSPRITE s : plan.ready) settle(s);
    // Composed in pieces, the area is drawn from the grid piece by piece.
    vek::SpriteGrid *grid = nullptr;
    if (indexed(*ctx) && !fits(*ctx, area)) {
        indexDrawn(ctx, plan, clip);
        grid = &plan.drawn;
    }
    vek::composeRect(ctx, ComposeSelector::allAtTarget(), dc, area, 0, 0, 0, 0, grid);
}

// Repaints the deleted sprites' places (planned already) and the sprites
// that changed: rectangle by rectangle, or, when that would cost more than
// composing the visible area, that area at once.
void repaintChanged(LPVEKCONTEXT ctx, HDC dc, Repaint &plan, const RECT &v, const RECT &clip)
{
    const RECT whole = clipTo(v, clip);
    const int64_t once = compositionCost(*ctx, whole, ctx->spriteCount);
    // Before merging, each changed sprite whose new place meets the visible
    // area costs at least one composition; when that already reaches the
    // whole, merging is not worth planning. (Sprites that only leave the
    // area are not counted: a bound that is too low only costs planning.)
    // The tests here are the cheapest that give such a bound, as this pass
    // and the one below are what composing once costs beyond a redraw.
    const int64_t least = pieceCost(*ctx) + kSpriteCost;
    int64_t unmerged = plan.cost;
    for (LONG i = 0; i < ctx->spriteCount && unmerged < once; i++) {
        const VEKSPRITE &s = *ctx->drawList[i];
        if ((s.stateFlags & VEK_SPRITE_CHANGED) && meets(s.target, v)) unmerged += least;
    }
    if (unmerged >= once) {
        for (LONG i = 0; i < ctx->spriteCount; i++) {
            LPVEKSPRITE s = ctx->drawList[i];
            if (!(s->stateFlags & VEK_SPRITE_CHANGED)) continue;
            s->stateFlags &= ~VEK_SPRITE_CHANGED;
            if (meets(s->target, v) || meets(combinedRect(*s), v)) settle(s);
        }
        composeOnce(ctx, dc, plan, whole, clip);
        return;
    }

    planChanged(ctx, plan, v, clip);
    if (plan.cost >= once) {
        composeOnce(ctx, dc, plan, whole, clip);
        return;
    }
    vek::SpriteGrid *grid = nullptr;
    if (indexed(*ctx)) {
        indexDrawn(ctx, plan, clip);
        grid = &plan.drawn;
    }
    size_t ready = 0;
    for (const Composition &step : plan.steps) {
        for (; ready < step.readyEnd; ready++) settle(plan.ready[ready]);
        if (!empty(step.at))
            vek::composeRect(ctx, step.selector, dc, step.at, step.x, step.y, step.width, step.height, grid);
        if (step.done) settle(step.done);
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
    // The clip box is asked for at the first deleted sprite: most frames
    // delete none.
    RECT box{};
    bool boxKnown = false;
    Repaint &plan = repaintScratch();
    plan.clear();
    vek::releaseDeletedSprites(ctx, [&](LPVEKSPRITE s) {
        if (windowRepainted) return;
        if (!boxKnown) {
            GetClipBox(dc, &box);
            boxKnown = true;
        }
        const RECT at = vek::offsetSat(s->shown, ctx->originX, ctx->originY);
        if (at.right >= box.left && at.left <= box.right && at.bottom >= box.top && at.top <= box.bottom)
            plan.add(*ctx, ComposeSelector::allShown(), clipTo(s->shown, clip));
    });

    repaintChanged(ctx, dc, plan, v, clip);
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
