// Compiled Win32 resource files (.res), as rc and windres write them: a
// sequence of entries, each on a 4-byte boundary,
//
//   u32  data size            u32  header size (from the entry to its data)
//   type and name: 0xFFFF and a u16 number, or UTF-16 text ending in 0
//   padding to 4 bytes, u32 data version, u16 memory flags, u16 language,
//   u32 version, u32 characteristics; then the data, padded to 4 bytes
//
// The first entry is an empty one (type 0, name 0, no data) that marks the
// file as 32-bit. vektool reads them for info and writes them for res; the
// library reads them itself when a program loads its resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vektool {

// A resource type or name: a number, or text (kept as UTF-8).
struct ResourceName {
    bool isText = false;
    uint16_t number = 0;
    std::string text;

    // As vektool shows it: "VORTLBMP", "#100"; a type of the system's also
    // by its name, "#2 (BITMAP)".
    std::string shown(bool asType) const;
};

struct ResourceEntry {
    ResourceName type, name;
    uint16_t language = 0;
    size_t offset = 0, size = 0;  // of the data, in the file
};

// The entries of a .res file after its empty first one; throws Failure
// naming shownAs when it is not such a file or is damaged.
std::vector<ResourceEntry> readResFile(const std::vector<uint8_t> &bytes, const std::string &shownAs);

// True when bytes start with the empty first entry.
bool looksLikeResFile(const std::vector<uint8_t> &bytes);

struct Resource {
    ResourceName type, name;
    std::vector<uint8_t> data;
};

// A .res file of the resources, in US English, pure and movable.
std::vector<uint8_t> resFileOf(const std::vector<Resource> &resources);

}  // namespace vektool
