// The tile renderer.
//
// A tile map (sprite/tile_map.h) lists world rectangles, each showing one
// image of the context's image table. A tile is drawn when its rectangle
// overlaps what is rendered; its image decides the drawn size.
//
// The background image is a wrap-around buffer (sprite/wrap_split.h): buffer
// column (wrap x + i) mod width shows world column scroll x + i, and the
// same for rows.
#include <vekkit/raster.h>

#include <algorithm>
#include <cstdint>

#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"
#include "sprite/tile_map.h"
#include "sprite/tile_render.h"
#include "sprite/wrap_split.h"

namespace {

using vek::saturate;

// One piece that does not wrap: world (wx, wy), buffer (bx, by), w x h.
void renderPiece(LPVEKCONTEXT ctx, int64_t wx, int64_t wy, int64_t bx, int64_t by, int64_t w, int64_t h)
{
    const vek::TileMapHeader map = vek::tileMapHeader(ctx->tileMap);
    HSPRITEDATA buffer = ctx->backgroundImage;
    if (map.skipCount <= 0 && map.colour >= 0 && map.colour <= 255)
        vekSpriteFillEx(buffer, saturate(bx), saturate(by), saturate(w), saturate(h), map.colour, ctx->palette);
    if (!ctx->imageTable) return;
    for (LONG e = std::max(map.skipCount + 1, LONG{1}); e <= map.lastTile; e++) {
        const vek::Tile tile = vek::tileAt(ctx->tileMap, e);
        if (!(tile.right > wx && wx + w > tile.left && tile.bottom > wy && wy + h > tile.top) || tile.image < 0)
            continue;
        HSPRITEDATA image = ctx->imageTable[tile.image];
        if (!image) continue;
        // The tile's part inside the piece; the blitter clips to the image.
        const vek::AxisPiece px = vek::placePiece(wx, bx, w, tile.left), py = vek::placePiece(wy, by, h, tile.top);
        vek::SpriteBltDispatch(ctx, buffer, saturate(px.at), saturate(py.at), saturate(px.size), saturate(py.size),
                               image, saturate(px.from), saturate(py.from), 0, nullptr);
    }
}

}  // namespace

namespace vek {

void renderTiles(LPVEKCONTEXT ctx, LONG worldX, LONG worldY, LONG bufferX, LONG bufferY, LONG width, LONG height)
{
    if (!ctx->tileMap || !ctx->backgroundImage || width <= 0 || height <= 0) return;
    // Split at the buffer's right edge, then each column piece at its bottom.
    for (const WrapPiece &c :
         splitWrapped(bufferX, width, ctx->backgroundWidth, WrapStart::Once, LongRange::Split))
        for (const WrapPiece &r :
             splitWrapped(bufferY, height, ctx->backgroundHeight, WrapStart::Once, LongRange::Split))
            renderPiece(ctx, worldX + c.at, worldY + r.at, c.from, r.from, c.length, r.length);
}

}  // namespace vek
