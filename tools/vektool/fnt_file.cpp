#include "fnt_file.h"

#include "failure.h"

#include "common/le.h"

namespace vektool {
namespace {

constexpr size_t kHeader = 148;  // the version 3.00 header; the character table follows

std::string textAt(const std::vector<uint8_t> &b, size_t at, size_t limit)
{
    std::string s;
    for (; at < b.size() && s.size() < limit && b[at]; at++) s += static_cast<char>(b[at]);
    return s;
}

}  // namespace

bool looksLikeFnt(const std::vector<uint8_t> &b)
{
    if (b.size() < kHeader) return false;
    const unsigned version = vek::u16(b.data(), 0);
    return (version == 0x0200 || version == 0x0300) && vek::u32(b.data(), 2) == b.size() && b[95] <= b[96];
}

FntHeader readFntHeader(const std::vector<uint8_t> &b, const std::string &shownAs)
{
    if (!looksLikeFnt(b)) throw Failure(shownAs, "not a raster font file");
    FntHeader h;
    h.version = vek::u16(b.data(), 0);
    h.height = vek::u16(b.data(), 88);
    h.averageWidth = vek::u16(b.data(), 91);
    h.maxWidth = vek::u16(b.data(), 93);
    h.first = b[95];
    h.last = b[96];
    h.defaultChar = h.first + b[97];  // counted from the first character
    h.copyright = textAt(b, 6, 60);
    h.face = textAt(b, vek::u32(b.data(), 105), 256);
    return h;
}

}  // namespace vektool
