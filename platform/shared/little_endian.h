// Little-endian fields of the binary files the platform reads and writes
// (resource files, shell links, registry values): read from bytes at any
// offset, and appended to a growing block.
#pragma once

#include <cstdint>
#include <vector>

namespace vek::host {

inline uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t le32(const uint8_t *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void appendLe16(std::vector<uint8_t> &out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void appendLe32(std::vector<uint8_t> &out, uint32_t value)
{
    appendLe16(out, static_cast<uint16_t>(value));
    appendLe16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace vek::host
