// vekFlipBitmap: a left-to-right mirror copy of a device-dependent bitmap.
#include <vekkit/image.h>

HBITMAP VEKAPI vekFlipBitmap(HBITMAP bitmap, HPALETTE palette)
{
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) == 0) return nullptr;
    const int width = static_cast<SHORT>(info.bmWidth);
    const int height = static_cast<SHORT>(info.bmHeight);

    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    if (!from || !to) {
        if (from) DeleteDC(from);
        if (to) DeleteDC(to);
        return nullptr;
    }
    HPALETTE fromPalette = palette ? SelectPalette(from, palette, FALSE) : nullptr;
    HPALETTE toPalette = palette ? SelectPalette(to, palette, FALSE) : nullptr;

    // The new bitmap is made for a DC holding the source, so it takes the
    // source's format.
    SetStretchBltMode(to, COLORONCOLOR);
    HGDIOBJ toBitmap = SelectObject(to, bitmap);
    HBITMAP mirrored = CreateCompatibleBitmap(to, width, height);
    HGDIOBJ fromBitmap = nullptr;
    if (mirrored) {
        SelectObject(to, mirrored);
        fromBitmap = SelectObject(from, bitmap);
        StretchBlt(to, 0, 0, width, height, from, width - 1, 0, -width, height, SRCCOPY);
        SelectObject(from, fromBitmap);
    }
    SelectObject(to, toBitmap);
    if (palette) {
        SelectPalette(from, fromPalette, FALSE);
        SelectPalette(to, toPalette, FALSE);
    }
    DeleteDC(from);
    DeleteDC(to);
    return mirrored;
}
