/*
 * vekkit images: colour matching and dithering, cels, composite sprites,
 * format conversions, bitmap resources and palettes, bitmap fonts.
 */
#ifndef VEKKIT_IMAGE_H
#define VEKKIT_IMAGE_H

#include <vekkit/records.h>

/* ---- Colour matching and dithering ------------------------------------ */

/* ---- Cels ------------------------------------------------------------- */

/* ---- Composite sprites and DIB sections ------------------------------- */

/* ---- Format conversions ----------------------------------------------- */

/* ---- Bitmap resources, palettes and plain blits ----------------------- */

/* ---- Bitmap fonts ----------------------------------------------------- */

/* Raster font files (FNT version 3.00) drawn into raw 8-bit DI records in
   one palette colour. A font handle is a movable global block that the
   caller owns: a u32 holding the file's length, then the file. It is kept
   unlocked and locked by each call only while the call runs. */

/* Loads the whole file (ANSI name) into a new font handle; the contents are
   not checked here. 0 when the file cannot be opened or memory runs out. */
VEKKIT_EXPORT HGLOBAL VEKAPI gfxLoadFont(LPCSTR fileName);

/* Frees a font handle. */
VEKKIT_EXPORT void VEKAPI gfxFreeFont(HGLOBAL font);

/* The font's pixel height in the high 16 bits and the sum of the string's
   glyph widths, modulo 65536, in the low 16 bits. A negative length means a
   zero-terminated string. Codes outside the font take its default
   character; a font of another version measures every string 0 wide.
   0 for a null font or string or a font that cannot be locked. */
VEKKIT_EXPORT DWORD VEKAPI gfxGetTextExtentFont(HGLOBAL font, LPCSTR text, LONG length);

/* Draws the string with its top-left corner at (x, y) (pixels, y counted
   from the top row) into the raw 8-bit DI record dest: set glyph bits become
   the palette index in the low byte of colour, clear bits leave the image
   as it was; the text is clipped at all four edges. reserved is not used;
   a negative length means a zero-terminated string. Returns 1 when at least
   one row of the font lies inside the image and the text ends right of the
   image's left edge, otherwise 0 (also for a null record, font or string, an
   empty string, and a record that is not a raw 8-bit image). */
VEKKIT_EXPORT LONG VEKAPI gfxTextOutToDIB(HSPRITEDATA dest, HGLOBAL font, DWORD colour, DWORD reserved,
                                          LONG x, LONG y, LPCSTR text, LONG length);

#endif
