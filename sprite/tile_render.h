// The tile renderer: draws rectangles of a tile-mapped world into a
// context's background image, which holds the world's view wrapped around.
#pragma once

#include <vekkit/records.h>

namespace vek {

// Draws the world rectangle at (worldX, worldY), width x height, into the
// background image at (bufferX, bufferY), wrapping at its right and bottom
// edges: the header's background colour first (when the map asks for it),
// then every tile that overlaps the rectangle, in map order.
void renderTiles(LPVEKCONTEXT ctx, LONG worldX, LONG worldY, LONG bufferX, LONG bufferY, LONG width,
                 LONG height);

}  // namespace vek
