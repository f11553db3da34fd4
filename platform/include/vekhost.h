/*
 * Calls of the hosted Win32 platform (vekhost) that have no Win32
 * counterpart. This header does not exist on Windows: only code that is
 * meant for hosted systems (tools, hosted-only tests) includes it.
 */
#ifndef VEKHOST_VEKHOST_H
#define VEKHOST_VEKHOST_H

#include <windows.h>

/* Sets the display's size in pixels and its depth: 8 (a palette device with
   a 256-entry system palette, the default: 640 x 480 x 8), or 15 (5-5-5,
   reported as 16), 16 (5-6-5), 24 or 32 bits per pixel without a palette.
   It takes effect only while no window exists, so call it before creating
   the first window; other depths and sizes outside 1..16384 are ignored.
   Bitmaps made earlier keep their format. */
VEKHOST_EXPORT void WINAPI vekhostSetScreen(int width, int height, int bitsPerPixel);

/* Writes the client pixels of window, as they would be shown through the
   current system palette, to pngFile as an 8-bit RGB PNG image. FALSE with
   GetLastError set when the window is not valid or the file cannot be
   written. */
VEKHOST_EXPORT BOOL WINAPI vekhostSaveWindowImage(HWND window, LPCSTR pngFile);

/* Attaches a compiled Win32 resource file (.res, as rc and windres write
   it) to module (null: the program), replacing the file attached before:
   FindResourceA then finds the resources of that file. Without an attached
   file a module's resources come from the .res file beside its own file,
   named like it with the extension .res. FALSE with GetLastError set when
   the module or the file does not exist, or ERROR_BAD_FORMAT when the file
   is damaged (a size that runs past its end, a cut header); the module
   keeps what it had then. A null resFile detaches the file attached before.
   Resources found before stay valid. */
VEKHOST_EXPORT BOOL WINAPI vekhostAttachResources(HMODULE module, LPCSTR resFile);

/* The user-interface hooks. Message boxes, beeps and file dialogs have no
   user interface of their own on the hosted platform: they call these hooks.
   A program (or a test) sets them to show its own, or to script the
   answers. */
typedef struct VEKHOSTUI {
    /* MessageBoxA: returns the button chosen. Default: prints caption and
       text to stderr and answers IDOK. */
    int (*messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    /* MessageBeep. Default: silent. */
    void (*beep)(UINT type);
    /* GetOpenFileNameA (save FALSE) and GetSaveFileNameA (save TRUE): fills
       ofn->lpstrFile with the path chosen and returns TRUE, or returns FALSE
       for a cancel. lpstrFile is the platform's copy of the caller's name
       with room for 4096 bytes whatever nMaxFile says; the platform copies
       the choice back (FNERR_BUFFERTOOSMALL when it does not fit nMaxFile)
       and fills nFileOffset, nFileExtension and lpstrFileTitle. Default:
       asks zenity or kdialog when a display is present (DISPLAY or
       WAYLAND_DISPLAY set and the program found), else cancels. */
    BOOL (*fileDialog)(LPOPENFILENAMEA ofn, BOOL save);
} VEKHOSTUI;

/* Sets the hooks; a null member (or a null ui) restores that default. The
   record is copied. */
VEKHOST_EXPORT void vekhostSetUI(const VEKHOSTUI *ui);

#endif
