/*
 * vekkit images: colour matching and dithering, cels, composite sprites,
 * format conversions, bitmap resources and palettes, bitmap fonts.
 */
#ifndef VEKKIT_IMAGE_H
#define VEKKIT_IMAGE_H

#include <vekkit/records.h>

/* ---- Colour matching and dithering ------------------------------------ */

/* Palette colours are the 256 PALETTEENTRY values that a sprite context
   holds (set at creation or with setpe). Colour matching takes the entry at
   the smallest squared RGB distance and, of several at that distance, the
   lowest index. Index 8 is the library's transparent colour: matching for
   images never yields it, except where noted.

   The operations below rewrite an uncompressed 8-bit DI record in place: the
   bits (stride x height bytes from the pixel offset, width and height the
   low 16 bits of biWidth and biHeight) and the first 512 bytes of its
   1024-byte RGB colour table, which become the identity index table (u16
   values 0 to 255, for DIB_PAL_COLORS). A record whose table or bits do not
   lie inside its block, or that is not 8-bit BI_RGB, is left as it is; so is
   one when working storage cannot be had. A context without palette entries
   counts as a null context. */

/* The nearest palette colour of color (its rgbReserved is not read), never
   index 8. 0 for a null context or one without palette entries. */
VEKKIT_EXPORT DWORD VEKAPI vekGetNearestColor(LPVEKCONTEXT context, const RGBQUAD *color);

/* Maps each pixel to the palette colour nearest to its colour-table entry
   (never index 8) and writes the identity index table. With a null context
   only the table is rewritten. */
VEKKIT_EXPORT void VEKAPI fixupdib(LPVEKCONTEXT context, HSPRITEDATA image);

/* As fixupdib, but index 8 may be chosen like any other, and the default
   beep sounds just before and just after the bits are rewritten (not when
   the colour map leaves them as they are). */
VEKKIT_EXPORT void VEKAPI fixupdib3(LPVEKCONTEXT context, HSPRITEDATA image);

/* For pixel values that are indices into sourceEntries (256 PALETTEENTRY
   values): maps each to the context's palette colour nearest to its source
   entry (index 8 included). The colour table and header are not touched.
   Nothing is done for a null context or null entries. */
VEKKIT_EXPORT void VEKAPI fixupdib2(LPVEKCONTEXT context, HSPRITEDATA image, const PALETTEENTRY *sourceEntries);

/* As fixupdib with error diffusion along each row: the part of a pixel's
   colour that the chosen palette entry misses is added to the pixel on its
   right; nothing passes between rows. Pixels of value 8 are left as they are
   and the error passes over them. The context must have palette entries
   (otherwise nothing is done). unused is not read. */
VEKKIT_EXPORT void VEKAPI ditherdib(LPVEKCONTEXT context, HSPRITEDATA image, DWORD unused);

/* ---- Cels ------------------------------------------------------------- */

/* A cel is a DI sprite image record in the sprite run-length encoding whose
   transparent pixels are all skips; it carries the mirror-enable bit. The
   transparent colour is the value of the input's first pixel byte (the
   bottom-left pixel of a bottom-up image), compared before any colour
   mapping. A non-zero mirror makes the cel hold the image mirrored left to
   right. Results: the cel (a locked block the caller releases with
   vekDeleteSpriteData), or VEK_CEL_BAD_FORMAT, VEK_CEL_NO_MEMORY or
   VEK_CEL_NO_FILE. All working storage is released on every path.

   vekLoadCel and vekDIBToCel take an 8-bit, one-plane, uncompressed image
   with a 256-entry RGB colour table right after a 40-byte info header;
   width and height are the low 16 bits of biWidth and biHeight, signed (a
   height of 0 or less gives no rows, a negative width is refused). Their cel
   has the input's header up to the colour table, the identity index table
   in place of the RGB one, and the bits at the input's pixel offset less 512
   rounded up to a multiple of 4 (1078 gives 568); biSizeImage is the number
   of encoded bytes, bfSize is the input's. Every mapped pixel value is an
   index into the context's palette other than 8; a null context (or one
   without palette entries) keeps the pixel values. Rows of any width up to
   32767 pixels are encoded. VEK_CEL_BAD_FORMAT also for a header whose
   pixel offset leaves no room for the colour table, or whose rows do not
   lie inside the file or record. */

/* Reads the bitmap file fileName (opened with _lopen, read-only); its pixel
   offset must lie within the first 16000 bytes. VEK_CEL_NO_FILE when the
   file cannot be opened. */
VEKKIT_EXPORT LONG_PTR VEKAPI vekLoadCel(LPVEKCONTEXT context, LPCSTR fileName, BOOL mirror);

/* Converts a DI record (its image length bounds what is read). The record is
   consumed: its header is edited in place as for the cel (image flags, pixel
   offset, biCompression, identity index table) and it must afterwards only
   be freed. On VEK_CEL_BAD_FORMAT it is left untouched. */
VEKKIT_EXPORT LONG_PTR VEKAPI vekDIBToCel(LPVEKCONTEXT context, HSPRITEDATA image, BOOL mirror);

/* Encodes a raw 8-bit DI record whose pixel values are final palette
   indices, coding runs of equal pixels as well; width and height are the
   full 32-bit fields. The transparent colour is the value of the record's
   first pixel byte, its bottom-left pixel: every pixel of that value
   becomes a skip. No other value is transparent (index 8 included), and
   no colours are mapped. The cel holds the record's first bfOffBits bytes
   (headers and colour table, unchanged), zeros up to a multiple of 4, then
   the bits; bfSize is the cel's image length. The record is not changed and
   stays the caller's. size is not used. The result is a LONG_PTR: test it
   (> 0) before using it as HSPRITEDATA, as for every cel maker. */
VEKKIT_EXPORT LONG_PTR VEKAPI vekPalDIBToCel(HSPRITEDATA image, BOOL mirror, DWORD size);

/* ---- Composite sprites and DIB sections ------------------------------- */

/* Flattens the images of list into one cel. The entries' rectangles (right
   and bottom exclusive, y growing downwards, every coordinate within -30000
   to 30000) span the canvas, their bounding box, which starts filled with
   index 8. In list order each entry's image is drawn like vekSpriteBlt at
   its rectangle's top-left corner, clipped to the rectangle, from the
   image's top-left pixel: later entries cover earlier ones, the skips of
   RLE images leave what lies below, and a mirror-enable image that is
   mirrored is first turned back in place. The canvas is encoded as by
   vekPalDIBToCel (not mirrored), so the cel's transparent colour is the
   canvas's bottom-left pixel: index 8 unless an entry draws there, in which
   case every pixel of that entry's colour becomes transparent. The cel has
   the canvas's 1080-byte header (an identity index table, then zeros).
   Entries whose image is null, a DD or composite record, or cannot be drawn
   leave their rectangle transparent but still count in the bounding box.
   Results: the cel (the caller releases it with vekDeleteSpriteData);
   VEK_CEL_BAD_FORMAT for a null list, a count of 0 or less, or a coordinate
   out of range; VEK_CEL_NO_MEMORY when the canvas would be empty or more
   than 32767 pixels wide or high, when its cel could need more than 256 MiB
   of working storage, or when memory runs out. The entries' images are
   changed only by being turned back when mirrored. */
VEKKIT_EXPORT LONG_PTR VEKAPI vekBuildCompositeSprite(LPVEKCOMPOSITELIST list);

/* A DIB section holding a copy of a raw 8-bit DI record with a positive
   height: the record's info header and index table are used with
   DIB_PAL_COLORS, so its colour table is taken from the palette selected
   in dc at the call, and its bits are the record's rows (bottom row first).
   The record is not changed; the bitmap is the caller's to delete. 0 when
   the record is not a raw 8-bit DI record whose header, index table and
   rows lie inside its block, or when the section cannot be made. */
VEKKIT_EXPORT HBITMAP VEKAPI vekHSPRITEDATAtoDIBSection(HDC dc, HSPRITEDATA image);

/* ---- Format conversions ----------------------------------------------- */

/* Deletes the mask bitmap (when not 0) and the image bitmap of a DD record,
   then frees the record. */
VEKKIT_EXPORT void VEKAPI vekFreeDDSprite(HSPRITEDATA image);

/* A new raw DI record (vekCreateSpriteData) of the source's size holding the
   source drawn over index 8, unmirrored: a mirrored mirror-enabled source is
   mirrored back in place first. The source stays the caller's. Null when
   memory runs out. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekRLESpriteToRGBSprite(HSPRITEDATA source);

/* Turns the DI record source into a new 18-byte DD record for dc: the image
   bitmap holds the source's colours (the 256 palette entries as its colour
   table) and black where it is transparent; with makeMask non-zero a
   monochrome mask bitmap is white where the source is transparent and
   black where it is opaque (a raw source is opaque nowhere: its mask is all
   white), else the mask handle is 0. A mirrored source is brought back to
   its unmirrored state first. The source is consumed on every path; null
   on failure. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekDISpriteToDDSprite(HDC dc, HSPRITEDATA source, const PALETTEENTRY *entries,
                                                       DWORD makeMask);

/* Loads a record as vekLoadSpriteData does (flags bit 0: name is a file
   path). When the context composes with device-dependent bitmaps
   (VEK_OPTION_DD_OFFSCREEN) the record is converted on the way into a
   14-byte DD record with a mask, whose bitmaps are made for dc through its
   current palette (DIB_PAL_COLORS); the loaded record is freed. Null on
   failure, with everything made on the way freed. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekLoadSpriteDataEx(LPVEKCONTEXT context, HDC dc, HINSTANCE module, LPCSTR name,
                                                     DWORD flags);

/* ---- Bitmap resources, palettes and plain blits ----------------------- */

/* Loads the compressed bitmap resource of type "VORTLBMP" whose integer
   identifier is the low 16 bits of resource (a string pointer is never read)
   from module. Mode 1: returns a device-dependent bitmap (HBITMAP) made from
   the decoded bitmap file image for dc. Any other mode: returns the movable
   global block (HGLOBAL, unlocked) holding the decoded bitmap file image from
   its first byte on; the caller frees it. Null when the resource is missing
   or damaged, memory runs out or the bitmap cannot be made; nothing is left
   allocated then. Uses storage shared by the whole library. */
VEKKIT_EXPORT HANDLE VEKAPI vekLoadBitmap(HINSTANCE module, LPCSTR resource, WORD mode, HDC dc);

/* Loads a DI sprite image record holding a whole bitmap file image, taken as
   it is. flags bit 0 set: name is the path of a bitmap file of n bytes; the
   record's block has n + 6 bytes and its image length is n + 2. Bit 0 clear:
   the low 16 bits of name identify a compressed bitmap resource of module
   (as vekLoadBitmap); the image length is the decoded block's size n. Null
   when the file cannot be opened, the resource cannot be loaded or memory
   runs out. The caller owns the record. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekLoadSpriteData(HINSTANCE module, LPCSTR name, DWORD flags);

/* The display's colours as dc reports them. colors (if not null) receives
   2^(bits per pixel x planes), 2^24 for 24 bits and more; paletteSize (if
   not null) the size of the device's palette, 0 without one. */
VEKKIT_EXPORT void VEKAPI vekGetColorInfo(HDC dc, DWORD *colors, WORD *paletteSize);

/* AnimatePalette(palette, first, count, entries): the PC_RESERVED entries
   among them change, and with them the colours shown. */
VEKKIT_EXPORT BOOL VEKAPI vekAnimatePalette(HPALETTE palette, WORD first, WORD count, const PALETTEENTRY *entries);

/* A new bitmap of the format and size of bitmap (the size cut to 16 bits)
   holding its image mirrored left to right, drawn through palette when it is
   not null; the source is unchanged. Null on failure. */
VEKKIT_EXPORT HBITMAP VEKAPI vekFlipBitmap(HBITMAP bitmap, HPALETTE palette);

/* BitBlt from bitmap (selected into a memory DC for the time of the call) to
   dc; coordinates are the low 16 bits of their arguments, sign-extended.
   Returns BitBlt's result, or 0 when no memory DC can be had. */
VEKKIT_EXPORT BOOL VEKAPI vekDDBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HBITMAP bitmap, LONG srcX,
                                   LONG srcY, DWORD rop);

/* Draws the bitmap file image held in the global block image (no length
   word in front, as vekLoadBitmap returns it) onto dc at 1:1 with
   StretchDIBits, its colour table taken as RGB colours; coordinates as for
   vekDDBlt. The last argument is not used. Returns StretchDIBits' result, or
   0 when the block does not hold a whole image. */
VEKKIT_EXPORT int VEKAPI vekDIBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HGLOBAL image, LONG srcX,
                                  LONG srcY, DWORD rop, DWORD unused);

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
