/*
 * What every example shares: the palette, a window whose WM_PAINT redraws a
 * sprite context, pixel access to raw sprite image records, a shaded disc as
 * an RLE image, and the end of a run (the picture written as a PNG file).
 *
 * Copy this file with the example you start from.
 */
#ifndef VEKKIT_EXAMPLE_H
#define VEKKIT_EXAMPLE_H

#include <vekkit.h>

/* The palette: the 20 static colours of the display at 0..9 and 246..255,
   and four ramps of 59 shades from dark to bright in between. */
enum { EXAMPLE_RED = 10, EXAMPLE_GREEN = 69, EXAMPLE_BLUE = 128, EXAMPLE_GREY = 187 };

/* The palette index of shade level (0 dark .. 58 bright, clamped) of a ramp. */
BYTE exampleShade(int ramp, int level);

/* The palette's 256 colours, for setpe and the colour-matching calls. */
extern PALETTEENTRY exampleColours[256];

/* The palette, made on the first call; deleted by exampleClose. */
HPALETTE examplePalette(void);

/* A visible overlapped window whose client area is exactly width x height
   (the frame and caption come on top, through AdjustWindowRect). While a
   context is set with exampleRedrawOnPaint, WM_PAINT redraws it with the
   palette selected and realised. */
HWND exampleWindow(const char *title, int width, int height);

/* The window's DC with the palette selected and realised: the DC to give
   vekUpdateSpriteContext. exampleClose releases it. */
HDC exampleDC(HWND window);

/* The context that WM_PAINT redraws (null: none). */
void exampleRedrawOnPaint(LPVEKCONTEXT context);

/* The byte of pixel (x, y) of a raw 8-bit DI record, y = 0 being the top
   row: rows are stored bottom row first, (width + 3) & ~3 bytes apart, from
   block byte 4 + the pixel offset at byte 14. No bounds check: 0 <= x <
   width, 0 <= y < height. */
BYTE *examplePixel(HSPRITEDATA image, LONG x, LONG y);

/* A disc of the given diameter shaded in ramp, lit from the top left, as a
   cel (an RLE image whose corners are transparent). The caller frees it with
   vekDeleteSpriteData. Null when memory runs out. */
HSPRITEDATA exampleDisc(LONG diameter, int ramp);

/* Handles the messages that are waiting and waits for the next frame
   (about 60 a second). */
void exampleNextFrame(void);

/* Handles waiting messages and writes the window's picture to png.
   Returns the program's exit status: 0 when the picture was written. */
int exampleSave(HWND window, const char *png);

/* Releases the DC, destroys the window and deletes the palette: call it
   after deleting the context, which refers to both. */
void exampleClose(HWND window, HDC dc);

#endif
