// Device-independent bitmaps handed in by callers: their BITMAPINFO and bits.
//
// A BITMAPINFO may sit at any even address (inside a bitmap file image, at
// byte 14 or 18 of a record), so it is read with memcpy, never through a
// cast pointer. The colour table starts biSize bytes after the header and
// holds RGBQUADs (DIB_RGB_COLORS) or 16-bit logical palette indices
// (DIB_PAL_COLORS).
#pragma once

#include <windows.h>

#include <vector>

#include "gdi/surface.h"

namespace vek::gdi {

struct DibInfo {
    int width = 0;
    int height = 0;  // as in the header: positive for bottom-up rows
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    DWORD sizeImage = 0;
    DWORD headerSize = 0;
    unsigned colors = 0;  // entries of the colour table

    int rows() const { return height < 0 ? -height : height; }
    bool bottomUp() const { return height > 0; }
};

// Reads a BITMAPINFOHEADER (at least the 40 bytes of one). False when it is
// not one we can draw from: 1, 8, 16, 24 or 32 bits per pixel, one plane,
// BI_RGB, or BI_RLE8 for bottom-up 8-bit images with their encoded size given.
bool readDibInfo(const void *info, DibInfo &out);

// Sets the colour rule of a surface that views DIB bits: the colour table
// as RGB colours or as logical palette indices, as usage says, viewed where
// it lies after the header (which must outlive the surface's use).
void readColorTable(const void *info, const DibInfo &dib, UINT usage, Surface &view);

}  // namespace vek::gdi
