// Pixel storage: allocation and layout of surfaces.
#include "gdi/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "shared/checked_size.h"

namespace vek::gdi {

const PixelFormat *formatFor(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return &kFormat1;
    case 8: return &kFormat8;
    case 16: return &kFormat555;
    case 24: return &kFormat24;
    case 32: return &kFormat32;
    default: return nullptr;
    }
}

namespace {

// Bytes of a row of width pixels padded to alignBits, in 64 bits: a row of
// 2^27 pixels of 32 bits is already 4 GiB, which a 32-bit size_t wraps.
uint64_t rowBytes(int width, int bitsPerPixel, unsigned alignBits)
{
    return (uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(bitsPerPixel) + alignBits - 1) /
           alignBits * (alignBits / 8);
}

}  // namespace

size_t ddbStride(int width, int bitsPerPixel)
{
    return static_cast<size_t>(rowBytes(width, bitsPerPixel, 16));
}

size_t dibStride(int width, int bitsPerPixel)
{
    return static_cast<size_t>(rowBytes(width, bitsPerPixel, 32));
}

bool sizeFits(int width, int height, int bitsPerPixel)
{
    if (width < 1 || height < 1 || !formatFor(bitsPerPixel)) return false;
    size_t bytes;
    return checkedBytes(rowBytes(width, bitsPerPixel, 32), static_cast<uint32_t>(height), 0, bytes,
                        kMaxSurfaceBytes);
}

namespace {

// Allocates zero-filled storage; false when memory runs out.
bool allocate(Surface &s, size_t bytes)
{
    try {
        s.storage.assign(bytes, 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

}  // namespace

std::shared_ptr<Surface> makeDdb(int width, int height, const PixelFormat &format, ColorKind colors)
{
    const bool empty = width == 0 || height == 0;
    if (width < 0 || height < 0) return nullptr;
    if (!empty && !sizeFits(width, height, format.bitsPerPixel)) return nullptr;
    auto s = std::make_shared<Surface>();
    s->width = width;
    s->height = height;
    s->format = &format;
    s->colors = colors;
    s->stride = ddbStride(width, format.bitsPerPixel);
    if (!empty && !allocate(*s, s->stride * static_cast<size_t>(height))) return nullptr;
    s->top = s->storage.data();
    s->pitch = static_cast<ptrdiff_t>(s->stride);
    return s;
}

std::shared_ptr<Surface> makeDib(int width, int height, int bitsPerPixel, ColorKind colors)
{
    int rows = height < 0 ? -height : height;
    if (height == INT32_MIN || !sizeFits(width, rows, bitsPerPixel)) return nullptr;
    auto s = std::make_shared<Surface>();
    size_t stride = dibStride(width, bitsPerPixel);
    if (!allocate(*s, stride * static_cast<size_t>(rows))) return nullptr;
    viewDib(*s, s->storage.data(), width, height, bitsPerPixel, colors);
    return s;
}

void viewDib(Surface &s, const void *bits, int width, int height, int bitsPerPixel, ColorKind colors)
{
    int rows = height < 0 ? -height : height;
    s.width = width;
    s.height = rows;
    s.format = formatFor(bitsPerPixel);
    s.colors = colors;
    s.stride = dibStride(width, bitsPerPixel);
    auto *base = static_cast<BYTE *>(const_cast<void *>(bits));
    if (height < 0) {
        s.top = base;
        s.pitch = static_cast<ptrdiff_t>(s.stride);
    } else {
        s.top = base + static_cast<size_t>(rows - 1) * s.stride;
        s.pitch = -static_cast<ptrdiff_t>(s.stride);
    }
}

bool resizeDdb(Surface &s, int width, int height)
{
    int bpp = s.bitsPerPixel();
    if (width < 0 || height < 0 || ((width && height) && !sizeFits(width, height, bpp))) return false;
    size_t stride = ddbStride(width, bpp);
    std::vector<BYTE> pixels;
    try {
        pixels.assign(stride * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    // Whole bytes of the shared columns; a partial last byte of a 1-bit row
    // carries a few pixels of the old width, which are then outside the new.
    size_t keep = std::min(stride, ddbStride(std::min(width, s.width), bpp));
    for (int y = 0; keep && y < std::min(height, s.height); y++)
        std::memcpy(pixels.data() + static_cast<size_t>(y) * stride, s.row(y), keep);
    s.storage.swap(pixels);
    s.width = width;
    s.height = height;
    s.stride = stride;
    s.top = s.storage.data();
    s.pitch = static_cast<ptrdiff_t>(stride);
    return true;
}

}  // namespace vek::gdi
