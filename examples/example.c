/* What every example shares; see example.h. */
#include "example.h"

#include <vekhost.h>

#include <stdio.h>

PALETTEENTRY exampleColours[256];

static HPALETTE palette;
static HPALETTE oldPalette;
static LPVEKCONTEXT paintedContext;

BYTE exampleShade(int ramp, int level)
{
    return (BYTE)(ramp + (level < 0 ? 0 : level > 58 ? 58 : level));
}

HPALETTE examplePalette(void)
{
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } log = {0x300, 256, {{0, 0, 0, 0}}};
    if (palette) return palette;
    /* The static colours stay where the display keeps them; the ramps are
       marked PC_NOCOLLAPSE so that realising gives each its own entry of
       the system palette and index i is shown as colour i. */
    HDC screen = GetDC(NULL);
    GetSystemPaletteEntries(screen, 0, 256, exampleColours);
    ReleaseDC(NULL, screen);
    for (int i = 10; i < 246; i++) {
        const int ramp = (i - 10) / 59, level = (i - 10) % 59 * 255 / 58;
        PALETTEENTRY *e = &exampleColours[i];
        e->peRed = (BYTE)(ramp == 0 || ramp == 3 ? level : 0);
        e->peGreen = (BYTE)(ramp == 1 || ramp == 3 ? level : ramp == 2 ? level / 3 : 0);
        e->peBlue = (BYTE)(ramp == 2 || ramp == 3 ? level : 0);
        e->peFlags = PC_NOCOLLAPSE;
    }
    for (int i = 0; i < 256; i++) log.entries[i] = exampleColours[i];
    palette = CreatePalette((LOGPALETTE *)&log);
    return palette;
}

/* WM_PAINT redraws the whole context. The DC of BeginPaint comes with the
   default palette: without selecting and realising ours first, every index
   above 19 would be painted black, and the paint request would be used up. */
static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT && paintedContext) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HPALETTE old = SelectPalette(dc, examplePalette(), FALSE);
        RealizePalette(dc);
        vekRedrawSpriteContext(paintedContext, dc);
        SelectPalette(dc, old, FALSE);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND exampleWindow(const char *title, int width, int height)
{
    static ATOM windowClass;
    if (!windowClass) {
        WNDCLASSA wc = {0};
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "VekkitExample";
        windowClass = RegisterClassA(&wc);
        if (!windowClass) return NULL;
    }
    /* WS_OVERLAPPEDWINDOW draws its frame and caption inside the size given
       to CreateWindow; grow the rectangle so the client area keeps ours. */
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExA(0, "VekkitExample", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

HDC exampleDC(HWND window)
{
    HDC dc = GetDC(window);
    oldPalette = SelectPalette(dc, examplePalette(), FALSE);
    RealizePalette(dc);
    return dc;
}

void exampleRedrawOnPaint(LPVEKCONTEXT context)
{
    paintedContext = context;
}

BYTE *examplePixel(HSPRITEDATA image, LONG x, LONG y)
{
    const LONG width = image[22] | image[23] << 8;
    const LONG height = image[26] | image[27] << 8;
    const DWORD pixelOffset = image[14] | image[15] << 8 | (DWORD)image[16] << 16 | (DWORD)image[17] << 24;
    const LONG stride = (width + 3) & ~3;
    return image + 4 + pixelOffset + (height - 1 - y) * stride + x;
}

HSPRITEDATA exampleDisc(LONG diameter, int ramp)
{
    /* Drawn into a raw record first: its pixels start as 0, and 0 is the
       key colour because the bottom-left corner stays 0. */
    HSPRITEDATA raw = vekCreateSpriteDataObject(diameter, diameter);
    if (!raw) return NULL;
    const LONG d2 = diameter * diameter, light = diameter / 3;
    for (LONG y = 0; y < diameter; y++)
        for (LONG x = 0; x < diameter; x++) {
            const LONG cx = 2 * x + 1 - diameter, cy = 2 * y + 1 - diameter;
            const LONG lx = x - light, ly = y - light;
            if (cx * cx + cy * cy < d2)
                *examplePixel(raw, x, y) = exampleShade(ramp, 58 - 56 * (lx * lx + ly * ly) / d2);
        }
    /* vekPalDIBToCel keeps the pixel values (they are palette indices
       already) and codes every pixel equal to the first pixel byte (the
       bottom-left pixel) as a skip. It returns the new record, or a negative
       VEK_CEL_... code: a LONG_PTR to test before it becomes HSPRITEDATA.
       The raw record is unchanged and still ours. */
    const LONG_PTR cel = vekPalDIBToCel(raw, FALSE, 0);
    vekDeleteSpriteData(raw);
    return cel > 0 ? (HSPRITEDATA)cel : NULL;
}

void exampleNextFrame(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Sleep(16);
}

int exampleSave(HWND window, const char *png)
{
    exampleNextFrame();
    const BOOL written = vekhostSaveWindowImage(window, png);
    if (!written) fprintf(stderr, "cannot write %s (error %lu)\n", png, (unsigned long)GetLastError());
    return written ? 0 : 1;
}

void exampleClose(HWND window, HDC dc)
{
    exampleRedrawOnPaint(NULL);
    SelectPalette(dc, oldPalette, FALSE);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    DeleteObject(palette);
    palette = NULL;
}
