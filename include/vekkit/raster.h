/*
 * vekkit sprite rasteriser: blits between sprite image records, in-place
 * mirroring, blots, fills, collision tests and transform matrices.
 */
#ifndef VEKKIT_RASTER_H
#define VEKKIT_RASTER_H

#include <vekkit/records.h>

/* ---- Sprite blits ------------------------------------------------------ */

/* Draws the width x height rectangle of src whose top-left corner is
   (srcX, srcY) at (x, y) of dst, clipped to both images. dst is a raw 8-bit
   DI record; src a raw one (copied opaque) or an RLE one (its skips and row
   ends leave dst as it was). A mirror-enabled src that is currently mirrored
   is turned back in place first. Returns the number of rows drawn, 1 when
   nothing lies inside both images, 0 for records that cannot be drawn
   (composite records, a DD record paired with a DI one, bit counts other
   than 8, a compressed dst, a damaged header or an RLE stream cut short). src and dst may be one record
   only when the two rectangles do not overlap. Two DD records are blitted
   through the GDI (mask ANDed, then image ORed; without a mask the image is
   copied), unclipped, and give 1. */
VEKKIT_EXPORT LONG VEKAPI vekSpriteBlt(HSPRITEDATA dst, LONG x, LONG y, LONG width, LONG height,
                                       HSPRITEDATA src, LONG srcX, LONG srcY);

/* Copies the width x height rectangle of the DI record src at (srcX, srcY)
   to (x, y) of dc at 1:1 with StretchDIBits, DIB_PAL_COLORS and SRCCOPY,
   and returns what StretchDIBits returns. A raw src shows only its rows srcY
   to srcY + height - 1, which must lie inside the image (else 0); an RLE src
   is passed whole, biHeight rows high from source row srcY, and height is
   not used. */
VEKKIT_EXPORT LONG VEKAPI vekDIBBlt(HDC dc, LONG x, LONG y, LONG width, LONG height, HSPRITEDATA src,
                                    LONG srcX, LONG srcY);

/* ---- Mirroring --------------------------------------------------------- */

/* Mirrors a mirror-enabled DI record left to right in place, raw or RLE, and
   toggles its mirrored bit; records without the mirror-enable bit are never
   changed. Images that cannot be mirrored safely are left unchanged, flags
   included: a damaged header or stream, an RLE row that holds pixels but
   does not start with a skip, covers more than the width or would not fit
   its old place once mirrored. An unknown compression only toggles the bit.
   Uses 8192 bytes of scratch memory for the call (one RLE row's tokens);
   without it nothing changes. Returns 0. */
VEKKIT_EXPORT LONG VEKAPI vekFlipSprite(HSPRITEDATA image);

/* ---- Blot, fill and collision --------------------------------------- */

/* Stamps the silhouette of the RLE image src into the raw image dst: every
   pixel that the width x height rectangle of src at (srcX, srcY), drawn at
   (x, y), covers with an encoded or absolute run becomes colour index 0;
   skipped pixels and row ends leave dst as it was. Clipped as vekSpriteBlt
   clips, and a mirror-enabled src is first mirrored in place when its
   mirrored bit differs from (mirror != 0). context is not used. Returns the
   number of rows of the clipped rectangle, 1 when nothing lies inside both
   images, 0 for a DD record on either side and for records that cannot be
   blotted (a raw src, a compressed dst, bit counts other than 8, composite
   records, a damaged header or an RLE stream cut short). */
VEKKIT_EXPORT LONG VEKAPI vekSpriteBlot(LPVEKCONTEXT context, HSPRITEDATA dst, LONG x, LONG y, LONG width,
                                        LONG height, HSPRITEDATA src, LONG srcX, LONG srcY, LONG mirror);

/* Fills the rectangle x, y, width x height of image, clipped to it, with
   colour index colour. A raw 8-bit DI image gets the low 8 bits of colour;
   a rectangle that starts right of or below the image fills nothing. A DD
   image is filled through the GDI with the brush PALETTEINDEX(colour) of
   palette (selected into a memory DC and realised), aligned to the library's
   fill brush origin; without a palette nothing is done. Returns 1, or 0 for
   a DI image that is not raw 8-bit (or whose header does not fit its block)
   and for composite records. */
VEKKIT_EXPORT LONG VEKAPI vekSpriteFillEx(HSPRITEDATA image, LONG x, LONG y, LONG width, LONG height, LONG colour,
                                          HPALETTE palette);
/* vekSpriteFillEx without a palette: DD images are left as they are. */
VEKKIT_EXPORT LONG VEKAPI vekSpriteFill(HSPRITEDATA image, LONG x, LONG y, LONG width, LONG height, LONG colour);

/* Tells whether sprites a and b of context touch. Unless flags holds
   VEK_COLLIDE_ANY_PRIORITY, sprites of different priorities never do. Their
   target rectangles must overlap (by at least one pixel each way). With
   VEK_COLLIDE_RECT, in a context whose off-screen image is DD, or when
   either image is not RLE, the rectangles decide: a.right - b.left when that
   is not more than b.right - a.left, else -(b.right - a.left). Otherwise
   the RLE images are compared row by row from the bottom, span by span (a
   span is one encoded or absolute run, of any colours), without decoding:
   the first pair of spans that overlap decides, positive when b's span
   reaches into a's from the right (the overlap, or the narrower span when
   both start together), negative when from the left; an end of image met
   first means no collision. Returns 0 when the sprites do not collide, else
   the signed 16-bit value, sign-extended. */
VEKKIT_EXPORT LONG VEKAPI vekCheckCollide(LPVEKCONTEXT context, LPVEKSPRITE a, LPVEKSPRITE b, LONG flags);

/* ---- Transform matrices ------------------------------------------------
 *
 * A VEKMATRIX scales, shears and rotates a sprite's image about its top-left
 * corner (x to the right, y downwards). Entries 0..3 are the forward matrix
 * (p, q, r, s), mapping an image point (x, y) to the destination offset
 * (p x + r y, q x + s y); entries 4..7 are its exact inverse in the same
 * form. The application owns the matrix; sprites only read it.
 */

/* Fills all eight entries of m for horizontal and vertical scale factors sx
   and sy (both non-zero), a rotation and a shear, both in degrees. The image
   is scaled, then sheared horizontally (x += tan(shear) y), then rotated; a
   positive rotation turns it counter-clockwise on the screen. Rotations of
   360 degrees or more in size are taken modulo 360 (keeping their sign);
   the shear is clamped to [-70, 70] degrees. 0, 90, 180 and 270 degrees
   give exact entries. */
VEKKIT_EXPORT void VEKAPI vekBuildMatrix(LPVEKMATRIX m, VEKFIXED sx, VEKFIXED sy, VEKFIXED rotation,
                                         VEKFIXED shear);

/* On entry *width and *height are an image's size; on return they hold the
   size of the bounding box of the image transformed by m's forward matrix
   (edges rounded to whole pixels). Returns the new height in the high and
   the new width in the low 16 bits. */
VEKKIT_EXPORT DWORD VEKAPI vekGetTransformedDimensions(LONG *width, LONG *height, const VEKMATRIX *m);

/* ---- Blit dispatch and composite images ------------------------------ */

#endif
