// Pixel storage of bitmaps, windows and the screen, and the pixel formats.
//
// A surface is a rectangle of pixels in one of three formats (1, 8 or 32 bits
// per pixel) plus the rule that turns its raw pixel values into colours:
//
//   Device    8 bits: indices into the system palette (display-format bitmaps
//             and windows of a palette display)
//   Mono      1 bit: 0 black, 1 white (monochrome bitmaps)
//   Rgb       32 bits: 0x00RRGGBB (display-format bitmaps of a 32-bit display,
//             32-bit DIBs)
//   Table     1 or 8 bits: indices into the surface's own colour table (DIBs)
//   PalIndex  1 or 8 bits: indices into a table of logical palette indices,
//             resolved through a DC's palette (DIBs given with DIB_PAL_COLORS)
//
// Rows are addressed top row first; a bottom-up DIB has a negative pitch.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vek::gdi {

struct Surface;

// The pixel work of one format: all drawing reaches pixels through these.
// Raw values are the pixel values themselves (an index, or 0x00RRGGBB);
// x, y, n describe a run inside the surface that the caller has clipped.
struct PixelFormat {
    int bitsPerPixel;
    void (*readRow)(const Surface &s, int x, int y, int n, uint32_t *out);
    void (*writeRow)(Surface &s, int x, int y, int n, const uint32_t *in);
    void (*fillRow)(Surface &s, int x, int y, int n, uint32_t value);
};

extern const PixelFormat kFormat1;
extern const PixelFormat kFormat8;
extern const PixelFormat kFormat32;

// The format of a bit depth, or null when the depth is not supported.
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
    std::vector<RGBQUAD> table; // Table: colour of each index
    std::vector<WORD> indices;  // PalIndex: logical palette index of each value

    Surface() = default;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;

    BYTE *row(int y) const { return top + y * pitch; }
    int bitsPerPixel() const { return format->bitsPerPixel; }
};

// Bytes per row: device-dependent bitmaps round rows up to 16 bits, DIBs to 32.
size_t ddbStride(int width, int bitsPerPixel);
size_t dibStride(int width, int bitsPerPixel);

// Largest pixel block we make: what 32-bit Windows could address, with room.
constexpr size_t kMaxSurfaceBytes = 0x40000000;

// A new zero-filled top-down surface with 16-bit aligned rows, or null when
// the size is not possible. A width or height of 0 gives a surface without
// pixels (a window without client area).
std::shared_ptr<Surface> makeDdb(int width, int height, int bitsPerPixel, ColorKind colors);

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
