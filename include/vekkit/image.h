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

#endif
