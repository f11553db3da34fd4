// Pixel storage of bitmaps, windows and the screen, and the pixel formats.
//
// A surface is a rectangle of pixels in one pixel format plus the rule that
// turns its raw pixel values into colours:
//
//   Device    8 bits: indices into the system palette (display-format bitmaps
//             and windows of a palette display)
//   Mono      1 bit: 0 black, 1 white (monochrome bitmaps)
//   Rgb       16, 24 or 32 bits: raw values 0x00RRGGBB (display-format
//             bitmaps of a display without a palette, DIBs of those depths)
//   Table     1 or 8 bits: indices into the surface's own colour table (DIBs)
//   PalIndex  1 or 8 bits: indices into a table of logical palette indices,
//             resolved through a DC's palette (DIBs given with DIB_PAL_COLORS)
//
// Rows are addressed top row first; a bottom-up DIB has a negative pitch.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace vek::gdi {

struct Surface;

// The binary operations that have rectangle primitives: the destination
// combined with the source (SRCCOPY, SRCAND, SRCPAINT, SRCINVERT).
enum BlitOp { kCopy, kAnd, kOr, kXor, kBlitOps };

// The pixel work of one format: all drawing reaches pixels through these.
//
// Raw values are what the rest of the GDI calls a pixel: an index, or
// 0x00RRGGBB for every direct-colour format. A format that stores fewer bits
// keeps the high bits of each component and reads them back widened by
// repeating them (5 bits abcde read as abcdeabc), so that bitwise raster
// operations give the same pixels on raw values as on the stored bits.
//
// Every call works on a run or rectangle that the caller has clipped to the
// surfaces: the rectangle r lies inside s, and where there is a source, the
// rectangle of r's size at `from` lies inside it.
struct PixelFormat {
    int bitsPerPixel;
    void (*readRow)(const Surface &s, int x, int y, int n, uint32_t *out);
    void (*writeRow)(Surface &s, int x, int y, int n, const uint32_t *in);
    // The pixels of row y at columns[0..n).
    void (*gatherRow)(const Surface &s, const int *columns, int y, int n, uint32_t *out);
    void (*fillRect)(Surface &s, const RECT &r, uint32_t value);
    // Source pixels of this same format, combined with op; for kCopy src
    // may share memory with s (be s itself, overlapping), for the others not.
    void (*copyRect[kBlitOps])(Surface &s, const RECT &r, const Surface &src, POINT from);
    // Source pixels that are indices (1 or 8 bits, in memory apart from s),
    // each turned into the raw value table[index] here, combined with op.
    void (*tableRect[kBlitOps])(Surface &s, const RECT &r, const Surface &src, POINT from, const uint32_t *table);
};

extern const PixelFormat kFormat1;
extern const PixelFormat kFormat8;
extern const PixelFormat kFormat555;  // 16 bits: x rrrrr ggggg bbbbb
extern const PixelFormat kFormat565;  // 16 bits: rrrrr gggggg bbbbb
extern const PixelFormat kFormat24;   // bytes blue, green, red
extern const PixelFormat kFormat32;

// The format of DIBs of a bit depth (16 bits: 5-5-5, as BI_RGB DIBs have
// it), or null when the depth is not supported.
const PixelFormat *formatFor(int bitsPerPixel);

enum class ColorKind { Device, Mono, Rgb, Table, PalIndex };

struct Surface {
    int width = 0;
    int height = 0;
    const PixelFormat *format = nullptr;
    ColorKind colors = ColorKind::Rgb;
    BYTE *top = nullptr;        // first byte of the top row
    ptrdiff_t pitch = 0;        // bytes from a row to the row below it
    size_t stride = 0;          // |pitch|
    std::vector<BYTE> storage;  // the pixels, unless the surface views caller memory

    // Table: colour of each index, from ownTable or the caller's BITMAPINFO.
    const RGBQUAD *table = nullptr;
    unsigned tableSize = 0;
    std::vector<RGBQUAD> ownTable;
    // PalIndex: logical palette index of each value, 16-bit words where the
    // caller put them (at any even or odd address).
    const BYTE *indices = nullptr;
    unsigned indexCount = 0;
    // A drawing call has changed pixels of this window surface; kept only
    // while the user trace channel is on, which warns of windows that show
    // nothing (user/nothing_shown.h).
    std::atomic<bool> drawn{false};

    Surface() = default;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    BYTE *row(int y) const { return top + y * pitch; }
    int bitsPerPixel() const { return format->bitsPerPixel; }

    WORD paletteIndex(unsigned v) const
    {
        WORD w;
        std::memcpy(&w, indices + 2 * static_cast<size_t>(v), sizeof w);
        return w;
    }
    // Makes the surface's colour table its own copy of colours.
    void ownColors(std::vector<RGBQUAD> colours)
    {
        ownTable = std::move(colours);
        table = ownTable.data();
        tableSize = static_cast<unsigned>(ownTable.size());
    }
};

// Bytes per row: device-dependent bitmaps round rows up to 16 bits, DIBs to 32.
size_t ddbStride(int width, int bitsPerPixel);
size_t dibStride(int width, int bitsPerPixel);

// Largest pixel block we make: what 32-bit Windows could address, with room.
constexpr size_t kMaxSurfaceBytes = 0x40000000;

// A new zero-filled top-down surface with 16-bit aligned rows, or null when
// the size is not possible. A width or height of 0 gives a surface without
// pixels (a window without client area).
std::shared_ptr<Surface> makeDdb(int width, int height, const PixelFormat &format, ColorKind colors);

// A new zero-filled DIB surface with 32-bit aligned rows, bottom-up when
// height > 0, top-down when height < 0; null when the size is not possible.
std::shared_ptr<Surface> makeDib(int width, int height, int bitsPerPixel, ColorKind colors);

// Points an empty surface at caller memory laid out as a DIB (height sign as
// in a BITMAPINFOHEADER). The memory must outlive the surface's use.
void viewDib(Surface &s, const void *bits, int width, int height, int bitsPerPixel, ColorKind colors);

// Changes a top-down surface's size, keeping the pixels of the part that
// both sizes share and zero-filling the rest. False when the size is not
// possible; the surface is then unchanged.
bool resizeDdb(Surface &s, int width, int height);

// Whether a pixel count and depth give a block we are willing to make.
bool sizeFits(int width, int height, int bitsPerPixel);

}  // namespace vek::gdi
