// A window whose DC has a palette of the test's own: entries 10..245 are
// distinct colours (red component = index), so a pixel read back with
// GetPixel names the palette index that was drawn there.
#pragma once

#include <windows.h>

namespace support {

inline COLORREF colourOf(int i) { return RGB(i, 255 - i, (i * 7) & 255); }

// The index whose colour c is, or -1 for any other colour.
inline int indexOf(COLORREF c)
{
    const int i = GetRValue(c);
    return colourOf(i) == c && i >= 10 && i < 246 ? i : -1;
}

class PaletteWindow {
public:
    PaletteWindow(int width, int height)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VekPaletteWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "VekPaletteWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        dc = GetDC(window);
        struct {
            WORD version, count;
            PALETTEENTRY entries[256];
        } log{0x300, 256, {}};
        GetSystemPaletteEntries(dc, 0, 256, log.entries);
        for (int i = 10; i < 246; i++) {
            const COLORREF c = colourOf(i);
            log.entries[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE};
        }
        palette = CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
        oldPalette = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    ~PaletteWindow()
    {
        SelectPalette(dc, oldPalette, FALSE);
        ReleaseDC(window, dc);
        DestroyWindow(window);
        DeleteObject(palette);
    }
    PaletteWindow(const PaletteWindow &) = delete;
    PaletteWindow &operator=(const PaletteWindow &) = delete;

    // Paints the whole client area with palette index i.
    void paint(int i)
    {
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(PALETTEINDEX(i));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    int at(int x, int y) const { return indexOf(GetPixel(dc, x, y)); }

    HWND window = nullptr;
    HDC dc = nullptr;
    HPALETTE palette = nullptr, oldPalette = nullptr;
};

}  // namespace support
