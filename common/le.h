// Little-endian field access for records that are byte blocks.
//
// Every record field of the library is read and written through these: the
// fields sit at fixed, often unaligned offsets (biWidth at byte 22), so they
// are copied byte-wise and never reached through a cast to an aligned struct.
#pragma once

#include <cstdint>
#include <cstring>

namespace vek {

// Records are little-endian and so are all targets we build for (x86, ARM).
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian host");

template <typename T>
inline T load(const void *block, size_t offset)
{
    static_assert(sizeof(T) <= 8);
    T value;
    std::memcpy(&value, static_cast<const unsigned char *>(block) + offset, sizeof(T));
    return value;
}

template <typename T>
inline void store(void *block, size_t offset, T value)
{
    std::memcpy(static_cast<unsigned char *>(block) + offset, &value, sizeof(T));
}

inline uint16_t u16(const void *b, size_t at) { return load<uint16_t>(b, at); }
inline int16_t i16(const void *b, size_t at) { return load<int16_t>(b, at); }
inline uint32_t u32(const void *b, size_t at) { return load<uint32_t>(b, at); }
inline int32_t i32(const void *b, size_t at) { return load<int32_t>(b, at); }

inline void put16(void *b, size_t at, uint16_t v) { store<uint16_t>(b, at, v); }
inline void put32(void *b, size_t at, uint32_t v) { store<uint32_t>(b, at, v); }

}  // namespace vek
