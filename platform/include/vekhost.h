/*
 * Calls of the hosted Win32 platform (vekhost) that have no Win32
 * counterpart. This header does not exist on Windows: only code that is
 * meant for hosted systems (tools, hosted-only tests) includes it.
 */
#ifndef VEKHOST_VEKHOST_H
#define VEKHOST_VEKHOST_H

#include <windows.h>

/* Sets the display's size in pixels and its depth, 8 (a palette device with a
   256-entry system palette, the default: 640 x 480 x 8) or 32 bits per pixel
   (no palette). It takes effect only while no window exists, so call it
   before creating the first window; other depths and sizes outside
   1..16384 are ignored. Bitmaps made earlier keep their format. */
VEKHOST_EXPORT void WINAPI vekhostSetScreen(int width, int height, int bitsPerPixel);

/* Writes the client pixels of window, as they would be shown through the
   current system palette, to pngFile as an 8-bit RGB PNG image. FALSE with
   GetLastError set when the window is not valid or the file cannot be
   written. */
VEKHOST_EXPORT BOOL WINAPI vekhostSaveWindowImage(HWND window, LPCSTR pngFile);

#endif
