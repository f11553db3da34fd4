// Scrolling a tile-mapped world.
//
// The background image is a wrap-around buffer holding the view: buffer
// column (wrap x + i) mod width shows world column scroll x + i, and the same
// for rows. A small move renders only the newly exposed strips where they
// wrap around and moves the sprites the other way; a move larger than the
// view, a world smaller than the view, a changed background or the
// full-render option renders the whole buffer again, unwrapped. Either way
// the next frame update repaints the whole visible area.
//
// Moves of any size are worked out in 64 bits: the view stops at the
// world's edges whatever the move, and sprites moved past the 32-bit range
// stop at its end (common/saturate.h).
#include <vekkit/raster.h>
#include <vekkit/sprite.h>

#include <cstdint>
#include <cstdlib>

#include "common/saturate.h"
#include "sprite/frame_update.h"
#include "sprite/tile_map.h"
#include "sprite/tile_render.h"
#include "sprite/wrap_split.h"

namespace {

DWORD packMove(LONG dx, LONG dy)
{
    return (static_cast<DWORD>(dy & 0xFFFF) << 16) | static_cast<DWORD>(dx & 0xFFFF);
}

void moveSprite(VEKSPRITE &s, LONG dx, LONG dy)
{
    s.x = vek::subSat(s.x, dx);
    s.y = vek::subSat(s.y, dy);
    s.shown = vek::offsetSat(s.shown, -int64_t{dx}, -int64_t{dy});
    s.target = vek::offsetSat(s.target, -int64_t{dx}, -int64_t{dy});
}

void setClassBrush(HWND window, int stockBrush)
{
    SetClassLongPtrA(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetStockObject(stockBrush)));
}

// After a strip scroll the sprites keep their window positions, except those
// whose y is -1, which stay fixed in the window. While they move the window
// does not erase its background, and a redraw asks for no full repaint.
void moveSpritesWithView(LPVEKCONTEXT ctx, LONG dx, LONG dy)
{
    setClassBrush(ctx->window, NULL_BRUSH);
    ctx->updateFlags |= VEK_UPDATE_SCROLLED;
    vek::setScrollInProgress(true);
    for (LONG i = 0; i < ctx->spriteCount; i++) {
        VEKSPRITE &s = *ctx->drawList[i];
        if (s.y != -1) moveSprite(s, dx, dy);
    }
    setClassBrush(ctx->window, WHITE_BRUSH);
    vek::setScrollInProgress(false);
}

// Updates the window now, through dc or, without one, through the window's
// own device context with the context's palette realised in it.
void updateNow(LPVEKCONTEXT ctx, HDC dc)
{
    if (dc) {
        vekUpdateSpriteContext(ctx, dc);
        return;
    }
    HDC own = GetDC(ctx->window);
    HPALETTE old = nullptr;
    if (ctx->palette) {
        old = SelectPalette(own, ctx->palette, FALSE);
        RealizePalette(own);
    }
    vekUpdateSpriteContext(ctx, own);
    if (ctx->palette) SelectPalette(own, old, FALSE);
    ReleaseDC(ctx->window, own);
}

// Renders the whole buffer for the view at (nx, ny); a world smaller than
// the buffer (vw x vh) leaves the rest in the map's colour.
void renderAll(LPVEKCONTEXT ctx, LONG nx, LONG ny, LONG vw, LONG vh, bool forced)
{
    const LONG width = ctx->backgroundWidth, height = ctx->backgroundHeight;
    if (!forced || !ctx->tileMap) {
        vek::renderTiles(ctx, nx, ny, 0, 0, width, height);
        return;
    }
    const LONG colour = vek::tileMapHeader(ctx->tileMap).colour;
    vekSpriteFillEx(ctx->backgroundImage, 0, 0, width, height, colour >= 0 && colour <= 255 ? colour : 0,
                    ctx->palette);
    // The world is drawn over that colour, so the map's own fill is held off.
    vek::setTileMapColour(ctx->tileMap, 256);
    vek::renderTiles(ctx, nx, ny, 0, 0, vw, vh);
    vek::setTileMapColour(ctx->tileMap, static_cast<SHORT>(colour));
}

// The new view position for a move by d from pos, kept inside the world;
// d becomes the move actually made.
LONG clampView(LONG pos, LONG &d, LONG view, LONG world)
{
    int64_t n = int64_t{pos} + d;
    if (n < 0)
        n = 0;
    else if (n + view > world)
        n = int64_t{world} - view;
    d = vek::saturate(n - pos);
    return vek::saturate(n);
}

// Where the strip of |d| lines that a move by d exposes goes: its first
// buffer line and first world line, for a view of size lines now at n.
struct Strip {
    LONG buffer, world;
};

Strip advanceWrap(LONG &wrap, LONG d, LONG size, LONG n)
{
    int64_t w = int64_t{wrap} + d, buffer, world;
    if (d > 0) {
        if (w > size) w -= size;
        buffer = w - d;
        world = int64_t{n} + size - d;
    } else {
        if (w < 0) w += size;
        buffer = w;
        world = n;
    }
    wrap = vek::saturate(w);
    return Strip{vek::saturate(vek::wrapStart(buffer, size, vek::WrapStart::Modulo)), vek::saturate(world)};
}

}  // namespace

DWORD VEKAPI vekScrollSpriteContext(LPVEKCONTEXT ctx, HDC dc, LONG dx, LONG dy)
{
    if (!ctx) return 0;
    if (!(ctx->options & VEK_OPTION_TILEMAP)) {
        // No world to scroll: the sprites move and the window repaints.
        vek::setScrollInProgress(true);
        for (LONG i = 0; i < ctx->spriteCount; i++) moveSprite(*ctx->drawList[i], dx, dy);
        UpdateWindow(ctx->window);
        vek::setScrollInProgress(false);
        return 0;
    }
    const LONG width = ctx->backgroundWidth, height = ctx->backgroundHeight;
    LONG vw = width, vh = height;
    LONG nx = clampView(ctx->scrollX, dx, vw, ctx->worldWidth);
    LONG ny = clampView(ctx->scrollY, dy, vh, ctx->worldHeight);
    bool forced = false;
    if (ctx->worldWidth < width) {
        forced = true;
        vw = ctx->worldWidth;
        nx = 0;
    }
    if (height > ctx->worldHeight) {
        forced = true;
        vh = ctx->worldHeight;
        ny = 0;
    }
    if (nx == ctx->scrollX && ny == ctx->scrollY && !forced) return 0;

    const bool full = std::abs(int64_t{dx}) > vw || std::abs(int64_t{dy}) > vh || forced ||
                      (ctx->updateFlags & VEK_UPDATE_BACKGROUND) ||
                      ((ctx->options & VEK_OPTION_FULL_RENDER) && (dx || dy));
    if (full) {
        if (ctx->updateFlags & VEK_UPDATE_BACKGROUND) {
            ctx->updateFlags &= ~VEK_UPDATE_BACKGROUND;
            ctx->updateFlags |= VEK_UPDATE_REPAINT;
        }
        renderAll(ctx, nx, ny, vw, vh, forced);
        ctx->scrollX = nx;
        ctx->scrollY = ny;
        ctx->wrapX = ctx->wrapY = 0;
        ctx->updateFlags |= VEK_UPDATE_REPAINT;
        if (!ctx->redrawSuppressed) updateNow(ctx, dc);
        return packMove(dx, dy);
    }

    // The horizontal strip is rendered for the rows the buffer holds before
    // the vertical step (the old scroll y at the old wrap y), so that after
    // both steps every buffer row still shows the world row it maps to.
    const LONG oldY = ctx->scrollY;
    ctx->scrollX = nx;
    ctx->scrollY = ny;
    if (dx) {
        const Strip strip = advanceWrap(ctx->wrapX, dx, width, nx);
        vek::renderTiles(ctx, strip.world, oldY, strip.buffer, ctx->wrapY, dx > 0 ? dx : -dx, height);
        moveSpritesWithView(ctx, dx, 0);
    }
    if (dy) {
        const Strip strip = advanceWrap(ctx->wrapY, dy, height, ny);
        vek::renderTiles(ctx, nx, strip.world, ctx->wrapX, strip.buffer, width, dy > 0 ? dy : -dy);
        moveSpritesWithView(ctx, 0, dy);
    }
    if (ctx->redrawSuppressed)
        ctx->updateFlags |= VEK_UPDATE_REPAINT;
    else
        UpdateWindow(ctx->window);
    return packMove(dx, dy);
}

DWORD VEKAPI vekScrollSpriteContextAbs(LPVEKCONTEXT ctx, HDC dc, LONG x, LONG y)
{
    if (!ctx) return 0;
    // A move beyond the 32-bit range stops at its end, and the world's edges
    // stop the view long before that.
    return vekScrollSpriteContext(ctx, dc, vek::subSat(x, ctx->scrollX), vek::subSat(y, ctx->scrollY));
}
