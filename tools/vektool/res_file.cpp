#include "res_file.h"

#include "failure.h"

#include "common/le.h"

#include <cstring>

namespace vektool {
namespace {

constexpr uint8_t kEmptyEntry[16] = {0, 0, 0, 0, 32, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
constexpr size_t kEntryTail = 16;  // data version .. characteristics
constexpr uint16_t kUsEnglish = 0x0409, kPureMovable = 0x0030;

size_t roundUp4(size_t n) { return (n + 3) & ~size_t{3}; }

// Reads a type or name at at, which moves past it; false when it runs past end.
bool readName(const std::vector<uint8_t> &b, size_t &at, size_t end, ResourceName &name)
{
    if (end - at < 2) return false;
    if (vek::u16(b.data(), at) == 0xFFFF) {
        if (end - at < 4) return false;
        name.number = vek::u16(b.data(), at + 2);
        at += 4;
        return true;
    }
    name.isText = true;
    for (; end - at >= 2; at += 2) {
        const unsigned c = vek::u16(b.data(), at);
        if (c == 0) {
            at += 2;
            return true;
        }
        // UTF-8 of the code unit (surrogate halves are kept as they come).
        if (c < 0x80) {
            name.text += static_cast<char>(c);
        } else if (c < 0x800) {
            name.text += static_cast<char>(0xC0 | c >> 6);
            name.text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            name.text += static_cast<char>(0xE0 | c >> 12);
            name.text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            name.text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return false;
}

void append16(std::vector<uint8_t> &out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void appendName(std::vector<uint8_t> &out, const ResourceName &name)
{
    if (!name.isText) {
        append16(out, 0xFFFF);
        append16(out, name.number);
        return;
    }
    for (unsigned char c : name.text) append16(out, c);
    append16(out, 0);
}

void appendEntry(std::vector<uint8_t> &out, const Resource &r)
{
    std::vector<uint8_t> names;
    appendName(names, r.type);
    appendName(names, r.name);
    names.resize(roundUp4(names.size()));
    const size_t start = out.size();
    out.resize(start + 8);
    vek::put32(out.data(), start, static_cast<uint32_t>(r.data.size()));
    vek::put32(out.data(), start + 4, static_cast<uint32_t>(8 + names.size() + kEntryTail));
    out.insert(out.end(), names.begin(), names.end());
    const size_t tail = out.size();
    out.resize(tail + kEntryTail);
    vek::put16(out.data(), tail + 4, kPureMovable);
    vek::put16(out.data(), tail + 6, kUsEnglish);
    out.insert(out.end(), r.data.begin(), r.data.end());
    out.resize(roundUp4(out.size()));
}

}  // namespace

std::string ResourceName::shown(bool asType) const
{
    if (isText) return text;
    static const char *const standard[] = {nullptr, "CURSOR", "BITMAP", "ICON", "MENU", "DIALOG", "STRING",
                                           "FONTDIR", "FONT", "ACCELERATOR", "RCDATA", "MESSAGETABLE"};
    std::string s = "#" + std::to_string(number);
    return asType && number < std::size(standard) && standard[number] ? s + " (" + standard[number] + ")" : s;
}

bool looksLikeResFile(const std::vector<uint8_t> &bytes)
{
    return bytes.size() >= 32 && std::memcmp(bytes.data(), kEmptyEntry, sizeof kEmptyEntry) == 0;
}

std::vector<ResourceEntry> readResFile(const std::vector<uint8_t> &b, const std::string &shownAs)
{
    if (!looksLikeResFile(b)) throw Failure(shownAs, "not a 32-bit resource file");
    std::vector<ResourceEntry> entries;
    for (size_t at = 0; at < b.size();) {
        const size_t left = b.size() - at;
        if (left < 8) throw Failure(shownAs, "damaged resource file: an entry is cut short");
        const uint32_t dataSize = vek::u32(b.data(), at), headerSize = vek::u32(b.data(), at + 4);
        if (headerSize > left || dataSize > left - headerSize)
            throw Failure(shownAs, "damaged resource file: an entry runs past its end");
        ResourceEntry e;
        size_t pos = at + 8;
        const size_t headerEnd = at + headerSize;
        if (!readName(b, pos, headerEnd, e.type) || !readName(b, pos, headerEnd, e.name) ||
            roundUp4(pos) + kEntryTail > headerEnd)
            throw Failure(shownAs, "damaged resource file: a bad entry header");
        e.language = vek::u16(b.data(), roundUp4(pos) + 6);
        e.offset = headerEnd;
        e.size = dataSize;
        if (at > 0) entries.push_back(e);
        at = roundUp4(headerEnd + dataSize);
    }
    return entries;
}

std::vector<uint8_t> resFileOf(const std::vector<Resource> &resources)
{
    std::vector<uint8_t> out(kEmptyEntry, kEmptyEntry + sizeof kEmptyEntry);
    out.resize(32);
    for (const Resource &r : resources) appendEntry(out, r);
    return out;
}

}  // namespace vektool
