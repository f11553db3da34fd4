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

#endif
