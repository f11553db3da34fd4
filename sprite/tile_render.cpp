// The tile renderer.
//
// A tile map is an application-owned array of 12-byte entries of six signed
// 16-bit little-endian values. Entry 0 is the header: background colour
// (0..255, anything else for none), index of the last tile entry, skip count
// (tiles start at entry skip count + 1; the colour is used only when the
// skip count is 0 or less). Entries 1.. are tiles: (not read), left, top,
// right, bottom (world coordinates, right and bottom exclusive) and the index
// of the tile's image in the context's image table. A tile is drawn when its
// rectangle overlaps what is rendered; its image decides the drawn size.
//
// The background image is a wrap-around buffer: buffer column
// (wrap x + i) mod width shows world column scroll x + i, and the same for
// rows.
#include <vekkit/raster.h>

#include <algorithm>
#include <cstdint>

#include "common/le.h"
#include "common/saturate.h"
#include "raster/blit.h"
#include "raster/dispatch.h"
#include "sprite/tile_render.h"

namespace {

using vek::addSat;
using vek::saturate;
using vek::subSat;

constexpr size_t kEntryBytes = 12;

// One piece that does not wrap: world (wx, wy), buffer (bx, by), w x h.
void renderPiece(LPVEKCONTEXT ctx, LONG wx, LONG wy, LONG bx, LONG by, LONG w, LONG h)
{
    const BYTE *map = reinterpret_cast<const BYTE *>(ctx->tileMap);
    const LONG colour = vek::i16(map, 0), last = vek::i16(map, 2), skip = vek::i16(map, 4);
    HSPRITEDATA buffer = ctx->backgroundImage;
    if (skip <= 0 && colour >= 0 && colour <= 255) vekSpriteFillEx(buffer, bx, by, w, h, colour, ctx->palette);
    if (!ctx->imageTable) return;
    for (LONG e = std::max(skip + 1, LONG{1}); e <= last; e++) {
        const BYTE *tile = map + static_cast<size_t>(e) * kEntryBytes;
        const LONG left = vek::i16(tile, 2), top = vek::i16(tile, 4);
        const LONG right = vek::i16(tile, 6), bottom = vek::i16(tile, 8), index = vek::i16(tile, 10);
        if (!(right > wx && int64_t{wx} + w > left && bottom > wy && int64_t{wy} + h > top) || index < 0) continue;
        HSPRITEDATA image = ctx->imageTable[index];
        if (!image) continue;
        // The tile's part inside the piece; the blitter clips to the image.
        const vek::AxisPiece px = vek::placePiece(wx, bx, w, left), py = vek::placePiece(wy, by, h, top);
        vek::SpriteBltDispatch(ctx, buffer, saturate(px.at), saturate(py.at), saturate(px.size), saturate(py.size),
                               image, saturate(px.from), saturate(py.from), 0, nullptr);
    }
}

// Splits a column piece where the buffer's rows wrap.
void renderColumn(LPVEKCONTEXT ctx, LONG wx, LONG wy, LONG bx, LONG by, LONG w, LONG h)
{
    if (int64_t{by} + h <= ctx->backgroundHeight) {
        renderPiece(ctx, wx, wy, bx, by, w, h);
        return;
    }
    const LONG h1 = subSat(ctx->backgroundHeight, by);
    renderPiece(ctx, wx, wy, bx, by, w, h1);
    renderPiece(ctx, wx, addSat(wy, h1), bx, 0, w, subSat(h, h1));
}

}  // namespace

namespace vek {

void renderTiles(LPVEKCONTEXT ctx, LONG worldX, LONG worldY, LONG bufferX, LONG bufferY, LONG width, LONG height)
{
    if (!ctx->tileMap || !ctx->backgroundImage || width <= 0 || height <= 0) return;
    if (int64_t{bufferX} + width <= ctx->backgroundWidth) {
        renderColumn(ctx, worldX, worldY, bufferX, bufferY, width, height);
        return;
    }
    const LONG w1 = subSat(ctx->backgroundWidth, bufferX);
    renderColumn(ctx, worldX, worldY, bufferX, bufferY, w1, height);
    renderColumn(ctx, addSat(worldX, w1), worldY, 0, bufferY, subSat(width, w1), height);
}

}  // namespace vek
