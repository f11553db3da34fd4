// Colours: how COLORREF values, colour tables and the raw pixel values of
// surfaces turn into one another.
//
// The rules, as on Windows:
// - Solid colours (brushes, pens, text and background colours, SetPixel) on
//   a palette device: RGB values take the nearest of the 20 static colours,
//   PALETTERGB values the nearest colour of the DC's logical palette, and
//   PALETTEINDEX(i) entry i of that palette; palette entries go through the
//   palette's mapping to system palette entries. On a monochrome bitmap the
//   brighter half of colours is white.
// - Pixels copied between formats keep their colour as closely as the
//   destination allows; on a palette device that is the nearest colour of
//   the DC's logical palette. Monochrome pixels become the destination DC's
//   text colour (0) and background colour (1); pixels going into a
//   monochrome bitmap become white (1) exactly when their colour is the
//   background colour, and black otherwise.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi/objects.h"

namespace vek::gdi {

inline COLORREF rgbOf(const PALETTEENTRY &e) { return RGB(e.peRed, e.peGreen, e.peBlue); }
inline COLORREF rgbOf(const RGBQUAD &q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// 32-bit pixels hold 0x00RRGGBB; COLORREF is 0x00BBGGRR.
inline uint32_t rawOfRgb(COLORREF c)
{
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF rgbOfRaw(uint32_t v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

// Index of the colour nearest to c among the n colours (squared RGB
// distance, the first of equals); n must not be 0.
int nearestColor(const COLORREF *colors, size_t n, COLORREF c);
inline int nearestColor(const std::vector<COLORREF> &colors, COLORREF c)
{
    return nearestColor(colors.data(), colors.size(), c);
}

// The colours of a palette's entries.
std::vector<COLORREF> colorsOf(const Palette &p);

// The system palette entry in use, and open to sharing, whose colour is
// nearest to e's.
int nearestSystemEntry(const Display &d, const PALETTEENTRY &e);

// The system palette entry of the static colour nearest to c.
int nearestStaticEntry(COLORREF c);

// System palette entry that shows entry i of p: its mapping when realised,
// else the nearest colour that the system palette holds now.
BYTE physicalIndex(const Palette &p, unsigned i);

// One end of a drawing or copy: a surface and the state of the DC that draws
// on it (or, for DIBs handed in by the caller, of the DC given with them).
struct Side {
    const Surface &surface;
    const Palette &palette;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
};

Side sideOf(const DC &dc, const Surface &s);

// RGB value of a COLORREF: PALETTEINDEX values take the colour of the palette entry.
COLORREF rgbOfColor(const Palette &p, COLORREF c);

// The colour that raw value v of a side's surface shows.
COLORREF colorOfRaw(const Side &side, uint32_t v);

// The raw value that draws the solid colour c on a side's surface.
uint32_t solidRaw(const Side &side, COLORREF c);

// Turns raw values read from one side into raw values of the other.
//
// Made once per drawing call and used for that call only: a table may be the
// one remembered for the thread (see below), which the next Translation made
// on the thread may replace.
class Translation {
public:
    Translation(const Side &src, const Side &dst);

    // Whether every value stays as it is.
    bool identity() const { return kind_ == Kind::Identity; }
    // The value of each source value when the translation is a table, else null.
    const uint32_t *table() const { return kind_ == Kind::Table ? table_ : nullptr; }
    void apply(uint32_t *values, int n) const;

private:
    enum class Kind { Identity, Table, Match };

    uint32_t match(COLORREF c) const;
    void setTable(const uint32_t *table, size_t size);

    Kind kind_ = Kind::Identity;
    const uint32_t *table_ = nullptr;  // Table: one raw value per source value
    uint32_t ownTable_[256];           // where table_ points unless it is remembered
    ColorKind dstColors_;              // Match: how colours become destination values
    COLORREF monoWhite_ = 0;           // Match into Mono: the colour that becomes 1
    std::vector<COLORREF> choices_;    // Match into indexed surfaces: the colours there
    std::vector<uint32_t> choiceRaw_;  // and the raw value of each
    uint64_t matchTag_ = 0;            // Match: marks this translation's entries in the thread's cache
};

}  // namespace vek::gdi
