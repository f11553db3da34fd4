/*
 * vekkit sprite rasteriser.
 */
#ifndef VEKKIT_RASTER_H
#define VEKKIT_RASTER_H

#include <vekkit/records.h>

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

#endif
