// Colour maps: 256 bytes, entry i is the new value of pixel value i.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vek {

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

}  // namespace vek
