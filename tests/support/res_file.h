// Compiled resource files (.res) built byte by byte, as rc and windres write
// them: an empty first entry, then one entry per resource, each with its
// header (sizes, type, name, padding, version fields) and its data padded to
// four bytes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

// A resource type or name: an integer identifier, or a string (ASCII).
struct ResId {
    bool isString = false;
    WORD ordinal = 0;
    std::string text;
};

inline ResId ordinalId(WORD n) { return ResId{false, n, {}}; }
inline ResId stringId(const char *s) { return ResId{true, 0, s}; }

struct Resource {
    ResId type;
    ResId name;
    std::vector<BYTE> data;
};

namespace detail {

inline void put16(std::vector<BYTE> &out, WORD v)
{
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}
inline void put32(std::vector<BYTE> &out, DWORD v)
{
    put16(out, static_cast<WORD>(v));
    put16(out, static_cast<WORD>(v >> 16));
}
inline void putId(std::vector<BYTE> &out, const ResId &id)
{
    if (!id.isString) {
        put16(out, 0xFFFF);
        put16(out, id.ordinal);
        return;
    }
    for (char c : id.text) put16(out, static_cast<BYTE>(c));
    put16(out, 0);
}
inline void pad4(std::vector<BYTE> &out)
{
    while (out.size() % 4) out.push_back(0);
}

// One entry, its header as long as its fields.
inline void putEntry(std::vector<BYTE> &out, const Resource &r)
{
    std::vector<BYTE> ids;
    putId(ids, r.type);
    putId(ids, r.name);
    pad4(ids);
    const DWORD headerSize = static_cast<DWORD>(8 + ids.size() + 16);
    put32(out, static_cast<DWORD>(r.data.size()));
    put32(out, headerSize);
    out.insert(out.end(), ids.begin(), ids.end());
    put32(out, 0);       // DataVersion
    put16(out, 0x0030);  // MemoryFlags: pure, moveable
    put16(out, 0x0409);  // LanguageId: English (United States)
    put32(out, 0);       // Version
    put32(out, 0);       // Characteristics
    out.insert(out.end(), r.data.begin(), r.data.end());
    pad4(out);
}

}  // namespace detail

inline std::vector<BYTE> resFile(const std::vector<Resource> &resources)
{
    std::vector<BYTE> out;
    detail::putEntry(out, Resource{ordinalId(0), ordinalId(0), {}});
    for (const Resource &r : resources) detail::putEntry(out, r);
    return out;
}

// Writes bytes to a new file at path; false when it cannot be written whole.
inline bool writeFileBytes(const std::string &path, const std::vector<BYTE> &bytes)
{
    HFILE file = _lcreat(path.c_str(), 0);
    if (file == HFILE_ERROR) return false;
    const UINT n = static_cast<UINT>(bytes.size());
    const bool whole = _lwrite(file, reinterpret_cast<LPCSTR>(bytes.data()), n) == n;
    return _lclose(file) == 0 && whole;
}

// The program's own file name.
inline std::string programPath()
{
    char name[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    return std::string(name, n < MAX_PATH ? n : 0);
}

// The .res file that the hosted platform reads for the program: its file
// name with the extension replaced by (or, without one, followed by) ".res".
inline std::string programResPath()
{
    std::string path = programPath();
    const size_t slash = path.find_last_of("\\/");
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
    return path + ".res";
}

}  // namespace support
