// The fields of a tile map: an application-owned array of 12-byte entries
// of six signed 16-bit little-endian values, read here by name.
//
//   entry 0 (header)  background colour (0..255, anything else: none),
//                     index of the last tile entry, skip count (tiles start
//                     at entry skip count + 1; the colour is used only when
//                     the skip count is 0 or less), three values not read
//   entries 1..       not read, left, top, right, bottom (world coordinates,
//                     right and bottom exclusive), index of the tile's image
//                     in the context's image table
#pragma once

#include <vekkit/records.h>

#include <cstddef>

#include "common/le.h"

namespace vek {

namespace tilemap {
constexpr size_t kEntryBytes = 12;
constexpr size_t kColour = 0, kLastTile = 2, kSkipCount = 4;                 // header
constexpr size_t kLeft = 2, kTop = 4, kRight = 6, kBottom = 8, kImage = 10;  // tile
}  // namespace tilemap

struct TileMapHeader {
    LONG colour, lastTile, skipCount;
};

struct Tile {
    LONG left, top, right, bottom, image;
};

inline TileMapHeader tileMapHeader(const VEKTILE *map)
{
    const auto *b = reinterpret_cast<const BYTE *>(map);
    return TileMapHeader{i16(b, tilemap::kColour), i16(b, tilemap::kLastTile), i16(b, tilemap::kSkipCount)};
}

// Entry index (1 or more) of the map.
inline Tile tileAt(const VEKTILE *map, LONG index)
{
    const BYTE *b = reinterpret_cast<const BYTE *>(map) + static_cast<size_t>(index) * tilemap::kEntryBytes;
    return Tile{i16(b, tilemap::kLeft), i16(b, tilemap::kTop), i16(b, tilemap::kRight), i16(b, tilemap::kBottom),
                i16(b, tilemap::kImage)};
}

inline void setTileMapColour(VEKTILE *map, SHORT colour)
{
    put16(reinterpret_cast<BYTE *>(map), tilemap::kColour, static_cast<uint16_t>(colour));
}

}  // namespace vek
