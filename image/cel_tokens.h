// Writers of the run-length tokens that the cel encoders emit, into a buffer
// that the caller has sized for the row.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace vek::cel {

constexpr BYTE kEndOfRow[2] = {0, 0};
constexpr BYTE kEndOfImage[2] = {0, 1};

// Skip of count pixels (0..255): 0 2 count 0.
inline BYTE *putSkip(BYTE *out, size_t count)
{
    out[0] = 0;
    out[1] = 2;
    out[2] = static_cast<BYTE>(count);
    out[3] = 0;
    return out + 4;
}

// Encoded run of count (1..255) pixels of colour.
inline BYTE *putEncoded(BYTE *out, size_t count, BYTE colour)
{
    out[0] = static_cast<BYTE>(count);
    out[1] = colour;
    return out + 2;
}

// Absolute run of count (3..255) pixels, padded with a 0 to an even length.
inline BYTE *putAbsolute(BYTE *out, const BYTE *pixels, size_t count)
{
    out[0] = 0;
    out[1] = static_cast<BYTE>(count);
    std::memcpy(out + 2, pixels, count);
    out += 2 + count;
    if (count & 1) *out++ = 0;
    return out;
}

inline BYTE *putEndOfRow(BYTE *out)
{
    std::memcpy(out, kEndOfRow, sizeof kEndOfRow);
    return out + sizeof kEndOfRow;
}

}  // namespace vek::cel
