/*
 * vekkit: sprite graphics and game-support routines.
 *
 * Include this one header: it brings <windows.h> (the system's on Windows,
 * the hosted platform's elsewhere) and every subsystem's declarations.
 */
#ifndef VEKKIT_H
#define VEKKIT_H

#include <windows.h>
#include <vekkit/records.h>
#include <vekkit/sprite.h>
#include <vekkit/raster.h>
#include <vekkit/image.h>
#include <vekkit/fixmath.h>
#include <vekkit/objfile.h>
#include <vekkit/system.h>

#endif
