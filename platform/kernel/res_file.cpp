// Compiled Win32 resource files (.res).
//
// A .res file is a sequence of entries, each starting on a 4-byte boundary:
//
//   u32   DataSize         bytes of data
//   u32   HeaderSize       bytes from the entry's start to its data
//   id    TYPE             0xFFFF then a u16 ordinal, or a UTF-16 string
//   id    NAME             ending in a 0 code unit
//   pad                    to a 4-byte boundary
//   u32   DataVersion
//   u16   MemoryFlags
//   u16   LanguageId
//   u32   Version
//   u32   Characteristics
//   ...   data (DataSize bytes at HeaderSize), padded to a 4-byte boundary
//
// The first entry of a file made by rc or windres is an empty one (type and
// name ordinal 0, no data) that marks the file as 32-bit; it is read like any
// other. All fields are little-endian.
#include "kernel/res_file.h"

#include "shared/little_endian.h"
#include "shell/utf16.h"

#include <cstdint>
#include <cstdlib>

namespace vek::host {
namespace {

constexpr size_t kFixedTail = 16;  // DataVersion .. Characteristics

uint16_t read16(const std::vector<BYTE> &b, size_t at) { return le16(b.data() + at); }
uint32_t read32(const std::vector<BYTE> &b, size_t at) { return le32(b.data() + at); }

size_t align4(size_t n) { return (n + 3) & ~size_t{3}; }

// Reads the identifier at pos, which must end before limit; pos moves past it.
bool readId(const std::vector<BYTE> &b, size_t &pos, size_t limit, ResourceId &id)
{
    if (pos + 2 > limit) return false;
    if (read16(b, pos) == 0xFFFF) {
        if (pos + 4 > limit) return false;
        id.isString = false;
        id.ordinal = static_cast<WORD>(read16(b, pos + 2));
        pos += 4;
        return true;
    }
    id.isString = true;
    id.text.clear();
    for (; pos + 2 <= limit; pos += 2) {
        const char16_t c = static_cast<char16_t>(read16(b, pos));
        if (!c) {
            pos += 2;
            return true;
        }
        id.text += c;
    }
    return false;
}

char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

bool parseResourceFile(ResourceFile &file)
{
    const std::vector<BYTE> &b = file.bytes;
    file.entries.clear();
    for (size_t at = 0; at < b.size(); ) {
        // Sizes are checked against what is left, so no sum can overflow.
        if (b.size() - at < 8) return false;
        const uint32_t dataSize = read32(b, at);
        const uint32_t headerSize = read32(b, at + 4);
        if (headerSize > b.size() - at || dataSize > b.size() - at - headerSize) return false;
        const size_t headerEnd = at + headerSize;
        ResourceEntry e;
        size_t pos = at + 8;
        if (!readId(b, pos, headerEnd, e.type) || !readId(b, pos, headerEnd, e.name)) return false;
        pos = align4(pos);
        if (pos > headerEnd || headerEnd - pos < kFixedTail) return false;
        e.language = static_cast<WORD>(read16(b, pos + 6));
        e.offset = headerEnd;
        e.size = dataSize;
        file.entries.push_back(std::move(e));
        at = align4(headerEnd + dataSize);
    }
    return true;
}

ResourceId resourceIdFromArgument(LPCSTR argument)
{
    ResourceId id;
    if (IS_INTRESOURCE(argument)) {
        id.ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(argument));
        return id;
    }
    if (argument[0] == '#') {
        char *end;
        const unsigned long n = std::strtoul(argument + 1, &end, 10);
        if (argument[1] >= '0' && argument[1] <= '9' && !*end && n <= 0xFFFF) {
            id.ordinal = static_cast<WORD>(n);
            return id;
        }
    }
    id.isString = true;
    id.text = utf16FromUtf8(argument);
    return id;
}

bool sameResourceId(const ResourceId &stored, const ResourceId &wanted)
{
    if (stored.isString != wanted.isString) return false;
    if (!stored.isString) return stored.ordinal == wanted.ordinal;
    if (stored.text.size() != wanted.text.size()) return false;
    for (size_t i = 0; i < stored.text.size(); i++)
        if (upper(stored.text[i]) != upper(wanted.text[i])) return false;
    return true;
}

}  // namespace vek::host
