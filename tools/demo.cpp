// vekdemo: the library's showcase. Opens a 640x480 window on the palette
// display, realises a palette of its own and draws a test card: colour ramps
// through palette-index brushes and a checkerboard blitted from a DIB section.
// Headless by default, it writes the window's pixels as a PNG and prints the
// path.
//   vekdemo [output.png]
#include <windows.h>
#include <vekhost.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// 20 static colours stay where the system keeps them; entries 10..245 are
// four ramps of 59 shades (red, green, blue, grey), marked PC_NOCOLLAPSE so
// that they land in the free system entries one to one.
HPALETTE makePalette()
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } log{0x300, 256, {}};
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, log.entries);
    ReleaseDC(nullptr, screen);
    for (int i = 10; i < 246; i++) {
        int ramp = (i - 10) / 59, level = (i - 10) % 59 * 255 / 58;
        PALETTEENTRY &e = log.entries[i];
        e.peRed = BYTE(ramp == 0 || ramp == 3 ? level : 0);
        e.peGreen = BYTE(ramp == 1 || ramp == 3 ? level : 0);
        e.peBlue = BYTE(ramp == 2 || ramp == 3 ? level : 0);
        e.peFlags = PC_NOCOLLAPSE;
    }
    return CreatePalette(reinterpret_cast<LOGPALETTE *>(&log));
}

// Four horizontal bands, one per ramp, each shade a filled rectangle.
void drawRamps(HDC dc)
{
    for (int ramp = 0; ramp < 4; ramp++) {
        for (int shade = 0; shade < 59; shade++) {
            RECT r;
            SetRect(&r, shade * kWidth / 59, ramp * 60, (shade + 1) * kWidth / 59, ramp * 60 + 60);
            HBRUSH brush = CreateSolidBrush(PALETTEINDEX(10 + ramp * 59 + shade));
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    }
}

// A 16-pixel checkerboard of two palette entries in an 8-bit DIB section,
// copied to the lower half of the window.
void drawCheckerboard(HDC dc)
{
    constexpr BYTE kBrightBlue = 10 + 2 * 59 + 58, kDarkGrey = 10 + 3 * 59 + 12;
    struct {
        BITMAPINFOHEADER header;
        WORD indices[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = kWidth;
    info.header.biHeight = kHeight / 2;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    for (int i = 0; i < 256; i++) info.indices[i] = WORD(i);

    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_PAL_COLORS, &bits, nullptr, 0);
    if (!dib) return;
    auto *pixels = static_cast<BYTE *>(bits);
    for (int y = 0; y < kHeight / 2; y++)
        for (int x = 0; x < kWidth; x++)
            pixels[y * kWidth + x] = BYTE(((x / 16 + y / 16) & 1) ? kBrightBlue : kDarkGrey);

    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(dc, 0, kHeight / 2, kWidth, kHeight / 2, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
}

}  // namespace

int main(int argc, char **argv)
{
    const char *output = argc > 1 ? argv[1] : "vekdemo.png";

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VekDemo";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, "VekDemo", "vekkit demo", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;

    HPALETTE palette = makePalette();
    HDC dc = GetDC(window);
    HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    drawRamps(dc);
    drawCheckerboard(dc);
    SelectPalette(dc, oldPalette, FALSE);
    ReleaseDC(window, dc);

    BOOL saved = vekhostSaveWindowImage(window, output);
    DestroyWindow(window);
    DeleteObject(palette);
    if (!saved) {
        std::fprintf(stderr, "vekdemo: could not write %s\n", output);
        return 1;
    }
    std::printf("vekdemo: wrote %s\n", output);
    return 0;
}
