// Little-endian fields of the byte blocks that the tests build and check
// (sprite image records, object files, stored formats).
#pragma once

#include <windows.h>

#include <cstddef>

namespace support {

inline DWORD get32(const BYTE *b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<DWORD>(b[at + 3]) << 24;
}
inline WORD get16(const BYTE *b, size_t at) { return static_cast<WORD>(b[at] | b[at + 1] << 8); }
inline void put32(BYTE *b, size_t at, DWORD v)
{
    for (int i = 0; i < 4; i++) b[at + i] = static_cast<BYTE>(v >> 8 * i);
}
inline void put16(BYTE *b, size_t at, WORD v)
{
    b[at] = static_cast<BYTE>(v);
    b[at + 1] = static_cast<BYTE>(v >> 8);
}

}  // namespace support
