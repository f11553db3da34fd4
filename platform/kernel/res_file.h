// Compiled Win32 resource files (.res), as rc and windres write them.
#ifndef VEKHOST_KERNEL_RES_FILE_H
#define VEKHOST_KERNEL_RES_FILE_H

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vek::host {

// A resource type or name: an integer identifier (ordinal) or a string.
struct ResourceId {
    bool isString = false;
    WORD ordinal = 0;
    std::u16string text;  // strings only, as stored
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    size_t offset = 0;  // of the data in ResourceFile::bytes
    DWORD size = 0;
};

struct ResourceFile {
    std::vector<BYTE> bytes;  // the whole file; entries point into it
    std::vector<ResourceEntry> entries;
};

// Reads the entries of a .res file held in file.bytes. False when any entry
// is damaged: a header or data size that runs past the end of the file, a
// header too small for its own fields, a string without its terminator.
bool parseResourceFile(ResourceFile &file);

// The identifier an ANSI argument names: an integer identifier
// (MAKEINTRESOURCE), "#123" for the integer 123, or a string.
ResourceId resourceIdFromArgument(LPCSTR argument);

// Whether a stored identifier is the one asked for; strings compare
// ignoring the case of ASCII letters, as Windows compares them upper-cased.
bool sameResourceId(const ResourceId &stored, const ResourceId &wanted);

}  // namespace vek::host

#endif
