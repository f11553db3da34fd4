// Colour maps (256 bytes: entry i is the new value of pixel value i) and the
// identity index table that mapped images are shown through.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/image_layout.h"
#include "common/le.h"

namespace vek {

constexpr size_t kColourTableBytes = 256 * 4;  // 256 RGBQUADs
constexpr size_t kIndexTableBytes = 256 * 2;   // 256 u16 palette indices

// Replaces each of count bytes b by map[b].
inline void translate(const BYTE *map, BYTE *bytes, size_t count)
{
    for (size_t i = 0; i < count; i++) bytes[i] = map[bytes[i]];
}

inline bool isIdentity(const BYTE *map)
{
    for (int i = 0; i < 256; i++)
        if (map[i] != i) return false;
    return true;
}

// Rewrites the first 512 bytes of a DI record's colour table as the u16
// values 0 to 255 (DIB_PAL_COLORS); the other 512 bytes are left as they are.
inline void writeIndexTable(BYTE *record)
{
    for (int i = 0; i < 256; i++) put16(record, rec::kColorTable + 2 * i, static_cast<uint16_t>(i));
}

}  // namespace vek
