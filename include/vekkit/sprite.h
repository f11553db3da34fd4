/*
 * vekkit sprite engine: sprite image records, sprite contexts, sprites.
 */
#ifndef VEKKIT_SPRITE_H
#define VEKKIT_SPRITE_H

#include <vekkit/records.h>

/* Sprite image records. Every record lives in one zero-filled movable global
   block that stays locked; HSPRITEDATA is the locked pointer. The caller owns
   the records it makes and releases them with vekDeleteSpriteData.

   A DI record is a u32 image length, then an 8-bit bitmap file image: the
   14-byte file header (image flags at block byte 10, the pixel offset as a
   u32 at byte 14, counted from byte 4), the BITMAPINFOHEADER at byte 18
   (biWidth at 22, biHeight at 26, biCompression at 34: 0 raw, 1 RLE), the
   colour table at 58 (in records the library makes, 256 palette indices as
   u16 words), then the pixels at block byte 4 + pixel offset. Raw pixels
   are one palette index per byte in biHeight rows of stride
   (biWidth + 3) & ~3 bytes, the bottom row first:
   pixel (x, y), y = 0 being the top row, is the byte at
       image + 4 + pixelOffset + (biHeight - 1 - y) * stride + x.
   All fields are little-endian and most are unaligned: read them bytewise.
   docs/getting-started.md draws the bytes. */

/* A raw 8-bit DI record with a 256-word identity colour table (pixel offset
   568: pixels at block byte 572), pixels zero. Null when memory runs out. */
VEKKIT_EXPORT HSPRITEDATA VEKAPI vekCreateSpriteDataObject(LONG width, LONG height);

/* A raw 8-bit DI record with room for 256 RGBQUADs (pixel offset 1080:
   pixels at block byte 1084) whose pixel area ends with one spare byte per
   row; the table holds identity words. The form of a context's off-screen
   image. Null when out of memory. */
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
   background width or height takes the image's size). The background size
   is the playfield the window shows: without a background image, pass the
   playfield's size; 0 x 0 shows nothing at all. dc is not used. Null on
   failure. */
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
/* resize non-zero remakes the off-screen image at width x height; where the
   context used the old one as its background or a sprite's image, that
   image becomes null. */
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

/* Sprites. A sprite is a VEKSPRITE slot of its context; the slot's pointer
   is its handle, valid until the frame update after vekDeleteSprite. A
   sprite shows an application-owned image (and optional transform matrix),
   which must outlive it. None of these operations draws: they record the
   sprite's target rectangle and mark it changed for the next update.

   Anchor flags (low 16 bits) say which point of the image the position
   (x, y) names, for an image of w x h (the bounding box of the transformed
   image for a sprite with a transform), hw = w / 2, hh = h / 2:
     VEK_ANCHOR_LEFT     left edge:          x .. x + w
     VEK_ANCHOR_HCENTER  horizontal centre:  x - hw .. x - hw + w (unless LEFT)
     otherwise           right edge:         x - w .. x
     VEK_ANCHOR_TOP      top edge:           y .. y + h
     VEK_ANCHOR_VCENTER  vertical centre:    y - hh .. y + hh (unless TOP or
                         LEFT; an odd height loses its bottom row)
     otherwise           bottom edge:        y - h .. y
   VEK_ANCHOR_MIRROR draws the image mirrored left to right when the image
   allows it. Lower priorities (signed 16 bits) are drawn first; equal
   priorities in the order of the sprites' slots. */

/* A new sprite in the lowest free slot, placed at (x, y) by anchor, with the
   given priority; its state flags are the low 16 bits of flags with
   VEK_SPRITE_CHANGED. Flags 0 sort the draw list at once, any other value
   appends the sprite to it and leaves the sort pending. Null for a null
   context or one without free slots. */
VEKKIT_EXPORT LPVEKSPRITE VEKAPI vekCreateSprite(LPVEKCONTEXT context, HSPRITEDATA image, LONG x, LONG y,
                                                 LONG anchor, LONG priority, DWORD flags);
/* Marks the sprite deleted; the next update repaints where it was shown and
   frees its slot. context is not used. Returns 0. */
VEKKIT_EXPORT LONG VEKAPI vekDeleteSprite(LPVEKCONTEXT context, LPVEKSPRITE sprite);
/* Changes the priority and sorts the draw list. */
VEKKIT_EXPORT void VEKAPI vekSetSpritePriority(LPVEKCONTEXT context, LPVEKSPRITE sprite, LONG priority);
/* Changes the priority and leaves the sort pending until the next sorting
   operation (the next update at the latest). */
VEKKIT_EXPORT void VEKAPI vekSetSpritePriorityNosort(LPVEKCONTEXT context, LPVEKSPRITE sprite, LONG priority);

/* Animation: moves the sprite by (dx, dy) (Abs forms: to (x, y)), shows
   image from the next update on (0: keeps the current one) and places it by
   anchor. The Ex forms also set the sprite's transform: VEK_TRANSFORM_KEEP
   keeps it, anything else replaces it (null removes it). A call that changes
   nothing (no move, the same image, anchor equal to the stored flags
   sign-extended, transform kept) leaves the sprite as it is. context is not
   used. */
VEKKIT_EXPORT void VEKAPI vekAnimateSprite(LPVEKCONTEXT context, LPVEKSPRITE sprite, HSPRITEDATA image, LONG dx,
                                           LONG dy, LONG anchor);
VEKKIT_EXPORT void VEKAPI vekAnimateSpriteEx(LPVEKCONTEXT context, LPVEKSPRITE sprite, HSPRITEDATA image,
                                             LONG dx, LONG dy, LONG anchor, LPVEKMATRIX transform);
VEKKIT_EXPORT void VEKAPI vekAnimateSpriteAbs(LPVEKCONTEXT context, LPVEKSPRITE sprite, HSPRITEDATA image,
                                              LONG x, LONG y, LONG anchor);
VEKKIT_EXPORT void VEKAPI vekAnimateSpriteAbsEx(LPVEKCONTEXT context, LPVEKSPRITE sprite, HSPRITEDATA image,
                                                LONG x, LONG y, LONG anchor, LPVEKMATRIX transform);

/* The frame update. Brings the window up to date with the context through
   dc (the caller selects and realises the palette in dc: with the default
   palette, indices above 19 show black): every changed sprite is
   repainted through the rectangle that covers where it was and where it
   goes, neighbours closer than 4 pixels merged while the result fits the
   off-screen image; a changed background, origin or scroll repaints the
   whole visible area. Consumes the update flags and frees the slots of
   deleted sprites. */
VEKKIT_EXPORT void VEKAPI vekUpdateSpriteContext(LPVEKCONTEXT context, HDC dc);
/* The same with sprite repaints limited to clip (playfield coordinates). */
VEKKIT_EXPORT void VEKAPI vekUpdateSpriteContextClipped(LPVEKCONTEXT context, HDC dc, LPRECT clip);
/* Repaints everything (except while a scroll lets the window repaint): the
   call for WM_PAINT, after selecting and realising the palette in the
   BeginPaint DC. */
VEKKIT_EXPORT void VEKAPI vekRedrawSpriteContext(LPVEKCONTEXT context, HDC dc);

/* Scrolling a context made with VEK_OPTION_TILEMAP: moves the view through
   the world by (dx, dy), kept inside the world, and returns the move made
   (dy in the high, dx in the low 16 bits), 0 when the view did not move.
   Small moves render the exposed strips and move the sprites with the world
   (those with y = -1 stay where they are in the window); large ones render
   the whole background again and, unless redraw is off, update the window
   through dc (0: the window's own DC). Without the option only the sprites
   move, and the result is 0. */
VEKKIT_EXPORT DWORD VEKAPI vekScrollSpriteContext(LPVEKCONTEXT context, HDC dc, LONG dx, LONG dy);
/* Scrolls to world position (x, y). */
VEKKIT_EXPORT DWORD VEKAPI vekScrollSpriteContextAbs(LPVEKCONTEXT context, HDC dc, LONG x, LONG y);

#endif
