/*
 * vekkit sprite engine: sprite image records, sprite contexts, sprites.
 */
#ifndef VEKKIT_SPRITE_H
#define VEKKIT_SPRITE_H

#include <vekkit/records.h>

/* Sprite image records. Every record lives in one zero-filled movable global
   block that stays locked; HSPRITEDATA is the locked pointer. The caller owns
   the records it makes and releases them with vekDeleteSpriteData. */

/* A raw 8-bit DI record with a 256-word identity colour table (pixels at
   byte 572), pixels zero. Null when memory runs out. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekCreateSpriteDataObject(LONG width, LONG height);

/* A raw 8-bit DI record with room for 256 RGBQUADs (pixels at byte 1084)
   whose pixel area has one spare byte per row; the table holds identity
   words. The form of a context's off-screen image. Null when out of memory. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekCreateSpriteData(LONG width, LONG height);

/* flags bit 0 set: a DD record whose image bitmap is compatible with dc,
   filled black, without mask; clear: as vekCreateSpriteDataObject. 0 on
   failure. */
VEKKIT_EXPORT DWORD_PTR VEKAPI vekCreateSpriteDataEx(HDC dc, LONG width, LONG height, DWORD flags);

/* Releases a record (and a DD record's bitmaps). Always 1. */
VEKKIT_EXPORT LONG VEKAPI vekDeleteSpriteData(HSPRITEDATA image);

/* Stores width and height through the non-null pointers and returns them
   packed: height in the high 16 bits, width in the low 16 bits. */
VEKKIT_EXPORT DWORD VEKAPI vekGetSpriteDimensions(HSPRITEDATA image, LONG *width, LONG *height);

/* Sprite contexts. A context draws one playfield into one window; it owns
   its off-screen image, background brush and sprite memory, and refers to
   the application's images, tile map, image table, palette and palette
   entries, which must outlive it. */

/* A context for window with room for maxSprites sprites (above 1000: 1000),
   a long-table off-screen image of width x height, a solid background of
   palette index backgroundColor and an optional background image (a zero
   background width or height takes the image's size). dc is not used. Null
   on failure. */
VEKKIT_EXPORT LPVEKCONTEXT VEKAPI vekCreateSpriteContext(HWND window, HDC dc, LONG maxSprites, LONG width,
                                                         LONG height, LONG backgroundColor,
                                                         HSPRITEDATA backgroundImage, LONG backgroundWidth,
                                                         LONG backgroundHeight);

/* The same from a parameter record; options bit 0 makes a DD off-screen
   image compatible with params->dc, else a short-table DI one. A maximum
   above 1000 is written back into the record as 1000. 0 on failure. */
VEKKIT_EXPORT LPVEKCONTEXT VEKAPI vekCreateSpriteContextEx(LPVEKCONTEXTPARAMS params);

/* Releases the context's own off-screen image, brush and memory; nothing of
   the application's. Null is ignored. */
VEKKIT_EXPORT void VEKAPI vekDeleteSpriteContext(LPVEKCONTEXT context);

/* Background setters: they record the change and mark the background
   changed; the next update repaints. A null context is ignored, except by
   ...BackgroundColor, ...Origin and setpe. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextBackground(LPVEKCONTEXT context, HSPRITEDATA image);
/* resize non-zero remakes the off-screen image at width x height. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextBackgroundEx(LPVEKCONTEXT context, HSPRITEDATA image, LONG width,
                                                          LONG height, LONG resize);
/* Tile map, world size and image table; the scroll and wrap positions go
   back to 0. Drawn only by contexts created with VEK_OPTION_TILEMAP. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextBackgroundDef(LPVEKCONTEXT context, LPVEKTILE tileMap,
                                                           LONG worldWidth, LONG worldHeight,
                                                           HSPRITEDATA *imageTable);
/* Palette index 0..255 (low 24 bits); anything larger changes nothing. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextBackgroundColor(LPVEKCONTEXT context, DWORD colour);
/* enable 0: scrolling does not repaint the window by itself. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextRedraw(LPVEKCONTEXT context, LONG enable);
/* Window position of playfield (0, 0); a change repaints everything. */
VEKKIT_EXPORT void VEKAPI vekSetSpriteContextOrigin(LPVEKCONTEXT context, LONG x, LONG y);
/* The 256 palette entries used by the nearest-colour conversions. */
VEKKIT_EXPORT void VEKAPI setpe(LPVEKCONTEXT context, PALETTEENTRY *paletteEntries);

#endif
