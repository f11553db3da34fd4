// Colour conversions between COLORREF values, palettes and surfaces.
#include "gdi/color.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "gdi/display.h"

namespace vek::gdi {

int nearestColor(const COLORREF *colors, size_t n, COLORREF c)
{
    int best = 0;
    int bestDistance = INT32_MAX;
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    for (size_t i = 0; i < n; i++) {
        int dr = GetRValue(colors[i]) - r, dg = GetGValue(colors[i]) - g, db = GetBValue(colors[i]) - b;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return best;
}

std::vector<COLORREF> colorsOf(const Palette &p)
{
    std::vector<COLORREF> colors;
    colors.reserve(p.entries.size());
    for (const PALETTEENTRY &e : p.entries) colors.push_back(rgbOf(e));
    return colors;
}

int nearestSystemEntry(const Display &d, const PALETTEENTRY &e)
{
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int k = 0; k < 256; k++) {
        const PALETTEENTRY &s = d.system[k];
        if ((s.peFlags & (kSysUsed | kSysReserved)) != kSysUsed) continue;
        int dr = s.peRed - e.peRed, dg = s.peGreen - e.peGreen, db = s.peBlue - e.peBlue;
        int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDistance) {
            best = k;
            bestDistance = dist;
        }
    }
    return best;
}

int nearestStaticEntry(COLORREF c)
{
    static const auto colors = [] {
        std::array<COLORREF, 20> all{};
        for (size_t i = 0; i < all.size(); i++) all[i] = rgbOf(kStaticColors[i]);
        return all;
    }();
    return staticEntry(nearestColor(colors.data(), colors.size(), c));
}

BYTE physicalIndex(const Palette &p, unsigned i)
{
    if (i >= p.entries.size()) i = 0;
    if (p.realized) return p.mapping[i];
    return static_cast<BYTE>(nearestSystemEntry(state().display, p.entries[i]));
}

Side sideOf(const DC &dc, const Surface &s)
{
    return Side{s, dcPalette(dc), dc.textColor, dc.bkColor};
}

COLORREF rgbOfColor(const Palette &p, COLORREF c)
{
    if ((c >> 24) == 1) {
        unsigned i = c & 0xFFFF;
        return rgbOf(p.entries[i < p.entries.size() ? i : 0]);
    }
    return c & 0x00FFFFFF;
}

COLORREF colorOfRaw(const Side &side, uint32_t v)
{
    const Surface &s = side.surface;
    switch (s.colors) {
    case ColorKind::Device: return rgbOf(state().display.system[v & 0xFF]);
    case ColorKind::Mono: return v ? RGB(255, 255, 255) : RGB(0, 0, 0);
    case ColorKind::Rgb: return rgbOfRaw(v);
    case ColorKind::Table: return v < s.tableSize ? rgbOf(s.table[v]) : RGB(0, 0, 0);
    case ColorKind::PalIndex:
        return v < s.indexCount ? rgbOfColor(side.palette, PALETTEINDEX(s.paletteIndex(v))) : RGB(0, 0, 0);
    }
    return 0;
}

namespace {

std::vector<COLORREF> tableColors(const Surface &s)
{
    std::vector<COLORREF> colors;
    for (unsigned i = 0; i < s.tableSize; i++) colors.push_back(rgbOf(s.table[i]));
    if (colors.empty()) colors.push_back(RGB(0, 0, 0));
    return colors;
}

}  // namespace

uint32_t solidRaw(const Side &side, COLORREF c)
{
    const Palette &pal = side.palette;
    const COLORREF rgb = rgbOfColor(pal, c);
    switch (side.surface.colors) {
    case ColorKind::Mono: return GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb) > 255 * 3 / 2 ? 1 : 0;
    case ColorKind::Rgb: return rawOfRgb(rgb);
    case ColorKind::Table: return static_cast<uint32_t>(nearestColor(tableColors(side.surface), rgb));
    case ColorKind::Device:
        switch (c >> 24) {
        case 1: return physicalIndex(pal, c & 0xFFFF);
        case 2: return physicalIndex(pal, static_cast<unsigned>(nearestColor(colorsOf(pal), rgb)));
        default: return nearestStaticEntry(rgb);
        }
    case ColorKind::PalIndex: return static_cast<uint32_t>(nearestColor(colorsOf(pal), rgb));
    }
    return 0;
}

namespace {

bool sameTable(const Surface &a, const Surface &b)
{
    const auto sameColor = [](const RGBQUAD &p, const RGBQUAD &q) { return rgbOf(p) == rgbOf(q); };
    return a.tableSize == b.tableSize && std::equal(a.table, a.table + a.tableSize, b.table, sameColor);
}

// The table of the last palette-index DIB shown on the device through a
// realised palette, per thread: it depends only on the indices and on the
// palette's mapping, which stay the same from one call to the next while a
// frame is shown rectangle by rectangle.
struct Remembered {
    uint64_t mappingStamp = 0;  // of the palette; 0: nothing remembered
    int bitsPerPixel = 0;
    unsigned indexCount = 0;
    BYTE indices[2 * 256];
    uint32_t table[256];
    bool identity = false;
};

thread_local Remembered remembered;

// Recent matches of 32-bit colours, per thread, tagged with the translation
// that made them (tags are never reused).
struct MatchEntry {
    uint64_t tag;
    uint32_t color;
    uint32_t raw;
};

thread_local MatchEntry matchCache[4096];
thread_local uint64_t lastMatchTag = 0;

}  // namespace

void Translation::setTable(const uint32_t *table, size_t size)
{
    table_ = table;
    kind_ = Kind::Identity;
    for (uint32_t v = 0; v < size; v++)
        if (table[v] != v) {
            kind_ = Kind::Table;
            return;
        }
}

Translation::Translation(const Side &src, const Side &dst) : dstColors_(dst.surface.colors)
{
    const ColorKind from = src.surface.colors, to = dst.surface.colors;
    if (from == to && (from == ColorKind::Device || from == ColorKind::Mono || from == ColorKind::Rgb ||
                       (from == ColorKind::Table && sameTable(src.surface, dst.surface))))
        return;

    // Colour matching into the destination, used for every source but a
    // monochrome one.
    monoWhite_ = rgbOfColor(src.palette, src.bkColor);
    // Monochrome sources and palette indices shown on the device need no
    // colour search: their table comes straight from the colours or the
    // palette's mapping.
    const bool direct = from == ColorKind::Mono || (from == ColorKind::PalIndex && to == ColorKind::Device);
    if (!direct) switch (to) {
    case ColorKind::Device:
        choices_ = colorsOf(dst.palette);
        for (unsigned i = 0; i < choices_.size(); i++) choiceRaw_.push_back(physicalIndex(dst.palette, i));
        break;
    case ColorKind::PalIndex:
        choices_ = colorsOf(dst.palette);
        for (unsigned i = 0; i < choices_.size(); i++) choiceRaw_.push_back(i);
        break;
    case ColorKind::Table:
        choices_ = tableColors(dst.surface);
        for (unsigned i = 0; i < choices_.size(); i++) choiceRaw_.push_back(i);
        break;
    case ColorKind::Mono:
    case ColorKind::Rgb: break;
    }

    if (from == ColorKind::Rgb) {
        kind_ = Kind::Match;
        matchTag_ = ++lastMatchTag;
        return;
    }
    const int bpp = src.surface.bitsPerPixel();
    const size_t size = size_t{1} << bpp;
    const Surface &s = src.surface;
    const bool remember = from == ColorKind::PalIndex && to == ColorKind::Device && src.palette.realized;
    Remembered &r = remembered;
    if (remember && r.mappingStamp == src.palette.mappingStamp && r.bitsPerPixel == bpp &&
        r.indexCount == s.indexCount && std::memcmp(r.indices, s.indices, 2 * size_t{s.indexCount}) == 0) {
        table_ = r.table;
        kind_ = r.identity ? Kind::Identity : Kind::Table;
        return;
    }
    for (uint32_t v = 0; v < size; v++) {
        if (from == ColorKind::Mono)
            ownTable_[v] = solidRaw(dst, v ? dst.bkColor : dst.textColor);
        else if (from == ColorKind::PalIndex && to == ColorKind::Device)
            // Logical palette indices go straight through the palette's mapping.
            ownTable_[v] = physicalIndex(src.palette, v < s.indexCount ? s.paletteIndex(v) : 0);
        else
            ownTable_[v] = match(colorOfRaw(src, v));
    }
    setTable(ownTable_, size);
    if (remember) {
        r.mappingStamp = src.palette.mappingStamp;
        r.bitsPerPixel = bpp;
        r.indexCount = s.indexCount;
        std::memcpy(r.indices, s.indices, 2 * size_t{s.indexCount});
        std::memcpy(r.table, ownTable_, size * sizeof(uint32_t));
        r.identity = identity();
    }
}

uint32_t Translation::match(COLORREF c) const
{
    switch (dstColors_) {
    case ColorKind::Rgb: return rawOfRgb(c);
    case ColorKind::Mono: return c == monoWhite_ ? 1 : 0;
    default: return choiceRaw_[static_cast<size_t>(nearestColor(choices_, c))];
    }
}

void Translation::apply(uint32_t *values, int n) const
{
    switch (kind_) {
    case Kind::Identity: return;
    case Kind::Table:
        for (int i = 0; i < n; i++) values[i] = table_[values[i]];
        return;
    case Kind::Match:
        // Direct-colour sources: a small direct-mapped cache spares most searches.
        for (int i = 0; i < n; i++) {
            const uint32_t v = values[i];
            MatchEntry &e = matchCache[(v ^ (v >> 12) ^ (v >> 20)) & 4095];
            if (e.tag != matchTag_ || e.color != v) e = MatchEntry{matchTag_, v, match(rgbOfRaw(v))};
            values[i] = e.raw;
        }
        return;
    }
}

}  // namespace vek::gdi
