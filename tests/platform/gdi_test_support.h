// Helpers shared by the GDI tests: DIB headers with colour tables, and
// reading pixels back as indices or colours.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace gditest {

// A BITMAPINFO with a full 256-entry colour table.
struct Info256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];

    Info256(LONG width, LONG height)
    {
        header = BITMAPINFOHEADER{};
        std::memset(colors, 0, sizeof colors);
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = height;
        header.biPlanes = 1;
        header.biBitCount = 8;
        header.biCompression = BI_RGB;
    }
    BITMAPINFO *info() { return reinterpret_cast<BITMAPINFO *>(this); }
};

// A colour table whose entry i is the grey-free colour (i, 255 - i, i / 2),
// so that every index has a colour of its own.
inline void fillDistinctColors(Info256 &bi)
{
    for (int i = 0; i < 256; i++)
        bi.colors[i] = RGBQUAD{static_cast<BYTE>(i / 2), static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 0};
}

inline COLORREF distinctColor(int i) { return RGB(i, 255 - i, i / 2); }

// An 8-bit top-down DIB section with the distinct colour table, selected
// into a fresh memory DC; the destructor puts everything away.
struct Dib8 {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    BYTE *bits = nullptr;
    int width, height, stride;

    Dib8(int w, int h) : width(w), height(h), stride((w + 3) & ~3)
    {
        Info256 bi(w, -h);
        fillDistinctColors(bi);
        dc = CreateCompatibleDC(nullptr);
        void *p = nullptr;
        bitmap = CreateDIBSection(dc, bi.info(), DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<BYTE *>(p);
        old = SelectObject(dc, bitmap);
    }
    ~Dib8()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Dib8(const Dib8 &) = delete;
    Dib8 &operator=(const Dib8 &) = delete;

    BYTE &at(int x, int y) { return bits[y * stride + x]; }
    void fill(BYTE v) { std::memset(bits, v, static_cast<size_t>(stride) * height); }
};

// True when the display is a palette device (the hosted default; Wine and
// most Windows displays are not).
inline bool paletteDevice()
{
    HDC screen = GetDC(nullptr);
    bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    return palette;
}

}  // namespace gditest
