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

#endif
