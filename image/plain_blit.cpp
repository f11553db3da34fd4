// Plain blits onto a DC: a device-dependent bitmap, and a bitmap file image
// held in a memory block. Coordinates are 16-bit values carried in 32-bit
// arguments: their low halves, sign-extended, are used.
#include <vekkit/image.h>

#include "image/bitmap_file_image.h"

namespace {

int low16(LONG value) { return static_cast<SHORT>(value); }

}  // namespace

BOOL VEKAPI vekDDBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HBITMAP bitmap, LONG srcX, LONG srcY, DWORD rop)
{
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) return FALSE;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const BOOL result = BitBlt(dc, low16(x), low16(y), low16(width), low16(height), memory, low16(srcX), low16(srcY), rop);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return result;
}

int VEKAPI vekDIBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HGLOBAL image, LONG srcX, LONG srcY, DWORD rop,
                    DWORD)
{
    const BYTE *bytes = static_cast<const BYTE *>(GlobalLock(image));
    if (!bytes) return 0;
    // An image whose headers describe more than the block holds is not drawn.
    vek::BitmapFileImage parts;
    int result = 0;
    if (vek::readBitmapFileImage(bytes, GlobalSize(image), parts)) {
        const int w = low16(width), h = low16(height);
        result = StretchDIBits(dc, low16(x), low16(y), w, h, low16(srcX), low16(srcY), w, h, parts.pixels, parts.info,
                               DIB_RGB_COLORS, rop);
    }
    GlobalUnlock(image);
    return result;
}
